#pragma once
// The "3D" tab of the chart editor: the chart's 3-D switches and view
// options ("Options"), and six preset views as sample charts ("Views").

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QLabel;
class QSlider;
class QSpinBox;
class QTabWidget;

namespace lp {

class TChartGalleryPanel;
class TCustomAxisPanel;

class TFormPlot3D : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlot3D(QWidget* Parent = nullptr);

    TCustomAxisPanel* TheChart() const;
    // The chart may be turned freely: full rotation, or no pie drawn first.
    bool CanRotate() const { return FCanRotate; }

    QTabWidget* PageControl1;
    QCheckBox* CBView3d;
    QSpinBox* UD3D;
    QCheckBox* CBOrthogonal;
    QSlider* SBZoom;
    QSpinBox* LZoom;
    QSlider* SBRotation;
    QLabel* LRotation;
    QSlider* SBElevation;
    QLabel* LElevation;
    QSlider* SBHOffset;
    QLabel* LHOffset;
    QSlider* SBVOffset;
    QLabel* LVOffset;
    QSlider* SBPerspec;
    QLabel* LPerspec;
    QSpinBox* UDOrthoAngle;
    QCheckBox* CBZoomText;
    QSpinBox* UDTextSize;
    QCheckBox* CBClipPoints;
    TChartGalleryPanel* ChartGalleryPanel1;

    // The preset views in their order.
    static const QStringList& ViewNames();

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildOptionsTab();
    void PageControl1Change();
    void FillViews();
    void SelectMatchingView();
    void ChartGalleryPanel1ChangeChart();

    bool FCanRotate = true;
    bool FChoosingView = false;
};

} // namespace lp
