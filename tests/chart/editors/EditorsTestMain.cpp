// The editors suite runs offscreen with an application object and the chart
// library started as the application starts it.

#include "chart/engine/PlotChart.h"

#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    lp::InitializeChartLibrary();
    ::testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    lp::FinalizeChartLibrary();
    return Result;
}
