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

} // namespace

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

// --- Analysis, factorisation, path vectors ----------------------------------------------

namespace {

// A workspace of CHOLMOD that prints nothing: the command line keeps its
// standard output for data, and a failure is raised instead. Simplicial
// LL': with the reference BLAS the supernodal factor is slower here.
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

[[noreturn]] void RaiseCholmodFailure(const cholmod_common& common, const char* stage)
{
    if (common.status == CHOLMOD_OUT_OF_MEMORY || common.status == CHOLMOD_TOO_LARGE)
        throw EForwardError(std::string("There is not enough memory to ") + stage +
                            " the system of the forward computation.");
    if (common.status == CHOLMOD_NOT_POSDEF)
        throw EForwardError("The system of the forward computation cannot be factorised (it is not positive definite).");
    throw EForwardError(std::string("The system of the forward computation cannot be ") + stage + "d.");
}

// The elimination tree of P A Pᵀ (Liu's algorithm with path compression):
// for every entry (i, k), i < k, the root of i's subtree so far becomes
// a child of k.
std::vector<int> EliminationTree(const Eigen::SparseMatrix<double>& lower, const std::vector<int>& columnOf)
{
    const size_t n = columnOf.size();
    // The entries above the diagonal of each column of P A Pᵀ.
    std::vector<int> start(n + 1, 0);
    const auto forEachEntry = [&](auto visit) {
        for (int c = 0; c < lower.outerSize(); ++c)
            for (Eigen::SparseMatrix<double>::InnerIterator entry(lower, c); entry; ++entry)
                if (entry.row() != c) {
                    const int i = columnOf[static_cast<size_t>(entry.row())], j = columnOf[static_cast<size_t>(c)];
                    visit(std::min(i, j), std::max(i, j));
                }
    };
    forEachEntry([&](int, int k) { ++start[static_cast<size_t>(k) + 1]; });
    for (size_t k = 0; k < n; ++k)
        start[k + 1] += start[k];
    std::vector<int> above(static_cast<size_t>(start[n])), filled(start.begin(), start.end() - 1);
    forEachEntry([&](int i, int k) { above[static_cast<size_t>(filled[static_cast<size_t>(k)]++)] = i; });
    std::vector<int> parent(n, -1), ancestor(n, -1);
    for (size_t k = 0; k < n; ++k)
        for (int q = start[k]; q < start[k + 1]; ++q)
            for (int i = above[static_cast<size_t>(q)]; i != -1 && i < static_cast<int>(k);) {
                const int next = ancestor[static_cast<size_t>(i)];
                ancestor[static_cast<size_t>(i)] = static_cast<int>(k);
                if (next == -1)
                    parent[static_cast<size_t>(i)] = static_cast<int>(k);
                i = next;
            }
    return parent;
}

} // namespace

double PathProduct(const TPathVector& M, const TPathVector& S)
{
    double sum = 0.0;
    size_t p = 0, q = 0;
    while (p < M.Columns.size() && q < S.Columns.size()) {
        if (M.Columns[p] < S.Columns[q])
            ++p;
        else if (S.Columns[q] < M.Columns[p])
            ++q;
        else
            sum += M.Values[p++] * S.Values[q++];
    }
    return sum;
}

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
    const int* order = static_cast<const int*>(FSymbolic->Perm);
    FColumnOf.assign(FSymbolic->n, 0);
    for (size_t k = 0; k < FSymbolic->n; ++k)
        FColumnOf[static_cast<size_t>(order[k])] = static_cast<int>(k);
    FParent = EliminationTree(Pattern, FColumnOf);
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
    return FCommon.lnz;
}

double TSystemAnalysis::FactorBytes() const
{
    // Values and row indices of the factor, its column structure and the
    // factorisation's integer and real work arrays.
    return 12.0 * FactorEntries() + 64.0 * static_cast<double>(FSymbolic->n);
}

int TSystemAnalysis::Column(int Node) const
{
    if (Node < 0 || static_cast<size_t>(Node) >= FColumnOf.size())
        throw EForwardError("An electrode's node lies outside the system of the forward computation.");
    return FColumnOf[static_cast<size_t>(Node)];
}

int TSystemAnalysis::PathLength(int Node) const
{
    int length = 0;
    for (int j = Column(Node); j != -1; j = FParent[static_cast<size_t>(j)])
        ++length;
    return length;
}

TSystemFactor::TSystemFactor(const TSystemAnalysis& Analysis) : FAnalysis(Analysis)
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
    if (FFactor->is_super || !FFactor->is_ll)
        throw EForwardError("The factor of the forward computation is not a simplicial LL'.");
    FFactorised = true;
}

