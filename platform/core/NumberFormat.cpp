#include "platform/core/NumberFormat.h"

#include <QtCore/QStringList>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace lp {

namespace {

// The three sections of a picture, split at ';' outside quotes.
QStringList Sections(const QString& format)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : format) {
        if (!quote.isNull()) {
            current += c;
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
            current += c;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

// What a picture section asks for.
struct TPicture {
    int IntegerForced = 0;   // '0's before the point
    int IntegerPlaces = 0;   // '0's and '#'s before the point
    int DecimalForced = 0;   // '0's after the point
    int DecimalPlaces = 0;   // '0's and '#'s after the point
    bool Grouping = false;
    bool Scientific = false;
    bool ExponentPlus = false;
    int ExponentDigits = 0;
    bool HasDigits = false;
};

bool IsExponentAt(const QString& s, int i)
{
    return (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e')) && i + 1 < s.size() &&
           (s[i + 1] == QLatin1Char('+') || s[i + 1] == QLatin1Char('-'));
}

TPicture Analyse(const QString& section)
{
    TPicture picture;
    bool afterPoint = false;
    QChar quote;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (picture.Scientific) {
            continue;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            picture.HasDigits = true;
            if (afterPoint) {
                ++picture.DecimalPlaces;
                if (c == QLatin1Char('0'))
                    picture.DecimalForced = picture.DecimalPlaces;
            } else {
                ++picture.IntegerPlaces;
                if (c == QLatin1Char('0'))
                    ++picture.IntegerForced;
            }
        } else if (c == QLatin1Char('.')) {
            afterPoint = true;
        } else if (c == QLatin1Char(',') && !afterPoint) {
            picture.Grouping = true;
        } else if (IsExponentAt(section, i) && picture.HasDigits) {
            picture.Scientific = true;
            picture.ExponentPlus = section[i + 1] == QLatin1Char('+');
            int j = i + 2;
            while (j < section.size() && section[j] == QLatin1Char('0')) {
                ++picture.ExponentDigits;
                ++j;
            }
        }
    }
    return picture;
}

// |value| as decimal digits rounded half away from zero at the decimals.
void Digits(double magnitude, int decimals, QString& integerPart, QString& fractionPart)
{
    // Round on the shortest exact decimal form, so 0.125 at two decimals
    // gives 0.13 and not a binary artefact.
    char buffer[400];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed);
    QString text = QString::fromLatin1(buffer, written.ptr - buffer);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    QString whole = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    if (fraction.size() > decimals) {
        const bool roundUp = fraction[decimals] >= QLatin1Char('5');
        fraction.truncate(decimals);
        if (roundUp) {
            QString all = whole + fraction;
            int i = static_cast<int>(all.size()) - 1;
            while (i >= 0 && all[i] == QLatin1Char('9')) {
                all[i] = QLatin1Char('0');
                --i;
            }
            if (i < 0)
                all.prepend(QLatin1Char('1'));
            else
                all[i] = QChar(all[i].unicode() + 1);
            whole = all.left(all.size() - decimals);
            fraction = all.right(decimals);
        }
    }
    while (fraction.size() < decimals)
        fraction += QLatin1Char('0');
    integerPart = whole == QLatin1String("0") ? QString() : whole;
    fractionPart = fraction;
}

QString Grouped(const QString& digits, QChar separator)
{
    QString result;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            result += separator;
        result += digits[i];
    }
    return result;
}

