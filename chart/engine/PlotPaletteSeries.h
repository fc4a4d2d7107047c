#pragma once
// Series whose points carry a third value Z, and the colouring of points by
// value through a colour range or a stepped palette.
//
//   TChartSeries
//     └─ TCustom3DSeries           ZValues ("Z"), depth position, TimesZOrder
//          └─ TCustom3DPaletteSeries
//                                  colour range (end, optional mid, start),
//                                  generated palette (five styles), legend
//                                  rows per palette step
//
// A point without a colour of its own (clPlotColor) takes ColorForValue of
// its mandatory value: interpolated along the range when UseColorRange is
// on, else looked up in the palette when UsePalette is on. OnGetColor has
// the last word on every point colour.
//
// The palette is built lazily: each paint (DoBeforeDrawChart) and switching
// UsePalette on generate it when the series has points and the palette is
// empty.

#include "chart/engine/PlotEngine.h"

#include <functional>
#include <vector>

namespace lp {

class TCustom3DSeries : public TChartSeries {
    Q_OBJECT
    Q_PROPERTY(int TimesZOrder READ TimesZOrder WRITE SetTimesZOrder)
    Q_CLASSINFO("default:TimesZOrder", "3")
    Q_PROPERTY(lp::TChartValueList* ZValues READ ZValues WRITE SetZValues)

public:
    explicit TCustom3DSeries(TComponent* AOwner = nullptr);

    // From another Z-value series: ZValues and TimesZOrder; then the base.
    void Assign(const TPersistent* Source) override;

    // Stores Z as the pending value of ZValues, then adds (X, Y) through
    // AddXY; the new index.
    int AddXYZ(double X, double Y, double Z);
    virtual int AddXYZLabel(double X, double Y, double Z, const QString& Label, TColor Color = clPlotColor);

    // The depth pixel of point Index (its Z through the depth axis); 0
    // without a chart. ERangeError for an index outside the points.
    int CalcZPos(int Index) const;
    // The depth axis' Inverted, flipped when the view is turned round
    // (Rotation 91 .. 269 degrees).
    bool IsDepthReversed() const;

    void CalcZOrder() override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    TChartValueList* GetAxisValueList(const TChartAxis* Axis) const override;
    bool AssociatedToAxis(const TChartAxis* Axis) const override;
    bool HasZValues() const override { return true; }
    double MaxZValue() override;
    double MinZValue() override;
    // With a continuous legend symbol the canvas pen is cleared.
    void PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle) override;
    // Another series feeds this one only when it has Z values as well.
    bool IsValidSourceOf(TChartSeries* Source) override;

    int TimesZOrder() const { return FTimesZOrder; }
    void SetTimesZOrder(int Value) { SetIntegerProperty(FTimesZOrder, Value); }
    TChartValueList* ZValues() const { return FZValues; }
    void SetZValues(TChartValueList* Value) { SetValueList(FZValues, Value); }

private:
    int FTimesZOrder = 3;
    TChartValueList* FZValues = nullptr; // owned by the value lists
};

// One palette step: values below UpToValue (and above the previous step's)
// take Color.
struct TPlotPaletteStep {
    double UpToValue = 0;
    TColor Color = clBlack;
};

class TCustom3DPaletteSeries : public TCustom3DSeries {
    Q_OBJECT
public:
    enum TPlotPaletteStyle { psPale, psStrong, psGrayScale, psInvGray, psRainbow };
    Q_ENUM(TPlotPaletteStyle)

private:
    Q_PROPERTY(int EndColor READ EndColor WRITE SetEndColor)
    Q_CLASSINFO("default:EndColor", "0xFFFFFF")
    Q_PROPERTY(int MidColor READ MidColor WRITE SetMidColor)
    Q_CLASSINFO("default:MidColor", "0x1FFFFFFF")
    Q_PROPERTY(int LegendEvery READ LegendEvery WRITE SetLegendEvery)
    Q_CLASSINFO("default:LegendEvery", "1")
    Q_PROPERTY(double PaletteMin READ PaletteMin WRITE SetPaletteMin)
    Q_CLASSINFO("default:PaletteMin", "0")
    Q_PROPERTY(double PaletteStep READ PaletteStep WRITE SetPaletteStep)
    Q_CLASSINFO("default:PaletteStep", "0")
    Q_PROPERTY(int PaletteSteps READ PaletteSteps WRITE SetPaletteSteps)
    Q_CLASSINFO("default:PaletteSteps", "32")
    Q_PROPERTY(TPlotPaletteStyle PaletteStyle READ PaletteStyle WRITE SetPaletteStyle)
    Q_CLASSINFO("default:PaletteStyle", "psPale")
    Q_PROPERTY(int StartColor READ StartColor WRITE SetStartColor)
    Q_CLASSINFO("default:StartColor", "0x800000")
    Q_PROPERTY(bool UseColorRange READ UseColorRange WRITE SetUseColorRange)
    Q_CLASSINFO("default:UseColorRange", "true")
    Q_PROPERTY(bool UsePalette READ UsePalette WRITE SetUsePalette)
    Q_CLASSINFO("default:UsePalette", "false")
    Q_PROPERTY(bool UsePaletteMin READ UsePaletteMin WRITE SetUsePaletteMin)
    Q_CLASSINFO("default:UsePaletteMin", "false")

public:
    explicit TCustom3DPaletteSeries(TComponent* AOwner = nullptr);
    ~TCustom3DPaletteSeries() override;

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TGrid3DSeriesEditor"); }
    void Clear() override;
    void DoBeforeDrawChart() override;

