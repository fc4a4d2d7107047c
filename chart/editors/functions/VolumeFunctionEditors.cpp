#include "chart/editors/functions/VolumeFunctionEditors.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/financial/PlotVolumeIndicators.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>

namespace lp {

TOBVFuncEditor::TOBVFuncEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    CBVolume = TPageBuilder::Named(new QComboBox(this), "CBVolume");
    CBVolume->setMinimumContentsLength(16);
    build.Row(QStringLiteral("&Volume series:"), CBVolume, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);
    connect(CBVolume, &QComboBox::activated, this, [this] { Changed(); });
}

void TOBVFuncEditor::LoadSettings()
{
    auto* function = qobject_cast<TVolumeLinkedFunction*>(Function());
    if (!function)
        return;
    FillSeriesCombo(CBVolume);
    // The computed series cannot be its own volume.
    if (TChartSeries* own = EditedSeries())
        CBVolume->removeItem(CBVolume->findData(QVariant::fromValue(static_cast<QObject*>(own))));
    CBVolume->setCurrentIndex(
        function->Volume() ? CBVolume->findData(QVariant::fromValue(static_cast<QObject*>(function->Volume()))) : -1);
}

TChartSeries* TOBVFuncEditor::ChosenVolume() const
{
    if (CBVolume->currentIndex() < 0)
        return nullptr;
    return qobject_cast<TChartSeries*>(CBVolume->currentData().value<QObject*>());
}

void TOBVFuncEditor::StoreSettings()
{
    if (auto* function = qobject_cast<TVolumeLinkedFunction*>(Function()))
        function->SetVolume(ChosenVolume());
}

TCLVFuncEditor::TCLVFuncEditor(QWidget* Parent) : TOBVFuncEditor(Parent)
{
    CBAccumulate = Builder().CheckBox("CBAccumulate", QStringLiteral("&Accumulate"));
    CBAccumulate->setChecked(true);
    Builder().Full(CBAccumulate);
    SetReadingTabOrder(*this);
    connect(CBAccumulate, &QCheckBox::toggled, this, [this] { Changed(); });
}

void TCLVFuncEditor::LoadSettings()
{
    TOBVFuncEditor::LoadSettings();
    if (auto* clv = qobject_cast<TCLVFunction*>(Function()))
        CBAccumulate->setChecked(clv->Accumulate());
}

void TCLVFuncEditor::StoreSettings()
{
    TOBVFuncEditor::StoreSettings();
    if (auto* clv = qobject_cast<TCLVFunction*>(Function()))
        clv->SetAccumulate(CBAccumulate->isChecked());
}

} // namespace lp
