#pragma once
// The function page: the data-source page of a series whose points an
// analysis function computes from other series.
//
//   TPlotFuncEditor (TBaseSourceEditor)   target: the edited series
//     ├─ "Source Series": one source with its value list (PanSingle), or
//     │   an ordered choice of several (TSelectListForm)
//     └─ "Options": the chosen function type's editor form
//
// Nothing reaches the series before "&Apply": a newly chosen type is
// edited on a detached function that the series takes on Apply, and the
// same type keeps the series' own function object.

#include "chart/canvas/PlotPanel.h"
#include "chart/editors/data/PlotSourceEdit.h"
#include "chart/engine/PlotRegistry.h"

#include <memory>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTimer;

namespace lp {

class TCustomPlotPanel;
class TPlotFunction;
class TSelectListForm;

class TPlotFuncEditor : public TBaseSourceEditor, public IPlotEventListener {
    Q_OBJECT
public:
    explicit TPlotFuncEditor(QWidget* Parent = nullptr);
    ~TPlotFuncEditor() override;

    // The function class chosen in CBSources; nullptr for "Copy".
    TPlotFunctionClass SelectedFunctionClass() const;
    // The embedded editor form of the chosen type, or nullptr.
    TEditorPage* FunctionEditor() const { return FFunctionEditor.data(); }
    TSelectListForm* SelectList() const { return FSelectList; }
    // The source series an apply would give the series, in their order.
    std::vector<TChartSeries*> ChosenSources() const;

    QTabWidget* PageControl1;
    QWidget* TabSource;
    QWidget* TabOptions;
    QWidget* PanSingle;
    QLabel* Label1;
    QComboBox* CBSingle;
    QLabel* LValues;
    QComboBox* CBValues;
    QPushButton* BNone;
    QTimer* Timer1;
    QTimer* Timer2;

    void PlotEvent(TPlotEvent& Event) override;

protected:
    void FillControls() override;
    void ApplyChanges() override;
    void showEvent(QShowEvent* Event) override;

private:
    void FillFunctionTypes();
    void FillSources();
    void SelectCurrentFunction();
    void CBSourcesChange();
    void CBSingleChange();
    void BNoneClick();
    // Lays the tabs out for the chosen type and shows its editor form.
    void ShowFunctionType(TPlotFunctionClass Class);
    void ShowFunctionEditor(const QString& EditorClassName);
    // The function the editor form edits: the series' own when it is of
    // Class, else a detached one of Class made for the page.
    TPlotFunction* FunctionToEdit(TPlotFunctionClass Class);
    // The series' function becomes one of Class (none for nullptr),
    // keeping a function already of that class.
    void SetFunctionType(TPlotFunctionClass Class);
    TChartSeries* Candidate(const QVariant& Data) const;
    void Listen();
    void StopListening();

    TSelectListForm* FSelectList = nullptr;
    QPointer<TEditorPage> FFunctionEditor;
    TPlotFunctionClass FEditorClass = nullptr;
    std::unique_ptr<TPlotFunction> FDraft;
    std::vector<QPointer<TChartSeries>> FCandidates;
    QPointer<TCustomPlotPanel> FListened;
    bool FChanging = false;
    bool FDestroying = false;
};

} // namespace lp
