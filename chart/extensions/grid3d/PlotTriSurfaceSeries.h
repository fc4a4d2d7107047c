#pragma once
// A surface through scattered XYZ points: the points are triangulated in
// the X-Z plane and every triangle is filled in 3-D in the palette colour
// of its first vertex.
//
//   TCustom3DPaletteSeries
//     └─ TCustomTriSurfaceSeries   triangles, depth order, Border
//          └─ TTriSurfaceSeries    the published settings
//
// With HideTriangles the triangles are drawn back to front, ordered by the
// largest Z of their vertices (the far side first, whichever way the depth
// axis and the rotation turn the view); otherwise in triangulation order.
// The triangulation is redone only when an X or Z value changed since the
// last one; fewer than three distinct X-Z positions give no triangles.
// Clicked answers a 1-based triangle number. FastBrush stays off: the
// platform has no per-context brush colour.

#include "chart/canvas/PlotPens.h"
#include "chart/canvas/PlotTypes.h"
#include "chart/engine/PlotPaletteSeries.h"
#include "chart/extensions/grid3d/PlotTriangulation.h"

#include <array>
#include <memory>
#include <vector>

namespace lp {

class TPlotCanvas3D;

// Asked for triangles where the points allow none.
class ETriSurfaceException : public ChartException {
public:
    ETriSurfaceException();
};

class TCustomTriSurfaceSeries : public TCustom3DPaletteSeries {
    Q_OBJECT
public:
    // A triangle as last drawn back to front: its number (1-based), colour
    // and screen corners.
    struct TDrawnTriangle {
        int Triangle = 0;
        TColor Color = clBlack;
        std::array<TPoint, 3> Points;
        double Key = 0;
    };

    explicit TCustomTriSurfaceSeries(TComponent* AOwner = nullptr);
    ~TCustomTriSurfaceSeries() override;

    // From another triangulated surface: Border, HideTriangles,
    // Transparency; then the palette base's copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TTriSurfaceSeriesEditor"); }
    // The palette base's styles, then "Wireframe", "No Line", "Border".
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    // Triangulates again when the X-Z points changed.
    void DoBeforeDrawValues() override;
    void DrawAllValues() override;
    // The 1-based number of the front-most triangle under the pixel, -1
    // when none.
    int Clicked(int X, int Y) override;
    // max(N, 3) random points of a smooth hill in the unit square.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    int NumSampleValues() const override { return 15; }

    // Triangulates now; ETriSurfaceException when three or more points
    // leave no triangle (fewer than three distinct X-Z positions).
    void CalculateTriangles();
    int TriangleCount() const { return static_cast<int>(FTriangulation.Triangles.size()); }
    // Vertex point indexes of triangle Number (1-based); ERangeError
    // outside 1 .. TriangleCount.
    std::array<int, 3> Triangle(int Number) const;
    const std::vector<TTriangulation::TBorderEdge>& BorderEdges() const { return FTriangulation.Border; }
    // The back-to-front list of the last paint (empty when it drew in
    // table order).
    const std::vector<TDrawnTriangle>& DrawnTriangles() const { return FDrawn; }

    TChartPen* Border() const { return FBorder.get(); }
    void SetBorder(const TChartPen* Value) { FBorder->Assign(Value); }
    bool FastBrush() const { return false; }
    void SetFastBrush(bool /*Value*/) {}
    bool HideTriangles() const { return FHideTriangles; }
    void SetHideTriangles(bool Value) { SetBooleanProperty(FHideTriangles, Value); }
    // Percent see-through; ERangeError outside 0 .. 100.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

private:
    // Triangulates when X or Z differ from the values last triangulated.
    void UpdateTriangles();
    // Deepest first (or nearest first when the view is turned around).
    bool DescendingDepthOrder() const;
    void BuildDepthList();
    void DrawDepthList(TPlotCanvas3D& Canvas);
    void DrawTableOrder(TPlotCanvas3D& Canvas);
    void DrawBorder(TPlotCanvas3D& Canvas);
    // Fills a projected triangle, blended when translucent.
    void FillTriangle(TPlotCanvas3D& Canvas, const std::array<TPoint, 3>& Points);
    TPoint3D Vertex(int Point) const;

    std::unique_ptr<TChartHiddenPen> FBorder;
    bool FHideTriangles = true;
    int FTransparency = 0;
    TTriangulation FTriangulation;
    std::vector<double> FTriangulatedX;
    std::vector<double> FTriangulatedZ;
    std::vector<TDrawnTriangle> FDrawn;
};

class TTriSurfaceSeries : public TCustomTriSurfaceSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(lp::TChartPen* Border READ Border WRITE SetBorder)
    Q_PROPERTY(bool FastBrush READ FastBrush WRITE SetFastBrush)
    Q_CLASSINFO("default:FastBrush", "false")
    Q_PROPERTY(bool HideTriangles READ HideTriangles WRITE SetHideTriangles)
    Q_CLASSINFO("default:HideTriangles", "true")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")

public:
    using TCustomTriSurfaceSeries::TCustomTriSurfaceSeries;
};

} // namespace lp
