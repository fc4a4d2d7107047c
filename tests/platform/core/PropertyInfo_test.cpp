#include "platform/core/PropertyInfo.h"

#include "platform/core/Component.h"

#include <gtest/gtest.h>

namespace lp {
namespace {

// A component that publishes its properties the way every class of the
// system does: defaults beside the Q_PROPERTY, a per-object stored rule.
class TSample : public TComponent {
    Q_OBJECT
public:
    enum TSampleStyle { ssPlain, ssFramed, ssShadowed };
    Q_ENUM(TSampleStyle)
    enum TSampleOption { soLeft = 1, soTop = 2, soRight = 4 };
    Q_DECLARE_FLAGS(TSampleOptions, TSampleOption)
    Q_FLAG(TSampleOptions)

private:
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_CLASSINFO("default:Width", "10")
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0x20000000")
    Q_PROPERTY(double Ratio READ Ratio WRITE SetRatio)
    Q_CLASSINFO("default:Ratio", "0.5")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")
    Q_PROPERTY(TSampleStyle Style READ Style WRITE SetStyle)
    Q_CLASSINFO("default:Style", "ssFramed")
    Q_PROPERTY(TSampleOptions Options READ Options WRITE SetOptions)
    Q_CLASSINFO("default:Options", "soLeft|soTop")
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_CLASSINFO("stored:Caption", "IsCaptionStored")
    Q_PROPERTY(int Cache READ Width STORED false)

public:
    using TComponent::TComponent;

    // The values, as every class copies its published state.
    void Assign(const TPersistent* Source) override
    {
        const auto* other = qobject_cast<const TSample*>(Source);
        if (!other)
            return TComponent::Assign(Source);
        FWidth = other->FWidth;
        FColor = other->FColor;
        FRatio = other->FRatio;
        FVisible = other->FVisible;
        FStyle = other->FStyle;
        FOptions = other->FOptions;
        FCaption = other->FCaption;
    }

