#include "chart/editors/functions/ADXFunctionEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/canvas/PlotPens.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/extensions/financial/PlotPriceFunctions.h"

#include <QtWidgets/QSpinBox>

namespace lp {

TADXFuncEditor::TADXFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    UDPeriod = build.SpinBox("UDPeriod", 2, 32767);
    build.Row(QStringLiteral("&Period:"), UDPeriod, "Label1");
    BUp = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Up..."), this), "BUp");
    BDown = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Down..."), this), "BDown");
    build.Line({BUp, BDown});
    build.Stretch();
    SetReadingTabOrder(*this);
    connect(UDPeriod, &QSpinBox::valueChanged, this, [this] { Changed(); });
}

void TADXFuncEditor::LoadSettings()
{
    auto* adx = qobject_cast<TADXFunction*>(Function());
    if (!adx)
        return;
    UDPeriod->setValue(RoundedForUpDown(adx->Period()));
    LinkPenButton(BUp, adx->UpLinePen());
    LinkPenButton(BDown, adx->DownLinePen());
}

void TADXFuncEditor::StoreSettings()
{
    if (auto* adx = qobject_cast<TADXFunction*>(Function()))
        adx->SetPeriod(UDPeriod->value());
}

} // namespace lp
