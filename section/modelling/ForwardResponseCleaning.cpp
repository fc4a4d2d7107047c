// The forward response window's cleaning of the measured data: the data
// panel, selecting data in the measured chart, the removal steps and their
// undo, the filters, and the comparison recut for the kept data.

#include "section/modelling/ForwardResponseWindow.h"

#include "chart/engine/PlotAxis.h"
#include "platform/core/SafeSave.h"
#include "platform/graphics/Metafile.h"
#include "platform/ui/Dialogs.h"
#include "section/modelling/ForwardPseudoSection.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/modelling/ReciprocalErrorsDialog.h"
#include "section/modelling/SameFile.h"
#include "section/views/PseudoSection2D.h"

#include <QtGui/QAction>
#include <QtGui/QKeySequence>
#include <QtGui/QShortcut>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The response at the kept data's configurations, cut from the whole file's.
TForwardResult KeepResponse(const TForwardResult& All, const std::vector<size_t>& Kept)
{
    TForwardResult part = All;
    const auto cut = [&Kept](auto& Values) {
        if (Values.empty())
            return;
        std::remove_reference_t<decltype(Values)> kept;
        kept.reserve(Kept.size());
        for (size_t d : Kept)
            kept.push_back(Values.at(d));
        Values = std::move(kept);
    };
    cut(part.Survey.Configurations);
    cut(part.Voltages);
    cut(part.GeometricFactors);
    cut(part.Resistivities);
    cut(part.Chargeabilities);
    cut(part.Phases);
    return part;
}

// A press and release closer than this (pixels) is a click, not a rectangle.
constexpr int ClickSlack = 3;
// How far from a datum's mark a click still takes it (pixels).
constexpr int SelectReach = 6;

} // namespace

