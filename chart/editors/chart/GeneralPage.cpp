#include "chart/editors/chart/GeneralPage.h"

#include "chart/canvas/PlotPanelExtended.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/ui/Dialogs.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

#include <memory>

namespace lp {

namespace {

constexpr int PixelMarginLimit = 2000;
constexpr int MarginStep = 5;

// Margin sides as the panel numbers them, and each side's opposite.
constexpr int MarginLeftSide = 0;
constexpr int MarginTopSide = 1;
constexpr int MarginRightSide = 2;
constexpr int MarginBottomSide = 3;
constexpr int OppositeSide(int Side)
{
    return (Side + 2) % 4;
}

QComboBox* MouseButtonCombo(QWidget* Parent, const char* Name)
{
    auto* combo = TPageBuilder::Named(new QComboBox(Parent), Name);
    combo->addItems({QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Middle")});
    return combo;
}

} // namespace

// --- Page navigator --------------------------------------------------------------------------------

TChartPageNavigator::TChartPageNavigator(QWidget* Parent) : TCustomPlotNavigator(Parent)
{
    setObjectName(QStringLiteral("ChartPageNavigator"));
    // Room for the four moving buttons wherever a layout places the bar.
    setMinimumSize(4 * 24, 25);
}

TCustomAxisPanel* TChartPageNavigator::Chart() const
{
    return qobject_cast<TCustomAxisPanel*>(Panel());
}

void TChartPageNavigator::SetChart(TCustomAxisPanel* Value)
{
    SetPanel(Value);
}

void TChartPageNavigator::SetPanel(TCustomPlotPanel* Value)
{
    TCustomPlotNavigator::SetPanel(qobject_cast<TCustomAxisPanel*>(Value));
}

int TChartPageNavigator::PageCount() const
{
    return Chart() ? Chart()->NumPages() : 0;
}

void TChartPageNavigator::EnableButtons()
{
    TCustomPlotNavigator::EnableButtons();
    TCustomAxisPanel* chart = Chart();
    const bool back = chart && chart->Page() > 1;
    const bool forward = chart && chart->NumPages() > chart->Page();
    Button(nbFirst)->setEnabled(back);
    Button(nbPrior)->setEnabled(back);
    Button(nbNext)->setEnabled(forward);
    Button(nbLast)->setEnabled(forward);
}

void TChartPageNavigator::BtnClick(TPlotNavigateBtn Kind)
{
    if (TCustomAxisPanel* chart = Chart()) {
        switch (Kind) {
        case nbFirst:
            if (chart->Page() > 1)
                chart->SetPage(1);
            break;
        case nbPrior:
            if (chart->Page() > 1)
                chart->SetPage(chart->Page() - 1);
            break;
        case nbNext:
            if (chart->NumPages() > chart->Page())
                chart->SetPage(chart->Page() + 1);
            break;
        case nbLast:
            if (chart->NumPages() > chart->Page())
                chart->SetPage(chart->NumPages());
            break;
        default:
            break;
        }
    }
    EnableButtons();
    TCustomPlotNavigator::BtnClick(Kind);
}

void TChartPageNavigator::PlotEvent(TPlotEvent& Event)
{
    if (dynamic_cast<TChartChangePage*>(&Event)) {
        EnableButtons();
        return;
    }
    if (auto* series = dynamic_cast<TPlotSeriesEvent*>(&Event); series && series->Event == seDataChanged)
        EnableButtons();
}

void TChartPageNavigator::Print()
{
    TCustomAxisPanel* chart = Chart();
    if (!chart)
        return;
    const int pages = chart->NumPages();
    if (pages <= 1) {
        chart->PrintPages(1, 1);
        return;
    }
    TPrintDialogRequest request;
    request.Owner = this;
    request.FromPage = 1;
    request.MinPage = 1;
    request.ToPage = pages;
    request.MaxPage = pages;
    if (ExecutePrintDialog(request))
        chart->PrintPages(request.FromPage, request.ToPage);
}

TChartPageNavigatorPage::TChartPageNavigatorPage(QWidget* Parent) : TChartPreviewPage(Parent)
{
    setObjectName(QStringLiteral("ChartPageNavigatorPage"));
    Navigator = new TChartPageNavigator(this);
    Navigator->SetAligned(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(Navigator);
    // The preview shows the page the bar moved to.
    Navigator->OnButtonClicked = [this](TPlotNavigateBtn) {
        if (OnChange)
            OnChange();
    };
}

void TChartPageNavigatorPage::SetPanel(TCustomPlotPanel* Panel)
{
    Navigator->SetPanel(Panel);
}

int TChartPageNavigatorPage::PageCount() const
{
    return Navigator->PageCount();
}

void TChartPageNavigatorPage::PrintPages()
{
    Navigator->Print();
}

// --- General page ----------------------------------------------------------------------------------

TFormPlotGeneral::TFormPlotGeneral(QWidget* Parent) : TEditorPage(Parent)
{
    setObjectName(QStringLiteral("FormPlotGeneral"));
    setWindowTitle(QStringLiteral("General"));
    PageControl1 = TPageBuilder::Named(new QTabWidget(this), "PageControl1");
    PageControl1->addTab(BuildZoomTab(), QStringLiteral("Zoom"));
    PageControl1->addTab(BuildScrollTab(), QStringLiteral("Scroll"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(BuildLeftPanel());
    layout->addWidget(PageControl1, 1);
    BindControls();
    PageControl1->setCurrentIndex(0);
    // Enter in a field applies it; it does not press a button of the page.
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);
}

QWidget* TFormPlotGeneral::BuildLeftPanel()
{
    auto* panel = TPageBuilder::Named(new QWidget(this), "PanelLeft");
    BPrint = TPageBuilder::Named(new QPushButton(QStringLiteral("Print &Preview..."), panel), "BPrint");
    GBMargins = TPageBuilder::Named(new QGroupBox(QStringLiteral("Margins (%)"), panel), "GBMargins");
    auto margin = [this](const char* Name) {
        auto* spin = TPageBuilder::Named(new QSpinBox(GBMargins), Name);
        spin->setSingleStep(MarginStep);
        spin->setRange(0, 100);
        // A typed margin is checked whole, when the field is left.
        spin->setKeyboardTracking(false);
        spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("-0000")) + 36);
        return spin;
    };
    UDTopMa = margin("UDTopMa");
    UDLeftMa = margin("UDLeftMa");
    UDRightMa = margin("UDRightMa");
    UDBotMa = margin("UDBotMa");
    UDTopMa->setToolTip(QStringLiteral("Top"));
    UDLeftMa->setToolTip(QStringLiteral("Left"));
    UDRightMa->setToolTip(QStringLiteral("Right"));
    UDBotMa->setToolTip(QStringLiteral("Bottom"));
    CBMarUnits = TPageBuilder::Named(new QComboBox(GBMargins), "CBMarUnits");
    CBMarUnits->addItems({QStringLiteral("Percent"), QStringLiteral("Pixels")});
    auto* unitsLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Units:"), GBMargins), "LMarUnits");
    unitsLabel->setBuddy(CBMarUnits);
    // The four margins as a cross: top, left and right, bottom.
    auto* marginsGrid = new QGridLayout(GBMargins);
    marginsGrid->addWidget(UDTopMa, 0, 0, 1, 2, Qt::AlignHCenter);
    marginsGrid->addWidget(UDLeftMa, 1, 0);
    marginsGrid->addWidget(UDRightMa, 1, 1);
    marginsGrid->addWidget(UDBotMa, 2, 0, 1, 2, Qt::AlignHCenter);
    marginsGrid->addWidget(unitsLabel, 3, 0, 1, 2);
    marginsGrid->addWidget(CBMarUnits, 4, 0, 1, 2);

    CBCursor = TPageBuilder::Named(new QComboBox(panel), "CBCursor");
    FillCursorCombo(CBCursor, crDefault);
    CBCursor->model()->sort(0);
    auto* cursorLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Cursor:"), panel), "LCursor");
    cursorLabel->setBuddy(CBCursor);

    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(BPrint);
    layout->addWidget(GBMargins);
    layout->addWidget(cursorLabel);
    layout->addWidget(CBCursor);
    layout->addStretch();
    return panel;
}

QWidget* TFormPlotGeneral::BuildZoomTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabZoom");
    TPageBuilder build(*tab);
    CBAllowZoom = build.CheckBox("CBAllowZoom", QStringLiteral("&Allow"));
    CBAnimatedZoom = build.CheckBox("CBAnimatedZoom", QStringLiteral("An&imated"));
    UDAniZoomSteps = build.SpinBox("UDAniZoomSteps", 0, 100);
    UDMinPix = build.SpinBox("UDMinPix", 0, 100);
    BZoomPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("P&en..."), tab), "BZoomPen");
    BZoomColor = build.Button("BZoomColor", QStringLiteral("P&attern..."));
    CBDir = TPageBuilder::Named(new QComboBox(tab), "CBDir");
    CBDir->addItems({QStringLiteral("Horizontal"), QStringLiteral("Vertical"), QStringLiteral("Both")});
    CBZoomMouse = MouseButtonCombo(tab, "CBZoomMouse");
    CBUpLeft = build.CheckBox("CBUpLeft", QStringLiteral("Zoom on &Up Left drag"));
    build.Line({CBAllowZoom, CBAnimatedZoom});
    build.Row(QStringLiteral("&Steps:"), UDAniZoomSteps, "LSteps");
    build.Row(QStringLiteral("&Minimum pixels:"), UDMinPix, "LMinPix");
    build.Row(QStringLiteral("&Direction:"), CBDir, "LDir");
    build.Row(QStringLiteral("M&ouse Button:"), CBZoomMouse, "LZoomMouse");
    build.Line({BZoomPen, BZoomColor});
    build.Full(CBUpLeft);
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TFormPlotGeneral::BuildScrollTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabScroll");
    TPageBuilder build(*tab);
    auto* box = TPageBuilder::Named(new QGroupBox(QStringLiteral("Allow Scroll:"), tab), "GBPanning");
    RGPanning = TPageBuilder::RadioGroup(this, box, "RGPanning", {"&None", "&Horizontal", "&Vertical", "&Both"},
                                         Qt::Vertical);
    CBScrollMouse = MouseButtonCombo(tab, "CBScrollMouse");
    build.Full(box);
    build.Row(QStringLiteral("&Mouse Button:"), CBScrollMouse, "LScrollMouse");
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

TCustomPlotPanelExtended* TFormPlotGeneral::TheChart() const
{
    return TargetAs<TCustomPlotPanelExtended>();
}

void TFormPlotGeneral::BindRepainting(QObject* Control, const QString& Path)
{
    Binder().Bind(
        Control, [this, Path]() -> QVariant { return Target() ? ReadPropertyPath(Target(), Path) : QVariant(); },
        [this, Path](const QVariant& Value) {
            if (!TheChart())
                return;
            WritePropertyPath(TheChart(), Path, Value);
            TheChart()->Invalidate();
        });
}

// A percent margin is refused when it and the opposite margin would reach
// 100 together; the up-down then shows the margin kept.
void TFormPlotGeneral::BindMargin(QSpinBox* Control, int Side)
{
    Binder().Bind(
        Control,
        [this, Side]() -> QVariant {
            // The ranges of the chart's units first, so the margin shows
            // unclamped.
            SetMarginRanges();
            return TheChart() ? QVariant(TheChart()->Margin(Side)) : QVariant();
        },
        [this, Control, Side](const QVariant& Value) {
            TCustomPlotPanelExtended* chart = TheChart();
            if (!chart)
                return;
            const int wanted = Value.toInt();
            if (chart->MarginUnits() == TCustomPlotPanel::muPixels || wanted + chart->Margin(OppositeSide(Side)) < 100) {
                chart->SetMargin(Side, wanted);
            } else {
                const QSignalBlocker block(Control);
                Control->setValue(chart->Margin(Side));
            }
        });
}

void TFormPlotGeneral::BindControls()
{
    BindMargin(UDTopMa, MarginTopSide);
    BindMargin(UDLeftMa, MarginLeftSide);
    BindMargin(UDBotMa, MarginBottomSide);
    BindMargin(UDRightMa, MarginRightSide);
    Binder().Bind(
        CBMarUnits,
        [this]() -> QVariant { return TheChart() ? QVariant(static_cast<int>(TheChart()->MarginUnits())) : QVariant(); },
        [this](const QVariant& Value) {
            if (!TheChart())
                return;
            TheChart()->SetMarginUnits(static_cast<TCustomPlotPanel::TPlotUnits>(Value.toInt()));
            SetMarginRanges();
        });
    Binder().Bind(
        CBCursor,
        [this]() -> QVariant {
            QString ident;
            if (!TheChart() || !PlotCursorToIdent(TheChart()->SavedCursor(), ident))
                return TheChart() ? QVariant(-1) : QVariant();
            return CBCursor->findText(ident.mid(2));
        },
        [this](const QVariant& Value) {
            TCustomPlotPanelExtended* chart = TheChart();
            if (!chart || Value.toInt() < 0)
                return;
            // The chart's own cursor, shown now and after every passing one.
            chart->SetCursor(CursorFromName(CBCursor->itemText(Value.toInt()), chart->SavedCursor()));
            chart->Invalidate();
        });
    BindRepainting(CBAllowZoom, QStringLiteral("Zoom.Allow"));
    BindRepainting(CBAnimatedZoom, QStringLiteral("Zoom.Animated"));
    BindRepainting(UDAniZoomSteps, QStringLiteral("Zoom.AnimatedSteps"));
    BindRepainting(UDMinPix, QStringLiteral("Zoom.MinimumPixels"));
    BindRepainting(CBDir, QStringLiteral("Zoom.Direction"));
    BindRepainting(CBZoomMouse, QStringLiteral("Zoom.MouseButton"));
    BindRepainting(CBUpLeft, QStringLiteral("Zoom.UpLeftZooms"));
    BindRepainting(RGPanning, QStringLiteral("AllowPanning"));
    BindRepainting(CBScrollMouse, QStringLiteral("ScrollMouseButton"));
    BZoomPen->OnClick = [this](TButtonPen*) { AfterUserChange(BZoomPen); };
    connect(BZoomColor, &QPushButton::clicked, this, &TFormPlotGeneral::ZoomPatternClick);
    connect(BPrint, &QPushButton::clicked, this, &TFormPlotGeneral::PrintPreviewClick);
}

void TFormPlotGeneral::SetMarginRanges()
{
    const bool pixels = TheChart() && TheChart()->MarginUnits() == TCustomPlotPanel::muPixels;
    for (QSpinBox* spin : {UDTopMa, UDLeftMa, UDBotMa, UDRightMa}) {
        const QSignalBlocker block(spin);
        spin->setRange(pixels ? -PixelMarginLimit : 0, pixels ? PixelMarginLimit : 100);
    }
}

void TFormPlotGeneral::FillControls()
{
    if (TCustomPlotPanelExtended* chart = TheChart())
        BZoomPen->LinkPen(chart->Zoom()->Pen());
}

void TFormPlotGeneral::UpdateEnabled()
{
    const bool allow = TheChart() && TheChart()->Zoom()->Allow();
    for (QWidget* control : std::initializer_list<QWidget*>{CBAnimatedZoom, UDAniZoomSteps, UDMinPix, BZoomPen,
                                                           BZoomColor, CBDir, CBZoomMouse, CBUpLeft})
        control->setEnabled(allow);
    for (const char* label : {"LSteps", "LMinPix", "LDir", "LZoomMouse"})
        findChild<QWidget*>(QString::fromLatin1(label))->setEnabled(allow);
    const bool scroll = TheChart() && TheChart()->AllowPanning() != TCustomPlotPanelExtended::pmNone;
    CBScrollMouse->setEnabled(scroll);
    findChild<QWidget*>(QStringLiteral("LScrollMouse"))->setEnabled(scroll);
}

void TFormPlotGeneral::showEvent(QShowEvent* Event)
{
    if (Creating())
        PageControl1->setCurrentIndex(0);
    TEditorPage::showEvent(Event);
}

void TFormPlotGeneral::ZoomPatternClick()
{
    if (!CanWrite() || !TheChart())
        return;
    if (EditChartBrush(this, *TheChart()->Zoom()->Brush()))
        TheChart()->Invalidate();
    AfterUserChange(BZoomColor);
}

void TFormPlotGeneral::PrintPreviewClick()
{
    TCustomPlotPanelExtended* chart = TheChart();
    if (!chart)
        return;
    auto preview = std::make_unique<TChartPreview>();
    preview->ExtraPageClass = [](QWidget* Owner) -> TChartPreviewPage* { return new TChartPageNavigatorPage(Owner); };
    preview->TagPanel = chart;
    preview->ShowModal();
    preview.reset();
    chart->Invalidate();
}

} // namespace lp
