#include "frmBegin.h"

#include "ui/Artwork.h"
#include "ui_frmBegin.h"

frmBegin::frmBegin(QWidget* parent) : QWidget(parent), ui(new Ui::frmBegin) {
    ui->setupUi(this);
    SetArtwork(ui->Picture1, QStringLiteral("welcome"));
    SetArtwork(ui->Picture2, QStringLiteral("network"));
    connect(ui->cmdNext, &QPushButton::clicked, this, &frmBegin::nextRequested);
    connect(ui->cmdEnd, &QPushButton::clicked, this, &frmBegin::exitRequested);
}

frmBegin::~frmBegin() = default;

void frmBegin::setVersionText(const QString& text) {
    ui->lblVersionSw->setText(text);
}
