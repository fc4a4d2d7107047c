#include "chart/editors/functions/FunctionEditorBase.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/functions/FunctionPage.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>

namespace lp {

void LinkPenButton(TButtonPen* Button, TPen* Pen)
{
    Button->LinkPen(Pen);
    Button->setEnabled(Pen != nullptr);
    Button->update();
}

TBaseFunctionEditor::TBaseFunctionEditor(QWidget* Parent) : TEditorPage(Parent) {}

TBaseFunctionEditor::~TBaseFunctionEditor() = default;

TPageBuilder& TBaseFunctionEditor::Builder()
{
    if (!FBuilder)
        FBuilder = std::make_unique<TPageBuilder>(*this);
    return *FBuilder;
}

TPlotFunction* TBaseFunctionEditor::Function() const
{
    return TargetAs<TPlotFunction>();
}

TPlotFuncEditor* TBaseFunctionEditor::FunctionPage() const
{
    return FFunctionPage.data();
}

void TBaseFunctionEditor::SetFunctionPage(TPlotFuncEditor* Page)
{
    FFunctionPage = Page;
}

void TBaseFunctionEditor::FillControls()
{
    if (Function())
        LoadSettings();
}

void TBaseFunctionEditor::Changed()
{
    if (Loading() || Creating())
        return;
    // Only a function page has an "&Apply" to make pending; shown alone
    // (or under any other owner) the change just waits for ApplyEdits.
    if (FFunctionPage)
        FFunctionPage->SetPending(true);
}

TChartSeries* TBaseFunctionEditor::EditedSeries() const
{
    if (TPlotFunction* function = Function(); function && function->ParentSeries())
        return function->ParentSeries();
    return FFunctionPage ? FFunctionPage->TheSeries() : nullptr;
}

void TBaseFunctionEditor::FillSeriesCombo(QComboBox* Combo) const
{
    Combo->clear();
    TChartSeries* series = EditedSeries();
    if (!series || !series->ParentChart())
        return;
    const TCustomAxisPanel* chart = series->ParentChart();
    for (int i = 0; i < chart->SeriesCount(); ++i) {
        TChartSeries* each = chart->Series(i);
        Combo->addItem(SeriesTitleOrName(each), QVariant::fromValue(static_cast<QObject*>(each)));
    }
}

std::vector<TChartSeries*> TBaseFunctionEditor::SourcesOnApply() const
{
    if (FFunctionPage)
        return FFunctionPage->ChosenSources();
    if (TPlotFunction* function = Function())
        return function->SourceSeriesList();
    return {};
}

void TBaseFunctionEditor::ApplyEdits()
{
    CheckSettings();
    TPlotFunction* function = Function();
    TChartSeries* series = EditedSeries();
    if (!function && FFunctionPage && series) {
        function = CreateNewPlotFunction(series, FFunctionPage->SelectedFunctionClass());
        if (function)
            SetTarget(function);
    }
    if (!function)
        return;
    function->BeginUpdate();
    try {
        StoreSettings();
    } catch (...) {
        // The settings stored so far stay; the caller shows the error.
        function->EndUpdate();
        throw;
    }
    function->EndUpdate();
    if (series && !series->SeriesFunction())
        series->SetFunction(function);
}

QLineEdit* TBaseFunctionEditor::NumberEdit(const char* Name, const QString& Text)
{
    auto* edit = TPageBuilder::Named(new QLineEdit(Text, this), Name);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
    return edit;
}

} // namespace lp
