// The GIF picture reader (see FuzzPicture.h).

#include "fuzz/FuzzPicture.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::ReadPicture(QStringLiteral("gif"), Data, Size);
    return 0;
}
