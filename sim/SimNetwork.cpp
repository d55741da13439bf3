#include "SimNetwork.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace kaldorsim {

namespace {

const int kFormatVersion = 1;

// Reading the state file: every helper reports the first problem it meets
// through `error` and leaves the value untouched, so a hand-edited or damaged
// file ends in one readable message and never in a crash.
struct Reader {
    QString error;

    bool fail(const QString& where, const QString& what) {
        if (error.isEmpty())
            error = where + QLatin1String(": ") + what;
        return false;
    }

    void text(const QJsonObject& o, const char* key, const QString& where, QString& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isString()) {
            fail(where, QStringLiteral("'%1' must be a text").arg(QLatin1String(key)));
            return;
        }
        out = v.toString();
    }

    void flag(const QJsonObject& o, const char* key, const QString& where, bool& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        if (!v.isBool()) {
            fail(where, QStringLiteral("'%1' must be true or false").arg(QLatin1String(key)));
            return;
        }
        out = v.toBool();
    }

    template <typename Int>
    void integer(const QJsonObject& o, const char* key, const QString& where, Int& out, double low,
                 double high) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        const double d = v.toDouble(NAN);
        if (!v.isDouble() || d != std::floor(d) || d < low || d > high) {
            fail(where, QStringLiteral("'%1' must be a whole number from %2 to %3")
                            .arg(QLatin1String(key))
                            .arg(low, 0, 'f', 0)
                            .arg(high, 0, 'f', 0));
            return;
        }
        out = static_cast<Int>(d);
    }
};

QJsonObject faultsToJson(const Faults& f) {
    return QJsonObject{{QStringLiteral("noAnswer"), f.noAnswer},
                       {QStringLiteral("delayMs"), f.delayMs},
                       {QStringLiteral("refusePassword"), f.refusePassword},
                       {QStringLiteral("noResponse"), f.noResponse},
                       {QStringLiteral("truncateAt"), f.truncateAt},
                       {QStringLiteral("garbage"), f.garbage},
                       {QStringLiteral("hugeMb"), f.hugeMb},
                       {QStringLiteral("nulByte"), f.nulByte},
                       {QStringLiteral("invalidUtf8"), f.invalidUtf8},
                       {QStringLiteral("cutTransfer"), f.cutTransfer},
                       {QStringLiteral("flashFails"), f.flashFails}};
}

Faults faultsFromJson(Reader& r, const QJsonValue& value, const QString& where) {
    Faults f;
    if (value.isUndefined())
        return f;
    if (!value.isObject()) {
        r.fail(where, QStringLiteral("'faults' must be an object"));
        return f;
    }
    const QJsonObject o = value.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!faultKnobNames().contains(it.key()))
            r.fail(where, QStringLiteral("unknown fault knob '%1'").arg(it.key()));
    }
    r.flag(o, "noAnswer", where, f.noAnswer);
    r.integer(o, "delayMs", where, f.delayMs, 0, 600000);
    r.flag(o, "refusePassword", where, f.refusePassword);
    r.flag(o, "noResponse", where, f.noResponse);
    r.integer(o, "truncateAt", where, f.truncateAt, -1, 1e9);
    r.flag(o, "garbage", where, f.garbage);
    r.integer(o, "hugeMb", where, f.hugeMb, 0, 512);
    r.flag(o, "nulByte", where, f.nulByte);
    r.flag(o, "invalidUtf8", where, f.invalidUtf8);
    r.flag(o, "cutTransfer", where, f.cutTransfer);
    r.flag(o, "flashFails", where, f.flashFails);
    return f;
}

const QStringList kFirmwareStages{QStringLiteral(""), kJobWaitLayer2, kJobFlashLayer2, kJobFetch};

QJsonObject firmwareToJson(const FirmwareJob& j) {
    return QJsonObject{{QStringLiteral("stage"), j.stage},
                       {QStringLiteral("started"), double(j.startedMs)},
                       {QStringLiteral("imageVersion"), j.imageVersion},
                       {QStringLiteral("flashedVersion"), j.flashedVersion}};
}

FirmwareJob firmwareFromJson(Reader& r, const QJsonValue& value, const QString& where) {
    FirmwareJob j;
    if (value.isUndefined())
        return j;
    if (!value.isObject()) {
        r.fail(where, QStringLiteral("'firmware' must be an object"));
        return j;
    }
    const QJsonObject o = value.toObject();
    r.text(o, "stage", where, j.stage);
    if (!kFirmwareStages.contains(j.stage))
        r.fail(where, QStringLiteral("unknown firmware stage '%1'").arg(j.stage));
    r.integer(o, "started", where, j.startedMs, 0, 9e15);
    r.text(o, "imageVersion", where, j.imageVersion);
    r.text(o, "flashedVersion", where, j.flashedVersion);
    return j;
}

