#pragma once
// The "Paging" tab of the chart editor: points per page, the last page's
// scale, the legend of the current page, a page navigator with the page
// label, and the page-number tool switched on and off.
//
//   TFormPlotPage (target: the chart; the navigator pages the same chart)

#include "chart/editors/EditorPage.h"

#include <QtWidgets/QSpinBox>

class QCheckBox;
class QLabel;

namespace lp {

class TChartPageNavigator;
class TCustomAxisPanel;
class TPlotCustomTool;

// A spin box whose empty text means 0 (an edit a user may clear).
class TEmptyIsZeroSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& Text, int& Pos) const override;
    int valueFromText(const QString& Text) const override;
};

class TFormPlotPage : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotPage(QWidget* Parent = nullptr);

    TCustomAxisPanel* Chart() const;
    // The chart's first tool of the registered page-number class; with
    // Create, one is made when there is none (nullptr when the class is
    // not registered).
    TPlotCustomTool* PageNumTool(bool Create) const;

    TEmptyIsZeroSpinBox* UDPointsPerPage;
    QCheckBox* CBScaleLast;
    QCheckBox* CBPageLegend;
    TChartPageNavigator* ChartPageNavigator1;
    QLabel* LabelPages;
    QCheckBox* CBPageNum;

protected:
    void FillControls() override;

private:
    void RefreshPageLabel();
    void PageNumClick(bool Checked);
};

} // namespace lp
