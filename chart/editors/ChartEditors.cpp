#include "chart/editors/ChartEditors.h"

#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/chart/GeneralPage.h"
#include "chart/editors/chart/LegendPage.h"
#include "chart/editors/chart/PagingPage.h"
#include "chart/editors/chart/PanelPage.h"
#include "chart/editors/chart/TitlesPage.h"
#include "chart/editors/chart/View3DPage.h"
#include "chart/editors/chart/WallsPage.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/effects/ShadowEditor.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/effects/SymbolEditor.h"
#include "chart/editors/extendedseries/BarJoinSeriesPage.h"
#include "chart/editors/extendedseries/BoxSeriesPage.h"
#include "chart/editors/extendedseries/CalendarSeriesPage.h"
#include "chart/editors/extendedseries/ColorGridSeriesPage.h"
#include "chart/editors/extendedseries/ContourSeriesPage.h"
#include "chart/editors/extendedseries/ErrorSeriesPage.h"
#include "chart/editors/extendedseries/FunnelSeriesPage.h"
#include "chart/editors/extendedseries/HighLowSeriesPage.h"
#include "chart/editors/extendedseries/HistogramSeriesPage.h"
#include "chart/editors/extendedseries/ImageBarSeriesPage.h"
#include "chart/editors/extendedseries/LinePointSeriesPage.h"
#include "chart/editors/extendedseries/PointFigureSeriesPage.h"
#include "chart/editors/extendedseries/PyramidSeriesPage.h"
#include "chart/editors/extendedseries/TowerSeriesPage.h"
#include "chart/editors/extendedseries/VectorSeriesPage.h"
#include "chart/editors/extendedseries/VolumePipeSeriesPage.h"
#include "chart/editors/extendedseries/WaterfallSeriesPage.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/functions/ADXFunctionEditor.h"
#include "chart/editors/functions/AverageFunctionEditor.h"
#include "chart/editors/functions/CompressFunctionEditor.h"
#include "chart/editors/functions/CustomFunctionEditor.h"
#include "chart/editors/functions/FunctionPage.h"
#include "chart/editors/functions/IndicatorFunctionEditors.h"
#include "chart/editors/functions/MovingAverageFunctionEditors.h"
#include "chart/editors/functions/OscillatorFunctionEditors.h"
#include "chart/editors/functions/PeriodFunctionEditor.h"
#include "chart/editors/functions/RMSFunctionEditor.h"
#include "chart/editors/functions/SmoothingFunctionEditor.h"
#include "chart/editors/functions/VolumeFunctionEditors.h"
#include "chart/editors/gallery/SeriesGallery.h"
#include "chart/editors/series/CustomSeriesEditor.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/editors/tools/ToolsPage.h"
#include "chart/editors/tools/AnnotationToolPage.h"
#include "chart/editors/tools/AxisArrowToolPage.h"
#include "chart/editors/tools/ColorLineBandToolPages.h"
#include "chart/editors/tools/CursorToolPage.h"
#include "chart/editors/tools/DataTableToolPage.h"
#include "chart/editors/tools/DrawLineToolPage.h"
#include "chart/editors/tools/ExtensionToolPages.h"
#include "chart/editors/tools/GridBandToolPage.h"
#include "chart/editors/tools/MarksToolPages.h"
#include "chart/editors/tools/NearestToolPage.h"
#include "chart/editors/tools/PictureToolPage.h"
#include "chart/editors/tools/RotateToolPage.h"
#include "chart/editors/tools/SeriesAnimationToolPage.h"
#include "chart/editors/tools/ToolEditorBases.h"
#include "chart/editors/seriestypes/AreaSeriesEditor.h"
#include "chart/editors/seriestypes/ArrowSeriesEditor.h"
#include "chart/editors/seriestypes/BarSeriesEditor.h"
#include "chart/editors/seriestypes/BubbleSeriesEditor.h"
#include "chart/editors/seriestypes/CandleEditor.h"
#include "chart/editors/seriestypes/ChartShapeEditor.h"
#include "chart/editors/seriestypes/CircledSeriesEditor.h"
#include "chart/editors/seriestypes/FastLineSeriesEditor.h"
#include "chart/editors/seriestypes/GanttSeriesEditor.h"
#include "chart/editors/seriestypes/Grid3DSeriesEditor.h"
#include "chart/editors/seriestypes/MapSeriesEditor.h"
#include "chart/editors/seriestypes/PieSeriesEditor.h"
#include "chart/editors/seriestypes/StackBarSeriesEditor.h"
#include "chart/editors/seriestypes/SurfaceSeriesEditor.h"
#include "chart/editors/seriestypes/VolumeSeriesEditor.h"
#include "chart/editors/seriestypes/ClockSeriesEditor.h"
#include "chart/editors/seriestypes/DonutSeriesEditor.h"
#include "chart/editors/seriestypes/GaugeSeriesEditor.h"
#include "chart/editors/seriestypes/Point3DSeriesEditor.h"
#include "chart/editors/seriestypes/PolarSeriesEditor.h"
#include "chart/editors/seriestypes/SmithSeriesEditor.h"
#include "chart/editors/seriestypes/TriSurfaceSeriesEditor.h"
#include "chart/editors/seriestypes/WindRoseSeriesEditor.h"
#include "chart/engine/PlotChart.h"

