// Price and volume series: value lists, ranges, candle colours, drawing,
// hit tests, sample values, gallery styles and registration.

#include "chart/extensions/financial/PlotCandleSeries.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <cmath>

namespace lp {

// --- TOHLCSeries --------------------------------------------------------------------------------

TOHLCSeries::TOHLCSeries(TComponent* AOwner) : TCustomSeries(AOwner)
{
    XValues()->InitDateTime(true);
    XValues()->SetName(PlotMsg_ValuesDate);
    YValues()->SetName(PlotMsg_ValuesClose);
    FHighValues = new TChartValueList(this, PlotMsg_ValuesHigh);
    FLowValues = new TChartValueList(this, PlotMsg_ValuesLow);
    FOpenValues = new TChartValueList(this, PlotMsg_ValuesOpen);
}

int TOHLCSeries::AddOHLC(double ADate, double AOpen, double AHigh, double ALow, double AClose)
{
    FHighValues->SetTempValue(AHigh);
    FLowValues->SetTempValue(ALow);
    FOpenValues->SetTempValue(AOpen);
    return TChartSeries::AddXY(ADate, AClose, QString(), clPlotColor);
}

double TOHLCSeries::MaxYValue()
{
    return std::max({CloseValues()->MaxValue(), FHighValues->MaxValue(), FLowValues->MaxValue(),
                     FOpenValues->MaxValue()});
}

double TOHLCSeries::MinYValue()
{
    return std::min({CloseValues()->MinValue(), FHighValues->MinValue(), FLowValues->MinValue(),
                     FOpenValues->MinValue()});
}

void TOHLCSeries::AddSampleValues(int NumValues, bool)
{
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    const double DY = Bounds.DifY;
    const int Wick = std::abs(RoundToInt32(DY / 400));
    double X = Bounds.StartX;
    double Open = RandomValue(RoundToInt32(DY)) + Bounds.MinY;
    for (int I = 0; I < NumValues; ++I) {
        const double Close = RandomValue(RoundToInt32(DY / 25)) + Open - DY / 50;
        const double Spread = 3 * RoundHalfEven(std::fabs(Close - Open) / 10);
        double High;
        double Low;
        if (Close <= Open) {
            High = RandomValue(Wick) + Open + Spread;
            Low = Close - Spread - RandomValue(Wick);
        } else {
            High = RandomValue(Wick) + Close + Spread;
            Low = Open - Spread - RandomValue(Wick);
        }
        AddOHLC(X, Open, High, Low, Close);
        X += Bounds.StepX;
        Open = RandomValue(10) + Close - 5;
    }
}

bool TOHLCSeries::IsValidSourceOf(TChartSeries* Source)
{
    // A function of this series reads whatever its own test accepts (price
    // compression takes any series).
    return Source != this && (qobject_cast<TOHLCSeries*>(Source) != nullptr || SeriesFunction() != nullptr);
}

// --- TCandleSeries ------------------------------------------------------------------------------

TCandleSeries::TCandleSeries(TComponent* AOwner) : TOHLCSeries(AOwner)
{
    const auto Changed = [this](TPersistent* Sender) { CanvasChanged(Sender); };
    FUpCloseGradient = std::make_unique<TPlotGradient>(Changed);
    FDownCloseGradient = std::make_unique<TPlotGradient>(Changed);
    FDownCloseGradient->SetStartColor(clRed);
    Pointer()->SetDraw3D(false);
    Pointer()->SetVisible(true);
    FHighLowPen = CreateChartPen();
    FHighLowPen->SetColor(clPlotColor);
    KeepStartAsDefault(*FDownCloseGradient, {"StartColor"});
    KeepStartAsDefault(*FHighLowPen, {"Color"});
}

TCandleSeries::~TCandleSeries()
{
    // They call back into the series on change: they go first.
    FHighLowPen.reset();
    FDownCloseGradient.reset();
    FUpCloseGradient.reset();
}

void TCandleSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TCandleSeries*>(Source)) {
        FCandleWidth = S->FCandleWidth;
        FCandleStyle = S->FCandleStyle;
        FColorStyle = S->FColorStyle;
        FUpCloseGradient->Assign(S->FUpCloseGradient.get());
        FDownCloseGradient->Assign(S->FDownCloseGradient.get());
        FHighLowPen->Assign(S->FHighLowPen.get());
        FShowOpenTick = S->FShowOpenTick;
        FShowCloseTick = S->FShowCloseTick;
    }
    TOHLCSeries::Assign(Source);
}

void TCandleSeries::SetCandleStyle(TCandleStyle Value)
{
    FCandleStyle = Value;
    Pointer()->SetVisible(Value != csLine);
    Repaint();
}

