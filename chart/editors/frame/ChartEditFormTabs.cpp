// The chart editor window's own tabs (data grid, export, print) and the
// series groups beside the series list.

#include "chart/editors/frame/ChartEditForm.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/data/ChartGrid.h"
#include "chart/editors/frame/ChartListBox.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesLists.h"
#include "chart/export/PlotBusyCursor.h"
#include "chart/export/PlotExportForm.h"
#include "chart/export/PlotPreview.h"
#include "platform/ui/Dialogs.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

QToolButton* GridSwitch(QWidget* Parent, const char* Name, const QString& Text, const QString& Hint)
{
    auto* button = new QToolButton(Parent);
    button->setObjectName(QString::fromLatin1(Name));
    button->setText(Text);
    button->setToolTip(Hint);
    button->setCheckable(true);
    button->setAutoRaise(true);
    return button;
}

} // namespace

// --- Data tab ------------------------------------------------------------------------------------

QWidget* TChartEditForm::BuildDataTab()
{
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("DataContent"));
    ChartGrid1 = new TChartGrid(content);
    ChartGrid1->setObjectName(QStringLiteral("ChartGrid1"));
    ChartGridNavigator1 = new TChartGridNavigator(content);
    ChartGridNavigator1->setObjectName(QStringLiteral("ChartGridNavigator1"));
    ChartGridNavigator1->SetGrid(ChartGrid1);
    SBGridText = GridSwitch(content, "SBGridText", QStringLiteral("Text"), QStringLiteral("Show labels"));
    SBGridCol = GridSwitch(content, "SBGridCol", QStringLiteral("Colors"), QStringLiteral("Show colors"));
    SBGrid3D = GridSwitch(content, "SBGrid3D", QStringLiteral("XYZ"), QStringLiteral("XYZ series"));
    SBGridX = GridSwitch(content, "SBGridX", QStringLiteral("X"), QStringLiteral("Show X values"));
    auto* top = new QHBoxLayout;
    top->addWidget(ChartGridNavigator1);
    top->addStretch();
    for (QToolButton* button : {SBGridText, SBGridCol, SBGrid3D, SBGridX})
        top->addWidget(button);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(ChartGrid1, 1);

    PopupData = new QMenu(this);
    PopupData->setObjectName(QStringLiteral("PopupData"));
    PopupEditColor = PopupData->addAction(QStringLiteral("&Edit Color..."));
    PopupDefaultColor = PopupData->addAction(QStringLiteral("Default &Color"));
    PopupMakeNull = PopupData->addAction(QStringLiteral("Make &null point"));
    PopupData->addSeparator();
    PopupAppendRow = PopupData->addAction(QStringLiteral("&Append row"));
    PopupDeleteRow = PopupData->addAction(QStringLiteral("&Delete row"));
    PopupData->addSeparator();
    PopupTextFont = PopupData->addAction(QStringLiteral("&Text font..."));
    ChartGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ChartGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& Pos) {
        const QModelIndex cell = ChartGrid1->indexAt(Pos);
        if (cell.isValid())
            ChartGrid1->setCurrentIndex(cell);
        PrepareDataPopup();
        PopupData->popup(ChartGrid1->viewport()->mapToGlobal(Pos));
    });

    // The point of the current row of the colour column's series.
    auto colorPoint = [this](TChartSeries*& Series, int& Row) {
        Row = ChartGrid1->currentIndex().row();
        Series = nullptr;
        const TChartGridModel& model = ChartGrid1->GridModel();
        for (int column = ChartGrid1->currentIndex().column() + 1; column < model.columnCount() && !Series; ++column)
            Series = model.ColumnSeries(column);
        return Series && Row >= 0 && Row < Series->Count();
    };
    connect(PopupEditColor, &QAction::triggered, this, [this] { ChartGrid1->EditPointColor(); });
    auto setPointColor = [this, colorPoint](TColor Color) {
        TChartSeries* series = nullptr;
        int row = -1;
        if (colorPoint(series, row)) {
            series->SetValueColor(row, Color);
            series->Repaint();
            ChartGrid1->viewport()->update();
        }
    };
    connect(PopupDefaultColor, &QAction::triggered, this, [setPointColor] { setPointColor(clDefault); });
    connect(PopupMakeNull, &QAction::triggered, this, [setPointColor] { setPointColor(clNone); });
    connect(PopupAppendRow, &QAction::triggered, this, [this] { ChartGrid1->AppendRow(); });
    connect(PopupDeleteRow, &QAction::triggered, this, [this] { ChartGrid1->DeleteRow(); });
    connect(PopupTextFont, &QAction::triggered, this, [this] {
        TFontDialogRequest request;
        request.Owner = this;
        request.Font = ChartGrid1->font();
        if (!ExecuteFontDialog(request))
            return;
        ChartGrid1->setFont(request.Font);
        // Rows as high as the font's text plus 2 (the header's own minimum
        // follows, so the height is not raised to its font's).
        const int height = QFontMetrics(request.Font).height() + 2;
        ChartGrid1->verticalHeader()->setMinimumSectionSize(height);
        ChartGrid1->verticalHeader()->setDefaultSectionSize(height);
    });

    connect(SBGridCol, &QToolButton::clicked, this, [this](bool Down) {
        ChartGrid1->SetShowColors(Down);
        RefreshDataButtons();
    });
    connect(SBGridText, &QToolButton::clicked, this, [this](bool Down) {
        ChartGrid1->SetShowLabels(Down);
        RefreshDataButtons();
    });
    connect(SBGrid3D, &QToolButton::clicked, this, [this](bool Down) {
        ChartGrid1->SetGrid3DMode(Down);
        RefreshDataButtons();
    });
    connect(SBGridX, &QToolButton::clicked, this, [this](bool Down) {
        ChartGrid1->SetShowXValues(Down ? cgsYes : cgsNo);
        RefreshDataButtons();
    });
    return content;
}

