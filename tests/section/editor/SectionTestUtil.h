#pragma once
// Models for the section editor tests.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"
#include "section/editor/PolygonChart.h"

#include <gtest/gtest.h>

namespace lp {

struct TSectionFixture {
    // A new 1000 x 100 model with Count square bodies: body k spans
    // x 100 + 250 (k - 1) .. 200 + 250 (k - 1), y 10 .. 50.
    static void AddBodies(TPolygonChart& Chart, int Count)
    {
        Chart.NewModel({}, false, 0, 1000, 0, 100);
        AppendBodies(Chart, Count);
    }

    static void AppendBodies(TPolygonChart& Chart, int Count, double Top = 10, double Bottom = 50)
    {
        const int first = Chart.Model.Length() - 1;
        for (int k = first; k < first + Count; ++k) {
            const double left = 100 + 250.0 * k;
            arofcomplexM square{{left, Top}, {left + 100, Top}, {left + 100, Bottom}, {left, Bottom}};
            ASSERT_TRUE(AddPolygon(square, Chart.Model, Chart.Nodes));
        }
        Chart.RebuildMapSeries();
        Chart.TakeBackup();
    }
};

} // namespace lp
