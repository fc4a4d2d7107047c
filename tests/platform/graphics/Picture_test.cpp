#include "platform/graphics/Picture.h"

#include "platform/graphics/Jpeg.h"
#include "platform/graphics/Metafile.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImageWriter>
#include <QtGui/QPainter>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace lp {

// A graphic class of another unit, known to the picture only through the
// format registry.
class TTestGraphic : public TGraphic {
    Q_OBJECT
public:
    int Value = 0;
    bool Empty() const override { return Value == 0; }
    int Width() const override { return Value; }
    int Height() const override { return Value; }
    void Draw(TCanvas&, const TRect&) const override {}
    void LoadFromStream(QIODevice& stream) override { Value = int(stream.readAll().size()); }
    void SaveToStream(QIODevice& stream) const override { stream.write(QByteArray(Value, 'x')); }
    QImage ToImage() const override { return {}; }
    void Assign(const TPersistent* Source) override
    {
        if (const auto* other = qobject_cast<const TTestGraphic*>(Source)) {
            Value = other->Value;
            return;
        }
        TGraphic::Assign(Source);
    }
};

namespace {

QImage TestImage(int width = 20, int height = 12)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 12, y * 20, (x * y) & 0xFF));
    return image;
}

QByteArray PngBytes(const QImage& image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    EXPECT_TRUE(writer.write(image));
    return data;
}

QByteArray JpegBytes(const QImage& image)
{
    TJPEGImage jpeg;
    jpeg.SetImage(image);
    return jpeg.Data();
}

QByteArray BmpBytes(const QImage& image)
{
    TBitmap bitmap;
    bitmap.SetImage(image);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    bitmap.SaveToStream(buffer);
    return data;
}

// An 8 x 6 GIF with a four-colour table (red, green, blue, white); pixel
// (x, y) has colour index (x / 2 + y / 3) mod 4.
const unsigned char kGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x08, 0x00, 0x06, 0x00, 0x81, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF,
    0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x08, 0x00, 0x06, 0x00, 0x00, 0x02,
    0x0F, 0x04, 0x12, 0x22, 0x33, 0x86, 0xCA, 0x5C, 0x5A, 0xE3, 0x51, 0x09, 0xDB, 0x99, 0x11, 0x14, 0x00, 0x3B,
};

QByteArray GifBytes()
{
    return QByteArray(reinterpret_cast<const char*>(kGif), sizeof kGif);
}

QRgb GifPixel(int x, int y)
{
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
    return colours[(x / 2 + y / 3) % 4];
}

quint32 Crc32(const QByteArray& data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= uchar(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian32(QByteArray& data, qsizetype at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        data[at + i] = char(value >> (24 - 8 * i));
}

// A valid PNG whose header (with a correct checksum) claims another size.
QByteArray PngClaimingSize(quint32 width, quint32 height)
{
    QByteArray data = PngBytes(TestImage(4, 4));
    // Signature (8), IHDR length (4), "IHDR" (4), width, height ...
    PutBigEndian32(data, 16, width);
    PutBigEndian32(data, 20, height);
    PutBigEndian32(data, 29, Crc32(data.mid(12, 17)));
    return data;
}

void WriteFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(data), data.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What writer writes into a buffer.
QByteArray Written(const std::function<void(QIODevice&)>& writer)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    writer(buffer);
    return data;
}

// Lets reader read data from a buffer.
void ReadFrom(QByteArray data, const std::function<void(QIODevice&)>& reader)
{
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    reader(buffer);
}

void LoadFromBytes(TGraphic& graphic, const QByteArray& data)
{
    ReadFrom(data, [&](QIODevice& stream) { graphic.LoadFromStream(stream); });
}

QByteArray SaveToBytes(const TGraphic& graphic)
{
    return Written([&](QIODevice& stream) { graphic.SaveToStream(stream); });
}

std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(no error)";
}

// Expects the data to be refused with EInvalidGraphic, leaving the graphic's
// pixels as they were.
void ExpectRejected(TGraphic& graphic, const QByteArray& data)
{
    const QImage before = graphic.ToImage();
    EXPECT_THROW(LoadFromBytes(graphic, data), EInvalidGraphic) << data.size() << " bytes";
    EXPECT_EQ(graphic.ToImage(), before);
}

