#pragma once
// The hourglass for the time of a long export action (none without an
// application object).

#include "platform/ui/Application.h"

#include <QtCore/QCoreApplication>
#include <QtGui/QGuiApplication>

namespace lp {

class TBusyCursor {
public:
    TBusyCursor()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(Application().CursorOf(crHourGlass));
            FSet = true;
        }
    }
    ~TBusyCursor()
    {
        if (FSet)
            QGuiApplication::restoreOverrideCursor();
    }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
    bool FSet = false;
};

} // namespace lp