void TCandleSeries::SetColorStyle(TCandleColorStyle Value)
{
    if (FColorStyle == Value)
        return;
    FColorStyle = Value;
    Repaint();
}

void TCandleSeries::SetDownCloseGradient(const TPlotGradient* Value)
{
    FDownCloseGradient->Assign(Value);
}

void TCandleSeries::SetUpCloseGradient(const TPlotGradient* Value)
{
    FUpCloseGradient->Assign(Value);
}

TColor TCandleSeries::DownCloseColor() const
{
    return FDownCloseGradient->StartColor();
}

void TCandleSeries::SetDownCloseColor(TColor Value)
{
    FDownCloseGradient->SetStartColor(Value);
}

TColor TCandleSeries::UpCloseColor() const
{
    return FUpCloseGradient->StartColor();
}

void TCandleSeries::SetUpCloseColor(TColor Value)
{
    FUpCloseGradient->SetStartColor(Value);
}

// --- Candle colours --------------------------------------------------------------------------------

const TPlotGradient& TCandleSeries::RelativeToClose(int ValueIndex) const
{
    const TChartValueList& Close = *CloseValues();
    const TPlotGradient* Result = nullptr;
    int I = ValueIndex;
    while (I > 0 && Close.Value(I) == Close.Value(I - 1)) {
        if (FDrawing && FLastGradientIndex == I - 1) {
            Result = FLastGradient;
            break;
        }
        --I;
    }
    if (!Result)
        Result = I > 0 && Close.Value(I) < Close.Value(I - 1) ? FDownCloseGradient.get() : FUpCloseGradient.get();
    if (FDrawing) {
        FLastGradientIndex = ValueIndex;
        FLastGradient = Result;
    }
    return *Result;
}

const TPlotGradient& TCandleSeries::CandleGradient(int ValueIndex) const
{
    if (FColorStyle == cssRelativeToOpen || ValueIndex == 0) {
        const double Open = OpenValues()->Value(ValueIndex);
        const double Close = CloseValues()->Value(ValueIndex);
        if (Close < Open)
            return *FDownCloseGradient;
        if (Close > Open)
            return *FUpCloseGradient;
    }
    return RelativeToClose(ValueIndex);
}

TColor TCandleSeries::CandleColor(int ValueIndex) const
{
    const TColor Own = GetValueColor(ValueIndex);
    return Own == GetSeriesColor() ? CandleGradient(ValueIndex).StartColor() : Own;
}

// --- Drawing --------------------------------------------------------------------------------------

TCandleSeries::TCandlePixels TCandleSeries::Pixels(int ValueIndex) const
{
    TCandlePixels P;
    P.X = CalcXPosValue(DateValues()->Value(ValueIndex));
    P.Open = CalcYPosValue(OpenValues()->Value(ValueIndex));
    P.Close = CalcYPosValue(CloseValues()->Value(ValueIndex));
    P.High = CalcYPosValue(HighValues()->Value(ValueIndex));
    P.Low = CalcYPosValue(LowValues()->Value(ValueIndex));
    P.Left = FCandleWidth / 2;
    P.Right = FCandleWidth - P.Left;
    return P;
}

TRect TCandleSeries::BodyRect(const TCandlePixels& P) const
{
    int Open = P.Open;
    int Close = P.Close;
    if (Open == Close)
        --Close;
    if (!CandlePen()->Visible()) {
        if (Open >= Close)
            --Close;
        else
            --Open;
    }
    return {P.X - P.Left, std::min(Open, Close), P.X + P.Right + 1, std::max(Open, Close)};
}

void TCandleSeries::DrawAllValues()
{
    FDrawing = true;
    FLastGradientIndex = -1;
    try {
        TOHLCSeries::DrawAllValues();
    } catch (...) {
        FDrawing = false;
        throw;
    }
    FDrawing = false;
}

void TCandleSeries::PrepareHighLowPen()
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    if (FHighLowPen->Color() == clPlotColor)
        Canvas.AssignVisiblePenColor(*FHighLowPen, CandlePen()->Color());
    else
        Canvas.AssignVisiblePen(*FHighLowPen);
    Canvas.SetBackMode(TRANSPARENT);
}

void TCandleSeries::PrepareBodyPen(TColor Color, bool OpenIsClose)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.Brush()->SetColor(Color);
    if (!CandlePen()->Visible())
        Canvas.Pen()->SetStyle(TPen::psClear);
    else if (OpenIsClose)
        Canvas.AssignVisiblePenColor(*CandlePen(), Color);
    else
        Canvas.AssignVisiblePen(*CandlePen());
}

