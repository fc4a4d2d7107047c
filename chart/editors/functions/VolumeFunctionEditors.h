#pragma once
// The options of the price indicators weighted by volume: the volume
// series (close location value and on-balance volume) and accumulation
// (close location value).

#include "chart/editors/functions/FunctionEditorBase.h"

class QCheckBox;
class QComboBox;

namespace lp {

class TChartSeries;

class TOBVFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TOBVFuncEditor(QWidget* Parent = nullptr);

    QComboBox* CBVolume;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
    // The volume series chosen, nullptr for none.
    TChartSeries* ChosenVolume() const;
};

class TCLVFuncEditor : public TOBVFuncEditor {
    Q_OBJECT
public:
    explicit TCLVFuncEditor(QWidget* Parent = nullptr);

    QCheckBox* CBAccumulate;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
};

} // namespace lp
