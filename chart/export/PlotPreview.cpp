#include "chart/export/PlotPreview.h"

#include "chart/export/PlotBusyCursor.h"
#include "platform/ui/Application.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtPrintSupport/QPageSetupDialog>
#include <QtPrintSupport/QPrinter>
#include <QtPrintSupport/QPrinterInfo>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtCore/QFileInfo>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace lp {

namespace {

// Margin sides as the print margins hold them.
enum TSide { sLeft, sTop, sRight, sBottom };

int MarginOf(const TRect& M, int Side)
{
    switch (Side) {
    case sLeft:
        return M.Left;
    case sTop:
        return M.Top;
    case sRight:
        return M.Right;
    default:
        return M.Bottom;
    }
}

void SetMarginOf(TRect& M, int Side, int Value)
{
    switch (Side) {
    case sLeft:
        M.Left = Value;
        break;
    case sTop:
        M.Top = Value;
        break;
    case sRight:
        M.Right = Value;
        break;
    default:
        M.Bottom = Value;
        break;
    }
}

int Opposite(int Side)
{
    return (Side + 2) % 4;
}

// Group boxes of the narrow left bar keep their insides tight, so the whole
// bar fits the form's height.
template <class TLayout> TLayout* Tight(TLayout* Layout)
{
    Layout->setContentsMargins(6, 2, 6, 2);
    Layout->setSpacing(2);
    return Layout;
}

// A margin box. Enter applies the typed margin and stays with the box: the
// spin box would pass it on to the dialog, whose default button (Close)
// would end the preview. The arrows (keys, buttons, wheel) stop at 0 and at
// the largest margin its opposite box leaves room for. A typed number
// outside that span reaches the dialog whole, which refuses it.
class TMarginEdit : public QSpinBox {
public:
    explicit TMarginEdit(QWidget* Parent) : QSpinBox(Parent)
    {
        // Wide enough to take any typed number of up to three digits whole,
        // so that one off the paper is refused as typed rather than cut.
        setRange(-999, 999);
    }
    // The box of the opposite side (observed).
    const QSpinBox* OppositeEdit = nullptr;

protected:
    void keyPressEvent(QKeyEvent* Event) override
    {
        QSpinBox::keyPressEvent(Event);
        if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter)
            Event->accept();
    }
    void stepBy(int Steps) override
    {
        interpretText(); // a number typed but not yet applied counts first
        const qint64 wanted = static_cast<qint64>(value()) + static_cast<qint64>(Steps) * singleStep();
        setValue(static_cast<int>(std::clamp<qint64>(wanted, 0, std::max(Largest(), 0))));
    }
    StepEnabled stepEnabled() const override
    {
        StepEnabled enabled = StepNone;
        if (value() > 0)
            enabled |= StepDownEnabled;
        if (value() < Largest())
            enabled |= StepUpEnabled;
        return enabled;
    }

private:
    int Largest() const { return OppositeEdit ? LargestMarginBeside(OppositeEdit->value()) : 99; }
};

TMarginEdit* MarginEdit(QWidget* Parent, const char* Name)
{
    auto* edit = new TMarginEdit(Parent);
    edit->setObjectName(QLatin1String(Name));
    edit->setSingleStep(5);
    // A typed number counts when it is complete (Enter or leaving the edit).
    edit->setKeyboardTracking(false);
    edit->setValue(0);
    return edit;
}

void PairMarginEdits(TMarginEdit* A, TMarginEdit* B)
{
    A->OppositeEdit = B;
    B->OppositeEdit = A;
}

// Shows a margin in its box; a margin set elsewhere beyond the box's range
// widens the range, so that the box shows the margin as it is.
void ShowMarginIn(QSpinBox* Edit, int Margin)
{
    if (Margin < Edit->minimum() || Margin > Edit->maximum())
        Edit->setRange(std::min(Edit->minimum(), Margin), std::max(Edit->maximum(), Margin));
    Edit->setValue(Margin);
}

} // namespace

// --- The form ---------------------------------------------------------------------------------

