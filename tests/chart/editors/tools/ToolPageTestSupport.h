#pragma once
// What the tool page tests share: a chart with tools and series, a page
// shown on a tool, and answers for the file dialogs.

#include "../EditorTestSupport.h"
#include "DialogTestUtil.h"
#include "chart/editors/EditorPage.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTools.h"
#include "platform/ui/Dialogs.h"

#include <QtTest/QTest>
#include <QtWidgets/QComboBox>

#include <memory>
#include <optional>

namespace lp::test {

// A tool of class TTool on Chart (owned by the chart).
template <class TTool>
TTool* AddChartTool(TEditorChart& Chart)
{
    auto* tool = new TTool(&Chart);
    tool->SetParentChart(&Chart);
    return tool;
}

// A series of class TSeries on Chart with sample values.
template <class TSeries = TLineSeries>
TSeries* AddSampleSeries(TEditorChart& Chart, const QString& Title = {})
{
    auto* series = new TSeries(&Chart);
    Chart.AddSeries(series);
    series->FillSampleValues(8);
    if (!Title.isEmpty())
        series->SetTitle(Title);
    return series;
}

// A page of class TPage shown on Target.
template <class TPage>
std::unique_ptr<TPage> ShowToolPage(QObject* Target)
{
    auto page = std::make_unique<TPage>();
    page->SetTarget(Target);
    page->show();
    return page;
}

// Picks entry Index of Combo as a user does: from the keyboard.
inline void PickEntry(QComboBox* Combo, int Index)
{
    Combo->setFocus();
    for (int step = 0; step <= Combo->count() && Combo->currentIndex() < Index; ++step)
        QTest::keyClick(Combo, Qt::Key_Down);
    for (int step = 0; step <= Combo->count() && Combo->currentIndex() > Index; ++step)
        QTest::keyClick(Combo, Qt::Key_Up);
}

// Replaces the open and save file dialogs while alive: each answers with
// its file name (nullopt = Cancel) and counts its calls.
class TFileDialogAnswers {
public:
    std::optional<QString> OpenAnswer;
    std::optional<QString> SaveAnswer;
    int Opens = 0;
    int Saves = 0;
    TSaveDialogRequest LastSave;

    TFileDialogAnswers()
    {
        CommonDialogService().ExecuteOpen = [this](TOpenDialogRequest& Request) {
            ++Opens;
            if (!OpenAnswer)
                return false;
            Request.FileName = *OpenAnswer;
            return true;
        };
        CommonDialogService().ExecuteSave = [this](TSaveDialogRequest& Request) {
            ++Saves;
            LastSave = Request;
            if (!SaveAnswer)
                return false;
            Request.FileName = *SaveAnswer;
            return true;
        };
    }
    ~TFileDialogAnswers() { ResetCommonDialogService(); }
};

// Counts the messages shown while alive, answering OK.
class TMessageCounter {
public:
    int Count = 0;
    TMessageCounter()
    {
        MessageService() = [this](const TMessageRequest&) {
            ++Count;
            return static_cast<int>(mrOk);
        };
    }
    ~TMessageCounter() { ResetMessageService(); }
};

} // namespace lp::test
