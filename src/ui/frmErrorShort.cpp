#include "frmErrorShort.h"

#include <QPointer>

#include "Artwork.h"
#include "ui_frmErrorShort.h"

namespace {
QPointer<frmErrorShort> gCurrent;
}

frmErrorShort::frmErrorShort(QWidget* parent) : QDialog(parent), ui(new Ui::frmErrorShort) {
    ui->setupUi(this);
    SetArtwork(ui->Picture1, QStringLiteral("warning"));
    connect(ui->cmdHelp, &QPushButton::clicked, this, &frmErrorShort::helpRequested);
    connect(ui->cmdOk, &QPushButton::clicked, this, &QDialog::accept);
    gCurrent = this;
}

frmErrorShort::~frmErrorShort() = default;

frmErrorShort* frmErrorShort::current() {
    return gCurrent;
}

void frmErrorShort::setCaptions(const QString& help, const QString& ok) {
    ui->cmdHelp->setText(help);
    ui->cmdOk->setText(ok);
}

void frmErrorShort::setError(const QString& title, const QString& shortText, qint16 errorCode) {
    setWindowTitle(title);
    ui->lblShort->setText(shortText);
    errorCode_ = errorCode;
}
