#pragma once
// The "PlotFont Editor": the font of a chart element with its colour,
// spacing between characters, outline pen, outline gradient, gradient fill
// and shadow, applied at once. Embedded as the text tab of other editors.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonGradient;
class TButtonPen;
class TColorSwatch;
class TPlotFont;

class TPlotFontEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TPlotFontEditor(QWidget* Parent = nullptr);

    // The edited font (observed), nullptr when none is bound.
    TPlotFont* Font() const;

    QPushButton* Button3;  // "&Font...": the font dialog
    TColorSwatch* SHText;  // the font colour
    QSpinBox* UDInter;     // "&Inter-char spacing:" -> InterCharSize
    TButtonPen* BOutline;  // the outline pen
    QCheckBox* CBOutGrad;  // the gradient's Outline flag
    TButtonGradient* BGradient;
    QPushButton* BShadow;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    void FontClick();
    void ShadowClick();
};

// The editor embedded in Parent (a tab).
TPlotFontEditor* InsertFontEditor(QWidget* Parent);
// Binds Font and fills the controls.
void RefreshFontEditor(TPlotFontEditor* Editor, TPlotFont* Font);

} // namespace lp
