// The text form of component streams (declared in ComponentStream.h).

#include "platform/core/ComponentStream.h"

#include <QtCore/QByteArray>

#include <cctype>
#include <cmath>
#include <limits>

namespace lp {

namespace {

// --- Writing -------------------------------------------------------------------------------------

class TTextWriter {
public:
    explicit TTextWriter(QIODevice& Stream) : FStream(Stream) {}

    void WriteComponent(const TStreamComponent& C, int Indent)
    {
        Line(Indent, "object " + (C.Name.isEmpty() ? QByteArray() : C.Name.toUtf8() + ": ") + C.ClassName.toUtf8());
        WriteProperties(C.Properties, Indent + 1);
        for (const TStreamComponent& Child : C.Children)
            WriteComponent(Child, Indent + 1);
        Line(Indent, "end");
    }

private:
    void WriteProperties(const TStreamProperties& Properties, int Indent)
    {
        for (const TStreamProperty& P : Properties) {
            FPending = Pad(Indent) + P.first.toUtf8() + " = ";
            WriteValue(P.second, Indent);
            Flush();
        }
    }

    static QByteArray Pad(int Indent) { return QByteArray(Indent * 2, ' '); }

    void Line(int Indent, const QByteArray& Text)
    {
        FPending += Pad(Indent) + Text;
        Flush();
    }

    void Flush()
    {
        FPending += "\r\n";
        if (FStream.write(FPending) != FPending.size())
            throw EWriteError("Stream write error");
        FPending.clear();
    }

    static QByteArray Quoted(const QString& S)
    {
        QByteArray Out;
        bool InQuotes = false;
        for (const QChar Ch : S) {
            const char16_t Code = Ch.unicode();
            if (Code >= 0x20 && Code < 0x7F) {
                if (!InQuotes)
                    Out += '\'';
                InQuotes = true;
                Out += Code == '\'' ? QByteArray("''") : QByteArray(1, static_cast<char>(Code));
            } else {
                if (InQuotes)
                    Out += '\'';
                InQuotes = false;
                Out += '#' + QByteArray::number(Code);
            }
        }
        if (InQuotes || Out.isEmpty())
            Out += InQuotes ? "'" : "''";
        return Out;
    }

    static QByteArray Real(double Value)
    {
        if (std::isnan(Value))
            return "NAN";
        if (std::isinf(Value))
            return Value > 0 ? "INF" : "NEGINF";
        QByteArray Text = QByteArray::number(Value, 'g', 17);
        if (!Text.contains('.') && !Text.contains('e'))
            Text += ".0";
        return Text;
    }

    void WriteValue(const TStreamValue& V, int Indent)
    {
        switch (V.Type) {
        case vaInt8:
        case vaInt16:
        case vaInt32:
        case vaInt64:
            FPending += QByteArray::number(V.Int);
            return;
        case vaDouble:
            FPending += Real(V.Real);
            return;
        case vaIdent:
            FPending += V.Text.toUtf8();
            return;
        case vaUTF8String:
            FPending += Quoted(V.Text);
            return;
        case vaFalse:
            FPending += "False";
            return;
        case vaTrue:
            FPending += "True";
            return;
        case vaNil:
        case vaNull:
            FPending += "nil";
            return;
        case vaSet:
            FPending += '[' + V.Names.join(QStringLiteral(", ")).toUtf8() + ']';
            return;
        case vaBinary:
            FPending += '{';
            for (qsizetype At = 0; At < V.Bytes.size(); At += 32) {
                Flush();
                FPending += Pad(Indent + 1) + V.Bytes.mid(At, 32).toHex().toUpper();
            }
            FPending += '}';
            return;
        case vaList:
            FPending += '(';
            for (const TStreamValue& Item : V.List) {
                Flush();
                FPending += Pad(Indent + 1);
                WriteValue(Item, Indent + 1);
            }
            FPending += ')';
            return;
        case vaCollection:
            FPending += '<';
            for (const TStreamProperties& Item : V.Items) {
                Flush();
                FPending += Pad(Indent + 1) + "item";
                Flush();
                WriteProperties(Item, Indent + 2);
                FPending += Pad(Indent + 1) + "end";
            }
            FPending += '>';
            return;
        }
    }

    QIODevice& FStream;
    QByteArray FPending;
};

// --- Reading -------------------------------------------------------------------------------------

// A recursive-descent parser over the whole text, bounded by its length and
// by MaxStreamDepth.
class TTextParser {
public:
    explicit TTextParser(QByteArray Text) : FText(std::move(Text)) {}

