#include "platform/graphics/Jpeg.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>
#include <QtCore/QTemporaryDir>
#include <QtGui/QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lp {
namespace {

// A 64 x 48 picture with smooth gradients and sharp-edged shapes of pure
// colours, the two things a JPEG coder treats differently.
QImage TestImage(int width = 64, int height = 48)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 255 / (width - 1), y * 255 / (height - 1), 128));
    QPainter painter(&image);
    painter.fillRect(QRect(8, 8, 16, 12), Qt::red);
    painter.fillRect(QRect(4, 32, 24, 8), Qt::white);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::blue);
    painter.drawEllipse(QRect(36, 20, 20, 20));
    painter.end();
    return image;
}

QByteArray SaveToBytes(const TGraphic& graphic)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    graphic.SaveToStream(buffer);
    return data;
}

void LoadFromBytes(TGraphic& graphic, QByteArray data)
{
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    graphic.LoadFromStream(buffer);
}

QByteArray Encode(const QImage& image, int quality = 90, bool gray = false, bool progressive = false)
{
    TJPEGImage jpeg;
    jpeg.SetCompressionQuality(quality);
    jpeg.SetGrayscale(gray);
    jpeg.SetProgressiveEncoding(progressive);
    jpeg.SetImage(image);
    return jpeg.Data();
}

struct TDifference {
    double Mean = 0;
    int Max = 0;
};

// Per-channel difference of two images of the same size.
TDifference Compare(const QImage& a, const QImage& b)
{
    TDifference result;
    long long sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) {
                sum += std::abs(d);
                result.Max = std::max(result.Max, std::abs(d));
            }
        }
    }
    result.Mean = double(sum) / (3.0 * a.width() * a.height());
    return result;
}

// Grey by the luminance weights JPEG files use (0.299, 0.587, 0.114).
QImage GrayOf(const QImage& image)
{
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x) {
            const QRgb p = result.pixel(x, y);
            const int g = (19595 * qRed(p) + 38470 * qGreen(p) + 7471 * qBlue(p) + 32768) >> 16;
            result.setPixel(x, y, qRgb(g, g, g));
        }
    return result;
}

// The offset of the first frame header (SOF0 .. SOF2), or -1.
qsizetype FrameHeader(const QByteArray& data)
{
    for (qsizetype i = 2; i + 10 < data.size(); ++i)
        if (uchar(data[i]) == 0xFF && uchar(data[i + 1]) >= 0xC0 && uchar(data[i + 1]) <= 0xC2)
            return i;
    return -1;
}

int ComponentCount(const QByteArray& data)
{
    const qsizetype sof = FrameHeader(data);
    return sof < 0 ? -1 : uchar(data[sof + 9]);
}

void SetFrameSize(QByteArray& data, int width, int height)
{
    const qsizetype sof = FrameHeader(data);
    ASSERT_GE(sof, 0);
    data[sof + 5] = char(height >> 8);
    data[sof + 6] = char(height & 0xFF);
    data[sof + 7] = char(width >> 8);
    data[sof + 8] = char(width & 0xFF);
}

// A comment segment inserted after the start marker: bytes a coder would not
// produce again, so only a verbatim copy keeps them.
QByteArray WithComment(const QByteArray& jpeg, const QByteArray& comment)
{
    QByteArray segment("\xFF\xFE", 2);
    const int length = int(comment.size()) + 2;
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append(comment);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

// A 16 x 16 four-channel file with an APP14 colour-transform marker (inks
// stored inverted): cyan, magenta, yellow and black quadrants.
const unsigned char kCmykJpeg[] = {
    0xFF, 0xD8, 0xFF, 0xEE, 0x00, 0x0E, 0x41, 0x64, 0x6F, 0x62, 0x65, 0x00, 0x64, 0x00, 0x00, 0x00,
    0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xFF, 0xC0, 0x00, 0x14, 0x08, 0x00, 0x10, 0x00, 0x10,
    0x04, 0x43, 0x11, 0x00, 0x4D, 0x11, 0x00, 0x59, 0x11, 0x00, 0x4B, 0x11, 0x00, 0xFF, 0xC4, 0x00,
    0x16, 0x00, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x0B, 0x00, 0x0A, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA, 0x00, 0x0E, 0x04,
    0x43, 0x00, 0x4D, 0x00, 0x59, 0x00, 0x4B, 0x00, 0x00, 0x3F, 0x00, 0x3F, 0xF6, 0xFE, 0x1B, 0xF8,
    0x6F, 0xE0, 0xFF, 0x00, 0x00, 0x07, 0x49, 0x1F, 0xE0, 0x00, 0xE9, 0x23, 0xFC, 0x00, 0x1D, 0xFF,
    0xD9,
};

// Expects source to raise EInvalidGraphic whose message starts with
// "JPEG error: " and contains part (when given); the image must keep the
// bytes and size it had.
void ExpectRejected(TJPEGImage& jpeg, const QByteArray& source, const std::string& part = {})
{
    const QByteArray before = jpeg.Data();
    const int width = jpeg.Width();
    const int height = jpeg.Height();
    try {
        LoadFromBytes(jpeg, source);
        ADD_FAILURE() << "no error for " << source.size() << " bytes";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message().rfind("JPEG error: ", 0), 0u) << e.Message();
        if (!part.empty()) {
            EXPECT_NE(e.Message().find(part), std::string::npos) << e.Message();
        }
    }
    EXPECT_EQ(jpeg.Data(), before);
    EXPECT_EQ(jpeg.Width(), width);
    EXPECT_EQ(jpeg.Height(), height);
}

