#include "SimClient.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include "SimFirmware.h"
#include "SimModels.h"
#include "SimTopology.h"

namespace kaldorsim {

namespace {

QString decoded(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QStringList requestLines(const QByteArray& bytes) {
    QStringList lines = decoded(bytes).split(QLatin1Char('\n'));
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    lines.removeAll(QString());
    return lines;
}

bool parseHeader(const QStringList& lines, Request& r, QString* error) {
    static const QRegularExpression first(QStringLiteral("^(GET|POST) (.*)$"));
    const QRegularExpressionMatch m = first.match(lines.value(0));
    if (!m.hasMatch() || !isMacAddress(m.captured(2))) {
        *error = QStringLiteral("line 1 must be GET or POST, one blank and a 12-digit MAC address");
        return false;
    }
    r.post = m.captured(1) == QStringLiteral("POST");
    r.mac = m.captured(2).toUpper();
    const QString second = lines.value(1);
    r.factoryReset = r.post && second.startsWith(QStringLiteral(".FACTORY_PASSWORD="));
    if (!r.factoryReset && !second.startsWith(QStringLiteral(".PASSWORD="))) {
        *error = QStringLiteral("line 2 must begin with .PASSWORD=");
        return false;
    }
    r.password = second.mid(second.indexOf(QLatin1Char('=')) + 1);
    return true;
}

bool parseBody(const QStringList& lines, Request& r, QString* error) {
    for (const QString& line : lines.mid(2)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (r.post && eq <= 0) {
            *error = QStringLiteral("'%1' is not a setting of the form KEY=value").arg(line);
            return false;
        }
        if (!r.post && eq >= 0) {
            *error = QStringLiteral("'%1' is not a parameter name").arg(line);
            return false;
        }
        if (r.post)
            r.settings.append({line.left(eq), line.mid(eq + 1)});
        else
            r.keys << line;
    }
    if (r.factoryReset && !r.settings.isEmpty()) {
        *error = QStringLiteral("a factory reset takes no settings");
        return false;
    }
    return true;
}

Node* nodeByMac(Network& net, const QString& mac) {
    for (Node& n : net.nodes) {
        if (n.mac == mac)
            return &n;
    }
    return nullptr;
}

QString parameterLine(const Network& net, const Node& node, const QString& key, qint64 nowMs) {
    if (key == QStringLiteral("PLC_CONNECTION_MAC_ADDR"))
        return key + QLatin1Char('=') + connectionMacList(connectionTable(net, node, nowMs));
    if (key == QStringLiteral("PLC_CONNECTION_NET_ID_STR"))
        return key + QLatin1Char('=') +
               connectionNetIdList(node, connectionTable(net, node, nowMs));
    return key + QLatin1Char('=') + node.params.value(key);
}

bool isKnownKey(const Node& node, const QString& key) {
    return node.params.contains(key) || key == QStringLiteral("PLC_CONNECTION_MAC_ADDR") ||
           key == QStringLiteral("PLC_CONNECTION_NET_ID_STR");
}

QStringList everyKey(const Node& node) {
    QStringList keys;
    for (const QString& key : parameterOrder()) {
        if (node.params.contains(key))
            keys << key;
    }
    for (auto it = node.params.begin(); it != node.params.end(); ++it) {
        if (!keys.contains(it.key()))
            keys << it.key();
    }
    return keys << QStringLiteral("PLC_CONNECTION_MAC_ADDR")
                << QStringLiteral("PLC_CONNECTION_NET_ID_STR");
}

QByteArray answerGet(const Network& net, const Node& node, const QStringList& asked, qint64 nowMs) {
    const QStringList keys = asked.isEmpty() ? everyKey(node) : asked;
    QStringList lines{QStringLiteral("INFO")};
    for (const QString& key : keys) {
        if (!isKnownKey(node, key))
            return errorResponse(QStringLiteral("unknown parameter %1").arg(key));
        lines << parameterLine(net, node, key, nowMs);
    }
    return crlfText(lines);
}

ClientAnswer answerPost(Network& net, Node& node, const Request& r, qint64 nowMs) {
    ClientAnswer answer;
    if (r.factoryReset) {
        factoryReset(net, node, nowMs);
        answer.output.bytes = crlfText({QStringLiteral("0")});
        answer.stateChanged = true;
        return answer;
    }
    const SettingsOutcome outcome = applySettings(node, r.settings);
    if (!outcome.error.isEmpty()) {
        answer.output.bytes = errorResponse(outcome.error);
        return answer;
    }
    if (outcome.layer2Upgrade)
        requestLayer2Server(node, nowMs);
    if (outcome.fileUpdate)
        startFileUpdate(node, nowMs);
    if (outcome.hardwareReset)
        hardwareReset(net, node, nowMs);
    // It answers first, then rejoins the network under its new settings.
    if (outcome.settles)
        node.settleUntilMs = nowMs + scaledMs(net, net.settleMs);
    answer.output.bytes =
        crlfText({outcome.networkChanged ? net.networkChangeAnswer : QStringLiteral("0")});
    answer.stateChanged = true;
    return answer;
}

bool passwordAccepted(const Node& node, const Request& r) {
    if (node.faults.refusePassword)
        return false;
    return r.password == (r.factoryReset ? node.factoryPassword : node.password);
}

ClientAnswer answerByNode(Network& net, Node& node, const Request& r, qint64 nowMs) {
    if (!passwordAccepted(node, r)) {
        ClientAnswer refused;
        refused.output.bytes =
            crlfText({QStringLiteral("2 %1 refused by node %2")
                          .arg(r.factoryReset ? QStringLiteral("Factory password")
                                              : QStringLiteral("Password"),
                               node.mac)});
        return refused;
    }
    if (r.post)
        return answerPost(net, node, r, nowMs);
    ClientAnswer answer;
    answer.stateChanged = advanceFirmware(net, node, nowMs);
    answer.output.bytes = answerGet(net, node, r.keys, nowMs);
    return answer;
}

ClientAnswer failed(const QString& text) {
    ClientAnswer answer;
    answer.output.bytes = errorResponse(text);
    return answer;
}

}  // namespace

std::optional<Request> parseRequest(const QByteArray& bytes, QString* error) {
    Request r;
    const QStringList lines = requestLines(bytes);
    if (!parseHeader(lines, r, error) || !parseBody(lines, r, error))
        return std::nullopt;
    return r;
}

std::optional<int> interfaceIndex(const Network& net, const QString& name) {
    for (int i = 0; i < net.interfaces.size(); ++i) {
        if (net.interfaces.at(i).name == name)
            return i;
    }
    return std::nullopt;
}

QByteArray errorResponse(const QString& text) {
    return crlfText({QLatin1String("ERROR: ") + text});
}

ClientAnswer answerRequest(Network& net, const QByteArray& requestBytes,
                           const QString& interfaceName, qint64 nowMs) {
    QString error;
    const std::optional<Request> r = parseRequest(requestBytes, &error);
    if (!r)
        return failed(QLatin1String("bad request file: ") + error);
    const std::optional<int> index = interfaceIndex(net, interfaceName);
    if (!index)
        return failed(QStringLiteral("no network interface named '%1'").arg(interfaceName));
    const Node* local = hostNode(net, *index, nowMs);
    if (!local || local->faults.noAnswer)
        return failed(QStringLiteral("no powerline node answers on %1").arg(interfaceName));
    Node* target = nodeByMac(net, r->mac);
    if (!target)
        return failed(QStringLiteral("node %1 is not on the powerline network").arg(r->mac));
    if (!canReach(net, *local, *target, nowMs) || target->faults.noAnswer)
        return failed(QStringLiteral("node %1 did not answer (time-out)").arg(r->mac));
    ClientAnswer answer = answerByNode(net, *target, *r, nowMs);
    answer.output = shapeOutput(answer.output.bytes, target->faults);
    return answer;
}

}  // namespace kaldorsim
