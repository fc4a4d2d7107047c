#pragma once
// The standard function options: how the points are grouped into periods
// ("All points", "Every number of points", "Every range"), the period and
// where a period's result is placed. Most function types report it.

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

    enum { StyleAllPoints, StyleNumPoints, StyleRange };

protected:
    void LoadSettings() override;
    void StoreSettings() override;
private:
    void UpdateStyleEnabling();
    void CBStyleChange();
    void BChangeClick();
    double ShownPeriod() const;
};

} // namespace lp
