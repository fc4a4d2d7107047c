#include "chart/editors/series/SeriesDataSourceTab.h"

#include "chart/editors/series/SeriesEditorTabs.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/EditorPageRegistry.h"
#include "chart/editors/data/ChartGrid.h"
#include "chart/editors/data/PlotSourceEdit.h"
#include "chart/editors/series/SeriesPage.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotSeriesSource.h"

#include <QtGui/QIntValidator>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <memory>

namespace lp {

namespace {

// The function page's registered name.
const char* const FunctionPageName = "TPlotFuncEditor";
// Where a source-class entry keeps its class.
constexpr int SourceClassRole = Qt::UserRole + 1;
// The largest sample count one may type.
constexpr int SampleCountLimit = 1000000;

// An instance of a registered source class, to ask it about a chart or a
// series; nullptr when the class cannot be made.
std::unique_ptr<TPlotSeriesSource> MakeSource(const QMetaObject* Class)
{
    QObject* made = Class ? Class->newInstance() : nullptr;
    auto* source = qobject_cast<TPlotSeriesSource*>(made);
    if (!source)
        delete made;
    return std::unique_ptr<TPlotSeriesSource>(source);
}

const QMetaObject* SourceClassAt(const QComboBox* Combo, int Index)
{
    return reinterpret_cast<const QMetaObject*>(Combo->itemData(Index, SourceClassRole).value<quintptr>());
}

} // namespace

TSeriesDataSourceTab::TSeriesDataSourceTab(TFormPlotSeries& Page, QWidget* Tab) : QObject(&Page), FPage(Page)
{
    auto* column = new QVBoxLayout(Tab);
    column->setContentsMargins(2, 2, 2, 2);

    PanTop = TPageBuilder::Named(new QWidget(Tab), "PanTop");
    CBDataSourcestyle = TPageBuilder::Named(new QComboBox(PanTop), "CBDataSourcestyle");
    CBDataSourcestyle->setMaxVisibleItems(12);
    CBDataSourcestyle->setMinimumContentsLength(12);
    NewDataButton = TPageBuilder::Named(new QPushButton(QStringLiteral("&New..."), PanTop), "NewDataButton");
    EditDataButton = TPageBuilder::Named(new QPushButton(QStringLiteral("&Edit..."), PanTop), "EditDataButton");
    DeleteDataButton = TPageBuilder::Named(new QPushButton(QStringLiteral("&Delete"), PanTop), "DeleteDataButton");
    auto* bar = new QHBoxLayout(PanTop);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(CBDataSourcestyle);
    for (QPushButton* button : {NewDataButton, EditDataButton, DeleteDataButton}) {
        bar->addWidget(button);
        button->hide();
    }
    bar->addStretch(1);
    column->addWidget(PanTop);

    Panel2 = TPageBuilder::Named(new QWidget(Tab), "Panel2");
    auto* panel2 = new QVBoxLayout(Panel2);
    panel2->setContentsMargins(0, 0, 0, 0);
    ChartGrid1 = TPageBuilder::Named(new TChartGrid(Panel2), "ChartGrid1");
    ChartGrid1->SetShowColors(true);
    ChartGridNavigator1 = TPageBuilder::Named(new TChartGridNavigator(Panel2), "ChartGridNavigator1");
    ChartGridNavigator1->SetGrid(ChartGrid1);
    // The bar places its buttons itself: the layout keeps its height.
    ChartGridNavigator1->setFixedHeight(ChartGridNavigator1->height());
    ChartGridNavigator1->setMinimumWidth(ChartGridNavigator1->width());
    panel2->addWidget(ChartGrid1, 1);
    panel2->addWidget(ChartGridNavigator1, 0, Qt::AlignLeft);
    column->addWidget(Panel2, 1);

    Panel4 = TPageBuilder::Named(new QWidget(Tab), "Panel4");
    TPageBuilder random(*Panel4);
    ESamples = TPageBuilder::Named(new QLineEdit(Panel4), "ESamples");
    ESamples->setValidator(new QIntValidator(0, SampleCountLimit, ESamples));
    ESamples->setMaximumWidth(ESamples->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
    CBSamplesDefault = random.CheckBox("CBSamplesDefault", QStringLiteral("&Default"));
    BApplyRandom = random.Button("BApplyRandom", QStringLiteral("&Apply"));
    BApplyRandom->setEnabled(false);
    Button3 = random.Button("Button3", QStringLiteral("&Clear"));
    Label2 = random.Row(QStringLiteral("&Number of sample values:"), ESamples, "Label2");
    random.Line({CBSamplesDefault});
    random.Line({BApplyRandom, Button3});
    random.Stretch();
    SetReadingTabOrder(*Panel4);
    column->addWidget(Panel4, 1);
    Panel4->hide();

    connect(CBDataSourcestyle, &QComboBox::activated, this, [this] { StyleChange(); });
    connect(ESamples, &QLineEdit::textChanged, this, [this] { SamplesChanged(); });
    connect(CBSamplesDefault, &QCheckBox::clicked, this, [this](bool Checked) {
        TChartSeries* series = Series();
        if (!Checked || !series)
            return;
        ESamples->setText(QString::number(series->NumSampleValues()));
        CBSamplesDefault->setEnabled(false);
    });
    connect(BApplyRandom, &QPushButton::clicked, this, [this] {
        if (TChartSeries* series = Series()) {
            series->FillSampleValues(series->SampleCount());
            BApplyRandom->setEnabled(false);
        }
    });
    connect(Button3, &QPushButton::clicked, this, [this] { ClearClick(); });
    ChartGrid1->OnSetEditText = [this](int, int) {
        if (TChartSeries* series = ChartGrid1->Series())
            series->RefreshSeries();
    };
}

TChartSeries* TSeriesDataSourceTab::Series() const
{
    return FPage.EditedSeries();
}

void TSeriesDataSourceTab::RefillStyles(TChartSeries* Series)
{
    const QSignalBlocker block(CBDataSourcestyle);
    CBDataSourcestyle->clear();
    CBDataSourcestyle->addItem(QStringLiteral("Manual"), dssManual);
    CBDataSourcestyle->addItem(QStringLiteral("Random"), dssRandom);
    // The function page comes with its own family; until it is registered
    // the entry is not offered.
    if (IsEditorPageRegistered(QString::fromLatin1(FunctionPageName)))
        CBDataSourcestyle->addItem(QStringLiteral("Function"), dssFunction);
    for (const QMetaObject* sourceClass : SeriesSourceClasses()) {
        bool listed = false;
        for (int i = 0; i < CBDataSourcestyle->count(); ++i)
            listed = listed || SourceClassAt(CBDataSourcestyle, i) == sourceClass;
        std::unique_ptr<TPlotSeriesSource> source = MakeSource(sourceClass);
        if (listed || !source || !source->Available(Series ? Series->ParentChart() : nullptr))
            continue;
        CBDataSourcestyle->addItem(source->Description(), dssSource);
        CBDataSourcestyle->setItemData(CBDataSourcestyle->count() - 1,
                                       QVariant::fromValue(reinterpret_cast<quintptr>(sourceClass)), SourceClassRole);
    }
    FShownIndex = -1;
}

void TSeriesDataSourceTab::ResetStyle()
{
    const QSignalBlocker block(CBDataSourcestyle);
    CBDataSourcestyle->setCurrentIndex(-1);
}

int TSeriesDataSourceTab::IndexOfStyle(TDataSourceStyle Style) const
{
    return CBDataSourcestyle->findData(static_cast<int>(Style));
}

TSeriesDataSourceTab::TDataSourceStyle TSeriesDataSourceTab::StyleAt(int Index) const
{
    return static_cast<TDataSourceStyle>(CBDataSourcestyle->itemData(Index).toInt());
}

void TSeriesDataSourceTab::Fill(TChartSeries* Series)
{
    if (!Series)
        return;
    const int remembered = CBDataSourcestyle->currentIndex();
    int chosen = -1;
    TComponent* source = Series->DataSource();
    if (Series->SeriesFunction() || qobject_cast<TChartSeries*>(source)) {
        chosen = IndexOfStyle(dssFunction);
    } else if (!source) {
        chosen = IndexOfStyle(Series->Count() == 0 || Series->ManualData() ? dssManual : dssRandom);
    } else {
        chosen = IndexOfStyle(dssManual);
        for (int i = 0; i < CBDataSourcestyle->count(); ++i) {
            std::unique_ptr<TPlotSeriesSource> probe = MakeSource(SourceClassAt(CBDataSourcestyle, i));
            if (probe && probe->HasSeries(Series)) {
                chosen = i;
                break;
            }
        }
    }
    {
        const QSignalBlocker block(CBDataSourcestyle);
        CBDataSourcestyle->setCurrentIndex(chosen);
    }
    if (chosen != remembered || chosen != FShownIndex)
        ApplyStyle();
}

void TSeriesDataSourceTab::StyleChange()
{
    TChartSeries* series = Series();
    if (!series)
        return;
    // The page being replaced does not ask about its pending changes.
    if (auto* sourcePage = qobject_cast<TBaseSourceEditor*>(FEditor.data()))
        sourcePage->SetPending(false);
    const int index = CBDataSourcestyle->currentIndex();
    if (!MayCloseEditor()) {
        const QSignalBlocker block(CBDataSourcestyle);
        CBDataSourcestyle->setCurrentIndex(FShownIndex);
        return;
    }
    if (index >= 0 && StyleAt(index) == dssManual) {
        RemoveSourceAndFunction(*series);
        series->SetManualData(true);
    } else if (index >= 0 && StyleAt(index) == dssRandom) {
        RemoveSourceAndFunction(*series);
    }
    ApplyStyle();
}

void TSeriesDataSourceTab::RemoveSourceAndFunction(TChartSeries& Series)
{
    if (auto* source = qobject_cast<TPlotSeriesSource*>(Series.DataSource()); source && source->Owner() == &Series) {
        source->SetSeries(nullptr);
        delete source;
        Series.SetDataSource(nullptr);
        Series.Clear();
    }
    // Leaving a function or a source series keeps the points shown: they
    // become the series' own (the source series would otherwise overwrite
    // them at its next change, and the tab would open on "Function").
    Series.BeginUpdate();
    Series.SetFunction(nullptr);
    if (Series.DataSources().Count() > 0) {
        const bool manual = Series.ManualData();
        Series.SetManualData(true);
        Series.DataSources().Clear();
        Series.SetManualData(manual);
    }
    Series.EndUpdate();
}

bool TSeriesDataSourceTab::MayCloseEditor()
{
    return !FEditor || FEditor->MayLeave();
}

void TSeriesDataSourceTab::CloseEditor()
{
    if (FEditor && FEditor->MayLeave())
        delete FEditor.data();
}

bool TSeriesDataSourceTab::ApplyStyle()
{
    if (FEditor) {
        if (!FEditor->MayLeave()) {
            const QSignalBlocker block(CBDataSourcestyle);
            CBDataSourcestyle->setCurrentIndex(FShownIndex);
            return false;
        }
        delete FEditor.data();
    }
    TChartSeries* series = Series();
    const int index = CBDataSourcestyle->currentIndex();
    FShownIndex = index;
    for (QWidget* control : std::initializer_list<QWidget*>{NewDataButton, EditDataButton, DeleteDataButton,
                                                            ChartGrid1, ChartGridNavigator1})
        control->hide();
    Panel4->hide();
    Panel2->show();
    if (!series || index < 0)
        return true;
    switch (StyleAt(index)) {
    case dssManual:
        // The grid listens to the series' chart itself.
        ChartGrid1->SetSeries(series);
        ChartGrid1->show();
        ChartGridNavigator1->show();
        break;
    case dssRandom: {
        Panel2->hide();
        Panel4->show();
        int count = series->SampleCount();
        UpdateSamplesDefault();
        if (count == 0)
            count = series->NumSampleValues();
        const QSignalBlocker block(ESamples);
        ESamples->setText(QString::number(count));
        BApplyRandom->setEnabled(false);
        break;
    }
    case dssFunction:
    case dssSource: {
        QString pageName = QString::fromLatin1(FunctionPageName);
        if (StyleAt(index) == dssSource) {
            std::unique_ptr<TPlotSeriesSource> source = MakeSource(SourceClassAt(CBDataSourcestyle, index));
            pageName = source ? source->EditorClassName() : QString();
        }
        TEditorPage* page = pageName.isEmpty() ? nullptr : CreateEditorPage(pageName, Panel2);
        if (!page)
            break;
        FEditor = page;
        EmbedSeriesTabPage(page, Panel2, series);
        break;
    }
    }
    return true;
}

void TSeriesDataSourceTab::UpdateSamplesDefault()
{
    TChartSeries* series = Series();
    if (!series)
        return;
    const bool isDefault = series->SampleCount() == 0 || series->SampleCount() == series->NumSampleValues();
    CBSamplesDefault->setChecked(isDefault);
    CBSamplesDefault->setEnabled(!isDefault);
}

void TSeriesDataSourceTab::SamplesChanged()
{
    TChartSeries* series = Series();
    // A half-typed count (empty) stores nothing.
    if (!series || !ESamples->hasAcceptableInput())
        return;
    series->SetSampleCount(ESamples->text().toInt());
    UpdateSamplesDefault();
    BApplyRandom->setEnabled(true);
}

void TSeriesDataSourceTab::ClearClick()
{
    TChartSeries* series = Series();
    if (!series)
        return;
    series->Clear();
    {
        const QSignalBlocker block(CBDataSourcestyle);
        CBDataSourcestyle->setCurrentIndex(IndexOfStyle(dssManual));
    }
    StyleChange();
}

} // namespace lp
