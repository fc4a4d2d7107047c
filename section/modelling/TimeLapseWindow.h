#pragma once
// "Time-lapse": a series of surveys of one line inverted for the change of
// the ground between them (TimeLapseInversion.h), beside the main window.
//
//   TTimeLapseWindow (a top-level QWidget, not modal)
//     ├─ SurveyTable   the surveys in time order: file name, date (typed);
//     │                Add..., Remove, Up, Down
//     ├─ the options: error, λ start, iterations (the single inversion's),
//     │  the change error (0 "derived": from the two surveys' errors);
//     │  Invert all, progress and Stop
//     ├─ MisfitTable   per step: survey, χ² (a later step's the change's),
//     │                rrms, changed share; a row as each step ends
//     ├─ Previous, StepSlider, Next  which step the image shows
//     ├─ ImageChart    the baseline's resistivity (logarithmic), or the
//     │                step's change in per cent on a diverging scale
//     │                centred on 0, the same for every step (the largest
//     │                change of the cells the data see, over all steps)
//     ├─ ChangeLabel   the step's χ² of the change and changed share
//     ├─ TimeChart     the clicked cell's resistivity (on the baseline) or
//     │                change (on a later step) against the survey, the
//     │                change's ± one standard deviation as bars where the
//     │                step gives it; UncertaintyLabel says which
//     └─ Save images..., Save chart..., Use as underlay
//
// The surveys are read when added (a file the program cannot read is
// refused, named, and not listed); Invert all reduces them to the data
// they share (CommonData) and inverts the series in the background: each
// finished step is posted back as it ends, so Stop keeps the steps
// finished and drops the one under way; the series' own steps (which
// alone carry the change's uncertainty) replace them when it returns.

#include "section/inversion/InversionMesh.h"
#include "section/inversion/TimeLapseInversion.h"
#include "section/modelling/BackgroundRun.h"
#include "section/survey/MeasuredData.h"

#include <QtGui/QImage>
#include <QtWidgets/QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpinBox;
class QTableWidget;

namespace lp {

class TChart;
class TLineSeries;
class TTModelSection2d;

class TTimeLapseWindow : public QWidget {
    Q_OBJECT
public:
    explicit TTimeLapseWindow(QWidget* Parent);
    ~TTimeLapseWindow() override;

    // --- The surveys ---

    // Reads File and lists it last, dated by the file's time of last
    // change (the user may type another). False with the reason in the
    // state line when it cannot be read; nothing is listed then.
    bool AddSurvey(const QString& File);
    // The Add... button: asks for a file.
    void AskAddSurvey();
    // The selected row removed, or moved one place earlier (Delta -1) or
    // later (+1). False when no row is selected or it cannot move.
    bool RemoveSelectedSurvey();
    bool MoveSelectedSurvey(int Delta);
    int SurveyCount() const { return static_cast<int>(FSurveys.size()); }
    // The file names listed, in time order.
    QStringList SurveyFiles() const;

    // --- Running ---

    // The options Invert all runs with, read from the fields (the change
    // error 0 when "derived"); none, with the reason in the state line,
    // when a field holds no usable value.
    std::optional<TSurveyInversionOptions> RunOptions();
    // Invert all: starts the series with the options as they stand. False
    // with the reason in the state line when it cannot start.
    bool InvertAll();
    // Stop: the steps finished stay, the one under way is dropped.
    void Stop();
    bool Busy() const { return FRun.Busy(); }
    // The steps finished (the baseline first), their mesh; empty before.
    int StepsDone() const { return FResult ? 1 + static_cast<int>(FResult->Steps.size()) : 0; }
    const std::optional<TTimeLapseInversion>& Result() const { return FResult; }
    const TInversionMesh& Mesh() const { return FMesh; }
    // Shows Result, inverted on Mesh from the common data whose baseline
    // is Baseline (its electrodes marked; may be null), as a run would
    // have: the misfit rows, the steps, the first image. The survey list
    // is left as it stands.
    void ShowResult(const TInversionMesh& Mesh, std::shared_ptr<const TMeasuredData> Baseline,
                    const TTimeLapseInversion& Result);
    bool Stopped() const { return FStopped; }
    QString ErrorText() const { return FError; }

    // --- Showing ---

