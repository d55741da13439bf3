#include "SimCommandLine.h"

#include <QFile>
#include <QHash>
#include <functional>

#include "SimDemo.h"
#include "SimEdit.h"
#include "SimFirmware.h"
#include "SimModels.h"
#include "SimNetwork.h"
#include "SimRequestLog.h"
#include "SimStateFile.h"
#include "SimTopology.h"

namespace kaldorsim {

namespace {

const char* const kHelp = R"(kaldor-sim: create, show and change a simulated powerline network.

usage: kaldor-sim [--net FILE] COMMAND [ARGUMENTS]

The network lives in one state file: FILE when --net is given, else the file
named by the environment variable KALDOR_SIMNET, else simnet.json in the
current folder. The tools ihcp_client.exe, MacDiscover.exe and
winl2fwserver.exe use the same file. NODE is a node's MAC address (12
hexadecimal digits) or its label.

Commands:
  create-demo            Write the demo network: host interfaces eth0 and eth1,
                         the local node on eth1 and six remote nodes (two
                         models, KPL-200 and KPL-510A); an FTP server
                         (192.168.1.5, login kaldor, password firmware) and a
                         TFTP server (192.168.1.6), each with the images
                         kpl200-2.5.0.img and kpl510a-3.2.0.img.
  create-generated N     Write a network of N nodes sharing one network
                         identifier and key, all hearing each other; the first
                         is cabled to eth1.
  show [NODE]            Show every node, or every parameter of one node.
  set NODE KEY VALUE     Set an existing parameter of a node, without any check
                         of the value (options lists included).
  remove-param NODE KEY  Take a parameter away from a node: its answers lack
                         it, a read that asks for it is refused as for any
                         unknown parameter, and so is a write.
  add-param NODE KEY VALUE
                         Give a node a parameter it lacks (back).
  fault NODE KNOB VALUE  Set a fault knob of a node; NODE "discover" sets the
                         knobs of MacDiscover.exe. Knobs:
                           noAnswer on|off        the node does not answer
                           delayMs MS             answer MS real milliseconds late
                           refusePassword on|off  refuse every password
                           noResponse on|off      write no response file
                           truncateAt BYTES       cut the response (-1: off)
                           garbage on|off         binary noise instead
                           hugeMb MB              pad the response to MB megabytes
                           nulByte on|off         a NUL byte in the first line
                           invalidUtf8 on|off     non-UTF-8 bytes in the first line
                           cutTransfer on|off     firmware transfers break off halfway
                           flashFails on|off      new firmware fails the flash check
  power NODE on|off      Switch a node on or off.
  loader NODE on|off     Put a node in loader mode (broken firmware) or take it out.
  hear NODE all|none|NODE...
                         Set which nodes NODE hears ("all": every node, "none":
                         no other node). A node's connection table lists the
                         nodes it hears; two nodes pass requests on to each
                         other only when each hears the other and both use the
                         same encryption key and mode (ENCRYPT_TYPE,
                         ENCRYPT_AES_TYPE, ENCRYPT_KEY_LENGTH).
  password NODE TEXT     Set a node's configuration password.
  attach NODE ethN|none  Cable a node to a host interface, or to none.
  time-scale FACTOR      Real time per simulated time (0: restarts, settling
                         and firmware work take no time).
  advance MS             Move the network's clock on by MS milliseconds, as if
                         that much real time had passed.
  settle-time MS         After a write that changes its network identifier,
                         key, encryption mode or node type, a node answers,
                         then stays silent for MS simulated milliseconds while
                         it rejoins the network (default 0).
  network-change-answer 0|3
                         First line of a POST that changed a node's network
                         identifier or key (default 3).
  request-log FILE|off   Start an empty log of every request the tools
                         receive (FILE relative to the state file's folder),
                         or stop logging. One JSON object per line: time (ms,
                         the simulator's clock), tool, file (the request
                         file's name, empty for a tool without one) and bytes
                         (base64 of the request file, or of the arguments
                         joined by a blank).
  image FILE MODEL VERSION [KIND [BYTES]]
                         Write a firmware image for MODEL and VERSION with a
                         payload of BYTES (default 2048). KIND: valid (the
                         default), bad-magic, bad-crc, truncated, or
                         wrong-model (the header names another model).
  file-server ADDRESS FTP|TFTP [USER PASSWORD]
                         Add a server that nodes fetch firmware from (FTP with
                         its login), or set one up again; its files stay.
  server-file ADDRESS NAME FILE
                         Put a copy of the local FILE on the server as NAME.
  server-option ADDRESS OPTION VALUE
                         connectMs MS: simulated time a node spends reaching
                         the server, reporting "initial" (default 2500);
                         announcesSize on|off: whether the node knows the file
                         size before the transfer ends (default on).
  help                   Show this text.

Firmware work of a node (FLUP_STATUS, FLUP_DOWNLOADED_SIZE) follows the
network's clock, in simulated time: a download from a file server takes four
steps of 5 s once the server is reached (a node gives up on a server that does
not answer after 12.5 s), and a layer-2 image is written to flash in 3 s plus
1 s per 32 KB. How often the node is asked makes no difference.
)";

struct Context {
    QString path;
    QStringList args;  // the command's arguments
    QTextStream& out;
    QTextStream& err;
};

bool fail(Context& c, const QString& text) {
    c.err << "kaldor-sim: " << text << "\n";
    return false;
}

bool onOff(Context& c, const QString& text, bool* on) {
    *on = text == QStringLiteral("on");
    return text == QStringLiteral("on") || text == QStringLiteral("off") ||
           fail(c, QLatin1String("expected on or off, not '") + text + QLatin1Char('\''));
}

bool create(Context& c, const Network& net) {
    QString error;
    if (!writeNetworkFile(c.path, net, &error))
        return fail(c, error);
    c.out << "wrote " << c.path << " with " << net.nodes.size() << " nodes\n";
    return true;
}

bool createGenerated(Context& c) {
    bool ok = false;
    const int count = c.args.value(0).toInt(&ok);
    if (!ok || count < 1 || count > 100000)
        return fail(c, QStringLiteral("create-generated takes a node count from 1 to 100000"));
    return create(c, generatedNetwork(count));
}

QString stateOf(const Node& n, qint64 nowMs) {
    if (!n.powered)
        return QStringLiteral("off");
    if (n.loaderMode)
        return QStringLiteral("loader");
    if (nowMs < n.restartUntilMs)
        return QStringLiteral("restarting");
    return nowMs < n.settleUntilMs ? QStringLiteral("settling") : QStringLiteral("on");
}

QString faultSummary(const Faults& f) {
    const Faults none;
    QStringList set;
    auto knob = [&set](const char* name, auto value, auto normal) {
        if (value != normal)
            set << QStringLiteral("%1=%2").arg(QLatin1String(name)).arg(value);
    };
    knob("noAnswer", f.noAnswer, none.noAnswer);
    knob("delayMs", f.delayMs, none.delayMs);
    knob("refusePassword", f.refusePassword, none.refusePassword);
    knob("noResponse", f.noResponse, none.noResponse);
    knob("truncateAt", f.truncateAt, none.truncateAt);
    knob("garbage", f.garbage, none.garbage);
    knob("hugeMb", f.hugeMb, none.hugeMb);
    knob("nulByte", f.nulByte, none.nulByte);
    knob("invalidUtf8", f.invalidUtf8, none.invalidUtf8);
    knob("cutTransfer", f.cutTransfer, none.cutTransfer);
    knob("flashFails", f.flashFails, none.flashFails);
    return set.isEmpty() ? QStringLiteral("-") : set.join(QLatin1Char(' '));
}

QString hearsSummary(const Network& net, const Node& n) {
    if (!n.hears)
        return QStringLiteral("all");
    QStringList names;
    for (const QString& mac : *n.hears) {
        const Node* other = findNode(net, mac);
        names << (other && !other->label.isEmpty() ? other->label : mac);
    }
    return names.isEmpty() ? QStringLiteral("none") : names.join(QLatin1Char(','));
}

void showNetwork(Context& c, const Network& net) {
    const qint64 nowMs = networkNow(net);
    c.out << "time scale " << net.timeScale << ", settle time " << net.settleMs
          << " ms, network change answer " << net.networkChangeAnswer << ", discovery faults "
          << faultSummary(net.discoverFaults) << "\n";
    for (const HostInterface& i : net.interfaces)
        c.out << "interface " << i.name << ": " << i.description << "\n";
    c.out << "MAC          LABEL      MODEL    STATE      HOST NET_ID_STR       ENCRYPT_KEY_STR "
             "    PASSWORD     HEARS / FAULTS\n";
    for (const Node& n : net.nodes) {
        const QString host =
            n.hostInterface >= 0 ? net.interfaces.at(n.hostInterface).name : QStringLiteral("-");
        c.out << n.mac << " " << n.label.leftJustified(10) << " "
              << n.params.value(QStringLiteral("MODEL")).leftJustified(8) << " "
              << stateOf(n, nowMs).leftJustified(10) << " " << host.leftJustified(4) << " "
              << n.params.value(QStringLiteral("NET_ID_STR")).leftJustified(16) << " "
              << n.params.value(QStringLiteral("ENCRYPT_KEY_STR")).leftJustified(20) << " "
              << n.password.leftJustified(12) << " " << hearsSummary(net, n) << " / "
              << faultSummary(n.faults) << "\n";
    }
    for (const FileServer& s : net.fileServers) {
        c.out << "file server " << s.address << " " << s.protocol;
        if (s.protocol == QStringLiteral("FTP"))
            c.out << " login " << s.user << "/" << s.password;
        c.out << ":";
        for (auto it = s.files.begin(); it != s.files.end(); ++it)
            c.out << " " << it.key() << " (" << it.value().size() << " bytes)";
        c.out << "\n";
    }
}

void showNode(Context& c, const Network& net, const Node& n) {
    const qint64 nowMs = networkNow(net);
    const QList<const Node*> table = connectionTable(net, n, nowMs);
    c.out << "node " << n.mac << " (" << n.label << "), " << stateOf(n, nowMs) << "\n"
          << "password " << n.password << ", factory password " << n.factoryPassword << "\n"
          << "restart " << n.restartMs << " ms, factory reset " << n.factoryResetRestartMs
          << " ms (simulated)\n"
          << "hears " << hearsSummary(net, n) << "\nfaults " << faultSummary(n.faults) << "\n";
    for (const QString& key : parameterOrder()) {
        if (n.params.contains(key))
            c.out << key << "=" << n.params.value(key) << "\n";
    }
    c.out << "PLC_CONNECTION_MAC_ADDR=" << connectionMacList(table) << "\n"
          << "PLC_CONNECTION_NET_ID_STR=" << connectionNetIdList(n, table) << "\n";
}

bool show(Context& c) {
    QString error;
    const std::optional<Network> net = readNetworkFile(c.path, &error);
    if (!net)
        return fail(c, error);
    if (c.args.isEmpty()) {
        showNetwork(c, *net);
        return true;
    }
    const Node* node = findNode(*net, c.args.at(0));
    if (!node)
        return fail(c, QStringLiteral("no node with the MAC or label '%1'").arg(c.args.at(0)));
    showNode(c, *net, *node);
    return true;
}

// Runs one change on the state file under its lock.
bool change(Context& c, const NetworkChange& edit) {
    QString error;
    return updateNetworkFile(c.path, edit, &error) || fail(c, error);
}

bool powerLike(Context& c, bool (*setter)(Network&, const QString&, bool, QString*)) {
    bool on = false;
    if (!onOff(c, c.args.value(1), &on))
        return false;
    return change(c, [&](Network& net, QString* e) { return setter(net, c.args.at(0), on, e); });
}

bool timeScale(Context& c) {
    bool ok = false;
    const double factor = c.args.value(0).toDouble(&ok);
    if (!ok)
        return fail(c, QStringLiteral("time-scale takes a number"));
    return change(c, [&](Network& net, QString* e) { return setTimeScale(net, factor, e); });
}

bool image(Context& c) {
    const std::optional<ImageKind> kind = imageKindByName(c.args.value(3, QStringLiteral("valid")));
    bool ok = true;
    const int bytes = c.args.size() > 4 ? c.args.at(4).toInt(&ok) : 2048;
    if (!kind)
        return fail(c, QStringLiteral("the image kind must be one of ") +
                           imageKindNames().join(QStringLiteral(", ")));
    if (!ok || bytes < 0 || bytes > 256 * 1024 * 1024)
        return fail(c, QStringLiteral("the payload takes 0 to 268435456 bytes"));
    QFile file(c.args.at(0));
    const QByteArray content = makeImage(c.args.at(1), c.args.at(2), *kind, bytes);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return fail(c,
                    QStringLiteral("cannot write %1 (%2)").arg(c.args.at(0), file.errorString()));
    return true;
}

bool serverFile(Context& c) {
    QFile file(c.args.at(2));
    if (!file.open(QIODevice::ReadOnly))
        return fail(c, QStringLiteral("cannot read %1 (%2)").arg(c.args.at(2), file.errorString()));
    const QByteArray bytes = file.readAll();
    return change(c, [&](Network& net, QString* e) {
        return putServerFile(net, c.args.at(0), c.args.at(1), bytes, e);
    });
}

struct Command {
    int minArgs;
    int maxArgs;  // -1: no limit
    std::function<bool(Context&)> run;
};

const QHash<QString, Command>& commands() {
    static const QHash<QString, Command> table{
        {QStringLiteral("create-demo"),
         {0, 0, [](Context& c) { return create(c, demoNetwork()); }}},
        {QStringLiteral("create-generated"), {1, 1, createGenerated}},
        {QStringLiteral("show"), {0, 1, show}},
        {QStringLiteral("set"),
         {3, 3,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return setParameter(net, c.args[0], c.args[1], c.args[2], e);
              });
          }}},
        {QStringLiteral("remove-param"),
         {2, 2,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return removeParameter(net, c.args[0], c.args[1], e);
              });
          }}},
        {QStringLiteral("add-param"),
         {3, 3,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return addParameter(net, c.args[0], c.args[1], c.args[2], e);
              });
          }}},
        {QStringLiteral("fault"),
         {3, 3,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return setFault(net, c.args[0], c.args[1], c.args[2], e);
              });
          }}},
        {QStringLiteral("power"), {2, 2, [](Context& c) { return powerLike(c, setPower); }}},
        {QStringLiteral("loader"), {2, 2, [](Context& c) { return powerLike(c, setLoaderMode); }}},
        {QStringLiteral("hear"),
         {2, -1,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return setHears(net, c.args[0], c.args.mid(1), e);
              });
          }}},
        {QStringLiteral("password"),
         {2, 2,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return setPassword(net, c.args[0], c.args[1], e);
              });
          }}},
        {QStringLiteral("attach"),
         {2, 2,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return attachNode(net, c.args[0], c.args[1], e);
              });
          }}},
        {QStringLiteral("time-scale"), {1, 1, timeScale}},
        {QStringLiteral("settle-time"),
         {1, 1,
          [](Context& c) {
              bool ok = false;
              const int ms = c.args[0].toInt(&ok);
              if (!ok)
                  return fail(c, QStringLiteral("settle-time takes a number of milliseconds"));
              return change(c, [&](Network& net, QString* e) { return setSettleTime(net, ms, e); });
          }}},
        {QStringLiteral("advance"),
         {1, 1,
          [](Context& c) {
              bool ok = false;
              const qint64 ms = c.args[0].toLongLong(&ok);
              if (!ok)
                  return fail(c, QStringLiteral("advance takes a number of milliseconds"));
              return change(c, [&](Network& net, QString* e) { return advanceClock(net, ms, e); });
          }}},
        {QStringLiteral("request-log"),
         {1, 1,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return setRequestLog(net, c.path, c.args[0], e);
              });
          }}},
        {QStringLiteral("image"), {3, 5, image}},
        {QStringLiteral("file-server"),
         {2, 4,
          [](Context& c) {
              if (c.args.size() == 3)
                  return fail(c, QStringLiteral("an FTP login takes a user and a password"));
              return change(c, [&](Network& net, QString* e) {
                  return addFileServer(net, c.args[0], c.args[1], c.args.value(2), c.args.value(3),
                                       e);
              });
          }}},
        {QStringLiteral("server-file"), {3, 3, serverFile}},
        {QStringLiteral("server-option"),
         {3, 3,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return setFileServerOption(net, c.args[0], c.args[1], c.args[2], e);
              });
          }}},
        {QStringLiteral("network-change-answer"),
         {1, 1,
          [](Context& c) {
              return change(c, [&](Network& net, QString* e) {
                  return setNetworkChangeAnswer(net, c.args[0], e);
              });
          }}},
    };
    return table;
}

}  // namespace

int runSimCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QStringList args = arguments;
    QString path = networkFilePath();
    if (args.size() >= 2 && args.at(0) == QStringLiteral("--net")) {
        path = args.at(1);
        args = args.mid(2);
    }
    const QString name = args.value(0);
    if (name.isEmpty() || name == QStringLiteral("help") || name == QStringLiteral("--help") ||
        name == QStringLiteral("-h")) {
        (name.isEmpty() ? err : out) << kHelp;
        return name.isEmpty() ? 2 : 0;
    }
    Context c{path, args.mid(1), out, err};
    if (!commands().contains(name)) {
        fail(c, QStringLiteral("unknown command '%1' (try kaldor-sim --help)").arg(name));
        return 2;
    }
    const Command& command = commands().value(name);
    if (c.args.size() < command.minArgs ||
        (command.maxArgs >= 0 && c.args.size() > command.maxArgs)) {
        fail(
            c,
            QStringLiteral("wrong number of arguments for '%1' (try kaldor-sim --help)").arg(name));
        return 2;
    }
    return command.run(c) ? 0 : 1;
}

}  // namespace kaldorsim
