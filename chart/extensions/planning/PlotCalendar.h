#pragma once
// A series that turns a chart's plot area into a month calendar: an
// optional title row (month and year), an optional row of weekday names and
// six weeks of day cells. "<" and ">" buttons on the chart move by a month,
// a click on the title opens a menu of the months, a click on a day picks
// it; every change of Date goes through OnChange, which may alter or
// cancel it.
//
//   TCalendarSeries
//     ├─owns─> six cells: Days, Sunday, Today, Trailing (TCalendarCell),
//     │        Months, WeekDays (TCalendarCellUpper, with a date Format)
//     ├─owns─> the "<" and ">" buttons (shown on the chart's window)
//     └─owns─> the month menu
//
// The series holds one null point so that the chart paints it; it listens
// to the chart's mouse events. Week starts and month and day names come
// from a locale (the user's unless one is set).

#include "chart/canvas/PlotPanel.h"
#include "chart/canvas/PlotShapes.h"
#include "chart/engine/PlotEngine.h"
#include "platform/core/DateTimeFormat.h"

#include <QtCore/QLocale>

#include <functional>
#include <memory>

namespace lp {

class TCalendarSeries;
class TPopupMenu;

class TCalendarCell : public TPlotShape {
    Q_OBJECT
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    // Transparent as the cell starts (and as stored against).
    explicit TCalendarCell(bool IsTransparent);

    // The rectangle the cell was drawn in last (the title's is hit-tested).
    TRect LastRect() const { return FLastRect; }
    void SetLastRect(const TRect& Value) { FLastRect = Value; }

private:
    TRect FLastRect{};
};

class TCalendarCellUpper : public TCalendarCell {
    Q_OBJECT
    Q_PROPERTY(QString Format READ Format WRITE SetFormat)
    Q_PROPERTY(bool UpperCase READ UpperCase WRITE SetUpperCase)
    Q_CLASSINFO("default:UpperCase", "false")

public:
    TCalendarCellUpper(bool IsTransparent, const QString& AFormat);

    // A date picture of the date formatter (never a printf pattern).
    QString Format() const { return FFormat; }
    void SetFormat(const QString& Value);
    bool UpperCase() const { return FUpperCase; }
    void SetUpperCase(bool Value);

    // Date written through Format, in capitals with UpperCase.
    QString DateText(double Date, const TDateTimeFormatSettings& Settings) const;

private:
    QString FFormat;
    bool FUpperCase = false;
};

class TCalendarSeries : public TChartSeries, public IPlotEventListener {
    Q_OBJECT
    Q_PROPERTY(double Date READ Date WRITE SetDate)
    Q_PROPERTY(lp::TCalendarCell* Days READ Days WRITE SetDays)
    Q_PROPERTY(lp::TCalendarCellUpper* Months READ Months WRITE SetMonths)
    Q_PROPERTY(bool NextButtonVisible READ NextButtonVisible WRITE SetNextButtonVisible)
    Q_CLASSINFO("default:NextButtonVisible", "true")
    Q_PROPERTY(lp::TChartPen* Pen READ Pen WRITE SetPen)
    Q_PROPERTY(bool PreviousButtonVisible READ PreviousButtonVisible WRITE SetPreviousButtonVisible)
    Q_CLASSINFO("default:PreviousButtonVisible", "true")
    Q_CLASSINFO("default:ShowInLegend", "false")
    Q_PROPERTY(lp::TCalendarCell* Sunday READ Sunday WRITE SetSunday)
    Q_PROPERTY(lp::TCalendarCell* Today READ Today WRITE SetToday)
    Q_PROPERTY(lp::TCalendarCell* Trailing READ Trailing WRITE SetTrailing)
    Q_PROPERTY(lp::TCalendarCellUpper* WeekDays READ WeekDays WRITE SetWeekDays)

public:
    explicit TCalendarSeries(TComponent* AOwner = nullptr);
    ~TCalendarSeries() override;

    QString GetEditorClassName() const override { return QStringLiteral("TCalendarSeriesEditor"); }

    // Whole days (see DateTimeFormat.h); initially today.
    double Date() const { return FDate; }
    // OnChange may change or cancel the new date (set it back to Date);
    // only a date that still differs is stored and repainted. A date
    // outside the years 1 .. 9999 raises EConvertError.
    void SetDate(double Value);
    void NextMonth();
    void PreviousMonth();

