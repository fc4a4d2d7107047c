// The model block of a section file, read as bytes; an accepted block must
// be written and read back.

#include "fuzz/FuzzSupport.h"
#include "section/editor/SectionFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    lp::TSectionModel Section;
    bool Read = false;
    lp::fuzz::Refusable([&] { Read = lp::ParseSectionModelBlock(Bytes, Section); });
    if (!Read)
        return 0;
    const std::string Written = lp::FormatSectionModelBlock(Section);
    lp::TSectionModel Again;
    bool ReadBack = false;
    try {
        ReadBack = lp::ParseSectionModelBlock(Written, Again);
    } catch (const lp::Exception& Error) {
        std::fprintf(stderr, "fuzz: %s\n", Error.Message().c_str());
    }
    lp::fuzz::Require(ReadBack, "a written model block reads back");
    return 0;
}
