#include "platform/ui/Registry.h"

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

} // namespace
} // namespace lp
