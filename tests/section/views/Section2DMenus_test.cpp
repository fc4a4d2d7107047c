// The mesh chart's pop-up menus: their items, the value questions with an
// answering input service, the double-click dispatch, the axis and view
// commands, the undo ring as the menus fill it and a snapshot written back.

#include "section/views/Section2D.h"

#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotPreview.h"
#include "chart/export/PlotPreviewPanel.h"
#include "chart/engine/PlotValueList.h"
#include "platform/ui/Dialogs.h"
#include "tests/section/views/ViewsTestUtil.h"
#include "tests/support/ReferenceImage.h"

#include <QtCore/QDir>
#include <QtTest/QTest>
#include <QtWidgets/QMenu>

#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <string>

namespace lp {
namespace {

using test::EvenBounds;
using test::FillMesh;

int IndexOf(const TPopupMenu& Menu, const QString& Caption)
{
    for (int i = 0; i < Menu.Count(); ++i)
        if (Menu.Item(i).Caption == Caption)
            return i;
    ADD_FAILURE() << "no item " << Caption.toStdString();
    return -1;
}

TPopupMenu& SubMenuOf(TTModelSection2d& Chart, const char* Caption)
{
    return *Chart.MainMenu.Item(IndexOf(Chart.MainMenu, Caption)).SubMenu;
}

// A chart of 4 x 3 cells of half-space value 1 (scale 0..10) whose input
// boxes are answered from a queue (nullopt: a cancel; an empty queue raises,
// which ends a question that would otherwise ask forever).
class MeshMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        FillMesh(Chart, EvenBounds(4, 1), EvenBounds(3, 1));
        Chart.OnAfterChangeCB = [this](QObject*) { ++ScaleEvents; };
        InputService() = [this](const TInputRequest& request) {
            Requests.push_back(request);
            if (Answers.empty())
                throw std::out_of_range("asked once more than answered");
            const std::optional<QString> answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
    }
    void TearDown() override { ResetInputService(); }

    void Answer(std::initializer_list<std::optional<QString>> Texts) { Answers.assign(Texts); }
    void ClickColorBar(const char* Caption) { Chart.ColorBarMenu.Click(IndexOf(Chart.ColorBarMenu, Caption)); }
    void ClickDepthAxis(const char* Caption) { Chart.DepthAxisMenu.Click(IndexOf(Chart.DepthAxisMenu, Caption)); }
    int Recordings() const { return *std::max_element(Chart.UndoStore.Counters.begin(), Chart.UndoStore.Counters.end()); }

    TTModelSection2d Chart;
    std::deque<std::optional<QString>> Answers;
    std::vector<TInputRequest> Requests;
    int ScaleEvents = 0;
};

TEST_F(MeshMenus, TheFiveMenusHoldTheirItemsInOrder)
{
    const std::pair<TPopupMenu*, QStringList> menus[] = {
        {&Chart.MainMenu,
         {"Display cell setup", "Cell to cursor value", "Edit mode", "-", "Selection", "Mesh options", "-",
          "Clear model"}},
        {&SubMenuOf(Chart, "Selection"),
         {"Free-form selection", "Rectangular selection", "Elleptical selection", "MagicWand", "-",
          "Remove selection"}},
        {&SubMenuOf(Chart, "Mesh options"), {"Add column/row", "Remove column/row", "Resize column/row"}},
        {&Chart.ViewMenu,
         {"Display model mesh", "Display objects border", "Setup", "Display color bar", "Zoom&&Scroll",
          "Print preview"}},
        {&Chart.ColorBarMenu,
         {"Set minimum", "Set maximum", "Set incremental factor", "Automatic", "-", "Log scale", "-",
          "Set half-space value", "Set cursor value"}},
        {&Chart.DepthAxisMenu, {"Set maximum", "-", "Redivide", "-", "Thick mesh", "Thin mesh"}},
        {&Chart.HorizAxisMenu, {"Redivide", "-", "Thick mesh", "Thin mesh"}},
    };
    for (const auto& [menu, captions] : menus) {
        QStringList actual;
        for (const TMenuItem& item : menu->Items())
            actual << item.Caption;
        EXPECT_EQ(actual, captions);
    }
}

// --- Colour-bar questions ---

TEST_F(MeshMenus, SetMinimumRefusesWhatIsNotBelowTheMaximumAndTakesANegativeValue)
{
    Answer({"12", "abc", "10", "-5"});
    ClickColorBar("Set minimum");
    EXPECT_EQ(Chart.ScaleMin, -5) << "the minimum is not clamped";
    ASSERT_EQ(Requests.size(), 4u);
    for (const TInputRequest& request : Requests) {
        EXPECT_EQ(request.Caption, "Set minimal value");
        EXPECT_EQ(request.Prompt, "Enter value <10.0");
        EXPECT_EQ(request.Default, "0.0");
    }
    EXPECT_EQ(ScaleEvents, 1);

    Answer({std::nullopt});
    ClickColorBar("Set minimum");
    EXPECT_EQ(Chart.ScaleMin, -5);
    EXPECT_EQ(ScaleEvents, 1) << "a cancel changes nothing";
}

TEST_F(MeshMenus, SetMaximumClampsWhatIsTypedAndRefusesNoNumber)
{
    Answer({"abc", "", "5e9"});
    ClickColorBar("Set maximum");
    EXPECT_EQ(Chart.ScaleMax, 1e9);
    EXPECT_EQ(Requests.size(), 3u);
    EXPECT_EQ(Requests[0].Caption, "Set maximal value");
    EXPECT_EQ(Requests[0].Prompt, "Enter value >0.0");
    EXPECT_EQ(Requests[0].Default, "10.0");

    // Clamped up to 1e-6, a typed 0 is no value above a minimum of 1e-6.
    Chart.ScaleMin = 1e-6;
    Answer({"0", "-3", "2"});
    ClickColorBar("Set maximum");
    EXPECT_EQ(Chart.ScaleMax, 2);
    EXPECT_EQ(Answers.size(), 0u);
}

TEST_F(MeshMenus, IncrementalFactorSpansTheScaleAroundTheHalfSpaceValue)
{
    Answer({"100"});
    ClickColorBar("Set incremental factor");
    EXPECT_DOUBLE_EQ(Chart.ScaleMin, 0.01);
    EXPECT_DOUBLE_EQ(Chart.ScaleMax, 100);
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Caption, "Set value, 1..1000");
    EXPECT_EQ(Requests[0].Prompt, "Enter incremental factor");
    EXPECT_EQ(Requests[0].Default, "1");

