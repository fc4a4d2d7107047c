// Line, point and area series: stacking, origins, null points, stairs,
// clicks, the far origin of section areas and reference pictures.

#include "chart/engine/PlotSeries.h"

#include "EngineTestUtil.h"
#include "ReferenceImage.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "platform/graphics/RecordingDC.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TTestChart;

// A chart over (0, 0)-(400, 200) with both axes fixed to 0 .. 100, so a
// value V lies at X = 4 V and Y = 200 - 2 V; drawn onto a recording device.
struct TSeriesChart {
    TRecordingDC DC{500, 300};
    TCanvas Target{&DC};
    TTestChart Chart;

    explicit TSeriesChart(bool Is3D = false)
    {
        const TRect Rect{0, 0, 400, 200};
        Chart.SetBounds(0, 0, 500, 300);
        Chart.SetView3D(Is3D);
        Chart.SetBufferedDisplay(false);
        Chart.SetChartRectangle(Rect);
        Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, Is3D, Chart.GetRectangle());
        Chart.Canvas().ResetState();
        Chart.Canvas().SetProjection(0, Rect);
        for (TChartAxis* Axis : Chart.AxesList())
            Axis->SetMinMax(0, 100);
        test::PlaceAxes(Chart, Rect);
    }
    template <class T> T* Add(std::initializer_list<std::pair<double, double>> Points)
    {
        auto* S = new T(&Chart);
        S->SetSeriesColor(clRed);
        Chart.AddSeries(S);
        for (auto [X, Y] : Points)
            S->AddXY(X, Y);
        return S;
    }
    void Draw(TChartSeries& S)
    {
        S.CalcFirstLastVisibleIndex();
        DC.ClearCalls();
        S.DrawAllValues();
    }
    bool HasLine(int X0, int Y0, int X1, int Y1) const
    {
        const QStringList& Calls = DC.Calls();
        const QString From = QStringLiteral("MoveTo(%1,%2)").arg(X0).arg(Y0);
        const QString To = QStringLiteral("LineTo(%1,%2)").arg(X1).arg(Y1);
        for (int I = 0; I + 1 < Calls.size(); ++I)
            if (Calls[I] == From && Calls[I + 1] == To)
                return true;
        return false;
    }
    bool Mentions(int X, int Y) const
    {
        const QString A = QStringLiteral("%1,%2)").arg(X).arg(Y);
        const QString B = QStringLiteral("%1 %2").arg(X).arg(Y);
        for (const QString& Call : DC.Calls())
            if (Call.endsWith(A) || Call.contains(B))
                return true;
        return false;
    }
};

TEST(SeriesPatterns, CycleThroughTheSixHatches)
{
    const struct {
        int Index;
        TBrush::TBrushStyle Style;
    } Rows[] = {{0, TBrush::bsHorizontal}, {6, TBrush::bsHorizontal}, {12, TBrush::bsHorizontal},
                {5, TBrush::bsDiagCross}, {1, TBrush::bsVertical}};
    for (const auto& Row : Rows)
        EXPECT_EQ(BrushPatternOfIndex(Row.Index), Row.Style) << Row.Index;
    EXPECT_THROW(BrushPatternOfIndex(-1), ERangeError);
}

TEST(SeriesDefaults, PerClass)
{
    TLineSeries Line;
    TPointSeries Points;
    TAreaSeries Area;
    THorizLineSeries HLine;
    THorizAreaSeries HArea;
    EXPECT_TRUE(Line.LineDrawn());
    EXPECT_FALSE(Line.Pointer()->Visible());
    EXPECT_TRUE(Points.Pointer()->Visible());
    EXPECT_FALSE(Points.ClickableLine());
    EXPECT_EQ(Points.Marks()->Callout()->Length(), 0);
    EXPECT_TRUE(Area.DrawArea());
    EXPECT_EQ(Area.AreaColor(), clPlotColor);
    EXPECT_FALSE(HLine.MandatoryIsY());
    EXPECT_FALSE(HArea.MandatoryIsY());
    EXPECT_EQ(HArea.NumSampleValues(), 10);
    EXPECT_EQ(Area.GetEditorClassName(), "TAreaSeriesEditor");
    EXPECT_EQ(Points.GetEditorClassName(), "TSeriesPointerEditor");
    Points.SetTransparency(40);
    EXPECT_EQ(Points.Pointer()->Transparency(), 40);
    EXPECT_THROW(Area.SetTransparency(101), ERangeError);
}

