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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    return lp::fuzz::CheckMeasuredDataReader(Data, Size, lp::ReadSyscalBinx);
}
