#include "Groups.h"

#include <algorithm>

#include "app/Values.h"
#include "lang/Catalogue.h"

namespace {

QString Line(const char* key, const QString& value) {
    return QLatin1String(key) + QLatin1Char('=') + value;
}

QString ValueOf(const NodeSettings& values, const QString& key) {
    return SettingValue(values, key).value_or(QString());
}

QString ValueOf(const NodeSettings& values, const char* key) {
    return ValueOf(values, QString::fromLatin1(key));
}

constexpr int kClasses = 8;

QString CriterionKey(SettingsGroup group, const char* suffix) {
    const int n = group == SettingsGroup::Criterion1 ? 0 : 1;
    return QStringLiteral("CRITERION_%1").arg(n) + QLatin1String(suffix);
}

QString CustomKey(SettingsGroup group, const char* field) {
    const int n = group == SettingsGroup::Criterion1 ? 0 : 1;
    return QStringLiteral("CUSTOM_%1_").arg(n) + QLatin1String(field);
}

// The custom fields of a criterion as a read answers them; the class
// patterns and priorities come as one list each.
constexpr const char* kCustomFields[] = {
    "OFFSET", "PATTERN", "BITMASK", "CLASS_OFFSET", "CLASS_BITMASK", "CLASS_PATTERN", "CLASS_PRIO"};

bool Custom(SettingsGroup group, const NodeSettings& values) {
    return ValueOf(values, CriterionKey(group, "")) == QLatin1String("Custom");
}

// A criterion as the advanced QoS panel sends it: its mode, the custom fields
// when custom (the lists written one class per line), the confirmation.
QStringList CriterionLinesOf(SettingsGroup group, const NodeSettings& values) {
    QStringList lines{CriterionKey(group, "=") + ValueOf(values, CriterionKey(group, ""))};
    if (Custom(group, values)) {
        for (const char* field : kCustomFields) {
            const QString key = CustomKey(group, field);
            const QString value = ValueOf(values, key);
            if (key.endsWith(QLatin1String("CLASS_PATTERN")) ||
                key.endsWith(QLatin1String("CLASS_PRIO"))) {
                const QStringList classes = SplitOptionList(value);
                for (int k = 0; k < kClasses; ++k) {
                    lines << key + QStringLiteral("_%1=").arg(k) + classes.value(k);
                }
            } else {
                lines << key + QLatin1Char('=') + value;
            }
        }
    }
    lines << CriterionKey(group, "_OK=Ok");
    return lines;
}

QStringList Keys(std::initializer_list<const char*> keys) {
    QStringList list;
    for (const char* key : keys) {
        list << QLatin1String(key);
    }
    return list;
}

// The option list that holds a setting's possible values, where it is not
// the setting's own name with "_OPTIONS".
QString OptionsKey(const QString& key) {
    if (key == QLatin1String("IP_CONFIG_NVRAM")) {
        return QStringLiteral("IP_CONFIG_OPTIONS");
    }
    if (key == QLatin1String("ENCRYPT_KEY_LENGTH")) {
        return QStringLiteral("ENCRYPT_AES_LENGTH_OPTIONS");
    }
    if (key.startsWith(QLatin1String("CRITERION_"))) {
        return QStringLiteral("CRITERION_OPTIONS");
    }
    if (key.endsWith(QLatin1String("CLASS_PRIO"))) {
        return QStringLiteral("PRIO_OPTIONS");
    }
    return key + QStringLiteral("_OPTIONS");
}

// Tags 0, 1 and 4095 are reserved by 802.1Q.
constexpr int kLowestTag = 2;
constexpr int kHighestTag = 4094;

// Whether the value is one the group's update button would send: a tag in
// range while tagging is on, an encryption mode other than none only inside a
// named network.
bool ButtonSends(const QString& key, const QString& value, const NodeSettings& values) {
    if (key == QLatin1String("KALDOR_VLAN_TAG") &&
        ValueOf(values, "KALDOR_VLAN_CONFIG") == QLatin1String("Enabled")) {
        bool number = false;
        const int tag = value.toInt(&number);
        return number && tag >= kLowestTag && tag <= kHighestTag;
    }
    if (key == QLatin1String("ENCRYPT_TYPE") && value != QLatin1String("None")) {
        return !ValueOf(values, "NET_ID_STR").isEmpty();
    }
    return true;
}

// Whether the node takes the value: one of the setting's options (a setting
// without an option list takes any; a list setting, each element), and one
// its update button would send with the other values.
bool Offered(const NodeSettings& node, const QString& key, const QString& value,
             const NodeSettings& values) {
    if (!ButtonSends(key, value, values)) {
        return false;
    }
    const std::optional<QString> options = SettingValue(node, OptionsKey(key));
    if (!options) {
        return true;
    }
    const QStringList offered = SplitOptionList(*options);
    if (key.endsWith(QLatin1String("CLASS_PRIO"))) {
        const QStringList values = SplitOptionList(value);
        return std::all_of(values.begin(), values.end(),
                           [&](const QString& v) { return offered.contains(v); });
    }
    return offered.contains(value);
}

}  // namespace

