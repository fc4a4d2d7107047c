#pragma once
// Framed shapes: the persistent description of a box a chart draws (titles,
// legend, marks, walls): fill, frame pen, bevel, shadow, font, transparency
// and a rectangular or rounded outline that may be rotated.
//
//   TPlotCustomShapeBrushPen (TPersistent)   brush, pen, visibility
//     └─ TPlotCustomShape                     bevel, colour, font, shadow,
//          │                                  gradient, transparency, bounds
//          └─ TPlotShape                      publishes the shape's properties
//
// A shape observes its panel (ParentChart): it asks it to repaint on a
// change and draws on its canvas. Each shape owns its property objects.

#include "chart/canvas/PlotPanel.h"

#include <QtCore/QVariant>

#include <memory>

namespace lp {

class TPlotCustomShapeBrushPen : public TPersistent {
    Q_OBJECT
public:
    // ABrush replaces the plain chart brush for shapes that need another
    // brush class; the brush and the pen repaint the panel on a change.
    explicit TPlotCustomShapeBrushPen(std::unique_ptr<TChartBrush> ABrush = nullptr);
    ~TPlotCustomShapeBrushPen() override;

    // From another brush-pen shape: Brush, Pen, Visible.
    void Assign(const TPersistent* Source) override;

    TChartBrush* Brush() const { return FBrush.get(); }
    void SetBrush(const TChartBrush* value) { FBrush->Assign(value); }
    TChartPen* Pen() const { return FPen.get(); }
    void SetPen(const TChartPen* value) { FPen->Assign(value); }
    TCustomPlotPanel* ParentChart() const { return FParentChart.data(); }
    // Stores the panel (observed); descendants pass it on to their parts.
    virtual void SetParentChart(TCustomPlotPanel* Value);
    bool Visible() const { return FVisible; }
    // Repaints the panel only on a change.
    void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Asks the panel to repaint (nothing without one).
    void Repaint();

private:
    std::unique_ptr<TChartBrush> FBrush;
    QPointer<TCustomPlotPanel> FParentChart;
    std::unique_ptr<TChartPen> FPen;
    bool FVisible = true;
};

class TPlotCustomShape : public TPlotCustomShapeBrushPen {
    Q_OBJECT
public:
    enum TChartObjectShapeStyle { fosRectangle, fosRoundRectangle };
    Q_ENUM(TChartObjectShapeStyle)
    // Plain text or rich text in the descendants' drawing.
    enum TTextFormat { ttfNormal, ttfHtml };
    Q_ENUM(TTextFormat)

    // Bevel none, width 2, colour white, shadow black of size 3, rectangle.
    explicit TPlotCustomShape(TCustomPlotPanel* AOwner = nullptr);
    ~TPlotCustomShape() override;

    // From another custom shape: bevel, colour, font, gradient (a source
    // without one frees this one), style, shadow, text format, transparency
    // flags; then brush, pen and visibility.
    void Assign(const TPersistent* Source) override;
    // Reads a property name older stored shapes used; true when claimed.
    // "ShadowColor": a colour name or number; "ShadowSize": both shadow
    // sizes. EConvertError for a value of the wrong kind.
    virtual bool ReadOldProperty(const QString& Name, const QVariant& Value);
    // "ShadowColor" and "ShadowSize", read from earlier files and never
    // written.
    void DefineProperties(TFiler& Filer) override;

