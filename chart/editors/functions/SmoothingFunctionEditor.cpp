#include "chart/editors/functions/SmoothingFunctionEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/extensions/functions/PlotSmoothing.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QSpinBox>

namespace lp {

TSmoothFuncEditor::TSmoothFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    CBInterp = build.CheckBox("CBInterp", QStringLiteral("&Interpolate"));
    build.Full(CBInterp);
    UpDown1 = build.SpinBox("UpDown1", 1, 1000);
    build.Row(QStringLiteral("&Factor:"), UpDown1, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);
    connect(CBInterp, &QCheckBox::toggled, this, [this] { Changed(); });
    connect(UpDown1, &QSpinBox::valueChanged, this, [this] { Changed(); });
}

void TSmoothFuncEditor::LoadSettings()
{
    auto* smoothing = qobject_cast<TSmoothingFunction*>(Function());
    if (!smoothing)
        return;
    CBInterp->setChecked(smoothing->Interpolate());
    UpDown1->setValue(smoothing->Factor());
}

void TSmoothFuncEditor::StoreSettings()
{
    auto* smoothing = qobject_cast<TSmoothingFunction*>(Function());
    if (!smoothing)
        return;
    smoothing->SetInterpolate(CBInterp->isChecked());
    smoothing->SetFactor(UpDown1->value());
}

} // namespace lp
