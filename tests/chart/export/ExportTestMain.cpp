// The export suite runs with an application object (offscreen) and with the
// chart library, its extensions and the export layer started as the
// application starts them.

#include "chart/engine/PlotChart.h"
#include "chart/export/PlotExport.h"
#include "chart/extensions/PlotExtensions.h"

#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    lp::InitializeChartLibrary();
    lp::InitializeChartExtensions();
    lp::InitializeChartExport();
    ::testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    lp::FinalizeChartExport();
    lp::FinalizeChartExtensions();
    lp::FinalizeChartLibrary();
    return Result;
}
