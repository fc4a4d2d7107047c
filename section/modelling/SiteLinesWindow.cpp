#include "section/modelling/SiteLinesWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotSeries.h"
#include "chart/extensions/grid3d/PlotColorGridSeries.h"
#include "platform/core/SafeSave.h"
#include "platform/ui/Dialogs.h"
#include "section/inversion/InversionChartData.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/InversionCharts.h"
#include "section/modelling/InversionWindow.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/modelling/RunOptionFields.h"
#include "section/modelling/SiteFenceChart.h"
#include "section/modelling/SiteFenceSeries.h"
#include "section/views/Section2D.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtGui/QScreen>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QTableWidget>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// What the run posts as a line's inversion moves on.
struct TLineProgress {
    size_t Line = 0;
    std::string What;
};

QString Text(const std::string& Value)
{
    return QString::fromStdString(Value);
}

} // namespace

TSiteLinesWindow::TSiteLinesWindow(QWidget* Parent) : QWidget(Parent, Qt::Window)
{
    setObjectName(QStringLiteral("SiteLines"));
    setWindowTitle(QStringLiteral("Several lines"));
    CreatePanel();
    QSize size(1000, 680);
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    ShowLines();
    UpdateMap();
    ShowState();
    EnableCommands();
}

TSiteLinesWindow::~TSiteLinesWindow()
{
    FRun.Drop();
    // The charts go first, while their windows (inside ours) still stand.
    delete MapChart;
    delete ImageChart;
    delete FenceChart;
    delete SliceChart;
}

