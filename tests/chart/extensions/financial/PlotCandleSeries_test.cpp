// Price, candle and volume series: candle colours (also over long flat
// runs), bodies of unchanged prices, the four styles' shapes and hit tests,
// value ranges, nulls, the volume origin, stored settings and points,
// sample prices, registration and reference pictures.

#include "chart/extensions/financial/PlotCandleSeries.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/chart/extensions/financial/PriceTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::Line;
using test::Rect;
using test::TPriceChart;

// One candle at X = 1 (pixel 100): open 40 (pixel 120), high 70 (60),
// low 30 (140), close C.
TCandleSeries* OneCandle(TPriceChart& C, double Close = 60)
{
    auto* S = C.Add<TCandleSeries>();
    S->AddOHLC(1, 40, 70, 30, Close);
    return S;
}

// --- Colours ------------------------------------------------------------------------------------

TEST(CandleColour, RelativeToOpenAndToClose)
{
    TCandleSeries S;
    const double Opens[] = {10, 12, 9, 8, 8, 20};
    const double Closes[] = {10, 10, 8, 8, 8, 12};
    for (int I = 0; I < 6; ++I)
        S.AddOHLC(I, Opens[I], 30, 0, Closes[I]);
    // Relative to the open: down below it; an equal open and close takes the
    // choice relative to the close.
    const TColor Up = clWhite;
    const TColor Down = clRed;
    const std::vector<TColor> ToOpen = {Up, Down, Down, Down, Down, Down};
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(S.CandleColor(I), ToOpen[static_cast<size_t>(I)]) << I;
    // Relative to the close: the first is up, equal closes keep the colour of
    // the last change.
    S.SetColorStyle(cssRelativeToClose);
    const std::vector<TColor> ToClose = {Up, Up, Down, Down, Down, Up};
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(S.CandleColor(I), ToClose[static_cast<size_t>(I)]) << I;
    // A point colour of its own wins; the series colour means "by price".
    S.SetValueColor(2, clBlue);
    EXPECT_EQ(S.CandleColor(2), clBlue);
    EXPECT_EQ(S.LegendItemColor(3), Down);
}

TEST(CandleColour, LongFlatRunNeedsNoDeepCalls)
{
    // Regression: the choice for an unchanged close once recursed per equal
    // close and could exhaust the stack.
    TCandleSeries S;
    S.SetColorStyle(cssRelativeToClose);
    S.AddOHLC(0, 50, 60, 40, 50);
    S.AddOHLC(1, 50, 60, 40, 40);
    for (int I = 2; I < 200000; ++I)
        S.AddOHLC(I, 40, 60, 30, 40);
    EXPECT_EQ(S.CandleColor(199999), clRed);
}

// --- Shapes -------------------------------------------------------------------------------------

TEST(CandleDraw, StickHasWickAndBody)
{
    TPriceChart C;
    auto* S = OneCandle(C);
    // Width 4: two pixels left of X, two right, the right edge exclusive.
    EXPECT_EQ(C.Draw(*S), QStringList({Line(100, 140, 100, 60), Rect(98, 80, 103, 120)}));
    S->SetCandleWidth(5);
    EXPECT_EQ(C.Draw(*S), QStringList({Line(100, 140, 100, 60), Rect(98, 80, 104, 120)}));
}

TEST(CandleDraw, EqualOpenAndCloseStillShowsOnePixel)
{
    TPriceChart C;
    auto* S = OneCandle(C, 40);
    EXPECT_EQ(C.Draw(*S), QStringList({Line(100, 140, 100, 60), Rect(98, 119, 103, 120)}));
    // Without a pen the body grows one pixel up instead of losing its outline.
    S->CandlePen()->Hide();
    EXPECT_EQ(C.Draw(*S), QStringList({Line(100, 140, 100, 60), Rect(98, 118, 103, 120)}));
    // The pixels: a real bitmap shows the candle's row.
    TChart Chart;
    Chart.SetBounds(0, 0, 200, 200);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    auto* Flat = new TCandleSeries(&Chart);
    Chart.AddSeries(Flat);
    Flat->SetColorStyle(cssRelativeToOpen);
    Flat->AddOHLC(0, 10, 20, 0, 10);
    Flat->AddOHLC(1, 10, 10, 10, 10);
    Flat->SetDownCloseColor(clRed);
    Flat->SetUpCloseColor(clBlue);
    const QImage Image = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
    const int X = Flat->CalcXPos(1);
    const int Y = Flat->CalcYPosValue(10);
    int Dark = 0;
    for (int Row = Y - 3; Row <= Y + 3; ++Row)
        if (qGray(Image.pixel(X, Row)) < 128)
            ++Dark;
    EXPECT_GE(Dark, 1);
}

