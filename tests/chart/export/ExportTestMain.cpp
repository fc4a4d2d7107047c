// The export suite runs with an application object (offscreen), the chart
// library, its extensions and the chart file classes started.

#include "chart/engine/PlotChart.h"
#include "chart/export/PlotChartFile.h"
#include "chart/export/PlotChartImage.h"
#include "chart/extensions/PlotExtensions.h"

#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    lp::InitializeChartLibrary();
    lp::InitializeChartExtensions();
    lp::RegisterChartFileClasses();
    lp::RegisterChartImage();
    ::testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    lp::UnRegisterChartImage();
    lp::UnRegisterChartFileClasses();
    lp::FinalizeChartExtensions();
    lp::FinalizeChartLibrary();
    return Result;
}
