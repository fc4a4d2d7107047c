#pragma once
// The pictures the picture series start with, kept as named bitmap
// resources of the program: "PlotMoney", "PlotDefaultImage",
// "PlotEqualSmile", "PlotGreaterSmile", "PlotLowerSmile", "PlotEqualHand",
// "PlotGreaterHand", "PlotLowerHand".

#include <QtCore/QString>

namespace lp {

class TPicture;

// Loads the bitmap resource Name into Picture. An unknown name raises
// EInvalidGraphic; Picture is then unchanged.
void LoadPlotImage(const QString& Name, TPicture& Picture);

} // namespace lp
