#include "chart/editors/series/SeriesPage.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/axis/FormatEditor.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/editors/series/CustomSeriesEditor.h"
#include "chart/editors/series/SeriesDataSourceTab.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/series/SeriesMarksTab.h"
#include "chart/editors/UnkeptSettings.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotEngine.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PainterDC.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>

#include <algorithm>
#include <vector>

namespace lp {

namespace {

// The depth's up-down range; -1 is "Auto".
constexpr int SeriesDepthLimit = 1200;
// The six standard axes come first in a chart's axes list.
constexpr int FirstCustomAxisIndex = 6;
// The fixed items of the axis combos before the custom axes.
constexpr int FixedAxisItems = 3;

} // namespace

// --- TSeriesColorBox -------------------------------------------------------------------------------

TSeriesColorBox::TSeriesColorBox(QWidget* Parent) : QWidget(Parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setFixedWidth(20);
}

void TSeriesColorBox::paintEvent(QPaintEvent*)
{
    if (!Series)
        return;
    QImage image(width(), height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(palette().color(QPalette::Window));
    {
        TPainterDC dc(image);
        TCanvas canvas(&dc);
        canvas.Brush().SetStyle(TBrush::bsSolid);
        canvas.Brush().SetColor(ColorToRGB(clBtnFace));
        const TRect box{0, 4, width(), height() - 4};
        canvas.FillRect(box);
        PaintSeriesLegend(Series, &canvas, box, qobject_cast<TCustomChart*>(Series->ParentChart()));
    }
    QPainter painter(this);
    painter.drawImage(0, 0, image);
    if (hasFocus())
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TSeriesColorBox::EditColorClick()
{
    if (!Series)
        return;
    TColor color = Series->SeriesColor();
    if (EditColorDialog(this, color)) {
        Series->SetSeriesColor(color);
        update();
    }
}

void TSeriesColorBox::mouseReleaseEvent(QMouseEvent* Event)
{
    if (rect().contains(Event->position().toPoint()))
        EditColorClick();
}

void TSeriesColorBox::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Space)
        EditColorClick();
    else
        QWidget::keyPressEvent(Event);
}

// --- TFormPlotSeries -------------------------------------------------------------------------------

TFormPlotSeries::TFormPlotSeries(QWidget* Parent) : TEditorPage(Parent), FOwnList(new TSeriesListModel(this))
{
    setWindowTitle(QStringLiteral("Series"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->addWidget(BuildTopBar());

    PageSeries = TPageBuilder::WideTabs(this, "PageSeries");
    TheTabSheet = TPageBuilder::Named(new QWidget(PageSeries), "TheTabSheet");
    AddFillingLayout(TheTabSheet);
    PageSeries->addTab(TheTabSheet, QStringLiteral("Format"));
    TabGeneral = BuildGeneralTab();
    PageSeries->addTab(TabGeneral, QStringLiteral("General"));
    TabMarks = TPageBuilder::Named(new QWidget(PageSeries), "TabMarks");
    PageSeries->addTab(TabMarks, QStringLiteral("Marks"));
    TabDataSource = TPageBuilder::Named(new QWidget(PageSeries), "TabDataSource");
    PageSeries->addTab(TabDataSource, QStringLiteral("Data Source"));
    column->addWidget(PageSeries, 1);
    MarksTab = new TSeriesMarksTab(*this, TabMarks);
    DataSourceTab = new TSeriesDataSourceTab(*this, TabDataSource);
    PageSeries->setCurrentWidget(TheTabSheet);
    FCurrentTab = TheTabSheet;
    SetReadingTabOrder(*TabGeneral);

    BindGeneralTab();
    connect(PageSeries, &QTabWidget::currentChanged, this, &TFormPlotSeries::TabChanged);
    connect(CBSeries, &QComboBox::activated, this, [this] { CBSeriesChange(); });
    connect(CBPersistent, &QCheckBox::clicked, this, [this](bool Checked) {
        if (TChartSeries* series = EditedSeries(); series && CanWrite())
            series->SetStyle(Checked ? series->Style() | SeriesFlagPersistent
                                     : series->Style() & ~SeriesFlagPersistent);
    });
}

TFormPlotSeries::~TFormPlotSeries()
{
    FDestroying = true;
    RemoveSeriesEditor();
    if (FListened && !FListened->IsDestroying())
        FListened->Listeners().Remove(this);
}

QWidget* TFormPlotSeries::BuildTopBar()
{
    PanelTop = TPageBuilder::Named(new QWidget(this), "PanelTop");
    CBSeries = TPageBuilder::Named(new QComboBox(PanelTop), "CBSeries");
    CBSeries->setMaxVisibleItems(16);
    CBSeries->setMinimumContentsLength(14);
    CBSeries->setModel(FOwnList);
    ImageSeries = TPageBuilder::Named(new QLabel(PanelTop), "ImageSeries");
    ImageSeries->setFixedSize(24, 24);
    ImageSeries->setAlignment(Qt::AlignCenter);
    LabelSeriesClass = TPageBuilder::Named(new QLabel(PanelTop), "LabelSeriesClass");
    LabelSeriesClass->setTextFormat(Qt::PlainText);
    PanelRight = TPageBuilder::Named(new QWidget(PanelTop), "PanelRight");
    PaintBox1 = TPageBuilder::Named(new TSeriesColorBox(PanelRight), "PaintBox1");
    CBPersistent = TPageBuilder::Named(new QCheckBox(QStringLiteral("Persistent"), PanelRight), "CBPersistent");
    CBPersistent->hide();
    auto* right = new QHBoxLayout(PanelRight);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(CBPersistent);
    right->addWidget(PaintBox1);
    auto* bar = new QHBoxLayout(PanelTop);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->addWidget(CBSeries);
    bar->addWidget(ImageSeries);
    bar->addWidget(LabelSeriesClass, 1);
    bar->addWidget(PanelRight);
    return PanelTop;
}

QWidget* TFormPlotSeries::BuildGeneralTab()
{
    auto* tab = TPageBuilder::Named(new QWidget(PageSeries), "TabGeneral");
    TPageBuilder build(*tab);

    GB5 = TPageBuilder::Named(new QGroupBox(QStringLiteral("General:"), tab), "GB5");
    TPageBuilder general(*GB5);
    CBShowInLegend = general.CheckBox("CBShowInLegend", QStringLiteral("&Show In Legend"));
    CBShowInLegend->setChecked(true);
    CBCursor = TPageBuilder::Named(new QComboBox(GB5), "CBCursor");
    UDDepth = general.SpinBox("UDDepth", 0, SeriesDepthLimit);
    CBDepth = general.CheckBox("CBDepth", QStringLiteral("Auto"));
    general.Full(CBShowInLegend);
    general.Row(QStringLiteral("&Cursor:"), CBCursor, "LCursor");
    LDepth = general.Row(QStringLiteral("&Depth:"), UDDepth, "LDepth");
    general.Full(CBDepth);

    GB2 = TPageBuilder::Named(new QGroupBox(QStringLiteral("Formats:"), tab), "GB2");
    TPageBuilder formats(*GB2);
    CBFormat = TPageBuilder::Named(new QComboBox(GB2), "CBFormat");
    CBFormat->setEditable(true);
    CBFormat->setMinimumContentsLength(12);
    Button1 = formats.Button("Button1", QStringLiteral("..."));
    EPercentFormat = TPageBuilder::Named(new QLineEdit(GB2), "EPercentFormat");
    Button2 = formats.Button("Button2", QStringLiteral("..."));
    for (QPushButton* button : {Button1, Button2})
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    auto* values = new QWidget(GB2);
    auto* valuesRow = new QHBoxLayout(values);
    valuesRow->setContentsMargins(0, 0, 0, 0);
    valuesRow->addWidget(CBFormat, 1);
    valuesRow->addWidget(Button1);
    auto* percents = new QWidget(GB2);
    auto* percentsRow = new QHBoxLayout(percents);
    percentsRow->setContentsMargins(0, 0, 0, 0);
    percentsRow->addWidget(EPercentFormat, 1);
    percentsRow->addWidget(Button2);
    formats.Row(QStringLiteral("&Values:"), values, "LValues")->setBuddy(CBFormat);
    formats.Row(QStringLiteral("&Percents:"), percents, "LPercents")->setBuddy(EPercentFormat);

    GBHorizAxis = TPageBuilder::Named(new QGroupBox(QStringLiteral("Horizontal Axis:"), tab), "GBHorizAxis");
    TPageBuilder horiz(*GBHorizAxis);
    CBHorizAxis = TPageBuilder::Named(new QComboBox(GBHorizAxis), "CBHorizAxis");
    CBHorizAxis->addItems({QStringLiteral("Top"), QStringLiteral("Bottom"), QStringLiteral("Top and Bottom")});
    CBXDateTime = horiz.CheckBox("CBXDateTime", QStringLiteral("Dat&eTime"));
    horiz.Full(CBHorizAxis);
    horiz.Full(CBXDateTime);

    GBVertAxis = TPageBuilder::Named(new QGroupBox(QStringLiteral("Vertical Axis:"), tab), "GBVertAxis");
    TPageBuilder vert(*GBVertAxis);
    CBVertAxis = TPageBuilder::Named(new QComboBox(GBVertAxis), "CBVertAxis");
    CBVertAxis->addItems({QStringLiteral("Left"), QStringLiteral("Right"), QStringLiteral("Left and Right")});
    CBYDateTime = vert.CheckBox("CBYDateTime", QStringLiteral("D&ateTime"));
    vert.Full(CBVertAxis);
    vert.Full(CBYDateTime);

    CBSort = TPageBuilder::Named(new QComboBox(tab), "CBSort");
    CBSort->addItems({QStringLiteral("Ascending"), QStringLiteral("Descending"), QStringLiteral("None")});
    CBZDateTime = build.CheckBox("CBZDateTime", QStringLiteral("&Z DateTime"));
    CBZDateTime->hide();
    CBShowInEditor = build.CheckBox("CBShowInEditor", QStringLiteral("Show in this editor"));
    CBShowInEditor->hide();

    build.Grid().addWidget(GB5, 0, 0);
    build.Grid().addWidget(GB2, 0, 1);
    build.Grid().addWidget(GBHorizAxis, 1, 0);
    build.Grid().addWidget(GBVertAxis, 1, 1);
    auto* bottom = new QHBoxLayout;
    LSort = TPageBuilder::Named(new QLabel(QStringLiteral("S&ort:"), tab), "LSort");
    LSort->setBuddy(CBSort);
    bottom->addWidget(LSort);
    bottom->addWidget(CBSort);
    bottom->addWidget(CBZDateTime);
    bottom->addWidget(CBShowInEditor);
    bottom->addStretch(1);
    build.Grid().addLayout(bottom, 2, 0, 1, 2);
    build.Grid().setRowStretch(3, 1);
    return tab;
}

void TFormPlotSeries::BindGeneralTab()
{
    auto bind = [this](QObject* Control, std::function<QVariant(TChartSeries&)> Get,
                       std::function<void(TChartSeries&, const QVariant&)> Set) {
        Binder().Bind(
            Control, [this, Get]() -> QVariant { return EditedSeries() ? Get(*EditedSeries()) : QVariant(); },
            [this, Set](const QVariant& Value) {
                if (EditedSeries())
                    Set(*EditedSeries(), Value);
            });
    };
    bind(
        CBShowInLegend, [](TChartSeries& S) { return QVariant(S.ShowInLegend()); },
        [](TChartSeries& S, const QVariant& V) { S.SetShowInLegend(V.toBool()); });
    bind(
        UDDepth, [](TChartSeries& S) { return QVariant(S.Depth() == -1 ? 0 : S.Depth()); },
        [](TChartSeries& S, const QVariant& V) { S.SetDepth(V.toInt()); });
    bind(
        CBDepth, [](TChartSeries& S) { return QVariant(S.Depth() == -1); },
        [this](TChartSeries& S, const QVariant& V) { S.SetDepth(V.toBool() ? -1 : UDDepth->value()); });
    bind(
        EPercentFormat, [](TChartSeries& S) { return QVariant(LocalizeNumberFormat(S.PercentFormat())); },
        [](TChartSeries& S, const QVariant& V) { S.SetPercentFormat(DelocalizeNumberFormat(V.toString())); });
    bind(
        CBHorizAxis,
        [this](TChartSeries& S) {
            if (S.HorizAxis() != TChartSeries::aCustomHorizAxis)
                return QVariant(static_cast<int>(S.HorizAxis()));
            return QVariant(CBHorizAxis->findData(QVariant::fromValue<QObject*>(S.CustomHorizAxis())));
        },
        [this](TChartSeries& S, const QVariant& V) {
            const int index = V.toInt();
            if (index < FixedAxisItems)
                S.SetHorizAxis(static_cast<TChartSeries::THorizAxis>(index));
            else
                S.SetCustomHorizAxis(qobject_cast<TChartAxis*>(CBHorizAxis->itemData(index).value<QObject*>()));
        });
    bind(
        CBVertAxis,
        [this](TChartSeries& S) {
            if (S.VertAxis() != TChartSeries::aCustomVertAxis)
                return QVariant(static_cast<int>(S.VertAxis()));
            return QVariant(CBVertAxis->findData(QVariant::fromValue<QObject*>(S.CustomVertAxis())));
        },
        [this](TChartSeries& S, const QVariant& V) {
            const int index = V.toInt();
            if (index < FixedAxisItems)
                S.SetVertAxis(static_cast<TChartSeries::TVertAxis>(index));
            else
                S.SetCustomVertAxis(qobject_cast<TChartAxis*>(CBVertAxis->itemData(index).value<QObject*>()));
        });
    bind(
        CBXDateTime, [](TChartSeries& S) { return QVariant(S.XValues()->DateTime()); },
        [](TChartSeries& S, const QVariant& V) { S.XValues()->SetDateTime(V.toBool()); });
    bind(
        CBYDateTime, [](TChartSeries& S) { return QVariant(S.YValues()->DateTime()); },
        [](TChartSeries& S, const QVariant& V) { S.YValues()->SetDateTime(V.toBool()); });
    bind(
        CBZDateTime,
        [this](TChartSeries&) { return ZValueList() ? QVariant(ZValueList()->DateTime()) : QVariant(); },
        [this](TChartSeries&, const QVariant& V) {
            if (TChartValueList* list = ZValueList())
                list->SetDateTime(V.toBool());
            else
                CBZDateTime->hide();
        });
    bind(
        CBSort,
        [](TChartSeries& S) {
            switch (S.OtherValues()->Order()) {
            case TChartValueList::loAscending:
                return QVariant(0);
            case TChartValueList::loDescending:
                return QVariant(1);
            default:
                return QVariant(2);
            }
        },
        [](TChartSeries& S, const QVariant& V) {
            S.MandatoryValues()->SetOrder(TChartValueList::loNone);
            if (V.toInt() == 2) {
                S.OtherValues()->SetOrder(TChartValueList::loNone);
                return;
            }
            S.OtherValues()->SetOrder(V.toInt() == 1 ? TChartValueList::loDescending : TChartValueList::loAscending);
            S.CheckOrder();
        });

    // Settings that do not repaint: written by hand.
    connect(CBCursor, &QComboBox::activated, this, [this] {
        if (TChartSeries* series = EditedSeries(); series && CanWrite())
            series->SetCursor(CursorFromName(CBCursor->currentText(), series->Cursor()));
    });
    connect(CBShowInEditor, &QCheckBox::clicked, this, [this](bool Checked) {
        if (TChartSeries* series = EditedSeries(); series && CanWrite())
            series->SetShowInEditor(Checked);
    });
    connect(CBFormat, &QComboBox::editTextChanged, this, [this](const QString& Text) {
        if (TChartSeries* series = EditedSeries(); series && CanWrite())
            series->SetValueFormat(DelocalizeNumberFormat(Text));
    });
    connect(Button1, &QPushButton::clicked, this, [this] { FormatButtonClick(CBFormat); });
    connect(Button2, &QPushButton::clicked, this, [this] { FormatButtonClick(EPercentFormat); });
}

void TFormPlotSeries::FormatButtonClick(QWidget* Edit)
{
    TChartSeries* series = EditedSeries();
    if (!series || !CanWrite())
        return;
    const QString text = Edit == CBFormat ? CBFormat->currentText() : EPercentFormat->text();
    // With the date-time choice: a series may show its values as dates.
    const QString result = EditFormat(this, text, true);
    if (result == text)
        return;
    if (Edit == CBFormat) {
        CBFormat->setEditText(result);
    } else {
        EPercentFormat->setText(result);
        series->SetPercentFormat(DelocalizeNumberFormat(result));
    }
}

TChartSeries* TFormPlotSeries::EditedSeries() const
{
    return TargetAs<TChartSeries>();
}

void TFormPlotSeries::SetShowDataSourceTab(bool Value)
{
    FShowDataSourceTab = Value;
    ApplyTabVisibility();
}

void TFormPlotSeries::SetShowGeneralTab(bool Value)
{
    FShowGeneralTab = Value;
    ApplyTabVisibility();
}

void TFormPlotSeries::SetShowMarksTab(bool Value)
{
    FShowMarksTab = Value;
    ApplyTabVisibility();
}

void TFormPlotSeries::SetShowPersistentCheck(bool Value)
{
    FShowPersistentCheck = Value;
    TChartSeries* series = EditedSeries();
    CBPersistent->setVisible(Value && series && !(series->Style() & SeriesFlagLocked));
}

void TFormPlotSeries::SetSeriesListBox(TChartListBox* Value)
{
    FSeriesListBox = Value;
    CBSeries->setModel(Value ? static_cast<QAbstractItemModel*>(&Value->Model()) : FOwnList);
    if (TChartSeries* series = EditedSeries())
        SelectInList(series);
}

TChartListBox* TFormPlotSeries::SeriesListBox() const
{
    return qobject_cast<TChartListBox*>(FSeriesListBox.data());
}

QObject* TFormPlotSeries::SeriesListBoxObject() const
{
    return FSeriesListBox.data();
}

void TFormPlotSeries::SetSeriesListBoxObject(QObject* Value)
{
    SetSeriesListBox(qobject_cast<TChartListBox*>(Value));
}

QString TFormPlotSeries::ActiveTab() const
{
    const int index = PageSeries->currentIndex();
    return index >= 0 ? PageSeries->tabText(index) : QString();
}

void TFormPlotSeries::SetActiveTab(const QString& Caption)
{
    for (int i = 0; i < PageSeries->count(); ++i)
        if (PageSeries->tabText(i) == Caption && PageSeries->isTabVisible(i)) {
            PageSeries->setCurrentIndex(i);
            return;
        }
}

void TFormPlotSeries::SetGraphicEditor(bool Value)
{
    FGraphicEditor = Value;
    if (!Value)
        return;
    FShowDataSourceTab = false;
    FShowGeneralTab = false;
    ApplyGraphicEditor();
}

void TFormPlotSeries::ApplyGraphicEditor()
{
    PanelTop->hide();
    ApplyTabVisibility();
    if (auto* line = qobject_cast<TCustomSeriesEditor*>(FSeriesEditor.data()))
        line->HideGraphicEditorControls();
}

bool TFormPlotSeries::IsFixedTab(QWidget* Tab) const
{
    return Tab == TheTabSheet || Tab == TabGeneral || Tab == TabMarks || Tab == TabDataSource;
}

void TFormPlotSeries::ApplyTabVisibility()
{
    TChartSeries* series = EditedSeries();
    PageSeries->setTabVisible(PageSeries->indexOf(TabGeneral), FShowGeneralTab);
    PageSeries->setTabVisible(PageSeries->indexOf(TabMarks), FShowMarksTab);
    const bool sourced = series && !(series->Style() & (SeriesFlagLocked | SeriesFlagNoDataSource));
    PageSeries->setTabVisible(PageSeries->indexOf(TabDataSource), FShowDataSourceTab && sourced);
    // The current tab hidden: Format, else General, else the first shown.
    if (PageSeries->currentIndex() >= 0 && PageSeries->isTabVisible(PageSeries->currentIndex()))
        return;
    for (QWidget* tab : {TheTabSheet, TabGeneral})
        if (PageSeries->isTabVisible(PageSeries->indexOf(tab))) {
            PageSeries->setCurrentWidget(tab);
            return;
        }
    for (int i = 0; i < PageSeries->count(); ++i)
        if (PageSeries->isTabVisible(i)) {
            PageSeries->setCurrentIndex(i);
            return;
        }
}

void TFormPlotSeries::showEvent(QShowEvent* Event)
{
    TEditorPage::showEvent(Event);
    TChartSeries* series = EditedSeries();
    CBShowInEditor->setVisible(series && series->IsDesigning());
}

// --- Choosing and setting up a series ----------------------------------------------------------------

void TFormPlotSeries::FillControls()
{
    ShowSeries();
    FillGeneralTab();
}

void TFormPlotSeries::UpdateEnabled()
{
    MarksTab->UpdateEnabled();
    if (EditedSeries())
        return;
    // No series: an empty page.
    FLastShown = nullptr;
    ImageSeries->clear();
    ImageSeries->hide();
    LabelSeriesClass->clear();
    PaintBox1->Series = nullptr;
    PaintBox1->hide();
    PageSeries->hide();
}

void TFormPlotSeries::ShowSeries()
{
    TChartSeries* series = EditedSeries();
    if (!series)
        return;
    if (series != FLastShown) {
        SetupSeries(series, ActiveTab());
        FLastShown = series;
    }
    SelectInList(series);
}

void TFormPlotSeries::SelectInList(TChartSeries* Series)
{
    const QSignalBlocker block(CBSeries);
    int row = -1;
    for (int i = 0; i < CBSeries->count(); ++i)
        if (CBSeries->itemData(i, Qt::UserRole).value<QObject*>() == Series)
            row = i;
    CBSeries->setCurrentIndex(row);
    if (TChartListBox* list = SeriesListBox(); list && list->CurrentSeries() != Series) {
        list->ClearSelection();
        list->SelectSeriesRow(Series);
    }
}

void TFormPlotSeries::CBSeriesChange()
{
    const int row = CBSeries->currentIndex();
    auto* series = row >= 0 ? qobject_cast<TChartSeries*>(CBSeries->itemData(row, Qt::UserRole).value<QObject*>())
                            : nullptr;
    // Setting up fills the controls under the page's loading guard, so
    // nothing is written back meanwhile.
    if (series != EditedSeries())
        SetTarget(series);
}

void TFormPlotSeries::Listen(TCustomAxisPanel* Chart)
{
    if (FListened == Chart)
        return;
    if (FListened && !FListened->IsDestroying())
        FListened->Listeners().Remove(this);
    FListened = Chart;
    if (Chart)
        Chart->Listeners().Add(this);
}

void TFormPlotSeries::SetupSeries(TChartSeries* Series, QString Caption)
{
    Listen(Series->ParentChart());
    if (!FSeriesListBox) {
        const QSignalBlocker block(CBSeries);
        FOwnList->Fill(Series->ParentChart(), nullptr, false);
    }
    DataSourceTab->RefillStyles(Series);

    TBitmap icon;
    LoadClassIcon(icon, *Series);
    QPixmap pixmap = QPixmap::fromImage(icon.ToImage());
    pixmap.setMask(pixmap.createMaskFromColor(QColor(255, 0, 255)));
    ImageSeries->setPixmap(pixmap);
    PaintBox1->Series = Series;
    PaintBox1->setVisible(Series->SeriesColorEditable());

    // Plain text: a label without a buddy shows "&" as it is (doubled, it
    // showed twice), and a name is never markup.
    LabelSeriesClass->setText(GetGallerySeriesName(Series) + QStringLiteral(": ") + SeriesTitleOrName(Series));

    ImageSeries->show();
    PageSeries->show();
    ApplyTabVisibility();
    if (Caption.isEmpty() ||
        (Caption == QStringLiteral("Data Source") && !PageSeries->isTabVisible(PageSeries->indexOf(TabDataSource))))
        Caption = PageSeries->tabText(PageSeries->indexOf(TheTabSheet));
    GBHorizAxis->setVisible(Series->UseAxis());
    GBVertAxis->setVisible(Series->UseAxis());
    SetShowPersistentCheck(FShowPersistentCheck);
    if (CBPersistent->isVisible())
        CBPersistent->setChecked(Series->Style() & SeriesFlagPersistent);

    {
        // The tabs come and go; the data-source tab refills once afterwards.
        const QSignalBlocker block(PageSeries);
        RemoveSeriesEditor();
        EmbedSeriesEditor(Series);
        int index = -1;
        for (int i = 0; i < PageSeries->count() && index < 0; ++i)
            if (PageSeries->tabText(i) == Caption && PageSeries->isTabVisible(i))
                index = i;
        if (index < 0 && PageSeries->isTabVisible(PageSeries->indexOf(TheTabSheet)))
            index = PageSeries->indexOf(TheTabSheet);
        if (index >= 0)
            PageSeries->setCurrentIndex(index);
        ApplyTabVisibility();
        FCurrentTab = PageSeries->currentWidget();
    }
    if (FGraphicEditor)
        ApplyGraphicEditor();
    DataSourceTab->ResetStyle();
    PageSeriesChange();
    LockUnkeptSettings();
    PaintBox1->update();
}

void TFormPlotSeries::LockUnkeptSettings()
{
    LockUnkeptControls(*this, UnkeptSettingsOf(EditedSeries()), *PageSeries);
}

QString TFormPlotSeries::FindSeriesEditorClass(const TChartSeries* Series)
{
    const QString name = Series ? Series->GetEditorClassName() : QString();
    return !name.isEmpty() && IsEditorPageRegistered(name) ? name : QString();
}

void TFormPlotSeries::EmbedSeriesEditor(TChartSeries* Series)
{
    const QString name = FindSeriesEditorClass(Series);
    TEditorPage* page = name.isEmpty() ? nullptr : CreateEditorPage(name, TheTabSheet);
    PageSeries->setTabVisible(PageSeries->indexOf(TheTabSheet), page != nullptr);
    if (!page)
        return;
    FSeriesEditor = page;
    EmbedSeriesTabPage(page, TheTabSheet, Series);
}

void TFormPlotSeries::RemoveSeriesEditor()
{
    delete FSeriesEditor.data();
    for (QWidget* child : TheTabSheet->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        delete child;
    // Tabs the type page added go with it; their pages first.
    for (int i = PageSeries->count() - 1; i > 0; --i) {
        QWidget* tab = PageSeries->widget(i);
        if (IsFixedTab(tab))
            continue;
        for (QWidget* child : tab->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            delete child;
        if (!FDestroying)
            delete tab;
    }
    // Going away, the page asks nothing: its host asked before closing.
    if (!FDestroying)
        DataSourceTab->CloseEditor();
}

void TFormPlotSeries::FillGeneralTab()
{
    TChartSeries* series = EditedSeries();
    if (!series)
        return;
    {
        const QSignalBlocker block(CBFormat);
        QStringList formats;
        AddDefaultValueFormats(formats);
        CBFormat->clear();
        CBFormat->addItems(formats);
        const QString format = LocalizeNumberFormat(series->ValueFormat());
        if (CBFormat->findText(format) < 0)
            CBFormat->addItem(format);
        CBFormat->setCurrentIndex(CBFormat->findText(format));
        CBFormat->setEditText(format);
    }
    TCustomAxisPanel* chart = series->ParentChart();
    for (QComboBox* combo : {CBHorizAxis, CBVertAxis}) {
        const QSignalBlocker block(combo);
        while (combo->count() > FixedAxisItems)
            combo->removeItem(FixedAxisItems);
        if (!chart)
            continue;
        const TChartAxes& axes = chart->AxesList();
        for (int i = FirstCustomAxisIndex; i < axes.Count(); ++i)
            if (axes[i]->Horizontal() == (combo == CBHorizAxis))
                combo->addItem(PlotMsg_Custom + QLatin1Char(' ') + QString::number(i - FirstCustomAxisIndex),
                               QVariant::fromValue<QObject*>(axes[i]));
    }
    // The custom entries exist only now: the series' axes are shown again.
    CBHorizAxis->setCurrentIndex(Binder().TargetValue(CBHorizAxis).toInt());
    CBVertAxis->setCurrentIndex(Binder().TargetValue(CBVertAxis).toInt());
    CBZDateTime->setVisible(ZValueList() != nullptr);
    const bool fewLists = series->ValuesList().Count() < 3;
    for (QWidget* control : std::initializer_list<QWidget*>{LSort, CBSort, LDepth, UDDepth, CBDepth})
        control->setVisible(fewLists);
    FillCursorCombo(CBCursor, series->Cursor());
}

TChartValueList* TFormPlotSeries::ZValueList() const
{
    TChartSeries* series = EditedSeries();
    TCustomAxisPanel* chart = series ? series->ParentChart() : nullptr;
    if (!chart)
        return nullptr;
    if (TChartValueList* list = series->GetAxisValueList(chart->DepthAxis()))
        return list;
    return series->GetAxisValueList(chart->DepthTopAxis());
}

// --- Tabs --------------------------------------------------------------------------------------------

void TFormPlotSeries::TabChanged(int)
{
    QWidget* now = PageSeries->currentWidget();
    // Leaving the data source asks its page whether it may close.
    if (FCurrentTab == TabDataSource && now != TabDataSource && !DataSourceTab->MayCloseEditor()) {
        const QSignalBlocker block(PageSeries);
        PageSeries->setCurrentWidget(TabDataSource);
        return;
    }
    FCurrentTab = now;
    PageSeriesChange();
}

void TFormPlotSeries::PageSeriesChange()
{
    TChartSeries* series = EditedSeries();
    if (!series)
        return;
    QWidget* tab = PageSeries->currentWidget();
    if (tab == TabMarks) {
        // The first fill makes the marks' format and symbol pages.
        MarksTab->Fill(series);
        LockUnkeptSettings();
    } else if (tab == TabDataSource) {
        DataSourceTab->Fill(series);
    }
}

bool TFormPlotSeries::MayLeave()
{
    return DataSourceTab->MayCloseEditor();
}

void TFormPlotSeries::PlotEvent(TPlotEvent& Event)
{
    auto* seriesEvent = dynamic_cast<TPlotSeriesEvent*>(&Event);
    if (FDestroying || !seriesEvent)
        return;
    if (seriesEvent->Event == seChangeColor) {
        PaintBox1->update();
    } else if (!SeriesListBox() && (seriesEvent->Event == seAdd || seriesEvent->Event == seSwap ||
                                    seriesEvent->Event == seChangeTitle)) {
        // Without the editor window's list the combo keeps its own rows.
        if (TChartSeries* series = EditedSeries()) {
            const QSignalBlocker block(CBSeries);
            FOwnList->Fill(series->ParentChart(), nullptr, false);
            SelectInList(series);
        }
    } else if (seriesEvent->Event == seRemove) {
        // The series may be half destroyed: compared by address.
        const void* removed = seriesEvent->Series;
        if (!FSeriesListBox)
            if (const int row = FOwnList->RowOfAddress(removed); row >= 0) {
                const QSignalBlocker block(CBSeries);
                FOwnList->RemoveRow(row);
            }
        if (removed != static_cast<const void*>(FLastShown.data()) &&
            removed != static_cast<const void*>(EditedSeries()))
            return;
        RemoveSeriesEditor();
        {
            const QSignalBlocker block(CBSeries);
            CBSeries->setCurrentIndex(-1);
        }
        SetTarget(nullptr);
    }
}

} // namespace lp
