#include "section/main/MainWindow.h"

#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/InversionWindow.h"
#include "section/modelling/TimeLapseWindow.h"
#include "platform/core/SafeSave.h"
#include <QtCore/QBuffer>
#include <QtWidgets/QLineEdit>
#include "section/modelling/SameFile.h"
#include "section/modelling/SectionFromData.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTitles.h"
#include "chart/export/PlotPreview.h"
#include "platform/core/StringList.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Timer.h"
#include "section/dialogs/ModelSetupDialog.h"
#include "section/dialogs/RegionsTable.h"
#include "section/editor/Carotage.h"
#include "section/editor/ModelExport.h"
#include "section/main/MainWindowComponents.h"
#include "section/main/MainWindowGlyphs.h"
#include "section/main/MainWindowRoutines.h"
#include "section/main/PictureSettingsDialog.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QUrl>
#include <QtGui/QDesktopServices>
#include <QtGui/QScreen>
#include <QtGui/QCursor>
#include <QtGui/QKeyEvent>
#include <QtGui/QCloseEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMenu>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>
#include <QtWidgets/QVBoxLayout>

namespace lp {

namespace {

constexpr TColor PictureCornerColor = 0x20000000;

// A file dialog of the window (an open or a save request): Name finds the
// dialog while it is open; it starts at FileName.
template <class TRequest>
TRequest FileDialogRequest(QWidget* Owner, const QString& Name, const QString& Title, const QString& Filter,
                           const QString& FileName)
{
    TRequest request;
    request.Owner = Owner;
    request.Name = Name;
    request.Title = Title;
    request.Filter = Filter;
    request.FileName = FileName;
    return request;
}

} // namespace

TSaveChangesAnswer AskSaveChanges(QWidget* Owner, const QString& Name)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Section editor"),
                    QStringLiteral("Save changes to %1?").arg(Name), QMessageBox::NoButton, Owner);
    box.setObjectName(QStringLiteral("SaveChangesQuestion"));
    QPushButton* save = box.addButton(QStringLiteral("Save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(QStringLiteral("Discard"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return TSaveChangesAnswer::Save;
    if (box.clickedButton() == discard)
        return TSaveChangesAnswer::Discard;
    return TSaveChangesAnswer::Cancel;
}

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
    delete ForwardWindow.data();
    Carotage.reset();
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
    ChartPreviewer1 = new TChartPreviewer(owner);
    ChartPreviewer1->SetChart(PolygonChart1);
    prntset = new Tprntset(this);

    Timer1 = new TTimer(owner);
    // The first tick comes as soon as the event loop runs, so the section
    // is open when the window first paints.
    Timer1->SetInterval(1);
    Timer1->OnTimer = [this](TTimer*) { Timer1Timer(); };
}

QAction* TMainfrm::AddCommand(QMenu* Menu, const QString& Text, std::function<void()> Act)
{
    return Menu->addAction(Text, this, [this, Act = std::move(Act)] {
        EndEditInProgress();
        Act();
    });
}

