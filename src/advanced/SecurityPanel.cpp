// Security panel of the advanced window: encryption mode, configuration
// password, encryption key and network identifier go to the node; the alias
// stays on this computer.
#include "Loading.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "app/Values.h"
#include "channel/Response.h"
#include "discovery/Alias.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "node/Groups.h"
#include "ui_frmConfigAdv.h"

void frmConfigAdv::ConnectSecurityPanel() {
    connect(ui->cboEncryptType, &QComboBox::currentIndexChanged, this,
            &frmConfigAdv::cboEncryptType_Click);
    connect(ui->cmdUpEncryption, &QPushButton::clicked, this, &frmConfigAdv::cmdUpEncryption_Click);
    connect(ui->cmdUpPw, &QPushButton::clicked, this, &frmConfigAdv::cmdUpPw_Click);
    connect(ui->cmdUpKey, &QPushButton::clicked, this, &frmConfigAdv::cmdUpKey_Click);
    connect(ui->cmdUpId, &QPushButton::clicked, this, &frmConfigAdv::cmdUpId_Click);
    connect(ui->cmdUpdAlias, &QPushButton::clicked, this, &frmConfigAdv::cmdUpdAlias_Click);
    // A text box reports a change only when its text really differs.
    connect(ui->txtConfPassword, &QLineEdit::textChanged, this,
            &frmConfigAdv::txtConfPassword_Change);
    connect(ui->txtConfirmPw, &QLineEdit::textChanged, this, &frmConfigAdv::txtConfirmPw_Change);
    connect(ui->txtEncrypKey, &QLineEdit::textChanged, this, &frmConfigAdv::txtEncrypKey_Change);
    connect(ui->txtConfirmKey, &QLineEdit::textChanged, this, &frmConfigAdv::txtConfirmKey_Change);
    connect(ui->txtNetId, &QLineEdit::textChanged, this, &frmConfigAdv::txtNetId_Change);
}

void frmConfigAdv::LoadSecurityPanel() {
    LoadText(ui->txtEncrypKey, "ENCRYPT_KEY_STR");
    LoadText(ui->txtNetId, "NET_ID_STR");
    // Without a network identifier the node type and the key mean nothing.
    const bool hasNetworkId = !ui->txtNetId->text().isEmpty();
    ui->cboNodeType->setEnabled(hasNetworkId);
    ui->txtEncrypKey->setEnabled(hasNetworkId);
    ui->txtAlias->setText(LookupAlias(Session().SelectedMac));
    // Only the models that encrypt with AES show the encryption controls.
    LoadEncryptionSettings(GroupApplies(SettingsGroup::Encryption, Value("MODEL")) ? 0 : 1);
}

// Shows and fills the encryption controls, or, with a non-zero hide flag,
// hides them.
void frmConfigAdv::LoadEncryptionSettings(int hide) {
    for (QWidget* control :
         {static_cast<QWidget*>(ui->cboEncryptType), static_cast<QWidget*>(ui->cboAESEncryptType),
          static_cast<QWidget*>(ui->cboEncryptLength), static_cast<QWidget*>(ui->cmdUpEncryption),
          static_cast<QWidget*>(lblSecurity(6)), static_cast<QWidget*>(lblSecurity(7)),
          static_cast<QWidget*>(lblSecurity(8))}) {
        control->setVisible(hide == 0);
    }
    if (hide != 0) {
        return;
    }
    FillEntries(ui->cboEncryptType, SplitOptionList(Value("ENCRYPT_TYPE_OPTIONS")));
    FillEntries(ui->cboAESEncryptType, SplitOptionList(Value("ENCRYPT_AES_TYPE_OPTIONS")));
    FillEntries(ui->cboEncryptLength, SplitOptionList(Value("ENCRYPT_AES_LENGTH_OPTIONS")));
    // Selecting the type runs its rule, whose defaults the next two overwrite.
    ui->cboEncryptType->setCurrentIndex(FindComboIndex(Value("ENCRYPT_TYPE"), ui->cboEncryptType));
    ui->cboAESEncryptType->setCurrentIndex(
        FindComboIndex(Value("ENCRYPT_AES_TYPE"), ui->cboAESEncryptType));
    ui->cboEncryptLength->setCurrentIndex(
        FindComboIndex(Value("ENCRYPT_KEY_LENGTH"), ui->cboEncryptLength));
    ui->cboEncryptType->setEnabled(Value("AES_SUPPORT") == QLatin1String("Y"));
    const bool aes = ui->cboEncryptType->currentText() == QLatin1String("AES");
    ui->cboAESEncryptType->setEnabled(aes);
    ui->cboEncryptLength->setEnabled(aes);
}

