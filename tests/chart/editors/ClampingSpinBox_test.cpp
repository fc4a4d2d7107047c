// A counter that puts a whole number typed outside its range at the nearest
// end when the typing is done, and keeps its value for text that is no
// whole number.

#include "chart/editors/ClampingSpinBox.h"

#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

TEST(ClampingSpinBox, WholeNumbersAreClampedAndOtherTextIsNone)
{
    const auto clamped = [](const char* Text) {
        return TClampingSpinBox::ClampedWholeNumber(QString::fromLatin1(Text), -5, 100);
    };
    EXPECT_EQ(clamped("42"), 42);
    EXPECT_EQ(clamped("+42"), 42);
    EXPECT_EQ(clamped(" 007 "), 7);
    EXPECT_EQ(clamped("-2147483649"), -5);
    EXPECT_EQ(clamped("2147483648"), 100);
    EXPECT_EQ(clamped("-000000000000000000000000000001"), -1); // leading zeros are no size
    EXPECT_EQ(clamped("99999999999999999999999999999999"), 100);
    EXPECT_EQ(clamped("-99999999999999999999999999999999"), -5);
    for (const char* none : {"", "-", "+", "1.5", "1e3", "abc", "--1", "1-"})
        EXPECT_EQ(clamped(none), std::nullopt) << none;
}

// The user's road: the text typed over the field, then Enter or Tab.
TEST(ClampingSpinBox, TypingOutsideTheRangeEndsAtTheNearestEnd)
{
    QWidget window;
    auto* spin = new TClampingSpinBox(&window);
    auto* next = new QLineEdit(&window);
    next->move(0, 40);
    spin->setRange(-1000, 1000);
    spin->setSuffix(QStringLiteral(" %"));
    spin->setValue(3);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QLineEdit* field = spin->findChild<QLineEdit*>();
    const auto type = [&](const QString& Text, Qt::Key End) {
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(field, Text);
        QTest::keyClick(field, End);
    };
    type(QStringLiteral("-50000"), Qt::Key_Return);
    EXPECT_EQ(spin->value(), -1000);
    EXPECT_EQ(spin->text(), QStringLiteral("-1000 %"));
    type(QStringLiteral("123456789012345"), Qt::Key_Tab);
    EXPECT_EQ(spin->value(), 1000);
    EXPECT_TRUE(next->hasFocus());
    type(QStringLiteral("-7"), Qt::Key_Return);
    EXPECT_EQ(spin->value(), -7);
    // Text that is no number keeps the value and shows it again.
    type(QStringLiteral("-"), Qt::Key_Tab);
    EXPECT_EQ(spin->value(), -7);
    EXPECT_EQ(spin->text(), QStringLiteral("-7 %"));
    // Letters are refused as they are typed.
    type(QStringLiteral("4x2"), Qt::Key_Return);
    EXPECT_EQ(spin->value(), 42);
}

} // namespace
} // namespace lp
