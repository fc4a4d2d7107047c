#include "platform/core/Collections.h"

#include <algorithm>
#include <climits>

namespace lp {

// --- TCollectionItem -----------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection)
{
    if (Collection)
        Collection->InsertItem(this);
}

TCollectionItem::~TCollectionItem()
{
    if (FCollection)
        FCollection->RemoveItem(this, cnDeleting);
}

void TCollectionItem::SetCollection(TCollection* Value)
{
    if (Value == FCollection)
        return;
    if (FCollection)
        FCollection->RemoveItem(this, cnExtracting);
    if (Value)
        Value->InsertItem(this);
}

int TCollectionItem::Index() const
{
    return FCollection ? FCollection->IndexOf(this) : -1;
}

void TCollectionItem::SetIndex(int Value)
{
    if (!FCollection)
        RaiseIndexError(Value, 0);
    FCollection->CheckIndex(Value);
    const int current = Index();
    if (current == Value)
        return;
    auto& items = FCollection->FItems;
    const auto from = items.begin() + current;
    const auto to = items.begin() + Value;
    if (current < Value)
        std::rotate(from, from + 1, to + 1);
    else
        std::rotate(to, from, from + 1);
    Changed(true);
}

QString TCollectionItem::DisplayName() const
{
    return ClassName();
}

void TCollectionItem::Changed(bool AllItems)
{
    if (FCollection && FCollection->FUpdateCount == 0)
        FCollection->Update(AllItems ? nullptr : this);
}

// --- TCollection ---------------------------------------------------------------

TCollection::TCollection(TCollectionItemFactory ItemFactory) : FItemFactory(std::move(ItemFactory)) {}

TCollection::~TCollection()
{
    // The subclass is gone: its Notify and Update can no longer be called.
    FUpdateCount = 1;
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back();
        FItems.pop_back();
        item->FCollection = nullptr;
        delete item;
    }
}

TCollectionItem* TCollection::Add()
{
    Assert(static_cast<bool>(FItemFactory), "Collection has no item factory");
    TCollectionItem* item = FItemFactory(this);
    if (!item || item->FCollection != this) {
        if (item && !item->FCollection)
            delete item; // new and free: nobody else owns it
        Assert(false, "Collection item factory did not join the item to the collection");
    }
    return item;
}

TCollectionItem* TCollection::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        RaiseIndexError(Index, Count() + 1);
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

void TCollection::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        RaiseIndexError(Index, Count());
}

TCollectionItem* TCollection::Items(int Index) const
{
    CheckIndex(Index);
    return FItems[static_cast<size_t>(Index)];
}

void TCollection::Delete(int Index)
{
    CheckIndex(Index);
    TCollectionItem* item = FItems[static_cast<size_t>(Index)];
    Notify(item, cnDeleting);
    // Notify may have moved items around: remove the item wherever it is now
    // (looked for where it stood first, so clearing from the back is linear).
    const int at = Locate(item, Index);
    if (at < 0)
        return; // Notify took it out of the collection; whoever did owns it
    FItems.erase(FItems.begin() + at);
    item->FCollection = nullptr;
    delete item;
    Changed();
}

void TCollection::Clear()
{
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            Delete(Count() - 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Exchange(int A, int B)
{
    CheckIndex(A);
    CheckIndex(B);
    if (A == B)
        return;
    std::swap(FItems[static_cast<size_t>(A)], FItems[static_cast<size_t>(B)]);
    Changed();
}

TCollectionItem* TCollection::FindItemID(int ID) const
{
    for (TCollectionItem* item : FItems)
        if (item->FID == ID)
            return item;
    return nullptr;
}

int TCollection::IndexOf(const TCollectionItem* Item) const
{
    if (Item == nullptr)
        return -1;
    const int hint = Item->FIndexHint;
    if (hint >= 0 && hint < static_cast<int>(FItems.size()) && FItems[static_cast<size_t>(hint)] == Item)
        return hint;
    const auto found = std::find(FItems.begin(), FItems.end(), Item);
    if (found == FItems.end())
        return -1;
    Item->FIndexHint = static_cast<int>(found - FItems.begin());
    return Item->FIndexHint;
}

void TCollection::BeginUpdate()
{
    ++FUpdateCount;
}

void TCollection::EndUpdate()
{
    Assert(FUpdateCount > 0, "Collection EndUpdate without BeginUpdate");
    if (--FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::Assign(const TPersistent* Source)
{
    const auto* source = qobject_cast<const TCollection*>(Source);
    if (!source) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (const TCollectionItem* from : source->FItems)
            Add()->Assign(from);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem* Item) {}

void TCollection::Notify(TCollectionItem* Item, TCollectionNotification Action) {}

void TCollection::Changed()
{
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item)
{
    Assert(FNextID < INT_MAX, "Collection item IDs exhausted");
    FItems.push_back(Item);
    Item->FIndexHint = static_cast<int>(FItems.size()) - 1;
    Item->FCollection = this;
    Item->FID = FNextID++;
    try {
        Notify(Item, cnAdded);
        Changed();
    } catch (...) {
        // An item whose constructor fails is freed without its destructor:
        // the list must not keep it.
        const auto found = std::find(FItems.begin(), FItems.end(), Item);
        if (found != FItems.end())
            FItems.erase(found);
        Item->FCollection = nullptr;
        throw;
    }
}

int TCollection::Locate(const TCollectionItem* Item, int Guess) const
{
    if (Guess >= 0 && Guess < Count() && FItems[static_cast<size_t>(Guess)] == Item)
        return Guess;
    return IndexOf(Item);
}

void TCollection::RemoveItem(TCollectionItem* Item, TCollectionNotification Action)
{
    Notify(Item, Action);
    const int at = IndexOf(Item);
    if (at >= 0)
        FItems.erase(FItems.begin() + at);
    Item->FCollection = nullptr;
    Changed();
}

// --- TOwnedCollection ----------------------------------------------------------

TOwnedCollection::TOwnedCollection(TPersistent* AOwner, TCollectionItemFactory ItemFactory)
    : TCollection(std::move(ItemFactory)), FOwner(AOwner)
{
}

} // namespace lp