void TSiteLinesWindow::CreatePanel()
{
    auto* outer = new QHBoxLayout(this);
    auto* panel = new QVBoxLayout;
    auto* linesLabel = new QLabel(QStringLiteral("&Lines of the site (files with map coordinates):"), this);
    linesLabel->setWordWrap(true);
    LineTable = new QTableWidget(0, 5, this);
    LineTable->setObjectName(QStringLiteral("LineTable"));
    LineTable->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("Electrodes"), QStringLiteral("Data"),
                                          QStringLiteral("χ²"), QStringLiteral("rrms %")});
    LineTable->verticalHeader()->hide();
    LineTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    LineTable->setSelectionMode(QAbstractItemView::SingleSelection);
    LineTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LineTable->setTabKeyNavigation(false);
    LineTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    LineTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    LineTable->setMinimumHeight(LineTable->horizontalHeader()->sizeHint().height() +
                                4 * LineTable->verticalHeader()->defaultSectionSize() + 4);
    linesLabel->setBuddy(LineTable);
    panel->addWidget(linesLabel);
    panel->addWidget(LineTable, 1);
    auto* listRow = new QHBoxLayout;
    AddButton = new QPushButton(QStringLiteral("&Add..."), this);
    AddButton->setObjectName(QStringLiteral("AddButton"));
    RemoveButton = new QPushButton(QStringLiteral("&Remove"), this);
    RemoveButton->setObjectName(QStringLiteral("RemoveButton"));
    listRow->addWidget(AddButton);
    listRow->addWidget(RemoveButton);
    panel->addLayout(listRow);

    auto* form = new QGridLayout;
    const TRunOptionFields fields = AddRunOptionFields(*this, *form);
    ErrorEdit = fields.Error;
    LambdaEdit = fields.Lambda;
    IterationsBox = fields.Iterations;
    panel->addLayout(form);
    FadeBox = new QCheckBox(QStringLiteral("Fade by co&verage"), this);
    FadeBox->setObjectName(QStringLiteral("FadeBox"));
    FadeBox->setChecked(TInversionWindowSettings::Load().FadeByCoverage);
    FadeBox->setToolTip(QStringLiteral("Cells the data see little fade toward white, in every view"));
    panel->addWidget(FadeBox);
    InvertButton = new QPushButton(QStringLiteral("&Invert all"), this);
    InvertButton->setObjectName(QStringLiteral("InvertButton"));
    panel->addWidget(InvertButton);
    AddProgressRow(*this, *panel, QString(), Progress, StopButton);
    StopButton->setText(QStringLiteral("&Stop"));
    StopButton->setObjectName(QStringLiteral("StopButton"));
    StateLabel = new QLabel(this);
    StateLabel->setObjectName(QStringLiteral("StateLabel"));
    StateLabel->setWordWrap(true);
    StateLabel->setMinimumWidth(200);
    StateLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    panel->addWidget(StateLabel, 1);
    ExportButton = new QPushButton(QStringLiteral("E&xport"), this);
    ExportButton->setObjectName(QStringLiteral("ExportButton"));
    auto* exportMenu = new QMenu(ExportButton);
    exportMenu->setObjectName(QStringLiteral("ExportMenu"));
    exportMenu->addAction(QStringLiteral("&Tables (CSV) into a folder..."), this, [this] { AskExportTables(); })
        ->setObjectName(QStringLiteral("ExportTablesAction"));
    exportMenu->addAction(QStringLiteral("&Volume for ParaView (VTK)..."), this, [this] { AskExportVolume(); })
        ->setObjectName(QStringLiteral("ExportVolumeAction"));
    exportMenu->addAction(QStringLiteral("&Picture of the fence..."), this, [this] { AskSaveFencePicture(); })
        ->setObjectName(QStringLiteral("ExportPictureAction"));
    ExportButton->setMenu(exportMenu);
    panel->addWidget(ExportButton);
    auto* panelHost = new QWidget(this);
    panelHost->setLayout(panel);
    panelHost->setMaximumWidth(300);
    outer->addWidget(panelHost);
    outer->addWidget(CreateResultTabs(), 1);

    setTabOrder(LineTable, AddButton);
    setTabOrder(AddButton, RemoveButton);
    setTabOrder(RemoveButton, ErrorEdit);
    setTabOrder(ErrorEdit, LambdaEdit);
    setTabOrder(LambdaEdit, IterationsBox);
    setTabOrder(IterationsBox, FadeBox);
    setTabOrder(FadeBox, InvertButton);
    setTabOrder(InvertButton, StopButton);
    setTabOrder(StopButton, ExportButton);
    setTabOrder(ExportButton, ResultTabs);
    setTabOrder(ResultTabs, LineBox);
    setTabOrder(LineBox, OpenSectionButton);
    setTabOrder(OpenSectionButton, FrontViewButton);
    setTabOrder(FrontViewButton, DepthsEdit);
    setTabOrder(DepthsEdit, SliceBox);

    // Escape stops a run under way, else closes the window.
    AddModellingWindowKeys(*this, nullptr, [this] { return FRun.Busy(); }, [this] { Stop(); });
    FRun.ShowProgressIn(Progress, StopButton);
    FRun.OnIntermediate = [this](const std::any& Value) {
        if (const TLineProgress* note = std::any_cast<TLineProgress>(&Value)) {
            const QString name = note->Line < FLines.size() ? Text(FLines[note->Line].Name) : QString();
            FProgressText = QStringLiteral("%1: %2").arg(name, Text(note->What));
            ShowState();
        }
    };
    FRun.OnEnd = [this](const TRunEnd& End) { RunEnded(End); };
    connect(AddButton, &QPushButton::clicked, this, [this] { AskAddLines(); });
    connect(RemoveButton, &QPushButton::clicked, this, [this] { RemoveSelectedLine(); });
    connect(LineTable, &QTableWidget::itemSelectionChanged, this, [this] {
        EnableCommands();
        const int row = LineTable->currentRow();
        if (row >= 0 && ImagesOfListedLines())
            ShowLine(row);
    });
    connect(InvertButton, &QPushButton::clicked, this, [this] { InvertAll(); });
    connect(FadeBox, &QCheckBox::toggled, this, [this] {
        if (!FImages)
            return;
        ShowLine(FLineShown);
        ShowFence();
        ShowSlice(SliceBox->currentIndex());
    });
}

