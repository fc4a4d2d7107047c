#include "section/main/InversionWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotExportForm.h"
#include "chart/export/PlotPreview.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Metafile.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Registry.h"
#include "section/editor/PolygonChart.h"
#include "section/forward/InversionChartData.h"
#include "section/forward/Misfit.h"
#include "section/main/ForwardPseudoSection.h"
#include "section/main/InversionSetup.h"
#include "section/main/SameFile.h"
#include "section/main/ModellingWindowCommands.h"
#include "section/views/PseudoSection2D.h"
#include "section/views/Section2D.h"

#include <QtCore/QFileInfo>
#include <QtGui/QAction>
#include <QtGui/QScreen>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

const QString InversionSettingsKey = QStringLiteral("Software\\Lithoprism\\Inversion");

// A number typed in a field, in the user's notation: empty when it is not
// a finite number above 0.
std::optional<double> PositiveField(const QLineEdit& Edit)
{
    bool valid = true;
    return TypedNumber(Edit.text(), true, valid);
}

QString ShortNumber(double Value, int Digits = 3)
{
    return QString::number(Value, 'g', Digits);
}

// The index of the interval of Edges (ascending) holding X; -1 outside.
int IntervalOf(const std::vector<double>& Edges, double X)
{
    if (Edges.size() < 2 || X < Edges.front() || X > Edges.back())
        return -1;
    const auto above = std::upper_bound(Edges.begin(), Edges.end(), X);
    return std::min(static_cast<int>(above - Edges.begin()) - 1, static_cast<int>(Edges.size()) - 2);
}

// White blended over Colour by Share (0: the colour, 1: white).
unsigned TowardWhite(unsigned Colour, double Share)
{
    const auto blend = [Share](unsigned Channel) {
        return static_cast<unsigned>(std::lround(Channel + (255.0 - Channel) * Share));
    };
    return blend(Colour & 0xFF) | (blend((Colour >> 8) & 0xFF) << 8) | (blend((Colour >> 16) & 0xFF) << 16);
}

} // namespace

// --- Settings -----------------------------------------------------------------------------

TInversionWindowSettings TInversionWindowSettings::Load()
{
    TInversionWindowSettings settings;
    try {
        TRegistry registry;
        if (!registry.OpenKeyReadOnly(InversionSettingsKey))
            return settings;
        const auto text = [&](const QString& Name, QString& Into) {
            if (registry.ValueExists(Name))
                Into = registry.ReadString(Name);
        };
        text(QStringLiteral("Error"), settings.ErrorPercent);
        text(QStringLiteral("Lambda"), settings.Lambda);
        text(QStringLiteral("ZWeight"), settings.ZWeight);
        if (registry.ValueExists(QStringLiteral("Iterations")))
            settings.Iterations = std::clamp(registry.ReadInteger(QStringLiteral("Iterations")), 1, 100);
        const auto flag = [&](const QString& Name, bool& Into) {
            if (registry.ValueExists(Name))
                Into = registry.ReadBool(Name);
        };
        flag(QStringLiteral("Constrain"), settings.Constrain);
        flag(QStringLiteral("StartFromSection"), settings.StartFromSection);
        flag(QStringLiteral("FadeByCoverage"), settings.FadeByCoverage);
    } catch (const std::exception&) {
        // Unreadable settings: the defaults.
    }
    return settings;
}

void TInversionWindowSettings::Save() const
{
    try {
        TRegistry registry;
        if (!registry.OpenKey(InversionSettingsKey, true))
            return;
        registry.WriteString(QStringLiteral("Error"), ErrorPercent);
        registry.WriteString(QStringLiteral("Lambda"), Lambda);
        registry.WriteString(QStringLiteral("ZWeight"), ZWeight);
        registry.WriteInteger(QStringLiteral("Iterations"), Iterations);
        registry.WriteBool(QStringLiteral("Constrain"), Constrain);
        registry.WriteBool(QStringLiteral("StartFromSection"), StartFromSection);
        registry.WriteBool(QStringLiteral("FadeByCoverage"), FadeByCoverage);
    } catch (const std::exception&) {
        // Settings that cannot be written cost the user nothing now.
    }
}

