#include "section/modelling/TimeLapseWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "platform/core/SafeSave.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Registry.h"
#include "section/inversion/Inversion.h"
#include "section/inversion/InversionChartData.h"
#include "section/inversion/TimeLapseReport.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/InversionCharts.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/InversionWindow.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/modelling/RunOptionFields.h"
#include "section/views/Section2D.h"

#include <QtCore/QDateTime>
#include <QtCore/QFileInfo>
#include <QtGui/QScreen>
#include <QtWidgets/QDoubleSpinBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSlider>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <array>
#include <cmath>

namespace lp {

namespace {

// The diverging palette of the change: red for a rise, white at 0, blue
// for a fall (a conductive change is blue, as low resistivities are);
// index 0 is the scale's top, as the chart reads its palette.
void UseDivergingPalette(TTModelSection2d& Chart)
{
    const int n = Chart.Palette.Length();
    for (int i = 0; i < n; ++i) {
        const double t = n > 1 ? 1.0 - 2.0 * i / (n - 1) : 0.0; // +1 top .. -1 bottom
        const int fade = static_cast<int>(std::lround(255 * (1.0 - std::fabs(t))));
        // TColor is 0x00BBGGRR.
        Chart.Palette[i] = t >= 0.0 ? static_cast<TColor>(0xFF | (fade << 8) | (fade << 16))
                                    : static_cast<TColor>(fade | (fade << 8) | (0xFF << 16));
    }
}

// Where the window keeps what is its own: the change error (the single
// inversion's options it starts from are the Invert window's).
const QString TimeLapseSettingsKey = QStringLiteral("Software\\Lithoprism\\TimeLapse");
const QString ChangeErrorValue = QStringLiteral("ChangeError");

// The change error kept, in per cent; 0 ("derived") when none is kept or
// the kept text is no number within Most.
double KeptChangeError(double Most)
{
    try {
        TRegistry registry;
        if (!registry.OpenKeyReadOnly(TimeLapseSettingsKey) || !registry.ValueExists(ChangeErrorValue))
            return 0.0;
        bool ok = false;
        const double percent = registry.ReadString(ChangeErrorValue).toDouble(&ok);
        return ok && std::isfinite(percent) && percent > 0.0 && percent <= Most ? percent : 0.0;
    } catch (const std::exception&) {
        return 0.0; // unreadable settings: derived
    }
}

void KeepChangeError(double Percent)
{
    try {
        TRegistry registry;
        if (registry.OpenKey(TimeLapseSettingsKey, true))
            registry.WriteString(ChangeErrorValue, QString::number(Percent, 'g', 17));
    } catch (const std::exception&) {
        // Not kept: the field still holds it for this session.
    }
}

// The file name of step K's table of Prefix, as the command line names it.
QString StepTableName(const QString& Prefix, int K)
{
    return QStringLiteral("%1-%2.csv").arg(Prefix).arg(K);
}

} // namespace

// The series' steps as InvertTimeLapse returned them (those finished
// when it was stopped), after every TStepDone of its run.
struct TTimeLapseWindow::TSeriesDone {
    std::vector<TTimeLapseStep> Steps;
};

// A finished step as it reaches the window: 0 the baseline (with the mesh
// and the common data), K the K-th later survey.
struct TTimeLapseWindow::TStepDone {
    int Step = 0;
    TSurveyInversion Inversion;
    std::shared_ptr<const TInversionMesh> Mesh;
    std::shared_ptr<const TMeasuredData> Baseline;
    QStringList LeftOut;
};

TTimeLapseWindow::TTimeLapseWindow(QWidget* Parent) : QWidget(Parent, Qt::Window)
{
    setObjectName(QStringLiteral("TimeLapse"));
    setWindowTitle(QStringLiteral("Time-lapse"));
    CreatePanel();
    QSize size(900, 640);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    ShowSurveys();
    ShowState();
    EnableCommands();
}

TTimeLapseWindow::~TTimeLapseWindow()
{
    FRun.Drop();
    // The charts go first, while their windows (inside ours) still stand.
    delete ImageChart;
    delete TimeChart;
}

void TTimeLapseWindow::CreatePanel()
{
    // Laid out to fit a screen of 800 x 600: the list and the run on the
    // left, the image and the cell's chart on the right.
    auto* outer = new QHBoxLayout(this);
    auto* panel = new QVBoxLayout;
    auto* surveysLabel = new QLabel(QStringLiteral("Survey &list, in time order (type a date to label one):"), this);
    surveysLabel->setWordWrap(true);
    SurveyTable = new QTableWidget(0, 2, this);
    SurveyTable->setObjectName(QStringLiteral("SurveyTable"));
    SurveyTable->setHorizontalHeaderLabels({QStringLiteral("File"), QStringLiteral("Date")});
    SurveyTable->verticalHeader()->hide();
    SurveyTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    SurveyTable->setSelectionMode(QAbstractItemView::SingleSelection);
    SurveyTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    SurveyTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    SurveyTable->setTabKeyNavigation(false);
    // The header and three rows whatever the state line below says.
    SurveyTable->setMinimumHeight(SurveyTable->horizontalHeader()->sizeHint().height() +
                                  3 * SurveyTable->verticalHeader()->defaultSectionSize() + 4);
    surveysLabel->setBuddy(SurveyTable);
    panel->addWidget(surveysLabel);
    panel->addWidget(SurveyTable, 1);
    auto* listRow = new QGridLayout;
    AddButton = new QPushButton(QStringLiteral("&Add..."), this);
    RemoveButton = new QPushButton(QStringLiteral("&Remove"), this);
    UpButton = new QPushButton(QStringLiteral("U&p"), this);
    DownButton = new QPushButton(QStringLiteral("Do&wn"), this);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    RemoveButton->setObjectName(QStringLiteral("RemoveButton"));
    UpButton->setObjectName(QStringLiteral("UpButton"));
    DownButton->setObjectName(QStringLiteral("DownButton"));
    listRow->addWidget(AddButton, 0, 0);
    listRow->addWidget(RemoveButton, 0, 1);
    listRow->addWidget(UpButton, 1, 0);
    listRow->addWidget(DownButton, 1, 1);
    panel->addLayout(listRow);

    auto* form = new QGridLayout;
    // The single inversion window's kept options are where a series starts.
    const TRunOptionFields fields = AddRunOptionFields(*this, *form);
    ErrorEdit = fields.Error;
    LambdaEdit = fields.Lambda;
    IterationsBox = fields.Iterations;
    // 0 is "derived": each datum's change error from its two readings'.
    ChangeErrorBox = new QDoubleSpinBox(this);
    ChangeErrorBox->setObjectName(QStringLiteral("ChangeErrorBox"));
    ChangeErrorBox->setRange(0.0, 50.0);
    ChangeErrorBox->setDecimals(1);
    ChangeErrorBox->setSingleStep(0.5);
    ChangeErrorBox->setSpecialValueText(QStringLiteral("derived"));
    ChangeErrorBox->setValue(KeptChangeError(ChangeErrorBox->maximum()));
    ChangeErrorBox->setToolTip(QStringLiteral("The relative error of a datum's change between two surveys; "
                                              "derived: from the two surveys' errors"));
    // A row of its own: its label is the longest.
    auto* changeLabel = new QLabel(QStringLiteral("Chan&ge error (%):"), this);
    changeLabel->setBuddy(ChangeErrorBox);
    form->addWidget(changeLabel, 2, 0, 1, 3);
    form->addWidget(ChangeErrorBox, 2, 3);
    panel->addLayout(form);

    InvertButton = new QPushButton(QStringLiteral("&Invert all"), this);
    InvertButton->setObjectName(QStringLiteral("InvertButton"));
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(InvertButton);
    panel->addLayout(runRow);
    AddProgressRow(*this, *panel, QString(), Progress, StopButton);
    StopButton->setText(QStringLiteral("&Stop"));
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StopButton->setToolTip(QStringLiteral("Stops the run: the steps finished stay"));
    StateLabel = new QLabel(this);
    StateLabel->setObjectName(QStringLiteral("StateLabel"));
    StateLabel->setWordWrap(true);
    StateLabel->setMinimumWidth(200);
    panel->addWidget(StateLabel);
    MisfitTable = new QTableWidget(0, 4, this);
    MisfitTable->setObjectName(QStringLiteral("MisfitTable"));
    MisfitTable->setHorizontalHeaderLabels(
        {QStringLiteral("Survey"), QStringLiteral("χ²"), QStringLiteral("rrms %"), QStringLiteral("Changed %")});
    MisfitTable->horizontalHeaderItem(1)->setToolTip(QStringLiteral("A later survey's: the χ² of its change"));
    MisfitTable->horizontalHeaderItem(3)->setToolTip(
        QStringLiteral("The share of the well-covered cells (the best-covered %1 %) changed beyond ±%2 %")
            .arg(100.0 * WellCoveredShare)
            .arg(ChangedLimit));
    MisfitTable->verticalHeader()->hide();
    MisfitTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MisfitTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The survey's number and the changed share as wide as they need.
    MisfitTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    MisfitTable->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    MisfitTable->setTabKeyNavigation(false);
    panel->addWidget(MisfitTable, 1);
    auto* panelHost = new QWidget(this);
    panelHost->setLayout(panel);
    panelHost->setMaximumWidth(300);
    outer->addWidget(panelHost);

    auto* charts = new QVBoxLayout;
    auto* stepRow = new QHBoxLayout;
    PreviousButton = new QPushButton(QStringLiteral("Pre&vious"), this);
    PreviousButton->setObjectName(QStringLiteral("PreviousButton"));
    NextButton = new QPushButton(QStringLiteral("&Next"), this);
    NextButton->setObjectName(QStringLiteral("NextButton"));
    StepSlider = new QSlider(Qt::Horizontal, this);
    StepSlider->setObjectName(QStringLiteral("StepSlider"));
    StepSlider->setRange(0, 0);
    StepSlider->setPageStep(1);
    StepSlider->setTickPosition(QSlider::TicksBelow);
    StepLabel = new QLabel(this);
    StepLabel->setObjectName(QStringLiteral("StepLabel"));
    StepLabel->setMinimumWidth(120);
    stepRow->addWidget(PreviousButton);
    stepRow->addWidget(StepSlider, 1);
    stepRow->addWidget(NextButton);
    stepRow->addWidget(StepLabel);
    charts->addLayout(stepRow);
    ImageChart = new TTModelSection2d();
    PrepareInversionChart(*ImageChart, QStringLiteral("Baseline resistivity (ohm-m); click a cell"),
                          QStringLiteral("ohm-m"));
    ImageChart->ShowMesh = false;
    ImageChart->ReadOnly = true;
    for (int i = 0; i < ImageChart->Palette.Length(); ++i)
        FPalette.push_back(static_cast<unsigned>(ImageChart->Palette[i]));
    // A left click on a cell plots it against time.
    ImageChart->OnMouseDown = [this](TControl*, TMouseButton Button, TShiftState Shift, int X, int Y) {
        if (Button != mbLeft || FMesh.Cells() == 0 || ImageChart->LastCol < 0)
            return;
        ImageChart->MeshMouseMove(Shift, X, Y);
        int c = 0, r = 0;
        if (ImageChart->CellAt(ImageChart->PointerX, ImageChart->PointerZ, c, r))
            PlotCell(r * FMesh.Columns() + c);
    };
    QWidget* imageHost = ImageChart->Widget(this);
    imageHost->setObjectName(QStringLiteral("ImageChartHost"));
    imageHost->setMinimumSize(360, 180);
    imageHost->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    charts->addWidget(imageHost, 3);
    ChangeLabel = new QLabel(this);
    ChangeLabel->setObjectName(QStringLiteral("ChangeLabel"));
    ChangeLabel->setWordWrap(true);
    charts->addWidget(ChangeLabel);
    TimeChart = new TChart;
    TimeChart->SetView3D(false);
    TimeChart->Legend()->SetVisible(false);
    TimeChart->Title()->Text()->Add(QStringLiteral("Click a cell of the image"));
    TimeChart->BottomAxis()->Title()->SetCaption(QStringLiteral("Survey (0 the baseline)"));
    TimeSeries = new TLineSeries(TimeChart);
    TimeSeries->SetParentChart(TimeChart);
    TimeSeries->Marks()->SetVisible(false);
    TimeSeries->Pointer()->SetVisible(true);
    TimeSeries->SetSeriesColor(0xB06020);
    UncertaintySeries = new TLineSeries(TimeChart);
    UncertaintySeries->SetParentChart(TimeChart);
    UncertaintySeries->Marks()->SetVisible(false);
    UncertaintySeries->Pointer()->SetVisible(false);
    UncertaintySeries->SetSeriesColor(0x3090E0); // orange beside the blue curve (TColor is 0x00BBGGRR)
    // The bars' runs go back and forth in x.
    UncertaintySeries->XValues()->SetOrder(loNone);
    QWidget* timeHost = TimeChart->Widget(this);
    timeHost->setObjectName(QStringLiteral("TimeChartHost"));
    timeHost->setMinimumSize(360, 120);
    charts->addWidget(timeHost, 2);
    UncertaintyLabel = new QLabel(this);
    UncertaintyLabel->setObjectName(QStringLiteral("UncertaintyLabel"));
    UncertaintyLabel->setWordWrap(true);
    charts->addWidget(UncertaintyLabel);
    auto* resultRow = new QHBoxLayout;
    SaveImagesButton = new QPushButton(QStringLiteral("Save i&mages..."), this);
    SaveImagesButton->setObjectName(QStringLiteral("SaveImagesButton"));
    SaveImagesButton->setToolTip(QStringLiteral("One cell table per survey: NAME-0.csv the baseline, NAME-K.csv "
                                                "the K-th later survey with its change"));
    SaveChartButton = new QPushButton(QStringLiteral("Save c&hart..."), this);
    SaveChartButton->setObjectName(QStringLiteral("SaveChartButton"));
    UnderlayButton = new QPushButton(QStringLiteral("Use as &underlay"), this);
    UnderlayButton->setObjectName(QStringLiteral("UnderlayButton"));
    UnderlayButton->setToolTip(QStringLiteral("The image shown laid under the section"));
    resultRow->addWidget(SaveImagesButton);
    resultRow->addWidget(SaveChartButton);
    resultRow->addWidget(UnderlayButton);
    resultRow->addStretch(1);
    charts->addLayout(resultRow);
    outer->addLayout(charts, 1);

    setTabOrder(SurveyTable, AddButton);
    setTabOrder(AddButton, RemoveButton);
    setTabOrder(RemoveButton, UpButton);
    setTabOrder(UpButton, DownButton);
    setTabOrder(DownButton, ErrorEdit);
    setTabOrder(ErrorEdit, LambdaEdit);
    setTabOrder(LambdaEdit, IterationsBox);
    setTabOrder(IterationsBox, ChangeErrorBox);
    setTabOrder(ChangeErrorBox, InvertButton);
    setTabOrder(InvertButton, StopButton);
    setTabOrder(StopButton, MisfitTable);
    setTabOrder(MisfitTable, PreviousButton);
    setTabOrder(PreviousButton, StepSlider);
    setTabOrder(StepSlider, NextButton);
    setTabOrder(NextButton, SaveImagesButton);
    setTabOrder(SaveImagesButton, SaveChartButton);
    setTabOrder(SaveChartButton, UnderlayButton);

    // Escape stops a run under way, else closes the window.
    AddModellingWindowKeys(*this, nullptr, [this] { return FRun.Busy(); }, [this] { Stop(); });
    FRun.ShowProgressIn(Progress, StopButton);
    FRun.OnIntermediate = [this](const std::any& Value) {
        if (const TStepDone* done = std::any_cast<TStepDone>(&Value))
            StepFinished(*done);
        else if (const TSeriesDone* series = std::any_cast<TSeriesDone>(&Value))
            SeriesFinished(series->Steps);
    };
    FRun.OnEnd = [this](const TRunEnd& End) { RunEnded(End); };
    connect(AddButton, &QPushButton::clicked, this, [this] { AskAddSurvey(); });
    connect(RemoveButton, &QPushButton::clicked, this, [this] { RemoveSelectedSurvey(); });
    connect(UpButton, &QPushButton::clicked, this, [this] { MoveSelectedSurvey(-1); });
    connect(DownButton, &QPushButton::clicked, this, [this] { MoveSelectedSurvey(1); });
    connect(SurveyTable, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* Item) {
        const auto row = static_cast<size_t>(Item->row());
        if (Item->column() == 1 && row < FSurveys.size())
            FSurveys[row].Date = Item->text().trimmed();
    });
    connect(SurveyTable, &QTableWidget::itemSelectionChanged, this, [this] { EnableCommands(); });
    connect(InvertButton, &QPushButton::clicked, this, [this] { InvertAll(); });
    connect(ChangeErrorBox, &QDoubleSpinBox::editingFinished, this, [this] { KeepChangeError(ChangeErrorBox->value()); });
    connect(PreviousButton, &QPushButton::clicked, this, [this] { ShowStep(FStep - 1); });
    connect(NextButton, &QPushButton::clicked, this, [this] { ShowStep(FStep + 1); });
    connect(StepSlider, &QSlider::valueChanged, this, [this](int Value) {
        if (Value != FStep)
            ShowStep(Value);
    });
    connect(SaveImagesButton, &QPushButton::clicked, this, [this] { AskSaveImages(); });
    connect(SaveChartButton, &QPushButton::clicked, this, [this] { ExportChartPicture(*this, *TimeChart); });
    connect(UnderlayButton, &QPushButton::clicked, this, [this] {
        if (OnUseAsUnderlay)
            OnUseAsUnderlay();
    });
}

