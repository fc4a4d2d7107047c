// The main window made (its components, chart, menus and tool bar), its
// title and unsaved-changes mark, the edit modes and the held keys' modes,
// and undo. The menus, the file roads, the modelling windows and the
// section's picture are in MainWindowMenus.cpp, MainWindowFiles.cpp,
// MainWindowModelling.cpp and MainWindowPicture.cpp.

#include "section/main/MainWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotTitles.h"
#include "chart/export/PlotPreview.h"
#include "platform/core/StringList.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Timer.h"
#include "section/dialogs/ModelSetupDialog.h"
#include "section/dialogs/RegionsTable.h"
#include "section/editor/Carotage.h"
#include "section/main/ElectrodeHoleOverlay.h"
#include "section/main/MainWindowComponents.h"
#include "section/main/MainWindowRoutines.h"
#include "section/main/PictureSettingsDialog.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/InversionWindow.h"
#include "section/modelling/SiteLinesWindow.h"
#include "section/modelling/TimeLapseWindow.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QUrl>
#include <QtGui/QCursor>
#include <QtGui/QDesktopServices>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace lp {

TMainfrm::TMainfrm(const QStringList& AArguments, QWidget* Parent) : QMainWindow(Parent), Arguments(AArguments)
{
    setWindowTitle(QStringLiteral("Section editor"));
    setObjectName(QStringLiteral("MainWindow"));
    CreateComponents();
    CreateMenus();
    CreateToolBar();
    EnableSectionCommands(false);
    qApp->installEventFilter(this);
    // The section file type is registered by the start-up routine; the
    // chart draws buffered and reports the cursor to the status bar.
    PolygonChart1->OnCursorMove = [this](TPolygonChart*) { ShowCursorPosition(); };
    PolygonChart1->onchangemodel = [this](TPolygonChart*) {
        // A new edit finished since a held key's press put one back: the
        // next Ctrl+Z is this edit's.
        FKeyCancelledEdit = false;
        SetModified(true);
        ModelChanged();
    };
    // The section's picture goes with every undo slot and comes back with
    // the undo of a step that changed it.
    PolygonChart1->OnCaptureUndoAttachment = [this] { return FPicture; };
    PolygonChart1->OnRestoreUndoAttachment = [this](const TUndoAttachmentPtr& Attachment) {
        if (auto picture = std::dynamic_pointer_cast<const TSectionPicture>(Attachment)) {
            FPicture = std::move(picture);
            ShowPicture(*FPicture);
        }
    };
    // A double click on a region shows its row in the table of regions.
    PolygonChart1->OnRegionDoubleClick = [this](TPolygonChart*, TRingRef Region) {
        if (RegionsWindow && RegionsWindow->isVisible())
            RegionsWindow->SelectRegion(Region);
    };
    OpenManualFile = [](const QString& Path) { return QDesktopServices::openUrl(QUrl::fromLocalFile(Path)); };
}

TMainfrm::~TMainfrm()
{
    qApp->removeEventFilter(this);
    // The table of regions and the forward window observe the chart: they
    // go first (the forward window stops its runs).
    delete RegionsWindow;
    RegionsWindow = nullptr;
    delete InversionWindow.data();
    delete TimeLapseWindow.data();
    delete SiteLinesWindow.data();
    delete ForwardWindow.data();
    Carotage.reset();
    HoleOverlay.reset();
    // The chart's window lives inside the splitter's: let the components go
    // before the Qt children they host.
    FComponents.reset();
}

QWidget* TMainfrm::ChartWidget() const
{
    return PolygonChart1->Widget();
}

