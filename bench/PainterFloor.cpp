#include "PainterFloor.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PainterDC.h"

#include <benchmark/benchmark.h>

#include <chrono>

#include <map>

namespace lp::bench {

int TFloorCaptureDC::GetDeviceCaps(int Index) const
{
    switch (Index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZRES:
    case PHYSICALWIDTH: return FWidth;
    case VERTRES:
    case PHYSICALHEIGHT: return FHeight;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    default: return 0;
    }
}

QPoint TFloorCaptureDC::Device(int X, int Y) const
{
    return ToDevice(X, Y).toPoint();
}

TFloorCaptureDC::TItem& TFloorCaptureDC::Add(TKind Kind)
{
    const QList<qreal> DashPattern = Pen().Geometric ? QList<qreal>() : CosmeticDashes(Pen().Style);
    if (PenDraws() && !DashPattern.isEmpty() && BkMode() == OPAQUE && Kind != TKind::Fill && Kind != TKind::Text) {
        // The gaps of a styled line in the background colour, first.
        TItem& Gaps = FItems.emplace_back();
        Gaps.Kind = Kind;
        Gaps.Pen = QPen(ToQColor(BkColor()), 0);
        Gaps.Pen.setCapStyle(Qt::FlatCap);
    }
    TItem& Item = FItems.emplace_back();
    Item.Kind = Kind;
    if (PenDraws()) {
        Item.Pen = QPen(ToQColor(Pen().Color), Pen().Geometric ? Pen().Width : 0);
        Item.Pen.setCapStyle(Qt::FlatCap);
        if (!DashPattern.isEmpty())
            Item.Pen.setDashPattern(DashPattern);
    } else {
        Item.Pen = QPen(Qt::NoPen);
    }
    if (BrushFills())
        Item.Brush = QBrush(ToQColor(Brush().Kind == TBrushKind::DCBrush ? DCBrushColor() : Brush().Color));
    return Item;
}

void TFloorCaptureDC::LineTo(int X, int Y)
{
    Add(TKind::Line).Points = QPolygon({Device(CurrentPosition().X, CurrentPosition().Y), Device(X, Y)});
    CopyToGaps();
    TNullEngineDC::LineTo(X, Y);
}

void TFloorCaptureDC::CopyToGaps()
{
    if (FItems.size() < 2)
        return;
    TItem& Item = FItems.back();
    TItem& Gaps = FItems[FItems.size() - 2];
    if (Gaps.Kind == Item.Kind && Gaps.Points.isEmpty() && Gaps.Rect.isNull() && Gaps.Text.isEmpty()) {
        Gaps.Points = Item.Points;
        Gaps.Rect = Item.Rect;
    }
}

void TFloorCaptureDC::Polyline(const TPoint* Points, int Count)
{
    TItem& Item = Add(TKind::Polyline);
    for (int I = 0; I < Count; ++I)
        Item.Points << Device(Points[I].X, Points[I].Y);
    CopyToGaps();
}

void TFloorCaptureDC::Rectangle(int L, int T, int R, int B)
{
    Add(TKind::Rectangle).Rect = QRect(Device(L, T), Device(R, B) - QPoint(2, 2)).normalized();
    CopyToGaps();
}

void TFloorCaptureDC::Polygon(const TPoint* Points, int Count)
{
    TItem& Item = Add(TKind::Polygon);
    for (int I = 0; I < Count; ++I)
        Item.Points << Device(Points[I].X, Points[I].Y);
    CopyToGaps();
}

void TFloorCaptureDC::FillRect(const TRect& Rect, const TLogBrush& Brush)
{
    TItem& Item = Add(TKind::Fill);
    Item.Brush = QBrush(ToQColor(Brush.Kind == TBrushKind::DCBrush ? DCBrushColor() : Brush.Color));
    Item.Rect = QRect(Device(Rect.Left, Rect.Top), Device(Rect.Right, Rect.Bottom) - QPoint(1, 1)).normalized();
}

void TFloorCaptureDC::EngineText(int X, int Y, const QString& Text)
{
    const TTextPlacement Placement = PlaceText(X, Y, Text);
    TItem& Item = Add(TKind::Text);
    Item.Pen = QPen(ToQColor(TextColor()));
    Item.Text = Text;
    Item.Origin = Placement.Reference;
    Item.Baseline = Placement.Baseline;
    Item.Angle = Placement.Angle;
    for (size_t I = 0; I < FFonts.size() && Item.Font < 0; ++I)
        if (FFonts[I] == Placement.DeviceFont)
            Item.Font = static_cast<int>(I);
    if (Item.Font < 0) {
        Item.Font = static_cast<int>(FFonts.size());
        FFonts.push_back(Placement.DeviceFont);
    }
}

void TFloorCaptureDC::Replay(QPainter& Painter) const
{
    int Font = -1;
    for (const TItem& Item : FItems) {
        if (Painter.pen() != Item.Pen)
            Painter.setPen(Item.Pen);
        switch (Item.Kind) {
        case TKind::Line: Painter.drawLine(Item.Points[0], Item.Points[1]); break;
        case TKind::Polyline: Painter.drawPolyline(Item.Points); break;
        case TKind::Rectangle:
            Painter.setBrush(Item.Brush);
            Painter.drawRect(Item.Rect);
            break;
        case TKind::Polygon:
            Painter.setBrush(Item.Brush);
            Painter.drawPolygon(Item.Points);
            break;
        case TKind::Fill: Painter.fillRect(Item.Rect, Item.Brush); break;
        case TKind::Text:
            if (Item.Font != Font) {
                Painter.setFont(FFonts[static_cast<size_t>(Item.Font)]);
                Font = Item.Font;
            }
            if (Item.Angle == 0) {
                Painter.drawText(Item.Origin + Item.Baseline, Item.Text);
            } else {
                Painter.save();
                Painter.translate(Item.Origin);
                Painter.rotate(-Item.Angle);
                Painter.drawText(Item.Baseline, Item.Text);
                Painter.restore();
            }
            break;
        }
    }
}

QString TFloorCaptureDC::Summary() const
{
    std::map<TKind, int> Counts;
    for (const TItem& Item : FItems)
        ++Counts[Item.Kind];
    const char* Names[] = {"lines", "polylines", "rectangles", "polygons", "fills", "texts"};
    QString Text;
    for (const auto& [Kind, Count] : Counts)
        Text += QStringLiteral("%1 %2 ").arg(Names[static_cast<int>(Kind)]).arg(Count);
    return Text.trimmed();
}

void TimeAgainstFloor(benchmark::State& state, const std::function<void()>& Draw, const TFloorCaptureDC& Capture,
                      double& DrawSeconds, double& FloorSeconds)
{
    QImage Image(1920, 1080, QImage::Format_RGB32);
    Image.fill(Qt::white);
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        const auto T0 = Clock::now();
        Draw();
        const auto T1 = Clock::now();
        {
            QPainter Painter(&Image);
            Capture.Replay(Painter);
        }
        const auto T2 = Clock::now();
        DrawSeconds += std::chrono::duration<double>(T1 - T0).count();
        FloorSeconds += std::chrono::duration<double>(T2 - T1).count();
        state.SetIterationTime(std::chrono::duration<double>(T1 - T0).count());
    }
}

