// The editors suite runs offscreen with an application object and the chart
// library, its extensions, export and editors started as the application
// starts them.

#include "chart/editors/ChartEditors.h"
#include "chart/engine/PlotChart.h"
#include "chart/export/PlotExport.h"
#include "chart/extensions/PlotExtensions.h"

#include <QtCore/QLocale>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Numbers typed into the editors read the same on every machine; tests
    // of other locales set theirs and put this one back.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    lp::InitializeChartLibrary();
    lp::InitializeChartExtensions();
    lp::InitializeChartExport();
    lp::InitializeChartEditors();
    ::testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    lp::FinalizeChartEditors();
    lp::FinalizeChartExport();
    lp::FinalizeChartExtensions();
    lp::FinalizeChartLibrary();
    return Result;
}
