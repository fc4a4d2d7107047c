#pragma once
// The donut's page: the pie page with the size of the hole among its
// options, so the donut's "Format" tab holds all of its own settings (and,
// as for a pie, the "Circled" tab follows).

#include "chart/editors/seriestypes/PieSeriesEditor.h"

class QLabel;
class QSpinBox;

namespace lp {

class TDonutSeries;

class TDonutSeriesEditor : public TPieSeriesEditor {
    Q_OBJECT
public:
    explicit TDonutSeriesEditor(QWidget* Parent = nullptr);

    TDonutSeries* Series() const;

    QLabel* Label1;
    QSpinBox* UDDonut; // the hole edit with its up-down
};

} // namespace lp
