#pragma once
// The tower series' page: border and pattern, dark sides, the origin the
// towers rise from, the tower's shape, and its depth, width and
// transparency in per cent. The grid 3-D page joins as a "Grid 3D" tab.

#include "chart/editors/extendedseries/SeriesPageControls.h"

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonPen;
class TComboFlat;
class TGrid3DSeriesEditor;
class TTowerSeries;

class TTowerSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TTowerSeriesEditor(QWidget* Parent = nullptr);

    TTowerSeries* Series() const;
    // The "Grid 3D" tab's page while it lives (the series page owns it).
    QPointer<TGrid3DSeriesEditor> Grid3DEditor;

    TButtonPen* ButtonPen1;
    QPushButton* Button1;
    QCheckBox* CBDark3D;
    QGroupBox* GroupBox1;
    QCheckBox* CBOrigin;
    // The origin as typed: a text that is no number keeps the origin.
    QLineEdit* EOrigin;
    TComboFlat* CBStyle;
    QGroupBox* GroupBox2;
    QSpinBox* UDDepth;
    QSpinBox* UDWidth;
    QSpinBox* UDTransp;

protected:
    void AddTabs() override;
    void FillControls() override;
};

} // namespace lp
