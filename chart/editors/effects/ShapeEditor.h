#pragma once
// The shape-format editor of a framed text shape (legends, titles, marks,
// annotations): colour, frame, pattern, round frame, transparency and bevel
// on "Format", and the shape's font, gradient and shadow on the tabs
// "Text", "Gradient" and "Shadow". A window of its own, a page embedded in
// a parent, or tabs handed over to a host's tab widget.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonColor;
class TButtonPen;
class TPlotCustomShape;
class TPlotFontEditor;
class TPlotGradientEditor;
class TPlotShadowEditor;

class TFormPlotShape : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotShape(QWidget* Parent = nullptr);

    // The edited shape (observed), nullptr when none is bound.
    TPlotCustomShape* Shape() const;

    // Handlers pages may wire to their own controls: a colour choice makes
    // the shape opaque; a visibility box shows or hides the shape.
    void BColorClick();
    void CBVisibleChecked(QCheckBox* Sender);

    QTabWidget* PC1;
    QWidget* TabFormat;
    QWidget* TabText;
    QWidget* TabGradient;
    QWidget* TabShadow;
    TButtonColor* BBackColor;
    TButtonPen* Button4;
    QPushButton* Button6;
    QCheckBox* CBRound;
    QCheckBox* CBTransparent;
    QComboBox* CBBevel;
    QSpinBox* UDBevW;
    QSpinBox* UDShadowTransp;
    TPlotFontEditor* FontEditor;
    TPlotGradientEditor* GradientEditor;
    TPlotShadowEditor* ShadowEditor;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildFormatTab();
    void PatternClick();
};

// The editor for Shape; with a Parent it is embedded there (no frame,
// filling it) and shown.
TFormPlotShape* InsertShapeEditor(QWidget* Owner, TPlotCustomShape* Shape, QWidget* Parent);
// The editor for Shape whose four tabs, in order, are moved to the end of
// PageControl; the editor stays alive (hidden, owned by PageControl) and
// keeps the moved tabs bound. The first tab of PageControl is made current.
TFormPlotShape* InsertShapeEditorTabs(QTabWidget* PageControl, TPlotCustomShape* Shape);

} // namespace lp