QStringList FolderEntries(const QString& path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Every test of the registry and of pictures starts with the standard formats
// and leaves the registry empty.
class PictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        RegisterStandardPictureFormats();
    }
    void TearDown() override
    {
        UnregisterFileFormat(QStringLiteral("tst"));
        UnregisterStandardPictureFormats();
    }
    QString PathOf(const QString& name) const { return Folder.filePath(name); }

    QTemporaryDir Folder;
};

// --- The format registry ---------------------------------------------------------------

using PictureFormatRegistry = PictureTest;

TEST_F(PictureFormatRegistry, StandardFormatsAreFoundByExtensionInAnyCase)
{
    const auto classOf = [](const char* extension) {
        const TGraphicFactory factory = GraphicClassForExtension(QString::fromLatin1(extension));
        return factory ? factory()->ClassName() : QStringLiteral("(none)");
    };
    EXPECT_EQ(classOf("bmp"), QStringLiteral("TBitmap"));
    EXPECT_EQ(classOf("BMP"), QStringLiteral("TBitmap"));
    EXPECT_EQ(classOf(".Png"), QStringLiteral("TRasterImage"));
    EXPECT_EQ(classOf("GIF"), QStringLiteral("TRasterImage"));
    EXPECT_EQ(classOf("jpg"), QStringLiteral("TJPEGImage"));
    EXPECT_EQ(classOf("JPEG"), QStringLiteral("TJPEGImage"));
    EXPECT_EQ(classOf("tif"), QStringLiteral("(none)"));

    const auto gif = GraphicClassForExtension(QStringLiteral("gif"))();
    EXPECT_EQ(static_cast<TRasterImage&>(*gif).Format(), QByteArray("gif"));
}

TEST_F(PictureFormatRegistry, FilterListsAllFormatsThenEachOne)
{
    EXPECT_EQ(GraphicFilter(),
              QStringLiteral("All (*.bmp;*.png;*.gif;*.jpg;*.jpeg;*.emf;*.wmf)|*.bmp;*.png;*.gif;*.jpg;*.jpeg;*.emf;*.wmf|"
                             "Bitmaps (*.bmp)|*.bmp|"
                             "Portable Network Graphics (*.png)|*.png|"
                             "GIF Images (*.gif)|*.gif|"
                             "JPEG Image File (*.jpg)|*.jpg|"
                             "JPEG Image File (*.jpeg)|*.jpeg|"
                             "Enhanced Metafiles (*.emf)|*.emf|"
                             "Metafiles (*.wmf)|*.wmf"));
}

TEST_F(PictureFormatRegistry, RegisteringTheStandardFormatsTwiceKeepsOneEntryEach)
{
    RegisterStandardPictureFormats();
    EXPECT_EQ(GraphicFileFormats().size(), 7u);
}

TEST_F(PictureFormatRegistry, RegisteredFormatJoinsTheFilterAndLeavesItAgain)
{
    RegisterFileFormat(QStringLiteral(".TST"), QStringLiteral("Test pictures"),
                       [] { return std::make_unique<TTestGraphic>(); });
    EXPECT_TRUE(GraphicFilter().endsWith(QStringLiteral("|Test pictures (*.tst)|*.tst")));
    EXPECT_TRUE(GraphicFilter().startsWith(QStringLiteral("All (*.bmp;*.png;*.gif;*.jpg;*.jpeg;*.emf;*.wmf;*.tst)|")));
    ASSERT_TRUE(GraphicClassForExtension(QStringLiteral("tst")));

    RegisterFileFormat(QStringLiteral("tst"), QStringLiteral("Renamed"),
                       [] { return std::make_unique<TTestGraphic>(); });
    EXPECT_TRUE(GraphicFilter().endsWith(QStringLiteral("|Renamed (*.tst)|*.tst")));
    EXPECT_EQ(GraphicFileFormats().size(), 8u);

    UnregisterFileFormat(QStringLiteral("Tst"));
    EXPECT_FALSE(GraphicClassForExtension(QStringLiteral("tst")));
    EXPECT_FALSE(GraphicFilter().contains(QStringLiteral("tst")));
    UnregisterFileFormat(QStringLiteral("tst"));  // unknown: nothing happens
    EXPECT_EQ(GraphicFileFormats().size(), 7u);
}

