// The calendar series.

#include "chart/extensions/planning/PlotCalendar.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/DeviceContext.h"
#include "platform/ui/Menus.h"

#include <QtCore/QDate>
#include <QtWidgets/QWidget>

#include <cmath>

namespace lp {

namespace {

QDate ToQDate(double Date)
{
    int Y = 0, M = 0, D = 0, H = 0, N = 0, S = 0, Z = 0;
    DecodeDateTime(Date, Y, M, D, H, N, S, Z);
    return QDate(Y, M, D);
}

double FromQDate(const QDate& Day)
{
    return EncodeDateTime(Day.year(), Day.month(), Day.day(), 0, 0, 0, 0);
}

} // namespace

// --- Cells --------------------------------------------------------------------------------------

TCalendarCell::TCalendarCell(bool IsTransparent) : TPlotShape(nullptr)
{
    SetDefaultTransparent(IsTransparent);
    SetTransparent(IsTransparent);
}

TCalendarCellUpper::TCalendarCellUpper(bool IsTransparent, const QString& AFormat)
    : TCalendarCell(IsTransparent), FFormat(AFormat)
{
}

void TCalendarCellUpper::SetFormat(const QString& Value)
{
    if (FFormat != Value) {
        FFormat = Value;
        Repaint();
    }
}

void TCalendarCellUpper::SetUpperCase(bool Value)
{
    if (FUpperCase != Value) {
        FUpperCase = Value;
        Repaint();
    }
}

QString TCalendarCellUpper::DateText(double Date, const TDateTimeFormatSettings& Settings) const
{
    const QString Text = FormatDateTime(FFormat, Date, Settings);
    return FUpperCase ? Text.toUpper() : Text;
}

// --- Buttons ------------------------------------------------------------------------------------

// A flat button with a one-character caption, shown on the chart's window
// when it has one.
class TCalendarSeries::TButton : public TControl {
public:
    TButton(const QString& ACaption, int ALeft) : FCaption(ACaption) { SetBounds(ALeft, 6, 20, 20); }

    void Paint(TCanvas& Canvas) override
    {
        Canvas.Brush().SetColor(clBtnFace);
        Canvas.FillRect(ClientRect());
        Canvas.Font().SetColor(clBtnText);
        Canvas.TextOut((Width() - Canvas.TextWidth(FCaption)) / 2, (Height() - Canvas.TextHeight(FCaption)) / 2,
                       FCaption);
        TControl::Paint(Canvas);
    }