    TStreamComponent ReadObject(int Depth)
    {
        if (Depth > MaxStreamDepth)
            Fail("objects nested too deeply");
        if (ReadWord().compare(QLatin1String("object"), Qt::CaseInsensitive) != 0)
            Fail("'object' expected");
        TStreamComponent C;
        const QString First = ReadWord();
        if (First.isEmpty())
            Fail("class name expected");
        if (Peek() == ':') {
            ++FAt;
            C.Name = First;
            C.ClassName = ReadWord();
            if (C.ClassName.isEmpty())
                Fail("class name expected");
        } else {
            C.ClassName = First;
        }
        for (;;) {
            SkipSpace();
            const qsizetype Start = FAt;
            const QString Word = ReadWord();
            if (Word.compare(QLatin1String("end"), Qt::CaseInsensitive) == 0)
                return C;
            if (Word.compare(QLatin1String("object"), Qt::CaseInsensitive) == 0) {
                FAt = Start;
                C.Children.push_back(ReadObject(Depth + 1));
            } else {
                C.Properties.push_back(ReadProperty(Word, Depth));
            }
        }
    }

    void ExpectEnd()
    {
        SkipSpace();
        if (FAt < FText.size())
            Fail("text after the last 'end'");
    }

private:
    [[noreturn]] void Fail(const char* What) const
    {
        const qsizetype LineNo = FText.left(FAt).count('\n') + 1;
        throw EFilerError("Line " + std::to_string(LineNo) + ": " + What);
    }

    void SkipSpace()
    {
        while (FAt < FText.size() && static_cast<unsigned char>(FText[FAt]) <= ' ')
            ++FAt;
    }

    char Peek()
    {
        SkipSpace();
        return FAt < FText.size() ? FText[FAt] : '\0';
    }

    void Expect(char Ch)
    {
        if (Peek() != Ch)
            Fail("unexpected character");
        ++FAt;
    }

    static bool IsWordChar(char Ch, bool First)
    {
        return (Ch >= 'A' && Ch <= 'Z') || (Ch >= 'a' && Ch <= 'z') || Ch == '_' ||
               (!First && ((Ch >= '0' && Ch <= '9') || Ch == '.'));
    }

    // An identifier (dotted names included); empty when none stands here.
    QString ReadWord()
    {
        SkipSpace();
        const qsizetype Start = FAt;
        while (FAt < FText.size() && IsWordChar(FText[FAt], FAt == Start))
            ++FAt;
        if (FAt == Start && FAt >= FText.size())
            Fail("unexpected end of text");
        return QString::fromUtf8(FText.mid(Start, FAt - Start));
    }

    TStreamProperty ReadProperty(const QString& Name, int Depth)
    {
        if (Name.isEmpty())
            Fail("property name expected");
        Expect('=');
        return {Name, ReadValue(Depth + 1)};
    }

