#include "chart/editors/seriestypes/CandleEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/GradientEditor.h"
#include "chart/extensions/financial/PlotCandleSeries.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QButtonGroup>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

constexpr int CandleWidthLimit = 1000;

} // namespace

TCandleEditor::TCandleEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    PageControl1 = TPageBuilder::TabControl(*this, "PageControl1");
    QWidget* options = TPageBuilder::AddTab(PageControl1, "TabOptions", QStringLiteral("Options"));
    QWidget* colors = TPageBuilder::AddTab(PageControl1, "TabColors", QStringLiteral("Colors"));

    TPageBuilder build(*options);
    GBStyle = TPageBuilder::Named(new QGroupBox(QStringLiteral("Style:"), options), "GBStyle");
    RGStyle = TPageBuilder::RadioGroup(this, GBStyle, "RGStyle", {"&Stick", "&Bar", "Ope&n Close", "&Line"},
                                       Qt::Vertical);
    UDWidth = build.SpinBox("UDWidth", 1, CandleWidthLimit);
    CBShowOpen = build.CheckBox("CBShowOpen", QStringLiteral("Show &Open"));
    CBShowClose = build.CheckBox("CBShowClose", QStringLiteral("Show &Close"));
    CBDraw3D = build.CheckBox("CBDraw3D", QStringLiteral("Draw &3D"));
    CBDark3D = build.CheckBox("CBDark3D", QStringLiteral("Dar&k 3D"));
    Button1 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("Bo&rder..."), options), "Button1");
    BHighLow = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&High-Low..."), options), "BHighLow");
    build.Full(GBStyle);
    LWidth = build.Row(QStringLiteral("Candle &Width:"), UDWidth, "LWidth");
    build.Line({CBShowOpen, CBShowClose});
    build.Line({CBDraw3D, CBDark3D});
    build.Line({Button1, BHighLow});
    build.Stretch();

    TPageBuilder colours(*colors);
    BUpColor = colours.ColorButton("BUpColor", QStringLiteral("&Up Close..."));
    BUpGradient = TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("&Gradient..."), colors), "BUpGradient");
    BDownColor = colours.ColorButton("BDownColor", QStringLiteral("&Down Close..."));
    BDownGradient =
        TPageBuilder::SymbolButton(new TButtonGradient(QStringLiteral("G&radient..."), colors), "BDownGradient");
    CBColorStyle = TPageBuilder::Named(new QComboBox(colors), "CBColorStyle");
    CBColorStyle->addItems({QStringLiteral("Relative to Open"), QStringLiteral("Relative to previous Close")});
    colours.Line({BUpColor, BUpGradient});
    colours.Line({BDownColor, BDownGradient});
    colours.Row(QStringLiteral("&Color style:"), CBColorStyle, "LColorStyle");
    colours.Stretch();
    PageControl1->setCurrentIndex(0);
    SetReadingTabOrder(*this);

    Binder().Bind(RGStyle, QStringLiteral("CandleStyle"));
    Binder().Bind(UDWidth, QStringLiteral("CandleWidth"));
    Binder().Bind(CBShowOpen, QStringLiteral("ShowOpenTick"));
    Binder().Bind(CBShowClose, QStringLiteral("ShowCloseTick"));
    Binder().Bind(CBDraw3D, QStringLiteral("Draw3D"));
    Binder().Bind(CBDark3D, QStringLiteral("Dark3D"));
    Binder().Bind(BUpColor, QStringLiteral("UpCloseColor"));
    Binder().Bind(BDownColor, QStringLiteral("DownCloseColor"));
    Binder().Bind(CBColorStyle, QStringLiteral("ColorStyle"));
    for (TButtonPen* pen : {Button1, BHighLow})
        pen->OnClick = [this](TButtonPen* Sender) { AfterUserChange(Sender); };
    for (TButtonGradient* gradient : {BUpGradient, BDownGradient})
        gradient->OnClick = [this](TButtonGradient* Sender) { AfterUserChange(Sender); };
}

TCandleSeries* TCandleEditor::Series() const
{
    return TargetAs<TCandleSeries>();
}

void TCandleEditor::FillControls()
{
    TCandleSeries* series = Series();
    if (!series)
        return;
    Button1->LinkPen(series->CandlePen());
    BHighLow->LinkPen(series->HighLowPen());
    BUpGradient->LinkGradient(series->UpCloseGradient());
    BDownGradient->LinkGradient(series->DownCloseGradient());
}

void TCandleEditor::UpdateEnabled()
{
    TCandleSeries* series = Series();
    const int style = series ? series->CandleStyle() : -1;
    const bool ticks = style == TCandleSeries::csCandleBar;
    CBShowOpen->setEnabled(ticks);
    CBShowClose->setEnabled(ticks);
    const bool threeD = style == TCandleSeries::csCandleStick || style == TCandleSeries::csOpenClose;
    CBDraw3D->setEnabled(threeD);
    CBDark3D->setEnabled(threeD);
    const bool width = series && style != TCandleSeries::csLine;
    LWidth->setEnabled(width);
    UDWidth->setEnabled(width);
    const bool gradients = static_cast<bool>(EditGradientEntryPoint());
    BUpGradient->setEnabled(gradients);
    BDownGradient->setEnabled(gradients);
}

} // namespace lp
