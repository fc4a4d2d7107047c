#pragma once
// The "Legend" tab of the chart editor, and the modal "Legend options" the
// legend's menu opens: visibility, styles, check boxes, position, margins,
// custom place, the symbol ("Symbols"), the legend's title ("Title", with
// its own format tabs) and the legend's format tabs. Changes apply at once.

#include "chart/editors/EditorPage.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonPen;
class TChartLegend;
class TCustomChart;
class TFormPlotShape;
class TSymbolEditor;

class TFormPlotLegend : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotLegend(QWidget* Parent = nullptr);

    // The form for Owner's chart on Legend, bound and captioned "Legend
    // options", not yet shown.
    static std::unique_ptr<TFormPlotLegend> CreateForLegend(QWidget* Owner, TChartLegend* Legend);

    TChartLegend* Legend() const;

    QTabWidget* PageControl1;
    // "Style"
    QCheckBox* CBShow;
    QCheckBox* CBInverted;
    QComboBox* CBLegendStyle;
    QComboBox* CBLegStyle;
    TButtonPen* BDivLines;
    QSpinBox* UDVertSpacing;
    QCheckBox* CBFontColor;
    QComboBox* CBCheckBoxes;
    // "Position"
    QButtonGroup* RGPosition;
    QCheckBox* CBResizeChart;
    QSpinBox* UDTopPos;
    QSpinBox* UDMargin;
    QCheckBox* CBCustPos;
    QSpinBox* UDLeft;
    QSpinBox* UDTop;
    QCheckBox* CBPosPercent;
    // "Symbols"
    QWidget* TabSymbol;
    TSymbolEditor* SymbolEditor;
    // "Title"
    QWidget* TabTitle;
    QTabWidget* PageControl2;
    QPlainTextEdit* MemoText;
    QComboBox* CBTextAlign;
    QCheckBox* CBTitleVisible;
    // The format tabs of the legend and of its title.
    TFormPlotShape* LegendShapeEditor;
    TFormPlotShape* TitleShapeEditor;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildStyleTab();
    QWidget* BuildPositionTab();
    QWidget* BuildTitleOptionsTab();
    void BindControls();
    void MemoTextChange();
    bool IsVertical() const;

    bool FWritingText = false;
};

// Opens "Legend options" on Chart's Legend, modal; the entry point the
// chart's legend menu calls.
void ShowLegendOptions(TCustomChart* Chart, TChartLegend* Legend);

} // namespace lp
