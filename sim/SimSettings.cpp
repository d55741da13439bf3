#include "SimSettings.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include "SimFirmware.h"
#include "SimModels.h"

namespace kaldorsim {

namespace {

// Settings that belong together are applied only with their confirmation line.
enum class Group { Free, Crypto, Vlan, Criterion0, Criterion1, FirmwareUpdate };

enum class Kind { Choice, Text, Address, VlanTag, Offset, Hex, ClassPattern, ClassPrio };

struct Rule {
    Group group = Group::Free;
    Kind kind = Kind::Text;
    QString optionsKey;  // Choice: the option list; ClassPrio: the priority list
    int maxLength = 0;   // Text
    QString forbidden;   // Text: characters the node refuses
};

struct Confirmation {
    Group group;
    QString value;
};

// The request being checked: a working copy of the parameters and what the
// lines asked for. Nothing reaches the node until every line has passed.
struct Pending {
    Parameters params;
    QSet<Group> touched;
    QSet<Group> confirmed;
    QSet<QString> seen;
    bool reset = false;
    bool layer2Upgrade = false;
    std::optional<QString> newPassword;
};

const QHash<QString, Rule>& plainRules() {
    static const QHash<QString, Rule> rules = [] {
        QHash<QString, Rule> r;
        auto choice = [&r](const QString& key, Group g, const QString& options) {
            r.insert(key, Rule{g, Kind::Choice, options, 0, {}});
        };
        auto text = [&r](const QString& key, Group g, int maxLength, const QString& forbidden) {
            r.insert(key, Rule{g, Kind::Text, {}, maxLength, forbidden});
        };
        for (const QString& key :
             {QStringLiteral("NODE_TYPE"), QStringLiteral("MAC_TYPE"), QStringLiteral("NOTCHES"),
              QStringLiteral("DISTORTION_CONTROL"), QStringLiteral("MCAST_IGMP")})
            choice(key, Group::Free, key + QLatin1String("_OPTIONS"));
        choice(QStringLiteral("DEFAULT_PRIO"), Group::Free, QStringLiteral("PRIO_OPTIONS"));
        choice(QStringLiteral("IP_CONFIG_NVRAM"), Group::Free, QStringLiteral("IP_CONFIG_OPTIONS"));
        choice(QStringLiteral("ENCRYPT_TYPE"), Group::Crypto,
               QStringLiteral("ENCRYPT_TYPE_OPTIONS"));
        choice(QStringLiteral("ENCRYPT_AES_TYPE"), Group::Crypto,
               QStringLiteral("ENCRYPT_AES_TYPE_OPTIONS"));
        choice(QStringLiteral("ENCRYPT_KEY_LENGTH"), Group::Crypto,
               QStringLiteral("ENCRYPT_AES_LENGTH_OPTIONS"));
        choice(QStringLiteral("KALDOR_VLAN_CONFIG"), Group::Vlan,
               QStringLiteral("KALDOR_VLAN_CONFIG_OPTIONS"));
        choice(QStringLiteral("KALDOR_VLAN_PRIO"), Group::Vlan,
               QStringLiteral("KALDOR_VLAN_PRIO_OPTIONS"));
        choice(QStringLiteral("CRITERION_0"), Group::Criterion0,
               QStringLiteral("CRITERION_OPTIONS"));
        choice(QStringLiteral("CRITERION_1"), Group::Criterion1,
               QStringLiteral("CRITERION_OPTIONS"));
        choice(QStringLiteral("FLUP_PROTOCOL"), Group::FirmwareUpdate,
               QStringLiteral("FLUP_PROTOCOL_OPTIONS"));
        choice(QStringLiteral("FLUP_SECTION"), Group::FirmwareUpdate,
               QStringLiteral("FLUP_SECTION_OPTIONS"));
        // Commas and quotes would break the connection lists other nodes report.
        text(QStringLiteral("NET_ID_STR"), Group::Free, 32, QStringLiteral(",'"));
        text(QStringLiteral("ENCRYPT_KEY_STR"), Group::Free, 64, {});
        text(QStringLiteral("FLUP_LOGIN"), Group::FirmwareUpdate, 32, {});
        text(QStringLiteral("FLUP_PASSWORD"), Group::FirmwareUpdate, 32, {});
        text(QStringLiteral("FLUP_FILENAME"), Group::FirmwareUpdate, 64, QStringLiteral("/\\"));
        for (const QString& key : {QStringLiteral("IP_ADDR_NVRAM"), QStringLiteral("NETMASK_NVRAM"),
                                   QStringLiteral("GATEWAY_NVRAM")})
            r.insert(key, Rule{Group::Free, Kind::Address, {}, 0, {}});
        r.insert(QStringLiteral("FLUP_IP_ADDR"),
                 Rule{Group::FirmwareUpdate, Kind::Address, {}, 0, {}});
        r.insert(QStringLiteral("KALDOR_VLAN_TAG"), Rule{Group::Vlan, Kind::VlanTag, {}, 0, {}});
        return r;
    }();
    return rules;
}

const QHash<QString, Confirmation>& confirmations() {
    static const QHash<QString, Confirmation> c{
        {QStringLiteral("CRYPTO_OK"), {Group::Crypto, QStringLiteral("Ok")}},
        {QStringLiteral("KALDOR_VLAN_OK"), {Group::Vlan, QStringLiteral("ok")}},
        {QStringLiteral("CRITERION_0_OK"), {Group::Criterion0, QStringLiteral("Ok")}},
        {QStringLiteral("CRITERION_1_OK"), {Group::Criterion1, QStringLiteral("Ok")}},
        {QStringLiteral("FLUP_OK"), {Group::FirmwareUpdate, QStringLiteral("Ok")}},
    };
    return c;
}

QString confirmationLine(Group g) {
    for (auto it = confirmations().begin(); it != confirmations().end(); ++it) {
        if (it.value().group == g)
            return it.key() + QLatin1Char('=') + it.value().value;
    }
    return {};
}

Group criterionGroup(int n) {
    return n == 0 ? Group::Criterion0 : Group::Criterion1;
}

// CUSTOM_<n>_<field> keys of the two classification criteria; `target` is the
// parameter the line writes and `index` the class entry for the per-class keys.
std::optional<Rule> customRule(const QString& key, QString& target, int& index) {
    static const QRegularExpression custom(
        QStringLiteral("^CUSTOM_([01])_(OFFSET|PATTERN|BITMASK|CLASS_OFFSET|CLASS_BITMASK|"
                       "CLASS_PATTERN_([0-7])|CLASS_PRIO_([0-7]))$"));
    const QRegularExpressionMatch m = custom.match(key);
    if (!m.hasMatch())
        return std::nullopt;
    const int n = m.captured(1).toInt();
    const QString field = m.captured(2);
    const Group g = criterionGroup(n);
    target = key;
    index = -1;
    if (!m.captured(3).isEmpty() || !m.captured(4).isEmpty()) {
        const bool pattern = !m.captured(3).isEmpty();
        index = (pattern ? m.captured(3) : m.captured(4)).toInt();
        target = QStringLiteral("CUSTOM_%1_%2")
                     .arg(n)
                     .arg(pattern ? QStringLiteral("CLASS_PATTERN") : QStringLiteral("CLASS_PRIO"));
        return pattern ? Rule{g, Kind::ClassPattern, {}, 0, {}}
                       : Rule{g, Kind::ClassPrio, QStringLiteral("PRIO_OPTIONS"), 0, {}};
    }
    return Rule{g, field.endsWith(QStringLiteral("OFFSET")) ? Kind::Offset : Kind::Hex, {}, 0, {}};
}

bool hasControlCharacter(const QString& value) {
    for (QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    }
    return false;
}

QString checkChoice(const Pending& p, const QString& key, const QString& value,
                    const QString& optionsKey) {
    const QStringList options = optionsOf(p.params, optionsKey);
    if (options.contains(value))
        return {};
    return QStringLiteral("'%1' is not an option of %2 (options: %3)")
        .arg(value, key, options.join(QStringLiteral(", ")));
}

QString checkText(const QString& key, const QString& value, const Rule& rule) {
    if (value.size() > rule.maxLength)
        return QStringLiteral("%1 takes at most %2 characters").arg(key).arg(rule.maxLength);
    for (QChar c : rule.forbidden) {
        if (value.contains(c))
            return QStringLiteral("%1 must not contain the character %2").arg(key, QString(c));
    }
    return {};
}

bool isIpv4(const QString& value) {
    static const QRegularExpression dotted(
        QStringLiteral("^[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}$"));
    if (!dotted.match(value).hasMatch())
        return false;
    for (const QString& part : value.split(QLatin1Char('.'))) {
        if (part.toInt() > 255)
            return false;
    }
    return true;
}

// Checks one value; on success returns the text the node stores.
QString normalised(const Pending& p, const QString& key, const QString& value, const Rule& rule,
                   QString* error) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{1,16}$"));
    switch (rule.kind) {
        case Kind::Choice:
        case Kind::ClassPrio:
            *error = checkChoice(p, key, value, rule.optionsKey);
            return value;
        case Kind::Text:
            *error = checkText(key, value, rule);
            return value;
        case Kind::Address:
            if (!isIpv4(value))
                *error = QStringLiteral("'%1' is not an IPv4 address (%2)").arg(value, key);
            return value;
        case Kind::VlanTag:
            if (!digits.match(value).hasMatch() || value.toInt() < 2 || value.toInt() > 4094)
                *error = QStringLiteral("VLAN tag '%1' is outside 2 to 4094").arg(value);
            return QString::number(value.toInt());
        case Kind::Offset:
            if (!digits.match(value).hasMatch() || value.toInt() > 1517)
                *error = QStringLiteral("%1 must be a byte offset from 0 to 1517").arg(key);
            return QString::number(value.toInt());
        case Kind::Hex:
        case Kind::ClassPattern:
            if (!hex.match(value).hasMatch())
                *error = QStringLiteral("%1 must be 1 to 16 hexadecimal digits").arg(key);
            return paddedHex(value);
    }
    return value;
}

QString applyRule(Pending& p, const QString& key, const QString& value, const Rule& rule,
                  const QString& target, int index) {
    QString error;
    if (!p.params.contains(target))
        return QStringLiteral("unknown parameter %1").arg(key);
    const QString stored = normalised(p, key, value, rule, &error);
    if (!error.isEmpty())
        return error;
    p.touched.insert(rule.group);
    if (index < 0) {
        p.params[target] = stored;
        return {};
    }
    QStringList pieces = unquotedList(p.params.value(target));
    while (pieces.size() < 8)
        pieces << (rule.kind == Kind::ClassPrio ? QStringLiteral("0")
                                                : paddedHex(QStringLiteral("0")));
    pieces[index] = stored;
    p.params[target] = quotedList(pieces);
    return {};
}

QString applyConfirmation(Pending& p, const QString& key, const QString& value) {
    const Confirmation c = confirmations().value(key);
    if (value != c.value)
        return QStringLiteral("the confirmation line must read %1=%2").arg(key, c.value);
    p.confirmed.insert(c.group);
    return {};
}

QString applyAction(Pending& p, const QString& key, const QString& value) {
    if (value != QStringLiteral("Ok"))
        return QStringLiteral("the confirmation line must read %1=Ok").arg(key);
    (key == QStringLiteral("HW_RESET_OK") ? p.reset : p.layer2Upgrade) = true;
    return {};
}

QString applyNewPassword(Pending& p, const QString& value) {
    if (value.isEmpty() || value.size() > 20)
        return QStringLiteral("NEWPASSWORD takes 1 to 20 characters");
    p.newPassword = value;
    return {};
}

QString applyLine(Pending& p, const QString& key, const QString& value) {
    if (p.seen.contains(key))
        return QStringLiteral("%1 is given twice").arg(key);
    p.seen.insert(key);
    if (hasControlCharacter(value))
        return QStringLiteral("the value of %1 holds a control character").arg(key);
    if (confirmations().contains(key))
        return applyConfirmation(p, key, value);
    if (key == QStringLiteral("HW_RESET_OK") || key == QStringLiteral("FLUP_L2_OK"))
        return applyAction(p, key, value);
    if (key == QStringLiteral("NEWPASSWORD"))
        return applyNewPassword(p, value);
    if (plainRules().contains(key))
        return applyRule(p, key, value, plainRules().value(key), key, -1);
    QString target;
    int index = -1;
    if (const std::optional<Rule> rule = customRule(key, target, index))
        return applyRule(p, key, value, *rule, target, index);
    if (p.params.contains(key) || key.startsWith(QStringLiteral("PLC_CONNECTION_")))
        return QStringLiteral("%1 cannot be changed").arg(key);
    return QStringLiteral("unknown parameter %1").arg(key);
}

QString checkConfirmations(const Pending& p) {
    for (Group g : p.touched) {
        if (g != Group::Free && !p.confirmed.contains(g))
            return QStringLiteral("these settings are applied only with the line %1")
                .arg(confirmationLine(g));
    }
    return {};
}

// The three encryption settings must describe one mode the node can run.
QString settleEncryption(Pending& p) {
    if (!p.confirmed.contains(Group::Crypto))
        return {};
    Parameters& q = p.params;
    const QString type = q.value(QStringLiteral("ENCRYPT_TYPE"));
    if (type == QStringLiteral("AES")) {
        if (q.value(QStringLiteral("ENCRYPT_AES_TYPE")) == QStringLiteral("None"))
            return QStringLiteral("AES needs an ENCRYPT_AES_TYPE other than None");
        if (q.value(QStringLiteral("ENCRYPT_KEY_LENGTH")) == QStringLiteral("168"))
            return QStringLiteral("AES takes a key length of 128, 192 or 256");
        return {};
    }
    if (type == QStringLiteral("3DES") && p.seen.contains(QStringLiteral("ENCRYPT_KEY_LENGTH")) &&
        q.value(QStringLiteral("ENCRYPT_KEY_LENGTH")) != QStringLiteral("168"))
        return QStringLiteral("3DES takes a key length of 168");
    if (type == QStringLiteral("3DES"))
        q[QStringLiteral("ENCRYPT_KEY_LENGTH")] = QStringLiteral("168");
    q[QStringLiteral("ENCRYPT_AES_TYPE")] = QStringLiteral("None");
    return {};
}

// A criterion that is not custom forgets its custom fields.
void settleCriteria(Pending& p, const QString& model, const QString& mac) {
    const Parameters factory = factoryParameters(model, mac);
    for (int n = 0; n < 2; ++n) {
        if (!p.confirmed.contains(criterionGroup(n)) ||
            p.params.value(QStringLiteral("CRITERION_%1").arg(n)) == QStringLiteral("Custom"))
            continue;
        const QString prefix = QStringLiteral("CUSTOM_%1_").arg(n);
        for (auto it = factory.begin(); it != factory.end(); ++it) {
            if (it.key().startsWith(prefix))
                p.params[it.key()] = it.value();
        }
    }
}

QString settle(Pending& p, const Node& node) {
    QString error = checkConfirmations(p);
    if (error.isEmpty())
        error = settleEncryption(p);
    if (!error.isEmpty())
        return error;
    // Also a stored tag out of range, whether tagging is on or off.
    if (p.touched.contains(Group::Vlan)) {
        const int tag = p.params.value(QStringLiteral("KALDOR_VLAN_TAG")).toInt();
        if (tag < 2 || tag > 4094)
            return QStringLiteral("a VLAN tag must be from 2 to 4094");
    }
    settleCriteria(p, node.params.value(QStringLiteral("MODEL")), node.mac);
    return {};
}

}  // namespace

