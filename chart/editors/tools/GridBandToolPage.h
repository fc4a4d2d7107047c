#pragma once
// The grid band tool's page: the two bands between an axis' grid lines,
// chosen on a tab strip, each with its pattern, colour (through the
// preview), background colour, transparency and gradient.

#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/tools/ToolEditorBases.h"

class QTabBar;

namespace lp {

class TButtonGradient;
class TGridBandBrush;
class TGridBandTool;

// The preview of a band: its brush over its background colour, or its
// gradient. A click or Space opens the colour dialog for the brush colour.
class TGridBandPreview : public TColorSwatch {
    Q_OBJECT
public:
    explicit TGridBandPreview(QWidget* Parent = nullptr);

    // The band shown (observed) and the colour of the chart's back wall,
    // which a band of the default background shows.
    void Show(TGridBandBrush* Band, TColor BackWallColor);
    QSize sizeHint() const override { return {60, 40}; }

protected:
    void paintEvent(QPaintEvent* Event) override;

private:
    QPointer<TGridBandBrush> FBand;
    TColor FBackWallColor = clWhite;
};

class TGridBandToolEdit : public TAxisToolEditor {
    Q_OBJECT
public:
    explicit TGridBandToolEdit(QWidget* Parent = nullptr);

    TGridBandTool* BandTool() const;
    // The band of the chosen tab (nullptr without a tool).
    TGridBandBrush* Band() const;

    QTabBar* TabControl1;
    QPushButton* BBand1;
    TGridBandPreview* Draw3D1;
    TButtonColor* ButtonColor1;
    QSpinBox* UpDown1;
    TButtonGradient* ButtonGradient1;

protected:
    void FillControls() override;
    void showEvent(QShowEvent* Event) override;
};

} // namespace lp
