#pragma once
// The forward response of a section: the apparent resistivity (and
// apparent chargeability) a resistivity / induced-polarization survey over
// the drawn ground would measure, by a 2.5-D finite-element computation
// (point current sources over a ground that does not change along strike).
//
//   section model ──PrepareForwardModel──> TForwardModel (regions, surface)
//   array layout ──MakeArraySurvey──> TSurvey ──PlaceSurvey──> electrodes on the surface
//   ComputeForwardResponse:
//     PadGeometry (ForwardMesh.h)              padded geometry
//     ChooseWavenumbers (Wavenumbers.h)        quadrature for the survey's distances, out to the padded extent
//     MeshGeometry (ForwardMesh.h)             Gmsh mesh
//     ElementMatrices, SystemPattern, TSystemAnalysis   once per mesh
//       (TMeshSetup, ForwardCache.h: taken over from the cache when the
//       padded geometry is the cache's)
//     the memory estimate: threads, or a refusal before any factorisation
//     per run and wavenumber, in parallel (ForwardSolver.h):
//       AssembleSystem → TSystemFactor::Factorise → PathSolve per electrode
//       → PathProduct per pair of a current and a potential electrode
//     BackTransform → potentials between electrodes
//     data: ΔU per configuration, geometric factor, ρa, ηa
//
// Units: model units are metres, resistivity ohm-m, chargeability per cent;
// a unit current from A to B, ΔU = U(M) - U(N) in volts per ampere.
// Runs: the ground (ρ); with any polarizability also the charged ground
// (ρ / (1 - η), Seigel's formulation), ηa = 1 - ρa / ρa*; with a relief
// also a homogeneous ground of 1 ohm-m on the same mesh, whose ΔU gives the
// geometric factor k = 1 / ΔU; with any phase also the ground of
// ρ·e^{εφ} (ε = PhaseStep, φ in rad), whose ρa' gives the apparent phase to
// first order, φa = ln(ρa' / ρa) / ε = Σ ∂ln ρa/∂ln ρ_r · φ_r (mrad; for
// small phases the complex ρa of the ground ρ·e^{iφ} has this phase). On a
// flat surface k is analytic:
// k = 2π / (1/AM - 1/AN - 1/BM + 1/BN) (terms of absent electrodes left out).
//
// Accuracy (checked datum by datum by the tests against analytic
// solutions): a homogeneous ground within 1 %, layered grounds and
// contacts within 2 % (typically a few tenths of a per cent).
//
// Threads and memory: Threads systems at once (every core the process may
// run on for 0), never more than there are; each thread holds one factor,
// its matrix and the path vectors of the electrodes, and the computation
// keeps the potentials between electrodes per run and wavenumber, never a
// solution of every node. The estimate of that memory is taken before the
// first factorisation: fewer threads where fewer fit, and a refusal
// ("Not enough memory for N electrodes (about X GB; Y GB available).")
// where not even one does. The data do not depend on the thread count.
//
// Reuse: with a cache (TForwardOptions::Cache) a computation over the
// same padded geometry as the cache's last takes over its mesh and symbolic
// analysis; a new one is kept there (ForwardCache.h).
//
// Progress and cancelling: Progress is called before the mesh when it
// waited for another computation's meshing, after the mesh, before
// and after each factorisation and after each block of electrodes with the
// fraction done (0 to 1), from the computing threads but one call at a
// time; when it returns false the computation stops at the next of these
// points (within one factorisation: a tenth of a second on a mesh of
// 100,000 nodes) and raises EForwardCancelled. A failure raises
// EForwardError; nothing is returned half computed. The function keeps no
// state between calls but the cache it is given: several computations may
// run at once (their meshing takes turns).

#include "section/forward/ForwardMesh.h"
#include "section/forward/ForwardModel.h"
#include "section/survey/Survey.h"
#include "section/forward/Wavenumbers.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace lp {

// The step ε of the phased run: ρ·e^{εφ} moves ρa by a few parts in 10⁴
// for phases of tens of mrad, far beyond the solver's rounding and well
// within the first order (the second-order term is ε·φ/2 of φa).
inline constexpr double PhaseStep = 0.01;

class TForwardCache;

