#pragma once
// The colour grid series' page: grid and frame pens, centred points,
// smoothing, grid lines every so many columns and rows, and the points
// loaded from a picture. The grid 3-D page joins as a "Grid 3D" tab once
// it is registered.

#include "chart/editors/extendedseries/SeriesPageControls.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonPen;
class TColorGridSeries;
class TGrid3DSeriesEditor;

class TColorGridEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TColorGridEditor(QWidget* Parent = nullptr);

    TColorGridSeries* Series() const;
    QPointer<TGrid3DSeriesEditor> Grid3DEditor;

    TButtonPen* BGrid;
    TButtonPen* ButtonPen1;
    QCheckBox* CBCentered;
    QCheckBox* CBSmooth;
    QGroupBox* GroupBox1;
    QSpinBox* UDX;
    QSpinBox* UDZ;
    QPushButton* Button2;

protected:
    void AddTabs() override;
    void FillControls() override;

private:
    // Asks for a picture file and fills the series from its pixels; a
    // picture larger than the series takes is refused with a message.
    void LoadClick();
};

} // namespace lp
