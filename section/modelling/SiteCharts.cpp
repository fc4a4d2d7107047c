#include "section/modelling/SiteCharts.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"
#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "section/inversion/InversionMesh.h"
#include "section/modelling/InversionCharts.h"
#include "section/modelling/SiteFenceSeries.h"
#include "section/site/SiteTrack.h"
#include "section/views/Section2D.h"
#include "section/views/ValueScale.h"

#include <QtCore/QRegularExpression>
#include <QtCore/QTimer>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace lp {

TColor SiteLineColor(size_t Line)
{
    // Dark enough to read on white and beside the images' blues and reds
    // (0x00BBGGRR).
    static constexpr std::array<TColor, 8> colours{0x000000, 0xA05000, 0x008000, 0x800080,
                                                   0x006080, 0x808000, 0x404040, 0x0050C0};
    return colours[Line % colours.size()];
}

std::optional<std::pair<double, double>> SiteScale(const TSiteImages& Images)
{
    std::vector<double> values, coverage;
    for (const TLineImage& image : Images.Images) {
        values.insert(values.end(), image.Resistivities.begin(), image.Resistivities.end());
        // A line without its coverage counts every cell as seen.
        if (image.Coverage.size() == image.Resistivities.size())
            coverage.insert(coverage.end(), image.Coverage.begin(), image.Coverage.end());
        else
            coverage.insert(coverage.end(), image.Resistivities.size(), 1.0);
    }
    std::erase_if(values, [](double Value) { return !(Value > 0.0); });
    coverage.resize(values.size(), 1.0);
    return CoveredScale(values, coverage);
}

namespace {

TLineSeries* NewLineSeries(TChart& Chart, const QString& Title, TColor Colour)
{
    auto* series = new TLineSeries(&Chart);
    series->SetParentChart(&Chart);
    series->SetTitle(Title);
    series->SetSeriesColor(Colour);
    series->Marks()->SetVisible(false);
    // A track may run back in x.
    series->XValues()->SetOrder(loNone);
    return series;
}

} // namespace

void ShowSiteMap(TChart& Chart, const std::vector<TSiteLine>& Lines, const std::vector<TCrossing>& Crossings)
{
    Chart.FreeAllSeries();
    for (size_t l = 0; l < Lines.size(); ++l) {
        TLineSeries* track = NewLineSeries(Chart, QString::fromStdString(Lines[l].Name), SiteLineColor(l));
        track->Pointer()->SetVisible(true);
        track->Pointer()->SetStyle(TSeriesPointer::psCircle);
        track->Pointer()->SetHorizSize(2);
        track->Pointer()->SetVertSize(2);
        for (const TTrackPoint& point : Lines[l].Track)
            if (std::isfinite(point.X) && std::isfinite(point.Y))
                track->AddXY(point.X, point.Y);
    }
    auto* crossings = new TPointSeries(&Chart);
    crossings->SetParentChart(&Chart);
    crossings->SetTitle(QStringLiteral("Crossings"));
    crossings->SetSeriesColor(clRed);
    crossings->Marks()->SetVisible(false);
    crossings->XValues()->SetOrder(loNone);
    crossings->Pointer()->SetStyle(TSeriesPointer::psDiamond);
    crossings->Pointer()->SetHorizSize(6);
    crossings->Pointer()->SetVertSize(6);
    for (const TCrossing& crossing : Crossings)
        if (std::isfinite(crossing.X) && std::isfinite(crossing.Y))
            crossings->AddXY(crossing.X, crossing.Y);
    Chart.BottomAxis()->Title()->SetCaption(QStringLiteral("East (m)"));
    Chart.LeftAxis()->Title()->SetCaption(QStringLiteral("North (m)"));
    Chart.Invalidate();
}

namespace {

// A paint asks for none while it lasts: the next is asked for once it is
// over.
void RepaintSoon(TChart& Chart)
{
    QTimer::singleShot(0, Chart.Widget(), [&Chart] { Chart.Invalidate(); });
}

} // namespace

TMapBox SiteMapBox(const std::vector<TSiteLine>& Lines)
{
    TMapBox box{1.0, 1.0, -1.0, -1.0};
    bool first = true;
    for (const TSiteLine& line : Lines)
        for (const TTrackPoint& point : line.Track) {
            if (!std::isfinite(point.X) || !std::isfinite(point.Y))
                continue;
            if (first)
                box = {point.X, point.Y, point.X, point.Y};
            first = false;
            box = {std::min(box.Left, point.X), std::min(box.Bottom, point.Y), std::max(box.Right, point.X),
                   std::max(box.Top, point.Y)};
        }
    if (first)
        return {};
    // A straight line north or east spans nothing across: a metre then.
    const double margin = std::max(0.05 * std::max(box.Right - box.Left, box.Top - box.Bottom), 1.0);
    return {box.Left - margin, box.Bottom - margin, box.Right + margin, box.Top + margin};
}

