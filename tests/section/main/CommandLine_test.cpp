// The command line without a window: --help, --export-model, --forward, --invert and --timelapse,
// their exit codes and messages, outputs that name inputs, unknown options,
// and the program itself run without a display.

#include "section/main/CommandLine.h"
#include "section/main/CommandLine_p.h"

#include "section/editor/SectionFile.h"
#include "section/editor/SectionFileReader.h"
#include "section/forward/ForwardResponse.h"
#include "section/inversion/SurveyInversion.h"
#include "section/survey/DataFile.h"

#include "tests/section/main/CommandRun.h"
#include "tests/support/SharedData.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numbers>
#include <random>
#include <sstream>
#include <tuple>

#include <functional>
#include <map>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lp {
namespace {

int EntriesIn(const QTemporaryDir& Folder)
{
    return QDir(Folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size();
}

TEST(CommandLine, OtherArgumentsOpenTheEditor)
{
    EXPECT_FALSE(RunCommand({}).Code.has_value());
    EXPECT_FALSE(RunCommand({"/tmp/a section.sec"}).Code.has_value());
    EXPECT_FALSE(RunCommand({"-ns"}).Code.has_value());
}

TEST(CommandLine, HelpListsTheExport)
{
    const TCommandRun run = RunCommand({"--help"});
    EXPECT_EQ(run.Code, 0);
    EXPECT_TRUE(run.Out.contains("--export-model OUT.geo SECTION.sec")) << run.Out.toStdString();
    EXPECT_TRUE(run.Out.contains("--forward OUT.dat SECTION.sec [options]"));
    EXPECT_TRUE(run.Out.contains("--invert OUT.csv MEASURED [options]"));
    EXPECT_TRUE(run.Out.contains("--timelapse OUT_PREFIX DATA1 DATA2 [DATA3 ...] [options]"));
    EXPECT_TRUE(run.Out.contains("--change-error PERCENT  the relative error of a datum's change between\n"
                                 "                      two surveys, 0.0001 to 1000 (default: from the two\n"))
        << run.Out.toStdString();
    for (const char* option : {"--array dipole-dipole|wenner|schlumberger", "--electrodes N", "--spacing A", "--first X",
                               "--levels L", "--scheme FILE", "--host-resistivity R", "--drop-negative   remove",
                               "--drop-negative, --drop-reciprocal PERCENT", "--turn-polarity   turn the data",
                               "--electrode-positions FILE.csv   the electrodes' true places",
                               "refused by its number\n    --drop-reciprocal PERCENT",
                               "--drop-outliers K, --turn-polarity, --electrode-positions FILE.csv"})
        EXPECT_TRUE(run.Out.contains(QString::fromLatin1(option))) << option;
    EXPECT_TRUE(run.Errors.isEmpty());
}

TEST(CommandLine, ExportModelExitCodesAndMessages)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));

    const TCommandRun wrong = RunCommand({"--export-model", folder.filePath("out.geo")});
    EXPECT_EQ(wrong.Code, 2);
    EXPECT_TRUE(wrong.Errors.startsWith("lithoprism: --export-model needs two names")) << wrong.Errors.toStdString();

    const TCommandRun missing = RunCommand({"--export-model", folder.filePath("out.geo"), folder.filePath("none.sec")});
    EXPECT_EQ(missing.Code, 1);
    EXPECT_TRUE(missing.Errors.startsWith("lithoprism: The section file \"")) << missing.Errors.toStdString();
    EXPECT_TRUE(missing.Errors.contains("cannot be read"));
    EXPECT_EQ(missing.Errors.count('\n'), 1);

    // Rings crossing: the first fault named, nothing written.
    QFile bad(folder.filePath("bad.sec"));
    QFile good(folder.filePath("example.sec"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    QByteArray bytes = good.readAll();
    // Node 5 of the example moved far across the model.
    const QByteArray node5 = " 4.50000000000000E+0002  2.";
    ASSERT_TRUE(bytes.contains(node5));
    bytes.replace(bytes.indexOf(node5), node5.size(), " 9.90000000000000E+0002  2.");
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write(bytes);
    bad.close();
    const int before = EntriesIn(folder);
    const TCommandRun refused = RunCommand({"--export-model", folder.filePath("bad.geo"), folder.filePath("bad.sec")});
    EXPECT_EQ(refused.Code, 1);
    EXPECT_TRUE(refused.Errors.contains("cross")) << refused.Errors.toStdString();
    EXPECT_EQ(EntriesIn(folder), before);

    const TCommandRun done = RunCommand({"--export-model", folder.filePath("out"), folder.filePath("example.sec")});
    EXPECT_EQ(done.Code, 0);
    EXPECT_TRUE(done.Errors.isEmpty()) << done.Errors.toStdString();
    EXPECT_TRUE(done.Out.isEmpty());
    EXPECT_TRUE(QFile::exists(folder.filePath("out.geo")));
    EXPECT_TRUE(QFile::exists(folder.filePath("out.csv")));

    // The example's line bent into the first body: exported, with a warning.
    QByteArray crossing = good.seek(0) ? good.readAll() : QByteArray();
    const QByteArray linePoints = "40.0 190.0 300.0 130.0";
    ASSERT_TRUE(crossing.contains(linePoints));
    crossing.replace(linePoints, "40.0 190.0 300.0 100.0");
    QFile bent(folder.filePath("bent.sec"));
    ASSERT_TRUE(bent.open(QIODevice::WriteOnly));
    bent.write(crossing);
    bent.close();
    const TCommandRun warned = RunCommand({"--export-model", folder.filePath("bent.geo"), folder.filePath("bent.sec")});
    EXPECT_EQ(warned.Code, 0);
    EXPECT_EQ(warned.Errors, "lithoprism: warning: Line \"Line 1\" does not lie inside one region: it is written "
                             "but not embedded.\n");
    EXPECT_TRUE(QFile::exists(folder.filePath("bent.geo")));
}

QByteArray FileBytes(const QString& FileName)
{
    QFile file(FileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of a unified data file after its first (comment) line.
QList<QByteArray> DataLines(const QString& FileName)
{
    QList<QByteArray> lines = FileBytes(FileName).split('\n');
    if (!lines.isEmpty())
        lines.removeFirst();
    return lines;
}

TEST(CommandLine, ForwardArgumentsThatAreWrongExitWithTwoAndWriteNothing)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    const QString out = folder.filePath("out.dat"), section = folder.filePath("example.sec");
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"--forward", out}, "lithoprism: --forward needs two names: OUT.dat SECTION.sec (see lithoprism --help)\n"},
        {{"--forward", out, section, "--bogus", "1"}, "lithoprism: unknown option --bogus for --forward (see lithoprism --help)\n"},
        {{"--forward", out, section, "--levels"}, "lithoprism: --levels needs a value (see lithoprism --help)\n"},
        {{"--forward", out, section, "--electrodes", "many"},
         "lithoprism: --electrodes needs a whole number from 2 to 10000, not \"many\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--levels", "0"},
         "lithoprism: --levels needs a whole number from 1 to 1000, not \"0\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--spacing", "0"},
         "lithoprism: --spacing needs a number above 0, not \"0\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--host-resistivity", "-5"},
         "lithoprism: --host-resistivity needs a number above 0, not \"-5\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--first", "inf"},
         "lithoprism: --first needs a finite number, not \"inf\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--array", "pole-pole"},
         "lithoprism: --array is dipole-dipole, wenner, schlumberger, crosshole, surface-hole or single-hole, not "
         "\"pole-pole\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--array", "crosshole"},
         "lithoprism: --array crosshole needs --holes X1,X2 (see lithoprism --help)\n"},
        {{"--forward", out, section, "--holes", "10,20"},
         "lithoprism: --holes, --hole-electrodes, --hole-spacing and --max-geometric-factor go with --array "
         "crosshole, surface-hole or single-hole (see lithoprism --help)\n"},
        {{"--forward", out, section, "--array", "single-hole", "--holes", "10", "--levels", "2"},
         "lithoprism: --levels goes with the arrays on the surface, not with --array single-hole (see lithoprism "
         "--help)\n"},
        {{"--forward", out, section, "--array", "crosshole", "--holes", "10,x"},
         "lithoprism: --holes needs a finite number, not \"x\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--array", "crosshole", "--holes", "10,20", "--hole-electrodes", "1"},
         "lithoprism: --hole-electrodes needs a whole number from 2 to 1000, not \"1\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--scheme", out, "--levels", "3"},
         "lithoprism: --scheme takes the electrodes and configurations from its file: it cannot be combined with "
         "--array, --electrodes, --spacing, --first or --levels (see lithoprism --help)\n"}};
    for (const auto& [arguments, message] : cases) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.Errors, message);
        EXPECT_EQ(EntriesIn(folder), 1);
    }
}

// Two holes 12 m apart were refused as "Electrodes 1 and 2 stand at one
// place": the generated cross-hole survey computes, says what it dropped,
// and its file read back as a scheme keeps the electrodes buried.
TEST(CommandLine, ForwardOnACrossholeArrayAndItsSchemeGiveTheSameData)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    const QString section = folder.filePath("example.sec"), out = folder.filePath("out.dat");
    const TCommandRun done =
        RunCommand({"--forward", out, section, "--host-resistivity", "100", "--array", "crosshole", "--holes",
                    "440,560", "--hole-electrodes", "6", "--hole-spacing", "10", "--max-geometric-factor", "20000"});
    EXPECT_EQ(done.Code, 0) << done.Errors.toStdString();
    EXPECT_EQ(done.Out, "crosshole: 86 configurations, 158 dropped (a geometric factor above 20000 m)\n");
    const QList<QByteArray> lines = FileBytes(out).split('\n');
    ASSERT_GE(lines.size(), 16);
    EXPECT_EQ(lines[1], "12");
    EXPECT_EQ(lines[3], "440 -10");
    EXPECT_EQ(lines[14], "560 -60");
    const TCommandRun again = RunCommand({"--forward", folder.filePath("again.dat"), section, "--host-resistivity",
                                          "100", "--scheme", out});
    EXPECT_EQ(again.Code, 0) << again.Errors.toStdString();
    EXPECT_EQ(DataLines(folder.filePath("again.dat")), DataLines(out));
    // The file as measured data: the same ground fits it (four data below 0 over the
    // example's bodies left out, with a warning).
    const TCommandRun measured = RunCommand({"--forward", folder.filePath("compared.dat"), section,
                                             "--host-resistivity", "100", "--data", out});
    EXPECT_EQ(measured.Code, 0) << measured.Errors.toStdString();
    EXPECT_TRUE(measured.Out.startsWith("82 data (0 skipped): rrms 0.00 %")) << measured.Out.toStdString();
}

// Cross-hole data were refused by --invert ("Electrodes 1 and 2 stand at one
// place"): the surface took any electrode of a hole. The highest stands on
// it now and the others stay buried. With the section's surface the cells
// reach below the holes and find the 20 ohm-m block (x 47 to 53, 4 m to
// 8 m deep) between them; without it the holes start at 0 (the file's z
// count down from there), their top electrodes 2 m deep and buried.
TEST(CommandLine, InvertsCrossholeDataWithTheElectrodesBuried)
{
    QTemporaryDir folder;
    const QString section = QStringLiteral(LP_FORWARD_DATA_DIR "/crosshole-block.sec");
    const QString data = folder.filePath("crosshole.dat"), image = folder.filePath("image.csv");
    const TCommandRun forward = RunCommand({"--forward", data, section, "--array", "crosshole", "--holes", "44,56",
                                            "--hole-electrodes", "6", "--hole-spacing", "2"});
    ASSERT_EQ(forward.Code, 0) << forward.Errors.toStdString();
    const TCommandRun alone = RunCommand({"--invert", image, data, "--iterations", "1"});
    ASSERT_EQ(alone.Code, 0) << alone.Errors.toStdString();
    EXPECT_TRUE(alone.Out.contains("inverted: 408 cells")) << alone.Out.toStdString();

    const TCommandRun inverted = RunCommand({"--invert", image, data, "--section", section});
    ASSERT_EQ(inverted.Code, 0) << inverted.Errors.toStdString();
    EXPECT_TRUE(inverted.Out.contains("stopped: Chi-square reached 1.")) << inverted.Out.toStdString();
    const QList<QByteArray> rows = FileBytes(image).trimmed().split('\n');
    double deepest = 0.0, block = 0.0, host = 0.0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        const double x = (v[0].toDouble() + v[1].toDouble()) / 2.0, z = (v[2].toDouble() + v[3].toDouble()) / 2.0;
        deepest = std::max(deepest, v[3].toDouble());
        if (std::fabs(x - 50.5) < 0.1 && std::fabs(z - 5.5) < 0.1)
            block = v[4].toDouble();
        if (std::fabs(x - 50.5) < 0.1 && std::fabs(z - 1.5) < 0.1)
            host = v[4].toDouble();
    }
    EXPECT_GE(deepest, 12.0 + 3.0 * 2.0);
    EXPECT_GT(block, 0.0);
    EXPECT_LT(block, 60.0);
    EXPECT_GT(host, 90.0);
}

// An unknown option last on the line was answered "needs a value", as if it
// were one of the command's: every command names it unknown wherever it is.
TEST(CommandLine, UnknownOptionIsNamedSoFirstInTheMiddleAndLast)
{
    QTemporaryDir folder;
    const QString data = folder.filePath("data.dat"), section = folder.filePath("section.sec");
    const std::vector<std::pair<QString, QStringList>> commands = {
        {"--export-model", {folder.filePath("out.geo"), section}},
        {"--forward", {folder.filePath("out.dat"), section}},
        {"--invert", {folder.filePath("out.csv"), data}},
        {"--fit", {folder.filePath("out.sec"), section, "--data", data}},
        {"--timelapse", {folder.filePath("out"), data, data}}};
    for (const auto& [command, names] : commands) {
        const QString message = "lithoprism: unknown option --sharp for " + command + " (see lithoprism --help)\n";
        for (const qsizetype at : {names.size(), qsizetype(1), qsizetype(0)}) {
            QStringList arguments = names;
            arguments.insert(at, "--sharp");
            arguments.prepend(command);
            const TCommandRun run = RunCommand(arguments);
            EXPECT_EQ(run.Code, 2) << arguments.join(' ').toStdString();
            EXPECT_EQ(run.Errors.toStdString(), message.toStdString()) << arguments.join(' ').toStdString();
            EXPECT_EQ(EntriesIn(folder), 0);
        }
    }
    // A known option without its value at the end still says so.
    const std::vector<std::pair<QStringList, QString>> missing = {
        {{"--forward", folder.filePath("out.dat"), section, "--levels"}, "--levels"},
        {{"--invert", folder.filePath("out.csv"), data, "--lambda"}, "--lambda"},
        {{"--fit", folder.filePath("out.sec"), section, "--data", data, "--free"}, "--free"},
        {{"--fit", folder.filePath("out.sec"), section, "--data"}, "--data"},
        {{"--timelapse", folder.filePath("out"), data, data, "--section"}, "--section"},
        {{"--timelapse", folder.filePath("out"), data, data, "--drop-outliers"}, "--drop-outliers"}};
    for (const auto& [arguments, option] : missing) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.Errors.toStdString(),
                  ("lithoprism: " + option + " needs a value (see lithoprism --help)\n").toStdString());
    }
}

TEST(CommandLine, ForwardRefusalsExitWithOneAndLeaveTheOldFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    const QString out = folder.filePath("out.dat"), section = folder.filePath("example.sec");
    QFile old(out);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old data\n");
    old.close();
    QFile scheme(folder.filePath("bad-scheme.dat"));
    ASSERT_TRUE(scheme.open(QIODevice::WriteOnly));
    scheme.write("2\n# x z\n10 0\n20\n");
    scheme.close();
    const std::vector<std::pair<QStringList, QString>> cases = {
        // The example leaves the host medium's resistivity open.
        {{"--forward", out, section},
         "lithoprism: The host medium has no resistivity: set it in the section or give --host-resistivity R.\n"},
        {{"--forward", out, section, "--host-resistivity", "100", "--first", "-10", "--spacing", "5"},
         "lithoprism: Electrode 1 at x = -10 lies outside the model area (x from 0 to 1000).\n"},
        {{"--forward", out, section, "--host-resistivity", "100", "--electrodes", "3", "--levels", "2"},
         "lithoprism: The survey has no configuration: 3 electrodes are too few for its levels.\n"},
        {{"--forward", out, folder.filePath("none.sec"), "--host-resistivity", "100"}, QString()},
        {{"--forward", out, section, "--host-resistivity", "100", "--scheme", folder.filePath("bad-scheme.dat")},
         "lithoprism: The scheme file \"" + folder.filePath("bad-scheme.dat") +
             "\" cannot be read: Line 4: electrode 2 has 1 values where 2 are needed.\n"},
        {{"--forward", folder.filePath("no folder/out.dat"), section, "--host-resistivity", "100", "--electrodes", "8",
          "--levels", "1"},
         QString()}};
    for (const auto& [arguments, message] : cases) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, 1) << arguments.join(' ').toStdString();
        if (!message.isEmpty()) {
            EXPECT_EQ(run.Errors, message);
        }
        EXPECT_TRUE(run.Errors.startsWith("lithoprism: ")) << run.Errors.toStdString();
        EXPECT_EQ(run.Errors.count('\n'), 1);
        EXPECT_EQ(FileBytes(out), "old data\n");
        EXPECT_EQ(EntriesIn(folder), 3);
    }
}

TEST(CommandLine, ForwardWritesTheDataAndItsSchemeGivesTheSameData)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    const QString section = folder.filePath("example.sec");
    const TCommandRun done = RunCommand({"--forward", folder.filePath("out.dat"), section, "--host-resistivity", "100",
                                         "--array", "wenner", "--electrodes", "16", "--levels", "3"});
    EXPECT_EQ(done.Code, 0);
    EXPECT_TRUE(done.Errors.isEmpty()) << done.Errors.toStdString();
    const QList<QByteArray> lines = FileBytes(folder.filePath("out.dat")).split('\n');
    ASSERT_GE(lines.size(), 40);
    // The example's bodies are polarizable: ip is written.
    EXPECT_EQ(lines[0], "# Lithoprism forward response, array wenner: rhoa in ohm-m, k in m, ip in mV/V (10 mV/V = 1 %)");
    EXPECT_EQ(lines[1], "16");
    EXPECT_EQ(lines[2], "# x z");
    EXPECT_EQ(lines[3], "58.8235294117647 0"); // 1000 / 17
    EXPECT_EQ(lines[19], "30"); // 13 + 10 + 7
    EXPECT_EQ(lines[20], "# a b m n k rhoa ip");
    EXPECT_TRUE(lines[21].startsWith("1 4 2 3 ")) << lines[21].toStdString();
    EXPECT_EQ(lines[51], "0");

    // The file as a scheme: the same electrodes and configurations, the same numbers.
    const TCommandRun again = RunCommand({"--forward", folder.filePath("again.dat"), section, "--host-resistivity",
                                          "100", "--scheme", folder.filePath("out.dat")});
    EXPECT_EQ(again.Code, 0) << again.Errors.toStdString();
    EXPECT_EQ(DataLines(folder.filePath("again.dat")), DataLines(folder.filePath("out.dat")));

    const TCommandRun table = RunCommand({"--forward", folder.filePath("out.csv"), section, "--host-resistivity", "100",
                                          "--electrodes", "8", "--levels", "2"});
    EXPECT_EQ(table.Code, 0);
    const QList<QByteArray> rows = FileBytes(folder.filePath("out.csv")).split('\n');
    EXPECT_EQ(rows[0], "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent");
    EXPECT_TRUE(rows[1].startsWith("1,2,3,4,111.11111111111111,222.22222222222223,333.33333333333337,444.44444444444446,"))
        << rows[1].toStdString();
    EXPECT_EQ(rows.size(), 1 + 5 + 4 + 1);
}

// The working folder set for a scope.
class TWorkingFolder {
public:
    explicit TWorkingFolder(const QString& Folder) : FBefore(QDir::currentPath()) { QDir::setCurrent(Folder); }
    ~TWorkingFolder() { QDir::setCurrent(FBefore); }
    TWorkingFolder(const TWorkingFolder&) = delete;
    TWorkingFolder& operator=(const TWorkingFolder&) = delete;

private:
    QString FBefore;
};

// "--forward copy.sec copy.sec" exited 0 with the section replaced by data,
// and so did the scheme file named as the output.
TEST(CommandLine, AnOutputThatNamesAnInputByAnyPathIsRefusedAndNothingWritten)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("copy.sec")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("model.csv")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("section.geo")));
    ASSERT_TRUE(QDir(folder.path()).mkdir("sub"));
    ASSERT_TRUE(QFile::link(folder.filePath("copy.sec"), folder.filePath("link.sec")));
    ASSERT_EQ(::link(QFile::encodeName(folder.filePath("copy.sec")).constData(),
                     QFile::encodeName(folder.filePath("hard.sec")).constData()),
              0);
    QFile scheme(folder.filePath("scheme.dat"));
    ASSERT_TRUE(scheme.open(QIODevice::WriteOnly));
    scheme.write("3\n# x z\n100 0\n200 0\n300 0\n1\n# a b m n\n1 0 2 3\n");
    scheme.close();
    const QByteArray section = FileBytes(folder.filePath("copy.sec"));
    const QByteArray schemeBytes = FileBytes(folder.filePath("scheme.dat"));
    const int entries = EntriesIn(folder);

    const TWorkingFolder inFolder(folder.path());
    const QString absolute = folder.filePath("copy.sec");
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"--forward", "copy.sec", "copy.sec", "--host-resistivity", "100"},
         "The data file \"copy.sec\" is the section file \"copy.sec\""},
        {{"--forward", "./copy.sec", absolute, "--host-resistivity", "100"},
         "The data file \"./copy.sec\" is the section file \"" + absolute + "\""},
        {{"--forward", "sub/../copy.sec", "copy.sec", "--host-resistivity", "100"}, "is the section file"},
        {{"--forward", "link.sec", "copy.sec", "--host-resistivity", "100"}, "is the section file"},
        {{"--forward", "hard.sec", "copy.sec", "--host-resistivity", "100"}, "is the section file"},
        {{"--forward", "scheme.dat", "copy.sec", "--host-resistivity", "100", "--scheme", "./sub/../scheme.dat"},
         "The data file \"scheme.dat\" is the scheme file \"./sub/../scheme.dat\""},
        {{"--export-model", "./section.geo", "section.geo"},
         "The geometry file \"./section.geo\" is the section file \"section.geo\""},
        {{"--export-model", "model.geo", "model.csv"},
         "The region table \"model.csv\" is the section file \"model.csv\""},
        {{"--export-model", "model", "model.csv"}, "The region table \"model.csv\""}};
    for (const auto& [arguments, message] : cases) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, 1) << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.Errors.startsWith("lithoprism: ")) << run.Errors.toStdString();
        EXPECT_TRUE(run.Errors.contains(message)) << run.Errors.toStdString();
        EXPECT_TRUE(run.Errors.endsWith(": name another file to write. Nothing was written.\n"))
            << run.Errors.toStdString();
        EXPECT_EQ(FileBytes(absolute), section);
        EXPECT_EQ(FileBytes(folder.filePath("model.csv")), section);
        EXPECT_EQ(FileBytes(folder.filePath("section.geo")), section);
        EXPECT_EQ(FileBytes(folder.filePath("scheme.dat")), schemeBytes);
        EXPECT_EQ(EntriesIn(folder), entries);
    }
    // Another name beside them is written.
    EXPECT_EQ(RunCommand({"--forward", "sub/data.dat", "link.sec", "--host-resistivity", "100", "--scheme",
                          "scheme.dat"})
                  .Code,
              0);
    EXPECT_TRUE(QFile::exists(folder.filePath("sub/data.dat")));
}