void TMainfrm::CreateMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    Newfromdata1 = AddCommand(file, QStringLiteral("New from &data..."), [this] { AskNewSectionFromData(); });
    Newfromdata1->setObjectName(QStringLiteral("Newfromdata1"));
    AddCommand(file, QStringLiteral("&Open section..."), [this] { AskOpenSection(); })->setShortcut(QKeySequence::Open);
    Savefile1 = AddCommand(file, QStringLiteral("&Save section..."), [this] { AskSaveSection(); });
    Savefile1->setShortcut(QKeySequence::Save);
    Exportmodel1 = AddCommand(file, QStringLiteral("&Export model..."), [this] { AskExportModel(); });
    Removepicture1 = AddCommand(file, QStringLiteral("&Remove picture"), [this] {
        ChartTool1->Picture()->SetGraphic(nullptr);
        PolygonChart1->Invalidate();
    });
    file->addSeparator();
    Ptint1 = AddCommand(file, QStringLiteral("Print pre&view..."), [this] { ChartPreviewer1->Execute(); });
    Ptint1->setObjectName(QStringLiteral("Ptint1"));
    file->addSeparator();
    file->addMenu(Parts->RecentMenu());
    file->addSeparator();
    QAction* exit = AddCommand(file, QStringLiteral("E&xit"), [this] { close(); });
    // Not every desktop binds the standard quit key: Ctrl+Q always.
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    Scaled1 = AddCommand(options, QStringLiteral("&Automatic scaling"), [this] {
        PolygonChart1->SetAutomaticScaling(Scaled1->isChecked());
        PolygonChart1->UpdateAxisScales();
        PolygonChart1->Invalidate();
    });
    Scaled1->setCheckable(true);
    Scaled1->setChecked(true);
    Boxconstrctor1 = AddCommand(options, QStringLiteral("&Model setup..."), [this] { ChooseModelSetup(); });
    Carotagedata1 = AddCommand(options, QStringLiteral("&Carotage data..."), [this] { ReadCarotage(); });
    Regions1 = AddCommand(options, QStringLiteral("&Regions..."), [this] { ShowRegions(); });
    AddCommand(options, QStringLiteral("&Output settings..."), [this] { prntset->exec(); });

    QMenu* modelling = menuBar()->addMenu(QStringLiteral("&Modelling"));
    Forwardresponse1 = AddCommand(modelling, QStringLiteral("&Forward response..."), [this] { ShowForwardResponse(); });
    Forwardresponse1->setObjectName(QStringLiteral("Forwardresponse1"));
    Measureddata1 = AddCommand(modelling, QStringLiteral("&Measured data..."), [this] { OpenMeasuredData(); });
    Measureddata1->setObjectName(QStringLiteral("Measureddata1"));
    Invert1 = AddCommand(modelling, QStringLiteral("&Invert..."), [this] { ShowInversion(); });
    Invert1->setObjectName(QStringLiteral("Invert1"));
    Timelapse1 = AddCommand(modelling, QStringLiteral("&Time-lapse..."), [this] { ShowTimeLapse(); });
    Timelapse1->setObjectName(QStringLiteral("Timelapse1"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommand(help, QStringLiteral("&Context"), [this] { Context(); })->setShortcut(QKeySequence::HelpContents);
    AddCommand(help, QStringLiteral("&About"), [this] { Parts->ShowSplash(20000); });
}

void TMainfrm::AddModeButton(TPolygonEditMode Mode)
{
    auto* button = new QToolButton(ToolBar1);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setToolTip(EditModeHint(Mode));
    button->setIcon(ModeIcon(Mode));
    button->setObjectName(ModeButtonName(Mode));
    connect(button, &QToolButton::clicked, this, [this, Mode, button] {
        PolygonChart1->EditMode = Mode;
        SelectModeButton(button);
        PolygonChart1->ResetEditMode();
    });
    ToolBar1->addWidget(button);
    ModeButtons[Mode] = button;
}

void TMainfrm::CreateToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("Modes"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    for (TPolygonEditMode mode : ModeButtonOrder()) {
        if (mode == pmAddLine)
            ToolBar1->addSeparator();
        AddModeButton(mode);
    }
    ToolBar1->addSeparator();
    SpeedButton13 = new QToolButton(ToolBar1);
    SpeedButton13->setObjectName(QStringLiteral("SpeedButton13"));
    SpeedButton13->setToolTip(QStringLiteral("UnDo"));
    SpeedButton13->setIcon(UndoIcon());
    SpeedButton13->setAutoRaise(true);
    connect(SpeedButton13, &QToolButton::clicked, this, [this] { Undo(); });
    UndoKey = new QAction(QStringLiteral("UnDo"), this);
    UndoKey->setObjectName(QStringLiteral("UndoKey"));
    UndoKey->setShortcut(QKeySequence::Undo);
    connect(UndoKey, &QAction::triggered, this, [this] { UndoByKey(); });
    addAction(UndoKey);
    ToolBar1->addWidget(SpeedButton13);
    SpeedButton19 = new QToolButton(ToolBar1);
    SpeedButton19->setObjectName(QStringLiteral("SpeedButton19"));
    SpeedButton19->setToolTip(QStringLiteral("New lines look like the last line"));
    SpeedButton19->setIcon(LineLookIcon());
    SpeedButton19->setAutoRaise(true);
    connect(SpeedButton19, &QToolButton::clicked, this, [this] { UseLastLineLook(); });
    ToolBar1->addWidget(SpeedButton19);
}

void TMainfrm::EnableSectionCommands(bool On)
{
    ToolBar1->setEnabled(On);
    UndoKey->setEnabled(On);
    for (QAction* action : {Savefile1, Exportmodel1, Removepicture1, Ptint1, Scaled1, Boxconstrctor1, Carotagedata1,
                             Regions1, Forwardresponse1, Measureddata1, Invert1, Timelapse1})
        action->setEnabled(On);
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
    if (ForwardWindow)
        ForwardWindow->ModelChanged();
}

void TMainfrm::OpenMeasuredData()
{
    if (!FSectionOpen)
        return;
    // Read before the window shows: it then computes the file's survey
    // first, not the array's.
    CreateForwardWindow();
    if (ForwardWindow->AskOpenMeasuredData(ForwardWindow->isVisible() ? static_cast<QWidget*>(ForwardWindow) : this))
        ShowForwardResponse();
}

void TMainfrm::CreateForwardWindow()
{
    if (!ForwardWindow) {
        ForwardWindow = new TForwardResponseWindow(*PolygonChart1, this);
        ForwardWindow->OnUndo = [this] { UndoByKey(); };
        ForwardWindow->SectionFile = [this] { return FDocument; };
        // The inversion window follows the data the user keeps, unless it
        // is inverting them (a finished inversion's data are kept with it).
        ForwardWindow->OnMeasuredDataChanged = [this] {
            if (InversionWindow && !InversionWindow->Busy() && ForwardWindow->MeasuredData())
                InversionWindow->SetMeasuredData(ForwardWindow->SharedMeasuredData(), ForwardWindow->MeasuredName(),
                                                 ForwardWindow->RelativeErrorEdit->text(),
                                                 ForwardWindow->Removals().File(), true);
        };
        // Beside the main window, on its right where the screen has room,
        // else against the screen's right edge.
        const QRect frame = frameGeometry();
        int left = frame.right() + 1;
        if (const QScreen* screen = this->screen()) {
            const QRect room = screen->availableGeometry();
            if (left + ForwardWindow->width() > room.right())
                left = std::max(room.left(), room.right() - ForwardWindow->width());
        }
        ForwardWindow->move(left, frame.top());
    }
}

void TMainfrm::ShowInversion()
{
    if (!FSectionOpen)
        return;
    CreateForwardWindow();
    if (!ForwardWindow->MeasuredData() && !ForwardWindow->AskOpenMeasuredData(this))
        return;
    const std::shared_ptr<const TMeasuredData> data = ForwardWindow->SharedMeasuredData();
    if (!data)
        return;
    if (!InversionWindow) {
        InversionWindow = new TInversionWindow(*PolygonChart1, this);
        InversionWindow->OnUndo = [this] { UndoByKey(); };
        InversionWindow->SectionFile = [this] { return FDocument; };
        InversionWindow->OnUseAsUnderlay = [this] { UseInversionAsUnderlay(); };
        InversionWindow->OnRemoveMisfitBeyond = [this](const TMeasuredData* Data, const std::vector<double>& Misfits,
                                                       double Percent) {
            if (ForwardWindow)
                ForwardWindow->RemoveMisfitBeyond(Percent, Data, Misfits);
        };
        InversionWindow->OnNewSectionFromData = [this] { NewSectionFromInversion(); };
        InversionWindow->OnInversionEnd = [this] { InversionEnded(); };
        InversionWindow->WellLogs = [this]() -> const arofcarotagedata* { return Carotage ? &Carotage->Logs : nullptr; };
        const QRect frame = frameGeometry();
        InversionWindow->move(frame.left() + 40, frame.top() + 40);
    }
    InversionWindow->show();
    InversionWindow->raise();
    InversionWindow->activateWindow();
    // The data the forward window holds now, with its error field: new data
    // lay a new mesh, the same keep the one the user edited (the window
    // asks when the model area changed under it).
    if (!InversionWindow->Busy())
        InversionWindow->SetMeasuredData(data, ForwardWindow->MeasuredName(), ForwardWindow->RelativeErrorEdit->text(),
                                         ForwardWindow->Removals().File());
}

void TMainfrm::ShowTimeLapse()
{
    if (!FSectionOpen)
        return;
    if (!TimeLapseWindow) {
        TimeLapseWindow = new TTimeLapseWindow(this);
        TimeLapseWindow->OnUseAsUnderlay = [this] { UseTimeLapseAsUnderlay(); };
        const QRect frame = frameGeometry();
        TimeLapseWindow->move(frame.left() + 60, frame.top() + 60);
    }
    TimeLapseWindow->show();
    TimeLapseWindow->raise();
    TimeLapseWindow->activateWindow();
}

// A section just loaded into Chart shown without a picture (its corners
// marked), the section's commands enabled, the axes following its area.
void TMainfrm::ShowOpenedSection(TPolygonChart& Chart)
{
    Chart.SetVisible(true);
    ChartTool1->SetSeries(Series1);
    ShowPictureCorners();
    ChartTool1->Picture()->SetGraphic(nullptr);
    FSectionOpen = true;
    EnableSectionCommands(true);
    Chart.Repaint();
    Chart.UpdateAxisScales();
}

void TMainfrm::ShowPictureCorners()
{
    Series1->SetActive(false);
    Series1->Clear();
    Series1->AddXY(PictureCorners[0], PictureCorners[1], {}, PictureCornerColor);
    Series1->AddXY(PictureCorners[2], PictureCorners[3], {}, PictureCornerColor);
    Series1->SetActive(true);
    ChartTool1->SetActive(true);
}

TMainfrm::TSectionPicture TMainfrm::ShownPicture() const
{
    TSectionPicture picture;
    picture.Path = PicturePath;
    for (int i = 0; i < 4; ++i)
        picture.Corners[i] = PictureCorners[i];
    if (const TGraphic* shown = ChartTool1->Picture()->Graphic())
        picture.Image = shown->ToImage();
    return picture;
}

void TMainfrm::ShowPicture(const TSectionPicture& Picture)
{
    PicturePath = Picture.Written.isEmpty() ? Picture.Path : Picture.Written;
    for (int i = 0; i < 4; ++i)
        PictureCorners[i] = Picture.Corners[i];
    ShowPictureCorners();
    if (Picture.Image.isNull()) {
        ChartTool1->Picture()->SetGraphic(nullptr);
    } else {
        TBitmap shown;
        shown.SetImage(Picture.Image);
        ChartTool1->Picture()->SetGraphic(&shown);
    }
    PolygonChart1->Invalidate();
}

bool TMainfrm::UseInversionAsUnderlay()
{
    if (!FSectionOpen || !InversionWindow)
        return false;
    EndEditInProgress();
    const QImage image = InversionWindow->ModelImage();
    if (image.isNull()) {
        MessageDlg(QStringLiteral("There is no inverted image yet: Invert first."), TMsgDlgType::mtInformation, mbOK);
        return false;
    }
    // Only under the section of the data it came from (a run under way
    // when other data were opened ends on the data before).
    const TMeasuredData* file = ForwardWindow ? ForwardWindow->Removals().File().get() : nullptr;
    if (file && !InversionWindow->ImageOf(file)) {
        MessageDlg(QStringLiteral("The inverted image is of other data than the %1 open now: invert these first.")
                       .arg(ForwardWindow->MeasuredName()),
                   TMsgDlgType::mtInformation, mbOK);
        return false;
    }
    // The picture's corners on the cells' frame, where the image lies in the section.
    const TInversionWindow::TImageFrame frame = InversionWindow->ModelImageFrame();
    return LayUnderlay(image, frame.Left, frame.Top, frame.Right, frame.Bottom);
}

bool TMainfrm::UseTimeLapseAsUnderlay()
{
    if (!FSectionOpen || !TimeLapseWindow)
        return false;
    EndEditInProgress();
    const QImage image = TimeLapseWindow->ModelImage();
    if (image.isNull()) {
        MessageDlg(QStringLiteral("There is no image of the series yet: Invert all first."), TMsgDlgType::mtInformation,
                   mbOK);
        return false;
    }
    const TTimeLapseWindow::TImageFrame frame = TimeLapseWindow->ModelImageFrame();
    return LayUnderlay(image, frame.Left, frame.Top, frame.Right, frame.Bottom);
}

namespace {

// The file an inversion's image is saved in beside the section Document:
// NAME-inversion.png, else NAME-inversion-2.png, -3 ..., the first name no
// file has (an existing one may be the picture of another saved state).
QString FreeUnderlayFile(const QString& Document)
{
    const QFileInfo document(Document);
    const QDir folder = document.absoluteDir();
    const QString base = document.completeBaseName() + QStringLiteral("-inversion");
    for (int number = 1; number <= 100000; ++number) {
        const QString file =
            folder.filePath(base + (number == 1 ? QString() : QStringLiteral("-%1").arg(number)) + QStringLiteral(".png"));
        if (!QFileInfo::exists(file))
            return file;
    }
    throw Exception("No free name for the underlay beside " + Document.toStdString());
}

// Image written as a PNG file; false with the reason in Error.
bool SavePng(const QImage& Image, const QString& File, QString& Error)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!Image.save(&buffer, "PNG")) {
        Error = QStringLiteral("the image could not be encoded");
        return false;
    }
    return SaveBytesAtomically(File, bytes, Error);
}

} // namespace

