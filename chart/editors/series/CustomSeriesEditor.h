#pragma once
// The line family's page (line, horizontal line and the other members of
// the custom series): line pen and colour, stairs, colour-each options,
// dark 3-D, stacking, 3-D height, clickable line, pattern, outline and
// shadow. Embedded as the series page's "Format" tab with the series as
// target; on its first show it adds the pointer page as a "Point" tab.

#include "chart/editors/EditorPage.h"
#include "chart/editors/series/SeriesEditorTabs.h"

#include <QtCore/QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonColor;
class TButtonPen;
class TCustomSeries;
class TLineSeries;

class TCustomSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TCustomSeriesEditor(QWidget* Parent = nullptr);

    // The edited series (the target), nullptr when it is none of the family.
    TCustomSeries* Series() const;
    // The target as a line series (stairs, 3-D height, outline), or nullptr.
    TLineSeries* LineSeries() const;
    // The "Point" tab's page while it lives (the series page owns it).
    QPointer<TEditorPage> PointerEditor;

    // Hides what the graphic editor leaves out: stacking, dark 3-D, both
    // colour-each boxes, clickable and the 3-D height.
    void HideGraphicEditorControls();

    TButtonPen* BLineBorder;
    TButtonColor* BLineColor;
    QGroupBox* GBStair;
    QCheckBox* CBStairs;
    QCheckBox* CBInvStairs;
    QCheckBox* CBColorEach;
    QCheckBox* CheckBox1;
    QCheckBox* CBDark3D;
    QLabel* LStack;
    QComboBox* CBStack;
    QLabel* LHeight;
    QSpinBox* UDHeight;
    QCheckBox* CBClick;
    QPushButton* BBrush;
    TButtonPen* BOutline;
    QPushButton* Button1;

protected:
    void FillControls() override;
    void AddTabs() override;
    void UpdateEnabled() override;

private:
    void BrushClick();
    void ShadowClick();

    bool FGraphicEditor = false;
};

} // namespace lp
