#pragma once
// The option fields of the windows that invert several surveys at once
// (Time-lapse, Several lines): the error, λ start and the iterations,
// starting at the Invert window's kept values, and the run's options read
// from them.

#include "section/inversion/SurveyInversion.h"

#include <QtCore/QString>

#include <optional>

class QGridLayout;
class QLineEdit;
class QSpinBox;
class QWidget;

namespace lp {

struct TRunOptionFields {
    QLineEdit* Error = nullptr;
    QLineEdit* Lambda = nullptr;
    QSpinBox* Iterations = nullptr;
};

// The fields and their labels (children of Owner) in rows 0 and 1 of
// Form: "Error (%)" and "λ start" side by side, "Iterations" below.
TRunOptionFields AddRunOptionFields(QWidget& Owner, QGridLayout& Form);

// The run's options from the fields: the error (above 0, below 100 %), λ
// (MinLambda .. MaxLambda) and the iterations, the forward computation on
// every core. None, with the reason in Refusal, when a field holds no
// usable value.
std::optional<TSurveyInversionOptions> ReadRunOptions(const TRunOptionFields& Fields, QString& Refusal);

} // namespace lp
