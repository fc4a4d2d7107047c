#pragma once
// The print preview dialog and its two entries.
//
//   TChartPreview (QDialog) ──owns──> TPlotPreviewPanel (fills the client)
//     top bar:  printer list, "&Setup...", "&Print", "Close"
//     left bar: orientation, margins in per cent, detail, reset / view
//               margins, proportional, smooth
//   ShowChartPreview(Owner, Panel)     any panel, margins reset to 0
//   TChartPreviewer (TCustomChartEditor) a component whose Options decide
//                                        which controls the user may use
//
// Printers and their set-up come from the platform's printer. When the
// desktop has no printer the list offers a PDF file, and "&Print" asks for
// its name. Modal showing goes through ChartPreviewShowService(), which
// tests replace to drive the dialog without an event loop of its own.

#include "chart/engine/PlotChart.h"
#include "chart/export/PlotPreviewPanel.h"

#include <QtWidgets/QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;

namespace lp {

// An optional page of extra settings a host may put into the left bar: it
// receives the panel, may ask for a repaint and may print several pages
// itself.
class TChartPreviewPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void SetPanel(TCustomPlotPanel* Panel) = 0;
    virtual int PageCount() const { return 1; }
    // Prints every page (called instead of the preview's one-page print
    // when PageCount is above 1).
    virtual void PrintPages() {}
    // Set by the dialog: repaints the preview.
    std::function<void()> OnChange;
};

using TChartPreviewPageClass = std::function<TChartPreviewPage*(QWidget* Owner)>;

class TChartPreview : public QDialog {
    Q_OBJECT
public:
    explicit TChartPreview(QWidget* Owner = nullptr);
    ~TChartPreview() override;

private:
    // Owned by the form; its window is a child of the form.
    std::unique_ptr<TPlotPreviewPanel> FPreview;

public:

    // Hides the close button (for an embedded form).
    void HideCloseButton();
    // Shows the dialog modally through ChartPreviewShowService().
    int ShowModal();
    // The set-up done when the form is shown (also run by ShowModal).
    void FormShow();
    // The panel shown when the form opens (the form's Tag).
    TCustomPlotPanel* TagPanel = nullptr;
    // The extra page's class, created when the form is shown.
    TChartPreviewPageClass ExtraPageClass;
    // Asks for the PDF file to print into when there is no printer; an
    // empty name cancels. A save dialog by default.
    std::function<QString(QWidget* Parent)> AskPdfFileName;

    TPlotPreviewPanel* PlotPreviewPanel1;
    QWidget* Panel1;
    QLabel* LPrinter;
    QComboBox* CBPrinters;
    QPushButton* BSetupPrinter;
    QPushButton* BPrint;
    QWidget* PanelClose;
    QPushButton* BClose;
    QWidget* Panel2;
    QGroupBox* Orientation;
    QRadioButton* RBPortrait;
    QRadioButton* RBLandscape;
    QGroupBox* GBMargins;
    // Each margin is one spin box: the edit and its up-down (step 5).
    QSpinBox* UDTopMa;
    QSpinBox* UDLeftMa;
    QSpinBox* UDBotMa;
    QSpinBox* UDRightMa;
    QGroupBox* ChangeDetailGroup;
    QSlider* Resolution;
    QWidget* PanelMargins;
    QPushButton* BReset;
    QCheckBox* ShowMargins;
    QCheckBox* CBProp;
    QCheckBox* CheckBox1;
    TChartPreviewPage* ExtraPage = nullptr;

    // The margins kept for "Reset Margins".
    TRect OldMargins() const { return FOldMargins; }
    bool HasPrinters() const { return FHasPrinters; }

private:
    void BuildTopBar();
    void BuildLeftBar();
    void Connect();
    // Runs a handler; an error is shown by the application object and never
    // reaches the event loop.
    void Guard(const std::function<void()>& Handler);
    void FillPrinters();
    void ShowOrientation();
    void ApplyOrientation();
    void UpdateMargins();
    void ShowPanelMargins(const TRect& Margins);
    void MarginsChanged(bool DisableProportional, const TRect& Margins);
    void MarginEdited(QSpinBox* Edit, int Side);
    void PrintClicked();
    void SetupClicked();