// --- The image ----------------------------------------------------------------------------

QImage PaintInversionImage(const TInversionPicture& Picture, const std::function<unsigned(double)>& Colour,
                           double Left, double Right, double Top, double Bottom, int Width, int Height, bool Fade)
{
    const TInversionMesh& mesh = Picture.Mesh;
    // White where there is no cell: the section's picture tool shows no
    // transparency (it would turn black).
    QImage image(std::max(Width, 1), std::max(Height, 1), QImage::Format_RGB32);
    image.fill(Qt::white);
    if (static_cast<int>(Picture.Resistivities.size()) != mesh.Cells() || mesh.Cells() == 0)
        return image;
    const bool faded = Fade && Picture.Coverage.size() == Picture.Resistivities.size();
    for (int i = 0; i < image.width(); ++i) {
        const double x = Left + (i + 0.5) * (Right - Left) / image.width();
        const int column = IntervalOf(mesh.ColumnEdges, x);
        if (column < 0)
            continue;
        const size_t c = static_cast<size_t>(column);
        const double share = (x - mesh.ColumnEdges[c]) / (mesh.ColumnEdges[c + 1] - mesh.ColumnEdges[c]);
        const double surface = mesh.Elevations[c] + share * (mesh.Elevations[c + 1] - mesh.Elevations[c]);
        for (int j = 0; j < image.height(); ++j) {
            const double y = Top + (j + 0.5) * (Bottom - Top) / image.height();
            const double depth = surface - y;
            if (depth < 0.0 || y < mesh.Bottom)
                continue;
            int row = IntervalOf(mesh.RowDepths, depth);
            if (row < 0)
                row = mesh.Rows() - 1; // the last row reaches down to the flat bottom
            const size_t cell = static_cast<size_t>(row * mesh.Columns() + column);
            unsigned colour = Colour(Picture.Resistivities[cell]);
            if (faded) {
                const double seen = std::clamp(1.0 + 0.5 * std::log10(std::max(Picture.Coverage[cell], 1e-12)), 0.0, 1.0);
                colour = TowardWhite(colour, 1.0 - seen);
            }
            // TColor is 0x00BBGGRR.
            image.setPixel(i, j, qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF));
        }
    }
    return image;
}

// --- The window ---------------------------------------------------------------------------

struct TInversionWindow::TJob {
    std::function<void()> OnStart;
    std::function<void(int)> OnIteration;
    std::shared_ptr<const TMeasuredData> Data;
    AllSpolygon Model;
    Tnodes Nodes;
    TModelArea Area{};
    bool Constrain = false, StartFromSection = false;
    TSurveyInversionOptions Options;
};

// A finished iteration as it reaches the window.
struct TInversionWindow::TIteration {
    TInversionStep Step;
    std::shared_ptr<const TInversionMesh> Mesh;
    std::vector<double> Resistivities;
};

namespace {

// What a finished run delivers.
struct TInversionOutcome {
    std::shared_ptr<const TInversionMesh> Mesh;
    std::shared_ptr<const TSurveyInversion> Inversion;
};

} // namespace

TInversionWindow::TInversionWindow(TPolygonChart& Section, QWidget* Parent)
    : QWidget(Parent, Qt::Window), FSection(Section)
{
    setObjectName(QStringLiteral("Inversion"));
    setWindowTitle(QStringLiteral("Invert"));
    CreatePanel();
    LoadSettings();
    // The opening size, within the screen.
    QSize size(1000, 700);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    ShowState();
    EnableCommands();
}

TInversionWindow::~TInversionWindow()
{
    // The run is cancelled and dropped with FRun.
    FRun.Drop();
    // A chart owns the widget it draws in, not the other way round: the
    // charts go first, while their windows (inside ours) still stand.
    delete ModelChart;
    delete MeasuredChart;
    delete CalculatedChart;
    delete MisfitChart;
}

