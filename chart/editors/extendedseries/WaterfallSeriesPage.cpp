#include "chart/editors/extendedseries/WaterfallSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/grid3d/PlotWaterFallSeries.h"

namespace lp {

TWaterFallEditor::TWaterFallEditor(QWidget* Parent) : TSurfaceSeriesEditor(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    BLines = MakePenButton(*this, QStringLiteral("&Lines..."), "BLines");
    // Beside the sides' lines.
    InsertBeside(*this, BSideLines, BLines);
    SetReadingTabOrder(*this);
}

void TWaterFallEditor::FillControls()
{
    TSurfaceSeriesEditor::FillControls();
    if (auto* series = TargetAs<TWaterFallSeries>())
        BLines->LinkPen(series->WaterLines());
}

} // namespace lp
