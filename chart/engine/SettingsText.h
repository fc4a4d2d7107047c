#pragma once
// The words the settings texts of the chart (appearance, series settings)
// are made of: whole numbers, flags as 0 and 1, and texts whose blanks are
// written as stars so that a text is one word.

#include <QtCore/QString>

namespace lp {

inline QString IntText(long long Value)
{
    return QString::number(Value);
}

inline QString BoolText(bool Value)
{
    return Value ? QStringLiteral("1") : QStringLiteral("0");
}

inline QString BlanksToStars(QString Text)
{
    return Text.replace(QLatin1Char(' '), QLatin1Char('*'));
}

inline QString StarsToBlanks(QString Text)
{
    return Text.replace(QLatin1Char('*'), QLatin1Char(' '));
}

} // namespace lp
