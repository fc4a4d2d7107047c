#pragma once
// The holes of a survey's buried electrodes as the windows show them over
// a section: placed against its ground and on its wells, for the main
// window's drawing and the inversion window's list of electrodes.
//
// Where the section has a well (a carotage log) within a spacing down the
// holes (HoleSpacing) of a hole's x, the hole stands on that well, at its
// position, and takes its name. An electrode's depth is counted from the
// section's ground at the hole.

#include "section/editor/Carotage.h"
#include "section/model/ModelGeometry.h"
#include "section/survey/Survey.h"

#include <QtCore/QString>

#include <vector>

namespace lp {

class TPolygonChart;

struct TDrawnHoleElectrode {
    int Number = 0;         // the electrode's number in the data, from 1
    double Elevation = 0.0; // its z
    double Depth = 0.0;     // below the section's ground at the hole
};

struct TDrawnHole {
    int Number = 0;   // from 1, by rising x
    double X = 0.0;   // where it is drawn: its well's position, else its electrodes' mean x
    double Top = 0.0; // the ground's elevation at X
    QString Well;     // the caption of the section's well it is drawn on; empty for none
    std::vector<TDrawnHoleElectrode> Electrodes; // from the top down
};

// The holes of Survey's buried electrodes as drawn over a section whose
// ground is Surface (points by rising x; empty: level at elevation 0), on
// the wells among Wells (may be null) that stand at a hole's x.
std::vector<TDrawnHole> DrawnHoles(const TSurvey& Survey, const std::vector<TGeometryPoint>& Surface,
                                   const arofcarotagedata* Wells);

// "Hole 1 (well BH2), electrode 12: x 44 m, 6 m deep, elevation -6 m".
QString HoleElectrodeText(const TDrawnHole& Hole, const TDrawnHoleElectrode& Electrode);

// The holes over the section Section shows (its ground from its model;
// over a model the computation refuses, the area's top).
std::vector<TDrawnHole> SectionHoles(const TSurvey& Survey, const TPolygonChart& Section,
                                     const arofcarotagedata* Wells);

} // namespace lp
