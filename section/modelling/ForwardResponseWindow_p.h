#pragma once
// What the sources of the forward response window share:
// ForwardResponseWindow.cpp (the window, its survey and runs),
// ForwardResponseWindowPanel.cpp (its options and charts laid out),
// ForwardResponseWindowResults.cpp (the pseudo-sections shown, the hover
// line, the colour bars and the electrodes marked on the section),
// ForwardResponseWindowFiles.cpp (the measured data opened, the computed
// data saved, the charts printed and exported) and
// ForwardResponseCleaning.cpp (the data removed and kept).

#include "section/modelling/ForwardResponseWindow.h"

#include "platform/graphics/Metafile.h"

#include <QtCore/QString>

class QWidget;

namespace lp {

// A chart's smallest height, in pixels, and how far it may shrink so that
// the window fits a small screen.
inline constexpr int ChartHeight = 140;
inline constexpr int ChartLeastHeight = 70;

// A chart with what its owner keeps for it.
struct TForwardResponseWindow::TChartParts {
    TPseudoSection2d* Chart = nullptr;
    TMetafile Metafile;
    QWidget* Host = nullptr;
    QString Unit; // over the colour bar
};

} // namespace lp