void TForwardResponseWindow::CreateDataPanel(QBoxLayout& Panel)
{
    DataPanel = new QWidget(this);
    DataPanel->setObjectName(QStringLiteral("DataPanel"));
    auto* layout = new QVBoxLayout(DataPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    DataCountLabel = new QLabel(DataPanel);
    DataCountLabel->setObjectName(QStringLiteral("DataCountLabel"));
    DataCountLabel->setWordWrap(true);
    layout->addWidget(DataCountLabel);
    const auto button = [this](const QString& Caption, const QString& Name, const QString& Tip) {
        auto* made = new QPushButton(Caption, DataPanel);
        made->setObjectName(Name);
        made->setToolTip(Tip);
        return made;
    };
    RemoveButton = button(QStringLiteral("Re&move"), QStringLiteral("RemoveButton"),
                          QStringLiteral("Removes the data selected in the measured chart (Delete). A click selects "
                                         "a datum, a drag the data in a rectangle; Ctrl adds to the selection."));
    RestoreButton = button(QStringLiteral("Res&tore"), QStringLiteral("RestoreButton"),
                           QStringLiteral("Brings the selected data back."));
    UndoDataButton = button(QStringLiteral("&Undo"), QStringLiteral("UndoDataButton"),
                            QStringLiteral("Takes back the data's last step (Ctrl+Z)."));
    auto* steps = new QHBoxLayout;
    for (QPushButton* made : {RemoveButton, RestoreButton, UndoDataButton})
        steps->addWidget(made);
    layout->addLayout(steps);
    CleanButton = button(QStringLiteral("Clea&n"), QStringLiteral("CleanButton"),
                         QStringLiteral("Removes data by a rule; each is one step."));
    CleanMenu = new QMenu(CleanButton);
    CleanMenu->setObjectName(QStringLiteral("CleanMenu"));
    CleanMenu->addAction(QStringLiteral("Remove ρa ≤ &0"), this, [this] { RemoveNonPositive(); });
    CleanMenu->addAction(QStringLiteral("Remove &outliers..."), this, [this] { AskRemoveOutliers(); });
    CleanMenu->addAction(QStringLiteral("Remove &misfit beyond..."), this, [this] { AskRemoveMisfitBeyond(); });
    CleanMenu->addAction(QStringLiteral("&Reciprocal errors..."), this, [this] { ShowReciprocalErrors(); });
    CleanMenu->addSeparator();
    TurnPolarityAction = CleanMenu->addAction(QStringLiteral("&Turn reversed polarity"));
    TurnPolarityAction->setObjectName(QStringLiteral("TurnPolarityAction"));
    TurnPolarityAction->setCheckable(true);
    TurnPolarityAction->setToolTip(QStringLiteral("Turns the data whose sign disagrees with their configuration's "
                                                  "geometric factor (ρa below 0: an instrument that records no "
                                                  "polarity) to its sign; their chargeability or phase stays."));
    connect(TurnPolarityAction, &QAction::triggered, this, [this](bool On) { TurnPolarity(On); });
    CleanButton->setMenu(CleanMenu);
    SaveKeptButton = button(QStringLiteral("Save &kept data..."), QStringLiteral("SaveKeptButton"),
                            QStringLiteral("Writes the data kept, with the errors they are weighed with, to a new "
                                           "unified data file; the measured file stays as it is."));
    // Every letter of its words is taken in the panel: no key of its own.
    PositionsButton = button(QStringLiteral("Electrode positions..."), QStringLiteral("PositionsButton"),
                             QStringLiteral("Places the file's electrodes as a positions file says (number, x, y, "
                                            "z, buried), in place of the nominal places the data file carries."));
    auto* more = new QHBoxLayout;
    more->addWidget(CleanButton);
    more->addWidget(SaveKeptButton);
    layout->addLayout(more);
    layout->addWidget(PositionsButton);
    ShowRemovedBox = new QCheckBox(QStringLiteral("Sho&w removed"), DataPanel);
    ShowRemovedBox->setObjectName(QStringLiteral("ShowRemovedBox"));
    ShowRemovedBox->setChecked(true);
    layout->addWidget(ShowRemovedBox);
    // Every letter of the panel's row is taken: no key of its own.
    IpIsPhaseBox = new QCheckBox(QStringLiteral("The ip column holds phases (mrad)"), DataPanel);
    IpIsPhaseBox->setObjectName(QStringLiteral("IpIsPhaseBox"));
    IpIsPhaseBox->setToolTip(QStringLiteral("A unified file's bare ip column read as the magnitude of phases in mrad "
                                            "(a frequency-domain survey), not as chargeabilities in mV/V."));
    layout->addWidget(IpIsPhaseBox);
    Panel.addWidget(DataPanel);
    DataPanel->hide();

    connect(RemoveButton, &QPushButton::clicked, this, [this] { RemoveSelected(); });
    connect(RestoreButton, &QPushButton::clicked, this, [this] { RestoreSelected(); });
    connect(UndoDataButton, &QPushButton::clicked, this, [this] { UndoDataStep(); });
    connect(ShowRemovedBox, &QCheckBox::toggled, this, [this] { MeasuredChart->Invalidate(); });
    connect(IpIsPhaseBox, &QCheckBox::toggled, this, [this] { ReadIpAgain(); });
    connect(PositionsButton, &QPushButton::clicked, this, [this] { AskElectrodePositions(this); });
    connect(SaveKeptButton, &QPushButton::clicked, this, [this] {
        AskSaveResult(*this, QStringLiteral("SaveKeptDataDialog"), QStringLiteral("Save kept data"),
                      QStringLiteral("Unified data file (*.dat)|*.dat"), QStringLiteral("dat"),
                      [this](const QString& FileName, QString& Error) { return SaveKeptData(FileName, Error); },
                      [this](const QString& FileName) { return RefusedTarget(FileName, true); });
    });
    // Delete in a text field stays the field's (it takes the key first).
    auto* remove = new QShortcut(QKeySequence::Delete, this);
    remove->setContext(Qt::WindowShortcut);
    connect(remove, &QShortcut::activated, this, [this] { RemoveSelected(); });
}

void TForwardResponseWindow::ShowDataPanel()
{
    if (!FMeasured)
        return;
    QString text = QString::fromStdString(FRemovals.CountText());
    if (const std::optional<TReciprocalErrorModel>& model = FRemovals.ReciprocalErrorModel())
        text += QStringLiteral("; the error of %1 paired data from their reciprocals").arg(2 * model->Pairs);
    DataCountLabel->setText(text + QStringLiteral("."));
    const bool selected = std::find(FSelected.begin(), FSelected.end(), true) != FSelected.end();
    RemoveButton->setEnabled(selected);
    RestoreButton->setEnabled(selected);
    UndoDataButton->setEnabled(FRemovals.CanUndo());
}

// --- Selecting ----------------------------------------------------------------------

void TForwardResponseWindow::InstallDataSelection()
{
    TPseudoSection2d& chart = *MeasuredChart;
    chart.Zoom()->SetAllow(false); // a drag selects in this chart; the others zoom
    const auto drawn = chart.OnAfterDraw;
    chart.OnAfterDraw = [this, drawn](TCustomPlotPanelExtended* Sender) {
        if (drawn)
            drawn(Sender);
        DrawDataMarks();
    };
    chart.OnMouseDown = [this](TControl*, TControl::TMouseButton Button, TShiftState Shift, int X, int Y) {
        if (Button == TControl::mbLeft && FMeasured)
            FDrag = {true, Shift.testFlag(TControl::ssCtrl), X, Y, X, Y};
    };
    const auto moved = chart.OnMouseMove;
    chart.OnMouseMove = [this, moved](TControl* Sender, TShiftState Shift, int X, int Y) {
        if (moved)
            moved(Sender, Shift, X, Y);
        if (FDrag.Active) {
            FDrag.X1 = X;
            FDrag.Y1 = Y;
            MeasuredChart->Invalidate();
        }
    };
    chart.OnMouseUp = [this](TControl*, TControl::TMouseButton Button, TShiftState, int X, int Y) {
        if (Button != TControl::mbLeft || !FDrag.Active)
            return;
        FDrag.Active = false;
        SelectionDragged(FDrag.X0, FDrag.Y0, X, Y, FDrag.Add);
    };
}

std::vector<QPoint> TForwardResponseWindow::FileDataPixels() const
{
    const TPseudoSection2d& chart = *MeasuredChart;
    const std::vector<double> verticals = PlottedVerticals(chart, FFilePoints);
    std::vector<QPoint> pixels;
    pixels.reserve(FFilePoints.size());
    for (size_t d = 0; d < FFilePoints.size(); ++d)
        pixels.push_back({chart.BottomAxis()->CalcPosValue(FFilePoints[d].X), chart.LeftAxis()->CalcPosValue(verticals[d])});
    return pixels;
}

std::optional<size_t> TForwardResponseWindow::DatumNear(int X, int Y, bool RemovedToo) const
{
    const std::vector<QPoint> pixels = FileDataPixels();
    long best = static_cast<long>(SelectReach) * SelectReach + 1;
    std::optional<size_t> nearest;
    for (size_t d = 0; d < pixels.size(); ++d) {
        if (FRemovals.IsRemoved(d) && !RemovedToo)
            continue;
        const long dx = pixels[d].x() - X, dy = pixels[d].y() - Y;
        if (dx * dx + dy * dy < best) {
            best = dx * dx + dy * dy;
            nearest = d;
        }
    }
    return nearest;
}

void TForwardResponseWindow::SelectionDragged(int X0, int Y0, int X1, int Y1, bool Add)
{
    if (FSelected.size() != FRemovals.Size() || FFilePoints.size() != FRemovals.Size())
        return;
    const bool removedToo = ShowRemovedBox->isChecked();
    if (!Add)
        std::fill(FSelected.begin(), FSelected.end(), false);
    if (std::abs(X1 - X0) <= ClickSlack && std::abs(Y1 - Y0) <= ClickSlack) {
        if (const std::optional<size_t> datum = DatumNear(X1, Y1, removedToo))
            FSelected[*datum] = Add ? !FSelected[*datum] : true;
    } else {
        const int left = std::min(X0, X1), right = std::max(X0, X1);
        const int top = std::min(Y0, Y1), bottom = std::max(Y0, Y1);
        const std::vector<QPoint> pixels = FileDataPixels();
        for (size_t d = 0; d < pixels.size(); ++d)
            if ((removedToo || !FRemovals.IsRemoved(d)) && pixels[d].x() >= left && pixels[d].x() <= right &&
                pixels[d].y() >= top && pixels[d].y() <= bottom)
                FSelected[d] = true;
    }
    MeasuredChart->Invalidate();
    ShowDataPanel();
}

std::vector<size_t> TForwardResponseWindow::SelectedData() const
{
    std::vector<size_t> data;
    for (size_t d = 0; d < FSelected.size(); ++d)
        if (FSelected[d])
            data.push_back(d);
    return data;
}

void TForwardResponseWindow::SelectData(const std::vector<size_t>& Data)
{
    std::fill(FSelected.begin(), FSelected.end(), false);
    for (size_t d : Data)
        if (d < FSelected.size())
            FSelected[d] = true;
    MeasuredChart->Invalidate();
    ShowDataPanel();
}

// Over the measured chart's picture: the removed data as hollow rings (while
// shown), the data of ρa ≤ 0 not removed as crosses, the selected as black
// squares, and the rectangle being dragged.
void TForwardResponseWindow::DrawDataMarks()
{
    if (!FMeasured || FFilePoints.size() != FRemovals.Size() || FSelected.size() != FRemovals.Size())
        return;
    TPlotCanvas3D& canvas = MeasuredChart->Canvas();
    const TRect plot = MeasuredChart->ChartRectangle();
    const std::vector<QPoint> pixels = FileDataPixels();
    const bool removedShown = ShowRemovedBox->isChecked();
    canvas.Brush()->SetStyle(bsClear);
    canvas.Pen()->SetStyle(psSolid);
    canvas.Pen()->SetWidth(1);
    for (size_t d = 0; d < FFilePoints.size(); ++d) {
        const int x = pixels[d].x(), y = pixels[d].y();
        if (x < plot.Left || x > plot.Right || y < plot.Top || y > plot.Bottom)
            continue;
        const bool removed = FRemovals.IsRemoved(d);
        if (removed && removedShown) {
            canvas.Pen()->SetColor(0x404040);
            canvas.Ellipse(x - 3, y - 3, x + 4, y + 4);
        } else if (!removed && FRemovals.IsUnusable(d)) {
            canvas.Pen()->SetColor(0x0000C0);
            canvas.Line(x - 3, y - 3, x + 4, y + 4);
            canvas.Line(x - 3, y + 3, x + 4, y - 4);
        }
        if (FSelected[d] && (!removed || removedShown)) {
            canvas.Pen()->SetColor(clBlack);
            canvas.Rectangle(x - 4, y - 4, x + 5, y + 5);
        }
    }
    if (FDrag.Active) {
        canvas.Pen()->SetColor(clBlack);
        canvas.Pen()->SetStyle(psDot);
        canvas.Rectangle(std::min(FDrag.X0, FDrag.X1), std::min(FDrag.Y0, FDrag.Y1), std::max(FDrag.X0, FDrag.X1),
                         std::max(FDrag.Y0, FDrag.Y1));
        canvas.Pen()->SetStyle(psSolid);
    }
}

// --- Steps ----------------------------------------------------------------------------

void TForwardResponseWindow::Compare()
{
    FCompareError.clear();
    FMisfit.reset();
    FShownMeasured.reset();
    FShownFileIndexes.clear();
    if (!FComputed) {
        FResult.reset();
        return;
    }
    if (!FComputedFor) {
        FResult = FComputed;
        return;
    }
    // A result of a file no longer open is compared with all its usable data.
    const bool current = FComputedFor == FRemovals.File();
    const TDataRemovals whole = current ? TDataRemovals() : TDataRemovals(FComputedFor);
    const TDataRemovals& removals = current ? FRemovals : whole;
    FShownMeasured = removals.Kept();
    FShownFileIndexes = removals.KeptIndexes();
    FResult = KeepResponse(*FComputed, FShownFileIndexes);
    SkipNonPositiveResponses();
    try {
        FMisfit = ComputeMisfit(*FShownMeasured, *FResult, FErrors);
    } catch (const std::exception& Refusal) {
        FCompareError = QString::fromUtf8(Refusal.what());
    }
}

void TForwardResponseWindow::SkipNonPositiveResponses()
{
    // Data computed at 0 ohm-m or below (a configuration measuring next to
    // nothing) have no logarithm to compare: left out of the comparison
    // and counted with the file's skipped data, by line.
    std::vector<size_t> kept;
    for (size_t d = 0; d < FResult->Resistivities.size() && d < FShownFileIndexes.size(); ++d)
        if (FResult->Resistivities[d] > 0.0)
            kept.push_back(FShownFileIndexes[d]);
    if (kept.size() == FShownFileIndexes.size())
        return;
    TMeasuredData measured = *FShownMeasured;
    TForwardResult response = *FResult;
    std::vector<int> lines = DropNonPositiveResponses(measured, response);
    measured.Skipped.NonPositiveResponseLines = std::move(lines);
    FShownMeasured = std::make_shared<const TMeasuredData>(std::move(measured));
    FResult = std::move(response);
    FShownFileIndexes = std::move(kept);
}

void TForwardResponseWindow::DataChanged(const QString& Said)
{
    FMeasured = FRemovals.Kept();
    FDataSaid = Said;
    if (FComputed) {
        Compare();
        if (FResult)
            ShowResult();
    }
    SaveSettings();
    ShowState();
    MeasuredChart->Invalidate();
    // The reciprocal errors' view follows the kept data while it is open.
    if (FReciprocalDialog && FReciprocalDialog->isVisible())
        FReciprocalDialog->ShowPairs(FRemovals.KeptPairs(), FRemovals.ReciprocalErrorsUsed());
    if (OnMeasuredDataChanged)
        OnMeasuredDataChanged();
}

bool TForwardResponseWindow::KeepsSomeData(const QString& What)
{
    if (FRemovals.Kept() && FRemovals.Kept()->Size() > 0)
        return true;
    FRemovals.Undo();
    FDataSaid = What + QStringLiteral(" would leave no datum: nothing was removed.");
    ShowState();
    return false;
}

std::optional<size_t> TForwardResponseWindow::Filtered(const QString& What, const std::function<size_t()>& Step)
{
    if (!FMeasured)
        return std::nullopt;
    size_t removed = 0;
    try {
        removed = Step();
    } catch (const std::exception& Refusal) {
        FDataSaid = What + QStringLiteral(": ") + QString::fromUtf8(Refusal.what());
        ShowState();
        return std::nullopt;
    }
    if (!KeepsSomeData(What))
        return std::nullopt;
    DataChanged(QStringLiteral("%1: %2 removed.").arg(What, DatumCount(static_cast<long long>(removed))));
    return removed;
}

size_t TForwardResponseWindow::RemoveSelected()
{
    return Filtered(QStringLiteral("Remove"), [this] { return FRemovals.Remove(SelectedData()); }).value_or(0);
}

size_t TForwardResponseWindow::RestoreSelected()
{
    if (!FMeasured)
        return 0;
    const size_t restored = FRemovals.Restore(SelectedData());
    DataChanged(QStringLiteral("Restore: %1 restored.").arg(DatumCount(static_cast<long long>(restored))));
    return restored;
}

std::optional<size_t> TForwardResponseWindow::RemoveNonPositive()
{
    return Filtered(QStringLiteral("Remove ρa ≤ 0"), [this] { return FRemovals.RemoveNonPositive(); });
}

std::optional<size_t> TForwardResponseWindow::RemoveOutliers(double K)
{
    return Filtered(QStringLiteral("Remove outliers beyond %1 deviations").arg(ShortNumber(K, 6)),
                    [this, K] { return FRemovals.RemoveOutliers(K); });
}

std::optional<size_t> TForwardResponseWindow::RemoveReciprocalBeyond(double Percent)
{
    const QString what = QStringLiteral("Remove reciprocal errors beyond %1 %").arg(ShortNumber(Percent, 6));
    if (FMeasured && FRemovals.KeptPairs().empty()) {
        FDataSaid = what + QStringLiteral(": the data hold no reciprocal pair.");
        ShowState();
        return std::nullopt;
    }
    return Filtered(what, [this, Percent] { return FRemovals.RemoveReciprocalBeyond(Percent); });
}

std::optional<size_t> TForwardResponseWindow::RemoveMisfitBeyond(double Percent, const TMeasuredData* Data,
                                                                 const std::vector<double>& Misfits)
{
    const QString what = QStringLiteral("Remove misfit beyond %1 %").arg(ShortNumber(Percent, 6));
    const auto refuse = [&](const QString& Why) {
        FDataSaid = what + QStringLiteral(": ") + Why;
        ShowState();
        return std::nullopt;
    };
    if (!FMeasured)
        return std::nullopt;
    if (Data) {
        if (Data != FMeasured.get())
            return refuse(QStringLiteral("the inversion's data are no longer the data kept; invert again first."));
        return Filtered(what, [&] { return FRemovals.RemoveMisfitBeyond(Misfits, Percent); });
    }
    if (!FMisfit || FShownMeasured != FMeasured)
        return refuse(QStringLiteral("the misfits are not known yet; compute the response first."));
    const std::vector<double> shown = FMisfit->Misfits;
    return Filtered(what, [&] { return FRemovals.RemoveMisfitBeyond(shown, Percent); });
}

bool TForwardResponseWindow::UseReciprocalErrors(bool On)
{
    if (!FMeasured)
        return false;
    const bool used = FRemovals.UseReciprocalErrors(On);
    DataChanged(used ? QStringLiteral("The paired data take the error model fitted to their reciprocals.")
            : On     ? QStringLiteral("The data hold no reciprocal pair to fit an error model to.")
                     : QStringLiteral("The paired data take the error fields' error again."));
    return used;
}

size_t TForwardResponseWindow::TurnPolarity(bool On)
{
    if (!FMeasured)
        return 0;
    const size_t turned = FRemovals.TurnPolarity(On);
    if (TurnPolarityAction)
        TurnPolarityAction->setChecked(FRemovals.PolarityTurned());
    DataChanged(On ? QStringLiteral("Turn reversed polarity: %1 turned to the sign of their configuration's geometric "
                                    "factor.")
                         .arg(DatumCount(static_cast<long long>(turned)))
                   : QStringLiteral("The data's polarity is taken as read again."));
    return turned;
}

bool TForwardResponseWindow::UndoDataStep()
{
    if (!FMeasured || !FRemovals.Undo())
        return false;
    DataChanged(QStringLiteral("The data's last step is taken back."));
    return true;
}

bool TForwardResponseWindow::SaveKeptData(const QString& FileName, QString& Error) const
{
    if (!FMeasured) {
        Error = QStringLiteral("There are no measured data to save.");
        return false;
    }
    if (const QString refusal = RefusedTarget(FileName, true); !refusal.isEmpty()) {
        Error = refusal;
        return false;
    }
    std::string text;
    try {
        // Each datum with the error it is weighed with, the error fields' where its file gives none.
        TMeasuredData kept = *FMeasured;
        kept.Errors = DataErrors(kept, FErrors);
        text = FormatMeasuredData(kept, FErrors.RelativePercent / 100.0);
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return false;
    }
    return SaveBytesAtomically(FileName, QByteArray::fromStdString(text), Error);
}

void TForwardResponseWindow::AskRemoveOutliers()
{
    if (const std::optional<double> k = AskPositiveNumber(
            QStringLiteral("Remove outliers"),
            QStringLiteral("Remove the data whose apparent resistivity stands beyond this many median absolute "
                           "deviations from their neighbours':"),
            QStringLiteral("3")))
        RemoveOutliers(*k);
}

void TForwardResponseWindow::AskRemoveMisfitBeyond()
{
    if (const std::optional<double> percent =
            AskPositiveNumber(QStringLiteral("Remove misfit"),
                        QStringLiteral("Remove the data whose misfit is beyond this many per cent:"),
                        QStringLiteral("20")))
        RemoveMisfitBeyond(*percent);
}

void TForwardResponseWindow::ShowReciprocalErrors()
{
    if (!FMeasured)
        return;
    if (!FReciprocalDialog) {
        FReciprocalDialog = new TReciprocalErrorsDialog(this);
        FReciprocalDialog->OnRemoveBeyond = [this](double Percent) { RemoveReciprocalBeyond(Percent); };
        FReciprocalDialog->OnUseModel = [this](bool On) { UseReciprocalErrors(On); };
    }
    FReciprocalDialog->ShowPairs(FRemovals.KeptPairs(), FRemovals.ReciprocalErrorsUsed());
    FReciprocalDialog->show();
    FReciprocalDialog->raise();
}

// --- Remembering ----------------------------------------------------------------------

namespace {

// The checksum a remembered set begins with.
QString SetChecksum(const QString& Set)
{
    return Set.section(QLatin1Char(' '), 0, 0);
}

} // namespace

std::vector<QString> TForwardResponseWindow::RemovedSets() const
{
    std::vector<QString> sets;
    if (FMeasured && !FFileChecksum.isEmpty() && FRemovals.RemovedCount() > 0)
        sets.push_back(FFileChecksum + QLatin1Char(' ') + QString::fromStdString(FRemovals.RemovedText()));
    for (const QString& set : FRemovedSets)
        if (sets.size() < TForwardSurveySettings::MaxRemovedSets &&
            (FFileChecksum.isEmpty() || SetChecksum(set) != FFileChecksum))
            sets.push_back(set);
    return sets;
}

bool TForwardResponseWindow::RestoreRemovedSet()
{
    if (FFileChecksum.isEmpty())
        return false;
    const auto found = std::find_if(FRemovedSets.begin(), FRemovedSets.end(),
                                    [this](const QString& Set) { return SetChecksum(Set) == FFileChecksum; });
    if (found == FRemovedSets.end())
        return false;
    const qsizetype space = found->indexOf(QLatin1Char(' '));
    if (space <= 0 || !FRemovals.SetRemovedText(found->mid(space + 1).toStdString()))
        return false;
    if (FRemovals.Kept()->Size() == 0) {
        FRemovals.Undo();
        return false;
    }
    return true;
}

} // namespace lp