// --- The surveys --------------------------------------------------------------------------

bool TTimeLapseWindow::AddSurvey(const QString& File)
{
    if (Busy())
        return false;
    QString error;
    std::shared_ptr<const TMeasuredData> data = ReadMeasuredDataFile(File, error);
    if (!data) {
        // A reader's message may run to many lines: a message box holds it,
        // where the state line would push the list's rows out of the window.
        MessageDlg(QStringLiteral("%1 cannot be read: %2").arg(QFileInfo(File).fileName(), error),
                   TMsgDlgType::mtError, mbOK);
        return false;
    }
    // The date the instrument gave its data, else the file's last change.
    QString date;
    if (const std::optional<double> measured = SurveyTime(*data)) {
        date = QString::fromStdString(FormatSurveyTime(*measured));
    } else {
        const QDateTime changed = QFileInfo(File).lastModified();
        date = changed.isValid() ? changed.toString(QStringLiteral("yyyy-MM-dd hh:mm")) : QString();
    }
    FSurveys.push_back({File, date, std::move(data)});
    FError.clear();
    DropResult();
    ShowSurveys();
    SurveyTable->selectRow(static_cast<int>(FSurveys.size()) - 1);
    ShowState();
    EnableCommands();
    return true;
}

void TTimeLapseWindow::AskAddSurvey()
{
    TOpenDialogRequest request;
    request.Owner = this;
    request.Name = QStringLiteral("AddSurveyDialog");
    request.Title = QStringLiteral("Add a survey");
    request.Filter = MeasuredDataFilter();
    if (!FSurveys.empty())
        request.FileName = QFileInfo(FSurveys.back().File).absolutePath();
    if (ExecuteOpenDialog(request))
        AddSurvey(request.FileName);
}

