#include "frmMessage.h"

#include <QCloseEvent>

#include "Artwork.h"
#include "app/Application.h"
#include "ui_frmMessage.h"

namespace {
frmMessage* gInstance = nullptr;
}

frmMessage::frmMessage(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowDoesNotAcceptFocus),
      ui(new Ui::frmMessage),
      timMessage(this) {
    ui->setupUi(this);
    SetArtwork(ui->Picture1, QStringLiteral("busy"));
    SetArtwork(ui->Status, QStringLiteral("adapter"));
    timMessage.setObjectName(QStringLiteral("timMessage"));
    // The window it reports on keeps the keyboard focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    gInstance = this;
}

frmMessage::~frmMessage() {
    if (gInstance == this) {
        gInstance = nullptr;
    }
}

frmMessage* frmMessage::instance() {
    Q_ASSERT(gInstance);
    return gInstance;
}

void frmMessage::setMessage(const QString& message) {
    ui->lblMessage->setText(message);
}

// The bar would repaint itself at once on every step; the steps of an
// operation come faster than a paint, so the bar is painted by the event loop
// that runs while a tool works or the program waits.
void frmMessage::setBarValue(int value) {
    ui->barMessage->setUpdatesEnabled(false);
    ui->barMessage->setValue(value);
    ui->barMessage->setUpdatesEnabled(true);
}

int frmMessage::barMaximum() const {
    return ui->barMessage->maximum();
}

void frmMessage::closeEvent(QCloseEvent* event) {
    if (App().exiting) {
        event->accept();
    } else {
        event->ignore();
    }
}