const QList<GroupInfo>& SettingsGroups() {
    static const QList<GroupInfo> groups{
        {SettingsGroup::Address, "address", "lblGrpAddress", "Fixed IP configuration", false, true},
        {SettingsGroup::Ethernet, "ethernet", "lblGrpEthernet", "MAC configuration", false, false},
        {SettingsGroup::PowerLine, "powerline", "lblGrpPowerLine", "PHY configuration", false,
         false},
        {SettingsGroup::Multicast, "multicast", "lblGrpMulticast", "Multicast configuration", false,
         false},
        {SettingsGroup::Vlan, "vlan", "lblGrpVlan", "VLAN configuration", false, false},
        {SettingsGroup::Criterion1, "criterion1", "lblGrpCriterion1", "QoS criterion 1", false,
         false},
        {SettingsGroup::Criterion2, "criterion2", "lblGrpCriterion2", "QoS criterion 2", false,
         false},
        {SettingsGroup::Encryption, "encryption", "lblGrpEncryption", "Encryption", true, false},
        {SettingsGroup::Key, "key", "lblGrpKey", "Encryption key", true, false},
        {SettingsGroup::NetworkId, "network-id", "lblGrpNetworkId", "Network identifier", true,
         false},
    };
    return groups;
}

const GroupInfo& Group(SettingsGroup group) {
    const QList<GroupInfo>& groups = SettingsGroups();
    return *std::find_if(groups.begin(), groups.end(),
                         [group](const GroupInfo& g) { return g.group == group; });
}

QString GroupCaption(SettingsGroup group) {
    const GroupInfo& info = Group(group);
    return GetTextOr(QLatin1String(info.captionKey), QLatin1String(info.caption));
}

QStringList AddressLines(const QString& mode, const QString& address, const QString& mask,
                         const QString& gateway) {
    QStringList lines{Line("IP_CONFIG_NVRAM", mode)};
    if (mode == QLatin1String("Fixed")) {
        lines << Line("IP_ADDR_NVRAM", address) << Line("NETMASK_NVRAM", mask)
              << Line("GATEWAY_NVRAM", gateway);
    }
    return lines;
}

QStringList EthernetLines(const QString& macType, const QString& nodeType) {
    return {Line("MAC_TYPE", macType), Line("NODE_TYPE", nodeType)};
}

QStringList PowerLineLines(const QString& notches, const QString& distortion) {
    return {Line("NOTCHES", notches), Line("DISTORTION_CONTROL", distortion)};
}

QStringList MulticastLines(const QString& igmp) {
    return {Line("MCAST_IGMP", igmp)};
}

QStringList VlanLines(const QString& mode, const QString& tag, const QString& priority) {
    QStringList lines{Line("KALDOR_VLAN_CONFIG", mode), Line("KALDOR_VLAN_TAG", tag)};
    // Without tagging there is no priority field in the frames to set.
    if (mode == QLatin1String("Enabled")) {
        lines << Line("KALDOR_VLAN_PRIO", priority);
    }
    lines << QStringLiteral("KALDOR_VLAN_OK=ok");
    return lines;
}

