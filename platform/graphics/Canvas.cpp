#include "platform/graphics/Canvas.h"

#include "platform/base/Numeric.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawingLimits.h"
#include "platform/graphics/PainterDC.h"

#include <algorithm>
#include <cmath>

namespace lp {

void TGraphicsObject::Changed()
{
    if (OnChange)
        OnChange(this);
}

int MulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long divisor = c;
    const bool negative = (product < 0) != (divisor < 0);
    const unsigned long long magnitude = static_cast<unsigned long long>(product < 0 ? -product : product);
    const unsigned long long by = static_cast<unsigned long long>(divisor < 0 ? -divisor : divisor);
    const long long quotient = static_cast<long long>((magnitude + by / 2) / by); // halves away from zero
    return CheckedInt32(negative ? -quotient : quotient);
}

namespace {

// The character height (negative) of a size in points, within the font
// height range whatever the size.
int HeightOfSize(int Points, int PixelsPerInch)
{
    // As MulDiv: halves away from zero.
    const long long product = static_cast<long long>(Points) * PixelsPerInch;
    const long long pixels = product < 0 ? -((-product + 36) / 72) : (product + 36) / 72;
    return ClampToRange(-pixels, -MaxFontHeight, MaxFontHeight);
}

} // namespace

// --- TPen ---------------------------------------------------------------------------------------

TPen::TPen() = default;

void TPen::Modified()
{
    FHandle.reset();
    Changed();
}

void TPen::SetColor(TColor value)
{
    if (FColor != value || FHandle) {
        FColor = value;
        Modified();
    }
}

void TPen::SetMode(TPenMode value)
{
    if (FMode != value) {
        FMode = value;
        Changed(); // the mode is a device raster operation, not part of the pen
    }
}

void TPen::SetStyle(TPenStyle value)
{
    if (FStyle != value || FHandle) {
        FStyle = value;
        Modified();
    }
}

void TPen::SetWidth(int value)
{
    value = ClampToRange(value, 0, MaxPixelLength);
    if (FWidth != value || FHandle) {
        FWidth = value;
        Modified();
    }
}

void TPen::SetHandle(std::optional<TLogPen> pen)
{
    FHandle = std::move(pen);
    Changed();
}

TLogPen TPen::LogPen() const
{
    if (FHandle)
        return *FHandle;
    static const int styles[] = {PS_SOLID, PS_DASH,        PS_DOT,       PS_DASHDOT, PS_DASHDOTDOT,
                                 PS_NULL,  PS_INSIDEFRAME, PS_USERSTYLE, PS_ALTERNATE};
    const int style = styles[static_cast<int>(FStyle)];
    if (style == PS_ALTERNATE)
        return ExtCreatePen(PS_ALTERNATE, 1, FColor);
    return CreatePen(style, FWidth, FColor);
}