QWidget* TSiteLinesWindow::CreateResultTabs()
{
    ResultTabs = new QTabWidget(this);
    ResultTabs->setObjectName(QStringLiteral("ResultTabs"));

    // The site map.
    MapChart = new TChart;
    MapChart->SetView3D(false);
    MapChart->Title()->Text()->Add(QStringLiteral("The lines on the map"));
    MapChart->OnAfterDraw = [this](TCustomPlotPanelExtended*) { ShowAtOneScale(*MapChart, SiteMapBox(FLines)); };
    QWidget* mapHost = MapChart->Widget(ResultTabs);
    mapHost->setObjectName(QStringLiteral("MapChartHost"));
    mapHost->setMinimumSize(360, 240);
    ResultTabs->addTab(mapHost, QStringLiteral("Site &map"));

    // A line's image.
    auto* imagePage = new QWidget(ResultTabs);
    auto* imageLayout = new QVBoxLayout(imagePage);
    auto* lineRow = new QHBoxLayout;
    auto* lineLabel = new QLabel(QStringLiteral("Li&ne:"), imagePage);
    LineBox = new QComboBox(imagePage);
    LineBox->setObjectName(QStringLiteral("LineBox"));
    LineBox->setMinimumContentsLength(12);
    lineLabel->setBuddy(LineBox);
    OpenSectionButton = new QPushButton(QStringLiteral("O&pen as section"), imagePage);
    OpenSectionButton->setObjectName(QStringLiteral("OpenSectionButton"));
    OpenSectionButton->setToolTip(QStringLiteral("A new section of this line's data, its image laid under it"));
    lineRow->addWidget(lineLabel);
    lineRow->addWidget(LineBox);
    lineRow->addStretch(1);
    lineRow->addWidget(OpenSectionButton);
    imageLayout->addLayout(lineRow);
    ImageChart = new TTModelSection2d();
    PrepareInversionChart(*ImageChart, QStringLiteral("Resistivity (ohm-m)"), QStringLiteral("ohm-m"));
    ImageChart->ShowMesh = false;
    ImageChart->ReadOnly = true;
    QWidget* imageHost = ImageChart->Widget(imagePage);
    imageHost->setObjectName(QStringLiteral("ImageChartHost"));
    imageHost->setMinimumSize(360, 200);
    imageLayout->addWidget(imageHost, 1);
    ResultTabs->addTab(imagePage, QStringLiteral("Line ima&ge"));

    // The fence.
    auto* fencePage = new QWidget(ResultTabs);
    auto* fenceLayout = new QVBoxLayout(fencePage);
    auto* fenceRow = new QHBoxLayout;
    auto* fenceHint = new QLabel(QStringLiteral("Drag to turn the view, turn the wheel to zoom."), fencePage);
    FrontViewButton = new QPushButton(QStringLiteral("Start vie&w"), fencePage);
    FrontViewButton->setObjectName(QStringLiteral("FrontViewButton"));
    FrontViewButton->setToolTip(QStringLiteral("Back to the angles and zoom the fence opened with"));
    fenceRow->addWidget(fenceHint, 1);
    fenceRow->addWidget(FrontViewButton);
    fenceLayout->addLayout(fenceRow);
    FenceChart = new TSiteFenceChart;
    FenceChart->Title()->Text()->Add(QStringLiteral("The images on their tracks"));
    QWidget* fenceHost = FenceChart->Widget(fencePage);
    fenceHost->setObjectName(QStringLiteral("FenceChartHost"));
    fenceHost->setMinimumSize(360, 240);
    fenceLayout->addWidget(fenceHost, 1);
    ResultTabs->addTab(fencePage, QStringLiteral("&Fence"));

    // The slices.
    auto* slicePage = new QWidget(ResultTabs);
    auto* sliceLayout = new QVBoxLayout(slicePage);
    auto* sliceRow = new QHBoxLayout;
    auto* depthsLabel = new QLabel(QStringLiteral("&Depths (m):"), slicePage);
    DepthsEdit = new QLineEdit(QStringLiteral("2, 5"), slicePage);
    DepthsEdit->setObjectName(QStringLiteral("DepthsEdit"));
    DepthsEdit->setToolTip(QStringLiteral("Depths below the ground, parted by commas: a slice at each, "
                                          "and a table of each on export"));
    depthsLabel->setBuddy(DepthsEdit);
    auto* sliceLabel = new QLabel(QStringLiteral("Depth s&hown:"), slicePage);
    SliceBox = new QComboBox(slicePage);
    SliceBox->setObjectName(QStringLiteral("SliceBox"));
    SliceBox->setMinimumContentsLength(8);
    sliceLabel->setBuddy(SliceBox);
    sliceRow->addWidget(depthsLabel);
    sliceRow->addWidget(DepthsEdit, 1);
    sliceRow->addWidget(sliceLabel);
    sliceRow->addWidget(SliceBox);
    sliceLayout->addLayout(sliceRow);
    SliceChart = new TChart;
    SliceChart->SetView3D(false);
    SliceChart->Legend()->SetVisible(false);
    SliceChart->SetMarginUnits(TChart::muPixels);
    SliceChart->SetMarginRight(90);
    SliceChart->BottomAxis()->Title()->SetCaption(QStringLiteral("East (m)"));
    SliceChart->LeftAxis()->Title()->SetCaption(QStringLiteral("North (m)"));
    SliceChart->OnAfterDraw = [this](TCustomPlotPanelExtended*) {
        // The tracks and every cell of the slice.
        TMapBox box = SiteMapBox(FImagedLines);
        if (SliceGrid && SliceGrid->Count() > 0 && box.Right > box.Left)
            box = {std::min(box.Left, SliceGrid->MinXValue()), std::min(box.Bottom, SliceGrid->MinZValue()),
                   std::max(box.Right, SliceGrid->MaxXValue()), std::max(box.Top, SliceGrid->MaxZValue())};
        ShowAtOneScale(*SliceChart, box);
        if (!FImages || FSlice.empty())
            return;
        const TRect plot = SliceChart->ChartRectangle();
        const int left = plot.Right + 14;
        DrawSiteColorBar(SliceChart->Canvas(), TRect{left, plot.Top + 20, left + 14, plot.Bottom}, FScaleLow,
                         FScaleHigh, [this](double Value) { return ColourOf(Value); }, QStringLiteral("ohm-m"));
    };
    QWidget* sliceHost = SliceChart->Widget(slicePage);
    sliceHost->setObjectName(QStringLiteral("SliceChartHost"));
    sliceHost->setMinimumSize(360, 240);
    sliceLayout->addWidget(sliceHost, 1);
    ResultTabs->addTab(slicePage, QStringLiteral("Sli&ces"));

    connect(LineBox, &QComboBox::activated, this, [this](int Index) { ShowLine(Index); });
    connect(OpenSectionButton, &QPushButton::clicked, this, [this] {
        if (OnOpenAsSection && FLineShown >= 0)
            OnOpenAsSection(FLineShown);
    });
    connect(FrontViewButton, &QPushButton::clicked, this, [this] { FenceChart->ResetView(); });
    connect(DepthsEdit, &QLineEdit::editingFinished, this, [this] { ShowSliceDepths(); });
    connect(SliceBox, &QComboBox::activated, this, [this](int Index) { ShowSlice(Index); });
    return ResultTabs;
}

