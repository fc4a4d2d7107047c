#include "section/inversion/StructuralConstraint.h"

#include "section/survey/ReadableNumbers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace lp {
namespace {

double Cross(TGeometryPoint o, TGeometryPoint a, TGeometryPoint b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

double Length(TGeometryPoint a, TGeometryPoint b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

// -1, 0 or 1: the side of a point, 0 within a rounding's reach of the line.
int Side(double CrossProduct, double Scale)
{
    const double tolerance = 1e-10 * Scale;
    return CrossProduct > tolerance ? 1 : CrossProduct < -tolerance ? -1 : 0;
}

// Whether the segment a-b meets the open segment p-q: p and q strictly on
// either side of a-b's line, a and b not both on one side of p-q's (an end
// of a-b on p-q counts), not collinear. A line along a row boundary thus
// cuts the pairs across it, not the pairs beside it whose shared edge ends
// on it.
bool MeetsInside(TGeometryPoint p, TGeometryPoint q, TGeometryPoint a, TGeometryPoint b)
{
    const double scale = Length(p, q) * Length(a, b);
    if (!(scale > 0.0))
        return false;
    const int d1 = Side(Cross(p, q, a), scale), d2 = Side(Cross(p, q, b), scale);
    if (d1 == d2)
        return false; // both on one side, or collinear
    const int d3 = Side(Cross(a, b, p), scale), d4 = Side(Cross(a, b, q), scale);
    return d3 * d4 < 0;
}

bool LineMeets(const TConstraintLine& Line, TGeometryPoint p, TGeometryPoint q)
{
    for (size_t i = 0; i + 1 < Line.Points.size(); ++i)
        if (MeetsInside(p, q, Line.Points[i], Line.Points[i + 1]))
            return true;
    return false;
}

double ZoneWeight(const TStructuralConstraint& Constraint, int Zone)
{
    if (Constraint.ZoneWeights.empty())
        return Zone >= 0 ? 0.0 : 1.0;
    if (Zone < 0 || static_cast<size_t>(Zone) >= Constraint.ZoneWeights.size())
        return 1.0;
    return Constraint.ZoneWeights[static_cast<size_t>(Zone)];
}

// The edge two neighbouring cells share: the two corners they have in common.
bool SharedEdge(const TInversionMesh& Mesh, int First, int Second, TGeometryPoint& a, TGeometryPoint& b)
{
    const std::vector<TGeometryPoint> one = CellCorners(Mesh, First), two = CellCorners(Mesh, Second);
    const double tolerance = 1e-9 * std::max(1.0, Mesh.ColumnEdges.back() - Mesh.ColumnEdges.front());
    std::vector<TGeometryPoint> common;
    for (const TGeometryPoint& p : one)
        for (const TGeometryPoint& q : two)
            if (Length(p, q) <= tolerance) {
                common.push_back(p);
                break;
            }
    if (common.size() != 2)
        return false;
    a = common[0];
    b = common[1];
    return true;
}

// The pairs of the roughness rows: the two cells of each row (-1 where a row holds fewer).
std::vector<std::array<int, 2>> RowPairs(const Eigen::SparseMatrix<double>& Smoothness)
{
    std::vector<std::array<int, 2>> pairs(static_cast<size_t>(Smoothness.rows()), {-1, -1});
    for (int column = 0; column < Smoothness.outerSize(); ++column)
        for (Eigen::SparseMatrix<double>::InnerIterator entry(Smoothness, column); entry; ++entry) {
            std::array<int, 2>& pair = pairs.at(static_cast<size_t>(entry.row()));
            (pair[0] < 0 ? pair[0] : pair[1]) = static_cast<int>(entry.col());
        }
    return pairs;
}

double PairWeight(const TInversionMesh& Mesh, const TStructuralConstraint& Constraint, int First, int Second)
{
    double weight = 1.0;
    if (!Constraint.Zones.empty()) {
        const int a = Constraint.Zones.at(static_cast<size_t>(First)), b = Constraint.Zones.at(static_cast<size_t>(Second));
        if (a != b)
            weight = std::min({weight, ZoneWeight(Constraint, a), ZoneWeight(Constraint, b)});
    }
    if (Constraint.Lines.empty())
        return weight;
    const TGeometryPoint c1 = CellCentre(Mesh, First), c2 = CellCentre(Mesh, Second);
    TGeometryPoint e1, e2;
    const bool shared = SharedEdge(Mesh, First, Second, e1, e2);
    for (const TConstraintLine& line : Constraint.Lines)
        if (line.Weight < weight && (LineMeets(line, c1, c2) || (shared && LineMeets(line, e1, e2))))
            weight = line.Weight;
    return weight;
}

bool InsideConvex(const std::vector<TGeometryPoint>& Corners, TGeometryPoint Point)
{
    for (size_t i = 0; i < Corners.size(); ++i) {
        const TGeometryPoint a = Corners[i], b = Corners[(i + 1) % Corners.size()];
        const double scale = Length(a, b) * std::max(Length(a, Point), 1e-300);
        if (Side(Cross(a, b, Point), scale) < 0)
            return false;
    }
    return true;
}

// The ground's elevation at X (linear between column edges; level beyond them).
double SurfaceAt(const TInversionMesh& Mesh, double X)
{
    const std::vector<double>& edges = Mesh.ColumnEdges;
    const auto right = std::upper_bound(edges.begin(), edges.end(), X);
    if (right == edges.begin())
        return RowBoundaryY(Mesh, 0, 0);
    if (right == edges.end())
        return RowBoundaryY(Mesh, static_cast<int>(edges.size()) - 1, 0);
    const auto e = static_cast<int>(right - edges.begin());
    const double x0 = edges[static_cast<size_t>(e) - 1], x1 = edges[static_cast<size_t>(e)];
    const double t = (X - x0) / (x1 - x0);
    return (1.0 - t) * RowBoundaryY(Mesh, e - 1, 0) + t * RowBoundaryY(Mesh, e, 0);
}

// The log's data in the other columns whose centres lie less than Reach
// from its well: per cell, the samples whose depth below the ground at the
// well lies in the cell's depth range, keyed by the cell and the distance.
void AddReachedColumns(const TInversionMesh& Mesh, const TWellLog& Log, double Reach,
                       std::map<std::pair<int, double>, std::pair<double, int>>& Sums)
{
    const double ground = SurfaceAt(Mesh, Log.X);
    std::vector<std::pair<double, double>> samples; // depth, ln ρ
    for (size_t s = 0; s < Log.Resistivities.size(); ++s)
        if (std::isfinite(Log.Elevations[s]))
            samples.emplace_back(ground - Log.Elevations[s], std::log(Log.Resistivities[s]));
    const int columns = Mesh.Columns();
    // The well's own column: the first holding its x, as CellAt finds its samples' cells.
    int well = -1;
    for (int c = 0; c < columns && well < 0; ++c)
        if (Mesh.ColumnEdges[static_cast<size_t>(c)] <= Log.X && Log.X <= Mesh.ColumnEdges[static_cast<size_t>(c) + 1])
            well = c;
    for (int c = 0; c < columns; ++c) {
        const double x0 = Mesh.ColumnEdges[static_cast<size_t>(c)], x1 = Mesh.ColumnEdges[static_cast<size_t>(c) + 1];
        const double distance = std::fabs((x0 + x1) / 2.0 - Log.X);
        if (c == well || !(distance < Reach))
            continue; // the well's own column, or beyond the reach
        for (int cell = c; cell < Mesh.Cells(); cell += columns) {
            double top = 0.0, bottom = 0.0;
            CellDepths(Mesh, cell, top, bottom);
            double sum = 0.0;
            int count = 0;
            for (const auto& [depth, value] : samples)
                if (depth >= top && depth < bottom) {
                    sum += value;
                    ++count;
                }
            if (count > 0) { // logs of one well (at one distance) together, as in the well's column
                auto& [total, held] = Sums[{cell, distance}];
                total += sum;
                held += count;
            }
        }
    }
}

} // namespace

void CheckStructuralConstraint(const TInversionMesh& Mesh, const TStructuralConstraint& Constraint)
{
    const auto weightOk = [](double w) { return w >= 0.0 && w <= 1.0; }; // false for nan
    for (size_t l = 0; l < Constraint.Lines.size(); ++l) {
        const TConstraintLine& line = Constraint.Lines[l];
        if (!weightOk(line.Weight))
            throw EForwardError("Line " + std::to_string(l + 1) + ": its weight must be a number from 0 to 1.");
        if (line.Points.size() < 2)
            throw EForwardError("Line " + std::to_string(l + 1) + " needs two points at least to cut the smoothness.");
        for (const TGeometryPoint& p : line.Points)
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                throw EForwardError("Line " + std::to_string(l + 1) + " holds a point that is not a finite number.");
    }
    for (double w : Constraint.ZoneWeights)
        if (!weightOk(w))
            throw EForwardError("A boundary's weight must be a number from 0 to 1.");
    if (!Constraint.Zones.empty() && Constraint.Zones.size() != static_cast<size_t>(Mesh.Cells()))
        throw EForwardError("The structural constraint needs one zone per cell.");
}

std::vector<double> CutWeights(const TInversionMesh& Mesh, const Eigen::SparseMatrix<double>& Smoothness,
                               const TStructuralConstraint& Constraint)
{
    CheckStructuralConstraint(Mesh, Constraint);
    std::vector<double> weights;
    for (const std::array<int, 2>& pair : RowPairs(Smoothness))
        weights.push_back(pair[1] < 0 ? 1.0 : PairWeight(Mesh, Constraint, pair[0], pair[1]));
    return weights;
}

Eigen::SparseMatrix<double> ConstrainedSmoothness(const TInversionMesh& Mesh, double ZWeight,
                                                  const TStructuralConstraint& Constraint)
{
    const Eigen::SparseMatrix<double> C = SmoothnessOperator(Mesh, ZWeight);
    if (Constraint.Empty())
        return C;
    const std::vector<double> weights = CutWeights(Mesh, C, Constraint);
    Eigen::VectorXd factors(static_cast<Eigen::Index>(weights.size()));
    for (size_t row = 0; row < weights.size(); ++row)
        factors[static_cast<Eigen::Index>(row)] = weights[row];
    return Eigen::SparseMatrix<double>(factors.asDiagonal() * C);
}

std::vector<std::array<TGeometryPoint, 2>> CutEdges(const TInversionMesh& Mesh, const TStructuralConstraint& Constraint)
{
    std::vector<std::array<TGeometryPoint, 2>> edges;
    if (Constraint.Empty())
        return edges;
    const Eigen::SparseMatrix<double> C = SmoothnessOperator(Mesh, 1.0);
    const std::vector<double> weights = CutWeights(Mesh, C, Constraint);
    const std::vector<std::array<int, 2>> pairs = RowPairs(C);
    for (size_t row = 0; row < pairs.size(); ++row) {
        TGeometryPoint a, b;
        if (weights[row] < 1.0 && pairs[row][1] >= 0 && SharedEdge(Mesh, pairs[row][0], pairs[row][1], a, b))
            edges.push_back({a, b});
    }
    return edges;
}

int CellAt(const TInversionMesh& Mesh, TGeometryPoint Point)
{
    for (int cell = 0; cell < Mesh.Cells(); ++cell)
        if (InsideConvex(CellCorners(Mesh, cell), Point))
            return cell;
    return -1;
}

void CheckWellLog(const TWellLog& Log)
{
    const std::string name = "The log \"" + Log.Name + "\"";
    if (Log.Resistivities.empty() || Log.Elevations.size() != Log.Resistivities.size())
        throw EForwardError(name + " holds no samples of resistivity.");
    if (!std::isfinite(Log.X))
        throw EForwardError(name + " stands at no finite place.");
    for (size_t s = 0; s < Log.Resistivities.size(); ++s) {
        const double rho = Log.Resistivities[s];
        if (!(std::isfinite(rho) && rho > 0.0))
            throw EForwardError(name + " holds a value of 0 or below, or no number (" + ReadableNumber(rho) +
                                " at elevation " + ReadableNumber(Log.Elevations[s]) +
                                "): only a log of resistivity in ohm-m can be used.");
    }
}

TPriorData LogPriorData(const TInversionMesh& Mesh, const std::vector<TWellLog>& Logs, double Reach)
{
    if (!(std::isfinite(Reach) && Reach >= 0.0))
        throw EForwardError("The logs' lateral reach must be a finite number of metres, 0 or above.");
    // cell, distance from the well (0: the well's column, every log's samples together): Σ ln ρ, samples
    std::map<std::pair<int, double>, std::pair<double, int>> sums;
    for (const TWellLog& log : Logs) {
        CheckWellLog(log);
        for (size_t s = 0; s < log.Resistivities.size(); ++s) {
            const double rho = log.Resistivities[s], y = log.Elevations[s];
            if (!std::isfinite(y))
                continue;
            const int cell = CellAt(Mesh, {log.X, y});
            if (cell < 0)
                continue;
            auto& [sum, count] = sums[{cell, 0.0}];
            sum += std::log(rho);
            ++count;
        }
        if (Reach > 0.0)
            AddReachedColumns(Mesh, log, Reach, sums);
    }
    TPriorData prior;
    for (const auto& [key, sum] : sums) {
        prior.Cells.push_back(key.first);
        prior.LogResistivities.push_back(sum.first / sum.second);
        prior.Samples.push_back(sum.second);
        prior.Distances.push_back(key.second);
    }
    return prior;
}

int TPriorData::CellCount() const
{
    std::vector<int> cells = Cells;
    std::sort(cells.begin(), cells.end());
    return static_cast<int>(std::unique(cells.begin(), cells.end()) - cells.begin());
}

double PriorDatumError(double Error, double Distance, double Reach)
{
    if (!(Reach > 0.0))
        return Error;
    const double share = std::fabs(Distance) / Reach;
    return share < 1.0 ? Error * std::exp(2.0 * share * share) : std::numeric_limits<double>::infinity();
}

} // namespace lp

namespace lp {
namespace {

// The elevations where Line crosses x = X, where it is no steeper than 1 in 1.
void LineCrossings(const TConstraintLine& Line, double X, std::vector<double>& Targets)
{
    for (size_t i = 0; i + 1 < Line.Points.size(); ++i) {
        TGeometryPoint a = Line.Points[i], b = Line.Points[i + 1];
        if (a.x > b.x)
            std::swap(a, b);
        if (!(a.x < b.x) || X < a.x || X > b.x || std::fabs(b.y - a.y) > (b.x - a.x))
            continue;
        Targets.push_back(a.y + (b.y - a.y) * (X - a.x) / (b.x - a.x));
    }
}

// The elevations of a log's layer boundaries: half way between two
// neighbouring samples (by elevation) whose values differ by more than Contrast.
std::vector<double> LayerBoundaries(const TWellLog& Log, double Contrast)
{
    std::vector<std::pair<double, double>> samples; // elevation, ln ρ
    for (size_t s = 0; s < Log.Resistivities.size(); ++s)
        if (std::isfinite(Log.Elevations[s]))
            samples.emplace_back(Log.Elevations[s], std::log(Log.Resistivities[s]));
    std::sort(samples.begin(), samples.end(), std::greater<>());
    std::vector<double> boundaries;
    for (size_t s = 1; s < samples.size(); ++s)
        if (std::fabs(samples[s].second - samples[s - 1].second) > std::log(Contrast))
            boundaries.push_back((samples[s].first + samples[s - 1].first) / 2.0);
    return boundaries;
}

} // namespace

TInversionMesh MeshFollowingConstraint(const TInversionMesh& Mesh, const std::vector<TConstraintLine>& Lines,
                                       const std::vector<TWellLog>& Logs, double LayerContrast, double CellGrowth,
                                       double Reach)
{
    if (!(std::isfinite(Reach) && Reach >= 0.0))
        throw EForwardError("The logs' lateral reach must be a finite number of metres, 0 or above.");
    CheckInversionMesh(Mesh);
    if (Lines.empty() && Logs.empty())
        return Mesh;
    std::vector<std::vector<double>> targets(Mesh.ColumnEdges.size());
    for (size_t e = 0; e < Mesh.ColumnEdges.size(); ++e)
        for (const TConstraintLine& line : Lines)
            if (line.Weight < 1.0)
                LineCrossings(line, Mesh.ColumnEdges[e], targets[e]);
    for (const TWellLog& log : Logs) {
        CheckWellLog(log);
        const auto right = std::upper_bound(Mesh.ColumnEdges.begin(), Mesh.ColumnEdges.end(), log.X);
        if (right == Mesh.ColumnEdges.begin() || right == Mesh.ColumnEdges.end())
            continue; // beside the mesh
        const auto e = static_cast<size_t>(right - Mesh.ColumnEdges.begin());
        const std::vector<double> layers = LayerBoundaries(log, LayerContrast);
        for (double y : layers) {
            targets[e - 1].push_back(y);
            targets[e].push_back(y);
        }
        // The layers stand round the well as far as the log's data reach
        // (AddReachedColumns: at the same depth below the ground): rows bent
        // at the well's column alone put the contact in that column only,
        // and its cells take a value their neighbours do not.
        const double ground = SurfaceAt(Mesh, log.X);
        for (size_t edge = 0; edge < Mesh.ColumnEdges.size(); ++edge) {
            const double x = Mesh.ColumnEdges[edge];
            if (edge == e - 1 || edge == e || !(std::fabs(x - log.X) < Reach))
                continue;
            for (double y : layers)
                targets[edge].push_back(SurfaceAt(Mesh, x) - (ground - y));
        }
    }
    return FollowTargets(Mesh, targets, CellGrowth);
}

double LogReachMetres(const TSurvey& Survey, double Spacings)
{
    return Spacings * MedianGap(UsedElectrodePositions(Survey));
}

std::vector<TConstraintLine> SectionBoundaryLines(const TForwardModel& Section, const std::vector<double>& ZoneWeights)
{
    const TModelGeometry& g = Section.Geometry;
    std::map<int, std::vector<int>> regions; // edge: the regions of the surfaces using it
    for (const TGeometrySurface& surface : g.Surfaces) {
        const auto add = [&](const TGeometryLoop& loop) {
            for (int signedEdge : loop)
                regions[std::abs(signedEdge) - 1].push_back(surface.region);
        };
        add(surface.outer);
        for (const TGeometryLoop& hole : surface.holes)
            add(hole);
    }
    TStructuralConstraint weights;
    weights.ZoneWeights = ZoneWeights;
    std::vector<TConstraintLine> lines;
    for (auto& [edge, byRegion] : regions) {
        std::sort(byRegion.begin(), byRegion.end());
        byRegion.erase(std::unique(byRegion.begin(), byRegion.end()), byRegion.end());
        if (byRegion.size() < 2)
            continue;
        double weight = 1.0;
        for (int region : byRegion)
            weight = std::min(weight, ZoneWeight(weights, region));
        if (weight >= 1.0)
            continue;
        const auto& ends = g.Edges.at(static_cast<size_t>(edge));
        lines.push_back({{g.Points.at(static_cast<size_t>(ends.first)), g.Points.at(static_cast<size_t>(ends.second))}, weight});
    }
    return lines;
}

} // namespace lp
