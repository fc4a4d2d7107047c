#pragma once
// The base of the pages that edit a series' line pen with the pen editor
// itself (fast line, volume): the pen editor embedded at the top without
// its OK and Cancel, and the series colour following the pen's colour.
// Descendants put their own controls into Options below it.

#include "chart/editors/EditorPage.h"
#include "chart/editors/PlotPenBrushDialogs.h"

#include <QtCore/QPointer>

namespace lp {

class TChartPen;

class TLinePenSeriesEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TLinePenSeriesEditor(QWidget* Parent = nullptr);

    // The embedded pen editor, made anew for each pen shown.
    TPenDialog* PenDialog() const { return FPenDialog.data(); }
    // Where descendants lay out their controls.
    QWidget* Options;

protected:
    // The line pen of the target, nullptr for a target of another class.
    virtual TChartPen* LinePen() const = 0;
    void FillControls() override;

private:
    void ColorChosen();

    QPointer<TPenDialog> FPenDialog;
};

} // namespace lp
