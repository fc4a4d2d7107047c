#pragma once
// Series drawn inside a circle or ellipse placed in the chart rectangle.
//
//   TChartSeries
//     └─ TCircledSeries     circle geometry, angle <-> pixel, rotation,
//          │                circle background, the chart's saved 3-D view
//          └─ TPieSeries    one slice per point, explode, the "other"
//                           slice, shadow, 3-D and donut slices, clicks
//
// Grouping into the "other" slice never touches the user's points: a
// per-point flag list records which points are grouped, and the "other"
// slice is an extra slice after the last point (slice index Count()) whose
// value is the sum of the grouped points. The user's X values and point
// count stay as they were.

#include "chart/engine/PlotEngine.h"

#include <memory>
#include <vector>

namespace lp {

class TPlotShadow;
class TPlotGradient;
class TView3DOptions;
class TPieSeries;
class TChartLegend;

// --- TCircledSeries -----------------------------------------------------------------------------

class TCircledSeries : public TChartSeries {
    Q_OBJECT
    Q_PROPERTY(bool Circled READ Circled WRITE SetCircled)
    Q_CLASSINFO("default:Circled", "false")
    Q_PROPERTY(int CustomXRadius READ CustomXRadius WRITE SetCustomXRadius)
    Q_CLASSINFO("default:CustomXRadius", "0")
    Q_PROPERTY(int CustomYRadius READ CustomYRadius WRITE SetCustomYRadius)
    Q_CLASSINFO("default:CustomYRadius", "0")

public:
    explicit TCircledSeries(TComponent* AOwner = nullptr);
    ~TCircledSeries() override;

    void Assign(const TPersistent* Source) override;

    // --- Settings ---

    // clPlotColor: the back wall colour (or the chart colour when the wall
    // is transparent).
    TColor CircleBackColor() const { return FCircleBackColor; }
    void SetCircleBackColor(TColor Value) { SetColorProperty(FCircleBackColor, Value); }
    bool Circled() const { return FCircled; }
    // Also sets every series of the same class in the chart; when not
    // loading their custom radii become 0.
    void SetCircled(bool Value);
    int CustomXRadius() const { return FCustomXRadius; }
    void SetCustomXRadius(int Value);
    int CustomYRadius() const { return FCustomYRadius; }
    void SetCustomYRadius(int Value);
    // Degrees, stored modulo 360 (450 becomes 90, -90 becomes 270).
    int RotationAngle() const { return FRotationAngle; }
    void SetRotationAngle(int Value);
    double RotationRadians() const { return FRotationRadians; }
    TPlotGradient* Gradient() const { return FGradient.get(); }
    void SetGradient(const TPlotGradient* Value);

    // --- Geometry (computed at each paint, or by CalcCircleRect) ---

    TRect CircleRect() const { return FCircleRect; }
    int CircleWidth() const { return FCircleWidth; }
    int CircleHeight() const { return FCircleHeight; }
    int CircleXCenter() const { return FCircleXCenter; }
    int CircleYCenter() const { return FCircleYCenter; }
    int XRadius() const { return FXRadius; }
    int YRadius() const { return FYRadius; }
    // Sets the circle from Rect: adjusted to even sizes of at least 4, the
    // marks' room taken off, made round when Circled, then the radii.
    void CalcCircleRect(const TRect& Rect);
    // Sets the circle rectangle directly (adjusted) and computes the radii.
    void SetCircleRect(const TRect& Rect);

    // The pixel of Angle (radians, plus the rotation) on the given radii:
    // angle 0 points right, angles grow counter-clockwise on screen.
    void AngleToPos(double Angle, double AXRadius, double AYRadius, int& X, int& Y) const;
    // The angle (radians, 0 .. 2π, less the rotation) of pixel (X, Y).
    double PointToAngle(int X, int Y) const;

    TColor CalcCircleBackColor() const;
    bool HasCircleBackColor() const;
    // Fills the circle with the gradient, clipped to its ellipse.
    virtual void DrawCircleGradient();

    // The chart's view taken when the series joined it (nullptr if none).
    const TView3DOptions* SavedView3D() const { return FOldView3D.get(); }
    // Puts the chart's view suited to a round series.
    virtual void SetDefaultView3D() {}

    // --- Series protocol ---