// --- Round trips ------------------------------------------------------------------------

TEST(JpegRoundTrip, EncodedImageDecodesToTheSameSizeAndNearlyTheSameColours)
{
    const QImage original = TestImage();
    TJPEGImage written;
    written.SetImage(original);
    const QByteArray file = SaveToBytes(written);

    TJPEGImage read;
    LoadFromBytes(read, file);
    ASSERT_EQ(read.Width(), 64);
    ASSERT_EQ(read.Height(), 48);
    const QImage decoded = read.ToImage();
    EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
    const TDifference difference = Compare(original, decoded);
    EXPECT_LT(difference.Mean, 3.0);
    EXPECT_LT(difference.Max, 40);
}

TEST(JpegRoundTrip, ProgressiveFileDecodesToTheSamePixelsAsABaselineOne)
{
    const QByteArray baseline = Encode(TestImage(), 90, false, false);
    const QByteArray progressive = Encode(TestImage(), 90, false, true);
    ASSERT_GE(FrameHeader(progressive), 0);
    EXPECT_EQ(uchar(progressive[FrameHeader(progressive) + 1]), 0xC2);
    EXPECT_EQ(uchar(baseline[FrameHeader(baseline) + 1]), 0xC0);

    TJPEGImage a;
    TJPEGImage b;
    LoadFromBytes(a, baseline);
    LoadFromBytes(b, progressive);
    const TDifference difference = Compare(a.ToImage(), b.ToImage());
    EXPECT_LE(difference.Max, 2);
}

TEST(JpegRoundTrip, GrayscaleImageIsStoredAsOneChannelAndReadAsGrey)
{
    const QByteArray file = Encode(TestImage(), 90, true);
    EXPECT_EQ(ComponentCount(file), 1);
    EXPECT_EQ(ComponentCount(Encode(TestImage(), 90, false)), 3);

    TJPEGImage read;
    EXPECT_FALSE(read.Grayscale());
    LoadFromBytes(read, file);
    EXPECT_TRUE(read.Grayscale());
    const QImage decoded = read.ToImage();
    for (int y = 0; y < decoded.height(); ++y)
        for (int x = 0; x < decoded.width(); ++x) {
            const QRgb p = decoded.pixel(x, y);
            ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << x << "," << y;
        }
    const TDifference difference = Compare(GrayOf(TestImage()), decoded);
    EXPECT_LT(difference.Mean, 3.0);
    EXPECT_LT(difference.Max, 40);
}

TEST(JpegRoundTrip, GrayscaleSettingDecodesAColourFileAsGrey)
{
    TJPEGImage jpeg;
    jpeg.SetGrayscale(true);
    LoadFromBytes(jpeg, Encode(TestImage()));
    const QImage decoded = jpeg.ToImage();
    const QRgb red = decoded.pixel(15, 13);
    EXPECT_EQ(qRed(red), qGreen(red));
    EXPECT_EQ(qGreen(red), qBlue(red));
    EXPECT_LT(Compare(GrayOf(TestImage()), decoded).Mean, 3.0);
}

TEST(JpegRoundTrip, LowerQualityGivesSmallerFiles)
{
    const qsizetype low = Encode(TestImage(), 10).size();
    const qsizetype middle = Encode(TestImage(), 50).size();
    const qsizetype high = Encode(TestImage(), 100).size();
    EXPECT_LT(low, middle);
    EXPECT_LT(middle, high);
}