bool TMainfrm::LayUnderlay(const QImage& Image, double Left, double Top, double Right, double Bottom)
{
    // The image is held by the section's history; the save that writes the
    // section writes it beside it (SavedPictureFile).
    // What is shown now comes back on a failure (Remove picture may have
    // hidden the history's picture).
    const TSectionPicture before = ShownPicture();
    try {
        PictureCorners[0] = Left;
        PictureCorners[1] = Top;
        PictureCorners[2] = Right;
        PictureCorners[3] = Bottom;
        PicturePath.clear();
        TBitmap shown;
        shown.SetImage(UprightPicture(Image));
        ChartTool1->Picture()->SetGraphic(&shown);
    } catch (const std::exception& Error) {
        ShowPicture(before);
        Application().HandleException(Error);
        return false;
    }
    ShowPictureCorners();
    PolygonChart1->Invalidate();
    TSectionPicture laid = ShownPicture();
    laid.FromInversion = true;
    FPicture = std::make_shared<const TSectionPicture>(std::move(laid));
    // A step of the section's history of its own; a Ctrl press before it
    // put back no edit this step could answer.
    PolygonChart1->PushUndo();
    FKeyCancelledEdit = false;
    FMissingPicture = false;
    SetModified(true);
    return true;
}

void TMainfrm::InversionEnded()
{
    // A section made from data has no picture of the ground but the one
    // its data give, and the user draws the bodies over the inverted
    // image: each finished inversion of those data lays its image under
    // the section at once, as Use as underlay would. Never over a picture
    // the user chose or removed, on another section, or for other data.
    if (!FSectionOpen || !FSourceData || !InversionWindow || !InversionWindow->Result())
        return;
    // The data the user keeps of that file count as its data.
    const TMeasuredData* file = ForwardWindow ? ForwardWindow->Removals().File().get() : nullptr;
    if (!file || InversionWindow->MeasuredData() != ForwardWindow->MeasuredData() ||
        (file != FSourceData.get() && !SameMeasurements(*file, *FSourceData)))
        return;
    const bool removed = !FPicture->Image.isNull() && !ChartTool1->Picture()->Graphic();
    if (removed || (!FPicture->Image.isNull() && !FPicture->FromInversion))
        return;
    const QImage image = InversionWindow->ModelImage();
    if (image.isNull())
        return;
    EndEditInProgress();
    const TInversionWindow::TImageFrame frame = InversionWindow->ModelImageFrame();
    LayUnderlay(image, frame.Left, frame.Top, frame.Right, frame.Bottom);
}

