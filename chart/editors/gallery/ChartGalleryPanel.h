#pragma once
// A grid of small live charts, one per series or function type of a gallery
// page (or one per sub-style of a type), from which the user picks one.
//
//   TChartGalleryPanel (QFrame)
//     ├─owns─> TComponent        owner of the preview charts (their names)
//     ├─owns─> TGalleryChart ×N  the previews, in grid order (row by row)
//     └─while open─> a sub-gallery pop-up with its own panel
//
// The panel lays the charts out in NumCols x NumRows cells, keeps one chart
// selected (drawn in the focused look), moves the selection with the arrow
// keys and reports the chosen series class, function class and sub-style.

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"

#include <QtWidgets/QFrame>

#include <functional>
#include <memory>
#include <vector>

class QDialog;

namespace lp {

class TBitmap;
class TChartGalleryPanel;
class TPlotSeriesType;

// One preview of the gallery.
class TGalleryChart : public TChart {
    Q_OBJECT
public:
    explicit TGalleryChart(TComponent* AOwner, TChartGalleryPanel* Panel);

    TChartGalleryPanel* Panel() const { return FPanel; }
    // Drawn four times larger and resampled down after each paint.
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    bool DrawingEnlarged() const { return FDrawingEnlarged; }
    bool Ready() const { return FReady; }
    void SetReady(bool Value) { FReady = Value; }
    // The chart cannot take the reference series as a source.
    bool Disabled() const { return FDisabled; }
    void SetDisabled(bool Value) { FDisabled = Value; }
    // The sub-style shown (0: the type's normal look; -1: none chosen).
    int Tag = -1;

    // The corner the sub-gallery marker hangs from, and whether a click at
    // (X, Y) hits the marker.
    TPoint SubMarkerCorner() const;
    bool HitsSubMarker(int X, int Y) const;

    void Paint(TCanvas& canvas) override;

private:
    void DrawSmooth(TCanvas& canvas);
    void DrawSubMarker(TCanvas& canvas) const;
    void DrawTitleText(TCanvas& canvas, const TRect& Bounds) const;

    TChartGalleryPanel* FPanel;
    bool FSmooth = false;
    bool FDrawingEnlarged = false;
    bool FReady = false;
    bool FDisabled = false;
};

class TChartGalleryPanel : public QFrame {
    Q_OBJECT
public:
    explicit TChartGalleryPanel(QWidget* Parent = nullptr);
    ~TChartGalleryPanel() override;

    int NumCols() const { return FNumCols; }
    void SetNumCols(int Value);
    int NumRows() const { return FNumRows; }
    void SetNumRows(int Value);
    bool View3D() const { return FView3D; }
    void SetView3D(bool Value);
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    bool DisplaySub() const { return FDisplaySub; }
    void SetDisplaySub(bool Value) { FDisplaySub = Value; }
    bool FocusRotation() const { return FFocusRotation; }
    void SetFocusRotation(bool Value) { FFocusRotation = Value; }

    // What the next page lists, and the series whose type is being changed.
    bool FunctionGallery = false;
    TChartSeries* ReferenceSeries = nullptr;
    bool CheckValidity = false;
    // Set on sub-gallery panels: their charts pass no keys to the panel.
    bool NoKeyHandler = false;
    // Whether a changed Smooth is written back to the editor options
    // (panels that fix their own look do not).
    bool StoreSmooth = true;

    std::function<void(TChartGalleryPanel*)> OnChangeChart;
    std::function<void(TChartGalleryPanel*)> OnSelectedChart;
    std::function<void(TChartGalleryPanel*)> OnSubSelected;

    // Fills the grid with the types of one gallery page.
    void CreateGalleryPage(const QString& Page);
    // A preview of Type appended to the grid (a sub-style or a direction
    // chart is made the same way).
    TGalleryChart* CreateChart(const TPlotSeriesType& Type);
    // A plain preview chart appended to the grid, with no series.
    TGalleryChart* AppendChart();
    // Frees every chart; nothing is selected afterwards.
    void ClearCharts();
    // The previews of Class's sub-styles, the first selected.
    void CreateSubGalleryOf(const QMetaObject* SeriesClass);

    int Count() const { return static_cast<int>(FCharts.size()); }
    TGalleryChart* Chart(int Index) const;
    int IndexOf(const TGalleryChart* Chart) const;
    TGalleryChart* SelectedChart() const { return FSelected; }
    virtual void SelectChart(TGalleryChart* Chart);
    // Selects the chart and reports it as chosen, as a double-click does.
    void ConfirmChart(TGalleryChart* Chart);
    // Keeps the selection as it is once the user has chosen: a closing
    // window hands the focus on to the next chart, which must not select it.
    void LockSelection() { FSelectionLocked = true; }
    // False without a selection; else the class of the selected chart's
    // first series, its function's class and the chosen sub-style.
    bool GetSeriesClass(const QMetaObject*& SeriesClass, const QMetaObject*& FunctionClass, int& SubIndex) const;

    // The arrows, Alt+Down and Enter as the panel handles them (VK codes);
    // a key it uses comes back as 0. Enter is used only when OnSelectedChart
    // is assigned, else it stays the dialog's.
    void HandleKey(int& Key, TControl::TShiftState Shift);
    // Opens the sub-gallery of the selected chart (modal until closed).
    void ShowSubGallery();
    QDialog* SubGalleryForm() const { return FSubForm; }
    TChartGalleryPanel* SubPanel() const { return FSubPanel; }

    int CellWidth() const { return FCellWidth; }
    int CellHeight() const { return FCellHeight; }
    // Recomputes the cells and places every chart again.
    void LayoutCharts();
    // Selects the first enabled chart when none is, and gives every chart
    // its focused or plain look.
    void UpdateSelection();

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    int Border() const;
    void ComputeCellSize();
    void PlaceChart(TGalleryChart* Chart, int Index);
    void SetMargins(TGalleryChart* Chart) const;
    void WireChart(TGalleryChart* Chart);
    void FocusedLook(TGalleryChart* Chart);
    void PlainLook(TGalleryChart* Chart);
    void ApplySubStyle(int Index);

    std::unique_ptr<TComponent> FOwner;
    std::vector<TGalleryChart*> FCharts;
    TGalleryChart* FSelected = nullptr;
    int FNumCols = 4;
    int FNumRows = 3;
    int FCellWidth = 0;
    int FCellHeight = 0;
    bool FView3D = true;
    bool FSmooth = false;
    bool FSmoothRead = false;
    bool FDisplaySub = true;
    bool FFocusRotation = true;
    bool FSelectionLocked = false;
    QDialog* FSubForm = nullptr;
    TChartGalleryPanel* FSubPanel = nullptr;
};

// The rows a page of Count charts gets in NumCols columns when the grid
// has NumRows now: more rows only when the present ones cannot hold them,
// else the default 3.
int GalleryRowsFor(int Count, int NumCols, int NumRows);

// The editor option that chooses the gallery form (0: the tabbed one).
int GalleryMode();

} // namespace lp
