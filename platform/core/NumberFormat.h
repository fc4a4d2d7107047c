#pragma once
// Number and message formatting as the chart engine's texts use it.
//
// FormatFloat follows the picture grammar of value formats such as
// "#,##0.###", "##0.## %" or "0.00E+00": up to three sections separated by
// ';' (positive, negative, zero); '0' a forced digit, '#' an optional one,
// the first '.' the decimal point, a ',' in the integer part turns on digit
// grouping; "E+", "E-", "e+", "e-" followed by '0's an exponent ('+' always
// shows the exponent's sign, '-' only when negative); text in single or
// double quotes, and every other character, is copied. Values round half
// away from zero at the shown decimals.
//
// Format fills "%d", "%s", "%.2f", "%x", "%-8s", "%0:s" style patterns from
// a list of values. Widths and precisions above 1024 count as 1024 (and
// the decimals of a real at most 18), so no pattern pads or builds a
// picture beyond that.
//
// Neither depends on the process locale: separators come from the settings
// passed in (a point and a comma by default).

#include "platform/base/Exception.h"

#include <QtCore/QString>
#include <QtCore/QVariant>
#include <QtCore/QVariantList>

namespace lp {

struct TFormatSettings {
    QChar DecimalSeparator = QLatin1Char('.');
    QChar ThousandSeparator = QLatin1Char(',');
};

QString FormatFloat(const QString& format, double value, const TFormatSettings& settings = {});

// Raises EConvertError "Format '<pattern>' invalid or incompatible with
// argument" when a value does not suit its specifier or is missing.
QString Format(const QString& pattern, const QVariantList& args, const TFormatSettings& settings = {});

} // namespace lp
