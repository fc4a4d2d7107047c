#pragma once
// Component streaming: a tree of components with their stored properties,
// in a binary form and an equivalent text form.
//
//   component ──TComponentWriter──> TStreamComponent ──WriteStreamBinary──> "TPF0" bytes
//                                          │  ^                           └─WriteStreamText──> "object" text
//   component <──TComponentReader── TStreamComponent <──ReadStreamBinary / ReadStreamText
//
// A stream is first parsed whole into a TStreamComponent tree (every length
// checked against the bytes left, nesting depth limited), then applied to
// the components, so a corrupt stream fails before anything is created.
//
// Binary form: "TPF0", then a component: class name, object name (short
// strings: one length byte and UTF-8 bytes), properties as name and tagged
// value ending in a zero byte, children as components ending in a zero
// byte. Integers, doubles and lengths are little-endian.
//
// Text form:
//   object Name: TClass          ("object TClass" when the name is empty)
//     Pen.Color = 255
//     Items = <
//       item
//         X = 1
//       end>
//     Data = {
//       0A0B0C}
//     object Child: TOther
//     end
//   end
//
// What is written: published properties (Q_PROPERTY) that are stored
// (platform/core/PropertyInfo.h; a sub-object or collection whose stored
// method says no is not read at all), enumerations by name, sets as name lists,
// persistent sub-objects as dotted names, collections as item lists,
// components referred to by name (resolved after the whole tree is read),
// and the custom properties of DefineProperties.

#include "platform/core/Component.h"
#include "platform/core/Streams.h"

#include <QtCore/QByteArray>
#include <QtCore/QIODevice>
#include <QtCore/QStringList>

#include <functional>
#include <utility>
#include <vector>

namespace lp {

// A stream that is not in the component form, or a property that cannot be
// read. (EReadError "Stream read error" is raised for a stream that ends
// too early.)
class EFilerError : public Exception {
public:
    using Exception::Exception;
};

enum TValueType : quint8 {
    vaNull = 0, // end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaDouble = 5,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaNil = 13,
    vaCollection = 14,
    vaInt64 = 19,
    vaUTF8String = 20,
};

struct TStreamValue;
using TStreamProperty = std::pair<QString, TStreamValue>;
using TStreamProperties = std::vector<TStreamProperty>;

// One property value as it stands in a stream.
struct TStreamValue {
    TValueType Type = vaNull;
    qint64 Int = 0;                        // vaInt8 .. vaInt64
    double Real = 0;                       // vaDouble
    QString Text;                          // vaIdent, vaUTF8String
    QStringList Names;                     // vaSet
    QByteArray Bytes;                      // vaBinary
    std::vector<TStreamValue> List;        // vaList
    std::vector<TStreamProperties> Items;  // vaCollection

    // Declared here and defaulted in the source, where the property pair is
    // complete: implicit members would need it complete inside this struct.
    TStreamValue();
    TStreamValue(const TStreamValue&);
    TStreamValue(TStreamValue&&) noexcept;
    TStreamValue& operator=(const TStreamValue&);
    TStreamValue& operator=(TStreamValue&&) noexcept;
    ~TStreamValue();

