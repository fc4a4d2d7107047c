#pragma once
// The grid transpose tool: on request swaps the X and Z values of a 3-D
// grid series, keeping the point order, the Y values, labels and colours.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotTools.h"

namespace lp {

class TCustom3DGridSeries;

class TGridTransposeTool : public TPlotCustomTool {
    Q_OBJECT
    Q_PROPERTY(lp::TChartSeries* Series READ Series WRITE SetSeries)

public:
    explicit TGridTransposeTool(TComponent* AOwner = nullptr);

    QString GetEditorClassName() const override { return QStringLiteral("TGridTransposeToolEdit"); }
    // "3D Grid Transpose".
    QString Description() const override;

    // The grid series (free-notified: cleared when it goes).
    TCustom3DGridSeries* GridSeries() const { return FSeries; }
    TChartSeries* Series() const;
    // Only a grid series is taken; any other is stored as none.
    void SetSeries(TChartSeries* Value);

    // Swaps X and Z of every point; nothing unless active with a series.
    void Transpose();

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustom3DGridSeries* FSeries = nullptr;
};

void RegisterGridTransposeTool();
void UnregisterGridTransposeTool();

} // namespace lp
