// The main window's file roads: open (and a recent file), read, save, save
// as a picture, export the model, read well logs, new from data, and the
// question about unsaved changes before a section is set aside.

#include "section/main/MainWindow.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotTitles.h"
#include "platform/core/StringList.h"
#include "platform/graphics/Picture.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "section/editor/Carotage.h"
#include "section/editor/ModelExport.h"
#include "section/main/MainWindowComponents.h"
#include "section/main/MainWindowRoutines.h"
#include "section/main/PictureSettingsDialog.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/modelling/InversionWindow.h"
#include "section/modelling/SameFile.h"
#include "section/dialogs/RegionsTable.h"
#include "section/editor/BodyParameters.h"
#include "section/modelling/SectionFromData.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QCloseEvent>
#include <QtWidgets/QDialog>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include <optional>

#include <algorithm>

namespace lp {

namespace {

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
    // The axis menu's "Default" shows this section's area again, not the
    // area the chart was made with. The axes' look is the chart's own (the
    // axis windows change only their limits): the texts stored now are
    // that look over this area.
    Chart.StoreAxesDefaultSettings();
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
        ShowDataHoles();
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

namespace {

// The answer to a line's lake: water (its resistivity typed, or none to
// type later) or ground; none when cancelled.
struct TLakeAnswer {
    bool Water = true;
    std::optional<double> Resistivity;
};

std::optional<TLakeAnswer> AskLakeWater(QWidget& Owner, const QString& Question)
{
    QDialog dialog(&Owner);
    dialog.setObjectName(QStringLiteral("LakeQuestion"));
    dialog.setWindowTitle(QStringLiteral("New from data"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(Question, &dialog);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* form = new QFormLayout;
    auto* edit = new QLineEdit(&dialog);
    edit->setObjectName(QStringLiteral("WaterResistivityEdit"));
    auto* label = new QLabel(QStringLiteral("&Water's resistivity (ohm-m):"), &dialog);
    label->setBuddy(edit);
    form->addRow(label, edit);
    layout->addLayout(form);
    auto* note = new QLabel(QStringLiteral("Water: the surface is the water's level over those electrodes and the "
                                           "water a body held by the inversion (empty: type its resistivity in the "
                                           "table of regions later). Ground: the electrodes' ground is the surface."),
                            &dialog);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* error = new QLabel(&dialog);
    error->setStyleSheet(QStringLiteral("color: #b00000;"));
    error->setWordWrap(true);
    layout->addWidget(error);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* water = buttons->addButton(QStringLiteral("&Water"), QDialogButtonBox::AcceptRole);
    QPushButton* ground = buttons->addButton(QStringLiteral("&Ground"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel);
    water->setObjectName(QStringLiteral("WaterButton"));
    ground->setObjectName(QStringLiteral("GroundButton"));
    water->setDefault(true);
    layout->addWidget(buttons);
    TLakeAnswer answer;
    QObject::connect(ground, &QPushButton::clicked, &dialog, [&] {
        answer.Water = false;
        dialog.accept();
    });
    QObject::connect(water, &QPushButton::clicked, &dialog, [&] {
        const TParameterEntry typed = ReadWaterResistivityText(edit->text());
        if (!typed.Valid) {
            error->setText(typed.Error);
            return;
        }
        if (!typed.Value.IsEmpty())
            answer.Resistivity = typed.Value.AsReal();
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(460, 0)));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return answer;
}

} // namespace

bool TMainfrm::NewSectionFromData(std::shared_ptr<const TMeasuredData> Data, const QString& FileName,
                                  const QString& Name)
{
    if (!Data)
        return false;
    TSectionModel section;
    TDataSection framed;
    try {
        framed = SectionFromData(*Data);
        if (!framed.Lakes.empty()) {
            const std::optional<TLakeAnswer> answer = AskLakeWater(*this, LakesText(framed));
            if (!answer)
                return false;
            if (!answer->Water)
                framed = SectionFromData(*Data, false);
            section = DataSectionModel(framed);
            for (int body = 1; answer->Resistivity && body < section.Model.Length(); ++body)
                if (RegionIsWater(section.Model[body][0].params))
                    section.Model[body][0].params[psResistivity] = ParamValue(*answer->Resistivity);
        } else {
            section = DataSectionModel(framed);
        }
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
    // A new site: the previous section's well logs are not its own.
    if (Carotage)
        Carotage->Clear();
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
    ShowDataHoles();
    // A line on a lake's bottom: the water framed waits for its resistivity,
    // typed in the table of regions, its row chosen.
    if (!framed.Lakes.empty() && ParameterNotSet(chart.Model[chart.Model.High()][0].params[psResistivity])) {
        ShowRegions();
        RegionsWindow->SelectRegion(TRingRef{chart.Model.High(), 0});
        RegionsWindow->MessageLabel->setText(
            QStringLiteral("The water has no resistivity yet: type the measured one in its Resistivity cell."));
        Parts->SetStatusText(1, QStringLiteral("Type the water's resistivity in the table of regions."));
    }
    return true;
}

} // namespace lp
