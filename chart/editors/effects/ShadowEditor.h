#pragma once
// The "Shadow editor": horizontal and vertical size, transparency, colour
// and smoothing of a TPlotShadow, applied at once. A modal dialog with an
// OK button (EditShadow), or a page embedded in another editor's tab
// without it (InsertShadowEditor).

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonColor;
class TPlotShadow;

class TPlotShadowEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TPlotShadowEditor(QWidget* Parent = nullptr);

    // The edited shadow (observed), nullptr when none is bound.
    TPlotShadow* Shadow() const;

    QSpinBox* UDShadowSize;   // "&Horiz. Size:" -> HorizSize
    QSpinBox* UDShaVert;      // "&Vert. Size:" -> VertSize
    QSpinBox* UDShadowTransp; // "&Transparency:" -> Transparency
    TButtonColor* BShadowColor;
    QCheckBox* CBSmooth;
    QPushButton* BOK;
};

// The dialog for Owner on Shadow, modal; OK only closes it (changes are
// already applied), so there is no result.
void EditShadow(QWidget* Owner, TPlotShadow* Shadow);
// The editor embedded in Parent (a tab), without OK.
TPlotShadowEditor* InsertShadowEditor(QWidget* Parent);
// Binds Shadow and fills the controls.
void RefreshShadowEditor(TPlotShadowEditor* Editor, TPlotShadow* Shadow);

} // namespace lp
