#include "Walk.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <algorithm>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "app/Values.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"

QString PadField(const QString& text, int width) {
    if (text.size() >= width) {
        return text.left(width);
    }
    return text + QString(width - text.size(), QLatin1Char(' '));
}

QString NodeLine(const QString& mac, const QString& networkId, const QString& alias) {
    return PadField(mac, kMacField) + QLatin1Char(' ') + PadField(networkId, kNetworkIdField) +
           QLatin1Char(' ') + PadField(alias, 10);
}

QString LineMac(const QString& line) {
    return line.left(kMacField);
}

QString LineNetworkId(const QString& line) {
    return line.mid(kMacField, kNetworkIdField).trimmed();
}

DiscoveryFile ParseDiscoveryFile(const QStringList& lines) {
    DiscoveryFile discovery;
    if (lines.value(0) == QLatin1String("E")) {
        discovery.interfaces = lines.mid(1);
        return discovery;
    }
    discovery.found = !lines.isEmpty();
    discovery.localMac = lines.value(0);
    discovery.interfaceNumber =
        static_cast<qint16>(std::clamp(ValInt(lines.value(1)), -32768, 32767));
    // The third line carries nothing the program uses.
    discovery.interfaces = lines.mid(3);
    return discovery;
}

DiscoveryFile ReadDiscoveryFile() {
    SessionState& s = Session();
    DiscoveryFile discovery =
        FileExists(s.MacDiscoverFile)
            ? ParseDiscoveryFile(ReadLines(s.MacDiscoverFile).value_or(QStringList()))
            : DiscoveryFile{};
    if (discovery.found) {
        s.LocalMac = discovery.localMac;
        s.SelectedMac = s.LocalMac;
        s.InterfaceNumber = discovery.interfaceNumber;
    }
    return discovery;
}

DiscoveryFile FindLocalNode() {
    const SessionState& s = Session();
    if (FileExists(s.GetRequestFile)) {
        QFile::remove(s.GetRequestFile);
    }
    Progress(1, 3);
    RunAndWait(QStringLiteral("MacDiscover.exe"));
    Progress(2, 3);
    return ReadDiscoveryFile();
}

