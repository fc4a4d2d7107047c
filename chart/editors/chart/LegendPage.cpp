#include "chart/editors/chart/LegendPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/chart/TitlesPage.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/effects/SymbolEditor.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

constexpr int MarginLimit = 1000;
constexpr int CustomMin = -100;
constexpr int CustomMax = 1000;

// A getter that reads nothing without a legend.
template <class TRead>
TPropertyBinder::TGetter LegendGetter(const TFormPlotLegend* Page, TRead Read)
{
    return [Page, Read]() -> QVariant {
        const TChartLegend* legend = Page->Legend();
        return legend ? QVariant(Read(*legend)) : QVariant();
    };
}

} // namespace

TFormPlotLegend::TFormPlotLegend(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Legend"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl1 = TPageBuilder::WideTabs(this, "PageControl1");
    PageControl1->addTab(BuildStyleTab(), QStringLiteral("Style"));
    PageControl1->addTab(BuildPositionTab(), QStringLiteral("Position"));
    TabSymbol = TPageBuilder::Named(new QWidget(PageControl1), "TabSymbol");
    PageControl1->addTab(TabSymbol, QStringLiteral("Symbols"));
    TabTitle = TPageBuilder::Named(new QWidget(PageControl1), "TabTitle");
    auto* titleLayout = new QVBoxLayout(TabTitle);
    titleLayout->setContentsMargins(4, 4, 4, 4);
    PageControl2 = TPageBuilder::WideTabs(TabTitle, "PageControl2");
    PageControl2->addTab(BuildTitleOptionsTab(), QStringLiteral("Options"));
    titleLayout->addWidget(PageControl2);
    PageControl1->addTab(TabTitle, QStringLiteral("Title"));
    layout->addWidget(PageControl1);

    SymbolEditor = InsertEditorPage<TSymbolEditor>(TabSymbol);
    LegendShapeEditor = InsertShapeEditorTabs(PageControl1, nullptr);
    TitleShapeEditor = InsertShapeEditorTabs(PageControl2, nullptr);
    BindControls();
}

QWidget* TFormPlotLegend::BuildStyleTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabStyle");
    TPageBuilder build(*tab);
    CBShow = build.CheckBox("CBShow", QStringLiteral("&Visible"));
    CBInverted = build.CheckBox("CBInverted", QStringLiteral("&Inverted"));
    CBLegendStyle = TPageBuilder::Combo(tab, "CBLegendStyle",
                          {QStringLiteral("Automatic"), QStringLiteral("Series Names"), QStringLiteral("Series Values"),
                           QStringLiteral("Last Values")});
    CBLegStyle = TPageBuilder::Combo(tab, "CBLegStyle",
                       {QStringLiteral("Plain"), QStringLiteral("Left Value"), QStringLiteral("Right Value"),
                        QStringLiteral("Left Percent"), QStringLiteral("Right Percent"), QStringLiteral("X Value"),
                        QStringLiteral("Value"), QStringLiteral("Percent"), QStringLiteral("X and Value"),
                        QStringLiteral("X and Percent")});
    CBLegStyle->setMaxVisibleItems(11);
    BDivLines = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Dividing Lines..."), tab), "BDivLines");
    UDVertSpacing = build.SpinBox("UDVertSpacing", -10, 100);
    CBFontColor = build.CheckBox("CBFontColor", QStringLiteral("&Font Series Color"));
    CBCheckBoxes = TPageBuilder::Combo(tab, "CBCheckBoxes",
                         {QStringLiteral("No check boxes"), QStringLiteral("Check boxes"), QStringLiteral("Radio buttons")});

    build.Line({CBShow, CBInverted});
    build.Row(QStringLiteral("&Legend Style:"), CBLegendStyle, "Label1");
    build.Row(QStringLiteral("Te&xt Style:"), CBLegStyle, "Label2");
    build.Line({BDivLines});
    build.Row(QStringLiteral("V&ert. Spacing:"), UDVertSpacing, "Label3");
    build.Line({CBFontColor});
    build.Row(QStringLiteral("C&heck boxes:"), CBCheckBoxes, "Label4");
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TFormPlotLegend::BuildPositionTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabPosition");
    TPageBuilder build(*tab);
    auto* position = TPageBuilder::Named(new QGroupBox(QStringLiteral("Position"), tab), "GBPosition");
    RGPosition = TPageBuilder::RadioGroup(this, position, "RGPosition", {"&Left", "&Right", "&Top", "&Bottom"},
                                          Qt::Horizontal);
    CBResizeChart = build.CheckBox("CBResizeChart", QStringLiteral("Resi&ze Chart"));
    UDTopPos = build.SpinBox("UDTopPos", -100, 100);
    UDMargin = build.SpinBox("UDMargin", -MarginLimit, MarginLimit);

    auto* custom = TPageBuilder::Named(new QGroupBox(tab), "GBCustom");
    CBCustPos = TPageBuilder::Named(new QCheckBox(QStringLiteral("&Custom:"), custom), "CBCustPos");
    UDLeft = TPageBuilder::Named(new QSpinBox(custom), "UDLeft");
    UDTop = TPageBuilder::Named(new QSpinBox(custom), "UDTop");
    for (QSpinBox* spin : {UDLeft, UDTop}) {
        spin->setRange(CustomMin, CustomMax);
        spin->setSingleStep(5);
        spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("-1000")) + 36);
    }
    CBPosPercent = TPageBuilder::Named(new QCheckBox(QStringLiteral("Percent"), custom), "CBPosPercent");
    auto* customGrid = new QGridLayout(custom);
    customGrid->addWidget(CBCustPos, 0, 0, 1, 2);
    auto* leftLabel = TPageBuilder::Named(new QLabel(QStringLiteral("L&eft:"), custom), "LLeft");
    leftLabel->setBuddy(UDLeft);
    auto* topLabel = TPageBuilder::Named(new QLabel(QStringLiteral("T&op:"), custom), "LTop");
    topLabel->setBuddy(UDTop);
    customGrid->addWidget(leftLabel, 1, 0, Qt::AlignRight);
    customGrid->addWidget(UDLeft, 1, 1, Qt::AlignLeft);
    customGrid->addWidget(topLabel, 2, 0, Qt::AlignRight);
    customGrid->addWidget(UDTop, 2, 1, Qt::AlignLeft);
    customGrid->addWidget(CBPosPercent, 3, 1);
    customGrid->setColumnStretch(1, 1);

    build.Full(position);
    build.Line({CBResizeChart});
    build.Row(QStringLiteral("&Position Offset %:"), UDTopPos, "LTopPos");
    build.Row(QStringLiteral("&Margin:"), UDMargin, "LMargin");
    build.Full(custom);
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TFormPlotLegend::BuildTitleOptionsTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabTitleOptions");
    TPageBuilder build(*tab);
    MemoText = TPageBuilder::Named(new QPlainTextEdit(tab), "MemoText");
    MemoText->setTabChangesFocus(true);
    CBTextAlign = TPageBuilder::Combo(tab, "CBTextAlign", TitleAlignmentNames());
    CBTitleVisible = build.CheckBox("CBTitleVisible", QStringLiteral("&Visible"));
    build.Line({CBTitleVisible});
    build.Row(QStringLiteral("Text &alignment:"), CBTextAlign, "Label5");
    auto* textLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Text:"), tab), "Label6");
    textLabel->setBuddy(MemoText);
    build.Full(textLabel);
    build.Filling(MemoText);
    build.Grid().setColumnStretch(1, 1);
    SetReadingTabOrder(*tab);
    return tab;
}

