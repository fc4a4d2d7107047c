#pragma once
// The volume page: the line pen in the pen editor, colour each point and
// the origin.

#include "chart/editors/seriestypes/LinePenSeriesEditor.h"

class QCheckBox;
class QLineEdit;

namespace lp {

class TVolumeSeries;

class TVolumeSeriesEditor : public TLinePenSeriesEditor {
    Q_OBJECT
public:
    explicit TVolumeSeriesEditor(QWidget* Parent = nullptr);

    TVolumeSeries* Series() const;

    QCheckBox* CBColorEach;
    QCheckBox* CBUseOrigin;
    QLineEdit* EOrigin;

protected:
    TChartPen* LinePen() const override;
    void UpdateEnabled() override;
};

} // namespace lp
