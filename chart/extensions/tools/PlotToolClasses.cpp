#include "chart/extensions/tools/PlotToolClasses.h"

#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/tools/PlotAnnotationTool.h"
#include "chart/extensions/tools/PlotAxisArrowTool.h"
#include "chart/extensions/tools/PlotAxisScrollTool.h"
#include "chart/extensions/tools/PlotClipSeriesTool.h"
#include "chart/extensions/tools/PlotColorBandTool.h"
#include "chart/extensions/tools/PlotColorLineTool.h"
#include "chart/extensions/tools/PlotCursorTool.h"
#include "chart/extensions/tools/PlotDragMarksTool.h"
#include "chart/extensions/tools/PlotDrawLineTool.h"
#include "chart/extensions/tools/PlotGridBandTool.h"
#include "chart/extensions/tools/PlotMarksTipTool.h"
#include "chart/extensions/tools/PlotNearestTool.h"
#include "chart/extensions/tools/PlotRectangleTool.h"
#include "chart/extensions/tools/PlotRotateTool.h"
#include "chart/extensions/tools/PlotSeriesAnimation.h"

namespace lp {

void RegisterToolClasses()
{
    // The tools gallery lists them in this order.
    RegisterPlotTools({PlotClass<TCursorTool>(), PlotClass<TDragMarksTool>(), PlotClass<TAxisArrowTool>(),
                       PlotClass<TDrawLineTool>(), PlotClass<TNearestTool>(), PlotClass<TColorBandTool>(),
                       PlotClass<TColorLineTool>(), PlotClass<TRotateTool>(), PlotClass<TChartImageTool>(),
                       PlotClass<TMarksTipTool>(), PlotClass<TAnnotationTool>(), PlotClass<TSeriesAnimationTool>(),
                       PlotClass<TGridBandTool>(), PlotClass<TAxisScrollTool>(), PlotClass<TRectangleTool>(),
                       PlotClass<TClipSeriesTool>()});
}

void UnregisterToolClasses()
{
    UnRegisterPlotTools({&TCursorTool::staticMetaObject, &TDragMarksTool::staticMetaObject,
                         &TAxisArrowTool::staticMetaObject, &TDrawLineTool::staticMetaObject,
                         &TNearestTool::staticMetaObject, &TColorBandTool::staticMetaObject,
                         &TColorLineTool::staticMetaObject, &TRotateTool::staticMetaObject,
                         &TChartImageTool::staticMetaObject, &TMarksTipTool::staticMetaObject,
                         &TAnnotationTool::staticMetaObject, &TSeriesAnimationTool::staticMetaObject,
                         &TGridBandTool::staticMetaObject, &TAxisScrollTool::staticMetaObject,
                         &TRectangleTool::staticMetaObject, &TClipSeriesTool::staticMetaObject});
}

} // namespace lp