TEST(JpegRoundTrip, ChangingTheQualityCompressesTheOriginalPixelsAgain)
{
    TJPEGImage jpeg;
    jpeg.SetImage(TestImage());
    const QByteArray atNinety = jpeg.Data();
    jpeg.SetCompressionQuality(10);
    EXPECT_LT(jpeg.Data().size(), atNinety.size());
    jpeg.SetCompressionQuality(90);
    // Compressed from the kept pixels, not from the quality-10 artefacts.
    EXPECT_EQ(jpeg.Data(), atNinety);
}

TEST(JpegRoundTrip, UnmodifiedLoadedImageSavesTheOriginalBytes)
{
    const QByteArray original = WithComment(Encode(TestImage(), 75, false, true), "cross-section 7");
    TJPEGImage jpeg;
    LoadFromBytes(jpeg, original);
    EXPECT_EQ(SaveToBytes(jpeg), original);
    // Decoding settings change the pixels, not the file.
    jpeg.SetScale(TJPEGImage::jsQuarter);
    jpeg.SetPerformance(TJPEGImage::jpBestSpeed);
    EXPECT_EQ(SaveToBytes(jpeg), original);
}

TEST(JpegRoundTrip, UnmodifiedFileIsWrittenBackByteForByte)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray original = WithComment(Encode(TestImage()), "profile A-A'");
    const QString source = folder.filePath(QStringLiteral("in.jpg"));
    const QString target = folder.filePath(QStringLiteral("out.jpg"));
    {
        QFile file(source);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(original);
    }
    TJPEGImage jpeg;
    jpeg.LoadFromFile(source);
    jpeg.SaveToFile(target);
    QFile written(target);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), original);
}

TEST(JpegRoundTrip, RecompressingALoadedFileKeepsItsPixels)
{
    TJPEGImage jpeg;
    LoadFromBytes(jpeg, Encode(TestImage(), 95));
    jpeg.SetCompressionQuality(90);
    TJPEGImage read;
    LoadFromBytes(read, SaveToBytes(jpeg));
    EXPECT_LT(Compare(TestImage(), read.ToImage()).Mean, 3.0);
}

// --- Decoding ---------------------------------------------------------------------------

TEST(JpegDecoding, ScaleDividesTheDecodedSize)
{
    TJPEGImage jpeg;
    jpeg.SetScale(TJPEGImage::jsHalf);
    LoadFromBytes(jpeg, Encode(TestImage()));
    EXPECT_EQ(jpeg.Width(), 32);
    EXPECT_EQ(jpeg.Height(), 24);
    EXPECT_EQ(jpeg.ToImage().size(), QSize(32, 24));
    jpeg.SetScale(TJPEGImage::jsQuarter);
    EXPECT_EQ(QSize(jpeg.Width(), jpeg.Height()), QSize(16, 12));
    jpeg.SetScale(TJPEGImage::jsEighth);
    EXPECT_EQ(QSize(jpeg.Width(), jpeg.Height()), QSize(8, 6));
    jpeg.SetScale(TJPEGImage::jsFullSize);
    EXPECT_EQ(QSize(jpeg.Width(), jpeg.Height()), QSize(64, 48));
}

TEST(JpegDecoding, ScaleRoundsOddSizesUp)
{
    TJPEGImage jpeg;
    jpeg.SetScale(TJPEGImage::jsHalf);
    LoadFromBytes(jpeg, Encode(TestImage(65, 49)));
    EXPECT_EQ(QSize(jpeg.Width(), jpeg.Height()), QSize(33, 25));
}

