// The surface series: cell order and colour corners, the centre-out front
// view, smoothed palette colours, hidden cells, frames, waterfall strips,
// side walls, hit tests, copies, gallery styles and reference pictures.

#include "chart/extensions/grid3d/PlotSurfaceSeries.h"

#include "chart/canvas/PlotCanvas.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A flat chart: X 0 .. 4 at pixel 100 X, Y 0 .. 100 at pixel 200 - 2 Y.
struct TSurfaceChart : test::TFixedAxesChart {
    TSurfaceChart() : TFixedAxesChart(false, 4, 100)
    {
        Surface = new TSurfaceSeries(&Chart);
        Chart.AddSeries(Surface);
    }
    // NumX by NumZ nodes with Y = Value(X, Z).
    void Fill(int NumX, int NumZ, const std::function<double(int, int)>& Value)
    {
        Surface->OnGetYValue = [Value](TChartSeries*, int X, int Z) { return Value(X, Z); };
        Surface->CreateValues(NumX, NumZ);
    }
    // Paints the series once; the drawing calls it made.
    QStringList Paint()
    {
        Layout();
        DC.ClearCalls();
        Surface->DrawAllValues();
        return DC.Calls();
    }
    static QStringList Polygons(const QStringList& Calls) { return Calls.filter(QRegularExpression("^Polygon\\(")); }
    // The brush colour in force at each polygon.
    static QStringList PolygonBrushes(const QStringList& Calls)
    {
        QStringList Result;
        QString Brush;
        for (const QString& Call : Calls) {
            if (Call.startsWith(QLatin1String("SelectBrush(")))
                Brush = Call;
            else if (Call.startsWith(QLatin1String("Polygon(")))
                Result << Brush;
        }
        return Result;
    }
    TSurfaceSeries* Surface = nullptr;
};

TEST(SurfaceSeries, CellsAreOrderedBackToFrontAndColouredByTheirNearCorner)
{
    TSurfaceChart C;
    C.Fill(4, 3, [](int X, int Z) { return X * 10.0 + Z; });
    C.Layout();
    // Depth not reversed, drawn forward: XStep -1, ZStep -1; columns 2 .. 4
    // outer, rows 3 down to 2 inner.
    const std::vector<TPoint> Order = C.Surface->CellOrder();
    const std::vector<TPoint> Expected = {{2, 3}, {2, 2}, {3, 3}, {3, 2}, {4, 3}, {4, 2}};
    EXPECT_EQ(Order, Expected);
    EXPECT_EQ(C.Surface->XStep(), -1);
    EXPECT_EQ(C.Surface->ZStep(), -1);
    EXPECT_EQ(C.Surface->ColorCorner(), 1);

    // Each cell's polygon spans its two columns, painted in that order.
    const QStringList Polygons = TSurfaceChart::Polygons(C.Paint());
    ASSERT_EQ(Polygons.size(), 6);
    for (int I = 0; I < 6; ++I) {
        const int Column = Expected[static_cast<size_t>(I)].X;
        for (int Node : {Column, Column - 1})
            EXPECT_TRUE(Polygons[I].contains(QRegularExpression(QStringLiteral("[\\[;]%1 ").arg(100 * Node))))
                << Polygons[I].toStdString();
    }
}

TEST(SurfaceSeries, ColourCornerFollowsTheSteps)
{
    TSurfaceSeries S;
    const std::pair<TPoint, int> Cases[] = {{{1, 1}, 3}, {{1, -1}, 0}, {{-1, 1}, 2}, {{-1, -1}, 1}};
    for (const auto& [Steps, Corner] : Cases) {
        S.SetSteps(Steps.X, Steps.Y);
        EXPECT_EQ(S.ColorCorner(), Corner) << Steps.X << "," << Steps.Y;
    }
}

