// Registration of the grid and surface family.

#include "chart/extensions/grid3d/PlotGrid3DGallery.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "chart/extensions/grid3d/PlotContourSeries.h"
#include "chart/extensions/grid3d/PlotTowerSeries.h"
#include "chart/extensions/grid3d/PlotTriSurfaceSeries.h"
#include "chart/extensions/grid3d/PlotVector3DSeries.h"
#include "chart/extensions/grid3d/PlotWaterFallSeries.h"
#include "platform/core/ClassRegistry.h"

namespace lp {

void RegisterGrid3DSeries()
{
    RegisterPlotSeries<TSurfaceSeries>(&PlotMsg_GallerySurface, &PlotMsg_Gallery3D, 1);
    RegisterPlotSeries<TContourSeries>(&PlotMsg_GalleryContour, &PlotMsg_Gallery3D, 1);
    RegisterPlotSeries<TWaterFallSeries>(&PlotMsg_GalleryWaterFall, &PlotMsg_Gallery3D, 1);
    RegisterPlotSeries<TColorGridSeries>(&PlotMsg_GalleryColorGrid, &PlotMsg_Gallery3D, 1);
    RegisterPlotSeries<TVector3DSeries>(&PlotMsg_GalleryVector3D, &PlotMsg_Gallery3D, 1);
    RegisterPlotSeries<TTowerSeries>(&PlotMsg_GalleryTower, &PlotMsg_Gallery3D, 1);
    RegisterPlotSeries<TTriSurfaceSeries>(&PlotMsg_GalleryTriangleSurface, &PlotMsg_Gallery3D, 1);
}

void UnregisterGrid3DSeries()
{
    const std::initializer_list<const QMetaObject*> Classes = {
        &TSurfaceSeries::staticMetaObject,   &TContourSeries::staticMetaObject, &TWaterFallSeries::staticMetaObject,
        &TColorGridSeries::staticMetaObject, &TVector3DSeries::staticMetaObject, &TTowerSeries::staticMetaObject,
        &TTriSurfaceSeries::staticMetaObject};
    UnRegisterPlotSeries(Classes);
    for (const QMetaObject* Meta : Classes)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
