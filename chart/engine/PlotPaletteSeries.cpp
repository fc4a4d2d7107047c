#include "chart/engine/PlotPaletteSeries.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotMarks.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lp {

// --- TCustom3DSeries --------------------------------------------------------------------------

TCustom3DSeries::TCustom3DSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    // Every point is drawn (no search for a visible range) and the series is
    // not interleaved with others of equal Z order: its points are spread
    // over the depth.
    SetExcludeFromInterleave(true);
    SetVisibleRangeSearch(false);
    FZValues = new TChartValueList(this, QStringLiteral("Z"));
    XValues()->InitOrder(loNone);
}

void TCustom3DSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = dynamic_cast<const TCustom3DSeries*>(Source)) {
        SetValueList(FZValues, S->FZValues);
        FTimesZOrder = S->FTimesZOrder;
    }
    TChartSeries::Assign(Source);
}

int TCustom3DSeries::AddXYZ(double X, double Y, double Z)
{
    return AddXYZLabel(X, Y, Z, QString(), clPlotColor);
}

int TCustom3DSeries::AddXYZLabel(double X, double Y, double Z, const QString& Label, TColor Color)
{
    FZValues->SetTempValue(Z);
    return AddXY(X, Y, Label, Color);
}

int TCustom3DSeries::CalcZPos(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    const TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !Chart->DepthAxis())
        return 0;
    return Chart->DepthAxis()->CalcPosValue(FZValues->Value(Index));
}

bool TCustom3DSeries::IsDepthReversed() const
{
    const TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || !Chart->DepthAxis())
        return false;
    bool Result = Chart->DepthAxis()->Inverted();
    const int Rotation = Chart->View3DOptions()->Rotation();
    if (Rotation >= 91 && Rotation <= 269)
        Result = !Result;
    return Result;
}

void TCustom3DSeries::CalcZOrder()
{
    TChartSeries::CalcZOrder();
    if (ParentChart())
        ParentChart()->SetMaxZOrder(FTimesZOrder);
}

void TCustom3DSeries::DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition)
{
    Marks()->SetZPosition(CalcZPos(ValueIndex));
    TChartSeries::DrawMark(ValueIndex, St, APosition);
}

TChartValueList* TCustom3DSeries::GetAxisValueList(const TChartAxis* Axis) const
{
    if (Axis && ParentChart() && Axis == ParentChart()->DepthAxis())
        return FZValues;
    return TChartSeries::GetAxisValueList(Axis);
}

bool TCustom3DSeries::AssociatedToAxis(const TChartAxis* Axis) const
{
    if (Axis && ParentChart() && Axis == ParentChart()->DepthAxis())
        return true;
    return TChartSeries::AssociatedToAxis(Axis);
}

double TCustom3DSeries::MaxZValue()
{
    return FZValues->MaxValue();
}

double TCustom3DSeries::MinZValue()
{
    return FZValues->MinValue();
}

void TCustom3DSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle)
{
    TChartSeries::PrepareLegendCanvas(ValueIndex, BackColor, BrushStyle);
    const auto* Chart = dynamic_cast<const TChart*>(ParentChart());
    if (Chart && Chart->Legend() && Chart->Legend()->Symbol()->Continuous())
        ParentChart()->Canvas().Pen()->SetStyle(TPen::psClear);
}

bool TCustom3DSeries::IsValidSourceOf(TChartSeries* Source)
{
    return TChartSeries::IsValidSourceOf(Source) && dynamic_cast<TCustom3DSeries*>(Source) != nullptr;
}

// --- TCustom3DPaletteSeries -------------------------------------------------------------------

const TColor TCustom3DPaletteSeries::RainbowColors[25] = {
    0x000099, 0x0000C3, 0x0000EE, 0x001AFF, 0x0046FF, 0x0073FF, 0x009FFF, 0x00CBFF, 0x00F7FF,
    0x08F4E3, 0x11E7C3, 0x1BDAA3, 0x25CD83, 0x2EC063, 0x38B342, 0x42A622, 0x4B9A02, 0x6A870C,
    0x8A751A, 0xAA6328, 0xCB5036, 0xEB3E44, 0xFF2A61, 0xFF1596, 0xFF00CC};

TCustom3DPaletteSeries::TCustom3DPaletteSeries(TComponent* AOwner) : TCustom3DSeries(AOwner)
{
    CalcColorRange();
}

TCustom3DPaletteSeries::~TCustom3DPaletteSeries()
{
    ClearPalette();
}