    // Shows the button on Parent's window once the chart has one.
    void AttachTo(TCustomAxisPanel* Parent)
    {
        if (!HandleAllocated() && Parent && Parent->HandleAllocated()) {
            Widget(Parent->Widget());
            Widget()->setVisible(Visible());
        }
    }

private:
    QString FCaption;
};

// --- TCalendarSeries ----------------------------------------------------------------------------

TCalendarSeries::TCalendarSeries(TComponent* AOwner)
    : TChartSeries(AOwner), FDays(std::make_unique<TCalendarCell>(true)),
      FMonths(std::make_unique<TCalendarCellUpper>(true, QStringLiteral("mmmm, yyyy"))),
      FSunday(std::make_unique<TCalendarCell>(false)), FToday(std::make_unique<TCalendarCell>(false)),
      FTrailing(std::make_unique<TCalendarCell>(true)),
      FWeekDays(std::make_unique<TCalendarCellUpper>(true, QStringLiteral("ddd")))
{
    FDate = FromQDate(QDate::currentDate());
    FSunday->SetColor(0x0000FF);
    FSunday->Font()->SetColor(clWhite);
    FSunday->Shadow()->SetSize(0);
    FToday->SetColor(0xFF0000);
    FToday->Font()->SetColor(clWhite);
    FToday->Shadow()->SetSize(0);
    KeepStartAsDefault(*FSunday, {"Color"});
    KeepStartAsDefault(*FToday, {"Color"});
    FTrailing->Font()->SetColor(0x808080);
    FWeekDays->Pen()->SetVisible(false);
    FWeekDays->Pen()->SetDefaultVisible(false);
    SetShowInLegend(false);
    SetLocale(QLocale());
    AddNull();
}

TCalendarSeries::~TCalendarSeries()
{
    if (ParentChart())
        ParentChart()->RemoveListener(this);
}

void TCalendarSeries::SetLocale(const QLocale& Value)
{
    FLocale = Value;
    FFirstDayOfWeek = static_cast<int>(FLocale.firstDayOfWeek()) - 1;
    Repaint();
}

TDateTimeFormatSettings TCalendarSeries::DateSettings() const
{
    TDateTimeFormatSettings Settings;
    for (int M = 1; M <= 12; ++M) {
        Settings.ShortMonthNames.at(static_cast<size_t>(M - 1)) = FLocale.monthName(M, QLocale::ShortFormat);
        Settings.LongMonthNames.at(static_cast<size_t>(M - 1)) = FLocale.monthName(M, QLocale::LongFormat);
    }
    // The settings count from Sunday, the locale from Monday.
    for (int D = 0; D < 7; ++D) {
        const int QtDay = D == 0 ? 7 : D;
        Settings.ShortDayNames.at(static_cast<size_t>(D)) = FLocale.dayName(QtDay, QLocale::ShortFormat);
        Settings.LongDayNames.at(static_cast<size_t>(D)) = FLocale.dayName(QtDay, QLocale::LongFormat);
    }
    return Settings;
}

void TCalendarSeries::SetDate(double Value)
{
    ToQDate(Value); // refuses a date outside the calendar
    if (OnChange && Value != FDate) {
        OnChange(this, Value);
        ToQDate(Value);
    }
    if (Value != FDate) {
        FDate = Value;
        Repaint();
    }
}

void TCalendarSeries::NextMonth()
{
    SetDate(FromQDate(ToQDate(FDate).addMonths(1)));
}

void TCalendarSeries::PreviousMonth()
{
    SetDate(FromQDate(ToQDate(FDate).addMonths(-1)));
}

void TCalendarSeries::ChooseMonth(int Month)
{
    const QDate Day = ToQDate(FDate);
    const int Length = QDate(Day.year(), Month, 1).daysInMonth();
    SetDate(FromQDate(QDate(Day.year(), Month, std::min(Day.day(), Length))));
}

TPopupMenu& TCalendarSeries::MonthMenu()
{
    if (!FMonthMenu) {
        FMonthMenu = std::make_unique<TPopupMenu>();
        std::vector<TMenuItem> Items;
        for (int M = 1; M <= 12; ++M)
            Items.push_back({FLocale.monthName(M, QLocale::LongFormat), false, true,
                             [this](int Index) { ChooseMonth(Index + 1); }});
        FMonthMenu->SetItems(std::move(Items));
    }
    return *FMonthMenu;
}

// --- Buttons and chart --------------------------------------------------------------------------

TControl* TCalendarSeries::NextButton() const
{
    return FNextButton.get();
}

TControl* TCalendarSeries::PreviousButton() const
{
    return FPreviousButton.get();
}

void TCalendarSeries::CreateButtons()
{
    FPreviousButton = std::make_unique<TButton>(QStringLiteral("<"), 6);
    FPreviousButton->OnClick = [this](TControl*) { PreviousMonth(); };
    FNextButton = std::make_unique<TButton>(QStringLiteral(">"), 30);
    FNextButton->OnClick = [this](TControl*) { NextMonth(); };
    ShowButtons();
}

void TCalendarSeries::ShowButtons()
{
    if (FNextButton)
        FNextButton->SetVisible(FNextButtonVisible && Active());
    if (FPreviousButton)
        FPreviousButton->SetVisible(FPreviousButtonVisible && Active());
}

void TCalendarSeries::SetNextButtonVisible(bool Value)
{
    FNextButtonVisible = Value;
    ShowButtons();
}

void TCalendarSeries::SetPreviousButtonVisible(bool Value)
{
    FPreviousButtonVisible = Value;
    ShowButtons();
}

void TCalendarSeries::SetActive(bool Value)
{
    TChartSeries::SetActive(Value);
    ShowButtons();
}

void TCalendarSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TCustomAxisPanel* Old = ParentChart();
    if (Old && Old != Value)
        Old->RemoveListener(this);
    TChartSeries::SetParentChart(Value);
    if (Old == Value && (FNextButton || !Value))
        return;
    FNextButton.reset();
    FPreviousButton.reset();
    for (TCalendarCell* Cell : {FDays.get(), FSunday.get(), FToday.get(), FTrailing.get()})
        Cell->SetParentChart(Value);
    FMonths->SetParentChart(Value);
    FWeekDays->SetParentChart(Value);
    if (Value && !IsDestroying()) {
        Value->Listeners().Add(this);
        CreateButtons();
        FNextButton->AttachTo(Value);
        FPreviousButton->AttachTo(Value);
    }
}

// --- Geometry -----------------------------------------------------------------------------------

TCalendarSeries::TGeometry TCalendarSeries::Geometry() const
{
    const TChartAxis* H = GetHorizAxis();
    const TChartAxis* V = GetVertAxis();
    if (!H || !V)
        return {};
    return {H->StartPixel(), H->AxisPixelSize(), V->StartPixel(), V->AxisPixelSize()};
}

