#include "chart/engine/PlotFunction.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Numeric.h"

#include <algorithm>
#include <cmath>

namespace lp {

int ScaleExponent(double MaxAbs)
{
    int Exponent = 0;
    if (std::isfinite(MaxAbs))
        std::frexp(MaxAbs, &Exponent);
    return Exponent;
}

// --- TFunctionOutput ----------------------------------------------------------------------------

TFunctionOutput::TFunctionOutput(TChartSeries& Target)
    : FTarget(Target), FUnordered(Target.XValues()->Order() == loNone),
      FAscending(Target.XValues()->Order() == loAscending), FFirst(Target.Count()),
      FMode(Target.XValues()->FollowsOrder() ? omAppending : omAsTheyCome), FHasLast(Target.Count() > 0)
{
    if (FHasLast)
        FLast = Target.XValues()->Last();
}

bool TFunctionOutput::MakeNullPoint(const TChartSeries& Target, double& X, double& Y, TColor& Color)
{
    double& Value = Target.MandatoryIsY() ? Y : X;
    const double Position = Target.MandatoryIsY() ? X : Y;
    if (!std::isfinite(Position))
        return false;
    if (!std::isfinite(Value)) {
        Value = 0;
        Color = clNone;
    }
    return true;
}

void TFunctionOutput::Append(double X, double Y, const QString& Label, TColor Color)
{
    FTarget.AddXY(X, Y, Label, Color);
}

void TFunctionOutput::StartHolding()
{
    FMode = omHolding;
    const int Added = FTarget.Count() - FFirst;
    if (Added <= 0)
        return;
    FHeld.reserve(static_cast<size_t>(Added) * 2);
    for (int I = FFirst; I < FTarget.Count(); ++I)
        FHeld.push_back({FTarget.XValues()->Value(I), FTarget.YValues()->Value(I), FTarget.Labels().GetLabel(I),
                         FTarget.GetStoredValueColor(I)});
    FTarget.DeleteRange(FFirst, Added);
}

void TFunctionOutput::AddAgainstOrder(double X, double Y, const QString& Label, TColor Color)
{
    if (FMode == omAppending)
        StartHolding();
    if (FMode == omHolding)
        FHeld.push_back({X, Y, Label, Color});
    else
        FTarget.AddXY(X, Y, Label, Color);
}

void TFunctionOutput::Finish()
{
    if (FMode != omHolding)
        return;
    std::vector<TXY> Points;
    Points.swap(FHeld);
    FMode = omAsTheyCome;
    const auto Before = [this](const TXY& A, const TXY& B) { return FAscending ? A.X < B.X : A.X > B.X; };
    // In a list that follows its order, AddXY one by one puts every point
    // where the stable sort does; a NaN X would stop the search anywhere.
    if (std::none_of(Points.begin(), Points.end(), [](const TXY& P) { return std::isnan(P.X); }))
        std::stable_sort(Points.begin(), Points.end(), Before);
    for (const TXY& P : Points)
        FTarget.AddXY(P.X, P.Y, P.Label, P.Color);
}

// --- TPlotFunction -------------------------------------------------------------------------------

TPlotFunction::TPlotFunction(TComponent* AOwner) : TComponent(AOwner) {}

void TPlotFunction::Assign(const TPersistent* Source)
{
    const auto* Other = qobject_cast<const TPlotFunction*>(Source);
    if (!Other) {
        TComponent::Assign(Source);
        return;
    }
    FPeriod = Other->FPeriod;
    FPeriodStyle = Other->FPeriodStyle;
    FPeriodAlign = Other->FPeriodAlign;
    if (FParent)
        FParent->ForgetCalculation();
}

void TPlotFunction::SetPeriod(double Value)
{
    if (Value < 0)
        throw ChartException(PlotMsg_FunctionPeriod);
    if (FPeriod != Value) {
        FPeriod = Value;
        ReCalculate();
    }
}

void TPlotFunction::SetPeriodStyle(TFunctionPeriodStyle Value)
{
    if (FPeriodStyle != Value) {
        FPeriodStyle = Value;
        ReCalculate();
    }
}

void TPlotFunction::SetPeriodAlign(TFunctionPeriodAlign Value)
{
    if (FPeriodAlign != Value) {
        FPeriodAlign = Value;
        ReCalculate();
    }
}

void TPlotFunction::Loaded()
{
    TComponent::Loaded();
    if (!FParent)
        return;
    try {
        RestoreOwnLines(*FParent);
    } catch (const Exception&) {
        // Reading never fails on what a function cannot calculate.
        Clear();
    }
}

void TPlotFunction::EndUpdate()
{
    if (FUpdating) {
        FUpdating = false;
        ReCalculate();
    }
}

void TPlotFunction::ReCalculate()
{
    if (FParent)
        FParent->ForgetCalculation();
    if (!FUpdating && FParent)
        FParent->CheckDataSource();
}

void TPlotFunction::SetParentSeries(TChartSeries* Value)
{
    if (FParent == Value)
        return;
    // Stored first: the series' SetFunction calls back here.
    FParent = Value;
    if (Value && Value->SeriesFunction() != this)
        Value->SetFunction(this);
}

namespace {

// A period count as a whole number of points, at least 1 (a period below
// half a point would otherwise never advance the walk).
int PeriodPoints(double Period)
{
    return std::max(1, RoundToInt32(std::clamp(Period, 0.0, 2147483647.0)));
}

} // namespace

double TPlotFunction::RangeCount(TChartValueList& Positions, double Period)
{
    if (Positions.Count() == 0)
        return 0;
    const double Span = Positions.MaxValue() - Positions.Value(0);
    if (!(Span >= 0) || !(Period > 0))
        return HUGE_VAL;
    return std::floor(Span / Period) + 1;
}

void TPlotFunction::CheckRangeCount(TChartSeries& Source, double Period)
{
    if (Period == 0) // no periods: one result over all points
        return;
    const double Count = RangeCount(*Source.OtherValues(), Period);
    if (Count <= MaxFunctionPoints)
        return;
    const QString Shown = std::isfinite(Count) ? QString::number(Count, 'g', 6) : QStringLiteral("countless");
    throw ChartException(QStringLiteral("A period of %1 makes %2 ranges of the values of %3; at most %4 can be computed.")
                             .arg(QString::number(Period, 'g', 6), Shown, SeriesTitleOrName(&Source),
                                  QString::number(MaxFunctionPoints)));
}

void TPlotFunction::AddPoints(TChartSeries* Source)
{
    if (FUpdating || !Source || !FParent)
        return;
    if (FParent->DataSources().Count() > 1)
        AddManySeriesPoints(Source);
    else if (Source->Count() > 0)
        DoCalculation(Source, Source->OtherValues());
}

std::vector<TChartSeries*> TPlotFunction::SourceSeriesList() const
{
    std::vector<TChartSeries*> Result;
    if (FParent)
        for (TComponent* C : FParent->DataSources())
            if (auto* S = qobject_cast<TChartSeries*>(C))
                Result.push_back(S);
    return Result;
}

void TPlotFunction::AddManySeriesPoints(TChartSeries* Source)
{
    const std::vector<TChartSeries*> List = SourceSeriesList();
    TChartSeries* Most = Source;
    for (TChartSeries* S : List)
        if (S->Count() > Most->Count())
            Most = S;
    // Put in order once: a horizontal source's results go into the X
    // order of their values.
    TFunctionOutput Output(*FParent);
    for (int K = 0; K < Most->Count(); ++K) {
        const double Y = CalculateMany(List, K);
        AddFunctionXY(Output, Most->MandatoryIsY(), Y, Most->OtherValues()->Value(K), Most->Labels().GetLabel(K));
    }
    Output.Finish();
}

TChartValueList* TPlotFunction::ValueList(TChartSeries* Source) const
{
    const QString Name = FParent ? FParent->MandatoryValues()->ValueSource() : QString();
    if (!Name.isEmpty())
        if (TChartValueList* List = Source->GetValueListByName(Name))
            return List;
    return Source->MandatoryValues();
}

void TPlotFunction::AddFunctionXY(bool SourceIsY, double Y, double X, const QString& Label)
{
    if (!FParent)
        return;
    if (!SourceIsY)
        std::swap(X, Y);
    TColor Color = clPlotColor;
    if (TFunctionOutput::MakeNullPoint(*FParent, X, Y, Color))
        FParent->AddXY(X, Y, Label, Color);
}

void TPlotFunction::AddFunctionXY(TFunctionOutput& Output, bool SourceIsY, double Y, double X, const QString& Label)
{
    if (SourceIsY)
        Output.Add(X, Y, Label);
    else
        Output.Add(Y, X, Label);
}

bool TPlotFunction::AddAppendedPoint(TChartSeries*)
{
    return false;
}

void TPlotFunction::CalculatePeriod(TChartSeries* Source, double X, int FirstIndex, int LastIndex)
{
    AddFunctionXY(Source->MandatoryIsY(), Calculate(Source, FirstIndex, LastIndex), X);
}

void TPlotFunction::CalculateAllPoints(TChartSeries* Source, TChartValueList* NotMandatorySource)
{
    const double V = Calculate(Source, -1, -1);
    if (FParent->FunctionResultCentered()) {
        const double Mid = NotMandatorySource->MinValue() + NotMandatorySource->Range() * 0.5;
        AddFunctionXY(FParent->MandatoryIsY(), V, Mid);
    } else {
        AddFunctionXY(Source->MandatoryIsY(), V, NotMandatorySource->MinValue());
        AddFunctionXY(Source->MandatoryIsY(), V, NotMandatorySource->MaxValue());
    }
}

void TPlotFunction::CalculateByPeriod(TChartSeries* Source, TChartValueList* NotMandatorySource)
{
    const int N = Source->Count();
    if (N <= 0)
        return;
    const TChartValueList& Pos = *NotMandatorySource;
    const bool ByPoints = FPeriodStyle == psNumPoints;
    const bool IsDateTime = Pos.DateTime();
    const int StepIndex = IsDateTime ? FindDateTimeStep(FPeriod) : static_cast<int>(dtNone);
    // Each empty range adds a point: ranges beyond the limit (a tiny period
    // from a stored chart) compute nothing rather than without end.
    if (!ByPoints && RangeCount(*NotMandatorySource, FPeriod) > MaxFunctionPoints)
        return;
    const double Largest = NotMandatorySource->MaxValue();
    double Boundary = Pos.Value(0);
    int I = 0;
    while (I <= N - 1) {
        int Last;
        double P1, P2;
        if (ByPoints) {
            // In 64 bits: a huge period must not overflow; it holds every point left.
            Last = static_cast<int>(std::min<long long>(static_cast<long long>(I) + PeriodPoints(FPeriod) - 1, N));
            P1 = Pos.Value(I);
            P2 = Last < N ? Pos.Value(Last) : 0;
        } else {
            P1 = Boundary;
            const double Old = Boundary;
            IncDecDateTime(IsDateTime, true, Boundary, FPeriod, StepIndex);
            // A step lost in the precision of large positions would never end.
            if (!(Boundary > Old))
                return;
            P2 = Boundary - 0.001 * FPeriod;
            Last = I;
            while (Last < N - 1 && Pos.Value(Last + 1) < Boundary)
                ++Last;
        }
        const bool HasPoints = ByPoints || Pos.Value(I) < Boundary;
        // Past the largest position every range would stay empty: the
        // position left is one no range holds (NaN).
        if (!HasPoints && P1 > Largest)
            return;
        if (Last < N) {
            double X;
            switch (FPeriodAlign) {
            case paFirst: X = P1; break;
            case paLast: X = P2; break;
            default: X = (P1 + P2) * 0.5; break;
            }
            if (HasPoints)
                CalculatePeriod(Source, X, I, Last);
            else
                AddFunctionXY(Source->MandatoryIsY(), 0, X);
        }
        if (HasPoints)
            I = Last + 1;
    }
}

void TPlotFunction::DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource)
{
    if (FPeriod != 0)
        CalculateByPeriod(Source, NotMandatorySource);
    else
        CalculateAllPoints(Source, NotMandatorySource);
}