// --- The lines ----------------------------------------------------------------------------

bool TSiteLinesWindow::AddLine(const QString& File)
{
    if (Busy())
        return false;
    const QString name = QFileInfo(File).fileName();
    QString error;
    const std::shared_ptr<const TMeasuredData> data = ReadMeasuredDataFile(File, error);
    if (!data) {
        // A reader's message may run to many lines: a message box holds it.
        MessageDlg(QStringLiteral("%1 cannot be read: %2").arg(name, error), TMsgDlgType::mtError, mbOK);
        return false;
    }
    try {
        TSiteLine line = SiteLineOf(File.toStdString(), *data);
        std::vector<TSiteLine> lines = FLines;
        lines.push_back(std::move(line));
        CheckSiteLines(lines);
        FLines = std::move(lines);
    } catch (const std::exception& Refusal) {
        MessageDlg(QString::fromUtf8(Refusal.what()), TMsgDlgType::mtError, mbOK);
        return false;
    }
    FError.clear();
    ShowLines();
    LineTable->selectRow(LineCount() - 1);
    UpdateMap();
    ShowState();
    EnableCommands();
    return true;
}

void TSiteLinesWindow::AskAddLines()
{
    TOpenDialogRequest request;
    request.Owner = this;
    request.Name = QStringLiteral("AddLinesDialog");
    request.Title = QStringLiteral("Add lines");
    request.Filter = MeasuredDataFilter();
    request.Several = true;
    if (!FLines.empty())
        request.FileName = QFileInfo(Text(FLines.back().File)).absolutePath();
    if (!ExecuteOpenDialog(request))
        return;
    const QStringList files = request.FileNames.isEmpty() ? QStringList{request.FileName} : request.FileNames;
    for (const QString& file : files)
        AddLine(file);
}

bool TSiteLinesWindow::RemoveSelectedLine()
{
    const int row = LineTable->currentRow();
    if (Busy() || row < 0 || row >= LineCount())
        return false;
    FLines.erase(FLines.begin() + row);
    ShowLines();
    if (!FLines.empty())
        LineTable->selectRow(std::min(row, LineCount() - 1));
    UpdateMap();
    ShowState();
    EnableCommands();
    return true;
}

