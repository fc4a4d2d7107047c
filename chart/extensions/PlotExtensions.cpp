// Start-up of the chart extensions.

#include "chart/extensions/PlotExtensions.h"

#include "chart/extensions/PlotErrorBar.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"
#include "chart/extensions/circular/PlotGaugeSeries.h"
#include "chart/extensions/circular/PlotRoseSeries.h"
#include "chart/extensions/circular/PlotSmithSeries.h"
#include "chart/extensions/functions/PlotSmoothing.h"
#include "chart/extensions/points3d/PlotPoint3DSeries.h"

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
    // The circular series and the offset bars ("Extended" and "Other").
    RegisterPolarSeries();
    RegisterRoseSeries();
    RegisterSmithSeries();
    RegisterGaugeSeries();
    RegisterBar3DDonutSeries();
}

void FinalizeChartExtensions()
{
    if (ExtensionsInitCount == 0 || --ExtensionsInitCount > 0)
        return;
    UnregisterBar3DDonutSeries();
    UnregisterGaugeSeries();
    UnregisterSmithSeries();
    UnregisterRoseSeries();
    UnregisterPolarSeries();
    UnregisterPoint3DSeries();
    UnregisterSmoothingFunction();
    UnregisterErrorBarSeries();
}

} // namespace lp
