#pragma once
// The series list of the chart editors: one row per series of a chart,
// with up to four columns (the type's icon, an Active box, the series
// colour, the title). A click on the box switches the series on or off; a
// double-click on the colour recolours it, on the icon changes its type;
// rows are dragged to reorder the series; F2 renames in place, Insert adds
// a series from the gallery, Delete deletes with a question.
//
//   TChartListBox (QListView, chart listener) ─owns─> TSeriesListModel
//
// The model is the one list of the chart's series: the series page's combo
// shows it too (setModel). The list listens to the chart's series events
// and follows additions, removals, retitling, recolouring and swaps.

#include "chart/canvas/PlotPanel.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotLegend.h"

#include <QtCore/QAbstractListModel>
#include <QtCore/QPointer>
#include <QtWidgets/QListView>

#include <functional>
#include <vector>

class QLineEdit;

namespace lp {

class TChartSeries;
class TCustomAxisPanel;
class TSeriesGroup;
struct TDroppedSourceLink;

// The series of one chart (or one series group), as rows.
class TSeriesListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Rows of the chart's series shown in editors (the group's, when set).
    void Fill(TCustomAxisPanel* Chart, TSeriesGroup* Group, bool UseNames);
    // Rows of Series that belong to no chart's list (a map's shapes), each
    // with its text from Texts.
    void FillWith(const std::vector<TChartSeries*>& Series, const QStringList& Texts);
    // A new text for a row filled with its own text.
    void SetRowText(int Row, const QString& Text);
    void Clear();
    int Count() const { return static_cast<int>(FSeries.size()); }
    // ERangeError outside 0 .. Count - 1.
    TChartSeries* Series(int Row) const;
    // -1 when the series is not listed.
    int RowOf(const TChartSeries* Series) const;
    // The same by address, for a series in the middle of its destruction
    // (TChartSeries derives singly: its address is its bases' address).
    int RowOfAddress(const void* Series) const;
    void RemoveRow(int Row);
    void ExchangeRows(int A, int B);
    // Tells the views the row's text or drawing changed.
    void RowChanged(int Row);
    QString RowText(int Row) const;

    int rowCount(const QModelIndex& Parent = {}) const override;
    // Display: the series' display text; user role: the series.
    QVariant data(const QModelIndex& Index, int Role) const override;

private:
    std::vector<TChartSeries*> FSeries;
    // The rows' own texts (FillWith), else empty.
    QStringList FTexts;
    bool FUseNames = false;
};

class TChartListBox : public QListView, public IPlotEventListener {
    Q_OBJECT
    Q_PROPERTY(bool AllowAddSeries MEMBER AllowAddSeries)
    Q_PROPERTY(bool AllowDeleteSeries MEMBER AllowDeleteSeries)
    Q_PROPERTY(bool AskDelete MEMBER AskDelete)
    Q_PROPERTY(bool EnableChangeColor MEMBER EnableChangeColor)
    Q_PROPERTY(bool EnableDragSeries MEMBER EnableDragSeries)
    Q_PROPERTY(bool EnableChangeType MEMBER EnableChangeType)

public:
    // The four columns, left to right.
    enum TColumn { colIcon = 0, colActive = 1, colColor = 2, colTitle = 3 };
    static constexpr int ItemHeight = 24;

    explicit TChartListBox(QWidget* Parent = nullptr);
    ~TChartListBox() override;

    TCustomAxisPanel* Chart() const { return FChart.data(); }
    // Detaches from the old chart, attaches to the new one and refills.
    void SetChart(TCustomAxisPanel* Value);
    TSeriesGroup* SeriesGroup() const { return FSeriesGroup; }
    void SetSeriesGroup(TSeriesGroup* Value);
    bool ShowSeriesNames() const { return FShowSeriesNames; }
    void SetShowSeriesNames(bool Value);
    TCheckBoxesStyle CheckStyle() const { return FCheckStyle; }
    // Radio: only the first active series stays active.
    void SetCheckStyle(TCheckBoxesStyle Value);

    bool AllowAddSeries = true;
    bool AllowDeleteSeries = true;
    bool AskDelete = true;
    bool EnableChangeColor = true;
    bool EnableDragSeries = true;
    bool EnableChangeType = true;
    // F2 renames the series in place.
    bool AllowRename = true;

    bool ColumnVisible(TColumn Column) const { return FColumnVisible[Column]; }
    void SetColumnVisible(TColumn Column, bool Visible);
    bool ShowSeriesIcon() const { return ColumnVisible(colIcon); }
    void SetShowSeriesIcon(bool Value) { SetColumnVisible(colIcon, Value); }
    bool ShowActiveCheck() const { return ColumnVisible(colActive); }
    void SetShowActiveCheck(bool Value) { SetColumnVisible(colActive, Value); }
    // Off: the active check boxes show greyed, a click leaves them as they
    // are, and the mouse resting on one shows Hint.
    bool ActiveCheckEnabled() const { return FActiveCheckEnabled; }
    void SetActiveCheckEnabled(bool Enabled, const QString& Hint = {});
    bool ShowSeriesColor() const { return ColumnVisible(colColor); }
    void SetShowSeriesColor(bool Value) { SetColumnVisible(colColor, Value); }
    bool ShowSeriesTitle() const { return ColumnVisible(colTitle); }
    void SetShowSeriesTitle(bool Value) { SetColumnVisible(colTitle, Value); }
    int ColumnWidth(TColumn Column) const;
    // The sum of the widths of the visible columns before Column.
    int ColumnOffset(TColumn Column) const;
    // Inside a visible column, both ends excluded.
    bool PointInColumn(TColumn Column, int X) const;