struct TForwardOptions {
    TMeshOptions Mesh;
    double QuadratureTolerance = 1e-4; // relative, against 1/r from the survey's smallest distance out to FittedRange (Wavenumbers.h); at least MinimumQuadratureTolerance
    int Threads = 0;                   // systems computed at once; 0 for every core the process may run on (UsableCores)
    double MemoryLimit = 0.0;          // bytes the solve stage may take; 0 for the memory available (AvailableMemory)
    int BlockElectrodes = 0;           // electrodes solved for between two progress calls; 0 to choose by the factor's size
    std::shared_ptr<TForwardCache> Cache; // the mesh to take over when only parameters changed (ForwardCache.h); none for a fresh one
};

// Returns false to stop the computation.
using TForwardProgress = std::function<bool(double Fraction)>;

// Wall-clock seconds of the stages (the per-wavenumber stages summed over
// the threads).
struct TForwardTimes {
    double Mesh = 0.0;
    double Assemble = 0.0;
    double Factorise = 0.0;
    double Solve = 0.0; // the path vectors of the electrodes
    double Total = 0.0;
};

struct TForwardResult : TSurveyResponse {
    std::vector<TGeometryPoint> Surface; // the ground surface it was computed under (points by rising x)
    int MeshNodes = 0;
    int MeshTriangles = 0;
    bool MeshReused = false;              // the mesh and its analysis came from the cache
    TWavenumbers Wavenumbers;
    double QuadratureError = 0.0; // of the wavenumbers against 1/r
    int Threads = 0;              // the threads it computed on
    int BlockElectrodes = 0;      // electrodes solved for between two progress calls
    double MemoryEstimate = 0.0;  // bytes the solve stage was estimated to take on those threads
    TForwardTimes Times;
};

TForwardResult ComputeForwardResponse(const TForwardModel& Ground, TSurvey Survey, const TForwardOptions& Options = {},
                                      const TForwardProgress& Progress = {});

// Electrodes off the line (y not 0, a remote set out beside it) are
// sources of the 2.5-D problem at their x on the surface: between a current
// and a potential electrode Δy apart across the line each wavenumber's
// transformed potential is multiplied by cos(k Δy) before the back-
// transform (the ground does not change along y), the wavenumbers are
// fitted for those pairs too (SurveyWavenumbers: a rule of positive
// weights, wherever the electrode stands, beside the middle of the line
// too; about twice the line's wavenumbers, so twice the factorisations),
// and the flat ground's geometric factor takes their distances in space.
// A survey without electrodes off the line is computed as before, to the
// bit.

// The distinct nodes of the mesh's electrodes, in the order they first
// come, and each electrode's among them: electrodes at one x apart across
// the line share their node (one source of the section's plane), which is
// solved for once. On the line: one per electrode, in their order.
struct TSourceNodes {
    std::vector<int> Nodes;
    std::vector<int> Of; // per electrode, into Nodes
};
TSourceNodes DistinctNodes(const std::vector<int>& ElectrodeNodes);

// cos(K Δy) of a current and a potential electrode of the survey (1 on the
// line).
double AcrossFactor(const TSurvey& Survey, int Current, int Potential, double K);

// The quadrature for the survey: ChooseWavenumbers over the distances in
// the section's plane Smallest .. Largest, and for every offset across the
// line of a current and a potential electrode of one configuration. Raises
// EForwardError naming the two electrodes nearest along the line for their
// offset when no rule reaches the tolerance (not met in any geometry
// tried: a remote 1 to 1000 m off the line, 1 to 250 m along it).
TWavenumbers SurveyWavenumbers(const TSurvey& Survey, double Smallest, double Largest, double Tolerance, double Reach);

// The cores this process may run on: its affinity mask (falling back to
// the machine's count), within its cgroup's processor quota; at least 1.
int UsableCores();

// Runs Work on Threads threads at once, the calling thread one of them and
// the others the shared workers' (WorkerPool.h; fewer when fewer are free,
// or when called from within such work), each with a clean vector state.
// Work shares its tasks through a counter of its own: a copy that starts
// late finds them done. Failed turns true once one of them has raised, so
// that the others can stop early; after all have ended the first
// exception raised is raised again here.
void RunOnThreads(int Threads, const std::function<void(const std::atomic<bool>& Failed)>& Work);

// The bytes of memory this process may still take: the smallest of the
// machine's available memory (MemAvailable), what is left of its cgroup's
// limit and what is left of its address-space limit (RLIMIT_AS) beyond what
// it has mapped.
double AvailableMemory();

// The address space each thread beyond the first takes besides the memory
// its work needs, where an address-space limit applies (RLIMIT_AS): its
// stack and the heap arena the C library reserves for it. 0 without such a
// limit, where reserved address space costs nothing.
double ThreadAddressSpace();

} // namespace lp
