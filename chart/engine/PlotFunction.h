#pragma once
// The function base: a component that computes the points of its parent
// series from the parent's data sources.
//
//   TChartSeries ─owns─> TPlotFunction   (the series' SeriesFunction)
//
// The parent series refills itself through AddPoints whenever its sources
// change. The base fixes the walks over the sources: all points at once,
// period by period (by point count or by X range), and point by point
// across several sources; TPlotMovingFunction adds the moving window. The
// concrete functions supply Calculate (one source, an index range) and
// CalculateMany (one index across many sources).

#include "platform/core/Component.h"
#include "platform/graphics/GraphicsTypes.h"

#include <cmath>
#include <vector>

namespace lp {

class TChartSeries;
class TChartValueList;
class TCustomAxisPanel;

// The most points one computation of a function adds, as many as a series
// may be asked for as sample values: a range period finer than this many
// ranges over its source, or a formula of more points, is refused.
inline constexpr int MaxFunctionPoints = 1000000;

// The exponent E with |MaxAbs| / 2^E below 1 (0 for 0 and for a value that
// is not finite). Dividing by a power of two is exact, so sums of squares and
// products of values near the limit of the doubles are formed scaled, without
// overflow, and ordinary values give the very results they give unscaled.
int ScaleExponent(double MaxAbs);

// The points a function computes in one go, added to a series so that each
// lands at the end of its lists. Points that follow the order of the
// series' X list go straight to its end. From the first point against that
// order on, the output holds its points (with those it added before) and
// Finish adds them in that order (a stable sort, so points of equal X keep
// the order they came in). Added one by one as they came, every point out
// of order would search and shift the lists: the square of the count for
// one computation, and a computation runs again at every point a growing
// source gains. The series ends with the very points at the very indexes
// AddXY one by one would give them. When an X is NaN (which has no place in
// an order), or the list did not follow its order to begin with, the
// points are added as they came.
//
// A result that cannot be computed (its value infinite or NaN: a division
// by zero, an overflow, the log of 0) is a null point at its position,
// value 0: the output keeps a point per position and never holds ±inf; a
// point whose position is not finite is left out.
class TFunctionOutput {
public:
    // Target's X list must keep its order until Finish.
    explicit TFunctionOutput(TChartSeries& Target);
    TFunctionOutput(const TFunctionOutput&) = delete;
    TFunctionOutput& operator=(const TFunctionOutput&) = delete;

    // AddXY(X, Y, Label) with the series colour, now or at Finish.
    // (Inline: a function adds every point it computes through it.)
    void Add(double X, double Y, const QString& Label = QString())
    {
        TColor Color = clDefault; // the series colour (clPlotColor)
        if (!std::isfinite(X) || !std::isfinite(Y)) [[unlikely]]
            if (!MakeNullPoint(FTarget, X, Y, Color))
                return;
        if (FMode == omAppending && ComesAtTheEnd(X)) {
            FLast = X;
            FHasLast = true;
            Append(X, Y, Label, Color);
        } else
            AddAgainstOrder(X, Y, Label, Color);
    }
    // Point (X, Y) of Target whose value or position is not finite: with a
    // finite position, the value becomes 0, Color clNone and the answer
    // true; else false (no point can stand there).
    static bool MakeNullPoint(const TChartSeries& Target, double& X, double& Y, TColor& Color);
    // Adds the points held; without it they are dropped.
    void Finish();

private:
    struct TXY {
        double X;
        double Y;
        QString Label;
        TColor Color;
    };
    enum TMode { omAppending, omHolding, omAsTheyCome };
    // Whether AddXY puts X at the end: after the last value not beyond it.
    // (A point the series refused leaves FLast beyond its last value: a
    // later point may then be held without need, never appended out of
    // order.)
    bool ComesAtTheEnd(double X) const
    {
        return FUnordered || !FHasLast || (FAscending ? X >= FLast : X <= FLast);
    }
    void Append(double X, double Y, const QString& Label, TColor Color);
    void AddAgainstOrder(double X, double Y, const QString& Label, TColor Color);
    // Takes back the points appended so far and holds them.
    void StartHolding();

