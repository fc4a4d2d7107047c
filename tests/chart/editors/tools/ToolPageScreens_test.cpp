// Every registered tool type opens its page in the chart editor's Tools
// tab, as the tools page opens it: found by the name the tool reports, on
// a chart with a series the tool works on; showing writes nothing. A
// screenshot of the window on each tab of each page, at the size the
// window opens.

#include "ToolPageTestSupport.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/editors/tools/ToolsPage.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"

#include <QtWidgets/QTabWidget>

#include <gtest/gtest.h>

#include <memory>

namespace lp {
namespace {

using test::TEditorChart;

// The tab control of Page that no other tab control of Page holds,
// nullptr when it has none.
QTabWidget* OuterTabs(QWidget& Page)
{
    for (QTabWidget* tabs : Page.findChildren<QTabWidget*>()) {
        bool nested = false;
        for (QWidget* w = tabs->parentWidget(); w && w != &Page; w = w->parentWidget())
            nested = nested || qobject_cast<QTabWidget*>(w);
        if (!nested)
            return tabs;
    }
    return nullptr;
}

// A caption as a file name: "Color Band" -> "color-band".
QString ScreenNameOf(QString Caption)
{
    return Caption.toLower().remove(QLatin1Char('&')).replace(QLatin1Char(' '), QLatin1Char('-'));
}

TEST(ToolPageScreens, EveryToolTypeOpensItsPageInTheToolsTab)
{
    for (int i = 0; i < PlotToolTypes()->Count(); ++i) {
        // Each window opens at its own size, not at the one the last stored.
        test::TEditorSettingsFolder settings;
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
        const std::unique_ptr<TEditorPage> registered(CreateEditorPage(pageName, nullptr));
        ASSERT_NE(registered, nullptr) << className.toStdString() << " reports " << pageName.toStdString();
        const QStringList before = test::DumpProperties(&chart);

        TChartEditForm form;
        form.SetChart(&chart);
        form.EditTool = tool;
        form.show();
        auto* tools = qobject_cast<TFormPlotTools*>(form.PageOf(form.TabTools));
        ASSERT_NE(tools, nullptr);
        TEditorPage* page = tools->ToolEditor();
        ASSERT_NE(page, nullptr) << className.toStdString() << ": no page in the Tools tab";
        EXPECT_EQ(page->metaObject(), registered->metaObject()) << className.toStdString();
        EXPECT_EQ(page->Target(), tool);
        EXPECT_EQ(test::DumpProperties(&chart), before) << pageName.toStdString() << " wrote on showing";

        const QString name = QStringLiteral("tool-page-") + ScreenNameOf(tool->Description());
        QTabWidget* tabs = OuterTabs(*page);
        if (!tabs) {
            test::SaveScreenshot(form, name);
            continue;
        }
        for (int tab = 0; tab < tabs->count(); ++tab) {
            if (!tabs->isTabVisible(tab))
                continue;
            tabs->setCurrentIndex(tab);
            test::SaveScreenshot(form, tab == 0 ? name : name + QLatin1Char('-') + ScreenNameOf(tabs->tabText(tab)));
        }
    }
}

} // namespace
} // namespace lp
