#pragma once
// The nearest point tool's page: the marker's pen, fill, size and shape,
// the line to the mouse, and whether the chart repaints whole.

#include "chart/editors/tools/ToolEditorBases.h"

class QCheckBox;

namespace lp {

class TNearestTool;

class TNearestToolEdit : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TNearestToolEdit(QWidget* Parent = nullptr);

    TNearestTool* NearestTool() const;

    TButtonPen* BPen;
    QPushButton* Button1;
    QSpinBox* UDSize;
    QComboBox* CBStyle;
    QCheckBox* CBFull;
    TButtonPen* BLine;

protected:
    void FillControls() override;
};

} // namespace lp
