#include "chart/canvas/PlotRichText.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/RecordingDC.h"

#include <gtest/gtest.h>

#include <QtCore/QBuffer>

#include <climits>
#include <vector>

namespace lp {
namespace {

// --- Fixtures ----------------------------------------------------------------------------------------

// One text drawn, with the canvas font in force when it was drawn.
struct TDrawnText {
    int X = 0;
    int Y = 0;
    QString Text;
    TFont::TFontStyles Style;
    int Size = 0;
    TColor Color = 0;
    QString Name;
};

// The real canvas, remembering the font of every TextOut.
class TFontRecordingCanvas : public TPlotCanvas3D {
public:
    void TextOut(int X, int Y, const QString& Text) override
    {
        Drawn.push_back({X, Y, Text, Font()->Style(), Font()->Size(), Font()->Color(), Font()->Name()});
        TPlotCanvas3D::TextOut(X, Y, Text);
    }
    std::vector<TDrawnText> Drawn;
};

// A 2-D pass over Bounds on a recording device, with empty tag stacks and
// no picture hooks.
class TRichTextPass {
public:
    explicit TRichTextPass(TRect Bounds = {0, 0, 400, 300})
    {
        ClearHtmlStacks();
        SetHtmlPictureFactory({});
        SetHtmlPictureLoader({});
        Plot.SetBufferedDisplay(false);
        Plot.InitWindow(&Canvas, nullptr, clWhite, false, Bounds);
        Plot.ResetState();
        Plot.SetProjection(100, Bounds);
        DC.ClearCalls();
    }
    ~TRichTextPass()
    {
        ClearHtmlStacks();
        SetHtmlPictureFactory({});
        SetHtmlPictureLoader({});
    }

    QStringList TextOuts() const { return DC.CallsStartingWith(QStringLiteral("TextOut")); }
    int FontHeight() const { return Plot.FontHeight(); }

    TRecordingDC DC{1000, 1000};
    TCanvas Canvas{&DC};
    TFontRecordingCanvas Plot;
};

// A picture of 30 x 20 pixels whose stream must hold the bytes "PIC"; it
// adds the rectangle of every drawing to Drawn (when given).
class TFakePicture : public TGraphic {
public:
    explicit TFakePicture(std::vector<TRect>* Drawn = nullptr) : FDrawn(Drawn) {}
    bool Empty() const override { return !FLoaded; }
    int Width() const override { return 30; }
    int Height() const override { return 20; }
    void Draw(TCanvas&, const TRect& rect) const override
    {
        if (FDrawn)
            FDrawn->push_back(rect);
    }
    void LoadFromStream(QIODevice& stream) override
    {
        if (stream.readAll() != "PIC")
            throw EInvalidGraphic("not a test picture");
        FLoaded = true;
    }
    void SaveToStream(QIODevice&) const override {}
    QImage ToImage() const override { return QImage(30, 20, QImage::Format_RGB32); }

private:
    std::vector<TRect>* FDrawn;
    bool FLoaded = false;
};

// --- Tokenizer and text runs -------------------------------------------------------------------------

TEST(PlotRichTextTokens, PlainTextIsDrawnOnceAtThePoint)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 10, 20, QStringLiteral("Depth"));
    EXPECT_EQ(pass.TextOuts(), QStringList{QStringLiteral("TextOut(10,20,\"Depth\")")});
}

TEST(PlotRichTextTokens, MissingCloseRaisesWithTheRestOfTheText)
{
    TRichTextPass pass;
    try {
        HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("a<b"));
        FAIL() << "no exception";
    } catch (const HtmlParserException& e) {
        EXPECT_EQ(e.Message(), "Missing > at b");
    }
    // The run before the broken tag was drawn, nothing after it.
    EXPECT_EQ(pass.TextOuts(), QStringList{QStringLiteral("TextOut(0,0,\"a\")")});
}

TEST(PlotRichTextTokens, UnknownTagIsDrawnAsTextWithItsBrackets)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<XYZ>"));
    EXPECT_EQ(pass.TextOuts(), QStringList{QStringLiteral("TextOut(0,0,\"<XYZ>\")")});
}

TEST(PlotRichTextTokens, EntitiesAreReplacedOncePerKindInOrder)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("&amp;lt;"));
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("&lt;&gt;&quot;&LT;"));
    EXPECT_EQ(pass.TextOuts(), (QStringList{QStringLiteral("TextOut(0,0,\"&lt;\")"),
                                            QStringLiteral("TextOut(0,0,\"<>\"&LT;\")")}));
}

