#include "Firmware.h"

#include "FirmwareUpdate.h"
#include "Layer2Upgrade.h"
#include "advanced/frmConfigAdv.h"

namespace {

void ConnectUpgradeFrame(frmConfigAdv* w) {
    Ui::frmConfigAdv& ui = w->ui;
    QObject::connect(ui.cmdChooseFile, &QPushButton::clicked, w, cmdChooseFile_Click);
    QObject::connect(ui.txtFwFile, &QLineEdit::textChanged, w, txtFwFile_Change);
    QObject::connect(ui.cmdFwUpgrade, &QPushButton::clicked, w, cmdFwUpgrade_Click);
}

void ConnectUpdateFrame(frmConfigAdv* w) {
    Ui::frmConfigAdv& ui = w->ui;
    QObject::connect(ui.cboUpgProt, &QComboBox::currentIndexChanged, w, cboUpgProt_Click);
    QObject::connect(ui.cboUpdSect, &QComboBox::currentIndexChanged, w, cboUpdSect_Click);
    QObject::connect(ui.txtServerIP, &QLineEdit::textChanged, w, txtServerIP_Change);
    QObject::connect(ui.txtFtpUser, &QLineEdit::textChanged, w, txtFtpUser_Change);
    QObject::connect(ui.txtFtpPass, &QLineEdit::textChanged, w, txtFtpPass_Change);
    QObject::connect(ui.txtFileName, &QLineEdit::textChanged, w, txtFileName_Change);
    w->OnLostFocus(ui.txtServerIP, txtServerIP_LostFocus);
    QObject::connect(ui.cmdFileName, &QPushButton::clicked, w, cmdFileName_Click);
    QObject::connect(ui.cmdFwUpdate, &QPushButton::clicked, w, cmdFwUpdate_Click);
}

}  // namespace

void ConnectFirmware() {
    frmConfigAdv* window = AdvancedWindow();
    ConnectUpgradeFrame(window);
    ConnectUpdateFrame(window);
}
