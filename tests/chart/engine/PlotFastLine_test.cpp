// The fast line series: geometry of the polyline, stairs, nulls, pixel-column
// reduction, fills split at the origin crossing, clicks, margins, incremental
// drawing and a whole chart against a reference picture.

#include "chart/engine/PlotFastLine.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/support/ReferenceImage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace lp {
namespace {

using test::TTestChart;

// A 100 x 100 chart whose axes run 0 .. 10 both ways: X pixel = 10 x,
// Y pixel = 100 - 10 y; drawing goes to a recording device.
struct FastLineFixture {
    TTestChart Chart;
    TFastLineSeries* Series;
    TRecordingDC DC{200, 200};
    TCanvas Target{&DC};

    FastLineFixture()
    {
        Chart.SetBounds(0, 0, 100, 100);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Series = new TFastLineSeries(&Chart);
        Chart.AddSeries(Series);
        Series->SetSeriesColor(clRed);
        Chart.BottomAxis()->SetMinMax(0, 10);
        Chart.LeftAxis()->SetMinMax(0, 10);
        test::PlaceAxes(Chart, TRect{0, 0, 100, 100});
        Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, false, Chart.GetRectangle());
    }
    void Add(std::initializer_list<std::pair<double, double>> Points)
    {
        for (const auto& [X, Y] : Points)
            Series->AddXY(X, Y);
    }
    QStringList Draw()
    {
        DC.ClearCalls();
        Series->CalcFirstLastVisibleIndex();
        Series->DrawAllValues();
        return DC.Calls();
    }
    QStringList Polylines()
    {
        Draw();
        return DC.CallsStartingWith("Polyline");
    }
    QStringList Polygons() { return DC.CallsStartingWith("Polygon"); }
};

TEST(FastLine, DrawsItsLineWithTheDefaults)
{
    // Regression: with its settings after creation the series drew neither
    // line nor fill, so a new fast line showed nothing.
    FastLineFixture F;
    EXPECT_TRUE(F.Series->DrawLine());
    EXPECT_EQ(F.Series->FillMode(), TFastLineSeries::fmNone);
    F.Add({{0, 0}, {5, 5}, {10, 2}});
    EXPECT_EQ(F.Polylines(), QStringList{"Polyline([0 100;50 50;100 80])"});
    EXPECT_TRUE(F.Polygons().isEmpty());
}

TEST(FastLine, ConstructorDefaults)
{
    TFastLineSeries S;
    EXPECT_TRUE(S.AutoRepaint());
    EXPECT_TRUE(S.DrawAllPoints());
    EXPECT_TRUE(S.IgnoreNulls());
    EXPECT_FALSE(S.Stairs());
    EXPECT_FALSE(S.InvertedStairs());
    EXPECT_FALSE(S.FunctionResultCentered());
    EXPECT_TRUE(S.KeepPointBeyondEdge());
    EXPECT_EQ(S.LinePen(), S.Pen());
    EXPECT_EQ(S.GetEditorClassName(), "TFastLineSeriesEditor");
}

struct GeometryRow {
    const char* Name;
    bool Stairs;
    bool Inverted;
    bool IgnoreNulls;
    bool NullInMiddle;
    QStringList Expected;
};

TEST(FastLine, PolylineGeometry)
{
    const std::vector<GeometryRow> Rows{
        {"plain", false, false, true, false, {"Polyline([0 100;20 60;40 80;60 20])"}},
        {"stairs", true, false, true, false, {"Polyline([0 100;20 100;20 60;40 60;40 80;60 80;60 20])"}},
        {"inverted stairs", true, true, true, false, {"Polyline([0 100;0 60;20 60;20 80;40 80;40 20;60 20])"}},
        {"null skipped", false, false, true, true, {"Polyline([0 100;20 60;60 20])"}},
        {"null breaks the line", false, false, false, true, {"Polyline([0 100;20 60])"}},
    };
    for (const GeometryRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        FastLineFixture F;
        F.Series->SetStairs(Row.Stairs);
        F.Series->SetInvertedStairs(Row.Inverted);
        F.Series->SetIgnoreNulls(Row.IgnoreNulls);
        F.Add({{0, 0}, {2, 4}});
        if (Row.NullInMiddle)
            F.Series->AddNullXY(4, 2);
        else
            F.Series->AddXY(4, 2);
        F.Add({{6, 8}});
        EXPECT_EQ(F.Polylines(), Row.Expected);
    }
}

