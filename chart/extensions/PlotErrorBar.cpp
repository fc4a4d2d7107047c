// Error and high-low series: whiskers, bands and lines, value ranges,
// clicks, legend symbols, sample values and registration.

#include "chart/extensions/PlotErrorBar.h"

#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotSeriesSettings.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace lp {

// --- TCustomErrorSeries -------------------------------------------------------------------------

TCustomErrorSeries::TCustomErrorSeries(TComponent* AOwner) : TBarSeries(AOwner)
{
    FErrorPen = CreateChartPen();
    FErrorValues = new TChartValueList(this, PlotMsg_ValuesStdError);
    // Unlike bars, error series start with their marks hidden.
    Marks()->Hide();
    KeepStartAsDefault(*Marks(), {"Visible"});
}

TCustomErrorSeries::~TCustomErrorSeries()
{
    // The pen calls back into the series on change: it goes first.
    FErrorPen.reset();
}

void TCustomErrorSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCustomErrorSeries*>(Source)) {
        FErrorPen->Assign(S->FErrorPen.get());
        FErrorStyle = S->FErrorStyle;
        FErrorWidth = S->FErrorWidth;
        FErrorWidthUnits = S->FErrorWidthUnits;
    }
    TBarSeries::Assign(Source);
}

int TCustomErrorSeries::AddErrorBar(double AX, double AY, double AError, const QString& ALabel, TColor AColor)
{
    FErrorValues->SetTempValue(AError);
    return TChartSeries::AddXY(AX, AY, ALabel, AColor);
}

void TCustomErrorSeries::SetErrorPen(const TChartPen* Value)
{
    FErrorPen->Assign(Value);
    if (!FDrawsBar)
        SetSeriesColor(FErrorPen->Color());
}

void TCustomErrorSeries::SetErrorStyle(TErrorSeriesStyle Value)
{
    if (FErrorStyle == Value)
        return;
    FErrorStyle = Value;
    Repaint();
}

void TCustomErrorSeries::SetErrorWidthUnits(TErrorWidthUnits Value)
{
    if (FErrorWidthUnits == Value)
        return;
    FErrorWidthUnits = Value;
    Repaint();
}

void TCustomErrorSeries::SetSeriesColor(TColor Color)
{
    TBarSeries::SetSeriesColor(Color);
    if (!FDrawsBar && FErrorPen)
        FErrorPen->SetColor(Color);
}

int TCustomErrorSeries::ErrorTickWidth(int BarWidth) const
{
    if (FErrorWidth == 0)
        return BarWidth;
    if (FErrorWidthUnits == ewuPercent) {
        // Any stored width is allowed: a share of many times the bar is
        // held to the largest pixel position rather than overflowing.
        const double Limit = PlotMaxPixelPos;
        return RoundToInt32(std::clamp(FErrorWidth * double(BarWidth) * 0.01, -Limit, Limit));
    }
    return FErrorWidth;
}

// --- Margins and ranges -------------------------------------------------------------------------

void TCustomErrorSeries::CalcHorizMargins(int& LeftMargin, int& RightMargin)
{
    TBarSeries::CalcHorizMargins(LeftMargin, RightMargin);
    const int W = FErrorPen->Width();
    if (FErrorStyle == essLeft || FErrorStyle == essLeftRight)
        LeftMargin = std::max(LeftMargin, W);
    if (FErrorStyle == essRight || FErrorStyle == essLeftRight)
        RightMargin = std::max(RightMargin, W);
}

void TCustomErrorSeries::CalcVertMargins(int& TopMargin, int& BottomMargin)
{
    TBarSeries::CalcVertMargins(TopMargin, BottomMargin);
    const int W = FErrorPen->Width();
    if (FErrorStyle == essTop || FErrorStyle == essTopBottom)
        TopMargin = std::max(TopMargin, W);
    if (FErrorStyle == essBottom || FErrorStyle == essTopBottom)
        BottomMargin = std::max(BottomMargin, W);
}

