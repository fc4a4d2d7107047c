#pragma once
// The "Walls" tab of the chart editor: the chart's four walls one at a
// time ("Left", "Right", "Bottom", "Back" on a tab strip) with colour, pen,
// pattern, gradient, size, transparency and visibility, and two settings
// of all walls at once on top: their visibility and their size. The target
// is the edited wall; the tab strip switches it to another wall of the same
// chart.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QPushButton;
class QSpinBox;
class QTabBar;

namespace lp {

class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TChartWall;
class TCustomChart;

class TFormPlotWall : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotWall(QWidget* Parent = nullptr);

    // The chart of the edited wall.
    TCustomChart* Chart() const;
    TChartWall* TheWall() const;
    // The chart's walls in the tab strip's order.
    std::vector<TChartWall*> Walls() const;

    QCheckBox* CBView3dWalls;
    QSpinBox* UDAllSize;
    QTabBar* TabSubWalls;
    TButtonColor* BWallColor;
    TButtonPen* BWallPen;
    QPushButton* BWallBrush;
    TButtonGradient* BGradient;
    QSpinBox* UDWallSize;
    QCheckBox* CBTransp;
    QSpinBox* UDTransp;
    QCheckBox* CBDark3D;
    QCheckBox* CBVisible;
    QCheckBox* CBAutoHide;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    QWidget* BuildWallControls();
    void BindControls();
    void TabSubWallsChange();
    void BrushClick();
    void GradientChanged();
};

} // namespace lp
