#pragma once
// The recent-files menu: a short list of the files opened last, kept in the
// user's settings and mirrored as items of a sub-menu.
//
// The list lives only in the settings: under the key RegPath, the string
// values "FileOpen1" … "FileOpen<Numbers>", slot 1 the most recent file, the
// used slots first and the empty ones (empty strings) after them. Every
// operation reads the slots again; nothing is kept in memory but the menu
// items of the last Rebuild, which Menus owns and which are named like
// their slots.
//
// While the component is being designed every write only stores the value.

#include "platform/core/Component.h"

#include <functional>
#include <memory>

namespace lp {

class TMainMenuItem;
class TRegistry;

class TFileMenuOpens : public TComponent {
    Q_OBJECT
    Q_PROPERTY(QString RegPath READ RegPath WRITE SetRegPath)
    Q_PROPERTY(unsigned Numbers READ Numbers WRITE SetNumbers)
    Q_PROPERTY(unsigned MenuIndex READ MenuIndex WRITE SetMenuIndex)

public:
    explicit TFileMenuOpens(TComponent* AOwner = nullptr);
    ~TFileMenuOpens() override;

    // Settings key relative to the current user's root; a leading backslash
    // makes it absolute from the root. Opening a key creates it and the
    // slots it lacks, where the settings can be written (a missing slot
    // reads as empty; only AddFile reports a failed write).
    QString RegPath() const { return FRegPath; }
    void SetRegPath(const QString& Value);
    // How many slots the list has; lowering it deletes the slots above.
    unsigned Numbers() const { return FNumbers; }
    void SetNumbers(unsigned Value);
    // The sub-menu that receives the entries (observed).
    TMainMenuItem* Menus() const { return FMenus; }
    void SetMenus(TMainMenuItem* Value);
    // Position inside Menus of the first entry.
    unsigned MenuIndex() const { return FMenuIndex; }
    void SetMenuIndex(unsigned Value);
    // The click handler given to every entry; the sender is the entry, and
    // FileNameOf(Sender) its file name.
    using TNotifyEvent = std::function<void(TComponent* Sender)>;
    const TNotifyEvent& OnAction() const { return FOnAction; }
    void SetOnAction(TNotifyEvent Value);

    // Records FileName as the most recent file: a name already in a slot
    // (compared exactly, letter case counting) changes nothing; otherwise
    // the slots move down by one, the last one's name dropping off.
    // Settings that cannot be written raise ERegistryException "Failed to
    // set data for '<slot>'". Nothing is recorded while Numbers is 0.
    void AddFile(const QString& FileName);
    // Re-creates the menu entries from the slots.
    void Rebuild();

    // The file name an entry of the last Rebuild shows; empty for any
    // other component.
    QString FileNameOf(const TComponent* Entry) const;
    // An entry's caption: the key letter is its number ("&1 " .. "&9 ",
    // plain numbers after that), and every '&' of the file name is doubled
    // so that it shows as itself.
    static QString EntryCaption(int Number, const QString& FileName);

    // How many entries the last Rebuild created.
    int ItemCount() const { return FItemCount; }
    // The name of slot Index (1-based): "FileOpen<Index>".
    static QString SlotName(unsigned Index);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool Active() const { return FRegistry && !IsDesigning(); }
    // The slot's text: empty for a missing slot, and for a value that is not
    // held as text (a damaged setting must not stop files from opening).
    QString ReadSlot(unsigned Index) const;
    // Raises ERegistryException "Failed to set data for '<slot>'".
    void WriteSlot(unsigned Index, const QString& Value);
    // Opens (creating) the key RegPath; FKeyOpen tells whether it could.
    void OpenRegKey();
    void CreateMissingSlots(unsigned From, unsigned To);
    void RemoveEntries();

    QString FRegPath;
    unsigned FNumbers = 4;
    TMainMenuItem* FMenus = nullptr;
    unsigned FMenuIndex = 0;
    TNotifyEvent FOnAction;
    int FItemCount = 0;
    // The slot count of the last Rebuild: the names its entries may have.
    unsigned FBuiltSlots = 0;
    bool FKeyOpen = false;
    std::unique_ptr<TRegistry> FRegistry;
};

} // namespace lp