void TMainfrm::AskNewSectionFromData()
{
    // Where Modelling > Measured data... starts: at the data the forward
    // window holds, else where the last data file was opened from.
    QString start = TForwardSurveySettings::Load().MeasuredFolder;
    if (ForwardWindow)
        start = ForwardWindow->MeasuredFile().isEmpty() ? ForwardWindow->MeasuredFolder() : ForwardWindow->MeasuredFile();
    auto request = FileDialogRequest<TOpenDialogRequest>(this, QStringLiteral("NewFromDataDialog"),
                                                         QStringLiteral("New from data"), MeasuredDataFilter(), start);
    if (!ExecuteOpenDialog(request))
        return;
    // Read before anything is set aside: a file that cannot be read
    // leaves the section as it was.
    QString error;
    const std::shared_ptr<const TMeasuredData> data = ReadMeasuredDataFile(request.FileName, error);
    const QString name = QFileInfo(request.FileName).fileName();
    if (!data) {
        MessageDlg(QStringLiteral("%1 could not be read: %2").arg(name, error), TMsgDlgType::mtError, mbOK);
        return;
    }
    NewSectionFromData(data, request.FileName, name);
}

bool TMainfrm::NewSectionFromData(std::shared_ptr<const TMeasuredData> Data, const QString& FileName,
                                  const QString& Name)
{
    if (!Data)
        return false;
    TSectionModel section;
    try {
        section = DataSectionModel(SectionFromData(*Data));
    } catch (const std::exception& Error) {
        MessageDlg(QStringLiteral("%1 frames no section: %2").arg(Name, QString::fromUtf8(Error.what())),
                   TMsgDlgType::mtError, mbOK);
        return false;
    }
    if (!MaySetSectionAside())
        return false;
    const TModelArea area = section.ModelArea;
    TPolygonChart& chart = *PolygonChart1;
    chart.LoadSectionModel(std::move(section));
    chart.SetModelArea(true, area.left, area.right, area.top, area.bottom);
    // No picture; its corners the area's, as a section file without one
    // keeps them.
    PictureCorners[0] = area.left;
    PictureCorners[1] = area.top;
    PictureCorners[2] = area.right;
    PictureCorners[3] = area.bottom;
    PicturePath.clear();
    ShowOpenedSection(chart);
    FMissingPicture = false;
    Parts->SetStatusText(1, EditModeStatusText(chart.EditMode));
    FPicture = std::make_shared<const TSectionPicture>(ShownPicture());
    chart.RetakeUndoAttachment();
    FSourceData = Data;
    FSourceFile = FileName;
    // No file until the first save: the caption names the data.
    FDocument.clear();
    FModified = false;
    FSavedState = chart.UndoState();
    FTitleName = QStringLiteral("(new from %1)").arg(Name);
    ShowTitle();
    chart.Title()->Text()->Clear();
    chart.Invalidate();
    ModelChanged();
    // The data as the forward window's survey, shown: Fit regions and
    // Invert work on them at once.
    CreateForwardWindow();
    if (ForwardWindow->Removals().File() != Data)
        ForwardWindow->UseMeasuredData(Data, FileName, Name);
    ShowForwardResponse();
    // An inversion window of the data kept lays its mesh over the new
    // section (asking first about a mesh the user edited), so the next
    // Invert sees the new ground.
    if (InversionWindow && !InversionWindow->Busy() && InversionWindow->MeasuredData() &&
        InversionWindow->MeasuredData() == ForwardWindow->MeasuredData())
        InversionWindow->SetMeasuredData(InversionWindow->SharedMeasuredData(), InversionWindow->DataName(), {},
                                         ForwardWindow->Removals().File());
    return true;
}

