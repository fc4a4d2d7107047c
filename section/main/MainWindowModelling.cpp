// The main window's Modelling menu: the forward response, inversion,
// time-lapse and several-lines windows beside it, fed with the measured
// data open, and their images laid under the section.

#include "section/main/MainWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Dialogs.h"
#include "section/editor/Carotage.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/InversionWindow.h"
#include "section/modelling/SiteLinesWindow.h"
#include "section/modelling/TimeLapseWindow.h"
#include "section/site/SiteInversion.h"

#include <QtCore/QTimer>
#include <QtGui/QScreen>
#include <QtWidgets/QLineEdit>

#include <algorithm>

namespace lp {

void BringToFront(QWidget* Window)
{
    Window->show();
    Window->raise();
    Window->activateWindow();
    // A window opened from a menu command, or after a file dialog, is shown
    // while the menu or dialog is still closing, and its closing hands the
    // keyboard back to the main window. Asked again once those events are
    // through, the window the user just opened gets the keys typed next
    // (a mnemonic such as Alt+D reaches its box, not the main window).
    QTimer::singleShot(0, Window, [Window] {
        if (Window->isVisible()) {
            Window->raise();
            Window->activateWindow();
        }
    });
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

void TMainfrm::OpenElectrodePositions()
{
    if (!FSectionOpen)
        return;
    CreateForwardWindow();
    QWidget* owner = ForwardWindow->isVisible() ? static_cast<QWidget*>(ForwardWindow) : this;
    if (!ForwardWindow->MeasuredData() && !ForwardWindow->AskOpenMeasuredData(owner))
        return;
    ForwardWindow->AskElectrodePositions(owner);
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
            ShowDataHoles();
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
    BringToFront(InversionWindow);
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
    BringToFront(TimeLapseWindow);
}

void TMainfrm::ShowSiteLines()
{
    if (!SiteLinesWindow) {
        SiteLinesWindow = new TSiteLinesWindow(this);
        SiteLinesWindow->Runner = [](const std::vector<TSiteLine>& Lines, const TSurveyInversionOptions& Options,
                                     const TSiteCallbacks& Callbacks) { return InvertSite(Lines, Options, Callbacks); };
        SiteLinesWindow->OnOpenAsSection = [this](int Line) { OpenSiteLineAsSection(Line); };
        const QRect frame = frameGeometry();
        SiteLinesWindow->move(frame.left() + 80, frame.top() + 80);
    }
    BringToFront(SiteLinesWindow);
}

bool TMainfrm::OpenSiteLineAsSection(int Line)
{
    if (!SiteLinesWindow)
        return false;
    const std::shared_ptr<const TMeasuredData> data = SiteLinesWindow->LineData(Line);
    if (!data)
        return false;
    EndEditInProgress();
    // The image and its frame as they are before the section changes.
    const QImage image = SiteLinesWindow->LineImage(Line);
    const TSiteLinesWindow::TImageFrame frame = SiteLinesWindow->LineImageFrame(Line);
    const TSiteLine& line = SiteLinesWindow->ImagedLines().at(static_cast<size_t>(Line));
    if (!NewSectionFromData(data, QString::fromStdString(line.File), QString::fromStdString(line.Name)))
        return false;
    if (!image.isNull())
        LayUnderlay(image, frame.Left, frame.Top, frame.Right, frame.Bottom);
    BringToFront(this);
    return true;
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
    BringToFront(ForwardWindow);
}

} // namespace lp