bool TTimeLapseWindow::RemoveSelectedSurvey()
{
    const int row = SurveyTable->currentRow();
    if (Busy() || row < 0 || row >= SurveyCount())
        return false;
    FSurveys.erase(FSurveys.begin() + row);
    DropResult();
    ShowSurveys();
    if (!FSurveys.empty())
        SurveyTable->selectRow(std::min(row, SurveyCount() - 1));
    ShowState();
    EnableCommands();
    return true;
}

bool TTimeLapseWindow::MoveSelectedSurvey(int Delta)
{
    const int row = SurveyTable->currentRow();
    const int to = row + Delta;
    if (Busy() || row < 0 || row >= SurveyCount() || to < 0 || to >= SurveyCount())
        return false;
    std::swap(FSurveys.at(static_cast<size_t>(row)), FSurveys.at(static_cast<size_t>(to)));
    DropResult();
    ShowSurveys();
    SurveyTable->selectRow(to);
    ShowState();
    EnableCommands();
    return true;
}

QStringList TTimeLapseWindow::SurveyFiles() const
{
    QStringList files;
    for (const TSurveyEntry& survey : FSurveys)
        files.append(survey.File);
    return files;
}

void TTimeLapseWindow::ShowSurveys()
{
    const QSignalBlocker quiet(SurveyTable);
    SurveyTable->setRowCount(SurveyCount());
    for (int row = 0; row < SurveyCount(); ++row) {
        const TSurveyEntry& survey = FSurveys.at(static_cast<size_t>(row));
        auto* name = new QTableWidgetItem(QFileInfo(survey.File).fileName());
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        name->setToolTip(survey.File);
        SurveyTable->setItem(row, 0, name);
        SurveyTable->setItem(row, 1, new QTableWidgetItem(survey.Date));
    }
}

