#include "section/main/ForwardResponseWindow.h"

#include "chart/editors/TypedNumberEdit.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotExportForm.h"
#include "chart/export/PlotPreview.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Metafile.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Registry.h"
#include "section/editor/PolygonChart.h"
#include "section/forward/ForwardCache.h"
#include "section/main/BackgroundThreads.h"
#include "section/main/SameFile.h"
#include "section/forward/DataFile.h"
#include "section/views/PseudoSection2D.h"

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
#include <cmath>
#include <functional>
#include <mutex>
#include <system_error>

#if defined(__linux__)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace lp {

namespace {

const QString SettingsKey = QStringLiteral("\\Software\\Lithoprism\\Forward response");

const TArrayKind ArrayKinds[] = {TArrayKind::DipoleDipole, TArrayKind::Wenner, TArrayKind::Schlumberger};
const char* const ArrayCaptions[] = {"Dipole-dipole", "Wenner", "Schlumberger"};

// A number typed into a field, in the user's notation as every editor
// reads it: empty text is no number, anything else must be a finite number
// (Positive: above 0).
std::optional<double> TypedNumber(const QString& Text, bool Positive, bool& Valid)
{
    const QString trimmed = Text.trimmed();
    Valid = true;
    if (trimmed.isEmpty())
        return std::nullopt;
    const std::optional<double> value = TypedReal(trimmed);
    Valid = value && (!Positive || *value > 0.0);
    if (!Valid)
        return std::nullopt;
    return value;
}

void MarkField(QLineEdit* Edit, bool Valid)
{
    Edit->setStyleSheet(Valid ? QString() : QStringLiteral("QLineEdit { background: #ffd0d0; }"));
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

QString SecondsText(double Value)
{
    return QString::number(Value, 'g', 4);
}

// The computation runs at a lower scheduling priority than the editor, so
// that drawing and typing never wait for a processor while it runs. On
// Linux a thread's nice value is its own and the threads it starts inherit
// it (the computation's worker threads too).
void YieldToTheEditor()
{
#if defined(__linux__)
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
#endif
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
        registry.CloseKey();
    } catch (const std::exception&) {
        // Settings that cannot be written are not worth interrupting the work.
    }
}

// --- Runs -----------------------------------------------------------------------------

// The window as its runs reach it: cleared when the window goes, so that a
// run ending later posts nothing to a window that is no more.
struct TForwardResponseWindow::TLink {
    std::mutex Lock;
    TForwardResponseWindow* Window = nullptr;

