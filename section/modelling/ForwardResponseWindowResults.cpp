#include "section/modelling/ForwardResponseWindow.h"

#include "section/modelling/ForwardResponseWindow_p.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "section/editor/PolygonChart.h"
#include "section/modelling/RegionFitDialog.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/survey/DataCleaning.h"
#include "section/views/PseudoSection2D.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSignalBlocker>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtGui/QScreen>
#include <QtGui/QStandardItemModel>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListView>
#include <QtWidgets/QMenu>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>


#include <algorithm>
#include <numeric>
#include <cmath>

namespace lp {

namespace {

QString SecondsText(double Value)
{
    return QString::number(Value, 'g', 4);
}

// The quantities of the comparison's box, in its order.
constexpr int ChargeabilityQuantity = 1;
constexpr int PhaseQuantity = 2;

// A quantity the data hold is offered; one they do not is disabled (the
// arrow keys pass over it) and hidden from the list, and when it was chosen
// the box goes back to the resistivity.
void OfferQuantity(QComboBox& Box, int Quantity, bool Held)
{
    if (auto* model = qobject_cast<QStandardItemModel*>(Box.model()))
        if (QStandardItem* item = model->item(Quantity))
            item->setEnabled(Held);
    if (auto* list = qobject_cast<QListView*>(Box.view()))
        list->setRowHidden(Quantity, !Held);
    if (!Held && Box.currentIndex() == Quantity) {
        const QSignalBlocker quiet(&Box); // shown by the caller
        Box.setCurrentIndex(0);
    }
}

} // namespace

// --- Showing ------------------------------------------------------------------------------

void TForwardResponseWindow::ShowState()
{
    QString text;
    QString style;
    const bool stale = FRun.Stale();
    if (FRun.Busy()) {
        text = QStringLiteral("updating…");
    } else if (!FError.isEmpty()) {
        text = FError + (FResult ? QStringLiteral("\nThe pictures show an earlier model (out of date).") : QString());
        style = QStringLiteral("color: #b00000;");
    } else if (!FCompareError.isEmpty()) {
        text = FCompareError;
        style = QStringLiteral("color: #b00000;");
    } else if (FCancelled) {
        text = FResult ? QStringLiteral("Cancelled: the pictures show an earlier model (out of date).")
                       : QStringLiteral("Cancelled.");
    } else if (stale && FResult) {
        text = QStringLiteral("The model has changed: Compute shows it (out of date).");
    } else if (FResult) {
        const TForwardResult& result = *FResult;
        text = QStringLiteral("%1, %2; mesh of %3 nodes; computed in %4 s.")
                   .arg(DatumCount(static_cast<long long>(result.Resistivities.size())),
                        ElectrodeCount(static_cast<long long>(result.Survey.Electrodes.size())))
                   .arg(result.MeshNodes)
                   .arg(SecondsText(result.Times.Total));
    } else {
        text = QStringLiteral("Compute shows what the survey would measure over the section.");
    }
    if (!FWarning.isEmpty() && FResult && !FRun.Busy() && FError.isEmpty())
        text += QStringLiteral("\n") + FWarning;
    if (!FDataSaid.isEmpty())
        text = FDataSaid + QStringLiteral("\n") + text;
    StateLabel->setText(text);
    StateLabel->setStyleSheet(style);
    const bool compared = FResult && FShownMeasured && FMisfit;
    MisfitLabel->setVisible(compared);
    if (compared)
        MisfitLabel->setText(QString::fromStdString(MisfitSummary(*FMisfit, FShownMeasured->Skipped)) +
                             (stale ? QStringLiteral(" (out of date)") : QString()));
    const bool shown = FResult.has_value();
    SaveButton->setEnabled(shown && !stale);
    FitButton->setEnabled(FMeasured && !(FFitDialog && FFitDialog->Busy()));
    ShowDataPanel();
    PrintButton->setEnabled(shown);
    ExportButton->setEnabled(shown);
    for (const std::unique_ptr<TChartParts>& parts : FCharts) {
        TStringList* title = parts->Chart->Title()->Text();
        QString caption = title->Count() > 0 ? title->Strings(0) : QString();
        const QString mark = QStringLiteral(" (out of date)");
        if (caption.endsWith(mark))
            caption.chop(mark.size());
        if (stale && shown)
            caption += mark;
        title->Clear();
        title->Add(caption);
        parts->Chart->Invalidate();
    }
}

void TForwardResponseWindow::ShowChart(TPseudoSection2d& Chart, const std::vector<TPseudoPoint>& Points,
                                       const std::vector<double>& Values, double DeepestPoint, bool Rebuild)
{
    // Measured data: the survey's frame within the model area; the array
    // survey: the model area.
    TSurveyFrame frame{FSection.ModelArea.left, FSection.ModelArea.right};
    if (const TSurveyFrame survey = FShownMeasured && FResult ? SurveyFrame(FResult->Survey) : TSurveyFrame{};
        !survey.Empty())
        frame = {std::max(frame.Left, survey.Left), std::min(frame.Right, survey.Right)};
    // Over relief (or a file's elevations) the data hang from the ground the
    // computation stood them on.
    const bool relief = FResult && (SurfaceHasRelief(FResult->Surface) || (FShownMeasured && FShownMeasured->HasElevations));
    ShowFieldPseudoSection(Chart, Points, Values, frame.Left, frame.Right, DeepestPoint,
                           relief ? FResult->Surface : std::vector<TGeometryPoint>{}, Rebuild);
}

namespace {

void SetChartTitle(TPseudoSection2d& Chart, const QString& Title)
{
    Chart.Title()->Text()->Clear();
    Chart.Title()->Text()->Add(Title);
}

} // namespace

void TForwardResponseWindow::ShowResult()
{
    ShowResultCharts();
    KeepWithinScreen();
}

void TForwardResponseWindow::KeepWithinScreen()
{
    const QScreen* screen = this->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    std::vector<QWidget*> shown;
    for (const std::unique_ptr<TChartParts>& parts : FCharts)
        if (!parts->Host->isHidden())
            shown.push_back(parts->Host);
    if (shown.empty())
        return;
    // The charts share what the screen leaves beside the window's frame and
    // its other rows: each chart's smallest height shrinks so that the
    // charts shown (three or four with phases or chargeabilities) never
    // push the window past the screen's edge.
    const int frame = std::max(frameGeometry().height() - height(), 0);
    int charts = 0;
    for (QWidget* host : shown)
        charts += host->minimumHeight();
    const int others = std::max(layout()->minimumSize().height() - charts, 0);
    const int share = (available.height() - frame - others) / static_cast<int>(shown.size());
    const int smallest = std::clamp(share, ChartLeastHeight, ChartHeight);
    for (const std::unique_ptr<TChartParts>& parts : FCharts)
        parts->Host->setMinimumHeight(smallest);
    layout()->activate();
    // The window itself within the screen, moved back onto it where it stands off.
    const int sides = std::max(frameGeometry().width() - width(), 0);
    const int highest = std::max(available.height() - frame, minimumSizeHint().height());
    const int widest = std::max(available.width() - sides, minimumSizeHint().width());
    if (height() > highest || width() > widest)
        resize(std::min(width(), widest), std::min(height(), highest));
    if (isVisible()) {
        const QRect outer = frameGeometry();
        const auto inside = [](int At, int Low, int High, int Size) { return std::clamp(At, Low, std::max(Low, High + 1 - Size)); };
        const int x = inside(outer.left(), available.left(), available.right(), outer.width());
        const int y = inside(outer.top(), available.top(), available.bottom(), outer.height());
        if (x != outer.left() || y != outer.top())
            move(pos() + QPoint(x - outer.left(), y - outer.top()));
    }
}

void TForwardResponseWindow::ShowResultCharts()
{
    const TForwardResult& result = *FResult;
    double deepest = 0.0;
    const std::vector<TPseudoPoint> points = PseudoSectionPoints(result.Survey);
    for (const TPseudoPoint& point : points)
        deepest = std::max(deepest, point.Depth);
    if (deepest <= 0.0)
        deepest = 1.0;
    const bool compared = FShownMeasured && FMisfit;
    // With a file the depth axis is the whole file's, whatever is removed.
    for (const TPseudoPoint& point : FFilePoints)
        deepest = std::max(deepest, point.Depth);
    FCharts[0]->Host->setVisible(compared);
    FCharts[3]->Host->setVisible(compared);
    // The phases of the computed response, as the field shows them.
    FCharts[4]->Host->setVisible(!compared && !result.Phases.empty());
    if (compared)
        return ShowComparison(deepest);
    QuantityBox->hide();
    FShownPoints = points;
    FShownData.resize(points.size());
    std::iota(FShownData.begin(), FShownData.end(), size_t{0});
    FShownChargeability = false;
    SetChartTitle(*ResistivityChart, QStringLiteral("Apparent resistivity"));
    FCharts[1]->Unit = QStringLiteral("ohm-m");
    FCharts[1]->Host->show();
    ShowChart(*ResistivityChart, points, result.Resistivities, deepest);
    const bool charged = !result.Chargeabilities.empty();
    FCharts[2]->Host->setVisible(charged);
    if (charged)
        ShowChart(*ChargeabilityChart, points, result.Chargeabilities, deepest);
    if (!result.Phases.empty()) {
        std::vector<double> magnitudes;
        for (double phase : result.Phases)
            magnitudes.push_back(std::fabs(phase));
        ShowChart(*PhaseChart, points, magnitudes, deepest);
    }
}

// Measured, calculated and misfit, one above the other, of the quantity
// chosen: measured and calculated on one scale.
void TForwardResponseWindow::ShowComparison(double DeepestPoint)
{
    const TForwardResult& result = *FResult;
    const TMeasuredData& measured = *FShownMeasured;
    // Measured chargeabilities are shown as soon as the file has them: with
    // no polarizable region the calculated ones are 0, as the totals take
    // them.
    const bool chargeable = !measured.Chargeabilities.empty() && FMisfit->ChargeabilityData > 0;
    // Measured phases likewise: bodies without a phase respond with 0.
    const bool phased = FMisfit->PhaseData > 0;
    OfferQuantity(*QuantityBox, ChargeabilityQuantity, chargeable);
    OfferQuantity(*QuantityBox, PhaseQuantity, phased);
    QuantityBox->setVisible(chargeable || phased);
    const bool chargeability = chargeable && QuantityBox->currentIndex() == ChargeabilityQuantity;
    const bool phase = phased && QuantityBox->currentIndex() == PhaseQuantity;
    FCharts[2]->Host->hide();
    const std::vector<TPseudoPoint> all = PseudoSectionPoints(result.Survey);
    std::vector<TPseudoPoint> points;
    std::vector<double> observed, calculated, misfits;
    FShownData.clear();
    FShownChargeability = chargeability;
    FShownPhase = phase;
    for (size_t i = 0; i < all.size(); ++i) {
        if (phase) {
            // Only the data with a measured phase, as the field shows them:
            // magnitudes, the difference |φa,calc| − |φa,meas|.
            const double difference = FMisfit->PhaseDifferences.at(i);
            if (!std::isfinite(difference))
                continue;
            observed.push_back(std::fabs(measured.Phases.at(i)));
            calculated.push_back(result.Phases.empty() ? 0.0 : std::fabs(result.Phases.at(i)));
            misfits.push_back(calculated.back() - observed.back());
        } else if (chargeability) {
            // Only the data with a measured chargeability.
            const double difference = FMisfit->ChargeabilityDifferences.at(i);
            if (!std::isfinite(difference))
                continue;
            observed.push_back(measured.Chargeabilities.at(i));
            calculated.push_back(result.Chargeabilities.empty() ? 0.0 : result.Chargeabilities.at(i));
            misfits.push_back(difference);
        } else {
            observed.push_back(FMisfit->Measured.at(i)); // as compared: with the computation's k
            calculated.push_back(result.Resistivities.at(i));
            misfits.push_back(FMisfit->Misfits.at(i));
        }
        points.push_back(all[i]);
        FShownData.push_back(i);
    }
    FShownPoints = points;
    const QString quantity = phase           ? QStringLiteral("apparent phase, magnitude")
                             : chargeability ? QStringLiteral("apparent chargeability")
                                             : QStringLiteral("apparent resistivity");
    const QString unit = phase ? QStringLiteral("mrad") : chargeability ? QStringLiteral("%") : QStringLiteral("ohm-m");
    SetChartTitle(*MeasuredChart, QStringLiteral("Measured ") + quantity);
    SetChartTitle(*ResistivityChart, QStringLiteral("Calculated ") + quantity);
    SetChartTitle(*MisfitChart, phase           ? QStringLiteral("Difference, calculated - measured (mrad)")
                                : chargeability ? QStringLiteral("Difference, calculated - measured (%)")
                                                : QStringLiteral("Misfit (%)"));
    FCharts[0]->Unit = FCharts[1]->Unit = unit;
    FCharts[3]->Unit = phase ? QStringLiteral("mrad") : QStringLiteral("%");
    FCharts[1]->Host->show();
    ShowChart(*MeasuredChart, points, observed, DeepestPoint, false);
    ShowChart(*ResistivityChart, points, calculated, DeepestPoint, false);
    // One scale for both: equal colours are equal values.
    double low = std::min(MeasuredChart->DataMin, ResistivityChart->DataMin);
    double high = std::max(MeasuredChart->DataMax, ResistivityChart->DataMax);
    for (TPseudoSection2d* chart : {MeasuredChart, ResistivityChart}) {
        SetPseudoSectionRange(*chart, low, high);
        chart->RebuildPicture();
    }
    ShowChart(*MisfitChart, points, misfits, DeepestPoint, false);
    UseDivergingScale(*MisfitChart);
    MisfitChart->RebuildPicture();
}

// --- Hover --------------------------------------------------------------------------------

QString TForwardResponseWindow::DatumAt(const TChartParts& Parts, int X, int Y) const
{
    const TPseudoSection2d& chart = *Parts.Chart;
    if (!FResult || Parts.Host->isHidden() || FShownPoints.size() != FShownData.size())
        return QString();
    // The nearest point within a few pixels, as the user aims at a dot.
    const int reach = 6;
    long best = static_cast<long>(reach) * reach + 1;
    std::optional<size_t> nearest;
    for (size_t p = 0; p < FShownPoints.size(); ++p) {
        const long dx = chart.BottomAxis()->CalcPosValue(FShownPoints[p].X) - X;
        const long dy = chart.LeftAxis()->CalcPosValue(PlottedVertical(chart, p, FShownPoints[p].Depth)) - Y;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = FShownData[p];
        }
    }
    return nearest ? DatumText(*nearest) : QString();
}

