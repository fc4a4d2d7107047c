#pragma once
// The oscillators' options: the commodity channel index's constant and
// period, the volume oscillator's two periods and percentage.

#include "chart/editors/functions/FunctionEditorBase.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace lp {

class TCCIFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TCCIFuncEditor(QWidget* Parent = nullptr);

    QLineEdit* EConst;
    QSpinBox* UDPeriod;

protected:
    void LoadSettings() override;
    // A constant that is no number keeps the function's constant.
    void StoreSettings() override;
};

class TPVOFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TPVOFuncEditor(QWidget* Parent = nullptr);

    QSpinBox* UDPeriod;
    QSpinBox* UDPeriod2;
    QCheckBox* CBPercent;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

} // namespace lp
