// The pseudo-section picture: colour bands of every triangle, whose
// boundaries are quadratic Bézier curves that join up across neighbours,
// and the contour lines traced level by level through the triangulation.

#include "section/views/PseudoSection2D.h"

#include "platform/base/Exception.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Metafile.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace lp {

namespace {

// Pixels beyond any picture; keeps a wild value's rounding in range.
constexpr double PixelLimit = 1 << 24;

int ToPixel(double Value)
{
    if (!(Value > -PixelLimit))  // NaN too
        return static_cast<int>(-PixelLimit);
    return static_cast<int>(RoundHalfEven(std::min(Value, PixelLimit)));
}

TWorldPoint Mid(const TWorldPoint& A, const TWorldPoint& B)
{
    return {(A.X + B.X) / 2, (A.Z + B.Z) / 2};
}

// The quadratic Bézier curve from A to D with control point C at t.
TWorldPoint Bezier(const TWorldPoint& A, const TWorldPoint& C, const TWorldPoint& D, double t)
{
    const double a = (1 - t) * (1 - t), d = t * t;
    return {C.X + a * (A.X - C.X) + d * (D.X - C.X), C.Z + a * (A.Z - C.Z) + d * (D.Z - C.Z)};
}

// The vertex a level has just passed, the one left, and whether the vertex
// comes before the new curve in the band polygon; by start vertex and new
// uncrossed edge.
struct TBandCorner {
    int Start, Edge, Middle, Last;
    bool Before;
};
constexpr TBandCorner BandCorners[] = {
    {0, 0, 1, 2, true},  {0, 2, 2, 1, false}, {1, 0, 0, 2, false},
    {1, 1, 2, 0, true},  {2, 1, 1, 0, false}, {2, 2, 0, 1, true},
};

const TBandCorner* BandCorner(int Start, int Edge)
{
    for (const TBandCorner& corner : BandCorners)
        if (corner.Start == Start && corner.Edge == Edge)
            return &corner;
    return nullptr;
}

// How far the ground's clip outline reaches past the picture's edges.
constexpr int ClipMarginPixels = 4;

} // namespace

// --- Scale ------------------------------------------------------------------------------

void TPseudoSection2d::ComputePictureScale()
{
    if (VertexCount < 3)
        return;
    double minX = 0, maxX = 0, maxZ = 0, minZ = 0;
    PixelsPerX = PixelsPerZ = 0.0;
    if (!VertexBounds(minX, maxX, maxZ, minZ) || !(maxX > minX) || !(maxZ > minZ))
        return;  // one shared X or Z: no picture
    OriginX = minX;
    OriginZ = minZ;
    PixelsPerX = PictureWidth / (maxX - minX);
    PixelsPerZ = PictureHeight / (maxZ - minZ);
}

int TPseudoSection2d::XToPixel(double X) const
{
    return ToPixel((X - OriginX) * PixelsPerX);
}

int TPseudoSection2d::ZToPixel(double Z) const
{
    return ToPixel((Z - OriginZ) * PixelsPerZ);
}

// --- Rendering --------------------------------------------------------------------------

void TPseudoSection2d::RenderPicture()
{
    if (!PictureMetafile || LevelCount <= 0 || TriangleCount < 3)
        return;
    CheckTables();
    TMetafile& metafile = *PictureMetafile;
    metafile.Clear();
    metafile.SetWidth(PictureWidth);
    metafile.SetHeight(PictureHeight);
    TMetafileCanvas canvas(metafile);
    RenderOnto(canvas);
    canvas.Finish();
}

