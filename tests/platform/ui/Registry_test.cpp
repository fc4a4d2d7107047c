#include "platform/ui/Registry.h"

#include "FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>

namespace lp {
namespace {

// Every test gets its own settings folder; the user's real settings are never
// read or written.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, Folder.filePath(QStringLiteral("system")));
    }

    // The current user's file, written by hand.
    QString WriteUserFile(const QByteArray& Content)
    {
        const QString Name = Folder.filePath(QStringLiteral("Lithoprism/Lithoprism.ini"));
        QDir().mkpath(Folder.filePath(QStringLiteral("Lithoprism")));
        QFile File(Name);
        EXPECT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(Content);
        return Name;
    }
    static QByteArray ReadFile(const QString& Name)
    {
        QFile File(Name);
        return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir Folder;
};

// --- Keys --------------------------------------------------------------------------------------------

TEST_F(RegistryTest, OpenKey_WithoutCreate_FailsForMissingKeyAndKeepsOpenKey)
{
    TRegistry Registry;
    EXPECT_FALSE(Registry.OpenKey(QStringLiteral("Software\\Missing"), false));
    EXPECT_EQ(Registry.CurrentPath(), QString());
    EXPECT_FALSE(Registry.KeyExists(QStringLiteral("Software\\Missing")));
}

TEST_F(RegistryTest, OpenKey_WithCreate_MakesKeyThatSurvivesWithoutValues)
{
    {
        TRegistry Registry;
        ASSERT_TRUE(Registry.OpenKey(QStringLiteral("SOFTWARE\\Maker\\Program Pro\\Editor"), true));
        EXPECT_EQ(Registry.CurrentPath(), QStringLiteral("SOFTWARE\\Maker\\Program Pro\\Editor"));
        EXPECT_TRUE(Registry.GetValueNames().isEmpty());
    }
    TRegistry Reopened;
    EXPECT_TRUE(Reopened.KeyExists(QStringLiteral("SOFTWARE\\Maker\\Program Pro\\Editor")));
    EXPECT_TRUE(Reopened.OpenKeyReadOnly(QStringLiteral("SOFTWARE\\Maker\\Program Pro\\Editor")));
}

TEST_F(RegistryTest, OpenKey_RelativePathStartsAtOpenKeyAndLeadingBackslashAtRoot)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("A"), true));
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("B"), true));
    EXPECT_EQ(Registry.CurrentPath(), QStringLiteral("A\\B"));
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("\\C"), true));
    EXPECT_EQ(Registry.CurrentPath(), QStringLiteral("C"));
    Registry.CloseKey();
    EXPECT_EQ(Registry.CurrentPath(), QString());
    EXPECT_EQ(Registry.GetKeyNames(), QStringList({QStringLiteral("A"), QStringLiteral("C")}));
}

TEST_F(RegistryTest, GetKeyNames_ListsDirectSubKeysSorted)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("Root\\Zeta\\Deep"), true));
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("\\Root\\Alpha"), true));
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("\\Root"), false));
    EXPECT_EQ(Registry.GetKeyNames(), QStringList({QStringLiteral("Alpha"), QStringLiteral("Zeta")}));
    EXPECT_TRUE(Registry.HasSubKeys());
}

TEST_F(RegistryTest, DeleteKey_RemovesSubTreeKeepsParentAndClosesKeyInside)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("Top\\Mid\\Leaf"), true));
    Registry.WriteInteger(QStringLiteral("Count"), 3);
    EXPECT_TRUE(Registry.DeleteKey(QStringLiteral("\\Top\\Mid")));
    EXPECT_EQ(Registry.CurrentPath(), QString());
    EXPECT_FALSE(Registry.KeyExists(QStringLiteral("Top\\Mid")));
    EXPECT_TRUE(Registry.KeyExists(QStringLiteral("Top")));
    EXPECT_FALSE(Registry.DeleteKey(QStringLiteral("Top\\Mid")));
}

TEST_F(RegistryTest, DeleteKey_OfRootIsRefused)
{
    TRegistry Registry;
    EXPECT_THROW(Registry.DeleteKey(QStringLiteral("\\")), ERegistryException);
}

TEST_F(RegistryTest, KeyName_WithSlashIsRefused)
{
    TRegistry Registry;
    EXPECT_THROW(Registry.OpenKey(QStringLiteral("A/B"), true), ERegistryException);
}

