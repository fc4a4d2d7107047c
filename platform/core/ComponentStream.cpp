#include "platform/core/ComponentStream.h"

#include "platform/core/ClassRegistry.h"
#include "platform/core/Collections.h"
#include "platform/core/PropertyInfo.h"

#include <QtCore/QBuffer>
#include <QtCore/QMetaEnum>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lp {

namespace {

const QByteArray Signature("TPF0");

[[noreturn]] void RaiseFormat()
{
    throw EFilerError("Invalid stream format");
}

// --- Binary form -----------------------------------------------------------------------------------

void WriteShortString(TBinaryWriter& W, const QString& S)
{
    const QByteArray Bytes = S.toUtf8();
    if (Bytes.size() > 255)
        throw EFilerError("Name too long to stream: " + S.left(40).toStdString());
    W.WriteByte(static_cast<quint8>(Bytes.size()));
    W.WriteBytes(Bytes);
}

QString ReadShortString(TBinaryReader& R)
{
    return QString::fromUtf8(R.ReadBytes(R.ReadByte()));
}

void WriteLengthBytes(TBinaryWriter& W, const QByteArray& Bytes)
{
    if (Bytes.size() > std::numeric_limits<qint32>::max())
        throw EFilerError("Value too large to stream");
    W.WriteInt32(static_cast<qint32>(Bytes.size()));
    W.WriteBytes(Bytes);
}

void WriteValue(TBinaryWriter& W, const TStreamValue& V);

void WriteProperties(TBinaryWriter& W, const TStreamProperties& Properties)
{
    for (const TStreamProperty& P : Properties) {
        WriteShortString(W, P.first);
        WriteValue(W, P.second);
    }
    W.WriteByte(vaNull);
}

void WriteInteger(TBinaryWriter& W, qint64 Value)
{
    if (Value >= -128 && Value <= 127) {
        W.WriteByte(vaInt8);
        W.WriteByte(static_cast<quint8>(Value));
    } else if (Value >= std::numeric_limits<qint32>::min() && Value <= std::numeric_limits<qint32>::max()) {
        W.WriteByte(vaInt32);
        W.WriteInt32(static_cast<qint32>(Value));
    } else {
        W.WriteByte(vaInt64);
        W.WriteInt32(static_cast<qint32>(static_cast<quint64>(Value) & 0xFFFFFFFFu));
        W.WriteInt32(static_cast<qint32>(static_cast<quint64>(Value) >> 32));
    }
}

void WriteValue(TBinaryWriter& W, const TStreamValue& V)
{
    switch (V.Type) {
    case vaInt8:
    case vaInt16:
    case vaInt32:
    case vaInt64:
        WriteInteger(W, V.Int);
        return;
    case vaDouble:
        W.WriteByte(vaDouble);
        W.WriteDouble(V.Real);
        return;
    case vaIdent:
        W.WriteByte(vaIdent);
        WriteShortString(W, V.Text);
        return;
    case vaUTF8String:
        W.WriteByte(vaUTF8String);
        WriteLengthBytes(W, V.Text.toUtf8());
        return;
    case vaFalse:
    case vaTrue:
    case vaNil:
    case vaNull:
        W.WriteByte(V.Type);
        return;
    case vaBinary:
        W.WriteByte(vaBinary);
        WriteLengthBytes(W, V.Bytes);
        return;
    case vaSet:
        W.WriteByte(vaSet);
        for (const QString& Name : V.Names)
            WriteShortString(W, Name);
        W.WriteByte(0);
        return;
    case vaList:
        W.WriteByte(vaList);
        for (const TStreamValue& Item : V.List)
            WriteValue(W, Item);
        W.WriteByte(vaNull);
        return;
    case vaCollection:
        W.WriteByte(vaCollection);
        for (const TStreamProperties& Item : V.Items) {
            W.WriteByte(vaList);
            WriteProperties(W, Item);
        }
        W.WriteByte(vaNull);
        return;
    }
    RaiseFormat();
}

void WriteComponentBinary(TBinaryWriter& W, const TStreamComponent& C)
{
    WriteShortString(W, C.ClassName);
    WriteShortString(W, C.Name);
    WriteProperties(W, C.Properties);
    for (const TStreamComponent& Child : C.Children)
        WriteComponentBinary(W, Child);
    W.WriteByte(0);
}

// Reads with the nesting depth checked, so a hostile stream cannot exhaust
// the call stack.
class TBinaryParser {
public:
    explicit TBinaryParser(QIODevice& Stream) : FDevice(Stream), R(Stream) {}

