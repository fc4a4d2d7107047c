#pragma once
// Items of a window's main menu: components with a caption and a click
// event, arranged in a tree (an item with children is a sub-menu).
//
// The tree does not own: every item is owned by its owner component (often
// the item it sits in) and, when destroyed, leaves the sub-menu it is in.
// NativeMenu() mirrors a sub-menu in a Qt menu, rebuilt from the items each
// time it is about to show. Captions follow the desktop convention: "&x"
// marks the key letter, "&&" shows one ampersand.

#include "platform/core/Component.h"

#include <functional>
#include <memory>
#include <vector>

class QMenu;

namespace lp {

class TMainMenuItem : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_CLASSINFO("default:Caption", "")
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_CLASSINFO("default:Enabled", "true")

public:
    explicit TMainMenuItem(TComponent* AOwner = nullptr);
    ~TMainMenuItem() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value) { FCaption = Value; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }

    // The sub-menu this item sits in, or nullptr.
    TMainMenuItem* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // The item at Index; ERangeError outside 0 .. Count - 1.
    TMainMenuItem* Items(int Index) const;
    int IndexOf(const TMainMenuItem* Item) const;
    // Puts Item at position Index (0 .. Count) of this sub-menu; ERangeError
    // outside, EComponentError when Item already sits in a sub-menu.
    void Insert(int Index, TMainMenuItem* Item);
    void Add(TMainMenuItem* Item) { Insert(Count(), Item); }
    // Takes Item out of this sub-menu (nothing when it is not in it).
    void Remove(TMainMenuItem* Item);

    // Runs OnClick with this item as sender, when enabled.
    void Click();
    std::function<void(TComponent* Sender)> OnClick;

    // The Qt menu of this sub-menu (created on first use; needs a widget
    // application).
    QMenu* NativeMenu();

private:
    void FillNativeMenu();

    QString FCaption;
    bool FEnabled = true;
    TMainMenuItem* FParent = nullptr;
    std::vector<TMainMenuItem*> FItems; // observed; each item leaves on destruction
    std::unique_ptr<QMenu> FMenu;
};

} // namespace lp
