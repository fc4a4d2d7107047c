#pragma once
// The fast line page: the line pen in the pen editor, drawing every
// point, stairs and nulls.

#include "chart/editors/seriestypes/LinePenSeriesEditor.h"

class QCheckBox;

namespace lp {

class TFastLineSeries;

class TFastLineSeriesEditor : public TLinePenSeriesEditor {
    Q_OBJECT
public:
    explicit TFastLineSeriesEditor(QWidget* Parent = nullptr);

    TFastLineSeries* Series() const;

    QCheckBox* CBDrawAll;
    QCheckBox* CBStairs;
    QCheckBox* CBInvStairs;
    QCheckBox* CBNulls;

protected:
    TChartPen* LinePen() const override;
    void UpdateEnabled() override;
};

} // namespace lp
