#pragma once
// The waterfall series' page: the surface page with the pen of the lines
// under each row's values.

#include "chart/editors/seriestypes/SurfaceSeriesEditor.h"

namespace lp {

class TWaterFallEditor : public TSurfaceSeriesEditor {
    Q_OBJECT
public:
    explicit TWaterFallEditor(QWidget* Parent = nullptr);

    TButtonPen* BLines;

protected:
    void FillControls() override;
};

} // namespace lp
