#include "chart/editors/frame/ChartListBox.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/base/Exception.h"
#include "platform/core/StringList.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/PainterDC.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QPointer>
#include <QtGui/QHelpEvent>
#include <QtGui/QKeyEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QToolTip>

namespace lp {

// --- TSeriesListModel ----------------------------------------------------------------------------

void TSeriesListModel::Fill(TCustomAxisPanel* Chart, TSeriesGroup* Group, bool UseNames)
{
    beginResetModel();
    FSeries.clear();
    FTexts.clear();
    FUseNames = UseNames;
    if (Chart) {
        TStringList items;
        FillSeriesItems(items, Group ? Group->Series() : Chart->SeriesList(), !UseNames);
        for (int i = 0; i < items.Count(); ++i)
            FSeries.push_back(static_cast<TChartSeries*>(items.Objects(i)));
    }
    endResetModel();
}

void TSeriesListModel::FillWith(const std::vector<TChartSeries*>& Series, const QStringList& Texts)
{
    beginResetModel();
    FSeries = Series;
    FTexts = Texts;
    while (FTexts.size() < static_cast<qsizetype>(FSeries.size()))
        FTexts.append(QString());
    FUseNames = false;
    endResetModel();
}

void TSeriesListModel::SetRowText(int Row, const QString& Text)
{
    if (Row < 0 || Row >= FTexts.size())
        return;
    FTexts[Row] = Text;
    RowChanged(Row);
}

void TSeriesListModel::Clear()
{
    beginResetModel();
    FSeries.clear();
    FTexts.clear();
    endResetModel();
}

TChartSeries* TSeriesListModel::Series(int Row) const
{
    if (Row < 0 || Row >= Count())
        throw ERangeError("Series list row " + std::to_string(Row) + " out of range");
    return FSeries[static_cast<std::size_t>(Row)];
}

int TSeriesListModel::RowOf(const TChartSeries* Series) const
{
    return RowOfAddress(Series);
}

int TSeriesListModel::RowOfAddress(const void* Series) const
{
    for (std::size_t row = 0; row < FSeries.size(); ++row)
        if (static_cast<const void*>(FSeries[row]) == Series)
            return static_cast<int>(row);
    return -1;
}

void TSeriesListModel::RemoveRow(int Row)
{
    if (Row < 0 || Row >= Count())
        return;
    beginRemoveRows({}, Row, Row);
    FSeries.erase(FSeries.begin() + Row);
    if (Row < FTexts.size())
        FTexts.removeAt(Row);
    endRemoveRows();
}

void TSeriesListModel::ExchangeRows(int A, int B)
{
    std::swap(FSeries.at(static_cast<std::size_t>(A)), FSeries.at(static_cast<std::size_t>(B)));
    if (A < FTexts.size() && B < FTexts.size())
        FTexts.swapItemsAt(A, B);
    RowChanged(A);
    RowChanged(B);
}

void TSeriesListModel::RowChanged(int Row)
{
    if (Row >= 0 && Row < Count())
        emit dataChanged(index(Row), index(Row));
}

QString TSeriesListModel::RowText(int Row) const
{
    TChartSeries* series = Series(Row);
    if (!FTexts.isEmpty())
        return FTexts[Row];
    return FUseNames ? series->Name() : SeriesTitleOrName(series);
}

int TSeriesListModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : Count();
}

QVariant TSeriesListModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid() || Index.row() >= Count())
        return {};
    if (Role == Qt::DisplayRole || Role == Qt::EditRole)
        return RowText(Index.row());
    if (Role == Qt::UserRole)
        return QVariant::fromValue<QObject*>(Series(Index.row()));
    return {};
}

// --- Drawing -------------------------------------------------------------------------------------

class TChartListBoxDelegate : public QStyledItemDelegate {
public:
    explicit TChartListBoxDelegate(TChartListBox& List) : QStyledItemDelegate(&List), FList(List) {}
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        FList.DrawRow(*Painter, Option.rect, Index.row(), Option.state & QStyle::State_Selected);
    }
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {FList.ColumnOffset(TChartListBox::colTitle) + FList.ColumnWidth(TChartListBox::colTitle),
                TChartListBox::ItemHeight};
    }

private:
    TChartListBox& FList;
};

namespace {

constexpr int ColumnWidths[4] = {26, 16, 26, 216};
constexpr int CheckBoxSize = 13;

} // namespace

int TChartListBox::ColumnWidth(TColumn Column) const
{
    return ColumnWidths[Column];
}

