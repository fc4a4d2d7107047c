#pragma once
// The pages of the colour line tool (a value line across an axis) and of
// the colour band tool (the area between two values of an axis). Both keep
// the axis combo and the pen button of the axis tool page: the line's pen
// and the band's frame.

#include "chart/editors/tools/ToolEditorBases.h"

class QCheckBox;
class QTabWidget;

namespace lp {

class TButtonColor;
class TButtonGradient;
class TColorBandTool;
class TColorLineTool;

class TColorLineToolEditor : public TAxisToolEditor {
    Q_OBJECT
public:
    explicit TColorLineToolEditor(QWidget* Parent = nullptr);

    TColorLineTool* LineTool() const;

    QTabWidget* PageControl1;
    // "Value"
    QLineEdit* EValue;
    QComboBox* CBStyle;
    // "Options"
    QCheckBox* CBAllowDrag;
    QCheckBox* CBDragRepaint;
    QCheckBox* CBNoLimitDrag;
    QCheckBox* CBDrawBehind;
    QCheckBox* CBDraw3D;

protected:
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;
};

class TColorBandToolEditor : public TAxisToolEditor {
    Q_OBJECT
public:
    explicit TColorBandToolEditor(QWidget* Parent = nullptr);

    TColorBandTool* BandTool() const;

    QPushButton* BPattern;
    QTabWidget* PageControl1;
    // "Values"
    QLineEdit* EStart;
    QCheckBox* CBStart;
    QLineEdit* EEnd;
    QCheckBox* CBEnd;
    TButtonPen* BStart;
    TButtonPen* BEnd;
    // "Options"
    TButtonGradient* BGradient;
    TButtonColor* ButtonColor1;
    QSpinBox* UDTrans;
    QCheckBox* CBDrawBehind;
    QCheckBox* CBBeforeAxes;
    QComboBox* CBCursor;

protected:
    void FillControls() override;
    void showEvent(QShowEvent* Event) override;
};

} // namespace lp
