#pragma once
// The pyramid series' page: border, colour each point or one colour,
// pattern and the size in per cent.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonColor;
class TButtonPen;

class TPyramidSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TPyramidSeriesEditor(QWidget* Parent = nullptr);

    TButtonPen* BPen;
    QCheckBox* CBColorEach;
    TButtonColor* BColor;
    QPushButton* Button1;
    QSpinBox* UDSize;

protected:
    void FillControls() override;
    // One colour only without colour each point.
    void UpdateEnabled() override;
};

} // namespace lp