TEST(PlotRichTextTokens, RunsFollowEachOtherOnTheLine)
{
    TRichTextPass pass;
    const int w = pass.Plot.TextWidth(QStringLiteral("ab"));
    HtmlTextOut(pass.Plot, 5, 7, QStringLiteral("ab<XYZ>"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[1].X, 5 + w);
    EXPECT_EQ(pass.Plot.Drawn[1].Y, 7);
}

// --- Line breaks ---------------------------------------------------------------------------------------

TEST(PlotRichTextLines, BreakPutsTheNextLineTwoFontHeightsLower)
{
    TRichTextPass pass;
    const int fh = pass.FontHeight();
    HtmlTextOut(pass.Plot, 3, 10, QStringLiteral("x<BR>y"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[0].Y, 10);
    EXPECT_EQ(pass.Plot.Drawn[1].X, 3);
    EXPECT_EQ(pass.Plot.Drawn[1].Y, 10 + 2 * fh);
}

TEST(PlotRichTextLines, ParagraphActsAsBreak)
{
    TRichTextPass pass;
    const int fh = pass.FontHeight();
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("x<p>y"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[1].Y, 2 * fh);
}

TEST(PlotRichTextLines, RunEndingWithLineEndPutsTheNextRunOneFontHeightLower)
{
    TRichTextPass pass;
    const int fh = pass.FontHeight();
    HtmlTextOut(pass.Plot, 4, 0, QStringLiteral("x\r\n<B>y"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[0].Text, QStringLiteral("x"));
    EXPECT_EQ(pass.Plot.Drawn[1].X, 4);
    EXPECT_EQ(pass.Plot.Drawn[1].Y, fh);
}

TEST(PlotRichTextLines, LeadingLineEndsEachBreakTheLine)
{
    // Guards against a second leading line end being drawn as characters.
    TRichTextPass pass;
    const int fh = pass.FontHeight();
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<B>\r\n\r\ny"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 1u);
    EXPECT_EQ(pass.Plot.Drawn[0].Text, QStringLiteral("y"));
    EXPECT_EQ(pass.Plot.Drawn[0].Y, 3 * fh);
}

TEST(PlotRichTextLines, RuleIsGreyHundredPixelsAndMovesDown)
{
    TRichTextPass pass;
    const int fh = pass.FontHeight();
    HtmlTextOut(pass.Plot, 6, 8, QStringLiteral("ab<HR>"));
    EXPECT_EQ(pass.Plot.Pen()->Color(), 0x808080);
    EXPECT_EQ(pass.Plot.Pen()->Width(), 1);
    const QStringList calls = pass.DC.Calls();
    EXPECT_TRUE(calls.contains(QStringLiteral("MoveTo(6,8)"))) << calls.join('\n').toStdString();
    EXPECT_TRUE(calls.contains(QStringLiteral("LineTo(106,8)"))) << calls.join('\n').toStdString();
    const TSize size = HtmlTextExtent(pass.Plot, QStringLiteral("<HR>x"));
    EXPECT_EQ(size.cy, fh);
}

TEST(PlotRichTextLines, CenterPlacesRunsAroundTheMiddleOfTheBounds)
{
    TRichTextPass pass({0, 0, 400, 300});
    const int w = pass.Plot.TextWidth(QStringLiteral("mid"));
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<CENTER>mid</CENTER>"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 1u);
    EXPECT_EQ(pass.Plot.Drawn[0].X, 200 - w / 2);
}

// --- Font tags ---------------------------------------------------------------------------------------

TEST(PlotRichTextFonts, CloseAllAfterBoldEndsBold)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<B>x</>y"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_TRUE(pass.Plot.Drawn[0].Style.testFlag(TFont::fsBold));
    EXPECT_FALSE(pass.Plot.Drawn[1].Style.testFlag(TFont::fsBold));
    EXPECT_TRUE(HtmlStyleTagStack().isEmpty());
}

TEST(PlotRichTextFonts, CloseAllAfterFontTagBringsBackTheSize)
{
    TRichTextPass pass;
    const int size = pass.Plot.Font()->Size();
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<FONT SIZE=20>x</>y"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[0].Size, 20);
    EXPECT_EQ(pass.Plot.Drawn[1].Size, size);
}

TEST(PlotRichTextFonts, CloseAllWithEmptyStackIsDrawnAsText)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("</>"));
    EXPECT_EQ(pass.TextOuts(), QStringList{QStringLiteral("TextOut(0,0,\"</\")")});
}

