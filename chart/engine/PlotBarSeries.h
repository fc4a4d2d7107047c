#pragma once
// Series that draw one bar per point, from an origin to the point's value.
//
//   TChartSeries
//     └─ TCustomBarSeries     bar style, width and offset, grouping of
//          │                  related series (side by side, stacked),
//          │                  origin, gradient, tick lines; the layout of
//          │                  one paint
//          ├─ TBarSeries      vertical bars
//          └─ THorizBarSeries horizontal bars (the axes exchanged)
//
// The category axis is the one along which bars stand side by side (the
// horizontal axis of TBarSeries), the value axis the other one. Related
// series are the active series of the same chart of which either is an
// instance of the other's class; they share MultiBar and SideMargins.
//
// One paint: DoBeforeDrawChart groups the related series (NumBars,
// BarOrder, PreviousCount, MaxBarPoints), the margins compute BarSize, then
// DrawValue lays out BarBounds and calls DrawBar for each visible point.
// The layout stays in place between paints for clicks and marks.

#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotEngine.h"

#include <functional>
#include <memory>
#include <vector>

namespace lp {

struct TBarGeometry;
struct TBarDepth;

// The bars' gradient: the end colour is set per bar to the bar's colour.
class TBarSeriesGradient : public TCustomPlotGradient {
    Q_OBJECT
    Q_PROPERTY(int Balance READ Balance WRITE SetBalance)
    Q_CLASSINFO("default:Balance", "50")
    Q_PROPERTY(lp::TGradientDirections::TGradientDirection Direction READ Direction WRITE SetDirection)
    Q_PROPERTY(int MidColor READ MidColor WRITE SetMidColor)
    Q_CLASSINFO("default:MidColor", "0x1FFFFFFF")
    Q_PROPERTY(bool Relative READ Relative WRITE SetRelative)
    Q_CLASSINFO("default:Relative", "false")
    Q_PROPERTY(int StartColor READ StartColor WRITE SetStartColor)
    Q_CLASSINFO("default:StartColor", "0xFFFFFF")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    explicit TBarSeriesGradient(std::function<void(TPersistent*)> OnChange = {});
    void Assign(const TPersistent* Source) override;
    // With Relative the end colour of a bar lies between StartColor and the
    // bar colour in proportion to the bar's value.
    bool Relative() const { return FRelative; }
    void SetRelative(bool Value);

private:
    bool FRelative = false;
};

// --- TCustomBarSeries ---------------------------------------------------------------------------

class TCustomBarSeries : public TChartSeries {
    Q_OBJECT
public:
    enum TBarStyle : quint8 {
        bsRectangle,
        bsPyramid,
        bsInvPyramid,
        bsCilinder,
        bsEllipse,
        bsArrow,
        bsRectGradient,
        bsCone,
        bsBevel,
        bsSlantCube,
        bsDiamond,
        bsInvArrow,
        bsInvCone,
    };
    Q_ENUM(TBarStyle)
    enum TMultiBar : quint8 { mbNone, mbSide, mbStacked, mbStacked100, mbSideAll, mbSelfStack };
    Q_ENUM(TMultiBar)

private:
    Q_PROPERTY(lp::TChartBrush* BarBrush READ BarBrush WRITE SetBarBrush)
    Q_PROPERTY(lp::TChartPen* BarPen READ BarPen WRITE SetBarPen)
    Q_PROPERTY(int BevelSize READ BevelSize WRITE SetBevelSize)
    Q_CLASSINFO("default:BevelSize", "1")
    Q_PROPERTY(bool AutoBarSize READ AutoBarSize WRITE SetAutoBarSize)
    Q_CLASSINFO("default:AutoBarSize", "false")
    Q_PROPERTY(bool AutoMarkPosition READ AutoMarkPosition WRITE SetAutoMarkPosition)
    Q_CLASSINFO("default:AutoMarkPosition", "true")
    Q_PROPERTY(TBarStyle BarStyle READ BarStyle WRITE SetBarStyle)
    Q_CLASSINFO("default:BarStyle", "bsRectangle")
    Q_PROPERTY(int BarWidthPercent READ BarWidthPercent WRITE SetBarWidthPercent)
    Q_CLASSINFO("default:BarWidthPercent", "70")
    Q_PROPERTY(bool Dark3D READ Dark3D WRITE SetDark3D)
    Q_CLASSINFO("default:Dark3D", "true")
    Q_PROPERTY(int DepthPercent READ DepthPercent WRITE SetDepthPercent)
    Q_CLASSINFO("default:DepthPercent", "100")
    Q_PROPERTY(lp::TBarSeriesGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(TMultiBar MultiBar READ MultiBar WRITE SetMultiBar)
    Q_CLASSINFO("default:MultiBar", "mbSide")
    Q_PROPERTY(int OffsetPercent READ OffsetPercent WRITE SetOffsetPercent)
    Q_CLASSINFO("default:OffsetPercent", "0")
    Q_PROPERTY(bool SideMargins READ SideMargins WRITE SetSideMargins)
    Q_CLASSINFO("default:SideMargins", "true")
    Q_PROPERTY(int StackGroup READ StackGroup WRITE SetStackGroup)
    Q_CLASSINFO("default:StackGroup", "0")
    Q_PROPERTY(lp::TChartHiddenPen* TickLines READ TickLines WRITE SetTickLines)
    Q_PROPERTY(bool UseYOrigin READ UseYOrigin WRITE SetUseYOrigin)
    Q_CLASSINFO("default:UseYOrigin", "true")
    Q_PROPERTY(double YOrigin READ YOrigin WRITE SetYOrigin)
    Q_CLASSINFO("default:YOrigin", "0")

public:
    explicit TCustomBarSeries(TComponent* AOwner = nullptr);
    ~TCustomBarSeries() override;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TBarSeriesEditor"); }
    // Takes MultiBar and SideMargins from the first related series of the
    // new chart.
    void SetParentChart(TCustomAxisPanel* Value) override;

    // --- Settings ---

    TChartBrush* BarBrush() const { return Brush(); }
    void SetBarBrush(const TChartBrush* Value) { SetBrush(Value); }
    TChartPen* BarPen() const { return Pen(); }
    void SetBarPen(const TChartPen* Value) { SetPen(Value); }
    bool AutoBarSize() const { return FAutoBarSize; }
    void SetAutoBarSize(bool Value) { SetBooleanProperty(FAutoBarSize, Value); }
    bool AutoMarkPosition() const { return FAutoMarkPosition; }
    void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
    TBarStyle BarStyle() const { return FBarStyle; }
    void SetBarStyle(TBarStyle Value);
    int BarWidthPercent() const { return FBarWidthPercent; }
    void SetBarWidthPercent(int Value) { SetIntegerProperty(FBarWidthPercent, Value); }
    int BevelSize() const { return FBevelSize; }
    void SetBevelSize(int Value) { SetIntegerProperty(FBevelSize, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    int DepthPercent() const { return FDepthPercent; }
    void SetDepthPercent(int Value) { SetIntegerProperty(FDepthPercent, Value); }
    TBarSeriesGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TBarSeriesGradient* Value) { FGradient->Assign(Value); }
    TMultiBar MultiBar() const { return FMultiBar; }
    // Also copies MultiBar and SideMargins to every related series.
    void SetMultiBar(TMultiBar Value);
    int OffsetPercent() const { return FOffsetPercent; }
    void SetOffsetPercent(int Value) { SetIntegerProperty(FOffsetPercent, Value); }
    bool SideMargins() const { return FSideMargins; }
    // Also copies MultiBar and SideMargins to every related series.
    void SetSideMargins(bool Value);
    int StackGroup() const { return FStackGroup; }
    void SetStackGroup(int Value) { SetIntegerProperty(FStackGroup, Value); }
    TChartHiddenPen* TickLines() const { return FTickLines.get(); }
    void SetTickLines(const TChartPen* Value) { FTickLines->Assign(Value); }
    bool UseYOrigin() const { return FUseYOrigin; }
    void SetUseYOrigin(bool Value) { SetBooleanProperty(FUseYOrigin, Value); }
    double YOrigin() const { return FYOrigin; }
    void SetYOrigin(double Value) { SetDoubleProperty(FYOrigin, Value); }
    // Bar width in pixels used unchanged when not 0.
    int CustomBarSize() const { return FCustomBarSize; }
    void SetCustomBarSize(int Value) { SetIntegerProperty(FCustomBarSize, Value); }

    std::function<void(TCustomBarSeries* Sender, int ValueIndex, TBarStyle& TheBarStyle)> OnGetBarStyle;

    // --- Layout of the last paint ---

    const TRect& BarBounds() const { return FBarBounds; }
    int NumBars() const { return FNumBars; }
    int MaxBarPoints() const { return FMaxBarPoints; }
    int BarOrder() const { return FBarOrder; }
    int PreviousCount() const { return FPreviousCount; }
    int BarSize() const { return FBarSize; }
    TColor NormalBarColor() const { return FNormalBarColor; }

    // Whether S shares the grouping with this series.
    bool IsRelated(const TChartSeries* S) const;
    // The stacking modes.
    bool IsStacking() const { return FMultiBar == mbStacked || FMultiBar == mbStacked100; }

    // --- Series protocol ---

    void DoBeforeDrawChart() override;
    void CalcFirstLastVisibleIndex() override;
    void CalcZOrder() override;
    void CalcDepthPositions() override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle) override;
    int Clicked(int X, int Y) override;
    void PrepareForGallery(bool IsEnabled) override;
    int NumSampleValues() const override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;

    // --- Introduced ---

    // The length of the point's mark along the value axis (the widest mark
    // for -1).
    virtual int CalcMarkLength(int ValueIndex);
    // Whether P lies on the shape of the bar of ValueIndex (its place from
    // the last layout).
    virtual bool InternalClicked(int ValueIndex, const TPoint& P);
    virtual bool SubGalleryStack() const { return true; }
    // Where the bar of ValueIndex starts, as a value (see the stacking modes);
    // SumAll includes every related series of the stack group.
    virtual double GetOriginValue(int ValueIndex, bool SumAll) const;
    // The value-axis pixel where the bar of ValueIndex starts.
    int GetOriginPos(int ValueIndex) const;
    // The value-axis pixel of the bar's value end.
    int CalcValuePos(int ValueIndex) const;
    // The category-axis pixel where the bar of ValueIndex begins (left or top).
    int CalcCategoryPos(int ValueIndex) const;
    // BarSize from the category axis' length (margins call it).
    void CalcBarSize();
    // The extra category margin on each side.
    int CategoryMargin() const;
    // The room the marks need beyond the bars.
    int MarksLength();
    // Largest / smallest end value of the stacked bars.
    double StackedExtreme(bool IsMax) const;
    // The value range with stacking and the origin.
    double ValueRangeMax(double Base);
    double ValueRangeMin(double Base);
    // The category range.
    double CategoryRangeMax(double Base) const;
    double CategoryRangeMin(double Base) const;

protected:
    // Draws the bar of BarIndex across BarBounds from StartPos to EndPos of
    // the value axis (StartPos <= EndPos), in either orientation: its shape,
    // gradient, bevel and tick lines. The concrete classes' DrawBar.
    void DrawBarAlong(int BarIndex, int StartPos, int EndPos);
    // The bar across BarBounds from StartPos to EndPos in this series'
    // orientation, and its depths.
    TBarGeometry BarGeometry(int StartPos, int EndPos) const;
    TBarDepth BarDepth() const;
    // The value axis' tick lines across Bar.
    void DrawTickLines(const TBarGeometry& Bar, TBarStyle Style);
    // The bar style of ValueIndex after OnGetBarStyle.
    TBarStyle StyleOf(int ValueIndex);
    // Prepares pen and brush for one bar.
    void PrepareBarCanvas();
    // The gradient over Rect in 2-D or projected in 3-D.
    void DrawBarGradient(int ValueIndex, const TRect& Rect);
    // The bevel frame over BarBounds.
    void DrawBevel();
    // The pen correction of touching bars.
    int PenCorrection() const;
    // The axis along which the bars stand side by side.
    TChartAxis* CategoryAxis() const;
    // The value axis' far end when no origin is used.
    virtual int DefaultOriginPos() const = 0;
    double StackTotal(int ValueIndex) const { return GetOriginValue(ValueIndex, true); }
    // The pixel of a stacked value V at ValueIndex (100 % mode honoured).
    int StackedPixel(int ValueIndex, double V) const;
    // Index of this series in its chart's list (0 without chart).
    int SeriesIndexInChart() const;
    // Whether bars of this series touch (BarWidthPercent 100).
    bool BarsTouch() const
    {
        return FBarWidthPercent == 100 && FCustomBarSize == 0 && FMultiBar != mbSelfStack;
    }
    void CopyGroupingToRelated();

    TRect FBarBounds{};
    int FNumBars = 0;
    int FMaxBarPoints = 0;
    int FBarOrder = 1;
    int FPreviousCount = 0;
    int FBarSize = 0;
    int FCustomBarSize = 0;
    TColor FNormalBarColor = clNone;

private:
    bool FAutoBarSize = false;
    bool FAutoMarkPosition = true;
    TBarStyle FBarStyle = bsRectangle;
    int FBarWidthPercent = 70;
    int FBevelSize = 1;
    bool FDark3D = true;
    int FDepthPercent = 100;
    std::unique_ptr<TBarSeriesGradient> FGradient;
    TMultiBar FMultiBar = mbSide;
    int FOffsetPercent = 0;
    bool FSideMargins = true;
    int FStackGroup = 0;
    std::unique_ptr<TChartHiddenPen> FTickLines;
    bool FUseYOrigin = true;
    double FYOrigin = 0;
};

using TBarStyle = TCustomBarSeries::TBarStyle;
inline constexpr TBarStyle bsRectangle = TCustomBarSeries::bsRectangle;
inline constexpr TBarStyle bsPyramid = TCustomBarSeries::bsPyramid;
inline constexpr TBarStyle bsInvPyramid = TCustomBarSeries::bsInvPyramid;
inline constexpr TBarStyle bsCilinder = TCustomBarSeries::bsCilinder;
inline constexpr TBarStyle bsEllipse = TCustomBarSeries::bsEllipse;
inline constexpr TBarStyle bsArrow = TCustomBarSeries::bsArrow;
inline constexpr TBarStyle bsRectGradient = TCustomBarSeries::bsRectGradient;
inline constexpr TBarStyle bsCone = TCustomBarSeries::bsCone;
inline constexpr TBarStyle bsBevel = TCustomBarSeries::bsBevel;
inline constexpr TBarStyle bsSlantCube = TCustomBarSeries::bsSlantCube;
inline constexpr TBarStyle bsDiamond = TCustomBarSeries::bsDiamond;
inline constexpr TBarStyle bsInvArrow = TCustomBarSeries::bsInvArrow;
inline constexpr TBarStyle bsInvCone = TCustomBarSeries::bsInvCone;
using TMultiBar = TCustomBarSeries::TMultiBar;
inline constexpr TMultiBar mbNone = TCustomBarSeries::mbNone;
inline constexpr TMultiBar mbSide = TCustomBarSeries::mbSide;
inline constexpr TMultiBar mbStacked = TCustomBarSeries::mbStacked;
inline constexpr TMultiBar mbStacked100 = TCustomBarSeries::mbStacked100;
inline constexpr TMultiBar mbSideAll = TCustomBarSeries::mbSideAll;
inline constexpr TMultiBar mbSelfStack = TCustomBarSeries::mbSelfStack;

// --- TBarSeries ---------------------------------------------------------------------------------

class TBarSeries : public TCustomBarSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    Q_PROPERTY(int CustomBarWidth READ CustomBarSize WRITE SetCustomBarSize)
    Q_CLASSINFO("default:CustomBarWidth", "0")

public:
    explicit TBarSeries(TComponent* AOwner = nullptr);

    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    void DrawValue(int ValueIndex) override;
    bool HasSameZOrderSeries() const override;
    double MaxXValue() override { return CategoryRangeMax(TChartSeries::MaxXValue()); }
    double MinXValue() override { return CategoryRangeMin(TChartSeries::MinXValue()); }
    double MaxYValue() override { return ValueRangeMax(TChartSeries::MaxYValue()); }
    double MinYValue() override { return ValueRangeMin(TChartSeries::MinYValue()); }
    int CalcXPos(int Index) const override { return CalcCategoryPos(Index); }
    int CalcYPos(int Index) const override;
    bool DrawSeriesForward() const override;
    int CalcMarkLength(int ValueIndex) override;