QStringList EncryptionLines(const QString& type, const QString& aesType, const QString& length,
                            const QString& key) {
    QStringList lines{Line("ENCRYPT_TYPE", type)};
    if (type == QLatin1String("AES")) {
        lines << Line("ENCRYPT_AES_TYPE", aesType) << Line("ENCRYPT_KEY_LENGTH", length);
    } else if (type == QLatin1String("3DES")) {
        lines << QStringLiteral("ENCRYPT_KEY_LENGTH=168");
    }
    lines << Line("ENCRYPT_KEY_STR", key) << QStringLiteral("CRYPTO_OK=Ok");
    return lines;
}

QStringList KeyLines(const QString& key) {
    return {Line("ENCRYPT_KEY_STR", key)};
}

QStringList NetworkIdLines(const QString& networkId) {
    return {Line("NET_ID_STR", networkId)};
}

bool GroupApplies(SettingsGroup group, const QString& model) {
    if (group != SettingsGroup::Encryption && group != SettingsGroup::Key) {
        return true;
    }
    const bool aes = GetText(QStringLiteral("aesSupport")).contains(model);
    return aes == (group == SettingsGroup::Encryption);
}

QStringList GroupKeys(SettingsGroup group, const NodeSettings& values) {
    switch (group) {
        case SettingsGroup::Address:
            return ValueOf(values, "IP_CONFIG_NVRAM") == QLatin1String("Fixed")
                       ? Keys(
                             {"IP_CONFIG_NVRAM", "IP_ADDR_NVRAM", "NETMASK_NVRAM", "GATEWAY_NVRAM"})
                       : Keys({"IP_CONFIG_NVRAM"});
        case SettingsGroup::Ethernet:
            return Keys({"MAC_TYPE", "NODE_TYPE"});
        case SettingsGroup::PowerLine:
            return Keys({"NOTCHES", "DISTORTION_CONTROL"});
        case SettingsGroup::Multicast:
            return Keys({"MCAST_IGMP"});
        case SettingsGroup::Vlan:
            return ValueOf(values, "KALDOR_VLAN_CONFIG") == QLatin1String("Enabled")
                       ? Keys({"KALDOR_VLAN_CONFIG", "KALDOR_VLAN_TAG", "KALDOR_VLAN_PRIO"})
                       : Keys({"KALDOR_VLAN_CONFIG", "KALDOR_VLAN_TAG"});
        case SettingsGroup::Criterion1:
        case SettingsGroup::Criterion2: {
            QStringList keys{CriterionKey(group, "")};
            if (Custom(group, values)) {
                for (const char* field : kCustomFields) {
                    keys << CustomKey(group, field);
                }
            }
            return keys;
        }
        case SettingsGroup::Encryption: {
            const QString type = ValueOf(values, "ENCRYPT_TYPE");
            if (type == QLatin1String("AES")) {
                return Keys(
                    {"ENCRYPT_TYPE", "ENCRYPT_AES_TYPE", "ENCRYPT_KEY_LENGTH", "ENCRYPT_KEY_STR"});
            }
            return Keys({"ENCRYPT_TYPE", "ENCRYPT_KEY_STR"});
        }
        case SettingsGroup::Key:
            return Keys({"ENCRYPT_KEY_STR"});
        case SettingsGroup::NetworkId:
            return Keys({"NET_ID_STR"});
    }
    return {};
}

QStringList GroupLines(SettingsGroup group, const NodeSettings& values) {
    const auto v = [&values](const char* key) { return ValueOf(values, key); };
    switch (group) {
        case SettingsGroup::Address:
            return AddressLines(v("IP_CONFIG_NVRAM"), v("IP_ADDR_NVRAM"), v("NETMASK_NVRAM"),
                                v("GATEWAY_NVRAM"));
        case SettingsGroup::Ethernet:
            return EthernetLines(v("MAC_TYPE"), v("NODE_TYPE"));
        case SettingsGroup::PowerLine:
            return PowerLineLines(v("NOTCHES"), v("DISTORTION_CONTROL"));
        case SettingsGroup::Multicast:
            return MulticastLines(v("MCAST_IGMP"));
        case SettingsGroup::Vlan:
            return VlanLines(v("KALDOR_VLAN_CONFIG"), v("KALDOR_VLAN_TAG"), v("KALDOR_VLAN_PRIO"));
        case SettingsGroup::Criterion1:
        case SettingsGroup::Criterion2:
            return CriterionLinesOf(group, values);
        case SettingsGroup::Encryption:
            return EncryptionLines(v("ENCRYPT_TYPE"), v("ENCRYPT_AES_TYPE"),
                                   v("ENCRYPT_KEY_LENGTH"), v("ENCRYPT_KEY_STR"));
        case SettingsGroup::Key:
            return KeyLines(v("ENCRYPT_KEY_STR"));
        case SettingsGroup::NetworkId:
            return NetworkIdLines(v("NET_ID_STR"));
    }
    return {};
}