#include <functional>

namespace lp {

namespace {

int EditorsInitCount = 0;

template <class TPage>
TEditorPage* MakePage(QWidget* Parent)
{
    return new TPage(Parent);
}

// Every page this layer registers, by the class name hosts ask for.
struct TPageEntry {
    const char* ClassName;
    TEditorPage* (*Make)(QWidget* Parent);
};

const TPageEntry Pages[] = {
    {"TPlotShadowEditor", &MakePage<TPlotShadowEditor>},
    {"TPlotFontEditor", &MakePage<TPlotFontEditor>},
    {"TPlotGradientEditor", &MakePage<TPlotGradientEditor>},
    {"TFormPlot3D", &MakePage<TFormPlot3D>},
    {"TFormPlotAxis", &MakePage<TFormPlotAxis>},
    {"TFormPlotShape", &MakePage<TFormPlotShape>},
    {"TSymbolEditor", &MakePage<TSymbolEditor>},
    {"TFormPlotLegend", &MakePage<TFormPlotLegend>},
    {"TFormPlotTitle", &MakePage<TFormPlotTitle>},
    {"TFormPlotPanel", &MakePage<TFormPlotPanel>},
    {"TFormPlotWall", &MakePage<TFormPlotWall>},
    {"TPlotFuncEditor", &MakePage<TPlotFuncEditor>},
    {"TPlotFunctionEditor", &MakePage<TPlotFunctionEditor>},
    {"TAverageFuncEditor", &MakePage<TAverageFuncEditor>},
    {"TCustomFunctionEditor", &MakePage<TCustomFunctionEditor>},
    {"TCompressFuncEditor", &MakePage<TCompressFuncEditor>},
    {"TCLVFuncEditor", &MakePage<TCLVFuncEditor>},
    {"TOBVFuncEditor", &MakePage<TOBVFuncEditor>},
    {"TCCIFuncEditor", &MakePage<TCCIFuncEditor>},
    {"TPVOFuncEditor", &MakePage<TPVOFuncEditor>},
    {"TADXFuncEditor", &MakePage<TADXFuncEditor>},
    {"TMovAveFuncEditor", &MakePage<TMovAveFuncEditor>},
    {"TSmoothFuncEditor", &MakePage<TSmoothFuncEditor>},
    {"TMACDFuncEditor", &MakePage<TMACDFuncEditor>},
    {"TBollingerFuncEditor", &MakePage<TBollingerFuncEditor>},
    {"TRMSFuncEditor", &MakePage<TRMSFuncEditor>},
    {"TExpAveFuncEditor", &MakePage<TExpAveFuncEditor>},
    {"TSeriesPointerEditor", &MakePage<TSeriesPointerEditor>},
    {"TCustomSeriesEditor", &MakePage<TCustomSeriesEditor>},
    {"TGrid3DSeriesEditor", &MakePage<TGrid3DSeriesEditor>},
    {"TSurfaceSeriesEditor", &MakePage<TSurfaceSeriesEditor>},
    {"TBarSeriesEditor", &MakePage<TBarSeriesEditor>},
    {"TStackBarSeriesEditor", &MakePage<TStackBarSeriesEditor>},
    {"TCircledSeriesEditor", &MakePage<TCircledSeriesEditor>},
    {"TPieSeriesEditor", &MakePage<TPieSeriesEditor>},
    {"TAreaSeriesEditor", &MakePage<TAreaSeriesEditor>},
    {"TFastLineSeriesEditor", &MakePage<TFastLineSeriesEditor>},
    {"TVolumeSeriesEditor", &MakePage<TVolumeSeriesEditor>},
    {"TGanttSeriesEditor", &MakePage<TGanttSeriesEditor>},
    {"TArrowSeriesEditor", &MakePage<TArrowSeriesEditor>},
    {"TBubbleSeriesEditor", &MakePage<TBubbleSeriesEditor>},
    {"TChartShapeEditor", &MakePage<TChartShapeEditor>},
    {"TCandleEditor", &MakePage<TCandleEditor>},
    {"TMapSeriesEditor", &MakePage<TMapSeriesEditor>},
    // The round series' pages, the triangulated surface's and the 3-D
    // points'.
    {"TPolarSeriesEditor", &MakePage<TPolarSeriesEditor>},
    {"TClockEditor", &MakePage<TClockEditor>},
    {"TWindRoseEditor", &MakePage<TWindRoseEditor>},
    {"TGaugeSeriesEditor", &MakePage<TGaugeSeriesEditor>},
    {"TSmithSeriesEdit", &MakePage<TSmithSeriesEdit>},
    {"TDonutSeriesEditor", &MakePage<TDonutSeriesEditor>},
    {"TTriSurfaceSeriesEditor", &MakePage<TTriSurfaceSeriesEditor>},
    {"TPoint3DSeriesEditor", &MakePage<TPoint3DSeriesEditor>},
    {"TFormPlotSeries", &MakePage<TFormPlotSeries>},
    {"TFormPlotGeneral", &MakePage<TFormPlotGeneral>},
    {"TFormPlotPage", &MakePage<TFormPlotPage>},
    {"TFormPlotTools", &MakePage<TFormPlotTools>},
    {"TErrorSeriesEditor", &MakePage<TErrorSeriesEditor>},
    {"THistogramSeriesEditor", &MakePage<THistogramSeriesEditor>},
    {"THighLowEditor", &MakePage<THighLowEditor>},
    {"TBoxSeriesEditor", &MakePage<TBoxSeriesEditor>},
    {"TPointFigureEditor", &MakePage<TPointFigureEditor>},
    {"TColorGridEditor", &MakePage<TColorGridEditor>},
    {"TLinePointEditor", &MakePage<TLinePointEditor>},
    {"TImageBarSeriesEditor", &MakePage<TImageBarSeriesEditor>},
    {"TPyramidSeriesEditor", &MakePage<TPyramidSeriesEditor>},
    {"TVolumePipeSeriesEditor", &MakePage<TVolumePipeSeriesEditor>},
    {"TFunnelSeriesEditor", &MakePage<TFunnelSeriesEditor>},
    {"TCalendarSeriesEditor", &MakePage<TCalendarSeriesEditor>},
    // The 3-D grid family's pages and the bar join's.
    {"TContourSeriesEditor", &MakePage<TContourSeriesEditor>},
    {"TWaterFallEditor", &MakePage<TWaterFallEditor>},
    {"TTowerSeriesEditor", &MakePage<TTowerSeriesEditor>},
    {"TVectorSeriesEditor", &MakePage<TVectorSeriesEditor>},
    {"TBarJoinEditor", &MakePage<TBarJoinEditor>},
    // The pages of the chart tools, by the names the tools report.
    {"TSeriesToolEditor", &MakePage<TSeriesToolEditor>},
    {"TAxisToolEditor", &MakePage<TAxisToolEditor>},
    {"TCursorToolEditor", &MakePage<TCursorToolEditor>},
    {"TColorLineToolEditor", &MakePage<TColorLineToolEditor>},
    {"TColorBandToolEditor", &MakePage<TColorBandToolEditor>},
    {"TAnnotationToolEdit", &MakePage<TAnnotationToolEdit>},
    {"TAxisArrowToolEditor", &MakePage<TAxisArrowToolEditor>},
    {"TDrawLineEdit", &MakePage<TDrawLineEdit>},
    {"TChartImageToolEditor", &MakePage<TChartImageToolEditor>},
    {"TRotateToolEditor", &MakePage<TRotateToolEditor>},
    {"TNearestToolEdit", &MakePage<TNearestToolEdit>},
    {"TMarksTipToolEdit", &MakePage<TMarksTipToolEdit>},
    {"TDragMarksToolEditor", &MakePage<TDragMarksToolEditor>},
    {"TGridBandToolEdit", &MakePage<TGridBandToolEdit>},
    {"TSeriesAnimToolEditor", &MakePage<TSeriesAnimToolEditor>},
    {"TDataTableEditor", &MakePage<TDataTableEditor>},
    {"TScrollBarEditor", &MakePage<TScrollbarEditor>},
    {"TSelectorToolEditor", &MakePage<TSelectorToolEditor>},
    {"TLightToolEditor", &MakePage<TLightToolEditor>},
    {"TSurfaceNearest", &MakePage<TSurfaceNearest>},
    {"TSeriesBandToolEdit", &MakePage<TSeriesBandToolEdit>},
    {"TExtraLegendEditor", &MakePage<TExtraLegendEditor>},
    {"TPieToolEditor", &MakePage<TPieToolEditor>},
    {"TDragPointToolEdit", &MakePage<TDragPointToolEdit>},
    {"TGanttToolEditor", &MakePage<TGanttToolEditor>},
    {"TGridTransposeToolEdit", &MakePage<TGridTransposeToolEdit>},
};

// Empties an entry point only when it still holds the routine this layer
// put there, so a replacement installed by someone else survives shutdown.
template <class TSignature>
void ClearIfFilledWith(std::function<TSignature>& EntryPoint, TSignature* Filled)
{
    if (TSignature* const* held = EntryPoint.template target<TSignature*>(); held && *held == Filled)
        EntryPoint = nullptr;
}

} // namespace

void InitializeChartEditors()
{
    if (EditorsInitCount++ > 0)
        return;
    for (const TPageEntry& page : Pages)
        RegisterEditorPage(QString::fromLatin1(page.ClassName), page.Make);
    EditGradientEntryPoint() = &EditGradientDialog;
    InstallGalleryHooks();
    ChartEditorEntryPoints().ShowAxisEditor = &ShowAxisEditor;
    ChartEditorEntryPoints().ShowLegendOptions = &ShowLegendOptions;
    // The graphic editor opens the series page registered above.
    ChartEditorEntryPoints().ShowSeriesEditor = &ShowSeriesEditor;
}

void FinalizeChartEditors()
{
    if (EditorsInitCount == 0 || --EditorsInitCount > 0)
        return;
    // Only an entry point this layer filled is cleared.
    ClearIfFilledWith(ChartEditorEntryPoints().ShowSeriesEditor, &ShowSeriesEditor);
    ClearIfFilledWith(ChartEditorEntryPoints().ShowLegendOptions, &ShowLegendOptions);
    RemoveGalleryHooks();
    ClearIfFilledWith(EditGradientEntryPoint(), &EditGradientDialog);
    ClearIfFilledWith(ChartEditorEntryPoints().ShowAxisEditor, &ShowAxisEditor);
    for (const TPageEntry& page : Pages)
        UnregisterEditorPage(QString::fromLatin1(page.ClassName));
}

} // namespace lp