TChartPreview::TChartPreview(QWidget* Owner)
    : QDialog(Owner), FPreview(std::make_unique<TPlotPreviewPanel>()), PlotPreviewPanel1(FPreview.get())
{
    setObjectName(QStringLiteral("ChartPreview"));
    setWindowTitle(QStringLiteral("Vexa Print Preview"));
    resize(502, 392);
    PlotPreviewPanel1->SetName(QStringLiteral("PlotPreviewPanel1"));
    PlotPreviewPanel1->Gradient()->SetVisible(true);
    PlotPreviewPanel1->Gradient()->SetDirection(gdFromTopLeft);
    PlotPreviewPanel1->Gradient()->SetEndColor(RGB(128, 128, 128));
    PlotPreviewPanel1->Shadow()->SetColor(RGB(128, 128, 128));
    PlotPreviewPanel1->Shadow()->SetSize(4);
    PlotPreviewPanel1->OnChangeMargins = [this](TPlotPreviewPanel*, bool Disable, const TRect& Margins) {
        MarginsChanged(Disable, Margins);
    };
    AskPdfFileName = [](QWidget* Parent) {
        return QFileDialog::getSaveFileName(Parent, QStringLiteral("Print to PDF file"), QString(),
                                            QStringLiteral("PDF files (*.pdf)"));
    };

    BuildTopBar();
    BuildLeftBar();
    auto* client = new QHBoxLayout;
    client->setContentsMargins(0, 0, 0, 0);
    client->setSpacing(0);
    client->addWidget(Panel2);
    client->addWidget(PlotPreviewPanel1->Widget(this), 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addLayout(client, 1);
    Connect();
    // Changing until the first margin update.
    FChanging = true;
}

TChartPreview::~TChartPreview() = default;

void TChartPreview::BuildTopBar()
{
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    LPrinter = new QLabel(QStringLiteral("P&rinter:"), Panel1);
    CBPrinters = new QComboBox(Panel1);
    CBPrinters->setObjectName(QStringLiteral("CBPrinters"));
    CBPrinters->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    LPrinter->setBuddy(CBPrinters);
    BSetupPrinter = new QPushButton(QStringLiteral("&Setup..."), Panel1);
    BSetupPrinter->setObjectName(QStringLiteral("BSetupPrinter"));
    BPrint = new QPushButton(QStringLiteral("&Print"), Panel1);
    BPrint->setObjectName(QStringLiteral("BPrint"));
    PanelClose = new QWidget(Panel1);
    PanelClose->setObjectName(QStringLiteral("PanelClose"));
    BClose = new QPushButton(QStringLiteral("Close"), PanelClose);
    BClose->setObjectName(QStringLiteral("BClose"));
    BClose->setDefault(true);
    auto* closeLayout = new QHBoxLayout(PanelClose);
    closeLayout->setContentsMargins(0, 0, 0, 0);
    closeLayout->addWidget(BClose);
    // The printer list stretches up to the buttons on the right.
    auto* layout = new QHBoxLayout(Panel1);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(LPrinter);
    layout->addWidget(CBPrinters, 1);
    layout->addWidget(BSetupPrinter);
    layout->addWidget(BPrint);
    layout->addWidget(PanelClose);
}

void TChartPreview::BuildLeftBar()
{
    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* bar = new QVBoxLayout(Panel2);
    bar->setContentsMargins(6, 0, 6, 4);
    bar->setSpacing(2);

    Orientation = new QGroupBox(QStringLiteral("Orien&tation:"), Panel2);
    Orientation->setObjectName(QStringLiteral("Orientation"));
    RBPortrait = new QRadioButton(QStringLiteral("P&ortrait"), Orientation);
    RBLandscape = new QRadioButton(QStringLiteral("&Landscape"), Orientation);
    auto* orientation = Tight(new QVBoxLayout(Orientation));
    orientation->addWidget(RBPortrait);
    orientation->addWidget(RBLandscape);
    bar->addWidget(Orientation);

    GBMargins = new QGroupBox(QStringLiteral("Margins (%)"), Panel2);
    GBMargins->setObjectName(QStringLiteral("GBMargins"));
    TMarginEdit* top = MarginEdit(GBMargins, "UDTopMa");
    TMarginEdit* left = MarginEdit(GBMargins, "UDLeftMa");
    TMarginEdit* bottom = MarginEdit(GBMargins, "UDBotMa");
    TMarginEdit* right = MarginEdit(GBMargins, "UDRightMa");
    PairMarginEdits(top, bottom);
    PairMarginEdits(left, right);
    UDTopMa = top;
    UDLeftMa = left;
    UDBotMa = bottom;
    UDRightMa = right;
    // Placed like the sides they stand for.
    auto* margins = Tight(new QGridLayout(GBMargins));
    margins->addWidget(UDTopMa, 0, 0, 1, 2, Qt::AlignHCenter);
    margins->addWidget(UDLeftMa, 1, 0);
    margins->addWidget(UDRightMa, 1, 1);
    margins->addWidget(UDBotMa, 2, 0, 1, 2, Qt::AlignHCenter);
    bar->addWidget(GBMargins);

    ChangeDetailGroup = new QGroupBox(QStringLiteral("Detail:"), Panel2);
    ChangeDetailGroup->setObjectName(QStringLiteral("ChangeDetailGroup"));
    Resolution = new QSlider(Qt::Horizontal, ChangeDetailGroup);
    Resolution->setObjectName(QStringLiteral("Resolution"));
    Resolution->setRange(0, 100);
    Resolution->setSingleStep(2);
    Resolution->setTickInterval(10);
    Resolution->setTickPosition(QSlider::TicksBelow);
    Resolution->setValue(99);
    auto* detail = Tight(new QGridLayout(ChangeDetailGroup));
    detail->addWidget(new QLabel(QStringLiteral("More"), ChangeDetailGroup), 0, 0, Qt::AlignLeft);
    detail->addWidget(new QLabel(QStringLiteral("Normal"), ChangeDetailGroup), 0, 1, Qt::AlignRight);
    detail->addWidget(Resolution, 1, 0, 1, 2);
    bar->addWidget(ChangeDetailGroup);

    PanelMargins = new QWidget(Panel2);
    PanelMargins->setObjectName(QStringLiteral("PanelMargins"));
    BReset = new QPushButton(QStringLiteral("Reset &Margins"), PanelMargins);
    BReset->setObjectName(QStringLiteral("BReset"));
    BReset->setEnabled(false);
    ShowMargins = new QCheckBox(QStringLiteral("&View Margins"), PanelMargins);
    ShowMargins->setObjectName(QStringLiteral("ShowMargins"));
    ShowMargins->setChecked(true);
    auto* panelMargins = new QVBoxLayout(PanelMargins);
    panelMargins->setContentsMargins(0, 0, 0, 0);
    panelMargins->setSpacing(2);
    panelMargins->addWidget(BReset);
    panelMargins->addWidget(ShowMargins);
    bar->addWidget(PanelMargins);

    CBProp = new QCheckBox(QStringLiteral("Proport&ional"), Panel2);
    CBProp->setObjectName(QStringLiteral("CBProp"));
    CBProp->setChecked(true);
    // "S&mooth" would share its key with "Reset &Margins".
    CheckBox1 = new QCheckBox(QStringLiteral("Smoot&h"), Panel2);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    bar->addWidget(CBProp);
    bar->addWidget(CheckBox1);
    bar->addStretch(1);
}

void TChartPreview::Guard(const std::function<void()>& Handler)
{
    try {
        Handler();
    } catch (const std::exception& error) {
        Application().HandleException(error);
    }
}

void TChartPreview::Connect()
{
    connect(BClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(BPrint, &QPushButton::clicked, this, [this] { Guard([this] { PrintClicked(); }); });
    connect(BSetupPrinter, &QPushButton::clicked, this, [this] { Guard([this] { SetupClicked(); }); });
    connect(BReset, &QPushButton::clicked, this, [this] {
        if (TCustomPlotPanel* panel = PlotPreviewPanel1->Panel()) {
            panel->SetPrintMargins(FOldMargins);
            ShowPanelMargins(FOldMargins);
            PlotPreviewPanel1->Invalidate();
        }
        BReset->setEnabled(false);
    });
    connect(ShowMargins, &QCheckBox::clicked, this,
            [this](bool checked) { PlotPreviewPanel1->Margins()->SetVisible(checked); });
    connect(CheckBox1, &QCheckBox::clicked, this, [this](bool checked) { PlotPreviewPanel1->SetAsBitmap(checked); });
    connect(CBProp, &QCheckBox::clicked, this, [this](bool checked) {
        if (FMuteProp)
            return;
        if (TCustomPlotPanel* panel = PlotPreviewPanel1->Panel()) {
            panel->SetPrintProportional(checked);
            Guard([this] { UpdateMargins(); });
        }
    });
    connect(Resolution, &QSlider::valueChanged, this, [this](int position) {
        if (TCustomPlotPanel* panel = PlotPreviewPanel1->Panel()) {
            panel->SetPrintResolution(position - 100);
            PlotPreviewPanel1->Invalidate();
        }
    });
    for (QRadioButton* button : {RBPortrait, RBLandscape})
        connect(button, &QRadioButton::clicked, this, [this] { Guard([this] { ApplyOrientation(); }); });
    connect(CBPrinters, &QComboBox::activated, this, [this](int index) {
        Guard([this, index] {
            if (FHasPrinters)
                Printer().SetPrinterIndex(index);
            ShowOrientation();
            ApplyOrientation();
        });
    });
    const std::pair<QSpinBox*, int> edits[] = {
        {UDLeftMa, sLeft}, {UDTopMa, sTop}, {UDRightMa, sRight}, {UDBotMa, sBottom}};
    for (const auto& entry : edits) {
        QSpinBox* edit = entry.first;
        const int side = entry.second;
        connect(edit, &QSpinBox::valueChanged, this, [this, edit, side] { MarginEdited(edit, side); });
    }
}

void TChartPreview::HideCloseButton()
{
    PanelClose->hide();
}

// --- Showing ----------------------------------------------------------------------------------

void TChartPreview::FormShow()
{
    if (ExtraPageClass && !ExtraPage) {
        ExtraPage = ExtraPageClass(this);
        if (ExtraPage) {
            Panel2->layout()->addWidget(ExtraPage);
            ExtraPage->OnChange = [this] { PlotPreviewPanel1->Invalidate(); };
        }
    }
    if (TagPanel)
        PlotPreviewPanel1->SetPanel(TagPanel);
    FillPrinters();
    TCustomPlotPanel* panel = PlotPreviewPanel1->Panel();
    if (panel) {
        CBProp->setChecked(panel->PrintProportional());
        {
            const QSignalBlocker block(Resolution);
            Resolution->setValue(panel->PrintResolution() + 100);
        }
        FOldMargins = panel->PrintMargins();
        UpdateMargins();
        if (ExtraPage)
            ExtraPage->SetPanel(panel);
    } else {
        CBProp->setEnabled(false);
        Resolution->setEnabled(false);
        GBMargins->setEnabled(false);
        BPrint->setEnabled(false);
    }
    CheckBox1->setChecked(PlotPreviewPanel1->AsBitmap());
    FShowing = true;
}

int TChartPreview::ShowModal()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
    const int result = ChartPreviewShowService()(*this);
    FShowing = false;
    return result;
}

void TChartPreview::FillPrinters()
{
    const QSignalBlocker block(CBPrinters);
    CBPrinters->clear();
    const QStringList printers = Printer().Printers();
    FHasPrinters = !printers.isEmpty();
    if (FHasPrinters) {
        CBPrinters->addItems(printers);
        const int index = Printer().PrinterIndex();
        const int current = index >= 0 ? index : std::max(0, static_cast<int>(printers.indexOf(QPrinterInfo::defaultPrinterName())));
        CBPrinters->setCurrentIndex(current);
    } else {
        // No printer on this desktop: printing goes into a PDF file.
        CBPrinters->addItem(QStringLiteral("PDF file"));
        CBPrinters->setCurrentIndex(0);
    }
    BSetupPrinter->setEnabled(FHasPrinters && BSetupPrinter->isEnabled());
    if (PreviewLandscapeByDefault && !Printer().Printing())
        Printer().SetOrientation(TPrinter::poLandscape);
    ShowOrientation();
}

void TChartPreview::ShowOrientation()
{
    const bool landscape = Printer().Orientation() == TPrinter::poLandscape;
    RBLandscape->setChecked(landscape);
    RBPortrait->setChecked(!landscape);
}

void TChartPreview::ApplyOrientation()
{
    if (!Printer().Printing())
        Printer().SetOrientation(RBLandscape->isChecked() ? TPrinter::poLandscape : TPrinter::poPortrait);
    UpdateMargins();
    PlotPreviewPanel1->Invalidate();
}

// --- Margins ----------------------------------------------------------------------------------

void TChartPreview::UpdateMargins()
{
    TCustomPlotPanel* panel = PlotPreviewPanel1->Panel();
    if (!panel)
        return;
    if (panel->PrintProportional()) {
        // The page size follows a changed orientation only once the printer
        // is configured again.
        Printer().QtPrinter();
        FOldMargins = panel->CalcProportionalMargins();
        panel->SetPrintMargins(FOldMargins);
    }
    ShowPanelMargins(panel->PrintMargins());
    FChanging = false;
    PlotPreviewPanel1->Invalidate();
}

void TChartPreview::ShowPanelMargins(const TRect& Margins)
{
    // Written by the program, not typed: the edit handlers keep still.
    const bool changing = FChanging;
    FChanging = true;
    ShowMarginIn(UDLeftMa, Margins.Left);
    ShowMarginIn(UDRightMa, Margins.Right);
    ShowMarginIn(UDTopMa, Margins.Top);
    ShowMarginIn(UDBotMa, Margins.Bottom);
    FChanging = changing;
}

void TChartPreview::MarginsChanged(bool DisableProportional, const TRect& Margins)
{
    ShowPanelMargins(Margins);
    if (!DisableProportional)
        return;
    if (TCustomPlotPanel* panel = PlotPreviewPanel1->Panel())
        panel->SetPrintProportional(false);
    FMuteProp = true;
    CBProp->setChecked(false);
    FMuteProp = false;
    BReset->setEnabled(PlotPreviewPanel1->Panel() && Margins != FOldMargins);
}

void TChartPreview::MarginEdited(QSpinBox* Edit, int Side)
{
    TCustomPlotPanel* panel = PlotPreviewPanel1->Panel();
    if (!FShowing || !panel || FChanging)
        return;
    TRect margins = panel->PrintMargins();
    if (!MarginFits(Edit->value(), MarginOf(margins, Opposite(Side)))) {
        // Below 0, or no room left beside the opposite margin: the box goes
        // back to the margin in force.
        FChanging = true;
        Edit->setValue(MarginOf(margins, Side));
        FChanging = false;
        return;
    }
    SetMarginOf(margins, Side, Edit->value());
    panel->SetPrintMargins(margins);
    // Typed margins are kept: proportional margins would replace them.
    panel->SetPrintProportional(false);
    PlotPreviewPanel1->Invalidate();
    BReset->setEnabled(margins != FOldMargins);
    FMuteProp = true;
    CBProp->setChecked(false);
    FMuteProp = false;
}

// --- Printing ---------------------------------------------------------------------------------

void TChartPreview::PrintClicked()
{
    QString pdf;
    if (!FHasPrinters) {
        pdf = AskPdfFileName ? AskPdfFileName(this) : QString();
        if (pdf.isEmpty())
            return;
        // A name typed without the extension still names a PDF file.
        if (QFileInfo(pdf).suffix().compare(QStringLiteral("pdf"), Qt::CaseInsensitive) != 0)
            pdf += QStringLiteral(".pdf");
    }
    TBusyCursor busy;
    const QString oldOutput = Printer().OutputFileName();
    if (!pdf.isEmpty())
        Printer().SetOutputFileName(pdf);
    try {
        // An extra page with several pages prints them all, into the same
        // file when there is no printer.
        if (ExtraPage && ExtraPage->PageCount() > 1)
            ExtraPage->PrintPages();
        else
            PlotPreviewPanel1->Print();
    } catch (...) {
        Printer().SetOutputFileName(oldOutput);
        throw;
    }
    Printer().SetOutputFileName(oldOutput);
}

void TChartPreview::SetupClicked()
{
    QPrinter& printer = Printer().QtPrinter();
    QPageSetupDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        Printer().SetOrientation(printer.pageLayout().orientation() == QPageLayout::Landscape ? TPrinter::poLandscape
                                                                                             : TPrinter::poPortrait);
    FillPrinters();
    // Another page gives other proportional margins; the boxes follow.
    UpdateMargins();
    PlotPreviewPanel1->Invalidate();
}

// --- Entries ----------------------------------------------------------------------------------

namespace {

int DefaultShow(TChartPreview& Form)
{
    return Form.exec();
}

} // namespace

TChartPreviewShowService& ChartPreviewShowService()
{
    static TChartPreviewShowService service = &DefaultShow;
    return service;
}

void ResetChartPreviewShowService()
{
    ChartPreviewShowService() = &DefaultShow;
}

void ShowChartPreview(QWidget* Owner, TCustomPlotPanel* Panel)
{
    TChartPreview form(Owner);
    form.PlotPreviewPanel1->Panels().Clear();
    if (Panel) {
        Panel->SetPrintMargins({0, 0, 0, 0});
        Panel->SetPrintProportional(true);
    }
    form.PlotPreviewPanel1->SetPanel(Panel);
    form.ShowModal();
    if (Panel)
        Panel->Invalidate();
}

TCustomChartEditor::TCustomChartEditor(TComponent* AOwner) : TComponent(AOwner) {}

TCustomChartEditor::~TCustomChartEditor()
{
    SetChart(nullptr);
}

void TCustomChartEditor::SetChart(TCustomChart* value)
{
    if (FChart == value)
        return;
    if (FChart)
        FChart->RemoveFreeNotification(this);
    FChart = value;
    if (FChart)
        FChart->FreeNotification(this);
}

void TCustomChartEditor::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == static_cast<TComponent*>(FChart))
        FChart = nullptr;
}

