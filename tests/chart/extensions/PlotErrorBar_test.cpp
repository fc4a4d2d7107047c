// Error, error-bar and high-low series: whisker geometry in every style and
// width unit, whisker pens, margins, value ranges with the errors, legend
// symbols, high-low lines, bands, nulls and clicks, stored defaults,
// copying, sample values, gallery preparation, registration and reference
// pictures.

#include "chart/extensions/PlotErrorBar.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/extensions/PlotExtensions.h"
#include "chart/extensions/circular/PlotPolarSeries.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QBuffer>
#include <QtGui/QColor>

#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TTestChart;

// A chart over (0, 0)-(400, 200): the horizontal axis fixed to 0 .. 4 (X at
// pixel 100 X), the vertical one to 0 .. 100 (V at pixel 200 - 2 V); drawn
// onto a recording device.
struct TStatsChart : test::TFixedAxesChart {
    explicit TStatsChart(bool Is3D = false) : TFixedAxesChart(Is3D, 4, 100) {}

    // An error series in red whose bars are 20 pixels wide (the bar of X = 2
    // spans pixels 190 .. 211, its centre at 200).
    template <class T> T* AddError()
    {
        auto* S = new T(&Chart);
        S->SetSeriesColor(clRed);
        S->SetCustomBarSize(20);
        Chart.AddSeries(S);
        return S;
    }
    THighLowSeries* AddHighLow()
    {
        auto* S = new THighLowSeries(&Chart);
        S->SetSeriesColor(clRed);
        Chart.AddSeries(S);
        return S;
    }
    // The drawing calls since the last ClearCalls, each MoveTo/LineTo pair
    // as "Line(x0,y0,x1,y1)".
    QStringList Drawn() const { return DrawnCalls({"Polygon(", "Polyline(", "Rectangle(", "Ellipse("}); }
    QStringList Draw(TChartSeries& S)
    {
        Layout();
        DC.ClearCalls();
        S.DrawAllValues();
        return Drawn();
    }
    // The last pen selected before the first call equal to Call.
    QString PenBefore(const QString& Call) const
    {
        const QStringList& Calls = DC.Calls();
        const int At = static_cast<int>(Calls.indexOf(Call));
        for (int I = At - 1; I >= 0; --I)
            if (Calls[I].startsWith(QLatin1String("SelectPen(")))
                return Calls[I];
        return {};
    }
    QString BrushBefore(const QString& Call) const
    {
        const QStringList& Calls = DC.Calls();
        const int At = static_cast<int>(Calls.indexOf(Call));
        for (int I = At - 1; I >= 0; --I)
            if (Calls[I].startsWith(QLatin1String("SelectBrush(")))
                return Calls[I];
        return {};
    }
};

QString Line(int X0, int Y0, int X1, int Y1)
{
    return QStringLiteral("Line(%1,%2,%3,%4)").arg(X0).arg(Y0).arg(X1).arg(Y1);
}

QString Poly(std::initializer_list<TPoint> Points)
{
    QStringList Parts;
    for (const TPoint& P : Points)
        Parts << QStringLiteral("%1 %2").arg(P.X).arg(P.Y);
    return QStringLiteral("Polygon([%1])").arg(Parts.join(QLatin1Char(';')));
}

// --- Defaults -----------------------------------------------------------------------------------

TEST(ErrorSeriesDefaults, ConstructorsSetTheStoredDefaults)
{
    TErrorSeries Error;
    EXPECT_EQ(Error.ErrorStyle(), essTopBottom);
    EXPECT_EQ(Error.ErrorWidth(), 100);
    EXPECT_EQ(Error.ErrorWidthUnits(), ewuPercent);
    EXPECT_FALSE(Error.DrawsBar());
    EXPECT_FALSE(Error.Marks()->Visible());
    EXPECT_TRUE(Error.ErrorPen()->Visible());
    EXPECT_EQ(Error.ErrorValues()->Name(), QStringLiteral("StdError"));
    EXPECT_EQ(Error.ValuesList().Count(), 3);
    EXPECT_EQ(Error.GetEditorClassName(), QStringLiteral("TErrorSeriesEditor"));
    EXPECT_FALSE(Error.SubGalleryStack());
    for (const char* Name : {"ErrorStyle", "ErrorWidth", "ErrorWidthUnits"})
        EXPECT_FALSE(IsPropertyStored(&Error, Name)) << Name;

    TErrorBarSeries Bar;
    EXPECT_EQ(Bar.ErrorStyle(), essTop);
    EXPECT_TRUE(Bar.DrawsBar());
    EXPECT_FALSE(Bar.Marks()->Visible());
    EXPECT_EQ(Bar.GetEditorClassName(), QStringLiteral("TErrorSeriesEditor"));
}

TEST(ErrorSeriesDefaults, ErrorBarSeriesDoesNotPublishErrorStyle)
{
    TErrorSeries Error;
    TErrorBarSeries Bar;
    for (const char* Name : {"ErrorPen", "ErrorValues", "ErrorWidth", "ErrorWidthUnits"}) {
        EXPECT_GE(Error.metaObject()->indexOfProperty(Name), 0) << Name;
        EXPECT_GE(Bar.metaObject()->indexOfProperty(Name), 0) << Name;
    }
    EXPECT_GE(Error.metaObject()->indexOfProperty("ErrorStyle"), 0);
    EXPECT_EQ(Bar.metaObject()->indexOfProperty("ErrorStyle"), -1);
    // The bar series' own properties stay published.
    EXPECT_GE(Bar.metaObject()->indexOfProperty("BarWidthPercent"), 0);
}

TEST(ErrorSeriesDefaults, ChangedSettingsAreStored)
{
    TErrorSeries S;
    S.SetErrorWidth(40);
    S.SetErrorWidthUnits(ewuPixels);
    S.SetErrorStyle(essLeft);
    for (const char* Name : {"ErrorStyle", "ErrorWidth", "ErrorWidthUnits"})
        EXPECT_TRUE(IsPropertyStored(&S, Name)) << Name;
    EXPECT_EQ(S.property("ErrorWidth").toInt(), 40);
}

TEST(HighLowDefaults, ConstructorSetsPensBrushesAndLists)
{
    THighLowSeries S;
    EXPECT_FALSE(S.VisibleRangeSearch());
    EXPECT_EQ(S.Pen()->Color(), clPlotColor);
    EXPECT_EQ(S.LowValues()->Name(), QStringLiteral("Low"));
    EXPECT_EQ(S.HighValues(), S.YValues());
    EXPECT_EQ(S.HighBrush(), S.Brush());
    EXPECT_EQ(S.HighBrush()->Style(), TBrush::bsClear);
    EXPECT_EQ(S.LowBrush()->Style(), TBrush::bsClear);
    EXPECT_TRUE(S.HighPen()->Visible());
    EXPECT_TRUE(S.LowPen()->Visible());
    EXPECT_EQ(S.Transparency(), 0);
    EXPECT_FALSE(IsPropertyStored(&S, "Transparency"));
    EXPECT_EQ(S.GetEditorClassName(), QStringLiteral("THighLowEditor"));
    for (const char* Name :
         {"HighBrush", "HighPen", "HighValues", "LowBrush", "LowPen", "LowValues", "Pen", "Transparency"})
        EXPECT_GE(S.metaObject()->indexOfProperty(Name), 0) << Name;
}

// A solid low brush was not written (its stored default was solid while it
// starts clear) and came back clear.
TEST(HighLowDefaults, BrushStylesSurviveAStorageRoundTrip)
{
    for (const TBrush::TBrushStyle Style : {TBrush::bsSolid, TBrush::bsClear, TBrush::bsCross}) {
        TChart Original;
        auto* Series = new THighLowSeries(&Original);
        Series->SetName(QStringLiteral("HighLow1"));
        Original.AddSeries(Series);
        Series->LowBrush()->SetStyle(Style);
        Series->HighBrush()->SetStyle(Style);
        TChart Copy;
        test::ReadInto(Original, Copy);
        ASSERT_EQ(Copy.SeriesCount(), 1);
        const auto* Read = qobject_cast<THighLowSeries*>(Copy.Series(0));
        ASSERT_TRUE(Read);
        EXPECT_EQ(Read->LowBrush()->Style(), Style);
        EXPECT_EQ(Read->HighBrush()->Style(), Style);
    }
}