    // One bar between StartPos and EndPos (StartPos <= EndPos) of the
    // vertical axis, across BarBounds' left and right.
    virtual void DrawBar(int BarIndex, int StartPos, int EndPos);

protected:
    int DefaultOriginPos() const override;
};

// --- THorizBarSeries ----------------------------------------------------------------------------

class THorizBarSeries : public TCustomBarSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    Q_PROPERTY(int CustomBarHeight READ CustomBarSize WRITE SetCustomBarSize)
    Q_CLASSINFO("default:CustomBarHeight", "0")

public:
    explicit THorizBarSeries(TComponent* AOwner = nullptr);

    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    void DrawValue(int ValueIndex) override;
    double MaxXValue() override { return ValueRangeMax(TChartSeries::MaxXValue()); }
    double MinXValue() override { return ValueRangeMin(TChartSeries::MinXValue()); }
    double MaxYValue() override { return CategoryRangeMax(TChartSeries::MaxYValue()); }
    double MinYValue() override { return CategoryRangeMin(TChartSeries::MinYValue()); }
    int CalcXPos(int Index) const override;
    int CalcYPos(int Index) const override { return CalcCategoryPos(Index); }
    bool DrawSeriesForward() const override;
    int CalcMarkLength(int ValueIndex) override;

    // One bar between StartPos and EndPos (StartPos <= EndPos) of the
    // horizontal axis, across BarBounds' top and bottom.
    virtual void DrawBar(int BarIndex, int StartPos, int EndPos);

protected:
    int DefaultOriginPos() const override;
};

} // namespace lp