TEST_F(PictureFormatRegistry, UnregisteringTheStandardFormatsEmptiesTheRegistry)
{
    UnregisterStandardPictureFormats();
    EXPECT_TRUE(GraphicFileFormats().empty());
    EXPECT_TRUE(GraphicFilter().isEmpty());
    EXPECT_FALSE(GraphicClassForExtension(QStringLiteral("png")));
}

TEST_F(PictureFormatRegistry, FormatWithoutExtensionOrFactoryIsRefused)
{
    EXPECT_THROW(RegisterFileFormat(QString(), QStringLiteral("Nothing"),
                                    [] { return std::make_unique<TTestGraphic>(); }),
                 EInvalidOperation);
    EXPECT_THROW(RegisterFileFormat(QStringLiteral("a|b"), QStringLiteral("Bar"),
                                    [] { return std::make_unique<TTestGraphic>(); }),
                 EInvalidOperation);
    EXPECT_THROW(RegisterFileFormat(QStringLiteral("tst"), QStringLiteral("No factory"), TGraphicFactory()),
                 EInvalidOperation);
    EXPECT_EQ(GraphicFileFormats().size(), 7u);
}

// --- Picture files ------------------------------------------------------------------------

using PictureFile = PictureTest;

TEST_F(PictureFile, LoadChoosesTheGraphicClassByExtension)
{
    WriteFile(PathOf(QStringLiteral("a.png")), PngBytes(TestImage()));
    WriteFile(PathOf(QStringLiteral("b.jpg")), JpegBytes(TestImage()));
    WriteFile(PathOf(QStringLiteral("c.jpeg")), JpegBytes(TestImage()));
    WriteFile(PathOf(QStringLiteral("d.gif")), GifBytes());
    WriteFile(PathOf(QStringLiteral("e.bmp")), BmpBytes(TestImage()));
    const struct {
        const char* Name;
        const char* Class;
        int Width;
    } rows[] = {
        {"a.png", "TRasterImage", 20}, {"b.jpg", "TJPEGImage", 20}, {"c.jpeg", "TJPEGImage", 20},
        {"d.gif", "TRasterImage", 8},  {"e.bmp", "TBitmap", 20},
    };
    for (const auto& row : rows) {
        TPicture picture;
        picture.LoadFromFile(PathOf(QString::fromLatin1(row.Name)));
        ASSERT_NE(picture.Graphic(), nullptr) << row.Name;
        EXPECT_EQ(picture.Graphic()->ClassName(), QString::fromLatin1(row.Class)) << row.Name;
        EXPECT_EQ(picture.Width(), row.Width) << row.Name;
    }
}

TEST_F(PictureFile, UpperCaseExtensionsAreRecognised)
{
    WriteFile(PathOf(QStringLiteral("SECTION.PNG")), PngBytes(TestImage()));
    WriteFile(PathOf(QStringLiteral("PHOTO.JPG")), JpegBytes(TestImage()));
    TPicture picture;
    picture.LoadFromFile(PathOf(QStringLiteral("SECTION.PNG")));
    EXPECT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TRasterImage"));
    picture.LoadFromFile(PathOf(QStringLiteral("PHOTO.JPG")));
    EXPECT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TJPEGImage"));
}

TEST_F(PictureFile, UnknownExtensionRaisesNamingTheExtension)
{
    WriteFile(PathOf(QStringLiteral("section.xyz")), PngBytes(TestImage()));
    TPicture picture;
    EXPECT_EQ(MessageOf([&] { picture.LoadFromFile(PathOf(QStringLiteral("section.xyz"))); }),
              "Unknown picture file extension (.xyz)");
    EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST_F(PictureFile, FailedLoadKeepsTheOldGraphic)
{
    WriteFile(PathOf(QStringLiteral("good.png")), PngBytes(TestImage()));
    WriteFile(PathOf(QStringLiteral("bad.jpg")), QByteArray("this is no picture at all"));
    TPicture picture;
    picture.LoadFromFile(PathOf(QStringLiteral("good.png")));
    const TGraphic* before = picture.Graphic();
    int changes = 0;
    picture.OnChange = [&](TPicture*) { ++changes; };

    EXPECT_THROW(picture.LoadFromFile(PathOf(QStringLiteral("bad.jpg"))), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(PathOf(QStringLiteral("missing.png"))), EInvalidGraphic);
    EXPECT_THROW(picture.LoadFromFile(PathOf(QStringLiteral("good.xyz"))), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), before);
    EXPECT_EQ(picture.Graphic()->ToImage(), TestImage());
    EXPECT_EQ(changes, 0);
}