TEST(FastLine, NullBreakMakesTwoRunsAndLoneEndsDrawNothing)
{
    FastLineFixture F;
    F.Series->SetIgnoreNulls(false);
    F.Add({{0, 0}, {1, 1}});
    F.Series->AddNullXY(2, 2);
    F.Add({{3, 3}, {4, 4}});
    F.Series->AddNullXY(5, 5);
    F.Add({{6, 6}});
    EXPECT_EQ(F.Polylines(), (QStringList{"Polyline([0 100;10 90])", "Polyline([30 70;40 60])"}));
}

TEST(FastLine, ScrolledChartJoinsThePointBeforeTheFirstVisible)
{
    FastLineFixture F;
    F.Add({{-2, 1}, {1, 2}, {3, 3}, {12, 4}, {14, 5}});
    F.Draw();
    EXPECT_EQ(F.Series->FirstVisibleIndex(), 1);
    const QStringList Lines = F.DC.CallsStartingWith("Polyline");
    ASSERT_EQ(Lines.size(), 1);
    // Starts at the point at X = -2 (pixel -20).
    EXPECT_TRUE(Lines[0].startsWith("Polyline([-20 90;10 80;30 70")) << Lines[0].toStdString();
}

TEST(FastLine, DrawAllPointsOffReducesEachPixelColumn)
{
    FastLineFixture F;
    F.Series->SetDrawAllPoints(false);
    // Five points in pixel column 10 (x = 1.00 .. 1.04), then one at 50.
    // The column's path leaves its entry (50) upwards to the top (10), sweeps
    // down to the bottom (90) and reaches its exit (60) downwards, from 40,
    // as the full line does: so it goes up to 10 once more.
    F.Add({{0, 0}, {1.00, 5}, {1.01, 9}, {1.02, 1}, {1.03, 6}, {1.04, 4}, {5, 5}});
    EXPECT_EQ(F.Polylines(), QStringList{"Polyline([0 100;10 50;10 10;10 90;10 10;10 60;50 50])"});
    // Drawing every point keeps all of them.
    F.Series->SetDrawAllPoints(true);
    const QStringList All = F.Polylines();
    ASSERT_EQ(All.size(), 1);
    EXPECT_EQ(All[0].count(';'), 6);
}

