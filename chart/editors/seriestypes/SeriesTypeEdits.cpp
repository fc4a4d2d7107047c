#include "chart/editors/seriestypes/SeriesTypeEdits.h"

#include <QtCore/QLocale>
#include <QtWidgets/QLineEdit>

#include <cmath>

namespace lp {

QString RealText(double Value)
{
    return QLocale::c().toString(Value, 'g', QLocale::FloatingPointShortest);
}

namespace {

// Marks the edit whose typing is being written.
constexpr char TypingProperty[] = "TypingReal";

} // namespace

void ShowReal(QLineEdit* Edit, double Value)
{
    if (Edit->property(TypingProperty).toBool())
        return;
    const QString text = RealText(Value);
    if (Edit->text() != text)
        Edit->setText(text);
}

void ConnectRealEdit(TEditorPage& Page, QLineEdit* Edit, std::function<bool(double)> Write)
{
    QObject::connect(Edit, &QLineEdit::textEdited, &Page, [&Page, Edit, Write] {
        if (!Page.CanWrite())
            return;
        if (const std::optional<double> value = TypedReal(Edit->text()); value && Write(*value)) {
            // The other controls show the change; this one keeps its text.
            Edit->setProperty(TypingProperty, true);
            Page.AfterUserChange(Edit);
            Edit->setProperty(TypingProperty, false);
        }
    });
}

} // namespace lp
