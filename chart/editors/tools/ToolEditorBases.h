#pragma once
// The two pages most tool pages derive from, and the pieces every tool page
// shares.
//
//   TEditorPage
//     ├─ TSeriesToolEditor   "&Series:" over the chart's series ("(none)"
//     │                      first); the page of a series tool without one
//     │                      of its own
//     └─ TAxisToolEditor     "&Axis:" over the chart's axes and "&Border..."
//                            for the tool's Pen; the page of an axis tool
//                            without one of its own
//
// A page's target is its tool. Derived pages add their controls in a body
// below the base's top row (AddBody) and extend FillControls and
// UpdateEnabled, calling the base's first.

#include "chart/editors/EditorPage.h"
#include "chart/editors/TypedNumberEdit.h"
#include "platform/graphics/GraphicsTypes.h"
#include "platform/ui/Application.h"

#include <QtCore/QPointer>

#include <functional>
#include <vector>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QVBoxLayout;
class QWidget;

namespace lp {

class TButtonPen;
class TChartAxis;
class TChartBrush;
class TChartPen;
class TChartSeries;
class TCustomAxisPanel;
class TPlotCustomTool;
class TPlotCustomToolAxis;
class TPlotCustomToolSeries;

// --- What every tool page shares ----------------------------------------------------------------

// A spin box named Name with the range and step.
QSpinBox* ToolSpin(QWidget* Parent, const char* Name, int Min, int Max, int Step = 1);
// A one-line edit named Name for a real or whole number typed freely.
QLineEdit* NumberEdit(QWidget* Parent, const char* Name);
// The text read as a real number (the user's locale or the C form); false
// when it is none.
bool ReadNumber(const QString& Text, double& Value);
// The text read as a whole number; false when it is none.
bool ReadWholeNumber(const QString& Text, int& Value);

// Binds Combo, filled with the cursor names, to a cursor value: a name that
// is no cursor keeps the old value. Field: stored without a repaint.
void BindCursorCombo(TEditorPage& Page, QComboBox* Combo, std::function<TCursor()> Read,
                     std::function<void(TCursor)> Write, bool Field);

// A button that edits a brush in the brush dialog; After runs when the
// dialog closed with OK.
QPushButton* BrushButton(QWidget* Parent, const char* Name, const QString& Caption,
                         std::function<TChartBrush*()> Brush, std::function<void()> After = {});

// The pen of the tool's published property Name (nullptr when it has none).
TChartPen* PublishedPen(QObject* Tool, const char* Name);

// Shows Names in Combo for the series Listed, unless Combo shows them for
// those series already (an unchanged list is left alone, so an open
// drop-down stays as it is); Shown holds the series Combo lists.
void RefillSeriesCombo(QComboBox* Combo, std::vector<QPointer<TChartSeries>>& Shown,
                       std::vector<QPointer<TChartSeries>> Listed, const QStringList& Names);

// --- TSeriesToolEditor -------------------------------------------------------------------------

class TSeriesToolEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TSeriesToolEditor(QWidget* Parent = nullptr);

    TPlotCustomToolSeries* Tool() const;

    QLabel* Label1;
    QComboBox* CBSeries;

    // The series shown at combo entry Index (nullptr for a leading entry
    // such as "(none)" or out of range).
    TChartSeries* SeriesAt(int Index) const;

protected:
    // Adds Body below the top row.
    void AddBody(QWidget* Body);
    QWidget* PanelTop;

    // The entries before the series ("(none)" by default); a tool without
    // a series shows the first of them.
    void SetLeadingEntries(const QStringList& Entries);
    // Whether Series is listed: shown in editors by default.
    virtual bool ListsSeries(const TChartSeries& Series) const;
    // The chart the series come from: the tool's.
    virtual TCustomAxisPanel* SeriesChart() const;
    // The tool's series and its change; the default reads and writes the
    // tool's Series and repaints.
    virtual TChartSeries* ChosenSeries() const;
    virtual void ChooseSeries(TChartSeries* Series);

    void FillControls() override;
    void UpdateEnabled() override;

private:
    int SeriesIndex() const;
    void FillSeriesList();

    QVBoxLayout* FLayout;
    QStringList FLeading;
    std::vector<QPointer<TChartSeries>> FListed;
};

// --- TAxisToolEditor ---------------------------------------------------------------------------

class TAxisToolEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TAxisToolEditor(QWidget* Parent = nullptr);

    TPlotCustomToolAxis* Tool() const;

    QWidget* PanelTop;
    QLabel* Label1;
    QComboBox* CBAxis;
    TButtonPen* BPen;

    // With the depth axes, entries 4 and 5 are the depth axes; no page here
    // sets it.
    bool DepthAxes = false;

    // The axis of combo entry Index: 0 to 3 the side axes, later entries the
    // chart's axis at Index + 2 (+ 0 with the depth axes).
    TChartAxis* AxisAt(int Index) const;
    // The entry of Axis, -1 when the list holds none.
    int IndexOfAxis(const TChartAxis* Axis) const;

protected:
    void AddBody(QWidget* Body);
    // Adds Control to the top row, after the pen button.
    void AddTopControl(QWidget* Control);
    void FillControls() override;
    void UpdateEnabled() override;

private:
    QVBoxLayout* FLayout;
    QHBoxLayout* FTopLine;
};

} // namespace lp
