#include "chart/editors/gallery/SeriesGallery.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/gallery/ChartGalleryPanel.h"
#include "chart/editors/gallery/SeriesGalleryAlternate.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotRegistry.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QVBoxLayout>

#include <memory>

namespace lp {

TPlotGallery::TPlotGallery(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("VudEvevu Gallery"));
    auto* layout = new QVBoxLayout(this);
    TabTypes = new QTabBar(this);
    TabTypes->setObjectName(QStringLiteral("TabTypes"));
    TabTypes->addTab(PlotMsg_Series);
    TabTypes->addTab(PlotMsg_Functions);
    TabPages = new QTabBar(this);
    TabPages->setObjectName(QStringLiteral("TabPages"));
    for (QTabBar* bar : {TabTypes, TabPages}) {
        bar->setExpanding(false);
        bar->setAttribute(Qt::WA_Hover);
    }
    ChartGalleryPanel1 = new TChartGalleryPanel(this);
    ChartGalleryPanel1->setObjectName(QStringLiteral("ChartGalleryPanel1"));
    ChartGalleryPanel1->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(TabTypes);
    layout->addWidget(TabPages);
    layout->addWidget(ChartGalleryPanel1, 1);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("P1"));
    auto* row = new QHBoxLayout(bottom);
    row->setContentsMargins(0, 0, 0, 0);
    CB3D = new QCheckBox(QStringLiteral("&3D"), bottom);
    CB3D->setObjectName(QStringLiteral("CB3D"));
    CB3D->setChecked(true);
    CBSmooth = new QCheckBox(QStringLiteral("&Smooth"), bottom);
    CBSmooth->setObjectName(QStringLiteral("CBSmooth"));
    BOk = new QPushButton(QStringLiteral("OK"), bottom);
    BOk->setObjectName(QStringLiteral("BOk"));
    BOk->setDefault(true);
    BCancel = new QPushButton(QStringLiteral("Cancel"), bottom);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    row->addWidget(CB3D);
    row->addWidget(CBSmooth);
    row->addStretch();
    row->addWidget(BOk);
    row->addWidget(BCancel);
    layout->addWidget(bottom);
    resize(500, 380);

    connect(BOk, &QPushButton::pressed, this, [this] { ChartGalleryPanel1->LockSelection(); });
    connect(BOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(TabTypes, &QTabBar::currentChanged, this, [this] {
        if (FShown)
            TabTypesChange();
    });
    connect(TabPages, &QTabBar::currentChanged, this, [this] {
        if (FShown)
            TabPagesChange();
    });
    connect(CB3D, &QCheckBox::toggled, this, [this](bool On) { ChartGalleryPanel1->SetView3D(On); });
    connect(CBSmooth, &QCheckBox::toggled, this, [this](bool On) {
        ChartGalleryPanel1->SetSmooth(On);
        WriteEditorRegBoolean(QStringLiteral("SmoothGallery"), On);
    });
    ChartGalleryPanel1->OnSelectedChart = [this](TChartGalleryPanel*) { accept(); };
}

void TPlotGallery::RemoveFunctionsTab()
{
    if (TabTypes->count() > 1)
        TabTypes->removeTab(1);
    ChartGalleryPanel1->FunctionGallery = false;
}

void TPlotGallery::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (FShown)
        return;
    {
        const QSignalBlocker blocker(CBSmooth);
        CBSmooth->setChecked(ChartGalleryPanel1->Smooth());
    }
    FShown = true;
    TabTypes->setCurrentIndex(0);
    TabTypesChange();
}

void TPlotGallery::TabTypesChange()
{
    const bool functions = TabTypes->currentIndex() == 1;
    const QSignalBlocker blocker(TabPages);
    while (TabPages->count() > 0)
        TabPages->removeTab(0);
    QStringList pages;
    TPlotSeriesTypes* types = PlotSeriesTypes();
    for (int i = 0; types && i < types->Count(); ++i) {
        const TPlotSeriesType* type = types->Items(i);
        if (type->NumGallerySeries < 1 || (type->FunctionClass != nullptr) != functions)
            continue;
        const QString page = type->GalleryPageText();
        if (!pages.contains(page))
            pages.append(page);
    }
    if (const int standard = pages.indexOf(PlotMsg_GalleryStandard); standard > 0)
        pages.move(standard, 0);
    for (const QString& page : pages)
        TabPages->addTab(page);
    // The bar was laid out empty: place it again for its tabs.
    TabPages->updateGeometry();
    layout()->activate();
    TabPages->setCurrentIndex(0);
    TabPagesChange();
}

void TPlotGallery::TabPagesChange()
{
    ChartGalleryPanel1->FunctionGallery = TabTypes->currentIndex() == 1;
    ChartGalleryPanel1->SetView3D(CB3D->isChecked());
    if (TabPages->currentIndex() < 0)
        ChartGalleryPanel1->ClearCharts();
    else
        ChartGalleryPanel1->CreateGalleryPage(TabPages->tabText(TabPages->currentIndex()));
}

