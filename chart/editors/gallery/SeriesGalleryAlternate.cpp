#include "chart/editors/gallery/SeriesGalleryAlternate.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/gallery/ChartGalleryPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotRegistry.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace lp {

TPlotGalleryForm::TPlotGalleryForm(QWidget* Parent) : QDialog(Parent), FChart(std::make_unique<TChart>())
{
    setWindowTitle(QStringLiteral("VudEvevu Pro Gallery"));
    auto* layout = new QVBoxLayout(this);

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("Panel1"));
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QStringLiteral("&Gallery:"), top);
    label->setObjectName(QStringLiteral("Label1"));
    CBPage = new QComboBox(top);
    CBPage->setObjectName(QStringLiteral("CBPage"));
    label->setBuddy(CBPage);
    CB3D = new QCheckBox(QStringLiteral("&3D"), top);
    CB3D->setObjectName(QStringLiteral("CB3D"));
    CB3D->setChecked(true);
    CBSmooth = new QCheckBox(QStringLiteral("&Smooth"), top);
    CBSmooth->setObjectName(QStringLiteral("CBSmooth"));
    topRow->addWidget(label);
    topRow->addWidget(CBPage, 1);
    topRow->addWidget(CB3D);
    topRow->addWidget(CBSmooth);
    layout->addWidget(top);

    auto* splitter = new QSplitter(this);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    ChartListBox1 = new TChartListBox(splitter);
    ChartListBox1->setObjectName(QStringLiteral("ChartListBox1"));
    ChartListBox1->AllowAddSeries = false;
    ChartListBox1->AllowDeleteSeries = false;
    ChartListBox1->EnableDragSeries = false;
    ChartListBox1->EnableChangeType = false;
    ChartListBox1->EnableChangeColor = false;
    ChartListBox1->SetColumnVisible(TChartListBox::colActive, false);
    ChartListBox1->SetColumnVisible(TChartListBox::colColor, false);
    ChartListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ChartListBox1->SetChart(FChart.get());
    ChartListBox1->installEventFilter(this);
    ChartGalleryPanel1 = new TChartGalleryPanel(splitter);
    ChartGalleryPanel1->setObjectName(QStringLiteral("ChartGalleryPanel1"));
    ChartGalleryPanel1->setFrameShape(QFrame::StyledPanel);
    splitter->addWidget(ChartListBox1);
    splitter->addWidget(ChartGalleryPanel1);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({170, 400});
    layout->addWidget(splitter, 1);

    auto* bottom = new QWidget(this);
    bottom->setObjectName(QStringLiteral("PanelBottom"));
    auto* bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(0, 0, 0, 0);
    BOK = new QPushButton(QStringLiteral("OK"), bottom);
    BOK->setObjectName(QStringLiteral("BOK"));
    BOK->setDefault(true);
    BCancel = new QPushButton(QStringLiteral("Cancel"), bottom);
    BCancel->setObjectName(QStringLiteral("BCancel"));
    bottomRow->addStretch();
    bottomRow->addWidget(BOK);
    bottomRow->addWidget(BCancel);
    layout->addWidget(bottom);
    resize(600, 400);

    QStringList pages;
    TPlotSeriesTypes* types = PlotSeriesTypes();
    for (int i = 0; types && i < types->Count(); ++i) {
        const TPlotSeriesType* type = types->Items(i);
        if (!type->FunctionClass && !pages.contains(type->GalleryPageText()))
            pages.append(type->GalleryPageText());
    }
    pages.sort();
    CBPage->addItems(pages);
    CBPage->insertItem(0, PlotMsg_All);
    CBPage->setCurrentIndex(std::max(0, CBPage->findText(PlotMsg_GalleryStandard)));
    CBSmooth->setChecked(ReadEditorRegBoolean(QStringLiteral("SmoothGallery"), false));
    ChartGalleryPanel1->SetSmooth(CBSmooth->isChecked());

    connect(BOK, &QPushButton::pressed, this, [this] { ChartGalleryPanel1->LockSelection(); });
    connect(BOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(CBPage, &QComboBox::currentIndexChanged, this, [this] { CBPageChange(); });
    connect(CB3D, &QCheckBox::toggled, this, [this](bool On) { ChartGalleryPanel1->SetView3D(On); });
    connect(CBSmooth, &QCheckBox::toggled, this, [this](bool On) { ChartGalleryPanel1->SetSmooth(On); });
    connect(ChartListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ChartListBox1Click(); });
    ChartGalleryPanel1->OnSelectedChart = [this](TChartGalleryPanel*) { accept(); };
}

TPlotGalleryForm::~TPlotGalleryForm()
{
    ChartListBox1->SetChart(nullptr);
}

void TPlotGalleryForm::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    CBPageChange();
}

void TPlotGalleryForm::CBPageChange()
{
    const bool all = CBPage->currentIndex() <= 0;
    const QString page = CBPage->currentText();
    struct TListed {
        QString Title;
        const QMetaObject* Class;
    };
    std::vector<TListed> listed;
    TPlotSeriesTypes* types = PlotSeriesTypes();
    for (int i = 0; types && i < types->Count(); ++i) {
        const TPlotSeriesType* type = types->Items(i);
        if (type->FunctionClass || !type->SeriesClass || (!all && type->GalleryPageText() != page))
            continue;
        listed.push_back({type->DescriptionText().replace(QLatin1Char('\r'), QLatin1Char(' ')), type->SeriesClass});
    }
    // The list shows the types sorted by name.
    std::stable_sort(listed.begin(), listed.end(), [](const TListed& A, const TListed& B) {
        return QString::localeAwareCompare(A.Title, B.Title) < 0;
    });
    FChart->FreeAllSeries();
    for (const TListed& entry : listed)
        CreateNewSeries(nullptr, FChart.get(), entry.Class)->SetTitle(entry.Title);
    ChartListBox1->RefillList(nullptr);
    ChartListBox1Click();
}

void TPlotGalleryForm::ChartListBox1Click()
{
    TChartSeries* series = ChartListBox1->CurrentSeries();
    if (!series || series->metaObject() == FShownClass)
        return;
    FShownClass = series->metaObject();
    ++FBuilds;
    ChartGalleryPanel1->SetNumRows(3);
    ChartGalleryPanel1->SetDisplaySub(false);
    ChartGalleryPanel1->CreateSubGalleryOf(FShownClass);
}

bool TPlotGalleryForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == ChartListBox1 && Event->type() == QEvent::KeyPress) {
        int key = VirtualKeyOf(static_cast<QKeyEvent*>(Event)->key());
        if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN || key == VK_RETURN) {
            ChartGalleryPanel1->HandleKey(key, ShiftStateOf(static_cast<QKeyEvent*>(Event)->modifiers(), Qt::NoButton));
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

void TPlotGalleryForm::keyPressEvent(QKeyEvent* Event)
{
    int key = VirtualKeyOf(Event->key());
    if (key == VK_ESCAPE) {
        QDialog::keyPressEvent(Event);
        return;
    }
    ChartGalleryPanel1->HandleKey(key, ShiftStateOf(Event->modifiers(), Qt::NoButton));
    if (key != 0)
        QDialog::keyPressEvent(Event);
}

} // namespace lp