// --- Values ------------------------------------------------------------------------------------------

TEST_F(RegistryTest, Values_RoundTripThroughTheFile)
{
    {
        TRegistry Registry;
        ASSERT_TRUE(Registry.OpenKey(QStringLiteral("Values"), true));
        Registry.WriteString(QStringLiteral("Text"), QStringLiteral("Grüße; a=b"));
        Registry.WriteInteger(QStringLiteral("Number"), -42);
        Registry.WriteBool(QStringLiteral("Flag"), true);
        Registry.WriteBool(QStringLiteral("Off"), false);
    }
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("Values"), false));
    EXPECT_EQ(Registry.ReadString(QStringLiteral("Text")), QStringLiteral("Grüße; a=b"));
    EXPECT_EQ(Registry.ReadInteger(QStringLiteral("Number")), -42);
    EXPECT_TRUE(Registry.ReadBool(QStringLiteral("Flag")));
    EXPECT_FALSE(Registry.ReadBool(QStringLiteral("Off")));
    EXPECT_EQ(Registry.GetValueNames(),
              QStringList({QStringLiteral("Flag"), QStringLiteral("Number"), QStringLiteral("Off"), QStringLiteral("Text")}));
}

TEST_F(RegistryTest, Values_AreWrittenToTheUsersConfigurationFile)
{
    {
        TRegistry Registry;
        ASSERT_TRUE(Registry.OpenKey(QStringLiteral("Stored"), true));
        Registry.WriteInteger(QStringLiteral("Width"), 7);
    }
    const QString File = Folder.filePath(QStringLiteral("Lithoprism/Lithoprism.ini"));
    ASSERT_TRUE(QFile::exists(File));
    QSettings Direct(File, QSettings::IniFormat);
    EXPECT_EQ(Direct.value(QStringLiteral("Stored/Width")).toInt(), 7);
}

TEST_F(RegistryTest, ReadString_OfMissingValueIsEmpty)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("K"), true));
    EXPECT_EQ(Registry.ReadString(QStringLiteral("Nothing")), QString());
    EXPECT_FALSE(Registry.ValueExists(QStringLiteral("Nothing")));
}

struct TBadIntegerRow {
    const char* Stored; // nullptr: the value is missing
};

class RegistryBadIntegerTest : public RegistryTest, public ::testing::WithParamInterface<TBadIntegerRow> {};

TEST_P(RegistryBadIntegerTest, ReadIntegerAndBool_RaiseForMissingOrNonIntegerValue)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("K"), true));
    if (GetParam().Stored)
        Registry.WriteString(QStringLiteral("V"), QString::fromUtf8(GetParam().Stored));
    EXPECT_THROW(Registry.ReadInteger(QStringLiteral("V")), ERegistryException);
    EXPECT_THROW(Registry.ReadBool(QStringLiteral("V")), ERegistryException);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistryBadIntegerTest,
                         ::testing::Values(TBadIntegerRow{nullptr}, TBadIntegerRow{"abc"}, TBadIntegerRow{"1.5"},
                                           TBadIntegerRow{""}, TBadIntegerRow{"99999999999"}));

TEST_F(RegistryTest, ReadInteger_MessageNamesTheValue)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("K"), true));
    try {
        Registry.ReadInteger(QStringLiteral("Missing"));
        FAIL() << "no exception";
    } catch (const ERegistryException& Error) {
        EXPECT_NE(Error.Message().find("'Missing'"), std::string::npos) << Error.Message();
    }
}

TEST_F(RegistryTest, DeleteValue_RemovesValueButKeepsKey)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("K"), true));
    Registry.WriteInteger(QStringLiteral("Only"), 1);
    EXPECT_TRUE(Registry.DeleteValue(QStringLiteral("Only")));
    EXPECT_FALSE(Registry.ValueExists(QStringLiteral("Only")));
    EXPECT_FALSE(Registry.DeleteValue(QStringLiteral("Only")));
    Registry.CloseKey();
    EXPECT_TRUE(Registry.KeyExists(QStringLiteral("K")));
}