void TPlotFunction::PrepareForGallery(TCustomAxisPanel* Chart)
{
    if (!Chart)
        return;
    for (TChartSeries* S : Chart->SeriesList())
        S->PrepareForGallery(true);
}

double TPlotFunction::Calculate(TChartSeries*, int, int)
{
    return 0;
}

double TPlotFunction::CalculateMany(const std::vector<TChartSeries*>&, int)
{
    return 0;
}

// --- TPlotMovingFunction -------------------------------------------------------------------------

TPlotMovingFunction::TPlotMovingFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(1);
    SetIsMoving(true);
    SetSingleSource(true);
}

void TPlotMovingFunction::DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent)
        return;
    const int P = PeriodPoints(Period());
    TFunctionOutput Output(*Parent);
    for (int K = P - 1; K < Source->Count(); ++K)
        AddFunctionXY(Output, Source->MandatoryIsY(), Calculate(Source, K - P + 1, K), NotMandatorySource->Value(K));
    Output.Finish();
}

bool TPlotMovingFunction::AddAppendedPoint(TChartSeries* Source)
{
    // As DoCalculation adds the result of the window ending at the point:
    // added alone it lands where the recalculation's output puts it.
    if (!WindowOnly() || !ParentSeries() || IsUpdating() || !Source || Period() == 0)
        return false;
    const int P = PeriodPoints(Period());
    const int K = Source->Count() - 1;
    if (K < P - 1)
        return true;
    const double Result = Calculate(Source, K - P + 1, K);
    const double Position = Source->OtherValues()->Value(K);
    // A result that would go before the end of the parent's X list (a
    // source growing against the order of its positions) is left to a
    // recalculation, which puts its output in order once.
    const TChartValueList& X = *ParentSeries()->XValues();
    const double NewX = Source->MandatoryIsY() ? Position : Result;
    if (X.Count() > 0 && ((X.Order() == loAscending && NewX < X.Last()) || (X.Order() == loDescending && NewX > X.Last())))
        return false;
    AddFunctionXY(Source->MandatoryIsY(), Result, Position);
    return true;
}

bool TPlotFunction::IsValidSource(TChartSeries*) const
{
    return true;
}

TComponent* TPlotFunction::GetParentComponent() const
{
    return FParent;
}

void TPlotFunction::SetParentComponent(TComponent* Value)
{
    if (auto* Series = qobject_cast<TChartSeries*>(Value))
        Series->SetFunction(this);
}

} // namespace lp
