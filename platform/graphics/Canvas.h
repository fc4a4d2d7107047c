#pragma once
// The platform canvas: a device context with the pen, brush and font
// objects that drawing code sets, and the usual drawing calls on them.
//
//   TCanvas ── TPen, TBrush, TFont (owned; each change is selected into the
//      │                              device context at once)
//      └── TDeviceContext (observed; owned by whoever made the surface)
//
// The objects are persistent (published Color, Style, Width ...) so the
// chart library's own pens and brushes derive from them. A pen, brush or
// font can also be given an explicit logical object (SetHandle), which is
// then selected as it is until a property changes again.

#include "platform/core/Component.h"
#include "platform/graphics/DeviceContext.h"

#include <functional>
#include <memory>
#include <optional>

namespace lp {

class TGraphic;
class TBitmap;

// Base of pens, brushes and fonts: tells its owner about each change.
class TGraphicsObject : public TPersistent {
    Q_OBJECT
public:
    std::function<void(TGraphicsObject*)> OnChange;

protected:
    void Changed();
};

class TPen : public TGraphicsObject {
    Q_OBJECT
public:
    enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
    Q_ENUM(TPenStyle)
    enum TPenMode {
        pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
        pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
    };
    Q_ENUM(TPenMode)

private:
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0")
    Q_PROPERTY(TPenMode Mode READ Mode WRITE SetMode)
    Q_CLASSINFO("default:Mode", "pmCopy")
    Q_PROPERTY(TPenStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "psSolid")
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_CLASSINFO("default:Width", "1")

public:
    TPen();

    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle value);
    int Width() const { return FWidth; }
    void SetWidth(int value);

    // An explicit device pen (a geometric pen, say), used until a property
    // changes; std::nullopt returns to the pen built from the properties.
    void SetHandle(std::optional<TLogPen> pen);
    bool HasHandle() const { return FHandle.has_value(); }
    // The device pen: the explicit one, or CreatePen of the properties.
    TLogPen LogPen() const;

    void Assign(const TPersistent* Source) override;

private:
    void Modified();

    TColor FColor = clBlack;
    TPenMode FMode = pmCopy;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
    std::optional<TLogPen> FHandle;
};

using TPenStyle = TPen::TPenStyle;
using TPenMode = TPen::TPenMode;
inline constexpr TPenStyle psSolid = TPen::psSolid, psDash = TPen::psDash, psDot = TPen::psDot,
                           psDashDot = TPen::psDashDot, psDashDotDot = TPen::psDashDotDot, psClear = TPen::psClear,
                           psInsideFrame = TPen::psInsideFrame, psUserStyle = TPen::psUserStyle,
                           psAlternate = TPen::psAlternate;
inline constexpr TPenMode pmBlack = TPen::pmBlack, pmWhite = TPen::pmWhite, pmNop = TPen::pmNop, pmNot = TPen::pmNot,
                          pmCopy = TPen::pmCopy, pmNotCopy = TPen::pmNotCopy, pmMergePenNot = TPen::pmMergePenNot,
                          pmMaskPenNot = TPen::pmMaskPenNot, pmMergeNotPen = TPen::pmMergeNotPen,
                          pmMaskNotPen = TPen::pmMaskNotPen, pmMerge = TPen::pmMerge, pmNotMerge = TPen::pmNotMerge,
                          pmMask = TPen::pmMask, pmNotMask = TPen::pmNotMask, pmXor = TPen::pmXor,
                          pmNotXor = TPen::pmNotXor;
// The raster operation of a pen mode.
int PenModeToRop2(TPenMode mode);

class TBrush : public TGraphicsObject {
    Q_OBJECT
public:
    // Values from 8 on are not named here: the chart library uses them for
    // its pattern bitmaps.
    enum TBrushStyle : int { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
    Q_ENUM(TBrushStyle)

private:
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0xFFFFFF")
    Q_PROPERTY(TBrushStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "bsSolid")

public:
    TBrush();
    ~TBrush() override;

    virtual TColor Color() const { return FColor; }
    virtual void SetColor(TColor value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle value);
    // A bitmap to fill with (observed, not owned); nullptr removes it.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* value);