    Answer({"1000", "1.0", "1"});
    ClickColorBar("Set incremental factor");
    EXPECT_DOUBLE_EQ(Chart.ScaleMax, 100) << "1000 and 1 are refused, the default text ends the question";
    EXPECT_EQ(ScaleEvents, 1);

    // Both ends stay inside the cell values' range.
    Chart.HalfSpaceValue = 1e8;
    Chart.SetScaleByFactor(999);
    EXPECT_EQ(Chart.ScaleMax, 1e9);
    Chart.HalfSpaceValue = 1e-5;
    Chart.SetScaleByFactor(999);
    EXPECT_EQ(Chart.ScaleMin, 1e-6);
}

TEST_F(MeshMenus, AutomaticSpansLayerZeroAndKeepsTheScaleWithoutCells)
{
    for (auto& column : Chart.Layers[0])
        for (double& v : column)
            v = 7;
    ClickColorBar("Automatic");
    EXPECT_DOUBLE_EQ(Chart.ScaleMin, 0.7);
    EXPECT_DOUBLE_EQ(Chart.ScaleMax, 70);
    EXPECT_EQ(ScaleEvents, 1);

    Chart.Layers[0][3][2] = 300;
    Chart.Layers[0][0][1] = 0.5;
    Chart.AddLayer();
    Chart.Layers[1][1][1] = 1e6;  // only layer 0 counts
    ClickColorBar("Automatic");
    EXPECT_EQ(Chart.ScaleMin, 0.5);
    EXPECT_EQ(Chart.ScaleMax, 300);

    TTModelSection2d empty;
    empty.ScaleMin = 2;
    empty.ScaleMax = 3;
    EXPECT_FALSE(empty.SetScaleFromCells());
    empty.ColorBarMenu.Click(IndexOf(empty.ColorBarMenu, "Automatic"));
    EXPECT_EQ(empty.ScaleMin, 2);
    EXPECT_EQ(empty.ScaleMax, 3);
}