TEST_F(PictureFile, MissingFileRaisesNamingTheFile)
{
    TPicture picture;
    const std::string message = MessageOf([&] { picture.LoadFromFile(PathOf(QStringLiteral("no-profile.png"))); });
    EXPECT_NE(message.find("no-profile.png"), std::string::npos) << message;
}

TEST_F(PictureFile, SaveReplacesTheTargetAndLeavesNoOtherFile)
{
    const QString target = PathOf(QStringLiteral("out.png"));
    WriteFile(target, QByteArray("old contents"));
    TPicture picture;
    TRasterImage png;
    png.SetImage(TestImage());
    picture.SetGraphic(&png);
    picture.SaveToFile(target);

    EXPECT_EQ(FolderEntries(Folder.path()), QStringList{QStringLiteral("out.png")});
    TPicture read;
    read.LoadFromFile(target);
    EXPECT_EQ(read.Graphic()->ToImage(), TestImage());
}

TEST_F(PictureFile, SaveIntoAMissingFolderRaisesAndWritesNothing)
{
    TPicture picture;
    TRasterImage png;
    png.SetImage(TestImage());
    picture.SetGraphic(&png);
    const QString target = PathOf(QStringLiteral("missing/out.png"));
    EXPECT_THROW(picture.SaveToFile(target), EInvalidGraphic);
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(FolderEntries(Folder.path()).isEmpty());
}

TEST_F(PictureFile, FailedSaveLeavesTheOldFileIntact)
{
    const QString target = PathOf(QStringLiteral("old.gif"));
    WriteFile(target, GifBytes());
    TPicture picture;
    picture.LoadFromFile(target);
    EXPECT_EQ(MessageOf([&] { picture.SaveToFile(target); }), "GIF images cannot be written");
    EXPECT_EQ(ReadFile(target), GifBytes());
    EXPECT_EQ(FolderEntries(Folder.path()), QStringList{QStringLiteral("old.gif")});
}

TEST_F(PictureFile, EmptyPictureWritesNothing)
{
    TPicture picture;
    picture.SaveToFile(PathOf(QStringLiteral("empty.png")));
    EXPECT_TRUE(FolderEntries(Folder.path()).isEmpty());
}

TEST_F(PictureFile, JpegFileRoundTripsThroughThePicture)
{
    const QString source = PathOf(QStringLiteral("in.jpg"));
    const QString target = PathOf(QStringLiteral("out.jpeg"));
    WriteFile(source, JpegBytes(TestImage()));
    TPicture picture;
    picture.LoadFromFile(source);
    picture.SaveToFile(target);
    EXPECT_EQ(ReadFile(target), ReadFile(source));
}

TEST_F(PictureFile, BitmapFileRoundTripsExactly)
{
    TPicture picture;
    picture.Bitmap().SetImage(TestImage());
    picture.SaveToFile(PathOf(QStringLiteral("out.bmp")));
    TPicture read;
    read.LoadFromFile(PathOf(QStringLiteral("out.bmp")));
    ASSERT_EQ(read.Graphic()->ClassName(), QStringLiteral("TBitmap"));
    EXPECT_EQ(read.Graphic()->ToImage(), TestImage());
}

// --- Raster formats read through Qt ----------------------------------------------------

using PictureRaster = PictureTest;

TEST_F(PictureRaster, PngRoundTripIsExact)
{
    TRasterImage written;
    written.SetImage(TestImage());
    TRasterImage read;
    LoadFromBytes(read, SaveToBytes(written));
    EXPECT_EQ(read.ToImage(), TestImage());
    EXPECT_EQ(read.ToImage().format(), QImage::Format_RGB32);
}

TEST_F(PictureRaster, PngRoundTripKeepsAlpha)
{
    QImage image(6, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, qRgba(x * 40, y * 60, 90, x * 50));
    TRasterImage written;
    written.SetImage(image);
    TRasterImage read;
    LoadFromBytes(read, SaveToBytes(written));
    EXPECT_EQ(read.ToImage(), image);
}

TEST_F(PictureRaster, GifIsRead)
{
    TRasterImage gif(QByteArrayLiteral("gif"));
    LoadFromBytes(gif, GifBytes());
    ASSERT_EQ(QSize(gif.Width(), gif.Height()), QSize(8, 6));
    const QImage image = gif.ToImage();
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(image.pixel(x, y), GifPixel(x, y)) << x << "," << y;
}

