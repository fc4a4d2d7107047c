// Writing and reading the section file through the section chart: atomic
// saves that leave the old file intact on failure, and reads that replace
// the whole model or nothing.

#include "section/editor/PolygonChart.h"

#include "SectionTestUtil.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "platform/graphics/Bitmap.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace lp {
namespace {

QByteArray ReadAll(const QString& Name)
{
    QFile file(Name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void WriteAll(const QString& Name, const QByteArray& Bytes)
{
    QFile file(Name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
}

// The bytes with every parameter line's first token (the map polygon id,
// which a read regenerates) blanked.
QByteArray WithoutIds(const QByteArray& Bytes)
{
    QList<QByteArray> lines = Bytes.split('\n');
    for (QByteArray& text : lines)
        if (text.count(' ') >= 20 && text.endsWith(" \r"))
            text = "id" + text.mid(text.indexOf(' '));
    return lines.join('\n');
}

struct SectionFiles : ::testing::Test {
    QTemporaryDir Folder;
    QString Name(const char* File) const { return Folder.filePath(QString::fromLatin1(File)); }

    static void MakeSection(TPolygonChart& Chart)
    {
        TSectionFixture::AddBodies(Chart, 3);
        Chart.Model[1][0].params[psLabelText] = ParamValue("three word label");
        Chart.Model[2][0].params[9] = ParamValue("*");
        Chart.Model[2][0].params[psResistivity] = ParamValue(123.456);
        line record;
        record.points = {{10, 5}, {123.456, 7.25}};
        record.values = {1.5, 2.5};
        record.text = "profile line";
        Chart.Lines.Add(record);
        Chart.BuildLineSeries();
        Chart.Lines[0].series->SetSeriesColor(0x00FF00);
        Chart.ReservedPair[1] = 4.0;
    }
};

TEST_F(SectionFiles, WriteReadWriteGivesTheSameBytes)
{
    TPolygonChart chart;
    MakeSection(chart);
    const QString first = Name("first.sec");
    chart.WriteSection(first, {"picture.jpg", " 0.0 0.0 1000.0 100.0", ""});
    const QByteArray written = ReadAll(first);
    EXPECT_TRUE(written.startsWith("picture.jpg\r\n 0.0 0.0 1000.0 100.0\r\n\r\nVexaPolyModelDescription2.0\r\n"));
    EXPECT_TRUE(written.endsWith("EndPolyModelDescription2.0\r\n"));
    EXPECT_TRUE(written.contains("three\xA6word\xA6label "));
    EXPECT_TRUE(written.contains("\r\n10.0 5.0 123.5 7.2\r\n"));

    TPolygonChart reader;
    ASSERT_TRUE(reader.ReadModelBlock(first));
    EXPECT_EQ(reader.Model[1][0].params[psLabelText].AsText(), "three word label");
    EXPECT_TRUE(reader.Model[2][0].params[9].IsEmpty());
    EXPECT_EQ(reader.MapSeries->Shapes()->Count(), 3);
    ASSERT_EQ(reader.Lines.Length(), 1);
    ASSERT_NE(reader.Lines[0].series, nullptr);
    EXPECT_EQ(reader.Lines[0].series->SeriesColor(), 0x00FF00); // the look came with the line
    EXPECT_DOUBLE_EQ(reader.ReservedPair[1], 4.0);
    EXPECT_EQ(reader.UndoSequence.Length(), 1);
    EXPECT_TRUE(reader.ModelLoaded);

    const QString second = Name("second.sec");
    reader.WriteModelBlock(second, 0);
    WriteAll(second, "picture.jpg\r\n 0.0 0.0 1000.0 100.0\r\n\r\n" + ReadAll(second));
    EXPECT_EQ(WithoutIds(ReadAll(second)), WithoutIds(written));
}

// A line's appearance in the file once reached the drawing code unchecked:
// a shadow of 100,000,000 pixels looped that often, callout sizes and frame
// widths overflowed, and a pointer size beyond the range made every paint
// raise. Each field is replaced in turn by INT_MAX, INT_MIN, 1e308, NaN and
// 100,000,000; the file still opens, and the chart paints.
TEST_F(SectionFiles, ExtremeLineAppearancesStillOpenAndPaint)
{
    TPolygonChart chart;
    MakeSection(chart);
    TLineSeries& series = *chart.Lines[0].series;
    series.Marks()->SetVisible(true);
    series.Marks()->Callout()->SetVisible(true);
    series.Marks()->Shadow()->SetTransparency(40);
    const QString file = Name("lines.sec");
    chart.WriteSection(file, {"picture.jpg", " 0.0 0.0 1000.0 100.0", ""});
    const QByteArray written = ReadAll(file);
    const QString appearance = SeriesSettingsToText(&series);
    ASSERT_TRUE(written.contains(appearance.toLatin1()));

    // Callout length, arrow head size, distance, sizes; marks bevel width,
    // frame, transparency, shadow; line pen; pointer sizes; DrawEvery.
    const int fields[] = {8, 9, 13, 14, 18, 20, 25, 30, 37, 38, 42, 49, 51, 54};
    const char* extremes[] = {"2147483647", "-2147483648", "1e308", "nan", "100000000"};
    static const QRegularExpression number(QStringLiteral("-?[0-9]+"));
    for (const int field : fields) {
        const QStringList words = appearance.split(QLatin1Char('~'));
        // Each number of the field, nested texts (pen, shadow) included.
        for (const QRegularExpressionMatch& match : number.globalMatch(words[field])) {
            for (const char* extreme : extremes) {
                QStringList changed = words;
                changed[field].replace(match.capturedStart(), match.capturedLength(), QString::fromLatin1(extreme));
                QByteArray bytes = written;
                bytes.replace(appearance.toLatin1(), changed.join(QLatin1Char('~')).toLatin1());
                WriteAll(file, bytes);
                SCOPED_TRACE(changed[field].toStdString());
                TPolygonChart reader;
                reader.SetBounds(0, 0, 400, 300);
                ASSERT_TRUE(reader.ReadModelBlock(file));
                ASSERT_EQ(reader.Lines.Length(), 1);
                TBitmap picture(400, 300);
                EXPECT_NO_THROW(reader.DrawToCanvas(&picture.Canvas(), reader.GetRectangle()));
            }
        }
    }
}

TEST_F(SectionFiles, HeaderLinesAreKeptFromTheExistingFile)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    const QString name = Name("kept.sec");
    WriteAll(name, "pic.png\r\n 1 2 3 4\r\n");
    chart.WriteModelBlock(name, 3); // the third line does not exist: empty
    EXPECT_TRUE(ReadAll(name).startsWith("pic.png\r\n 1 2 3 4\r\n\r\nVexaPolyModelDescription2.0\r\n"));
    // With -1 every line of the old file is kept.
    chart.WriteModelBlock(name, -1);
    const QByteArray twice = ReadAll(name);
    EXPECT_EQ(twice.count("VexaPolyModelDescription2.0"), 2);
    // A missing file is not an error: there is simply no header.
    const QString fresh = Name("fresh.sec");
    chart.WriteModelBlock(fresh, 3);
    EXPECT_TRUE(ReadAll(fresh).startsWith("VexaPolyModelDescription2.0"));
}

TEST_F(SectionFiles, AFileWithoutABlockLeavesTheChart)
{
    TPolygonChart chart;
    MakeSection(chart);
    const QString name = Name("header.sec");
    WriteAll(name, "picture.jpg\r\n 0 0 1 1\r\n");
    EXPECT_FALSE(chart.ReadModelBlock(name));
    EXPECT_EQ(chart.Model.Length(), 4);
    EXPECT_THROW(chart.ReadModelBlock(Name("missing.sec")), ESectionFileError);
}

TEST_F(SectionFiles, ReadingASecondFileReplacesEverything)
{
    TPolygonChart chart;
    MakeSection(chart);
    const QString big = Name("big.sec");
    chart.WriteSection(big, {"a", "b", ""});

    TPolygonChart small;
    small.NewModel({}, false, 0, 500, 0, 40);
    const QString little = Name("little.sec");
    small.WriteSection(little, {"c", "d", ""});

    TPolygonChart reader;
    ASSERT_TRUE(reader.ReadModelBlock(big));
    const int seriesWithLines = reader.SeriesCount();
    ASSERT_TRUE(reader.ReadModelBlock(little));
    EXPECT_EQ(reader.Model.Length(), 1);
    EXPECT_EQ(reader.Lines.Length(), 0);
    EXPECT_EQ(reader.MapSeries->Shapes()->Count(), 0);
    EXPECT_EQ(reader.SeriesCount(), seriesWithLines - 1); // the line's series went
    EXPECT_DOUBLE_EQ(reader.ModelArea.right, 500);
    EXPECT_DOUBLE_EQ(reader.BottomAxis()->Maximum(), 500);
    EXPECT_EQ(reader.UndoSequence.Length(), 1);
}

TEST_F(SectionFiles, AnInvalidBlockKeepsThePreviousModel)
{
    TPolygonChart chart;
    MakeSection(chart);
    const QString name = Name("bad.sec");
    chart.WriteSection(name, {"a", "b", ""});
    QByteArray bytes = ReadAll(name);
    bytes.replace("\r\n4\r\n", "\r\n40\r\n"); // the body count: more than there are
    WriteAll(name, bytes);

    TPolygonChart reader;
    reader.NewModel({}, false, 0, 700, 0, 70);
    try {
        reader.ReadModelBlock(name);
        FAIL() << "accepted";
    } catch (const ESectionFileError& error) {
        EXPECT_NE(std::string(error.Message()).find("bad.sec"), std::string::npos);
        EXPECT_NE(std::string(error.Message()).find("line "), std::string::npos);
    }
    EXPECT_EQ(reader.Model.Length(), 1);
    EXPECT_DOUBLE_EQ(reader.ModelArea.right, 700);
}

TEST_F(SectionFiles, AFullDiskLeavesTheOldFileIntact)
{
    TPolygonChart chart;
    TSectionFixture::AddBodies(chart, 1);
    const QString name = Name("full.sec");
    WriteAll(name, "old contents\r\n");
    // A file-size limit makes every write past 512 bytes fail as a full
    // disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool raised = false;
    try {
        chart.WriteSection(name, {"a", "b", ""});
    } catch (const ESectionFileError& error) {
        raised = true;
        EXPECT_NE(std::string(error.Message()).find("cannot be written"), std::string::npos);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadAll(name), "old contents\r\n");
    EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files).size(), 1); // no temporary left behind
}

TEST_F(SectionFiles, AReadOnlyOrMissingFolderIsReported)
{
    TPolygonChart chart;
    chart.NewModel({}, false, 0, 1000, 0, 100);
    EXPECT_THROW(chart.WriteSection(Name("no/such/folder/x.sec"), {}), ESectionFileError);

    const QString folder = Name("locked");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString name = folder + "/locked.sec";
    WriteAll(name, "old\r\n");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const bool enforced = access(folder.toLocal8Bit().constData(), W_OK) != 0;
    if (enforced) {
        EXPECT_THROW(chart.WriteSection(name, {}), ESectionFileError);
        EXPECT_EQ(ReadAll(name), "old\r\n");
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!enforced)
        GTEST_SKIP() << "folder permissions are not enforced for this user";
}

} // namespace
} // namespace lp
