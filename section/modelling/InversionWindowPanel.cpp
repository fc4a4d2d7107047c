#include "section/modelling/InversionWindow.h"

#include "section/modelling/InversionWindow_p.h"

#include "platform/graphics/Metafile.h"
#include "section/inversion/InversionChartData.h"
#include "section/modelling/ForwardPseudoSection.h"
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



namespace lp {

// --- The options and the charts' layout ---------------------------------------------------

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
    form->setVerticalSpacing(2); // with the rows of ticks below, in the height an 800 by 600 screen leaves
    const auto place = [this, form](const QString& Label, QWidget* Field, int Row, int Column) {
        auto* label = new QLabel(Label, this);
        label->setBuddy(Field);
        form->addWidget(label, Row, 2 * Column);
        form->addWidget(Field, Row, 2 * Column + 1);
        return label;
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
    // The phases' absolute error, the same for every datum; used only when
    // the data hold phases. Each of its letters is another control's key
    // already: it is reached with Tab from the DOI limit.
    PhaseErrorEdit = field("PhaseErrorEdit");
    PhaseErrorEdit->setToolTip(QStringLiteral("The absolute error of every measured phase whose file gives none "
                                              "(iperr), in mrad; the phases are fitted to their errors after the "
                                              "resistivity"));
    // Shown only with phases: without, its row takes no height.
    PhaseErrorLabel = place(QStringLiteral("Phase error (mrad):"), PhaseErrorEdit, 3, 0);
    PhaseErrorLabel->hide();
    PhaseErrorEdit->hide();
    // Two by two, each as wide as its text: a click beside a text is no
    // click on the box.
    auto* boxes = new QGridLayout;
    boxes->setHorizontalSpacing(4);
    boxes->setVerticalSpacing(0);
    boxes->addWidget(ConstrainBox, 0, 0, Qt::AlignLeft);
    boxes->addWidget(StartFromSectionBox, 0, 1, Qt::AlignLeft);
    boxes->addWidget(FadeBox, 1, 0, Qt::AlignLeft);
    boxes->addWidget(DoiBox, 1, 1, Qt::AlignLeft);
    SharpBox = new QCheckBox(QStringLiteral("Sharp boundaries"), this);
    SharpBox->setObjectName(QStringLiteral("SharpBox"));
    SharpBox->setToolTip(QStringLiteral("Layers and bodies end in steps, not ramps: the roughness is measured by its "
                                        "L1 norm, each pair of neighbours weighted anew every iteration"));
    RobustBox = new QCheckBox(QStringLiteral("Robust to bad data"), this);
    RobustBox->setObjectName(QStringLiteral("RobustBox"));
    RobustBox->setToolTip(QStringLiteral("Data far off the response weigh less, anew every iteration, so that a few "
                                         "bad readings do not shape the image; chi-square stays on the data's errors"));
    boxes->addWidget(SharpBox, 2, 0, Qt::AlignLeft);
    boxes->addWidget(RobustBox, 2, 1, Qt::AlignLeft);
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
    IterationTable = new QTableWidget(0, 5, this);
    IterationTable->setObjectName(QStringLiteral("IterationTable"));
    IterationTable->setHorizontalHeaderLabels({QStringLiteral("Iteration"), QStringLiteral("χ²"),
                                               QStringLiteral("rrms %"), QStringLiteral("λ"),
                                               QStringLiteral("χ² phases")});
    // The phases' column only once a run inverted phases (ShowPhaseChiSquare).
    IterationTable->setColumnHidden(PhaseChiSquareColumn, true);
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
    HoleTable = new QTableWidget(0, 5, this);
    HoleTable->setObjectName(QStringLiteral("HoleTable"));
    HoleTable->setHorizontalHeaderLabels({QStringLiteral("Hole"), QStringLiteral("Electrode"), QStringLiteral("x (m)"),
                                          QStringLiteral("Depth (m)"), QStringLiteral("Elevation (m)")});
    HoleTable->verticalHeader()->hide();
    HoleTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    HoleTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    HoleTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    HoleTable->horizontalHeader()->setStretchLastSection(true);
    PanelTabs->addTab(HoleTable, QStringLiteral("Electrodes"));
    PanelTabs->setTabToolTip(2, QStringLiteral("The electrodes in the data's holes, each hole from the top down"));
    PanelTabs->setTabVisible(2, false);
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
    // The phase as the field shows it: its magnitude. Every letter is some
    // other control's key already: the tab is clicked or reached with Ctrl+Tab.
    PhaseChart = meshChart(QStringLiteral("Phase"), QStringLiteral("Inverted phase, magnitude (mrad); lengths in m"),
                           QStringLiteral("mrad"));
    for (TTModelSection2d* result : {ModelChart, ChargeabilityChart, PhaseChart})
        result->ReadOnly = true;
    // The results' tabs open once there is a result.
    ChartTabs->setTabEnabled(ResistivityTab, false);
    ChartTabs->setTabEnabled(ChargeabilityTab, false);
    ChartTabs->setTabEnabled(PhaseTab, false);
    ChartTabs->setTabVisible(PhaseTab, false);
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
    // Each with its colour bar, as the forward window's: the misfit's in
    // per cent (the phases' difference in mrad), the others' in the quantity shown.
    const auto pseudo = [this, charts](const QString& Title, bool Misfit) {
        FMetafiles.push_back(std::make_unique<TMetafile>());
        TPseudoSection2d* chart = CreateFieldPseudoSection(Title, *FMetafiles.back());
        chart->OnAfterDraw = [this, chart, Misfit](TCustomPlotPanelExtended*) {
            const bool phase = FPseudoUnit == QStringLiteral("mrad");
            DrawPseudoSectionColorBar(*chart, Misfit && !phase ? QStringLiteral("%") : FPseudoUnit);
        };
        QWidget* host = chart->Widget(this);
        host->setMinimumSize(300, 90);
        host->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        charts->addWidget(host, 1);
        return chart;
    };
    MeasuredChart = pseudo(QStringLiteral("Measured apparent resistivity"), false);
    CalculatedChart = pseudo(QStringLiteral("Calculated apparent resistivity"), false);
    MisfitChart = pseudo(QStringLiteral("Misfit (%)"), true);
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
    setTabOrder(DoiLimitEdit, PhaseErrorEdit);
    setTabOrder(PhaseErrorEdit, SharpBox);
    setTabOrder(SharpBox, RobustBox);
    setTabOrder(RobustBox, NewMeshButton);
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
    for (QLineEdit* edit : {ErrorEdit, LambdaEdit, ZWeightEdit, ReferenceWeightEdit, PhaseErrorEdit})
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
    for (QCheckBox* box : {SharpBox, RobustBox})
        connect(box, &QCheckBox::toggled, this, [this] { SaveSettings(); });
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

} // namespace lp
