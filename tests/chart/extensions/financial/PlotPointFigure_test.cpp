// Point and figure: columns (extension before reversal, equal moves
// counting), the boxes drawn, refused box sizes, bounded runs, legend and
// the reference picture.

#include "chart/extensions/financial/PlotPointFigure.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace lp {
namespace {

void AddHighLow(TPointFigureSeries& S, const std::vector<std::pair<double, double>>& Prices)
{
    for (const auto& [High, Low] : Prices)
        S.AddOHLC(S.Count(), Low, High, Low, High);
}

int CountCalls(const test::TPriceChart& C, const QString& Prefix)
{
    int N = 0;
    for (const QString& Call : C.DC.Calls())
        N += Call.startsWith(Prefix) ? 1 : 0;
    return N;
}

TEST(PointFigureColumns, ExtendThenReverse)
{
    TPointFigureSeries S;
    AddHighLow(S, {{10, 10}, {10, 8}, {11, 9}, {13, 12}, {12, 10}});
    EXPECT_EQ(S.CalcColumns(false), 3);
    const int Expected[] = {0, 0, 1, 1, 2};
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(S.ColumnOf(I), Expected[I]) << I;
    EXPECT_DOUBLE_EQ(S.MaxXValue(), 2);
    EXPECT_THROW(S.ColumnOf(5), ERangeError);
}

TEST(PointFigureColumns, ExtensionWinsOverReversal)
{
    // Point 1 falls a box below the low and also rises three boxes above
    // it: the column only extends.
    TPointFigureSeries S;
    AddHighLow(S, {{10, 10}, {13, 9}});
    EXPECT_EQ(S.CalcColumns(false), 1);
    TPointFigureSeries Empty;
    EXPECT_EQ(Empty.CalcColumns(false), 0);
}

TEST(PointFigureDraw, OnePointIsOneDownColumn)
{
    // Low 2 to high 5 in boxes of 1: four circles at X = 0.
    test::TPriceChart C(4, 10);
    auto* S = C.Add<TPointFigureSeries>();
    AddHighLow(*S, {{5, 2}});
    C.Draw(*S);
    EXPECT_EQ(CountCalls(C, "Ellipse("), 4);
    EXPECT_EQ(S->ColumnOf(0), 0);
}

TEST(PointFigureDraw, RunsEndForAnyPrice)
{
    // Regression: a price so large that a box does not change it never
    // ended its run; a run far beyond the axis walked every box.
    test::TPriceChart C(4, 10);
    auto* S = C.Add<TPointFigureSeries>();
    AddHighLow(*S, {{1e20, 1e20}});
    C.Draw(*S);
    EXPECT_EQ(CountCalls(C, "Ellipse("), 0);
    S->Clear();
    AddHighLow(*S, {{1e12, -1e12}});
    C.Draw(*S);
    EXPECT_EQ(CountCalls(C, "Ellipse("), 11);
}

TEST(PointFigureDraw, ATinyBoxDrawsAtMostOneSymbolPerSymbolSize)
{
    // Regression: a box size of 1e-9 drew about 1e10 symbols per paint (the
    // program hung); boxes closer than a symbol's size (2 VertSize pixels)
    // now draw as one.
    test::TPriceChart C(4, 10);
    auto* S = C.Add<TPointFigureSeries>();
    AddHighLow(*S, {{10, 0}});
    S->SetBoxSize(1e-9);
    C.Draw(*S);
    const int Drawn = CountCalls(C, "Ellipse(");
    const int Cells = S->GetVertAxis()->AxisPixelSize() / (2 * S->DownSymbol()->VertSize());
    EXPECT_GT(Drawn, Cells / 2);
    EXPECT_LE(Drawn, Cells + 2);
}

TEST(PointFigureDraw, LongColumnsOfPixelBoxesDrawOneSymbolPerSymbolSize)
{
    // Regression: prices swinging across the axis in boxes about a pixel
    // high drew a symbol per pixel row of every column, each symbol eight
    // pixels tall over the ones before it (an export of 3,200 such quotes
    // took 12 s and wrote 370 MB of SVG). Each column now draws one symbol
    // per symbol's size of its run.
    test::TPriceChart C(40, 100);
    auto* S = C.Add<TPointFigureSeries>();
    S->SetBoxSize(0.5); // a pixel on the 200-pixel axis
    for (int I = 0; I < 60; ++I)
        AddHighLow(*S, {I % 2 == 0 ? std::pair{95.0, 90.0} : std::pair{10.0, 5.0}});
    // The second quote extends the first, falling, column.
    EXPECT_EQ(S->CalcColumns(false), 59);
    C.Draw(*S);
    // The falling columns on the axis (0, 2, ... 40), each 85 price units
    // (170 boxes) long.
    const int Symbols = S->GetVertAxis()->AxisPixelSize() / (2 * S->DownSymbol()->VertSize());
    EXPECT_GT(CountCalls(C, "Ellipse("), 21 * Symbols / 2);
    EXPECT_LE(CountCalls(C, "Ellipse("), 21 * (Symbols + 2));
}

TEST(PointFigureDraw, ColumnsCloserThanTheSymbolsDrawWhatTheResolutionShows)
{
    // Regression: 3,200 swinging quotes exported at 1500 x 1200 drew every
    // column's symbols over the columns a fraction of a pixel before them
    // (4 to 6 s and 100 MB of SVG). Per cell of half a symbol's width by a
    // symbol's height only the last symbol of each kind drawn there is
    // drawn: 2,000 columns on a 400-pixel axis draw no more circles than
    // the axis has such cells.
    test::TPriceChart C(2000, 100);
    auto* S = C.Add<TPointFigureSeries>();
    S->SetBoxSize(0.5);
    for (int I = 0; I < 2000; ++I)
        AddHighLow(*S, {I % 2 == 0 ? std::pair{95.0, 90.0} : std::pair{10.0, 5.0}});
    C.Draw(*S);
    const TSeriesPointer& Down = *S->DownSymbol();
    const int Rows = S->GetVertAxis()->AxisPixelSize() / (2 * Down.VertSize()) + 2;
    const int Columns = S->GetHorizAxis()->AxisPixelSize() / Down.HorizSize() + 2;
    const int Drawn = CountCalls(C, "Ellipse(");
    EXPECT_LE(Drawn, Rows * Columns);
    // Every cell the falling columns run through still has its circle.
    EXPECT_GT(Drawn, Rows * Columns / 2);
}

TEST(PointFigureDraw, ColumnsBesideTheAxisDrawNothing)
{
    // Ten alternating columns on an axis showing columns 0 .. 4: the falling
    // columns 0, 2 and 4 draw 1 + 4 + 4 circles, 6 and 8 none.
    test::TPriceChart C(4, 10);
    auto* S = C.Add<TPointFigureSeries>();
    for (int I = 0; I < 10; ++I)
        AddHighLow(*S, {I % 2 == 0 ? std::pair{5.0, 5.0} : std::pair{9.0, 9.0}});
    EXPECT_EQ(S->CalcColumns(false), 10);
    C.Draw(*S);
    EXPECT_EQ(CountCalls(C, "Ellipse("), 9);
}

TEST(PointFigureSeries, CountsTheBoxesOfItsPrices)
{
    // Editors refuse a box size making more boxes of the prices than can be
    // drawn; the setter alone refuses only sizes that never end a run.
    TPointFigureSeries S;
    EXPECT_EQ(S.BoxCount(1e-9), 0);
    EXPECT_NO_THROW(S.CheckBoxSize(1e-9));
    AddHighLow(S, {{30, 10}, {25, 0}});
    EXPECT_DOUBLE_EQ(S.BoxCount(1), 31);
    EXPECT_DOUBLE_EQ(S.BoxCount(1e-9), std::floor(30 / 1e-9) + 1);
    EXPECT_THROW(S.CheckBoxSize(1e-9), ERangeError);
    EXPECT_NO_THROW(S.CheckBoxSize(30.0 / (MaxPointFigureBoxes - 1)));
    S.SetBoxSize(1e-9);
    EXPECT_DOUBLE_EQ(S.BoxSize(), 1e-9);
}

TEST(PointFigureSeries, RefusesBoxSizesThatNeverEndARun)
{
    TPointFigureSeries S;
    S.SetBoxSize(2.5);
    for (double Bad : {0.0, -1.0, std::nan("")})
        EXPECT_THROW(S.SetBoxSize(Bad), ERangeError);
    EXPECT_DOUBLE_EQ(S.BoxSize(), 2.5);
}

TEST(PointFigureSeries, LegendAndSymbols)
{
    TPointFigureSeries S;
    EXPECT_EQ(S.CountLegendItems(), 2);
    EXPECT_EQ(S.LegendString(0, TChartSeries::ltsPlain), "Up");
    EXPECT_EQ(S.LegendString(1, TChartSeries::ltsPlain), "Down");
    EXPECT_EQ(S.LegendItemColor(0), clGreen);
    EXPECT_EQ(S.LegendItemColor(1), clRed);
    EXPECT_EQ(S.UpSymbol()->Style(), psDiagCross);
    EXPECT_EQ(S.DownSymbol()->Style(), psCircle);
    EXPECT_FALSE(S.XValues()->DateTime());
}

TEST(PointFigurePicture, Columns)
{
    TChart Chart;
    test::SetUpFlatPictureChart(Chart, 320, 240);
    auto* S = new TPointFigureSeries(&Chart);
    Chart.AddSeries(S);
    AddHighLow(*S, {{20, 18}, {19, 15}, {17, 14}, {19, 16}, {22, 20}, {23, 21}, {21, 19}, {20, 17}, {16, 13},
                    {15, 12}, {18, 16}, {21, 19}});
    EXPECT_TRUE(test::MatchesReference(test::RenderPicture(Chart), "financial",
                                       "point-figure"));
}

TEST(PointFigurePicture, BoxesAsLargeAsTheirSymbolsAsBefore)
{
    // Boxes of at least a symbol's size draw one symbol each, as before
    // (the reference is the earlier drawing): boxes of about 9 pixels under
    // symbols of VertSize 4 and of VertSize 2.
    for (const int Size : {4, 2}) {
        TChart Chart;
        test::SetUpFlatPictureChart(Chart, 320, 240);
        Chart.LeftAxis()->SetMinMax(0, 22 * Size / 4.0);
        Chart.LeftAxis()->SetAutomatic(false);
        auto* S = new TPointFigureSeries(&Chart);
        Chart.AddSeries(S);
        S->SetBoxSize(Size / 4.0);
        S->UpSymbol()->SetVertSize(Size);
        S->DownSymbol()->SetVertSize(Size);
        for (int I = 0; I < 16; ++I)
            AddHighLow(*S, {{(12 + 8 * std::sin(I * 0.9)) * Size / 4.0, (9 + 7 * std::sin(I * 0.9)) * Size / 4.0}});
        EXPECT_TRUE(test::MatchesReference(test::RenderPicture(Chart), "financial",
                                           QStringLiteral("point-figure-boxes-%1").arg(Size)));
    }
}

} // namespace
} // namespace lp