// Guards "Automatic" starting its search at the missing value: cells all
// above 123456789 gave a scale from 1.23e8 (all below -123456789 one up to
// -1.23e8), and a missing cell counted as a value.
TEST_F(MeshMenus, AutomaticSpansTheCellsThemselvesAndIgnoresMissingOnes)
{
    const struct {
        double First, Others, Min, Max;
    } cases[] = {{2e8, 5e8, 2e8, 5e8}, {-5e8, -2e8, -5e8, -2e8}, {3, 4, 3, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.First);
        for (auto& column : Chart.Layers[0])
            for (double& v : column)
                v = c.Others;
        Chart.Layers[0][0][0] = c.First;
        Chart.Layers[0][1][2] = MissingValue;
        Chart.Layers[0][2][1] = std::nan("");
        ClickColorBar("Automatic");
        EXPECT_EQ(Chart.ScaleMin, c.Min);
        EXPECT_EQ(Chart.ScaleMax, c.Max);
    }
    EXPECT_EQ(ScaleEvents, 3);

    // One value and missing cells: the scale around that value.
    for (auto& column : Chart.Layers[0])
        for (double& v : column)
            v = MissingValue;
    Chart.Layers[0][3][0] = 4e8;
    ClickColorBar("Automatic");
    EXPECT_DOUBLE_EQ(Chart.ScaleMin, 4e7);
    EXPECT_DOUBLE_EQ(Chart.ScaleMax, 4e9);

    // Every cell missing: nothing to span, the scale stays as it is.
    Chart.Layers[0][3][0] = MissingValue;
    Chart.ScaleMin = 2;
    Chart.ScaleMax = 3;
    ScaleEvents = 0;
    EXPECT_FALSE(Chart.SetScaleFromCells());
    ClickColorBar("Automatic");
    EXPECT_EQ(Chart.ScaleMin, 2);
    EXPECT_EQ(Chart.ScaleMax, 3);
    EXPECT_EQ(ScaleEvents, 0);
}

// Guards the empty and the inverted scale "Automatic" made of a mesh whose
// cells all hold one value (0 gave 0..0, -5 gave -0.5..-50): chosen from
// the colour bar's menu as the user opens it, on the chart's window.
TEST_F(MeshMenus, AutomaticOnEqualCellsGivesAnIncreasingScaleAroundTheirValue)
{
    Chart.SetBounds(0, 0, 500, 260);
    test::SpanModelArea(Chart);
    QWidget* window = Chart.Widget();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    Chart.Repaint();
    const TRect r = Chart.ChartRectangle();
    const QPoint onColorBar(r.Right + Chart.ColorBarGap + 2, (r.Top + r.Bottom) / 2);
    const struct {
        double Cells, Min, Max;
    } cases[] = {{0, -1, 1}, {-5, -50, -0.5}, {7, 0.7, 70}, {-0.002, -0.02, -0.0002}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Cells);
        for (auto& column : Chart.Layers[0])
            for (double& v : column)
                v = c.Cells;
        QTest::mouseMove(window, onColorBar);
        QTest::mouseDClick(window, Qt::LeftButton, {}, onColorBar);
        ASSERT_TRUE(Chart.ColorBarMenu.NativeMenu() && Chart.ColorBarMenu.NativeMenu()->isVisible());
        QMenu* menu = Chart.ColorBarMenu.NativeMenu();
        QAction* automatic = menu->actions().at(3);
        ASSERT_EQ(automatic->text(), "Automatic");
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(automatic).center());
        ASSERT_FALSE(menu->isVisible());
        EXPECT_DOUBLE_EQ(Chart.ScaleMin, c.Min);
        EXPECT_DOUBLE_EQ(Chart.ScaleMax, c.Max);
        EXPECT_LT(Chart.ScaleMin, Chart.ScaleMax);
        // The bar spans the palette: its two ends have two colours.
        EXPECT_NE(Chart.ValueToPaletteIndex(Chart.ScaleMin), Chart.ValueToPaletteIndex(Chart.ScaleMax));
        EXPECT_GT(c.Cells, Chart.ScaleMin);
        EXPECT_LT(c.Cells, Chart.ScaleMax);
    }
}

// Guards limits an owner or a snapshot sets directly, equal or the wrong
// way round: the scale still runs upward, so no colour divides by nothing.
TEST_F(MeshMenus, LimitsSetEqualOrInvertedAreMadeAnIncreasingScale)
{
    const struct {
        double Min, Max, WantMin, WantMax;
    } cases[] = {{5, 2, 2, 5}, {0, 0, -1, 1}, {-5, -5, -50, -0.5}, {3, 3, 0.3, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Min) + ".." + std::to_string(c.Max));
        Chart.ScaleMin = c.Min;
        Chart.ScaleMax = c.Max;
        const int low = Chart.ValueToPaletteIndex(c.WantMin);
        EXPECT_DOUBLE_EQ(Chart.ScaleMin, c.WantMin);
        EXPECT_DOUBLE_EQ(Chart.ScaleMax, c.WantMax);
        EXPECT_EQ(low, Chart.ColorCount);
        EXPECT_EQ(Chart.ValueToPaletteIndex(c.WantMax), 0);
    }
    // The incremental factor around a half-space value an owner set to 0.
    Chart.HalfSpaceValue = 0;
    Chart.SetScaleByFactor(10);
    EXPECT_LT(Chart.ScaleMin, Chart.ScaleMax);
}