int TChartListBox::ColumnOffset(TColumn Column) const
{
    int offset = 0;
    for (int c = 0; c < Column; ++c)
        if (FColumnVisible[c])
            offset += ColumnWidths[c];
    return offset;
}

bool TChartListBox::PointInColumn(TColumn Column, int X) const
{
    const int offset = ColumnOffset(Column);
    return FColumnVisible[Column] && X > offset && X < offset + ColumnWidths[Column];
}

void TChartListBox::SetColumnVisible(TColumn Column, bool Visible)
{
    FColumnVisible[Column] = Visible;
    viewport()->update();
}

void TChartListBox::SetActiveCheckEnabled(bool Enabled, const QString& Hint)
{
    FActiveCheckHint = Hint;
    if (FActiveCheckEnabled == Enabled)
        return;
    FActiveCheckEnabled = Enabled;
    viewport()->update();
}

bool TChartListBox::viewportEvent(QEvent* Event)
{
    if (Event->type() == QEvent::ToolTip && !FActiveCheckEnabled && !FActiveCheckHint.isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(Event);
        if (RowAt(help->pos()) >= 0 && PointInColumn(colActive, help->pos().x())) {
            QToolTip::showText(help->globalPos(), FActiveCheckHint, viewport());
            return true;
        }
    }
    return QListView::viewportEvent(Event);
}

void TChartListBox::DrawRow(QPainter& Painter, const QRect& Rect, int Row, bool Selected) const
{
    // Without the focus the current row still shows as selected, in the
    // palette's colours of a selection without focus. The whole row is
    // marked, its text readable on the mark whatever the desktop's palette.
    const bool focused = hasFocus();
    const bool current = Row == ItemIndex();
    const bool drawSelected = Selected || (!focused && current);
    TColor back = ColorToRGB(clWindow);
    TColor ink = ColorToRGB(clWindowText);
    if (drawSelected) {
        const QPalette::ColorGroup group = focused ? QPalette::Active : QPalette::Inactive;
        back = FromQColor(palette().color(group, QPalette::Highlight));
        ink = ReadableTextColor(back, FromQColor(palette().color(group, QPalette::HighlightedText)));
    }
    const int titleLeft = ColumnOffset(colTitle);

    QImage image(std::max(Rect.width(), 1), std::max(Rect.height(), 1), QImage::Format_RGB32);
    {
        TPainterDC dc(image);
        TCanvas canvas(&dc);
        const QFont font = this->font();
        canvas.Font().SetName(font.family());
        canvas.Font().SetSize(font.pointSize() > 0 ? font.pointSize() : 9);
        canvas.Brush().SetStyle(TBrush::bsSolid);
        canvas.Brush().SetColor(back);
        canvas.FillRect({0, 0, Rect.width(), Rect.height()});
        TChartSeries* series = Row >= 0 && Row < Count() ? FModel->Series(Row) : nullptr;
        if (series) {
            if (FColumnVisible[colIcon])
                DrawClassBitmap(canvas, *series, ColumnOffset(colIcon), 0);
            if (FColumnVisible[colColor] && series->SeriesColorEditable()) {
                const int left = ColumnOffset(colColor) - 2;
                const TRect box{left + 4, 4, left + ColumnWidths[colColor] - 4, Rect.height() - 4};
                PaintSeriesLegend(series, &canvas, box, qobject_cast<TCustomChart*>(FChart.data()));
            }
            if (FColumnVisible[colActive]) {
                TPlotCanvas3D plot;
                plot.SetBufferedDisplay(false);
                plot.InitWindow(&canvas, nullptr, clWindow, false, {0, 0, Rect.width(), Rect.height()});
                plot.ResetState();
                DrawCheckBox(ColumnOffset(colActive) + 2, (Rect.height() - CheckBoxSize) / 2, plot, series->Active(),
                             FCheckStyle == cbsCheck);
            }
            if (FColumnVisible[colTitle]) {
                // On the row's mark: a device draws text on a box of its
                // background colour unless told otherwise.
                canvas.Brush().SetStyle(TBrush::bsClear);
                dc.SetBkMode(TRANSPARENT);
                canvas.Font().SetColor(ink);
                const QString text = FModel->RowText(Row);
                canvas.TextOut(titleLeft + 1, (Rect.height() - canvas.TextHeight(text)) / 2, text);
            }
        }
        dc.Finish();
    }
    if (FColumnVisible[colActive] && !FActiveCheckEnabled) {
        // Greyed: half the window colour over the box.
        QPainter grey(&image);
        grey.fillRect(QRect(ColumnOffset(colActive) + 2, (Rect.height() - CheckBoxSize) / 2, CheckBoxSize,
                            CheckBoxSize),
                      QColor(255, 255, 255, 150));
    }
    Painter.drawImage(Rect.topLeft(), image);
}

