#pragma once
// The picture tool's page: the picture laid under a series' extent, loaded
// from a file or cleared with one toggling button, shown in a preview and
// saved in its own format.

#include "chart/editors/tools/ToolEditorBases.h"

class QGroupBox;

namespace lp {

class TChartImageTool;
class TGraphic;

class TChartImageToolEditor : public TSeriesToolEditor {
    Q_OBJECT
public:
    explicit TChartImageToolEditor(QWidget* Parent = nullptr);

    TChartImageTool* ImageTool() const;

    QGroupBox* GroupBox1;
    QLabel* Image1;
    QPushButton* Button1;
    QPushButton* BSave;

    // Loads a chosen picture file (tag 0) or clears the picture (tag 1).
    void Button1Click();
    // Saves the picture in its own format to a chosen file.
    void BSaveClick();

    // The save filter of Graphic's class: the registered formats whose
    // graphic is of that class.
    static QString SaveFilterOf(const TGraphic& Graphic);

protected:
    void FillControls() override;

private:
    void ShowPreview();
};

} // namespace lp
