// Histograms: bars sharing their edges exactly in both directions and on
// inverted axes, the stepped outline, separating lines, the widened
// visible range, margins, hit tests, stored settings and reference pictures.

#include "chart/extensions/stats/PlotHistogramSeries.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotLegend.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::Line;
using test::Rect;
using test::TPriceChart;

// The rectangles a drawing filled, in drawing order.
std::vector<TRect> Bars(TPriceChart& C, THistogramSeries& S)
{
    std::vector<TRect> Result;
    for (const QString& Call : C.Draw(S))
        if (Call.startsWith(QLatin1String("Rectangle("))) {
            const QStringList N = Call.mid(10, Call.size() - 11).split(QLatin1Char(','));
            Result.push_back({N[0].toInt(), N[1].toInt(), N[2].toInt(), N[3].toInt()});
        }
    return Result;
}

TEST(HistogramBars, EachStartsAtThePreviousFarEdge)
{
    for (int N : {3, 4, 7}) {
        TPriceChart C(N - 1, 100);
        auto* S = C.Add<THistogramSeries>();
        for (int I = 0; I < N; ++I)
            S->AddXY(I, 10 * (I + 1));
        const std::vector<TRect> R = Bars(C, *S);
        ASSERT_EQ(R.size(), static_cast<size_t>(N));
        const int Half = 400 / N / 2;
        EXPECT_EQ(R[0].Left, 1 - Half);
        EXPECT_EQ(R[0].Right, 1 + Half);
        for (size_t I = 1; I < R.size(); ++I) {
            EXPECT_EQ(R[I].Left, R[I - 1].Right - 1) << N << " bars, bar " << I;
            EXPECT_EQ(R[I].Bottom, 200);
            EXPECT_EQ(R[I].Top, S->CalcYPos(static_cast<int>(I)));
        }
    }
}

TEST(HistogramBars, InvertedAxesMirror)
{
    // Regression: over an inverted axis each bar used to end left of its
    // point, across the bar drawn before it.
    TPriceChart C(3, 100);
    auto* S = C.Add<THistogramSeries>();
    for (int I = 0; I < 4; ++I)
        S->AddXY(I, 50);
    C.Chart.LeftAxis()->SetInverted(true);
    C.Chart.BottomAxis()->SetInverted(true);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    const std::vector<TRect> R = Bars(C, *S);
    ASSERT_EQ(R.size(), 4u);
    // Drawn from the last point (pixel 0) rightwards; hanging from the top,
    // the fill one pixel below it.
    for (size_t I = 0; I < R.size(); ++I) {
        const int X = S->CalcXPos(3 - static_cast<int>(I));
        EXPECT_LT(R[I].Left, X);
        EXPECT_GT(R[I].Right, X);
        if (I > 0) {
            EXPECT_EQ(R[I].Left, R[I - 1].Right - 1);
        }
        EXPECT_EQ(R[I].Top, 101);
        EXPECT_EQ(R[I].Bottom, 0);
    }
    // Drawing the series backwards runs leftwards from the last point, the
    // first bar mirrored.
    C.Chart.BottomAxis()->SetInverted(false);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    C.Chart.SetDrawBackwards(true);
    const std::vector<TRect> B = Bars(C, *S);
    ASSERT_EQ(B.size(), 4u);
    EXPECT_EQ(B[0].Left, 400 + 50 + 1);
    EXPECT_EQ(B[0].Right, 400 - 50 + 1);
    for (size_t I = 1; I < B.size(); ++I) {
        EXPECT_EQ(B[I].Left, B[I - 1].Right - 1);
        EXPECT_LT(B[I].Right, S->CalcXPos(3 - static_cast<int>(I)));
    }
}

TEST(HistogramOutline, SteppedAlongTheTops)
{
    TPriceChart C(2, 100);
    auto* S = C.Add<THistogramSeries>();
    S->Brush()->SetStyle(TBrush::bsClear);
    S->AddXY(0, 50);  // top 100, bar -65 .. 67
    S->AddXY(1, 25);  // top 150, bar 66 .. 267
    S->AddXY(2, 75);  // top 50
    const int Half = 400 / 3 / 2;
    const int L0 = 1 - Half;
    const int R0 = L0 + 2 * Half;
    const int R1 = 200 + Half + 1;
    const int R2 = 400 + Half + 1;
    EXPECT_EQ(C.Draw(*S), QStringList({Line(L0, 200, L0, 100), Line(L0, 100, R0, 100),
                                       Line(R0 - 1, 100, R0 - 1, 150), Line(R0 - 1, 150, R1, 150),
                                       Line(R1 - 1, 150, R1 - 1, 50), Line(R1 - 1, 50, R2, 50),
                                       Line(R2 - 1, 50, R2 - 1, 200)}));
    // Separating lines from the lower of two tops down to the base.
    S->Pen()->Hide();
    S->LinesPen()->Show();
    EXPECT_EQ(C.Draw(*S), QStringList({Line(R0 - 1, 149, R0 - 1, 200), Line(R1 - 1, 149, R1 - 1, 200)}));
}

TEST(HistogramRange, NeighboursOfTheVisibleRangeAreDrawn)
{
    TPriceChart C(10, 100);
    auto* S = C.Add<THistogramSeries>();
    for (int I = 0; I < 20; ++I)
        S->AddXY(I - 5, 10);
    C.Layout();
    // Points -5 .. 14: the visible ones are 0 .. 10 (indexes 5 .. 15).
    EXPECT_EQ(S->FirstVisibleIndex(), 4);
    EXPECT_EQ(S->LastVisibleIndex(), 16);
}

