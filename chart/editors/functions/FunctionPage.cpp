#include "chart/editors/functions/FunctionPage.h"

#include "chart/canvas/PlotConst.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/data/PlotSelectList.h"
#include "chart/editors/functions/FunctionEditorBase.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/ClassRegistry.h"

#include <QtCore/QTimer>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>

#include <algorithm>

namespace lp {

namespace {

QVariant ClassData(TPlotFunctionClass Class)
{
    return QVariant::fromValue(reinterpret_cast<quintptr>(Class));
}

// The series' function when it is exactly of Class.
TPlotFunction* FunctionOfClass(const TChartSeries* Series, TPlotFunctionClass Class)
{
    TPlotFunction* function = Series ? Series->SeriesFunction() : nullptr;
    return function && Class && function->metaObject() == Class ? function : nullptr;
}

// Keeps the series' updates suspended for a scope, also when it throws.
class TSeriesUpdate {
public:
    explicit TSeriesUpdate(TChartSeries& Series) : FSeries(Series) { FSeries.BeginUpdate(); }
    ~TSeriesUpdate() { FSeries.EndUpdate(); }
    TSeriesUpdate(const TSeriesUpdate&) = delete;
    TSeriesUpdate& operator=(const TSeriesUpdate&) = delete;

private:
    TChartSeries& FSeries;
};

} // namespace

TPlotFuncEditor::TPlotFuncEditor(QWidget* Parent) : TBaseSourceEditor(Parent)
{
    LLabel->setText(QStringLiteral("&Functions:"));
    FillFunctionTypes();

    PageControl1 = TPageBuilder::Named(new QTabWidget(Body), "PageControl1");
    TabSource = TPageBuilder::Named(new QWidget, "TabSource");
    TabOptions = TPageBuilder::Named(new QWidget, "TabOptions");
    PageControl1->addTab(TabSource, QStringLiteral("Source Series"));
    PageControl1->addTab(TabOptions, QStringLiteral("Options"));
    auto* bodyLayout = new QVBoxLayout(Body);
    bodyLayout->setContentsMargins(4, 4, 4, 4);
    bodyLayout->addWidget(PageControl1);
    auto* optionsLayout = new QVBoxLayout(TabOptions);
    optionsLayout->setContentsMargins(0, 0, 0, 0);

    PanSingle = TPageBuilder::Named(new QWidget(TabSource), "PanSingle");
    TPageBuilder single(*PanSingle);
    CBSingle = TPageBuilder::Named(new QComboBox, "CBSingle");
    CBSingle->setMinimumContentsLength(16);
    Label1 = single.Row(QStringLiteral("&Series:"), CBSingle, "Label1");
    CBValues = TPageBuilder::Named(new QComboBox, "CBValues");
    CBValues->setEnabled(false);
    LValues = single.Row(QStringLiteral("&Values:"), CBValues, "LValues");
    BNone = single.Button("BNone", QStringLiteral("&None"));
    BNone->setEnabled(false);
    single.Line({BNone});
    single.Stretch();

    FSelectList = TPageBuilder::Named(new TSelectListForm(TabSource), "SelectList");
    FSelectList->OnChange = [this] { SetPending(true); };
    auto* sourceLayout = new QVBoxLayout(TabSource);
    sourceLayout->setContentsMargins(0, 0, 0, 0);
    sourceLayout->addWidget(PanSingle);
    sourceLayout->addWidget(FSelectList);

    Timer1 = TPageBuilder::Named(new QTimer(this), "Timer1");
    Timer2 = TPageBuilder::Named(new QTimer(this), "Timer2");
    for (QTimer* timer : {Timer1, Timer2}) {
        timer->setInterval(1);
        timer->setSingleShot(true);
    }
    // Clearing the current page first makes the tab widget show the page
    // again even when it already is the current one.
    connect(Timer1, &QTimer::timeout, this, [this] {
        PageControl1->setCurrentIndex(-1);
        PageControl1->setCurrentWidget(TabOptions);
    });
    connect(Timer2, &QTimer::timeout, this, [this] {
        PageControl1->setCurrentIndex(-1);
        PageControl1->setCurrentWidget(TabSource);
    });

    connect(CBSources, &QComboBox::activated, this, [this] { CBSourcesChange(); });
    connect(CBSingle, &QComboBox::activated, this, [this] { CBSingleChange(); });
    connect(CBValues, &QComboBox::activated, this, [this] { SetPending(true); });
    connect(BNone, &QPushButton::clicked, this, [this] { BNoneClick(); });
    SetReadingTabOrder(*this);
}

TPlotFuncEditor::~TPlotFuncEditor()
{
    FDestroying = true;
    StopListening();
    // The form edits the detached function: it goes first.
    delete FFunctionEditor.data();
}

void TPlotFuncEditor::FillFunctionTypes()
{
    struct TEntry {
        QString Text;
        TPlotFunctionClass Class;
    };
    std::vector<TEntry> entries{{PlotMsg_Copy, nullptr}};
    for (int i = 0; i < PlotSeriesTypes()->Count(); ++i) {
        const TPlotSeriesType* type = PlotSeriesTypes()->Items(i);
        if (!type->FunctionClass || type->SeriesClass)
            continue;
        const bool known = std::any_of(entries.begin(), entries.end(),
                                       [type](const TEntry& Entry) { return Entry.Class == type->FunctionClass; });
        if (!known)
            entries.push_back({type->DescriptionText().replace(QChar(13), QLatin1Char(' ')), type->FunctionClass});
    }
    // A sorted list, as the type names are looked for by eye.
    std::stable_sort(entries.begin(), entries.end(), [](const TEntry& A, const TEntry& B) {
        return QString::compare(A.Text, B.Text, Qt::CaseInsensitive) < 0;
    });
    CBSources->clear();
    for (const TEntry& entry : entries)
        CBSources->addItem(entry.Text, ClassData(entry.Class));
}

TPlotFunctionClass TPlotFuncEditor::SelectedFunctionClass() const
{
    if (CBSources->currentIndex() < 0)
        return nullptr;
    return reinterpret_cast<TPlotFunctionClass>(CBSources->currentData().value<quintptr>());
}

TChartSeries* TPlotFuncEditor::Candidate(const QVariant& Data) const
{
    bool ok = false;
    const int index = Data.toInt(&ok);
    if (!ok || index < 0 || index >= static_cast<int>(FCandidates.size()))
        return nullptr;
    return FCandidates[static_cast<size_t>(index)].data();
}

void TPlotFuncEditor::showEvent(QShowEvent* Event)
{
    const bool first = Creating();
    TBaseSourceEditor::showEvent(Event);
    if (!first)
        return;
    PageControl1->setCurrentWidget(TabSource);
    // A series without function and source is new: it has yet to be given
    // what the page shows.
    if (TChartSeries* series = TheSeries())
        SetPending(!series->SeriesFunction() && !series->DataSource());
    FSelectList->EnableButtons();
}

void TPlotFuncEditor::FillControls()
{
    TChartSeries* series = TheSeries();
    if (!series)
        return;
    Listen();
    SelectCurrentFunction();
    ShowFunctionType(SelectedFunctionClass());
    FillSources();
}

void TPlotFuncEditor::SelectCurrentFunction()
{
    TPlotFunction* function = TheSeries()->SeriesFunction();
    const TPlotFunctionClass current = function ? function->metaObject() : nullptr;
    int index = CBSources->findData(ClassData(current));
    if (index < 0)
        index = CBSources->findData(ClassData(nullptr));
    CBSources->setCurrentIndex(index);
}

void TPlotFuncEditor::FillSources()
{
    TChartSeries* series = TheSeries();
    FCandidates.clear();
    CBSingle->clear();
    FSelectList->FromList()->clear();
    FSelectList->ToList()->clear();
    if (!series)
        return;
    auto addCandidate = [this](TChartSeries* Each) {
        FCandidates.emplace_back(Each);
        return static_cast<int>(FCandidates.size()) - 1;
    };
    const TCustomAxisPanel* chart = series->ParentChart();
    if (TComponent* owner = series->Owner()) {
        for (int i = 0; i < owner->ComponentCount(); ++i) {
            auto* each = qobject_cast<TChartSeries*>(owner->Components(i));
            if (!each || (chart ? !chart->IsValidDataSource(series, each) : each == series))
                continue;
            const int index = addCandidate(each);
            CBSingle->addItem(SeriesTitleOrName(each), index);
            if (series->DataSources().IndexOf(each) < 0) {
                auto* item = new QListWidgetItem(SeriesTitleOrName(each), FSelectList->FromList());
                item->setData(Qt::UserRole, index);
            }
        }
    }
    for (int i = 0; i < series->DataSources().Count(); ++i) {
        auto* source = qobject_cast<TChartSeries*>(series->DataSources()[i]);
        if (!source)
            continue;
        const auto known = std::find(FCandidates.begin(), FCandidates.end(), source);
        const int index = known != FCandidates.end() ? static_cast<int>(known - FCandidates.begin())
                                                     : addCandidate(source);
        auto* item = new QListWidgetItem(SeriesTitleOrName(source), FSelectList->ToList());
        item->setData(Qt::UserRole, index);
    }

    const bool changing = FChanging;
    FChanging = true;
    auto* single = qobject_cast<TChartSeries*>(series->DataSource());
    const auto singleAt = std::find(FCandidates.begin(), FCandidates.end(), single);
    const int singleIndex =
        single && singleAt != FCandidates.end() ? CBSingle->findData(int(singleAt - FCandidates.begin())) : -1;
    CBSingle->setCurrentIndex(PanSingle->isVisibleTo(TabSource) ? singleIndex : -1);
    CBSingleChange();
    if (CBSingle->currentIndex() >= 0) {
        const QString valueSource = series->MandatoryValues()->ValueSource();
        const int valueIndex = valueSource.isEmpty() ? 0 : CBValues->findText(valueSource);
        CBValues->setCurrentIndex(std::max(valueIndex, 0));
    }
    FChanging = changing;
    FSelectList->EnableButtons();
}

void TPlotFuncEditor::CBSourcesChange()
{
    SetPending(true);
    ShowFunctionType(SelectedFunctionClass());
}

TPlotFunction* TPlotFuncEditor::FunctionToEdit(TPlotFunctionClass Class)
{
    if (TPlotFunction* own = FunctionOfClass(TheSeries(), Class)) {
        FDraft.reset();
        return own;
    }
    if (FDraft && FDraft->metaObject() == Class)
        return FDraft.get();
    std::unique_ptr<TPersistent> made = CreateObject(TPersistent::ClassNameOf(*Class));
    auto* function = qobject_cast<TPlotFunction*>(made.get());
    if (!function)
        throw ChartException(QStringLiteral("%1 is not a function class").arg(TPersistent::ClassNameOf(*Class)));
    made.release();
    // The form may edit the old detached function: it lets go first.
    if (FFunctionEditor)
        FFunctionEditor->SetTarget(nullptr);
    FDraft.reset(function);
    return function;
}

void TPlotFuncEditor::ShowFunctionType(TPlotFunctionClass Class)
{
    const int optionsIndex = PageControl1->indexOf(TabOptions);
    const int sourceIndex = PageControl1->indexOf(TabSource);
    PageControl1->setTabVisible(optionsIndex, Class != nullptr);
    bool noSource = false;
    if (Class) {
        TPlotFunction* function = FunctionToEdit(Class);
        noSource = function->NoSourceRequired();
        const bool single = !noSource && function->SingleSource();
        PanSingle->setVisible(single);
        if (single) {
            LValues->setVisible(!function->FixedValueLists());
            CBValues->setVisible(!function->FixedValueLists());
        }
        const QString editorName = function->GetEditorClassName();
        if (editorName.isEmpty()) {
            PageControl1->setTabVisible(optionsIndex, false);
            ShowFunctionEditor({});
        } else {
            if (FEditorClass != Class)
                ShowFunctionEditor(editorName);
            FEditorClass = Class;
            if (FFunctionEditor && FFunctionEditor->Target() != function)
                FFunctionEditor->SetTarget(function);
            else if (FFunctionEditor)
                FFunctionEditor->Refresh();
        }
        if (noSource) {
            PageControl1->setTabVisible(optionsIndex, true);
            PageControl1->setCurrentWidget(TabOptions);
        }
        PageControl1->setTabVisible(sourceIndex, !noSource);
        if ((TheSeries()->DataSource() || noSource) && FFunctionEditor)
            Timer1->start();
    } else {
        PageControl1->setTabVisible(sourceIndex, true);
        PanSingle->setVisible(false);
        ShowFunctionEditor({});
        FDraft.reset();
    }
    const bool many = !PanSingle->isVisibleTo(TabSource);
    FSelectList->setVisible(many);
    if (many && !noSource)
        Timer2->start();
}

void TPlotFuncEditor::ShowFunctionEditor(const QString& EditorClassName)
{
    delete FFunctionEditor.data();
    FEditorClass = nullptr;
    if (EditorClassName.isEmpty())
        return;
    // A type whose editor is not registered shows an empty "Options" tab.
    TEditorPage* editor = CreateEditorPage(EditorClassName, TabOptions);
    if (!editor)
        return;
    if (auto* form = qobject_cast<TBaseFunctionEditor*>(editor))
        form->SetFunctionPage(this);
    EmbedEditorPage(editor, TabOptions);
    TabOptions->layout()->addWidget(editor);
    FFunctionEditor = editor;
}

void TPlotFuncEditor::CBSingleChange()
{
    if (!FChanging)
        SetPending(true);
    CBValues->clear();
    const bool chosen = CBSingle->currentIndex() >= 0;
    CBValues->setEnabled(chosen);
    BNone->setEnabled(chosen);
    if (!chosen)
        return;
    if (TChartSeries* source = Candidate(CBSingle->currentData())) {
        // The first list holds the positions: it is not a value to compute.
        const TChartValueLists& lists = source->ValuesList();
        for (int i = 1; i < lists.Count(); ++i)
            CBValues->addItem(lists[i]->Name());
    }
    CBValues->setCurrentIndex(CBValues->count() > 0 ? 0 : -1);
}

void TPlotFuncEditor::BNoneClick()
{
    CBSingle->setCurrentIndex(-1);
    CBSingleChange();
}

std::vector<TChartSeries*> TPlotFuncEditor::ChosenSources() const
{
    std::vector<TChartSeries*> sources;
    if (PanSingle->isVisibleTo(TabSource)) {
        if (TChartSeries* source = Candidate(CBSingle->currentData()); source && CBSingle->currentIndex() >= 0)
            sources.push_back(source);
        return sources;
    }
    QListWidget* chosen = FSelectList->ToList();
    for (int i = 0; i < chosen->count(); ++i)
        if (TChartSeries* source = Candidate(chosen->item(i)->data(Qt::UserRole)))
            sources.push_back(source);
    return sources;
}

void TPlotFuncEditor::SetFunctionType(TPlotFunctionClass Class)
{
    TChartSeries* series = TheSeries();
    if (!Class) {
        if (series->SeriesFunction())
            series->SetFunction(nullptr);
        return;
    }
    if (FunctionOfClass(series, Class))
        return;
    TPlotFunction* function = FunctionToEdit(Class);
    if (series->SeriesFunction())
        series->SetFunction(nullptr);
    // The detached function joins the series' owner as a function made
    // for the series would.
    if (TComponent* owner = series->Owner()) {
        owner->InsertComponent(function);
        function->SetName(GetUniqueComponentName(owner, QStringLiteral("PlotFunction")));
    }
    FDraft.release();
    // The form stores its settings and attaches the function; without a
    // form the function is attached here.
    if (FFunctionEditor)
        FFunctionEditor->ApplyEdits();
    if (series->SeriesFunction() != function)
        series->SetFunction(function);
}

void TPlotFuncEditor::ApplyChanges()
{
    TChartSeries* series = TheSeries();
    if (!series)
        return;
    // Everything that may refuse is asked before anything changes.
    const std::vector<TChartSeries*> sources = ChosenSources();
    for (TChartSeries* source : sources)
        series->CheckOtherSeries(source);
    if (auto* form = qobject_cast<TBaseFunctionEditor*>(FFunctionEditor.data()))
        form->CheckSettings();
    const TPlotFunctionClass chosen = SelectedFunctionClass();
    const bool keepsFunction = chosen && FunctionOfClass(series, chosen);
    // A type that makes its points itself keeps no source: the hidden
    // source tab could not show one.
    const bool needsNoSource = chosen && FunctionToEdit(chosen)->NoSourceRequired();
    {
        TSeriesUpdate update(*series);
        if (needsNoSource) {
            series->SetDataSource(nullptr);
        } else if (PanSingle->isVisibleTo(TabSource)) {
            series->SetDataSource(sources.empty() ? nullptr : sources.front());
            series->MandatoryValues()->SetValueSource(sources.empty() || CBValues->currentIndex() < 0
                                                          ? QString()
                                                          : CBValues->currentText());
        } else if (!sources.empty()) {
            series->DataSources().Clear();
            for (TChartSeries* source : sources)
                series->DataSources().Add(source);
        } else {
            series->SetDataSource(nullptr);
        }
        if (keepsFunction && FFunctionEditor)
            FFunctionEditor->ApplyEdits();
        SetFunctionType(chosen);
    }
    series->CheckDataSource();
    SetPending(false);
}

void TPlotFuncEditor::Listen()
{
    TCustomAxisPanel* chart = TheSeries() ? TheSeries()->ParentChart() : nullptr;
    if (chart == FListened.data())
        return;
    StopListening();
    FListened = chart;
    if (chart)
        chart->Listeners().Add(this);
}

void TPlotFuncEditor::StopListening()
{
    if (FListened)
        FListened->RemoveListener(this);
    FListened = nullptr;
}

void TPlotFuncEditor::PlotEvent(TPlotEvent& Event)
{
    auto* seriesEvent = dynamic_cast<TPlotSeriesEvent*>(&Event);
    if (FDestroying || !seriesEvent ||
        (seriesEvent->Event != seAdd && seriesEvent->Event != seRemove && seriesEvent->Event != seSwap))
        return;
    if (seriesEvent->Series == TheSeries()) {
        // The edited series itself moved or went: what the page shows is
        // filled again from it, and nothing stays pending.
        SetPending(false);
        return;
    }
    // A series may be half destroyed while it is removed: the lists are
    // filled again once the event is over.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!FDestroying)
                FillSources();
        },
        Qt::QueuedConnection);
}

} // namespace lp