TEST(SurfaceSeries, StraightFrontViewTakesColumnsCentreOut)
{
    TSurfaceChart C;
    C.Fill(5, 2, [](int X, int) { return X; });
    C.Chart.View3DOptions()->SetOrthogonal(false);
    C.Chart.View3DOptions()->SetPerspective(50);
    C.Chart.View3DOptions()->SetRotation(360);
    C.Layout();
    std::vector<int> Columns;
    for (const TPoint& Cell : C.Surface->CellOrder())
        Columns.push_back(Cell.X);
    EXPECT_EQ(Columns, (std::vector<int>{2, 5, 3, 4}));
    C.Chart.View3DOptions()->SetRotation(345);
    Columns.clear();
    for (const TPoint& Cell : C.Surface->CellOrder())
        Columns.push_back(Cell.X);
    EXPECT_EQ(Columns, (std::vector<int>{2, 3, 4, 5}));
    // One column: no cells, nothing drawn.
    C.Chart.View3DOptions()->SetRotation(0);
    C.Fill(1, 3, [](int, int) { return 1.0; });
    EXPECT_TRUE(C.Surface->CellOrder().empty());
    EXPECT_TRUE(TSurfaceChart::Polygons(C.Paint()).isEmpty());
}

TEST(SurfaceSeries, SmoothPaletteColoursByTheMeanOfTheCorners)
{
    TSurfaceChart C;
    const double Values[2][2] = {{0, 0}, {0, 4}};
    C.Fill(2, 2, [&](int X, int Z) { return Values[X - 1][Z - 1]; });
    C.Surface->SetSmoothPalette(true);
    const QStringList Calls = C.Paint();
    const QStringList Brushes = TSurfaceChart::PolygonBrushes(Calls);
    ASSERT_EQ(Brushes.size(), 1); // 2 by 2 nodes: one cell
    const TColor Expected = C.Surface->ColorForValue(1.0);
    EXPECT_NE(Expected, C.Surface->ColorForValue(0.0));
    EXPECT_NE(Expected, C.Surface->ColorForValue(4.0));
    EXPECT_TRUE(Brushes[0].contains(LogColor(Expected))) << Brushes[0].toStdString();
}

TEST(SurfaceSeries, HiddenCornersSingleBrushAndEmptySeries)
{
    TSurfaceChart C;
    C.Fill(3, 3, [](int X, int Z) { return X + Z * 3.0; });
    // Point 4 (the middle node) is the colour corner (Corner1) of the cell
    // near (3, 2): hidden.
    C.Surface->OnGetColor = [](TChartSeries*, int Index, TColor& Color) {
        if (Index == 4)
            Color = clNone;
    };
    EXPECT_EQ(TSurfaceChart::Polygons(C.Paint()).size(), 3);
    C.Surface->OnGetColor = nullptr;
    // Neither colour range nor palette: every cell in the series colour.
    C.Surface->SetUseColorRange(false);
    C.Surface->SetSeriesColor(clRed);
    const QStringList Calls = C.Paint();
    EXPECT_EQ(TSurfaceChart::Polygons(Calls).size(), 4);
    EXPECT_EQ(TSurfaceChart::PolygonBrushes(Calls).filter(LogColor(clRed)).size(), 4);

    TSurfaceChart Empty;
    EXPECT_TRUE(Empty.Paint().filter(QRegularExpression("^(Polygon|LineTo|SetPixel)")).isEmpty());
    EXPECT_EQ(Empty.Surface->Clicked(100, 100), -1);
}

TEST(SurfaceSeries, FramesAreExclusiveAndDrawOutlinesOrDots)
{
    TSurfaceChart C;
    C.Fill(3, 2, [](int X, int) { return X * 20.0; });
    C.Surface->Pen()->SetVisible(false);
    C.Surface->SetDotFrame(true);
    C.Surface->SetWireFrame(true);
    EXPECT_TRUE(C.Surface->WireFrame());
    EXPECT_FALSE(C.Surface->DotFrame());
    EXPECT_TRUE(C.Surface->Pen()->Visible());
    // Wire frame: clear brush, polygons outlined only.
    const QStringList Wire = C.Paint();
    EXPECT_EQ(TSurfaceChart::Polygons(Wire).size(), 2);
    EXPECT_FALSE(C.Surface->FastBrush());
    C.Surface->SetFastBrush(true); // no per-context brush colour here
    EXPECT_FALSE(C.Surface->FastBrush());

    C.Surface->SetDotFrame(true);
    EXPECT_FALSE(C.Surface->WireFrame());
    const QStringList Dots = C.Paint();
    EXPECT_TRUE(TSurfaceChart::Polygons(Dots).isEmpty());
    EXPECT_EQ(Dots.filter(QRegularExpression("^SetPixel\\(")).size(), 8); // four corners per cell
}

