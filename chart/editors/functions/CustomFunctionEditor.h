#pragma once
// The custom function's options: where its points start, their step and
// how many there are. The function needs no source series.

#include "chart/editors/functions/FunctionEditorBase.h"

class QLabel;
class QLineEdit;

namespace lp {

class TCustomFunctionEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TCustomFunctionEditor(QWidget* Parent = nullptr);

    QLineEdit* EStart;
    QLineEdit* EStep;
    QLineEdit* ENum;

    // A text that is not a number raises the conversion error; a negative
    // step, or a number of points beyond what the function computes
    // (MaxFunctionPoints), the function's error.
    void CheckSettings() const override;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

} // namespace lp
