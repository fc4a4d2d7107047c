#pragma once
// "Forward response": what a resistivity survey over the drawn section would
// measure, as pseudo-sections beside the main window, following every edit.
//
//   TForwardResponseWindow (a top-level QWidget, not modal)
//     ├─ the survey panel: array, electrodes, spacing, first electrode,
//     │  levels, host resistivity; Follow edits, Compute, Fit regions
//     │  (with measured data: the dialog of RegionFitDialog.h); Save data...,
//     │  Print preview..., Export picture...
//     ├─ the state line ("updating…", the last error), progress and Cancel
//     ├─ ResistivityChart    apparent resistivity, logarithmic colours
//     ├─ ChargeabilityChart  apparent chargeability, shown when some region
//     │                      is polarizable
//     └─ PhaseChart          apparent phase's magnitude (mrad, to first
//                            order), shown when some region has a phase
//   With measured data opened (Modelling > Measured data...), the survey is
//   the file's and three charts stand one above the other: MeasuredChart,
//   ResistivityChart (calculated) on one logarithmic scale, and MisfitChart
//   (per cent, diverging about 0), the totals above them; QuantityBox
//   switches them to chargeability when the file has it (calculated as 0
//   while no region is polarizable).
//   and, on the section chart, the electrodes as marks along the surface
//   while the window is open.
//
// Computations go through the window's TBackgroundRun (BackgroundRun.h):
// the model is copied on the user-interface thread, the copy is meshed and
// solved away from it on every core the process may run on, at a lower
// priority than the editor, and the result comes back as a queued call;
// the newest start wins, Cancel stops a run, and closing the window never
// waits for one. Until the newest run delivers, the charts keep the last
// good result, marked as out of date. The survey's fields are checked as
// they are typed and kept in the user's settings, with the error model and
// the last measured data file (offered again when the window opens while
// the file can still be read).
//
// With measured data the error model (relative error in per cent, an
// absolute voltage error in volts where the file gives voltages) sets the
// errors of the data whose file gives none; changing it recomputes the
// misfit's totals, not the response. Hovering over a datum of any chart
// shows its values in the line under the charts (HoverLabel).
//
// Cleaning the measured data (ForwardResponseCleaning.cpp): the response is
// computed at every configuration of the file, and what is compared, fitted
// and inverted are the data the user keeps (TDataRemovals). In the measured
// chart a click selects the datum under the mouse, a drag the data in its
// rectangle (Ctrl adds to the selection); Delete or Remove takes the
// selected data out, Restore brings them back, the Clean menu's filters
// take out data by a rule; each is one undo step, and Ctrl+Z in the window
// takes back the data's last step before it reaches the section's undo.
// Removed data are drawn as hollow rings (Show removed), the selected as
// black squares. A removal changes no computed response: the comparison is
// recut at once. The removed set is kept in the settings with the file's
// name and checksum, and comes back when the same file is opened again;
// the sets of the last files opened are kept so, one per file.

#include "section/forward/ForwardResponse.h"
#include "section/survey/DataRemovals.h"
#include "section/survey/Misfit.h"
#include "section/modelling/BackgroundRun.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/modelling/RegionFitDialog.h"
#include "section/modelling/ReciprocalErrorsDialog.h"

#include <QtCore/QPoint>
#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QBoxLayout;
class QMenu;
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
    QString RelativeError = QStringLiteral("3"); // per cent
    QString VoltageError = QStringLiteral("0");  // volts
    QString MeasuredFile;   // the measured data file open; empty with the array survey
    // The removed data of the files opened last, each "<checksum> <datum
    // indexes>" (TDataRemovals::RemovedText), the newest first, at most
    // MaxRemovedSets; kept as one value, the sets joined by ';' (a single
    // set is the form older settings hold).
    std::vector<QString> MeasuredRemoved;
    static constexpr size_t MaxRemovedSets = 50;
    QString MeasuredFolder; // where the last measured data file was opened from

    // The settings under the user's key; defaults for what is missing or
    // unreadable.
    static TForwardSurveySettings Load();
    void Save() const;
};