    // The image of step Step (0 the baseline); false when it is not done.
    bool ShowStep(int Step);
    int StepShown() const { return FStep; }
    // The diverging scale's half width in per cent (the changes' scale).
    double ChangeLimit() const { return FChangeLimit; }
    // The cell (mesh order) whose values the time chart shows, -1 none.
    int CellPlotted() const { return FCell; }
    // Plots Cell's values against the survey in the time chart; false for
    // no such cell.
    bool PlotCell(int Cell);

    // --- Keeping the result ---

    // Writes Prefix-0.csv (the baseline) and Prefix-K.csv per later step
    // finished, as the command line's --timelapse does; every table is
    // formed before the first is written. False with the reason in Error.
    bool SaveImages(const QString& Prefix, QString& Error) const;
    // The image of the step shown over its cells' frame (for the
    // underlay), and that frame (x, depth; as TInversionWindow's).
    QImage ModelImage(int Width = 1200) const;
    struct TImageFrame {
        double Left = 0.0, Top = 0.0, Right = 0.0, Bottom = 0.0;
    };
    TImageFrame ModelImageFrame() const;

    // Use as underlay: the main window lays ModelImage under the section.
    std::function<void()> OnUseAsUnderlay;
    // Runs on the run's own thread after each finished step has been
    // posted (tests hold a run there).
    std::function<void(int Step)> OnStepFinished;

    // --- Controls ---
    QTableWidget* SurveyTable = nullptr;
    QPushButton* AddButton = nullptr;
    QPushButton* RemoveButton = nullptr;
    QPushButton* UpButton = nullptr;
    QPushButton* DownButton = nullptr;
    QLineEdit* ErrorEdit = nullptr;
    QLineEdit* LambdaEdit = nullptr;
    QSpinBox* IterationsBox = nullptr;
    // Per cent; 0 derived from the surveys' errors. Kept between sessions
    // (the window's own settings) when its editing ends and by Invert all.
    QDoubleSpinBox* ChangeErrorBox = nullptr;
    QPushButton* InvertButton = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* StopButton = nullptr;
    QLabel* StateLabel = nullptr;
    QTableWidget* MisfitTable = nullptr;
    QPushButton* PreviousButton = nullptr;
    QSlider* StepSlider = nullptr;
    QPushButton* NextButton = nullptr;
    QLabel* StepLabel = nullptr;
    TTModelSection2d* ImageChart = nullptr;
    QLabel* ChangeLabel = nullptr;
    TChart* TimeChart = nullptr;
    TLineSeries* TimeSeries = nullptr;
    // The change's ± one standard deviation: per step given, three runs
    // (the lower cap, the bar, the upper cap) ended by null points.
    TLineSeries* UncertaintySeries = nullptr;
    QLabel* UncertaintyLabel = nullptr;
    QPushButton* SaveImagesButton = nullptr;
    QPushButton* SaveChartButton = nullptr;
    QPushButton* UnderlayButton = nullptr;

protected:
    // Closing the window cancels its run without waiting for it.
    void closeEvent(QCloseEvent* Event) override;

private:
    struct TSurveyEntry {
        QString File;
        QString Date; // as typed
        std::shared_ptr<const TMeasuredData> Data;
    };
    struct TStepDone;
    struct TSeriesDone;
    void CreatePanel();
    void ShowSurveys();
    void StepFinished(const TStepDone& Done);
    // The series' own steps in place of those formed as each ended.
    void SeriesFinished(const std::vector<TTimeLapseStep>& Steps);
    // Row Row of the misfit table (0 the baseline) from the result.
    void ShowMisfitRow(int Row);
    void ShowStepNumbers();
    // The bars of the plotted cell's change; the label's sentence.
    void PlotUncertainty(size_t Cell);
    void RunEnded(const TRunEnd& End);
    void Refuse(const QString& Reason);
    void ShowState();
    void EnableCommands();
    void AskSaveImages();
    // The changes' scale from every step finished.
    void UpdateChangeLimit();
    // The series' end of the list changed: the result no longer matches it.
    void DropResult();

    std::vector<TSurveyEntry> FSurveys;
    TBackgroundRun FRun;
    TInversionMesh FMesh;
    std::shared_ptr<const TMeasuredData> FBaselineData; // the common data of the baseline (its electrodes)
    std::optional<TTimeLapseInversion> FResult;
    QStringList FLeftOut; // per survey, the data not in every survey (the state line)
    int FStep = -1;
    int FCell = -1;
    double FChangeLimit = 1.0;
    std::vector<unsigned> FPalette; // the resistivities' (the image chart's first)
    bool FStopped = false;
    QString FError;
};

} // namespace lp
