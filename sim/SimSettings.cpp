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
        for (const char* key :
             {"NODE_TYPE", "MAC_TYPE", "NOTCHES", "DISTORTION_CONTROL", "MCAST_IGMP"})
            choice(key, Group::Free, QString(key) + "_OPTIONS");
        choice("DEFAULT_PRIO", Group::Free, "PRIO_OPTIONS");
        choice("IP_CONFIG_NVRAM", Group::Free, "IP_CONFIG_OPTIONS");
        choice("ENCRYPT_TYPE", Group::Crypto, "ENCRYPT_TYPE_OPTIONS");
        choice("ENCRYPT_AES_TYPE", Group::Crypto, "ENCRYPT_AES_TYPE_OPTIONS");
        choice("ENCRYPT_KEY_LENGTH", Group::Crypto, "ENCRYPT_AES_LENGTH_OPTIONS");
        choice("KALDOR_VLAN_CONFIG", Group::Vlan, "KALDOR_VLAN_CONFIG_OPTIONS");
        choice("KALDOR_VLAN_PRIO", Group::Vlan, "KALDOR_VLAN_PRIO_OPTIONS");
        choice("CRITERION_0", Group::Criterion0, "CRITERION_OPTIONS");
        choice("CRITERION_1", Group::Criterion1, "CRITERION_OPTIONS");
        choice("FLUP_PROTOCOL", Group::FirmwareUpdate, "FLUP_PROTOCOL_OPTIONS");
        choice("FLUP_SECTION", Group::FirmwareUpdate, "FLUP_SECTION_OPTIONS");
        // Commas and quotes would break the connection lists other nodes report.
        text("NET_ID_STR", Group::Free, 32, ",'");
        text("ENCRYPT_KEY_STR", Group::Free, 64, {});
        text("FLUP_LOGIN", Group::FirmwareUpdate, 32, {});
        text("FLUP_PASSWORD", Group::FirmwareUpdate, 32, {});
        text("FLUP_FILENAME", Group::FirmwareUpdate, 64, "/\\");
        for (const char* key : {"IP_ADDR_NVRAM", "NETMASK_NVRAM", "GATEWAY_NVRAM"})
            r.insert(key, Rule{Group::Free, Kind::Address, {}, 0, {}});
        r.insert("FLUP_IP_ADDR", Rule{Group::FirmwareUpdate, Kind::Address, {}, 0, {}});
        r.insert("KALDOR_VLAN_TAG", Rule{Group::Vlan, Kind::VlanTag, {}, 0, {}});
        return r;
    }();
    return rules;
}

const QHash<QString, Confirmation>& confirmations() {
    static const QHash<QString, Confirmation> c{
        {"CRYPTO_OK", {Group::Crypto, "Ok"}},
        {"KALDOR_VLAN_OK", {Group::Vlan, "ok"}},
        {"CRITERION_0_OK", {Group::Criterion0, "Ok"}},
        {"CRITERION_1_OK", {Group::Criterion1, "Ok"}},
        {"FLUP_OK", {Group::FirmwareUpdate, "Ok"}},
    };
    return c;
}

QString confirmationLine(Group g) {
    for (auto it = confirmations().begin(); it != confirmations().end(); ++it) {
        if (it.value().group == g)
            return it.key() + "=" + it.value().value;
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
        "^CUSTOM_([01])_(OFFSET|PATTERN|BITMASK|CLASS_OFFSET|CLASS_BITMASK|"
        "CLASS_PATTERN_([0-7])|CLASS_PRIO_([0-7]))$");
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
        target = QString("CUSTOM_%1_%2").arg(n).arg(pattern ? "CLASS_PATTERN" : "CLASS_PRIO");
        return pattern ? Rule{g, Kind::ClassPattern, {}, 0, {}}
                       : Rule{g, Kind::ClassPrio, "PRIO_OPTIONS", 0, {}};
    }
    return Rule{g, field.endsWith("OFFSET") ? Kind::Offset : Kind::Hex, {}, 0, {}};
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
    return QString("'%1' is not an option of %2 (options: %3)").arg(value, key, options.join(", "));
}

QString checkText(const QString& key, const QString& value, const Rule& rule) {
    if (value.size() > rule.maxLength)
        return QString("%1 takes at most %2 characters").arg(key).arg(rule.maxLength);
    for (QChar c : rule.forbidden) {
        if (value.contains(c))
            return QString("%1 must not contain the character %2").arg(key, QString(c));
    }
    return {};
}

bool isIpv4(const QString& value) {
    static const QRegularExpression dotted("^[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}\\.[0-9]{1,3}$");
    if (!dotted.match(value).hasMatch())
        return false;
    for (const QString& part : value.split('.')) {
        if (part.toInt() > 255)
            return false;
    }
    return true;
}

// Checks one value; on success returns the text the node stores.
QString normalised(const Pending& p, const QString& key, const QString& value, const Rule& rule,
                   QString* error) {
    static const QRegularExpression digits("^[0-9]{1,5}$");
    static const QRegularExpression hex("^[0-9A-Fa-f]{1,16}$");
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
                *error = QString("'%1' is not an IPv4 address (%2)").arg(value, key);
            return value;
        case Kind::VlanTag:
            if (!digits.match(value).hasMatch() || value.toInt() < 2 || value.toInt() > 4094)
                *error = QString("VLAN tag '%1' is outside 2 to 4094").arg(value);
            return QString::number(value.toInt());
        case Kind::Offset:
            if (!digits.match(value).hasMatch() || value.toInt() > 1517)
                *error = QString("%1 must be a byte offset from 0 to 1517").arg(key);
            return QString::number(value.toInt());
        case Kind::Hex:
        case Kind::ClassPattern:
            if (!hex.match(value).hasMatch())
                *error = QString("%1 must be 1 to 16 hexadecimal digits").arg(key);
            return paddedHex(value);
    }
    return value;
}

