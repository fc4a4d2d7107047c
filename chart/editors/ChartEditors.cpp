#include "chart/editors/ChartEditors.h"

#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/chart/LegendPage.h"
#include "chart/editors/chart/PanelPage.h"
#include "chart/editors/chart/TitlesPage.h"
#include "chart/editors/chart/View3DPage.h"
#include "chart/editors/chart/WallsPage.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/effects/ShadowEditor.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/effects/SymbolEditor.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/gallery/SeriesGallery.h"
#include "chart/engine/PlotChart.h"

namespace lp {

namespace {

int EditorsInitCount = 0;

template <class TPage>
void RegisterPage(const char* ClassName)
{
    RegisterEditorPage(QString::fromLatin1(ClassName), [](QWidget* Parent) { return new TPage(Parent); });
}

const char* const PageClassNames[] = {"TPlotShadowEditor", "TPlotFontEditor", "TPlotGradientEditor", "TFormPlot3D",
                                     "TFormPlotShape",    "TSymbolEditor",
                                     "TFormPlotLegend",   "TFormPlotTitle",      "TFormPlotPanel",
                                     "TFormPlotWall"};

bool EditGradientFromEditors(QWidget* Owner, TPlotGradient& Gradient)
{
    return EditGradientDialog(Owner, Gradient);
}

} // namespace

void InitializeChartEditors()
{
    if (EditorsInitCount++ > 0)
        return;
    RegisterPage<TPlotShadowEditor>("TPlotShadowEditor");
    RegisterPage<TPlotFontEditor>("TPlotFontEditor");
    RegisterPage<TPlotGradientEditor>("TPlotGradientEditor");
    RegisterPage<TFormPlot3D>("TFormPlot3D");
    RegisterPage<TFormPlotShape>("TFormPlotShape");
    RegisterPage<TSymbolEditor>("TSymbolEditor");
    RegisterPage<TFormPlotLegend>("TFormPlotLegend");
    RegisterPage<TFormPlotTitle>("TFormPlotTitle");
    RegisterPage<TFormPlotPanel>("TFormPlotPanel");
    RegisterPage<TFormPlotWall>("TFormPlotWall");
    ChartEditorEntryPoints().ShowLegendOptions = &ShowLegendOptions;
    EditGradientEntryPoint() = &EditGradientFromEditors;
    InstallGalleryHooks();
    // The graphic editor opens the series page; until that page is
    // registered the series menu keeps its "Options" command disabled.
    if (IsEditorPageRegistered(QStringLiteral("TFormPlotSeries")))
        ChartEditorEntryPoints().ShowSeriesEditor = &ShowSeriesEditor;
}

void FinalizeChartEditors()
{
    if (EditorsInitCount == 0 || --EditorsInitCount > 0)
        return;
    // Only an entry point this layer filled is cleared.
    auto& showSeriesEditor = ChartEditorEntryPoints().ShowSeriesEditor;
    using TShowSeriesEditor = void (*)(TChartSeries*);
    if (const TShowSeriesEditor* filled = showSeriesEditor.target<TShowSeriesEditor>(); filled && *filled == &ShowSeriesEditor)
        showSeriesEditor = nullptr;
    auto& showLegendOptions = ChartEditorEntryPoints().ShowLegendOptions;
    using TShowLegendOptions = void (*)(TCustomChart*, TChartLegend*);
    if (const TShowLegendOptions* filled = showLegendOptions.target<TShowLegendOptions>();
        filled && *filled == &ShowLegendOptions)
        showLegendOptions = nullptr;
    RemoveGalleryHooks();
    auto& editGradient = EditGradientEntryPoint();
    using TEditGradient = bool (*)(QWidget*, TPlotGradient&);
    if (const TEditGradient* filled = editGradient.target<TEditGradient>(); filled && *filled == &EditGradientFromEditors)
        editGradient = nullptr;
    for (const char* name : PageClassNames)
        UnregisterEditorPage(QString::fromLatin1(name));
}

} // namespace lp