// Fills the section's placeholders with the number's text.
QString Render(const QString& section, const TPicture& picture, double magnitude, const TFormatSettings& settings)
{
    int exponent = 0;
    if (picture.Scientific && magnitude != 0.0) {
        const int integerDigits = std::max(picture.IntegerPlaces, 1);
        exponent = static_cast<int>(std::floor(std::log10(magnitude))) - (integerDigits - 1);
        magnitude /= std::pow(10.0, exponent);
        // Rounding may carry into one more integer digit.
        QString whole, fraction;
        Digits(magnitude, picture.DecimalPlaces, whole, fraction);
        if (whole.size() > integerDigits) {
            ++exponent;
            magnitude /= 10.0;
        }
    }
    QString whole, fraction;
    Digits(magnitude, picture.DecimalPlaces, whole, fraction);
    while (fraction.size() > picture.DecimalForced && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    while (whole.size() < picture.IntegerForced)
        whole.prepend(QLatin1Char('0'));
    if (picture.Grouping)
        whole = Grouped(whole, settings.ThousandSeparator);

    QString result;
    bool integerWritten = false;
    bool afterPoint = false;
    int fractionIndex = 0;
    QChar quote;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                result += c;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && !afterPoint) {
            if (!integerWritten) {
                result += whole; // every integer digit at the first placeholder
                integerWritten = true;
            }
        } else if (c == QLatin1Char(',') && !afterPoint) {
            // grouping is applied to the digits
        } else if (c == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
            if (!integerWritten) {
                result += whole;
                integerWritten = true;
            }
            if (!fraction.isEmpty())
                result += settings.DecimalSeparator;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && afterPoint) {
            if (fractionIndex < fraction.size())
                result += fraction[fractionIndex];
            ++fractionIndex;
        } else if (picture.Scientific && IsExponentAt(section, i)) {
            result += c;
            if (exponent < 0)
                result += QLatin1Char('-');
            else if (picture.ExponentPlus)
                result += QLatin1Char('+');
            QString digits = QString::number(std::abs(exponent));
            while (digits.size() < picture.ExponentDigits)
                digits.prepend(QLatin1Char('0'));
            result += digits;
            i += 1 + picture.ExponentDigits;
        } else {
            result += c;
        }
    }
    return result;
}

QString GeneralFormat(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return QString::fromLatin1(buffer);
}

} // namespace

QString FormatFloat(const QString& format, double value, const TFormatSettings& settings)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (format.isEmpty())
        return GeneralFormat(value).replace(QLatin1Char('.'), settings.DecimalSeparator);
    const QStringList sections = Sections(format);
    const QString& positive = sections[0];
    const TPicture first = Analyse(positive);

    // A value that rounds to zero at the positive picture's decimals is zero.
    QString wholeDigits, fractionDigits;
    Digits(std::fabs(value), first.Scientific ? 15 : first.DecimalPlaces, wholeDigits, fractionDigits);
    const bool roundsToZero = wholeDigits.isEmpty() && fractionDigits.count(QLatin1Char('0')) == fractionDigits.size();

    if (roundsToZero && sections.size() >= 3 && !sections[2].isEmpty())
        return Render(sections[2], Analyse(sections[2]), 0.0, settings);
    if (value < 0 && !roundsToZero) {
        if (sections.size() >= 2 && !sections[1].isEmpty())
            return Render(sections[1], Analyse(sections[1]), -value, settings);
        return QLatin1Char('-') + Render(positive, first, -value, settings);
    }
    return Render(positive, first, roundsToZero ? 0.0 : std::fabs(value), settings);
}

// --- Format -------------------------------------------------------------------------------

namespace {

// Width and precision of a format specifier are capped: a pattern cannot
// ask for more padding, zero digits or decimals than this.
constexpr int FormatFieldCap = 1024;
constexpr int MaxFloatPrecision = 18;

[[noreturn]] void BadFormat(const QString& pattern)
{
    throw EConvertError(FormatText("Format '%s' invalid or incompatible with argument", {pattern.toStdString()}));
}

QString Padded(const QString& text, int width, bool left)
{
    if (width <= text.size())
        return text;
    const QString fill(width - text.size(), QLatin1Char(' '));
    return left ? text + fill : fill + text;
}

} // namespace

