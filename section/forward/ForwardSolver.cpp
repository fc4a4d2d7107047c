#include "section/forward/ForwardSolver.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace lp {

// --- Bessel functions (polynomial approximations of K₀, K₁, I₀, I₁) ----------

namespace {

double BesselI0(double x)
{
    const double t = (x / 3.75) * (x / 3.75);
    return 1.0 + t * (3.5156229 + t * (3.0899424 + t * (1.2067492 + t * (0.2659732 + t * (0.0360768 + t * 0.0045813)))));
}

double BesselI1(double x)
{
    const double t = (x / 3.75) * (x / 3.75);
    return x * (0.5 + t * (0.87890594 + t * (0.51498869 + t * (0.15084934 + t * (0.02658733 + t * (0.00301532 + t * 0.00032411))))));
}

// √x eˣ K₀(x) and √x eˣ K₁(x) for x >= 2.
double ScaledK0(double x)
{
    const double t = 2.0 / x;
    return 1.25331414 + t * (-0.07832358 + t * (0.02189568 + t * (-0.01062446 + t * (0.00587872 + t * (-0.00251540 + t * 0.00053208)))));
}

double ScaledK1(double x)
{
    const double t = 2.0 / x;
    return 1.25331414 + t * (0.23498619 + t * (-0.03655620 + t * (0.01504268 + t * (-0.00780353 + t * (0.00325614 + t * -0.00068245)))));
}

} // namespace

double BesselK0(double X)
{
    if (X <= 2.0) {
        const double t = X * X / 4.0;
        return -std::log(X / 2.0) * BesselI0(X) +
               (-0.57721566 + t * (0.42278420 + t * (0.23069756 + t * (0.03488590 + t * (0.00262698 + t * (0.00010750 + t * 0.0000074))))));
    }
    return std::exp(-X) / std::sqrt(X) * ScaledK0(X);
}

double BesselK1(double X)
{
    if (X <= 2.0) {
        const double t = X * X / 4.0;
        return (X * std::log(X / 2.0) * BesselI1(X) +
                (1.0 + t * (0.15443144 + t * (-0.67278579 + t * (-0.18156897 + t * (-0.01919402 + t * (-0.00110404 + t * -0.00004686))))))) /
               X;
    }
    return std::exp(-X) / std::sqrt(X) * ScaledK1(X);
}

double BesselK1OverK0(double X)
{
    if (X <= 2.0)
        return BesselK1(X) / BesselK0(X);
    return ScaledK1(X) / ScaledK0(X);
}

// --- Elements and pattern -------------------------------------------------------