TEST_F(PictureRaster, GifCannotBeWritten)
{
    TRasterImage gif(QByteArrayLiteral("gif"));
    LoadFromBytes(gif, GifBytes());
    EXPECT_FALSE(gif.CanWrite());
    EXPECT_EQ(MessageOf([&] { SaveToBytes(gif); }), "GIF images cannot be written");
}

TEST_F(PictureRaster, ReaderTakesOnlyItsOwnFormat)
{
    TRasterImage png;
    ExpectRejected(png, GifBytes());
    TRasterImage gif(QByteArrayLiteral("gif"));
    ExpectRejected(gif, PngBytes(TestImage()));
}

TEST_F(PictureRaster, RandomBytesRaise)
{
    QRandomGenerator random(4242);
    TRasterImage png;
    png.SetImage(TestImage());
    TRasterImage gif(QByteArrayLiteral("gif"));
    LoadFromBytes(gif, GifBytes());
    TBitmap bmp;
    bmp.SetImage(TestImage());
    for (int round = 0; round < 10; ++round) {
        QByteArray noise(50 + round * 131, '\0');
        for (char& c : noise)
            c = char(random.bounded(256));
        ExpectRejected(png, noise);
        ExpectRejected(gif, noise);
        ExpectRejected(bmp, noise);
    }
}

TEST_F(PictureRaster, ZeroLengthFilesRaise)
{
    TRasterImage png;
    TRasterImage gif(QByteArrayLiteral("gif"));
    TBitmap bmp;
    ExpectRejected(png, QByteArray());
    ExpectRejected(gif, QByteArray());
    ExpectRejected(bmp, QByteArray());
    EXPECT_EQ(MessageOf([&] { LoadFromBytes(png, QByteArray()); }), "PNG error: The file is empty");
}

TEST_F(PictureRaster, EveryTruncatedPngRaises)
{
    const QByteArray good = PngBytes(TestImage());
    TRasterImage png;
    png.SetImage(TestImage(3, 3));
    for (qsizetype length = 0; length < good.size(); ++length)
        ExpectRejected(png, good.left(length));
}

TEST_F(PictureRaster, EveryTruncatedGifRaises)
{
    // The trailer byte alone may be missing: the image data is whole then.
    const QByteArray good = GifBytes();
    TRasterImage gif(QByteArrayLiteral("gif"));
    for (qsizetype length = 0; length < good.size() - 1; ++length)
        ExpectRejected(gif, good.left(length));
    LoadFromBytes(gif, good.left(good.size() - 1));
    EXPECT_EQ(gif.ToImage().pixel(7, 5), GifPixel(7, 5));
}

TEST_F(PictureRaster, TruncatedBitmapRaises)
{
    const QByteArray good = BmpBytes(TestImage());
    TBitmap bmp;
    for (const qsizetype length : {qsizetype(10), qsizetype(30), good.size() / 2, good.size() - 1})
        ExpectRejected(bmp, good.left(length));
}

TEST_F(PictureRaster, PngHeaderClaimingHugeDimensionsRaises)
{
    TRasterImage png;
    png.SetImage(TestImage(2, 2));
    ExpectRejected(png, PngClaimingSize(70000, 70000));
    ExpectRejected(png, PngClaimingSize(30000, 30000));  // 900 million pixels
}

TEST_F(PictureRaster, BitmapHeaderClaimingHugeDimensionsRaises)
{
    QByteArray huge = BmpBytes(TestImage(4, 4));
    // BITMAPINFOHEADER width and height (little-endian) at 18 and 22.
    for (const int at : {18, 22}) {
        huge[at] = char(0x00);
        huge[at + 1] = char(0x00);
        huge[at + 2] = char(0x00);
        huge[at + 3] = char(0x40);
    }
    TBitmap bmp;
    bmp.SetImage(TestImage(2, 2));
    ExpectRejected(bmp, huge);
}

TEST_F(PictureRaster, DrawStretchesThePixels)
{
    TRasterImage png;
    png.SetImage(TestImage(4, 4));
    TBitmap target(8, 8);
    png.Draw(target.Canvas(), Rect(0, 0, 8, 8));
    const QImage drawn = target.ToImage();
    EXPECT_EQ(drawn.pixel(0, 0), TestImage(4, 4).pixel(0, 0));
    EXPECT_EQ(drawn.pixel(7, 7), TestImage(4, 4).pixel(3, 3));
    EXPECT_EQ(drawn.pixel(5, 2), TestImage(4, 4).pixel(2, 1));
}