TPathVector TSystemFactor::PathSolve(int Node)
{
    if (!FFactorised)
        throw EForwardError("The system of the forward computation was not factorised.");
    const int* start = static_cast<const int*>(FFactor->p);
    const int* count = static_cast<const int*>(FFactor->nz);
    const int* row = static_cast<const int*>(FFactor->i);
    const double* value = static_cast<const double*>(FFactor->x);
    FWork.resize(FFactor->n, 0.0);
    TPathVector y;
    // Forward substitution down the path: column j's entries below the
    // diagonal (the diagonal comes first) all lie on the path further up.
    int j = FAnalysis.Column(Node);
    FWork[static_cast<size_t>(j)] = 1.0;
    for (; j != -1; j = FAnalysis.FParent[static_cast<size_t>(j)]) {
        const int first = start[j];
        const double yj = FWork[static_cast<size_t>(j)] / value[first];
        FWork[static_cast<size_t>(j)] = 0.0;
        y.Columns.push_back(j);
        y.Values.push_back(yj);
        for (int q = first + 1; q < first + count[j]; ++q)
            FWork[static_cast<size_t>(row[q])] -= value[q] * yj;
    }
    return y;
}

Eigen::MatrixXd TSystemFactor::Solve(const Eigen::MatrixXd& B)
{
    if (!FFactorised)
        throw EForwardError("The system of the forward computation was not factorised.");
    if (static_cast<size_t>(B.rows()) != FFactor->n)
        throw EForwardError("The right-hand sides do not match the system of the forward computation.");
    cholmod_dense view{};
    view.nrow = static_cast<size_t>(B.rows());
    view.ncol = static_cast<size_t>(B.cols());
    view.nzmax = view.nrow * view.ncol;
    view.d = view.nrow;
    view.x = const_cast<double*>(B.data());
    view.xtype = CHOLMOD_REAL;
    view.dtype = CHOLMOD_DOUBLE;
    cholmod_dense* x = cholmod_solve(CHOLMOD_A, FFactor, &view, &FCommon);
    if (!x)
        RaiseCholmodFailure(FCommon, "solve");
    Eigen::MatrixXd solution = Eigen::Map<const Eigen::MatrixXd>(static_cast<const double*>(x->x), B.rows(), B.cols());
    cholmod_free_dense(&x, &FCommon);
    return solution;
}

void TSystemFactor::SolveSources(const std::vector<int>& Sources, double Scale, TNodeMatrix& Out)
{
    if (!FFactorised)
        throw EForwardError("The system of the forward computation was not factorised.");
    std::vector<int> columns;
    for (int node : Sources)
        columns.push_back(FAnalysis.Column(node));
    const int* start = static_cast<const int*>(FFactor->p);
    const int* count = static_cast<const int*>(FFactor->nz);
    const int* row = static_cast<const int*>(FFactor->i);
    const double* value = static_cast<const double*>(FFactor->x);
    const auto n = static_cast<int>(FFactor->n);
    // Sources at a time: their values at a column lie together, so that a
    // factor entry read once serves them all.
    constexpr int Width = SourceBlock;
    using TSourceRow = Eigen::Array<double, Width, 1>;
    Out.resize(n, static_cast<Eigen::Index>(Sources.size()));
    FBlock.resize(static_cast<size_t>(n) * Width);
    double* x = FBlock.data();
    for (size_t first = 0; first < Sources.size(); first += Width) {
        const int width = static_cast<int>(std::min<size_t>(Width, Sources.size() - first));
        std::fill(FBlock.begin(), FBlock.end(), 0.0);
        // L y = P e_s: nonzero on the source's path only.
        for (int s = 0; s < width; ++s) {
            int j = columns[first + static_cast<size_t>(s)];
            x[static_cast<size_t>(j) * Width + static_cast<size_t>(s)] = Scale;
            for (; j != -1; j = FAnalysis.FParent[static_cast<size_t>(j)]) {
                const int diagonal = start[j];
                double& yj = x[static_cast<size_t>(j) * Width + static_cast<size_t>(s)];
                yj /= value[diagonal];
                for (int q = diagonal + 1; q < diagonal + count[j]; ++q)
                    x[static_cast<size_t>(row[q]) * Width + static_cast<size_t>(s)] -= value[q] * yj;
            }
        }
        // Lᵀ z = y, every column from the last.
        for (int j = n - 1; j >= 0; --j) {
            const int diagonal = start[j];
            double* xj = x + static_cast<size_t>(j) * Width;
            TSourceRow sum = Eigen::Map<const TSourceRow>(xj);
            for (int q = diagonal + 1; q < diagonal + count[j]; ++q)
                sum -= value[q] * Eigen::Map<const TSourceRow>(x + static_cast<size_t>(row[q]) * Width);
            Eigen::Map<TSourceRow> solved(xj);
            solved = sum / value[diagonal];
        }
        // Back to the nodes' order: A⁻¹ = Pᵀ L⁻ᵀ L⁻¹ P.
        for (int node = 0; node < n; ++node) {
            const double* z = x + static_cast<size_t>(FAnalysis.FColumnOf[static_cast<size_t>(node)]) * Width;
            for (int s = 0; s < width; ++s)
                Out(node, static_cast<Eigen::Index>(first) + s) = z[s];
        }
    }
}

Eigen::MatrixXd BackTransform(const std::vector<Eigen::MatrixXd>& Transformed, const std::vector<double>& Weights)
{
    Eigen::MatrixXd sum = Eigen::MatrixXd::Zero(Transformed.front().rows(), Transformed.front().cols());
    for (size_t i = 0; i < Transformed.size(); ++i)
        sum += Weights[i] * Transformed[i];
    return (2.0 / std::numbers::pi) * sum;
}

} // namespace lp
