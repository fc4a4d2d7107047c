// The enhanced metafile reader: the picture (header, check, playback, EMF
// and placeable output, see FuzzPicture.h) with its frame changed.

#include "fuzz/FuzzPicture.h"
#include "fuzz/FuzzSupport.h"
#include "platform/graphics/Metafile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::ReadPicture(QStringLiteral("emf"), Data, Size, [](lp::TGraphic& Graphic) {
        auto& Metafile = static_cast<lp::TMetafile&>(Graphic);
        Metafile.SetMMWidth(Metafile.MMWidth() / 2 + 1);
        Metafile.SetHeight(Metafile.Height() + 1);
    });
    return 0;
}