TEST_F(PictureRaster, TransparentDrawLeavesTheBottomLeftColourOut)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));           // red: the bottom-left colour
    image.setPixel(1, 1, qRgb(0, 0, 255));
    TRasterImage png;
    png.SetImage(image);
    png.SetTransparent(true);
    TBitmap target(4, 4);
    target.Canvas().Brush().SetColor(clLime);
    target.Canvas().FillRect(Rect(0, 0, 4, 4));
    png.Draw(target.Canvas(), Rect(0, 0, 4, 4));
    const QImage drawn = target.ToImage();
    EXPECT_EQ(drawn.pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(drawn.pixel(0, 3), qRgb(0, 255, 0));
    EXPECT_EQ(drawn.pixel(2, 2), qRgb(0, 255, 0));
}

// --- The picture object -----------------------------------------------------------------

using PictureObject = PictureTest;

TEST_F(PictureObject, OnChangeFiresWhenTheGraphicIsReplacedOrChanges)
{
    WriteFile(PathOf(QStringLiteral("a.png")), PngBytes(TestImage()));
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TPicture* sender) {
        EXPECT_EQ(sender, &picture);
        ++changes;
    };
    picture.LoadFromFile(PathOf(QStringLiteral("a.png")));
    EXPECT_EQ(changes, 1);
    picture.Graphic()->SetTransparent(true);
    EXPECT_EQ(changes, 2);
    picture.Graphic()->SetTransparent(true);  // unchanged: no report
    EXPECT_EQ(changes, 2);
    TJPEGImage jpeg;
    jpeg.SetImage(TestImage());
    picture.SetGraphic(&jpeg);
    EXPECT_EQ(changes, 3);
    static_cast<TJPEGImage*>(picture.Graphic())->SetScale(TJPEGImage::jsHalf);
    EXPECT_EQ(changes, 4);
    picture.Assign(nullptr);
    EXPECT_EQ(changes, 5);
    picture.Assign(nullptr);  // already empty
    EXPECT_EQ(changes, 5);
}

TEST_F(PictureObject, SetGraphicKeepsACopy)
{
    TRasterImage png;
    png.SetImage(TestImage());
    TPicture picture;
    picture.SetGraphic(&png);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_NE(picture.Graphic(), &png);
    png.SetImage(TestImage(3, 3));
    EXPECT_EQ(picture.Width(), 20);
    EXPECT_EQ(picture.Height(), 12);
    EXPECT_EQ(picture.Graphic()->ToImage(), TestImage());
}

TEST_F(PictureObject, CopiesKeepTheClassAndFormat)
{
    TRasterImage gif(QByteArrayLiteral("gif"));
    LoadFromBytes(gif, GifBytes());
    TPicture picture;
    picture.SetGraphic(&gif);
    const auto* copy = qobject_cast<TRasterImage*>(picture.Graphic());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Format(), QByteArray("gif"));

    TJPEGImage jpeg;
    jpeg.SetImage(TestImage());
    picture.SetGraphic(&jpeg);
    const auto* jpegCopy = qobject_cast<TJPEGImage*>(picture.Graphic());
    ASSERT_NE(jpegCopy, nullptr);
    EXPECT_EQ(jpegCopy->Data(), jpeg.Data());

    TBitmap bitmap;
    bitmap.SetImage(TestImage());
    picture.SetGraphic(&bitmap);
    ASSERT_EQ(picture.Graphic()->ClassName(), QStringLiteral("TBitmap"));
    EXPECT_EQ(picture.Graphic()->ToImage(), TestImage());
}

TEST_F(PictureObject, RegisteredClassIsCopiedThroughItsFactory)
{
    TTestGraphic graphic;
    graphic.Value = 7;
    TPicture picture;
    EXPECT_THROW(picture.SetGraphic(&graphic), EInvalidGraphic);
    EXPECT_EQ(picture.Graphic(), nullptr);

    RegisterFileFormat(QStringLiteral("tst"), QStringLiteral("Test pictures"),
                       [] { return std::make_unique<TTestGraphic>(); });
    picture.SetGraphic(&graphic);
    const auto* copy = qobject_cast<TTestGraphic*>(picture.Graphic());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Value, 7);
}

