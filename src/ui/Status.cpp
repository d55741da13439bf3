#include "Status.h"

#include <QApplication>
#include <QScreen>
#include <QWindow>

#include "app/Application.h"
#include "app/Seams.h"
#include "frmErrorShort.h"
#include "frmMessage.h"
#include "lang/Catalogue.h"

void CentreOn(QWidget* dialog, QWidget* owner) {
    dialog->setWindowFlags((dialog->windowFlags() | Qt::CustomizeWindowHint) &
                           ~(Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    const QWidget* anchor = owner ? owner->window() : QApplication::activeWindow();
    dialog->adjustSize();
    QRect frame = dialog->frameGeometry();
    if (anchor && anchor != dialog && anchor->isVisible()) {
        frame.moveCenter(anchor->frameGeometry().center());
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        frame.moveCenter(screen->availableGeometry().center());
    }
    dialog->move(frame.topLeft());
}

void ShowStatus(const QString& message, QWidget* owner) {
    frmMessage* w = frmMessage::instance();
    w->setWindowTitle(GetText(QStringLiteral("frmMessage")));
    w->setMessage(message);
    w->setBarValue(0);
    // Owned by the calling window: kept above it without being modal.
    w->winId();
    w->windowHandle()->setTransientParent(owner ? owner->window()->windowHandle() : nullptr);
    CentreOn(w, owner);
    w->show();
}

void SetProgress(int k, int n) {
    SetBarValue(frmMessage::instance()->barMaximum() * k / n);
}

void SetProgressFull() {
    SetBarValue(frmMessage::instance()->barMaximum());
}

void SetBarValue(int value) {
    frmMessage::instance()->setBarValue(value);
}

void SetStatusMessage(const QString& message) {
    frmMessage::instance()->setMessage(message);
}

void HideStatus() {
    frmMessage::instance()->hide();
}

QString UpgradeErrorHelpText(qint16 errorCode) {
    if (errorCode < 1 || errorCode > 9) {
        return QString();
    }
    return Session().errTextCode[errorCode];
}

void ShowUpgradeError(QWidget* owner, const QString& title, const QString& shortText,
                      qint16 errorCode) {
    // The previous dialog was discarded by its Ok button: every use starts anew.
    delete frmErrorShort::current();
    auto* dialog = new frmErrorShort(owner);
    dialog->setCaptions(GetText(QStringLiteral("cmdHelp")), GetText(QStringLiteral("cmdOk")));
    dialog->setError(title, shortText, errorCode);
    QObject::connect(dialog, &frmErrorShort::helpRequested, dialog, [errorCode] {
        MsgBox(UpgradeErrorHelpText(errorCode), MsgIcon::Information);
    });
    CentreOn(dialog, owner);
    TheDialogs().execModal(dialog);
}
