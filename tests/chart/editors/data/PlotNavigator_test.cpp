#include "chart/editors/data/PlotNavigator.h"

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"

#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace lp {
namespace {

QList<int> NavigatorButtonWidths(const TCustomPlotNavigator& Bar)
{
    QList<int> Widths;
    for (int Kind = 0; Kind < PlotNavButtonCount; ++Kind)
        if (Bar.Button(Kind)->isVisibleTo(&Bar))
            Widths.append(Bar.Button(Kind)->width());
    return Widths;
}

TEST(PlotNavigator, UnalignedBarShrinksToWholeButtons)
{
    TCustomPlotNavigator Bar;
    Bar.show();
    Bar.resize(241, 25);
    EXPECT_EQ(Bar.width(), 240);
    EXPECT_EQ(Bar.ButtonWidth(), 60);
    EXPECT_EQ(NavigatorButtonWidths(Bar), (QList<int>{60, 60, 60, 60}));
    EXPECT_FALSE(Bar.Button(nbInsert)->isVisibleTo(&Bar));
    EXPECT_GT(Bar.Button(nbInsert)->x(), Bar.width()); // parked past the right edge
    EXPECT_EQ(Bar.Button(nbFirst)->height(), 25);
}

TEST(PlotNavigator, AlignedBarSpreadsTheRemainder)
{
    TCustomPlotNavigator Bar;
    Bar.SetAligned(true);
    for (int Kind = nbInsert; Kind <= nbCancel; ++Kind)
        Bar.Button(Kind)->setVisible(true);
    Bar.show();
    Bar.resize(241, 25);
    EXPECT_EQ(Bar.width(), 241);
    EXPECT_EQ(Bar.ButtonWidth(), 26);
    const QList<int> Widths = NavigatorButtonWidths(Bar);
    ASSERT_EQ(Widths.size(), 9);
    // The running count starts at 4 and loses 7 at each button; a button is
    // widened where it turns negative: all but the third and the seventh.
    EXPECT_EQ(Widths, (QList<int>{27, 27, 26, 27, 27, 27, 26, 27, 27}));
    int X = 0;
    for (int Kind = 0; Kind < 9; ++Kind) {
        EXPECT_EQ(Bar.Button(Kind)->x(), X); // edge to edge
        X += Widths[Kind];
    }
    EXPECT_EQ(X, 241);
}

TEST(PlotNavigator, AllHiddenLaysOutAsOne)
{
    TCustomPlotNavigator Bar;
    for (int Kind = 0; Kind < PlotNavButtonCount; ++Kind)
        Bar.Button(Kind)->setVisible(false);
    Bar.show();
    Bar.resize(7, 10);
    EXPECT_EQ(Bar.width(), 20); // one minimum button
    EXPECT_EQ(Bar.height(), 18);
    EXPECT_EQ(Bar.ButtonWidth(), 20);
}

TEST(PlotNavigator, HintsKeepDefaultsForEmptyEntries)
{
    TCustomPlotNavigator Bar;
    EXPECT_EQ(Bar.Button(nbFirst)->toolTip(), QStringLiteral("First"));
    EXPECT_EQ(Bar.Button(nbCancel)->toolTip(), QStringLiteral("Cancel"));
    QStringList Hints{QStringLiteral("Go to start"), QString(), QStringLiteral("Forward")};
    for (int i = 0; i < 7; ++i)
        Hints.append(QStringLiteral("extra %1").arg(i)); // the tenth is ignored
    Bar.SetHints(Hints);
    EXPECT_EQ(Bar.Button(nbFirst)->toolTip(), QStringLiteral("Go to start"));
    EXPECT_EQ(Bar.Button(nbPrior)->toolTip(), QStringLiteral("Prior"));
    EXPECT_EQ(Bar.Button(nbNext)->toolTip(), QStringLiteral("Forward"));
    EXPECT_EQ(Bar.Button(nbCancel)->toolTip(), QStringLiteral("extra 5"));
    Bar.SetHints({});
    EXPECT_EQ(Bar.Button(nbFirst)->toolTip(), QStringLiteral("First"));
}

TEST(PlotNavigator, GlyphsAreCompiledIn)
{
    TCustomPlotNavigator Bar;
    for (int Kind = 0; Kind < PlotNavButtonCount; ++Kind) {
        const QIcon Icon = Bar.Button(Kind)->icon();
        ASSERT_FALSE(Icon.isNull()) << PlotNavButtonName(static_cast<TPlotNavigateBtn>(Kind)).toStdString();
        EXPECT_NE(Icon.pixmap(16, 16, QIcon::Normal).toImage(), Icon.pixmap(16, 16, QIcon::Disabled).toImage());
    }
}

TEST(PlotNavigator, KeyboardMovesFocusAndClicks)
{
    TCustomPlotNavigator Bar;
    Bar.setFocusPolicy(Qt::StrongFocus);
    QList<int> Clicks;
    Bar.OnButtonClicked = [&](TPlotNavigateBtn Kind) { Clicks.append(Kind); };
    Bar.show();
    Bar.setFocus();
    QTest::keyClick(&Bar, Qt::Key_Left); // nothing before First
    EXPECT_EQ(Bar.FocusedButton(), nbFirst);
    QTest::keyClick(&Bar, Qt::Key_Space); // disabled: no click
    EXPECT_TRUE(Clicks.isEmpty());
    QTest::keyClick(&Bar, Qt::Key_Right);
    QTest::keyClick(&Bar, Qt::Key_Right);
    QTest::keyClick(&Bar, Qt::Key_Right);
    QTest::keyClick(&Bar, Qt::Key_Right); // Insert is hidden: stays on Last
    EXPECT_EQ(Bar.FocusedButton(), nbLast);
    Bar.Button(nbLast)->setEnabled(true);
    QTest::keyClick(&Bar, Qt::Key_Space);
    EXPECT_EQ(Clicks, QList<int>{nbLast});
    Bar.Button(nbPrior)->setEnabled(true);
    QTest::mouseClick(Bar.Button(nbPrior), Qt::LeftButton);
    EXPECT_EQ(Bar.FocusedButton(), nbPrior);
    EXPECT_EQ(Clicks, (QList<int>{nbLast, nbPrior}));
}

TEST(PlotNavigator, HeldButtonRepeats)
{
    TCustomPlotNavigator Bar;
    Bar.Button(nbNext)->setEnabled(true);
    int Clicks = 0;
    Bar.OnButtonClicked = [&](TPlotNavigateBtn) { ++Clicks; };
    Bar.show();
    QTest::mousePress(Bar.Button(nbNext), Qt::LeftButton);
    QTest::qWait(250);
    EXPECT_EQ(Clicks, 0); // still inside the first 400 ms
    QTest::qWait(500);    // then every 100 ms
    QTest::mouseRelease(Bar.Button(nbNext), Qt::LeftButton);
    EXPECT_GE(Clicks, 2);
    const int Held = Clicks;
    QTest::qWait(250);
    EXPECT_EQ(Clicks, Held); // released: no more repeats
}

TEST(PlotNavigator, FollowsItsPanelUntilDestroyed)
{
    TCustomPlotNavigator Bar;
    auto Chart = std::make_unique<test::TEditorChart>();
    Bar.SetPanel(Chart.get());
    EXPECT_GE(Chart->Listeners().IndexOf(&Bar), 0);
    Bar.SetPanel(nullptr);
    EXPECT_LT(Chart->Listeners().IndexOf(&Bar), 0);
    Bar.SetPanel(Chart.get());
    Chart.reset();
    EXPECT_EQ(Bar.Panel(), nullptr);
}

TEST(PlotNavigator, Screenshot)
{
    TCustomPlotNavigator Bar;
    Bar.setFocusPolicy(Qt::StrongFocus);
    for (int Kind = nbInsert; Kind <= nbCancel; ++Kind)
        Bar.Button(Kind)->setVisible(true);
    for (int Kind : {nbNext, nbLast, nbInsert, nbDelete})
        Bar.Button(Kind)->setEnabled(true);
    Bar.SetAligned(true);
    Bar.show();
    Bar.resize(241, 25);
    const QImage Shot = test::SaveScreenshot(Bar, QStringLiteral("navigator"));
    EXPECT_EQ(Shot.width(), 241);
}

} // namespace
} // namespace lp
