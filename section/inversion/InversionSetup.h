#pragma once
// What an inversion of measured data starts from, for the command line and
// the inversion window alike: the parameter mesh over the survey (within
// a drawn section's model area, on its relief), and the section's part in it,
// its boundaries cutting the smoothness and its resistivities as the
// starting model.
//
//   TMeasuredData (+ a drawn section) ──InversionMeshFor──> TInversionMesh (laid)
//   laid mesh + TSectionUse ──PrepareInversion──> the bent mesh, TSurveyInversionOptions
// (the window lays its mesh when asked and lets the user edit it; the
// command line lays it and goes on; both then take PrepareInversion).

#include "section/forward/ForwardModel.h"
#include "section/inversion/InversionMesh.h"
#include "section/inversion/SurveyInversion.h"
#include "section/survey/MeasuredData.h"
#include "section/model/Polygons.h"

#include <optional>
#include <vector>

namespace lp {

// The median of the data's apparent resistivities (the data hold at least
// one datum). Raises EForwardError for data of ρa 0 or below
// (RequirePositiveResistivities).
double MedianResistivity(const TMeasuredData& Data);

// The data on the electrodes some datum uses (UsedElectrodes), in the
// file's order, each configuration (and each electrode's line) renumbered
// to them; Used, when given, receives the file's index of each one kept.
// The forward computation stands every electrode it is given on the model
// area and refuses one outside it: an electrode no datum uses (a spare left
// in the file, far along the line) must neither refuse a computation nor
// widen the area the data need, so the windows compute on these.
TMeasuredData DataOnUsedElectrodes(const TMeasuredData& Data, std::vector<int>* Used = nullptr);

// The ground surface the data give, points by rising x: the file's
// topography, else the electrodes' elevations (level where there are none),
// at each x the highest electrode's (a hole's top; SetEnvelopeDepths).
std::vector<TGeometryPoint> MeasuredSurface(const TMeasuredData& Data);

// The parameter mesh over the survey's frame (SurveyFrame): the electrodes' span padded
// by two spacings (within the section's model area, with its relief, when
// a section is given; else with the data's surface). Electrodes below the
// section's surface are buried as a forward computation places them
// (PlacedElectrodes): the cells follow them (BuriedElectrodeLayout), so a
// line on a lake's bottom gets rows of half a spacing down to it and
// reaches three spacings below it. Raises EForwardError
// when the data use electrodes at fewer than two places, use one far beyond
// the rest (StrayElectrode; named by the file's line), reach beyond the
// section's model area, or when the memory cannot hold an inversion on the
// mesh (RefuseInversionBeyondMemory, before it is laid).
TInversionMesh InversionMeshFor(const TMeasuredData& Data, const TForwardModel* Section);

// The section's open lines as boundaries of the inversion at Weight (x,
// elevation: the section's depths turned); a line of fewer than two
// points is left out.
std::vector<TConstraintLine> SectionConstraintLines(const lines& Lines, double Weight);

// The logs whose well stands over the mesh's columns (its first to its
// last column edge); each other one named in a sentence of Dropped ("The
// log "B1" stands at x = 5000, beyond the inversion's cells (x from 0 to
// 400): left out."). A well beyond the cells informs none of them, and one
// at x = 1e308 would only lend the distances from it a number.
std::vector<TWellLog> LogsOverTheCells(const std::vector<TWellLog>& Logs, const TInversionMesh& Mesh,
                                       std::vector<std::string>& Dropped);

// Every line and every boundary of the section at Weight (0 .. 1), as the
// command line's --constrain takes them: the structure (each region's zone
// at Weight, the lines at it) and the lines the rows follow (the lines and
// the regions' boundaries).
TStructuralConstraint SectionStructure(const TForwardModel& Section, const lines& Lines, double Weight);
std::vector<TConstraintLine> SectionRowLines(const TForwardModel& Section, const lines& Lines, double Weight);

// What a drawn section brings to an inversion, as the command line and the
// inversion window give it.
struct TSectionUse {
    const TForwardModel* Section = nullptr; // none: the data alone
    // The lines and boundaries the rows follow (the held regions'
    // boundaries among them: HeldBoundaryLines).
    std::vector<TConstraintLine> Lines;
    // The smoothness cut by these lines and zone weights (its zones are
    // the cells' regions); none: smooth everywhere but at held regions.
    std::optional<TStructuralConstraint> Structure;
    std::vector<std::optional<double>> Held; // per region of Section: held at this value
    bool StartFromSection = false;           // each cell from its region's resistivity
};

struct TPreparedInversion {
    TInversionMesh Mesh;
    std::vector<std::optional<double>> HeldCells; // per cell (empty without a section)
    int Held = 0;                                 // cells held
};

// The one road from a laid mesh to what is inverted, which the command line
// and the inversion window both take: the rows bent onto Use's lines and
// the logs' layers (Options.WellLogs, over LogReach metres round each
// well; MeshFollowingConstraint), the start from the section's regions,
// the structure on the bent cells, the held regions' cells fixed at their
// values (HoldCells) and the smoothness cut at them (CutAtHeldRegions).
TPreparedInversion PrepareInversion(const TInversionMesh& Laid, const TMeasuredData& Data, const TSectionUse& Use,
                                    double LogReach, TSurveyInversionOptions& Options);

// With Constrain, the section's regions cut the smoothness; with
// StartFromSection, each cell starts from the resistivity of the region
// holding its centre (cells outside every region: the data's median).
void UseSectionInInversion(const TInversionMesh& Mesh, const TForwardModel& Section, const TMeasuredData& Data,
                           bool Constrain, bool StartFromSection, TSurveyInversionOptions& Options);

// Held regions: a body of water (WaterRegions, SectionInversionInput.h in
// the windows' folder, from the regions' parameters) is held at its
// resistivity, the measured water resistivity where it gives one, else the
// region's own; the command line's --fixed holds others at theirs.
//
//   section ──WaterRegions──> a value per region (none: free)
//           ──HeldCells──> a value per cell (its centre's region)
//           ──HoldCells──> Options.Start and Settings.Fixed

// Per cell of Mesh, the value of the held region holding its centre
// (CellZones); none for a cell of a free region or outside every region.
// Held: one entry per region of Section (shorter: the rest free).
std::vector<std::optional<double>> HeldCells(const TInversionMesh& Mesh, const TForwardModel& Section,
                                             const std::vector<std::optional<double>>& Held);

// The held regions (an entry in Held) that hold no cell's centre of Mesh:
// too thin for its cells, or beside the mesh. Nothing of them is held.
std::vector<size_t> HeldRegionsWithoutCells(const TInversionMesh& Mesh, const TForwardModel& Section,
                                            const std::vector<std::optional<double>>& Held);

// "The water of region "Lake" (body 1, ring 0)" for each water region of
// Regions, joined: what a warning names.
std::string WaterRegionsText(const TForwardModel& Section, const std::vector<size_t>& Regions);

// The held cells start at their values and stay there (Settings.Fixed):
// an empty start becomes the data's median elsewhere. Returns the number
// of cells held.
int HoldCells(const std::vector<std::optional<double>>& Cells, const TMeasuredData& Data,
              TSurveyInversionOptions& Options);

// A held region's boundary is known as drawn: the rows follow it
// (HeldBoundaryLines, for MeshFollowingSection) and the smoothness stops
// there (CutAtHeldRegions: Options.Structure's zones with weight 0 at the
// held regions, the other regions' weights as they were, 1 where none was
// given), so the free cells beside it are not pulled toward its value.
std::vector<TConstraintLine> HeldBoundaryLines(const TForwardModel& Section,
                                               const std::vector<std::optional<double>>& Held);
void CutAtHeldRegions(const TInversionMesh& Mesh, const TForwardModel& Section,
                      const std::vector<std::optional<double>>& Held, TSurveyInversionOptions& Options);

} // namespace lp