void TTimeLapseWindow::DropResult()
{
    FResult.reset();
    FMesh = TInversionMesh{};
    FBaselineData.reset();
    FStep = -1;
    FCell = -1;
    FStopped = false;
    MisfitTable->setRowCount(0);
    TimeSeries->Clear();
    UncertaintySeries->Clear();
    ChangeLabel->clear();
    UncertaintyLabel->clear();
    {
        const QSignalBlocker quiet(StepSlider);
        StepSlider->setRange(0, 0);
    }
    StepLabel->clear();
}

// --- Running ------------------------------------------------------------------------------

void TTimeLapseWindow::Refuse(const QString& Reason)
{
    FError = Reason;
    ShowState();
}

std::optional<TSurveyInversionOptions> TTimeLapseWindow::RunOptions()
{
    QString refusal;
    std::optional<TSurveyInversionOptions> options = ReadRunOptions({ErrorEdit, LambdaEdit, IterationsBox}, refusal);
    if (!options) {
        Refuse(refusal);
        return std::nullopt;
    }
    // The text as typed, though the field still has the keyboard.
    ChangeErrorBox->interpretText();
    options->ChangeErrorPercent = ChangeErrorBox->value();
    return options;
}

bool TTimeLapseWindow::InvertAll()
{
    if (Busy())
        return false;
    if (SurveyCount() < 2) {
        Refuse(QStringLiteral("Add two surveys at least (Add...): the first is the baseline."));
        return false;
    }
    const std::optional<TSurveyInversionOptions> read = RunOptions();
    if (!read)
        return false;
    const TSurveyInversionOptions& options = *read;
    KeepChangeError(options.ChangeErrorPercent);
    std::vector<std::shared_ptr<const TMeasuredData>> surveys;
    std::vector<std::string> names;
    for (const TSurveyEntry& survey : FSurveys) {
        surveys.push_back(survey.Data);
        names.push_back(QFileInfo(survey.File).fileName().toStdString());
    }
    const int iterations = options.Settings.Iterations;
    const auto count = static_cast<double>(surveys.size());
    auto onStep = OnStepFinished;
    DropResult();
    FError.clear();
    const bool started = FRun.Start([surveys, names, options, iterations, count, onStep](TRunControl& Control) {
        std::vector<TMeasuredData> all;
        for (const auto& survey : surveys)
            all.push_back(*survey);
        const TCommonData common = CommonData(all, names);
        QStringList leftOut;
        for (size_t s = 0; s < common.LeftOut.size(); ++s)
            if (!common.LeftOut[s].empty())
                leftOut.append(QStringLiteral("%1: %2 left out")
                                   .arg(QString::fromStdString(names.at(s)),
                                        DatumCount(static_cast<long long>(common.LeftOut[s].size()))));
        auto baseline = std::make_shared<const TMeasuredData>(common.Surveys.front());
        auto mesh = std::make_shared<const TInversionMesh>(InversionMeshFor(*baseline, nullptr));
        TSurveyInversionOptions run = options;
        run.Start.assign(static_cast<size_t>(mesh->Cells()), MedianResistivity(*baseline));
        TTimeLapseCallbacks callbacks;
        callbacks.Iteration = [&](int Step, const TInversionStep& Iteration) {
            Control.Progress((Step + (Iteration.Iteration + 1.0) / (iterations + 1)) / count);
        };
        callbacks.Finished = [&](int Step, const TSurveyInversion& Inversion) {
            TStepDone done;
            done.Step = Step;
            done.Inversion = Inversion;
            if (Step == 0) {
                done.Mesh = mesh;
                done.Baseline = baseline;
                done.LeftOut = leftOut;
            }
            Control.Post(std::move(done));
            if (onStep)
                onStep(Step);
        };
        const TTimeLapseInversion series =
            InvertTimeLapse(common, *mesh, run, callbacks, [&Control] { return !Control.Cancelled(); });
        Control.Post(TSeriesDone{series.Steps});
        return std::any(series.Cancelled);
    });
    if (!started) {
        Refuse(QStringLiteral("The inversion could not be started: no thread could be had."));
        return false;
    }
    ShowState();
    EnableCommands();
    return true;
}