// The program itself, in an environment without any display.
QProcessEnvironment NoDisplayEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

struct TProgramRun {
    QProcess::ExitStatus Status = QProcess::CrashExit;
    int Code = -1;
    QString Out, Errors;
};

TProgramRun RunProgram(const QStringList& Arguments)
{
    QProcess program;
    program.setProcessEnvironment(NoDisplayEnvironment());
    program.start(QStringLiteral(LP_PROGRAM), Arguments);
    TProgramRun run;
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        ADD_FAILURE() << "the program did not end: " << Arguments.join(' ').toStdString();
    }
    run.Status = program.exitStatus();
    run.Code = program.exitCode();
    run.Out = QString::fromLocal8Bit(program.readAllStandardOutput());
    run.Errors = QString::fromLocal8Bit(program.readAllStandardError());
    return run;
}

// "lithoprism --fitt a b" started the editor, which without a display
// aborted ("could not connect to display", SIGABRT); so did the editor
// itself.
TEST(CommandLine, AnUnknownOptionOrAMissingDisplayEndsWithOneLine)
{
    const TProgramRun unknown = RunProgram({"--fitt", "a", "b"});
    EXPECT_EQ(unknown.Status, QProcess::NormalExit);
    EXPECT_EQ(unknown.Code, 2);
    EXPECT_EQ(unknown.Errors, "lithoprism: unknown option --fitt (see lithoprism --help)\n");
    const TProgramRun late = RunProgram({"a.sec", "--forward", "out.dat"});
    EXPECT_EQ(late.Code, 2);
    EXPECT_EQ(late.Errors, "lithoprism: --forward comes first on the command line (see lithoprism --help)\n");

    const QString noDisplay = "lithoprism: no display to show the editor on (DISPLAY is not set); use xvfb-run, or "
                              "--forward / --export-model for work without a window.\n";
    for (const QStringList& arguments : {QStringList{}, QStringList{"-ns", QStringLiteral(LP_EXAMPLES_DIR "/example.sec")}}) {
        const TProgramRun editor = RunProgram(arguments);
        EXPECT_EQ(editor.Status, QProcess::NormalExit) << editor.Errors.toStdString();
        EXPECT_EQ(editor.Code, 1);
        EXPECT_EQ(editor.Errors, noDisplay);
        EXPECT_TRUE(editor.Out.isEmpty());
    }
}

TEST(CommandLine, TheDisplayIsFoundAsQtWouldLookForIt)
{
    const auto missing = [](std::initializer_list<std::pair<const char*, const char*>> variables,
                            const QStringList& arguments = {}) {
        QProcessEnvironment environment;
        for (const auto& [name, value] : variables)
            environment.insert(QString::fromLatin1(name), QString::fromLatin1(value));
        return MissingDisplay(environment, arguments);
    };
    EXPECT_EQ(missing({}), "DISPLAY is not set");
    EXPECT_EQ(missing({{"DISPLAY", ""}}), "DISPLAY is not set");
    EXPECT_EQ(missing({{"DISPLAY", ":0"}}), "");
    EXPECT_EQ(missing({{"WAYLAND_DISPLAY", "wayland-0"}}), "");
    EXPECT_EQ(missing({{"QT_QPA_PLATFORM", "offscreen"}}), "");
    EXPECT_EQ(missing({{"QT_QPA_PLATFORM", "minimal:enable_fonts"}}), "");
    EXPECT_EQ(missing({{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}), "DISPLAY is not set");
    EXPECT_EQ(missing({{"QT_QPA_PLATFORM", "wayland;xcb"}, {"DISPLAY", ":0"}}), "WAYLAND_DISPLAY is not set");
    EXPECT_EQ(missing({}, {"-platform", "offscreen"}), "");
    EXPECT_EQ(missing({{"QT_QPA_PLATFORM", "offscreen"}}, {"-platform", "xcb"}), "DISPLAY is not set");
}

// The program itself, with no display at all.
TEST(CommandLine, TheProgramExportsWithoutADisplay)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(LP_PROGRAM),
                  {"--export-model", folder.filePath("model.geo"), folder.filePath("example.sec")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(program.readAllStandardError().isEmpty());
    QFile table(folder.filePath("model.csv"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    EXPECT_TRUE(table.readAll().startsWith("tag,body,ring,label,resistivity,polarizability,area\n1,0,0,Host medium,"));

    program.start(QStringLiteral(LP_PROGRAM), {"--export-model", folder.filePath("model.geo")});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().startsWith("lithoprism: "));

    program.start(QStringLiteral(LP_PROGRAM), {"--help"});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(program.readAllStandardOutput().contains("--export-model"));
}

// --- Measured data -------------------------------------------------------------------

void WriteFile(const QString& FileName, const QByteArray& Bytes)
{
    QFile file(FileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Bytes);
}

// A measured file of the example's line: Wenner a = 100 over five
// electrodes, a pole-pole datum, one datum with a negative ρa (read, left
// out before the computation), chargeability in mV/V.
const QByteArray MeasuredExample = "# field data\n5\n# x z\n100 0\n200 0\n300 0\n400 0\n500 0\n5\n"
                                   "# a b m n rhoa ip valid\n"
                                   "1 4 2 3 42 30 1\n2 5 3 4 38 25 1\n1 0 2 0 55 12 1\n3 0 4 0 -7 10 1\n"
                                   "1 0 5 0 60 8 0\n";

TEST(CommandLine, ForwardAtMeasuredDataWritesTheComparisonAndPrintsTheMisfit)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    const QString section = folder.filePath("example.sec"), measured = folder.filePath("field.dat");
    WriteFile(measured, MeasuredExample);
    const TProgramRun run = RunProgram({"--forward", folder.filePath("compare.csv"), section, "--data", measured,
                                        "--host-resistivity", "100", "--error", "5"});
    EXPECT_EQ(run.Status, QProcess::NormalExit);
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_EQ(run.Errors, "lithoprism: warning: 1 data of the file are skipped: 1 marked invalid.\n"
                          "lithoprism: warning: 1 datum with an apparent resistivity of 0 or below left out (on line "
                          "14); --drop-negative removes it without this warning\n");
    const QList<QByteArray> rows = FileBytes(folder.filePath("compare.csv")).split('\n');
    ASSERT_EQ(rows.size(), 5); // the header, three data, the last line's end
    EXPECT_EQ(rows[0], "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip,rhoa_measured,ip_measured,error,misfit");
    // The computed k (2πa for the Wenner datum, the file gives none), the
    // measured ip in per cent, the error 5 %, the misfit in per cent.
    const QList<QByteArray> first = rows[1].split(',');
    ASSERT_EQ(first.size(), 15);
    EXPECT_EQ(rows[1].left(24), "1,4,2,3,100,400,200,300,");
    EXPECT_NEAR(first[8].toDouble(), 200 * std::acos(-1.0), 1e-9);
    EXPECT_EQ(first[11], "42");
    EXPECT_EQ(first[12], "3");
    EXPECT_EQ(first[13], "5");
    EXPECT_NEAR(first[14].toDouble(), 100.0 * (first[9].toDouble() - 42.0) / 42.0, 1e-9);
    EXPECT_TRUE(rows[3].startsWith("1,0,2,0,100,,200,,")) << rows[3].toStdString();
    // Standard output: one line of totals, the numbers those of the table.
    double squares = 0.0, chi = 0.0, ip = 0.0;
    for (int r = 1; r <= 3; ++r) {
        const QList<QByteArray> row = rows[r].split(',');
        squares += std::pow(row[14].toDouble() / 100.0, 2);
        chi += std::pow(std::log(row[11].toDouble() / row[9].toDouble()) / 0.05, 2);
        ip += std::pow(row[10].toDouble() - row[12].toDouble(), 2);
    }
    char expected[160];
    std::snprintf(expected, sizeof expected, "3 data (1 skipped): rrms %.2f %%, chi-square %.3g, ip rms %.2f %%\n",
                  100.0 * std::sqrt(squares / 3), chi / 3, std::sqrt(ip / 3));
    EXPECT_EQ(run.Out, QString::fromLatin1(expected));

    // Another name: the computed data in the unified format, at the file's
    // configurations.
    const TCommandRun data = RunCommand({"--forward", folder.filePath("computed.dat"), section, "--data", measured,
                                         "--host-resistivity", "100"});
    EXPECT_EQ(data.Code, 0) << data.Errors.toStdString();
    EXPECT_TRUE(data.Out.startsWith("3 data (1 skipped): rrms ")) << data.Out.toStdString();
    const TSurvey computed = ParseUnifiedData(FileBytes(folder.filePath("computed.dat")).toStdString());
    EXPECT_EQ(computed.Configurations, (std::vector<TConfiguration>{{0, 3, 1, 2}, {1, 4, 2, 3}, {0, -1, 1, -1}}));

    // A file with voltages and currents: --voltage-error adds V/|U| to the
    // relative error, 3 % + 1 mV / 0.5 V.
    const QString voltages = folder.filePath("voltages.dat");
    WriteFile(voltages, "5\n# x z\n100 0\n200 0\n300 0\n400 0\n500 0\n1\n# a b m n u i\n1 4 2 3 0.5 0.1\n");
    const TCommandRun weighted = RunCommand({"--forward", folder.filePath("weighted.csv"), section, "--data",
                                             voltages, "--host-resistivity", "100", "--voltage-error", "0.001"});
    ASSERT_EQ(weighted.Code, 0) << weighted.Errors.toStdString();
    EXPECT_DOUBLE_EQ(FileBytes(folder.filePath("weighted.csv")).split('\n')[1].split(',')[13].toDouble(), 3.2);
}

// Data whose sign disagrees with their geometric factor: turned when
// asked, said in one line; a file of them nearly all is refused with the
// option suggested.
TEST(CommandLine, TurnPolarityTurnsTheDataAndARefusalSuggestsIt)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    const QString section = folder.filePath("example.sec"), measured = folder.filePath("reversed.dat");
    WriteFile(measured, "5\n# x z\n100 0\n200 0\n300 0\n400 0\n500 0\n3\n# a b m n rhoa\n"
                        "1 4 2 3 -42\n2 5 3 4 -38\n1 0 2 0 55\n");
    const QStringList forward{"--forward", folder.filePath("compare.csv"), section, "--data", measured,
                              "--host-resistivity", "100"};
    const TCommandRun turned = RunCommand(forward + QStringList{"--turn-polarity"});
    ASSERT_EQ(turned.Code, 0) << turned.Errors.toStdString();
    EXPECT_EQ(turned.Errors, "turn-polarity: 2 data turned to the sign of their configuration's geometric factor\n");
    EXPECT_TRUE(turned.Out.startsWith("3 data (0 skipped): rrms ")) << turned.Out.toStdString();
    const QString hint = QStringLiteral("(most data disagree in sign with their configuration's geometric factor: "
                                        "when the instrument records no polarity, --turn-polarity turns them)");
    const TCommandRun warned = RunCommand(forward);
    ASSERT_EQ(warned.Code, 0) << warned.Errors.toStdString();
    EXPECT_EQ(warned.Errors, "lithoprism: warning: 2 data with an apparent resistivity of 0 or below left out (first on "
                             "line 10); --drop-negative removes them without this warning " + hint + "\n");
    WriteFile(measured, "5\n# x z\n100 0\n200 0\n300 0\n400 0\n500 0\n2\n# a b m n rhoa\n"
                        "1 4 2 3 -42\n2 5 3 4 -38\n");
    const TCommandRun refused = RunCommand(forward + QStringList{"--drop-negative"});
    EXPECT_EQ(refused.Code, 1);
    EXPECT_EQ(refused.Errors.toStdString(), ("drop-negative: 2 data removed " + hint + "\nlithoprism: No datum is left after the cleaning. Every datum has an apparent "
                              "resistivity of 0 or below: " + hint.mid(1, hint.size() - 2) + ".\n").toStdString());
}

// The river line of resistance magnitudes at nominal places: every datum
// turned as read, the electrodes placed by their positions file (18 under
// the river's bed), the data inverted.
TEST(CommandLine, InvertPlacesTheRiverLinesElectrodesFromTheirFile)
{
    LP_REQUIRE_SHARED_DATA("real/river-prime-electrodes.csv");
    QTemporaryDir folder;
    const QString positions = QString::fromStdString(testing::SharedDataFile("real/river-prime-electrodes.csv"));
    const TCommandRun run =
        RunCommand({"--invert", folder.filePath("river.csv"), QString::fromStdString(testing::SharedDataFile("real/river-prime.dat")),
                    "--electrode-positions", positions, "--error", "3", "--iterations", "1"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_EQ(run.Errors, "lithoprism: warning: The file gives its resistances as magnitudes (none below 0, while 438 of "
                          "438 configurations have a geometric factor below 0): each datum takes its configuration's "
                          "sign, 438 turned.\nelectrode-positions: 32 electrodes placed (columns x, z, buried; 18 "
                          "buried) from " + positions + "\n");
    EXPECT_TRUE(run.Out.contains("inverted: ")) << run.Out.toStdString();
    // A positions file without an electrode the data use is refused by it.
    WriteFile(folder.filePath("short.csv"), "x,z\n0,92\n0.5,92\n");
    const TCommandRun shortFile =
        RunCommand({"--invert", folder.filePath("short.csv.out"), QString::fromStdString(testing::SharedDataFile("real/river-prime.dat")),
                    "--electrode-positions", folder.filePath("short.csv")});
    EXPECT_EQ(shortFile.Code, 1);
    // The file's topography (distances along the surface) gives the nominal places.
    EXPECT_TRUE(shortFile.Errors.contains("The positions file places no electrode 3 (at x = 1.0305 in the data (used "
                                          "first on the data's line 13)): it places 2 electrodes."))
        << shortFile.Errors.toStdString();
}

// Two dates of a real IP line a month apart, weighed by their reciprocals'
// errors (1 to 2 %, far below what the ground's change leaves unexplained):
// the change's λ bounded by its cross-validation, and a trial change beyond
// a factor 10^4 in a cell not computed. The step ran to cells no forward
// computation takes ("A region's resistivity must be a finite number above
// 0.", exit 1); now the series is written, its misfit said.
TEST(CommandLine, TimeLapseOfTwoRealDatesIsWrittenWhereTheChangeOutrunsItsErrors)
{
    LP_REQUIRE_SHARED_DATA("real/syscal-ip-series/17051605.csv");
    QTemporaryDir folder;
    const TCommandRun run = RunCommand(
        {"--timelapse", folder.filePath("series"),
         QString::fromStdString(testing::SharedDataFile("real/syscal-ip-series/17040312.csv")),
         QString::fromStdString(testing::SharedDataFile("real/syscal-ip-series/17051605.csv")), "--reciprocal-error"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    const QRegularExpression step(R"(^step 1: chi-square ([0-9.e+]+), rrms)", QRegularExpression::MultilineOption);
    const QRegularExpressionMatch found = step.match(run.Out);
    ASSERT_TRUE(found.hasMatch()) << run.Out.toStdString();
    EXPECT_TRUE(std::isfinite(found.captured(1).toDouble()));
    EXPECT_TRUE(QFileInfo::exists(folder.filePath("series-1.csv")));
}

TEST(CommandLine, ForwardReadsRes2DInvDataRecognisedOrForced)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    const QString section = folder.filePath("example.sec"), measured = folder.filePath("line.dat");
    WriteFile(measured, "Example line\n100\n1\n2\n0\n0\n100 100 42\n200 100 38\n0\n0\n0\n0\n");
    const QStringList arguments = {"--forward", folder.filePath("out.csv"), section, "--data", measured,
                                   "--host-resistivity", "100"};
    const TCommandRun recognised = RunCommand(arguments);
    EXPECT_EQ(recognised.Code, 0) << recognised.Errors.toStdString();
    EXPECT_TRUE(recognised.Out.startsWith("2 data (0 skipped): rrms ")) << recognised.Out.toStdString();
    EXPECT_EQ(RunCommand(arguments + QStringList{"--format", "res2dinv"}).Code, 0);
    const TCommandRun forced = RunCommand(arguments + QStringList{"--format", "unified"});
    EXPECT_EQ(forced.Code, 1);
    EXPECT_EQ(forced.Errors, "lithoprism: The measured data file \"" + measured +
                                 "\" cannot be read: Line 1: the electrode count is one whole number alone on its "
                                 "line, not \"Example line\".\n");
}

// --forward over the example (host 100 ohm-m) at the measured file Bytes.
TCommandRun ForwardExampleAt(const QTemporaryDir& Folder, const QByteArray& Bytes)
{
    EXPECT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), Folder.filePath("example.sec")));
    const QString measured = Folder.filePath("field.dat");
    WriteFile(measured, Bytes);
    return RunCommand({"--forward", Folder.filePath("out.dat"), Folder.filePath("example.sec"), "--data", measured,
                       "--host-resistivity", "100"});
}

// A datum of 1e-100 ohm-m printed its rrms as a row of 103 digits. Such a
// datum is now skipped as unusable; one of 1e-11 ohm-m, which is kept, still
// gives totals far past what digits can show.
TEST(CommandLine, ForwardPrintsHugeMisfitTotalsInAShortNotation)
{
    QTemporaryDir folder;
    const TCommandRun run = ForwardExampleAt(
        folder, "4\n# x z\n100 0\n200 0\n300 0\n400 0\n2\n# a b m n rhoa\n1 4 2 3 1e-11\n1 4 2 3 40\n");
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(QRegularExpression(R"(^2 data \(0 skipped\): rrms \d(\.\d+)?e1[45] %, chi-square \d(\.\d+)?e[45]\n$)")
                    .match(run.Out)
                    .hasMatch())
        << run.Out.toStdString();
}

TEST(CommandLine, ForwardAtMeasuredDataRefusesWhatItCannotDo)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), folder.filePath("example.sec")));
    const QString section = folder.filePath("example.sec"), measured = folder.filePath("field.dat");
    const QString out = folder.filePath("out.csv");
    WriteFile(measured, MeasuredExample);
    const std::vector<std::pair<QStringList, QString>> wrong = {
        {{"--forward", out, section, "--data", measured, "--scheme", measured},
         "lithoprism: --data and --scheme both give the electrodes and configurations: name one of them (see "
         "lithoprism --help)\n"},
        {{"--forward", out, section, "--data", measured, "--levels", "2"},
         "lithoprism: --data takes the electrodes and configurations from its file: it cannot be combined with "
         "--array, --electrodes, --spacing, --first or --levels (see lithoprism --help)\n"},
        {{"--forward", out, section, "--data", measured, "--error", "0"},
         "lithoprism: --error needs a number above 0, not \"0\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--data", measured, "--format", "csv"},
         "lithoprism: --format is unified, res2dinv, syscal, syscal-bin, syscal-binx, abem, sting, lippmann, das1, "
         "ohmpi, prime, ares or electra, not \"csv\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--error", "5"},
         "lithoprism: --error, --voltage-error, --format, --drop-negative, --drop-outliers, --drop-reciprocal, "
         "--reciprocal-error, --turn-polarity and --electrode-positions go with --data MEASURED (see lithoprism "
         "--help)\n"},
        {{"--forward", out, section, "--data", measured, "--voltage-error", "-0.1"},
         "lithoprism: --voltage-error needs a number of at least 0, not \"-0.1\" (see lithoprism --help)\n"},
        {{"--forward", out, section, "--voltage-error", "0.1"},
         "lithoprism: --error, --voltage-error, --format, --drop-negative, --drop-outliers, --drop-reciprocal, "
         "--reciprocal-error, --turn-polarity and --electrode-positions go with --data MEASURED (see lithoprism "
         "--help)\n"}};
    for (const auto& [arguments, message] : wrong) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.Errors, message);
        EXPECT_EQ(EntriesIn(folder), 2);
    }
    // The measured file named as the output: refused, the file untouched.
    const TCommandRun itself = RunCommand({"--forward", measured, section, "--data", measured, "--host-resistivity", "100"});
    EXPECT_EQ(itself.Code, 1);
    EXPECT_EQ(itself.Errors, "lithoprism: The data file \"" + measured + "\" is the measured data file \"" + measured +
                                 "\": name another file to write. Nothing was written.\n");
    EXPECT_EQ(FileBytes(measured), MeasuredExample);
    // No usable datum; an electrode beyond the model area.
    WriteFile(measured, "2\n0\n100\n1\n# a b m n rhoa\n1 0 2 0 inf\n");
    const TCommandRun none = RunCommand({"--forward", out, section, "--data", measured, "--host-resistivity", "100"});
    EXPECT_EQ(none.Code, 1);
    EXPECT_EQ(none.Errors, "lithoprism: The measured data file \"" + measured + "\" holds no datum that can be used (1 "
                           "skipped: 1 with an apparent resistivity that is not finite, beyond 1e12 ohm-m in size, or "
                           "above 0 but below 1e-12 ohm-m).\n");
    // Its datum below 0: read, then left out, and nothing is left.
    WriteFile(measured, "2\n0\n100\n1\n# a b m n rhoa\n1 0 2 0 -5\n");
    const TCommandRun negative = RunCommand({"--forward", out, section, "--data", measured, "--host-resistivity", "100"});
    EXPECT_EQ(negative.Code, 1);
    EXPECT_EQ(negative.Errors, "lithoprism: warning: 1 datum with an apparent resistivity of 0 or below left out (on "
                               "line 6); --drop-negative removes it without this warning (most data disagree in sign "
                               "with their configuration's geometric factor: when the instrument records no polarity, "
                               "--turn-polarity turns them)\n"
                               "lithoprism: No datum is left after the cleaning. Every datum has an apparent "
                               "resistivity of 0 or below: most data disagree in sign with their configuration's "
                               "geometric factor: when the instrument records no polarity, --turn-polarity turns "
                               "them.\n");
    WriteFile(measured, "2\n0\n1500\n1\n# a b m n rhoa\n1 0 2 0 50\n");
    const TCommandRun outside = RunCommand({"--forward", out, section, "--data", measured, "--host-resistivity", "100"});
    EXPECT_EQ(outside.Code, 1);
    EXPECT_EQ(outside.Errors,
              "lithoprism: Line 3: the electrode at x = 1500 lies outside the model area (x from 0 to 1000).\n");
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_TRUE(none.Out.isEmpty());
}