TEST(CandleDraw, OpenCloseHasNoWick)
{
    TPriceChart C;
    auto* S = OneCandle(C);
    S->SetCandleStyle(csOpenClose);
    EXPECT_EQ(C.Draw(*S), QStringList({Rect(98, 80, 103, 120)}));
}

TEST(CandleDraw, BarHasTicksOnItsSides)
{
    TPriceChart C;
    auto* S = OneCandle(C);
    S->SetCandleStyle(csCandleBar);
    const QStringList Drawn = C.Draw(*S);
    ASSERT_EQ(Drawn.size(), 3);
    EXPECT_EQ(Drawn[0], Line(100, 140, 100, 60));
    EXPECT_EQ(Drawn[1], Line(100, 120, 97, 120)); // open tick, left
    EXPECT_EQ(Drawn[2], Line(100, 80, 103, 80));  // close tick, right
    S->SetShowOpenTick(false);
    EXPECT_EQ(C.Draw(*S), QStringList({Line(100, 140, 100, 60), Line(100, 80, 103, 80)}));
}

TEST(CandleDraw, LineStyleJoinsClosesAndANullBreaksIt)
{
    TPriceChart C;
    auto* S = C.Add<TCandleSeries>();
    S->SetCandleStyle(csLine);
    EXPECT_FALSE(S->Pointer()->Visible());
    const double Closes[] = {10, 20, 30, 40};
    for (int I = 0; I < 4; ++I)
        S->AddOHLC(I, 50, 90, 5, Closes[I]);
    S->SetValueColor(2, clNone);
    // No segment into the null point; the next one starts from it.
    EXPECT_EQ(C.Draw(*S), QStringList({Line(0, 180, 100, 160), Line(200, 140, 300, 120)}));
}

TEST(CandleRange, LineStyleRangesOverClosesOnly)
{
    TCandleSeries S;
    S.AddOHLC(0, 5, 90, 1, 20);
    S.AddOHLC(1, 30, 80, 2, 40);
    EXPECT_EQ(S.MaxYValue(), 90);
    EXPECT_EQ(S.MinYValue(), 1);
    S.SetCandleStyle(csLine);
    EXPECT_EQ(S.MaxYValue(), 40);
    EXPECT_EQ(S.MinYValue(), 20);
}

TEST(CandleDraw, HighLowPenTakesTheCandlePensColourUnlessItHasItsOwn)
{
    TPriceChart C;
    auto* S = OneCandle(C);
    S->CandlePen()->SetColor(clBlue);
    const auto WickPen = [&] {
        C.Draw(*S);
        const QStringList& Calls = C.DC.Calls();
        const int At = static_cast<int>(Calls.indexOf(QStringLiteral("MoveTo(100,140)")));
        for (int I = At - 1; I >= 0; --I)
            if (Calls[I].startsWith(QLatin1String("SelectPen(")))
                return Calls[I];
        return QString();
    };
    EXPECT_TRUE(WickPen().contains(QStringLiteral("0xFF0000"))) << WickPen().toStdString();
    S->HighLowPen()->SetColor(clGreen);
    EXPECT_TRUE(WickPen().contains(QStringLiteral("0x008000"))) << WickPen().toStdString();
}

// --- Hit tests ----------------------------------------------------------------------------------