TEST_F(PictureObject, AssignCopiesPicturesAndGraphicsAndEmptyClears)
{
    TPicture source;
    TRasterImage png;
    png.SetImage(TestImage());
    source.SetGraphic(&png);

    TPicture target;
    target.Assign(&source);
    ASSERT_NE(target.Graphic(), nullptr);
    EXPECT_NE(target.Graphic(), source.Graphic());
    EXPECT_EQ(target.Graphic()->ToImage(), TestImage());

    TPicture empty;
    target.Assign(&empty);
    EXPECT_EQ(target.Graphic(), nullptr);
    EXPECT_EQ(target.Width(), 0);

    target.Assign(&png);
    EXPECT_EQ(target.Width(), 20);
    target.Assign(nullptr);
    EXPECT_EQ(target.Graphic(), nullptr);
}

TEST_F(PictureObject, PictureAssignsIntoAGraphic)
{
    TPicture picture;
    TRasterImage png;
    png.SetImage(TestImage());
    picture.SetGraphic(&png);
    TBitmap bitmap;
    bitmap.Assign(&picture);
    EXPECT_EQ(bitmap.ToImage(), TestImage());
}

TEST_F(PictureObject, AssigningAnUnrelatedObjectRaises)
{
    TPicture picture;
    TPen pen;
    EXPECT_THROW(picture.Assign(&pen), EConvertError);
}

TEST_F(PictureObject, BitmapConvertsOtherGraphics)
{
    TRasterImage png;
    png.SetImage(TestImage());
    png.SetTransparent(true);
    TPicture picture;
    picture.SetGraphic(&png);
    int changes = 0;
    picture.OnChange = [&](TPicture*) { ++changes; };

    TBitmap& bitmap = picture.Bitmap();
    EXPECT_EQ(picture.Graphic(), &bitmap);
    EXPECT_EQ(bitmap.ToImage(), TestImage());
    EXPECT_TRUE(bitmap.Transparent());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(&picture.Bitmap(), &bitmap);  // already a bitmap: kept
    EXPECT_EQ(changes, 1);
}

TEST_F(PictureObject, BitmapOfAnEmptyPictureIsAnEmptyBitmap)
{
    TPicture picture;
    TBitmap& bitmap = picture.Bitmap();
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(picture.Graphic(), &bitmap);
    EXPECT_EQ(picture.Width(), 0);
}

TEST_F(PictureObject, ChangesToTheBitmapAreReported)
{
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TPicture*) { ++changes; };
    picture.Bitmap().SetImage(TestImage());
    EXPECT_EQ(changes, 2);  // the new bitmap, then its pixels
    EXPECT_EQ(picture.Width(), 20);
}

// --- The stored "Data" block ------------------------------------------------------------

using PictureData = PictureTest;

QByteArray DataOf(const TPicture& picture)
{
    return Written([&](QIODevice& stream) { picture.WriteData(stream); });
}

void ReadDataInto(TPicture& picture, const QByteArray& data)
{
    ReadFrom(data, [&](QIODevice& stream) { picture.ReadData(stream); });
}

// Whether the picture's "Data" definition says it is written.
bool DataIsStored(TPicture& picture)
{
    TPropertyDefinitions definitions;
    picture.DefineProperties(definitions);
    const TPropertyDefinitions::TDefinition* data = definitions.Find(QStringLiteral("Data"));
    return data && data->Binary && data->HasData;
}

std::unique_ptr<TPicture> PictureOf(std::unique_ptr<TGraphic> graphic)
{
    auto picture = std::make_unique<TPicture>();
    picture->SetGraphic(graphic.get());
    return picture;
}