    // Leaving a chart gives back its saved view; joining one (not being
    // read) saves its view and puts the default view of a round series.
    void SetParentChart(TCustomAxisPanel* Value) override;
    void SetActive(bool Value) override;
    bool UseAxis() const override { return false; }
    bool AssociatedToAxis(const TChartAxis*) const override { return true; }
    void DoBeforeDrawValues() override;

protected:
    // Room the marks need around the circle (0 when hidden).
    virtual void MarksRoom(int& Horiz, int& Vert);
    void AdjustCircleRect();
    void CalcRadii();
    void RestoreView3D();
    // Circled and the custom radii as the chart's series of this class hold
    // them (their setters spread them to the class), so a series that joins
    // later or is copied in matches what reading the file gives it.
    void TakeChartCircle();

    // Set while the slices draw: the gradient then takes each slice colour
    // without asking for another paint.
    bool FDrawingSlices = false;
    TRect FCircleRect;
    int FCircleWidth = 0;
    int FCircleHeight = 0;
    int FCircleXCenter = 0;
    int FCircleYCenter = 0;
    int FXRadius = 0;
    int FYRadius = 0;

private:
    TColor FCircleBackColor = clPlotColor;
    bool FCircled = false;
    int FCustomXRadius = 0;
    int FCustomYRadius = 0;
    int FRotationAngle = 0;
    double FRotationRadians = 0;
    std::unique_ptr<TView3DOptions> FOldView3D;
    std::unique_ptr<TPlotGradient> FGradient;
};

// --- TSliceValueList ----------------------------------------------------------------------------

// Integers by slice index; missing entries read as 0. Setting an entry
// grows the list with zeros and repaints the pie when the value changed.
class TSliceValueList {
public:
    explicit TSliceValueList(TPieSeries* Owner) : FOwner(Owner) {}
    int Value(int Index) const;
    void SetValue(int Index, int Value);
    int Count() const { return static_cast<int>(FValues.size()); }
    void Clear() { FValues.clear(); }
    // Removes entry Index (nothing when beyond the list).
    void Delete(int Index);
    // Exchanges two entries after padding the list to Size.
    void Exchange(int A, int B, int Size);
    void Assign(const TSliceValueList& Source) { FValues = Source.FValues; }
    const std::vector<int>& Values() const { return FValues; }

private:
    TPieSeries* FOwner;
    std::vector<int> FValues;
};

// --- TPieOtherSlice -----------------------------------------------------------------------------

class TPieOtherSlice : public TPersistent {
    Q_OBJECT
public:
    enum TPieOtherStyle { poNone, poBelowPercent, poBelowValue };
    Q_ENUM(TPieOtherStyle)

private:
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0x20000000")
    Q_PROPERTY(lp::TChartLegend* Legend READ Legend WRITE SetLegend)
    Q_CLASSINFO("stored:Legend", "HasLegend")
    Q_PROPERTY(lp::TPieOtherSlice::TPieOtherStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "poNone")
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_CLASSINFO("stored:Text", "IsTextStored")
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_CLASSINFO("default:Value", "0")

public:
    explicit TPieOtherSlice(TPieSeries* Owner);
    ~TPieOtherSlice() override;
    // Colour, legend (or none), style, text and value.
    void Assign(const TPersistent* Source) override;

