#include "section/modelling/RegionFitDialog.h"

#include "section/editor/PolygonChart.h"
#include "section/forward/ForwardModel.h"
#include "section/modelling/FittedRegions.h"
#include "section/modelling/ModellingWindowCommands.h"

#include <QtGui/QAction>
#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace lp {

namespace {

const QString HostName = QStringLiteral("Host medium");
const QString Uncertain = QStringLiteral("\u00d7/\u00f7");

QString StepText(const TRegionFitStep& Step)
{
    const QString what = Step.Iteration == 0 ? QStringLiteral("start") : QStringLiteral("iteration %1").arg(Step.Iteration);
    return QStringLiteral("%1: \u03c7\u00b2 %2, rrms %3 %")
        .arg(what, ChiSquareText(Step.ChiSquare), RrmsText(Step.Rrms));
}

QString StateWord(TRegionFitState State)
{
    return State == TRegionFitState::NotDetermined ? QStringLiteral("not determined") : QStringLiteral("fixed");
}

QTableWidgetItem* Cell(const QString& Text, bool Number = true)
{
    auto* item = new QTableWidgetItem(Text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (Number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

// What a fit works on, copied on the user-interface thread.
struct TRegionFitDialog::TJob {
    std::function<void()> OnStart;
    AllSpolygon Model;
    Tnodes Nodes;
    TModelArea Area{};
    TInput Input;
};

// What a fit delivers: the result and the regions it belongs to.
struct TRegionFitDialog::TOutcome {
    std::shared_ptr<const TRegionFitResult> Result;
    std::shared_ptr<const TForwardModel> Ground;
    std::vector<TRegionFitSetting> Settings; // the regions' free or fixed and bounds, as fitted
};

TRegionFitDialog::TRegionFitDialog(TPolygonChart& Section, QWidget* Parent) : QDialog(Parent), FSection(Section)
{
    setObjectName(QStringLiteral("RegionFit"));
    setWindowTitle(QStringLiteral("Fit regions"));
    auto* layout = new QVBoxLayout(this);
    StateLabel = new QLabel(this);
    StateLabel->setObjectName(QStringLiteral("FitStateLabel"));
    StateLabel->setWordWrap(true);
    StateLabel->setMinimumHeight(2 * StateLabel->fontMetrics().lineSpacing());
    StateLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(StateLabel);
    AddProgressRow(*this, *layout, QStringLiteral("Fit"), Progress, CancelButton);
    auto* iterationsTitle = new QLabel(QStringLiteral("&Iterations:"), this);
    IterationList = new QListWidget(this);
    IterationList->setObjectName(QStringLiteral("IterationList"));
    IterationList->setMaximumHeight(6 * IterationList->fontMetrics().lineSpacing() + 8);
    iterationsTitle->setBuddy(IterationList);
    layout->addWidget(iterationsTitle);
    layout->addWidget(IterationList);
    auto* regionsTitle = new QLabel(QStringLiteral("&Regions:"), this);
    ResultTable = new QTableWidget(this);
    ResultTable->setObjectName(QStringLiteral("ResultTable"));
    ResultTable->verticalHeader()->hide();
    ResultTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    ResultTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Nothing to type in it: Tab goes on to the buttons.
    ResultTable->setTabKeyNavigation(false);
    ResultTable->horizontalHeader()->setStretchLastSection(true);
    regionsTitle->setBuddy(ResultTable);
    layout->addWidget(regionsTitle);
    layout->addWidget(ResultTable, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    ApplyButton = new QPushButton(QStringLiteral("&Apply"), this);
    ApplyButton->setObjectName(QStringLiteral("ApplyButton"));
    ApplyButton->setToolTip(QStringLiteral("Writes the fitted values into the section (one step of Undo)."));
    DiscardButton = new QPushButton(QStringLiteral("&Discard"), this);
    DiscardButton->setObjectName(QStringLiteral("DiscardButton"));
    DiscardButton->setToolTip(QStringLiteral("Closes the fit; the section stays as it is."));
    // Enter in the table does not apply: Apply is always a deliberate press.
    ApplyButton->setAutoDefault(false);
    DiscardButton->setAutoDefault(false);
    buttons->addWidget(ApplyButton);
    buttons->addWidget(DiscardButton);
    layout->addLayout(buttons);
    setTabOrder(IterationList, ResultTable);
    setTabOrder(ResultTable, ApplyButton);
    setTabOrder(ApplyButton, DiscardButton);
    setTabOrder(DiscardButton, CancelButton);

    FRun.ShowProgressIn(Progress, CancelButton);
    FRun.OnIntermediate = [this](const std::any& Value) {
        if (const auto* step = std::any_cast<TRegionFitStep>(&Value))
            ShowStep(*step);
    };
    FRun.OnEnd = [this](const TRunEnd& End) { RunEnded(End); };
    // The section's undo from here too: Apply's result is often taken
    // back while this dialog has the keyboard.
    auto* undo = new QAction(QStringLiteral("Undo"), this);
    undo->setShortcut(QKeySequence::Undo);
    connect(undo, &QAction::triggered, this, [this] {
        if (OnUndo)
            OnUndo();
    });
    addAction(undo);
    connect(ApplyButton, &QPushButton::clicked, this, [this] { Apply(); });
    connect(DiscardButton, &QPushButton::clicked, this, [this] { Discard(); });
    resize(560, 440);
    ShowState();
}

// A fit under way is cancelled by FRun's end and goes on without the dialog.
TRegionFitDialog::~TRegionFitDialog() = default;

bool TRegionFitDialog::Start(const TInput& Input)
{
    FResult.reset();
    FGround.reset();
    FSettings.clear();
    FError.clear();
    FCancelled = false;
    FApplied = false;
    IterationList->clear();
    ShowResult();
    if (!Input.Measured) {
        FRun.Drop();
        FError = QStringLiteral("A fit needs measured data: Modelling > Measured data... opens them.");
        ShowState();
        return false;
    }
    auto job = std::make_shared<TJob>();
    job->Model = CopyAllSpolygon(FSection.Model);
    job->Nodes = CopyNodes(FSection.Nodes);
    job->Area = FSection.ModelArea;
    job->Input = Input;
    job->OnStart = OnRunStart;
    FRun.ProgressDelay = ProgressDelay;
    const bool started = FRun.Start([job](TRunControl& Control) { return std::any(Run(*job, Control)); });
    if (!started)
        FError = QStringLiteral("The fit could not be started: no thread could be had.");
    ShowState();
    return started;
}

// On the run's own thread: it holds the job, never the dialog.
TRegionFitDialog::TOutcome TRegionFitDialog::Run(const TJob& Job, TRunControl& Control)
{
    if (Job.OnStart)
        Job.OnStart();
    TOutcome outcome;
    // A fit made obsolete while it waited does not begin.
    if (Control.Cancelled())
        return outcome;
    auto ground = std::make_shared<TForwardModel>(PrepareForwardModel(Job.Model, Job.Nodes, Job.Area, Job.Input.Host));
    const std::vector<TRegionFitSetting> settings = SectionFitSettings(*ground, Job.Model);
    TRegionFitOptions options;
    options.Errors = Job.Input.Errors;
    // Every core the process may run on, at the run's lowered priority.
    options.Forward.Threads = 0;
    outcome.Result = std::make_shared<const TRegionFitResult>(FitRegions(
        *ground, *Job.Input.Measured, settings, options, [&Control](double Fraction) { return Control.Progress(Fraction); },
        [&Control](const TRegionFitStep& Step) { Control.Post(Step); }));
    outcome.Ground = std::move(ground);
    outcome.Settings = settings;
    return outcome;
}

void TRegionFitDialog::Cancel()
{
    FRun.Cancel();
}

void TRegionFitDialog::SectionChanged()
{
    if (FApplied)
        return;
    FRun.InputChanged();
    ShowState();
}

bool TRegionFitDialog::CanApply() const
{
    return FResult && FGround && !FApplied && !FRun.Busy() && !FRun.Stale();
}

bool TRegionFitDialog::Apply()
{
    if (!CanApply())
        return false;
    const TRegionFitResult result = *FResult;
    const std::shared_ptr<const TForwardModel> ground = FGround;
    // Marked first: the change below tells the owner, who tells this dialog.
    FApplied = true;
    bool changed = false;
    try {
        changed = FSection.ChangeFromOutside([&] { return WriteFittedValues(result, *ground, FSection.Model); });
    } catch (const std::exception& Refusal) {
        FApplied = false;
        FError = QString::fromUtf8(Refusal.what());
    }
    ShowState();
    if (OnStateChanged)
        OnStateChanged();
    if (changed && OnApplied)
        OnApplied();
    return changed;
}

void TRegionFitDialog::Discard()
{
    // A fit under way is of no more use: it stops, nothing of it arrives,
    // and the owner may start the next one at once.
    const bool running = FRun.Busy();
    if (running) {
        FRun.Drop();
        FCancelled = true;
        ShowState();
    }
    QDialog::reject();
    if (running && OnStateChanged)
        OnStateChanged();
}

// The close box and Discard.
void TRegionFitDialog::reject()
{
    Discard();
}

// Escape during a fit only cancels it; the dialog stays with its state.
void TRegionFitDialog::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape && Event->modifiers() == Qt::NoModifier && FRun.Busy()) {
        Cancel();
        Event->accept();
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TRegionFitDialog::ShowStep(const TRegionFitStep& Step)
{
    IterationList->addItem(StepText(Step));
    IterationList->scrollToBottom();
    ShowState();
}

void TRegionFitDialog::RunEnded(const TRunEnd& End)
{
    FCancelled = End.Kind == TRunEnd::Cancelled;
    if (End.Kind == TRunEnd::Failed)
        FError = End.Error;
    const TOutcome* outcome = End.Kind == TRunEnd::Done ? std::any_cast<TOutcome>(&End.Result) : nullptr;
    if (outcome && outcome->Result) {
        FResult = *outcome->Result;
        FGround = outcome->Ground;
        FSettings = outcome->Settings;
    }
    ShowResult();
    ShowState();
    if (OnStateChanged)
        OnStateChanged();
}

void TRegionFitDialog::ShowResult()
{
    ResultTable->clear();
    if (!FResult || !FGround) {
        ResultTable->setRowCount(0);
        ResultTable->setColumnCount(0);
        return;
    }
    const TRegionFitResult& fit = *FResult;
    QStringList headers{QStringLiteral("Region"), QStringLiteral("Start (ohm-m)"), QStringLiteral("Fitted (ohm-m)"),
                        QStringLiteral("Uncertainty")};
    if (fit.PolarizabilityFitted)
        headers << QStringLiteral("Start \u03b7 (%)") << QStringLiteral("Fitted \u03b7 (%)");
    ResultTable->setColumnCount(static_cast<int>(headers.size()));
    ResultTable->setHorizontalHeaderLabels(headers);
    ResultTable->setRowCount(static_cast<int>(fit.Regions.size()));
    for (size_t r = 0; r < fit.Regions.size(); ++r) {
        const TFittedRegion& region = fit.Regions[r];
        const int row = static_cast<int>(r);
        const bool fitted = region.State == TRegionFitState::Fitted;
        ResultTable->setItem(row, 0, Cell(FitRegionName(*FGround, r, HostName), false));
        ResultTable->setItem(row, 1, Cell(FittedResistivityText(region.StartResistivity)));
        ResultTable->setItem(row, 2, Cell(fitted ? FittedResistivityText(region.Resistivity) : QString()));
        const QString uncertainty = !fitted ? StateWord(region.State)
                                    : r < FSettings.size() ? FittedUncertaintyText(region, FSettings[r], Uncertain)
                                                           : UncertaintyFactorText(region.Factor, Uncertain);
        ResultTable->setItem(row, 3, Cell(uncertainty));
        if (!fit.PolarizabilityFitted)
            continue;
        const bool polarizable = region.PolarizabilityState == TRegionFitState::Fitted;
        ResultTable->setItem(row, 4, Cell(FittedPolarizabilityText(region.StartPolarizability)));
        ResultTable->setItem(row, 5, Cell(polarizable ? FittedPolarizabilityText(region.Polarizability)
                                                      : StateWord(region.PolarizabilityState)));
    }
    // Every column in view: the dialog widens as far as its screen allows.
    // The columns are measured unstretched, then the last fills the view.
    ResultTable->horizontalHeader()->setStretchLastSection(false);
    ResultTable->resizeColumnsToContents();
    const int wanted = ResultTable->horizontalHeader()->length() + 2 * ResultTable->frameWidth() +
                       ResultTable->verticalScrollBar()->sizeHint().width();
    ResultTable->horizontalHeader()->setStretchLastSection(true);
    const int room = screen() ? screen()->availableGeometry().width() - 40 : wanted;
    if (ResultTable->width() < wanted)
        resize(std::min(width() + wanted - ResultTable->width(), std::max(room, width())), height());
}

void TRegionFitDialog::ShowState()
{
    QString text;
    QString style;
    if (FRun.Busy()) {
        text = FRun.Stale() && FRun.HasResult() ? QStringLiteral("Fitting… (the section has changed since it began)")
                                                 : QStringLiteral("Fitting…");
        if (IterationList->count() > 0)
            text = QStringLiteral("Fitting… ") + IterationList->item(IterationList->count() - 1)->text();
    } else if (!FError.isEmpty()) {
        text = FError + QStringLiteral("\nNothing to apply.");
        style = QStringLiteral("color: #b00000;");
    } else if (FCancelled) {
        text = QStringLiteral("Cancelled: nothing to apply.");
    } else if (FApplied) {
        text = QStringLiteral("Applied: the section holds the fitted values (Ctrl+Z in the editor gives the drawn "
                              "ones back).");
    } else if (FResult && FRun.Stale()) {
        text = QStringLiteral("The section has changed since this fit began: the values no longer describe it. "
                              "Fit again to apply.");
        style = QStringLiteral("color: #b00000;");
    } else if (FResult && !FResult->Steps.empty()) {
        // The iterations run; the χ² of the values returned (the lowest passed).
        const TRegionFitStep& last = FResult->Steps.back();
        text = QStringLiteral("Fitted in %1: \u03c7\u00b2 %2, rrms %3 %. %4 Apply writes the values into the section.")
                   .arg(IterationCount(last.Iteration), ChiSquareText(FResult->Fitted.ChiSquare),
                        RrmsText(FResult->Fitted.Rrms), QString::fromStdString(FResult->Stop));
    }
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
    ApplyButton->setEnabled(CanApply());
}

} // namespace lp
