#include "WaitLog.h"

#include <QLabel>
#include <QProgressBar>

#include "Fixture.h"
#include "app/Seams.h"

QStringList WaitLog::waits;

namespace {

void LoggingWait(int milliseconds) {
    Fixture::waited += milliseconds;
    QWidget* status = W().frmMessage;
    WaitLog::waits << QStringLiteral("%1|%2|%3")
                          .arg(milliseconds)
                          .arg(Ctl<QLabel>(status, "lblMessage")->text())
                          .arg(Ctl<QProgressBar>(status, "barMessage")->value());
}

}  // namespace

void WaitLog::Record() {
    waits.clear();
    InstallWait(LoggingWait);
}