namespace {

QString Number(double Value)
{
    return QString::number(Value, 'g', 4);
}

} // namespace

// "Datum 12, a b m n 3 4 6 7: measured 118.2, calculated 104.9 ohm-m, misfit
// -11.25 %, error 3 %", the electrodes numbered from 1 (0 absent).
QString TForwardResponseWindow::DatumText(size_t Datum) const
{
    const TForwardResult& result = *FResult;
    const TConfiguration& c = result.Survey.Configurations.at(Datum);
    // Numbered as in the file, whatever is removed.
    const size_t number = Datum < FShownFileIndexes.size() ? FShownFileIndexes[Datum] : Datum;
    QString text = QStringLiteral("Datum %1, a b m n %2 %3 %4 %5: ")
                       .arg(number + 1)
                       .arg(c.a + 1)
                       .arg(c.b + 1)
                       .arg(c.m + 1)
                       .arg(c.n + 1);
    const bool compared = FShownMeasured && FMisfit;
    // Without a polarizable region the calculated chargeability is 0.
    const auto chargeability = [&](const std::vector<double>& Values) {
        return (Values.empty() ? Number(0.0) : Number(Values.at(Datum))) + QStringLiteral(" %");
    };
    if (!compared) {
        text += QStringLiteral("ρa %1 ohm-m").arg(Number(result.Resistivities.at(Datum)));
        if (!result.Chargeabilities.empty())
            text += QStringLiteral(", ηa %1").arg(chargeability(result.Chargeabilities));
        if (!result.Phases.empty())
            text += QStringLiteral(", φa %1 mrad").arg(Number(result.Phases.at(Datum)));
        return text;
    }
    const TMeasuredData& measured = *FShownMeasured;
    if (FShownPhase)
        return text + QStringLiteral("measured φa %1, calculated %2, difference %3 mrad")
                          .arg(Number(measured.Phases.at(Datum)),
                               Number(result.Phases.empty() ? 0.0 : result.Phases.at(Datum)),
                               Number(FMisfit->PhaseDifferences.at(Datum)));
    if (FShownChargeability)
        return text + QStringLiteral("measured ηa %1, calculated %2, difference %3 %")
                          .arg(chargeability(measured.Chargeabilities), chargeability(result.Chargeabilities),
                               Number(FMisfit->ChargeabilityDifferences.at(Datum)));
    return text + QStringLiteral("measured %1, calculated %2 ohm-m, misfit %3 %, error %4 %")
                      .arg(Number(FMisfit->Measured.at(Datum)), Number(result.Resistivities.at(Datum)),
                           Number(FMisfit->Misfits.at(Datum)), Number(100.0 * FMisfit->Errors.at(Datum)));
}

