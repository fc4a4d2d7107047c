// The JPEG picture reader (see FuzzPicture.h), decoded again at an eighth
// of its size.

#include "fuzz/FuzzPicture.h"
#include "fuzz/FuzzSupport.h"
#include "platform/graphics/Jpeg.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::ReadPicture(QStringLiteral("jpg"), Data, Size, [](lp::TGraphic& Graphic) {
        auto& Jpeg = static_cast<lp::TJPEGImage&>(Graphic);
        Jpeg.SetScale(lp::TJPEGImage::jsEighth);
        Jpeg.SetPerformance(lp::TJPEGImage::jpBestSpeed);
    });
    return 0;
}
