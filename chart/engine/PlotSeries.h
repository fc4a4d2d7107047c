#pragma once
// Series that join their points by lines, fill the band under them or mark
// each point with a pointer shape.
//
//   TChartSeries
//     └─ TCustomLineSeries          publishes the element pen as LinePen
//          └─ TCustomSeries         pointer, area, stairs, stacking, outline,
//               │                   shadow, transparency, click on segments
//               ├─ TLineSeries ──── THorizLineSeries
//               ├─ TPointSeries
//               └─ TAreaSeries ──── THorizAreaSeries
//
// Drawing: DrawAllValues runs the shadow and outline passes, then calls
// DrawValue for each visible point. DrawValue keeps the previous point
// (PrevX, PrevY, PrevOrigin, PrevColor) and draws the segment from it to the
// current point (DrawSegment). A null point draws nothing: no segment runs
// into it or out of it and it has no pointer.
//
// Stacking: series of one class in a chart share their Stacked setting; a
// stacked value sits on the sum of the same-signed values of the series
// before it (StackBase).

#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotPointer.h"

#include <functional>
#include <memory>

namespace lp {

class TPlotShadow;
class TPlotGradient;

// The hatch style of pattern number Index (>= 0): horizontal, vertical,
// forward diagonal, backward diagonal, cross, diagonal cross in turn.
TBrush::TBrushStyle BrushPatternOfIndex(int Index);

// --- TCustomLineSeries --------------------------------------------------------------------------

class TCustomLineSeries : public TChartSeries {
    Q_OBJECT
public:
    explicit TCustomLineSeries(TComponent* AOwner = nullptr) : TChartSeries(AOwner) {}
    // The element pen under the name the line series publish.
    TChartPen* LinePen() const { return Pen(); }
    void SetLinePen(const TChartPen* Value) { SetPen(Value); }
};

// --- TCustomSeries ------------------------------------------------------------------------------

class TCustomSeries : public TCustomLineSeries {
    Q_OBJECT
public:
    enum TCustomSeriesStack { cssNone, cssOverlap, cssStack, cssStack100 };
    Q_ENUM(TCustomSeriesStack)

    explicit TCustomSeries(TComponent* AOwner = nullptr);
    ~TCustomSeries() override;

    // ClickableLine, the area brush, colour and pen, the flags, LineHeight,
    // Pointer, Stacked, OutLine, Shadow, Transparency, Gradient; then the
    // series base's copy. In a chart that stacks series of this class the
    // chart's Stacked wins over Source's.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TCustomSeriesEditor"); }
    // The pointer follows the series onto the chart.
    void SetParentChart(TCustomAxisPanel* Value) override;
    // Unless the chart is being read, a joining series takes the Stacked
    // setting the chart gives its class.
    void AttachedToChart() override;

    // --- Settings ---

    TChartBrush* AreaChartBrush() const { return FAreaBrush.get(); }
    void SetAreaChartBrush(const TChartBrush* Value);
    TBrush::TBrushStyle AreaBrush() const { return FAreaBrush->Style(); }
    void SetAreaBrush(TBrush::TBrushStyle Value) { FAreaBrush->SetStyle(Value); }
    // A pattern style has no name to store: the brush itself stores it.
    Q_INVOKABLE bool IsAreaBrushStored() const { return IsNamedBrushStyle(AreaBrush()); }
    // clPlotColor: the point colour fills the area.
    TColor AreaColor() const { return FAreaColor; }
    void SetAreaColor(TColor Value) { SetColorProperty(FAreaColor, Value); }
    TChartPen* AreaLinesPen() const { return FAreaLinesPen.get(); }
    void SetAreaLinesPen(const TChartPen* Value) { FAreaLinesPen->Assign(Value); }
    bool ClickableLine() const { return FClickableLine; }
    void SetClickableLine(bool Value) { SetBooleanProperty(FClickableLine, Value); }
    bool ColorEachLine() const { return FColorEachLine; }
    void SetColorEachLine(bool Value) { SetBooleanProperty(FColorEachLine, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    bool DrawArea() const { return FDrawArea; }
    void SetDrawArea(bool Value) { SetBooleanProperty(FDrawArea, Value); }
    bool LineDrawn() const { return FLineDrawn; }
    void SetLineDrawn(bool Value) { SetBooleanProperty(FLineDrawn, Value); }
    bool InvertedStairs() const { return FInvertedStairs; }
    void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }
    int LineHeight() const { return FLineHeight; }
    void SetLineHeight(int Value) { SetIntegerProperty(FLineHeight, Value); }
    TChartBrush* LineChartBrush() const { return Brush(); }
    TBrush::TBrushStyle LineBrush() const { return Brush()->Style(); }
    void SetLineBrush(TBrush::TBrushStyle Value) { Brush()->SetStyle(Value); }
    Q_INVOKABLE bool IsLineBrushStored() const { return IsNamedBrushStyle(LineBrush()); }
    TChartHiddenPen* OutLine() const { return FOutLine.get(); }
    void SetOutLine(const TChartPen* Value) { FOutLine->Assign(Value); }
    TSeriesPointer* Pointer() const { return FPointer.get(); }
    void SetPointer(const TSeriesPointer* Value) { FPointer->Assign(Value); }
    TPlotShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(const TPlotShadow* Value);
    TCustomSeriesStack Stacked() const { return FStacked; }
    // Stores Value in this series and in every series of the parent chart
    // that is an instance of this series' class, then repaints; also when
    // Value is unchanged.
    void SetStacked(TCustomSeriesStack Value);
    bool Stairs() const { return FStairs; }
    void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
    // Per cent 0 .. 100 (ERangeError outside).
    virtual int GetTransparency() const { return FTransparency; }
    virtual void SetTransparency(int Value);
    int Transparency() const { return GetTransparency(); }
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value);
    virtual TPlotGradient* GetFillGradient() const { return FGradient.get(); }

