#pragma once
// The options of the indicators that draw further lines: the MACD's three
// periods and pens, the Bollinger bands' period, averaging, deviation and
// pens. Pens are edited at once through their buttons; the rest waits for
// the function page's apply.

#include "chart/editors/functions/FunctionEditorBase.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace lp {

class TButtonPen;

class TMACDFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TMACDFuncEditor(QWidget* Parent = nullptr);

    QSpinBox* UDPeriod1;
    QSpinBox* UDPeriod2;
    QSpinBox* UDPeriod3;
    TButtonPen* BHistogram;
    TButtonPen* BMACDExp;
    TButtonPen* BMACD;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

class TBollingerFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TBollingerFuncEditor(QWidget* Parent = nullptr);

    QSpinBox* UpDown1;
    QCheckBox* CheckBox1;
    QLineEdit* Edit1;
    TButtonPen* ButtonPen1;
    TButtonPen* ButtonPen2;

protected:
    void LoadSettings() override;
    // A deviation that is no number keeps the function's deviation.
    void StoreSettings() override;
};

} // namespace lp