    static TStreamValue Integer(qint64 Value);
    static TStreamValue Boolean(bool Value);
    static TStreamValue Ident(const QString& Value);
    static TStreamValue String(const QString& Value);
    bool IsInteger() const { return Type == vaInt8 || Type == vaInt16 || Type == vaInt32 || Type == vaInt64; }
};

// One component as it stands in a stream.
struct TStreamComponent {
    QString ClassName;
    QString Name;
    TStreamProperties Properties;
    std::vector<TStreamComponent> Children;
};

// The nesting the readers accept (components, lists, collections).
constexpr int MaxStreamDepth = 32;

// Binary form, starting with the signature; ReadStreamBinary raises
// EFilerError "Invalid stream format" or EReadError.
void WriteStreamBinary(const TStreamComponent& Root, QIODevice& Stream);
TStreamComponent ReadStreamBinary(QIODevice& Stream);
// Text form; ReadStreamText raises EFilerError "Line N: <what>".
void WriteStreamText(const TStreamComponent& Root, QIODevice& Stream);
TStreamComponent ReadStreamText(QIODevice& Stream);

// Conversions between the two forms, from the current positions.
void ObjectBinaryToText(QIODevice& Input, QIODevice& Output);
void ObjectTextToBinary(QIODevice& Input, QIODevice& Output);

// Makes the stream tree of a component and its children. Root is the
// component names are relative to (the writer's root).
class TComponentWriter {
public:
    explicit TComponentWriter(TComponent* Root) : FRoot(Root) {}
    TStreamComponent WriteComponent(TComponent* Instance);
    // The component in binary form, signature first.
    void WriteDescendent(QIODevice& Stream, TComponent* Instance);

private:
    void WriteProperties(QObject* Instance, const QString& Prefix, TStreamProperties& Out, int Depth);
    void WriteDefinedProperties(TPersistent* Instance, const QString& Prefix, TStreamProperties& Out);

    TComponent* FRoot;
};

// Reads a stream tree into an existing root component (which takes the
// stream's root name when there is one): its properties, then
// its children, created by class name (platform/core/ClassRegistry.h),
// owned by the root and given their parent through SetParentComponent.
// References are resolved after the whole tree is read, then every read
// component hears Loaded().
//
// A property or child that cannot be read goes to Error() (a child that
// cannot be created to ChildNotCreated()); when that answers true it is
// skipped and reading goes on, otherwise the error is raised. When reading
// fails, the children it created are destroyed again.
class TComponentReader {
public:
    virtual ~TComponentReader() = default;
    void ReadRootComponent(const TStreamComponent& Stream, TComponent* Root);
    // From the binary form, signature first.
    void ReadRootComponent(QIODevice& Stream, TComponent* Root);

protected:
    // The error hook: true skips what failed. The default answers false.
    virtual bool Error(const QString& Message);
    // The hook for a child that cannot be created ("Error reading TFoo:
    // Class TFoo not found"): true skips the child with all it holds. The
    // default asks Error.
    virtual bool ChildNotCreated(const QString& Message);
    // Asked for a stored event-handler name ("OnClick = Chart1Click": an
    // identifier given to a name starting with "On" that is no property):
    // true accepts it and the event stays unassigned, false reports
    // "Method <name> not found" through Error. The default answers false.
    virtual bool FindMethod(QObject* Instance, const QString& EventName, const QString& MethodName);
    // Runs once the references are resolved, before Loaded, over every
    // component read: a reader links there what its components hold by
    // name beyond published references, each link through Guard.
    virtual void ResolveNamedLinks(const std::vector<TComponent*>& Read) { (void)Read; }

    using THook = bool (TComponentReader::*)(const QString& Message);
    // Runs Action; an Exception is reported as "Error reading <What>:
    // <message>" to Hook, and raised as EFilerError unless Hook says skip.
    void Guard(const QString& What, const std::function<void()>& Action, THook Hook = &TComponentReader::Error);
    // The component of the tree read named Name (ignoring case), or nullptr.
    TComponent* FindReference(const QString& Name) const;

private:
    struct TFixup {
        QObject* Instance;
        int PropertyIndex;
        QString Target;
    };

    void ReadComponent(const TStreamComponent& Stream, TComponent* Instance);
    void ReadChild(const TStreamComponent& Stream, TComponent* Parent);
    void ReadProperties(QObject* Instance, const TStreamProperties& Properties);
    void ReadProperty(QObject* Instance, const QString& Path, const TStreamValue& Value);
    void ReadCollection(QObject* Collection, const TStreamValue& Value);
    void ResolveFixups();

    TComponent* FRoot = nullptr;
    std::vector<TComponent*> FCreated;
    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
};

} // namespace lp