void TMainfrm::NewSectionFromInversion()
{
    if (!InversionWindow || InversionWindow->Busy())
        return;
    std::shared_ptr<const TMeasuredData> data = InversionWindow->SharedMeasuredData();
    if (!data)
        return;
    EndEditInProgress();
    // The image and its frame as they are before the section changes.
    const QImage image = InversionWindow->ModelImage();
    const TInversionWindow::TImageFrame frame = InversionWindow->ModelImageFrame();
    // The data the forward window keeps of its file: the new section takes
    // that file whole, the data removed from it staying removed.
    QString file;
    if (ForwardWindow && ForwardWindow->SharedMeasuredData() == data && ForwardWindow->Removals().File()) {
        file = ForwardWindow->MeasuredFile();
        data = ForwardWindow->Removals().File();
    }
    if (!NewSectionFromData(data, file, InversionWindow->DataName()))
        return;
    if (!image.isNull())
        LayUnderlay(image, frame.Left, frame.Top, frame.Right, frame.Bottom);
}

void TMainfrm::ShowForwardResponse()
{
    if (!FSectionOpen)
        return;
    CreateForwardWindow();
    ForwardWindow->show();
    ForwardWindow->raise();
    ForwardWindow->activateWindow();
}

void TMainfrm::SetModified(bool On)
{
    if (FModified == On)
        return;
    FModified = On;
    ShowTitle();
}