void TSiteLinesWindow::ShowLines()
{
    const QSignalBlocker quiet(LineTable);
    LineTable->setRowCount(LineCount());
    // A line's misfit shows while the images are of the lines listed.
    const bool imaged = ImagesOfListedLines();
    for (int row = 0; row < LineCount(); ++row) {
        const TSiteLine& line = FLines.at(static_cast<size_t>(row));
        auto* name = new QTableWidgetItem(Text(line.Name));
        name->setToolTip(Text(line.File));
        LineTable->setItem(row, 0, name);
        LineTable->setItem(row, 1, new QTableWidgetItem(QString::number(line.Track.size())));
        LineTable->setItem(row, 2, new QTableWidgetItem(QString::number(line.Data.Resistivities.size())));
        const TLineImage* image = imaged ? &FImages->Images.at(static_cast<size_t>(row)) : nullptr;
        LineTable->setItem(row, 3, new QTableWidgetItem(image ? ShortNumber(image->ChiSquare) : QString()));
        LineTable->setItem(row, 4, new QTableWidgetItem(image ? ShortNumber(image->Rrms) : QString()));
    }
}

bool TSiteLinesWindow::ImagesOfListedLines() const
{
    return FImages && std::equal(FLines.begin(), FLines.end(), FImagedLines.begin(), FImagedLines.end(),
                                 [](const TSiteLine& A, const TSiteLine& B) { return A.File == B.File; });
}

void TSiteLinesWindow::UpdateMap()
{
    // The images' crossings (as the run found them) while they are of the
    // lines listed, else those of the tracks listed.
    if (ImagesOfListedLines())
        FCrossings = FImages->Crossings;
    else
        FCrossings = FindCrossings(FLines);
    ShowSiteMap(*MapChart, FLines, FCrossings);
}

// --- Running ------------------------------------------------------------------------------

void TSiteLinesWindow::Refuse(const QString& Reason)
{
    FError = Reason;
    ShowState();
}

std::optional<TSurveyInversionOptions> TSiteLinesWindow::RunOptions()
{
    QString refusal;
    std::optional<TSurveyInversionOptions> options = ReadRunOptions({ErrorEdit, LambdaEdit, IterationsBox}, refusal);
    if (!options)
        Refuse(refusal);
    return options;
}

bool TSiteLinesWindow::InvertAll()
{
    if (Busy())
        return false;
    if (FLines.empty()) {
        Refuse(QStringLiteral("Add the lines of the site first (Add...)."));
        return false;
    }
    if (!Runner) {
        Refuse(QStringLiteral("The inversion of several lines is not available here."));
        return false;
    }
    const std::optional<TSurveyInversionOptions> options = RunOptions();
    if (!options)
        return false;
    FError.clear();
    FStopped = false;
    FProgressText.clear();
    const std::vector<TSiteLine> lines = FLines;
    const TSiteRunner runner = Runner;
    const bool started = FRun.Start([lines, runner, run = *options](TRunControl& Control) {
        const double count = static_cast<double>(lines.size());
        TSiteCallbacks callbacks;
        callbacks.Progress = [&Control, count](size_t Line, const std::string& What) {
            Control.Progress(static_cast<double>(Line) / count);
            Control.Post(TLineProgress{Line, What});
        };
        callbacks.Continue = [&Control] { return !Control.Cancelled(); };
        TSiteImages images = runner(lines, run, callbacks);
        // The lines go back with their images: the list may change before
        // the result arrives.
        return std::any(std::pair{lines, std::move(images)});
    });
    if (!started) {
        Refuse(QStringLiteral("The inversion could not be started: no thread could be had."));
        return false;
    }
    ShowState();
    EnableCommands();
    return true;
}

void TSiteLinesWindow::Stop()
{
    FRun.Cancel();
}

void TSiteLinesWindow::closeEvent(QCloseEvent* Event)
{
    FRun.Cancel();
    QWidget::closeEvent(Event);
}

void TSiteLinesWindow::RunEnded(const TRunEnd& End)
{
    FProgressText.clear();
    if (End.Kind == TRunEnd::Cancelled) {
        FStopped = true;
    } else if (End.Kind == TRunEnd::Failed) {
        FError = End.Error;
    } else if (const auto* done = std::any_cast<std::pair<std::vector<TSiteLine>, TSiteImages>>(&End.Result)) {
        if (done->second.Images.size() != done->first.size())
            FError = QStringLiteral("The inversion gave %1 images of %2 lines.")
                         .arg(done->second.Images.size())
                         .arg(done->first.size());
        else {
            FImagedLines = done->first;
            ShowImages(done->second);
        }
    }
    ShowState();
    EnableCommands();
}

