#pragma once
// The arrow page: arrow head width and height, the head's share of the
// arrow, border, pattern and colour.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace lp {

class TArrowSeries;
class TButtonColor;
class TButtonPen;

class TArrowSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TArrowSeriesEditor(QWidget* Parent = nullptr);

    TArrowSeries* Series() const;

    QSpinBox* UDArrowWidth;
    QSpinBox* UDArrowHeight;
    QSlider* SBPercent;
    QLabel* LPercent;
    TButtonPen* BPen;
    QPushButton* BBrush;
    QCheckBox* CBColorEach;
    TButtonColor* BArrowColor;

protected:
    void FillControls() override;
    void UpdateEnabled() override;

private:
    void BrushClick();
};

} // namespace lp
