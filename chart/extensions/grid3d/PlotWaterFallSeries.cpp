// The waterfall series.

#include "chart/extensions/grid3d/PlotWaterFallSeries.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"

namespace lp {

TWaterFallSeries::TWaterFallSeries(TComponent* AOwner) : TSurfaceSeries(AOwner)
{
    SetWaterFall(true);
}

void TWaterFallSeries::Assign(const TPersistent* Source)
{
    TSurfaceSeries::Assign(Source);
    SetWaterFall(true);
}

void TWaterFallSeries::CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart)
{
    TSurfaceSeries::CreateSubGallery(AddSubChart);
    AddSubChart(PlotMsg_StyleNoLines);
}

void TWaterFallSeries::SetSubGallery(int Index)
{
    if (Index == 6)
        WaterLines()->SetVisible(false);
    else
        TSurfaceSeries::SetSubGallery(Index);
}

void TWaterFallSeries::GalleryChanged3D(bool Is3D)
{
    TSurfaceSeries::GalleryChanged3D(Is3D);
    if (TCustomAxisPanel* Chart = ParentChart())
        Chart->SetView3D(Is3D);
}

} // namespace lp
