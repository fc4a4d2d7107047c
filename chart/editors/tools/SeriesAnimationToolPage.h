#pragma once
// The series animation tool's page: steps, start, grouping and loop of the
// animation, and the button that runs and stops it. While the animation
// runs the page cannot be left or closed; a page that goes anyway (its
// host freed it) or a tool freed meanwhile stops the animation first.

#include "chart/editors/tools/ToolEditorBases.h"

class QCheckBox;
class QSlider;

namespace lp {

class TSeriesAnimationTool;

class TSeriesAnimToolEditor : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TSeriesAnimToolEditor(QWidget* Parent = nullptr);
    ~TSeriesAnimToolEditor() override;

    TSeriesAnimationTool* AnimationTool() const;

    QSlider* SBSteps;
    QLabel* Label3;
    QCheckBox* CBStartMin;
    QLineEdit* EStart;
    QSpinBox* UpDown1;
    QComboBox* ComboFlat1;
    QPushButton* Button1;

    // Runs the animation (returns when it ends) or, while it runs, stops it.
    void Button1Click();
    // Refused while the animation runs.
    bool MayLeave() override;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void closeEvent(QCloseEvent* Event) override;
    void reject() override;

private:
    void ResetButton();
    bool Animating() const;

    // The tool whose animation this page's button runs, while it runs.
    QPointer<TSeriesAnimationTool> FRunning;
};

} // namespace lp
