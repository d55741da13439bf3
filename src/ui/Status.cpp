#include "Status.h"

#include <QWindow>

#include "app/Application.h"
#include "app/Seams.h"
#include "frmErrorShort.h"
#include "frmMessage.h"
#include "lang/Catalogue.h"

static frmMessage* StatusWindow() {
    return static_cast<frmMessage*>(App().windows.frmMessage);
}

void ShowStatus(const QString& message, QWidget* owner) {
    frmMessage* w = StatusWindow();
    w->setWindowTitle(GetText(QStringLiteral("frmMessage")));
    w->ui.lblMessage->setText(message);
    w->ui.barMessage->setValue(w->ui.barMessage->minimum());
    // Owned by the calling window: kept above it without being modal.
    w->winId();
    w->windowHandle()->setTransientParent(owner ? owner->window()->windowHandle() : nullptr);
    w->show();
}

// The bar would repaint itself at once on every step; the steps of an
// operation come faster than a paint, so the bar is painted by the event loop
// that runs while a tool works or the program waits.
static void SetBarValue(int value) {
    QProgressBar* bar = StatusWindow()->ui.barMessage;
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    bar->setUpdatesEnabled(true);
}

void SetProgress(int k, int n) {
    SetBarValue(StatusWindow()->ui.barMessage->maximum() * k / n);
}

void SetProgressFull() {
    SetBarValue(StatusWindow()->ui.barMessage->maximum());
}

void SetStatusMessage(const QString& message) {
    StatusWindow()->ui.lblMessage->setText(message);
}

void SetHourglass(bool busy) {
    frmMessage* w = StatusWindow();
    if (busy) {
        w->setCursor(Qt::WaitCursor);
    } else {
        w->unsetCursor();
    }
}

void HideStatus() {
    StatusWindow()->hide();
}

QString UpgradeErrorHelpText(qint16 errorCode) {
    if (errorCode < 1 || errorCode > 9) {
        return QString();
    }
    return Session().errTextCode[errorCode];
}

void ShowUpgradeError(QWidget* owner, const QString& title, const QString& shortText,
                      qint16 errorCode) {
    Windows& windows = App().windows;
    // The previous dialog was discarded by its Ok button: every use starts anew.
    delete windows.frmErrorShort;
    auto* dialog = new frmErrorShort(owner);
    windows.frmErrorShort = dialog;
    dialog->ui.cmdHelp->setText(GetText(QStringLiteral("cmdHelp")));
    dialog->ui.cmdOk->setText(GetText(QStringLiteral("cmdOk")));
    dialog->setWindowTitle(title);
    dialog->ui.lblShort->setText(shortText);
    dialog->ErrorCode = errorCode;
    QObject::connect(dialog->ui.cmdHelp, &QPushButton::clicked, dialog, [dialog] {
        MsgBox(UpgradeErrorHelpText(dialog->ErrorCode), MsgIcon::Information);
    });
    QObject::connect(dialog->ui.cmdOk, &QPushButton::clicked, dialog, &QDialog::accept);
    TheDialogs().execModal(dialog);
}
