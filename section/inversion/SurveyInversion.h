#pragma once
// The inversion of a measured survey on a parameter mesh: the forward
// computation of the cells' ground (one mesh for every iteration, its
// Jacobian by the adjoint method: Sensitivity.h), the Gauss–Newton
// inversion of the apparent resistivities (Inversion.h), the linear
// inversion of the apparent chargeabilities, the cells' coverage, and the
// cell table the command line and the window save.
//
//   TMeasuredData + TInversionMesh ──InvertSurvey──> TSurveyInversion ──FormatInversionTable──> CSV
//
// Errors: each datum's relative error is the file's where it gives one,
// else ErrorPercent / 100. The chargeabilities' absolute errors: the
// file's where given, else 2 % of ηa plus 0.1 (per cent units).
// Starting model: Start (one per cell) when given, else a homogeneous
// ground of the data's median apparent resistivity; the regularisation
// pulls towards it.

#include "section/forward/ForwardResponse.h"
#include "section/inversion/Inversion.h"
#include "section/inversion/InversionMesh.h"
#include "section/survey/MeasuredData.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lp {

struct TSurveyInversionOptions {
    double ErrorPercent = 3.0;
    double ZWeight = 1.0;
    std::vector<int> Zones;       // per cell, for structural cuts; empty for none
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
    std::vector<TInversionStep> Steps;
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
void RefuseInversionBeyondMemory(double Data, double Cells, double ForwardNeed = 0.0, double Limit = 0.0);

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

// One row per cell after the header "x1,x2,z1,z2,resistivity,chargeability,coverage":
// x1 < x2 the cell's distance range, z1 < z2 its depth range below the
// surface at the cell (CellDepths), the chargeability in per cent (empty
// without), numbers in their shortest exact form. Raises EForwardError
// when the values do not match the mesh or one is not finite.
std::string FormatInversionTable(const TInversionMesh& Mesh, const TSurveyInversion& Inversion);

// One cell of a table read back.
struct TInversionTableRow {
    double X1 = 0.0, X2 = 0.0, Z1 = 0.0, Z2 = 0.0;
    double Resistivity = 0.0;
    double Chargeability = 0.0; // nan where empty
    double Coverage = 0.0;
};

// Reads a table FormatInversionTable wrote; raises EForwardError naming
// the line of the first fault.
std::vector<TInversionTableRow> ReadInversionTable(std::string_view Text);

} // namespace lp
