// Series settings texts: the exact text of a default line series, round
// trips of every standard series type, the refusal rules, whole-text
// checking before anything changes, the encoded gallery name of "Fast Line",
// whole-number fields, decimal commas inside appearance texts, empty
// appearance slots and the editor entry point.

#include "chart/engine/PlotSeriesSettings.h"

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPatterns.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "platform/base/Exception.h"

#include <QtCore/QLocale>

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lp {

// An unregistered series: its gallery name is its class name, which
// contains "Error".
class TSetTextErrorSeries : public TChartSeries {
    Q_OBJECT
public:
    using TChartSeries::TChartSeries;
};

// A bar series with class fields of its own.
class TSetTextDerivedBarSeries : public TBarSeries {
    Q_OBJECT
public:
    using TBarSeries::TBarSeries;
};

namespace {

std::string Str(const QString& Text)
{
    return Text.toStdString();
}

QString StarsToBlanksForTest(QString Text)
{
    return Text.replace(QLatin1Char('*'), QLatin1Char(' '));
}

QStringList Fields(const QString& Text)
{
    return Text.split(QLatin1Char('~'));
}

struct TCommaLocale {
    QLocale SavedLocale;
    std::string SavedC = std::setlocale(LC_NUMERIC, nullptr);
    TCommaLocale()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    }
    ~TCommaLocale()
    {
        QLocale::setDefault(SavedLocale);
        std::setlocale(LC_NUMERIC, SavedC.c_str());
    }
};

struct TEntryPointsGuard {
    TChartEditorEntryPoints Saved = ChartEditorEntryPoints();
    ~TEntryPointsGuard() { ChartEditorEntryPoints() = Saved; }
};

// Moves every field the text carries away from its default.
void Decorate(TChartSeries& S)
{
    S.SetSeriesColor(0x123456);
    S.SetColorEachPoint(true);
    S.Brush()->SetColor(0x00AA00);
    S.Brush()->SetStyle(TBrush::bsCross);
    S.Pen()->SetColor(0x0000CC);
    S.Pen()->SetWidth(2);
    S.Pen()->SetStyle(TPen::psDash);
    S.SetCursor(-21);
    S.SetFunctionResultCentered(!S.FunctionResultCentered());

    TSeriesMarks& M = *S.Marks();
    TMarksCallout& C = *M.Callout();
    M.SetAngle(45);
    M.Arrow()->SetColor(0x777777);
    M.Arrow()->SetWidth(3);
    C.SetLength(13);
    C.SetVisible(true);
    C.SetArrowHead(ahSolid);
    C.SetArrowHeadSize(11);
    C.SetDistance(3);
    C.SetStyle(psCircle);
    C.Brush()->SetColor(0x203040);
    C.Brush()->SetStyle(TBrush::bsHorizontal);
    C.SetHorizSize(6);
    C.SetVertSize(7);
    C.Pen()->SetColor(0x405060);
    C.Pen()->SetWidth(2);
    C.Gradient()->SetVisible(true);
    C.Gradient()->SetStartColor(0x111111);
    C.Gradient()->SetEndColor(0x222222);
    M.SetColor(0x335577);
    M.SetBevel(TCustomPanelNoCaption::bvRaised);
    M.SetBevelWidth(3);
    M.Brush()->SetStyle(TBrush::bsVertical);
    M.SetClip(true);
    M.Font()->SetName(QStringLiteral("DejaVu Sans"));
    M.Font()->SetStyle(TFontStyles(TFont::fsBold));
    M.Font()->SetColor(0x0000FF);
    M.Pen()->SetColor(0x445566);
    M.Pen()->SetWidth(2);
    M.Gradient()->SetVisible(true);
    M.Gradient()->SetMidColor(0x0F0F0F);
    M.SetMultiLine(true);
    M.SetShapeStyle(fosRoundRectangle);
    M.SetStyle(TSeriesMarks::smsValue);
    M.SetVisible(true);
    M.SetTransparency(30);
    M.Shadow()->SetSize(5);
    M.Shadow()->SetColor(0x808080);
    M.Shadow()->SetTransparency(20);
    M.SetTransparent(true);
    M.SetDrawEvery(3);

    if (auto* L = qobject_cast<TCustomSeries*>(&S)) {
        L->LinePen()->SetWidth(3);
        L->LinePen()->SetColor(0x00FF00);
        TSeriesPointer& P = *L->Pointer();
        P.SetColor(0x5A5A5A);
        P.Brush()->SetStyle(TBrush::bsBDiagonal);
        P.SetDark3D(false);
        P.Gradient()->SetVisible(true);
        P.Gradient()->SetStartColor(0x010203);
        P.SetHorizSize(5);
        P.Pen()->SetColor(0x0A0B0C);
        P.SetStyle(psDiamond);
        P.SetVertSize(6);
        P.SetVisible(!P.Visible());
    }
}

// The properties the text carries are equal in both series.
void ExpectSameLook(TChartSeries& A, TChartSeries& B, bool WithPointer)
{
    EXPECT_EQ(A.SeriesColor(), B.SeriesColor());
    EXPECT_EQ(A.ColorEachPoint(), B.ColorEachPoint());
    EXPECT_EQ(A.Brush()->Color(), B.Brush()->Color());
    EXPECT_EQ(A.Brush()->Style(), B.Brush()->Style());
    EXPECT_EQ(A.Pen()->Color(), B.Pen()->Color());
    EXPECT_EQ(A.Pen()->Width(), B.Pen()->Width());
    EXPECT_EQ(A.Pen()->Style(), B.Pen()->Style());
    EXPECT_EQ(A.Cursor(), B.Cursor());
    EXPECT_EQ(A.FunctionResultCentered(), B.FunctionResultCentered());
    TSeriesMarks& MA = *A.Marks();
    TSeriesMarks& MB = *B.Marks();
    EXPECT_EQ(MA.Angle(), MB.Angle());
    EXPECT_EQ(MA.Arrow()->Color(), MB.Arrow()->Color());
    EXPECT_EQ(MA.Arrow()->Width(), MB.Arrow()->Width());
    EXPECT_EQ(MA.Callout()->Length(), MB.Callout()->Length());
    EXPECT_EQ(MA.Callout()->Visible(), MB.Callout()->Visible());
    EXPECT_EQ(MA.Callout()->ArrowHead(), MB.Callout()->ArrowHead());
    EXPECT_EQ(MA.Callout()->ArrowHeadSize(), MB.Callout()->ArrowHeadSize());
    EXPECT_EQ(MA.Callout()->Distance(), MB.Callout()->Distance());
    EXPECT_EQ(MA.Callout()->Style(), MB.Callout()->Style());
    EXPECT_EQ(MA.Callout()->Brush()->Color(), MB.Callout()->Brush()->Color());
    EXPECT_EQ(MA.Callout()->Brush()->Style(), MB.Callout()->Brush()->Style());
    EXPECT_EQ(MA.Callout()->HorizSize(), MB.Callout()->HorizSize());
    EXPECT_EQ(MA.Callout()->VertSize(), MB.Callout()->VertSize());
    EXPECT_EQ(MA.Callout()->Pen()->Color(), MB.Callout()->Pen()->Color());
    EXPECT_EQ(MA.Callout()->Gradient()->Visible(), MB.Callout()->Gradient()->Visible());
    EXPECT_EQ(MA.Callout()->Gradient()->StartColor(), MB.Callout()->Gradient()->StartColor());
    EXPECT_EQ(MA.Color(), MB.Color());
    EXPECT_EQ(MA.Bevel(), MB.Bevel());
    EXPECT_EQ(MA.BevelWidth(), MB.BevelWidth());
    EXPECT_EQ(MA.Brush()->Style(), MB.Brush()->Style());
    EXPECT_EQ(MA.Clip(), MB.Clip());
    EXPECT_EQ(Str(MA.Font()->Name()), Str(MB.Font()->Name()));
    EXPECT_EQ(MA.Font()->Style(), MB.Font()->Style());
    EXPECT_EQ(MA.Font()->Color(), MB.Font()->Color());
    EXPECT_EQ(MA.Pen()->Color(), MB.Pen()->Color());
    EXPECT_EQ(MA.Pen()->Width(), MB.Pen()->Width());
    EXPECT_EQ(MA.Gradient()->Visible(), MB.Gradient()->Visible());
    EXPECT_EQ(MA.Gradient()->MidColor(), MB.Gradient()->MidColor());
    EXPECT_EQ(MA.MultiLine(), MB.MultiLine());
    EXPECT_EQ(MA.ShapeStyle(), MB.ShapeStyle());
    EXPECT_EQ(MA.Style(), MB.Style());
    EXPECT_EQ(MA.Visible(), MB.Visible());
    EXPECT_EQ(MA.Transparency(), MB.Transparency());
    ASSERT_TRUE(MA.Shadow() && MB.Shadow());
    EXPECT_EQ(MA.Shadow()->HorizSize(), MB.Shadow()->HorizSize());
    EXPECT_EQ(MA.Shadow()->Color(), MB.Shadow()->Color());
    EXPECT_EQ(MA.Shadow()->Transparency(), MB.Shadow()->Transparency());
    EXPECT_EQ(MA.Transparent(), MB.Transparent());
    EXPECT_EQ(MA.DrawEvery(), MB.DrawEvery());
    if (!WithPointer)
        return;
    auto* LA = qobject_cast<TCustomSeries*>(&A);
    auto* LB = qobject_cast<TCustomSeries*>(&B);
    ASSERT_TRUE(LA && LB);
    EXPECT_EQ(LA->LinePen()->Width(), LB->LinePen()->Width());
    EXPECT_EQ(LA->LinePen()->Color(), LB->LinePen()->Color());
    TSeriesPointer& PA = *LA->Pointer();
    TSeriesPointer& PB = *LB->Pointer();
    EXPECT_EQ(PA.Color(), PB.Color());
    EXPECT_EQ(PA.Brush()->Style(), PB.Brush()->Style());
    EXPECT_EQ(PA.Dark3D(), PB.Dark3D());
    EXPECT_EQ(PA.Gradient()->Visible(), PB.Gradient()->Visible());
    EXPECT_EQ(PA.Gradient()->StartColor(), PB.Gradient()->StartColor());
    EXPECT_EQ(PA.HorizSize(), PB.HorizSize());
    EXPECT_EQ(PA.Pen()->Color(), PB.Pen()->Color());
    EXPECT_EQ(PA.Style(), PB.Style());
    EXPECT_EQ(PA.VertSize(), PB.VertSize());
    EXPECT_EQ(PA.Visible(), PB.Visible());
}

struct TKind {
    const char* Name;
    std::function<std::unique_ptr<TChartSeries>()> Make;
    bool LineOrPoint;
    int FieldCount;
};

std::vector<TKind> Kinds()
{
    return {
        {"Line", [] { return std::make_unique<TLineSeries>(); }, true, 55},
        {"Point", [] { return std::make_unique<TPointSeries>(); }, true, 55},
        {"HorizLine", [] { return std::make_unique<THorizLineSeries>(); }, true, 55},
        {"Area", [] { return std::make_unique<TAreaSeries>(); }, false, 44},
        {"HorizArea", [] { return std::make_unique<THorizAreaSeries>(); }, false, 44},
        {"Bar", [] { return std::make_unique<TBarSeries>(); }, false, 44},
        {"HorizBar", [] { return std::make_unique<THorizBarSeries>(); }, false, 44},
        {"Pie", [] { return std::make_unique<TPieSeries>(); }, false, 44},
        {"FastLine", [] { return std::make_unique<TFastLineSeries>(); }, false, 44},
    };
}

// A text with field Index replaced.
QString WithField(const QString& Text, int Index, const QString& Value)
{
    QStringList F = Fields(Text);
    F[Index] = Value;
    return F.join(QLatin1Char('~'));
}

} // namespace