TEST(CommandLine, ForwardAtMeasuredDataSaysWhenTheElevationsDifferFromTheSurface)
{
    QTemporaryDir folder;
    const TCommandRun run =
        ForwardExampleAt(folder, "3\n# x z\n100 0\n200 4\n300 12.5\n1\n# a b m n rhoa\n1 0 2 3 50\n");
    EXPECT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_EQ(run.Errors, "lithoprism: warning: The file's electrode elevations differ from the section's surface by "
                          "up to 12.5 (electrode 3 at x = 300), more than a tenth of the smallest electrode spacing "
                          "(100): the electrodes stand on the section's surface.\n");
}

// A body's phase reached the forward window but not --forward's file: the
// file now ends in phi (mrad) when a region has a phase, and the file read
// back gives the phases written, the table's phi_mrad the same numbers.
// --phase asks for phi over a ground without any: zeros, said once.
TEST(CommandLine, ForwardWritesTheApparentPhasesOfRegionsWithAPhase)
{
    QTemporaryDir folder;
    const QString section = folder.filePath("phased.sec");
    ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), section));
    const QByteArray bytes = FileBytes(section);
    TSectionModel model;
    ASSERT_TRUE(ReadSectionFile(section, model));
    model.Model[1][0].params[psPhase] = ParamValue(-30.0);
    const QByteArray header = bytes.left(bytes.indexOf("VexaPolyModelDescription2.0"));
    WriteFile(section, header + QByteArray::fromStdString(FormatSectionModelBlock(model)));
    const QStringList layout{"--host-resistivity", "100", "--electrodes", "16", "--levels", "3"};
    const auto forward = [&](const QString& Name, const QString& Section, const QStringList& More) {
        const TCommandRun run = RunCommand(QStringList{"--forward", folder.filePath(Name), Section} + layout + More);
        EXPECT_EQ(run.Code, 0) << run.Errors.toStdString();
        return run;
    };
    EXPECT_TRUE(forward("phased.dat", section, {}).Errors.isEmpty());
    forward("phased.csv", section, {});
    const QList<QByteArray> lines = FileBytes(folder.filePath("phased.dat")).split('\n');
    ASSERT_GE(lines.size(), 21);
    EXPECT_TRUE(lines[0].endsWith(", phi the voltage's phase in mrad (negative when polarizable)"));
    EXPECT_EQ(lines[20], "# a b m n k rhoa ip phi");
    const TMeasuredData read = ReadMeasuredData(FileBytes(folder.filePath("phased.dat")).toStdString());
    const QList<QByteArray> rows = FileBytes(folder.filePath("phased.csv")).trimmed().split('\n');
    EXPECT_EQ(rows[0], "a,b,m,n,xa,xb,xm,xn,k,rhoa,ip_percent,phi_mrad");
    ASSERT_EQ(read.Phases.size(), static_cast<size_t>(rows.size() - 1));
    double strongest = 0.0;
    for (size_t d = 0; d < read.Phases.size(); ++d) {
        EXPECT_EQ(read.Phases[d], rows[static_cast<qsizetype>(d) + 1].split(',').last().toDouble()) << d;
        strongest = std::min(strongest, read.Phases[d]);
    }
    EXPECT_LT(strongest, -1.0); // the body's -30 mrad shows, with the voltage's sign
    // --phase: over the phased body nothing changes; over the example's
    // ground, without a phase, zeros and one line saying so.
    EXPECT_TRUE(forward("asked.dat", section, {"--phase"}).Errors.isEmpty());
    EXPECT_EQ(DataLines(folder.filePath("asked.dat")), DataLines(folder.filePath("phased.dat")));
    const QString plain = QStringLiteral(LP_EXAMPLES_DIR "/example.sec");
    EXPECT_FALSE(forward("plain.dat", plain, {}).Errors.contains("phase"));
    EXPECT_FALSE(FileBytes(folder.filePath("plain.dat")).contains("phi"));
    const TCommandRun zeros = forward("zeros.dat", plain, {"--phase"});
    EXPECT_EQ(zeros.Errors, "lithoprism: --phase: no region of the section has a phase: every apparent phase is 0 (set "
                            "the regions' phases to compute others)\n");
    const std::vector<double> none = ReadMeasuredData(FileBytes(folder.filePath("zeros.dat")).toStdString()).Phases;
    EXPECT_EQ(none, std::vector<double>(none.size(), 0.0));
    EXPECT_FALSE(none.empty());
}

// --- Fitting the regions ---------------------------------------------------------------

// The example's data (16 electrodes, four levels) computed with the host
// medium at 100 ohm-m, and the example beside it: its host has no
// resistivity, so --host-resistivity gives the fit's start.
struct TFitFolder {
    QTemporaryDir folder;
    QString section = folder.filePath("example.sec"), measured = folder.filePath("measured.dat");
    QByteArray sectionBytes;
    TFitFolder()
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), section));
        const TCommandRun forward = RunCommand({"--forward", measured, section, "--host-resistivity", "100",
                                                "--electrodes", "16", "--levels", "4"});
        EXPECT_EQ(forward.Code, 0) << forward.Errors.toStdString();
        sectionBytes = FileBytes(section);
    }
};

TEST(CommandLine, FitWritesTheFittedSectionAndPrintsIterationsAndRegions)
{
    TFitFolder f;
    const QString out = f.folder.filePath("fitted.sec");
    const TCommandRun run = RunCommand({"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "30",
                                        "--fixed", "Lens", "--error", "0.2"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.isEmpty()) << run.Errors.toStdString();
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 10) << run.Out.toStdString();
    EXPECT_TRUE(lines[0].startsWith("iteration 0: chi-square ")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(" %"));
    // Region lines: the host from 30 to 100 within 1 %, the fixed lens as drawn.
    const QString host = lines.filter(QRegularExpression("^host: 30 -> ")).value(0);
    const QRegularExpressionMatch fitted =
        QRegularExpression("^host: 30 -> ([0-9.e+]+) ohm-m \\(x/\u00f7 ([0-9.]+)\\)$").match(host);
    ASSERT_TRUE(fitted.hasMatch()) << run.Out.toStdString();
    EXPECT_NEAR(fitted.captured(1).toDouble(), 100.0, 1.0);
    EXPECT_TRUE(lines.contains("Lens: 300 ohm-m, fixed")) << run.Out.toStdString();
    EXPECT_TRUE(lines.filter(QRegularExpression("^Sandstone: 120 -> ")).size() == 1);
    EXPECT_TRUE(lines.filter(QRegularExpression("^Clay: 5 -> [0-9.]+ %$")).size() == 1) << run.Out.toStdString();
    EXPECT_TRUE(lines.last().startsWith("46 data (0 skipped): rrms ")) << lines.last().toStdString();

    // The section written: the fitted values, everything else as it was; the
    // section read is not written.
    EXPECT_EQ(FileBytes(f.section), f.sectionBytes);
    TSectionModel before, after;
    ASSERT_TRUE(ReadSectionFile(f.section, before));
    ASSERT_TRUE(ReadSectionFile(out, after));
    EXPECT_NEAR(after.Model[0][0].params[psResistivity].AsReal(), fitted.captured(1).toDouble(), 1e-3);
    EXPECT_EQ(after.Model[2][0].params[psResistivity].AsReal(), 300.0);
    ASSERT_EQ(after.Nodes.Length(), before.Nodes.Length());
    for (int i = 0; i < before.Nodes.Length(); ++i)
        EXPECT_EQ(after.Nodes[i].x, before.Nodes[i].x);
    ASSERT_EQ(after.Model.Length(), before.Model.Length());
    for (int b = 0; b < before.Model.Length(); ++b)
        for (int r = 0; r < before.Model[b].Length(); ++r) {
            EXPECT_EQ(after.Model[b][r].ring.Length(), before.Model[b][r].ring.Length());
            EXPECT_EQ(after.Model[b][r].params[psLabelText].AsText(), before.Model[b][r].params[psLabelText].AsText());
        }
    const QList<QByteArray> header = f.sectionBytes.split('\n'), written = FileBytes(out).split('\n');
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(written.value(i), header.value(i)) << "header line " << i + 1;
}

// The measured file's apparent resistivities times exp(0.03 N(0, 1)),
// seeded (Box–Muller over the standard's fixed engine).
void AddNoise(const QString& FileName, unsigned Seed)
{
    std::mt19937 random(Seed);
    const auto uniform = [&] { return (static_cast<double>(random()) + 0.5) / 4294967296.0; };
    QList<QByteArray> lines = FileBytes(FileName).split('\n');
    qsizetype rhoa = -1;
    for (QByteArray& line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (line.startsWith("# a b m n")) {
            rhoa = fields.indexOf("rhoa") - 1; // less the "#"
            continue;
        }
        if (rhoa < 0 || fields.size() <= rhoa || line.startsWith('#'))
            continue;
        QList<QByteArray> noisy = fields;
        const double gauss = std::sqrt(-2.0 * std::log(uniform())) * std::cos(2.0 * std::numbers::pi * uniform());
        noisy[rhoa] = QByteArray::number(fields[rhoa].toDouble() * std::exp(0.03 * gauss), 'g', 17);
        line = noisy.join(' ');
    }
    ASSERT_GE(rhoa, 0);
    WriteFile(FileName, lines.join('\n'));
}

// A well-determined region's factor 1.0033 was printed "x/÷ 1.00", an
// interval that held the truth in none of 40 noise realisations.
TEST(CommandLine, FitPrintsUncertaintyFactorsWithTheirDigitsAndWhyItStopped)
{
    TFitFolder f;
    AddNoise(f.measured, 5);
    const QString out = f.folder.filePath("fitted.sec");
    const TCommandRun run = RunCommand({"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "30",
                                        "--fixed", "Lens"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains("stopped: The values no longer change.")) << run.Out.toStdString();
    const QRegularExpression fitted("^(host|Sandstone|Clay): [0-9.]+ -> [0-9.e]+ ohm-m \\(x/\u00f7 (1\\.(\\d+))\\)$");
    int regions = 0;
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = fitted.match(line);
        if (!match.hasMatch())
            continue;
        ++regions;
        // Two significant digits of F - 1 (or two decimals from 1.1 up).
        const double factor = match.captured(2).toDouble();
        EXPECT_GT(factor, 1.0) << line.toStdString();
        const QString decimals = match.captured(3);
        const qsizetype zeros = decimals.indexOf(QRegularExpression("[1-9]"));
        EXPECT_EQ(decimals.size(), std::max<qsizetype>(2, zeros + 2)) << line.toStdString();
    }
    EXPECT_EQ(regions, 3) << run.Out.toStdString();
}

TEST(CommandLine, FitRefusalsWriteNothingAndLeaveAnOldOutput)
{
    TFitFolder f;
    const QString out = f.folder.filePath("fitted.sec");
    WriteFile(out, "an older file");
    const std::vector<std::pair<QStringList, QString>> wrong = {
        {{"--fit", out, f.section}, "lithoprism: --fit needs the measured data: --data MEASURED (see lithoprism --help)\n"},
        {{"--fit", out, "--data", f.measured}, "lithoprism: --fit needs two names: OUT.sec SECTION.sec (see lithoprism --help)\n"},
        {{"--fit", out, f.section, "--data", f.measured, "--levels", "3"},
         "lithoprism: unknown option --levels for --fit (see lithoprism --help)\n"},
        {{"--fit", out, f.section, "--data", f.measured, "--free", "Clay", "--fixed", "Clay"},
         "lithoprism: region \"Clay\" cannot be both --free and --fixed (see lithoprism --help)\n"},
        {{"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "100", "--fixed", "Granite"},
         "lithoprism: the section has no region \"Granite\" (its regions: host, Sandstone, Clay, Lens) (see lithoprism "
         "--help)\n"}};
    for (const auto& [arguments, message] : wrong) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.Errors, message);
        EXPECT_TRUE(run.Out.isEmpty());
    }
    // Failures: the section named as the output, a host without a start,
    // every region fixed, data that cannot be read.
    const TCommandRun itself = RunCommand({"--fit", f.section, f.section, "--data", f.measured, "--host-resistivity", "100"});
    EXPECT_EQ(itself.Code, 1);
    EXPECT_EQ(itself.Errors, "lithoprism: The section file to write \"" + f.section + "\" is the section file \"" +
                                 f.section + "\": name another file to write. Nothing was written.\n");
    const TCommandRun noHost = RunCommand({"--fit", out, f.section, "--data", f.measured});
    EXPECT_EQ(noHost.Code, 1);
    EXPECT_TRUE(noHost.Errors.contains("--host-resistivity")) << noHost.Errors.toStdString();
    const TCommandRun allFixed = RunCommand({"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "100",
                                             "--free", "host", "--fixed", "host"});
    EXPECT_EQ(allFixed.Code, 2);
    const TCommandRun noneFree = RunCommand({"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "100",
                                             "--fixed", "host,Sandstone,Clay,Lens"});
    EXPECT_EQ(noneFree.Code, 1);
    EXPECT_EQ(noneFree.Errors, "lithoprism: No region is free to fit.\n");
    WriteFile(f.measured, "3\n# x z\n");
    const TCommandRun unreadable = RunCommand({"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "100"});
    EXPECT_EQ(unreadable.Code, 1);
    EXPECT_TRUE(unreadable.Errors.startsWith("lithoprism: The measured data file")) << unreadable.Errors.toStdString();
    EXPECT_EQ(FileBytes(out), "an older file");
    EXPECT_EQ(FileBytes(f.section), f.sectionBytes);
}

TEST(CommandLine, FitWithFreeRegionsFitsOnlyThoseAndReplacesAnOldOutput)
{
    TFitFolder f;
    const QString out = f.folder.filePath("fitted.sec");
    WriteFile(out, "an older file");
    const TCommandRun run = RunCommand({"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "100",
                                        "--free", "Sandstone,Clay"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Out.contains("\nhost: 100 ohm-m, fixed\n")) << run.Out.toStdString();
    EXPECT_TRUE(run.Out.contains("\nLens: 300 ohm-m, fixed\n"));
    TSectionModel after;
    ASSERT_TRUE(ReadSectionFile(out, after));
    // The host had no resistivity in the section and stays without one.
    EXPECT_TRUE(after.Model[0][0].params[psResistivity].IsEmpty());
    const TCommandRun help = RunCommand({"--help"});
    EXPECT_TRUE(help.Out.contains("--fit OUT.sec SECTION.sec --data MEASURED [options]"));
    for (const char* option : {"--free LABEL,...", "--fixed LABEL,..."})
        EXPECT_TRUE(help.Out.contains(QString::fromLatin1(option))) << option;
}

TEST(CommandLine, FitTakesFixedRegionsAndBoundsFromTheSection)
{
    TFitFolder f;
    // The sandstone fixed and the clay (15 ohm-m in the data) bounded to
    // 20 .. 40 in the section file, as the table of regions keeps them.
    TSectionModel section;
    ASSERT_TRUE(ReadSectionFile(f.section, section));
    section.Model[1][0].params[psFit] = ParamValue(1.0);
    section.Model[1][1].params[psLowest] = ParamValue(20.0);
    section.Model[1][1].params[psHighest] = ParamValue(40.0);
    const QByteArray header = f.sectionBytes.left(f.sectionBytes.indexOf("VexaPolyModelDescription2.0"));
    WriteFile(f.section, header + QByteArray::fromStdString(FormatSectionModelBlock(section)));
    const QString out = f.folder.filePath("fitted.sec");
    const TCommandRun run = RunCommand({"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "100"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Out.contains("\nSandstone: 120 ohm-m, fixed\n")) << run.Out.toStdString();
    const QRegularExpressionMatch clay =
        QRegularExpression("\nClay: 15 -> ([0-9.e+]+) ohm-m ").match(run.Out);
    ASSERT_TRUE(clay.hasMatch()) << run.Out.toStdString();
    EXPECT_GT(clay.captured(1).toDouble(), 20.0);
    EXPECT_LT(clay.captured(1).toDouble(), 40.0);
    // --free overrides the section's fixed region.
    const TCommandRun free = RunCommand({"--fit", out, f.section, "--data", f.measured, "--host-resistivity", "100",
                                         "--free", "Sandstone"});
    ASSERT_EQ(free.Code, 0) << free.Errors.toStdString();
    EXPECT_TRUE(free.Out.contains("\nSandstone: 120 -> ")) << free.Out.toStdString();
    EXPECT_TRUE(free.Out.contains("\nClay: 15 ohm-m, fixed\n"));
}

// --- Water held -------------------------------------------------------------------------

// A line of 24 electrodes 2 m apart on the bottom of 3 m of 15 ohm-m water
// over 100 ohm-m over 300 ohm-m from 13 m (the lake of the forward tests),
// dipole-dipole n = 1 .. 6, the program's own response with 3 % seeded
// noise.
struct TLakeFolder {
    QTemporaryDir folder;
    QString measured = folder.filePath("lake.dat");
    const QString water = QStringLiteral(LP_FORWARD_DATA_DIR "/lake-water.sec");   // the water marked as water
    const QString unmarked = QStringLiteral(LP_FORWARD_DATA_DIR "/lake-bottom.sec"); // the same ground, not marked
    TLakeFolder()
    {
        QByteArray scheme = "24\n# x z\n";
        for (int e = 0; e < 24; ++e)
            scheme += QByteArray::number(26 + 2 * e) + " -3\n";
        QByteArray rows;
        int count = 0;
        for (int n = 1; n <= 6; ++n)
            for (int a = 1; a + n + 2 <= 24; ++a, ++count)
                rows += QStringLiteral("%1 %2 %3 %4\n").arg(a).arg(a + 1).arg(a + n + 1).arg(a + n + 2).toLatin1();
        WriteFile(folder.filePath("scheme.dat"), scheme + QByteArray::number(count) + "\n# a b m n\n" + rows + "0\n");
        const TCommandRun forward = RunCommand({"--forward", measured, water, "--scheme", folder.filePath("scheme.dat")});
        EXPECT_EQ(forward.Code, 0) << forward.Errors.toStdString();
        // Each ρa (the last of "a b m n k rhoa") times 1 + 3 % of a normal deviate.
        std::mt19937 random(11);
        std::normal_distribution<double> deviate(0.0, 0.03);
        QList<QByteArray> lines = FileBytes(measured).split('\n');
        for (QByteArray& line : lines) {
            QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() != 6 || line.startsWith('#'))
                continue;
            fields[5] = QByteArray::number(fields[5].toDouble() * (1.0 + deviate(random)), 'g', 17);
            line = fields.join(' ');
        }
        WriteFile(measured, lines.join('\n'));
    }
};

struct TLakeCell {
    double Depth = 0.0, Bottom = 0.0; // centre and lower edge, m below the water's surface
    double Resistivity = 0.0, Coverage = 0.0;
};

std::vector<TLakeCell> LakeCells(const QString& Table)
{
    std::vector<TLakeCell> cells;
    const QList<QByteArray> rows = FileBytes(Table).trimmed().split('\n');
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        const double x = (v[0].toDouble() + v[1].toDouble()) / 2.0;
        if (x > 26.0 && x < 72.0) // between the outermost electrodes
            cells.push_back({(v[2].toDouble() + v[3].toDouble()) / 2.0, v[3].toDouble(), v[4].toDouble(), v[6].toDouble()});
    }
    return cells;
}

// The sediment's well-covered cells (centre 3 m to 13 m deep, coverage at
// least a fifth of the best covered sediment cell's): their lowest and
// highest resistivity.
std::pair<double, double> SedimentRange(const std::vector<TLakeCell>& Cells)
{
    double best = 0.0;
    for (const TLakeCell& cell : Cells)
        if (cell.Depth > 3.0 && cell.Depth < 13.0)
            best = std::max(best, cell.Coverage);
    double low = 1e30, high = 0.0;
    for (const TLakeCell& cell : Cells)
        if (cell.Depth > 3.0 && cell.Depth < 13.0 && cell.Coverage >= 0.2 * best) {
            low = std::min(low, cell.Resistivity);
            high = std::max(high, cell.Resistivity);
        }
    return {low, high};
}

// Without the water held, the cells under the lake bottom share its low
// resistivity: the line sees the water beside it in every datum. Marked as
// water, its cells (the rows down to the bottom, laid there because the
// electrodes lie buried below the section's surface) are held at 15 ohm-m
// and the sediment comes out within 20 % of its 100 ohm-m.
TEST(CommandLine, InvertsALakeLineWithTheWaterHeld)
{
    TLakeFolder f;
    const QString held = f.folder.filePath("held.csv"), free = f.folder.filePath("free.csv");
    const TCommandRun run = RunCommand({"--invert", held, f.measured, "--section", f.water});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Out.contains("held: 150 cells\n")) << run.Out.toStdString(); // 3 rows of 50 columns
    EXPECT_TRUE(run.Out.contains("stopped: Chi-square reached 1.")) << run.Out.toStdString();
    int water = 0;
    for (const TLakeCell& cell : LakeCells(held))
        if (cell.Depth < 3.0) {
            ++water;
            EXPECT_EQ(cell.Resistivity, 15.0);
            EXPECT_LE(cell.Bottom, 3.0 + 1e-9) << "a held cell reaches below the lake bottom";
        }
    EXPECT_GT(water, 0);
    const auto [heldLow, heldHigh] = SedimentRange(LakeCells(held));
    EXPECT_GE(heldLow, 80.0);
    EXPECT_LE(heldHigh, 120.0);

    const TCommandRun unheld = RunCommand({"--invert", free, f.measured, "--section", f.unmarked});
    ASSERT_EQ(unheld.Code, 0) << unheld.Errors.toStdString();
    EXPECT_FALSE(unheld.Out.contains("held:"));
    const auto [freeLow, freeHigh] = SedimentRange(LakeCells(free));
    std::printf("sediment (well-covered cells): water held %.1f .. %.1f ohm-m, not held %.1f .. %.1f ohm-m\n", heldLow,
                heldHigh, freeLow, freeHigh);
    EXPECT_LT(freeLow, 50.0) << "the unheld inversion no longer lets the water leak into the sediment";
}

// --fixed holds the regions it names as drawn: the lake's unmarked water
// named by its label is held as the marked water is. An unknown label is
// refused naming it and the regions there are; --fixed needs --section.
TEST(CommandLine, InvertHoldsTheRegionsFixedNamesAndRefusesAnUnknownLabel)
{
    TLakeFolder f;
    const QString out = f.folder.filePath("fixed.csv");
    const TCommandRun fixed =
        RunCommand({"--invert", out, f.measured, "--section", f.unmarked, "--fixed", "Water", "--iterations", "1"});
    ASSERT_EQ(fixed.Code, 0) << fixed.Errors.toStdString();
    EXPECT_TRUE(fixed.Out.contains("held: 150 cells\n")) << fixed.Out.toStdString();
    for (const TLakeCell& cell : LakeCells(out)) {
        if (cell.Depth < 3.0) {
            EXPECT_EQ(cell.Resistivity, 15.0);
        }
    }
    // The host medium by its name: the four rows under the water.
    const TCommandRun host = RunCommand(
        {"--invert", out, f.measured, "--section", f.unmarked, "--fixed", "host", "--iterations", "1"});
    ASSERT_EQ(host.Code, 0) << host.Errors.toStdString();
    EXPECT_TRUE(host.Out.contains("held: 200 cells\n")) << host.Out.toStdString();
    // The bedrock from 13 m lies below the cells (9 m deep): said, nothing held.
    const TCommandRun deep = RunCommand(
        {"--invert", out, f.measured, "--section", f.unmarked, "--fixed", "Bedrock", "--iterations", "1"});
    ASSERT_EQ(deep.Code, 0) << deep.Errors.toStdString();
    EXPECT_FALSE(deep.Out.contains("held:")) << deep.Out.toStdString();
    EXPECT_TRUE(deep.Errors.contains("warning: no cell's centre lies in region \"Bedrock\": nothing of it is held."))
        << deep.Errors.toStdString();

    const QByteArray before = FileBytes(out);
    const TCommandRun unknown = RunCommand({"--invert", out, f.measured, "--section", f.unmarked, "--fixed", "Water,Lake"});
    EXPECT_EQ(unknown.Code, 2);
    EXPECT_TRUE(unknown.Errors.contains("the section has no region \"Lake\" (its regions: host, Water, Bedrock)"))
        << unknown.Errors.toStdString();
    EXPECT_TRUE(unknown.Out.isEmpty());
    EXPECT_EQ(FileBytes(out), before) << "the old output was touched";
    const TCommandRun alone = RunCommand({"--invert", out, f.measured, "--fixed", "Water"});
    EXPECT_EQ(alone.Code, 2);
    EXPECT_TRUE(alone.Errors.contains("--fixed goes with --section")) << alone.Errors.toStdString();
    const TCommandRun empty = RunCommand({"--invert", out, f.measured, "--section", f.unmarked, "--fixed", ","});
    EXPECT_EQ(empty.Code, 2);
    const TCommandRun series = RunCommand({"--timelapse", out, f.measured, f.measured, "--fixed", "Water"});
    EXPECT_EQ(series.Code, 2);
    const TCommandRun help = RunCommand({"--help"});
    EXPECT_TRUE(help.Out.contains("--fixed LABEL,...   with --section: hold these regions")) << help.Out.toStdString();
}

} // namespace
} // namespace lp

