// Date-time format pictures: the first eight bytes are the date value, the
// rest the picture; the first byte's low bit picks other separators. The
// value's calendar parts must encode to a value with the same parts.

#include "fuzz/FuzzSupport.h"
#include "platform/core/DateTimeFormat.h"

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
        // The parts are a valid calendar date and time, and the value they
        // encode to decodes to the same parts (values between -1 and 0 and
        // between 0 and 1 name the same times of 30 December 1899, so the
        // values themselves need not meet).
        double Again = 0;
        bool Encoded = false;
        lp::fuzz::Refusable([&] {
            Again = lp::EncodeDateTime(Year, Month, Day, Hour, Minute, Second, MilliSecond);
            Encoded = true;
        });
        lp::fuzz::Require(Encoded, "decoded date parts are a valid date");
        int Parts[7] = {};
        lp::DecodeDateTime(Again, Parts[0], Parts[1], Parts[2], Parts[3], Parts[4], Parts[5], Parts[6]);
        lp::fuzz::Require(Parts[0] == Year && Parts[1] == Month && Parts[2] == Day && Parts[3] == Hour &&
                              Parts[4] == Minute && Parts[5] == Second && Parts[6] == MilliSecond,
                          "decoded date parts encode to a value with the same parts");
    }
    return 0;
}
