#include "section/editor/Carotage.h"

#include "SectionTestUtil.h"
#include "ReferenceImage.h"
#include "chart/engine/PlotImageTool.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Bitmap.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <cmath>
#include <random>

namespace lp {
namespace {

// A folder of constructed list and data files.
class TLogFolder {
public:
    QTemporaryDir Dir;

    QString Write(const QString& Name, const QByteArray& Content)
    {
        const QString path = Dir.filePath(Name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Content);
        return path;
    }
    // A data file of "depth value" lines with the given values at depths
    // 0, 10, 20, ...
    QString Values(const QString& Name, std::initializer_list<double> Values)
    {
        QByteArray text;
        int depth = 0;
        for (double value : Values) {
            text += QByteArray::number(depth) + ' ' + QByteArray::number(value, 'g', 17) + "\r\n";
            depth += 10;
        }
        return Write(Name, text);
    }
};

QByteArray Group(const QString& Path, const char* Caption, const char* Numbers)
{
    return Path.toLocal8Bit() + "\r\n" + Caption + "\r\n" + Numbers + "\r\n";
}

TEST(CarotageRead, MissingFilesAndShortNumberLinesSkipTheirGroupOnly)
{
    TLogFolder folder;
    folder.Values(QStringLiteral("a.dat"), {1, 2, 3});
    folder.Values(QStringLiteral("b.dat"), {4, 5});
    folder.Values(QStringLiteral("one.dat"), {7});
    folder.Write(QStringLiteral("none.dat"), "just text\r\n5\r\n");
    const QString list = folder.Write(
        QStringLiteral("logs.crt"),
        Group(QStringLiteral("missing.dat"), "Gone", "100 5 0 0 1 255 0") +
            Group(QStringLiteral("a.dat"), "First", "100 5 0 0 1 255 0") +
            Group(QStringLiteral("b.dat"), "Short", "100 5 0") + Group(QStringLiteral("one.dat"), "One", "1 2 0 0 1 0 0") +
            Group(QStringLiteral("none.dat"), "None", "1 2 0 0 1 0 0") +
            Group(folder.Dir.filePath(QStringLiteral("b.dat")), "Second", "300,5 2,5 1 0 2 65280 0 7,5"));
    QStringList skipped;
    const arofcarotagedata logs = ReadCarotageList(list, &skipped);
    ASSERT_EQ(logs.Length(), 2);
    EXPECT_EQ(logs[0].Caption, QStringLiteral("First"));
    EXPECT_EQ(logs[0].Points.Length(), 3);
    EXPECT_EQ(logs[0].Colour, 255);
    EXPECT_EQ(logs[0].Extra, 0.0);
    const carotagedata& second = logs[1];
    EXPECT_EQ(second.Caption, QStringLiteral("Second"));
    EXPECT_EQ(second.Position, 300.5);
    EXPECT_EQ(second.HalfWidth, 2.5);
    EXPECT_EQ(second.Kind, 1);
    EXPECT_EQ(second.Group, 2);
    EXPECT_EQ(second.Colour, 0x00FF00);
    EXPECT_EQ(second.Extra, 7.5);
    EXPECT_EQ(skipped.size(), 5) << skipped.join('\n').toStdString();
}

TEST(CarotageRead, AListEndingInsideAGroupStopsThere)
{
    TLogFolder folder;
    folder.Values(QStringLiteral("a.dat"), {1, 2});
    const QString list = folder.Write(QStringLiteral("cut.crt"), "a.dat\r\nCaption only\r\n");
    QStringList skipped;
    EXPECT_EQ(ReadCarotageList(list, &skipped).Length(), 0);
    EXPECT_EQ(skipped.size(), 1);
    EXPECT_THROW(ReadCarotageList(folder.Dir.filePath(QStringLiteral("nothing.crt")), nullptr), EReadError);
}

TEST(CarotageRead, CodesCarryOverAndOneNumberLinesAreIgnored)
{
    TLogFolder folder;
    carotagedata log;
    log.Path = folder.Write(QStringLiteral("codes.dat"), "0 1\r\n"
                                                           "5\r\n"
                                                           "10 2 3 4\r\n"
                                                           "20 3\r\n"
                                                           "30 4 5,6\r\n"
                                                           "40 * 9 9\r\n"
                                                           "50 5\r\n");
    ASSERT_TRUE(ReadCarotageData(log, nullptr));
    ASSERT_EQ(log.Points.Length(), 5);
    const int32_t a[] = {-1, 3, 3, 6, 9};
    const int32_t b[] = {-1, 4, 4, 4, 9};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(log.CodesA[i], a[i]) << i;
        EXPECT_EQ(log.CodesB[i], b[i]) << i;
    }
    EXPECT_EQ(log.ValueMin, 1.0);
    EXPECT_EQ(log.ValueMax, 5.0);
}

TEST(CarotageRead, LogarithmsSkipValuesWithoutOne)
{
    TLogFolder folder;
    carotagedata log;
    log.Logarithmic = 1;
    log.Path = folder.Values(QStringLiteral("log.dat"), {1.0, 0.0, -3.0, std::exp(1.0), 123456789.0});
    QStringList skipped;
    ASSERT_TRUE(ReadCarotageData(log, &skipped));
    ASSERT_EQ(log.Points.Length(), 2);
    EXPECT_EQ(log.Points[0].im, 0.0);
    EXPECT_DOUBLE_EQ(log.Points[1].im, 1.0);
    EXPECT_EQ(log.Points[1].re, 30.0);
    EXPECT_EQ(log.ValueMin, 0.0);
    EXPECT_DOUBLE_EQ(log.ValueMax, 1.0);
    EXPECT_EQ(skipped.size(), 1);
}

TEST(CarotageNormalise, AGroupMeetsAtItsMeanLevel)
{
    TLogFolder folder;
    folder.Values(QStringLiteral("ten.dat"), {10, 10, 10});
    folder.Values(QStringLiteral("twenty.dat"), {20, 20, 20});
    folder.Values(QStringLiteral("other.dat"), {100, 100});
    const QString list = folder.Write(QStringLiteral("n.crt"),
                                      Group(QStringLiteral("ten.dat"), "A", "100 5 0 1 5 0 0") +
                                          Group(QStringLiteral("twenty.dat"), "B", "200 5 0 2 5 0 0") +
                                          Group(QStringLiteral("other.dat"), "C", "300 5 0 1 6 0 0"));
    const arofcarotagedata logs = ReadCarotageList(list, nullptr);
    ASSERT_EQ(logs.Length(), 3);
    EXPECT_EQ(logs[0].Points[0].im, 15.0); // +5
    EXPECT_EQ(logs[0].ValueMin, 15.0);
    EXPECT_EQ(logs[1].Points[2].im, 15.0); // -5
    EXPECT_EQ(logs[1].ValueMax, 15.0);
    EXPECT_EQ(logs[2].Points[0].im, 100.0); // alone in its group
}

TEST(CarotageDraw, GroupsShareAScaleAndAFlatCurveIsCentred)
{
    arofcarotagedata logs(3);
    logs[0].Group = 1;
    logs[0].Position = 100;
    logs[0].ValueMin = 0;
    logs[0].ValueMax = 10;
    logs[1].Group = 1;
    logs[1].Position = 500;
    logs[1].ValueMin = -5;
    logs[1].ValueMax = 20;
    logs[2].Group = 1;
    logs[2].Position = 5000; // outside the axis: does not widen the scale
    logs[2].ValueMin = -100;
    logs[2].ValueMax = 100;
    double low = 0;
    double high = 0;
    CarotageDrawRange(logs, 0, 0, 1000, low, high);
    EXPECT_EQ(low, -5.0);
    EXPECT_EQ(high, 20.0);

    carotagedata flat;
    flat.BandLeft = 90;
    flat.BandRight = 110;
    EXPECT_EQ(CarotageBandX(flat, 7, 7, 7), 100.0);
    EXPECT_EQ(CarotageBandX(flat, 5, 0, 10), 100.0);
    EXPECT_EQ(CarotageBandX(flat, 10, 0, 10), 110.0);
}

TEST(CarotagePicture, KindTwoFillsRowsByInterpolatedCodesWithBoundaries)
{
    carotagedata log;
    log.Kind = 2;
    // Depth 0..50 solid red (code B 0), 50..100 clear (code B 1).
    log.Points = {{0, 1}, {50, 1}, {50, 1}, {100, 1}};
    log.CodesA = {0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF};
    log.CodesB = {0, 0, 1, 1};
    TBitmap bitmap(20, 100);
    PaintCarotagePicture(log, bitmap);
    const TCanvas& canvas = bitmap.Canvas();
    EXPECT_EQ(canvas.Pixel(10, 25), 0x0000FF);
    EXPECT_EQ(canvas.Pixel(10, 75), clWhite); // clear brush: the section shows
    EXPECT_EQ(canvas.Pixel(10, 50), clBlack); // the boundary
    EXPECT_EQ(canvas.Pixel(0, 75), clBlack);  // the frame
    EXPECT_TRUE(bitmap.Transparent());
    EXPECT_EQ(bitmap.TransparentColor(), clWhite);
}

TEST(CarotagePicture, KindOneShowsItsFirstCodeColumnAndPatterns)
{
    carotagedata log;
    log.Kind = 1;
    log.Colour = 0x008000;
    log.Points = {{0, 1}, {10, 1}, {20, 1}};
    log.CodesA = {0, 20, 20}; // solid, then pattern 12 (each interval takes its upper sample's code)
    log.CodesB = {-1, -1, -1};
    TBitmap bitmap(16, 40);
    PaintCarotagePicture(log, bitmap);
    EXPECT_EQ(bitmap.Canvas().Pixel(8, 10), 0x008000);
    int green = 0;
    for (int y = 22; y < 38; ++y)
        for (int x = 1; x < 15; ++x)
            green += bitmap.Canvas().Pixel(x, y) == 0x008000;
    EXPECT_GT(green, 0);
    EXPECT_LT(green, 14 * 16);
}

TEST(CarotagePicture, AWindowHoldsTheSameRowsAsTheWholePicture)
{
    carotagedata log;
    log.Kind = 2;
    log.Caption = QStringLiteral("Cut");
    log.Points = {{0, 1}, {50, 1}, {50, 1}, {100, 1}};
    log.CodesA = {0x0000FF, 0x0000FF, 0x00FF00, 0x00FF00};
    log.CodesB = {0, 0, 0, 0};
    TBitmap whole(20, 100);
    PaintCarotagePicture(log, whole);
    // Rows 30 .. 69 of the whole picture, its side edges kept.
    TBitmap part(20, 40);
    PaintCarotagePicture(log, part, TCarotageWindow{30, 70, false, false, true, true});
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(part.Canvas().Pixel(x, y), whole.Canvas().Pixel(x, y + 30)) << x << ", " << y;
    // Cut side edges have no frame, and the caption needs the top left corner.
    TBitmap inner(10, 10);
    PaintCarotagePicture(log, inner, TCarotageWindow{0, 10, true, false, false, false});
    EXPECT_EQ(inner.Canvas().Pixel(0, 5), 0x0000FF);
    EXPECT_EQ(inner.Canvas().Pixel(9, 5), 0x0000FF);
    EXPECT_EQ(inner.Canvas().Pixel(5, 0), clBlack); // the top edge is the picture's own
    EXPECT_EQ(inner.Canvas().Pixel(5, 9), 0x0000FF);
}

// A log a million metres deep under a section 100 m deep once painted one
// picture row (and built one pattern bitmap) per pixel of its whole span,
// and a hundred million metres asked for a 13.7 GB bitmap.
TEST(CarotageOverlay, ALogFarDeeperThanTheSectionIsDrawnOnlyWhereThePlotShowsIt)
{
    for (const QByteArray& deepest : {QByteArray("1000000"), QByteArray("100000000")}) {
        TLogFolder folder;
        folder.Write(QStringLiteral("1"), "0 1 9\r\n" + deepest + " 1 9\r\n");
        const QString list = folder.Write(QStringLiteral("deep.crt"), "1\r\nx\r\n500 10 1 0 1 0 0\r\n");
        TPolygonChart chart;
        chart.SetBounds(0, 0, 640, 360);
        TSectionFixture::AddBodies(chart, 2);
        TCarotageOverlay overlay(chart);
        overlay.ReadCarotage(list);
        ASSERT_EQ(overlay.Logs.Length(), 1);
        overlay.Redraw();
        const TGraphic* picture = overlay.Logs[0].PictureTool->Picture()->Graphic();
        ASSERT_NE(picture, nullptr) << deepest.constData();
        EXPECT_LE(picture->Height(), chart.Height()) << deepest.constData();
        EXPECT_LE(picture->Width(), chart.Width()) << deepest.constData();
        // The band is dotted by pattern 1 from the plot's top to its bottom.
        TBitmap shown(640, 360);
        chart.DrawToCanvas(&shown.Canvas(), chart.GetRectangle());
        const int x = chart.BottomAxis()->CalcPosValue(500);
        for (const double depth : {8.0, 50.0, 95.0}) {
            const int y = chart.LeftAxis()->CalcPosValue(depth);
            int black = 0;
            for (int dy = 0; dy < 6; ++dy)
                for (int dx = -20; dx <= 20; ++dx)
                    black += shown.Canvas().Pixel(x + dx, y + dy) == clBlack;
            EXPECT_GT(black, 5) << deepest.constData() << " at depth " << depth;
        }
    }
}

// A list of random bytes, or one whose only group names a missing data
// file, loaded nothing, drew nothing and said nothing.
TEST(CarotageOverlay, AListThatYieldsNoLogRaisesAnErrorNamingTheList)
{
    TLogFolder folder;
    folder.Values(QStringLiteral("gamma.dat"), {10, 30, 20});
    const QString good =
        folder.Write(QStringLiteral("good.crt"), Group(QStringLiteral("gamma.dat"), "GR", "500 5 0 0 1 255 0"));
    std::mt19937 bytes(71);
    QByteArray random;
    for (int i = 0; i < 4000; ++i)
        random += static_cast<char>(bytes() & 0xFF);
    const QString garbage = folder.Write(QStringLiteral("random.crt"), random);
    const QString missing =
        folder.Write(QStringLiteral("missing.crt"), Group(QStringLiteral("absent.dat"), "Gone", "500 5 0 0 1 255 0"));
    const QString empty = folder.Write(QStringLiteral("empty.crt"), QByteArray());

    TPolygonChart chart;
    chart.SetBounds(0, 0, 640, 360);
    TSectionFixture::AddBodies(chart, 2);
    const int seriesBefore = chart.SeriesCount();
    TCarotageOverlay overlay(chart);
    for (const QString& list : {garbage, missing, empty}) {
        // A good list first: it reads without a word.
        ASSERT_NO_THROW(overlay.ReadCarotage(good));
        ASSERT_EQ(overlay.Logs.Length(), 1);
        QString message;
        try {
            overlay.ReadCarotage(list);
        } catch (const EReadError& Error) {
            message = QString::fromStdString(Error.Message());
        }
        EXPECT_TRUE(message.startsWith(QStringLiteral("No well log could be read from ") + list))
            << message.toStdString();
        // Whatever the list holds, the message is a few readable lines.
        EXPECT_LE(message.count(QLatin1Char('\n')), 4) << message.toStdString();
        for (const QChar c : message)
            EXPECT_TRUE(c == QLatin1Char('\n') || (c.isPrint() && c != QChar::ReplacementCharacter))
                << message.toStdString();
        // The logs read before went with the read, as they always do.
        EXPECT_EQ(overlay.Logs.Length(), 0);
        EXPECT_EQ(chart.SeriesCount(), seriesBefore);
        if (list == missing) {
            EXPECT_TRUE(message.contains(QStringLiteral("absent.dat: no such log file"))) << message.toStdString();
        }
    }
}

TEST(CarotageOverlay, TwoLogsOverASection)
{
    TLogFolder folder;
    QByteArray curve;
    for (int d = 0; d <= 90; d += 3)
        curve += QByteArray::number(d) + ' ' + QByteArray::number(50 + 30 * std::sin(d / 9.0)) + "\r\n";
    folder.Write(QStringLiteral("curve.dat"), curve);
    folder.Write(QStringLiteral("litho.dat"), "5 1 0\r\n25 1 6\r\n45 1 19\r\n70 1 4\r\n90 1 4\r\n");
    const QString list = folder.Write(QStringLiteral("wells.crt"),
                                      Group(QStringLiteral("curve.dat"), "GR", "320 6 0 0 1 255 0") +
                                          Group(QStringLiteral("litho.dat"), "Litho", "700 3 1 0 2 8421376 0") +
                                          Group(QStringLiteral("curve.dat"), "Far", "5000 6 0 0 1 0 0"));

    TPolygonChart chart;
    chart.SetBounds(0, 0, 640, 360);
    TSectionFixture::AddBodies(chart, 3);
    chart.Model[1][0].params[psColor] = ParamValue(0x80C0F0);
    chart.Model[1][0].params[psBrush] = ParamValue("0#0");
    chart.Model[2][0].params[psColor] = ParamValue(0xB0E0B0);
    chart.Model[2][0].params[psBrush] = ParamValue("0#0");
    chart.RebuildMapSeries();
    const int seriesBefore = chart.SeriesCount();
    {
        TCarotageOverlay overlay(chart);
        overlay.ReadCarotage(list);
        ASSERT_EQ(overlay.Logs.Length(), 3);
        EXPECT_EQ(chart.SeriesCount(), seriesBefore + 3);
        overlay.Redraw();
        const carotagedata& gr = overlay.Logs[0];
        EXPECT_EQ(gr.BandLeft, 260.0);
        EXPECT_EQ(gr.BandRight, 380.0);
        EXPECT_EQ(gr.Series->Count(), 31);
        EXPECT_FALSE(overlay.Logs[2].Series->Active());
        ASSERT_NE(overlay.Logs[1].PictureTool, nullptr);
        EXPECT_TRUE(overlay.Logs[1].PictureTool->Picture()->Graphic() != nullptr);

        TBitmap picture(640, 360);
        chart.DrawToCanvas(&picture.Canvas(), chart.GetRectangle());
        EXPECT_TRUE(test::MatchesReference(picture.ToImage(), "section", "carotage-two-logs"));

        // Reading again replaces the logs' series.
        overlay.ReadCarotage(list);
        EXPECT_EQ(chart.SeriesCount(), seriesBefore + 3);
    }
    EXPECT_EQ(chart.SeriesCount(), seriesBefore);
}

} // namespace
} // namespace lp