// The open dialog's filter for measured data files: all formats read, each
// format with its extensions (formats/DataFormats.h), all files.
QString MeasuredDataFilter();
// A measured data file read whole; nullptr with the reader's message in
// Error (a file without a usable datum too).
std::shared_ptr<const TMeasuredData> ReadMeasuredDataFile(const QString& FileName, QString& Error,
                                                          const TDataReading& Reading = {});

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
    // Data read already (ReadMeasuredDataFile) as the survey's source, as
    // OpenMeasuredData takes them: FileName the file (remembered in the
    // settings; empty: none), Name for the panel (empty: FileName's).
    void UseMeasuredData(std::shared_ptr<const TMeasuredData> Data, const QString& FileName,
                         const QString& Name = {});
    // Fits the section's regions to the measured data in the fit dialog
    // (the button): the dialog shows, its fit starts. False when no fit
    // could start (no measured data, a host medium's resistivity that is
    // no number).
    bool FitRegions();
    // The fit dialog; nullptr until Fit regions first opens it.
    TRegionFitDialog* FitDialog() const { return FFitDialog; }
    // Back to the array survey the fields describe.
    void UseArraySurvey();
    // The measured data kept for comparing, fitting and inverting (the
    // file's data less those removed); nullptr with an array survey.
    const TMeasuredData* MeasuredData() const { return FMeasured.get(); }
    // The same data as shared (never changed once made; a removal makes new
    // ones): the inversion window holds them and knows them again by their
    // address.
    std::shared_ptr<const TMeasuredData> SharedMeasuredData() const { return FMeasured; }
    // The measured data file's name (without its folder); empty without.
    QString MeasuredName() const { return FMeasuredName; }
    // Its full name (empty without, or when the data came without one),
    // and the folder the open dialog starts in.
    QString MeasuredFile() const { return FMeasuredFile; }
    QString MeasuredFolder() const { return FMeasuredFolder; }
    // The misfit of the shown result against the measured data it was
    // computed for; empty without measured data.
    const std::optional<TMisfit>& Misfit() const { return FMisfit; }

    // --- Cleaning the measured data ---
    // The removals from the open file (no file with the array survey).
    const TDataRemovals& Removals() const { return FRemovals; }
    // The data selected in the measured chart, by the file's index.
    std::vector<size_t> SelectedData() const;
    // Selects exactly Data (the file's indexes; those beyond it ignored).
    void SelectData(const std::vector<size_t>& Data);
    // The selected data removed or restored, as one step; the number changed.
    size_t RemoveSelected();
    size_t RestoreSelected();
    // The filters, each one step saying in the state line how many it
    // removed; empty when refused (the reason in the state line). The misfit
    // filter without data takes the shown comparison's misfits; with them,
    // Misfits are of those data (the inversion window's), which must be
    // the data kept now.
    std::optional<size_t> RemoveNonPositive();
    std::optional<size_t> RemoveOutliers(double K);
    std::optional<size_t> RemoveReciprocalBeyond(double Percent);
    std::optional<size_t> RemoveMisfitBeyond(double Percent, const TMeasuredData* Data = nullptr,
                                             const std::vector<double>& Misfits = {});
    // The error model fitted to the reciprocal pairs as the paired data's
    // error; false when there is no pair to fit.
    bool UseReciprocalErrors(bool On);
    // The data whose sign disagrees with their configuration's geometric
    // factor turned to its sign (on), or taken as read (off); one step of
    // the Clean menu's check "Turn reversed polarity", saying how many in
    // the state line. Returns how many are turned.
    size_t TurnPolarity(bool On);
    // The open file's electrodes placed by an electrode positions file
    // (ElectrodePositions.h): the data read again with them, the removed
    // data staying removed and the polarity as it was; the file is used
    // again whenever the open file is read again (the ip box). False with
    // the reason in Error, and nothing changed; a file of data is needed.
    bool UseElectrodePositions(const QString& FileName, QString& Error);
    // The open dialog, then UseElectrodePositions (a refusal shown as a
    // message); true when the electrodes were placed.
    bool AskElectrodePositions(QWidget* Owner);
    // The positions file in use (empty: the data file's own places).
    QString ElectrodePositionsFile() const { return FPositionsFile; }
    // Takes back the data's last step; false when there is none.
    bool UndoDataStep();
    // Writes the kept data (unified format, with the error they are weighed
    // with) to FileName; the measured file itself is never written. False
    // with the reason in Error.
    bool SaveKeptData(const QString& FileName, QString& Error) const;
    // The filters asking for their numbers, and the reciprocal errors' view.
    void AskRemoveOutliers();
    void AskRemoveMisfitBeyond();
    void ShowReciprocalErrors();
    // After every change of the kept data (a step, its undo, a file opened).
    std::function<void()> OnMeasuredDataChanged;
    // The reciprocal errors' view; nullptr until first shown.
    TReciprocalErrorsDialog* ReciprocalDialog() const { return FReciprocalDialog; }

    // --- State ---
    bool Busy() const { return FRun.Busy(); }
    // What the charts show is older than the model (or the survey).
    bool Stale() const { return FRun.Stale(); }
    const std::optional<TForwardResult>& Result() const { return FResult; }
    // The message of the last failed computation; empty after a success.
    QString ErrorText() const { return FError; }
    // The survey the fields describe; empty with the reason when a field
    // does not hold an acceptable value.
    std::optional<TArrayLayout> SurveyLayout(QString* Reason = nullptr) const;
    std::optional<double> HostResistivity() const;
    // The error model the fields give; empty when one does not hold an
    // acceptable value (a relative error above 0, a voltage error of at
    // least 0; empty fields their defaults).
    std::optional<TErrorModel> ErrorModel() const;
    // Whether the section leaves the host's resistivity to the field.
    bool HostFieldUsed() const;
    // Fires on the user-interface thread after each computation's end
    // (success, failure or cancel); for those who wait for it.
    std::function<void()> OnComputationEnd;
    // Runs on each computation's own thread before it begins; a copy goes
    // with the run, so it must hold nothing of the window (tests hold a
    // run there).
    std::function<void()> OnRunStart;
    // Escape cancels a run under way, else closes the window.
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
    QLineEdit* RelativeErrorEdit = nullptr;  // per cent, with measured data
    QLineEdit* VoltageErrorEdit = nullptr;   // volts, with measured data
    QCheckBox* FollowBox = nullptr;
    QPushButton* ComputeButton = nullptr;
    QPushButton* FitButton = nullptr; // enabled with measured data while no fit runs
    QPushButton* SaveButton = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* ExportButton = nullptr;
    QLabel* StateLabel = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* CancelButton = nullptr;
    QLabel* MisfitLabel = nullptr;  // the totals above the charts
    QComboBox* QuantityBox = nullptr; // resistivity or chargeability compared
    QLabel* HoverLabel = nullptr;   // the values of the datum under the mouse
    TPseudoSection2d* MeasuredChart = nullptr;
    TPseudoSection2d* MisfitChart = nullptr;
    TPseudoSection2d* ResistivityChart = nullptr;
    TPseudoSection2d* ChargeabilityChart = nullptr;
    TPseudoSection2d* PhaseChart = nullptr;
    // The electrodes on the section chart (nullptr once that chart is gone).
    QPointer<TPointSeries> ElectrodeMarks;
    // The data panel, shown with measured data.
    QWidget* DataPanel = nullptr;
    QLabel* DataCountLabel = nullptr;     // "222 data, 9 removed"
    QPushButton* RemoveButton = nullptr;  // the selected data
    QPushButton* RestoreButton = nullptr;
    QPushButton* UndoDataButton = nullptr;
    QPushButton* CleanButton = nullptr;   // opens CleanMenu
    QMenu* CleanMenu = nullptr;           // the filters, the reciprocal errors
    QCheckBox* ShowRemovedBox = nullptr;  // removed data drawn as hollow rings
    // A unified file's bare ip column read as phases (TDataReading): ticked,
    // the open file is read again so; a file opened with the dialog clears it.
    QCheckBox* IpIsPhaseBox = nullptr;
    QPushButton* SaveKeptButton = nullptr;
    QAction* TurnPolarityAction = nullptr;  // the Clean menu's check
    QPushButton* PositionsButton = nullptr; // "Electrode positions..."