// --- Inversion -------------------------------------------------------------------------

namespace lp {
namespace {

// Measured data over the plain block (a 25 ohm-m block 150 .. 250 m, 10 ..
// 50 m deep, in 100 ohm-m), computed by --forward: 16 electrodes 20 m apart.
QString BlockData(const QTemporaryDir& Folder)
{
    const QString data = Folder.filePath("block.dat");
    const TCommandRun run = RunCommand({"--forward", data, QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec"),
                                        "--electrodes", "16", "--first", "50", "--spacing", "20", "--levels", "4"});
    EXPECT_EQ(run.Code, 0) << run.Errors.toStdString();
    return data;
}

// The block's data with the reciprocals of its first five data (the
// dipoles exchanged; four within 1 %, one 30 % off) and one datum three
// times too high.
QString DataWithReciprocals(const QTemporaryDir& Folder)
{
    QStringList lines = QString::fromUtf8(FileBytes(BlockData(Folder))).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    EXPECT_GT(header, 0);
    const int count = lines[header - 1].toInt();
    QStringList extra;
    for (int i = 0; i < 5; ++i) {
        const QStringList v = lines[header + 1 + i].split(' ');
        const double factor = i == 2 ? 1.3 : 1.0 + 0.002 * i;
        extra << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(v[2], v[3], v[0], v[1], v[4]).arg(v[5].toDouble() * factor, 0, 'g', 17);
    }
    QStringList spiked = lines[header + 20].split(' ');
    spiked[5] = QString::number(spiked[5].toDouble() * 3.0, 'g', 17);
    lines[header + 20] = spiked.join(' ');
    lines[header - 1] = QString::number(count + 5);
    for (qsizetype i = 0; i < extra.size(); ++i)
        lines.insert(header + 1 + count + i, extra[i]);
    const QString file = Folder.filePath("reciprocals.dat");
    WriteFile(file, lines.join('\n').toUtf8());
    return file;
}

TEST(CommandLine, MeasuredDataCleanedOfBadReciprocalsAndOutliersWithTheErrorOfThePairs)
{
    QTemporaryDir folder;
    const QString data = DataWithReciprocals(folder), table = folder.filePath("compare.csv");
    const QString section = QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec");
    const TCommandRun run = RunCommand({"--forward", table, section, "--data", data, "--drop-reciprocal", "5",
                                        "--reciprocal-error", "--drop-outliers", "4"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    const QStringList said = run.Errors.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(said.size(), 3) << run.Errors.toStdString();
    EXPECT_EQ(said[0], "drop-reciprocal: 2 data removed (1 of 5 pairs beyond 5 %)");
    EXPECT_TRUE(said[1].startsWith("reciprocal-error: 4 pairs: |dR| = ")) << said[1].toStdString();
    EXPECT_TRUE(said[1].endsWith(" of |R|, the error of their 8 data")) << said[1].toStdString();
    EXPECT_EQ(said[2], "drop-outliers: 1 data removed");
    // 46 + 5 data, less the bad pair and the outlier; the summary counts them.
    const QList<QByteArray> rows = FileBytes(table).trimmed().split('\n');
    EXPECT_EQ(rows.size(), 1 + 46 + 5 - 2 - 1);
    EXPECT_TRUE(run.Out.startsWith("48 data (0 skipped)")) << run.Out.toStdString();
    // The paired data carry the fitted error (well below the default 3 %),
    // the others the default.
    int fitted = 0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const double error = rows[r].split(',')[13].toDouble();
        if (std::fabs(error - 3.0) > 1e-9) {
            EXPECT_LT(error, 1.0) << rows[r].toStdString();
            ++fitted;
        }
    }
    EXPECT_EQ(fitted, 8);

    // The same cleaning before an inversion and a fit.
    const TCommandRun inverted = RunCommand({"--invert", folder.filePath("image.csv"), data, "--iterations", "1",
                                             "--drop-outliers", "4", "--drop-reciprocal", "5"});
    ASSERT_EQ(inverted.Code, 0) << inverted.Errors.toStdString();
    EXPECT_TRUE(inverted.Errors.contains("drop-outliers: 1 data removed")) << inverted.Errors.toStdString();
    const TCommandRun fitted2 = RunCommand({"--fit", folder.filePath("fitted.sec"), section, "--data", data,
                                            "--reciprocal-error"});
    ASSERT_EQ(fitted2.Code, 0) << fitted2.Errors.toStdString();
    EXPECT_TRUE(fitted2.Errors.startsWith("reciprocal-error: 5 pairs")) << fitted2.Errors.toStdString();
}

// The data of DataWithReciprocals with three apparent resistivities of 0
// or below (two negated, one 0) among the data without a reciprocal; the
// first on the file's line FirstLine.
QString DataWithNonPositive(const QTemporaryDir& Folder, int& FirstLine)
{
    QStringList lines = QString::fromUtf8(FileBytes(DataWithReciprocals(Folder))).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    for (qsizetype row : {header + 8, header + 12, header + 30}) {
        QStringList v = lines[row].split(' ');
        v[5] = row == header + 12 ? QStringLiteral("0") : QString::number(-v[5].toDouble(), 'g', 17);
        lines[row] = v.join(' ');
    }
    FirstLine = static_cast<int>(header + 8) + 1;
    const QString file = Folder.filePath("nonpositive.dat");
    WriteFile(file, lines.join('\n').toUtf8());
    return file;
}

// Data of ρa 0 or below are left out before any computation: with
// --drop-negative, first of the cleaning steps, said as a step; without it
// with a warning naming the first one's line. The summary counts the data
// used.
TEST(CommandLine, DataOfZeroOrBelowAreDroppedFirstOrLeftOutWithAWarning)
{
    QTemporaryDir folder;
    int first = 0;
    const QString data = DataWithNonPositive(folder, first), table = folder.filePath("compare.csv");
    const QString section = QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec");
    const QStringList cleaning = {"--drop-reciprocal", "5", "--reciprocal-error", "--drop-outliers", "4"};
    const QString warning = QStringLiteral("lithoprism: warning: 3 data with an apparent resistivity of 0 or below "
                                           "left out (first on line %1); --drop-negative removes them without this "
                                           "warning").arg(first);
    for (const bool drop : {true, false}) {
        QStringList arguments = {"--forward", table, section, "--data", data};
        arguments << cleaning;
        if (drop)
            arguments.insert(5, "--drop-negative"); // before the others: it still runs first
        const TCommandRun run = RunCommand(arguments);
        ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
        const QStringList said = run.Errors.split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(said.size(), 4) << run.Errors.toStdString();
        EXPECT_EQ(said[0], drop ? QStringLiteral("drop-negative: 3 data removed") : warning);
        EXPECT_EQ(said[1], "drop-reciprocal: 2 data removed (1 of 5 pairs beyond 5 %)");
        EXPECT_TRUE(said[2].startsWith("reciprocal-error: 4 pairs: |dR| = ")) << said[2].toStdString();
        EXPECT_EQ(said[3], "drop-outliers: 1 data removed");
        // 46 + 5 data, less the three, the bad pair and the outlier.
        const QList<QByteArray> rows = FileBytes(table).trimmed().split('\n');
        EXPECT_EQ(rows.size(), 1 + 46 + 5 - 3 - 2 - 1);
        for (qsizetype r = 1; r < rows.size(); ++r)
            EXPECT_GT(rows[r].split(',')[11].toDouble(), 0.0) << rows[r].toStdString();
        EXPECT_TRUE(run.Out.startsWith("45 data (0 skipped)")) << run.Out.toStdString();
    }
    // Without other cleaning; "0 data removed" said too.
    const TCommandRun plain = RunCommand({"--forward", table, section, "--data", data});
    ASSERT_EQ(plain.Code, 0) << plain.Errors.toStdString();
    EXPECT_EQ(plain.Errors, warning + "\n");
    EXPECT_TRUE(plain.Out.startsWith("48 data (0 skipped)")) << plain.Out.toStdString();
    const TCommandRun none = RunCommand({"--forward", table, section, "--data", BlockData(folder), "--drop-negative"});
    ASSERT_EQ(none.Code, 0) << none.Errors.toStdString();
    EXPECT_EQ(none.Errors, "drop-negative: 0 data removed\n");
    EXPECT_TRUE(none.Out.startsWith("46 data (0 skipped)")) << none.Out.toStdString();
    // One datum: named alone.
    QStringList lines = QString::fromUtf8(FileBytes(BlockData(folder))).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    QStringList v = lines[header + 3].split(' ');
    v[5] = QStringLiteral("-12.5");
    lines[header + 3] = v.join(' ');
    const QString one = folder.filePath("one.dat");
    WriteFile(one, lines.join('\n').toUtf8());
    const TCommandRun single = RunCommand({"--forward", table, section, "--data", one});
    ASSERT_EQ(single.Code, 0) << single.Errors.toStdString();
    EXPECT_EQ(single.Errors, QStringLiteral("lithoprism: warning: 1 datum with an apparent resistivity of 0 or below "
                                            "left out (on line %1); --drop-negative removes it without this "
                                            "warning\n").arg(header + 4));
    EXPECT_TRUE(single.Out.startsWith("45 data (0 skipped)")) << single.Out.toStdString();

    // The inversion and the fit take the option and leave the data out without it.
    const TCommandRun inverted = RunCommand({"--invert", folder.filePath("image.csv"), data, "--iterations", "1",
                                             "--drop-outliers", "4", "--drop-negative"});
    ASSERT_EQ(inverted.Code, 0) << inverted.Errors.toStdString();
    EXPECT_TRUE(inverted.Errors.startsWith("drop-negative: 3 data removed\ndrop-outliers: 1 data removed\n"))
        << inverted.Errors.toStdString();
    const TCommandRun invertedPlain = RunCommand({"--invert", folder.filePath("image.csv"), data, "--iterations", "1"});
    ASSERT_EQ(invertedPlain.Code, 0) << invertedPlain.Errors.toStdString();
    EXPECT_TRUE(invertedPlain.Errors.startsWith(warning + "\n")) << invertedPlain.Errors.toStdString();
    const TCommandRun fitted = RunCommand({"--fit", folder.filePath("fitted.sec"), section, "--data", data,
                                           "--drop-negative", "--reciprocal-error"});
    ASSERT_EQ(fitted.Code, 0) << fitted.Errors.toStdString();
    EXPECT_TRUE(fitted.Errors.startsWith("drop-negative: 3 data removed\nreciprocal-error: 5 pairs"))
        << fitted.Errors.toStdString();
    const TCommandRun fittedPlain = RunCommand({"--fit", folder.filePath("fitted.sec"), section, "--data", data});
    ASSERT_EQ(fittedPlain.Code, 0) << fittedPlain.Errors.toStdString();
    EXPECT_TRUE(fittedPlain.Errors.startsWith(warning + "\n")) << fittedPlain.Errors.toStdString();
    EXPECT_TRUE(fittedPlain.Out.contains("48 data (0 skipped)")) << fittedPlain.Out.toStdString();
    // Every datum 0 or below: nothing left to compute with.
    for (qsizetype row = header + 1; lines[row].split(' ').size() >= 6; ++row) {
        QStringList w = lines[row].split(' ');
        w[5] = QStringLiteral("0");
        lines[row] = w.join(' ');
    }
    WriteFile(one, lines.join('\n').toUtf8());
    const TCommandRun nothing = RunCommand({"--forward", folder.filePath("nothing.dat"), section, "--data", one,
                                            "--drop-negative"});
    EXPECT_EQ(nothing.Code, 1);
    EXPECT_TRUE(nothing.Errors.contains("No datum is left after the cleaning.")) << nothing.Errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("nothing.dat")));
}

TEST(CommandLine, CleaningThatCannotBeDoneIsRefused)
{
    QTemporaryDir folder;
    const QString section = QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec");
    const QString data = BlockData(folder);
    // Without measured data there is nothing to clean.
    EXPECT_EQ(RunCommand({"--forward", folder.filePath("a.dat"), section, "--drop-outliers", "3"}).Code, 2);
    EXPECT_EQ(RunCommand({"--forward", folder.filePath("a.dat"), section, "--reciprocal-error"}).Code, 2);
    EXPECT_EQ(RunCommand({"--forward", folder.filePath("a.dat"), section, "--drop-negative"}).Code, 2);
    EXPECT_EQ(RunCommand({"--invert", folder.filePath("b.csv"), data, "--drop-outliers", "0"}).Code, 2);
    EXPECT_EQ(RunCommand({"--invert", folder.filePath("b.csv"), data, "--drop-reciprocal", "-1"}).Code, 2);
    // No pair to fit an error model to: said, nothing written.
    const TCommandRun run = RunCommand({"--invert", folder.filePath("b.csv"), data, "--reciprocal-error"});
    EXPECT_EQ(run.Code, 1);
    EXPECT_TRUE(run.Errors.contains("no reciprocal pair")) << run.Errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("b.csv")));
}

TEST(CommandLine, InvertWritesOneRowPerCellAndPrintsEachIteration)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder), out = folder.filePath("image.csv");
    WriteFile(out, "old table\n");
    const TCommandRun run = RunCommand({"--invert", out, data, "--error", "2", "--iterations", "6"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_EQ(run.Errors, QString());
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    const QRegularExpression iteration(R"(^iteration (\d+): chi-square [0-9.e+]+, rrms \d+\.\d\d %, lambda [0-9.e+]+$)");
    for (qsizetype i = 0; i + 2 < lines.size(); ++i) {
        const QRegularExpressionMatch match = iteration.match(lines[i]);
        ASSERT_TRUE(match.hasMatch()) << lines[i].toStdString();
        EXPECT_EQ(match.captured(1).toInt(), i + 1);
    }
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("stopped: ")) << run.Out.toStdString();
    const QRegularExpression final(R"(^inverted: (\d+) cells, chi-square ([0-9.e+]+), rrms (\d+\.\d\d) %$)");
    const QRegularExpressionMatch last = final.match(lines.back());
    ASSERT_TRUE(last.hasMatch()) << lines.back().toStdString();
    EXPECT_LT(last.captured(2).toDouble(), 2.0);
    // The old file replaced: the header, one row per cell.
    const QList<QByteArray> rows = FileBytes(out).trimmed().split('\n');
    ASSERT_EQ(rows.size(), last.captured(1).toInt() + 1);
    EXPECT_EQ(rows[0], "x1,x2,z1,z2,resistivity,chargeability,coverage");
    double lowest = 1e300, lowestX = 0, lowestZ = 0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        ASSERT_EQ(v.size(), 7);
        EXPECT_LT(v[0].toDouble(), v[1].toDouble());
        EXPECT_LT(v[2].toDouble(), v[3].toDouble());
        EXPECT_GT(v[4].toDouble(), 0.0);
        EXPECT_TRUE(v[5].isEmpty()); // no chargeability in the data
        EXPECT_GE(v[6].toDouble(), 0.0);
        EXPECT_LE(v[6].toDouble(), 1.0);
        if (v[4].toDouble() < lowest) {
            lowest = v[4].toDouble();
            lowestX = (v[0].toDouble() + v[1].toDouble()) / 2;
            lowestZ = (v[2].toDouble() + v[3].toDouble()) / 2;
        }
    }
    // Without a section the cells span the electrodes padded by two spacings.
    EXPECT_EQ(rows[1].split(',')[0].toDouble(), 10.0);
    EXPECT_EQ(rows.back().split(',')[1].toDouble(), 390.0);
    // The conductive block shows where it is.
    EXPECT_GT(lowestX, 140.0);
    EXPECT_LT(lowestX, 260.0);
    EXPECT_LT(lowestZ, 60.0);
    EXPECT_LT(lowest, 80.0);
}

