#include "section/modelling/ForwardResponseWindow.h"

#include "section/modelling/ForwardResponseWindow_p.h"

#include "chart/export/PlotPreview.h"
#include "platform/core/SafeSave.h"
#include "platform/ui/Dialogs.h"
#include "section/modelling/SameFile.h"
#include "section/modelling/ModellingWindowCommands.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/DataFile.h"
#include "section/survey/ElectrodePositions.h"
#include "section/survey/formats/DataFormats.h"
#include "section/views/PseudoSection2D.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSignalBlocker>
#include <QtCore/QTimer>
#include <QtGui/QAction>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QProgressBar>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QVBoxLayout>


namespace lp {

namespace {

// The checksum the removed set is remembered with: another file of the same
// name (or the same file changed) does not take it.
QString FileChecksum(const QByteArray& Bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(Bytes, QCryptographicHash::Sha1).toHex());
}

} // namespace

// --- Keeping the result -------------------------------------------------------------------

bool TForwardResponseWindow::SaveData(const QString& FileName, QString& Error) const
{
    if (!FResult) {
        Error = QStringLiteral("There is no computed data to save.");
        return false;
    }
    if (const QString refusal = RefusedTarget(FileName, false); !refusal.isEmpty()) {
        Error = refusal;
        return false;
    }
    const bool table = FileName.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    const bool compared = FShownMeasured && FMisfit;
    const std::string text = !table   ? FormatUnifiedData(*FResult)
                             : compared ? FormatComparisonTable(*FShownMeasured, *FResult, *FMisfit)
                                        : FormatDataTable(*FResult);
    return SaveBytesAtomically(FileName, QByteArray::fromStdString(text), Error);
}

void TForwardResponseWindow::AskSaveData()
{
    AskSaveResult(*this, QStringLiteral("SaveDataDialog"), QStringLiteral("Save data"),
                  QStringLiteral("Unified data file (*.dat)|*.dat|Table (*.csv)|*.csv"), QStringLiteral("dat"),
                  [this](const QString& FileName, QString& Error) { return SaveData(FileName, Error); },
                  [this](const QString& FileName) { return RefusedTarget(FileName, false); });
}

QString TForwardResponseWindow::RefusedTarget(const QString& FileName, bool MeasuredToo) const
{
    if (MeasuredToo && SameFile(FileName, FMeasuredFile))
        return QStringLiteral("it is the measured data file; name another file.");
    if (SectionFile && SameFile(FileName, SectionFile()))
        return QStringLiteral("it is the section file the editor has open; name another file.");
    return QString();
}

// The chart a command acts on: with more than one chart shown, the user
// chooses.
TPseudoSection2d* TForwardResponseWindow::ChosenChart()
{
    std::vector<TCustomChart*> shown;
    for (const std::unique_ptr<TChartParts>& parts : FCharts)
        if (!parts->Host->isHidden())
            shown.push_back(parts->Chart);
    if (shown.empty())
        return ResistivityChart;
    return static_cast<TPseudoSection2d*>(ChooseChart(*this, shown));
}

void TForwardResponseWindow::PreviewChart()
{
    if (TPseudoSection2d* chart = ChosenChart())
        ShowChartPreview(this, chart);
}

void TForwardResponseWindow::ExportChart()
{
    TPseudoSection2d* chart = ChosenChart();
    if (!chart)
        return;
    ExportChartPicture(*this, *chart);
}

// --- Measured data -------------------------------------------------------------------------

QString MeasuredDataFilter()
{
    return QString::fromStdString(MeasuredFormatFilter());
}

std::shared_ptr<const TMeasuredData> ReadMeasuredDataFile(const QString& FileName, QString& Error,
                                                          const TDataReading& Reading)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = file.errorString();
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    auto data = std::make_shared<TMeasuredData>();
    try {
        *data = ReadMeasuredData(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), std::nullopt,
                                 QFileInfo(FileName).suffix().toStdString(), Reading);
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return nullptr;
    }
    TDataRemovals removals(data);
    // Data all of ρa 0 or below, most of them of reversed polarity, open:
    // Clean > Turn reversed polarity makes them data.
    if (removals.Kept()->Size() == 0 && !(data->Size() > 0 && MostlyReversed(*data))) {
        const size_t unusable = removals.UnusableCount();
        QStringList why;
        if (data->Skipped.Total() > 0)
            why << QStringLiteral("%1 skipped: %2")
                       .arg(data->Skipped.Total())
                       .arg(QString::fromStdString(data->Skipped.Text()));
        if (unusable > 0)
            why << QStringLiteral("%1 with an apparent resistivity of 0 or below").arg(unusable);
        Error = QStringLiteral("The file holds no datum that can be used") +
                (why.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(why.join(QStringLiteral("; "))));
        for (const std::string& warning : data->Warnings)
            Error += QLatin1Char(' ') + QString::fromStdString(warning);
        return nullptr;
    }
    return data;
}

