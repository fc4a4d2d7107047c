#include "platform/core/ClassRegistry.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

class TRegisteredWidgetPart : public TComponent {
    Q_OBJECT
public:
    using TComponent::TComponent;
};

class TRegisteredSetting : public TPersistent {
    Q_OBJECT
};

namespace other {
// The same class name in another namespace: a different class.
class TRegisteredWidgetPart : public TComponent {
    Q_OBJECT
public:
    using TComponent::TComponent;
};
} // namespace other

struct Registration : ::testing::Test {
    void SetUp() override
    {
        RegisterClass<TRegisteredWidgetPart>();
        RegisterClass<TRegisteredSetting>();
    }
    void TearDown() override
    {
        UnRegisterClass("TRegisteredSetting");
        UnRegisterClass("TRegisteredWidgetPart");
    }
};

TEST_F(Registration, CreatesComponentsByNameWithTheirOwner)
{
    TComponent owner;
    TComponent* created = CreateComponent("tregisteredwidgetpart", &owner);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->ClassName(), "TRegisteredWidgetPart");
    EXPECT_EQ(created->Owner(), &owner);
    EXPECT_TRUE(RegisteredClassNames().contains("TRegisteredWidgetPart"));
}

TEST_F(Registration, CreatesPersistentsWithoutOwner)
{
    std::unique_ptr<TPersistent> object = CreateObject("TRegisteredSetting");
    EXPECT_EQ(object->ClassName(), "TRegisteredSetting");
    TComponent owner;
    EXPECT_THROW(CreateComponent("TRegisteredSetting", &owner), EClassNotFound);
    EXPECT_THROW(CreateComponent("TRegisteredWidgetPart", nullptr), EComponentError);
}

TEST_F(Registration, UnknownAndDuplicateNames)
{
    EXPECT_EQ(GetClass("TNothing"), nullptr);
    try {
        FindClass("TNothing");
        FAIL();
    } catch (const EClassNotFound& e) {
        EXPECT_EQ(e.Message(), "Class TNothing not found");
    }
    EXPECT_NO_THROW(RegisterClass<TRegisteredWidgetPart>()); // same class again
    UnRegisterClass("TRegisteredWidgetPart");
    EXPECT_EQ(GetClass("TRegisteredWidgetPart"), nullptr);
    RegisterClass<TRegisteredWidgetPart>();
    // Another class under a registered name is refused.
    EXPECT_THROW(RegisterClass<other::TRegisteredWidgetPart>(), EClassNotFound);
    TComponent owner;
    EXPECT_EQ(CreateComponent("TRegisteredWidgetPart", &owner)->metaObject(),
              &TRegisteredWidgetPart::staticMetaObject);
}

} // namespace
} // namespace lp

#include "ClassRegistry_test.moc"
