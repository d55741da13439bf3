#pragma once

#include <QHash>
#include <QWidget>
#include <functional>

#include "ui_frmConfigAdv.h"

// Advanced configuration window: every parameter of one node on panels chosen
// by a tab strip, with the raw parameter list at the left.
class frmConfigAdv : public QWidget {
    Q_OBJECT

public:
    explicit frmConfigAdv(QWidget* parent = nullptr);
    ~frmConfigAdv() override;

    // Elements of the control arrays; nullptr outside an array's range.
    QWidget* picFrame(int i) const;      // panels 1 to 10
    QWidget* picCriterion(int i) const;  // criterion panels 1 and 2
    QLabel* lblSecurity(int i) const;    // security labels 0 to 8
    QLineEdit* txtQoSMap(int k) const;   // QoS priority map entries 0 to 7
    QLabel* lblQoSPrec(int k) const;     // their labels 0 to 7

    Ui::frmConfigAdv ui;

    // Restarts the selected node and waits for it. The fixed-IP update and the
    // firmware loaders run it too once they have changed the node.
    void cmdReset_Click();

    // Runs the handler whenever the control loses the input focus to another
    // control of the program (not when another program takes the focus).
    void OnLostFocus(QWidget* control, std::function<void()> handler);

    // Reads every parameter of the selected node, with the calling page
    // disabled meanwhile, and fills the window from the answer. False, after
    // telling the user, when the node could not be read.
    bool readNode(QWidget* caller);

    // The host's interfaces that discovery listed, for the firmware upgrade.
    void setInterfaces(const QStringList& interfaces);

    // After a change that may take the node out of the host's network: the
    // window stays for the node on the wire; for any other node it is hidden
    // and the network is discovered anew.
    void ShowAgainOrRediscover();

signals:
    // Exit or the title bar's close: back to the end page.
    void closed();
    void discoveryRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Form_Unload: closing from the title bar returns to the end page.
    void closeEvent(QCloseEvent* event) override;

private:
    void ConnectFrame();
    void ConnectNetworkPanels();
    void ConnectSecurityPanel();

    // Window frame.
    void Form_Load();
    void tabConfig_Click();
    void tabCriterion_Click();
    void cmdRefresh_Click();
    void cmdExit_Click();
    void cboInterface_Click();
    void cmdFactoryReset_Click();

    // Network, MAC, PHY and multicast panels.
    void cboIpConfig_Click();
    void cmdUpdateFixedIp_Click();
    void cmdUpdateMacConf_Click();
    void cmdUpdatePhyConf_Click();
    void CmdUpdateIGMP_Click();

    // Security panel.
    void cboEncryptType_Click();
    void cmdUpEncryption_Click();
    void cmdUpPw_Click();
    void cmdUpKey_Click();
    void cmdUpId_Click();
    void cmdUpdAlias_Click();
    void txtConfPassword_Change();
    void txtConfirmPw_Change();
    void txtEncrypKey_Change();
    void txtConfirmKey_Change();
    void txtNetId_Change();
    void DisablePasswordButtonWhenEmpty();

    QHash<QObject*, std::function<void()>> lostFocus_;
};

// The advanced window created at start-up.
frmConfigAdv* AdvancedWindow();
