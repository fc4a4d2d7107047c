// The surface nearest-cell tool on a 3 × 3 surface: the pointed cell drawn
// in the cell colour with its row and column, moves within a cell, leaving
// the surface, and series that are not surfaces.

#include "chart/extensions/tools/PlotSurfaceNearestTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/grid3d/PlotSurfaceSeries.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"

#include <gtest/gtest.h>

#include <map>

namespace lp {
namespace {

struct TNearestChart {
    test::TCountingToolChart Chart;
    TSurfaceSeries* Surface = nullptr;
    TSurfaceNearestTool* Tool = nullptr;
    int Selections = 0;
    // For each cell (the point Clicked names) the pixels over it.
    std::map<int, std::vector<TPoint>> CellPixels;

    TNearestChart()
    {
        test::SetUpTiltedPictureChart(Chart);
        Surface = new TSurfaceSeries(&Chart);
        Chart.AddSeries(Surface);
        Surface->OnGetYValue = [](TChartSeries*, int X, int Z) { return X * 10.0 + Z; };
        Surface->CreateValues(3, 3);
        Tool = new TSurfaceNearestTool(&Chart);
        Chart.Tools().Add(Tool);
        Tool->SetSeries(Surface);
        Tool->OnSelectCell = [this](QObject*) { ++Selections; };
        Picture();
        for (int Y = 0; Y < 300; Y += 3)
            for (int X = 0; X < 400; X += 3)
                if (const int Cell = Surface->Clicked(X, Y); Cell >= 0)
                    CellPixels[Cell].push_back({X, Y});
    }
    QImage Picture()
    {
        TBitmap Target(400, 300);
        Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
        return Target.ToImage();
    }
    // The pixel over Cell nearest the middle of its pixels.
    TPoint Middle(int Cell) const
    {
        const std::vector<TPoint>& Pixels = CellPixels.at(Cell);
        long SX = 0;
        long SY = 0;
        for (const TPoint& P : Pixels) {
            SX += P.X;
            SY += P.Y;
        }
        const TPoint Mean{int(SX / long(Pixels.size())), int(SY / long(Pixels.size()))};
        TPoint Best = Pixels.front();
        for (const TPoint& P : Pixels)
            if (std::abs(P.X - Mean.X) + std::abs(P.Y - Mean.Y) < std::abs(Best.X - Mean.X) + std::abs(Best.Y - Mean.Y))
                Best = P;
        return Best;
    }
    void Move(TPoint P) { Chart.MouseMove({}, P.X, P.Y); }
};

TEST(SurfaceNearestTool, ColoursThePointedCellWithItsRowAndColumn)
{
    TNearestChart F;
    ASSERT_EQ(F.CellPixels.size(), 4u);
    for (const auto& [Cell, Pixels] : F.CellPixels) {
        const TPoint P = F.Middle(Cell);
        F.Move(P);
        EXPECT_EQ(F.Tool->PointedIndex(), Cell);
        // The pointed cell shows the cell colour.
        const QImage Picture = F.Picture();
        EXPECT_EQ(QColor(Picture.pixel(P.X, P.Y)), QColor(255, 0, 0)) << Cell;
        // One point in the cell colour; the two others of its X in the row
        // colour, the two others of its Z in the column colour.
        int Coloured = -1;
        for (int I = 0; I < 9; ++I)
            if (F.Surface->GetStoredValueColor(I) == clRed)
                Coloured = I;
        ASSERT_NE(Coloured, -1);
        const double X = F.Surface->XValues()->Value(Coloured);
        const double Z = F.Surface->ZValues()->Value(Coloured);
        int Rows = 0;
        int Columns = 0;
        for (int I = 0; I < 9; ++I) {
            const TColor C = F.Surface->GetStoredValueColor(I);
            const bool SameX = F.Surface->XValues()->Value(I) == X;
            const bool SameZ = F.Surface->ZValues()->Value(I) == Z;
            if (I == Coloured)
                continue;
            EXPECT_EQ(C, SameX ? clBlue : SameZ ? clGreen : clPlotColor) << I;
            Rows += C == clBlue;
            Columns += C == clGreen;
        }
        EXPECT_EQ(Rows, 2);
        EXPECT_EQ(Columns, 2);
    }
    EXPECT_EQ(F.Selections, 4);
}

TEST(SurfaceNearestTool, MovesWithinACellFireNothingAndLeavingRestoresOnce)
{
    TNearestChart F;
    const auto& [Cell, Pixels] = *F.CellPixels.begin();
    ASSERT_GE(Pixels.size(), 2u);
    F.Move(Pixels.front());
    const int Invalidations = F.Chart.Invalidations;
    F.Move(Pixels.back());
    EXPECT_EQ(F.Selections, 1);
    EXPECT_EQ(F.Chart.Invalidations, Invalidations);
    EXPECT_EQ(F.Tool->PointedIndex(), Cell);

    F.Move({2, 2});
    F.Move({3, 3});
    EXPECT_EQ(F.Selections, 2);
    EXPECT_EQ(F.Tool->PointedIndex(), -1);
    // All colours are the series' own again, with a single repaint asked.
    EXPECT_EQ(F.Chart.Invalidations, Invalidations + 1);
    for (int I = 0; I < 9; ++I)
        EXPECT_EQ(F.Surface->GetStoredValueColor(I), clPlotColor);
}

TEST(SurfaceNearestTool, TakesOnlySurfaces)
{
    TNearestChart F;
    auto* Line = new TLineSeries(&F.Chart);
    F.Tool->SetSeries(Line);
    EXPECT_EQ(F.Tool->Series(), nullptr);
    F.Move(F.Middle(F.CellPixels.begin()->first));
    EXPECT_EQ(F.Selections, 0);
    F.Tool->SetSeries(F.Surface);
    delete F.Surface;
    EXPECT_EQ(F.Tool->Series(), nullptr);
    F.Move({200, 150});
}

} // namespace
} // namespace lp
