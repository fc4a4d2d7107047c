#include "chart/editors/functions/MovingAverageFunctionEditors.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/extensions/stats/PlotStatFunctions.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

namespace lp {

TMovAveFuncEditor::TMovAveFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    UpDown1 = build.SpinBox("UpDown1", 1, 32767);
    build.Row(QStringLiteral("&Period:"), UpDown1, "Label1");
    CBStyle = TPageBuilder::Named(new QComboBox(this), "CBStyle");
    CBStyle->addItems({QStringLiteral("Normal"), QStringLiteral("Weighted"), QStringLiteral("Weighted by Index")});
    build.Row(QStringLiteral("&Average:"), CBStyle, "Label2");
    build.Stretch();
    SetReadingTabOrder(*this);
    connect(UpDown1, &QSpinBox::valueChanged, this, [this] { Changed(); });
    connect(CBStyle, &QComboBox::activated, this, [this] { Changed(); });
}

void TMovAveFuncEditor::LoadSettings()
{
    auto* average = qobject_cast<TMovingAverageFunction*>(Function());
    if (!average)
        return;
    UpDown1->setValue(RoundedForUpDown(average->Period()));
    CBStyle->setCurrentIndex(average->Weighted()        ? StyleWeighted
                             : average->WeightedIndex() ? StyleWeightedIndex
                                                        : StyleNormal);
}

void TMovAveFuncEditor::StoreSettings()
{
    auto* average = qobject_cast<TMovingAverageFunction*>(Function());
    if (!average)
        return;
    average->SetPeriod(UpDown1->value());
    average->SetWeighted(CBStyle->currentIndex() == StyleWeighted);
    average->SetWeightedIndex(CBStyle->currentIndex() == StyleWeightedIndex);
}

TExpAveFuncEditor::TExpAveFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    Edit1 = NumberEdit("Edit1", QStringLiteral("0.2"));
    build.Row(QStringLiteral("&Weight:"), Edit1, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);
    connect(Edit1, &QLineEdit::textEdited, this, [this] { Changed(); });
}

void TExpAveFuncEditor::LoadSettings()
{
    if (auto* average = qobject_cast<TExpAverageFunction*>(Function()))
        Edit1->setText(NumberText(average->Weight()));
}

void TExpAveFuncEditor::CheckSettings() const
{
    if (!IsTypedNumber(Edit1->text()))
        return;
    // A function of its own refuses the weight as the edited one would.
    TExpAverageFunction probe;
    probe.SetWeight(ReadNumberOr(Edit1->text(), probe.Weight()));
}

void TExpAveFuncEditor::StoreSettings()
{
    if (auto* average = qobject_cast<TExpAverageFunction*>(Function()))
        average->SetWeight(ReadNumberOr(Edit1->text(), average->Weight()));
}

} // namespace lp
