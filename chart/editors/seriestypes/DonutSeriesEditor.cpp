#include "chart/editors/seriestypes/DonutSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/seriestypes/PieSeriesEditor.h"
#include "chart/extensions/circular/PlotBar3DDonut.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

constexpr int DonutHoleStep = 5;

} // namespace

TDonutSeriesEditor::TDonutSeriesEditor(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    UDDonut = build.SpinBox("UDDonut", 0, 100);
    UDDonut->setSingleStep(DonutHoleStep);
    // Past either end the arrows go round to the other.
    UDDonut->setWrapping(true);
    Label1 = build.Row(QStringLiteral("&Hole %: "), UDDonut, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);
    Binder().Bind(UDDonut, QStringLiteral("DonutPercent"));
}

TDonutSeries* TDonutSeriesEditor::Series() const
{
    return TargetAs<TDonutSeries>();
}

void TDonutSeriesEditor::AddTabs()
{
    if (!Series())
        return;
    PieEditor = static_cast<TPieSeriesEditor*>(AddSeriesEditorTab(
        this, [](QWidget* Parent) -> TEditorPage* { return new TPieSeriesEditor(Parent); }, Series(),
        QStringLiteral("Donut"), 1));
    // The pie page puts its "Circled" tab right after "Format" as it is
    // embedded; the donut's own pie options come first.
    QWidget* tab = PieEditor ? PieEditor->parentWidget() : nullptr;
    QWidget* stack = tab ? tab->parentWidget() : nullptr;
    if (auto* tabs = qobject_cast<QTabWidget*>(stack ? stack->parentWidget() : nullptr)) {
        const QSignalBlocker block(tabs);
        if (const int at = tabs->indexOf(tab); at > 1)
            tabs->tabBar()->moveTab(at, 1);
    }
}

} // namespace lp