int TCalendarSeries::ColumnPos(double Column) const
{
    const TGeometry G = Geometry();
    return static_cast<int>(std::lround(G.HSize * Column / FColumns)) + G.HStart;
}

int TCalendarSeries::RowPos(double Row) const
{
    const TGeometry G = Geometry();
    return static_cast<int>(std::lround(G.VSize * Row / Rows())) + G.VStart;
}

TRect TCalendarSeries::CellRect(int Column, int Row) const
{
    return {ColumnPos(Column - 1) + 1, RowPos(Row - 1) + 1, ColumnPos(Column) - 1, RowPos(Row) - 1};
}

int TCalendarSeries::HeaderRows() const
{
    return (FWeekDays->Visible() ? 1 : 0) + (FMonths->Visible() ? 1 : 0);
}

int TCalendarSeries::Rows() const
{
    return FRowCount - (FWeekDays->Visible() ? 0 : 1) - (FMonths->Visible() ? 0 : 1);
}

int TCalendarSeries::FirstDayRow() const
{
    return 1 + HeaderRows();
}

int TCalendarSeries::FirstDayColumn() const
{
    const QDate Day = ToQDate(FDate);
    const int DayOfWeek = QDate(Day.year(), Day.month(), 1).dayOfWeek(); // Monday 1 .. Sunday 7
    return ((DayOfWeek - FFirstDayOfWeek) + 6) % FColumns + 1;
}

bool TCalendarSeries::InDayArea(int X, int Y) const
{
    const TGeometry G = Geometry();
    // A chart without room has no day cells (and nothing to divide by).
    if (!Active() || G.HSize <= 0 || G.VSize <= 0)
        return false;
    const int Top = G.VStart + HeaderRows() * static_cast<int>(std::lround(G.VSize / 8.0));
    return X >= G.HStart && X <= G.HStart + G.HSize && Y >= Top && Y <= G.VStart + G.VSize;
}

int TCalendarSeries::Clicked(int X, int Y)
{
    return InDayArea(X, Y) ? 0 : -1;
}

bool TCalendarSeries::ClickedDate(int X, int Y, double& ADate) const
{
    if (!InDayArea(X, Y))
        return false;
    const TGeometry G = Geometry();
    const int Column = static_cast<int>((X - G.HStart) / (G.HSize / static_cast<double>(FColumns))) + 1;
    const int Row = static_cast<int>((Y - G.VStart) / (G.VSize / static_cast<double>(Rows()))) + 1;
    const int R = FirstDayRow();
    const int C = FirstDayColumn();
    const QDate Day = ToQDate(FDate);
    const QDate First(Day.year(), Day.month(), 1);
    ADate = FDate;
    if (Row == R && Column < C) {
        if (FTrailing->Visible())
            ADate = FromQDate(First.addDays(Column - C));
    } else if (Row >= R) {
        const int D = (Row - R) * 7 + Column - C + 1;
        if (D <= First.daysInMonth() || FTrailing->Visible())
            ADate = FromQDate(First.addDays(D - 1));
    }
    return true;
}

// --- Drawing ------------------------------------------------------------------------------------

void TCalendarSeries::DrawCell(TCalendarCell& Cell, const TRect& Rect, int TextColumn, int TextRow,
                               double TextWidthColumns, const QString& Text)
{
    if (!Cell.Visible())
        return;
    Cell.DrawRectRotated(Rect, 0, DepthStart());
    Cell.SetLastRect(Rect);
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignFont(*Cell.Font());
    Canvas.SetTextAlign(TA_CENTER);
    Canvas.SetBackMode(TRANSPARENT);
    const int X = ColumnPos(TextColumn - TextWidthColumns / 2);
    const int Y = RowPos(TextRow - 0.5) - Canvas.FontHeight() / 2;
    Canvas.TextOut3D(X, Y, DepthStart(), Text);
    Canvas.SetTextAlign(TA_LEFT);
}

void TCalendarSeries::DrawDayCell(TCalendarCell& Cell, int Column, int Row, int Day)
{
    DrawCell(Cell, CellRect(Column, Row), Column, Row, 1, QString::number(Day));
}

void TCalendarSeries::DrawHeaders()
{
    const TDateTimeFormatSettings Settings = DateSettings();
    if (FWeekDays->Visible()) {
        const int Row = FMonths->Visible() ? 2 : 1;
        for (int C = 1; C <= FColumns; ++C) {
            // 1 January 1899 was a Sunday.
            const double Day = EncodeDateTime(1899, 1, C + 1 + FFirstDayOfWeek, 0, 0, 0, 0);
            DrawCell(*FWeekDays, CellRect(C, Row), C, Row, 1, FWeekDays->DateText(Day, Settings));
        }
    }
    if (FMonths->Visible()) {
        const TRect Rect{CellRect(1, 1).Left, CellRect(1, 1).Top, CellRect(FColumns, 1).Right, CellRect(1, 1).Bottom};
        DrawCell(*FMonths, Rect, FColumns, 1, FColumns, FMonths->DateText(FDate, Settings));
    }
}