TEST_F(MeshMenus, LogScaleTurnsTheLogarithmicModeOnAndOff)
{
    Chart.ScaleMin = 1;
    Chart.ScaleMax = 1000;
    ClickColorBar("Log scale");
    EXPECT_EQ(Chart.ScaleMode, 1);
    EXPECT_DOUBLE_EQ(Chart.SymLogConstant, 1);
    Chart.ScaleMode = 2;
    ClickColorBar("Log scale");
    EXPECT_EQ(Chart.ScaleMode, 0) << "any logarithmic mode goes back to linear";
    EXPECT_EQ(ScaleEvents, 2);
}

TEST_F(MeshMenus, HalfSpaceValueTakesTheSmallestCellValueButNotTheLargest)
{
    Answer({"1e9", "1e-6"});
    ClickColorBar("Set half-space value");
    EXPECT_EQ(Chart.HalfSpaceValue, 1e-6);
    EXPECT_EQ(Chart.Layers[0][2][1], 1e-6) << "the half-space cells follow";
    ASSERT_EQ(Requests.size(), 2u);
    EXPECT_EQ(Requests[0].Caption, "Set half-space value");
    EXPECT_EQ(Requests[0].Prompt, "Enter value 0.000001..1000000000.0");
    EXPECT_EQ(Requests[0].Default, "1.0");
    EXPECT_EQ(Recordings(), 1);
    EXPECT_EQ(ScaleEvents, 1);

    Chart.ReadOnly = true;
    ClickColorBar("Set half-space value");
    EXPECT_EQ(Requests.size(), 2u) << "read-only: not even asked";
}

TEST_F(MeshMenus, CursorValueTakesTheScaleMinimumButNotItsMaximum)
{
    Chart.ScaleMin = 2;
    Chart.ScaleMax = 8;
    Answer({"8", "2"});
    ClickColorBar("Set cursor value");
    EXPECT_EQ(Chart.CursorValue, 2);
    ASSERT_EQ(Requests.size(), 2u);
    EXPECT_EQ(Requests[0].Caption, "Set cursor value");
    EXPECT_EQ(Requests[0].Prompt, "Enter value 2.0..8.0");
    EXPECT_EQ(Requests[0].Default, "1.0");
    EXPECT_EQ(ScaleEvents, 1);
    EXPECT_EQ(Recordings(), 0) << "the cursor is no model change";
}

// --- Axis menus ---

TEST_F(MeshMenus, SetMaxDepthRefusesTheBoundaryAboveAndACancelKeepsTheDepth)
{
    // Shown as "3.0", the depth 3.04 must survive a cancel unrounded.
    arofdoubleM rows{0, 1, 2, 3.04};
    Chart.SetRowBounds(0, &rows);
    Answer({std::nullopt});
    ClickDepthAxis("Set maximum");
    ASSERT_EQ(Requests.size(), 1u);
    EXPECT_EQ(Requests[0].Caption, "Set max depth");
    EXPECT_EQ(Requests[0].Prompt, "Enter value >2.0");
    EXPECT_EQ(Requests[0].Default, "3.0");
    EXPECT_EQ(Chart.RowBounds.Last(), 3.04);
    EXPECT_EQ(Recordings(), 0);

    Answer({"2", "1.5", "x", "5"});
    ClickDepthAxis("Set maximum");
    EXPECT_EQ(Answers.size(), 0u) << "equal to the boundary above is refused";
    EXPECT_EQ(Chart.RowBounds, (arofdoubleM{0, 1, 2, 5}));
    EXPECT_EQ(Chart.ModelBottom, 5);
    EXPECT_EQ(Chart.ModelDepth, 5);
    ASSERT_EQ(Chart.ExtentSeries->Count(), 2);
    EXPECT_EQ(Chart.ExtentSeries->YValues()->Value(1), 5);
    EXPECT_EQ(Recordings(), 1);
}

TEST_F(MeshMenus, AxisCommandsReshapeTheMeshAndRecordEachStep)
{
    Chart.HorizAxisMenu.Click(IndexOf(Chart.HorizAxisMenu, "Thin mesh"));
    EXPECT_EQ(Chart.ColBounds, EvenBounds(8, 0.5));
    Chart.HorizAxisMenu.Click(IndexOf(Chart.HorizAxisMenu, "Thick mesh"));
    EXPECT_EQ(Chart.ColBounds, EvenBounds(4, 1));
    ClickDepthAxis("Thin mesh");
    EXPECT_EQ(Chart.LastRow, 5);
    ClickDepthAxis("Thick mesh");
    EXPECT_EQ(Chart.RowBounds, EvenBounds(3, 1));

    arofdoubleM cols{0, 0.5, 3, 4, 4.5};
    Chart.SetColBounds(0, &cols);
    Chart.ColAnchored[2] = 1;
    Chart.HorizAxisMenu.Click(IndexOf(Chart.HorizAxisMenu, "Redivide"));
    EXPECT_EQ(Chart.ColBounds, (arofdoubleM{0, 1.5, 3, 3.75, 4.5})) << "redivided between the anchored ones";
    arofdoubleM rows{0, 0.5, 3};
    Chart.SetRowBounds(0, &rows);
    Chart.ModelBottom = 4;
    ClickDepthAxis("Redivide");
    EXPECT_EQ(Chart.RowBounds, (arofdoubleM{0, 2, 4}));
    EXPECT_EQ(Recordings(), 6);

    Chart.ReadOnly = true;
    ClickDepthAxis("Thin mesh");
    Chart.HorizAxisMenu.Click(IndexOf(Chart.HorizAxisMenu, "Thin mesh"));
    EXPECT_EQ(Chart.LastRow, 1);
    EXPECT_EQ(Chart.LastCol, 3);
    EXPECT_EQ(Recordings(), 6);
}

