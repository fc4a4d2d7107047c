#pragma once
// A smooth curve through (or near) the points of a source series.
//
//   TBSpline              uniform cubic B-spline over 2-D control points;
//                         optionally made to pass through them by solving
//                         for its de Boor points
//   TPlotFunction
//     └─ TSmoothingFunction  Factor curve points per source point
//
// A knuckle control point is tripled among the de Boor points, so the
// curve meets it with a corner. The interpolating system is tridiagonal
// (1/6, 2/3, 1/6; identity rows at both ends and around three coinciding
// points) and is solved in O(n) without pivoting.

#include "chart/engine/PlotFunction.h"

#include <vector>

namespace lp {

struct TSplinePoint {
    double X = 0;
    double Y = 0;
};

class TBSpline {
public:
    // Curve segments never above this.
    static constexpr int MaxFragments = 600;

    TBSpline() { Clear(); }

    // No points, not interpolating, 100 fragments.
    void Clear();
    void AddPoint(double X, double Y);
    int NumPoints() const { return static_cast<int>(FPoints.size()); }
    // Control points count from 1; ERangeError outside 1 .. NumPoints.
    TSplinePoint Point(int Index) const;
    void SetPoint(int Index, TSplinePoint P);
    // The first and the last point are never knuckles.
    bool IsKnuckle(int Index) const;
    void SetKnuckle(int Index, bool Value);
    bool Interpolate() const { return FInterpolate; }
    void SetInterpolate(bool Value);
    int Fragments() const { return FFragments; }
    // Capped at MaxFragments.
    void SetFragments(int Value);
    // The number of de Boor points (building them when needed).
    int Count();
    // The curve point at T in 0 .. 1; (0, 0) for fewer than two points.
    TSplinePoint Value(double T);

private:
    void Invalidate();
    void Build();
    // Replaces the de Boor points 1 .. n by the solution that makes the
    // curve pass through them.
    void SolveInterpolation();
    void CheckIndex(int Index) const;

    std::vector<TSplinePoint> FPoints; // control point I at I - 1
    std::vector<bool> FKnuckle;
    std::vector<TSplinePoint> FWorkPoints; // 0 .. n + 1, phantoms at the ends
    bool FBuilt = false;
    int FN = 0;
    bool FInterpolate = false;
    int FFragments = 100;
};

class TSmoothingFunction : public TPlotFunction {
    Q_OBJECT
    Q_PROPERTY(int Factor READ Factor WRITE SetFactor)
    Q_CLASSINFO("default:Factor", "4")
    Q_PROPERTY(bool Interpolate READ Interpolate WRITE SetInterpolate)
    Q_CLASSINFO("default:Interpolate", "true")
    Q_CLASSINFO("default:Period", "1")

public:
    explicit TSmoothingFunction(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TSmoothFuncEditor"); }
    // Replaces the parent's points by Count(Source) * Factor (at most 600)
    // curve segments; nothing for fewer than two source points.
    void AddPoints(TChartSeries* Source) override;

    int Factor() const { return FFactor; }
    // At least 1; recalculates on a change.
    void SetFactor(int Value);
    bool Interpolate() const { return FInterpolate; }
    void SetInterpolate(bool Value);

private:
    int FFactor = 4;
    bool FInterpolate = true;
};

// The "Smoothing" function on the "Extended" gallery page.
void RegisterSmoothingFunction();
void UnregisterSmoothingFunction();

} // namespace lp
