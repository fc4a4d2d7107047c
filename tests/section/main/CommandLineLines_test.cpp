// lithoprism --invert-lines: two crossing lines inverted and written as
// their cell tables, the fence, the volume, slices and the VTK grid, with
// the lines and the crossing printed; the site's refusals exit with one
// line naming the file and write nothing.

#include "section/main/CommandLine.h"

#include "section/inversion/SurveyInversion.h"
#include "section/survey/MeasuredData.h"

#include "tests/section/main/CommandRun.h"
#include "tests/section/site/SiteTestLines.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <numbers>

namespace lp {
namespace {

// A line's unified file: its electrodes on the map at an elevation of 100
// (flat ground; "x y z" with z 0 everywhere would read y as the elevation).
void WriteLine(const QString& File, const TMeasuredData& Line, bool Map = true)
{
    TMeasuredData data = Line;
    for (TElectrode& electrode : data.Electrodes) {
        electrode.z = 100.0;
        if (!Map)
            electrode.Map.reset();
    }
    QFile file(File);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(FormatMeasuredData(data, 0.02)));
}

// Two lines crossing at (15, 0): A east along y = 0, B north along x = 15.
struct TTwoLines {
    TMeasuredData A, B;
    TTwoLines()
    {
        const TForwardModel ground = test::LayeredGround(-20.0, 50.0, 100.0, 2.0, 30.0);
        A = test::StraightLineData(0.0, 0.0, 0.0, 16, 2.0, ground, 1);
        B = test::StraightLineData(15.0, -15.0, std::numbers::pi / 2, 16, 2.0, ground, 2);
    }
};

const TTwoLines& Lines()
{
    static const TTwoLines lines;
    return lines;
}

QString ReadText(const QString& File)
{
    QFile file(File);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(CommandLineLines, TwoCrossingLinesAreWrittenAsTheirTablesFenceVolumeSlicesAndGrid)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    WriteLine(dir.filePath("A.dat"), Lines().A);
    WriteLine(dir.filePath("B.dat"), Lines().B);
    const QString out = dir.filePath("site");
    const TCommandRun run = RunCommand({"--invert-lines", out, dir.filePath("A.dat"), dir.filePath("B.dat"),
                                        "--slice-depths", "1,2.5", "--vtk", dir.filePath("site/volume.vtk"),
                                        "--drop-outliers", "3"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    // What the cleaning says of each file names it.
    EXPECT_TRUE(run.Errors.contains(dir.filePath("A.dat") + ": drop-outliers: ")) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains(dir.filePath("B.dat") + ": drop-outliers: ")) << run.Errors.toStdString();
    const QStringList lines = run.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << run.Out.toStdString();
    const QRegularExpression line(QStringLiteral("^line (A|B): %1 data, chi-square [0-9.e-]+, rrms [0-9.e-]+ %$")
                                      .arg(Lines().A.Size()));
    EXPECT_TRUE(line.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("line A:")));
    EXPECT_TRUE(line.match(lines[1]).hasMatch()) << lines[1].toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("crossing A B at 15 0"));
    // Every file, the cell tables as --invert writes them.
    const QDir site(out);
    EXPECT_EQ(site.entryList(QDir::Files, QDir::Name),
              (QStringList{"A.csv", "B.csv", "fence.csv", "slice-1.csv", "slice-2.5.csv", "volume.csv", "volume.vtk"}));
    for (const char* name : {"A.csv", "B.csv"}) {
        const std::vector<TInversionTableRow> rows = ReadInversionTable(ReadText(site.filePath(name)).toStdString());
        EXPECT_GT(rows.size(), 100u) << name;
        for (const TInversionTableRow& row : rows)
            EXPECT_GE(row.Z1, 0.0);
    }
    EXPECT_TRUE(ReadText(site.filePath("fence.csv")).startsWith("line,distance,depth,x,y,z,resistivity,coverage\n"));
    EXPECT_TRUE(ReadText(site.filePath("volume.csv")).startsWith("x,y,z,depth,resistivity\n"));
    EXPECT_TRUE(ReadText(site.filePath("slice-2.5.csv")).startsWith("x,y,z,resistivity\n"));
    EXPECT_TRUE(ReadText(site.filePath("volume.vtk")).startsWith("# vtk DataFile"));
    // A fence cell of B at its map point: x 15 along the whole line.
    const QStringList fence = ReadText(site.filePath("fence.csv")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const auto b = std::find_if(fence.begin(), fence.end(), [](const QString& row) { return row.startsWith("B,"); });
    ASSERT_NE(b, fence.end());
    EXPECT_DOUBLE_EQ(b->split(QLatin1Char(','))[3].toDouble(), 15.0);
}

// A run refused: exit 1, one line on standard error naming File, nothing
// made in the folder (the output folder among it).
void ExpectRefused(const QTemporaryDir& Folder, const QStringList& Arguments, const QString& File, const char* Says)
{
    const QStringList before = QDir(Folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const TCommandRun run = RunCommand(Arguments);
    EXPECT_EQ(run.Code, 1) << Says;
    EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
    EXPECT_EQ(run.Errors.count(QLatin1Char('\n')), 1) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains(File)) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains(QLatin1String(Says))) << run.Errors.toStdString();
    EXPECT_EQ(QDir(Folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before) << Says;
}

TEST(CommandLineLines, WhatCannotBeOneSiteIsRefusedNamingTheFileAndNothingIsWritten)
{
    QTemporaryDir folder;
    const QDir dir(folder.path());
    const QString out = dir.filePath("site");
    WriteLine(dir.filePath("A.dat"), Lines().A);
    // Without map coordinates (x z).
    WriteLine(dir.filePath("plain.dat"), Lines().B, false);
    ExpectRefused(folder, {"--invert-lines", out, dir.filePath("A.dat"), dir.filePath("plain.dat")},
                  dir.filePath("plain.dat"), "no map coordinates");
    // Two lines of one name in two folders.
    ASSERT_TRUE(dir.mkdir("other"));
    WriteLine(dir.filePath("other/A.dat"), Lines().B);
    ExpectRefused(folder, {"--invert-lines", out, dir.filePath("A.dat"), dir.filePath("other/A.dat")},
                  dir.filePath("other/A.dat"), "name");
    // B in feet: its map and its spacing 3.28 times larger.
    TMeasuredData feet = Lines().B;
    for (TElectrode& electrode : feet.Electrodes)
        electrode.Map = TMapPoint{electrode.Map->x / 0.3048, electrode.Map->y / 0.3048};
    WriteLine(dir.filePath("feet.dat"), feet);
    ExpectRefused(folder, {"--invert-lines", out, dir.filePath("A.dat"), dir.filePath("feet.dat")},
                  dir.filePath("feet.dat"), "feet");
    // B 40 km east: another coordinate system.
    TMeasuredData far = Lines().B;
    for (TElectrode& electrode : far.Electrodes)
        electrode.Map->x += 40000.0;
    WriteLine(dir.filePath("far.dat"), far);
    ExpectRefused(folder, {"--invert-lines", out, dir.filePath("A.dat"), dir.filePath("far.dat")},
                  dir.filePath("far.dat"), "another system");
    // Electrodes at one place.
    TMeasuredData one = Lines().B;
    for (TElectrode& electrode : one.Electrodes)
        electrode.Map = TMapPoint{3.0, 4.0};
    WriteLine(dir.filePath("one.dat"), one);
    const TCommandRun onePlace = RunCommand({"--invert-lines", out, dir.filePath("A.dat"), dir.filePath("one.dat")});
    EXPECT_EQ(onePlace.Code, 1);
    EXPECT_TRUE(onePlace.Errors.contains(dir.filePath("one.dat"))) << onePlace.Errors.toStdString();
    // An output folder whose parent is missing; one that is a file.
    ExpectRefused(folder, {"--invert-lines", dir.filePath("none/site"), dir.filePath("A.dat")}, dir.filePath("none"),
                  "does not exist");
    ExpectRefused(folder, {"--invert-lines", dir.filePath("A.dat"), dir.filePath("other/A.dat")}, dir.filePath("A.dat"),
                  "A.dat");
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST(CommandLineLines, ArgumentsThatDoNotFitSeveralLinesExitWithTwo)
{
    QTemporaryDir folder;
    const QString out = QDir(folder.path()).filePath("site");
    const struct {
        QStringList Arguments;
        const char* Says;
    } cases[] = {
        {{"--invert-lines", out}, "at least one measured file"},
        {{"--invert-lines", out, "a.dat", "--section", "s.sec"}, "--section goes with --invert"},
        {{"--invert-lines", out, "a.dat", "--well-logs", "w.crt"}, "--well-logs goes with --invert"},
        {{"--invert-lines", out, "a.dat", "--electrode-positions", "p.csv"}, "--electrode-positions goes with"},
        {{"--invert-lines", out, "a.dat", "--change-error", "5"}, "--timelapse"},
        {{"--invert-lines", out, "a.dat", "--slice-depths", "1,-2"}, "\"-2\""},
        {{"--invert-lines", out, "a.dat", "--slice-depths", "1,1"}, "twice"},
        {{"--invert-lines", out, "a.dat", "--blocky-epsilon", "0.1"}, "--blocky"},
        {{"--invert-lines", out, "a.dat", "--tie"}, "unknown option --tie for --invert-lines"},
    };
    for (const auto& c : cases) {
        const TCommandRun run = RunCommand(c.Arguments);
        EXPECT_EQ(run.Code, 2) << c.Says;
        EXPECT_TRUE(run.Errors.contains(QLatin1String(c.Says))) << run.Errors.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_TRUE(RunCommand({"--help"}).Out.contains("--invert-lines OUTDIR"));
}

} // namespace
} // namespace lp