void TCustom3DPaletteSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = dynamic_cast<const TCustom3DPaletteSeries*>(Source)) {
        FUsePalette = S->FUsePalette;
        FUseColorRange = S->FUseColorRange;
        FStartColor = S->FStartColor;
        FEndColor = S->FEndColor;
        FMidColor = S->FMidColor;
        FLegendEvery = S->FLegendEvery;
        FPaletteSteps = S->FPaletteSteps;
        FPalette = S->FPalette;
        FUsePaletteMin = S->FUsePaletteMin;
        FPaletteStep = S->FPaletteStep;
        FPaletteMin = S->FPaletteMin;
        FPaletteStyle = S->FPaletteStyle;
    }
    TCustom3DSeries::Assign(Source);
    // Copying the points clears this series first, which with UsePalette
    // empties the palette: take the source's steps again afterwards.
    if (const auto* S = dynamic_cast<const TCustom3DPaletteSeries*>(Source))
        FPalette = S->FPalette;
    // After the points are copied, so that the range factor follows them.
    CalcColorRange();
}

void TCustom3DPaletteSeries::Clear()
{
    TCustom3DSeries::Clear();
    if (FUsePalette)
        ClearPalette();
}

void TCustom3DPaletteSeries::DoBeforeDrawChart()
{
    TCustom3DSeries::DoBeforeDrawChart();
    CheckPaletteEmpty();
    CalcRangeFactor();
}

// --- Colours ---

void TCustom3DPaletteSeries::CalcColorRange()
{
    const TColor E = ColorToRGB(FEndColor);
    const TColor S = ColorToRGB(FStartColor);
    FEndR = GetRValue(E);
    FEndG = GetGValue(E);
    FEndB = GetBValue(E);
    if (FMidColor == clNone) {
        FD1R = GetRValue(S) - FEndR;
        FD1G = GetGValue(S) - FEndG;
        FD1B = GetBValue(S) - FEndB;
        FMidR = FMidG = FMidB = 0;
        FD2R = FD2G = FD2B = 0;
    } else {
        const TColor M = ColorToRGB(FMidColor);
        FMidR = GetRValue(M);
        FMidG = GetGValue(M);
        FMidB = GetBValue(M);
        FD1R = FMidR - FEndR;
        FD1G = FMidG - FEndG;
        FD1B = FMidB - FEndB;
        FD2R = GetRValue(S) - FMidR;
        FD2G = GetGValue(S) - FMidG;
        FD2B = GetBValue(S) - FMidB;
    }
    CalcRangeFactor();
}

void TCustom3DPaletteSeries::CalcRangeFactor()
{
    TChartValueList* Values = MandatoryValues();
    FRangeMin = Values->MinValue();
    FRangeMax = Values->MaxValue();
    const double Range = FRangeMax - FRangeMin;
    FRangeFactor = (Range != 0 && std::isfinite(Range)) ? 1.0 / Range : 0.0;
}

namespace {

// Base + round(S × Difference) (ties to even), kept to its low 8 bits. S is
// within 0 .. 1 here, so the product stays within a byte's range.
int RangeComponent(int Base, double S, int Difference)
{
    const double Step = std::nearbyint(std::clamp(S, -1.0, 1.0) * Difference);
    return (Base + static_cast<int>(Step)) & 0xFF;
}

} // namespace

TColor TCustom3DPaletteSeries::RangeColorAt(double T) const
{
    if (!std::isfinite(T))
        T = 0;
    if (FMidColor == clNone)
        return RGB(RangeComponent(FEndR, T, FD1R), RangeComponent(FEndG, T, FD1G), RangeComponent(FEndB, T, FD1B));
    if (T < 0.5) {
        const double S = 2 * T;
        return RGB(RangeComponent(FEndR, S, FD1R), RangeComponent(FEndG, S, FD1G), RangeComponent(FEndB, S, FD1B));
    }
    const double S = (T - 0.5) * 2;
    return RGB(RangeComponent(FMidR, S, FD2R), RangeComponent(FMidG, S, FD2G), RangeComponent(FMidB, S, FD2B));
}