    std::function<void(TCustomSeries* Sender, int ValueIndex, int X, int Y)> OnClickPointer;
    std::function<TSeriesPointerStyle(TChartSeries* Sender, int ValueIndex)> OnGetPointerStyle;

    // --- Series protocol ---

    // Widens a pair of margins by the stairs' and the outline's pen widths.
    void WidenForLines(int& First, int& Second) const;
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    void CalcZOrder() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    double MaxXValue() override;
    double MaxYValue() override;
    double MinXValue() override;
    double MinYValue() override;
    int CalcXPos(int Index) const override;
    int CalcYPos(int Index) const override;
    int Clicked(int X, int Y) override;

    // --- Introduced ---

    // Room for the marks beyond the last value: callout length plus its
    // distance.
    virtual int CalcMarksMargin();
    // Whether (X, Y) lies strictly within the pointer's half sizes of the
    // point at (PX, PY); never for psNothing.
    virtual bool ClickedPointer(int ValueIndex, int PX, int PY, int X, int Y);
    // Called before a pointer is drawn or hit-tested (descendants size the
    // pointer per point).
    virtual void PreparePointer(int ValueIndex) { (void)ValueIndex; }
    // The pixel on the value axis under (beside) point ValueIndex where its
    // band ends.
    virtual int GetOriginPos(int ValueIndex) const;
    // The pointer of point ValueIndex at (X, Y) in AColor (nothing for
    // clNone or a hidden pointer).
    virtual void DrawPointer(int X, int Y, TColor AColor, int ValueIndex);

    // The sum of the same-signed stack values at ValueIndex of the related
    // active series before this one (all of them, this one too, with SumAll).
    double StackBase(int ValueIndex, bool SumAll) const;
    // The value-axis pixel of V stacked at ValueIndex.
    int CalcStackedPos(int ValueIndex, double Value) const;

protected:
    // The drawing state of one DrawAllValues pass.
    int FPrevOrigin = 0;
    int FCurOrigin = 0;
    int FPrevX = 0;
    int FPrevY = 0;
    TColor FPrevColor = clNone;
    double FDarkSlope = 0;

private:
    bool IsStacking() const { return FStacked == cssStack || FStacked == cssStack100; }
    void DrawSegment(int ValueIndex, int X, int Y, TColor Color, bool WithPointers);
    void DrawSegment3DLine(int X, int Y, TColor Color, bool IsLast);
    void DrawAreaBand(int ValueIndex, int X, int Y, TColor Color, bool IsLast);
    void DrawLine2D(int X, int Y, TColor Color);
    TColor AreaFillColor(TColor Color) const;
    // The origin kept within reach of the chart rectangle, so that a far
    // origin (YOrigin of -1e30) still gives finite, drawable polygons.
    int VisibleOrigin(int Pos) const;
    int EdgeEntryY(int ValueIndex) const;
    double StackedExtreme(bool IsMax);
    // Stacked as the chart's series whose setting reaches this one hold
    // (those of this class, else of the nearest base class); unchanged
    // without such a series. Setting Stacked on any series spreads it to
    // the series of its class, so a series added later must follow too:
    // the file stores Stacked per series, and reading spreads it again.
    void TakeChartStacking();
    void DrawAllPass();