TEST(CandleClick, EveryStyleByItsShapes)
{
    TPriceChart C;
    auto* S = C.Add<TCandleSeries>();
    S->AddOHLC(1, 40, 70, 30, 60); // X 100: body 80 .. 120, wick 60 .. 140
    S->AddOHLC(2, 60, 90, 50, 80); // X 200: close at 40
    C.Layout();
    struct TRow {
        TCandleStyle Style;
        TPoint Point;
        int Expected;
    };
    const TRow Rows[] = {
        {csCandleStick, {100, 65}, 0},  // on the wick
        {csCandleStick, {101, 100}, 0}, // in the body
        {csCandleStick, {110, 100}, -1},
        {csOpenClose, {100, 65}, -1},   // no wick
        {csOpenClose, {99, 90}, 0},
        {csCandleBar, {100, 135}, 0},
        {csCandleBar, {97, 120}, 0},    // open tick
        {csCandleBar, {103, 80}, 0},    // close tick
        {csCandleBar, {97, 80}, -1},
        {csLine, {150, 60}, 1},         // the segment into point 1
        {csLine, {100, 80}, 1},
        {csLine, {100, 120}, -1},
    };
    for (const TRow& Row : Rows) {
        S->SetCandleStyle(Row.Style);
        EXPECT_EQ(S->Clicked(Row.Point.X, Row.Point.Y), Row.Expected)
            << static_cast<int>(Row.Style) << " at " << Row.Point.X << "," << Row.Point.Y;
    }
    S->SetShowOpenTick(false);
    S->SetCandleStyle(csCandleBar);
    EXPECT_EQ(S->Clicked(97, 120), -1);
}

// --- Volume -------------------------------------------------------------------------------------

TEST(VolumeDraw, FromTheAxisEndOrTheOrigin)
{
    TPriceChart C;
    auto* S = C.Add<TVolumeSeries>();
    S->AddXY(1, 50);
    S->AddXY(2, 25);
    EXPECT_EQ(C.Draw(*S), QStringList({Line(100, 200, 100, 100), Line(200, 200, 200, 150)}));
    // An inverted axis: from its top.
    C.Chart.LeftAxis()->SetInverted(true);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    EXPECT_EQ(C.Draw(*S), QStringList({Line(100, 0, 100, 100), Line(200, 0, 200, 50)}));
    C.Chart.LeftAxis()->SetInverted(false);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    S->SetUseYOrigin(true);
    S->SetYOrigin(40);
    EXPECT_EQ(C.Draw(*S), QStringList({Line(100, 120, 100, 100), Line(200, 120, 200, 150)}));
}

TEST(VolumeDraw, PenChangesOnlyWithTheColour)
{
    TPriceChart C;
    auto* S = C.Add<TVolumeSeries>();
    S->SetSeriesColor(clNavy);
    EXPECT_EQ(S->LinePen()->Color(), clNavy);
    for (int I = 0; I < 4; ++I)
        S->AddXY(I, 10 + I, QString(), I == 3 ? clRed : clPlotColor);
    C.Draw(*S);
    // Each assignment sets the background mode once: the first point and the
    // red one.
    EXPECT_EQ(C.DC.CallsStartingWith(QStringLiteral("SetBkMode(")).size(), 2);
    EXPECT_TRUE(C.DC.CallsStartingWith(QStringLiteral("SelectPen(")).last().contains(QStringLiteral("0x0000FF")));
}

TEST(VolumeClick, WithinThePenWidth)
{
    TPriceChart C;
    auto* S = C.Add<TVolumeSeries>();
    S->AddXY(1, 50);
    S->AddXY(2, 25);
    C.Layout();
    EXPECT_EQ(S->Clicked(100, 150), 0);
    EXPECT_EQ(S->Clicked(200, 160), 1);
    EXPECT_EQ(S->Clicked(200, 120), -1); // above the line's top
    EXPECT_EQ(S->Clicked(105, 150), -1);
    S->LinePen()->SetWidth(8);
    EXPECT_EQ(S->Clicked(105, 150), 0);
}

// --- Data and settings --------------------------------------------------------------------------

