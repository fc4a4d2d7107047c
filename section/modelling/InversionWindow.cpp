#include "section/modelling/InversionWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotSeries.h"
#include "chart/export/PlotExportForm.h"
#include "chart/export/PlotPreview.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Metafile.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Registry.h"
#include "section/editor/PolygonChart.h"
#include "section/inversion/Inversion.h"
#include "section/inversion/InversionChartData.h"
#include "section/inversion/InversionExport.h"
#include "section/survey/Misfit.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/modelling/InversionSetup.h"
#include "section/modelling/SameFile.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/views/PseudoSection2D.h"
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
#include <array>
#include <cmath>
#include <mutex>

namespace lp {

namespace {

const QString InversionSettingsKey = QStringLiteral("Software\\Lithoprism\\Inversion");

// The chart tabs, in the order they are made.
constexpr int MeshTab = 0;
constexpr int ResistivityTab = 1;
constexpr int ChargeabilityTab = 2;

// A number typed in a field, in the user's notation: empty when it is not
// a finite number above 0.
std::optional<double> PositiveField(const QLineEdit& Edit)
{
    bool valid = true;
    return TypedNumber(Edit.text(), true, valid);
}

// Three significant digits without a power of ten below a million
// ("1280", not "1.28e+03", which the table's narrow columns would break),
// no group separators.
QString StepNumber(double Value)
{
    if (!(std::fabs(Value) >= 1000.0 && std::fabs(Value) < 1e6))
        return ShortNumber(Value);
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(Value))) - 2);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(std::round(Value / unit) * unit, 'f', 0);
}

// Beyond a million fixed decimals would be a row of digits: two digits
// and a power of ten.
QString FixedNumber(double Value, int Decimals)
{
    return std::fabs(Value) < 1e6 ? QLocale().toString(Value, 'f', Decimals) : ShortNumber(Value, 2);
}

// The index of the interval of Edges (ascending) holding X; -1 outside.
int IntervalOf(const std::vector<double>& Edges, double X)
{
    if (Edges.size() < 2 || X < Edges.front() || X > Edges.back())
        return -1;
    const auto above = std::upper_bound(Edges.begin(), Edges.end(), X);
    return std::min(static_cast<int>(above - Edges.begin()) - 1, static_cast<int>(Edges.size()) - 2);
}

// The chart's fade table of a [column][row] record.
ararofdoubleM FadeTable(const std::vector<std::vector<double>>& Fade)
{
    ararofdoubleM table(static_cast<int>(Fade.size()));
    for (size_t c = 0; c < Fade.size(); ++c) {
        table[static_cast<int>(c)] = arofdoubleM(static_cast<int>(Fade[c].size()));
        for (size_t r = 0; r < Fade[c].size(); ++r)
            table[static_cast<int>(c)][static_cast<int>(r)] = Fade[c][r];
    }
    return table;
}

void SetPseudoSectionTitle(TPseudoSection2d& Chart, const QString& Title)
{
    Chart.Title()->Text()->Clear();
    Chart.Title()->Text()->Add(Title);
}

// The section's model area changed under an edited mesh: true to keep the
// mesh as the user edited it (the default, and Escape), false to lay a new
// one over the new area.
bool AskKeepEditedMesh(QWidget& Owner)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Invert"),
                    QStringLiteral("The section's model area has changed since the parameter mesh was laid.\n\n"
                                   "Keep the edited mesh (its cells, fixed cells and limits), or lay a new mesh "
                                   "over the new area?"),
                    QMessageBox::NoButton, &Owner);
    box.setObjectName(QStringLiteral("ModelAreaChangedQuestion"));
    QPushButton* keep = box.addButton(QStringLiteral("&Keep the edited mesh"), QMessageBox::AcceptRole);
    QPushButton* lay = box.addButton(QStringLiteral("&Lay a new mesh"), QMessageBox::DestructiveRole);
    keep->setObjectName(QStringLiteral("KeepMeshButton"));
    lay->setObjectName(QStringLiteral("NewMeshButton"));
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    box.exec();
    return box.clickedButton() != lay;
}

// Asks for the lowest and highest value of a set of cells; false on a
// cancel. Empty fields mean no limits (both 0).
bool AskLimitValues(QWidget& Owner, double& Lowest, double& Highest)
{
    QDialog dialog(&Owner);
    dialog.setObjectName(QStringLiteral("LimitsDialog"));
    dialog.setWindowTitle(QStringLiteral("Limits of the selected cells"));
    auto* form = new QFormLayout(&dialog);
    auto* lowest = new QLineEdit(&dialog);
    lowest->setObjectName(QStringLiteral("LowestEdit"));
    auto* highest = new QLineEdit(&dialog);
    highest->setObjectName(QStringLiteral("HighestEdit"));
    auto* lowestLabel = new QLabel(QStringLiteral("&Lowest (ohm-m):"), &dialog);
    lowestLabel->setBuddy(lowest);
    auto* highestLabel = new QLabel(QStringLiteral("&Highest (ohm-m):"), &dialog);
    highestLabel->setBuddy(highest);
    form->addRow(new QLabel(QStringLiteral("Leave both empty to lift the limits."), &dialog));
    form->addRow(lowestLabel, lowest);
    form->addRow(highestLabel, highest);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (lowest->text().trimmed().isEmpty() && highest->text().trimmed().isEmpty()) {
        Lowest = Highest = 0.0;
        return true;
    }
    bool valid = true;
    const std::optional<double> low = TypedNumber(lowest->text(), true, valid);
    const std::optional<double> high = TypedNumber(highest->text(), true, valid);
    Lowest = low.value_or(-1.0);
    Highest = high.value_or(-1.0);
    return true;
}

