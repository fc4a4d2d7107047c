#pragma once
// The contour series' page: the pen, the vertical position of the lines
// (or each level at its own value), the levels (made automatically, a
// number of them, coloured per point, or edited one by one: value, colour
// and pen) and the smoothing of the lines. The grid 3-D page joins as a
// "Grid 3D" tab.
//
// The level being edited is chosen with "&Level:"; an index at or beyond
// the levels the series has (automatic levels are made at the chart's next
// paint) leaves the level's controls disabled. Storing a level's value or
// colour, or giving it a pen of its own, makes the levels the user's:
// "&Automatic" goes off at once, as automatic levels are made anew at each
// paint and would lose the edit.

#include "chart/editors/extendedseries/SeriesPageControls.h"
#include "platform/graphics/GraphicsTypes.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace lp {

class TButtonPen;
class TColorSwatch;
class TContourLevel;
class TContourSeries;
class TGrid3DSeriesEditor;

class TContourSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TContourSeriesEditor(QWidget* Parent = nullptr);

    TContourSeries* Series() const;
    // The level "&Level:" selects, nullptr when the series has none there.
    TContourLevel* SelectedLevel() const;
    // What the level's swatch shows for a level colour: the chart's default
    // colour for Index when the level takes the automatic colour (white
    // without a chart).
    TColor ShownLevelColor(TColor LevelColor, int Index) const;
    // The "Grid 3D" tab's page while it lives (the series page owns it).
    QPointer<TGrid3DSeriesEditor> Grid3DEditor;

    TButtonPen* Button2;
    QLabel* LYPos;
    QSpinBox* UDYPos;
    QCheckBox* CBYPosLevel;
    QGroupBox* GroupBox1;
    QCheckBox* CBAutoLevels;
    QLabel* LNum;
    QSpinBox* UDNum;
    QCheckBox* CBColorEach;
    QLabel* LLevel;
    QLabel* LColor; // names SHColor
    QLabel* LValue; // names EValue
    QSpinBox* UDLevel;
    TColorSwatch* SHColor;
    QLineEdit* EValue;
    TButtonPen* bLevelPen;
    QCheckBox* cbDefaultPen;
    QCheckBox* CBSmooth;
    QCheckBox* CBInterpolate;

protected:
    void AddTabs() override;
    void FillControls() override;
    void UpdateEnabled() override;

private:
    // Levels made again from the grid, when they are automatic.
    void RecreateAutomaticLevels();
    // After the level's pen dialog: the level's colour follows its pen.
    void LevelPenClick();
};

} // namespace lp
