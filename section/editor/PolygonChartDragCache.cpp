// Drawing the section chart while something is dragged.
//
// A section can hold thousands of bodies; redrawing all of them on every
// mouse move makes a drag lag behind the mouse. While a node (Move node),
// a sub-polygon or a body (Move sub-polygon, Move polygon) is being dragged,
// the rings that change are exactly the selected map polygons (SelIds) and
// the nodes that move are the picked node or SelNodes. Everything else is
// drawn once into a picture of the whole chart; each frame then shows the
// picture in place of the walls and draws over it only the moving rings, the
// drawing aids and the moving nodes' dots; the axes come with the picture.
// The surface and the lines are drawn again over it, pixel for pixel the
// same. Tools that draw behind the series (the picture under the section)
// are in the picture and sit the frames out.
//
// The cache is dropped when the drag ends, the chart's size or axes change,
// or a border node moves (its surface or frame edge moves with it).

#include "section/editor/PolygonChart.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTools.h"
#include "platform/graphics/Bitmap.h"

#include <algorithm>

namespace lp {

bool TPolygonChart::DragCacheWanted(const TRect& Rect) const
{
    if (!DragCacheEnabled || !ModelLoaded || !Editing || BorderMove || SelIds.Empty())
        return false;
    if (!(Rect == GetRectangle()))
        return false; // prints and pictures of other sizes draw everything
    switch (EditMode) {
    case pmMoveNode:
        return PickNode >= 0;
    case pmMovePolygon:
    case pmMoveSubPolygon:
        return !SelNodes.Empty();
    default:
        return false;
    }
}

std::vector<int> TPolygonChart::DragMovingNodes() const
{
    if (EditMode == pmMoveNode)
        return {PickNode};
    return std::vector<int>(SelNodes.begin(), SelNodes.end());
}

bool TPolygonChart::NodeDotIsCached(int Node) const
{
    return Node < static_cast<int>(FDragMovingNode.size()) && FDragMovingNode[static_cast<size_t>(Node)] == 0;
}

std::array<double, 4> TPolygonChart::DragAxesKey() const
{
    return {BottomAxis()->Minimum(), BottomAxis()->Maximum(), LeftAxis()->Minimum(), LeftAxis()->Maximum()};
}

void TPolygonChart::BuildDragCache(const TRect& Rect)
{
    TPlotPolygonList& shapes = *MapSeries()->Shapes();
    std::vector<char> moving(static_cast<size_t>(shapes.Count()), 0);
    for (int index : SelIds)
        if (index >= 0 && index < shapes.Count())
            moving[static_cast<size_t>(index)] = 1;
    // Dots drawn every frame: the moving nodes and every node of a moving
    // ring (the ring's outline would otherwise cover their dots).
    FDragMovingNode.assign(static_cast<size_t>(Nodes.Length()), 0);
    const auto markMoving = [&](int node) {
        if (node >= 0 && node < Nodes.Length())
            FDragMovingNode[static_cast<size_t>(node)] = 1;
    };
    for (int node : DragMovingNodes())
        markMoving(node);
    for (int i = 0; i < std::min(SelBodies.Length(), SelSubPolygons.Length()); ++i) {
        const int body = SelBodies[i];
        const int sub = SelSubPolygons[i];
        if (body >= 0 && body < Model.Length() && sub >= 0 && sub < Model[body].Length())
            for (int32_t node : Model[body][sub].ring)
                markMoving(node);
    }

    // The picture: everything but the moving rings, the drawing aids and
    // the moving nodes' dots (PaintNodes leaves those out while building).
    std::vector<TChartSeries*> hiddenForPicture;
    for (int index = 0; index < shapes.Count(); ++index)
        if (moving[static_cast<size_t>(index)] != 0 && shapes.GetPolygon(index)->Points()->Active())
            hiddenForPicture.push_back(shapes.GetPolygon(index)->Points());
    for (TChartSeries* aid : {static_cast<TChartSeries*>(EditPathSeries), static_cast<TChartSeries*>(RubberBandSeries)})
        if (aid->Active())
            hiddenForPicture.push_back(aid);
    for (TChartSeries* series : hiddenForPicture)
        series->SetActive(false);
    FBuildingDragCache = true;
    FDragCacheActive = true; // PaintNodes: cached dots only
    auto picture = std::make_unique<TBitmap>(Rect.Right - Rect.Left, Rect.Bottom - Rect.Top);
    try {
        TChart::DrawToCanvas(&picture->Canvas(), Rect);
    } catch (...) {
        FBuildingDragCache = false;
        FDragCacheActive = false;
        for (TChartSeries* series : hiddenForPicture)
            series->SetActive(true);
        throw;
    }
    FBuildingDragCache = false;
    for (TChartSeries* series : hiddenForPicture)
        series->SetActive(true);

    // From now on the still rings are drawn by the picture alone.
    FDragHidden.clear();
    for (int index = 0; index < shapes.Count(); ++index) {
        TChartSeries* points = shapes.GetPolygon(index)->Points();
        if (moving[static_cast<size_t>(index)] == 0 && points->Active()) {
            points->SetActive(false);
            FDragHidden.push_back(shapes.GetPolygon(index)->ID());
        }
    }
    FDragPicture = std::move(picture);
    FDragRect = Rect;
    FDragAxes = DragAxesKey();
}

void TPolygonChart::DropDragCache()
{
    // By id: a refused drop may have rebuilt or reordered the map polygons.
    TPlotPolygonList& shapes = *MapSeries()->Shapes();
    for (int index = 0; index < shapes.Count(); ++index) {
        TPlotPolygon* polygon = shapes.GetPolygon(index);
        const int id = polygon->ID();
        if (std::find(FDragHidden.begin(), FDragHidden.end(), id) != FDragHidden.end())
            polygon->Points()->SetActive(true);
    }
    FDragHidden.clear();
    FDragMovingNode.clear();
    FDragPicture.reset();
    FDragCacheActive = false;
}

void TPolygonChart::DrawToCanvas(TCanvas* Target, const TRect& Rect)
{
    if (FLayoutPaint) {
        // Only the axes are wanted. Their ranges are set from the model
        // area; an automatic axis of the map takes its range from the
        // polygons, which are made for it then.
        bool automatic = false;
        for (const TChartAxis* axis : {FMapSeries->GetHorizAxis(), FMapSeries->GetVertAxis()})
            automatic = automatic || (axis != nullptr && (axis->Automatic() || axis->AutomaticMinimum() ||
                                                          axis->AutomaticMaximum()));
        if (automatic)
            MapSeries();
        TChart::DrawToCanvas(Target, Rect);
        return;
    }
    MapSeries(); // polygons left to be made are made before they are drawn
    if (!FBuildingDragCache) {
        const bool wanted = DragCacheWanted(Rect);
        // A new drag, another size or other axes: the picture is stale.
        if (FDragCacheActive && (!wanted || !(Rect == FDragRect) || DragAxesKey() != FDragAxes))
            DropDragCache();
        if (wanted && !FDragCacheActive)
            BuildDragCache(Rect);
    }
    if (!FDragCacheActive || FBuildingDragCache) {
        TChart::DrawToCanvas(Target, Rect);
        return;
    }
    // The picture holds what the tools drew behind the series (the section's
    // scan): a frame leaves those tools out, or they would cover the still
    // bodies of the picture. Switching them off and on must not ask for
    // another paint.
    std::vector<TPlotCustomTool*> behind;
    for (TPlotCustomTool* tool : Tools())
        if (tool->Active() && !tool->DrawInFront())
            behind.push_back(tool);
    const bool repaint = RepaintEnabled();
    SetRepaintEnabled(false);
    for (TPlotCustomTool* tool : behind)
        tool->SetActive(false);
    SetRepaintEnabled(repaint);
    const auto restore = [&] {
        SetRepaintEnabled(false);
        for (TPlotCustomTool* tool : behind)
            tool->SetActive(true);
        SetRepaintEnabled(repaint);
    };
    try {
        TChart::DrawToCanvas(Target, Rect);
    } catch (...) {
        restore();
        throw;
    }
    restore();
}

void TPolygonChart::PaintPanelBackground(const TRect& Rect)
{
    TChart::PaintPanelBackground(Rect);
}

// Frames show the picture where the walls go: after the titles took their
// room and were drawn (the picture covers them with the same pixels), before
// the series. The picture holds the axes too, so frames leave them out;
// smoothed text drawn twice would come out bolder.
void TPolygonChart::DrawWalls()
{
    if (FDragCacheActive && !FBuildingDragCache && FDragPicture) {
        Canvas().StretchDraw(FDragRect, FDragPicture.get());
        return;
    }
    TChart::DrawWalls();
}

void TPolygonChart::DrawAxes()
{
    if (!(FDragCacheActive && !FBuildingDragCache))
        TChart::DrawAxes();
}

void TPolygonChart::DrawTitlesAndLegend(bool BeforeSeries)
{
    TChart::DrawTitlesAndLegend(BeforeSeries);
}

} // namespace lp
