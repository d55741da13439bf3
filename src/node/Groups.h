#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "channel/Backup.h"

// The settings a node takes together: each group is what one update button
// of the advanced window sends, with the same keys and confirmation lines.
// Restores, comparisons and the command line use the same groups.
enum class SettingsGroup {
    Address,     // IP settings, taken when the node restarts
    Ethernet,    // MAC type and node type
    PowerLine,   // notches and distortion control
    Multicast,   // IGMP
    Vlan,        // tagging, tag and priority
    Criterion1,  // first QoS classification criterion
    Criterion2,  // second QoS classification criterion
    Encryption,  // encryption mode and key, on models that encrypt with AES
    Key,         // the encryption key alone, on the other models
    NetworkId,   // network identifier
};

struct GroupInfo {
    SettingsGroup group;
    // The command line's name of the group, and its caption key in the windows.
    const char* name;
    const char* captionKey;
    const char* caption;  // the English caption, for catalogues without the key
    // A node may take the group and leave its network, answering 3.
    bool leavesNetwork;
    // The node takes the group's settings only when it starts again.
    bool restartAfter;
};

// Every group in the order a restore sends them: the groups that decide the
// network a node belongs to come last, so the node stays reachable as long
// as possible.
const QList<GroupInfo>& SettingsGroups();
const GroupInfo& Group(SettingsGroup group);
// The group's caption in the user's language.
QString GroupCaption(SettingsGroup group);

// The lines of each update button, after a POST's two header lines.
QStringList AddressLines(const QString& mode, const QString& address, const QString& mask,
                         const QString& gateway);
QStringList EthernetLines(const QString& macType, const QString& nodeType);
QStringList PowerLineLines(const QString& notches, const QString& distortion);
QStringList MulticastLines(const QString& igmp);
QStringList VlanLines(const QString& mode, const QString& tag, const QString& priority);
QStringList EncryptionLines(const QString& type, const QString& aesType, const QString& length,
                            const QString& key);
QStringList KeyLines(const QString& key);
QStringList NetworkIdLines(const QString& networkId);

// Whether the group belongs to a node of this model: the catalogue names the
// models that encrypt with AES, which have the encryption group; the others
// have the key group.
bool GroupApplies(SettingsGroup group, const QString& model);

// The settings of a read that the group compares, as a read names them: the
// ones its update button would send for these values (a criterion's custom
// fields only when the criterion is custom, for instance).
QStringList GroupKeys(SettingsGroup group, const NodeSettings& values);

// The group's lines that give a node these values.
QStringList GroupLines(SettingsGroup group, const NodeSettings& values);

// The group of a setting a read answers; nothing for a setting that only
// reports (model, MAC, firmware, boot count, download state, option lists,
// the running IP settings) or that no update button sends.
std::optional<SettingsGroup> GroupOfKey(QStringView key);

// Keys whose values open the node or the network: the encryption key and
// every password the node reports. Shown masked.
bool IsSecretKey(QStringView key);

// One setting on which a node and a reference (a backup or another node)
// differ. offered is false when the node does not list the reference's value
// among its options: such a value cannot be sent.
struct SettingDifference {
    QString key;
    QString nodeValue;
    QString otherValue;
    SettingsGroup group = SettingsGroup::Address;
    // The node takes the value: one of its options, and one the group's update
    // button would send with the other values (a VLAN tag in range, encryption
    // only with a network identifier).
    bool offered = true;

    friend bool operator==(const SettingDifference&, const SettingDifference&) = default;
};

// The settings of the node's groups that differ from the reference, in the
// groups' order and the node's order within a group. A setting either side
// lacks is not compared.
QList<SettingDifference> CompareSettings(const NodeSettings& node, const NodeSettings& other);

// The settings with the reference's values in place of the node's.
NodeSettings Merged(const NodeSettings& node, const NodeSettings& other);

// What a restore sends: the chosen groups that differ, each in one request,
// in the groups' order; a group with a value the node does not offer is not
// sent and its values are listed. A node reached over the powerline leaves
// its network with the first group that changes its membership, so when
// several of those differ none is sent: they can only go together to the node
// on the wire.
struct GroupSend {
    SettingsGroup group;
    QStringList lines;
};
struct RestorePlan {
    QList<GroupSend> sends;
    QList<SettingDifference> notOffered;
    QList<SettingsGroup> onWireOnly;
};
RestorePlan PlanRestore(const NodeSettings& node, const NodeSettings& other,
                        const QList<SettingsGroup>& chosen, bool nodeOnWire);
