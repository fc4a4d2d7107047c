#include "chart/editors/extendedseries/LinePointSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/shapes/PlotLinePoint.h"

#include <QtWidgets/QBoxLayout>

namespace lp {

TLinePointEditor::TLinePointEditor(QWidget* Parent) : TSeriesPointerEditor(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    BLines = MakePenButton(*this, QStringLiteral("&Lines..."), "BLines");
    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 0, 4, 4);
    row->addWidget(BLines);
    row->addStretch();
    // Below the pointer's controls, above the stretch and the hidden
    // dialog buttons.
    if (auto* column = qobject_cast<QBoxLayout*>(layout()))
        column->insertLayout(column->count() - 2, row);
    SetReadingTabOrder(*this);
}

void TLinePointEditor::FillControls()
{
    TSeriesPointerEditor::FillControls();
    if (auto* series = TargetAs<TMyPointSeries>())
        BLines->LinkPen(series->LinesPen());
}

} // namespace lp
