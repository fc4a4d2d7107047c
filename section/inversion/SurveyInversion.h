#pragma once
// The inversion of a measured survey on a parameter mesh: the forward
// computation of the cells' ground (one mesh for every iteration, its
// Jacobian by the adjoint method: Sensitivity.h), the Gauss–Newton
// inversion of the apparent resistivities (Inversion.h), the linear
// inversions of the apparent chargeabilities and of the apparent phases
// (PhaseInversion.h), the cells' coverage, the
// depth of investigation, and the cell table the command line and the
// window save.
//
//   TMeasuredData + TInversionMesh ──TSurveyInverter::Invert──> TSurveyInversion ──FormatInversionTable──> CSV
//                                  ──TSurveyInverter::AddDepthOfInvestigation──> its doi column
//
// Errors: each datum's relative error is the file's where it gives one,
// else ErrorPercent / 100. Well logs add one datum per cell they reach
// (LogPriorData), after the survey's (TInversionSettings::PriorData), and
// one per cell of the columns within their lateral reach, weaker the
// farther from the well: the steps' χ² is the survey's, PriorChiSquare the
// logs'.
// Structural cuts: Structure and Zones scale the roughness between the
// cells they separate (ConstrainedSmoothness). The chargeabilities' absolute errors: the
// file's where given, else 2 % of ηa plus 0.1 (per cent units). The
// phases' absolute error: the file's where given, else PhaseErrorMrad.
// Starting model: Start (one per cell) when given, else a homogeneous
// ground of the data's median apparent resistivity; the regularisation
// pulls towards it (Settings.Reference, when given, instead).
//
// The reference model's smallness (Settings.ReferenceWeight α_s above 0)
// weighs each cell by its area over the smallest cell's area (s_j =
// A_j / A_min; Settings.SmallnessWeights, when given, instead): with these
// weights ‖W_s(m − m_r)‖² approximates ∫(m − m_r)² dA in units of the
// smallest cell, as the roughness approximates its integral whatever the
// cells' shapes. Plain weights (1 per cell) would make the pull depend on
// how finely the mesh is cut: the small cells near the surface, which the
// data decide, would be pulled as hard as the large deep ones, which they
// do not. A weight of 1 pulls a smallest cell about as hard as one pair of
// neighbours' roughness holds it.
//
// Depth of investigation (Inversion.h: DepthOfInvestigation): the two
// reference inversions run on the same forward problem (its mesh,
// factorisation and geometric factors), referenced to the starting model.

#include "section/forward/ForwardResponse.h"
#include "section/inversion/Inversion.h"
#include "section/inversion/InversionMesh.h"
#include "section/inversion/StructuralConstraint.h"
#include "section/survey/MeasuredData.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lp {

// A log's lateral reach by default and at most, in electrode spacings.
inline constexpr double DefaultLogReach = 6.0;
inline constexpr double MostLogReach = 1000.0;

// The apparent phases' absolute error by default, mrad: what a careful
// frequency-domain measurement reaches on a quiet line.
inline constexpr double DefaultPhaseErrorMrad = 0.5;

// How fast the elements of the inversion's forward mesh grow away from the
// electrodes (per unit of distance; the forward computation's own: 0.1).
// The inversion needs its responses well within its data's errors, not as
// closely as a forward computation shown for itself: over a homogeneous
// ground they stay within half a per cent of the true apparent
// resistivities (the finer mesh: 0.2 %), on about 40 % fewer nodes, and
// the images agree with the finer mesh's to a few thousandths in log10.
inline constexpr double InversionMeshGrowth = 0.15;

struct TSurveyInversionOptions {
    double ErrorPercent = 3.0;
    // Time-lapse steps only: the relative error of a datum's change between
    // two surveys, in per cent; 0 derives it from the two surveys' errors
    // (TimeLapseInversion.h).
    double ChangeErrorPercent = 0.0;
    double ZWeight = 1.0;
    double PhaseErrorMrad = DefaultPhaseErrorMrad; // the apparent phases' absolute error where the file gives none
    std::vector<int> Zones;       // per cell, for structural cuts at weight 0; empty for none
    // Lines and weighted boundaries cutting the smoothness (StructuralConstraint.h);
    // Zones above, when given, stand for its zones at weight 0.
    TStructuralConstraint Structure;
    // Well logs of resistivity as prior data of their cells, each with the
    // relative error LogErrorPercent / 100 in ln ρ at the well, and of the
    // cells of the columns within LogReach electrode spacings (the median
    // gap of the used electrodes) of it, their errors growing to no weight
    // at the reach (LogPriorData, PriorDatumError); 0: the well's column alone.
    std::vector<TWellLog> WellLogs;
    double LogErrorPercent = 20.0;
    double LogReach = DefaultLogReach;
    std::vector<double> Start;    // ohm-m per cell; empty for the median apparent resistivity
    TInversionSettings Settings;  // λ, iterations, fixed cells, limits
    TForwardOptions Forward;
};

