#include "chart/export/PlotExportForm.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/export/PlotBusyCursor.h"
#include "chart/export/PlotChartFile.h"
#include "chart/export/PlotSeriesData.h"
#include "platform/core/ComponentStream.h"
#include "platform/core/NumberFormat.h"
#include "platform/core/SafeSave.h"
#include "platform/core/StringList.h"
#include "platform/core/TemporaryFiles.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <QtWidgets/QTabWidget>
#include <QtWidgets/QVBoxLayout>

#include <cmath>

namespace lp {

namespace {

const QString MailSubject = QStringLiteral("VudEvevu");
const QString NativeExtension = QStringLiteral("vud");
constexpr int MaxPictureSide = 3000;
constexpr int FirstNonTextFilter = 5; // data filter indexes above it are XML, HTML, spreadsheet

QString NativeFilter()
{
    return QStringLiteral("VudEvevu files (*.") + NativeExtension + QStringLiteral(")|*.") + NativeExtension;
}

bool DefaultAskSaveFileName(QWidget* Parent, TExportSaveRequest& Request)
{
    TSaveDialogRequest Dialog;
    Dialog.Owner = Parent;
    Dialog.Filter = Request.Filter;
    Dialog.FilterIndex = Request.FilterIndex;
    Dialog.DefaultExt = Request.DefaultExt;
    Dialog.WrittenName = Request.WrittenName;
    if (!ExecuteSaveDialog(Dialog) || Dialog.FileName.isEmpty())
        return false;
    Request.FileName = Dialog.FileName;
    Request.FilterIndex = Dialog.FilterIndex;
    return true;
}

// The native page always writes a chart file: the chosen name with the
// chart file extension in place of its own.
QString NativeFileName(const QString& FileName)
{
    const QFileInfo Info(FileName);
    return Info.path() + u'/' + Info.completeBaseName() + u'.' + NativeExtension;
}

bool DefaultMailAvailable() { return !QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty(); }

int DefaultSendMail(const QString& Subject, const QString& FileName)
{
    const QString Program = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (Program.isEmpty())
        return -1;
    QProcess Mail;
    Mail.start(Program, {QStringLiteral("--subject"), Subject, QStringLiteral("--attach"), FileName});
    if (!Mail.waitForFinished(60000))
        return -1;
    return Mail.exitStatus() == QProcess::NormalExit ? Mail.exitCode() : -1;
}

QLabel* BuddyLabel(const QString& Caption, QWidget* Buddy, QWidget* Parent)
{
    auto* Label = new QLabel(Caption, Parent);
    Label->setBuddy(Buddy);
    return Label;
}

QSpinBox* SizeEdit(const QString& Name, QWidget* Parent)
{
    auto* Edit = new QSpinBox(Parent);
    Edit->setObjectName(Name);
    Edit->setRange(0, MaxPictureSide);
    Edit->setKeyboardTracking(true);
    return Edit;
}

} // namespace

QString ExportDataFilter()
{
    return QStringList({QStringLiteral("Space delimited text files (*.txt)|*.txt"),
                        QStringLiteral("Tab delimited text files (*.txt)|*.txt"),
                        QStringLiteral("Comma delimited text files (*.csv)|*.csv"),
                        QStringLiteral("Colon delimited text files (*.txt)|*.txt"),
                        QStringLiteral("Custom delimited text files (*.txt)|*.txt"),
                        QStringLiteral("XML files (*.xml)|*.xml"), QStringLiteral("HTML files (*.htm)|*.htm"),
                        QStringLiteral("Microsoft Excel files (*.xls)|*.xls")})
        .join(u'|');
}

QString ExportDataFilterExtension(int FilterIndex)
{
    const QStringList Parts = ExportDataFilter().split(u'|');
    const qsizetype Mask = qsizetype(FilterIndex) * 2 - 1;
    if (FilterIndex < 1 || Mask >= Parts.size())
        return QStringLiteral("txt");
    return Parts[Mask].mid(2);
}

// --- Building the form ---------------------------------------------------------------------------

TPlotExportFormBase::TPlotExportFormBase(QWidget* Owner) : QDialog(Owner)
{
    setObjectName(QStringLiteral("PlotExportForm"));
    setWindowTitle(QStringLiteral("Export Dialog"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(378, 239);

    auto* Layout = new QVBoxLayout(this);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    Layout->addWidget(PageControl1, 1);
    CreatePicturePage();
    CreateNativePage();
    CreateDataPage();
    CreateButtons();
    Connect();

    AskSaveFileName = [this](TExportSaveRequest& Request) { return DefaultAskSaveFileName(this, Request); };
    MailAvailable = &DefaultMailAvailable;
    SendMail = &DefaultSendMail;
    PageControl1->setCurrentWidget(TabPicture);
    CBNativeFormat->setCurrentIndex(0);
}

TPlotExportFormBase::~TPlotExportFormBase() = default;

void TPlotExportFormBase::CreatePicturePage()
{
    TabPicture = new QWidget;
    PageControl1->addTab(TabPicture, QStringLiteral("Picture"));
    auto* Row = new QHBoxLayout(TabPicture);

    RGFormat = new QGroupBox(QStringLiteral("&Format"), TabPicture);
    LBFormat = new QListWidget(RGFormat);
    LBFormat->setObjectName(QStringLiteral("LBFormat"));
    (new QVBoxLayout(RGFormat))->addWidget(LBFormat);
    RGFormat->setFixedWidth(145);
    Row->addWidget(RGFormat);

    PageOptions = new QTabWidget(TabPicture);
    TabOptions = new QWidget;
    new QVBoxLayout(TabOptions);
    TabSize = new QWidget;
    PageOptions->addTab(TabOptions, QStringLiteral("Options"));
    PageOptions->addTab(TabSize, QStringLiteral("Size"));
    Row->addWidget(PageOptions, 1);

    UDWidth = SizeEdit(QStringLiteral("EWidth"), TabSize);
    UDHeight = SizeEdit(QStringLiteral("EHeight"), TabSize);
    CBAspect = new QCheckBox(QStringLiteral("&Keep aspect ratio"), TabSize);
    CBAspect->setChecked(true);
    auto* Grid = new QGridLayout(TabSize);
    Grid->addWidget(BuddyLabel(QStringLiteral("&Width:"), UDWidth, TabSize), 0, 0);
    Grid->addWidget(UDWidth, 0, 1);
    Grid->addWidget(BuddyLabel(QStringLiteral("&Height:"), UDHeight, TabSize), 1, 0);
    Grid->addWidget(UDHeight, 1, 1);
    Grid->addWidget(CBAspect, 2, 0, 1, 2);
    Grid->setRowStretch(3, 1);
    Grid->setColumnStretch(2, 1);
}

void TPlotExportFormBase::CreateNativePage()
{
    TabNative = new QWidget;
    PageControl1->addTab(TabNative, QStringLiteral("Native"));
    CBNativeData = new QCheckBox(QStringLiteral("&Include Series data"), TabNative);
    CBNativeData->setChecked(true);
    CBFileSize = new QCheckBox(QStringLiteral("&File size:"), TabNative);
    LabelSize = new QLabel(QStringLiteral("?"), TabNative);
    CBNativeFormat = new QComboBox(TabNative);
    CBNativeFormat->addItems({QStringLiteral("Binary"), QStringLiteral("Text")});

    auto* Grid = new QGridLayout(TabNative);
    Grid->addWidget(CBNativeData, 0, 0, 1, 2);
    Grid->addWidget(CBFileSize, 1, 0);
    Grid->addWidget(LabelSize, 1, 1);
    // Alt+F is "File size" on this page.
    Grid->addWidget(BuddyLabel(QStringLiteral("F&ormat:"), CBNativeFormat, TabNative), 2, 0);
    Grid->addWidget(CBNativeFormat, 2, 1);
    Grid->setRowStretch(3, 1);
    Grid->setColumnStretch(2, 1);
}

void TPlotExportFormBase::CreateDataPage()
{
    TabData = new QWidget;
    PageControl1->addTab(TabData, QStringLiteral("Data"));
    auto* Grid = new QGridLayout(TabData);

    Panel5 = new QWidget(TabData);
    CBSeries = new QComboBox(Panel5);
    CBSeries->view()->setMinimumWidth(250);
    auto* SeriesRow = new QHBoxLayout(Panel5);
    SeriesRow->setContentsMargins(0, 0, 0, 0);
    SeriesRow->addWidget(BuddyLabel(QStringLiteral("Se&ries:"), CBSeries, Panel5));
    SeriesRow->addWidget(CBSeries, 1);
    Grid->addWidget(Panel5, 0, 0, 1, 3);

    RGText = new QGroupBox(QStringLiteral("&Format:"), TabData);
    auto* FormatColumn = new QVBoxLayout(RGText);
    RBText = new QRadioButton(QStringLiteral("Text"), RGText);
    RBXML = new QRadioButton(QStringLiteral("XML"), RGText);
    RBHTML = new QRadioButton(QStringLiteral("HTML Table"), RGText);
    RBExcel = new QRadioButton(QStringLiteral("Excel"), RGText);
    for (QRadioButton* Button : {RBText, RBXML, RBHTML, RBExcel})
        FormatColumn->addWidget(Button);
    RBText->setChecked(true);
    Grid->addWidget(RGText, 1, 0, 2, 1);

    auto* DelimiterBox = new QWidget(TabData);
    auto* DelimiterGrid = new QGridLayout(DelimiterBox);
    DelimiterGrid->setContentsMargins(0, 0, 0, 0);
    CBDelim = new QComboBox(DelimiterBox);
    CBDelim->addItems({QStringLiteral("Space"), QStringLiteral("Tab"), QStringLiteral("Comma"),
                       QStringLiteral("Colon"), QStringLiteral("Custom")});
    ECustom = new QLineEdit(DelimiterBox);
    ECustom->setMaxLength(1);
    ECustom->setFixedWidth(28);
    ECustom->setEnabled(false);
    EQuotes = new QLineEdit(DelimiterBox);
    EQuotes->setMaxLength(1);
    EQuotes->setFixedWidth(28);
    DelimiterGrid->addWidget(BuddyLabel(QStringLiteral("&Delimiter:"), CBDelim, DelimiterBox), 0, 0);
    DelimiterGrid->addWidget(CBDelim, 0, 1);
    DelimiterGrid->addWidget(ECustom, 0, 2);
    DelimiterGrid->addWidget(BuddyLabel(QStringLiteral("Text &Quotes:"), EQuotes, DelimiterBox), 1, 0);
    DelimiterGrid->addWidget(EQuotes, 1, 1, Qt::AlignLeft);
    Grid->addWidget(DelimiterBox, 1, 1);

    auto* Include = new QGroupBox(QStringLiteral("I&nclude:"), TabData); // Alt+I is "Point Index"
    auto* IncludeGrid = new QGridLayout(Include);
    CBLabels = new QCheckBox(QStringLiteral("Point &Labels"), Include);
    CBLabels->setChecked(true);
    CBIndex = new QCheckBox(QStringLiteral("Point &Index"), Include);
    CBHeader = new QCheckBox(QStringLiteral("&Header"), Include);
    CBHeader->setChecked(true);
    CBColors = new QCheckBox(QStringLiteral("Point C&olors"), Include); // Alt+C is Copy
    IncludeGrid->addWidget(CBLabels, 0, 0);
    IncludeGrid->addWidget(CBIndex, 0, 1);
    IncludeGrid->addWidget(CBHeader, 1, 0);
    IncludeGrid->addWidget(CBColors, 1, 1);
    Grid->addWidget(Include, 2, 1);
    Grid->setColumnStretch(1, 1);
}

void TPlotExportFormBase::CreateButtons()
{
    auto* Bar = new QHBoxLayout;
    BCopy = new QPushButton(QStringLiteral("&Copy"), this);
    BSave = new QPushButton(QStringLiteral("&Save..."), this);
    BSend = new QPushButton(QStringLiteral("S&end..."), this);
    BClose = new QPushButton(QStringLiteral("Close"), this);
    BClose->setDefault(true);
    for (QPushButton* Button : {BCopy, BSave, BSend})
        Button->setAutoDefault(false);
    Bar->addWidget(BCopy);
    Bar->addWidget(BSave);
    Bar->addWidget(BSend);
    Bar->addStretch(1);
    Bar->addWidget(BClose);
    static_cast<QVBoxLayout*>(layout())->addLayout(Bar);
}

void TPlotExportFormBase::Guard(const std::function<void()>& Handler)
{
    try {
        Handler();
    } catch (const std::exception& Error) {
        Application().HandleException(Error);
    }
}

void TPlotExportFormBase::Connect()
{
    connect(BClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(BCopy, &QPushButton::clicked, this, [this] { Guard([this] { Copy(); }); });
    connect(BSave, &QPushButton::clicked, this, [this] { Guard([this] { Save(); }); });
    connect(BSend, &QPushButton::clicked, this, [this] { Guard([this] { Send(); }); });
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { UpdateButtons(); });
    connect(LBFormat, &QListWidget::currentRowChanged, this, [this] { Guard([this] { FormatClick(); }); });
    connect(UDWidth, &QSpinBox::valueChanged, this, &TPlotExportFormBase::WidthChanged);
    connect(UDHeight, &QSpinBox::valueChanged, this, &TPlotExportFormBase::HeightChanged);
    for (QRadioButton* Button : {RBText, RBXML, RBHTML, RBExcel})
        connect(Button, &QRadioButton::toggled, this, [this](bool On) {
            if (On)
                DataFormatClick();
        });
    connect(CBDelim, &QComboBox::currentIndexChanged, this, [this] { DelimiterChange(); });
    connect(CBFileSize, &QCheckBox::toggled, this, [this] { Guard([this] { FileSizeClick(); }); });
    connect(CBNativeData, &QCheckBox::toggled, this, [this] { Guard([this] { FileSizeClick(); }); });
    connect(CBNativeFormat, &QComboBox::currentIndexChanged, this, [this] {
        Guard([this] { FileSizeClick(); });
        UpdateButtons();
    });
}

// --- Showing -------------------------------------------------------------------------------------

void TPlotExportFormBase::FormShow()
{
    if (TagPanel)
        ExportPanel = TagPanel;
    if (!ExportPanel)
        return;
    FChanging = true;
    SetDataFormat(0);
    UDWidth->setValue(std::min(ExportPanel->Width(), MaxPictureSide));
    UDHeight->setValue(std::min(ExportPanel->Height(), MaxPictureSide));
    FRatio = ExportPanel->Height() != 0 ? double(ExportPanel->Width()) / ExportPanel->Height() : 0;
    PrepareDataPage();
    FillFormats();
    CBDelim->setCurrentIndex(1);
    if (LBFormat->count() > 0)
        LBFormat->setCurrentRow(0);
    FormatClick();
    UpdateButtons();
    FChanging = false;
    CallControlHook(this);
}

void TPlotExportFormBase::FillFormats()
{
    LBFormat->clear();
    FFormats.clear();
    FPictureFilter.clear();
    const TPlotExportFormats* Formats = PlotExportFormats();
    int Counter = 0;
    for (int I = 0; Formats && I < Formats->Count(); ++I) {
        TFormatItem Item{QString(), CreatePlotExportFormat(Formats->Format(I))};
        Item.Format->SetPanel(ExportPanel);
        Item.Format->AssignFilterIndex(Counter);
        const QString Filter = Item.Format->FileFilter();
        FPictureFilter = FPictureFilter.isEmpty() ? Filter : FPictureFilter + u'|' + Filter;
        Item.Description = Item.Format->Description().remove(u'&');
        LBFormat->addItem(Item.Description);
        FFormats.push_back(std::move(Item));
    }
}

TPlotExportFormat* TPlotExportFormBase::SelectedFormat() const
{
    const int Row = LBFormat->currentRow();
    return Row >= 0 && Row < static_cast<int>(FFormats.size()) ? FFormats[static_cast<size_t>(Row)].Format.get()
                                                                 : nullptr;
}

// The embedded options come right after the format list in the tab order.
void TPlotExportFormBase::ChainOptionsFocus(QWidget* Options)
{
    QWidget* Previous = LBFormat;
    for (QWidget* Child : Options->findChildren<QWidget*>())
        if (Child->focusPolicy() & Qt::TabFocus) {
            QWidget::setTabOrder(Previous, Child);
            Previous = Child;
        }
    QWidget::setTabOrder(Previous, PageOptions);
}

void TPlotExportFormBase::FormatClick()
{
    QLayout* Host = TabOptions->layout();
    while (QLayoutItem* Item = Host->takeAt(0)) {
        if (Item->widget())
            Item->widget()->hide();
        delete Item;
    }
    TPlotExportFormat* Format = SelectedFormat();
    QWidget* Options = Format ? Format->Options(true) : nullptr;
    const bool HasOptions = Options && !Options->findChildren<QWidget*>().isEmpty();
    PageOptions->setTabVisible(PageOptions->indexOf(TabOptions), HasOptions);
    if (HasOptions) {
        Options->setParent(TabOptions);
        Host->addWidget(Options);
        Options->show();
        ChainOptionsFocus(Options);
        PageOptions->setCurrentWidget(TabOptions);
    } else {
        PageOptions->setCurrentWidget(TabSize);
    }
    UpdateButtons();
}

// --- Size ----------------------------------------------------------------------------------------

void TPlotExportFormBase::WidthChanged(int Value)
{
    if (FChanging || !CBAspect->isChecked() || FRatio == 0)
        return;
    FChanging = true;
    UDHeight->setValue(static_cast<int>(std::lround(Value / FRatio)));
    FChanging = false;
}

void TPlotExportFormBase::HeightChanged(int Value)
{
    if (FChanging || !CBAspect->isChecked() || FRatio == 0)
        return;
    FChanging = true;
    UDWidth->setValue(static_cast<int>(std::lround(Value * FRatio)));
    FChanging = false;
}

// --- Data page -----------------------------------------------------------------------------------

int TPlotExportFormBase::DataFormat() const
{
    if (RBXML->isChecked())
        return 1;
    if (RBHTML->isChecked())
        return 2;
    return RBExcel->isChecked() ? 3 : 0;
}

void TPlotExportFormBase::SetDataFormat(int Index)
{
    QRadioButton* Buttons[] = {RBText, RBXML, RBHTML, RBExcel};
    Buttons[std::clamp(Index, 0, 3)]->setChecked(true);
    DataFormatClick();
}

void TPlotExportFormBase::DataFormatClick()
{
    CBDelim->setEnabled(DataFormat() == 0);
    ECustom->setEnabled(CBDelim->isEnabled() && CBDelim->currentIndex() == 4);
    UpdateButtons();
}

void TPlotExportFormBase::DelimiterChange()
{
    ECustom->setEnabled(CBDelim->isEnabled() && CBDelim->currentIndex() == 4);
    if (ECustom->isEnabled() && ECustom->isVisible())
        ECustom->setFocus();
}

QChar TPlotExportFormBase::Delimiter() const
{
    switch (CBDelim->currentIndex()) {
    case 0: return u' ';
    case 2: return u',';
    case 3: return u';';
    case 4: return ECustom->text().isEmpty() ? QChar(u' ') : ECustom->text().at(0);
    default: return QChar(9);
    }
}

int TPlotExportFormBase::DataFilterIndex() const
{
    return DataFormat() > 0 ? DataFormat() + FirstNonTextFilter : CBDelim->currentIndex() + 1;
}

// --- Native page ---------------------------------------------------------------------------------

bool TPlotExportFormBase::NativeIsText() const { return CBNativeFormat->currentIndex() == 1; }

void TPlotExportFormBase::FileSizeClick()
{
    if (!CBFileSize->isChecked() || !ExportPanel) {
        LabelSize->setText(QStringLiteral("?"));
        return;
    }
    LabelSize->setText(Format(QStringLiteral("%d bytes"), {CreateNativeStream().size()}));
}

// --- Buttons -------------------------------------------------------------------------------------

void TPlotExportFormBase::UpdateButtons()
{
    QWidget* Page = PageControl1->currentWidget();
    bool CanCopy = false;
    if (Page == TabPicture)
        CanCopy = ExportPanel != nullptr;
    else if (Page == TabData)
        CanCopy = HasSeries();
    else if (Page == TabNative)
        CanCopy = ExportPanel && NativeIsText();
    const bool CanSave = CanCopy || (Page == TabNative && ExportPanel);
    if (Page == TabData && DataFormat() == 3)
        CanCopy = false;
    BCopy->setEnabled(CanCopy);
    BSave->setEnabled(CanSave);
    if (CanSave && FMailAvailable < 0)
        FMailAvailable = MailAvailable && MailAvailable() ? 1 : 0;
    BSend->setEnabled(CanSave && FMailAvailable == 1);
}

void TPlotExportFormBase::Copy()
{
    QWidget* Page = PageControl1->currentWidget();
    if (Page == TabPicture) {
        if (TPlotExportFormat* Format = SelectedFormat()) {
            Format->SetWidth(UDWidth->value());
            Format->SetHeight(UDHeight->value());
            Format->CopyToClipboard();
        }
    } else if (Page == TabData) {
        TBusyCursor Busy;
        if (std::unique_ptr<TSeriesData> Data = CreateData())
            Data->CopyToClipboard();
    } else if (Page == TabNative && NativeIsText()) {
        if (QClipboard* Clipboard = QGuiApplication::clipboard())
            Clipboard->setText(QString::fromUtf8(CreateNativeStream()));
    }
}

void TPlotExportFormBase::Save()
{
    TExportSaveRequest Request;
    QWidget* Page = PageControl1->currentWidget();
    if (Page == TabPicture) {
        TPlotExportFormat* Format = SelectedFormat();
        if (!Format)
            return;
        Request.Filter = FPictureFilter;
        Request.FilterIndex = Format->FilterIndex();
        Request.DefaultExt = Format->FileExtension();
    } else if (Page == TabNative) {
        Request.Filter = NativeFilter();
        Request.DefaultExt = NativeExtension;
        Request.WrittenName = [](const QString& FileName, int) { return NativeFileName(FileName); };
    } else {
        Request.Filter = ExportDataFilter();
        Request.FilterIndex = DataFilterIndex();
        Request.DefaultExt = QStringLiteral("txt");
    }
    if (!AskSaveFileName || !AskSaveFileName(Request) || Request.FileName.isEmpty())
        return;
    if (Page == TabData) {
        // The chosen file kind decides the format and, for text, the delimiter.
        if (Request.FilterIndex > FirstNonTextFilter) {
            SetDataFormat(Request.FilterIndex - FirstNonTextFilter);
        } else {
            SetDataFormat(0);
            if (Request.FilterIndex >= 1)
                CBDelim->setCurrentIndex(Request.FilterIndex - 1);
        }
    }
    SaveTo(Request.FileName);
}

void TPlotExportFormBase::SaveTo(const QString& FileName)
{
    TBusyCursor Busy;
    QWidget* Page = PageControl1->currentWidget();
    if (Page == TabPicture)
        SavePicture(FileName);
    else if (Page == TabNative)
        SaveNativeToFile(NativeFileName(FileName), CBNativeData->isChecked());
    else
        SaveData(FileName);
}

void TPlotExportFormBase::SavePicture(const QString& FileName)
{
    const QString Extension = QFileInfo(FileName).suffix().toUpper();
    TPlotExportFormat* Format = SelectedFormat();
    for (const TFormatItem& Item : FFormats)
        if (!Extension.isEmpty() && Item.Format->FileExtension().toUpper() == Extension) {
            Format = Item.Format.get();
            break;
        }
    if (!Format)
        return;
    Format->SetWidth(UDWidth->value());
    Format->SetHeight(UDHeight->value());
    Format->SaveToFile(FileName);
}

void TPlotExportFormBase::SaveData(const QString& FileName)
{
    if (std::unique_ptr<TSeriesData> Data = CreateData())
        Data->SaveToFile(FileName);
}

QString TPlotExportFormBase::CurrentExtension() const
{
    QWidget* Page = PageControl1->currentWidget();
    if (Page == TabPicture)
        return SelectedFormat() ? SelectedFormat()->FileExtension() : QString();
    if (Page == TabNative)
        return NativeExtension;
    return ExportDataFilterExtension(DataFilterIndex());
}

void TPlotExportFormBase::Send()
{
    // The mail program may read the attachment long after it was started,
    // so the file lives until this program ends, in a folder of its own:
    // a second send cannot overwrite an attachment still waiting.
    const QString Folder = MakeTemporaryFolderUntilExit(MailSubject);
    if (Folder.isEmpty())
        throw Exception(PlotMsg_NoTempFolder.toStdString());
    const QString FileName = Folder + u'/' + MailSubject + u'.' + CurrentExtension();
    SaveTo(FileName);
    const int Code = SendMail ? SendMail(MailSubject, FileName) : -1;
    if (Code != 0)
        throw Exception(Format(PlotMsg_EmailError, {Code}).toStdString());
}

// --- Base behaviour of the native and data pages -------------------------------------------------

std::unique_ptr<TSeriesData> TPlotExportFormBase::CreateData() { return nullptr; }

bool TPlotExportFormBase::HasSeries() const { return false; }

QByteArray TPlotExportFormBase::CreateNativeStream()
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    if (!ExportPanel)
        return {};
    // A hidden panel would be stored hidden; it is written as shown.
    const bool WasVisible = ExportPanel->Visible();
    ExportPanel->SetVisible(true);
    try {
        TComponentWriter(ExportPanel).WriteDescendent(Buffer, ExportPanel);
    } catch (...) {
        ExportPanel->SetVisible(WasVisible);
        throw;
    }
    ExportPanel->SetVisible(WasVisible);
    return Buffer.data();
}

void TPlotExportFormBase::SaveNativeToFile(const QString& FileName, bool)
{
    const QByteArray Bytes = CreateNativeStream();
    QString Error;
    if (!SaveAtomically(FileName, [&Bytes](QIODevice& Device) {
            if (Device.write(Bytes) != Bytes.size())
                throw EPlotExportError("Cannot write the panel: " + Device.errorString().toStdString());
        }, Error))
        throw EPlotExportError("Cannot write " + FileName.toStdString() + ": " + Error.toStdString());
}

void TPlotExportFormBase::PrepareDataPage()
{
    PageControl1->setTabVisible(PageControl1->indexOf(TabData), false);
    CBNativeData->hide();
}

// --- TPlotExportForm -----------------------------------------------------------------------------

TPlotExportForm::TPlotExportForm(QWidget* Owner) : TPlotExportFormBase(Owner) {}

std::unique_ptr<TSeriesData> TPlotExportForm::CreateData()
{
    auto* Chart = qobject_cast<TCustomAxisPanel*>(Panel());
    if (!Chart)
        return nullptr;
    auto* Series = qobject_cast<TChartSeries*>(CBSeries->currentData().value<QObject*>());
    std::unique_ptr<TSeriesData> Data;
    switch (DataFormat()) {
    case 1: Data = std::make_unique<TSeriesDataXML>(Chart, Series); break;
    case 2: Data = std::make_unique<TSeriesDataHTML>(Chart, Series); break;
    case 3: Data = std::make_unique<TSeriesDataXLS>(Chart, Series); break;
    default: {
        auto Text = std::make_unique<TSeriesDataText>(Chart, Series);
        Text->TextDelimiter = Delimiter();
        Text->TextQuotes = EQuotes->text();
        Data = std::move(Text);
    }
    }
    Data->IncludeLabels = CBLabels->isChecked();
    Data->IncludeIndex = CBIndex->isChecked();
    Data->IncludeHeader = CBHeader->isChecked();
    Data->IncludeColors = CBColors->isChecked();
    return Data;
}

void TPlotExportForm::SaveNativeToFile(const QString& FileName, bool IncludeData)
{
    if (auto* Chart = qobject_cast<TCustomChart*>(Panel()))
        SaveChartToFile(Chart, FileName, IncludeData, NativeIsText());
}

bool TPlotExportForm::HasSeries() const
{
    auto* Chart = qobject_cast<TCustomAxisPanel*>(Panel());
    return Chart && Chart->SeriesCount() > 0;
}

QByteArray TPlotExportForm::CreateNativeStream()
{
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    if (auto* Chart = qobject_cast<TCustomChart*>(Panel()))
        SaveChartToStream(Chart, Buffer, CBNativeData->isChecked(), NativeIsText());
    return Buffer.data();
}

void TPlotExportForm::PrepareDataPage()
{
    CBSeries->clear();
    auto* Chart = qobject_cast<TCustomAxisPanel*>(Panel());
    CBSeries->addItem(PlotMsg_All, QVariant::fromValue<QObject*>(nullptr));
    if (Chart) {
        TStringList Items;
        FillSeriesItems(Items, Chart->SeriesList());
        for (int I = 0; I < Items.Count(); ++I)
            CBSeries->addItem(Items.Strings(I), QVariant::fromValue(Items.Objects(I)));
    }
    CBSeries->setCurrentIndex(0);
}

} // namespace lp
