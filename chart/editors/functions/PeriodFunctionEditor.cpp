#include "chart/editors/functions/PeriodFunctionEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"

#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The period as typed; 0 for a text that is not a number.
double TypedPeriod(const QString& Text)
{
    try {
        return ReadNumber(Text);
    } catch (const Exception&) {
        return 0;
    }
}

// The period as a whole number of points, held within the int range (a
// range period may be far larger than any point count).
int NearestCount(double Period)
{
    if (!std::isfinite(Period))
        return 0;
    return static_cast<int>(std::clamp(std::round(Period), -2147483647.0, 2147483647.0));
}

} // namespace

TPlotFunctionEditor::TPlotFunctionEditor(QWidget* Parent) : TBaseFunctionEditor(Parent)
{
    TPageBuilder& build = Builder();
    CBStyle = TPageBuilder::Named(new QComboBox, "CBStyle");
    CBStyle->addItem(QStringLiteral("All points"), StyleAllPoints);
    CBStyle->addItem(QStringLiteral("Every number of points"), StyleNumPoints);
    CBStyle->addItem(QStringLiteral("Every range"), StyleRange);
    Label2 = build.Row(QStringLiteral("&Calculate using:"), CBStyle, "Label2");
    ENum = NumberEdit("ENum", QStringLiteral("0"));
    ENum->setEnabled(false);
    BChange = build.Button("BChange", QStringLiteral("&Change..."));
    BChange->setEnabled(false);
    auto* numberRow = new QWidget;
    auto* numberLayout = new QHBoxLayout(numberRow);
    numberLayout->setContentsMargins(0, 0, 0, 0);
    numberLayout->addWidget(ENum);
    numberLayout->addWidget(BChange);
    numberLayout->addStretch();
    Label3 = build.Row(QStringLiteral("&Number of points:"), numberRow, "Label3");
    Label3->setBuddy(ENum);
    CBAlign = TPageBuilder::Named(new QComboBox, "CBAlign");
    CBAlign->addItems({QStringLiteral("First"), QStringLiteral("Center"), QStringLiteral("Last")});
    Label1 = build.Row(QStringLiteral("&Alignment:"), CBAlign, "Label1");

    build.Stretch();
    SetReadingTabOrder(*this);

    connect(CBStyle, &QComboBox::currentIndexChanged, this, [this] {
        if (!Loading())
            CBStyleChange();
    });
    connect(ENum, &QLineEdit::textEdited, this, [this] { Changed(); });
    connect(CBAlign, &QComboBox::currentIndexChanged, this, [this] { Changed(); });
    connect(BChange, &QPushButton::clicked, this, [this] { BChangeClick(); });
}

int TPlotFunctionEditor::ChosenStyle() const
{
    return CBStyle->currentIndex() < 0 ? StyleAllPoints : CBStyle->currentData().toInt();
}

void TPlotFunctionEditor::ShowStyle(int Style)
{
    CBStyle->setCurrentIndex(std::max(CBStyle->findData(Style), 0));
}

void TPlotFunctionEditor::OfferStyles()
{
    const bool offered = CBStyle->findData(StyleAllPoints) >= 0;
    const bool wanted = !(Function() && Function()->PeriodRequired());
    if (offered && !wanted)
        CBStyle->removeItem(CBStyle->findData(StyleAllPoints));
    else if (!offered && wanted)
        CBStyle->insertItem(0, QStringLiteral("All points"), StyleAllPoints);
}

void TPlotFunctionEditor::UpdateStyleEnabling()
{
    ENum->setEnabled(ChosenStyle() != StyleAllPoints);
    BChange->setEnabled(ChosenStyle() == StyleRange);
}

void TPlotFunctionEditor::LoadSettings()
{
    const TPlotFunction& function = *Function();
    OfferStyles();
    if (function.PeriodStyle() == TPlotFunction::psRange && !function.IsMoving())
        ShowStyle(StyleRange);
    else if (NearestCount(function.Period()) != 0 || function.PeriodRequired())
        ShowStyle(StyleNumPoints);
    else
        ShowStyle(StyleAllPoints);
    CBAlign->setCurrentIndex(static_cast<int>(function.PeriodAlign()));
    CBStyleChange();
}

double TPlotFunctionEditor::ShownPeriod() const
{
    return Function() ? Function()->Period() : 0;
}

void TPlotFunctionEditor::CBStyleChange()
{
    UpdateStyleEnabling();
    switch (ChosenStyle()) {
    case StyleNumPoints:
        ENum->setText(QString::number(std::max(NearestCount(ShownPeriod()), 0)));
        break;
    case StyleRange:
        ENum->setText(NumberText(ShownPeriod()));
        break;
    default:
        ENum->clear();
    }
    if (ENum->isEnabled() && !Loading())
        ENum->setFocus();
    Changed();
}

double TPlotFunctionEditor::TypedPeriodToStore() const
{
    // A negative period is refused by the function: it counts as none.
    return std::max(TypedPeriod(ENum->text()), 0.0);
}

void TPlotFunctionEditor::CheckSettings() const
{
    const double period = ChosenStyle() == StyleAllPoints ? 0 : TypedPeriodToStore();
    if (Function() && Function()->PeriodRequired() && !(period > 0))
        throw ChartException(QStringLiteral("Period must be bigger than zero."));
    // The range walk reads the one source; several are computed point by
    // point.
    if (ChosenStyle() == StyleRange)
        if (const std::vector<TChartSeries*> sources = SourcesOnApply(); sources.size() == 1)
            TPlotFunction::CheckRangeCount(*sources.front(), period);
}

void TPlotFunctionEditor::StoreSettings()
{
    TPlotFunction& function = *Function();
    function.SetPeriodAlign(static_cast<TPlotFunction::TFunctionPeriodAlign>(std::max(CBAlign->currentIndex(), 0)));
    function.SetPeriodStyle(ChosenStyle() == StyleRange ? TPlotFunction::psRange : TPlotFunction::psNumPoints);
    function.SetPeriod(ChosenStyle() == StyleAllPoints ? 0 : TypedPeriodToStore());
}

void TPlotFunctionEditor::BChangeClick()
{
    auto dialog = CreateDialogForm<TAxisIncrement>(this);
    dialog->setWindowTitle(PlotMsg_PeriodRange);
    TChartSeries* series = EditedSeries();
    auto* source = series ? qobject_cast<TChartSeries*>(series->DataSource()) : nullptr;
    dialog->IsDateTime = source && source->XValues()->DateTime();
    dialog->ExactDateTime = true;
    dialog->Increment = TypedPeriod(ENum->text());
    dialog->StepIndex = FindDateTimeStep(dialog->Increment);
    CallControlHook(dialog.get());
    if (dialog->exec() != QDialog::Accepted)
        return;
    ENum->setText(NumberText(dialog->Increment));
    Changed();
}

} // namespace lp
