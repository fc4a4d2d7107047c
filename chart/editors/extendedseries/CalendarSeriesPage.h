#pragma once
// The calendar series' page: "Options" (grid lines, which cells and
// buttons show, upper-case names) and one tab per cell style ("Days",
// "Weekdays", "Today", "Sunday", "Trailing", "Months") holding that
// cell's shape-format tabs. The check boxes write at once.

#include "chart/editors/EditorPage.h"

#include <array>

class QCheckBox;
class QTabWidget;

namespace lp {

class TButtonPen;
class TCalendarSeries;
class TFormPlotShape;

class TCalendarSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TCalendarSeriesEditor(QWidget* Parent = nullptr);

    TCalendarSeries* Series() const;

    QTabWidget* PageControl1;
    // The cells' page controls, in tab order: PageControl2 .. PageControl7.
    std::array<QTabWidget*, 6> CellPageControls{};
    // The cells' shape-format editors (made on first use, living hidden in
    // their page controls).
    std::array<QPointer<TFormPlotShape>, 6> CellEditors;

    TButtonPen* ButtonPen1;
    QCheckBox* CBWeekDays;
    QCheckBox* CBWeekUpper;
    QCheckBox* CBTrailing;
    QCheckBox* CBToday;
    QCheckBox* CBMonths;
    QCheckBox* CBMonthUpper;
    QCheckBox* CBPrevious;
    QCheckBox* CBNext;

protected:
    void FillControls() override;

private:
    // Each cell's shape-format tabs, made once, bound to the series' cells.
    void FillCellTabs();
};

} // namespace lp