// Phases in a bare ip column: a chargeability unless --ip-is-phase says
// otherwise; then inverted after the resistivity (--phase-error), the cell
// table ending in their column and the phases' χ² printed.
TEST(CommandLine, InvertWithIpIsPhaseInvertsThePhasesIntoTheirColumn)
{
    QTemporaryDir folder;
    QStringList lines = QString::fromUtf8(FileBytes(BlockData(folder))).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    ASSERT_GT(header, 0);
    lines[header] += QStringLiteral(" ip");
    for (qsizetype i = header + 1; i < lines.size() && lines[i] != QStringLiteral("0"); ++i)
        lines[i] += QStringLiteral(" 6");
    const QString data = folder.filePath("phases.dat"), out = folder.filePath("image.csv");
    WriteFile(data, lines.join('\n').toUtf8());
    const TCommandRun charged = RunCommand({"--invert", out, data, "--iterations", "3"});
    ASSERT_EQ(charged.Code, 0) << charged.Errors.toStdString();
    EXPECT_FALSE(charged.Out.contains("phases:"));
    EXPECT_TRUE(FileBytes(out).startsWith("x1,x2,z1,z2,resistivity,chargeability,coverage\n"));

    const TCommandRun run =
        RunCommand({"--invert", out, data, "--iterations", "3", "--ip-is-phase", "--phase-error", "0.2"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(QRegularExpression(R"(\nphases: chi-square [0-9.e+]+\n)").match(run.Out).hasMatch())
        << run.Out.toStdString();
    const QList<QByteArray> rows = FileBytes(out).trimmed().split('\n');
    ASSERT_EQ(rows[0], "x1,x2,z1,z2,resistivity,chargeability,coverage,phase");
    double deepest = 0.0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        ASSERT_EQ(v.size(), 8);
        EXPECT_TRUE(v[5].isEmpty()); // the ip was no chargeability
        EXPECT_LE(v[7].toDouble(), 0.0);
        deepest = std::min(deepest, v[7].toDouble());
        // A ground of one phase, -6 mrad, where the data see (the upper cells under the line).
        if (v[6].toDouble() > 0.3)
            EXPECT_NEAR(v[7].toDouble(), -6.0, 1.0) << rows[r].toStdString();
    }
    EXPECT_LT(deepest, -5.0);
    // The phases' error: a number from 0.001 to 1000 mrad; a series takes no phases yet.
    for (const QString value : {"0", "-1", "nan"}) {
        const TCommandRun refused = RunCommand({"--invert", out, data, "--ip-is-phase", "--phase-error", value});
        EXPECT_EQ(refused.Code, 2);
        EXPECT_EQ(refused.Errors.toStdString(), "lithoprism: --phase-error needs a number from 0.001 to 1e3, not \"" +
                                                     value.toStdString() + "\" (see lithoprism --help)\n");
    }
    const TCommandRun series = RunCommand({"--timelapse", folder.filePath("lapse"), data, data, "--ip-is-phase"});
    EXPECT_EQ(series.Code, 2);
    EXPECT_EQ(series.Errors.toStdString(),
              "lithoprism: --ip-is-phase goes with --invert, not with --timelapse (see lithoprism --help)\n");
}

// The block's data with IP columns after rhoa (Columns, "phi iperr" say),
// datum d (from 0) holding Values(d), written as Name; Lines gets each
// datum's line in the file.
QString BlockDataWith(const QTemporaryDir& Folder, const QString& Name, const QString& Columns,
                      const std::function<QString(int)>& Values, std::vector<int>* Lines = nullptr)
{
    QStringList lines = QString::fromUtf8(FileBytes(BlockData(Folder))).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    EXPECT_GT(header, 0);
    const int count = lines.value(header - 1).toInt();
    lines[header] += QStringLiteral(" ") + Columns;
    for (int d = 0; d < count; ++d) {
        lines[header + 1 + d] += QStringLiteral(" ") + Values(d);
        if (Lines)
            Lines->push_back(static_cast<int>(header + 2 + d));
    }
    const QString data = Folder.filePath(Name);
    WriteFile(data, lines.join('\n').toUtf8());
    return data;
}

// Phases of −5 .. −11 mrad varying along the data.
QString BlockPhase(int Datum)
{
    return QString::number(-5 - Datum % 7);
}

// Positive phases (magnitudes, as many instruments write them) held every
// cell at 0 mrad: the same data written either way give the same image.
TEST(CommandLine, InvertedPhasesDoNotDependOnTheFilesSignConvention)
{
    QTemporaryDir folder;
    const QString lagging = BlockDataWith(folder, "lagging.dat", "phi", BlockPhase);
    const QString magnitudes =
        BlockDataWith(folder, "magnitudes.dat", "phi", [](int d) { return BlockPhase(d).mid(1); });
    const QString first = folder.filePath("first.csv"), second = folder.filePath("second.csv");
    const TCommandRun signedRun = RunCommand({"--invert", first, lagging, "--iterations", "2"});
    ASSERT_EQ(signedRun.Code, 0) << signedRun.Errors.toStdString();
    EXPECT_FALSE(signedRun.Errors.contains("above 0")) << signedRun.Errors.toStdString();
    const TCommandRun turned = RunCommand({"--invert", second, magnitudes, "--iterations", "2"});
    ASSERT_EQ(turned.Code, 0) << turned.Errors.toStdString();
    EXPECT_TRUE(QRegularExpression(R"(lithoprism: warning: (\d+) of \1 phases are above 0, which a polarizable ground )"
                                   R"(does not give: the column is read in the other sign convention)")
                    .match(turned.Errors)
                    .hasMatch())
        << turned.Errors.toStdString();
    EXPECT_EQ(FileBytes(first), FileBytes(second));
    EXPECT_EQ(signedRun.Out, turned.Out);
    // The image has phases where the data see, not 0 everywhere.
    double least = 0.0;
    for (const QByteArray& row : FileBytes(second).trimmed().split('\n').mid(1))
        least = std::min(least, row.split(',').back().toDouble());
    EXPECT_LT(least, -4.0);
}

// A per-datum phase error column (iperr) was ignored for the default 0.5
// mrad: the file's errors weigh the phases, --phase-error serves the data
// without one, and the run says which it used.
TEST(CommandLine, InvertWeighsThePhasesByTheFilesOwnErrors)
{
    QTemporaryDir folder;
    const QString own = BlockDataWith(folder, "own.dat", "phi iperr", [](int d) { return BlockPhase(d) + " 0.2"; });
    const QString none = BlockDataWith(folder, "none.dat", "phi", BlockPhase);
    const QString some = BlockDataWith(folder, "some.dat", "phi iperr/mrad",
                                       [](int d) { return BlockPhase(d) + (d < 10 ? " 0.2" : " 0"); });
    // Each run: its data, options, the errors it says, and the image it gives (the same name: the same image).
    const struct {
        QString Data, More, Said, Image;
    } runs[] = {{own, "", "the file's \\(iperr\\) for 46 data", "a"},
                {none, "--phase-error 0.2", "0.2 mrad \\(--phase-error\\) for 46 data", "a"},
                {own, "--phase-error 3", "the file's \\(iperr\\) for 46 data", "a"},
                {none, "", "0.5 mrad \\(--phase-error\\) for 46 data", "b"},
                {some, "", "the file's \\(iperr\\) for 10 data, 0.5 mrad \\(--phase-error\\) for 36 data", "c"}};
    std::map<QString, QByteArray> images;
    for (const auto& r : runs) {
        const QString out = folder.filePath("image.csv");
        const TCommandRun run = RunCommand(QStringList{"--invert", out, r.Data, "--iterations", "2"} +
                                           r.More.split(' ', Qt::SkipEmptyParts));
        ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
        EXPECT_TRUE(QRegularExpression("(^|\\n)phase errors: " + r.Said + "\\n").match(run.Out).hasMatch())
            << run.Out.toStdString();
        if (images.count(r.Image) > 0) {
            EXPECT_EQ(FileBytes(out), images[r.Image]) << r.More.toStdString();
        }
        images.emplace(r.Image, FileBytes(out));
    }
    EXPECT_NE(images["a"], images["b"]);
}

// Phases of 1e308 crashed the inversion, −400° were imaged, no-value codes
// (−9999999) were taken as chargeabilities, and values far beyond their
// neighbours' were imaged: each is left out naming its line (the datum
// kept), and --drop-outliers K judges the IP values on K too.
TEST(CommandLine, WildIpValuesAreLeftOutNamingTheirLines)
{
    const struct {
        const char* Columns;
        const char* Wild;
        const char* Options;
        const char* Said;
    } cases[] = {{"phi", "1e308", "", "1 IP value not finite, beyond"},
                 {"phi/deg", "-400", "", "1 IP value not finite, beyond"},
                 {"ip", "-9999999", "", "1 IP value not finite, beyond"},
                 {"phi", "-600", "", "1 IP value far beyond its neighbours'"},
                 {"phi", "-40", "--drop-outliers 3", "data removed, 1 IP value left out (their data kept)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Columns + std::string(" ") + c.Wild);
        QTemporaryDir folder;
        std::vector<int> lines;
        const QString data = BlockDataWith(folder, "wild.dat", c.Columns, [&](int d) {
            const double phase = -5 - d % 7;
            return d == 12 ? QString(c.Wild) : QString::number(QString(c.Columns) == "ip" ? -10 * phase
                                                               : QString(c.Columns) == "phi" ? phase : phase / 17.45);
        }, &lines);
        const TCommandRun run = RunCommand(QStringList{"--invert", folder.filePath("image.csv"), data, "--iterations", "2"} +
                                           QString(c.Options).split(' ', Qt::SkipEmptyParts));
        ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
        EXPECT_TRUE(run.Errors.contains(c.Said)) << run.Errors.toStdString();
        if (!*c.Options) {
            EXPECT_TRUE(run.Errors.contains(QStringLiteral("lithoprism: warning: IP values of the file left out, their "
                                                           "data's resistivities kept: %1")
                                                .arg(c.Said)) &&
                        run.Errors.contains(QStringLiteral("(line %1)").arg(lines.at(12))))
                << run.Errors.toStdString();
        }
        // The other data's IP values all weighed: one fewer than the data.
        EXPECT_TRUE(run.Out.contains(QStringLiteral(" for %1 data\n").arg(lines.size() - 1))) << run.Out.toStdString();
    }
}

// The phases of a series were dropped without a word; --phase-error and
// --change-error of 1e-300 ended in "The change's linear problem could not
// be decomposed": refused up front, naming the option.
TEST(CommandLine, TimeLapseSaysItsPhasesAreNotInvertedAndIpErrorsAreChecked)
{
    QTemporaryDir folder;
    const QString monday = BlockDataWith(folder, "monday.dat", "phi", BlockPhase);
    const QString tuesday = BlockDataWith(folder, "tuesday.dat", "phi", BlockPhase);
    const TCommandRun series = RunCommand({"--timelapse", folder.filePath("lapse"), monday, tuesday, "--iterations", "1"});
    ASSERT_EQ(series.Code, 0) << series.Errors.toStdString();
    for (const QString& file : {monday, tuesday})
        EXPECT_TRUE(series.Errors.contains(QStringLiteral("lithoprism: warning: the phases of \"%1\" are not inverted: "
                                                          "a time-lapse series inverts no phases")
                                               .arg(file)))
            << series.Errors.toStdString();
    const struct {
        const char* Command;
        const char* Option;
        const char* Value;
        const char* Range;
    } cases[] = {{"--invert", "--phase-error", "1e-300", "0.001 to 1e3"},
                 {"--invert", "--phase-error", "2000", "0.001 to 1e3"},
                 {"--timelapse", "--change-error", "1e-300", "0.0001 to 1e3"},
                 {"--timelapse", "--change-error", "1e9", "0.0001 to 1e3"}};
    for (const auto& c : cases) {
        const TCommandRun refused =
            RunCommand({c.Command, folder.filePath("out.csv"), monday, tuesday, c.Option, c.Value});
        EXPECT_EQ(refused.Code, 2);
        EXPECT_EQ(refused.Errors.toStdString(), std::string("lithoprism: ") + c.Option + " needs a number from " +
                                                     c.Range + ", not \"" + c.Value + "\" (see lithoprism --help)\n");
    }
}

// "--invert OUT.vtk" and "--invert OUT.xyz" wrote the cell table under
// those names, which neither a mesh viewer nor a contouring program reads.
// The extension now chooses: the cells as a VTK grid with the table's
// values, the resistivity on a grid of points inside the cells.
TEST(CommandLine, InvertWritesAVtkGridOrAnXyzGridToldByTheExtension)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder);
    const auto invert = [&](const QString& name) {
        const QString out = folder.filePath(name);
        WriteFile(out, "old file\n");
        const TCommandRun run = RunCommand({"--invert", out, data, "--iterations", "2", "--doi"});
        EXPECT_EQ(run.Code, 0) << run.Errors.toStdString();
        return FileBytes(out).toStdString();
    };
    const std::vector<TInversionTableRow> table = ReadInversionTable(invert("image.csv"));
    ASSERT_FALSE(table.empty());

    // The grid: one quadrilateral per row of the table, over the row's x range, with its values.
    const std::string vtk = invert("image.VTK");
    ASSERT_EQ(vtk.rfind("# vtk DataFile Version 3.0\n", 0), 0u) << vtk.substr(0, 40);
    std::istringstream in(vtk.substr(vtk.find("POINTS ")));
    std::string word;
    size_t points = 0, cells = 0, entries = 0;
    in >> word >> points >> word;
    std::vector<std::pair<double, double>> xy(points);
    for (auto& [x, y] : xy) {
        double z = 0.0;
        in >> x >> y >> z;
    }
    in >> word >> cells >> entries;
    ASSERT_EQ(cells, table.size());
    for (const TInversionTableRow& row : table) {
        size_t count = 0, index = 0;
        double left = 1e300, right = -1e300;
        in >> count;
        ASSERT_EQ(count, 4u);
        for (size_t k = 0; k < count; ++k) {
            in >> index;
            left = std::min(left, xy.at(index).first);
            right = std::max(right, xy.at(index).first);
        }
        EXPECT_EQ(left, row.X1);
        EXPECT_EQ(right, row.X2);
    }
    const auto scalars = [&](const char* Name) {
        const size_t at = vtk.find(std::string("SCALARS ") + Name + " double 1\nLOOKUP_TABLE default\n");
        EXPECT_NE(at, std::string::npos) << Name;
        std::istringstream values(vtk.substr(vtk.find("default\n", at) + 8));
        std::vector<double> read(table.size());
        for (double& value : read)
            values >> value;
        return read;
    };
    const std::vector<double> rho = scalars("resistivity"), coverage = scalars("coverage"), doi = scalars("doi");
    for (size_t cell = 0; cell < table.size(); ++cell) {
        EXPECT_EQ(rho[cell], table[cell].Resistivity);
        EXPECT_EQ(coverage[cell], table[cell].Coverage);
        EXPECT_EQ(doi[cell], table[cell].Doi);
    }
    EXPECT_EQ(vtk.find("chargeability double"), std::string::npos); // no IP in the data

    // The points: each in a cell of the table (x range, depth below the flat surface at 0), with its value.
    std::istringstream xyz(invert("image.xyz"));
    std::string line;
    std::getline(xyz, line);
    EXPECT_EQ(line.rfind("# x elevation resistivity", 0), 0u) << line;
    size_t read = 0;
    while (std::getline(xyz, line)) {
        std::istringstream fields(line);
        double x = 0.0, y = 0.0, value = 0.0;
        ASSERT_TRUE(fields >> x >> y >> value) << line;
        ++read;
        const bool found = std::any_of(table.begin(), table.end(), [&](const TInversionTableRow& row) {
            return x >= row.X1 && x <= row.X2 && -y >= row.Z1 - 1e-9 && -y <= row.Z2 + 1e-9 &&
                   value == row.Resistivity;
        });
        EXPECT_TRUE(found) << line;
    }
    EXPECT_GT(read, 4 * table.size());
}

// A uniform ground's data with 2 % scatter and one datum a thousand times
// too high: --robust down-weights it, the rest fit the uniform start, and
// that start is written as the ground's image (it was refused as "did not
// move from its starting model" on the χ² the wild datum makes); the stop
// says which χ² reached 1.
TEST(CommandLine, RobustInversionKeepsTheGroundWhereOneDatumIsWild)
{
    QTemporaryDir folder;
    QStringList lines = QString::fromUtf8(FileBytes(BlockData(folder))).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    ASSERT_GT(header, 0);
    const int count = lines[header - 1].toInt();
    for (int i = 0; i < count; ++i) {
        QStringList v = lines[header + 1 + i].split(' ');
        const double scatter = 0.02 * std::sin(1.7 * i + 0.3); // within the 2 % error
        v[5] = QString::number(100.0 * (1.0 + scatter) * (i == 20 ? 1000.0 : 1.0), 'g', 17);
        lines[header + 1 + i] = v.join(' ');
    }
    const QString data = folder.filePath("wild.dat"), out = folder.filePath("robust.csv");
    QFile file(data);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(lines.join('\n').toUtf8());
    file.close();
    const TCommandRun run = RunCommand({"--invert", out, data, "--robust", "--error", "2"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Out.contains("stopped: Chi-square of the data not down-weighted reached 1.")) << run.Out.toStdString();
    for (const TInversionTableRow& row : ReadInversionTable(FileBytes(out).toStdString()))
        EXPECT_NEAR(row.Resistivity, 100.0, 3.0);
    // Without --robust the wild datum is imaged, not refused.
    EXPECT_EQ(RunCommand({"--invert", folder.filePath("plain.csv"), data, "--error", "2"}).Code, 0);
}

TEST(CommandLine, InvertWithDoiAppendsTheDepthOfInvestigationAndAZeroReferenceWeightChangesNothing)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder);
    const auto invert = [&](const QString& name, const QStringList& options) {
        const TCommandRun run = RunCommand(QStringList{"--invert", folder.filePath(name), data, "--iterations", "3"} + options);
        EXPECT_EQ(run.Code, 0) << run.Errors.toStdString();
        return std::make_pair(run, FileBytes(folder.filePath(name)));
    };
    const auto [plainRun, plain] = invert("plain.csv", {});
    // Weight 0 is the default: the same image to the last digit.
    EXPECT_EQ(invert("zero.csv", {"--reference-weight", "0"}).second, plain);
    EXPECT_NE(invert("pulled.csv", {"--reference-weight", "5"}).second, plain);

    // Sharp boundaries and the robust misfit each give another image; the
    // robust run's lines give chi-square over the data not down-weighted too.
    EXPECT_NE(invert("blocky.csv", {"--blocky"}).second, plain);
    EXPECT_NE(invert("blocky-eps.csv", {"--blocky", "--blocky-epsilon", "0.2"}).second,
              invert("blocky-default.csv", {"--blocky"}).second);
    const auto [robustRun, robust] = invert("robust.csv", {"--robust"});
    EXPECT_NE(robust, plain);
    const QRegularExpression robustLine(
        R"(^inverted: \d+ cells, chi-square [0-9.e+-]+ \([0-9.e+-]+ over the \d+ data not down-weighted\), rrms)",
        QRegularExpression::MultilineOption);
    EXPECT_TRUE(robustLine.match(robustRun.Out).hasMatch()) << robustRun.Out.toStdString();
    EXPECT_FALSE(plainRun.Out.contains(QStringLiteral("down-weighted")));

    const auto [doiRun, withDoi] = invert("doi.csv", {"--doi"});
    const QRegularExpression summary(R"(^depth of investigation: (\d+) of (\d+) cells below 0\.2$)",
                                     QRegularExpression::MultilineOption);
    const QRegularExpressionMatch counted = summary.match(doiRun.Out);
    ASSERT_TRUE(counted.hasMatch()) << doiRun.Out.toStdString();
    EXPECT_GT(counted.captured(1).toInt(), 0);
    EXPECT_LT(counted.captured(1).toInt(), counted.captured(2).toInt());
    const QList<QByteArray> rows = withDoi.trimmed().split('\n');
    const QList<QByteArray> plainRows = plain.trimmed().split('\n');
    ASSERT_EQ(rows.size(), plainRows.size());
    ASSERT_EQ(rows.size(), counted.captured(2).toInt() + 1);
    EXPECT_EQ(rows[0], "x1,x2,z1,z2,resistivity,chargeability,coverage,doi");
    int below = 0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        // The image as without --doi, the column after it.
        ASSERT_TRUE(rows[r].startsWith(plainRows[r] + ',')) << rows[r].toStdString();
        const QList<QByteArray> v = rows[r].split(',');
        ASSERT_EQ(v.size(), 8);
        bool ok = false;
        const double doi = v[7].toDouble(&ok);
        EXPECT_TRUE(ok && std::isfinite(doi)) << v[7].toStdString();
        EXPECT_GE(doi, 0.0);
        EXPECT_LE(doi, 1.25);
        below += doi < 0.2 ? 1 : 0;
    }
    EXPECT_EQ(below, counted.captured(1).toInt());
    // Read back by the table's reader with its last column.
    const std::vector<TInversionTableRow> read = ReadInversionTable(withDoi.toStdString());
    ASSERT_EQ(read.size(), static_cast<size_t>(rows.size() - 1));
    EXPECT_TRUE(std::isfinite(read.front().Doi));
    EXPECT_TRUE(std::isnan(ReadInversionTable(plain.toStdString()).front().Doi));
}

TEST(CommandLine, InvertConstrainedBySectionRecoversTheBlockAndCanStartFromIt)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder), out = folder.filePath("image.csv");
    const QString section = QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec");
    const TCommandRun run = RunCommand({"--invert", out, data, "--section", section, "--constrain"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    // From the section's resistivities the first iteration already explains the data.
    const TCommandRun started =
        RunCommand({"--invert", folder.filePath("started.csv"), data, "--section", section, "--start-from-section"});
    ASSERT_EQ(started.Code, 0) << started.Errors.toStdString();
    EXPECT_GT(run.Out.section(',', 0, 0).section(' ', -1).toDouble(), 5.0) << run.Out.toStdString();
    // (Its step is the smoothest that brings χ² to a quarter: near 1, not below.)
    EXPECT_LT(started.Out.section(',', 0, 0).section(' ', -1).toDouble(), 1.5) << started.Out.toStdString();
    EXPECT_TRUE(started.Out.contains(QStringLiteral("stopped: Chi-square reached 1."))) << started.Out.toStdString();
    // The cells frame the survey (electrodes 50 .. 350 m, 20 m apart) by two
    // spacings, within the section's model area (0 .. 400 m).
    const QList<QByteArray> rows = FileBytes(out).trimmed().split('\n');
    EXPECT_EQ(rows[1].split(',')[0].toDouble(), 10.0);
    EXPECT_EQ(rows.back().split(',')[1].toDouble(), 390.0);
    double inside = 0.0, outside = 0.0;
    int insideCount = 0, outsideCount = 0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        const double x = (v[0].toDouble() + v[1].toDouble()) / 2, z = (v[2].toDouble() + v[3].toDouble()) / 2;
        const bool block = x > 150 && x < 250 && z > 10 && z < 50;
        (block ? inside : outside) += std::log(v[4].toDouble());
        ++(block ? insideCount : outsideCount);
    }
    ASSERT_GT(insideCount, 0);
    EXPECT_NEAR(std::exp(inside / insideCount), 25.0, 0.3 * 25.0);
    EXPECT_NEAR(std::exp(outside / outsideCount), 100.0, 0.3 * 100.0);
}

// A resistivity log at x = 200 m through the block's ground (100 ohm-m, the
// block 25 ohm-m from 10 to 50 m deep), listed in a well-log list; Factor
// scales its values, Negative puts one value of -5 in it.
QString WellLogList(const QTemporaryDir& Folder, double Factor = 1.0, bool Negative = false)
{
    QByteArray samples;
    for (double depth = 1.0; depth < 80.0; depth += 2.0) {
        const double rho = Negative && depth > 30.0 && depth < 33.0 ? -5.0 : depth > 10 && depth < 50 ? 25.0 : 100.0;
        samples += QByteArray::number(depth) + " " + QByteArray::number(Factor * rho) + "\n";
    }
    WriteFile(Folder.filePath("well.log"), samples);
    const QString list = Folder.filePath("wells.crt");
    WriteFile(list, "well.log\nborehole B1\n200 5 0 0 0 0 0\n");
    return list;
}

