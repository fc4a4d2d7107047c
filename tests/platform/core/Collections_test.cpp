#include "platform/core/Collections.h"

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

// An item with one value, copied by Assign, that counts its destruction.
class TValueItem : public TCollectionItem {
    Q_OBJECT
public:
    explicit TValueItem(TCollection* Collection, int* Destroyed = nullptr)
        : TCollectionItem(Collection), FDestroyed(Destroyed) {}
    ~TValueItem() override
    {
        if (FDestroyed)
            ++*FDestroyed;
    }
    using TCollectionItem::Changed;
    void Assign(const TPersistent* Source) override
    {
        if (const auto* source = qobject_cast<const TValueItem*>(Source))
            Value = source->Value;
        else
            TCollectionItem::Assign(Source);
    }
    int Value = 0;

private:
    int* FDestroyed;
};

// Records its notifications (with the item's position at the time) and
// updates.
class TWatched : public TCollection {
    Q_OBJECT
public:
    explicit TWatched(int* Destroyed = nullptr)
        : TCollection([Destroyed](TCollection* c) -> TCollectionItem* { return new TValueItem(c, Destroyed); }) {}
    struct Note {
        TCollectionItem* Item;
        TCollectionNotification Action;
        int Index;
        bool operator==(const Note&) const = default;
    };
    std::vector<Note> Notes;
    std::vector<TCollectionItem*> Updates;

protected:
    void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
    void Notify(TCollectionItem* Item, TCollectionNotification Action) override
    {
        Notes.push_back({Item, Action, IndexOf(Item)});
    }
};
using Notes = std::vector<TWatched::Note>;
using Items = std::vector<TCollectionItem*>;

Items Order(const TCollection& collection)
{
    Items result;
    for (int i = 0; i < collection.Count(); ++i)
        result.push_back(collection.Items(i));
    return result;
}

TEST(TCollection, IdsIncreaseAndAreNeverReused)
{
    TCollection collection(CollectionItemFactory<TValueItem>());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(collection.Add()->ID(), i);
    collection.Delete(1);
    TCollectionItem* added = collection.Add();
    EXPECT_EQ(added->ID(), 3);
    EXPECT_EQ(collection.NextID(), 4);
    EXPECT_EQ(collection.FindItemID(1), nullptr);
    EXPECT_EQ(collection.FindItemID(3), added);
    EXPECT_EQ(added->DisplayName(), "TValueItem");
}

TEST(TCollection, IndexesAreCheckedNeverClamped)
{
    TCollection collection(CollectionItemFactory<TValueItem>());
    Items items;
    for (int i = 0; i < 4; ++i)
        items.push_back(collection.Add());
    items[0]->SetIndex(2); // forwards: the others shift down
    EXPECT_EQ(Order(collection), (Items{items[1], items[2], items[0], items[3]}));
    items[3]->SetIndex(0); // backwards: the others shift up
    EXPECT_EQ(Order(collection), (Items{items[3], items[1], items[2], items[0]}));

    const Items before = Order(collection);
    EXPECT_THROW(items[0]->SetIndex(4), ERangeError);
    EXPECT_THROW(items[0]->SetIndex(-1), ERangeError);
    EXPECT_THROW(collection.Items(4), ERangeError);
    EXPECT_THROW(collection.Items(-1), ERangeError);
    EXPECT_THROW(collection.Delete(4), ERangeError);
    EXPECT_THROW(collection.Exchange(0, 4), ERangeError);
    EXPECT_THROW(collection.Insert(5), ERangeError);
    EXPECT_EQ(Order(collection), before);

    collection.Exchange(0, 3);
    EXPECT_EQ(Order(collection), items);
    EXPECT_EQ(collection.Insert(0)->Index(), 0);
    EXPECT_EQ(collection.Insert(5)->Index(), 5); // Count appends
    TValueItem loose(nullptr);
    EXPECT_EQ(loose.Index(), -1);
    EXPECT_EQ(loose.ID(), -1);
    EXPECT_THROW(loose.SetIndex(0), ERangeError);
}