void TMainfrm::CreateComponents()
{
    FComponents = std::make_unique<TComponent>();
    TComponent* owner = FComponents.get();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Parts = std::make_unique<TMainfrmComponents>(*owner, *central);
    layout->addWidget(Parts->SplitterWidget(), 1);
    layout->addWidget(Parts->StatusWidget());
    setCentralWidget(central);
    Parts->OnRecentFile = [this](const QString& FileName) {
        if (MaySetSectionAside())
            OpenSection(FileName);
    };

    PolygonChart1 = new TPolygonChart(owner);
    PolygonChart1->Title()->Text()->Clear();
    PolygonChart1->Widget(Parts->ChartParent());
    PolygonChart1->SetAlign(TControl::TAlign::alClient);
    PolygonChart1->SetVisible(false);
    PolygonChart1->OnResize = [this](TControl*) { ChartResized(); };

    Series1 = new TPointSeries(PolygonChart1);
    Series1->Marks()->SetVisible(false);
    Series1->Pointer()->SetVisible(true);
    Series1->Pointer()->SetStyle(TSeriesPointer::psCircle);
    Series1->Pointer()->SetHorizSize(1);
    Series1->Pointer()->SetVertSize(1);
    Series1->SetHorizAxis(TChartSeries::aBothHorizAxis);
    Series1->SetVertAxis(TChartSeries::aRightAxis);
    Series1->SetParentChart(PolygonChart1);
    ChartTool1 = new TChartImageTool(PolygonChart1);
    PolygonChart1->Tools().Add(ChartTool1);
    ChartTool1->SetSeries(Series1);
    Carotage = std::make_unique<TCarotageOverlay>(*PolygonChart1);
    HoleOverlay = std::make_unique<TElectrodeHoleOverlay>(*PolygonChart1);
    PolygonChart1->OnPaintOverlay = [this] {
        if (HoleOverlay)
            HoleOverlay->Paint();
    };
    ChartPreviewer1 = new TChartPreviewer(owner);
    ChartPreviewer1->SetChart(PolygonChart1);
    prntset = new Tprntset(this);

    Timer1 = new TTimer(owner);
    // The first tick comes as soon as the event loop runs, so the section
    // is open when the window first paints.
    Timer1->SetInterval(1);
    Timer1->OnTimer = [this](TTimer*) { Timer1Timer(); };
}

void TMainfrm::Timer1Timer()
{
    Timer1->SetEnabled(false);
    const QString name = SectionFileFromArguments(Arguments);
    if (!name.isEmpty())
        OpenSection(name);
}

void TMainfrm::SetTitleFor(const QString& FileName)
{
    FTitleName = FileName;
    FDocument = QFileInfo(FileName).absoluteFilePath();
    ShowTitle();
    TStringList* title = PolygonChart1->Title()->Text();
    title->Clear();
    title->Add(QFileInfo(FileName).fileName());
    PolygonChart1->Invalidate();
}

void TMainfrm::ShowTitle()
{
    setWindowTitle(QStringLiteral("Section editor ") + FTitleName + (FModified ? QStringLiteral("*") : QString()));
}

void TMainfrm::ModelChanged()
{
    RefreshRegions();
    ShowDataHoles();
    if (ForwardWindow)
        ForwardWindow->ModelChanged();
    // The Known geology page lists the lines and bodies drawn now, and the
    // inversion window says when its image's water is no longer the section's.
    if (InversionWindow && !InversionWindow->Busy())
        InversionWindow->ShowConstraints();
    if (InversionWindow)
        InversionWindow->SectionChanged();
}

void TMainfrm::ShowDataHoles()
{
    if (!HoleOverlay)
        return;
    const TMeasuredData* data = ForwardWindow && ForwardWindow->MeasuredData() ? ForwardWindow->MeasuredData()
                                                                               : FSourceData.get();
    std::vector<TDrawnHole> holes;
    if (data && FSectionOpen && PolygonChart1->ModelLoaded)
        holes = SectionHoles(data->Survey(), *PolygonChart1, Carotage ? &Carotage->Logs : nullptr);
    if (!holes.empty() || !HoleOverlay->Holes().empty())
        HoleOverlay->SetHoles(std::move(holes));
}

void TMainfrm::SetModified(bool On)
{
    if (FModified == On)
        return;
    FModified = On;
    ShowTitle();
}

void TMainfrm::EndEditInProgress()
{
    if (FSectionOpen)
        PolygonChart1->ResetEditMode();
}

void TMainfrm::ChartResized()
{
    // Picking works on the scales of the present size.
    if (PolygonChart1->ModelLoaded)
        PolygonChart1->UpdateAxisScales();
    if (Carotage && Carotage->Logs.Length() > 0)
        Carotage->Redraw();
}

void TMainfrm::SelectModeButton(QToolButton* Sender)
{
    for (auto& [mode, button] : ModeButtons)
        button->setChecked(button == Sender);
    ShowModeText(PolygonChart1->EditMode);
}