TEST(CommandLine, InvertWithWellLogsAndWeightedBoundaries)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder);
    const QString section = QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec");
    const auto invert = [&](const QString& name, const QStringList& options) {
        const TCommandRun run =
            RunCommand(QStringList{"--invert", folder.filePath(name), data, "--iterations", "4"} + options);
        EXPECT_EQ(run.Code, 0) << run.Errors.toStdString();
        return std::make_pair(run, FileBytes(folder.filePath(name)));
    };
    // A weight of 1 keeps every pair's smoothing: the image of no constraint, to the last digit.
    const auto [plainRun, plain] = invert("plain.csv", {"--section", section});
    EXPECT_EQ(invert("one.csv", {"--section", section, "--constrain", "--boundary-weight", "1"}).second, plain);
    const QByteArray sharp = invert("sharp.csv", {"--section", section, "--constrain"}).second;
    const QByteArray half = invert("half.csv", {"--section", section, "--constrain", "--boundary-weight", "0.5"}).second;
    EXPECT_NE(sharp, plain);
    EXPECT_NE(half, plain);
    EXPECT_NE(half, sharp);

    // The log: its cells' χ² printed after the survey's.
    const auto [logRun, logged] = invert("logged.csv", {"--well-logs", WellLogList(folder), "--log-error", "10"});
    const QRegularExpression logs(R"(^well logs: (\d+) cells, chi-square ([0-9.e+]+)$)", QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = logs.match(logRun.Out);
    ASSERT_TRUE(match.hasMatch()) << logRun.Out.toStdString();
    EXPECT_GE(match.captured(1).toInt(), 2);
    EXPECT_NE(logged, invert("nolog.csv", {}).second);
    EXPECT_FALSE(plainRun.Out.contains("well logs"));
    // The log's lateral reach: 0 keeps it to the well's column, fewer cells
    // than the default reach of 6 spacings (20 m apart: columns centred
    // less than 120 m from the well); the default written out is the same
    // image.
    const auto [columnRun, column] =
        invert("column.csv", {"--well-logs", WellLogList(folder), "--log-error", "10", "--log-reach", "0"});
    const QRegularExpressionMatch columnMatch = logs.match(columnRun.Out);
    ASSERT_TRUE(columnMatch.hasMatch()) << columnRun.Out.toStdString();
    EXPECT_GT(match.captured(1).toInt(), 4 * columnMatch.captured(1).toInt());
    EXPECT_NE(column, logged);
    EXPECT_EQ(invert("six.csv", {"--well-logs", WellLogList(folder), "--log-error", "10", "--log-reach", "6"}).second,
              logged);

    // A log with a value below 0 is refused naming it; the old table stays.
    const QString out = folder.filePath("refused.csv");
    WriteFile(out, "old table\n");
    const TCommandRun refused = RunCommand({"--invert", out, data, "--well-logs", WellLogList(folder, 1.0, true)});
    EXPECT_EQ(refused.Code, 1);
    EXPECT_TRUE(refused.Errors.contains("\"borehole B1\"")) << refused.Errors.toStdString();
    EXPECT_EQ(FileBytes(out), "old table\n");
    // Weights outside 0 .. 1, or without --constrain, are refused before anything is read.
    EXPECT_EQ(RunCommand({"--invert", out, data, "--section", section, "--constrain", "--boundary-weight", "2"}).Code, 2);
    const TCommandRun alone = RunCommand({"--invert", out, data, "--section", section, "--boundary-weight", "0.5"});
    EXPECT_EQ(alone.Code, 2);
    EXPECT_EQ(alone.Errors, "lithoprism: --boundary-weight goes with --constrain (see lithoprism --help)\n");
    EXPECT_EQ(RunCommand({"--invert", out, data, "--log-error", "0"}).Code, 2);
    const TCommandRun negativeReach = RunCommand({"--invert", out, data, "--log-reach", "-1"});
    EXPECT_EQ(negativeReach.Code, 2);
    EXPECT_EQ(negativeReach.Errors,
              "lithoprism: --log-reach needs a number from 0 to 1e3, not \"-1\" (see lithoprism --help)\n");
    EXPECT_EQ(RunCommand({"--invert", out, data, "--log-reach", "nan"}).Code, 2);
    EXPECT_EQ(FileBytes(out), "old table\n");
}

// A short survey over a section far wider than it: no cell lies more than
// two spacings beyond the outer electrodes; a survey reaching beyond the
// section's model area is refused, naming it.
TEST(CommandLine, InvertOverAWideSectionFramesTheSurvey)
{
    QTemporaryDir folder;
    const QString section = QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec"); // 0 .. 400 m
    const QString data = folder.filePath("short.dat"), out = folder.filePath("image.csv");
    ASSERT_EQ(RunCommand({"--forward", data, section, "--electrodes", "12", "--first", "150", "--spacing", "5",
                          "--levels", "4"}).Code, 0);
    const TCommandRun run = RunCommand({"--invert", out, data, "--section", section, "--iterations", "1"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    const QList<QByteArray> rows = FileBytes(out).trimmed().split('\n');
    double left = 1e300, right = -1e300;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        left = std::min(left, rows[r].split(',')[0].toDouble());
        right = std::max(right, rows[r].split(',')[1].toDouble());
    }
    EXPECT_DOUBLE_EQ(left, 140.0);
    EXPECT_DOUBLE_EQ(right, 215.0);

    const QString wide = folder.filePath("wide.dat");
    ASSERT_EQ(RunCommand({"--forward", wide, QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), "--electrodes", "12",
                          "--first", "300", "--spacing", "10", "--host-resistivity", "100"}).Code, 0);
    const TCommandRun refused = RunCommand({"--invert", out, wide, "--section", section});
    EXPECT_EQ(refused.Code, 1);
    EXPECT_TRUE(refused.Errors.contains("the electrode at x = 410 lies outside the model area (x from 0 to 400)"))
        << refused.Errors.toStdString();
}

// An inversion that could not take one step wrote its uniform start as
// the image, exit 0, without a word.
TEST(CommandLine, AnInversionThatCannotMoveSaysWhyAndWritesNothing)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder), out = folder.filePath("image.csv");
    WriteFile(out, "old table\n");
    {
        // A regularisation so strong that no step could lower the objective
        // is refused before any work (no λ within the range holds the model
        // at its start).
        const TCommandRun run = RunCommand({"--invert", out, data, "--lambda", "1e300"});
        EXPECT_EQ(run.Code, 2);
        EXPECT_EQ(run.Errors, "lithoprism: --lambda needs a number from 0.0001 to 1e6, not \"1e300\" (see lithoprism "
                              "--help)\n");
        EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
        EXPECT_EQ(FileBytes(out), "old table\n");
        EXPECT_EQ(EntriesIn(folder), 2);
    }
    // An inversion that moves says why it stopped before its last line.
    const TCommandRun moved = RunCommand({"--invert", out, data, "--iterations", "1"});
    ASSERT_EQ(moved.Code, 0) << moved.Errors.toStdString();
    const QStringList lines = moved.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << moved.Out.toStdString();
    EXPECT_EQ(lines[1], "stopped: The iteration limit was reached.");
}

// The block's data of another survey (Options, after those of
// BlockData), every rhoa multiplied by Factor: the whole ground's
// resistivity times Factor.
QString ScaledBlockData(const QTemporaryDir& Folder, const QString& Name, double Factor, const QStringList& Options)
{
    const QString data = Folder.filePath(Name);
    const TCommandRun run = RunCommand(QStringList{"--forward", data, QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec"),
                                                   "--electrodes", "16", "--first", "50", "--spacing", "20", "--levels", "4"} +
                                       Options);
    EXPECT_EQ(run.Code, 0) << run.Errors.toStdString();
    QStringList lines = QString::fromUtf8(FileBytes(data)).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    EXPECT_GT(header, 0);
    const int count = lines.value(header - 1).toInt();
    for (qsizetype i = header + 1; i <= header + count && i < lines.size(); ++i) {
        QStringList v = lines[i].split(' ');
        v[5] = QString::number(v[5].toDouble() * Factor, 'g', 17);
        lines[i] = v.join(' ');
    }
    WriteFile(data, lines.join('\n').toUtf8());
    return data;
}

TEST(CommandLine, TimeLapseWritesTheBaselineAndEachStepsChangeAndPrintsEachStep)
{
    QTemporaryDir folder;
    const QString monday = BlockData(folder);
    // Tuesday's line measured with one level more (the extra data left out),
    // the whole ground 10 % less resistive; Wednesday's 20 % less.
    const QString tuesday = ScaledBlockData(folder, "tuesday.dat", 0.9, {"--levels", "5"});
    const QString wednesday = ScaledBlockData(folder, "wednesday.dat", 0.8, {});
    const QString prefix = folder.filePath("lapse");
    WriteFile(prefix + "-2.csv", "old table\n");
    const TCommandRun run = RunCommand({"--timelapse", prefix, monday, tuesday, wednesday, "--error", "2"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    std::vector<double> changedShares; // per later step, as printed
    ASSERT_EQ(lines.size(), 8) << run.Out.toStdString();
    // Files without dates: the order given.
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"survey 0: " + monday, "survey 1: " + tuesday, "survey 2: " + wednesday,
                                            "order: as given"}));
    EXPECT_EQ(lines[4], "common data: 46 of 46, 55, 46");
    // The baseline's χ² and rrms; a later step's χ² of the change, and
    // the share of its well-covered cells that changed.
    const QRegularExpression step(R"(^step (\d): chi-square ([0-9.e+]+), rrms \d+\.\d\d %)"
                                  R"((, changed beyond \x{00b1}5 %: (\d+\.\d) % of the well-covered cells)?$)");
    for (int k = 0; k < 3; ++k) {
        const QRegularExpressionMatch match = step.match(lines[k + 5]);
        ASSERT_TRUE(match.hasMatch()) << lines[k + 5].toStdString();
        EXPECT_EQ(match.captured(1).toInt(), k);
        EXPECT_LT(match.captured(2).toDouble(), 1.5);
        EXPECT_EQ(match.hasCaptured(4), k > 0) << lines[k + 5].toStdString();
        if (k > 0)
            changedShares.push_back(match.captured(4).toDouble());
    }
    EXPECT_TRUE(run.Errors.startsWith("lithoprism: warning: 9 data of \"" + tuesday +
                                      "\" not in every survey, left out (lines "))
        << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains(" and 1 more)\n")) << run.Errors.toStdString();
    // The baseline's table, then each step's with its change: a uniform
    // change is recovered in every cell the data see.
    const QList<QByteArray> baseline = FileBytes(prefix + "-0.csv").trimmed().split('\n');
    EXPECT_EQ(baseline[0], "x1,x2,z1,z2,resistivity,coverage");
    for (int k = 1; k <= 2; ++k) {
        const QList<QByteArray> rows = FileBytes(prefix + "-" + QString::number(k) + ".csv").trimmed().split('\n');
        ASSERT_EQ(rows.size(), baseline.size());
        EXPECT_EQ(rows[0], "x1,x2,z1,z2,resistivity,change_percent,coverage,change_sd_percent");
        std::vector<double> seen;
        for (qsizetype r = 1; r < rows.size(); ++r) {
            const QList<QByteArray> v = rows[r].split(','), b = baseline[r].split(',');
            ASSERT_EQ(v.size(), 8); // with the change's standard deviation
            EXPECT_EQ(v.mid(0, 4), b.mid(0, 4));
            EXPECT_NEAR(v[5].toDouble(), 100.0 * (v[4].toDouble() / b[4].toDouble() - 1.0), 1e-9);
            if (v[6].toDouble() >= 0.1)
                seen.push_back(v[5].toDouble());
            // The change's standard deviation: a small share of the change where the data see well.
            EXPECT_GE(v[7].toDouble(), 0.0);
            if (v[6].toDouble() >= 0.5)
                EXPECT_LT(v[7].toDouble(), 5.0);
        }
        ASSERT_FALSE(seen.empty());
        for (double change : seen)
            EXPECT_NEAR(change, -10.0 * k, 1.0) << "step " << k;
        // The share printed, counted again from the table: of the best-
        // covered 60 % of the cells (the first in cell order of equal
        // coverage), those whose change passes ±5 %; the uniform fall of 10
        // and 20 % passes it nearly everywhere.
        std::vector<std::pair<double, double>> cells; // coverage, change
        for (qsizetype r = 1; r < rows.size(); ++r)
            cells.emplace_back(rows[r].split(',')[6].toDouble(), rows[r].split(',')[5].toDouble());
        std::stable_sort(cells.begin(), cells.end(), [](const auto& x, const auto& y) { return x.first > y.first; });
        const auto covered = static_cast<size_t>(std::ceil(0.6 * static_cast<double>(cells.size())));
        const auto changed = std::count_if(cells.begin(), cells.begin() + static_cast<std::ptrdiff_t>(covered),
                                           [](const auto& cell) { return std::fabs(cell.second) > 5.0; });
        EXPECT_NEAR(changedShares.at(static_cast<size_t>(k - 1)), 100.0 * static_cast<double>(changed) / static_cast<double>(covered), 0.05)
            << "step " << k;
        EXPECT_GT(changedShares.at(static_cast<size_t>(k - 1)), 80.0) << "step " << k;
    }
}

// The block's data (a unified file) as an OhmPi export measured at Time
// ("2024-05-01T10:00:00"); its electrodes by number.
QString OhmPiFromUnified(const QString& Unified, const QString& Name, const QString& Time)
{
    const QStringList lines = QString::fromUtf8(FileBytes(Unified)).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    EXPECT_GT(header, 0);
    const int count = lines.value(header - 1).toInt();
    QString text = QStringLiteral("time,a,b,m,n,r_[Ohm]\n");
    for (qsizetype i = header + 1; i <= header + count && i < lines.size(); ++i) {
        const QStringList v = lines[i].split(' ');
        text += QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                    .arg(Time, v[0], v[1], v[2], v[3])
                    .arg(v[5].toDouble() / v[4].toDouble(), 0, 'g', 17);
    }
    const QString path = QFileInfo(Unified).dir().filePath(Name);
    WriteFile(path, text.toUtf8());
    return path;
}

// The surveys were taken in the order given even when their files date
// them otherwise: dated files are put in time order, each date printed.
TEST(CommandLine, TimeLapsePutsDatedSurveysInTimeOrder)
{
    QTemporaryDir folder;
    const QString monday = OhmPiFromUnified(BlockData(folder), "monday.csv", "2024-05-06T09:00:00");
    const QString tuesday =
        OhmPiFromUnified(ScaledBlockData(folder, "tuesday.dat", 0.9, {}), "tuesday.csv", "2024-05-07T09:30:00");
    const QString wednesday =
        OhmPiFromUnified(ScaledBlockData(folder, "wednesday.dat", 0.8, {}), "wednesday.csv", "2024-05-08T08:15:00");
    const QString prefix = folder.filePath("lapse");
    // A change error given: the series runs with it.
    const TCommandRun run = RunCommand(
        {"--timelapse", prefix, wednesday, monday, tuesday, "--format", "ohmpi", "--error", "2", "--change-error", "3"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    const QStringList lines = run.Out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5) << run.Out.toStdString();
    // Each survey's date: its earliest datum's.
    EXPECT_EQ(lines.mid(0, 5), (QStringList{"survey 0: " + monday + ", 2024-05-06 09:00:00",
                                            "survey 1: " + tuesday + ", 2024-05-07 09:30:00",
                                            "survey 2: " + wednesday + ", 2024-05-08 08:15:00", "order: by date",
                                            "common data: 46 of 46, 46, 46"}));
    // Monday the baseline: Tuesday 10 % and Wednesday 20 % below it.
    for (int k = 1; k <= 2; ++k) {
        const QList<QByteArray> rows = FileBytes(prefix + "-" + QString::number(k) + ".csv").trimmed().split('\n');
        int seen = 0;
        for (qsizetype r = 1; r < rows.size(); ++r) {
            const QList<QByteArray> v = rows[r].split(',');
            ASSERT_EQ(v.size(), 8); // with the change's standard deviation
            if (v[6].toDouble() >= 0.1) {
                EXPECT_NEAR(v[5].toDouble(), -10.0 * k, 1.0) << "step " << k;
                ++seen;
            }
        }
        EXPECT_GT(seen, 0);
    }
    // One file without its dates: the order given, Wednesday the baseline.
    QByteArray undated = FileBytes(monday);
    undated.replace("2024-05-06T09:00:00", "");
    WriteFile(monday, undated);
    const TCommandRun given =
        RunCommand({"--timelapse", prefix, wednesday, monday, tuesday, "--format", "ohmpi", "--error", "2"});
    ASSERT_EQ(given.Code, 0) << given.Errors.toStdString();
    EXPECT_TRUE(given.Out.startsWith("survey 0: " + wednesday + ", 2024-05-08 08:15:00\nsurvey 1: " + monday +
                                     "\nsurvey 2: " + tuesday + ", 2024-05-07 09:30:00\norder: as given\n"))
        << given.Out.toStdString();
    const QList<QByteArray> rows = FileBytes(prefix + "-1.csv").trimmed().split('\n');
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        ASSERT_EQ(v.size(), 8); // with the change's standard deviation
        if (v[6].toDouble() >= 0.1) {
            EXPECT_NEAR(v[5].toDouble(), 25.0, 1.5); // Monday against Wednesday: 1 / 0.8
        }
    }
}

// A datum cleaned out of one survey (--drop-negative) was left out of
// every step and of the baseline: it is left out of that survey's step alone.
TEST(CommandLine, TimeLapseLeavesADatumCleanedFromOneSurveyOutOfItsStepAlone)
{
    QTemporaryDir folder;
    const QString monday = BlockData(folder);
    const QString tuesday = ScaledBlockData(folder, "tuesday.dat", 0.9, {});
    // Wednesday's three readings of reversed polarity, removed by the cleaning.
    const QString wednesday = ScaledBlockData(folder, "wednesday.dat", 0.8, {});
    QStringList lines = QString::fromUtf8(FileBytes(wednesday)).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    ASSERT_GT(header, 0);
    for (int i : {3, 17, 30}) {
        QStringList v = lines[header + 1 + i].split(' ');
        v[5] = QString::number(-v[5].toDouble(), 'g', 17);
        lines[header + 1 + i] = v.join(' ');
    }
    WriteFile(wednesday, lines.join('\n').toUtf8());
    const QString prefix = folder.filePath("lapse"), pair = folder.filePath("pair");
    const TCommandRun run =
        RunCommand({"--timelapse", prefix, monday, tuesday, wednesday, "--error", "2", "--drop-negative"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Out.contains("order: as given\ncommon data: 46 of 46, 46, 43\n")) << run.Out.toStdString();
    EXPECT_TRUE(run.Errors.contains("lithoprism: warning: 3 of the common data not in \"" + wednesday +
                                    "\", left out of step 2 only (the baseline's lines "))
        << run.Errors.toStdString();
    // The baseline and step 1 are those of Monday and Tuesday alone.
    const TCommandRun alone = RunCommand({"--timelapse", pair, monday, tuesday, "--error", "2"});
    ASSERT_EQ(alone.Code, 0) << alone.Errors.toStdString();
    EXPECT_EQ(FileBytes(prefix + "-0.csv"), FileBytes(pair + "-0.csv"));
    EXPECT_EQ(FileBytes(prefix + "-1.csv"), FileBytes(pair + "-1.csv"));
    // Step 2 still sees Wednesday's uniform 20 % drop.
    const QList<QByteArray> rows = FileBytes(prefix + "-2.csv").trimmed().split('\n');
    int seen = 0;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        ASSERT_EQ(v.size(), 8); // with the change's standard deviation
        if (v[6].toDouble() >= 0.1) {
            EXPECT_NEAR(v[5].toDouble(), -20.0, 1.0) << rows[r].toStdString();
            ++seen;
        }
    }
    EXPECT_GT(seen, 0);
}

// --change-error reaches the series' options (0, derived from the
// surveys' errors, without it), in any place among the names.
TEST(CommandLine, TimeLapseChangeErrorReachesTheSeriesOptions)
{
    using commandline::ParseInvertArguments;
    EXPECT_EQ(ParseInvertArguments({"--timelapse", "out", "a.dat", "b.dat"}, true).Options.ChangeErrorPercent, 0.0);
    const commandline::TInvertRequest given =
        ParseInvertArguments({"--timelapse", "out", "--change-error", "2.5", "a.dat", "b.dat", "--error", "4"}, true);
    EXPECT_EQ(given.Options.ChangeErrorPercent, 2.5);
    EXPECT_EQ(given.Options.ErrorPercent, 4.0);
    EXPECT_EQ(given.DataFiles, (QStringList{"a.dat", "b.dat"}));
}

TEST(CommandLine, TimeLapseRefusesAnotherLayoutOrTooFewCommonDataNamingTheFileAndWritesNothing)
{
    QTemporaryDir folder;
    const QString monday = BlockData(folder);
    const QString shifted = ScaledBlockData(folder, "shifted.dat", 1.0, {"--first", "60"});
    const QString other = ScaledBlockData(folder, "wenner.dat", 1.0, {"--array", "wenner"});
    const QString prefix = folder.filePath("lapse");
    WriteFile(prefix + "-0.csv", "old table\n");
    // A survey whose name is that of a table to write.
    const QString named = folder.filePath("in-1.csv");
    WriteFile(named, FileBytes(monday));
    std::vector<std::tuple<QStringList, int, QString>> cases = {
        {{"--timelapse", prefix, monday}, 2,
         "lithoprism: --timelapse needs an output prefix and at least two measured files: OUT_PREFIX DATA1 DATA2 "
         "[DATA3 ...] (see lithoprism --help)\n"},
        {{"--timelapse", prefix, monday, monday, "--doi"}, 2,
         "lithoprism: --doi goes with --invert, not with --timelapse (see lithoprism --help)\n"},
        // Options a series would otherwise ignore.
        {{"--timelapse", prefix, monday, monday, "--well-logs", named}, 2,
         "lithoprism: --well-logs goes with --invert, not with --timelapse (see lithoprism --help)\n"},
        {{"--timelapse", prefix, monday, monday, "--log-error", "10"}, 2,
         "lithoprism: --log-error goes with --invert, not with --timelapse (see lithoprism --help)\n"},
        {{"--timelapse", prefix, monday, monday, "--log-reach", "3"}, 2,
         "lithoprism: --log-reach goes with --invert, not with --timelapse (see lithoprism --help)\n"},
        {{"--timelapse", prefix, monday, monday, "--boundary-weight", "0.5"}, 2,
         "lithoprism: --boundary-weight goes with --constrain (see lithoprism --help)\n"},
        {{"--timelapse", prefix, monday, monday, "--depth", "3"}, 2,
         "lithoprism: unknown option --depth for --timelapse (see lithoprism --help)\n"},
        // The change error: a value, with a series only.
        {{"--timelapse", prefix, monday, monday, "--change-error"}, 2,
         "lithoprism: --change-error needs a value (see lithoprism --help)\n"},
        {{"--invert", prefix + "-1.csv", monday, "--change-error", "3"}, 2,
         "lithoprism: --change-error goes with --timelapse, not with --invert (see lithoprism --help)\n"},
        {{"--timelapse", prefix, monday, shifted}, 1,
         "lithoprism: The survey \"" + shifted + "\" has another electrode layout than the baseline \"" + monday +
             "\": its electrode at x = 60 (line 4) stands where the baseline has none.\n"},
        {{"--timelapse", prefix, monday, other}, 1,
         "lithoprism: The survey \"" + monday + "\" shares only 0 of its 46 data with the other surveys: fewer than "
         "half, so it is no repeat of the same line's survey.\n"},
        {{"--timelapse", folder.filePath("in"), monday, named}, 1,
         "lithoprism: The cell table \"" + named + "\" is the measured data file \"" + named +
             "\": name another file to write. Nothing was written.\n"}};
    // The change error: a number from 0.0001 to 1000 (per cent).
    for (const QString value : {"0", "-1.5", "inf", "nan", "3%"})
        cases.emplace_back(QStringList{"--timelapse", prefix, monday, monday, "--change-error", value}, 2,
                           "lithoprism: --change-error needs a number from 0.0001 to 1e3, not \"" + value +
                               "\" (see lithoprism --help)\n");
    for (const auto& [arguments, code, message] : cases) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, code) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.Errors.toStdString(), message.toStdString());
        EXPECT_EQ(FileBytes(prefix + "-0.csv"), "old table\n");
        EXPECT_FALSE(QFileInfo::exists(prefix + "-1.csv"));
    }
}