TEST(SurfaceSeries, WaterfallDrawsOneStripPerRow)
{
    TSurfaceChart C;
    C.Fill(2, 2, [](int X, int Z) { return X * 10.0 + Z * 20; });
    EXPECT_EQ(TSurfaceChart::Polygons(C.Paint()).size(), 1);
    C.Surface->SetWaterFall(true);
    const QStringList Strips = TSurfaceChart::Polygons(C.Paint());
    ASSERT_EQ(Strips.size(), 2);
    // Each strip reaches the bottom of the vertical axis (pixel 200).
    for (const QString& Strip : Strips)
        EXPECT_TRUE(Strip.contains(QRegularExpression(" 200[;\\]]"))) << Strip.toStdString();
}

TEST(SurfaceSeries, SideWallsAddPlanesAroundTheCells)
{
    TSurfaceChart C;
    C.Fill(3, 3, [](int X, int Z) { return X * 10.0 + Z; });
    const int Plain = static_cast<int>(TSurfaceChart::Polygons(C.Paint()).size());
    C.Surface->SideBrush()->SetStyle(TBrush::bsSolid);
    const int Sided = static_cast<int>(TSurfaceChart::Polygons(C.Paint()).size());
    // Two depth walls of two planes each and a front wall of two planes.
    EXPECT_EQ(Sided - Plain, 6);
}

TEST(SurfaceSeries, ClickFindsTheCellUnderThePixel)
{
    TSurfaceChart C;
    C.Fill(3, 2, [](int X, int Z) { return X * 20.0 + Z * 10; });
    C.Layout();
    // Flat: the cell between columns 1 and 2 and rows 1 and 2 has corners
    // (100, 140), (200, 100), (200, 80), (100, 120).
    const int Hit = C.Surface->Clicked(150, 115);
    ASSERT_GE(Hit, 0);
    EXPECT_LE(C.Surface->XValues()->Value(Hit), 2);
    EXPECT_EQ(C.Surface->Clicked(150, 150), -1);
    EXPECT_EQ(C.Surface->Clicked(350, 20), -1);
    // The neighbouring cell (columns 2 and 3).
    const int Right = C.Surface->Clicked(250, 75);
    ASSERT_GE(Right, 0);
    EXPECT_GE(C.Surface->XValues()->Value(Right), 2);
}

TEST(SurfaceSeries, CopiesAndGalleryStyles)
{
    TSurfaceSeries A;
    A.SetWireFrame(true);
    A.SetSmoothPalette(true);
    A.SetTransparency(40);
    A.SideBrush()->SetStyle(TBrush::bsSolid);
    A.SetWaterFall(true);
    A.SetNumXValues(7);
    TSurfaceSeries B;
    B.Assign(&A);
    EXPECT_TRUE(B.WireFrame());
    EXPECT_TRUE(B.SmoothPalette());
    EXPECT_EQ(B.Transparency(), 40);
    EXPECT_EQ(B.SideBrush()->Style(), TBrush::bsSolid);
    EXPECT_FALSE(B.WaterFall());
    EXPECT_EQ(B.NumXValues(), 7);
    EXPECT_THROW(B.SetTransparency(101), ERangeError);
    EXPECT_EQ(B.GetEditorClassName(), QStringLiteral("TSurfaceSeriesEditor"));

    QStringList Captions;
    B.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    ASSERT_GE(Captions.size(), 4);
    EXPECT_EQ(Captions.mid(Captions.size() - 4),
              (QStringList{"Wireframe", "Dot Frame", "Sides", "No Border"}));
    TSurfaceSeries G;
    G.SetSubGallery(3);
    EXPECT_TRUE(G.DotFrame());
    G.SetSubGallery(4);
    EXPECT_EQ(G.SideBrush()->Style(), TBrush::bsSolid);
    G.SetSubGallery(5);
    EXPECT_FALSE(G.Pen()->Visible());
    G.PrepareForGallery(true);
    EXPECT_EQ(G.Count(), 100);
}