void TPen::Assign(const TPersistent* Source)
{
    if (const auto* pen = qobject_cast<const TPen*>(Source)) {
        FColor = pen->FColor;
        FMode = pen->FMode;
        FStyle = pen->FStyle;
        FWidth = pen->FWidth;
        FHandle = pen->FHandle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

int PenModeToRop2(TPenMode mode)
{
    static const int rops[] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,         R2_COPYPEN,   R2_NOTCOPYPEN,
                               R2_MERGEPENNOT, R2_MASKPENNOT,  R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,  R2_NOTMERGEPEN,
                               R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};
    return rops[static_cast<int>(mode)];
}

// --- TBrush -------------------------------------------------------------------------------------

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Modified()
{
    FHandle.reset();
    Changed();
}

void TBrush::SetColor(TColor value)
{
    if (FColor != value || FHandle) {
        FColor = value;
        Modified();
    }
}

void TBrush::SetStyle(TBrushStyle value)
{
    if (FStyle != value || FHandle) {
        FStyle = value;
        Modified();
    }
}

void TBrush::SetBitmap(TBitmap* value)
{
    if (FBitmap != value || FHandle) {
        FBitmap = value;
        Modified();
    }
}

void TBrush::SetHandle(std::optional<TLogBrush> brush)
{
    FHandle = std::move(brush);
    Changed();
}

TLogBrush TBrush::LogBrush() const
{
    if (FHandle)
        return *FHandle;
    if (FBitmap && !FBitmap->Empty())
        return CreatePatternBrush(FBitmap->Image());
    switch (FStyle) {
    case bsSolid: return CreateSolidBrush(FColor);
    case bsClear: return NullBrush();
    case bsHorizontal: return CreateHatchBrush(HS_HORIZONTAL, FColor);
    case bsVertical: return CreateHatchBrush(HS_VERTICAL, FColor);
    case bsFDiagonal: return CreateHatchBrush(HS_FDIAGONAL, FColor);
    case bsBDiagonal: return CreateHatchBrush(HS_BDIAGONAL, FColor);
    case bsCross: return CreateHatchBrush(HS_CROSS, FColor);
    case bsDiagCross: return CreateHatchBrush(HS_DIAGCROSS, FColor);
    }
    return CreateSolidBrush(FColor); // pattern numbers are the chart library's business
}

void TBrush::Assign(const TPersistent* Source)
{
    if (const auto* brush = qobject_cast<const TBrush*>(Source)) {
        FColor = brush->FColor;
        FStyle = brush->FStyle;
        FBitmap = brush->FBitmap;
        FHandle = brush->FHandle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

// --- TFont ---------------------------------------------------------------------------------------

TFont::TFont() = default;

void TFont::Modified()
{
    FHandle.reset();
    Changed();
}

void TFont::SetCharset(int value)
{
    if (FCharset != value) {
        FCharset = value;
        Modified();
    }
}

void TFont::SetColor(TColor value)
{
    if (FColor != value) {
        FColor = value;
        Changed(); // the colour is the device's text colour, not part of the font
    }
}

void TFont::SetHeight(int value)
{
    value = ClampToRange(value, -MaxFontHeight, MaxFontHeight);
    if (FHeight != value) {
        FHeight = value;
        Modified();
    }
}

void TFont::SetName(const QString& value)
{
    if (FName != value && !value.isEmpty()) {
        FName = value;
        Modified();
    }
}

int TFont::Size() const
{
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}

void TFont::SetSize(int value)
{
    SetHeight(HeightOfSize(value, FPixelsPerInch));
}

void TFont::SetStyle(TFontStyles value)
{
    if (FStyle != value) {
        FStyle = value;
        Modified();
    }
}

void TFont::SetPixelsPerInch(int value)
{
    if (value > 0)
        FPixelsPerInch = std::min(value, MaxFontPixelsPerInch);
}

void TFont::SetOrientation(int value)
{
    if (FOrientation != value) {
        FOrientation = value;
        Modified();
    }
}

void TFont::SetHandle(std::optional<TLogFont> font)
{
    FHandle = std::move(font);
    Changed();
}

TLogFont TFont::LogFont() const
{
    if (FHandle)
        return *FHandle;
    TLogFont font;
    font.Height = FHeight;
    font.Escapement = FOrientation;
    font.Orientation = FOrientation;
    font.Weight = FStyle.testFlag(fsBold) ? 700 : 400;
    font.Italic = FStyle.testFlag(fsItalic);
    font.Underline = FStyle.testFlag(fsUnderline);
    font.StrikeOut = FStyle.testFlag(fsStrikeOut);
    font.CharSet = FCharset;
    font.FaceName = FName;
    return font;
}

void TFont::Assign(const TPersistent* Source)
{
    if (const auto* font = qobject_cast<const TFont*>(Source)) {
        FCharset = font->FCharset;
        FColor = font->FColor;
        // The size in points carries over, converted to this font's resolution.
        FHeight = FPixelsPerInch == font->FPixelsPerInch ? font->FHeight : HeightOfSize(font->Size(), FPixelsPerInch);
        FName = font->FName;
        FStyle = font->FStyle;
        FOrientation = font->FOrientation;
        FHandle = font->FHandle;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

// --- TCanvas ---------------------------------------------------------------------------------------

TCanvas::TCanvas(TDeviceContext* dc)
    : FDC(dc), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()), FFont(std::make_unique<TFont>())
{
    FPen->OnChange = [this](TGraphicsObject*) {
        if (FDC) {
            FDC->SelectPen(FPen->LogPen());
            FDC->SetROP2(PenModeToRop2(FPen->Mode()));
        }
    };
    FBrush->OnChange = [this](TGraphicsObject*) {
        if (FDC)
            FDC->SelectBrush(FBrush->LogBrush());
    };
    FFont->OnChange = [this](TGraphicsObject*) {
        if (FDC) {
            FDC->SelectFont(FFont->LogFont());
            FDC->SetTextColor(FFont->Color());
        }
    };
    SelectObjects();
}

TCanvas::~TCanvas()
{
    // The objects may outlive the canvas in callers' hands only through
    // references that end with it; cut the callbacks first.
    FPen->OnChange = nullptr;
    FBrush->OnChange = nullptr;
    FFont->OnChange = nullptr;
}

TDeviceContext& TCanvas::Handle() const
{
    if (!FDC)
        throw EInvalidOperation("Canvas does not allow drawing");
    return *FDC;
}

void TCanvas::SetHandle(TDeviceContext* dc)
{
    FDC = dc;
    SelectObjects();
}

void TCanvas::SelectObjects()
{
    if (!FDC)
        return;
    FDC->SelectPen(FPen->LogPen());
    FDC->SetROP2(PenModeToRop2(FPen->Mode()));
    FDC->SelectBrush(FBrush->LogBrush());
    FDC->SelectFont(FFont->LogFont());
    FDC->SetTextColor(FFont->Color());
}

void TCanvas::MoveTo(int x, int y)
{
    Handle().MoveTo(x, y);
}

void TCanvas::LineTo(int x, int y)
{
    Handle().LineTo(x, y);
}

TPoint TCanvas::PenPos() const
{
    return Handle().CurrentPosition();
}

void TCanvas::Rectangle(int l, int t, int r, int b)
{
    Handle().Rectangle(l, t, r, b);
}

void TCanvas::RoundRect(int l, int t, int r, int b, int width, int height)
{
    Handle().RoundRect(l, t, r, b, width, height);
}

void TCanvas::Ellipse(int l, int t, int r, int b)
{
    Handle().Ellipse(l, t, r, b);
}

void TCanvas::Polygon(const std::vector<TPoint>& points)
{
    Handle().Polygon(points.data(), static_cast<int>(points.size()));
}

void TCanvas::Polyline(const std::vector<TPoint>& points)
{
    Handle().Polyline(points.data(), static_cast<int>(points.size()));
}

void TCanvas::FillRect(const TRect& rect)
{
    Handle().FillRect(rect, FBrush->LogBrush());
}

void TCanvas::FrameRect(const TRect& rect)
{
    // A one-pixel frame in the brush, inside the rectangle.
    TDeviceContext& dc = Handle();
    const TLogBrush brush = FBrush->LogBrush();
    dc.FillRect({rect.Left, rect.Top, rect.Right, rect.Top + 1}, brush);
    dc.FillRect({rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom}, brush);
    dc.FillRect({rect.Left, rect.Top, rect.Left + 1, rect.Bottom}, brush);
    dc.FillRect({rect.Right - 1, rect.Top, rect.Right, rect.Bottom}, brush);
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    Handle().TextOut(x, y, text);
}

TSize TCanvas::TextExtent(const QString& text) const
{
    if (FDC)
        return FDC->GetTextExtent(text);
    // Without a device the font is measured on a screen-like image.
    QImage scratch(1, 1, QImage::Format_RGB32);
    TPainterDC dc(scratch);
    dc.SelectFont(FFont->LogFont());
    return dc.GetTextExtent(text);
}

void TCanvas::Draw(int x, int y, const TGraphic* graphic)
{
    if (!graphic || graphic->Empty())
        return;
    graphic->Draw(*this, {x, y, x + graphic->Width(), y + graphic->Height()});
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic* graphic)
{
    if (!graphic || graphic->Empty())
        return;
    graphic->Draw(*this, rect);
}

TColor TCanvas::Pixel(int x, int y) const
{
    return Handle().GetPixel(x, y);
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    Handle().SetPixel(x, y, color);
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect)
{
    Handle().StretchBlt(dest.Left, dest.Top, dest.Width(), dest.Height(), source.Handle(), sourceRect.Left,
                        sourceRect.Top, sourceRect.Width(), sourceRect.Height(), FCopyMode);
}

} // namespace lp
