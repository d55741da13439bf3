#include "GuardedApplication.h"

#include "app/Application.h"
#include "app/Seams.h"
#include "lang/Catalogue.h"

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (!App().exiting) {
            MsgBox(FatalErrorText(), MsgIcon::Stop);
        }
        ExitApplication(kFailureExitCode);
        return false;
    }
}