// A black fast line of Points on a flat, unbuffered 300 x 200 chart
// (Unsorted: X kept in the order given).
TFastLineSeries* AddBlackFastLine(TTestChart& Chart, const std::vector<std::pair<double, double>>& Points,
                                  bool Unsorted)
{
    Chart.SetBounds(0, 0, 300, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    auto* Series = new TFastLineSeries(&Chart);
    Chart.AddSeries(Series);
    Series->SetSeriesColor(clBlack);
    if (Unsorted)
        Series->XValues()->SetOrder(loNone);
    Series->BeginUpdate();
    for (const auto& [X, Y] : Points)
        Series->AddXY(X, Y);
    Series->EndUpdate();
    return Series;
}

// The pixels of a 300 x 200 chart drawing Points with DrawAllPoints as given
// (Unsorted: X kept in the order given; Clipped: to the chart rectangle).
QImage DrawnPixels(const std::vector<std::pair<double, double>>& Points, bool DrawAll, double XMin, double XMax,
                   double YMin, double YMax, bool InvertX, bool InvertY, bool Unsorted = false,
                   bool Clipped = false)
{
    TTestChart Chart;
    TFastLineSeries* Series = AddBlackFastLine(Chart, Points, Unsorted);
    Series->SetDrawAllPoints(DrawAll);
    Chart.BottomAxis()->SetMinMax(XMin, XMax);
    Chart.LeftAxis()->SetMinMax(YMin, YMax);
    Chart.BottomAxis()->SetInverted(InvertX);
    Chart.LeftAxis()->SetInverted(InvertY);
    test::PlaceAxes(Chart, TRect{10, 10, 290, 190});
    const std::unique_ptr<TBitmap> Target = test::BindCanvas(Chart);
    Target->Canvas().Brush().SetColor(clWhite);
    Target->Canvas().FillRect(TRect{0, 0, 300, 200});
    if (Clipped) // as a paint clips series to the chart rectangle
        Target->Canvas().Handle().IntersectClipRect(10, 10, 290, 190);
    Series->CalcFirstLastVisibleIndex();
    Series->DrawAllValues();
    return Target->Image().copy();
}

TEST(FastLine, ReducedColumnsDrawTheSamePixelsAsEveryPoint)
{
    // Random walks, noise and steps (a walk held at levels, so that columns
    // start and end on runs of equal pixels that may also be their lowest),
    // dense (hundreds of points a column) and sparse,
    // zoomed into part of the data and inverted: with DrawAllPoints off the
    // series reduces columns in value space, and must not change a pixel.
    std::mt19937 Random(3);
    std::normal_distribution<double> Step(0.0, 1.0);
    std::uniform_real_distribution<double> Noise(-50.0, 50.0);
    struct Range {
        double XMin, XMax, YMin, YMax;
    };
    const Range Ranges[] = {{0, 1, -60, 60}, {0.25, 0.5, -20, 20}, {-0.5, 1.5, -200, 200}, {0.3, 0.30002, -60, 60}};
    for (const int Count : {50, 3000, 100000}) {
        std::vector<std::pair<double, double>> Walk, Scatter, Levels;
        double Y = 0;
        for (int I = 0; I < Count; ++I) {
            Y += Step(Random);
            Walk.emplace_back(double(I) / Count, Y);
            Scatter.emplace_back(double(I) / Count, Noise(Random));
            Levels.emplace_back(double(I) / Count, 8 * std::round(Y / 8));
        }
        for (const auto* Points : {&Walk, &Scatter, &Levels})
            for (const Range& R : Ranges)
                for (const int Inversion : {0, 1, 2, 3}) {
                    SCOPED_TRACE(testing::Message() << Count << " points, X " << R.XMin << " .. " << R.XMax
                                                    << ", inversion " << Inversion);
                    const bool IX = Inversion & 1, IY = Inversion & 2;
                    for (const bool Clip : {false, true}) {
                        const QImage All =
                            DrawnPixels(*Points, true, R.XMin, R.XMax, R.YMin, R.YMax, IX, IY, false, Clip);
                        const QImage Reduced =
                            DrawnPixels(*Points, false, R.XMin, R.XMax, R.YMin, R.YMax, IX, IY, false, Clip);
                        EXPECT_TRUE(All == Reduced) << (Clip ? "clipped" : "whole device");
                    }
                }
    }
}

TEST(FastLine, ReducedColumnsFallBackForNullsAndUnsortedValues)
{
    // Data the value-space grouping cannot take (nulls, X not in order, NaN)
    // is reduced point by point: still the pixels of every point.
    std::vector<std::pair<double, double>> Points;
    for (int I = 0; I < 20000; ++I)
        Points.emplace_back(I < 10000 ? I / 20000.0 : std::fmod(I * 0.37, 1.0), std::sin(I * 0.01) * 40);
    EXPECT_TRUE(DrawnPixels(Points, true, 0, 1, -60, 60, false, false, true) ==
                DrawnPixels(Points, false, 0, 1, -60, 60, false, false, true));
    Points.resize(10000);
    Points[5000].second = std::nan("");
    EXPECT_TRUE(DrawnPixels(Points, true, 0, 0.5, -60, 60, true, false) ==
                DrawnPixels(Points, false, 0, 0.5, -60, 60, true, false));
    FastLineFixture F;
    F.Series->SetDrawAllPoints(false);
    F.Add({{0, 0}, {1.00, 5}, {1.01, 9}});
    F.Series->AddNullXY(1.02, 1);
    F.Add({{1.03, 6}, {1.04, 4}, {5, 5}});
    EXPECT_EQ(F.Polylines(), QStringList{"Polyline([0 100;10 50;10 10;10 40;10 60;50 50])"});
}

TEST(FastLine, ReducedColumnsFollowXValuesChangedBetweenPaints)
{
    // The X list keeps what it found of its order from one paint to the
    // next: a value set out of order, then set back, and points appended
    // must still give the pixels of every point.
    std::mt19937 Random(11);
    std::normal_distribution<double> Step(0.0, 1.0);
    double Y = 0;
    std::vector<std::pair<double, double>> Walk;
    for (int I = 0; I < 20000; ++I)
        Walk.emplace_back(I / 20000.0, Y += Step(Random));
    TTestChart Chart;
    TFastLineSeries* Series = AddBlackFastLine(Chart, Walk, true);
    Chart.BottomAxis()->SetMinMax(0, 1.2);
    Chart.LeftAxis()->SetMinMax(-200, 200);
    test::PlaceAxes(Chart, TRect{10, 10, 290, 190});
    const std::unique_ptr<TBitmap> Target = test::BindCanvas(Chart);
    const auto Paint = [&](bool DrawAll) {
        Series->SetDrawAllPoints(DrawAll);
        Target->Canvas().Brush().SetColor(clWhite);
        Target->Canvas().FillRect(TRect{0, 0, 300, 200});
        Series->CalcFirstLastVisibleIndex();
        Series->DrawAllValues();
        return Target->Image().copy();
    };
    EXPECT_TRUE(Paint(true) == Paint(false));
    Series->XValues()->SetValue(12000, 0.9); // out of order
    EXPECT_TRUE(Paint(true) == Paint(false)) << "out of order";
    Series->XValues()->SetValue(12000, 0.6);
    EXPECT_TRUE(Paint(true) == Paint(false)) << "back in order";
    for (int I = 0; I < 3000; ++I)
        Series->AddXY(1.0 + I / 20000.0, Y += Step(Random));
    EXPECT_TRUE(Paint(true) == Paint(false)) << "appended";
}

struct FillRow {
    const char* Name;
    bool ClearAbove;
    bool ClearBelow;
    QStringList ExpectedPolygons;
};

TEST(FastLine, HorizontalOriginFillSplitsAtTheCrossing)
{
    // Origin y = 5 (pixel 50). Segment (0, 8) -> (4, 0): pixels (0, 20) ->
    // (40, 100) crosses at x = 0 + 40 * (50 - 20) / 80 = 15.
    const std::vector<FillRow> Rows{
        {"both sides", false, false, {"Polygon([0 20;15 50;0 50])", "Polygon([15 50;40 100;40 50])"}},
        {"clear below", false, true, {"Polygon([0 20;15 50;0 50])"}},
        {"clear above", true, false, {"Polygon([15 50;40 100;40 50])"}},
    };
    for (const FillRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        FastLineFixture F;
        F.Series->SetFillMode(TFastLineSeries::fmHorizontalOrigin);
        F.Series->SetFillOrigin(5);
        F.Series->SetFillColorAbove(clGreen);
        F.Series->SetFillColorBelow(clBlue);
        F.Series->SetClearAbove(Row.ClearAbove);
        F.Series->SetClearBelow(Row.ClearBelow);
        F.Add({{0, 8}, {4, 0}});
        F.Draw();
        EXPECT_EQ(F.Polygons(), Row.ExpectedPolygons);
        EXPECT_EQ(F.Series->OriginPixel(), 50);
    }
}

TEST(FastLine, FillSidesTakeTheirOwnColours)
{
    FastLineFixture F;
    F.Series->SetFillMode(TFastLineSeries::fmHorizontalOrigin);
    F.Series->SetFillOrigin(5);
    F.Series->SetFillColorAbove(clGreen);
    F.Series->SetFillColorBelow(clBlue);
    F.Add({{0, 8}, {4, 0}});
    const QStringList Calls = F.Draw();
    // The brush selected before each polygon: green above, blue below.
    QStringList BrushBeforePolygon;
    QString LastBrush;
    for (const QString& C : Calls) {
        if (C.startsWith("SelectBrush"))
            LastBrush = C;
        if (C.startsWith("Polygon"))
            BrushBeforePolygon << LastBrush;
    }
    ASSERT_EQ(BrushBeforePolygon.size(), 2);
    EXPECT_TRUE(BrushBeforePolygon[0].contains("8000")) << BrushBeforePolygon[0].toStdString();
    EXPECT_TRUE(BrushBeforePolygon[1].contains("FF0000")) << BrushBeforePolygon[1].toStdString();
}

TEST(FastLine, SameSideSegmentsFillQuadrilaterals)
{
    struct Row {
        const char* Name;
        int Mode;
        std::pair<double, double> A, B;
        QStringList Expected;
    };
    const std::vector<Row> Rows{
        {"above horizontal origin", 1, {0, 8}, {4, 6}, {"Polygon([0 20;40 40;40 50;0 50])"}},
        {"vertical segment fills nothing (mode 1)", 1, {2, 8}, {2, 6}, {}},
        {"right of vertical origin", 2, {6, 2}, {8, 4}, {"Polygon([60 80;80 60;50 60;50 80])"}},
        {"vertical origin crossing", 2, {4, 2}, {8, 6}, {"Polygon([40 80;50 70;50 80])", "Polygon([50 70;80 40;50 40])"}},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Name);
        FastLineFixture F;
        F.Series->SetFillMode(R.Mode);
        F.Series->SetFillOrigin(5);
        F.Series->SetDrawLine(false);
        F.Series->AddXY(R.A.first, R.A.second);
        F.Series->AddXY(R.B.first, R.B.second);
        F.Draw();
        EXPECT_EQ(F.Polygons(), R.Expected);
        EXPECT_TRUE(F.DC.CallsStartingWith("Polyline").isEmpty());
    }
}

