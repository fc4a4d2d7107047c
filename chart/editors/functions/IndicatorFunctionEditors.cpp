#include "chart/editors/functions/IndicatorFunctionEditors.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/canvas/PlotPens.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/extensions/stats/PlotIndicatorFunctions.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int IndicatorPeriodLimit = 30000;

} // namespace

TMACDFuncEditor::TMACDFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    UDPeriod1 = build.SpinBox("UDPeriod1", 0, IndicatorPeriodLimit);
    build.Row(QStringLiteral("Period &1:"), UDPeriod1, "Label1");
    UDPeriod2 = build.SpinBox("UDPeriod2", 0, IndicatorPeriodLimit);
    build.Row(QStringLiteral("Period &2:"), UDPeriod2, "Label2");
    UDPeriod3 = build.SpinBox("UDPeriod3", 0, IndicatorPeriodLimit);
    build.Row(QStringLiteral("Period &3:"), UDPeriod3, "Label3");
    BHistogram = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Histogram..."), this), "BHistogram");
    BMACDExp = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Exp. Line..."), this), "BMACDExp");
    BMACD = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&MACD..."), this), "BMACD");
    build.Line({BHistogram, BMACDExp, BMACD});
    build.Stretch();
    SetReadingTabOrder(*this);
    for (QSpinBox* spin : {UDPeriod1, UDPeriod2, UDPeriod3})
        connect(spin, &QSpinBox::valueChanged, this, [this] { Changed(); });
}

void TMACDFuncEditor::LoadSettings()
{
    auto* macd = qobject_cast<TMACDFunction*>(Function());
    if (!macd)
        return;
    UDPeriod1->setValue(RoundedForUpDown(macd->Period()));
    UDPeriod2->setValue(RoundedForUpDown(macd->Period2()));
    UDPeriod3->setValue(macd->Period3());
    LinkPenButton(BHistogram, macd->HistogramPen());
    LinkPenButton(BMACDExp, macd->MACDExpPen());
    LinkPenButton(BMACD, macd->MACDPen());
}

void TMACDFuncEditor::StoreSettings()
{
    auto* macd = qobject_cast<TMACDFunction*>(Function());
    if (!macd)
        return;
    macd->SetPeriod(UDPeriod1->value());
    macd->SetPeriod2(UDPeriod2->value());
    macd->SetPeriod3(UDPeriod3->value());
}

TBollingerFuncEditor::TBollingerFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    UpDown1 = build.SpinBox("UpDown1", 0, IndicatorPeriodLimit);
    build.Row(QStringLiteral("&Period:"), UpDown1, "Label1");
    CheckBox1 = build.CheckBox("CheckBox1", QStringLiteral("&Exponential"));
    build.Full(CheckBox1);
    Edit1 = NumberEdit("Edit1");
    build.Row(QStringLiteral("&Deviation:"), Edit1, "Label2");
    ButtonPen1 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Upper..."), this), "ButtonPen1");
    ButtonPen2 = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Lower..."), this), "ButtonPen2");
    build.Line({ButtonPen1, ButtonPen2});
    build.Stretch();
    SetReadingTabOrder(*this);
    connect(UpDown1, &QSpinBox::valueChanged, this, [this] { Changed(); });
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { Changed(); });
    connect(Edit1, &QLineEdit::textEdited, this, [this] { Changed(); });
}

void TBollingerFuncEditor::LoadSettings()
{
    auto* bollinger = qobject_cast<TBollingerFunction*>(Function());
    if (!bollinger)
        return;
    UpDown1->setValue(RoundedForUpDown(bollinger->Period()));
    CheckBox1->setChecked(bollinger->Exponential());
    Edit1->setText(NumberText(bollinger->Deviation()));
    LinkPenButton(ButtonPen1, bollinger->UpperBandPen());
    LinkPenButton(ButtonPen2, bollinger->LowBandPen());
}

void TBollingerFuncEditor::StoreSettings()
{
    auto* bollinger = qobject_cast<TBollingerFunction*>(Function());
    if (!bollinger)
        return;
    bollinger->SetPeriod(UpDown1->value());
    bollinger->SetExponential(CheckBox1->isChecked());
    bollinger->SetDeviation(ReadNumberOr(Edit1->text(), bollinger->Deviation()));
}

} // namespace lp
