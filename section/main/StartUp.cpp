#include "section/main/StartUp.h"

#include "chart/editors/ChartEditors.h"
#include "chart/editors/frame/ChartEditForm.h"
#include "chart/engine/PlotChart.h"
#include "chart/export/PlotExport.h"
#include "chart/extensions/PlotExtensions.h"
#include "section/dialogs/BodyParametersDialog.h"
#include "section/dialogs/SectionGraphicEditor.h"
#include "section/modelling/BackgroundThreads.h"
#include "section/main/FileTypeRegistration.h"
#include "section/main/MainWindow.h"
#include "section/main/MainWindowComponents.h"
#include "section/main/MainWindowGlyphs.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtGui/QIcon>
#include <QtGui/QScreen>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>

#include <cstdio>

namespace lp {

void RegisterUnits()
{
    InitializeChartLibrary();   // message texts, picture formats, series, functions, tools
    InitializeChartExtensions(); // the extension series
    InitializeChartExport();    // export formats, chart files, the chart picture format
    InitializeChartEditors();   // the chart editor pages and the editors' entry points
    RegisterBodyDialog();       // the section chart's body dialog
    RegisterSectionGraphicEditor(); // what the Graphic editor may change of the section
}

void UnregisterUnits()
{
    UnregisterBodyDialog(); // the kept dialog too, while the application object still exists
    UnregisterSectionGraphicEditor();
    FinalizeChartEditors();
    FinalizeChartExport();
    FinalizeChartExtensions();
    FinalizeChartLibrary();
}

namespace {

// With LITHOPRISM_STARTUP_TIME set, the time from the start of the
// start-up routine (the unit registrations included) to the first paint of
// the main window with its section is printed.
void ReportStartUpTime(TMainfrm& Window, const QElapsedTimer& Started)
{
    if (qEnvironmentVariableIsEmpty("LITHOPRISM_STARTUP_TIME"))
        return;
    auto* clock = new QElapsedTimer(Started);
    auto* poll = new QTimer(&Window);
    QObject::connect(poll, &QTimer::timeout, &Window, [clock, poll, &Window] {
        if (!Window.SectionOpen() || !Window.ChartWidget()->isVisible())
            return;
        Window.ChartWidget()->repaint();
        std::fprintf(stderr, "lithoprism: painted main window with its section after %lld ms\n",
                     static_cast<long long>(clock->elapsed()));
        poll->stop();
        delete clock;
    });
    poll->start(0);
}

} // namespace

int RunSectionEditor(const QStringList& Arguments)
{
    QElapsedTimer started;
    started.start();
    QApplication::setApplicationName(QStringLiteral("Lithoprism"));
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(ProgramIconImage(64))));
    RegisterSectionFileType();
    RegisterUnits();
    int result = 0;
    {
        TMainfrm window(Arguments);
        ReportStartUpTime(window, started);
        // The chart editor's "Help..." opens the manual.
        ChartEditorHelpHook() = [&window](QWidget*, int) { window.Context(); };
        // Maximised; without a window manager the window takes the screen's
        // free area itself.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            window.setGeometry(screen->availableGeometry());
        window.showMaximized();
        if (!TMainfrmComponents::NoSplashWanted(Arguments))
            window.Parts->ShowSplash(0);
        result = QApplication::exec();
        ChartEditorHelpHook() = nullptr;
    }
    // The computations the closed windows left (cancelled) end in the
    // background; the exit waits for them, briefly.
    TBackgroundThreads::Program().JoinAll();
    UnregisterUnits();
    return result;
}

} // namespace lp
