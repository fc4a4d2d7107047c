#pragma once
// A pseudo-section chart filled as an owner fills it: vertices from index
// 1, triangles from index 1 with their neighbour, neighbour-edge and
// edge-kind tables, the counts and the data range. Also what a recording
// device context saw of the picture, and a scattered section triangulated
// for the larger pictures (the benchmark uses it too).

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/grid3d/PlotTriangulation.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/RecordingDC.h"
#include "section/views/PseudoSection2D.h"

#include <QtCore/QStringList>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace lp::test {

struct TFixturePoint {
    double X = 0, Z = 0, Value = 0;
};

// Vertices 1..N from Points, triangles 1..M from Corners (vertex numbers
// from 1). Edges shared by two triangles link them both ways; the others
// are the outer boundary.
inline void FillTriangulation(TPseudoSection2d& Chart, const std::vector<TFixturePoint>& Points,
                              const std::vector<std::array<int, 3>>& Corners)
{
    const int vertexCount = static_cast<int>(Points.size());
    Chart.Vertices = DynArray<dVertex3d>(vertexCount + 1);
    for (int v = 1; v <= vertexCount; ++v) {
        const TFixturePoint& p = Points[v - 1];
        Chart.Vertices[v].X = Chart.Vertices[v].AxisX = p.X;
        Chart.Vertices[v].Z = Chart.Vertices[v].AxisY = p.Z;
        Chart.Vertices[v].Value = p.Value;
    }
    SetPseudoTriangles(Chart, Corners);
    Chart.VertexCount = vertexCount;
    Chart.DataMin = Chart.DataMax = Points.front().Value;
    for (const TFixturePoint& p : Points) {
        Chart.DataMin = std::min(Chart.DataMin, p.Value);
        Chart.DataMax = std::max(Chart.DataMax, p.Value);
    }
}

// A chart filled as its owner fills it: the picture tool over the axis
// extent series, the measurement points, a legend.
struct TOwnedChart {
    TOwnedChart()
    {
        Chart.SetBounds(0, 0, 640, 300);
        Chart.SetView3D(false);
        Chart.SetColor(clWhite);
        Chart.LeftAxis()->SetInverted(true);
        Extent = new TPointSeries(&Chart);
        Extent->SetParentChart(&Chart);
        Extent->Pointer()->SetVisible(false);
        Extent->SetShowInLegend(false);
        Points = new TPointSeries(&Chart);
        Points->SetParentChart(&Chart);
        Points->SetTitle(QStringLiteral("Stations"));
        Points->Pointer()->SetHorizSize(1);
        Points->Pointer()->SetVertSize(1);
        Points->SetSeriesColor(clBlack);
        Tool = new TChartImageTool(&Chart);
        Chart.Tools().Add(Tool);
        Tool->SetSeries(Extent);
        Tool->SetReverseVertical(true);
        Chart.PictureMetafile = &Metafile;
        Chart.PictureTool = Tool;
        Chart.AxisExtentSeries = Extent;
        Chart.GridPointSeries = Points;
    }
    TPseudoSection2d Chart;
    TMetafile Metafile;
    TPointSeries* Extent = nullptr;
    TPointSeries* Points = nullptr;
    TChartImageTool* Tool = nullptr;
};

// Levels set directly, band j coloured 0x100 + j and line j 0x200 + j.
inline void SetLevels(TPseudoSection2d& Chart, const std::vector<double>& Levels)
{
    const int n = static_cast<int>(Levels.size());
    Chart.LevelCount = n;
    Chart.Levels = DynArray<double>(std::vector<double>(Levels));
    Chart.BandColors = DynArray<TColor>(n + 1);
    Chart.LineColors = DynArray<TColor>(n);
    for (int j = 0; j <= n; ++j)
        Chart.BandColors[j] = 0x100 + j;
    for (int j = 0; j < n; ++j)
        Chart.LineColors[j] = 0x200 + j;
}

// A smooth field over [0, 1000] x [0, 200]: a high, a low and a slope.
inline double FieldValue(double X, double Z)
{
    const auto bump = [](double dx, double dz, double width) { return std::exp(-(dx * dx + dz * dz) / width); };
    return 100 + 0.05 * X + 80 * bump(X - 300, Z - 80, 9000) - 60 * bump(X - 700, Z - 120, 12000) + 0.2 * Z;
}

// Count scattered stations over [0, 1000] x [0, 200] with FieldValue,
// triangulated.
inline void FillScatteredSection(TPseudoSection2d& Chart, int Count, unsigned Seed)
{
    std::mt19937 random(Seed);
    std::uniform_real_distribution<double> across(0, 1000), down(0, 200);
    std::vector<double> xs, zs;
    std::vector<TFixturePoint> points;
    for (int i = 0; i < Count; ++i) {
        const double x = across(random), z = down(random);
        xs.push_back(x);
        zs.push_back(z);
        points.push_back({x, z, FieldValue(x, z)});
    }
    const TTriangulation mesh = Triangulate(xs, zs);
    std::vector<std::array<int, 3>> corners;
    for (const std::array<int, 3>& t : mesh.Triangles)
        corners.push_back({t[0] + 1, t[1] + 1, t[2] + 1});
    FillTriangulation(Chart, points, corners);
}

// --- What a recording device context saw ------------------------------------

struct TRecordedPolygon {
    TColor Color = 0;
    std::vector<TPoint> Points;
};

inline std::vector<TPoint> ParsePoints(const QString& Call)
{
    const int open = Call.indexOf(QLatin1Char('[')), close = Call.lastIndexOf(QLatin1Char(']'));
    std::vector<TPoint> points;
    for (const QString& pair : Call.mid(open + 1, close - open - 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList xy = pair.split(QLatin1Char(' '));
        points.push_back({xy[0].toInt(), xy[1].toInt()});
    }
    return points;
}

// The polygons drawn, each with the brush colour selected for it.
inline std::vector<TRecordedPolygon> RecordedPolygons(const TRecordingDC& DC)
{
    std::vector<TRecordedPolygon> polygons;
    TColor brush = 0;
    for (const QString& call : DC.Calls()) {
        if (call.startsWith(QLatin1String("SelectBrush(")))
            brush = static_cast<TColor>(call.section(QLatin1Char(','), 1, 1).toUInt(nullptr, 0));
        else if (call.startsWith(QLatin1String("Polygon(")))
            polygons.push_back({brush, ParsePoints(call)});
    }
    return polygons;
}

// Twice the signed area (shoelace).
inline long long DoubleArea(const std::vector<TPoint>& Points)
{
    long long sum = 0;
    for (size_t i = 0; i < Points.size(); ++i) {
        const TPoint& a = Points[i];
        const TPoint& b = Points[(i + 1) % Points.size()];
        sum += static_cast<long long>(a.X) * b.Y - static_cast<long long>(b.X) * a.Y;
    }
    return sum;
}

} // namespace lp::test
