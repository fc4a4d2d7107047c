#include "components/RecentFiles.h"

#include "platform/ui/MenuItems.h"
#include "platform/ui/Registry.h"

#include "FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>
#include <QtGui/QAction>
#include <QtGui/QKeySequence>
#include <QtWidgets/QMenu>

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
        Made = List.get();
        List->SetOnAction([this](TComponent* Sender) { Opened << Made->FileNameOf(Sender); });
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

    // The menu's items: a recent-file entry by its file name, any other
    // item by its caption.
    QStringList Items() const
    {
        QStringList Result;
        for (int i = 0; i < Menu.Count(); ++i) {
            const QString Name = Made ? Made->FileNameOf(Menu.Items(i)) : QString();
            Result << (Name.isEmpty() ? Menu.Items(i)->Caption() : Name);
        }
        return Result;
    }

    QTemporaryDir Folder;
    TComponent Owner;
    TMainMenuItem Menu;
    QStringList Opened;
    TFileMenuOpens* Made = nullptr; // the list MakeList made last
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
    EXPECT_EQ(Items(), Newest);
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
    EXPECT_EQ(Items(), Before);
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
    EXPECT_EQ(Items(), QStringList({"/d/a.sec", "/d/b.sec", "/d/c.sec"}));
    // Raising it again makes empty slots.
    List->SetNumbers(4);
    EXPECT_EQ(Slots(5), QStringList({"/d/a.sec", "/d/b.sec", "/d/c.sec", "", "<missing>"}));
}

TEST_F(FileMenuOpensTest, LoadingTheForm_KeepsAnExistingFifthEntry)
{
    // The key is opened while Numbers is still 4; the fifth slot survives.
    Store({"/d/a.sec", "/d/b.sec", "/d/c.sec", "/d/d.sec", "/d/e.sec"});
    auto List = MakeList(5);
    EXPECT_EQ(Items(), QStringList({"/d/a.sec", "/d/b.sec", "/d/c.sec", "/d/d.sec", "/d/e.sec"}));
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
    EXPECT_EQ(Items(), QStringList({"Open", "/d/a.sec", "/d/b.sec", "Close"}));

    // An entry outside the program's knowledge: only a rebuild removes it.
    Store({"/d/x.sec"});
    List->SetRegPath(kPath);
    EXPECT_EQ(Items(), QStringList({"Open", "/d/a.sec", "/d/b.sec", "Close"}));
    List->SetMenuIndex(0);
    EXPECT_EQ(Items(), QStringList({"/d/x.sec", "/d/b.sec", "Open", "Close"}));
    Store({"/d/y.sec"});
    List->SetOnAction(List->OnAction());
    EXPECT_EQ(Items(), QStringList({"/d/y.sec", "/d/b.sec", "Open", "Close"}));
    Store({"/d/z.sec"});
    List->SetMenus(&Menu);
    EXPECT_EQ(Items(), QStringList({"/d/z.sec", "/d/b.sec", "Open", "Close"}));
    // A position past the end appends.
    List->SetMenuIndex(9);
    EXPECT_EQ(Items(), QStringList({"Open", "Close", "/d/z.sec", "/d/b.sec"}));
}

TEST_F(FileMenuOpensTest, ClickingAnEntry_CallsOnActionWithTheEntry)
{
    auto List = MakeList();
    List->AddFile(QStringLiteral("/d/a & b.sec"));
    List->AddFile(QStringLiteral("/d/c.sec"));
    Menu.Items(1)->Click();
    EXPECT_EQ(Opened, QStringList({"/d/a & b.sec"}));
}

