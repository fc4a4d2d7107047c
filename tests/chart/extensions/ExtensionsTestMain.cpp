// The extensions suite runs with an application object (offscreen) and with
// the chart library and its extensions started as the application starts
// them.

#include "chart/engine/PlotChart.h"
#include "chart/extensions/PlotExtensions.h"

#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    lp::InitializeChartLibrary();
    lp::InitializeChartExtensions();
    ::testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    lp::FinalizeChartExtensions();
    lp::FinalizeChartLibrary();
    return Result;
}