QJsonObject fileServerToJson(const FileServer& s) {
    QJsonObject files;
    for (auto it = s.files.begin(); it != s.files.end(); ++it)
        files.insert(it.key(), QString::fromLatin1(it.value().toBase64()));
    return QJsonObject{{QStringLiteral("address"), s.address},
                       {QStringLiteral("protocol"), s.protocol},
                       {QStringLiteral("user"), s.user},
                       {QStringLiteral("password"), s.password},
                       {QStringLiteral("connectMs"), s.connectMs},
                       {QStringLiteral("announcesSize"), s.announcesSize},
                       {QStringLiteral("files"), files}};
}

QMap<QString, QByteArray> filesFromJson(Reader& r, const QJsonValue& value, const QString& where) {
    QMap<QString, QByteArray> files;
    if (value.isUndefined())
        return files;
    if (!value.isObject()) {
        r.fail(where, QStringLiteral("'files' must be an object of base64 texts"));
        return files;
    }
    const QJsonObject o = value.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        const auto bytes = QByteArray::fromBase64Encoding(it.value().toString().toLatin1(),
                                                          QByteArray::AbortOnBase64DecodingErrors);
        if (!it.value().isString() || !bytes)
            r.fail(where, QStringLiteral("file '%1' must be a base64 text").arg(it.key()));
        files.insert(it.key(), *bytes);
    }
    return files;
}

QList<FileServer> fileServersFromJson(Reader& r, const QJsonValue& value) {
    QList<FileServer> list;
    if (value.isUndefined())
        return list;
    if (!value.isArray()) {
        r.fail(QStringLiteral("network"), QStringLiteral("'fileServers' must be a list"));
        return list;
    }
    for (const QJsonValue& v : value.toArray()) {
        FileServer s;
        const QString where = QStringLiteral("file server %1").arg(list.size() + 1);
        if (!v.isObject())
            r.fail(where, QStringLiteral("must be an object"));
        const QJsonObject o = v.toObject();
        r.text(o, "address", where, s.address);
        r.text(o, "protocol", where, s.protocol);
        if (s.protocol != QStringLiteral("FTP") && s.protocol != QStringLiteral("TFTP"))
            r.fail(where, QStringLiteral("'protocol' must be \"FTP\" or \"TFTP\""));
        r.text(o, "user", where, s.user);
        r.text(o, "password", where, s.password);
        r.integer(o, "connectMs", where, s.connectMs, 0, 3600000);
        r.flag(o, "announcesSize", where, s.announcesSize);
        s.files = filesFromJson(r, o.value(QStringLiteral("files")), where);
        list << s;
    }
    return list;
}

QJsonObject nodeToJson(const Node& n) {
    QJsonObject params;
    for (auto it = n.params.begin(); it != n.params.end(); ++it)
        params.insert(it.key(), it.value());
    QJsonObject o{{QStringLiteral("mac"), n.mac},
                  {QStringLiteral("label"), n.label},
                  {QStringLiteral("hostInterface"), n.hostInterface},
                  {QStringLiteral("powered"), n.powered},
                  {QStringLiteral("loaderMode"), n.loaderMode},
                  {QStringLiteral("password"), n.password},
                  {QStringLiteral("factoryPassword"), n.factoryPassword},
                  {QStringLiteral("restartMs"), n.restartMs},
                  {QStringLiteral("factoryResetRestartMs"), n.factoryResetRestartMs},
                  {QStringLiteral("restartUntil"), double(n.restartUntilMs)},
                  {QStringLiteral("settleUntil"), double(n.settleUntilMs)},
                  {QStringLiteral("faults"), faultsToJson(n.faults)},
                  {QStringLiteral("firmware"), firmwareToJson(n.firmware)},
                  {QStringLiteral("parameters"), params}};
    if (n.hears)
        o.insert(QStringLiteral("hears"), QJsonArray::fromStringList(*n.hears));
    return o;
}

std::optional<QStringList> hearsFromJson(Reader& r, const QJsonValue& value, const QString& where) {
    if (value.isUndefined())
        return std::nullopt;
    QStringList macs;
    if (!value.isArray())
        r.fail(where, QStringLiteral("'hears' must be a list of MAC addresses"));
    for (const QJsonValue& v : value.toArray()) {
        if (!v.isString() || !isMacAddress(v.toString()))
            r.fail(where, QStringLiteral("'hears' must be a list of MAC addresses"));
        macs << v.toString().toUpper();
    }
    return macs;
}

Parameters paramsFromJson(Reader& r, const QJsonValue& value, const QString& where) {
    Parameters params;
    if (!value.isObject()) {
        r.fail(where, QStringLiteral("'parameters' must be an object of texts"));
        return params;
    }
    const QJsonObject o = value.toObject();
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!it.value().isString())
            r.fail(where, QStringLiteral("parameter '%1' must be a text").arg(it.key()));
        params.insert(it.key(), it.value().toString());
    }
    return params;
}