TColor TCustom3DPaletteSeries::ColorForValue(double Value) const
{
    if (FUseColorRange) {
        const double D = Value - FRangeMin;
        if (FRangeFactor != 0 && D >= 0) {
            if (Value <= FRangeMax)
                return RangeColorAt(std::min(D * FRangeFactor, 1.0));
            return FStartColor;
        }
        return FEndColor;
    }
    if (FUsePalette && !FPalette.empty()) {
        for (const TPlotPaletteStep& Step : FPalette)
            if (Step.UpToValue > Value)
                return Step.Color;
        return FPalette.back().Color;
    }
    return SeriesColor();
}

TColor TCustom3DPaletteSeries::GetValueColor(int Index) const
{
    TColor Result = GetStoredValueColor(Index);
    if (Result == clPlotColor) {
        if (!ColorEachPoint() && (FUseColorRange || FUsePalette))
            Result = ColorForValue(MandatoryValues()->Value(Index));
        else
            Result = TCustom3DSeries::GetValueColor(Index);
    }
    if (OnGetColor)
        OnGetColor(const_cast<TCustom3DPaletteSeries*>(this), Index, Result);
    return Result;
}

// --- Palette ---

int TCustom3DPaletteSeries::AddPalette(double UpToValue, TColor Color)
{
    const auto Where = std::upper_bound(FPalette.begin(), FPalette.end(), UpToValue,
        [](double V, const TPlotPaletteStep& Step) { return V < Step.UpToValue; });
    const auto Inserted = FPalette.insert(Where, TPlotPaletteStep{UpToValue, Color});
    return static_cast<int>(Inserted - FPalette.begin());
}

void TCustom3DPaletteSeries::ClearPalette()
{
    FPalette.clear();
}

const TPlotPaletteStep& TCustom3DPaletteSeries::PaletteAt(int Index) const
{
    if (Index < 0 || Index >= PaletteCount())
        RaiseIndexError(Index, PaletteCount());
    return FPalette[static_cast<size_t>(Index)];
}

void TCustom3DPaletteSeries::CheckPaletteEmpty()
{
    if (Count() > 0 && FPalette.empty())
        CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::CreateDefaultPalette(int Steps)
{
    ClearPalette();
    TChartValueList* Values = MandatoryValues();
    const double Min = Values->MinValue();
    const double Max = Values->MaxValue();
    const double Width = FPaletteStep != 0 ? FPaletteStep : (Max - Min) / std::max(1, Steps - 1);
    const double First = FUsePaletteMin ? FPaletteMin : Min;
    const auto Channel = [](double V) { return static_cast<int>(std::trunc((V + 1) * 127)); };
    for (int I = 0; I < Steps; ++I) {
        TColor Color = clBlack;
        switch (FPaletteStyle) {
        case psPale:
        case psStrong: {
            const double X = I * (FPaletteStyle == psPale ? std::numbers::pi : 2 * std::numbers::pi) / Steps;
            Color = RGB(Channel(std::sin(X / FRainbowDivR)), Channel(std::sin(X / FRainbowDivG)),
                Channel(std::cos(X / FRainbowDivB)));
            break;
        }
        case psGrayScale:
        case psInvGray: {
            int G = static_cast<int>(std::nearbyint(static_cast<double>(I) * 255 / Steps));
            if (FPaletteStyle == psInvGray)
                G = 255 - G;
            Color = RGB(G, G, G);
            break;
        }
        case psRainbow:
            // The rainbow table by index: the chart's own palette is left
            // alone and no chart is needed.
            Color = RainbowColors[I % 25];
            break;
        }
        AddPalette(I * Width + First, Color);
    }
    Repaint();
}

// --- Legend ---

int TCustom3DPaletteSeries::CountLegendItems()
{
    if (Count() == 0 || (!FUseColorRange && !FUsePalette))
        return TCustom3DSeries::CountLegendItems();
    const int N = PaletteCount();
    if (FLegendEvery >= 2)
        // Rows for steps N-1, N-1-E, ... down to the lowest step at or
        // above 0: (N - 1) div E + 1 of them (none without steps).
        return N == 0 ? 0 : (N - 1) / FLegendEvery + 1;
    return N;
}

int TCustom3DPaletteSeries::LegendToPaletteIndex(int LegendIndex) const
{
    if (LegendIndex < 0)
        return -1;
    const long long Every = std::max(1, FLegendEvery);
    const long long P = static_cast<long long>(PaletteCount()) - Every * LegendIndex - 1;
    return (P >= 0 && P < PaletteCount()) ? static_cast<int>(P) : -1;
}

TColor TCustom3DPaletteSeries::LegendItemColor(int LegendIndex) const
{
    if (Count() > 0 && (FUseColorRange || FUsePalette)) {
        const int P = LegendToPaletteIndex(LegendIndex);
        if (P >= 0) {
            if (FUseColorRange)
                return ColorForValue(FPalette[static_cast<size_t>(P)].UpToValue);
            return FPalette[static_cast<size_t>(P)].Color;
        }
    }
    return TCustom3DSeries::LegendItemColor(LegendIndex);
}

void TCustom3DPaletteSeries::GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text)
{
    if (Count() == 0 || (!FUseColorRange && !FUsePalette)) {
        TCustom3DSeries::GetLegendText(LegendIndex, TextStyle, Text);
        return;
    }
    Text.clear();
    if (LegendIndex >= CountLegendItems())
        return;
    const int P = LegendToPaletteIndex(LegendIndex);
    if (P >= 0)
        Text = FormattedValue(FPalette[static_cast<size_t>(P)].UpToValue);
}