QImage TChartListBox::RowImage(int Row) const
{
    const QRect rect = visualRect(FModel->index(Row));
    QImage image(rect.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    DrawRow(painter, QRect(QPoint(0, 0), rect.size()), Row, IsSelected(Row));
    return image;
}

// --- TChartListBox -------------------------------------------------------------------------------

TChartListBox::TChartListBox(QWidget* Parent) : QListView(Parent), FModel(new TSeriesListModel(this))
{
    setModel(FModel);
    setItemDelegate(new TChartListBoxDelegate(*this));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setMouseTracking(true);
    setMinimumWidth(ColumnOffset(colTitle) + 120);
}

TChartListBox::~TChartListBox()
{
    FDestroying = true;
    Detach();
}

void TChartListBox::Attach()
{
    if (!FChart)
        return;
    FChart->Listeners().Add(this);
    FChartDestroyed = connect(FChart.data(), &QObject::destroyed, this, [this] { ChartDestroyed(); });
}

void TChartListBox::Detach()
{
    if (FChart && !FChart->IsDestroying())
        FChart->Listeners().Remove(this);
    disconnect(FChartDestroyed);
}

void TChartListBox::ChartDestroyed()
{
    FChart = nullptr;
    FSeriesGroup = nullptr;
    FModel->Clear();
}

void TChartListBox::SetChart(TCustomAxisPanel* Value)
{
    if (Value == FChart)
        return;
    Detach();
    FChart = Value;
    FSeriesGroup = nullptr;
    Attach();
    if (FChart)
        RefillList(nullptr);
    else
        FModel->Clear();
}

void TChartListBox::SetSeriesGroup(TSeriesGroup* Value)
{
    FSeriesGroup = Value;
    RefillList(CurrentSeries());
}

void TChartListBox::SetShowSeriesNames(bool Value)
{
    FShowSeriesNames = Value;
    RefillList(CurrentSeries());
}

void TChartListBox::SetCheckStyle(TCheckBoxesStyle Value)
{
    FCheckStyle = Value;
    if (Value == cbsRadio) {
        bool found = false;
        for (int row = 0; row < Count(); ++row) {
            TChartSeries* series = FModel->Series(row);
            if (series->Active()) {
                if (found)
                    series->SetActive(false);
                found = true;
            }
        }
    }
    viewport()->update();
}

int TChartListBox::ItemIndex() const
{
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void TChartListBox::SetItemIndex(int Row)
{
    if (Row < 0 || Row >= Count())
        setCurrentIndex({});
    else
        setCurrentIndex(FModel->index(Row));
}

TChartSeries* TChartListBox::CurrentSeries() const
{
    const int row = ItemIndex();
    return row >= 0 ? FModel->Series(row) : nullptr;
}

std::vector<TChartSeries*> TChartListBox::SelectedSeries() const
{
    std::vector<TChartSeries*> result;
    for (int row = 0; row < Count(); ++row)
        if (IsSelected(row))
            result.push_back(FModel->Series(row));
    if (result.empty() && CurrentSeries())
        result.push_back(CurrentSeries());
    return result;
}

int TChartListBox::SelectedCount() const
{
    return static_cast<int>(selectionModel()->selectedRows().size());
}

bool TChartListBox::IsSelected(int Row) const
{
    return selectionModel()->isRowSelected(Row, {});
}

void TChartListBox::SelectSeriesRow(TChartSeries* Series)
{
    const int row = FModel->RowOf(Series);
    if (row < 0)
        return;
    selectionModel()->setCurrentIndex(FModel->index(row), QItemSelectionModel::Select);
}

void TChartListBox::ClearSelection()
{
    selectionModel()->clearSelection();
}

void TChartListBox::SelectAll()
{
    selectAll();
}

void TChartListBox::FireRefresh()
{
    if (OnRefresh)
        OnRefresh(this);
}

void TChartListBox::RefillList(TChartSeries* Series)
{
    FModel->Fill(FChart, FSeriesGroup, FShowSeriesNames);
    int row = FModel->RowOf(Series);
    if (row < 0 && Count() > 0)
        row = 0;
    if (row >= 0)
        selectionModel()->setCurrentIndex(FModel->index(row), QItemSelectionModel::ClearAndSelect);
    if (OnOtherItemsChange)
        OnOtherItemsChange(this);
    FireRefresh();
}

void TChartListBox::FillOtherItems(const std::vector<TChartSeries*>& Series, const QStringList& Texts)
{
    FModel->FillWith(Series, Texts);
    if (OnOtherItemsChange)
        OnOtherItemsChange(this);
}

void TChartListBox::currentChanged(const QModelIndex& Current, const QModelIndex& Previous)
{
    QListView::currentChanged(Current, Previous);
    FireRefresh();
}

void TChartListBox::ExchangeRows(int A, int B)
{
    if (A == B || A < 0 || B < 0 || A >= Count() || B >= Count())
        return;
    TChartSeries* seriesA = FModel->Series(A);
    TChartSeries* seriesB = FModel->Series(B);
    FModel->ExchangeRows(A, B);
    if (FChart) {
        // The chart's swap event refills the list: the rows already match.
        FChart->ExchangeSeriesObjects(seriesA, seriesB);
        if (OnChangeOrder)
            OnChangeOrder(this, seriesA, seriesB);
    }
    if (window() && focusPolicy() != Qt::NoFocus && isVisible())
        setFocus();
    selectionModel()->setCurrentIndex(FModel->index(B), QItemSelectionModel::ClearAndSelect);
    FireRefresh();
}

void TChartListBox::MoveRowUp()
{
    const int row = ItemIndex();
    if (row > 0)
        ExchangeRows(row, row - 1);
}

void TChartListBox::MoveRowDown()
{
    const int row = ItemIndex();
    if (row >= 0 && row < Count() - 1)
        ExchangeRows(row, row + 1);
}

bool TChartListBox::DeleteSelected()
{
    if (ItemIndex() < 0)
        return false;
    if (AskDelete) {
        const QString name = SelectedCount() > 1 ? PlotMsg_SelectedSeries : RowText(ItemIndex());
        if (!AskDeleteConfirm(name, this))
            return false;
    }
    // Each deletion takes its row out of the list through the chart's event;
    // a series can free others with it (a function's own lines).
    const std::vector<TChartSeries*> selected = SelectedSeries();
    const std::vector<QPointer<TChartSeries>> doomed(selected.begin(), selected.end());
    for (const QPointer<TChartSeries>& series : doomed)
        delete series.data();
    if (Count() > 0)
        SetItemIndex(0);
    FireRefresh();
    return true;
}

void TChartListBox::CloneSelected()
{
    TChartSeries* series = CurrentSeries();
    if (!series)
        return;
    TChartSeries* clone = CloneChartSeries(series);
    if (clone)
        selectionModel()->setCurrentIndex(FModel->index(FModel->RowOf(clone)), QItemSelectionModel::ClearAndSelect);
    FireRefresh();
}

bool TChartListBox::RenameWithDialog()
{
    const int row = ItemIndex();
    if (row < 0)
        return false;
    TChartSeries* series = FModel->Series(row);
    const QString old = FShowSeriesNames ? series->Name() : RowText(row);
    const QString text = InputBox(PlotMsg_ChangeSeriesTitle, PlotMsg_NewSeriesTitle, old);
    if (text.isEmpty() || text == old)
        return false;
    if (FShowSeriesNames) {
        try {
            series->SetName(text);
        } catch (const Exception& Error) {
            // Not a valid name, or one another component holds.
            ShowMessage(QString::fromStdString(Error.Message()));
            return false;
        }
        FModel->RowChanged(row);
        series->Repaint();
    } else {
        // A title equal to the name is no title of its own.
        series->SetTitle(text == series->Name() ? QString() : text);
    }
    SelectSeriesRow(series);
    return RowText(FModel->RowOf(series)) != old;
}

void TChartListBox::RenameInPlace()
{
    const int row = ItemIndex();
    if (row < 0 || !FColumnVisible[colTitle])
        return;
    if (!FEdit) {
        FEdit = new QLineEdit(viewport());
        FEdit->setObjectName(QStringLiteral("InPlaceEdit"));
        FEdit->installEventFilter(this);
    }
    FEditSeries = FModel->Series(row);
    FEdit->setText(RowText(row));
    const QRect rect = visualRect(FModel->index(row));
    FEdit->setGeometry(ColumnOffset(colTitle) - 2, rect.top(), ColumnWidths[colTitle], rect.height() + 1);
    FEdit->show();
    FEdit->setFocus();
    FEdit->selectAll();
}

void TChartListBox::EndInPlaceEdit(bool Accept)
{
    if (!FEdit || !FEdit->isVisible())
        return;
    FEdit->hide();
    if (Accept && FEditSeries)
        FEditSeries->SetTitle(FEdit->text());
    setFocus();
    viewport()->update();
}

bool TChartListBox::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FEdit && Event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(Event)->key();
        switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F2:
            EndInPlaceEdit(true);
            return true;
        case Qt::Key_Escape:
            EndInPlaceEdit(false);
            return true;
        default:
            break;
        }
    }
    if (Watched == FEdit && Event->type() == QEvent::FocusOut && FEdit->isVisible())
        EndInPlaceEdit(true);
    return QListView::eventFilter(Watched, Event);
}

