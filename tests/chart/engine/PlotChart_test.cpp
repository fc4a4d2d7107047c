// The chart control: chart parts under the mouse, clicks and their events,
// zoom and panning (of logarithmic axes too), the wheel and the right-click
// menus, driven by synthetic mouse events on an offscreen window; and a
// rendered chart compared with its reference image.

#include "chart/engine/PlotChart.h"

#include "EngineTestUtil.h"
#include "ReferenceImage.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/StringList.h"

#include <QtTest/QTest>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

// A series drawing a filled square at each point; a point is hit within 4
// pixels.
class TSquareSeries : public TChartSeries {
public:
    using TChartSeries::TChartSeries;
    void DrawValue(int ValueIndex) override
    {
        TCanvas3D& C = ParentChart()->Canvas();
        C.AssignBrush(*Brush(), GetValueColor(ValueIndex));
        C.AssignVisiblePen(*Pen());
        const int X = CalcXPos(ValueIndex);
        const int Y = CalcYPos(ValueIndex);
        C.RectangleWithZ(TRect{X - 4, Y - 4, X + 5, Y + 5}, DepthMiddle());
    }
    int Clicked(int X, int Y) override
    {
        for (int I = 0; I < Count(); ++I)
            if (std::abs(CalcXPos(I) - X) <= 4 && std::abs(CalcYPos(I) - Y) <= 4)
                return I;
        return -1;
    }
};

// Records the tool mouse events and can cancel the press.
class TCancellingTool : public TPlotCustomTool {
public:
    using TPlotCustomTool::TPlotCustomTool;
    void ChartMouseEvent(int Kind, TMouseButton, TShiftState, int, int) override
    {
        Kinds.push_back(Kind);
        if (Cancel && Kind == cmeDown)
            ParentChart()->SetMouseCancelled(true);
    }
    std::vector<int> Kinds;
    bool Cancel = false;
};

struct ChartWindow : ::testing::Test {
    TChart Chart;
    TSquareSeries* Series = nullptr;
    QWidget* Window = nullptr;

    void SetUp() override
    {
        Chart.SetBounds(0, 0, 400, 300);
        Chart.SetView3D(false);
        Chart.Legend()->SetVisible(false);
        Series = new TSquareSeries(&Chart);
        Chart.AddSeries(Series);
        for (int I = 0; I <= 10; ++I)
            Series->AddXY(I, I * 10);
        Window = Chart.Widget();
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
        Window->repaint();
    }
    // The entry points the library's start-up registered come back after
    // each test.
    TChartEditorEntryPoints SavedEntryPoints = ChartEditorEntryPoints();
    void TearDown() override { ChartEditorEntryPoints() = SavedEntryPoints; }

    QPoint PointOf(int Index) const { return QPoint(Series->CalcXPos(Index), Series->CalcYPos(Index)); }
    QPoint Inside() const
    {
        const TRect R = Chart.ChartRectangle();
        return QPoint((R.Left + R.Right) / 2 + 7, (R.Top + R.Bottom) / 2 + 3);
    }
    void Drag(Qt::MouseButton Button, QPoint From, QPoint To)
    {
        QTest::mousePress(Window, Button, {}, From);
        QTest::mouseMove(Window, (From + To) / 2);
        QTest::mouseMove(Window, To);
        QTest::mouseRelease(Window, Button, {}, To);
    }
};