TEST_F(MeshMenus, AxisCommandsWithoutAMeshDoNothing)
{
    TTModelSection2d empty;
    for (int i = 0; i < empty.DepthAxisMenu.Count(); ++i)
        empty.DepthAxisMenu.Click(i);
    for (int i = 0; i < empty.HorizAxisMenu.Count(); ++i)
        empty.HorizAxisMenu.Click(i);
    EXPECT_EQ(empty.LastCol, -1);
    EXPECT_EQ(empty.LastRow, -1);
    EXPECT_TRUE(Requests.empty());
}

// --- Main menu ---

TEST_F(MeshMenus, MainMenuCommandsAndTools)
{
    const auto click = [this](const char* caption) { Chart.MainMenu.Click(IndexOf(Chart.MainMenu, caption)); };
    Chart.Layers[0][1][1] = 5;
    Chart.Selected[1][1] = Chart.Fixed[2][2] = 1;
    Chart.Limits[2][2] = {1, 4};
    Chart.AddLayer();
    Chart.Layers[1][0][0] = 9;
    int parameterEvents = 0;
    Chart.OnAfterChangingParameter = [&](QObject*) { ++parameterEvents; };
    Chart.Dragging = true;
    click("Clear model");
    EXPECT_FALSE(Chart.Dragging);
    EXPECT_EQ(Chart.Layers[0][1][1], 1);
    EXPECT_FALSE(Chart.Selected[1][1]);
    EXPECT_FALSE(Chart.Fixed[2][2]);
    EXPECT_EQ(Chart.Limits[2][2], complexM{});
    EXPECT_EQ(Chart.Layers[1][0][0], 9) << "the layers above stay";
    EXPECT_EQ(parameterEvents, 1);
    EXPECT_EQ(Recordings(), 1);

    Chart.CellValueAtCursor = 4;
    click("Cell to cursor value");
    EXPECT_EQ(Chart.CursorValue, 4);
    EXPECT_EQ(ScaleEvents, 1);
    click("Cell to cursor value");
    EXPECT_EQ(ScaleEvents, 1) << "the same value draws nothing";
    click("Display cell setup");
    EXPECT_EQ(Recordings(), 2);

    TPopupMenu& selection = SubMenuOf(Chart, "Selection");
    const std::pair<const char*, int> tools[] = {{"Free-form selection", 2}, {"Rectangular selection", 5},
                                                 {"Elleptical selection", 4}, {"MagicWand", 3}};
    for (auto [caption, mode] : tools) {
        selection.Click(IndexOf(selection, caption));
        EXPECT_EQ(Chart.ToolMode, mode) << caption;
    }
    TPopupMenu& meshOptions = SubMenuOf(Chart, "Mesh options");
    for (int i = 0; i < 3; ++i) {
        meshOptions.Click(i);
        EXPECT_EQ(Chart.ToolMode, 7 + i);
    }
    click("Edit mode");
    EXPECT_EQ(Chart.ToolMode, 1);

    Chart.Selected[0][2] = Chart.Selected[3][0] = 1;
    Chart.FreeFormPoints = pointarray{{0, 2}, {3, 0}};
    selection.Click(IndexOf(selection, "Remove selection"));
    EXPECT_FALSE(Chart.Selected[0][2] || Chart.Selected[3][0]);
    EXPECT_EQ(Chart.FreeFormPoints.Length(), 0);

    Chart.ReadOnly = true;
    Chart.Layers[0][1][1] = 5;
    click("Clear model");
    click("Edit mode");
    EXPECT_EQ(Chart.Layers[0][1][1], 5);
    EXPECT_EQ(Recordings(), 2);
}

