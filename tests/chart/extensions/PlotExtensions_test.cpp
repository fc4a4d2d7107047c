// The extensions' start-up registers each series type with its gallery text,
// page and number of gallery series, and every class it lists for reading.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/PlotExtensions.h"
#include "chart/extensions/financial/PlotBigCandle.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/extensions/stats/PlotBoxPlot.h"
#include "chart/extensions/stats/PlotFunnel.h"
#include "chart/extensions/stats/PlotPyramid.h"
#include "chart/extensions/stats/PlotVolumePipe.h"
#include "tests/chart/engine/EngineTestUtil.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(ExtensionRegistration, SeriesTypesWithTheirGalleryTexts)
{
    const struct {
        const QMetaObject* Class;
        const char* Description;
        const char* Page;
        int GallerySeries;
    } Rows[] = {
        {&TBoxSeries::staticMetaObject, "BoxPlot", "Stats", 2},
        {&THorizBoxSeries::staticMetaObject, "Horizontal\rBoxPlot", "Stats", 2},
        {&TPointFigureSeries::staticMetaObject, "Point & Figure", "Financial", 1},
        {&TBigCandleSeries::staticMetaObject, "Big Candle", "Other", 1},
        {&TFunnelSeries::staticMetaObject, "Funnel", "Stats", 1},
        {&TPyramidSeries::staticMetaObject, "Pyramid", "Extended", 2},
        {&TVolumePipeSeries::staticMetaObject, "VolumePipe", "Stats", 1},
    };
    for (const auto& Row : Rows) {
        const TPlotSeriesType* Type = PlotSeriesTypes()->Find(Row.Class);
        ASSERT_NE(Type, nullptr) << Row.Description;
        EXPECT_EQ(Type->DescriptionText(), Row.Description);
        EXPECT_EQ(Type->GalleryPageText(), Row.Page);
        EXPECT_EQ(Type->NumGallerySeries, Row.GallerySeries);
    }
}

QStringList ExtensionTestClassNames(const std::vector<const QMetaObject*>& Classes)
{
    QStringList Names;
    for (const QMetaObject* Class : Classes)
        Names << TPersistent::ClassNameOf(*Class);
    Names.sort();
    return Names;
}

// Every series, function and tool type the library and its extensions list
// is created by name, as a chart file reads it; the extensions' shutdown
// takes each class of theirs out of the class registry again (their tools
// and functions used to stay), leaving the engine's own and its picture tool.
TEST(ExtensionRegistration, EveryListedClassIsReadableUntilTheShutdown)
{
    const std::vector<const QMetaObject*> Listed = test::RegistryClasses();
    EXPECT_GE(Listed.size(), 120u);
    {
        TChart Owner;
        test::ExpectCreatedByName(Listed, Owner);
    }
    // The suite's start-up ran the extensions' once: stop them, then start them.
    FinalizeChartExtensions();
    std::vector<const QMetaObject*> Left;
    for (const QMetaObject* Class : Listed)
        if (GetClass(TPersistent::ClassNameOf(*Class)))
            Left.push_back(Class);
    std::vector<const QMetaObject*> Engine = test::RegistryClasses();
    Engine.push_back(&TChartImageTool::staticMetaObject);
    InitializeChartExtensions();
    EXPECT_EQ(ExtensionTestClassNames(Left), ExtensionTestClassNames(Engine));
    EXPECT_EQ(test::RegistryClasses(), Listed);
}

} // namespace
} // namespace lp
