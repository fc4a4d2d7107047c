#include "chart/editors/ClampingSpinBox.h"

#include <algorithm>

namespace lp {

namespace {

// More digits than any int has: the sign alone decides the end.
constexpr int SaturatingDigits = 12;

} // namespace

std::optional<int> TClampingSpinBox::ClampedWholeNumber(const QString& Text, int Min, int Max)
{
    QString digits = Text.trimmed();
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
        negative = digits.front() == QLatin1Char('-');
        digits.remove(0, 1);
    }
    if (digits.isEmpty() || !std::all_of(digits.begin(), digits.end(), [](QChar C) {
            return C >= QLatin1Char('0') && C <= QLatin1Char('9');
        }))
        return std::nullopt;
    while (digits.size() > 1 && digits.front() == QLatin1Char('0'))
        digits.remove(0, 1);
    long long value = 0;
    if (digits.size() > SaturatingDigits)
        value = negative ? static_cast<long long>(Min) - 1 : static_cast<long long>(Max) + 1;
    else
        value = (negative ? -1 : 1) * digits.toLongLong();
    return static_cast<int>(std::clamp<long long>(value, Min, Max));
}

QValidator::State TClampingSpinBox::validate(QString& Text, int& Pos) const
{
    const QValidator::State state = QSpinBox::validate(Text, Pos);
    if (state != QValidator::Invalid)
        return state;
    const QString number = WithoutAffixes(Text).trimmed();
    if (number == QLatin1String("-") || number == QLatin1String("+") ||
        ClampedWholeNumber(number, minimum(), maximum()))
        return QValidator::Intermediate;
    return QValidator::Invalid;
}

void TClampingSpinBox::fixup(QString& Text) const
{
    if (const std::optional<int> value = ClampedWholeNumber(WithoutAffixes(Text), minimum(), maximum()))
        Text = prefix() + textFromValue(*value) + suffix();
    else
        QSpinBox::fixup(Text);
}

QString TClampingSpinBox::WithoutAffixes(const QString& Text) const
{
    QString number = Text;
    if (!prefix().isEmpty() && number.startsWith(prefix()))
        number.remove(0, prefix().size());
    if (!suffix().isEmpty() && number.endsWith(suffix()))
        number.chop(suffix().size());
    return number;
}

} // namespace lp
