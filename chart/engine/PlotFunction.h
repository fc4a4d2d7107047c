#pragma once
// The function base: a component that computes the points of its parent
// series from the parent's data sources.
//
//   TChartSeries ─owns─> TPlotFunction   (the series' SeriesFunction)
//
// The parent series refills itself through AddPoints whenever its sources
// change; the walks over the sources (all points, by period, moving window,
// many series) belong to the concrete function classes.

#include "platform/core/Component.h"

namespace lp {

class TChartSeries;

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
    // Called by the series that takes the function.
    void SetParentSeries(TChartSeries* Value) { FParent = Value; }
    bool UsesPeriod() const { return FUsesPeriod; }
    bool RecalculateOnRefill() const { return FRecalculateOnRefill; }
    bool IsMoving() const { return FIsMoving; }

    void BeginUpdate() { FUpdating = true; }
    // Resumes and recalculates.
    void EndUpdate();
    // Makes the parent refill itself from its sources unless suspended.
    void ReCalculate();

    // Computes the parent's points from Source (nullptr: no source).
    virtual void AddPoints(TChartSeries* Source);
    // The parent series was cleared.
    virtual void Clear() {}
    // Whether Series may be a source of this function.
    virtual bool IsValidSource(TChartSeries* Series) const;
    virtual QString GetEditorClassName() const { return QStringLiteral("TPlotFunctionEditor"); }

    // Streaming parent: the parent series.
    bool HasParent() const { return true; }
    TComponent* GetParentComponent() const;
    void SetParentComponent(TComponent* Value);

protected:
    void SetUsesPeriod(bool Value) { FUsesPeriod = Value; }
    void SetRecalculateOnRefill(bool Value) { FRecalculateOnRefill = Value; }
    void SetIsMoving(bool Value) { FIsMoving = Value; }

private:
    double FPeriod = 0;
    TFunctionPeriodStyle FPeriodStyle = psNumPoints;
    TFunctionPeriodAlign FPeriodAlign = paCenter;
    TChartSeries* FParent = nullptr;
    bool FUpdating = false;
    bool FUsesPeriod = true;
    bool FRecalculateOnRefill = false;
    bool FIsMoving = false;
};

} // namespace lp
