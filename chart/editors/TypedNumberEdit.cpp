#include "chart/editors/TypedNumberEdit.h"

#include "chart/editors/EditorPage.h"
#include "chart/editors/axis/FormatEditor.h"

#include <QtCore/QPointer>
#include <QtCore/QRegularExpression>
#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// Text without the bidirectional marks (left-to-right, right-to-left,
// Arabic letter mark). Qt writes one before the signs of numbers in
// right-to-left locales ("\u200E-2,5E\u200E+6" in the Arabic of Algeria,
// Tunisia, Libya and Morocco) and refuses it when it reads them back; the
// marks only steer how the text is laid out, never what it says.
QString WithoutDirectionMarks(const QString& Text)
{
    QString text = Text;
    for (const char16_t mark : {u'\u200E', u'\u200F', u'\u061C'})
        text.remove(QChar(mark));
    return text;
}

} // namespace

std::optional<double> TypedReal(const QString& Text, const QLocale& Locale)
{
    const QString text = WithoutDirectionMarks(Text).trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = Locale.toDouble(text, &ok);
    // A point is a decimal point unless the locale groups digits with it.
    if (!ok && Locale.groupSeparator() != QStringLiteral(".")) {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::RejectGroupSeparator);
        value = c.toDouble(text, &ok);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

double ReadNumberOr(const QString& Text, double Old)
{
    return TypedReal(Text).value_or(Old);
}

bool IsTypedNumber(const QString& Text)
{
    return TypedReal(Text).has_value();
}

int RoundedForUpDown(double Value)
{
    if (std::isnan(Value))
        return 0;
    return static_cast<int>(std::clamp(std::round(Value), -2147483647.0, 2147483647.0));
}

QString NumberText(double Value, const QLocale& Locale)
{
    QLocale locale = Locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const double size = std::fabs(Value);
    const bool plain = Value == 0 || (size >= 1e-5 && size < 1e15) || !std::isfinite(Value);
    const QString shown = locale.toString(Value, plain ? 'f' : 'e', QLocale::FloatingPointShortest);
    if (!std::isfinite(Value) || TypedReal(shown, Locale) == Value)
        return shown;
    // Some locales write exponents, or signs, they do not read.
    for (const QString& other : {locale.toString(Value, 'f', QLocale::FloatingPointShortest),
                                 QLocale::c().toString(Value, plain ? 'f' : 'e', QLocale::FloatingPointShortest)})
        if (TypedReal(other, Locale) == Value)
            return other;
    return shown;
}

TFormatSettings NumberFormatSettings(const QLocale& Locale)
{
    const TFormatSymbols symbols = TFormatSymbols::FromLocale(Locale);
    return {symbols.Decimal, symbols.Thousand};
}

std::optional<double> ReadFormattedReal(const QString& Text, const TFormatSettings& Settings)
{
    if (Settings.DecimalSeparator == Settings.ThousandSeparator)
        return std::nullopt;
    // Made once for the separators last asked for (a grid asks per cell).
    thread_local QChar patternDecimal, patternThousand;
    thread_local QRegularExpression pattern;
    if (patternDecimal != Settings.DecimalSeparator || patternThousand != Settings.ThousandSeparator) {
        patternDecimal = Settings.DecimalSeparator;
        patternThousand = Settings.ThousandSeparator;
        pattern.setPattern(QStringLiteral("^([+-]?)([0-9]{1,3}(?:%1[0-9]{3})+|[0-9]*)(?:%2([0-9]*))?([eE][+-]?[0-9]+)?$")
                               .arg(QRegularExpression::escape(QString(patternThousand)),
                                    QRegularExpression::escape(QString(patternDecimal))));
    }
    const QRegularExpressionMatch match = pattern.match(WithoutDirectionMarks(Text).trimmed());
    if (!match.hasMatch() || (match.captured(2).isEmpty() && match.captured(3).isEmpty()))
        return std::nullopt;
    QString plain = match.captured(1) + match.captured(2).remove(Settings.ThousandSeparator);
    if (plain.isEmpty() || plain == QLatin1String("-") || plain == QLatin1String("+"))
        plain += QLatin1Char('0');
    plain += QLatin1Char('.') + match.captured(3) + QLatin1Char('0') + match.captured(4);
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

TTypedNumberValidator::TTypedNumberValidator(std::function<QString()> Shown, QObject* Parent)
    : QValidator(Parent), FShown(std::move(Shown))
{
}

QValidator::State TTypedNumberValidator::validate(QString& Input, int&) const
{
    return IsTypedNumber(Input) ? Acceptable : Intermediate;
}

void TTypedNumberValidator::fixup(QString& Input) const
{
    if (FShown)
        Input = FShown();
}

void SetTypedNumberValidator(QLineEdit* Edit, std::function<QString()> Shown)
{
    Edit->setValidator(new TTypedNumberValidator(std::move(Shown), Edit));
}

namespace {

void BindTypedNumber(TEditorPage& Page, QLineEdit* Edit, std::function<std::optional<double>()> Read,
                     std::function<void(double)> Write, std::function<QString(double)> Text, bool Field)
{
    if (!Text)
        Text = [](double Value) { return NumberText(Value); };
    auto shown = [Read, Text]() -> QVariant {
        const std::optional<double> value = Read();
        return value ? QVariant(Text(*value)) : QVariant();
    };
    // Left while its page is being destroyed, the field keeps its text:
    // the page's reading may reach parts already gone.
    SetTypedNumberValidator(Edit, [shown, Edit, editing = QPointer<QObject>(Page.EditingContext())] {
        return editing ? shown().toString() : Edit->text();
    });
    auto store = [Read, Write](const QVariant& Value) {
        const std::optional<double> typed = TypedReal(Value.toString());
        if (typed && Read())
            Write(*typed);
    };
    if (Field)
        Page.Binder().BindField(Edit, shown, store);
    else
        Page.Binder().Bind(Edit, shown, store);
}

} // namespace

void BindNumberEdit(TEditorPage& Page, QLineEdit* Edit, std::function<std::optional<double>()> Read,
                    std::function<void(double)> Write, std::function<QString(double)> Text)
{
    BindTypedNumber(Page, Edit, std::move(Read), std::move(Write), std::move(Text), false);
}

void BindNumberField(TEditorPage& Page, QLineEdit* Edit, std::function<std::optional<double>()> Read,
                     std::function<void(double)> Write)
{
    BindTypedNumber(Page, Edit, std::move(Read), std::move(Write), {}, true);
}

} // namespace lp