QString Format(const QString& pattern, const QVariantList& args, const TFormatSettings& settings)
{
    QString result;
    int next = 0;
    for (int i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != QLatin1Char('%')) {
            result += pattern[i];
            continue;
        }
        if (++i >= pattern.size())
            BadFormat(pattern);
        if (pattern[i] == QLatin1Char('%')) {
            result += QLatin1Char('%');
            continue;
        }
        // [index:] [-] [width] [.precision] type
        // Digits saturate above the cap, so no run of digits overflows.
        auto number = [&]() {
            int value = -1;
            while (i < pattern.size() && pattern[i].isDigit()) {
                value = std::min(std::max(value, 0) * 10 + pattern[i].digitValue(), FormatFieldCap + 1);
                ++i;
            }
            return value;
        };
        int start = i;
        int index = number();
        if (i < pattern.size() && pattern[i] == QLatin1Char(':')) {
            next = index;
            ++i;
        } else {
            i = start;
        }
        const bool left = i < pattern.size() && pattern[i] == QLatin1Char('-');
        if (left)
            ++i;
        const int width = std::min(number(), FormatFieldCap);
        int precision = -1;
        if (i < pattern.size() && pattern[i] == QLatin1Char('.')) {
            ++i;
            precision = std::min(std::max(number(), 0), FormatFieldCap);
        }
        if (i >= pattern.size() || next >= args.size() || next < 0)
            BadFormat(pattern);
        const QChar type = pattern[i].toLower();
        const QVariant& arg = args[next++];
        QString text;
        bool ok = true;
        switch (type.unicode()) {
        case 'd': {
            if (arg.typeId() == QMetaType::Double || arg.typeId() == QMetaType::QString)
                BadFormat(pattern);
            const qlonglong v = arg.toLongLong(&ok);
            // The magnitude unsigned: the smallest value has no positive twin.
            text = QString::number(v < 0 ? 0 - static_cast<qulonglong>(v) : static_cast<qulonglong>(v));
            while (precision > 0 && text.size() < precision)
                text.prepend(QLatin1Char('0'));
            if (v < 0)
                text.prepend(QLatin1Char('-'));
            break;
        }
        case 'u': {
            const qulonglong v = arg.toULongLong(&ok);
            text = QString::number(v);
            break;
        }
        case 'x': {
            if (arg.typeId() == QMetaType::Double || arg.typeId() == QMetaType::QString)
                BadFormat(pattern);
            text = QString::number(arg.toULongLong(&ok), 16).toUpper();
            while (precision > 0 && text.size() < precision)
                text.prepend(QLatin1Char('0'));
            break;
        }
        case 's':
            if (arg.typeId() != QMetaType::QString && arg.typeId() != QMetaType::QChar)
                BadFormat(pattern);
            text = arg.toString();
            if (precision >= 0)
                text.truncate(precision);
            break;
        case 'f':
        case 'n':
        case 'e':
        case 'g': {
            const double v = arg.toDouble(&ok);
            // A double has no more digits to show.
            precision = std::min(precision, MaxFloatPrecision);
            if (type == QLatin1Char('f'))
                text = FormatFloat(QStringLiteral("0.") + QString(std::max(precision < 0 ? 2 : precision, 0), QLatin1Char('0')), v, settings);
            else if (type == QLatin1Char('n'))
                text = FormatFloat(QStringLiteral("#,##0.") + QString(std::max(precision < 0 ? 2 : precision, 0), QLatin1Char('0')), v, settings);
            else if (type == QLatin1Char('e'))
                text = FormatFloat(QStringLiteral("0.") + QString(std::max((precision < 0 ? 15 : precision) - 1, 0), QLatin1Char('0')) + QStringLiteral("E+000"), v, settings);
            else
                text = GeneralFormat(v).replace(QLatin1Char('.'), settings.DecimalSeparator);
            if (text.endsWith(QLatin1Char('.')) || text.endsWith(settings.DecimalSeparator))
                text.chop(1);
            break;
        }
        default:
            BadFormat(pattern);
        }
        if (!ok)
            BadFormat(pattern);
        result += Padded(text, width, left);
    }
    return result;
}

} // namespace lp
