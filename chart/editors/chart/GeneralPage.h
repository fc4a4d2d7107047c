#pragma once
// The "General" tab of the chart editor: margins, the chart's cursor, zoom
// and scroll behaviour, and "Print &Preview...". The same unit holds the
// page navigator that pages through a chart and prints its pages, used by
// the paging page and by the print preview opened here.
//
//   TFormPlotGeneral (target: the chart)
//     ├─ left:  BPrint, "Margins (%)" (four up-downs, "&Units:"), "&Cursor:"
//     └─ PageControl1: "Zoom", "Scroll"
//   TChartPageNavigator (TCustomPlotNavigator)  First / Prior / Next / Last
//   TChartPageNavigatorPage (TChartPreviewPage) the navigator in a preview

#include "chart/editors/EditorPage.h"
#include "chart/editors/data/PlotNavigator.h"
#include "chart/export/PlotPreview.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonPen;
class TCustomAxisPanel;
class TCustomPlotPanelExtended;

class TChartPageNavigator : public TCustomPlotNavigator {
    Q_OBJECT
public:
    explicit TChartPageNavigator(QWidget* Parent = nullptr);

    // The chart paged (the bar's panel when it is an axis panel).
    TCustomAxisPanel* Chart() const;
    void SetChart(TCustomAxisPanel* Value);
    // Only an axis panel is bound; anything else binds none.
    void SetPanel(TCustomPlotPanel* Value) override;
    // The chart's number of pages (0 without a chart).
    int PageCount() const;
    // Prints the chart's pages: one page or fewer prints page 1; more ask
    // the range through the print dialog request, and a cancelled request
    // prints nothing.
    void Print();
    void PlotEvent(TPlotEvent& Event) override;

protected:
    void EnableButtons() override;
    void BtnClick(TPlotNavigateBtn Kind) override;
};

// The page navigator as the print preview's extra page: the preview asks
// it for the page count and lets it print several pages.
class TChartPageNavigatorPage : public TChartPreviewPage {
    Q_OBJECT
public:
    explicit TChartPageNavigatorPage(QWidget* Parent = nullptr);
    void SetPanel(TCustomPlotPanel* Panel) override;
    int PageCount() const override;
    void PrintPages() override;
    TChartPageNavigator* Navigator;
};

class TFormPlotGeneral : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotGeneral(QWidget* Parent = nullptr);

    TCustomPlotPanelExtended* TheChart() const;

    QPushButton* BPrint;
    QGroupBox* GBMargins;
    QSpinBox* UDTopMa;
    QSpinBox* UDLeftMa;
    QSpinBox* UDBotMa;
    QSpinBox* UDRightMa;
    QComboBox* CBMarUnits;
    QComboBox* CBCursor;
    QTabWidget* PageControl1;
    // "Zoom"
    QCheckBox* CBAllowZoom;
    QCheckBox* CBAnimatedZoom;
    QSpinBox* UDAniZoomSteps;
    QSpinBox* UDMinPix;
    TButtonPen* BZoomPen;
    QPushButton* BZoomColor;
    QComboBox* CBDir;
    QComboBox* CBZoomMouse;
    QCheckBox* CBUpLeft;
    // "Scroll"
    QButtonGroup* RGPanning;
    QComboBox* CBScrollMouse;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildLeftPanel();
    QWidget* BuildZoomTab();
    QWidget* BuildScrollTab();
    void BindControls();
    // Binds Control to the chart's property at Path; every write repaints.
    void BindRepainting(QObject* Control, const QString& Path);
    void BindMargin(QSpinBox* Control, int Side);
    void SetMarginRanges();
    void PrintPreviewClick();
    void ZoomPatternClick();
};

} // namespace lp
