#pragma once
// The floor of the chart benchmarks: what a drawing pass puts on a device,
// captured once in device pixels and replayed straight on QPainter. The
// capture keeps lines, polylines, rectangles, polygons, rectangle fills and
// texts with their colours and fonts; the replay draws them with nothing in
// between (no state, no mapping, no measuring), which is as fast as the same
// picture can be drawn through QPainter.

#include "platform/graphics/DeviceContext.h"

#include <QtGui/QPainter>

#include <functional>
#include <vector>

namespace benchmark {
class State;
}

namespace lp {
class TChart;
}

namespace lp::bench {

class TFloorCaptureDC : public TNullEngineDC {
public:
    TFloorCaptureDC(int Width, int Height) : FWidth(Width), FHeight(Height) {}

    int GetDeviceCaps(int Index) const override;
    QRect DeviceBounds() const override { return QRect(0, 0, FWidth, FHeight); }
    void SetPixel(int, int, TColor) override {}
    TColor GetPixel(int, int) const override { return clNone; }

    void LineTo(int X, int Y) override;
    void Polyline(const TPoint* Points, int Count) override;
    void Rectangle(int L, int T, int R, int B) override;
    void Polygon(const TPoint* Points, int Count) override;
    void FillRect(const TRect& Rect, const TLogBrush& Brush) override;

    // Draws everything captured, in order.
    void Replay(QPainter& Painter) const;
    // How many primitives of each kind were captured ("lines 12, texts 40").
    QString Summary() const;

protected:
    void EngineText(int X, int Y, const QString& Text) override;

private:
    enum class TKind { Line, Polyline, Rectangle, Polygon, Fill, Text };
    struct TItem {
        TKind Kind;
        QPen Pen;
        QBrush Brush;
        QPolygon Points;  // line ends, polyline and polygon corners
        QRect Rect;       // rectangle and fill
        QString Text;
        int Font = -1;    // index into FFonts
        QPointF Origin;   // text reference point
        QPointF Baseline; // from the reference point, in the text's frame
        double Angle = 0; // degrees, counter-clockwise
    };
    // A new item in the current pen and brush (after an item for the gaps
    // of a styled pen on an opaque background).
    TItem& Add(TKind Kind);
    // Gives the gaps item before the last item the last item's geometry.
    void CopyToGaps();
    QPoint Device(int X, int Y) const;

    int FWidth;
    int FHeight;
    std::vector<TItem> FItems;
    std::vector<QFont> FFonts;
};

// The benchmark loop of a paint against its floor: each iteration times
// Draw (the iteration's time) and then Capture replayed on plain QPainter
// into a full-HD image, adding both to the seconds given.
void TimeAgainstFloor(benchmark::State& state, const std::function<void()>& Draw, const TFloorCaptureDC& Capture,
                      double& DrawSeconds, double& FloorSeconds);

// A flat, unbuffered full-HD chart whose chart rectangle (40, 40)-(1880,
// 1040) holds the bottom and left axes at the given ranges.
void SetUpFullHDChart(TChart& Chart, double XMin, double XMax, double YMin, double YMax);
// Paint (drawing on Chart's canvas) run once into a capture, then timed
// into a full-HD bitmap against the capture's replay; reports series_ms,
// floor_ms, their ratio and what was captured.
void RunPaintAgainstFloor(benchmark::State& state, TChart& Chart, const std::function<void()>& Paint);

} // namespace lp::bench
