// The value format editor's reading of a format text into its controls.
// Byte 0 picks the user's locale (separators and currency text), byte 1's
// low four bits and bytes 2 and 3 (taken modulo 21) are a choice of the
// number controls, the rest is the format text. A text read as a number
// format is the one its controls write back, and reads back the same; the
// format written from the choice reads back as that choice.

#include "fuzz/FuzzSupport.h"

#include "chart/editors/axis/FormatEditor.h"

#include <QtCore/QLocale>

#include <array>

namespace {

// The locales the input chooses from: a point and a comma as decimal
// separator, spaces, apostrophes and Arabic separators as grouping, and
// currency texts holding a separator or none at all.
struct TUserLocale {
    lp::TFormatSymbols Symbols;
    QStringList DateChoices;
};

const std::array<TUserLocale, 8>& UserLocales()
{
    static const std::array<TUserLocale, 8> locales = [] {
        const QLocale pick[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                                QLocale(QLocale::German, QLocale::Germany),
                                QLocale(QLocale::French, QLocale::France),
                                QLocale(QLocale::German, QLocale::Switzerland),
                                QLocale(QLocale::Danish, QLocale::Denmark),
                                QLocale(QLocale::Arabic, QLocale::Egypt),
                                QLocale(QLocale::Hindi, QLocale::India),
                                QLocale::c()};
        std::array<TUserLocale, 8> made;
        for (size_t i = 0; i < made.size(); ++i)
            made[i] = {lp::TFormatSymbols::FromLocale(pick[i]), lp::DateFormatChoices(pick[i])};
        return made;
    }();
    return locales;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 4)
        return 0;
    const TUserLocale& user = UserLocales()[Data[0] % UserLocales().size()];
    const QStringList geographic = lp::GeographicFormatChoices();
    const auto parse = [&](const QString& Format) {
        return lp::ParseValueFormat(Format, user.Symbols, user.DateChoices, geographic);
    };

    const QString format = lp::fuzz::Text(Data + 4, Size - 4);
    const lp::TParsedFormat read = parse(format);
    if (read.Kind == lp::TFormatKind::Number) {
        const lp::TNumberFormatChoice& number = read.Number;
        lp::fuzz::Require(number.Decimals >= 0 && number.Decimals <= 20 && number.FixedDigits >= 0 &&
                              number.FixedDigits <= 20,
                          "the counters read stay within the dialog's ranges");
        const QString written = lp::BuildNumberFormat(number, user.Symbols);
        lp::fuzz::Require(written == format, "a number format is written back as it was read");
        const lp::TParsedFormat again = parse(written);
        lp::fuzz::Require(again.Kind == lp::TFormatKind::Number && again.Number == number,
                          "the format written from the controls reads back as the same controls");
    }

    const lp::TNumberFormatChoice choice{bool(Data[1] & 1), bool(Data[1] & 2), bool(Data[1] & 4),
                                         bool(Data[1] & 8), Data[2] % 21,       Data[3] % 21};
    const lp::TParsedFormat built = parse(lp::BuildNumberFormat(choice, user.Symbols));
    lp::fuzz::Require(built.Kind == lp::TFormatKind::Number &&
                          built.Number == lp::WrittenChoice(choice, user.Symbols),
                      "a choice of the controls reads back from its format");
    return 0;
}
