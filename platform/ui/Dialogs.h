#pragma once
// Message boxes and questions through one replaceable service.
//
// The engine and the editor never open a message box themselves: they call
// MessageDlg or ShowMessage, which hand a TMessageRequest to the
// process-wide MessageService(). The default service shows a QMessageBox
// and returns the modal result of the button pressed; tests and scripted
// runs replace it with a function that records the request and answers.

#include "platform/graphics/GraphicsTypes.h"

#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QFont>

#include <QtCore/QPoint>

#include <functional>
#include <optional>

class QWidget;

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
    // The box's top-left corner on the screen; empty = centred.
    std::optional<QPoint> Position;
    // The button that Return presses (one of Buttons); 0 = the box's own
    // choice.
    TMsgDlgButtons DefaultButton = 0;
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
// The same with the box's top-left corner at Position on the screen.
int MessageDlgPos(const QString& Text, TMsgDlgType Type, TMsgDlgButtons Buttons, QPoint Position);
// An information message with an OK button, titled with the application's
// title.
void ShowMessage(const QString& Text);
// Asks "NAME already exists.\nDo you want to replace it?" (NAME without its
// folder) with Yes and No, No the default, titled Caption; true for Yes.
bool AskReplaceFile(const QString& FileName, const QString& Caption);

// --- Input box ----------------------------------------------------------------------------
//
// A one-line text question goes through the process-wide InputService(), in
// the same way as messages: the default shows a text input dialog; tests
// replace it with a function that records the request and answers.

struct TInputRequest {
    QString Caption; // the window title
    QString Prompt;  // the text above the line
    QString Default; // the line's text when the dialog opens
};

// Returns the typed text, or nothing when the user cancels.
using TInputService = std::function<std::optional<QString>(const TInputRequest&)>;

// The service every input box goes through; assign to replace it. An empty
// function stands for the default.
TInputService& InputService();
void ResetInputService();

// The default service: a QInputDialog. Without a QApplication it shows
// nothing and answers as a cancel.
std::optional<QString> DefaultInputService(const TInputRequest& Request);

// Asks the service; returns the typed text, or Default when the user
// cancels.
QString InputBox(const QString& Caption, const QString& Prompt, const QString& Default);

// --- Common dialogs: colour, font, open file, save file ----------------------------------
//
// Every choice of a colour, a font or a file to open or save goes through the
// process-wide CommonDialogService(), in the same way as messages: the
// default shows the Qt dialog; tests replace a member with a function that
// records the request, fills in the answer and returns whether OK was chosen.
// A request's fields are the dialog's preset on entry and, when the answer
// is true, the user's choice on return.

struct TColorDialogRequest {
    QWidget* Owner = nullptr;
    // The dialog window's object name, by which it can be found while open.
    QString Name;
    TColor Color = clBlack;
    // The custom colours as "ColorA=00BBGGRR" ... "ColorP=..." entries
    // (eight hexadecimal digits); missing letters are left empty.
    QStringList CustomColors;
};

struct TFontDialogRequest {
    QWidget* Owner = nullptr;
    QFont Font;
};

struct TOpenDialogRequest {
    QWidget* Owner = nullptr;
    // The dialog window's object name, by which it can be found while open.
    QString Name;
    QString Title;
    // "Description|*.a;*.b|Description|*.c" pairs, as the picture registry
    // makes them.
    QString Filter;
    QString FileName;
    // Several: any number of existing files, in FileNames (FileName the
    // first). Folder: an existing folder, in FileName (Filter unused).
    bool Several = false;
    bool Folder = false;
    QStringList FileNames;
};

// A print dialog asking for a range of page numbers: FromPage .. ToPage
// within MinPage .. MaxPage on entry; on acceptance the chosen range (the
// whole of MinPage .. MaxPage when the user asked for all pages).
struct TPrintDialogRequest {
    QWidget* Owner = nullptr;
    int FromPage = 1;
    int ToPage = 1;
    int MinPage = 1;
    int MaxPage = 1;
};

struct TSaveDialogRequest {
    QWidget* Owner = nullptr;
    // The dialog window's object name, by which it can be found while open.
    QString Name;
    QString Title;
    // "Description|*.a;*.b|Description|*.c" pairs, as the picture registry
    // makes them.
    QString Filter;
    // The 1-based filter chosen, in and out.
    int FilterIndex = 1;
    // Added to a chosen name that has no extension; empty = none.
    QString DefaultExt;
    QString FileName;
    // The file that a chosen name (and 1-based filter) will be written to,
    // when the caller changes the name (its extension, say); empty = the
    // chosen name itself. The default dialog asks before replacing that
    // file.
    std::function<QString(const QString& FileName, int FilterIndex)> WrittenName;
    // Why the file that would be written cannot be (empty: it can). The
    // default dialog says so and shows itself again, before it would ask
    // about replacing the file.
    std::function<QString(const QString& WrittenFile)> Refusal;
};

struct TCommonDialogService {
    std::function<bool(TColorDialogRequest&)> ExecuteColor;
    std::function<bool(TFontDialogRequest&)> ExecuteFont;
    std::function<bool(TOpenDialogRequest&)> ExecuteOpen;
    std::function<bool(TPrintDialogRequest&)> ExecutePrint;
    std::function<bool(TSaveDialogRequest&)> ExecuteSave;
};

// The service every common dialog goes through; an empty member stands for
// the default of that dialog.
TCommonDialogService& CommonDialogService();
void ResetCommonDialogService();

// Ask the service (its member or the default). The defaults answer false
// without a QApplication.
bool ExecuteColorDialog(TColorDialogRequest& Request);
bool ExecuteFontDialog(TFontDialogRequest& Request);
bool ExecuteOpenDialog(TOpenDialogRequest& Request);
bool ExecutePrintDialog(TPrintDialogRequest& Request);
bool ExecuteSaveDialog(TSaveDialogRequest& Request);

// The defaults: QColorDialog (custom colours in and out), QFontDialog,
// QFileDialog and QPrintDialog (on the platform's printer). The save dialog
// asks AskReplaceFile about the file that will be written (the request's
// WrittenName) when it exists; No shows the dialog again.
bool DefaultColorDialog(TColorDialogRequest& Request);
bool DefaultFontDialog(TFontDialogRequest& Request);
bool DefaultOpenDialog(TOpenDialogRequest& Request);
bool DefaultPrintDialog(TPrintDialogRequest& Request);
bool DefaultSaveDialog(TSaveDialogRequest& Request);

// The custom colour of an entry letter ('A' .. 'P') in a list of
// "ColorX=00BBGGRR" entries; clNone when it has none or it is unreadable.
TColor CustomColorOf(const QStringList& CustomColors, QChar Letter);
// Sets (or adds) that letter's entry.
void SetCustomColor(QStringList& CustomColors, QChar Letter, TColor Color);

} // namespace lp
