#include "chart/editors/TypedNumberEdit.h"

#include "chart/editors/EditorPage.h"

#include <QtCore/QLocale>

#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <cmath>

namespace lp {

std::optional<double> TypedReal(const QString& Text)
{
    const QString text = Text.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        value = QLocale().toDouble(text, &ok);
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

QString NumberText(double Value)
{
    return QString::number(Value, 'g', 15);
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
        Text = &NumberText;
    auto shown = [Read, Text]() -> QVariant {
        const std::optional<double> value = Read();
        return value ? QVariant(Text(*value)) : QVariant();
    };
    SetTypedNumberValidator(Edit, [shown] { return shown().toString(); });
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