bool TMainfrm::MaySetSectionAside()
{
    EndEditInProgress();
    if (!FSectionOpen || !FModified)
        return true;
    RestoreHeldKeyMode();
    // A section made from data has no file yet: it is asked about as
    // "Untitled".
    const QString name = FDocument.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(FDocument).fileName();
    switch (AskSaveChanges(this, name)) {
    case TSaveChangesAnswer::Save:
        // A section made from data has no file yet: the save dialog names one.
        if (FDocument.isEmpty()) {
            AskSaveSection();
            return !FModified;
        }
        try {
            SaveFile(FDocument);
        } catch (const std::exception& Error) {
            // Not saved: the section stays, with its changes.
            Application().HandleException(Error);
            return false;
        }
        return true;
    case TSaveChangesAnswer::Discard:
        return true;
    case TSaveChangesAnswer::Cancel:
        break;
    }
    return false;
}

void TMainfrm::closeEvent(QCloseEvent* Event)
{
    if (MaySetSectionAside())
        Event->accept();
    else
        Event->ignore();
}

bool TMainfrm::OpenSection(const QString& FileName)
{
    try {
        ReadSectionFile(FileName);
    } catch (const std::exception& Error) {
        Application().HandleException(Error);
        return false;
    }
    FModified = false;
    FSavedState = PolygonChart1->UndoState();
    SetTitleFor(FileName);
    ModelChanged();
    // Said once the window names the section it is about.
    if (FMissingPicture)
        MessageDlg(QStringLiteral("The picture of %1 is missing: %2\n"
                                  "The section is shown without it; saving keeps the picture's name and corners.")
                       .arg(QFileInfo(FileName).fileName(), PicturePath),
                   TMsgDlgType::mtWarning, mbOK);
    return true;
}