TEST(SeriesStacking, SumsForEachMode)
{
    const struct {
        TCustomSeriesStack Mode;
        int Y2; // pixel of the third series' point 0
        double MaxY;
    } Rows[] = {
        {cssNone, 200 - 2 * 30, 30},
        {cssOverlap, 200 - 2 * 30, 30},
        {cssStack, 200 - 2 * 60, 60},   // 10 + 20 + 30
        {cssStack100, 0, 100},          // 60 of 60 = 100 %
    };
    for (const auto& Row : Rows) {
        TSeriesChart C;
        auto* A = C.Add<TLineSeries>({{0, 10}, {50, 0}});
        auto* B = C.Add<TLineSeries>({{0, 20}, {50, 0}});
        auto* S = C.Add<TLineSeries>({{0, 30}, {50, 0}});
        A->SetStacked(Row.Mode);
        EXPECT_EQ(B->Stacked(), Row.Mode);
        EXPECT_EQ(S->CalcYPos(0), Row.Y2) << int(Row.Mode);
        EXPECT_DOUBLE_EQ(S->MaxYValue(), Row.MaxY) << int(Row.Mode);
        if (Row.Mode == cssStack100) {
            // All values 0 at index 1: the axis' end position.
            EXPECT_EQ(S->CalcYPos(1), 200);
            EXPECT_EQ(B->CalcYPos(0), 200 - 2 * 50); // 30 of 60
        }
        if (Row.Mode == cssStack) {
            EXPECT_EQ(S->GetOriginPos(0), 200 - 2 * 30); // top of the stack below
        }
    }
}

TEST(SeriesStacking, NegativeValuesStackApart)
{
    TSeriesChart C;
    for (TChartAxis* Axis : C.Chart.AxesList())
        Axis->SetMinMax(-100, 100);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    auto* A = C.Add<TLineSeries>({{0, -10}});
    auto* B = C.Add<TLineSeries>({{0, 20}});
    auto* S = C.Add<TLineSeries>({{0, -30}});
    A->SetStacked(cssStack);
    EXPECT_DOUBLE_EQ(S->StackBase(0, false), -10);
    EXPECT_DOUBLE_EQ(B->StackBase(0, false), 0);
    EXPECT_EQ(S->CalcYPos(0), C.Chart.LeftAxis()->CalcPosValue(-40));
}

TEST(SeriesStacking, SharedByClassOnly)
{
    TSeriesChart C;
    auto* Line = C.Add<TLineSeries>({});
    auto* HLine = C.Add<THorizLineSeries>({});
    auto* Area = C.Add<TAreaSeries>({});
    Line->SetStacked(cssStack);
    EXPECT_EQ(HLine->Stacked(), cssStack);
    EXPECT_EQ(Area->Stacked(), cssNone);
    Area->SetMultiArea(maStacked100);
    EXPECT_EQ(Area->Stacked(), cssStack100);
    EXPECT_EQ(Area->MultiArea(), maStacked100);
}

TEST(SeriesOrigin, AxisEndOrYOrigin)
{
    TSeriesChart C;
    auto* Area = C.Add<TAreaSeries>({{0, 10}});
    EXPECT_EQ(Area->GetOriginPos(0), 200);
    C.Chart.LeftAxis()->SetInverted(true);
    EXPECT_EQ(Area->GetOriginPos(0), 0);
    C.Chart.LeftAxis()->SetInverted(false);
    Area->SetUseYOrigin(true);
    Area->SetYOrigin(50);
    EXPECT_EQ(Area->GetOriginPos(0), 100);
}

