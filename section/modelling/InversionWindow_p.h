#pragma once
// What the sources of the inversion window share: InversionWindow.cpp (the
// window, its settings and state), InversionWindowPanel.cpp (the options'
// page and the charts' layout), InversionWindowMesh.cpp (the parameter
// mesh), InversionWindowRun.cpp (the inversion and DOI runs) and
// InversionWindowResults.cpp (the result's charts, pseudo-sections and
// image).

#include "section/modelling/InversionWindow.h"
#include "section/inversion/StructuralConstraint.h"

#include <QtCore/QString>

#include <optional>
#include <vector>

class QLineEdit;

namespace lp {

struct TForwardModel;

// The chart tabs, in the order they are made.
constexpr int MeshTab = 0;
constexpr int ResistivityTab = 1;
constexpr int ChargeabilityTab = 2;
constexpr int PhaseTab = 3; // shown only while the data hold phases

// The iteration table's column of the phases' χ²: shown only after a run
// that inverted phases, filled in its last row (the phases are inverted
// once, after the resistivity's last iteration).
constexpr int PhaseChiSquareColumn = 4;

// A number typed in a field, in the user's notation: empty when it is not
// a finite number above 0.
std::optional<double> PositiveField(const QLineEdit& Edit);

// Three significant digits without a power of ten below a million
// ("1280", not "1.28e+03", which the table's narrow columns would break),
// no group separators.
QString StepNumber(double Value);

// Beyond a million fixed decimals would be a row of digits: two digits
// and a power of ten.
QString FixedNumber(double Value, int Decimals);

// The lines the mesh's rows follow: the ticked lines and, with a section,
// its ticked boundaries.
std::vector<TConstraintLine> UsedLines(const TStructuralConstraint& Structure, const TForwardModel* Section);

// A finished iteration as it reaches the window.
struct TInversionWindow::TIteration {
    TInversionStep Step;
    std::shared_ptr<const TInversionMesh> Mesh;
    std::vector<double> Resistivities;
};

} // namespace lp
