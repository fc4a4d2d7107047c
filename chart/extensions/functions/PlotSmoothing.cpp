// The B-spline and the smoothing function.

#include "chart/extensions/functions/PlotSmoothing.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/base/Exception.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lp {

namespace {

// Three de Boor points this close in X and Y count as one.
constexpr double CoincidentTolerance = 1e-5;

bool Coincide(const TSplinePoint& A, const TSplinePoint& B)
{
    return std::fabs(A.X - B.X) < CoincidentTolerance && std::fabs(A.Y - B.Y) < CoincidentTolerance;
}

} // namespace

// --- TBSpline -----------------------------------------------------------------------------------

void TBSpline::Clear()
{
    FPoints.clear();
    FKnuckle.clear();
    FWorkPoints.clear();
    FBuilt = false;
    FN = 0;
    FInterpolate = false;
    FFragments = 100;
}

void TBSpline::Invalidate()
{
    FBuilt = false;
    FWorkPoints.clear();
}

void TBSpline::CheckIndex(int Index) const
{
    if (Index < 1 || Index > NumPoints())
        throw ERangeError("Spline point " + std::to_string(Index) + " is outside 1 .. "
                          + std::to_string(NumPoints()));
}

void TBSpline::AddPoint(double X, double Y)
{
    FPoints.push_back({X, Y});
    FKnuckle.push_back(false);
    Invalidate();
}

TSplinePoint TBSpline::Point(int Index) const
{
    CheckIndex(Index);
    return FPoints[static_cast<size_t>(Index - 1)];
}

void TBSpline::SetPoint(int Index, TSplinePoint P)
{
    CheckIndex(Index);
    FPoints[static_cast<size_t>(Index - 1)] = P;
    Invalidate();
}

bool TBSpline::IsKnuckle(int Index) const
{
    CheckIndex(Index);
    return Index != 1 && Index != NumPoints() && FKnuckle[static_cast<size_t>(Index - 1)];
}

void TBSpline::SetKnuckle(int Index, bool Value)
{
    CheckIndex(Index);
    FKnuckle[static_cast<size_t>(Index - 1)] = Value;
    Invalidate();
}

void TBSpline::SetInterpolate(bool Value)
{
    FInterpolate = Value;
    Invalidate();
}

void TBSpline::SetFragments(int Value)
{
    FFragments = std::clamp(Value, 1, MaxFragments);
}

int TBSpline::Count()
{
    if (!FBuilt)
        Build();
    return FN;
}

void TBSpline::Build()
{
    if (NumPoints() < 2)
        return;
    FWorkPoints.assign(1, TSplinePoint{}); // the leading phantom
    for (int I = 1; I <= NumPoints(); ++I) {
        const int Copies = IsKnuckle(I) ? 3 : 1;
        for (int C = 0; C < Copies; ++C)
            FWorkPoints.push_back(FPoints[static_cast<size_t>(I - 1)]);
    }
    FN = static_cast<int>(FWorkPoints.size()) - 1;
    FWorkPoints.emplace_back(); // the trailing phantom
    if (FInterpolate)
        SolveInterpolation();
    FBuilt = true;
    const auto At = [this](int I) -> TSplinePoint& { return FWorkPoints.at(static_cast<size_t>(I)); };
    At(0) = {2 * At(1).X - At(2).X, 2 * At(1).Y - At(2).Y};
    At(FN + 1) = {2 * At(FN).X - At(FN - 1).X, 2 * At(FN).Y - At(FN - 1).Y};
}

void TBSpline::SolveInterpolation()
{
    const auto N = static_cast<size_t>(FN);
    // Rows 1 .. n of the tridiagonal matrix (index 0 unused).
    std::vector<double> Sub(N + 1, 1.0 / 6), Diag(N + 1, 2.0 / 3), Super(N + 1, 1.0 / 6);
    const auto MakeIdentityRow = [&](size_t Row) {
        Sub[Row] = 0;
        Diag[Row] = 1;
        Super[Row] = 0;
    };
    MakeIdentityRow(1);
    MakeIdentityRow(N);
    for (size_t I = 3; I + 1 < N;) {
        if (Coincide(FWorkPoints[I - 1], FWorkPoints[I]) && Coincide(FWorkPoints[I], FWorkPoints[I + 1])) {
            MakeIdentityRow(I - 1);
            MakeIdentityRow(I);
            MakeIdentityRow(I + 1);
            I += 2;
        } else {
            ++I;
        }
    }
    // Gaussian elimination without pivoting; on a tridiagonal matrix only
    // the sub-diagonal entry of each row has to be eliminated.
    for (size_t I = 2; I <= N; ++I) {
        const double M = Sub[I] / Diag[I - 1];
        Diag[I] -= M * Super[I - 1];
        FWorkPoints[I].X -= M * FWorkPoints[I - 1].X;
        FWorkPoints[I].Y -= M * FWorkPoints[I - 1].Y;
    }
    FWorkPoints[N].X /= Diag[N];
    FWorkPoints[N].Y /= Diag[N];
    for (size_t I = N - 1; I >= 1; --I) {
        FWorkPoints[I].X = (FWorkPoints[I].X - Super[I] * FWorkPoints[I + 1].X) / Diag[I];
        FWorkPoints[I].Y = (FWorkPoints[I].Y - Super[I] * FWorkPoints[I + 1].Y) / Diag[I];
    }
}

