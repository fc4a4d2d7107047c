#pragma once
// The page every grid and palette series shares ("Grid 3D"): grid size,
// depth, irregular grid, and the colouring by one colour, a colour range or
// a palette. Shown as its own page for a palette series, and added as a
// further tab by the surface, contour, tower, vector and map pages.

#include "chart/canvas/PlotPanel.h"
#include "chart/editors/EditorPage.h"

#include <QtCore/QPointer>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonColor;
class TComboFlat;
class TCustom3DGridSeries;
class TCustom3DPaletteSeries;
class TCustomPlotPanel;

class TGrid3DSeriesEditor : public TEditorPage, public IPlotEventListener {
    Q_OBJECT
public:
    explicit TGrid3DSeriesEditor(QWidget* Parent = nullptr);
    ~TGrid3DSeriesEditor() override;

    // The edited series, nullptr when the target is no palette series.
    TCustom3DPaletteSeries* Series() const;
    // The target as a grid series (sizes, irregular grid), or nullptr.
    TCustom3DGridSeries* GridSeries() const;

    // A colour event of the chart repaints the single colour's button.
    void PlotEvent(TPlotEvent& Event) override;

    QGroupBox* GroupBox2;
    QSpinBox* UDXGrid; // the X size edit with its up-down
    QSpinBox* UDZGrid;
    QLabel* LXGrid;
    QLabel* LZGrid;
    QSpinBox* UDDepth;
    QCheckBox* CBIrreg;
    QTabWidget* PageControl1;
    QWidget* TabSingle;
    QWidget* TabRange;
    QWidget* TabPalette;
    TButtonColor* BColor;
    QPushButton* BRemove;
    TButtonColor* BFromColor;
    TButtonColor* BMidColor;
    TButtonColor* BToColor;
    QCheckBox* CheckBox1; // "No middle"
    QPushButton* Button1; // swap
    QPushButton* Button2; // gallery
    QSpinBox* UDPalette;
    TComboFlat* CBPalStyle;
    QCheckBox* CBUseMin;
    QLineEdit* EPaletteMin;
    QLineEdit* EPaletteStep;
    QSpinBox* UDLegendEvery;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    void PageControl1Change(int Index);
    void RemoveClick();
    void SwapClick();
    void GalleryClick();
    void ListenTo(TCustomPlotPanel* Panel);

    QPointer<TCustomPlotPanel> FListened;
};

// Adds the grid 3-D page to the series page hosting Owner as the tab
// "Grid 3D" at index 1, with Series as its target.
TGrid3DSeriesEditor* AddGrid3DPage(QWidget* Owner, QObject* Series);
// Fills Page's controls from Series (its target becomes Series).
void RefreshGrid3DPage(TGrid3DSeriesEditor* Page, QObject* Series);

} // namespace lp