// The polar series' brush starts clear too and had the same fault.
TEST(HighLowDefaults, PolarBrushStartsClearAndKeepsASolidStyleThroughStorage)
{
    TChart Original;
    auto* Series = new TPolarSeries(&Original);
    Series->SetName(QStringLiteral("Polar1"));
    Original.AddSeries(Series);
    EXPECT_EQ(Series->Brush()->Style(), TBrush::bsClear);
    Series->Brush()->SetStyle(TBrush::bsSolid);
    TChart Copy;
    test::ReadInto(Original, Copy);
    ASSERT_EQ(Copy.SeriesCount(), 1);
    EXPECT_EQ(Copy.Series(0)->Brush()->Style(), TBrush::bsSolid);
}

TEST(HighLowDefaults, TransparencyOutsidePercentRaises)
{
    THighLowSeries S;
    EXPECT_THROW(S.SetTransparency(101), ERangeError);
    EXPECT_THROW(S.SetTransparency(-1), ERangeError);
    EXPECT_EQ(S.Transparency(), 0);
    S.SetTransparency(100);
    EXPECT_EQ(S.Transparency(), 100);
    EXPECT_TRUE(IsPropertyStored(&S, "Transparency"));
}

// --- Adding and settings ------------------------------------------------------------------------

TEST(ErrorSeriesPoints, AddErrorBarKeepsTheErrorWithItsPoint)
{
    TErrorSeries S;
    EXPECT_EQ(S.AddErrorBar(2, 10, 1), 0);
    EXPECT_EQ(S.AddErrorBar(0, 20, 2, QStringLiteral("first"), clBlue), 0);
    ASSERT_EQ(S.Count(), 2);
    EXPECT_DOUBLE_EQ(S.ErrorValues()->Value(0), 2);
    EXPECT_DOUBLE_EQ(S.ErrorValues()->Value(1), 1);
    EXPECT_DOUBLE_EQ(S.YValues()->Value(0), 20);
    EXPECT_EQ(S.GetValueColor(0), clBlue);
    EXPECT_EQ(S.Labels().GetLabel(0), QStringLiteral("first"));
}

TEST(HighLowPoints, AddHighLowKeepsTheLowWithItsPoint)
{
    THighLowSeries S;
    EXPECT_EQ(S.AddHighLow(5, 30, 10), 0);
    EXPECT_EQ(S.AddHighLow(1, 40, 20, QStringLiteral("a")), 0);
    EXPECT_DOUBLE_EQ(S.LowValues()->Value(0), 20);
    EXPECT_DOUBLE_EQ(S.LowValues()->Value(1), 10);
    EXPECT_DOUBLE_EQ(S.HighValues()->Value(0), 40);
}

TEST(ErrorSeriesSettings, ErrorPenAndSeriesColourFollowEachOtherWithoutBar)
{
    TChartPen Green;
    Green.SetColor(clGreen);
    Green.SetWidth(3);

    TErrorSeries Error;
    Error.SetErrorPen(&Green);
    EXPECT_EQ(Error.ErrorPen()->Width(), 3);
    EXPECT_EQ(Error.SeriesColor(), clGreen);
    Error.SetSeriesColor(clBlue);
    EXPECT_EQ(Error.ErrorPen()->Color(), clBlue);

    TErrorBarSeries Bar;
    Bar.SetSeriesColor(clRed);
    Bar.SetErrorPen(&Green);
    EXPECT_EQ(Bar.SeriesColor(), clRed);
    Bar.SetSeriesColor(clBlue);
    EXPECT_EQ(Bar.ErrorPen()->Color(), clGreen);
}


TEST(ErrorSeriesSettings, SettersRepaintOnlyOnChange)
{
    test::TCountingChart<> Chart;
    auto* Error = new TErrorSeries(&Chart);
    Chart.AddSeries(Error);
    auto* HighLow = new THighLowSeries(&Chart);
    Chart.AddSeries(HighLow);
    const std::function<void(int)> Setters[] = {
        [&](int V) { Error->SetErrorStyle(V == 5 ? essLeft : essBottom); },
        [&](int V) { Error->SetErrorWidth(V); },
        [&](int V) { Error->SetErrorWidthUnits(V == 5 ? ewuPixels : ewuPercent); },
        [&](int V) { HighLow->SetTransparency(V); },
    };
    int Row = 0;
    for (const auto& Set : Setters) {
        Set(5);
        const int Before = Chart.Invalidations;
        Set(5);
        EXPECT_EQ(Chart.Invalidations, Before) << "row " << Row;
        Set(7);
        EXPECT_EQ(Chart.Invalidations, Before + 1) << "row " << Row;
        ++Row;
    }
}

TEST(ErrorSeriesSettings, AssignCopiesTheWhiskerSettings)
{
    TErrorSeries A;
    A.ErrorPen()->SetWidth(4);
    A.SetErrorStyle(essLeftRight);
    A.SetErrorWidth(7);
    A.SetErrorWidthUnits(ewuPixels);
    A.AddErrorBar(1, 2, 3);
    TErrorBarSeries B;
    B.Assign(&A);
    EXPECT_EQ(B.ErrorPen()->Width(), 4);
    EXPECT_EQ(B.ErrorStyle(), essLeftRight);
    EXPECT_EQ(B.ErrorWidth(), 7);
    EXPECT_EQ(B.ErrorWidthUnits(), ewuPixels);
    ASSERT_EQ(B.Count(), 1);
    EXPECT_DOUBLE_EQ(B.ErrorValues()->Value(0), 3);
    EXPECT_TRUE(B.DrawsBar());
}

TEST(HighLowSettings, AssignCopiesPensBrushTransparencyAndLows)
{
    THighLowSeries A;
    A.HighPen()->SetWidth(3);
    A.LowPen()->SetColor(clBlue);
    A.LowBrush()->SetStyle(TBrush::bsSolid);
    A.HighBrush()->SetStyle(TBrush::bsSolid);
    A.SetTransparency(30);
    A.AddHighLow(0, 5, 1);
    A.AddHighLow(1, 6, 2);
    THighLowSeries B;
    B.Assign(&A);
    EXPECT_EQ(B.HighPen()->Width(), 3);
    EXPECT_EQ(B.LowPen()->Color(), clBlue);
    EXPECT_EQ(B.LowBrush()->Style(), TBrush::bsSolid);
    EXPECT_EQ(B.HighBrush()->Style(), TBrush::bsSolid);
    EXPECT_EQ(B.Transparency(), 30);
    ASSERT_EQ(B.Count(), 2);
    EXPECT_DOUBLE_EQ(B.LowValues()->Value(1), 2);
}

TEST(HighLowSettings, OnlyAnotherHighLowSeriesFeedsIt)
{
    THighLowSeries A;
    THighLowSeries B;
    TBarSeries C;
    EXPECT_TRUE(A.IsValidSourceOf(&B));
    EXPECT_FALSE(A.IsValidSourceOf(&A));
    EXPECT_FALSE(A.IsValidSourceOf(&C));
}

// --- Whisker geometry ---------------------------------------------------------------------------

struct TWhiskerRow {
    const char* Name;
    TErrorSeriesStyle Style;
    double Error;
    QStringList Lines;
};