namespace {

const TGeometryPoint& At(const TForwardMesh& mesh, int node)
{
    return mesh.Nodes[static_cast<size_t>(node)];
}

constexpr int LocalRow[6] = {0, 0, 0, 1, 1, 2};
constexpr int LocalColumn[6] = {0, 1, 2, 1, 2, 2};

// The mass matrix of a linear triangle: area / 12 times 2 on the diagonal, 1 off it.
double MassFactor(int q)
{
    return LocalRow[q] == LocalColumn[q] ? 2.0 / 12.0 : 1.0 / 12.0;
}

// The place of entry (row, column), row >= column, in the compressed values.
int Place(const Eigen::SparseMatrix<double>& matrix, int row, int column)
{
    if (row < column)
        std::swap(row, column);
    const int* inner = matrix.innerIndexPtr();
    const int* begin = inner + matrix.outerIndexPtr()[column];
    const int* end = inner + matrix.outerIndexPtr()[column + 1];
    const int* found = std::lower_bound(begin, end, row);
    return static_cast<int>(found - inner);
}

double Distance(const TGeometryPoint& a, const TGeometryPoint& b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// α = k K₁(kr)/K₀(kr) cos θ of the mixed condition at an outer edge.
double MixedCoefficient(const TElementMatrices& elements, size_t edge, double k, const TGeometryPoint& centre)
{
    const TGeometryPoint& middle = elements.EdgeMiddle[edge];
    const TGeometryPoint& normal = elements.EdgeNormal[edge];
    const double r = Distance(middle, centre);
    if (r <= 0.0)
        return 0.0;
    const double cosine = ((middle.x - centre.x) * normal.x + (middle.y - centre.y) * normal.y) / r;
    return k * BesselK1OverK0(k * r) * cosine;
}

} // namespace

TElementMatrices ElementMatrices(const TForwardMesh& Mesh)
{
    TElementMatrices elements;
    elements.Stiffness.reserve(Mesh.Triangles.size());
    elements.Area.reserve(Mesh.Triangles.size());
    double centreX = 0.0, centreY = 0.0;
    for (const TGeometryPoint& node : Mesh.Nodes) {
        centreX += node.x;
        centreY += node.y;
    }
    const TGeometryPoint inside{centreX / static_cast<double>(Mesh.Nodes.size()), centreY / static_cast<double>(Mesh.Nodes.size())};
    for (const std::array<int, 3>& t : Mesh.Triangles) {
        const TGeometryPoint& p0 = At(Mesh, t[0]);
        const TGeometryPoint& p1 = At(Mesh, t[1]);
        const TGeometryPoint& p2 = At(Mesh, t[2]);
        const double b[3] = {p1.y - p2.y, p2.y - p0.y, p0.y - p1.y};
        const double c[3] = {p2.x - p1.x, p0.x - p2.x, p1.x - p0.x};
        const double area = 0.5 * ((p1.x - p0.x) * (p2.y - p0.y) - (p2.x - p0.x) * (p1.y - p0.y));
        std::array<double, 6> stiffness{};
        for (int q = 0; q < 6; ++q) {
            const int i = LocalRow[q], j = LocalColumn[q];
            stiffness[static_cast<size_t>(q)] = (b[i] * b[j] + c[i] * c[j]) / (4.0 * area);
        }
        elements.Stiffness.push_back(stiffness);
        elements.Area.push_back(area);
    }
    for (const std::array<int, 2>& e : Mesh.OuterEdges) {
        const TGeometryPoint& a = At(Mesh, e[0]);
        const TGeometryPoint& b = At(Mesh, e[1]);
        const double length = Distance(a, b);
        const TGeometryPoint middle{(a.x + b.x) / 2, (a.y + b.y) / 2};
        TGeometryPoint normal{(b.y - a.y) / length, -(b.x - a.x) / length};
        // Outward: away from the mesh's middle.
        if ((middle.x - inside.x) * normal.x + (middle.y - inside.y) * normal.y < 0)
            normal = {-normal.x, -normal.y};
        elements.EdgeLength.push_back(length);
        elements.EdgeMiddle.push_back(middle);
        elements.EdgeNormal.push_back(normal);
    }
    return elements;
}

TSystemPattern SystemPattern(const TForwardMesh& Mesh)
{
    const int n = static_cast<int>(Mesh.Nodes.size());
    std::vector<Eigen::Triplet<double>> entries;
    entries.reserve(6 * Mesh.Triangles.size());
    for (const std::array<int, 3>& t : Mesh.Triangles)
        for (int q = 0; q < 6; ++q) {
            const int i = t[static_cast<size_t>(LocalRow[q])], j = t[static_cast<size_t>(LocalColumn[q])];
            entries.emplace_back(std::max(i, j), std::min(i, j), 0.0);
        }
    TSystemPattern pattern;
    pattern.Matrix.resize(n, n);
    pattern.Matrix.setFromTriplets(entries.begin(), entries.end());
    pattern.Matrix.makeCompressed();
    for (const std::array<int, 3>& t : Mesh.Triangles) {
        std::array<int, 6> places{};
        for (int q = 0; q < 6; ++q)
            places[static_cast<size_t>(q)] =
                Place(pattern.Matrix, t[static_cast<size_t>(LocalRow[q])], t[static_cast<size_t>(LocalColumn[q])]);
        pattern.TrianglePlaces.push_back(places);
    }
    for (const std::array<int, 2>& e : Mesh.OuterEdges)
        pattern.EdgePlaces.push_back(
            {Place(pattern.Matrix, e[0], e[0]), Place(pattern.Matrix, e[0], e[1]), Place(pattern.Matrix, e[1], e[1])});
    return pattern;
}

Eigen::SparseMatrix<double> AssembleSystem(const TForwardMesh& Mesh, const TElementMatrices& Elements,
                                           const TSystemPattern& Pattern, const std::vector<double>& Conductivity,
                                           double K, const TGeometryPoint& Centre)
{
    Eigen::SparseMatrix<double> A = Pattern.Matrix;
    double* values = A.valuePtr();
    std::fill(values, values + A.nonZeros(), 0.0);
    const double k2 = K * K;
    for (size_t t = 0; t < Mesh.Triangles.size(); ++t) {
        const double sigma = Conductivity[static_cast<size_t>(Mesh.TriangleRegion[t])];
        const double area = Elements.Area[t];
        for (int q = 0; q < 6; ++q)
            values[Pattern.TrianglePlaces[t][static_cast<size_t>(q)]] +=
                sigma * (Elements.Stiffness[t][static_cast<size_t>(q)] + k2 * area * MassFactor(q));
    }
    for (size_t e = 0; e < Mesh.OuterEdges.size(); ++e) {
        const double sigma = Conductivity[static_cast<size_t>(Mesh.OuterEdgeRegion[e])];
        const double factor = sigma * MixedCoefficient(Elements, e, K, Centre) * Elements.EdgeLength[e] / 6.0;
        values[Pattern.EdgePlaces[e][0]] += 2.0 * factor;
        values[Pattern.EdgePlaces[e][1]] += factor;
        values[Pattern.EdgePlaces[e][2]] += 2.0 * factor;
    }
    return A;
}

// --- Sources ----------------------------------------------------------------------

std::vector<TSource> SourcesAt(const TForwardMesh& Mesh, const TElementMatrices& Elements,
                               const std::vector<double>& Conductivity, const std::vector<int>& Nodes)
{
    std::vector<TSource> sources;
    for (int node : Nodes)
        sources.push_back({node, 0.0, false});
    // Area-weighted mean conductivity of the triangles at each node.
    std::vector<double> weight(sources.size(), 0.0);
    std::vector<double> first(sources.size(), std::numeric_limits<double>::quiet_NaN());
    std::vector<int> sourceOf(Mesh.Nodes.size(), -1);
    for (size_t s = 0; s < sources.size(); ++s)
        sourceOf[static_cast<size_t>(sources[s].node)] = static_cast<int>(s);
    for (size_t t = 0; t < Mesh.Triangles.size(); ++t)
        for (int node : Mesh.Triangles[t]) {
            const int s = sourceOf[static_cast<size_t>(node)];
            if (s < 0)
                continue;
            const double sigma = Conductivity[static_cast<size_t>(Mesh.TriangleRegion[t])];
            TSource& source = sources[static_cast<size_t>(s)];
            if (std::isnan(first[static_cast<size_t>(s)]))
                first[static_cast<size_t>(s)] = sigma;
            else if (sigma != first[static_cast<size_t>(s)])
                source.onBoundary = true;
            source.sigma0 += sigma * Elements.Area[t];
            weight[static_cast<size_t>(s)] += Elements.Area[t];
        }
    for (size_t s = 0; s < sources.size(); ++s)
        sources[s].sigma0 = sources[s].onBoundary ? sources[s].sigma0 / weight[s] : first[s];
    return sources;
}

namespace {

// The primary field's right-hand side of one source: minus the operator of
// the conductivity differences applied to the half-space field.
void SecondarySourceTerm(const TForwardMesh& mesh, const TElementMatrices& elements,
                         const std::vector<double>& conductivity, const TSource& source, double k,
                         const TGeometryPoint& centre, Eigen::Ref<Eigen::VectorXd> b)
{
    const TGeometryPoint& s = At(mesh, source.node);
    const double scale = 1.0 / (2.0 * std::numbers::pi * source.sigma0);
    // The field at the source node itself, where triangles of another
    // conductivity touch it: the mean over the nearest triangles' size.
    double nearest = std::numeric_limits<double>::infinity();
    std::vector<double> primary(mesh.Nodes.size(), std::numeric_limits<double>::quiet_NaN());
    const auto field = [&](int node) {
        double& value = primary[static_cast<size_t>(node)];
        if (std::isnan(value)) {
            double r = Distance(At(mesh, node), s);
            if (r == 0.0)
                r = nearest;
            value = scale * BesselK0(k * r);
        }
        return value;
    };
    const double same = 1e-12 * source.sigma0;
    if (source.onBoundary)
        for (size_t t = 0; t < mesh.Triangles.size(); ++t) {
            const std::array<int, 3>& tri = mesh.Triangles[t];
            if (tri[0] == source.node || tri[1] == source.node || tri[2] == source.node)
                nearest = std::min(nearest, std::sqrt(elements.Area[t]) / 3.0);
        }
    const double k2 = k * k;
    for (size_t t = 0; t < mesh.Triangles.size(); ++t) {
        const double difference = conductivity[static_cast<size_t>(mesh.TriangleRegion[t])] - source.sigma0;
        if (std::fabs(difference) <= same)
            continue;
        const std::array<int, 3>& tri = mesh.Triangles[t];
        const double u[3] = {field(tri[0]), field(tri[1]), field(tri[2])};
        double local[3] = {0.0, 0.0, 0.0};
        for (int q = 0; q < 6; ++q) {
            const int i = LocalRow[q], j = LocalColumn[q];
            const double entry = elements.Stiffness[t][static_cast<size_t>(q)] + k2 * elements.Area[t] * MassFactor(q);
            local[i] += entry * u[j];
            if (i != j)
                local[j] += entry * u[i];
        }
        for (int i = 0; i < 3; ++i)
            b[tri[static_cast<size_t>(i)]] -= difference * local[i];
    }
    for (size_t e = 0; e < mesh.OuterEdges.size(); ++e) {
        const double difference = conductivity[static_cast<size_t>(mesh.OuterEdgeRegion[e])] - source.sigma0;
        if (std::fabs(difference) <= same)
            continue;
        const int i = mesh.OuterEdges[e][0], j = mesh.OuterEdges[e][1];
        const double factor = difference * MixedCoefficient(elements, e, k, centre) * elements.EdgeLength[e] / 6.0;
        b[i] -= factor * (2.0 * field(i) + field(j));
        b[j] -= factor * (field(i) + 2.0 * field(j));
    }
}

} // namespace

Eigen::MatrixXd SourceTerms(const TForwardMesh& Mesh, const TElementMatrices& Elements,
                            const std::vector<double>& Conductivity, const std::vector<TSource>& Sources, double K,
                            const TGeometryPoint& Centre, TFieldKind Kind)
{
    Eigen::MatrixXd b = Eigen::MatrixXd::Zero(static_cast<Eigen::Index>(Mesh.Nodes.size()),
                                              static_cast<Eigen::Index>(Sources.size()));
    for (size_t s = 0; s < Sources.size(); ++s) {
        if (Kind == TFieldKind::Total)
            b(Sources[s].node, static_cast<Eigen::Index>(s)) = 0.5;
        else
            SecondarySourceTerm(Mesh, Elements, Conductivity, Sources[s], K, Centre, b.col(static_cast<Eigen::Index>(s)));
    }
    return b;
}

// --- Factorisation, solution, back-transform ----------------------------------------

void TSystemFactor::Factorise(const Eigen::SparseMatrix<double>& A)
{
    if (!FAnalysed) {
        FSolver.analyzePattern(A);
        FAnalysed = true;
    }
    FSolver.factorize(A);
    if (FSolver.info() != Eigen::Success)
        throw EForwardError("The system of the forward computation cannot be factorised (it is not positive definite).");
}

Eigen::MatrixXd TSystemFactor::Solve(const Eigen::MatrixXd& B) const
{
    Eigen::MatrixXd x = FSolver.solve(B);
    if (FSolver.info() != Eigen::Success)
        throw EForwardError("The system of the forward computation cannot be solved.");
    return x;
}

Eigen::MatrixXd PotentialsAt(const Eigen::MatrixXd& Solution, const std::vector<int>& ElectrodeNodes)
{
    Eigen::MatrixXd potentials(Solution.cols(), static_cast<Eigen::Index>(ElectrodeNodes.size()));
    for (Eigen::Index s = 0; s < Solution.cols(); ++s)
        for (size_t e = 0; e < ElectrodeNodes.size(); ++e)
            potentials(s, static_cast<Eigen::Index>(e)) = Solution(ElectrodeNodes[e], s);
    return potentials;
}

Eigen::MatrixXd BackTransform(const std::vector<Eigen::MatrixXd>& Transformed, const std::vector<double>& Weights)
{
    Eigen::MatrixXd sum = Eigen::MatrixXd::Zero(Transformed.front().rows(), Transformed.front().cols());
    for (size_t i = 0; i < Transformed.size(); ++i)
        sum += Weights[i] * Transformed[i];
    return (2.0 / std::numbers::pi) * sum;
}

} // namespace lp
