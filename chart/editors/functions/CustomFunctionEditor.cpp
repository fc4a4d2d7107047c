#include "chart/editors/functions/CustomFunctionEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotFunctions.h"
#include "platform/base/Exception.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace lp {

namespace {

int ReadWholeNumber(const QString& Text)
{
    bool ok = false;
    const int value = Text.trimmed().toInt(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(Text).toStdString());
    return value;
}

} // namespace

TCustomFunctionEditor::TCustomFunctionEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder build(*this);
    EStart = NumberEdit("EStart", QStringLiteral("0"));
    build.Row(QStringLiteral("&Start X:"), EStart, "Label1");
    EStep = NumberEdit("EStep", QStringLiteral("1"));
    build.Row(QStringLiteral("S&tep:"), EStep, "Label2");
    ENum = NumberEdit("ENum", QStringLiteral("100"));
    build.Row(QStringLiteral("&Num. points:"), ENum, "Label3");
    build.Stretch();
    SetReadingTabOrder(*this);
    for (QLineEdit* each : {EStart, EStep, ENum})
        connect(each, &QLineEdit::textEdited, this, [this] { Changed(); });
}

void TCustomFunctionEditor::LoadSettings()
{
    auto* custom = qobject_cast<TCustomPlotFunction*>(Function());
    if (!custom)
        return;
    EStart->setText(NumberText(custom->StartX()));
    EStep->setText(NumberText(custom->Period()));
    ENum->setText(QString::number(custom->NumPoints()));
}

void TCustomFunctionEditor::CheckSettings() const
{
    ReadNumber(EStart->text());
    // The function refuses a negative step; refused here, before the start
    // is stored.
    if (ReadNumber(EStep->text()) < 0)
        throw ChartException(PlotMsg_FunctionPeriod);
    TCustomPlotFunction::CheckNumPoints(ReadWholeNumber(ENum->text()));
}

void TCustomFunctionEditor::StoreSettings()
{
    auto* custom = qobject_cast<TCustomPlotFunction*>(Function());
    if (!custom)
        return;
    CheckSettings();
    custom->SetStartX(ReadNumber(EStart->text()));
    custom->SetPeriod(ReadNumber(EStep->text()));
    custom->SetNumPoints(ReadWholeNumber(ENum->text()));
}

} // namespace lp
