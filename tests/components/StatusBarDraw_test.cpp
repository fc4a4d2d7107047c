// Drawing of the typed status panels, checked by pixels and, for a bar with
// every panel type, against a reference picture.

#include "components/StatusBar.h"

#include "ReferenceImage.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/ui/Keyboard.h"

#include <gtest/gtest.h>

#include <QtGui/QPainter>
#include <QtCore/QCoreApplication>
#include <QtGui/QHelpEvent>
#include <QtWidgets/QToolTip>
#include <QtWidgets/QWidget>

namespace lp {
namespace {

using P = TsbStatusPanel;

QImage Render(TControl& Control)
{
    TBitmap Bitmap(Control.Width(), Control.Height());
    Control.Paint(Bitmap.Canvas());
    return Bitmap.Image().convertToFormat(QImage::Format_RGB32);
}

// How many pixels of Area have Color, give or take what the smoothing of
// text edges changes (Tolerance per channel).
int CountColor(const QImage& Image, const TRect& Area, TColor Color, int Tolerance = 40)
{
    const QColor Wanted = ToQColor(Color);
    int Count = 0;
    for (int y = Area.Top; y < Area.Bottom; ++y)
        for (int x = Area.Left; x < Area.Right; ++x) {
            const QColor Found = Image.pixelColor(x, y);
            Count += std::abs(Found.red() - Wanted.red()) <= Tolerance &&
                     std::abs(Found.green() - Wanted.green()) <= Tolerance &&
                     std::abs(Found.blue() - Wanted.blue()) <= Tolerance;
        }
    return Count;
}

class StatusBarDrawTest : public ::testing::Test {
protected:
    StatusBarDrawTest()
    {
        Bar.Clock = [] { return EncodeDateTime(2026, 12, 7, 13, 5, 9, 0); };
        Bar.SetBounds(0, 0, 400, 22);
        Bar.Font().SetColor(clBlack);
        Bar.SetColor(clSilver);
    }

    TsbStatusPanel* AddPanel(TsbStatusPanelType Type, int Width = 100)
    {
        TsbStatusPanel* Panel = Bar.Panels().Add();
        Panel->SetPanelType(Type);
        Panel->SetWidth(Width);
        return Panel;
    }