void TMainfrm::ReadSectionFile(const QString& FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("Cannot open " + FileName.toStdString() + ": " + file.errorString().toStdString());
    const QByteArray first = file.readLine();
    const QByteArray second = file.readLine();
    file.close();
    const QString stored = QString::fromLocal8Bit(first).trimmed();
    const arofdoubleM corners = TextToRealArray(second.trimmed().toStdString(), 0);
    if (corners.Length() != 4)
        throw Exception(QFileInfo(FileName).fileName().toStdString() +
                        " is not a section file: line 2 must hold the picture's four corners");
    // Without its picture the section still opens: the bodies are the
    // user's work. The stored line is kept, so a save writes it unchanged.
    const QString picture = ResolvePicturePath(stored, FileName);

    TPolygonChart& chart = *PolygonChart1;
    if (chart.ReadModelBlock(FileName)) {
        chart.SetModelArea(true, chart.ModelArea.left, chart.ModelArea.right, chart.ModelArea.top,
                           chart.ModelArea.bottom);
    } else {
        const double left = std::min(corners[0], corners[2]);
        const double right = std::max(corners[0], corners[2]);
        chart.NewModel({}, false, left, right, std::min(corners[1], corners[3]), std::max(corners[1], corners[3]));
    }
    for (int i = 0; i < 4; ++i)
        PictureCorners[i] = corners[i];
    // A picture found is kept by its full path: a relative name found
    // through the working folder names nothing from another folder, where
    // Save as may write the section.
    PicturePath = picture.isEmpty() ? stored : QFileInfo(picture).absoluteFilePath();

    ShowOpenedSection(chart);
    Parts->AddRecentFile(FileName);
    // An empty picture line names no picture (a section made from data
    // saved without one): nothing is missing.
    FMissingPicture = !stored.isEmpty() && picture.isEmpty();
    Parts->SetStatusText(1, FMissingPicture ? MissingPictureText(stored) : EditModeStatusText(chart.EditMode));
    if (!picture.isEmpty()) {
        try {
            LoadSectionPicture(picture);
        } catch (const std::exception& Error) {
            // The section is read; a picture that cannot be decoded is shown
            // as missing.
            ChartTool1->Picture()->SetGraphic(nullptr);
            Application().HandleException(Error);
        }
    }
    // The history the read model started holds the picture read with it.
    FPicture = std::make_shared<const TSectionPicture>(ShownPicture());
    chart.RetakeUndoAttachment();
    FSourceData.reset();
    FSourceFile.clear();
}

QString TMainfrm::MissingPictureText(const QString& Stored)
{
    return QStringLiteral("Picture not found: ") + Stored;
}

void TMainfrm::LoadSectionPicture(const QString& FileName)
{
    TPicture& shown = *ChartTool1->Picture();
    try {
        shown.LoadFromFile(FileName);
    } catch (const EInvalidGraphic& Error) {
        // A file that cannot be opened is named by the message already; the
        // decoders' messages ("JPEG error: ...") name no file.
        if (!QFileInfo(FileName).isReadable())
            throw;
        throw EInvalidGraphic(QStringLiteral("Cannot read the picture file \"%1\": %2")
                                  .arg(FileName, QString::fromStdString(Error.Message()))
                                  .toStdString());
    }
    if (shown.Graphic()) {
        const QImage image = shown.Graphic()->ToImage();
        const QImage upright = UprightPicture(image);
        if (upright != image) {
            TBitmap turned;
            turned.SetImage(upright);
            shown.SetGraphic(&turned);
        }
    }
}

QImage TMainfrm::UprightPicture(const QImage& Image) const
{
    // The picture tool puts the larger value at the top; with depth growing
    // downwards the picture's top row belongs at the smaller one.
    const bool depthDown = PolygonChart1->RightAxis()->Inverted();
    const bool topIsSmaller = PictureCorners[1] < PictureCorners[3];
    return depthDown == topIsSmaller ? Image.mirrored(false, true) : Image;
}

QString TMainfrm::SavedPictureFile(const QString& Section)
{
    // A read picture keeps the name it was read under (a missing one too).
    if (!FPicture->FromInversion || FPicture->Image.isNull())
        return PicturePath;
    if (!FPicture->Written.isEmpty() && QFileInfo(FPicture->Written).isFile())
        return FPicture->Written;
    const QString file = FreeUnderlayFile(Section);
    QString error;
    if (!SavePng(UprightPicture(FPicture->Image), file, error))
        throw Exception("The underlay could not be saved as " + file.toStdString() + ": " + error.toStdString());
    // Every state of the history that holds this picture names the file now.
    FPicture->Written = file;
    return file;
}

void TMainfrm::SaveFile(const QString& FileName)
{
    const QString name = SectionFileName(FileName);
    const QString picture = SavedPictureFile(name);
    std::string corners;
    for (int i = 0; i < 4; ++i) {
        if (i > 0)
            corners += ' ';
        corners += FormatSectionReal(PictureCorners[i]);
    }
    PolygonChart1->WriteSection(name, {picture.toLocal8Bit(), QByteArray::fromStdString(corners), QByteArray()});
    PicturePath = picture;
    FModified = false;
    FSavedState = PolygonChart1->UndoState();
    SetTitleFor(name);
    Parts->AddRecentFile(name);
}

