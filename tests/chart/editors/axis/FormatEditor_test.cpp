// The number format's reading and building as a table and as a property
// over every choice of the controls and every locale's separators, and the
// "Numeric Format" dialog driven by the user: formats opened and confirmed
// unchanged, percentages with grouping, controls that reopen as they were.

#include "chart/editors/axis/FormatEditor.h"

#include "../EditorTestSupport.h"
#include "AxisDialogTestSupport.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace lp {
namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale DecimalComma(QLocale::German, QLocale::Germany);

TFormatSymbols EnglishSymbols()
{
    return TFormatSymbols::FromLocale(English);
}

TParsedFormat Parse(const QString& Format, const TFormatSymbols& Symbols = EnglishSymbols())
{
    return ParseValueFormat(Format, Symbols, DateFormatChoices(English), GeographicFormatChoices());
}

TEST(FormatEditor, NumberFormatsReadIntoTheControlsAndBuildBack)
{
    struct TRow {
        const char* Format;
        TNumberFormatChoice Choice;
    };
    //                 percent currency thousands fixedDec decimals fixedDigits
    const TRow rows[] = {
        {"#,##0.00", {false, false, true, true, 2, 1}},
        {"0.0%", {true, false, false, true, 1, 1}},
        {"#", {false, false, false, false, 0, 0}},
        {"#,###", {false, false, true, false, 0, 0}},
        {"0.###", {false, false, false, false, 3, 1}},
        {"#,000", {false, false, true, false, 0, 3}},
        {"00,000", {false, false, true, false, 0, 5}},
        {"$#,##0.00", {false, true, true, true, 2, 1}},
        {"000", {false, false, false, false, 0, 3}},
        {"#,##0.0%", {true, false, true, true, 1, 1}},
        {"$#,##0%", {true, true, true, false, 0, 1}},
    };
    for (const TRow& row : rows) {
        const QString format = QString::fromUtf8(row.Format);
        const TParsedFormat parsed = Parse(format);
        EXPECT_EQ(parsed.Kind, TFormatKind::Number) << row.Format;
        EXPECT_EQ(parsed.Number, row.Choice) << row.Format;
        EXPECT_EQ(BuildNumberFormat(row.Choice, EnglishSymbols()), format) << row.Format;
    }
}

TEST(FormatEditor, OtherKindsAreRecognised)
{
    EXPECT_EQ(Parse(QStringLiteral("dd-mm-yyyy")).Kind, TFormatKind::Date);
    EXPECT_EQ(Parse(QStringLiteral("ddd mm ss")).Kind, TFormatKind::Geographic);
    // Texts the controls would write otherwise stay custom, as typed.
    for (const char* custom : {"0.0 m", "00e-0", "0.###E+00", "0.0#", "%0", "##0", "0.", "#,###,##0", "0.00$",
                               "\"x\"0", "#,##0.00;(#,##0.00)", "000000000000000000000"})
        EXPECT_EQ(Parse(QString::fromUtf8(custom)).Kind, TFormatKind::Custom) << custom;
}

// Thousands with no fixed digits wrote a literal "#,###", which a
// decimal-comma locale reads back as three decimals.
TEST(FormatEditor, GroupingWithoutFixedDigitsUsesTheUsersSeparator)
{
    const TFormatSymbols german = TFormatSymbols::FromLocale(DecimalComma);
    ASSERT_EQ(german.Decimal, QLatin1Char(','));
    ASSERT_EQ(german.Thousand, QLatin1Char('.'));
    const TNumberFormatChoice grouped{false, false, true, false, 0, 0};
    EXPECT_EQ(BuildNumberFormat(grouped, german), QStringLiteral("#.###"));
    EXPECT_EQ(Parse(QStringLiteral("#.###"), german).Number, grouped);
    EXPECT_EQ(BuildNumberFormat({false, false, true, true, 2, 1}, german), QStringLiteral("#.##0,00"));
    EXPECT_EQ(Parse(QStringLiteral("#.##0,00"), german).Number, (TNumberFormatChoice{false, false, true, true, 2, 1}));
}

