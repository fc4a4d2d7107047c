#include "chart/editors/ChartEditors.h"

#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/chart/View3DPage.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/effects/ShadowEditor.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/gallery/SeriesGallery.h"
#include "chart/engine/PlotChart.h"

#include <functional>

namespace lp {

namespace {

int EditorsInitCount = 0;

template <class TPage>
void RegisterPage(const char* ClassName)
{
    RegisterEditorPage(QString::fromLatin1(ClassName), [](QWidget* Parent) { return new TPage(Parent); });
}

const char* const PageClassNames[] = {"TPlotShadowEditor", "TPlotFontEditor", "TPlotGradientEditor", "TFormPlot3D",
                                      "TFormPlotAxis"};

bool EditGradientFromEditors(QWidget* Owner, TPlotGradient& Gradient)
{
    return EditGradientDialog(Owner, Gradient);
}

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
    RegisterPage<TPlotShadowEditor>("TPlotShadowEditor");
    RegisterPage<TPlotFontEditor>("TPlotFontEditor");
    RegisterPage<TPlotGradientEditor>("TPlotGradientEditor");
    RegisterPage<TFormPlot3D>("TFormPlot3D");
    EditGradientEntryPoint() = &EditGradientFromEditors;
    InstallGalleryHooks();
    RegisterPage<TFormPlotAxis>("TFormPlotAxis");
    ChartEditorEntryPoints().ShowAxisEditor = &ShowAxisEditor;
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
    ClearIfFilledWith(ChartEditorEntryPoints().ShowSeriesEditor, &ShowSeriesEditor);
    RemoveGalleryHooks();
    ClearIfFilledWith(EditGradientEntryPoint(), &EditGradientFromEditors);
    ClearIfFilledWith(ChartEditorEntryPoints().ShowAxisEditor, &ShowAxisEditor);
    for (const char* name : PageClassNames)
        UnregisterEditorPage(QString::fromLatin1(name));
}

} // namespace lp
