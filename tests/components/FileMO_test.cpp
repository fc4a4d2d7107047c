#include "components/FileMO.h"

#include "platform/ui/MenuItems.h"
#include "platform/ui/Registry.h"

#include <gtest/gtest.h>

#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>

namespace lp {
namespace {

const QString kPath = QStringLiteral("\\Software\\Lithoprism\\Files");

// Every test keeps its settings in a folder of its own.
class FileMenuOpensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Folder.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder.path());
    }

    // A recent-files list set up as the main window's form sets it.
    std::unique_ptr<TFileMenuOpens> MakeList(unsigned Numbers = 5, unsigned MenuIndex = 0)
    {
        auto List = std::make_unique<TFileMenuOpens>(&Owner);
        List->SetOnAction([this](TComponent* Sender) {
            Opened << static_cast<TMainMenuItem*>(Sender)->Caption();
        });
        List->SetRegPath(kPath);
        List->SetNumbers(Numbers);
        List->SetMenus(&Menu);
        List->SetMenuIndex(MenuIndex);
        return List;
    }

    // The slots as stored, "FileOpen1" first; "<missing>" for a missing one.
    QStringList Slots(unsigned Count)
    {
        TRegistry Registry;
        Registry.OpenKey(kPath, false);
        QStringList Values;
        for (unsigned i = 1; i <= Count; ++i) {
            const QString Name = TFileMenuOpens::SlotName(i);
            Values << (Registry.ValueExists(Name) ? Registry.ReadString(Name) : QStringLiteral("<missing>"));
        }
        return Values;
    }

    void Store(const QStringList& Values)
    {
        TRegistry Registry;
        Registry.OpenKey(kPath, true);
        for (int i = 0; i < Values.size(); ++i)
            Registry.WriteString(TFileMenuOpens::SlotName(i + 1), Values[i]);
    }

    QStringList Captions() const
    {
        QStringList Result;
        for (int i = 0; i < Menu.Count(); ++i)
            Result << Menu.Items(i)->Caption();
        return Result;
    }

    QTemporaryDir Folder;
    TComponent Owner;
    TMainMenuItem Menu;
    QStringList Opened;
};

TEST_F(FileMenuOpensTest, FreshKey_HasEmptySlotsAndNoEntries)
{
    auto List = MakeList();
    EXPECT_EQ(Slots(6), QStringList({"", "", "", "", "", "<missing>"}));
    EXPECT_EQ(Menu.Count(), 0);
    EXPECT_EQ(List->ItemCount(), 0);
}

TEST_F(FileMenuOpensTest, AddFile_SixthNameDropsTheOldestAndTheMenuShowsNewestFirst)
{
    auto List = MakeList();
    for (const char* Name : {"/d/a.sec", "/d/b.sec", "/d/c.sec", "/d/d.sec", "/d/e.sec", "/d/f.sec"})
        List->AddFile(QString::fromUtf8(Name));
    const QStringList Newest{"/d/f.sec", "/d/e.sec", "/d/d.sec", "/d/c.sec", "/d/b.sec"};
    EXPECT_EQ(Slots(5), Newest);
    EXPECT_EQ(Captions(), Newest);
    for (int i = 0; i < Menu.Count(); ++i)
        EXPECT_EQ(Menu.Items(i)->Name(), TFileMenuOpens::SlotName(static_cast<unsigned>(i + 1)));
}

TEST_F(FileMenuOpensTest, AddFile_StoredNameInAnySlotChangesNothing_LetterCaseCounts)
{
    Store({"/d/a.sec", "/d/b.sec", "/d/c.sec", "/d/d.sec", "/d/e.sec"});
    auto List = MakeList();
    const QStringList Before = Slots(5);
    List->AddFile(QStringLiteral("/d/e.sec")); // the last slot
    List->AddFile(QStringLiteral("/d/c.sec"));
    EXPECT_EQ(Slots(5), Before);
    EXPECT_EQ(Captions(), Before);
    List->AddFile(QStringLiteral("/d/A.sec"));
    EXPECT_EQ(Slots(5), QStringList({"/d/A.sec", "/d/a.sec", "/d/b.sec", "/d/c.sec", "/d/d.sec"}));
}