TEST(PlotRichTextFonts, StyleTagsAddAndClosingTagsRemove)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<strong><I><U><STRIKE>a</I></U></STRIKE>b</strong>c"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 3u);
    EXPECT_EQ(pass.Plot.Drawn[0].Style, TFont::TFontStyles(TFont::fsBold | TFont::fsItalic | TFont::fsUnderline |
                                                           TFont::fsStrikeOut));
    EXPECT_EQ(pass.Plot.Drawn[1].Style, TFont::TFontStyles(TFont::fsBold));
    EXPECT_EQ(pass.Plot.Drawn[2].Style, TFont::TFontStyles());
    // Closing tags do not touch the stack: the four openings stay.
    EXPECT_EQ(HtmlStyleTagStack(),
              (QStringList{"<STRONG>", "<I>", "<U>", "<STRIKE>"}));
}

TEST(PlotRichTextFonts, BigSmallAndHeadingsSetSizes)
{
    TRichTextPass pass;
    const int size = pass.Plot.Font()->Size();
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<BIG>a</><SMALL>b</><H1>c</><H4>d</FONT><H6>e"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 5u);
    EXPECT_EQ(pass.Plot.Drawn[0].Size, size + 2);
    EXPECT_EQ(pass.Plot.Drawn[1].Size, size - 2);
    EXPECT_EQ(pass.Plot.Drawn[2].Size, 48);
    EXPECT_EQ(pass.Plot.Drawn[3].Size, 18);
    EXPECT_EQ(pass.Plot.Drawn[4].Size, 8);
}

TEST(PlotRichTextFonts, SubscriptAndSuperscriptMoveAndComeBack)
{
    TRichTextPass pass;
    pass.Plot.Font()->SetSize(20);
    const int fh = pass.FontHeight();
    pass.Plot.Font()->SetSize(10);
    const int halfFh = pass.FontHeight();
    pass.Plot.Font()->SetSize(20);
    HtmlTextOut(pass.Plot, 0, 100, QStringLiteral("<SUB></SUB>a<SUPER></SUPER>b"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[0].Y, 100 + halfFh - fh);
    EXPECT_EQ(pass.Plot.Drawn[1].Y, 100 + halfFh - fh - halfFh / 2 + fh / 2);
    EXPECT_EQ(pass.Plot.Drawn[1].Size, 20);
}

TEST(PlotRichTextFonts, PreUsesTheFixedPitchFontUntilItsEnd)
{
    TRichTextPass pass;
    const QString name = pass.Plot.Font()->Name();
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<PRE>a</PRE>b"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[0].Name, QStringLiteral("COURIER NEW"));
    EXPECT_EQ(pass.Plot.Drawn[1].Name, name);
}

TEST(PlotRichTextFonts, FontTagReadsAllAttributes)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0,
                QStringLiteral("<font name=\"Times New Roman\" size=14 color=lime weight=bold, underline>a"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 1u);
    EXPECT_EQ(pass.Plot.Drawn[0].Name, QStringLiteral("TIMES NEW ROMAN"));
    EXPECT_EQ(pass.Plot.Drawn[0].Size, 14);
    EXPECT_EQ(pass.Plot.Drawn[0].Color, 0x00FF00);
    EXPECT_EQ(pass.Plot.Drawn[0].Style, TFont::TFontStyles(TFont::fsBold | TFont::fsUnderline));
}

TEST(PlotRichTextFonts, RelativeSizesAddToTheCurrentSize)
{
    TRichTextPass pass;
    pass.Plot.Font()->SetSize(10);
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<FONT SIZE=+4>a<FONT SIZE=-6>b"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[0].Size, 14);
    EXPECT_EQ(pass.Plot.Drawn[1].Size, 8);
}

TEST(PlotRichTextFonts, SavedFontWithBoldAndItalicRestoresBoth)
{
    TRichTextPass pass;
    pass.Plot.Font()->SetColor(0x123456);
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<B><I><FONT WEIGHT=NORMAL COLOR=RED>a</FONT>b"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[0].Style, TFont::TFontStyles());
    EXPECT_EQ(pass.Plot.Drawn[0].Color, clRed);
    EXPECT_EQ(pass.Plot.Drawn[1].Style, TFont::TFontStyles(TFont::fsBold | TFont::fsItalic));
    EXPECT_EQ(pass.Plot.Drawn[1].Color, 0x123456);
}