    TCalendarCell* Days() const { return FDays.get(); }
    void SetDays(const TCalendarCell* Value) { FDays->Assign(Value); }
    TCalendarCellUpper* Months() const { return FMonths.get(); }
    void SetMonths(const TCalendarCellUpper* Value) { FMonths->Assign(Value); }
    TCalendarCell* Sunday() const { return FSunday.get(); }
    void SetSunday(const TCalendarCell* Value) { FSunday->Assign(Value); }
    TCalendarCell* Today() const { return FToday.get(); }
    void SetToday(const TCalendarCell* Value) { FToday->Assign(Value); }
    TCalendarCell* Trailing() const { return FTrailing.get(); }
    void SetTrailing(const TCalendarCell* Value) { FTrailing->Assign(Value); }
    TCalendarCellUpper* WeekDays() const { return FWeekDays.get(); }
    void SetWeekDays(const TCalendarCellUpper* Value) { FWeekDays->Assign(Value); }

    bool NextButtonVisible() const { return FNextButtonVisible; }
    void SetNextButtonVisible(bool Value);
    bool PreviousButtonVisible() const { return FPreviousButtonVisible; }
    void SetPreviousButtonVisible(bool Value);
    // The buttons on the chart (nullptr without a chart); Click() on one
    // acts as a user's click.
    TControl* NextButton() const;
    TControl* PreviousButton() const;
    // The month menu (made on first use): item i chooses month i + 1.
    TPopupMenu& MonthMenu();

    // Where the week starts and the names of months and days. Tests set a
    // fixed locale; the user's is used otherwise.
    void SetLocale(const QLocale& Value);
    const QLocale& Locale() const { return FLocale; }
    // 0 = Monday .. 6 = Sunday.
    int FirstDayOfWeek() const { return FFirstDayOfWeek; }

    // The rows the plot area is divided into: 8 (a title row, a weekday
    // row and six weeks) less one for each hidden header row.
    int Rows() const;
    // The row and column (1-based) of the first day of Date's month.
    int FirstDayRow() const;
    int FirstDayColumn() const;
    // 0 when the series is active and the pixel lies among the day rows.
    int Clicked(int X, int Y) override;
    // The date of the day cell under the pixel; False when there is none
    // (also on a chart without room).
    bool ClickedDate(int X, int Y, double& ADate) const;

    void SetParentChart(TCustomAxisPanel* Value) override;
    void SetActive(bool Value) override;
    bool UseAxis() const override { return false; }
    void DrawAllValues() override;
    // Keeps the one null point: a calendar has no sample values.
    void AddSampleValues(int NumValues, bool OnlyMandatory = false) override;
    void PrepareForGallery(bool IsEnabled) override;
    void PlotEvent(TPlotEvent& Event) override;

    std::function<void(TCalendarSeries* Sender, double& NewDate)> OnChange;

private:
    class TButton;

    struct TGeometry {
        int HStart = 0;
        int HSize = 0;
        int VStart = 0;
        int VSize = 0;
    };
    TGeometry Geometry() const;
    bool InDayArea(int X, int Y) const;
    int ColumnPos(double Column) const;
    int RowPos(double Row) const;
    TRect CellRect(int Column, int Row) const;
    int HeaderRows() const;
    TDateTimeFormatSettings DateSettings() const;
    void DrawCell(TCalendarCell& Cell, const TRect& Rect, int TextColumn, int TextRow, double TextWidthColumns,
                  const QString& Text);
    void DrawDayCell(TCalendarCell& Cell, int Column, int Row, int Day);
    void DrawHeaders();
    void DrawDays();
    void DrawGrid();
    void ChooseMonth(int Month);
    void ShowButtons();
    void CreateButtons();

    double FDate = 0;
    std::unique_ptr<TCalendarCell> FDays;
    std::unique_ptr<TCalendarCellUpper> FMonths;
    std::unique_ptr<TButton> FNextButton;
    std::unique_ptr<TPopupMenu> FMonthMenu;
    std::unique_ptr<TButton> FPreviousButton;
    std::unique_ptr<TCalendarCell> FSunday;
    std::unique_ptr<TCalendarCell> FToday;
    std::unique_ptr<TCalendarCell> FTrailing;
    std::unique_ptr<TCalendarCellUpper> FWeekDays;
    bool FNextButtonVisible = true;
    bool FPreviousButtonVisible = true;
    int FColumns = 7;
    int FFirstDayOfWeek = 0;
    int FRowCount = 8;
    QLocale FLocale;
};

// "Calendar" on the "Other" gallery page; the unregistering undoes it.
void RegisterCalendarSeries();
void UnregisterCalendarSeries();

} // namespace lp