void TForwardResponseWindow::PlaceElectrodeMarks()
{
    if (!isVisible()) {
        if (ElectrodeMarks)
            ElectrodeMarks->SetActive(false);
        return;
    }
    if (!ElectrodeMarks) {
        auto* marks = new TPointSeries(&FSection);
        marks->SetTitle(QStringLiteral("Electrodes"));
        marks->SetShowInLegend(false);
        marks->Marks()->SetVisible(false);
        marks->Pointer()->SetStyle(TSeriesPointer::psDownTriangle);
        marks->Pointer()->SetHorizSize(3);
        marks->Pointer()->SetVertSize(3);
        marks->SetSeriesColor(0x0000C0);
        marks->SetVertAxis(TChartSeries::aLeftAxis);
        marks->SetParentChart(&FSection);
        ElectrodeMarks = marks;
    }
    ElectrodeMarks->SetActive(true);
    ElectrodeMarks->Clear();
    // The computed electrodes stand on the surface; before a result (or
    // after the survey changed) the layout's along the area's top.
    std::vector<TElectrode> electrodes;
    const std::optional<TArrayLayout> layout = SurveyLayout();
    // A file's: those the data use (one no datum uses may lie off the section).
    const auto used = [](const TSurvey& Survey) {
        std::vector<TElectrode> kept;
        for (int e : UsedElectrodes(Survey))
            kept.push_back(Survey.Electrodes.at(static_cast<size_t>(e)));
        return kept;
    };
    if (FResult && !FRun.Stale())
        electrodes = used(FResult->Survey);
    else if (FMeasured) {
        electrodes = used(FMeasured->Survey());
        for (TElectrode& electrode : electrodes)
            electrode.z = -FSection.ModelArea.top;
    } else if (layout) {
        try {
            electrodes = MakeArraySurvey(*layout, FSection.ModelArea.left, FSection.ModelArea.right).Electrodes;
        } catch (const std::exception&) {
            electrodes.clear();
        }
        for (TElectrode& electrode : electrodes)
            electrode.z = -FSection.ModelArea.top;
    }
    for (const TElectrode& electrode : electrodes)
        ElectrodeMarks->AddXY(electrode.x, -electrode.z, QString(), clPlotColor);
    FSection.Invalidate();
}

void TForwardResponseWindow::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    HostEdit->setEnabled(HostFieldUsed());
    PlaceElectrodeMarks();
    // Opened with Follow edits on: the model as it is, at once.
    if (FollowBox->isChecked() && !FResult && !FRun.Busy() && FError.isEmpty())
        StartRun();
}

void TForwardResponseWindow::hideEvent(QHideEvent* Event)
{
    QWidget::hideEvent(Event);
    if (ElectrodeMarks) {
        ElectrodeMarks->SetActive(false);
        FSection.Invalidate();
    }
}

} // namespace lp
