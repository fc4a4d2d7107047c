#include "chart/editors/functions/AverageFunctionEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/engine/PlotFunctions.h"

#include <QtWidgets/QCheckBox>

namespace lp {

TAverageFuncEditor::TAverageFuncEditor(QWidget* Parent) : TPlotFunctionEditor(Parent)
{
    CBNulls = Builder().CheckBox("CBNulls", QStringLiteral("&Include Null values"));
    Builder().Full(CBNulls);
    SetReadingTabOrder(*this);
    connect(CBNulls, &QCheckBox::toggled, this, [this] { Changed(); });
}

void TAverageFuncEditor::LoadSettings()
{
    TPlotFunctionEditor::LoadSettings();
    if (auto* average = qobject_cast<TAveragePlotFunction*>(Function()))
        CBNulls->setChecked(average->IncludeNulls());
}

void TAverageFuncEditor::StoreSettings()
{
    TPlotFunctionEditor::StoreSettings();
    if (auto* average = qobject_cast<TAveragePlotFunction*>(Function()))
        average->SetIncludeNulls(CBNulls->isChecked());
}

} // namespace lp