// --- Pictures -----------------------------------------------------------------------------------

void PaintSurfacePicture(const char* Name, const std::function<void(TSurfaceSeries&)>& Style)
{
    TChart Chart;
    test::SetUpTiltedPictureChart(Chart);
    auto* S = new TSurfaceSeries(&Chart);
    Chart.AddSeries(S);
    S->AddSampleValues(16);
    Style(*S);
    auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "grid3d", Name));
}

TEST(SurfacePicture, ShadedWireAndSided)
{
    PaintSurfacePicture("surface-shaded", [](TSurfaceSeries& S) {
        S.SetUseColorRange(false);
        S.SetUsePalette(true);
        S.SetPaletteStyle(psRainbow);
    });
    PaintSurfacePicture("surface-wireframe", [](TSurfaceSeries& S) { S.SetWireFrame(true); });
    PaintSurfacePicture("surface-sides", [](TSurfaceSeries& S) {
        S.SideBrush()->SetStyle(TBrush::bsSolid);
        S.SideBrush()->SetColor(clSilver);
        S.SideLines()->SetVisible(true);
    });
}

// A whole 3-D chart painted onto a recording device, with a 3 x 3 surface
// whose side walls are drawn in a colour of their own: how many wall planes
// come before the first cell and after the last one.
struct TSidedSurfaceChart {
    static constexpr TColor SideColour = 0x123456;
    TChart Chart;
    TRecordingDC DC{500, 400};
    TCanvas Target{&DC};
    TSurfaceSeries* Surface = nullptr;

    TSidedSurfaceChart()
    {
        Chart.SetBounds(0, 0, 500, 400);
        Chart.SetBufferedDisplay(false);
        Chart.SetView3D(true);
        Chart.View3DOptions()->SetOrthogonal(false);
        Chart.Legend()->SetVisible(false);
        Surface = new TSurfaceSeries(&Chart);
        Chart.AddSeries(Surface);
        Surface->OnGetYValue = [](TChartSeries*, int X, int Z) { return X * 10.0 + Z; };
        Surface->CreateValues(3, 3);
        Surface->SideBrush()->SetStyle(TBrush::bsSolid);
        Surface->SideBrush()->SetColor(SideColour);
        // Cell colours none of the chart's walls has.
        Surface->SetStartColor(0x800000);
        Surface->SetEndColor(0x40C040);
    }
    struct TOrder {
        int Before = 0, After = 0, Cells = 0;
    };
    static QString BrushOf(TColor Colour) { return QStringLiteral("SelectBrush(solid,") + LogColor(Colour) + ','; }
    TOrder Paint()
    {
        DC.ClearCalls();
        Chart.DrawToCanvas(&Target, Chart.GetRectangle());
        return Tally();
    }
    // The series alone, drawn into a chart rectangle given by hand.
    TOrder PaintSeriesInto(const TRect& Rect)
    {
        Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, true, Chart.GetRectangle());
        Chart.Canvas().ResetState();
        Chart.Canvas().SetProjection(Chart.Depth3D(), Rect);
        test::PlaceAxes(Chart, Rect);
        Surface->CalcFirstLastVisibleIndex();
        DC.ClearCalls();
        Surface->DrawAllValues();
        return Tally();
    }
    TOrder Tally() const
    {
        QStringList Cells;
        for (int I = 0; I < Surface->Count(); ++I)
            Cells << BrushOf(Surface->GetValueColor(I));
        // Each polygon is a wall plane (side colour), a cell (a value's
        // colour) or something of the chart's own.
        std::vector<int> Kinds;  // 1 wall, 2 cell
        QString Brush;
        for (const QString& Call : DC.Calls()) {
            if (Call.startsWith(QLatin1String("SelectBrush(")))
                Brush = Call;
            else if (Call.startsWith(QLatin1String("Polygon(")))
                Kinds.push_back(Brush.startsWith(BrushOf(SideColour))
                                    ? 1
                                    : std::any_of(Cells.begin(), Cells.end(),
                                                  [&](const QString& C) { return Brush.startsWith(C); })
                                    ? 2
                                    : 0);
        }
        TOrder Order;
        const auto FirstCell = std::find(Kinds.begin(), Kinds.end(), 2);
        const auto LastCell = std::find(Kinds.rbegin(), Kinds.rend(), 2);
        Order.Cells = static_cast<int>(std::count(Kinds.begin(), Kinds.end(), 2));
        Order.Before = static_cast<int>(std::count(Kinds.begin(), FirstCell, 1));
        Order.After = static_cast<int>(std::count(Kinds.rbegin(), LastCell, 1));
        return Order;
    }
    // Whether the chart's front plane, reaching down over the bottom wall,
    // is seen from behind.
    bool FrontSeenFromBehind()
    {
        const TRect R = Chart.ChartRectangle();
        const int Below = R.Bottom + Chart.CalcWallSize(Chart.BottomAxis());
        TPlotCanvas3D& C = Chart.Canvas();
        return !IsClockwise(C.Calculate3DPosition(R.Right, R.Top, 0), C.Calculate3DPosition(R.Right, Below, 0),
                            C.Calculate3DPosition(R.Left, Below, 0));
    }
};

