// Start-up of the chart extensions.

#include "chart/extensions/PlotExtensions.h"

#include "chart/extensions/PlotErrorBar.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"
#include "chart/extensions/circular/PlotGaugeSeries.h"
#include "chart/extensions/circular/PlotRoseSeries.h"
#include "chart/extensions/circular/PlotSmithSeries.h"
#include "chart/extensions/financial/PlotBigCandle.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/extensions/financial/PlotCompress.h"
#include "chart/extensions/financial/PlotOscillators.h"
#include "chart/extensions/financial/PlotVolumeIndicators.h"
#include "chart/extensions/functions/PlotCountCumulative.h"
#include "chart/extensions/functions/PlotCurveFitting.h"
#include "chart/extensions/functions/PlotDownSampling.h"
#include "chart/extensions/functions/PlotSmoothing.h"
#include "chart/extensions/grid3d/PlotGrid3DGallery.h"
#include "chart/extensions/planning/PlotCalendar.h"
#include "chart/extensions/planning/PlotGantt.h"
#include "chart/extensions/panels/PlotDraw3D.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"
#include "chart/extensions/shapes/PlotArrow.h"
#include "chart/extensions/shapes/PlotBezier.h"
#include "chart/extensions/shapes/PlotBubble.h"
#include "chart/extensions/shapes/PlotLinePoint.h"
#include "chart/extensions/shapes/PlotChartShape.h"
#include "chart/extensions/shapes/PlotImageBar.h"
#include "chart/extensions/shapes/PlotImagePoint.h"
#include "chart/extensions/stats/PlotBoxPlot.h"
#include "chart/extensions/stats/PlotFunnel.h"
#include "chart/extensions/stats/PlotPyramid.h"
#include "chart/extensions/stats/PlotStatFunctions.h"
#include "chart/extensions/tools/PlotDataTableTool.h"
#include "chart/extensions/tools/PlotExtraLegendTool.h"
#include "chart/extensions/tools/PlotScrollBarTool.h"
#include "chart/extensions/tools/PlotSelectorTool.h"
#include "chart/extensions/tools/PlotToolClasses.h"
#include "chart/extensions/stats/PlotVolumePipe.h"
#include "chart/extensions/tools/PlotDragPointTool.h"
#include "chart/extensions/tools/PlotGanttTool.h"
#include "chart/extensions/tools/PlotGridTransposeTool.h"
#include "chart/extensions/tools/PlotLightTool.h"
#include "chart/extensions/tools/PlotPageNumTool.h"
#include "chart/extensions/tools/PlotPieTool.h"
#include "chart/extensions/tools/PlotSeriesBandTool.h"
#include "chart/extensions/tools/PlotSurfaceNearestTool.h"

namespace lp {

namespace {
int ExtensionsInitCount = 0;
} // namespace

void InitializeChartExtensions()
{
    if (ExtensionsInitCount++ > 0)
        return;
    // The "Stats" gallery page.
    RegisterErrorBarSeries();
    // The "Extended" gallery page.
    RegisterSmoothingFunction();
    // The "3D" gallery page.
    RegisterGrid3DSeries();
    RegisterPoint3DSeries();
    // Figures, task plans, arrows, bubbles, curves, pictures and a calendar.
    RegisterChartShape();
    RegisterGanttSeries();
    RegisterArrowSeries();
    RegisterBubbleSeries();
    RegisterBezierSeries();
    RegisterLinePointSeries();
    RegisterImageBarSeries();
    RegisterImagePointSeries();
    RegisterCalendarSeries();
    // The circular series and the offset bars ("Extended" and "Other").
    RegisterPolarSeries();
    RegisterRoseSeries();
    RegisterSmithSeries();
    RegisterGaugeSeries();
    RegisterBar3DDonutSeries();
    // The "Financial" gallery page.
    RegisterCandleSeries();
    // Statistics on the "Financial", "Extended" and "Stats" pages.
    RegisterStatisticsFunctions();
    // The standard tools in one registration, then the further tools.
    RegisterToolClasses();
    RegisterDataTableTool();
    RegisterLegendScrollBar();
    RegisterSelectorTool();
    RegisterExtraLegendTool();
    // Boxes, point and figure, big candles, funnels, pyramids and pipes.
    RegisterBoxSeries();
    RegisterPointFigureSeries();
    RegisterBigCandleSeries();
    RegisterFunnelSeries();
    RegisterPyramidSeries();
    RegisterVolumePipeSeries();
    // Down-sampling, price compression, volume indicators, oscillators,
    // count and cumulative, fitted curves and trends.
    RegisterDownSamplingFunction();
    RegisterCompressFunction();
    RegisterVolumeIndicatorFunctions();
    RegisterOscillatorFunctions();
    RegisterCountCumulativeFunctions();
    RegisterCurveFittingFunctions();
    // Lighting, band, slice, surface, drag, page number and transpose
    // tools; the 3-D drawing panel.
    RegisterLightTool();
    RegisterSeriesBandTool();
    RegisterPieTool();
    RegisterSurfaceNearestTool();
    RegisterDragPointTool();
    RegisterGanttTool();
    RegisterPageNumTool();
    RegisterGridTransposeTool();
    RegisterDraw3D();
}

void FinalizeChartExtensions()
{
    if (ExtensionsInitCount == 0 || --ExtensionsInitCount > 0)
        return;
    UnregisterDraw3D();
    UnregisterGridTransposeTool();
    UnregisterPageNumTool();
    UnregisterGanttTool();
    UnregisterDragPointTool();
    UnregisterSurfaceNearestTool();
    UnregisterPieTool();
    UnregisterSeriesBandTool();
    UnregisterLightTool();
    UnregisterCurveFittingFunctions();
    UnregisterCountCumulativeFunctions();
    UnregisterOscillatorFunctions();
    UnregisterVolumeIndicatorFunctions();
    UnregisterCompressFunction();
    UnregisterDownSamplingFunction();
    UnregisterVolumePipeSeries();
    UnregisterPyramidSeries();
    UnregisterFunnelSeries();
    UnregisterBigCandleSeries();
    UnregisterPointFigureSeries();
    UnregisterBoxSeries();
    UnregisterExtraLegendTool();
    UnregisterSelectorTool();
    UnregisterLegendScrollBar();
    UnregisterDataTableTool();
    UnregisterToolClasses();
    UnregisterStatisticsFunctions();
    UnregisterCandleSeries();
    UnregisterBar3DDonutSeries();
    UnregisterGaugeSeries();
    UnregisterSmithSeries();
    UnregisterRoseSeries();
    UnregisterPolarSeries();
    UnregisterCalendarSeries();
    UnregisterImagePointSeries();
    UnregisterImageBarSeries();
    UnregisterLinePointSeries();
    UnregisterBezierSeries();
    UnregisterBubbleSeries();
    UnregisterArrowSeries();
    UnregisterGanttSeries();
    UnregisterChartShape();
    UnregisterPoint3DSeries();
    UnregisterGrid3DSeries();
    UnregisterSmoothingFunction();
    UnregisterErrorBarSeries();
}

} // namespace lp