    TStreamComponent ReadComponent(int Depth)
    {
        if (Depth > MaxStreamDepth)
            RaiseFormat();
        TStreamComponent C;
        C.ClassName = ReadShortString(R);
        if (C.ClassName.isEmpty())
            RaiseFormat();
        C.Name = ReadShortString(R);
        C.Properties = ReadProperties(Depth);
        while (quint8 Next = PeekByte()) {
            (void)Next;
            C.Children.push_back(ReadComponent(Depth + 1));
        }
        R.ReadByte();
        return C;
    }

private:
    quint8 PeekByte()
    {
        char Byte = 0;
        if (FDevice.peek(&Byte, 1) != 1)
            throw EReadError("Stream read error");
        return static_cast<quint8>(Byte);
    }

    TStreamProperties ReadProperties(int Depth)
    {
        TStreamProperties Result;
        while (PeekByte() != 0) {
            QString Name = ReadShortString(R);
            Result.emplace_back(std::move(Name), ReadValue(Depth));
        }
        R.ReadByte();
        return Result;
    }

    TStreamValue ReadValue(int Depth)
    {
        if (Depth > MaxStreamDepth)
            RaiseFormat();
        TStreamValue V;
        V.Type = static_cast<TValueType>(R.ReadByte());
        switch (V.Type) {
        case vaInt8:
            V.Int = static_cast<qint8>(R.ReadByte());
            break;
        case vaInt16: {
            const quint8 Low = R.ReadByte();
            V.Int = static_cast<qint16>(static_cast<quint16>(Low | (R.ReadByte() << 8)));
            break;
        }
        case vaInt32:
            V.Int = R.ReadInt32();
            break;
        case vaInt64: {
            const quint64 Low = static_cast<quint32>(R.ReadInt32());
            V.Int = static_cast<qint64>(Low | (static_cast<quint64>(static_cast<quint32>(R.ReadInt32())) << 32));
            break;
        }
        case vaDouble:
            V.Real = R.ReadDouble();
            break;
        case vaIdent:
            V.Text = ReadShortString(R);
            break;
        case vaUTF8String:
            V.Text = QString::fromUtf8(R.ReadBytes(R.ReadInt32()));
            break;
        case vaBinary:
            V.Bytes = R.ReadBytes(R.ReadInt32());
            break;
        case vaFalse:
        case vaTrue:
        case vaNil:
            break;
        case vaSet:
            while (PeekByte() != 0)
                V.Names << ReadShortString(R);
            R.ReadByte();
            break;
        case vaList:
            while (PeekByte() != vaNull)
                V.List.push_back(ReadValue(Depth + 1));
            R.ReadByte();
            break;
        case vaCollection:
            while (PeekByte() != vaNull) {
                if (R.ReadByte() != vaList)
                    RaiseFormat();
                V.Items.push_back(ReadProperties(Depth + 1));
            }
            R.ReadByte();
            break;
        default:
            RaiseFormat();
        }
        return V;
    }