void TChartEditForm::ActivateDataTab()
{
    auto* chart = qobject_cast<TCustomChart*>(FChart.data());
    if (!chart)
        return;
    // The colour column shows when the first series has colours of its
    // points.
    ChartGrid1->SetShowColors(chart->SeriesCount() > 0 && SeriesHasCustomColors(*chart->Series(0)));
    ChartGrid1->SetChart(chart);
    RefreshDataButtons();
}

void TChartEditForm::RefreshDataButtons()
{
    SBGridCol->setChecked(ChartGrid1->ShowColors());
    SBGridText->setChecked(ChartGrid1->ShowLabels());
    SBGrid3D->setChecked(ChartGrid1->Grid3DMode());
    SBGridX->setChecked(!ChartGrid1->ShownSeries().empty() && ChartGrid1->ShowsXColumn(0));
}

void TChartEditForm::PrepareDataPopup()
{
    const QModelIndex cell = ChartGrid1->currentIndex();
    const TChartGridModel& model = ChartGrid1->GridModel();
    const bool onColor = cell.isValid() && cell.column() < model.columnCount() &&
                         model.Column(cell.column()).Kind == TChartGridModel::ckColors;
    TColor color = clDefault;
    bool hasPoint = false;
    if (onColor) {
        for (int column = cell.column() + 1; column < model.columnCount(); ++column)
            if (TChartSeries* series = model.ColumnSeries(column)) {
                hasPoint = cell.row() < series->Count();
                if (hasPoint)
                    color = series->GetStoredValueColor(cell.row());
                break;
            }
    }
    PopupEditColor->setVisible(onColor);
    PopupDefaultColor->setVisible(onColor && hasPoint && color != clDefault);
    PopupMakeNull->setVisible(onColor && hasPoint && color != clNone);
}

