// Typed numbers read in the locale they are shown in: decimal commas, the
// C notation only where a point means nothing else, texts that read back
// exactly, and a bound field on a page typed into as a user does.

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

} // namespace
} // namespace lp
