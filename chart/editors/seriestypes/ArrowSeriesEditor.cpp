#include "chart/editors/seriestypes/ArrowSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/engine/PlotPointer.h"
#include "chart/extensions/shapes/PlotArrow.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int ArrowSizeLimit = 1000;

} // namespace

TArrowSeriesEditor::TArrowSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    UDArrowWidth = build.SpinBox("UDArrowWidth", 1, ArrowSizeLimit);
    UDArrowHeight = build.SpinBox("UDArrowHeight", 1, ArrowSizeLimit);
    auto* percent = new QWidget(this);
    SBPercent = TPageBuilder::Named(new QSlider(Qt::Horizontal, percent), "SBPercent");
    SBPercent->setRange(0, 100);
    LPercent = TPageBuilder::Named(new QLabel(percent), "LPercent");
    LPercent->setMinimumWidth(LPercent->fontMetrics().horizontalAdvance(QStringLiteral("100 %")));
    auto* line = new QHBoxLayout(percent);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(SBPercent, 1);
    line->addWidget(LPercent);
    BPen = TPageBuilder::SymbolButton(new TButtonPen(QStringLiteral("&Border..."), this), "BPen");
    BBrush = build.Button("BBrush", QStringLiteral("&Pattern..."));
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("Color &Each"));
    BArrowColor = build.ColorButton("BArrowColor", QStringLiteral("&Color..."));
    build.Row(QStringLiteral("&Width:"), UDArrowWidth, "LWidth");
    build.Row(QStringLiteral("&Height:"), UDArrowHeight, "LHeight");
    build.Row(QStringLiteral("&Size:"), percent, "LSize")->setBuddy(SBPercent);
    build.Line({BPen, BBrush});
    build.Line({CBColorEach, BArrowColor});
    build.Stretch();
    SetReadingTabOrder(*this);

    BindSeriesSetting<TArrowSeries, int>(*this, UDArrowWidth, &TArrowSeries::ArrowWidth, &TArrowSeries::SetArrowWidth);
    BindSeriesSetting<TArrowSeries, int>(*this, UDArrowHeight, &TArrowSeries::ArrowHeight,
                                         &TArrowSeries::SetArrowHeight);
    Binder().Bind(SBPercent, QStringLiteral("ArrowPercent"));
    Binder().Bind(
        CBColorEach, [this]() -> QVariant { return Series() ? QVariant(Series()->ColorEachPoint()) : QVariant(); },
        [this](const QVariant& Value) {
            TArrowSeries* series = Series();
            if (!series)
                return;
            series->SetColorEachPoint(Value.toBool());
            // Each arrow shows its point's colour only with a pointer
            // colour that follows it.
            if (Value.toBool())
                series->Pointer()->SetColor(clDefault);
        });
    Binder().Bind(BArrowColor, QStringLiteral("SeriesColor"));
    BPen->OnClick = [this](TButtonPen*) { AfterUserChange(BPen); };
    connect(BBrush, &QPushButton::clicked, this, &TArrowSeriesEditor::BrushClick);
}

TArrowSeries* TArrowSeriesEditor::Series() const
{
    return TargetAs<TArrowSeries>();
}

void TArrowSeriesEditor::FillControls()
{
    if (Series())
        BPen->LinkPen(Series()->Pointer()->Pen());
}

void TArrowSeriesEditor::UpdateEnabled()
{
    LPercent->setText(QString::number(SBPercent->value()) + QLatin1Char('%'));
    BArrowColor->setEnabled(Series() && !Series()->ColorEachPoint());
}

void TArrowSeriesEditor::BrushClick()
{
    if (CanWrite() && Series() && EditChartBrush(this, *Series()->Pointer()->Brush()))
        AfterUserChange(BBrush);
}

} // namespace lp