// --- Export and print tabs ---------------------------------------------------------------------------

void TChartEditForm::ActivateExportTab()
{
    if (FExportForm)
        return;
    FExportForm = new TPlotExportForm(TabExport);
    FExportForm->setWindowFlags(Qt::Widget);
    FExportForm->ExportPanel = FChart.data();
    FExportForm->BClose->hide();
    if (HiddenTabs & (1u << cetExportData))
        FExportForm->PageControl1->setTabVisible(FExportForm->PageControl1->indexOf(FExportForm->TabData), false);
    TabExport->layout()->addWidget(FExportForm);
    FExportForm->installEventFilter(this);
    FExportForm->FormShow();
    CallControlHook(FExportForm);
    KeepTabRowsReachable(*FExportForm);
    FExportForm->show();
}

void TChartEditForm::ActivatePrintTab()
{
    if (FPreviewPage) {
        FPreviewPage->PlotPreviewPanel1->Invalidate();
        return;
    }
    TBusyCursor busy;
    FPreviewPage = new TChartPreview(TabPrint);
    FPreviewPage->setWindowFlags(Qt::Widget);
    FPreviewPage->GBMargins->hide();
    FPreviewPage->PanelMargins->hide();
    FPreviewPage->HideCloseButton();
    FPreviewPage->TagPanel = FChart.data();
    TabPrint->layout()->addWidget(FPreviewPage);
    FPreviewPage->installEventFilter(this);
    FPreviewPage->FormShow();
    CallControlHook(FPreviewPage);
    FPreviewPage->show();
}

// --- Series groups ---------------------------------------------------------------------------------

namespace {

Qt::CheckState CheckOfGroup(const TSeriesGroup& Group)
{
    switch (Group.Active()) {
    case gaYes:
        return Qt::Checked;
    case gaNo:
        return Qt::Unchecked;
    default:
        return Qt::PartiallyChecked;
    }
}

} // namespace

void TChartEditForm::FillGroups()
{
    const QSignalBlocker block(Groups);
    const int oldRow = Groups->currentRow();
    Groups->clear();
    if (!FChart)
        return;
    if (Options & ceGroupAllEntry)
        Groups->addItem(QStringLiteral("(all)"));
    TSeriesGroups& groups = FChart->SeriesList().Groups();
    for (int i = 0; i < groups.Count(); ++i) {
        auto* item = new QListWidgetItem(groups.Items(i)->Name(), Groups);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(CheckOfGroup(*groups.Items(i)));
    }
    Groups->setCurrentRow(std::min(oldRow, Groups->count() - 1));
    BDeleteGroup->setEnabled(GroupOfRow(Groups->currentRow()) != nullptr);
    BRenameGroup->setEnabled(BDeleteGroup->isEnabled());
}

TSeriesGroup* TChartEditForm::GroupOfRow(int Row) const
{
    if (!FChart)
        return nullptr;
    const int index = Row - ((Options & ceGroupAllEntry) ? 1 : 0);
    TSeriesGroups& groups = FChart->SeriesList().Groups();
    return index >= 0 && index < groups.Count() ? groups.Items(index) : nullptr;
}

void TChartEditForm::GroupsClicked(QListWidgetItem* Item)
{
    TSeriesGroup* group = GroupOfRow(Groups->row(Item));
    LBSeries->SetSeriesGroup(group);
    BDeleteGroup->setEnabled(group != nullptr);
    BRenameGroup->setEnabled(group != nullptr);
    RefreshButtons();
}

void TChartEditForm::GroupChecked(QListWidgetItem* Item)
{
    TSeriesGroup* group = GroupOfRow(Groups->row(Item));
    if (!group)
        return;
    // A click on a grey tick ticks: every series of the group goes on.
    group->SetActive(Item->checkState() == Qt::Unchecked ? gaNo : gaYes);
    const QSignalBlocker block(Groups);
    Item->setCheckState(CheckOfGroup(*group));
    LBSeries->viewport()->update();
}

