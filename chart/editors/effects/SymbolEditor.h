#pragma once
// The "Legend Symbol Editor": width and its units, position, continuity,
// visibility, border pen, squareness and gradient of a legend's symbol,
// applied at once. Embedded by the legend page.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace lp {

class TButtonGradient;
class TButtonPen;
class TLegendSymbol;

class TSymbolEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TSymbolEditor(QWidget* Parent = nullptr);

    // The edited symbol (observed), nullptr when none is bound.
    TLegendSymbol* Symbol() const;

    QSpinBox* UDColWi;      // "&Width:" -> Width
    QComboBox* CBColWUnits; // "Width &Units:" -> WidthUnits
    QComboBox* CBSymbolPos; // "&Position:" -> Position
    QCheckBox* CBContinuous;
    QCheckBox* CBVisible;
    QCheckBox* CBSymPen;    // "&Default border" -> DefaultPen
    TButtonPen* BSymPen;
    QCheckBox* CBSquared;
    TButtonGradient* BSymGradient;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
};

// Binds Symbol and fills the controls.
void RefreshSymbolEditor(TSymbolEditor* Editor, TLegendSymbol* Symbol);

} // namespace lp