    TChartSeries& FTarget;
    bool FUnordered; // the X list's order is none
    bool FAscending; // else descending
    int FFirst;      // the first index this output added at
    TMode FMode;
    bool FHasLast;   // FLast holds the X list's last value
    double FLast = 0;
    std::vector<TXY> FHeld;
};

class TPlotFunction : public TComponent {
    Q_OBJECT
public:
    enum TFunctionPeriodStyle { psNumPoints, psRange };
    Q_ENUM(TFunctionPeriodStyle)
    enum TFunctionPeriodAlign { paFirst, paCenter, paLast };
    Q_ENUM(TFunctionPeriodAlign)

private:
    Q_PROPERTY(double Period READ Period WRITE SetPeriod)
    Q_CLASSINFO("default:Period", "0")
    Q_PROPERTY(TFunctionPeriodStyle PeriodStyle READ PeriodStyle WRITE SetPeriodStyle)
    Q_CLASSINFO("default:PeriodStyle", "psNumPoints")
    Q_PROPERTY(TFunctionPeriodAlign PeriodAlign READ PeriodAlign WRITE SetPeriodAlign)
    Q_CLASSINFO("default:PeriodAlign", "paCenter")

public:
    explicit TPlotFunction(TComponent* AOwner = nullptr);

    void Assign(const TPersistent* Source) override;

    double Period() const { return FPeriod; }
    // Negative periods raise ChartException; recalculates on a change.
    void SetPeriod(double Value);
    // Stores the period without recalculating.
    void InternalSetPeriod(double Value) { FPeriod = Value; }
    TFunctionPeriodStyle PeriodStyle() const { return FPeriodStyle; }
    void SetPeriodStyle(TFunctionPeriodStyle Value);
    TFunctionPeriodAlign PeriodAlign() const { return FPeriodAlign; }
    void SetPeriodAlign(TFunctionPeriodAlign Value);

    TChartSeries* ParentSeries() const { return FParent; }
    // Called by the series that takes the function; a series that does not
    // hold the function yet is made to take it.
    void SetParentSeries(TChartSeries* Value);
    bool UsesPeriod() const { return FUsesPeriod; }
    bool RecalculateOnRefill() const { return FRecalculateOnRefill; }
    bool IsMoving() const { return FIsMoving; }
    // What the function needs of its sources, fixed by each type: none at
    // all (it makes its points itself), exactly one series, and whether it
    // reads fixed value lists of that series (so no list can be chosen).
    bool NoSourceRequired() const { return FNoSourceRequired; }
    bool SingleSource() const { return FSingleSource; }
    bool FixedValueLists() const { return FFixedValueLists; }
    // Whether the function needs a period above 0 to compute anything
    // sensible (a moving window does): editors offer no "All points" then.
    virtual bool PeriodRequired() const { return FIsMoving; }

    // The number of Period wide ranges the by-range walk makes over
    // Positions, from its first value to its largest (0 without values;
    // infinite when positions or period cannot be counted in).
    static double RangeCount(TChartValueList& Positions, double Period);
    // Raises ChartException when walking Source's positions by ranges of
    // Period would make more than MaxFunctionPoints ranges (a Period of 0
    // makes none).
    static void CheckRangeCount(TChartSeries& Source, double Period);

    void BeginUpdate() { FUpdating = true; }
    // Resumes and recalculates.
    void EndUpdate();
    // Makes the parent refill itself from its sources unless suspended.
    void ReCalculate();

    // Computes the parent's points from Source (nullptr: no source).
    // Nothing while updating; with two or more data sources in the parent
    // point by point across them, else DoCalculation over Source's points.
    virtual void AddPoints(TChartSeries* Source);

    // --- The walks ---

    // Adds the result of Calculate over FirstIndex .. LastIndex at X.
    virtual void CalculatePeriod(TChartSeries* Source, double X, int FirstIndex, int LastIndex);
    // One result over all points: at the middle of the positions when the
    // parent centres function results, else at the smallest and largest.
    virtual void CalculateAllPoints(TChartSeries* Source, TChartValueList* NotMandatorySource);
    // One result per period of Period points (psNumPoints) or of a Period
    // wide X range (psRange), placed by PeriodAlign. Ranges too many to
    // compute (see CheckRangeCount) add nothing.
    virtual void CalculateByPeriod(TChartSeries* Source, TChartValueList* NotMandatorySource);
    // CalculateByPeriod when Period is not 0, else CalculateAllPoints.
    virtual void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource);
    // Every series of Chart gets its (enabled) gallery preparation.
    virtual void PrepareForGallery(TCustomAxisPanel* Chart);
    // The result over Source's points FirstIndex .. LastIndex (-1 .. -1:
    // all points); 0 in the base.
    virtual double Calculate(TChartSeries* Source, int FirstIndex, int LastIndex);
    // The result for point ValueIndex across SourceList; 0 in the base.
    virtual double CalculateMany(const std::vector<TChartSeries*>& SourceList, int ValueIndex);

