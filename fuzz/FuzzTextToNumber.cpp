// Text to numbers: the single real, the word lists of reals, integers and
// points, and the range-checked real.

#include "fuzz/FuzzSupport.h"
#include "section/model/NumberArrays.h"

#include <cmath>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const std::string_view Text(reinterpret_cast<const char*>(Data), Size);
    double Value = 0;
    if (lp::TryTextToReal(Text, Value) && std::isfinite(Value)) {
        // A finite value read is exact: its shortest round-trip text reads
        // back to the same double.
        char Written[40];
        std::snprintf(Written, sizeof Written, "%.17g", Value);
        double Again = 0;
        lp::fuzz::Require(lp::TryTextToReal(Written, Again) && Again == Value, "a read real reads back exactly");
    }
    lp::TextToReal(Text, true, -1.0e6, 1.0e6);
    lp::TextToRealArray(Text, 1);
    lp::TextToComplexArray(Text, 0);
    lp::fuzz::Refusable([&] { lp::TextToIntArray(Text, 0); });
    return 0;
}
