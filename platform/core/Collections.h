#pragma once
// Collections: ordered lists of items that the collection owns.
//
//   TCollection (a TPersistent) ──owns──> TCollectionItem, TCollectionItem, …
//     └─ TOwnedCollection           knows the object it belongs to (a series,
//                                   a tool), which streaming names in paths
//
// Every item gets an ID from its collection's counter when it joins; IDs
// start at 0, only grow, and are never reused within one collection, so a
// stored ID keeps naming the same item across deletes and moves.
//
// Items are not Qt-parented. The collection destroys its items on Delete,
// Clear and its own destruction; an item destroyed directly (delete) leaves
// its collection first. A collection makes new items of its item class
// through the factory it was given, so Add() works for every subclass.
//
// Change reports: a structural change (an item joins, leaves, moves) and an
// item's Changed() call Update() unless the collection is inside
// BeginUpdate/EndUpdate; the EndUpdate that returns the counter to 0 calls
// Update(nullptr) once. Notify() hears of every item that joins and, before
// it goes, of every item that leaves.

#include "platform/core/Component.h"

#include <functional>
#include <vector>

namespace lp {

class TCollection;

// What Notify() is told about an item.
enum TCollectionNotification {
    cnAdded,      // the item has joined (it is in the list)
    cnExtracting, // the item is about to leave but lives on (SetCollection)
    cnDeleting,   // the item is about to leave and be destroyed
};

class TCollectionItem : public TPersistent {
    Q_OBJECT
public:
    // Joins Collection as its last item; nullptr makes a free item.
    explicit TCollectionItem(TCollection* Collection);
    // Leaves the collection (which hears cnDeleting) if it is still in one;
    // the collection's Notify and Update must not throw then.
    ~TCollectionItem() override;

    TCollection* Collection() const noexcept { return FCollection; }
    // Leaves the present collection (cnExtracting) and joins Value as its
    // last item with a new ID from Value; nullptr leaves only. The caller
    // owns an item it makes free.
    void SetCollection(TCollection* Value);

    // The ID given by the collection the item last joined; -1 for an item
    // that has never been in one.
    int ID() const noexcept { return FID; }

    // The position in the collection, -1 for a free item.
    int Index() const;
    // Moves the item to position Value, the others shifting to make room.
    // Value must lie in 0 .. Count - 1 of the collection (nothing is
    // clamped): otherwise, and always for a free item, ERangeError.
    virtual void SetIndex(int Value);

    // The item's name in editors and messages; the class name by default.
    virtual QString DisplayName() const;

protected:
    // Reports a change of this item (AllItems = false) or of something that
    // concerns all items (true) to the collection as Update(this) or
    // Update(nullptr); nothing while the collection is updating or when the
    // item is free.
    void Changed(bool AllItems);

private:
    friend class TCollection;

    TCollection* FCollection = nullptr;
    int FID = -1;
    // Where the item stood when last looked up: a collection that does not
    // change finds its items at once instead of searching them all.
    mutable int FIndexHint = -1;
};

// Makes a new item of the collection's item class, already joined to the
// given collection.
using TCollectionItemFactory = std::function<TCollectionItem*(TCollection*)>;

class TCollection : public TPersistent {
    Q_OBJECT
public:
    explicit TCollection(TCollectionItemFactory ItemFactory);
    // Destroys the items, last first, without calling Notify or Update (a
    // subclass that must hear of them calls Clear in its own destructor).
    ~TCollection() override;

    // Makes a new item through the factory and returns it (it is the last
    // item). A collection without factory, or a factory that does not hand
    // back an item joined to this collection, raises EAssertionFailed.
    TCollectionItem* Add();
    // Adds a new item at position Index (0 .. Count; Count appends); a
    // position outside raises ERangeError and adds nothing.
    TCollectionItem* Insert(int Index);

    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    // The item at Index; ERangeError outside 0 .. Count - 1.
    TCollectionItem* Items(int Index) const;
    // Destroys the item at Index (Notify cnDeleting first); ERangeError
    // outside 0 .. Count - 1.
    void Delete(int Index);
    // Destroys every item, last first, as one update.
    void Clear();
    // Swaps the items at A and B; ERangeError when either lies outside.
    void Exchange(int A, int B);

    // The item with that ID, or nullptr.
    TCollectionItem* FindItemID(int ID) const;
    // The position of Item, -1 when it is not in this collection.
    int IndexOf(const TCollectionItem* Item) const;
    // The ID the next item to join will get.
    int NextID() const noexcept { return FNextID; }

    // Brackets a batch of changes; the EndUpdate that brings the counter
    // back to 0 calls Update(nullptr). EndUpdate without BeginUpdate raises
    // EAssertionFailed.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }

    // From another collection: replaces the items by new ones (new IDs),
    // one for each source item, each given the source item's values through
    // its Assign; all as one update. Other sources go to TPersistent.
    void Assign(const TPersistent* Source) override;

protected:
    // Item changed (nullptr: the collection or all items changed). Empty
    // here; subclasses repaint or recompute.
    virtual void Update(TCollectionItem* Item);
    // An item joined (cnAdded, already in the list) or is about to leave
    // (cnExtracting, cnDeleting; still in the list). An item that joins by
    // construction is reported while its constructor runs, and one destroyed
    // directly while its destructor runs: receivers may keep or compare the
    // pointer then, but not call the item. Empty here.
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    // Calls Update(nullptr) unless updating.
    void Changed();

private:
    friend class TCollectionItem;

    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item, TCollectionNotification Action);
    // The position of Item, tried at Guess first; -1 when it is not here.
    int Locate(const TCollectionItem* Item, int Guess) const;
    void CheckIndex(int Index) const;

    TCollectionItemFactory FItemFactory;
    std::vector<TCollectionItem*> FItems; // owned
    int FNextID = 0;
    int FUpdateCount = 0;
};

// A collection that belongs to another object; streaming uses the owner to
// name the collection's place in the component tree.
class TOwnedCollection : public TCollection {
    Q_OBJECT
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemFactory ItemFactory);

    // The object the collection belongs to (observed, not owned).
    TPersistent* Owner() const noexcept { return FOwner; }

private:
    TPersistent* FOwner;
};

// The factory of a collection whose items are of class T (T's constructor
// takes the collection and joins it).
template <class T>
TCollectionItemFactory CollectionItemFactory() { return [](TCollection* c) -> TCollectionItem* { return new T(c); }; }

} // namespace lp
