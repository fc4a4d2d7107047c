#pragma once
// The data table tool's page: "Format" (grid pens, inversion, automatic or
// custom place), "Legend" (its switches, symbol and font) and "Text" (the
// table's font).

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QGroupBox;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonPen;
class TDataTableTool;
class TPlotFontEditor;
class TSymbolEditor;

class TDataTableEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TDataTableEditor(QWidget* Parent = nullptr);

    TDataTableTool* Tool() const;

    QTabWidget* PageControl1;
    QTabWidget* PageControl2;
    // "Format"
    TButtonPen* ButtonPen1;
    TButtonPen* ButtonPen2;
    QCheckBox* CBInverted;
    QGroupBox* GroupBox1;
    QCheckBox* CBAutoPos;
    QSpinBox* UDLeft;
    QSpinBox* UDTop;
    // "Legend"
    QCheckBox* CBLegVisible;
    QCheckBox* CBFontColor;
    QCheckBox* CBOtherSide;
    TSymbolEditor* SymbolEditor;
    TPlotFontEditor* LegendFontEditor;
    // "Text"
    TPlotFontEditor* FontEditor;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildFormatTab();
    QWidget* BuildLegendTab();
};

} // namespace lp
