#pragma once
// The bubble page: the pointer page for the bubbles (which are always
// drawn: no "Visible") with the bubbles' transparency.

#include "chart/editors/series/SeriesPointerEditor.h"

class QSpinBox;

namespace lp {

class TBubbleSeriesEditor : public TSeriesPointerEditor {
    Q_OBJECT
public:
    explicit TBubbleSeriesEditor(QWidget* Parent = nullptr);

    QSpinBox* UDTransp;
};

} // namespace lp
