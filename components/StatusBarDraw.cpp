// Drawing of the typed status panels.

#include "components/StatusBar.h"

#include "platform/graphics/DrawText.h"

namespace lp {

namespace {

constexpr int kGradientWidth = 100;

TRect Shrunk(const TRect& R, int By)
{
    return {R.Left + By, R.Top + By, R.Right - By, R.Bottom - By};
}

// Draws with the canvas clipped to Area, then removes the clip.
template <class Draw>
void Clipped(TCanvas& Canvas, const TRect& Area, Draw&& draw)
{
    Canvas.Handle().IntersectClipRect(Area.Left, Area.Top, Area.Right, Area.Bottom);
    draw();
    Canvas.Handle().SelectClipRgn(nullptr);
}

} // namespace

TRect TsbStatusPanel::InnerRect(const TRect& Rect) const
{
    const TRect Inside = Shrunk(Rect, 1);
    return Shrunk({0, 0, Inside.Width(), Inside.Height()}, FBorderWidth);
}

TRect TsbStatusPanel::CurrentInnerRect() const
{
    const TsbStatusBar* Bar = StatusBar();
    if (!Bar)
        return {};
    return InnerRect(Bar->PanelRect(FLinkedPanel->Index()));
}

void TsbStatusPanel::Redraw(TCanvas& Canvas, const TRect& Rect)
{
    const TsbStatusBar* Bar = StatusBar();
    if (FPanelType == sptOwnerDraw && Bar && !Bar->IsDesigning() && OnDrawPanel) {
        OnDrawPanel(const_cast<TsbStatusBar*>(Bar), this, Rect);
        return;
    }
    DrawPanel(Canvas, Rect);
}

void TsbStatusPanel::DrawPanel(TCanvas& Canvas, const TRect& Rect)
{
    const TsbStatusBar* Bar = StatusBar();
    const TRect Target = Shrunk(Rect, 1);
    if (!Bar || Target.IsEmpty())
        return;
    // The panel is drawn off-screen and copied in one piece (no flicker).
    TBitmap Buffer(Target.Width(), Target.Height());
    TCanvas& Off = Buffer.Canvas();
    Off.Font().Assign(&Canvas.Font());
    Off.Brush().SetStyle(bsSolid);
    Off.Brush().SetColor(Bar->Color());
    Off.FillRect({0, 0, Target.Width(), Target.Height()});
    const TRect R = InnerRect(Rect);
    if (EffectiveEnabled() && !R.IsEmpty()) {
        switch (FPanelType) {
        case sptCapsLock:
        case sptNumLock:
        case sptScrollLock:
            DrawLock(Off, R);
            break;
        case sptEllipsisText:
            DrawTextType(Off, R, FText, DT_END_ELLIPSIS);
            break;
        case sptEllipsisPath:
            DrawTextType(Off, R, FText, DT_PATH_ELLIPSIS);
            break;
        case sptGlyph:
            DrawGlyph(Off, R);
            break;
        case sptGauge:
            if (FGaugeAttrs->Style() == gsPercent)
                DrawPercentGauge(Off, R);
            else
                DrawAnimatedGauge(Off, R);
            break;
        case sptOwnerDraw:
            // At run time the application draws it (OnDrawPanel).
            if (Bar->IsDesigning())
                DrawTextType(Off, R, QStringLiteral(" *OD* "), 0);
            break;
        default:
            DrawTextType(Off, R, FText, 0);
            break;
        }
    }
    Canvas.Draw(Target.Left, Target.Top, &Buffer);
}

unsigned TsbStatusPanel::TextFormat() const
{
    unsigned Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (FAutoFit || Alignment() == taCenter)
        Format |= DT_CENTER;
    else if (Alignment() == taRightJustify)
        Format |= DT_RIGHT;
    return Format;
}

void TsbStatusPanel::DrawTextType(TCanvas& Canvas, const TRect& R, const QString& Text, unsigned ExtraFormat)
{
    TRect Area = R;
    const unsigned Format = TextFormat() | ExtraFormat;
    if (Format & DT_RIGHT)
        Area.Right -= 1;
    Canvas.Font().SetColor(StatusBar()->Font().Color());
    DrawText(Canvas, Text, Area, Format);
}

void TsbStatusPanel::DrawLock(TCanvas& Canvas, const TRect& R)
{
    TRect Area = R;
    const unsigned Format = TextFormat();
    if (Format & DT_RIGHT)
        Area.Right -= 1;
    Canvas.Font().SetColor(LockOn() ? StatusBar()->Font().Color() : clGrayText);
    DrawText(Canvas, FText, Area, Format);
}

void TsbStatusPanel::DrawGlyph(TCanvas& Canvas, const TRect& R)
{
    const int TextWidth = FText.isEmpty() ? 0 : Canvas.TextWidth(FText) + 2;
    const int PictureWidth = FGlyph->Width();
    const int PictureHeight = FGlyph->Height();
    int Left = R.Left;
    const bool Centred = Alignment() == taCenter || FAutoFit;
    if (Centred)
        Left += (R.Width() - PictureWidth - TextWidth) / 2;
    else if (Alignment() == taRightJustify)
        Left = R.Right - PictureWidth;
    const int Top = R.Top + (R.Height() - PictureHeight) / 2;
    if (const TGraphic* Graphic = FGlyph->Graphic(); Graphic && !Graphic->Empty()) {
        const TRect Dest{Left, Top, Left + PictureWidth, Top + PictureHeight};
        if (const auto* Bitmap = qobject_cast<const TBitmap*>(Graphic)) {
            // The bottom-left pixel gives the transparent colour.
            const QImage& Image = Bitmap->Image();
            Canvas.Handle().DrawImage(Dest, Image, FromQColor(Image.pixelColor(0, Image.height() - 1)));
        } else {
            Canvas.StretchDraw(Dest, Graphic);
        }
    }
    if (FText.isEmpty())
        return;
    TRect TextArea = Alignment() == taRightJustify && !Centred
                         ? TRect{Left - TextWidth - 2, R.Top, Left, R.Bottom}
                         : TRect{Left + PictureWidth + 2, R.Top, R.Right, R.Bottom};
    Canvas.Font().SetColor(StatusBar()->Font().Color());
    DrawText(Canvas, FText, TextArea, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TsbStatusPanel::DrawPercentGauge(TCanvas& Canvas, const TRect& R)
{
    const TsbStatusBar* Bar = StatusBar();
    const int Filled = MulDiv(R.Width(), FGaugeAttrs->Position(), 100);
    const TRect Done{R.Left, R.Top, R.Left + Filled, R.Bottom};
    const TRect Rest{R.Left + Filled, R.Top, R.Right, R.Bottom};
    Canvas.Brush().SetColor(FGaugeAttrs->Color());
    Canvas.FillRect(Done);
    Canvas.Brush().SetColor(Bar->Color());
    Canvas.FillRect(Rest);

    const QString Label = FText.isEmpty() ? QString::number(FGaugeAttrs->Position()) + QLatin1Char('%') : FText;
    unsigned Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (Alignment() == taCenter)
        Format |= DT_CENTER;
    else if (Alignment() == taRightJustify)
        Format |= DT_RIGHT;
    // The label in two colours: over the filled part and over the rest.
    const auto DrawLabel = [&](const TRect& Part, TColor Color) {
        if (Part.IsEmpty())
            return;
        Clipped(Canvas, Part, [&] {
            TRect Area = R;
            Canvas.Font().SetColor(Color);
            DrawText(Canvas, Label, Area, Format);
        });
    };
    DrawLabel(Done, FGaugeAttrs->TextColor());
    DrawLabel(Rest, Bar->Font().Color());
}

void TsbStatusPanel::DrawAnimatedGauge(TCanvas& Canvas, const TRect& R)
{
    if (FGaugeAttrs->Style() == gsIndeterminate) {
        const int Band = R.Height() / 3;
        const int Top = R.Top + Band;
        const int Bottom = R.Bottom - Band;
        const int Size = Bottom - Top;
        const int Left = R.Left + FGaugePosition;
        Canvas.Brush().SetColor(FGaugeAttrs->Color());
        Canvas.Pen().SetColor(FGaugeAttrs->Color());
        Canvas.Ellipse(Left - 1, Top - 1, Left + Size + 1, Bottom + 1);
        return;
    }
    const TBitmap& Gradient = GradientBitmap();
    const int Left = R.Left + FGaugePosition;
    // Moving left the gauge colour leads.
    const QImage Image = FGaugeStep < 0 ? Gradient.Image().mirrored(true, false) : Gradient.Image();
    Clipped(Canvas, R, [&] {
        Canvas.Handle().DrawImage({Left, R.Top, Left + Image.width(), R.Top + Image.height()}, Image);
    });
}

const TBitmap& TsbStatusPanel::GradientBitmap()
{
    if (FGradient)
        return *FGradient;
    const TsbStatusBar* Bar = StatusBar();
    const TColor From = ColorToRGB(Bar ? Bar->Color() : clBtnFace);
    const TColor To = ColorToRGB(FGaugeAttrs->Color());
    const int Height = std::max(Bar ? Bar->Height() : 1, 1);
    FGradient = std::make_unique<TBitmap>(kGradientWidth, Height);
    QImage Image(kGradientWidth, Height, QImage::Format_RGB32);
    const auto Mix = [](int A, int B, int Column) { return A + (B - A) * Column / (kGradientWidth - 1); };
    for (int x = 0; x < kGradientWidth; ++x) {
        const QColor Color(Mix(GetRValue(From), GetRValue(To), x), Mix(GetGValue(From), GetGValue(To), x),
                           Mix(GetBValue(From), GetBValue(To), x));
        for (int y = 0; y < Height; ++y)
            Image.setPixelColor(x, y, Color);
    }
    FGradient->SetImage(Image);
    return *FGradient;
}

} // namespace lp
