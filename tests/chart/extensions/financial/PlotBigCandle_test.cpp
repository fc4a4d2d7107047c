// Big candles: where the four price marks stand, and the reference picture.

#include "chart/extensions/financial/PlotBigCandle.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

// Where the marks' texts were written, in drawing order (the text's
// centre X and its top).
std::vector<TPoint> TextPlaces(const test::TPriceChart& C)
{
    std::vector<TPoint> Result;
    static const QRegularExpression Text(QStringLiteral("^TextOut\\((-?\\d+),(-?\\d+),"));
    for (const QString& Call : C.DC.Calls())
        if (const auto M = Text.match(Call); M.hasMatch())
            Result.push_back({M.captured(1).toInt(), M.captured(2).toInt()});
    return Result;
}

std::vector<TPoint> DrawMarksOfOneCandle(int HorizGap, int VertGap)
{
    // Open 40 (pixel 120), high 70 (60), low 30 (140), close 60 (80) at X
    // = 2 (pixel 200).
    test::TPriceChart C;
    auto* S = C.Add<TBigCandleSeries>();
    S->SetHorizGap(HorizGap);
    S->SetVertGap(VertGap);
    // Marks show labels by default: an unlabelled point has none.
    S->Marks()->SetStyle(TSeriesMarks::smsValue);
    S->AddOHLC(2, 40, 70, 30, 60);
    C.Layout();
    C.DC.ClearCalls();
    S->DrawMarks();
    return TextPlaces(C);
}

TEST(BigCandleMarks, FourMarksAroundTheCandle)
{
    const std::vector<TPoint> Flush = DrawMarksOfOneCandle(0, 0);
    ASSERT_EQ(Flush.size(), 4u);
    const TPoint Open = Flush[0];
    const TPoint Close = Flush[1];
    const TPoint High = Flush[2];
    const TPoint Low = Flush[3];
    // HorizGap 0: the open and close marks meet at the centre line, each
    // half a mark width from it.
    EXPECT_EQ(Open.X + Close.X, 2 * 200);
    EXPECT_GT(Close.X - 200, 5);
    // The high and low marks share the close mark's X.
    EXPECT_EQ(High.X, Close.X);
    EXPECT_EQ(Low.X, Close.X);
    // Tops: open and close centred on their prices (40 pixels apart), the
    // low mark starting at its price and the high mark ending at its own.
    EXPECT_EQ(Open.Y - Close.Y, 40);
    const int TextOffset = Low.Y - 140;
    const int Height = 60 - (High.Y - TextOffset);
    EXPECT_EQ(Open.Y - TextOffset, 120 - Height / 2);
    // The gaps move the marks outwards.
    const std::vector<TPoint> Gapped = DrawMarksOfOneCandle(20, 6);
    ASSERT_EQ(Gapped.size(), 4u);
    EXPECT_EQ(Gapped[0].X, Open.X - 20);
    EXPECT_EQ(Gapped[1].X, Close.X + 20);
    EXPECT_EQ(Gapped[2].Y, High.Y - 6);
    EXPECT_EQ(Gapped[3].Y, Low.Y + 6);
}

TEST(BigCandlePicture, FourPricesPerCandle)
{
    TChart Chart;
    test::SetUpFlatPictureChart(Chart, 400, 300);
    auto* S = new TBigCandleSeries(&Chart);
    Chart.AddSeries(S);
    S->SetCandleWidth(10);
    S->Marks()->SetStyle(TSeriesMarks::smsValue);
    S->AddOHLC(1, 40, 70, 30, 60);
    S->AddOHLC(2, 60, 66, 35, 45);
    S->AddOHLC(3, 45, 80, 44, 75);
    // Room for the open and close marks beside the outer candles.
    Chart.BottomAxis()->SetMinMax(0.3, 3.7);
    Chart.BottomAxis()->SetVisible(false);
    EXPECT_TRUE(test::MatchesReference(test::RenderPicture(Chart), "financial",
                                       "big-candle"));
}

} // namespace
} // namespace lp
