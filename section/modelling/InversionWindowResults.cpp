#include "section/modelling/InversionWindow.h"

#include "section/modelling/InversionWindow_p.h"

#include "chart/engine/PlotAxis.h"
#include "section/editor/PolygonChart.h"
#include "section/inversion/Inversion.h"
#include "section/inversion/InversionChartData.h"
#include "section/survey/Misfit.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/inversion/InversionSetup.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/views/PseudoSection2D.h"
#include "section/views/Section2D.h"

#include <QtCore/QFileInfo>
#include <QtCore/QSignalBlocker>
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

// The index of the interval of Edges (ascending) holding X; -1 outside.
int IntervalOf(const std::vector<double>& Edges, double X)
{
    if (Edges.size() < 2 || X < Edges.front() || X > Edges.back())
        return -1;
    const auto above = std::upper_bound(Edges.begin(), Edges.end(), X);
    return std::min(static_cast<int>(above - Edges.begin()) - 1, static_cast<int>(Edges.size()) - 2);
}

void SetPseudoSectionTitle(TPseudoSection2d& Chart, const QString& Title)
{
    Chart.Title()->Text()->Clear();
    Chart.Title()->Text()->Add(Title);
}

} // namespace

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
    // Each cell's colour once (its fade applied): an image of millions of
    // pixels shows a few thousand cells.
    std::vector<QRgb> colours(Picture.Resistivities.size());
    for (size_t cell = 0; cell < colours.size(); ++cell) {
        unsigned colour = Colour(Picture.Resistivities[cell]);
        double fade = faded ? FadeOfCoverage(Picture.Coverage[cell]) : 0.0;
        if (doi)
            fade = std::max(fade, FadeOfDepthOfInvestigation(Picture.DepthOfInvestigation[cell], Picture.DoiLimit));
        if (fade > 0.0)
            colour = static_cast<unsigned>(FadedColor(static_cast<TColor>(colour), fade));
        // TColor is 0x00BBGGRR.
        colours[cell] = qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    }
    // Per pixel column, the row boundaries at its x (as RowAt finds them),
    // then each pixel's row by bisection among them.
    const int rows = mesh.Rows();
    std::vector<double> at(static_cast<size_t>(rows) + 1);
    const auto bytesPerLine = image.bytesPerLine();
    uchar* bits = image.bits();
    for (int i = 0; i < image.width(); ++i) {
        const double x = Left + (i + 0.5) * (Right - Left) / image.width();
        const int column = IntervalOf(mesh.ColumnEdges, x);
        if (column < 0)
            continue;
        const double x1 = mesh.ColumnEdges[static_cast<size_t>(column)], x2 = mesh.ColumnEdges[static_cast<size_t>(column) + 1];
        const double share = std::clamp((x - x1) / (x2 - x1), 0.0, 1.0);
        for (int b = 0; b <= rows; ++b) {
            const double y1 = RowBoundaryY(mesh, column, b), y2 = RowBoundaryY(mesh, column + 1, b);
            at[static_cast<size_t>(b)] = y1 + share * (y2 - y1);
        }
        for (int j = 0; j < image.height(); ++j) {
            const double y = Top + (j + 0.5) * (Bottom - Top) / image.height();
            if (y > at[0] || y < mesh.Bottom)
                continue;
            int low = 0, high = rows;
            while (high - low > 1) {
                const int middle = (low + high) / 2;
                (at[static_cast<size_t>(middle)] >= y ? low : high) = middle;
            }
            reinterpret_cast<QRgb*>(bits + j * bytesPerLine)[i] =
                colours[static_cast<size_t>(low * mesh.Columns() + column)];
        }
    }
    return image;
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
    const bool phased = FPicture->Phases.size() == FPicture->Resistivities.size();
    if (phased) {
        ShowChartCells(*PhaseChart, ChartDataOf(FPicture->Mesh, FPicture->Phases), false);
        UseCoveredScale(*PhaseChart, FPicture->Phases, FPicture->Coverage, true);
    }
    ChartTabs->setTabEnabled(ResistivityTab, true);
    ChartTabs->setTabEnabled(ChargeabilityTab, chargeable);
    ChartTabs->setTabEnabled(PhaseTab, phased);
    if (FData)
        for (TTModelSection2d* chart : {ModelChart, ChargeabilityChart, PhaseChart})
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
    for (TTModelSection2d* chart : {ModelChart, ChargeabilityChart, PhaseChart}) {
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
    FResultWater.clear();
    FWaterStale = false;
    FWaterHeld = 0;
    FWaterNote.clear();
    IterationTable->setRowCount(0);
    IterationTable->setColumnHidden(PhaseChiSquareColumn, true);
    ChartTabs->setTabEnabled(ResistivityTab, false);
    ChartTabs->setTabEnabled(ChargeabilityTab, false);
    ChartTabs->setTabEnabled(PhaseTab, false);
    ChartTabs->setCurrentIndex(MeshTab);
}

