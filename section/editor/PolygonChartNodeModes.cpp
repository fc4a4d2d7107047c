// The section chart's node modes.

#include "section/editor/PolygonChart.h"

namespace lp {

bool TPolygonChart::EditStepNodeModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right)
{
    (void)Mode;
    (void)Phase;
    (void)X;
    (void)Y;
    (void)Right;
    return false; // not yet built
}

} // namespace lp
