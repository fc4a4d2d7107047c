#pragma once
// The apparent resistivities of a survey and their sensitivities to the
// resistivities of sets of regions, by the adjoint method: one mesh and one
// factorisation per wavenumber serve the response and every derivative.
//
// For a parameter j covering the regions R_j (resistivities scaled together)
//   J_ij = ∂ln ρa_i / ∂ln ρ_j
//        = (2/ΔU_i) (2/π) Σ_q w_q Σ_{r∈R_j} σ_r (ũ_A − ũ_B)ᵀ K_r(k_q) (ũ_M − ũ_N)
// with ũ_E = A(k_q)⁻¹ e_E / 2 the transformed potential of a unit current at
// electrode E (every node), K_r(k) = Σ_{triangles of r} (S_e + k² M_e) plus
// the mixed condition's terms of r's outer edges, all for σ = 1: the exact
// derivative of the discrete response (no extra solve per parameter). The
// geometric factor does not depend on the model (flat: analytic; with a
// relief: from a homogeneous ground on the same mesh, computed once), so
// the derivative of ln ρa is that of ln ΔU. When the parameters cover every
// region, Σ_j J_ij = 1 (ρa scales with ρ).
//
// Electrodes off the line (a remote beside it): as in the forward response
// each pair of a current electrode C and a potential electrode P apart
// across the line by Δy is seen through cos(k_q Δy), so a datum's term is
// Σ_{C,P} ±cos(k_q Δy_CP) ũ_Cᵀ K_r ũ_P (by Parseval over y, the cell
// integral of ∇Ũ_C·∇Ũ_P + k² Ũ_C Ũ_P weighted as the potential is); the
// data whose four electrodes stand on one line keep their dipoles' single
// product, and a survey without electrodes off the line is computed as
// before, to the bit.
//
// Units and conventions as ForwardResponse.h: ohm-m, a unit current from A
// to B, ΔU in V/A. The mesh, the wavenumbers and the geometric factors are
// made once by TSensitivityProblem and serve every set of resistivities (a
// fit changes resistivities only). The responses equal those of
// ComputeForwardResponse on the same mesh to rounding.
//
// Per wavenumber and region r a parameter covers, KU_r = K_r U_r on r's
// nodes (U_r: the potentials of every electrode's current there), and each
// datum's term is the dot product of its current dipole's column of U_r
// (ũ_A − ũ_B; a pole's ũ_A alone) with its potential dipole's of KU_r: the
// cost per region is its nodes times the data, and no electrode x
// electrode product of a region is formed.
//
// Threads and memory: the wavenumbers are computed in parallel, on
// Options.Threads threads (every usable core for 0), fewer where the memory
// (Options.MemoryLimit, or what is available) holds fewer: each thread
// keeps a factor, the potentials of every electrode at every node, the
// largest region's products and a batch of its wavenumber's finished
// columns (data x 64); the wavenumbers' parts are summed as they come, in
// the order of the wavenumbers (so the result does not depend on the
// threads), into one data x parameters matrix: a batch of columns waits
// for the wavenumber before it to have added the same batch. MemoryNeed tells the bytes beforehand. Where
// not even one thread fits, Compute raises EForwardError saying so before
// any work.
//
// Progress and cancelling: Progress is called after each wavenumber with
// the fraction done; when it returns false the computation stops and raises
// EForwardCancelled. A failure raises EForwardError; nothing is returned
// half computed. Compute may be called from one thread at a time per problem.

#include "section/forward/ForwardMesh.h"
#include "section/forward/ForwardResponse.h"
#include "section/forward/ForwardSolver.h"

#include <Eigen/Dense>

#include <array>
#include <memory>
#include <vector>

namespace lp {

// The regions (indices into TForwardModel::Regions) one parameter covers.
using TRegionSet = std::vector<int>;

struct TSensitivityResult {
    std::vector<double> Voltages;      // ΔU per configuration, V/A
    std::vector<double> Resistivities; // ρa, ohm-m
    Eigen::MatrixXd Jacobian;          // data x parameters, ∂ln ρa_i / ∂ln ρ_j; no columns without parameters
    int Threads = 0;                   // the threads it was computed on
};

class TSensitivityProblem {
public:
    // Meshes the ground for the survey (placed on its surface) and computes
    // the geometric factors. Raises EForwardError as ComputeForwardResponse
    // does (a survey that cannot be placed, a mesh that cannot be made, a
    // configuration that measures nothing).
    TSensitivityProblem(const TForwardModel& Ground, TSurvey Survey, const TForwardOptions& Options = {});
    ~TSensitivityProblem();
    TSensitivityProblem(const TSensitivityProblem&) = delete;
    TSensitivityProblem& operator=(const TSensitivityProblem&) = delete;