Node nodeFromJson(Reader& r, const QJsonValue& value, int index, int interfaceCount) {
    Node n;
    QString where = QStringLiteral("node %1").arg(index + 1);
    if (!value.isObject()) {
        r.fail(where, QStringLiteral("must be an object"));
        return n;
    }
    const QJsonObject o = value.toObject();
    r.text(o, "mac", where, n.mac);
    if (!isMacAddress(n.mac))
        r.fail(where, QStringLiteral("'mac' must be 12 hexadecimal digits"));
    n.mac = n.mac.toUpper();
    where = QLatin1String("node ") + n.mac;
    r.text(o, "label", where, n.label);
    r.integer(o, "hostInterface", where, n.hostInterface, -1, interfaceCount - 1);
    r.flag(o, "powered", where, n.powered);
    r.flag(o, "loaderMode", where, n.loaderMode);
    r.text(o, "password", where, n.password);
    r.text(o, "factoryPassword", where, n.factoryPassword);
    r.integer(o, "restartMs", where, n.restartMs, 0, 3600000);
    r.integer(o, "factoryResetRestartMs", where, n.factoryResetRestartMs, 0, 3600000);
    r.integer(o, "restartUntil", where, n.restartUntilMs, 0, 9e15);
    r.integer(o, "settleUntil", where, n.settleUntilMs, 0, 9e15);
    n.hears = hearsFromJson(r, o.value(QStringLiteral("hears")), where);
    n.faults = faultsFromJson(r, o.value(QStringLiteral("faults")), where);
    n.firmware = firmwareFromJson(r, o.value(QStringLiteral("firmware")), where);
    n.params = paramsFromJson(r, o.value(QStringLiteral("parameters")), where);
    return n;
}

QList<HostInterface> interfacesFromJson(Reader& r, const QJsonValue& value) {
    QList<HostInterface> list;
    if (!value.isArray()) {
        r.fail(QStringLiteral("network"), QStringLiteral("'interfaces' must be a list"));
        return list;
    }
    for (const QJsonValue& v : value.toArray()) {
        HostInterface i;
        const QString where = QStringLiteral("interface %1").arg(list.size());
        if (!v.isObject())
            r.fail(where, QStringLiteral("must be an object"));
        r.text(v.toObject(), "name", where, i.name);
        r.text(v.toObject(), "description", where, i.description);
        list << i;
    }
    return list;
}

void checkUniqueNodes(Reader& r, const QList<Node>& nodes) {
    QSet<QString> seen;
    for (const Node& n : nodes) {
        if (seen.contains(n.mac))
            r.fail(QStringLiteral("node ") + n.mac,
                   QStringLiteral("the MAC address is used twice"));
        seen.insert(n.mac);
    }
}

}  // namespace

Node* findNode(Network& net, const QString& name) {
    for (Node& n : net.nodes) {
        if (n.mac.compare(name, Qt::CaseInsensitive) == 0 ||
            (!n.label.isEmpty() && n.label == name))
            return &n;
    }
    return nullptr;
}

const Node* findNode(const Network& net, const QString& name) {
    return findNode(const_cast<Network&>(net), name);
}

qint64 networkNow(const Network& net) {
    return QDateTime::currentMSecsSinceEpoch() + net.clockOffsetMs;
}

bool isOnline(const Node& node, qint64 nowMs) {
    return node.powered && !node.loaderMode && nowMs >= node.restartUntilMs &&
           nowMs >= node.settleUntilMs;
}

bool isTimeScale(double factor) {
    return factor >= 0 && factor <= kMaxTimeScale;
}

bool isMacAddress(const QString& text) {
    static const QRegularExpression mac(QStringLiteral("^[0-9A-Fa-f]{12}$"));
    return mac.match(text).hasMatch();
}

qint64 scaledMs(const Network& net, int simulatedMs) {
    return qint64(std::llround(simulatedMs * net.timeScale));
}