// The whiskers draw |E| whatever the error's sign, so the ranges take |E|
// too: a negative error must not pull the range inside its own whisker.
double TCustomErrorSeries::ErrorExtreme(bool IsMax)
{
    const auto Better = [IsMax](double A, double B) { return IsMax ? std::max(A, B) : std::min(A, B); };
    const int N = Count();
    if (FDrawsBar) {
        // From the bars' own range, each error extending away from zero.
        double Result = IsMax ? TBarSeries::MaxYValue() : TBarSeries::MinYValue();
        for (int I = 0; I < N; ++I) {
            const double Y = YValues()->Value(I);
            const double E = std::fabs(FErrorValues->Value(I));
            Result = Better(Result, Y >= 0 ? Y + E : Y - E);
        }
        return Result;
    }
    double Result = 0;
    for (int I = 0; I < N; ++I) {
        const double E = std::fabs(FErrorValues->Value(I));
        const double V = YValues()->Value(I) + (IsMax ? E : -E);
        Result = I == 0 ? V : Better(Result, V);
    }
    return Result;
}

// --- Drawing ------------------------------------------------------------------------------------

void TCustomErrorSeries::PrepareErrorPen(int ValueIndex)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (ValueIndex != -1 && !FDrawsBar)
        Canvas.AssignVisiblePenColor(*FErrorPen, GetValueColor(ValueIndex));
    else
        Canvas.AssignVisiblePen(*FErrorPen);
    Canvas.SetBackMode(TRANSPARENT);
}

void TCustomErrorSeries::DrawError(int X, int Y, int TickWidth, int Up, int Down, bool Draw3D)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const int Z = DepthStart();
    const auto Horiz = [&](int X0, int X1, int AtY) {
        if (Draw3D)
            Canvas.HorizLine3D(X0, X1, AtY, Z);
        else
            Canvas.HorizLine(X0, X1, AtY);
    };
    const auto Vert = [&](int AtX, int Y0, int Y1) {
        if (Draw3D)
            Canvas.VertLine3D(AtX, Y0, Y1, Z);
        else
            Canvas.VertLine(AtX, Y0, Y1);
    };
    const int Half = TickWidth / 2;
    // A whisker along the horizontal axis ending at EndX, or along the
    // vertical one ending at EndY, each with its end tick.
    const auto ToX = [&](int EndX) {
        Horiz(X, EndX, Y);
        Vert(EndX, Y - Half, Y + Half);
    };
    const auto ToY = [&](int EndY) {
        Vert(X, Y, EndY);
        Horiz(X - Half, X + Half, EndY);
    };
    switch (FErrorStyle) {
    case essLeft: ToX(X - Up); break;
    case essRight: ToX(X + Up); break;
    case essLeftRight:
        ToX(X - Up);
        ToX(X + Up);
        break;
    case essTop: ToY(Y - Up); break;
    case essBottom: ToY(Y + Down); break;
    case essTopBottom:
        ToY(Y + Down);
        ToY(Y - Up);
        break;
    }
}

void TCustomErrorSeries::DrawBar(int BarIndex, int StartPos, int EndPos)
{
    if (FDrawsBar)
        TBarSeries::DrawBar(BarIndex, StartPos, EndPos);
    if (!FParentChart || !FErrorPen->Visible())
        return;
    const double E = FErrorValues->Value(BarIndex);
    if (E == 0)
        return;
    const int TickWidth = ErrorTickWidth(FBarBounds.Right - FBarBounds.Left);
    const double V = YValues()->Value(BarIndex);
    int Y = CalcYPosValue(V);
    int Up;
    int Down;
    if (IsHorizontalStyle()) {
        const TChartAxis* Axis = GetHorizAxis();
        Up = Axis ? Axis->CalcSizeValue(std::fabs(E)) : 0;
        Down = Up;
    } else {
        // Pixel lengths towards the top and towards the bottom of a normal
        // (not inverted) axis: half the error on each side of the value.
        const double Half = std::fabs(E / 2);
        Up = Y - CalcYPosValue(V + Half);
        Down = CalcYPosValue(V - Half) - Y;
    }
    if (FDrawsBar && V < YOrigin())
        Up = -Up;
    PrepareErrorPen(BarIndex);
    if (MultiBar() == mbStacked100)
        Y = CalcYPosValue(100);
    DrawError((FBarBounds.Left + FBarBounds.Right) / 2, Y, TickWidth, Up, Down, FParentChart->View3D());
}

