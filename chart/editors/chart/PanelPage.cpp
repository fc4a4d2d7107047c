#include "chart/editors/chart/PanelPage.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPanelExtended.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/editors/effects/ShadowEditor.h"
#include "platform/base/Exception.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"

#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

const QString BrowseCaption = QStringLiteral("B&rowse...");
const QString ClearCaption = QStringLiteral("Clea&r");

QComboBox* BevelCombo(QWidget* Parent, const char* Name)
{
    auto* combo = TPageBuilder::Named(new QComboBox(Parent), Name);
    combo->addItems({QStringLiteral("None"), QStringLiteral("Lowered"), QStringLiteral("Raised")});
    return combo;
}

} // namespace

TFormPlotPanel::TFormPlotPanel(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Panel Editor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    PageControl1 = TPageBuilder::WideTabs(this, "PageControl1");
    PageControl1->addTab(BuildBackgroundTab(), QStringLiteral("Background"));
    PageControl1->addTab(BuildBordersTab(), QStringLiteral("Borders"));
    auto* tabGradient = TPageBuilder::Named(new QWidget(PageControl1), "TabGradient");
    PageControl1->addTab(tabGradient, QStringLiteral("Gradient"));
    auto* tabShadow = TPageBuilder::Named(new QWidget(PageControl1), "TabShadow");
    PageControl1->addTab(tabShadow, QStringLiteral("Shadow"));
    layout->addWidget(PageControl1);
    GradientEditor = InsertGradientEditor(tabGradient, nullptr);
    ShadowEditor = InsertShadowEditor(tabShadow);
    BindControls();
}

QWidget* TFormPlotPanel::BuildBackgroundTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabBack");
    TPageBuilder build(*tab);
    BPanelColor = build.ColorButton("BPanelColor", QStringLiteral("&Color..."));
    CBColorDef = build.CheckBox("CBColorDef", QStringLiteral("&Default"));
    build.Line({BPanelColor, CBColorDef});

    auto* image = TPageBuilder::Named(new QGroupBox(QStringLiteral("Back Image:"), tab), "GBImage");
    auto* imageGrid = new QGridLayout(image);
    BBrowseImage = TPageBuilder::Named(new QPushButton(BrowseCaption, image), "BBrowseImage");
    BBrowseImage->setMinimumWidth(BBrowseImage->fontMetrics().horizontalAdvance(BrowseCaption) + 40);
    CBImageInside = TPageBuilder::Named(new QCheckBox(QStringLiteral("I&nside"), image), "CBImageInside");
    CBTransp = TPageBuilder::Named(new QCheckBox(QStringLiteral("&Transparent"), image), "CBTransp");
    auto* style = TPageBuilder::Named(new QGroupBox(QStringLiteral("St&yle"), image), "GBStyle");
    RGBitmap = TPageBuilder::RadioGroup(this, style, "RGBitmap", {"Stretch", "Tile", "Center", "C&ustom"}, Qt::Vertical);
    UDLeft = TPageBuilder::Named(new QSpinBox(image), "UDLeft");
    UDTop = TPageBuilder::Named(new QSpinBox(image), "UDTop");
    for (QSpinBox* spin : {UDLeft, UDTop}) {
        spin->setRange(0, 100);
        spin->setMinimumWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 36);
    }
    auto* leftLabel = TPageBuilder::Named(new QLabel(QStringLiteral("&Left:"), image), "LLeft");
    leftLabel->setBuddy(UDLeft);
    auto* topLabel = TPageBuilder::Named(new QLabel(QStringLiteral("T&op:"), image), "LTop");
    topLabel->setBuddy(UDTop);
    imageGrid->addWidget(BBrowseImage, 0, 0, 1, 2, Qt::AlignLeft);
    imageGrid->addWidget(CBImageInside, 1, 0, 1, 2);
    imageGrid->addWidget(CBTransp, 2, 0, 1, 2);
    imageGrid->addWidget(style, 0, 2, 4, 1);
    imageGrid->addWidget(leftLabel, 4, 0, Qt::AlignRight);
    imageGrid->addWidget(UDLeft, 4, 1, Qt::AlignLeft);
    imageGrid->addWidget(topLabel, 5, 0, Qt::AlignRight);
    imageGrid->addWidget(UDTop, 5, 1, Qt::AlignLeft);
    build.Full(image);
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