// The entries once showed no key letter: the menu escaped every '&'.
TEST_F(FileMenuOpensTest, EntriesAreNumberedKeyLettersAndShowAmpersandsAsThemselves)
{
    auto List = MakeList();
    List->AddFile(QStringLiteral("/d/R&D.sec"));
    List->AddFile(QStringLiteral("/d/c.sec"));
    EXPECT_EQ(Menu.Items(0)->Caption(), QStringLiteral("&1 /d/c.sec"));
    EXPECT_EQ(Menu.Items(1)->Caption(), QStringLiteral("&2 /d/R&&D.sec"));
    EXPECT_EQ(List->FileNameOf(Menu.Items(1)), QStringLiteral("/d/R&D.sec"));
    EXPECT_EQ(List->FileNameOf(&Menu), QString());
    EXPECT_EQ(TFileMenuOpens::EntryCaption(9, QStringLiteral("a")), QStringLiteral("&9 a"));
    EXPECT_EQ(TFileMenuOpens::EntryCaption(10, QStringLiteral("a&&b")), QStringLiteral("10 a&&&&b"));

    // The native menu reads captions the desktop way: the key letter is the
    // number, the file name's ampersand shows as one.
    Menu.SetCaption(QStringLiteral("&Recent file"));
    QMenu* Native = Menu.NativeMenu();
    ASSERT_NE(Native, nullptr);
    EXPECT_EQ(Native->title(), QStringLiteral("&Recent file"));
    const auto Actions = Native->actions();
    ASSERT_EQ(Actions.size(), 2);
    EXPECT_EQ(Actions[0]->text(), QStringLiteral("&1 /d/c.sec"));
    EXPECT_EQ(Actions[1]->text(), QStringLiteral("&2 /d/R&&D.sec"));
    EXPECT_EQ(QKeySequence::mnemonic(Actions[1]->text()), QKeySequence(Qt::ALT | Qt::Key_2));
    EXPECT_EQ(Actions[1]->iconText(), QStringLiteral("2 /d/R&D.sec"));
    Actions[1]->trigger();
    EXPECT_EQ(Opened, QStringList({"/d/R&D.sec"}));
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
    EXPECT_EQ(Items(), QStringList({"/d/b.sec", "/d/d.sec"}));
    List->Rebuild(); // no entry is left behind or doubled
    EXPECT_EQ(Items(), QStringList({"/d/b.sec", "/d/d.sec"}));
    List->AddFile(QStringLiteral("/d/n.sec"));
    EXPECT_EQ(Slots(5), QStringList({"/d/n.sec", "", "/d/b.sec", "", "/d/d.sec"}));
    EXPECT_EQ(Items(), QStringList({"/d/n.sec", "/d/b.sec", "/d/d.sec"}));
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

// A settings file with a line Qt could not parse once stopped the list from
// being set up at all ("Failed to set data for 'FileOpen1'").
TEST_F(FileMenuOpensTest, DamagedSettingsFile_StillKeepsTheList)
{
    QDir().mkpath(Folder.filePath(QStringLiteral("Lithoprism")));
    QFile File(Folder.filePath(QStringLiteral("Lithoprism/Lithoprism.ini")));
    ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    File.write("[Software\nLithoprism\\Files\\i=\n");
    File.close();
    auto List = MakeList();
    EXPECT_EQ(Slots(5), QStringList({"", "", "", "", ""}));
    List->AddFile(QStringLiteral("/d/a.sec"));
    EXPECT_EQ(Items(), QStringList({"/d/a.sec"}));
}

TEST_F(FileMenuOpensTest, UnwritableSettings_FailOnlyWhenAFileIsAdded)
{
    std::unique_ptr<TFileMenuOpens> List;
    {
        test::TFileSizeLimit Full(0);
        List = MakeList();
        try {
            List->AddFile(QStringLiteral("/d/a.sec"));
            ADD_FAILURE() << "no error";
        } catch (const ERegistryException& Error) {
            EXPECT_EQ(std::string(Error.Message()).rfind("Failed to set data for 'FileOpen", 0), 0u) << Error.Message();
        }
    }
    List->AddFile(QStringLiteral("/d/b.sec"));
    EXPECT_EQ(Items().first(), QStringLiteral("/d/b.sec"));
}

} // namespace
} // namespace lp