// --- Legend, gallery, samples -------------------------------------------------------------------

void TCustomErrorSeries::PrepareLegendCanvas(int ValueIndex, TColor& BackColor, TBrush::TBrushStyle& BrushStyle)
{
    TBarSeries::PrepareLegendCanvas(ValueIndex, BackColor, BrushStyle);
    if (FParentChart)
        PrepareErrorPen(ValueIndex);
}

void TCustomErrorSeries::DrawLegendShape(int ValueIndex, const TRect& Rect)
{
    if (!FParentChart)
        return;
    if (FDrawsBar)
        TBarSeries::DrawLegendShape(ValueIndex, Rect);
    // The whisker fills the symbol from its centre to the edges, the end
    // ticks as long as the symbol is wide (vertical styles) or high
    // (horizontal styles); right and bottom edges are exclusive, so nothing
    // leaves the symbol's rectangle.
    const int X = (Rect.Left + Rect.Right) / 2;
    const int Y = (Rect.Top + Rect.Bottom) / 2;
    if (IsHorizontalStyle()) {
        const int Length = std::min(X - Rect.Left, Rect.Right - 1 - X);
        DrawError(X, Y, Rect.Bottom - Rect.Top, Length, Length, false);
    } else {
        DrawError(X, Y, Rect.Right - Rect.Left, Y - Rect.Top, Rect.Bottom - 1 - Y, false);
    }
}

void TCustomErrorSeries::AddSampleValues(int NumValues, bool)
{
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    double X = Bounds.StartX;
    for (int I = 0; I < NumValues; ++I) {
        const double Y = RandomValue(RoundToInt32(Bounds.DifY));
        const double E = Bounds.DifY / (20 + RandomValue(4));
        AddErrorBar(X, Y, E, QString(), clPlotColor);
        X += Bounds.StepX;
    }
}

void TCustomErrorSeries::PrepareForGallery(bool IsEnabled)
{
    TBarSeries::PrepareForGallery(IsEnabled);
    FErrorPen->SetColor(IsEnabled ? TColor(0x0000FF) : TColor(0xFFFFFF));
    SetSeriesColor(IsEnabled ? TColor(0xFF0000) : TColor(0xC0C0C0));
}

// --- TErrorSeries, TErrorBarSeries --------------------------------------------------------------

TErrorSeries::TErrorSeries(TComponent* AOwner) : TCustomErrorSeries(AOwner) {}

TErrorBarSeries::TErrorBarSeries(TComponent* AOwner) : TCustomErrorSeries(AOwner)
{
    FDrawsBar = true;
    SetErrorStyle(essTop);
}

void TErrorBarSeries::PrepareForGallery(bool IsEnabled)
{
    ErrorPen()->SetWidth(2);
    TCustomErrorSeries::PrepareForGallery(IsEnabled);
}

// --- THighLowSeries -----------------------------------------------------------------------------

THighLowSeries::THighLowSeries(TComponent* AOwner) : TChartSeries(AOwner)
{
    // Every point joins its neighbour: none may be skipped.
    SetVisibleRangeSearch(false);
    Pen()->SetColor(clPlotColor);
    KeepStartAsDefault(*Pen(), {"Color"});
    FLowValues = new TChartValueList(this, PlotMsg_ValuesLow);
    FHighPen = CreateChartPen();
    FLowPen = CreateChartPen();
    // Clear until styled, and stored as such, so a solid low brush reads back.
    FLowBrush = std::make_unique<TChartClearBrush>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); });
    UseClearBrush();
}

THighLowSeries::~THighLowSeries()
{
    // The owned objects call back into the series on change: they go first.
    FLowBrush.reset();
    FLowPen.reset();
    FHighPen.reset();
}

void THighLowSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const THighLowSeries*>(Source)) {
        FHighPen->Assign(S->FHighPen.get());
        FLowPen->Assign(S->FLowPen.get());
        FLowBrush->Assign(S->FLowBrush.get());
        FTransparency = S->FTransparency;
    }
    TChartSeries::Assign(Source);
}