QString applyRule(Pending& p, const QString& key, const QString& value, const Rule& rule,
                  const QString& target, int index) {
    QString error;
    // An emptied tag box keeps the stored tag (checked again if VLAN is on).
    if (rule.kind == Kind::VlanTag && value.isEmpty())
        return {};
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
        pieces << (rule.kind == Kind::ClassPrio ? "0" : paddedHex("0"));
    pieces[index] = stored;
    p.params[target] = quotedList(pieces);
    return {};
}

QString applyConfirmation(Pending& p, const QString& key, const QString& value) {
    const Confirmation c = confirmations().value(key);
    if (value != c.value)
        return QString("the confirmation line must read %1=%2").arg(key, c.value);
    p.confirmed.insert(c.group);
    return {};
}

QString applyAction(Pending& p, const QString& key, const QString& value) {
    if (value != "Ok")
        return QString("the confirmation line must read %1=Ok").arg(key);
    (key == "HW_RESET_OK" ? p.reset : p.layer2Upgrade) = true;
    return {};
}

QString applyNewPassword(Pending& p, const QString& value) {
    if (value.isEmpty() || value.size() > 20)
        return "NEWPASSWORD takes 1 to 20 characters";
    p.newPassword = value;
    return {};
}

QString applyLine(Pending& p, const QString& key, const QString& value) {
    if (p.seen.contains(key))
        return QString("%1 is given twice").arg(key);
    p.seen.insert(key);
    if (hasControlCharacter(value))
        return QString("the value of %1 holds a control character").arg(key);
    if (confirmations().contains(key))
        return applyConfirmation(p, key, value);
    if (key == "HW_RESET_OK" || key == "FLUP_L2_OK")
        return applyAction(p, key, value);
    if (key == "NEWPASSWORD")
        return applyNewPassword(p, value);
    if (plainRules().contains(key))
        return applyRule(p, key, value, plainRules().value(key), key, -1);
    QString target;
    int index = -1;
    if (const std::optional<Rule> rule = customRule(key, target, index))
        return applyRule(p, key, value, *rule, target, index);
    if (p.params.contains(key) || key.startsWith("PLC_CONNECTION_"))
        return QString("%1 cannot be changed").arg(key);
    return QString("unknown parameter %1").arg(key);
}

QString checkConfirmations(const Pending& p) {
    for (Group g : p.touched) {
        if (g != Group::Free && !p.confirmed.contains(g))
            return QString("these settings are applied only with the line %1")
                .arg(confirmationLine(g));
    }
    return {};
}

// The three encryption settings must describe one mode the node can run.
QString settleEncryption(Pending& p) {
    if (!p.confirmed.contains(Group::Crypto))
        return {};
    Parameters& q = p.params;
    const QString type = q.value("ENCRYPT_TYPE");
    if (type == "AES") {
        if (q.value("ENCRYPT_AES_TYPE") == "None")
            return "AES needs an ENCRYPT_AES_TYPE other than None";
        if (q.value("ENCRYPT_KEY_LENGTH") == "168")
            return "AES takes a key length of 128, 192 or 256";
        return {};
    }
    if (type == "3DES" && p.seen.contains("ENCRYPT_KEY_LENGTH") &&
        q.value("ENCRYPT_KEY_LENGTH") != "168")
        return "3DES takes a key length of 168";
    if (type == "3DES")
        q["ENCRYPT_KEY_LENGTH"] = "168";
    q["ENCRYPT_AES_TYPE"] = "None";
    return {};
}

// A criterion that is not custom forgets its custom fields.
void settleCriteria(Pending& p, const QString& model, const QString& mac) {
    const Parameters factory = factoryParameters(model, mac);
    for (int n = 0; n < 2; ++n) {
        if (!p.confirmed.contains(criterionGroup(n)) ||
            p.params.value(QString("CRITERION_%1").arg(n)) == "Custom")
            continue;
        const QString prefix = QString("CUSTOM_%1_").arg(n);
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
    if (p.params.value("KALDOR_VLAN_CONFIG") == "Enabled") {
        const int tag = p.params.value("KALDOR_VLAN_TAG").toInt();
        if (tag < 2 || tag > 4094)
            return "VLAN tagging needs a tag from 2 to 4094";
    }
    settleCriteria(p, node.params.value("MODEL"), node.mac);
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
    outcome.networkChanged =
        p.params.value("NET_ID_STR") != node.params.value("NET_ID_STR") ||
        p.params.value("ENCRYPT_KEY_STR") != node.params.value("ENCRYPT_KEY_STR");
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
    q["NUM_BOOTS"] = QString::number(q.value("NUM_BOOTS").toLongLong() + 1);
    for (const char* key : {"IP_CONFIG", "IP_ADDR", "NETMASK", "GATEWAY"})
        q[key] = q.value(QString(key) + "_NVRAM", q.value(key));
    restartFirmware(node);
    node.restartUntilMs = nowMs + scaledMs(net, node.restartMs);
}

void factoryReset(Network& net, Node& node, qint64 nowMs) {
    // The firmware stays what it is; everything else leaves as from the factory.
    restartFirmware(node);
    const QString version = node.params.value("VER");
    node.params = factoryParameters(node.params.value("MODEL"), node.mac);
    node.params["VER"] = version;
    node.password = kDefaultPassword;
    node.restartUntilMs = nowMs + scaledMs(net, node.factoryResetRestartMs);
}

}  // namespace kaldorsim
