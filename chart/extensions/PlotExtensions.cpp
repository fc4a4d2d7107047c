// Start-up of the chart extensions.

#include "chart/extensions/PlotExtensions.h"

#include "chart/extensions/PlotErrorBar.h"
#include "chart/extensions/functions/PlotSmoothing.h"

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
}

void FinalizeChartExtensions()
{
    if (ExtensionsInitCount == 0 || --ExtensionsInitCount > 0)
        return;
    UnregisterSmoothingFunction();
    UnregisterErrorBarSeries();
}

} // namespace lp