// --- The exact text -------------------------------------------------------------------------------

TEST(SeriesSettingsText, DefaultLineSeriesGivesTheGoldenText)
{
    TLineSeries Line;
    const QString Text = SeriesSettingsToText(&Line);
    // Field by field, in the order of the text.
    const std::vector<std::string> Golden = {
        /* 0 SeriesColor            */ "536870912",
        /* 1 SeriesColor again      */ "536870912",
        /* 2 ColorEachPoint         */ "0",
        /* 3 Brush                  */ "536870912#0",
        /* 4 Pen                    */ "0&0&0&1&0&4&1",
        /* 5 Cursor                 */ "0",
        /* 6 Marks Angle            */ "0",
        /* 7 Marks Arrow            */ "16777215&0&0&1&0&4&1",
        /* 8 Marks ArrowLength      */ "8",
        /* 9 Callout Length         */ "8",
        /* 10 Callout Visible       */ "0",
        /* 11 Callout Arrow         */ "16777215&0&0&1&0&4&1",
        /* 12 Callout ArrowHead     */ "0",
        /* 13 Callout ArrowHeadSize */ "8",
        /* 14 Callout Distance      */ "0",
        /* 15 Callout Style         */ "0",
        /* 16 Callout colour        */ "0",
        /* 17 Callout Brush         */ "0#0",
        /* 18 Callout HorizSize     */ "4",
        /* 19 Callout Pen           */ "0&0&0&1&0&4&1",
        /* 20 Callout VertSize      */ "4",
        /* 21 Callout Pen again     */ "0&0&0&1&0&4&1",
        /* 22 Callout Gradient      */ "50$0$0$536870911$65535$0$16777215$0",
        /* 23 Marks BackColor       */ "-16777192",
        /* 24 Marks Bevel           */ "0",
        /* 25 Marks BevelWidth      */ "2",
        /* 26 Marks Brush           */ "536870912#0",
        /* 27 Marks Clip            */ "0",
        /* 28 Marks Color           */ "-16777192",
        /* 29 Marks Font            */ "1^0^-11^0^8^96^0^0^50$0$0$536870911$65535$0$16777215$0^0000^Arial",
        /* 30 Marks Frame           */ "0&0&0&1&0&4&1",
        /* 31 Marks Gradient        */ "50$3$0$536870911$16777215$0$12632256$0",
        /* 32 Marks MultiLine       */ "0",
        /* 33 Marks ShapeStyle      */ "0",
        /* 34 Marks Style           */ "2",
        /* 35 Marks Visible         */ "0",
        /* 36 Marks Frame again     */ "0&0&0&1&0&4&1",
        /* 37 Marks Transparency    */ "0",
        /* 38 Marks Shadow          */ "1@8421504@1@0@1",
        /* 39 FunctionResultCentered (off for line series) */ "0",
        /* 40 Marks Transparent     */ "0",
        /* 41 gallery name          */ "Line",
        /* 42 LinePen               */ "0&0&0&1&0&4&1",
        /* 43 pointer flag          */ "1",
        /* 44 Pointer colour        */ "536870912",
        /* 45 Pointer Brush         */ "536870912#0",
        /* 46 Pointer Dark3D        */ "1",
        /* 47 Pointer Gradient      */ "50$0$0$536870911$65535$0$16777215$0",
        /* 48 Pointer HorizSize     */ "4",
        /* 49 Pointer Pen           */ "0&0&0&1&0&4&1",
        /* 50 Pointer Style         */ "0",
        /* 51 Pointer VertSize      */ "4",
        /* 52 Pointer Visible       */ "0",
        /* 53 Pointer Pen again     */ "0&0&0&1&0&4&1",
        /* 54 Marks DrawEvery       */ "1",
    };
    const QStringList Words = Fields(Text);
    ASSERT_EQ(Words.size(), 55) << Str(Text);
    for (int I = 0; I < 55; ++I)
        EXPECT_EQ(Str(Words[I]), Golden[I]) << "field " << I;
    // And as one line.
    std::string Joined;
    for (const std::string& Word : Golden)
        Joined += (Joined.empty() ? "" : "~") + Word;
    EXPECT_EQ(Str(Text), Joined);
    EXPECT_EQ(Str(Text),
              "536870912~536870912~0~536870912#0~0&0&0&1&0&4&1~0~0~16777215&0&0&1&0&4&1~8~8~0~"
              "16777215&0&0&1&0&4&1~0~8~0~0~0~0#0~4~0&0&0&1&0&4&1~4~0&0&0&1&0&4&1~"
              "50$0$0$536870911$65535$0$16777215$0~-16777192~0~2~536870912#0~0~-16777192~"
              "1^0^-11^0^8^96^0^0^50$0$0$536870911$65535$0$16777215$0^0000^Arial~0&0&0&1&0&4&1~"
              "50$3$0$536870911$16777215$0$12632256$0~0~0~2~0~0&0&0&1&0&4&1~0~1@8421504@1@0@1~0~0~Line~"
              "0&0&0&1&0&4&1~1~536870912~536870912#0~1~50$0$0$536870911$65535$0$16777215$0~4~"
              "0&0&0&1&0&4&1~0~4~0~0&0&0&1&0&4&1~1");
    // The default text reads back into a default line series unchanged.
    TLineSeries Fresh;
    ASSERT_TRUE(SeriesSettingsFromText(&Fresh, Text));
    EXPECT_EQ(Str(SeriesSettingsToText(&Fresh)), Str(Text));
}

