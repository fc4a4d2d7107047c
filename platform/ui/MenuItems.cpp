#include "platform/ui/MenuItems.h"

#include "platform/ui/Application.h"

#include <QtWidgets/QMenu>

#include <algorithm>

namespace lp {

TMainMenuItem::TMainMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMainMenuItem::~TMainMenuItem()
{
    if (FParent)
        FParent->Remove(this);
    for (TMainMenuItem* Item : FItems)
        Item->FParent = nullptr;
}

TMainMenuItem* TMainMenuItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw ERangeError("Menu index out of range (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

int TMainMenuItem::IndexOf(const TMainMenuItem* Item) const
{
    const auto Found = std::find(FItems.begin(), FItems.end(), Item);
    return Found == FItems.end() ? -1 : static_cast<int>(Found - FItems.begin());
}

void TMainMenuItem::Insert(int Index, TMainMenuItem* Item)
{
    if (Index < 0 || Index > Count())
        throw ERangeError("Menu index out of range (" + std::to_string(Index) + ")");
    if (!Item)
        return;
    if (Item->FParent)
        throw EComponentError("Menu inserted twice");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
}

void TMainMenuItem::Remove(TMainMenuItem* Item)
{
    const int Index = IndexOf(Item);
    if (Index < 0)
        return;
    FItems.erase(FItems.begin() + Index);
    Item->FParent = nullptr;
}

void TMainMenuItem::Click()
{
    if (FEnabled && OnClick)
        OnClick(this);
}

QMenu* TMainMenuItem::NativeMenu()
{
    if (!FMenu) {
        FMenu = std::make_unique<QMenu>(FCaption);
        QObject::connect(FMenu.get(), &QMenu::aboutToShow, FMenu.get(), [this] { FillNativeMenu(); });
        FillNativeMenu();
    }
    return FMenu.get();
}

void TMainMenuItem::FillNativeMenu()
{
    FMenu->clear();
    FMenu->setTitle(FCaption);
    for (TMainMenuItem* Item : FItems) {
        if (Item->Count() > 0) {
            FMenu->addMenu(Item->NativeMenu());
            continue;
        }
        // Captions follow the desktop convention, as pop-up menus do: "&x"
        // marks the item's key letter and "&&" shows one ampersand.
        QAction* Action = FMenu->addAction(Item->Caption());
        Action->setEnabled(Item->Enabled());
        // The item may be gone when the action fires after a rebuild: look
        // it up by position in this menu again.
        QObject::connect(Action, &QAction::triggered, FMenu.get(), [this, Item] {
            if (IndexOf(Item) < 0)
                return;
            try {
                Item->Click();
            } catch (const std::exception& error) {
                Application().HandleException(error);
            }
        });
    }
}

} // namespace lp
