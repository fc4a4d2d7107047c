#include "chart/editors/functions/OscillatorFunctionEditors.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/extensions/financial/PlotOscillators.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int OscillatorPeriodLimit = 10000;

} // namespace

TCCIFuncEditor::TCCIFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    EConst = NumberEdit("EConst");
    // The constant the function starts with.
    EConst->setText(QStringLiteral("0.015"));
    build.Row(QStringLiteral("&Constant:"), EConst, "Label1");
    UDPeriod = build.SpinBox("UDPeriod", 1, OscillatorPeriodLimit);
    UDPeriod->setValue(20);
    build.Row(QStringLiteral("&Period:"), UDPeriod, "Label2");
    build.Stretch();
    SetReadingTabOrder(*this);
    connect(EConst, &QLineEdit::textEdited, this, [this] { Changed(); });
    connect(UDPeriod, &QSpinBox::valueChanged, this, [this] { Changed(); });
}

void TCCIFuncEditor::LoadSettings()
{
    auto* cci = qobject_cast<TCCIFunction*>(Function());
    if (!cci)
        return;
    EConst->setText(NumberText(cci->Constant()));
    UDPeriod->setValue(RoundedForUpDown(cci->Period()));
}

void TCCIFuncEditor::StoreSettings()
{
    auto* cci = qobject_cast<TCCIFunction*>(Function());
    if (!cci)
        return;
    cci->SetConstant(ReadNumberOr(EConst->text(), cci->Constant()));
    cci->SetPeriod(UDPeriod->value());
}

TPVOFuncEditor::TPVOFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    UDPeriod = build.SpinBox("UDPeriod", 1, OscillatorPeriodLimit);
    UDPeriod->setValue(12);
    build.Row(QStringLiteral("&Period 1:"), UDPeriod, "Label1");
    UDPeriod2 = build.SpinBox("UDPeriod2", 1, OscillatorPeriodLimit);
    UDPeriod2->setValue(26);
    build.Row(QStringLiteral("P&eriod 2:"), UDPeriod2, "Label2");
    CBPercent = build.CheckBox("CBPercent", QStringLiteral("Pe&rcentage"));
    CBPercent->setChecked(true);
    build.Full(CBPercent);
    build.Stretch();
    SetReadingTabOrder(*this);
    for (QSpinBox* spin : {UDPeriod, UDPeriod2})
        connect(spin, &QSpinBox::valueChanged, this, [this] { Changed(); });
    connect(CBPercent, &QCheckBox::toggled, this, [this] { Changed(); });
}

void TPVOFuncEditor::LoadSettings()
{
    auto* pvo = qobject_cast<TPVOFunction*>(Function());
    if (!pvo)
        return;
    UDPeriod->setValue(RoundedForUpDown(pvo->Period()));
    UDPeriod2->setValue(pvo->Period2());
    CBPercent->setChecked(pvo->Percentage());
}

void TPVOFuncEditor::StoreSettings()
{
    auto* pvo = qobject_cast<TPVOFunction*>(Function());
    if (!pvo)
        return;
    pvo->SetPeriod(UDPeriod->value());
    pvo->SetPeriod2(UDPeriod2->value());
    pvo->SetPercentage(CBPercent->isChecked());
}

} // namespace lp