TChartSeries* TChartListBox::AddFromGallery()
{
    if (!AddFromGalleryHook() || !FChart)
        return nullptr;
    TChartSeries* series = AddFromGalleryHook()(window(), FChart, CurrentSeries());
    if (series) {
        ClearSelection();
        const int row = FModel->RowOf(series);
        if (row >= 0)
            selectionModel()->setCurrentIndex(FModel->index(row), QItemSelectionModel::ClearAndSelect);
        FireRefresh();
    }
    return series;
}

void TChartListBox::ChangeTypeOfSelected()
{
    if (ItemIndex() < 0 || !FChart || !ChangeTypeHook())
        return;
    std::vector<TChartSeries*> series = SelectedSeries();
    TDroppedSourceLinks dropped;
    // Each replaced series takes its place in the collection; the rows of
    // the resulting series are selected.
    const auto showResult = [&] {
        RefillList(series.front());
        for (TChartSeries* s : series)
            SelectSeriesRow(s);
        FireRefresh();
        ShowDroppedSourceLinks(dropped);
    };
    try {
        // The gallery tells what its own change dropped; the others are told here.
        const QMetaObject* chosen = ChangeTypeHook()(window(), series.front());
        if (chosen)
            for (std::size_t i = 1; i < series.size(); ++i)
                for (TDroppedSourceLink& link : ChangeSeriesType(series[i], chosen))
                    dropped.push_back(std::move(link));
    } catch (const std::exception& error) {
        // A change that fails leaves its series as it was and ends the
        // round (the series changed before it stay changed); the user is
        // told why.
        showResult();
        TApplication::Instance().HandleException(error);
        return;
    }
    showResult();
}

