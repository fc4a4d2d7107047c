#pragma once
// The fast line series: a pen and a polyline through the visible points, no
// pointers and no per-point brushes, with an optional two-colour fill between
// the line and an origin line, and incremental drawing of added points.
//
//   TChartSeries
//     └─ TFastLineSeries   LinePen is the element's Pen
//
// Drawing (DrawAllValues) goes in three steps: the X and Y value arrays are
// read directly, mapped through the two axes into runs of pixels (a run ends
// at a null point when IgnoreNulls is off; stairs add their corner points;
// with DrawAllPoints off the points of one pixel column are reduced to the
// column's entry, its lowest and highest pixels and its exit, in the order
// that keeps every pixel of the full line; for sorted data the columns are
// found in value space so that only those points are mapped), then the fill
// polygons
// (FillMode 1 or 2) and one canvas polyline per run are emitted. There is no
// virtual call per point.

#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotMarks.h"

#include <vector>

namespace lp {

class TChartAxis;

class TFastLineSeries : public TCustomLineSeries {
    Q_OBJECT
    Q_PROPERTY(bool AutoRepaint READ AutoRepaint WRITE SetAutoRepaint)
    Q_CLASSINFO("default:AutoRepaint", "true")
    Q_PROPERTY(bool DrawAllPoints READ DrawAllPoints WRITE SetDrawAllPoints)
    Q_CLASSINFO("default:DrawAllPoints", "true")
    Q_PROPERTY(bool IgnoreNulls READ IgnoreNulls WRITE SetIgnoreNulls)
    Q_CLASSINFO("default:IgnoreNulls", "true")
    Q_PROPERTY(bool InvertedStairs READ InvertedStairs WRITE SetInvertedStairs)
    Q_CLASSINFO("default:InvertedStairs", "false")
    Q_PROPERTY(lp::TChartPen* LinePen READ LinePen WRITE SetLinePen)
    Q_PROPERTY(bool Stairs READ Stairs WRITE SetStairs)
    Q_CLASSINFO("default:Stairs", "false")
    Q_PROPERTY(lp::TChartValueList* XValues READ XValues WRITE SetXValues)
    Q_PROPERTY(lp::TChartValueList* YValues READ YValues WRITE SetYValues)
    // The line and fill settings (stored so that a saved chart keeps them).
    Q_PROPERTY(bool DrawLine READ DrawLine WRITE SetDrawLine)
    Q_CLASSINFO("default:DrawLine", "true")
    Q_PROPERTY(int FillMode READ FillMode WRITE SetFillMode)
    Q_CLASSINFO("default:FillMode", "0")
    Q_PROPERTY(double FillOrigin READ FillOrigin WRITE SetFillOrigin)
    Q_CLASSINFO("default:FillOrigin", "0")
    Q_PROPERTY(int FillColorAbove READ FillColorAbove WRITE SetFillColorAbove)
    Q_CLASSINFO("default:FillColorAbove", "0x20000000")
    Q_PROPERTY(int FillColorBelow READ FillColorBelow WRITE SetFillColorBelow)
    Q_CLASSINFO("default:FillColorBelow", "0x20000000")
    Q_PROPERTY(bool ClearAbove READ ClearAbove WRITE SetClearAbove)
    Q_CLASSINFO("default:ClearAbove", "false")
    Q_PROPERTY(bool ClearBelow READ ClearBelow WRITE SetClearBelow)
    Q_CLASSINFO("default:ClearBelow", "false")

public:
    // FillMode values.
    static constexpr int fmNone = 0;
    static constexpr int fmHorizontalOrigin = 1; // fill against a horizontal origin line (Y = FillOrigin)
    static constexpr int fmVerticalOrigin = 2;   // fill against a vertical origin line (X = FillOrigin)

    explicit TFastLineSeries(TComponent* AOwner = nullptr);
    ~TFastLineSeries() override;

    // The series settings, then the line settings (the five switches and
    // DrawLine) and the fill settings.
    void Assign(const TPersistent* Source) override;
    QString GetEditorClassName() const override { return QStringLiteral("TFastLineSeriesEditor"); }

    // False: each added point is drawn at once on the chart's canvas
    // instead of repainting the chart.
    bool AutoRepaint() const { return FAutoRepaint; }
    void SetAutoRepaint(bool Value) { FAutoRepaint = Value; }
    // False: points that fall on the same pixel column are reduced to that
    // column's entry, lowest, highest and exit pixels; the line keeps the
    // pixels of drawing every point (columns the device would cut, and
    // every column in 3-D, keep all their points).
    bool DrawAllPoints() const { return FDrawAllPoints; }
    void SetDrawAllPoints(bool Value) { SetBooleanProperty(FDrawAllPoints, Value); }
    // True: null points are left out and the line joins their neighbours;
    // False: a null point breaks the line (and the fill).
    bool IgnoreNulls() const { return FIgnoreNulls; }
    void SetIgnoreNulls(bool Value) { SetBooleanProperty(FIgnoreNulls, Value); }
    // Stairs: from each point horizontally to the next X, then vertically.
    // InvertedStairs (with Stairs): vertically first, then horizontally.
    bool Stairs() const { return FStairs; }
    void SetStairs(bool Value) { SetBooleanProperty(FStairs, Value); }
    bool InvertedStairs() const { return FInvertedStairs; }
    void SetInvertedStairs(bool Value) { SetBooleanProperty(FInvertedStairs, Value); }