TEST(PriceData, HighLowAndOpenRoundTripThroughTheDataBlock)
{
    TCandleSeries S;
    S.AddOHLC(45000, 10, 15, 8, 12);
    S.AddOHLC(45001, 12, 13, 9.5, 9.75);
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    S.WriteData(Out);
    QBuffer In;
    In.setData(Out.data());
    In.open(QIODevice::ReadOnly);
    TCandleSeries Copy;
    Copy.ReadData(In);
    ASSERT_EQ(Copy.Count(), 2);
    EXPECT_EQ(Copy.HighValues()->Value(1), 13);
    EXPECT_EQ(Copy.LowValues()->Value(1), 9.5);
    EXPECT_EQ(Copy.OpenValues()->Value(1), 12);
    EXPECT_EQ(Copy.CloseValues()->Value(1), 9.75);
    EXPECT_EQ(Copy.DateValues()->Value(0), 45000);
    // Found by their names, as the indicators look them up.
    EXPECT_EQ(Copy.GetValueListByName(QStringLiteral("open")), Copy.OpenValues());
    EXPECT_TRUE(Copy.DateValues()->DateTime());
}

TEST(PriceSettings, StoredAndCopied)
{
    TChart Original;
    auto* S = new TCandleSeries(&Original);
    S->SetName(QStringLiteral("Prices"));
    Original.AddSeries(S);
    S->SetCandleStyle(csCandleBar);
    S->SetCandleWidth(9);
    S->SetColorStyle(cssRelativeToClose);
    S->SetUpCloseColor(clGreen);
    S->SetDownCloseColor(clMaroon);
    S->SetShowOpenTick(false);
    S->SetDraw3D(true);
    S->HighLowPen()->SetColor(clBlue);
    S->CandlePen()->SetWidth(3);
    auto* V = new TVolumeSeries(&Original);
    V->SetName(QStringLiteral("Volumes"));
    Original.AddSeries(V);
    V->SetUseYOrigin(true);
    V->SetYOrigin(12.5);
    TChart Copy;
    test::ReadInto(Original, Copy);
    ASSERT_EQ(Copy.SeriesCount(), 2);
    auto* C = qobject_cast<TCandleSeries*>(Copy.Series(0));
    ASSERT_NE(C, nullptr);
    EXPECT_EQ(C->CandleStyle(), csCandleBar);
    EXPECT_EQ(C->CandleWidth(), 9);
    EXPECT_EQ(C->ColorStyle(), cssRelativeToClose);
    EXPECT_EQ(C->UpCloseColor(), clGreen);
    EXPECT_EQ(C->DownCloseColor(), clMaroon);
    EXPECT_FALSE(C->ShowOpenTick());
    EXPECT_TRUE(C->ShowCloseTick());
    EXPECT_TRUE(C->Draw3D());
    EXPECT_EQ(C->HighLowPen()->Color(), clBlue);
    EXPECT_EQ(C->CandlePen()->Width(), 3);
    auto* W = qobject_cast<TVolumeSeries*>(Copy.Series(1));
    ASSERT_NE(W, nullptr);
    EXPECT_TRUE(W->UseYOrigin());
    EXPECT_EQ(W->YOrigin(), 12.5);

    TCandleSeries Assigned;
    Assigned.Assign(S);
    EXPECT_EQ(Assigned.CandleWidth(), 9);
    EXPECT_EQ(Assigned.DownCloseColor(), clMaroon);
    EXPECT_FALSE(Assigned.ShowOpenTick());
}

// --- Samples, gallery, registration -------------------------------------------------------------

TEST(PriceSamples, HighAndLowEncloseOpenAndClose)
{
    TChartSeries::RandomSeed(7);
    TCandleSeries S;
    S.FillSampleValues(0);
    ASSERT_EQ(S.Count(), 40);
    for (int I = 0; I < S.Count(); ++I) {
        const double O = S.OpenValues()->Value(I);
        const double Cl = S.CloseValues()->Value(I);
        EXPECT_GE(S.HighValues()->Value(I), std::max(O, Cl)) << I;
        EXPECT_LE(S.LowValues()->Value(I), std::min(O, Cl)) << I;
    }
    TVolumeSeries V;
    V.FillSampleValues(0);
    EXPECT_EQ(V.Count(), 40);
}

