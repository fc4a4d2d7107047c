#pragma once
// "Model setup": the model area's left and right borders and its bottom.

#include <QtWidgets/QDialog>

#include <functional>
#include <memory>

class QKeyEvent;
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
    // "Apply" (recessed black frame with highlight), also pressed by Return
    // in a field: applies what the fields hold and closes with the OK
    // result; when they cannot be applied the message says why and the
    // dialog stays open with what was typed.
    std::unique_ptr<TuiPicBtn> uiPicBtn3;
    // The window of "Apply" in the dialog.
    QWidget* ApplyWidget() const;

    // Applies the fields; returns why they could not be applied, empty when
    // they were.
    std::function<QString()> OnApply;
    void ApplyClick();

protected:
    // Escape and the close box apply what was typed too; what cannot be
    // applied is said, and the dialog closes with the area as it was.
    void reject() override;
    // Return presses "Apply" wherever the focus is.
    void keyPressEvent(QKeyEvent* Event) override;

private:
    // Runs OnApply and shows its problem; true when the fields were applied.
    bool ApplyAndReport();
    bool FApplied = false;
};

// What applying the three texts came to.
struct TModelSetupResult {
    bool Changed = false; // the area is not what it was
    QString Problem;      // why nothing was applied; empty when applied
};

// Applies the three texts to the chart's model area (the top stays) as one
// finished edit: one undo step, and the chart's change event fires. Nothing
// changes, and Problem names the field and the reason, when a text is no
// number, the left is not below the right, the bottom is negative or not
// below the top, a border lies inside the bodies, or the bodies cannot be
// fitted into the area. The axis scales are brought up to date in every
// case.
TModelSetupResult ApplyModelSetup(TPolygonChart& Chart, bool KeepModel, const QString& Left, const QString& Right,
                                  const QString& Bottom);
// Shows the dialog with the present area and applies what it holds when it
// closes, by "Apply", Return, Escape or the window's close box alike; true
// when the area changed.
bool ModelSetup(TPolygonChart& Chart, bool KeepModel, QWidget* Owner = nullptr);

} // namespace lp
