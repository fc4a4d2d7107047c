#pragma once
// Numbers typed into plain edits: a text that is not (yet) a number keeps
// the value it was to replace, with no message, until it is one.

#include <QtGui/QValidator>

#include <functional>
#include <optional>

class QLineEdit;

namespace lp {

class TEditorPage;

// The number Text holds (in the C notation numbers are shown in, else the
// user's), or nothing for an empty, half-typed or non-finite text. The one
// reading of typed numbers every editor page uses.
std::optional<double> TypedReal(const QString& Text);
// The number Text holds, or Old when it holds none (empty, "-", "abc").
double ReadNumberOr(const QString& Text, double Old);
bool IsTypedNumber(const QString& Text);
// Value rounded for an up-down, held within the int range (NaN shows 0).
int RoundedForUpDown(double Value);
// The text a number is shown with in an edit.
QString NumberText(double Value);

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
void BindNumberEdit(TEditorPage& Page, QLineEdit* Edit, std::function<std::optional<double>()> Read,
                    std::function<void(double)> Write, std::function<QString(double)> Text = {});
// The same for a field of the target: Write stores the number without the
// target's writer (no repaint), as the binder's field bindings do.
void BindNumberField(TEditorPage& Page, QLineEdit* Edit, std::function<std::optional<double>()> Read,
                     std::function<void(double)> Write);

} // namespace lp
