#pragma once
// The bar page (bar and horizontal bar series): style, border, pattern,
// colour, gradient, tick lines, bevel and dark sides on "Format"; width,
// offset, depth, side margins and mark positions on "Size". On its first
// show it adds the stack page as the series page's "Stack" tab.

#include "chart/editors/EditorPage.h"
#include "chart/editors/series/SeriesEditorTabs.h"

#include <QtCore/QPointer>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonColor;
class TButtonPen;
class TCustomBarSeries;

class TBarSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TBarSeriesEditor(QWidget* Parent = nullptr);

    TCustomBarSeries* Series() const;
    // The "Stack" tab's page while it lives (the series page owns it).
    QPointer<TEditorPage> StackEditor;

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QWidget* TabSize;
    QComboBox* CBBarStyle;
    TButtonPen* BBarPen;
    QPushButton* BBarBrush;
    QCheckBox* CBColorEach;
    TButtonColor* BBarColor;
    QPushButton* BGradient;
    TButtonPen* BTickLines;
    QLabel* LBevel;
    QSpinBox* UDBevel; // the bevel edit with its up-down
    QCheckBox* CBDarkBar;
    QSpinBox* UDBarWidth;
    QSpinBox* UDBarOffset;
    QSpinBox* UDDepth;
    QCheckBox* CBBarSideMargins;
    QCheckBox* CBMarksAutoPosition;

protected:
    void FillControls() override;
    void AddTabs() override;
    void UpdateEnabled() override;

private:
    void BrushClick();
    void GradientClick();
};

} // namespace lp
