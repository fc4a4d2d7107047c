#pragma once
// Tabs that a series type's page adds to the series page hosting it (the
// line page's "Point"), the base of pages that add them, and the embedding
// every series-page tab uses.

#include "chart/editors/EditorPage.h"
#include "chart/editors/EditorPageRegistry.h"

class QObject;
class QString;
class QWidget;

namespace lp {

// Adds a page of Form as a further tab of the series page hosting Owner (a
// type page), at PageIndex, captioned Caption, with Tag as its target; the
// series page owns the tab and the page. Without such a host the page is
// made as a dialog of Owner with Caption and Tag, and not shown.
TEditorPage* AddSeriesEditorTab(QWidget* Owner, const TEditorPageFactory& Form, QObject* Tag,
                                const QString& Caption, int PageIndex);

// Gives Tab a layout its page fills.
void AddFillingLayout(QWidget* Tab);
// Embeds Page in Tab (which has a filling layout) with Target; shown.
void EmbedSeriesTabPage(TEditorPage* Page, QWidget* Tab, QObject* Target);

// A series page that adds further tabs to the series page hosting it:
// once, on its first fill or show with a target inside a parent (shown
// alone it adds none). The series page owns those tabs.
class TTabAddingSeriesPage : public TEditorPage {
    Q_OBJECT
public:
    using TEditorPage::TEditorPage;

protected:
    // Adds the tabs (the target is set).
    virtual void AddTabs() = 0;
    // Descendants filling more call this last.
    void FillControls() override;
    void showEvent(QShowEvent* Event) override;

private:
    void AddTabsOnce();
    bool FTabsAdded = false;
};

} // namespace lp
