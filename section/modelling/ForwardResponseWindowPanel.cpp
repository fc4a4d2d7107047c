#include "section/modelling/ForwardResponseWindow.h"

#include "section/modelling/ForwardResponseWindow_p.h"

#include "section/modelling/ModellingWindowCommands.h"
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


namespace lp {

// --- The options and the charts ---------------------------------------------------------

namespace {

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

} // namespace

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
    // Those the data do not hold are disabled and hidden (ShowComparison).
    QuantityBox->addItems({QStringLiteral("Resistivity"), QStringLiteral("Chargeability"), QStringLiteral("Phase")});
    totalsRow->addWidget(MisfitLabel, 1);
    totalsRow->addWidget(QuantityBox);
    results->addLayout(totalsRow);
    MisfitLabel->hide();
    QuantityBox->hide();
    MeasuredChart = AddChart(QStringLiteral("Measured apparent resistivity"), QStringLiteral("ohm-m")).Chart;
    ResistivityChart = AddChart(QStringLiteral("Apparent resistivity"), QStringLiteral("ohm-m")).Chart;
    ChargeabilityChart = AddChart(QStringLiteral("Apparent chargeability"), QStringLiteral("%")).Chart;
    MisfitChart = AddChart(QStringLiteral("Misfit"), QStringLiteral("%")).Chart;
    PhaseChart = AddChart(QStringLiteral("Apparent phase, magnitude"), QStringLiteral("mrad")).Chart;
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
    chart->OnAfterDraw = [&kept](TCustomPlotPanelExtended*) { DrawPseudoSectionColorBar(*kept.Chart, kept.Unit); };
    chart->OnMouseMove = [this, &kept](TControl*, TShiftState, int X, int Y) {
        HoverLabel->setText(DatumAt(kept, X, Y));
    };
    chart->OnMouseLeave = [this](TControl*) { HoverLabel->clear(); };
    kept.Host = chart->Widget(this);
    kept.Host->setMinimumSize(300, ChartHeight);
    kept.Host->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    FCharts.push_back(std::move(parts));
    return kept;
}

} // namespace lp
