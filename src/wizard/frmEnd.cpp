#include "frmEnd.h"

#include "ui/Artwork.h"
#include "ui/Guide.h"
#include "ui_frmEnd.h"

frmEnd::frmEnd(QWidget* parent) : QWidget(parent), ui(new Ui::frmEnd) {
    ui->setupUi(this);
    SetArtwork(ui->Picture1, QStringLiteral("success"));
    SetArtwork(ui->Picture2, QStringLiteral("network"));
    SetArtwork(ui->imgLogo2, QStringLiteral("done"));
    connect(ui->cmdFinish, &QPushButton::clicked, this, &frmEnd::finishRequested);
    connect(ui->cmdAdvanced, &QPushButton::clicked, this, &frmEnd::advancedRequested);
    connect(ui->cmdReturn, &QPushButton::clicked, this, &frmEnd::backRequested);
    connect(ui->cmdSave, &QPushButton::clicked, this, &frmEnd::discoveryRequested);
    connect(ui->cmdHelp, &QPushButton::clicked, this,
            [] { OpenGuide(QStringLiteral("end-page")); });
}

frmEnd::~frmEnd() = default;
