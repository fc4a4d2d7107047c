#include "chart/canvas/PlotRichText.h"

#include "chart/canvas/PlotCanvas.h"
#include "platform/base/Numeric.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/DrawingLimits.h"

#include <QtCore/QBuffer>

#include <cstdint>
#include <optional>
#include <utility>

namespace lp {

namespace {

// Text in a font named "symbol" shows the Greek letters that font's code
// points stand for: Latin letters map to their Greek counterparts (r to rho).
QString SymbolFontText(const QString& Text)
{
    static const char16_t lower[] = u"\u03B1\u03B2\u03C7\u03B4\u03B5\u03C6\u03B3\u03B7\u03B9\u03D5\u03BA\u03BB\u03BC"
                                    u"\u03BD\u03BF\u03C0\u03B8\u03C1\u03C3\u03C4\u03C5\u03D6\u03C9\u03BE\u03C8\u03B6";
    static const char16_t upper[] = u"\u0391\u0392\u03A7\u0394\u0395\u03A6\u0393\u0397\u0399\u03D1\u039A\u039B\u039C"
                                    u"\u039D\u039F\u03A0\u0398\u03A1\u03A3\u03A4\u03A5\u03C2\u03A9\u039E\u03A8\u0396";
    QString result = Text;
    for (QChar& ch : result) {
        const char16_t c = ch.unicode();
        if (c >= u'a' && c <= u'z')
            ch = QChar(lower[c - u'a']);
        else if (c >= u'A' && c <= u'Z')
            ch = QChar(upper[c - u'A']);
    }
    return result;
}


// --- Message texts -----------------------------------------------------------------------------

const char* const MsgMissingClose = "Missing > at ";
const char* const MsgUnknownFontField = "Unknown field in FONT: ";
const char* const MsgUnknownFontWeight = "Unknown field in FONT WEIGHT=";
const char* const MsgNotInteger = "'%s' is not a valid integer value";
const char* const MsgNotColor = "'%s' is not a valid colour";
const char* const MsgUnboundCanvas = "Rich text needs a canvas bound to a device";

// The rule drawn by <HR>: its colour and length in pixels.
constexpr TColor RuleColor = 0x808080;
constexpr int RuleLength = 100;
// The largest font size, in points, that tags may set.
constexpr int MaxRichTextFontSize = 1000;
// The side of the placeholder of a picture without WIDTH or HEIGHT.
constexpr int PlaceholderSide = 40;

const QString CRLF = QStringLiteral("\r\n");

// --- Process-wide state --------------------------------------------------------------------------

QStringList& StyleTags()
{
    static QStringList stack;
    return stack;
}

QStringList& FontTags()
{
    static QStringList stack;
    return stack;
}

THtmlPictureFactory& PictureFactory()
{
    static THtmlPictureFactory factory;
    return factory;
}

THtmlPictureLoader& PictureLoader()
{
    static THtmlPictureLoader loader;
    return loader;
}

// Removes and returns the last item; the empty text when there is none.
QString Pop(QStringList& Stack)
{
    if (Stack.isEmpty())
        return {};
    return Stack.takeLast();
}

// --- Conversions -------------------------------------------------------------------------------

// A whole text as a 32-bit integer: an optional sign, then decimal digits,
// or "$" / "0x" followed by hexadecimal digits. EConvertError otherwise.
int StrToInt(const QString& Text)
{
    const auto fail = [&]() -> int {
        RaiseConvertError(MsgNotInteger, {Text.toStdString()});
    };
    int i = 0;
    bool negative = false;
    if (i < Text.size() && (Text[i] == u'+' || Text[i] == u'-')) {
        negative = Text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < Text.size() && Text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < Text.size() && Text[i] == u'0' && (Text[i + 1] == u'x' || Text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= Text.size())
        return fail();
    int64_t value = 0;
    for (; i < Text.size(); ++i) {
        const char16_t c = Text[i].unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return fail();
        value = value * base + digit;
        // Hexadecimal texts may spell the full 32 bits (colours such as $FFFFFFFF).
        if (value > (base == 16 ? int64_t{0xFFFFFFFF} : int64_t{0x80000000}))
            return fail();
    }
    if (negative)
        value = -value;
    if (base == 16 && !negative && value > INT32_MAX)
        value -= int64_t{1} << 32;
    if (value < INT32_MIN || value > INT32_MAX)
        return fail();
    return static_cast<int>(value);
}

// --- Attribute lists -----------------------------------------------------------------------------

struct TAttribute {
    QString Name;  // trimmed, as written
    QString Value; // trimmed, one leading and one trailing double quote removed
};

// Reads "name=value name=value ...": one attribute per "="; a value runs to
// the last blank before the next "=" (or to the end for the last one). A
// value with no blank before the next name is empty, and that name then
// starts right after the "=".
std::vector<TAttribute> ReadAttributes(const QString& Text)
{
    std::vector<qsizetype> equals;
    for (qsizetype i = 0; i < Text.size(); ++i)
        if (Text[i] == u'=')
            equals.push_back(i);
    std::vector<TAttribute> result;
    qsizetype nameStart = 0;
    for (size_t k = 0; k < equals.size(); ++k) {
        TAttribute attribute;
        attribute.Name = Text.mid(nameStart, equals[k] - nameStart).trimmed();
        const qsizetype valueStart = equals[k] + 1;
        qsizetype valueEnd = Text.size();
        if (k + 1 < equals.size()) {
            valueEnd = valueStart;
            for (qsizetype i = equals[k + 1] - 1; i >= valueStart; --i)
                if (Text[i] == u' ') {
                    valueEnd = i;
                    break;
                }
        }
        QString value = Text.mid(valueStart, valueEnd - valueStart).trimmed();
        if (value.startsWith(u'"'))
            value.remove(0, 1);
        if (value.endsWith(u'"'))
            value.chop(1);
        attribute.Value = value;
        result.push_back(std::move(attribute));
        nameStart = valueEnd;
    }
    return result;
}

int32_t Add(int32_t A, int64_t B)
{
    return CheckedInt32(int64_t{A} + B);
}

// --- The renderer ------------------------------------------------------------------------------

class TRichTextRenderer {
public:
    TRichTextRenderer(TPlotCanvas& Canvas, int X, int Y, bool Draw)
        : FCanvas(Canvas), FX(X), FY(Y), FX0(X), FDraw(Draw)
    {
        if (!Canvas.ReferenceCanvas() || !Canvas.Font())
            throw EInvalidOperation(MsgUnboundCanvas);
        FLineHeight = Canvas.FontHeight();
        FSavedFont.SetPixelsPerInch(Font().PixelsPerInch());
        FSavedFont.Assign(&Font());
    }

    // Sets the canvas font back whichever way the call ends, so a failed
    // text does not leave its tags' font on the canvas for later drawing.
    ~TRichTextRenderer() { Font().Assign(&FSavedFont); }

    TRichTextRenderer(const TRichTextRenderer&) = delete;
    TRichTextRenderer& operator=(const TRichTextRenderer&) = delete;

    void Render(QString Text)
    {
        for (;;) {
            const QString token = NextToken(Text);
            if (token.isEmpty())
                break;
            HandleToken(token);
        }
    }

    TSize Size() const { return FSize; }

private:
    TFont& Font() const { return *FCanvas.Font(); }

    // One tokenizer step on the remaining text.
    static QString NextToken(QString& Text)
    {
        const qsizetype p = Text.indexOf(u'<');
        if (p < 0) {
            QString token = Text;
            Text.clear();
            return token;
        }
        if (p == 0) {
            Text.remove(0, 1);
            const qsizetype q = Text.indexOf(u'>');
            if (q < 0)
                throw HtmlParserException(std::string(MsgMissingClose) + Text.toStdString());
            QString token = u'<' + Text.left(q + 1);
            Text.remove(0, q + 1);
            return token;
        }
        QString token = Text.left(p);
        Text.remove(0, p);
        return token;
    }

    void LineBreak()
    {
        FX = FX0;
        FLineHeight = 0;
        FY = Add(FY, FCanvas.FontHeight());
    }

    void HandleToken(QString Token)
    {
        // Every carriage return + line feed at the start is a line break.
        while (Token.startsWith(CRLF)) {
            FY = Add(FY, FCanvas.FontHeight());
            FX = FX0;
            FLineHeight = 0;
            Token.remove(0, 2);
        }
        if (Token.isEmpty())
            return;
        FFontTag = false;
        if (HandleTag(Token))
            FLastTagWasFont = FFontTag;
        else
            TextRun(Token);
    }

    // Steps 3 - 16 of the tag interpreter; false when Token is a text run.
    bool HandleTag(const QString& Token)
    {
        const QString U = Token.toUpper();
        TFont& font = Font();
        if (U == u"<BR>" || U == u"<P>") {
            LineBreak();
        } else if (U == u"<BIG>") {
            SaveFont();
            SetFontSize(int64_t{font.Size()} + 2);
        } else if (U == u"<SMALL>") {
            SaveFont();
            SetFontSize(int64_t{font.Size()} - 2);
        } else if (U == u"<SUB>") {
            SaveFont();
            SetFontSize(font.Size() / 2);
            FY = Add(FY, FCanvas.FontHeight());
        } else if (U == u"</SUB>") {
            RestoreFont();
            FY = Add(FY, -int64_t{FCanvas.FontHeight()});
        } else if (U == u"<SUPER>") {
            SaveFont();
            SetFontSize(font.Size() / 2);
            FY = Add(FY, -int64_t{FCanvas.FontHeight() / 2});
        } else if (U == u"</SUPER>") {
            RestoreFont();
            FY = Add(FY, FCanvas.FontHeight() / 2);
        } else if (U.size() == 4 && U.startsWith(u"<H") && U[2] >= u'1' && U[2] <= u'6' && U[3] == u'>') {
            static const int sizes[] = {48, 36, 24, 18, 12, 8};
            SaveFont();
            SetFontSize(sizes[U[2].unicode() - u'1']);
        } else if (U == u"<PRE>") {
            SaveFont();
            ApplyFontTag(QStringLiteral("<FONT NAME=\"COURIER NEW\">"));
        } else if (U == u"</PRE>") {
            RestoreFont();
        } else if (U == u"<CENTER>") {
            FCenter = true;
        } else if (U == u"</CENTER>") {
            FCenter = false;
        } else if (U == u"<B>" || U == u"<BOLD>" || U == u"<STRONG>") {
            AddStyle(TFont::fsBold, U);
        } else if (U == u"<I>") {
            AddStyle(TFont::fsItalic, U);
        } else if (U == u"<U>") {
            AddStyle(TFont::fsUnderline, U);
        } else if (U == u"<STRIKE>") {
            AddStyle(TFont::fsStrikeOut, U);
        } else if (U.startsWith(u"<IMG ")) {
            Picture(Token);
        } else if (U == u"</B>" || U == u"</BOLD>" || U == u"</STRONG>") {
            font.SetStyle(font.Style() & ~TFont::TFontStyles(TFont::fsBold));
        } else if (U == u"</I>") {
            font.SetStyle(font.Style() & ~TFont::TFontStyles(TFont::fsItalic));
        } else if (U == u"</U>") {
            font.SetStyle(font.Style() & ~TFont::TFontStyles(TFont::fsUnderline));
        } else if (U == u"</STRIKE>") {
            font.SetStyle(font.Style() & ~TFont::TFontStyles(TFont::fsStrikeOut));
        } else if (U.startsWith(u"</FONT")) {
            RestoreFont();
        } else if (U.startsWith(u"<FONT ")) {
            SaveFont();
            ApplyFontTag(U);
        } else if (U == u"</>") {
            if (FLastTagWasFont) {
                RestoreFont();
            } else {
                // "<I>" on the stack makes this "</I>"; an empty stack gives
                // "</", which is drawn as text.
                const QString tag = Pop(StyleTags());
                HandleToken(QStringLiteral("</") + tag.mid(1));
            }
        } else if (U == u"<HR>") {
            FX = FX0;
            if (FDraw) {
                TPen& pen = *FCanvas.Pen();
                pen.SetStyle(TPen::psSolid);
                pen.SetWidth(1);
                pen.SetColor(RuleColor);
                FCanvas.HorizLine(FX, Add(FX, RuleLength), FY);
            }
            FY = Add(FY, FCanvas.FontHeight());
        } else {
            return false;
        }
        return true;
    }

    void AddStyle(TFont::TFontStyle Style, const QString& U)
    {
        Font().SetStyle(Font().Style() | Style);
        StyleTags().append(U);
    }

    // The FONT tag that brings the current canvas font back.
    QString FontTagText() const
    {
        const TFont& font = Font();
        QStringList styles;
        if (font.Style().testFlag(TFont::fsBold))
            styles << QStringLiteral("BOLD");
        if (font.Style().testFlag(TFont::fsItalic))
            styles << QStringLiteral("ITALIC");
        if (font.Style().testFlag(TFont::fsUnderline))
            styles << QStringLiteral("UNDERLINE");
        if (font.Style().testFlag(TFont::fsStrikeOut))
            styles << QStringLiteral("STRIKE");
        const QString style = styles.isEmpty() ? QStringLiteral("NORMAL") : styles.join(QStringLiteral(", "));
        return QStringLiteral("<FONT size=%1 name=%2 color=%3 weight=%4>")
            .arg(font.Size())
            .arg(font.Name())
            .arg(static_cast<int32_t>(font.Color()))
            .arg(style);
    }

    void SaveFont()
    {
        FontTags().append(FontTagText());
        FFontTag = true;
    }

    void RestoreFont()
    {
        const QString tag = Pop(FontTags());
        if (!tag.isEmpty())
            ApplyFontTag(tag);
    }

    // Every size a tag gives or reaches (relative sizes, halving, repeated
    // <BIG>) lands in 1 .. MaxRichTextFontSize points.
    void SetFontSize(int64_t Points)
    {
        Font().SetSize(ClampToRange(Points, 1, MaxRichTextFontSize));
    }

    void ApplyFontTag(const QString& Tag)
    {
        TFont& font = Font();
        const QString body = Tag.mid(6, Tag.size() - 7);
        for (const TAttribute& attribute : ReadAttributes(body)) {
            const QString name = attribute.Name.toUpper();
            const QString& value = attribute.Value;
            if (name == u"NAME" || name == u"FAMILY") {
                font.SetName(value);
            } else if (name == u"SIZE") {
                if (value.startsWith(u'+') || value.startsWith(u'-'))
                    SetFontSize(int64_t{font.Size()} + StrToInt(value));
                else
                    SetFontSize(StrToInt(value));
            } else if (name == u"COLOR") {
                font.SetColor(HtmlColorOf(value));
            } else if (name == u"WEIGHT") {
                const QString upper = value.toUpper();
                TFont::TFontStyles styles;
                for (const QString& word : upper.split(QStringLiteral(", "))) {
                    if (word == u"BOLD")
                        styles |= TFont::fsBold;
                    else if (word == u"ITALIC")
                        styles |= TFont::fsItalic;
                    else if (word == u"UNDERLINE")
                        styles |= TFont::fsUnderline;
                    else if (word == u"STRIKE")
                        styles |= TFont::fsStrikeOut;
                    else if (word != u"NORMAL")
                        throw Exception(std::string(MsgUnknownFontWeight) + upper.toStdString());
                }
                font.SetStyle(styles);
            } else {
                throw Exception(std::string(MsgUnknownFontField) + name.toStdString());
            }
        }
    }

    void TextRun(QString Text)
    {
        Text.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        Text.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
        Text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        Text.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
        if (FCanvas.Font()->Name().trimmed().compare(QLatin1String("symbol"), Qt::CaseInsensitive) == 0)
            Text = SymbolFontText(Text);
        bool lineEnd = false;
        if (Text.endsWith(CRLF)) {
            Text.chop(2);
            lineEnd = true;
        }
        if (!Text.isEmpty()) {
            const int w = FCanvas.TextWidth(Text);
            if (FCenter) {
                const TRect bounds = FCanvas.Bounds();
                FX = Add((int64_t{bounds.Left} + bounds.Right) / 2, -int64_t{w / 2});
            }
            const int h = FCanvas.TextHeight(Text);
            if (FLineHeight == 0) {
                FLineHeight = FCanvas.FontHeight();
                FY = Add(FY, FLineHeight);
            } else if (FLineHeight > h) {
                FY = Add(FY, int64_t{FLineHeight} - h - 1);
            }
            if (FDraw)
                FCanvas.TextOut(FX, FY, Text);
            FX = Add(FX, w);
            FSize.cx = std::max(FSize.cx, FX);
            FLineHeight = std::max(FLineHeight, h);
            FSize.cy = std::max(FSize.cy, FLineHeight);
        }
        if (lineEnd) {
            FLineHeight = 0;
            FX = FX0;
        }
    }

    void Picture(const QString& Token)
    {
        QString text = Token.mid(5);
        if (text.startsWith(CRLF))
            text.remove(0, 2);
        if (text.endsWith(u'>'))
            text.chop(1);
        int width = 0;
        int height = 0;
        QString source;
        for (const TAttribute& attribute : ReadAttributes(text)) {
            const QString name = attribute.Name.toUpper();
            // Picture sizes are pixel lengths: kept within their range, so
            // the pen position moves by a bounded amount.
            if (name == u"WIDTH")
                width = ClampPixelLength(StrToInt(attribute.Value));
            else if (name == u"HEIGHT")
                height = ClampPixelLength(StrToInt(attribute.Value));
            else if (name == u"SRC")
                source = attribute.Value;
        }
        if (source.isEmpty())
            return;
        source = source.trimmed();
        if (source.startsWith(u'"'))
            source.remove(0, 1);
        if (source.endsWith(u'"'))
            source.chop(1);

        std::unique_ptr<TGraphic> picture;
        if (PictureFactory())
            picture = PictureFactory()(Extension(source));
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        const int loaded = picture && PictureLoader() ? PictureLoader()(source, stream) : 1;
        if (!picture || loaded != 0 || stream.size() == 0) {
            Placeholder(width, height);
            return;
        }
        stream.seek(0);
        try {
            picture->LoadFromStream(stream);
        } catch (const EInvalidGraphic&) {
            // Bytes that are not a picture of the factory's kind draw as a
            // missing picture rather than ending the whole text.
            Placeholder(width, height);
            return;
        }
        if (width == 0)
            width = picture->Width();
        if (height == 0)
            height = picture->Height();
        if (FDraw) {
            if (picture->Width() == width && picture->Height() == height)
                FCanvas.Draw(FX, FY, picture.get());
            else
                FCanvas.StretchDraw(TRect{FX, FY, Add(FX, width), Add(FY, height)}, picture.get());
        }
        FX = Add(FX, width);
        FY = Add(FY, height);
    }

    // The upper-case extension of a source with its dot; empty when none.
    static QString Extension(const QString& Source)
    {
        const qsizetype dot = Source.lastIndexOf(u'.');
        const qsizetype separator = std::max(Source.lastIndexOf(u'/'), Source.lastIndexOf(u'\\'));
        if (dot < 0 || dot < separator)
            return {};
        return Source.mid(dot).toUpper();
    }

    void Placeholder(int W, int H)
    {
        if (!FDraw)
            return;
        if (W == 0)
            W = PlaceholderSide;
        if (H == 0)
            H = PlaceholderSide;
        TPen& pen = *FCanvas.Pen();
        pen.SetStyle(TPen::psSolid);
        pen.SetColor(clRed);
        pen.SetWidth(1);
        TBrush& brush = *FCanvas.Brush();
        brush.SetStyle(TBrush::bsSolid);
        brush.SetColor(clWhite);
        const int right = Add(FX, W);
        const int bottom = Add(FY, H);
        FCanvas.Rectangle(FX, FY, right, bottom);
        FCanvas.Line(FX, FY, right - 1, bottom - 1);
        FCanvas.Line(FX, bottom - 1, right - 1, FY);
    }

    TPlotCanvas& FCanvas;
    int32_t FX;
    int32_t FY;
    int32_t FX0;
    int32_t FLineHeight = 0;
    bool FCenter = false;
    bool FFontTag = false;
    bool FLastTagWasFont = false;
    TSize FSize;
    bool FDraw;
    TFont FSavedFont;
};

} // namespace

// --- Entry points --------------------------------------------------------------------------------

void HtmlTextOut(TPlotCanvas& Canvas, int X, int Y, const QString& Text)
{
    // Each call starts with empty stacks: unbalanced tags of an earlier
    // text must not style this one.
    ClearHtmlStacks();
    TRichTextRenderer renderer(Canvas, X, Y, true);
    renderer.Render(Text);
}

TSize HtmlTextExtent(TPlotCanvas& Canvas, const QString& Text)
{
    ClearHtmlStacks();
    TRichTextRenderer renderer(Canvas, 0, 0, false);
    renderer.Render(Text);
    return renderer.Size();
}

TColor HtmlColorOf(const QString& Value)
{
    const QString text = Value.trimmed();
    static const std::pair<const char*, TColor> names[] = {
        {"BLACK", 0x000000}, {"RED", 0x0000FF},   {"BLUE", 0xFF0000}, {"YELLOW", 0x00FFFF},
        {"WHITE", 0xFFFFFF}, {"GREEN", 0x008000}, {"LIME", 0x00FF00},
    };
    for (const auto& [name, color] : names)
        if (text.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return color;
    if (text.startsWith(u'#')) {
        // Each pair must be two hexadecimal digits: a short pair raises the
        // integer parser's error for what is there.
        const auto pair = [&](qsizetype At) {
            const QString digits = text.mid(At, 2);
            const int value = StrToInt(u'$' + digits);
            if (digits.size() != 2 || digits[0] == u'+' || digits[0] == u'-')
                RaiseConvertError(MsgNotInteger, {digits.toStdString()});
            return value;
        };
        const int red = pair(1);
        const int green = pair(3);
        const int blue = pair(5);
        return red | (green << 8) | (blue << 16);
    }
    if (const auto color = ColorOfIdent(text))
        return *color;
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        RaiseConvertError(MsgNotColor, {text.toStdString()});
    }
}

void SetHtmlPictureFactory(THtmlPictureFactory Factory)
{
    PictureFactory() = std::move(Factory);
}

void SetHtmlPictureLoader(THtmlPictureLoader Loader)
{
    PictureLoader() = std::move(Loader);
}

const QStringList& HtmlStyleTagStack()
{
    return StyleTags();
}

const QStringList& HtmlFontStack()
{
    return FontTags();
}

void ClearHtmlStacks()
{
    StyleTags().clear();
    FontTags().clear();
}

} // namespace lp