TEST_F(ChartWindow, PartsUnderTheMouse)
{
    const TChartClickedPart OnPoint = Chart.CalcClickedPart(PointOf(3).x(), PointOf(3).y());
    EXPECT_EQ(OnPoint.Part, cpSeries);
    EXPECT_EQ(OnPoint.ASeries, Series);
    EXPECT_EQ(OnPoint.PointIndex, 3);
    EXPECT_EQ(Chart.CalcClickedPart(Inside().x(), Inside().y()).Part, cpChartRect);
    const TChartAxis* Left = Chart.LeftAxis();
    const TChartClickedPart OnAxis = Chart.CalcClickedPart(Left->AxisLinePixel() - 2, Left->CenterPixel());
    EXPECT_EQ(OnAxis.Part, cpAxis);
    EXPECT_EQ(OnAxis.AAxis, Left);
    EXPECT_EQ(Chart.CalcClickedPart(1, 1).Part, cpNone);
    Chart.Title()->Text()->Add("Depth section");
    Chart.Title()->SetVisible(true);
    Window->repaint();
    const TRect TitleBox = Chart.Title()->ShapeBounds();
    EXPECT_EQ(Chart.CalcClickedPart((TitleBox.Left + TitleBox.Right) / 2, (TitleBox.Top + TitleBox.Bottom) / 2).Part,
              cpTitle);
    // Every other block of text, and a mark.
    Chart.SubTitle()->Text()->Add("Profile 7");
    Chart.Foot()->Text()->Add("Survey 2026");
    Chart.SubFoot()->Text()->Add("Vertical scale 1:2");
    Series->Marks()->SetVisible(true);
    Series->Marks()->SetStyle(TSeriesMarks::smsValue);
    Window->repaint();
    const auto CentreOf = [](const TRect& R) { return std::pair{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; };
    const std::pair<TChartTitle*, TChartClickedPartStyle> Blocks[] = {
        {Chart.SubTitle(), cpSubTitle}, {Chart.Foot(), cpFoot}, {Chart.SubFoot(), cpSubFoot}};
    for (const auto& [Block, Expected] : Blocks) {
        const auto [X, Y] = CentreOf(Block->ShapeBounds());
        EXPECT_EQ(Chart.CalcClickedPart(X, Y).Part, Expected) << int(Expected);
    }
    const TSeriesMarkPosition* Mark = Series->Marks()->Positions().GetPosition(5);
    ASSERT_NE(Mark, nullptr);
    const auto [MX, MY] = CentreOf(Mark->Bounds());
    const TChartClickedPart OnMark = Chart.CalcClickedPart(MX, MY);
    EXPECT_EQ(OnMark.Part, cpSeriesMarks);
    EXPECT_EQ(OnMark.PointIndex, 5);
}

TEST_F(ChartWindow, ClickEventsAndOneBackgroundCall)
{
    std::vector<std::string> Log;
    Chart.OnClickBackground = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { Log.push_back("background"); };
    Chart.OnClickSeries = [&](TCustomChart*, TChartSeries*, int Index, TMouseButton, TShiftState, int, int) {
        Log.push_back("series " + std::to_string(Index));
    };
    Series->OnClick = [&](TChartSeries*, int Index, TMouseButton, TShiftState, int, int) {
        Log.push_back("own " + std::to_string(Index));
    };
    Chart.Zoom()->SetAllow(false);
    Chart.SetAllowPanning(TCustomPlotPanelExtended::pmNone);
    QTest::mouseClick(Window, Qt::LeftButton, {}, Inside());
    EXPECT_EQ(Log, (std::vector<std::string>{"background"}));
    Log.clear();
    QTest::mouseClick(Window, Qt::LeftButton, {}, PointOf(2));
    // A click event handles the press unless its handler clears
    // MouseCancelled; then the background hears nothing.
    EXPECT_EQ(Log, (std::vector<std::string>{"own 2", "series 2"}));
    Log.clear();
    Chart.OnClickSeries = [&](TCustomChart* Sender, TChartSeries*, int, TMouseButton, TShiftState, int, int) {
        Log.push_back("passed on");
        Sender->SetMouseCancelled(false);
    };
    Series->OnClick = nullptr;
    QTest::mouseClick(Window, Qt::LeftButton, {}, PointOf(2));
    EXPECT_EQ(Log, (std::vector<std::string>{"passed on", "background"}));
}

TEST_F(ChartWindow, ToolsSeeThePressFirstAndMayCancelIt)
{
    auto* Tool = new TCancellingTool(&Chart);
    Chart.Tools().Add(Tool);
    int Background = 0;
    Chart.OnClickBackground = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { ++Background; };
    Tool->Cancel = true;
    QTest::mouseClick(Window, Qt::LeftButton, {}, Inside());
    EXPECT_EQ(Background, 0);
    ASSERT_FALSE(Tool->Kinds.empty());
    EXPECT_EQ(Tool->Kinds.front(), cmeDown);
    EXPECT_EQ(Tool->Kinds.back(), cmeUp);
    EXPECT_FALSE(Chart.Zoom()->Active);
}

TEST_F(ChartWindow, DraggingZoomsAndBackwardsUndoes)
{
    const double Min = Chart.BottomAxis()->CalcMinimum();
    const double Max = Chart.BottomAxis()->CalcMaximum();
    const QPoint From = PointOf(2) + QPoint(10, -30);
    const QPoint To = PointOf(6) + QPoint(0, 30);
    Drag(Qt::LeftButton, From, To);
    EXPECT_TRUE(Chart.Zoomed());
    EXPECT_FALSE(Chart.BottomAxis()->Automatic());
    EXPECT_GT(Chart.BottomAxis()->Minimum(), 2);
    EXPECT_LT(Chart.BottomAxis()->Maximum(), 6.5);
    Window->repaint();
    // Backwards: everything as before the zoom, automatic again.
    Drag(Qt::LeftButton, Inside() + QPoint(40, 30), Inside() - QPoint(40, 30));
    EXPECT_FALSE(Chart.Zoomed());
    EXPECT_TRUE(Chart.BottomAxis()->Automatic());
    Window->repaint();
    EXPECT_DOUBLE_EQ(Chart.BottomAxis()->CalcMinimum(), Min);
    EXPECT_DOUBLE_EQ(Chart.BottomAxis()->CalcMaximum(), Max);
}

TEST_F(ChartWindow, AShortDragDoesNotZoom)
{
    const int Pixels = Chart.Zoom()->MinimumPixels();
    Drag(Qt::LeftButton, Inside(), Inside() + QPoint(Pixels, Pixels));
    EXPECT_FALSE(Chart.Zoomed());
    EXPECT_TRUE(Chart.BottomAxis()->Automatic());
}

TEST_F(ChartWindow, TheRightButtonPansAndStopsOutside)
{
    const double Min = Chart.BottomAxis()->CalcMinimum();
    const double PerPixel = Chart.BottomAxis()->CalcRange() / Chart.BottomAxis()->AxisPixelSize();
    Drag(Qt::RightButton, Inside(), Inside() + QPoint(-20, 0));
    EXPECT_NEAR(Chart.BottomAxis()->Minimum(), Min + 20 * PerPixel, 1e-9);
    EXPECT_FALSE(Chart.Panning().Active);
    // Leaving the chart rectangle ends panning.
    QTest::mousePress(Window, Qt::RightButton, {}, Inside());
    EXPECT_TRUE(Chart.Panning().Active);
    QTest::mouseMove(Window, QPoint(2, 2));
    EXPECT_FALSE(Chart.Panning().Active);
    QTest::mouseRelease(Window, Qt::RightButton, {}, QPoint(2, 2));
    Chart.UndoZoom();
    EXPECT_TRUE(Chart.BottomAxis()->Automatic());
}

TEST_F(ChartWindow, TheWheelScrollsVerticalAxesByThreePercent)
{
    const double Min = Chart.LeftAxis()->CalcMinimum();
    const double Range = Chart.LeftAxis()->CalcRange();
    const double BottomMin = Chart.BottomAxis()->CalcMinimum();
    QWheelEvent Wheel(QPointF(Inside()), Window->mapToGlobal(QPointF(Inside())), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(Window, &Wheel);
    EXPECT_NEAR(Chart.LeftAxis()->Minimum(), Min + Range * 0.03, 1e-9);
    EXPECT_EQ(Chart.BottomAxis()->CalcMinimum(), BottomMin);
}

// --- Scroll and zoom of logarithmic axes ---------------------------------------------------------

// The chart's points replaced by (X, Y) pairs, the left axis logarithmic
// with its labels in exponent form (a label of 1e300 in full would leave the
// chart no room).
void SetLogPoints(ChartWindow& W, std::initializer_list<std::pair<double, double>> Points)
{
    W.Series->Clear();
    for (const auto& [X, Y] : Points)
        W.Series->AddXY(X, Y);
    W.Chart.LeftAxis()->SetAxisValuesFormat("0.0E+0");
    W.Chart.LeftAxis()->SetLogarithmic(true);
    W.Window->repaint();
}

// A right-button drag across the whole height of the chart rectangle, in
// ten moves; Down drags from the top to the bottom.
void PanAcross(ChartWindow& W, bool Down)
{
    const TRect R = W.Chart.ChartRectangle();
    const int X = (R.Left + R.Right) / 2;
    const QPoint Top(X, R.Top + 1);
    const QPoint Bottom(X, R.Bottom - 2);
    const QPoint From = Down ? Top : Bottom;
    const QPoint To = Down ? Bottom : Top;
    QTest::mousePress(W.Window, Qt::RightButton, {}, From);
    for (int Step = 1; Step <= 10; ++Step)
        QTest::mouseMove(W.Window, From + (To - From) * Step / 10);
    QTest::mouseRelease(W.Window, Qt::RightButton, {}, To);
}

TEST_F(ChartWindow, PanningALinLogAxisStopsShortOfTheLargestDouble)
{
    // Regression: the limits went on past the largest double to inf, and
    // the next move made them NaN.
    SetLogPoints(*this, {{0, -1e300}, {5, 5e-324}, {10, 1e300}});
    ASSERT_TRUE(Chart.LeftAxis()->LinLogActive());
    const TChartAxis& Left = *Chart.LeftAxis();
    PanAcross(*this, true);
    EXPECT_GT(Left.Maximum(), 1e300); // the scroll itself goes on
    for (bool Down : {true, true, false, false}) {
        PanAcross(*this, Down);
        EXPECT_TRUE(std::isfinite(Left.Minimum()) && std::isfinite(Left.Maximum()))
            << Left.Minimum() << " " << Left.Maximum();
        EXPECT_LT(Left.Minimum(), Left.Maximum());
    }
    Window->repaint();
    EXPECT_GT(Left.CalcRange(), 0);
    EXPECT_TRUE(std::isfinite(Left.CalcRange()));
}

TEST_F(ChartWindow, PanningAPlainLogAxisKeepsPositiveLimits)
{
    // An ordinary range moves by the same factor at both ends.
    SetLogPoints(*this, {{0, 1}, {5, 10}, {10, 1000}});
    const TChartAxis& Left = *Chart.LeftAxis();
    ASSERT_FALSE(Left.LinLogActive());
    Drag(Qt::RightButton, Inside(), Inside() + QPoint(0, 30));
    EXPECT_GT(Left.Minimum(), 1);
    EXPECT_NEAR(Left.Maximum() / Left.Minimum(), 1000, 1e-6);
    // Down from the smallest double: the lower limit would fall to 0 (or
    // the upper past the largest double), so those moves are refused.
    Chart.UndoZoom();
    SetLogPoints(*this, {{0, 5e-324}, {10, 1e-300}});
    for (bool Down : {false, false, false}) {
        PanAcross(*this, Down);
        EXPECT_GT(Left.Minimum(), 0);
        EXPECT_TRUE(std::isfinite(Left.Maximum()));
    }
    Chart.UndoZoom();
    SetLogPoints(*this, {{0, 1e-300}, {10, 1e300}});
    for (bool Down : {true, true, true}) {
        PanAcross(*this, Down);
        EXPECT_GT(Left.Minimum(), 0);
        EXPECT_TRUE(std::isfinite(Left.Maximum()));
    }
}

TEST_F(ChartWindow, LimitsAScrollHandlerGivesBeyondTheDoublesAreRefused)
{
    const double Min = Chart.BottomAxis()->Minimum();
    Chart.OnAllowScroll = [](TChartAxis*, double& NewMin, double&, bool&) { NewMin = std::nan(""); };
    Drag(Qt::RightButton, Inside(), Inside() + QPoint(-20, 0));
    EXPECT_EQ(Chart.BottomAxis()->Minimum(), Min);
    EXPECT_TRUE(std::isfinite(Chart.LeftAxis()->Minimum()));
}

TEST_F(ChartWindow, AZoomPastTheEndOfALogAxisLeavesThatAxisAsItWas)
{
    // Regression: a zoom released below a logarithmic axis reaching down to
    // the smallest double set its minimum to 0, which has no logarithm.
    SetLogPoints(*this, {{0, 5e-324}, {5, 1}, {10, 1e300}});
    const TChartAxis& Left = *Chart.LeftAxis();
    const double Min = Left.Minimum();
    const double Max = Left.Maximum();
    const TRect R = Chart.ChartRectangle();
    Drag(Qt::LeftButton, QPoint(R.Left + 40, R.Top + 20), QPoint(R.Right - 40, Window->height() - 2));
    EXPECT_TRUE(Chart.Zoomed());
    EXPECT_GT(Chart.BottomAxis()->Minimum(), 0.5); // the other axes zoom
    EXPECT_EQ(Left.Minimum(), Min);
    EXPECT_EQ(Left.Maximum(), Max);
    Chart.UndoZoom();
    // A zoom inside the axis takes it as usual.
    Drag(Qt::LeftButton, QPoint(R.Left + 40, R.Top + 20), QPoint(R.Right - 40, R.Bottom - 20));
    EXPECT_GT(Left.Minimum(), Min);
    EXPECT_LT(Left.Maximum(), Max);
    Chart.UndoZoom();
    // Both axes logarithmic, the zoom past both ends: both keep their ranges.
    Series->Clear();
    for (double V : {5e-324, 1.0, 1e300})
        Series->AddXY(V, V);
    Chart.BottomAxis()->SetAxisValuesFormat("0.0E+0");
    Chart.BottomAxis()->SetLogarithmic(true);
    Window->repaint();
    const double BottomMin = Chart.BottomAxis()->Minimum();
    const double BottomMax = Chart.BottomAxis()->Maximum();
    Drag(Qt::LeftButton, QPoint(R.Left + 40, R.Top + 20), QPoint(Window->width() - 2, Window->height() - 2));
    EXPECT_EQ(Chart.BottomAxis()->Minimum(), BottomMin);
    EXPECT_EQ(Chart.BottomAxis()->Maximum(), BottomMax);
    EXPECT_EQ(Left.Minimum(), Min);
    EXPECT_EQ(Left.Maximum(), Max);
}

TEST_F(ChartWindow, ShiftRightClickOpensTheMenuOfThePart)
{
    std::vector<TChartAxis*> Edited;
    int AxisActions = 0;
    ChartEditorEntryPoints().ShowAxisEditor = [&](TCustomChart*, TChartAxis* Axis) { Edited.push_back(Axis); };
    Chart.OnAxisPopupAction = [&](QObject*) { ++AxisActions; };
    const TChartAxis* Left = Chart.LeftAxis();
    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, QPoint(Left->AxisLinePixel() - 2, Left->CenterPixel()));
    TPopupMenu& Menu = Chart.PopupMenu();
    ASSERT_EQ(Menu.Count(), 2);
    EXPECT_EQ(Menu.Item(0).Caption, "Options");
    EXPECT_EQ(Menu.Item(1).Caption, "Default");
    EXPECT_TRUE(Menu.Item(0).Enabled);
    EXPECT_TRUE(Menu.Item(1).Enabled); // the start-up registered the appearance texts
    Menu.Click(0);
    EXPECT_EQ(Edited, (std::vector<TChartAxis*>{Chart.LeftAxis()}));
    EXPECT_EQ(AxisActions, 1);
    EXPECT_FALSE(Chart.Panning().Active);

    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, PointOf(4));
    ASSERT_EQ(Menu.Count(), 2);
    EXPECT_EQ(Chart.PopupSeries(), Series);
    EXPECT_FALSE(Menu.Item(0).Enabled); // no series editor registered: present, disabled

    // A series menu's action is followed by its own notification, an axis
    // menu's by the axis one only.
    std::vector<TChartSeries*> SeriesEdited;
    int SeriesActions = 0;
    ChartEditorEntryPoints().ShowSeriesEditor = [&](TChartSeries* Edited) { SeriesEdited.push_back(Edited); };
    Chart.OnSeriesPopupAction = [&](QObject* Sender) {
        EXPECT_EQ(Sender, &Chart);
        EXPECT_EQ(SeriesEdited.size(), 1u) << "after the editor";
        ++SeriesActions;
    };
    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, PointOf(4));
    ASSERT_TRUE(Menu.Item(0).Enabled);
    Menu.Click(0);
    EXPECT_EQ(SeriesActions, 1);
    EXPECT_EQ(AxisActions, 1);
    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, QPoint(Left->AxisLinePixel() - 2, Left->CenterPixel()));
    Menu.Click(0);
    EXPECT_EQ(SeriesActions, 1);
    EXPECT_EQ(AxisActions, 2);
    ChartEditorEntryPoints().ShowSeriesEditor = nullptr;
}

