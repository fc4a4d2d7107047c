// The Syscal Pro .binx file reader (the measured data file of the forward
// response window and of the command line): a refusal names its record (or
// the header) and its byte, short, with nothing in it that steers a
// terminal; an accepted file gives a sound data set (usable values only,
// configurations naming its electrodes) that the unified data file writer
// writes and its reader reads back the same, whose data of ρa 0 or below
// the misfit refuses and whose others compare with a response within what a
// double counts, and whose electrodes stand on a ground or are refused
// naming a record.

#include "fuzz/FuzzDataFile.h"
#include "section/survey/formats/SyscalBinaryFile.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(Data), Size);
    const auto read = lp::fuzz::ReadOrRefusePlainly(bytes, lp::ReadSyscalBinx);
    if (!read)
        return 0;
    const lp::TMeasuredData& data = *read;
    lp::fuzz::Require(lp::test::UnsoundMeasuredData(data).empty(), "accepted data are sound");
    lp::fuzz::Require(lp::test::RoundTripDifference(data).empty(), "the data written as a data file read back the same");
    lp::fuzz::Require(lp::test::PlacementRefusalWithoutLine(data).empty(),
                      "electrodes the ground cannot stand are refused naming a line");
    lp::fuzz::Require(lp::test::UncountableMisfit(data).empty(),
                      "data of 0 or below are refused, every other datum compares within what a double counts");
    return 0;
}