TEST(ErrorWhisker, EveryStyleFromThePointOfAnErrorSeries)
{
    // The point (2, 50): centre (200, 100); half an error of 20 is 20
    // pixels; an error of 0.5 along the horizontal axis is 50 pixels; the
    // tick is as wide as the bar (21 pixels: 10 each side).
    const TWhiskerRow Rows[] = {
        {"top", essTop, 20, {Line(200, 100, 200, 80), Line(190, 80, 210, 80)}},
        {"bottom", essBottom, 20, {Line(200, 100, 200, 120), Line(190, 120, 210, 120)}},
        {"top-bottom",
         essTopBottom,
         20,
         {Line(200, 100, 200, 120), Line(190, 120, 210, 120), Line(200, 100, 200, 80), Line(190, 80, 210, 80)}},
        {"negative error", essTopBottom, -20,
         {Line(200, 100, 200, 120), Line(190, 120, 210, 120), Line(200, 100, 200, 80), Line(190, 80, 210, 80)}},
        {"left", essLeft, 0.5, {Line(200, 100, 150, 100), Line(150, 90, 150, 110)}},
        {"right", essRight, 0.5, {Line(200, 100, 250, 100), Line(250, 90, 250, 110)}},
        {"left-right",
         essLeftRight,
         -0.5,
         {Line(200, 100, 150, 100), Line(150, 90, 150, 110), Line(200, 100, 250, 100), Line(250, 90, 250, 110)}},
    };
    for (const TWhiskerRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        TStatsChart C;
        auto* S = C.AddError<TErrorSeries>();
        S->SetErrorStyle(Row.Style);
        S->AddErrorBar(2, 50, Row.Error);
        EXPECT_EQ(C.Draw(*S), Row.Lines);
    }
}

TEST(ErrorWhisker, TopBottomSpansExactlyHalfTheErrorEachSide)
{
    // On a vertical axis of 0 .. 300 over 200 pixels the half error of 7
    // (3.5) is no whole number of pixels: each end is the pixel of its value.
    TStatsChart C;
    C.Chart.LeftAxis()->SetMinMax(0, 300);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    auto* S = C.AddError<TErrorSeries>();
    S->AddErrorBar(2, 100, 7);
    const QStringList Lines = C.Draw(*S);
    const int Y = S->CalcYPosValue(100);
    ASSERT_EQ(Lines.size(), 4);
    EXPECT_EQ(Lines[0], Line(200, Y, 200, S->CalcYPosValue(96.5)));
    EXPECT_EQ(Lines[2], Line(200, Y, 200, S->CalcYPosValue(103.5)));
}

struct TTickRow {
    int Width;
    TErrorWidthUnits Units;
    int Left;
    int Right;
};

TEST(ErrorWhisker, TickWidthInPercentOfTheBarOrInPixels)
{
    // The bar is 21 pixels wide.
    const TTickRow Rows[] = {
        {100, ewuPercent, 190, 210}, // 21: 10 each side
        {50, ewuPercent, 195, 205},  // Round(10.5) = 10
        {200, ewuPercent, 179, 221}, // 42
        {0, ewuPercent, 190, 210},   // as wide as the bar
        {0, ewuPixels, 190, 210},    // as wide as the bar
        {7, ewuPixels, 197, 203},    // 7 pixels whatever the bar
        {1, ewuPixels, 200, 200},
    };
    for (const TTickRow& Row : Rows) {
        SCOPED_TRACE(testing::Message() << Row.Width << " " << int(Row.Units));
        TStatsChart C;
        auto* S = C.AddError<TErrorSeries>();
        S->SetErrorStyle(essTop);
        S->SetErrorWidth(Row.Width);
        S->SetErrorWidthUnits(Row.Units);
        S->AddErrorBar(2, 50, 20);
        EXPECT_EQ(C.Draw(*S), (QStringList{Line(200, 100, 200, 80), Line(Row.Left, 80, Row.Right, 80)}));
    }
    TErrorSeries S;
    S.SetErrorWidthUnits(ewuPixels);
    S.SetErrorWidth(7);
    EXPECT_EQ(S.ErrorTickWidth(3), 7);
    EXPECT_EQ(S.ErrorTickWidth(300), 7);
}

TEST(ErrorWhisker, HugeErrorWidthInPercentStaysAPixelLength)
{
    // A width of many times the bar in per cent gives a tick no longer than
    // a pixel position can be, instead of a failing conversion.
    TErrorSeries S;
    S.SetErrorWidth(std::numeric_limits<int>::max());
    EXPECT_EQ(S.ErrorTickWidth(300), PlotMaxPixelPos);
    S.SetErrorWidth(-std::numeric_limits<int>::max());
    EXPECT_EQ(S.ErrorTickWidth(300), -PlotMaxPixelPos);
    S.SetErrorWidth(200);
    EXPECT_EQ(S.ErrorTickWidth(300), 600);

    TStatsChart C;
    auto* Series = C.AddError<TErrorSeries>();
    Series->SetCustomBarSize(300);
    Series->SetErrorStyle(essTop);
    Series->SetErrorWidth(std::numeric_limits<int>::max());
    Series->AddErrorBar(2, 50, 20);
    QStringList Lines;
    EXPECT_NO_THROW(Lines = C.Draw(*Series));
    ASSERT_EQ(Lines.size(), 2);
    EXPECT_EQ(Lines[0], Line(200, 100, 200, 80));
}

TEST(ErrorWhisker, ZeroErrorDrawsNoWhiskerButTheBarStays)
{
    TStatsChart C;
    auto* Error = C.AddError<TErrorSeries>();
    Error->AddErrorBar(2, 50, 0);
    EXPECT_TRUE(C.Draw(*Error).isEmpty());

    TStatsChart D;
    auto* Bar = D.AddError<TErrorBarSeries>();
    Bar->AddErrorBar(2, 50, 0);
    EXPECT_EQ(D.Draw(*Bar), QStringList{QStringLiteral("Rectangle(190,100,211,200)")});
}

TEST(ErrorWhisker, HiddenErrorPenDrawsNoWhisker)
{
    TStatsChart C;
    auto* S = C.AddError<TErrorSeries>();
    S->ErrorPen()->Hide();
    S->AddErrorBar(2, 50, 20);
    EXPECT_TRUE(C.Draw(*S).isEmpty());
}

TEST(ErrorWhisker, ErrorBarStandsOnTheBarsValueEnd)
{
    TStatsChart C;
    auto* S = C.AddError<TErrorBarSeries>();
    S->AddErrorBar(2, 50, 20);
    EXPECT_EQ(C.Draw(*S), (QStringList{QStringLiteral("Rectangle(190,100,211,200)"), Line(200, 100, 200, 80),
                                       Line(190, 80, 210, 80)}));
}

TEST(ErrorWhisker, BarBelowItsOriginTurnsTheWhiskerRound)
{
    // Origin 50, value 30: the bar hangs from pixel 100 to 140 and its
    // whisker points down, away from the bar.
    TStatsChart C;
    auto* S = C.AddError<TErrorBarSeries>();
    S->SetYOrigin(50);
    S->AddErrorBar(2, 30, 20);
    EXPECT_EQ(C.Draw(*S), (QStringList{QStringLiteral("Rectangle(190,100,211,140)"), Line(200, 140, 200, 160),
                                       Line(190, 160, 210, 160)}));
}

TEST(ErrorWhisker, InvertedAxisKeepsTheWhiskerAwayFromTheBar)
{
    // The vertical axis runs downwards: the bar of 50 hangs from the top
    // (pixel 0) to pixel 100 and its whisker continues downwards to the
    // pixel of 60; below the origin the bar rises and the whisker goes up.
    TStatsChart C;
    C.Chart.LeftAxis()->SetInverted(true);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    auto* S = C.AddError<TErrorBarSeries>();
    S->AddErrorBar(2, 50, 20);
    QStringList Lines = C.Draw(*S);
    ASSERT_EQ(Lines.size(), 3);
    EXPECT_EQ(Lines[1], Line(200, 100, 200, 120));
    EXPECT_EQ(Lines[2], Line(190, 120, 210, 120));

    S->SetYOrigin(80);
    Lines = C.Draw(*S);
    ASSERT_EQ(Lines.size(), 3);
    EXPECT_EQ(Lines[1], Line(200, 100, 200, 80));
}

