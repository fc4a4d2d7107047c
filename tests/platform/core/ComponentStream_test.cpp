#include "platform/core/ComponentStream.h"

#include "platform/core/ClassRegistry.h"
#include "platform/core/Collections.h"
#include "platform/core/StringList.h"

#include <QtCore/QBuffer>

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace lp {

class TStreamPen : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0")
    Q_PROPERTY(double Width READ Width WRITE SetWidth)
    Q_CLASSINFO("default:Width", "1")
public:
    int Color() const { return FColor; }
    void SetColor(int V) { FColor = V; }
    double Width() const { return FWidth; }
    void SetWidth(double V) { FWidth = V; }

private:
    int FColor = 0;
    double FWidth = 1;
};

class TStreamItem : public TCollectionItem {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_CLASSINFO("default:Caption", "")
public:
    using TCollectionItem::TCollectionItem;
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& V) { FCaption = V; }

private:
    QString FCaption;
};

class TStreamThing : public TComponent {
    Q_OBJECT
public:
    enum TShape { shSquare, shRound, shStar };
    Q_ENUM(TShape)
    enum TStyleFlag { stBold = 1, stItalic = 2, stUnderline = 4 };
    Q_DECLARE_FLAGS(TStyles, TStyleFlag)
    Q_FLAG(TStyles)
private:
    Q_PROPERTY(TShape Shape READ Shape WRITE SetShape)
    Q_CLASSINFO("default:Shape", "shSquare")
    Q_PROPERTY(TStyles Styles READ Styles WRITE SetStyles)
    Q_CLASSINFO("default:Styles", "")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_CLASSINFO("default:Title", "")
    Q_PROPERTY(lp::TStreamPen* Pen READ Pen)
    Q_PROPERTY(lp::TCollection* Items READ Items)
    Q_PROPERTY(lp::TStringList* Lines READ Lines)
    Q_PROPERTY(lp::TStreamThing* Buddy READ Buddy WRITE SetBuddy)
public:
    explicit TStreamThing(TComponent* AOwner = nullptr)
        : TComponent(AOwner), FItems([](TCollection* C) { return new TStreamItem(C); })
    {
    }
    TShape Shape() const { return FShape; }
    void SetShape(TShape V) { FShape = V; }
    TStyles Styles() const { return FStyles; }
    void SetStyles(TStyles V) { FStyles = V; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool V) { FVisible = V; }
    QString Title() const { return FTitle; }
    void SetTitle(const QString& V) { FTitle = V; }
    TStreamPen* Pen() { return &FPen; }
    TCollection* Items() { return &FItems; }
    TStringList* Lines() { return &FLines; }
    TStreamThing* Buddy() const { return FBuddy; }
    void SetBuddy(TStreamThing* V) { FBuddy = V; }
    QByteArray Blob;

    void DefineProperties(TFiler& Filer) override
    {
        Filer.DefineBinaryProperty(
            QStringLiteral("Blob"), [this](QIODevice& S) { Blob = S.readAll(); },
            [this](QIODevice& S) { S.write(Blob); }, !Blob.isEmpty());
    }

private:
    TShape FShape = shSquare;
    TStyles FStyles;
    bool FVisible = true;
    QString FTitle;
    TStreamPen FPen;
    TCollection FItems;
    TStringList FLines;
    TStreamThing* FBuddy = nullptr;
};

// A sub-object made on first read and a collection stored only on request.
class TLazyThing : public TComponent {
    Q_OBJECT
    Q_PROPERTY(lp::TStreamPen* Extra READ Extra)
    Q_CLASSINFO("stored:Extra", "HasExtra")
    Q_PROPERTY(lp::TCollection* Things READ Things)
    Q_CLASSINFO("stored:Things", "AreThingsStored")
public:
    explicit TLazyThing(TComponent* AOwner = nullptr)
        : TComponent(AOwner), FThings([](TCollection* C) { return new TStreamItem(C); })
    {
    }
    TStreamPen* Extra()
    {
        if (!FExtra)
            FExtra = std::make_unique<TStreamPen>();
        return FExtra.get();
    }
    Q_INVOKABLE bool HasExtra() const { return FExtra != nullptr; }
    TCollection* Things() { return &FThings; }
    Q_INVOKABLE bool AreThingsStored() const { return StoreThings; }
    bool StoreThings = false;

private:
    std::unique_ptr<TStreamPen> FExtra;
    TCollection FThings;
};

