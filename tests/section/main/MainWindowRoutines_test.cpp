// The main window's decisions without a window.

#include "section/main/MainWindowRoutines.h"

#include "platform/base/Exception.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lp {
namespace {

TEST(CommandLine, JoinsArgumentsAndOpensOnlySectionFiles)
{
    EXPECT_EQ(SectionFileFromArguments({QStringLiteral("/tmp/my"), QStringLiteral("section.sec")}),
              QStringLiteral("/tmp/my section.sec"));
    EXPECT_EQ(SectionFileFromArguments({QStringLiteral("A.SEC")}), QStringLiteral("A.SEC"));
    EXPECT_EQ(SectionFileFromArguments({QStringLiteral("a.Sec")}), QStringLiteral("a.Sec"));
    EXPECT_TRUE(SectionFileFromArguments({QStringLiteral("a.txt")}).isEmpty());
    EXPECT_EQ(SectionFileFromArguments({QStringLiteral("-ns"), QStringLiteral("a b.sec")}), QStringLiteral("a b.sec"));
    EXPECT_EQ(SectionFileFromArguments({QStringLiteral("a.sec"), QStringLiteral("/NS")}), QStringLiteral("a.sec"));
    EXPECT_TRUE(SectionFileFromArguments({}).isEmpty());
}

// The names the save dialog asks about before replacing a file.
TEST(SavedFiles, ASectionIsWrittenAsSecAndAPictureAsEmfOrTheBitmap)
{
    EXPECT_EQ(SectionFileName(QStringLiteral("/d/other")), QStringLiteral("/d/other.sec"));
    EXPECT_EQ(SectionFileName(QStringLiteral("/d/other.txt")), QStringLiteral("/d/other.sec"));
    EXPECT_EQ(SectionFileName(QStringLiteral("/d/other.sec")), QStringLiteral("/d/other.sec"));
    EXPECT_EQ(SectionFileName(QStringLiteral("/d/a.b.txt")), QStringLiteral("/d/a.b.sec"));
    for (const bool automatic : {true, false}) {
        EXPECT_EQ(PictureFileName(QStringLiteral("/d/pic.emf"), automatic), QStringLiteral("/d/pic.emf"));
        EXPECT_EQ(PictureFileName(QStringLiteral("/d/pic.EMF"), automatic), QStringLiteral("/d/pic.emf"));
    }
    EXPECT_EQ(PictureFileName(QStringLiteral("/d/pic"), true), QStringLiteral("/d/pic.emf"));
    EXPECT_EQ(PictureFileName(QStringLiteral("/d/pic.bmp"), true), QStringLiteral("/d/pic.emf"));
    EXPECT_EQ(PictureFileName(QStringLiteral("/d/pic"), false), QStringLiteral("/d/pic.bmp"));
    EXPECT_EQ(PictureFileName(QStringLiteral("/d/pic.png"), false), QStringLiteral("/d/pic.bmp"));
}

TEST(PicturePath, StoredPathThenBesideTheSectionThenNone)
{
    QTemporaryDir folder;
    const QString section = folder.filePath(QStringLiteral("s.sec"));
    const QString picture = folder.filePath(QStringLiteral("pic.jpg"));
    QFile(picture).open(QIODevice::WriteOnly);
    EXPECT_EQ(ResolvePicturePath(picture, section), picture);
    EXPECT_EQ(ResolvePicturePath(QStringLiteral("/elsewhere/pic.jpg"), section), picture);
    EXPECT_EQ(ResolvePicturePath(QStringLiteral("C:\\scans\\pic.jpg"), section), picture);
    EXPECT_TRUE(ResolvePicturePath(QStringLiteral("/elsewhere/other.jpg"), section).isEmpty());
    EXPECT_TRUE(ResolvePicturePath({}, section).isEmpty());
}

TEST(KeyModes, NearerElementChoosesAndTiesGoToTheLine)
{
    constexpr double far = std::numeric_limits<double>::infinity();
    struct Row {
        TModeKey Key;
        TPolygonEditMode Current;
        double Node, Line;
        std::optional<TPolygonEditMode> Expected;
    };
    const Row rows[] = {
        {TModeKey::Shift, pmAddPolygon, 1, 5, pmMoveNode},
        {TModeKey::Shift, pmAddPolygon, 5, 1, pmMoveLineNode},
        {TModeKey::Shift, pmAddPolygon, 3, 3, pmMoveLineNode},
        {TModeKey::Shift, pmAddPolygon, 3, far, pmMoveNode},
        {TModeKey::Shift, pmMoveNode, 1, 5, std::nullopt},
        {TModeKey::Shift, pmMoveLineNode, 1, 5, std::nullopt},
        {TModeKey::Alt, pmAddPolygon, 1, 5, pmAddNode},
        {TModeKey::Alt, pmAddPolygon, 5, 1, pmAddLineNode},
        {TModeKey::Alt, pmAddLineNode, 5, 1, std::nullopt},
        {TModeKey::Ctrl, pmAddPolygon, 1, 5, pmDeleteNode},
        {TModeKey::Ctrl, pmAddPolygon, 5, 1, pmDeleteLineNode},
        {TModeKey::Ctrl, pmDeleteNode, 5, 1, std::nullopt},
        {TModeKey::Escape, pmMoveLine, 5, 1, pmAddNode},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ModeForKey(row.Key, row.Current, row.Node, row.Line), row.Expected)
            << static_cast<int>(row.Key) << " from " << row.Current;
}

TEST(PaperScale, DefaultsGiveThePlotAreaOfTheScalesPlusMargins)
{
    // 1000 m across at 1:50 and 100 m down at 1:20, 100 dpi.
    TPaperScaleInput input{1000, 100, 50, 20, 100, 900, 500, 800, 400};
    const TPaperScaleSize size = PaperScaleSize(input);
    EXPECT_EQ(size.Width, std::lround(1000.0 / 50 * 100 / 2.54) + 100); // 787 + margins
    EXPECT_EQ(size.Height, std::lround(100.0 / 20 * 100 / 2.54) + 100);  // 197 + margins
}

TEST(PaperScale, UnsoundScalesAndHugePicturesAreRefused)
{
    const TPaperScaleInput good{1000, 100, 50, 20, 100, 900, 500, 800, 400};
    auto with = [&](auto Change) {
        TPaperScaleInput input = good;
        Change(input);
        return input;
    };
    EXPECT_THROW(PaperScaleSize(with([](auto& i) { i.HorizontalScale = 0; })), EConvertError);
    EXPECT_THROW(PaperScaleSize(with([](auto& i) { i.VerticalScale = std::nan(""); })), EConvertError);
    EXPECT_THROW(PaperScaleSize(with([](auto& i) { i.Resolution = -100; })), EConvertError);
    EXPECT_THROW(PaperScaleSize(with([](auto& i) { i.Resolution = 1e9; })), EConvertError);
    EXPECT_THROW(PaperScaleSize(with([](auto& i) { i.HorizontalScale = 1e-9; })), EConvertError);
}

// Letters or an empty field once gave a made-up number and a useless
// picture without a word.
TEST(PaperScale, AFieldIsAPositiveNumberOrRefusedWithItsMessage)
{
    EXPECT_EQ(PaperScaleNumber(QStringLiteral("20"), "The vertical scale"), 20.0);
    EXPECT_EQ(PaperScaleNumber(QStringLiteral("2.5"), "The vertical scale", QLocale::c()), 2.5);
    // Typed as the user writes numbers, as in every editor field.
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(PaperScaleNumber(QStringLiteral("2,5"), "The vertical scale", german), 2.5);
    EXPECT_EQ(PaperScaleNumber(QStringLiteral("1.200"), "The print resolution", german), 1200.0);
    for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("0"), QStringLiteral("-20"),
                                QStringLiteral("inf"), QStringLiteral("nan")}) {
        try {
            PaperScaleNumber(text, "The print resolution");
            ADD_FAILURE() << "\"" << text.toStdString() << "\" taken";
        } catch (const EConvertError& Error) {
            EXPECT_EQ(Error.Message(), "The print resolution must be a positive number") << text.toStdString();
        }
    }
}