void TMainfrm::ShowModeInForce()
{
    const auto found = ModeButtons.find(PolygonChart1->EditMode);
    SelectModeButton(found == ModeButtons.end() ? nullptr : found->second);
}

void TMainfrm::ShowModeText(TPolygonEditMode Mode)
{
    Parts->SetStatusText(1, EditModeStatusText(Mode));
}

void TMainfrm::ChooseMode(TPolygonEditMode Mode)
{
    PolygonChart1->EditMode = Mode;
    ShowModeInForce();
    PolygonChart1->ResetEditMode();
}

void TMainfrm::ChooseModelSetup()
{
    RestoreHeldKeyMode();
    // The model is adapted to the new area: a surface follows a wider area,
    // and an area the model cannot be fitted into is rolled back.
    const bool changed = ModelSetup(*PolygonChart1, false, this);
    QCoreApplication::processEvents();
    PolygonChart1->UpdateAxisScales();
    if (changed) {
        SetModified(true);
        ModelChanged();
    }
}

void TMainfrm::ShowRegions()
{
    if (!RegionsWindow) {
        RegionsWindow = new TRegionsWindow(*PolygonChart1, this);
        RegionsWindow->OnBeforeEdit = [this] { EndEditInProgress(); };
        RegionsWindow->OnUndo = [this] { Undo(); };
    }
    RegionsWindow->Refresh();
    BringToFront(RegionsWindow);
}

void TMainfrm::RefreshRegions()
{
    if (RegionsWindow && RegionsWindow->isVisible())
        RegionsWindow->Refresh();
}

void TMainfrm::UndoByKey()
{
    // Ctrl+Z presses Ctrl first, and that press already put the edit in
    // hand back: the first Z is answered. Each further Z with Ctrl still
    // held takes back one finished edit.
    if (FKeyCancelledEdit) {
        FKeyCancelledEdit = false;
        return;
    }
    Undo();
}

void TMainfrm::Undo()
{
    if (!FSectionOpen)
        return;
    FKeyCancelledEdit = false;
    // A half-done edit is rolled back instead, so no unchecked drag stays.
    if (PolygonChart1->EditInHand()) {
        PolygonChart1->ResetEditMode();
        return;
    }
    PolygonChart1->Undo();
    // Back at the state last read or saved, nothing is left to save.
    SetModified(PolygonChart1->UndoState() != FSavedState);
    ModelChanged();
}

void TMainfrm::UseLastLineLook()
{
    const lines& all = PolygonChart1->Lines;
    if (all.Length() == 0)
        return;
    PolygonChart1->SectionModel(); // stores each line's settings text
    DefaultLineSettings() = QString::fromStdString(PolygonChart1->Lines[all.Length() - 1].appearance);
}

void TMainfrm::ShowCursorPosition()
{
    const QString text = QString::fromStdString(RealToText(0, true, PolygonChart1->CursorX)) + QLatin1Char(' ') +
                         QString::fromStdString(RealToText(0, true, PolygonChart1->CursorY));
    Parts->SetStatusText(0, text);
    // A hole's electrode under the mouse is told in the chart's tooltip.
    if (HoleOverlay)
        ChartWidget()->setToolTip(HoleOverlay->ElectrodeAt(PolygonChart1->CursorPixelX, PolygonChart1->CursorPixelY));
}

QStringList TMainfrm::ManualCandidates()
{
    const QString program = QCoreApplication::applicationDirPath();
    return {QDir::currentPath() + QStringLiteral("/lithoprism.pdf"), program + QStringLiteral("/lithoprism.pdf"),
            QDir(program).absoluteFilePath(QStringLiteral("../share/doc/lithoprism/lithoprism.pdf")),
            QDir(program).absoluteFilePath(QStringLiteral("../docs/lithoprism.pdf"))};
}

void TMainfrm::Context()
{
    for (const QString& candidate : ManualCandidates()) {
        if (QFileInfo(candidate).isFile()) {
            const QString path = QFileInfo(candidate).absoluteFilePath();
            // Without a program for the manual the user is told where it is.
            if (!OpenManualFile || !OpenManualFile(path))
                ShowMessage(QStringLiteral("No program could open the manual - ") + path);
            return;
        }
    }
    ShowMessage(QStringLiteral("File not found - lithoprism.pdf"));
}