// Guards the section's depth axis collapsing to about -1e30 when "Auto" was
// ticked: the surface's fill origin entered the automatic range.
TEST(SeriesArea, TheFillOriginStaysOutOfTheAutomaticRange)
{
    const double Origins[] = {-1e30, 1e30, 0.0, 150.0};
    for (const double Origin : Origins) {
        TSeriesChart C;
        auto* Area = C.Add<TAreaSeries>({{20, 10}, {60, 50}});
        auto* Across = C.Add<THorizAreaSeries>({});
        Across->AddXY(30, 5);
        Across->AddXY(70, 40);
        for (TAreaSeries* S : {Area, static_cast<TAreaSeries*>(Across)}) {
            S->SetUseYOrigin(true);
            S->SetYOrigin(Origin);
        }
        TChartAxis& Left = *C.Chart.LeftAxis();
        TChartAxis& Bottom = *C.Chart.BottomAxis();
        for (TChartAxis* Axis : {&Left, &Bottom}) {
            Axis->SetAutomatic(true);
            Axis->AdjustMaxMin();
        }
        EXPECT_DOUBLE_EQ(Left.Minimum(), 5) << Origin;
        EXPECT_DOUBLE_EQ(Left.Maximum(), 50) << Origin;
        EXPECT_DOUBLE_EQ(Bottom.Minimum(), 20) << Origin;
        EXPECT_DOUBLE_EQ(Bottom.Maximum(), 70) << Origin;
    }
}

TEST(SeriesDraw, NullPointDrawsNothing)
{
    TSeriesChart C;
    auto* S = C.Add<TLineSeries>({{0, 50}, {25, 50}});
    S->AddNullXY(50, 80);
    S->AddXY(75, 50);
    S->AddXY(100, 50);
    S->Pointer()->SetVisible(true);
    C.Draw(*S);
    EXPECT_TRUE(C.HasLine(0, 100, 100, 100));
    EXPECT_TRUE(C.HasLine(300, 100, 400, 100));
    // Nothing at the null point (200, 40): no line into or out of it, no
    // pointer around it.
    EXPECT_FALSE(C.Mentions(200, 40));
    for (const QString& Call : C.DC.Calls())
        EXPECT_FALSE(Call.contains("196,36") || Call.contains("196 36")) << Call.toStdString();
    EXPECT_FALSE(C.HasLine(100, 100, 300, 100));
    EXPECT_EQ(S->Clicked(150, 70), -1); // where the segment into it would run
}

TEST(SeriesDraw, StairsAndInvertedStairs)
{
    const struct {
        bool Inverted;
        int CornerX, CornerY;
    } Rows[] = {{false, 100, 180}, {true, 0, 100}};
    for (const auto& Row : Rows) {
        TSeriesChart C;
        auto* S = C.Add<TLineSeries>({{0, 10}, {25, 50}});
        S->SetStairs(true);
        S->SetInvertedStairs(Row.Inverted);
        C.Draw(*S);
        const QStringList Lines = C.DC.CallsStartingWith("LineTo(");
        ASSERT_GE(Lines.size(), 2);
        EXPECT_EQ(Lines[0], QStringLiteral("LineTo(%1,%2)").arg(Row.CornerX).arg(Row.CornerY));
        EXPECT_EQ(Lines[1], "LineTo(100,100)");
        // The click follows the stair, not the diagonal.
        EXPECT_NE(S->Clicked(Row.Inverted ? 0 : 50, Row.Inverted ? 140 : 180), -1);
        EXPECT_EQ(S->Clicked(50, 140), -1); // the diagonal is not drawn
    }
}