    // --- Colours ---

    TColor GetValueColor(int Index) const override;
    // The colour of a value by range, by palette or the series colour.
    TColor ColorForValue(double Value) const;
    // Points take their colours from the range or the palette while either
    // is on; only without both does the series colour show.
    bool SeriesColorEditable() const override { return !FUseColorRange && !FUsePalette; }
    // The range colour at fraction T (0 = EndColor, 1 = StartColor).
    TColor RangeColorAt(double T) const;

    // --- Palette ---

    // Inserts a step after the steps with UpToValue not above the new one;
    // its index.
    int AddPalette(double UpToValue, TColor Color);
    void ClearPalette();
    // Generates the default palette when there are points and no steps.
    void CheckPaletteEmpty();
    // Replaces the palette by Steps generated steps (none for Steps <= 0).
    void CreateDefaultPalette(int Steps);
    int PaletteCount() const { return static_cast<int>(FPalette.size()); }
    // ERangeError for an index outside the palette.
    const TPlotPaletteStep& PaletteAt(int Index) const;
    // The rainbow style's 25 colours.
    static const TColor RainbowColors[25];

    // --- Legend and gallery ---

    int CountLegendItems() override;
    TColor LegendItemColor(int LegendIndex) const override;
    void GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text) override;
    // The palette step legend row LegendIndex shows (highest first); -1
    // outside the palette.
    int LegendToPaletteIndex(int LegendIndex) const;
    // The whole series as one legend row (ValueIndex -1) with the colour
    // range on: a clear-brushed frame, then the range as a gradient inside.
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    void PrepareForGallery(bool IsEnabled) override;
    void GalleryChanged3D(bool Is3D) override;

    // --- Published settings ---

    TColor EndColor() const { return FEndColor; }
    void SetEndColor(TColor Value);
    TColor MidColor() const { return FMidColor; }
    void SetMidColor(TColor Value);
    TColor StartColor() const { return FStartColor; }
    void SetStartColor(TColor Value);
    int LegendEvery() const { return FLegendEvery; }
    void SetLegendEvery(int Value) { SetIntegerProperty(FLegendEvery, Value); }
    double PaletteMin() const { return FPaletteMin; }
    void SetPaletteMin(double Value);
    double PaletteStep() const { return FPaletteStep; }
    void SetPaletteStep(double Value);
    int PaletteSteps() const { return FPaletteSteps; }
    void SetPaletteSteps(int Value);
    TPlotPaletteStyle PaletteStyle() const { return FPaletteStyle; }
    void SetPaletteStyle(TPlotPaletteStyle Value);
    bool UseColorRange() const { return FUseColorRange; }
    void SetUseColorRange(bool Value);
    bool UsePalette() const { return FUsePalette; }
    void SetUsePalette(bool Value);
    bool UsePaletteMin() const { return FUsePaletteMin; }
    void SetUsePaletteMin(bool Value);

    // The last word on every point colour.
    std::function<void(TChartSeries* Sender, int ValueIndex, TColor& Color)> OnGetColor;

protected:
    // Range components from the range colours, then the range factor.
    void CalcColorRange();
    // 1 / (maximum - minimum) of the mandatory values, 0 for no range.
    void CalcRangeFactor();

private:
    TColor FEndColor = clWhite;
    TColor FMidColor = clNone;
    std::vector<TPlotPaletteStep> FPalette;
    int FLegendEvery = 1;
    double FPaletteMin = 0;
    double FPaletteStep = 0;
    int FPaletteSteps = 32;
    TPlotPaletteStyle FPaletteStyle = psPale;
    TColor FStartColor = clNavy;
    bool FUseColorRange = true;
    bool FUsePalette = false;
    bool FUsePaletteMin = false;
    // End and mid colour components and the differences (end → mid or
    // start, mid → start).
    int FEndR = 0, FEndG = 0, FEndB = 0;
    int FMidR = 0, FMidG = 0, FMidB = 0;
    int FD1R = 0, FD1G = 0, FD1B = 0;
    int FD2R = 0, FD2G = 0, FD2B = 0;
    double FRangeFactor = 0;
    double FRangeMin = 0;
    double FRangeMax = 0;
    double FRainbowDivR = 2, FRainbowDivG = 1, FRainbowDivB = 1;
};

using TPlotPaletteStyle = TCustom3DPaletteSeries::TPlotPaletteStyle;
inline constexpr TPlotPaletteStyle psPale = TCustom3DPaletteSeries::psPale;
inline constexpr TPlotPaletteStyle psStrong = TCustom3DPaletteSeries::psStrong;
inline constexpr TPlotPaletteStyle psGrayScale = TCustom3DPaletteSeries::psGrayScale;
inline constexpr TPlotPaletteStyle psInvGray = TCustom3DPaletteSeries::psInvGray;
inline constexpr TPlotPaletteStyle psRainbow = TCustom3DPaletteSeries::psRainbow;

} // namespace lp
