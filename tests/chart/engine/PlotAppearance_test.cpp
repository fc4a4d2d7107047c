// Appearance texts: exact texts and field order, round trips with every
// field away from its default, refusal of malformed texts without partial
// changes, independence from the user's locale, and the axis menu's
// "Default" restoring a stored axis.

#include "chart/engine/PlotAppearance.h"

#include "EngineTestUtil.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "platform/base/Exception.h"

#include <QtCore/QLocale>
#include <QtTest/QTest>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <clocale>
#include <functional>

namespace lp {
namespace {

std::string Str(const QString& Text)
{
    return Text.toStdString();
}

// Restores the process-wide editor entry points after a test that
// registered the appearance texts.
struct TEntryPointsGuard {
    TChartEditorEntryPoints Saved = ChartEditorEntryPoints();
    ~TEntryPointsGuard() { ChartEditorEntryPoints() = Saved; }
};

// Switches the default Qt locale and the C numeric locale to one with a
// decimal comma for the lifetime of the object.
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

void SetFont(TPlotFont& Font, int Seed)
{
    Font.SetCharset(2 + Seed);
    Font.SetColor(0x102030 + Seed);
    Font.SetPixelsPerInch(120);
    Font.SetSize(13 + Seed);
    Font.SetInterCharSize(3 + Seed);
    Font.SetStyle(TFont::fsItalic | TFont::fsStrikeOut);
    Font.SetName(QStringLiteral("Times New Roman"));
    TPlotFontGradient* G = Font.Gradient();
    G->SetBalance(30 + Seed);
    G->SetDirection(gdRadial);
    G->SetRadialX(-4);
    G->SetRadialY(7);
    G->SetStartColor(0x0000FF);
    G->SetMidColor(0x00FF00);
    G->SetEndColor(0xFF0000);
    G->SetVisible(true);
}

void SetPen(TChartPen& Pen, int Seed)
{
    Pen.SetColor(0x112233 + Seed);
    Pen.SetSmallDots(true);
    Pen.SetEndStyle(esFlat);
    Pen.SetVisible(!Pen.Visible());
    Pen.SetStyle(TPen::psDashDot);
    Pen.SetMode(TPen::pmXor);
    Pen.SetWidth(3 + Seed);
}

// Every field of the axis text away from its default.
void SetAxis(TChartAxis& A)
{
    A.SetAutomatic(false);
    SetPen(*A.Axis(), 1);
    SetPen(*A.Grid(), 2);
    A.SetGridCentered(true);
    A.SetInverted(true);
    A.SetHorizontal(!A.Horizontal());
    A.SetOtherSide(!A.OtherSide());
    A.SetLabels(false);
    A.SetLabelsAlign(TChartAxis::alOpposite);
    A.SetLabelsAngle(90);
    A.SetLabelsExponent(true);
    SetFont(*A.LabelsFont(), 1);
    A.SetLabelsMultiLine(true);
    A.SetLabelsOnAxis(false);
    A.SetLabelsSeparation(25);
    A.SetLabelsSize(31);
    A.SetLabelStyle(TChartAxis::talValue);
    A.SetMaximumOffset(6);
    A.SetMinimumOffset(-5);
    SetPen(*A.MinorGrid(), 3);
    A.SetMinorTickCount(7);
    A.SetMinorTickLength(9);
    SetPen(*A.MinorTicks(), 4);
    A.SetStartPosition(11);
    A.SetEndPosition(87);
    A.SetPositionPercent(12);
    A.SetPositionUnits(TCustomPlotPanel::muPixels);
    A.SetRoundFirstLabel(false);
    A.SetTickInnerLength(5);
    A.SetTickLength(8);
    SetPen(*A.Ticks(), 5);
    SetPen(*A.TicksInner(), 6);
    A.SetTickOnLabelsOnly(false);
    A.Title()->SetAngle(45);
    SetFont(*A.Title()->Font(), 2);
    A.Title()->SetVisible(false);
    A.SetTitleSize(17);
    A.SetLinLogDecShift(7);
    A.SetRoundedLimits(true);
    A.SetLinLogMinDec(true);
    A.SetAutomaticMinimum(false);
    A.SetAutomaticMaximum(false);
    A.SetLogarithmicBase(2.5);
    A.SetIncrement(0.75);
    A.SetLogAutoFormat(true);
    A.SetLogarithmic(true);
    A.SetUseFixedLimits(true);
    A.SetMaximum(2500.5);
    A.SetMinimum(0.25);
    ASSERT_TRUE(A.SetLinLogMinDecValue(0.125));
    A.Title()->SetCaption(QStringLiteral("Depth below sea level"));
}

// --- Exact texts ---------------------------------------------------------------------------------

TEST(AppearanceTexts, ExactTextsOfKnownObjects)
{
    TChartBrush Brush;
    Brush.SetColor(255);
    Brush.SetStyle(TBrush::bsSolid);
    EXPECT_EQ(BrushSettingsToText(Brush), "255#0");
    TChartBrush DefaultBrush;
    EXPECT_EQ(BrushSettingsToText(DefaultBrush), "536870912#0"); // clDefault

    TChartPen Pen;
    EXPECT_EQ(PenSettingsToText(Pen), "0&0&0&1&0&4&1");
    SetPen(Pen, 0);
    EXPECT_EQ(PenSettingsToText(Pen), QString::number(0x112233) + "&1&2&0&3&14&3");

    TPlotGradient Gradient;
    Gradient.SetBalance(40);
    Gradient.SetDirection(gdLeftRight);
    Gradient.SetRadialX(-3);
    Gradient.SetMidColor(5);
    Gradient.SetEndColor(6);
    Gradient.SetRadialY(8);
    Gradient.SetStartColor(-7);
    Gradient.SetVisible(true);
    EXPECT_EQ(GradientSettingsToText(Gradient), "40$2$-3$5$6$8$-7$1");

    TPlotShadow Shadow;
    Shadow.SetHorizSize(3);
    Shadow.SetVertSize(5);
    Shadow.SetColor(0x808080);
    Shadow.SetTransparency(40);
    EXPECT_EQ(ShadowSettingsToText(Shadow), "5@8421504@3@40@5");

    TPlotFont Font;
    Font.SetCharset(0);
    Font.SetColor(255);
    Font.SetPixelsPerInch(96);
    Font.SetSize(12);
    Font.SetStyle(TFont::fsBold | TFont::fsUnderline);
    Font.SetName(QStringLiteral("Courier New"));
    const QString Expected = "0^255^-16^0^12^96^0^0^" + GradientSettingsToText(*Font.Gradient()) + "^1010^Courier*New";
    EXPECT_EQ(FontSettingsToText(Font), Expected);
}

TEST(AppearanceTexts, AxisTextHasFiftyFourFieldsInOrder)
{
    test::TTestChart Chart;
    TChartAxis& A = *Chart.LeftAxis();
    SetAxis(A);
    const QStringList F = AxisSettingsToText(A).split('~');
    ASSERT_EQ(F.size(), 54);
    EXPECT_EQ(F[0], "0");
    EXPECT_EQ(F[1], PenSettingsToText(*A.Axis()));
    EXPECT_EQ(F[2], PenSettingsToText(*A.Grid()));
    EXPECT_EQ(F[8], "1");
    EXPECT_EQ(F[9], "90");
    EXPECT_EQ(F[11], FontSettingsToText(*A.LabelsFont()));
    EXPECT_EQ(F[16], "2");
    EXPECT_EQ(F[17], "1");
    EXPECT_EQ(F[24], "11");
    EXPECT_EQ(F[25], "87");
    EXPECT_EQ(F[27], "1");
    EXPECT_EQ(F[34], "45");
    EXPECT_EQ(F[35], FontSettingsToText(*A.Title()->Font()));
    EXPECT_EQ(F[37], "17");
    EXPECT_EQ(F[38], "1");
    EXPECT_EQ(F[39], "7");
    EXPECT_EQ(F[42], "0.125");
    EXPECT_EQ(F[45], "2.5");
    EXPECT_EQ(F[46], "0.75");
    EXPECT_EQ(F[47], "0");
    // The limits as the axis holds them (rounded to powers of the base).
    EXPECT_EQ(F[49].toDouble(), A.Minimum());
    EXPECT_EQ(F[50].toDouble(), A.Maximum());
    EXPECT_EQ(F[51], "1");
    EXPECT_EQ(F[52], "1");
    EXPECT_EQ(F[53], "Depth*below*sea*level");
}

TEST(AppearanceTexts, EmptyCaptionEndsTheAxisTextWithASeparator)
{
    test::TTestChart Chart;
    EXPECT_TRUE(AxisSettingsToText(*Chart.LeftAxis()).endsWith('~'));
}

// --- Round trips ---------------------------------------------------------------------------------

TEST(AppearanceTexts, PropertyObjectsRoundTrip)
{
    TChartBrush Brush;
    Brush.SetColor(0x123456);
    Brush.SetStyle(TBrush::bsDiagCross);
    const auto Brush2 = BrushSettingsFromText(BrushSettingsToText(Brush));
    EXPECT_EQ(Brush2->Color(), 0x123456);
    EXPECT_EQ(Brush2->Style(), TBrush::bsDiagCross);

    for (const bool Visible : {true, false}) {
        TChartPen Pen;
        SetPen(Pen, 2);
        Pen.SetVisible(Visible);
        const auto Pen2 = PenSettingsFromText(PenSettingsToText(Pen));
        EXPECT_EQ(Pen2->Color(), Pen.Color());
        EXPECT_TRUE(Pen2->SmallDots());
        EXPECT_EQ(Pen2->EndStyle(), esFlat);
        EXPECT_EQ(Pen2->Visible(), Visible);
        EXPECT_EQ(Pen2->Style(), TPen::psDashDot);
        EXPECT_EQ(Pen2->Mode(), TPen::pmXor);
        EXPECT_EQ(Pen2->Width(), 5);
    }

    TPlotFont Font;
    SetFont(Font, 0);
    const QString FontText = FontSettingsToText(Font);
    const auto Font2 = FontSettingsFromText(FontText);
    EXPECT_EQ(Font2->Charset(), 2);
    EXPECT_EQ(Font2->Color(), 0x102030);
    EXPECT_EQ(Font2->PixelsPerInch(), 120);
    EXPECT_EQ(Font2->Size(), 13);
    EXPECT_EQ(Font2->Height(), Font.Height());
    EXPECT_EQ(Font2->InterCharSize(), 3);
    EXPECT_EQ(Font2->Style(), TFont::fsItalic | TFont::fsStrikeOut);
    EXPECT_EQ(Font2->Name(), "Times New Roman"); // the blanks come back
    EXPECT_EQ(GradientSettingsToText(*Font2->Gradient()), GradientSettingsToText(*Font.Gradient()));
    EXPECT_EQ(FontSettingsToText(*Font2), FontText);

    const auto Gradient2 = GradientSettingsFromText(GradientSettingsToText(*Font.Gradient()));
    EXPECT_EQ(Gradient2->Balance(), 30);
    EXPECT_EQ(Gradient2->Direction(), gdRadial);
    EXPECT_EQ(Gradient2->RadialX(), -4);
    EXPECT_EQ(Gradient2->RadialY(), 7);
    EXPECT_EQ(Gradient2->StartColor(), 0x0000FF);
    EXPECT_EQ(Gradient2->MidColor(), 0x00FF00);
    EXPECT_EQ(Gradient2->EndColor(), 0xFF0000);
    EXPECT_TRUE(Gradient2->Visible());

    TPlotShadow Shadow;
    Shadow.SetColor(0x445566);
    Shadow.SetHorizSize(-2);
    Shadow.SetVertSize(9);
    Shadow.SetTransparency(70);
    const auto Shadow2 = ShadowSettingsFromText(ShadowSettingsToText(Shadow));
    EXPECT_EQ(Shadow2->Color(), 0x445566);
    EXPECT_EQ(Shadow2->HorizSize(), -2);
    EXPECT_EQ(Shadow2->VertSize(), 9);
    EXPECT_EQ(Shadow2->Transparency(), 70);
}

TEST(AppearanceTexts, FontNamesAndCaptionsKeepTheirCharacters)
{
    const std::vector<std::pair<QString, QString>> Names{
        {"Odd*Name", "Odd Name"}, // a star comes back as a blank
        {"A^B", "A^B"},           // the font's own separator survives
        {"  Lead", "  Lead"},
    };
    for (const auto& [Name, Expected] : Names) {
        TPlotFont Font;
        Font.SetName(Name);
        EXPECT_EQ(FontSettingsFromText(FontSettingsToText(Font))->Name(), Expected) << Str(Name);
    }
    test::TTestChart Chart;
    Chart.LeftAxis()->Title()->SetCaption(QStringLiteral("Range ~ offset"));
    AxisSettingsFromText(*Chart.RightAxis(), AxisSettingsToText(*Chart.LeftAxis()), true);
    EXPECT_EQ(Chart.RightAxis()->Title()->Caption(), "Range ~ offset");
}

TEST(AppearanceTexts, AxisRoundTripRestoresEveryReadField)
{
    test::TTestChart Chart;
    TChartAxis& Source = *Chart.LeftAxis();
    SetAxis(Source);
    const QString Text = AxisSettingsToText(Source);

    TChartAxis& Target = *Chart.RightAxis();
    AxisSettingsFromText(Target, Text, true);
    EXPECT_EQ(Str(AxisSettingsToText(Target)), Str(Text));
    EXPECT_FALSE(Target.Automatic());
    EXPECT_TRUE(Target.Inverted());
    EXPECT_EQ(Target.Horizontal(), Source.Horizontal());
    EXPECT_EQ(Target.OtherSide(), Source.OtherSide());
    EXPECT_TRUE(Target.Logarithmic());
    EXPECT_TRUE(Target.LogAutoFormat());
    EXPECT_EQ(Target.LinLogDecShift(), 7);
    EXPECT_DOUBLE_EQ(Target.LinLogMinDecValue(), 0.125);
    EXPECT_EQ(Target.Minimum(), Source.Minimum());
    EXPECT_EQ(Target.Maximum(), Source.Maximum());
    EXPECT_DOUBLE_EQ(Target.LogarithmicBase(), 2.5);
    EXPECT_DOUBLE_EQ(Target.Increment(), 0.75);
    EXPECT_EQ(Target.Title()->Caption(), "Depth below sea level");
    EXPECT_EQ(Target.LabelsFont()->Name(), "Times New Roman");
}

TEST(AppearanceTexts, AxisTextLeavesSideVisibilityAndFixedLimitsAlone)
{
    test::TTestChart Chart;
    TChartAxis& Source = *Chart.LeftAxis();
    SetAxis(Source);
    Source.SetVisible(false);
    Source.SetFixedMinimum(-3);
    Source.SetFixedMaximum(3);
    const QString Text = AxisSettingsToText(Source);

    TChartAxis& Target = *Chart.BottomAxis();
    const bool Horizontal = Target.Horizontal();
    const bool OtherSide = Target.OtherSide();
    AxisSettingsFromText(Target, Text, false);
    EXPECT_EQ(Target.Horizontal(), Horizontal);
    EXPECT_EQ(Target.OtherSide(), OtherSide);
    EXPECT_TRUE(Target.Visible());
    EXPECT_EQ(Target.FixedMinimum(), 0);
    EXPECT_EQ(Target.FixedMaximum(), 0);
    EXPECT_TRUE(Target.Inverted());
}

TEST(AppearanceTexts, CaptionFieldPresenceDecidesWhetherTheCaptionChanges)
{
    test::TTestChart Chart;
    TChartAxis& A = *Chart.LeftAxis();
    const QString Empty = AxisSettingsToText(A);
    A.Title()->SetCaption(QStringLiteral("Kept"));
    QString NoCaption = Empty;
    NoCaption.chop(1); // 53 fields
    AxisSettingsFromText(A, NoCaption, true);
    EXPECT_EQ(A.Title()->Caption(), "Kept");
    AxisSettingsFromText(A, Empty, true); // an empty caption field
    EXPECT_EQ(A.Title()->Caption(), "Kept");
}

// --- Malformed texts -----------------------------------------------------------------------------

struct TMalformed {
    const char* Kind;
    QString Text;
};

TEST(AppearanceTexts, MalformedTextsAreRefused)
{
    const std::vector<std::pair<const char*, std::function<void(const QString&)>>> Readers{
        {"brush", [](const QString& T) { BrushSettingsFromText(T); }},
        {"pen", [](const QString& T) { PenSettingsFromText(T); }},
        {"gradient", [](const QString& T) { GradientSettingsFromText(T); }},
        {"font", [](const QString& T) { FontSettingsFromText(T); }},
        {"shadow", [](const QString& T) { ShadowSettingsFromText(T); }},
    };
    TPlotFont Font;
    const QString GoodFont = FontSettingsToText(Font);
    const QString GoodGradient = GradientSettingsToText(*Font.Gradient());
    const std::vector<TMalformed> Rows{
        {"brush", ""},
        {"brush", "255"},
        {"brush", "abc#0"},
        {"brush", "255#57"},  // past the last pattern
        {"brush", "255#-1"},
        {"brush", "255#"},
        {"pen", "0&0&0&1&0&4"}, // six fields
        {"pen", "0&x&0&1&0&4&1"},
        {"pen", "0&0&3&1&0&4&1"}, // end style 3
        {"pen", "0&0&0&1&9&4&1"}, // pen style 9
        {"pen", "0&0&0&1&0&16&1"}, // mode 16
        {"pen", "0&0&0&1&0&4&99999999999"},
        {"pen", "0&0&0&1&0&4&nan"},
        {"gradient", "50$0$0$0$0$0$0"},
        {"gradient", "50$10$0$0$0$0$0$0"},
        {"gradient", "50$0$0$0$0$$0$0"},
        {"font", ""},
        {"font", GoodFont.section('^', 0, 9)},               // ten fields
        {"font", QString(GoodFont).replace(GoodGradient, "1$2")}, // short gradient
        {"font", QString(GoodFont).replace("^0000^", "^01^")},
        {"font", QString(GoodFont).replace("^0000^", "^0x00^")},
        {"font", "1^0^-11^0^8^0^0^0^" + GoodGradient + "^0000^Arial"}, // 0 pixels per inch
        {"shadow", "1@0@1@0"},
        {"shadow", "1@0@1@101@1"}, // transparency above 100
        {"shadow", "1@0@1@-1@1"},
        {"shadow", "1@red@1@0@1"},
    };
    for (const TMalformed& Row : Rows) {
        for (const auto& [Kind, Read] : Readers) {
            if (QLatin1String(Kind) != QLatin1String(Row.Kind))
                continue;
            EXPECT_THROW(Read(Row.Text), Exception) << Row.Kind << " " << Row.Text.toStdString();
        }
    }
    // The same text with a good font is accepted: the rows fail for their
    // own fault.
    EXPECT_NO_THROW(FontSettingsFromText(GoodFont));
}

TEST(AppearanceTexts, TooFewFieldsRaiseAnIndexError)
{
    EXPECT_THROW(BrushSettingsFromText("1"), ERangeError);
    EXPECT_THROW(PenSettingsFromText("1&1"), ERangeError);
    EXPECT_THROW(GradientSettingsFromText(""), ERangeError);
    EXPECT_THROW(ShadowSettingsFromText("1@1@1"), ERangeError);
    EXPECT_THROW(FontSettingsFromText("1^1"), ERangeError);
}

TEST(AppearanceTexts, MalformedAxisTextsChangeNothing)
{
    test::TTestChart Chart;
    TChartAxis& Source = *Chart.LeftAxis();
    SetAxis(Source);
    const QStringList Good = AxisSettingsToText(Source).split('~');

    const auto With = [&](int Index, const QString& Value) {
        QStringList F = Good;
        F[Index] = Value;
        return F.join('~');
    };
    const std::vector<QString> Rows{
        Good.mid(0, 52).join('~'), // 52 fields
        QStringLiteral("1~2~3"),
        With(0, "yes"),
        With(1, "0&0"),            // short pen
        With(9, "1.5"),            // integer field with a fraction
        With(11, "x"),             // font
        With(16, "9"),             // label style out of range
        With(27, "2"),             // position units
        With(14, "-1"),            // negative separation
        With(42, "abc"),           // a bad real is refused, not 123456789
        With(42, "0"),             // the LinLog threshold must be above 0
        With(45, "1"),             // logarithmic base 1
        With(46, "-2"),            // negative increment
        With(49, "5000"),          // minimum above maximum
        With(50, "inf"),
    };
    TChartAxis& Target = *Chart.RightAxis();
    const QString Before = AxisSettingsToText(Target);
    for (const QString& Text : Rows) {
        EXPECT_THROW(AxisSettingsFromText(Target, Text, true), Exception) << Text.toStdString();
        EXPECT_EQ(Str(AxisSettingsToText(Target)), Str(Before)) << Text.toStdString();
    }
    // Empty and blank texts change nothing and raise nothing.
    for (const QString& Text : {QString(), QStringLiteral("   ")}) {
        EXPECT_NO_THROW(AxisSettingsFromText(Target, Text, true));
        EXPECT_EQ(Str(AxisSettingsToText(Target)), Str(Before));
    }
}

// --- Locale --------------------------------------------------------------------------------------

TEST(AppearanceTexts, NumbersDoNotDependOnTheLocale)
{
    test::TTestChart Chart;
    TChartAxis& A = *Chart.LeftAxis();
    SetAxis(A);
    const QString Plain = AxisSettingsToText(A);
    QString Localised;
    {
        TCommaLocale Comma;
        Localised = AxisSettingsToText(A);
        TChartAxis& Target = *Chart.RightAxis();
        AxisSettingsFromText(Target, Plain, true);
        EXPECT_DOUBLE_EQ(Target.Increment(), 0.75);
        EXPECT_EQ(Target.Maximum(), A.Maximum());
    }
    EXPECT_EQ(Str(Localised), Str(Plain));
    // A text written with decimal commas reads the same.
    QStringList F = Plain.split('~');
    F[42] = "0,125";
    F[45] = "2,5";
    F[46] = "0,75";
    test::TTestChart Other;
    AxisSettingsFromText(*Other.LeftAxis(), F.join('~'), true);
    EXPECT_DOUBLE_EQ(Other.LeftAxis()->LinLogMinDecValue(), 0.125);
    EXPECT_DOUBLE_EQ(Other.LeftAxis()->LogarithmicBase(), 2.5);
    EXPECT_DOUBLE_EQ(Other.LeftAxis()->Increment(), 0.75);
    // Integer fields accept a comma too and round.
    EXPECT_EQ(PenSettingsFromText("0&0&0&1&0&4&2,6")->Width(), 3);
}

// --- Reading aids --------------------------------------------------------------------------------

TEST(AppearanceTexts, ReadingAids)
{
    EXPECT_EQ(SettingsSeparatorsToBlanks("1~2&3~4", '~'), "1 2&3 4");

    std::vector<int> Ints;
    SettingsTextToIntegers("1 2&3 x 4,6 \t 5.4  -2", 0, Ints);
    EXPECT_EQ(Ints, (std::vector<int>{1, 5, 5, -2}));
    Ints.clear();
    SettingsTextToIntegers("1 x 3 4", 2, Ints);
    EXPECT_EQ(Ints, (std::vector<int>{3, 4}));
    Ints.clear();
    SettingsTextToIntegers("", 0, Ints);
    EXPECT_TRUE(Ints.empty());
    SettingsTextToIntegers("1 2", -5, Ints);
    EXPECT_EQ(Ints, (std::vector<int>{1, 2}));

    QStringList Words;
    SettingsTextToStrings("  a\tb  c ", 1, Words);
    EXPECT_EQ(Words, (QStringList{"b", "c"}));
}

// --- The chart's "Default" -----------------------------------------------------------------------

TEST(AppearanceTexts, AxisMenuDefaultRestoresTheStoredAxis)
{
    TEntryPointsGuard Guard;
    RegisterAppearanceTexts();
    TChart Chart;
    Chart.SetBounds(0, 0, 400, 300);
    Chart.SetView3D(false);
    Chart.Legend()->SetVisible(false);
    QWidget* Window = Chart.Widget();
    Window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
    Window->repaint();

    TChartAxis* Left = Chart.LeftAxis();
    Chart.StoreAxesDefaultSettings();
    const QString Stored = Left->DefaultSettings();
    ASSERT_EQ(Stored, AxisSettingsToText(*Left));
    EXPECT_EQ(Chart.BottomAxis()->DefaultSettings(), AxisSettingsToText(*Chart.BottomAxis()));

    SetAxis(*Left);
    // The stored text has no caption, and an empty caption field leaves a
    // caption alone: keep it empty so the texts compare.
    Left->Title()->SetCaption(QString());
    Left->SetOtherSide(false); // stays where the click finds it
    Left->SetHorizontal(false);
    Left->SetInverted(true);
    Left->SetTickLength(12);
    ASSERT_NE(AxisSettingsToText(*Left), Stored);
    Window->repaint();
    const QPoint OnAxis(Left->AxisLinePixel() - 2, Left->CenterPixel());

    QTest::mouseClick(Window, Qt::RightButton, Qt::ShiftModifier, OnAxis);
    TPopupMenu& Menu = Chart.PopupMenu();
    ASSERT_EQ(Menu.Count(), 2);
    EXPECT_EQ(Menu.Item(1).Caption, "Default");
    ASSERT_TRUE(Menu.Item(1).Enabled);
    Menu.Click(1);
    EXPECT_EQ(Str(AxisSettingsToText(*Left)), Str(Stored));

    // Through the entry point, Horizontal and OtherSide come back too.
    Left->SetHorizontal(true);
    Left->SetOtherSide(true);
    ChartEditorEntryPoints().AxisSettingsFromText(Left, Left->DefaultSettings());
    EXPECT_FALSE(Left->Horizontal());
    EXPECT_FALSE(Left->OtherSide());
    EXPECT_EQ(Str(AxisSettingsToText(*Left)), Str(Stored));
}

} // namespace
} // namespace lp