TChartPreviewer::TChartPreviewer(TComponent* AOwner)
    : TCustomChartEditor(AOwner),
      FOptions(cpoChangePrinter | cpoSetupPrinter | cpoResizeChart | cpoMoveChart | cpoChangeDetail |
               cpoChangePaperOrientation | cpoChangeMargins | cpoProportional)
{
}

void TChartPreviewer::ApplyOptions(TChartPreview& Form)
{
    TPlotPreviewPanel& preview = *Form.PlotPreviewPanel1;
    if (!FOptions.testFlag(cpoChangePrinter))
        Form.CBPrinters->setEnabled(false);
    if (!FOptions.testFlag(cpoSetupPrinter))
        Form.BSetupPrinter->setEnabled(false);
    preview.SetAllowResize(FOptions.testFlag(cpoResizeChart));
    preview.SetAllowMove(FOptions.testFlag(cpoMoveChart));
    if (!FOptions.testFlag(cpoChangeDetail))
        Form.ChangeDetailGroup->setEnabled(false);
    if (!FOptions.testFlag(cpoChangePaperOrientation))
        Form.Orientation->setEnabled(false);
    if (!FOptions.testFlag(cpoChangeMargins)) {
        Form.GBMargins->setEnabled(false);
        Form.BReset->setEnabled(false);
    }
    if (Chart()->PrintProportional())
        Chart()->SetPrintProportional(FOptions.testFlag(cpoProportional));
    preview.SetPaperColor(FPaperColor);
    preview.SetDragImage(FOptions.testFlag(cpoDragChart));
    preview.SetAsBitmap(FOptions.testFlag(cpoAsBitmap));
}

void TChartPreviewer::Execute()
{
    if (!Chart())
        return;
    TChartPreview form;
    if (!FTitle.isEmpty())
        form.setWindowTitle(FTitle);
    form.PlotPreviewPanel1->SetPanel(Chart());
    form.PlotPreviewPanel1->OnAfterDraw = OnAfterDraw;
    form.setWindowState(FWindowState == wsMaximized   ? Qt::WindowMaximized
                        : FWindowState == wsMinimized ? Qt::WindowMinimized
                                                      : Qt::WindowNoState);
    ApplyOptions(form);
    const bool oldPrintPanel = PlotBackgroundWhenPrinting;
    PlotBackgroundWhenPrinting = FOptions.testFlag(cpoPrintPanel);
    if (OnShow)
        OnShow(&form);
    try {
        form.ShowModal();
    } catch (...) {
        PlotBackgroundWhenPrinting = oldPrintPanel;
        throw;
    }
    PlotBackgroundWhenPrinting = oldPrintPanel;
    if (OnClose)
        OnClose(&form);
    if (TCustomChart* chart = Chart()) {
        chart->Invalidate();
        chart->SetMouseCancelled(true);
    }
}

} // namespace lp
