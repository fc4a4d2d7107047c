#include "chart/editors/ChartEditors.h"

#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/axis/AxisEditorPage.h"
#include "chart/editors/effects/FontEditor.h"
#include "chart/editors/effects/ShadowEditor.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/engine/PlotChart.h"

namespace lp {

namespace {

int EditorsInitCount = 0;

template <class TPage>
void RegisterPage(const char* ClassName)
{
    RegisterEditorPage(QString::fromLatin1(ClassName), [](QWidget* Parent) { return new TPage(Parent); });
}

const char* const PageClassNames[] = {"TPlotShadowEditor", "TPlotFontEditor", "TFormPlotAxis"};

} // namespace

void InitializeChartEditors()
{
    if (EditorsInitCount++ > 0)
        return;
    RegisterPage<TPlotShadowEditor>("TPlotShadowEditor");
    RegisterPage<TPlotFontEditor>("TPlotFontEditor");
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
    auto& showSeriesEditor = ChartEditorEntryPoints().ShowSeriesEditor;
    using TShowSeriesEditor = void (*)(TChartSeries*);
    if (const TShowSeriesEditor* filled = showSeriesEditor.target<TShowSeriesEditor>(); filled && *filled == &ShowSeriesEditor)
        showSeriesEditor = nullptr;
    auto& showAxisEditor = ChartEditorEntryPoints().ShowAxisEditor;
    using TShowAxisEditor = void (*)(TCustomChart*, TChartAxis*);
    if (const TShowAxisEditor* filled = showAxisEditor.target<TShowAxisEditor>(); filled && *filled == &ShowAxisEditor)
        showAxisEditor = nullptr;
    for (const char* name : PageClassNames)
        UnregisterEditorPage(QString::fromLatin1(name));
}

} // namespace lp
