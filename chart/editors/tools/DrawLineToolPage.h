#pragma once
// The draw line tool's page: the mouse button that draws, the new lines'
// pen, drawing and selecting switches and the click tolerance.

#include "chart/editors/tools/ToolEditorBases.h"

class QCheckBox;

namespace lp {

class TDrawLineTool;

class TDrawLineEdit : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TDrawLineEdit(QWidget* Parent = nullptr);

    TDrawLineTool* LineTool() const;

    QComboBox* CBButton;
    TButtonPen* BPen;
    QCheckBox* CBEnable;
    QCheckBox* CBSelect;
    QSpinBox* UDClick;
    QCheckBox* CBSelectNew;

protected:
    void FillControls() override;
};

} // namespace lp
