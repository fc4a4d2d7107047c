// The user's settings file as the program reads it at start-up: the
// recent-files list set up as the main window sets it up (key, five slots,
// menu), a file added, and every key and value walked through the store.
// The input is the whole file. A damaged file is read as far as it goes and
// must not stop the list; a file the list accepted is its first entry.

#include "fuzz/FuzzSupport.h"
#include "components/RecentFiles.h"
#include "platform/ui/MenuItems.h"
#include "platform/ui/Registry.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QSettings>
#include <QtCore/QTemporaryDir>

namespace {

// Every key below the open one, values read in each form the program uses.
void WalkKeys(lp::TRegistry& Registry, int Depth)
{
    for (const QString& Name : Registry.GetValueNames()) {
        lp::fuzz::Refusable([&] {
            if (Registry.GetDataType(Name) == lp::TRegistry::rdString)
                Registry.ReadString(Name);
            Registry.ReadInteger(Name);
        });
    }
    if (Depth >= 4)
        return;
    const QString Here = Registry.CurrentPath();
    for (const QString& Key : Registry.GetKeyNames()) {
        lp::fuzz::Refusable([&] {
            if (Registry.OpenKey(Key, false))
                WalkKeys(Registry, Depth + 1);
        });
        Registry.OpenKey(QLatin1Char('\\') + Here, false);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    lp::fuzz::StartApplication();
    // A folder of its own for every input: Qt keeps what it read of a file
    // and reads it again only when its size or time changed.
    static QTemporaryDir Root;
    static int Run = 0;
    const QString Folder = Root.filePath(QString::number(++Run));
    QDir().mkpath(Folder + QStringLiteral("/Lithoprism"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder);
    {
        QFile File(Folder + QStringLiteral("/Lithoprism/Lithoprism.ini"));
        lp::fuzz::Require(File.open(QIODevice::WriteOnly), "the settings file can be written");
        File.write(lp::fuzz::Bytes(Data, Size));
    }
    {
        lp::TComponent Owner;
        auto* Recent = new lp::TMainMenuItem(&Owner);
        auto* List = new lp::TFileMenuOpens(&Owner);
        List->SetRegPath(QStringLiteral("\\Software\\Lithoprism\\Files"));
        List->SetNumbers(5);
        List->SetMenus(Recent);
        List->SetOnAction([](lp::TComponent*) {});
        bool Added = false;
        lp::fuzz::Refusable([&] {
            List->AddFile(QStringLiteral("/sections/new & old.sec"));
            Added = true;
        });
        if (Added) {
            lp::fuzz::Require(Recent->Count() >= 1 && List->FileNameOf(Recent->Items(0)) ==
                                                          QStringLiteral("/sections/new & old.sec"),
                              "an added file is the first entry");
        }
        lp::TRegistry Registry;
        WalkKeys(Registry, 0);
    }
    QDir(Folder).removeRecursively();
    return 0;
}