QWidget* TFormPlotPanel::BuildBordersTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(this), "TabBorders");
    TPageBuilder build(*tab);
    UDPanelBor = build.SpinBox("UDPanelBor", 0, 100);
    UDPanelWi = build.SpinBox("UDPanelWi", 1, 100);
    UDRound = build.SpinBox("UDRound", 0, 10000);
    CBInner = BevelCombo(tab, "CBInner");
    CBOuter = BevelCombo(tab, "CBOuter");
    BBorder = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), tab), "BBorder");
    build.Row(QStringLiteral("Bevel &inner:"), CBInner, "Label1");
    build.Row(QStringLiteral("Bevel &outer:"), CBOuter, "Label2");
    build.Row(QStringLiteral("Widt&h:"), UDPanelWi, "Label3");
    build.Row(QStringLiteral("&Separation:"), UDPanelBor, "Label4");
    build.Row(QStringLiteral("&Round border:"), UDRound, "Label5");
    build.Line({BBorder});
    build.Stretch();
    SetReadingTabOrder(*tab);
    return tab;
}

void TFormPlotPanel::BindControls()
{
    TPropertyBinder& bind = Binder();
    bind.Bind(BPanelColor, QStringLiteral("Color"));
    bind.Bind(RGBitmap, QStringLiteral("BackImageMode"));
    bind.Bind(CBImageInside, QStringLiteral("BackImageInside"));
    bind.Bind(
        CBTransp,
        [this]() -> QVariant { return Panel() ? QVariant(HasPicture() && Panel()->BackImageTransp()) : QVariant(); },
        [this](const QVariant& Value) {
            if (HasPicture())
                Panel()->SetBackImageTransp(Value.toBool());
        });
    bind.Bind(UDLeft, QStringLiteral("BackImage.Left"));
    bind.Bind(UDTop, QStringLiteral("BackImage.Top"));
    bind.Bind(UDPanelBor, QStringLiteral("BorderWidth"));
    bind.Bind(UDPanelWi, QStringLiteral("BevelWidth"));
    bind.Bind(UDRound, QStringLiteral("BorderRound"));
    bind.Bind(CBInner, QStringLiteral("BevelInner"));
    bind.Bind(CBOuter, QStringLiteral("BevelOuter"));
    BBorder->OnClick = [this](TButtonPen*) { AfterUserChange(BBorder); };
    connect(BBrowseImage, &QPushButton::clicked, this, &TFormPlotPanel::BrowseImageClick);
    connect(CBColorDef, &QCheckBox::clicked, this, &TFormPlotPanel::ColorDefClick);
}

TCustomPlotPanelExtended* TFormPlotPanel::Panel() const
{
    return TargetAs<TCustomPlotPanelExtended>();
}

bool TFormPlotPanel::HasPicture() const
{
    return Panel() && Panel()->BackImage()->Graphic();
}

void TFormPlotPanel::FillControls()
{
    TCustomPlotPanelExtended* panel = Panel();
    if (!panel)
        return;
    BBorder->LinkPen(panel->Border());
    GradientEditor->BindGradient(panel->Gradient());
    RefreshShadowEditor(ShadowEditor, panel->Shadow());
    BBrowseImage->setText(HasPicture() ? ClearCaption : BrowseCaption);
    CBColorDef->setChecked(panel->Color() == clBtnFace);
}

void TFormPlotPanel::UpdateEnabled()
{
    const bool picture = HasPicture();
    for (QAbstractButton* button : RGBitmap->buttons())
        button->setEnabled(picture);
    findChild<QWidget*>(QStringLiteral("GBStyle"))->setEnabled(picture);
    CBImageInside->setEnabled(picture);
    CBTransp->setEnabled(picture);
    const bool custom = Panel() && Panel()->BackImageMode() == TBackImage::pbmCustom;
    for (QWidget* control : std::initializer_list<QWidget*>{UDLeft, UDTop, findChild<QWidget*>(QStringLiteral("LLeft")),
                                                           findChild<QWidget*>(QStringLiteral("LTop"))})
        control->setEnabled(custom);
}

void TFormPlotPanel::showEvent(QShowEvent* Event)
{
    if (Creating())
        PageControl1->setCurrentIndex(0);
    TEditorPage::showEvent(Event);
}

// Ticking or unticking sets the button-face colour, so the box always ends
// ticked; "&Color..." stays usable, and choosing a colour there unticks it.
void TFormPlotPanel::ColorDefClick()
{
    if (!CanWrite() || !Panel())
        return;
    Panel()->SetColor(clBtnFace);
    Refresh();
}

void TFormPlotPanel::BrowseImageClick()
{
    if (!CanWrite() || !Panel())
        return;
    try {
        LoadOrClearPicture(this, *Panel()->BackImage());
    } catch (const Exception& Error) {
        // A file that is no picture: the message, and the back image as it was.
        ShowMessage(QString::fromStdString(Error.Message()));
    }
    Panel()->Invalidate();
    AfterUserChange(BBrowseImage);
}

} // namespace lp
