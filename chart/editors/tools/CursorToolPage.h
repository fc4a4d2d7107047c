#pragma once
// The cursor tool's page: pen, style, snapping to the series, following the
// mouse, the series' Z and the click tolerance.

#include "chart/editors/tools/ToolEditorBases.h"

class QCheckBox;

namespace lp {

class TCursorTool;

class TCursorToolEditor : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TCursorToolEditor(QWidget* Parent = nullptr);

    TCursorTool* CursorTool() const;

    TButtonPen* BPen;
    QComboBox* CBStyle;
    QCheckBox* CBSnap;
    QCheckBox* CBFollow;
    QCheckBox* CBZ;
    QSpinBox* UDClick;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
};

} // namespace lp
