// Firmware frames of the advanced window: a layer-2 upgrade served from this
// computer, and an update the node fetches from an FTP or TFTP server.
#include "Loading.h"
#include "app/Application.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/Layer2Upgrade.h"
#include "frmConfigAdv.h"
#include "ui_frmConfigAdv.h"

void frmConfigAdv::ConnectFirmwareFrames() {
    connect(ui->cmdChooseFile, &QPushButton::clicked, this, &frmConfigAdv::cmdChooseFile_Click);
    connect(ui->txtFwFile, &QLineEdit::textChanged, this, &frmConfigAdv::txtFwFile_Change);
    connect(ui->cboInterface, &QComboBox::currentIndexChanged, this,
            &frmConfigAdv::cboInterface_Click);
    connect(ui->cmdFwUpgrade, &QPushButton::clicked, this, &frmConfigAdv::cmdFwUpgrade_Click);
    connect(ui->cboUpgProt, &QComboBox::currentIndexChanged, this, &frmConfigAdv::cboUpgProt_Click);
    // cboUpdSect_Click, txtServerIP_Change, txtFtpUser_Change,
    // txtFtpPass_Change and txtFileName_Change: one rule for the button.
    connect(ui->cboUpdSect, &QComboBox::currentIndexChanged, this,
            &frmConfigAdv::EnableUpdateWhenComplete);
    for (QLineEdit* box : {ui->txtServerIP, ui->txtFtpUser, ui->txtFtpPass, ui->txtFileName}) {
        connect(box, &QLineEdit::textChanged, this, &frmConfigAdv::EnableUpdateWhenComplete);
    }
    OnLostFocus(ui->txtServerIP, [this] { txtServerIP_LostFocus(); });
    connect(ui->cmdFileName, &QPushButton::clicked, this, &frmConfigAdv::cmdFileName_Click);
    connect(ui->cmdFwUpdate, &QPushButton::clicked, this, &frmConfigAdv::cmdFwUpdate_Click);
}

void frmConfigAdv::LoadFirmwareUpdate() {
    LoadOptions(ui->cboUpgProt, "FLUP_PROTOCOL_OPTIONS", "FLUP_PROTOCOL");
    LoadText(ui->txtServerIP, "FLUP_IP_ADDR");
    LoadText(ui->txtFtpUser, "FLUP_LOGIN");
    LoadText(ui->txtFtpPass, "FLUP_PASSWORD");
    LoadText(ui->txtFileName, "FLUP_FILENAME");
    LoadOptions(ui->cboUpdSect, "FLUP_SECTION_OPTIONS", "FLUP_SECTION");
}

void frmConfigAdv::cmdChooseFile_Click() {
    ui->txtFwFile->setText(ChooseFirmwareFile(this));
}

void frmConfigAdv::txtFwFile_Change() {
    // Only ever enables: the end of every upgrade disables it again.
    if (!ui->txtFwFile->text().isEmpty()) {
        ui->cmdFwUpgrade->setEnabled(true);
    }
}

void frmConfigAdv::cboInterface_Click() {
    // Only ever enables: the upgrade itself decides when to disable it.
    if (ui->cboInterface->currentIndex() >= 0 && !ui->txtFwFile->text().isEmpty()) {
        ui->cmdFwUpgrade->setEnabled(true);
    }
}

void frmConfigAdv::cmdFwUpgrade_Click() {
    UpgradeSelectedNode(this, ui->txtFwFile->text(), [this] { cmdReset_Click(); });
    // Every run ends the same way: the user chooses the file again next time.
    ui->txtFwFile->clear();
    ui->cboInterface->clearEditText();
    ui->cboInterface->clear();
    ui->cmdFwUpgrade->setEnabled(false);
}

void frmConfigAdv::cboUpgProt_Click() {
    const bool login = TakesLogin(ui->cboUpgProt->currentText());
    ui->txtFtpUser->setEnabled(login);
    ui->txtFtpPass->setEnabled(login);
    EnableUpdateWhenComplete();
}

void frmConfigAdv::EnableUpdateWhenComplete() {
    ui->cmdFwUpdate->setEnabled(FwUpdateFieldsComplete(
        {ui->cboUpgProt->currentText(), ui->txtServerIP->text(), ui->txtFtpUser->text(),
         ui->txtFtpPass->text(), ui->txtFileName->text(), ui->cboUpdSect->currentText()}));
}

void frmConfigAdv::txtServerIP_LostFocus() {
    CheckIpAddressField(ui->txtServerIP);
}

void frmConfigAdv::cmdFileName_Click() {
    // A cancelled dialog gives no path, and so no name.
    ui->txtFileName->setText(BareFileName(ChooseFirmwareFile(this)));
}

void frmConfigAdv::cmdFwUpdate_Click() {
    UpdateSelectedNode(
        this,
        {ui->cboUpgProt->currentText(), ui->txtServerIP->text(), ui->txtFtpUser->text(),
         ui->txtFtpPass->text(), ui->txtFileName->text(), ui->cboUpdSect->currentText()},
        [this] { cmdReset_Click(); });
}
