// The extensions' start-up registers each series type with its gallery text,
// page and number of gallery series.

#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/financial/PlotBigCandle.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/extensions/stats/PlotBoxPlot.h"
#include "chart/extensions/stats/PlotFunnel.h"
#include "chart/extensions/stats/PlotPyramid.h"
#include "chart/extensions/stats/PlotVolumePipe.h"

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

} // namespace
} // namespace lp