TEST_F(MeshMenus, TheMainMenuMarksTheCurrentTool)
{
    Chart.ToolMode = 4;
    Chart.ShowMainMenu();
    EXPECT_TRUE(Chart.MainMenu.PoppedUp());
    EXPECT_FALSE(Chart.MainMenu.Item(IndexOf(Chart.MainMenu, "Edit mode")).Checked);
    const TPopupMenu& selection = SubMenuOf(Chart, "Selection");
    for (int i = 0; i < selection.Count(); ++i)
        EXPECT_EQ(selection.Item(i).Checked, selection.Item(i).Caption == "Elleptical selection") << i;
    Chart.ToolMode = 9;
    Chart.ShowMainMenu();
    EXPECT_TRUE(SubMenuOf(Chart, "Mesh options").Item(2).Checked);
    EXPECT_FALSE(selection.Item(IndexOf(selection, "Elleptical selection")).Checked);
}

// --- Double click and view menu ---

class MeshDoubleClick : public MeshMenus {
protected:
    void SetUp() override
    {
        MeshMenus::SetUp();
        Chart.SetChartRectangle({25, 10, 713, 300});
    }
    // Double-clicks at pixel (X, Y) as the control does: the click is
    // cancelled, which the panel ends with EAbort.
    void DoubleClickAt(int X, int Y)
    {
        Chart.UpdatePointerZone(X, Y);
        EXPECT_THROW(Chart.DblClick(), EAbort);
    }
    // The menus shown on the screen (each closed again).
    std::vector<TPopupMenu*> TakeOpened()
    {
        std::vector<TPopupMenu*> opened;
        for (TPopupMenu* menu : {&Chart.MainMenu, &Chart.ViewMenu, &Chart.ColorBarMenu, &Chart.DepthAxisMenu,
                                 &Chart.HorizAxisMenu})
            if (menu->NativeMenu() && menu->NativeMenu()->isVisible()) {
                opened.push_back(menu);
                menu->NativeMenu()->hide();
            }
        return opened;
    }
};

TEST_F(MeshDoubleClick, OpensTheMenuOfTheZoneAndNoneInTheCells)
{
    const TRect r = Chart.ChartRectangle();
    const int midX = (r.Left + r.Right) / 2, midY = (r.Top + r.Bottom) / 2;
    const std::pair<TPoint, TPopupMenu*> cases[] = {
        {{midX, midY}, nullptr},
        {{r.Left - 5, midY}, &Chart.DepthAxisMenu},
        {{midX, r.Bottom + 5}, &Chart.HorizAxisMenu},
        {{r.Right + Chart.ColorBarGap + 2, midY}, &Chart.ColorBarMenu},
        {{r.Right + 60, r.Top - 1}, &Chart.ViewMenu},
    };
    for (const auto& [at, menu] : cases) {
        Chart.Dragging = true;
        DoubleClickAt(at.X, at.Y);
        EXPECT_FALSE(Chart.Dragging) << "a double click ends a drag";
        EXPECT_EQ(TakeOpened(), menu ? std::vector<TPopupMenu*>{menu} : std::vector<TPopupMenu*>{})
            << at.X << "," << at.Y << " zone " << int(Chart.PointerZone);
    }

    // A mesh of one column opens nothing anywhere.
    FillMesh(Chart, EvenBounds(1, 1), EvenBounds(3, 1));
    DoubleClickAt(r.Left - 5, midY);
    EXPECT_TRUE(TakeOpened().empty());
}

TEST_F(MeshDoubleClick, TheViewAndColourBarMarksAreSetBeforeTheMenuOpens)
{
    Chart.ShowMesh = false;
    Chart.SetAllowZoom(true);
    Chart.UpdatePointerZone(0, 0);
    ASSERT_EQ(Chart.PointerZone, 0);
    DoubleClickAt(0, 0);
    const auto checked = [&](const char* caption) { return Chart.ViewMenu.Item(IndexOf(Chart.ViewMenu, caption)).Checked; };
    EXPECT_FALSE(checked("Display model mesh"));
    EXPECT_TRUE(checked("Display objects border"));
    EXPECT_TRUE(checked("Display color bar"));
    EXPECT_TRUE(checked("Zoom&&Scroll"));

    const TRect r = Chart.ChartRectangle();
    Chart.ScaleMode = 2;
    DoubleClickAt(r.Right + Chart.ColorBarGap + 2, r.Top + 1);
    EXPECT_TRUE(Chart.ColorBarMenu.Item(IndexOf(Chart.ColorBarMenu, "Log scale")).Checked);
    Chart.ScaleMode = 0;
    DoubleClickAt(r.Right + Chart.ColorBarGap + 2, r.Top + 1);
    EXPECT_FALSE(Chart.ColorBarMenu.Item(IndexOf(Chart.ColorBarMenu, "Log scale")).Checked);
}

