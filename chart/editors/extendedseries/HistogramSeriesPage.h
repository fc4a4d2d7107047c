#pragma once
// The histogram series' page: colour each point or one colour, the lines
// between the bars, the border, the pattern and the transparency.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonColor;
class TButtonPen;

class THistogramSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit THistogramSeriesEditor(QWidget* Parent = nullptr);

    QGroupBox* GroupBox1;
    QCheckBox* CBColorEach;
    TButtonColor* BAreaColor;
    TButtonPen* BAreaLinesPen;
    TButtonPen* BAreaLinePen;
    QPushButton* Button1;
    QSpinBox* UDTransp;

protected:
    void FillControls() override;
    // One colour only without colour each point.
    void UpdateEnabled() override;
};

} // namespace lp
