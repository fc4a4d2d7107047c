#pragma once
// The average directional index's options: its period and the pens of the
// +DI and -DI lines. Applying on a series without the function makes one
// (what the form's close did), as every function form does.

#include "chart/editors/functions/FunctionEditorBase.h"

class QSpinBox;

namespace lp {

class TButtonPen;

class TADXFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TADXFuncEditor(QWidget* Parent = nullptr);

    QSpinBox* UDPeriod;
    TButtonPen* BUp;
    TButtonPen* BDown;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

} // namespace lp