TEST_F(MeshDoubleClick, ViewTogglesTurnOverWhatTheMenuShowed)
{
    const auto pick = [this](const char* caption) {
        DoubleClickAt(0, 0);
        ASSERT_TRUE(Chart.ViewMenu.PoppedUp());
        Chart.ViewMenu.Click(IndexOf(Chart.ViewMenu, caption));
    };
    pick("Display model mesh");
    EXPECT_FALSE(Chart.ShowMesh);
    pick("Display model mesh");
    EXPECT_TRUE(Chart.ShowMesh);
    pick("Display objects border");
    EXPECT_FALSE(Chart.ShowBorders);
    pick("Display color bar");
    EXPECT_FALSE(Chart.ShowColorBar);
    pick("Zoom&&Scroll");
    EXPECT_TRUE(Chart.AllowZoom());
    EXPECT_EQ(Chart.AllowPanning(), TTModelSection2d::pmBoth);
    pick("Zoom&&Scroll");
    EXPECT_FALSE(Chart.AllowZoom());
    EXPECT_EQ(Chart.AllowPanning(), TTModelSection2d::pmNone);

    TCustomPlotPanel* previewed = nullptr;
    ChartPreviewShowService() = [&](TChartPreview& preview) {
        previewed = preview.PlotPreviewPanel1->Panel();
        return int(mrCancel);
    };
    pick("Print preview");
    ResetChartPreviewShowService();
    EXPECT_EQ(previewed, &Chart);
}

// --- Undo ring and snapshots ---