class RegistryBadNameTest : public RegistryTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RegistryBadNameTest, ValueNames_WithSeparatorsOrEmptyAreRefused)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("K"), true));
    const QString Name = QString::fromUtf8(GetParam());
    EXPECT_THROW(Registry.WriteString(Name, QStringLiteral("x")), ERegistryException);
    EXPECT_THROW(Registry.ValueExists(Name), ERegistryException);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistryBadNameTest, ::testing::Values("", "a/b", "a\\b", "@key"));

TEST_F(RegistryTest, RootKeys_AreSeparateFiles)
{
    TRegistry User;
    ASSERT_TRUE(User.OpenKey(QStringLiteral("Shared"), true));
    User.WriteInteger(QStringLiteral("V"), 1);
    TRegistry Machine(TRegistry::HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(Machine.KeyExists(QStringLiteral("Shared")));
}

// --- Damaged and unwritable files --------------------------------------------------------------

// A line Qt could not parse was once reported as a failed write, and every
// write to such a file raised.
TEST_F(RegistryTest, DamagedFile_IsReadAsFarAsItGoesAndWritesWork)
{
    const QByteArray Damaged = "[Software\nLithoprism\\Files\\i=\nstray line\nLithoprism\\Files\\FileOpen1=/d/a.sec\n";
    const QString Name = WriteUserFile(Damaged);
    TRegistry Registry;
    EXPECT_TRUE(Registry.FileDamaged());
    EXPECT_EQ(Registry.FileName(), Name);
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("\\Software\\Lithoprism\\Files"), false));
    EXPECT_EQ(Registry.ReadString(QStringLiteral("FileOpen1")), QStringLiteral("/d/a.sec"));
    EXPECT_TRUE(Registry.ValueExists(QStringLiteral("i")));

    Registry.WriteString(QStringLiteral("FileOpen2"), QStringLiteral("/d/b.sec"));
    Registry.WriteString(QStringLiteral("FileOpen3"), QStringLiteral("/d/c.sec"));
    // The file as it was is kept beside the rewritten one.
    EXPECT_EQ(ReadFile(Registry.DamagedCopyName()), Damaged);
    TRegistry Reopened;
    EXPECT_FALSE(Reopened.FileDamaged());
    ASSERT_TRUE(Reopened.OpenKey(QStringLiteral("\\Software\\Lithoprism\\Files"), false));
    EXPECT_EQ(Reopened.ReadString(QStringLiteral("FileOpen1")), QStringLiteral("/d/a.sec"));
    EXPECT_EQ(Reopened.ReadString(QStringLiteral("FileOpen3")), QStringLiteral("/d/c.sec"));
}

TEST_F(RegistryTest, SoundFile_IsNotCopied)
{
    TRegistry Registry;
    ASSERT_TRUE(Registry.OpenKey(QStringLiteral("K"), true));
    Registry.WriteInteger(QStringLiteral("V"), 1);
    EXPECT_FALSE(Registry.FileDamaged());
    EXPECT_FALSE(QFile::exists(Registry.DamagedCopyName()));
}

// Only a write that does not reach the file is a write error, damaged
// file or not.
TEST_F(RegistryTest, WriteThatCannotReachTheFile_Raises)
{
    for (const QByteArray& Content : {QByteArray("[K]\nV=1\n"), QByteArray("[K\nV=1\n")}) {
        const QString Name = WriteUserFile(Content);
        TRegistry Registry;
        ASSERT_TRUE(Registry.OpenKey(QStringLiteral("\\K"), true));
        {
            test::TFileSizeLimit Full(0);
            try {
                Registry.WriteString(QStringLiteral("W"), QStringLiteral("a value that does not fit"));
                ADD_FAILURE() << "no error for " << Content.constData();
            } catch (const ERegistryException& Error) {
                EXPECT_EQ(Error.Message(), "Failed to set data for 'W': the settings file cannot be written");
            }
        }
        EXPECT_EQ(ReadFile(Name), Content);
        // Once the file can be written again, so can the value.
        Registry.WriteString(QStringLiteral("W"), QStringLiteral("x"));
        TRegistry Reopened;
        ASSERT_TRUE(Reopened.OpenKey(QStringLiteral("\\K"), false));
        EXPECT_EQ(Reopened.ReadString(QStringLiteral("W")), QStringLiteral("x"));
        EXPECT_EQ(Reopened.ReadInteger(QStringLiteral("V")), 1);
        QFile::remove(Name);
    }
}

} // namespace
} // namespace lp