    TBevelCut Bevel() const { return FBevel; }
    void SetBevel(TBevelCut value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TPlotFont* Font() const { return FFont.get(); }
    void SetFont(const TPlotFont* value) { FFont->Assign(value); }
    // Created on first read; nullptr frees it.
    TPlotGradient* Gradient() const;
    void SetGradient(const TPlotGradient* value);
    bool HasGradient() const { return FGradient != nullptr; }
    // nullptr frees it (no shadow is drawn then).
    TPlotShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(const TPlotShadow* value);
    TChartObjectShapeStyle ShapeStyle() const { return FShapeStyle; }
    void SetShapeStyle(TChartObjectShapeStyle value);
    TTextFormat TextFormat() const { return FTextFormat; }
    void SetTextFormat(TTextFormat value);
    // A transparent shape draws nothing of itself.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);
    bool DefaultTransparent() const { return FDefaultTransparent; }
    void SetDefaultTransparent(bool value) { FDefaultTransparent = value; }
    Q_INVOKABLE bool IsTransparentStored() const { return FTransparent != FDefaultTransparent; }
    // Per cent, 0 .. 100 (ERangeError outside).
    int Transparency() const { return FTransparency; }
    void SetTransparency(int value);

    // The shape's position in pixels.
    TRect ShapeBounds() const { return FShapeBounds; }
    void SetShapeBounds(const TRect& value) { FShapeBounds = value; }
    // Right - Left + 1 and Bottom - Top + 1 (ERangeError beyond 32 bits).
    int Width() const;
    int Height() const;
    void SetWidth(int value);
    void SetHeight(int value);

    // The corners of Rect rotated by Angle degrees about its centre, in the
    // order left-top, right-top, right-bottom, left-bottom.
    static TFourPoints RotatedCorners(const TRect& Rect, int Angle);

    // DrawRectRotated(ShapeBounds, 0, 0).
    void Draw();
    // Shadow, fill, frame and bevel of Rect turned by Angle degrees, at
    // depth Z, on the panel's canvas (nothing without a panel).
    void DrawRectRotated(const TRect& Rect, int Angle = 0, int Z = 0);

protected:
    // The gradient made on first read.
    virtual std::unique_ptr<TPlotGradient> CreateGradient() const;

private:
    // The shadow, made black of size 3 (its stored defaults) when absent.
    TPlotShadow& EnsureShadow();
    void DrawOutline(TCanvas3D& Canvas, const TRect& Rect, int Angle, int Z) const;

    TBevelCut FBevel = bvNone;
    int FBevelWidth = 2;
    TColor FColor = clWhite;
    std::unique_ptr<TPlotFont> FFont;
    std::unique_ptr<TPlotShadow> FShadow;
    TChartObjectShapeStyle FShapeStyle = fosRectangle;
    TTextFormat FTextFormat = ttfNormal;
    bool FTransparent = false;
    bool FDefaultTransparent = false;
    mutable std::unique_ptr<TPlotGradient> FGradient;
    int FTransparency = 0;
    TRect FShapeBounds;
};

using TChartObjectShapeStyle = TPlotCustomShape::TChartObjectShapeStyle;
inline constexpr TChartObjectShapeStyle fosRectangle = TPlotCustomShape::fosRectangle;
inline constexpr TChartObjectShapeStyle fosRoundRectangle = TPlotCustomShape::fosRoundRectangle;
using TTextFormat = TPlotCustomShape::TTextFormat;
inline constexpr TTextFormat ttfNormal = TPlotCustomShape::ttfNormal;
inline constexpr TTextFormat ttfHtml = TPlotCustomShape::ttfHtml;

// A shape with its properties published, for standalone use.
class TPlotShape : public TPlotCustomShape {
    Q_OBJECT
    Q_PROPERTY(lp::TCustomPanelNoCaption::TBevelCut Bevel READ Bevel WRITE SetBevel)
    Q_CLASSINFO("default:Bevel", "bvNone")
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_CLASSINFO("default:BevelWidth", "2")
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0xFFFFFF")
    Q_PROPERTY(lp::TPlotFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TPlotShadow* Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(lp::TPlotCustomShape::TChartObjectShapeStyle ShapeStyle READ ShapeStyle WRITE SetShapeStyle)
    Q_CLASSINFO("default:ShapeStyle", "fosRectangle")
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_CLASSINFO("stored:Transparent", "IsTransparentStored")

public:
    using TPlotCustomShape::TPlotCustomShape;
};

} // namespace lp
