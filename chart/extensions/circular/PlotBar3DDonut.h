#pragma once
// Two small variants of the engine's standard series: bars that start at a
// per-point offset instead of the common origin, and a pie with a hole.

#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotPieSeries.h"

namespace lp {

// Each bar runs from its offset ("Offset" list) to its Y value.
class TBar3DSeries : public TBarSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* OffsetValues READ OffsetValues WRITE SetOffsetValues)

public:
    explicit TBar3DSeries(TComponent* AOwner = nullptr);

    // Stores AOffset as the pending offset, then adds the point; the new
    // index.
    int AddBar(double X, double Y, double AOffset, const QString& ALabel = {}, TColor AColor = clPlotColor);

    TChartValueList* OffsetValues() const { return FOffsetValues; }
    void SetOffsetValues(const TChartValueList* Value) { SetValueList(FOffsetValues, Value); }

    // The bar of ValueIndex starts at its offset.
    double GetOriginValue(int ValueIndex, bool SumAll) const override;
    // The inherited value plus the offset.
    double GetStackValue(int ValueIndex) const override;
    // With bars that do not stack the offsets widen the range: the largest
    // offset, and Y + offset of the points with a negative offset.
    double MaxYValue() override;
    double MinYValue() override;
    bool SubGalleryStack() const override { return false; }
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;

private:
    bool OffsetsWidenRange() const { return MultiBar() == mbNone || MultiBar() == mbSide; }

    TChartValueList* FOffsetValues = nullptr; // owned by the value lists
};

class TDonutSeries : public TPieSeries {
    Q_OBJECT
    Q_PROPERTY(int DonutPercent READ DonutPercent WRITE SetDonutPercent)
    Q_CLASSINFO("default:DonutPercent", "50")

public:
    explicit TDonutSeries(TComponent* AOwner = nullptr);
    // DonutPercent from another donut, then the pie's copy; a hole below
    // 1 per cent becomes 50.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TDonutSeriesEditor"); }
};

// "Bar 3D" on the "Other" gallery page, "Donut" on "Extended"; the
// unregistering undoes it.
void RegisterBar3DDonutSeries();
void UnregisterBar3DDonutSeries();

} // namespace lp