    int Width() const { return FWidth; }
    void SetWidth(int v) { FWidth = v; }
    int Color() const { return FColor; }
    void SetColor(int v) { FColor = v; }
    double Ratio() const { return FRatio; }
    void SetRatio(double v) { FRatio = v; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    TSampleStyle Style() const { return FStyle; }
    void SetStyle(TSampleStyle v) { FStyle = v; }
    TSampleOptions Options() const { return FOptions; }
    void SetOptions(TSampleOptions v) { FOptions = v; }
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& v) { FCaption = v; }
    // The caption is stored only when it differs from the name.
    Q_INVOKABLE bool IsCaptionStored() const { return FCaption != Name(); }

private:
    int FWidth = 10;
    int FColor = 0x20000000;
    double FRatio = 0.5;
    bool FVisible = true;
    TSampleStyle FStyle = ssFramed;
    TSampleOptions FOptions = TSampleOptions(soLeft | soTop);
    QString FCaption;
};

// A class that declares a base's property again for another default, and
// one that holds a base's property under a name of its own.
class TSampleRedeclared : public TSample {
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_CLASSINFO("default:Width", "20")
    Q_CLASSINFO("unpublished:Ratio", "Scale")
    Q_PROPERTY(double Scale READ Ratio WRITE SetRatio)

public:
    using TSample::TSample;
};

class TSampleDerived : public TSampleRedeclared {
    Q_OBJECT
public:
    using TSampleRedeclared::TSampleRedeclared;
};

QStringList SamplePublishedNames(const QObject& Object)
{
    QStringList Names;
    for (const QMetaProperty& Property : PublishedProperties(&Object))
        Names << QString::fromLatin1(Property.name());
    return Names;
}

// Pie, contour, pyramid and volume pipe series wrote a redeclared
// ColorEachPoint twice.
TEST(PublishedProperties, ARedeclaredPropertyIsPublishedOnceWithItsNewDefault)
{
    TSampleRedeclared Sample;
    const QStringList Names = SamplePublishedNames(Sample);
    EXPECT_EQ(Names.count(QStringLiteral("Width")), 1);
    EXPECT_EQ(PropertyDefault(&Sample, "Width").toInt(), 20);
    Sample.SetWidth(10);
    EXPECT_TRUE(IsPropertyStored(&Sample, "Width"));
}

TEST(PublishedProperties, AnUnpublishedNameIsLeftOutForTheClassAndItsDescendants)
{
    for (const QObject* Object : std::initializer_list<const QObject*>{new TSampleRedeclared, new TSampleDerived}) {
        const QStringList Names = SamplePublishedNames(*Object);
        EXPECT_FALSE(Names.contains(QStringLiteral("Ratio"))) << Object->metaObject()->className();
        EXPECT_TRUE(Names.contains(QStringLiteral("Scale")));
        delete Object;
    }
    TSample Base;
    EXPECT_TRUE(SamplePublishedNames(Base).contains(QStringLiteral("Ratio")));
}

TEST(PublishedProperties, DeclaredDefaultsReadBackThroughTheMetaObject)
{
    TSample sample;
    EXPECT_EQ(PropertyDefault(&sample, "Width").toInt(), 10);
    EXPECT_EQ(PropertyDefault(&sample, "Color").toInt(), 0x20000000);
    EXPECT_DOUBLE_EQ(PropertyDefault(&sample, "Ratio").toDouble(), 0.5);
    EXPECT_EQ(PropertyDefault(&sample, "Visible").toBool(), true);
    EXPECT_EQ(PropertyDefault(&sample, "Style").value<TSample::TSampleStyle>(), TSample::ssFramed);
    EXPECT_EQ(PropertyDefault(&sample, "Options").value<TSample::TSampleOptions>(),
              TSample::TSampleOptions(TSample::soLeft | TSample::soTop));
    EXPECT_FALSE(HasPropertyDefault(&sample, "Caption"));
    EXPECT_FALSE(PropertyDefault(&sample, "Caption").isValid());
    EXPECT_TRUE(HasPropertyDefault(&sample, "Name"));
}

TEST(PublishedProperties, DefaultsAreNotStored)
{
    TSample sample;
    for (const char* name : {"Width", "Color", "Ratio", "Visible", "Style", "Options", "Caption", "Name"})
        EXPECT_FALSE(IsPropertyStored(&sample, name)) << name;
    sample.SetWidth(11);
    sample.SetColor(0xFF);
    sample.SetRatio(0.25);
    sample.SetVisible(false);
    sample.SetStyle(TSample::ssShadowed);
    sample.SetOptions(TSample::soRight);
    for (const char* name : {"Width", "Color", "Ratio", "Visible", "Style", "Options"})
        EXPECT_TRUE(IsPropertyStored(&sample, name)) << name;
}

TEST(PublishedProperties, StoredMethodAndStoredFlagDecide)
{
    TSample sample;
    sample.SetName("Sample1");
    sample.SetCaption("Sample1");
    EXPECT_FALSE(IsPropertyStored(&sample, "Caption"));
    sample.SetCaption("Title");
    EXPECT_TRUE(IsPropertyStored(&sample, "Caption"));
    sample.SetWidth(99);
    EXPECT_FALSE(IsPropertyStored(&sample, "Cache"));
    EXPECT_FALSE(IsPropertyStored(&sample, "NoSuchProperty"));
    EXPECT_TRUE(IsPropertyStored(&sample, "Name"));
}

// An owner that starts a sub-object away from its class's defaults keeps
// that start as the instance's default.
TEST(PublishedProperties, AnInstanceKeepsItsStartAsItsOwnDefault)
{
    TSample owned;
    owned.SetWidth(15);
    owned.SetStyle(TSample::ssPlain);
    KeepStartAsDefault(owned, {"Width", "Style"});

    // The instance's own default wins over the declared one.
    EXPECT_EQ(PropertyDefault(&owned, "Width").toInt(), 15);
    EXPECT_EQ(PropertyDefault(&owned, "Style").value<TSample::TSampleStyle>(), TSample::ssPlain);
    EXPECT_EQ(PropertyDefault(&owned, "Ratio").toDouble(), 0.5);
    EXPECT_FALSE(IsPropertyStored(&owned, "Width"));
    EXPECT_FALSE(IsPropertyStored(&owned, "Style"));

    // A value equal to the class default is stored now: it differs from the start.
    owned.SetWidth(10);
    owned.SetStyle(TSample::ssFramed);
    EXPECT_TRUE(IsPropertyStored(&owned, "Width"));
    EXPECT_TRUE(IsPropertyStored(&owned, "Style"));
    // Later changes do not move the instance's default.
    EXPECT_EQ(PropertyDefault(&owned, "Width").toInt(), 15);

    // Only the properties named have an instance default; others keep the class's.
    owned.SetRatio(0.25);
    EXPECT_TRUE(IsPropertyStored(&owned, "Ratio"));
}

TEST(PublishedProperties, AssignCarriesValuesNotInstanceDefaults)
{
    TSample owned;
    owned.SetWidth(15);
    KeepStartAsDefault(owned, {"Width"});
    TSample plain;
    plain.Assign(&owned);
    EXPECT_EQ(plain.Width(), 15);
    EXPECT_EQ(PropertyDefault(&plain, "Width").toInt(), 10);
    EXPECT_TRUE(IsPropertyStored(&plain, "Width"));

    // Assigned into an owned instance, its own default stays.
    TSample other;
    other.SetWidth(10);
    owned.Assign(&other);
    EXPECT_EQ(owned.Width(), 10);
    EXPECT_EQ(PropertyDefault(&owned, "Width").toInt(), 15);
    EXPECT_TRUE(IsPropertyStored(&owned, "Width"));
}

TEST(PublishedProperties, ListsTheClassPropertiesBelowQObject)
{
    TSample sample;
    QStringList names;
    for (const QMetaProperty& property : PublishedProperties(&sample))
        names << property.name();
    EXPECT_EQ(names, (QStringList{"Name", "Width", "Color", "Ratio", "Visible", "Style", "Options", "Caption", "Cache"}));
}

} // namespace
} // namespace lp

#include "PropertyInfo_test.moc"