void TCalendarSeries::DrawDays()
{
    const QDate Day = ToQDate(FDate);
    const QDate First(Day.year(), Day.month(), 1);
    const int FirstColumn = FirstDayColumn();
    int Row = FirstDayRow();
    if (FTrailing->Visible()) {
        const int PreviousLength = First.addDays(-1).day();
        for (int C = 1; C < FirstColumn; ++C)
            DrawDayCell(*FTrailing, C, Row, PreviousLength + 1 - FirstColumn + C);
    }
    int Column = FirstColumn;
    const auto Advance = [&] {
        if (++Column > FColumns) {
            Column = 1;
            ++Row;
        }
    };
    for (int D = 1; D <= First.daysInMonth(); ++D, Advance()) {
        TCalendarCell* Cell = FDays.get();
        if (D == Day.day() && FToday->Visible())
            Cell = FToday.get();
        else if (QDate(Day.year(), Day.month(), D).dayOfWeek() == Qt::Sunday)
            Cell = FSunday.get();
        DrawDayCell(*Cell, Column, Row, D);
    }
    if (FTrailing->Visible())
        for (int D = 1; Row <= Rows(); ++D, Advance())
            DrawDayCell(*FTrailing, Column, Row, D);
}

void TCalendarSeries::DrawGrid()
{
    if (!Pen()->Visible())
        return;
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignVisiblePen(*Pen());
    Canvas.SetBackMode(TRANSPARENT);
    const TGeometry G = Geometry();
    const int Z = DepthStart();
    const int Top = RowPos(FirstDayRow() - 1);
    for (int C = 0; C <= FColumns; ++C)
        Canvas.VertLine3D(ColumnPos(C), Top, G.VStart + G.VSize, Z);
    for (int R = HeaderRows(); R <= Rows(); ++R)
        Canvas.HorizLine3D(G.HStart, G.HStart + G.HSize, RowPos(R), Z);
}

void TCalendarSeries::DrawAllValues()
{
    TChartSeries::DrawAllValues();
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || Rows() <= 0)
        return;
    if (FNextButton) {
        FNextButton->AttachTo(Chart);
        FPreviousButton->AttachTo(Chart);
    }
    DrawHeaders();
    DrawDays();
    DrawGrid();
}

void TCalendarSeries::AddSampleValues(int NumValues, bool OnlyMandatory)
{
    (void)NumValues;
    (void)OnlyMandatory;
    if (Count() == 0)
        AddNull();
}

void TCalendarSeries::PrepareForGallery(bool IsEnabled)
{
    TChartSeries::PrepareForGallery(IsEnabled);
    Pen()->SetVisible(false);
    for (TCalendarCell* Cell : {FDays.get(), FSunday.get(), FToday.get()})
        Cell->Font()->SetSize(6);
    FWeekDays->Font()->SetSize(5);
    FWeekDays->Shadow()->SetSize(0);
    FMonths->SetVisible(false);
    FTrailing->SetVisible(false);
    SetNextButtonVisible(false);
    SetPreviousButtonVisible(false);
}

// --- Mouse --------------------------------------------------------------------------------------

void TCalendarSeries::PlotEvent(TPlotEvent& Event)
{
    const auto* Mouse = dynamic_cast<const TPlotMouseEvent*>(&Event);
    if (!Mouse || Mouse->Event != TPlotMouseEvent::meDown || Mouse->Button != mbLeft || !Active())
        return;
    if (FMonths->Visible() && PointInRect(FMonths->LastRect(), Mouse->X, Mouse->Y)) {
        TPoint Screen{Mouse->X, Mouse->Y};
        if (ParentChart() && ParentChart()->HandleAllocated()) {
            const QPoint Global = ParentChart()->Widget()->mapToGlobal(QPoint(Mouse->X, Mouse->Y));
            Screen = {Global.x(), Global.y()};
        }
        MonthMenu().Popup(Screen);
        return;
    }
    double Clicked = 0;
    if (ClickedDate(Mouse->X, Mouse->Y, Clicked))
        SetDate(Clicked);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterCalendarSeries()
{
    RegisterPlotSeries<TCalendarSeries>(&PlotMsg_GalleryCalendar, &PlotMsg_GalleryOther, 1);
}

void UnregisterCalendarSeries()
{
    UnRegisterPlotSeries({&TCalendarSeries::staticMetaObject});
    UnRegisterClass(TPersistent::ClassNameOf(TCalendarSeries::staticMetaObject));
}

} // namespace lp
