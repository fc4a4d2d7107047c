// The number format's reading and building as a table, and the "Numeric
// Format" dialog driven by the user.

#include "chart/editors/axis/FormatEditor.h"

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

namespace lp {
namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);

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
    EXPECT_EQ(Parse(QStringLiteral("0.0 m")).Kind, TFormatKind::Custom);
    EXPECT_EQ(Parse(QStringLiteral("00e-0")).Kind, TFormatKind::Custom);
}

TEST(FormatEditor, TheUsersSeparatorsBuildTheGroupingButTheLiteralKeepsItsComma)
{
    const TFormatSymbols german = TFormatSymbols::FromLocale(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_EQ(german.Decimal, QLatin1Char(','));
    ASSERT_EQ(german.Thousand, QLatin1Char('.'));
    EXPECT_EQ(BuildNumberFormat({false, false, true, true, 2, 1}, german), QStringLiteral("#.##0,00"));
    EXPECT_EQ(BuildNumberFormat({false, false, true, false, 0, 0}, german), QStringLiteral("#,###"));
    EXPECT_EQ(Parse(QStringLiteral("#.##0,00"), german).Number, (TNumberFormatChoice{false, false, true, true, 2, 1}));
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

} // namespace
} // namespace lp
