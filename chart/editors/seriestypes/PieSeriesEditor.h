#pragma once
// The pie page: "Options" (explosion, total angle, dark 3-D and border,
// patterns, pen, shadow, marks, gradient, multiple pies), "Group Slices"
// (the other slice: style, value, label and its legend) and "Colors". On
// its first show it adds the circled page, without the background
// controls, as the series page's "Circled" tab.

#include "chart/editors/EditorPage.h"
#include "chart/editors/series/SeriesEditorTabs.h"

#include <QtCore/QPointer>

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TCircledSeriesEditor;
class TPageBuilder;
class TPieSeries;

class TPieSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TPieSeriesEditor(QWidget* Parent = nullptr);
    ~TPieSeriesEditor() override;

    TPieSeries* Series() const;
    // The "Circled" tab's page while it lives (the series page owns it).
    QPointer<TCircledSeriesEditor> CircledEditor;

    QTabWidget* PageControl1;
    QSpinBox* UDExpBig;
    QSpinBox* UDAngleSize;
    QCheckBox* CBDark3d;
    QSpinBox* UpDown1; // dark border
    QCheckBox* CBPatterns;
    TButtonPen* BPen;
    QPushButton* BShadow;
    QCheckBox* CBMarksAutoPosition;
    TButtonGradient* BGradient;
    QComboBox* CBMultiple;
    QComboBox* CBOther;
    QLineEdit* EOtherValue;
    QLineEdit* EOtherLabel;
    QPushButton* Button2; // legend
    QCheckBox* CBColorEach;
    TButtonColor* BColor;

protected:
    void FillControls() override;
    void AddTabs() override;
    void UpdateEnabled() override;

    // The "Options" tab's layout, where a descendant page adds its rows;
    // after adding it orders the tab chain again (SetReadingTabOrder).
    TPageBuilder& OptionsRows() { return *FOptionsRows; }

private:
    void ShadowClick();
    void LegendClick();

    std::unique_ptr<TPageBuilder> FOptionsRows;
};

} // namespace lp
