// Texts typed into a value cell of the data grid. The first byte: bits
// 0 .. 3 pick the locale (fuzz::LocaleOf), bit 4 makes the column a
// date-time one, bits 5 .. 7 pick the series' value format among formats
// that show plain numbers; the rest is the typed text, stored as the grid
// stores an edit. Whatever the cell then shows must read back (the grid
// reads every text it shows) to a value it shows with the same text, and,
// in a date-time cell, to the value itself within the millisecond its text
// keeps (exactly where it shows a number). The double held by bytes 1 .. 8
// is shown in the cell and checked the same way.

#include "fuzz/FuzzSupport.h"

#include "chart/editors/data/ChartGrid.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotValueList.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using namespace lp;

struct TGridFixture {
    TChart Chart;
    TPointSeries* Series;
    TChartGrid Grid;

    TGridFixture() : Series(new TPointSeries(&Chart))
    {
        Chart.AddSeries(Series);
        Series->AddXY(1, 1);
        Grid.SetShowLabels(false);
        Grid.SetShowXValues(cgsYes);
        Grid.SetSeries(Series); // column 0: X, column 1: Y
    }
};

// The value formats the axis page offers that show plain numbers.
const char* const Formats[8] = {"#,##0.###", "0", "0.0", "0.#", "#,##0.00", "0.00E+00", "00e-0", "0.###############"};

void RequireShownReadsBack(TChartGridModel& Model, TChartValueList& List)
{
    const double Value = List.Value(0);
    const QString Shown = Model.CellText(0, 0);
    fuzz::Require(Model.StoreText(0, 0, Shown), "the grid reads the text a cell shows");
    const double Again = List.Value(0);
    fuzz::Require(Model.CellText(0, 0) == Shown, "a cell's text reads back as a value shown with the same text");
    if (List.DateTime())
        fuzz::Require(std::fabs(Again - Value) <=
                          0.5000001 / 86400000 + 8 * std::numeric_limits<double>::epsilon() * std::fabs(Value),
                      "a date-time cell's text reads back as its value to the millisecond");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    fuzz::StartApplication();
    static TGridFixture* Fixture = new TGridFixture;
    TChartGridModel& Model = Fixture->Grid.GridModel();
    TChartValueList& List = *Fixture->Series->XValues();
    QLocale::setDefault(fuzz::LocaleOf(Data[0] & 15));
    List.SetDateTime((Data[0] & 16) != 0);
    Fixture->Series->SetValueFormat(QString::fromLatin1(Formats[Data[0] >> 5]));
    List.SetValue(0, 1);
    if (Model.StoreText(0, 0, fuzz::Text(Data + 1, Size - 1)))
        RequireShownReadsBack(Model, List);
    double Value = 0;
    if (Size >= 1 + sizeof Value) {
        std::memcpy(&Value, Data + 1, sizeof Value);
        if (std::isfinite(Value)) {
            List.SetValue(0, Value);
            RequireShownReadsBack(Model, List);
        }
    }
    QLocale::setDefault(QLocale::c());
    return 0;
}
