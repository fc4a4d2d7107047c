#pragma once
// The "Panel" tab of the chart editor ("Panel Editor"): the chart panel's
// colour, background picture, borders and bevels ("Background",
// "Borders"), gradient and shadow.

#include "chart/editors/EditorPage.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonColor;
class TButtonPen;
class TCustomPlotPanelExtended;
class TPlotGradientEditor;
class TPlotShadowEditor;

class TFormPlotPanel : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotPanel(QWidget* Parent = nullptr);

    TCustomPlotPanelExtended* Panel() const;

    QTabWidget* PageControl1;
    // "Background"
    TButtonColor* BPanelColor;
    QCheckBox* CBColorDef;
    QButtonGroup* RGBitmap;
    QPushButton* BBrowseImage;
    QCheckBox* CBImageInside;
    QCheckBox* CBTransp;
    QSpinBox* UDLeft;
    QSpinBox* UDTop;
    // "Borders"
    QSpinBox* UDPanelBor;
    QSpinBox* UDPanelWi;
    QSpinBox* UDRound;
    QComboBox* CBInner;
    QComboBox* CBOuter;
    TButtonPen* BBorder;
    // "Gradient", "Shadow"
    TPlotGradientEditor* GradientEditor;
    TPlotShadowEditor* ShadowEditor;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildBackgroundTab();
    QWidget* BuildBordersTab();
    void BindControls();
    void BrowseImageClick();
    void ColorDefClick();
    bool HasPicture() const;
};

} // namespace lp