void TFormPlotLegend::BindControls()
{
    TPropertyBinder& bind = Binder();
    bind.Bind(CBShow, QStringLiteral("Visible"));
    bind.Bind(CBInverted, QStringLiteral("Inverted"));
    bind.Bind(CBLegendStyle, QStringLiteral("LegendStyle"));
    bind.Bind(CBLegStyle, QStringLiteral("TextStyle"));
    bind.Bind(UDVertSpacing, QStringLiteral("VertSpacing"));
    bind.Bind(CBFontColor, QStringLiteral("FontSeriesColor"));
    // No check boxes keeps the style the legend had.
    bind.Bind(CBCheckBoxes, LegendGetter(this, [](const TChartLegend& L) {
                  return !L.CheckBoxes() ? 0 : L.CheckBoxesStyle() == cbsRadio ? 2 : 1;
              }),
              [this](const QVariant& Value) {
                  const int index = Value.toInt();
                  Legend()->SetCheckBoxes(index > 0);
                  if (index > 0)
                      Legend()->SetCheckBoxesStyle(index == 1 ? cbsCheck : cbsRadio);
              });
    bind.Bind(RGPosition, QStringLiteral("Alignment"));
    bind.Bind(CBResizeChart, QStringLiteral("ResizeChart"));
    bind.Bind(UDTopPos, QStringLiteral("TopPos"));
    // The margin the legend's side uses: refilled after every change, so a
    // new alignment shows the margin it writes.
    bind.Bind(UDMargin, LegendGetter(this, [this](const TChartLegend& L) {
                  return IsVertical() ? L.HorizMargin() : L.VertMargin();
              }),
              [this](const QVariant& Value) {
                  if (IsVertical())
                      Legend()->SetHorizMargin(Value.toInt());
                  else
                      Legend()->SetVertMargin(Value.toInt());
              });
    bind.Bind(CBCustPos, QStringLiteral("CustomPosition"));
    // Placed freely by the user, the legend takes no room from the chart.
    connect(CBCustPos, &QCheckBox::toggled, this, [this](bool Checked) {
        if (!CanWrite() || !Legend() || !Checked || !Legend()->ResizeChart())
            return;
        Legend()->SetResizeChart(false);
        AfterUserChange(CBCustPos);
    });
    const auto percent = [this] { return Legend()->PositionUnits() == TCustomPlotPanel::muPercent; };
    bind.Bind(UDLeft, LegendGetter(this, [percent](const TChartLegend& L) { return percent() ? L.LeftPercent() : L.Left(); }),
              [this, percent](const QVariant& Value) {
                  if (!Legend()->CustomPosition())
                      return;
                  if (percent())
                      Legend()->SetLeftPercent(Value.toInt());
                  else
                      Legend()->SetLeft(Value.toInt());
              });
    bind.Bind(UDTop, LegendGetter(this, [percent](const TChartLegend& L) { return percent() ? L.TopPercent() : L.Top(); }),
              [this, percent](const QVariant& Value) {
                  if (!Legend()->CustomPosition())
                      return;
                  if (percent())
                      Legend()->SetTopPercent(Value.toInt());
                  else
                      Legend()->SetTop(Value.toInt());
              });
    bind.Bind(CBPosPercent, LegendGetter(this, [](const TChartLegend& L) {
                  return L.PositionUnits() == TCustomPlotPanel::muPercent;
              }),
              [this](const QVariant& Value) {
                  Legend()->SetPositionUnits(Value.toBool() ? TCustomPlotPanel::muPercent : TCustomPlotPanel::muPixels);
              });
    bind.Bind(CBTextAlign, LegendGetter(this, [](const TChartLegend& L) {
                  return TitleAlignmentIndex(L.Title()->TextAlignment());
              }),
              [this](const QVariant& Value) { Legend()->Title()->SetTextAlignment(TitleAlignmentAt(Value.toInt())); });
    bind.Bind(CBTitleVisible, QStringLiteral("Title.Visible"));
    BDivLines->OnClick = [this](TButtonPen*) { AfterUserChange(BDivLines); };
    connect(MemoText, &QPlainTextEdit::textChanged, this, &TFormPlotLegend::MemoTextChange);
}

