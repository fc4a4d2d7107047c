#pragma once
// The root mean square's and the standard deviation's options: the period
// options and whether the complete population counts.

#include "chart/editors/functions/PeriodFunctionEditor.h"

class QCheckBox;

namespace lp {

class TRMSFuncEditor : public TPlotFunctionEditor {
    Q_OBJECT
public:
    explicit TRMSFuncEditor(QWidget* Parent = nullptr);

    QCheckBox* CBComplete;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

} // namespace lp
