#include "section/modelling/InversionWindow.h"

#include "section/modelling/InversionWindow_p.h"

#include "section/editor/PolygonChart.h"
#include "section/inversion/Inversion.h"
#include "section/inversion/InversionChartData.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/SectionInversionInput.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/views/Section2D.h"

#include <QtCore/QFileInfo>
#include <QtGui/QAction>
#include <QtGui/QScreen>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollArea>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>


#include <algorithm>
#include <cmath>
#include <mutex>


namespace lp {

struct TInversionWindow::TJob {
    std::function<void()> OnStart;
    std::function<void(int)> OnIteration;
    std::shared_ptr<const TMeasuredData> Data;
    AllSpolygon Model;
    Tnodes Nodes;
    TModelArea Area{};
    bool Constrain = false;
    TStructuralConstraint Structure; // the lines and boundary weights ticked; zones laid in the run
    TInversionChartData Cells; // the mesh chart: mesh, starting model, fixed cells, limits
    TSurveyInversionOptions Options;
    // Laid before the run: the mesh bent onto the ticked lines, the logs
    // and the water's boundary; the section prepared (when it can be); its
    // water per region as marked when Invert was pressed.
    std::shared_ptr<const TInversionMesh> Mesh;
    std::optional<TForwardModel> Ground;
    std::vector<std::optional<double>> Water;
};

// The main run's forward problem, kept for the DOI run. Its Continue asks
// the run that uses it now (Control, set and cleared by that run while it
// holds Busy): the DOI run is not the run that set the problem up.
struct TInversionWindow::TKeptInverter {
    std::mutex Busy;
    std::optional<TRunControl> Control;
    std::unique_ptr<TSurveyInverter> Inverter;
    int MainSteps = 1; // the main inversion's iterations, for the DOI run's progress
};

namespace {

// The run's control handed to the kept problem while a run uses it.
class TControlHeld {
public:
    TControlHeld(std::optional<TRunControl>& Slot, TRunControl& Control) : FSlot(Slot) { FSlot = Control; }
    ~TControlHeld() { FSlot.reset(); }
    TControlHeld(const TControlHeld&) = delete;
    TControlHeld& operator=(const TControlHeld&) = delete;

private:
    std::optional<TRunControl>& FSlot;
};

} // namespace


// What a finished run delivers.
struct TInversionWindow::TInversionOutcome {
    std::shared_ptr<const TInversionMesh> Mesh;
    std::shared_ptr<const TSurveyInversion> Inversion;
    std::shared_ptr<TKeptInverter> Inverter;
};

// What a finished DOI run delivers: the index per cell, empty when cancelled.
struct TInversionWindow::TDoiOutcome {
    std::vector<double> DepthOfInvestigation;
};

// --- Running ------------------------------------------------------------------------------

bool TInversionWindow::Invert()
{
    const auto refuse = [this](const QString& Reason) {
        Refuse(Reason);
        return false;
    };
    if (!FData)
        return refuse(QStringLiteral("Open measured data first (Modelling > Measured data...)."));
    const std::optional<double> error = PositiveField(*ErrorEdit);
    const std::optional<double> lambda = PositiveField(*LambdaEdit);
    const std::optional<double> zWeight = PositiveField(*ZWeightEdit);
    if (!error || *error >= 100.0)
        return refuse(QStringLiteral("The error must be a number above 0 and below 100 (per cent)."));
    // The inversion's own range: below it the image leaves physics behind,
    // above it no step moves the model.
    if (!lambda || *lambda < MinLambda || *lambda > MaxLambda)
        return refuse(QStringLiteral("λ must be a number from %1 to %2.")
                          .arg(ShortNumber(MinLambda), QLocale().toString(MaxLambda, 'f', 0)));
    if (!zWeight)
        return refuse(QStringLiteral("The z-weight must be a number above 0."));
    bool typed = true;
    const std::optional<double> referenceWeight = TypedNumber(ReferenceWeightEdit->text(), false, typed);
    if (!referenceWeight || *referenceWeight < 0.0)
        return refuse(QStringLiteral("The reference weight must be a number, 0 or above (0: no pull toward the "
                                     "starting model)."));
    const bool phased = HasPhases(*FData);
    const std::optional<double> phaseError = PositiveField(*PhaseErrorEdit);
    if (phased && (!phaseError || *phaseError < MinPhaseError || *phaseError > MostIpPhase))
        return refuse(QStringLiteral("The phase error must be a number of mrad from %1 to %2 (it serves the data "
                                     "whose file gives none).")
                          .arg(ShortNumber(MinPhaseError), QString::number(MostIpPhase, 'f', 0)));
    if (DoiBox->isChecked() && !DoiLimit())
        return false;
    if (MeshChart->LastCol < 0 && !NewMesh())
        return false;
    // The section as it stands now gives the starting values it is asked
    // for; the chart shows them.
    if (StartFromSectionBox->isChecked() && !FillStartingValues(true))
        return false;
    SaveSettings();
    auto job = std::make_shared<TJob>();
    job->OnStart = OnRunStart;
    job->OnIteration = OnRunIteration;
    // On the electrodes the data use: one no datum uses may lie outside
    // the mesh's frame (DataOnUsedElectrodes); every datum stays in its place.
    job->Data = std::make_shared<const TMeasuredData>(DataOnUsedElectrodes(*FData));
    job->Model = CopyAllSpolygon(FSection.Model);
    job->Nodes = CopyNodes(FSection.Nodes);
    job->Area = FSection.ModelArea;
    job->Constrain = ConstrainBox->isChecked();
    try {
        ShowConstraints(); // the section and the logs as they stand now
        if (job->Constrain)
            job->Structure = Constraints->Choice();
        job->Options.WellLogs = Constraints->UsedLogs();
    } catch (const std::exception& Error) {
        return refuse(QString::fromUtf8(Error.what()));
    }
    const std::optional<double> logError = Constraints->LogErrorPercent();
    if (!job->Options.WellLogs.empty() && !logError)
        return refuse(QStringLiteral("The logs' error must be a number of per cent above 0."));
    job->Options.LogErrorPercent = logError.value_or(job->Options.LogErrorPercent);
    const std::optional<double> logReach = Constraints->LogReach();
    if (!job->Options.WellLogs.empty() && !logReach)
        return refuse(QStringLiteral("The logs' reach must be a number of electrode spacings from 0 to 1000."));
    job->Options.LogReach = logReach.value_or(job->Options.LogReach);
    // The mesh as the run inverts it, and the water as the section marks
    // it now (the table of regions may have changed since the mesh was
    // laid): its cells held in the mesh chart before the chart is taken.
    try {
        job->Ground = PrepareForwardModel(job->Model, job->Nodes, job->Area, MedianResistivity(*job->Data));
    } catch (const std::exception& Error) {
        if (SectionHasWater(FSection.Model))
            return refuse(QStringLiteral("The water marked in the section cannot be held: %1")
                              .arg(QString::fromUtf8(Error.what())));
        if (job->Constrain && !job->Structure.ZoneWeights.empty())
            return refuse(QStringLiteral("The section's boundaries cannot constrain the inversion: %1")
                              .arg(QString::fromUtf8(Error.what())));
    }
    try {
        if (job->Ground)
            job->Water = WaterRegions(*job->Ground, job->Model);
        auto mesh = std::make_shared<TInversionMesh>(ChartInversionMesh(ChartCells(*MeshChart)));
        // The rows bent onto the ticked lines, boundaries and logs and the
        // water's boundary (the chart's mesh when it already is: bending
        // it again moves nothing); straight without any.
        if (!job->Constrain && job->Options.WellLogs.empty())
            mesh->Shifts.clear();
        const TForwardModel* ground = job->Ground ? &*job->Ground : nullptr;
        // The ticked lines and boundaries cut the smoothness by their
        // weights; the water's cells are held (in the chart, whose values
        // and fixed cells the run starts from) and its boundary is known as
        // drawn: the smoothness stops there.
        TSectionUse use;
        use.Section = ground;
        use.Held = job->Water;
        if (job->Constrain) {
            use.Lines = UsedLines(job->Structure, ground);
            use.Structure = job->Structure;
        }
        if (ground) {
            const std::vector<TConstraintLine> held = HeldBoundaryLines(*ground, job->Water);
            use.Lines.insert(use.Lines.end(), held.begin(), held.end());
        }
        const TPreparedInversion prepared =
            PrepareInversion(*mesh, *job->Data, use, LogReachMetres(job->Data->Survey(), job->Options.LogReach),
                             job->Options);
        *mesh = prepared.Mesh;
        job->Mesh = mesh;
        const std::vector<std::optional<double>>& water = prepared.HeldCells;
        HoldWaterInChart(water);
        FWaterMesh = *mesh;
        FResultWater = water;
        FWaterStale = false;
        FWaterHeld = 0;
        for (size_t j = 0; j < water.size(); ++j)
            if (water[j] && MeshChart->Fixed[static_cast<int>(j % static_cast<size_t>(mesh->Columns()))]
                                           [static_cast<int>(j / static_cast<size_t>(mesh->Columns()))])
                ++FWaterHeld;
        FWaterNote.clear();
        if (ground) {
            const std::vector<size_t> empty = HeldRegionsWithoutCells(*mesh, *ground, job->Water);
            if (!empty.empty())
                FWaterNote = QStringLiteral("No cell's centre lies in the water (%1): nothing of it is held; lay a "
                                            "finer mesh or draw the water thicker.")
                                 .arg(QString::fromStdString(WaterRegionsText(*ground, empty)));
        }
    } catch (const std::exception& Error) {
        return refuse(QString::fromUtf8(Error.what()));
    }
    job->Cells = ChartCells(*MeshChart);
    job->Options.ErrorPercent = *error;
    job->Options.ZWeight = *zWeight;
    job->Options.Settings.Lambda = *lambda;
    job->Options.Settings.Iterations = IterationsBox->value();
    job->Options.Settings.ReferenceWeight = *referenceWeight;
    job->Options.Settings.Blocky = SharpBox->isChecked();
    job->Options.Settings.Robust = RobustBox->isChecked();
    if (phased)
        job->Options.PhaseErrorMrad = *phaseError;
    try {
        // The mesh chart's tables are checked before the run starts.
        job->Options.Start = ChartStartingModel(job->Cells, job->Options.Settings);
    } catch (const std::exception& Error) {
        return refuse(QStringLiteral("The mesh cannot be inverted: %1").arg(QString::fromUtf8(Error.what())));
    }
    // Every core the process may run on, at the run's lowered priority.
    job->Options.Forward.Threads = 0;
    TakeOutlines();
    FRunOptions = job->Options;
    FError.clear();
    FCancelled = false;
    FResult.reset();
    FInverter.reset();
    FDoiRun = false;
    FDoiNote.clear();
    FDoiContour.clear();
    IterationTable->setRowCount(0);
    IterationTable->setColumnHidden(PhaseChiSquareColumn, true);
    const int iterations = job->Options.Settings.Iterations;
    const bool started = FRun.Start([job, iterations](TRunControl& Control) {
        if (job->OnStart)
            job->OnStart();
        TInversionOutcome outcome;
        if (Control.Cancelled())
            return std::any(outcome);
        const TMeasuredData& data = *job->Data;
        const std::shared_ptr<const TInversionMesh> mesh = job->Mesh;
        const TSurveyInversionOptions& options = job->Options;
        TInversionCallbacks callbacks;
        callbacks.Iteration = [&](const TInversionStep& Step, const Eigen::VectorXd& Resistivities) {
            TIteration iteration;
            iteration.Step = Step;
            iteration.Mesh = mesh;
            iteration.Resistivities.assign(Resistivities.data(), Resistivities.data() + Resistivities.size());
            Control.Post(std::move(iteration));
            Control.Progress(static_cast<double>(Step.Iteration + 1) / (iterations + 1));
            if (job->OnIteration)
                job->OnIteration(Step.Iteration);
        };
        outcome.Mesh = mesh;
        // The forward problem stays with the result for the DOI run.
        auto kept = std::make_shared<TKeptInverter>();
        TKeptInverter* slot = kept.get();
        const std::lock_guard<std::mutex> hold(kept->Busy);
        const TControlHeld held(kept->Control, Control);
        kept->Inverter = std::make_unique<TSurveyInverter>(
            data, *mesh, options, [slot] { return !slot->Control || !slot->Control->Cancelled(); });
        outcome.Inversion = std::make_shared<TSurveyInversion>(kept->Inverter->Invert(callbacks));
        kept->MainSteps = std::max(1, static_cast<int>(outcome.Inversion->Steps.size()));
        outcome.Inverter = kept;
        return std::any(outcome);
    });
    if (!started)
        return refuse(QStringLiteral("The inversion could not be started: no thread could be had."));
    FResultData = FData;
    FResultFile = FDataFile;
    // The last result's response goes with it: its charts wait for this run's.
    ShowPseudoSections();
    ShowState();
    EnableCommands();
    return true;
}

void TInversionWindow::closeEvent(QCloseEvent* Event)
{
    FRun.Cancel();
    QWidget::closeEvent(Event);
}

void TInversionWindow::CancelInversion()
{
    FRun.Cancel();
}

void TInversionWindow::IterationEnded(const TIteration& Iteration)
{
    const TInversionStep& step = Iteration.Step;
    const int row = IterationTable->rowCount();
    IterationTable->insertRow(row);
    const QStringList cells{QString::number(step.Iteration), StepNumber(step.ChiSquare), FixedNumber(step.Rrms, 2),
                            StepNumber(step.Lambda)};
    for (int c = 0; c < cells.size(); ++c)
        IterationTable->setItem(row, c, new QTableWidgetItem(cells[c]));
    IterationTable->scrollToBottom();
    TInversionPicture picture;
    picture.Mesh = *Iteration.Mesh;
    picture.Resistivities = Iteration.Resistivities;
    const bool first = !FPicture;
    FPicture = std::move(picture);
    ShowModel();
    // The first image of a run comes to the front.
    if (first || Iteration.Step.Iteration == 0)
        ChartTabs->setCurrentIndex(ResistivityTab);
    ShowState();
    EnableCommands();
}

void TInversionWindow::RunEnded(const TRunEnd& End)
{
    if (FDoiRun) {
        // The result stays whatever the DOI run came to.
        const TDoiOutcome* doi = End.Kind == TRunEnd::Done ? std::any_cast<TDoiOutcome>(&End.Result) : nullptr;
        if (doi && FResult && doi->DepthOfInvestigation.size() == FResult->Resistivities.size()) {
            FResult->DepthOfInvestigation = doi->DepthOfInvestigation;
            // Its forward problem is not needed any more.
            FInverter.reset();
            ShowFade();
        } else if (End.Kind == TRunEnd::Failed) {
            FDoiNote = QStringLiteral("the depth of investigation could not be computed: %1").arg(End.Error);
        } else if (End.Kind == TRunEnd::Cancelled) {
            FDoiNote = QStringLiteral("its computation was cancelled (untick and tick it to compute it)");
        } else {
            // Not cancelled by the user: the reference inversions stopped
            // short (their forward problem's budget, or a cancel from within).
            FDoiNote = QStringLiteral("its reference inversions stopped short (untick and tick it to try again)");
        }
        ShowState();
        EnableCommands();
        if (OnInversionEnd)
            OnInversionEnd();
        return;
    }
    const TInversionOutcome* outcome = End.Kind == TRunEnd::Done ? std::any_cast<TInversionOutcome>(&End.Result) : nullptr;
    FCancelled = End.Kind == TRunEnd::Cancelled || (outcome && (!outcome->Inversion || outcome->Inversion->Cancelled));
    if (End.Kind == TRunEnd::Failed)
        FError = End.Error;
    if (outcome && outcome->Inversion && !outcome->Inversion->Cancelled) {
        FResult = *outcome->Inversion;
        TInversionPicture picture;
        picture.Mesh = *outcome->Mesh;
        picture.Resistivities = FResult->Resistivities;
        picture.Coverage = FResult->Coverage;
        picture.Chargeabilities = FResult->Chargeabilities;
        for (double phase : FResult->Phases)
            picture.Phases.push_back(std::fabs(phase));
        FPicture = std::move(picture);
        FInverter = outcome->Inverter;
        ShowPhaseChiSquare();
        ShowModel();
        ShowPseudoSections();
    }
    ShowState();
    EnableCommands();
    if (OnInversionEnd)
        OnInversionEnd();
    // The result is shown before its depth of investigation is computed.
    if (FResult && DoiBox->isChecked())
        StartDepthOfInvestigation();
}

void TInversionWindow::ShowPhaseChiSquare()
{
    const bool phased = FResult && !FResult->Phases.empty();
    IterationTable->setColumnHidden(PhaseChiSquareColumn, !phased);
    const int last = IterationTable->rowCount() - 1;
    if (phased && last >= 0)
        IterationTable->setItem(last, PhaseChiSquareColumn, new QTableWidgetItem(StepNumber(FResult->PhaseChiSquare)));
}

std::optional<double> TInversionWindow::DoiLimit()
{
    const std::optional<double> limit = PositiveField(*DoiLimitEdit);
    if (!limit)
        Refuse(QStringLiteral("The depth of investigation beyond which cells fade must be a number above 0 "
                              "(0.2 is usual)."));
    return limit;
}

bool TInversionWindow::StartDepthOfInvestigation()
{
    if (!FResult)
        return false;
    if (FRun.Busy()) {
        // Another run holds the window's controller: starting here would
        // cancel it. Said, with the way to the DOI once it has ended.
        FDoiNote = QStringLiteral("another run was under way (untick and tick it once it ends)");
        ShowState();
        return false;
    }
    if (!FInverter) {
        FDoiNote = QStringLiteral("invert again to compute it");
        ShowState();
        return false;
    }
    auto kept = FInverter;
    auto result = std::make_shared<const TSurveyInversion>(*FResult);
    auto onStart = OnDoiRunStart;
    const bool started = FRun.Start([kept, result, onStart](TRunControl& Control) {
        if (onStart)
            onStart();
        TDoiOutcome outcome;
        // A DOI run cancelled by a newer one may still hold the problem.
        const std::lock_guard<std::mutex> hold(kept->Busy);
        if (Control.Cancelled())
            return std::any(outcome);
        const TControlHeld held(kept->Control, Control);
        TSurveyInversion inversion = *result;
        // Both reference inversions together take about as many steps as
        // the main one did, one and a half times at most.
        const double expected = 1.5 * kept->MainSteps;
        int steps = 0;
        TInversionCallbacks callbacks;
        callbacks.Iteration = [&](const TInversionStep&, const Eigen::VectorXd&) {
            Control.Progress(std::min(0.99, ++steps / expected));
        };
        if (kept->Inverter->AddDepthOfInvestigation(inversion, callbacks))
            outcome.DepthOfInvestigation = std::move(inversion.DepthOfInvestigation);
        return std::any(outcome);
    });
    if (!started) {
        FDoiNote = QStringLiteral("no thread could be had to compute it");
        ShowState();
        return false;
    }
    FDoiRun = true;
    FDoiNote.clear();
    ShowState();
    EnableCommands();
    return true;
}

} // namespace lp
