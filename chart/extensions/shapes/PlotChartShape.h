#pragma once
// A series that draws one figure between two corner points: point 0 is one
// corner (X0, Y0), point 1 the other (X1, Y1), read as axis values, as
// pixels, or as an axis corner plus a pixel size (XYStyle). The figure is
// filled with the brush or the gradient and carries lines of text.
//
// Drawing happens for value 0 of a series that holds exactly two points,
// and only when the figure meets the chart's plot rectangle (text
// included). Pixel shapes are flat and outside the Z order, even on a 3-D
// chart.

#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotTitles.h"
#include "platform/core/StringList.h"

#include <memory>

namespace lp {

class TChartShape : public TChartSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
public:
    enum TChartShapeStyle {
        chasRectangle,
        chasCircle,
        chasVertLine,
        chasHorizLine,
        chasTriangle,
        chasInvertTriangle,
        chasLine,
        chasDiamond,
        chasCube,
        chasCross,
        chasDiagCross,
        chasStar,
        chasPyramid,
        chasInvertPyramid,
    };
    Q_ENUM(TChartShapeStyle)
    enum TChartShapeXYStyle { xysPixels, xysAxis, xysAxisOrigin };
    Q_ENUM(TChartShapeXYStyle)
    enum TPlotVertAlign { vaTop, vaCenter, vaBottom };
    Q_ENUM(TPlotVertAlign)
    using TAlignment = TChartTitle::TAlignment;

private:
    Q_PROPERTY(lp::TChartTitle::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_CLASSINFO("default:Alignment", "taCenter")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TPlotFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool RoundRectangle READ RoundRectangle WRITE SetRoundRectangle)
    Q_CLASSINFO("default:RoundRectangle", "false")
    Q_PROPERTY(TChartShapeStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "chasCircle")
    Q_PROPERTY(lp::TStringList* Text READ Text WRITE SetText)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_CLASSINFO("default:Transparent", "false")
    Q_PROPERTY(TPlotVertAlign VertAlign READ VertAlign WRITE SetVertAlign)
    Q_CLASSINFO("default:VertAlign", "vaCenter")
    Q_PROPERTY(TChartShapeXYStyle XYStyle READ XYStyle WRITE SetXYStyle)
    Q_CLASSINFO("default:XYStyle", "xysAxis")
    Q_PROPERTY(double X0 READ X0 WRITE SetX0)
    Q_CLASSINFO("default:X0", "0")
    Q_PROPERTY(double Y0 READ Y0 WRITE SetY0)
    Q_CLASSINFO("default:Y0", "0")
    Q_PROPERTY(double X1 READ X1 WRITE SetX1)
    Q_CLASSINFO("default:X1", "100")
    Q_PROPERTY(double Y1 READ Y1 WRITE SetY1)
    Q_CLASSINFO("default:Y1", "100")

public:
    explicit TChartShape(TComponent* AOwner = nullptr);
    ~TChartShape() override;

    // From another shape: Alignment, Font, Gradient, RoundRectangle, Style,
    // Text, Transparent, VertAlign, XYStyle; then the series' copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TChartShapeEditor"); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TPlotFont* Font() const { return FFont.get(); }
    void SetFont(const TPlotFont* Value) { FFont->Assign(Value); }
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value) { FGradient->Assign(Value); }
    bool RoundRectangle() const { return FRoundRectangle; }
    void SetRoundRectangle(bool Value) { SetBooleanProperty(FRoundRectangle, Value); }
    TChartShapeStyle Style() const { return FStyle; }
    void SetStyle(TChartShapeStyle Value);
    TStringList* Text() const { return FText.get(); }
    virtual void SetText(const TStringList* Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { SetBooleanProperty(FTransparent, Value); }
    TPlotVertAlign VertAlign() const { return FVertAlign; }
    void SetVertAlign(TPlotVertAlign Value);
    TChartShapeXYStyle XYStyle() const { return FXYStyle; }
    void SetXYStyle(TChartShapeXYStyle Value);

    // The corners. With fewer than two points (a cleared series) they read
    // 0 and writing them does nothing.
    double X0() const { return CornerValue(0, true); }
    void SetX0(double Value) { SetCornerValue(0, true, Value); }
    double Y0() const { return CornerValue(0, false); }
    void SetY0(double Value) { SetCornerValue(0, false, Value); }
    double X1() const { return CornerValue(1, true); }
    void SetX1(double Value) { SetCornerValue(1, true, Value); }
    double Y1() const { return CornerValue(1, false); }
    void SetY1(double Value) { SetCornerValue(1, false, Value); }

    // The brush takes the colour too.
    void SetSeriesColor(TColor Color) override;
    // The shape rectangle in pixels, as the corners give it (not
    // normalised: a line keeps its direction).
    virtual TRect GetShapeRect() const;
    // GetShapeRect normalised, one pixel wider or taller where it has no
    // width or height.
    TRect DrawingRect() const;

    void CalcZOrder() override;
    bool HasSameZOrderSeries() const override { return false; }
    bool UseAxis() const override { return FXYStyle != xysPixels; }
    void DrawValue(int ValueIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    // 0 when the point lies on the figure, else -1.
    int Clicked(int X, int Y) override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    // Only another shape feeds a shape.
    bool IsValidSourceOf(TChartSeries* Source) override;

private:
    double CornerValue(int Index, bool IsX) const;
    void SetCornerValue(int Index, bool IsX, double Value);
    void AddDefaultPoints();
    bool Is3D() const;
    void PrepareShapeCanvas();
    // The figure in Rect on the chart's canvas (flat unless Is3D).
    void DrawFigure(const TRect& Rect, const TRect& LineRect, bool Is3D);
    void DrawFigure3D(const TRect& Rect, const TRect& LineRect);
    void DrawShapeGradient(const TRect& Rect, bool Is3D);
    void DrawText(const TRect& Rect);

    TAlignment FAlignment = TChartTitle::taCenter;
    std::unique_ptr<TPlotFont> FFont;
    std::unique_ptr<TPlotGradient> FGradient;
    bool FRoundRectangle = false;
    TChartShapeStyle FStyle = chasCircle;
    std::unique_ptr<TStringList> FText;
    bool FTransparent = false;
    TPlotVertAlign FVertAlign = vaCenter;
    TChartShapeXYStyle FXYStyle = xysAxis;
};

using TChartShapeStyle = TChartShape::TChartShapeStyle;
using TChartShapeXYStyle = TChartShape::TChartShapeXYStyle;

// "Shape" on the "Standard" gallery page; the unregistering undoes it.
void RegisterChartShape();
void UnregisterChartShape();

} // namespace lp
