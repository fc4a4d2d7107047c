#include "chart/editors/seriestypes/BarSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/seriestypes/StackBarSeriesEditor.h"
#include "chart/engine/PlotBarSeries.h"

#include <QtGui/QShowEvent>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

// The up-downs of the bar sizes move by five percent.
constexpr int BarPercentStep = 5;
constexpr int BevelSizeLimit = 100;

} // namespace

TBarSeriesEditor::TBarSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    PageControl1 = TPageBuilder::TabControl(*this, "PageControl1");
    TabSheet1 = TPageBuilder::AddTab(PageControl1, "TabSheet1", QStringLiteral("Format"));
    TabSize = TPageBuilder::AddTab(PageControl1, "TabSize", QStringLiteral("Size"));

    TPageBuilder format(*TabSheet1);
    CBBarStyle = TPageBuilder::Named(new QComboBox(TabSheet1), "CBBarStyle");
    CBBarStyle->addItems({QStringLiteral("Rectangle"), QStringLiteral("Pyramid"), QStringLiteral("Invert. Pyramid"),
                          QStringLiteral("Cylinder"), QStringLiteral("Ellipse"), QStringLiteral("Arrow"),
                          QStringLiteral("Rect. Gradient"), QStringLiteral("Cone"), QStringLiteral("Bevel"),
                          QStringLiteral("Slant Cube"), QStringLiteral("Diamond"), QStringLiteral("Invert. Arrow"),
                          QStringLiteral("Invert. Cone")});
    CBBarStyle->setMaxVisibleItems(9);
    BBarPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), TabSheet1), "BBarPen");
    BBarBrush = format.Button("BBarBrush", QStringLiteral("&Pattern..."));
    CBColorEach = format.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    BBarColor = format.ColorButton("BBarColor", QStringLiteral("&Color..."));
    BGradient = format.Button("BGradient", QStringLiteral("&Gradient..."));
    BTickLines = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Tick lines..."), TabSheet1), "BTickLines");
    UDBevel = format.SpinBox("UDBevel", 1, BevelSizeLimit);
    CBDarkBar = format.CheckBox("CBDarkBar", QStringLiteral("&Dark Bar 3D Sides"));
    format.Row(QStringLiteral("St&yle:"), CBBarStyle, "LStyle");
    format.Line({BBarPen, BBarBrush, BGradient});
    format.Line({CBColorEach, BBarColor});
    format.Line({BTickLines});
    LBevel = format.Row(QStringLiteral("Be&vel size:"), UDBevel, "LBevel");
    format.Full(CBDarkBar);
    format.Stretch();

    TPageBuilder size(*TabSize);
    UDBarWidth = size.SpinBox("UDBarWidth", 1, 100);
    UDBarOffset = size.SpinBox("UDBarOffset", -100, 100);
    UDDepth = size.SpinBox("UDDepth", 1, 100);
    for (QSpinBox* spin : {UDBarWidth, UDBarOffset, UDDepth})
        spin->setSingleStep(BarPercentStep);
    CBBarSideMargins = size.CheckBox("CBBarSideMargins", QStringLiteral("Bar S&ide Margins"));
    CBMarksAutoPosition = size.CheckBox("CBMarksAutoPosition", QStringLiteral("&Auto Mark Position"));
    size.Row(QStringLiteral("% Bar &Width:"), UDBarWidth, "LBarWidth");
    size.Row(QStringLiteral("% Bar O&ffset:"), UDBarOffset, "LBarOffset");
    size.Row(QStringLiteral("% Bar &Depth:"), UDDepth, "LDepth");
    size.Full(CBBarSideMargins);
    size.Full(CBMarksAutoPosition);
    size.Stretch();
    PageControl1->setCurrentWidget(TabSheet1);
    SetReadingTabOrder(*this);

    Binder().Bind(CBBarStyle, QStringLiteral("BarStyle"));
    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
    Binder().Bind(BBarColor, QStringLiteral("SeriesColor"));
    Binder().Bind(UDBevel, QStringLiteral("BevelSize"));
    Binder().Bind(CBDarkBar, QStringLiteral("Dark3D"));
    Binder().Bind(UDBarWidth, QStringLiteral("BarWidthPercent"));
    Binder().Bind(UDBarOffset, QStringLiteral("OffsetPercent"));
    Binder().Bind(UDDepth, QStringLiteral("DepthPercent"));
    Binder().Bind(CBBarSideMargins, QStringLiteral("SideMargins"));
    Binder().Bind(CBMarksAutoPosition, QStringLiteral("AutoMarkPosition"));
    BBarPen->OnClick = [this](TButtonPen*) { AfterUserChange(BBarPen); };
    BTickLines->OnClick = [this](TButtonPen*) { AfterUserChange(BTickLines); };
    connect(BBarBrush, &QPushButton::clicked, this, &TBarSeriesEditor::BrushClick);
    connect(BGradient, &QPushButton::clicked, this, &TBarSeriesEditor::GradientClick);
}

TCustomBarSeries* TBarSeriesEditor::Series() const
{
    return TargetAs<TCustomBarSeries>();
}

void TBarSeriesEditor::FillControls()
{
    TCustomBarSeries* series = Series();
    if (!series)
        return;
    BBarPen->LinkPen(series->BarPen());
    BTickLines->LinkPen(series->TickLines());
    TTabAddingSeriesPage::FillControls();
}

void TBarSeriesEditor::UpdateEnabled()
{
    TCustomBarSeries* series = Series();
    const int style = series ? series->BarStyle() : -1;
    BGradient->setEnabled(
        (style == TCustomBarSeries::bsRectangle || style == TCustomBarSeries::bsRectGradient) &&
        static_cast<bool>(EditGradientEntryPoint()));
    const bool bevel = style == TCustomBarSeries::bsBevel;
    LBevel->setEnabled(bevel);
    UDBevel->setEnabled(bevel);
    BBarColor->setEnabled(series && !series->ColorEachPoint());
    BBarColor->update();
}

void TBarSeriesEditor::AddTabs()
{
    if (Series())
        StackEditor = AddSeriesEditorTab(
            this, [](QWidget* Parent) -> TEditorPage* { return new TStackBarSeriesEditor(Parent); }, Series(),
            PlotMsg_StyleStack, 1);
}

void TBarSeriesEditor::BrushClick()
{
    if (CanWrite() && Series() && EditChartBrush(this, *Series()->BarBrush()))
        AfterUserChange(BBarBrush);
}

void TBarSeriesEditor::GradientClick()
{
    TCustomBarSeries* series = Series();
    if (!CanWrite() || !series)
        return;
    // The gradient shows only in the gradient style: choosing to edit it
    // chooses that style first.
    series->SetBarStyle(TCustomBarSeries::bsRectGradient);
    // Every control shows it, the style box among them.
    AfterUserChange(BGradient);
    // The editor works on a copy, so Cancel leaves the bars' gradient (and
    // its per-bar options) as it was.
    TPlotGradient copy;
    copy.Assign(series->Gradient());
    if (EditGradient(this, copy)) {
        series->Gradient()->Assign(&copy);
        series->Repaint();
        AfterUserChange(BGradient);
    }
}

} // namespace lp
