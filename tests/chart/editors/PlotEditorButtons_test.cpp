#include "chart/editors/PlotEditorButtons.h"

#include "DialogTestUtil.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/RecordingDC.h"

#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TColorDialogAnswer;

int CountColor(const QImage& Image, const QRect& Area, QRgb Color)
{
    int count = 0;
    for (int y = Area.top(); y <= Area.bottom(); ++y)
        for (int x = Area.left(); x <= Area.right(); ++x)
            count += (Image.pixel(x, y) & 0xFFFFFF) == (Color & 0xFFFFFF);
    return count;
}

TEST(PlotButton, SymbolRectSitsAtTheRightEndByQuarterHeights)
{
    TPlotButton button(QStringLiteral("x"));
    EXPECT_EQ(button.width(), 75);
    EXPECT_EQ(button.height(), 25);
    const TRect r = button.GetSymbolRect(); // q = 6
    EXPECT_EQ(r.Left, 56);
    EXPECT_EQ(r.Top, 7);
    EXPECT_EQ(r.Right, 69);
    EXPECT_EQ(r.Bottom, 19);
}

TEST(ButtonColor, ShowsTheLinkedColourAsAFramedSwatch)
{
    TPen pen;
    pen.SetColor(clRed);
    TButtonColor button(QStringLiteral("&Color..."));
    button.LinkProperty(&pen, QStringLiteral("Color"));
    EXPECT_EQ(button.Color(), clRed);
    const QImage image = button.Snapshot();
    const TRect r = button.GetSymbolRect();
    const QRect inner = ToQRect({r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1});
    EXPECT_EQ(CountColor(image, inner, qRgb(255, 0, 0)), inner.width() * inner.height());
    EXPECT_EQ(image.pixel(r.Left, r.Top) & 0xFFFFFF, 0u); // the black frame
}

TEST(ButtonColor, NoneDrawsNoSwatchAndDisabledDrawsNoFrame)
{
    TButtonColor none(QStringLiteral("C"));
    none.SetColor(clNone);
    const QImage plain = none.Snapshot();
    EXPECT_EQ(CountColor(plain, ToQRect(none.GetSymbolRect()), 0), 0);

    TButtonColor disabled(QStringLiteral("C"));
    disabled.SetColor(clBlue);
    disabled.setEnabled(false);
    const QImage image = disabled.Snapshot();
    const TRect r = disabled.GetSymbolRect();
    EXPECT_EQ(image.pixel(r.Left + 1, r.Top + 1) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(CountColor(image, ToQRect(r), 0), 0);
}

TEST(ButtonColor, CallbackSuppliesTheColour)
{
    TButtonColor button;
    button.OnGetColor = [] { return TColor(0x123456); };
    EXPECT_EQ(button.Color(), 0x123456);
}

TEST(ButtonColor, ClickWritesBackAndFiresOnlyAfterARealChange)
{
    TColorDialogAnswer dialog;
    TBrush brush;
    brush.SetColor(clGreen);
    TButtonColor button;
    button.LinkProperty(&brush, QStringLiteral("Color"));
    int clicks = 0;
    button.OnClick = [&](TButtonColor*) { ++clicks; };

    dialog.Answer.reset(); // Cancel
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(brush.Color(), clGreen);
    EXPECT_EQ(clicks, 0);

    dialog.Answer = clGreen; // the same colour
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 0);

    dialog.Answer = clYellow;
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(brush.Color(), clYellow);
    EXPECT_EQ(clicks, 1);
    ASSERT_EQ(dialog.Requests.size(), 3u);
    EXPECT_EQ(dialog.Requests[0].Color, clGreen);
}

TEST(ColorDialog, FirstCustomColourIsTheHatchMarkerAndChoicesAreKept)
{
    TColorDialogAnswer dialog;
    dialog.Answer = clRed;
    dialog.CustomB = 0x445566;
    EXPECT_EQ(EditColor(nullptr, clBlack), clRed);
    dialog.CustomB.reset();
    dialog.Answer.reset();
    EXPECT_EQ(EditColor(nullptr, clBlack), clBlack); // cancelled
    ASSERT_EQ(dialog.Requests.size(), 2u);
    for (const TColorDialogRequest& request : dialog.Requests) {
        EXPECT_EQ(CustomColorOf(request.CustomColors, QLatin1Char('A')), 0xC0C0C1);
        EXPECT_TRUE(request.CustomColors.contains(QStringLiteral("ColorA=00C0C0C1")));
    }
    EXPECT_EQ(CustomColorOf(dialog.Requests[1].CustomColors, QLatin1Char('B')), 0x445566);

    TColor color = clBlue;
    EXPECT_FALSE(EditColorDialog(nullptr, color));
    EXPECT_EQ(color, clBlue);
}

TEST(ComboFlat, DropDownWidthIsStoredOnlyWhenItDiffersFromTheWidth)
{
    TComboFlat combo;
    combo.resize(100, 21);
    EXPECT_EQ(combo.height(), 21);
    EXPECT_FALSE(combo.isEditable());
    combo.SetDropDownWidth(100);
    EXPECT_FALSE(combo.IsDropDownWidthStored());
    combo.SetDropDownWidth(180);
    EXPECT_EQ(combo.DropDownWidth(), 180);
    EXPECT_TRUE(combo.IsDropDownWidthStored());
}

TEST(ComboFlat, FlatFrameOutlinesTwiceAndTheButtonArea)
{
    TRecordingDC dc(100, 30);
    TCanvas canvas(&dc);
    DrawFlatComboFrame(canvas, {0, 0, 100, 21}, 18);
    const QStringList calls = dc.Calls();
    EXPECT_EQ(calls.filter(QStringLiteral("Rectangle")).size(), 3) << calls.join('\n').toStdString();
}

} // namespace
} // namespace lp