int THighLowSeries::AddHighLow(double AX, double AHigh, double ALow, const QString& ALabel, TColor AColor)
{
    FLowValues->SetTempValue(ALow);
    return TChartSeries::AddXY(AX, AHigh, ALabel, AColor);
}

void THighLowSeries::SetTransparency(int Value)
{
    if (Value < 0 || Value > 100)
        throw ERangeError(FormatText("Transparency %d is outside 0 .. 100", {std::to_string(Value)}));
    if (FTransparency == Value)
        return;
    FTransparency = Value;
    Repaint();
}

double THighLowSeries::MaxYValue()
{
    return std::max(TChartSeries::MaxYValue(), FLowValues->MaxValue());
}

double THighLowSeries::MinYValue()
{
    return std::min(TChartSeries::MinYValue(), FLowValues->MinValue());
}

void THighLowSeries::DrawHighLowLine(int X, int High, int Low, TColor Color)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePenColor(*Pen(), Pen()->Color() == clPlotColor ? Color : Pen()->Color());
    if (FParentChart->View3D())
        Canvas.VertLine3D(X, High, Low, DepthStart());
    else
        Canvas.VertLine(X, High, Low);
}

void THighLowSeries::DrawBand(int ValueIndex, int X, int High, int Low, TColor Color)
{
    const TChartBrush& Band =
        YValues()->Value(ValueIndex) <= FLowValues->Value(ValueIndex) ? *FLowBrush : *HighBrush();
    if (Band.Style() == TBrush::bsClear)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const bool Is3D = FParentChart->View3D();
    const int Z = DepthStart();
    const std::array<TPoint, 4> Corners{TPoint{FPrevX, FPrevHigh}, TPoint{FPrevX, FPrevLow}, TPoint{X, Low},
                                        TPoint{X, High}};
    Canvas.AssignBrush(Band, Color);
    Canvas.Pen()->SetStyle(TPen::psClear);
    std::unique_ptr<TPlotBlend> Blend;
    if (FTransparency > 0) {
        std::array<TPoint, 4> Projected = Corners;
        if (Is3D)
            for (TPoint& P : Projected)
                P = Canvas.Calculate3DPosition(P.X, P.Y, Z);
        Blend = Canvas.BeginBlending(PolygonBounds(Projected, 4), FTransparency);
    }
    if (Is3D)
        Canvas.PlaneWithZ(Corners[0], Corners[1], Corners[2], Corners[3], Z);
    else
        Canvas.Polygon(Corners, 3);
    if (Blend)
        Canvas.EndBlending(std::move(Blend));
}

void THighLowSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const bool Is3D = FParentChart->View3D();
    const int X = CalcXPos(ValueIndex);
    const int High = CalcYPos(ValueIndex);
    const int Low = CalcYPosValue(FLowValues->Value(ValueIndex));
    if (ValueIndex != FirstDisplayedIndex()) {
        // The point drawn before this one: its neighbour in drawing order.
        const bool Forward = DrawValuesForward();
        const int Previous = Forward ? ValueIndex - 1 : ValueIndex + 1;
        const TColor Color = GetValueColor(Previous);
        const bool PreviousNull = IsNull(Previous);
        if (!PreviousNull && !IsNull(ValueIndex)) {
            DrawBand(ValueIndex, X, High, Low, Color);
            const auto Join = [&](const TChartPen& LinePen, int FromY, int ToY) {
                if (!LinePen.Visible())
                    return;
                Canvas.AssignVisiblePen(LinePen);
                if (Is3D)
                    Canvas.LineWithZ(FPrevX, FromY, X, ToY, DepthStart());
                else
                    Canvas.Line(FPrevX, FromY, X, ToY);
            };
            Join(*FHighPen, FPrevHigh, High);
            Join(*FLowPen, FPrevLow, Low);
        }
        if (Pen()->Visible() && !PreviousNull)
            DrawHighLowLine(FPrevX, FPrevHigh, FPrevLow, Color);
        const int LastDisplayed = Forward ? LastVisibleIndex() : FirstVisibleIndex();
        if (ValueIndex == LastDisplayed && Pen()->Visible() && !IsNull(ValueIndex))
            DrawHighLowLine(X, High, Low, GetValueColor(ValueIndex));
    }
    FPrevX = X;
    FPrevHigh = High;
    FPrevLow = Low;
}

