#pragma once
// The axis arrow tool's page: the arrows' fill, length, place, size and
// head, and how far a click scrolls the axis.

#include "chart/editors/tools/ToolEditorBases.h"

class QCheckBox;

namespace lp {

class TAxisArrowTool;

class TAxisArrowToolEditor : public TAxisToolEditor {
    Q_OBJECT
public:
    explicit TAxisArrowToolEditor(QWidget* Parent = nullptr);

    TAxisArrowTool* ArrowTool() const;

    QPushButton* Button1;
    QSpinBox* UDLength;
    QComboBox* CBPos;
    QSpinBox* UDScroll;
    QCheckBox* CBInv;
    QSpinBox* UDSize;
    QSpinBox* UDWidth;
};

} // namespace lp
