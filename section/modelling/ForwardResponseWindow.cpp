#include "section/modelling/ForwardResponseWindow.h"

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
#include "section/modelling/BackgroundThreads.h"
#include "section/modelling/RegionFitDialog.h"
#include "section/modelling/SameFile.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/DataFile.h"
#include "section/survey/formats/DataFormats.h"
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
#include <numeric>
#include <cmath>
#include <functional>
#include <mutex>
#include <system_error>


namespace lp {

namespace {

const QString SettingsKey = QStringLiteral("\\Software\\Lithoprism\\Forward response");

const TArrayKind ArrayKinds[] = {TArrayKind::DipoleDipole, TArrayKind::Wenner, TArrayKind::Schlumberger};
const char* const ArrayCaptions[] = {"Dipole-dipole", "Wenner", "Schlumberger"};

// A text field on a row of Form, named for tests and style sheets.
QLineEdit* AddTextField(QWidget* Owner, QFormLayout& Form, const QString& Label, const QString& Name,
                        const QString& Placeholder = {}, const QString& Tip = {})
{
    auto* edit = new QLineEdit(Owner);
    edit->setObjectName(Name);
    edit->setPlaceholderText(Placeholder);
    edit->setToolTip(Tip);
    Form.addRow(Label, edit);
    return edit;
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

// The checksum the removed set is remembered with: another file of the same
// name (or the same file changed) does not take it.
QString FileChecksum(const QByteArray& Bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(Bytes, QCryptographicHash::Sha1).toHex());
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

// A chart with what its owner keeps for it.
struct TForwardResponseWindow::TChartParts {
    TPseudoSection2d* Chart = nullptr;
    TMetafile Metafile;
    QWidget* Host = nullptr;
    QString Unit; // over the colour bar
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

TPseudoSection2d* TForwardResponseWindow::CreateChart(TChartParts& Parts, const QString& Title)
{
    Parts.Chart = CreateFieldPseudoSection(Title, Parts.Metafile);
    return Parts.Chart;
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
    // Short placeholders: the field's width at the window's opening size
    // holds them whole; the tooltips say what "automatic" does.
    SpacingEdit = AddTextField(this, *form, QStringLiteral("&Spacing (m):"), QStringLiteral("SpacingEdit"),
                               QStringLiteral("automatic"),
                               QStringLiteral("Empty: the electrodes spread over the model area's width."));
    FirstEdit = AddTextField(this, *form, QStringLiteral("&First electrode (m):"), QStringLiteral("FirstEdit"),
                             QStringLiteral("automatic"),
                             QStringLiteral("Empty: one spacing in from the model area's left side."));
    LevelsBox = new QSpinBox(this);
    LevelsBox->setObjectName(QStringLiteral("LevelsBox"));
    LevelsBox->setRange(MinArrayLevels, MaxArrayLevels);
    form->addRow(QStringLiteral("&Levels:"), LevelsBox);
    HostEdit = AddTextField(this, *form, QStringLiteral("&Host medium (ohm-m):"), QStringLiteral("HostEdit"));
    panel->addLayout(form);
    MeasuredLabel = new QLabel(this);
    MeasuredLabel->setObjectName(QStringLiteral("MeasuredLabel"));
    MeasuredLabel->setWordWrap(true);
    panel->addWidget(MeasuredLabel);
    ArraySurveyButton = new QPushButton(QStringLiteral("Use arra&y survey"), this);
    ArraySurveyButton->setObjectName(QStringLiteral("ArraySurveyButton"));
    panel->addWidget(ArraySurveyButton);
    FErrorFields = new QWidget(this);
    auto* errors = new QFormLayout(FErrorFields);
    errors->setContentsMargins(0, 0, 0, 0);
    RelativeErrorEdit =
        AddTextField(this, *errors, QStringLiteral("&Relative error (%):"), QStringLiteral("RelativeErrorEdit"),
                     QStringLiteral("3"), QStringLiteral("The relative error of the data whose file gives none, in per cent."));
    VoltageErrorEdit =
        AddTextField(this, *errors, QStringLiteral("&Voltage error (V):"), QStringLiteral("VoltageErrorEdit"),
                     QStringLiteral("0"),
                     QStringLiteral("An absolute error of the measured voltage, added where the file gives voltages "
                                    "(and no errors); 0 for none."));
    panel->addWidget(FErrorFields);
    CreateDataPanel(*panel);
    MeasuredLabel->hide();
    ArraySurveyButton->hide();
    FErrorFields->hide();
    FollowBox = new QCheckBox(QStringLiteral("F&ollow edits"), this);
    FollowBox->setObjectName(QStringLiteral("FollowBox"));
    panel->addWidget(FollowBox);
    ComputeButton = new QPushButton(QStringLiteral("&Compute"), this);
    ComputeButton->setObjectName(QStringLiteral("ComputeButton"));
    FitButton = new QPushButton(QStringLiteral("F&it regions..."), this);
    FitButton->setObjectName(QStringLiteral("FitButton"));
    FitButton->setToolTip(QStringLiteral("Fits the regions' resistivities (and polarizabilities) to the measured "
                                         "data, as the table of regions sets them free or fixed."));
    auto* computeRow = new QHBoxLayout;
    computeRow->addWidget(ComputeButton);
    computeRow->addWidget(FitButton);
    panel->addLayout(computeRow);
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
    // The state line has room for two lines: a run that starts or ends
    // repaints these rows only, never the charts below them.
    AddProgressRow(*this, *results, QString(), Progress, CancelButton);
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
    HoverLabel = new QLabel(this);
    HoverLabel->setObjectName(QStringLiteral("HoverLabel"));
    HoverLabel->setMinimumHeight(HoverLabel->fontMetrics().lineSpacing());
    // A long line is cut at the window's edge rather than widening it.
    HoverLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    results->addWidget(HoverLabel);
    outer->addLayout(results, 1);

    connect(ArrayBox, &QComboBox::currentIndexChanged, this, [this] { SurveyEdited(); });
    connect(ElectrodesBox, &QSpinBox::valueChanged, this, [this] { SurveyEdited(); });
    connect(LevelsBox, &QSpinBox::valueChanged, this, [this] { SurveyEdited(); });
    for (QLineEdit* edit : {SpacingEdit, FirstEdit, HostEdit})
        connect(edit, &QLineEdit::textChanged, this, [this] { SurveyEdited(); });
    for (QLineEdit* edit : {RelativeErrorEdit, VoltageErrorEdit})
        connect(edit, &QLineEdit::textChanged, this, [this] { ErrorModelEdited(); });
    connect(FollowBox, &QCheckBox::toggled, this, [this](bool On) {
        SurveyEdited(false);
        if (On && isVisible() && (FRun.Stale() || !FResult))
            StartRun();
    });
    FUndoKey = [this] {
        if (!UndoDataStep() && OnUndo)
            OnUndo();
    };
    AddModellingWindowKeys(*this, &FUndoKey, [this] { return Busy(); }, [this] { CancelComputation(); });
    InstallDataSelection();
    connect(ComputeButton, &QPushButton::clicked, this, [this] { Compute(); });
    connect(FitButton, &QPushButton::clicked, this, [this] { FitRegions(); });
    FRun.ShowProgressIn(Progress, CancelButton);
    FRun.OnEnd = [this](const TRunEnd& End) { RunEnded(End); };
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
    chart->OnMouseMove = [this, &kept](TControl*, TShiftState, int X, int Y) {
        HoverLabel->setText(DatumAt(kept, X, Y));
    };
    chart->OnMouseLeave = [this](TControl*) { HoverLabel->clear(); };
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
    TSurvey survey = Job.Measured ? Job.Measured->Survey() : MakeArraySurvey(Job.Layout, ground.Left, ground.Right);
    if (Job.Measured)
        if (const std::optional<std::string> mismatch = ElevationMismatch(*Job.Measured, ground))
            outcome.Warning = QString::fromStdString(*mismatch);
    TForwardOptions options;
    // Every core the process may run on: the run's lowered priority
    // (which its worker threads inherit) keeps the editor first.
    options.Threads = 0;
    options.Cache = Job.Cache;
    outcome.Result = std::make_shared<TForwardResult>(ComputeForwardResponse(
        ground, std::move(survey), options, [&Control](double Fraction) { return Control.Progress(Fraction); }));
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

// --- Showing ------------------------------------------------------------------------------

void TForwardResponseWindow::ShowState()
{
    QString text;
    QString style;
    const bool stale = FRun.Stale();
    if (FRun.Busy()) {
        text = QStringLiteral("updating…");
    } else if (!FError.isEmpty()) {
        text = FError + (FResult ? QStringLiteral("\nThe pictures show an earlier model (out of date).") : QString());
        style = QStringLiteral("color: #b00000;");
    } else if (!FCompareError.isEmpty()) {
        text = FCompareError;
        style = QStringLiteral("color: #b00000;");
    } else if (FCancelled) {
        text = FResult ? QStringLiteral("Cancelled: the pictures show an earlier model (out of date).")
                       : QStringLiteral("Cancelled.");
    } else if (stale && FResult) {
        text = QStringLiteral("The model has changed: Compute shows it (out of date).");
    } else if (FResult) {
        const TForwardResult& result = *FResult;
        text = QStringLiteral("%1, %2; mesh of %3 nodes; computed in %4 s.")
                   .arg(DatumCount(static_cast<long long>(result.Resistivities.size())),
                        ElectrodeCount(static_cast<long long>(result.Survey.Electrodes.size())))
                   .arg(result.MeshNodes)
                   .arg(SecondsText(result.Times.Total));
    } else {
        text = QStringLiteral("Compute shows what the survey would measure over the section.");
    }
    if (!FWarning.isEmpty() && FResult && !FRun.Busy() && FError.isEmpty())
        text += QStringLiteral("\n") + FWarning;
    if (!FDataSaid.isEmpty())
        text = FDataSaid + QStringLiteral("\n") + text;
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
    const bool compared = FResult && FShownMeasured && FMisfit;
    MisfitLabel->setVisible(compared);
    if (compared)
        MisfitLabel->setText(QString::fromStdString(MisfitSummary(*FMisfit, FShownMeasured->Skipped)) +
                             (stale ? QStringLiteral(" (out of date)") : QString()));
    const bool shown = FResult.has_value();
    SaveButton->setEnabled(shown && !stale);
    FitButton->setEnabled(FMeasured && !(FFitDialog && FFitDialog->Busy()));
    ShowDataPanel();
    PrintButton->setEnabled(shown);
    ExportButton->setEnabled(shown);
    for (const std::unique_ptr<TChartParts>& parts : FCharts) {
        TStringList* title = parts->Chart->Title()->Text();
        QString caption = title->Count() > 0 ? title->Strings(0) : QString();
        const QString mark = QStringLiteral(" (out of date)");
        if (caption.endsWith(mark))
            caption.chop(mark.size());
        if (stale && shown)
            caption += mark;
        title->Clear();
        title->Add(caption);
        parts->Chart->Invalidate();
    }
}

void TForwardResponseWindow::ShowChart(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                                       const std::vector<double>& Values, double DeepestPoint, bool Rebuild)
{
    // Measured data: the survey's frame within the model area; the array
    // survey: the model area.
    TSurveyFrame frame{FSection.ModelArea.left, FSection.ModelArea.right};
    if (const TSurveyFrame survey = FShownMeasured && FResult ? SurveyFrame(FResult->Survey) : TSurveyFrame{};
        !survey.Empty())
        frame = {std::max(frame.Left, survey.Left), std::min(frame.Right, survey.Right)};
    // Over relief (or a file's elevations) the data hang from the ground the
    // computation stood them on.
    const bool relief = FResult && (SurfaceHasRelief(FResult->Surface) || (FShownMeasured && FShownMeasured->HasElevations));
    ShowFieldPseudoSection(Chart, Points, Values, frame.Left, frame.Right, DeepestPoint,
                           relief ? FResult->Surface : std::vector<TGeometryPoint>{}, Rebuild);
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
    // With a file the depth axis is the whole file's, whatever is removed.
    for (const TPseudoPoint& point : FFilePoints)
        deepest = std::max(deepest, point.Depth);
    FCharts[0]->Host->setVisible(compared);
    FCharts[3]->Host->setVisible(compared);
    if (compared)
        return ShowComparison(deepest);
    QuantityBox->hide();
    FShownPoints = points;
    FShownData.resize(points.size());
    std::iota(FShownData.begin(), FShownData.end(), size_t{0});
    FShownChargeability = false;
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
    // Measured chargeabilities are shown as soon as the file has them: with
    // no polarizable region the calculated ones are 0, as the totals take
    // them.
    const bool chargeable = !measured.Chargeabilities.empty() && FMisfit->ChargeabilityData > 0;
    QuantityBox->setVisible(chargeable);
    const bool chargeability = chargeable && QuantityBox->currentIndex() == 1;
    FCharts[2]->Host->hide();
    const std::vector<TPseudoPoint> all = PseudoSectionPoints(result.Survey);
    std::vector<TPseudoPoint> points;
    std::vector<double> observed, calculated, misfits;
    FShownData.clear();
    FShownChargeability = chargeability;
    for (size_t i = 0; i < all.size(); ++i) {
        if (chargeability) {
            // Only the data with a measured chargeability.
            const double difference = FMisfit->ChargeabilityDifferences.at(i);
            if (!std::isfinite(difference))
                continue;
            observed.push_back(measured.Chargeabilities.at(i));
            calculated.push_back(result.Chargeabilities.empty() ? 0.0 : result.Chargeabilities.at(i));
            misfits.push_back(difference);
        } else {
            observed.push_back(FMisfit->Measured.at(i)); // as compared: with the computation's k
            calculated.push_back(result.Resistivities.at(i));
            misfits.push_back(FMisfit->Misfits.at(i));
        }
        points.push_back(all[i]);
        FShownData.push_back(i);
    }
    FShownPoints = points;
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

// --- Hover --------------------------------------------------------------------------------

QString TForwardResponseWindow::DatumAt(const TChartParts& Parts, int X, int Y) const
{
    const TPseudoSection2d& chart = *Parts.Chart;
    if (!FResult || Parts.Host->isHidden() || FShownPoints.size() != FShownData.size())
        return QString();
    // The nearest point within a few pixels, as the user aims at a dot.
    const int reach = 6;
    long best = static_cast<long>(reach) * reach + 1;
    std::optional<size_t> nearest;
    for (size_t p = 0; p < FShownPoints.size(); ++p) {
        const long dx = chart.BottomAxis()->CalcPosValue(FShownPoints[p].X) - X;
        const long dy = chart.LeftAxis()->CalcPosValue(PlottedVertical(chart, p, FShownPoints[p].Depth)) - Y;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = FShownData[p];
        }
    }
    return nearest ? DatumText(*nearest) : QString();
}

namespace {

QString Number(double Value)
{
    return QString::number(Value, 'g', 4);
}

} // namespace

// "Datum 12, a b m n 3 4 6 7: measured 118.2, calculated 104.9 ohm-m, misfit
// -11.25 %, error 3 %", the electrodes numbered from 1 (0 absent).
QString TForwardResponseWindow::DatumText(size_t Datum) const
{
    const TForwardResult& result = *FResult;
    const TConfiguration& c = result.Survey.Configurations.at(Datum);
    // Numbered as in the file, whatever is removed.
    const size_t number = Datum < FShownFileIndexes.size() ? FShownFileIndexes[Datum] : Datum;
    QString text = QStringLiteral("Datum %1, a b m n %2 %3 %4 %5: ")
                       .arg(number + 1)
                       .arg(c.a + 1)
                       .arg(c.b + 1)
                       .arg(c.m + 1)
                       .arg(c.n + 1);
    const bool compared = FShownMeasured && FMisfit;
    // Without a polarizable region the calculated chargeability is 0.
    const auto chargeability = [&](const std::vector<double>& Values) {
        return (Values.empty() ? Number(0.0) : Number(Values.at(Datum))) + QStringLiteral(" %");
    };
    if (!compared) {
        text += QStringLiteral("ρa %1 ohm-m").arg(Number(result.Resistivities.at(Datum)));
        if (!result.Chargeabilities.empty())
            text += QStringLiteral(", ηa %1").arg(chargeability(result.Chargeabilities));
        return text;
    }
    const TMeasuredData& measured = *FShownMeasured;
    if (FShownChargeability)
        return text + QStringLiteral("measured ηa %1, calculated %2, difference %3 %")
                          .arg(chargeability(measured.Chargeabilities), chargeability(result.Chargeabilities),
                               Number(FMisfit->ChargeabilityDifferences.at(Datum)));
    return text + QStringLiteral("measured %1, calculated %2 ohm-m, misfit %3 %, error %4 %")
                      .arg(Number(FMisfit->Measured.at(Datum)), Number(result.Resistivities.at(Datum)),
                           Number(FMisfit->Misfits.at(Datum)), Number(100.0 * FMisfit->Errors.at(Datum)));
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
    if (FResult && !FRun.Stale())
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
    if (FollowBox->isChecked() && !FResult && !FRun.Busy() && FError.isEmpty())
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
    if (const QString refusal = RefusedTarget(FileName, false); !refusal.isEmpty()) {
        Error = refusal;
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
    AskSaveResult(*this, QStringLiteral("SaveDataDialog"), QStringLiteral("Save data"),
                  QStringLiteral("Unified data file (*.dat)|*.dat|Table (*.csv)|*.csv"), QStringLiteral("dat"),
                  [this](const QString& FileName, QString& Error) { return SaveData(FileName, Error); },
                  [this](const QString& FileName) { return RefusedTarget(FileName, false); });
}

QString TForwardResponseWindow::RefusedTarget(const QString& FileName, bool MeasuredToo) const
{
    if (MeasuredToo && SameFile(FileName, FMeasuredFile))
        return QStringLiteral("it is the measured data file; name another file.");
    if (SectionFile && SameFile(FileName, SectionFile()))
        return QStringLiteral("it is the section file the editor has open; name another file.");
    return QString();
}

// The chart a command acts on: with more than one chart shown, the user
// chooses.
TPseudoSection2d* TForwardResponseWindow::ChosenChart()
{
    std::vector<TCustomChart*> shown;
    for (const std::unique_ptr<TChartParts>& parts : FCharts)
        if (!parts->Host->isHidden())
            shown.push_back(parts->Chart);
    if (shown.empty())
        return ResistivityChart;
    return static_cast<TPseudoSection2d*>(ChooseChart(*this, shown));
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
    ExportChartPicture(*this, *chart);
}

// --- Measured data -------------------------------------------------------------------------

QString MeasuredDataFilter()
{
    return QString::fromStdString(MeasuredFormatFilter());
}

std::shared_ptr<const TMeasuredData> ReadMeasuredDataFile(const QString& FileName, QString& Error)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = file.errorString();
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    auto data = std::make_shared<TMeasuredData>();
    try {
        *data = ReadMeasuredData(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), std::nullopt,
                                 QFileInfo(FileName).suffix().toStdString());
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return nullptr;
    }
    TDataRemovals removals(data);
    if (removals.Kept()->Size() == 0) {
        const size_t unusable = removals.UnusableCount();
        QStringList why;
        if (data->Skipped.Total() > 0)
            why << QStringLiteral("%1 skipped: %2")
                       .arg(data->Skipped.Total())
                       .arg(QString::fromStdString(data->Skipped.Text()));
        if (unusable > 0)
            why << QStringLiteral("%1 with an apparent resistivity of 0 or below").arg(unusable);
        Error = QStringLiteral("The file holds no datum that can be used") +
                (why.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(why.join(QStringLiteral("; "))));
        for (const std::string& warning : data->Warnings)
            Error += QLatin1Char(' ') + QString::fromStdString(warning);
        return nullptr;
    }
    return data;
}

bool TForwardResponseWindow::OpenMeasuredData(const QString& FileName, QString& Error)
{
    std::shared_ptr<const TMeasuredData> data = ReadMeasuredDataFile(FileName, Error);
    if (!data)
        return false;
    UseMeasuredData(std::move(data), FileName);
    return true;
}

void TForwardResponseWindow::UseMeasuredData(std::shared_ptr<const TMeasuredData> Data, const QString& FileName,
                                             const QString& Name)
{
    if (!Data)
        return;
    const QFileInfo info(FileName);
    QString checksum;
    if (QFile file(FileName); !FileName.isEmpty() && file.open(QIODevice::ReadOnly))
        checksum = FileChecksum(file.readAll());
    // A file opened before (unchanged): the data the user removed from it
    // stay removed.
    FRemovals = TDataRemovals(Data);
    FFileChecksum = checksum;
    const bool restored = RestoreRemovedSet();
    FMeasured = FRemovals.Kept();
    FSelected.assign(FRemovals.Size(), false);
    FFilePoints = PseudoSectionPoints(Data->Survey());
    FMeasuredName = Name.isEmpty() ? info.fileName() : Name;
    FMeasuredFile = FileName.isEmpty() ? QString() : info.absoluteFilePath();
    if (!FileName.isEmpty())
        FMeasuredFolder = info.absolutePath();
    SaveSettings();
    ShowMeasuredSurvey();
    ModelChanged();
    if (restored) {
        FDataSaid = QStringLiteral("The data removed from this file before are removed again (Undo restores them).");
        ShowState();
    }
    if (OnMeasuredDataChanged)
        OnMeasuredDataChanged();
}

bool TForwardResponseWindow::AskOpenMeasuredData(QWidget* Owner)
{
    TOpenDialogRequest request;
    request.Owner = Owner;
    request.Name = QStringLiteral("MeasuredDataDialog");
    request.Title = QStringLiteral("Measured data");
    request.FileName = FMeasuredFolder; // the dialog starts where the last file was
    request.Filter = MeasuredDataFilter();
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
    FRemovals = TDataRemovals();
    FSelected.clear();
    FFilePoints.clear();
    FFileChecksum.clear();
    FMeasuredName.clear();
    FMeasuredFile.clear();
    SaveSettings();
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
    FErrorFields->setVisible(measured);
    DataPanel->setVisible(measured);
    if (!measured)
        return;
    QString text = QStringLiteral("Survey of %1: %2, %3")
                       .arg(FMeasuredName, ElectrodeCount(static_cast<long long>(FMeasured->Electrodes.size())),
                            DatumCount(static_cast<long long>(FRemovals.Size()))); // the file's, kept or not
    if (FMeasured->Skipped.Total() > 0)
        text += QStringLiteral(" (%1 skipped)").arg(FMeasured->Skipped.Total());
    text += QStringLiteral(".");
    for (const std::string& warning : FMeasured->Warnings)
        text += QLatin1Char(' ') + QString::fromStdString(warning);
    MeasuredLabel->setText(text);
}

} // namespace lp
