#include "section/modelling/ForwardResponseWindow.h"

#include "section/modelling/ForwardResponseWindow_p.h"

#include "chart/engine/PlotSeries.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Registry.h"
#include "section/editor/PolygonChart.h"
#include "section/forward/ForwardCache.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/RegionFitDialog.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/survey/DataCleaning.h"
#include "section/views/PseudoSection2D.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <functional>

namespace lp {

namespace {

const QString SettingsKey = QStringLiteral("\\Software\\Lithoprism\\Forward response");

const TArrayKind ArrayKinds[] = {TArrayKind::DipoleDipole, TArrayKind::Wenner, TArrayKind::Schlumberger};

void MarkField(QLineEdit* Edit, bool Valid)
{
    Edit->setStyleSheet(Valid ? QString() : QStringLiteral("QLineEdit { background: #ffd0d0; }"));
}

// The computed survey (on the file's used electrodes, Used[k] the file's
// index of its electrode k) numbered as the file: every electrode of the
// file, the used ones where the computation stood them, the configurations
// the file's. The hover line, the saved data and the comparison table then
// name the electrodes as the file does.
void NumberAsTheFile(TSurvey& Computed, const std::vector<int>& Used, TSurvey File)
{
    for (size_t k = 0; k < Used.size() && k < Computed.Electrodes.size(); ++k)
        File.Electrodes.at(static_cast<size_t>(Used[k])) = Computed.Electrodes[k];
    Computed.Electrodes = std::move(File.Electrodes);
    Computed.Configurations = std::move(File.Configurations);
}

int RegistryInteger(TRegistry& Registry, const QString& Name, int Fallback, int Low, int High)
{
    if (!Registry.ValueExists(Name))
        return Fallback;
    try {
        return std::clamp(Registry.ReadInteger(Name), Low, High);
    } catch (const std::exception&) {
        return Fallback;
    }
}

} // namespace

// --- Settings -----------------------------------------------------------------------

TForwardSurveySettings TForwardSurveySettings::Load()
{
    TForwardSurveySettings settings;
    try {
        TRegistry registry;
        if (!registry.OpenKeyReadOnly(SettingsKey))
            return settings;
        const std::optional<TArrayKind> kind = ArrayKindFromName(registry.ReadString(QStringLiteral("Array")).toStdString());
        settings.Kind = kind.value_or(settings.Kind);
        settings.Electrodes = RegistryInteger(registry, QStringLiteral("Electrodes"), settings.Electrodes,
                                              MinArrayElectrodes, MaxArrayElectrodes);
        settings.Levels = RegistryInteger(registry, QStringLiteral("Levels"), settings.Levels, MinArrayLevels,
                                          MaxArrayLevels);
        settings.Spacing = registry.ReadString(QStringLiteral("Spacing"));
        settings.First = registry.ReadString(QStringLiteral("First"));
        if (registry.ValueExists(QStringLiteral("HostResistivity")))
            settings.HostResistivity = registry.ReadString(QStringLiteral("HostResistivity"));
        settings.FollowEdits = RegistryInteger(registry, QStringLiteral("FollowEdits"), 1, 0, 1) != 0;
        for (auto [name, value] : {std::pair{QStringLiteral("RelativeError"), &settings.RelativeError},
                                   std::pair{QStringLiteral("VoltageError"), &settings.VoltageError},
                                   std::pair{QStringLiteral("MeasuredFile"), &settings.MeasuredFile},
                                   std::pair{QStringLiteral("MeasuredFolder"), &settings.MeasuredFolder}})
            if (registry.ValueExists(name))
                *value = registry.ReadString(name);
        if (registry.ValueExists(QStringLiteral("MeasuredRemoved")))
            for (const QString& set : registry.ReadString(QStringLiteral("MeasuredRemoved")).split(QLatin1Char(';')))
                if (!set.trimmed().isEmpty() && settings.MeasuredRemoved.size() < MaxRemovedSets)
                    settings.MeasuredRemoved.push_back(set.trimmed());
    } catch (const std::exception&) {
        // Unreadable settings: the defaults.
    }
    return settings;
}

void TForwardSurveySettings::Save() const
{
    try {
        TRegistry registry;
        if (!registry.OpenKey(SettingsKey, true))
            return;
        registry.WriteString(QStringLiteral("Array"), QString::fromStdString(ArrayKindName(Kind)));
        registry.WriteInteger(QStringLiteral("Electrodes"), Electrodes);
        registry.WriteString(QStringLiteral("Spacing"), Spacing);
        registry.WriteString(QStringLiteral("First"), First);
        registry.WriteInteger(QStringLiteral("Levels"), Levels);
        registry.WriteString(QStringLiteral("HostResistivity"), HostResistivity);
        registry.WriteBool(QStringLiteral("FollowEdits"), FollowEdits);
        registry.WriteString(QStringLiteral("RelativeError"), RelativeError);
        registry.WriteString(QStringLiteral("VoltageError"), VoltageError);
        registry.WriteString(QStringLiteral("MeasuredFile"), MeasuredFile);
        QStringList sets;
        for (const QString& set : MeasuredRemoved)
            if (sets.size() < static_cast<qsizetype>(MaxRemovedSets))
                sets << set;
        registry.WriteString(QStringLiteral("MeasuredRemoved"), sets.join(QLatin1Char(';')));
        registry.WriteString(QStringLiteral("MeasuredFolder"), MeasuredFolder);
        registry.CloseKey();
    } catch (const std::exception&) {
        // Settings that cannot be written are not worth interrupting the work.
    }
}

// --- Runs -----------------------------------------------------------------------------

// What a run computes, copied on the user-interface thread.
struct TForwardResponseWindow::TJob {
    std::function<void()> OnStart;
    AllSpolygon Model;
    Tnodes Nodes;
    TModelArea Area{};
    TArrayLayout Layout;
    std::optional<double> Host;
    std::shared_ptr<const TMeasuredData> Measured; // the file whose configurations are computed, when set
    std::shared_ptr<TForwardCache> Cache;
};

// What a run delivers (copied with its end: shared where it is large).
struct TForwardResponseWindow::TOutcome {
    std::shared_ptr<TForwardResult> Result;
    std::shared_ptr<const TMeasuredData> Measured;
    QString Warning;
};

TForwardResponseWindow::TForwardResponseWindow(TPolygonChart& Section, QWidget* Parent)
    : QWidget(Parent, Qt::Window), FSection(Section), FCache(std::make_shared<TForwardCache>())
{
    setObjectName(QStringLiteral("ForwardResponse"));
    setWindowTitle(QStringLiteral("Forward response"));
    setAttribute(Qt::WA_DeleteOnClose);
    CreatePanel();
    LoadSettings();
    resize(900, 620);
    ShowState();
}

TForwardResponseWindow::~TForwardResponseWindow()
{
    // The run under way (cancelled by FRun's end) goes on without the
    // window; nothing it delivers reaches it.
    if (ElectrodeMarks) {
        delete ElectrodeMarks.data();
        FSection.Invalidate();
    }
    // The charts' windows live inside ours: let the charts go first.
    for (const std::unique_ptr<TChartParts>& parts : FCharts)
        delete parts->Chart;
}

void TForwardResponseWindow::LoadSettings()
{
    FLoading = true;
    const TForwardSurveySettings settings = TForwardSurveySettings::Load();
    ArrayBox->setCurrentIndex(
        static_cast<int>(std::find(std::begin(ArrayKinds), std::end(ArrayKinds), settings.Kind) - std::begin(ArrayKinds)));
    ElectrodesBox->setValue(settings.Electrodes);
    SpacingEdit->setText(settings.Spacing);
    FirstEdit->setText(settings.First);
    LevelsBox->setValue(settings.Levels);
    HostEdit->setText(settings.HostResistivity);
    FollowBox->setChecked(settings.FollowEdits);
    RelativeErrorEdit->setText(settings.RelativeError);
    VoltageErrorEdit->setText(settings.VoltageError);
    FMeasuredFolder = settings.MeasuredFolder;
    FRemovedSets = settings.MeasuredRemoved;
    FLoading = false;
    SurveyEdited();
    ErrorModelEdited();
    if (!settings.MeasuredFile.isEmpty())
        ReopenMeasuredData(settings.MeasuredFile);
}

// A file that has gone, or can no longer be read, leaves the array survey
// without a word: it was the user's earlier choice, not today's.
void TForwardResponseWindow::ReopenMeasuredData(const QString& FileName)
{
    QString error;
    if (!OpenMeasuredData(FileName, error))
        SaveSettings();
}

// --- The survey -------------------------------------------------------------------------

std::optional<TArrayLayout> TForwardResponseWindow::SurveyLayout(QString* Reason) const
{
    const auto refuse = [&](const QString& Text) {
        if (Reason)
            *Reason = Text;
        return std::nullopt;
    };
    TArrayLayout layout;
    layout.Kind = ArrayKinds[std::clamp(ArrayBox->currentIndex(), 0, 2)];
    layout.Electrodes = ElectrodesBox->value();
    layout.Levels = LevelsBox->value();
    bool valid = true;
    layout.Spacing = TypedNumber(SpacingEdit->text(), true, valid);
    if (!valid)
        return refuse(QStringLiteral("The spacing must be a number above 0 (or empty for the model area's width)."));
    layout.First = TypedNumber(FirstEdit->text(), false, valid);
    if (!valid)
        return refuse(QStringLiteral("The first electrode's place must be a number (or empty)."));
    return layout;
}

bool TForwardResponseWindow::HostFieldUsed() const
{
    const AllSpolygon& model = FSection.Model;
    return model.Length() == 0 || model[0].Length() == 0 || model[0][0].params[psResistivity].IsEmpty();
}

std::optional<double> TForwardResponseWindow::HostResistivity() const
{
    bool valid = true;
    return TypedNumber(HostEdit->text(), true, valid);
}

void TForwardResponseWindow::SurveyEdited(bool SurveyChanged)
{
    if (FLoading)
        return;
    bool spacingValid = true, firstValid = true, hostValid = true;
    TypedNumber(SpacingEdit->text(), true, spacingValid);
    TypedNumber(FirstEdit->text(), false, firstValid);
    TypedNumber(HostEdit->text(), true, hostValid);
    MarkField(SpacingEdit, spacingValid);
    MarkField(FirstEdit, firstValid);
    MarkField(HostEdit, hostValid || !HostEdit->isEnabled());
    SaveSettings();
    if (SurveyChanged)
        ModelChanged();
}

void TForwardResponseWindow::SaveSettings()
{
    if (FLoading)
        return;
    TForwardSurveySettings settings;
    settings.Kind = ArrayKinds[std::clamp(ArrayBox->currentIndex(), 0, 2)];
    settings.Electrodes = ElectrodesBox->value();
    settings.Spacing = SpacingEdit->text().trimmed();
    settings.First = FirstEdit->text().trimmed();
    settings.Levels = LevelsBox->value();
    settings.HostResistivity = HostEdit->text().trimmed();
    settings.FollowEdits = FollowBox->isChecked();
    settings.RelativeError = RelativeErrorEdit->text().trimmed();
    settings.VoltageError = VoltageErrorEdit->text().trimmed();
    settings.MeasuredFile = FMeasuredFile;
    FRemovedSets = RemovedSets();
    settings.MeasuredRemoved = FRemovedSets;
    settings.MeasuredFolder = FMeasuredFolder;
    settings.Save();
}

std::optional<TErrorModel> TForwardResponseWindow::ErrorModel() const
{
    TErrorModel model;
    bool relativeValid = true, voltageValid = true;
    model.RelativePercent = TypedNumber(RelativeErrorEdit->text(), true, relativeValid).value_or(model.RelativePercent);
    model.AbsoluteVoltage = TypedNumber(VoltageErrorEdit->text(), false, voltageValid).value_or(model.AbsoluteVoltage);
    if (!relativeValid || !voltageValid || model.AbsoluteVoltage < 0.0)
        return std::nullopt;
    return model;
}

void TForwardResponseWindow::ErrorModelEdited()
{
    if (FLoading)
        return;
    bool relativeValid = true, voltageValid = true;
    TypedNumber(RelativeErrorEdit->text(), true, relativeValid);
    const std::optional<double> voltage = TypedNumber(VoltageErrorEdit->text(), false, voltageValid);
    MarkField(RelativeErrorEdit, relativeValid);
    MarkField(VoltageErrorEdit, voltageValid && voltage.value_or(0.0) >= 0.0);
    SaveSettings();
    const std::optional<TErrorModel> model = ErrorModel();
    if (!model)
        return;
    FErrors = *model;
    if (!FResult || !FShownMeasured || !FMisfit)
        return;
    WeighMisfit();
    ShowState();
}

void TForwardResponseWindow::WeighMisfit()
{
    if (!FResult || !FShownMeasured || !FMisfit)
        return;
    // The errors weigh the data in the totals only: the response and the
    // per-datum misfits stand.
    try {
        FMisfit = ComputeMisfit(*FShownMeasured, *FResult, FErrors);
    } catch (const std::exception& Refusal) {
        FError = QString::fromUtf8(Refusal.what());
    }
}

// --- Computing --------------------------------------------------------------------------

void TForwardResponseWindow::ModelChanged()
{
    if (FFitDialog)
        FFitDialog->SectionChanged();
    HostEdit->setEnabled(HostFieldUsed());
    if (FollowBox->isChecked() && isVisible())
        StartRun();
    else {
        FRun.InputChanged();
        ShowState();
    }
    PlaceElectrodeMarks(); // the area or the survey may have changed
}

void TForwardResponseWindow::Compute()
{
    StartRun();
}

void TForwardResponseWindow::StartRun()
{
    // A survey that cannot be computed: said in the window; the run under
    // way is dropped.
    const auto refuse = [this](const QString& Reason) {
        FRun.Drop();
        FCancelled = false;
        FError = Reason;
        ShowState();
    };
    QString reason;
    const std::optional<TArrayLayout> layout = SurveyLayout(&reason);
    if (!layout && !FMeasured)
        return refuse(reason);
    bool hostValid = true;
    TypedNumber(HostEdit->text(), true, hostValid);
    if (HostFieldUsed() && !hostValid)
        return refuse(QStringLiteral("The host medium's resistivity must be a number above 0."));
    auto job = std::make_shared<TJob>();
    job->OnStart = OnRunStart;
    job->Model = CopyAllSpolygon(FSection.Model);
    job->Nodes = CopyNodes(FSection.Nodes);
    job->Area = FSection.ModelArea;
    if (layout)
        job->Layout = *layout;
    if (HostFieldUsed())
        job->Host = HostResistivity();
    job->Measured = FRemovals.File(); // every configuration: a removal needs no new run
    job->Cache = FCache;
    FCancelled = false;
    FDataSaid.clear();
    FRun.ProgressDelay = ProgressDelay;
    if (!FRun.Start([job](TRunControl& Control) { return std::any(Run(*job, Control)); }))
        return refuse(QStringLiteral("The forward computation could not be started: no thread could be had."));
    ShowState();
}

// On the run's own thread: it holds the job, never the window.
TForwardResponseWindow::TOutcome TForwardResponseWindow::Run(const TJob& Job, TRunControl& Control)
{
    if (Job.OnStart)
        Job.OnStart();
    TOutcome outcome;
    // A run made obsolete while it waited does not mesh at all.
    if (Control.Cancelled())
        return outcome;
    const TForwardModel ground = PrepareForwardModel(Job.Model, Job.Nodes, Job.Area, Job.Host);
    // A file's data are computed on the electrodes they use: one no datum
    // uses may lie outside the model area (DataOnUsedElectrodes).
    std::vector<int> used;
    const std::optional<TMeasuredData> measured =
        Job.Measured ? std::optional(DataOnUsedElectrodes(*Job.Measured, &used)) : std::nullopt;
    TSurvey survey = measured ? measured->Survey() : MakeArraySurvey(Job.Layout, ground.Left, ground.Right);
    if (measured)
        if (const std::optional<std::string> mismatch = ElevationMismatch(*measured, ground))
            outcome.Warning = QString::fromStdString(*mismatch);
    TForwardOptions options;
    // Every core the process may run on: the run's lowered priority
    // (which its worker threads inherit) keeps the editor first.
    options.Threads = 0;
    options.Cache = Job.Cache;
    outcome.Result = std::make_shared<TForwardResult>(ComputeForwardResponse(
        ground, std::move(survey), options, [&Control](double Fraction) { return Control.Progress(Fraction); }));
    if (measured)
        NumberAsTheFile(outcome.Result->Survey, used, Job.Measured->Survey());
    outcome.Measured = Job.Measured;
    return outcome;
}

void TForwardResponseWindow::RunEnded(const TRunEnd& End)
{
    const TOutcome* outcome = End.Kind == TRunEnd::Done ? std::any_cast<TOutcome>(&End.Result) : nullptr;
    FCancelled = End.Kind == TRunEnd::Cancelled || (outcome && !outcome->Result);
    if (End.Kind == TRunEnd::Failed) {
        FError = End.Error;
    } else {
        FError.clear();
        if (outcome && outcome->Result) {
            FComputed = *outcome->Result;
            FComputedFor = outcome->Measured;
            Compare();
            FWarning = outcome->Warning;
            ShowResult();
            PlaceElectrodeMarks();
        }
    }
    ShowState();
    if (OnComputationEnd)
        OnComputationEnd();
}

void TForwardResponseWindow::CancelComputation()
{
    FRun.Cancel();
}

// --- Fitting the regions ---------------------------------------------------------------

bool TForwardResponseWindow::FitRegions()
{
    if (!FMeasured)
        return false;
    TRegionFitDialog::TInput input;
    if (HostFieldUsed()) {
        input.Host = HostResistivity();
        if (!input.Host) {
            FError = QStringLiteral("The host medium's resistivity must be a number above 0.");
            ShowState();
            return false;
        }
    }
    input.Measured = FMeasured;
    input.Errors = FErrors;
    if (!FFitDialog) {
        FFitDialog = new TRegionFitDialog(FSection, this);
        FFitDialog->OnStateChanged = [this] { ShowState(); };
        FFitDialog->OnApplied = [this] { FitApplied(); };
        FFitDialog->OnUndo = [this] {
            if (OnUndo)
                OnUndo();
        };
    }
    FFitDialog->ProgressDelay = ProgressDelay;
    FFitDialog->show();
    FFitDialog->raise();
    FFitDialog->activateWindow();
    const bool started = FFitDialog->Start(input);
    ShowState();
    return started;
}

// The pictures and the misfit show the fitted model: Follow edits has
// started its computation already, else it starts here.
void TForwardResponseWindow::FitApplied()
{
    if (!(FollowBox->isChecked() && isVisible()))
        StartRun();
}

} // namespace lp