    // The list of Source the function reads: the one named by the ValueSource
    // of the parent's mandatory list, else Source's mandatory list.
    TChartValueList* ValueList(TChartSeries* Source) const;
    // Adds a result to the parent: (X, Y) when the source's mandatory list
    // is Y, else (Y, X). A result beyond the doubles (inf or NaN) adds a
    // null point (TFunctionOutput::MakeNullPoint).
    void AddFunctionXY(bool SourceIsY, double Y, double X, const QString& Label = QString());
    // The same into Output, which the caller finishes.
    static void AddFunctionXY(TFunctionOutput& Output, bool SourceIsY, double Y, double X,
                              const QString& Label = QString());
    // Point Source->Count() - 1 was just appended to Source, the parent's
    // only source, whose output the parent holds up to date: adds the
    // output that point brings, exactly as a recalculation would have it,
    // and says true; false (nothing done) where the function cannot (the
    // base: every function whose earlier output a new point may change).
    virtual bool AddAppendedPoint(TChartSeries* Source);
    // Whether AddAppendedPoint can add anything (its output depends on its
    // source's points and its settings alone).
    virtual bool AddsAppendedPoints() const { return false; }
    // The parent's data sources that are series, in list order.
    std::vector<TChartSeries*> SourceSeriesList() const;
    // The parent series was cleared.
    virtual void Clear() {}
    // Whether Series may be a source of this function.
    virtual bool IsValidSource(TChartSeries* Series) const;
    virtual QString GetEditorClassName() const { return QStringLiteral("TPlotFunctionEditor"); }

    // Read from a file with the points its parent was saved with, the
    // function rebuilds the lines of its own that the file does not hold
    // (RestoreOwnLines); one that cannot leaves them empty.
    void Loaded() override;

    // Streaming parent: the parent series.
    bool HasParent() const { return true; }
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

protected:
    void SetUsesPeriod(bool Value) { FUsesPeriod = Value; }
    void SetRecalculateOnRefill(bool Value) { FRecalculateOnRefill = Value; }
    void SetIsMoving(bool Value) { FIsMoving = Value; }
    void SetNoSourceRequired(bool Value) { FNoSourceRequired = Value; }
    void SetSingleSource(bool Value) { FSingleSource = Value; }
    void SetFixedValueLists(bool Value) { FFixedValueLists = Value; }
    bool IsUpdating() const { return FUpdating; }
    // The lines a function draws beside its parent (a signal line, a lower
    // band), made again from the parent and its sources; none in the base.
    virtual void RestoreOwnLines(TChartSeries& Parent) { (void)Parent; }

private:
    // Point by point across the parent's sources; the source with the most
    // points (starting from Source) gives positions and labels.
    void AddManySeriesPoints(TChartSeries* Source);

    double FPeriod = 0;
    TFunctionPeriodStyle FPeriodStyle = psNumPoints;
    TFunctionPeriodAlign FPeriodAlign = paCenter;
    TChartSeries* FParent = nullptr;
    bool FUpdating = false;
    bool FUsesPeriod = true;
    bool FRecalculateOnRefill = false;
    bool FIsMoving = false;
    bool FNoSourceRequired = false;
    bool FSingleSource = false;
    bool FFixedValueLists = false;
};

// A moving window of Period points: one result per point from the
// Period-th on, at that point's position.
class TPlotMovingFunction : public TPlotFunction {
    Q_OBJECT
    Q_CLASSINFO("default:Period", "1")
public:
    explicit TPlotMovingFunction(TComponent* AOwner = nullptr);
    void DoCalculation(TChartSeries* Source, TChartValueList* NotMandatorySource) override;
    // The result of the window ending at the new point, where the function
    // computes every result from its own window alone (WindowOnly).
    bool AddAppendedPoint(TChartSeries* Source) override;
    bool AddsAppendedPoints() const override { return WindowOnly(); }

protected:
    // Whether each result depends on its window's source points only (and
    // the first point), so a point appended to the source adds one result
    // and changes none before it. Kinds that walk the source their own way
    // say no (the base).
    virtual bool WindowOnly() const { return false; }
};

} // namespace lp
