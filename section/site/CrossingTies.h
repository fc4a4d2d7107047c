#pragma once
// The ties of two lines' images where their tracks cross: the column each
// image holds under the crossing, and the log of their common ground that a
// line's second inversion takes as prior data (TWellLog, SurveyInversion.h).
#include "section/inversion/InversionMesh.h"
#include "section/inversion/StructuralConstraint.h"
#include "section/inversion/SurveyInversion.h"

#include <string>
#include <vector>

namespace lp {

// An image as the ties read it: its mesh (x the distance along the track,
// y the elevation) and each cell's resistivity and coverage (0 .. 1).
struct TTieImage {
    const TInversionMesh* Mesh = nullptr;
    const std::vector<double>* Resistivities = nullptr;
    const std::vector<double>* Coverage = nullptr;
};

// The ground's elevation of a mesh's surface at a distance (linear between
// its column edges, held beyond them).
double MeshSurfaceAt(const TInversionMesh& Mesh, double Distance);

// The image's cell at Depth below its ground at Distance; -1 outside it.
int CellBelowGround(const TInversionMesh& Mesh, double Distance, double Depth);

// The depths of Own's rows (their centres, the deepest row's flat part left
// out: the padding's) at Distance.
std::vector<double> ColumnDepths(const TInversionMesh& Own, double Distance);

// The weight of a cell's value in a tie: its coverage, at least MinTieWeight
// (a cell no datum sees still counts where the other sees none either).
inline constexpr double MinTieWeight = 1e-3;

// The log that ties Own at OwnDistance to Other at OtherDistance: at the
// depths of Own's rows there (ColumnDepths), each sample the geometric mean
// of both images' cells at that depth below their ground, weighted by
// their coverage (where one line sees little, the other decides); a depth
// outside either image is left out. Elevations below Own's ground there.
// Empty (no samples) when no depth lies in both.
TWellLog TieLog(const std::string& Name, const TTieImage& Own, double OwnDistance, const TTieImage& Other,
                double OtherDistance);

// A line's image tied to Logs by one Gauss–Newton step from the first
// image Inverter found (after its Invert), linearised there: its Jacobian,
// its forward problem and its λ (the last step's) serve, so the tie costs
// one linear solve and a forward response without sensitivities (two or
// three where the step is halved), not a second inversion. Minimised:
//     ‖WJΔ‖² + λ‖CΔ‖² + Σ_p w_p² (t_p − m_p − Δ_p)²
// Δ the change of ln ρ per cell from the first image m, t_p the logs' ln ρ
// in their cells (LogPriorData, over Reach electrode spacings), w_p =
// 1 / PriorDatumError(ErrorPercent / 100, distance, reach). The first term
// keeps the first image's response (the first pass chose how closely to
// fit the data; a step that also fitted them further would over-fit
// where it stopped at χ² 1): the image moves toward the logs where the
// data, by their errors, let it. The roughness is the change's: the first
// image's structure stays and the tie spreads smoothly about the crossing.
// The step is halved (twice at most) while that objective, with the
// forward response's change in place of JΔ, does not fall; where none of
// it lowers the objective the first image stays (Moved false). The data
// are weighed by their errors (--robust's weights do not enter the step);
// the step is solved by conjugate gradients (NormalEquations.h), as the
// inversion solves its larger steps.
struct TTiedImage {
    std::vector<double> Resistivities; // ohm-m per cell
    std::vector<double> Response;      // ρa per datum
    double ChiSquare = 0.0, Rrms = 0.0;
    double Lambda = 0.0;
    double Share = 0.0;  // of the step taken: 1, 0.5, 0.25; 0 when not moved
    bool Moved = false;
    bool Cancelled = false;
};
TTiedImage TieStep(TSurveyInverter& Inverter, const TInversionMesh& Mesh, const TMeasuredData& Data,
                   const std::vector<TWellLog>& Logs, double ErrorPercent, double Reach);

} // namespace lp