TSplinePoint TBSpline::Value(double T)
{
    if (NumPoints() < 2)
        return {};
    if (!FBuilt)
        Build();
    const double C = (FN - 1) * T + 1;
    const int K = std::max(0, static_cast<int>(std::trunc((FN - 1) * T)));
    TSplinePoint Result;
    for (int J = std::min(K, FN + 1); J <= K + 3; ++J) {
        const double D = std::fabs(J - C);
        if (D >= 2) // tested first: J may be one past the trailing phantom
            continue;
        const double Weight = D >= 1 ? (2 - D) * (2 - D) * (2 - D) / 6 : 2.0 / 3 - D * D + D * D * D / 2;
        const TSplinePoint& P = FWorkPoints.at(static_cast<size_t>(J));
        Result.X += Weight * P.X;
        Result.Y += Weight * P.Y;
    }
    return Result;
}

// --- TSmoothingFunction -------------------------------------------------------------------------

TSmoothingFunction::TSmoothingFunction(TComponent* AOwner) : TPlotFunction(AOwner)
{
    InternalSetPeriod(1);
    SetUsesPeriod(false);
    SetSingleSource(true);
}

void TSmoothingFunction::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TSmoothingFunction*>(Source)) {
        FFactor = S->FFactor;
        FInterpolate = S->FInterpolate;
    }
    TPlotFunction::Assign(Source);
}

void TSmoothingFunction::SetFactor(int Value)
{
    Value = std::max(1, Value);
    if (Value == FFactor)
        return;
    FFactor = Value;
    ReCalculate();
}

void TSmoothingFunction::SetInterpolate(bool Value)
{
    if (Value == FInterpolate)
        return;
    FInterpolate = Value;
    ReCalculate();
}

void TSmoothingFunction::AddPoints(TChartSeries* Source)
{
    TChartSeries* Parent = ParentSeries();
    if (!Parent || IsUpdating())
        return;
    Parent->Clear();
    if (!Source)
        return;
    const bool SameOrientation = Parent->MandatoryIsY() == Source->MandatoryIsY();
    Parent->OtherValues()->SetOrder(SameOrientation ? loAscending : loNone);
    Parent->MandatoryValues()->SetOrder(SameOrientation ? loNone : loAscending);
    Parent->SetVisibleRangeSearch(SameOrientation);
    // A single point has no curve: the spline would give (0, 0) for it.
    if (Source->Count() < 2)
        return;
    // The spline runs through (position, value) pairs; a horizontal parent
    // takes them back exchanged, its values along the horizontal axis.
    const TChartValueList* Values = ValueList(Source);
    TBSpline Spline;
    for (int I = 0; I < Source->Count(); ++I)
        Spline.AddPoint(Source->OtherValues()->Value(I), Values->Value(I));
    Spline.SetInterpolate(FInterpolate);
    const qint64 Wanted = static_cast<qint64>(Source->Count()) * FFactor;
    Spline.SetFragments(static_cast<int>(std::min<qint64>(Wanted, TBSpline::MaxFragments)));
    const int Fragments = Spline.Fragments();
    TFunctionOutput Output(*Parent);
    for (int F = 0; F <= Fragments; ++F) {
        const TSplinePoint P = Spline.Value(static_cast<double>(F) / Fragments);
        AddFunctionXY(Output, Parent->MandatoryIsY(), P.Y, P.X);
    }
    Output.Finish();
}

void RegisterSmoothingFunction()
{
    RegisterPlotFunction<TSmoothingFunction>(&PlotMsg_Smoothing, &PlotMsg_GalleryExtended, 1);
}

void UnregisterSmoothingFunction()
{
    UnRegisterPlotFunctions({&TSmoothingFunction::staticMetaObject});
}

} // namespace lp
