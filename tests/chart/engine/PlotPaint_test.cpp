// The paint sequence of the axis panel: the order of its steps and tool
// events, series drawing with clipping and same-Z interleaving, and a full
// paint into a bitmap and onto the recording device.

#include "chart/engine/PlotAxisPanel.h"

#include "EngineTestUtil.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotTools.h"
#include "platform/graphics/Bitmap.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/RecordingDC.h"

#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

#include <limits>

namespace lp {
namespace {

using TLog = std::vector<std::string>;

// A chart whose abstract steps write to a log.
class TPaintChart : public TCustomAxisPanel {
public:
    explicit TPaintChart(TLog& Log) : FLog(Log)
    {
        OnBeforeDrawChart = [this](QObject*) { FLog.push_back("before chart"); };
        OnBeforeDrawAxes = [this](QObject*) { FLog.push_back("before axes"); };
        OnBeforeDrawSeries = [this](QObject*) { FLog.push_back("before series"); };
        OnAfterDraw = [this](TCustomPlotPanelExtended*) { FLog.push_back("after draw"); };
        InternalAfterDraw = [this](QObject*) { FLog.push_back("internal after draw"); };
    }
    bool IsFreeSeriesColor(TColor, bool, const TChartSeries*) const override { return true; }
    int CalcWallSize(const TChartAxis*) const override { return 0; }

protected:
    void CalcWallsRect() override { FLog.push_back("walls rect"); }
    void DrawTitlesAndLegend(bool BeforeSeries) override
    {
        FLog.push_back(BeforeSeries ? "titles before" : "titles after");
    }
    void DrawWalls() override { FLog.push_back("walls"); }

private:
    TLog& FLog;
};

class TLogTool : public TPlotCustomTool {
public:
    explicit TLogTool(TLog& Log) : FLog(Log) {}
    void ChartEvent(int Event) override { FLog.push_back("tool " + std::to_string(Event)); }

private:
    TLog& FLog;
};

// Draws a filled 9x9 box at each point and logs its drawing protocol.
class TBoxSeries : public TChartSeries {
public:
    TBoxSeries(TComponent* AOwner, TLog& Log, std::string Name) : TChartSeries(AOwner), FLog(Log), FName(std::move(Name))
    {
    }
    void DoBeforeDrawChart() override { FLog.push_back(FName + " before chart"); }
    void DoBeforeDrawValues() override
    {
        FLog.push_back(FName + " before values");
        TChartSeries::DoBeforeDrawValues();
    }
    void DrawValue(int ValueIndex) override
    {
        FLog.push_back(FName + " value " + std::to_string(ValueIndex));
        TCanvas3D& C = ParentChart()->Canvas();
        C.AssignBrush(*Brush(), GetValueColor(ValueIndex));
        C.Pen()->SetStyle(TPen::psClear);
        const int X = CalcXPos(ValueIndex);
        const int Y = CalcYPos(ValueIndex);
        C.RectangleWithZ(TRect{X - 4, Y - 4, X + 5, Y + 5}, DepthMiddle());
    }
    void DoAfterDrawValues() override
    {
        FLog.push_back(FName + " after values");
        TChartSeries::DoAfterDrawValues();
    }

private:
    TLog& FLog;
    std::string FName;
};

struct TPaintFixture : ::testing::Test {
    TLog Log;
    TPaintChart Chart{Log};
    TBoxSeries* A = nullptr;
    TBoxSeries* B = nullptr;
    TLogTool* Tool = nullptr;

    void SetUp() override
    {
        Chart.SetView3D(false);
        Chart.SetBufferedDisplay(false);
        A = new TBoxSeries(&Chart, Log, "A");
        B = new TBoxSeries(&Chart, Log, "B");
        Chart.AddSeries(A);
        Chart.AddSeries(B);
        A->SetSeriesColor(clRed);
        B->SetSeriesColor(clBlue);
        for (int I = 0; I < 3; ++I) {
            A->AddXY(I, I);
            B->AddXY(I, 2 - I);
        }
        Tool = new TLogTool(Log);
        Chart.Tools().Add(Tool);
    }
    void TearDown() override { delete Tool; }

