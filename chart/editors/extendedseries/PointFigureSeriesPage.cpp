#include "chart/editors/extendedseries/PointFigureSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/extensions/financial/PlotPointFigure.h"

#include <QtWidgets/QLineEdit>

namespace lp {

TPointFigureEditor::TPointFigureEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    // A box size too small for the prices is refused with a message before
    // it is set (the series would draw a symbol per box); it is judged when
    // typing is done, as "0.5" passes "0" on the way.
    EBoxSize = MakeNumberEditWhenDone(
        *this, "EBoxSize",
        [this]() -> std::optional<double> {
            auto* series = TargetAs<TPointFigureSeries>();
            return series ? std::optional<double>(series->BoxSize()) : std::nullopt;
        },
        [this](double Value) {
            auto* series = TargetAs<TPointFigureSeries>();
            series->CheckBoxSize(Value);
            series->SetBoxSize(Value);
        });
    build.Row(QStringLiteral("&Box size:"), EBoxSize, "Label1");
    EReversal = MakeNumberEdit(*this, "EReversal", QStringLiteral("ReversalAmount"));
    build.Row(QStringLiteral("&Reversal amount:"), EReversal, "Label2");
    build.Stretch();
    SetReadingTabOrder(*this);
}

void TPointFigureEditor::AddTabs()
{
    auto* series = TargetAs<TPointFigureSeries>();
    if (!series)
        return;
    UpPointer = AddPointerTab(this, series->UpSymbol(), QStringLiteral("Up"), 1);
    DownPointer = AddPointerTab(this, series->DownSymbol(), QStringLiteral("Down"), 2);
}

} // namespace lp
