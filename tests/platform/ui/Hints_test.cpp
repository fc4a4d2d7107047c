// Hints: the replaceable service, a control's hint text,
// and the default tooltip appearing after the pause.

#include "platform/ui/Hints.h"

#include "platform/ui/Controls.h"

#include <QtTest/QTest>
#include <QtWidgets/QToolTip>

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(HintService, RequestsGoToTheReplacedServiceUntilItIsReset)
{
    std::vector<THintRequest> Shown;
    int Cancels = 0;
    HintService().Show = [&](const THintRequest& R) { Shown.push_back(R); };
    HintService().Cancel = [&] { ++Cancels; };
    TControl Control;
    ActivateHint(&Control, QStringLiteral("Tip"), QPoint(5, 6));
    CancelHint();
    ResetHintService();
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0].Text, QStringLiteral("Tip"));
    EXPECT_EQ(Shown[0].ScreenPos, QPoint(5, 6));
    EXPECT_EQ(Shown[0].Control, &Control);
    EXPECT_EQ(Cancels, 1);
}

TEST(HintService, AControlKeepsItsOwnHintText)
{
    TControl A, B;
    EXPECT_FALSE(ControlShowHint(A));
    SetControlHint(A, QStringLiteral("first"));
    SetControlShowHint(A, true);
    EXPECT_EQ(ControlHint(A), QStringLiteral("first"));
    EXPECT_TRUE(ControlShowHint(A));
    EXPECT_TRUE(ControlHint(B).isEmpty());
    EXPECT_EQ(ControlToScreen(B, QPoint(3, 4)), QPoint(3, 4));
}

TEST(HintService, TheDefaultShowsATooltipAfterThePauseAndACancelRemovesIt)
{
    SetHintPause(30);
    ActivateHint(nullptr, QStringLiteral("Later"), QPoint(40, 40));
    EXPECT_FALSE(QToolTip::isVisible());
    EXPECT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }, 2000));
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Later"));
    CancelHint();
    // A cancel before the pause ends shows nothing at all.
    ActivateHint(nullptr, QStringLiteral("Never"), QPoint(40, 40));
    CancelHint();
    QTest::qWait(100);
    EXPECT_NE(QToolTip::text(), QStringLiteral("Never"));
    SetHintPause(500);
}

} // namespace
} // namespace lp
