#pragma once
// A grid series drawn as one solid per node: a 3-D bar from the smallest
// value (or from Origin) up to the node's value, centred on the node and
// PercentWidth by PercentDepth of a cell wide and deep, shaped by
// TowerStyle.
//
//   TCustom3DGridSeries
//     └─ TTowerSeries
//
// Towers are drawn back to front (columns in the drawing direction, rows
// from the back), each optionally see-through. A tower whose origin lies
// above its value hangs down from the origin. A click hits a tower by its
// top plate or its front face; a node coloured clNone is neither drawn nor
// hit.

#include "chart/extensions/grid3d/PlotGridSeries.h"

namespace lp {

class TPlotCanvas3D;

class TTowerSeries : public TCustom3DGridSeries {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
public:
    enum TTowerStyle { tsCube, tsRectangle, tsCover, tsCylinder, tsArrow, tsCone, tsPyramid, tsSlantCube };
    Q_ENUM(TTowerStyle)

private:
    Q_PROPERTY(bool Dark3D READ Dark3D WRITE SetDark3D)
    Q_CLASSINFO("default:Dark3D", "true")
    Q_PROPERTY(bool IrregularGrid READ IrregularGrid WRITE SetIrregularGrid)
    Q_CLASSINFO("default:IrregularGrid", "false")
    Q_PROPERTY(int NumXValues READ NumXValues WRITE SetNumXValues)
    Q_CLASSINFO("default:NumXValues", "10")
    Q_PROPERTY(int NumZValues READ NumZValues WRITE SetNumZValues)
    Q_CLASSINFO("default:NumZValues", "10")
    Q_PROPERTY(double Origin READ Origin WRITE SetOrigin)
    Q_CLASSINFO("default:Origin", "0")
    Q_PROPERTY(int PercentDepth READ PercentDepth WRITE SetPercentDepth)
    Q_CLASSINFO("default:PercentDepth", "100")
    Q_PROPERTY(int PercentWidth READ PercentWidth WRITE SetPercentWidth)
    Q_CLASSINFO("default:PercentWidth", "100")
    Q_PROPERTY(TTowerStyle TowerStyle READ TowerStyle WRITE SetTowerStyle)
    Q_CLASSINFO("default:TowerStyle", "tsCube")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool UseOrigin READ UseOrigin WRITE SetUseOrigin)
    Q_CLASSINFO("default:UseOrigin", "false")

public:
    // A tower's pixels: Box (normalised, Top above Bottom) and its depth Z0
    // (front) .. Z1; Hanging when it reaches down from its origin.
    struct TTowerBox {
        TRect Box;
        int Z0 = 0;
        int Z1 = 0;
        bool Hanging = false;
    };

    explicit TTowerSeries(TComponent* AOwner = nullptr);

    // From another tower series: its look and origin; then the grid base's
    // copy.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TTowerSeriesEditor"); }
    // The palette base's styles, then "No Border", "Single Color", "Marks",
    // "Hollow", "Rectangle", "Cover", "Circle", "Arrow", "Cone", "Pyramid".
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;
    // The palette base's preparation, then a 5 by 5 sample grid.
    void PrepareForGallery(bool IsEnabled) override;

    void DrawAllValues() override;
    // The mark lifted by its callout, at the point's depth.
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    // Each tower is centred on its node: half a cell beyond the extremes.
    double MaxXValue() override;
    double MinXValue() override;
    double MaxZValue() override;
    double MinZValue() override;
    int Clicked(int X, int Y) override;

    // The pixels of point Index's tower (needs a chart).
    TTowerBox TowerBox(int Index);

    bool Dark3D() const { return FDark3D; }
    void SetDark3D(bool Value) { SetBooleanProperty(FDark3D, Value); }
    double Origin() const { return FOrigin; }
    void SetOrigin(double Value) { SetDoubleProperty(FOrigin, Value); }
    int PercentDepth() const { return FPercentDepth; }
    void SetPercentDepth(int Value) { SetIntegerProperty(FPercentDepth, Value); }
    int PercentWidth() const { return FPercentWidth; }
    void SetPercentWidth(int Value) { SetIntegerProperty(FPercentWidth, Value); }
    TTowerStyle TowerStyle() const { return FTowerStyle; }
    void SetTowerStyle(TTowerStyle Value);
    // Percent see-through; ERangeError outside 0 .. 100.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);
    bool UseOrigin() const { return FUseOrigin; }
    void SetUseOrigin(bool Value) { SetBooleanProperty(FUseOrigin, Value); }

private:
    void DrawTower(TPlotCanvas3D& Canvas, const TTowerBox& Tower);
    // The screen area a tower covers, for blending.
    TRect ScreenArea(const TPlotCanvas3D& Canvas, const TTowerBox& Tower) const;
    bool Hit(const TPlotCanvas3D& Canvas, const TTowerBox& Tower, const TPoint& P) const;

    bool FDark3D = true;
    double FOrigin = 0;
    int FPercentDepth = 100;
    int FPercentWidth = 100;
    TTowerStyle FTowerStyle = tsCube;
    int FTransparency = 0;
    bool FUseOrigin = false;
};

using TTowerStyle = TTowerSeries::TTowerStyle;

} // namespace lp