TEST(ErrorWhisker, OnlyTheErrorBarTurnsRound)
{
    // Without a bar the origin means nothing: the top whisker goes up.
    TStatsChart C;
    auto* S = C.AddError<TErrorSeries>();
    S->SetYOrigin(50);
    S->SetErrorStyle(essTop);
    S->AddErrorBar(2, 30, 20);
    EXPECT_EQ(C.Draw(*S), (QStringList{Line(200, 140, 200, 120), Line(190, 120, 210, 120)}));
}

TEST(ErrorWhisker, StackedToHundredPercentStandsAtTheHundredLine)
{
    TStatsChart C;
    auto* S = C.AddError<TErrorBarSeries>();
    S->SetMultiBar(mbStacked100);
    S->AddErrorBar(2, 50, 20);
    const QStringList Lines = C.Draw(*S);
    ASSERT_EQ(Lines.size(), 3);
    EXPECT_EQ(Lines[1], Line(200, 0, 200, -20));
}

TEST(ErrorWhisker, WhiskerPenTakesThePointColourWithoutBar)
{
    TStatsChart C;
    auto* S = C.AddError<TErrorSeries>();
    S->ErrorPen()->SetWidth(3);
    S->AddErrorBar(2, 50, 20, QString(), clBlue);
    C.Draw(*S);
    const QString Pen = C.PenBefore(QStringLiteral("MoveTo(200,100)"));
    EXPECT_TRUE(Pen.contains(LogColor(clBlue))) << Pen.toStdString();
    EXPECT_TRUE(Pen.startsWith(QLatin1String("SelectPen(0,3,"))) << Pen.toStdString();
}

TEST(ErrorWhisker, ErrorBarWhiskerKeepsThePensOwnColour)
{
    TStatsChart C;
    auto* S = C.AddError<TErrorBarSeries>();
    S->ErrorPen()->SetColor(clGreen);
    S->AddErrorBar(2, 50, 20, QString(), clBlue);
    C.Draw(*S);
    const QString Pen = C.PenBefore(QStringLiteral("MoveTo(200,100)"));
    EXPECT_TRUE(Pen.contains(LogColor(clGreen))) << Pen.toStdString();
}

TEST(ErrorWhisker, ThreeDimensionalWhiskerLiesAtTheSeriesDepth)
{
    TStatsChart C(true);
    auto* S = C.AddError<TErrorSeries>();
    S->SetErrorStyle(essTop);
    S->AddErrorBar(2, 50, 20);
    C.Layout();
    S->SetDepthPositions(10, 15, 20);
    C.DC.ClearCalls();
    S->DrawAllValues();
    const TPlotCanvas3D& Canvas = C.Chart.Canvas();
    const auto P = [&](int X, int Y) { return Canvas.Calculate3DPosition(X, Y, 10); };
    const auto L = [&](TPoint A, TPoint B) { return Line(A.X, A.Y, B.X, B.Y); };
    EXPECT_EQ(C.Drawn(), (QStringList{L(P(200, 100), P(200, 80)), L(P(190, 80), P(210, 80))}));
}

// --- Margins and ranges -------------------------------------------------------------------------

TEST(ErrorMargins, ThePenWidthOnTheSidesTheWhiskerPoints)
{
    struct TRow {
        TErrorSeriesStyle Style;
        int Left, Right, Top, Bottom;
    };
    // The bar margin is 20 on each side; the pen is 50 wide.
    const TRow Rows[] = {
        {essLeft, 50, 20, 0, 0},   {essRight, 20, 50, 0, 0},  {essLeftRight, 50, 50, 0, 0},
        {essTop, 20, 20, 50, 0},   {essBottom, 20, 20, 0, 50}, {essTopBottom, 20, 20, 50, 50},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(int(Row.Style));
        TStatsChart C;
        auto* S = C.AddError<TErrorSeries>();
        S->ErrorPen()->SetWidth(50);
        S->SetErrorStyle(Row.Style);
        S->AddErrorBar(2, 50, 20);
        S->DoBeforeDrawChart();
        int Left = 0, Right = 0, Top = 0, Bottom = 0;
        S->CalcHorizMargins(Left, Right);
        S->CalcVertMargins(Top, Bottom);
        EXPECT_EQ(Left, Row.Left);
        EXPECT_EQ(Right, Row.Right);
        EXPECT_EQ(Top, Row.Top);
        EXPECT_EQ(Bottom, Row.Bottom);
    }
    // A thin pen leaves the bar margins as they are.
    TStatsChart C;
    auto* S = C.AddError<TErrorSeries>();
    S->SetErrorStyle(essLeftRight);
    S->AddErrorBar(2, 50, 20);
    S->DoBeforeDrawChart();
    int Left = 0, Right = 0;
    S->CalcHorizMargins(Left, Right);
    EXPECT_EQ(Left, 20);
    EXPECT_EQ(Right, 20);
}

TEST(ErrorRanges, ErrorSeriesRangeIncludesEveryError)
{
    TErrorSeries S;
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 0);
    EXPECT_DOUBLE_EQ(S.MinYValue(), 0);
    S.AddErrorBar(0, 10, 4);
    S.AddErrorBar(1, 50, 6);
    S.AddErrorBar(2, 30, 1);
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 56);
    EXPECT_DOUBLE_EQ(S.MinYValue(), 6);
}

TEST(ErrorRanges, NegativeErrorsWidenTheRangeLikePositiveOnes)
{
    // The whisker of -6 reaches as far as that of 6: the range must hold it.
    TErrorSeries S;
    S.AddErrorBar(0, 10, -4);
    S.AddErrorBar(1, 50, -6);
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 56);
    EXPECT_DOUBLE_EQ(S.MinYValue(), 6);
}

TEST(ErrorRanges, ErrorBarRangeStartsFromTheBarsAndExtendsAwayFromZero)
{
    TErrorBarSeries S;
    S.AddErrorBar(0, 10, 4);
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 14);
    EXPECT_DOUBLE_EQ(S.MinYValue(), 0); // the bar's origin
    S.AddErrorBar(1, -20, 6);
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 14);
    EXPECT_DOUBLE_EQ(S.MinYValue(), -26);
    S.AddErrorBar(2, 5, -30);
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 35);
}

TEST(ErrorRanges, AxesOfAChartHoldTheWhiskers)
{
    TStatsChart C;
    C.Chart.LeftAxis()->SetAutomatic(true);
    auto* S = C.AddError<TErrorSeries>();
    S->AddErrorBar(0, 10, 4);
    S->AddErrorBar(1, 50, 6);
    EXPECT_DOUBLE_EQ(C.Chart.MaxYValue(C.Chart.LeftAxis()), 56);
    EXPECT_DOUBLE_EQ(C.Chart.MinYValue(C.Chart.LeftAxis()), 6);
}

TEST(HighLowRanges, RangeCoversHighsAndLows)
{
    THighLowSeries S;
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 0);
    S.AddHighLow(0, 10, 5);
    S.AddHighLow(1, 8, 12); // a low above its high
    S.AddHighLow(2, 9, -3);
    EXPECT_DOUBLE_EQ(S.MaxYValue(), 12);
    EXPECT_DOUBLE_EQ(S.MinYValue(), -3);
}

// --- Legend -------------------------------------------------------------------------------------