void TCandleSeries::FillBodyGradient(int ValueIndex, int Top, int Bottom, const TCandlePixels& P, bool AtDepthStart)
{
    if (!FUpCloseGradient->Visible() && !FDownCloseGradient->Visible())
        return;
    TPlotGradient& Gradient = const_cast<TPlotGradient&>(CandleGradient(ValueIndex));
    if (!Gradient.Visible())
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    TRect R{P.X - P.Left, std::min(Top, Bottom), P.X + P.Right, std::max(Top, Bottom)};
    if (FParentChart->View3D()) {
        const int Z = AtDepthStart ? DepthStart() : DepthMiddle();
        const TPoint A = Canvas.Calculate3DPosition(R.Left, R.Top, Z);
        const TPoint B = Canvas.Calculate3DPosition(R.Right, R.Bottom, Z);
        R = {A.X, A.Y, B.X, B.Y};
    }
    Gradient.Draw(Canvas, R);
    Canvas.Brush()->SetStyle(TBrush::bsClear);
}

void TCandleSeries::DrawLine(int ValueIndex, const TCandlePixels& P, TColor Color)
{
    if (ValueIndex != FirstDisplayedIndex() && !IsNull(ValueIndex)) {
        TPlotCanvas3D& Canvas = FParentChart->Canvas();
        Canvas.AssignVisiblePenColor(*CandlePen(), Color);
        if (FParentChart->View3D())
            Canvas.LineWithZ(FPrevX, FPrevY, P.X, P.Close, DepthMiddle());
        else
            Canvas.Line(FPrevX, FPrevY, P.X, P.Close);
    }
    FPrevX = P.X;
    FPrevY = P.Close;
}

void TCandleSeries::DrawBar(const TCandlePixels& P, TColor Color)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Canvas.AssignVisiblePenColor(*CandlePen(), Color);
    if (FParentChart->View3D()) {
        const int Z = DepthMiddle();
        Canvas.VertLine3D(P.X, P.Low, P.High, Z);
        if (FShowOpenTick)
            Canvas.HorizLine3D(P.X, P.X - P.Left - 1, P.Open, Z);
        if (FShowCloseTick)
            Canvas.HorizLine3D(P.X, P.X + P.Right + 1, P.Close, Z);
        return;
    }
    Canvas.VertLine(P.X, P.Low, P.High);
    if (FShowOpenTick)
        Canvas.HorizLine(P.X, P.X - P.Left - 1, P.Open);
    if (FShowCloseTick)
        Canvas.HorizLine(P.X, P.X + P.Right + 1, P.Close);
}

void TCandleSeries::DrawBox3D(int ValueIndex, const TCandlePixels& P, TColor Color)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const int Top = std::min(P.Open, P.Close);
    const int Bottom = std::max(P.Open, P.Close);
    if (FCandleStyle == csCandleStick)
        Canvas.VertLine3D(P.X, Bottom, P.Low, DepthMiddle());
    PrepareBodyPen(Color, P.Open == P.Close);
    Canvas.Cube(P.X - P.Left, P.X + P.Right, Top, Bottom, DepthStart(), DepthEnd(), Dark3D());
    FillBodyGradient(ValueIndex, Top, Bottom, P, true);
    PrepareHighLowPen();
    if (FCandleStyle == csCandleStick)
        Canvas.VertLine3D(P.X, Top, P.High, DepthMiddle());
}

void TCandleSeries::DrawBody(int ValueIndex, TCandlePixels P, TColor Color)
{
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const bool Is3D = FParentChart->View3D();
    if (FCandleStyle == csCandleStick) {
        if (Is3D)
            Canvas.VertLine3D(P.X, P.Low, P.High, DepthMiddle());
        else
            Canvas.VertLine(P.X, P.Low, P.High);
    }
    const bool OpenIsClose = P.Open == P.Close;
    PrepareBodyPen(Color, OpenIsClose);
    if (Is3D) {
        if (OpenIsClose)
            --P.Close;
        FillBodyGradient(ValueIndex, P.Open, P.Close, P, false);
        Canvas.RectangleWithZ(TRect{P.X - P.Left, std::min(P.Open, P.Close), P.X + P.Right, std::max(P.Open, P.Close)},
                              DepthMiddle());
        return;
    }
    const TRect Body = BodyRect(P);
    FillBodyGradient(ValueIndex, Body.Top, Body.Bottom, P, false);
    Canvas.RectangleRect(Body);
}

void TCandleSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart)
        return;
    if (OnGetPointerStyle)
        OnGetPointerStyle(this, ValueIndex);
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    Pointer()->PrepareCanvas(Canvas, clPlotColor);
    const TCandlePixels P = Pixels(ValueIndex);
    const TColor Color = CandleColor(ValueIndex);
    if (FCandleStyle == csLine) {
        DrawLine(ValueIndex, P, Color);
        return;
    }
    // A null point has no candle.
    if (IsNull(ValueIndex))
        return;
    if (FCandleStyle == csCandleBar) {
        DrawBar(P, Color);
        return;
    }
    PrepareHighLowPen();
    if (FParentChart->View3D() && Draw3D())
        DrawBox3D(ValueIndex, P, Color);
    else
        DrawBody(ValueIndex, P, Color);
}

double TCandleSeries::MaxYValue()
{
    return FCandleStyle == csLine ? CloseValues()->MaxValue() : TOHLCSeries::MaxYValue();
}

double TCandleSeries::MinYValue()
{
    return FCandleStyle == csLine ? CloseValues()->MinValue() : TOHLCSeries::MinYValue();
}

bool TCandleSeries::HitsCandle(int ValueIndex, const TPoint& Mouse) const
{
    const TCandlePixels P = Pixels(ValueIndex);
    switch (FCandleStyle) {
    case csLine: {
        if (ValueIndex == FirstDisplayedIndex() || ValueIndex == 0)
            return false;
        const TCandlePixels Prev = Pixels(ValueIndex - 1);
        return PointInLine(Mouse, Prev.X, Prev.Close, P.X, P.Close);
    }
    case csCandleBar:
        return PointInLine(Mouse, P.X, P.Low, P.X, P.High)
               || (FShowOpenTick && PointInLine(Mouse, P.X, P.Open, P.X - P.Left - 1, P.Open))
               || (FShowCloseTick && PointInLine(Mouse, P.X, P.Close, P.X + P.Right + 1, P.Close));
    default:
        if (FCandleStyle == csCandleStick && PointInLine(Mouse, P.X, P.Low, P.X, P.High))
            return true;
        return PointInRectPoint(BodyRect(P), Mouse);
    }
}

int TCandleSeries::Clicked(int X, int Y)
{
    const int First = FirstVisibleIndex();
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    if (First < 0 || Last < 0 || !FParentChart)
        return -1;
    if (FParentChart->View3D())
        FParentChart->Canvas().Calculate2DPosition(X, Y, DepthStart());
    for (int I = First; I <= Last; ++I)
        if (HitsCandle(I, TPoint{X, Y}))
            return I;
    return -1;
}

// --- Gallery --------------------------------------------------------------------------------------

void TCandleSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TOHLCSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption :
         {&PlotMsg_StyleBar, &PlotMsg_StyleNoOpen, &PlotMsg_StyleNoClose, &PlotMsg_StyleNoBorder, &PlotMsg_Line})
        AddSubChart(*Caption);
}

void TCandleSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: SetCandleStyle(csCandleBar); break;
    case 2:
        CandlePen()->Show();
        SetCandleStyle(csCandleBar);
        SetShowOpenTick(false);
        break;
    case 3:
        CandlePen()->Show();
        SetCandleStyle(csCandleBar);
        SetShowCloseTick(false);
        break;
    case 4:
        SetCandleStyle(csCandleStick);
        CandlePen()->Hide();
        break;
    case 5: SetCandleStyle(csLine); break;
    default: TOHLCSeries::SetSubGallery(Index); break;
    }
}

void TCandleSeries::PrepareForGallery(bool IsEnabled)
{
    TOHLCSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(4);
    SetColorEachPoint(IsEnabled);
    if (IsEnabled) {
        SetUpCloseColor(clBlue);
    } else {
        SetUpCloseColor(clSilver);
        SetDownCloseColor(clGray);
        CandlePen()->SetColor(clGray);
    }
    CandlePen()->SetWidth(2);
    SetCandleWidth(12);
}

// --- TVolumeSeries --------------------------------------------------------------------------------

TVolumeSeries::TVolumeSeries(TComponent* AOwner) : TCustomSeries(AOwner)
{
    SetDrawArea(false);
    SetClickableLine(false);
    Pointer()->Hide();
    SetKeepPointBeyondEdge(true);
    SetFunctionResultCentered(false);
}

void TVolumeSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TVolumeSeries*>(Source)) {
        FUseYOrigin = S->FUseYOrigin;
        FYOrigin = S->FYOrigin;
    }
    TCustomSeries::Assign(Source);
}