    // The inside of panel Index: within the bevel.
    TRect Inside(int Index) const
    {
        const TRect R = Bar.PanelRect(Index);
        return {R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
    }

    TsbStatusBar Bar;
};

TEST_F(StatusBarDrawTest, PanelsAreSunkenInTheirBevels)
{
    AddPanel(P::sptNormal)->SetText(QStringLiteral("Ready"));
    AddPanel(P::sptNormal)->SetBevel(pbRaised);
    const QImage Image = Render(Bar);
    const TRect R0 = Bar.PanelRect(0), R1 = Bar.PanelRect(1);
    EXPECT_EQ(FromQColor(Image.pixelColor(R0.Left, R0.Top)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(FromQColor(Image.pixelColor(R0.Right - 1, R0.Bottom - 1)), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(FromQColor(Image.pixelColor(R1.Left, R1.Top + 3)), ColorToRGB(clBtnHighlight));
    // Text in the bar's font colour.
    EXPECT_GT(CountColor(Image, Inside(0), clBlack), 5);
}

TEST_F(StatusBarDrawTest, PercentGauge_LabelChangesColourOverTheFilledPart)
{
    TsbStatusPanel* Gauge = AddPanel(P::sptGauge, 120);
    AddPanel(P::sptNormal);
    Gauge->GaugeAttrs()->SetColor(clNavy);
    Gauge->GaugeAttrs()->SetTextColor(clYellow);
    const TRect Area = Inside(0);

    QImage Image = Render(Bar); // 0 %: all in the bar's colours
    EXPECT_EQ(CountColor(Image, Area, clNavy), 0);
    EXPECT_EQ(CountColor(Image, Area, clYellow), 0);
    EXPECT_GT(CountColor(Image, Area, clBlack), 5);

    Gauge->GaugeAttrs()->SetPosition(100);
    Image = Render(Bar);
    EXPECT_EQ(CountColor(Image, Area, clBlack), 0);
    EXPECT_EQ(CountColor(Image, Area, clSilver), 0);
    EXPECT_GT(CountColor(Image, Area, clYellow), 5);

    // Half: the left half filled, the right half in the bar's colour.
    Gauge->GaugeAttrs()->SetPosition(50);
    Image = Render(Bar);
    const int Middle = Area.Left + MulDiv(Area.Width(), 50, 100);
    EXPECT_EQ(FromQColor(Image.pixelColor(Area.Left + 1, Area.Top + 1)), clNavy);
    EXPECT_EQ(FromQColor(Image.pixelColor(Middle - 1, Area.Top + 1)), clNavy);
    EXPECT_EQ(FromQColor(Image.pixelColor(Middle, Area.Top + 1)), clSilver);
}

TEST_F(StatusBarDrawTest, LockPanels_AreGreyWhenOffAndInTheFontColourWhenOn)
{
    AddPanel(P::sptCapsLock);
    AddPanel(P::sptNormal);
    QImage Image = Render(Bar);
    EXPECT_EQ(CountColor(Image, Inside(0), clBlack), 0);
    EXPECT_GT(CountColor(Image, Inside(0), clGrayText), 5);
    SetLockKeySource([](int) { return true; });
    Image = Render(Bar);
    SetLockKeySource({});
    EXPECT_GT(CountColor(Image, Inside(0), clBlack), 5);
}

TEST_F(StatusBarDrawTest, DisabledAndOwnerDrawnPanels_DrawNothingOfTheirOwn)
{
    TsbStatusPanel* Text = AddPanel(P::sptNormal);
    Text->SetText(QStringLiteral("Hidden"));
    Text->SetEnabled(false);
    TsbStatusPanel* Owned = AddPanel(P::sptOwnerDraw);
    TRect Given;
    Owned->OnDrawPanel = [&](TsbStatusBar*, TsbStatusPanel*, const TRect& R) { Given = R; };
    AddPanel(P::sptNormal);
    const QImage Image = Render(Bar);
    EXPECT_EQ(CountColor(Image, Inside(0), clSilver, 0), Inside(0).Width() * Inside(0).Height());
    EXPECT_EQ(Given, Bar.PanelRect(1));
}

TEST_F(StatusBarDrawTest, OwnerDrawnPanelInTheDesigner_ShowsItsMark)
{
    AddPanel(P::sptOwnerDraw);
    AddPanel(P::sptNormal);
    EXPECT_EQ(CountColor(Render(Bar), Inside(0), clBlack), 0);
    Bar.SetDesigning(true);
    EXPECT_GT(CountColor(Render(Bar), Inside(0), clBlack), 5);
}

TEST_F(StatusBarDrawTest, EllipsisPanels_ShortenTheirText)
{
    TsbStatusPanel* Path = AddPanel(P::sptEllipsisPath, 90);
    Path->SetText(QStringLiteral("/home/user/sections/profiles/line.sec"));
    AddPanel(P::sptNormal);
    const QImage Image = Render(Bar);
    // The text stays inside the panel: the column at its right edge is clear.
    const TRect Area = Inside(0);
    for (int y = Area.Top; y < Area.Bottom; ++y)
        EXPECT_EQ(FromQColor(Image.pixelColor(Area.Right - 1, y)), clSilver);
}

TEST_F(StatusBarDrawTest, DegenerateSizes_DrawSafely)
{
    AddPanel(P::sptGauge, 0);
    AddPanel(P::sptGlyph, 1)->SetBorderWidth(40);
    TsbStatusPanel* Moving = AddPanel(P::sptGauge, 3);
    Moving->GaugeAttrs()->SetStyle(gsIndeterminate2);
    Moving->SetEnabled(true);
    Bar.Panels().Timer()->Tick();
    Render(Bar);
    Bar.SetBounds(0, 0, 2, 1);
    Bar.Panels().Timer()->Tick();
    Render(Bar);
    Bar.InvalidatePanel(99);
    Bar.InvalidatePanel(-1);
}

// The bar in a window shows what its painting draws, and a panel repainted
// at once (a new text) shows without a full repaint.
TEST_F(StatusBarDrawTest, InAWindow_ShowsWhatItPaints)
{
    TsbStatusPanel* Message = AddPanel(P::sptNormal, 150);
    AddPanel(P::sptCapsLock);
    AddPanel(P::sptTime, 70);
    QWidget Window;
    Window.resize(400, 60);
    Bar.Widget(&Window);
    Window.show();
    EXPECT_EQ(Bar.Top(), 60 - Bar.Height()); // at the bottom of the window
    Message->SetText(QStringLiteral("Moving node 12"));
    const QImage Grabbed = Bar.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Grabbed, Render(Bar));

    // Hovering over a panel shows its hint.
    Message->SetHint(QStringLiteral("What the editor does"));
    QHelpEvent Hover(QEvent::ToolTip, QPoint(20, 10), Bar.Widget()->mapToGlobal(QPoint(20, 10)));
    QCoreApplication::sendEvent(Bar.Widget(), &Hover);
    EXPECT_EQ(QToolTip::text(), "What the editor does");
    QToolTip::hideText();
}

// A small picture with a magenta background (its bottom-left pixel) that
// the panel leaves out.
std::unique_ptr<TBitmap> MakeGlyph()
{
    auto Glyph = std::make_unique<TBitmap>(16, 16);
    QImage Image(16, 16, QImage::Format_RGB32);
    Image.fill(QColor(255, 0, 255));
    QPainter Painter(&Image);
    Painter.fillRect(2, 4, 12, 9, QColor(230, 190, 60));
    Painter.fillRect(2, 3, 5, 2, QColor(230, 190, 60));
    Painter.setPen(QColor(120, 90, 20));
    Painter.drawRect(2, 4, 11, 8);
    Painter.end();
    Glyph->SetImage(Image);
    return Glyph;
}

// Fills a bar with every panel type, as the main window would show them.
void FillEveryType(TsbStatusBar& Bar, const TBitmap& Glyph)
{
    const auto Add = [&](TsbStatusPanelType Type, int Width) {
        TsbStatusPanel* Panel = Bar.Panels().Add();
        Panel->SetPanelType(Type);
        Panel->SetWidth(Width);
        return Panel;
    };
    Add(P::sptNormal, 110)->SetText(QStringLiteral("X: 1250.0 m"));
    Add(P::sptCapsLock, 0);
    Add(P::sptNumLock, 0);
    Add(P::sptScrollLock, 0);
    Add(P::sptDate, 74)->SetAlignment(taCenter);
    Add(P::sptTime, 60)->SetAlignment(taCenter);
    Add(P::sptDateTime, 124);
    Add(P::sptTimeDate, 124);
    Add(P::sptEllipsisText, 110)->SetText(QStringLiteral("Drawing a new polygon: click the first node"));
    Add(P::sptEllipsisPath, 130)->SetText(QStringLiteral("/home/user/sections/profile 12/line.sec"));
    TsbStatusPanel* Picture = Add(P::sptGlyph, 0);
    Picture->Glyph()->SetGraphic(&Glyph);
    Picture->SetText(QStringLiteral("Saved"));
    TsbStatusPanel* Gauge = Add(P::sptGauge, 100);
    Gauge->GaugeAttrs()->SetPosition(60);
    // The application paints a swatch into its own panel.
    Add(P::sptOwnerDraw, 60)->OnDrawPanel = [](TsbStatusBar* Bar, TsbStatusPanel*, const TRect& R) {
        TCanvas& Canvas = *Bar->Canvas();
        Canvas.Brush().SetColor(RGB(0, 128, 96));
        Canvas.FillRect({R.Left + 3, R.Top + 3, R.Right - 3, R.Bottom - 3});
    };
}

TEST_F(StatusBarDrawTest, EveryPanelType_MatchesItsReference)
{
    const std::unique_ptr<TBitmap> Glyph = MakeGlyph();
    TsbStatusBar Full;
    Full.Clock = Bar.Clock;
    Full.SetBounds(0, 0, 1290, 22);
    FillEveryType(Full, *Glyph);
    TBitmap Picture(Full.Width(), 3 * Full.Height() + 8);
    TCanvas& Canvas = Picture.Canvas();
    Canvas.Brush().SetColor(clBtnFace);
    Canvas.FillRect({0, 0, Picture.Width(), Picture.Height()});
    Full.Paint(Canvas);

    // Second row: the lock keys on, the animated gauges under way, and a
    // bar in another colour with its own size grip.
    TsbStatusBar Busy;
    Busy.Clock = Bar.Clock;
    Busy.SetBounds(0, 0, 1290, 22);
    const auto Add = [&](TsbStatusBar& Target, TsbStatusPanelType Type, int Width) {
        TsbStatusPanel* Panel = Target.Panels().Add();
        Panel->SetPanelType(Type);
        Panel->SetWidth(Width);
        return Panel;
    };
    Add(Busy, P::sptNormal, 200)->SetText(QStringLiteral("Saving the section..."));
    Add(Busy, P::sptCapsLock, 0);
    Add(Busy, P::sptNumLock, 0);
    Add(Busy, P::sptScrollLock, 0);
    TsbStatusPanel* Bounce = Add(Busy, P::sptGauge, 160);
    Bounce->GaugeAttrs()->SetStyle(gsIndeterminate);
    Bounce->SetEnabled(true);
    TsbStatusPanel* Sweep = Add(Busy, P::sptGauge, 160);
    Sweep->GaugeAttrs()->SetStyle(gsIndeterminate2);
    Sweep->SetEnabled(true);
    TsbStatusPanel* Right = Add(Busy, P::sptGauge, 160);
    Right->GaugeAttrs()->SetPosition(25);
    Right->SetText(QStringLiteral("Exporting"));
    Right->SetAlignment(taRightJustify);
    Add(Busy, P::sptNormal, 100)->SetText(QStringLiteral("Right aligned"));
    Busy.Panels().GetItem(7)->SetAlignment(taRightJustify);
    for (int i = 0; i < 30; ++i)
        Busy.Panels().Timer()->Tick();
    SetLockKeySource([](int Key) { return Key != VK_SCROLL; });
    TBitmap Row(Busy.Width(), Busy.Height());
    Busy.Paint(Row.Canvas());
    SetLockKeySource({});
    Canvas.Draw(0, Full.Height() + 4, &Row);

    TsbStatusBar Coloured;
    Coloured.SetBounds(0, 0, 1290, 22);
    Coloured.SetColor(RGB(214, 226, 240));
    Add(Coloured, P::sptNormal, 300)->SetText(QStringLiteral("A bar in its own colour"));
    Add(Coloured, P::sptNormal, 100)->SetBevel(pbRaised);
    Add(Coloured, P::sptNormal, 100)->SetBevel(pbNone);
    TBitmap Third(Coloured.Width(), Coloured.Height());
    Coloured.Paint(Third.Canvas());
    Canvas.Draw(0, 2 * Full.Height() + 8, &Third);

    EXPECT_TRUE(test::MatchesReference(Picture.Image(), QStringLiteral("components"), QStringLiteral("statusbar")));
}

} // namespace
} // namespace lp