// "--invert /nowhere/out.csv" was refused only after the inversion (11 s,
// 73 s at 192 electrodes), and its refusal called the cell table "The
// data file". An output that cannot be written is refused before anything
// is computed; the old file, where there is one, stays as it was.
TEST(CommandLine, AnOutputThatCannotBeWrittenIsRefusedBeforeComputing)
{
    TFitFolder f;
    const QString data = BlockData(f.folder);
    const QString nowhere = f.folder.filePath("nowhere");
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"--invert", nowhere + "/out.csv", data}, "cell table"},
        {{"--fit", nowhere + "/out.sec", f.section, "--data", f.measured, "--host-resistivity", "100"},
         "section file to write"},
        {{"--forward", nowhere + "/out.dat", f.section, "--host-resistivity", "100"}, "data file"}};
    for (const auto& [arguments, role] : cases) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, 1) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.Errors, "lithoprism: The " + role + " \"" + arguments[1] + "\" cannot be written: its folder \"" +
                                  nowhere + "\" does not exist. Nothing was computed or written.\n");
        EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
    }
    // A folder in the output's place: refused, the folder as it was.
    ASSERT_TRUE(QDir(f.folder.path()).mkdir("taken.csv"));
    const TCommandRun taken = RunCommand({"--invert", f.folder.filePath("taken.csv"), data});
    EXPECT_EQ(taken.Code, 1);
    EXPECT_EQ(taken.Errors, "lithoprism: The cell table \"" + f.folder.filePath("taken.csv") +
                                "\" cannot be written: the name is taken by something that is not a file. Nothing "
                                "was computed or written.\n");
    EXPECT_TRUE(QFileInfo(f.folder.filePath("taken.csv")).isDir());
    EXPECT_FALSE(QFileInfo::exists(nowhere));
}

TEST(CommandLine, InvertRefusalsExitWithTwoOrOneAndLeaveTheOldFile)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder), out = folder.filePath("image.csv");
    WriteFile(out, "old table\n");
    const std::vector<std::tuple<QStringList, int, QString>> cases = {
        {{"--invert", out}, 2, "lithoprism: --invert needs two names: OUT.csv MEASURED (see lithoprism --help)\n"},
        {{"--invert", out, data, "--constrain"},
         2,
         "lithoprism: --constrain and --start-from-section go with --section SECTION.sec (see lithoprism --help)\n"},
        {{"--invert", out, data, "--lambda", "0"},
         2,
         "lithoprism: --lambda needs a number from 0.0001 to 1e6, not \"0\" (see lithoprism --help)\n"},
        {{"--invert", out, data, "--iterations", "0"},
         2,
         "lithoprism: --iterations needs a whole number from 1 to 1000, not \"0\" (see lithoprism --help)\n"},
        {{"--invert", out, data, "--reference-weight", "-0.5"},
         2,
         "lithoprism: --reference-weight needs a finite number of 0 or more, not \"-0.5\" (see lithoprism --help)\n"},
        {{"--invert", out, data, "--reference-weight", "nan"},
         2,
         "lithoprism: --reference-weight needs a finite number of 0 or more, not \"nan\" (see lithoprism --help)\n"},
        {{"--invert", out, data, "--doi", "--reference-weight", "inf"},
         2,
         "lithoprism: --reference-weight needs a finite number of 0 or more, not \"inf\" (see lithoprism --help)\n"},
        {{"--invert", out, data, "--blocky", "--blocky-epsilon", "0"},
         2,
         "lithoprism: --blocky-epsilon needs a number above 0, not \"0\" (see lithoprism --help)\n"},
        {{"--invert", out, data, "--blocky-epsilon", "0.05"},
         2,
         "lithoprism: --blocky-epsilon goes with --blocky (see lithoprism --help)\n"},
        {{"--timelapse", out, data, data, "--robust"},
         2,
         "lithoprism: --robust goes with --invert, not with --timelapse (see lithoprism --help)\n"},
        {{"--invert", out, data, "--scheme", data},
         2,
         "lithoprism: unknown option --scheme for --invert (see lithoprism --help)\n"},
        {{"--invert", data, data},
         1,
         "lithoprism: The cell table \"" + data + "\" is the measured data file \"" + data +
             "\": name another file to write. Nothing was written.\n"},
        {{"--invert", out, folder.filePath("none.dat")}, 1, QString()},
        {{"--invert", out, data, "--section", folder.filePath("none.sec")}, 1, QString()}};
    for (const auto& [arguments, code, message] : cases) {
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, code) << arguments.join(' ').toStdString();
        if (!message.isEmpty()) {
            EXPECT_EQ(run.Errors, message);
        }
        EXPECT_TRUE(run.Errors.startsWith("lithoprism: ")) << run.Errors.toStdString();
        EXPECT_EQ(run.Errors.count('\n'), 1);
        EXPECT_EQ(FileBytes(out), "old table\n");
        EXPECT_EQ(EntriesIn(folder), 2);
    }
}

// --- The command line under stress ------------------------------------------------------

// The block's data with the first electrode (line 4 of the file) moved to X.
QString DataWithElectrodeAt(const QTemporaryDir& Folder, const QString& X)
{
    QStringList lines = QString::fromUtf8(FileBytes(BlockData(Folder))).split('\n');
    EXPECT_EQ(lines[3], "50 0");
    lines[3] = X + " 0";
    const QString file = Folder.filePath("stray" + X + ".dat");
    WriteFile(file, lines.join('\n').toUtf8());
    return file;
}

// One electrode far from the line, inverted without a section: at x = -1e9
// 19 GB were taken in 112 s before the kernel ended the program, at
// -10,000 no answer came in two minutes, at -1,000 the cells spread over
// the gap. Such an electrode is refused, named by its line, before any work.
TEST(CommandLine, AnElectrodeFarFromTheLineIsRefusedNamingItsLineBeforeAnyWork)
{
    QTemporaryDir folder;
    const QString out = folder.filePath("image.csv");
    // Electrodes 20 m apart from x = 70 on; the first 1,070 m (53.5
    // spacings) and more away. (The nearest first: it ends the test
    // cleanly where the far ones would take the memory.)
    for (const auto& [x, spacings] : std::vector<std::pair<QString, QString>>{
             {"-1000", "53.5"}, {"-10000", "504"}, {"-1e9", "5e7"}}) {
        const QString data = DataWithElectrodeAt(folder, x);
        QElapsedTimer clock;
        clock.start();
        const TCommandRun run = RunCommand({"--invert", out, data});
        ASSERT_EQ(run.Code, 1) << x.toStdString() << ": " << run.Out.toStdString();
        EXPECT_EQ(run.Errors, "lithoprism: Line 4: the electrode at x = " + x + " stands " + spacings +
                                  " electrode spacings from the next one (x = 70), more than 50: the inversion's "
                                  "cells cannot reach across such a gap. Correct its place, remove the data that use "
                                  "it, or write a remote electrode as a pole (no electrode).\n");
        EXPECT_LT(clock.elapsed(), 5000) << x.toStdString();
        EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
        EXPECT_FALSE(QFileInfo::exists(out));
        // With a section it lies outside the model area: refused, named alike.
        const TCommandRun sectioned =
            RunCommand({"--invert", out, data, "--section", QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec")});
        EXPECT_EQ(sectioned.Code, 1);
        EXPECT_TRUE(sectioned.Errors.startsWith("lithoprism: Line 4: the electrode at x = ")) << sectioned.Errors.toStdString();
    }
}

// --lambda 1e-300 (and 1e-20) was taken: exit 0 with cells from 4e-7 to
// 3e15 ohm-m. A λ outside 1e-4 .. 1e6 is refused as a wrong argument; from
// the least one the image stays within the ground's range.
TEST(CommandLine, AVanishingLambdaIsRefusedAndTheLeastOneKeepsTheImagePhysical)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder), out = folder.filePath("image.csv");
    for (const QString& lambda : {QStringLiteral("1e-300"), QStringLiteral("1e-20"), QStringLiteral("0.00009"),
                                  QStringLiteral("2e6"), QStringLiteral("inf")}) {
        const TCommandRun run = RunCommand({"--invert", out, data, "--lambda", lambda});
        EXPECT_EQ(run.Code, 2) << lambda.toStdString();
        EXPECT_EQ(run.Errors, "lithoprism: --lambda needs a number from 0.0001 to 1e6, not \"" + lambda +
                                  "\" (see lithoprism --help)\n");
        EXPECT_FALSE(QFileInfo::exists(out));
    }
    // The ground is 25 ohm-m in 100 ohm-m.
    for (const QString& lambda : {QStringLiteral("1e-4"), QStringLiteral("1e6")}) {
        const TCommandRun run = RunCommand({"--invert", out, data, "--lambda", lambda});
        ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
        const QList<QByteArray> rows = FileBytes(out).trimmed().split('\n');
        for (qsizetype r = 1; r < rows.size(); ++r) {
            const double rho = rows[r].split(',')[4].toDouble();
            EXPECT_GT(rho, 5.0) << lambda.toStdString() << ": " << rows[r].toStdString();
            EXPECT_LT(rho, 500.0) << lambda.toStdString() << ": " << rows[r].toStdString();
        }
        // Every λ tried stays within the range.
        for (const QString& line : run.Out.split('\n', Qt::SkipEmptyParts))
            if (line.startsWith("iteration ")) {
                const double used = line.section("lambda ", 1).toDouble();
                EXPECT_GE(used, 1e-4) << line.toStdString();
                EXPECT_LE(used, 1e6) << line.toStdString();
            }
    }
}

// Runs the command line in a child process whose address space may grow by
// no more than Headroom bytes beyond what it has mapped (as "prlimit --as"
// or "ulimit -v" would bound it); answers the child's exit status: 0 when
// Check accepted the run, 100 + the signal that ended it.
int RunUnderAddressLimit(const QStringList& Arguments, rlim_t Headroom,
                         const std::function<bool(const TCommandRun&)>& Check)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        long pages = 0;
        FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%ld", &pages) != 1)
            _exit(90);
        std::fclose(statm);
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + Headroom;
        const rlimit bound{limit, limit};
        if (setrlimit(RLIMIT_AS, &bound) != 0)
            _exit(91);
        try {
            _exit(Check(RunCommand(Arguments)) ? 0 : 1);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// Under "prlimit --as=471859200" an inversion of a 1,650-datum Wenner line
// ended in "lithoprism: std::bad_alloc" after 14 s of work: the memory
// check read the machine's and the cgroup's memory, not the address-space
// limit. It is counted too: refused at once with the usual message.
TEST(CommandLine, AnAddressSpaceLimitIsRefusedBeforeTheWork)
{
    QTemporaryDir folder;
    const QString data = folder.filePath("wenner.dat"), out = folder.filePath("image.csv");
    ASSERT_EQ(RunCommand({"--forward", data, QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec"), "--array",
                          "wenner", "--electrodes", "120", "--levels", "18", "--spacing", "3", "--first", "20"})
                  .Code,
              0);
    QElapsedTimer clock;
    clock.start();
    // 48 MB beyond what the process has: its 1647 data on some 2,000 cells
    // need four Jacobians of over 100 MB.
    const int status = RunUnderAddressLimit({"--invert", out, data}, rlim_t(48) << 20, [](const TCommandRun& run) {
        const bool refused = run.Code == 1 && run.Out.isEmpty() &&
                             QRegularExpression(R"(^lithoprism: Not enough memory to invert 1647 data on \d+ cells )"
                                                R"(\(about \d+ MB; \d+ MB available\)\.\n$)")
                                 .match(run.Errors)
                                 .hasMatch();
        if (!refused)
            std::fprintf(stderr, "%d: %s\n", run.Code.value_or(-1), run.Errors.toLocal8Bit().constData());
        return refused;
    });
    EXPECT_EQ(status, 0);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(QFileInfo::exists(out));
}

// An output in a folder that looks writable but takes no file (/proc) was
// refused only after the work (8 s of an inversion). A file is tried there
// first, and removed again.
TEST(CommandLine, AnOutputInAFolderThatTakesNoFileIsRefusedBeforeComputing)
{
    if (!QFileInfo(QStringLiteral("/proc/self")).exists())
        GTEST_SKIP() << "no /proc here";
    TFitFolder f;
    const QString data = BlockData(f.folder);
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"--invert", "/proc/lithoprism-image.csv", data}, "cell table"},
        {{"--fit", "/proc/lithoprism-fitted.sec", f.section, "--data", f.measured, "--host-resistivity", "100"},
         "section file to write"},
        {{"--forward", "/proc/lithoprism-data.dat", f.section, "--host-resistivity", "100"}, "data file"}};
    for (const auto& [arguments, role] : cases) {
        QElapsedTimer clock;
        clock.start();
        const TCommandRun run = RunCommand(arguments);
        EXPECT_EQ(run.Code, 1) << arguments.join(' ').toStdString();
        // (Where the folder itself says it cannot be written, that is said.)
        EXPECT_TRUE(run.Errors.startsWith("lithoprism: The " + role + " \"" + arguments[1] + "\" cannot be written: "))
            << run.Errors.toStdString();
        EXPECT_TRUE(run.Errors.endsWith(". Nothing was computed or written.\n")) << run.Errors.toStdString();
        EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
        EXPECT_LT(clock.elapsed(), 2000) << arguments.join(' ').toStdString();
    }
    // A folder that takes files keeps no trace of the try.
    const TCommandRun done = RunCommand({"--forward", f.folder.filePath("data.dat"), f.section, "--host-resistivity",
                                         "100", "--electrodes", "8", "--levels", "2"});
    ASSERT_EQ(done.Code, 0) << done.Errors.toStdString();
    EXPECT_EQ(QDir(f.folder.path()).entryList(QDir::Files | QDir::Hidden).filter("data.dat"), QStringList{"data.dat"});
}

// The data of DataWithReciprocals rewritten: each datum's row through Row
// (its values split), the count line as it is.
QString RewrittenReciprocals(const QTemporaryDir& Folder, const QString& Name,
                             const std::function<QString(const QStringList& Values, int Datum)>& Row,
                             const QString& Columns = QStringLiteral("# a b m n k rhoa"))
{
    QStringList lines = QString::fromUtf8(FileBytes(DataWithReciprocals(Folder))).split('\n');
    const qsizetype header = lines.indexOf(QStringLiteral("# a b m n k rhoa"));
    const int count = lines[header - 1].toInt();
    lines[header] = Columns;
    for (int d = 0; d < count; ++d)
        lines[header + 1 + d] = Row(lines[header + 1 + d].split(' '), d);
    const QString file = Folder.filePath(Name);
    WriteFile(file, lines.join('\n').toUtf8());
    return file;
}