int THighLowSeries::Clicked(int X, int Y)
{
    const int First = FirstVisibleIndex();
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    if (First < 0 || Last < 0 || !FParentChart)
        return -1;
    const TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const bool Is3D = FParentChart->View3D();
    const auto Project = [&](int PX, int PY) {
        return Is3D ? Canvas.Calculate3DPosition(PX, PY, DepthStart()) : TPoint{PX, PY};
    };
    const TPoint P{X, Y};
    TPoint PrevHigh{};
    TPoint PrevLow{};
    for (int I = First; I <= Last; ++I) {
        const int PX = CalcXPos(I);
        const TPoint LowPoint = Project(PX, CalcYPosValue(FLowValues->Value(I)));
        const TPoint HighPoint = Project(PX, CalcYPos(I));
        if (I > First) {
            const std::array<TPoint, 4> Band{PrevHigh, PrevLow, LowPoint, HighPoint};
            if (PointInPolygon(P, Band))
                return I;
        }
        PrevHigh = HighPoint;
        PrevLow = LowPoint;
    }
    for (int I = First; I <= Last; ++I) {
        const TPoint HighPoint = Project(CalcXPos(I), CalcYPos(I));
        if (P == HighPoint)
            return I;
        if (I > First && PointInLinePts(P, PrevHigh, HighPoint))
            return I - 1;
        PrevHigh = HighPoint;
    }
    return -1;
}

void THighLowSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TChartSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption : {&PlotMsg_Filled, &PlotMsg_StyleNoLines, &PlotMsg_StyleNoHigh, &PlotMsg_StyleNoLow})
        AddSubChart(*Caption);
}

void THighLowSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: HighBrush()->SetStyle(TBrush::bsSolid); break;
    case 2: Pen()->Hide(); break;
    case 3: FHighPen->Hide(); break;
    case 4: FLowPen->Hide(); break;
    default: TChartSeries::SetSubGallery(Index); break;
    }
}

void THighLowSeries::AddSampleValues(int NumValues, bool)
{
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    const double DY = Bounds.DifY;
    double X = Bounds.StartX;
    double Level = RandomValue(RoundToInt32(DY));
    for (int I = 0; I < NumValues; ++I) {
        Level = Level + RandomValue(RoundToInt32(DY / 5)) - DY / 10;
        const double Low = Level - RandomValue(RoundToInt32(DY / 5));
        AddHighLow(X, Level, Low, QString(), clPlotColor);
        X += Bounds.StepX;
    }
}

bool THighLowSeries::IsValidSourceOf(TChartSeries* Source)
{
    return Source != this && qobject_cast<THighLowSeries*>(Source) != nullptr;
}

// --- Registration -------------------------------------------------------------------------------