void TSiteLinesWindow::ShowImages(TSiteImages Images)
{
    FImages = std::move(Images);
    // One scale for every view: the image chart's, logarithmic, over the
    // cells all the lines' data see.
    const std::optional<std::pair<double, double>> scale = SiteScale(*FImages);
    ImageChart->ScaleMode = 1;
    ImageChart->ScaleMin = scale ? scale->first : 1.0;
    ImageChart->ScaleMax = scale ? scale->second : 1000.0;
    ImageChart->SecureScaleLimits();
    FScaleLow = ImageChart->ScaleMin;
    FScaleHigh = ImageChart->ScaleMax;
    {
        const QSignalBlocker quiet(LineBox);
        LineBox->clear();
        for (const TSiteLine& line : FImagedLines)
            LineBox->addItem(Text(line.Name));
    }
    ShowLines();
    UpdateMap();
    // The line picked in the list, else the one shown before.
    const int picked = LineTable->currentRow() >= 0 ? LineTable->currentRow() : FLineShown;
    ShowLine(std::clamp(picked, 0, static_cast<int>(FImagedLines.size()) - 1));
    ShowFence();
    SliceChart->FreeAllSeries();
    SliceGrid = new TColorGridSeries(SliceChart);
    SliceGrid->SetParentChart(SliceChart);
    SliceGrid->Pen()->SetVisible(false);
    AddTracks(*SliceChart, FImagedLines);
    ShowSliceDepths();
    ResultTabs->setCurrentIndex(FenceTab);
}

// --- Showing ------------------------------------------------------------------------------

TColor TSiteLinesWindow::ColourOf(double Resistivity) const
{
    return ImageChart->ValueToColor(Resistivity);
}

bool TSiteLinesWindow::ShowLine(int Line)
{
    if (!FImages || Line < 0 || Line >= static_cast<int>(FImages->Images.size()))
        return false;
    const TLineImage& image = FImages->Images[static_cast<size_t>(Line)];
    if (image.Mesh.Cells() == 0 || image.Resistivities.size() != static_cast<size_t>(image.Mesh.Cells()))
        return false;
    FLineShown = Line;
    {
        const QSignalBlocker quiet(LineBox);
        LineBox->setCurrentIndex(Line);
    }
    const TSiteLine& line = FImagedLines.at(static_cast<size_t>(Line));
    ShowChartCells(*ImageChart, ChartDataOf(image.Mesh, image.Resistivities), true);
    // The common scale, not the line's own.
    ImageChart->ScaleMode = 1;
    ImageChart->ScaleMin = FScaleLow;
    ImageChart->ScaleMax = FScaleHigh;
    ImageChart->CellFade = FadeBox->isChecked()
                               ? FadeTable(CoverageFade(image.Mesh.Columns(), image.Mesh.Rows(), image.Coverage))
                               : ararofdoubleM();
    ImageChart->Title()->Text()->Clear();
    ImageChart->Title()->Text()->Add(QStringLiteral("%1: resistivity (ohm-m)").arg(Text(line.Name)));
    MarkElectrodes(*ImageChart, line.Data);
    ImageChart->RepaintCells();
    EnableCommands();
    return true;
}

void TSiteLinesWindow::ShowFence()
{
    if (!FImages)
        return;
    try {
        ShowFenceCells(*FenceChart->Fence(), FImagedLines, *FImages,
                       [this](double Value) { return ColourOf(Value); }, FadeBox->isChecked());
    } catch (const std::exception& Refusal) {
        // A track the site layer refuses stands nowhere: said, not drawn.
        FenceChart->Fence()->Clear();
        Refuse(QString::fromUtf8(Refusal.what()));
    }
    FenceChart->FitElevation();
    FenceChart->SetColourScale(FScaleLow, FScaleHigh, [this](double Value) { return ColourOf(Value); });
}

std::optional<std::vector<TTypedDepth>> TSiteLinesWindow::SliceDepths()
{
    QString error;
    std::optional<std::vector<TTypedDepth>> depths = ReadSliceDepths(DepthsEdit->text(), error);
    if (!depths) {
        FDepthsRefusal = error;
        Refuse(error);
    } else if (!FDepthsRefusal.isEmpty() && FError == FDepthsRefusal) {
        // The depths said wrong before are right now.
        FError.clear();
    }
    if (depths)
        FDepthsRefusal.clear();
    return depths;
}

