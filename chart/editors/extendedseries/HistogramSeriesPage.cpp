#include "chart/editors/extendedseries/HistogramSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/stats/PlotHistogramSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

THistogramSeriesEditor::THistogramSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    GroupBox1 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Color:"), this), "GroupBox1");
    TPageBuilder colors(*GroupBox1);
    CBColorEach = colors.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    BAreaColor = MakeSeriesColorButton(*this, colors, "BAreaColor", QStringLiteral("&Color..."));
    colors.Line({CBColorEach, BAreaColor});
    BAreaLinesPen = MakePenButton(*this, QStringLiteral("&Lines..."), "BAreaLinesPen");
    BAreaLinePen = MakePenButton(*this, QStringLiteral("&Border..."), "BAreaLinePen");
    Button1 = MakePatternButton(*this, build, "Button1", QStringLiteral("&Pattern..."), [this]() -> TChartBrush* {
        auto* series = TargetAs<THistogramSeries>();
        return series ? series->Brush() : nullptr;
    });
    UDTransp = MakeTransparencyUpDown(*this, build, "UDTransp", QStringLiteral("Transparency"));

    build.Full(GroupBox1);
    build.Line({BAreaLinesPen, BAreaLinePen, Button1});
    build.Row(QStringLiteral("&Transparency:"), UDTransp, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);
    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
}

void THistogramSeriesEditor::FillControls()
{
    if (auto* series = TargetAs<THistogramSeries>()) {
        BAreaLinesPen->LinkPen(series->LinesPen());
        BAreaLinePen->LinkPen(series->Pen());
    }
}

void THistogramSeriesEditor::UpdateEnabled()
{
    BAreaColor->setEnabled(!CBColorEach->isChecked());
}

} // namespace lp