void TTimeLapseWindow::Stop()
{
    FRun.Cancel();
}

void TTimeLapseWindow::closeEvent(QCloseEvent* Event)
{
    FRun.Cancel();
    QWidget::closeEvent(Event);
}

void TTimeLapseWindow::StepFinished(const TStepDone& Done)
{
    if (Done.Step == 0) {
        if (!Done.Mesh)
            return;
        FMesh = *Done.Mesh;
        FBaselineData = Done.Baseline;
        FLeftOut = Done.LeftOut;
        FResult = TTimeLapseInversion{};
        FResult->Baseline = Done.Inversion;
    } else {
        if (!FResult || Done.Step != StepsDone() ||
            Done.Inversion.Resistivities.size() != FResult->Baseline.Resistivities.size())
            return;
        FResult->Steps.push_back(FinishedStep(FResult->Baseline, Done.Inversion));
    }
    const int row = MisfitTable->rowCount();
    MisfitTable->insertRow(row);
    ShowMisfitRow(row);
    MisfitTable->scrollToBottom();
    UpdateChangeLimit();
    {
        const QSignalBlocker quiet(StepSlider);
        StepSlider->setRange(0, StepsDone() - 1);
    }
    // The step shown stays; the first image comes as soon as it is there.
    ShowStep(FStep < 0 ? 0 : FStep);
    if (FCell >= 0)
        PlotCell(FCell);
    ShowState();
    EnableCommands();
}

