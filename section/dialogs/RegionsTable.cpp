#include "section/dialogs/RegionsTable.h"

#include "section/editor/PolygonChart.h"
#include "section/model/ModelGeometry.h"

#include <QtCore/QSortFilterProxyModel>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QTableView>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lp {

namespace {

const QString HostName = QStringLiteral("Host medium");

QString ColumnTitle(int Column)
{
    switch (Column) {
    case rcBody:
        return QStringLiteral("Body");
    case rcRing:
        return QStringLiteral("Ring");
    case rcLabel:
        return QStringLiteral("Label");
    case rcResistivity:
        return QStringLiteral("Resistivity (ohm-m)");
    case rcPolarizability:
        return QStringLiteral("Polarizability (%)");
    case rcFit:
        return QStringLiteral("Fit");
    case rcLowest:
        return QStringLiteral("Lowest (ohm-m)");
    case rcHighest:
        return QStringLiteral("Highest (ohm-m)");
    case rcWater:
        return QStringLiteral("Water");
    case rcWaterResistivity:
        return QStringLiteral("Water (ohm-m)");
    default:
        return QStringLiteral("Area (m\u00B2)");
    }
}

int ColumnSlot(int Column)
{
    switch (Column) {
    case rcLabel:
        return psLabelText;
    case rcResistivity:
        return psResistivity;
    case rcFit:
        return psFit;
    case rcLowest:
        return psLowest;
    case rcHighest:
        return psHighest;
    case rcWater:
        return psWater;
    case rcWaterResistivity:
        return psWaterResistivity;
    default:
        return psPolarizability;
    }
}

// The columns a paste fills.
bool NumberColumn(int Column)
{
    return Column == rcResistivity || Column == rcPolarizability;
}

bool BoundColumn(int Column)
{
    return Column == rcLowest || Column == rcHighest;
}

// The columns that take one of two words.
bool ChoiceColumn(int Column)
{
    return Column == rcFit || Column == rcWater;
}

bool EditableColumn(int Column)
{
    return Column == rcLabel || NumberColumn(Column) || ChoiceColumn(Column) || BoundColumn(Column) ||
           Column == rcWaterResistivity;
}

// A typed Fit, Water, bound or water resistivity, checked, its refusal in
// the column's words.
TParameterEntry ReadRegionText(int Column, const QString& Text)
{
    if (Column == rcFit)
        return ReadRegionFitText(Text);
    if (Column == rcWater)
        return ReadRegionWaterText(Text);
    if (Column == rcWaterResistivity)
        return ReadWaterResistivityText(Text);
    TParameterEntry entry = ReadParameterText(TBodyQuantity::Resistivity, Text);
    entry.Error.replace(QStringLiteral("The resistivity"), Column == rcWaterResistivity
                                                              ? QStringLiteral("The water's resistivity")
                                                              : QStringLiteral("A bound"));
    return entry;
}

QString LabelOf(const TPolygonParams& Params)
{
    const ParamValue& text = Params[psLabelText];
    return ParameterNotSet(text) ? QString() : QString::fromStdString(text.AsText());
}

// A typed cell value commits through the window, so a value typed while
// several rows are selected reaches all of them, and a refused one is said.
class TRegionCellDelegate : public QStyledItemDelegate {
public:
    explicit TRegionCellDelegate(TRegionsWindow& Window) : QStyledItemDelegate(&Window), FWindow(Window) {}
    void setModelData(QWidget* Editor, QAbstractItemModel*, const QModelIndex& Index) const override
    {
        // An editor left as it opened (F2 then Enter, or the focus moved
        // on) changes nothing, also not the other selected rows.
        if (auto* edit = qobject_cast<QLineEdit*>(Editor); edit && edit->isModified())
            FWindow.ApplyTyped(Index.row(), Index.column(), edit->text());
    }

private:
    TRegionsWindow& FWindow;
};

} // namespace

// --- The rows ---------------------------------------------------------------------------------------------

TRegionTableModel::TRegionTableModel(TPolygonChart& Chart, QObject* Parent) : QAbstractTableModel(Parent), FChart(Chart)
{
    FRows = ModelRows();
    ReadAreas();
}

std::vector<TRingRef> TRegionTableModel::ModelRows() const
{
    std::vector<TRingRef> rows;
    const AllSpolygon& model = FChart.Model;
    if (model.Length() > 0 && model[0].Length() > 0)
        rows.push_back({0, 0});
    for (int body = 0; body < model.Length(); ++body)
        for (int ring = 0; ring < model[body].Length(); ++ring)
            if (!IsHostRing(body, ring))
                rows.push_back({body, ring});
    return rows;
}