TEST_F(ChartWindow, ASeriesWithoutPopupEndsThePress)
{
    Series->SetNoPopup(true);
    int SeriesClicks = 0;
    Chart.OnClickSeries = [&](TCustomChart*, TChartSeries*, int, TMouseButton, TShiftState, int, int) {
        ++SeriesClicks;
    };
    Chart.PopupMenu().SetItems({});
    QTest::mousePress(Window, Qt::RightButton, Qt::ShiftModifier, PointOf(4));
    EXPECT_EQ(Chart.PopupMenu().Count(), 0);
    EXPECT_EQ(SeriesClicks, 0);
    EXPECT_FALSE(Chart.Panning().Active);
    QTest::mouseRelease(Window, Qt::RightButton, Qt::ShiftModifier, PointOf(4));
}

// The menu kept raw pointers: freeing its series or axis while it was open
// and then choosing "Default" read freed memory.
TEST_F(ChartWindow, MenuObjectsFreedWhileTheMenuIsOpenAreForgotten)
{
    int SeriesDefaults = 0;
    int AxisDefaults = 0;
    ChartEditorEntryPoints().SeriesSettingsFromText = [&](TChartSeries*, const QString&) { ++SeriesDefaults; };
    ChartEditorEntryPoints().AxisSettingsFromText = [&](TChartAxis*, const QString&) { ++AxisDefaults; };

    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, PointOf(4));
    ASSERT_EQ(Chart.PopupSeries(), Series);
    ASSERT_EQ(Chart.PopupMenu().Count(), 2);
    delete Series;
    Series = nullptr;
    EXPECT_EQ(Chart.PopupSeries(), nullptr);
    Chart.PopupMenu().Click(1); // "Default"
    EXPECT_EQ(SeriesDefaults, 0);

    // A custom axis in the middle of the chart, carrying a series.
    auto* Custom = qobject_cast<TChartAxis*>(Chart.CustomAxes().Add());
    ASSERT_NE(Custom, nullptr);
    Custom->SetPositionPercent(50);
    auto* OnCustom = new TSquareSeries(&Chart);
    Chart.AddSeries(OnCustom);
    OnCustom->SetCustomVertAxis(Custom);
    OnCustom->AddXY(0, 0);
    OnCustom->AddXY(10, 1);
    Window->repaint();
    const QPoint OnAxis(Custom->AxisLinePixel() - 2, (Chart.ChartRectangle().Top + Chart.ChartRectangle().Bottom) / 2 + 9);
    ASSERT_EQ(Chart.CalcClickedPart(OnAxis.x(), OnAxis.y()).AAxis, Custom);
    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, OnAxis);
    ASSERT_EQ(Chart.PopupAxis(), Custom);
    ASSERT_EQ(Chart.PopupMenu().Count(), 2);
    Chart.CustomAxes().Delete(0);
    EXPECT_EQ(Chart.PopupAxis(), nullptr);
    EXPECT_EQ(OnCustom->GetVertAxis(), Chart.LeftAxis());
    Chart.PopupMenu().Click(1); // "Default"
    EXPECT_EQ(AxisDefaults, 0);

    // A standard axis stays the menu's axis.
    const TChartAxis* Left = Chart.LeftAxis();
    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, QPoint(Left->AxisLinePixel() - 2, Left->CenterPixel()));
    ASSERT_EQ(Chart.PopupAxis(), Left);
    Chart.PopupMenu().Click(1);
    EXPECT_EQ(AxisDefaults, 1);
}

