// Editing in the main window as a user does it: the section stays on screen
// while a node is dragged, the modes of held keys never outlive the keyboard
// (dialogs, menus, other windows) and pick where the mouse rests, the tool
// bar shows the mode in force, and node dots stay inside the plot.

#include "MainWindowFixture.h"

#include "../editor/SectionModelCheck.h"
#include "DialogTestUtil.h"
#include "section/main/MainWindowComponents.h"
#include "section/main/MainWindowRoutines.h"

#include <QtGui/QCursor>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QToolButton>

#include <random>

namespace lp {
namespace {

using test::MainWindow;

// The checked mode buttons.
std::vector<TPolygonEditMode> CheckedButtons(const TMainfrm& Window)
{
    std::vector<TPolygonEditMode> checked;
    for (const auto& [mode, button] : Window.ModeButtons)
        if (button->isChecked())
            checked.push_back(mode);
    return checked;
}

// The tool bar and the status bar show the chart's mode: its button alone
// down (none for a mode without one) and its help text.
void ExpectModeShown(TMainfrm& Window)
{
    const TPolygonEditMode mode = Window.PolygonChart1->EditMode;
    const std::vector<TPolygonEditMode> expected =
        Window.ModeButtons.count(mode) ? std::vector<TPolygonEditMode>{mode} : std::vector<TPolygonEditMode>{};
    EXPECT_EQ(CheckedButtons(Window), expected) << "mode " << mode;
    EXPECT_EQ(Window.Parts->StatusText(1), EditModeStatusText(mode));
}

TEST_F(MainWindow, TheSectionStaysOnScreenWhileANodeIsDragged)
{
    Start({Section});
    Window->ModeButtons.at(pmMoveNode)->click();
    // Inside the sandstone and the clay, and the dot of the clay's corner
    // node: none of them belongs to the lens whose corner is dragged.
    const QPoint samples[] = {Pixel(200, 70), Pixel(650, 70), Pixel(380, 100), Pixel(820, 20)};
    MoveMouse(Pixel(500, 190), Qt::NoButton);
    QCoreApplication::processEvents();
    const QImage before = ChartWidget()->grab().toImage();

    const QPoint from = Pixel(300, 140);
    const QPoint to = Pixel(340, 160);
    MoveMouse(from, Qt::NoButton);
    QTest::mousePress(ChartWidget(), Qt::LeftButton, {}, from);
    for (int step = 1; step <= 4; ++step) {
        MoveMouse(from + (to - from) * step / 4, Qt::LeftButton);
        const QImage during = ChartWidget()->grab().toImage();
        ASSERT_TRUE(Chart().DragCacheActive());
        for (const QPoint& at : samples)
            EXPECT_EQ(during.pixelColor(at).name(), before.pixelColor(at).name())
                << "at " << at.x() << "," << at.y() << " step " << step;
    }
    test::SaveScreenshot(*Window, QStringLiteral("main-window-node-drag"));
    QTest::mouseRelease(ChartWidget(), Qt::LeftButton, {}, to);
    Click(Qt::RightButton, to);
    EXPECT_GE(NodeAt(600, 140), 0); // the lens' other corner stays
}

TEST_F(MainWindow, AHeldKeyModeEndsWhenADialogAMenuOrAnotherWindowTakesTheKeyboard)
{
    Start({Section});
    Window->ModeButtons.at(pmAddPolygon)->click();
    // Beside a point of the example's line: Ctrl means "Delete line node".
    const QPoint onLine = Pixel(520, 129);
    MoveMouse(onLine, Qt::NoButton);
    QCursor::setPos(ChartWidget()->mapToGlobal(onLine));
    int linePoints = 0;
    for (int i = 0; i < Chart().Lines.Length(); ++i)
        linePoints += Chart().Lines[i].points.Length();
    ASSERT_GT(linePoints, 0);

    // Ctrl held, then S: the save dialog takes the keyboard and the key's
    // release goes to it.
    QTest::keyPress(Window.get(), Qt::Key_Control);
    EXPECT_EQ(Chart().EditMode, pmDeleteLineNode);
    ExpectModeShown(*Window);
    AnswerModal<QFileDialog>([&] { QTest::keyPress(Window.get(), Qt::Key_S, Qt::ControlModifier); },
                             [&](QFileDialog& Dialog) {
                                 EXPECT_EQ(Chart().EditMode, pmAddPolygon);
                                 ExpectModeShown(*Window);
                                 QTest::keyRelease(&Dialog, Qt::Key_Control);
                                 Dialog.reject();
                             });
    // The next right-click adds nothing and deletes nothing.
    Click(Qt::RightButton, onLine);
    int after = 0;
    for (int i = 0; i < Chart().Lines.Length(); ++i)
        after += Chart().Lines[i].points.Length();
    EXPECT_EQ(after, linePoints);
    EXPECT_EQ(Chart().EditMode, pmAddPolygon);

    // Ctrl+O: the same with the open dialog.
    Activate();
    QTest::keyPress(Window.get(), Qt::Key_Control);
    EXPECT_EQ(Chart().EditMode, pmDeleteLineNode);
    AnswerModal<QFileDialog>([&] { QTest::keyPress(Window.get(), Qt::Key_O, Qt::ControlModifier); },
                             [&](QFileDialog& Dialog) {
                                 EXPECT_EQ(Chart().EditMode, pmAddPolygon);
                                 QTest::keyRelease(&Dialog, Qt::Key_Control);
                                 Dialog.reject();
                             });
    ExpectModeShown(*Window);

    // Shift held while a menu opens.
    const QPoint onNode = Pixel(300, 141);
    MoveMouse(onNode, Qt::NoButton);
    QCursor::setPos(ChartWidget()->mapToGlobal(onNode));
    QTest::keyPress(Window.get(), Qt::Key_Shift);
    EXPECT_EQ(Chart().EditMode, pmMoveNode);
    ExpectModeShown(*Window);
    QMenu* file = Window->menuBar()->actions().first()->menu();
    file->popup(Window->mapToGlobal(QPoint(10, 10)));
    QTRY_VERIFY(file->isVisible());
    EXPECT_EQ(Chart().EditMode, pmAddPolygon);
    ExpectModeShown(*Window);
    file->close();
    QTest::keyRelease(Window.get(), Qt::Key_Shift);
    EXPECT_EQ(Chart().EditMode, pmAddPolygon);

    // Alt held while another window is brought up.
    Activate();
    QTest::keyPress(Window.get(), Qt::Key_Alt);
    EXPECT_EQ(Chart().EditMode, pmAddNode);
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(Chart().EditMode, pmAddPolygon);
    ExpectModeShown(*Window);
}

TEST_F(MainWindow, EscapeShowsAddNodeOnTheToolBar)
{
    Start({Section});
    Window->ModeButtons.at(pmMoveLine)->click();
    QTest::keyClick(Window.get(), Qt::Key_Escape);
    EXPECT_EQ(Chart().EditMode, pmAddNode);
    ExpectModeShown(*Window);
    EXPECT_TRUE(Window->ModeButtons.at(pmAddNode)->isChecked());
}

TEST_F(MainWindow, AKeyPressedWithTheMouseRestingOnANodePicksThatNode)
{
    Start({Section});
    Window->ModeButtons.at(pmAddPolygon)->click();
    const int corner = NodeAt(300, 140);
    const int other = NodeAt(600, 140);
    // The mouse came to rest on the lens' corner; Shift, then a press
    // without any move picks it up.
    const QPoint at = Pixel(300, 140);
    MoveMouse(at, Qt::NoButton);
    QCursor::setPos(ChartWidget()->mapToGlobal(at));
    QTest::keyPress(Window.get(), Qt::Key_Shift);
    EXPECT_EQ(Chart().EditMode, pmMoveNode);
    EXPECT_EQ(Chart().PickNode, corner);
    QTest::mousePress(ChartWidget(), Qt::LeftButton, {}, at);
    const QPoint to = Pixel(320, 150);
    MoveMouse(to, Qt::LeftButton);
    QTest::mouseRelease(ChartWidget(), Qt::LeftButton, {}, to);
    Click(Qt::RightButton, to);
    QTest::keyRelease(Window.get(), Qt::Key_Shift);
    EXPECT_NEAR(Chart().Nodes[corner].x, 320, 2.0);
    EXPECT_NEAR(Chart().Nodes[corner].y, 150, 2.0);
    EXPECT_EQ(Chart().EditMode, pmAddPolygon);

    // The mouse now rests on another node, reached without a move the
    // chart saw: the key picks from where the mouse is.
    QCursor::setPos(ChartWidget()->mapToGlobal(Pixel(600, 140)));
    QTest::keyPress(Window.get(), Qt::Key_Control);
    EXPECT_EQ(Chart().EditMode, pmDeleteNode);
    EXPECT_EQ(Chart().PickNode, other);
    QTest::keyRelease(Window.get(), Qt::Key_Control);
}

TEST_F(MainWindow, NodeDotsStayInsideThePlotAfterWheelScrolling)
{
    Start({Section});
    const auto outsideDots = [&] {
        const TRect plot = Chart().ChartRectangle();
        const QImage shot = ChartWidget()->grab().toImage();
        std::vector<std::string> found;
        for (int i = 4; i < Chart().Nodes.Length(); ++i) {
            const QPoint at = Pixel(Chart().Nodes[i].x, Chart().Nodes[i].y);
            const bool inside = at.x() >= plot.Left && at.x() <= plot.Right + 1 && at.y() >= plot.Top &&
                                at.y() <= plot.Bottom + 1;
            if (inside || !shot.rect().contains(at))
                continue;
            const Tnode& node = Chart().Nodes[i];
            const TColor color = node.border > 0 ? Chart().BorderNodeColor
                                 : node.fixed != 0 ? Chart().FixedNodeColor
                                 : node.sharing <= 1 ? Chart().FreeNodeColor
                                                     : Chart().SharedNodeColor;
            const QColor dot(GetRValue(color), GetGValue(color), GetBValue(color));
            if (shot.pixelColor(at) == dot)
                found.push_back("node " + std::to_string(i));
        }
        return found;
    };
    // Wheel down until some nodes are past the plot's top but still on the
    // chart's margin.
    bool past = false;
    for (int turn = 0; turn < 12 && !past; ++turn) {
        const QPoint centre = ChartWidget()->rect().center();
        QWheelEvent wheel(QPointF(centre), ChartWidget()->mapToGlobal(QPointF(centre)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(ChartWidget(), &wheel);
        QCoreApplication::processEvents();
        const TRect plot = Chart().ChartRectangle();
        for (int i = 4; i < Chart().Nodes.Length(); ++i) {
            const int y = Pixel(Chart().Nodes[i].x, Chart().Nodes[i].y).y();
            past = past || (y < plot.Top - 2 && y > 2);
        }
        EXPECT_EQ(outsideDots(), std::vector<std::string>{}) << "turn " << turn;
    }
    EXPECT_TRUE(past) << "no node left the plot";
}

// A random user switching modes by buttons and by held keys, pressing and
// releasing keys around dialogs and menus, editing and undoing: the tool
// bar always shows the mode in force, a key's mode never outlives the
// dialog that took the keyboard, and the model stays sound.
TEST_F(MainWindow, RandomUserWithHeldKeysAroundDialogs)
{
    Start({Section});
    // Double clicks that open the body dialog and the chart's menus would
    // wait for a user: counted instead.
    int bodyDialogs = 0;
    const TBodyParametersEntry bodyDialog = BodyParametersEntryPoint();
    BodyParametersEntryPoint() = [&](TPolygonChart*, int, int, int) { ++bodyDialogs; };
    ChartMenuSuppressed = true;
    struct TRestore {
        TBodyParametersEntry Entry;
        ~TRestore()
        {
            BodyParametersEntryPoint() = Entry;
            ChartMenuSuppressed = false;
        }
    } restore{bodyDialog};
    std::mt19937 random(4817);
    const auto chance = [&](double P) { return std::uniform_real_distribution<double>(0, 1)(random) < P; };
    const auto pick = [&](int N) { return std::uniform_int_distribution<int>(0, N - 1)(random); };
    std::vector<TPolygonEditMode> modes;
    for (const auto& [mode, button] : Window->ModeButtons)
        modes.push_back(mode);
    const int heldKeys[] = {Qt::Key_Shift, Qt::Key_Alt, Qt::Key_Control};
    // Near a node most of the time, so keys and clicks find something.
    const auto target = [&] {
        const int node = 4 + pick(Chart().Nodes.Length() - 4);
        const QPoint at = Pixel(Chart().Nodes[node].x, Chart().Nodes[node].y) + QPoint(pick(7) - 3, pick(7) - 3);
        return chance(0.8) ? at : QPoint(60 + pick(ChartWidget()->width() - 120), 60 + pick(ChartWidget()->height() - 120));
    };
    int dialogs = 0;
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const QPoint at = target();
        MoveMouse(at, Qt::NoButton);
        QCursor::setPos(ChartWidget()->mapToGlobal(at));
        const int action = pick(10);
        if (action < 2) {
            Window->ModeButtons.at(modes[static_cast<size_t>(pick(static_cast<int>(modes.size())))])->click();
        } else if (action < 6) {
            const TPolygonEditMode chosen = Chart().EditMode;
            const int key = heldKeys[pick(3)];
            QTest::keyPress(Window.get(), static_cast<Qt::Key>(key));
            ExpectModeShown(*Window);
            if (chance(0.5)) {
                // A gesture in the key's mode.
                QTest::mousePress(ChartWidget(), chance(0.5) ? Qt::LeftButton : Qt::RightButton, {}, at);
                const QPoint to = target();
                MoveMouse(to, Qt::LeftButton);
                QTest::mouseRelease(ChartWidget(), Qt::LeftButton, {}, to);
                Click(Qt::RightButton, to);
            }
            if (dialogs < 12 && chance(0.3)) {
                ++dialogs;
                Activate();
                AnswerModal<QFileDialog>([&] { QTest::keyPress(Window.get(), Qt::Key_S, Qt::ControlModifier); },
                                         [&](QFileDialog& Dialog) {
                                             EXPECT_EQ(Chart().EditMode, chosen);
                                             QTest::keyRelease(&Dialog, static_cast<Qt::Key>(key));
                                             Dialog.reject();
                                         });
                EXPECT_EQ(Chart().EditMode, chosen);
            } else if (chance(0.2)) {
                QMenu* menu = Window->menuBar()->actions()[pick(3)]->menu();
                menu->popup(Window->mapToGlobal(QPoint(20, 20)));
                EXPECT_EQ(Chart().EditMode, chosen);
                menu->close();
                QTest::keyRelease(Window.get(), static_cast<Qt::Key>(key));
            } else {
                QTest::keyRelease(Window.get(), static_cast<Qt::Key>(key));
                EXPECT_EQ(Chart().EditMode, chosen);
            }
        } else if (action < 9) {
            const QPoint to = target();
            QTest::mousePress(ChartWidget(), Qt::LeftButton, {}, at);
            MoveMouse(to, Qt::LeftButton);
            QTest::mouseRelease(ChartWidget(), Qt::LeftButton, {}, to);
            Click(chance(0.7) ? Qt::RightButton : Qt::LeftButton, to);
        } else {
            Window->SpeedButton13->click();
        }
        ExpectModeShown(*Window);
        if (!Chart().Editing) {
            const std::vector<std::string> faults = test::ShapeFaults(Chart().Model, Chart().Nodes);
            ASSERT_TRUE(faults.empty()) << faults.front();
        }
    }
    EXPECT_GT(dialogs, 3);
}

} // namespace
} // namespace lp
