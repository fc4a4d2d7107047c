// Typed numbers read in the locale they are shown in: decimal commas, the
// C notation only where a point means nothing else, texts that read back
// exactly, the direction marks Qt writes before signs in right-to-left
// locales, and a bound field on a page typed into as a user does.

#include "chart/editors/TypedNumberEdit.h"

#include "EditorTestSupport.h"
#include "chart/editors/EditorPage.h"
#include "chart/editors/EditorPageBuilder.h"

#include <QtCore/QLocale>
#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace lp {
namespace {

using test::DutchLocale;
using test::EnglishLocale;
using test::FrenchLocale;
using test::GermanLocale;
using test::RussianLocale;

struct TTypedCase {
    const QLocale& Locale;
    const char* Text;
    std::optional<double> Read;
};

// Decimal commas were read as grouping ("0,125" became 125, "-0,001" -1)
// because every field tried the C notation first.
TEST(TypedReal, ReadsTheLocalesNotationAndTheCNotationOnlyWhereUnambiguous)
{
    const TTypedCase cases[] = {
        {GermanLocale(), "0,125", 0.125},     {GermanLocale(), "-0,001", -0.001},
        {GermanLocale(), "1.125", 1125},      {GermanLocale(), "1.234,5", 1234.5},
        {GermanLocale(), "0.5", std::nullopt}, // a German point groups digits
        {GermanLocale(), " 2,5E3 ", 2500},    {FrenchLocale(), "0,125", 0.125},
        {FrenchLocale(), "-0,001", -0.001},   {FrenchLocale(), "0.5", 0.5},
        {FrenchLocale(), "1,5.3", std::nullopt}, {DutchLocale(), "0,125", 0.125},
        {DutchLocale(), "-0,001", -0.001},    {DutchLocale(), "0.5", std::nullopt},
        {RussianLocale(), "0,125", 0.125},    {RussianLocale(), "-0,001", -0.001},
        {RussianLocale(), "0.5", 0.5},        {EnglishLocale(), "0.125", 0.125},
        {EnglishLocale(), "1,250.5", 1250.5}, {EnglishLocale(), "-1e-9", -1e-9},
    };
    for (const TTypedCase& c : cases)
        EXPECT_EQ(TypedReal(QString::fromLatin1(c.Text), c.Locale), c.Read)
            << c.Locale.name().toStdString() << " " << c.Text;
    for (const QLocale* locale : {&GermanLocale(), &FrenchLocale(), &DutchLocale(), &RussianLocale(), &EnglishLocale()})
        for (const char* none : {"", " ", "-", ",", "1e", "abc", "inf", "nan", "1e999"})
            EXPECT_EQ(TypedReal(QString::fromLatin1(none), *locale), std::nullopt)
                << locale->name().toStdString() << " " << none;
}

TEST(NumberText, ShowsTheLocalesNotationWithDigitsThatReadBackExactly)
{
    EXPECT_EQ(NumberText(0.125, GermanLocale()), QStringLiteral("0,125"));
    EXPECT_EQ(NumberText(-0.001, RussianLocale()), QStringLiteral("-0,001"));
    EXPECT_EQ(NumberText(1234567.5, GermanLocale()), QStringLiteral("1234567,5")); // no grouping
    EXPECT_EQ(NumberText(1e6, EnglishLocale()), QStringLiteral("1000000"));
    EXPECT_EQ(NumberText(0.1 + 0.2, EnglishLocale()), QStringLiteral("0.30000000000000004"));
    const double values[] = {0,       -0.0,   0.125,  -0.001, 12.5,   1125,  1.0 / 3, 0.1 + 0.2, 1e-5,
                             9.99e-6, 1e-300, 5e-324, 1e15,   9.99e14, 1e21,  -2.5e-7,
                             std::numeric_limits<double>::max()};
    for (const QLocale* locale : {&GermanLocale(), &FrenchLocale(), &DutchLocale(), &RussianLocale(), &EnglishLocale()})
        for (double value : values) {
            const QString text = NumberText(value, *locale);
            EXPECT_EQ(TypedReal(text, *locale), value) << locale->name().toStdString() << " " << text.toStdString();
        }
}

// A page with one number field bound to a plain double.
class TNumberFieldPage : public TEditorPage {
public:
    double Value = 1;
    QLineEdit* Edit;