// --- Round trips ----------------------------------------------------------------------------------

TEST(SeriesSettingsText, EveryStandardSeriesTypeRoundTrips)
{
    for (const TKind& Kind : Kinds()) {
        SCOPED_TRACE(Kind.Name);
        const std::unique_ptr<TChartSeries> Source = Kind.Make();
        Decorate(*Source);
        const QString Text = SeriesSettingsToText(Source.get());
        EXPECT_EQ(Fields(Text).size(), Kind.FieldCount) << Str(Text);
        EXPECT_EQ(Str(Fields(Text)[SeriesSettingsGalleryField]),
                  Str(GetGallerySeriesName(Source.get())
                          .replace(QLatin1Char('\r'), QLatin1Char(' '))
                          .replace(QLatin1Char(' '), QLatin1Char('*'))));
        EXPECT_EQ(Str(Fields(Text)[Kind.LineOrPoint ? 43 : 42]), Kind.LineOrPoint ? "1" : "0");
        EXPECT_FALSE(Text.contains(QLatin1Char(' ')));

        const std::unique_ptr<TChartSeries> Copy = Kind.Make();
        ASSERT_NE(Str(SeriesSettingsToText(Copy.get())), Str(Text));
        ASSERT_TRUE(SeriesSettingsFromText(Copy.get(), Text));
        EXPECT_EQ(Str(SeriesSettingsToText(Copy.get())), Str(Text));
        ExpectSameLook(*Source, *Copy, Kind.LineOrPoint);
    }
}

