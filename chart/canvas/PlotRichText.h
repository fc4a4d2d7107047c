#pragma once
// Rich text of the chart canvas: a small set of HTML-like tags and four
// character entities inside chart texts (legend items, marks, any text
// drawn through TPlotCanvas::TextOutHtml with markup allowed).
//
//   text ──tokenizer──> tags and text runs ──interpreter──> canvas font,
//   pen position, line breaks ──placer──> TPlotCanvas::TextOut
//
// Tags (case-insensitive): <BR> <P> line break; <BIG> <SMALL> size +/- 2;
// <SUB> </SUB> <SUPER> </SUPER> half size, moved down / up; <H1> .. <H6>
// fixed sizes; <PRE> </PRE> fixed-pitch font; <CENTER> </CENTER>; <B>
// <BOLD> <STRONG> <I> <U> <STRIKE> and their closing forms; <FONT name=..
// size=.. color=.. weight=..> </FONT>; "</>" closes the last font tag or
// style tag; <HR> a grey rule; <IMG src=.. width=.. height=..> a picture.
// Entities: &lt; &gt; &amp; &quot;. Unknown tags are drawn as text. Every
// font size the tags set or reach is kept within 1 .. 1000 points, and
// picture sizes within +-MaxPixelLength.
//
// Everything is drawn through the canvas interface with the canvas's current
// font, pen and brush. The canvas font is changed by the tags during a call
// and set back to what it was when the call ends, normally or by an error.
//
// Two process-wide stacks (user-interface thread only): the style-tag stack
// (the upper-case text of each opening bold, italic, underline or strike
// tag) and the font stack (one FONT tag text per saved font). Every call of
// HtmlTextOut or HtmlTextExtent starts with both empty, so unbalanced tags of
// one text never reach the next; after a call they hold what its text left.
#include "platform/base/Exception.h"
#include "platform/graphics/GraphicsTypes.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <memory>

class QBuffer;

namespace lp {

class TGraphic;
class TPlotCanvas;

// A tag without its closing ">"; the message is "Missing > at " followed by
// the rest of the text after the "<".
class HtmlParserException : public Exception {
public:
    using Exception::Exception;
};

// Draws Text with its first line's top-left at (X, Y). Errors (missing ">",
// unknown FONT attribute or weight word, a number or colour that does not
// convert, a coordinate beyond 32 bits) propagate; nothing after the
// failing token is drawn. EInvalidOperation when the canvas is not bound.
void HtmlTextOut(TPlotCanvas& Canvas, int X, int Y, const QString& Text);

// Lays Text out at (0, 0) without drawing anything: cx is the furthest X
// reached, cy the tallest line height met (the Y position is not part of
// the size). Errors as HtmlTextOut.
TSize HtmlTextExtent(TPlotCanvas& Canvas, const QString& Text);

// The colour of a FONT COLOR value: the names BLACK, RED, BLUE, YELLOW,
// WHITE, GREEN, LIME (case-insensitive, blanks around ignored); "#RRGGBB"
// (hexadecimal red, green, blue; EConvertError when a digit pair is missing
// or not hexadecimal); else a colour identifier ("clRed"), a decimal number
// or a hexadecimal one ("$FF", "0xFF"); EConvertError for anything else.
TColor HtmlColorOf(const QString& Value);

// --- Picture hooks ---
// Nothing in the system installs them; with no factory every <IMG> is drawn
// as the placeholder (a 40 x 40 white box crossed in red unless WIDTH and
// HEIGHT say otherwise).

// Upper-case file extension with its dot (".PNG") → a new empty picture of
// the right kind, or nullptr when the kind is not known.
using THtmlPictureFactory = std::function<std::unique_ptr<TGraphic>(const QString& Extension)>;
// SRC text, memory stream to fill → 0 on success, anything else on failure.
using THtmlPictureLoader = std::function<int(const QString& Source, QBuffer& Stream)>;

// Installs a hook; an empty function removes it.
void SetHtmlPictureFactory(THtmlPictureFactory Factory);
void SetHtmlPictureLoader(THtmlPictureLoader Loader);

// --- Process-wide stacks ---
// Read access for diagnostics, and a reset for a fresh start (a test, or a
// document that wants no carry-over from texts drawn before).
const QStringList& HtmlStyleTagStack();
const QStringList& HtmlFontStack();
void ClearHtmlStacks();

} // namespace lp
