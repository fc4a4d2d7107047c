#include "section/modelling/InversionWindow.h"

#include "section/modelling/InversionWindow_p.h"

#include "section/editor/PolygonChart.h"
#include "section/inversion/InversionChartData.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/SectionInversionInput.h"
#include "section/modelling/ModellingWindowCommands.h"
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
#include <cmath>


namespace lp {

namespace {

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

} // namespace

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
    // The holes' electrodes stand on the wells listed and below the ground.
    ShowHoleElectrodes();
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
        // The section's water, its boundary followed by the rows as the
        // command line's are; a value refused is said by the mesh's refusal.
        std::vector<std::optional<double>> water;
        if (ground && areaRefused.isEmpty())
            water = WaterRegions(*ground, FSection.Model);
        const std::vector<TConstraintLine> held = ground ? HeldBoundaryLines(*ground, water)
                                                         : std::vector<TConstraintLine>{};
        // The rows bent onto what is ticked on the Known geology page.
        try {
            std::vector<TConstraintLine> used = ConstrainBox->isChecked()
                                                    ? UsedLines(Constraints->Choice(), ground ? &*ground : nullptr)
                                                    : std::vector<TConstraintLine>{};
            used.insert(used.end(), held.begin(), held.end());
            mesh = MeshFollowingConstraint(mesh, used, Constraints->UsedLogs(), DefaultLayerContrast,
                                           DefaultCellGrowth,
                                           LogReachMetres(FData->Survey(), Constraints->LogReach().value_or(0.0)));
        } catch (const std::exception&) {
            // A weight not yet a number or a refused log: the water's rows alone; the run says why.
            mesh = MeshFollowingConstraint(mesh, held, {});
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
        TInversionChartData cells = ChartDataOf(mesh, start);
        // The water held in the laid cells: fixed at its value, as the user
        // would fix them (and may free them again).
        FWaterCells = ground ? HeldCells(mesh, *ground, water) : std::vector<std::optional<double>>{};
        const auto columns = static_cast<size_t>(mesh.Columns());
        cells.Fixed.assign(columns, std::vector<bool>(static_cast<size_t>(mesh.Rows()), false));
        for (size_t cell = 0; cell < FWaterCells.size(); ++cell)
            if (FWaterCells[cell]) {
                cells.Fixed[cell % columns][cell / columns] = true;
                cells.Values[cell % columns][cell / columns] = *FWaterCells[cell];
            }
        FWaterMesh = mesh;
        FWaterPending = false;
        ShowChartCells(*MeshChart, cells, true);
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

std::vector<std::optional<double>> TInversionWindow::MarkedWaterCells(const TInversionMesh& Mesh,
                                                                      QString* Refusal) const
{
    if (!SectionHasWater(FSection.Model))
        return std::vector<std::optional<double>>(static_cast<size_t>(Mesh.Cells()));
    try {
        const TForwardModel ground =
            PrepareForwardModel(FSection.Model, FSection.Nodes, FSection.ModelArea, MedianResistivity(*FData));
        return HeldCells(Mesh, ground, WaterRegions(ground, FSection.Model));
    } catch (const std::exception& Error) {
        if (Refusal)
            *Refusal = QString::fromUtf8(Error.what());
        return {};
    }
}

void TInversionWindow::HoldWaterInChart(const std::vector<std::optional<double>>& Water)
{
    TTModelSection2d& chart = *MeshChart;
    const TInversionChartData cells = ChartCells(chart);
    const int columns = chart.LastCol + 1;
    std::vector<double> start;
    bool changed = false;
    for (size_t j = 0; j < Water.size(); ++j) {
        const int c = static_cast<int>(j % static_cast<size_t>(columns));
        const int r = static_cast<int>(j / static_cast<size_t>(columns));
        if (c > chart.LastCol || r > chart.LastRow)
            continue;
        const std::optional<double> before = j < FWaterCells.size() ? FWaterCells[j] : std::nullopt;
        const bool fixed = chart.Fixed[c][r];
        double value = cells.Values.at(static_cast<size_t>(c)).at(static_cast<size_t>(r));
        if (Water[j]) {
            // A water cell the user freed stays free.
            if ((before && !fixed) || (fixed && value == *Water[j]))
                continue;
            chart.Fixed[c][r] = true;
            value = *Water[j];
        } else if (before && fixed) {
            // No longer water: free, from the value the other free cells start at.
            if (start.empty()) {
                try {
                    start = StartingValues(ChartInversionMesh(cells), StartFromSectionBox->isChecked());
                } catch (const std::exception&) {
                    start = StartingValues(ChartInversionMesh(cells), false);
                }
            }
            chart.Fixed[c][r] = false;
            value = start.at(j);
        } else {
            continue;
        }
        chart.SetCellValue(c, r, value);
        changed = true;
    }
    FWaterCells = Water;
    FWaterPending = false;
    if (!changed)
        return;
    chart.SetScaleFromCells();
    chart.RecordUndo(chart.UndoStore);
    chart.RepaintCells();
}

void TInversionWindow::SectionChanged()
{
    if (!FData || Busy())
        return;
    const auto differs = [](const std::vector<std::optional<double>>& Now,
                            const std::vector<std::optional<double>>& Before) {
        const auto any = [](const std::vector<std::optional<double>>& Cells) {
            return std::any_of(Cells.begin(), Cells.end(), [](const auto& cell) { return cell.has_value(); });
        };
        return Now.empty() ? any(Before) : (Now.size() == Before.size() ? Now != Before : any(Now) || any(Before));
    };
    const bool stale = FWaterStale, pending = FWaterPending;
    if (FResult && FPicture)
        FWaterStale = differs(MarkedWaterCells(FPicture->Mesh), FResultWater);
    if (MeshChart->LastCol >= 0) {
        try {
            const TInversionMesh chart = ChartInversionMesh(ChartCells(*MeshChart));
            const bool laid = chart.Cells() == FWaterMesh.Cells();
            FWaterPending = differs(MarkedWaterCells(laid ? FWaterMesh : chart), FWaterCells);
        } catch (const std::exception&) {
            FWaterPending = false;
        }
    }
    if (stale != FWaterStale || pending != FWaterPending)
        ShowState();
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

} // namespace lp