// Every choice of the controls, written with Symbols, reads back as the
// same choice; Decimals and FixedDigits run over Counts.
void ExpectEveryChoiceReadsBack(const TFormatSymbols& Symbols, const QString& Name, const std::vector<int>& Counts)
{
    const QStringList dates = DateFormatChoices(English);
    const QStringList geographic = GeographicFormatChoices();
    int failures = 0;
    for (int flags = 0; flags < 16; ++flags)
        for (int decimals : Counts)
            for (int fixed : Counts) {
                const TNumberFormatChoice choice{bool(flags & 1), bool(flags & 2), bool(flags & 4), bool(flags & 8),
                                                 decimals, fixed};
                const QString format = BuildNumberFormat(choice, Symbols);
                const TParsedFormat parsed = ParseValueFormat(format, Symbols, dates, geographic);
                if ((parsed.Kind != TFormatKind::Number || parsed.Number != WrittenChoice(choice, Symbols)) &&
                    failures++ < 3)
                    ADD_FAILURE() << Name.toStdString() << ": " << format.toStdString() << " flags " << flags
                                  << " decimals " << decimals << " fixed " << fixed;
            }
    EXPECT_EQ(failures, 0) << Name.toStdString();
}

TEST(FormatEditor, EveryChoiceOfTheControlsReadsBackFromItsFormat)
{
    std::vector<int> everyCount(21);
    std::iota(everyCount.begin(), everyCount.end(), 0);
    for (const QLocale& locale : {English, DecimalComma, QLocale(QLocale::French, QLocale::France),
                                  QLocale(QLocale::German, QLocale::Switzerland), QLocale::c()})
        ExpectEveryChoiceReadsBack(TFormatSymbols::FromLocale(locale), locale.name(), everyCount);
}

TEST(FormatEditor, EveryLocalesSeparatorsAndCurrencyReadBack)
{
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 100);
    for (const QLocale& locale : locales) {
        const TFormatSymbols symbols = TFormatSymbols::FromLocale(locale);
        EXPECT_NE(symbols.Decimal, symbols.Thousand) << locale.bcp47Name().toStdString();
        ExpectEveryChoiceReadsBack(symbols, locale.bcp47Name(), {0, 1, 3, 4});
    }
}

TEST(FormatEditor, OpensOnTheRightChoiceAndOkBuildsTheFormat)
{
    TFormatEditor number(QStringLiteral("#,##0.00"), false, English);
    number.show();
    EXPECT_TRUE(number.RBInteger->isChecked());
    EXPECT_TRUE(number.CBThousands->isChecked());
    EXPECT_EQ(number.UpDown1->value(), 2);
    EXPECT_EQ(number.UpDown2->value(), 1);
    EXPECT_TRUE(number.CBFixedDecimals->isChecked());
    EXPECT_EQ(number.Result(), QStringLiteral("#,##0.00"));
    // One more decimal by the keyboard.
    number.UpDown1->setFocus();
    QTest::keyClick(number.UpDown1, Qt::Key_Up);
    EXPECT_EQ(number.Result(), QStringLiteral("#,##0.000"));

    // A date picture opens under Date Time even on a value axis, whose
    // date choice is hidden.
    TFormatEditor date(QStringLiteral("dd-mm-yyyy"), false, English);
    date.show();
    EXPECT_TRUE(date.RBDate->isChecked());
    EXPECT_FALSE(date.RBDate->isVisible());
    EXPECT_EQ(date.Result(), QStringLiteral("dd-mm-yyyy"));

    TFormatEditor custom(QStringLiteral("0.0 m"), false, English);
    custom.show();
    EXPECT_TRUE(custom.RBCustom->isChecked());
    EXPECT_TRUE(custom.CBCustom->isEnabled());
    EXPECT_NE(custom.CBCustom->findText(QStringLiteral("0.0 m")), -1);
    EXPECT_EQ(custom.Result(), QStringLiteral("0.0 m"));
    EXPECT_FALSE(custom.CBPercent->isEnabled());
}