std::optional<SettingsGroup> GroupOfKey(QStringView key) {
    // The widest reading of each group: every field it can send.
    NodeSettings widest{{QStringLiteral("IP_CONFIG_NVRAM"), QStringLiteral("Fixed")},
                        {QStringLiteral("KALDOR_VLAN_CONFIG"), QStringLiteral("Enabled")},
                        {QStringLiteral("CRITERION_0"), QStringLiteral("Custom")},
                        {QStringLiteral("CRITERION_1"), QStringLiteral("Custom")},
                        {QStringLiteral("ENCRYPT_TYPE"), QStringLiteral("AES")}};
    for (const GroupInfo& info : SettingsGroups()) {
        if (GroupKeys(info.group, widest).contains(key)) {
            return info.group;
        }
    }
    return std::nullopt;
}

bool IsSecretKey(QStringView key) {
    return key.endsWith(u"KEY_STR") || key.contains(u"PASSWORD");
}

QList<SettingDifference> CompareSettings(const NodeSettings& node, const NodeSettings& other) {
    const QString model = ValueOf(node, "MODEL");
    const NodeSettings merged = Merged(node, other);
    QList<SettingDifference> differences;
    for (const GroupInfo& info : SettingsGroups()) {
        if (!GroupApplies(info.group, model)) {
            continue;
        }
        for (const QString& key : GroupKeys(info.group, other)) {
            const std::optional<QString> mine = SettingValue(node, key);
            const std::optional<QString> theirs = SettingValue(other, key);
            if (mine && theirs && *mine != *theirs) {
                differences.append(
                    {key, *mine, *theirs, info.group, Offered(node, key, *theirs, merged)});
            }
        }
    }
    return differences;
}

NodeSettings Merged(const NodeSettings& node, const NodeSettings& other) {
    NodeSettings merged = node;
    for (auto& [key, value] : merged) {
        if (const std::optional<QString> theirs = SettingValue(other, key)) {
            value = *theirs;
        }
    }
    return merged;
}

RestorePlan PlanRestore(const NodeSettings& node, const NodeSettings& other,
                        const QList<SettingsGroup>& chosen, bool nodeOnWire) {
    const QList<SettingDifference> differences = CompareSettings(node, other);
    const NodeSettings merged = Merged(node, other);
    RestorePlan plan;
    for (const GroupInfo& info : SettingsGroups()) {
        if (!chosen.contains(info.group)) {
            continue;
        }
        QList<SettingDifference> mine;
        std::copy_if(differences.begin(), differences.end(), std::back_inserter(mine),
                     [&info](const SettingDifference& d) { return d.group == info.group; });
        if (mine.isEmpty()) {
            continue;
        }
        const bool allOffered = std::all_of(mine.begin(), mine.end(),
                                            [](const SettingDifference& d) { return d.offered; });
        if (allOffered) {
            plan.sends.append({info.group, GroupLines(info.group, merged)});
        } else {
            std::copy_if(mine.begin(), mine.end(), std::back_inserter(plan.notOffered),
                         [](const SettingDifference& d) { return !d.offered; });
        }
    }
    const auto leaves = [](const GroupSend& send) { return Group(send.group).leavesNetwork; };
    if (!nodeOnWire && std::count_if(plan.sends.begin(), plan.sends.end(), leaves) > 1) {
        for (const GroupSend& send : plan.sends) {
            if (leaves(send)) {
                plan.onWireOnly.append(send.group);
            }
        }
        plan.sends.removeIf(leaves);
    }
    return plan;
}