    // The legend of the grouped points: created on first read, bound to
    // the pie's chart. It starts visible, the legend's stored default, so
    // a legend saved visible (Visible not written) reads back visible.
    TChartLegend* Legend() const;
    void SetLegend(const TChartLegend* Value);
    Q_INVOKABLE bool HasLegend() const { return FLegend != nullptr; }
    // Rebinds an existing legend to Chart (the pie changed charts).
    void BindLegend(TCustomAxisPanel* Chart);

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPieOtherStyle Style() const { return FStyle; }
    void SetStyle(TPieOtherStyle Value);
    // The message text "Other" while no text is set.
    QString Text() const;
    void SetText(const QString& Value);
    Q_INVOKABLE bool IsTextStored() const { return FTextSet; }
    double Value() const { return FValue; }
    void SetValue(double Value);

private:
    void Changed();
    TPieSeries* FOwner;
    mutable std::unique_ptr<TChartLegend> FLegend;
    TColor FColor = clPlotColor;
    TPieOtherStyle FStyle = poNone;
    QString FText;
    bool FTextSet = false;
    double FValue = 0;
};

using TPieOtherStyle = TPieOtherSlice::TPieOtherStyle;
inline constexpr TPieOtherStyle poNone = TPieOtherSlice::poNone;
inline constexpr TPieOtherStyle poBelowPercent = TPieOtherSlice::poBelowPercent;
inline constexpr TPieOtherStyle poBelowValue = TPieOtherSlice::poBelowValue;

// --- TPieSeries ---------------------------------------------------------------------------------

class TPieSeries : public TCircledSeries {
    Q_OBJECT
public:
    enum TMultiPie { mpAutomatic, mpDisabled };
    Q_ENUM(TMultiPie)

private:
    Q_PROPERTY(int AngleSize READ AngleSize WRITE SetAngleSize)
    Q_CLASSINFO("default:AngleSize", "360")
    Q_PROPERTY(bool AutoMarkPosition READ AutoMarkPosition WRITE SetAutoMarkPosition)
    Q_CLASSINFO("default:AutoMarkPosition", "true")
    Q_PROPERTY(int CircleBackColor READ CircleBackColor WRITE SetCircleBackColor)
    Q_CLASSINFO("default:CircleBackColor", "0x20000000")
    Q_PROPERTY(bool ColorEachPoint READ ColorEachPoint WRITE SetColorEachPoint)
    Q_CLASSINFO("default:ColorEachPoint", "true")
    Q_PROPERTY(bool Dark3D READ Dark3D WRITE SetDark3D)
    Q_CLASSINFO("default:Dark3D", "true")
    Q_PROPERTY(int DarkPen READ DarkPen WRITE SetDarkPen)
    Q_CLASSINFO("default:DarkPen", "0")
    Q_PROPERTY(int ExplodeBiggest READ ExplodeBiggest WRITE SetExplodeBiggest)
    Q_CLASSINFO("default:ExplodeBiggest", "0")
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(lp::TPieSeries::TMultiPie MultiPie READ MultiPie WRITE SetMultiPie)
    Q_CLASSINFO("default:MultiPie", "mpAutomatic")
    Q_PROPERTY(lp::TPieOtherSlice* OtherSlice READ OtherSlice WRITE SetOtherSlice)
    Q_PROPERTY(lp::TChartPen* PiePen READ PiePen WRITE SetPiePen)
    Q_PROPERTY(lp::TChartValueList* PieValues READ PieValues WRITE SetPieValues)
    // The X list: the General tab's Sort sets its order (the slices follow
    // it) and a data source may fill it, so it is kept with the chart.
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(int RotationAngle READ RotationAngle WRITE SetRotationAngle)
    Q_CLASSINFO("default:RotationAngle", "0")
    Q_PROPERTY(lp::TPlotShadow* Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(bool UsePatterns READ UsePatterns WRITE SetUsePatterns)
    Q_CLASSINFO("default:UsePatterns", "false")

public:
    // One slice's angles in radians (without the rotation).
    struct TPieAngle {
        double StartAngle = 0;
        double MidAngle = 0;
        double EndAngle = 0;
    };

    explicit TPieSeries(TComponent* AOwner = nullptr);
    ~TPieSeries() override;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TPieSeriesEditor"); }

    // --- Settings ---

    int AngleSize() const { return FAngleSize; }
    void SetAngleSize(int Value) { SetIntegerProperty(FAngleSize, Value); }
    bool AutoMarkPosition() const { return FAutoMarkPosition; }
    void SetAutoMarkPosition(bool Value) { SetBooleanProperty(FAutoMarkPosition, Value); }
    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    int DarkPen() const { return FDarkPen; }
    void SetDarkPen(int Value) { SetIntegerProperty(FDarkPen, Value); }
    // Below 1 a plain pie; else the hole's percentage of the radius.
    int DonutPercent() const { return FDonutPercent; }
    void SetDonutPercent(int Value) { SetIntegerProperty(FDonutPercent, Value); }
    int ExplodeBiggest() const { return FExplodeBiggest; }
    // Stores and explodes the biggest slice by Value.
    void SetExplodeBiggest(int Value);
    TSliceValueList& ExplodedSlice() { return FExplodedSlice; }
    const TSliceValueList& ExplodedSlice() const { return FExplodedSlice; }
    // Per-slice depth percentages for 3-D drawing.
    TSliceValueList& SliceHeight() { return FSliceHeight; }
    const TSliceValueList& SliceHeight() const { return FSliceHeight; }
    TMultiPie MultiPie() const { return FMultiPie; }
    void SetMultiPie(TMultiPie Value);
    TPieOtherSlice* OtherSlice() const { return FOtherSlice.get(); }
    void SetOtherSlice(const TPieOtherSlice* Value) { FOtherSlice->Assign(Value); }
    TPlotShadow* Shadow() const { return FShadow.get(); }
    void SetShadow(const TPlotShadow* Value);
    bool UsePatterns() const { return FUsePatterns; }
    void SetUsePatterns(bool Value) { SetBooleanProperty(FUsePatterns, Value); }
    TChartPen* PiePen() const { return Pen(); }
    void SetPiePen(const TChartPen* Value) { SetPen(Value); }
    TChartValueList* PieValues() const { return YValues(); }
    void SetPieValues(const TChartValueList* Value) { SetValueList(YValues(), Value); }

    // --- Grouping ---

    // Recomputes which points belong to the "other" slice (the user's
    // points are left as they are).
    void GroupOtherSlice();
    // Whether point ValueIndex is grouped into the "other" slice.
    bool IsGrouped(int ValueIndex) const;
    // Whether there is an "other" slice (some point grouped).
    bool HasOtherSlice() const { return FOtherSum > 0 || FGroupedCount > 0; }
    // The "other" slice's value, the sum of the grouped absolute values.
    double OtherSliceValue() const { return FOtherSum; }
    // The points grouped into the "other" slice, in order (the items the
    // other slice's own legend lists).
    std::vector<int> GroupedPoints() const;
    // The slice index of the "other" slice: Count().
    int OtherSliceIndex() const { return Count(); }

    // --- Angles and slices ---

    // Computes the slice angles of the visible points (and the "other"
    // slice at index Count()).
    void CalcAngles();
    // The angles of slice Index (0 .. Count(), the last being the "other"
    // slice); ERangeError outside or before the angles were computed.
    const TPieAngle& Angle(int Index) const;
    int AngleCount() const { return static_cast<int>(FAngles.size()); }
    // The slice's explode offset in pixels (0, 0 when not exploded).
    TPoint ExplodeOffset(int Index) const;
    // The pen and the brush pattern a slice draws with.
    void PrepareSlicePen(int Index, TColor SliceColor);
    TBrush::TBrushStyle SlicePattern(int Index) const;
    // Draws slice Index (a point or the "other" slice) with the canvas'
    // current pen and brush.
    void DrawPieSlice(int Index);
    // The slice under (X, Y): a point index, OtherSliceIndex() for the
    // "other" slice, -1 for none.
    int ClickedSlice(int X, int Y) const;

    // --- Series protocol ---

    void SetDefaultView3D() override;
    void SetParentChart(TCustomAxisPanel* Value) override;
    void CalcFirstLastVisibleIndex() override;
    void CalcZOrder() override;
    void DoBeforeDrawValues() override;
    void DoAfterDrawValues() override;
    void DrawAllValues() override;
    void DrawValue(int ValueIndex) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    double MaxXValue() override;
    double MinXValue() override;
    double MaxYValue() override;
    double MinYValue() override;
    int Clicked(int X, int Y) override;
    void Delete(int ValueIndex) override;
    void SwapValueIndex(int A, int B) override;
    int CountLegendItems() override;
    int LegendToValueIndex(int LegendIndex) const override;
    TColor LegendItemColor(int LegendIndex) const override;
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    int NumSampleValues() const override { return 8; }
    void PrepareForGallery(bool IsEnabled) override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;

protected:
    void MarksRoom(int& Horiz, int& Vert) override;

private:
    void ApplyExplodeBiggest();
    TColor SliceColor(int Index) const;
    // The absolute value of point Index (Count(): the "other" slice); 0 for
    // a value beyond the doubles or NaN, which has no share of the circle.
    double SliceValue(int Index) const;
    // The power of two that brings the largest slice value below 1: sums of
    // slice values near the limit of the doubles, taken of the values times
    // it, stay finite, and ordinary values give their unscaled shares.
    double SliceScale() const;
    std::vector<int> SliceDrawOrder() const;
    int SliceEndDepth(int Index) const;

    int FAngleSize = 360;
    bool FAutoMarkPosition = true;
    bool FDark3D = true;
    int FDarkPen = 0;
    int FDonutPercent = 0;
    int FExplodeBiggest = 0;
    TSliceValueList FExplodedSlice{this};
    TSliceValueList FSliceHeight{this};
    TMultiPie FMultiPie = mpAutomatic;
    std::unique_ptr<TPieOtherSlice> FOtherSlice;
    std::unique_ptr<TPlotShadow> FShadow;
    bool FUsePatterns = false;
    std::vector<TPieAngle> FAngles;
    bool FIsExploded = false;
    // Grouping state: a flag per point, the grouped sum and count.
    std::vector<bool> FGrouped;
    double FOtherSum = 0;
    int FGroupedCount = 0;
    // The chart rectangle kept across DoBeforeDrawValues/DoAfterDrawValues.
    TRect FOldChartRect;
    bool FHasOldChartRect = false;
};

using TMultiPie = TPieSeries::TMultiPie;
inline constexpr TMultiPie mpAutomatic = TPieSeries::mpAutomatic;
inline constexpr TMultiPie mpDisabled = TPieSeries::mpDisabled;

} // namespace lp
