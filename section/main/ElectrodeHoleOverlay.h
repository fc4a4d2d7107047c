#pragma once
// The holes of the measured data's buried electrodes over the section
// chart (section/survey/ElectrodeHoles groups them by x).
//
//   TMainfrm ──owns──> TElectrodeHoleOverlay ──observes──> TPolygonChart
//                          └─ Holes: what it draws (SectionHoles,
//                             section/modelling/HoleElectrodes.h)
//
// Each hole is a dark line from the ground's surface at its x down to its
// deepest electrode, its electrodes as yellow squares at their elevations with their
// numbers beside them where the dots lie a text line apart on screen.
// A hole on one of the section's wells is drawn on that well.
// The mouse over a dot tells the electrode (ElectrodeAt, the chart's
// tooltip).

#include "platform/graphics/GraphicsTypes.h"
#include "section/modelling/HoleElectrodes.h"

#include <QtCore/QString>

#include <vector>

namespace lp {

class TPolygonChart;

class TElectrodeHoleOverlay {
public:
    explicit TElectrodeHoleOverlay(TPolygonChart& Chart) : FChart(Chart) {}
    TElectrodeHoleOverlay(const TElectrodeHoleOverlay&) = delete;
    TElectrodeHoleOverlay& operator=(const TElectrodeHoleOverlay&) = delete;

    // The holes drawn from now on (the chart repainted).
    void SetHoles(std::vector<TDrawnHole> Holes);
    const std::vector<TDrawnHole>& Holes() const { return FHoles; }
    // Draws them on the chart's canvas, clipped to its plot (the chart's
    // paint calls it after the section's nodes).
    void Paint();
    // The electrode whose dot lies within a few pixels of the chart's
    // pixel X, Y (HoleElectrodeText); empty where none does.
    QString ElectrodeAt(int X, int Y) const;

    static constexpr int DotPixels = 7; // a dot's width
    static constexpr TColor HoleColor = 0x404040;          // the hole's line, dark grey
    static constexpr TColor HoleElectrodeColor = 0x00FFFF; // the dots' fill, yellow, outlined in black

private:
    TPolygonChart& FChart;
    std::vector<TDrawnHole> FHoles;
};

} // namespace lp