// Guards a line losing its whole look on reopen after one of its brushes
// was given a pattern item of the brush dialog (style 8 on): the text was
// written but refused when read.
TEST(SeriesSettingsText, PatternBrushesReadBackWithTheRestOfTheLook)
{
    const int Patterns[] = {TBrush::bsDiagCross + 1, 20, TBrush::bsDiagCross + PatternBitmapCount};
    for (const int Pattern : Patterns) {
        TLineSeries Source;
        Source.SetSeriesColor(0x00C000);
        Source.Brush()->SetStyle(static_cast<TBrush::TBrushStyle>(Pattern));
        Source.Marks()->Brush()->SetStyle(static_cast<TBrush::TBrushStyle>(Pattern));
        Source.Pointer()->Brush()->SetStyle(static_cast<TBrush::TBrushStyle>(Pattern));
        TLineSeries Copy;
        ASSERT_TRUE(SeriesSettingsFromText(&Copy, SeriesSettingsToText(&Source))) << Pattern;
        EXPECT_EQ(Copy.SeriesColor(), 0x00C000) << Pattern;
        EXPECT_EQ(Copy.Brush()->Style(), Pattern);
        EXPECT_EQ(Copy.Marks()->Brush()->Style(), Pattern);
        EXPECT_EQ(Copy.Pointer()->Brush()->Style(), Pattern);
    }
}