    TRect FOldMargins;
    bool FChanging = false;
    bool FMuteProp = false;
    bool FShowing = false;
    bool FHasPrinters = false;
};

// Shows the dialog modally and answers its result; replaceable (tests).
using TChartPreviewShowService = std::function<int(TChartPreview&)>;
TChartPreviewShowService& ChartPreviewShowService();
void ResetChartPreviewShowService();

// The preview of any panel: its print margins set to 0 and proportional.
void ShowChartPreview(QWidget* Owner, TCustomPlotPanel* Panel);

// A non-visual component that opens a dialog for a chart.
class TCustomChartEditor : public TComponent {
    Q_OBJECT
public:
    explicit TCustomChartEditor(TComponent* AOwner = nullptr);
    ~TCustomChartEditor() override;

    // Observed: forgotten when the chart is destroyed.
    TCustomChart* Chart() const { return FChart; }
    void SetChart(TCustomChart* value);
    std::function<void(QObject* Sender)> OnClose;
    std::function<void(QObject* Sender)> OnShow;
    virtual void Execute() {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TCustomChart* FChart = nullptr;
};

class TChartPreviewer : public TCustomChartEditor {
    Q_OBJECT
public:
    enum TChartPreviewOption {
        cpoChangePrinter = 0x001,
        cpoSetupPrinter = 0x002,
        cpoResizeChart = 0x004,
        cpoMoveChart = 0x008,
        cpoChangeDetail = 0x010,
        cpoChangePaperOrientation = 0x020,
        cpoChangeMargins = 0x040,
        cpoProportional = 0x080,
        cpoDragChart = 0x100,
        cpoPrintPanel = 0x200,
        cpoAsBitmap = 0x400,
    };
    Q_DECLARE_FLAGS(TChartPreviewOptions, TChartPreviewOption)
    Q_FLAG(TChartPreviewOptions)
    enum TWindowState { wsNormal, wsMinimized, wsMaximized };
    Q_ENUM(TWindowState)

private:
    Q_PROPERTY(TChartPreviewOptions Options READ Options WRITE SetOptions)
    Q_CLASSINFO("default:Options", "cpoChangePrinter|cpoSetupPrinter|cpoResizeChart|cpoMoveChart|cpoChangeDetail|"
                                   "cpoChangePaperOrientation|cpoChangeMargins|cpoProportional")
    Q_PROPERTY(int PaperColor READ PaperColor WRITE SetPaperColor)
    Q_CLASSINFO("default:PaperColor", "0xFFFFFF")
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_CLASSINFO("default:Title", "")
    Q_PROPERTY(TWindowState WindowState READ WindowState WRITE SetWindowState)
    Q_CLASSINFO("default:WindowState", "wsNormal")

public:
    explicit TChartPreviewer(TComponent* AOwner = nullptr);

    TChartPreviewOptions Options() const { return FOptions; }
    void SetOptions(TChartPreviewOptions value) { FOptions = value; }
    TColor PaperColor() const { return FPaperColor; }
    void SetPaperColor(TColor value) { FPaperColor = value; }
    QString Title() const { return FTitle; }
    void SetTitle(const QString& value) { FTitle = value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState value) { FWindowState = value; }
    std::function<void(TCustomPlotPanelExtended* Sender)> OnAfterDraw;

    // Shows the preview of Chart (nothing without one).
    void Execute() override;

private:
    void ApplyOptions(TChartPreview& Form);

    TChartPreviewOptions FOptions;
    TColor FPaperColor = clWhite;
    QString FTitle;
    TWindowState FWindowState = wsNormal;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TChartPreviewer::TChartPreviewOptions)

// The printer is switched to landscape when the preview opens.
inline bool PreviewLandscapeByDefault = true;

} // namespace lp
