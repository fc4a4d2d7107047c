#include "section/modelling/InversionWindow.h"
#include "section/modelling/HoleElectrodes.h"

#include "section/modelling/InversionWindow_p.h"

#include "chart/export/PlotPreview.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Metafile.h"
#include "platform/ui/Registry.h"
#include "section/editor/PolygonChart.h"
#include "section/inversion/InversionChartData.h"
#include "section/inversion/InversionExport.h"
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


namespace lp {

namespace {

const QString InversionSettingsKey = QStringLiteral("Software\\Lithoprism\\Inversion");

} // namespace

std::optional<double> PositiveField(const QLineEdit& Edit)
{
    bool valid = true;
    return TypedNumber(Edit.text(), true, valid);
}

QString StepNumber(double Value)
{
    if (!(std::fabs(Value) >= 1000.0 && std::fabs(Value) < 1e6))
        return ShortNumber(Value);
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(Value))) - 2);
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(std::round(Value / unit) * unit, 'f', 0);
}

QString FixedNumber(double Value, int Decimals)
{
    return std::fabs(Value) < 1e6 ? QLocale().toString(Value, 'f', Decimals) : ShortNumber(Value, 2);
}

std::vector<TConstraintLine> UsedLines(const TStructuralConstraint& Structure, const TForwardModel* Section)
{
    std::vector<TConstraintLine> used = Structure.Lines;
    if (Section && !Structure.ZoneWeights.empty()) {
        const std::vector<TConstraintLine> boundaries = SectionBoundaryLines(*Section, Structure.ZoneWeights);
        used.insert(used.end(), boundaries.begin(), boundaries.end());
    }
    return used;
}

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
        text(QStringLiteral("PhaseError"), settings.PhaseErrorMrad);
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
        flag(QStringLiteral("SharpBoundaries"), settings.SharpBoundaries);
        flag(QStringLiteral("RobustToBadData"), settings.RobustToBadData);
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
        // Only what differs from the file is written: each write reaches the
        // disk at once, and the dozen of them the Invert button used to make
        // held the window for a fifth of a second on a busy disk.
        const auto put = [&registry](const QString& Name, const QString& Value) {
            if (!registry.ValueExists(Name) || registry.ReadString(Name) != Value)
                registry.WriteString(Name, Value);
        };
        const auto flag = [](bool Value) { return Value ? QStringLiteral("1") : QStringLiteral("0"); };
        put(QStringLiteral("Error"), ErrorPercent);
        put(QStringLiteral("Lambda"), Lambda);
        put(QStringLiteral("ZWeight"), ZWeight);
        put(QStringLiteral("Iterations"), QString::number(Iterations));
        put(QStringLiteral("Constrain"), flag(Constrain));
        put(QStringLiteral("StartFromSection"), flag(StartFromSection));
        put(QStringLiteral("FadeByCoverage"), flag(FadeByCoverage));
        put(QStringLiteral("ReferenceWeight"), ReferenceWeight);
        put(QStringLiteral("DepthOfInvestigation"), flag(DepthOfInvestigation));
        put(QStringLiteral("DoiLimit"), DoiLimit);
        put(QStringLiteral("SharpBoundaries"), flag(SharpBoundaries));
        put(QStringLiteral("RobustToBadData"), flag(RobustToBadData));
        put(QStringLiteral("PhaseError"), PhaseErrorMrad);
    } catch (const std::exception&) {
        // Settings that cannot be written cost the user nothing now.
    }
}

// --- The window ---------------------------------------------------------------------------

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
    delete PhaseChart;
    delete MeasuredChart;
    delete CalculatedChart;
    delete MisfitChart;
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
    SharpBox->setChecked(settings.SharpBoundaries);
    RobustBox->setChecked(settings.RobustToBadData);
    PhaseErrorEdit->setText(settings.PhaseErrorMrad);
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
    settings.SharpBoundaries = SharpBox->isChecked();
    settings.RobustToBadData = RobustBox->isChecked();
    settings.PhaseErrorMrad = PhaseErrorEdit->text();
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
    ChartTabs->setTabVisible(PhaseTab, FData && HasPhases(*FData));
    const bool phased = FData && HasPhases(*FData);
    PhaseErrorLabel->setVisible(phased);
    PhaseErrorEdit->setVisible(phased);
    FDataName = Name;
    if (!ErrorPercent.trimmed().isEmpty() && !same && !sameFile)
        ErrorEdit->setText(ErrorPercent.trimmed());
    DataLabel->setText(FData ? QStringLiteral("Data of %1: %2, %3.")
                                   .arg(Name, ElectrodeCount(static_cast<long long>(FData->Electrodes.size())),
                                        DatumCount(static_cast<long long>(FData->Size())))
                             : QStringLiteral("No measured data: open a file with Modelling > Measured data..."));
    ShowHoleElectrodes();
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

