#include "chart/editors/extendedseries/FunnelSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/editors/TypedNumberEdit.h"
#include "chart/extensions/stats/PlotFunnel.h"

#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

TFunnelSeriesEditor::TFunnelSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    ButtonPen1 = MakePenButton(*this, QStringLiteral("&Lines..."), "ButtonPen1");
    ButtonPen2 = MakePenButton(*this, QStringLiteral("&Border..."), "ButtonPen2");
    Button1 = MakePatternButton(*this, build, "Button1", QStringLiteral("&Pattern..."), [this]() -> TChartBrush* {
        auto* series = TargetAs<TFunnelSeries>();
        return series ? series->Brush() : nullptr;
    });
    AboveColor = build.ColorButton("AboveColor", QStringLiteral("&Above..."));
    WithinColor = build.ColorButton("WithinColor", QStringLiteral("&Within..."));
    BelowColor = build.ColorButton("BelowColor", QStringLiteral("B&elow..."));
    DifLimit = build.SpinBox("DifLimit", 1, 50);

    build.Line({ButtonPen1, ButtonPen2, Button1});
    build.Line({AboveColor, WithinColor, BelowColor});
    build.Row(QStringLiteral("&Dif. Limit:"), DifLimit, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(AboveColor, QStringLiteral("AboveColor"));
    Binder().Bind(WithinColor, QStringLiteral("WithinColor"));
    Binder().Bind(BelowColor, QStringLiteral("BelowColor"));
    BindRoundedSeriesSetting<TFunnelSeries>(*this, DifLimit, &TFunnelSeries::DifferenceLimit,
                                            &TFunnelSeries::SetDifferenceLimit);
}

void TFunnelSeriesEditor::FillControls()
{
    if (auto* series = TargetAs<TFunnelSeries>()) {
        ButtonPen1->LinkPen(series->LinesPen());
        ButtonPen2->LinkPen(series->Pen());
    }
}

} // namespace lp
