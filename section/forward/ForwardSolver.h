#pragma once
// The finite-element stages of the 2.5-D computation, one wavenumber at a
// time.
//
// For a wavenumber k (1/m) the transformed potential Ũ(x, y) of a unit
// point current I at s solves
//     -∇·(σ ∇Ũ) + k² σ Ũ = (I/2) δ(x - s)
// on the padded section, σ = 1/ρ in S/m per triangle; no current crosses
// the ground surface (∂Ũ/∂n = 0); on the padding's sides and bottom the
// mixed condition σ ∂Ũ/∂n + σ k (K₁(kr)/K₀(kr)) cos θ Ũ = 0 lets the field
// decay like a point source's, r and θ taken from the survey's centre on
// the surface (so one matrix serves every source). Linear triangles give
// a symmetric positive definite system A(k), factorised once (CHOLMOD); the
// potentials between electrodes come from the factor directly (below).
//
// The source is the point current itself: (I/2) on the right-hand side at
// the electrode's node. The mesh is fine at every electrode, so the point
// source's smearing stays within the elements around it, and the potential
// is read at other electrodes only.

#include "section/forward/ForwardMesh.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>
#include <cholmod.h>

#include <array>
#include <vector>

namespace lp {

// The local rows and columns of a triangle's six element-matrix entries,
// the upper triangle by rows (00 01 02 11 12 22).
inline constexpr int LocalRow[6] = {0, 0, 0, 1, 1, 2};
inline constexpr int LocalColumn[6] = {0, 1, 2, 1, 2, 2};

// K₁(x) / K₀(x) for x > 0, finite where both underflow.
double BesselK1OverK0(double X);

// Per triangle: the gradient stiffness for σ = 1 (upper triangle of the
// 3 x 3 matrix: 00 01 02 11 12 22) and the area; per outer edge its
// length, middle and outward normal.
struct TElementMatrices {
    std::vector<std::array<double, 6>> Stiffness;
    std::vector<double> Area;
    std::vector<double> EdgeLength;
    std::vector<TGeometryPoint> EdgeMiddle;
    std::vector<TGeometryPoint> EdgeNormal;
};

// The sparse pattern of the system (lower triangle, column-major) and the
// position of every triangle's and outer edge's entries in its values.
struct TSystemPattern {
    Eigen::SparseMatrix<double> Matrix;           // the pattern, values 0
    std::vector<std::array<int, 6>> TrianglePlaces; // order as in TElementMatrices::Stiffness
    std::vector<std::array<int, 3>> EdgePlaces;     // 00 01 11
};

TElementMatrices ElementMatrices(const TForwardMesh& Mesh);

// α = k K₁(kr)/K₀(kr) cos θ of the mixed condition at an outer edge, r and
// θ from Centre: the edge adds σ α (length / 6) [2 1; 1 2] to the system.
double MixedCoefficient(const TElementMatrices& Elements, size_t Edge, double K, const TGeometryPoint& Centre);
TSystemPattern SystemPattern(const TForwardMesh& Mesh);

// A(k) for the conductivity of each region (S/m); Centre is the point the
// mixed condition measures r and θ from.
Eigen::SparseMatrix<double> AssembleSystem(const TForwardMesh& Mesh, const TElementMatrices& Elements,
                                           const TSystemPattern& Pattern, const std::vector<double>& Conductivity,
                                           double K, const TGeometryPoint& Centre);

// The potentials at the electrodes without solving for every node. With
// P A Pᵀ = L Lᵀ (P the fill-reducing order), the potential at node m of a
// current at node s is e_mᵀ A⁻¹ e_s = (L⁻¹ P e_m)ᵀ (L⁻¹ P e_s), and
// y = L⁻¹ P e_j is nonzero only on the path from j's column to the root of
// the elimination tree: a few thousand entries on a mesh of 100,000 nodes.
// One such path vector per electrode, and a dot product per datum's pair
// of a current and a potential electrode, cost a small part of a solution
// for every node; and the product is exactly symmetric (reciprocity).

// L⁻¹ P e_j: its entries on j's path, by ascending column.
struct TPathVector {
    std::vector<int> Columns;
    std::vector<double> Values;
};

// e_mᵀ A⁻¹ e_s of the two path vectors: their dot product over the
// columns they share, summed in ascending order whichever comes first.
double PathProduct(const TPathVector& M, const TPathVector& S);

// The fill-reducing ordering of the system's pattern, the factor's
// structure (CHOLMOD's symbolic analysis) and its elimination tree, done
// once per mesh and shared by the factors of every run and wavenumber.
class TSystemAnalysis {
public:
    // Pattern: the lower triangle (TSystemPattern::Matrix).
    explicit TSystemAnalysis(const Eigen::SparseMatrix<double>& Pattern);
    ~TSystemAnalysis();
    TSystemAnalysis(const TSystemAnalysis&) = delete;
    TSystemAnalysis& operator=(const TSystemAnalysis&) = delete;

    int Nodes() const;
    // The entries of the factor.
    double FactorEntries() const;
    // Bytes a numeric factor and its factorisation's workspace take.
    double FactorBytes() const;
    // The entries of a node's path vector. Raises EForwardError for a node
    // outside the system.
    int PathLength(int Node) const;

private:
    friend class TSystemFactor;
    int Column(int Node) const;

    mutable cholmod_common FCommon;
    cholmod_factor* FSymbolic = nullptr;
    std::vector<int> FColumnOf; // node -> column of P A Pᵀ
    std::vector<int> FParent;   // column -> its parent in the elimination tree, -1 at a root
};

// Matrices of one row per node, for the potentials at every node of
// several sources: a node's values lie together.
using TNodeMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

// One factorisation of A(k) over a shared analysis; one per thread.
// CHOLMOD prints nothing: its failures are raised as EForwardError.
class TSystemFactor {
public:
    explicit TSystemFactor(const TSystemAnalysis& Analysis);
    ~TSystemFactor();
    TSystemFactor(const TSystemFactor&) = delete;
    TSystemFactor& operator=(const TSystemFactor&) = delete;

    // A: the lower triangle, of the analysed pattern. Raises EForwardError
    // when A is not positive definite.
    void Factorise(const Eigen::SparseMatrix<double>& A);
    // L⁻¹ P e_node of the factorised system.
    TPathVector PathSolve(int Node);
    // A⁻¹ B for every node: one column per right-hand side.
    Eigen::MatrixXd Solve(const Eigen::MatrixXd& B);
    // A⁻¹ (Scale e_s) for every node s of Sources, at every node: Out gets
    // a row per node and a column per source. The forward substitution
    // follows each source's path (as PathSolve), the backward one is done
    // for a few sources at a time in one pass over the factor: about half
    // the work of Solve on the unit columns, and no dense right-hand side.
    // Raises EForwardError for a node outside the system.
    void SolveSources(const std::vector<int>& Sources, double Scale, TNodeMatrix& Out);
    // The sources SolveSources works on at once: it holds that many values
    // per node besides Out.
    static constexpr int SourceBlock = 16;

private:
    const TSystemAnalysis& FAnalysis;
    cholmod_common FCommon;
    cholmod_factor* FFactor = nullptr;
    std::vector<double> FWork;   // zero between calls
    std::vector<double> FBlock;  // SolveSources' few sources, node-interleaved
    bool FFactorised = false;
};

// U = (2/π) Σ wᵢ Ũ(kᵢ), elementwise over the matrices of the wavenumbers,
// summed in the order of the wavenumbers.
Eigen::MatrixXd BackTransform(const std::vector<Eigen::MatrixXd>& Transformed, const std::vector<double>& Weights);

} // namespace lp