    // Call runs on the window's thread, unless the window has gone by then
    // (a window's destruction drops the calls posted to it).
    void Post(std::function<void(TForwardResponseWindow&)> Call)
    {
        std::lock_guard<std::mutex> hold(Lock);
        if (Window == nullptr)
            return;
        TForwardResponseWindow* window = Window;
        QMetaObject::invokeMethod(
            window, [window, Call = std::move(Call)] { Call(*window); }, Qt::QueuedConnection);
    }
    void Detach()
    {
        std::lock_guard<std::mutex> hold(Lock);
        Window = nullptr;
    }
};

// What a run computes, copied on the user-interface thread.
struct TForwardResponseWindow::TJob {
    std::shared_ptr<TLink> Link;
    std::function<void()> OnStart;
    int Serial = 0;
    std::atomic<bool> Cancelled{false};
    AllSpolygon Model;
    Tnodes Nodes;
    TModelArea Area{};
    TArrayLayout Layout;
    std::optional<double> Host;
    std::shared_ptr<const TMeasuredData> Measured; // the survey, when set
    std::shared_ptr<TForwardCache> Cache;
};

struct TForwardResponseWindow::TOutcome {
    int Serial = 0;
    bool Cancelled = false;
    QString Error;
    std::shared_ptr<TForwardResult> Result;
    std::shared_ptr<const TMeasuredData> Measured;
    std::optional<TMisfit> Misfit;
    QString Warning;
};

// A chart with what its owner keeps for it.
struct TForwardResponseWindow::TChartParts {
    TPseudoSection2d* Chart = nullptr;
    TMetafile Metafile;
    QWidget* Host = nullptr;
    QString Unit; // over the colour bar
};

TForwardResponseWindow::TForwardResponseWindow(TPolygonChart& Section, QWidget* Parent)
    : QWidget(Parent, Qt::Window), FSection(Section), FLink(std::make_shared<TLink>()),
      FCache(std::make_shared<TForwardCache>())
{
    FLink->Window = this;
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
    AbandonRuns();
    if (ElectrodeMarks) {
        delete ElectrodeMarks.data();
        FSection.Invalidate();
    }
    // The charts' windows live inside ours: let the charts go first.
    for (const std::unique_ptr<TChartParts>& parts : FCharts)
        delete parts->Chart;
}

void TForwardResponseWindow::AbandonRuns()
{
    // Never joined here: a run looks for its cancellation only now and
    // then, and the editor does not wait for it.
    FLink->Detach();
    if (FJob)
        FJob->Cancelled = true;
}

TPseudoSection2d* TForwardResponseWindow::CreateChart(TChartParts& Parts, const QString& Title)
{
    auto* chart = new TPseudoSection2d();
    Parts.Chart = chart;
    chart->SetView3D(false);
    // Bands only: the contour lines of a few rows of data are mostly noise.
    chart->ShowContourLines = false;
    chart->SetColor(clWhite);
    UseFieldColours(*chart);
    chart->Title()->Text()->Add(Title);
    chart->Legend()->SetVisible(false);
    chart->LeftAxis()->SetInverted(true);
    chart->LeftAxis()->Title()->SetCaption(QStringLiteral("Pseudo-depth (m)"));
    chart->BottomAxis()->Title()->SetCaption(QStringLiteral("Distance (m)"));
    chart->SetMarginRight(90);
    chart->SetMarginLeft(10);
    auto* extent = new TPointSeries(chart);
    extent->SetParentChart(chart);
    extent->Pointer()->SetVisible(false);
    extent->SetShowInLegend(false);
    auto* points = new TPointSeries(chart);
    points->SetParentChart(chart);
    points->SetTitle(QStringLiteral("Data"));
    points->Pointer()->SetHorizSize(1);
    points->Pointer()->SetVertSize(1);
    points->SetSeriesColor(clBlack);
    auto* tool = new TChartImageTool(chart);
    chart->Tools().Add(tool);
    tool->SetSeries(extent);
    tool->SetReverseVertical(true);
    chart->PictureMetafile = &Parts.Metafile;
    // The picture's own resolution; the tool stretches it over the axes.
    chart->PictureWidth = 1200;
    chart->PictureHeight = 600;
    chart->PictureTool = tool;
    chart->AxisExtentSeries = extent;
    chart->GridPointSeries = points;
    return chart;
}

void TForwardResponseWindow::CreatePanel()
{
    auto* outer = new QHBoxLayout(this);
    auto* panel = new QVBoxLayout;
    auto* form = new QFormLayout;
    ArrayBox = new QComboBox(this);
    ArrayBox->setObjectName(QStringLiteral("ArrayBox"));
    for (const char* caption : ArrayCaptions)
        ArrayBox->addItem(QString::fromLatin1(caption));
    form->addRow(QStringLiteral("&Array:"), ArrayBox);
    ElectrodesBox = new QSpinBox(this);
    ElectrodesBox->setObjectName(QStringLiteral("ElectrodesBox"));
    ElectrodesBox->setRange(MinArrayElectrodes, MaxArrayElectrodes);
    form->addRow(QStringLiteral("&Electrodes:"), ElectrodesBox);
    SpacingEdit = new QLineEdit(this);
    SpacingEdit->setObjectName(QStringLiteral("SpacingEdit"));
    // Short placeholders: the field's width at the window's opening size
    // holds them whole; the tooltips say what "automatic" does.
    SpacingEdit->setPlaceholderText(QStringLiteral("automatic"));
    SpacingEdit->setToolTip(QStringLiteral("Empty: the electrodes spread over the model area's width."));
    form->addRow(QStringLiteral("&Spacing (m):"), SpacingEdit);
    FirstEdit = new QLineEdit(this);
    FirstEdit->setObjectName(QStringLiteral("FirstEdit"));
    FirstEdit->setPlaceholderText(QStringLiteral("automatic"));
    FirstEdit->setToolTip(QStringLiteral("Empty: one spacing in from the model area's left side."));
    form->addRow(QStringLiteral("&First electrode (m):"), FirstEdit);
    LevelsBox = new QSpinBox(this);
    LevelsBox->setObjectName(QStringLiteral("LevelsBox"));
    LevelsBox->setRange(MinArrayLevels, MaxArrayLevels);
    form->addRow(QStringLiteral("&Levels:"), LevelsBox);
    HostEdit = new QLineEdit(this);
    HostEdit->setObjectName(QStringLiteral("HostEdit"));
    form->addRow(QStringLiteral("&Host medium (ohm-m):"), HostEdit);
    panel->addLayout(form);
    MeasuredLabel = new QLabel(this);
    MeasuredLabel->setObjectName(QStringLiteral("MeasuredLabel"));
    MeasuredLabel->setWordWrap(true);
    panel->addWidget(MeasuredLabel);
    ArraySurveyButton = new QPushButton(QStringLiteral("Use arra&y survey"), this);
    ArraySurveyButton->setObjectName(QStringLiteral("ArraySurveyButton"));
    panel->addWidget(ArraySurveyButton);
    MeasuredLabel->hide();
    ArraySurveyButton->hide();
    FollowBox = new QCheckBox(QStringLiteral("F&ollow edits"), this);
    FollowBox->setObjectName(QStringLiteral("FollowBox"));
    panel->addWidget(FollowBox);
    ComputeButton = new QPushButton(QStringLiteral("&Compute"), this);
    ComputeButton->setObjectName(QStringLiteral("ComputeButton"));
    panel->addWidget(ComputeButton);
    panel->addSpacing(12);
    SaveButton = new QPushButton(QStringLiteral("Save &data..."), this);
    SaveButton->setObjectName(QStringLiteral("SaveButton"));
    PrintButton = new QPushButton(QStringLiteral("&Print preview..."), this);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    ExportButton = new QPushButton(QStringLiteral("E&xport picture..."), this);
    ExportButton->setObjectName(QStringLiteral("ExportButton"));
    for (QPushButton* button : {SaveButton, PrintButton, ExportButton})
        panel->addWidget(button);
    panel->addStretch(1);
    auto* panelHolder = new QWidget(this);
    panelHolder->setLayout(panel);
    panelHolder->setMaximumWidth(300);
    outer->addWidget(panelHolder);

    auto* results = new QVBoxLayout;
    StateLabel = new QLabel(this);
    StateLabel->setObjectName(QStringLiteral("StateLabel"));
    StateLabel->setWordWrap(true);
    results->addWidget(StateLabel);
    auto* progressRow = new QHBoxLayout;
    Progress = new QProgressBar(this);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setRange(0, 100);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    progressRow->addWidget(Progress, 1);
    progressRow->addWidget(CancelButton);
    results->addLayout(progressRow);
    // Their place is kept while they are hidden, and the state line has
    // room for two lines: a run that starts or ends repaints these rows
    // only, never the charts below them.
    for (QWidget* widget : std::initializer_list<QWidget*>{Progress, CancelButton}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
        widget->hide();
    }
    StateLabel->setMinimumHeight(2 * StateLabel->fontMetrics().lineSpacing());
    StateLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* totalsRow = new QHBoxLayout;
    MisfitLabel = new QLabel(this);
    MisfitLabel->setObjectName(QStringLiteral("MisfitLabel"));
    QuantityBox = new QComboBox(this);
    QuantityBox->setObjectName(QStringLiteral("QuantityBox"));
    QuantityBox->addItems({QStringLiteral("Resistivity"), QStringLiteral("Chargeability")});
    totalsRow->addWidget(MisfitLabel, 1);
    totalsRow->addWidget(QuantityBox);
    results->addLayout(totalsRow);
    MisfitLabel->hide();
    QuantityBox->hide();
    MeasuredChart = AddChart(QStringLiteral("Measured apparent resistivity"), QStringLiteral("ohm-m")).Chart;
    ResistivityChart = AddChart(QStringLiteral("Apparent resistivity"), QStringLiteral("ohm-m")).Chart;
    ChargeabilityChart = AddChart(QStringLiteral("Apparent chargeability"), QStringLiteral("%")).Chart;
    MisfitChart = AddChart(QStringLiteral("Misfit"), QStringLiteral("%")).Chart;
    for (const std::unique_ptr<TChartParts>& parts : FCharts) {
        results->addWidget(parts->Host, 1);
        if (parts->Chart != ResistivityChart)
            parts->Host->hide();
    }
    outer->addLayout(results, 1);

    connect(ArrayBox, &QComboBox::currentIndexChanged, this, [this] { SurveyEdited(); });
    connect(ElectrodesBox, &QSpinBox::valueChanged, this, [this] { SurveyEdited(); });
    connect(LevelsBox, &QSpinBox::valueChanged, this, [this] { SurveyEdited(); });
    for (QLineEdit* edit : {SpacingEdit, FirstEdit, HostEdit})
        connect(edit, &QLineEdit::textChanged, this, [this] { SurveyEdited(); });
    connect(FollowBox, &QCheckBox::toggled, this, [this](bool On) {
        SurveyEdited(false);
        if (On && isVisible() && (FStale || !FResult))
            StartRun();
    });
    // The section's edits are undone from here too: the window sits beside
    // the editor and often has the keyboard. Text fields keep their own.
    auto* undo = new QAction(QStringLiteral("Undo"), this);
    undo->setShortcut(QKeySequence::Undo);
    connect(undo, &QAction::triggered, this, [this] {
        if (OnUndo)
            OnUndo();
    });
    addAction(undo);
    connect(ComputeButton, &QPushButton::clicked, this, [this] { Compute(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelComputation(); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { AskSaveData(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { PreviewChart(); });
    connect(ExportButton, &QPushButton::clicked, this, [this] { ExportChart(); });
    connect(ArraySurveyButton, &QPushButton::clicked, this, [this] { UseArraySurvey(); });
    connect(QuantityBox, &QComboBox::currentIndexChanged, this, [this] {
        if (FResult)
            ShowResult();
        ShowState();
    });
}

TForwardResponseWindow::TChartParts& TForwardResponseWindow::AddChart(const QString& Title, const QString& Unit)
{
    auto parts = std::make_unique<TChartParts>();
    TChartParts& kept = *parts;
    kept.Unit = Unit;
    TPseudoSection2d* chart = CreateChart(kept, Title);
    chart->OnAfterDraw = [this, &kept](TCustomPlotPanelExtended*) { DrawColorBar(kept); };
    kept.Host = chart->Widget(this);
    kept.Host->setMinimumSize(300, 140);
    kept.Host->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    FCharts.push_back(std::move(parts));
    return kept;
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
    FLoading = false;
    SurveyEdited();
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
    TForwardSurveySettings settings;
    settings.Kind = ArrayKinds[std::clamp(ArrayBox->currentIndex(), 0, 2)];
    settings.Electrodes = ElectrodesBox->value();
    settings.Spacing = SpacingEdit->text().trimmed();
    settings.First = FirstEdit->text().trimmed();
    settings.Levels = LevelsBox->value();
    settings.HostResistivity = HostEdit->text().trimmed();
    settings.FollowEdits = FollowBox->isChecked();
    settings.Save();
    if (SurveyChanged)
        ModelChanged();
}

// --- Computing --------------------------------------------------------------------------

void TForwardResponseWindow::ModelChanged()
{
    HostEdit->setEnabled(HostFieldUsed());
    if (FollowBox->isChecked() && isVisible())
        StartRun();
    else {
        // A run under way computes the model before this change.
        FEditedDuringRun = FRunning;
        FStale = FResult.has_value() || FRunning;
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
    if (FJob)
        FJob->Cancelled = true; // a newer change makes it obsolete
    // A survey that cannot be computed: said in the window; what an older
    // run still delivers is dropped (its serial is no longer the newest).
    const auto refuse = [this](const QString& Reason) {
        ++FSerial;
        FCancelled = false;
        FError = Reason;
        FRunning = false;
        FStale = FResult.has_value();
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
    job->Link = FLink;
    job->OnStart = OnRunStart;
    job->Serial = ++FSerial;
    job->Model = CopyAllSpolygon(FSection.Model);
    job->Nodes = CopyNodes(FSection.Nodes);
    job->Area = FSection.ModelArea;
    if (layout)
        job->Layout = *layout;
    if (HostFieldUsed())
        job->Host = HostResistivity();
    job->Measured = FMeasured;
    job->Cache = FCache;
    FJob = job;
    FEditedDuringRun = false;
    FRunning = true;
    FCancelled = false;
    FStale = true;
    Progress->setValue(0);
    ShowState();
    try {
        TBackgroundThreads::Program().Start([job] { Run(job); });
    } catch (const std::system_error&) {
        FJob.reset();
        return refuse(QStringLiteral("The forward computation could not be started: no thread could be had."));
    }
    const int serial = job->Serial;
    QTimer::singleShot(ProgressDelay, this, [this, serial] {
        if (FRunning && serial == FSerial) {
            Progress->show();
            CancelButton->show();
        }
    });
}

// On the run's own thread.
void TForwardResponseWindow::Run(const std::shared_ptr<TJob>& Job)
{
    YieldToTheEditor();
    if (Job->OnStart)
        Job->OnStart();
    TOutcome outcome;
    outcome.Serial = Job->Serial;
    try {
        // A run made obsolete before it began does not mesh at all.
        if (Job->Cancelled)
            throw EForwardCancelled("The forward computation was cancelled.");
        const TForwardModel ground = PrepareForwardModel(Job->Model, Job->Nodes, Job->Area, Job->Host);
        TSurvey survey = Job->Measured ? Job->Measured->Survey() : MakeArraySurvey(Job->Layout, ground.Left, ground.Right);
        if (Job->Measured)
            if (const std::optional<std::string> mismatch = ElevationMismatch(*Job->Measured, ground))
                outcome.Warning = QString::fromStdString(*mismatch);
        TForwardOptions options;
        // Every core the process may run on: the run's lowered priority
        // (which its worker threads inherit) keeps the editor first.
        options.Threads = 0;
        options.Cache = Job->Cache;
        const int serial = Job->Serial;
        // The computation reports often (every block of electrodes): the
        // window hears of a new whole per cent only, so the editor's event
        // loop is never flooded.
        int shownPercent = -1;
        outcome.Result = std::make_shared<TForwardResult>(ComputeForwardResponse(
            ground, std::move(survey), options, [Job, serial, &shownPercent](double Fraction) {
                if (Job->Cancelled)
                    return false;
                const int percent = static_cast<int>(std::lround(100.0 * Fraction));
                if (percent != shownPercent) {
                    shownPercent = percent;
                    Job->Link->Post([serial, Fraction](TForwardResponseWindow& Window) {
                        Window.ShowProgress(serial, Fraction);
                    });
                }
                return true;
            }));
        if (Job->Measured) {
            outcome.Measured = Job->Measured;
            outcome.Misfit = ComputeMisfit(*Job->Measured, *outcome.Result);
        }
    } catch (const EForwardCancelled&) {
        outcome.Cancelled = true;
    } catch (const Exception& Error) {
        outcome.Error = QString::fromStdString(Error.Message());
    } catch (const std::exception& Error) {
        outcome.Error = QString::fromLocal8Bit(Error.what());
    } catch (...) {
        outcome.Error = QStringLiteral("The forward computation failed.");
    }
    if (Job->Cancelled)
        outcome.Cancelled = true;
    Job->Link->Post([outcome](TForwardResponseWindow& Window) { Window.RunEnded(outcome); });
}

void TForwardResponseWindow::ShowProgress(int Serial, double Fraction)
{
    if (Serial == FSerial)
        Progress->setValue(static_cast<int>(std::lround(100.0 * Fraction)));
}

void TForwardResponseWindow::RunEnded(const TOutcome& Outcome)
{
    if (Outcome.Serial != FSerial)
        return; // an older run: a newer one is under way or done
    FRunning = false;
    FCancelled = Outcome.Cancelled;
    if (Outcome.Cancelled) {
        FError.clear();
    } else if (!Outcome.Error.isEmpty()) {
        FError = Outcome.Error;
    } else if (Outcome.Result) {
        FError.clear();
        FResult = std::move(*Outcome.Result);
        FShownMeasured = Outcome.Measured;
        FMisfit = Outcome.Misfit;
        FWarning = Outcome.Warning;
        FStale = FEditedDuringRun;
        ShowResult();
        PlaceElectrodeMarks();
    }
    ShowState();
    if (OnComputationEnd)
        OnComputationEnd();
}

void TForwardResponseWindow::CancelComputation()
{
    if (!FRunning || !FJob)
        return;
    FJob->Cancelled = true;
}

// --- Showing ------------------------------------------------------------------------------

void TForwardResponseWindow::ShowState()
{
    QString text;
    QString style;
    if (FRunning) {
        text = QStringLiteral("updating…");
    } else if (!FError.isEmpty()) {
        text = FError + (FResult ? QStringLiteral("\nThe pictures show an earlier model (out of date).") : QString());
        style = QStringLiteral("color: #b00000;");
    } else if (FCancelled) {
        text = FResult ? QStringLiteral("Cancelled: the pictures show an earlier model (out of date).")
                       : QStringLiteral("Cancelled.");
    } else if (FStale && FResult) {
        text = QStringLiteral("The model has changed: Compute shows it (out of date).");
    } else if (FResult) {
        const TForwardResult& result = *FResult;
        text = QStringLiteral("%1 data, %2 electrodes; mesh of %3 nodes; computed in %4 s.")
                   .arg(result.Resistivities.size())
                   .arg(result.Survey.Electrodes.size())
                   .arg(result.MeshNodes)
                   .arg(SecondsText(result.Times.Total));
    } else {
        text = QStringLiteral("Compute shows what the survey would measure over the section.");
    }
    if (!FWarning.isEmpty() && FResult && !FRunning && FError.isEmpty())
        text += QStringLiteral("\n") + FWarning;
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
    if (!FRunning) {
        Progress->hide();
        CancelButton->hide();
    }
    const bool compared = FResult && FShownMeasured && FMisfit;
    MisfitLabel->setVisible(compared);
    if (compared)
        MisfitLabel->setText(QString::fromStdString(MisfitSummary(*FMisfit, FShownMeasured->Skipped)) +
                             (FStale ? QStringLiteral(" (out of date)") : QString()));
    const bool shown = FResult.has_value();
    SaveButton->setEnabled(shown && !FStale);
    PrintButton->setEnabled(shown);
    ExportButton->setEnabled(shown);
    for (const std::unique_ptr<TChartParts>& parts : FCharts) {
        TStringList* title = parts->Chart->Title()->Text();
        QString caption = title->Count() > 0 ? title->Strings(0) : QString();
        const QString mark = QStringLiteral(" (out of date)");
        if (caption.endsWith(mark))
            caption.chop(mark.size());
        if (FStale && shown)
            caption += mark;
        title->Clear();
        title->Add(caption);
        parts->Chart->Invalidate();
    }
}

void TForwardResponseWindow::ShowChart(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                                       const std::vector<double>& Values, double DeepestPoint, bool Rebuild)
{
    // Each picture is drawn once, when everything about it is set.
    FillPseudoSection(Chart, Points, Values, false);
    // x aligned with the section's distance.
    Chart.BottomAxis()->SetMinMax(FSection.ModelArea.left, FSection.ModelArea.right);
    Chart.LeftAxis()->SetMinMax(0.0, DeepestPoint * 1.1);
    Chart.GridPointSeries->Clear();
    for (int v = 1; v <= Chart.VertexCount; ++v)
        Chart.GridPointSeries->AddXY(Chart.Vertices[v].AxisX, Chart.Vertices[v].AxisY, QString(), clBlack);
    if (Rebuild)
        Chart.RebuildPicture();
}

namespace {

void SetChartTitle(TPseudoSection2d& Chart, const QString& Title)
{
    Chart.Title()->Text()->Clear();
    Chart.Title()->Text()->Add(Title);
}

} // namespace

void TForwardResponseWindow::ShowResult()
{
    const TForwardResult& result = *FResult;
    double deepest = 0.0;
    const std::vector<TPseudoPoint> points = PseudoSectionPoints(result.Survey);
    for (const TPseudoPoint& point : points)
        deepest = std::max(deepest, point.Depth);
    if (deepest <= 0.0)
        deepest = 1.0;
    const bool compared = FShownMeasured && FMisfit;
    FCharts[0]->Host->setVisible(compared);
    FCharts[3]->Host->setVisible(compared);
    if (compared)
        return ShowComparison(deepest);
    QuantityBox->hide();
    SetChartTitle(*ResistivityChart, QStringLiteral("Apparent resistivity"));
    FCharts[1]->Unit = QStringLiteral("ohm-m");
    FCharts[1]->Host->show();
    ShowChart(*ResistivityChart, points, result.Resistivities, deepest);
    const bool charged = !result.Chargeabilities.empty();
    FCharts[2]->Host->setVisible(charged);
    if (charged)
        ShowChart(*ChargeabilityChart, points, result.Chargeabilities, deepest);
}

// Measured, calculated and misfit, one above the other, of the quantity
// chosen: measured and calculated on one scale.
void TForwardResponseWindow::ShowComparison(double DeepestPoint)
{
    const TForwardResult& result = *FResult;
    const TMeasuredData& measured = *FShownMeasured;
    const bool chargeable = !measured.Chargeabilities.empty() && !result.Chargeabilities.empty() &&
                            FMisfit->ChargeabilityData > 0;
    QuantityBox->setVisible(chargeable);
    const bool chargeability = chargeable && QuantityBox->currentIndex() == 1;
    FCharts[2]->Host->hide();
    const std::vector<TPseudoPoint> all = PseudoSectionPoints(result.Survey);
    std::vector<TPseudoPoint> points;
    std::vector<double> observed, calculated, misfits;
    for (size_t i = 0; i < all.size(); ++i) {
        if (chargeability) {
            // Only the data with a measured chargeability.
            const double difference = FMisfit->ChargeabilityDifferences.at(i);
            if (!std::isfinite(difference))
                continue;
            observed.push_back(measured.Chargeabilities.at(i));
            calculated.push_back(result.Chargeabilities.at(i));
            misfits.push_back(difference);
        } else {
            observed.push_back(measured.Resistivities.at(i));
            calculated.push_back(result.Resistivities.at(i));
            misfits.push_back(FMisfit->Misfits.at(i));
        }
        points.push_back(all[i]);
    }
    const QString quantity = chargeability ? QStringLiteral("apparent chargeability") : QStringLiteral("apparent resistivity");
    const QString unit = chargeability ? QStringLiteral("%") : QStringLiteral("ohm-m");
    SetChartTitle(*MeasuredChart, QStringLiteral("Measured ") + quantity);
    SetChartTitle(*ResistivityChart, QStringLiteral("Calculated ") + quantity);
    SetChartTitle(*MisfitChart, chargeability ? QStringLiteral("Difference, calculated - measured (%)")
                                              : QStringLiteral("Misfit (%)"));
    FCharts[0]->Unit = FCharts[1]->Unit = unit;
    FCharts[1]->Host->show();
    ShowChart(*MeasuredChart, points, observed, DeepestPoint, false);
    ShowChart(*ResistivityChart, points, calculated, DeepestPoint, false);
    // One scale for both: equal colours are equal values.
    double low = std::min(MeasuredChart->DataMin, ResistivityChart->DataMin);
    double high = std::max(MeasuredChart->DataMax, ResistivityChart->DataMax);
    for (TPseudoSection2d* chart : {MeasuredChart, ResistivityChart}) {
        SetPseudoSectionRange(*chart, low, high);
        chart->RebuildPicture();
    }
    ShowChart(*MisfitChart, points, misfits, DeepestPoint, false);
    UseDivergingScale(*MisfitChart);
    MisfitChart->RebuildPicture();
}

// The colour bar in the right margin: one box per band, lowest at the
// bottom, the levels written between them.
void TForwardResponseWindow::DrawColorBar(TChartParts& Parts)
{
    TPseudoSection2d& Chart = *Parts.Chart;
    const QString& Unit = Parts.Unit;
    const int bands = Chart.BandColors.Length();
    if (!Chart.ShowColorBar || bands < 2 || Chart.Levels.Length() != bands - 1 || Chart.VertexCount < 3)
        return;
    TPlotCanvas3D& canvas = Chart.Canvas();
    const TRect plot = Chart.ChartRectangle();
    const int left = plot.Right + 10, width = 14;
    const int top = plot.Top + 16, bottom = plot.Bottom;
    if (bottom - top < bands * 4)
        return;
    canvas.Pen()->SetStyle(psClear);
    for (int j = 0; j < bands; ++j) {
        const int low = bottom - (bottom - top) * j / bands;
        const int high = bottom - (bottom - top) * (j + 1) / bands;
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(Chart.BandColors[j]);
        canvas.FillRect(TRect{left, high, left + width, low});
    }
    canvas.Brush()->SetStyle(bsClear);
    canvas.Font()->SetColor(clBlack);
    canvas.Font()->SetSize(7);
    const int step = std::max(1, (bands - 1) / std::max(1, (bottom - top) / (2 * canvas.FontHeight())) + 1);
    for (int j = 0; j < bands - 1; j += step) {
        const int y = bottom - (bottom - top) * (j + 1) / bands;
        canvas.TextOut(left + width + 3, y - canvas.FontHeight() / 2, QString::number(Chart.Levels[j], 'g', 3));
    }
    canvas.TextOut(left, plot.Top, Unit);
}

void TForwardResponseWindow::PlaceElectrodeMarks()
{
    if (!isVisible()) {
        if (ElectrodeMarks)
            ElectrodeMarks->SetActive(false);
        return;
    }
    if (!ElectrodeMarks) {
        auto* marks = new TPointSeries(&FSection);
        marks->SetTitle(QStringLiteral("Electrodes"));
        marks->SetShowInLegend(false);
        marks->Marks()->SetVisible(false);
        marks->Pointer()->SetStyle(TSeriesPointer::psDownTriangle);
        marks->Pointer()->SetHorizSize(3);
        marks->Pointer()->SetVertSize(3);
        marks->SetSeriesColor(0x0000C0);
        marks->SetVertAxis(TChartSeries::aLeftAxis);
        marks->SetParentChart(&FSection);
        ElectrodeMarks = marks;
    }
    ElectrodeMarks->SetActive(true);
    ElectrodeMarks->Clear();
    // The computed electrodes stand on the surface; before a result (or
    // after the survey changed) the layout's along the area's top.
    std::vector<TElectrode> electrodes;
    const std::optional<TArrayLayout> layout = SurveyLayout();
    if (FResult && !FStale)
        electrodes = FResult->Survey.Electrodes;
    else if (FMeasured) {
        electrodes = FMeasured->Electrodes;
        for (TElectrode& electrode : electrodes)
            electrode.z = -FSection.ModelArea.top;
    } else if (layout) {
        try {
            electrodes = MakeArraySurvey(*layout, FSection.ModelArea.left, FSection.ModelArea.right).Electrodes;
        } catch (const std::exception&) {
            electrodes.clear();
        }
        for (TElectrode& electrode : electrodes)
            electrode.z = -FSection.ModelArea.top;
    }
    for (const TElectrode& electrode : electrodes)
        ElectrodeMarks->AddXY(electrode.x, -electrode.z, QString(), clPlotColor);
    FSection.Invalidate();
}

void TForwardResponseWindow::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    HostEdit->setEnabled(HostFieldUsed());
    PlaceElectrodeMarks();
    // Opened with Follow edits on: the model as it is, at once.
    if (FollowBox->isChecked() && !FResult && !FRunning && FError.isEmpty())
        StartRun();
}

void TForwardResponseWindow::hideEvent(QHideEvent* Event)
{
    QWidget::hideEvent(Event);
    if (ElectrodeMarks) {
        ElectrodeMarks->SetActive(false);
        FSection.Invalidate();
    }
}

// --- Keeping the result -------------------------------------------------------------------

bool TForwardResponseWindow::SaveData(const QString& FileName, QString& Error) const
{
    if (!FResult) {
        Error = QStringLiteral("There is no computed data to save.");
        return false;
    }
    if (SectionFile && SameFile(FileName, SectionFile())) {
        Error = QStringLiteral("it is the section file the editor has open; name another file.");
        return false;
    }
    const bool table = FileName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    const bool compared = FShownMeasured && FMisfit;
    const std::string text = !table   ? FormatUnifiedData(*FResult)
                             : compared ? FormatComparisonTable(*FShownMeasured, *FResult, *FMisfit)
                                        : FormatDataTable(*FResult);
    return SaveBytesAtomically(FileName, QByteArray::fromStdString(text), Error);
}

void TForwardResponseWindow::AskSaveData()
{
    TSaveDialogRequest request;
    request.Owner = this;
    request.Name = QStringLiteral("SaveDataDialog");
    request.Title = QStringLiteral("Save data");
    request.Filter = QStringLiteral("Unified data file (*.dat)|*.dat|Table (*.csv)|*.csv");
    request.DefaultExt = QStringLiteral("dat");
    if (!ExecuteSaveDialog(request))
        return;
    QString error;
    if (!SaveData(request.FileName, error))
        MessageDlg(QStringLiteral("%1 could not be saved: %2").arg(QFileInfo(request.FileName).fileName(), error),
                   TMsgDlgType::mtError, mbOK);
}

// The chart a command acts on: with more than one chart shown, the user
// chooses.
TPseudoSection2d* TForwardResponseWindow::ChosenChart()
{
    std::vector<TPseudoSection2d*> shown;
    for (const std::unique_ptr<TChartParts>& parts : FCharts)
        if (!parts->Host->isHidden())
            shown.push_back(parts->Chart);
    if (shown.size() <= 1)
        return shown.empty() ? ResistivityChart : shown.front();
    QMenu menu(this);
    std::vector<QAction*> actions;
    for (TPseudoSection2d* chart : shown) {
        QString title = chart->Title()->Text()->Count() > 0 ? chart->Title()->Text()->Strings(0) : QString();
        const QString mark = QStringLiteral(" (out of date)");
        if (title.endsWith(mark))
            title.chop(mark.size());
        actions.push_back(menu.addAction(title));
    }
    QAction* chosen = menu.exec(QCursor::pos());
    for (size_t i = 0; i < actions.size(); ++i)
        if (chosen == actions[i])
            return shown[i];
    return nullptr;
}

void TForwardResponseWindow::PreviewChart()
{
    if (TPseudoSection2d* chart = ChosenChart())
        ShowChartPreview(this, chart);
}

void TForwardResponseWindow::ExportChart()
{
    TPseudoSection2d* chart = ChosenChart();
    if (!chart)
        return;
    TPlotExportForm form(this);
    form.setObjectName(QStringLiteral("ExportPictureDialog"));
    form.ExportPanel = chart;
    form.FormShow();
    form.exec();
}

// --- Measured data -------------------------------------------------------------------------

bool TForwardResponseWindow::OpenMeasuredData(const QString& FileName, QString& Error)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    auto data = std::make_shared<TMeasuredData>();
    try {
        *data = ReadMeasuredData(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return false;
    }
    if (data->Size() == 0) {
        Error = QStringLiteral("The file holds no datum that can be used") +
                (data->Skipped.Total() > 0 ? QStringLiteral(" (%1 skipped: %2).")
                                                 .arg(data->Skipped.Total())
                                                 .arg(QString::fromStdString(data->Skipped.Text()))
                                           : QStringLiteral("."));
        return false;
    }
    FMeasured = std::move(data);
    FMeasuredName = QFileInfo(FileName).fileName();
    ShowMeasuredSurvey();
    ModelChanged();
    return true;
}

bool TForwardResponseWindow::AskOpenMeasuredData(QWidget* Owner)
{
    TOpenDialogRequest request;
    request.Owner = Owner;
    request.Name = QStringLiteral("MeasuredDataDialog");
    request.Title = QStringLiteral("Measured data");
    request.Filter = QStringLiteral("Unified data file (*.dat;*.ohm;*.data)|*.dat;*.ohm;*.data|"
                                    "Res2DInv file (*.dat;*.txt)|*.dat;*.txt|All files (*)|*");
    if (!ExecuteOpenDialog(request))
        return false;
    QString error;
    if (OpenMeasuredData(request.FileName, error))
        return true;
    MessageDlg(QStringLiteral("%1 could not be read: %2").arg(QFileInfo(request.FileName).fileName(), error),
               TMsgDlgType::mtError, mbOK);
    return false;
}

void TForwardResponseWindow::UseArraySurvey()
{
    if (!FMeasured)
        return;
    FMeasured.reset();
    FMeasuredName.clear();
    ShowMeasuredSurvey();
    ModelChanged();
}

// The panel as the survey's source makes it: the file's summary and the
// way back, or the array fields.
void TForwardResponseWindow::ShowMeasuredSurvey()
{
    const bool measured = FMeasured != nullptr;
    for (QWidget* field : std::initializer_list<QWidget*>{ArrayBox, ElectrodesBox, SpacingEdit, FirstEdit, LevelsBox})
        field->setEnabled(!measured);
    MeasuredLabel->setVisible(measured);
    ArraySurveyButton->setVisible(measured);
    if (!measured)
        return;
    QString text = QStringLiteral("Survey of %1: %2 electrodes, %3 data")
                       .arg(FMeasuredName)
                       .arg(FMeasured->Electrodes.size())
                       .arg(FMeasured->Size());
    if (FMeasured->Skipped.Total() > 0)
        text += QStringLiteral(" (%1 skipped)").arg(FMeasured->Skipped.Total());
    MeasuredLabel->setText(text + QStringLiteral("."));
}

} // namespace lp