TEST(FormatEditor, PercentClearsAndLocksGroupingAndCurrency)
{
    TFormatEditor editor(QStringLiteral("#,##0"), false, English);
    editor.show();
    ASSERT_TRUE(editor.CBThousands->isChecked());
    QTest::mouseClick(editor.CBPercent, Qt::LeftButton, {}, QPoint(6, editor.CBPercent->height() / 2));
    EXPECT_FALSE(editor.CBThousands->isChecked());
    EXPECT_FALSE(editor.CBThousands->isEnabled());
    EXPECT_FALSE(editor.CBCurrency->isEnabled());
    EXPECT_EQ(editor.Result(), QStringLiteral("0%"));
}

TEST(FormatEditor, ChoosingCustomStartsFromTheNumberAndGeographicFromItsFirstPicture)
{
    TFormatEditor editor(QStringLiteral("0.00"), true, English);
    editor.show();
    QTest::mouseClick(editor.RBGeo, Qt::LeftButton, {}, QPoint(6, editor.RBGeo->height() / 2));
    EXPECT_TRUE(editor.CBGeo->isEnabled());
    EXPECT_FALSE(editor.CBDate->isEnabled());
    EXPECT_EQ(editor.Result(), GeographicFormatChoices().front());
    QTest::mouseClick(editor.RBCustom, Qt::LeftButton, {}, QPoint(6, editor.RBCustom->height() / 2));
    EXPECT_FALSE(editor.CBGeo->isEnabled());
    EXPECT_EQ(editor.Result(), QStringLiteral("0.00"));
    QTest::mouseClick(editor.RBDate, Qt::LeftButton, {}, QPoint(6, editor.RBDate->height() / 2));
    EXPECT_FALSE(editor.Result().isEmpty());
}

TEST(FormatEditor, CancelReturnsTheFormatUnchanged)
{
    test::OnModal<TFormatEditor>([](TFormatEditor& Editor) {
        Editor.UpDown1->setValue(5);
        QTest::mouseClick(Editor.BCancel, Qt::LeftButton);
    });
    EXPECT_EQ(EditFormat(nullptr, QStringLiteral("0.0%"), false, English), QStringLiteral("0.0%"));
    test::OnModal<TFormatEditor>([](TFormatEditor& Editor) {
        Editor.UpDown1->setValue(3);
        QTest::mouseClick(Editor.BOk, Qt::LeftButton);
    });
    EXPECT_EQ(EditFormat(nullptr, QStringLiteral("0.0%"), false, English), QStringLiteral("0.000%"));
}

// "#,##0.0%" opened and confirmed with OK, untouched, came back as "0.0%".
TEST(FormatEditor, AFormatOpenedAndConfirmedUnchangedComesBackUnchanged)
{
    struct TRow {
        const QLocale* Locale;
        const char* Format;
        TFormatKind Kind;
    };
    const TRow rows[] = {
        {&English, "#,##0.0%", TFormatKind::Number}, // grouping with percent
        {&English, "#,##0%", TFormatKind::Number},
        {&English, "#,##0.###", TFormatKind::Number}, // grouping
        {&English, "#,###", TFormatKind::Number},
        {&English, "00,000.00", TFormatKind::Number},
        {&English, "$#,##0.00", TFormatKind::Number}, // currency
        {&English, "$0%", TFormatKind::Number},
        {&English, "0.0%", TFormatKind::Number}, // percent
        {&English, "#.#", TFormatKind::Number},
        {&English, "00e-0", TFormatKind::Custom}, // exponent
        {&English, "0.###E+00", TFormatKind::Custom},
        {&English, "#.0 \"x10\" E+0", TFormatKind::Custom}, // literals
        {&English, "0.0 'm'", TFormatKind::Custom},
        {&English, "#,##0.00;(#,##0.00)", TFormatKind::Custom},
        {&English, "0.0#", TFormatKind::Custom},
        {&English, "%0.0", TFormatKind::Custom},
        {&English, "ddd mm ss", TFormatKind::Geographic},
        {&English, "dd-mm-yyyy", TFormatKind::Date},
        {&DecimalComma, "#.##0,0%", TFormatKind::Number},
        {&DecimalComma, "#.###", TFormatKind::Number},
        {&DecimalComma, "\u20AC#.##0,00", TFormatKind::Number},
        {&DecimalComma, "#.##0,00 \u20AC", TFormatKind::Custom},
        {&DecimalComma, "0,00E+00", TFormatKind::Custom},
        {&DecimalComma, "#,###", TFormatKind::Number}, // three optional decimals here
    };
    for (const TRow& row : rows) {
        const QString format = QString::fromUtf8(row.Format);
        TFormatKind opened = TFormatKind::Number;
        test::OnModal<TFormatEditor>([&opened](TFormatEditor& Editor) {
            opened = Editor.RBCustom->isChecked() ? TFormatKind::Custom
                     : Editor.RBDate->isChecked() ? TFormatKind::Date
                     : Editor.RBGeo->isChecked()  ? TFormatKind::Geographic
                                                  : TFormatKind::Number;
            QTest::mouseClick(Editor.BOk, Qt::LeftButton);
        });
        EXPECT_EQ(EditFormat(nullptr, format, true, *row.Locale), format) << row.Format;
        EXPECT_EQ(opened, row.Kind) << row.Format;
    }
}

