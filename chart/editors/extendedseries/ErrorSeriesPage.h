#pragma once
// The error series' page (error and error-bar series): the error pen,
// width and its unit, colour each point and, for the error series, the
// side the error is drawn on. An error-bar series also gets the bar page
// as a "Bar" tab (once the bar page is registered).

#include "chart/editors/extendedseries/SeriesPageControls.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QSpinBox;

namespace lp {

class TButtonPen;
class TCustomErrorSeries;

class TErrorSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TErrorSeriesEditor(QWidget* Parent = nullptr);

    TCustomErrorSeries* Series() const;
    // The "Bar" tab's page while it lives (the series page owns it).
    QPointer<TEditorPage> BarEditor;

    TButtonPen* BPen;
    QSpinBox* UDBarWidth;
    QGroupBox* RGWidthUnit;
    QButtonGroup* WidthUnitGroup;
    QCheckBox* CBColorEach;
    QGroupBox* RGStyle;
    QButtonGroup* StyleGroup;

protected:
    void AddTabs() override;
    void FillControls() override;

};

} // namespace lp
