// Value pictures and message patterns. Odd first byte: FormatFloat with
// the next eight bytes as the value and the rest as the picture; even:
// Format with the rest as the pattern over a fixed list of arguments.

#include "fuzz/FuzzSupport.h"
#include "platform/core/NumberFormat.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size == 0)
        return 0;
    lp::TFormatSettings Settings;
    if (Data[0] & 2) {
        Settings.DecimalSeparator = QLatin1Char(',');
        Settings.ThousandSeparator = QLatin1Char('.');
    }
    if (Data[0] & 1) {
        double Value = 0;
        if (Size < 1 + sizeof Value)
            return 0;
        std::memcpy(&Value, Data + 1, sizeof Value);
        const QString Picture = lp::fuzz::Text(Data + 1 + sizeof Value, Size - 1 - sizeof Value);
        lp::fuzz::Refusable([&] { lp::FormatFloat(Picture, Value, Settings); });
        return 0;
    }
    const QString Pattern = lp::fuzz::Text(Data + 1, Size - 1);
    const QVariantList Arguments{42, -1.5e300, QStringLiteral("text"), qlonglong(-9007199254740993LL), 0.1, 7u};
    lp::fuzz::Refusable([&] { lp::Format(Pattern, Arguments, Settings); });
    return 0;
}
