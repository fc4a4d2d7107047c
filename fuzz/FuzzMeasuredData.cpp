// The measured-data reader of the unified data format ("--forward --data"
// and the forward response window): a refusal names its line and quotes
// little of the file, with nothing in it that steers a terminal; an
// accepted file gives a sound data set (usable values only, those of ρa 0
// or below among them as data, configurations naming its electrodes, every
// datum of the file used or counted as skipped) that the data file writer
// writes and the reader reads back the same, whose data of ρa 0 or below
// the misfit refuses and whose others compare with a response within what
// a double counts, and
// whose electrodes stand on a ground or are refused naming a line.

#include "fuzz/FuzzDataFile.h"
#include "section/survey/MeasuredData.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    const auto read = lp::fuzz::ReadOrRefusePlainly(text, lp::ReadUnifiedMeasuredData);
    if (!read)
        return 0;
    const lp::TMeasuredData& data = *read;
    lp::fuzz::Require(data.Size() + static_cast<size_t>(data.Skipped.Total()) ==
                          lp::ParseUnifiedData(text).Configurations.size(),
                      "every datum of the file is used or counted as skipped");
    lp::fuzz::RequireSoundMeasuredData(data);
    return 0;
}