TEST(ErrorLegend, WhiskerSymbolStaysInsideItsRectangle)
{
    const TRect Symbol{10, 10, 30, 20};
    for (TErrorSeriesStyle Style : {essLeft, essRight, essLeftRight, essTop, essBottom, essTopBottom}) {
        SCOPED_TRACE(int(Style));
        TStatsChart C;
        auto* S = C.AddError<TErrorSeries>();
        S->SetErrorStyle(Style);
        S->AddErrorBar(2, 50, 20);
        C.DC.ClearCalls();
        S->DrawLegend(-1, Symbol);
        const QStringList Lines = C.Drawn();
        EXPECT_FALSE(Lines.isEmpty());
        for (const QString& L : Lines) {
            const QStringList N = L.mid(5, L.size() - 6).split(QLatin1Char(','));
            ASSERT_EQ(N.size(), 4);
            // A line's end point is not drawn: it may touch the exclusive edge.
            EXPECT_GE(N[0].toInt(), Symbol.Left) << L.toStdString();
            EXPECT_GE(N[1].toInt(), Symbol.Top) << L.toStdString();
            EXPECT_LT(N[0].toInt(), Symbol.Right) << L.toStdString();
            EXPECT_LT(N[1].toInt(), Symbol.Bottom) << L.toStdString();
            EXPECT_LE(N[2].toInt(), Symbol.Right) << L.toStdString();
            EXPECT_LE(N[3].toInt(), Symbol.Bottom) << L.toStdString();
        }
    }
}

TEST(ErrorLegend, TopBottomSymbolReachesBothEdges)
{
    TStatsChart C;
    auto* S = C.AddError<TErrorSeries>();
    S->AddErrorBar(2, 50, 20, QString(), clBlue);
    C.DC.ClearCalls();
    S->DrawLegend(0, TRect{10, 10, 30, 20});
    EXPECT_EQ(C.Drawn(),
              (QStringList{Line(20, 15, 20, 19), Line(10, 19, 30, 19), Line(20, 15, 20, 10), Line(10, 10, 30, 10)}));
    // The point's colour, as its whisker has.
    EXPECT_TRUE(C.PenBefore(QStringLiteral("MoveTo(20,15)")).contains(LogColor(clBlue)));
}

TEST(ErrorLegend, ErrorBarSymbolDrawsTheBarThenTheWhisker)
{
    TStatsChart C;
    auto* S = C.AddError<TErrorBarSeries>();
    S->ErrorPen()->SetColor(clGreen);
    S->AddErrorBar(2, 50, 20);
    C.DC.ClearCalls();
    S->DrawLegend(-1, TRect{10, 10, 30, 20});
    const QStringList Lines = C.Drawn();
    ASSERT_EQ(Lines.size(), 3);
    EXPECT_TRUE(Lines[0].startsWith(QLatin1String("Rectangle("))) << Lines[0].toStdString();
    EXPECT_EQ(Lines[1], Line(20, 15, 20, 10));
    EXPECT_TRUE(C.PenBefore(QStringLiteral("MoveTo(20,15)")).contains(LogColor(clGreen)));
}

// --- High-low drawing ---------------------------------------------------------------------------

// Points (0, 60, 40), (1, 70, 50), (2, 50, 30): high/low pixels
// (0: 80/120), (100: 60/100), (200: 100/140).
THighLowSeries* ThreePoints(TStatsChart& C)
{
    auto* S = C.AddHighLow();
    S->AddHighLow(0, 60, 40);
    S->AddHighLow(1, 70, 50);
    S->AddHighLow(2, 50, 30);
    return S;
}

TEST(HighLowDraw, LinesThroughHighsAndLowsAndTheHighLowLines)
{
    TStatsChart C;
    auto* S = ThreePoints(C);
    EXPECT_EQ(C.Draw(*S), (QStringList{Line(0, 80, 100, 60), Line(0, 120, 100, 100), Line(0, 80, 0, 120),
                                       Line(100, 60, 200, 100), Line(100, 100, 200, 140), Line(100, 60, 100, 100),
                                       Line(200, 100, 200, 140)}));
}

TEST(HighLowDraw, PensOfTheLines)
{
    TStatsChart C;
    auto* S = ThreePoints(C);
    S->HighPen()->SetColor(clGreen);
    S->LowPen()->SetColor(clBlue);
    S->SetValueColor(0, clYellow);
    C.Draw(*S);
    EXPECT_TRUE(C.PenBefore(QStringLiteral("LineTo(100,60)")).contains(LogColor(clGreen)));
    EXPECT_TRUE(C.PenBefore(QStringLiteral("LineTo(100,100)")).contains(LogColor(clBlue)));
    // The high-low line takes its point's colour (the series pen is
    // clPlotColor).
    EXPECT_TRUE(C.PenBefore(QStringLiteral("LineTo(0,120)")).contains(LogColor(clYellow)));
    EXPECT_TRUE(C.PenBefore(QStringLiteral("MoveTo(200,100)")).contains(LogColor(clRed)));
    // A pen of its own colour keeps it.
    S->Pen()->SetColor(clMaroon);
    C.Draw(*S);
    EXPECT_TRUE(C.PenBefore(QStringLiteral("LineTo(0,120)")).contains(LogColor(clMaroon)));
}

TEST(HighLowDraw, HiddenPensDrawNothing)
{
    TStatsChart C;
    auto* S = ThreePoints(C);
    S->HighPen()->Hide();
    S->LowPen()->Hide();
    S->Pen()->Hide();
    EXPECT_TRUE(C.Draw(*S).isEmpty());
}

TEST(HighLowDraw, OnePointDrawsNothing)
{
    TStatsChart C;
    auto* S = C.AddHighLow();
    S->HighBrush()->SetStyle(TBrush::bsSolid);
    S->AddHighLow(2, 60, 40);
    EXPECT_TRUE(C.Draw(*S).isEmpty());
    EXPECT_EQ(S->Count(), 1);
}

TEST(HighLowDraw, ClearBrushesDrawNoBand)
{
    TStatsChart C;
    auto* S = ThreePoints(C);
    EXPECT_TRUE(C.DC.CallsStartingWith(QStringLiteral("Polygon(")).isEmpty());
    C.Draw(*S);
    EXPECT_TRUE(C.DC.CallsStartingWith(QStringLiteral("Polygon(")).isEmpty());
}

TEST(HighLowDraw, HighBrushFillsTheBandInThePreviousPointsColour)
{
    TStatsChart C;
    auto* S = ThreePoints(C);
    S->HighBrush()->SetStyle(TBrush::bsSolid);
    S->SetValueColor(0, clBlue);
    const QStringList Lines = C.Draw(*S);
    const QString First = Poly({{0, 80}, {0, 120}, {100, 100}, {100, 60}});
    const QString Second = Poly({{100, 60}, {100, 100}, {200, 140}, {200, 100}});
    EXPECT_EQ(Lines.count(First), 1);
    EXPECT_EQ(Lines.count(Second), 1);
    // The band goes under the lines of its segment.
    EXPECT_LT(Lines.indexOf(First), Lines.indexOf(Line(0, 80, 100, 60)));
    EXPECT_TRUE(C.BrushBefore(First).startsWith(QStringLiteral("SelectBrush(solid,%1").arg(LogColor(clBlue))))
        << C.BrushBefore(First).toStdString();
    EXPECT_TRUE(C.BrushBefore(Second).startsWith(QStringLiteral("SelectBrush(solid,%1").arg(LogColor(clRed))));
    EXPECT_TRUE(C.PenBefore(First).startsWith(QLatin1String("SelectPen(5,"))) << C.PenBefore(First).toStdString();
}

TEST(HighLowDraw, LowBrushFillsWhereTheHighIsNotAboveTheLow)
{
    TStatsChart C;
    auto* S = C.AddHighLow();
    S->LowBrush()->SetStyle(TBrush::bsSolid);
    S->AddHighLow(0, 60, 40);
    S->AddHighLow(1, 40, 50); // high below low
    S->AddHighLow(2, 50, 50); // high equal to low
    S->AddHighLow(3, 70, 30);
    const QStringList Polygons = C.Draw(*S).filter(QStringLiteral("Polygon("));
    EXPECT_EQ(Polygons, (QStringList{Poly({{0, 80}, {0, 120}, {100, 100}, {100, 120}}),
                                     Poly({{100, 120}, {100, 100}, {200, 100}, {200, 100}})}));
}

