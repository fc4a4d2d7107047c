#include "chart/editors/extendedseries/BarJoinSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/shapes/PlotLinePoint.h"

namespace lp {

TBarJoinEditor::TBarJoinEditor(QWidget* Parent) : TBarSeriesEditor(Parent)
{
    BJoin = MakePenButton(*this, QStringLiteral("&Join..."), "BJoin");
    // On the "Format" tab, beside the tick lines.
    InsertBeside(*this, BTickLines, BJoin);
    SetReadingTabOrder(*this);
}

void TBarJoinEditor::FillControls()
{
    TBarSeriesEditor::FillControls();
    if (auto* series = TargetAs<TBarJoinSeries>())
        BJoin->LinkPen(series->JoinPen());
}

} // namespace lp