TEST(SeriesSettingsText, FastLineNameIsEncodedAndReadsBack)
{
    // Guards: a gallery name written raw ("Fast Line") splits into two words
    // and the text never reads back.
    TFastLineSeries Source;
    Source.SetSeriesColor(0x00C0FF);
    Source.Marks()->SetDrawEvery(4);
    const QString Text = SeriesSettingsToText(&Source);
    EXPECT_EQ(Str(Fields(Text)[41]), "Fast*Line");
    EXPECT_EQ(Fields(Text).size(), 44);

    TFastLineSeries Copy;
    ASSERT_TRUE(SeriesSettingsFromText(&Copy, Text));
    EXPECT_EQ(Copy.SeriesColor(), 0x00C0FF);
    EXPECT_EQ(Copy.Marks()->DrawEvery(), 4);
    EXPECT_EQ(Str(SeriesSettingsToText(&Copy)), Str(Text));

    // A text that carries the name with its blank (as older writers did)
    // reads back too.
    TFastLineSeries Old;
    ASSERT_TRUE(SeriesSettingsFromText(&Old, WithField(Text, 41, QStringLiteral("Fast Line"))));
    EXPECT_EQ(Str(SeriesSettingsToText(&Old)), Str(Text));
}

TEST(SeriesSettingsText, GalleryNamesWithLineBreaksStayOnOneLine)
{
    // The horizontal types break their gallery caption with a CR; a text
    // stored in a line of a file must not.
    THorizLineSeries Source;
    Source.SetSeriesColor(0x123456);
    const QString Text = SeriesSettingsToText(&Source);
    EXPECT_FALSE(Text.contains(QLatin1Char('\r')));
    EXPECT_FALSE(Text.contains(QLatin1Char('\n')));
    EXPECT_EQ(Str(Fields(Text)[41]), "Horizontal*Line");
    THorizLineSeries Copy;
    ASSERT_TRUE(SeriesSettingsFromText(&Copy, Text));
    EXPECT_EQ(Copy.SeriesColor(), 0x123456);
    TLineSeries Other;
    EXPECT_FALSE(SeriesSettingsFromText(&Other, Text));
}

TEST(SeriesSettingsText, StoredDefaultsAreThePresentText)
{
    TLineSeries Line;
    Line.SetSeriesColor(0x0000FF);
    Line.StoreDefaultSettings();
    EXPECT_EQ(Line.DefaultSettings(), SeriesSettingsToText(&Line));
    Line.SetSeriesColor(0x00FF00);
    ASSERT_TRUE(SeriesSettingsFromText(&Line, Line.DefaultSettings()));
    EXPECT_EQ(Line.SeriesColor(), 0x0000FF);
}

TEST(SeriesSettingsText, LineGalleryNameIsUnchanged)
{
    TLineSeries Line;
    EXPECT_EQ(Str(Fields(SeriesSettingsToText(&Line))[41]), "Line");
}

TEST(SeriesSettingsText, BarTextRestoresDrawEveryAtWord43)
{
    TBarSeries Source;
    Source.Marks()->SetDrawEvery(7);
    const QString Text = SeriesSettingsToText(&Source);
    EXPECT_EQ(Str(Fields(Text)[43]), "7");
    TBarSeries Copy;
    ASSERT_TRUE(SeriesSettingsFromText(&Copy, Text));
    EXPECT_EQ(Copy.Marks()->DrawEvery(), 7);
}

TEST(SeriesSettingsText, TextCutAfterTheGalleryNameAppliesTheCommonFieldsOnly)
{
    TLineSeries Source;
    Decorate(Source);
    const QString Text = Fields(SeriesSettingsToText(&Source)).mid(0, 42).join(QLatin1Char('~'));
    TLineSeries Copy;
    const int LineWidth = Copy.LinePen()->Width();
    ASSERT_TRUE(SeriesSettingsFromText(&Copy, Text));
    EXPECT_EQ(Copy.SeriesColor(), Source.SeriesColor());
    EXPECT_EQ(Copy.Marks()->Angle(), 45);
    // Field 4 (Pen) is the line pen: it comes from the common fields.
    EXPECT_EQ(Copy.LinePen()->Width(), Source.Pen()->Width());
    EXPECT_NE(LineWidth, 3);
    EXPECT_EQ(Copy.Marks()->DrawEvery(), 1);
    EXPECT_EQ(Copy.Pointer()->Style(), psRectangle);
}