void ShowAtOneScale(TChart& Chart, const TMapBox& Box)
{
    TChartAxis& east = *Chart.BottomAxis();
    TChartAxis& north = *Chart.LeftAxis();
    const TRect plot = Chart.ChartRectangle();
    const double width = plot.Right - plot.Left, height = plot.Bottom - plot.Top;
    if (!(Box.Right > Box.Left) || !(Box.Top > Box.Bottom) || width < 10.0 || height < 10.0) {
        if (!east.Automatic() || !north.Automatic()) {
            east.SetAutomatic(true);
            north.SetAutomatic(true);
            RepaintSoon(Chart);
        }
        return;
    }
    const double perPixel = std::max((Box.Right - Box.Left) / width, (Box.Top - Box.Bottom) / height);
    const double x = 0.5 * (Box.Left + Box.Right), y = 0.5 * (Box.Bottom + Box.Top);
    const double halfWidth = 0.5 * perPixel * width, halfHeight = 0.5 * perPixel * height;
    // Within a pixel's worth: labels that change the rectangle a little
    // would otherwise repaint it without end.
    const auto near = [perPixel](double A, double B) { return std::abs(A - B) <= perPixel; };
    if (!east.Automatic() && !north.Automatic() && near(east.Minimum(), x - halfWidth) &&
        near(east.Maximum(), x + halfWidth) && near(north.Minimum(), y - halfHeight) &&
        near(north.Maximum(), y + halfHeight))
        return;
    east.SetMinMax(x - halfWidth, x + halfWidth);
    north.SetMinMax(y - halfHeight, y + halfHeight);
    RepaintSoon(Chart);
}

void AddTracks(TChart& Chart, const std::vector<TSiteLine>& Lines)
{
    for (size_t l = 0; l < Lines.size(); ++l) {
        TLineSeries* track = NewLineSeries(Chart, QString::fromStdString(Lines[l].Name), clBlack);
        track->SetShowInLegend(false);
        for (const TTrackPoint& point : Lines[l].Track)
            if (std::isfinite(point.X) && std::isfinite(point.Y))
                track->AddXY(point.X, point.Y);
    }
}

TColor ShownCellColour(const TValueColour& Colour, double Resistivity, double Coverage, bool Fade)
{
    const TColor colour = Colour(Resistivity);
    if (!Fade)
        return colour;
    const double fade = FadeOfCoverage(Coverage);
    return fade > 0.0 ? FadedColor(colour, fade) : colour;
}

int ShowFenceCells(TSiteFenceSeries& Fence, const std::vector<TSiteLine>& Lines, const TSiteImages& Images,
                   const TValueColour& Colour, bool Fade)
{
    Fence.Clear();
    int drawn = 0;
    const size_t count = std::min(Lines.size(), Images.Images.size());
    for (size_t l = 0; l < count; ++l) {
        const TSiteLine& line = Lines[l];
        const TLineImage& image = Images.Images[l];
        const TInversionMesh& mesh = image.Mesh;
        if (line.Track.size() < 2 || mesh.Cells() == 0 ||
            image.Resistivities.size() != static_cast<size_t>(mesh.Cells()))
            continue;
        const bool covered = image.Coverage.size() == image.Resistivities.size();
        // The padding beyond the track's ends stands nowhere on the map.
        const double first = line.Track.front().Distance, last = line.Track.back().Distance;
        for (int c = 0; c < mesh.Columns(); ++c) {
            const double x1 = mesh.ColumnEdges[static_cast<size_t>(c)];
            const double x2 = mesh.ColumnEdges[static_cast<size_t>(c) + 1];
            const double left = std::max(x1, first), right = std::min(x2, last);
            if (!(right > left))
                continue;
            const TTrackPoint a = TrackPointAt(line.Track, left), b = TrackPointAt(line.Track, right);
            // The boundaries' elevations at the clipped ends, linear along the column.
            const auto elevation = [&](double X, int Boundary) {
                const double y1 = RowBoundaryY(mesh, c, Boundary), y2 = RowBoundaryY(mesh, c + 1, Boundary);
                return y1 + (y2 - y1) * (X - x1) / (x2 - x1);
            };
            for (int r = 0; r < mesh.Rows(); ++r) {
                const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(mesh.Columns()) + static_cast<size_t>(c);
                const double rho = image.Resistivities[cell];
                if (!(rho > 0.0) || !std::isfinite(rho))
                    continue;
                const TColor colour = ShownCellColour(Colour, rho, covered ? image.Coverage[cell] : 1.0, Fade);
                const std::array<TPointFloat3D, 4> corners{
                    TPointFloat3D{a.X, elevation(left, r), a.Y}, TPointFloat3D{b.X, elevation(right, r), b.Y},
                    TPointFloat3D{b.X, elevation(right, r + 1), b.Y}, TPointFloat3D{a.X, elevation(left, r + 1), a.Y}};
                if (Fence.AddQuad(corners, colour))
                    ++drawn;
            }
        }
    }
    return drawn;
}