TEST(FastLine, FillModeOutsideTheThreeValuesIsRefused)
{
    TFastLineSeries S;
    S.SetFillMode(2);
    EXPECT_THROW(S.SetFillMode(3), ChartException);
    EXPECT_THROW(S.SetFillMode(-1), ChartException);
    EXPECT_EQ(S.FillMode(), 2);
}

TEST(FastLine, ClickedFindsPointsAndSegments)
{
    FastLineFixture F;
    F.Add({{0, 0}, {2, 4}, {4, 2}, {6, 8}});
    F.Series->CalcFirstLastVisibleIndex();
    struct Row {
        int X, Y, Expected;
    };
    const std::vector<Row> Rows{
        {20, 60, 1},  // exactly on point 1
        {10, 80, 0},  // middle of segment 0 -> 1
        {30, 70, 1},  // middle of segment 1 -> 2
        {50, 50, 2},  // on segment 2 -> 3
        {90, 10, -1}, // beyond the last point
        {10, 20, -1}, // far from the line
    };
    for (const Row& R : Rows)
        EXPECT_EQ(F.Series->Clicked(R.X, R.Y), R.Expected) << R.X << "," << R.Y;
}

TEST(FastLine, ClickedFollowsStairsAndNeedsAVisibleRange)
{
    FastLineFixture F;
    EXPECT_EQ(F.Series->Clicked(0, 0), -1);
    F.Add({{0, 0}, {4, 4}});
    F.Series->SetStairs(true);
    F.Series->CalcFirstLastVisibleIndex();
    EXPECT_EQ(F.Series->Clicked(20, 100), 0); // on the horizontal step
    EXPECT_EQ(F.Series->Clicked(40, 80), 0);  // on the riser
    EXPECT_EQ(F.Series->Clicked(20, 80), -1); // where the straight line would be
}

