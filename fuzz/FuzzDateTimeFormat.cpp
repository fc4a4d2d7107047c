// Date-time format pictures: the first eight bytes are the date value, the
// rest the picture; the first byte's low bits pick other separators.
// Decoding the value and encoding its parts again must meet.

#include "fuzz/FuzzSupport.h"
#include "platform/core/DateTimeFormat.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    double Value = 0;
    if (Size < sizeof Value)
        return 0;
    std::memcpy(&Value, Data, sizeof Value);
    lp::TDateTimeFormatSettings Settings;
    if (Data[0] & 1) {
        Settings.DateSeparator = QLatin1Char('.');
        Settings.TimeSeparator = QLatin1Char('-');
    }
    const QString Picture = lp::fuzz::Text(Data + sizeof Value, Size - sizeof Value);
    lp::fuzz::Refusable([&] { lp::FormatDateTime(Picture, Value, Settings); });
    lp::fuzz::Refusable([&] { lp::DateTimeToString(Picture, Value); });
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0, MilliSecond = 0;
    bool Decoded = false;
    lp::fuzz::Refusable([&] {
        lp::DecodeDateTime(Value, Year, Month, Day, Hour, Minute, Second, MilliSecond);
        Decoded = true;
    });
    if (Decoded) {
        // The parts are the value rounded to the millisecond, and a valid
        // calendar date.
        double Again = 0;
        bool Encoded = false;
        lp::fuzz::Refusable([&] {
            Again = lp::EncodeDateTime(Year, Month, Day, Hour, Minute, Second, MilliSecond);
            Encoded = true;
        });
        lp::fuzz::Require(Encoded, "decoded date parts are a valid date");
        lp::fuzz::Require(std::abs(Again - Value) <= 1.0 / 86400000.0 + std::abs(Value) * 1e-12,
                          "decoded date parts encode to the value");
    }
    return 0;
}