void TTimeLapseWindow::SeriesFinished(const std::vector<TTimeLapseStep>& Steps)
{
    if (!FResult)
        return;
    const size_t count = std::min(Steps.size(), FResult->Steps.size());
    for (size_t k = 0; k < count; ++k) {
        // A step of other cells is no step of this mesh: kept as it was.
        if (Steps[k].ChangePercent.size() != FResult->Steps[k].ChangePercent.size())
            continue;
        FResult->Steps[k] = Steps[k];
        ShowMisfitRow(static_cast<int>(k) + 1);
    }
    UpdateChangeLimit();
    ShowStep(FStep < 0 ? 0 : FStep);
    if (FCell >= 0)
        PlotCell(FCell);
}

void TTimeLapseWindow::ShowResult(const TInversionMesh& Mesh, std::shared_ptr<const TMeasuredData> Baseline,
                                  const TTimeLapseInversion& Result)
{
    FRun.Drop();
    DropResult();
    FError.clear();
    TStepDone done;
    done.Inversion = Result.Baseline;
    done.Mesh = std::make_shared<const TInversionMesh>(Mesh);
    done.Baseline = std::move(Baseline);
    StepFinished(done);
    for (size_t k = 0; k < Result.Steps.size(); ++k) {
        done = TStepDone{};
        done.Step = static_cast<int>(k) + 1;
        done.Inversion = Result.Steps[k].Inversion;
        StepFinished(done);
    }
    SeriesFinished(Result.Steps);
    FStopped = Result.Cancelled;
    ShowState();
    EnableCommands();
}

void TTimeLapseWindow::ShowMisfitRow(int Row)
{
    if (!FResult || Row < 0 || Row >= MisfitTable->rowCount() || Row >= StepsDone())
        return;
    const TTimeLapseStep* step = Row > 0 ? &FResult->Steps.at(static_cast<size_t>(Row - 1)) : nullptr;
    const TSurveyInversion& inversion = step ? step->Inversion : FResult->Baseline;
    const QString none = QStringLiteral("–");
    const TInversionStep* last = inversion.Steps.empty() ? nullptr : &inversion.Steps.back();
    const QStringList cells{QString::number(Row),
                            step ? ShortNumber(step->ChangeChiSquare) : last ? ShortNumber(last->ChiSquare) : none,
                            last ? ShortNumber(last->Rrms) : none, step ? ShortNumber(step->ChangedShare) : none};
    for (int c = 0; c < cells.size(); ++c)
        MisfitTable->setItem(Row, c, new QTableWidgetItem(cells[c]));
}

void TTimeLapseWindow::ShowStepNumbers()
{
    if (!FResult || FStep < 0) {
        ChangeLabel->clear();
        return;
    }
    if (FStep == 0) {
        const std::vector<TInversionStep>& steps = FResult->Baseline.Steps;
        ChangeLabel->setText(steps.empty() ? QString()
                                           : QStringLiteral("The baseline: χ² %1, rrms %2 %.")
                                                 .arg(ShortNumber(steps.back().ChiSquare), ShortNumber(steps.back().Rrms)));
        return;
    }
    const TTimeLapseStep& step = FResult->Steps.at(static_cast<size_t>(FStep - 1));
    ChangeLabel->setText(QStringLiteral("Survey %1: χ² of the change %2; %3 % of the well-covered cells changed "
                                        "beyond ±%4 %.")
                             .arg(FStep)
                             .arg(ShortNumber(step.ChangeChiSquare), ShortNumber(step.ChangedShare),
                                  ShortNumber(ChangedLimit)));
}

void TTimeLapseWindow::RunEnded(const TRunEnd& End)
{
    FStopped = End.Kind == TRunEnd::Cancelled;
    if (End.Kind == TRunEnd::Failed)
        FError = End.Error;
    ShowState();
    EnableCommands();
}

void TTimeLapseWindow::UpdateChangeLimit()
{
    // The largest change of the cells the data see (the 98th percentile of
    // |change| over every step): one scale for all, so that the steps
    // compare at a glance.
    std::vector<double> changes;
    if (FResult)
        for (const TTimeLapseStep& step : FResult->Steps) {
            const std::vector<double>& coverage = step.Inversion.Coverage;
            for (size_t j = 0; j < step.ChangePercent.size(); ++j)
                if (std::isfinite(step.ChangePercent[j]) && (coverage.size() != step.ChangePercent.size() ||
                                                             FadeOfCoverage(coverage[j]) < 1.0))
                    changes.push_back(std::fabs(step.ChangePercent[j]));
        }
    double limit = 0.0;
    if (!changes.empty()) {
        const auto at = changes.begin() + static_cast<std::ptrdiff_t>(0.98 * static_cast<double>(changes.size() - 1));
        std::nth_element(changes.begin(), at, changes.end());
        limit = *at;
    }
    // At least a per cent: an image of no change is white, not noise
    // stretched over the whole scale.
    FChangeLimit = std::max(1.0, limit);
}

// --- Showing ------------------------------------------------------------------------------