namespace {

class ComponentStreamTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterClass<TStreamThing>(); }
    void TearDown() override { UnRegisterClass(QStringLiteral("TStreamThing")); }

    static std::unique_ptr<TStreamThing> RichTree()
    {
        auto Root = std::make_unique<TStreamThing>();
        Root->SetName(QStringLiteral("Root"));
        Root->SetShape(TStreamThing::shStar);
        Root->SetStyles(TStreamThing::TStyles(TStreamThing::stBold) | TStreamThing::stUnderline);
        Root->SetVisible(false);
        Root->SetTitle(QStringLiteral("It's \"ok\"\r\nü"));
        Root->Pen()->SetColor(255);
        Root->Pen()->SetWidth(2.5);
        static_cast<TStreamItem*>(Root->Items()->Add())->SetCaption(QStringLiteral("one"));
        Root->Items()->Add();
        Root->Lines()->Add(QStringLiteral("a"));
        Root->Lines()->Add(QStringLiteral("b c"));
        Root->Blob = QByteArray("\x00\x01\xFF", 3);
        auto* Child = new TStreamThing(Root.get());
        Child->SetName(QStringLiteral("Child"));
        Child->SetBuddy(Root.get());
        Root->SetBuddy(Child);
        return Root;
    }

    static QString Text(TComponent* C)
    {
        QBuffer Out;
        Out.open(QIODevice::WriteOnly);
        WriteStreamText(TComponentWriter(C).WriteComponent(C), Out);
        return QString::fromUtf8(Out.data());
    }

    static QByteArray Binary(TComponent* C)
    {
        QBuffer Out;
        Out.open(QIODevice::WriteOnly);
        TComponentWriter(C).WriteDescendent(Out, C);
        return Out.data();
    }
};

TEST_F(ComponentStreamTest, TextFormShowsOnlyNonDefaultPropertiesByName)
{
    auto Root = RichTree();
    const QString T = Text(Root.get());
    EXPECT_TRUE(T.startsWith(QStringLiteral("object Root: TStreamThing\r\n"))) << T.toStdString();
    EXPECT_TRUE(T.contains(QStringLiteral("  Shape = shStar\r\n")));
    EXPECT_TRUE(T.contains(QStringLiteral("  Styles = [stBold, stUnderline]\r\n")));
    EXPECT_TRUE(T.contains(QStringLiteral("  Pen.Color = 255\r\n")));
    EXPECT_TRUE(T.contains(QStringLiteral("  Pen.Width = 2.5\r\n")));
    EXPECT_TRUE(T.contains(QStringLiteral("  Buddy = Child\r\n")));
    EXPECT_TRUE(T.contains(QStringLiteral("  Blob = {\r\n    0001FF}\r\n")));
    EXPECT_TRUE(T.contains(QStringLiteral("  object Child: TStreamThing\r\n    Buddy = Root\r\n  end\r\n")));
    EXPECT_FALSE(T.contains(QStringLiteral("Visible = True")));
    TStreamThing Plain;
    EXPECT_EQ(Text(&Plain), QStringLiteral("object TStreamThing\r\nend\r\n"));
}

TEST_F(ComponentStreamTest, BinaryAndTextRoundTripsGiveTheSameTree)
{
    auto Root = RichTree();
    const QString Expected = Text(Root.get());
    QBuffer Bin;
    Bin.setData(Binary(Root.get()));
    ASSERT_TRUE(Bin.open(QIODevice::ReadOnly));
    EXPECT_EQ(Bin.data().left(4), QByteArray("TPF0"));
    TStreamThing Loaded;
    TComponentReader().ReadRootComponent(Bin, &Loaded);
    EXPECT_EQ(Text(&Loaded), Expected);
    ASSERT_EQ(Loaded.ComponentCount(), 1);
    EXPECT_EQ(Loaded.Buddy(), Loaded.Components(0));
    EXPECT_EQ(static_cast<TStreamThing*>(Loaded.Components(0))->Buddy(), &Loaded);
    EXPECT_FALSE(Loaded.IsLoading());

    // Text -> binary -> text is stable.
    QBuffer TextIn;
    TextIn.setData(Expected.toUtf8());
    TextIn.open(QIODevice::ReadOnly);
    QBuffer BinOut;
    BinOut.open(QIODevice::WriteOnly);
    ObjectTextToBinary(TextIn, BinOut);
    EXPECT_EQ(BinOut.data().toHex().toStdString(), Bin.data().toHex().toStdString());
}

