#pragma once
// The donut's page: the size of its hole. On its first show inside the
// series page it adds the pie page as the tab "Donut" (which adds its own
// "Circled" tab).

#include "chart/editors/extendedseries/SeriesPageControls.h"

#include <QtCore/QPointer>

class QLabel;
class QSpinBox;

namespace lp {

class TDonutSeries;
class TPieSeriesEditor;

class TDonutSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TDonutSeriesEditor(QWidget* Parent = nullptr);

    TDonutSeries* Series() const;
    // The "Donut" tab's page while it lives (the series page owns it).
    QPointer<TPieSeriesEditor> PieEditor;

    QLabel* Label1;
    QSpinBox* UDDonut; // the hole edit with its up-down

protected:
    void AddTabs() override;
};

} // namespace lp
