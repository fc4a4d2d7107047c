#pragma once
// Numbers typed into plain edits: a text that is not (yet) a number keeps
// the value it was to replace, with no message, until it is one.

#include "platform/core/NumberFormat.h"

#include <QtCore/QLocale>
#include <QtGui/QValidator>

#include <functional>
#include <optional>

class QLineEdit;

namespace lp {

class TEditorPage;

// The number Text holds in the notation of Locale (the user's by default):
// its decimal separator, its digit grouping, an exponent. The C notation (a
// point, no grouping) is read as well where it cannot mean anything else,
// that is in a locale that groups digits with no point ("0.5" in French;
// in German "1.125" is 1125). Bidirectional marks (U+200E, U+200F, U+061C),
// which Qt writes before signs in right-to-left locales, are ignored.
// Nothing for an empty, half-typed or non-finite text. The one reading of
// typed numbers every editor uses, so a field reads numbers in the locale
// it shows them in.
std::optional<double> TypedReal(const QString& Text, const QLocale& Locale = QLocale());
// The number Text holds, or Old when it holds none (empty, "-", "abc").
double ReadNumberOr(const QString& Text, double Old);
bool IsTypedNumber(const QString& Text);
// Value rounded for an up-down, held within the int range (NaN shows 0).
int RoundedForUpDown(double Value);
// The text a number is shown with in an edit: in Locale's notation without
// grouping, with the fewest digits that read back (TypedReal) as exactly
// Value; plain decimals from 1e-5 to 1e15, an exponent outside them (plain
// decimals, or the C notation, where the locale's own exponent form does
// not read back).
QString NumberText(double Value, const QLocale& Locale = QLocale());
// The separators FormatFloat writes numbers with in Locale.
TFormatSettings NumberFormatSettings(const QLocale& Locale);
// A number as FormatFloat writes it with Settings: a sign, digits grouped
// in threes by the thousand separator (or not grouped), the decimal
// separator and digits, an exponent (bidirectional marks ignored, as
// TypedReal ignores them); nothing for any other text.
std::optional<double> ReadFormattedReal(const QString& Text, const TFormatSettings& Settings);

// Accepts any typing; only a complete number is acceptable input, so a
// page's binder applies nothing meanwhile. Leaving the edit with a text
// that is no number shows the value kept (Shown) again.
class TTypedNumberValidator : public QValidator {
    Q_OBJECT
public:
    TTypedNumberValidator(std::function<QString()> Shown, QObject* Parent);

    State validate(QString& Input, int& Pos) const override;
    void fixup(QString& Input) const override;

private:
    std::function<QString()> FShown;
};

// Gives Edit a typed-number validator whose kept text is what Shown says.
void SetTypedNumberValidator(QLineEdit* Edit, std::function<QString()> Shown);

// Binds Edit on Page to a number Read and Write reach: each complete number
// typed is written, a text that is no number (yet) writes nothing and shows
// no message, and leaving it so shows the kept value again. Read gives
// nothing while there is none to edit (the edit is then left as it is);
// the number is shown as Text makes it (NumberText when none is given).
// Every call is tied to Page's editing context: none runs once the page is
// being destroyed.
void BindNumberEdit(TEditorPage& Page, QLineEdit* Edit, std::function<std::optional<double>()> Read,
                    std::function<void(double)> Write, std::function<QString(double)> Text = {});
// The same for a field of the target: Write stores the number without the
// target's writer (no repaint), as the binder's field bindings do.
void BindNumberField(TEditorPage& Page, QLineEdit* Edit, std::function<std::optional<double>()> Read,
                     std::function<void(double)> Write);

} // namespace lp