void TChartEditForm::AddGroup()
{
    if (!FChart)
        return;
    const QString name = InputBox(QStringLiteral("Add new group"), QStringLiteral("Group name:"), QString()).trimmed();
    if (name.isEmpty())
        return;
    FChart->SeriesList().AddGroup(name);
    FillGroups();
    Groups->setCurrentRow(Groups->count() - 1);
    GroupsClicked(Groups->currentItem());
}

void TChartEditForm::RenameGroup()
{
    TSeriesGroup* group = GroupOfRow(Groups->currentRow());
    if (!group)
        return;
    const QString name =
        InputBox(QStringLiteral("Change group name"), QStringLiteral("Group name:"), group->Name()).trimmed();
    if (name.isEmpty() || name == group->Name())
        return;
    group->SetName(name);
    FillGroups();
}

void TChartEditForm::DeleteGroup()
{
    TSeriesGroup* group = GroupOfRow(Groups->currentRow());
    if (!group)
        return;
    if (LBSeries->SeriesGroup() == group)
        LBSeries->SetSeriesGroup(nullptr);
    FChart->SeriesList().Groups().Delete(Groups->currentRow() - ((Options & ceGroupAllEntry) ? 1 : 0));
    FillGroups();
    // The list shows every series again, and the group list says so.
    if (!LBSeries->SeriesGroup() && Groups->count() > 0 && (Options & ceGroupAllEntry))
        Groups->setCurrentRow(0);
    BDeleteGroup->setEnabled(GroupOfRow(Groups->currentRow()) != nullptr);
    BRenameGroup->setEnabled(BDeleteGroup->isEnabled());
    RefreshButtons();
}

void TChartEditForm::MoveSeriesToGroup(const std::vector<TChartSeries*>& Series, TSeriesGroup* Group)
{
    if (!FChart || !Group)
        return;
    TSeriesGroups& groups = FChart->SeriesList().Groups();
    for (TChartSeries* series : Series) {
        for (int i = 0; i < groups.Count(); ++i)
            groups.Items(i)->Series().Remove(series);
        Group->Series().Add(series);
    }
    FillGroups();
    // The list shows a group's own series: those moved away leave it.
    LBSeries->SetSeriesGroup(LBSeries->SeriesGroup());
    RefreshButtons();
}

// A drag of series that ends over a group moves them into it; the list's
// own drag (reordering) ends outside its rows and changes nothing there.
bool TChartEditForm::eventFilter(QObject* Watched, QEvent* Event)
{
    // The export and print dialogs are parts of this window here: their
    // Escape is the window's, never a dialog hiding itself out of its tab.
    if ((Watched == FExportForm || Watched == FPreviewPage) && Event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(Event)->matches(QKeySequence::Cancel)) {
        reject();
        return true;
    }
    if (Watched == LBSeries->viewport() && PanelGroups->isVisible()) {
        if (Event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(Event);
            FGroupDragArmed = mouse->button() == Qt::LeftButton;
            FGroupDragStart = mouse->globalPosition().toPoint();
        } else if (Event->type() == QEvent::MouseButtonRelease && FGroupDragArmed) {
            FGroupDragArmed = false;
            auto* mouse = static_cast<QMouseEvent*>(Event);
            const QPoint global = mouse->globalPosition().toPoint();
            if ((global - FGroupDragStart).manhattanLength() >= QApplication::startDragDistance()) {
                const QPoint inGroups = Groups->viewport()->mapFromGlobal(global);
                if (Groups->viewport()->rect().contains(inGroups))
                    if (QListWidgetItem* item = Groups->itemAt(inGroups))
                        if (TSeriesGroup* group = GroupOfRow(Groups->row(item)))
                            MoveSeriesToGroup(LBSeries->SelectedSeries(), group);
            }
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

} // namespace lp