bool TInversionWindow::ImageOf(const TMeasuredData* File) const
{
    // The file the image's data were kept from, else those data.
    const TMeasuredData* source = FResultFile ? FResultFile.get() : FResultData.get();
    return FPicture && source && File && (source == File || SameMeasurements(*source, *File));
}

void TInversionWindow::OfferQuantities(bool Charged, bool Phased)
{
    QStringList offered{QStringLiteral("Resistivity")};
    if (Charged)
        offered << QStringLiteral("Chargeability");
    if (Phased)
        offered << QStringLiteral("Phase");
    QStringList present;
    for (int i = 0; i < QuantityBox->count(); ++i)
        present << QuantityBox->itemText(i);
    if (present == offered)
        return;
    // The quantity chosen stays where the new data have it.
    const QString chosen = QuantityBox->currentText();
    const QSignalBlocker quiet(QuantityBox);
    QuantityBox->clear();
    QuantityBox->addItems(offered);
    QuantityBox->setCurrentIndex(std::max(0, static_cast<int>(offered.indexOf(chosen))));
}

void TInversionWindow::ShowPseudoSections()
{
    // The data alone before an inversion; with one, the data it inverted.
    const bool inverted = FResult && FResultData;
    const TMeasuredData* shown = inverted ? FResultData.get() : FData.get();
    // Chargeabilities and phases can be looked at as soon as the data hold some.
    const bool charged = shown && std::any_of(shown->Chargeabilities.begin(), shown->Chargeabilities.end(),
                                              [](double Eta) { return std::isfinite(Eta); });
    const bool phased = shown && HasPhases(*shown);
    OfferQuantities(charged, phased);
    FQuantityRow->setVisible(charged || phased);
    const QString chosen = QuantityBox->currentText();
    const bool chargeability = charged && chosen == QStringLiteral("Chargeability");
    const bool phase = phased && chosen == QStringLiteral("Phase");
    const bool compared =
        inverted && (!chargeability || FResult->ChargeabilityResponse.size() == shown->Chargeabilities.size()) &&
        (!phase || FResult->PhaseResponse.size() == shown->Phases.size());
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
    const std::vector<double> misfits =
        chargeability || phase || !compared ? std::vector<double>() : InvertedMisfits();
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
        } else if (phase) {
            // The phases as the field shows them: their magnitude.
            const double phi = std::fabs(data.Phases.at(d));
            const double response = compared ? std::fabs(FResult->PhaseResponse.at(d)) : 0.0;
            if (!std::isfinite(phi) || !std::isfinite(response))
                continue;
            measured.push_back(phi);
            calculated.push_back(response);
            misfit.push_back(response - phi);
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
                             : phase       ? QStringLiteral("apparent phase, magnitude (mrad)")
                                           : QStringLiteral("apparent resistivity");
    FPseudoUnit = chargeability ? QStringLiteral("%") : phase ? QStringLiteral("mrad") : QStringLiteral("ohm-m");
    SetPseudoSectionTitle(*MeasuredChart, QStringLiteral("Measured ") + quantity);
    SetPseudoSectionTitle(*CalculatedChart, QStringLiteral("Calculated ") + quantity);
    SetPseudoSectionTitle(*MisfitChart, chargeability ? QStringLiteral("Difference, calculated - measured (%)")
                                        : phase       ? QStringLiteral("Difference, calculated - measured (mrad)")
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
        if (high > low && (chargeability || phase || low > 0.0)) {
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

} // namespace lp
