#pragma once
// Curves fitted to a source series and the correlation coefficient.
//
//   TPlotFunction
//     ├─ TCustomFittingFunction    least-squares polynomial (PlotPoly)
//     │    └─ TCurveFittingFunction  publishes its settings
//     └─ TCustomTrendFunction      regression sums over an index range
//          ├─ TTrendFunction         y = M x + B
//          ├─ TExpTrendFunction      y = M e^(B x), fitted to ln y: points
//          │                         with y <= 0 have no logarithm and are
//          │                         left out
//          └─ TCorrelationFunction   Pearson's r as a horizontal line
//
// x is the source's position list (OtherValues), y the function's value
// list (ValueList); results go back through AddFunctionXY, so horizontal
// series work like vertical ones. The polynomial is fitted to x - min x and
// y - min y, which keeps the normal equations better conditioned.

#include "chart/engine/PlotFunction.h"
#include "chart/extensions/functions/PlotPoly.h"

namespace lp {

class TCustomFittingFunction : public TPlotFunction {
    Q_OBJECT
public:
    enum TTypeFitting : quint8 { cfPolynomial };
    Q_ENUM(TTypeFitting)

    explicit TCustomFittingFunction(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;
    // Clears the parent; with at least PolyDegree source points fits the
    // points FirstCalcPoint .. LastCalcPoint and draws the curve. Raises
    // ChartException "Cannot process fitting" (the parent left empty) when
    // the normal equations are singular.
    void AddPoints(TChartSeries* Source) override;
    // Factor points per source interval from FirstPoint to LastPoint (both
    // clamped into the source; nothing when the first lies beyond the last),
    // then the point at LastPoint.
    virtual void AddFittedPoints(TChartSeries* Source);

    int Factor() const { return FFactor; }
    // At least 1.
    void SetFactor(int Value);
    int FirstPoint() const { return FFirstPoint; }
    void SetFirstPoint(int Value);
    int FirstCalcPoint() const { return FFirstCalcPoint; }
    void SetFirstCalcPoint(int Value);
    int LastPoint() const { return FLastPoint; }
    void SetLastPoint(int Value);
    int LastCalcPoint() const { return FLastCalcPoint; }
    void SetLastCalcPoint(int Value);
    // The number of terms (5: up to x^4). ChartException "Polynomial degree
    // must be between 1 and 20" outside 1 .. 20; the old value stays.
    int PolyDegree() const { return FPolyDegree; }
    void SetPolyDegree(int Value);
    TTypeFitting TypeFitting() const { return FTypeFitting; }
    void SetTypeFitting(TTypeFitting Value);
    // Coefficient k of x^k of the last fit.
    const TPolyVector& AnswerVector() const { return FAnswerVector; }

private:
    void SetAndRecalculate(int& Field, int Value);
    // The source's minimum position and minimum fitted value.
    void TakeOffsets(TChartSeries* Source);

    int FFactor = 1;
    int FFirstPoint = -1;
    int FFirstCalcPoint = -1;
    int FLastPoint = -1;
    int FLastCalcPoint = -1;
    int FPolyDegree = 5;
    TTypeFitting FTypeFitting = cfPolynomial;
    TPolyVector FAnswerVector{};
    double FMinX = 0;
    double FYOffset = 0;
};

class TCurveFittingFunction : public TCustomFittingFunction {
    Q_OBJECT
    Q_PROPERTY(int Factor READ Factor WRITE SetFactor)
    Q_CLASSINFO("default:Factor", "1")
    Q_PROPERTY(int FirstCalcPoint READ FirstCalcPoint WRITE SetFirstCalcPoint)
    Q_CLASSINFO("default:FirstCalcPoint", "-1")
    Q_PROPERTY(int FirstPoint READ FirstPoint WRITE SetFirstPoint)
    Q_CLASSINFO("default:FirstPoint", "-1")
    Q_PROPERTY(int LastCalcPoint READ LastCalcPoint WRITE SetLastCalcPoint)
    Q_CLASSINFO("default:LastCalcPoint", "-1")
    Q_PROPERTY(int LastPoint READ LastPoint WRITE SetLastPoint)
    Q_CLASSINFO("default:LastPoint", "-1")
    Q_PROPERTY(int PolyDegree READ PolyDegree WRITE SetPolyDegree)
    Q_CLASSINFO("default:PolyDegree", "5")
    Q_PROPERTY(TTypeFitting TypeFitting READ TypeFitting WRITE SetTypeFitting)
    Q_CLASSINFO("default:TypeFitting", "cfPolynomial")
    Q_CLASSINFO("default:Period", "1")
public:
    using TCustomFittingFunction::TCustomFittingFunction;
};

using TTypeFitting = TCustomFittingFunction::TTypeFitting;
inline constexpr TTypeFitting cfPolynomial = TCustomFittingFunction::cfPolynomial;

// The running sums of a regression, of the positions divided by 2^XExponent
// and the values by 2^YExponent (see ScaleExponent): exact scales that keep
// the sums finite for values near the limit of the doubles.
struct TTrendSums {
    int N = 0;
    double SumX = 0;
    double SumXY = 0;
    double SumY = 0;
    double SumX2 = 0;
    double SumY2 = 0;
    int XExponent = 0;
    int YExponent = 0;
};

class TCustomTrendFunction : public TPlotFunction {
    Q_OBJECT
public:
    enum TTrendStyle : quint8 { tsNormal = 0, tsExponential = 2 };

