#include "section/main/MainWindowComponents.h"

#include "components/RecentFiles.h"
#include "components/StatusBar.h"
#include "components/ShapedSplash.h"
#include "components/Splitter.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/MenuItems.h"
#include "platform/ui/Registry.h"
#include "section/main/MainWindowGlyphs.h"

#include <QtCore/QFileInfo>
#include <QtWidgets/QMenu>

namespace lp {

TMainfrmComponents::TMainfrmComponents(TComponent& Owner, QWidget& Parent)
{
    uiSMultiSplit1 = new TuiSMultiSplit(&Owner);
    // Four panes; the chart fills the first, the others wait for views
    // beside it.
    uiSMultiSplit1->SetLayout(TuiSMultiSplit::mslSingle);
    uiSMultiSplit1->SetBevelOuter(bvNone);
    for (int i = 0; i < 4; ++i) {
        auto* pane = new TuiSplitPane(&Owner);
        pane->SetParent(uiSMultiSplit1);
        if (i == 0)
            Pane1 = pane;
    }
    uiSMultiSplit1->Widget(&Parent);

    sbStatusBar1 = new TsbStatusBar(&Owner);
    sbStatusBar1->Panels().Add()->SetWidth(160);
    sbStatusBar1->Panels().Add()->SetWidth(50);
    sbStatusBar1->Widget(&Parent)->setFixedHeight(22);

    auto* recent = new TMainMenuItem(&Owner);
    recent->SetCaption(QStringLiteral("Recent file"));
    FileMenuOpens1 = new TFileMenuOpens(&Owner);
    FileMenuOpens1->SetRegPath(QStringLiteral("\\Software\\Lithoprism\\Files"));
    FileMenuOpens1->SetNumbers(5);
    FileMenuOpens1->SetMenus(recent);
    FileMenuOpens1->SetOnAction([this](TComponent* Sender) {
        const QString name = FileMenuOpens1->FileNameOf(Sender);
        if (!name.isEmpty() && OnRecentFile)
            OnRecentFile(name);
    });

    uiSplash1 = new TuiSplash(&Owner);
    TBitmap splash;
    splash.SetImage(SplashImage());
    uiSplash1->Picture().SetGraphic(&splash);
}

TMainfrmComponents::~TMainfrmComponents() = default;

QWidget* TMainfrmComponents::SplitterWidget() const
{
    return uiSMultiSplit1->Widget();
}

QWidget* TMainfrmComponents::ChartParent() const
{
    return Pane1->Widget();
}

QWidget* TMainfrmComponents::StatusWidget() const
{
    return sbStatusBar1->Widget();
}

void TMainfrmComponents::SetStatusText(int Panel, const QString& Text)
{
    sbStatusBar1->Panels().GetItem(Panel)->SetText(Text);
}

QString TMainfrmComponents::StatusText(int Panel) const
{
    return sbStatusBar1->Panels().GetItem(Panel)->Text();
}

QMenu* TMainfrmComponents::RecentMenu() const
{
    return FileMenuOpens1->Menus()->NativeMenu();
}

void TMainfrmComponents::AddRecentFile(const QString& FileName)
{
    // The recent files are a convenience: settings that cannot be written
    // are noted in the status bar, never in the way of the file itself.
    try {
        // A name relative to the folder the program started in would not open
        // from a program started elsewhere.
        FileMenuOpens1->AddFile(QFileInfo(FileName).absoluteFilePath());
    } catch (const ERegistryException& Error) {
        SetStatusText(0, QStringLiteral("Recent files not saved: ") + QString::fromStdString(Error.Message()));
    }
}

QStringList TMainfrmComponents::RecentFiles() const
{
    FileMenuOpens1->Rebuild();
    QStringList names;
    TMainMenuItem* menu = FileMenuOpens1->Menus();
    for (int i = 0; i < menu->Count(); ++i)
        names << FileMenuOpens1->FileNameOf(menu->Items(i));
    return names;
}

void TMainfrmComponents::ShowSplash(int Duration)
{
    if (Duration > 0)
        uiSplash1->SetDuration(Duration);
    uiSplash1->Show();
}

bool TMainfrmComponents::NoSplashWanted(const QStringList& Arguments)
{
    return HasNoSplashSwitch(Arguments);
}


} // namespace lp
