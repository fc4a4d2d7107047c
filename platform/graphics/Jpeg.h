#pragma once
// JPEG images, read and written with libjpeg-turbo.
//
// A TJPEGImage keeps three things:
//   - the compressed bytes (what SaveToStream writes; an unmodified loaded
//     image writes back exactly the bytes it was read from);
//   - the decoded pixels, at the Scale, Performance and Grayscale in force,
//     which Draw and ToImage use;
//   - the full-size pixels it was last compressed from, when there are any,
//     so that changing the compression settings does not compress the
//     artefacts of an earlier compression again.
// Changing CompressionQuality, ProgressiveEncoding or Grayscale compresses
// the pixels again at once; changing Scale or Performance decodes again.

#include "platform/graphics/Bitmap.h"

#include <QtCore/QByteArray>

#include <cstdint>

namespace lp {

// Side and area limits of decoded and encoded pictures of every format:
// beyond them the pixels would not fit the memory of a desktop anyway, and
// refusing them early keeps a few bytes of header from asking for
// gigabytes.
constexpr std::int64_t MaxPictureSide = 65500;
constexpr std::int64_t MaxPicturePixels = 400'000'000;

class TJPEGImage : public TGraphic {
    Q_OBJECT
public:
    // Decoding speed: jpBestQuality uses the accurate integer transform and
    // smooth colour upsampling, jpBestSpeed the fast ones.
    enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
    Q_ENUM(TJPEGPerformance)
    // The size decoded pixels get: full, half, a quarter or an eighth of the
    // file's size on each side (rounded up).
    enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
    Q_ENUM(TJPEGScale)

    TJPEGImage();
    ~TJPEGImage() override;

    // 1 .. 100 (ERangeError outside); 90 at first. Qualities of 90 and more
    // keep full colour resolution, lower ones halve it on both axes.
    int CompressionQuality() const { return FCompressionQuality; }
    void SetCompressionQuality(int value);
    // Decodes into grey pixels and compresses one channel. Loading a
    // one-channel file sets it.
    bool Grayscale() const { return FGrayscale; }
    void SetGrayscale(bool value);
    bool ProgressiveEncoding() const { return FProgressiveEncoding; }
    void SetProgressiveEncoding(bool value);
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance value);
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale value);

    bool Empty() const override;
    // The size of the decoded pixels (so after Scale).
    int Width() const override;
    int Height() const override;
    // Stretched into the rectangle. Transparent is not applied: compression
    // shifts colours, so no single colour reliably marks the background.
    void Draw(TCanvas& canvas, const TRect& rect) const override;

    // Reads the whole stream. Anything libjpeg cannot decode raises
    // EInvalidGraphic "JPEG error: <libjpeg's message>", as do a truncated
    // file ("Premature end of JPEG file"), an empty stream, images larger
    // than 65500 pixels on a side or 400 million pixels, and a header that
    // declares more pixels than the file's data could encode ("too short",
    // refused before the pixels are allocated); the decoder's working memory
    // is bounded too. The object is then unchanged.
    void LoadFromStream(QIODevice& stream) override;
    // Writes the compressed bytes; an empty image or a failing stream raises
    // EInvalidGraphic.
    void SaveToStream(QIODevice& stream) const override;
    // The decoded pixels as Format_RGB32.
    QImage ToImage() const override;
    // The compressed bytes (empty for an empty image).
    QByteArray Data() const { return FData; }

    // Compresses the image with the current settings (any format; alpha is
    // dropped). A null image empties the JPEG image.
    void SetImage(const QImage& image);

    // From another JPEG image (bytes, pixels and settings), or from any other
    // graphic by compressing its pixels; nullptr empties the image.
    void Assign(const TPersistent* Source) override;

protected:
    // Into a TBitmap: the decoded pixels.
    void AssignTo(TPersistent* Dest) const override;

private:
    // Compresses FSource with the current settings and decodes the result.
    // On failure the object is unchanged.
    void Compress();
    // Decodes FData with the current decoding settings into FImage.
    void Decode();

    QByteArray FData;
    QImage FImage;   // decoded pixels, Format_RGB32
    QImage FSource;  // full-size pixels FData was compressed from, or null
    int FCompressionQuality = 90;
    bool FGrayscale = false;
    bool FProgressiveEncoding = false;
    TJPEGPerformance FPerformance = jpBestQuality;
    TJPEGScale FScale = jsFullSize;
};

using TJPEGPerformance = TJPEGImage::TJPEGPerformance;
using TJPEGScale = TJPEGImage::TJPEGScale;

} // namespace lp
