// The section chart's sub-polygon and body modes.

#include "section/editor/PolygonChart.h"

namespace lp {

bool TPolygonChart::EditStepBodyModes(TPolygonEditMode Mode, int Phase, double X, double Y, bool Right)
{
    (void)Mode;
    (void)Phase;
    (void)X;
    (void)Y;
    (void)Right;
    return false; // not yet built
}

} // namespace lp
