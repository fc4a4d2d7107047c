#pragma once
// The extra legend tool: a second legend on the chart, listing the values
// of the tool's series, placed freely and styled apart from the chart's
// own legend. Drawn after the chart (event 0).
//
//   TExtraLegendTool ─owns─> TChartLegend (made on first read of Legend:
//                            custom position, lsValues, the tool's chart)

#include "chart/engine/PlotLegend.h"
// The tools header observes axes through QPointer: their class must be
// complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotTools.h"

#include <memory>

namespace lp {

// The extra legend: placed by hand and listing values unless told
// otherwise, so that only what differs from that is stored.
class TExtraLegend : public TChartLegend {
    Q_OBJECT
    Q_CLASSINFO("default:CustomPosition", "true")
    Q_CLASSINFO("default:LegendStyle", "lsValues")
    Q_CLASSINFO("default:Left", "0")
    Q_CLASSINFO("default:Top", "0")

public:
    explicit TExtraLegend(TCustomAxisPanel* Chart = nullptr);
};

class TExtraLegendTool : public TPlotCustomToolSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartLegend* Legend READ Legend WRITE SetLegend)
    Q_CLASSINFO("stored:Legend", "IsLegendStored")
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)

public:
    explicit TExtraLegendTool(TComponent* AOwner = nullptr);
    ~TExtraLegendTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TExtraLegendEditor"); }
    // "Extra Legend".
    QString Description() const override;

    // Created on first read.
    TChartLegend* Legend();
    void SetLegend(const TChartLegend* Value) { Legend()->Assign(Value); }
    // Only a legend that exists is stored.
    Q_INVOKABLE bool IsLegendStored() const { return FLegend != nullptr; }

    // The legend follows the tool to its chart.
    void SetParentChart(TCustomAxisPanel* Value) override;
    void SetSeries(TChartSeries* Value) override;
    void ChartEvent(int Event) override;

private:
    std::unique_ptr<TExtraLegend> FLegend;
};

void RegisterExtraLegendTool();
void UnregisterExtraLegendTool();

} // namespace lp
