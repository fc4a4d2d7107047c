#include "platform/ui/Menus.h"

#include "platform/ui/Application.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

namespace lp {

TPopupMenu::TPopupMenu() = default;

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetItems(std::vector<TMenuItem> Items)
{
    FItems = std::move(Items);
    FPoppedUp = false;
}

const TMenuItem& TPopupMenu::Item(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
    return FItems[static_cast<size_t>(Index)];
}

QMenu* TPopupMenu::NativeMenu()
{
    if (!FMenu && qobject_cast<QApplication*>(QCoreApplication::instance()))
        FMenu = std::make_unique<QMenu>();
    return FMenu.get();
}

void TPopupMenu::SetChecked(int Index, bool Checked)
{
    Item(Index);
    FItems[static_cast<size_t>(Index)].Checked = Checked;
}

void TPopupMenu::FillNativeMenu(QMenu& Menu)
{
    Menu.clear();
    // Captions follow the desktop convention: "&x" marks the item's key
    // letter and "&&" shows one ampersand.
    for (int I = 0; I < Count(); ++I) {
        const TMenuItem& Entry = FItems[static_cast<size_t>(I)];
        if (Entry.Caption == QLatin1String("-")) {
            Menu.addSeparator();
            continue;
        }
        const QString& Caption = Entry.Caption;
        if (Entry.SubMenu) {
            QMenu* Sub = Entry.SubMenu->NativeMenu();
            Entry.SubMenu->FillNativeMenu(*Sub);
            Sub->setTitle(Caption);
            Menu.addMenu(Sub)->setEnabled(Entry.Enabled);
            continue;
        }
        QAction* Action = Menu.addAction(Caption);
        Action->setCheckable(Entry.Checked);
        Action->setChecked(Entry.Checked);
        Action->setEnabled(Entry.Enabled);
        // Exceptions never cross the event loop: the application shows them.
        QObject::connect(Action, &QAction::triggered, &Menu, [this, I] {
            try {
                Click(I);
            } catch (const std::exception& Error) {
                Application().HandleException(Error);
            }
        });
    }
}

void TPopupMenu::Popup(const TPoint& ScreenPos)
{
    FPoppedUp = true;
    FPopupPosition = ScreenPos;
    QMenu* Menu = NativeMenu();
    if (!Menu)
        return;
    FillNativeMenu(*Menu);
    Menu->popup(QPoint(ScreenPos.X, ScreenPos.Y));
}

void TPopupMenu::Click(int Index)
{
    const TMenuItem Entry = Item(Index);
    if (FMenu)
        FMenu->hide();
    FPoppedUp = false;
    if (Entry.Enabled && Entry.OnClick)
        Entry.OnClick(Index);
}

} // namespace lp