bool TMainfrm::ModeKeyDown(int Key)
{
    // Mode keys mean nothing before a section is open.
    if (!FSectionOpen || FKeySwitchedMode)
        return false;
    TModeKey key;
    switch (Key) {
    case Qt::Key_Shift: key = TModeKey::Shift; break;
    case Qt::Key_Alt: key = TModeKey::Alt; break;
    case Qt::Key_Control: key = TModeKey::Ctrl; break;
    case Qt::Key_Escape: key = TModeKey::Escape; break;
    default: return false;
    }
    TPolygonChart& chart = *PolygonChart1;
    // The pick is made where the mouse rests now, not where it last moved.
    const bool overChart = TakeCursorFromMouse();
    const double x = chart.CursorX;
    const double y = chart.CursorY;
    const auto mode = ModeForKey(key, chart.EditMode, NearestNodeDistance(chart, x, y),
                                 NearestLinePointDistance(chart, x, y));
    if (!mode)
        return false;
    if (key != TModeKey::Escape) {
        SavedEditMode = chart.EditMode;
        FKeySwitchedMode = true;
        FSwitchKey = Key;
        FKeyCancelledEdit = chart.EditInHand();
    }
    chart.EditMode = *mode;
    chart.ResetEditMode();
    ShowModeInForce();
    // The new mode's hover pick at the resting cursor: a press without a
    // mouse move takes the node under it.
    if (overChart)
        chart.ChartMouseMove(nullptr, {}, chart.CursorPixelX, chart.CursorPixelY);
    return true;
}

bool TMainfrm::TakeCursorFromMouse()
{
    QWidget* widget = ChartWidget();
    if (!widget || !widget->isVisible())
        return false;
    const QPoint at = widget->mapFromGlobal(QCursor::pos());
    if (!widget->rect().contains(at))
        return false;
    TPolygonChart& chart = *PolygonChart1;
    chart.CursorPixelX = at.x();
    chart.CursorPixelY = at.y();
    chart.CursorX = chart.MapSeries()->XScreenToValue(at.x());
    chart.CursorY = chart.MapSeries()->YScreenToValue(at.y());
    chart.CursorPoint = complexM{chart.CursorX, chart.CursorY};
    return true;
}

void TMainfrm::RestoreHeldKeyMode()
{
    if (!FKeySwitchedMode)
        return;
    FKeySwitchedMode = false;
    FKeyCancelledEdit = false;
    PolygonChart1->EditMode = SavedEditMode;
    PolygonChart1->ResetEditMode();
    ShowModeInForce();
}

bool TMainfrm::ModeKeyUp(int Key)
{
    // Only the key that switched the mode puts the saved one back.
    if (!FKeySwitchedMode || Key != FSwitchKey)
        return false;
    RestoreHeldKeyMode();
    return true;
}

bool TMainfrm::eventFilter(QObject* Watched, QEvent* Event)
{
    // A held key's release goes wherever the keyboard went: when the window
    // loses it (another window, a dialog, a menu), the saved mode comes back
    // now rather than never.
    if (FKeySwitchedMode) {
        const QEvent::Type type = Event->type();
        if ((type == QEvent::WindowDeactivate && Watched == this) || type == QEvent::ApplicationDeactivate) {
            RestoreHeldKeyMode();
        } else if (type == QEvent::Show) {
            auto* shown = qobject_cast<QWidget*>(Watched);
            if (shown && shown != this && shown->isWindow() &&
                (shown->isModal() || qobject_cast<QDialog*>(shown) || qobject_cast<QMenu*>(shown)))
                RestoreHeldKeyMode();
        }
    }
    // The form sees key presses first, in whichever of its windows has the
    // focus.
    if (Event->type() == QEvent::KeyPress || Event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(Event);
        auto* widget = qobject_cast<QWidget*>(Watched);
        if (!key->isAutoRepeat() && widget && widget->window() == this) {
            if (Event->type() == QEvent::KeyPress)
                ModeKeyDown(key->key());
            else
                ModeKeyUp(key->key());
        }
    }
    return QMainWindow::eventFilter(Watched, Event);
}

} // namespace lp