// The outline pass draws first with a pen 2 x 1 + 1 + 1 = 4 pixels wide in
// the outline colour, then the line in its own pen and colour.
TEST(SeriesDraw, OutlinePassWidensThePen)
{
    TSeriesChart C;
    auto* S = C.Add<TLineSeries>({{0, 10}, {25, 50}});
    S->OutLine()->SetColor(clBlue);
    S->OutLine()->SetVisible(true);
    C.Draw(*S);
    const QStringList Pens = C.DC.CallsStartingWith("SelectPen(");
    const int Wide = Pens.indexOf(QRegularExpression("SelectPen\\(\\d+,4,0xFF0000.*"));
    const int Normal = Pens.lastIndexOf(QRegularExpression("SelectPen\\(\\d+,1,0x0000FF.*"));
    EXPECT_GE(Wide, 0) << Pens.join(' ').toStdString();
    EXPECT_GT(Normal, Wide);
    EXPECT_EQ(C.DC.CallsStartingWith("LineTo(100,100)").size(), 2);
    EXPECT_EQ(S->LinePen()->Width(), 1);
    EXPECT_EQ(S->SeriesColor(), clRed);
}

TEST(SeriesDraw, LineEntersAtTheChartEdge)
{
    TSeriesChart C;
    for (TChartAxis* Axis : C.Chart.AxesList())
        if (Axis->Horizontal())
            Axis->SetMinMax(50, 100);
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    // From (0, 0) to (100, 100): at X = 50 the line is at 50.
    auto* S = C.Add<TLineSeries>({{0, 0}, {100, 100}});
    C.Draw(*S);
    EXPECT_TRUE(C.HasLine(0, 100, 400, 0));
}

TEST(SeriesClick, PointsLinesAndBands)
{
    TSeriesChart C;
    auto* Line = C.Add<TLineSeries>({{0, 50}, {50, 50}});
    Line->CalcFirstLastVisibleIndex();
    auto* Area = C.Add<TAreaSeries>({{50, 20}, {100, 20}});
    Area->CalcFirstLastVisibleIndex();
    auto* Points = C.Add<TPointSeries>({{25, 90}});
    Points->CalcFirstLastVisibleIndex();
    int Fired = -1;
    Points->OnClickPointer = [&](TCustomSeries*, int I, int, int) { Fired = I; };
    const struct {
        TCustomSeries* S;
        int X, Y, Expected;
    } Rows[] = {
        {Line, 200, 100, 1},   // exactly on a point, pointer hidden
        {Line, 150, 100, 1},   // on the line, nearer the second end
        {Line, 40, 100, 0},    // on the line, nearer the first end
        {Line, 100, 150, -1},  // off the line
        {Area, 300, 180, 0},   // inside the band: its earlier point
        {Points, 103, 20, 0},  // within the pointer
        {Points, 104, 20, -1}, // exactly HorizSize to the side misses
    };
    for (const auto& Row : Rows)
        EXPECT_EQ(Row.S->Clicked(Row.X, Row.Y), Row.Expected) << Row.X << "," << Row.Y;
    EXPECT_EQ(Fired, 0);
}

// Horizontal series: values along X, their band reaches left to the
// horizontal axis' start, stacking runs along X.
TEST(SeriesHorizontal, BandsClicksAndStacking)
{
    TSeriesChart C;
    auto* Area = C.Add<THorizAreaSeries>({});
    Area->AddXY(50, 0);
    Area->AddXY(50, 50);
    Area->CalcFirstLastVisibleIndex();
    EXPECT_EQ(Area->GetOriginPos(0), 0);
    EXPECT_EQ(Area->Clicked(100, 150), 0); // inside the band
    EXPECT_EQ(Area->Clicked(300, 150), -1);
    C.Draw(*Area);
    EXPECT_TRUE(C.DC.Calls().contains("Polygon([0 200;200 200;200 100;0 100])"))
        << C.DC.Calls().join(' ').toStdString();
    auto* A = C.Add<THorizLineSeries>({});
    A->AddXY(10, 0);
    auto* B = C.Add<THorizLineSeries>({});
    B->AddXY(20, 0);
    A->SetStacked(cssStack);
    EXPECT_EQ(B->CalcXPos(0), 4 * 30);
    EXPECT_DOUBLE_EQ(B->MaxXValue(), 30);
    B->CalcFirstLastVisibleIndex();
    EXPECT_EQ(B->Clicked(120, 200), 0);
}

