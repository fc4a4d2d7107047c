#include "chart/editors/seriestypes/ClockSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotAxis.h"
#include "chart/extensions/circular/PlotRoseSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

namespace lp {

TClockEditor::TClockEditor(QWidget* Parent) : TPolarSeriesEditor(Parent)
{
    // A clock's face has fixed steps, is always closed and draws no line
    // between points; its numerals always run clockwise.
    ShowControls(false, {LAngleInc, Label8, CBClose, UDAngleInc, UDRadiusInc, BPen, CBClockWise, CBColorEach});

    BHour = MakePenButton(*this, QStringLiteral("&Hours..."), "BHour");
    BMinute = MakePenButton(*this, QStringLiteral("&Minutes..."), "BMinute");
    BSecond = MakePenButton(*this, QStringLiteral("&Seconds..."), "BSecond");
    BRadius = MakePenButton(*this, QStringLiteral("R&adius..."), "BRadius");
    OptionsRows().Line({BHour, BMinute, BSecond, BRadius});
    CBRoman = LabelsRows().CheckBox("CBRoman", QStringLiteral("&Roman"));
    LabelsRows().Full(CBRoman);
    SetReadingTabOrder(*this);

    Binder().Bind(
        CBRoman, [this]() -> QVariant { return Clock() ? QVariant(Clock()->Style() == cssRoman) : QVariant(); },
        [this](const QVariant& Value) {
            if (Clock())
                Clock()->SetStyle(Value.toBool() ? cssRoman : cssDecimal);
        });
}

TClockSeries* TClockEditor::Clock() const
{
    return TargetAs<TClockSeries>();
}

void TClockEditor::FillControls()
{
    if (TClockSeries* clock = Clock()) {
        BHour->LinkPen(clock->PenHours());
        BMinute->LinkPen(clock->PenMinutes());
        BSecond->LinkPen(clock->PenSeconds());
        TChartAxis* axis = clock->GetHorizAxis();
        BRadius->LinkPen(axis ? axis->Grid() : nullptr);
    }
    TPolarSeriesEditor::FillControls();
}

} // namespace lp
