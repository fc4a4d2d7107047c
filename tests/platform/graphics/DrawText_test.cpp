#include "platform/graphics/DrawText.h"

#include "platform/graphics/RecordingDC.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// Draws through a recording device and returns the texts written.
class DrawTextTest : public ::testing::Test {
protected:
    DrawTextTest() : Canvas(&DC) { Canvas.Font().SetHeight(-12); }

    QStringList Draw(const QString& Text, TRect Rect, unsigned Format)
    {
        DC.ClearCalls();
        DrawText(Canvas, Text, Rect, Format);
        return DC.CallsStartingWith(QStringLiteral("TextOut"));
    }
    int LineHeight() const { return Canvas.TextHeight(QStringLiteral("Ag")); }

    TRecordingDC DC;
    TCanvas Canvas;
};

TEST_F(DrawTextTest, Lines_BreakAtLineEndsAndWrapAtBlanks)
{
    const int H = LineHeight();
    EXPECT_EQ(Draw(QStringLiteral("one\r\ntwo\nthree"), {0, 0, 500, 100}, 0),
              QStringList({"TextOut(0,0,\"one\")", QString("TextOut(0,%1,\"two\")").arg(H),
                           QString("TextOut(0,%1,\"three\")").arg(2 * H)}));
    const int Wide = Canvas.TextWidth(QStringLiteral("alpha beta"));
    EXPECT_EQ(Draw(QStringLiteral("alpha beta gamma"), {0, 0, Wide + 2, 100}, DT_WORDBREAK).size(), 2);
    EXPECT_EQ(Draw(QStringLiteral("one\ntwo"), {0, 0, 500, 100}, DT_SINGLELINE).size(), 1);
}

TEST_F(DrawTextTest, CalcRect_GivesTheWidestLineAndAllLines)
{
    TRect R{10, 20, 500, 21};
    const int Height = DrawText(Canvas, QStringLiteral("a\nwider line"), R, DT_CALCRECT);
    EXPECT_EQ(Height, 2 * LineHeight());
    EXPECT_EQ(R, (TRect{10, 20, 10 + Canvas.TextWidth(QStringLiteral("wider line")), 20 + Height}));
    EXPECT_TRUE(DC.CallsStartingWith(QStringLiteral("TextOut")).isEmpty());
}

TEST_F(DrawTextTest, Alignment_SingleLineCentredVertically)
{
    const int W = Canvas.TextWidth(QStringLiteral("abc"));
    const int Y = (40 - LineHeight()) / 2;
    EXPECT_EQ(Draw(QStringLiteral("abc"), {0, 0, 100, 40}, DT_SINGLELINE | DT_VCENTER | DT_RIGHT),
              QStringList({QString("TextOut(%1,%2,\"abc\")").arg(100 - W).arg(Y)}));
    EXPECT_EQ(Draw(QStringLiteral("abc"), {0, 0, 100, 40}, DT_SINGLELINE | DT_BOTTOM | DT_CENTER),
              QStringList({QString("TextOut(%1,%2,\"abc\")").arg((100 - W) / 2).arg(40 - LineHeight())}));
}

TEST_F(DrawTextTest, Ellipses_ShortenToFit_PathKeepsTheFileName)
{
    const QString Path = QStringLiteral("/home/user/sections/profiles/line.sec");
    const int Width = Canvas.TextWidth(QStringLiteral("/home/.../line.sec"));
    const QStringList Path1 = Draw(Path, {0, 0, Width, 20}, DT_SINGLELINE | DT_PATH_ELLIPSIS);
    ASSERT_EQ(Path1.size(), 1);
    EXPECT_TRUE(Path1[0].endsWith(QStringLiteral("...\"/line.sec\")")) || Path1[0].contains("/.../line.sec"))
        << Path1[0].toStdString();
    const QStringList End = Draw(QStringLiteral("Drawing a new polygon"), {0, 0, 60, 20},
                                 DT_SINGLELINE | DT_END_ELLIPSIS);
    ASSERT_EQ(End.size(), 1);
    EXPECT_TRUE(End[0].endsWith(QStringLiteral("...\")")));
    const QString Shown = End[0].section(QLatin1Char('"'), 1, 1);
    EXPECT_LE(Canvas.TextWidth(Shown), 60);
    // Text that fits stays whole.
    EXPECT_EQ(Draw(QStringLiteral("short"), {0, 0, 200, 20}, DT_SINGLELINE | DT_END_ELLIPSIS),
              QStringList({"TextOut(0,0,\"short\")"}));
}

TEST_F(DrawTextTest, Prefixes_MarkTheAcceleratorUnlessSwitchedOff)
{
    EXPECT_EQ(Draw(QStringLiteral("&File && Edit"), {0, 0, 300, 20}, 0), QStringList({"TextOut(0,0,\"File & Edit\")"}));
    EXPECT_EQ(Draw(QStringLiteral("&File"), {0, 0, 300, 20}, DT_NOPREFIX), QStringList({"TextOut(0,0,\"&File\")"}));
    EXPECT_EQ(AcceleratorOf(QStringLiteral("  &Left, m")), QLatin1Char('l'));
    EXPECT_TRUE(AcceleratorOf(QStringLiteral("a && b")).isNull());
    EXPECT_TRUE(AcceleratorOf(QStringLiteral("trailing&")).isNull());
}

TEST_F(DrawTextTest, Tabs_ExpandToStops)
{
    const QStringList Calls = Draw(QStringLiteral("a\tb"), {0, 0, 300, 20}, DT_EXPANDTABS);
    ASSERT_EQ(Calls.size(), 2);
    EXPECT_EQ(Calls[0], "TextOut(0,0,\"a\")");
    EXPECT_EQ(Calls[1], QString("TextOut(%1,0,\"b\")").arg(8 * Canvas.TextWidth(QStringLiteral("x"))));
}

TEST_F(DrawTextTest, ClipsToTheRectangleAndRestoresTheClip)
{
    Draw(QStringLiteral("abc"), {5, 5, 50, 20}, 0);
    EXPECT_FALSE(DC.ClipRegion().has_value());
    Draw(QStringLiteral("abc"), {5, 5, 50, 20}, DT_NOCLIP);
    EXPECT_TRUE(DC.CallsStartingWith(QStringLiteral("IntersectClipRect")).isEmpty());
}

} // namespace
} // namespace lp
