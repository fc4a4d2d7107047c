#pragma once
// The page of circular series: circled, 3-D, rotation, the two radii with
// their automatic choice, and the circle's background colour, transparency
// and gradient. Also the pie page's "Circled" tab, there without the
// background controls.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QGroupBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonColor;
class TButtonGradient;
class TCircledSeries;

class TCircledSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TCircledSeriesEditor(QWidget* Parent = nullptr);

    TCircledSeries* Series() const;
    // Hides the background colour, transparency and gradient.
    void HideBackgroundControls();

    QCheckBox* CBCircled;
    QCheckBox* CB3D;
    QSpinBox* UDRot; // the rotation edit with its up-down
    QGroupBox* GBRadius;
    QSpinBox* UDX;
    QCheckBox* CBAutoXR;
    QSpinBox* UDY;
    QCheckBox* CBAutoYR;
    TButtonColor* BBack;
    QCheckBox* CBTransp;
    TButtonGradient* BGradient;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    void TransparentClick(bool Checked);
    void BindRadius(QSpinBox* Radius, QCheckBox* Auto, bool Horizontal);
};

// The circled page as the "Circled" tab of the series page hosting Owner,
// made once for Series (the pie, polar, gauge and Smith pages' companion).
TCircledSeriesEditor* AddCircledPage(QWidget* Owner, QObject* Series);

} // namespace lp
