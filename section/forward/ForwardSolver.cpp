#include "section/forward/ForwardSolver.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace lp {

double BesselK1OverK0(double X)
{
    // Beyond x = 50 the asymptotic series; below, the functions themselves.
    if (X > 50.0)
        return 1.0 + 1.0 / (2.0 * X) - 1.0 / (8.0 * X * X);
    return std::cyl_bessel_k(1.0, X) / std::cyl_bessel_k(0.0, X);
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

void SourceTerms(int NodeCount, const std::vector<int>& SourceNodes, int First, int Columns, Eigen::MatrixXd& B)
{
    if (First < 0 || Columns < 0 || static_cast<size_t>(First) + static_cast<size_t>(Columns) > SourceNodes.size())
        throw EForwardError("The sources of a block lie outside the current electrodes.");
    B.resize(NodeCount, Columns);
    B.setZero();
    for (int c = 0; c < Columns; ++c)
        B(SourceNodes[static_cast<size_t>(First + c)], c) = 0.5; // I/2 of the cosine transform
}

// --- Analysis, factorisation, solution ------------------------------------------------

namespace {

// A workspace of CHOLMOD that prints nothing: the command line keeps its
// standard output for data, and a failure is raised instead.
void StartCholmod(cholmod_common& common)
{
    cholmod_start(&common);
    common.print = 0;
    common.supernodal = CHOLMOD_SIMPLICIAL;
    common.final_asis = 0;
    common.final_ll = 1;
}

// The lower triangle of A as CHOLMOD's matrix, without copying.
cholmod_sparse CholmodView(const Eigen::SparseMatrix<double>& a)
{
    if (!a.isCompressed() || a.rows() != a.cols())
        throw EForwardError("The system of the forward computation is not a compressed square matrix.");
    cholmod_sparse view{};
    view.nrow = static_cast<size_t>(a.rows());
    view.ncol = static_cast<size_t>(a.cols());
    view.nzmax = static_cast<size_t>(a.nonZeros());
    view.p = const_cast<int*>(a.outerIndexPtr());
    view.i = const_cast<int*>(a.innerIndexPtr());
    view.x = const_cast<double*>(a.valuePtr());
    view.stype = -1; // the lower triangle holds the symmetric matrix
    view.itype = CHOLMOD_INT;
    view.xtype = CHOLMOD_REAL;
    view.dtype = CHOLMOD_DOUBLE;
    view.sorted = 1;
    view.packed = 1;
    return view;
}

cholmod_dense CholmodView(const Eigen::MatrixXd& b)
{
    cholmod_dense view{};
    view.nrow = static_cast<size_t>(b.rows());
    view.ncol = static_cast<size_t>(b.cols());
    view.nzmax = view.nrow * view.ncol;
    view.d = view.nrow;
    view.x = const_cast<double*>(b.data());
    view.xtype = CHOLMOD_REAL;
    view.dtype = CHOLMOD_DOUBLE;
    return view;
}

[[noreturn]] void RaiseCholmodFailure(const cholmod_common& common, const char* stage)
{
    if (common.status == CHOLMOD_OUT_OF_MEMORY || common.status == CHOLMOD_TOO_LARGE)
        throw EForwardError(std::string("There is not enough memory to ") + stage +
                            " the system of the forward computation.");
    if (common.status == CHOLMOD_NOT_POSDEF)
        throw EForwardError("The system of the forward computation cannot be factorised (it is not positive definite).");
    throw EForwardError(std::string("The system of the forward computation cannot be ") + stage + "d.");
}

} // namespace

TSystemAnalysis::TSystemAnalysis(const Eigen::SparseMatrix<double>& Pattern)
{
    StartCholmod(FCommon);
    cholmod_sparse view = CholmodView(Pattern);
    FSymbolic = cholmod_analyze(&view, &FCommon);
    if (!FSymbolic) {
        const cholmod_common failed = FCommon;
        cholmod_finish(&FCommon);
        RaiseCholmodFailure(failed, "analyse");
    }
}

TSystemAnalysis::~TSystemAnalysis()
{
    cholmod_free_factor(&FSymbolic, &FCommon);
    cholmod_finish(&FCommon);
}

int TSystemAnalysis::Nodes() const
{
    return static_cast<int>(FSymbolic->n);
}

double TSystemAnalysis::FactorEntries() const
{
    return FSymbolic->is_super ? static_cast<double>(FSymbolic->xsize) : FCommon.lnz;
}

double TSystemAnalysis::FactorBytes() const
{
    const double n = static_cast<double>(FSymbolic->n);
    // Values and row indices of the factor, its column structure, and the
    // factorisation's workspace: the largest update matrix and CHOLMOD's
    // integer work arrays.
    const double indices = FSymbolic->is_super ? static_cast<double>(FSymbolic->ssize) : FactorEntries();
    const double update = FSymbolic->is_super ? static_cast<double>(FSymbolic->maxcsize) : n;
    return 8.0 * FactorEntries() + 4.0 * indices + 8.0 * update + 4.0 * 12.0 * n;
}

double TSystemAnalysis::BlockBytes(int Columns) const
{
    // The right-hand sides, the solutions, CHOLMOD's two dense work blocks.
    const double n = static_cast<double>(FSymbolic->n);
    const double rows = n * 3.0 + (FSymbolic->is_super ? static_cast<double>(FSymbolic->maxesize) : 0.0);
    return 8.0 * rows * std::max(Columns, 1);
}

TSystemFactor::TSystemFactor(const TSystemAnalysis& Analysis)
{
    StartCholmod(FCommon);
    FFactor = cholmod_copy_factor(Analysis.FSymbolic, &FCommon);
    if (!FFactor) {
        const cholmod_common failed = FCommon;
        cholmod_finish(&FCommon);
        RaiseCholmodFailure(failed, "factorise");
    }
}

TSystemFactor::~TSystemFactor()
{
    cholmod_free_dense(&FSolution, &FCommon);
    cholmod_free_dense(&FWorkY, &FCommon);
    cholmod_free_dense(&FWorkE, &FCommon);
    cholmod_free_factor(&FFactor, &FCommon);
    cholmod_finish(&FCommon);
}

void TSystemFactor::Factorise(const Eigen::SparseMatrix<double>& A)
{
    if (static_cast<size_t>(A.rows()) != FFactor->n)
        throw EForwardError("The system of the forward computation does not match its analysis.");
    FFactorised = false;
    cholmod_sparse view = CholmodView(A);
    const int done = cholmod_factorize(&view, FFactor, &FCommon);
    if (!done || FCommon.status != CHOLMOD_OK || FFactor->minor < FFactor->n)
        RaiseCholmodFailure(FCommon, "factorise");
    FFactorised = true;
}

Eigen::Map<const Eigen::MatrixXd, 0, Eigen::OuterStride<>> TSystemFactor::Solve(const Eigen::MatrixXd& B)
{
    if (!FFactorised)
        throw EForwardError("The system of the forward computation was not factorised.");
    if (static_cast<size_t>(B.rows()) != FFactor->n)
        throw EForwardError("The right-hand sides do not match the system of the forward computation.");
    cholmod_dense view = CholmodView(B);
    if (!cholmod_solve2(CHOLMOD_A, FFactor, &view, nullptr, &FSolution, nullptr, &FWorkY, &FWorkE, &FCommon))
        RaiseCholmodFailure(FCommon, "solve");
    return {static_cast<const double*>(FSolution->x), static_cast<Eigen::Index>(FSolution->nrow),
            static_cast<Eigen::Index>(FSolution->ncol), Eigen::OuterStride<>(static_cast<Eigen::Index>(FSolution->d))};
}

Eigen::MatrixXd PotentialsAt(const Eigen::Ref<const Eigen::MatrixXd>& Solution, const std::vector<int>& ElectrodeNodes)
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
