#pragma once
// A picture whose content is a whole chart, registered for the native chart
// file extension "vud", so every picture holder can load a chart file and
// draw it at any size.
//
//   TChartImage ──owns or observes──> TChart
//
// The chart is made on first need (Chart, size, drawing, saving): a TChart
// without owner and without buffered display, owned by the picture. A chart
// given through SetChart is only observed and never freed here.

#include "chart/engine/PlotAxis.h" // complete for the chart classes' meta-objects
#include "chart/engine/PlotChart.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawingLimits.h"

#include <memory>

namespace lp {

class TChartImage : public TGraphic {
    Q_OBJECT
    Q_PROPERTY(lp::TChart* Chart READ Chart WRITE SetChart)
public:
    TChartImage();
    ~TChartImage() override;

    TChart* Chart() const;
    // Observes Value (not owned); a chart this picture owned is freed.
    void SetChart(TChart* Value);
    bool OwnsChart() const { return FOwnsChart; }

    // From another chart picture with a chart: that chart's settings;
    // anything else as any graphic.
    void Assign(const TPersistent* Source) override;
    // Fills Rect white, then draws the chart into it. A Rect beyond the
    // drawn-picture limits (DrawingLimits.h) gets the chart drawn at a size
    // scaled down to them, stretched over Rect.
    void Draw(TCanvas& Canvas, const TRect& Rect) const override;
    // No chart yet.
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value);
    void SetHeight(int Value);
    // Whatever the value: the chart's colour becomes clNone.
    void SetTransparent(bool Value) override;
    // A chart file of either form (LoadChartFromStream).
    void LoadFromStream(QIODevice& Stream) override;
    // The binary chart file with the series' points.
    void SaveToStream(QIODevice& Stream) const override;
    // As SaveChartToFile: ".vud" added to a name without extension.
    void SaveToFile(const QString& FileName) const;
    // The chart at its own size, or scaled down to the drawn-picture
    // limits (ImageSize) when it is larger.
    QImage ToImage() const override;
    TPixelSize ImageSize() const;

private:
    mutable std::unique_ptr<TChart> FOwnedChart;
    TChart* FChart = nullptr;
    mutable bool FOwnsChart = true;
};

// Registers TChartImage for "vud" ("VudEvevu") with the picture formats.
void RegisterChartImage();
void UnRegisterChartImage();

} // namespace lp