TChartLegend* TFormPlotLegend::Legend() const
{
    return TargetAs<TChartLegend>();
}

bool TFormPlotLegend::IsVertical() const
{
    const TChartLegend* legend = Legend();
    return legend && (legend->Alignment() == TCustomChartLegend::laLeft || legend->Alignment() == TCustomChartLegend::laRight);
}

std::unique_ptr<TFormPlotLegend> TFormPlotLegend::CreateForLegend(QWidget* Owner, TChartLegend* Legend)
{
    auto form = CreateDialogForm<TFormPlotLegend>(Owner);
    form->setWindowTitle(QStringLiteral("Legend options"));
    form->SetTarget(Legend);
    AddDialogCloseButton(*form);
    PlaceDialogForm(*form, Owner ? Owner->window() : nullptr);
    return form;
}

void TFormPlotLegend::FillControls()
{
    TChartLegend* legend = Legend();
    if (!legend)
        return;
    BDivLines->LinkPen(legend->DividingLines());
    RefreshSymbolEditor(SymbolEditor, legend->Symbol());
    LegendShapeEditor->SetTarget(legend);
    TitleShapeEditor->SetTarget(legend->Title());
    // The memo the user is typing in keeps its text and cursor.
    const QString text = TitleLines(*legend->Title()->Text());
    if (!FWritingText && MemoText->toPlainText() != text)
        MemoText->setPlainText(text);
}

void TFormPlotLegend::UpdateEnabled()
{
    const bool custom = Legend() && Legend()->CustomPosition();
    for (QWidget* control : std::initializer_list<QWidget*>{UDLeft, UDTop, CBPosPercent,
                                                           findChild<QWidget*>(QStringLiteral("LLeft")),
                                                           findChild<QWidget*>(QStringLiteral("LTop"))})
        control->setEnabled(custom);
    for (QWidget* control : std::initializer_list<QWidget*>{CBResizeChart, UDMargin, UDTopPos,
                                                           findChild<QWidget*>(QStringLiteral("LMargin")),
                                                           findChild<QWidget*>(QStringLiteral("LTopPos"))})
        control->setEnabled(!custom);
}

void TFormPlotLegend::showEvent(QShowEvent* Event)
{
    if (Creating())
        PageControl1->setCurrentIndex(0);
    TEditorPage::showEvent(Event);
}

void TFormPlotLegend::MemoTextChange()
{
    if (!CanWrite() || !Legend())
        return;
    FWritingText = true;
    SetTitleLines(*Legend()->Title()->Text(), MemoText->toPlainText());
    AfterUserChange(MemoText);
    FWritingText = false;
}

void ShowLegendOptions(TCustomChart* Chart, TChartLegend* Legend)
{
    if (!Chart || !Legend)
        return;
    auto form = TFormPlotLegend::CreateForLegend(Chart->Widget(), Legend);
    form->exec();
}

} // namespace lp