namespace {

// Data placed by an electrode positions file; nullptr with the reason in
// Error. Said gets what was done.
std::shared_ptr<const TMeasuredData> PlacedData(const TMeasuredData& Data, const QString& FileName, QString& Error,
                                                QString& Said)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = file.errorString();
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    auto placed = std::make_shared<TMeasuredData>(Data);
    try {
        const TElectrodePositions positions =
            ReadElectrodePositions(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
        const TElectrodePositionsUse use = UseElectrodePositions(*placed, positions);
        Said = QStringLiteral("Electrode positions from %1: %2.")
                   .arg(QFileInfo(FileName).fileName(), QString::fromStdString(ElectrodePositionsText(use, positions)));
        for (const std::string& warning : use.Warnings)
            Said += QLatin1Char(' ') + QString::fromStdString(warning);
    } catch (const std::exception& Refusal) {
        Error = QString::fromUtf8(Refusal.what());
        return nullptr;
    }
    if (placed->Size() == 0) {
        Error = QStringLiteral("No datum measures anything at the new places.");
        return nullptr;
    }
    return placed;
}

} // namespace

bool TForwardResponseWindow::OpenMeasuredData(const QString& FileName, QString& Error)
{
    std::shared_ptr<const TMeasuredData> data =
        ReadMeasuredDataFile(FileName, Error, {.IpIsPhase = IpIsPhaseBox->isChecked()});
    if (!data)
        return false;
    // The open file read again keeps its electrode positions and polarity.
    const bool again = !FMeasuredFile.isEmpty() && QFileInfo(FileName).absoluteFilePath() == FMeasuredFile;
    const QString positions = again ? FPositionsFile : QString();
    const bool turned = again && FRemovals.PolarityTurned();
    QString said;
    if (!positions.isEmpty() && !(data = PlacedData(*data, positions, Error, said)))
        return false;
    UseMeasuredData(std::move(data), FileName);
    FPositionsFile = positions;
    if (turned)
        TurnPolarity(true);
    return true;
}

bool TForwardResponseWindow::UseElectrodePositions(const QString& FileName, QString& Error)
{
    if (!FMeasured || FMeasuredFile.isEmpty()) {
        Error = QStringLiteral("Open a measured data file first: the positions place its electrodes.");
        return false;
    }
    QString read, said;
    std::shared_ptr<const TMeasuredData> data =
        ReadMeasuredDataFile(FMeasuredFile, read, {.IpIsPhase = IpIsPhaseBox->isChecked()});
    if (!data) {
        Error = QStringLiteral("%1 could not be read again: %2").arg(FMeasuredName, read);
        return false;
    }
    if (!(data = PlacedData(*data, FileName, Error, said)))
        return false;
    const bool turned = FRemovals.PolarityTurned();
    UseMeasuredData(std::move(data), FMeasuredFile);
    FPositionsFile = QFileInfo(FileName).absoluteFilePath();
    if (turned)
        TurnPolarity(true);
    FDataSaid = said;
    ShowState();
    return true;
}

bool TForwardResponseWindow::AskElectrodePositions(QWidget* Owner)
{
    TOpenDialogRequest request;
    request.Owner = Owner;
    request.Name = QStringLiteral("ElectrodePositionsDialog");
    request.Title = QStringLiteral("Electrode positions");
    request.FileName = FMeasuredFolder;
    request.Filter = QStringLiteral("Electrode positions (*.csv;*.txt)|*.csv;*.txt|All files (*.*)|*.*");
    if (!ExecuteOpenDialog(request))
        return false;
    QString error;
    if (UseElectrodePositions(request.FileName, error))
        return true;
    MessageDlg(QStringLiteral("%1 could not be used: %2").arg(QFileInfo(request.FileName).fileName(), error),
               TMsgDlgType::mtError, mbOK);
    return false;
}

