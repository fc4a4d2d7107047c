#include "platform/graphics/Picture.h"

#include "platform/core/SafeSave.h"

#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Metafile.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QStringList>
#include <QtGui/QImageReader>
#include <QtGui/QImageWriter>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>

namespace lp {

namespace {

std::string Text(const QString& text)
{
    return text.toStdString();
}

} // namespace

// --- TGraphic ------------------------------------------------------------------------

void TGraphic::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Changed();
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGraphic::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInvalidGraphic(FormatText("Cannot open the picture file \"%s\": %s",
                                         {Text(fileName), Text(file.errorString())}));
    LoadFromStream(file);
}

void TGraphic::SaveToFile(const QString& fileName) const
{
    // A writer that raises or a failed write leaves the old file as it was.
    QString error;
    if (!SaveAtomically(fileName, [this](QIODevice& device) { SaveToStream(device); }, error))
        throw EInvalidGraphic(FormatText("Cannot write the picture file \"%s\": %s",
                                         {Text(fileName), Text(error)}));
}

// --- The format registry ------------------------------------------------------------

namespace {

// Only the user-interface thread touches the registry.
std::vector<TPictureFileFormat>& Formats()
{
    static std::vector<TPictureFileFormat> formats;
    return formats;
}

QString NormalExtension(const QString& extension)
{
    QString result = extension.trimmed();
    if (result.startsWith(QLatin1Char('.')))
        result.remove(0, 1);
    return result.toLower();
}

std::vector<TPictureFileFormat>::iterator FindFormat(const QString& extension)
{
    const QString key = NormalExtension(extension);
    auto& formats = Formats();
    return std::find_if(formats.begin(), formats.end(),
                        [&](const TPictureFileFormat& format) { return format.Extension == key; });
}

} // namespace

void RegisterFileFormat(const QString& extension, const QString& description, TGraphicFactory factory)
{
    const QString key = NormalExtension(extension);
    if (key.isEmpty() || key.contains(QLatin1Char('|')) || key.contains(QLatin1Char(';')) ||
        key.contains(QLatin1Char('*')) || !factory)
        throw EInvalidOperation(
            FormatText("Picture format \"%s\" needs a plain extension and a factory", {Text(extension)}));
    auto found = FindFormat(key);
    if (found != Formats().end()) {
        found->Description = description;
        found->Factory = std::move(factory);
        return;
    }
    Formats().push_back({key, description, std::move(factory)});
}

void UnregisterFileFormat(const QString& extension)
{
    auto found = FindFormat(extension);
    if (found != Formats().end())
        Formats().erase(found);
}

TGraphicFactory GraphicClassForExtension(const QString& extension)
{
    auto found = FindFormat(extension);
    return found == Formats().end() ? TGraphicFactory() : found->Factory;
}

std::vector<TPictureFileFormat> GraphicFileFormats()
{
    return Formats();
}

QString GraphicFilter()
{
    const auto& formats = Formats();
    if (formats.empty())
        return {};
    QStringList masks;
    for (const TPictureFileFormat& format : formats)
        masks << QStringLiteral("*.") + format.Extension;
    const QString all = masks.join(QLatin1Char(';'));
    QStringList parts{QStringLiteral("All (%1)").arg(all), all};
    for (const TPictureFileFormat& format : formats) {
        const QString mask = QStringLiteral("*.") + format.Extension;
        parts << QStringLiteral("%1 (%2)").arg(format.Description, mask) << mask;
    }
    return parts.join(QLatin1Char('|'));
}

namespace {

struct TStandardFormat {
    const char* Extension;
    const char* Description;
    std::unique_ptr<TGraphic> (*Create)();
};

const TStandardFormat kStandardFormats[] = {
    {"bmp", "Bitmaps", [] { return std::unique_ptr<TGraphic>(std::make_unique<TBitmap>()); }},
    {"png", "Portable Network Graphics",
     [] { return std::unique_ptr<TGraphic>(std::make_unique<TRasterImage>(QByteArrayLiteral("png"))); }},
    {"gif", "GIF Images",
     [] { return std::unique_ptr<TGraphic>(std::make_unique<TRasterImage>(QByteArrayLiteral("gif"))); }},
    {"jpg", "JPEG Image File", [] { return std::unique_ptr<TGraphic>(std::make_unique<TJPEGImage>()); }},
    {"jpeg", "JPEG Image File", [] { return std::unique_ptr<TGraphic>(std::make_unique<TJPEGImage>()); }},
    {"emf", "Enhanced Metafiles", [] { return std::unique_ptr<TGraphic>(std::make_unique<TMetafile>()); }},
    {"wmf", "Metafiles",
     [] {
         auto metafile = std::make_unique<TMetafile>();
         metafile->SetEnhanced(false);
         return std::unique_ptr<TGraphic>(std::move(metafile));
     }},
};

} // namespace

