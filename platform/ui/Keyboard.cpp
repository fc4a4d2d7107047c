#include "platform/ui/Keyboard.h"

#include <QtGui/QGuiApplication>

#ifdef LP_HAVE_X11
#include <QtGui/qguiapplication_platform.h>

#include <X11/XKBlib.h>
#endif

namespace lp {

namespace {

TLockKeySource& CustomSource()
{
    static TLockKeySource source;
    return source;
}

#ifdef LP_HAVE_X11
// The display of the running X application, or null (another platform
// plugin, or no application object).
Display* ApplicationDisplay()
{
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!application || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = application->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

const char* IndicatorName(int VirtualKey)
{
    switch (VirtualKey) {
    case VK_CAPITAL: return "Caps Lock";
    case VK_NUMLOCK: return "Num Lock";
    case VK_SCROLL: return "Scroll Lock";
    default: return nullptr;
    }
}

bool X11LockKeyOn(int VirtualKey)
{
    const char* name = IndicatorName(VirtualKey);
    Display* display = ApplicationDisplay();
    if (!name || !display)
        return false;
    // Only an existing atom can name an indicator; do not create one.
    const Atom indicator = XInternAtom(display, name, True);
    if (indicator == None)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, indicator, nullptr, &on, nullptr, nullptr))
        return false;
    return on != False;
}
#endif

} // namespace

bool LockKeyOn(int VirtualKey)
{
    if (CustomSource())
        return CustomSource()(VirtualKey);
#ifdef LP_HAVE_X11
    return X11LockKeyOn(VirtualKey);
#else
    return false;
#endif
}

void SetLockKeySource(TLockKeySource Source)
{
    CustomSource() = std::move(Source);
}

bool DesktopReportsLockKeys()
{
#ifdef LP_HAVE_X11
    return ApplicationDisplay() != nullptr;
#else
    return false;
#endif
}

} // namespace lp