// --- Refusals -------------------------------------------------------------------------------------

TEST(SeriesSettingsText, FewerThan42WordsLeaveTheSeriesUnchanged)
{
    TLineSeries Source;
    Decorate(Source);
    const QString Text = Fields(SeriesSettingsToText(&Source)).mid(0, 41).join(QLatin1Char('~'));
    TLineSeries Target;
    const QString Before = SeriesSettingsToText(&Target);
    EXPECT_FALSE(SeriesSettingsFromText(&Target, Text));
    EXPECT_EQ(Str(SeriesSettingsToText(&Target)), Str(Before));
}

TEST(SeriesSettingsText, AnotherGalleryNameLeavesTheSeriesUnchanged)
{
    TLineSeries Line;
    Decorate(Line);
    const QString LineText = SeriesSettingsToText(&Line);
    TPointSeries Point;
    const QString Before = SeriesSettingsToText(&Point);
    EXPECT_FALSE(SeriesSettingsFromText(&Point, LineText));
    EXPECT_EQ(Str(SeriesSettingsToText(&Point)), Str(Before));

    // Letter case counts.
    TLineSeries Other;
    const QString OtherBefore = SeriesSettingsToText(&Other);
    EXPECT_FALSE(SeriesSettingsFromText(&Other, WithField(LineText, 41, QStringLiteral("line"))));
    EXPECT_EQ(Str(SeriesSettingsToText(&Other)), Str(OtherBefore));

    TBarSeries Bar;
    Decorate(Bar);
    EXPECT_FALSE(SeriesSettingsFromText(&Other, SeriesSettingsToText(&Bar)));
    EXPECT_EQ(Str(SeriesSettingsToText(&Other)), Str(OtherBefore));
}

TEST(SeriesSettingsText, ErrorInTheGalleryNameLeavesTheSeriesUnchanged)
{
    // The text names the series' own type, but that name contains "Error".
    TSetTextErrorSeries Source;
    Decorate(Source);
    const QString Text = SeriesSettingsToText(&Source);
    ASSERT_TRUE(Fields(Text)[41].contains(QLatin1String("Error")));
    ASSERT_EQ(Str(StarsToBlanksForTest(Fields(Text)[41])), Str(GetGallerySeriesName(&Source)));

    TSetTextErrorSeries Target;
    const QString Before = SeriesSettingsToText(&Target);
    EXPECT_FALSE(SeriesSettingsFromText(&Target, Text));
    EXPECT_EQ(Str(SeriesSettingsToText(&Target)), Str(Before));

    // Any letter case.
    TLineSeries Line;
    const QString LineBefore = SeriesSettingsToText(&Line);
    EXPECT_FALSE(SeriesSettingsFromText(&Line, WithField(LineBefore, 41, QStringLiteral("ERROR*Bar"))));
    EXPECT_EQ(Str(SeriesSettingsToText(&Line)), Str(LineBefore));
}

TEST(SeriesSettingsText, AbsentSeriesOrEmptyTextDoNothing)
{
    EXPECT_TRUE(SeriesSettingsToText(nullptr).isEmpty());
    TLineSeries Line;
    EXPECT_FALSE(SeriesSettingsFromText(nullptr, SeriesSettingsToText(&Line)));
    const QString Before = SeriesSettingsToText(&Line);
    EXPECT_FALSE(SeriesSettingsFromText(&Line, QString()));
    EXPECT_FALSE(SeriesSettingsFromText(&Line, QStringLiteral("   ")));
    EXPECT_EQ(Str(SeriesSettingsToText(&Line)), Str(Before));
}

// --- Whole-text checking --------------------------------------------------------------------------

