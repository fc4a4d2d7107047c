// Numbers typed into the editors' fields. The first byte picks the locale
// the field shows and reads numbers in (fuzz::LocaleOf), the rest is the
// typed text. A number read, shown again as a field shows it, must read
// back as the same value; so must the double held by bytes 1 .. 8.

#include "fuzz/FuzzSupport.h"

#include "chart/editors/TypedNumberEdit.h"

#include <cmath>
#include <cstring>
#include <optional>

namespace {

void RequireShownReadsBack(double Value, const QLocale& Locale, const char* What)
{
    lp::fuzz::Require(lp::TypedReal(lp::NumberText(Value, Locale), Locale) == Value, What);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    const QLocale Locale = lp::fuzz::LocaleOf(Data[0]);
    const QString Text = lp::fuzz::Text(Data + 1, Size - 1);
    if (const std::optional<double> Typed = lp::TypedReal(Text, Locale))
        RequireShownReadsBack(*Typed, Locale, "a typed number shown again reads back as the same value");
    double Value = 0;
    if (Size >= 1 + sizeof Value) {
        std::memcpy(&Value, Data + 1, sizeof Value);
        if (std::isfinite(Value))
            RequireShownReadsBack(Value, Locale, "a value shown in a field reads back as the same value");
    }
    // A value shown by a value format reads back from what it shows.
    const lp::TFormatSettings Settings = lp::NumberFormatSettings(Locale);
    if (const std::optional<double> Formatted = lp::ReadFormattedReal(Text, Settings)) {
        const QString Shown = lp::FormatFloat(QStringLiteral("0.###############E+0"), *Formatted, Settings);
        lp::fuzz::Require(lp::ReadFormattedReal(Shown, Settings).has_value(), "a formatted value reads back");
    }
    return 0;
}