void TCustom3DPaletteSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    if (ValueIndex != -1 || !FUseColorRange || !ParentChart()) {
        TCustom3DSeries::DrawLegendShape(ValueIndex, Rect);
        return;
    }
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.RectangleRect(Rect);
    // The gradient runs from the range's low end to its high end.
    TPlotGradient Gradient;
    Gradient.SetStartColor(FEndColor);
    Gradient.SetMidColor(FMidColor);
    Gradient.SetEndColor(FStartColor);
    const TRect Inner{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
    Gradient.Draw(Canvas, Inner);
}

// --- Gallery ---

void TCustom3DPaletteSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustom3DSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_GalleryColorRange);
}

void TCustom3DPaletteSeries::SetSubGallery(int Index)
{
    if (Index == 1) {
        SetUseColorRange(true);
        SetUsePalette(false);
    } else
        TCustom3DSeries::SetSubGallery(Index);
}

void TCustom3DPaletteSeries::PrepareForGallery(bool IsEnabled)
{
    TCustom3DSeries::PrepareForGallery(IsEnabled);
    SetUseColorRange(false);
    Pen()->SetColor(IsEnabled ? clBlack : clGray);
    SetUsePalette(IsEnabled);
    SetPaletteStyle(psRainbow);
}

void TCustom3DPaletteSeries::GalleryChanged3D(bool Is3D)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    Chart->SetView3D(true);
    TView3DOptions* View = Chart->View3DOptions();
    View->SetZoom(60);
    View->SetVertOffset(-2);
    if (Is3D) {
        View->SetRotation(335);
        View->SetElevation(340);
        View->SetPerspective(160);
    } else {
        // Seen from above.
        View->SetRotation(0);
        View->SetElevation(270);
        View->SetPerspective(0);
    }
}

// --- Settings ---

void TCustom3DPaletteSeries::SetEndColor(TColor Value)
{
    SetColorProperty(FEndColor, Value);
    CalcColorRange();
}

void TCustom3DPaletteSeries::SetMidColor(TColor Value)
{
    SetColorProperty(FMidColor, Value);
    CalcColorRange();
}

void TCustom3DPaletteSeries::SetStartColor(TColor Value)
{
    SetColorProperty(FStartColor, Value);
    CalcColorRange();
}

void TCustom3DPaletteSeries::SetUseColorRange(bool Value)
{
    SetBooleanProperty(FUseColorRange, Value);
    // Read from a file, the series' own ColorEachPoint stands: it was read
    // before and holds what the saved series showed.
    if (Value && !IsLoading())
        SetColorEachPoint(false);
}

void TCustom3DPaletteSeries::SetUsePalette(bool Value)
{
    SetBooleanProperty(FUsePalette, Value);
    if (Value) {
        if (!IsLoading())
            SetColorEachPoint(false);
        CheckPaletteEmpty();
    }
}

void TCustom3DPaletteSeries::SetPaletteSteps(int Value)
{
    FPaletteSteps = Value;
    CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::SetPaletteMin(double Value)
{
    FPaletteMin = Value;
    CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::SetPaletteStep(double Value)
{
    FPaletteStep = Value;
    CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::SetUsePaletteMin(bool Value)
{
    FUsePaletteMin = Value;
    CreateDefaultPalette(FPaletteSteps);
}

void TCustom3DPaletteSeries::SetPaletteStyle(TPlotPaletteStyle Value)
{
    if (FPaletteStyle != Value) {
        FPaletteStyle = Value;
        ClearPalette();
        Repaint();
    }
}

} // namespace lp
