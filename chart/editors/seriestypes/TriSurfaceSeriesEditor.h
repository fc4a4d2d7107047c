#pragma once
// The triangulated surface's page: pen, brush, the outline of the border,
// hiding the triangles' edges and the transparency. On its first show
// inside the series page it adds the grid 3-D page (colours, palette) as a
// further tab.

#include "chart/editors/extendedseries/SeriesPageControls.h"

#include <QtCore/QPointer>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonPen;
class TGrid3DSeriesEditor;
class TTriSurfaceSeries;

class TTriSurfaceSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TTriSurfaceSeriesEditor(QWidget* Parent = nullptr);

    TTriSurfaceSeries* Series() const;
    // The "Grid 3D" tab's page while it lives (the series page owns it).
    QPointer<TGrid3DSeriesEditor> Grid3DPage;

    TButtonPen* Button2; // pen
    QPushButton* Button3; // brush
    TButtonPen* Button1; // outline
    QCheckBox* CBFastBrush;
    QCheckBox* CBHide;
    QLabel* LHeight;
    QSpinBox* UDTransp; // the transparency edit with its up-down

protected:
    void FillControls() override;
    void AddTabs() override;
};

} // namespace lp