// The lines the mesh's rows follow: the ticked lines and, with a section,
// its ticked boundaries.
std::vector<TConstraintLine> UsedLines(const TStructuralConstraint& Structure, const TForwardModel* Section)
{
    std::vector<TConstraintLine> used = Structure.Lines;
    if (Section && !Structure.ZoneWeights.empty()) {
        const std::vector<TConstraintLine> boundaries = SectionBoundaryLines(*Section, Structure.ZoneWeights);
        used.insert(used.end(), boundaries.begin(), boundaries.end());
    }
    return used;
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
        text(QStringLiteral("ReferenceWeight"), settings.ReferenceWeight);
        text(QStringLiteral("DoiLimit"), settings.DoiLimit);
        if (registry.ValueExists(QStringLiteral("Iterations")))
            settings.Iterations = std::clamp(registry.ReadInteger(QStringLiteral("Iterations")), 1, 100);
        const auto flag = [&](const QString& Name, bool& Into) {
            if (registry.ValueExists(Name))
                Into = registry.ReadBool(Name);
        };
        flag(QStringLiteral("Constrain"), settings.Constrain);
        flag(QStringLiteral("StartFromSection"), settings.StartFromSection);
        flag(QStringLiteral("FadeByCoverage"), settings.FadeByCoverage);
        flag(QStringLiteral("DepthOfInvestigation"), settings.DepthOfInvestigation);
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
        registry.WriteString(QStringLiteral("ReferenceWeight"), ReferenceWeight);
        registry.WriteBool(QStringLiteral("DepthOfInvestigation"), DepthOfInvestigation);
        registry.WriteString(QStringLiteral("DoiLimit"), DoiLimit);
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
    const bool doi = Picture.DepthOfInvestigation.size() == Picture.Resistivities.size();
    for (int i = 0; i < image.width(); ++i) {
        const double x = Left + (i + 0.5) * (Right - Left) / image.width();
        const int column = IntervalOf(mesh.ColumnEdges, x);
        if (column < 0)
            continue;
        for (int j = 0; j < image.height(); ++j) {
            const double y = Top + (j + 0.5) * (Bottom - Top) / image.height();
            const int row = RowAt(mesh, column, x, y);
            if (row < 0)
                continue;
            const size_t cell = static_cast<size_t>(row * mesh.Columns() + column);
            unsigned colour = Colour(Picture.Resistivities[cell]);
            double fade = faded ? FadeOfCoverage(Picture.Coverage[cell]) : 0.0;
            if (doi)
                fade = std::max(fade, FadeOfDepthOfInvestigation(Picture.DepthOfInvestigation[cell], Picture.DoiLimit));
            if (fade > 0.0)
                colour = static_cast<unsigned>(FadedColor(static_cast<TColor>(colour), fade));
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
    bool Constrain = false;
    TStructuralConstraint Structure; // the lines and boundary weights ticked; zones laid in the run
    TInversionChartData Cells; // the mesh chart: mesh, starting model, fixed cells, limits
    TSurveyInversionOptions Options;
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

// A finished iteration as it reaches the window.
struct TInversionWindow::TIteration {
    TInversionStep Step;
    std::shared_ptr<const TInversionMesh> Mesh;
    std::vector<double> Resistivities;
};

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
    delete MeshChart;
    delete ModelChart;
    delete ChargeabilityChart;
    delete MeasuredChart;
    delete CalculatedChart;
    delete MisfitChart;
}

void TInversionWindow::CreatePanel()
{
    // Laid out to fit a screen of 800 x 600: the options two by two, the
    // run's progress beside Invert, the result's commands two by two.
    auto* outer = new QHBoxLayout(this);
    auto* panel = new QVBoxLayout;
    DataLabel = new QLabel(this);
    DataLabel->setWordWrap(true);
    panel->addWidget(DataLabel);
    auto* form = new QGridLayout;
    const auto place = [this, form](const QString& Label, QWidget* Field, int Row, int Column) {
        auto* label = new QLabel(Label, this);
        label->setBuddy(Field);
        form->addWidget(label, Row, 2 * Column);
        form->addWidget(Field, Row, 2 * Column + 1);
    };
    const auto field = [this](const char* Name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(Name));
        edit->setMaximumWidth(90);
        edit->setMinimumWidth(40);
        return edit;
    };
    ErrorEdit = field("ErrorEdit");
    LambdaEdit = field("LambdaEdit");
    ZWeightEdit = field("ZWeightEdit");
    IterationsBox = new QSpinBox(this);
    IterationsBox->setObjectName(QStringLiteral("IterationsBox"));
    IterationsBox->setRange(1, 100);
    place(QStringLiteral("&Error (%):"), ErrorEdit, 0, 0);
    place(QStringLiteral("λ st&art:"), LambdaEdit, 0, 1);
    place(QStringLiteral("&Z-weight:"), ZWeightEdit, 1, 0);
    place(QStringLiteral("Iterati&ons:"), IterationsBox, 1, 1);
    ReferenceWeightEdit = field("ReferenceWeightEdit");
    ReferenceWeightEdit->setToolTip(QStringLiteral("How hard every cell is pulled toward the starting model "
                                                   "(0: not at all, only the smoothness holds the image)"));
    place(QStringLiteral("Reference wei&ght:"), ReferenceWeightEdit, 2, 0);
    panel->addLayout(form);
    ConstrainBox = new QCheckBox(QStringLiteral("&Constrain by the section"), this);
    StartFromSectionBox = new QCheckBox(QStringLiteral("&Start from the section"), this);
    FadeBox = new QCheckBox(QStringLiteral("&Fade by coverage"), this);
    DoiBox = new QCheckBox(QStringLiteral("&Depth of investigation"), this);
    DoiBox->setObjectName(QStringLiteral("DoiBox"));
    DoiBox->setToolTip(QStringLiteral("After the inversion, two more with other reference models tell where the "
                                      "image depends on the data; the cells beyond the DOI given fade"));
    DoiLimitEdit = field("DoiLimitEdit");
    DoiLimitEdit->setToolTip(QStringLiteral("The cells whose depth-of-investigation index is above this fade; "
                                            "the dashed line is this index"));
    place(QStringLiteral("DOI limit:"), DoiLimitEdit, 2, 1);
    // Two by two, each as wide as its text: a click beside a text is no
    // click on the box.
    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(4);
    boxes->addWidget(ConstrainBox, 0, 0, Qt::AlignLeft);
    boxes->addWidget(StartFromSectionBox, 0, 1, Qt::AlignLeft);
    boxes->addWidget(FadeBox, 1, 0, Qt::AlignLeft);
    boxes->addWidget(DoiBox, 1, 1, Qt::AlignLeft);
    panel->addLayout(boxes);
    auto* meshRow = new QGridLayout;
    NewMeshButton = new QPushButton(QStringLiteral("&New mesh"), this);
    FixButton = new QPushButton(QStringLiteral("Fi&x"), this);
    FreeButton = new QPushButton(QStringLiteral("F&ree"), this);
    LimitsButton = new QPushButton(QStringLiteral("&Limits..."), this);
    NewMeshButton->setToolTip(QStringLiteral("The default mesh over the data, every cell at the starting value"));
    FixButton->setToolTip(QStringLiteral("Fix the selected cells at their values (select with the chart's right-click menu)"));
    FreeButton->setToolTip(QStringLiteral("Free the selected cells and lift their limits"));
    LimitsButton->setToolTip(QStringLiteral("The lowest and highest resistivity of the selected cells"));
    meshRow->addWidget(NewMeshButton, 0, 0);
    meshRow->addWidget(LimitsButton, 0, 1);
    meshRow->addWidget(FixButton, 1, 0);
    meshRow->addWidget(FreeButton, 1, 1);
    panel->addLayout(meshRow);
    InvertButton = new QPushButton(QStringLiteral("&Invert"), this);
    InvertButton->setObjectName(QStringLiteral("InvertButton"));
    Progress = new QProgressBar(this);
    Progress->setRange(0, 100);
    Progress->hide();
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->hide();
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(InvertButton);
    runRow->addWidget(Progress, 1);
    runRow->addWidget(CancelButton);
    panel->addLayout(runRow);
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
    // The header and two rows at least (beside its page's tab, on a small
    // screen); it grows with the window and shows the newest row.
    IterationTable->setMinimumHeight(IterationTable->horizontalHeader()->sizeHint().height() +
                                     2 * IterationTable->verticalHeader()->defaultSectionSize() + 4);
    PanelTabs = new QTabWidget(this);
    PanelTabs->setObjectName(QStringLiteral("PanelTabs"));
    PanelTabs->addTab(IterationTable, QStringLiteral("Iterations"));
    Constraints = new TInversionConstraints(this);
    // Scrolled: the page's two lists need more height than the iterations'
    // table, and the window must fit a small screen.
    auto* constraintsScroll = new QScrollArea(this);
    constraintsScroll->setObjectName(QStringLiteral("ConstraintsScroll"));
    constraintsScroll->setWidgetResizable(true);
    constraintsScroll->setFrameShape(QFrame::NoFrame);
    constraintsScroll->setWidget(Constraints);
    PanelTabs->addTab(constraintsScroll, QStringLiteral("&Known geology"));
    PanelTabs->setTabToolTip(1, QStringLiteral("Lines, boundaries and well logs the inversion is to respect"));
    // Alt+K leads into the page's first list.
    connect(PanelTabs, &QTabWidget::currentChanged, this, [this, constraintsScroll](int Index) {
        if (PanelTabs->widget(Index) == constraintsScroll)
            Constraints->BoundaryTable->setFocus(Qt::ShortcutFocusReason);
    });
    panel->addWidget(PanelTabs, 1);
    UnderlayButton = new QPushButton(QStringLiteral("Use as &underlay"), this);
    RemoveMisfitButton = new QPushButton(QStringLiteral("Remove misfit &beyond..."), this);
    RemoveMisfitButton->setObjectName(QStringLiteral("RemoveMisfitButton"));
    RemoveMisfitButton->setToolTip(QStringLiteral("Removes the data the inverted model explains worst: those whose "
                                                  "misfit is beyond a per cent you type (one step of the forward "
                                                  "window's data, Ctrl+Z there takes it back)."));
    NewSectionButton = new QPushButton(QStringLiteral("Ne&w section from data"), this);
    NewSectionButton->setObjectName(QStringLiteral("NewSectionButton"));
    NewSectionButton->setToolTip(QStringLiteral("A new section framing these data, the inverted image under it"));
    SaveButton = new QPushButton(QStringLiteral("Save &table..."), this);
    PrintButton = new QPushButton(QStringLiteral("Print pre&view..."), this);
    ExportButton = new QPushButton(QStringLiteral("Ex&port picture..."), this);
    auto* resultRows = new QGridLayout;
    resultRows->addWidget(UnderlayButton, 0, 0);
    resultRows->addWidget(SaveButton, 0, 1);
    resultRows->addWidget(RemoveMisfitButton, 1, 0, 1, 2);
    resultRows->addWidget(NewSectionButton, 2, 0, 1, 2);
    resultRows->addWidget(PrintButton, 3, 0);
    resultRows->addWidget(ExportButton, 3, 1);
    panel->addLayout(resultRows);
    auto* panelHost = new QWidget(this);
    panelHost->setLayout(panel);
    panelHost->setMaximumWidth(360);
    outer->addWidget(panelHost);

    auto* charts = new QVBoxLayout;
    ChartTabs = new QTabWidget(this);
    ChartTabs->setObjectName(QStringLiteral("ChartTabs"));
    const auto meshChart = [this](const QString& Tab, const QString& Title, const QString& Units) {
        auto* chart = new TTModelSection2d();
        PrepareInversionChart(*chart, Title, Units);
        chart->OnAfterDraw = [this, chart](TCustomPlotPanelExtended*) {
            chart->MeshAfterDraw();
            DrawOutlines(*chart, FOutlines);
            if (chart == MeshChart)
                DrawOutlines(*chart, FCutEdges, 3); // where the smoothing is cut
            if (chart != MeshChart)
                DrawOutlines(*chart, FDoiContour, 2, true);
        };
        QWidget* host = chart->Widget(ChartTabs);
        host->setMinimumSize(370, 150);
        ChartTabs->addTab(host, Tab);
        return chart;
    };
    MeshChart = meshChart(QStringLiteral("&Mesh and start"),
                          QStringLiteral("Parameter mesh and starting model (ohm-m); right-click for the tools"),
                          QStringLiteral("ohm-m"));
    MeshChart->ShowMesh = true;
    ModelChart = meshChart(QStringLiteral("Resistivit&y"),
                           QStringLiteral("Inverted resistivity (ohm-m); lengths in m"), QStringLiteral("ohm-m"));
    ChargeabilityChart = meshChart(QStringLiteral("C&hargeability"),
                                   QStringLiteral("Inverted chargeability (%); lengths in m"),
                                   QStringLiteral("%"));
    for (TTModelSection2d* result : {ModelChart, ChargeabilityChart})
        result->ReadOnly = true;
    // The results' tabs open once there is a result.
    ChartTabs->setTabEnabled(ResistivityTab, false);
    ChartTabs->setTabEnabled(ChargeabilityTab, false);
    ChartTabs->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    charts->addWidget(ChartTabs, 2);
    // The quantity of the pseudo-sections, with chargeability data.
    FQuantityRow = new QWidget(this);
    QuantityBox = new QComboBox(FQuantityRow);
    QuantityBox->setObjectName(QStringLiteral("QuantityBox"));
    QuantityBox->addItems({QStringLiteral("Resistivity"), QStringLiteral("Chargeability")});
    QuantityBox->setToolTip(QStringLiteral("The quantity the measured, calculated and misfit charts show"));
    auto* quantityLabel = new QLabel(QStringLiteral("&Quantity of the pseudo-sections:"), FQuantityRow);
    quantityLabel->setBuddy(QuantityBox);
    auto* quantityRow = new QHBoxLayout(FQuantityRow);
    quantityRow->setContentsMargins(0, 0, 0, 0);
    quantityRow->addStretch(1);
    quantityRow->addWidget(quantityLabel);
    quantityRow->addWidget(QuantityBox);
    FQuantityRow->hide();
    charts->addWidget(FQuantityRow);
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
    // The response's charts show once an inversion has finished.
    for (TPseudoSection2d* chart : {CalculatedChart, MisfitChart})
        chart->Widget()->hide();
    outer->addLayout(charts, 1);

    setTabOrder(ErrorEdit, LambdaEdit);
    setTabOrder(LambdaEdit, ZWeightEdit);
    setTabOrder(ZWeightEdit, IterationsBox);
    setTabOrder(IterationsBox, ReferenceWeightEdit);
    setTabOrder(ReferenceWeightEdit, ConstrainBox);
    setTabOrder(ConstrainBox, StartFromSectionBox);
    setTabOrder(StartFromSectionBox, FadeBox);
    setTabOrder(FadeBox, DoiBox);
    setTabOrder(DoiBox, DoiLimitEdit);
    setTabOrder(DoiLimitEdit, NewMeshButton);
    setTabOrder(NewMeshButton, FixButton);
    setTabOrder(FixButton, FreeButton);
    setTabOrder(FreeButton, LimitsButton);
    setTabOrder(LimitsButton, InvertButton);

    FUndoKey = [this] { UndoKey(); };
    // Escape cancels the DOI run too.
    AddModellingWindowKeys(*this, &FUndoKey, [this] { return FRun.Busy(); }, [this] { CancelInversion(); });

    FRun.ShowProgressIn(Progress, CancelButton);
    FRun.OnIntermediate = [this](const std::any& Value) {
        if (const TIteration* iteration = std::any_cast<TIteration>(&Value))
            IterationEnded(*iteration);
    };
    FRun.OnEnd = [this](const TRunEnd& End) { RunEnded(End); };
    connect(InvertButton, &QPushButton::clicked, this, [this] { Invert(); });
    connect(NewMeshButton, &QPushButton::clicked, this, [this] { NewMesh(); });
    connect(FixButton, &QPushButton::clicked, this, [this] { FixSelectedCells(true); });
    connect(FreeButton, &QPushButton::clicked, this, [this] { FixSelectedCells(false); });
    connect(LimitsButton, &QPushButton::clicked, this, [this] { AskLimits(); });
    connect(UnderlayButton, &QPushButton::clicked, this, [this] {
        if (OnUseAsUnderlay)
            OnUseAsUnderlay();
    });
    connect(NewSectionButton, &QPushButton::clicked, this, [this] {
        if (OnNewSectionFromData)
            OnNewSectionFromData();
    });
    connect(SaveButton, &QPushButton::clicked, this, [this] { AskSaveTable(); });
    connect(RemoveMisfitButton, &QPushButton::clicked, this, [this] { AskRemoveMisfitBeyond(); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { PreviewChart(); });
    connect(ExportButton, &QPushButton::clicked, this, [this] { ExportChart(); });
    for (QLineEdit* edit : {ErrorEdit, LambdaEdit, ZWeightEdit, ReferenceWeightEdit})
        connect(edit, &QLineEdit::editingFinished, this, [this] { SaveSettings(); });
    connect(DoiLimitEdit, &QLineEdit::editingFinished, this, [this] {
        SaveSettings();
        if (DoiLimit())
            ShowFade();
    });
    connect(DoiBox, &QCheckBox::toggled, this, [this](bool On) {
        SaveSettings();
        // Ticked over a result without it: computed now.
        if (On && FResult && FResult->DepthOfInvestigation.empty() && !FRun.Busy())
            StartDepthOfInvestigation();
        ShowFade();
        ShowState();
    });
    connect(IterationsBox, &QSpinBox::valueChanged, this, [this] { SaveSettings(); });
    connect(ConstrainBox, &QCheckBox::toggled, this, [this] {
        SaveSettings();
        UpdateCutEdges();
    });
    Constraints->OnChanged = [this] { UpdateCutEdges(); };
    connect(StartFromSectionBox, &QCheckBox::toggled, this, [this](bool On) {
        SaveSettings();
        // The mesh chart shows what the inversion will start from.
        if (MeshChart->LastCol >= 0 && !Busy())
            FillStartingValues(On);
    });
    connect(FadeBox, &QCheckBox::toggled, this, [this] {
        SaveSettings();
        ShowFade();
    });
    connect(QuantityBox, &QComboBox::currentIndexChanged, this, [this] { ShowPseudoSections(); });
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
    ReferenceWeightEdit->setText(settings.ReferenceWeight);
    DoiBox->setChecked(settings.DepthOfInvestigation);
    DoiLimitEdit->setText(settings.DoiLimit);
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
    settings.ReferenceWeight = ReferenceWeightEdit->text();
    settings.DepthOfInvestigation = DoiBox->isChecked();
    settings.DoiLimit = DoiLimitEdit->text();
    settings.Save();
}

void TInversionWindow::SetMeasuredData(std::shared_ptr<const TMeasuredData> Data, const QString& Name,
                                       const QString& ErrorPercent, std::shared_ptr<const TMeasuredData> File,
                                       bool DataStep)
{
    // The same measurements (the forward window's object, or its file read
    // again) keep the edited mesh; only new data lay a new one.
    const bool same = Data && FData && (Data == FData || SameMeasurements(*Data, *FData));
    // Data cleaned in the forward window (other data kept of the same file):
    // a mesh the user has edited stays (its fixed cells and limits are the
    // user's work), and so does the error typed; a mesh not edited is laid
    // anew over what the data now see.
    const bool sameFile = File && File == FDataFile;
    const bool cleaned = !same && sameFile && MeshChart->LastCol >= 0 && !(ChartCells(*MeshChart) == FLaidCells);
    FData = std::move(Data);
    FDataFile = std::move(File);
    FDataName = Name;
    if (!ErrorPercent.trimmed().isEmpty() && !same && !sameFile)
        ErrorEdit->setText(ErrorPercent.trimmed());
    DataLabel->setText(FData ? QStringLiteral("Data of %1: %2, %3.")
                                   .arg(Name, ElectrodeCount(static_cast<long long>(FData->Electrodes.size())),
                                        DatumCount(static_cast<long long>(FData->Size())))
                             : QStringLiteral("No measured data: open a file with Modelling > Measured data..."));
    // Another file's data: the image of the data before is no image of
    // these, and must never be laid under their section.
    // The DOI run is of the result shown: it goes with it.
    if (!same && !sameFile && ComputingDepthOfInvestigation())
        FRun.Drop();
    if (!same && !sameFile && !Busy())
        DropResult();
    if (same) {
        // A data step that changed no datum asks nothing: the model area
        // is the next opening's question.
        if (!DataStep)
            FollowModelArea();
        EnableCommands();
        return;
    }
    if (cleaned) {
        ShowPseudoSections();
        EnableCommands();
        return;
    }
    if (FData)
        NewMesh();
    ShowPseudoSections();
    ShowState();
    EnableCommands();
}

void TInversionWindow::Refuse(const QString& Reason)
{
    FError = Reason;
    ShowState();
}

// --- The parameter mesh -------------------------------------------------------------------

void TInversionWindow::TakeOutlines()
{
    FOutlines.clear();
    try {
        const TForwardModel ground = PrepareForwardModel(FSection.Model, FSection.Nodes, FSection.ModelArea, 100.0);
        const TModelGeometry& geometry = ground.Geometry;
        for (int e = 0; e < geometry.ModelEdgeCount && e < static_cast<int>(geometry.Edges.size()); ++e) {
            const auto [a, b] = geometry.Edges[static_cast<size_t>(e)];
            FOutlines.emplace_back(geometry.Points.at(static_cast<size_t>(a)), geometry.Points.at(static_cast<size_t>(b)));
        }
    } catch (const std::exception&) {
        // A section that cannot be prepared draws no outline.
    }
}

void TInversionWindow::ShowConstraints()
{
    std::optional<TForwardModel> ground;
    try {
        ground = PrepareForwardModel(FSection.Model, FSection.Nodes, FSection.ModelArea, 100.0);
    } catch (const std::exception&) {
        // A section that cannot be prepared lists its lines only.
    }
    Constraints->ShowSection(ground ? &*ground : nullptr, FSection.Model, FSection.Lines);
    Constraints->ShowLogs(WellLogs ? WellLogs() : nullptr);
    UpdateCutEdges();
}

void TInversionWindow::UpdateCutEdges()
{
    FCutEdges.clear();
    if (ConstrainBox->isChecked() && MeshChart->LastCol >= 0) {
        try {
            const TInversionMesh mesh = ChartInversionMesh(ChartCells(*MeshChart));
            TStructuralConstraint structure = Constraints->Choice();
            if (!structure.ZoneWeights.empty())
                structure.Zones = CellZones(mesh, PrepareForwardModel(FSection.Model, FSection.Nodes,
                                                                      FSection.ModelArea, 100.0));
            for (const auto& [a, b] : CutEdges(mesh, structure))
                FCutEdges.emplace_back(a, b);
        } catch (const std::exception&) {
            // A weight not yet a number, or a section that cannot be prepared: no edge drawn.
        }
    }
    MeshChart->Invalidate();
}

bool TInversionWindow::NewMesh()
{
    if (!FData) {
        Refuse(QStringLiteral("Open measured data first (Modelling > Measured data...)."));
        return false;
    }
    if (Busy())
        return false;
    TakeOutlines();
    QString sectionRefused; // why the section gave no starting values
    QString areaRefused;    // why the mesh does not lie in the section's model area
    try {
        std::optional<TForwardModel> ground;
        try {
            ground = PrepareForwardModel(FSection.Model, FSection.Nodes, FSection.ModelArea, MedianResistivity(*FData));
        } catch (const std::exception&) {
            // No usable section: the mesh covers the data's own span.
        }
        // Over the section's model area when the electrodes lie on it, else
        // over the data's own span, saying so: the section's relief and
        // regions then play no part in the mesh.
        TInversionMesh mesh;
        try {
            mesh = InversionMeshFor(*FData, ground ? &*ground : nullptr);
        } catch (const std::exception& Error) {
            if (!ground)
                throw;
            mesh = InversionMeshFor(*FData, nullptr);
            areaRefused = QString::fromUtf8(Error.what());
        }
        // The rows bent onto what is ticked on the Known geology page.
        try {
            const std::vector<TConstraintLine> used = ConstrainBox->isChecked()
                                                          ? UsedLines(Constraints->Choice(), ground ? &*ground : nullptr)
                                                          : std::vector<TConstraintLine>{};
            mesh = MeshFollowingConstraint(mesh, used, Constraints->UsedLogs());
        } catch (const std::exception&) {
            // A weight not yet a number or a refused log: straight rows; the run says why.
        }
        const double median = MedianResistivity(*FData);
        std::vector<double> start(static_cast<size_t>(mesh.Cells()), median);
        if (StartFromSectionBox->isChecked()) {
            try {
                start = StartingValues(mesh, true);
            } catch (const std::exception& Error) {
                sectionRefused = QString::fromUtf8(Error.what());
            }
        }
        ShowChartCells(*MeshChart, ChartDataOf(mesh, start), true);
        // Clear model fills the cells with this value.
        MeshChart->HalfSpaceValue = median;
        MarkElectrodes(*MeshChart, *FData);
        FMeshArea = FSection.ModelArea;
        FLaidCells = ChartCells(*MeshChart);
        ShowConstraints(); // the cut edges of the new mesh
    } catch (const std::exception& Error) {
        Refuse(QStringLiteral("No mesh could be laid over the data: %1").arg(QString::fromUtf8(Error.what())));
        return false;
    }
    QStringList notes;
    if (!areaRefused.isEmpty())
        notes << QStringLiteral("%1 The cells cover the survey's own frame.").arg(areaRefused);
    if (!sectionRefused.isEmpty())
        notes << QStringLiteral("The section gives no starting values (%1); the cells start from the data's median.")
                     .arg(sectionRefused);
    FError = notes.join(QLatin1Char('\n'));
    ShowState();
    EnableCommands();
    return true;
}

void TInversionWindow::FollowModelArea()
{
    const TModelArea& area = FSection.ModelArea;
    const TModelArea& laid = FMeshArea;
    const bool moved = area.left != laid.left || area.top != laid.top || area.right != laid.right ||
                       area.bottom != laid.bottom;
    if (!FData || Busy() || MeshChart->LastCol < 0 || !moved)
        return;
    if (ChartCells(*MeshChart) == FLaidCells || !AskKeepEditedMesh(*this)) {
        NewMesh();
        return;
    }
    // Kept over the new area: asked once, not again at every opening.
    FMeshArea = area;
}

std::vector<double> TInversionWindow::StartingValues(const TInversionMesh& Mesh, bool Section) const
{
    const double median = MedianResistivity(*FData);
    if (!Section)
        return std::vector<double>(static_cast<size_t>(Mesh.Cells()), median);
    const TForwardModel ground = PrepareForwardModel(FSection.Model, FSection.Nodes, FSection.ModelArea, median);
    TSurveyInversionOptions options;
    UseSectionInInversion(Mesh, ground, *FData, false, true, options);
    return options.Start;
}

bool TInversionWindow::FillStartingValues(bool Section)
{
    TTModelSection2d& chart = *MeshChart;
    if (!FData || chart.LastCol < 0)
        return false;
    try {
        const TInversionMesh mesh = ChartInversionMesh(ChartCells(chart));
        const std::vector<double> start = StartingValues(mesh, Section);
        // Fixed cells keep the value they were fixed at.
        const int columns = mesh.Columns();
        for (int c = 0; c <= chart.LastCol; ++c)
            for (int r = 0; r <= chart.LastRow; ++r) {
                if (chart.Fixed[c][r])
                    continue;
                const size_t cell = static_cast<size_t>(r) * static_cast<size_t>(columns) + static_cast<size_t>(c);
                double value = start.at(cell);
                chart.SetCellValue(c, r, value);
            }
    } catch (const std::exception& Error) {
        Refuse(QStringLiteral("The section gives no starting values: %1").arg(QString::fromUtf8(Error.what())));
        return false;
    }
    chart.SetScaleFromCells();
    chart.RecordUndo(chart.UndoStore);
    chart.RepaintCells();
    return true;
}

bool TInversionWindow::FixSelectedCells(bool Fix)
{
    TTModelSection2d& chart = *MeshChart;
    const std::vector<std::pair<int, int>> cells = chart.SelectedCells();
    if (cells.empty()) {
        Refuse(QStringLiteral("Select cells in the mesh chart first (right-click it: Selection)."));
        return false;
    }
    for (const auto& [c, r] : cells) {
        chart.Fixed[c][r] = Fix;
        if (!Fix)
            chart.Limits[c][r] = complexM{};
    }
    chart.RecordUndo(chart.UndoStore);
    chart.RepaintCells();
    FError.clear();
    ShowState();
    return true;
}

bool TInversionWindow::LimitSelectedCells(double Lowest, double Highest)
{
    TTModelSection2d& chart = *MeshChart;
    const std::vector<std::pair<int, int>> cells = chart.SelectedCells();
    if (cells.empty()) {
        Refuse(QStringLiteral("Select cells in the mesh chart first (right-click it: Selection)."));
        return false;
    }
    const bool lift = Lowest == 0.0 && Highest == 0.0;
    if (!lift && !(std::isfinite(Lowest) && std::isfinite(Highest) && Lowest > 0.0 && Highest > Lowest)) {
        Refuse(QStringLiteral("The limits must be numbers above 0, the highest above the lowest."));
        return false;
    }
    for (const auto& [c, r] : cells)
        chart.Limits[c][r] = complexM{Lowest, Highest};
    chart.RecordUndo(chart.UndoStore);
    chart.RepaintCells();
    FError.clear();
    ShowState();
    return true;
}

void TInversionWindow::AskLimits()
{
    if (MeshChart->SelectedCells().empty()) {
        Refuse(QStringLiteral("Select cells in the mesh chart first (right-click it: Selection)."));
        return;
    }
    double lowest = 0.0, highest = 0.0;
    if (AskLimitValues(*this, lowest, highest))
        LimitSelectedCells(lowest, highest);
}

void TInversionWindow::UndoKey()
{
    if (ChartTabs->currentIndex() == MeshTab && !Busy()) {
        StepBackChartEdit(*MeshChart);
        return;
    }
    if (OnUndo)
        OnUndo();
}

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
    job->Data = FData;
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
    job->Cells = ChartCells(*MeshChart);
    job->Options.ErrorPercent = *error;
    job->Options.ZWeight = *zWeight;
    job->Options.Settings.Lambda = *lambda;
    job->Options.Settings.Iterations = IterationsBox->value();
    job->Options.Settings.ReferenceWeight = *referenceWeight;
    try {
        // The mesh chart's tables are checked before the run starts.
        job->Options.Start = ChartStartingModel(job->Cells, job->Options.Settings);
    } catch (const std::exception& Error) {
        return refuse(QStringLiteral("The mesh cannot be inverted: %1").arg(QString::fromUtf8(Error.what())));
    }
    // Every core the process may run on, at the run's lowered priority.
    job->Options.Forward.Threads = 0;
    TakeOutlines();
    FError.clear();
    FCancelled = false;
    FResult.reset();
    FInverter.reset();
    FDoiRun = false;
    FDoiNote.clear();
    FDoiContour.clear();
    IterationTable->setRowCount(0);
    const int iterations = job->Options.Settings.Iterations;
    const bool started = FRun.Start([job, iterations](TRunControl& Control) {
        if (job->OnStart)
            job->OnStart();
        TInversionOutcome outcome;
        if (Control.Cancelled())
            return std::any(outcome);
        const TMeasuredData& data = *job->Data;
        auto mesh = std::make_shared<TInversionMesh>(ChartInversionMesh(job->Cells));
        TSurveyInversionOptions options = job->Options;
        std::optional<TForwardModel> ground;
        if (job->Constrain && !job->Structure.ZoneWeights.empty())
            ground = PrepareForwardModel(job->Model, job->Nodes, job->Area, MedianResistivity(data));
        // The rows bent onto the ticked lines, boundaries and logs (the
        // chart's mesh when it already is: bending it again moves nothing);
        // straight without any.
        if (!job->Constrain && options.WellLogs.empty())
            mesh->Shifts.clear();
        *mesh = MeshFollowingConstraint(*mesh, job->Constrain ? UsedLines(job->Structure, ground ? &*ground : nullptr)
                                                              : std::vector<TConstraintLine>{},
                                        options.WellLogs);
        if (job->Constrain) {
            // The ticked lines and boundaries cut the smoothness by their weights.
            options.Structure = job->Structure;
            if (ground)
                options.Structure.Zones = CellZones(*mesh, *ground);
        }
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
        } else {
            FDoiNote = QStringLiteral("its computation was cancelled");
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
        FPicture = std::move(picture);
        FInverter = outcome->Inverter;
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
    if (!FResult || FRun.Busy())
        return false;
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

// --- Showing ------------------------------------------------------------------------------

void TInversionWindow::ShowModel()
{
    if (!FPicture)
        return;
    // The colours span the cells the data see: a cell no datum sees would
    // stretch them over the whole image.
    ShowChartCells(*ModelChart, ChartDataOf(FPicture->Mesh, FPicture->Resistivities), true);
    UseCoveredScale(*ModelChart, FPicture->Resistivities, FPicture->Coverage, false);
    const bool chargeable = FPicture->Chargeabilities.size() == FPicture->Resistivities.size();
    if (chargeable) {
        // Chargeabilities on a scale from 0: a nearly even image is not
        // stretched over the last digits of its values.
        ShowChartCells(*ChargeabilityChart, ChartDataOf(FPicture->Mesh, FPicture->Chargeabilities), false);
        UseCoveredScale(*ChargeabilityChart, FPicture->Chargeabilities, FPicture->Coverage, true);
    }
    ChartTabs->setTabEnabled(ResistivityTab, true);
    ChartTabs->setTabEnabled(ChargeabilityTab, chargeable);
    if (FData)
        for (TTModelSection2d* chart : {ModelChart, ChargeabilityChart})
            MarkElectrodes(*chart, *FData);
    ShowFade();
}

void TInversionWindow::ShowFade()
{
    // The depth of investigation, shown while ticked, goes with the picture
    // (for the image) and draws its contour.
    FDoiContour.clear();
    if (FPicture) {
        FPicture->DepthOfInvestigation.clear();
        bool typed = true;
        const std::optional<double> limit = TypedNumber(DoiLimitEdit->text(), true, typed);
        if (limit && DoiBox->isChecked() && FResult &&
            FResult->DepthOfInvestigation.size() == FPicture->Resistivities.size()) {
            FPicture->DepthOfInvestigation = FResult->DepthOfInvestigation;
            FPicture->DoiLimit = *limit;
            FDoiContour = CellContour(FPicture->Mesh, FPicture->DepthOfInvestigation, *limit);
        }
    }
    ararofdoubleM fade;
    if (FPicture && (FadeBox->isChecked() || !FPicture->DepthOfInvestigation.empty())) {
        const TInversionMesh& mesh = FPicture->Mesh;
        std::vector<std::vector<double>> cells = CoverageFade(mesh.Columns(), mesh.Rows(), FPicture->Coverage);
        if (!FadeBox->isChecked() || cells.empty())
            cells.assign(static_cast<size_t>(mesh.Columns()), std::vector<double>(static_cast<size_t>(mesh.Rows()), 0.0));
        const std::vector<double>& doi = FPicture->DepthOfInvestigation;
        for (size_t c = 0; c < cells.size() && !doi.empty(); ++c)
            for (size_t r = 0; r < cells[c].size(); ++r)
                cells[c][r] = std::max(cells[c][r],
                                       FadeOfDepthOfInvestigation(doi.at(r * cells.size() + c), FPicture->DoiLimit));
        fade = FadeTable(cells);
    }
    for (TTModelSection2d* chart : {ModelChart, ChargeabilityChart}) {
        if (chart->LastCol < 0)
            continue;
        chart->CellFade = fade;
        chart->RepaintCells();
    }
}

std::vector<double> TInversionWindow::InvertedMisfits() const
{
    const TMeasuredData* data = InvertedData();
    if (!data)
        return {};
    const std::vector<double>& measured =
        FResult->Measured.size() == data->Resistivities.size() ? FResult->Measured : data->Resistivities;
    std::vector<double> misfits(measured.size());
    for (size_t d = 0; d < misfits.size(); ++d)
        misfits[d] = 100.0 * (FResult->Response.at(d) - measured[d]) / measured[d];
    return misfits;
}

void TInversionWindow::AskRemoveMisfitBeyond()
{
    if (!InvertedData() || !OnRemoveMisfitBeyond)
        return;
    if (const std::optional<double> percent =
            AskPositiveNumber(QStringLiteral("Remove misfit"),
                              QStringLiteral("Remove the data whose misfit after the inversion is beyond this many "
                                             "per cent:"),
                              QStringLiteral("20")))
        OnRemoveMisfitBeyond(InvertedData(), InvertedMisfits(), *percent);
}

void TInversionWindow::DropResult()
{
    FPicture.reset();
    FResult.reset();
    FResultData.reset();
    FResultFile.reset();
    FInverter.reset();
    FDoiNote.clear();
    FDoiContour.clear();
    FCancelled = false;
    IterationTable->setRowCount(0);
    ChartTabs->setTabEnabled(ResistivityTab, false);
    ChartTabs->setTabEnabled(ChargeabilityTab, false);
    ChartTabs->setCurrentIndex(MeshTab);
}

bool TInversionWindow::ImageOf(const TMeasuredData* File) const
{
    // The file the image's data were kept from, else those data.
    const TMeasuredData* source = FResultFile ? FResultFile.get() : FResultData.get();
    return FPicture && source && File && (source == File || SameMeasurements(*source, *File));
}

void TInversionWindow::ShowPseudoSections()
{
    // The data alone before an inversion; with one, the data it inverted.
    const bool inverted = FResult && FResultData;
    const TMeasuredData* shown = inverted ? FResultData.get() : FData.get();
    // Chargeabilities can be looked at as soon as the data hold some.
    const bool charged = shown && std::any_of(shown->Chargeabilities.begin(), shown->Chargeabilities.end(),
                                              [](double Eta) { return std::isfinite(Eta); });
    FQuantityRow->setVisible(charged);
    const bool chargeability = charged && QuantityBox->currentIndex() == 1;
    const bool compared =
        inverted && (!chargeability || FResult->ChargeabilityResponse.size() == shown->Chargeabilities.size());
    for (TPseudoSection2d* chart : {CalculatedChart, MisfitChart}) {
        chart->Widget()->setVisible(compared);
        if (!compared)
            chart->VertexCount = 0; // nothing to print or export
    }
    if (!shown || shown->Size() == 0)
        return;
    const TMeasuredData& data = *shown;
    const TSurvey survey = data.Survey();
    const std::vector<TPseudoPoint> all = PseudoSectionPoints(survey);
    double deepest = 0.0;
    for (const TPseudoPoint& point : all)
        deepest = std::max(deepest, point.Depth);
    // The survey's frame, as the mesh covers it: within the model area when
    // the electrodes stand in it.
    const TModelArea& area = FSection.ModelArea;
    double left = area.left, right = area.right;
    if (const TSurveyFrame frame = SurveyFrame(survey); !frame.Empty()) {
        const std::vector<double> used = UsedElectrodePositions(survey);
        const bool inside = used.front() >= area.left && used.back() <= area.right;
        left = inside ? std::max(area.left, frame.Left) : frame.Left;
        right = inside ? std::min(area.right, frame.Right) : frame.Right;
    }
    // The ground the data hang from: the inverted mesh's, else the laid
    // mesh's, else the data's own; shown as such where it has relief or
    // the file gives elevations.
    std::vector<TGeometryPoint> surface;
    if (FPicture) {
        for (size_t c = 0; c < FPicture->Mesh.ColumnEdges.size() && c < FPicture->Mesh.Elevations.size(); ++c)
            surface.push_back({FPicture->Mesh.ColumnEdges[c], FPicture->Mesh.Elevations[c]});
    } else if (MeshChart->LastCol >= 0 && MeshChart->ReliefX.Length() == MeshChart->ReliefZ.Length()) {
        for (int c = 0; c < MeshChart->ReliefX.Length(); ++c)
            surface.push_back({MeshChart->ReliefX[c], MeshChart->ReliefZ[c]});
    } else {
        surface = MeasuredSurface(data);
    }
    if (!data.HasElevations && !SurfaceHasRelief(surface))
        surface.clear();
    // The values of the quantity shown, datum by datum: after an inversion
    // as it compared them (a resistance's ρa formed with the mesh's
    // geometric factor, over a relief not the flat one); chargeabilities
    // where the file gives one, their misfit the difference in per cent.
    std::vector<TPseudoPoint> points;
    std::vector<double> measured, calculated, misfit;
    const std::vector<double> misfits = chargeability || !compared ? std::vector<double>() : InvertedMisfits();
    const std::vector<double>& rhoa =
        FResult && FResult->Measured.size() == data.Resistivities.size() ? FResult->Measured : data.Resistivities;
    for (size_t d = 0; d < all.size(); ++d) {
        if (chargeability) {
            const double eta = data.Chargeabilities.at(d);
            const double response = compared ? FResult->ChargeabilityResponse.at(d) : 0.0;
            if (!std::isfinite(eta) || !std::isfinite(response))
                continue;
            measured.push_back(eta);
            calculated.push_back(response);
            misfit.push_back(response - eta);
        } else {
            measured.push_back(rhoa.at(d));
            if (compared) {
                calculated.push_back(FResult->Response.at(d));
                misfit.push_back(misfits.at(d));
            }
        }
        points.push_back(all[d]);
    }
    const QString quantity = chargeability ? QStringLiteral("apparent chargeability (%)")
                                           : QStringLiteral("apparent resistivity");
    SetPseudoSectionTitle(*MeasuredChart, QStringLiteral("Measured ") + quantity);
    SetPseudoSectionTitle(*CalculatedChart, QStringLiteral("Calculated ") + quantity);
    SetPseudoSectionTitle(*MisfitChart, chargeability ? QStringLiteral("Difference, calculated - measured (%)")
                                                      : QStringLiteral("Misfit (%)"));
    ShowFieldPseudoSection(*MeasuredChart, points, measured, left, right, deepest, surface, false);
    if (!compared) {
        MeasuredChart->RebuildPicture();
        return;
    }
    ShowFieldPseudoSection(*CalculatedChart, points, calculated, left, right, deepest, surface, false);
    // Measured and calculated on one scale.
    if (!points.empty()) {
        const auto [lowMeasured, highMeasured] = std::minmax_element(measured.begin(), measured.end());
        const auto [lowCalculated, highCalculated] = std::minmax_element(calculated.begin(), calculated.end());
        const double low = std::min(*lowMeasured, *lowCalculated), high = std::max(*highMeasured, *highCalculated);
        if (high > low && (chargeability || low > 0.0)) {
            SetPseudoSectionRange(*MeasuredChart, low, high);
            SetPseudoSectionRange(*CalculatedChart, low, high);
        }
    }
    MeasuredChart->RebuildPicture();
    CalculatedChart->RebuildPicture();
    ShowFieldPseudoSection(*MisfitChart, points, misfit, left, right, deepest, surface, false);
    UseDivergingScale(*MisfitChart);
    MisfitChart->RebuildPicture();
}

QString TInversionWindow::ResultText() const
{
    if (!FResult || FResult->Steps.empty())
        return {};
    const TInversionStep& last = FResult->Steps.back();
    // The logs' χ² apart: a log the survey disagrees with shows here.
    const QString logs = FResult->Prior.Cells.empty()
                             ? QString()
                             : QStringLiteral("; well logs (%1): χ² %2")
                                   .arg(CountText(FResult->Prior.CellCount(), QStringLiteral("cell"),
                                                  QStringLiteral("cells")),
                                        ShortNumber(last.PriorChiSquare));
    return QStringLiteral("%1, %2: χ² %3, rrms %4 %%5. %6")
        .arg(CountText(FPicture ? FPicture->Mesh.Cells() : 0, QStringLiteral("cell"), QStringLiteral("cells")),
             IterationCount(last.Iteration), ShortNumber(last.ChiSquare), FixedNumber(last.Rrms, 2), logs,
             QString::fromStdString(FResult->Stop));
}

void TInversionWindow::ShowState()
{
    QString text;
    QString style;
    if (FRun.Busy() && FDoiRun) {
        text = ResultText() + QStringLiteral("\nComputing the depth of investigation…");
    } else if (FRun.Busy()) {
        text = QStringLiteral("Inverting… %1 finished.").arg(IterationCount(std::max(0, IterationTable->rowCount() - 1)));
    } else if (!FError.isEmpty()) {
        text = FError;
        style = QStringLiteral("color: #b00000;");
    } else if (FCancelled) {
        text = FPicture ? QStringLiteral("Cancelled: the image shows the last finished iteration's model.")
                        : QStringLiteral("Cancelled.");
    } else if (FResult && !FResult->Steps.empty()) {
        text = ResultText();
        if (FPicture && !FPicture->DepthOfInvestigation.empty())
            text += QStringLiteral("\nThe pale cells lie beyond the depth of investigation (DOI above %1, the dashed "
                                   "line).")
                        .arg(ShortNumber(FPicture->DoiLimit));
        else if (!FResult->DepthOfInvestigation.empty())
            text += QStringLiteral("\nShown without the depth of investigation (computed; tick it to see it).");
        else
            text += QStringLiteral("\nShown without the depth of investigation%1.")
                        .arg(FDoiNote.isEmpty() ? QString() : QStringLiteral(": ") + FDoiNote);
    } else {
        text = QStringLiteral("Invert makes an image of the ground from the measured data.");
    }
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
}

void TInversionWindow::EnableCommands()
{
    const bool idle = !Busy();
    InvertButton->setEnabled(FData != nullptr);
    const bool mesh = FData != nullptr && MeshChart->LastCol >= 0;
    NewMeshButton->setEnabled(FData != nullptr && idle);
    for (QPushButton* button : {FixButton, FreeButton, LimitsButton})
        button->setEnabled(mesh && idle);
    MeshChart->ReadOnly = !idle;
    const bool image = FPicture.has_value();
    UnderlayButton->setEnabled(image);
    RemoveMisfitButton->setEnabled(InvertedData() != nullptr && !FRun.Busy());
    // Not under a run: its image would belong to the section it started on.
    NewSectionButton->setEnabled(FData != nullptr && idle);
    PrintButton->setEnabled(image);
    ExportButton->setEnabled(image);
    SaveButton->setEnabled(FResult.has_value());
}

// --- Keeping the result -------------------------------------------------------------------

TInversionWindow::TImageFrame TInversionWindow::ModelImageFrame() const
{
    if (!FPicture)
        return {};
    const TInversionMesh& mesh = FPicture->Mesh;
    return {mesh.ColumnEdges.front(), -*std::max_element(mesh.Elevations.begin(), mesh.Elevations.end()),
            mesh.ColumnEdges.back(), -mesh.Bottom};
}

QImage TInversionWindow::ModelImage(int Width) const
{
    if (!FPicture)
        return {};
    const TImageFrame frame = ModelImageFrame();
    const double left = frame.Left, right = frame.Right, top = -frame.Top, bottom = -frame.Bottom;
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
        const TInversionFileFormat format =
            InversionFileFormatOf(FileName.toStdString()).value_or(TInversionFileFormat::Table);
        return SaveBytesAtomically(FileName,
                                   QByteArray::fromStdString(FormatInversionFile(FPicture->Mesh, *FResult, format)), Error);
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return false;
    }
}

void TInversionWindow::AskSaveTable()
{
    // The filters in TInversionFileFormat's order: a name typed without an
    // extension takes the chosen filter's, and the extension tells the format.
    const std::array formats{TInversionFileFormat::Table, TInversionFileFormat::Vtk, TInversionFileFormat::Xyz};
    const auto written = [formats](const QString& FileName, int FilterIndex) {
        if (!QFileInfo(FileName).suffix().isEmpty())
            return FileName;
        const TInversionFileFormat format =
            FilterIndex >= 1 && FilterIndex <= static_cast<int>(formats.size()) ? formats.at(static_cast<size_t>(FilterIndex - 1))
                                                                              : TInversionFileFormat::Table;
        QString name = FileName;
        if (!name.endsWith(QLatin1Char('.')))
            name += QLatin1Char('.');
        return name + QString::fromLatin1(InversionFileExtension(format));
    };
    AskSaveResult(*this, QStringLiteral("SaveTableDialog"), QStringLiteral("Save the cells"),
                  QStringLiteral("Cell table (*.csv)|*.csv|VTK unstructured grid (*.vtk)|*.vtk|"
                                 "Resistivity grid: x elevation resistivity (*.xyz)|*.xyz"),
                  QString(), [this](const QString& FileName, QString& Error) { return SaveTable(FileName, Error); }, {},
                  written);
}

TCustomChart* TInversionWindow::ChosenChart()
{
    std::vector<TCustomChart*> shown{ModelChart};
    if (FPicture && FPicture->Chargeabilities.size() == FPicture->Resistivities.size())
        shown.push_back(ChargeabilityChart);
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