void TRegionTableModel::ReadAreas()
{
    const AllSpolygon& model = FChart.Model;
    FAreaNodes = CopyNodes(FChart.Nodes);
    FAreaRings.clear();
    for (const TRingRef& row : FRows)
        FAreaRings.push_back(model[row.Body][row.Ring].ring);
    FAreaOf = FChart.ModelArea;
    FAreas.assign(FRows.size(), std::nullopt);
    try {
        const TModelGeometry geometry = BuildModelGeometry(model, FChart.Nodes, FChart.Lines, &FChart.ModelArea);
        for (const TGeometryRegion& region : geometry.Regions)
            if (const int row = RowOf({region.body, region.ring}); row >= 0)
                FAreas[static_cast<size_t>(row)] = region.area;
    } catch (const Exception&) {
        // A model the export refuses has no areas to show: the cells stay empty.
    }
}

void TRegionTableModel::Refresh()
{
    // The views see the old rows until the reset begins.
    std::vector<TRingRef> rows = ModelRows();
    if (rows != FRows) {
        beginResetModel();
        FRows = std::move(rows);
        ReadAreas();
        endResetModel();
        return;
    }
    bool sameGeometry = FChart.Nodes == FAreaNodes && FAreaOf.left == FChart.ModelArea.left &&
                        FAreaOf.right == FChart.ModelArea.right && FAreaOf.top == FChart.ModelArea.top &&
                        FAreaOf.bottom == FChart.ModelArea.bottom;
    for (size_t i = 0; sameGeometry && i < FRows.size(); ++i)
        sameGeometry = FAreaRings[i] == FChart.Model[FRows[i].Body][FRows[i].Ring].ring;
    if (!sameGeometry)
        ReadAreas();
    if (!FRows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, rcColumnCount - 1));
}

int TRegionTableModel::RowOf(TRingRef Region) const
{
    const auto found = std::find(FRows.begin(), FRows.end(), Region);
    return found == FRows.end() ? -1 : static_cast<int>(found - FRows.begin());
}

int TRegionTableModel::rowCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : static_cast<int>(FRows.size());
}

int TRegionTableModel::columnCount(const QModelIndex& Parent) const
{
    return Parent.isValid() ? 0 : rcColumnCount;
}

QString TRegionTableModel::CellText(int Row, int Column) const
{
    const TRingRef region = FRows.at(static_cast<size_t>(Row));
    const TPolygonParams& params = FChart.Model[region.Body][region.Ring].params;
    switch (Column) {
    case rcBody:
        return QString::number(region.Body);
    case rcRing:
        return QString::number(region.Ring);
    case rcLabel:
        return LabelOf(params);
    case rcResistivity:
    case rcPolarizability:
    case rcLowest:
    case rcHighest:
    case rcWaterResistivity:
        return ParameterText(params[ColumnSlot(Column)]);
    case rcFit:
        return RegionFitText(params);
    case rcWater:
        return RegionWaterText(params);
    default: {
        const std::optional<double>& area = FAreas.at(static_cast<size_t>(Row));
        if (!area)
            return {};
        // Rounded as the parameters beside it are; the export's table
        // keeps every digit.
        return ShownNumber(*area);
    }
    }
}

QVariant TRegionTableModel::data(const QModelIndex& Index, int Role) const
{
    if (!Index.isValid() || Index.row() >= rowCount() || Index.column() >= rcColumnCount)
        return {};
    // Between a change of the model and the Refresh after it (an edit on
    // the section in progress) a row may name a ring no longer there.
    const TRingRef region = FRows[static_cast<size_t>(Index.row())];
    if (region.Body >= FChart.Model.Length() || region.Ring >= FChart.Model[region.Body].Length())
        return {};
    const int row = Index.row();
    const int column = Index.column();
    const bool host = IsHostRing(FRows[static_cast<size_t>(row)].Body, FRows[static_cast<size_t>(row)].Ring);
    const QString text = CellText(row, column);
    switch (Role) {
    case Qt::DisplayRole:
        // The host medium is named where it has no label of its own.
        return host && column == rcLabel && text.trimmed().isEmpty() ? HostName : text;
    case Qt::EditRole:
        return text;
    case Qt::ForegroundRole:
        if (host && column == rcLabel && text.trimmed().isEmpty())
            return QColor(Qt::gray);
        return {};
    case Qt::TextAlignmentRole:
        return column == rcLabel ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                 : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case SortRole: {
        if (column == rcLabel)
            return (host && text.trimmed().isEmpty() ? HostName : text).toLower();
        if (ChoiceColumn(column))
            return text;
        if (column == rcBody || column == rcRing)
            return text.toInt();
        // Values not set sort before every number.
        double value = -std::numeric_limits<double>::infinity();
        if (column == rcArea) {
            if (FAreas[static_cast<size_t>(row)])
                value = *FAreas[static_cast<size_t>(row)];
        } else {
            const ParamValue& slot = FChart.Model[region.Body][region.Ring].params[ColumnSlot(column)];
            if (!text.isEmpty() && !ParameterNotSet(slot)) {
                try {
                    value = slot.AsReal();
                } catch (const Exception&) {
                }
            }
        }
        return value;
    }
    default:
        return {};
    }
}

