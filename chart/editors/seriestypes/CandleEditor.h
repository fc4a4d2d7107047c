#pragma once
// The candle page: "Options" (style, width, open and close ticks, 3-D,
// border and high-low lines) and "Colors" (up and down colours with their
// gradients, and what a candle's colour compares with).

#include "chart/editors/EditorPage.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace lp {

class TButtonColor;
class TButtonGradient;
class TButtonPen;
class TCandleSeries;

class TCandleEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TCandleEditor(QWidget* Parent = nullptr);

    TCandleSeries* Series() const;

    QTabWidget* PageControl1;
    QGroupBox* GBStyle;
    QButtonGroup* RGStyle;
    QLabel* LWidth;
    QSpinBox* UDWidth; // the width edit with its up-down
    QCheckBox* CBShowOpen;
    QCheckBox* CBShowClose;
    QCheckBox* CBDraw3D;
    QCheckBox* CBDark3D;
    TButtonPen* Button1; // border
    TButtonPen* BHighLow;
    TButtonColor* BUpColor;
    TButtonGradient* BUpGradient;
    TButtonColor* BDownColor;
    TButtonGradient* BDownGradient;
    QComboBox* CBColorStyle;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
};

} // namespace lp
