// The pie slice tool: the explode animation's offsets, moving from slice
// to slice, the outline colour where it clashes with the slice, and a
// series that is not a pie.

#include "chart/extensions/tools/PlotPieTool.h"

#include "ToolsTestUtil.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotSeries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace lp {
namespace {

// Notes each new slice offset the chart is asked to show.
class TFrameChart : public test::TCountingToolChart {
public:
    void Invalidate() override
    {
        test::TCountingToolChart::Invalidate();
        if (!Pie)
            return;
        for (int I = 0; I < Pie->Count(); ++I) {
            const int Offset = Pie->ExplodedSlice().Value(I);
            if (Shown[I] != Offset)
                Frames.emplace_back(I, Offset);
            Shown[I] = Offset;
        }
    }
    TPieSeries* Pie = nullptr;
    std::map<int, int> Shown;
    std::vector<std::pair<int, int>> Frames;
};

struct TPieChart {
    TFrameChart Chart;
    TPieSeries* Pie = nullptr;
    TPieTool* Tool = nullptr;
    // A pixel over each slice.
    std::map<int, TPoint> SlicePixels;

    TPieChart()
    {
        Chart.SetBounds(0, 0, 400, 300);
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        Pie = new TPieSeries(&Chart);
        Chart.AddSeries(Pie);
        Pie->Add(30, {}, clRed);
        Pie->Add(50, {}, clGreen);
        Pie->Add(20, {}, clBlue);
        Tool = new TPieTool(&Chart);
        Chart.Tools().Add(Tool);
        Tool->SetSeries(Pie);
        Tool->SetDelay(0);
        Picture();
        // The middle of each slice's pixels, inside it exploded or not.
        std::map<int, std::pair<long, long>> Sums;
        std::map<int, long> Counts;
        for (int Y = 0; Y < 300; Y += 5)
            for (int X = 0; X < 400; X += 5)
                if (const int S = Pie->ClickedSlice(X, Y); S >= 0) {
                    Sums[S].first += X;
                    Sums[S].second += Y;
                    ++Counts[S];
                }
        for (const auto& [S, Sum] : Sums)
            SlicePixels[S] = TPoint{int(Sum.first / Counts[S]), int(Sum.second / Counts[S])};
        Chart.Pie = Pie;
    }
    QImage Picture()
    {
        TBitmap Target(400, 300);
        Chart.DrawToCanvas(&Target.Canvas(), Chart.GetRectangle());
        return Target.ToImage();
    }
    void MoveTo(int Slice) { Chart.MouseMove({}, SlicePixels.at(Slice).X, SlicePixels.at(Slice).Y); }
};

// The offsets a slice shows exploding (from 0) or shrinking (from 40):
// round(k · 40 / 30), k counting up or down, then 0 when shrinking; a frame
// that repeats the offset shown shows nothing new.
std::vector<std::pair<int, int>> Explosion(int Slice, bool Out)
{
    std::vector<std::pair<int, int>> Frames;
    int Shown = Out ? 0 : 40;
    const auto Show = [&](int Offset) {
        if (Offset != Shown)
            Frames.emplace_back(Slice, Offset);
        Shown = Offset;
    };
    for (int K = 1; K <= 30; ++K)
        Show(static_cast<int>(std::lround((Out ? K : 31 - K) * 40.0 / 30)));
    if (!Out)
        Show(0);
    return Frames;
}

TEST(PieTool, ExplodesInThirtyFramesAndShrinksBeforeTheNextSlice)
{
    TPieChart F;
    F.Tool->SetStyle(ptExplode);
    ASSERT_TRUE(F.SlicePixels.count(0) && F.SlicePixels.count(1));
    F.MoveTo(0);
    EXPECT_EQ(F.Tool->Slice(), 0);
    EXPECT_EQ(F.Chart.Frames, Explosion(0, true));
    EXPECT_EQ(F.Chart.Frames.front().second, 1);
    EXPECT_EQ(F.Chart.Frames.back().second, 40);

    // Moving within the slice changes nothing.
    F.Chart.Frames.clear();
    F.Picture();
    F.MoveTo(0);
    EXPECT_TRUE(F.Chart.Frames.empty());

    F.MoveTo(1);
    std::vector<std::pair<int, int>> Expected = Explosion(0, false);
    const auto Out = Explosion(1, true);
    Expected.insert(Expected.end(), Out.begin(), Out.end());
    EXPECT_EQ(F.Chart.Frames, Expected);
    EXPECT_EQ(F.Pie->ExplodedSlice().Value(0), 0);
    EXPECT_EQ(F.Pie->ExplodedSlice().Value(1), 40);
}

TEST(PieTool, OutlinesInBlackOrWhiteWhereThePenClashes)
{
    TPieTool Tool;
    Tool.Pen()->SetColor(clRed);
    EXPECT_EQ(Tool.OutlineColor(clGreen), clRed);
    EXPECT_EQ(Tool.OutlineColor(clRed), clBlack);
    Tool.Pen()->SetColor(clBlack);
    EXPECT_EQ(Tool.OutlineColor(clBlack), clWhite);
    EXPECT_EQ(Tool.Pen()->Width(), 4);

    // The focused red slice gets a black outline of width 4 at every paint.
    TPieChart F;
    F.Tool->Pen()->SetColor(clRed);
    const QImage Plain = F.Picture();
    const int Before = F.Chart.Invalidations;
    F.MoveTo(0);
    EXPECT_EQ(F.Chart.Invalidations, Before + 1);
    const QImage Focused = F.Picture();
    int Black = 0;
    for (int Y = 0; Y < 300; ++Y)
        for (int X = 0; X < 400; ++X)
            if (Focused.pixel(X, Y) != Plain.pixel(X, Y)) {
                EXPECT_EQ(QColor(Focused.pixel(X, Y)), QColor(Qt::black)) << X << "," << Y;
                ++Black;
                if (Black > 2000)
                    break;
            }
    EXPECT_GT(Black, 200);
    // Leaving the pie takes the outline away.
    F.Chart.MouseMove({}, 1, 1);
    EXPECT_EQ(F.Tool->Slice(), -1);
    EXPECT_EQ(F.Picture(), Plain);
}

TEST(PieTool, IgnoresASeriesThatIsNotAPie)
{
    test::TToolChart F;
    auto* Line = new TLineSeries(&F.Chart);
    F.Chart.AddSeries(Line);
    Line->AddXY(10, 10);
    Line->AddXY(90, 90);
    auto* Tool = new TPieTool(&F.Chart);
    F.Chart.Tools().Add(Tool);
    Tool->SetSeries(Line);
    F.Picture();
    const int Before = F.Chart.Invalidations;
    const TPoint P = F.Pixel(50, 50);
    F.Move(P.X, P.Y);
    EXPECT_EQ(Tool->Slice(), -1);
    EXPECT_EQ(Tool->Pie(), nullptr);
    EXPECT_EQ(F.Chart.Invalidations, Before);
}

} // namespace
} // namespace lp
