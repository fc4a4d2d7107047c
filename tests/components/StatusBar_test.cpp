#include "components/StatusBar.h"

#include "platform/core/DateTimeFormat.h"
#include "platform/ui/Keyboard.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtGui/QKeyEvent>

namespace lp {
namespace {

using P = TsbStatusPanel;

// A bar on a clock of its own: 7 December 2026, 13:05:09.
class StatusBarTest : public ::testing::Test {
protected:
    StatusBarTest()
    {
        Bar.Clock = [this] { return FNow; };
        Bar.SetBounds(0, 0, 600, 19);
    }

    TsbStatusPanel* AddPanel(TsbStatusPanelType Type, int Width = 80)
    {
        TsbStatusPanel* Panel = Bar.Panels().Add();
        Panel->SetPanelType(Type);
        Panel->SetWidth(Width);
        return Panel;
    }

    int Interval() const { return Bar.Panels().Timer() ? Bar.Panels().Timer()->Interval() : -1; }

    double FNow = EncodeDateTime(2026, 12, 7, 13, 5, 9, 0);
    TsbStatusBar Bar;
};

TEST_F(StatusBarTest, EachPanelType_SetsItsTextAndAutoFit)
{
    struct Row {
        TsbStatusPanelType Type;
        QString Text;
        bool AutoFit;
    };
    const Row Rows[] = {
        {P::sptNormal, "", false},
        {P::sptCapsLock, " CAPS ", true},
        {P::sptNumLock, " NUM ", true},
        {P::sptScrollLock, " SCROLL ", true},
        {P::sptDate, "07/12/2026", false},
        {P::sptTime, "13:05:09", false},
        {P::sptDateTime, "07/12/2026 13:05:09", false},
        {P::sptTimeDate, "13:05:09 07/12/2026", false},
        {P::sptEllipsisText, "", false},
        {P::sptEllipsisPath, "", false},
        {P::sptGlyph, "", true},
        {P::sptGauge, "", false},
        {P::sptOwnerDraw, "", false},
    };
    for (const Row& Row : Rows) {
        TsbStatusPanel* Panel = Bar.Panels().Add();
        Panel->SetPanelType(Row.Type);
        SCOPED_TRACE(Panel->DisplayName().toStdString());
        EXPECT_EQ(Panel->Text(), Row.Text);
        EXPECT_EQ(Panel->AutoFit(), Row.AutoFit);
        EXPECT_EQ(Panel->IsTextStored(), Row.Type < P::sptDate || Row.Type > P::sptTimeDate);
    }
    EXPECT_EQ(Bar.Panels().Count(), 13);
    EXPECT_EQ(Bar.TStatusBar::Panels().Count(), 13);
    EXPECT_EQ(Bar.Panels().GetItem(1)->DisplayName(), "sptCapsLock");
    EXPECT_EQ(Bar.Panels().GetItem(8)->Hint(), "...");
    EXPECT_EQ(Bar.Panels().GetItem(11)->Alignment(), taCenter);
    EXPECT_EQ(Bar.Version(), "TsbStatusBar v1.24");
    Bar.SetVersion(QStringLiteral("x"));
    EXPECT_EQ(Bar.Version(), "TsbStatusBar v1.24");
}

TEST_F(StatusBarTest, DateAndTimeFormats_ComeFromThePanelOrTheBar)
{
    TsbStatusPanel* Panel = AddPanel(P::sptDateTime);
    Panel->SetDateFormat(QStringLiteral("yyyy-mm-dd"));
    EXPECT_EQ(Panel->Text(), "2026-12-07 13:05:09");
    Panel->SetTimeFormat(QStringLiteral("hh:nn"));
    EXPECT_EQ(Panel->Text(), "2026-12-07 13:05");
    Panel->SetPanelType(P::sptTimeDate);
    EXPECT_EQ(Panel->Text(), "13:05 2026-12-07");
}

TEST_F(StatusBarTest, AutoFit_WidthsFollowTheTypeTextPictureAndBorder)
{
    TsbStatusPanel* Text = AddPanel(P::sptNormal);
    Text->SetText(QStringLiteral("Ready"));
    Text->SetBorderWidth(2);
    Text->SetAutoFit(true);
    EXPECT_EQ(Text->Width(), Bar.MeasureText(QStringLiteral("Ready")) + 6 + 2);
    Text->SetWidth(300); // ignored while fitting
    EXPECT_EQ(Text->Width(), Bar.MeasureText(QStringLiteral("Ready")) + 8);

    TsbStatusPanel* Caps = AddPanel(P::sptCapsLock);
    EXPECT_EQ(Caps->Width(), Bar.MeasureText(QStringLiteral(" CAPS ")) + 6);

    TsbStatusPanel* Glyph = AddPanel(P::sptGlyph);
    TBitmap Picture(16, 12);
    Glyph->Glyph()->SetGraphic(&Picture);
    Glyph->SetBorderWidth(3);
    EXPECT_EQ(Glyph->Width(), 16 + 3 + 4);
    Glyph->SetText(QStringLiteral("Saved"));
    EXPECT_EQ(Glyph->Width(), Bar.MeasureText(QStringLiteral("Saved")) + 2 + 2 * 3 + 16 + 4);

    // A larger font refits every fitting panel.
    const int Before = Caps->Width();
    Bar.Font().SetHeight(-20);
    EXPECT_GT(Caps->Width(), Before);
    EXPECT_EQ(Caps->Width(), Bar.MeasureText(QStringLiteral(" CAPS ")) + 6);

    // Other types do not fit: their widths are the application's.
    TsbStatusPanel* Date = AddPanel(P::sptDate, 90);
    EXPECT_FALSE(Date->AutoFit());
    EXPECT_EQ(Date->Width(), 90);
}

TEST_F(StatusBarTest, SharedTimer_RunsOnlyWhileDateTimeOrAnimatedGaugePanelsAreEnabled)
{
    EXPECT_EQ(Bar.Panels().Timer(), nullptr);
    TsbStatusPanel* Date = AddPanel(P::sptDate);
    EXPECT_EQ(Interval(), 60000);
    EXPECT_TRUE(Bar.Panels().Timer()->Enabled());
    TsbStatusPanel* Time = AddPanel(P::sptTime);
    EXPECT_EQ(Interval(), 1000);

    // A new indeterminate gauge waits for the application to enable it.
    TsbStatusPanel* Gauge = Bar.Panels().Add();
    Gauge->GaugeAttrs()->SetStyle(gsIndeterminate);
    Gauge->SetPanelType(P::sptGauge);
    EXPECT_FALSE(Gauge->Enabled());
    EXPECT_EQ(Interval(), 1000);
    Gauge->SetEnabled(true);
    EXPECT_EQ(Interval(), 50);
    // Switching the gauge to percent leaves the timer, back again joins it.
    Gauge->GaugeAttrs()->SetStyle(gsPercent);
    EXPECT_EQ(Interval(), 1000);
    Gauge->GaugeAttrs()->SetStyle(gsIndeterminate2);
    EXPECT_EQ(Interval(), 50);

    // A disabled bar serves nobody.
    Bar.SetEnabled(false);
    EXPECT_EQ(Bar.Panels().Timer(), nullptr);
    Bar.SetEnabled(true);
    EXPECT_EQ(Interval(), 50);

    Bar.Panels().Delete(Gauge->Index());
    EXPECT_EQ(Interval(), 1000);
    Time->SetPanelType(P::sptNormal);
    EXPECT_EQ(Interval(), 60000);
    Date->SetEnabled(false);
    EXPECT_EQ(Bar.Panels().Timer(), nullptr);
    Date->SetEnabled(true);
    EXPECT_EQ(Interval(), 60000);
    Bar.Panels().Clear();
    EXPECT_EQ(Bar.Panels().Timer(), nullptr);
}

TEST_F(StatusBarTest, TimerTick_UpdatesTimesAlwaysAndDatesWhenTheDateChanges)
{
    TsbStatusPanel* Date = AddPanel(P::sptDate);
    Date->SetDateFormat(QStringLiteral("dd hh:nn:ss")); // shows whether it was updated
    TsbStatusPanel* Time = AddPanel(P::sptTime);
    EXPECT_EQ(Date->Text(), "07 13:05:09");

    FNow += 1.0 / 86400;
    Bar.Panels().Timer()->Tick();
    EXPECT_EQ(Time->Text(), "13:05:10");
    EXPECT_EQ(Date->Text(), "07 13:05:09");

    FNow = EncodeDateTime(2026, 12, 8, 0, 0, 1, 0);
    Bar.Panels().Timer()->Tick();
    EXPECT_EQ(Date->Text(), "08 00:00:01");
    EXPECT_EQ(Time->Text(), "00:00:01");
}

TEST_F(StatusBarTest, IndeterminateGauges_StepBetweenTheirEnds)
{
    // The gauge's area: 80 - 2 (gap) - 2 (inside the bevel) = 76 wide and
    // 19 - 2 (top border) - 2 = 15 high; the block is 15 - 2 * 5 = 5 square.
    TsbStatusPanel* Gauge = AddPanel(P::sptGauge, 80);
    AddPanel(P::sptNormal); // the last panel stretches; the gauge does not
    Gauge->GaugeAttrs()->SetStyle(gsIndeterminate);
    Gauge->SetEnabled(true);
    EXPECT_EQ(Gauge->GaugePosition(), 0);
    EXPECT_EQ(Gauge->GaugeStep(), 4);
    const auto Ticks = [&](int Count) {
        for (int i = 0; i < Count; ++i)
            Bar.Panels().Timer()->Tick();
    };
    // Right until position + 5 + 1 reaches 76, left until position 1.
    Ticks(17);
    EXPECT_EQ(Gauge->GaugePosition(), 68);
    EXPECT_EQ(Gauge->GaugeStep(), 4);
    Ticks(1);
    EXPECT_EQ(Gauge->GaugePosition(), 72);
    EXPECT_EQ(Gauge->GaugeStep(), -4);
    Ticks(18);
    EXPECT_EQ(Gauge->GaugePosition(), 0);
    EXPECT_EQ(Gauge->GaugeStep(), 4);

    // The second style runs out of the right edge and back until the
    // 100-pixel gradient has left at the left.
    Gauge->GaugeAttrs()->SetStyle(gsIndeterminate2);
    Ticks(19);
    EXPECT_EQ(Gauge->GaugePosition(), 76);
    EXPECT_EQ(Gauge->GaugeStep(), -4);
    Ticks(44);
    EXPECT_EQ(Gauge->GaugePosition(), -100);
    EXPECT_EQ(Gauge->GaugeStep(), 4);

    // Speed: below 1 ignored; a new speed keeps the direction.
    Ticks(1);
    Gauge->GaugeAttrs()->SetSpeed(0);
    Gauge->GaugeAttrs()->SetSpeed(-3);
    EXPECT_EQ(Gauge->GaugeAttrs()->Speed(), 4);
    Gauge->GaugeAttrs()->SetSpeed(6);
    EXPECT_EQ(Gauge->GaugeStep(), 6);

    // A width change restarts, disabling returns to the left end.
    Ticks(3);
    Gauge->SetWidth(90);
    EXPECT_EQ(Gauge->GaugePosition(), 0);
    Ticks(3);
    Gauge->SetEnabled(false);
    EXPECT_EQ(Gauge->GaugePosition(), 0);
    EXPECT_EQ(Gauge->GaugeStep(), 6);
}

TEST_F(StatusBarTest, GaugePosition_IsClampedToPerCent)
{
    TsbStatusPanel* Gauge = AddPanel(P::sptGauge);
    Gauge->GaugeAttrs()->SetPosition(150);
    EXPECT_EQ(Gauge->GaugeAttrs()->Position(), 100);
    Gauge->GaugeAttrs()->SetPosition(-5);
    EXPECT_EQ(Gauge->GaugeAttrs()->Position(), 0);
    Gauge->SetBorderWidth(-4);
    EXPECT_EQ(Gauge->BorderWidth(), 0);
}

TEST_F(StatusBarTest, LockPanels_AreOffWithoutAKeyboardSource)
{
    if (DesktopReportsLockKeys())
        GTEST_SKIP() << "the desktop reports lock keys here";
    TsbStatusPanel* Caps = AddPanel(P::sptCapsLock);
    TsbStatusPanel* Num = AddPanel(P::sptNumLock);
    EXPECT_FALSE(Caps->LockOn());
    EXPECT_FALSE(Num->LockOn());
    SetLockKeySource([](int Key) { return Key == VK_NUMLOCK; });
    EXPECT_FALSE(Caps->LockOn());
    EXPECT_TRUE(Num->LockOn());
    SetLockKeySource({});
}

TEST_F(StatusBarTest, LockKeys_RepaintTheirPanelsOnTheFirstPressOnly)
{
    TsbStatusPanel* Caps = AddPanel(P::sptCapsLock);
    AddPanel(P::sptNumLock);
    Bar.Widget();
    QStringList Painted;
    Bar.OnDrawPanel = [&](TsbStatusBar*, TsbStatusPanel* Panel, const TRect&) { Painted << Panel->Text(); };
    QObject Target;
    QKeyEvent Press(QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier);
    QCoreApplication::sendEvent(&Target, &Press);
    EXPECT_EQ(Painted, QStringList({" CAPS "}));
    QKeyEvent Repeat(QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier, QString(), true);
    QCoreApplication::sendEvent(&Target, &Repeat);
    EXPECT_EQ(Painted, QStringList({" CAPS "}));
    QKeyEvent Num(QEvent::KeyPress, Qt::Key_NumLock, Qt::NoModifier);
    QCoreApplication::sendEvent(&Target, &Num);
    EXPECT_EQ(Painted, QStringList({" CAPS ", " NUM "}));

    // The switch back to the application repaints every indicator.
    Painted.clear();
    Bar.RefreshLockPanels();
    EXPECT_EQ(Painted, QStringList({" CAPS ", " NUM "}));

    // A disabled panel no longer listens.
    Painted.clear();
    Caps->SetEnabled(false);
    Painted.clear();
    QCoreApplication::sendEvent(&Target, &Press);
    EXPECT_TRUE(Painted.isEmpty());
}

TEST_F(StatusBarTest, MonitorLibrary_IsNotThere_SoTheSwitchFallsBack)
{
    AddPanel(P::sptCapsLock);
    Bar.SetUseMonitorDLL(true);
    EXPECT_FALSE(Bar.UseMonitorDLL());
    TsbStatusBar Designed;
    Designed.SetDesigning(true);
    try {
        Designed.SetUseMonitorDLL(true);
        FAIL() << "no error";
    } catch (const EInvalidOperation& Error) {
        EXPECT_EQ(Error.Message(), "Could not load SBKbMon.dll");
    }
    EXPECT_FALSE(Designed.UseMonitorDLL());
}

TEST_F(StatusBarTest, MonitorMessage_SetsTheStateOfTheMatchingPanels)
{
    TsbStatusPanel* Caps = AddPanel(P::sptCapsLock);
    TsbStatusPanel* Scroll = AddPanel(P::sptScrollLock);
    Bar.MonitorMessage(145, true);
    Bar.MonitorMessage(99, true); // any other code is Caps Lock
    EXPECT_TRUE(Scroll->KeyOn());
    EXPECT_TRUE(Caps->KeyOn());
}

TEST_F(StatusBarTest, Panels_StayLinkedToTheirBasePanels)
{
    TsbStatusPanel* A = AddPanel(P::sptNormal, 10);
    TsbStatusPanel* B = AddPanel(P::sptNormal, 20);
    TsbStatusPanel* C = AddPanel(P::sptNormal, 30);
    C->SetIndex(0);
    EXPECT_EQ(C->LinkedPanel()->Index(), 0);
    EXPECT_EQ(A->LinkedPanel()->Index(), 1);
    EXPECT_EQ(Bar.TStatusBar::Panels().Items(0)->Width(), 30);
    Bar.Panels().Delete(A->Index());
    EXPECT_EQ(Bar.TStatusBar::Panels().Count(), 2);
    EXPECT_EQ(B->LinkedPanel()->Index(), 1);
    TsbStatusPanel* Inserted = static_cast<TsbStatusPanel*>(Bar.Panels().Insert(1));
    EXPECT_EQ(Inserted->LinkedPanel()->Index(), 1);

    TCollection Other(CollectionItemFactory<TsbStatusPanel>());
    try {
        Other.Add();
        FAIL() << "no error";
    } catch (const EInvalidOperation& Error) {
        EXPECT_EQ(Error.Message(), "TsbStatusPanel owner must be TsbStatusPanesls");
    }
    EXPECT_EQ(Other.Count(), 0);
}

TEST_F(StatusBarTest, Assign_CopiesAllButBorderWidthAndOnClick_TypeLast)
{
    TsbStatusPanel* Source = AddPanel(P::sptNormal, 70);
    Source->SetText(QStringLiteral("x"));
    Source->SetBorderWidth(3);
    Source->SetHint(QStringLiteral("tip"));
    Source->SetBevel(pbRaised);
    Source->GaugeAttrs()->SetPosition(40);
    Source->OnClick = [](TsbStatusPanel*) {};
    Source->SetPanelType(P::sptNumLock);
    TsbStatusPanel* Copy = AddPanel(P::sptNormal, 10);
    Copy->Assign(Source);
    EXPECT_EQ(Copy->PanelType(), P::sptNumLock);
    EXPECT_EQ(Copy->Text(), " NUM ");
    // Fitted anew: the border width stays the panel's own.
    EXPECT_EQ(Copy->Width(), Bar.MeasureText(QStringLiteral(" NUM ")) + 6);
    EXPECT_EQ(Copy->Bevel(), pbRaised);
    EXPECT_EQ(Copy->Hint(), "tip");
    EXPECT_EQ(Copy->GaugeAttrs()->Position(), 40);
    EXPECT_EQ(Copy->BorderWidth(), 0);
    EXPECT_FALSE(Copy->OnClick);

    // The bar's collection as a whole.
    TsbStatusBar Other;
    Other.SetPanels(Bar.Panels());
    ASSERT_EQ(Other.Panels().Count(), 2);
    EXPECT_EQ(Other.Panels().GetItem(1)->Text(), " NUM ");
    EXPECT_EQ(Other.TStatusBar::Panels().Count(), 2);
}

TEST_F(StatusBarTest, Hints_ComeFromThePanelUnderTheMouseOrTheBar)
{
    TsbStatusPanel* Path = AddPanel(P::sptEllipsisPath, 100);  //   0 ..  98
    AddPanel(P::sptNormal, 100);                                 // 100 .. 198
    TsbStatusPanel* Tipped = AddPanel(P::sptNormal, 100);        // 200 .. 298
    AddPanel(P::sptNormal, 100);
    Path->SetText(QStringLiteral("/home/user/sections/line 4.sec"));
    Tipped->SetHint(QStringLiteral("Mode"));
    Tipped->OnHintText = [](TsbStatusBar*, TsbStatusPanel*, QString& Hint) { Hint += QStringLiteral(" help"); };
    Bar.SetHint(QStringLiteral("Status"));
    QString Hint;
    TRect Area;
    ASSERT_TRUE(Bar.HintAt(10, 10, Hint, Area));
    EXPECT_EQ(Hint, "/home/user/sections/line 4.sec");
    EXPECT_EQ(Area, Bar.PanelRect(0));
    ASSERT_TRUE(Bar.HintAt(210, 10, Hint, Area));
    EXPECT_EQ(Hint, "Mode help");
    // Between the hinted panels the bar's hint holds.
    ASSERT_TRUE(Bar.HintAt(150, 10, Hint, Area));
    EXPECT_EQ(Hint, "Status");
    EXPECT_EQ(Area.Left, Bar.PanelRect(0).Right);
    EXPECT_EQ(Area.Right, Bar.PanelRect(2).Left);
}

TEST_F(StatusBarTest, FinalizeStatusBars_ReportsServicesStillInUse)
{
    FinalizeStatusBars(); // nothing in use
    {
        TsbStatusBar Other;
        Other.Panels().Add()->SetPanelType(P::sptCapsLock);
        Other.Panels().Add()->SetPanelType(P::sptTime);
        try {
            FinalizeStatusBars();
            FAIL() << "no error";
        } catch (const EAssertionFailed& Error) {
            EXPECT_EQ(Error.Message(), "TsbStatusBar: Keyboard hook still installed");
        }
        try {
            FinalizeStatusBars();
            FAIL() << "no error";
        } catch (const EAssertionFailed& Error) {
            EXPECT_EQ(Error.Message(), "TsbStatusBar: Unbalanced timer registrations");
        }
    }
    FinalizeStatusBars();
}

TEST_F(StatusBarTest, Click_GoesToThePanelThenToTheBar)
{
    AddPanel(P::sptNormal, 100);
    TsbStatusPanel* Second = AddPanel(P::sptNormal, 100);
    QStringList Clicks;
    Second->OnClick = [&](TsbStatusPanel*) { Clicks << QStringLiteral("panel"); };
    Bar.OnClick = [&](TControl*) { Clicks << QStringLiteral("bar"); };
    Bar.MouseDown(mbLeft, {}, 150, 10);
    Bar.Click();
    EXPECT_EQ(Clicks, QStringList({"panel", "bar"}));
}

} // namespace
} // namespace lp
