#include "frmConfig.h"

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "discovery/Alias.h"
#include "ui/BusyOperation.h"
#include "ui/Guide.h"
#include "ui/Status.h"
#include "ui_frmConfig.h"

frmConfig::frmConfig(QWidget* parent) : QWidget(parent), ui(new Ui::frmConfig) {
    ui->setupUi(this);
    connect(ui->cmdSave, &QPushButton::clicked, this, &frmConfig::cmdSave_Click);
    connect(ui->cmdReturn, &QPushButton::clicked, this, &frmConfig::cmdReturn_Click);
    connect(ui->cmdExit, &QPushButton::clicked, this, &frmConfig::exitRequested);
    connect(ui->cmdHelp, &QPushButton::clicked, this,
            [] { OpenGuide(QStringLiteral("basic-configuration")); });
    connect(ui->txtId, &QLineEdit::textChanged, this, &frmConfig::txtId_Change);
    connect(ui->txtPw1, &QLineEdit::textChanged, this, &frmConfig::txtPw1_Change);
}

frmConfig::~frmConfig() = default;

void frmConfig::FillFromNodeRead() {
    ui->lblVersion2->setText(ReadResponseValue(QStringLiteral("VER")));
    ui->txtId->setText(ReadResponseValue(QStringLiteral("NET_ID_STR")));
    ui->txtKey->setText(ReadResponseValue(QStringLiteral("ENCRYPT_KEY_STR")));
    ui->txtAlias->setText(LookupAlias(Session().SelectedMac));
    const QString type = ReadResponseValue(QStringLiteral("NODE_TYPE"));
    // Radio buttons only clear together with their exclusivity lifted.
    ui->optAP->setAutoExclusive(false);
    ui->optEnd->setAutoExclusive(false);
    ui->optAP->setChecked(type == QLatin1String("AP"));
    ui->optEnd->setChecked(type == QLatin1String("EP"));
    ui->optAP->setAutoExclusive(true);
    ui->optEnd->setAutoExclusive(true);
    const bool hasId = !ui->txtId->text().isEmpty();
    ui->txtKey->setEnabled(hasId);
    ui->optAP->setEnabled(hasId);
    ui->optEnd->setEnabled(hasId);
    ui->txtPw1->clear();
    ui->txtPw2->clear();
    ui->txtId->setFocus();
}

bool NetworkSettingsChanged(const QString& networkId, const QString& key) {
    const bool idChanged = ReadResponseValue(QStringLiteral("NET_ID_STR")) != networkId;
    const bool keyChanged = ReadResponseValue(QStringLiteral("ENCRYPT_KEY_STR")) != key;
    return idChanged || keyChanged;
}

bool frmConfig::WriteBasicConfigRequest() {
    QStringList lines = PostHeader();
    lines << QStringLiteral("NET_ID_STR=") + ui->txtId->text()
          << QStringLiteral("ENCRYPT_KEY_STR=") + ui->txtKey->text();
    if (passwordChanged_ && !ui->txtPw2->text().isEmpty()) {
        lines << QStringLiteral("NEWPASSWORD=") + ui->txtPw2->text();
    }
    const QString type = ui->optAP->isChecked()    ? QStringLiteral("AP")
                         : ui->optEnd->isChecked() ? QStringLiteral("EP")
                                                   : QString();
    lines << QStringLiteral("NODE_TYPE=") + type;
    return WriteRequest(Session().PostRequestFile, lines);
}

void frmConfig::cmdSave_Click() {
    SessionState& s = Session();
    if (ui->txtPw1->text() != ui->txtPw2->text()) {
        MsgBox(s.errPwMistake, MsgIcon::Exclamation);
        ui->txtPw1->clear();
        ui->txtPw2->clear();
        ui->txtPw1->setFocus();
        ui->txtPw2->setEnabled(false);
        return;
    }
    if (!ui->txtPw1->text().isEmpty()) {
        passwordChanged_ = true;
    }
    bool accepted = false;
    bool changed = false;
    {
        BusyOperation operation(this, s.lblSave);
        if (!SaveAlias(s.SelectedMac, ui->txtAlias->text()) || !WriteBasicConfigRequest()) {
            return;
        }
        SetProgress(1, 3);
        changed = NetworkSettingsChanged(ui->txtId->text(), ui->txtKey->text());
        RunClient(s.PostRequestFile);
        SetProgress(2, 3);
        accepted = ResponseStartsWith(QStringLiteral("0"));
        // The node applies its new settings before it answers again.
        Wait(6000);
    }
    const bool networkMoved = !accepted && changed && ResponseStartsWith(QStringLiteral("3"));
    if (accepted || networkMoved) {
        if (s.SelectedMac == s.LocalMac && passwordChanged_) {
            s.NodePassword = ui->txtPw2->text();
            if (accepted) {
                s.LocalPassword = s.NodePassword;
            }
        }
        emit saved();
    } else {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errSaving);
    }
    ui->txtPw1->clear();
    ui->txtPw2->clear();
}

void frmConfig::cmdReturn_Click() {
    if (passwordChanged_) {
        emit discoveryRequested();
    } else {
        emit backRequested();
    }
}

void frmConfig::txtId_Change(const QString& text) {
    const bool hasId = !text.isEmpty();
    ui->txtKey->setEnabled(hasId);
    ui->optAP->setEnabled(hasId);
    ui->optEnd->setEnabled(hasId);
    if (!hasId) {
        ui->txtKey->clear();
    }
}

void frmConfig::txtPw1_Change(const QString& text) {
    if (!text.isEmpty()) {
        ui->txtPw2->setEnabled(true);
    }
}