TEST(PlotRichTextFonts, FontStackTextNamesSizeColourAndStyles)
{
    TRichTextPass pass;
    pass.Plot.Font()->SetName(QStringLiteral("Courier New"));
    pass.Plot.Font()->SetSize(12);
    pass.Plot.Font()->SetColor(clBtnFace);
    pass.Plot.Font()->SetStyle(TFont::fsBold | TFont::fsStrikeOut);
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<BIG>"));
    EXPECT_EQ(HtmlFontStack(), QStringList{QStringLiteral(
                                   "<FONT size=12 name=Courier New color=-2147483633 weight=BOLD, STRIKE>")});
}

TEST(PlotRichTextFonts, EveryCallStartsWithEmptyStacks)
{
    // Regression: unbalanced tags of one text styled the texts drawn after it.
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<I><FONT COLOR=RED>a"));
    EXPECT_EQ(HtmlStyleTagStack().size(), 1);
    EXPECT_EQ(HtmlFontStack().size(), 1);
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("b"));
    ASSERT_FALSE(pass.Plot.Drawn.empty());
    EXPECT_FALSE(pass.Plot.Drawn.back().Style.testFlag(TFont::fsItalic));
    EXPECT_NE(pass.Plot.Drawn.back().Color, clRed);
    EXPECT_TRUE(HtmlStyleTagStack().isEmpty());
    EXPECT_TRUE(HtmlFontStack().isEmpty());
}

TEST(PlotRichTextFonts, CanvasFontIsSetBackAfterTheCall)
{
    TRichTextPass pass;
    pass.Plot.Font()->SetSize(11);
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<B><H1><FONT COLOR=BLUE>a"));
    EXPECT_EQ(pass.Plot.Font()->Size(), 11);
    EXPECT_EQ(pass.Plot.Font()->Style(), TFont::TFontStyles());
    EXPECT_EQ(pass.Plot.Font()->Color(), clBlack);
}

TEST(PlotRichTextFonts, CanvasFontIsSetBackAfterAnError)
{
    // Guards against a failed text leaving its tags' font on the canvas.
    TRichTextPass pass;
    pass.Plot.Font()->SetSize(11);
    EXPECT_THROW(HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<H1><B>a<FONT SIZE=x>")), EConvertError);
    EXPECT_EQ(pass.Plot.Font()->Size(), 11);
    EXPECT_EQ(pass.Plot.Font()->Style(), TFont::TFontStyles());
}

// --- Attribute errors and colours --------------------------------------------------------------------

TEST(PlotRichTextAttributes, UnknownWeightWordRaisesWithTheUpperCaseValue)
{
    TRichTextPass pass;
    try {
        HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<FONT weight=heavy>a"));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unknown field in FONT WEIGHT=HEAVY");
    }
    EXPECT_TRUE(pass.TextOuts().isEmpty());
}

TEST(PlotRichTextAttributes, UnknownFieldRaisesWithItsName)
{
    TRichTextPass pass;
    try {
        HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<FONT face=x>"));
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Unknown field in FONT: FACE");
    }
}