void TMainfrm::SaveMFFile(const QString& FileName)
{
    const QString name = PictureFileName(FileName, prntset->Automatic());
    if (QFileInfo(name).suffix() == QStringLiteral("bmp")) {
        ExportPaperScaleBitmap(*prntset, name, *PolygonChart1);
        return;
    }
    PolygonChart1->SaveToMetafile(name);
}

void TMainfrm::EndEditInProgress()
{
    if (FSectionOpen)
        PolygonChart1->ResetEditMode();
}

QString TMainfrm::DialogFolder() const
{
    return FDocument.isEmpty() ? QString() : QFileInfo(FDocument).absolutePath();
}

void TMainfrm::AskOpenSection()
{
    if (!MaySetSectionAside())
        return;
    auto request = FileDialogRequest<TOpenDialogRequest>(this, QStringLiteral("OpenDialog1"),
                                                         QStringLiteral("Open section"),
                                                         QStringLiteral("Section files [*.sec]|*.sec"), DialogFolder());
    if (ExecuteOpenDialog(request))
        OpenSection(request.FileName);
}

void TMainfrm::AskSaveSection()
{
    if (!FSectionOpen)
        return;
    EndEditInProgress();
    // The section itself, or a picture of it.
    auto request = FileDialogRequest<TSaveDialogRequest>(
        this, QStringLiteral("SaveDialog1"), QStringLiteral("Save section"),
        QStringLiteral("Section files [*.sec]|*.sec|Picture|*.emf;*.bmp"),
        FDocument.isEmpty() && !FSourceFile.isEmpty() ? WithExtension(FSourceFile, QStringLiteral(".sec")) : FDocument);
    // The dialog asks about the file written, not the name typed.
    request.WrittenName = [this](const QString& FileName, int FilterIndex) {
        return FilterIndex == 2 ? PictureFileName(FileName, prntset->Automatic()) : SectionFileName(FileName);
    };
    if (!ExecuteSaveDialog(request))
        return;
    try {
        if (request.FilterIndex == 2)
            SaveMFFile(request.FileName);
        else
            SaveFile(request.FileName);
    } catch (const std::exception& Error) {
        Application().HandleException(Error);
    }
}

void TMainfrm::AskExportModel()
{
    if (!FSectionOpen)
        return;
    auto request = FileDialogRequest<TSaveDialogRequest>(
        this, QStringLiteral("ExportDialog1"), QStringLiteral("Export model"),
        QStringLiteral("Gmsh geometry (*.geo)|*.geo"),
        FDocument.isEmpty() ? DialogFolder() : WithExtension(FDocument, QStringLiteral(".geo")));
    // The dialog asks about the file written, not the name typed.
    request.WrittenName = [](const QString& FileName, int) { return ModelGeometryFileName(FileName); };
    if (!ExecuteSaveDialog(request))
        return;
    const QString geometry = ModelGeometryFileName(request.FileName);
    if (SameFile(geometry, FDocument) || SameFile(ModelTableFileName(geometry), FDocument)) {
        MessageDlg(QStringLiteral("The model cannot be exported over the section file the editor has open; name "
                                  "another file."),
                   TMsgDlgType::mtError, mbOK);
        return;
    }
    try {
        const TModelExportSummary summary = ExportModel(request.FileName, PolygonChart1->SectionModel());
        Parts->SetStatusText(1, ModelExportStatusText(summary));
    } catch (const std::exception& Error) {
        Application().HandleException(Error);
    }
}

void TMainfrm::ReadCarotage()
{
    auto request = FileDialogRequest<TOpenDialogRequest>(this, QStringLiteral("OpenDialog2"),
                                                         QStringLiteral("Carotage data"),
                                                         QStringLiteral("Carotage|*.crt"), DialogFolder());
    if (!ExecuteOpenDialog(request))
        return;
    try {
        Carotage->ReadCarotage(request.FileName);
        Carotage->Redraw();
        PolygonChart1->Invalidate();
        // The inversion window lists the logs it may use.
        if (InversionWindow && !InversionWindow->Busy())
            InversionWindow->ShowConstraints();
    } catch (const std::exception& Error) {
        // The logs shown before have gone with the read that failed.
        PolygonChart1->Invalidate();
        Application().HandleException(Error);
    }
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
    RegionsWindow->show();
    RegionsWindow->raise();
    RegionsWindow->activateWindow();
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