protected:
    void showEvent(QShowEvent* Event) override;
    void hideEvent(QHideEvent* Event) override;

private:
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
    // On the run's own thread.
    static TOutcome Run(const TJob& Job, TRunControl& Control);
    void RunEnded(const TRunEnd& End);
    // The error fields checked and kept; the misfit's totals recomputed.
    void ErrorModelEdited();
    // The shown misfit weighed with the errors the fields give now (a run
    // weighs with those of its start, which may have been typed over since).
    void WeighMisfit();
    void SaveSettings();
    // Opens the measured data file the settings remember, if it can still
    // be read.
    void ReopenMeasuredData(const QString& FileName);
    // The values of the datum shown nearest the mouse at (X, Y) of Parts'
    // chart, within a few pixels; empty when none is near.
    QString DatumAt(const TChartParts& Parts, int X, int Y) const;
    QString DatumText(size_t Datum) const;
    void ShowState();
    // The result's charts, then the window kept within the screen.
    void ShowResult();
    void ShowResultCharts();
    // Shrinks the shown charts' smallest heights (ChartHeight down to
    // ChartLeastHeight) so that the window fits the screen's available
    // height, and resizes and moves it onto the screen.
    void KeepWithinScreen();
    // Fills the chart; draws its picture unless Rebuild is false (the
    // caller changes its scale first and draws it then).
    void ShowChart(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                   const std::vector<double>& Values, double DeepestPoint, bool Rebuild = true);
    void PlaceElectrodeMarks();
    void AskSaveData();
    // Why FileName may not be written by Save data (MeasuredToo: by Save
    // kept data): the section file open, the measured file; empty when it
    // may.
    QString RefusedTarget(const QString& FileName, bool MeasuredToo) const;
    void PreviewChart();
    void ExportChart();
    TPseudoSection2d* ChosenChart();

    void FitApplied();

    // Cleaning (ForwardResponseCleaning.cpp).
    void CreateDataPanel(QBoxLayout& Panel);
    // The open file read again as IpIsPhaseBox says; a refusal shown, the box
    // put back and the data kept.
    void ReadIpAgain();
    void InstallDataSelection();
    // The comparison recut for the kept data from the whole file's response.
    void Compare();
    // The data whose response came out at 0 ohm-m or below taken out of
    // FShownMeasured, FResult and FShownFileIndexes, their lines counted in
    // FShownMeasured's skipped data (DropNonPositiveResponses).
    void SkipNonPositiveResponses();
    // After a step: the comparison, the charts, the panel, the settings.
    void DataChanged(const QString& Said = {});
    // A step that leaves no datum is taken back; false then.
    bool KeepsSomeData(const QString& What);
    void ShowDataPanel();
    void DrawDataMarks();
    // Where each datum of the file stands in the measured chart, in pixels.
    std::vector<QPoint> FileDataPixels() const;
    std::optional<size_t> DatumNear(int X, int Y, bool RemovedToo) const;
    void SelectionDragged(int X0, int Y0, int X1, int Y1, bool Add);
    // The remembered sets with the open file's as it is now (first; none
    // when nothing is removed from it), the oldest beyond MaxRemovedSets
    // dropped.
    std::vector<QString> RemovedSets() const;
    // The set remembered for the open file's checksum applied, as one undo
    // step; false when there is none, it does not fit the file, or it would
    // leave no datum.
    bool RestoreRemovedSet();
    std::optional<size_t> Filtered(const QString& What, const std::function<size_t()>& Step);

    TPolygonChart& FSection;
    QPointer<TRegionFitDialog> FFitDialog;
    std::vector<std::unique_ptr<TChartParts>> FCharts;
    TBackgroundRun FRun;
    bool FLoading = false;
    bool FCancelled = false; // the newest run was cancelled
    QString FError;
    std::optional<TForwardResult> FResult; // the kept data's part of FComputed (all of it without a file)
    std::optional<TForwardResult> FComputed; // at every configuration of FComputedFor
    std::shared_ptr<const TMeasuredData> FComputedFor; // the file of FComputed; none for the array survey
    std::shared_ptr<const TMeasuredData> FMeasured; // the kept data (FRemovals.Kept()); none for the array survey
    TDataRemovals FRemovals;
    QString FFileChecksum;            // of the open file's bytes, for its removed set
    std::vector<QString> FRemovedSets; // the removed sets remembered (TForwardSurveySettings::MeasuredRemoved)
    std::vector<bool> FSelected;      // per datum of the file
    std::vector<TPseudoPoint> FFilePoints; // where the file's data stand in the charts
    std::vector<size_t> FShownFileIndexes; // the file's index of each datum of FResult
    QString FCompareError;            // why the comparison could not be made
    QString FDataSaid;                // what the last data step did
    struct TDrag {
        bool Active = false, Add = false;
        int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    } FDrag;                          // a selection rectangle under way
    std::function<void()> FUndoKey;   // Ctrl+Z: the data's step, else the section's
    QPointer<TReciprocalErrorsDialog> FReciprocalDialog;
    std::shared_ptr<TForwardCache> FCache;           // the last run's mesh, for runs that change parameters only
    QString FMeasuredName;
    std::shared_ptr<const TMeasuredData> FShownMeasured; // what FResult was computed for
    std::optional<TMisfit> FMisfit;
    QString FMeasuredFile; // the full name, for the settings
    QString FMeasuredFolder; // where the open dialog starts
    TErrorModel FErrors; // the fields' last acceptable error model
    QWidget* FErrorFields = nullptr;
    std::vector<TPseudoPoint> FShownPoints; // where the charts show each datum of FShownData
    std::vector<size_t> FShownData;         // the data shown, by index into FResult
    bool FShownChargeability = false;       // the comparison shows chargeability
    bool FShownPhase = false;               // the comparison shows phases
    QString FWarning; // the measured electrodes' elevations against the surface
    QString FPositionsFile; // the electrode positions file placing the open file's electrodes
};

} // namespace lp
