#include "Loading.h"

#include "RuleRecognition.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConfigAdv.h"
#include "lang/Catalogue.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"

namespace {

QString Value(const char* key) {
    return ReadResponseValue(QString::fromLatin1(key));
}

void LoadText(QLineEdit* box, const char* key) {
    box->setText(Value(key));
}

// A drop-down list filled from an option list, with the node's current value
// selected; the list's selection rule runs once, for that selection.
void LoadOptions(QComboBox* combo, const char* optionsKey, const char* valueKey) {
    FillEntries(combo, SplitOptionList(Value(optionsKey)));
    combo->setCurrentIndex(FindComboIndex(Value(valueKey), combo));
}

void LoadFirmwareUpdate(Ui::frmConfigAdv& ui) {
    LoadOptions(ui.cboUpgProt, "FLUP_PROTOCOL_OPTIONS", "FLUP_PROTOCOL");
    LoadText(ui.txtServerIP, "FLUP_IP_ADDR");
    LoadText(ui.txtFtpUser, "FLUP_LOGIN");
    LoadText(ui.txtFtpPass, "FLUP_PASSWORD");
    LoadText(ui.txtFileName, "FLUP_FILENAME");
    LoadOptions(ui.cboUpdSect, "FLUP_SECTION_OPTIONS", "FLUP_SECTION");
}

void LoadNetworkAndLink(Ui::frmConfigAdv& ui) {
    LoadText(ui.txtIpAddress, "IP_ADDR");
    LoadOptions(ui.cboIpConfig, "IP_CONFIG_OPTIONS", "IP_CONFIG");
    LoadText(ui.txtSubnetMask, "NETMASK");
    LoadText(ui.txtDefGateway, "GATEWAY");
    LoadOptions(ui.cboMacType, "MAC_TYPE_OPTIONS", "MAC_TYPE");
    LoadOptions(ui.cboNodeType, "NODE_TYPE_OPTIONS", "NODE_TYPE");
    LoadOptions(ui.cboNotches, "NOTCHES_OPTIONS", "NOTCHES");
    LoadOptions(ui.cboDistControl, "DISTORTION_CONTROL_OPTIONS", "DISTORTION_CONTROL");
    LoadOptions(ui.IGMP, "MCAST_IGMP_OPTIONS", "MCAST_IGMP");
}

void LoadSecurity(Ui::frmConfigAdv& ui) {
    LoadText(ui.txtEncrypKey, "ENCRYPT_KEY_STR");
    LoadText(ui.txtNetId, "NET_ID_STR");
    // Without a network identifier the node type and the key mean nothing.
    const bool hasNetworkId = !ui.txtNetId->text().isEmpty();
    ui.cboNodeType->setEnabled(hasNetworkId);
    ui.txtEncrypKey->setEnabled(hasNetworkId);
    ui.txtAlias->setText(LookupAlias(Session().SelectedMac));
    // The catalogue names the models that can encrypt with AES.
    const QString model = Value("MODEL");
    const bool aes = GetText(QStringLiteral("aesSupport")).contains(model);
    LoadEncryptionSettings(aes ? 0 : 1);
}

void LoadCriteria(Ui::frmConfigAdv& ui) {
    LoadOptions(ui.cboDefPrio, "PRIO_OPTIONS", "DEFAULT_PRIO");
    ui.cboCriterion->clear();
    ui.cbo1Criterion->clear();
    for (const QString& option : SplitOptionList(Value("CRITERION_OPTIONS"))) {
        ui.cboCriterion->addItem(option);
        ui.cbo1Criterion->addItem(option);
    }
    ui.cboCriterion->setEditText(Value("CRITERION_0"));
    ui.cbo1Criterion->setEditText(Value("CRITERION_1"));
    LoadText(ui.txt1Offset, "CUSTOM_1_OFFSET");
    LoadText(ui.txt1Pattern, "CUSTOM_1_PATTERN");
    LoadText(ui.txt1ClassOffset, "CUSTOM_1_CLASS_OFFSET");
    LoadText(ui.txt1Bitmask, "CUSTOM_1_BITMASK");
    LoadText(ui.txt1ClassBitmask, "CUSTOM_1_CLASS_BITMASK");
    LoadText(ui.txtOffset, "CUSTOM_0_OFFSET");
    LoadText(ui.txtPattern, "CUSTOM_0_PATTERN");
    LoadText(ui.txtClassOffset, "CUSTOM_0_CLASS_OFFSET");
    LoadText(ui.txtBitmask, "CUSTOM_0_BITMASK");
    LoadText(ui.txtClassBitmask, "CUSTOM_0_CLASS_BITMASK");
}

void LoadVlan(Ui::frmConfigAdv& ui) {
    LoadOptions(ui.cboVlanConf, "KALDOR_VLAN_CONFIG_OPTIONS", "KALDOR_VLAN_CONFIG");
    LoadText(ui.txtVlanTag, "KALDOR_VLAN_TAG");
    LoadOptions(ui.cboVlanPrio, "KALDOR_VLAN_PRIO_OPTIONS", "KALDOR_VLAN_PRIO");
    const bool tagging = ui.cboVlanConf->currentText() == QLatin1String("Enabled");
    ui.cboVlanPrio->setEnabled(tagging);
    ui.txtVlanTag->setEnabled(tagging);
    ui.cmdUpVlan->setEnabled(tagging);
}

}  // namespace