void TPseudoSection2d::RenderOnto(TCanvas& Canvas)
{
    if (!LevelsReady() || TriangleCount < 3 || !(PixelsPerX > 0) || !(PixelsPerZ > 0))
        return;
    PictureCanvas = &Canvas;
    const bool clipped = GroundLine.size() >= 2 && Canvas.HandleAllocated();
    const std::optional<TRegion> clipBefore = clipped ? Canvas.Handle().ClipRegion() : std::nullopt;
    const auto finish = [&] {
        PictureCanvas = nullptr;
        if (clipped)
            Canvas.Handle().SelectClipRgn(clipBefore ? &*clipBefore : nullptr);
    };
    try {
        if (clipped)
            ClipBelowGround(Canvas);
        FillAllTriangles();
        if (ShowContourLines)
            DrawContourLines();
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

// The triangulation spans the data's convex outline, which over a concave
// slope reaches above the ground: the bands are cut at the ground line.
void TPseudoSection2d::ClipBelowGround(TCanvas& Canvas) const
{
    if (GroundLine.size() < 2)
        return;
    // A few pixels beyond the picture on every side, so that the ground's
    // flat ends and the depth below it cover whatever the triangles reach
    // (the picture's scale puts them within it). No farther: the clip is
    // rasterised over the outline's whole extent, and one reaching a
    // thousand pixels past the picture took a tenth of a second a chart.
    const int far = ClipMarginPixels;
    std::vector<TPoint> outline;
    outline.reserve(GroundLine.size() + 4);
    const TPoint first = WorldPixel(GroundLine.front()), last = WorldPixel(GroundLine.back());
    outline.push_back({std::min(first.X, 0) - far, first.Y});
    for (const TWorldPoint& point : GroundLine)
        outline.push_back(WorldPixel(point));
    outline.push_back({std::max(last.X, PictureWidth) + far, last.Y});
    int bottom = PictureHeight;
    for (const TPoint& point : outline)
        bottom = std::max(bottom, point.Y);
    outline.push_back({outline.back().X, bottom + far});
    outline.push_back({outline.front().X, bottom + far});
    TDeviceContext& dc = Canvas.Handle();
    dc.BeginPath();
    dc.Polygon(outline.data(), static_cast<int>(outline.size()));
    dc.EndPath();
    dc.SelectClipPath(RGN_AND);
}

std::array<double, 3> TPseudoSection2d::TriangleValues(int T) const
{
    const TPseudoTriangle& triangle = Triangles[T];
    return {Vertices[triangle.V[0]].Value, Vertices[triangle.V[1]].Value, Vertices[triangle.V[2]].Value};
}

TPoint TPseudoSection2d::VertexPixel(int Index) const
{
    const dVertex3d& vertex = Vertices[Index];
    return {XToPixel(vertex.X), ZToPixel(vertex.Z)};
}

double TPseudoSection2d::EdgeInterpolate(double L, double V2, double P2, double V1, double P1)
{
    if (V2 == V1)
        return P1;
    return P1 + (L - V1) * (P2 - P1) / (V2 - V1);
}

bool TPseudoSection2d::StrictlyBetween(double A, double B, double L)
{
    return std::min(A, B) < L && L < std::max(A, B);
}

TWorldPoint TPseudoSection2d::EdgeCrossing(int T, int E, double L) const
{
    const TPseudoTriangle& triangle = Triangles[T];
    const dVertex3d& first = Vertices[triangle.V[E]];
    const dVertex3d& second = Vertices[triangle.V[(E + 1) % 3]];
    return {EdgeInterpolate(L, second.Value, second.X, first.Value, first.X),
            EdgeInterpolate(L, second.Value, second.Z, first.Value, first.Z)};
}

// --- Bands ------------------------------------------------------------------------------

void TPseudoSection2d::FillAllTriangles()
{
    if (!PictureCanvas)
        return;
    CheckTables();
    PictureCanvas->Pen().SetStyle(TPen::psClear);
    for (int t = 1; t <= TriangleCount; ++t)
        FillBands(t);
    PictureCanvas->Pen().SetStyle(TPen::psSolid);
}

void TPseudoSection2d::FillTriangleBands(int T)
{
    if (!PictureCanvas || !LevelsReady())
        return;
    PictureCanvas->Pen().SetStyle(TPen::psClear);
    FillBands(T);
    PictureCanvas->Pen().SetStyle(TPen::psSolid);
}

void TPseudoSection2d::FillPolygon(const std::vector<TPoint>& Points, TColor Color)
{
    PictureCanvas->Brush().SetColor(Color);
    PictureCanvas->Polygon(Points);
}

void TPseudoSection2d::FillBands(int T)
{
    const TPseudoTriangle& triangle = Triangles[T];
    const std::array<double, 3> u = TriangleValues(T);
    const int n = Levels.Length();
    const std::array<TPoint, 3> corner{VertexPixel(triangle.V[0]), VertexPixel(triangle.V[1]),
                                       VertexPixel(triangle.V[2])};
    const std::vector<TPoint> whole{corner[0], corner[1], corner[2]};
    const double lo = std::min({u[0], u[1], u[2]}), hi = std::max({u[0], u[1], u[2]});

    // The levels inside the triangle: i0 the first at or above lo, i1 the
    // last at or below hi (L[0] itself is not tested).
    int i0 = 0;
    while (i0 < n && !(Levels[i0] >= lo))
        ++i0;
    int i1 = n - 1;
    while (i1 >= 1 && !(Levels[i1] <= hi))
        --i1;
    if (i1 < 1)
        i1 = 0;

    if (hi < Levels[0])
        return FillPolygon(whole, BandColors[0]);
    if (lo > Levels[n - 1])
        return FillPolygon(whole, BandColors[n]);
    if (u[0] == u[1] && u[1] == u[2])
        return FillPolygon(whole, BandColors[i0]);

    // The start vertex has the smallest value; its opposite edge is the
    // first uncrossed one.
    const int start = u[0] <= u[1] && u[0] <= u[2] ? 0 : u[1] <= u[2] ? 1 : 2;
    int uncrossed = (start + 1) % 3;
    std::vector<TPoint> current{corner[start]};
    const TBandCorner* inserted = nullptr;
    for (int k = i0; k <= i1; ++k) {
        const double level = Levels[k];
        const int previous = uncrossed;
        if (!StrictlyBetween(u[1], u[0], level))
            uncrossed = 0;
        else if (!StrictlyBetween(u[2], u[1], level))
            uncrossed = 1;
        else if (!StrictlyBetween(u[0], u[2], level))
            uncrossed = 2;
        // The level has passed the middle vertex: it joins this band once.
        const TBandCorner* pending = uncrossed != previous && !inserted ? BandCorner(start, uncrossed) : nullptr;
        const std::array<TPoint, 8> curve = IsoCurvePoints(T, (uncrossed + 1) % 3, (uncrossed + 2) % 3, level);
        std::vector<TPoint> band = current;
        if (!pending) {
            band.insert(band.end(), curve.rbegin(), curve.rend());
        } else if (pending->Before) {
            band.push_back(corner[pending->Middle]);
            band.insert(band.end(), curve.begin(), curve.end());
        } else {
            band.insert(band.end(), curve.begin(), curve.end());
            band.push_back(corner[pending->Middle]);
        }
        FillPolygon(band, BandColors[k]);
        current.assign(curve.begin(), curve.end());
        if (pending)
            inserted = pending;
    }
    if (inserted) {
        current.push_back(corner[inserted->Last]);
    } else {
        current.push_back(corner[(start + 1) % 3]);
        current.push_back(corner[(start + 2) % 3]);
    }
    FillPolygon(current, BandColors[i1 + 1]);
}

bool TPseudoSection2d::NeighbourCrossing(int T, int E, double L, TWorldPoint& Crossing) const
{
    const TPseudoTriangle& triangle = Triangles[T];
    const int neighbour = triangle.Neighbour[E];
    if (neighbour == 0)
        return false;
    const int shared = triangle.NeighbourEdge[E];
    const int first = shared == 0 ? 1 : 0;
    const int second = shared == 2 ? 1 : 2;
    const std::array<double, 3> u = TriangleValues(neighbour);
    const int edge = StrictlyBetween(u[(first + 1) % 3], u[first], L) ? first : second;
    Crossing = EdgeCrossing(neighbour, edge, L);
    return true;
}

std::array<TPoint, 8> TPseudoSection2d::IsoCurvePoints(int T, int A, int B, double L) const
{
    const TWorldPoint pa = EdgeCrossing(T, A, L), pb = EdgeCrossing(T, B, L);
    TWorldPoint qa, qb;
    const bool hasQa = NeighbourCrossing(T, A, L, qa);
    const bool hasQb = NeighbourCrossing(T, B, L, qb);
    const TWorldPoint ma = hasQa ? Mid(qa, pa) : pa;
    const TWorldPoint mab = Mid(pa, pb);
    const TWorldPoint mb = hasQb ? Mid(pb, qb) : pb;
    static constexpr double FirstHalf[4] = {0.5, 0.7, 0.8, 1.0};
    static constexpr double SecondHalf[4] = {0.0, 0.2, 0.3, 0.5};
    std::array<TPoint, 8> points;
    for (int i = 0; i < 4; ++i) {
        points[i] = WorldPixel(Bezier(ma, pa, mab, FirstHalf[i]));
        points[4 + i] = WorldPixel(Bezier(mab, pb, mb, SecondHalf[i]));
    }
    if (!hasQa)
        points[0] = WorldPixel(pa);
    if (!hasQb)
        points[7] = WorldPixel(pb);
    return points;
}

// --- Contour lines ----------------------------------------------------------------------

void TPseudoSection2d::DrawContourLines()
{
    if (!PictureCanvas || !LevelsReady())
        return;
    CheckTables();
    for (int j = 0; j < Levels.Length(); ++j) {
        const double level = Levels[j];
        PictureCanvas->Pen().SetColor(LineColors[j]);
        for (int t = 1; t <= TriangleCount; ++t)
            Triangles[t].Visited = {};
        // Lines that reach the boundary first, so that every line left
        // afterwards is closed.
        for (const bool boundary : {true, false})
            for (int t = 1; t <= TriangleCount; ++t)
                for (int e = 0; e < 3; ++e) {
                    const TPseudoTriangle& triangle = Triangles[t];
                    if ((triangle.EdgeKind[e] == 1) != boundary || triangle.Visited[e])
                        continue;
                    const std::array<double, 3> u = TriangleValues(t);
                    if (StrictlyBetween(u[(e + 1) % 3], u[e], level))
                        TraceAndDraw(t, e, level);
                }
    }
}

void TPseudoSection2d::TraceAndDraw(int T, int E, double L)
{
    std::vector<TWorldPoint> points{EdgeCrossing(T, E, L)};
    Triangles[T].Visited[E] = 1;
    bool closed = false;
    while (TraceStep(T, E, L, points, closed)) {
    }
    if (closed)
        points.push_back(points.back());
    DrawSmoothLine(std::move(points), closed);
}

bool TPseudoSection2d::TraceStep(int& T, int& E, double L, std::vector<TWorldPoint>& Points, bool& Closed)
{
    if (E < 0 || E > 2)
        RaiseRangeError("Pseudo-section edge %d outside 0..2", {ArgText(E)});
    TPseudoTriangle& triangle = Triangles[T];
    triangle.Visited[E] = 1;
    const std::array<double, 3> u = TriangleValues(T);
    for (int f = 0; f < 3; ++f) {
        if (f == E || triangle.Visited[f] || !StrictlyBetween(u[(f + 1) % 3], u[f], L))
            continue;
        Points.push_back(EdgeCrossing(T, f, L));
        triangle.Visited[f] = 1;
        if (triangle.Neighbour[f] == 0)
            return false;
        const int next = triangle.Neighbour[f];
        E = triangle.NeighbourEdge[f];
        T = next;
        return true;
    }
    Closed = true;
    return false;
}

void TPseudoSection2d::DrawSmoothLine(std::vector<TWorldPoint> Points, bool Closed)
{
    if (!PictureCanvas)
        return;
    const int count = static_cast<int>(Points.size());
    TCanvas& canvas = *PictureCanvas;
    auto lineTo = [&](const TWorldPoint& from, const TWorldPoint& to) {
        const TPoint a = WorldPixel(from), b = WorldPixel(to);
        canvas.MoveTo(a.X, a.Y);
        canvas.LineTo(b.X, b.Y);
    };
    if (Closed ? count < 3 : count < 2)
        return;
    if (!Closed && count < 3)
        return lineTo(Points[0], Points[1]);
    if (Closed)
        Points.back() = Points[1];
    const int m = count - 1;
    static constexpr double Steps[6] = {0.0, 0.2, 0.5, 0.7, 0.8, 1.0};
    std::vector<TPoint> piece(6);
    if (!Closed)
        lineTo(Points[0], Mid(Points[0], Points[1]));
    for (int i = 0; i <= m - 2; ++i) {
        const TWorldPoint from = Mid(Points[i], Points[i + 1]), to = Mid(Points[i + 1], Points[i + 2]);
        for (int s = 0; s < 6; ++s)
            piece[s] = WorldPixel(Bezier(from, Points[i + 1], to, Steps[s]));
        canvas.Polyline(piece);
    }
    if (!Closed)
        lineTo(Mid(Points[m - 1], Points[m]), Points[m]);
}

} // namespace lp
