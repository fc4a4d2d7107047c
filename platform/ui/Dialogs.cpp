#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"
#include "platform/ui/Printer.h"

#include <QtCore/QFileInfo>
#include <QtWidgets/QApplication>
#include <QtWidgets/QColorDialog>
#include <QtWidgets/QFileDialog>
#include <QtWidgets/QFontDialog>
#include <QtWidgets/QInputDialog>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMessageBox>
#include <QtPrintSupport/QPrintDialog>
#include <QtPrintSupport/QPrinter>

#include <algorithm>

namespace lp {

namespace {

struct TButtonMap {
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Standard;
    TModalResult Result;
};

constexpr TButtonMap ButtonMap[] = {
    {mbYes, QMessageBox::Yes, mrYes},
    {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},
    {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},
    {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
};

QMessageBox::Icon IconOf(TMsgDlgType Type)
{
    switch (Type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    case TMsgDlgType::mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

// The answer when nobody can be asked: the refusing choice.
int UnattendedAnswer(TMsgDlgButtons Buttons)
{
    const bool onlyYesNo = (Buttons & ~static_cast<TMsgDlgButtons>(mbYes | mbNo)) == 0;
    return (Buttons & mbNo) && onlyYesNo ? mrNo : mrCancel;
}

} // namespace

int DefaultMessageService(const TMessageRequest& Request)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return UnattendedAnswer(Request.Buttons);
    QMessageBox::StandardButtons standard;
    for (const TButtonMap& entry : ButtonMap)
        if (Request.Buttons & entry.Button)
            standard |= entry.Standard;
    if (!standard)
        standard = QMessageBox::Ok;
    QMessageBox box(IconOf(Request.Type), Request.Caption, Request.Text, standard, QApplication::activeWindow());
    for (const TButtonMap& entry : ButtonMap)
        if ((Request.DefaultButton & entry.Button) && (standard & entry.Standard))
            box.setDefaultButton(entry.Standard);
    if (Request.Position)
        box.move(*Request.Position);
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const TButtonMap& entry : ButtonMap)
        if (entry.Standard == pressed)
            return entry.Result;
    return mrCancel;
}

TMessageService& MessageService()
{
    static TMessageService service = DefaultMessageService;
    return service;
}

void ResetMessageService()
{
    MessageService() = DefaultMessageService;
}

int MessageDlg(const QString& Text, TMsgDlgType Type, TMsgDlgButtons Buttons, const QString& Caption)
{
    const TMessageRequest request{Text, Caption, Type, Buttons, std::nullopt, 0};
    // A copy: a service may replace itself while it runs.
    const TMessageService service = MessageService();
    return service ? service(request) : DefaultMessageService(request);
}

int MessageDlgPos(const QString& Text, TMsgDlgType Type, TMsgDlgButtons Buttons, QPoint Position)
{
    const TMessageRequest request{Text, {}, Type, Buttons, Position, 0};
    const TMessageService service = MessageService();
    return service ? service(request) : DefaultMessageService(request);
}

void ShowMessage(const QString& Text)
{
    MessageDlg(Text, TMsgDlgType::mtInformation, mbOK, Application().Title());
}

bool AskReplaceFile(const QString& FileName, const QString& Caption)
{
    // The words of Qt's own file dialog, which users know.
    const TMessageRequest request{
        QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(FileName).fileName()), Caption,
        TMsgDlgType::mtWarning, mbYes | mbNo, std::nullopt, mbNo};
    const TMessageService service = MessageService();
    return (service ? service(request) : DefaultMessageService(request)) == mrYes;
}

// --- Input box -----------------------------------------------------------------------------

std::optional<QString> DefaultInputService(const TInputRequest& Request)
{
    if (!HaveWidgets())
        return std::nullopt;
    bool ok = false;
    QString text = QInputDialog::getText(nullptr, Request.Caption, Request.Prompt, QLineEdit::Normal,
                                         Request.Default, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

TInputService& InputService()
{
    static TInputService service = DefaultInputService;
    return service;
}

void ResetInputService()
{
    InputService() = DefaultInputService;
}

QString InputBox(const QString& Caption, const QString& Prompt, const QString& Default)
{
    const TInputRequest request{Caption, Prompt, Default};
    // A copy: a service may replace itself while it runs.
    const TInputService service = InputService();
    const std::optional<QString> answer = service ? service(request) : DefaultInputService(request);
    return answer.value_or(Default);
}

// --- Common dialogs ------------------------------------------------------------------------

namespace {

constexpr int CustomColorSlots = 16;

QString CustomColorName(QChar Letter)
{
    return QStringLiteral("Color") + Letter;
}

// "Desc|*.a;*.b|Desc2|*.c" as Qt's filters "Desc (*.a *.b)", "Desc2 (*.c)";
// a text that shows its masks already keeps them, separated as Qt reads
// them.
QStringList QtFilterList(const QString& Filter)
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString masks = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (parts[i].contains(QLatin1Char('(')))
            filters << QString(parts[i]).replace(QLatin1Char(';'), QLatin1Char(' '));
        else
            filters << parts[i] + QStringLiteral(" (") + masks + QLatin1Char(')');
    }
    return filters;
}

// The same joined as one Qt filter text.
QString QtFilterOf(const QString& Filter)
{
    return QtFilterList(Filter).join(QStringLiteral(";;"));
}

} // namespace

TColor CustomColorOf(const QStringList& CustomColors, QChar Letter)
{
    const QString prefix = CustomColorName(Letter) + QLatin1Char('=');
    for (const QString& entry : CustomColors)
        if (entry.startsWith(prefix)) {
            bool ok = false;
            const uint value = entry.mid(prefix.size()).toUInt(&ok, 16);
            return ok ? static_cast<TColor>(value) : clNone;
        }
    return clNone;
}

void SetCustomColor(QStringList& CustomColors, QChar Letter, TColor Color)
{
    const QString prefix = CustomColorName(Letter) + QLatin1Char('=');
    const QString entry = prefix + QStringLiteral("%1").arg(static_cast<uint>(Color), 8, 16, QLatin1Char('0')).toUpper();
    for (QString& existing : CustomColors)
        if (existing.startsWith(prefix)) {
            existing = entry;
            return;
        }
    CustomColors << entry;
}

bool DefaultColorDialog(TColorDialogRequest& Request)
{
    if (!HaveWidgets())
        return false;
    for (int i = 0; i < CustomColorSlots; ++i) {
        const TColor custom = CustomColorOf(Request.CustomColors, QChar('A' + i));
        QColorDialog::setCustomColor(i, custom == clNone ? QColor(Qt::white) : ToQColor(custom));
    }
    QColorDialog dialog(ToQColor(Request.Color), Request.Owner);
    dialog.setObjectName(Request.Name);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Request.Color = FromQColor(dialog.selectedColor());
    for (int i = 0; i < CustomColorSlots; ++i)
        SetCustomColor(Request.CustomColors, QChar('A' + i), FromQColor(QColorDialog::customColor(i)));
    return true;
}

bool DefaultFontDialog(TFontDialogRequest& Request)
{
    if (!HaveWidgets())
        return false;
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, Request.Font, Request.Owner);
    if (ok)
        Request.Font = chosen;
    return ok;
}