void RegisterStandardPictureFormats()
{
    for (const TStandardFormat& format : kStandardFormats)
        RegisterFileFormat(QString::fromLatin1(format.Extension), QString::fromLatin1(format.Description),
                           format.Create);
}

void UnregisterStandardPictureFormats()
{
    for (auto it = std::rbegin(kStandardFormats); it != std::rend(kStandardFormats); ++it)
        UnregisterFileFormat(QString::fromLatin1(it->Extension));
}

// --- TRasterImage --------------------------------------------------------------------

namespace {

quint32 BigEndian32(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | quint32(b[3]);
}

// Qt's PNG reader fails on most truncated files, but the GIF reader returns
// whatever part of the image arrived. Both formats are therefore walked
// block by block first: every block the data starts must be complete.
bool PngComplete(const QByteArray& data)
{
    const qint64 size = data.size();
    qint64 pos = 8;  // the signature (checked by Qt's reader)
    while (pos + 8 <= size) {
        const qint64 length = BigEndian32(data.constData() + pos);
        const bool end = std::memcmp(data.constData() + pos + 4, "IEND", 4) == 0;
        pos += 8 + length + 4;  // length, type, data, CRC
        if (pos > size)
            return false;
        if (end)
            return true;
    }
    return false;  // no IEND chunk
}

bool GifComplete(const QByteArray& data)
{
    const qint64 size = data.size();
    const auto byte = [&](qint64 pos) { return static_cast<unsigned char>(data.at(pos)); };
    const auto colorTable = [](unsigned flags) -> qint64 { return flags & 0x80 ? 3 * (2 << (flags & 7)) : 0; };
    // Skips a chain of sub-blocks ending with an empty one; false when cut.
    const auto skipSubBlocks = [&](qint64& pos) {
        while (pos < size) {
            const qint64 length = byte(pos++);
            if (length == 0)
                return true;
            pos += length;
        }
        return false;
    };
    if (size < 13)
        return false;
    qint64 pos = 13 + colorTable(byte(10));
    int images = 0;
    while (pos < size) {
        const unsigned block = byte(pos++);
        if (block == 0x3B)  // trailer
            return images > 0;
        if (block == 0x21) {  // extension: label, sub-blocks
            ++pos;
            if (!skipSubBlocks(pos))
                return false;
        } else if (block == 0x2C) {  // image: descriptor, colour table, code size, sub-blocks
            if (pos + 9 > size)
                return false;
            pos += 9 + colorTable(byte(pos + 8));
            ++pos;
            if (!skipSubBlocks(pos))
                return false;
            ++images;
        } else {
            return false;  // not a block of a GIF file
        }
    }
    // Files without the trailer byte are common; their image data is whole.
    return pos == size && images > 0;
}

} // namespace

TRasterImage::TRasterImage(const QByteArray& format) : FFormat(format.toLower()) {}

TRasterImage::~TRasterImage() = default;

bool TRasterImage::CanWrite() const
{
    return FFormat != "gif" && QImageWriter::supportedImageFormats().contains(FFormat);
}

bool TRasterImage::Empty() const
{
    return FImage.isNull();
}

int TRasterImage::Width() const
{
    return FImage.width();
}

int TRasterImage::Height() const
{
    return FImage.height();
}

void TRasterImage::Draw(TCanvas& canvas, const TRect& rect) const
{
    if (FImage.isNull())
        return;
    std::optional<TColor> transparent;
    if (Transparent()) {
        const QRgb corner = FImage.pixel(0, FImage.height() - 1);
        transparent = RGB(qRed(corner), qGreen(corner), qBlue(corner));
    }
    canvas.Handle().DrawImage(rect, FImage, transparent);
}

