#include "chart/editors/extendedseries/VolumePipeSeriesPage.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/stats/PlotVolumePipe.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

// The brush colour that follows the series colour (the brush's default).
constexpr int SeriesBrushColor = 0x20000000;
// "Left Right" stores this gradient direction; "Top Bottom" stores 0.
constexpr int SidewaysDirection = 3;

} // namespace

TVolumePipeSeriesEditor::TVolumePipeSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    ButtonPen1 = MakePenButton(*this, QStringLiteral("&Border..."), "ButtonPen1");
    ButtonPen2 = MakePenButton(*this, QStringLiteral("&Lines..."), "ButtonPen2");
    Button1 = MakePatternButton(
        *this, build, "Button1", QStringLiteral("&Pattern..."),
        [this]() -> TChartBrush* {
            auto* series = TargetAs<TVolumePipeSeries>();
            return series ? series->Brush() : nullptr;
        },
        [this] { ApplyClearBack(); });
    CheckBox1 = build.CheckBox("CheckBox1", QStringLiteral("&Brush Back Clear"));
    UpDown1 = build.SpinBox("UpDown1", 0, 100);
    UpDown1->setSingleStep(5);
    UpDown1->setValue(30);
    CheckGradient = build.CheckBox("CheckGradient", QStringLiteral("&Gradient"));
    CBDirection = TPageBuilder::Named(new QComboBox(this), "CBDirection");
    CBDirection->addItems({QStringLiteral("Top Bottom"), QStringLiteral("Left Right")});

    build.Line({ButtonPen1, ButtonPen2});
    build.Line({Button1, CheckBox1});
    build.Row(QStringLiteral("Cone percent:"), UpDown1, "Label1");
    build.Full(CheckGradient);
    build.Row(QStringLiteral("Gradient &Direction:"), CBDirection, "Label2");
    build.Stretch();
    SetReadingTabOrder(*this);

    Binder().Bind(UpDown1, QStringLiteral("ConePercent"));
    Binder().Bind(CheckGradient, QStringLiteral("Gradient.Visible"));
    // A clear back is the brush colour set aside for it; unticked, the
    // brush follows the series colour again.
    Binder().Bind(
        CheckBox1,
        [this]() -> QVariant {
            auto* series = TargetAs<TVolumePipeSeries>();
            return series ? QVariant(static_cast<int>(series->Brush()->Color()) == ClearBackColor) : QVariant();
        },
        [this](const QVariant& Value) {
            if (auto* series = TargetAs<TVolumePipeSeries>())
                series->Brush()->SetColor(static_cast<TColor>(Value.toBool() ? ClearBackColor : SeriesBrushColor));
        });
    Binder().Bind(
        CBDirection,
        [this]() -> QVariant {
            auto* series = TargetAs<TVolumePipeSeries>();
            return series ? QVariant(series->Gradient()->Direction() != 0 ? 1 : 0) : QVariant();
        },
        [this](const QVariant& Value) {
            if (auto* series = TargetAs<TVolumePipeSeries>())
                series->Gradient()->SetDirection(static_cast<TGradientDirections::TGradientDirection>(
                    Value.toInt() == 1 ? SidewaysDirection : 0));
        });
}

void TVolumePipeSeriesEditor::FillControls()
{
    if (auto* series = TargetAs<TVolumePipeSeries>()) {
        ButtonPen1->LinkPen(series->Pen());
        ButtonPen2->LinkPen(series->LinesPen());
    }
}

void TVolumePipeSeriesEditor::ApplyClearBack()
{
    // The brush dialog may have chosen a colour: a clear back stays clear.
    if (auto* series = TargetAs<TVolumePipeSeries>(); series && CheckBox1->isChecked())
        series->Brush()->SetColor(static_cast<TColor>(ClearBackColor));
}

} // namespace lp