TEST(PlotRichTextAttributes, NonNumericSizeRaisesConversionError)
{
    TRichTextPass pass;
    EXPECT_THROW(HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<FONT SIZE=big>")), EConvertError);
    EXPECT_THROW(HtmlTextExtent(pass.Plot, QStringLiteral("<IMG src=a.png width=w>")), EConvertError);
}

TEST(PlotRichTextAttributes, ValueRunningIntoTheNextNameEnds)
{
    TRichTextPass pass;
    // "SIZE=" has no blank before "NAME": its value is empty, which is not a number.
    EXPECT_THROW(HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<FONT SIZE=NAME=X>")), EConvertError);
}

struct TColorRow {
    const char* Text;
    TColor Color;
};

class PlotRichTextColors : public ::testing::TestWithParam<TColorRow> {};

TEST_P(PlotRichTextColors, ValueGivesColour)
{
    EXPECT_EQ(HtmlColorOf(QString::fromLatin1(GetParam().Text)), GetParam().Color);
}

INSTANTIATE_TEST_SUITE_P(Names, PlotRichTextColors,
                         ::testing::Values(TColorRow{"black", 0x000000}, TColorRow{" Red ", 0x0000FF},
                                           TColorRow{"BLUE", 0xFF0000}, TColorRow{"yellow", 0x00FFFF},
                                           TColorRow{"White", 0xFFFFFF}, TColorRow{"green", 0x008000},
                                           TColorRow{"LIME", 0x00FF00}, TColorRow{"#FF0000", 0x0000FF},
                                           TColorRow{"#102030", 0x302010}, TColorRow{"clNavy", 0x800000},
                                           TColorRow{"255", 0x0000FF}, TColorRow{"$FF00", 0x00FF00}));

TEST(PlotRichTextColorErrors, BadTextsRaiseConversionErrors)
{
    EXPECT_THROW(HtmlColorOf(QStringLiteral("#FF00")), EConvertError);
    EXPECT_THROW(HtmlColorOf(QStringLiteral("#GG0000")), EConvertError);
    EXPECT_THROW(HtmlColorOf(QStringLiteral("#F")), EConvertError);
    EXPECT_THROW(HtmlColorOf(QStringLiteral("mauve")), EConvertError);
}

TEST(PlotRichTextColorErrors, HashColourInFontTag)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<FONT COLOR=#FF0000>a"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 1u);
    EXPECT_EQ(pass.Plot.Drawn[0].Color, 0x0000FF);
}

// --- Extent ------------------------------------------------------------------------------------------

TEST(PlotRichTextExtent, PlainWordGivesWidthAndLineHeightAndDrawsNothing)
{
    TRichTextPass pass;
    const QString word = QStringLiteral("Seismic");
    const int w = pass.Plot.TextWidth(word);
    const int h = std::max(pass.FontHeight(), pass.Plot.TextHeight(word));
    const TSize size = HtmlTextExtent(pass.Plot, word);
    EXPECT_EQ(size.cx, w);
    EXPECT_EQ(size.cy, h);
    EXPECT_TRUE(pass.TextOuts().isEmpty());
    EXPECT_TRUE(pass.Plot.Drawn.empty());
}

TEST(PlotRichTextExtent, WidthIsTheWidestLineAndHeightTheTallestLine)
{
    TRichTextPass pass;
    const int wide = pass.Plot.TextWidth(QStringLiteral("a longer line"));
    pass.Plot.Font()->SetSize(48);
    const int tall = pass.FontHeight();
    pass.Plot.Font()->SetSize(8);
    const TSize size = HtmlTextExtent(pass.Plot, QStringLiteral("a longer line<BR><H1>x"));
    EXPECT_EQ(size.cx, wide);
    EXPECT_EQ(size.cy, tall);
}

TEST(PlotRichTextExtent, EmptyTextIsEmpty)
{
    TRichTextPass pass;
    EXPECT_EQ(HtmlTextExtent(pass.Plot, QString()), TSize{});
}

// --- Pictures ----------------------------------------------------------------------------------------

TEST(PlotRichTextPictures, WithoutFactoryAPlaceholderIsDrawnAndXStays)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 10, 20, QStringLiteral("<IMG SRC=\"logo.png\">a"));
    const QStringList calls = pass.DC.Calls();
    EXPECT_TRUE(calls.contains(QStringLiteral("Rectangle(10,20,50,60)"))) << calls.join('\n').toStdString();
    EXPECT_TRUE(calls.contains(QStringLiteral("MoveTo(10,20)")));
    EXPECT_TRUE(calls.contains(QStringLiteral("LineTo(49,59)")));
    EXPECT_TRUE(calls.contains(QStringLiteral("MoveTo(10,59)")));
    EXPECT_TRUE(calls.contains(QStringLiteral("LineTo(49,20)")));
    EXPECT_EQ(pass.Plot.Pen()->Color(), clRed);
    EXPECT_EQ(pass.Plot.Brush()->Color(), clWhite);
    EXPECT_EQ(pass.Plot.Brush()->Style(), TBrush::bsSolid);
    ASSERT_EQ(pass.Plot.Drawn.size(), 1u);
    EXPECT_EQ(pass.Plot.Drawn[0].X, 10);
}

TEST(PlotRichTextPictures, PlaceholderTakesWidthAndHeight)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<img width=8 height=6 src=a.bmp>"));
    EXPECT_TRUE(pass.DC.Calls().contains(QStringLiteral("Rectangle(0,0,8,6)")));
}