void SetUpFullHDChart(TChart& Chart, double XMin, double XMax, double YMin, double YMax)
{
    const TRect Rect{40, 40, 1880, 1040};
    Chart.SetBounds(0, 0, 1920, 1080);
    Chart.SetView3D(false);
    Chart.SetBufferedDisplay(false);
    Chart.SetChartRectangle(Rect);
    Chart.BottomAxis()->SetMinMax(XMin, XMax);
    Chart.LeftAxis()->SetMinMax(YMin, YMax);
    Chart.BottomAxis()->SetPixelSpan(Rect.Left, Rect.Right);
    Chart.LeftAxis()->SetPixelSpan(Rect.Top, Rect.Bottom);
    Chart.BottomAxis()->AdjustMaxMin();
    Chart.LeftAxis()->AdjustMaxMin();
}

void RunPaintAgainstFloor(benchmark::State& state, TChart& Chart, const std::function<void()>& Paint)
{
    TFloorCaptureDC Capture(1920, 1080);
    TCanvas CaptureCanvas(&Capture);
    TBitmap Target(1920, 1080);
    Chart.Canvas().InitWindow(&CaptureCanvas, Chart.View3DOptions(), clWhite, false, Chart.GetRectangle());
    Paint();
    Chart.Canvas().InitWindow(&Target.Canvas(), Chart.View3DOptions(), clWhite, false, Chart.GetRectangle());
    double SeriesSeconds = 0;
    double FloorSeconds = 0;
    TimeAgainstFloor(
        state,
        [&] {
            Paint();
            Target.Image();
        },
        Capture, SeriesSeconds, FloorSeconds);
    const double Iterations = static_cast<double>(state.iterations());
    state.counters["series_ms"] = SeriesSeconds / Iterations * 1000;
    state.counters["floor_ms"] = FloorSeconds / Iterations * 1000;
    state.counters["ratio"] = FloorSeconds > 0 ? SeriesSeconds / FloorSeconds : 0;
    state.SetLabel(Capture.Summary().toStdString());
}

} // namespace lp::bench
