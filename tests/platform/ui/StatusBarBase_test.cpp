#include "platform/ui/StatusBar.h"

#include "platform/graphics/Bitmap.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/MenuItems.h"
#include "platform/ui/Timer.h"

#include <gtest/gtest.h>

#include <QtGui/QKeySequence>
#include <QtWidgets/QMenu>
#include <QtWidgets/QWidget>

namespace lp {
namespace {

TEST(StatusBarBaseTest, PanelsSitSideBySide_TheLastReachesTheGrip)
{
    TStatusBar Bar;
    Bar.SetBounds(0, 0, 300, 20);
    Bar.Panels().Add()->SetWidth(100);
    Bar.Panels().Add()->SetWidth(50);
    EXPECT_EQ(Bar.PanelRect(0), (TRect{0, 2, 98, 20}));
    EXPECT_EQ(Bar.PanelRect(1), (TRect{100, 2, 285, 20}));
    Bar.SetSizeGrip(false);
    EXPECT_EQ(Bar.PanelRect(1), (TRect{100, 2, 300, 20}));
    EXPECT_EQ(Bar.PanelAt(99, 10), -1);
    EXPECT_EQ(Bar.PanelAt(120, 10), 1);
    EXPECT_THROW(Bar.PanelRect(2), ERangeError);
    // A panel beyond the bar, and a negative width.
    Bar.Panels().Items(0)->SetWidth(400);
    EXPECT_TRUE(Bar.PanelRect(1).IsEmpty());
    Bar.Panels().Items(0)->SetWidth(-5);
    EXPECT_EQ(Bar.Panels().Items(0)->Width(), 0);
}

TEST(StatusBarBaseTest, OwnerDrawnPanels_AreHandedToOnDrawPanelWithTheCanvas)
{
    TStatusBar Bar;
    Bar.SetBounds(0, 0, 200, 20);
    TStatusPanel* Panel = Bar.Panels().Add();
    Panel->SetStyle(TStatusPanel::psOwnerDraw);
    TRect Given;
    TCanvas* During = nullptr;
    Bar.OnDrawPanel = [&](TStatusBar* Sender, TStatusPanel*, const TRect& R) {
        Given = R;
        During = Sender->Canvas();
    };
    TBitmap Picture(200, 20);
    Bar.Paint(Picture.Canvas());
    EXPECT_EQ(Given, Bar.PanelRect(0));
    EXPECT_EQ(During, &Picture.Canvas());
    EXPECT_EQ(Bar.Canvas(), nullptr);
}

// A control whose parent window was destroyed first freed its window twice.
TEST(StatusBarBaseTest, BarOutlivesItsParentWindow)
{
    TStatusBar Bar;
    {
        QWidget Window;
        Bar.Widget(&Window);
        EXPECT_TRUE(Bar.HandleAllocated());
    }
    EXPECT_FALSE(Bar.HandleAllocated());
    Bar.Invalidate();
}

TEST(TimerTest, TicksOnlyWhileEnabledWithAnInterval)
{
    TTimer Timer;
    int Ticks = 0;
    EXPECT_FALSE(Timer.Running());
    Timer.OnTimer = [&](TTimer*) { ++Ticks; };
    EXPECT_TRUE(Timer.Running());
    Timer.Tick();
    EXPECT_EQ(Ticks, 1);
    Timer.SetInterval(-5);
    EXPECT_EQ(Timer.Interval(), 0);
    EXPECT_FALSE(Timer.Running());
    Timer.SetInterval(1);
    Timer.SetEnabled(false);
    EXPECT_FALSE(Timer.Running());
}

TEST(KeyboardTest, LockStates_OffWithoutADesktopSource)
{
    if (DesktopReportsLockKeys())
        GTEST_SKIP() << "the desktop reports lock keys here";
    for (int Key : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL, 65})
        EXPECT_FALSE(LockKeyOn(Key));
    SetLockKeySource([](int Key) { return Key == VK_CAPITAL; });
    EXPECT_TRUE(LockKeyOn(VK_CAPITAL));
    EXPECT_FALSE(LockKeyOn(VK_NUMLOCK));
    SetLockKeySource({});
    EXPECT_FALSE(LockKeyOn(VK_CAPITAL));
}

TEST(MainMenuItemTest, SubMenus_InsertRemoveAndForgetDestroyedItems)
{
    TMainMenuItem Recent;
    auto A = std::make_unique<TMainMenuItem>();
    TMainMenuItem B;
    Recent.Add(A.get());
    Recent.Insert(0, &B);
    EXPECT_EQ(Recent.Items(0), &B);
    EXPECT_EQ(A->Parent(), &Recent);
    EXPECT_THROW(Recent.Insert(3, A.get()), ERangeError);
    EXPECT_THROW(Recent.Add(A.get()), EComponentError);
    A.reset();
    EXPECT_EQ(Recent.Count(), 1);
    Recent.Remove(&B);
    EXPECT_EQ(B.Parent(), nullptr);
    int Clicks = 0;
    B.OnClick = [&](TComponent* Sender) { Clicks += Sender == &B; };
    B.Click();
    B.SetEnabled(false);
    B.Click();
    EXPECT_EQ(Clicks, 1);
    // The window-system menu mirrors the items and reads captions the
    // desktop way: "&x" is the key letter, "&&" one ampersand.
    Recent.Add(&B);
    B.SetCaption(QStringLiteral("&Open a && b"));
    ASSERT_NE(Recent.NativeMenu(), nullptr);
    ASSERT_EQ(Recent.NativeMenu()->actions().size(), 1);
    EXPECT_EQ(Recent.NativeMenu()->actions().at(0)->text(), "&Open a && b");
    EXPECT_EQ(QKeySequence::mnemonic(Recent.NativeMenu()->actions().at(0)->text()), QKeySequence(Qt::ALT | Qt::Key_O));
    Recent.NativeMenu()->actions().at(0)->trigger();
    EXPECT_EQ(Clicks, 1); // disabled
    B.SetEnabled(true);
    emit Recent.NativeMenu()->aboutToShow(); // rebuilt as it opens
    Recent.NativeMenu()->actions().at(0)->trigger();
    EXPECT_EQ(Clicks, 2);
}

} // namespace
} // namespace lp
