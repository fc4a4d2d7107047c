#include "platform/ui/Dialogs.h"

#include "platform/ui/Application.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>

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
    const TMessageRequest request{Text, Caption, Type, Buttons};
    // A copy: a service may replace itself while it runs.
    const TMessageService service = MessageService();
    return service ? service(request) : DefaultMessageService(request);
}

void ShowMessage(const QString& Text)
{
    MessageDlg(Text, TMsgDlgType::mtInformation, mbOK, Application().Title());
}

} // namespace lp
