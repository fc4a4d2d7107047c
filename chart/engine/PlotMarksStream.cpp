// Series marks: the "Items" stored property.
//
// Each value starts with a type byte:
//   0 end of a list          1 list of strings, ended by 0
//   2 Int8   3 Int16   4 Int32 (little-endian, two's complement)
//   6 string: length byte + Latin-1 bytes
//   7 identifier (enumeration value name): length byte + Latin-1 bytes
//   8 False  9 True
//   11 set: identifiers, each a length byte + bytes, ended by an empty one
//   20 UTF-8 string: Int32 byte length + bytes
//   21 double: 8 bytes, IEEE-754, little-endian
// A property is its name (length byte + Latin-1, dotted for a sub-object's
// property) followed by its value; a list of properties ends with an empty
// name (a 0 byte). The binary component streaming is meant to write its
// property values the same way; when it arrives, this encoder should give
// way to its writer and reader.

#include "chart/engine/PlotMarks.h"

#include "chart/canvas/PlotPatterns.h"
#include "chart/engine/PlotEngine.h"
#include "platform/core/PropertyInfo.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Picture.h"

#include <QtCore/QMetaEnum>
#include <QtCore/QMetaProperty>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <variant>

namespace lp {

namespace {

enum TValueTag : quint8 {
    vtEnd = 0,
    vtList = 1,
    vtInt8 = 2,
    vtInt16 = 3,
    vtInt32 = 4,
    vtString = 6,
    vtIdent = 7,
    vtFalse = 8,
    vtTrue = 9,
    vtSet = 11,
    vtUtf8String = 20,
    vtDouble = 21,
};

bool IsObjectPointer(const QMetaProperty& Property)
{
    return Property.metaType().flags().testFlag(QMetaType::PointerToQObject);
}

QObject* ReadObject(const QMetaProperty& Property, const QObject& Owner)
{
    const QVariant Value = Property.read(&Owner);
    return Value.isValid() ? *static_cast<QObject* const*>(Value.constData()) : nullptr;
}

// Pictures are not part of this form (brush images of single marks).
bool IsSkippedObject(const QMetaProperty& Property)
{
    const QMetaObject* Meta = Property.metaType().metaObject();
    return Meta && Meta->inherits(&TPicture::staticMetaObject);
}

// --- Writing ---

void WriteShortText(TBinaryWriter& W, const QByteArray& Text)
{
    if (Text.size() > 255)
        throw EWriteError("Mark item property name or identifier too long: " + Text.toStdString());
    W.WriteByte(static_cast<quint8>(Text.size()));
    W.WriteBytes(Text);
}

void WriteInteger(TBinaryWriter& W, qint64 Value)
{
    if (Value >= -128 && Value <= 127) {
        W.WriteByte(vtInt8);
        W.WriteByte(static_cast<quint8>(static_cast<qint8>(Value)));
    } else if (Value >= -32768 && Value <= 32767) {
        const auto V = static_cast<quint16>(static_cast<qint16>(Value));
        W.WriteByte(vtInt16);
        W.WriteByte(static_cast<quint8>(V & 0xFF));
        W.WriteByte(static_cast<quint8>(V >> 8));
    } else {
        W.WriteByte(vtInt32);
        W.WriteInt32(static_cast<qint32>(Value));
    }
}

void WriteString(TBinaryWriter& W, const QString& Text)
{
    bool Plain = Text.size() <= 255;
    for (const QChar C : Text)
        Plain = Plain && C.unicode() < 128;
    if (Plain) {
        W.WriteByte(vtString);
        WriteShortText(W, Text.toLatin1());
    } else {
        const QByteArray Bytes = Text.toUtf8();
        W.WriteByte(vtUtf8String);
        W.WriteInt32(static_cast<qint32>(Bytes.size()));
        W.WriteBytes(Bytes);
    }
}

// Writes Value in the property's form; false (nothing written) for a type
// this form does not hold.
bool CanWriteValue(const QMetaProperty& Property)
{
    if (Property.isEnumType())
        return true;
    switch (Property.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::QString:
        return true;
    default:
        return false;
    }
}

void WriteValue(TBinaryWriter& W, const QMetaProperty& Property, const QVariant& Value)
{
    if (Property.isEnumType()) {
        const QMetaEnum Enum = Property.enumerator();
        const int Number = Value.toInt();
        if (Enum.isFlag()) {
            W.WriteByte(vtSet);
            for (int I = 0; I < Enum.keyCount(); ++I)
                if (Enum.value(I) != 0 && (Number & Enum.value(I)) == Enum.value(I))
                    WriteShortText(W, Enum.key(I));
            W.WriteByte(0);
        } else if (const char* Key = Enum.valueToKey(Number)) {
            W.WriteByte(vtIdent);
            WriteShortText(W, Key);
        } else {
            // Values without a name (brush styles of the pattern bitmaps).
            WriteInteger(W, Number);
        }
        return;
    }
    switch (Property.metaType().id()) {
    case QMetaType::Bool:
        W.WriteByte(Value.toBool() ? vtTrue : vtFalse);
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        W.WriteByte(vtDouble);
        W.WriteDouble(Value.toDouble());
        break;
    case QMetaType::QString:
        WriteString(W, Value.toString());
        break;
    default:
        WriteInteger(W, Value.toLongLong());
        break;
    }
}

// Whether this form stores Property of Object. It writes a brush style
// without a name as its number, so a brush's pattern style is stored here
// as its Style (the component stream stores it as the brush's "Pattern").
bool IsStoredInItems(const QObject& Object, const QMetaProperty& Property)
{
    const auto* Brush = qobject_cast<const TChartBrush*>(&Object);
    if (Brush && qstrcmp(Property.name(), "Style") == 0 && !Brush->IsStyleStored())
        return true;
    return IsPropertyStored(&Object, Property.name());
}

// The stored published properties of Object, names prefixed; ForcedName
// is written even when it holds its default.
void WriteProperties(TBinaryWriter& W, const QObject& Object, const QByteArray& Prefix, const char* ForcedName)
{
    for (const QMetaProperty& Property : PublishedProperties(&Object)) {
        const QByteArray Name = Prefix + Property.name();
        if (IsObjectPointer(Property)) {
            if (IsSkippedObject(Property) || !IsPropertyStored(&Object, Property.name()))
                continue;
            QObject* Sub = ReadObject(Property, Object);
            if (!Sub)
                continue;
            if (const auto* Lines = qobject_cast<const TStringList*>(Sub)) {
                if (Lines->Count() == 0)
                    continue;
                WriteShortText(W, Name);
                W.WriteByte(vtList);
                for (int I = 0; I < Lines->Count(); ++I)
                    WriteString(W, Lines->Strings(I));
                W.WriteByte(vtEnd);
            } else {
                WriteProperties(W, *Sub, Name + '.', nullptr);
            }
            continue;
        }
        if (!Property.isWritable() || !CanWriteValue(Property))
            continue;
        const bool Forced = ForcedName && qstrcmp(Property.name(), ForcedName) == 0;
        if (!Forced && !IsStoredInItems(Object, Property))
            continue;
        WriteShortText(W, Name);
        WriteValue(W, Property, Property.read(&Object));
    }
}

// --- Reading ---

struct TIdent {
    QByteArray Name;
};
struct TSet {
    QList<QByteArray> Names;
};
using TValue = std::variant<qint64, bool, double, QString, TIdent, TSet, QStringList>;

QByteArray ReadShortText(TBinaryReader& R)
{
    return R.ReadBytes(R.ReadByte());
}

// The text that follows a string type byte.
QString ReadText(TBinaryReader& R, quint8 Tag)
{
    if (Tag == vtString)
        return QString::fromLatin1(ReadShortText(R));
    const qint32 Length = R.ReadInt32();
    if (Length < 0)
        throw EReadError("Invalid mark items: negative text length");
    return QString::fromUtf8(R.ReadBytes(Length));
}

TValue ReadValue(TBinaryReader& R)
{
    const quint8 Tag = R.ReadByte();
    switch (Tag) {
    case vtInt8:
        return static_cast<qint64>(static_cast<qint8>(R.ReadByte()));
    case vtInt16: {
        const quint16 Low = R.ReadByte();
        const quint16 High = R.ReadByte();
        return static_cast<qint64>(static_cast<qint16>(static_cast<quint16>(Low | (High << 8))));
    }
    case vtInt32:
        return static_cast<qint64>(R.ReadInt32());
    case vtString:
    case vtUtf8String:
        return ReadText(R, Tag);
    case vtIdent:
        return TIdent{ReadShortText(R)};
    case vtFalse:
        return false;
    case vtTrue:
        return true;
    case vtDouble:
        return R.ReadDouble();
    case vtSet: {
        TSet Set;
        for (QByteArray Name = ReadShortText(R); !Name.isEmpty(); Name = ReadShortText(R))
            Set.Names << Name;
        return Set;
    }
    case vtList: {
        // Only texts: a list never nests.
        QStringList Lines;
        for (quint8 ItemTag = R.ReadByte(); ItemTag != vtEnd; ItemTag = R.ReadByte()) {
            if (ItemTag != vtString && ItemTag != vtUtf8String)
                throw EReadError("Invalid mark items: a text list holds a value that is not text");
            Lines << ReadText(R, ItemTag);
        }
        return Lines;
    }
    default:
        throw EReadError("Invalid mark items: unknown value type " + std::to_string(Tag));
    }
}

[[noreturn]] void RaiseBadValue(const QByteArray& Name)
{
    throw EReadError("Invalid mark items: bad value for property " + Name.toStdString());
}

// Whether Value is one of Enum's values (for a set: a combination of
// them; for a brush style also one of the unnamed pattern styles); if so
// Number takes it. An enumeration property holds nothing else.
bool IsEnumValue(const QMetaEnum& Enum, qint64 Value, int& Number)
{
    if (Value < INT32_MIN || Value > INT32_MAX)
        return false;
    Number = static_cast<int>(Value);
    if (qstrcmp(Enum.enumName(), "TBrushStyle") == 0)
        return Number >= 0 && Number < TBrush::bsDiagCross + 1 + PatternBitmapCount;
    if (!Enum.isFlag())
        return Enum.valueToKey(Number) != nullptr;
    int Known = 0;
    for (int I = 0; I < Enum.keyCount(); ++I)
        Known |= Enum.value(I);
    return (Number & ~Known) == 0;
}

// A real given for an integer property, rounded; NaN, infinities and
// values beyond 64 bits are refused (the int range is checked after).
qint64 WholeNumberOf(double Value, const QByteArray& Name)
{
    if (!std::isfinite(Value) || std::fabs(Value) > 9.0e18)
        RaiseBadValue(Name);
    return std::llround(Value);
}

// Sets the property at the dotted Name below Root to Value; names this
// form does not know are passed over.
void ApplyValue(QObject& Root, const QByteArray& Name, const TValue& Value)
{
    const QList<QByteArray> Parts = Name.split('.');
    QObject* Target = &Root;
    for (int I = 0; I + 1 < Parts.size(); ++I) {
        const int Index = Target->metaObject()->indexOfProperty(Parts[I].constData());
        if (Index < 0)
            return;
        const QMetaProperty Property = Target->metaObject()->property(Index);
        if (!IsObjectPointer(Property) || IsSkippedObject(Property))
            return;
        Target = ReadObject(Property, *Target);
        if (!Target)
            return;
    }
    const int Index = Target->metaObject()->indexOfProperty(Parts.last().constData());
    if (Index < 0)
        return;
    const QMetaProperty Property = Target->metaObject()->property(Index);
    if (IsObjectPointer(Property)) {
        auto* Lines = qobject_cast<TStringList*>(ReadObject(Property, *Target));
        if (!Lines)
            return;
        if (!std::holds_alternative<QStringList>(Value))
            RaiseBadValue(Name);
        Lines->BeginUpdate();
        Lines->Clear();
        for (const QString& Line : std::get<QStringList>(Value))
            Lines->Add(Line);
        Lines->EndUpdate();
        return;
    }
    QVariant Converted;
    if (Property.isEnumType()) {
        const QMetaEnum Enum = Property.enumerator();
        bool Ok = true;
        int Number = 0;
        if (const auto* Ident = std::get_if<TIdent>(&Value); Ident && !Enum.isFlag())
            Number = Enum.keyToValue(Ident->Name.constData(), &Ok);
        else if (const auto* Set = std::get_if<TSet>(&Value); Set && Enum.isFlag())
            for (const QByteArray& Key : Set->Names) {
                bool KeyOk = false;
                Number |= Enum.keyToValue(Key.constData(), &KeyOk);
                Ok = Ok && KeyOk;
            }
        else if (const auto* Integer = std::get_if<qint64>(&Value))
            Ok = IsEnumValue(Enum, *Integer, Number);
        else
            Ok = false;
        if (!Ok)
            RaiseBadValue(Name);
        Converted = QVariant(Number);
    } else if (const auto* Integer = std::get_if<qint64>(&Value)) {
        Converted = QVariant(*Integer);
    } else if (const auto* Flag = std::get_if<bool>(&Value)) {
        Converted = QVariant(*Flag);
    } else if (const auto* Real = std::get_if<double>(&Value)) {
        Converted = QVariant(*Real);
    } else if (const auto* Text = std::get_if<QString>(&Value)) {
        Converted = QVariant(*Text);
    } else {
        RaiseBadValue(Name);
    }
    // Only a value of the property's own kind is taken (no text for a
    // number, no number for a flag).
    const int Kind = Property.isEnumType() ? QMetaType::Int : Property.metaType().id();
    const bool NumberTarget = Kind == QMetaType::Int || Kind == QMetaType::UInt || Kind == QMetaType::Short ||
                              Kind == QMetaType::UShort || Kind == QMetaType::Double || Kind == QMetaType::Float;
    const int Given = Converted.typeId();
    const bool NumberGiven = Given == QMetaType::LongLong || Given == QMetaType::Double || Given == QMetaType::Int;
    if ((NumberTarget && !NumberGiven) || (Kind == QMetaType::Bool && Given != QMetaType::Bool) ||
        (Kind == QMetaType::QString && Given != QMetaType::QString))
        RaiseBadValue(Name);
    if (Kind == QMetaType::Int && Given == QMetaType::Double)
        Converted = QVariant(WholeNumberOf(Converted.toDouble(), Name));
    if (Kind == QMetaType::Int && Converted.typeId() == QMetaType::LongLong) {
        const qint64 V = Converted.toLongLong();
        if (V < INT32_MIN || V > INT32_MAX)
            RaiseBadValue(Name);
    }
    if (!Converted.convert(Property.metaType()) || !Property.write(Target, Converted))
        RaiseBadValue(Name);
}

} // namespace

void TSeriesMarks::WriteItems(QIODevice& Stream) const
{
    TBinaryWriter W(Stream);
    W.WriteInt32(FItems->Count());
    for (int I = 0; I < FItems->Count(); ++I) {
        W.WriteByte(vtList);
        if (const TMarksItem* Item = FItems->Find(I))
            WriteProperties(W, *Item, QByteArray(), "Color");
        W.WriteByte(vtEnd);
    }
}

void TSeriesMarks::ReadItems(QIODevice& Stream)
{
    TBinaryReader R(Stream);
    const qint32 Count = R.ReadInt32();
    if (Count < 0)
        throw EReadError("Invalid mark items: negative count " + std::to_string(Count));
    // Each entry takes at least its two list markers.
    if (!Stream.isSequential() && static_cast<qint64>(Count) * 2 > Stream.bytesAvailable())
        throw EReadError("Invalid mark items: the block is shorter than its count");
    std::vector<std::unique_ptr<TMarksItem>> Read;
    for (qint32 I = 0; I < Count; ++I) {
        if (R.ReadByte() != vtList)
            throw EReadError("Invalid mark items: list start expected at entry " + std::to_string(I));
        std::unique_ptr<TMarksItem> Item;
        for (QByteArray Name = ReadShortText(R); !Name.isEmpty(); Name = ReadShortText(R)) {
            if (!Item)
                Item = std::make_unique<TMarksItem>();
            const TValue Value = ReadValue(R);
            try {
                ApplyValue(*Item, Name, Value);
            } catch (const EReadError&) {
                throw;
            } catch (const Exception& E) {
                // A setter refused the value (a transparency beyond 100).
                throw EReadError("Invalid mark items: property " + Name.toStdString() + ": " + E.Message());
            }
        }
        Read.push_back(std::move(Item));
    }
    FItems->Replace(std::move(Read));
    FItems->SetLoadedFromStream(Count > 0);
    RepaintSeries();
}

} // namespace lp
