#pragma once
// The standard function options: how the points are grouped into periods
// ("All points", "Every number of points", "Every range"), the period and
// where a period's result is placed. Most function types report it. A
// function that needs a period is not offered "All points".

#include "chart/editors/functions/FunctionEditorBase.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lp {

class TPlotFunctionEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TPlotFunctionEditor(QWidget* Parent = nullptr);

    QLabel* Label2;
    QComboBox* CBStyle;
    QLabel* Label3;
    QLineEdit* ENum;
    QPushButton* BChange;
    QLabel* Label1;
    QComboBox* CBAlign;

    // The choices of CBStyle (each entry holds its choice as data).
    enum { StyleAllPoints, StyleNumPoints, StyleRange };
    // The choice CBStyle shows.
    int ChosenStyle() const;

    // Refuses, before anything is stored, a period the function cannot
    // take: none (or not a number) for a function that needs one, and a
    // range period making more ranges of the source than can be computed.
    void CheckSettings() const override;

protected:
    void LoadSettings() override;
    void StoreSettings() override;
private:
    // CBStyle offers "All points" unless the function needs a period.
    void OfferStyles();
    void ShowStyle(int Style);
    // The period Apply would store.
    double TypedPeriodToStore() const;
    void UpdateStyleEnabling();
    void CBStyleChange();
    void BChangeClick();
    double ShownPeriod() const;
};

} // namespace lp
