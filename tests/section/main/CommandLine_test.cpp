// The command line without a window: --help and --export-model, their exit
// codes and messages, and the program itself run without a display.

#include "section/main/CommandLine.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace lp {
namespace {

// A command line run with its two output streams captured.
struct TCommandRun {
    std::optional<int> Code;
    QString Out, Errors;
};

QString StreamText(std::FILE* Stream)
{
    std::rewind(Stream);
    QByteArray bytes;
    char buffer[4096];
    for (size_t read; (read = std::fread(buffer, 1, sizeof buffer, Stream)) > 0;)
        bytes.append(buffer, static_cast<qsizetype>(read));
    return QString::fromLocal8Bit(bytes);
}

TCommandRun RunCommand(const QStringList& Arguments)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), &std::fclose);
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> errors(std::tmpfile(), &std::fclose);
    TCommandRun run;
    run.Code = RunCommandLine(Arguments, out.get(), errors.get());
    run.Out = StreamText(out.get());
    run.Errors = StreamText(errors.get());
    return run;
}

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

} // namespace
} // namespace lp