TEST(ChartControl, AxisNamesAndFreeColours)
{
    TChart Chart;
    EXPECT_EQ(Chart.GetAxisTitleOrName(Chart.LeftAxis()), "Left Axis");
    EXPECT_EQ(Chart.GetAxisTitleOrName(Chart.DepthTopAxis()), "Depth Top");
    Chart.BottomAxis()->Title()->SetCaption("Distance, m");
    EXPECT_EQ(Chart.GetAxisTitleOrName(Chart.BottomAxis()), "Distance, m");
    EXPECT_FALSE(Chart.IsFreeSeriesColor(Chart.BackWall()->Color(), true, nullptr));
    EXPECT_TRUE(Chart.IsFreeSeriesColor(Chart.BackWall()->Color(), false, nullptr));
    EXPECT_EQ(Chart.FirstActiveSeries(), nullptr);
}

TEST(ChartControl, StoredBackColourAndPaletteIndex)
{
    TChart Chart;
    TPropertyDefinitions Definitions;
    Chart.DefineProperties(Definitions);
    ASSERT_NE(Definitions.Find("BackColor"), nullptr);
    EXPECT_FALSE(Definitions.Find("BackColor")->WriteValue);
    Definitions.Find("BackColor")->ReadValue(QString("clYellow"));
    EXPECT_EQ(Chart.BackWall()->Color(), clYellow);
    EXPECT_FALSE(Definitions.Find("ColorPaletteIndex")->HasData);
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// A chart with three titled series and a legend with check boxes.
struct LegendWindow : ::testing::Test {
    TChart Chart;
    std::vector<TSquareSeries*> All;
    QWidget* Window = nullptr;

    void SetUp() override
    {
        Chart.SetBounds(0, 0, 420, 300);
        Chart.SetView3D(false);
        Chart.Legend()->SetCheckBoxes(true);
        for (int S = 0; S < 3; ++S) {
            All.push_back(new TSquareSeries(&Chart));
            All.back()->SetTitle("Log " + QString::number(S + 1));
            Chart.AddSeries(All.back());
            for (int I = 0; I < 5; ++I)
                All.back()->AddXY(I, I * (S + 1));
        }
        Window = Chart.Widget();
        Window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
        Window->repaint();
    }
    // The entry points the library's start-up registered come back after
    // each test.
    TChartEditorEntryPoints SavedEntryPoints = ChartEditorEntryPoints();
    void TearDown() override { ChartEditorEntryPoints() = SavedEntryPoints; }

    // The centre of legend item Index.
    QPoint ItemPoint(int Index)
    {
        const TRect R = Chart.Legend()->RectLegend();
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                if (Chart.Legend()->Clicked(X, Y) == Index)
                    return QPoint(X + 4, Y + 2);
        ADD_FAILURE() << "no legend item " << Index;
        return {};
    }
};

TEST_F(LegendWindow, TheLegendIsAPartAndItsMenuSwitchesTheCheckMode)
{
    const QPoint Second = ItemPoint(1);
    const TChartClickedPart Part = Chart.CalcClickedPart(Second.x(), Second.y());
    EXPECT_EQ(Part.Part, cpLegend);
    EXPECT_EQ(Part.PointIndex, 1);

    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, Second);
    TPopupMenu& Menu = Chart.PopupMenu();
    ASSERT_EQ(Menu.Count(), 4);
    const QStringList Captions{Menu.Item(0).Caption, Menu.Item(1).Caption, Menu.Item(2).Caption,
                               Menu.Item(3).Caption};
    EXPECT_EQ(Captions, (QStringList{"Options", "Visible", "X auto", "Y auto"}));
    EXPECT_FALSE(Menu.Item(0).Enabled); // no legend options form registered
    EXPECT_TRUE(Menu.Item(1).Checked);
    EXPECT_FALSE(Menu.Item(2).Checked || Menu.Item(3).Checked);
    Menu.Click(2);
    EXPECT_EQ(Chart.LegendCheckMode(), 1);

    // The check box now toggles the horizontal exclusion, not visibility.
    Window->repaint();
    QTest::mouseClick(Window, Qt::LeftButton, {}, ItemPoint(1));
    EXPECT_TRUE(All[1]->HorizontalExcluded());
    EXPECT_TRUE(All[1]->Active());
}