int TChartListBox::RowAt(const QPoint& Pos) const
{
    const QModelIndex index = indexAt(Pos);
    return index.isValid() ? index.row() : -1;
}

void TChartListBox::ToggleActive(int Row)
{
    TChartSeries* clicked = FModel->Series(Row);
    if (FCheckStyle == cbsRadio) {
        for (int row = 0; row < Count(); ++row)
            FModel->Series(row)->SetActive(row == Row);
    } else
        clicked->SetActive(!clicked->Active());
    if (!clicked->ParentChart())
        viewport()->update();
    if (OnChangeActive)
        OnChangeActive(this, clicked);
}

void TChartListBox::EditColor(int Row)
{
    TChartSeries* series = FModel->Series(Row);
    if (!series->SeriesColorEditable())
        return;
    TColor color = series->SeriesColor();
    if (!EditColorDialog(this, color))
        return;
    series->SetSeriesColor(color);
    series->SetColorEachPoint(false);
    viewport()->update();
    if (OnChangeColor)
        OnChangeColor(this, series);
}

void TChartListBox::mousePressEvent(QMouseEvent* Event)
{
    EndInPlaceEdit(true);
    QListView::mousePressEvent(Event);
    FDragRow = -1;
    if (ItemIndex() >= 0) {
        const QPoint pos = Event->position().toPoint();
        const int row = RowAt(pos);
        if (row >= 0 && PointInColumn(colActive, pos.x())) {
            if (FActiveCheckEnabled)
                ToggleActive(row);
        }
        else if (row >= 0 && EnableDragSeries && PointInColumn(colTitle, pos.x()) && !FDoubleClicking &&
                 !(Event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) &&
                 Event->button() == Qt::LeftButton) {
            FDragRow = row;
            FDragStart = pos;
        }
    }
    FDragging = false;
    FDoubleClicking = false;
    if (OnOtherItemsChange)
        OnOtherItemsChange(this);
}