TEST(HighLowDraw, NullPointBreaksLinesAndBandOnBothSides)
{
    TStatsChart C;
    auto* S = C.AddHighLow();
    S->HighBrush()->SetStyle(TBrush::bsSolid);
    S->AddHighLow(0, 60, 40);
    S->AddHighLow(1, 70, 50, QString(), clNone);
    S->AddHighLow(2, 50, 30);
    EXPECT_EQ(C.Draw(*S), (QStringList{Line(0, 80, 0, 120), Line(200, 100, 200, 140)}));
}

TEST(HighLowDraw, BackwardsDrawingJoinsNeighboursInDrawingOrder)
{
    // An inverted horizontal axis draws from the last point to the first;
    // each point joins the one drawn before it.
    TStatsChart C;
    C.Chart.BottomAxis()->SetInverted(true);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    auto* S = ThreePoints(C);
    EXPECT_EQ(C.Draw(*S), (QStringList{Line(200, 100, 300, 60), Line(200, 140, 300, 100), Line(200, 100, 200, 140),
                                       Line(300, 60, 400, 80), Line(300, 100, 400, 120), Line(300, 60, 300, 100),
                                       Line(400, 80, 400, 120)}));
    S->SetValueColor(1, clNone);
    EXPECT_EQ(C.Draw(*S), (QStringList{Line(200, 100, 200, 140), Line(400, 80, 400, 120)}));
}

TEST(HighLowDraw, ThreeDimensionalLinesAndBandAtTheSeriesDepth)
{
    TStatsChart C(true);
    auto* S = ThreePoints(C);
    S->HighBrush()->SetStyle(TBrush::bsSolid);
    C.Layout();
    S->SetDepthPositions(10, 15, 20);
    C.DC.ClearCalls();
    S->DrawAllValues();
    const TPlotCanvas3D& Canvas = C.Chart.Canvas();
    const auto P = [&](int X, int Y) { return Canvas.Calculate3DPosition(X, Y, 10); };
    const auto L = [&](TPoint A, TPoint B) { return Line(A.X, A.Y, B.X, B.Y); };
    const QStringList Lines = C.Drawn();
    EXPECT_TRUE(Lines.contains(L(P(0, 80), P(100, 60))));
    EXPECT_TRUE(Lines.contains(L(P(0, 120), P(100, 100))));
    EXPECT_TRUE(Lines.contains(L(P(0, 80), P(0, 120))));
    EXPECT_TRUE(Lines.contains(L(P(200, 100), P(200, 140))));
    EXPECT_EQ(Lines.filter(QStringLiteral("Polygon(")).size(), 2);
}

// A band over white drawn straight onto a bitmap (a chart's picture copy
// draws as a metafile would, without blending).
TColor BandPixel(int Transparency)
{
    TTestChart Chart;
    Chart.SetView3D(false);
    Chart.SetBounds(0, 0, 400, 250);
    auto* S = new THighLowSeries(&Chart);
    S->SetSeriesColor(clRed);
    S->HighBrush()->SetStyle(TBrush::bsSolid);
    Chart.AddSeries(S);
    S->AddHighLow(0, 80, 20);
    S->AddHighLow(1, 80, 20);
    S->SetTransparency(Transparency);
    for (TChartAxis* Axis : Chart.AxesList())
        Axis->SetMinMax(0, Axis->Horizontal() ? 1 : 100);
    test::PlaceAxes(Chart, TRect{0, 0, 400, 200});
    auto Target = test::BindCanvas(Chart);
    Chart.Canvas().ResetState();
    Chart.Canvas().Brush()->SetColor(clWhite);
    Chart.Canvas().FillRect(TRect{0, 0, 400, 250});
    S->CalcFirstLastVisibleIndex();
    S->DrawAllValues();
    return Chart.Canvas().GetPixel(200, 100);
}

TEST(HighLowDraw, TransparentBandIsBlendedOverTheBackground)
{
    EXPECT_EQ(BandPixel(0), clRed);
    const TColor Half = BandPixel(50);
    EXPECT_EQ(Half & 0xFF, 0xFF);
    EXPECT_NEAR((Half >> 8) & 0xFF, 128, 3);
    EXPECT_NEAR((Half >> 16) & 0xFF, 128, 3);
    const TColor Clear = BandPixel(100);
    EXPECT_GE((Clear >> 8) & 0xFF, 250);
    EXPECT_GE((Clear >> 16) & 0xFF, 250);
}

// --- High-low clicks ----------------------------------------------------------------------------

TEST(HighLowClick, BandsHighPointsAndHighLines)
{
    TStatsChart C;
    auto* S = ThreePoints(C);
    EXPECT_EQ(S->Clicked(50, 90), -1); // no visible range yet
    C.Layout();
    EXPECT_EQ(S->Clicked(50, 90), 1);   // band from point 0 to 1
    EXPECT_EQ(S->Clicked(150, 100), 2); // band from point 1 to 2
    EXPECT_EQ(S->Clicked(50, 150), -1);
    EXPECT_EQ(S->Clicked(300, 100), -1);

    // Where high equals low the bands are empty: high points and lines.
    TStatsChart D;
    auto* T = D.AddHighLow();
    T->AddHighLow(0, 60, 60);
    T->AddHighLow(1, 70, 70);
    T->AddHighLow(2, 50, 50);
    D.Layout();
    EXPECT_EQ(T->Clicked(100, 60), 1);
    EXPECT_EQ(T->Clicked(50, 70), 0);
    EXPECT_EQ(T->Clicked(150, 80), 1);
    EXPECT_EQ(T->Clicked(50, 20), -1);
}

// --- Gallery and samples ------------------------------------------------------------------------

QStringList Captions(TChartSeries& S)
{
    QStringList Result;
    S.CreateSubGallery([&](const QString& Caption) { Result << Caption; });
    return Result;
}

TEST(StatsGallery, SubStyles)
{
    TErrorSeries Error;
    EXPECT_EQ(Captions(Error), (QStringList{PlotMsg_Normal, PlotMsg_StyleColors, PlotMsg_StylePyramid,
                                            PlotMsg_StyleEllipse, PlotMsg_StyleInvPyramid, PlotMsg_StyleGradient}));
    THighLowSeries S;
    EXPECT_EQ(Captions(S), (QStringList{QStringLiteral("Normal"), QStringLiteral("Filled"),
                                        QStringLiteral("No Lines"), QStringLiteral("No High"),
                                        QStringLiteral("No Low")}));
    S.SetSubGallery(1);
    EXPECT_EQ(S.HighBrush()->Style(), TBrush::bsSolid);
    S.SetSubGallery(2);
    EXPECT_FALSE(S.Pen()->Visible());
    S.SetSubGallery(3);
    EXPECT_FALSE(S.HighPen()->Visible());
    EXPECT_TRUE(S.LowPen()->Visible());
    S.SetSubGallery(4);
    EXPECT_FALSE(S.LowPen()->Visible());
}

TEST(StatsGallery, ErrorSeriesPreparation)
{
    TErrorBarSeries Bar;
    Bar.PrepareForGallery(true);
    EXPECT_EQ(Bar.Count(), 4);
    EXPECT_EQ(Bar.ErrorPen()->Width(), 2);
    EXPECT_EQ(Bar.ErrorPen()->Color(), TColor(0x0000FF));
    EXPECT_EQ(Bar.SeriesColor(), TColor(0xFF0000));
    Bar.PrepareForGallery(false);
    EXPECT_EQ(Bar.ErrorPen()->Color(), TColor(0xFFFFFF));
    EXPECT_EQ(Bar.SeriesColor(), TColor(0xC0C0C0));

    // Without a bar the pen follows the series colour.
    TErrorSeries Error;
    Error.PrepareForGallery(true);
    EXPECT_EQ(Error.ErrorPen()->Width(), 1);
    EXPECT_EQ(Error.SeriesColor(), TColor(0xFF0000));
    EXPECT_EQ(Error.ErrorPen()->Color(), TColor(0xFF0000));
}