TEST_F(PictureData, EveryStandardClassReadsBackPixelForPixel)
{
    struct TCase {
        const char* Extension;
        QByteArray Bytes;
        const char* StoredClass;
    };
    TMetafile metafile;
    {
        TMetafileCanvas canvas(metafile);
        canvas.Brush().SetColor(0x0000FF);
        canvas.FillRect(TRect{0, 0, 30, 20});
    }
    const TCase cases[] = {
        {"bmp", BmpBytes(TestImage(13, 7)), "TBitmap"},
        {"png", PngBytes(TestImage(13, 7)), "TRasterImage"},
        {"gif", GifBytes(), "TRasterImage"},  // kept as PNG: GIF cannot be written
        {"jpg", JpegBytes(TestImage(13, 7)), "TJPEGImage"},
        {"emf", SaveToBytes(metafile), "TMetafile"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Extension);
        std::unique_ptr<TGraphic> graphic = GraphicClassForExtension(QString::fromLatin1(c.Extension))();
        LoadFromBytes(*graphic, c.Bytes);
        const std::unique_ptr<TPicture> written = PictureOf(std::move(graphic));
        ASSERT_TRUE(DataIsStored(*written));
        const QByteArray data = DataOf(*written);
        const QByteArray name(c.StoredClass);
        EXPECT_EQ(data.left(1 + name.size()), char(name.size()) + name);

        TPicture read;
        ReadDataInto(read, data);
        ASSERT_TRUE(read.Graphic());
        EXPECT_EQ(read.Graphic()->ClassName(), QString::fromLatin1(c.StoredClass));
        EXPECT_EQ(read.Graphic()->ToImage(), written->Graphic()->ToImage());
        EXPECT_EQ(DataOf(read), data);  // a second save changes nothing
    }
}

TEST_F(PictureData, JpegKeepsItsCompressedBytes)
{
    TJPEGImage jpeg;
    LoadFromBytes(jpeg, JpegBytes(TestImage()));
    TPicture read;
    ReadDataInto(read, DataOf(*PictureOf(CloneGraphic(jpeg))));
    EXPECT_EQ(static_cast<TJPEGImage*>(read.Graphic())->Data(), jpeg.Data());
}

TEST_F(PictureData, ClassesOfRegisteredFormatsAreStoredByName)
{
    RegisterFileFormat(QStringLiteral("tst"), QStringLiteral("Test pictures"),
                       [] { return std::make_unique<TTestGraphic>(); });
    TTestGraphic graphic;
    graphic.Value = 5;
    TPicture read;
    ReadDataInto(read, DataOf(*PictureOf(CloneGraphic(graphic))));
    ASSERT_TRUE(qobject_cast<TTestGraphic*>(read.Graphic()));
    EXPECT_EQ(static_cast<TTestGraphic*>(read.Graphic())->Value, 5);
}

TEST_F(PictureData, EmptyPicturesAreNotStored)
{
    TPicture none;
    EXPECT_FALSE(DataIsStored(none));
    TPicture emptyBitmap;
    emptyBitmap.Bitmap();
    EXPECT_FALSE(DataIsStored(emptyBitmap));
}

TEST_F(PictureData, DamagedBlocksRaiseAndLeaveThePictureAsItWas)
{
    TRasterImage png;
    png.SetImage(TestImage(9, 5));
    const QByteArray good = DataOf(*PictureOf(CloneGraphic(png)));
    QByteArray badSignature = good;
    badSignature[1 + 12] = 'X';  // the first byte of the PNG signature
    QByteArray unknownClass = good;
    unknownClass[1] = 'X';
    const std::pair<QByteArray, std::string> cases[] = {
        {QByteArray(), "The stored picture has no class name"},
        {QByteArray(1, '\0'), "The stored picture has no class name"},
        {good.left(5), "The stored picture is cut short in its class name"},
        {unknownClass, "Unknown picture class XRasterImage in the stored picture"},
        {badSignature, ""},
        {good.left(1 + 12), ""},  // the class name and no picture
    };
    for (const auto& [data, message] : cases) {
        SCOPED_TRACE(data.size());
        const std::unique_ptr<TPicture> picture = PictureOf(CloneGraphic(png));
        TGraphic* before = picture->Graphic();
        std::string got = "(no error)";
        try {
            ReadDataInto(*picture, data);
        } catch (const EInvalidGraphic& e) {
            got = e.Message();
        }
        if (message.empty())
            EXPECT_NE(got, "(no error)");
        else
            EXPECT_EQ(got, message);
        EXPECT_EQ(picture->Graphic(), before);
        EXPECT_EQ(picture->Graphic()->ToImage(), TestImage(9, 5));
    }
    // Every cut of the block is refused.
    for (qsizetype size = 0; size < good.size(); ++size) {
        TPicture picture;
        EXPECT_THROW(ReadDataInto(picture, good.left(size)), EInvalidGraphic) << size;
        EXPECT_FALSE(picture.Graphic());
    }
}

} // namespace
} // namespace lp

#include "Picture_test.moc"
