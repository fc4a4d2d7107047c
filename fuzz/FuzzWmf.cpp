// The placeable metafile reader: played directly, and as a picture (turned
// into EMF and written back as WMF, see FuzzPicture.h).

#include "fuzz/FuzzPicture.h"
#include "fuzz/FuzzSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    const QByteArray Bytes = lp::fuzz::Bytes(Data, Size);
    lp::TBitmap Target(48, 32);
    lp::fuzz::Refusable([&] { lp::PlayPlaceableMetafile(Bytes, Target.Canvas().Handle(), {0, 0, 48, 32}); });
    lp::fuzz::ReadPicture(QStringLiteral("wmf"), Data, Size);
    return 0;
}
