#pragma once
// The inversion window's page of what the geologist knows: the section's
// open lines and its bodies' boundaries, each with a check (cut the
// smoothness there) and a weight (0: sharp, up to 1: no effect), and the
// well logs overlaid on the section, each with a check "use as
// resistivity", the logs' error and their lateral reach.
//
//   section (lines, regions) ──ShowSection──> BoundaryTable ──Choice──> TStructuralConstraint (lines, weights per region)
//   carotage overlay logs    ──ShowLogs────> LogTable      ──UsedLogs──> TWellLog per ticked log
//
// The checks and weights are kept in the user's settings by the items'
// names (a line by its number and text, a boundary by its region's label
// or name, a log by its caption) and come back when the same names are
// listed again. A line or boundary listed for the first time is ticked at
// weight 0; a log is not ticked (a log of another quantity must not be
// taken for resistivity).

#include "section/editor/Carotage.h"
#include "section/forward/ForwardModel.h"
#include "section/inversion/StructuralConstraint.h"
#include "section/model/Polygons.h"

#include <QtWidgets/QWidget>

#include <functional>
#include <optional>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace lp {

class TInversionConstraints : public QWidget {
    Q_OBJECT
public:
    explicit TInversionConstraints(QWidget* Parent);

    // Lists the section's lines and the boundaries of the regions of
    // Ground (its host medium, region 0, left out: its boundary is its
    // bodies'); Ground null for a section that cannot be prepared.
    void ShowSection(const TForwardModel* Ground, const AllSpolygon& Model, const lines& Lines);
    // Lists the loaded logs (none for null).
    void ShowLogs(const arofcarotagedata* Logs);

    // The ticked lines at their weights and a weight per region of the
    // section's ground (1 for an unticked boundary and the host medium);
    // Zones left for the mesh. Empty (no line, no weight) when nothing is
    // ticked. Raises EForwardError naming the item whose weight is not a
    // number from 0 to 1.
    TStructuralConstraint Choice() const;
    // The ticked logs as logs of resistivity. Raises EForwardError naming
    // a log that holds a value of 0 or below (WellLogOf, LogPriorData's
    // check) or that can no longer be read.
    std::vector<TWellLog> UsedLogs() const;
    // The logs' error field; empty when it is not a number above 0.
    std::optional<double> LogErrorPercent() const;
    // The logs' reach field, in electrode spacings (TSurveyInversionOptions::LogReach);
    // empty when it is not a number from 0 to MostLogReach.
    std::optional<double> LogReach() const;

    // After every change of a check, a weight, the error or the reach.
    std::function<void()> OnChanged;

    QTableWidget* BoundaryTable = nullptr; // name (checkable), weight (editable)
    QTableWidget* LogTable = nullptr;      // name (checkable: use as resistivity), samples
    QLineEdit* LogErrorEdit = nullptr;
    QLineEdit* LogReachEdit = nullptr;

private:
    void Save() const;
    void Changed();

    std::vector<std::vector<TGeometryPoint>> FLines; // per line row
    std::vector<int> FRegions;                       // per boundary row after the lines: the region
    int FRegionCount = 0;
    arofcarotagedata FLogs;                          // copies of the listed logs (no series)
    bool FFilling = false;
};

} // namespace lp
