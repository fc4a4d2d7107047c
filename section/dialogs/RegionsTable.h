#pragma once
// "Regions": a table of every region of the section, the host medium first,
// then every ring in file order, with its body, ring, label, resistivity,
// polarizability and area (in the model's units squared, the number the
// model export writes, shown rounded as the parameters are), and how a fit
// of the regions to measured data treats it: Fit (free or fixed) and the
// Lowest and Highest resistivity it may give; whether it is water, which an
// inversion holds at the measured water resistivity (else its resistivity).
//
//   TRegionsWindow (QDialog, not modal) ──owns──> QTableView
//        │                                   └─ a sorting proxy over
//        └─ TRegionTableModel ──observes──> TPolygonChart (the model)
//
// The label, resistivity, polarizability, Fit, bounds and water are edited in place; a typed
// number is checked as the body dialog checks it, and a value typed while
// several rows are selected goes to all of them. Every change is one undo
// step and redraws the section. Selected rows are marked on the section.
// Ctrl+C copies the selected rows as tab-separated text with a header;
// Ctrl+V fills the selected rows of the resistivity or polarizability
// column from a column of numbers. The window follows the model: its owner
// calls Refresh after every change of the model.

#include "section/editor/BodyParameters.h"

#include <QtCore/QAbstractTableModel>
#include <QtWidgets/QDialog>

#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace lp {

class TPolygonChart;

enum TRegionColumn : int {
    rcBody,
    rcRing,
    rcLabel,
    rcResistivity,
    rcPolarizability,
    rcArea,
    rcFit,     // how a fit to measured data treats the region: free or fixed
    rcLowest,  // the lowest resistivity a fit may give (ohm-m); empty: no bound
    rcHighest, // the highest
    rcWater,   // a body of water, held at its resistivity by an inversion: yes or no
    rcWaterResistivity, // the measured water's resistivity held (ohm-m); empty: the body's
    rcColumnCount
};

// The rows of the table over the chart's model.
class TRegionTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Sorting by a column compares this role's numbers (texts for the label).
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit TRegionTableModel(TPolygonChart& Chart, QObject* Parent = nullptr);

    // Reads the chart's model again: the rows when rings came or went, the
    // areas when the geometry changed, every cell's value.
    void Refresh();
    TRingRef Region(int Row) const { return FRows.at(static_cast<size_t>(Row)); }
    // -1 when the model has no such region.
    // The row's ring as its nodes, as of the last Refresh.
    const arofintM& RingNodes(int Row) const { return FAreaRings.at(static_cast<size_t>(Row)); }
    int RowOf(TRingRef Region) const;
    // Sets Column (label, resistivity or polarizability) of the rows: one
    // text for all of them, or one text per row. Every text is checked
    // first; a refused one stores nothing and gives the reason in Error.
    // True when the texts were allowed (also when nothing changed).
    bool SetTexts(const std::vector<int>& Rows, int Column, const std::vector<QString>& Texts, QString& Error);

    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role = Qt::DisplayRole) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role = Qt::EditRole) override;

    // The reason the last setData refused its text; empty when it did not.
    QString LastError;

private:
    // The regions of the chart's model, in the table's order.
    std::vector<TRingRef> ModelRows() const;
    void ReadAreas();
    QString CellText(int Row, int Column) const;

    TPolygonChart& FChart;
    std::vector<TRingRef> FRows;
    std::vector<std::optional<double>> FAreas; // by row; none when the model cannot be partitioned
    // The geometry the areas were computed for.
    Tnodes FAreaNodes;
    std::vector<arofintM> FAreaRings;
    TModelArea FAreaOf{};
};

class TRegionsWindow : public QDialog {
    Q_OBJECT
public:
    explicit TRegionsWindow(TPolygonChart& Chart, QWidget* Parent = nullptr);
    // Drops a cell editor in hand without committing it: the model it
    // would write into may be on its way out with the program.
    ~TRegionsWindow() override;

    // Run before an edit of the table changes the model (the owner puts an
    // edit in hand on the section back); Ctrl+Z in the table.
    std::function<void()> OnBeforeEdit;
    std::function<void()> OnUndo;

    // After every change of the chart's model; keeps the selected regions.
    void Refresh();
    // Selects the region's row (and only it) and shows it.
    void SelectRegion(TRingRef Region);
    // The selected regions, in the table's order.
    std::vector<TRingRef> SelectedRegions() const;
    // The selected rows as tab-separated text under a header line.
    QString SelectedRowsText() const;
    // Ctrl+C and Ctrl+V.
    void CopySelection();
    void PasteIntoSelection();
    // Column's text typed into the row at ViewRow: to every selected row
    // when that row is among them. False (the reason shown) when refused.
    bool ApplyTyped(int ViewRow, int Column, const QString& Text);

    QTableView* Table = nullptr;
    QLabel* MessageLabel = nullptr; // the reason a value was refused
    QPushButton* CloseButton = nullptr;
    TRegionTableModel* Model = nullptr;
    QSortFilterProxyModel* Sorted = nullptr;

protected:
    // The section outlines the selected regions whenever the table is
    // shown (also when it is shown again with its rows still selected),
    // and none while it is hidden.
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // Source rows of the selected view rows, in view order.
    std::vector<int> SelectedSourceRows() const;
    void MarkSelectedRegions();
    void ShowMessage(const QString& Text);
    void BeforeEdit();
    void UndoFromTable();
    TPolygonChart& FChart;
    bool FClosing = false;
};

} // namespace lp
