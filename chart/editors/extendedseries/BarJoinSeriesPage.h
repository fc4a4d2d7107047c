#pragma once
// The bar join series' page: the bar page with the pen of the line joining
// the bars' tops.

#include "chart/editors/seriestypes/BarSeriesEditor.h"

namespace lp {

class TBarJoinEditor : public TBarSeriesEditor {
    Q_OBJECT
public:
    explicit TBarJoinEditor(QWidget* Parent = nullptr);

    TButtonPen* BJoin;

protected:
    void FillControls() override;
};

} // namespace lp
