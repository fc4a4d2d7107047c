#pragma once

// The series page hosting one series' own "Format" page, as the full editor
// and the Graphic editor show it.

#include "chart/editors/series/SeriesPage.h"

#include <QtCore/QStringList>
#include <QtWidgets/QTabWidget>

namespace lp::test {

// The captions of the series page's tabs, in order.
inline QStringList SeriesPageTabs(const TFormPlotSeries& Host)
{
    QStringList captions;
    for (int i = 0; i < Host.PageSeries->count(); ++i)
        captions.append(Host.PageSeries->tabText(i));
    return captions;
}

// The series page shown on Series at the size it opens, and its "Format"
// page of class TPage (null when the series shows another page).
template <class TPage>
struct THostedSeriesPage {
    explicit THostedSeriesPage(TChartSeries* Series)
    {
        Host.SetTarget(Series);
        Host.show();
        Page = qobject_cast<TPage*>(Host.SeriesEditor());
    }
    QStringList Tabs() const { return SeriesPageTabs(Host); }
    // Hides and shows the "Format" page again and refills it, as a user
    // going back to it does; the tabs it adds must not come twice.
    void ShowAgain()
    {
        Page->hide();
        Page->show();
        Page->Refresh();
    }
    TFormPlotSeries Host;
    TPage* Page = nullptr;
};

} // namespace lp::test