TEST(PlotRichTextPictures, HugePictureSizesAreKeptInTheirRange)
{
    // A width of INT_MAX once made every drawing of the text raise.
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 10, 20, QStringLiteral("<img width=2147483647 height=-2147483648 src=a.bmp>"));
    EXPECT_TRUE(pass.DC.Calls().contains(QStringLiteral("Rectangle(10,20,16394,-16364)")));
}

TEST(PlotRichTextPictures, NoSourceDrawsNothing)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<IMG WIDTH=5>"));
    EXPECT_TRUE(pass.DC.CallsStartingWith(QStringLiteral("Rectangle")).isEmpty());
}

TEST(PlotRichTextPictures, ExtentOfPlaceholderDrawsNothing)
{
    TRichTextPass pass;
    HtmlTextExtent(pass.Plot, QStringLiteral("<IMG SRC=a.png><HR>"));
    EXPECT_TRUE(pass.DC.CallsStartingWith(QStringLiteral("Rectangle")).isEmpty());
    EXPECT_TRUE(pass.DC.CallsStartingWith(QStringLiteral("LineTo")).isEmpty());
}

TEST(PlotRichTextPictures, LoadedPictureIsDrawnAndMovesThePosition)
{
    TRichTextPass pass;
    QStringList extensions;
    QStringList sources;
    std::vector<TRect> drawn;
    SetHtmlPictureFactory([&](const QString& Extension) -> std::unique_ptr<TGraphic> {
        extensions << Extension;
        return std::make_unique<TFakePicture>(&drawn);
    });
    SetHtmlPictureLoader([&](const QString& Source, QBuffer& Stream) {
        sources << Source;
        Stream.write("PIC");
        return 0;
    });
    HtmlTextOut(pass.Plot, 10, 20, QStringLiteral("<IMG SRC=\"dir.v1/logo.png\">a"));
    EXPECT_EQ(extensions, QStringList{QStringLiteral(".PNG")});
    EXPECT_EQ(sources, QStringList{QStringLiteral("dir.v1/logo.png")});
    EXPECT_TRUE(pass.DC.CallsStartingWith(QStringLiteral("Rectangle")).isEmpty());
    // Unscaled at the pen position; the next run starts after and below it.
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0], (TRect{10, 20, 40, 40}));
    ASSERT_EQ(pass.Plot.Drawn.size(), 1u);
    EXPECT_EQ(pass.Plot.Drawn[0].X, 40);
    EXPECT_EQ(pass.Plot.Drawn[0].Y, 40);
}

TEST(PlotRichTextPictures, PictureOfOtherSizeIsStretched)
{
    TRichTextPass pass;
    std::vector<TRect> drawn;
    SetHtmlPictureFactory(
        [&](const QString&) -> std::unique_ptr<TGraphic> { return std::make_unique<TFakePicture>(&drawn); });
    SetHtmlPictureLoader([](const QString&, QBuffer& Stream) {
        Stream.write("PIC");
        return 0;
    });
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<IMG SRC=a.png WIDTH=60>"));
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0], (TRect{0, 0, 60, 20}));
    // Measuring moves the position without drawing.
    EXPECT_EQ(HtmlTextExtent(pass.Plot, QStringLiteral("<IMG SRC=a.png width=50>b")).cx,
              50 + pass.Plot.TextWidth(QStringLiteral("b")));
    EXPECT_EQ(drawn.size(), 1u);
}

TEST(PlotRichTextPictures, FailedLoadOrBadBytesDrawThePlaceholder)
{
    TRichTextPass pass;
    SetHtmlPictureFactory([](const QString&) -> std::unique_ptr<TGraphic> { return std::make_unique<TFakePicture>(); });
    SetHtmlPictureLoader([](const QString& Source, QBuffer& Stream) {
        Stream.write("XYZ");
        return Source == u"missing" ? 1 : 0;
    });
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<IMG SRC=missing><IMG SRC=bad.png>"));
    EXPECT_EQ(pass.DC.CallsStartingWith(QStringLiteral("Rectangle")),
              (QStringList{"Rectangle(0,0,40,40)", "Rectangle(0,0,40,40)"}));
}

// --- Canvas entry -------------------------------------------------------------------------------------