SettingsOutcome applySettings(Node& node, const SettingLines& lines) {
    SettingsOutcome outcome;
    Pending p;
    p.params = node.params;
    for (const auto& [key, value] : lines) {
        outcome.error = applyLine(p, key, value);
        if (!outcome.error.isEmpty())
            return outcome;
    }
    outcome.error = settle(p, node);
    if (!outcome.error.isEmpty())
        return outcome;
    outcome.networkChanged = p.params.value(QStringLiteral("NET_ID_STR")) !=
                                 node.params.value(QStringLiteral("NET_ID_STR")) ||
                             p.params.value(QStringLiteral("ENCRYPT_KEY_STR")) !=
                                 node.params.value(QStringLiteral("ENCRYPT_KEY_STR"));
    for (const QString& key : {QStringLiteral("NET_ID_STR"), QStringLiteral("ENCRYPT_KEY_STR"),
                               QStringLiteral("ENCRYPT_TYPE"), QStringLiteral("ENCRYPT_AES_TYPE"),
                               QStringLiteral("ENCRYPT_KEY_LENGTH"), QStringLiteral("NODE_TYPE")})
        outcome.settles |= p.params.value(key) != node.params.value(key);
    outcome.hardwareReset = p.reset;
    outcome.layer2Upgrade = p.layer2Upgrade;
    outcome.fileUpdate = p.confirmed.contains(Group::FirmwareUpdate);
    node.params = p.params;
    if (p.newPassword)
        node.password = *p.newPassword;
    return outcome;
}

void hardwareReset(Network& net, Node& node, qint64 nowMs) {
    Parameters& q = node.params;
    q[QStringLiteral("NUM_BOOTS")] =
        QString::number(q.value(QStringLiteral("NUM_BOOTS")).toLongLong() + 1);
    for (const QString& key : {QStringLiteral("IP_CONFIG"), QStringLiteral("IP_ADDR"),
                               QStringLiteral("NETMASK"), QStringLiteral("GATEWAY")})
        q[key] = q.value(key + QLatin1String("_NVRAM"), q.value(key));
    restartFirmware(node);
    node.restartUntilMs = nowMs + scaledMs(net, node.restartMs);
}

void factoryReset(Network& net, Node& node, qint64 nowMs) {
    // The firmware stays what it is; everything else leaves as from the factory.
    restartFirmware(node);
    const QString version = node.params.value(QStringLiteral("VER"));
    node.params = factoryParameters(node.params.value(QStringLiteral("MODEL")), node.mac);
    node.params[QStringLiteral("VER")] = version;
    node.password = kDefaultPassword;
    node.restartUntilMs = nowMs + scaledMs(net, node.factoryResetRestartMs);
}

}  // namespace kaldorsim