namespace {

// One whole number of a settings text (a point or a comma as decimal
// separator, rounded); Low .. High checked.
int SettingsInteger(const QString& Word, int Low, int High)
{
    std::vector<int> Values;
    SettingsTextToIntegers(Word, 0, Values);
    if (Values.size() != 1)
        RaiseConvertError("'%s' is not a valid integer value", {Word.toStdString()});
    if (Values[0] < Low || Values[0] > High)
        RaiseRangeError("Value %d out of range", {ArgText(Values[0])});
    return Values[0];
}

constexpr int MaxInteger = std::numeric_limits<int>::max();

// Error-bar series: ErrorPen, ErrorStyle, ErrorWidth, ErrorWidthUnits (an
// error series without bars writes none of them).
TSeriesSettingsClassFields ErrorSeriesSettingsFields()
{
    TSeriesSettingsClassFields Fields;
    Fields.Class = &TErrorBarSeries::staticMetaObject;
    Fields.Count = 4;
    Fields.Write = [](const TChartSeries& Series) {
        const auto& Error = static_cast<const TCustomErrorSeries&>(Series);
        return QStringList{PenSettingsToText(*Error.ErrorPen()), QString::number(Error.ErrorStyle()),
                           QString::number(Error.ErrorWidth()), QString::number(Error.ErrorWidthUnits())};
    };
    Fields.Read = [](const QStringList& Words) -> std::function<void(TChartSeries&)> {
        std::shared_ptr<TChartPen> Pen = PenSettingsFromText(Words[0]);
        const auto Style = static_cast<TCustomErrorSeries::TErrorSeriesStyle>(SettingsInteger(Words[1], 0, essTopBottom));
        const int Width = SettingsInteger(Words[2], -MaxInteger, MaxInteger);
        const auto Units = static_cast<TErrorWidthUnits>(SettingsInteger(Words[3], 0, ewuPixels));
        return [=](TChartSeries& Series) {
            auto& Error = static_cast<TCustomErrorSeries&>(Series);
            Error.SetErrorPen(Pen.get());
            Error.SetErrorStyle(Style);
            Error.SetErrorWidth(Width);
            Error.SetErrorWidthUnits(Units);
        };
    };
    return Fields;
}

// High-low series: HighBrush, HighPen, LowBrush, LowPen, Transparency.
TSeriesSettingsClassFields HighLowSettingsFields()
{
    TSeriesSettingsClassFields Fields;
    Fields.Class = &THighLowSeries::staticMetaObject;
    Fields.Count = 5;
    Fields.Write = [](const TChartSeries& Series) {
        const auto& HighLow = static_cast<const THighLowSeries&>(Series);
        return QStringList{BrushSettingsToText(*HighLow.HighBrush()), PenSettingsToText(*HighLow.HighPen()),
                           BrushSettingsToText(*HighLow.LowBrush()), PenSettingsToText(*HighLow.LowPen()),
                           QString::number(HighLow.Transparency())};
    };
    Fields.Read = [](const QStringList& Words) -> std::function<void(TChartSeries&)> {
        std::shared_ptr<TChartBrush> HighBrush = BrushSettingsFromText(Words[0]);
        std::shared_ptr<TChartPen> HighPen = PenSettingsFromText(Words[1]);
        std::shared_ptr<TChartBrush> LowBrush = BrushSettingsFromText(Words[2]);
        std::shared_ptr<TChartPen> LowPen = PenSettingsFromText(Words[3]);
        const int Transparency = SettingsInteger(Words[4], 0, 100);
        return [=](TChartSeries& Series) {
            auto& HighLow = static_cast<THighLowSeries&>(Series);
            HighLow.SetHighBrush(HighBrush.get());
            HighLow.SetHighPen(HighPen.get());
            HighLow.SetLowBrush(LowBrush.get());
            HighLow.SetLowPen(LowPen.get());
            HighLow.SetTransparency(Transparency);
        };
    };
    return Fields;
}

} // namespace

void RegisterErrorBarSeries()
{
    RegisterSeriesSettingsClassFields(ErrorSeriesSettingsFields());
    RegisterSeriesSettingsClassFields(HighLowSettingsFields());
    RegisterPlotSeries<TErrorBarSeries>(&PlotMsg_GalleryErrorBar, &PlotMsg_GalleryStats, 1);
    RegisterPlotSeries<TErrorSeries>(&PlotMsg_GalleryError, &PlotMsg_GalleryStats, 1);
    RegisterPlotSeries<THighLowSeries>(&PlotMsg_GalleryHighLow, &PlotMsg_GalleryStats, 1);
}

void UnregisterErrorBarSeries()
{
    const std::initializer_list<const QMetaObject*> Classes = {
        &TErrorBarSeries::staticMetaObject, &TErrorSeries::staticMetaObject, &THighLowSeries::staticMetaObject};
    UnRegisterPlotSeries(Classes);
    for (const QMetaObject* Meta : Classes)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
    UnregisterSeriesSettingsClassFields(&THighLowSeries::staticMetaObject);
    UnregisterSeriesSettingsClassFields(&TErrorBarSeries::staticMetaObject);
}

} // namespace lp