void TChartListBox::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint pos = Event->position().toPoint();
    if (FDragRow >= 0 && (Event->buttons() & Qt::LeftButton)) {
        if ((pos - FDragStart).manhattanLength() >= QApplication::startDragDistance()) {
            FDragging = true;
            viewport()->setCursor(RowAt(pos) >= 0 ? Qt::DragMoveCursor : Qt::ForbiddenCursor);
        }
        return;
    }
    const bool overRow = RowAt(pos) >= 0;
    const bool hand = overRow && ((EnableChangeType && PointInColumn(colIcon, pos.x())) ||
                                  (EnableChangeColor && PointInColumn(colColor, pos.x())));
    viewport()->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QListView::mouseMoveEvent(Event);
}

void TChartListBox::mouseReleaseEvent(QMouseEvent* Event)
{
    const int from = FDragRow;
    const bool dragging = FDragging;
    FDragRow = -1;
    FDragging = false;
    if (dragging) {
        viewport()->setCursor(Qt::ArrowCursor);
        // A drop on another row exchanges the two; on itself or outside the
        // rows nothing changes.
        const int to = RowAt(Event->position().toPoint());
        if (to >= 0 && to != from)
            ExchangeRows(from, to);
        return;
    }
    QListView::mouseReleaseEvent(Event);
    // A click tells the host, which updates its buttons.
    FireRefresh();
}

void TChartListBox::mouseDoubleClickEvent(QMouseEvent* Event)
{
    FDoubleClicking = true;
    const QPoint pos = Event->position().toPoint();
    const int row = RowAt(pos);
    if (row < 0 || !IsSelected(row))
        return;
    if (PointInColumn(colIcon, pos.x())) {
        if (EnableChangeType)
            ChangeTypeOfSelected();
    } else if (PointInColumn(colColor, pos.x())) {
        if (EnableChangeColor)
            EditColor(row);
    } else if (PointInColumn(colTitle, pos.x())) {
        if (OnDblClickSeries)
            OnDblClickSeries(this, row);
    }
}

void TChartListBox::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Insert:
        if (AllowAddSeries)
            AddFromGallery();
        return;
    case Qt::Key_Delete:
        if (AllowDeleteSeries)
            DeleteSelected();
        return;
    case Qt::Key_F2:
        if (AllowRename && CurrentSeries())
            RenameInPlace();
        return;
    default:
        QListView::keyPressEvent(Event);
    }
}

void TChartListBox::PlotEvent(TPlotEvent& Event)
{
    if (FDestroying)
        return;
    if (auto* seriesEvent = dynamic_cast<TPlotSeriesEvent*>(&Event)) {
        switch (seriesEvent->Event) {
        case seAdd:
        case seSwap:
            RefillList(CurrentSeries());
            break;
        case seRemove: {
            // The series may be half destroyed: it is found by its address.
            const int row = FModel->RowOfAddress(seriesEvent->Series);
            if (row >= 0) {
                TChartSeries* series = FModel->Series(row);
                if (FEdit && FEdit->isVisible() && FModel->RowOfAddress(FEditSeries.data()) == row)
                    EndInPlaceEdit(false);
                FModel->RemoveRow(row);
                if (OnRemovedSeries)
                    OnRemovedSeries(this, series);
            }
            break;
        }
        case seChangeTitle:
            FModel->RowChanged(FModel->RowOfAddress(seriesEvent->Series));
            break;
        case seChangeColor:
        case seChangeActive:
            viewport()->update();
            break;
        default:
            break;
        }
    } else if (dynamic_cast<TPlotView3DEvent*>(&Event))
        viewport()->update();
}

TAddFromGalleryHook& AddFromGalleryHook()
{
    static TAddFromGalleryHook hook;
    return hook;
}

TChangeTypeHook& ChangeTypeHook()
{
    static TChangeTypeHook hook;
    return hook;
}

void ShowDroppedSourceLinks(const std::vector<TDroppedSourceLink>& Dropped)
{
    if (Dropped.empty())
        return;
    QStringList lines{QStringLiteral("The new series type cannot use every data source. "
                                     "These links were removed; the series keep their points:")};
    for (const TDroppedSourceLink& link : Dropped)
        lines.append(QStringLiteral("%1 no longer takes its data from %2.").arg(link.Series, link.Source));
    MessageDlg(lines.join(QLatin1Char('\n')), TMsgDlgType::mtWarning, mbOK);
}

} // namespace lp