// A chart whose margins grow with its size, as the section chart's do: the
// plot starts a tenth of the height down, and the depth labels widen by a
// digit past a size.
TPaperScaleSize GrowingMarginsPlot(TPaperScaleSize Size)
{
    const int labels = Size.Height > 600 ? 40 : 32;
    return {Size.Width - labels - 40, static_cast<int>(std::lround(0.9 * (Size.Height - 50)))};
}

// The plot came out 3 to 5 % off its scale: the first guess takes the
// margins as fixed.
TEST(PaperScale, TheSizeIsCorrectedUntilThePlotMeasuresTheWantedPixels)
{
    for (const TPaperScalePlot want : {TPaperScalePlot{787.4, 393.7}, TPaperScalePlot{393.7, 787.4},
                                       TPaperScalePlot{1968.5, 157.5}, TPaperScalePlot{5905.5, 472.4},
                                       TPaperScalePlot{1181.1, 2362.2}}) {
        int layouts = 0;
        const auto plotAt = [&](TPaperScaleSize Size) {
            ++layouts;
            return GrowingMarginsPlot(Size);
        };
        // The first guess: the margins of an 800 x 500 picture added.
        const TPaperScaleSize first{static_cast<int>(std::lround(want.Width)) + 72,
                                    static_cast<int>(std::lround(want.Height)) + 95};
        const TPaperScaleSize size = FitPaperScaleSize(first, want, plotAt);
        const TPaperScaleSize plot = GrowingMarginsPlot(size);
        EXPECT_NEAR(plot.Width, want.Width, 1.0) << want.Width << " x " << want.Height;
        EXPECT_NEAR(plot.Height, want.Height, 1.0) << want.Width << " x " << want.Height;
        EXPECT_LE(layouts, 7);
    }
    // A plot that grows by two pixels a pixel cannot hit an odd target: the
    // nearest size is kept.
    const auto doubling = [](TPaperScaleSize Size) { return TPaperScaleSize{2 * Size.Width, 2 * Size.Height}; };
    const TPaperScaleSize size = FitPaperScaleSize({100, 100}, {301, 301}, doubling);
    EXPECT_NEAR(2 * size.Width, 301, 1.0);
    EXPECT_NEAR(2 * size.Height, 301, 1.0);
}

