// The program from its start to the end of its process.

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

namespace lp {
namespace {

// Every exit after "Body parameters" had been opened died with signal 11:
// the dialog, kept for reuse in a static, was destroyed after main()
// returned, when the application object was gone.
TEST(SectionEditorExit, EndsWithStatusZeroAfterEveryKeptDialogWasOpened)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"example.sec", "example.jpg"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(LP_EXAMPLES_DIR "/") + name, folder.filePath(name)));
    QFile log(folder.filePath(QStringLiteral("gamma.dat")));
    ASSERT_TRUE(log.open(QIODevice::WriteOnly));
    log.write("0 10\r\n50 30\r\n100 20\r\n");
    log.close();
    QFile list(folder.filePath(QStringLiteral("wells.crt")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("gamma.dat\r\nGR\r\n500 5 0 0 1 255 0\r\n");
    list.close();

    QProcess program;
    // Offscreen, with settings and the desktop's file types of the test's own.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.filePath(QStringLiteral("data")));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(LP_STARTUP_DRIVER),
                  {folder.filePath(QStringLiteral("example.sec")), folder.filePath(QStringLiteral("wells.crt"))});
    ASSERT_TRUE(program.waitForStarted());
    // A stuck session is ended rather than waited for.
    if (!program.waitForFinished(180000)) {
        program.kill();
        program.waitForFinished();
        ADD_FAILURE() << "the session did not end";
    }
    const QString steps = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(steps.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{QStringLiteral("section open"), QStringLiteral("closed Body parameters"),
                           QStringLiteral("shown Regions"), QStringLiteral("closed Model setup"), QStringLiteral("closed Picture settings"),
                           QStringLiteral("well logs 1"), QStringLiteral("closed Vexa Print Preview"),
                           QStringLiteral("computing Forward response"),
                           QStringLiteral("closed Section editor"), QStringLiteral("window closed")}))
        << errors.toStdString();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << errors.toStdString();
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
}

} // namespace
} // namespace lp