TEST(SeriesSettingsText, MalformedTextRaisesAndChangesNothing)
{
    // Guards: a malformed text applied part-way before the reader fails.
    TLineSeries Source;
    Decorate(Source);
    const QString Good = SeriesSettingsToText(&Source);
    const std::vector<std::pair<int, QString>> Faults = {
        {13, QStringLiteral("abc")},           // integer field
        {29, QStringLiteral("1^2^3")},         // font text with too few fields
        {37, QStringLiteral("150")},           // marks transparency
        {34, QStringLiteral("99")},            // marks style ordinal
        {48, QStringLiteral("0")},             // pointer size below 1
        {49, QStringLiteral("x&0&0&1&0&4&1")}, // pointer pen, late in the text
        {54, QStringLiteral("many")},          // DrawEvery, the very last field
    };
    for (const auto& [Index, Value] : Faults) {
        SCOPED_TRACE(Index);
        TLineSeries Target;
        const QString Before = SeriesSettingsToText(&Target);
        EXPECT_THROW(SeriesSettingsFromText(&Target, WithField(Good, Index, Value)), Exception);
        EXPECT_EQ(Str(SeriesSettingsToText(&Target)), Str(Before));
    }
    // A pointer block cut short.
    TLineSeries Target;
    const QString Before = SeriesSettingsToText(&Target);
    EXPECT_THROW(SeriesSettingsFromText(&Target, Fields(Good).mid(0, 50).join(QLatin1Char('~'))), Exception);
    EXPECT_EQ(Str(SeriesSettingsToText(&Target)), Str(Before));
}

TEST(SeriesSettingsText, EmptyOrStarAppearanceSlotsKeepTheLook)
{
    // Guards: an empty or "*" appearance slot raising an index error.
    TLineSeries Source;
    Decorate(Source);
    QString Text = SeriesSettingsToText(&Source);
    Text = WithField(Text, 3, QString());            // brush
    Text = WithField(Text, 29, QStringLiteral("*")); // marks font
    Text = WithField(Text, 38, QString());           // marks shadow
    Text = WithField(Text, 47, QStringLiteral("*")); // pointer gradient

    TLineSeries Target;
    const TColor BrushColor = Target.Brush()->Color();
    const QString FontName = Target.Marks()->Font()->Name();
    const int ShadowSize = Target.Marks()->Shadow()->HorizSize();
    const bool PointerGradient = Target.Pointer()->Gradient()->Visible();
    ASSERT_NO_THROW(EXPECT_TRUE(SeriesSettingsFromText(&Target, Text)));
    EXPECT_EQ(Target.Brush()->Color(), BrushColor);
    EXPECT_EQ(Str(Target.Marks()->Font()->Name()), Str(FontName));
    EXPECT_EQ(Target.Marks()->Shadow()->HorizSize(), ShadowSize);
    EXPECT_EQ(Target.Pointer()->Gradient()->Visible(), PointerGradient);
    // The other fields were applied.
    EXPECT_EQ(Target.Marks()->Angle(), 45);
    EXPECT_EQ(Target.Pointer()->Style(), psDiamond);
    EXPECT_EQ(Target.Marks()->DrawEvery(), 3);
}

// --- Numbers and locales --------------------------------------------------------------------------

TEST(SeriesSettingsText, IntegerFieldsMustBeWholeNumbers)
{
    // Guards: integer fields of the text read leniently ("10,6" taken as 11,
    // "3e0" as 3) where the integer conversion of the string refuses them.
    TLineSeries Source;
    Decorate(Source);
    const QString Good = SeriesSettingsToText(&Source);
    const std::vector<std::pair<int, QString>> Faults = {
        {5, QStringLiteral("-21,0")},  // Cursor
        {13, QStringLiteral("10,6")},  // Callout ArrowHeadSize
        {37, QStringLiteral("30.0")},  // Marks Transparency
        {48, QStringLiteral("5.0")},   // Pointer HorizSize
        {54, QStringLiteral("3e0")},   // DrawEvery
        {2, QStringLiteral("1,0")},    // ColorEachPoint
        {0, QStringLiteral("255.5")},  // SeriesColor
    };
    for (const auto& [Index, Value] : Faults) {
        SCOPED_TRACE(Index);
        TLineSeries Target;
        const QString Before = SeriesSettingsToText(&Target);
        EXPECT_THROW(SeriesSettingsFromText(&Target, WithField(Good, Index, Value)), EConvertError);
        EXPECT_EQ(Str(SeriesSettingsToText(&Target)), Str(Before));
    }
    // Signs and surrounding blanks are fine.
    TLineSeries Target;
    ASSERT_TRUE(SeriesSettingsFromText(&Target, WithField(WithField(Good, 6, QStringLiteral("+45")), 5,
                                                          QStringLiteral(" -21 "))));
    EXPECT_EQ(Target.Cursor(), -21);
    EXPECT_EQ(Target.Marks()->Angle(), 45);
}