QByteArray networkToJson(const Network& net) {
    QJsonArray interfaces;
    for (const HostInterface& i : net.interfaces)
        interfaces.append(QJsonObject{{QStringLiteral("name"), i.name},
                                      {QStringLiteral("description"), i.description}});
    QJsonArray nodes;
    for (const Node& n : net.nodes)
        nodes.append(nodeToJson(n));
    QJsonArray servers;
    for (const FileServer& s : net.fileServers)
        servers.append(fileServerToJson(s));
    const QJsonObject root{{QStringLiteral("format"), kFormatVersion},
                           {QStringLiteral("timeScale"), net.timeScale},
                           {QStringLiteral("networkChangeAnswer"), net.networkChangeAnswer},
                           {QStringLiteral("requestLog"), net.requestLog},
                           {QStringLiteral("clockOffset"), double(net.clockOffsetMs)},
                           {QStringLiteral("settleMs"), net.settleMs},
                           {QStringLiteral("interfaces"), interfaces},
                           {QStringLiteral("discoverFaults"), faultsToJson(net.discoverFaults)},
                           {QStringLiteral("nodes"), nodes},
                           {QStringLiteral("fileServers"), servers}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<Network> networkFromJson(const QByteArray& json, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject()) {
        *error = parseError.error != QJsonParseError::NoError
                     ? QStringLiteral("not valid JSON (%1 at byte %2)")
                           .arg(parseError.errorString())
                           .arg(parseError.offset)
                     : QStringLiteral("the top level must be an object");
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    Reader r;
    int format = 0;
    r.integer(root, "format", QStringLiteral("network"), format, 0, 1e6);
    if (format != kFormatVersion)
        r.fail(QStringLiteral("network"),
               QStringLiteral("'format' must be %1").arg(kFormatVersion));
    Network net;
    const QJsonValue scale = root.value(QStringLiteral("timeScale"));
    if (!scale.isUndefined() && !isTimeScale(scale.toDouble(-1)))
        r.fail(QStringLiteral("network"),
               QStringLiteral("'timeScale' must be a number from 0 to %1")
                   .arg(kMaxTimeScale, 0, 'f', 0));
    net.timeScale = scale.toDouble(1.0);
    r.text(root, "networkChangeAnswer", QStringLiteral("network"), net.networkChangeAnswer);
    if (net.networkChangeAnswer != QStringLiteral("0") &&
        net.networkChangeAnswer != QStringLiteral("3"))
        r.fail(QStringLiteral("network"),
               QStringLiteral("'networkChangeAnswer' must be \"0\" or \"3\""));
    r.text(root, "requestLog", QStringLiteral("network"), net.requestLog);
    r.integer(root, "settleMs", QStringLiteral("network"), net.settleMs, 0, 3600000);
    r.integer(root, "clockOffset", QStringLiteral("network"), net.clockOffsetMs, 0,
              kMaxClockOffsetMs);
    net.interfaces = interfacesFromJson(r, root.value(QStringLiteral("interfaces")));
    net.discoverFaults =
        faultsFromJson(r, root.value(QStringLiteral("discoverFaults")), QStringLiteral("network"));
    if (!root.value(QStringLiteral("nodes")).isArray())
        r.fail(QStringLiteral("network"), QStringLiteral("'nodes' must be a list"));
    const QJsonArray nodes = root.value(QStringLiteral("nodes")).toArray();
    for (int i = 0; i < nodes.size() && r.error.isEmpty(); ++i)
        net.nodes << nodeFromJson(r, nodes.at(i), i, int(net.interfaces.size()));
    checkUniqueNodes(r, net.nodes);
    net.fileServers = fileServersFromJson(r, root.value(QStringLiteral("fileServers")));
    if (!r.error.isEmpty()) {
        *error = r.error;
        return std::nullopt;
    }
    return net;
}

QStringList faultKnobNames() {
    return {QStringLiteral("noAnswer"),       QStringLiteral("delayMs"),
            QStringLiteral("refusePassword"), QStringLiteral("noResponse"),
            QStringLiteral("truncateAt"),     QStringLiteral("garbage"),
            QStringLiteral("hugeMb"),         QStringLiteral("nulByte"),
            QStringLiteral("invalidUtf8"),    QStringLiteral("cutTransfer"),
            QStringLiteral("flashFails")};
}

bool setFaultKnob(Faults& faults, const QString& knob, const QString& value, QString* error) {
    Reader r;
    QJsonObject o = faultsToJson(faults);
    if (!o.contains(knob)) {
        *error = QStringLiteral("unknown fault knob '%1' (knobs: %2)")
                     .arg(knob, faultKnobNames().join(QStringLiteral(", ")));
        return false;
    }
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (o.value(knob).isBool()) {
        const bool on = value == QStringLiteral("on") || value == QStringLiteral("true") ||
                        value == QStringLiteral("1");
        const bool off = value == QStringLiteral("off") || value == QStringLiteral("false") ||
                         value == QStringLiteral("0");
        if (!on && !off) {
            *error = QStringLiteral("knob '%1' takes on or off").arg(knob);
            return false;
        }
        o.insert(knob, on);
    } else if (isNumber) {
        o.insert(knob, number);
    } else {
        *error = QStringLiteral("knob '%1' takes a whole number").arg(knob);
        return false;
    }
    const Faults updated = faultsFromJson(r, o, QStringLiteral("knob"));
    if (!r.error.isEmpty()) {
        *error = r.error;
        return false;
    }
    faults = updated;
    return true;
}

}  // namespace kaldorsim
