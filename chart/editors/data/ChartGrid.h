#pragma once
// The data grid: the points of one series, or of every series of a chart,
// as a spreadsheet, and the navigator bar that follows it.
//
//   TChartGrid (QTableView)
//     ├─owns─> TChartGridModel     one row per point index, columns:
//     │                            [Colors] [Text] per series: [X] values…
//     ├─owns─> TChartGridHeader    two bands: series symbol and title over
//     │                            its first column, then list names
//     └─observes─> TCustomChart    a listener of the chart shown: series
//                                  events repaint (kinds 2, 3, 5) or re-lay
//   TChartGridNavigator (TCustomPlotNavigator)  steps and edits the grid
//
// Row r shows point r of every shown series; the point-number column is the
// vertical header. Typing stores at once: a value beyond a series' end first
// appends null points up to its row. In 3-D grid mode the columns are the
// distinct X values and the rows the distinct Z values of a series that has
// Z values; a cell shows and edits the Y of the point at that (X, Z).

#include "chart/canvas/PlotPanel.h"
#include "chart/editors/data/PlotNavigator.h"

#include <QtCore/QAbstractTableModel>
#include <QtCore/QPointer>
#include <QtWidgets/QTableView>

#include <functional>
#include <vector>

namespace lp {

class TChartSeries;
class TChartValueList;
class TCustomChart;
class TChartGrid;
class TChartGridNavigator;

enum TChartGridShow { cgsAuto, cgsNo, cgsYes };

class TChartGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumnKind { ckColors, ckText, ckValue, ck3DValue };
    struct TColumn {
        TColumnKind Kind = ckValue;
        TChartSeries* Series = nullptr;
        TChartValueList* List = nullptr;
        double X = 0; // 3-D mode: the column's X value
        bool FirstOfSeries = false;
    };

    explicit TChartGridModel(TChartGrid& Grid);

    int rowCount(const QModelIndex& Parent = {}) const override;
    int columnCount(const QModelIndex& Parent = {}) const override;
    QVariant data(const QModelIndex& Index, int Role) const override;
    bool setData(const QModelIndex& Index, const QVariant& Value, int Role) override;
    Qt::ItemFlags flags(const QModelIndex& Index) const override;
    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override;

    // Rebuilds the columns and rows from the grid's settings and series.
    void Relayout();
    // Drops the columns of a series being destroyed.
    void Forget(QObject* Object);
    // Tells the views that rows were added or removed at the end.
    void SetRowCount(int Count);

    const TColumn& Column(int Index) const;
    // The series a column belongs to (none for Colors and Text).
    TChartSeries* ColumnSeries(int Index) const;
    // The text a cell shows.
    QString CellText(int Row, int Column) const;
    // Stores Text into a cell; false (nothing stored) when Text does not read
    // as a value of the column.
    bool StoreText(int Row, int Column, const QString& Text);
    // 3-D mode: the point at (column X, row Z), or -1.
    int PointAt3D(int Row, int Column) const;

private:
    void Layout2D();
    void Layout3D();

    TChartGrid& FGrid;
    std::vector<TColumn> FColumns;
    std::vector<double> FZValues; // 3-D mode: the rows' Z values
    TChartSeries* F3DSeries = nullptr;
    int FRows = 1;
};

class TChartGrid : public QTableView, public IPlotEventListener {
    Q_OBJECT
    Q_PROPERTY(bool ShowColors READ ShowColors WRITE SetShowColors)
    Q_PROPERTY(bool ShowLabels READ ShowLabels WRITE SetShowLabels)
public:
    explicit TChartGrid(QWidget* Parent = nullptr);
    ~TChartGrid() override;

    // Shows every series of Chart; clears Series.
    TCustomChart* Chart() const { return FChart.data(); }
    void SetChart(TCustomChart* Value);
    // Shows only Value; clears Chart and listens to the series' chart.
    TChartSeries* Series() const { return FSeries.data(); }
    void SetSeries(TChartSeries* Value);

    bool ShowColors() const { return FShowColors; }
    void SetShowColors(bool Value);
    bool ShowLabels() const { return FShowLabels; }
    void SetShowLabels(bool Value);
    TChartGridShow ShowXValues() const { return FShowXValues; }
    void SetShowXValues(TChartGridShow Value);
    bool ShowFields() const { return FShowFields; }
    void SetShowFields(bool Value);
    bool Grid3DMode() const { return FGrid3DMode; }
    void SetGrid3DMode(bool Value);
    bool EditSourcedSeries() const { return FEditSourcedSeries; }
    void SetEditSourcedSeries(bool Value) { FEditSourcedSeries = Value; }

    // The shown series, in order.
    std::vector<TChartSeries*> ShownSeries() const;
    // The largest point count of the shown series.
    int MostPoints() const;
    // Whether the series at Index of the shown ones has an X column.
    bool ShowsXColumn(int ShownIndex) const;
    TChartGridModel& GridModel() const { return *FModel; }

    // Rebuilds columns and rows.
    void Relayout();
    // The key and button actions.
    void AppendRow();
    bool RemoveAppendedRow();
    void InsertRow();
    void DeleteRow();
    void EditCurrent();
    void PostEdit();
    void CancelEdit();
    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
    // The colour dialog for the current row's point.
    void EditPointColor();

    std::function<void(int Column, int Row, bool& Allow)> OnEditingCell;
    std::function<void(int Column, int Row)> OnSetEditText;
    std::function<void()> OnChangeColor;

    void PlotEvent(TPlotEvent& Event) override;

    // Whether the next edit is of a point that does not exist yet.
    bool NewPoint() const { return FNewPoint; }
    QString SavedText() const { return FSavedText; }

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    bool edit(const QModelIndex& Index, EditTrigger Trigger, QEvent* Event) override;
    void currentChanged(const QModelIndex& Current, const QModelIndex& Previous) override;
    void closeEditor(QWidget* Editor, QAbstractItemDelegate::EndEditHint Hint) override;

private:
    friend class TChartGridModel;
    friend class TChartGridNavigator;
    void Listen(TCustomPlotPanel* Panel);
    void ShownDestroyed(QObject* Object);
    void Changed();
    // The series that a row key acts on: the current column's, or the next
    // column's from the colour column.
    TChartSeries* RowKeySeries() const;
public:
    // The series of Column, or of the next column holding one (the point
    // colours and labels of a row belong to it).
    TChartSeries* RowKeySeriesFor(int Column) const;

private:
    void AfterDataChange();

    TChartGridModel* FModel;
    QPointer<TCustomChart> FChart;
    QPointer<TChartSeries> FSeries;
    QPointer<TCustomPlotPanel> FListened;
    std::vector<bool> FShowX; // one flag per shown series
    bool FShowColors = false;
    bool FShowLabels = true;
    TChartGridShow FShowXValues = cgsAuto;
    bool FShowFields = true;
    bool FGrid3DMode = false;
    bool FEditSourcedSeries = false;
    bool FNewPoint = false;
    bool FStoring = false;
    QString FSavedText;
    QPointer<TChartGridNavigator> FNavigator;
};

class TChartGridNavigator : public TCustomPlotNavigator {
    Q_OBJECT
public:
    explicit TChartGridNavigator(QWidget* Parent = nullptr);

    TChartGrid* Grid() const { return FGrid.data(); }
    void SetGrid(TChartGrid* Value);
    void EnableButtons() override;

protected:
    void BtnClick(TPlotNavigateBtn Kind) override;

private:
    QPointer<TChartGrid> FGrid;
};

} // namespace lp
