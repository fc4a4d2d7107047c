#pragma once
// What the geologist knows, given to the inversion: drawn lines and the
// section's boundaries cut the smoothness, well logs of resistivity become
// data of their cells.
//
//   lines + zones (CellZones) + weights ──CutWeights──> a factor per roughness row ──ConstrainedSmoothness──> C
//   well logs ──LogPriorData──> one ln ρ datum per cell a log's samples fall in,
//                               and per cell of the columns within its lateral reach
//
// Cuts: a pair of neighbouring cells (one row of SmoothnessOperator) keeps
// its weight times a factor: 1 where nothing separates the two cells; where
// a used line crosses the edge they share, or separates their centres, the
// line's weight (0: the smoothing stops there, up to 1: no effect); where
// the two centres lie in different zones of a drawn section, the smaller
// weight of the two zones' boundaries. Where several cut one pair, the
// smallest weight counts. A partial weight w keeps w² of the pair's share
// of the roughness: the jump across it costs that much less.
//
// Well logs: each log's samples at the well's x and their elevations
// (plain values in ohm-m, all above 0); the samples falling in one cell
// averaged in ln ρ (every log's samples in that cell together), the mean a
// datum of that cell's ln ρ with the relative error given (20 % by default:
// a log sees a few decimetres round the hole, the cell is metres wide).
// Samples outside every cell are left out.
// Lateral reach: a log stands for layered ground round its well, not for
// its column alone. Each column whose centre lies less than Reach from the
// well gets the log's data too: per cell, the mean ln ρ of the samples
// whose depth below the ground at the well lies in the cell's depth range
// below the ground at its column (layers that follow the surface), its
// error growing with the distance d from the well (PriorDatumError) until,
// at the reach, the datum no longer counts and the survey's data alone
// decide. (Through the smoothing alone a log's column reaches about one
// column beside it: three spacings away the image would be the survey's.)

#include "section/inversion/InversionMesh.h"
#include "section/survey/Survey.h"

#include <Eigen/Sparse>

#include <array>
#include <string>
#include <vector>

namespace lp {

// An open polyline of the section (x, elevation), used as a boundary with
// Weight (0 .. 1).
struct TConstraintLine {
    std::vector<TGeometryPoint> Points;
    double Weight = 0.0;
};

struct TStructuralConstraint {
    std::vector<TConstraintLine> Lines;
    // Per cell, the section's region holding its centre (CellZones); empty
    // for none.
    std::vector<int> Zones;
    // Per region of the section: the weight across its boundary (0 .. 1);
    // empty: 0 for every region; a region beyond the list (or -1, outside
    // the model area): 1 (its boundary unused).
    std::vector<double> ZoneWeights;

    bool Empty() const { return Lines.empty() && Zones.empty(); }
};

// Refuses (EForwardError) a weight outside 0 .. 1 or not a number, a line
// of fewer than two points or a point that is not finite, zones not one
// per cell.
void CheckStructuralConstraint(const TInversionMesh& Mesh, const TStructuralConstraint& Constraint);

// Per row of Smoothness (SmoothnessOperator of Mesh: two entries a row, a
// pair of neighbouring cells), the factor the constraint gives that pair.
std::vector<double> CutWeights(const TInversionMesh& Mesh, const Eigen::SparseMatrix<double>& Smoothness,
                               const TStructuralConstraint& Constraint);

// SmoothnessOperator(Mesh, ZWeight) with each row times its CutWeights factor.
Eigen::SparseMatrix<double> ConstrainedSmoothness(const TInversionMesh& Mesh, double ZWeight,
                                                  const TStructuralConstraint& Constraint);

// The edges the constraint cuts (a factor below 1), for the mesh chart:
// each the edge two cells share, its ends (x, elevation).
std::vector<std::array<TGeometryPoint, 2>> CutEdges(const TInversionMesh& Mesh, const TStructuralConstraint& Constraint);

// A resistivity log at a well: samples at elevations along x = X.
struct TWellLog {
    std::string Name;
    double X = 0.0;
    std::vector<double> Elevations;
    std::vector<double> Resistivities; // ohm-m, one per elevation
};

// The prior data the logs give: cells and their ln ρ.
struct TPriorData {
    std::vector<int> Cells;            // rising, one datum each (a cell reached by several logs: one per log)
    std::vector<double> LogResistivities; // the mean ln ρ of the samples in the cell
    std::vector<int> Samples;          // how many samples each holds
    std::vector<double> Distances;     // from the datum's well along x; 0 in the well's column

    // The cells holding data (a cell two logs reach counted once).
    int CellCount() const;
};

// Refuses (EForwardError naming the log) what LogPriorData refuses of one log.
void CheckWellLog(const TWellLog& Log);

// Refuses (EForwardError naming the log) a log whose values are not all
// finite and above 0 ("The log \"well 3\" holds a value of 0 or below
// (-2 at elevation -4.5): only a log of resistivity can be used."), a log
// without samples or with elevations not one per value, a Reach that is
// not a finite number of 0 or above (0: the well's column alone).
TPriorData LogPriorData(const TInversionMesh& Mesh, const std::vector<TWellLog>& Logs, double Reach = 0.0);

// The relative error of a prior datum Distance (d) from its well: Error at
// the well, growing as Error · exp(2 (d/Reach)²), so that its weight in the
// misfit (1/error²) falls as a Gaussian of the distance: to e⁻¹ (error ×1.6)
// at half the reach and e⁻⁴ (×7.4) at the reach; infinite (no datum) from
// the reach on; Error itself without a reach (Reach 0).
double PriorDatumError(double Error, double Distance, double Reach);

// The mesh bent onto what the constraint knows (FollowTargets): at every
// column edge, the elevations where a used line (Weight below 1) crosses
// it, the line no steeper there than 1 in 1 (row boundaries cannot follow
// a steep line); at both edges of the column holding each log's well, the
// log's layer boundaries (half way between two neighbouring samples whose
// values differ by more than the factor LayerContrast), and at every other
// column edge less than Reach (metres) from the well, at the same depths
// below the ground (the log's prior data reach that far: LogPriorData), so
// that the columns beside the well follow its contact as its own does.
// Without lines and logs, or where nothing can be followed: Mesh. Raises
// EForwardError for a Reach that is not a finite number of 0 or above.
inline constexpr double DefaultLayerContrast = 1.5;
inline constexpr double DefaultCellGrowth = 2.0;
TInversionMesh MeshFollowingConstraint(const TInversionMesh& Mesh, const std::vector<TConstraintLine>& Lines,
                                       const std::vector<TWellLog>& Logs, double LayerContrast = DefaultLayerContrast,
                                       double CellGrowth = DefaultCellGrowth, double Reach = 0.0);

// The logs' reach in metres: Spacings times the median gap between the
// electrodes the survey uses (TSurveyInversionOptions::LogReach).
double LogReachMetres(const TSurvey& Survey, double Spacings);

// The section's boundaries between two regions (edges of its geometry that
// surfaces of two different regions share), each as a line of two points
// at the smaller weight of its two regions (ZoneWeights as in
// TStructuralConstraint); a boundary of weight 1 is left out.
std::vector<TConstraintLine> SectionBoundaryLines(const TForwardModel& Section, const std::vector<double>& ZoneWeights);

// The cell holding a point; -1 outside the mesh.
int CellAt(const TInversionMesh& Mesh, TGeometryPoint Point);

} // namespace lp