void FillEntries(QComboBox* combo, const QStringList& entries) {
    // Filling is no selection of the user's: the list's rule stays quiet.
    const QSignalBlocker quiet(combo);
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
}

void ListResponseLines() {
    const SessionState& s = Session();
    if (!FileExists(s.ResponseFile)) {
        MsgBox(s.errLoadConf, MsgIcon::Exclamation);
        return;
    }
    QListWidget* list = AdvancedWindow()->ui.lstConfig;
    list->clear();
    list->addItems(ReadLines(s.ResponseFile).value_or(QStringList()));
}

void LoadDeviceParameters() {
    frmConfigAdv* window = AdvancedWindow();
    Ui::frmConfigAdv& ui = window->ui;
    LoadFirmwareUpdate(ui);
    LoadNetworkAndLink(ui);
    LoadSecurity(ui);
    LoadCriteria(ui);
    LoadVlan(ui);
    LoadAdvancedRules(window);
    LoadQoSRule(window);
}

void LoadEncryptionSettings(int hide) {
    frmConfigAdv* window = AdvancedWindow();
    Ui::frmConfigAdv& ui = window->ui;
    for (QWidget* control :
         {static_cast<QWidget*>(ui.cboEncryptType), static_cast<QWidget*>(ui.cboAESEncryptType),
          static_cast<QWidget*>(ui.cboEncryptLength), static_cast<QWidget*>(ui.cmdUpEncryption),
          static_cast<QWidget*>(window->lblSecurity(6)),
          static_cast<QWidget*>(window->lblSecurity(7)),
          static_cast<QWidget*>(window->lblSecurity(8))}) {
        control->setVisible(hide == 0);
    }
    if (hide != 0) {
        return;
    }
    FillEntries(ui.cboEncryptType, SplitOptionList(Value("ENCRYPT_TYPE_OPTIONS")));
    FillEntries(ui.cboAESEncryptType, SplitOptionList(Value("ENCRYPT_AES_TYPE_OPTIONS")));
    FillEntries(ui.cboEncryptLength, SplitOptionList(Value("ENCRYPT_AES_LENGTH_OPTIONS")));
    // Selecting the type runs its rule, whose defaults the next two overwrite.
    ui.cboEncryptType->setCurrentIndex(FindComboIndex(Value("ENCRYPT_TYPE"), ui.cboEncryptType));
    ui.cboAESEncryptType->setCurrentIndex(
        FindComboIndex(Value("ENCRYPT_AES_TYPE"), ui.cboAESEncryptType));
    ui.cboEncryptLength->setCurrentIndex(
        FindComboIndex(Value("ENCRYPT_KEY_LENGTH"), ui.cboEncryptLength));
    ui.cboEncryptType->setEnabled(Value("AES_SUPPORT") == QLatin1String("Y"));
    const bool aes = ui.cboEncryptType->currentText() == QLatin1String("AES");
    ui.cboAESEncryptType->setEnabled(aes);
    ui.cboEncryptLength->setEnabled(aes);
}

void RefreshDeviceParameters() {
    const SessionState& s = Session();
    {
        const BusyOperation operation(AdvancedWindow(), s.lblConnect);
        const bool written = WriteGetAllRequest();
        SetProgress(1, 2);
        if (!written) {
            return;
        }
        RunClient(s.GetRequestFile);
        SetProgress(2, 2);
    }
    if (!ResponseStartsWith(QStringLiteral("INFO"))) {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errReceiving);
        return;
    }
    ListResponseLines();
    LoadDeviceParameters();
}

int FindComboIndex(const QString& text, const QComboBox* combo) {
    for (int i = 0; i < combo->count(); ++i) {
        if (combo->itemText(i) == text) {
            return i;
        }
    }
    return -1;
}

std::optional<qint32> HexToLong(QStringView text) {
    if (text.isEmpty() || text.size() > 8) {
        return std::nullopt;
    }
    quint32 value = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        int digit = -1;
        if (u >= u'0' && u <= u'9') {
            digit = u - u'0';
        } else if (u >= u'A' && u <= u'F') {
            digit = u - u'A' + 10;
        } else if (u >= u'a' && u <= u'f') {
            digit = u - u'a' + 10;
        }
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * 16 + static_cast<quint32>(digit);
    }
    return static_cast<qint32>(value);
}
