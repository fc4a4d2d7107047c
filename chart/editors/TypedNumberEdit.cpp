#include "chart/editors/TypedNumberEdit.h"

#include "chart/editors/axis/AxisIncrementDialogs.h"
#include "platform/base/Exception.h"

#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <cmath>

namespace lp {

double ReadNumberOr(const QString& Text, double Old)
{
    return IsTypedNumber(Text) ? ReadNumber(Text) : Old;
}

bool IsTypedNumber(const QString& Text)
{
    try {
        ReadNumber(Text);
        return true;
    } catch (const Exception&) {
        return false;
    }
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

} // namespace lp