TEST_F(FileMenuOpensTest, AddFile_EmptyNameMatchesAnEmptySlot)
{
    auto List = MakeList();
    List->AddFile(QStringLiteral("/d/a.sec"));
    List->AddFile(QString());
    EXPECT_EQ(Slots(5), QStringList({"/d/a.sec", "", "", "", ""}));
}

TEST_F(FileMenuOpensTest, LoweringNumbers_DeletesTheSlotsAbove)
{
    Store({"/d/a.sec", "/d/b.sec", "/d/c.sec", "/d/d.sec", "/d/e.sec"});
    auto List = MakeList();
    List->SetNumbers(3);
    EXPECT_EQ(Slots(5), QStringList({"/d/a.sec", "/d/b.sec", "/d/c.sec", "<missing>", "<missing>"}));
    EXPECT_EQ(Captions(), QStringList({"/d/a.sec", "/d/b.sec", "/d/c.sec"}));
    // Raising it again makes empty slots.
    List->SetNumbers(4);
    EXPECT_EQ(Slots(5), QStringList({"/d/a.sec", "/d/b.sec", "/d/c.sec", "", "<missing>"}));
}

TEST_F(FileMenuOpensTest, LoadingTheForm_KeepsAnExistingFifthEntry)
{
    // The key is opened while Numbers is still 4; the fifth slot survives.
    Store({"/d/a.sec", "/d/b.sec", "/d/c.sec", "/d/d.sec", "/d/e.sec"});
    auto List = MakeList(5);
    EXPECT_EQ(Captions(), QStringList({"/d/a.sec", "/d/b.sec", "/d/c.sec", "/d/d.sec", "/d/e.sec"}));
}

TEST_F(FileMenuOpensTest, Rebuild_RunsOnEveryWriteOfOnActionMenusAndMenuIndex_NotOnTheSameRegPath)
{
    TMainMenuItem Open(&Owner), Close(&Owner);
    Open.SetCaption(QStringLiteral("Open"));
    Close.SetCaption(QStringLiteral("Close"));
    Menu.Add(&Open);
    Menu.Add(&Close);
    Store({"/d/a.sec", "/d/b.sec"});
    auto List = MakeList(5, 1);
    EXPECT_EQ(Captions(), QStringList({"Open", "/d/a.sec", "/d/b.sec", "Close"}));

    // An entry outside the program's knowledge: only a rebuild removes it.
    Store({"/d/x.sec"});
    List->SetRegPath(kPath);
    EXPECT_EQ(Captions(), QStringList({"Open", "/d/a.sec", "/d/b.sec", "Close"}));
    List->SetMenuIndex(0);
    EXPECT_EQ(Captions(), QStringList({"/d/x.sec", "/d/b.sec", "Open", "Close"}));
    Store({"/d/y.sec"});
    List->SetOnAction(List->OnAction());
    EXPECT_EQ(Captions(), QStringList({"/d/y.sec", "/d/b.sec", "Open", "Close"}));
    Store({"/d/z.sec"});
    List->SetMenus(&Menu);
    EXPECT_EQ(Captions(), QStringList({"/d/z.sec", "/d/b.sec", "Open", "Close"}));
    // A position past the end appends.
    List->SetMenuIndex(9);
    EXPECT_EQ(Captions(), QStringList({"Open", "Close", "/d/z.sec", "/d/b.sec"}));
}

TEST_F(FileMenuOpensTest, ClickingAnEntry_CallsOnActionWithTheEntry)
{
    auto List = MakeList();
    List->AddFile(QStringLiteral("/d/a & b.sec"));
    List->AddFile(QStringLiteral("/d/c.sec"));
    Menu.Items(1)->Click();
    EXPECT_EQ(Opened, QStringList({"/d/a & b.sec"}));
}