struct TSurveyInversion {
    std::vector<double> Resistivities;   // per cell, ohm-m
    std::vector<double> Chargeabilities; // per cell, per cent; empty without measured chargeabilities
    std::vector<double> Coverage;        // per cell, 0 .. 1
    std::vector<double> Response;        // ρa per datum, ohm-m
    std::vector<double> Measured;        // ρa measured per datum as compared: a resistance's with this mesh's k
    std::vector<double> ChargeabilityResponse; // ηa per datum, per cent; empty without
    std::vector<double> Phases;          // per cell, mrad (φ, 0 or below); empty without measured phases
    std::vector<double> PhaseResponse;   // φa per datum, mrad; empty without
    double PhaseChiSquare = 0.0;         // of the phases fitted; 0 without
    double ChargeabilityChiSquare = 0.0; // of the chargeabilities fitted; 0 without
    // Where χ² 1 was out of reach for the chargeabilities or the phases:
    // the factor on their errors at which it would be (LinearInversion.h);
    // 1 where it was reached.
    double ChargeabilityErrorScale = 1.0, PhaseErrorScale = 1.0;
    std::vector<double> DepthOfInvestigation;  // per cell, 0 .. 1; empty unless computed
    std::vector<TInversionStep> Steps; // χ² and rrms of the survey; the logs' χ² as PriorChiSquare
    TPriorData Prior;                  // the logs' cells and their ln ρ; empty without logs
    std::string Stop;
    bool Cancelled = false;
    int MeshNodes = 0;
    int MeshTriangles = 0;
};

// Continue returns false to cancel (checked after every wavenumber of
// every forward computation): the result then holds the last finished
// iteration's model with Cancelled set (no step at all when cancelled
// before the starting model's response). Raises EForwardError when the survey cannot
// be computed, the settings are unusable, or a datum's ρa is 0 or below
// (RequirePositiveResistivities: remove such data first).
TSurveyInversion InvertSurvey(const TMeasuredData& Data, const TInversionMesh& Mesh,
                              const TSurveyInversionOptions& Options = {}, const TInversionCallbacks& Callbacks = {},
                              const std::function<bool()>& Continue = {});

// Refuses (EForwardError "Not enough memory to invert N data on M cells
// (about X MB; Y MB available).") an inversion whose Jacobians (about four
// of Data × Cells numbers) and ForwardNeed bytes of the forward
// computation do not fit in Limit bytes (0: AvailableMemory()).
// InvertSurvey checks before it sets up its forward problem and again with
// it; a default mesh is checked before it is laid (DefaultInversionMeshCells).
// Each datum's relative error: the file's where it gives one above 0,
// else ErrorPercent / 100.
Eigen::VectorXd RelativeErrors(const TMeasuredData& Data, double ErrorPercent);

void RefuseInversionBeyondMemory(double Data, double Cells, double ForwardNeed = 0.0, double Limit = 0.0);

// The inversion of one survey kept ready for what follows its result: the
// depth of investigation on the same forward problem. The constructor
// checks and sets up what InvertSurvey does before its first iteration
// (raising as it does); Continue as there, for every computation.
class TSurveyInverter {
public:
    TSurveyInverter(const TMeasuredData& Data, const TInversionMesh& Mesh, const TSurveyInversionOptions& Options = {},
                    std::function<bool()> Continue = {});
    ~TSurveyInverter();
    TSurveyInverter(const TSurveyInverter&) = delete;
    TSurveyInverter& operator=(const TSurveyInverter&) = delete;

    // The inversion, as InvertSurvey.
    TSurveyInversion Invert(const TInversionCallbacks& Callbacks = {});