void TRasterImage::LoadFromStream(QIODevice& stream)
{
    const std::string name = FFormat.toUpper().toStdString();
    const auto fail = [&](const std::string& reason) { throw EInvalidGraphic(name + " error: " + reason); };
    QByteArray data = stream.readAll();
    if (data.isEmpty())
        fail("The file is empty");
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, FFormat);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        fail("Not a " + name + " image");
    const bool complete = FFormat == "png" ? PngComplete(data) : FFormat == "gif" ? GifComplete(data) : true;
    if (!complete)
        fail("The data ends before the image does");
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() > MaxPictureSide || size.height() > MaxPictureSide ||
         qint64(size.width()) * size.height() > MaxPicturePixels))
        fail("The image is too large");
    QImage image;
    if (!reader.read(&image))
        fail(reader.errorString().toStdString());
    FImage = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    Changed();
}

void TRasterImage::SaveToStream(QIODevice& stream) const
{
    const std::string name = FFormat.toUpper().toStdString();
    if (!CanWrite())
        throw EInvalidGraphic(name + " images cannot be written");
    if (FImage.isNull())
        throw EInvalidGraphic("Cannot save an empty " + name + " image");
    QImageWriter writer(&stream, FFormat);
    if (!writer.write(FImage))
        throw EInvalidGraphic("Cannot write the " + name + " image: " + writer.errorString().toStdString());
}

void TRasterImage::SetImage(const QImage& image)
{
    FImage = image.isNull() ? QImage()
                            : image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                            : QImage::Format_RGB32);
    Changed();
}

void TRasterImage::Assign(const TPersistent* Source)
{
    if (!Source) {
        SetImage(QImage());
        return;
    }
    if (const auto* raster = qobject_cast<const TRasterImage*>(Source)) {
        if (raster == this)
            return;
        FFormat = raster->FFormat;
        FImage = raster->FImage;
        FTransparent = raster->FTransparent;
        Changed();
        return;
    }
    if (const auto* graphic = qobject_cast<const TGraphic*>(Source)) {
        FTransparent = graphic->Transparent();
        SetImage(graphic->ToImage());
        return;
    }
    TGraphic::Assign(Source);
}

void TRasterImage::AssignTo(TPersistent* Dest) const
{
    if (auto* bitmap = qobject_cast<TBitmap*>(Dest)) {
        bitmap->SetImage(FImage);
        bitmap->SetTransparent(Transparent());
        return;
    }
    TGraphic::AssignTo(Dest);
}

// --- Copies of graphics ------------------------------------------------------------

