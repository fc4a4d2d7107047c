#pragma once
// The "Titles" tab of the chart editor: one of the chart's four titles at a
// time ("Title", "SubTitle", "SubFoot", "Foot"), its visibility, frame
// fitting, alignment, text and custom place, and its format tabs.

#include "chart/editors/EditorPage.h"
#include "chart/engine/PlotTitles.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;

namespace lp {

class TCustomChart;
class TFormPlotShape;
class TStringList;

// The alignment list of title pages: "Left", "Center", "Right", and the
// conversions between its rows and a title's alignment.
QStringList TitleAlignmentNames();
int TitleAlignmentIndex(TChartTitle::TAlignment Alignment);
TChartTitle::TAlignment TitleAlignmentAt(int Index);
// A title's lines as a text edit shows them, and back: Text is split at its
// line breaks and stored only when the lines differ.
QString TitleLines(const TStringList& Lines);
void SetTitleLines(TStringList& Lines, const QString& Text);

class TFormPlotTitle : public TEditorPage {
    Q_OBJECT
public:
    explicit TFormPlotTitle(QWidget* Parent = nullptr);

    TCustomChart* Chart() const;
    // The title edited (the chart's Title by default).
    TChartTitle* TheTitle() const;
    // Chooses which of the chart's titles is edited; writes nothing.
    void SetEditTitle(TChartTitle* Title);

    QComboBox* CBTitles;
    QTabWidget* PageControlTitle;
    QCheckBox* CBVisible;
    QCheckBox* CBAdjust;
    QComboBox* CBAlign;
    QPlainTextEdit* MText;
    QCheckBox* CBCustPos;
    QSpinBox* UDLeft;
    QSpinBox* UDTop;
    TFormPlotShape* ShapeEditor;

protected:
    void FillControls() override;
    void UpdateEnabled() override;
    void showEvent(QShowEvent* Event) override;

private:
    QWidget* BuildStyleTab();
    QWidget* BuildPositionTab();
    void BindControls();
    void CBTitlesChange();
    void MTextChange();

    int FTitleIndex = 0;
    bool FWritingText = false;
};

} // namespace lp