TEST(JpegDecoding, HalfScaleAveragesThePixels)
{
    TJPEGImage jpeg;
    jpeg.SetScale(TJPEGImage::jsHalf);
    LoadFromBytes(jpeg, Encode(TestImage()));
    const QImage expected = TestImage().scaled(32, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(Compare(expected, jpeg.ToImage()).Mean, 6.0);
}

TEST(JpegDecoding, BestSpeedStaysCloseToBestQuality)
{
    const QByteArray file = Encode(TestImage());
    TJPEGImage accurate;
    TJPEGImage fast;
    fast.SetPerformance(TJPEGImage::jpBestSpeed);
    LoadFromBytes(accurate, file);
    LoadFromBytes(fast, file);
    EXPECT_LT(Compare(accurate.ToImage(), fast.ToImage()).Mean, 3.0);
    EXPECT_LT(Compare(TestImage(), fast.ToImage()).Mean, 4.0);
}

TEST(JpegDecoding, FourChannelInkFileBecomesRgb)
{
    TJPEGImage jpeg;
    LoadFromBytes(jpeg, QByteArray(reinterpret_cast<const char*>(kCmykJpeg), sizeof kCmykJpeg));
    ASSERT_EQ(QSize(jpeg.Width(), jpeg.Height()), QSize(16, 16));
    const QImage image = jpeg.ToImage();
    const auto near = [](QRgb actual, QRgb expected) {
        return std::abs(qRed(actual) - qRed(expected)) <= 4 && std::abs(qGreen(actual) - qGreen(expected)) <= 4 &&
               std::abs(qBlue(actual) - qBlue(expected)) <= 4;
    };
    EXPECT_TRUE(near(image.pixel(3, 3), qRgb(0, 255, 255)));     // cyan ink
    EXPECT_TRUE(near(image.pixel(12, 3), qRgb(255, 0, 255)));    // magenta ink
    EXPECT_TRUE(near(image.pixel(3, 12), qRgb(255, 255, 0)));    // yellow ink
    EXPECT_TRUE(near(image.pixel(12, 12), qRgb(0, 0, 0)));       // black ink
}

// --- Corrupt input ----------------------------------------------------------------------

TEST(JpegCorruptInput, RandomBytesRaiseAndLeaveTheImageUnchanged)
{
    TJPEGImage jpeg;
    LoadFromBytes(jpeg, Encode(TestImage()));
    QRandomGenerator random(20240611);
    for (int round = 0; round < 20; ++round) {
        QByteArray noise(64 + round * 97, '\0');
        for (char& c : noise)
            c = char(random.bounded(256));
        ExpectRejected(jpeg, noise);
    }
}

TEST(JpegCorruptInput, RandomBytesAfterAValidHeaderRaise)
{
    const QByteArray good = Encode(TestImage());
    QRandomGenerator random(77);
    TJPEGImage jpeg;
    for (int round = 0; round < 20; ++round) {
        QByteArray damaged = good.left(good.size() / 3);
        for (int i = 0; i < 200; ++i)
            damaged.append(char(random.bounded(256)));
        // Whatever libjpeg makes of the noise, the data ends early.
        ExpectRejected(jpeg, damaged);
    }
}

TEST(JpegCorruptInput, TruncatedFileRaisesPrematureEnd)
{
    const QByteArray good = Encode(TestImage());
    TJPEGImage jpeg;
    ExpectRejected(jpeg, good.left(good.size() / 2), "Premature end of JPEG file");
    ExpectRejected(jpeg, good.left(good.size() - 2), "Premature end of JPEG file");
}

TEST(JpegCorruptInput, EveryTruncationRaises)
{
    for (const bool progressive : {false, true}) {
        const QByteArray good = Encode(TestImage(), 90, false, progressive);
        TJPEGImage jpeg;
        LoadFromBytes(jpeg, Encode(TestImage(16, 16)));
        for (qsizetype length = 0; length < good.size(); length += (length < 700 ? 1 : 23))
            ExpectRejected(jpeg, good.left(length));
    }
}

TEST(JpegCorruptInput, DamagedStartMarkerRaises)
{
    QByteArray damaged = Encode(TestImage());
    damaged[1] = char(0x00);
    TJPEGImage jpeg;
    ExpectRejected(jpeg, damaged, "Not a JPEG file");
}

TEST(JpegCorruptInput, DamagedFrameHeaderRaises)
{
    QByteArray damaged = Encode(TestImage());
    damaged[FrameHeader(damaged) + 4] = char(7);  // sample precision
    TJPEGImage jpeg;
    ExpectRejected(jpeg, damaged, "precision");

    damaged = Encode(TestImage());
    damaged[FrameHeader(damaged) + 9] = char(0);  // no components
    ExpectRejected(jpeg, damaged);
}

TEST(JpegCorruptInput, ZeroLengthFileRaises)
{
    TJPEGImage jpeg;
    ExpectRejected(jpeg, QByteArray());
    EXPECT_TRUE(jpeg.Empty());
}

TEST(JpegCorruptInput, HeaderClaimingHugeDimensionsRaisesWithoutAllocating)
{
    TJPEGImage jpeg;
    QByteArray huge = Encode(TestImage());
    SetFrameSize(huge, 60000, 60000);  // 3.6 billion pixels
    ExpectRejected(jpeg, huge, "too large");
    SetFrameSize(huge, 65535, 16);
    ExpectRejected(jpeg, huge);
    SetFrameSize(huge, 0, 16);
    ExpectRejected(jpeg, huge);
}

// Runs Work in a child process whose address space may grow by no more
// than 512 MiB beyond what it has (the sanitizers' reserved shadow memory
// included), and returns the child's exit status (a sanitizer's
// out-of-memory report exits with 1; a child killed by a signal gives 100 +
// the signal). The child first proves that the limit is
// in force: it cannot map 1 GiB.
int RunUnderMemoryLimit(const std::function<int()>& Work)
{
    const pid_t child = fork();
    if (child == 0) {
        long pages = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%ld", &pages) != 1)
            _exit(90);
        std::fclose(statm);
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(512) << 20);
        const rlimit bound{limit, limit};
        if (setrlimit(RLIMIT_AS, &bound) != 0)
            _exit(91);
        void* probe = mmap(nullptr, size_t(1) << 30, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (probe != MAP_FAILED)
            _exit(92);
        _exit(Work());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

TEST(JpegCorruptInput, LargeImageDeclaredByFewBytesIsRefusedBeforeAllocating)
{
    // An 8 x 8 file declaring 20000 x 20000 pixels (400 million, within the
    // side and area limits) used to allocate 1.6 GB for the pixels, and a
    // progressive one 2.4 GB more for its coefficients, before finding the
    // data truncated. Its few hundred bytes cannot hold so many pixels.
    for (const bool progressive : {false, true}) {
        QByteArray huge = Encode(TestImage(8, 8), 90, false, progressive);
        SetFrameSize(huge, 20000, 20000);
        ASSERT_LT(huge.size(), 1000);
        const int status = RunUnderMemoryLimit([&] {
            TJPEGImage jpeg;
            try {
                LoadFromBytes(jpeg, huge);
            } catch (const EInvalidGraphic& e) {
                return e.Message().find("too short") != std::string::npos ? 0 : 3;
            }
            return 4;
        });
        EXPECT_EQ(status, 0) << (progressive ? "progressive" : "baseline")
                             << ": 3 refused for another reason, 4 accepted, 9x the limit not in force, "
                                "1 out of memory (sanitizer), 100 + n killed by signal n";
        TJPEGImage jpeg;
        ExpectRejected(jpeg, huge, "too short");
    }
}

TEST(JpegCorruptInput, EndlessProgressiveScansRaise)
{
    // A small file repeating one scan thousands of times would keep the
    // decoder busy for a long time on a large image.
    const QByteArray good = Encode(TestImage(), 90, false, true);
    const qsizetype scan = good.indexOf(QByteArray("\xFF\xDA", 2));
    ASSERT_GT(scan, 0);
    qsizetype next = scan + 2;
    while (next + 1 < good.size() &&
           !(uchar(good[next]) == 0xFF && uchar(good[next + 1]) != 0x00 && (uchar(good[next + 1]) & 0xF8) != 0xD0))
        ++next;
    const QByteArray firstScan = good.mid(scan, next - scan);
    QByteArray repeated = good.left(scan);
    for (int i = 0; i < 1200; ++i)
        repeated += firstScan;
    repeated += good.mid(next);
    TJPEGImage jpeg;
    ExpectRejected(jpeg, repeated, "Too many scans");
}

TEST(JpegCorruptInput, FailedLoadOfAMissingFileNamesTheFile)
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("no-such-section.jpg"));
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromFile(missing);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_NE(e.Message().find("no-such-section.jpg"), std::string::npos) << e.Message();
    }
    EXPECT_TRUE(jpeg.Empty());
}

