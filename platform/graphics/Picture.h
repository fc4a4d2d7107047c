#pragma once
// Pictures of any registered file format.
//
//   TPicture ── TGraphic (owned, at most one; its OnChange is the picture's)
//                 ├─ TBitmap       .bmp  (Bitmap.h)
//                 ├─ TRasterImage  .png, .gif (read through Qt's image readers)
//                 └─ TJPEGImage    .jpg, .jpeg (Jpeg.h, libjpeg-turbo)
//
// The format registry maps a file extension to a description and a factory
// that creates an empty graphic of the right class. Start-up code fills it
// with RegisterStandardPictureFormats(); nothing registers itself.

#include "platform/graphics/Bitmap.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <functional>
#include <memory>
#include <vector>

namespace lp {

// --- The format registry ------------------------------------------------------------

// Creates a new, empty graphic.
using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;

struct TPictureFileFormat {
    QString Extension;    // lower case, without the dot ("png")
    QString Description;  // "Portable Network Graphics"
    TGraphicFactory Factory;
};

// Registers (or replaces) the format of an extension; case does not matter
// and a leading dot is ignored. A replaced format keeps its place in the
// list. An empty extension (or one with '|', ';' or '*') or an empty factory
// raises EInvalidOperation.
void RegisterFileFormat(const QString& extension, const QString& description, TGraphicFactory factory);
// Forgets the format of an extension; nothing happens when it is unknown.
void UnregisterFileFormat(const QString& extension);
// The factory of the extension's graphic class (case ignored, leading dot
// allowed), or an empty function when the extension is not registered.
TGraphicFactory GraphicClassForExtension(const QString& extension);
// The registered formats in the order of registration.
std::vector<TPictureFileFormat> GraphicFileFormats();
// The filter of open dialogs: "All (*.bmp;*.png)|*.bmp;*.png|" followed by
// "description (*.ext)|*.ext" for each format, all joined by "|". Empty when
// no format is registered.
QString GraphicFilter();

// bmp (TBitmap), png and gif (TRasterImage), jpg and jpeg (TJPEGImage).
// Calling it again re-registers the same formats.
void RegisterStandardPictureFormats();
// Unregisters the standard formats in the reverse order.
void UnregisterStandardPictureFormats();

// --- Raster images read through Qt ----------------------------------------------------

// A picture in a raster format that Qt's image readers decode (PNG, GIF).
// The pixels are kept as 32-bit pixels (with alpha when the file has it).
// PNG is written through Qt's image writer; GIF cannot be written.
class TRasterImage : public TGraphic {
    Q_OBJECT
public:
    // format: the lower-case name of Qt's image format ("png", "gif").
    explicit TRasterImage(const QByteArray& format = QByteArrayLiteral("png"));
    ~TRasterImage() override;

    QByteArray Format() const { return FFormat; }
    // Whether SaveToStream can write this format.
    bool CanWrite() const;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // Stretched into the rectangle; with Transparent the colour of the
    // bottom-left pixel is left out, as with a bitmap.
    void Draw(TCanvas& canvas, const TRect& rect) const override;
    // Reads the whole stream as one image of this object's format.
    // Truncated or damaged data, an empty stream and images larger than
    // 65500 pixels on a side or 400 million pixels raise EInvalidGraphic;
    // the object is then unchanged.
    void LoadFromStream(QIODevice& stream) override;
    // Raises EInvalidGraphic when the format cannot be written ("GIF images
    // cannot be written"), the image is empty or the stream fails.
    void SaveToStream(QIODevice& stream) const override;
    QImage ToImage() const override { return FImage; }
    // Takes any image (converted to 32-bit pixels, alpha kept).
    void SetImage(const QImage& image);

    // From another raster image (format included) or any other graphic (its
    // pixels); nullptr clears.
    void Assign(const TPersistent* Source) override;

protected:
    // Into a TBitmap: its pixels.
    void AssignTo(TPersistent* Dest) const override;

private:
    QByteArray FFormat;
    QImage FImage;
};

// --- The picture ----------------------------------------------------------------------

class TPicture : public TPersistent {
    Q_OBJECT
public:
    // Fires when the graphic changes or is replaced.
    std::function<void(TPicture*)> OnChange;

    TPicture();
    ~TPicture() override;

    // The graphic, owned by the picture; nullptr when the picture is empty.
    TGraphic* Graphic() const { return FGraphic.get(); }
    // Replaces the graphic by a copy of value (nullptr empties the picture).
    // A class that cannot be copied raises EInvalidGraphic.
    void SetGraphic(const TGraphic* value);
    // The graphic as a bitmap: another graphic is replaced by a bitmap of its
    // pixels, an empty picture gets an empty bitmap.
    TBitmap& Bitmap();

    // 0 when the picture is empty.
    int Width() const;
    int Height() const;

    // Reads the file with the graphic class registered for its extension
    // (case ignored). An unknown extension raises EInvalidGraphic "Unknown
    // picture file extension (.xyz)"; any failure leaves the picture as it was.
    void LoadFromFile(const QString& fileName);
    // Writes the graphic in its own format through a temporary file; an empty
    // picture writes nothing.
    void SaveToFile(const QString& fileName) const;

    // From a picture (its graphic copied) or a graphic; nullptr clears.
    void Assign(const TPersistent* Source) override;

    // The stored binary property "Data", written only when the picture holds
    // a non-empty graphic: the graphic's class name as a short string (one
    // length byte, Latin-1), then the graphic's own file bytes (BMP, EMF or
    // placeable WMF, JPEG as kept; raster images of any read format as PNG).
    void DefineProperties(TFiler& Filer) override;
    // Reads a "Data" block. A block without a class name, an unknown class,
    // damaged graphic bytes or charts in pictures nested deeper than
    // MaxPictureNesting raise EInvalidGraphic; the picture is then unchanged.
    void ReadData(QIODevice& stream);
    // Writes the "Data" block of a non-empty graphic (see DefineProperties).
    void WriteData(QIODevice& stream) const;

    // How deeply pictures may hold charts that hold pictures when read.
    static constexpr int MaxPictureNesting = 8;

protected:
    // Into a graphic: the graphic assigns from this picture's graphic.
    void AssignTo(TPersistent* Dest) const override;

private:
    void SetOwnedGraphic(std::unique_ptr<TGraphic> graphic);
    void Changed();

    std::unique_ptr<TGraphic> FGraphic;
};

// A new graphic of the same class holding a copy of source. Raises
// EInvalidGraphic when the class is neither one of the standard ones nor
// registered.
std::unique_ptr<TGraphic> CloneGraphic(const TGraphic& source);

} // namespace lp
