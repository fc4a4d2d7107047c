#pragma once
// Message boxes and questions through one replaceable service.
//
// The engine and the editor never open a message box themselves: they call
// MessageDlg or ShowMessage, which hand a TMessageRequest to the
// process-wide MessageService(). The default service shows a QMessageBox
// and returns the modal result of the button pressed; tests and scripted
// runs replace it with a function that records the request and answers.

#include <QtCore/QString>

#include <functional>

namespace lp {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// The buttons a message offers, combined with |.
enum TMsgDlgBtn : unsigned int {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbRetry = 32,
    mbIgnore = 64,
};
using TMsgDlgButtons = unsigned int;

// What a modal dialog answers: the button that closed it.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

struct TMessageRequest {
    QString Text;
    QString Caption; // the window title; empty = no title text
    TMsgDlgType Type = TMsgDlgType::mtInformation;
    TMsgDlgButtons Buttons = mbOK;
};

// Shows a request and returns a TModalResult value.
using TMessageService = std::function<int(const TMessageRequest&)>;

// The service every message goes through; assign to replace it. An empty
// function stands for the default.
TMessageService& MessageService();
// Puts the default service back.
void ResetMessageService();

// The default service: a QMessageBox with the type's icon (none for
// mtCustom), the caption as window title and the requested buttons (OK
// when none), returning the result of the button pressed (mrCancel when the
// box closes otherwise). Without a QApplication it shows nothing and
// answers mrNo when No is offered with no button but Yes, else mrCancel.
int DefaultMessageService(const TMessageRequest& Request);

// Asks the service; returns its answer.
int MessageDlg(const QString& Text, TMsgDlgType Type, TMsgDlgButtons Buttons, const QString& Caption = {});
// An information message with an OK button, titled with the application's
// title.
void ShowMessage(const QString& Text);

} // namespace lp
