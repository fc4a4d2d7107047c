#include "chart/editors/series/SeriesEditorTabs.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPage.h"
#include "chart/editors/series/SeriesPage.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

// The tab widget of the series page around Owner, found by the page's
// class and the tab widget's name; nullptr outside a series page.
QTabWidget* HostingSeriesTabs(QWidget* Owner)
{
    for (QWidget* widget = Owner ? Owner->parentWidget() : nullptr; widget; widget = widget->parentWidget())
        if (widget->inherits("lp::TFormPlotSeries"))
            return widget->findChild<QTabWidget*>(QStringLiteral("PageSeries"), Qt::FindDirectChildrenOnly);
    return nullptr;
}

} // namespace

void AddFillingLayout(QWidget* Tab)
{
    auto* layout = new QVBoxLayout(Tab);
    layout->setContentsMargins(0, 0, 0, 0);
}

void EmbedSeriesTabPage(TEditorPage* Page, QWidget* Tab, QObject* Target)
{
    Page->setWindowFlags(Qt::Widget);
    Tab->layout()->addWidget(Page);
    CallControlHook(Page);
    Page->SetTarget(Target);
    Page->show();
}

TEditorPage* AddSeriesEditorTab(QWidget* Owner, const TEditorPageFactory& Form, QObject* Tag, const QString& Caption,
                                int PageIndex)
{
    if (QTabWidget* tabs = HostingSeriesTabs(Owner)) {
        auto* tab = new QWidget(tabs);
        AddFillingLayout(tab);
        {
            // The new tab does not count as the user's choice of tab.
            const QSignalBlocker block(tabs);
            tabs->insertTab(PageIndex, tab, Caption);
        }
        TEditorPage* page = Form(tab);
        EmbedSeriesTabPage(page, tab, Tag);
        if (auto* host = qobject_cast<TFormPlotSeries*>(tabs->parentWidget()))
            host->LockUnkeptSettings();
        return page;
    }
    TEditorPage* page = Form(Owner ? Owner->window() : nullptr);
    page->setWindowTitle(Caption);
    page->SetTarget(Tag);
    return page;
}

void TTabAddingSeriesPage::FillControls()
{
    // Embedded on a tab that is not showing, the page is filled before it
    // is first shown: its tabs come with it.
    AddTabsOnce();
}

void TTabAddingSeriesPage::showEvent(QShowEvent* Event)
{
    TEditorPage::showEvent(Event);
    AddTabsOnce();
}

void TTabAddingSeriesPage::AddTabsOnce()
{
    if (FTabsAdded || !parentWidget() || !Target())
        return;
    FTabsAdded = true;
    AddTabs();
}

} // namespace lp