    explicit TCustomTrendFunction(TComponent* AOwner = nullptr);

    // One trend over every point.
    void CalculateAllPoints(TChartSeries* Source, TChartValueList* NotMandatorySource) override;
    // The trend of FirstIndex .. LastIndex as two points: at the first and
    // last position of the range when the positions are ordered, else at
    // the range's smallest and largest position.
    void CalculatePeriod(TChartSeries* Source, double X, int FirstIndex, int LastIndex) override;
    // 0: the trends add their points themselves.
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
    double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex) override;
    // The coefficients over FirstIndex .. LastIndex (-1: every point);
    // false for fewer than two usable points. A zero denominator gives
    // slope 1, intercept 0 (linear) or rate 1 (exponential).
    bool CalculateTrend(double& M, double& B, TChartSeries* Source, int FirstIndex, int LastIndex);
    TTrendStyle TrendStyle() const { return FStyle; }
    // The sums of the last calculation.
    const TTrendSums& Sums() const { return FSums; }

protected:
    void SetTrendStyle(TTrendStyle Value) { FStyle = Value; }
    // The straight line's slope and intercept at the sums' scales; false
    // when every position is the same.
    bool ScaledLine(double& Slope, double& Intercept) const;
    // Fills Sums; false for fewer than two points.
    bool CalculateSums(TChartSeries* Source, int FirstIndex, int LastIndex);

private:
    TTrendStyle FStyle = tsNormal;
    TTrendSums FSums;
};

class TTrendFunction : public TCustomTrendFunction {
    Q_OBJECT
public:
    using TCustomTrendFunction::TCustomTrendFunction;
};

class TExpTrendFunction : public TCustomTrendFunction {
    Q_OBJECT
public:
    explicit TExpTrendFunction(TComponent* AOwner = nullptr);
};

class TCorrelationFunction : public TCustomTrendFunction {
    Q_OBJECT
public:
    using TCustomTrendFunction::TCustomTrendFunction;
    // r once (Add) when the parent centres its results, else as a line from
    // the smallest to the largest position.
    void CalculatePeriod(TChartSeries* Source, double X, int FirstIndex, int LastIndex) override;
    // r of the points FirstIndex .. LastIndex; 1 for fewer than two points
    // or no spread.
    double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex) override;
};

// The four functions on the "Extended" gallery page.
void RegisterCurveFittingFunctions();
void UnregisterCurveFittingFunctions();

} // namespace lp
