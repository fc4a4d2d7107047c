#pragma once
// The smoothing function's options: interpolation and the factor of
// curve segments per source point.

#include "chart/editors/functions/FunctionEditorBase.h"

class QCheckBox;
class QSpinBox;

namespace lp {

class TSmoothFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TSmoothFuncEditor(QWidget* Parent = nullptr);

    QCheckBox* CBInterp;
    QSpinBox* UpDown1;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

} // namespace lp