TEST(PlotRichTextCanvas, TextOutHtmlRendersMarkupWhenAllowed)
{
    TRichTextPass pass;
    pass.Plot.TextOutHtml(1, 2, QStringLiteral("<B>a</B>&amp;"), true);
    pass.Plot.TextOutHtml(1, 2, QStringLiteral("<B>a</B>"), false);
    ASSERT_EQ(pass.Plot.Drawn.size(), 3u);
    EXPECT_EQ(pass.Plot.Drawn[0].Text, QStringLiteral("a"));
    EXPECT_TRUE(pass.Plot.Drawn[0].Style.testFlag(TFont::fsBold));
    EXPECT_EQ(pass.Plot.Drawn[1].Text, QStringLiteral("&"));
    EXPECT_EQ(pass.Plot.Drawn[2].Text, QStringLiteral("<B>a</B>"));
}

TEST(PlotRichTextCanvas, PositionBeyond32BitsRaisesRangeError)
{
    // Guards against the pen position wrapping round to the far side of the canvas.
    TRichTextPass pass;
    EXPECT_THROW(HtmlTextOut(pass.Plot, INT32_MAX - 1, 0, QStringLiteral("ab<XYZ>")), ERangeError);
}

TEST(PlotRichTextCanvas, FontSizesStayWithinTheirRange)
{
    // A relative size could once drive the font to INT_MIN, negated when the
    // font was made; every size is now kept within 1 .. 1000 points.
    TRichTextPass pass;
    TFont& font = *pass.Plot.Font();
    const int before = font.Size();
    const struct {
        const char* Text;
        int Points;
    } rows[] = {
        {"<FONT SIZE=2147483647><BIG>x", 1000},
        {"<FONT SIZE=-2147483648>x", 1},
        {"<FONT SIZE=+2147483647><FONT SIZE=+2147483647>x", 1000},
        {"<FONT SIZE=-2147483647><FONT SIZE=-2147483647>x", 1},
        {"<SMALL><SMALL><SMALL><SMALL><SMALL><SMALL>x", 1},
        {"<SUB><SUB><SUB><SUB><SUB>x", 1},
        {"<FONT SIZE=100000000>x", 1000},
    };
    for (const auto& row : rows) {
        pass.Plot.Drawn.clear();
        HtmlTextOut(pass.Plot, 0, 0, QString::fromLatin1(row.Text));
        ASSERT_FALSE(pass.Plot.Drawn.empty()) << row.Text;
        EXPECT_EQ(pass.Plot.Drawn.back().Size, row.Points) << row.Text;
        // The tags left unbalanced stay on the stacks; the font is restored.
        EXPECT_EQ(font.Size(), before) << row.Text;
    }
}

TEST(PlotRichTextCanvas, UnboundCanvasRaisesInvalidOperation)
{
    TPlotCanvas3D plot;
    plot.SetCanvas(nullptr);
    EXPECT_THROW(HtmlTextOut(plot, 0, 0, QStringLiteral("a")), EInvalidOperation);
    EXPECT_THROW(HtmlTextExtent(plot, QStringLiteral("a")), EInvalidOperation);
}

TEST(PlotRichTextCanvas, DrawsOnABitmap)
{
    ClearHtmlStacks();
    TBitmap bitmap(200, 100);
    bitmap.Canvas().Brush().SetColor(clWhite);
    bitmap.Canvas().FillRect({0, 0, 200, 100});
    TPlotCanvas3D plot;
    plot.SetBufferedDisplay(false);
    plot.InitWindow(&bitmap.Canvas(), nullptr, clWhite, false, {0, 0, 200, 100});
    plot.ResetState();
    HtmlTextOut(plot, 5, 5, QStringLiteral("<FONT COLOR=RED SIZE=20>W</FONT>"));
    const QImage image = bitmap.Image();
    bool red = false;
    for (int y = 0; y < image.height() && !red; ++y)
        for (int x = 0; x < image.width() && !red; ++x) {
            const QColor c = image.pixelColor(x, y);
            red = c.red() > 150 && c.green() < 100 && c.blue() < 100;
        }
    EXPECT_TRUE(red);
}

TEST(PlotRichTextFonts, TextInASymbolFontShowsGreekLetters)
{
    TRichTextPass pass;
    HtmlTextOut(pass.Plot, 0, 0, QStringLiteral("<font name=symbol>rW<font name=arial>m"));
    ASSERT_EQ(pass.Plot.Drawn.size(), 2u);
    EXPECT_EQ(pass.Plot.Drawn[0].Text, QString::fromUtf8("\u03C1\u03A9"));
    EXPECT_EQ(pass.Plot.Drawn[1].Text, QStringLiteral("m"));
}

} // namespace
} // namespace lp