TEST(SeriesDraw3D, RibbonsAndClicks)
{
    TSeriesChart C(true);
    C.Chart.SetSeriesSizes3D(10, 10);
    auto* S = C.Add<TLineSeries>({{0, 50}, {50, 50}});
    S->SetDepthPositions(0, 5, 10);
    C.Draw(*S);
    EXPECT_FALSE(C.DC.CallsStartingWith("Polygon(").isEmpty());
    EXPECT_EQ(S->Clicked(60, 95), 0); // inside the ribbon
    EXPECT_EQ(S->Clicked(100, 150), -1);
    auto* A = C.Add<TAreaSeries>({{0, 20}, {50, 40}});
    A->SetStairs(true);
    C.Draw(*A);
    EXPECT_FALSE(C.DC.CallsStartingWith("Polygon(").isEmpty());
}

// The 3-D ribbon ignored a picture in the element brush.
TEST(SeriesDraw3D, RibbonFillsWithTheBrushImage)
{
    TSeriesChart C(true);
    C.Chart.SetSeriesSizes3D(10, 10);
    auto* S = C.Add<TLineSeries>({{0, 50}, {50, 60}});
    S->SetDepthPositions(0, 5, 10);
    TBitmap Tile(4, 4);
    Tile.Canvas().Brush().SetColor(clLime);
    Tile.Canvas().FillRect(TRect{0, 0, 4, 4});
    S->Brush()->Image()->SetGraphic(&Tile);
    ASSERT_TRUE(S->Brush()->HasImage());
    C.Draw(*S);
    const QStringList& Calls = C.DC.Calls();
    const int Ribbon = static_cast<int>(Calls.indexOf(QRegularExpression("^Polygon\\(.*")));
    ASSERT_GE(Ribbon, 0);
    QString Brush;
    for (int I = Ribbon - 1; I >= 0 && Brush.isEmpty(); --I)
        if (Calls[I].startsWith("SelectBrush("))
            Brush = Calls[I];
    EXPECT_TRUE(Brush.startsWith("SelectBrush(pattern")) << Brush.toStdString();
    // Without the picture the ribbon is solid again.
    S->Brush()->SetImage(nullptr);
    C.Draw(*S);
    EXPECT_TRUE(C.DC.CallsStartingWith("SelectBrush(pattern").isEmpty());
}

// Setting the value a series already had returned early: series of the
// class that had left it since never took it over, and nothing repainted.
// A series joining the chart takes the setting of its class.
TEST(SeriesStacking, SettingTheSameValueReachesNewSeriesAndRepaints)
{
    test::TCountingChart<> Chart;
    auto* First = new TLineSeries(&Chart);
    Chart.AddSeries(First);
    First->SetStacked(cssStack);
    auto* Later = new TLineSeries(&Chart);
    Chart.AddSeries(Later);
    auto* Area = new TAreaSeries(&Chart);
    Chart.AddSeries(Area);
    EXPECT_EQ(Later->Stacked(), cssStack);
    EXPECT_EQ(Area->Stacked(), cssNone);
    auto* Horizontal = new THorizLineSeries(&Chart);
    Chart.AddSeries(Horizontal);
    EXPECT_EQ(Horizontal->Stacked(), cssStack) << "a line series too";
    Later->SetParentChart(nullptr);
    Later->SetStacked(cssNone);
    Later->SetParentChart(&Chart);
    EXPECT_EQ(Later->Stacked(), cssStack);
    const int Before = Chart.Invalidations;
    First->SetStacked(cssStack);
    EXPECT_EQ(Later->Stacked(), cssStack);
    EXPECT_EQ(Area->Stacked(), cssNone);
    EXPECT_GT(Chart.Invalidations, Before);
}