    TNumberFieldPage()
    {
        TPageBuilder build(*this);
        Edit = TPageBuilder::Named(new QLineEdit(this), "ENumber");
        build.Row(QStringLiteral("&Number:"), Edit);
        BindNumberEdit(*this, Edit, [this] { return std::optional<double>(Value); },
                       [this](double Typed) { Value = Typed; });
    }
};

TEST(BindNumberEdit, AFieldReadsWhatIsTypedInTheLocaleItShows)
{
    const QLocale before;
    for (const QLocale* locale : {&GermanLocale(), &FrenchLocale(), &DutchLocale(), &RussianLocale()}) {
        test::TDefaultLocale user(*locale);
        QObject target;
        test::TShownPage<TNumberFieldPage> shown(&target);
        TNumberFieldPage& page = shown.Page;
        page.Value = 2.5;
        page.Refresh();
        EXPECT_EQ(page.Edit->text(), QStringLiteral("2,5")) << locale->name().toStdString();
        test::RetypeText(page.Edit, QStringLiteral("0,125"));
        EXPECT_EQ(page.Value, 0.125) << locale->name().toStdString();
        test::RetypeText(page.Edit, QStringLiteral("-0,001"));
        EXPECT_EQ(page.Value, -0.001) << locale->name().toStdString();
    }
    EXPECT_EQ(QLocale(), before);
}

// The Arabic locales whose numbers Qt writes in Latin digits with a decimal
// comma, a point grouping digits, and a left-to-right mark before each sign
// ("\u200E-214.789,73", "\u200E-2,14E\u200E+106").
std::vector<QLocale> MarkedSignLocales()
{
    return {QLocale(QLocale::Arabic, QLocale::Algeria), QLocale(QLocale::Arabic, QLocale::Tunisia),
            QLocale(QLocale::Arabic, QLocale::Libya), QLocale(QLocale::Arabic, QLocale::Morocco)};
}

// Qt writes a left-to-right mark before the signs of numbers in these
// locales and refuses it when it reads them, so a field showed a value it
// could not read back: the marks are ignored, wherever they stand.
TEST(TypedReal, IgnoresTheDirectionMarksQtWritesBeforeSigns)
{
    for (const QLocale& locale : MarkedSignLocales()) {
        const std::string name = locale.name().toStdString();
        ASSERT_EQ(locale.negativeSign(), QStringLiteral("\u200E-")) << name;
        EXPECT_EQ(TypedReal(QStringLiteral("\u200E-214789,73"), locale), -214789.73) << name;
        EXPECT_EQ(TypedReal(QStringLiteral("\u200E-2,14E\u200E+106"), locale), -2.14e106) << name;
        EXPECT_EQ(TypedReal(QStringLiteral("2,5E\u200E-7"), locale), 2.5e-7) << name;
        EXPECT_EQ(TypedReal(QStringLiteral("\u200E-1.234.567,5"), locale), -1234567.5) << name;
        EXPECT_EQ(TypedReal(QStringLiteral("\u200E+0,125"), locale), 0.125) << name;
        // The right-to-left and the Arabic letter marks are ignored too.
        EXPECT_EQ(TypedReal(QStringLiteral("\u200F-3,5"), locale), -3.5) << name;
        EXPECT_EQ(TypedReal(QStringLiteral("\u061C-3,5E\u061C+2"), locale), -350) << name;
        // As Qt writes them, grouped or not, plain or with an exponent.
        for (const double value : {-214789.73, -2.14e106, -2.14e-106, 2.14e106, -1234567.5, -0.001}) {
            for (const char format : {'f', 'e', 'g'}) {
                const QString text = locale.toString(value, format, QLocale::FloatingPointShortest);
                EXPECT_EQ(TypedReal(text, locale), value) << name << " " << text.toStdString();
            }
        }
        for (const QString& none : {QStringLiteral("\u200E"), QStringLiteral("\u200E-"), QStringLiteral("1E\u200E-"),
                                    QStringLiteral("\u200E-abc")})
            EXPECT_EQ(TypedReal(none, locale), std::nullopt) << name << " " << none.toStdString();
    }
}

TEST(NumberText, ReadsBackInLocalesThatMarkTheirSigns)
{
    EXPECT_EQ(NumberText(-214789.73, MarkedSignLocales().front()), QStringLiteral("\u200E-214789,73"));
    EXPECT_EQ(NumberText(-2.14e106, MarkedSignLocales().front()), QStringLiteral("\u200E-2,14E\u200E+106"));
    const double values[] = {0,       -0.0,     0.125,   -0.001,   -214789.73, 1125, 1.0 / 3, -(0.1 + 0.2),
                             1e-5,    -9.99e-6, 1e-300,  -5e-324,  1e15,       -9.99e14, 1e21, -2.5e-7,
                             -2.14e106, std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
    for (const QLocale& locale : MarkedSignLocales())
        for (const double value : values) {
            const QString text = NumberText(value, locale);
            EXPECT_EQ(TypedReal(text, locale), value) << locale.name().toStdString() << " " << text.toStdString();
        }
}

TEST(ReadFormattedReal, IgnoresTheDirectionMarksBeforeSigns)
{
    for (const QLocale& locale : MarkedSignLocales()) {
        const std::string name = locale.name().toStdString();
        const TFormatSettings settings = NumberFormatSettings(locale);
        EXPECT_EQ(ReadFormattedReal(QStringLiteral("\u200E-1.234.567,5"), settings), -1234567.5) << name;
        EXPECT_EQ(ReadFormattedReal(QStringLiteral("\u200E-2,14E\u200E+106"), settings), -2.14e106) << name;
        EXPECT_EQ(ReadFormattedReal(QStringLiteral("\u200E-"), settings), std::nullopt) << name;
    }
}

TEST(TTypedNumberValidator, AcceptsNumbersWithMarkedSigns)
{
    for (const QLocale& locale : MarkedSignLocales()) {
        test::TDefaultLocale user(locale);
        const TTypedNumberValidator validator({}, nullptr);
        int position = 0;
        for (QString text : {QStringLiteral("\u200E-214789,73"), QStringLiteral("\u200E-2,14E\u200E+106"),
                             QStringLiteral("\u200E-1.234.567,5")})
            EXPECT_EQ(validator.validate(text, position), QValidator::Acceptable) << text.toStdString();
        for (QString text : {QStringLiteral("\u200E"), QStringLiteral("\u200E-"), QStringLiteral("\u200E-2,14E\u200E+")})
            EXPECT_EQ(validator.validate(text, position), QValidator::Intermediate) << text.toStdString();
    }
}

// Types Text into Edit key by key, replacing what it shows, as a keyboard
// does that types the direction marks too (they come as keys Qt does not
// name, carrying their character).
void RetypeMarkedText(QLineEdit* Edit, const QString& Text)
{
    Edit->setFocus();
    Edit->selectAll();
    QTest::keyClick(Edit, Qt::Key_Delete);
    for (const QChar character : Text) {
        const Qt::Key key = character.unicode() < 128 ? Qt::Key(character.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, Edit, key, QString(character), Qt::NoModifier);
    }
}

// A bound field showed a negative number with the mark before its sign and
// refused to read it back: shown, it is acceptable input, typing on from
// it writes, and a number typed with the marks is read.
TEST(BindNumberEdit, AFieldReadsBackTheSignsItShowsInLocalesThatMarkThem)
{
    for (const QLocale& locale : MarkedSignLocales()) {
        const std::string name = locale.name().toStdString();
        test::TDefaultLocale user(locale);
        QObject target;
        test::TShownPage<TNumberFieldPage> shown(&target);
        TNumberFieldPage& page = shown.Page;
        page.Value = -214789.73;
        page.Refresh();
        EXPECT_EQ(page.Edit->text(), QStringLiteral("\u200E-214789,73")) << name;
        EXPECT_TRUE(page.Edit->hasAcceptableInput()) << name;
        page.Edit->setFocus();
        QTest::keyClick(page.Edit, Qt::Key_End);
        QTest::keyClicks(page.Edit, QStringLiteral("5"));
        EXPECT_EQ(page.Value, -214789.735) << name;
        RetypeMarkedText(page.Edit, QStringLiteral("\u200E-2,14E\u200E+106"));
        EXPECT_EQ(page.Edit->text(), QStringLiteral("\u200E-2,14E\u200E+106")) << name;
        EXPECT_EQ(page.Value, -2.14e106) << name;
    }
}

} // namespace
} // namespace lp
