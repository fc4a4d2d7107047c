#pragma once
// "Model setup": the model area's left and right borders and its bottom.

#include <QtWidgets/QDialog>

#include <memory>

class QLineEdit;

namespace lp {

class TPolygonChart;
class TuiPicBtn;
class TuiSuperLabel;

class Tboxsetup : public QDialog {
    Q_OBJECT
public:
    explicit Tboxsetup(QWidget* Parent = nullptr);
    ~Tboxsetup() override;

    std::unique_ptr<TuiSuperLabel> LabelLeft;
    std::unique_ptr<TuiSuperLabel> LabelRight;
    std::unique_ptr<TuiSuperLabel> LabelBottom;
    QLineEdit* Edit1; // left
    QLineEdit* Edit2; // right
    QLineEdit* Edit3; // bottom
    // "Apply" (recessed black frame with highlight): closes with the OK
    // result.
    std::unique_ptr<TuiPicBtn> uiPicBtn3;
    // The window of "Apply" in the dialog.
    QWidget* ApplyWidget() const;
};

// Applies the three texts to the chart's model area: only when all three
// are numbers, left < right and bottom >= 0 (the top stays). The axis
// scales are brought up to date in every case. True when the area was
// set.
bool ApplyModelSetup(TPolygonChart& Chart, bool KeepModel, const QString& Left, const QString& Right,
                     const QString& Bottom);
// Shows the dialog with the present area and applies what it holds when it
// closes, by "Apply" or by the window's close box alike; true when the
// area was set.
bool ModelSetup(TPolygonChart& Chart, bool KeepModel, QWidget* Owner = nullptr);

} // namespace lp
