#pragma once
// The standard function options: how the points are grouped into periods
// ("All points", "Every number of points", "Every range"), the period and
// where a period's result is placed. Most function types report it.

#include "chart/editors/functions/FunctionEditorBase.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

#include <memory>

namespace lp {

class TPageBuilder;

class TPlotFunctionEditor : public TBaseFunctionEditor {
    Q_OBJECT
public:
    explicit TPlotFunctionEditor(QWidget* Parent = nullptr);
    ~TPlotFunctionEditor() override;

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
    // The grid the descendants add their rows to.
    TPageBuilder& Builder() { return *FBuilder; }

private:
    void UpdateStyleEnabling();
    void CBStyleChange();
    void BChangeClick();
    double ShownPeriod() const;

    std::unique_ptr<TPageBuilder> FBuilder;
};

} // namespace lp
