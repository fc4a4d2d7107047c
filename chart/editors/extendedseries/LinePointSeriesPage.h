#pragma once
// The line point series' page: the pointer page with the pen of the lines
// joining the points.

#include "chart/editors/series/SeriesPointerEditor.h"

namespace lp {

class TLinePointEditor : public TSeriesPointerEditor {
    Q_OBJECT
public:
    explicit TLinePointEditor(QWidget* Parent = nullptr);

    TButtonPen* BLines;

protected:
    void FillControls() override;
};

} // namespace lp
