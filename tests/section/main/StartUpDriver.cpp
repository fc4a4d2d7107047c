// The section editor as its main() runs it, with a user's session played on
// top: the section named on the command line opens; "Body parameters" (the
// dialog the program keeps for reuse), "Regions", "Model setup", "Output settings" and
// the print preview are each opened and closed once and well logs are
// loaded; the forward response window is opened, and while it computes
// the program quits through its "Exit" command, with the
// changes discarded. The driver's exit status is the program's, so whatever
// happens after main() returns (static objects destroyed after the
// application object) shows in it.
//
// Usage: startup_driver SECTION WELL-LOG-LIST
// Prints one line per step, in order.

#include "chart/engine/PlotAxis.h"
#include "chart/export/PlotPreview.h"
#include "platform/ui/Dialogs.h"
#include "section/dialogs/BodyParametersDialog.h"
#include "section/dialogs/ModelSetupDialog.h"
#include "section/dialogs/RegionsTable.h"
#include "section/editor/Carotage.h"
#include "section/modelling/ForwardResponseWindow.h"
#include "section/main/MainWindow.h"
#include "section/main/PictureSettingsDialog.h"
#include "section/main/StartUp.h"

#include <QtCore/QTimer>
#include <QtGui/QMouseEvent>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <cstdio>
#include <functional>

namespace {

using namespace lp;

void Say(const QString& Text)
{
    std::printf("%s\n", qPrintable(Text));
    std::fflush(stdout);
}

TMainfrm* MainWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TMainfrm*>(widget))
            return window;
    return nullptr;
}

// Chooses the menu command Text, as a click on it does.
void Choose(TMainfrm& Window, const QString& Text)
{
    for (QAction* menu : Window.menuBar()->actions())
        if (menu->menu())
            for (QAction* action : menu->menu()->actions())
                if (action->text() == Text) {
                    action->trigger();
                    return;
                }
    Say(QStringLiteral("no menu command ") + Text);
}

// Runs Action, which is to open a modal window of class TModal; Close is
// run on that window once it is up and must close it. Says the window's
// title, or that it never came.
template <class TModal>
void CloseModal(const std::function<void()>& Action, const std::function<void(TModal&)>& Close)
{
    bool closed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* modal = qobject_cast<TModal*>(QApplication::activeModalWidget());
        if (!modal)
            return;
        poll.stop();
        closed = true;
        Say(QStringLiteral("closed ") + modal->windowTitle());
        Close(*modal);
    });
    poll.start(10);
    Action();
    if (!closed)
        Say(QStringLiteral("no %1 came up").arg(QString::fromLatin1(TModal::staticMetaObject.className())));
}

// Double-clicks the body at (X, Y) of the model, as a user does.
void DoubleClickBody(TMainfrm& Window, double X, double Y)
{
    QWidget* chart = Window.ChartWidget();
    chart->repaint();
    const QPoint at(Window.PolygonChart1->BottomAxis()->CalcPosValue(X),
                    Window.PolygonChart1->LeftAxis()->CalcPosValue(Y));
    QMouseEvent move(QEvent::MouseMove, QPointF(at), chart->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(chart, &move);
    QTest::mouseDClick(chart, Qt::LeftButton, {}, at);
}

void PlaySession(TMainfrm& Window, const QString& WellLogs)
{
    // Body parameters, the dialog made once and kept: a new resistivity,
    // then Esc closes it (applying it).
    CloseModal<TBsetup>([&] { DoubleClickBody(Window, 200, 60); },
                        [](TBsetup& Dialog) {
                            Dialog.Edit1->setText(QStringLiteral("95"));
                            QTest::keyClick(&Dialog, Qt::Key_Escape);
                        });
    // The table of regions, a window kept beside the main window.
    Choose(Window, QStringLiteral("&Regions..."));
    if (Window.RegionsWindow && Window.RegionsWindow->isVisible()) {
        Say(QStringLiteral("shown ") + Window.RegionsWindow->windowTitle());
        Window.RegionsWindow->close();
    }
    CloseModal<Tboxsetup>([&] { Window.Boxconstrctor1->trigger(); },
                          [](Tboxsetup& Dialog) { QTest::mouseClick(Dialog.ApplyWidget(), Qt::LeftButton); });
    CloseModal<Tprntset>([&] { Choose(Window, QStringLiteral("&Output settings...")); },
                         [](Tprntset& Dialog) { Dialog.accept(); });
    CommonDialogService().ExecuteOpen = [&](TOpenDialogRequest& Request) {
        Request.FileName = WellLogs;
        return true;
    };
    Window.Carotagedata1->trigger();
    ResetCommonDialogService();
    Say(QStringLiteral("well logs %1").arg(Window.Carotage->Logs.Length()));
    CloseModal<TChartPreview>([&] { Window.Ptint1->trigger(); },
                              [](TChartPreview& Dialog) { Dialog.close(); });
    // The forward response window, computing as it opens: the program's
    // exit ends its run (it waits for the run's thread, briefly).
    Choose(Window, QStringLiteral("&Forward response..."));
    if (Window.ForwardWindow && Window.ForwardWindow->Busy())
        Say(QStringLiteral("computing ") + Window.ForwardWindow->windowTitle());
    // The body dialog's Apply marked the section changed: the question
    // comes before the window closes.
    CloseModal<QMessageBox>([&] { Choose(Window, QStringLiteral("E&xit")); },
                            [](QMessageBox& Question) {
                                for (QAbstractButton* button : Question.buttons())
                                    if (button->text() == QStringLiteral("Discard"))
                                        button->click();
                            });
    Say(QStringLiteral("window %1").arg(Window.isVisible() ? QStringLiteral("open") : QStringLiteral("closed")));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: startup_driver SECTION WELL-LOG-LIST\n");
        return 2;
    }
    const QString wellLogs = arguments[2];
    // The session starts once the command line's section is open.
    auto* start = new QTimer(&application);
    QObject::connect(start, &QTimer::timeout, [start, wellLogs] {
        TMainfrm* window = MainWindow();
        if (!window || !window->SectionOpen() || !window->isVisible())
            return;
        start->stop();
        Say(QStringLiteral("section open"));
        PlaySession(*window, wellLogs);
    });
    start->start(10);
    return RunSectionEditor({QStringLiteral("-ns"), arguments[1]});
}