QVariant TRegionTableModel::headerData(int Section, Qt::Orientation Orientation, int Role) const
{
    if (Role != Qt::DisplayRole)
        return {};
    if (Orientation == Qt::Horizontal)
        return Section >= 0 && Section < rcColumnCount ? ColumnTitle(Section) : QVariant();
    return Section + 1;
}

Qt::ItemFlags TRegionTableModel::flags(const QModelIndex& Index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(Index);
    if (Index.isValid() && EditableColumn(Index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TRegionTableModel::setData(const QModelIndex& Index, const QVariant& Value, int Role)
{
    LastError.clear();
    if (Role != Qt::EditRole || !(flags(Index) & Qt::ItemIsEditable))
        return false;
    return SetTexts({Index.row()}, Index.column(), {Value.toString()}, LastError);
}

bool TRegionTableModel::SetTexts(const std::vector<int>& Rows, int Column, const std::vector<QString>& Texts,
                                 QString& Error)
{
    if (Rows.empty() || Texts.empty() || (Texts.size() != 1 && Texts.size() != Rows.size()) ||
        !EditableColumn(Column)) {
        Error = QStringLiteral("Nothing to set.");
        return false;
    }
    std::vector<TRingValue> values;
    for (size_t i = 0; i < Rows.size(); ++i) {
        const QString& text = Texts.size() == 1 ? Texts.front() : Texts[i];
        ParamValue value;
        if (Column == rcLabel) {
            // As in the dialog: an emptied label is one blank.
            value = ParamValue((text.isEmpty() ? QStringLiteral(" ") : text).toStdString());
        } else if (ChoiceColumn(Column) || BoundColumn(Column) || Column == rcWaterResistivity) {
            const TParameterEntry entry = ReadRegionText(Column, text);
            if (!entry.Valid) {
                // A water's value names its body: the refusal may concern one of several rows.
                const TRingRef& region = FRows.at(static_cast<size_t>(Rows[i]));
                Error = Column == rcWaterResistivity
                            ? QStringLiteral("Body %1, ring %2: %3").arg(region.Body).arg(region.Ring).arg(entry.Error)
                            : entry.Error;
                return false;
            }
            value = entry.Value;
            if (BoundColumn(Column) && !value.IsEmpty()) {
                // The lowest below the highest, as a fit needs them.
                const TPolygonParams& params =
                    FChart.Model[FRows.at(static_cast<size_t>(Rows[i])).Body][FRows.at(static_cast<size_t>(Rows[i])).Ring]
                        .params;
                const std::optional<double> other =
                    RegionFitBound(params, Column == rcLowest ? psHighest : psLowest);
                const double typed = value.AsReal();
                if (other && (Column == rcLowest ? typed >= *other : typed <= *other)) {
                    Error = QStringLiteral("The lowest resistivity must lie below the highest.");
                    return false;
                }
            }
        } else {
            const TBodyQuantity quantity =
                Column == rcResistivity ? TBodyQuantity::Resistivity : TBodyQuantity::Polarizability;
            TParameterEntry entry = ReadParameterText(quantity, text);
            if (!entry.Valid) {
                Error = entry.Error;
                return false;
            }
            value = entry.Value;
        }
        values.push_back({FRows.at(static_cast<size_t>(Rows[i])), value});
    }
    if (SetRingsParameter(FChart, ColumnSlot(Column), values))
        Refresh();
    return true;
}

// --- The window -----------------------------------------------------------------------------------------

TRegionsWindow::TRegionsWindow(TPolygonChart& Chart, QWidget* Parent) : QDialog(Parent), FChart(Chart)
{
    setObjectName(QStringLiteral("RegionsWindow"));
    setWindowTitle(QStringLiteral("Regions"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Model = new TRegionTableModel(Chart, this);
    Sorted = new QSortFilterProxyModel(this);
    Sorted->setSourceModel(Model);
    Sorted->setSortRole(TRegionTableModel::SortRole);
    Table = new QTableView(this);
    Table->setObjectName(QStringLiteral("RegionsTable"));
    Table->setModel(Sorted);
    Table->setItemDelegate(new TRegionCellDelegate(*this));
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    // File order until a header is clicked.
    Table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    Table->setSortingEnabled(true);
    Table->horizontalHeader()->setStretchLastSection(true);
    Table->verticalHeader()->hide();
    Table->installEventFilter(this);
    connect(Table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { MarkSelectedRegions(); });

    MessageLabel = new QLabel(this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setWordWrap(true);
    MessageLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    CloseButton = new QPushButton(QStringLiteral("Cl&ose"), this);
    CloseButton->setAutoDefault(false);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Table, 1);
    layout->addWidget(MessageLabel);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);

    Table->resizeColumnsToContents();
    resize(std::max(560, Table->horizontalHeader()->length() + 40), 360);
}

void TRegionsWindow::Refresh()
{
    const std::vector<TRingRef> selected = SelectedRegions();
    // A region is known again by its nodes: deleting a body renumbers the
    // bodies after it, and a number alone would then select another one.
    std::vector<arofintM> selectedRings;
    for (int row : SelectedSourceRows())
        if (row >= 0 && row < Model->rowCount())
            selectedRings.push_back(Model->RingNodes(row));
    const auto sameRegion = [this](const TRingRef& Region, const arofintM& Ring) {
        return Region.Body < FChart.Model.Length() && Region.Ring < FChart.Model[Region.Body].Length() &&
               FChart.Model[Region.Body][Region.Ring].ring == Ring;
    };
    const QModelIndex current = Table->currentIndex();
    const std::optional<TRingRef> currentRegion =
        current.isValid() ? std::optional(Model->Region(Sorted->mapToSource(current).row())) : std::nullopt;
    const int currentColumn = current.isValid() ? current.column() : 0;
    const int rowsBefore = Model->rowCount();
    Model->Refresh();
    if (Model->rowCount() != rowsBefore || SelectedRegions() != selected) {
        // The rows were made anew: the same regions selected again.
        QItemSelection selection;
        for (size_t i = 0; i < selected.size(); ++i)
            if (const int row = Model->RowOf(selected[i]); row >= 0 && sameRegion(selected[i], selectedRings[i])) {
                const QModelIndex at = Sorted->mapFromSource(Model->index(row, 0));
                selection.select(at, at.siblingAtColumn(rcColumnCount - 1));
            }
        Table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        if (currentRegion)
            if (const int row = Model->RowOf(*currentRegion); row >= 0)
                Table->selectionModel()->setCurrentIndex(Sorted->mapFromSource(Model->index(row, currentColumn)),
                                                         QItemSelectionModel::NoUpdate);
    }
    MarkSelectedRegions();
}

void TRegionsWindow::SelectRegion(TRingRef Region)
{
    const int row = Model->RowOf(Region);
    if (row < 0)
        return;
    const QModelIndex at = Sorted->mapFromSource(Model->index(row, 0));
    Table->selectionModel()->setCurrentIndex(
        at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Table->scrollTo(at);
}

std::vector<int> TRegionsWindow::SelectedSourceRows() const
{
    std::vector<int> viewRows;
    for (const QModelIndex& index : Table->selectionModel()->selectedRows())
        viewRows.push_back(index.row());
    std::sort(viewRows.begin(), viewRows.end());
    std::vector<int> rows;
    for (int viewRow : viewRows)
        rows.push_back(Sorted->mapToSource(Sorted->index(viewRow, 0)).row());
    return rows;
}

std::vector<TRingRef> TRegionsWindow::SelectedRegions() const
{
    std::vector<TRingRef> regions;
    for (int row : SelectedSourceRows())
        if (row >= 0 && row < Model->rowCount())
            regions.push_back(Model->Region(row));
    return regions;
}

void TRegionsWindow::MarkSelectedRegions()
{
    std::vector<TRingRef> regions = isVisible() ? SelectedRegions() : std::vector<TRingRef>{};
    if (regions == FChart.MarkedRegions)
        return;
    FChart.MarkedRegions = std::move(regions);
    FChart.Invalidate();
}

void TRegionsWindow::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    MarkSelectedRegions();
}

void TRegionsWindow::hideEvent(QHideEvent* Event)
{
    QDialog::hideEvent(Event);
    MarkSelectedRegions();
}

void TRegionsWindow::UndoFromTable()
{
    ShowMessage({});
    if (OnUndo)
        OnUndo();
    Refresh();
}

void TRegionsWindow::ShowMessage(const QString& Text)
{
    MessageLabel->setText(Text);
}

void TRegionsWindow::BeforeEdit()
{
    ShowMessage({});
    if (OnBeforeEdit)
        OnBeforeEdit();
}

TRegionsWindow::~TRegionsWindow()
{
    // The table goes first, while this window is whole: its editor's last
    // commit then reaches ApplyTyped, which refuses it.
    FClosing = true;
    delete Table;
    Table = nullptr;
}

bool TRegionsWindow::ApplyTyped(int ViewRow, int Column, const QString& Text)
{
    if (FClosing)
        return false;
    const int sourceRow = Sorted->mapToSource(Sorted->index(ViewRow, Column)).row();
    std::vector<int> rows = SelectedSourceRows();
    if (std::find(rows.begin(), rows.end(), sourceRow) == rows.end())
        rows = {sourceRow};
    BeforeEdit();
    QString error;
    if (!Model->SetTexts(rows, Column, {Text}, error)) {
        ShowMessage(error);
        return false;
    }
    return true;
}

QString TRegionsWindow::SelectedRowsText() const
{
    QStringList lines;
    QStringList header;
    for (int column = 0; column < rcColumnCount; ++column)
        header << ColumnTitle(column);
    lines << header.join(QLatin1Char('\t'));
    for (int row : SelectedSourceRows()) {
        QStringList cells;
        for (int column = 0; column < rcColumnCount; ++column)
            cells << Model->data(Model->index(row, column)).toString().simplified();
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void TRegionsWindow::CopySelection()
{
    if (SelectedSourceRows().empty())
        return;
    QGuiApplication::clipboard()->setText(SelectedRowsText());
}

void TRegionsWindow::PasteIntoSelection()
{
    const int column = Table->currentIndex().column();
    if (!NumberColumn(column)) {
        ShowMessage(QStringLiteral("Paste fills the resistivity or the polarizability column: choose a cell there "
                                   "first."));
        return;
    }
    QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = line.trimmed();
    while (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    // A column copied with its header: the header is not a value.
    if (!lines.isEmpty() && lines.front().startsWith(ColumnTitle(column).section(QLatin1Char(' '), 0, 0),
                                                     Qt::CaseInsensitive))
        lines.removeFirst();
    if (lines.isEmpty()) {
        ShowMessage(QStringLiteral("The clipboard holds no values."));
        return;
    }
    for (const QString& line : lines)
        if (line.contains(QLatin1Char('\t'))) {
            ShowMessage(QStringLiteral("Paste a single column of numbers."));
            return;
        }
    std::vector<int> rows = SelectedSourceRows();
    if (rows.size() <= 1 && lines.size() > 1) {
        // One row chosen: the values fill it and the rows below it.
        rows.clear();
        const size_t wanted = static_cast<size_t>(lines.size());
        for (int viewRow = Table->currentIndex().row(); viewRow < Sorted->rowCount() && rows.size() < wanted;
             ++viewRow)
            rows.push_back(Sorted->mapToSource(Sorted->index(viewRow, 0)).row());
    }
    if (lines.size() != 1 && size_t(lines.size()) != rows.size()) {
        ShowMessage(QStringLiteral("%1 values cannot fill %2 rows: select as many rows as there are values.")
                        .arg(lines.size())
                        .arg(rows.size()));
        return;
    }
    BeforeEdit();
    QString error;
    if (!Model->SetTexts(rows, column, std::vector<QString>(lines.begin(), lines.end()), error))
        ShowMessage(error);
}

bool TRegionsWindow::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Table && Event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(Event);
        if (key->matches(QKeySequence::Copy)) {
            CopySelection();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            PasteIntoSelection();
            return true;
        }
        // Ctrl+Z: the owner's window shortcut takes it first when the owner
        // has one (a tool window passes shortcuts to its parent).
        if (key->matches(QKeySequence::Undo)) {
            UndoFromTable();
            return true;
        }
    }
    return QDialog::eventFilter(Watched, Event);
}

} // namespace lp