bool TTimeLapseWindow::ShowStep(int Step)
{
    if (!FResult || Step < 0 || Step >= StepsDone())
        return false;
    FStep = Step;
    {
        const QSignalBlocker quiet(StepSlider);
        StepSlider->setValue(Step);
    }
    ImageChart->Title()->Text()->Clear();
    if (Step == 0) {
        const TSurveyInversion& baseline = FResult->Baseline;
        ShowChartCells(*ImageChart, ChartDataOf(FMesh, baseline.Resistivities), true);
        ImageChart->Title()->Text()->Add(QStringLiteral("Baseline resistivity (ohm-m); click a cell"));
        ImageChart->UnitsLabel = QStringLiteral("ohm-m");
        // The resistivities' palette, after a change's.
        for (int i = 0; i < ImageChart->Palette.Length() && i < static_cast<int>(FPalette.size()); ++i)
            ImageChart->Palette[i] = static_cast<TColor>(FPalette[static_cast<size_t>(i)]);
        UseCoveredScale(*ImageChart, baseline.Resistivities, baseline.Coverage, false);
    } else {
        const TTimeLapseStep& step = FResult->Steps.at(static_cast<size_t>(Step - 1));
        ShowChartCells(*ImageChart, ChartDataOf(FMesh, std::vector<double>(step.ChangePercent.size(), 1.0)), false);
        // The chart's cells hold no value below its smallest; the change
        // is written in directly, the scale set around 0.
        for (int c = 0; c <= ImageChart->LastCol; ++c)
            for (int r = 0; r <= ImageChart->LastRow; ++r)
                ImageChart->Layers[0][c][r] =
                    step.ChangePercent.at(static_cast<size_t>(r) * static_cast<size_t>(FMesh.Columns()) +
                                          static_cast<size_t>(c));
        ImageChart->Title()->Text()->Add(
            QStringLiteral("Change since the baseline, survey %1 (%); click a cell").arg(Step));
        ImageChart->UnitsLabel = QStringLiteral("%");
        ImageChart->ScaleMode = 0;
        ImageChart->ScaleMin = -FChangeLimit;
        ImageChart->ScaleMax = FChangeLimit;
        ImageChart->CursorValue = 0.0;
        UseDivergingPalette(*ImageChart);
        ImageChart->RepaintCells();
    }
    if (FBaselineData)
        MarkElectrodes(*ImageChart, *FBaselineData);
    const QString date = FSurveys.size() > static_cast<size_t>(Step) ? FSurveys[static_cast<size_t>(Step)].Date : QString();
    StepLabel->setText(QStringLiteral("Survey %1 of %2%3")
                           .arg(Step)
                           .arg(std::max(SurveyCount(), StepsDone()) - 1)
                           .arg(date.isEmpty() ? QString() : QStringLiteral("\n") + date));
    ShowStepNumbers();
    EnableCommands();
    return true;
}

bool TTimeLapseWindow::PlotCell(int Cell)
{
    if (!FResult || Cell < 0 || Cell >= FMesh.Cells())
        return false;
    FCell = Cell;
    // On the baseline the resistivity, on a later step the change.
    const bool change = FStep > 0;
    const auto cell = static_cast<size_t>(Cell);
    TimeSeries->Clear();
    if (!change) {
        TimeSeries->AddXY(0.0, FResult->Baseline.Resistivities.at(cell));
        for (size_t k = 0; k < FResult->Steps.size(); ++k)
            TimeSeries->AddXY(static_cast<double>(k + 1), FResult->Steps[k].Inversion.Resistivities.at(cell));
    } else {
        TimeSeries->AddXY(0.0, 0.0);
        for (size_t k = 0; k < FResult->Steps.size(); ++k)
            TimeSeries->AddXY(static_cast<double>(k + 1), FResult->Steps[k].ChangePercent.at(cell));
    }
    UncertaintySeries->Clear();
    UncertaintyLabel->clear();
    if (change)
        PlotUncertainty(cell);
    const TGeometryPoint centre = CellCentre(FMesh, Cell);
    TimeChart->Title()->Text()->Clear();
    TimeChart->Title()->Text()->Add(QStringLiteral("Cell at x %1 m, elevation %2 m")
                                        .arg(ShortNumber(centre.x), ShortNumber(centre.y)));
    TimeChart->LeftAxis()->Title()->SetCaption(change ? QStringLiteral("Change (%)") : QStringLiteral("ohm-m"));
    TimeChart->Invalidate();
    EnableCommands();
    return true;
}

void TTimeLapseWindow::PlotUncertainty(size_t Cell)
{
    constexpr double cap = 0.12; // half a cap's width, in surveys
    QStringList without;
    for (size_t k = 0; k < FResult->Steps.size(); ++k) {
        const TTimeLapseStep& step = FResult->Steps[k];
        const double x = static_cast<double>(k + 1);
        const double change = step.ChangePercent.at(Cell);
        const double sd = Cell < step.ChangeUncertainty.size() ? step.ChangeUncertainty[Cell] : -1.0;
        if (!std::isfinite(sd) || sd < 0.0 || !std::isfinite(change)) {
            without.append(QString::number(k + 1));
            continue;
        }
        const double low = change - sd, high = change + sd;
        for (const auto& [x1, y1, x2, y2] : {std::array{x - cap, low, x + cap, low}, std::array{x, low, x, high},
                                             std::array{x - cap, high, x + cap, high}}) {
            UncertaintySeries->AddXY(x1, y1);
            UncertaintySeries->AddXY(x2, y2);
            UncertaintySeries->AddNullXY(x, change);
        }
    }
    const auto steps = static_cast<qsizetype>(FResult->Steps.size());
    if (steps == 0)
        return;
    if (without.isEmpty())
        UncertaintyLabel->setText(QStringLiteral("Bars: the change ± one standard deviation."));
    else if (without.size() == steps)
        UncertaintyLabel->setText(QStringLiteral("No uncertainty from this method: the change is shown without bars."));
    else
        UncertaintyLabel->setText(QStringLiteral("Bars: the change ± one standard deviation; no uncertainty from this "
                                                 "method for survey %1.")
                                      .arg(without.join(QStringLiteral(", "))));
}

