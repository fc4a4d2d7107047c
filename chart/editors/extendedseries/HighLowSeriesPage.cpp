#include "chart/editors/extendedseries/HighLowSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/PlotErrorBar.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

THighLowEditor::THighLowEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    BPen = MakePenButton(*this, QStringLiteral("&Lines..."), "BPen");
    BHighPen = MakePenButton(*this, QStringLiteral("&High..."), "BHighPen");
    BLowPen = MakePenButton(*this, QStringLiteral("L&ow..."), "BLowPen");
    BBrush = MakePatternButton(*this, build, "BBrush", QStringLiteral("&Pattern..."), [this]() -> TChartBrush* {
        auto* series = TargetAs<THighLowSeries>();
        return series ? series->HighBrush() : nullptr;
    });
    BLowBrush = MakePatternButton(*this, build, "BLowBrush", QStringLiteral("P&attern..."), [this]() -> TChartBrush* {
        auto* series = TargetAs<THighLowSeries>();
        return series ? series->LowBrush() : nullptr;
    });
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("Colo&r Each"));
    BColor = MakeSeriesColorButton(*this, build, "BColor", QStringLiteral("&Color..."));
    UDTransp = MakeTransparencyUpDown(*this, build, "UDTransp", QStringLiteral("Transparency"));

    build.Line({BPen});
    build.Line({BHighPen, BBrush});
    build.Line({BLowPen, BLowBrush});
    build.Line({CBColorEach, BColor});
    build.Row(QStringLiteral("&Transparency:"), UDTransp, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);
    Binder().Bind(CBColorEach, QStringLiteral("ColorEachPoint"));
}

void THighLowEditor::FillControls()
{
    if (auto* series = TargetAs<THighLowSeries>()) {
        BPen->LinkPen(series->Pen());
        BHighPen->LinkPen(series->HighPen());
        BLowPen->LinkPen(series->LowPen());
    }
}

} // namespace lp