void TSiteLinesWindow::ShowSliceDepths()
{
    const QString before = SliceBox->currentText();
    std::optional<std::vector<TTypedDepth>> depths = SliceDepths();
    {
        const QSignalBlocker quiet(SliceBox);
        SliceBox->clear();
        for (const TTypedDepth& depth : depths.value_or(std::vector<TTypedDepth>{}))
            SliceBox->addItem(QStringLiteral("%1 m").arg(depth.Text));
        SliceBox->setCurrentIndex(std::max(0, SliceBox->findText(before)));
    }
    if (depths)
        ShowSlice(SliceBox->currentIndex());
    ShowState();
    EnableCommands();
}

bool TSiteLinesWindow::ShowSlice(int Index)
{
    if (!FImages || !SliceGrid)
        return false;
    QString error;
    const std::optional<std::vector<TTypedDepth>> depths = ReadSliceDepths(DepthsEdit->text(), error);
    if (!depths || Index < 0 || Index >= static_cast<int>(depths->size()))
        return false;
    const TTypedDepth& depth = depths->at(static_cast<size_t>(Index));
    try {
        FSlice = VolumeSlice(FImagedLines, *FImages, depth.Depth);
    } catch (const std::exception& Refusal) {
        FSlice.clear();
        Refuse(QString::fromUtf8(Refusal.what()));
    }
    ShowSliceCells(*SliceGrid, FSlice, [this](double Value) { return ColourOf(Value); }, FadeBox->isChecked());
    SliceChart->Title()->Text()->Clear();
    SliceChart->Title()->Text()->Add(FSlice.empty()
                                         ? QStringLiteral("Nothing the lines say at %1 m below the ground").arg(depth.Text)
                                         : QStringLiteral("Resistivity %1 m below the ground").arg(depth.Text));
    {
        const QSignalBlocker quiet(SliceBox);
        SliceBox->setCurrentIndex(Index);
    }
    SliceChart->Invalidate();
    return true;
}

void TSiteLinesWindow::ShowState()
{
    QString text;
    QString style;
    if (Busy()) {
        text = QStringLiteral("Inverting %1 lines…").arg(LineCount());
        if (!FProgressText.isEmpty())
            text += QLatin1Char('\n') + FProgressText;
    } else if (!FError.isEmpty()) {
        text = FError;
        style = QStringLiteral("color: #b00000;");
    } else if (FStopped) {
        text = QStringLiteral("Stopped: the images shown are of the run before, if any.");
    } else if (FImages) {
        text = QStringLiteral("%1 lines inverted, %2 crossings tied. Turn the fence by dragging it.")
                   .arg(FImagedLines.size())
                   .arg(FImages->Crossings.size());
    } else if (FLines.empty()) {
        text = QStringLiteral("Add the lines of one site (data files with the electrodes' map coordinates), "
                              "then Invert all.");
    } else {
        text = QStringLiteral("%1 lines, %2 crossings. Invert all inverts every line on its track.")
                   .arg(LineCount())
                   .arg(FCrossings.size());
    }
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
}

void TSiteLinesWindow::EnableCommands()
{
    const bool idle = !Busy();
    AddButton->setEnabled(idle);
    RemoveButton->setEnabled(idle && LineTable->currentRow() >= 0);
    InvertButton->setEnabled(idle && !FLines.empty());
    const bool imaged = FImages.has_value();
    ExportButton->setEnabled(imaged);
    OpenSectionButton->setEnabled(imaged && FLineShown >= 0);
    LineBox->setEnabled(imaged);
    SliceBox->setEnabled(imaged && SliceBox->count() > 0);
}

// --- Keeping the result -------------------------------------------------------------------