TEST_F(FileMenuOpensTest, WithoutMenus_AddFileStillStores)
{
    TFileMenuOpens List(&Owner);
    List.SetRegPath(kPath);
    List.SetNumbers(5);
    List.AddFile(QStringLiteral("/d/a.sec"));
    EXPECT_EQ(Slots(2), QStringList({"/d/a.sec", ""}));
    EXPECT_EQ(List.ItemCount(), 0);
}

TEST_F(FileMenuOpensTest, DesignMode_OnlyStoresTheValues)
{
    TFileMenuOpens List(&Owner);
    List.SetDesigning(true);
    List.SetRegPath(kPath);
    List.SetMenus(&Menu);
    List.AddFile(QStringLiteral("/d/a.sec"));
    EXPECT_EQ(List.RegPath(), kPath);
    EXPECT_EQ(Slots(1), QStringList({"<missing>"}));
    EXPECT_EQ(Menu.Count(), 0);
}

// Values only a hand edit of the settings file can make.
TEST_F(FileMenuOpensTest, DamagedSettings_AreSkippedNotFatal)
{
    Store({"", "/d/b.sec", "", "/d/d.sec"}); // holes
    {
        QSettings Settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Lithoprism"),
                           QStringLiteral("Lithoprism"));
        Settings.setValue(QStringLiteral("Software/Lithoprism/Files/FileOpen5"),
                          QStringList({QStringLiteral("x"), QStringLiteral("y")}));
    }
    auto List = MakeList();
    EXPECT_EQ(Captions(), QStringList({"/d/b.sec", "/d/d.sec"}));
    List->Rebuild(); // no entry is left behind or doubled
    EXPECT_EQ(Captions(), QStringList({"/d/b.sec", "/d/d.sec"}));
    List->AddFile(QStringLiteral("/d/n.sec"));
    EXPECT_EQ(Slots(5), QStringList({"/d/n.sec", "", "/d/b.sec", "", "/d/d.sec"}));
    EXPECT_EQ(Captions(), QStringList({"/d/n.sec", "/d/b.sec", "/d/d.sec"}));
}

TEST_F(FileMenuOpensTest, NumbersZeroRecordsNothing_HugeNumbersAreCapped)
{
    auto List = MakeList(0);
    List->AddFile(QStringLiteral("/d/a.sec"));
    EXPECT_EQ(Slots(1), QStringList({"<missing>"}));
    List->SetNumbers(4000000000u);
    EXPECT_EQ(List->Numbers(), 100u);
}

TEST_F(FileMenuOpensTest, KeyThatCannotBeOpened_FailsOnTheWriteWithTheSlotName)
{
    auto List = MakeList(4);
    List->SetRegPath(QStringLiteral("\\Software\\Bad/Name"));
    try {
        List->AddFile(QStringLiteral("/d/a.sec"));
        FAIL() << "no error";
    } catch (const ERegistryException& Error) {
        EXPECT_EQ(Error.Message(), "Failed to set data for 'FileOpen4'");
    }
    // Nothing went to another key.
    TRegistry Registry;
    EXPECT_FALSE(Registry.ValueExists(QStringLiteral("FileOpen1")));
}

TEST_F(FileMenuOpensTest, DestroyedMenu_IsForgotten)
{
    auto List = MakeList();
    {
        TMainMenuItem Recent(&Owner);
        List->SetMenus(&Recent);
        List->AddFile(QStringLiteral("/d/a.sec"));
        EXPECT_EQ(Recent.Count(), 1);
    }
    EXPECT_EQ(List->Menus(), nullptr);
    List->AddFile(QStringLiteral("/d/b.sec"));
    EXPECT_EQ(Slots(2), QStringList({"/d/b.sec", "/d/a.sec"}));
}

} // namespace
} // namespace lp
