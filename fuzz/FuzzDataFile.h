#pragma once
// The data file readers' fuzz targets share their first check: a file is
// either read or refused plainly (its line named, little of it quoted,
// nothing in the quote that steers a terminal).

#include "fuzz/FuzzSupport.h"
#include "section/survey/DataFile.h"
#include "tests/section/survey/MeasuredDataChecks.h"

#include <optional>
#include <string_view>

namespace lp::fuzz {

// What Read makes of Text; nothing when it refuses the text (plainly).
template <typename Reader>
auto ReadOrRefusePlainly(std::string_view Text, Reader&& Read) -> std::optional<decltype(Read(Text))>
{
    try {
        return Read(Text);
    } catch (const EDataFileError& Error) {
        Require(test::PlainRefusal(Error.Message()), "a refusal names its line and quotes the file plainly");
        return std::nullopt;
    }
}

// What every accepted data set must be: sound, written as a data file and
// read back the same, its electrodes on a ground or refused naming a line,
// and comparable with a response (data of 0 or below refused).
inline void RequireSoundMeasuredData(const TMeasuredData& Data)
{
    Require(test::UnsoundMeasuredData(Data).empty(), "accepted data are sound");
    Require(test::RoundTripDifference(Data).empty(), "the data written as a data file read back the same");
    Require(test::PlacementRefusalWithoutLine(Data).empty(),
            "electrodes the ground cannot stand are refused naming a line");
    Require(test::UncountableMisfit(Data).empty(),
            "data of 0 or below are refused, every other datum compares within what a double counts");
}

// The whole test of a reader of measured data: the bytes read or refused
// plainly, and what is read sound.
template <typename Reader>
int CheckMeasuredDataReader(const uint8_t* Data, size_t Size, Reader&& Read)
{
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    if (const auto read = ReadOrRefusePlainly(text, Read))
        RequireSoundMeasuredData(*read);
    return 0;
}

} // namespace lp::fuzz
