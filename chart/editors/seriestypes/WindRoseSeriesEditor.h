#pragma once
// The wind rose's page: the polar page with its angle increment always
// shown, without the label direction, and with mirrored labels.

#include "chart/editors/seriestypes/PolarSeriesEditor.h"

namespace lp {

class TWindRoseSeries;

class TWindRoseEditor : public TPolarSeriesEditor {
    Q_OBJECT
public:
    explicit TWindRoseEditor(QWidget* Parent = nullptr);

    QCheckBox* CBMirror;

protected:
    // The compass needs its angle step: the row stays.
    void ShowAngleIncrement() override {}
};

} // namespace lp