    std::unique_ptr<TChartBrush> FAreaBrush;
    TColor FAreaColor = clPlotColor;
    std::unique_ptr<TChartPen> FAreaLinesPen;
    bool FClickableLine = true;
    bool FColorEachLine = true;
    bool FDark3D = true;
    bool FDrawArea = false;
    bool FLineDrawn = false;
    bool FInvertedStairs = false;
    int FLineHeight = 0;
    std::unique_ptr<TChartHiddenPen> FOutLine;
    std::unique_ptr<TSeriesPointer> FPointer;
    std::unique_ptr<TPlotShadow> FShadow;
    TCustomSeriesStack FStacked = cssNone;
    bool FStairs = false;
    int FTransparency = 0;
    std::unique_ptr<TPlotGradient> FGradient;
};

using TCustomSeriesStack = TCustomSeries::TCustomSeriesStack;
inline constexpr TCustomSeriesStack cssNone = TCustomSeries::cssNone;
inline constexpr TCustomSeriesStack cssOverlap = TCustomSeries::cssOverlap;
inline constexpr TCustomSeriesStack cssStack = TCustomSeries::cssStack;
inline constexpr TCustomSeriesStack cssStack100 = TCustomSeries::cssStack100;

// --- TLineSeries --------------------------------------------------------------------------------

class TLineSeries : public TCustomSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(bool ClickableLine READ ClickableLine WRITE SetClickableLine)
    Q_CLASSINFO("default:ClickableLine", "true")
    Q_PROPERTY(bool ColorEachLine READ ColorEachLine WRITE SetColorEachLine)
    Q_CLASSINFO("default:ColorEachLine", "true")
    Q_PROPERTY(bool Dark3D READ Dark3D WRITE SetDark3D)
    Q_CLASSINFO("default:Dark3D", "true")
    Q_PROPERTY(bool InvertedStairs READ InvertedStairs WRITE SetInvertedStairs)
    Q_CLASSINFO("default:InvertedStairs", "false")
    Q_PROPERTY(TBrush::TBrushStyle LineBrush READ LineBrush WRITE SetLineBrush)
    Q_CLASSINFO("default:LineBrush", "bsSolid")
    Q_CLASSINFO("stored:LineBrush", "IsLineBrushStored")
    Q_PROPERTY(int LineHeight READ LineHeight WRITE SetLineHeight)
    Q_CLASSINFO("default:LineHeight", "0")
    Q_PROPERTY(lp::TChartPen* LinePen READ LinePen WRITE SetLinePen)
    Q_PROPERTY(lp::TChartPen* OutLine READ OutLine WRITE SetOutLine)
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)
    Q_PROPERTY(lp::TPlotShadow* Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(lp::TCustomSeries::TCustomSeriesStack Stacked READ Stacked WRITE SetStacked)
    Q_CLASSINFO("default:Stacked", "cssNone")
    Q_PROPERTY(bool Stairs READ Stairs WRITE SetStairs)
    Q_CLASSINFO("default:Stairs", "false")

public:
    explicit TLineSeries(TComponent* AOwner = nullptr);
    // The custom series' copy; the pointer hidden unless Source is of this
    // class; no area, line drawn.
    void Assign(const TPersistent* Source) override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle) override;
};

class THorizLineSeries : public TLineSeries {
    Q_OBJECT
public:
    explicit THorizLineSeries(TComponent* AOwner = nullptr);
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    // The widest mark text.
    int CalcMarksMargin() override;
};

// --- TPointSeries -------------------------------------------------------------------------------

class TPointSeries : public TCustomSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    Q_PROPERTY(bool ClickableLine READ ClickableLine WRITE SetClickableLine)
    Q_CLASSINFO("default:ClickableLine", "false")
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)
    Q_PROPERTY(lp::TCustomSeries::TCustomSeriesStack Stacked READ Stacked WRITE SetStacked)
    Q_CLASSINFO("default:Stacked", "cssNone")
    Q_PROPERTY(int Transparency READ GetTransparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    explicit TPointSeries(TComponent* AOwner = nullptr);
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TSeriesPointerEditor"); }
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    // True: the pointer's colour becomes clPlotColor so each point's shows.
    void SetColorEachPoint(bool Value) override;
    // Kept in the pointer.
    int GetTransparency() const override;
    void SetTransparency(int Value) override;
    // The sub-gallery offers pointer styles.
    virtual bool SubGalleryPointerStyles() const { return true; }
    void PrepareForGallery(bool IsEnabled) override;
};

