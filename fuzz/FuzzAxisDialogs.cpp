// The texts of the axis increment and limit dialogs. The first byte: bits
// 0 .. 3 pick the locale of the page opening them (fuzz::LocaleOf), bits
// 4 .. 5 the dialog: the increment of a value axis or of a date-time axis,
// a limit of a value axis or of a date-time axis; bytes 1 .. 8 hold the
// value it opens with; the rest is the text typed (for a date-time limit,
// the date, a line break and the time).
//
// Every text the dialogs show reads back as the value shown (to the
// millisecond for dates and times); a dialog confirmed unchanged keeps its
// value to the last bit; a typed text is taken, refused with a message by
// the dialog or by the axis behind it, and never ends the run.

#include "fuzz/FuzzSupport.h"

#include "chart/editors/TypedNumberEdit.h"
#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/ui/Dialogs.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using namespace lp;

bool WithinAMillisecond(double Read, double Days)
{
    return std::fabs(Read - Days) <=
           0.5000001 / 86400000 + 8 * std::numeric_limits<double>::epsilon() * std::fabs(Days);
}

// The texts shown for Days read back.
void RequireTextsReadBack(double Days, const QLocale& Locale)
{
    if (!std::isfinite(Days))
        return;
    switch (DateTimeShownAs(Days)) {
    case TDateTimeShown::Time:
        fuzz::Require(WithinAMillisecond(ReadTime(TimeText(Days)), Days), "a time shown reads back");
        break;
    case TDateTimeShown::DateAndTime:
        fuzz::Require(WithinAMillisecond(ReadDateTime(DateTimeLimitText(Days, Locale)), Days),
                      "a date and time shown reads back");
        break;
    case TDateTimeShown::Number:
        fuzz::Require(ReadNumber(DateTimeLimitText(Days, Locale), Locale) == Days, "a limit shown as a number reads back");
        break;
    }
    if (Days > 0)
        fuzz::Require(WithinAMillisecond(ReadIncrementText(IncrementCustomText(Days), Locale), Days),
                      "an increment's days and time read back");
}

// Opens Dialog, sets the texts Type sets, presses OK; whether it closed.
template <class TDialog>
bool Confirm(TDialog& Dialog, const std::function<void()>& Type)
{
    Dialog.show();
    if (Type)
        Type();
    QPushButton* ok = Dialog.template findChild<QPushButton*>(QStringLiteral("BOk"));
    if (!ok)
        ok = Dialog.template findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    ok->click();
    const bool closed = Dialog.result() == QDialog::Accepted;
    Dialog.hide();
    return closed;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    double Value = 0;
    if (Size < 1 + sizeof Value)
        return 0;
    fuzz::StartApplication();
    MessageService() = [](const TMessageRequest&) { return int(mrOk); };
    static TChart* Chart = new TChart;
    TChartAxis& Axis = *Chart->LeftAxis();
    const QLocale Locale = fuzz::LocaleOf(Data[0] & 15);
    const int Kind = Data[0] >> 4 & 3;
    const bool DateTime = Kind == 1 || Kind == 3;
    std::memcpy(&Value, Data + 1, sizeof Value);
    const QString Text = fuzz::Text(Data + 1 + sizeof Value, Size - 1 - sizeof Value);

    RequireTextsReadBack(Value, Locale);
    for (double (*Read)(const QString&, const QLocale&) : {&ReadIncrementText, &ReadNumber}) {
        fuzz::Refusable([&] { RequireTextsReadBack(Read(Text, Locale), Locale); });
    }
    for (double (*Read)(const QString&) : {&ReadTime, &ReadDate, &ReadDateTime}) {
        fuzz::Refusable([&] { RequireTextsReadBack(Read(Text), Locale); });
    }

    Axis.SetMinMax(-1e6, 1e6);
    if (Kind < 2) {
        // An increment the axis refuses (below 0) keeps the dialog open.
        auto Open = [&](TAxisIncrement& Dialog) {
            Dialog.IsDateTime = DateTime;
            Dialog.Increment = Value;
            Dialog.Locale = Locale;
            Dialog.Accepting = [&Axis](double Increment) { Axis.SetIncrement(Increment); };
        };
        TAxisIncrement Unchanged;
        Open(Unchanged);
        const bool Kept = Confirm(Unchanged, {});
        fuzz::Require(!Kept || std::memcmp(&Unchanged.Increment, &Value, sizeof Value) == 0,
                      "an increment confirmed unchanged keeps its value");
        fuzz::Require(Kept || !(Value >= 0), "an increment the axis takes is confirmed unchanged");
        TAxisIncrement Typed;
        Open(Typed);
        if (Confirm(Typed, [&] { Typed.ECustom->setText(Text); }))
            fuzz::Require(Typed.Increment >= 0, "an increment taken is one the axis takes");
    } else {
        auto Open = [&](TAxisMaxMin& Dialog) {
            Dialog.IsDateTime = DateTime;
            Dialog.MaxMin = Value;
            Dialog.Locale = Locale;
            Dialog.Accepting = [&Axis](double Maximum) { Axis.SetMaximum(Maximum); };
        };
        TAxisMaxMin Unchanged;
        Open(Unchanged);
        const bool Kept = Confirm(Unchanged, {});
        fuzz::Require(!Kept || std::memcmp(&Unchanged.MaxMin, &Value, sizeof Value) == 0,
                      "a limit confirmed unchanged keeps its value");
        fuzz::Require(Kept || !(Value >= Axis.Minimum()), "a limit the axis takes is confirmed unchanged");
        TAxisMaxMin Typed;
        Open(Typed);
        const qsizetype Break = Text.indexOf(QLatin1Char('\n'));
        if (Confirm(Typed, [&] {
                Typed.EMaximum->setText(Break < 0 ? Text : Text.left(Break));
                Typed.EMinimum->setText(Break < 0 ? QString() : Text.mid(Break + 1));
            }))
            fuzz::Require(Typed.MaxMin >= Axis.Minimum(), "a limit taken is one the axis takes");
    }
    return 0;
}