void TInversionWindow::ShowHoleElectrodes()
{
    const std::vector<TDrawnHole> holes =
        FData ? SectionHoles(FData->Survey(), FSection, WellLogs ? WellLogs() : nullptr) : std::vector<TDrawnHole>{};
    HoleTable->setRowCount(0);
    for (const TDrawnHole& hole : holes)
        for (const TDrawnHoleElectrode& electrode : hole.Electrodes) {
            const int row = HoleTable->rowCount();
            HoleTable->insertRow(row);
            const QString name = hole.Well.isEmpty() ? QString::number(hole.Number)
                                                     : QStringLiteral("%1 (%2)").arg(QString::number(hole.Number), hole.Well);
            const QStringList cells = {name, QString::number(electrode.Number), QString::number(hole.X, 'g', 6),
                                       QString::number(electrode.Depth, 'g', 6),
                                       QString::number(electrode.Elevation, 'g', 6)};
            for (int column = 0; column < cells.size(); ++column) {
                auto* item = new QTableWidgetItem(cells[column]);
                if (column > 0)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                item->setToolTip(HoleElectrodeText(hole, electrode));
                HoleTable->setItem(row, column, item);
            }
        }
    const int page = PanelTabs->indexOf(HoleTable);
    if (holes.empty() && PanelTabs->currentIndex() == page)
        PanelTabs->setCurrentIndex(0);
    PanelTabs->setTabVisible(page, !holes.empty());
}

void TInversionWindow::Refuse(const QString& Reason)
{
    FError = Reason;
    ShowState();
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
    // Robust: χ² of the data kept at their full weight too.
    const QString kept = last.FullWeightData > 0
                             ? QStringLiteral(" (%1 over the %2 data not down-weighted)")
                                   .arg(ShortNumber(last.FullWeightChiSquare))
                                   .arg(last.FullWeightData)
                             : QString();
    // The phases' χ² beside the resistivity's when the run inverted phases.
    const QString phases = FResult->Phases.empty()
                               ? QString()
                               : QStringLiteral("; phases: χ² %1").arg(ShortNumber(FResult->PhaseChiSquare));
    // The water held, as the command line's "held: N cells" says it.
    const QString water = FWaterHeld > 0 ? QStringLiteral("; water held: %1")
                                               .arg(CountText(FWaterHeld, QStringLiteral("cell"), QStringLiteral("cells")))
                                         : QString();
    QString text = QStringLiteral("%1, %2: χ² %3%4, rrms %5 %%6%7%8. %9")
                       .arg(CountText(FPicture ? FPicture->Mesh.Cells() : 0, QStringLiteral("cell"),
                                      QStringLiteral("cells")),
                            IterationCount(last.Iteration), ShortNumber(last.ChiSquare), kept, FixedNumber(last.Rrms, 2),
                            logs, phases, water, QString::fromStdString(FResult->Stop));
    if (!FWaterNote.isEmpty())
        text += QLatin1Char('\n') + FWaterNote;
    return text;
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
        // An image of other water than the section marks now is not the
        // image of this section: said first, in the refusals' colour.
        if (FWaterStale) {
            text = QStringLiteral("Not current: the water marked in the section has changed since this image was "
                                  "inverted (Invert again to hold it as marked now).\n") +
                   text;
            style = QStringLiteral("color: #b00000;");
        }
        if (FPicture && !FPicture->DepthOfInvestigation.empty())
            text += QStringLiteral("\nThe pale cells lie beyond the depth of investigation (DOI above %1, the dashed "
                                   "line).")
                        .arg(ShortNumber(FPicture->DoiLimit));
        else if (!FResult->DepthOfInvestigation.empty())
            text += QStringLiteral("\nShown without the depth of investigation (computed; tick it to see it).");
        else
            text += QLatin1Char('\n') + NoDoiReason();
    } else if (FWaterPending) {
        text = QStringLiteral("The water marked in the section has changed since the mesh was laid: Invert holds it "
                              "as marked then.");
    } else {
        text = QStringLiteral("Invert makes an image of the ground from the measured data.");
    }
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
}

QString TInversionWindow::NoDoiReason() const
{
    // Never a bare "without": why, and what brings it, in a line the
    // panel's narrow state line holds.
    if (!FDoiNote.isEmpty())
        return QStringLiteral("Shown without the depth of investigation: %1.").arg(FDoiNote);
    if (!DoiBox->isChecked())
        return QStringLiteral("Shown without the DOI (tick it to compute it).");
    return QStringLiteral("Shown without the DOI (untick and tick it).");
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
    if (FPicture && FPicture->Phases.size() == FPicture->Resistivities.size())
        shown.push_back(PhaseChart);
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