TEST(SeriesSettingsText, CommaDecimalsInsideAppearanceTextsReadBack)
{
    // The numbers of a pen, brush or shadow text inside the series text are
    // read as those texts' readers read them: a point or a comma, in any
    // locale.
    TLineSeries Source;
    Decorate(Source);
    const QString Text = SeriesSettingsToText(&Source);
    ASSERT_TRUE(Fields(Text)[42].endsWith(QLatin1String("&3")));
    QString Comma = WithField(Text, 42, Fields(Text)[42].chopped(1) + QStringLiteral("3,0")); // line pen width
    Comma = WithField(Comma, 38, QStringLiteral("5@8421504@5@20,0@5"));                        // shadow
    ASSERT_EQ(Str(Fields(Text)[38]), "5@8421504@5@20@5");
    ASSERT_NE(Str(Comma), Str(Text));

    for (const bool InCommaLocale : {false, true}) {
        SCOPED_TRACE(InCommaLocale);
        std::unique_ptr<TCommaLocale> Locale;
        if (InCommaLocale)
            Locale = std::make_unique<TCommaLocale>();
        TLineSeries Target;
        ASSERT_TRUE(SeriesSettingsFromText(&Target, Comma));
        EXPECT_EQ(Str(SeriesSettingsToText(&Target)), Str(Text));
        EXPECT_EQ(Target.LinePen()->Width(), 3);
        EXPECT_EQ(Target.Marks()->Shadow()->Transparency(), 20);
    }
}

TEST(SeriesSettingsText, WrittenTextDoesNotDependOnTheLocale)
{
    // Guards: the locale's decimal separator leaking into the written text.
    TLineSeries Source;
    Decorate(Source);
    const QString Plain = SeriesSettingsToText(&Source);
    TCommaLocale Locale;
    EXPECT_EQ(Str(SeriesSettingsToText(&Source)), Str(Plain));
    EXPECT_FALSE(Plain.contains(QLatin1Char(',')));
}

// --- Class fields ---------------------------------------------------------------------------------

TEST(SeriesSettingsText, NearestRegisteredClassFieldsWin)
{
    // Guards: the first registration whose class the series inherits was
    // used, so a descendant registered after its ancestor wrote and read the
    // ancestor's fields.
    struct TGuard {
        ~TGuard()
        {
            UnregisterSeriesSettingsClassFields(&TSetTextDerivedBarSeries::staticMetaObject);
            UnregisterSeriesSettingsClassFields(&TBarSeries::staticMetaObject);
        }
    } Guard;
    const auto MakeFields = [](const QMetaObject* Class, QStringList Words, int* Applied) {
        TSeriesSettingsClassFields F;
        F.Class = Class;
        F.Count = static_cast<int>(Words.size());
        F.Write = [Words](const TChartSeries&) { return Words; };
        F.Read = [Applied](const QStringList& Read) {
            const int Value = Read.join(QString()).size();
            return std::function<void(TChartSeries&)>([Applied, Value](TChartSeries&) { *Applied = Value; });
        };
        return F;
    };
    int BaseApplied = 0;
    int DerivedApplied = 0;
    RegisterSeriesSettingsClassFields(MakeFields(&TBarSeries::staticMetaObject, {QStringLiteral("b")}, &BaseApplied));
    RegisterSeriesSettingsClassFields(MakeFields(&TSetTextDerivedBarSeries::staticMetaObject,
                                             {QStringLiteral("dd"), QStringLiteral("ddd")}, &DerivedApplied));

    TSetTextDerivedBarSeries Derived;
    Derived.Marks()->SetDrawEvery(6);
    const QString Text = SeriesSettingsToText(&Derived);
    ASSERT_EQ(Fields(Text).size(), 46) << Str(Text);
    EXPECT_EQ(Str(Fields(Text)[42]), "dd");
    EXPECT_EQ(Str(Fields(Text)[43]), "ddd");
    EXPECT_EQ(Str(Fields(Text)[44]), "0");
    TSetTextDerivedBarSeries Copy;
    ASSERT_TRUE(SeriesSettingsFromText(&Copy, Text));
    EXPECT_EQ(DerivedApplied, 5);
    EXPECT_EQ(BaseApplied, 0);
    EXPECT_EQ(Copy.Marks()->DrawEvery(), 6);

    // The ancestor keeps its own.
    TBarSeries Bar;
    const QString BarText = SeriesSettingsToText(&Bar);
    ASSERT_EQ(Fields(BarText).size(), 45);
    EXPECT_EQ(Str(Fields(BarText)[42]), "b");
}

// --- Entry point ----------------------------------------------------------------------------------

TEST(SeriesSettingsText, EditorEntryPointAppliesTheText)
{
    TEntryPointsGuard Guard;
    ChartEditorEntryPoints().SeriesSettingsFromText = nullptr;
    RegisterAppearanceTexts();
    ASSERT_TRUE(static_cast<bool>(ChartEditorEntryPoints().SeriesSettingsFromText));
    TLineSeries Source;
    Decorate(Source);
    TLineSeries Target;
    ChartEditorEntryPoints().SeriesSettingsFromText(&Target, SeriesSettingsToText(&Source));
    EXPECT_EQ(Str(SeriesSettingsToText(&Target)), Str(SeriesSettingsToText(&Source)));
    // An absent series is ignored.
    ChartEditorEntryPoints().SeriesSettingsFromText(nullptr, SeriesSettingsToText(&Source));
}

} // namespace lp

#include "PlotSeriesSettings_test.moc"