// --- Writing ----------------------------------------------------------------------------

TEST(JpegWriting, SavingAnEmptyImageRaises)
{
    TJPEGImage jpeg;
    EXPECT_THROW(SaveToBytes(jpeg), EInvalidGraphic);
}

TEST(JpegWriting, StreamThatRefusesToWriteRaises)
{
    TJPEGImage jpeg;
    jpeg.SetImage(TestImage());
    QByteArray data;
    QBuffer readOnly(&data);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_THROW(jpeg.SaveToStream(readOnly), EInvalidGraphic);
}

TEST(JpegWriting, QualityOutsideOneToHundredRaises)
{
    TJPEGImage jpeg;
    EXPECT_THROW(jpeg.SetCompressionQuality(0), ERangeError);
    EXPECT_THROW(jpeg.SetCompressionQuality(101), ERangeError);
    EXPECT_EQ(jpeg.CompressionQuality(), 90);
    jpeg.SetCompressionQuality(1);
    EXPECT_EQ(jpeg.CompressionQuality(), 1);
}

TEST(JpegWriting, NewImageHasTheDocumentedDefaults)
{
    TJPEGImage jpeg;
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 0);
    EXPECT_EQ(jpeg.CompressionQuality(), 90);
    EXPECT_FALSE(jpeg.Grayscale());
    EXPECT_FALSE(jpeg.ProgressiveEncoding());
    EXPECT_EQ(jpeg.Performance(), TJPEGImage::jpBestQuality);
    EXPECT_EQ(jpeg.Scale(), TJPEGImage::jsFullSize);
}