TEST(HistogramMargins, HalfABarAndThePen)
{
    TPriceChart C(3, 100);
    auto* S = C.Add<THistogramSeries>();
    for (int I = 0; I < 4; ++I)
        S->AddXY(I, 10);
    S->Pen()->SetWidth(3);
    int Left = 0;
    int Right = 0;
    S->CalcHorizMargins(Left, Right);
    EXPECT_EQ(Left, 50);
    EXPECT_EQ(Right, 53);
    int Top = 0;
    int Bottom = 0;
    S->CalcVertMargins(Top, Bottom);
    EXPECT_EQ(Top, 3);
    auto* H = C.Add<THorizHistogramSeries>();
    for (int I = 0; I < 4; ++I)
        H->AddXY(10, I);
    Top = Bottom = 0;
    H->CalcVertMargins(Top, Bottom);
    EXPECT_EQ(Top, 200 / 4 / 2);
    EXPECT_EQ(Bottom, 200 / 4 / 2 + 1);
}

TEST(HistogramClick, TheBarUnderThePoint)
{
    TPriceChart C(3, 100);
    auto* S = C.Add<THistogramSeries>();
    for (int I = 0; I < 4; ++I)
        S->AddXY(I, 50);
    C.Layout();
    EXPECT_EQ(S->Clicked(0, 150), 0);
    EXPECT_EQ(S->Clicked(140, 150), 1);
    EXPECT_EQ(S->Clicked(350, 101), 3);
    EXPECT_EQ(S->Clicked(300, 90), -1);
}

TEST(HorizHistogramBars, EachStartsAtThePreviousFarEdge)
{
    TPriceChart C(100, 3);
    auto* S = C.Add<THorizHistogramSeries>();
    for (int I = 0; I < 4; ++I)
        S->AddXY(20 * (I + 1), I);
    const std::vector<TRect> R = Bars(C, *S);
    ASSERT_EQ(R.size(), 4u);
    const int Half = 200 / 4 / 2;
    EXPECT_EQ(R[0].Top, 200 - Half + 1);
    EXPECT_EQ(R[0].Bottom, 200 + Half + 1);
    for (size_t I = 0; I < R.size(); ++I) {
        EXPECT_EQ(R[I].Left, 0);
        EXPECT_EQ(R[I].Right, S->CalcXPos(static_cast<int>(I)) + 1);
        if (I > 0) {
            EXPECT_EQ(R[I].Bottom, R[I - 1].Top + 1);
        }
    }
}

TEST(HorizHistogramBars, InvertedAxisMirrors)
{
    TPriceChart C(100, 3);
    auto* S = C.Add<THorizHistogramSeries>();
    for (int I = 0; I < 4; ++I)
        S->AddXY(20 * (I + 1), I);
    C.Chart.LeftAxis()->SetInverted(true);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    // Drawn from the last point, now at the bottom, upwards; over an
    // inverted vertical axis each fill starts a pixel below its top.
    const std::vector<TRect> R = Bars(C, *S);
    ASSERT_EQ(R.size(), 4u);
    for (size_t I = 0; I < R.size(); ++I) {
        const int Y = S->CalcYPos(3 - static_cast<int>(I));
        EXPECT_LT(R[I].Top, Y) << I;
        EXPECT_GT(R[I].Bottom, Y) << I;
        if (I > 0) {
            EXPECT_EQ(R[I].Bottom, R[I - 1].Top) << I;
        }
    }
}

TEST(HistogramSettings, StoredCopiedAndChecked)
{
    TChart Original;
    auto* S = new THistogramSeries(&Original);
    S->SetName(QStringLiteral("Counts"));
    Original.AddSeries(S);
    S->SetTransparency(40);
    S->LinesPen()->Show();
    S->LinesPen()->SetColor(clRed);
    S->Brush()->SetStyle(TBrush::bsCross);
    TChart Copy;
    test::ReadInto(Original, Copy);
    auto* C = qobject_cast<THistogramSeries*>(Copy.Series(0));
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->Transparency(), 40);
    EXPECT_TRUE(C->LinesPen()->Visible());
    EXPECT_EQ(C->LinesPen()->Color(), clRed);
    EXPECT_EQ(C->Brush()->Style(), TBrush::bsCross);
    THorizHistogramSeries H;
    H.Assign(S);
    EXPECT_EQ(H.Transparency(), 40);
    EXPECT_FALSE(H.MandatoryIsY());
    EXPECT_THROW(S->SetTransparency(101), ERangeError);
    EXPECT_EQ(S->Transparency(), 40);
}

// --- Pictures -----------------------------------------------------------------------------------

TEST(HistogramPicture, VerticalAndHorizontal)
{
    const double Counts[] = {3, 7, 12, 18, 15, 9, 6, 2};
    for (bool Horizontal : {false, true}) {
        TChart Chart;
        Chart.SetBounds(0, 0, 320, 200);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Chart.Legend()->SetVisible(false);
        THistogramSeries* S = Horizontal ? new THorizHistogramSeries(&Chart) : new THistogramSeries(&Chart);
        Chart.AddSeries(S);
        S->SetSeriesColor(TColor(0xE0B080));
        S->LinesPen()->Show();
        S->LinesPen()->SetColor(clGray);
        S->Pen()->SetColor(clNavy);
        S->Pen()->SetWidth(2);
        for (int I = 0; I < 8; ++I) {
            if (Horizontal)
                S->AddXY(Counts[I], I, QString(), I == 3 ? clRed : clPlotColor);
            else
                S->AddXY(I, Counts[I], QString(), I == 3 ? clRed : clPlotColor);
        }
        const QImage Image = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
        EXPECT_TRUE(test::MatchesReference(Image, "stats", Horizontal ? "histogram-horizontal" : "histogram"));
    }
}

} // namespace
} // namespace lp
