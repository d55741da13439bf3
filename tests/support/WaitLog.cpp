#include "WaitLog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QWindow>

#include "Fixture.h"
#include "app/Seams.h"
#include "channel/ToolRun.h"

QList<WaitLog::Step> WaitLog::steps;
QStringList WaitLog::waits;

namespace {

QString NameOf(const QWidget* window) {
    return window == W().assistant && ShownPage() ? ShownPage()->objectName()
                                                  : window->objectName();
}

void Log(const QString& run) {
    QWidget* status = W().frmMessage;
    WaitLog::Step step;
    step.run = run;
    step.bar = Ctl<QProgressBar>(status, "barMessage")->value();
    step.message = Ctl<QLabel>(status, "lblMessage")->text();
    const QWindow* parent = status->windowHandle()->transientParent();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const bool centred = (status->frameGeometry().center() - window->frameGeometry().center())
                                 .manhattanLength() <= 2;
        step.owner += window->windowHandle() == parent && centred ? window->objectName() : "";
        const bool usable = window->isVisible() && window->isEnabled() && window != status &&
                            (window != W().assistant || ShownPage()->isEnabled());
        step.usable << (usable ? NameOf(window) : "");
    }
    step.usable.removeAll(QString());
    step.shown = W().frmConfigAdv->isVisible() ? "frmConfigAdv" : NameOf(W().assistant);
    const QCursor* cursor = QApplication::overrideCursor();
    step.busy = cursor && cursor->shape() == Qt::WaitCursor && status->isVisible();
    step.closed = run.endsWith(".exe") &&
                  (status->close() || W().assistant->close() || W().frmConfigAdv->close());
    WaitLog::steps << step;
}

void LoggingWait(int milliseconds) {
    Fixture::waited += milliseconds;
    Log(QString::number(milliseconds) + " ms");
    WaitLog::waits << QStringLiteral("%1|%2|%3")
                          .arg(milliseconds)
                          .arg(WaitLog::steps.last().message)
                          .arg(WaitLog::steps.last().bar);
}

}  // namespace

void WaitLog::Record() {
    steps.clear();
    waits.clear();
    InstallWait(LoggingWait);
    ObserveToolRuns(Log);
}

char* WaitLog::toString(const WaitLog::Step& s) {
    return QTest::toString(QStringLiteral("%1 at %2 \"%3\" over %4, on %5%6, usable: %7%8")
                               .arg(s.run)
                               .arg(s.bar)
                               .arg(s.message, s.owner, s.shown, s.busy ? " busy" : "",
                                    s.usable.join(' '), s.closed ? ", closed" : ""));
}
