// The ADX and RSI functions and the indicator lines they share with the
// composite indicators.

#include "chart/extensions/financial/PlotPriceFunctions.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/financial/PlotCandleSeries.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace lp {

TFastLineSeries* CreateIndicatorLine(TColor Color)
{
    auto* Line = new TFastLineSeries(nullptr);
    Line->SetSeriesColor(Color);
    // The owner's colour is the line pen's default.
    KeepStartAsDefault(*Line->Pen(), {"Color"});
    Line->SetShowInLegend(false);
    Line->SetShowInEditor(false);
    Line->SetInternal(true);
    return Line;
}

void SetUpIndicatorLine(TChartSeries& Line, const TChartSeries& Parent)
{
    Line.SetParentChart(Parent.ParentChart());
    Line.SetCustomVertAxis(Parent.CustomVertAxis());
    Line.SetVertAxis(Parent.VertAxis());
    Line.XValues()->SetDateTime(Parent.XValues()->DateTime());
    Line.BeforeDrawValues = Parent.BeforeDrawValues;
    Line.AfterDrawValues = Parent.AfterDrawValues;
}

// --- TADXFunction -------------------------------------------------------------------------------

TADXFunction::TADXFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(14);
    SetIsMoving(true);
    // Reads the high, low and close of one candle series.
    SetSingleSource(true);
    SetFixedValueLists(true);
    FUpLine = CreateIndicatorLine(clGreen);
    FDownLine = CreateIndicatorLine(clRed);
}

TADXFunction::~TADXFunction()
{
    delete FDownLine.data();
    delete FUpLine.data();
}

TFastLineSeries* TADXFunction::UpLine() const
{
    return FUpLine.data();
}

TFastLineSeries* TADXFunction::DownLine() const
{
    return FDownLine.data();
}

TChartPen* TADXFunction::DownLinePen() const
{
    return FDownLine ? FDownLine->Pen() : nullptr;
}

void TADXFunction::SetDownLinePen(const TChartPen* Value)
{
    if (FDownLine)
        FDownLine->SetPen(Value);
}

TChartPen* TADXFunction::UpLinePen() const
{
    return FUpLine ? FUpLine->Pen() : nullptr;
}

void TADXFunction::SetUpLinePen(const TChartPen* Value)
{
    if (FUpLine)
        FUpLine->SetPen(Value);
}

bool TADXFunction::IsValidSource(TChartSeries* Series) const
{
    return qobject_cast<TOHLCSeries*>(Series) != nullptr;
}

namespace {

// Directional movement per point (index 0 stays 0).
struct TDirectionalMoves {
    std::vector<double> TrueRange;
    std::vector<double> PlusDM;
    std::vector<double> MinusDM;
};

TDirectionalMoves DirectionalMoves(const TOHLCSeries& S)
{
    const int N = S.Count();
    const TChartValueList& High = *S.HighValues();
    const TChartValueList& Low = *S.LowValues();
    const TChartValueList& Close = *S.CloseValues();
    TDirectionalMoves M;
    M.TrueRange.assign(static_cast<size_t>(N), 0);
    M.PlusDM.assign(static_cast<size_t>(N), 0);
    M.MinusDM.assign(static_cast<size_t>(N), 0);
    for (int I = 1; I < N; ++I) {
        const auto At = static_cast<size_t>(I);
        const double H = High.Value(I);
        const double L = Low.Value(I);
        const double PrevClose = Close.Value(I - 1);
        M.TrueRange[At] = std::max({H - L, std::fabs(H - PrevClose), std::fabs(L - PrevClose)});
        const double Up = H - High.Value(I - 1);
        const double Down = Low.Value(I - 1) - L;
        M.PlusDM[At] = Up > Down ? std::max(Up, 0.0) : 0;
        M.MinusDM[At] = Down > Up ? std::max(Down, 0.0) : 0;
    }
    return M;
}

// 100 * Part / Whole; flat prices (no range at all) give 0, not 0/0.
double Percent(double Part, double Whole)
{
    return Whole == 0 ? 0 : 100 * Part / Whole;
}

} // namespace

void TADXFunction::RestoreOwnLines(TChartSeries& Parent)
{
    if (auto* Prices = qobject_cast<TOHLCSeries*>(Parent.DataSource()))
        AddPoints(Prices);
}

void TADXFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    const double P = Period();
    if (!Parent || P < 2)
        return;
    Parent->Clear();
    for (TFastLineSeries* Line : {FUpLine.data(), FDownLine.data()})
        if (Line) {
            Line->Clear();
            SetUpIndicatorLine(*Line, *Parent);
        }
    auto* Prices = qobject_cast<TOHLCSeries*>(Source);
    if (!Prices || Prices->Count() < 2 * P)
        return;
    const int N = Prices->Count();
    const int Start = RoundToInt32(P);
    const TDirectionalMoves M = DirectionalMoves(*Prices);
    const TChartValueList& X = *Prices->XValues();

    // The smoothed sums give +DI and -DI from index Start on.
    std::vector<double> PlusDI(static_cast<size_t>(N), 0);
    std::vector<double> MinusDI(static_cast<size_t>(N), 0);
    double TRs = 0;
    double PlusDMs = 0;
    double MinusDMs = 0;
    std::optional<TFunctionOutput> Up;
    std::optional<TFunctionOutput> Down;
    if (FUpLine)
        Up.emplace(*FUpLine);
    if (FDownLine)
        Down.emplace(*FDownLine);
    for (int I = 1; I <= Start; ++I) {
        TRs += M.TrueRange[static_cast<size_t>(I)];
        PlusDMs += M.PlusDM[static_cast<size_t>(I)];
        MinusDMs += M.MinusDM[static_cast<size_t>(I)];
    }
    for (int I = Start; I < N; ++I) {
        const auto At = static_cast<size_t>(I);
        if (I > Start) {
            TRs = TRs - TRs / P + M.TrueRange[At];
            PlusDMs = PlusDMs - PlusDMs / P + M.PlusDM[At];
            MinusDMs = MinusDMs - MinusDMs / P + M.MinusDM[At];
        }
        PlusDI[At] = Percent(PlusDMs, TRs);
        MinusDI[At] = Percent(MinusDMs, TRs);
        if (Up)
            Up->Add(X.Value(I), PlusDI[At]);
        if (Down)
            Down->Add(X.Value(I), MinusDI[At]);
    }
    for (std::optional<TFunctionOutput>* Line : {&Up, &Down})
        if (*Line)
            (*Line)->Finish();
    const auto DX = [&](int J) {
        const auto At = static_cast<size_t>(J);
        return Percent(std::fabs(PlusDI[At] - MinusDI[At]), PlusDI[At] + MinusDI[At]);
    };
    const int First = RoundToInt32(2 * P - 2);
    double ADX = 0;
    for (int J = Start; J <= First; ++J)
        ADX += DX(J);
    ADX /= P - 1;
    TFunctionOutput Output(*Parent);
    Output.Add(X.Value(First), ADX);
    for (int I = First + 1; I < N; ++I) {
        ADX = ((P - 1) * ADX + DX(I)) / P;
        Output.Add(X.Value(I), ADX);
    }
    Output.Finish();
}

// --- TRSIFunction -------------------------------------------------------------------------------

TRSIFunction::TRSIFunction(TComponent* AOwner) : TPlotMovingFunction(AOwner)
{
    // Reads the open and close lists of its source.
    SetFixedValueLists(true);
}

void TRSIFunction::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TRSIFunction*>(Source))
        FStyle = Other->FStyle;
    TPlotMovingFunction::Assign(Source);
}

void TRSIFunction::SetStyle(TRSIStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    ReCalculate();
}

bool TRSIFunction::IsValidSource(TChartSeries* Series) const
{
    return qobject_cast<TOHLCSeries*>(Series) != nullptr;
}

void TRSIFunction::CacheSource(TChartSeries* Source)
{
    if (FSource == Source && FClose && FOpen)
        return;
    FSource = Source;
    FClose = Source->GetValueListByName(PlotMsg_ValuesClose);
    FOpen = Source->GetValueListByName(PlotMsg_ValuesOpen);
}

double TRSIFunction::Calculate(TChartSeries* Source, int FirstIndex, int LastIndex)
{
    if (!Source || Source->Count() == 0)
        return 0;
    if (FirstIndex < 0) {
        FirstIndex = 0;
        LastIndex = Source->Count() - 1;
    }
    if (LastIndex < FirstIndex)
        return 100;
    CacheSource(Source);
    double Up = 0;
    double Down = 0;
    if (FStyle == rsiClose) {
        for (int I = FirstIndex + 1; I <= LastIndex; ++I) {
            const double D = FClose->Value(I) - FClose->Value(I - 1);
            (D >= 0 ? Up : Down) += std::fabs(D);
        }
    } else {
        for (int I = FirstIndex; I <= LastIndex; ++I)
            (FOpen->Value(I) > FClose->Value(I) ? Down : Up) += FClose->Value(I);
    }
    const int N = LastIndex - FirstIndex + 1;
    Up /= N;
    Down /= N;
    if (Down == 0)
        return 100;
    return std::clamp(100 - 100 / (1 + std::fabs(Up / Down)), 0.0, 100.0);
}

} // namespace lp