int TVolumeSeries::OriginPixel() const
{
    if (FUseYOrigin)
        return CalcYPosValue(FYOrigin);
    const TChartAxis* Axis = GetVertAxis();
    if (!Axis)
        return 0;
    return Axis->Inverted() ? Axis->StartPixel() : Axis->EndPixel();
}

void TVolumeSeries::DrawValue(int ValueIndex)
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& Canvas = FParentChart->Canvas();
    const TColor Color = GetValueColor(ValueIndex);
    if (ValueIndex == FirstDisplayedIndex() || Color != FLastColor) {
        Canvas.AssignVisiblePenColor(*Pen(), Color);
        Canvas.SetBackMode(TRANSPARENT);
        FLastColor = Color;
    }
    const int X = CalcXPos(ValueIndex);
    const int Y = CalcYPos(ValueIndex);
    if (FParentChart->View3D())
        Canvas.VertLine3D(X, OriginPixel(), Y, DepthMiddle());
    else
        Canvas.VertLine(X, OriginPixel(), Y);
}

int TVolumeSeries::Clicked(int X, int Y)
{
    const int First = FirstVisibleIndex();
    const int Last = std::min(LastVisibleIndex(), Count() - 1);
    if (First < 0 || Last < 0 || !FParentChart)
        return -1;
    const int Origin = OriginPixel();
    const TPoint Mouse{X, Y};
    for (int I = First; I <= Last; ++I) {
        const int PX = CalcXPos(I);
        if (PointInLineTolerance(Mouse, PX, CalcYPos(I), PX, Origin, Pen()->Width() - 1))
            return I;
    }
    return -1;
}

void TVolumeSeries::DrawLegendShape(int, const TRect& Rect)
{
    if (!FParentChart)
        return;
    const int Middle = (Rect.Top + Rect.Bottom) / 2;
    FParentChart->Canvas().HorizLine(Rect.Left, Rect.Right, Middle);
}

void TVolumeSeries::PrepareLegendCanvas(int, TColor&, TBrush::TBrushStyle&)
{
    if (FParentChart)
        FParentChart->Canvas().AssignVisiblePenColor(*Pen(), GetSeriesColor());
}

void TVolumeSeries::SetSeriesColor(TColor Color)
{
    TCustomSeries::SetSeriesColor(Color);
    Pen()->SetColor(Color);
}

void TVolumeSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TCustomSeries::CreateSubGallery(AddSubChart);
    for (const QString* Caption : {&PlotMsg_StyleDotted, &PlotMsg_StyleColors, &PlotMsg_Origin})
        AddSubChart(*Caption);
}

void TVolumeSeries::SetSubGallery(int Index)
{
    switch (Index) {
    case 1: Pen()->SetSmallDots(true); break;
    case 2: SetColorEachPoint(true); break;
    case 3: SetUseYOrigin(true); break;
    default: TCustomSeries::SetSubGallery(Index); break;
    }
}

void TVolumeSeries::AddSampleValues(int NumValues, bool)
{
    const TRandomBounds Bounds = CalcRandomBounds(NumValues);
    const int Limit = RoundToInt32(Bounds.DifY) / 15;
    double X = Bounds.StartX;
    for (int I = 0; I < NumValues; ++I) {
        AddXY(X, RandomValue(Limit), QString(), clPlotColor);
        X += Bounds.StepX;
    }
}

void TVolumeSeries::PrepareForGallery(bool IsEnabled)
{
    TCustomSeries::PrepareForGallery(IsEnabled);
    FillSampleValues(26);
    Pointer()->SetInflateMargins(true);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterCandleSeries()
{
    RegisterPlotSeries<TCandleSeries>(&PlotMsg_GalleryCandle, &PlotMsg_GalleryFinancial, 1);
    RegisterPlotSeries<TVolumeSeries>(&PlotMsg_GalleryVolume, &PlotMsg_GalleryFinancial, 1);
    RegisterPlotFunction<TADXFunction>(&PlotMsg_FunctionADX, &PlotMsg_GalleryFinancial, 1);
    RegisterPlotFunction<TRSIFunction>(&PlotMsg_FunctionRSI, &PlotMsg_GalleryFinancial, 1);
}

void UnregisterCandleSeries()
{
    const std::initializer_list<const QMetaObject*> Series = {&TCandleSeries::staticMetaObject,
                                                              &TVolumeSeries::staticMetaObject};
    const std::initializer_list<const QMetaObject*> Functions = {&TADXFunction::staticMetaObject,
                                                                 &TRSIFunction::staticMetaObject};
    UnRegisterPlotSeries(Series);
    UnRegisterPlotFunctions(Functions);
    for (const QMetaObject* Meta : Series)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
    for (const QMetaObject* Meta : Functions)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