    std::unique_ptr<TBitmap> Paint()
    {
        Log.clear();
        auto Target = std::make_unique<TBitmap>(Chart.Width(), Chart.Height());
        Chart.DrawToCanvas(&Target->Canvas(), Chart.GetRectangle());
        return Target;
    }
    // The log without the series' own point entries.
    TLog Steps() const
    {
        TLog Result;
        for (const std::string& Entry : Log)
            if (Entry.find(" value ") == std::string::npos)
                Result.push_back(Entry);
        return Result;
    }
};

TEST_F(TPaintFixture, StepsAndToolEventsInOrderWithAxesBehind)
{
    Paint();
    const TLog Expected = {
        "tool 2",          "before chart",    "A before chart", "B before chart", "titles before",
        "walls rect",      "walls",           "tool 3",         "before axes",    "tool 1",
        "before series",   "A before values", "A after values", "B before values", "B after values",
        "tool 4",          "titles after",    "tool 0",         "after draw",     "internal after draw",
    };
    EXPECT_EQ(Steps(), Expected);
    EXPECT_TRUE(Chart.RepaintEnabled());
}

TEST_F(TPaintFixture, AxesInFrontComeAfterTheSeries)
{
    Chart.SetAxisBehind(false);
    Paint();
    TLog Tools;
    for (const std::string& Entry : Log)
        if (Entry.rfind("tool", 0) == 0 || Entry == "before axes")
            Tools.push_back(Entry);
    EXPECT_EQ(Tools, (TLog{"tool 2", "tool 1", "tool 4", "tool 3", "before axes", "tool 0"}));
}

TEST_F(TPaintFixture, InactiveSeriesAndToolsAreLeftOut)
{
    B->SetActive(false);
    Tool->SetActive(false);
    Paint();
    for (const std::string& Entry : Log) {
        EXPECT_EQ(Entry.find("B "), std::string::npos) << Entry;
        EXPECT_EQ(Entry.rfind("tool", 0), std::string::npos) << Entry;
    }
}

TEST_F(TPaintFixture, SeriesPixelsLandWhereTheAxesPutThem)
{
    const auto Image = Paint();
    const TRect R = Chart.ChartRectangle();
    ASSERT_FALSE(R.IsEmpty());
    // A's first point is the bottom-left corner, B's first the top-left.
    const int X0 = A->CalcXPos(0);
    EXPECT_EQ(X0, Chart.BottomAxis()->StartPixel());
    EXPECT_EQ(Image->Canvas().Pixel(X0 + 2, A->CalcYPos(0) - 2), clRed);
    EXPECT_EQ(Image->Canvas().Pixel(X0 + 2, B->CalcYPos(0) + 2), clBlue);
    const int XMid = A->CalcXPos(1);
    EXPECT_EQ(Image->Canvas().Pixel(XMid, A->CalcYPos(1)), clBlue); // B drawn last over A
    // Clipped to the chart rectangle: nothing left of it.
    EXPECT_NE(Image->Canvas().Pixel(X0 - 3, A->CalcYPos(0) - 2), clRed);
}

TEST_F(TPaintFixture, TheRecordingDeviceSeesClipThenTheBoxes)
{
    TRecordingDC DC{400, 250};
    TCanvas Target{&DC};
    Chart.DrawToCanvas(&Target, Chart.GetRectangle());
    const QStringList Calls = DC.Calls();
    int FirstBox = -1;
    int Boxes = 0;
    for (int I = 0; I < Calls.size(); ++I)
        if (Calls[I].startsWith("Rectangle(") || Calls[I].startsWith("Polygon(")) {
            if (FirstBox < 0)
                FirstBox = I;
            ++Boxes;
        }
    EXPECT_GE(Boxes, 6);
    ASSERT_GT(FirstBox, 0);
    bool ClippedBefore = false;
    for (int I = 0; I < FirstBox; ++I)
        ClippedBefore = ClippedBefore || Calls[I].contains("Clip");
    EXPECT_TRUE(ClippedBefore);
}

TEST_F(TPaintFixture, SameZOrderSeriesInterleavePointByPoint)
{
    Chart.SetView3D(true);
    Chart.SetInterleaveSameZOrder(true);
    A->SetZOrderSetting(0);
    B->SetZOrderSetting(0);
    A->Marks()->SetVisible(false);
    Paint();
    TLog Values;
    for (const std::string& Entry : Log)
        if (Entry.find(" value ") != std::string::npos || Entry.find("values") != std::string::npos)
            Values.push_back(Entry);
    const TLog Expected = {"A before values", "B before values", "A value 0", "B value 0", "A value 1",
                           "B value 1",       "A value 2",       "B value 2", "A after values", "B after values"};
    EXPECT_EQ(Values, Expected);
}

TEST_F(TPaintFixture, ThreeDSizesFollowTheChartPercent)
{
    Chart.SetView3D(true);
    Chart.View3DOptions()->SetOrthogonal(true);
    Chart.View3DOptions()->SetZoom(100);
    Paint();
    // Sized from the chart rectangle before the axes took their space.
    const int AfterAxes = RoundToInt32(Chart.ChartRectWidth() * 0.015);
    EXPECT_GE(Chart.SeriesWidth3D(), AfterAxes);
    EXPECT_LE(Chart.SeriesWidth3D(), RoundToInt32(Chart.Width() * 0.015));
    EXPECT_EQ(Chart.Depth3D(), Chart.SeriesWidth3D() * 2); // two series, one Z order each
    EXPECT_EQ(B->DepthStart(), Chart.SeriesWidth3D() * B->ComputedZOrder());
    Chart.SetView3D(false);
    Paint();
    EXPECT_EQ(Chart.Depth3D(), 0);
}

// --- A 3-D box far larger than the window ----------------------------------------------------------

struct TFarBoxView {
    int Zoom;
    int Perspective;
    int Rotation;
    int Elevation;
    int Percent;
};

// A turned 300 x 250 chart of five red bars in the view given.
void SetUpFarBoxChart(TChart& Chart, const TFarBoxView& View)
{
    Chart.SetBounds(0, 0, 300, 250);
    Chart.SetBufferedDisplay(false);
    Chart.SetView3D(true);
    Chart.SetChart3DPercent(View.Percent);
    TView3DOptions& Options = *Chart.View3DOptions();
    Options.SetOrthogonal(false);
    Options.SetZoom(View.Zoom);
    Options.SetPerspective(View.Perspective);
    Options.SetRotation(View.Rotation);
    Options.SetElevation(View.Elevation);
    auto* Bars = new TBarSeries(&Chart);
    Chart.AddSeries(Bars);
    Bars->SetSeriesColor(clRed);
    Bars->Marks()->SetVisible(false);
    for (int I = 0; I < 5; ++I)
        Bars->Add(10 + I * 7);
}

// Zoom 1000 % with perspective 100, and views at zoom 500 % turned so that
// the box's far corners come close to the eye: the series' clip is the
// projected box, which reaches far past the window. Its region was built
// whole, row by row of the box (up to 2.3 s a paint at 300 x 250); it is
// cut to the window first. The bars still show.
TEST(PaintFarBox, TheSeriesClipStaysWithinTheWindowAndTheBarsShow)
{
    const QRegularExpression RegionBounds(QStringLiteral("rgn\\[(-?\\d+),(-?\\d+),(-?\\d+),(-?\\d+);"));
    for (const TFarBoxView& View : {TFarBoxView{1000, 100, 345, 345, 15}, TFarBoxView{500, 100, 300, 15, 15},
                                     TFarBoxView{500, 100, 300, 345, 20}}) {
        SCOPED_TRACE(testing::Message() << View.Zoom << " " << View.Rotation << " " << View.Elevation);
        TChart Chart;
        SetUpFarBoxChart(Chart, View);
        TRecordingDC DC(300, 250);
        TCanvas Target(&DC);
        Chart.DrawToCanvas(&Target, Chart.GetRectangle());
        const QStringList Clips = DC.CallsStartingWith(QStringLiteral("ExtSelectClipRgn("));
        ASSERT_FALSE(Clips.isEmpty());
        for (const QString& Clip : Clips) {
            const QRegularExpressionMatch Bounds = RegionBounds.match(Clip);
            ASSERT_TRUE(Bounds.hasMatch()) << Clip.toStdString();
            EXPECT_GE(Bounds.captured(1).toInt(), -2) << Clip.toStdString();
            EXPECT_GE(Bounds.captured(2).toInt(), -2) << Clip.toStdString();
            EXPECT_LE(Bounds.captured(3).toInt(), 302) << Clip.toStdString();
            EXPECT_LE(Bounds.captured(4).toInt(), 252) << Clip.toStdString();
        }
        const QImage Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
        EXPECT_GT(test::CountPixelsOf(Picture, qRgb(255, 0, 0)), 100);
    }
}

// Offsets at the ends of the integer range push the turned view's origin far
// off the device: every paint raised "Value ... is out of the integer
// range" and drew nothing. The points are held at the projection's limit;
// the paint ends, and what is not turned (the legend) still shows.
TEST(PaintFarBox, ExtremeOffsetsPaintWithoutRaising)
{
    TChart Chart;
    SetUpFarBoxChart(Chart, {100, 15, 345, 345, 15});
    Chart.View3DOptions()->SetHorizOffset(std::numeric_limits<int>::max());
    Chart.View3DOptions()->SetVertOffset(std::numeric_limits<int>::min());
    QImage Picture;
    ASSERT_NO_THROW(Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage());
    // The legend's red symbol of the series.
    EXPECT_GT(test::CountPixelsOf(Picture, qRgb(255, 0, 0)), 20);
}

} // namespace
} // namespace lp
