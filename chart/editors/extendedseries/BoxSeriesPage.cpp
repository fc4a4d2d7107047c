#include "chart/editors/extendedseries/BoxSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/editors/series/SeriesPointerEditor.h"
#include "chart/extensions/stats/PlotBoxPlot.h"

#include <QtWidgets/QLineEdit>

namespace lp {

TBoxSeriesEditor::TBoxSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    EPos = MakeNumberEdit(*this, "EPos", QStringLiteral("Position"));
    build.Row(QStringLiteral("&Position:"), EPos, "Label1");
    ELength = MakeNumberEdit(*this, "ELength", QStringLiteral("WhiskerLength"));
    build.Row(QStringLiteral("&Length:"), ELength, "Label2");
    BMedian = MakePenButton(*this, QStringLiteral("&Median..."), "BMedian");
    BWhisker = MakePenButton(*this, QStringLiteral("&Whisker..."), "BWhisker");
    build.Line({BMedian, BWhisker});
    build.Stretch();
    SetReadingTabOrder(*this);
}

void TBoxSeriesEditor::FillControls()
{
    if (auto* series = TargetAs<TCustomBoxSeries>()) {
        BMedian->LinkPen(series->MedianPen());
        BWhisker->LinkPen(series->WhiskerPen());
    }
    TTabAddingSeriesPage::FillControls();
}

void TBoxSeriesEditor::AddTabs()
{
    auto* series = TargetAs<TCustomBoxSeries>();
    if (!series)
        return;
    BoxPointer = AddPointerTab(this, series->Pointer(), QStringLiteral("Box"), 1);
    ExtrOutPointer = AddPointerTab(this, series->ExtrOut(), QStringLiteral("ExtrOut"), 2);
    MildOutPointer = AddPointerTab(this, series->MildOut(), QStringLiteral("MildOut"), 3);
}

} // namespace lp
