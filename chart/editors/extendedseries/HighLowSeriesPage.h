#pragma once
// The high-low series' page: the lines, high and low pens, the patterns
// of both sides, colour each point, the colour and the transparency.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonColor;
class TButtonPen;

class THighLowEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit THighLowEditor(QWidget* Parent = nullptr);

    TButtonPen* BPen;
    TButtonPen* BHighPen;
    TButtonPen* BLowPen;
    QPushButton* BBrush;
    QPushButton* BLowBrush;
    QCheckBox* CBColorEach;
    TButtonColor* BColor;
    QSpinBox* UDTransp;

protected:
    void FillControls() override;
};

} // namespace lp
