#include "SimModels.h"

namespace kaldorsim {

namespace {

const QString kZeroHex = QStringLiteral("0000000000000000");

QString repeatedList(const QString& piece, int count) {
    return quotedList(QStringList(count, piece));
}

void addCustomCriterion(Parameters& p, int n) {
    const QString prefix = QStringLiteral("CUSTOM_%1_").arg(n);
    p[prefix + QLatin1String("OFFSET")] = QStringLiteral("0");
    p[prefix + QLatin1String("PATTERN")] = kZeroHex;
    p[prefix + QLatin1String("BITMASK")] = kZeroHex;
    p[prefix + QLatin1String("CLASS_OFFSET")] = QStringLiteral("0");
    p[prefix + QLatin1String("CLASS_BITMASK")] = kZeroHex;
    p[prefix + QLatin1String("CLASS_PATTERN")] = repeatedList(kZeroHex, 8);
    p[prefix + QLatin1String("CLASS_PRIO")] = repeatedList(QStringLiteral("0"), 8);
}

void addFirmwareUpdate(Parameters& p, bool aes) {
    p[QStringLiteral("FLUP_PROTOCOL_OPTIONS")] =
        quotedList({QStringLiteral("FTP"), QStringLiteral("TFTP")});
    p[QStringLiteral("FLUP_PROTOCOL")] = QStringLiteral("TFTP");
    p[QStringLiteral("FLUP_IP_ADDR")] = QStringLiteral("0.0.0.0");
    p[QStringLiteral("FLUP_LOGIN")] = QStringLiteral("");
    p[QStringLiteral("FLUP_PASSWORD")] = QStringLiteral("");
    p[QStringLiteral("FLUP_FILENAME")] = QStringLiteral("");
    p[QStringLiteral("FLUP_SECTION_OPTIONS")] =
        aes ? quotedList({QStringLiteral("Firmware"), QStringLiteral("Bootloader"),
                          QStringLiteral("Configuration")})
            : quotedList({QStringLiteral("Firmware"), QStringLiteral("Bootloader")});
    p[QStringLiteral("FLUP_SECTION")] = QStringLiteral("Firmware");
    p[QStringLiteral("FLUP_STATUS")] = QStringLiteral("idle");
    p[QStringLiteral("FLUP_FILE_SIZE")] = QStringLiteral("0");
    p[QStringLiteral("FLUP_DOWNLOADED_SIZE")] = QStringLiteral("0");
    p[QStringLiteral("FLUP_FLASH_OFFSET")] = QStringLiteral("0");
}

void addIpSettings(Parameters& p) {
    p[QStringLiteral("IP_CONFIG_OPTIONS")] =
        quotedList({QStringLiteral("DHCP"), QStringLiteral("Fixed")});
    p[QStringLiteral("IP_CONFIG")] = QStringLiteral("DHCP");
    p[QStringLiteral("IP_ADDR")] = QStringLiteral("192.168.1.254");
    p[QStringLiteral("NETMASK")] = QStringLiteral("255.255.255.0");
    p[QStringLiteral("GATEWAY")] = QStringLiteral("192.168.1.1");
    p[QStringLiteral("IP_CONFIG_NVRAM")] = p[QStringLiteral("IP_CONFIG")];
    p[QStringLiteral("IP_ADDR_NVRAM")] = p[QStringLiteral("IP_ADDR")];
    p[QStringLiteral("NETMASK_NVRAM")] = p[QStringLiteral("NETMASK")];
    p[QStringLiteral("GATEWAY_NVRAM")] = p[QStringLiteral("GATEWAY")];
}

void addLinkSettings(Parameters& p, bool aes) {
    p[QStringLiteral("MAC_TYPE_OPTIONS")] =
        quotedList({QStringLiteral("Auto"), QStringLiteral("100 Full"), QStringLiteral("100 Half"),
                    QStringLiteral("10 Full"), QStringLiteral("10 Half")});
    p[QStringLiteral("MAC_TYPE")] = QStringLiteral("Auto");
    p[QStringLiteral("NODE_TYPE_OPTIONS")] =
        quotedList({QStringLiteral("AP"), QStringLiteral("EP")});
    p[QStringLiteral("NODE_TYPE")] = QStringLiteral("EP");
    p[QStringLiteral("NOTCHES_OPTIONS")] =
        quotedList({QStringLiteral("Disabled"), QStringLiteral("Amateur"),
                    QStringLiteral("Amateur+Broadcast")});
    p[QStringLiteral("NOTCHES")] = QStringLiteral("Amateur");
    p[QStringLiteral("DISTORTION_CONTROL_OPTIONS")] =
        aes ? quotedList({QStringLiteral("Off"), QStringLiteral("Low"), QStringLiteral("Medium"),
                          QStringLiteral("High")})
            : quotedList({QStringLiteral("Off"), QStringLiteral("On")});
    p[QStringLiteral("DISTORTION_CONTROL")] = aes ? QStringLiteral("Medium") : QStringLiteral("On");
    p[QStringLiteral("MCAST_IGMP_OPTIONS")] =
        aes ? quotedList(
                  {QStringLiteral("Disabled"), QStringLiteral("Snooping"), QStringLiteral("Proxy")})
            : quotedList({QStringLiteral("Disabled"), QStringLiteral("Snooping")});
    p[QStringLiteral("MCAST_IGMP")] = QStringLiteral("Snooping");
}

void addSecurity(Parameters& p, bool aes) {
    p[QStringLiteral("NET_ID_STR")] = QStringLiteral("Kaldor");
    p[QStringLiteral("ENCRYPT_KEY_STR")] = QStringLiteral("KaldorDefaultKey");
    p[QStringLiteral("AES_SUPPORT")] = aes ? QStringLiteral("Y") : QStringLiteral("N");
    p[QStringLiteral("ENCRYPT_TYPE_OPTIONS")] =
        aes ? quotedList({QStringLiteral("None"), QStringLiteral("3DES"), QStringLiteral("AES")})
            : quotedList({QStringLiteral("None"), QStringLiteral("3DES")});
    p[QStringLiteral("ENCRYPT_TYPE")] = QStringLiteral("3DES");
    p[QStringLiteral("ENCRYPT_AES_TYPE_OPTIONS")] =
        aes ? quotedList({QStringLiteral("None"), QStringLiteral("ECB"), QStringLiteral("CBC")})
            : quotedList({QStringLiteral("None")});
    p[QStringLiteral("ENCRYPT_AES_TYPE")] = QStringLiteral("None");
    p[QStringLiteral("ENCRYPT_AES_LENGTH_OPTIONS")] =
        aes ? quotedList({QStringLiteral("128"), QStringLiteral("168"), QStringLiteral("192"),
                          QStringLiteral("256")})
            : quotedList({QStringLiteral("168")});
    p[QStringLiteral("ENCRYPT_KEY_LENGTH")] = QStringLiteral("168");
}

void addClassification(Parameters& p) {
    p[QStringLiteral("PRIO_OPTIONS")] = quotedList(
        {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
         QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")});
    p[QStringLiteral("DEFAULT_PRIO")] = QStringLiteral("0");
    p[QStringLiteral("CRITERION_OPTIONS")] =
        quotedList({QStringLiteral("None"), QStringLiteral("8021p"), QStringLiteral("Custom")});
    p[QStringLiteral("CRITERION_0")] = QStringLiteral("None");
    p[QStringLiteral("CRITERION_1")] = QStringLiteral("None");
    addCustomCriterion(p, 0);
    addCustomCriterion(p, 1);
}

void addVlan(Parameters& p) {
    p[QStringLiteral("KALDOR_VLAN_CONFIG_OPTIONS")] =
        quotedList({QStringLiteral("Disabled"), QStringLiteral("Enabled")});
    p[QStringLiteral("KALDOR_VLAN_CONFIG")] = QStringLiteral("Disabled");
    p[QStringLiteral("KALDOR_VLAN_TAG")] = QStringLiteral("100");
    p[QStringLiteral("KALDOR_VLAN_PRIO_OPTIONS")] = quotedList(
        {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
         QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7")});
    p[QStringLiteral("KALDOR_VLAN_PRIO")] = QStringLiteral("0");
}

}  // namespace

QStringList modelNames() {
    return {kModelBasic, kModelAes};
}

Parameters factoryParameters(const QString& model, const QString& mac) {
    const bool aes = model == kModelAes;
    Parameters p;
    p[QStringLiteral("MODEL")] = aes ? kModelAes : kModelBasic;
    p[QStringLiteral("MAC_ADDR")] = mac;
    p[QStringLiteral("VER")] = aes ? QStringLiteral("3.1.7") : QStringLiteral("2.4.11");
    p[QStringLiteral("NUM_BOOTS")] = QStringLiteral("1");
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
    n.factoryPassword = QLatin1String("FP") + n.mac.right(6);
    n.params = factoryParameters(model, n.mac);
    n.restartMs = modelRestartMs(n.params[QStringLiteral("MODEL")]);
    n.factoryResetRestartMs = modelFactoryResetRestartMs(n.params[QStringLiteral("MODEL")]);
    return n;
}

const QStringList& parameterOrder() {
    static const QStringList order = [] {
        QStringList keys{QStringLiteral("MODEL"),
                         QStringLiteral("MAC_ADDR"),
                         QStringLiteral("VER"),
                         QStringLiteral("NUM_BOOTS"),
                         QStringLiteral("AES_SUPPORT"),
                         QStringLiteral("FLUP_PROTOCOL_OPTIONS"),
                         QStringLiteral("FLUP_PROTOCOL"),
                         QStringLiteral("FLUP_IP_ADDR"),
                         QStringLiteral("FLUP_LOGIN"),
                         QStringLiteral("FLUP_PASSWORD"),
                         QStringLiteral("FLUP_FILENAME"),
                         QStringLiteral("FLUP_SECTION_OPTIONS"),
                         QStringLiteral("FLUP_SECTION"),
                         QStringLiteral("FLUP_STATUS"),
                         QStringLiteral("FLUP_FILE_SIZE"),
                         QStringLiteral("FLUP_DOWNLOADED_SIZE"),
                         QStringLiteral("FLUP_FLASH_OFFSET"),
                         QStringLiteral("IP_CONFIG_OPTIONS"),
                         QStringLiteral("IP_CONFIG"),
                         QStringLiteral("IP_ADDR"),
                         QStringLiteral("NETMASK"),
                         QStringLiteral("GATEWAY"),
                         QStringLiteral("IP_CONFIG_NVRAM"),
                         QStringLiteral("IP_ADDR_NVRAM"),
                         QStringLiteral("NETMASK_NVRAM"),
                         QStringLiteral("GATEWAY_NVRAM"),
                         QStringLiteral("MAC_TYPE_OPTIONS"),
                         QStringLiteral("MAC_TYPE"),
                         QStringLiteral("NODE_TYPE_OPTIONS"),
                         QStringLiteral("NODE_TYPE"),
                         QStringLiteral("NOTCHES_OPTIONS"),
                         QStringLiteral("NOTCHES"),
                         QStringLiteral("DISTORTION_CONTROL_OPTIONS"),
                         QStringLiteral("DISTORTION_CONTROL"),
                         QStringLiteral("MCAST_IGMP_OPTIONS"),
                         QStringLiteral("MCAST_IGMP"),
                         QStringLiteral("NET_ID_STR"),
                         QStringLiteral("ENCRYPT_KEY_STR"),
                         QStringLiteral("ENCRYPT_TYPE_OPTIONS"),
                         QStringLiteral("ENCRYPT_TYPE"),
                         QStringLiteral("ENCRYPT_AES_TYPE_OPTIONS"),
                         QStringLiteral("ENCRYPT_AES_TYPE"),
                         QStringLiteral("ENCRYPT_AES_LENGTH_OPTIONS"),
                         QStringLiteral("ENCRYPT_KEY_LENGTH"),
                         QStringLiteral("PRIO_OPTIONS"),
                         QStringLiteral("DEFAULT_PRIO"),
                         QStringLiteral("CRITERION_OPTIONS"),
                         QStringLiteral("CRITERION_0"),
                         QStringLiteral("CRITERION_1")};
        for (int n = 0; n < 2; ++n) {
            for (const char* field : {"OFFSET", "PATTERN", "BITMASK", "CLASS_OFFSET",
                                      "CLASS_BITMASK", "CLASS_PATTERN", "CLASS_PRIO"})
                keys << QStringLiteral("CUSTOM_%1_%2").arg(n).arg(QLatin1String(field));
        }
        keys << QStringLiteral("KALDOR_VLAN_CONFIG_OPTIONS") << QStringLiteral("KALDOR_VLAN_CONFIG")
             << QStringLiteral("KALDOR_VLAN_TAG") << QStringLiteral("KALDOR_VLAN_PRIO_OPTIONS")
             << QStringLiteral("KALDOR_VLAN_PRIO");
        return keys;
    }();
    return order;
}

bool isClassListKey(const QString& key) {
    return key.endsWith(QStringLiteral("_CLASS_PATTERN")) ||
           key.endsWith(QStringLiteral("_CLASS_PRIO"));
}

QString quotedList(const QStringList& pieces) {
    QStringList quoted;
    for (const QString& piece : pieces)
        quoted << QLatin1Char('\'') + piece + QLatin1Char('\'');
    return quoted.join(QLatin1Char(','));
}

QStringList unquotedList(const QString& value) {
    QStringList pieces;
    if (value.isEmpty())
        return pieces;
    for (const QString& piece : value.split(QLatin1Char(',')))
        pieces << (piece.size() < 2 ? QString() : piece.mid(1, piece.size() - 2));
    return pieces;
}

QStringList optionsOf(const Parameters& params, const QString& optionsKey) {
    return unquotedList(params.value(optionsKey));
}

QString paddedHex(const QString& hex) {
    return hex.toUpper().leftJustified(16, QLatin1Char('0'));
}

}  // namespace kaldorsim
