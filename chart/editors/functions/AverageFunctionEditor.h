#pragma once
// The average function's options: the period options and whether null
// points count.

#include "chart/editors/functions/PeriodFunctionEditor.h"

class QCheckBox;

namespace lp {

class TAverageFuncEditor : public TPlotFunctionEditor {
    Q_OBJECT
public:
    explicit TAverageFuncEditor(QWidget* Parent = nullptr);

    QCheckBox* CBNulls;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

} // namespace lp
