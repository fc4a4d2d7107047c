#pragma once
// The pages of the two tools that work on series marks: the marks tip
// (a hint with a mark's text under the mouse) and the dragged marks (with
// a button that puts every mark back in its automatic place). A tool
// without a series serves every series: "(all)" is its first entry.

#include "chart/editors/tools/ToolEditorBases.h"

class QButtonGroup;
class QGroupBox;

namespace lp {

class TDragMarksTool;
class TMarksTipTool;

class TMarksTipToolEdit : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TMarksTipToolEdit(QWidget* Parent = nullptr);

    TMarksTipTool* TipTool() const;

    QComboBox* CBMarkStyle;
    QGroupBox* GBMouseAction;
    QButtonGroup* RGMouseAction;
    QSpinBox* UDDelay;
};

class TDragMarksToolEditor : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TDragMarksToolEditor(QWidget* Parent = nullptr);

    TDragMarksTool* DragTool() const;

    QPushButton* Button1;

    // The marks of the tool's series, or of every series of the chart when
    // it has none, back in their automatic places.
    void ResetPositions();
};

} // namespace lp
