#include "chart/editors/extendedseries/PyramidSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/stats/PlotPyramid.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

TPyramidSeriesEditor::TPyramidSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    BPen = MakePenButton(*this, QStringLiteral("&Border..."), "BPen");
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    BColor = MakeSeriesColorButton(*this, build, "BColor", QStringLiteral("&Color..."));
    Button1 = MakePatternButton(*this, build, "Button1", QStringLiteral("&Pattern..."), [this]() -> TChartBrush* {
        auto* series = TargetAs<TPyramidSeries>();
        return series ? series->Brush() : nullptr;
    });
    UDSize = build.SpinBox("UDSize", 0, 100);
    UDSize->setSingleStep(5);

    build.Line({BPen, Button1});
    build.Line({CBColorEach, BColor});
    build.Row(QStringLiteral("&Size %:"), UDSize, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);
    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
    Binder().Bind(UDSize, QStringLiteral("SizePercent"));
}

void TPyramidSeriesEditor::FillControls()
{
    if (auto* series = TargetAs<TPyramidSeries>())
        BPen->LinkPen(series->Pen());
}

void TPyramidSeriesEditor::UpdateEnabled()
{
    BColor->setEnabled(!CBColorEach->isChecked());
}

} // namespace lp
