#pragma once
// "Forward response": what a resistivity survey over the drawn section would
// measure, as pseudo-sections beside the main window, following every edit.
//
//   TForwardResponseWindow (a top-level QWidget, not modal)
//     ├─ the survey panel: array, electrodes, spacing, first electrode,
//     │  levels, host resistivity; Follow edits, Compute; Save data...,
//     │  Print preview..., Export picture...
//     ├─ the state line ("updating…", the last error), progress and Cancel
//     ├─ ResistivityChart    apparent resistivity, logarithmic colours
//     └─ ChargeabilityChart  apparent chargeability, shown when some region
//                            is polarizable
//   With measured data opened (Modelling > Measured data...), the survey is
//   the file's and three charts stand one above the other: MeasuredChart,
//   ResistivityChart (calculated) on one logarithmic scale, and MisfitChart
//   (per cent, diverging about 0), the totals above them; QuantityBox
//   switches them to chargeability when both sides have it.
//   and, on the section chart, the electrodes as marks along the surface
//   while the window is open.
//
// Computations run on threads of their own (the forward library is plain
// C++), kept by the program (TBackgroundThreads), not by the window: the
// model is copied on the user-interface thread, the copy is meshed and
// solved away from it on every core the process may run on, at a lower
// priority than the editor, and the result comes back as a queued call.
// Every start makes the runs before it obsolete: they are cancelled and
// what they still deliver is dropped. Closing the window never waits for a
// run: it is cancelled, ends in the background and its result goes
// nowhere. Until the newest run delivers, the charts keep the last good
// result, marked as out of date. The survey's fields are checked as they
// are typed and kept in the user's settings.

#include "section/forward/ForwardResponse.h"
#include "section/forward/Misfit.h"
#include "section/main/ForwardPseudoSection.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

namespace lp {

class TChartImageTool;
class TMetafile;
class TPointSeries;
class TPolygonChart;
class TPseudoSection2d;

// The survey as the panel holds it; Spacing and First empty for the
// default (the electrodes spread over the model area), HostResistivity
// empty when the section sets the host's resistivity.
struct TForwardSurveySettings {
    TArrayKind Kind = TArrayKind::DipoleDipole;
    int Electrodes = 48;
    QString Spacing;
    QString First;
    int Levels = 6;
    QString HostResistivity = QStringLiteral("100");
    bool FollowEdits = true;

    // The settings under the user's key; defaults for what is missing or
    // unreadable.
    static TForwardSurveySettings Load();
    void Save() const;
};

class TForwardResponseWindow : public QWidget {
    Q_OBJECT
public:
    TForwardResponseWindow(TPolygonChart& Section, QWidget* Parent);
    ~TForwardResponseWindow() override;

    // The section's model changed: with Follow edits on, a new computation;
    // else the result is marked out of date.
    void ModelChanged();
    // Starts a computation of the model as it is now (the button).
    void Compute();
    // Cancels the computation in progress (the button); the charts keep
    // what they show, out of date.
    void CancelComputation();
    // Writes the shown data: the table when the name ends in ".csv", else
    // the unified data file. False with the reason in Error.
    bool SaveData(const QString& FileName, QString& Error) const;
    // Reads a measured data file: the survey comes from it from now on and
    // the charts compare. False with the reader's message in Error, and
    // nothing changed.
    bool OpenMeasuredData(const QString& FileName, QString& Error);
    // The open dialog, then OpenMeasuredData (a refusal shown as a
    // message); true when a file was opened.
    bool AskOpenMeasuredData(QWidget* Owner);
    // Back to the array survey the fields describe.
    void UseArraySurvey();
    // The measured data the survey comes from; nullptr with an array survey.
    const TMeasuredData* MeasuredData() const { return FMeasured.get(); }
    // The misfit of the shown result against the measured data it was
    // computed for; empty without measured data.
    const std::optional<TMisfit>& Misfit() const { return FMisfit; }