    TSeriesListModel& Model() const { return *FModel; }
    int Count() const { return FModel->Count(); }
    // The row of the current item, -1 while the list is empty.
    int ItemIndex() const;
    void SetItemIndex(int Row);
    // The series of the current row, or nullptr.
    TChartSeries* CurrentSeries() const;
    std::vector<TChartSeries*> SelectedSeries() const;
    int SelectedCount() const;
    bool IsSelected(int Row) const;
    // The row whose series is Series becomes current and selected.
    void SelectSeriesRow(TChartSeries* Series);
    void ClearSelection();
    // Selects every row.
    void SelectAll();
    QString RowText(int Row) const { return FModel->RowText(Row); }

    // Refills from the chart and selects Series' row (row 0 when Series is
    // not listed).
    void RefillList(TChartSeries* Series);
    // Shows Series (no chart's list) with their own texts, no row current.
    void FillOtherItems(const std::vector<TChartSeries*>& Series, const QStringList& Texts);
    void MoveRowUp();
    void MoveRowDown();
    // Exchanges two rows and their series in the chart.
    void ExchangeRows(int A, int B);
    bool DeleteSelected();
    void CloneSelected();
    bool RenameWithDialog();
    void RenameInPlace();
    // The in-place editor, nullptr before the first use.
    QLineEdit* InPlaceEdit() const { return FEdit; }
    TChartSeries* AddFromGallery();
    // The first selected series through the gallery, the others to the
    // type chosen there. A change that fails changes nothing of its series
    // and ends the round; its message is shown (TApplication).
    void ChangeTypeOfSelected();

    std::function<void(TChartListBox* Sender, TChartSeries* Series)> OnChangeActive;
    std::function<void(TChartListBox* Sender, TChartSeries* Series)> OnChangeColor;
    std::function<void(TChartListBox* Sender, TChartSeries* Series1, TChartSeries* Series2)> OnChangeOrder;
    std::function<void(TChartListBox* Sender, int Index)> OnDblClickSeries;
    std::function<void(TChartListBox* Sender, TChartSeries* Series)> OnRemovedSeries;
    std::function<void(TChartListBox* Sender)> OnOtherItemsChange;
    std::function<void(TChartListBox* Sender)> OnRefresh;

    void PlotEvent(TPlotEvent& Event) override;

    // One row as drawn, for tests and screenshots.
    QImage RowImage(int Row) const;

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    bool viewportEvent(QEvent* Event) override;
    void currentChanged(const QModelIndex& Current, const QModelIndex& Previous) override;

private:
    friend class TChartListBoxDelegate;
    void Attach();
    void Detach();
    void ChartDestroyed();
    void DrawRow(QPainter& Painter, const QRect& Rect, int Row, bool Selected) const;
    int RowAt(const QPoint& Pos) const;
    void ToggleActive(int Row);
    void EditColor(int Row);
    void EndInPlaceEdit(bool Accept);
    void FireRefresh();

    QPointer<TCustomAxisPanel> FChart;
    QMetaObject::Connection FChartDestroyed;
    TSeriesGroup* FSeriesGroup = nullptr;
    TSeriesListModel* FModel;
    bool FShowSeriesNames = false;
    TCheckBoxesStyle FCheckStyle = cbsCheck;
    bool FActiveCheckEnabled = true;
    QString FActiveCheckHint;
    bool FColumnVisible[4] = {true, true, true, true};
    QLineEdit* FEdit = nullptr;
    QPointer<TChartSeries> FEditSeries;
    bool FDoubleClicking = false;
    int FDragRow = -1;
    QPoint FDragStart;
    bool FDragging = false;
    bool FDestroying = false;
};

// The gallery's procedures, filled by the gallery unit at start-up; while
// empty, adding from the gallery and changing a type do nothing.
using TAddFromGalleryHook = std::function<TChartSeries*(QWidget* Owner, TCustomAxisPanel* Chart, TChartSeries* Series)>;
using TChangeTypeHook = std::function<const QMetaObject*(QWidget* Owner, TChartSeries*& Series)>;
TAddFromGalleryHook& AddFromGalleryHook();
TChangeTypeHook& ChangeTypeHook();

// Tells the user, in a warning box, which data-source links a change of
// series type removed (ReplaceSeries' answer); nothing when none was.
void ShowDroppedSourceLinks(const std::vector<TDroppedSourceLink>& Dropped);

} // namespace lp
