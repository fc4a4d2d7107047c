#include "platform/core/TemporaryFiles.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace lp {
namespace {

void WriteFile(const QString& Name)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("attachment");
}

TEST(TemporaryFiles, AFolderUntilExitIsNewAndGoesWithItsContents)
{
    const QString A = MakeTemporaryFolderUntilExit(QStringLiteral("Mailed"));
    const QString B = MakeTemporaryFolderUntilExit(QStringLiteral("Mailed"));
    ASSERT_FALSE(A.isEmpty());
    EXPECT_NE(A, B);
    EXPECT_TRUE(QFileInfo(A).fileName().startsWith("Mailed-"));
    EXPECT_EQ(QFileInfo(A).absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
    WriteFile(A + "/VudEvevu.bmp");
    QDir(A).mkdir("inner");
    WriteFile(A + "/inner/more.txt");
    RemoveRegisteredPathsNow();
    EXPECT_FALSE(QFileInfo::exists(A));
    EXPECT_FALSE(QFileInfo::exists(B));
}

TEST(TemporaryFiles, AMissingTemporaryFolderGivesNoFolder)
{
    const QByteArray Old = qgetenv("TMPDIR");
    QTemporaryDir Dir;
    qputenv("TMPDIR", Dir.filePath("missing").toLocal8Bit());
    EXPECT_TRUE(MakeTemporaryFolderUntilExit(QStringLiteral("Mailed")).isEmpty());
    if (Old.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", Old);
}

// The removal runs when the program ends: a child process registers a file
// and exits; the file is gone afterwards, while an unregistered one stays.
TEST(TemporaryFiles, RegisteredPathsAreRemovedWhenTheProgramEnds)
{
    // The child is forked, so it sees the same folder as this test.
    GTEST_FLAG_SET(death_test_style, "fast");
    QTemporaryDir Dir;
    const QString Registered = Dir.filePath("registered.bmp");
    const QString Kept = Dir.filePath("kept.bmp");
    WriteFile(Registered);
    WriteFile(Kept);
    EXPECT_EXIT(
        {
            RemoveAtExit(Registered);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(QFile::exists(Registered));
    EXPECT_TRUE(QFile::exists(Kept));
}

} // namespace
} // namespace lp
