#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>
#include <algorithm>

#include "Cli.h"
#include "Terminal.h"
#include "app/Application.h"
#include "app/TextFiles.h"
#include "channel/Backup.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"
#include "node/Groups.h"
#include "node/NodeAccess.h"
#include "node/Walk.h"

namespace {

struct Command {
    const char* name;
    const char* synopsis;
    const char* help;
    int minArgs;
    int maxArgs;  // -1: no limit
    Result (*run)(const Options&);
};

const QString kMask = QStringLiteral("********");

// --- common steps -----------------------------------------------------------

std::optional<QString> NormalizedMac(QString text) {
    text.remove(QLatin1Char(':')).remove(QLatin1Char('-'));
    text = text.toUpper();
    static const QRegularExpression mac(QStringLiteral("^[0-9A-F]{12}$"));
    return mac.match(text).hasMatch() ? std::optional(text) : std::nullopt;
}

QString Shown(const Options& o, const QString& key, const QString& value) {
    return IsSecretKey(key) && !o.showSecrets ? kMask : value;
}

QString GivenPassword(const Options& o) {
    if (o.password) {
        return *o.password;
    }
    const QString env = qEnvironmentVariable("KALDOR_PASSWORD");
    return env.isEmpty() ? GetText(QStringLiteral("defaultpassword")) : env;
}

// Finds the local node, which also gives the client its interface; every node
// command starts here.
std::optional<Result> Connect(const Options& o) {
    SessionState& s = Session();
    for (const QString& tool :
         {QStringLiteral("MacDiscover.exe"), QStringLiteral("ihcp_client.exe")}) {
        if (FindTool(tool).isEmpty()) {
            return Failure(kExitNoNode, QStringLiteral("the tool %1 is missing from the work "
                                                       "folder %2")
                                            .arg(tool, s.WorkDir));
        }
    }
    SetProgressLabel(s.lblDiscoverMac);
    const DiscoveryFile found = FindLocalNode();
    if (!found.found) {
        return Failure(kExitNoNode, QStringLiteral("no local node found on this computer's "
                                                   "network interfaces"));
    }
    if (o.interfaceNumber) {
        s.InterfaceNumber = static_cast<qint16>(*o.interfaceNumber);
    }
    s.NodePassword = GivenPassword(o);
    return std::nullopt;
}

// The failure of a node that did not take a request; empty when it did.
std::optional<Result> AnswerFailure(NodeAnswer answer, const QString& mac,
                                    const QString& firstLine = {}) {
    const QString name = NodeName(mac);
    switch (answer) {
        case NodeAnswer::Answered:
            return std::nullopt;
        case NodeAnswer::Refused:
            return Failure(kExitRefused, QStringLiteral("node %1 refused the password").arg(name));
        case NodeAnswer::NoAnswer:
            // The client writes one error line for a node that did not answer and
            // for one that refused the request; it is shown as it came.
            return Failure(
                kExitNoAnswer,
                QStringLiteral("node %1 did not answer").arg(name) +
                    (firstLine.isEmpty() ? QString() : QStringLiteral(": ") + firstLine));
        case NodeAnswer::NotWritten:
            return Failure(kExitFailed, QString());  // the dialog seam has told why
    }
    return std::nullopt;
}

// Reads every setting of the node; a refused password is asked once on a
// terminal.
SettingsRead ReadNode(const QString& mac) {
    SessionState& s = Session();
    s.SelectedMac = mac;
    SetProgressLabel(s.lblConnect + QLatin1Char(' ') + NodeName(mac));
    SettingsRead read = ReadSelectedSettings();
    if (read.answer == NodeAnswer::Refused && StdinIsTerminal()) {
        const QString typed = PromptHidden(GetText(QStringLiteral("lblAskPw")) + QLatin1Char(' ') +
                                           NodeName(mac) + QStringLiteral(": "));
        if (!typed.isEmpty()) {
            s.NodePassword = typed;
            read = ReadSelectedSettings();
        }
    }
    return read;
}

// Connects and reads the node named by the argument.
std::optional<Result> ConnectAndRead(const Options& o, const QString& argument,
                                     SettingsRead& read) {
    const std::optional<QString> mac = NormalizedMac(argument);
    if (!mac) {
        return Failure(kExitBadInput, QStringLiteral("'%1' is no MAC address").arg(argument));
    }
    if (std::optional<Result> failed = Connect(o)) {
        return failed;
    }
    read = ReadNode(*mac);
    return AnswerFailure(read.answer, *mac, read.lines.value(0));
}

QJsonObject SettingsJson(const Options& o, const NodeSettings& settings) {
    QJsonObject json;
    for (const auto& [key, value] : settings) {
        json.insert(key, Shown(o, key, value));
    }
    return json;
}

QString FilePath(const Options& o, const QString& path) {
    return QDir(o.startDir).absoluteFilePath(path);
}

QJsonArray DifferencesJson(const Options& o, const QList<SettingDifference>& differences) {
    QJsonArray json;
    for (const SettingDifference& d : differences) {
        json.append(QJsonObject{{QStringLiteral("group"), QLatin1String(Group(d.group).name)},
                                {QStringLiteral("key"), d.key},
                                {QStringLiteral("a"), Shown(o, d.key, d.nodeValue)},
                                {QStringLiteral("b"), Shown(o, d.key, d.otherValue)},
                                {QStringLiteral("offered"), d.offered}});
    }
    return json;
}

// One heading per group, then one line per setting: KEY  A -> B.
void PrintDifferences(const Options& o, const QList<SettingDifference>& differences) {
    std::optional<SettingsGroup> group;
    for (const SettingDifference& d : differences) {
        if (d.group != group) {
            group = d.group;
            Out(QLatin1String(Group(d.group).name) + QStringLiteral(" (") + GroupCaption(d.group) +
                QStringLiteral("):"));
        }
        Out(QStringLiteral("  %1: %2 -> %3")
                .arg(d.key, Shown(o, d.key, d.nodeValue), Shown(o, d.key, d.otherValue)) +
            (d.offered ? QString() : QStringLiteral("  (not offered)")));
    }
}

QList<SettingsGroup> AllGroups() {
    QList<SettingsGroup> groups;
    for (const GroupInfo& info : SettingsGroups()) {
        groups << info.group;
    }
    return groups;
}

QStringList GroupNames(const QList<SettingsGroup>& groups) {
    QStringList names;
    for (const SettingsGroup g : groups) {
        names << QLatin1String(Group(g).name);
    }
    return names;
}

// Sends the plan's groups. The failure of the first group the node did not
// take, with the groups it took in the JSON document; leftNetwork when a
// remote node took a group that took it out of this computer's network, so
// that it cannot be read again.
std::optional<Result> Send(const RestorePlan& plan, QList<SettingsGroup>& sent, bool& leftNetwork) {
    const SessionState& s = Session();
    SetProgressLabel(s.lblConfiguring);
    const RestoreRun run = RunRestore(plan, s.SelectedMac == s.LocalMac);
    leftNetwork = run.leftNetwork;
    std::optional<Result> failed;
    for (const GroupResult& r : run.results) {
        if (!failed) {
            failed = AnswerFailure(r.answer, s.SelectedMac, r.firstLine);
        }
        if (r.answer == NodeAnswer::Answered) {
            sent << r.group;
        }
    }
    const QList<SettingsGroup> unsent = run.notSent + plan.onWireOnly;
    if (!failed && !unsent.isEmpty()) {
        failed = Failure(kExitFailed,
                         (plan.onWireOnly.isEmpty()
                              ? QStringLiteral("the node left its network; not sent: ")
                              : QStringLiteral("the network settings of a remote node go only "
                                               "together, to the node on the wire; not sent: ")) +
                             GroupNames(unsent).join(QStringLiteral(", ")));
    }
    if (failed) {
        failed->json = {
            {QStringLiteral("mac"), s.SelectedMac},
            {QStringLiteral("sent"), QJsonArray::fromStringList(GroupNames(sent))},
            {QStringLiteral("notSent"), QJsonArray::fromStringList(GroupNames(unsent))}};
    }
    return failed;
}

// Sends the plan, notes in the JSON document what was sent, and reads the
// node again into after. The result to end with at once: a failure, or
// success when a remote node left its network, which nothing reads from here.
std::optional<Result> SendAndReadAgain(const RestorePlan& plan, QList<SettingsGroup>& sent,
                                       QJsonObject& json, SettingsRead& after) {
    const QString mac = Session().SelectedMac;
    bool left = false;
    if (std::optional<Result> failed = Send(plan, sent, left)) {
        return failed;
    }
    json.insert(QStringLiteral("sent"), QJsonArray::fromStringList(GroupNames(sent)));
    if (left) {
        Out(QStringLiteral("node %1 took its new network settings and left this computer's "
                           "network; it is not read again")
                .arg(NodeName(mac)));
        return Result{kExitOk, {}, json};
    }
    after = ReadNode(mac);
    return AnswerFailure(after.answer, mac, after.lines.value(0));
}

// --- commands ---------------------------------------------------------------

Result Discover(const Options& o) {
    if (std::optional<Result> failed = Connect(o)) {
        return *failed;
    }
    SessionState& s = Session();
    if (o.password || !qEnvironmentVariable("KALDOR_PASSWORD").isEmpty()) {
        s.LocalPassword = GivenPassword(o);
    }
    TerminalWalkView view;
    const WalkResult walk = WalkNetwork(view);
    if (walk.end != WalkResult::End::Listed) {
        return Failure(kExitRefused,
                       QStringLiteral("the local node %1 refused the password").arg(s.LocalMac));
    }
    if (walk.nodes.isEmpty()) {
        return Failure(kExitNoAnswer,
                       QStringLiteral("the local node %1 did not answer").arg(s.LocalMac));
    }
    QJsonArray nodes;
    for (const FoundNode& n : walk.nodes) {
        const QString alias = LookupAlias(n.mac);
        const bool answered = !n.password.isEmpty();
        const QString state = n.local    ? QStringLiteral("local")
                              : answered ? QStringLiteral("answered")
                                         : QStringLiteral("-");
        const QString line = n.mac + QStringLiteral("  ") + PadField(n.networkId, 20) +
                             QStringLiteral("  ") + PadField(state, 8) + QStringLiteral("  ") +
                             alias;
        Out(line.trimmed());
        nodes.append(QJsonObject{{QStringLiteral("mac"), n.mac},
                                 {QStringLiteral("networkId"), n.networkId},
                                 {QStringLiteral("alias"), alias},
                                 {QStringLiteral("local"), n.local},
                                 {QStringLiteral("answered"), answered}});
    }
    return {kExitOk,
            {},
            {{QStringLiteral("localMac"), s.LocalMac},
             {QStringLiteral("interface"), s.InterfaceNumber},
             {QStringLiteral("nodes"), nodes}}};
}

Result Show(const Options& o) {
    SettingsRead read;
    if (std::optional<Result> failed = ConnectAndRead(o, o.args[0], read)) {
        return *failed;
    }
    for (const auto& [key, value] : read.settings) {
        Out(key + QLatin1Char('=') + Shown(o, key, value));
    }
    const QString mac = Session().SelectedMac;
    return {kExitOk,
            {},
            {{QStringLiteral("mac"), mac},
             {QStringLiteral("alias"), LookupAlias(mac)},
             {QStringLiteral("settings"), SettingsJson(o, read.settings)}}};
}

Result Get(const Options& o) {
    SettingsRead read;
    if (std::optional<Result> failed = ConnectAndRead(o, o.args[0], read)) {
        return *failed;
    }
    QJsonObject values;
    QStringList lines;
    for (const QString& key : o.args.mid(1)) {
        const std::optional<QString> value = SettingValue(read.settings, key);
        if (!value) {
            return Failure(kExitBadInput, QStringLiteral("node %1 has no setting %2")
                                              .arg(NodeName(Session().SelectedMac), key));
        }
        lines << *value;
        values.insert(key, *value);
    }
    for (const QString& line : std::as_const(lines)) {
        Out(line);
    }
    return {kExitOk,
            {},
            {{QStringLiteral("mac"), Session().SelectedMac}, {QStringLiteral("settings"), values}}};
}

Result Set(const Options& o) {
    NodeSettings given;
    for (const QString& a : o.args.mid(1)) {
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        const QString key = a.left(eq);
        if (eq <= 0) {
            return Failure(kExitBadInput, QStringLiteral("expected KEY=VALUE, not '%1'").arg(a));
        }
        if (!GroupOfKey(key)) {
            return Failure(kExitBadInput,
                           QStringLiteral("%1 is no setting that an update sends").arg(key));
        }
        if (HasLineBreak(a)) {
            return Failure(kExitBadInput,
                           QStringLiteral("the value of %1 holds a line break").arg(key));
        }
        given.append({key, a.mid(eq + 1)});
    }
    SettingsRead read;
    if (std::optional<Result> failed = ConnectAndRead(o, o.args[0], read)) {
        return *failed;
    }
    const QString mac = Session().SelectedMac;
    const NodeSettings& node = read.settings;
    const NodeSettings merged = Merged(node, given);
    const QString model = SettingValue(node, QStringLiteral("MODEL")).value_or(QString());
    // Each key in the group that sends it for this model and these values.
    QList<SettingsGroup> touched;
    for (const auto& setting : given) {
        const QString& key = setting.first;
        if (!SettingValue(node, key)) {
            return Failure(kExitBadInput,
                           QStringLiteral("node %1 has no setting %2").arg(NodeName(mac), key));
        }
        const QList<GroupInfo>& groups = SettingsGroups();
        const auto group = std::find_if(groups.begin(), groups.end(), [&](const GroupInfo& g) {
            return GroupApplies(g.group, model) && GroupKeys(g.group, merged).contains(key);
        });
        if (group == groups.end()) {
            return Failure(kExitBadInput,
                           QStringLiteral("node %1 does not take %2 with these values")
                               .arg(NodeName(mac), key));
        }
        touched << group->group;
    }
    for (const SettingDifference& d : CompareSettings(node, merged)) {
        if (!d.offered) {
            return Failure(kExitBadInput, QStringLiteral("node %1 does not take %2=%3")
                                              .arg(NodeName(mac), d.key, d.otherValue));
        }
    }
    QList<SettingsGroup> sent;
    QJsonObject json{{QStringLiteral("mac"), mac},
                     {QStringLiteral("settings"), SettingsJson(o, given)}};
    SettingsRead after;
    if (std::optional<Result> done = SendAndReadAgain(
            PlanRestore(node, merged, touched, mac == Session().LocalMac), sent, json, after)) {
        return *done;
    }
    QList<SettingDifference> remaining = CompareSettings(after.settings, merged);
    remaining.removeIf([&](const SettingDifference& d) { return !touched.contains(d.group); });
    if (!remaining.isEmpty()) {
        PrintDifferences(o, remaining);
        return {kExitFailed,
                QStringLiteral("node %1 did not take every value").arg(NodeName(mac)),
                {{QStringLiteral("mac"), mac},
                 {QStringLiteral("sent"), QJsonArray::fromStringList(GroupNames(sent))},
                 {QStringLiteral("differences"), DifferencesJson(o, remaining)}}};
    }
    for (const auto& [key, value] : given) {
        Out(key + QLatin1Char('=') + Shown(o, key, value));
    }
    return {kExitOk, {}, json};
}

Result Backup(const Options& o) {
    SettingsRead read;
    if (std::optional<Result> failed = ConnectAndRead(o, o.args[0], read)) {
        return *failed;
    }
    const QString mac = Session().SelectedMac;
    const QString path = FilePath(o, o.args[1]);
    const NodeBackup backup =
        BackupFromResponse(read.lines, mac, LookupAlias(mac), QDateTime::currentDateTimeUtc());
    if (!WriteBackupFile(path, backup)) {
        return Failure(kExitFailed, WriteFailedText(QDir::toNativeSeparators(path)));
    }
    Out(QStringLiteral("saved %1 settings of %2 in %3")
            .arg(backup.parameters.size())
            .arg(NodeName(mac), QDir::toNativeSeparators(path)));
    return {kExitOk,
            {},
            {{QStringLiteral("mac"), mac},
             {QStringLiteral("file"), path},
             {QStringLiteral("model"), backup.model},
             {QStringLiteral("firmware"), backup.firmware},
             {QStringLiteral("settings"), int(backup.parameters.size())}}};
}

std::optional<Result> ReadBackup(const Options& o, const QString& argument, NodeBackup& backup) {
    const BackupRead read = ReadBackupFile(FilePath(o, argument));
    if (!read.backup) {
        return Failure(kExitBadInput, argument + QStringLiteral(": ") + BackupErrorText(read));
    }
    backup = *read.backup;
    return std::nullopt;
}

Result Restore(const Options& o) {
    NodeBackup backup;
    if (std::optional<Result> failed = ReadBackup(o, o.args[1], backup)) {
        return *failed;
    }
    SettingsRead read;
    if (std::optional<Result> failed = ConnectAndRead(o, o.args[0], read)) {
        return *failed;
    }
    const QString mac = Session().SelectedMac;
    const QString model = SettingValue(read.settings, QStringLiteral("MODEL")).value_or(QString());
    if (model != backup.model) {
        return Failure(kExitBadInput, QStringLiteral("the backup is of a %1, node %2 is a %3")
                                          .arg(backup.model, NodeName(mac), model));
    }
    if (backup.mac != mac) {
        Err(QStringLiteral("kaldor-cli: note: the backup was saved from %1; restoring it to %2")
                .arg(backup.mac, NodeName(mac)));
    }
    const RestorePlan plan =
        PlanRestore(read.settings, backup.parameters, AllGroups(), mac == Session().LocalMac);
    for (const SettingDifference& d : plan.notOffered) {
        Err(QStringLiteral("kaldor-cli: not sent: node %1 does not take %2=%3")
                .arg(NodeName(mac), d.key, Shown(o, d.key, d.otherValue)));
    }
    QList<SettingsGroup> planned;
    QJsonArray sends;
    for (const GroupSend& send : plan.sends) {
        planned << send.group;
        QStringList lines;
        for (const QString& line : send.lines) {
            const QString key = line.section(QLatin1Char('='), 0, 0);
            lines << key + QLatin1Char('=') + Shown(o, key, line.mid(key.size() + 1));
        }
        if (o.dryRun) {
            Out(QLatin1String(Group(send.group).name) + QStringLiteral(": ") +
                lines.join(QStringLiteral(", ")));
        }
        sends.append(QJsonObject{{QStringLiteral("group"), QLatin1String(Group(send.group).name)},
                                 {QStringLiteral("lines"), QJsonArray::fromStringList(lines)}});
    }
    QJsonObject json{{QStringLiteral("mac"), mac},
                     {QStringLiteral("backupMac"), backup.mac},
                     {QStringLiteral("notOffered"), DifferencesJson(o, plan.notOffered)}};
    if (o.dryRun) {
        json.insert(QStringLiteral("wouldSend"), sends);
        return {kExitOk, {}, json};
    }
    QList<SettingsGroup> sent;
    SettingsRead after;
    if (std::optional<Result> done = SendAndReadAgain(plan, sent, json, after)) {
        return *done;
    }
    const QList<SettingDifference> remaining = CompareSettings(after.settings, backup.parameters);
    json.insert(QStringLiteral("differences"), DifferencesJson(o, remaining));
    Out(QStringLiteral("sent: ") +
        (sent.isEmpty() ? QStringLiteral("nothing") : GroupNames(sent).join(QStringLiteral(", "))));
    PrintDifferences(o, remaining);
    // Values the node does not take were told before anything was sent; the
    // restore succeeded when every other setting equals the backup.
    const bool restored = std::all_of(remaining.begin(), remaining.end(),
                                      [](const SettingDifference& d) { return !d.offered; });
    if (!restored) {
        return {kExitFailed,
                QStringLiteral("node %1 still differs from the backup").arg(NodeName(mac)), json};
    }
    return {kExitOk, {}, json};
}

// A side of a comparison: a backup file when one of that name exists,
// otherwise a node.
std::optional<Result> ReadSide(const Options& o, const QString& argument, bool& connected,
                               NodeSettings& settings) {
    if (QFileInfo(FilePath(o, argument)).isFile() || !NormalizedMac(argument)) {
        NodeBackup backup;
        std::optional<Result> failed = ReadBackup(o, argument, backup);
        settings = backup.parameters;
        return failed;
    }
    SettingsRead read;
    if (!connected) {
        if (std::optional<Result> failed = ConnectAndRead(o, argument, read)) {
            return failed;
        }
        connected = true;
    } else {
        Session().NodePassword = GivenPassword(o);
        read = ReadNode(*NormalizedMac(argument));
        if (std::optional<Result> failed =
                AnswerFailure(read.answer, Session().SelectedMac, read.lines.value(0))) {
            return failed;
        }
    }
    settings = read.settings;
    return std::nullopt;
}

Result Diff(const Options& o) {
    bool connected = false;
    NodeSettings a;
    NodeSettings b;
    if (std::optional<Result> failed = ReadSide(o, o.args[0], connected, a)) {
        return *failed;
    }
    if (std::optional<Result> failed = ReadSide(o, o.args[1], connected, b)) {
        return *failed;
    }
    const QList<SettingDifference> differences = CompareSettings(a, b);
    PrintDifferences(o, differences);
    return {differences.isEmpty() ? kExitOk : kExitFailed,
            {},
            {{QStringLiteral("equal"), differences.isEmpty()},
             {QStringLiteral("differences"), DifferencesJson(o, differences)}}};
}

Result Reset(const Options& o) {
    SettingsRead read;
    if (std::optional<Result> failed = ConnectAndRead(o, o.args[0], read)) {
        return *failed;
    }
    const SessionState& s = Session();
    SetProgressLabel(s.lblFctReset);
    if (!WriteHardwareResetRequest()) {
        return Failure(kExitFailed, QString());
    }
    if (!RunHardwareReset()) {
        const QString first = ReadResponseFirstLine();
        return *AnswerFailure(
            first.startsWith(QLatin1Char('2')) ? NodeAnswer::Refused : NodeAnswer::NoAnswer,
            s.SelectedMac, first);
    }
    Out(QStringLiteral("node %1 restarted").arg(NodeName(s.SelectedMac)));
    return {kExitOk, {}, {{QStringLiteral("mac"), s.SelectedMac}}};
}

Result FactoryReset(const Options& o) {
    const std::optional<QString> mac = NormalizedMac(o.args[0]);
    if (!mac) {
        return Failure(kExitBadInput, QStringLiteral("'%1' is no MAC address").arg(o.args[0]));
    }
    if (std::optional<Result> failed = Connect(o)) {
        return *failed;
    }
    SessionState& s = Session();
    s.SelectedMac = *mac;
    QString password = o.factoryPassword.value_or(qEnvironmentVariable("KALDOR_FACTORY_PASSWORD"));
    if (password.isEmpty()) {
        password = PromptHidden(GetText(QStringLiteral("lblAskFactPw")) + QLatin1Char(' ') +
                                NodeName(*mac) + QStringLiteral(": "));
    }
    if (password.isEmpty()) {
        return Failure(kExitBadInput, QStringLiteral("no factory password: give it with "
                                                     "--factory-password or "
                                                     "KALDOR_FACTORY_PASSWORD"));
    }
    if (!WriteFactoryResetRequests(password)) {
        return Failure(kExitFailed, QString());
    }
    SetProgressLabel(s.lblFctReset);
    const FactoryOutcome outcome = RunFactoryReset(s.SelectedMac == s.LocalMac);
    const QString name = NodeName(*mac);
    switch (outcome) {
        case FactoryOutcome::WrongPassword:
            return Failure(kExitRefused,
                           QStringLiteral("node %1 refused the factory password").arg(name));
        case FactoryOutcome::Refused:
            return Failure(kExitNoAnswer, QStringLiteral("node %1 did not take the factory "
                                                         "reset: %2")
                                              .arg(name, ReadResponseFirstLine()));
        case FactoryOutcome::Unanswered:
            return Failure(kExitNoAnswer,
                           QStringLiteral("node %1 did not answer after the reset").arg(name));
        case FactoryOutcome::NotFresh:
            return Failure(kExitFailed, s.errFactResetKo.simplified());
        case FactoryOutcome::Fresh:
            break;
    }
    Out(QStringLiteral("node %1 was reset to its factory settings").arg(name));
    return {kExitOk, {}, {{QStringLiteral("mac"), *mac}}};
}

const Command kCommands[] = {
    {"discover", "discover",
     "Finds the local node and walks the network from it. Prints one line per node: MAC,\n"
     "network identifier, whether it answered (\"local\", \"answered\" or \"-\"), alias.",
     0, 0, Discover},
    {"show", "show MAC",
     "Prints every setting the node answers, KEY=value; keys and passwords masked unless\n"
     "--show-secrets is given.",
     1, 1, Show},
    {"get", "get MAC KEY...", "Prints the value of each KEY, one per line, as the node answers it.",
     2, -1, Get},
    {"set", "set MAC KEY=VALUE...",
     "Sends each touched group of settings as its update button sends it, the other values\n"
     "of the group as the node holds them; values the node does not offer are refused\n"
     "before anything is sent. The node is read again to check.",
     2, -1, Set},
    {"backup", "backup MAC FILE",
     "Saves every setting of the node in FILE, readable by its owner only.", 2, 2, Backup},
    {"restore", "restore MAC FILE [--dry-run]",
     "Sends the groups that differ from the backup FILE, network membership last, and\n"
     "compares again. A backup of another model is refused; one of another node of the\n"
     "same model is restored with a note. --dry-run prints what would be sent.",
     2, 2, Restore},
    {"diff", "diff A B",
     "Compares two nodes or backup files (each a MAC or a FILE) group by group. Exit code\n"
     "0 when equal, 1 when they differ.",
     2, 2, Diff},
    {"reset", "reset MAC", "Restarts the node and waits for it.", 1, 1, Reset},
    {"factory-reset", "factory-reset MAC",
     "Resets the node to its factory settings with its factory password\n"
     "(--factory-password, KALDOR_FACTORY_PASSWORD, or a prompt), and waits for it.",
     1, 1, FactoryReset},
};

const Command* Find(const QString& name) {
    const auto* const found =
        std::find_if(std::begin(kCommands), std::end(kCommands),
                     [&](const Command& c) { return name == QLatin1String(c.name); });
    return found == std::end(kCommands) ? nullptr : found;
}

const char kOptions[] =
    "Options:\n"
    "  --work DIR              work folder holding the tools (default: ./resources, else\n"
    "                          the one kaldor-config prepares for the user)\n"
    "  --interface N           the host interface number the client uses\n"
    "  --password PW           the node password (else KALDOR_PASSWORD, else the default)\n"
    "  --factory-password PW   factory-reset's password (else KALDOR_FACTORY_PASSWORD)\n"
    "  --json                  one JSON document on stdout\n"
    "  --show-secrets          show keys and passwords in the clear\n"
    "  --yes                   answer yes to questions\n"
    "  -h, --help              this help; with a command, that command's help\n"
    "\n"
    "Exit codes: 0 success, 1 failed or differences, 2 bad input, 3 password refused,\n"
    "4 node did not answer, 5 no local node or a tool could not start, 130 interrupted.";

}  // namespace

QString ProgramHelp() {
    QString text = QStringLiteral("usage: kaldor-cli [OPTIONS] COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const Command& c : kCommands) {
        text += QStringLiteral("  ") + QLatin1String(c.synopsis) + QLatin1Char('\n');
    }
    return text + QLatin1Char('\n') + QLatin1String(kOptions);
}

QString CommandHelp(const QString& command) {
    const Command* c = Find(command);
    if (!c) {
        return {};
    }
    return QStringLiteral("usage: kaldor-cli [OPTIONS] ") + QLatin1String(c->synopsis) +
           QStringLiteral("\n\n") + QLatin1String(c->help) + QStringLiteral("\n\n") +
           QLatin1String(kOptions);
}

bool IsCommand(const QString& command) {
    return Find(command) != nullptr;
}

Result RunCommand(const Options& o) {
    const Command* c = Find(o.command);
    const qsizetype n = o.args.size();
    if (n < c->minArgs || (c->maxArgs >= 0 && n > c->maxArgs)) {
        return Failure(kExitBadInput,
                       QStringLiteral("usage: kaldor-cli ") + QLatin1String(c->synopsis));
    }
    return c->run(o);
}
