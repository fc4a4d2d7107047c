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
// a symmetric positive definite system A(k), factorised once (CHOLMOD) and
// solved for every current electrode.
//
// Sources: the total field (the point source itself on the right-hand
// side) where the surface has a relief, the secondary field elsewhere: the
// primary field of a half-space of the conductivity σ₀ at the electrode,
// Ũp = K₀(k r) / (2π σ₀), is known exactly, and only the field of the
// differences σ - σ₀ is computed on the mesh, with the right-hand side
// -Σ (σ - σ₀) (S + k² M) Ũp over the triangles where σ differs. The point
// source's singularity never meets the mesh: a homogeneous ground is exact.
// An electrode on a region boundary (σ differs around it) takes the mean
// conductivity around it as σ₀ and is as accurate as its mesh.

#include "section/forward/ForwardMesh.h"

#include <Eigen/Dense>
#include <Eigen/Sparse>
#include <Eigen/CholmodSupport>

#include <array>
#include <vector>

namespace lp {

// The modified Bessel functions K₀ and K₁ of the second kind for x > 0,
// relative error below 2e-7 (polynomial approximations; far faster than
// std::cyl_bessel_k, which the primary field would call for every node).
double BesselK0(double X);
double BesselK1(double X);
// K₁(x) / K₀(x), finite for every x > 0.
double BesselK1OverK0(double X);

// Per triangle: the gradient stiffness for σ = 1 (upper triangle of the
// 3 x 3 matrix: 00 01 02 11 12 22) and the area; per outer edge its length
// and the outward normal.
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
TSystemPattern SystemPattern(const TForwardMesh& Mesh);

// A(k) for the conductivity of each region (S/m); Centre is the point the
// mixed condition measures r and θ from.
Eigen::SparseMatrix<double> AssembleSystem(const TForwardMesh& Mesh, const TElementMatrices& Elements,
                                           const TSystemPattern& Pattern, const std::vector<double>& Conductivity,
                                           double K, const TGeometryPoint& Centre);

// A current electrode and the half-space it sees.
struct TSource {
    int node = 0;            // the electrode's mesh node
    double sigma0 = 1.0;     // conductivity of the primary field's half-space (S/m)
    bool onBoundary = false; // σ differs among the triangles at the node
};

// The sources for the electrodes, each with the conductivity around it.
std::vector<TSource> SourcesAt(const TForwardMesh& Mesh, const TElementMatrices& Elements,
                               const std::vector<double>& Conductivity, const std::vector<int>& Nodes);

enum class TFieldKind { Total, Secondary };

// The right-hand sides, one column per source.
Eigen::MatrixXd SourceTerms(const TForwardMesh& Mesh, const TElementMatrices& Elements,
                            const std::vector<double>& Conductivity, const std::vector<TSource>& Sources, double K,
                            const TGeometryPoint& Centre, TFieldKind Kind);

// One factorisation of A(k), reusable for any number of right-hand sides.
// The symbolic analysis is kept when the next matrix has the same pattern.
class TSystemFactor {
public:
    // Raises EForwardError when A is not positive definite.
    void Factorise(const Eigen::SparseMatrix<double>& A);
    Eigen::MatrixXd Solve(const Eigen::MatrixXd& B) const;

private:
    Eigen::CholmodSimplicialLLT<Eigen::SparseMatrix<double>, Eigen::Lower> FSolver;
    bool FAnalysed = false;
};

// The transformed potentials at the electrodes: row per source, column per
// electrode node.
Eigen::MatrixXd PotentialsAt(const Eigen::MatrixXd& Solution, const std::vector<int>& ElectrodeNodes);

// U = (2/π) Σ wᵢ Ũ(kᵢ), elementwise over the matrices of the wavenumbers.
Eigen::MatrixXd BackTransform(const std::vector<Eigen::MatrixXd>& Transformed, const std::vector<double>& Weights);

} // namespace lp
