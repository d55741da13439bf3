#include "frmAskPw.h"

frmAskPw::frmAskPw(QWidget* parent) : QDialog(parent) {
    ui.setupUi(this);
    connect(ui.txtAskPw, &QLineEdit::textChanged, this, &frmAskPw::txtAskPw_Change);
    connect(ui.cmdOk, &QPushButton::clicked, this, &frmAskPw::cmdOk_Click);
    connect(ui.cmdReturn, &QPushButton::clicked, this, &frmAskPw::cmdReturn_Click);
}

void frmAskPw::reject() {
    ui.txtAskPw->clear();
    ui.txtAskPw->setFocus();
    QDialog::reject();
}

void frmAskPw::txtAskPw_Change(const QString& text) {
    ui.cmdOk->setEnabled(!text.isEmpty());
}

void frmAskPw::cmdOk_Click() {
    accept();
}

void frmAskPw::cmdReturn_Click() {
    reject();
}
