#include "platform/core/Component.h"

#include <gtest/gtest.h>

#include <vector>

namespace lp {
namespace {

// Records the notifications it receives; clears its reference to a linked
// component that goes away.
class TWatcher : public TComponent {
    Q_OBJECT
public:
    using TComponent::TComponent;
    ~TWatcher() override { DestroyComponents(); }

    struct Event {
        TComponent* component;
        TOperation operation;
    };
    std::vector<Event> events;
    TComponent* reference = nullptr;

    void Refer(TComponent* other)
    {
        reference = other;
        FreeNotification(other);
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        events.push_back({AComponent, Operation});
        if (Operation == opRemove && AComponent == reference)
            reference = nullptr;
    }
};

// Counts its own destruction.
class TCounted : public TComponent {
    Q_OBJECT
public:
    TCounted(TComponent* owner, int* destroyed) : TComponent(owner), FDestroyed(destroyed) {}
    ~TCounted() override { ++*FDestroyed; }

private:
    int* FDestroyed;
};

TEST(TComponent, OwnerDestroysWhatItOwns)
{
    int destroyed = 0;
    {
        TComponent owner;
        auto* a = new TCounted(&owner, &destroyed);
        new TCounted(a, &destroyed); // owned by a, destroyed with it
        new TCounted(&owner, &destroyed);
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(a->ComponentCount(), 1);
        EXPECT_EQ(owner.Components(0), a);
        EXPECT_THROW(owner.Components(2), ERangeError);
    }
    EXPECT_EQ(destroyed, 3);
}

TEST(TComponent, DestroyingAnOwnedComponentLeavesItsOwner)
{
    TComponent owner;
    auto* child = new TComponent(&owner);
    delete child;
    EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(TComponent, NamesAreIdentifiersUniqueInTheOwner)
{
    TComponent owner;
    auto* first = new TComponent(&owner);
    auto* second = new TComponent(&owner);
    first->SetName("Series1");
    EXPECT_EQ(owner.FindComponent("series1"), first);
    EXPECT_EQ(owner.FindComponent("Nope"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    EXPECT_THROW(second->SetName("SERIES1"), EComponentError);
    EXPECT_THROW(second->SetName("1abc"), EComponentError);
    EXPECT_THROW(second->SetName("a b"), EComponentError);
    EXPECT_EQ(second->Name(), "");
    second->SetName("Series2");
    first->SetName("Series1"); // renaming to its own name is fine
    first->SetName("");
    EXPECT_EQ(first->Name(), "");
    EXPECT_EQ(first->objectName(), "");
    try {
        second->SetName("Chart 1");
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "\"Chart 1\" is not a valid component name");
    }
}

TEST(TComponent, InsertMovesBetweenOwnersAndChecksNames)
{
    TComponent left, right;
    auto* moving = new TComponent(&left);
    moving->SetName("Item");
    right.InsertComponent(moving);
    EXPECT_EQ(moving->Owner(), &right);
    EXPECT_EQ(left.ComponentCount(), 0);
    auto* clash = new TComponent(&left);
    clash->SetName("item");
    EXPECT_THROW(right.InsertComponent(clash), EComponentError);
    EXPECT_EQ(clash->Owner(), &left);
    right.RemoveComponent(moving);
    EXPECT_EQ(moving->Owner(), nullptr);
    delete moving; // released: the caller destroys it
}

TEST(TComponent, ExchangingComponentsSwapsTheirPlacesAndChecksIndexes)
{
    TComponent owner;
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    auto* c = new TComponent(&owner);
    owner.ExchangeComponents(0, 2);
    EXPECT_EQ(owner.Components(0), c);
    EXPECT_EQ(owner.Components(1), b);
    EXPECT_EQ(owner.ComponentIndex(a), 2);
    EXPECT_THROW(owner.ExchangeComponents(1, 3), ERangeError);
    EXPECT_THROW(owner.ExchangeComponents(-1, 0), ERangeError);
    EXPECT_EQ(owner.Components(1), b);
}

TEST(TComponent, OwnersPassInsertAndRemoveToTheirComponents)
{
    TComponent owner;
    auto* watcher = new TWatcher(&owner);
    auto* sibling = new TComponent(&owner);
    ASSERT_FALSE(watcher->events.empty());
    EXPECT_EQ(watcher->events.back().component, sibling);
    EXPECT_EQ(watcher->events.back().operation, TComponent::opInsert);
    delete sibling;
    EXPECT_EQ(watcher->events.back().component, sibling);
    EXPECT_EQ(watcher->events.back().operation, TComponent::opRemove);
}

TEST(TComponent, FreeNotificationWorksBothWays)
{
    TWatcher a;
    auto* b = new TWatcher();
    a.Refer(b);
    b->Refer(&a);
    delete b;
    EXPECT_EQ(a.reference, nullptr);

    auto* c = new TWatcher();
    {
        TWatcher d;
        c->Refer(&d);
    }
    EXPECT_EQ(c->reference, nullptr);
    delete c;
}

TEST(TComponent, RemovedFreeNotificationIsSilent)
{
    TWatcher a;
    auto* b = new TComponent();
    a.Refer(b);
    a.RemoveFreeNotification(b);
    a.events.clear();
    delete b;
    EXPECT_TRUE(a.events.empty());
    EXPECT_NE(a.reference, nullptr); // it asked not to be told
}

TEST(TComponent, StateFlags)
{
    TComponent owner;
    auto* child = new TComponent(&owner);
    owner.SetDesigning(true);
    EXPECT_TRUE(child->IsDesigning());
    owner.Loading();
    EXPECT_TRUE(owner.IsLoading());
    owner.Loaded();
    EXPECT_FALSE(owner.IsLoading());
    owner.SetReading(true);
    EXPECT_TRUE(owner.ComponentState().testFlag(TComponent::csReading));
    owner.Destroying();
    EXPECT_TRUE(child->IsDestroying());
}

// A persistent that takes values from its own class only.
class TValue : public TPersistent {
    Q_OBJECT
public:
    int value = 0;
    void Assign(const TPersistent* Source) override
    {
        if (auto* other = qobject_cast<const TValue*>(Source)) {
            value = other->value;
            return;
        }
        TPersistent::Assign(Source);
    }
};

class TOther : public TPersistent {
    Q_OBJECT
};

TEST(TPersistent, AssignCopiesCompatibleSourcesAndRaisesOtherwise)
{
    TValue a, b;
    a.value = 5;
    b.Assign(&a);
    EXPECT_EQ(b.value, 5);
    TOther other;
    try {
        b.Assign(&other);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TOther to a TValue");
    }
    EXPECT_THROW(b.Assign(nullptr), EConvertError);
    EXPECT_EQ(a.ClassName(), "TValue");
}

} // namespace
} // namespace lp

#include "Component_test.moc"