TEST(JpegWriting, ImageTooLargeToCompressRaises)
{
    TJPEGImage jpeg;
    EXPECT_THROW(jpeg.SetImage(QImage(70000, 1, QImage::Format_RGB32)), EInvalidGraphic);
    EXPECT_TRUE(jpeg.Empty());
}

// --- Copies and notifications -----------------------------------------------------------

TEST(JpegAssign, CopyOfAJpegKeepsBytesPixelsAndSettings)
{
    TJPEGImage source;
    source.SetScale(TJPEGImage::jsHalf);
    source.SetProgressiveEncoding(true);
    LoadFromBytes(source, Encode(TestImage()));
    TJPEGImage copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.Data(), source.Data());
    EXPECT_EQ(copy.ToImage(), source.ToImage());
    EXPECT_EQ(copy.Scale(), TJPEGImage::jsHalf);
    EXPECT_TRUE(copy.ProgressiveEncoding());
}

TEST(JpegAssign, FromABitmapCompressesItsPixels)
{
    TBitmap bitmap;
    bitmap.SetImage(TestImage());
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    ASSERT_FALSE(jpeg.Empty());
    EXPECT_EQ(uchar(jpeg.Data()[0]), 0xFF);
    EXPECT_EQ(uchar(jpeg.Data()[1]), 0xD8);
    EXPECT_LT(Compare(TestImage(), jpeg.ToImage()).Mean, 3.0);
}

TEST(JpegAssign, IntoABitmapGivesTheDecodedPixels)
{
    TJPEGImage jpeg;
    jpeg.SetImage(TestImage());
    TBitmap bitmap;
    bitmap.Assign(&jpeg);
    ASSERT_EQ(QSize(bitmap.Width(), bitmap.Height()), QSize(64, 48));
    EXPECT_LE(Compare(jpeg.ToImage(), bitmap.ToImage()).Max, 0);
}

TEST(JpegAssign, NullSourceEmptiesTheImage)
{
    TJPEGImage jpeg;
    jpeg.SetImage(TestImage());
    jpeg.Assign(nullptr);
    EXPECT_TRUE(jpeg.Empty());
    EXPECT_EQ(jpeg.Width(), 0);
}

TEST(JpegAssign, ChangesAreReported)
{
    TJPEGImage jpeg;
    int changes = 0;
    jpeg.OnChange = [&](TGraphic* sender) {
        EXPECT_EQ(sender, &jpeg);
        ++changes;
    };
    LoadFromBytes(jpeg, Encode(TestImage()));
    EXPECT_EQ(changes, 1);
    jpeg.SetScale(TJPEGImage::jsHalf);
    EXPECT_EQ(changes, 2);
    jpeg.SetScale(TJPEGImage::jsHalf);  // unchanged: no report
    EXPECT_EQ(changes, 2);
    jpeg.SetCompressionQuality(50);
    EXPECT_EQ(changes, 3);
    try {
        LoadFromBytes(jpeg, QByteArray("not a picture"));
    } catch (const EInvalidGraphic&) {
    }
    EXPECT_EQ(changes, 3);
}

TEST(JpegDrawing, DrawStretchesTheDecodedPixels)
{
    TJPEGImage jpeg;
    jpeg.SetImage(TestImage());
    TBitmap target(128, 96);
    jpeg.Draw(target.Canvas(), Rect(0, 0, 128, 96));
    const QImage drawn = target.ToImage();
    const QImage expected = jpeg.ToImage().scaled(128, 96);
    EXPECT_LT(Compare(expected, drawn).Mean, 3.0);
    const QRgb red = drawn.pixel(32, 28);  // inside the red rectangle
    EXPECT_GT(qRed(red), 200);
    EXPECT_LT(qGreen(red), 60);
}

} // namespace
} // namespace lp