void frmConfigAdv::cboEncryptType_Click() {
    const bool aes = ui->cboEncryptType->currentText() == QLatin1String("AES");
    ui->cboAESEncryptType->setCurrentIndex(FindComboIndex(
        aes ? QStringLiteral("ECB") : QStringLiteral("None"), ui->cboAESEncryptType));
    ui->cboEncryptLength->setCurrentIndex(
        FindComboIndex(aes ? QStringLiteral("256") : QStringLiteral("168"), ui->cboEncryptLength));
    ui->cboAESEncryptType->setEnabled(aes);
    ui->cboEncryptLength->setEnabled(aes);
}

void frmConfigAdv::cmdUpEncryption_Click() {
    const QString type = ui->cboEncryptType->currentText();
    // Encryption only works inside a named network.
    if (type != QLatin1String("None") && ui->txtNetId->text().isEmpty()) {
        MsgBox(GetText(QStringLiteral("errNoNetId")), MsgIcon::Exclamation);
        return;
    }
    const bool accepted =
        SendSettings(EncryptionLines(type, ui->cboAESEncryptType->currentText(),
                                     ui->cboEncryptLength->currentText(), ui->txtEncrypKey->text()),
                     true);
    if (accepted) {
        MsgBox(Session().errUpgradeOk, MsgIcon::Information);
    }
    ShowAgainOrRediscover(accepted);
}

void frmConfigAdv::cmdUpPw_Click() {
    SessionState& s = Session();
    const QString password = ui->txtConfirmPw->text();
    bool accepted = false;
    if (password == ui->txtConfPassword->text()) {
        accepted = SendSettings({QStringLiteral("NEWPASSWORD=") + password});
        if (accepted) {
            MsgBox(s.errUpgradeOk, MsgIcon::Information);
            s.NodePassword = password;
            if (s.SelectedMac == s.LocalMac) {
                s.LocalPassword = password;
            }
        }
    } else {
        MsgBox(s.errPwMistake, MsgIcon::Exclamation);
    }
    ui->txtConfPassword->clear();
    ui->txtConfirmPw->clear();
    ui->cmdUpPw->setEnabled(false);
    ui->txtConfPassword->setFocus();
    // Read with the new password from here on.
    if (accepted) {
        RereadParameterList();
    }
}

void frmConfigAdv::cmdUpKey_Click() {
    const SessionState& s = Session();
    bool accepted = false;
    if (ui->txtEncrypKey->text() == ui->txtConfirmKey->text()) {
        accepted = SendSettings(KeyLines(ui->txtEncrypKey->text()), true);
        if (accepted) {
            MsgBox(s.errUpgradeOk, MsgIcon::Information);
        }
    } else {
        MsgBox(s.errPwMistake, MsgIcon::Exclamation);
    }
    ui->txtConfirmKey->clear();
    ShowAgainOrRediscover(accepted);
}

void frmConfigAdv::cmdUpId_Click() {
    const bool accepted = SendSettings(NetworkIdLines(ui->txtNetId->text()), true);
    if (accepted) {
        MsgBox(Session().errUpgradeOk, MsgIcon::Information);
        ui->cboNodeType->setEnabled(!ui->txtNetId->text().isEmpty());
    }
    ShowAgainOrRediscover(accepted);
}

void frmConfigAdv::cmdUpdAlias_Click() {
    // A file that could not be written has already been reported.
    if (!SaveAlias(Session().SelectedMac, ui->txtAlias->text())) {
        return;
    }
    ShowNodeInTitle();
    MsgBox(Session().errUpgradeOk, MsgIcon::Information, ui->cmdUpdAlias->text());
}

void frmConfigAdv::txtConfPassword_Change() {
    if (!ui->txtConfPassword->text().isEmpty()) {
        ui->txtConfirmPw->setEnabled(true);
    }
    DisablePasswordButtonWhenEmpty();
}

void frmConfigAdv::txtConfirmPw_Change() {
    if (!ui->txtConfirmPw->text().isEmpty()) {
        ui->cmdUpPw->setEnabled(true);
    }
    DisablePasswordButtonWhenEmpty();
}

void frmConfigAdv::DisablePasswordButtonWhenEmpty() {
    if (ui->txtConfPassword->text().isEmpty() && ui->txtConfirmPw->text().isEmpty()) {
        ui->cmdUpPw->setEnabled(false);
    }
}

void frmConfigAdv::txtEncrypKey_Change() {
    const bool hasKey = !ui->txtEncrypKey->text().isEmpty();
    ui->txtConfirmKey->setEnabled(hasKey);
    if (!hasKey) {
        ui->txtConfirmKey->clear();
    }
}

void frmConfigAdv::txtConfirmKey_Change() {
    if (!ui->txtConfirmKey->text().isEmpty()) {
        ui->cmdUpKey->setEnabled(true);
    }
}

void frmConfigAdv::txtNetId_Change() {
    if (!ui->txtNetId->text().isEmpty()) {
        ui->txtEncrypKey->setEnabled(true);
        return;
    }
    ui->txtEncrypKey->setEnabled(false);
    ui->txtEncrypKey->clear();
    ui->txtConfirmKey->setEnabled(false);
}