TEST(FastLine, MarginsFollowThePenWidth)
{
    struct Row {
        int Width, Extra;
    };
    for (const Row& R : std::vector<Row>{{1, 1}, {2, 2}, {3, 3}, {4, 3}, {6, 4}}) {
        TFastLineSeries S;
        S.LinePen()->SetWidth(R.Width);
        int L = 0, Ri = 0, T = 0, B = 0;
        S.CalcHorizMargins(L, Ri);
        S.CalcVertMargins(T, B);
        EXPECT_EQ(L, R.Extra) << R.Width;
        EXPECT_EQ(Ri, R.Extra) << R.Width;
        EXPECT_EQ(T, R.Extra) << R.Width;
        EXPECT_EQ(B, R.Extra) << R.Width;
    }
}

TEST(FastLine, SeriesColourAndPenColourFollowEachOther)
{
    TFastLineSeries S;
    S.SetSeriesColor(clBlue);
    EXPECT_EQ(S.LinePen()->Color(), clBlue);
    S.LinePen()->SetColor(clGreen);
    EXPECT_EQ(S.SeriesColor(), clGreen);
    // A width change keeps an automatic colour automatic.
    TFastLineSeries Auto;
    Auto.LinePen()->SetWidth(3);
    EXPECT_EQ(Auto.SeriesColor(), clPlotColor);
}

TEST(FastLine, AssignCopiesTheSwitchesAndFill)
{
    TFastLineSeries A;
    A.SetAutoRepaint(false);
    A.SetDrawAllPoints(false);
    A.SetIgnoreNulls(false);
    A.SetStairs(true);
    A.SetInvertedStairs(true);
    A.SetDrawLine(false);
    A.SetFillMode(1);
    A.SetFillOrigin(2.5);
    A.SetClearBelow(true);
    A.AddXY(1, 2);
    TFastLineSeries B;
    B.Assign(&A);
    EXPECT_FALSE(B.AutoRepaint());
    EXPECT_FALSE(B.DrawAllPoints());
    EXPECT_FALSE(B.IgnoreNulls());
    EXPECT_TRUE(B.Stairs());
    EXPECT_TRUE(B.InvertedStairs());
    EXPECT_FALSE(B.DrawLine());
    EXPECT_EQ(B.FillMode(), 1);
    EXPECT_EQ(B.FillOrigin(), 2.5);
    EXPECT_TRUE(B.ClearBelow());
    EXPECT_EQ(B.Count(), 1);
}

