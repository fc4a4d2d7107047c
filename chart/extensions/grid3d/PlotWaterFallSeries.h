#pragma once
// The surface series switched to its waterfall mode: each row of the grid
// becomes a vertical strip under its value line. The mode stays on after a
// copy from a plain surface.
//
//   TSurfaceSeries
//     └─ TWaterFallSeries

#include "chart/extensions/grid3d/PlotSurfaceSeries.h"

namespace lp {

class TWaterFallSeries : public TSurfaceSeries {
    Q_OBJECT
    Q_PROPERTY(bool WaterFall READ WaterFall WRITE SetWaterFall)
    Q_CLASSINFO("default:WaterFall", "true")

public:
    explicit TWaterFallSeries(TComponent* AOwner = nullptr);

    // The surface's copy, then the waterfall mode again.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TWaterFallEditor"); }
    // The surface's styles, then "No Lines" (6: WaterLines hidden).
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    // The palette base's view, then the chart's 3-D switch follows Is3D.
    void GalleryChanged3D(bool Is3D) override;
};

} // namespace lp
