#pragma once
// The base of every function editor form: the options of one analysis
// function, embedded in the function page's "Options" tab.
//
//   TPlotFuncEditor ─embeds─> TBaseFunctionEditor   target: the function
//
// The form loads its controls from the function (LoadSettings) and stores
// them back (StoreSettings) only when the function page applies; a control
// change merely makes the page's "&Apply" pending. Shown alone, outside a
// function page, the form still loads and stores, and a change makes
// nothing pending.

#include "chart/editors/EditorPage.h"

class QComboBox;
class QLineEdit;

#include <memory>
#include <vector>

namespace lp {

class TPageBuilder;
class TChartSeries;
class TPlotFuncEditor;
class TPlotFunction;

class TButtonPen;
class TPen;

// Links Button to Pen; without a pen (a function not yet computing a
// series) the button is disabled.
void LinkPenButton(TButtonPen* Button, TPen* Pen);

class TBaseFunctionEditor : public TEditorPage {
    Q_OBJECT
public:
    explicit TBaseFunctionEditor(QWidget* Parent = nullptr);
    ~TBaseFunctionEditor() override;

    // The edited function (the target); nullptr while there is none yet.
    TPlotFunction* Function() const;

    // The function page this form is embedded in; nullptr when shown alone.
    TPlotFuncEditor* FunctionPage() const;
    void SetFunctionPage(TPlotFuncEditor* Page);

    // Edits wait for the page's "&Apply".
    bool DefersEdits() const override { return true; }
    // Stores the controls into the function: one of the class the page
    // chose is made for the page's series first when there is none; the
    // function becomes the series' function when the series has none.
    // CheckSettings runs first: a refused apply changes nothing.
    void ApplyEdits() override;
    // Raises what storing the controls would raise, or what the function
    // could not compute (a text that is not a number, a value out of
    // range), so the page can refuse an apply before changing anything.
    virtual void CheckSettings() const {}

protected:
    // Copies the controls into the function (inside its update).
    virtual void StoreSettings() {}
    // Fills the controls from the function.
    virtual void LoadSettings() {}
    // Every control change: makes the function page's "&Apply" pending.
    void Changed();
    // The series of the function's chart (the page's series' chart while
    // the function is not yet attached), each with its title, for combos.
    void FillSeriesCombo(QComboBox* Combo) const;
    // The series the function computes or will compute.
    TChartSeries* EditedSeries() const;
    // The source series the function computes from once applied: the
    // function page's choice, else the edited series' own sources.
    std::vector<TChartSeries*> SourcesOnApply() const;
    // A line edit named Name for a number, showing Text, as wide as the
    // numbers it takes.
    QLineEdit* NumberEdit(const char* Name, const QString& Text = {});

    void FillControls() override;
    // The grid the form's rows go into (made on first use, with the
    // page's layout); descendants add their rows below.
    TPageBuilder& Builder();

private:
    std::unique_ptr<TPageBuilder> FBuilder;
    QPointer<TPlotFuncEditor> FFunctionPage;
};

} // namespace lp