// --reciprocal-error said "the error of their 92 data" when every datum
// kept the file's own err; identical reciprocals fitted "0 ohm + 0 %" and
// their data fell silently to an error of 1e-4 %; "1 pairs". It says what
// was used, warns, keeps the paired data at 0.1 % at least, and counts in
// the singular too.
TEST(CommandLine, ReciprocalErrorsSayWhatTheirDataTookAndKeepAFloor)
{
    QTemporaryDir folder;
    const QString section = QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec");
    const QString table = folder.filePath("compare.csv");
    const auto errorsOf = [&] {
        std::vector<double> errors; // per cent, per row
        const QList<QByteArray> rows = FileBytes(table).trimmed().split('\n');
        for (qsizetype r = 1; r < rows.size(); ++r)
            errors.push_back(rows[r].split(',')[13].toDouble());
        return errors;
    };
    // Every datum with the file's own error: the model is fitted and said,
    // its data keep their own.
    const QString own = RewrittenReciprocals(
        folder, "own.dat", [](const QStringList& v, int) { return v.join(' ') + " 0.02"; },
        QStringLiteral("# a b m n k rhoa err"));
    TCommandRun run = RunCommand({"--forward", table, section, "--data", own, "--reciprocal-error"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    const QStringList said = run.Errors.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(said.size(), 1) << run.Errors.toStdString();
    EXPECT_TRUE(said[0].startsWith("reciprocal-error: 5 pairs: |dR| = ")) << said[0].toStdString();
    EXPECT_TRUE(said[0].endsWith(" of |R|, not used: their 10 data keep the file's own error")) << said[0].toStdString();
    for (double error : errorsOf())
        EXPECT_DOUBLE_EQ(error, 2.0);
    // Some with their own error: both counts said.
    const QString some = RewrittenReciprocals(
        folder, "some.dat", [](const QStringList& v, int d) { return v.join(' ') + (d < 3 ? " 0.02" : " nan"); },
        QStringLiteral("# a b m n k rhoa err"));
    run = RunCommand({"--forward", table, section, "--data", some, "--reciprocal-error"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.trimmed().endsWith(" of |R|, the error of 7 of their 10 data (3 keep the file's own error)"))
        << run.Errors.toStdString();

    // Reciprocals identical to their data: warned, the floor kept.
    QStringList normals;
    const QString identical = RewrittenReciprocals(folder, "identical.dat", [&](const QStringList& v, int d) {
        if (d < 5)
            normals.append(v.join(' '));
        if (d < 46)
            return v.join(' ');
        const QStringList n = normals[d - 46].split(' ');
        return QStringList{n[2], n[3], n[0], n[1], n[4], n[5]}.join(' ');
    });
    run = RunCommand({"--forward", table, section, "--data", identical, "--reciprocal-error"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_EQ(run.Errors, "reciprocal-error: 5 pairs: |dR| = 0 ohm + 0 % of |R|, the error of their 10 data\n"
                          "lithoprism: warning: the reciprocal pairs agree so closely that the model gives 10 data an "
                          "error below 0.1 %: they take 0.1 %, the least it gives\n");
    int floored = 0;
    for (double error : errorsOf()) {
        EXPECT_TRUE(error == 3.0 || error == 0.1) << error;
        floored += error == 0.1;
    }
    EXPECT_EQ(floored, 10);

    // One pair: in the singular. (The other reciprocals measured again as
    // their data were, which pairs nothing.)
    const QString one = RewrittenReciprocals(folder, "one.dat", [&](const QStringList& v, int d) {
        return d < 47 ? v.join(' ') : normals[d - 46];
    });
    run = RunCommand({"--forward", table, section, "--data", one, "--drop-reciprocal", "50", "--reciprocal-error"});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    const QStringList lines = run.Errors.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2) << run.Errors.toStdString();
    EXPECT_EQ(lines[0], "drop-reciprocal: 0 data removed (0 of 1 pair beyond 50 %)");
    EXPECT_TRUE(lines[1].startsWith("reciprocal-error: 1 pair: |dR| = ")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(", the error of their 2 data")) << lines[1].toStdString();
}

// --- A remote electrode off the line -------------------------------------------------

// Pole-dipoles over the plain block (25 ohm-m, x 150 .. 250, 10 to 50 m
// deep, in 100 ohm-m): 16 electrodes 20 m apart from x = 50 and the remote
// C2 40 m off the line beside its middle (x = 200, over the block); n = 1
// .. 4 both ways, computed by the
// forward response and times exp(0.03 N(0, 1)), seeded, in a Res2DInv
// pole-dipole file with the remote block as instruments' software writes it.
// The remote at (RemoteX, Across): 40 m off the line beside x = 200, or
// square from a line electrode (one of x = 50, 70, .., 350).
QString OffLineRemoteData(const QTemporaryDir& Folder, double RemoteX = 200.0, double Across = 40.0)
{
    TSectionModel section;
    EXPECT_TRUE(ReadSectionFile(QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec"), section));
    const TForwardModel ground = PrepareForwardModel(section.Model, section.Nodes, section.ModelArea);
    TSurvey survey;
    survey.Array = SchemeArrayName;
    for (int e = 0; e < 16; ++e)
        survey.Electrodes.push_back({50.0 + 20.0 * e, 0.0});
    survey.Electrodes.push_back({RemoteX, 0.0, Across});
    const int remote = 16;
    std::vector<std::pair<int, int>> rows; // the datum's leftmost electrode, n (negative: M and N left of A)
    for (int a = 0; a < 16; ++a)
        for (int n = 1; n <= 4; ++n) {
            if (a + n + 1 < 16) {
                survey.Configurations.push_back({a, remote, a + n, a + n + 1});
                rows.emplace_back(a, n);
            }
            if (a - n - 1 >= 0) {
                survey.Configurations.push_back({a, remote, a - n, a - n - 1});
                rows.emplace_back(a - n - 1, -n);
            }
        }
    const TForwardResult computed = ComputeForwardResponse(ground, survey);
    std::mt19937 random(115);
    const auto uniform = [&] { return (static_cast<double>(random()) + 0.5) / 4294967296.0; };
    QByteArray text = "Block beside a remote off the line\n20.0\n6\nRemote electrodes included\n"
                      "C2 remote electrode X, Y and Z location\n" +
                      QByteArray::number(RemoteX, 'f', 3) + "," + QByteArray::number(Across, 'f', 3) +
                      ",0.0\nExact Geometric factor used\n" + QByteArray::number(rows.size()) + "\n0\n0\n";
    for (size_t d = 0; d < rows.size(); ++d) {
        const double gauss = std::sqrt(-2.0 * std::log(uniform())) * std::cos(2.0 * std::numbers::pi * uniform());
        text += QByteArray::number(50.0 + 20.0 * rows[d].first) + " 20 " + QByteArray::number(rows[d].second) + " " +
                QByteArray::number(computed.Resistivities[d] * std::exp(0.03 * gauss), 'g', 10) + "\n";
    }
    text += "0\n0\n";
    const QString file = Folder.filePath("remote.dat");
    WriteFile(file, text);
    return file;
}

// The region fit from 50 and 60 ohm-m and the inversion of Data, run as
// the program: the host (100 ohm-m) and the block (25) found again, χ² near
// 1; Dropped the message of the data --drop-negative leaves out.
void ExpectFittedAndInverted(const QTemporaryDir& folder, const QString& data, const QString& Dropped)
{
    const QString start = folder.filePath("start.sec");
    WriteFile(start, FileBytes(QStringLiteral(LP_FORWARD_DATA_DIR "/plain-block.sec"))
                         .replace(" 100.000 ", " 50.000 ")
                         .replace(" 25.000 ", " 60.000 "));
    const TProgramRun fit = RunProgram(
        {"--fit", folder.filePath("fitted.sec"), start, "--data", data, "--error", "3", "--drop-negative"});
    ASSERT_EQ(fit.Code, 0) << fit.Errors.toStdString();
    EXPECT_EQ(fit.Errors, Dropped);
    std::printf("[ fit, remote off the line ]\n%s", fit.Out.toStdString().c_str());
    const auto fitted = [&](const QString& label) {
        const QRegularExpressionMatch match =
            QRegularExpression("^" + label + ": [0-9.]+ -> ([0-9.e+]+) ohm-m", QRegularExpression::MultilineOption)
                .match(fit.Out);
        EXPECT_TRUE(match.hasMatch()) << label.toStdString() << ": " << fit.Out.toStdString();
        return match.captured(1).toDouble();
    };
    EXPECT_NEAR(fitted("host"), 100.0, 3.0);
    EXPECT_NEAR(fitted("Block"), 25.0, 2.5);
    const QRegularExpressionMatch fitChi = QRegularExpression(R"(chi-square ([0-9.e+]+))").match(fit.Out.split('\n', Qt::SkipEmptyParts).last());
    ASSERT_TRUE(fitChi.hasMatch()) << fit.Out.toStdString();
    EXPECT_GT(fitChi.captured(1).toDouble(), 0.6);
    EXPECT_LT(fitChi.captured(1).toDouble(), 1.5);

    // The inversion: χ² near 1, the block where it is, the host around it.
    const QString image = folder.filePath("image.csv");
    const TProgramRun inverted =
        RunProgram({"--invert", image, data, "--error", "3", "--iterations", "8", "--drop-negative"});
    ASSERT_EQ(inverted.Code, 0) << inverted.Errors.toStdString();
    std::printf("[ inversion, remote off the line ]\n%s", inverted.Out.toStdString().c_str());
    const QRegularExpressionMatch last =
        QRegularExpression(R"(^inverted: (\d+) cells, chi-square ([0-9.e+]+), rrms)")
            .match(inverted.Out.split('\n', Qt::SkipEmptyParts).last());
    ASSERT_TRUE(last.hasMatch()) << inverted.Out.toStdString();
    EXPECT_GT(last.captured(2).toDouble(), 0.6);
    EXPECT_LT(last.captured(2).toDouble(), 1.5);
    double block = 1e300, host = 0.0;
    int hostCells = 0;
    const QList<QByteArray> rows = FileBytes(image).trimmed().split('\n');
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const QList<QByteArray> v = rows[r].split(',');
        ASSERT_GE(v.size(), 5);
        const double x = (v[0].toDouble() + v[1].toDouble()) / 2, z = (v[2].toDouble() + v[3].toDouble()) / 2;
        const double rho = v[4].toDouble();
        if (x > 170 && x < 230 && z > 15 && z < 40)
            block = std::min(block, rho);
        if ((x < 110 || x > 290) && z < 20) {
            host += std::log(rho);
            ++hostCells;
        }
    }
    std::printf("[ inversion, remote off the line ] lowest in the block %.3g ohm-m, host beside it %.3g ohm-m\n",
                block, std::exp(host / std::max(hostCells, 1)));
    ASSERT_GT(hostCells, 0);
    EXPECT_LT(block, 50.0);
    EXPECT_GT(block, 12.5);
    EXPECT_NEAR(std::exp(host / hostCells), 100.0, 10.0);
}

// A region fit or an inversion of data with a remote off the line was
// refused ("fitting and inversion take electrodes on the line only").
TEST(CommandLine, DataWithARemoteOffTheLineAreFittedAndInverted)
{
    QTemporaryDir folder;
    // The remote beside M and N of four data over the block gives them a ρa
    // below 0 (their ΔU against the sign of their geometric factor): left out.
    ExpectFittedAndInverted(folder, OffLineRemoteData(folder), "drop-negative: 4 data removed\n");
}

// Data with the remote 20 m off the line square from electrode 8 (x = 190,
// that electrode's x exactly) were refused: the fit "Line 23: the electrode
// at x = 190 stands at the place of line 6's (x = 190) on the section's
// surface.", the inversion "Electrodes 8 and 9 stand at one place (x =
// 190)."; the pole-dipoles with A at x = 190 were skipped as measuring
// nothing (their distances taken along the line alone).
TEST(CommandLine, DataWithARemoteSquareFromALineElectrodeAreFittedAndInverted)
{
    QTemporaryDir folder;
    // Every datum keeps a ρa above 0: none left out.
    ExpectFittedAndInverted(folder, OffLineRemoteData(folder, 190.0, 20.0), "drop-negative: 0 data removed\n");
}

// --- Faults of layouts, heights, logs and memory -----------------------------------------

// Hole layouts were refused for reasons they did not have ("24 electrodes
// are too few for its levels" when the geometric factor's limit dropped
// every configuration, and for a hole of two), after their count was
// printed (a hole at x = 1e308), or computed for ten minutes (holes 1 µm
// apart): each is refused by its own reason before anything is said.
TEST(CommandLine, HoleLayoutsAreRefusedByTheirOwnReasonBeforeAnythingIsPrinted)
{
    QTemporaryDir folder;
    const QString out = folder.filePath("holes.dat");
    const QString section = QStringLiteral(LP_EXAMPLES_DIR "/example.sec");
    const std::vector<std::pair<QStringList, std::string>> cases = {
        {{"crosshole", "--holes", "10,10.000001"},
         "The two holes stand 1e-6 m apart, closer than the computation tells electrodes apart: at least 0.1 m (a "
         "tenth of the hole spacing)."},
        {{"crosshole", "--holes", "1e308,30"}, "The hole at x = 1e+308 lies outside the model area (x from 0 to 1000)."},
        {{"single-hole", "--holes", "300", "--hole-electrodes", "2"},
         "A hole alone has 3 to 1000 electrodes, not 2 (its smallest configuration, pole-bipole, takes A, M and N in "
         "it)."},
        {{"crosshole", "--holes", "300,500", "--max-geometric-factor", "1"},
         "Every one of the 1324 configurations has a geometric factor above 1 m (the smallest 4.75 m): raise the "
         "limit to that at least."},
    };
    for (const auto& [layout, refusal] : cases) {
        const TCommandRun run =
            RunCommand(QStringList{"--forward", out, section, "--host-resistivity", "100", "--array"} + layout);
        EXPECT_EQ(run.Code, 1) << layout.join(' ').toStdString();
        EXPECT_EQ(run.Errors.toStdString(), "lithoprism: " + refusal + "\n");
        EXPECT_TRUE(run.Out.isEmpty()) << run.Out.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out));
    // Just beyond a tenth of the spacing apart the holes are computed.
    const TCommandRun near = RunCommand({"--forward", out, section, "--host-resistivity", "100", "--array", "crosshole",
                                         "--holes", "100,100.11", "--hole-electrodes", "4"});
    EXPECT_EQ(near.Code, 0) << near.Errors.toStdString();
    EXPECT_TRUE(near.Out.startsWith("crosshole: ")) << near.Out.toStdString();
}

// A unified file of electrodes at (x, z) and configurations "a b m n",
// with a rhoa column of Rhoa when given.
QByteArray UnifiedFile(const std::vector<std::pair<double, double>>& Electrodes,
                       const std::vector<std::array<int, 4>>& Data, std::optional<double> Rhoa = std::nullopt)
{
    QByteArray text = "# made up\n" + QByteArray::number(Electrodes.size()) + "\n# x z\n";
    for (const auto& [x, z] : Electrodes)
        text += QByteArray::number(x, 'g', 17) + " " + QByteArray::number(z, 'g', 17) + "\n";
    text += QByteArray::number(Data.size()) + (Rhoa ? "\n# a b m n rhoa\n" : "\n# a b m n\n");
    for (const std::array<int, 4>& d : Data)
        text += QByteArray::number(d[0]) + " " + QByteArray::number(d[1]) + " " + QByteArray::number(d[2]) + " " +
                QByteArray::number(d[3]) + (Rhoa ? " " + QByteArray::number(*Rhoa) : QByteArray()) + "\n";
    return text + "0\n";
}

// A scheme's electrodes above the ground were put on it without a word
// (--data warned), and a hole's electrodes above it were refused as
// standing at one place, 1 m apart in height: the first are warned about
// as --data's are, the second refused for what they are, by --scheme and
// by --data (naming the file's lines).
TEST(CommandLine, ElectrodesAboveTheGroundAreWarnedAboutOrRefusedForIt)
{
    QTemporaryDir folder;
    const QString section = QStringLiteral(LP_EXAMPLES_DIR "/example.sec");
    std::vector<std::pair<double, double>> line, holes;
    for (int e = 0; e < 8; ++e)
        line.push_back({100.0 + 10.0 * e, 5.0});
    for (double x : {300.0, 320.0})
        for (int e = 0; e < 6; ++e)
            holes.push_back({x, 10.0 - e});
    WriteFile(folder.filePath("air.dat"), UnifiedFile(line, {{1, 2, 3, 4}, {2, 3, 4, 5}}));
    WriteFile(folder.filePath("holes.dat"), UnifiedFile(holes, {{1, 2, 7, 8}, {2, 3, 8, 9}}));
    WriteFile(folder.filePath("measured.dat"), UnifiedFile(holes, {{1, 2, 7, 8}, {2, 3, 8, 9}}, 100.0));
    const auto forward = [&](const QStringList& Options) {
        return RunCommand(QStringList{"--forward", folder.filePath("out.dat"), section, "--host-resistivity", "100"} +
                          Options);
    };
    const TCommandRun air = forward({"--scheme", folder.filePath("air.dat")});
    EXPECT_EQ(air.Code, 0);
    EXPECT_EQ(air.Errors.toStdString(),
              "lithoprism: warning: The file's electrode elevations differ from the section's surface by up to 5 "
              "(electrode 1 at x = 100), more than a tenth of the smallest electrode spacing (10): the electrodes "
              "stand on the section's surface.\n");
    const TCommandRun scheme = forward({"--scheme", folder.filePath("holes.dat")});
    EXPECT_EQ(scheme.Code, 1);
    EXPECT_TRUE(scheme.Errors.endsWith(
        "lithoprism: Electrodes 1 and 2 (x = 300, z = 10 and 9) are given above the section's surface (z = 0 there): "
        "an electrode above the ground stands on it, where these two would stand at one place. Give the electrodes "
        "elevations at or below the surface.\n"))
        << scheme.Errors.toStdString();
    const TCommandRun data = forward({"--data", folder.filePath("measured.dat")});
    EXPECT_EQ(data.Code, 1);
    EXPECT_EQ(data.Errors.toStdString(),
              "lithoprism: Line 5: the electrode at x = 300, z = 9 and line 4's at z = 10 are given above the "
              "section's surface (z = 0 there): an electrode above the ground stands on it, where these two would "
              "stand at one place.\n");
}

// One configuration of k = -8.25e8 m in a measured file stopped the whole
// comparison ("Datum 1157: the computed apparent resistivity -13.9 is not
// above 0"). Configurations measuring next to nothing (M and N near the
// line of equal potential, k of 1e5 to 1e7 m either side of it) leave the
// sign of their response to the computation's rounding: those computed at 0
// or below are skipped, named by line and counted, the others compared.
TEST(CommandLine, ForwardAtMeasuredDataSkipsTheDataComputedAtZeroOrBelow)
{
    QTemporaryDir folder;
    // A at 100, B at 130, M at 120: N at 143.72281... sees M's potential.
    std::vector<std::pair<double, double>> electrodes{{100, 0}, {130, 0}, {120, 0}};
    const double equal = 15.0 + std::sqrt(825.0);
    for (double offset : {-1e-2, -1e-3, -1e-4, 1e-4, 1e-3, 1e-2})
        electrodes.push_back({100.0 + equal + offset, 0});
    for (double x : {200, 210, 220, 230})
        electrodes.push_back({x, 0});
    std::vector<std::array<int, 4>> configurations{{10, 11, 12, 13}};
    for (int n = 4; n <= 9; ++n)
        configurations.push_back({1, 2, 3, n});
    TSurvey survey;
    for (const auto& [x, z] : electrodes)
        survey.Electrodes.push_back({x, z});
    QByteArray text = UnifiedFile(electrodes, configurations);
    // Each datum's resistance of a 100 ohm-m ground over a flat surface.
    text.replace("# a b m n\n", "# a b m n r\n");
    QList<QByteArray> lines = text.split('\n');
    for (size_t d = 0; d < configurations.size(); ++d) {
        const auto& c = configurations[d];
        const double k = FlatGeometricFactor(survey, {c[0] - 1, c[1] - 1, c[2] - 1, c[3] - 1});
        lines[static_cast<qsizetype>(18 + d)] += " " + QByteArray::number(100.0 / k, 'g', 17);
    }
    const QString measured = folder.filePath("null.dat"), out = folder.filePath("compared.csv");
    WriteFile(measured, lines.join('\n'));
    // The lines whose response the computation gives at 0 or below.
    const TMeasuredData data = ReadMeasuredData(lines.join('\n').toStdString());
    TSectionModel model;
    ASSERT_TRUE(ReadSectionFile(QStringLiteral(LP_EXAMPLES_DIR "/example.sec"), model));
    const TForwardResult response =
        ComputeForwardResponse(PrepareForwardModel(model.Model, model.Nodes, model.ModelArea, 100.0), data.Survey());
    QStringList skipped;
    for (size_t d = 0; d < data.Size(); ++d)
        if (!(response.Resistivities[d] > 0.0))
            skipped += QString::number(data.Lines[d]);
    ASSERT_FALSE(skipped.isEmpty());
    const TCommandRun run = RunCommand({"--forward", out, QStringLiteral(LP_EXAMPLES_DIR "/example.sec"),
                                        "--host-resistivity", "100", "--data", measured});
    ASSERT_EQ(run.Code, 0) << run.Errors.toStdString();
    EXPECT_EQ(run.Errors, QStringLiteral("lithoprism: warning: data skipped: %1 whose computed apparent resistivity is 0 "
                                         "or below (a configuration measuring next to nothing: %2 %3).\n")
                              .arg(skipped.size())
                              .arg(skipped.size() == 1 ? "line" : "lines", skipped.join(", ")));
    EXPECT_TRUE(run.Out.startsWith(QStringLiteral("%1 data (%2 skipped): ").arg(7 - skipped.size()).arg(skipped.size())))
        << run.Out.toStdString();
    EXPECT_EQ(FileBytes(out).trimmed().split('\n').size(), 1 + 7 - skipped.size());
}

// A DAS-1 line of 24 electrodes 2 m apart along x, dipole-dipole n = 1 .. 4;
// electrode 7's Elec-Z and Terrn-Z as given.
QByteArray Das1Line(const QByteArray& Seventh)
{
    QByteArray text = "!Made-up line\r\n#elec_start\r\n!Cbl# El# Elec-X  Elec-Y  Elec-Z  Terrn-Z  Type  El.Num\r\n";
    for (int e = 1; e <= 24; ++e)
        text += QStringLiteral("001,%1 +%2 +0.0000 %3 %4\r\n")
                    .arg(e, 2, 10, QLatin1Char('0'))
                    .arg(2.0 * e, 0, 'f', 4)
                    .arg(e == 7 ? QString::fromLatin1(Seventh) : QStringLiteral("+0.0000 +0.0000"))
                    .arg(e, 3, 10, QLatin1Char('0'))
                    .toLatin1();
    text += "#elec_end\r\n#data_res_col= 011\r\n#data_start\r\n";
    int id = 1;
    for (int a = 1; a <= 24; ++a)
        for (int n = 1; n <= 4 && a + n + 2 <= 24; ++n)
            text += QStringLiteral("%1 001,%2 001,%3 001,%4 001,%5 +100.0 %6 +.01\r\n")
                        .arg(id++, 6, 10, QLatin1Char('0'))
                        .arg(a + 1, 2, 10, QLatin1Char('0'))
                        .arg(a, 2, 10, QLatin1Char('0'))
                        .arg(a + 1 + n, 2, 10, QLatin1Char('0'))
                        .arg(a + 2 + n, 2, 10, QLatin1Char('0'))
                        .arg(100.0 / (std::numbers::pi * n * (n + 1) * (n + 2) * 2.0), 0, 'g', 9)
                        .toLatin1();
    return text + "#data_end\r\n";
}

// A DAS-1 file whose electrode 7 has a Terrn-Z of 1e9 made --invert grow
// until the machine ended it; one above its terrain in a hole ended in an
// internal guard naming no line. The first is refused by its line, the
// second put on its terrain with a warning naming it.
TEST(CommandLine, InvertRefusesAGroundFarAboveTheSurveyAndStandsAnElectrodeAboveItsTerrainOnIt)
{
    QTemporaryDir folder;
    const QString tall = folder.filePath("tall.txt"), out = folder.filePath("image.csv");
    WriteFile(tall, Das1Line("+0.0000 +1000000000"));
    const TCommandRun refused = RunCommand({"--invert", out, tall, "--iterations", "1"});
    EXPECT_EQ(refused.Code, 1);
    EXPECT_TRUE(refused.Errors.endsWith(
        "lithoprism: Line 10: the electrode at x = 14 lies under a ground surface at elevation 1e9, 5e8 electrode "
        "spacings above the next height of the survey (0), more than 50: the inversion's cells cannot reach across "
        "such a gap. Correct its elevation or the ground's (its depth), or remove the data that use it.\n"))
        << refused.Errors.toStdString();
    EXPECT_FALSE(QFileInfo::exists(out));
    const QString above = folder.filePath("above.txt");
    WriteFile(above, Das1Line("+1.0000 +.50000"));
    const TCommandRun stood = RunCommand({"--invert", out, above, "--iterations", "1"});
    EXPECT_EQ(stood.Code, 0) << stood.Errors.toStdString();
    EXPECT_TRUE(stood.Errors.startsWith("lithoprism: warning: 1 electrode stands above its Terrn-Z (the first on line "
                                        "10, the most by 0.5 m): put on the terrain, the ground's surface there.\n"))
        << stood.Errors.toStdString();
}

// A resistivity log of the block's ground at X in a well-log list, one
// sample Bad at 31 m when given.
QString LogList(const QTemporaryDir& Folder, const QString& Name, double X, const QByteArray& Bad = {})
{
    QByteArray samples;
    for (int depth = 1; depth < 80; depth += 2)
        samples += QByteArray::number(depth) + " " +
                   (depth == 31 && !Bad.isEmpty() ? Bad : QByteArray(depth > 10 && depth < 50 ? "25" : "100")) + "\n";
    WriteFile(Folder.filePath(Name + ".log"), samples);
    const QString list = Folder.filePath(Name + ".crt");
    WriteFile(list, Name.toLatin1() + ".log\nborehole B1\n" + QByteArray::number(X, 'g', 17) + " 5 0 0 0 0 0\n");
    return list;
}

// A log with a resistivity of 0, -5 or no number was warned about (or
// refused without its line) and used; a well at x = 1e308 changed the
// image while one at 5,000 was dropped without a word; --log-error and
// --log-reach were taken without --well-logs. Now: refused by the log's
// file and line; left out with a warning (refused when no log is left);
// refused as arguments.
TEST(CommandLine, WellLogsWithUnusableSamplesOrWellsBeyondTheCellsAreSaidSo)
{
    QTemporaryDir folder;
    const QString data = BlockData(folder), out = folder.filePath("image.csv");
    const std::vector<std::tuple<QString, double, QByteArray, QString>> cases = {
        {"zero", 200.0, "0", "lithoprism: The log \"borehole B1\" (zero.log, line 16) holds a resistivity of 0"},
        {"negative", 200.0, "-5", "lithoprism: The log \"borehole B1\" (negative.log, line 16) holds a resistivity of -5"},
        {"none", 200.0, "nan", "lithoprism: The log \"borehole B1\" (none.log, line 16) holds no number"},
        {"far", 5000.0, {}, "lithoprism: warning: The log \"borehole B1\" stands at x = 5000, beyond the inversion's cells"},
        {"huge", 1e308, {}, "lithoprism: warning: The log \"borehole B1\" stands at x = 1e308, beyond the inversion's cells"},
    };
    for (const auto& [name, x, bad, said] : cases) {
        const TCommandRun run = RunCommand({"--invert", out, data, "--well-logs", LogList(folder, name, x, bad)});
        EXPECT_EQ(run.Code, 1) << name.toStdString();
        EXPECT_TRUE(run.Errors.contains(said)) << run.Errors.toStdString();
        if (bad.isEmpty()) {
            EXPECT_TRUE(run.Errors.endsWith("stands over the inversion's cells.\n")) << run.Errors.toStdString();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(out));
    for (const char* option : {"--log-error", "--log-reach"}) {
        const TCommandRun run = RunCommand({"--invert", out, data, option, "5"});
        EXPECT_EQ(run.Code, 2);
        EXPECT_EQ(run.Errors, "lithoprism: --log-error and --log-reach go with --well-logs LIST.crt (see lithoprism "
                              "--help)\n");
    }
}

// A file of a million data under "ulimit -v 700000" ended in "lithoprism:
// std::bad_alloc": memory running out is said with the step the command
// was at and what that step needs, whichever command it is.
TEST(CommandLine, MemoryRunningOutIsSaidWithTheStepAndItsNeed)
{
    using commandline::CommandFailed, commandline::ReadMeasuredDataFile, commandline::SetCommandStep;
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> errors(std::tmpfile(), &std::fclose);
    SetCommandStep(QStringLiteral("reading the measured data file \"big.dat\""), 234e6);
    EXPECT_EQ(CommandFailed(errors.get(), std::bad_alloc()), 1);
    SetCommandStep(QStringLiteral("laying the inversion's cells"));
    EXPECT_EQ(CommandFailed(errors.get(), std::bad_alloc()), 1);
    const QStringList said = StreamText(errors.get()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(said.size(), 2);
    const QRegularExpression available(R"([ (][0-9.e+]+ MB available\)\.$)");
    EXPECT_TRUE(said[0].startsWith("lithoprism: not enough memory while reading the measured data file \"big.dat\" (it "
                                   "needs about 234 MB;"))
        << said[0].toStdString();
    EXPECT_TRUE(said[1].startsWith("lithoprism: not enough memory while laying the inversion's cells ("))
        << said[1].toStdString();
    for (const QString& line : said)
        EXPECT_TRUE(available.match(line).hasMatch()) << line.toStdString();
    // The step a command reaches is the one said: a file of 100 data read.
    QTemporaryDir folder;
    std::vector<std::array<int, 4>> data(100, {2, 1, 3, 4});
    WriteFile(folder.filePath("few.dat"), UnifiedFile({{100, 0}, {110, 0}, {120, 0}, {130, 0}}, data, 100.0));
    ASSERT_EQ(ReadMeasuredDataFile(folder.filePath("few.dat"), std::nullopt, errors.get()).Size(), 100u);
    EXPECT_EQ(CommandFailed(errors.get(), std::bad_alloc()), 1);
    EXPECT_TRUE(StreamText(errors.get()).contains("not enough memory while reading the measured data file \"" +
                                                  folder.filePath("few.dat") + "\" (it needs about "));
}

} // namespace
} // namespace lp