TEST_F(LegendWindow, ShiftLeftTogglesEverySeriesAndRightOpensTheEditor)
{
    std::vector<TChartSeries*> Edited;
    ChartEditorEntryPoints().ShowSeriesEditor = [&](TChartSeries* S) { Edited.push_back(S); };
    QTest::mouseClick(Window, Qt::RightButton, {}, ItemPoint(2));
    EXPECT_EQ(Edited, (std::vector<TChartSeries*>{All[2]}));
    All[2]->SetNoPopup(true);
    QTest::mouseClick(Window, Qt::RightButton, {}, ItemPoint(2));
    EXPECT_EQ(Edited.size(), 1u);
    // Without check boxes a Shift + left click turns every series off.
    Chart.Legend()->SetCheckBoxes(false);
    Window->repaint();
    QTest::mouseClick(Window, Qt::LeftButton, Qt::ShiftModifier, ItemPoint(0));
    for (TSquareSeries* S : All)
        EXPECT_FALSE(S->Active());
}

// A legend click never reached OnClickBackground: the legend part counted
// as handled whatever happened.
TEST_F(LegendWindow, AnUnhandledLegendClickReachesTheBackgroundEvent)
{
    int Background = 0;
    Chart.OnClickBackground = [&](TCustomChart*, TMouseButton, TShiftState, int, int) { ++Background; };
    // A check box that applies handles the click.
    QTest::mouseClick(Window, Qt::LeftButton, {}, ItemPoint(1));
    EXPECT_FALSE(All[1]->Active());
    EXPECT_EQ(Background, 0);
    All[1]->SetActive(true);
    // Without check boxes nothing applies: the background event follows.
    Chart.Legend()->SetCheckBoxes(false);
    Window->repaint();
    QTest::mouseClick(Window, Qt::LeftButton, {}, ItemPoint(1));
    EXPECT_EQ(Background, 1);
    // OnClickLegend decides through MouseCancelled.
    bool Keep = true;
    int LegendClicks = 0;
    Chart.OnClickLegend = [&](TCustomChart* Sender, TMouseButton, TShiftState, int, int) {
        ++LegendClicks;
        Sender->SetMouseCancelled(Keep);
    };
    QTest::mouseClick(Window, Qt::LeftButton, {}, ItemPoint(1));
    EXPECT_EQ(LegendClicks, 1);
    EXPECT_EQ(Background, 1);
    Keep = false;
    QTest::mouseClick(Window, Qt::LeftButton, {}, ItemPoint(1));
    EXPECT_EQ(LegendClicks, 2);
    EXPECT_EQ(Background, 2);
    // After the legend menu only the background event runs.
    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, ItemPoint(1));
    EXPECT_EQ(Chart.PopupMenu().Count(), 4);
    EXPECT_EQ(LegendClicks, 2);
    EXPECT_EQ(Background, 3);
}

