// Atomic saves: the old file survives every failure, and no temporary file
// is left behind.

#include "platform/core/SafeSave.h"

#include "platform/base/Exception.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include "FileSizeLimit.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

QByteArray ReadAll(const QString& Name)
{
    QFile file(Name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

using test::TFileSizeLimit;

struct SafeSave : ::testing::Test {
    QTemporaryDir Folder;
    QString Name = Folder.filePath("target.txt");
    void SetUp() override
    {
        QFile file(Name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    int FilesInFolder() const { return QDir(Folder.path()).entryList(QDir::Files | QDir::Hidden).size(); }
};

TEST_F(SafeSave, ReplacesTheFileWhenEverythingWasWritten)
{
    QString error;
    ASSERT_TRUE(SaveBytesAtomically(Name, QByteArray(5000, 'x'), error)) << error.toStdString();
    EXPECT_EQ(ReadAll(Name), QByteArray(5000, 'x'));
    ASSERT_TRUE(SaveAtomically(Name, [](QIODevice& device) { device.write("new"); }, error));
    EXPECT_EQ(ReadAll(Name), "new");
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(SafeSave, AFullDiskKeepsTheOldFile)
{
    QString error;
    {
        TFileSizeLimit limit(512);
        EXPECT_FALSE(SaveBytesAtomically(Name, QByteArray(100000, 'x'), error));
    }
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ReadAll(Name), "old");
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(SafeSave, AWriterThatRaisesTouchesNothing)
{
    QString error;
    EXPECT_THROW(SaveAtomically(
                     Name,
                     [](QIODevice& device) {
                         device.write("partial");
                         throw EConvertError("no");
                     },
                     error),
                 EConvertError);
    EXPECT_EQ(ReadAll(Name), "old");
    EXPECT_EQ(FilesInFolder(), 1);
}

TEST_F(SafeSave, AMissingFolderIsReported)
{
    QString error;
    EXPECT_FALSE(SaveBytesAtomically(Folder.filePath("no/such/folder/x.txt"), "x", error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SafeSave, FilesThatBelongTogetherAreAllSavedOrNone)
{
    QString error;
    const QString table = Folder.filePath("target.csv");
    ASSERT_TRUE(SaveFilesAtomically({{Name, "geometry"}, {table, "table"}}, error)) << error.toStdString();
    EXPECT_EQ(ReadAll(Name), "geometry");
    EXPECT_EQ(ReadAll(table), "table");
    EXPECT_EQ(FilesInFolder(), 2);
    EXPECT_EQ(QFile::permissions(table) & QFileDevice::ReadOther, QFileDevice::ReadOther);

    // The second target cannot be replaced (a folder holds its name): the
    // first keeps its old content, and nothing else is left behind.
    const QString blocked = Folder.filePath("blocked.csv");
    ASSERT_TRUE(QDir(Folder.path()).mkpath("blocked.csv/inside"));
    EXPECT_FALSE(SaveFilesAtomically({{Name, "new geometry"}, {blocked, "new table"}}, error));
    EXPECT_TRUE(error.contains("blocked.csv")) << error.toStdString();
    EXPECT_EQ(ReadAll(Name), "geometry");
    EXPECT_EQ(FilesInFolder(), 2);

    // A new first file goes again when the second fails.
    const QString fresh = Folder.filePath("fresh.geo");
    EXPECT_FALSE(SaveFilesAtomically({{fresh, "x"}, {blocked, "y"}}, error));
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_EQ(FilesInFolder(), 2);

    // A first file that cannot be written leaves the second untouched.
    EXPECT_FALSE(SaveFilesAtomically({{Folder.filePath("no/such/x.geo"), "x"}, {table, "changed"}}, error));
    EXPECT_EQ(ReadAll(table), "table");
}

TEST_F(SafeSave, AFullDiskKeepsBothOldFilesOfAPair)
{
    QString error;
    const QString table = Folder.filePath("target.csv");
    ASSERT_TRUE(SaveFilesAtomically({{Name, "geometry"}, {table, "table"}}, error)) << error.toStdString();
    {
        TFileSizeLimit limit(512);
        EXPECT_FALSE(SaveFilesAtomically({{Name, "small"}, {table, QByteArray(100000, 'x')}}, error));
    }
    EXPECT_TRUE(error.contains("target.csv")) << error.toStdString();
    EXPECT_EQ(ReadAll(Name), "geometry");
    EXPECT_EQ(ReadAll(table), "table");
    EXPECT_EQ(FilesInFolder(), 2);
}

} // namespace
} // namespace lp
