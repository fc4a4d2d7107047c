#pragma once
// The clock's page: the polar page without the frame's steps, the closing
// of the circle, the line pen, the label direction and colour-each, and
// with the pens of the three hands and of the radius lines, and Roman
// numerals on "Labels".

#include "chart/editors/seriestypes/PolarSeriesEditor.h"

namespace lp {

class TClockSeries;

class TClockEditor : public TPolarSeriesEditor {
    Q_OBJECT
public:
    explicit TClockEditor(QWidget* Parent = nullptr);

    // The target as a clock, or nullptr.
    TClockSeries* Clock() const;

    TButtonPen* BHour;
    TButtonPen* BMinute;
    TButtonPen* BSecond;
    TButtonPen* BRadius; // the grid pen of the angle axis
    QCheckBox* CBRoman;

protected:
    void FillControls() override;
};

} // namespace lp