bool TSiteLinesWindow::ExportTables(const QString& Folder, QString& Error)
{
    if (!FImages) {
        Error = QStringLiteral("There are no images to export: Invert all first.");
        return false;
    }
    const std::optional<std::vector<TTypedDepth>> depths = SliceDepths();
    if (!depths) {
        Error = FError;
        return false;
    }
    const QDir folder(Folder);
    std::vector<std::pair<QString, QByteArray>> files;
    try {
        // Every table formed before the first is written.
        for (size_t l = 0; l < FImagedLines.size(); ++l)
            files.emplace_back(folder.filePath(Text(FImagedLines[l].Name) + QStringLiteral(".csv")),
                               QByteArray::fromStdString(
                                   FormatInversionTable(FImages->Images[l].Mesh, FImages->Images[l].Inversion)));
        files.emplace_back(folder.filePath(QStringLiteral("fence.csv")),
                           QByteArray::fromStdString(
                               FormatFenceCsv(FImagedLines, FenceCells(FImagedLines, *FImages))));
        files.emplace_back(folder.filePath(QStringLiteral("volume.csv")),
                           QByteArray::fromStdString(FormatVolumeCsv(InterpolateVolume(FImagedLines, *FImages))));
        for (const TTypedDepth& depth : *depths)
            files.emplace_back(folder.filePath(QStringLiteral("slice-%1.csv").arg(depth.Text)),
                               QByteArray::fromStdString(
                                   FormatSliceCsv(VolumeSlice(FImagedLines, *FImages, depth.Depth))));
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return false;
    }
    return SaveFilesAtomically(files, Error);
}

bool TSiteLinesWindow::ExportVolume(const QString& File, QString& Error) const
{
    if (!FImages) {
        Error = QStringLiteral("There are no images to export: Invert all first.");
        return false;
    }
    QByteArray bytes;
    try {
        bytes = QByteArray::fromStdString(FormatVolumeVtk(InterpolateVolume(FImagedLines, *FImages)));
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return false;
    }
    return SaveBytesAtomically(File, bytes, Error);
}

void TSiteLinesWindow::AskExportTables()
{
    TOpenDialogRequest request;
    request.Owner = this;
    request.Name = QStringLiteral("ExportTablesDialog");
    request.Title = QStringLiteral("Export the tables into a folder");
    request.Folder = true;
    if (!FImagedLines.empty())
        request.FileName = QFileInfo(Text(FImagedLines.front().File)).absolutePath();
    if (!ExecuteOpenDialog(request))
        return;
    QString error;
    if (!ExportTables(request.FileName, error))
        MessageDlg(QStringLiteral("The tables could not be written to %1: %2").arg(request.FileName, error),
                   TMsgDlgType::mtError, mbOK);
}

void TSiteLinesWindow::AskExportVolume()
{
    AskSaveResult(*this, QStringLiteral("ExportVolumeDialog"), QStringLiteral("Export the volume"),
                  QStringLiteral("VTK files (*.vtk)|*.vtk"), QStringLiteral("vtk"),
                  [this](const QString& FileName, QString& Error) { return ExportVolume(FileName, Error); });
}

void TSiteLinesWindow::AskSaveFencePicture()
{
    ResultTabs->setCurrentIndex(FenceTab);
    ExportChartPicture(*this, *FenceChart);
}

TSiteLinesWindow::TImageFrame TSiteLinesWindow::LineImageFrame(int Line) const
{
    if (!FImages || Line < 0 || Line >= static_cast<int>(FImages->Images.size()))
        return {};
    const TInversionMesh& mesh = FImages->Images[static_cast<size_t>(Line)].Mesh;
    if (mesh.Cells() == 0)
        return {};
    return {mesh.ColumnEdges.front(), -*std::max_element(mesh.Elevations.begin(), mesh.Elevations.end()),
            mesh.ColumnEdges.back(), -mesh.Bottom};
}

QImage TSiteLinesWindow::LineImage(int Line, int Width) const
{
    if (!FImages || Line < 0 || Line >= static_cast<int>(FImages->Images.size()))
        return {};
    const TLineImage& image = FImages->Images[static_cast<size_t>(Line)];
    if (image.Mesh.Cells() == 0)
        return {};
    TInversionPicture picture;
    picture.Mesh = image.Mesh;
    picture.Resistivities = image.Resistivities;
    picture.Coverage = image.Coverage;
    const TImageFrame frame = LineImageFrame(Line);
    const double left = frame.Left, right = frame.Right, top = -frame.Top, bottom = -frame.Bottom;
    const int height = std::clamp(static_cast<int>(std::lround(Width * (top - bottom) / (right - left))), 1, 8192);
    return PaintInversionImage(picture, [this](double Value) { return static_cast<unsigned>(ColourOf(Value)); },
                               left, right, top, bottom, Width, height, FadeBox->isChecked());
}

std::shared_ptr<const TMeasuredData> TSiteLinesWindow::LineData(int Line) const
{
    if (Line < 0 || Line >= static_cast<int>(FImagedLines.size()))
        return nullptr;
    return std::make_shared<const TMeasuredData>(FImagedLines[static_cast<size_t>(Line)].Data);
}

} // namespace lp
