#include "SimModels.h"

namespace kaldorsim {

namespace {

const QString kZeroHex = "0000000000000000";

QString repeatedList(const QString& piece, int count) {
    return quotedList(QStringList(count, piece));
}

void addCustomCriterion(Parameters& p, int n) {
    const QString prefix = QString("CUSTOM_%1_").arg(n);
    p[prefix + "OFFSET"] = "0";
    p[prefix + "PATTERN"] = kZeroHex;
    p[prefix + "BITMASK"] = kZeroHex;
    p[prefix + "CLASS_OFFSET"] = "0";
    p[prefix + "CLASS_BITMASK"] = kZeroHex;
    p[prefix + "CLASS_PATTERN"] = repeatedList(kZeroHex, 8);
    p[prefix + "CLASS_PRIO"] = repeatedList("0", 8);
}

void addFirmwareUpdate(Parameters& p, bool aes) {
    p["FLUP_PROTOCOL_OPTIONS"] = quotedList({"FTP", "TFTP"});
    p["FLUP_PROTOCOL"] = "TFTP";
    p["FLUP_IP_ADDR"] = "0.0.0.0";
    p["FLUP_LOGIN"] = "";
    p["FLUP_PASSWORD"] = "";
    p["FLUP_FILENAME"] = "";
    p["FLUP_SECTION_OPTIONS"] = aes ? quotedList({"Firmware", "Bootloader", "Configuration"})
                                    : quotedList({"Firmware", "Bootloader"});
    p["FLUP_SECTION"] = "Firmware";
    p["FLUP_STATUS"] = "idle";
    p["FLUP_FILE_SIZE"] = "0";
    p["FLUP_DOWNLOADED_SIZE"] = "0";
    p["FLUP_FLASH_OFFSET"] = "0";
}

void addIpSettings(Parameters& p) {
    p["IP_CONFIG_OPTIONS"] = quotedList({"DHCP", "Fixed"});
    p["IP_CONFIG"] = "DHCP";
    p["IP_ADDR"] = "192.168.1.254";
    p["NETMASK"] = "255.255.255.0";
    p["GATEWAY"] = "192.168.1.1";
    p["IP_CONFIG_NVRAM"] = p["IP_CONFIG"];
    p["IP_ADDR_NVRAM"] = p["IP_ADDR"];
    p["NETMASK_NVRAM"] = p["NETMASK"];
    p["GATEWAY_NVRAM"] = p["GATEWAY"];
}

void addLinkSettings(Parameters& p, bool aes) {
    p["MAC_TYPE_OPTIONS"] = quotedList({"Auto", "100 Full", "100 Half", "10 Full", "10 Half"});
    p["MAC_TYPE"] = "Auto";
    p["NODE_TYPE_OPTIONS"] = quotedList({"AP", "EP"});
    p["NODE_TYPE"] = "EP";
    p["NOTCHES_OPTIONS"] = quotedList({"Disabled", "Amateur", "Amateur+Broadcast"});
    p["NOTCHES"] = "Amateur";
    p["DISTORTION_CONTROL_OPTIONS"] =
        aes ? quotedList({"Off", "Low", "Medium", "High"}) : quotedList({"Off", "On"});
    p["DISTORTION_CONTROL"] = aes ? "Medium" : "On";
    p["MCAST_IGMP_OPTIONS"] =
        aes ? quotedList({"Disabled", "Snooping", "Proxy"}) : quotedList({"Disabled", "Snooping"});
    p["MCAST_IGMP"] = "Snooping";
}

void addSecurity(Parameters& p, bool aes) {
    p["NET_ID_STR"] = "Kaldor";
    p["ENCRYPT_KEY_STR"] = "KaldorDefaultKey";
    p["AES_SUPPORT"] = aes ? "Y" : "N";
    p["ENCRYPT_TYPE_OPTIONS"] =
        aes ? quotedList({"None", "3DES", "AES"}) : quotedList({"None", "3DES"});
    p["ENCRYPT_TYPE"] = "3DES";
    p["ENCRYPT_AES_TYPE_OPTIONS"] = aes ? quotedList({"None", "ECB", "CBC"}) : quotedList({"None"});
    p["ENCRYPT_AES_TYPE"] = "None";
    p["ENCRYPT_AES_LENGTH_OPTIONS"] =
        aes ? quotedList({"128", "168", "192", "256"}) : quotedList({"168"});
    p["ENCRYPT_KEY_LENGTH"] = "168";
}

void addClassification(Parameters& p) {
    p["PRIO_OPTIONS"] = quotedList({"0", "1", "2", "3", "4", "5", "6"});
    p["DEFAULT_PRIO"] = "0";
    p["CRITERION_OPTIONS"] = quotedList({"None", "8021p", "Custom"});
    p["CRITERION_0"] = "None";
    p["CRITERION_1"] = "None";
    addCustomCriterion(p, 0);
    addCustomCriterion(p, 1);
}

void addVlan(Parameters& p) {
    p["KALDOR_VLAN_CONFIG_OPTIONS"] = quotedList({"Disabled", "Enabled"});
    p["KALDOR_VLAN_CONFIG"] = "Disabled";
    p["KALDOR_VLAN_TAG"] = "100";
    p["KALDOR_VLAN_PRIO_OPTIONS"] = quotedList({"0", "1", "2", "3", "4", "5", "6", "7"});
    p["KALDOR_VLAN_PRIO"] = "0";
}

}  // namespace

QStringList modelNames() {
    return {kModelBasic, kModelAes};
}

Parameters factoryParameters(const QString& model, const QString& mac) {
    const bool aes = model == kModelAes;
    Parameters p;
    p["MODEL"] = aes ? kModelAes : kModelBasic;
    p["MAC_ADDR"] = mac;
    p["VER"] = aes ? "3.1.7" : "2.4.11";
    p["NUM_BOOTS"] = "1";
    addFirmwareUpdate(p, aes);
    addIpSettings(p);
    addLinkSettings(p, aes);
    addSecurity(p, aes);
    addClassification(p);
    addVlan(p);
    return p;
}

int modelRestartMs(const QString& model) {
    return model == kModelAes ? 8000 : 11000;
}

int modelFactoryResetRestartMs(const QString& model) {
    return model == kModelAes ? 20000 : 26000;
}

Node factoryNode(const QString& model, const QString& mac, const QString& label) {
    Node n;
    n.mac = mac.toUpper();
    n.label = label;
    n.password = kDefaultPassword;
    n.factoryPassword = "FP" + n.mac.right(6);
    n.params = factoryParameters(model, n.mac);
    n.restartMs = modelRestartMs(n.params["MODEL"]);
    n.factoryResetRestartMs = modelFactoryResetRestartMs(n.params["MODEL"]);
    return n;
}

const QStringList& parameterOrder() {
    static const QStringList order = [] {
        QStringList keys{"MODEL",
                         "MAC_ADDR",
                         "VER",
                         "NUM_BOOTS",
                         "AES_SUPPORT",
                         "FLUP_PROTOCOL_OPTIONS",
                         "FLUP_PROTOCOL",
                         "FLUP_IP_ADDR",
                         "FLUP_LOGIN",
                         "FLUP_PASSWORD",
                         "FLUP_FILENAME",
                         "FLUP_SECTION_OPTIONS",
                         "FLUP_SECTION",
                         "FLUP_STATUS",
                         "FLUP_FILE_SIZE",
                         "FLUP_DOWNLOADED_SIZE",
                         "FLUP_FLASH_OFFSET",
                         "IP_CONFIG_OPTIONS",
                         "IP_CONFIG",
                         "IP_ADDR",
                         "NETMASK",
                         "GATEWAY",
                         "IP_CONFIG_NVRAM",
                         "IP_ADDR_NVRAM",
                         "NETMASK_NVRAM",
                         "GATEWAY_NVRAM",
                         "MAC_TYPE_OPTIONS",
                         "MAC_TYPE",
                         "NODE_TYPE_OPTIONS",
                         "NODE_TYPE",
                         "NOTCHES_OPTIONS",
                         "NOTCHES",
                         "DISTORTION_CONTROL_OPTIONS",
                         "DISTORTION_CONTROL",
                         "MCAST_IGMP_OPTIONS",
                         "MCAST_IGMP",
                         "NET_ID_STR",
                         "ENCRYPT_KEY_STR",
                         "ENCRYPT_TYPE_OPTIONS",
                         "ENCRYPT_TYPE",
                         "ENCRYPT_AES_TYPE_OPTIONS",
                         "ENCRYPT_AES_TYPE",
                         "ENCRYPT_AES_LENGTH_OPTIONS",
                         "ENCRYPT_KEY_LENGTH",
                         "PRIO_OPTIONS",
                         "DEFAULT_PRIO",
                         "CRITERION_OPTIONS",
                         "CRITERION_0",
                         "CRITERION_1"};
        for (int n = 0; n < 2; ++n) {
            for (const char* field : {"OFFSET", "PATTERN", "BITMASK", "CLASS_OFFSET",
                                      "CLASS_BITMASK", "CLASS_PATTERN", "CLASS_PRIO"})
                keys << QString("CUSTOM_%1_%2").arg(n).arg(field);
        }
        keys << "KALDOR_VLAN_CONFIG_OPTIONS"
             << "KALDOR_VLAN_CONFIG"
             << "KALDOR_VLAN_TAG"
             << "KALDOR_VLAN_PRIO_OPTIONS"
             << "KALDOR_VLAN_PRIO";
        return keys;
    }();
    return order;
}

bool isClassListKey(const QString& key) {
    return key.endsWith("_CLASS_PATTERN") || key.endsWith("_CLASS_PRIO");
}

QString quotedList(const QStringList& pieces) {
    QStringList quoted;
    for (const QString& piece : pieces)
        quoted << "'" + piece + "'";
    return quoted.join(',');
}

QStringList unquotedList(const QString& value) {
    QStringList pieces;
    if (value.isEmpty())
        return pieces;
    for (const QString& piece : value.split(','))
        pieces << (piece.size() < 2 ? QString() : piece.mid(1, piece.size() - 2));
    return pieces;
}

QStringList optionsOf(const Parameters& params, const QString& optionsKey) {
    return unquotedList(params.value(optionsKey));
}

QString paddedHex(const QString& hex) {
    return hex.toUpper().leftJustified(16, '0');
}

}  // namespace kaldorsim
