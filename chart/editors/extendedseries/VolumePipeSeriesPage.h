#pragma once
// The volume pipe series' page: border, lines, pattern with a clear back,
// the cone's narrowing in per cent and the gradient with its direction.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

namespace lp {

class TButtonPen;

class TVolumePipeSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TVolumePipeSeriesEditor(QWidget* Parent = nullptr);

    // The brush colour of a clear back.
    static constexpr int ClearBackColor = 0x1FFFFFFF;

    TButtonPen* ButtonPen1;
    TButtonPen* ButtonPen2;
    QPushButton* Button1;
    QCheckBox* CheckBox1;
    QSpinBox* UpDown1;
    QCheckBox* CheckGradient;
    QComboBox* CBDirection;

protected:
    void FillControls() override;

private:
    void ApplyClearBack();
};

} // namespace lp