    const TSurvey& Survey() const { return FSurvey; }
    const std::vector<double>& GeometricFactors() const { return FGeometricFactors; }
    int Regions() const { return FRegionCount; }
    int MeshNodes() const { return static_cast<int>(FMesh.Nodes.size()); }
    int MeshTriangles() const { return static_cast<int>(FMesh.Triangles.size()); }
    const TWavenumbers& Wavenumbers() const { return FWavenumbers; }

    // The response for a resistivity per region (ohm-m, finite, above 0)
    // and, for each parameter, its column of the Jacobian. Raises
    // EForwardError for a wrong count or value, a region outside the ground,
    // a datum without a finite value.
    TSensitivityResult Compute(const std::vector<double>& Resistivities, const std::vector<TRegionSet>& Parameters = {},
                               const TForwardProgress& Progress = {}) const;

    // The bytes one Compute with Parameters parameters takes on Threads
    // threads (below 1 counts as 1): per thread its factor, the potentials
    // of every electrode at every node with a block of right-hand sides,
    // the largest region's products and a batch of 64 data columns; once,
    // the data x parameters result. Compute refuses where one thread's
    // need exceeds the memory (Options.MemoryLimit, or what is available):
    // a caller can refuse a survey too big beforehand with the same count.
    double MemoryNeed(int Parameters, int Threads) const;

private:
    struct TRegionMatrices;
    struct TWorkspace;
    // The back-transformed sums over the wavenumbers: the potentials
    // between electrodes (source x electrode) and, per datum and
    // parameter, Σ_{r∈R_j} σ_r (ũ_A − ũ_B)ᵀ K_r (ũ_M − ũ_N).
    struct TTransformed {
        Eigen::MatrixXd Potentials;
        Eigen::MatrixXd Differences;
    };
    // Adds a batch of a wavenumber's finished columns (data x batch) to the
    // sum, one per parameter named; false when the computation stops.
    using TAddColumns = std::function<bool(const Eigen::MatrixXd& Columns, const std::vector<int>& Parameters)>;
    // One wavenumber into Work: its potentials, and its data x parameters
    // columns handed to Add a batch at a time as their parameters finish.
    // RegionParameters: the parameters covering each region; Visits: the
    // regions of each parameter. False when Add said stop.
    bool Wavenumber(class TSystemFactor& Factor, size_t Index, const std::vector<double>& Conductivity,
                    const std::vector<std::vector<int>>& RegionParameters, const std::vector<int>& Visits,
                    TWorkspace& Work, const TAddColumns& Add) const;
    // Threads: where given, the threads chosen.
    TTransformed Wavenumbers(const std::vector<double>& Conductivity, const std::vector<TRegionSet>& Parameters,
                             const TForwardProgress& Progress, int* Threads = nullptr) const;
    double Voltage(const Eigen::MatrixXd& Potentials, const TConfiguration& Configuration) const;

    TForwardOptions FOptions;
    TSurvey FSurvey;
    int FRegionCount = 0;
    TWavenumbers FWavenumbers;
    TForwardMesh FMesh;
    TElementMatrices FElements;
    TSystemPattern FPattern;
    std::unique_ptr<TSystemAnalysis> FAnalysis;
    TGeometryPoint FCentre;
    std::vector<TRegionMatrices> FRegionMatrices;
    std::vector<double> FGeometricFactors;
    // The distinct current (A, B) and potential (M, N) dipoles, -1 for an
    // absent electrode, and the data's parts: a datum's value is the sum of
    // its parts' products, each weighted by cos(k Across).
    struct TDatumPart {
        int Datum = 0;
        int Current = 0, Potential = 0; // into the dipoles
        double Across = 0.0;            // m between the two across the line; 0 on it
    };
    // The dipoles' electrodes as their sources (FSources.Of): electrodes at
    // one x apart across the line share their node and are solved for once.
    std::vector<std::array<int, 2>> FCurrentDipoles, FPotentialDipoles;
    std::vector<TDatumPart> FDatumParts;
    TSourceNodes FSources;
    bool FOffLine = false; // some electrode stands off the line
    bool FPoleProducts = false; // the regions' products source by source (else dipole by dipole)
    double FLargestRegion = 0.0; // its nodes
    // The nodes of a region whose dipoles' columns are formed at once.
    static constexpr int DipoleRows = 128;
    // The finished columns a thread hands to the sum at once.
    static constexpr size_t ColumnBatch = 64;
};

} // namespace lp
