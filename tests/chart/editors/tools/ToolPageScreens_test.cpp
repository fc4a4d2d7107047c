// Every registered tool type opens its page, as the tools page opens it:
// found by the name the tool reports, on a chart with a series the tool
// works on; showing writes nothing. A screenshot of each tab of each page.

#include "ToolPageTestSupport.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"

#include <QtWidgets/QTabBar>
#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

namespace lp {
namespace {

using test::TEditorChart;

// The top-level tab control of Page, nullptr when it has none.
QTabWidget* OuterTabs(QWidget& Page)
{
    for (QTabWidget* tabs : Page.findChildren<QTabWidget*>())
        if (!tabs->parentWidget() || !qobject_cast<QTabWidget*>(tabs->parentWidget()->parentWidget()))
            if (tabs->window() == &Page && !tabs->parentWidget()->inherits("QStackedWidget"))
                return tabs;
    return nullptr;
}

TEST(ToolPageScreens, EveryToolTypeOpensItsPage)
{
    for (int i = 0; i < PlotToolTypes()->Count(); ++i) {
        const QString className =
            QString::fromLatin1(PlotToolTypes()->Items(i)->className()).section(QStringLiteral("::"), -1);
        TEditorChart chart;
        chart.SetBounds(0, 0, 400, 300);
        TLineSeries* series = test::AddSampleSeries(chart, QStringLiteral("Series1"));
        auto* tool = qobject_cast<TPlotCustomTool*>(CreateComponent(className, &chart));
        ASSERT_NE(tool, nullptr) << className.toStdString();
        tool->SetParentChart(&chart);
        if (auto* seriesTool = qobject_cast<TPlotCustomToolSeries*>(tool))
            seriesTool->SetSeries(series);
        if (auto* axisTool = qobject_cast<TPlotCustomToolAxis*>(tool))
            axisTool->SetAxis(chart.LeftAxis());
        const QString pageName = tool->GetEditorClassName();
        std::unique_ptr<TEditorPage> page(CreateEditorPage(pageName, nullptr));
        ASSERT_NE(page, nullptr) << className.toStdString() << " reports " << pageName.toStdString();
        const QStringList before = test::DumpProperties(&chart);
        page->SetTarget(tool);
        page->show();
        EXPECT_EQ(test::DumpProperties(&chart), before) << pageName.toStdString() << " wrote on showing";
        const QString name = QStringLiteral("tool-page-") + className;
        QTabWidget* tabs = OuterTabs(*page);
        if (!tabs) {
            test::SaveScreenshot(*page, name);
            continue;
        }
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            test::SaveScreenshot(*page, name + QLatin1Char('-') + QString::number(tab));
        }
    }
}

} // namespace
} // namespace lp
