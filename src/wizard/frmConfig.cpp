#include "frmConfig.h"

#include <QCloseEvent>

#include "app/Application.h"
#include "app/Controls.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "discovery/Alias.h"
#include "discovery/Discovery.h"
#include "ui/Status.h"

frmConfig::frmConfig(QWidget* parent) : QWidget(parent) {
    ui.setupUi(this);
    connect(ui.cmdSave, &QPushButton::clicked, this, &frmConfig::cmdSave_Click);
    connect(ui.cmdReturn, &QPushButton::clicked, this, &frmConfig::cmdReturn_Click);
    connect(ui.cmdExit, &QPushButton::clicked, this, &frmConfig::cmdExit_Click);
    connect(ui.txtId, &QLineEdit::textChanged, this, &frmConfig::txtId_Change);
    connect(ui.txtPw1, &QLineEdit::textChanged, this, &frmConfig::txtPw1_Change);
}

void frmConfig::closeEvent(QCloseEvent* event) {
    event->accept();
    ExitApplication();
}

bool NetworkSettingsChanged(const QString& networkId, const QString& key) {
    const bool idChanged = ReadResponseValue(QStringLiteral("NET_ID_STR")) != networkId;
    const bool keyChanged = ReadResponseValue(QStringLiteral("ENCRYPT_KEY_STR")) != key;
    return idChanged || keyChanged;
}

bool frmConfig::WriteBasicConfigRequest() {
    QStringList lines = PostHeader();
    lines << QStringLiteral("NET_ID_STR=") + ui.txtId->text()
          << QStringLiteral("ENCRYPT_KEY_STR=") + ui.txtKey->text();
    if (passwordChanged && !ui.txtPw2->text().isEmpty()) {
        lines << QStringLiteral("NEWPASSWORD=") + ui.txtPw2->text();
    }
    const QString type = ui.optAP->isChecked()    ? QStringLiteral("AP")
                         : ui.optEnd->isChecked() ? QStringLiteral("EP")
                                                  : QString();
    lines << QStringLiteral("NODE_TYPE=") + type;
    return WriteRequest(Session().PostRequestFile, lines);
}

void frmConfig::cmdSave_Click() {
    SessionState& s = Session();
    if (ui.txtPw1->text() != ui.txtPw2->text()) {
        MsgBox(s.errPwMistake, MsgIcon::Exclamation);
        ui.txtPw1->clear();
        ui.txtPw2->clear();
        ui.txtPw1->setFocus();
        ui.txtPw2->setEnabled(false);
        return;
    }
    if (!ui.txtPw1->text().isEmpty()) {
        passwordChanged = true;
    }
    setEnabled(false);
    ShowStatus(s.lblSave, this);
    const bool written = SaveAlias(s.SelectedMac, ui.txtAlias->text()) && WriteBasicConfigRequest();
    if (!written) {
        HideStatus();
        setEnabled(true);
        return;
    }
    SetProgress(1, 3);
    const bool changed = NetworkSettingsChanged(ui.txtId->text(), ui.txtKey->text());
    RunClient(s.PostRequestFile);
    SetProgress(2, 3);
    const bool saved = ResponseStartsWith(QStringLiteral("0"));
    // The node applies its new settings before it answers again.
    Wait(6000);
    SetProgressFull();
    HideStatus();
    setEnabled(true);
    const bool networkMoved = !saved && changed && ResponseStartsWith(QStringLiteral("3"));
    if (saved || networkMoved) {
        hide();
        App().windows.frmEnd->show();
        if (s.SelectedMac == s.LocalMac && passwordChanged) {
            s.NodePassword = ui.txtPw2->text();
            if (saved) {
                s.LocalPassword = s.NodePassword;
            }
        }
    } else {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errSaving);
    }
    ui.txtPw1->clear();
    ui.txtPw2->clear();
}

void frmConfig::cmdReturn_Click() {
    hide();
    if (passwordChanged) {
        DiscoverNodes();
        return;
    }
    QWidget* connectPage = App().windows.frmConnect;
    Ctl(connectPage, "cmdConfigMac")->setEnabled(false);
    connectPage->show();
}

void frmConfig::cmdExit_Click() {
    ExitApplication();
}

void frmConfig::txtId_Change(const QString& text) {
    const bool hasId = !text.isEmpty();
    ui.txtKey->setEnabled(hasId);
    ui.optAP->setEnabled(hasId);
    ui.optEnd->setEnabled(hasId);
    if (!hasId) {
        ui.txtKey->clear();
    }
}

void frmConfig::txtPw1_Change(const QString& text) {
    if (!text.isEmpty()) {
        ui.txtPw2->setEnabled(true);
    }
}