    TStreamValue ReadValue(int Depth)
    {
        if (Depth > MaxStreamDepth)
            Fail("values nested too deeply");
        const char Ch = Peek();
        if (Ch == '\'' || Ch == '#')
            return TStreamValue::String(ReadString());
        if (Ch == '-' || Ch == '+' || (Ch >= '0' && Ch <= '9'))
            return ReadNumber();
        if (Ch == '[')
            return ReadSet();
        if (Ch == '{')
            return ReadBinary();
        if (Ch == '(')
            return ReadList(Depth);
        if (Ch == '<')
            return ReadCollection(Depth);
        const QString Word = ReadWord();
        if (Word.isEmpty())
            Fail("value expected");
        TStreamValue V;
        if (Word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return TStreamValue::Boolean(true);
        if (Word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return TStreamValue::Boolean(false);
        if (Word.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0) {
            V.Type = vaNil;
            return V;
        }
        if (Word == QLatin1String("NAN") || Word == QLatin1String("INF") || Word == QLatin1String("NEGINF")) {
            V.Type = vaDouble;
            V.Real = Word == QLatin1String("NAN")   ? std::numeric_limits<double>::quiet_NaN()
                     : Word == QLatin1String("INF") ? std::numeric_limits<double>::infinity()
                                                    : -std::numeric_limits<double>::infinity();
            return V;
        }
        return TStreamValue::Ident(Word);
    }

    QString ReadString()
    {
        QString Result;
        SkipSpace();
        for (;;) {
            // Quoted parts and #codes join only when they touch; "+" joins
            // across a line break.
            const char Ch = FAt < FText.size() ? FText[FAt] : '\0';
            if (Ch == '\'') {
                ++FAt;
                for (;;) {
                    if (FAt >= FText.size() || FText[FAt] == '\n')
                        Fail("unterminated string");
                    if (FText[FAt] == '\'') {
                        if (FAt + 1 < FText.size() && FText[FAt + 1] == '\'') {
                            Result += QLatin1Char('\'');
                            FAt += 2;
                            continue;
                        }
                        ++FAt;
                        break;
                    }
                    const qsizetype Start = FAt;
                    while (FAt < FText.size() && FText[FAt] != '\'' && FText[FAt] != '\n')
                        ++FAt;
                    Result += QString::fromUtf8(FText.mid(Start, FAt - Start));
                }
            } else if (Ch == '#') {
                ++FAt;
                const qsizetype Start = FAt;
                while (FAt < FText.size() && FAt - Start < 6 && FText[FAt] >= '0' && FText[FAt] <= '9')
                    ++FAt;
                bool Ok = false;
                const uint Code = FText.mid(Start, FAt - Start).toUInt(&Ok);
                if (!Ok || Code > 0xFFFF)
                    Fail("bad character code");
                Result += QChar(static_cast<char16_t>(Code));
            } else if (NextIsPlus()) {
                ++FAt;
                const char Next = Peek();
                if (Next != '\'' && Next != '#')
                    Fail("string expected");
            } else {
                return Result;
            }
        }
    }

    bool NextIsPlus()
    {
        const qsizetype Saved = FAt;
        const bool Plus = Peek() == '+';
        if (!Plus)
            FAt = Saved;
        return Plus;
    }

    TStreamValue ReadNumber()
    {
        SkipSpace();
        const qsizetype Start = FAt;
        if (FText[FAt] == '-' || FText[FAt] == '+')
            ++FAt;
        bool Real = false;
        while (FAt < FText.size()) {
            const char Ch = FText[FAt];
            if (Ch == '.' || Ch == 'e' || Ch == 'E')
                Real = true;
            else if (!((Ch >= '0' && Ch <= '9') || ((Ch == '-' || Ch == '+') && Real)))
                break;
            ++FAt;
        }
        const QByteArray Text = FText.mid(Start, FAt - Start);
        bool Ok = false;
        TStreamValue V;
        if (Real) {
            V.Type = vaDouble;
            V.Real = Text.toDouble(&Ok);
        } else {
            V = TStreamValue::Integer(Text.toLongLong(&Ok));
        }
        if (!Ok)
            Fail("bad number");
        return V;
    }

    TStreamValue ReadSet()
    {
        Expect('[');
        TStreamValue V;
        V.Type = vaSet;
        if (Peek() == ']') {
            ++FAt;
            return V;
        }
        for (;;) {
            const QString Name = ReadWord();
            if (Name.isEmpty())
                Fail("set element expected");
            V.Names << Name;
            const char Ch = Peek();
            ++FAt;
            if (Ch == ']')
                return V;
            if (Ch != ',')
                Fail("',' or ']' expected");
        }
    }

    TStreamValue ReadBinary()
    {
        Expect('{');
        const qsizetype Close = FText.indexOf('}', FAt);
        if (Close < 0)
            Fail("'}' expected");
        QByteArray Hex;
        for (qsizetype I = FAt; I < Close; ++I) {
            const char Ch = FText[I];
            if (static_cast<unsigned char>(Ch) <= ' ')
                continue;
            if (!std::isxdigit(static_cast<unsigned char>(Ch)))
                Fail("bad binary value");
            Hex += Ch;
        }
        if (Hex.size() % 2 != 0)
            Fail("odd number of hex digits");
        FAt = Close + 1;
        TStreamValue V;
        V.Type = vaBinary;
        V.Bytes = QByteArray::fromHex(Hex);
        return V;
    }

    TStreamValue ReadList(int Depth)
    {
        Expect('(');
        TStreamValue V;
        V.Type = vaList;
        while (Peek() != ')')
            V.List.push_back(ReadValue(Depth + 1));
        ++FAt;
        return V;
    }

    TStreamValue ReadCollection(int Depth)
    {
        Expect('<');
        TStreamValue V;
        V.Type = vaCollection;
        while (Peek() != '>') {
            if (ReadWord().compare(QLatin1String("item"), Qt::CaseInsensitive) != 0)
                Fail("'item' expected");
            TStreamProperties Item;
            for (;;) {
                const QString Word = ReadWord();
                if (Word.compare(QLatin1String("end"), Qt::CaseInsensitive) == 0)
                    break;
                Item.push_back(ReadProperty(Word, Depth));
            }
            V.Items.push_back(std::move(Item));
        }
        ++FAt;
        return V;
    }

    QByteArray FText;
    qsizetype FAt = 0;
};

} // namespace

void WriteStreamText(const TStreamComponent& Root, QIODevice& Stream)
{
    TTextWriter(Stream).WriteComponent(Root, 0);
}

TStreamComponent ReadStreamText(QIODevice& Stream)
{
    TTextParser Parser(Stream.readAll());
    TStreamComponent Root = Parser.ReadObject(0);
    Parser.ExpectEnd();
    return Root;
}

} // namespace lp
