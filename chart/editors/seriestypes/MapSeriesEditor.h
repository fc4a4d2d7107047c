#pragma once
// The map series' page: "Global" (the series' brush and border) and
// "Shapes", a list of the map's shapes beside the selected shape's
// "Values" (text, Z, index), "Format" (border, brush, gradient, colour,
// closed, visible, transparency) and "Points" (its points in a grid). On
// its first show it adds the grid 3-D page as the "Grid 3D" tab. A map
// whose shapes are fixed (made from another model) shows their points and
// the "+" and "-" buttons read-only.

#include "chart/editors/EditorPage.h"
#include "chart/editors/series/SeriesEditorTabs.h"

#include <QtCore/QPointer>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QToolButton;

namespace lp {

class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TChartGrid;
class TChartGridNavigator;
class TChartListBox;
class TGrid3DSeriesEditor;
class TMapSeries;
class TPlotPolygon;

class TMapSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TMapSeriesEditor(QWidget* Parent = nullptr);

    TMapSeries* Series() const;
    // The shape of the list's current row, nullptr when none.
    TPlotPolygon* SelectedShape() const;
    // The "Grid 3D" tab's page while it lives (the series page owns it).
    QPointer<TGrid3DSeriesEditor> Grid3DPage;

    QTabWidget* PageControl2;
    QWidget* TabGlobal;
    QWidget* TabShapes;
    QPushButton* BMapBrush;
    TButtonPen* ButtonPen1;
    QWidget* Panel1;
    TChartListBox* ChartListBox1;
    QToolButton* SBAdd;
    QToolButton* SBDelete;
    QSplitter* Splitter1;
    QTabWidget* PageControl1;
    QWidget* TabValues;
    QWidget* TabFormat;
    QWidget* TabData;
    QLineEdit* EText;
    QLineEdit* EditZ;
    QLabel* Label3;
    QLabel* ShapeIndex;
    TButtonPen* ButtonPen2;
    QCheckBox* CBGlobalPen;
    QPushButton* BBrush;
    QCheckBox* CBGlobalBrush;
    TButtonGradient* BGradient;
    TButtonColor* ButtonColor1;
    QCheckBox* CBDefaultColor;
    QCheckBox* CBClosed;
    QCheckBox* CBVisible;
    QSpinBox* UDTransp;
    TChartGrid* ChartGrid1;
    TChartGridNavigator* ChartGridNavigator1;

    // "+" and "-": what the buttons do.
    void AddShape();
    void DeleteShape();

protected:
    void FillControls() override;
    void AddTabs() override;
    void UpdateEnabled() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // One row per shape: its label, or its index when that is empty.
    void FillShapeList();
    void SelectRow(int Row);
    // The selected shape's controls that are not bound.
    void ShowSelectedShape();
    void RepaintShapes();
    void MapBrushClick();
    void ShapeBrushClick();

    QPointer<TMapSeries> FListed;
};

} // namespace lp