TEST(FastLine, SubGalleryStyles)
{
    TFastLineSeries S;
    QStringList Captions;
    S.CreateSubGallery([&](const QString& C) { Captions << C; });
    EXPECT_EQ(Captions, (QStringList{PlotMsg_Normal, PlotMsg_StyleMarks, PlotMsg_StyleDotted, PlotMsg_StyleStairs}));
    S.SetSubGallery(1);
    EXPECT_TRUE(S.Marks()->Visible());
    S.SetSubGallery(2);
    EXPECT_TRUE(S.LinePen()->SmallDots());
    S.SetSubGallery(3);
    EXPECT_TRUE(S.Stairs());
}

TEST(FastLine, IncrementalDrawingDrawsEachAddedPoint)
{
    FastLineFixture F;
    F.Series->SetAutoRepaint(false);
    int AfterAdd = 0;
    F.Series->OnAfterAdd = [&](TChartSeries*, int) { ++AfterAdd; };
    F.Add({{0, 0}});
    F.DC.ClearCalls();
    F.Add({{2, 4}});
    EXPECT_EQ(F.DC.CallsStartingWith("MoveTo"), QStringList{"MoveTo(0,100)"});
    EXPECT_EQ(F.DC.CallsStartingWith("LineTo"), QStringList{"LineTo(20,60)"});
    F.DC.ClearCalls();
    F.Add({{4, 2}});
    EXPECT_EQ(F.DC.CallsStartingWith("LineTo"), QStringList{"LineTo(40,80)"});
    EXPECT_EQ(AfterAdd, 3);
}

TEST(FastLine, IncrementalDrawingWithoutABoundCanvasDrawsNothing)
{
    // An unbound chart canvas would raise on the first drawing call.
    TTestChart Chart;
    auto* S = new TFastLineSeries(&Chart);
    Chart.AddSeries(S);
    S->SetAutoRepaint(false);
    EXPECT_NO_THROW(S->AddXY(1, 1));
    EXPECT_NO_THROW(S->AddXY(2, 2));
    EXPECT_EQ(S->Count(), 2);
    TFastLineSeries Alone;
    Alone.SetAutoRepaint(false);
    EXPECT_NO_THROW(Alone.AddXY(1, 1));
}

TEST(FastLine, DrawValueChecksItsIndex)
{
    FastLineFixture F;
    F.Add({{0, 0}});
    EXPECT_THROW(F.Series->DrawValue(1), ERangeError);
    EXPECT_THROW(F.Series->DrawValue(-1), ERangeError);
}

TEST(FastLine, LegendShapeIsAHorizontalLineAtTheMiddle)
{
    FastLineFixture F;
    F.DC.ClearCalls();
    F.Series->DrawLegendShape(-1, TRect{10, 20, 30, 30});
    const QStringList Calls = F.DC.Calls();
    EXPECT_TRUE(Calls.contains("MoveTo(10,25)") || Calls.join(' ').contains("10 25")) << Calls.join(' ').toStdString();
    EXPECT_TRUE(F.DC.CallsStartingWith("Polygon").isEmpty());
}

TEST(FastLinePicture, FilledFastLineMatchesTheReference)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    Chart.Title()->Text()->Add("Fast line");
    auto* Filled = new TFastLineSeries(&Chart);
    Chart.AddSeries(Filled);
    Filled->SetSeriesColor(clNavy);
    Filled->SetFillMode(TFastLineSeries::fmHorizontalOrigin);
    Filled->SetFillOrigin(0);
    Filled->SetFillColorAbove(TColor(0x80C080));
    Filled->SetFillColorBelow(TColor(0x8080E0));
    auto* Steps = new TFastLineSeries(&Chart);
    Chart.AddSeries(Steps);
    Steps->SetSeriesColor(clRed);
    Steps->SetStairs(true);
    for (int I = 0; I <= 40; ++I) {
        const double X = I * 0.25;
        Filled->AddXY(X, 5 * std::sin(X) + (I % 7 == 3 ? 1.5 : 0));
        if (I % 4 == 0)
            Steps->AddXY(X, 3 * std::cos(X / 2));
    }
    std::unique_ptr<TBitmap> Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "fastline", "filled-and-stairs"));
}

} // namespace
} // namespace lp