TEST(FormatEditor, APercentageKeepsTheGroupingItWasOpenedWith)
{
    TFormatEditor editor(QStringLiteral("#,##0%"), false, English);
    editor.show();
    EXPECT_TRUE(editor.CBPercent->isChecked());
    EXPECT_TRUE(editor.CBThousands->isChecked());
    EXPECT_FALSE(editor.CBThousands->isEnabled());
    EXPECT_EQ(editor.Result(), QStringLiteral("#,##0%"));
    // Unticking the percent frees the grouping, which stays as it was.
    test::ClickNearLeftEdge(editor.CBPercent);
    EXPECT_TRUE(editor.CBThousands->isEnabled());
    EXPECT_EQ(editor.Result(), QStringLiteral("#,##0"));
}

TEST(FormatEditor, NoCurrencyToChooseWithoutTheUsersCurrencyText)
{
    const QLocale plain = QLocale::c();
    ASSERT_TRUE(plain.currencySymbol().isEmpty());
    TFormatEditor editor(QStringLiteral("0.00"), false, plain);
    editor.show();
    EXPECT_FALSE(editor.CBCurrency->isEnabled());
    EXPECT_TRUE(editor.CBThousands->isEnabled());
}

// The controls, set as a user may set them, build a format that opens the
// dialog again on the same controls, and OK there gives the format back.
void ExpectControlsReopenAsTheyWere()
{
    TFormatEditor editor(QStringLiteral("0"), false);
    const TFormatSymbols symbols = TFormatSymbols::FromLocale(QLocale());
    int failures = 0;
    for (int flags = 0; flags < 16; ++flags)
        for (int decimals : {0, 1, 3, 20})
            for (int fixed : {0, 1, 2, 3, 4, 20}) {
                editor.CBPercent->setChecked(flags & 1);
                editor.CBCurrency->setChecked(flags & 2);
                editor.CBThousands->setChecked(flags & 4);
                editor.CBFixedDecimals->setChecked(flags & 8);
                editor.UpDown1->setValue(decimals);
                editor.UpDown2->setValue(fixed);
                const QString format = editor.Result();
                TFormatEditor reopened(format, false);
                const bool same = reopened.RBInteger->isChecked() &&
                                  reopened.NumberChoice() == WrittenChoice(editor.NumberChoice(), symbols) &&
                                  reopened.Result() == format;
                if (!same && failures++ < 3)
                    ADD_FAILURE() << QLocale().name().toStdString() << ": " << format.toStdString();
            }
    EXPECT_EQ(failures, 0);
}

TEST(FormatEditor, ControlsBuildAFormatThatReopensOnTheSameControls)
{
    {
        test::TDefaultLocale english(English);
        ExpectControlsReopenAsTheyWere();
    }
    test::TDefaultLocale german(DecimalComma);
    ExpectControlsReopenAsTheyWere();
    // The grouping alone reads back as grouping, not as three decimals.
    TFormatEditor editor(QStringLiteral("0"), false);
    editor.show();
    editor.UpDown2->setValue(0);
    test::ClickNearLeftEdge(editor.CBThousands);
    EXPECT_EQ(editor.Result(), QStringLiteral("#.###"));
    TFormatEditor reopened(editor.Result(), false);
    EXPECT_TRUE(reopened.CBThousands->isChecked());
    EXPECT_EQ(reopened.UpDown1->value(), 0);
}

} // namespace
} // namespace lp