    QIODevice& FDevice;

public:
    TBinaryReader R;
};

// --- Values of properties ------------------------------------------------------------------------

QObject* PointedObject(const QVariant& V)
{
    if (!(V.metaType().flags() & QMetaType::PointerToQObject))
        return nullptr;
    return *static_cast<QObject* const*>(V.constData());
}

bool IsComponentType(const QMetaProperty& P)
{
    const QMetaObject* Meta = P.metaType().metaObject();
    return Meta && Meta->inherits(&TComponent::staticMetaObject);
}

TStreamValue VariantToValue(const QVariant& V)
{
    switch (V.typeId()) {
    case QMetaType::Bool:
        return TStreamValue::Boolean(V.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return TStreamValue::Integer(V.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        TStreamValue R;
        R.Type = vaDouble;
        R.Real = V.toDouble();
        return R;
    }
    case QMetaType::QStringList: {
        TStreamValue R;
        R.Type = vaList;
        for (const QString& S : V.toStringList())
            R.List.push_back(TStreamValue::String(S));
        return R;
    }
    case QMetaType::QVariantList: {
        TStreamValue R;
        R.Type = vaList;
        for (const QVariant& Item : V.toList())
            R.List.push_back(VariantToValue(Item));
        return R;
    }
    default:
        return TStreamValue::String(V.toString());
    }
}

TStreamValue PropertyToValue(const QMetaProperty& P, const QVariant& V)
{
    if (P.isFlagType()) {
        TStreamValue R;
        R.Type = vaSet;
        const QByteArray Keys = P.enumerator().valueToKeys(V.toInt());
        if (!Keys.isEmpty())
            R.Names = QString::fromLatin1(Keys).split(QLatin1Char('|'));
        return R;
    }
    if (P.isEnumType()) {
        if (const char* Key = P.enumerator().valueToKey(V.toInt()))
            return TStreamValue::Ident(QString::fromLatin1(Key));
        return TStreamValue::Integer(V.toInt());
    }
    return VariantToValue(V);
}

[[noreturn]] void RaiseInvalidValue(const QString& Name)
{
    throw EFilerError("Invalid property value: " + Name.toStdString());
}

double ValueToDouble(const TStreamValue& V, const QString& Name)
{
    if (V.Type == vaDouble)
        return V.Real;
    if (V.IsInteger())
        return static_cast<double>(V.Int);
    RaiseInvalidValue(Name);
}

qint64 ValueToInteger(const TStreamValue& V, const QString& Name, qint64 Low, qint64 High)
{
    if (!V.IsInteger() || V.Int < Low || V.Int > High)
        RaiseInvalidValue(Name);
    return V.Int;
}

// The stream value as a variant for a defined (custom) property.
QVariant ValueToVariant(const TStreamValue& V, const QString& Name)
{
    if (V.IsInteger())
        return V.Int >= std::numeric_limits<int>::min() && V.Int <= std::numeric_limits<int>::max()
                   ? QVariant(static_cast<int>(V.Int))
                   : QVariant(V.Int);
    switch (V.Type) {
    case vaDouble:
        return V.Real;
    case vaTrue:
    case vaFalse:
        return V.Type == vaTrue;
    case vaIdent:
    case vaUTF8String:
        return V.Text;
    case vaList: {
        // A list of texts is a string list; any other list (four margins)
        // keeps its items' own types.
        const bool AllText = std::all_of(V.List.begin(), V.List.end(), [](const TStreamValue& Item) {
            return Item.Type == vaUTF8String || Item.Type == vaIdent;
        });
        if (AllText) {
            QStringList Strings;
            for (const TStreamValue& Item : V.List)
                Strings << Item.Text;
            return Strings;
        }
        QVariantList Items;
        for (const TStreamValue& Item : V.List) {
            if (Item.Type == vaList)
                RaiseInvalidValue(Name);
            Items << ValueToVariant(Item, Name);
        }
        return Items;
    }
    default:
        RaiseInvalidValue(Name);
    }
}

QVariant PlainPropertyVariant(const QMetaProperty& P, const TStreamValue& V, const QString& Name)
{
    if (P.isFlagType()) {
        if (V.Type != vaSet)
            RaiseInvalidValue(Name);
        int Bits = 0;
        for (const QString& Key : V.Names) {
            bool Ok = false;
            const int Bit = P.enumerator().keyToValue(Key.toLatin1().constData(), &Ok);
            if (!Ok)
                RaiseInvalidValue(Name);
            Bits |= Bit;
        }
        return Bits;
    }
    if (P.isEnumType()) {
        if (V.Type == vaIdent) {
            bool Ok = false;
            const int Value = P.enumerator().keyToValue(V.Text.toLatin1().constData(), &Ok);
            if (!Ok)
                RaiseInvalidValue(Name);
            return Value;
        }
        return static_cast<int>(
            ValueToInteger(V, Name, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    switch (P.typeId()) {
    case QMetaType::Bool:
        if (V.Type != vaTrue && V.Type != vaFalse)
            RaiseInvalidValue(Name);
        return V.Type == vaTrue;
    case QMetaType::Int:
        return static_cast<int>(
            ValueToInteger(V, Name, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    case QMetaType::UInt:
        return static_cast<uint>(ValueToInteger(V, Name, 0, std::numeric_limits<uint>::max()));
    case QMetaType::LongLong:
        return ValueToInteger(V, Name, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    case QMetaType::Double:
    case QMetaType::Float:
        return ValueToDouble(V, Name);
    case QMetaType::QString:
        if (V.Type != vaUTF8String && V.Type != vaIdent)
            RaiseInvalidValue(Name);
        return V.Text;
    default:
        return ValueToVariant(V, Name);
    }
}

QMetaProperty FindPublished(const QObject* Instance, const QString& Name)
{
    for (const QMetaProperty& P : PublishedProperties(Instance))
        if (QString::fromLatin1(P.name()).compare(Name, Qt::CaseInsensitive) == 0)
            return P;
    return {};
}

} // namespace

// --- TStreamValue ----------------------------------------------------------------------------------

TStreamValue::TStreamValue() = default;
TStreamValue::TStreamValue(const TStreamValue&) = default;
TStreamValue::TStreamValue(TStreamValue&&) noexcept = default;
TStreamValue& TStreamValue::operator=(const TStreamValue&) = default;
TStreamValue& TStreamValue::operator=(TStreamValue&&) noexcept = default;
TStreamValue::~TStreamValue() = default;

TStreamValue TStreamValue::Integer(qint64 Value)
{
    TStreamValue V;
    V.Type = Value >= -128 && Value <= 127                                                   ? vaInt8
             : Value >= std::numeric_limits<qint32>::min() && Value <= std::numeric_limits<qint32>::max() ? vaInt32
                                                                                             : vaInt64;
    V.Int = Value;
    return V;
}

TStreamValue TStreamValue::Boolean(bool Value)
{
    TStreamValue V;
    V.Type = Value ? vaTrue : vaFalse;
    return V;
}

TStreamValue TStreamValue::Ident(const QString& Value)
{
    TStreamValue V;
    V.Type = vaIdent;
    V.Text = Value;
    return V;
}

TStreamValue TStreamValue::String(const QString& Value)
{
    TStreamValue V;
    V.Type = vaUTF8String;
    V.Text = Value;
    return V;
}

// --- Binary form -----------------------------------------------------------------------------------

void WriteStreamBinary(const TStreamComponent& Root, QIODevice& Stream)
{
    TBinaryWriter W(Stream);
    W.WriteBytes(Signature);
    WriteComponentBinary(W, Root);
}

TStreamComponent ReadStreamBinary(QIODevice& Stream)
{
    TBinaryParser Parser(Stream);
    if (Parser.R.ReadBytes(Signature.size()) != Signature)
        RaiseFormat();
    return Parser.ReadComponent(0);
}

void ObjectBinaryToText(QIODevice& Input, QIODevice& Output)
{
    WriteStreamText(ReadStreamBinary(Input), Output);
}

void ObjectTextToBinary(QIODevice& Input, QIODevice& Output)
{
    WriteStreamBinary(ReadStreamText(Input), Output);
}

// --- TComponentWriter ------------------------------------------------------------------------------

TStreamComponent TComponentWriter::WriteComponent(TComponent* Instance)
{
    TStreamComponent Result;
    Result.ClassName = Instance->ClassName();
    Result.Name = Instance->Name();
    Instance->SetWriting(true);
    try {
        WriteProperties(Instance, QString(), Result.Properties, 0);
        Instance->GetChildren([&](TComponent* Child) { Result.Children.push_back(WriteComponent(Child)); }, FRoot);
    } catch (...) {
        Instance->SetWriting(false);
        throw;
    }
    Instance->SetWriting(false);
    return Result;
}

void TComponentWriter::WriteDescendent(QIODevice& Stream, TComponent* Instance)
{
    WriteStreamBinary(WriteComponent(Instance), Stream);
}

void TComponentWriter::WriteProperties(QObject* Instance, const QString& Prefix, TStreamProperties& Out, int Depth)
{
    if (Depth > MaxStreamDepth)
        throw EFilerError("Sub-objects nested too deeply");
    const bool IsComponent = qobject_cast<TComponent*>(Instance) != nullptr;
    for (const QMetaProperty& P : PublishedProperties(Instance)) {
        const QString Name = QString::fromLatin1(P.name());
        if ((IsComponent && Name == QLatin1String("Name")) || !P.isReadable() || !P.isStored())
            continue;
        // A sub-object or collection the class does not store is not even
        // read: reading may create it (a pen made on first use).
        if ((P.metaType().flags() & QMetaType::PointerToQObject) && !IsComponentType(P)
            && !IsPropertyStored(Instance, P.name()))
            continue;
        const QVariant V = P.read(Instance);
        if (V.metaType().flags() & QMetaType::PointerToQObject) {
            QObject* Target = PointedObject(V);
            if (IsComponentType(P)) {
                auto* Referred = qobject_cast<TComponent*>(Target);
                if (Referred && !Referred->Name().isEmpty() && IsPropertyStored(Instance, P.name()))
                    Out.emplace_back(Prefix + Name, TStreamValue::Ident(Referred->Name()));
            } else if (auto* Collection = qobject_cast<TCollection*>(Target)) {
                if (Collection->Count() == 0)
                    continue;
                TStreamValue Items;
                Items.Type = vaCollection;
                for (int I = 0; I < Collection->Count(); ++I) {
                    TStreamProperties Item;
                    WriteProperties(Collection->Items(I), QString(), Item, Depth + 1);
                    Items.Items.push_back(std::move(Item));
                }
                Out.emplace_back(Prefix + Name, std::move(Items));
            } else if (Target && Target != Instance) {
                WriteProperties(Target, Prefix + Name + QLatin1Char('.'), Out, Depth + 1);
            }
            continue;
        }
        if (P.isWritable() && IsPropertyStored(Instance, P.name()))
            Out.emplace_back(Prefix + Name, PropertyToValue(P, V));
    }
    if (auto* Persistent = qobject_cast<TPersistent*>(Instance))
        WriteDefinedProperties(Persistent, Prefix, Out);
}

void TComponentWriter::WriteDefinedProperties(TPersistent* Instance, const QString& Prefix, TStreamProperties& Out)
{
    TPropertyDefinitions Definitions;
    Instance->DefineProperties(Definitions);
    for (const TPropertyDefinitions::TDefinition& D : Definitions.Items) {
        if (!D.HasData)
            continue;
        if (D.Binary && D.WriteStream) {
            QBuffer Buffer;
            Buffer.open(QIODevice::WriteOnly);
            D.WriteStream(Buffer);
            TStreamValue V;
            V.Type = vaBinary;
            V.Bytes = Buffer.data();
            Out.emplace_back(Prefix + D.Name, std::move(V));
        } else if (!D.Binary && D.WriteValue) {
            Out.emplace_back(Prefix + D.Name, VariantToValue(D.WriteValue()));
        }
    }
}

// --- TComponentReader ------------------------------------------------------------------------------

bool TComponentReader::Error(const QString& Message)
{
    (void)Message;
    return false;
}

bool TComponentReader::ChildNotCreated(const QString& Message)
{
    return Error(Message);
}

bool TComponentReader::FindMethod(QObject* Instance, const QString& EventName, const QString& MethodName)
{
    (void)Instance;
    (void)EventName;
    (void)MethodName;
    return false;
}

void TComponentReader::ReadRootComponent(QIODevice& Stream, TComponent* Root)
{
    ReadRootComponent(ReadStreamBinary(Stream), Root);
}

void TComponentReader::ReadRootComponent(const TStreamComponent& Stream, TComponent* Root)
{
    FRoot = Root;
    FCreated.clear();
    FLoaded.clear();
    FFixups.clear();
    try {
        if (!Stream.Name.isEmpty())
            Guard(Stream.Name, [&] { Root->SetName(Stream.Name); });
        ReadComponent(Stream, Root);
        ResolveFixups();
        ResolveNamedLinks(FLoaded);
    } catch (...) {
        for (auto It = FCreated.rbegin(); It != FCreated.rend(); ++It)
            delete *It;
        Root->SetReading(false);
        Root->Loaded();
        FCreated.clear();
        FLoaded.clear();
        FFixups.clear();
        throw;
    }
    for (TComponent* C : FLoaded) {
        C->SetReading(false);
        C->Loaded();
    }
    FCreated.clear();
    FLoaded.clear();
}

void TComponentReader::Guard(const QString& What, const std::function<void()>& Action, THook Hook)
{
    try {
        Action();
    } catch (const Exception& E) {
        const QString Message = QStringLiteral("Error reading %1: %2").arg(What, QString::fromUtf8(E.Message()));
        if (!(this->*Hook)(Message))
            throw EFilerError(Message.toStdString());
    }
}

void TComponentReader::ReadComponent(const TStreamComponent& Stream, TComponent* Instance)
{
    Instance->Loading();
    Instance->SetReading(true);
    FLoaded.push_back(Instance);
    ReadProperties(Instance, Stream.Properties);
    for (const TStreamComponent& Child : Stream.Children)
        ReadChild(Child, Instance);
}

void TComponentReader::ReadChild(const TStreamComponent& Stream, TComponent* Parent)
{
    TComponent* Child = nullptr;
    Guard(Stream.ClassName, [&] {
        const TRegisteredClass& Class = FindClass(Stream.ClassName);
        if (!Class.IsComponent())
            throw EClassNotFound("Class " + Stream.ClassName.toStdString() + " is not a component");
        Child = CreateComponent(Stream.ClassName, FRoot);
    }, &TComponentReader::ChildNotCreated);
    if (!Child)
        return;
    FCreated.push_back(Child);
    Guard(Stream.Name, [&] { Child->SetName(Stream.Name); });
    Child->SetParentComponent(Parent);
    ReadComponent(Stream, Child);
}

void TComponentReader::ReadProperties(QObject* Instance, const TStreamProperties& Properties)
{
    for (const TStreamProperty& P : Properties)
        Guard(P.first, [&] { ReadProperty(Instance, P.first, P.second); });
}

void TComponentReader::ReadProperty(QObject* Instance, const QString& Path, const TStreamValue& Value)
{
    const QStringList Parts = Path.split(QLatin1Char('.'));
    QObject* Target = Instance;
    for (int I = 0; I + 1 < Parts.size(); ++I) {
        const QMetaProperty P = FindPublished(Target, Parts[I]);
        QObject* Next = P.isValid() && !IsComponentType(P) ? PointedObject(P.read(Target)) : nullptr;
        if (!Next)
            throw EFilerError("Property " + Path.toStdString() + " does not exist");
        Target = Next;
    }
    const QString& Name = Parts.last();
    const QMetaProperty P = FindPublished(Target, Name);
    if (P.isValid() && !(qobject_cast<TComponent*>(Target) && Name.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)) {
        if (P.metaType().flags() & QMetaType::PointerToQObject) {
            if (IsComponentType(P)) {
                if (Value.Type == vaNil)
                    return;
                if (Value.Type != vaIdent)
                    RaiseInvalidValue(Path);
                FFixups.push_back({Target, P.propertyIndex(), Value.Text});
            } else if (QObject* Collection = qobject_cast<TCollection*>(PointedObject(P.read(Target)))) {
                ReadCollection(Collection, Value);
            } else {
                RaiseInvalidValue(Path);
            }
            return;
        }
        if (!P.isWritable() || !P.write(Target, PlainPropertyVariant(P, Value, Path)))
            RaiseInvalidValue(Path);
        return;
    }
    auto* Persistent = qobject_cast<TPersistent*>(Target);
    TPropertyDefinitions Definitions;
    if (Persistent)
        Persistent->DefineProperties(Definitions);
    const TPropertyDefinitions::TDefinition* D = Definitions.Find(Name);
    if (!D && Value.Type == vaIdent && Name.startsWith(QLatin1String("On"))) {
        if (!FindMethod(Target, Name, Value.Text))
            throw EFilerError("Method " + Value.Text.toStdString() + " not found");
        return;
    }
    if (!D)
        throw EFilerError("Property " + Path.toStdString() + " does not exist");
    if (D->Binary) {
        if (Value.Type != vaBinary || !D->ReadStream)
            RaiseInvalidValue(Path);
        QByteArray Bytes = Value.Bytes;
        QBuffer Buffer(&Bytes);
        Buffer.open(QIODevice::ReadOnly);
        D->ReadStream(Buffer);
    } else {
        if (!D->ReadValue)
            RaiseInvalidValue(Path);
        D->ReadValue(ValueToVariant(Value, Path));
    }
}

void TComponentReader::ReadCollection(QObject* Object, const TStreamValue& Value)
{
    auto* Collection = static_cast<TCollection*>(Object);
    if (Value.Type != vaCollection && Value.Type != vaNil)
        throw EFilerError("Invalid property value");
    Collection->BeginUpdate();
    try {
        Collection->Clear();
        for (const TStreamProperties& Item : Value.Items)
            ReadProperties(Collection->Add(), Item);
    } catch (...) {
        Collection->EndUpdate();
        throw;
    }
    Collection->EndUpdate();
}

TComponent* TComponentReader::FindReference(const QString& Name) const
{
    std::vector<TComponent*> Pending{FRoot};
    while (!Pending.empty()) {
        TComponent* C = Pending.back();
        Pending.pop_back();
        if (C->Name().compare(Name, Qt::CaseInsensitive) == 0)
            return C;
        for (int I = C->ComponentCount() - 1; I >= 0; --I)
            Pending.push_back(C->Components(I));
    }
    return nullptr;
}

void TComponentReader::ResolveFixups()
{
    const std::vector<TFixup> Fixups = std::move(FFixups);
    FFixups.clear();
    for (const TFixup& F : Fixups) {
        const QMetaProperty P = F.Instance->metaObject()->property(F.PropertyIndex);
        Guard(QString::fromLatin1(P.name()), [&] {
            TComponent* Target = FindReference(F.Target);
            const QMetaObject* Wanted = P.metaType().metaObject();
            if (!Target || !Target->metaObject()->inherits(Wanted))
                throw EFilerError("Invalid reference " + F.Target.toStdString());
            QObject* Pointer = Target;
            if (!P.write(F.Instance, QVariant(P.metaType(), &Pointer)))
                throw EFilerError("Invalid reference " + F.Target.toStdString());
        });
    }
}

} // namespace lp
