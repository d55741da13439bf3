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

namespace {

void Log(const QString& run) {
    QWidget* status = W().frmMessage;
    WaitLog::Step s;
    s.run = run;
    s.bar = Ctl<QProgressBar>(status, "barMessage")->value();
    s.message = Ctl<QLabel>(status, "lblMessage")->text();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        const QPoint offset = status->frameGeometry().center() - window->frameGeometry().center();
        if (window->windowHandle() == status->windowHandle()->transientParent() &&
            offset.manhattanLength() <= 2) {
            s.owner = window->objectName();
        }
        // A page takes input while it and the assistant window holding it are enabled.
        const QWidget* face = window == W().assistant ? ShownPage() : window;
        if (face && face != status && window->isVisible() && face->isEnabled()) {
            s.usable << face->objectName();
        }
    }
    const QWidget* shown = W().frmConfigAdv->isVisible() ? W().frmConfigAdv : ShownPage();
    s.shown = shown ? shown->objectName() : "";
    const QCursor* cursor = QApplication::overrideCursor();
    s.busy = cursor && cursor->shape() == Qt::WaitCursor && status->isVisible();
    // While a tool runs the user could try to close any window.
    s.closed = run.endsWith(".exe") &&
               (status->close() || W().assistant->close() || W().frmConfigAdv->close());
    WaitLog::steps << s;
}

void LoggingWait(int milliseconds) {
    Fixture::pass(milliseconds);
    Log(QString::number(milliseconds) + " ms");
}

}  // namespace

void WaitLog::Record() {
    steps.clear();
    InstallWait(LoggingWait);
    ObserveToolRuns(Log);
}

char* WaitLog::toString(const Step& s) {
    return QTest::toString(QStringLiteral("%1 at %2 \"%3\" over %4 on %5%6, usable: %7%8")
                               .arg(s.run)
                               .arg(s.bar)
                               .arg(s.message, s.owner, s.shown, s.busy ? ", busy" : "",
                                    s.usable.join(' '), s.closed ? ", closed" : ""));
}