    // Fills Inversion.DepthOfInvestigation (Inversion: what Invert
    // returned) from the two reference inversions; Callbacks.Iteration as
    // DepthOfInvestigation (Inversion.h) calls it. Returns false, leaving
    // Inversion as it was, when cancelled. Raises EForwardError before
    // Invert, after a cancelled Invert, or when a computation fails.
    bool AddDepthOfInvestigation(TSurveyInversion& Inversion, const TInversionCallbacks& Callbacks = {},
                                 const TDepthOfInvestigationSettings& Settings = {});

    // What an inversion that follows this one on the same cells takes over
    // (the time-lapse steps, TimeLapseInversion.h): the forward problem and
    // its geometric factors, the data as compared (ln ρa) and their
    // relative errors, the smoothness, the settings as used (smallness
    // weights filled in), and the finished result (null before Invert and
    // after a cancelled one). Valid while the inverter lives.
    struct TSetup {
        TInversionProblem& Problem;
        const std::vector<double>& GeometricFactors;
        const Eigen::VectorXd& Measured;
        const Eigen::VectorXd& Errors;
        const Eigen::SparseMatrix<double>& Smoothness;
        const TInversionSettings& Settings;
        const TInversionResult* Main;
    };
    TSetup Setup();

private:
    struct TState;
    static void AddWellLogs(TState& State);
    // The survey's forward problem, with the logs' prior data when there are some.
    TInversionProblem& Problem();
    std::unique_ptr<TState> FState;
};

// The parameter mesh's forward problem: the responses and the Jacobian of
// every cell for resistivities per cell.
//
// The padding below the mesh continues its bottom row (the ground below
// the deepest cells is what they say). The padding beside the mesh is a
// background of its own in strips, one beside each border cell, each at
// the median of its row's cells: the ground beside the survey, which no
// datum sees well, continues the image's layering without being a
// parameter. A border column holding the whole ground beside it would be a
// strong, poorly seen parameter the smooth image leans on, drawing walls at
// the section's sides and pulling the deep ground toward the start.
class TCellInversionProblem : public TInversionProblem {
public:
    TCellInversionProblem(const TInversionMesh& Mesh, const TSurvey& Survey, const TForwardOptions& Options,
                          std::function<bool()> Continue = {});
    ~TCellInversionProblem() override;
    Eigen::VectorXd Respond(const Eigen::VectorXd& LogResistivities, Eigen::MatrixXd* Jacobian) override;
    int MeshNodes() const;
    int MeshTriangles() const;
    const std::vector<double>& GeometricFactors() const; // k per datum on this mesh (numerical over a relief)
    // The bytes one response with every cell's sensitivity takes on
    // Threads threads (TSensitivityProblem::MemoryNeed).
    double MemoryNeed(int Threads) const;

private:
    std::unique_ptr<class TSensitivityProblem> FProblem;
    std::vector<std::vector<int>> FParameters;
    std::function<bool()> FContinue;
    int FColumns = 1;
};

// Raises EForwardError when the inversion's values do not match the mesh
// (one per cell; chargeabilities, phases and depth of investigation may be empty)
// or one is not finite: what every file of the cells refuses to write.
void CheckInversionValues(const TInversionMesh& Mesh, const TSurveyInversion& Inversion);

// One row per cell after the header "x1,x2,z1,z2,resistivity,chargeability,coverage":
// x1 < x2 the cell's distance range, z1 < z2 its depth range below the
// surface at the cell (CellDepths), the chargeability in per cent (empty
// without), numbers in their shortest exact form; with a depth of
// investigation, a column "doi"; with phases, a last column "phase" (mrad,
// the cell's φ, 0 or below). Raises EForwardError when the values
// do not match the mesh or one is not finite.
std::string FormatInversionTable(const TInversionMesh& Mesh, const TSurveyInversion& Inversion);

// One cell of a table read back.
struct TInversionTableRow {
    double X1 = 0.0, X2 = 0.0, Z1 = 0.0, Z2 = 0.0;
    double Resistivity = 0.0;
    double Chargeability = 0.0; // nan where empty
    double Coverage = 0.0;
    double Doi = 0.0;           // nan without the column
    double Phase = 0.0;         // mrad; nan without the column
};

// Reads a table FormatInversionTable wrote; raises EForwardError naming
// the line of the first fault.
std::vector<TInversionTableRow> ReadInversionTable(std::string_view Text);

} // namespace lp
