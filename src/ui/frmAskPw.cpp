#include "frmAskPw.h"

#include <QApplication>

#include "Status.h"
#include "app/Seams.h"
#include "ui_frmAskPw.h"

namespace {
frmAskPw* gPrompt = nullptr;
}

frmAskPw::frmAskPw(QWidget* parent) : QDialog(parent), ui(new Ui::frmAskPw) {
    ui->setupUi(this);
    connect(ui->txtAskPw, &QLineEdit::textChanged, this, &frmAskPw::txtAskPw_Change);
    connect(ui->cmdOk, &QPushButton::clicked, this, &frmAskPw::cmdOk_Click);
    connect(ui->cmdReturn, &QPushButton::clicked, this, &frmAskPw::cmdReturn_Click);
    gPrompt = this;
}

frmAskPw::~frmAskPw() {
    if (gPrompt == this) {
        gPrompt = nullptr;
    }
}

QString frmAskPw::Ask(const QString& label) {
    Q_ASSERT(gPrompt);
    gPrompt->ui->txtAskPw->clear();
    gPrompt->ui->lblAskPw->setText(label);
    CentreOn(gPrompt, QApplication::activeWindow());
    TheDialogs().execModal(gPrompt);
    return gPrompt->ui->txtAskPw->text();
}

void frmAskPw::reject() {
    ui->txtAskPw->clear();
    ui->txtAskPw->setFocus();
    QDialog::reject();
}

void frmAskPw::txtAskPw_Change(const QString& text) {
    ui->cmdOk->setEnabled(!text.isEmpty());
}

void frmAskPw::cmdOk_Click() {
    accept();
}

void frmAskPw::cmdReturn_Click() {
    reject();
}