namespace {

const QString kForeignNetwork = QStringLiteral("Network #1");

// The state of the walk over the node list.
struct Walk {
    WalkView* view = nullptr;
    int cursor = 0;
    int stage = 1;
    // The password each node answered to, by MAC.
    QHash<QString, QString> passwords;
};

// Silent: a node other than the local one gave no answer; it is passed over.
enum class Outcome { Answered, Silent, Stopped, LocalRefused, Locked };

// The MACs the view lists, so that each node of a connection list is checked
// in constant time: a walk over a large network stays linear.
QSet<QString> ListedMacs(const WalkView& view) {
    QSet<QString> macs{LineMac(view.localNodeLine())};
    for (const QString& line : view.nodeLines()) {
        macs.insert(LineMac(line));
    }
    return macs;
}

// Adds the nodes that the answering node sees. The local node's own list is
// taken as it stands; a later node adds each element that is not the MAC of
// a listed line already.
void AddConnections(WalkView& view, bool localNode) {
    SessionState& s = Session();
    if (localNode) {
        s.LocalNetworkId = ReadResponseValue(QStringLiteral("NET_ID_STR"));
        view.setLocalNodeLine(
            NodeLine(s.SelectedMac, s.LocalNetworkId, LookupAlias(s.SelectedMac)));
    }
    const QStringList macs =
        SplitOptionList(ReadResponseValue(QStringLiteral("PLC_CONNECTION_MAC_ADDR")));
    const QStringList networks =
        SplitOptionList(ReadResponseValue(QStringLiteral("PLC_CONNECTION_NET_ID_STR")));
    QSet<QString> listed = localNode ? QSet<QString>() : ListedMacs(view);
    for (qsizetype i = 0; i < macs.size(); ++i) {
        if (!localNode && listed.contains(macs[i])) {
            continue;
        }
        const QString line = NodeLine(macs[i], networks.value(i), LookupAlias(macs[i]));
        listed.insert(LineMac(line));
        view.addNodeLine(line);
    }
}

// The password of this attempt; false when the local node was left without
// one (the locked state).
bool ChoosePassword(WalkView& view, int stage) {
    SessionState& s = Session();
    const bool local = s.SelectedMac == s.LocalMac;
    if (stage == 1) {
        if (s.LocalPassword.isEmpty()) {
            s.LocalPassword = GetText(QStringLiteral("defaultpassword"));
        }
        s.NodePassword = s.LocalPassword;
    } else if (stage == 2) {
        if (local) {
            s.LocalPassword = GetText(QStringLiteral("defaultpassword"));
            s.NodePassword = s.LocalPassword;
        } else {
            s.NodePassword = GetText(QStringLiteral("defaultpassword"));
        }
    } else {
        s.NodePassword = view.askPassword(GetText(QStringLiteral("lblAskPw")) + QLatin1Char(' ') +
                                          NodeName(s.SelectedMac));
        if (local && !s.NodePassword.isEmpty()) {
            s.LocalPassword = s.NodePassword;
        }
        if (local && s.NodePassword.isEmpty()) {
            return false;
        }
    }
    return true;
}

enum class Attempt { Answered, Refused, Silent, Skipped, Stopped, Locked };

// One request for the selected node's connections, with the password of the
// walk's stage.
Attempt AskOnce(Walk& walk) {
    SessionState& s = Session();
    const std::unique_ptr<WalkStep> step =
        walk.view->beginStep(s.lblConnect + QLatin1Char(' ') + NodeName(s.SelectedMac));
    if (!ChoosePassword(*walk.view, walk.stage)) {
        walk.view->enterLockedState(s.SelectedMac);
        return Attempt::Locked;
    }
    Progress(1, 4);
    // A remote node whose password the user left empty is passed over.
    if (s.NodePassword.isEmpty()) {
        return Attempt::Skipped;
    }
    const std::optional<bool> answered =
        ReadSelectedNode({QStringLiteral("NET_ID_STR"), QStringLiteral("PLC_CONNECTION_MAC_ADDR"),
                          QStringLiteral("PLC_CONNECTION_NET_ID_STR"), QStringLiteral("NULL")});
    if (!answered) {
        return Attempt::Stopped;
    }
    step->finish();
    if (*answered) {
        walk.passwords.insert(s.SelectedMac, s.NodePassword);
        AddConnections(*walk.view, walk.cursor == 0);
        return Attempt::Answered;
    }
    return ResponseStartsWith(QStringLiteral("2")) ? Attempt::Refused : Attempt::Silent;
}

// Asks the selected node for its connections, trying the passwords stage by
// stage, until it answers, is skipped, or the walk has to stop.
Outcome AskNode(Walk& walk) {
    const SessionState& s = Session();
    for (;;) {
        const Attempt attempt = AskOnce(walk);
        if (attempt == Attempt::Locked) {
            return Outcome::Locked;
        }
        if (attempt == Attempt::Answered || attempt == Attempt::Skipped) {
            return Outcome::Answered;
        }
        if (attempt == Attempt::Stopped) {
            return Outcome::Stopped;
        }
        const bool refused = attempt == Attempt::Refused;
        const bool local = s.SelectedMac == s.LocalMac;
        if (!refused && !local) {
            return Outcome::Silent;
        }
        if (walk.stage < 3) {
            if (!refused) {
                return Outcome::Stopped;
            }
            ++walk.stage;
        } else if (refused) {
            MsgBox(s.errPwError, MsgIcon::Stop);
        } else {
            MsgBox(GetText(QStringLiteral("errNoLocal")), MsgIcon::Exclamation);
            return Outcome::LocalRefused;
        }
    }
}

// Moves the cursor to the next node to ask; false at the end of the list.
bool NextNode(Walk& walk) {
    walk.stage = 1;
    const QStringList lines = walk.view->nodeLines();
    while (walk.cursor < lines.size()) {
        const QString& line = lines[walk.cursor];
        Session().SelectedMac = LineMac(line);
        ++walk.cursor;
        if (LineNetworkId(line) != kForeignNetwork) {
            return true;
        }
    }
    return false;
}

// The nodes the view lists, each with the password it answered to.
QList<FoundNode> FoundNodes(const Walk& walk) {
    QList<FoundNode> nodes;
    const QString localLine = walk.view->localNodeLine();
    if (!localLine.trimmed().isEmpty()) {
        const QString mac = LineMac(localLine).trimmed();
        nodes.append({mac, LineNetworkId(localLine), walk.passwords.value(mac), true});
    }
    for (const QString& line : walk.view->nodeLines()) {
        const QString mac = LineMac(line).trimmed();
        nodes.append({mac, LineNetworkId(line), walk.passwords.value(mac), false});
    }
    return nodes;
}

}  // namespace

WalkResult WalkNetwork(WalkView& view) {
    Walk walk;
    walk.view = &view;
    WalkResult result;
    QStringList silent;
    for (;;) {
        const Outcome outcome = AskNode(walk);
        if (outcome == Outcome::Locked) {
            result.end = WalkResult::End::Locked;
            break;
        }
        if (outcome == Outcome::LocalRefused) {
            result.end = WalkResult::End::LocalRefused;
            break;
        }
        if (outcome == Outcome::Silent) {
            silent.append(NodeName(Session().SelectedMac));
        }
        if (outcome == Outcome::Stopped || !NextNode(walk)) {
            break;
        }
    }
    silent.removeDuplicates();
    if (result.end == WalkResult::End::Listed && !silent.isEmpty()) {
        MsgBox(GetText(QStringLiteral("errNoAnswerNodes")) + QLatin1Char(' ') +
                   silent.join(QStringLiteral(", ")),
               MsgIcon::Exclamation);
    }
    result.nodes = FoundNodes(walk);
    return result;
}

std::optional<bool> ReadSelectedNode(const QStringList& keys) {
    const SessionState& s = Session();
    if (!WriteGetRequest(keys, s.SelectedMac, s.NodePassword)) {
        return std::nullopt;
    }
    Progress(2, 4);
    RunClient(s.GetRequestFile);
    Progress(3, 4);
    const bool answered = ResponseStartsWith(QStringLiteral("INFO"));
    Progress(4, 4);
    return answered;
}
