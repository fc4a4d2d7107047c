#include "chart/editors/functions/RMSFunctionEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/extensions/stats/PlotStatFunctions.h"

#include <QtWidgets/QCheckBox>

namespace lp {

TRMSFuncEditor::TRMSFuncEditor(QWidget* Parent) : TPlotFunctionEditor(Parent)
{
    CBComplete = Builder().CheckBox("CBComplete", QStringLiteral("C&omplete R.M.S."));
    Builder().Full(CBComplete);
    SetReadingTabOrder(*this);
    connect(CBComplete, &QCheckBox::toggled, this, [this] { Changed(); });
}

void TRMSFuncEditor::LoadSettings()
{
    TPlotFunctionEditor::LoadSettings();
    if (auto* rms = qobject_cast<TRMSFunction*>(Function()))
        CBComplete->setChecked(rms->Complete());
    else if (auto* deviation = qobject_cast<TStdDeviationFunction*>(Function()))
        CBComplete->setChecked(deviation->Complete());
}

void TRMSFuncEditor::StoreSettings()
{
    TPlotFunctionEditor::StoreSettings();
    if (auto* rms = qobject_cast<TRMSFunction*>(Function()))
        rms->SetComplete(CBComplete->isChecked());
    else if (auto* deviation = qobject_cast<TStdDeviationFunction*>(Function()))
        deviation->SetComplete(CBComplete->isChecked());
}

} // namespace lp
