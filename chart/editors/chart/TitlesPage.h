#pragma once
// The "Titles" tab of the chart editor: one of the chart's four titles at a
// time ("Title", "SubTitle", "SubFoot", "Foot"), its visibility, frame
// fitting, alignment, text and custom place, and its format tabs. The
// target is the edited title; the combo switches it to another title of the
// same chart.

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

    // The chart of the edited title.
    TCustomChart* Chart() const;
    TChartTitle* TheTitle() const;
    // The chart's four titles in the combo's order.
    std::vector<TChartTitle*> Titles() const;

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

    bool FWritingText = false;
};

} // namespace lp
