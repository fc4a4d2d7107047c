#include "components/SuperLabel.h"

#include "ReferenceImage.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawText.h"

#include <gtest/gtest.h>

#include <QtWidgets/QApplication>

namespace lp {
namespace {

QImage Render(TControl& Control)
{
    TBitmap Bitmap(Control.Width(), Control.Height());
    Control.Paint(Bitmap.Canvas());
    return Bitmap.Image().convertToFormat(QImage::Format_RGB32);
}

bool Dark(QColor Color)
{
    return Color.red() < 100 && Color.green() < 100 && Color.blue() < 100;
}

// The first and last rows that hold text ink (dark pixels).
std::pair<int, int> InkRows(const QImage& Image)
{
    int First = -1, Last = -1;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x)
            if (Dark(Image.pixelColor(x, y))) {
                if (First < 0)
                    First = y;
                Last = y;
                break;
            }
    return {First, Last};
}

TColor Pixel(const QImage& Image, int X, int Y)
{
    return FromQColor(Image.pixelColor(X, Y));
}

class SuperLabelTest : public ::testing::Test {
protected:
    SuperLabelTest()
    {
        Label.SetColor(clWhite);
        Label.Font().SetColor(clBlack);
        Label.SetCaption(QStringLiteral("Left, m"));
    }
    TuiSuperLabel Label;
};

TEST_F(SuperLabelTest, NewLabel_Is100By25WithTopMargin2)
{
    EXPECT_EQ(Label.Width(), 100);
    EXPECT_EQ(Label.Height(), 25);
    EXPECT_EQ(Label.TopMargin(), 2);
    EXPECT_EQ(Label.VerticalAlignment(), TuiSuperLabel::vaTop);
    EXPECT_TRUE(Label.ShowAccelChar());
}

TEST_F(SuperLabelTest, Borders_SunkenOrFlat)
{
    Label.SetCaption(QString());
    Label.SetBorderStyle(TuiSuperLabel::bsSingle);
    QImage Image = Render(Label);
    EXPECT_EQ(Pixel(Image, 0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Pixel(Image, 98, 23), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Pixel(Image, 1, 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Pixel(Image, 99, 24), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Pixel(Image, 2, 2), clWhite);

    Label.SetCtl3D(false);
    Label.SetBorderColor(clRed);
    Image = Render(Label);
    EXPECT_EQ(Pixel(Image, 0, 0), clRed);
    EXPECT_EQ(Pixel(Image, 99, 24), clRed);
    EXPECT_EQ(Pixel(Image, 1, 1), clWhite);
}

// Where DrawText puts the caption's ink when the text starts at Top.
std::pair<int, int> ExpectedInk(const TuiSuperLabel& Label, int Top)
{
    TBitmap Bitmap(Label.Width(), Label.Height());
    Bitmap.Canvas().Brush().SetColor(clWhite);
    Bitmap.Canvas().FillRect({0, 0, Label.Width(), Label.Height()});
    Bitmap.Canvas().Font().Assign(&Label.Font());
    TRect Area{2, Top, Label.Width() - 2, Label.Height() + 40};
    DrawText(Bitmap.Canvas(), Label.Caption(), Area, DT_EXPANDTABS);
    return InkRows(Bitmap.Image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(SuperLabelTest, ThreeDBorderAndTopMargin2_TextStarts4PixelsDown)
{
    Label.SetBorderStyle(TuiSuperLabel::bsSingle);
    const QImage Image = Render(Label);
    EXPECT_EQ(InkRows(Image), ExpectedInk(Label, 4));
}

TEST_F(SuperLabelTest, VerticalAlignment_CentreAndBottom)
{
    Label.SetHeight(60);
    Label.SetTopMargin(0);
    TBitmap Probe(1, 1);
    Probe.Canvas().Font().Assign(&Label.Font());
    const int H = Probe.Canvas().TextHeight(QStringLiteral("Ag"));

    Label.SetVerticalAlignment(TuiSuperLabel::vaBottom);
    // Moved by bottom - (top + h - 1).
    EXPECT_EQ(InkRows(Render(Label)), ExpectedInk(Label, 60 - H + 1));
    Label.SetVerticalAlignment(TuiSuperLabel::vaCenter);
    EXPECT_EQ(InkRows(Render(Label)), ExpectedInk(Label, (60 - H + 1) / 2));
}

TEST_F(SuperLabelTest, TallCaptionAtTheBottom_KeepsItsLastLine)
{
    Label.SetTopMargin(0);
    Label.SetCaption(QStringLiteral("one\ntwo\nthree\nfour\nlast"));
    Label.SetVerticalAlignment(TuiSuperLabel::vaBottom);
    const QImage Image = Render(Label);
    // Line breaks start new lines without word wrap; only the last lines
    // fit, the first ones are cut off at the top.
    const auto Ink = InkRows(Image);
    TuiSuperLabel Last;
    Last.SetColor(clWhite);
    Last.Font().SetColor(clBlack);
    Last.SetCaption(QStringLiteral("last"));
    Last.SetTopMargin(0);
    Last.SetVerticalAlignment(TuiSuperLabel::vaBottom);
    const auto LastInk = InkRows(Render(Last));
    EXPECT_EQ(Ink.second, LastInk.second);
    EXPECT_LT(Ink.first, LastInk.first - 4);
}

TEST_F(SuperLabelTest, DisabledLabel_DrawsInGrayText)
{
    Label.SetEnabled(false);
    const QImage Image = Render(Label);
    const QColor Gray = ToQColor(clGrayText);
    int Black = 0, Grey = 0;
    for (int y = 0; y < Image.height(); ++y)
        for (int x = 0; x < Image.width(); ++x) {
            const QColor C = Image.pixelColor(x, y);
            Black += C.red() < 40 && C.green() < 40 && C.blue() < 40;
            Grey += std::abs(C.red() - Gray.red()) < 30 && std::abs(C.blue() - Gray.blue()) < 30;
        }
    EXPECT_EQ(Black, 0);
    EXPECT_GT(Grey, 5);
}

TEST_F(SuperLabelTest, Accelerator_UnderlinesAndFocusesTheFocusControl)
{
    Label.SetCaption(QStringLiteral("&Bottom, m"));
    QWidget Window;
    TControl Edit;
    Edit.SetBounds(0, 0, 50, 20);
    Edit.Widget(&Window);
    Window.show();
    Label.SetFocusControl(&Edit);
    EXPECT_FALSE(Label.DialogChar(QLatin1Char('b'), {}));
    EXPECT_FALSE(Label.DialogChar(QLatin1Char('x'), TControl::ssAlt));
    EXPECT_TRUE(Label.DialogChar(QLatin1Char('B'), TControl::ssAlt));
    Label.SetShowAccelChar(false);
    EXPECT_FALSE(Label.DialogChar(QLatin1Char('b'), TControl::ssAlt));

    // With prefixes shown the '&' is not drawn: the ink is narrower.
    Label.SetShowAccelChar(true);
    const QImage Shown = Render(Label);
    Label.SetShowAccelChar(false);
    const QImage Raw = Render(Label);
    EXPECT_NE(Shown, Raw);
}

TEST_F(SuperLabelTest, EachAlignment_MatchesItsReference)
{
    // A dialog's bordered captions: every horizontal and vertical alignment,
    // flat and sunken borders, wrapping, margins and a disabled one.
    TBitmap Picture(3 * 150 + 40, 4 * 44 + 50);
    TCanvas& Canvas = Picture.Canvas();
    Canvas.Brush().SetColor(clBtnFace);
    Canvas.FillRect({0, 0, Picture.Width(), Picture.Height()});
    const TAlignment Horizontal[] = {taLeftJustify, taCenter, taRightJustify};
    const TuiVAlignment Vertical[] = {TuiSuperLabel::vaTop, TuiSuperLabel::vaCenter, TuiSuperLabel::vaBottom};
    const char* Names[] = {"Left", "Centre", "Right"};
    const char* VNames[] = {"top", "centre", "bottom"};
    const auto Place = [&](TuiSuperLabel& L, int X, int Y) {
        TBitmap Cell(L.Width(), L.Height());
        L.Paint(Cell.Canvas());
        Canvas.Draw(X, Y, &Cell);
    };
    for (int v = 0; v < 3; ++v)
        for (int h = 0; h < 3; ++h) {
            TuiSuperLabel L;
            L.SetBounds(0, 0, 140, 36);
            L.SetBorderStyle(TuiSuperLabel::bsSingle);
            L.SetAlignment(Horizontal[h]);
            L.SetVerticalAlignment(Vertical[v]);
            L.SetLeftMargin(3);
            L.SetRightMargin(3);
            L.SetBottomMargin(v == 2 ? 2 : 0);
            L.SetCtl3D(v != 1);
            L.SetCaption(QString::fromLatin1("%1, %2").arg(QLatin1String(Names[h]), QLatin1String(VNames[v])));
            Place(L, 10 + h * 150, 10 + v * 44);
        }
    TuiSuperLabel Wrapped;
    Wrapped.SetBounds(0, 0, 140, 44);
    Wrapped.SetBorderStyle(TuiSuperLabel::bsSingle);
    Wrapped.SetWordWrap(true);
    Wrapped.SetCaption(QStringLiteral("A caption that wraps at its words"));
    Place(Wrapped, 10, 10 + 3 * 44);
    TuiSuperLabel Accel;
    Accel.SetBounds(0, 0, 140, 25);
    Accel.SetBorderStyle(TuiSuperLabel::bsSingle);
    Accel.SetVerticalAlignment(TuiSuperLabel::vaCenter);
    Accel.SetCaption(QStringLiteral("  &Left, m"));
    Place(Accel, 160, 10 + 3 * 44);
    TuiSuperLabel Disabled;
    Disabled.SetBounds(0, 0, 140, 25);
    Disabled.SetBorderStyle(TuiSuperLabel::bsSingle);
    Disabled.SetVerticalAlignment(TuiSuperLabel::vaCenter);
    Disabled.SetCaption(QStringLiteral(" Bottom, m"));
    Disabled.SetEnabled(false);
    Place(Disabled, 310, 10 + 3 * 44);
    EXPECT_TRUE(test::MatchesReference(Picture.Image(), QStringLiteral("components"), QStringLiteral("superlabels")));
}

} // namespace
} // namespace lp
