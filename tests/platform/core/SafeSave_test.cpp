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

} // namespace
} // namespace lp
