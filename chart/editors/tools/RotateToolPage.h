#pragma once
// The rotate tool's page: direction, what a drag turns, the mouse button
// and the outline pen drawn while turning.

#include "chart/editors/EditorPage.h"

class QCheckBox;
class QComboBox;

namespace lp {

class TButtonPen;
class TRotateTool;

class TRotateToolEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TRotateToolEditor(QWidget* Parent = nullptr);

    TRotateTool* Tool() const;

    QCheckBox* CBInverted;
    QComboBox* CBStyle;
    QComboBox* CBButton;
    TButtonPen* BOutline;

    // The combo's entries "Left", "Middle", "Right" and the mouse buttons.
    static int EntryOfButton(int Button);
    static int ButtonOfEntry(int Entry);

protected:
    void FillControls() override;
};

} // namespace lp