namespace {

// A new, empty graphic of the named class: a standard class, or a class a
// registered format's factory makes; nullptr when the class is unknown.
// A raster image gets rasterFormat.
std::unique_ptr<TGraphic> NewGraphicOfClass(const QString& className, const QByteArray& rasterFormat)
{
    const auto is = [&](const QMetaObject& meta) { return className == TPersistent::ClassNameOf(meta); };
    if (is(TBitmap::staticMetaObject))
        return std::make_unique<TBitmap>();
    if (is(TJPEGImage::staticMetaObject))
        return std::make_unique<TJPEGImage>();
    if (is(TMetafile::staticMetaObject))
        return std::make_unique<TMetafile>();
    if (is(TRasterImage::staticMetaObject))
        return std::make_unique<TRasterImage>(rasterFormat);
    for (const TPictureFileFormat& format : Formats()) {
        std::unique_ptr<TGraphic> candidate = format.Factory();
        if (candidate && candidate->ClassName() == className)
            return candidate;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<TGraphic> CloneGraphic(const TGraphic& source)
{
    const auto* raster = qobject_cast<const TRasterImage*>(&source);
    std::unique_ptr<TGraphic> copy =
        NewGraphicOfClass(source.ClassName(), raster ? raster->Format() : QByteArrayLiteral("png"));
    if (!copy)
        throw EInvalidGraphic(FormatText("Cannot copy a picture of class %s", {Text(source.ClassName())}));
    copy->Assign(&source);
    return copy;
}

// --- TPicture ------------------------------------------------------------------------

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::SetGraphic(const TGraphic* value)
{
    if (value == FGraphic.get())
        return;
    SetOwnedGraphic(value ? CloneGraphic(*value) : nullptr);
}

TBitmap& TPicture::Bitmap()
{
    if (auto* bitmap = qobject_cast<TBitmap*>(FGraphic.get()))
        return *bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    if (FGraphic) {
        if (!FGraphic->Empty())
            bitmap->SetImage(FGraphic->ToImage());
        bitmap->SetTransparent(FGraphic->Transparent());
    }
    TBitmap& result = *bitmap;
    SetOwnedGraphic(std::move(bitmap));
    return result;
}

int TPicture::Width() const
{
    return FGraphic ? FGraphic->Width() : 0;
}

int TPicture::Height() const
{
    return FGraphic ? FGraphic->Height() : 0;
}

void TPicture::LoadFromFile(const QString& fileName)
{
    const QString extension = QFileInfo(fileName).suffix();
    const TGraphicFactory factory = GraphicClassForExtension(extension);
    std::unique_ptr<TGraphic> graphic = factory ? factory() : nullptr;
    if (!graphic)
        throw EInvalidGraphic(FormatText("Unknown picture file extension (.%s)", {Text(extension)}));
    graphic->LoadFromFile(fileName);
    SetOwnedGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const QString& fileName) const
{
    if (FGraphic)
        FGraphic->SaveToFile(fileName);
}

void TPicture::Assign(const TPersistent* Source)
{
    if (!Source) {
        SetGraphic(nullptr);
        return;
    }
    if (const auto* picture = qobject_cast<const TPicture*>(Source)) {
        if (picture != this)
            SetGraphic(picture->Graphic());
        return;
    }
    if (const auto* graphic = qobject_cast<const TGraphic*>(Source)) {
        SetGraphic(graphic);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::DefineProperties(TFiler& Filer)
{
    Filer.DefineBinaryProperty(
        QStringLiteral("Data"), [this](QIODevice& stream) { ReadData(stream); },
        [this](QIODevice& stream) { WriteData(stream); }, FGraphic && !FGraphic->Empty());
}

void TPicture::ReadData(QIODevice& stream)
{
    // Charts stored as pictures hold pictures again; each level reads a
    // shorter block, but a long chain would still exhaust the stack.
    thread_local int nesting = 0;
    if (nesting >= MaxPictureNesting)
        throw EInvalidGraphic("Pictures are nested too deeply");
    char length = 0;
    if (stream.read(&length, 1) != 1 || length == 0)
        throw EInvalidGraphic("The stored picture has no class name");
    const QByteArray name = stream.read(static_cast<unsigned char>(length));
    if (name.size() != static_cast<unsigned char>(length))
        throw EInvalidGraphic("The stored picture is cut short in its class name");
    const QString className = QString::fromLatin1(name);
    std::unique_ptr<TGraphic> graphic = NewGraphicOfClass(className, QByteArrayLiteral("png"));
    if (!graphic)
        throw EInvalidGraphic(FormatText("Unknown picture class %s in the stored picture", {Text(className)}));
    // The graphic sees only its own bytes, from position 0.
    QByteArray bytes = stream.readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    ++nesting;
    try {
        graphic->LoadFromStream(buffer);
    } catch (...) {
        --nesting;
        throw;
    }
    --nesting;
    SetOwnedGraphic(std::move(graphic));
}

void TPicture::WriteData(QIODevice& stream) const
{
    Q_ASSERT_X(FGraphic && !FGraphic->Empty(), "TPicture::WriteData", "an empty picture is not stored");
    const QByteArray name = FGraphic->ClassName().toLatin1();
    Q_ASSERT_X(!name.isEmpty() && name.size() <= 255, "TPicture::WriteData", "class names are short strings");
    const char length = static_cast<char>(name.size());
    stream.write(&length, 1);
    stream.write(name);
    const auto* raster = qobject_cast<const TRasterImage*>(FGraphic.get());
    if (raster && raster->Format() != "png") {
        // Formats Qt cannot write (GIF) keep their pixels as PNG.
        TRasterImage png(QByteArrayLiteral("png"));
        png.SetImage(raster->ToImage());
        png.SaveToStream(stream);
        return;
    }
    FGraphic->SaveToStream(stream);
}

void TPicture::AssignTo(TPersistent* Dest) const
{
    if (auto* graphic = qobject_cast<TGraphic*>(Dest); graphic && FGraphic) {
        graphic->Assign(FGraphic.get());
        return;
    }
    TPersistent::AssignTo(Dest);
}

void TPicture::SetOwnedGraphic(std::unique_ptr<TGraphic> graphic)
{
    if (!graphic && !FGraphic)
        return;
    if (graphic)
        graphic->OnChange = [this](TGraphic*) { Changed(); };
    FGraphic = std::move(graphic);
    Changed();
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

} // namespace lp
