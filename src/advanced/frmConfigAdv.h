#pragma once

#include <QHash>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "node/Groups.h"
#include "node/Walk.h"

class QLabel;
class frmCompare;
class QLineEdit;

namespace Ui {
class frmConfigAdv;
}

// Advanced configuration window: every parameter of one node on panels chosen
// by a tab strip, with the raw parameter list at the left. Each panel's file
// loads the panel from a read of the node and sends it back.
class frmConfigAdv : public QWidget {
    Q_OBJECT

public:
    explicit frmConfigAdv(QWidget* parent = nullptr);
    ~frmConfigAdv() override;

    // Reads every parameter of the selected node, with the calling page
    // disabled meanwhile, and fills the window from the answer. False, after
    // telling the user, when the node could not be read.
    bool readNode(QWidget* caller);

    // Fills every control from the response of a read of all parameters.
    // Each control's change rule runs as the load sets it, as if the user had
    // made the change.
    void LoadDeviceParameters();
    // The two QoS panels' part of the load.
    void LoadQosPanels();
    // Shows every line of the response file, in order, in the parameter
    // list; tells the user when there is no response.
    void ListResponseLines();

    // The host's interfaces that discovery listed, for the firmware upgrade.
    void setInterfaces(const QStringList& interfaces);
    // The nodes discovery found, with the passwords they answered to: the
    // node's settings can be compared with theirs.
    void setNodes(const QList<FoundNode>& nodes);

signals:
    // Exit or the title bar's close: back to the end page.
    void closed();
    // A change took the node out of the host's network.
    void discoveryRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Form_Unload: closing from the title bar returns to the end page.
    void closeEvent(QCloseEvent* event) override;

private:
    // Elements of the control arrays; nullptr outside an array's range.
    QWidget* picFrame(int i) const;      // panels 1 to 10
    QWidget* picCriterion(int i) const;  // criterion panels 1 and 2
    QLabel* lblSecurity(int i) const;    // security labels 0 to 8
    QLineEdit* txtQoSMap(int k) const;   // QoS priority map entries 0 to 7
    QLabel* lblQoSPrec(int k) const;     // their labels 0 to 7

    // Runs the handler whenever the control loses the input focus to another
    // control of the program (not when another program takes the focus).
    void OnLostFocus(QWidget* control, const std::function<void()>& handler);

    // Sends settings of the window's node in one POST request, the settings
    // after the request's two header lines. True when the node accepted them;
    // otherwise the user has been told why. A node that takes a new network
    // identifier, key or encryption may answer 3 instead of 0: it took the
    // change and left the network; leavesNetwork counts that as accepted.
    bool SendSettings(const QStringList& settings, bool leavesNetwork = false);
    // Reads every parameter of the node again for the raw list, after a change
    // it accepted; the controls keep what the user chose.
    void RereadParameterList();
    // The raw list never shows the value of a key or password in the clear.
    void HideSecrets(int first, int last);
    // The window's title names the node: alias and MAC after the caption.
    void ShowNodeInTitle();
    // After a change that may take the node out of the host's network: the
    // window stays for the node on the wire, its raw list read again when
    // asked; for any other node it is hidden and the network is discovered
    // anew.
    void ShowAgainOrRediscover(bool reread = false);

    // Window frame (frmConfigAdv.cpp, Loading.cpp, Reset.cpp).
    void ConnectFrame();
    void Form_Load();
    void tabConfig_Click();
    void tabCriterion_Click();
    void cmdRefresh_Click();
    void cmdExit_Click();
    // Writes the settings of the last read of all parameters to a backup file
    // the user chooses (SettingsBackup.cpp).
    void cmdSaveSettings_Click();
    // Reads a backup file, compares it with the node read anew and restores
    // the groups the user chooses (SettingsBackup.cpp).
    void cmdRestoreSettings_Click();
    // Compares the node with a backup file or another node of the network.
    void cmdCompare_Click();
    // The backup of the file the user chooses; nothing, after telling the
    // user, when the choice was cancelled or the file is no backup.
    std::optional<NodeBackup> ChooseBackup(const char* titleKey, const char* title);
    // Restores the chosen groups from the file's settings, then reads the
    // node again and shows what still differs in the comparison window.
    void RestoreGroups(frmCompare* window, const NodeSettings& file,
                       const QList<SettingsGroup>& groups);
    // Reads the node again and fills the window from its answer; false,
    // after telling the user, when it did not answer.
    bool ReloadNode(QWidget* caller);
    // The other nodes, listed for the comparison.
    void FillCompareList();
    // The button's hardware reset: asks the user first.
    void ConfirmHardwareReset();
    void cmdReset_Click();
    void cmdFactoryReset_Click();

    // Network, MAC, PHY and multicast panels (NetworkPanel.cpp).
    void ConnectNetworkPanels();
    void LoadNetworkPanels();
    void cboIpConfig_Click();
    void cmdUpdateFixedIp_Click();
    void cmdUpdateMacConf_Click();
    void cmdUpdatePhyConf_Click();
    void CmdUpdateIGMP_Click();

    // Security panel (SecurityPanel.cpp).
    void ConnectSecurityPanel();
    void LoadSecurityPanel();
    void LoadEncryptionSettings(int hide);
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

    // VLAN panel (VlanPanel.cpp).
    void ConnectVlanPanel();
    void LoadVlanPanel();
    bool TagValid() const;
    bool TaggingOn() const;
    void cboVlanConf_Click();
    void cboVlanPrio_Click();
    void txtVlanTag_Change();
    void txtVlanTag_LostFocus();
    void cmdUpVlan_Click();

    // QoS and advanced QoS panels (QosPanels.cpp).
    void ConnectQosPanels();
    void LoadCriteria();
    void LoadQoSRule();
    void LoadAdvancedRules();
    void ShowQoSMap(bool visible);
    void ClampOnLeaving(QLineEdit* field, int highest);
    void cboQoSRule_Click();
    void cboRule1_Click();
    void cboRule2_Click();
    void cmdQoSUpdate_Click();
    void cmdQoSAdvUpdate_Click();
    // Tells the user of each refused request, over a full bar, and reads the
    // raw list again when the node took any.
    void ReportQoSSends(const QStringList& refusals, bool anyTaken);

    // TCP window (TcpWindow.cpp).
    void cmdTcpWindow_Click();

    // Firmware upgrade and update frames (FirmwarePanel.cpp).
    void ConnectFirmwareFrames();
    void LoadFirmwareUpdate();
    void cmdChooseFile_Click();
    void txtFwFile_Change();
    void cmdFwUpgrade_Click();
    void cboInterface_Click();
    void cboUpgProt_Click();
    void EnableUpdateWhenComplete();
    void txtServerIP_LostFocus();
    void cmdFileName_Click();
    void cmdFwUpdate_Click();

    const std::unique_ptr<Ui::frmConfigAdv> ui;
    QHash<QObject*, std::function<void()>> lostFocus_;
    // The response lines of the last read of all parameters, unmasked, and
    // the node that answered them: what a backup holds.
    QStringList lastRead_;
    QString lastReadMac_;
    QList<FoundNode> nodes_;
};