namespace {

void CenterOn(QDialog& Form, QWidget* Owner)
{
    if (Owner && Owner->window())
        Form.move(Owner->window()->geometry().center() - QPoint(Form.width() / 2, Form.height() / 2));
}

bool TakeChoice(const TChartGalleryPanel& Panel, bool Checked3D, bool& Is3D, TGalleryChoice& Choice)
{
    if (!Panel.GetSeriesClass(Choice.SeriesClass, Choice.FunctionClass, Choice.SubIndex))
        return false;
    Is3D = Checked3D && Panel.SelectedChart()->View3D();
    return true;
}

} // namespace

bool ShowGallery(QWidget* Owner, TChartSeries* Reference, bool ShowFunctions, bool& Is3D, bool CheckValidity,
                 TGalleryChoice& Choice)
{
    if (GalleryMode() != 0) {
        TPlotGalleryForm form(Owner);
        CenterOn(form, Owner);
        form.CB3D->setChecked(Is3D);
        if (form.exec() != QDialog::Accepted)
            return false;
        return TakeChoice(*form.ChartGalleryPanel1, form.CB3D->isChecked(), Is3D, Choice);
    }
    TPlotGallery form(Owner);
    CenterOn(form, Owner);
    form.CB3D->setChecked(Is3D);
    form.ChartGalleryPanel1->ReferenceSeries = Reference;
    if (!ShowFunctions)
        form.RemoveFunctionsTab();
    form.ChartGalleryPanel1->CheckValidity = CheckValidity;
    if (form.exec() != QDialog::Accepted)
        return false;
    return TakeChoice(*form.ChartGalleryPanel1, form.CB3D->isChecked(), Is3D, Choice);
}

TChartSeries* CreateGallerySeries(QWidget* Owner, TChartSeries* Series, TCustomAxisPanel* Chart, int& SubIndex,
                                  bool CheckValidity, bool ShowFunctions, bool* Accepted)
{
    SubIndex = -1;
    if (Accepted)
        *Accepted = false;
    if (!Chart)
        return nullptr;
    bool is3D = Chart->View3D();
    TGalleryChoice choice;
    if (!ShowGallery(Owner, Series, ShowFunctions, is3D, CheckValidity, choice))
        return nullptr;
    if (Accepted)
        *Accepted = true;
    Chart->SetView3D(is3D);
    SubIndex = choice.SubIndex;
    // The series' own type without a style changes nothing.
    if (Series && !ShowFunctions && choice.SeriesClass == Series->metaObject() && choice.SubIndex == -1)
        return nullptr;
    TComponent* owner = Series ? Series->Owner() : Chart->Owner();
    std::unique_ptr<TChartSeries> made(CreateNewSeries(owner, Chart, choice.SeriesClass, choice.FunctionClass));
    if (choice.SubIndex >= 0)
        made->SetSubGallery(choice.SubIndex);
    return made.release();
}

namespace {

TChartSeries* AddFromGalleryEntry(QWidget* Owner, TCustomAxisPanel* Chart, TChartSeries* Series)
{
    int subIndex = -1;
    return Chart ? CreateGallerySeries(Owner, Series, Chart, subIndex, false, true) : nullptr;
}

const QMetaObject* ChangeTypeEntry(QWidget* Owner, TChartSeries*& Series)
{
    if (!Series)
        return nullptr;
    int subIndex = -1;
    bool accepted = false;
    TCustomAxisPanel* chart = Series->ParentChart();
    const bool was3D = chart && chart->View3D();
    TChartSeries* made = CreateGallerySeries(Owner, Series, chart, subIndex, true, false, &accepted);
    if (made) {
        TDroppedSourceLinks dropped;
        try {
            dropped = ReplaceSeries(Series, made);
        } catch (...) {
            // The series stays as it was (ReplaceSeries freed the new
            // one), and so does the chart's 3-D view the gallery set.
            chart->SetView3D(was3D);
            throw;
        }
        if (subIndex >= 0)
            Series->SetSubGallery(subIndex);
        ShowDroppedSourceLinks(dropped);
    }
    // A cancelled gallery chose no type for the other selected series.
    return accepted ? Series->metaObject() : nullptr;
}

} // namespace

void InstallGalleryHooks()
{
    AddFromGalleryHook() = &AddFromGalleryEntry;
    ChangeTypeHook() = &ChangeTypeEntry;
}

void RemoveGalleryHooks()
{
    using TAdd = TChartSeries* (*)(QWidget*, TCustomAxisPanel*, TChartSeries*);
    using TChange = const QMetaObject* (*)(QWidget*, TChartSeries*&);
    if (const TAdd* filled = AddFromGalleryHook().target<TAdd>(); filled && *filled == &AddFromGalleryEntry)
        AddFromGalleryHook() = nullptr;
    if (const TChange* filled = ChangeTypeHook().target<TChange>(); filled && *filled == &ChangeTypeEntry)
        ChangeTypeHook() = nullptr;
}

} // namespace lp
