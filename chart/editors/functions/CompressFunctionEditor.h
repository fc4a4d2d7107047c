#pragma once
// The price compression's options: bars per calendar period ("Daily
// (none)" ... "Yearly"), per clock period ("Second" ... "TwelveHour") or
// per number of points.

#include "chart/editors/functions/FunctionEditorBase.h"

class QComboBox;
class QRadioButton;
class QSpinBox;

namespace lp {

class TCompressFuncEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TCompressFuncEditor(QWidget* Parent = nullptr);

    // The first clock period's Compress value.
    static constexpr int FirstTimePeriod = 6;

    QRadioButton* RadioDate;
    QComboBox* CBDatePeriod;
    QRadioButton* RadioTime;
    QComboBox* CBTimePeriod;
    QRadioButton* RadioPoints;
    QSpinBox* UpDown1;

protected:
    void LoadSettings() override;
    // A click into the number of points chooses it.
    bool eventFilter(QObject* Watched, QEvent* Event) override;
    void StoreSettings() override;

private:
    // A calendar or clock period chosen: no number of points.
    void RadioPeriodClick(QComboBox* Combo);
    void RadioPointsClick();
};

} // namespace lp
