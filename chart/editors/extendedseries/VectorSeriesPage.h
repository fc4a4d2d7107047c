#pragma once
// The 3-D vector series' page: the pens of the start and end arrow heads,
// each drawn in the series' own colour ("Default color") or its pen's, and
// the heads' width and height in pixels. The grid 3-D page joins as a
// "Grid 3D" tab.

#include "chart/editors/extendedseries/SeriesPageControls.h"

class QCheckBox;
class QSpinBox;

namespace lp {

class TButtonPen;
class TGrid3DSeriesEditor;
class TVector3DSeries;

class TVectorSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TVectorSeriesEditor(QWidget* Parent = nullptr);

    TVector3DSeries* Series() const;
    // The "Grid 3D" tab's page while it lives (the series page owns it).
    QPointer<TGrid3DSeriesEditor> Grid3DEditor;

    TButtonPen* BStart;
    TButtonPen* BEnd;
    QSpinBox* UDWidth;
    QSpinBox* UDHeight;
    // Ticked: the arrow takes the series' colour; unticked it is black
    // until a colour is chosen with its pen button.
    QCheckBox* CBStart;
    QCheckBox* CBEnd;

protected:
    void AddTabs() override;
    void FillControls() override;
};

} // namespace lp