void TInversionWindow::CreatePanel()
{
    auto* outer = new QHBoxLayout(this);
    auto* panel = new QVBoxLayout;
    DataLabel = new QLabel(this);
    DataLabel->setWordWrap(true);
    panel->addWidget(DataLabel);
    auto* form = new QFormLayout;
    const auto field = [this, form](const QString& Label, const char* Name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(Name));
        edit->setMaximumWidth(90);
        auto* label = new QLabel(Label, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
        return edit;
    };
    ErrorEdit = field(QStringLiteral("&Error (%):"), "ErrorEdit");
    LambdaEdit = field(QStringLiteral("λ st&art:"), "LambdaEdit");
    ZWeightEdit = field(QStringLiteral("&Z-weight:"), "ZWeightEdit");
    IterationsBox = new QSpinBox(this);
    IterationsBox->setObjectName(QStringLiteral("IterationsBox"));
    IterationsBox->setRange(1, 100);
    auto* iterationsLabel = new QLabel(QStringLiteral("Ite&rations:"), this);
    iterationsLabel->setBuddy(IterationsBox);
    form->addRow(iterationsLabel, IterationsBox);
    panel->addLayout(form);
    ConstrainBox = new QCheckBox(QStringLiteral("&Constrain by the section"), this);
    StartFromSectionBox = new QCheckBox(QStringLiteral("&Start from the section"), this);
    FadeBox = new QCheckBox(QStringLiteral("&Fade by coverage"), this);
    for (QCheckBox* box : {ConstrainBox, StartFromSectionBox, FadeBox})
        panel->addWidget(box);
    InvertButton = new QPushButton(QStringLiteral("&Invert"), this);
    InvertButton->setObjectName(QStringLiteral("InvertButton"));
    panel->addWidget(InvertButton);
    Progress = new QProgressBar(this);
    Progress->setRange(0, 100);
    Progress->hide();
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->hide();
    panel->addWidget(Progress);
    panel->addWidget(CancelButton);
    StateLabel = new QLabel(this);
    StateLabel->setWordWrap(true);
    StateLabel->setMinimumWidth(200);
    panel->addWidget(StateLabel);
    IterationTable = new QTableWidget(0, 4, this);
    IterationTable->setObjectName(QStringLiteral("IterationTable"));
    IterationTable->setHorizontalHeaderLabels(
        {QStringLiteral("Iteration"), QStringLiteral("χ²"), QStringLiteral("rrms %"), QStringLiteral("λ")});
    IterationTable->verticalHeader()->hide();
    IterationTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    IterationTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    IterationTable->setMinimumHeight(120);
    panel->addWidget(IterationTable, 1);
    UnderlayButton = new QPushButton(QStringLiteral("Use as &underlay"), this);
    SaveButton = new QPushButton(QStringLiteral("Save &table..."), this);
    PrintButton = new QPushButton(QStringLiteral("Print pre&view..."), this);
    ExportButton = new QPushButton(QStringLiteral("E&xport picture..."), this);
    for (QPushButton* button : {UnderlayButton, SaveButton, PrintButton, ExportButton})
        panel->addWidget(button);
    auto* panelHost = new QWidget(this);
    panelHost->setLayout(panel);
    panelHost->setMaximumWidth(300);
    outer->addWidget(panelHost);

    auto* charts = new QVBoxLayout;
    ModelChart = new TTModelSection2d();
    ModelChart->ReadOnly = true;
    // The chart's palette runs from the scale's top: reversed, a conductor
    // is blue and a resistor red, as in the pseudo-sections.
    std::swap(ModelChart->PaletteFirstColor, ModelChart->PaletteLastColor);
    std::swap(ModelChart->PaletteMidColors[0], ModelChart->PaletteMidColors[1]);
    std::reverse(ModelChart->Palette.begin(), ModelChart->Palette.end());
    ModelChart->ShowMesh = false;
    ModelChart->ShowBorders = false;
    ModelChart->Title()->Text()->Clear();
    // The axes carry no captions of their own: the chart's narrow margins
    // hold their numbers only.
    ModelChart->Title()->Text()->Add(QStringLiteral("Inverted resistivity (ohm-m); distance and depth in m"));
    ModelChart->UnitsLabel = QStringLiteral("ohm-m");
    ModelChart->OnAfterDraw = [this](TCustomPlotPanelExtended*) {
        ModelChart->MeshAfterDraw();
        DrawOutlines();
    };
    QWidget* modelHost = ModelChart->Widget(this);
    modelHost->setMinimumSize(400, 180);
    modelHost->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    charts->addWidget(modelHost, 2);
    const auto pseudo = [this, charts](const QString& Title) {
        FMetafiles.push_back(std::make_unique<TMetafile>());
        TPseudoSection2d* chart = CreateFieldPseudoSection(Title, *FMetafiles.back());
        QWidget* host = chart->Widget(this);
        host->setMinimumSize(300, 90);
        host->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        charts->addWidget(host, 1);
        return chart;
    };
    MeasuredChart = pseudo(QStringLiteral("Measured apparent resistivity"));
    CalculatedChart = pseudo(QStringLiteral("Calculated apparent resistivity"));
    MisfitChart = pseudo(QStringLiteral("Misfit (%)"));
    outer->addLayout(charts, 1);

    setTabOrder(ErrorEdit, LambdaEdit);
    setTabOrder(LambdaEdit, ZWeightEdit);
    setTabOrder(ZWeightEdit, IterationsBox);
    setTabOrder(IterationsBox, ConstrainBox);
    setTabOrder(ConstrainBox, StartFromSectionBox);
    setTabOrder(StartFromSectionBox, FadeBox);
    setTabOrder(FadeBox, InvertButton);

    AddModellingWindowKeys(*this, &OnUndo, [this] { return Busy(); }, [this] { CancelInversion(); });

    FRun.ShowProgressIn(Progress, CancelButton);
    FRun.OnIntermediate = [this](const std::any& Value) {
        if (const TIteration* iteration = std::any_cast<TIteration>(&Value))
            IterationEnded(*iteration);
    };
    FRun.OnEnd = [this](const TRunEnd& End) { RunEnded(End); };
    connect(InvertButton, &QPushButton::clicked, this, [this] { Invert(); });
    connect(UnderlayButton, &QPushButton::clicked, this, [this] {
        if (OnUseAsUnderlay)
            OnUseAsUnderlay();
    });
    connect(SaveButton, &QPushButton::clicked, this, [this] { AskSaveTable(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { PreviewChart(); });
    connect(ExportButton, &QPushButton::clicked, this, [this] { ExportChart(); });
    for (QLineEdit* edit : {ErrorEdit, LambdaEdit, ZWeightEdit})
        connect(edit, &QLineEdit::editingFinished, this, [this] { SaveSettings(); });
    connect(IterationsBox, &QSpinBox::valueChanged, this, [this] { SaveSettings(); });
    for (QCheckBox* box : {ConstrainBox, StartFromSectionBox})
        connect(box, &QCheckBox::toggled, this, [this] { SaveSettings(); });
    connect(FadeBox, &QCheckBox::toggled, this, [this] { SaveSettings(); });
}

void TInversionWindow::LoadSettings()
{
    const TInversionWindowSettings settings = TInversionWindowSettings::Load();
    ErrorEdit->setText(settings.ErrorPercent);
    LambdaEdit->setText(settings.Lambda);
    ZWeightEdit->setText(settings.ZWeight);
    IterationsBox->setValue(settings.Iterations);
    ConstrainBox->setChecked(settings.Constrain);
    StartFromSectionBox->setChecked(settings.StartFromSection);
    FadeBox->setChecked(settings.FadeByCoverage);
}

void TInversionWindow::SaveSettings()
{
    TInversionWindowSettings settings;
    settings.ErrorPercent = ErrorEdit->text();
    settings.Lambda = LambdaEdit->text();
    settings.ZWeight = ZWeightEdit->text();
    settings.Iterations = IterationsBox->value();
    settings.Constrain = ConstrainBox->isChecked();
    settings.StartFromSection = StartFromSectionBox->isChecked();
    settings.FadeByCoverage = FadeBox->isChecked();
    settings.Save();
}

void TInversionWindow::SetMeasuredData(std::shared_ptr<const TMeasuredData> Data, const QString& Name,
                                       const QString& ErrorPercent)
{
    FData = std::move(Data);
    FDataName = Name;
    if (!ErrorPercent.trimmed().isEmpty())
        ErrorEdit->setText(ErrorPercent.trimmed());
    DataLabel->setText(FData ? QStringLiteral("Data of %1: %2 electrodes, %3 data.")
                                   .arg(Name)
                                   .arg(FData->Electrodes.size())
                                   .arg(FData->Size())
                             : QStringLiteral("No measured data: open a file with Modelling > Measured data..."));
    EnableCommands();
}

// --- Running ------------------------------------------------------------------------------

bool TInversionWindow::Invert()
{
    const auto refuse = [this](const QString& Reason) {
        FError = Reason;
        ShowState();
        return false;
    };
    if (!FData)
        return refuse(QStringLiteral("Open measured data first (Modelling > Measured data...)."));
    const std::optional<double> error = PositiveField(*ErrorEdit);
    const std::optional<double> lambda = PositiveField(*LambdaEdit);
    const std::optional<double> zWeight = PositiveField(*ZWeightEdit);
    if (!error || *error >= 100.0)
        return refuse(QStringLiteral("The error must be a number above 0 and below 100 (per cent)."));
    if (!lambda)
        return refuse(QStringLiteral("λ must be a number above 0."));
    if (!zWeight)
        return refuse(QStringLiteral("The z-weight must be a number above 0."));
    SaveSettings();
    auto job = std::make_shared<TJob>();
    job->OnStart = OnRunStart;
    job->OnIteration = OnRunIteration;
    job->Data = FData;
    job->Model = CopyAllSpolygon(FSection.Model);
    job->Nodes = CopyNodes(FSection.Nodes);
    job->Area = FSection.ModelArea;
    job->Constrain = ConstrainBox->isChecked();
    job->StartFromSection = StartFromSectionBox->isChecked();
    job->Options.ErrorPercent = *error;
    job->Options.ZWeight = *zWeight;
    job->Options.Settings.Lambda = *lambda;
    job->Options.Settings.Iterations = IterationsBox->value();
    // Every core the process may run on, at the run's lowered priority.
    job->Options.Forward.Threads = 0;
    // The section's boundaries, drawn over the image.
    FOutlines.clear();
    try {
        const TForwardModel ground = PrepareForwardModel(job->Model, job->Nodes, job->Area, 100.0);
        const TModelGeometry& geometry = ground.Geometry;
        for (int e = 0; e < geometry.ModelEdgeCount && e < static_cast<int>(geometry.Edges.size()); ++e) {
            const auto [a, b] = geometry.Edges[static_cast<size_t>(e)];
            FOutlines.emplace_back(geometry.Points.at(static_cast<size_t>(a)), geometry.Points.at(static_cast<size_t>(b)));
        }
    } catch (const std::exception&) {
        // A section that cannot be prepared draws no outline; the run says
        // why when it needs the section.
    }
    FError.clear();
    FCancelled = false;
    FResult.reset();
    IterationTable->setRowCount(0);
    const int iterations = job->Options.Settings.Iterations;
    const bool started = FRun.Start([job, iterations](TRunControl& Control) {
        if (job->OnStart)
            job->OnStart();
        TInversionOutcome outcome;
        if (Control.Cancelled())
            return std::any(outcome);
        const TMeasuredData& data = *job->Data;
        const bool useSection = job->Constrain || job->StartFromSection;
        std::optional<TForwardModel> ground;
        try {
            ground = PrepareForwardModel(job->Model, job->Nodes, job->Area, MedianResistivity(data));
        } catch (const std::exception&) {
            if (useSection)
                throw;
        }
        // The mesh over the section's model area when the electrodes lie
        // on it, else over the data's own span.
        std::shared_ptr<TInversionMesh> mesh;
        try {
            mesh = std::make_shared<TInversionMesh>(InversionMeshFor(data, ground ? &*ground : nullptr));
        } catch (const std::exception&) {
            if (useSection || !ground)
                throw;
            ground.reset();
            mesh = std::make_shared<TInversionMesh>(InversionMeshFor(data, nullptr));
        }
        TSurveyInversionOptions options = job->Options;
        if (ground)
            UseSectionInInversion(*mesh, *ground, data, job->Constrain, job->StartFromSection, options);
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
        outcome.Inversion = std::make_shared<TSurveyInversion>(
            InvertSurvey(data, *mesh, options, callbacks, [&Control] { return !Control.Cancelled(); }));
        return std::any(outcome);
    });
    if (!started)
        return refuse(QStringLiteral("The inversion could not be started: no thread could be had."));
    FResultData = FData;
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
    const QStringList cells{QString::number(step.Iteration), ShortNumber(step.ChiSquare),
                            QString::number(step.Rrms, 'f', 2), ShortNumber(step.Lambda)};
    for (int c = 0; c < cells.size(); ++c)
        IterationTable->setItem(row, c, new QTableWidgetItem(cells[c]));
    IterationTable->scrollToBottom();
    TInversionPicture picture;
    picture.Mesh = *Iteration.Mesh;
    picture.Resistivities = Iteration.Resistivities;
    FPicture = std::move(picture);
    ShowModel();
    ShowState();
    EnableCommands();
}

void TInversionWindow::RunEnded(const TRunEnd& End)
{
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
        FPicture = std::move(picture);
        ShowModel();
        ShowPseudoSections();
    }
    ShowState();
    EnableCommands();
    if (OnInversionEnd)
        OnInversionEnd();
}

// --- Showing ------------------------------------------------------------------------------

void TInversionWindow::ShowModel()
{
    if (!FPicture)
        return;
    const TInversionChartData data = ChartDataOf(FPicture->Mesh, FPicture->Resistivities);
    TTModelSection2d& chart = *ModelChart;
    const auto array = [](const std::vector<double>& Values) {
        arofdoubleM result(static_cast<int>(Values.size()));
        for (size_t i = 0; i < Values.size(); ++i)
            result[static_cast<int>(i)] = Values[i];
        return result;
    };
    const arofdoubleM cols = array(data.ColBounds);
    const arofdoubleM rows = array(data.RowBounds);
    chart.ReliefX = array(data.ReliefX);
    chart.ReliefZ = array(data.ReliefZ);
    chart.Layers = DynArray<ararofdoubleM>(1);
    chart.LayerOrder = arofintM{0};
    chart.CurrentLayer = 0;
    chart.ModelLeft = cols[0];
    chart.ModelRight = cols.Last();
    chart.ModelTop = rows[0];
    chart.SetColBounds(cols.Length(), &cols);
    chart.UpdateReliefShift();
    chart.ModelBottom = rows.Last() + chart.MaxReliefShift;
    chart.ModelWidth = chart.ModelRight - chart.ModelLeft;
    chart.SetRowBounds(rows.Length(), &rows);
    chart.UpdateReliefShift();
    double low = MaxCellValue, high = MinCellValue;
    for (size_t c = 0; c < data.Values.size(); ++c)
        for (size_t r = 0; r < data.Values[c].size(); ++r) {
            double value = data.Values[c][r];
            TTModelSection2d::ClampValue(value);
            chart.Layers[0][static_cast<int>(c)][static_cast<int>(r)] = value;
            low = std::min(low, value);
            high = std::max(high, value);
        }
    chart.HalfSpaceValue = -1.0; // no cell holds it: every cell shows its own value
    chart.ScaleMode = 1;         // logarithmic
    chart.ScaleMin = low;
    chart.ScaleMax = high;
    chart.SecureScaleLimits();
    // The electrodes as marks on the surface (drawn depths).
    chart.MarkerPoints = arofcomplexM();
    if (FData) {
        const double highest = chart.ReliefZ.Length() > 0 ? *std::max_element(chart.ReliefZ.begin(), chart.ReliefZ.end()) : 0.0;
        arofcomplexM marks(static_cast<int>(FData->Electrodes.size()));
        for (size_t e = 0; e < FData->Electrodes.size(); ++e)
            marks[static_cast<int>(e)] = complexM{FData->Electrodes[e].x, highest - FData->Electrodes[e].z};
        chart.MarkerPoints = marks;
    }
    chart.CursorValue = std::sqrt(low * high);
    // The colour bar shows once a cell is current.
    chart.CurCol = 0;
    chart.CurRow = 0;
    chart.ExtentSeries->Clear();
    chart.ExtentSeries->AddXY(chart.ModelLeft, chart.ModelTop);
    chart.ExtentSeries->AddXY(chart.ModelRight, chart.ModelBottom);
    chart.RepaintCells();
}

void TInversionWindow::DrawOutlines()
{
    if (!FPicture || FOutlines.empty())
        return;
    TTModelSection2d& chart = *ModelChart;
    const double highest = chart.ReliefZ.Length() > 0 ? *std::max_element(chart.ReliefZ.begin(), chart.ReliefZ.end()) : 0.0;
    TPlotCanvas& canvas = chart.Canvas();
    canvas.Pen()->SetStyle(psSolid);
    canvas.Pen()->SetColor(clBlack);
    canvas.Pen()->SetWidth(1);
    const TRect r = chart.ChartRectangle();
    canvas.ClipRectangle(r);
    for (const auto& [a, b] : FOutlines) {
        canvas.MoveTo(chart.BottomAxis()->CalcPosValue(a.x), chart.LeftAxis()->CalcPosValue(highest - a.y));
        canvas.LineTo(chart.BottomAxis()->CalcPosValue(b.x), chart.LeftAxis()->CalcPosValue(highest - b.y));
    }
    canvas.UnClipRectangle();
}

void TInversionWindow::ShowPseudoSections()
{
    if (!FResult || !FResultData)
        return;
    const TMeasuredData& data = *FResultData;
    const TSurvey survey = data.Survey();
    const std::vector<TPseudoPoint> points = PseudoSectionPoints(survey);
    double deepest = 0.0;
    for (const TPseudoPoint& point : points)
        deepest = std::max(deepest, point.Depth);
    const double left = FPicture ? FPicture->Mesh.ColumnEdges.front() : FSection.ModelArea.left;
    const double right = FPicture ? FPicture->Mesh.ColumnEdges.back() : FSection.ModelArea.right;
    std::vector<double> misfit(data.Resistivities.size());
    for (size_t d = 0; d < misfit.size(); ++d)
        misfit[d] = 100.0 * (FResult->Response.at(d) - data.Resistivities[d]) / data.Resistivities[d];
    ShowFieldPseudoSection(*MeasuredChart, points, data.Resistivities, left, right, deepest, false);
    ShowFieldPseudoSection(*CalculatedChart, points, FResult->Response, left, right, deepest, false);
    // Measured and calculated on one scale.
    const auto [lowMeasured, highMeasured] = std::minmax_element(data.Resistivities.begin(), data.Resistivities.end());
    const auto [lowCalculated, highCalculated] = std::minmax_element(FResult->Response.begin(), FResult->Response.end());
    const double low = std::min(*lowMeasured, *lowCalculated), high = std::max(*highMeasured, *highCalculated);
    if (low > 0.0 && high > low) {
        SetPseudoSectionRange(*MeasuredChart, low, high);
        SetPseudoSectionRange(*CalculatedChart, low, high);
    }
    MeasuredChart->RebuildPicture();
    CalculatedChart->RebuildPicture();
    ShowFieldPseudoSection(*MisfitChart, points, misfit, left, right, deepest, false);
    UseDivergingScale(*MisfitChart);
    MisfitChart->RebuildPicture();
}

void TInversionWindow::ShowState()
{
    QString text;
    QString style;
    if (FRun.Busy()) {
        text = QStringLiteral("Inverting… %1 iterations finished.").arg(std::max(0, IterationTable->rowCount() - 1));
    } else if (!FError.isEmpty()) {
        text = FError;
        style = QStringLiteral("color: #b00000;");
    } else if (FCancelled) {
        text = FPicture ? QStringLiteral("Cancelled: the image shows the last finished iteration's model.")
                        : QStringLiteral("Cancelled.");
    } else if (FResult && !FResult->Steps.empty()) {
        const TInversionStep& last = FResult->Steps.back();
        text = QStringLiteral("%1 cells, %2 iterations: χ² %3, rrms %4 %. %5")
                   .arg(FPicture ? FPicture->Mesh.Cells() : 0)
                   .arg(last.Iteration)
                   .arg(ShortNumber(last.ChiSquare), QString::number(last.Rrms, 'f', 2),
                        QString::fromStdString(FResult->Stop));
    } else {
        text = QStringLiteral("Invert makes an image of the ground from the measured data.");
    }
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
}

void TInversionWindow::EnableCommands()
{
    InvertButton->setEnabled(FData != nullptr);
    const bool image = FPicture.has_value();
    UnderlayButton->setEnabled(image);
    PrintButton->setEnabled(image);
    ExportButton->setEnabled(image);
    SaveButton->setEnabled(FResult.has_value());
}

// --- Keeping the result -------------------------------------------------------------------

QImage TInversionWindow::ModelImage(int Width) const
{
    if (!FPicture)
        return {};
    const TModelArea& area = FSection.ModelArea;
    const TInversionMesh& mesh = FPicture->Mesh;
    // The section's model area in elevations: its top is the highest point
    // of the surface the chart's y counts down from.
    const double left = area.right > area.left ? area.left : mesh.ColumnEdges.front();
    const double right = area.right > area.left ? area.right : mesh.ColumnEdges.back();
    const double top = area.bottom != area.top ? -std::min(area.top, area.bottom) : *std::max_element(mesh.Elevations.begin(), mesh.Elevations.end());
    const double bottom = area.bottom != area.top ? -std::max(area.top, area.bottom) : mesh.Bottom;
    const int height = std::clamp(static_cast<int>(std::lround(Width * (top - bottom) / (right - left))), 1, 8192);
    TTModelSection2d& chart = *ModelChart;
    return PaintInversionImage(*FPicture, [&chart](double Value) { return static_cast<unsigned>(chart.ValueToColor(Value)); },
                               left, right, top, bottom, Width, height, FadeBox->isChecked());
}

bool TInversionWindow::SaveTable(const QString& FileName, QString& Error) const
{
    if (!FResult || !FPicture) {
        Error = QStringLiteral("There is no finished inversion to save.");
        return false;
    }
    if (SectionFile && SameFile(FileName, SectionFile())) {
        Error = QStringLiteral("it is the section file the editor has open; name another file.");
        return false;
    }
    try {
        return SaveBytesAtomically(FileName, QByteArray::fromStdString(FormatInversionTable(FPicture->Mesh, *FResult)),
                                   Error);
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return false;
    }
}

void TInversionWindow::AskSaveTable()
{
    AskSaveResult(*this, QStringLiteral("SaveTableDialog"), QStringLiteral("Save the cell table"),
                  QStringLiteral("Table (*.csv)|*.csv"), QStringLiteral("csv"),
                  [this](const QString& FileName, QString& Error) { return SaveTable(FileName, Error); });
}

TCustomChart* TInversionWindow::ChosenChart()
{
    std::vector<TCustomChart*> shown{ModelChart};
    for (TPseudoSection2d* chart : {MeasuredChart, CalculatedChart, MisfitChart})
        if (chart->VertexCount > 0)
            shown.push_back(chart);
    return ChooseChart(*this, shown);
}

void TInversionWindow::PreviewChart()
{
    if (TCustomChart* chart = ChosenChart())
        ShowChartPreview(this, chart);
}

void TInversionWindow::ExportChart()
{
    if (TCustomChart* chart = ChosenChart())
        ExportChartPicture(*this, *chart);
}

} // namespace lp