// The section chart's area reaches down to YOrigin -1e30: the fill stays a
// finite band under the line.
TEST(SeriesArea, FarOriginFillsToTheChartBottom)
{
    TSeriesChart C;
    C.Chart.SetBounds(0, 0, 400, 200);
    auto Bitmap = test::BindCanvas(C.Chart);
    C.Chart.Canvas().SetProjection(0, TRect{0, 0, 400, 200});
    test::PlaceAxes(C.Chart, TRect{0, 0, 400, 200});
    auto* Area = C.Add<TAreaSeries>({{0, 50}, {100, 50}});
    Area->SetUseYOrigin(true);
    Area->SetYOrigin(-1e30);
    Area->AreaLinesPen()->SetVisible(false);
    Area->CalcFirstLastVisibleIndex();
    Area->DrawAllValues();
    EXPECT_EQ(Bitmap->Canvas().Pixel(200, 150), clRed);
    EXPECT_EQ(Bitmap->Canvas().Pixel(200, 195), clRed);
    EXPECT_NE(Bitmap->Canvas().Pixel(200, 50), clRed);
}

TEST(SeriesGallery, Captions)
{
    const struct {
        std::unique_ptr<TChartSeries> S;
        int Count;
    } Rows[] = {{std::make_unique<TLineSeries>(), 9}, {std::make_unique<TPointSeries>(), 13},
                {std::make_unique<TAreaSeries>(), 10}};
    for (const auto& Row : Rows) {
        QStringList Captions;
        Row.S->CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
        EXPECT_EQ(Captions.size(), Row.Count);
    }
    TLineSeries Line;
    Line.SetSubGallery(1);
    EXPECT_TRUE(Line.Stairs());
    Line.SetSubGallery(8);
    EXPECT_TRUE(Line.OutLine()->Visible());
    TAreaSeries Area;
    Area.SetSubGallery(6);
    EXPECT_EQ(Area.MultiArea(), maStacked);
    TPointSeries Points;
    Points.SetSubGallery(9);
    EXPECT_EQ(Points.Pointer()->Style(), psCircle);
    EXPECT_EQ(Points.Pointer()->HorizSize(), 8);
}

// --- Pictures -----------------------------------------------------------------------------------

template <class T> std::unique_ptr<TBitmap> Picture(const std::function<void(TChart&)>& Fill)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 320, 200);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    Fill(Chart);
    return Chart.CreateBitmap(clWhite, Chart.GetRectangle());
}

TEST(SeriesPicture, LineAreaAndPointCharts)
{
    auto LinePic = Picture<TLineSeries>([](TChart& Chart) {
        auto* S = new TLineSeries(&Chart);
        S->SetSeriesColor(clBlue);
        S->Pointer()->SetVisible(true);
        Chart.AddSeries(S);
        const double Y[] = {10, 40, 25, 60, 45, 80};
        for (int I = 0; I < 6; ++I)
            S->AddXY(I, Y[I]);
    });
    EXPECT_TRUE(test::MatchesReference(LinePic->ToImage(), "series", "line-chart"));
    auto AreaPic = Picture<TAreaSeries>([](TChart& Chart) {
        for (int K = 0; K < 2; ++K) {
            auto* S = new TAreaSeries(&Chart);
            S->SetSeriesColor(K == 0 ? clGreen : clRed);
            S->SetMultiArea(maStacked);
            Chart.AddSeries(S);
            for (int I = 0; I < 6; ++I)
                S->AddXY(I, 10 + 5 * ((I + K) % 3));
        }
    });
    EXPECT_TRUE(test::MatchesReference(AreaPic->ToImage(), "series", "area-chart"));
    auto PointPic = Picture<TPointSeries>([](TChart& Chart) {
        auto* S = new TPointSeries(&Chart);
        S->SetSeriesColor(clRed);
        S->Pointer()->SetStyle(psCircle);
        Chart.AddSeries(S);
        const double Y[] = {5, 30, 15, 45, 20};
        for (int I = 0; I < 5; ++I)
            S->AddXY(I * 10, Y[I]);
    });
    EXPECT_TRUE(test::MatchesReference(PointPic->ToImage(), "series", "point-chart"));
}

} // namespace
} // namespace lp