bool DefaultOpenDialog(TOpenDialogRequest& Request)
{
    if (!HaveWidgets())
        return false;
    QFileDialog dialog(Request.Owner, Request.Title, Request.FileName, QtFilterOf(Request.Filter));
    dialog.setObjectName(Request.Name);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(Request.Folder    ? QFileDialog::Directory
                       : Request.Several ? QFileDialog::ExistingFiles
                                         : QFileDialog::ExistingFile);
    if (Request.Folder)
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    Request.FileNames = dialog.selectedFiles();
    Request.FileName = Request.FileNames.constFirst();
    return true;
}

bool DefaultPrintDialog(TPrintDialogRequest& Request)
{
    if (!HaveWidgets())
        return false;
    const int minPage = std::max(1, Request.MinPage);
    const int maxPage = std::max(minPage, Request.MaxPage);
    QPrintDialog dialog(&Printer().QtPrinter(), Request.Owner);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(minPage, maxPage);
    dialog.setFromTo(std::clamp(Request.FromPage, minPage, maxPage), std::clamp(Request.ToPage, minPage, maxPage));
    dialog.setPrintRange(QAbstractPrintDialog::PageRange);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (dialog.printRange() == QAbstractPrintDialog::PageRange && dialog.fromPage() > 0) {
        Request.FromPage = dialog.fromPage();
        Request.ToPage = std::max(dialog.fromPage(), dialog.toPage());
    } else {
        Request.FromPage = minPage;
        Request.ToPage = maxPage;
    }
    return true;
}