// --- TAreaSeries --------------------------------------------------------------------------------

class TAreaSeries : public TCustomSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
public:
    enum TMultiArea { maNone, maStacked, maStacked100 };
    Q_ENUM(TMultiArea)

private:
    Q_PROPERTY(TBrush::TBrushStyle AreaBrush READ AreaBrush WRITE SetAreaBrush)
    Q_CLASSINFO("default:AreaBrush", "bsSolid")
    Q_CLASSINFO("stored:AreaBrush", "IsAreaBrushStored")
    Q_PROPERTY(lp::TChartBrush* AreaChartBrush READ AreaChartBrush WRITE SetAreaChartBrush)
    Q_PROPERTY(int AreaColor READ AreaColor WRITE SetAreaColor)
    Q_CLASSINFO("default:AreaColor", "0x20000000")
    Q_PROPERTY(lp::TChartPen* AreaLinesPen READ AreaLinesPen WRITE SetAreaLinesPen)
    Q_PROPERTY(bool ClickableLine READ ClickableLine WRITE SetClickableLine)
    Q_CLASSINFO("default:ClickableLine", "true")
    Q_PROPERTY(bool ColorEachLine READ ColorEachLine WRITE SetColorEachLine)
    Q_CLASSINFO("default:ColorEachLine", "true")
    Q_PROPERTY(bool Dark3D READ Dark3D WRITE SetDark3D)
    Q_CLASSINFO("default:Dark3D", "true")
    // An area starts filled; the default it is stored against says so.
    Q_PROPERTY(bool DrawArea READ DrawArea WRITE SetDrawArea)
    Q_CLASSINFO("default:DrawArea", "true")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ GetFillGradient WRITE SetGradient)
    Q_PROPERTY(bool InvertedStairs READ InvertedStairs WRITE SetInvertedStairs)
    Q_CLASSINFO("default:InvertedStairs", "false")
    Q_PROPERTY(lp::TChartPen* LinePen READ LinePen WRITE SetLinePen)
    Q_PROPERTY(TMultiArea MultiArea READ MultiArea WRITE SetMultiArea)
    Q_CLASSINFO("default:MultiArea", "maNone")
    Q_PROPERTY(lp::TSeriesPointer* Pointer READ Pointer WRITE SetPointer)
    Q_PROPERTY(bool Stairs READ Stairs WRITE SetStairs)
    Q_CLASSINFO("default:Stairs", "false")
    Q_PROPERTY(int Transparency READ GetTransparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool UseYOrigin READ UseYOrigin WRITE SetUseYOrigin)
    Q_CLASSINFO("default:UseYOrigin", "false")
    Q_PROPERTY(double YOrigin READ YOrigin WRITE SetYOrigin)
    Q_CLASSINFO("default:YOrigin", "0")

public:
    explicit TAreaSeries(TComponent* AOwner = nullptr);
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TAreaSeriesEditor"); }
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle) override;
    bool DrawSeriesForward() const override;
    int GetOriginPos(int ValueIndex) const override;
    void PrepareForGallery(bool IsEnabled) override;

    // A view of Stacked: maStacked is cssStack, maStacked100 cssStack100.
    TMultiArea MultiArea() const;
    void SetMultiArea(TMultiArea Value);
    // The fill runs from the line to YOrigin instead of the axis' end. The
    // origin is no value of the series: it never widens an axis' automatic
    // range (a far origin, such as -1e30, means "to the chart's edge").
    bool UseYOrigin() const { return FUseYOrigin; }
    void SetUseYOrigin(bool Value) { SetBooleanProperty(FUseYOrigin, Value); }
    double YOrigin() const { return FYOrigin; }
    void SetYOrigin(double Value) { SetDoubleProperty(FYOrigin, Value); }

private:
    bool FUseYOrigin = false;
    double FYOrigin = 0;
};

using TMultiArea = TAreaSeries::TMultiArea;
inline constexpr TMultiArea maNone = TAreaSeries::maNone;
inline constexpr TMultiArea maStacked = TAreaSeries::maStacked;
inline constexpr TMultiArea maStacked100 = TAreaSeries::maStacked100;

class THorizAreaSeries : public TAreaSeries {
    Q_OBJECT
public:
    explicit THorizAreaSeries(TComponent* AOwner = nullptr);
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    int NumSampleValues() const override { return 10; }
};

// The legend pointer of Series in AColor centred in Rect; PenDrawn when a
// line is drawn with it.
void DrawLegendPointer(TCustomSeries& Series, TColor AColor, const TRect& Rect, bool PenDrawn);

} // namespace lp