    void SetHandle(std::optional<TLogBrush> brush);
    bool HasHandle() const { return FHandle.has_value(); }
    // The device brush: the explicit one, the bitmap as a pattern, or the
    // solid, null or hatched brush of the properties.
    TLogBrush LogBrush() const;

    void Assign(const TPersistent* Source) override;

protected:
    void Modified();
    TColor FColor = clWhite;

private:
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    std::optional<TLogBrush> FHandle;
};

using TBrushStyle = TBrush::TBrushStyle;
inline constexpr TBrushStyle bsSolid = TBrush::bsSolid, bsClear = TBrush::bsClear,
                             bsHorizontal = TBrush::bsHorizontal, bsVertical = TBrush::bsVertical,
                             bsFDiagonal = TBrush::bsFDiagonal, bsBDiagonal = TBrush::bsBDiagonal,
                             bsCross = TBrush::bsCross, bsDiagCross = TBrush::bsDiagCross;

class TFont : public TGraphicsObject {
    Q_OBJECT
public:
    enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)

private:
    Q_PROPERTY(int Charset READ Charset WRITE SetCharset)
    Q_CLASSINFO("default:Charset", "1")
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0")
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(int Size READ Size WRITE SetSize STORED false)
    Q_PROPERTY(TFontStyles Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "")

public:
    TFont();

    int Charset() const { return FCharset; }
    void SetCharset(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return FHeight; }
    void SetHeight(int value);
    QString Name() const { return FName; }
    void SetName(const QString& value);
    // Points, through PixelsPerInch.
    int Size() const;
    void SetSize(int value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int value);
    // Tenths of a degree, counter-clockwise.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int value);

    void SetHandle(std::optional<TLogFont> font);
    bool HasHandle() const { return FHandle.has_value(); }
    TLogFont LogFont() const;

    void Assign(const TPersistent* Source) override;

private:
    void Modified();

    int FCharset = 1;
    TColor FColor = clBlack;
    int FHeight = -11;
    QString FName = QStringLiteral("Arial");
    TFontStyles FStyle;
    int FPixelsPerInch = 96;
    int FOrientation = 0;
    std::optional<TLogFont> FHandle;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)
using TFontStyles = TFont::TFontStyles;

// MulDiv as the drawing code uses it: a * b / c rounded to the nearest,
// halves away from zero; -1 when c is 0.
int MulDiv(int a, int b, int c);

class TCanvas {
public:
    // dc may be null: a canvas without a device draws nothing and measures
    // text with a screen device.
    explicit TCanvas(TDeviceContext* dc = nullptr);
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    bool HandleAllocated() const { return FDC != nullptr; }
    // The device; a canvas without one raises EInvalidOperation
    // "Canvas does not allow drawing".
    TDeviceContext& Handle() const;
    void SetHandle(TDeviceContext* dc);

    TPen& Pen() const { return *FPen; }
    TBrush& Brush() const { return *FBrush; }
    TFont& Font() const { return *FFont; }

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    TPoint PenPos() const;
    void Rectangle(int l, int t, int r, int b);
    void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    void RoundRect(int l, int t, int r, int b, int width, int height);
    void Ellipse(int l, int t, int r, int b);
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void FillRect(const TRect& rect);
    void FrameRect(const TRect& rect);
    void TextOut(int x, int y, const QString& text);
    TSize TextExtent(const QString& text) const;
    int TextWidth(const QString& text) const { return TextExtent(text).cx; }
    int TextHeight(const QString& text) const { return TextExtent(text).cy; }
    void Draw(int x, int y, const TGraphic* graphic);
    void StretchDraw(const TRect& rect, const TGraphic* graphic);
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    // Copies a rectangle of another canvas with CopyMode (SRCCOPY at first).
    void CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect);
    uint32_t CopyMode() const { return FCopyMode; }
    void SetCopyMode(uint32_t rop) { FCopyMode = rop; }

private:
    void SelectObjects();

    TDeviceContext* FDC = nullptr;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TFont> FFont;
    uint32_t FCopyMode = SRCCOPY;
};

} // namespace lp
