// The extensions' start-up registers each series type with its gallery text,
// page and number of gallery series, and every class it lists for reading;
// every registered series answers its legend and mark texts for any point,
// and paints values near the limit of the doubles and NaN.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/PlotExtensions.h"
#include "chart/extensions/financial/PlotBigCandle.h"
#include "chart/extensions/financial/PlotPointFigure.h"
#include "chart/extensions/grid3d/PlotGridSeries.h"
#include "chart/extensions/stats/PlotBoxPlot.h"
#include "chart/extensions/stats/PlotFunnel.h"
#include "chart/extensions/stats/PlotPyramid.h"
#include "chart/extensions/stats/PlotVolumePipe.h"
#include "tests/chart/engine/EngineTestUtil.h"

#include <algorithm>
#include <cmath>
#include <vector>

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
    // Tests run before this one in the same program may have registered
    // kinds again, out of the start-up's order: start from that order.
    FinalizeChartExtensions();
    InitializeChartExtensions();
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

// Guards: a legend text asked for a point's index raised where legend rows are not points.
// (The contour's rows are its levels.) Every registered kind, with samples, answers
// every legend row and every point with each legend text style, gives each
// point a mark text in each marks style, and paints its marks in the legend
// style.
TEST(ExtensionRegistration, EveryKindAnswersLegendAndMarkTextsForEveryPoint)
{
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    for (int T = 0; T < Types.Count(); ++T) {
        const TPlotSeriesType& Type = *Types[T];
        if (!Type.SeriesClass)
            continue;
        TChart Chart;
        Chart.SetBounds(0, 0, 300, 200);
        Chart.SetBufferedDisplay(false);
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Type.SeriesClass);
        const char* Kind = Type.SeriesClass->className();
        TChartSeries::RandomSeed(7);
        Series->FillSampleValues(8);
        Series->Marks()->SetVisible(true);
        // A first paint builds whatever the legend rows come from (levels,
        // palettes, groups).
        Series->Marks()->SetStyle(TSeriesMarks::smsValue);
        EXPECT_NO_THROW(Chart.CreateBitmap(clWhite, Chart.GetRectangle())) << Kind;
        const int Rows = std::max(Series->Count(), Series->CountLegendItems());
        for (int Style = TChartSeries::ltsPlain; Style <= TChartSeries::ltsXAndPercent; ++Style)
            for (int Row = 0; Row < Rows; ++Row) {
                QString Text;
                EXPECT_NO_THROW(Series->GetLegendText(Row, TChartSeries::TLegendTextStyle(Style), Text))
                    << Kind << " row " << Row << " style " << Style;
            }
        for (int Style = TSeriesMarks::smsValue; Style <= TSeriesMarks::smsXY; ++Style) {
            Series->Marks()->SetStyle(TSeriesMarks::TSeriesMarksStyle(Style));
            for (int I = 0; I < Series->Count(); ++I)
                EXPECT_NO_THROW(Series->GetMarkText(I)) << Kind << " point " << I << " style " << Style;
        }
        Series->Marks()->SetStyle(TSeriesMarks::smsLegend);
        EXPECT_NO_THROW(Chart.CreateBitmap(clWhite, Chart.GetRectangle())) << Kind;
    }
}

// --- Values near the limit of the doubles and NaN ------------------------------------------------

// The pixels in which two pictures of one size differ.
int DifferingPixels(const QImage& A, const QImage& B)
{
    int Count = 0;
    for (int Y = 0; Y < A.height(); ++Y)
        for (int X = 0; X < A.width(); ++X)
            Count += A.pixel(X, Y) != B.pixel(X, Y);
    return Count;
}

// Every value of points 1 .. 4 of every list becomes one of Values, but a
// grid's X and Z, its nodes (a grid of nodes so far apart is refused as too
// large to index).
void SetFarValues(TChartSeries& Series, const std::vector<double>& Values)
{
    const auto* Grid = qobject_cast<TCustom3DGridSeries*>(&Series);
    for (TChartValueList* List : Series.ValuesList()) {
        if (Grid && (List == Series.OtherValues() || List == Grid->ZValues()))
            continue;
        for (int I = 1; I <= 4 && I < Series.Count(); ++I)
            List->SetValue(I, Values[static_cast<size_t>(I - 1) % Values.size()]);
    }
}

// Guards: a pyramid fed values near ±1e300 raised in every paint, and so did
// a pie in 3-D and a donut given such values or NaN. Every registered kind
// with sample values, four points of which hold values near the limit of
// the doubles or NaN (see SetFarValues), paints flat and in 3-D without
// raising, and the chart's picture shows the series: it differs from the
// picture without it (axes and legend hidden, so only the series can make
// the difference).
TEST(ExtremeValues, EveryKindPaintsWhatItCan)
{
    const double NaN = std::nan("");
    const std::vector<std::vector<double>> ValueSets{{1e300, -1e300, 1.7e308, -1.7e308}, {NaN, 5, NaN, -5}};
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    for (int T = 0; T < Types.Count(); ++T) {
        const TPlotSeriesType& Type = *Types[T];
        if (!Type.SeriesClass || Type.FunctionClass)
            continue;
        for (const std::vector<double>& Values : ValueSets)
            for (bool Is3D : {false, true}) {
                SCOPED_TRACE(testing::Message() << Type.SeriesClass->className() << (Is3D ? " 3-D " : " flat ")
                                                << Values[0]);
                TChart Chart;
                Chart.SetBounds(0, 0, 300, 200);
                Chart.SetBufferedDisplay(false);
                Chart.SetView3D(Is3D);
                Chart.Legend()->SetVisible(false);
                Chart.SetAxisVisible(false);
                TChartSeries* Series = CreateNewSeries(nullptr, &Chart, Type.SeriesClass);
                TChartSeries::RandomSeed(11);
                Series->FillSampleValues(8);
                SetFarValues(*Series, Values);
                Series->Marks()->SetVisible(true);
                QImage With;
                try {
                    With = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
                } catch (const Exception& E) {
                    ADD_FAILURE() << "the paint raised: " << E.Message();
                    continue;
                }
                Series->SetActive(false);
                const QImage Without = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
                EXPECT_GT(DifferingPixels(With, Without), 0);
            }
    }
}

} // namespace
} // namespace lp
