// Network, MAC, PHY and multicast panels of the advanced window: one POST per
// panel; the IP settings take effect when the node restarts.
#include "Loading.h"
#include "frmConfigAdv.h"
#include "node/Groups.h"
#include "ui_frmConfigAdv.h"

void frmConfigAdv::ConnectNetworkPanels() {
    connect(ui->cboIpConfig, &QComboBox::currentIndexChanged, this,
            &frmConfigAdv::cboIpConfig_Click);
    connect(ui->cmdUpdateFixedIp, &QPushButton::clicked, this,
            &frmConfigAdv::cmdUpdateFixedIp_Click);
    connect(ui->cmdUpdateMacConf, &QPushButton::clicked, this,
            &frmConfigAdv::cmdUpdateMacConf_Click);
    connect(ui->cmdUpdatePhyConf, &QPushButton::clicked, this,
            &frmConfigAdv::cmdUpdatePhyConf_Click);
    connect(ui->CmdUpdateIGMP, &QPushButton::clicked, this, &frmConfigAdv::CmdUpdateIGMP_Click);
}

void frmConfigAdv::LoadNetworkPanels() {
    LoadText(ui->txtIpAddress, "IP_ADDR");
    LoadOptions(ui->cboIpConfig, "IP_CONFIG_OPTIONS", "IP_CONFIG");
    LoadText(ui->txtSubnetMask, "NETMASK");
    LoadText(ui->txtDefGateway, "GATEWAY");
    LoadOptions(ui->cboMacType, "MAC_TYPE_OPTIONS", "MAC_TYPE");
    LoadOptions(ui->cboNodeType, "NODE_TYPE_OPTIONS", "NODE_TYPE");
    LoadOptions(ui->cboNotches, "NOTCHES_OPTIONS", "NOTCHES");
    LoadOptions(ui->cboDistControl, "DISTORTION_CONTROL_OPTIONS", "DISTORTION_CONTROL");
    LoadOptions(ui->IGMP, "MCAST_IGMP_OPTIONS", "MCAST_IGMP");
}

void frmConfigAdv::cboIpConfig_Click() {
    // The node lists the automatic mode first and the fixed one second.
    const int position = ui->cboIpConfig->currentIndex();
    if (position != 0 && position != 1) {
        return;
    }
    for (QLineEdit* box : {ui->txtIpAddress, ui->txtSubnetMask, ui->txtDefGateway}) {
        box->setEnabled(position == 1);
    }
}

void frmConfigAdv::cmdUpdateFixedIp_Click() {
    if (SendSettings(AddressLines(ui->cboIpConfig->currentText(), ui->txtIpAddress->text(),
                                  ui->txtSubnetMask->text(), ui->txtDefGateway->text()))) {
        // The node takes stored IP settings only when it starts.
        cmdReset_Click();
        RereadParameterList();
    }
}

void frmConfigAdv::cmdUpdateMacConf_Click() {
    if (SendSettings(
            EthernetLines(ui->cboMacType->currentText(), ui->cboNodeType->currentText()))) {
        RereadParameterList();
    }
}

void frmConfigAdv::cmdUpdatePhyConf_Click() {
    if (SendSettings(
            PowerLineLines(ui->cboNotches->currentText(), ui->cboDistControl->currentText()))) {
        RereadParameterList();
    }
}

void frmConfigAdv::CmdUpdateIGMP_Click() {
    if (SendSettings(MulticastLines(ui->IGMP->currentText()))) {
        RereadParameterList();
    }
}
