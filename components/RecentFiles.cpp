#include "components/RecentFiles.h"

#include "platform/ui/MenuItems.h"
#include "platform/ui/Registry.h"

#include <algorithm>

namespace lp {

namespace {

// A list longer than a menu can show is a damaged setting, not a wish:
// every slot is a settings write.
constexpr unsigned kMaxNumbers = 100;

[[noreturn]] void RaiseSetDataFailed(const QString& Name)
{
    throw ERegistryException(FormatText("Failed to set data for '%s'", {Name.toStdString()}));
}

} // namespace

TFileMenuOpens::TFileMenuOpens(TComponent* AOwner)
    : TComponent(AOwner), FRegistry(std::make_unique<TRegistry>(TRegistry::HKEY_CURRENT_USER))
{
}

TFileMenuOpens::~TFileMenuOpens()
{
    if (FRegistry)
        FRegistry->CloseKey();
}

QString TFileMenuOpens::SlotName(unsigned Index)
{
    return QStringLiteral("FileOpen") + QString::number(Index);
}

QString TFileMenuOpens::EntryCaption(int Number, const QString& FileName)
{
    const QString Key = Number >= 1 && Number <= 9 ? QStringLiteral("&") : QString();
    return Key + QString::number(Number) + QLatin1Char(' ') + QString(FileName).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString TFileMenuOpens::FileNameOf(const TComponent* Entry) const
{
    const auto* Item = qobject_cast<const TMainMenuItem*>(Entry);
    if (!FMenus || !Item || Item->Owner() != FMenus)
        return {};
    for (unsigned i = 1; i <= FBuiltSlots; ++i)
        if (Item->Name() == SlotName(i)) {
            // The name the entry shows, not the slot read again: the
            // settings may have changed since the menu was built.
            const QString Caption = Item->Caption();
            return Caption.mid(Caption.indexOf(QLatin1Char(' ')) + 1).replace(QStringLiteral("&&"), QStringLiteral("&"));
        }
    return {};
}

void TFileMenuOpens::SetOnAction(TNotifyEvent Value)
{
    FOnAction = std::move(Value);
    Rebuild();
}

void TFileMenuOpens::SetMenus(TMainMenuItem* Value)
{
    if (FMenus != Value) {
        // The entries of the old sub-menu go with it.
        if (Active())
            RemoveEntries();
        SetObserved(FMenus, Value);
    }
    Rebuild();
}

void TFileMenuOpens::SetMenuIndex(unsigned Value)
{
    FMenuIndex = Value;
    Rebuild();
}

void TFileMenuOpens::SetRegPath(const QString& Value)
{
    const QString OldPath = FRegPath;
    FRegPath = Value;
    if (!Active() || Value == OldPath)
        return;
    FRegistry->CloseKey();
    FKeyOpen = false;
    OpenRegKey();
    CreateMissingSlots(1, FNumbers);
    Rebuild();
}

void TFileMenuOpens::OpenRegKey()
{
    // A key that cannot be opened is not reported here: the next write to
    // it fails instead (and no slot goes to another key meanwhile).
    try {
        FKeyOpen = FRegistry->OpenKey(FRegPath, true);
    } catch (const ERegistryException&) {
        FKeyOpen = false;
    }
}

void TFileMenuOpens::SetNumbers(unsigned Value)
{
    Value = std::min(Value, kMaxNumbers);
    const unsigned Old = FNumbers;
    FNumbers = Value;
    if (!Active() || Value == Old)
        return;
    if (Old < Value) {
        CreateMissingSlots(Old + 1, Value);
    } else if (FKeyOpen) {
        // Slots left above the list are never read; a failure to remove
        // them must not stop the program.
        try {
            for (unsigned i = Value + 1; i <= Old; ++i)
                FRegistry->DeleteValue(SlotName(i));
        } catch (const ERegistryException&) {
        }
    }
    Rebuild();
}

void TFileMenuOpens::CreateMissingSlots(unsigned From, unsigned To)
{
    // Without an open key there is nowhere to create them; AddFile reports
    // the failure when it writes. A missing slot reads as empty, so a
    // settings file that cannot be written does not stop the program here.
    if (!FKeyOpen)
        return;
    try {
        for (unsigned i = From; i <= To; ++i)
            if (!FRegistry->ValueExists(SlotName(i)))
                WriteSlot(i, QString());
    } catch (const ERegistryException&) {
    }
}

QString TFileMenuOpens::ReadSlot(unsigned Index) const
{
    if (!FKeyOpen)
        return {};
    // A slot that does not hold text (only a hand-edited file has one) is
    // taken as empty: it must not stop every file from opening.
    const QString Name = SlotName(Index);
    if (FRegistry->GetDataType(Name) != TRegistry::rdString)
        return {};
    return FRegistry->ReadString(Name);
}

void TFileMenuOpens::WriteSlot(unsigned Index, const QString& Value)
{
    const QString Name = SlotName(Index);
    if (!FKeyOpen)
        RaiseSetDataFailed(Name);
    try {
        FRegistry->WriteString(Name, Value);
    } catch (const ERegistryException&) {
        RaiseSetDataFailed(Name);
    }
}

void TFileMenuOpens::AddFile(const QString& FileName)
{
    if (!Active() || FNumbers == 0)
        return;
    // Settings that could not be written when the key was set may be
    // writable now.
    if (!FKeyOpen) {
        OpenRegKey();
        CreateMissingSlots(1, FNumbers);
    }
    for (unsigned i = FNumbers; i >= 1; --i)
        if (ReadSlot(i) == FileName)
            return;
    for (unsigned i = FNumbers; i >= 2; --i)
        WriteSlot(i, ReadSlot(i - 1));
    WriteSlot(1, FileName);
    Rebuild();
}

void TFileMenuOpens::RemoveEntries()
{
    if (FMenus) {
        // Every slot name up to the longest list built so far: entries of
        // slots after a hole are found as well.
        for (unsigned i = 1; i <= FBuiltSlots; ++i) {
            auto* Item = qobject_cast<TMainMenuItem*>(FMenus->FindComponent(SlotName(i)));
            if (!Item)
                continue;
            FMenus->Remove(Item);
            FMenus->RemoveComponent(Item);
            delete Item;
        }
    }
    FItemCount = 0;
    FBuiltSlots = 0;
}

void TFileMenuOpens::Rebuild()
{
    if (!Active() || !FMenus)
        return;
    RemoveEntries();
    FBuiltSlots = FNumbers;
    for (unsigned i = 1; i <= FNumbers; ++i) {
        const QString FileName = ReadSlot(i);
        if (FileName.isEmpty())
            continue;
        auto Item = std::make_unique<TMainMenuItem>(FMenus);
        Item->SetName(SlotName(i));
        Item->SetCaption(EntryCaption(FItemCount + 1, FileName));
        Item->OnClick = FOnAction;
        // Entries follow each other from MenuIndex, also after a hole in
        // the slots; a MenuIndex past the end appends.
        const int Position = std::min<long long>(static_cast<long long>(FMenuIndex) + FItemCount, FMenus->Count());
        FMenus->Insert(Position, Item.get());
        Item.release();
        ++FItemCount;
    }
}

void TFileMenuOpens::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMenus) {
        FMenus = nullptr;
        FItemCount = 0;
        FBuiltSlots = 0;
    }
}

} // namespace lp
