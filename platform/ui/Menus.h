#pragma once
// Pop-up menus: a list of items with captions, check marks and click
// handlers, shown at a screen position.
//
// A menu keeps one window-system menu and rebuilds its entries from the
// items each time it pops up, so a control can reuse one menu for all its
// right-click menus. Without a widget application the menu remembers what
// it would show (tests drive it through Click).
//
// An item captioned "-" is a separator; it keeps its index. An item with a
// SubMenu opens that menu's items beside it; they run through the
// submenu's own Click.

#include "platform/core/Component.h"
#include "platform/graphics/GraphicsTypes.h"

#include <QtCore/QPointer>

#include <functional>
#include <memory>
#include <vector>

class QMenu;

namespace lp {

class TPopupMenu;

struct TMenuItem {
    QString Caption;
    bool Checked = false;
    bool Enabled = true;
    std::function<void(int MenuIndex)> OnClick;
    std::shared_ptr<TPopupMenu> SubMenu = nullptr;
};

class TPopupMenu {
public:
    TPopupMenu();
    ~TPopupMenu();
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;

    // Replaces the items.
    void SetItems(std::vector<TMenuItem> Items);
    const std::vector<TMenuItem>& Items() const { return FItems; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // ERangeError outside 0 .. Count - 1.
    const TMenuItem& Item(int Index) const;
    // Sets the check mark of item Index (ERangeError outside).
    void SetChecked(int Index, bool Checked);

    // Shows the menu at a screen position (returns at once; a chosen item
    // runs its OnClick later).
    void Popup(const TPoint& ScreenPos);
    bool PoppedUp() const { return FPoppedUp; }
    TPoint PopupPosition() const { return FPopupPosition; }
    // Chooses item Index as the user would: runs its OnClick when it is
    // enabled; nothing for a disabled one.
    void Click(int Index);
    // The window-system menu (created on first use; nullptr without a
    // widget application).
    QMenu* NativeMenu();

private:
    // Rebuilds Menu's entries from the items, submenus included.
    void FillNativeMenu(QMenu& Menu);

    std::vector<TMenuItem> FItems;
    std::unique_ptr<QMenu> FMenu;
    bool FPoppedUp = false;
    TPoint FPopupPosition;
};

} // namespace lp
