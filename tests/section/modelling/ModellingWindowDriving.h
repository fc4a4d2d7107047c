#pragma once
// A modelling window driven as a user drives it: keys typed as the
// keyboard types them, the program's picture export dialog looked at.

#include "chart/export/PlotExport.h"
#include "chart/export/PlotExportForm.h"

#include <QtCore/QTimer>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>

#include <functional>

namespace lp::test {

// Alt+Key to the widget with the keyboard (else Window), pressed and
// released; a button's mnemonic clicks it as a mouse would, a moment
// later: waits until no button of Window is held down.
inline void PressAltKey(QWidget& Window, Qt::Key Key)
{
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &Window;
    QTest::keyPress(focus, Key, Qt::AltModifier);
    QTest::keyRelease(focus, Key, Qt::AltModifier);
    for (QPushButton* button : Window.findChildren<QPushButton*>())
        QTRY_VERIFY_WITH_TIMEOUT(!button->isDown(), 2000);
}

// The chart the picture export dialog opens for after Open (a key or a
// command that shows the dialog a moment later): the dialog, once up, is
// looked at and closed. Null when none showed within 5 s.
inline TCustomPlotPanel* ExportedChart(const std::function<void()>& Open)
{
    InitializeChartExport();
    TCustomPlotPanel* exported = nullptr;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* form = qobject_cast<TPlotExportForm*>(QApplication::activeModalWidget())) {
            exported = form->ExportPanel;
            form->reject();
        }
    });
    watch.start(20);
    Open();
    QTest::qWaitFor([&] { return exported != nullptr; }, 5000);
    watch.stop();
    FinalizeChartExport();
    return exported;
}

} // namespace lp::test