TEST(FinancialRegistration, CandleUnitTypesOnTheFinancialPage)
{
    std::vector<QString> Names;
    for (int I = 0; I < PlotSeriesTypes()->Count(); ++I) {
        const TPlotSeriesType* T = (*PlotSeriesTypes())[I];
        if (T->GalleryPageText() == QStringLiteral("Financial"))
            Names.push_back(T->DescriptionText());
    }
    ASSERT_GE(Names.size(), 4u);
    EXPECT_EQ(std::vector<QString>(Names.begin(), Names.begin() + 4),
              std::vector<QString>({"Candle", "Volume", "ADX", "R.S.I."}));
    UnregisterCandleSeries();
    {
        test::TTestChart Chart;
        EXPECT_ANY_THROW(CreateNewSeries(nullptr, &Chart, &TCandleSeries::staticMetaObject));
    }
    RegisterCandleSeries();
    test::TTestChart Chart;
    EXPECT_NE(qobject_cast<TCandleSeries*>(CreateNewSeries(nullptr, &Chart, &TCandleSeries::staticMetaObject)),
              nullptr);
}

// --- Pictures -----------------------------------------------------------------------------------

void FillPrices(TCandleSeries& S)
{
    const double Opens[] = {20, 26, 31, 29, 35, 33, 33, 40};
    const double Closes[] = {26, 31, 29, 35, 33, 33, 40, 37};
    for (int I = 0; I < 8; ++I) {
        const double Top = std::max(Opens[I], Closes[I]);
        const double Bottom = std::min(Opens[I], Closes[I]);
        S.AddOHLC(I, Opens[I], Top + 3 + I % 3, Bottom - 2 - I % 2, Closes[I]);
    }
}

QImage RenderChart(TChart& Chart)
{
    return Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
}

void SetUpPictureChart(TChart& Chart)
{
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
}

TEST(FinancialPicture, EveryCandleStyle)
{
    const char* Names[] = {"candle-stick", "candle-bar", "candle-open-close", "candle-line"};
    for (int Style = 0; Style < 4; ++Style) {
        TChart Chart;
        SetUpPictureChart(Chart);
        auto* S = new TCandleSeries(&Chart);
        Chart.AddSeries(S);
        S->SetCandleWidth(12);
        S->SetUpCloseColor(clLime);
        S->SetCandleStyle(static_cast<TCandleStyle>(Style));
        FillPrices(*S);
        EXPECT_TRUE(test::MatchesReference(RenderChart(Chart), "financial", Names[Style]));
    }
}

TEST(FinancialPicture, ThreeDimensionalCandles)
{
    // Boxes with darkened sides, the rising ones filled by their gradient,
    // the wicks at the series' middle depth.
    TChart Chart;
    test::SetUpTiltedPictureChart(Chart);
    auto* S = new TCandleSeries(&Chart);
    Chart.AddSeries(S);
    S->SetCandleWidth(14);
    S->SetDraw3D(true);
    S->SetUpCloseColor(clLime);
    S->UpCloseGradient()->SetVisible(true);
    S->UpCloseGradient()->SetEndColor(clGreen);
    FillPrices(*S);
    EXPECT_TRUE(test::MatchesReference(RenderChart(Chart), "financial", "candle-3d"));
}

TEST(FinancialPicture, Volume)
{
    TChart Chart;
    SetUpPictureChart(Chart);
    auto* V = new TVolumeSeries(&Chart);
    Chart.AddSeries(V);
    V->SetSeriesColor(clNavy);
    V->LinePen()->SetWidth(3);
    const double Volumes[] = {12, 30, 18, 44, 25, 8, 37, 20, 15, 28};
    for (int I = 0; I < 10; ++I)
        V->AddXY(I, Volumes[I], QString(), I == 3 ? clRed : clPlotColor);
    EXPECT_TRUE(test::MatchesReference(RenderChart(Chart), "financial", "volume"));
}

} // namespace
} // namespace lp