TEST(StatsSamples, ErrorSamplesFromTheRandomSource)
{
    TChartSeries::RandomSeed(4321);
    TChartSeries::RandomSeed(static_cast<quint32>(TChartSeries::RandomValue(7774444)));
    std::vector<double> Y, E;
    for (int I = 0; I < 5; ++I) {
        Y.push_back(TChartSeries::RandomValue(1000));
        E.push_back(1000.0 / (20 + TChartSeries::RandomValue(4)));
    }
    TErrorSeries S;
    TChartSeries::RandomSeed(4321);
    S.FillSampleValues(5);
    ASSERT_EQ(S.Count(), 5);
    for (int I = 0; I < 5; ++I) {
        EXPECT_DOUBLE_EQ(S.XValues()->Value(I), I);
        EXPECT_DOUBLE_EQ(S.YValues()->Value(I), Y[I]);
        EXPECT_DOUBLE_EQ(S.ErrorValues()->Value(I), E[I]);
        EXPECT_GE(E[I], 1000.0 / 23);
        EXPECT_LE(E[I], 1000.0 / 20);
    }
}

TEST(StatsSamples, HighLowSamplesWanderFromARandomLevel)
{
    TChartSeries::RandomSeed(99);
    TChartSeries::RandomSeed(static_cast<quint32>(TChartSeries::RandomValue(7774444)));
    std::vector<double> High, Low;
    double Level = TChartSeries::RandomValue(1000);
    for (int I = 0; I < 6; ++I) {
        Level += TChartSeries::RandomValue(200) - 100.0;
        High.push_back(Level);
        Low.push_back(Level - TChartSeries::RandomValue(200));
    }
    THighLowSeries S;
    TChartSeries::RandomSeed(99);
    S.FillSampleValues(6);
    ASSERT_EQ(S.Count(), 6);
    for (int I = 0; I < 6; ++I) {
        EXPECT_DOUBLE_EQ(S.XValues()->Value(I), I);
        EXPECT_DOUBLE_EQ(S.HighValues()->Value(I), High[I]);
        EXPECT_DOUBLE_EQ(S.LowValues()->Value(I), Low[I]);
        EXPECT_LE(S.LowValues()->Value(I), S.HighValues()->Value(I));
    }
}

TEST(StatsSamples, AHugeValueRangeOfTheChartStillGivesSamples)
{
    // The chart's values span far more than a whole-number random limit
    // holds: the samples stay inside the range instead of failing.
    TStatsChart C;
    auto* Data = C.AddError<TErrorSeries>();
    Data->AddErrorBar(0, 0, 0);
    Data->AddErrorBar(1, 1e12, 0);
    auto* Error = C.AddError<TErrorSeries>();
    EXPECT_NO_THROW(Error->FillSampleValues(5));
    ASSERT_EQ(Error->Count(), 5);
    for (int I = 0; I < 5; ++I) {
        EXPECT_GE(Error->YValues()->Value(I), 0);
        EXPECT_LE(Error->YValues()->Value(I), 1e12);
    }
    auto* HighLow = C.AddHighLow();
    EXPECT_NO_THROW(HighLow->FillSampleValues(5));
    ASSERT_EQ(HighLow->Count(), 5);
    for (int I = 0; I < 5; ++I)
        EXPECT_LE(HighLow->LowValues()->Value(I), HighLow->HighValues()->Value(I));
}

// --- Registration -------------------------------------------------------------------------------

// The error bar unit's types on the "Stats" page (other units add theirs).
std::vector<TPlotSeriesType*> StatsPage()
{
    std::vector<TPlotSeriesType*> Result;
    if (TPlotSeriesTypes* Types = PlotSeriesTypes())
        for (int I = 0; I < Types->Count(); ++I)
            if (const QMetaObject* Class = Types->Items(I)->SeriesClass;
                Types->Items(I)->GalleryPageText() == QLatin1String("Stats") && Class
                && (Class->inherits(&TCustomErrorSeries::staticMetaObject) || Class == &THighLowSeries::staticMetaObject))
                Result.push_back(Types->Items(I));
    return Result;
}

TEST(StatsRegistration, ThreeTypesOnTheStatsPageInOrder)
{
    const std::vector<TPlotSeriesType*> Page = StatsPage();
    ASSERT_EQ(Page.size(), 3u);
    EXPECT_EQ(Page[0]->SeriesClass, &TErrorBarSeries::staticMetaObject);
    EXPECT_EQ(Page[1]->SeriesClass, &TErrorSeries::staticMetaObject);
    EXPECT_EQ(Page[2]->SeriesClass, &THighLowSeries::staticMetaObject);
    EXPECT_EQ(Page[0]->DescriptionText(), QStringLiteral("Error Bar"));
    EXPECT_EQ(Page[1]->DescriptionText(), QStringLiteral("Error"));
    EXPECT_EQ(Page[2]->DescriptionText(), QStringLiteral("High-Low"));
    for (const TPlotSeriesType* Type : Page) {
        EXPECT_EQ(Type->NumGallerySeries, 1);
        EXPECT_EQ(Type->FunctionClass, nullptr);
    }
}

TEST(StatsRegistration, RegisteredTypesAreCreatedByName)
{
    TTestChart Chart;
    TChartSeries* S = CreateNewSeries(nullptr, &Chart, &THighLowSeries::staticMetaObject);
    ASSERT_NE(qobject_cast<THighLowSeries*>(S), nullptr);
    TChartSeries* E = CreateNewSeries(nullptr, &Chart, &TErrorBarSeries::staticMetaObject);
    ASSERT_NE(qobject_cast<TErrorBarSeries*>(E), nullptr);
    EXPECT_EQ(GetGallerySeriesName(E), QStringLiteral("Error Bar"));
}

TEST(StatsRegistration, UnregisterRemovesAndRegisterRestores)
{
    UnregisterErrorBarSeries();
    EXPECT_TRUE(StatsPage().empty());
    TTestChart Chart;
    EXPECT_ANY_THROW(CreateNewSeries(nullptr, &Chart, &TErrorSeries::staticMetaObject));
    RegisterErrorBarSeries();
    RegisterErrorBarSeries(); // again: nothing changes
    ASSERT_EQ(StatsPage().size(), 3u);
    EXPECT_EQ(StatsPage()[0]->SeriesClass, &TErrorBarSeries::staticMetaObject);
}

TEST(StatsRegistration, StartUpIsCounted)
{
    const int Before = PlotSeriesTypes()->Count();
    InitializeChartExtensions();
    EXPECT_EQ(PlotSeriesTypes()->Count(), Before);
    FinalizeChartExtensions(); // the matching call: the first start-up still holds
    EXPECT_EQ(StatsPage().size(), 3u);
}

// --- Pictures -----------------------------------------------------------------------------------

TEST(StatsPicture, ErrorBarChart)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    auto* Bars = new TErrorBarSeries(&Chart);
    Bars->SetSeriesColor(TColor(0xF0CAA6));
    Bars->ErrorPen()->SetWidth(2);
    Bars->ErrorPen()->SetColor(clNavy);
    Chart.AddSeries(Bars);
    auto* Whiskers = new TErrorSeries(&Chart);
    Whiskers->SetSeriesColor(clRed);
    Whiskers->SetErrorWidth(50);
    Chart.AddSeries(Whiskers);
    const double Values[] = {40, 65, -20, 80, 30};
    const double Errors[] = {10, 16, 12, 8, 20};
    for (int I = 0; I < 5; ++I) {
        Bars->AddErrorBar(I, Values[I], Errors[I]);
        Whiskers->AddErrorBar(I, Values[I] / 2, Errors[I] * 2);
    }
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "stats", "error-bar-chart"));
}

