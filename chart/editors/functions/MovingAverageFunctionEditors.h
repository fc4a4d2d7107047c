#pragma once
// The options of the moving averages: the period and weighting of the
// moving average, the weight of the exponential average.

#include "chart/editors/functions/FunctionEditorBase.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace lp {

class TMovAveFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TMovAveFuncEditor(QWidget* Parent = nullptr);

    enum { StyleNormal, StyleWeighted, StyleWeightedIndex };

    QSpinBox* UpDown1;
    QComboBox* CBStyle;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

class TExpAveFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TExpAveFuncEditor(QWidget* Parent = nullptr);

    QLineEdit* Edit1;

    // A weight outside 0 .. 1 raises the function's own error before
    // anything is applied.
    void CheckSettings() const override;

protected:
    void LoadSettings() override;
    // A weight that is no number keeps the function's weight.
    void StoreSettings() override;
};

} // namespace lp
