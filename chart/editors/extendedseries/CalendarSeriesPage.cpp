#include "chart/editors/extendedseries/CalendarSeriesPage.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/effects/ShapeEditor.h"
#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "chart/extensions/planning/PlotCalendar.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QTabWidget>

namespace lp {

namespace {

// The cell tabs: caption and the series' cell shown there.
struct TCellTab {
    const char* Caption;
    TCalendarCell* (*Cell)(const TCalendarSeries&);
};

const TCellTab CellTabs[] = {
    {"Days", [](const TCalendarSeries& S) -> TCalendarCell* { return S.Days(); }},
    {"Weekdays", [](const TCalendarSeries& S) -> TCalendarCell* { return S.WeekDays(); }},
    {"Today", [](const TCalendarSeries& S) -> TCalendarCell* { return S.Today(); }},
    {"Sunday", [](const TCalendarSeries& S) -> TCalendarCell* { return S.Sunday(); }},
    {"Trailing", [](const TCalendarSeries& S) -> TCalendarCell* { return S.Trailing(); }},
    {"Months", [](const TCalendarSeries& S) -> TCalendarCell* { return S.Months(); }},
};

} // namespace

TCalendarSeriesEditor::TCalendarSeriesEditor(QWidget* Parent) : TEditorPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    PageControl1 = TPageBuilder::Named(new QTabWidget(this), "PageControl1");
    column->addWidget(PageControl1);

    auto* options = TPageBuilder::Named(new QWidget, "TabOptions");
    PageControl1->addTab(options, QStringLiteral("Options"));
    TPageBuilder build(*options);
    ButtonPen1 = MakePenButton(*this, QStringLiteral("&Lines..."), "ButtonPen1");
    ButtonPen1->setParent(options);
    CBWeekDays = build.CheckBox("CBWeekDays", QStringLiteral("Show &Weekdays"));
    CBWeekUpper = build.CheckBox("CBWeekUpper", QStringLiteral("&Uppercase"));
    CBTrailing = build.CheckBox("CBTrailing", QStringLiteral("&Trailing days"));
    CBToday = build.CheckBox("CBToday", QStringLiteral("Show T&oday"));
    CBMonths = build.CheckBox("CBMonths", QStringLiteral("Show &Months"));
    CBMonthUpper = build.CheckBox("CBMonthUpper", QStringLiteral("U&ppercase"));
    CBPrevious = build.CheckBox("CBPrevious", QStringLiteral("Show Pr&evious Button"));
    CBNext = build.CheckBox("CBNext", QStringLiteral("Show Ne&xt Button"));
    for (QCheckBox* box : {CBWeekDays, CBWeekUpper, CBTrailing, CBToday, CBMonths, CBMonthUpper})
        box->setChecked(true);
    build.Line({ButtonPen1});
    build.Line({CBWeekDays, CBWeekUpper});
    build.Full(CBTrailing);
    build.Full(CBToday);
    build.Line({CBMonths, CBMonthUpper});
    build.Full(CBPrevious);
    build.Full(CBNext);
    build.Stretch();

    for (size_t i = 0; i < CellPageControls.size(); ++i) {
        auto* tab = new QWidget;
        auto* layout = new QVBoxLayout(tab);
        layout->setContentsMargins(4, 4, 4, 4);
        const QString name = QStringLiteral("PageControl%1").arg(i + 2);
        CellPageControls[i] = TPageBuilder::Named(new QTabWidget(tab), name.toLatin1().constData());
        layout->addWidget(CellPageControls[i]);
        PageControl1->addTab(tab, QString::fromLatin1(CellTabs[i].Caption));
    }
    SetReadingTabOrder(*this);

    Binder().Bind(CBWeekDays, QStringLiteral("WeekDays.Visible"));
    Binder().Bind(CBWeekUpper, QStringLiteral("WeekDays.UpperCase"));
    Binder().Bind(CBTrailing, QStringLiteral("Trailing.Visible"));
    Binder().Bind(CBToday, QStringLiteral("Today.Visible"));
    Binder().Bind(CBMonths, QStringLiteral("Months.Visible"));
    Binder().Bind(CBMonthUpper, QStringLiteral("Months.UpperCase"));
    // The buttons are controls on the chart: the chart is drawn again
    // where a hidden one was.
    auto bindButton = [this](QCheckBox* Box, const char* Property) {
        const QString path = QString::fromLatin1(Property);
        Binder().Bind(
            Box, [this, path]() { return ReadPropertyPath(Series(), path); },
            [this, path](const QVariant& Value) {
                if (!Series())
                    return;
                WritePropertyPath(Series(), path, Value);
                Series()->Repaint();
            });
    };
    bindButton(CBPrevious, "PreviousButtonVisible");
    bindButton(CBNext, "NextButtonVisible");
}

TCalendarSeries* TCalendarSeriesEditor::Series() const
{
    return TargetAs<TCalendarSeries>();
}

void TCalendarSeriesEditor::FillControls()
{
    TCalendarSeries* series = Series();
    if (!series)
        return;
    ButtonPen1->LinkPen(series->Pen());
    FillCellTabs();
}

void TCalendarSeriesEditor::FillCellTabs()
{
    TCalendarSeries* series = Series();
    for (size_t i = 0; i < CellEditors.size(); ++i) {
        TCalendarCell* cell = CellTabs[i].Cell(*series);
        if (!CellEditors[i])
            CellEditors[i] = InsertShapeEditorTabs(CellPageControls[i], cell);
        else if (CellEditors[i]->Target() != cell)
            CellEditors[i]->SetTarget(cell);
        else
            CellEditors[i]->Refresh();
    }
}

} // namespace lp