TEST_F(MeshMenus, TheEleventhRecordingOverwritesTheFirstSlot)
{
    const int thin = IndexOf(Chart.HorizAxisMenu, "Thin mesh"), thick = IndexOf(Chart.HorizAxisMenu, "Thick mesh");
    for (int i = 0; i < 11; ++i)
        Chart.HorizAxisMenu.Click(i % 2 == 0 ? thin : thick);
    EXPECT_EQ(Chart.UndoStore.Counters, (std::array<int32_t, 10>{11, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(Chart.UndoStore.Slots[0].LastCol, 7) << "the eleventh (a thinning) is in slot 0";
    EXPECT_EQ(Chart.UndoStore.Slots[1].LastCol, 3);
    EXPECT_EQ(TTModelSection2d::NewestSnapshot(Chart.UndoStore), 0);
}

TEST_F(MeshMenus, ASnapshotWrittenBackRestoresTheMeshWithEveryTable)
{
    EXPECT_EQ(TTModelSection2d::NewestSnapshot(Chart.UndoStore), -1);
    EXPECT_FALSE(Chart.RestoreSnapshot(Chart.UndoStore, 0)) << "a new chart's slots hold nothing";
    EXPECT_EQ(Chart.LastCol, 3);

    Chart.HasExtraTables = true;
    Chart.ExtraDefault = 0.25;
    Chart.AddLayer();
    Chart.FlattenLayers();
    Chart.Layers[0][1][2] = 6;
    Chart.Selected[3][2] = 1;
    Chart.ReliefX = arofdoubleM{0, 4};
    Chart.ReliefZ = arofdoubleM{0, -2};
    Chart.UpdateReliefShift();
    Chart.MainMenu.Click(IndexOf(Chart.MainMenu, "Display cell setup"));
    const int before = TTModelSection2d::NewestSnapshot(Chart.UndoStore);

    Chart.HorizAxisMenu.Click(IndexOf(Chart.HorizAxisMenu, "Thin mesh"));
    ClickDepthAxis("Thin mesh");
    Chart.ReliefX = arofdoubleM();
    Chart.ReliefZ = arofdoubleM();
    ASSERT_EQ(Chart.ExtraValues.Length(), 8);
    int grids = 0;
    Chart.OnChangingGrid = [&](QObject*) { ++grids; };

    ASSERT_TRUE(Chart.RestoreSnapshot(Chart.UndoStore, before));
    EXPECT_EQ(Chart.ColBounds, EvenBounds(4, 1));
    EXPECT_EQ(Chart.RowBounds, EvenBounds(3, 1));
    EXPECT_EQ(Chart.LastCol, 3);
    EXPECT_EQ(Chart.CellCount, 12);
    EXPECT_EQ(Chart.Layers[0][1][2], 6);
    EXPECT_TRUE(Chart.Selected[3][2]);
    EXPECT_TRUE(Chart.HasRelief);
    EXPECT_EQ(Chart.ReliefShift, (arofdoubleM{0, 0.5, 1, 1.5, 2}));
    EXPECT_EQ(Chart.ExtraValues.Length(), 4) << "the extra tables follow the restored mesh";
    EXPECT_EQ(Chart.ExtraValues[3].Length(), 3);
    EXPECT_EQ(Chart.LayerOrder, arofintM{0});
    EXPECT_GE(grids, 1);

    // A slot whose tables do not fit its mesh is refused whole.
    undo broken = Chart.UndoStore;
    broken.Slots[before].Fixed[2] = arofboolM(7);
    ClickDepthAxis("Thin mesh");
    EXPECT_FALSE(Chart.RestoreSnapshot(broken, before));
    EXPECT_EQ(Chart.LastRow, 5);
    undo emptied = Chart.UndoStore;
    emptied.Counters[before] = -1;
    EXPECT_FALSE(Chart.RestoreSnapshot(emptied, before)) << "an empty slot";
    EXPECT_THROW(Chart.RestoreSnapshot(Chart.UndoStore, 10), std::out_of_range);
}

// --- The user's road: the menus as the window system shows them ---

TEST_F(MeshMenus, PickedFromTheShownMenusTheItemsRunTheirCommands)
{
    Chart.SetBounds(0, 0, 500, 260);
    Chart.ExtentSeries->AddXY(Chart.ModelLeft, Chart.ModelTop);
    Chart.ExtentSeries->AddXY(Chart.ModelRight, Chart.ModelBottom);
    QWidget* window = Chart.Widget();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    Chart.Repaint();  // lays the chart out
    const TRect r = Chart.ChartRectangle();
    ASSERT_GT(r.Width(), 100);
    const QPoint inCells((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    const QPoint leftOfCells(r.Left - 5, inCells.y());
    const auto shown = [](TPopupMenu& menu) { return menu.NativeMenu() && menu.NativeMenu()->isVisible(); };

    // A right click in the cells opens the main menu with the tool marked.
    QTest::mouseMove(window, inCells);
    QTest::mouseClick(window, Qt::RightButton, {}, inCells);
    ASSERT_TRUE(shown(Chart.MainMenu));
    const QList<QAction*> actions = Chart.MainMenu.NativeMenu()->actions();
    ASSERT_EQ(actions.size(), 8);
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_TRUE(actions[2]->isChecked()) << "Edit mode";
    QMenu* selection = actions[4]->menu();
    ASSERT_NE(selection, nullptr);
    EXPECT_EQ(selection->title(), "Selection");
    selection->actions().at(3)->trigger();  // "MagicWand"
    EXPECT_EQ(Chart.ToolMode, 3);
    Chart.MainMenu.NativeMenu()->hide();

    // A double click in the cells opens nothing; left of them, the depth
    // axis menu, whose "Thin mesh" splits every row.
    QTest::mouseDClick(window, Qt::LeftButton, {}, inCells);
    for (TPopupMenu* menu : {&Chart.MainMenu, &Chart.ViewMenu, &Chart.ColorBarMenu, &Chart.DepthAxisMenu,
                             &Chart.HorizAxisMenu})
        EXPECT_FALSE(shown(*menu));
    QTest::mouseMove(window, leftOfCells);
    QTest::mouseDClick(window, Qt::LeftButton, {}, leftOfCells);
    ASSERT_TRUE(shown(Chart.DepthAxisMenu));
    Chart.DepthAxisMenu.NativeMenu()->actions().at(5)->trigger();
    EXPECT_EQ(Chart.LastRow, 5);
    EXPECT_FALSE(shown(Chart.DepthAxisMenu));

    Answer({"100"});
    Chart.ColorBarMenu.Popup({0, 0});
    Chart.ColorBarMenu.NativeMenu()->actions().at(2)->trigger();  // "Set incremental factor"
    EXPECT_DOUBLE_EQ(Chart.ScaleMax, 100);

    // Pictures of the five menus (and the two submenus) for a look by eye.
    const QString folder = test::ArtifactFolder() + "/mesh-menus";
    QDir().mkpath(folder);
    // Opened as the user opens them, with their marks.
    Chart.ShowMainMenu();
    Chart.ScaleMode = 1;
    for (uint8_t zone : {0, 2, 3, 4}) {
        Chart.PointerZone = zone;
        Chart.MeshDblClick(&Chart);
    }
    const std::pair<QMenu*, const char*> shots[] = {
        {Chart.MainMenu.NativeMenu(), "main"},
        {SubMenuOf(Chart, "Selection").NativeMenu(), "selection"},
        {SubMenuOf(Chart, "Mesh options").NativeMenu(), "mesh-options"},
        {Chart.ViewMenu.NativeMenu(), "view"},
        {Chart.ColorBarMenu.NativeMenu(), "color-bar"},
        {Chart.DepthAxisMenu.NativeMenu(), "depth-axis"},
        {Chart.HorizAxisMenu.NativeMenu(), "horiz-axis"},
    };
    for (const auto& [menu, name] : shots) {
        menu->adjustSize();
        const QImage picture = menu->grab().toImage();
        EXPECT_GT(picture.height(), 20) << name;
        EXPECT_TRUE(picture.save(folder + "/" + name + ".png")) << name;
        menu->hide();
    }
}

} // namespace
} // namespace lp