void TForwardResponseWindow::UseMeasuredData(std::shared_ptr<const TMeasuredData> Data, const QString& FileName,
                                             const QString& Name)
{
    if (!Data)
        return;
    const QFileInfo info(FileName);
    QString checksum;
    if (QFile file(FileName); !FileName.isEmpty() && file.open(QIODevice::ReadOnly))
        checksum = FileChecksum(file.readAll());
    // A file opened before (unchanged): the data the user removed from it
    // stay removed.
    FRemovals = TDataRemovals(Data);
    FPositionsFile.clear();
    if (TurnPolarityAction)
        TurnPolarityAction->setChecked(false);
    FFileChecksum = checksum;
    const bool restored = RestoreRemovedSet();
    FMeasured = FRemovals.Kept();
    FSelected.assign(FRemovals.Size(), false);
    FFilePoints = PseudoSectionPoints(Data->Survey());
    FMeasuredName = Name.isEmpty() ? info.fileName() : Name;
    FMeasuredFile = FileName.isEmpty() ? QString() : info.absoluteFilePath();
    if (!FileName.isEmpty())
        FMeasuredFolder = info.absolutePath();
    SaveSettings();
    ShowMeasuredSurvey();
    ModelChanged();
    if (restored) {
        FDataSaid = QStringLiteral("The data removed from this file before are removed again (Undo restores them).");
        ShowState();
    } else if (MostlyReversed(*Data)) {
        FDataSaid = QStringLiteral("Most data disagree in sign with their configuration's geometric factor: when the "
                                   "instrument records no polarity, Clean > Turn reversed polarity turns them.");
        ShowState();
    }
    if (OnMeasuredDataChanged)
        OnMeasuredDataChanged();
}

bool TForwardResponseWindow::AskOpenMeasuredData(QWidget* Owner)
{
    TOpenDialogRequest request;
    request.Owner = Owner;
    request.Name = QStringLiteral("MeasuredDataDialog");
    request.Title = QStringLiteral("Measured data");
    request.FileName = FMeasuredFolder; // the dialog starts where the last file was
    request.Filter = MeasuredDataFilter();
    if (!ExecuteOpenDialog(request))
        return false;
    // Another file: its ip is a chargeability until the user says otherwise.
    const QSignalBlocker quiet(IpIsPhaseBox);
    IpIsPhaseBox->setChecked(false);
    QString error;
    if (OpenMeasuredData(request.FileName, error))
        return true;
    MessageDlg(QStringLiteral("%1 could not be read: %2").arg(QFileInfo(request.FileName).fileName(), error),
               TMsgDlgType::mtError, mbOK);
    return false;
}

void TForwardResponseWindow::ReadIpAgain()
{
    if (FMeasuredFile.isEmpty())
        return;
    QString error;
    if (OpenMeasuredData(FMeasuredFile, error))
        return;
    const QSignalBlocker quiet(IpIsPhaseBox);
    IpIsPhaseBox->setChecked(!IpIsPhaseBox->isChecked());
    MessageDlg(QStringLiteral("%1 could not be read again: %2").arg(FMeasuredName, error), TMsgDlgType::mtError, mbOK);
}

void TForwardResponseWindow::UseArraySurvey()
{
    if (!FMeasured)
        return;
    FMeasured.reset();
    FRemovals = TDataRemovals();
    FPositionsFile.clear();
    FSelected.clear();
    FFilePoints.clear();
    FFileChecksum.clear();
    FMeasuredName.clear();
    FMeasuredFile.clear();
    SaveSettings();
    ShowMeasuredSurvey();
    ModelChanged();
}

// The panel as the survey's source makes it: the file's summary and the
// way back, or the array fields.
void TForwardResponseWindow::ShowMeasuredSurvey()
{
    const bool measured = FMeasured != nullptr;
    for (QWidget* field : std::initializer_list<QWidget*>{ArrayBox, ElectrodesBox, SpacingEdit, FirstEdit, LevelsBox})
        field->setEnabled(!measured);
    MeasuredLabel->setVisible(measured);
    ArraySurveyButton->setVisible(measured);
    FErrorFields->setVisible(measured);
    DataPanel->setVisible(measured);
    if (!measured)
        return;
    QString text = QStringLiteral("Survey of %1: %2, %3")
                       .arg(FMeasuredName, ElectrodeCount(static_cast<long long>(FMeasured->Electrodes.size())),
                            DatumCount(static_cast<long long>(FRemovals.Size()))); // the file's, kept or not
    if (FMeasured->Skipped.Total() > 0)
        text += QStringLiteral(" (%1 skipped)").arg(FMeasured->Skipped.Total());
    text += QStringLiteral(".");
    for (const std::string& warning : FMeasured->Warnings)
        text += QLatin1Char(' ') + QString::fromStdString(warning);
    if (const std::string ip = FMeasured->Skipped.IpText(); !ip.empty())
        text += QStringLiteral(" IP values left out, their data kept: %1.").arg(QString::fromStdString(ip));
    MeasuredLabel->setText(text);
}

} // namespace lp
