#include "section/modelling/RunOptionFields.h"

#include "section/inversion/Inversion.h"
#include "section/modelling/InversionWindow.h"
#include "section/modelling/ModellingWindowCommands.h"

#include <QtCore/QLocale>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QSpinBox>

namespace lp {

TRunOptionFields AddRunOptionFields(QWidget& Owner, QGridLayout& Form)
{
    const auto field = [&Owner](const char* Name, const QString& Text) {
        auto* edit = new QLineEdit(Text, &Owner);
        edit->setObjectName(QString::fromLatin1(Name));
        edit->setMaximumWidth(70);
        edit->setMinimumWidth(40);
        return edit;
    };
    const auto place = [&Owner, &Form](const QString& Label, QWidget* Field, int Row, int Column) {
        auto* label = new QLabel(Label, &Owner);
        label->setBuddy(Field);
        Form.addWidget(label, Row, 2 * Column);
        Form.addWidget(Field, Row, 2 * Column + 1);
    };
    // The Invert window's kept options are where these runs start.
    const TInversionWindowSettings kept = TInversionWindowSettings::Load();
    TRunOptionFields fields;
    fields.Error = field("ErrorEdit", kept.ErrorPercent);
    fields.Lambda = field("LambdaEdit", kept.Lambda);
    fields.Iterations = new QSpinBox(&Owner);
    fields.Iterations->setObjectName(QStringLiteral("IterationsBox"));
    fields.Iterations->setRange(1, 100);
    fields.Iterations->setValue(kept.Iterations);
    place(QStringLiteral("&Error (%):"), fields.Error, 0, 0);
    place(QStringLiteral("λ s&tart:"), fields.Lambda, 0, 1);
    place(QStringLiteral("Iterati&ons:"), fields.Iterations, 1, 0);
    return fields;
}

std::optional<TSurveyInversionOptions> ReadRunOptions(const TRunOptionFields& Fields, QString& Refusal)
{
    bool valid = true;
    const std::optional<double> error = TypedNumber(Fields.Error->text(), true, valid);
    const std::optional<double> lambda = TypedNumber(Fields.Lambda->text(), true, valid);
    if (!error || *error >= 100.0) {
        Refusal = QStringLiteral("The error must be a number above 0 and below 100 (per cent).");
        return std::nullopt;
    }
    if (!lambda || *lambda < MinLambda || *lambda > MaxLambda) {
        Refusal = QStringLiteral("λ must be a number from %1 to %2.")
                      .arg(ShortNumber(MinLambda), QLocale().toString(MaxLambda, 'f', 0));
        return std::nullopt;
    }
    TSurveyInversionOptions options;
    options.ErrorPercent = *error;
    options.Settings.Lambda = *lambda;
    options.Settings.Iterations = Fields.Iterations->value();
    options.Forward.Threads = 0;
    return options;
}

} // namespace lp