TEST(TCollection, OwnsAndDestroysItsItems)
{
    int destroyed = 0;
    {
        TWatched collection(&destroyed);
        for (int i = 0; i < 5; ++i)
            collection.Add();
        collection.Delete(0);
        EXPECT_EQ(destroyed, 1);
        collection.Updates.clear();
        collection.Clear();
        EXPECT_EQ(destroyed, 5);
        EXPECT_EQ(collection.Updates, Items{nullptr}); // one update for all
        collection.Add();
        delete collection.Add(); // leaves the collection on its own
        EXPECT_EQ(destroyed, 6);
        EXPECT_EQ(collection.Count(), 1);
    }
    EXPECT_EQ(destroyed, 7);
}

TEST(TCollection, NotifiesJoinsAndLeavesWhileTheItemIsListed)
{
    TWatched collection, other;
    TCollectionItem* a = collection.Add();
    TCollectionItem* b = collection.Add();
    TCollectionItem* c = collection.Add();
    collection.Delete(0);
    delete b;
    c->SetCollection(&other); // moves with a new ID from other
    EXPECT_EQ(collection.Notes, (Notes{{a, cnAdded, 0}, {b, cnAdded, 1}, {c, cnAdded, 2}, {a, cnDeleting, 0},
                                       {b, cnDeleting, 0}, {c, cnExtracting, 0}}));
    EXPECT_EQ(other.Notes, (Notes{{c, cnAdded, 0}}));
    EXPECT_EQ(c->ID(), 0);
    c->SetCollection(nullptr); // the caller owns it now; it keeps its ID
    EXPECT_EQ(c->ID(), 0);
    delete c;
    EXPECT_EQ(other.Count(), 0);
}

TEST(TCollection, UpdatesAreHeldBackUntilTheOutermostEndUpdate)
{
    TWatched collection;
    auto* item = static_cast<TValueItem*>(collection.Add());
    collection.Updates.clear();
    item->Changed(false);
    item->Changed(true);
    EXPECT_EQ(collection.Updates, (Items{item, nullptr}));

    collection.Updates.clear();
    collection.BeginUpdate();
    collection.BeginUpdate();
    collection.Add();
    item->Changed(false);
    item->SetIndex(1);
    collection.EndUpdate();
    EXPECT_TRUE(collection.Updates.empty());
    collection.EndUpdate();
    EXPECT_EQ(collection.Updates, Items{nullptr});
    EXPECT_THROW(collection.EndUpdate(), EAssertionFailed);
    EXPECT_EQ(collection.UpdateCount(), 0);
}

TEST(TCollection, AssignReplacesItemsThroughItemAssign)
{
    TCollection source(CollectionItemFactory<TValueItem>());
    static_cast<TValueItem*>(source.Add())->Value = 5;
    static_cast<TValueItem*>(source.Add())->Value = 7;
    TWatched target;
    for (int i = 0; i < 3; ++i)
        target.Add();
    target.Updates.clear();

    target.Assign(&source);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(static_cast<TValueItem*>(target.Items(0))->Value, 5);
    EXPECT_EQ(static_cast<TValueItem*>(target.Items(1))->Value, 7);
    EXPECT_EQ(target.Items(0)->ID(), 3); // new IDs from the target's counter
    EXPECT_EQ(target.Updates, Items{nullptr});
    target.Assign(&target);
    EXPECT_EQ(target.Count(), 2);
    TPersistent other;
    EXPECT_THROW(target.Assign(&other), EConvertError);
}

TEST(TCollection, FactoryMustHandBackAJoinedItem)
{
    TCollection noFactory(nullptr);
    EXPECT_THROW(noFactory.Add(), EAssertionFailed);
    TCollection freeItems([](TCollection*) -> TCollectionItem* { return new TValueItem(nullptr); });
    EXPECT_THROW(freeItems.Add(), EAssertionFailed); // and the stray item is freed
    EXPECT_EQ(freeItems.Count(), 0);

    TPersistent owner;
    TOwnedCollection owned(&owner, CollectionItemFactory<TValueItem>());
    EXPECT_EQ(owned.Owner(), &owner);
    EXPECT_NE(qobject_cast<TValueItem*>(owned.Add()), nullptr);
}

} // namespace
} // namespace lp

#include "Collections_test.moc"
