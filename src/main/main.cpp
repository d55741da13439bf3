#include <cstdio>

#include "FirstPaint.h"
#include "GuardedApplication.h"
#include "Navigator.h"
#include "Startup.h"
#include "app/Application.h"
#include "app/PlatformSignals.h"
#include "app/Seams.h"
#include "ui/DesktopDialogs.h"
#include "wizard/AssistantWindow.h"

// Without a display Qt would abort with a long message; say what to do instead.
static bool HasDisplay() {
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
           qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

int main(int argc, char** argv) {
#ifdef Q_OS_LINUX
    if (!HasDisplay()) {
        std::fputs(
            "kaldor-config needs a display: start it on a desktop, or run it as "
            "'xvfb-run ./kaldor-config' or 'QT_QPA_PLATFORM=offscreen ./kaldor-config'.\n",
            stderr);
        return 2;
    }
#endif
    GuardedApplication application(argc, argv);
    // The program ends through its own exit only, which removes the work files.
    QApplication::setQuitOnLastWindowClosed(false);
    DesktopDialogs dialogs;
    InstallDialogs(&dialogs);
    HandleTerminationSignals([] { ExitApplication(1); });
    if (!StartApplication()) {
        return 1;
    }
    FirstPaintProbe::WatchIfAsked(TheNavigator()->assistant());
    const int exitCode = QApplication::exec();
    // Windows go before the application object that they need.
    DestroyWindows();
    return exitCode;
}
