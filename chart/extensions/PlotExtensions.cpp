// Start-up of the chart extensions.

#include "chart/extensions/PlotExtensions.h"

#include "chart/extensions/PlotErrorBar.h"
#include "chart/extensions/functions/PlotSmoothing.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"
#include "chart/extensions/tools/PlotToolClasses.h"

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
    RegisterPoint3DSeries();
    // The interactive tools, by class name.
    RegisterToolClasses();
}

void FinalizeChartExtensions()
{
    if (ExtensionsInitCount == 0 || --ExtensionsInitCount > 0)
        return;
    UnregisterToolClasses();
    UnregisterPoint3DSeries();
    UnregisterSmoothingFunction();
    UnregisterErrorBarSeries();
}

} // namespace lp