TEST(PaperScale, ASizeTooLargeOnTheWayIsRefusedBeforeItIsLaidOut)
{
    // The plot fills only half the picture: the correction would pass the
    // largest side allowed.
    int largest = 0;
    const auto half = [&](TPaperScaleSize Size) {
        largest = std::max({largest, Size.Width, Size.Height});
        return TPaperScaleSize{Size.Width / 2, Size.Height / 2};
    };
    EXPECT_THROW(FitPaperScaleSize({15000, 100}, {15000, 50}, half), EConvertError);
    EXPECT_LE(largest, 20000);
    EXPECT_THROW(FitPaperScaleSize({0, 100}, {10, 10}, half), EConvertError);
}

QByteArray BitmapHeader(quint32 InfoSize)
{
    QByteArray bytes(62, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(InfoSize, bytes.data() + 14);
    return bytes;
}

TEST(BitmapHeader, ResolutionWrittenAsPixelsPerMetreAt38And42)
{
    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("p.bmp"));
    for (quint32 infoSize : {40u, 108u}) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(BitmapHeader(infoSize));
        file.close();
        PatchBitmapResolution(name, 100);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        ASSERT_EQ(bytes.size(), 62);
        const qint32 expected = infoSize == 40 ? 3937 : 0;
        EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 38), expected);
        EXPECT_EQ(qFromLittleEndian<qint32>(bytes.constData() + 42), expected);
    }
    EXPECT_THROW(PatchBitmapResolution(folder.filePath(QStringLiteral("none/p.bmp")), 100), Exception);
}

} // namespace
} // namespace lp