TEST(StatsPicture, HighLowChart)
{
    // Solid bands where the high is above the low, hatched ones where it is
    // not, each in the colour of the point it starts from (point 5 blue);
    // the null point 3 breaks lines and bands on both sides.
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    auto* S = new THighLowSeries(&Chart);
    S->SetSeriesColor(clGray);
    S->Pen()->SetColor(clBlack);
    S->HighBrush()->SetStyle(TBrush::bsSolid);
    S->LowBrush()->SetStyle(TBrush::bsDiagCross);
    S->LowBrush()->SetColor(clYellow);
    S->HighPen()->SetColor(clGreen);
    S->HighPen()->SetWidth(2);
    S->LowPen()->SetColor(clRed);
    S->LowPen()->SetWidth(2);
    Chart.AddSeries(S);
    const double High[] = {50, 62, 58, 40, 70, 66, 75, 60};
    const double Low[] = {30, 35, 61, 45, 50, 40, 55, 52};
    for (int I = 0; I < 8; ++I)
        S->AddHighLow(I, High[I], Low[I], QString(), I == 3 ? clNone : I == 5 ? clBlue : clPlotColor);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "stats", "high-low-chart"));
}

} // namespace
} // namespace lp

// --- Settings texts --------------------------------------------------------------------

namespace lp {
namespace {

// --- Stored points ------------------------------------------------------------------------------

TEST(StatsData, ErrorsAndLowsRoundTripThroughTheDataBlock)
{
    const auto RoundTrip = [](TChartSeries& Source, TChartSeries& Target) {
        QBuffer Out;
        Out.open(QIODevice::WriteOnly);
        Source.WriteData(Out);
        QBuffer In;
        In.setData(Out.data());
        In.open(QIODevice::ReadOnly);
        Target.ReadData(In);
    };
    TErrorBarSeries Bars;
    Bars.AddErrorBar(1, 10, 2.5, QStringLiteral("a"));
    Bars.AddErrorBar(2, -4, -1, QString(), clBlue);
    TErrorBarSeries BarsCopy;
    BarsCopy.AddErrorBar(9, 9, 9);
    RoundTrip(Bars, BarsCopy);
    ASSERT_EQ(BarsCopy.Count(), 2);
    EXPECT_EQ(BarsCopy.ErrorValues()->Count(), 2);
    EXPECT_EQ(BarsCopy.ErrorValues()->Value(0), 2.5);
    EXPECT_EQ(BarsCopy.ErrorValues()->Value(1), -1);
    EXPECT_EQ(BarsCopy.YValues()->Value(1), -4);
    EXPECT_EQ(BarsCopy.GetStoredValueColor(1), clBlue);

    THighLowSeries HighLow;
    HighLow.AddHighLow(1, 70, 50);
    HighLow.AddHighLow(2, 60, 65, QStringLiteral("b"));
    THighLowSeries HighLowCopy;
    RoundTrip(HighLow, HighLowCopy);
    ASSERT_EQ(HighLowCopy.Count(), 2);
    EXPECT_EQ(HighLowCopy.LowValues()->Value(0), 50);
    EXPECT_EQ(HighLowCopy.LowValues()->Value(1), 65);
    EXPECT_EQ(HighLowCopy.HighValues()->Value(1), 60);
    EXPECT_EQ(HighLowCopy.MinYValue(), 50);
    EXPECT_EQ(HighLowCopy.MaxYValue(), 70);
}

QStringList SettingsFields(const TChartSeries& Series)
{
    return SeriesSettingsToText(&Series).split(QLatin1Char('~'));
}

TEST(ErrorSeriesSettingsText, ErrorBarFieldsAreWrittenButNeverRead)
{
    TErrorBarSeries Source;
    Source.SetErrorWidth(40);
    Source.SetErrorWidthUnits(ewuPixels);
    Source.ErrorPen()->SetColor(0x00FF00);
    const QStringList Fields = SettingsFields(Source);
    ASSERT_EQ(Fields.size(), 48);
    EXPECT_EQ(Fields[41], "Error*Bar");
    EXPECT_EQ(Fields[42], PenSettingsToText(*Source.ErrorPen()));
    EXPECT_EQ(Fields[43], QString::number(Source.ErrorStyle()));
    EXPECT_EQ(Fields[44], "40");
    EXPECT_EQ(Fields[45], "1");
    EXPECT_EQ(Fields[46], "0");
    EXPECT_EQ(Fields[47], QString::number(Source.Marks()->DrawEvery()));
    // Texts of error series are refused: nothing changes.
    TErrorBarSeries Copy;
    EXPECT_FALSE(SeriesSettingsFromText(&Copy, Fields.join(QLatin1Char('~'))));
    EXPECT_EQ(Copy.ErrorWidth(), 100);
}

TEST(ErrorSeriesSettingsText, AnErrorSeriesWritesNoWhiskerFields)
{
    // The whisker fields belong to the error-bar series only.
    TErrorSeries Source;
    Source.SetErrorWidth(40);
    const QStringList Fields = SettingsFields(Source);
    ASSERT_EQ(Fields.size(), 44);
    EXPECT_EQ(Fields[41], "Error");
    EXPECT_EQ(Fields[42], "0");
    EXPECT_EQ(Fields[43], QString::number(Source.Marks()->DrawEvery()));
}

TEST(ErrorSeriesSettingsText, HighLowRoundTripsItsFields)
{
    THighLowSeries Source;
    Source.HighBrush()->SetStyle(TBrush::bsCross);
    Source.HighPen()->SetColor(0x0000FF);
    Source.LowBrush()->SetColor(0x00FF00);
    Source.LowPen()->SetWidth(3);
    Source.SetTransparency(35);
    Source.Marks()->SetDrawEvery(3);
    const QString Text = SeriesSettingsToText(&Source);
    const QStringList Fields = Text.split(QLatin1Char('~'));
    ASSERT_EQ(Fields.size(), 49);
    EXPECT_EQ(Fields[41], "High-Low");
    EXPECT_EQ(Fields[46], "35");
    EXPECT_EQ(Fields[47], "0");
    EXPECT_EQ(Fields[48], "3");

    THighLowSeries Copy;
    ASSERT_TRUE(SeriesSettingsFromText(&Copy, Text));
    EXPECT_EQ(Copy.HighBrush()->Style(), TBrush::bsCross);
    EXPECT_EQ(Copy.HighPen()->Color(), 0x0000FF);
    EXPECT_EQ(Copy.LowBrush()->Color(), 0x00FF00);
    EXPECT_EQ(Copy.LowPen()->Width(), 3);
    EXPECT_EQ(Copy.Transparency(), 35);
    EXPECT_EQ(Copy.Marks()->DrawEvery(), 3);
    EXPECT_EQ(SeriesSettingsToText(&Copy), Text);
}

TEST(ErrorSeriesSettingsText, AMalformedHighLowTextChangesNothing)
{
    THighLowSeries Source;
    QStringList Fields = SettingsFields(Source);
    THighLowSeries Target;
    Target.SetTransparency(20);
    const QString Before = SeriesSettingsToText(&Target);
    Fields[46] = "101"; // transparency out of range
    EXPECT_ANY_THROW(SeriesSettingsFromText(&Target, Fields.join(QLatin1Char('~'))));
    Fields[46] = "5";
    Fields[43] = "garbage"; // a pen text of one field
    EXPECT_ANY_THROW(SeriesSettingsFromText(&Target, Fields.join(QLatin1Char('~'))));
    // Cut inside the class fields.
    EXPECT_ANY_THROW(SeriesSettingsFromText(&Target, Fields.mid(0, 44).join(QLatin1Char('~'))));
    EXPECT_EQ(SeriesSettingsToText(&Target), Before);
}

} // namespace
} // namespace lp
