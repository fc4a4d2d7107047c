// The colour grid and waterfall series: extents over whole cells, the cell
// picture and its colours, grid lines (every below 1 counts as 1), the
// irregular grid's cells and hit test, pictures turned into grids, copies,
// gallery styles and reference pictures.

#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "chart/extensions/grid3d/PlotWaterFallSeries.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/chart/engine/EngineTestUtil.h"
#include "tests/chart/engine/TextBoxRecorder.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace lp {
namespace {

// A flat chart: X 0 .. XMax over pixels 0 .. 400, Z (vertical) 0 .. ZMax
// over pixels 200 .. 0.
struct TGridChart : test::TFixedAxesChart {
    TGridChart(double XMax, double ZMax) : TFixedAxesChart(false, XMax, ZMax)
    {
        Grid = new TColorGridSeries(&Chart);
        Chart.AddSeries(Grid);
    }
    void Fill(int NumX, int NumZ)
    {
        Grid->OnGetYValue = [](TChartSeries*, int X, int Z) { return X * 10.0 + Z; };
        Grid->CreateValues(NumX, NumZ);
    }
    QStringList Paint()
    {
        Layout();
        DC.ClearCalls();
        Grid->DrawAllValues();
        return DC.Calls();
    }
    TColorGridSeries* Grid = nullptr;
};

QRgb Rgb(TColor Color)
{
    return qRgb(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
}

TEST(ColorGridSeries, ExtentsCoverWholeCells)
{
    TColorGridSeries S;
    S.SetCreatingSamples(true);
    S.CreateValues(8, 4);
    EXPECT_EQ(S.MinXValue(), 1);
    EXPECT_EQ(S.MaxXValue(), 9);
    EXPECT_EQ(S.MinYValue(), 1); // the vertical axis shows Z
    EXPECT_EQ(S.MaxYValue(), 5);
    S.SetCenteredPoints(true);
    EXPECT_EQ(S.MinXValue(), 0.5);
    EXPECT_EQ(S.MaxXValue(), 8.5);
    EXPECT_EQ(S.MinZValue(), 0.5);
    EXPECT_EQ(S.MaxZValue(), 4.5);
    S.SetCenteredPoints(false);
    S.SetIrregularGrid(true);
    EXPECT_EQ(S.MaxXValue(), 8); // node to node
    EXPECT_EQ(S.MinXValue(), 1);

    // A chart with automatic axes takes the same span.
    TChart Chart;
    Chart.SetBounds(0, 0, 300, 200);
    Chart.SetView3D(false);
    auto* G = new TColorGridSeries(&Chart);
    Chart.AddSeries(G);
    G->PrepareForGallery(true);
    Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_EQ(G->Count(), 32);
    EXPECT_EQ(Chart.BottomAxis()->Minimum(), 1);
    EXPECT_EQ(Chart.BottomAxis()->Maximum(), 9);
    EXPECT_EQ(Chart.LeftAxis()->Minimum(), 1);
    EXPECT_EQ(Chart.LeftAxis()->Maximum(), 5);
}

TEST(ColorGridSeries, RegularGridIsOnePixelPerCellOverTheCells)
{
    TGridChart C(4, 4);
    C.Fill(3, 2);
    // Point 1 (column 2, row 1) hidden, point 5 (column 3, row 2) white.
    C.Grid->OnGetColor = [](TChartSeries*, int Index, TColor& Color) {
        if (Index == 1)
            Color = clNone;
        else if (Index == 5)
            Color = clWhite;
    };
    const QStringList Images = C.Paint().filter(QRegularExpression("^DrawImage\\("));
    // Cells 1 .. 4 across (100 px a unit), 1 .. 3 up (50 px a unit, from
    // pixel 150 up to 50); white shows the background.
    ASSERT_EQ(Images.size(), 1);
    EXPECT_EQ(Images[0], QStringLiteral("DrawImage(100,50,400,150,3,2,0xFFFFFF)"));
    const QImage& Cells = C.Grid->Bitmap().Image();
    ASSERT_EQ(Cells.size(), QSize(3, 2));
    // The picture's top row is the upper row of cells (row 2).
    EXPECT_EQ(Cells.pixel(0, 0), Rgb(C.Grid->GetValueColor(3)));
    EXPECT_EQ(Cells.pixel(0, 1), Rgb(C.Grid->GetValueColor(0)));
    EXPECT_EQ(Cells.pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(Cells.pixel(2, 0), qRgb(255, 255, 255));
    EXPECT_NE(C.Grid->GetValueColor(0), C.Grid->GetValueColor(3));

    // Centred: the same cells half a unit lower and to the left.
    C.Grid->SetCenteredPoints(true);
    EXPECT_EQ(C.Paint().filter(QRegularExpression("^DrawImage\\("))[0],
              QStringLiteral("DrawImage(50,75,350,175,3,2,0xFFFFFF)"));

    // Resampled smoothly to the target's size first.
    C.Grid->SetSmoothBitmap(true);
    EXPECT_EQ(C.Paint().filter(QRegularExpression("^DrawImage\\("))[0],
              QStringLiteral("DrawImage(50,75,350,175,300,100,0xFFFFFF)"));
    C.Grid->SetSmoothBitmap(false);

    // Only the visible cells: X shown up to 2 leaves columns 1 and 2.
    C.Chart.BottomAxis()->SetMinMax(0, 2);
    test::PlaceAxes(C.Chart, {0, 0, 400, 200});
    C.Grid->SetCenteredPoints(false);
    const QStringList Part = C.Paint().filter(QRegularExpression("^DrawImage\\("));
    ASSERT_EQ(Part.size(), 1);
    EXPECT_TRUE(Part[0].contains(QLatin1String(",1,2,"))) << Part[0].toStdString();
}

TEST(ColorGridSeries, GridLinesEveryNthColumnAndRow)
{
    TGridChart C(10, 4);
    C.Fill(10, 2);
    const auto VerticalLines = [](const QStringList& Calls) {
        QStringList Xs;
        for (int I = 0; I + 1 < Calls.size(); ++I) {
            const QRegularExpressionMatch M = QRegularExpression("^MoveTo\\((\\d+),(-?\\d+)\\)$").match(Calls[I]);
            if (M.hasMatch() && Calls[I + 1].startsWith(QStringLiteral("LineTo(%1,").arg(M.captured(1))))
                Xs << M.captured(1);
        }
        return Xs;
    };
    C.Grid->SetXGridEvery(2);
    // Columns 3, 5, 7, 9 at 40 px a unit.
    EXPECT_EQ(VerticalLines(C.Paint()), (QStringList{"120", "200", "280", "360"}));
    // Below 1 counts as 1: a line at every column but the first.
    C.Grid->SetXGridEvery(0);
    EXPECT_EQ(VerticalLines(C.Paint()).size(), 9);
    C.Grid->SetXGridEvery(-3);
    C.Grid->SetZGridEvery(0);
    EXPECT_EQ(VerticalLines(C.Paint()).size(), 9);
    // The pen hidden ("No Grid"): no lines.
    C.Grid->SetSubGallery(2);
    EXPECT_TRUE(VerticalLines(C.Paint()).isEmpty());
    // The frame outlines the cells.
    C.Grid->Frame()->SetVisible(true);
    EXPECT_EQ(C.Paint().filter(QRegularExpression("^Polygon\\(")).size(), 1);
}

// Three columns at X 0, 1, 3 and two rows at Z 0, 2, stored row after row.
void FillIrregular(TColorGridSeries& Grid)
{
    Grid.SetIrregularGrid(true);
    for (double Z : {0.0, 2.0})
        for (double X : {0.0, 1.0, 3.0})
            Grid.AddXYZ(X, X + Z * 10, Z);
}

TEST(ColorGridSeries, IrregularGridDrawsAndFindsCellsThroughTheIndex)
{
    TGridChart C(4, 4);
    FillIrregular(*C.Grid);
    const QStringList Calls = C.Paint();
    // Two cells between the three columns, from one node to the next.
    EXPECT_EQ(Calls.filter(QRegularExpression("^Polygon\\(")),
              (QStringList{"Polygon([0 100;100 100;100 200;0 200])", "Polygon([100 100;300 100;300 200;100 200])"}));

    // The cell between X 1 .. 3 and Z 0 .. 2 belongs to point 1 (X 1, Z 0).
    EXPECT_EQ(C.Grid->Clicked(200, 150), 1);
    EXPECT_EQ(C.Grid->Clicked(50, 150), 0);
    EXPECT_EQ(C.Grid->Clicked(350, 150), -1); // beyond the last column
    EXPECT_EQ(C.Grid->Clicked(50, 50), -1);   // above the last row
    // Stored column after column instead: the same cells.
    TGridChart D(4, 4);
    D.Grid->SetIrregularGrid(true);
    for (double X : {0.0, 1.0, 3.0})
        for (double Z : {0.0, 2.0})
            D.Grid->AddXYZ(X, X, Z);
    D.Layout();
    EXPECT_EQ(D.Grid->Clicked(200, 150), 2);
}

TEST(ColorGridSeries, RegularClickFindsTheCell)
{
    TGridChart C(4, 2);
    C.Fill(3, 2);
    C.Layout();
    // Cell (2, 1) spans X 2 .. 3 (pixels 200 .. 300) and Z 1 .. 2 (100 .. 0).
    EXPECT_EQ(C.Grid->Clicked(250, 50), 1);
    EXPECT_EQ(C.Grid->Clicked(150, 50), 0);
    EXPECT_EQ(C.Grid->Clicked(250, -50), 4); // Z 2.5: row 2
    EXPECT_EQ(C.Grid->Clicked(150, 150), -1); // Z 0.5: below the first row
    EXPECT_EQ(C.Grid->Clicked(450, 50), -1);  // beyond the last column
}

TEST(ColorGridSeries, MarksSitOnTheCellCentres)
{
    TGridChart C(4, 4);
    C.Fill(3, 2);
    C.Layout();
    TSeriesMarkPosition Position;
    Position.MarkWidth = 20;
    Position.MarkHeight = 10;
    // Point 4 is node (2, 2): its cell spans X 2 .. 3 and Z 2 .. 3.
    C.Grid->DrawMark(4, QStringLiteral("A"), Position);
    EXPECT_EQ(Position.ArrowStart, (TPoint{250, 75}));
    EXPECT_EQ(Position.TopLeft, (TPoint{240, 70}));
    C.Grid->SetCenteredPoints(true);
    C.Grid->DrawMark(4, QStringLiteral("A"), Position);
    EXPECT_EQ(Position.ArrowStart, (TPoint{200, 100}));
}

TEST(ColorGridSeries, FillFromBitmapMakesOneCentredPointPerPixel)
{
    TBitmap Picture(3, 2);
    QImage Pixels(3, 2, QImage::Format_RGB32);
    Pixels.fill(Qt::white);
    Pixels.setPixel(2, 1, qRgb(0x11, 0x22, 0x33));
    Picture.SetImage(Pixels);
    TColorGridSeries S;
    // Values that could be made anew must not join the picture's points.
    S.OnGetYValue = [](TChartSeries*, int, int) { return 1.0; };
    S.SetNumXValues(7);
    EXPECT_EQ(S.Count(), 7 * 10);
    S.FillFromBitmap(Picture);
    EXPECT_EQ(S.Count(), 6);
    EXPECT_EQ(S.NumXValues(), 3);
    EXPECT_EQ(S.NumZValues(), 2);
    EXPECT_TRUE(S.CenteredPoints());
    // Column after column: the last point is pixel (2, 1).
    EXPECT_EQ(S.XValues()->Value(1), 1);
    EXPECT_EQ(S.ZValues()->Value(1), 2);
    EXPECT_EQ(S.XValues()->Value(5), 3);
    EXPECT_EQ(S.ZValues()->Value(5), 2);
    EXPECT_EQ(S.YValues()->Value(5), 0x332211);
    EXPECT_EQ(S.YValues()->Value(0), 0xFFFFFF);
    EXPECT_EQ(S.Bitmap().Width(), 3);
}

TEST(ColorGridSeries, APictureLargerThanTheGridsTakenIsRefusedWhole)
{
    // Regression: a 5000 x 5000 picture became 25 million points (minutes
    // and gigabytes); a picture beyond 1000 cells a side is refused.
    TColorGridSeries S;
    S.OnGetYValue = [](TChartSeries*, int, int) { return 1.0; };
    S.CreateValues(4, 3);
    for (const auto& [Width, Height] : {std::pair{1001, 1}, std::pair{1, 1001}}) {
        TBitmap Picture(Width, Height);
        EXPECT_THROW(S.FillFromBitmap(Picture), ChartException) << Width << " x " << Height;
    }
    EXPECT_EQ(S.Count(), 12);
    EXPECT_EQ(S.NumXValues(), 4);
    EXPECT_FALSE(S.CenteredPoints());
    EXPECT_EQ(S.Bitmap().Width(), 0);
    EXPECT_THROW(TColorGridSeries::CheckPictureSize(5000, 5000), ChartException);
    EXPECT_NO_THROW(TColorGridSeries::CheckPictureSize(1000, 1000));
}

TEST(ColorGridSeries, CopiesAndGallery)
{
    TColorGridSeries A;
    A.SetCenteredPoints(true);
    A.SetSmoothBitmap(true);
    A.Frame()->SetVisible(true);
    A.SetNumXValues(6);
    TColorGridSeries B;
    B.Assign(&A);
    EXPECT_TRUE(B.CenteredPoints());
    EXPECT_TRUE(B.SmoothBitmap());
    EXPECT_TRUE(B.Frame()->Visible());
    EXPECT_EQ(B.NumXValues(), 6);
    EXPECT_EQ(B.GetEditorClassName(), QStringLiteral("TColorGridEditor"));
    QStringList Captions;
    B.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    EXPECT_EQ(Captions.last(), QStringLiteral("No Grid"));
    EXPECT_EQ(B.Marks()->ArrowLength(), 0);
}

TEST(WaterFallSeries, StaysAWaterfallAndHidesItsLines)
{
    TWaterFallSeries W;
    EXPECT_TRUE(W.WaterFall());
    TSurfaceSeries Surface;
    Surface.SetWireFrame(true);
    W.Assign(&Surface);
    EXPECT_TRUE(W.WaterFall());
    EXPECT_TRUE(W.WireFrame());
    EXPECT_EQ(W.GetEditorClassName(), QStringLiteral("TWaterFallEditor"));
    QStringList Captions;
    W.CreateSubGallery([&](const QString& Caption) { Captions << Caption; });
    ASSERT_EQ(Captions.size(), 7);
    EXPECT_EQ(Captions[6], QStringLiteral("No Lines"));
    W.SetSubGallery(6);
    EXPECT_FALSE(W.WaterLines()->Visible());
    W.SetSubGallery(2);
    EXPECT_TRUE(W.WireFrame());
}

// --- Sparse grids in a turned 3-D view -----------------------------------------------------------

// A polygon the grid drew, in the brush colour it was filled with.
struct TGridTurnedQuad {
    TColor Color;
    std::vector<TPoint> Corners;
};

// The polygons among recorded calls, each with the brush colour in force.
std::vector<TGridTurnedQuad> GridTurnedFilledPolygons(const QStringList& Calls)
{
    static const QRegularExpression Brush("^(?:SetDCBrushColor\\(|SelectBrush\\(solid,)0x([0-9A-F]+)");
    static const QRegularExpression Point("(-?\\d+) (-?\\d+)");
    std::vector<TGridTurnedQuad> Quads;
    TColor Color = clNone;
    for (const QString& Call : Calls) {
        if (const QRegularExpressionMatch M = Brush.match(Call); M.hasMatch()) {
            Color = static_cast<TColor>(M.captured(1).toUInt(nullptr, 16));
        } else if (Call.startsWith(QLatin1String("Polygon("))) {
            TGridTurnedQuad Quad{Color, {}};
            for (auto It = Point.globalMatch(Call); It.hasNext();) {
                const QRegularExpressionMatch P = It.next();
                Quad.Corners.push_back({P.captured(1).toInt(), P.captured(2).toInt()});
            }
            Quads.push_back(Quad);
        }
    }
    return Quads;
}

// A 400 x 300 chart, turned and tilted, holding a colour grid of the given
// points and a donut beside it (the donut is what switches a user's view
// off orthogonal). After a whole paint the grid alone paints again onto a
// recording device.
struct TGridTurnedChart {
    TChart Chart;
    TColorGridSeries* Grid = nullptr;
    TRecordingDC DC{400, 300};
    TCanvas Target{&DC};

    TGridTurnedChart(const std::vector<std::array<double, 3>>& Points, bool DateTimeX)
    {
        test::SetUpTiltedPictureChart(Chart);
        Grid = new TColorGridSeries(&Chart);
        Chart.AddSeries(Grid);
        Grid->XValues()->SetDateTime(DateTimeX);
        for (const auto& [X, Y, Z] : Points)
            Grid->AddXYZ(X, Y, Z);
        auto* Donut = new TDonutSeries(&Chart);
        Chart.AddSeries(Donut);
        Donut->Add(1);
        Donut->Add(2);
        Chart.DrawToCanvas(&Target, Chart.GetRectangle());
    }
    std::vector<TGridTurnedQuad> PaintGrid()
    {
        Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, true, Chart.GetRectangle());
        DC.ClearCalls();
        Grid->DoBeforeDrawChart();
        Grid->DrawAllValues();
        return GridTurnedFilledPolygons(DC.Calls());
    }
    // Each node's cell (the last point of a node holds it), projected at
    // the grid's depth, in its point's colour: what the turned grid shows.
    std::vector<TGridTurnedQuad> HeldCells()
    {
        std::vector<TGridTurnedQuad> Cells;
        std::set<std::pair<double, double>> Nodes;
        for (int I = Grid->Count() - 1; I >= 0; --I) {
            const double X = std::nearbyint(Grid->XValues()->Value(I));
            const double Z = std::nearbyint(Grid->ZValues()->Value(I));
            if (!Nodes.insert({X, Z}).second)
                continue;
            // White cells show what lies behind, as empty ones do.
            const TColor Color = ColorToRGB(Grid->GetValueColor(I));
            if (Color == clWhite)
                continue;
            const int Left = Grid->CalcXPosValue(X);
            const int Right = Grid->CalcXPosValue(X + 1);
            const int Top = Grid->CalcYPosValue(Z + 1);
            const int Bottom = Grid->CalcYPosValue(Z);
            TPlotCanvas3D& Canvas = Chart.Canvas();
            const int Depth = Grid->DepthStart();
            Cells.push_back({Color,
                             {Canvas.Calculate3DPosition(Left, Top, Depth), Canvas.Calculate3DPosition(Right, Top, Depth),
                              Canvas.Calculate3DPosition(Right, Bottom, Depth),
                              Canvas.Calculate3DPosition(Left, Bottom, Depth)}});
        }
        return Cells;
    }
};

// Every cell shows once, in its colour, on its projected place (corners
// within a pixel: cell edges are shared out over the grid's whole span).
void ExpectEachHeldCellDrawnOnce(const std::vector<TGridTurnedQuad>& Cells, const std::vector<TGridTurnedQuad>& Drawn)
{
    const auto Near = [](const TGridTurnedQuad& A, const TGridTurnedQuad& B) {
        if (A.Color != B.Color || A.Corners.size() != B.Corners.size())
            return false;
        for (size_t K = 0; K < A.Corners.size(); ++K)
            if (std::abs(A.Corners[K].X - B.Corners[K].X) > 1 || std::abs(A.Corners[K].Y - B.Corners[K].Y) > 1)
                return false;
        return true;
    };
    std::multimap<int, const TGridTurnedQuad*> ByLeft;
    for (const TGridTurnedQuad& Quad : Drawn)
        if (!Quad.Corners.empty())
            ByLeft.insert({Quad.Corners[0].X, &Quad});
    int Missing = 0;
    for (const TGridTurnedQuad& Cell : Cells) {
        int Found = 0;
        for (auto It = ByLeft.lower_bound(Cell.Corners[0].X - 1);
             It != ByLeft.end() && It->first <= Cell.Corners[0].X + 1; ++It)
            Found += Near(Cell, *It->second) ? 1 : 0;
        Missing += Found == 0 ? 1 : 0;
    }
    EXPECT_EQ(Missing, 0) << "of " << Cells.size() << " cells";
}

// Guards: a turned 3-D colour grid filled every node of its index, 1 to 3 s a paint.
// 2,950 scattered points, or 17 points with date-time X values spread over
// thousands of columns, drew one polygon per node, empty ones in white. The
// paint fills the cells that hold points, each in its place and colour
// (as before), and nothing else.
TEST(ColorGridSeries, TurnedSparseGridsFillTheirHeldCellsOnly)
{
    std::mt19937 Random(5);
    std::uniform_real_distribution<double> Position(0, 100);
    std::uniform_real_distribution<double> Value(0, 50);
    std::vector<std::array<double, 3>> Scattered;
    for (int I = 0; I < 2950; ++I)
        Scattered.push_back({Position(Random), Value(Random), Position(Random)});
    std::uniform_real_distribution<double> Days(0, 9500);
    std::uniform_real_distribution<double> Row(0, 200);
    const double Start = EncodeDateTime(2000, 1, 1, 0, 0, 0, 0);
    std::vector<std::array<double, 3>> Dated;
    for (int I = 0; I < 17; ++I)
        Dated.push_back({Start + Days(Random), Value(Random), Row(Random)});

    for (const auto& [Points, DateTimeX] : {std::pair{Scattered, false}, std::pair{Dated, true}}) {
        TGridTurnedChart C(Points, DateTimeX);
        ASSERT_FALSE(C.Chart.View3DOptions()->Orthogonal());
        const std::vector<TGridTurnedQuad> Cells = C.HeldCells();
        const std::vector<TGridTurnedQuad> Drawn = C.PaintGrid();
        EXPECT_EQ(Drawn.size(), Cells.size()) << "date-time X: " << DateTimeX;
        ExpectEachHeldCellDrawnOnce(Cells, Drawn);
    }
}

// --- Pictures -----------------------------------------------------------------------------------

TEST(ColorGridPicture, WaterfallRegularAndIrregularGrids)
{
    {
        TChart Chart;
        test::SetUpTiltedPictureChart(Chart);
        auto* W = new TWaterFallSeries(&Chart);
        Chart.AddSeries(W);
        W->AddSampleValues(12);
        auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
        EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "grid3d", "waterfall"));
    }
    const auto PaintFlat = [](const char* Name, const std::function<void(TColorGridSeries&)>& Fill) {
        TChart Chart;
        Chart.SetBounds(0, 0, 400, 300);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        auto* G = new TColorGridSeries(&Chart);
        Chart.AddSeries(G);
        Fill(*G);
        auto Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
        EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "grid3d", Name));
    };
    PaintFlat("colorgrid-regular", [](TColorGridSeries& G) {
        G.OnGetYValue = [](TChartSeries*, int X, int Z) { return std::sin(X * 0.4) * std::cos(Z * 0.3); };
        G.CreateValues(24, 16);
        G.SetUseColorRange(false);
        G.SetUsePalette(true);
        G.SetPaletteStyle(psRainbow);
        G.SetXGridEvery(4);
        G.SetZGridEvery(4);
        G.Frame()->SetVisible(true);
    });
    PaintFlat("colorgrid-irregular", [](TColorGridSeries& G) {
        G.ParentChart()->BottomAxis()->SetIncrement(1);
        G.SetIrregularGrid(true);
        G.SetUseColorRange(false);
        G.SetUsePalette(true);
        G.SetPaletteStyle(psStrong);
        G.Pen()->SetColor(clGray);
        const double Xs[] = {0, 1, 1.5, 3, 3.2, 5, 8};
        const double Zs[] = {0, 0.5, 2, 2.5, 4, 6};
        for (double Z : Zs)
            for (double X : Xs)
                G.AddXYZ(X, X * Z, Z);
    });
}

// Guards against the bottom axis printing "1 1.21.41.61.82 2.22.4" run
// together: the labels between the range ends are wider than the ends the
// step was chosen from. Every label box drawn is measured; none may
// overlap another, and the axes still carry labels.
TEST(ColorGridSeries, AxisLabelsNeverOverlap)
{
    for (const bool View3D : {false, true}) {
        test::TSampleChart<TColorGridSeries> Sample(View3D);
        TChart& Chart = Sample.Chart;
        const std::vector<test::TTextBox> Boxes = test::NumberLabelBoxes(Chart);
        EXPECT_EQ(test::FirstOverlap(Boxes).toStdString(), "") << "3-D " << View3D;
        const auto Below = std::count_if(Boxes.begin(), Boxes.end(), [&](const test::TTextBox& B) {
            return B.Top > Chart.ChartRectangle().Bottom;
        });
        EXPECT_GE(Below, 5) << "the bottom axis keeps labels";
    }
}

} // namespace
} // namespace lp
