#pragma once
// The polar family's page (polar, radar and polar bar series, and the base
// of the clock and wind rose pages): "Options" (pens, pattern, colour,
// the angle and radius steps of the frame, closing the circle and the
// sectors' transparency) and "Labels" (the angle labels around the
// circle). On its first show inside the series page it adds the circled
// page and the pointer page ("Point") as further tabs.
//
//   TTabAddingSeriesPage
//     └─ TPolarSeriesEditor
//          ├─ TClockEditor      (ClockSeriesEditor)
//          └─ TWindRoseEditor   (WindRoseSeriesEditor)

#include "chart/editors/extendedseries/SeriesPageControls.h"

#include <QtCore/QPointer>

#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonColor;
class TButtonPen;
class TCircledSeriesEditor;
class TCustomPolarSeries;
class TPageBuilder;

class TPolarSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TPolarSeriesEditor(QWidget* Parent = nullptr);
    ~TPolarSeriesEditor() override;

    TCustomPolarSeries* Series() const;
    // The tabs' pages while they live (the series page owns them).
    QPointer<TCircledSeriesEditor> CircledEditor;
    QPointer<TEditorPage> PointerEditor;

    QTabWidget* PageControl1;
    QWidget* TabOptions;
    QWidget* TabLabels;
    // "Options"
    QCheckBox* CBClose;
    QLabel* LAngleInc;
    QSpinBox* UDAngleInc; // the angle increment edit with its up-down
    QLabel* Label8;
    QSpinBox* UDRadiusInc;
    TButtonPen* BPen;
    TButtonPen* BPiePen;
    QPushButton* BBrush;
    QLabel* Label1;
    QSpinBox* UDTransp; // the transparency edit with its up-down
    TButtonColor* BColor;
    QCheckBox* CBColorEach;
    // "Labels"
    QPushButton* BFont;
    QCheckBox* CBAngleLabels;
    QCheckBox* CBLabelsRot;
    QCheckBox* CBClockWise;
    QCheckBox* CBInside;
    QLabel* Label2;
    QSpinBox* UDMargin;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void AddTabs() override;
    // Shows the angle increment's row only for polar series (the radar
    // spaces its spokes by its points); a descendant may keep it as it is.
    virtual void ShowAngleIncrement();

    // The tabs' layouts, where descendant pages add their rows; after
    // adding they order the tab chain again (SetReadingTabOrder).
    TPageBuilder& OptionsRows() { return *FOptionsRows; }
    TPageBuilder& LabelsRows() { return *FLabelsRows; }

private:
    void FontClick();

    std::unique_ptr<TPageBuilder> FOptionsRows;
    std::unique_ptr<TPageBuilder> FLabelsRows;
};

} // namespace lp
