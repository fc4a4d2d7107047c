#include "chart/editors/seriestypes/DonutSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>

namespace lp {

namespace {

constexpr int DonutHoleStep = 5;

} // namespace

TDonutSeriesEditor::TDonutSeriesEditor(QWidget* Parent) : TPieSeriesEditor(Parent)
{
    UDDonut = OptionsRows().SpinBox("UDDonut", 0, 100);
    UDDonut->setSingleStep(DonutHoleStep);
    // Past either end the arrows go round to the other.
    UDDonut->setWrapping(true);
    Label1 = OptionsRows().Row(QStringLiteral("&Hole %: "), UDDonut, "Label1");
    SetReadingTabOrder(*this);
    Binder().Bind(UDDonut, QStringLiteral("DonutPercent"));
}

TDonutSeries* TDonutSeriesEditor::Series() const
{
    return TargetAs<TDonutSeries>();
}

} // namespace lp