void TTimeLapseWindow::ShowState()
{
    QString text;
    QString style;
    if (Busy()) {
        text = QStringLiteral("Inverting… %1 of %2 surveys finished.").arg(StepsDone()).arg(SurveyCount());
    } else if (!FError.isEmpty()) {
        text = FError;
        style = QStringLiteral("color: #b00000;");
    } else if (FStopped) {
        text = QStringLiteral("Stopped: %1 of %2 surveys finished, kept.").arg(StepsDone()).arg(SurveyCount());
    } else if (FResult) {
        text = QStringLiteral("%1 cells, %2 surveys: each step's misfit below.")
                   .arg(FMesh.Cells())
                   .arg(StepsDone());
        if (!FLeftOut.isEmpty())
            text += QStringLiteral("\nNot in every survey: ") + FLeftOut.join(QStringLiteral("; "));
    } else {
        text = QStringLiteral("Add the surveys of one line in time order, then Invert all: the first is the "
                              "baseline, each later one is inverted for its change.");
    }
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
}

void TTimeLapseWindow::EnableCommands()
{
    const bool idle = !Busy();
    const int row = SurveyTable->currentRow();
    AddButton->setEnabled(idle);
    RemoveButton->setEnabled(idle && row >= 0);
    UpButton->setEnabled(idle && row > 0);
    DownButton->setEnabled(idle && row >= 0 && row + 1 < SurveyCount());
    // Not on any key: the window's mnemonics (Alt+letter) stay its buttons'.
    SurveyTable->setEditTriggers(idle ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                      : QAbstractItemView::NoEditTriggers);
    InvertButton->setEnabled(idle && SurveyCount() >= 2);
    PreviousButton->setEnabled(FStep > 0);
    NextButton->setEnabled(FStep >= 0 && FStep + 1 < StepsDone());
    StepSlider->setEnabled(StepsDone() > 1);
    SaveImagesButton->setEnabled(FResult.has_value());
    SaveChartButton->setEnabled(FCell >= 0);
    UnderlayButton->setEnabled(FStep >= 0);
}

// --- Keeping the result -------------------------------------------------------------------

bool TTimeLapseWindow::SaveImages(const QString& Prefix, QString& Error) const
{
    if (!FResult) {
        Error = QStringLiteral("There is no finished step to save.");
        return false;
    }
    std::vector<std::string> tables;
    try {
        tables.push_back(FormatBaselineTable(FMesh, FResult->Baseline));
        for (const TTimeLapseStep& step : FResult->Steps)
            tables.push_back(FormatStepTable(FMesh, step));
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return false;
    }
    for (size_t k = 0; k < tables.size(); ++k) {
        const QString file = StepTableName(Prefix, static_cast<int>(k));
        QString why;
        if (!SaveBytesAtomically(file, QByteArray::fromStdString(tables[k]), why)) {
            Error = QStringLiteral("%1: %2").arg(file, why);
            return false;
        }
    }
    return true;
}

void TTimeLapseWindow::AskSaveImages()
{
    // The name chosen is the prefix: NAME.csv gives NAME-0.csv, NAME-1.csv ...
    AskSaveResult(*this, QStringLiteral("SaveImagesDialog"), QStringLiteral("Save the images"),
                  QStringLiteral("Cell tables, NAME-0.csv, NAME-1.csv ... (*.csv)|*.csv"), QStringLiteral("csv"),
                  [this](const QString& FileName, QString& Error) {
                      QString prefix = FileName;
                      if (prefix.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
                          prefix.chop(4);
                      return SaveImages(prefix, Error);
                  });
}

TTimeLapseWindow::TImageFrame TTimeLapseWindow::ModelImageFrame() const
{
    if (FStep < 0 || FMesh.Cells() == 0)
        return {};
    return {FMesh.ColumnEdges.front(), -*std::max_element(FMesh.Elevations.begin(), FMesh.Elevations.end()),
            FMesh.ColumnEdges.back(), -FMesh.Bottom};
}

QImage TTimeLapseWindow::ModelImage(int Width) const
{
    if (FStep < 0 || !FResult)
        return {};
    TInversionPicture picture;
    picture.Mesh = FMesh;
    picture.Resistivities = FStep == 0 ? FResult->Baseline.Resistivities
                                       : FResult->Steps.at(static_cast<size_t>(FStep - 1)).ChangePercent;
    const TImageFrame frame = ModelImageFrame();
    const double left = frame.Left, right = frame.Right, top = -frame.Top, bottom = -frame.Bottom;
    const int height = std::clamp(static_cast<int>(std::lround(Width * (top - bottom) / (right - left))), 1, 8192);
    TTModelSection2d& chart = *ImageChart;
    return PaintInversionImage(picture, [&chart](double Value) { return static_cast<unsigned>(chart.ValueToColor(Value)); },
                               left, right, top, bottom, Width, height, false);
}

} // namespace lp