    // --- State ---
    bool Busy() const { return FRunning; }
    // What the charts show is older than the model (or the survey).
    bool Stale() const { return FStale; }
    const std::optional<TForwardResult>& Result() const { return FResult; }
    // The message of the last failed computation; empty after a success.
    QString ErrorText() const { return FError; }
    // The survey the fields describe; empty with the reason when a field
    // does not hold an acceptable value.
    std::optional<TArrayLayout> SurveyLayout(QString* Reason = nullptr) const;
    std::optional<double> HostResistivity() const;
    // Whether the section leaves the host's resistivity to the field.
    bool HostFieldUsed() const;
    // Fires on the user-interface thread after each computation's end
    // (success, failure or cancel); for those who wait for it.
    std::function<void()> OnComputationEnd;
    // Runs on each computation's own thread before it begins; a copy goes
    // with the run, so it must hold nothing of the window (tests hold a
    // run there).
    std::function<void()> OnRunStart;
    // Ctrl+Z in this window (outside its text fields): the section's undo.
    std::function<void()> OnUndo;
    // The section file the editor has open (empty when none): Save data
    // never writes over it.
    std::function<QString()> SectionFile;
    // Runs longer than this (ms) show the progress bar and Cancel.
    int ProgressDelay = 400;

    // --- Controls ---
    QComboBox* ArrayBox = nullptr;
    QSpinBox* ElectrodesBox = nullptr;
    QLineEdit* SpacingEdit = nullptr;
    QLineEdit* FirstEdit = nullptr;
    QSpinBox* LevelsBox = nullptr;
    QLineEdit* HostEdit = nullptr;
    QLabel* MeasuredLabel = nullptr;        // the data file's name, electrodes and data count
    QPushButton* ArraySurveyButton = nullptr; // back to the array survey
    QCheckBox* FollowBox = nullptr;
    QPushButton* ComputeButton = nullptr;
    QPushButton* SaveButton = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* ExportButton = nullptr;
    QLabel* StateLabel = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* CancelButton = nullptr;
    QLabel* MisfitLabel = nullptr;  // the totals above the charts
    QComboBox* QuantityBox = nullptr; // resistivity or chargeability compared
    TPseudoSection2d* MeasuredChart = nullptr;
    TPseudoSection2d* MisfitChart = nullptr;
    TPseudoSection2d* ResistivityChart = nullptr;
    TPseudoSection2d* ChargeabilityChart = nullptr;
    // The electrodes on the section chart (nullptr once that chart is gone).
    QPointer<TPointSeries> ElectrodeMarks;

protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;

private:
    struct TLink;
    struct TJob;
    struct TOutcome;
    struct TChartParts;
    void CreatePanel();
    TPseudoSection2d* CreateChart(TChartParts& Parts, const QString& Title);
    TChartParts& AddChart(const QString& Title, const QString& Unit);
    void ShowMeasuredSurvey();
    void ShowComparison(double DeepestPoint);
    void LoadSettings();
    // Checks and keeps the fields; a changed survey is computed anew.
    void SurveyEdited(bool SurveyChanged = true);
    void StartRun();
    // On the run's own thread; reaches the window only through Job's link.
    static void Run(const std::shared_ptr<TJob>& Job);
    void RunEnded(const TOutcome& Outcome);
    void ShowProgress(int Serial, double Fraction);
    void ShowState();
    void ShowResult();
    // Fills the chart; draws its picture unless Rebuild is false (the
    // caller changes its scale first and draws it then).
    void ShowChart(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                   const std::vector<double>& Values, double DeepestPoint, bool Rebuild = true);
    void DrawColorBar(TChartParts& Parts);
    void PlaceElectrodeMarks();
    void AskSaveData();
    void PreviewChart();
    void ExportChart();
    TPseudoSection2d* ChosenChart();
    // The runs (cancelled) go on without the window; nothing they deliver
    // reaches it.
    void AbandonRuns();

    TPolygonChart& FSection;
    std::vector<std::unique_ptr<TChartParts>> FCharts;
    std::shared_ptr<TLink> FLink; // shared with every run
    std::shared_ptr<TJob> FJob; // the newest run
    int FSerial = 0;
    bool FRunning = false;
    bool FStale = false;
    bool FEditedDuringRun = false; // the model changed while a run computed it
    bool FLoading = false;
    bool FCancelled = false; // the newest run was cancelled
    QString FError;
    std::optional<TForwardResult> FResult;
    std::shared_ptr<const TMeasuredData> FMeasured; // the survey's source; none for the array survey
    std::shared_ptr<TForwardCache> FCache;           // the last run's mesh, for runs that change parameters only
    QString FMeasuredName;
    std::shared_ptr<const TMeasuredData> FShownMeasured; // what FResult was computed for
    std::optional<TMisfit> FMisfit;
    QString FWarning; // the measured electrodes' elevations against the surface
};

} // namespace lp
