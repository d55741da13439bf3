// VLAN panel of the advanced window: mode, tag and priority, checked on the
// host and sent together.
#include "Loading.h"
#include "QosRequests.h"
#include "app/Seams.h"
#include "app/Values.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "node/Groups.h"
#include "ui_frmConfigAdv.h"

namespace {

// Tags 0, 1 and 4095 are reserved by 802.1Q.
constexpr double kLowestTag = 2;
constexpr double kHighestTag = 4094;

}  // namespace

void frmConfigAdv::ConnectVlanPanel() {
    connect(ui->cboVlanConf, &QComboBox::currentIndexChanged, this,
            &frmConfigAdv::cboVlanConf_Click);
    connect(ui->cboVlanPrio, &QComboBox::currentIndexChanged, this,
            &frmConfigAdv::cboVlanPrio_Click);
    connect(ui->txtVlanTag, &QLineEdit::textChanged, this, &frmConfigAdv::txtVlanTag_Change);
    OnLostFocus(ui->txtVlanTag, [this] { txtVlanTag_LostFocus(); });
    connect(ui->cmdUpVlan, &QPushButton::clicked, this, &frmConfigAdv::cmdUpVlan_Click);
}

void frmConfigAdv::LoadVlanPanel() {
    LoadOptions(ui->cboVlanConf, "KALDOR_VLAN_CONFIG_OPTIONS", "KALDOR_VLAN_CONFIG");
    LoadText(ui->txtVlanTag, "KALDOR_VLAN_TAG");
    LoadOptions(ui->cboVlanPrio, "KALDOR_VLAN_PRIO_OPTIONS", "KALDOR_VLAN_PRIO");
    const bool tagging = TaggingOn();
    ui->cboVlanPrio->setEnabled(tagging);
    ui->txtVlanTag->setEnabled(tagging);
    ui->cmdUpVlan->setEnabled(tagging);
}

bool frmConfigAdv::TagValid() const {
    const double tag = Val(ui->txtVlanTag->text());
    return tag >= kLowestTag && tag <= kHighestTag;
}

bool frmConfigAdv::TaggingOn() const {
    return ui->cboVlanConf->currentText() == QLatin1String("Enabled");
}

void frmConfigAdv::cboVlanConf_Click() {
    const bool on = TaggingOn();
    ui->txtVlanTag->setEnabled(on);
    ui->cboVlanPrio->setEnabled(on);
    // Switching tagging off needs no tag; any mode the panel does not know
    // cannot be sent.
    const bool off = ui->cboVlanConf->currentText() == QLatin1String("Disabled");
    ui->cmdUpVlan->setEnabled((on && TagValid()) || off);
}

void frmConfigAdv::cboVlanPrio_Click() {
    ui->cmdUpVlan->setEnabled(TagValid());
}

void frmConfigAdv::txtVlanTag_Change() {
    ui->cmdUpVlan->setEnabled(TaggingOn() && TagValid());
}

void frmConfigAdv::txtVlanTag_LostFocus() {
    if (!TagValid()) {
        MsgBox(GetText(QStringLiteral("errRange")), MsgIcon::Exclamation);
        ui->txtVlanTag->clear();
        ui->txtVlanTag->setFocus(Qt::OtherFocusReason);
        return;
    }
    ui->txtVlanTag->setText(DecimalText(Val(ui->txtVlanTag->text())));
}

void frmConfigAdv::cmdUpVlan_Click() {
    if (SendSettings(VlanLines(ui->cboVlanConf->currentText(), ui->txtVlanTag->text(),
                               ui->cboVlanPrio->currentText()))) {
        RereadParameterList();
    }
}