int ShowSliceCells(TColorGridSeries& Grid, const std::vector<TVolumePoint>& Slice, const TValueColour& Colour,
                   bool Fade)
{
    Grid.Clear();
    std::vector<const TVolumePoint*> points;
    for (const TVolumePoint& point : Slice)
        if (std::isfinite(point.X) && std::isfinite(point.Y) && point.Resistivity > 0.0 &&
            std::isfinite(point.Resistivity))
            points.push_back(&point);
    if (points.empty())
        return 0;
    // The grid's step: the smallest gap between neighbouring x or y.
    std::vector<double> xs, ys;
    for (const TVolumePoint* point : points) {
        xs.push_back(point->X);
        ys.push_back(point->Y);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    const double x0 = xs.front(), y0 = ys.front();
    const double extent = std::max(xs.back() - x0, ys.back() - y0);
    double step = 0.0;
    for (const std::vector<double>* values : {&xs, &ys})
        for (size_t i = 1; i < values->size(); ++i) {
            const double gap = (*values)[i] - (*values)[i - 1];
            if (gap > 1e-9 * std::max(extent, 1.0) && (step == 0.0 || gap < step))
                step = gap;
        }
    if (step == 0.0)
        step = 1.0; // a single point: a cell of a metre
    const auto index = [step](double Value, double Origin) {
        return static_cast<int>(std::lround((Value - Origin) / step));
    };
    const int columns = index(xs.back(), x0) + 1, rows = index(ys.back(), y0) + 1;
    std::map<std::pair<int, int>, const TVolumePoint*> held;
    for (const TVolumePoint* point : points)
        held[{index(point->X, x0), index(point->Y, y0)}] = point;
    // Nodes half a step before each point: each cell, node to next node,
    // is centred on its point. The last column and row of nodes close it.
    Grid.SetIrregularGrid(true);
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= columns; ++i) {
            const double x = x0 + (i - 0.5) * step, y = y0 + (j - 0.5) * step;
            const auto found = held.find({i, j});
            if (found == held.end()) {
                Grid.AddXYZLabel(x, 0.0, y, QString(), clNone);
                continue;
            }
            const TVolumePoint& point = *found->second;
            Grid.AddXYZLabel(x, point.Resistivity, y, QString(),
                             ShownCellColour(Colour, point.Resistivity, point.Weight, Fade));
        }
    return static_cast<int>(held.size());
}

void DrawSiteColorBar(TPlotCanvas& Canvas, const TRect& Bar, double Low, double High, const TValueColour& Colour,
                      const QString& Title)
{
    const int height = Bar.Bottom - Bar.Top;
    if (height < 10 || !(Low > 0.0) || !(High > Low) || !std::isfinite(High))
        return;
    const double top = std::log(High), bottom = std::log(Low);
    for (int i = 0; i <= height; ++i) {
        Canvas.Pen()->SetColor(Colour(std::exp(top - (top - bottom) * i / height)));
        Canvas.Line(Bar.Left, Bar.Top + i, Bar.Right, Bar.Top + i);
    }
    Canvas.Pen()->SetColor(clBlack);
    Canvas.Brush()->SetStyle(TBrush::bsClear);
    Canvas.Font()->SetColor(clBlack);
    Canvas.Font()->SetSize(8);
    DrawValueScale(Canvas, 1, false, 1, Low, High, Bar.Right, Bar.Top, height, 1.0, QString(), QString(), true);
    Canvas.TextOut(Bar.Left, std::max(0, Bar.Top - Canvas.FontHeight() - 4), Title);
}

std::optional<std::vector<TTypedDepth>> ReadSliceDepths(const QString& Text, QString& Error)
{
    static const QRegularExpression separators(QStringLiteral("[,;\\s]+"));
    std::vector<TTypedDepth> depths;
    for (const QString& part : Text.split(separators, Qt::SkipEmptyParts)) {
        bool ok = false;
        const double depth = part.toDouble(&ok);
        if (!ok || !std::isfinite(depth) || depth < 0.0) {
            Error = QStringLiteral("\"%1\" is no depth: type depths of 0 or more metres, parted by commas.").arg(part);
            return std::nullopt;
        }
        if (std::none_of(depths.begin(), depths.end(), [depth](const TTypedDepth& D) { return D.Depth == depth; }))
            depths.push_back({part, depth});
    }
    if (depths.empty()) {
        Error = QStringLiteral("Type a depth at least, in metres below the ground (say 2, 5).");
        return std::nullopt;
    }
    return depths;
}

} // namespace lp
