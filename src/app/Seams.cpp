#include "Seams.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>

namespace {
Dialogs* gDialogs = nullptr;

void DesktopWait(int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(20, deadline.remainingTime())));
    }
}

void (*gWait)(int) = DesktopWait;
void (*gProgress)(int, int) = nullptr;
}  // namespace

Dialogs& TheDialogs() {
    Q_ASSERT(gDialogs);
    return *gDialogs;
}

void InstallDialogs(Dialogs* dialogs) {
    gDialogs = dialogs;
}
void InstallWait(void (*wait)(int)) {
    gWait = wait ? wait : DesktopWait;
}

void InstallProgress(void (*progress)(int, int)) {
    gProgress = progress;
}

void Progress(int k, int n) {
    if (gProgress) {
        gProgress(k, n);
    }
}

void Wait(int milliseconds) {
    gWait(milliseconds);
}

MsgAnswer MsgBox(const QString& text, MsgIcon icon, const std::optional<QString>& title,
                 MsgButtons buttons) {
    return TheDialogs().messageBox(text, icon, buttons, title.value_or(kAppTitle));
}
