#pragma once
// The area page: multiple areas, stairs, the area lines, border, pattern
// and top brush, colour, origin and transparency. On its first show it
// adds the pointer page ("Point") and a gradient editor for the fill
// ("Gradient") as tabs of the series page.

#include "chart/editors/EditorPage.h"
#include "chart/editors/series/SeriesEditorTabs.h"

#include <QtCore/QPointer>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TAreaSeries;
class TButtonColor;
class TButtonPen;

class TAreaSeriesEditor : public TTabAddingSeriesPage {
    Q_OBJECT
public:
    explicit TAreaSeriesEditor(QWidget* Parent = nullptr);

    TAreaSeries* Series() const;
    // The extra tabs' pages while they live (the series page owns them).
    QPointer<TEditorPage> PointerEditor;
    QPointer<TEditorPage> GradientEditor;

    QGroupBox* GBMultiArea;
    QButtonGroup* RGMultiArea;
    QCheckBox* CBStairs;
    QCheckBox* CBInvStairs;
    TButtonPen* BAreaLinesPen;
    TButtonPen* BAreaLinePen;
    QPushButton* BPattern;
    QPushButton* Button1; // top brush
    QCheckBox* CBColorEach;
    TButtonColor* BAreaColor;
    QCheckBox* CBUseOrigin;
    QSpinBox* UDOrigin; // the origin edit with its up-down
    QSpinBox* UDTransp;

protected:
    void FillControls() override;
    void AddTabs() override;
    void UpdateEnabled() override;

private:
    void BrushClick(QPushButton* Button, bool Area);
};

} // namespace lp