bool DefaultSaveDialog(TSaveDialogRequest& Request)
{
    if (!HaveWidgets())
        return false;
    QFileDialog dialog(Request.Owner, Request.Title, Request.FileName);
    const QStringList filters = QtFilterList(Request.Filter);
    dialog.setObjectName(Request.Name);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (Request.FilterIndex >= 1 && Request.FilterIndex <= filters.size())
        dialog.selectNameFilter(filters[Request.FilterIndex - 1]);
    dialog.setDefaultSuffix(Request.DefaultExt);
    // The dialog would ask about the name typed; the question belongs to the
    // file that will be written, which the caller may name differently.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        const QString chosen = dialog.selectedFiles().constFirst();
        const int filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
        const QString written = Request.WrittenName ? Request.WrittenName(chosen, filterIndex) : chosen;
        // A name that will be refused is refused at once: asking about
        // replacing the file first would offer what cannot be done.
        if (const QString refusal = Request.Refusal ? Request.Refusal(written) : QString(); !refusal.isEmpty()) {
            MessageDlg(QStringLiteral("%1 cannot be written: %2").arg(QFileInfo(written).fileName(), refusal),
                       TMsgDlgType::mtError, mbOK, dialog.windowTitle());
            continue;
        }
        // No: back to the dialog for another name, as Qt's own question does.
        if (QFileInfo::exists(written) && !AskReplaceFile(written, dialog.windowTitle()))
            continue;
        Request.FileName = chosen;
        Request.FilterIndex = filterIndex;
        return true;
    }
}

TCommonDialogService& CommonDialogService()
{
    static TCommonDialogService service;
    return service;
}

void ResetCommonDialogService()
{
    CommonDialogService() = {};
}

// Copies of the members: a service may replace itself while it runs.
bool ExecuteColorDialog(TColorDialogRequest& Request)
{
    const auto execute = CommonDialogService().ExecuteColor;
    return execute ? execute(Request) : DefaultColorDialog(Request);
}

bool ExecuteFontDialog(TFontDialogRequest& Request)
{
    const auto execute = CommonDialogService().ExecuteFont;
    return execute ? execute(Request) : DefaultFontDialog(Request);
}

bool ExecuteOpenDialog(TOpenDialogRequest& Request)
{
    const auto execute = CommonDialogService().ExecuteOpen;
    return execute ? execute(Request) : DefaultOpenDialog(Request);
}

bool ExecutePrintDialog(TPrintDialogRequest& Request)
{
    const auto execute = CommonDialogService().ExecutePrint;
    return execute ? execute(Request) : DefaultPrintDialog(Request);
}

bool ExecuteSaveDialog(TSaveDialogRequest& Request)
{
    const auto execute = CommonDialogService().ExecuteSave;
    return execute ? execute(Request) : DefaultSaveDialog(Request);
}

} // namespace lp