// Guards against the left and right side walls always going with the pass
// before the cells: each goes where the chart draws its own wall on that
// side, after the cells when that wall stands in front.
TEST(SurfaceSeries, SideWallsGoWithTheChartsWallsOnTheirSide)
{
    TSidedSurfaceChart C;
    bool SawLeftInFront = false, SawRightInFront = false;
    for (int Rotation = 0; Rotation < 360; Rotation += 20) {
        C.Chart.View3DOptions()->SetRotation(Rotation);
        const TSidedSurfaceChart::TOrder Order = C.Paint();
        // Seen edge-on, a wall leaves no polygon to place.
        if (Order.Before + Order.After != 6)
            continue;
        const bool Left = IsLeftWallInFront(C.Chart), Right = IsRightWallInFront(C.Chart);
        SawLeftInFront = SawLeftInFront || Left;
        SawRightInFront = SawRightInFront || Right;
        const int Expected = (Left ? 2 : 0) + (Right ? 2 : 0) + (C.FrontSeenFromBehind() ? 0 : 2);
        EXPECT_EQ(Order.After, Expected) << "rotation " << Rotation;
    }
    EXPECT_TRUE(SawLeftInFront);
    EXPECT_TRUE(SawRightInFront);
}

// Guards against the front-wall test leaving out the bottom wall: a chart
// rectangle without height has a front plane only through the bottom
// wall's size, and seen from the front the front wall goes after the cells.
TEST(SurfaceSeries, FrontWallTestReachesOverTheBottomWall)
{
    TSidedSurfaceChart C;
    C.Chart.BottomWall()->SetSize(12);
    C.Paint();  // the chart's layout: depth and walls
    const TSidedSurfaceChart::TOrder Order = C.PaintSeriesInto({50, 200, 450, 200});
    ASSERT_EQ(C.Chart.ChartRectangle().Height(), 0);
    ASSERT_EQ(C.Chart.CalcWallSize(C.Chart.BottomAxis()), 12);
    ASSERT_FALSE(C.FrontSeenFromBehind());
    const int Sides = (IsLeftWallInFront(C.Chart) ? 2 : 0) + (IsRightWallInFront(C.Chart) ? 2 : 0);
    EXPECT_EQ(Order.After, Sides + 2);
}

} // namespace
} // namespace lp