    // The polyline is drawn only when set (True after creation).
    bool DrawLine() const { return FDrawLine; }
    void SetDrawLine(bool Value) { SetBooleanProperty(FDrawLine, Value); }
    // fmNone, fmHorizontalOrigin or fmVerticalOrigin; other values raise
    // ChartException and the old value stays.
    int FillMode() const { return FFillMode; }
    void SetFillMode(int Value);
    double FillOrigin() const { return FFillOrigin; }
    void SetFillOrigin(double Value) { SetDoubleProperty(FFillOrigin, Value); }
    // The fill colours of the two sides of the origin line (clPlotColor:
    // the series colour).
    TColor FillColorAbove() const { return FFillColorAbove; }
    void SetFillColorAbove(TColor Value) { SetColorProperty(FFillColorAbove, Value); }
    TColor FillColorBelow() const { return FFillColorBelow; }
    void SetFillColorBelow(TColor Value) { SetColorProperty(FFillColorBelow, Value); }
    // That side is not filled.
    bool ClearAbove() const { return FClearAbove; }
    void SetClearAbove(bool Value) { SetBooleanProperty(FClearAbove, Value); }
    bool ClearBelow() const { return FClearBelow; }
    void SetClearBelow(bool Value) { SetBooleanProperty(FClearBelow, Value); }
    // Incremental drawing selects a device pen in the line colour instead
    // of assigning the chart pen.
    bool DirectPen() const { return FDirectPen; }
    void SetDirectPen(bool Value) { FDirectPen = Value; }

    // The origin line's pixel of the last paint.
    int OriginPixel() const { return FOriginPixel; }

    // --- Drawing ---

    // Canvas pen from LinePen in the series colour (clear when invisible),
    // brush clear, transparent background.
    void PrepareCanvas();
    void DrawAllValues() override;
    // The fill between the segment from the last drawn point to ValueIndex
    // and the origin line, and, when DrawLine is set, the segment itself;
    // ValueIndex becomes the last drawn point. ERangeError outside the
    // points.
    void DrawValue(int ValueIndex) override;
    // The point at (X, Y), else the index of the first point whose segment
    // to the next point passes through (X, Y); -1 when none.
    int Clicked(int X, int Y) override;
    // A horizontal line across Rect at its vertical middle.
    void DrawLegendShape(int ValueIndex, const TRect& Rect) override;
    void DrawMark(int ValueIndex, const QString& St, TSeriesMarkPosition& APosition) override;
    // Also colours LinePen.
    void SetSeriesColor(TColor Color) override;
    // The pen takes Value's settings; the series colour follows its colour.
    void SetPen(const TChartPen* Value) override;
    // W - (W - 2) / 2 pixels on both sides, W the pen width.
    void CalcHorizMargins(int& LeftMargin, int& RightMargin) override;
    void CalcVertMargins(int& TopMargin, int& BottomMargin) override;
    // With AutoRepaint off, draws the new point at once (when the chart's
    // canvas is bound) instead of repainting; the add events and dependent
    // series are told either way.
    void NotifyValueAdded(int ValueIndex) override;
    // "Normal", "Marks", "Dotted", "Stairs".
    void CreateSubGallery(const std::function<void(const QString& Caption)>& AddSubChart) override;
    void SetSubGallery(int Index) override;

    // A pen colour change makes it the series colour.
    void CanvasChanged(QObject* Sender) override;

private:
    // Maps points From .. To into runs of pixels (see the header comment).
    void BuildRuns(int From, int To);
    // BuildRuns for DrawAllPoints off without mapping every point: the
    // sorted X values are grouped by pixel column in value space, and only
    // each column's first, lowest, highest and last values are mapped.
    // Gives the very points BuildRuns gives; false (nothing built) where
    // that cannot be promised: stairs, null points, unsorted or NaN values,
    // axes that are not linear.
    bool BuildColumnRuns(int From, int To);
    // The logical pixels where columns may be reduced: the bound device's
    // surface less a margin; empty (nothing reduced) in 3-D, where points
    // are projected, on a scaled device, or without a device.
    TRect UncutArea() const;
    // The fill of one segment from A to B against the origin line.
    void FillSegment(const TPoint& A, const TPoint& B);
    // Whether a pixel lies on the side of values at or above FillOrigin.
    bool PixelAbove(const TPoint& P) const;
    // Whether point Index is null (no virtual call).
    bool PointIsNull(int Index) const;
    TPoint PointPosition(int Index) const;
    TColor SideColor(bool Above) const;
    int CalcOriginPixel() const;
    void MoveToPoint(const TPoint& P);
    void LineToPoint(const TPoint& P);

    bool FAutoRepaint = true;
    bool FDrawAllPoints = true;
    bool FIgnoreNulls = true;
    bool FInvertedStairs = false;
    bool FStairs = false;
    bool FDirectPen = false;
    TPoint FLastPoint;
    TPoint FPassStart;
    bool FHasLastPoint = false;
    int FFillMode = fmNone;
    bool FDrawLine = true;
    int FOriginPixel = 0;
    double FFillOrigin = 0;
    TColor FFillColorAbove = clPlotColor;
    TColor FFillColorBelow = clPlotColor;
    bool FClearAbove = false;
    bool FClearBelow = false;
    TColor FLastPenColor;
    bool FSyncingColor = false;
    // Drawing scratch, kept between paints to spare allocations.
    std::vector<TPoint> FPoints;
    std::vector<int> FRunEnds;
    std::vector<int> FColumnYs;
};

} // namespace lp
