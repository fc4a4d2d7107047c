#pragma once
// The funnel series' page: lines, border, pattern, the colours above,
// within and below the difference limit, and that limit.

#include "chart/editors/EditorPage.h"

class QPushButton;
class QSpinBox;

namespace lp {

class TButtonColor;
class TButtonPen;

class TFunnelSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TFunnelSeriesEditor(QWidget* Parent = nullptr);

    TButtonPen* ButtonPen1;
    TButtonPen* ButtonPen2;
    QPushButton* Button1;
    TButtonColor* AboveColor;
    TButtonColor* WithinColor;
    TButtonColor* BelowColor;
    QSpinBox* DifLimit;

protected:
    void FillControls() override;
};

} // namespace lp