// A right click on a legend item edited the series at that place among all
// series, not the one the item shows.
TEST_F(LegendWindow, RightClickEditsTheSeriesTheItemShows)
{
    std::vector<TChartSeries*> Edited;
    ChartEditorEntryPoints().ShowSeriesEditor = [&](TChartSeries* S) { Edited.push_back(S); };
    // Without check boxes an inactive series is not listed: item 1 is the
    // third series.
    Chart.Legend()->SetCheckBoxes(false);
    All[1]->SetActive(false);
    Window->repaint();
    QTest::mouseClick(Window, Qt::RightButton, {}, ItemPoint(1));
    EXPECT_EQ(Edited, (std::vector<TChartSeries*>{All[2]}));
    // A values legend lists the points of one series: every item edits it.
    Edited.clear();
    All[0]->SetActive(false);
    Window->repaint();
    ASSERT_EQ(Chart.Legend()->CalcLegendStyle(), lsValues);
    QTest::mouseClick(Window, Qt::RightButton, {}, ItemPoint(3));
    EXPECT_EQ(Edited, (std::vector<TChartSeries*>{All[2]}));
}

} // namespace
} // namespace lp

namespace lp {
namespace {

// A chart with title, legend, axes and marks, drawn into a bitmap.
TEST(ChartPicture, TitleLegendAxesAndMarksMatchTheReference)
{
    TChart Chart;
    Chart.SetBounds(0, 0, 360, 240);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.Title()->Text()->Add("Resistivity section");
    Chart.BottomAxis()->Title()->SetCaption("Distance, m");
    Chart.LeftAxis()->Title()->SetCaption("Depth, m");
    for (int S = 0; S < 2; ++S) {
        auto* Series = new TSquareSeries(&Chart);
        Series->SetTitle(S == 0 ? "Well A" : "Well B");
        Series->SetSeriesColor(S == 0 ? clRed : clBlue);
        Chart.AddSeries(Series);
        for (int I = 0; I < 6; ++I)
            Series->AddXY(I * 20, 10 + I * (S + 2) * 3, "p" + QString::number(I));
        Series->Marks()->SetVisible(S == 0);
        Series->Marks()->SetStyle(TSeriesMarks::smsValue);
    }
    std::unique_ptr<TBitmap> Picture = Chart.CreateBitmap(clWhite, Chart.GetRectangle());
    EXPECT_TRUE(test::MatchesReference(Picture->ToImage(), "chart", "title-legend-axes-marks"));
}

// The right wall stands in front of the series of a turned chart: it is
// drawn after them, and the right axis over it again.
TEST(ChartPicture, AxisInFrontOfAWallKeepsItsPlaceAndDrawsItsLabelsOnce)
{
    // Guards against the axis in front being drawn unturned, a few pixels
    // beside itself, with every label a second time.
    TChart Chart;
    Chart.SetBounds(0, 0, 360, 240);
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    Chart.SetView3D(true);
    TView3DOptions& View = *Chart.View3DOptions();
    View.SetOrthogonal(false);
    View.SetRotation(345);
    View.SetElevation(345);
    View.SetPerspective(0);
    Chart.RightWall()->SetVisible(true);
    // No grid line of the bottom axis on the right axis' line.
    Chart.BottomAxis()->Grid()->SetVisible(false);
    auto* Series = new TSquareSeries(&Chart);
    Chart.AddSeries(Series);
    Series->SetVertAxis(TChartSeries::aBothVertAxis);
    for (int I = 0; I < 6; ++I)
        Series->AddXY(I * 20, 10 + I * 7);
    TRecordingDC DC(360, 240);
    TCanvas Target(&DC);
    Chart.DrawToCanvas(&Target, Chart.GetRectangle());
    ASSERT_TRUE(IsRightWallInFront(Chart));

    // Texts drawn twice within two pixels of each other.
    QList<QPoint> Places;
    QStringList Texts;
    for (const QString& Call : DC.CallsStartingWith(QStringLiteral("TextOut("))) {
        const QStringList Parts = Call.mid(8).split(QLatin1Char(','));
        const QPoint Place(Parts[0].toInt(), Parts[1].toInt());
        const QString Text = Call.section(QLatin1Char('"'), 1, 1);
        for (qsizetype I = 0; I < Places.size(); ++I)
            EXPECT_FALSE(Texts[I] == Text && (Places[I] - Place).manhattanLength() <= 2)
                << Call.toStdString() << " over " << Places[I].x() << "," << Places[I].y();
        Places << Place;
        Texts << Text;
    }
    EXPECT_GT(Texts.count(QStringLiteral("40")), 0);

    // The right axis line, drawn behind and again in front, both times in
    // the chart's turned view.
    const TChartAxis& Right = *Chart.RightAxis();
    const TPoint From = Chart.Canvas().Calculate3DPosition(Right.AxisLinePixel(), Right.StartPixel(),
                                                           Right.ZPositionPixels());
    const TPoint To = Chart.Canvas().Calculate3DPosition(Right.AxisLinePixel(), Right.EndPixel(),
                                                         Right.ZPositionPixels());
    const QString Line = QStringLiteral("MoveTo(%1,%2)LineTo(%3,%4)").arg(From.X).arg(From.Y).arg(To.X).arg(To.Y);
    const QStringList Calls = DC.Calls();
    int Drawn = 0;
    for (qsizetype I = 1; I < Calls.size(); ++I)
        Drawn += Calls[I - 1] + Calls[I] == Line;
    EXPECT_EQ(Drawn, 2) << Line.toStdString();
}

} // namespace
} // namespace lp