TEST_F(ComponentStreamTest, UnknownPropertyGoesToTheErrorHook)
{
    class TSkipping : public TComponentReader {
    public:
        QStringList Seen;
        bool Error(const QString& Message) override
        {
            Seen << Message;
            return true;
        }
    };
    const QByteArray Source = "object X: TStreamThing\r\n  Bogus = 1\r\n  OnClick = XClick\r\n  Shape = shNone\r\n  Visible = False\r\n"
                              "  object Y: TNoSuchClass\r\n  end\r\nend\r\n";
    QBuffer In;
    In.setData(Source);
    In.open(QIODevice::ReadOnly);
    const TStreamComponent Tree = ReadStreamText(In);
    TSkipping Reader;
    TStreamThing Target;
    Reader.ReadRootComponent(Tree, &Target);
    EXPECT_EQ(Reader.Seen.size(), 4);
    EXPECT_TRUE(Reader.Seen.contains(QStringLiteral("Error reading OnClick: Method XClick not found")));
    EXPECT_FALSE(Target.Visible());
    EXPECT_EQ(Target.ComponentCount(), 0);

    TStreamThing Strict;
    EXPECT_THROW(TComponentReader().ReadRootComponent(Tree, &Strict), EFilerError);
    EXPECT_FALSE(Strict.IsLoading());
}

TEST_F(ComponentStreamTest, MalformedTextIsRefusedWithItsLine)
{
    for (const char* Bad : {"", "inherited X: TStreamThing\r\nend", "object X: TStreamThing\r\n  A = \r\n",
                            "object X: TStreamThing\r\n  A = 'open\r\nend", "object X: TStreamThing\r\n  A = {0}\r\nend",
                            "object X: TStreamThing\r\nend\r\nrest"}) {
        QBuffer In;
        In.setData(QByteArray(Bad));
        In.open(QIODevice::ReadOnly);
        EXPECT_THROW(ReadStreamText(In), EFilerError) << Bad;
    }
}

// A corrupt length or a cut-off stream must end in an error, never in a read
// past the end or an allocation of what the length claims.
TEST_F(ComponentStreamTest, MutatedBinaryStreamsFailCleanly)
{
    auto Root = RichTree();
    const QByteArray Good = Binary(Root.get());
    std::mt19937 Random(29);
    for (int Case = 0; Case < 3000; ++Case) {
        QByteArray Bytes = Good;
        const int Edits = 1 + static_cast<int>(Random() % 4);
        for (int E = 0; E < Edits; ++E) {
            const int At = static_cast<int>(Random() % static_cast<unsigned>(Bytes.size()));
            switch (Random() % 3) {
            case 0: Bytes[At] = static_cast<char>(Random()); break;
            case 1: Bytes.truncate(At); break;
            default: Bytes.insert(At, static_cast<char>(Random())); break;
            }
            if (Bytes.isEmpty())
                break;
        }
        QBuffer In;
        In.setData(Bytes);
        In.open(QIODevice::ReadOnly);
        TStreamThing Target;
        try {
            TComponentReader().ReadRootComponent(In, &Target);
        } catch (const Exception&) {
        }
        EXPECT_FALSE(Target.IsLoading());
    }
}

TEST_F(ComponentStreamTest, SubObjectsAndCollectionsFollowTheirStoredMethods)
{
    TLazyThing Thing;
    static_cast<TStreamItem*>(Thing.Things()->Add())->SetCaption(QStringLiteral("kept"));
    const QString Plain = Text(&Thing);
    EXPECT_FALSE(Plain.contains(QLatin1String("Things"))) << Plain.toStdString();
    EXPECT_FALSE(Plain.contains(QLatin1String("Extra"))) << Plain.toStdString();
    EXPECT_FALSE(Thing.HasExtra()); // not made by the writer
    Thing.StoreThings = true;
    Thing.Extra()->SetColor(5);
    const QString Stored = Text(&Thing);
    EXPECT_TRUE(Stored.contains(QLatin1String("Extra.Color = 5"))) << Stored.toStdString();
    EXPECT_TRUE(Stored.contains(QLatin1String("kept"))) << Stored.toStdString();
}

} // namespace
} // namespace lp

#include "ComponentStream_test.moc"
