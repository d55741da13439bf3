// The simulated powerline network, driven through its real executables the
// way the assistant drives them: request files in a work folder, the tools
// started there, their result files read back.

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "SimDemo.h"
#include "SimFirmware.h"
#include "SimModels.h"
#include "SimNetwork.h"
#include "SimStateFile.h"

using namespace kaldorsim;

using Requests = QList<QStringList>;
using NetworkCheck = std::function<bool(const Network&)>;
Q_DECLARE_METATYPE(NetworkCheck)

namespace {

const QString kLocal = "020A1B000001";
const QString kOffice = "020A1B000002";
const QString kGarage = "020A1B000003";
const QString kLab = "020A1B000004";
const QString kNeighbour = "020A1B000005";
const QString kAttic = "020A1B000006";
const QString kStudy = "020A1B000007";

// Generous: sanitizer builds on a loaded machine are slow.
const int kRunTimeoutMs = 240000;

QString tool(const QString& name) {
    return QStringLiteral(KALDOR_STAGE_DIR "/resources/") + name;
}

QByteArray crlf(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

QStringList getLines(const QString& mac, const QStringList& keys,
                     const QString& pw = kDefaultPassword) {
    return QStringList{"GET " + mac, ".PASSWORD=" + pw} + keys;
}

QStringList postLines(const QString& mac, const QStringList& lines,
                      const QString& pw = kDefaultPassword) {
    return QStringList{"POST " + mac, ".PASSWORD=" + pw} + lines;
}

QString firstLine(const QByteArray& bytes) {
    return QString::fromUtf8(bytes.left(bytes.indexOf("\r\n")));
}

struct ToolRun {
    int exitCode = -1;
    bool written = false;  // the result file exists
    QByteArray result;
    QByteArray stderrText;
    qint64 elapsedMs = 0;
};

// A work folder (its name holds a blank, as users' folders do) with its own
// network state file.
class SimWorld {
public:
    explicit SimWorld(const Network& net = demoNetwork())
        : dir_(QDir::tempPath() + "/kaldor sim-XXXXXX") {
        QString error;
        QVERIFY2(writeNetworkFile(statePath(), net, &error), qPrintable(error));
    }

    QString path(const QString& name) const { return dir_.filePath(name); }
    QString statePath() const { return path("simnet.json"); }

    QByteArray stateBytes() const {
        QFile f(statePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    Network network() const {
        QString error;
        const std::optional<Network> net = readNetworkFile(statePath(), &error);
        return net.value_or(Network{});
    }

    ToolRun run(const QString& program, const QStringList& args, const QString& resultName) const {
        QFile::remove(path(resultName));
        QProcess p;
        p.setWorkingDirectory(dir_.path());
        // The tools find simnet.json in their current folder.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("KALDOR_SIMNET");
        p.setProcessEnvironment(env);
        QElapsedTimer timer;
        timer.start();
        p.start(tool(program), args);
        p.waitForFinished(kRunTimeoutMs);
        ToolRun r;
        r.elapsedMs = timer.elapsed();
        r.exitCode = p.exitCode();
        r.stderrText = p.readAllStandardError();
        QFile f(path(resultName));
        r.written = f.open(QIODevice::ReadOnly);
        if (r.written)
            r.result = f.readAll();
        return r;
    }

    // One client run on `lines` through `interfaceName`; the response bytes.
    QByteArray client(const QStringList& lines, const QString& interfaceName = "eth1") const {
        return clientRun(crlf(lines), interfaceName).result;
    }

    ToolRun clientRun(const QByteArray& request, const QString& interfaceName = "eth1") const {
        QFile f(path("post.cfg"));
        f.open(QIODevice::WriteOnly);
        f.write(request);
        f.close();
        return run("ihcp_client.exe", {path("post.cfg"), "-i", interfaceName}, "ihcp_client.tmp");
    }

    ToolRun discover() const { return run("MacDiscover.exe", {}, "macdiscover.tmp"); }

    int sim(const QStringList& args, QByteArray* output = nullptr) const {
        QProcess p;
        p.setWorkingDirectory(dir_.path());
        p.start(tool("kaldor-sim"), QStringList{"--net", statePath()} + args);
        p.waitForFinished(kRunTimeoutMs);
        if (output)
            *output = p.readAllStandardOutput() + p.readAllStandardError();
        return p.exitCode();
    }

    void sims(const Requests& commands) const {
        for (const QStringList& command : commands)
            QCOMPARE(sim(command), 0);
    }

private:
    QTemporaryDir dir_;
};

// Value of `key` in a response, as the assistant's reader finds it.
QString valueOf(const QByteArray& response, const QString& key) {
    for (const QString& line : QString::fromUtf8(response).split("\r\n")) {
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1);
    }
    return "<missing>";
}

// The keys the advanced window loads, with the option list of each choice.
const QList<QPair<QString, QString>>& loadTable() {
    static const QList<QPair<QString, QString>> keys{
        {"FLUP_PROTOCOL", "FLUP_PROTOCOL_OPTIONS"},
        {"FLUP_IP_ADDR", ""},
        {"FLUP_LOGIN", ""},
        {"FLUP_PASSWORD", ""},
        {"FLUP_FILENAME", ""},
        {"FLUP_SECTION", "FLUP_SECTION_OPTIONS"},
        {"IP_ADDR", ""},
        {"IP_CONFIG", "IP_CONFIG_OPTIONS"},
        {"NETMASK", ""},
        {"GATEWAY", ""},
        {"MAC_TYPE", "MAC_TYPE_OPTIONS"},
        {"NODE_TYPE", "NODE_TYPE_OPTIONS"},
        {"NOTCHES", "NOTCHES_OPTIONS"},
        {"DISTORTION_CONTROL", "DISTORTION_CONTROL_OPTIONS"},
        {"MCAST_IGMP", "MCAST_IGMP_OPTIONS"},
        {"ENCRYPT_KEY_STR", ""},
        {"NET_ID_STR", ""},
        {"MODEL", ""},
        {"DEFAULT_PRIO", "PRIO_OPTIONS"},
        {"CRITERION_0", "CRITERION_OPTIONS"},
        {"CRITERION_1", "CRITERION_OPTIONS"},
        {"KALDOR_VLAN_CONFIG", "KALDOR_VLAN_CONFIG_OPTIONS"},
        {"KALDOR_VLAN_TAG", ""},
        {"KALDOR_VLAN_PRIO", "KALDOR_VLAN_PRIO_OPTIONS"},
        {"ENCRYPT_TYPE", "ENCRYPT_TYPE_OPTIONS"},
        {"ENCRYPT_AES_TYPE", "ENCRYPT_AES_TYPE_OPTIONS"},
        {"ENCRYPT_KEY_LENGTH", "ENCRYPT_AES_LENGTH_OPTIONS"},
        {"AES_SUPPORT", ""},
        {"NUM_BOOTS", ""},
        {"VER", ""},
        {"PLC_CONNECTION_MAC_ADDR", ""},
        {"PLC_CONNECTION_NET_ID_STR", ""},
    };
    return keys;
}

QStringList customKeys() {
    QStringList keys;
    for (int n = 0; n < 2; ++n) {
        for (const char* field : {"OFFSET", "PATTERN", "BITMASK", "CLASS_OFFSET", "CLASS_BITMASK",
                                  "CLASS_PATTERN", "CLASS_PRIO"})
            keys << QString("CUSTOM_%1_%2").arg(n).arg(field);
    }
    return keys;
}

// "CUSTOM_<n>_" lines from their field parts, as the assistant writes them.
QStringList customLines(int n, const QStringList& fields) {
    QStringList lines;
    for (const QString& field : fields)
        lines << QString("CUSTOM_%1_%2").arg(n).arg(field);
    return lines;
}

QStringList precedenceLines(int n, const QStringList& map) {
    QStringList fields{"OFFSET=16", "PATTERN=0800", "BITMASK=FFFF", "CLASS_OFFSET=19",
                       "CLASS_BITMASK=E0"};
    const QStringList values{"20", "40", "60", "80", "A0", "C0", "E0", "E0"};
    for (int k = 0; k < 8; ++k)
        fields << QString("CLASS_PATTERN_%1=%2").arg(k).arg(values[k]);
    for (int k = 0; k < 8; ++k)
        fields << QString("CLASS_PRIO_%1=%2").arg(k).arg(map[k]);
    return customLines(n, fields);
}

QStringList portLines(int n, const QString& protocol, int classOffset, const QString& port,
                      int prio) {
    QStringList fields{"OFFSET=27",          "PATTERN=" + protocol,
                       "BITMASK=FF",         QString("CLASS_OFFSET=%1").arg(classOffset),
                       "CLASS_BITMASK=FFFF", "CLASS_PATTERN_0=" + port};
    for (int k = 1; k < 8; ++k)
        fields << QString("CLASS_PATTERN_%1=00").arg(k);
    fields << QString("CLASS_PRIO_0=%1").arg(prio);
    for (int k = 1; k < 8; ++k)
        fields << QString("CLASS_PRIO_%1=0").arg(k);
    return customLines(n, fields);
}

QString hex16List(const QStringList& values) {
    QStringList quoted;
    for (const QString& v : values)
        quoted << "'" + v.leftJustified(16, '0') + "'";
    return quoted.join(',');
}

// The pieces of a list value; a piece not wrapped in single quotes comes
// back as "<unquoted>" so that comparisons fail.
QStringList pieces(const QString& list) {
    QStringList result;
    for (const QString& piece : list.split(',')) {
        const bool quoted = piece.size() >= 2 && piece.startsWith('\'') && piece.endsWith('\'');
        result << (quoted ? piece.mid(1, piece.size() - 2) : "<unquoted>");
    }
    return result;
}

}  // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void discovery_data();
    void discovery();
    void discoveryFaults_data();
    void discoveryFaults();
    void get_data();
    void get();
    void getAll_data();
    void getAll();
    void refused_data();
    void refused();
    void roundTrip_data();
    void roundTrip();
    void passwordChange();
    void networkChange();
    void hardwareReset();
    void restartInRealTime();
    void factoryReset();
    void faults_data();
    void faults();
    void corruptState_data();
    void corruptState();
    void concurrentRuns();
    void commandLine_data();
    void commandLine();
    void commandLineHelp();
    void generatedNetwork();
    void stagedDemo();
    void firmwareImages_data();
    void firmwareImages();
    void firmwareServer_data();
    void firmwareServer();
    void firmwareUpdate_data();
    void firmwareUpdate();
    void firmwareCommandLine_data();
    void firmwareCommandLine();
};

void TestSim::discovery_data() {
    QTest::addColumn<Requests>("commands");
    QTest::addColumn<QStringList>("expected");  // line 3 is not compared
    const QStringList ports{"eth0 Simulated Ethernet adapter 0",
                            "eth1 Simulated Ethernet adapter 1"};
    QTest::newRow("demo") << Requests{} << QStringList{kLocal, "1", "*"} + ports;
    QTest::newRow("local node off")
        << Requests{{"power", "local", "off"}} << QStringList{"E"} + ports;
    QTest::newRow("local node in loader mode")
        << Requests{{"loader", "local", "on"}} << QStringList{"E"} + ports;
    QTest::newRow("local node silent")
        << Requests{{"fault", "local", "noAnswer", "on"}} << QStringList{"E"} + ports;
    QTest::newRow("local node unplugged")
        << Requests{{"attach", "local", "none"}} << QStringList{"E"} + ports;
    QTest::newRow("another node on eth0")
        << Requests{{"attach", "office", "eth0"}} << QStringList{kOffice, "0", "*"} + ports;
    QTest::newRow("local off, another on eth0")
        << Requests{{"power", "local", "off"}, {"attach", "garage", "eth0"}}
        << QStringList{kGarage, "0", "*"} + ports;
}

void TestSim::discovery() {
    QFETCH(Requests, commands);
    QFETCH(QStringList, expected);
    SimWorld world;
    world.sims(commands);
    const ToolRun r = world.discover();
    QVERIFY(r.written);
    QVERIFY(r.result.endsWith("\r\n"));
    QStringList lines = QString::fromUtf8(r.result).split("\r\n");
    lines.removeLast();
    if (expected.size() > 2 && expected[2] == "*")
        expected[2] = lines.value(2);
    QCOMPARE(lines, expected);
}

void TestSim::discoveryFaults_data() {
    QTest::addColumn<QString>("knob");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("size");  // -1: no file
    QTest::newRow("no file") << "noResponse"
                             << "on" << -1;
    QTest::newRow("empty file") << "truncateAt"
                                << "0" << 0;
    QTest::newRow("truncated") << "truncateAt"
                               << "7" << 7;
    QTest::newRow("garbage") << "garbage"
                             << "on" << 4096;
}

void TestSim::discoveryFaults() {
    QFETCH(QString, knob);
    QFETCH(QString, value);
    QFETCH(int, size);
    SimWorld world;
    const QByteArray proper = world.discover().result;
    QCOMPARE(world.sim({"fault", "discover", knob, value}), 0);
    const ToolRun r = world.discover();
    QCOMPARE(r.written, size >= 0);
    if (size < 0)
        return;
    QCOMPARE(r.result.size(), size);
    QCOMPARE(r.result == proper.left(size), knob != "garbage");
}

void TestSim::get_data() {
    QTest::addColumn<Requests>("commands");
    QTest::addColumn<QString>("interfaceName");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("remote node, three keys")
        << Requests{} << "eth1" << crlf(getLines(kOffice, {"NET_ID_STR", "NODE_TYPE", "MODEL"}))
        << QStringList{"INFO", "NET_ID_STR=KaldorHome", "NODE_TYPE=EP", "MODEL=KPL-200"};
    QTest::newRow("local node's connection table")
        << Requests{} << "eth1"
        << crlf(getLines(kLocal,
                         {"NET_ID_STR", "PLC_CONNECTION_MAC_ADDR", "PLC_CONNECTION_NET_ID_STR"}))
        << QStringList{"INFO", "NET_ID_STR=KaldorHome",
                       "PLC_CONNECTION_MAC_ADDR='020A1B000002','020A1B000003','020A1B000004',"
                       "'020A1B000005','020A1B000007'",
                       "PLC_CONNECTION_NET_ID_STR='KaldorHome','KaldorHome','KaldorLab',"
                       "'Network #1','KaldorHome'"};
    QTest::newRow("the garage hears the far attic")
        << Requests{} << "eth1" << crlf(getLines(kGarage, {"PLC_CONNECTION_MAC_ADDR"}))
        << QStringList{"INFO",
                       "PLC_CONNECTION_MAC_ADDR='020A1B000001','020A1B000002','020A1B000004',"
                       "'020A1B000005','020A1B000006','020A1B000007'"};
    QTest::newRow("far node reached through the garage")
        << Requests{} << "eth1"
        << crlf(getLines(kAttic,
                         {"NET_ID_STR", "PLC_CONNECTION_MAC_ADDR", "PLC_CONNECTION_NET_ID_STR"}))
        << QStringList{"INFO", "NET_ID_STR=KaldorHome", "PLC_CONNECTION_MAC_ADDR='020A1B000003'",
                       "PLC_CONNECTION_NET_ID_STR='KaldorHome'"};
    QTest::newRow("switched-off node missing from the table")
        << Requests{{"power", "office", "off"}, {"loader", "lab", "on"}} << "eth1"
        << crlf(getLines(kLocal, {"PLC_CONNECTION_MAC_ADDR"}))
        << QStringList{"INFO",
                       "PLC_CONNECTION_MAC_ADDR='020A1B000003','020A1B000005',"
                       "'020A1B000007'"};
    QTest::newRow("other network identifier, same key")
        << Requests{} << "eth1" << crlf(getLines(kLab, {"NET_ID_STR"}))
        << QStringList{"INFO", "NET_ID_STR=KaldorLab"};
    QTest::newRow("node with its own password")
        << Requests{} << "eth1" << crlf(getLines(kStudy, {"VER", "ENCRYPT_TYPE"}, "study-2024"))
        << QStringList{"INFO", "VER=3.1.7", "ENCRYPT_TYPE=AES"};
    QTest::newRow("bare LF lines, lower-case MAC")
        << Requests{} << "eth1" << QByteArray("GET 020a1b000002\n.PASSWORD=kaldor\nNUM_BOOTS\n")
        << QStringList{"INFO", "NUM_BOOTS=1"};
    QTest::newRow("a node under another key sees every other node as foreign")
        << Requests{{"attach", "neighbour", "eth0"}} << "eth0"
        << crlf(getLines(kNeighbour, {"PLC_CONNECTION_NET_ID_STR"}))
        << QStringList{"INFO",
                       "PLC_CONNECTION_NET_ID_STR='Network #1','Network #1',"
                       "'Network #1','Network #1','Network #1'"};
}

void TestSim::get() {
    QFETCH(Requests, commands);
    QFETCH(QString, interfaceName);
    QFETCH(QByteArray, request);
    QFETCH(QStringList, expected);
    SimWorld world;
    world.sims(commands);
    QCOMPARE(world.clientRun(request, interfaceName).result, crlf(expected));
}

void TestSim::getAll_data() {
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("aes");
    QTest::newRow("KPL-510A") << kLocal << "KPL-510A"
                              << "Y";
    QTest::newRow("KPL-200") << kOffice << "KPL-200"
                             << "N";
}

void TestSim::getAll() {
    QFETCH(QString, mac);
    QFETCH(QString, model);
    QFETCH(QString, aes);
    SimWorld world;
    const QByteArray response = world.client(getLines(mac, {}));
    QVERIFY(response.startsWith("INFO\r\n"));
    QVERIFY(response.endsWith("\r\n"));
    QVERIFY(!response.contains("\r\r") && !response.contains("\n\n"));
    QStringList keys;
    for (const auto& [key, optionsKey] : loadTable())
        keys << key;
    keys << customKeys();
    for (const QString& key : keys)
        QVERIFY2(response.count(("\r\n" + key + "=").toUtf8()) == 1, qPrintable(key));
    for (const auto& [key, optionsKey] : loadTable()) {
        if (optionsKey.isEmpty())
            continue;
        const QStringList options = pieces(valueOf(response, optionsKey));
        QVERIFY2(!options.contains("<unquoted>") && !options.contains(QString()),
                 qPrintable(optionsKey));
        QVERIFY2(options.contains(valueOf(response, key)), qPrintable(key));
    }
    for (int n = 0; n < 2; ++n) {
        QCOMPARE(pieces(valueOf(response, QString("CUSTOM_%1_CLASS_PATTERN").arg(n))).size(), 8);
        QCOMPARE(pieces(valueOf(response, QString("CUSTOM_%1_CLASS_PRIO").arg(n))).size(), 8);
    }
    QCOMPARE(valueOf(response, "MODEL"), model);
    QCOMPARE(valueOf(response, "AES_SUPPORT"), aes);
    QCOMPARE(pieces(valueOf(response, "ENCRYPT_TYPE_OPTIONS")).contains("AES"), aes == "Y");
    QVERIFY(pieces(valueOf(response, "IP_CONFIG_OPTIONS")).startsWith("DHCP"));
    QCOMPARE(pieces(valueOf(response, "IP_CONFIG_OPTIONS")).value(1), QString("Fixed"));
}

void TestSim::refused_data() {
    QTest::addColumn<Requests>("commands");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("interfaceName");
    QTest::addColumn<QString>("prefix");
    const QString eth1 = "eth1";
    QTest::newRow("wrong password")
        << Requests{} << crlf(getLines(kOffice, {}, "guess")) << eth1 << "2 ";
    QTest::newRow("default password on a node with its own")
        << Requests{} << crlf(getLines(kStudy, {"VER"})) << eth1 << "2 ";
    QTest::newRow("password refused by knob")
        << Requests{{"fault", "office", "refusePassword", "on"}}
        << crlf(postLines(kOffice, {"NODE_TYPE=AP"})) << eth1 << "2 ";
    QTest::newRow("wrong factory password")
        << Requests{} << crlf({"POST " + kOffice, ".FACTORY_PASSWORD=kaldor"}) << eth1 << "2 ";
    QTest::newRow("unknown node") << Requests{} << crlf(getLines("020A1B0000FF", {"VER"})) << eth1
                                  << "ERROR";
    QTest::newRow("node under another key")
        << Requests{} << crlf(getLines(kNeighbour, {"VER"})) << eth1 << "ERROR";
    QTest::newRow("node switched off")
        << Requests{{"power", "office", "off"}} << crlf(postLines(kOffice, {"NODE_TYPE=AP"}))
        << eth1 << "ERROR";
    QTest::newRow("silent node") << Requests{{"fault", "office", "noAnswer", "on"}}
                                 << crlf(getLines(kOffice, {"VER"})) << eth1 << "ERROR";
    QTest::newRow("far node with its relay off")
        << Requests{{"power", "garage", "off"}} << crlf(getLines(kAttic, {"VER"})) << eth1
        << "ERROR";
    QTest::newRow("far node when it does not hear the relay")
        << Requests{{"hear", "attic", "none"}} << crlf(getLines(kAttic, {"VER"})) << eth1
        << "ERROR";
    QTest::newRow("interface without a node")
        << Requests{} << crlf(getLines(kLocal, {"VER"})) << "eth0"
        << "ERROR";
    QTest::newRow("no such interface") << Requests{} << crlf(getLines(kLocal, {"VER"})) << "eth7"
                                       << "ERROR";
    QTest::newRow("unknown key asked")
        << Requests{} << crlf(getLines(kOffice, {"VER", "COLOUR"})) << eth1 << "ERROR";
    QTest::newRow("unknown key set")
        << Requests{} << crlf(postLines(kOffice, {"COLOUR=red"})) << eth1 << "ERROR";
    QTest::newRow("read-only key")
        << Requests{} << crlf(postLines(kOffice, {"MODEL=KPL-510A"})) << eth1 << "ERROR";
    QTest::newRow("node type outside its options")
        << Requests{} << crlf(postLines(kOffice, {"NODE_TYPE=XP"})) << eth1 << "ERROR";
    QTest::newRow("empty node type")
        << Requests{} << crlf(postLines(kOffice, {"NODE_TYPE="})) << eth1 << "ERROR";
    QTest::newRow("good line then a bad one")
        << Requests{} << crlf(postLines(kOffice, {"MCAST_IGMP=Disabled", "NOTCHES=Loud"})) << eth1
        << "ERROR";
    QTest::newRow("AES on the model without it")
        << Requests{} << crlf(postLines(kOffice, {"ENCRYPT_TYPE=AES", "CRYPTO_OK=Ok"})) << eth1
        << "ERROR";
    QTest::newRow("encryption without its confirmation")
        << Requests{}
        << crlf(postLines(kLocal, {"ENCRYPT_TYPE=None", "ENCRYPT_KEY_STR=HomeKey-2024"})) << eth1
        << "ERROR";
    QTest::newRow("VLAN confirmation in the wrong case")
        << Requests{}
        << crlf(postLines(kOffice, {"KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_TAG=100",
                                    "KALDOR_VLAN_OK=Ok"}))
        << eth1 << "ERROR";
    QTest::newRow("VLAN tag out of range")
        << Requests{}
        << crlf(postLines(kOffice, {"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=4095",
                                    "KALDOR_VLAN_PRIO=1", "KALDOR_VLAN_OK=ok"}))
        << eth1 << "ERROR";
    QTest::newRow("criterion without its confirmation")
        << Requests{} << crlf(postLines(kOffice, {"CRITERION_0=8021p"})) << eth1 << "ERROR";
    QTest::newRow("class priority outside its options")
        << Requests{}
        << crlf(postLines(kOffice,
                          {"CRITERION_0=Custom", "CUSTOM_0_CLASS_PRIO_0=9", "CRITERION_0_OK=Ok"}))
        << eth1 << "ERROR";
    QTest::newRow("pattern that is not hexadecimal")
        << Requests{}
        << crlf(postLines(kOffice,
                          {"CRITERION_1=Custom", "CUSTOM_1_PATTERN=08G0", "CRITERION_1_OK=Ok"}))
        << eth1 << "ERROR";
    QTest::newRow("fixed address that is no address")
        << Requests{}
        << crlf(postLines(kOffice, {"IP_CONFIG_NVRAM=Fixed", "IP_ADDR_NVRAM=192.168.1.300",
                                    "NETMASK_NVRAM=255.255.255.0", "GATEWAY_NVRAM=192.168.1.1"}))
        << eth1 << "ERROR";
    QTest::newRow("network identifier with a comma")
        << Requests{} << crlf(postLines(kOffice, {"NET_ID_STR=a,b"})) << eth1 << "ERROR";
    QTest::newRow("empty new password")
        << Requests{} << crlf(postLines(kOffice, {"NEWPASSWORD="})) << eth1 << "ERROR";
    QTest::newRow("firmware update order without its confirmation")
        << Requests{}
        << crlf(postLines(kOffice, {"FLUP_PROTOCOL=TFTP", "FLUP_IP_ADDR=192.168.1.2",
                                    "FLUP_FILENAME=fw.bin", "FLUP_SECTION=Firmware"}))
        << eth1 << "ERROR";
    QTest::newRow("setting given twice")
        << Requests{} << crlf(postLines(kOffice, {"NODE_TYPE=AP", "NODE_TYPE=EP"})) << eth1
        << "ERROR";
    QTest::newRow("factory reset with settings")
        << Requests{} << crlf({"POST " + kOffice, ".FACTORY_PASSWORD=FP000002", "NODE_TYPE=AP"})
        << eth1 << "ERROR";
    QTest::newRow("no verb") << Requests{} << crlf({"PUT " + kOffice, ".PASSWORD=kaldor"}) << eth1
                             << "ERROR";
    QTest::newRow("no password line")
        << Requests{} << crlf({"GET " + kOffice, "VER"}) << eth1 << "ERROR";
    QTest::newRow("setting without =")
        << Requests{} << crlf(postLines(kOffice, {"NODE_TYPE"})) << eth1 << "ERROR";
    QTest::newRow("empty request") << Requests{} << QByteArray() << eth1 << "ERROR";
}

void TestSim::refused() {
    QFETCH(Requests, commands);
    QFETCH(QByteArray, request);
    QFETCH(QString, interfaceName);
    QFETCH(QString, prefix);
    SimWorld world;
    world.sims(commands);
    const QByteArray before = world.stateBytes();
    const QByteArray response = world.clientRun(request, interfaceName).result;
    QVERIFY2(response.startsWith(prefix.toUtf8()), response.constData());
    QVERIFY(response.endsWith("\r\n"));
    QVERIFY(firstLine(response).size() > prefix.size() + 5);  // a readable reason follows
    QCOMPARE(world.stateBytes(), before);
}

void TestSim::roundTrip_data() {
    QTest::addColumn<QString>("mac");
    QTest::addColumn<Requests>("posts");  // each answered "0"
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("fixed IP settings stored for the next start")
        << kOffice
        << Requests{{"IP_CONFIG_NVRAM=Fixed", "IP_ADDR_NVRAM=10.0.0.5", "NETMASK_NVRAM=255.0.0.0",
                     "GATEWAY_NVRAM=10.0.0.1"}}
        << QStringList{"IP_CONFIG_NVRAM=Fixed",   "IP_ADDR_NVRAM=10.0.0.5",
                       "NETMASK_NVRAM=255.0.0.0", "GATEWAY_NVRAM=10.0.0.1",
                       "IP_CONFIG=DHCP",          "IP_ADDR=192.168.1.11"};
    QTest::newRow("MAC and node type") << kOffice << Requests{{"MAC_TYPE=10 Full", "NODE_TYPE=AP"}}
                                       << QStringList{"MAC_TYPE=10 Full", "NODE_TYPE=AP"};
    QTest::newRow("PHY") << kGarage << Requests{{"NOTCHES=Disabled", "DISTORTION_CONTROL=High"}}
                         << QStringList{"NOTCHES=Disabled", "DISTORTION_CONTROL=High"};
    QTest::newRow("multicast") << kGarage << Requests{{"MCAST_IGMP=Proxy"}}
                               << QStringList{"MCAST_IGMP=Proxy"};
    QTest::newRow("AES encryption")
        << kLocal
        << Requests{{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC", "ENCRYPT_KEY_LENGTH=128",
                     "ENCRYPT_KEY_STR=HomeKey-2024", "CRYPTO_OK=Ok"}}
        << QStringList{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC", "ENCRYPT_KEY_LENGTH=128"};
    QTest::newRow("3DES after AES")
        << kLocal
        << Requests{{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=ECB", "ENCRYPT_KEY_LENGTH=256",
                     "ENCRYPT_KEY_STR=HomeKey-2024", "CRYPTO_OK=Ok"},
                    {"ENCRYPT_TYPE=3DES", "ENCRYPT_KEY_LENGTH=168", "ENCRYPT_KEY_STR=HomeKey-2024",
                     "CRYPTO_OK=Ok"}}
        << QStringList{"ENCRYPT_TYPE=3DES", "ENCRYPT_AES_TYPE=None", "ENCRYPT_KEY_LENGTH=168"};
    QTest::newRow("no encryption")
        << kGarage
        << Requests{{"ENCRYPT_TYPE=None", "ENCRYPT_KEY_STR=HomeKey-2024", "CRYPTO_OK=Ok"}}
        << QStringList{"ENCRYPT_TYPE=None", "ENCRYPT_AES_TYPE=None"};
    QTest::newRow("VLAN on") << kOffice
                             << Requests{{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=4094",
                                          "KALDOR_VLAN_PRIO=5", "KALDOR_VLAN_OK=ok"}}
                             << QStringList{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=4094",
                                            "KALDOR_VLAN_PRIO=5"};
    QTest::newRow("VLAN off with an emptied tag box")
        << kOffice
        << Requests{{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=2", "KALDOR_VLAN_PRIO=3",
                     "KALDOR_VLAN_OK=ok"},
                    {"KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_TAG=", "KALDOR_VLAN_OK=ok"}}
        << QStringList{"KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_TAG=2", "KALDOR_VLAN_PRIO=3"};
    QTest::newRow("default priority")
        << kOffice << Requests{{"DEFAULT_PRIO=4"}} << QStringList{"DEFAULT_PRIO=4"};
    QTest::newRow("QoS: TCP port 443 first")
        << kOffice
        << Requests{QStringList{"CRITERION_0=Custom"} + portLines(0, "06", 38, "01BB", 6) +
                    QStringList{"CRITERION_0_OK=Ok", "CRITERION_1=None", "CRITERION_1_OK=Ok"}}
        << QStringList{"CRITERION_0=Custom",
                       "CRITERION_1=None",
                       "CUSTOM_0_OFFSET=27",
                       "CUSTOM_0_PATTERN=0600000000000000",
                       "CUSTOM_0_BITMASK=FF00000000000000",
                       "CUSTOM_0_CLASS_OFFSET=38",
                       "CUSTOM_0_CLASS_BITMASK=FFFF000000000000",
                       "CUSTOM_0_CLASS_PATTERN=" +
                           hex16List({"01BB", "00", "00", "00", "00", "00", "00", "00"}),
                       "CUSTOM_0_CLASS_PRIO='6','0','0','0','0','0','0','0'"};
    QTest::newRow("QoS: precedence map on criterion 1")
        << kGarage
        << Requests{QStringList{"CRITERION_0=None", "CRITERION_0_OK=Ok", "CRITERION_1=Custom"} +
                    precedenceLines(1, {"6", "5", "4", "3", "2", "1", "0", "0"}) +
                    QStringList{"CRITERION_1_OK=Ok"}}
        << QStringList{"CRITERION_0=None",
                       "CRITERION_1=Custom",
                       "CUSTOM_1_OFFSET=16",
                       "CUSTOM_1_PATTERN=0800000000000000",
                       "CUSTOM_1_BITMASK=FFFF000000000000",
                       "CUSTOM_1_CLASS_OFFSET=19",
                       "CUSTOM_1_CLASS_BITMASK=E000000000000000",
                       "CUSTOM_1_CLASS_PATTERN=" +
                           hex16List({"20", "40", "60", "80", "A0", "C0", "E0", "E0"}),
                       "CUSTOM_1_CLASS_PRIO='6','5','4','3','2','1','0','0'"};
    QTest::newRow("QoS: UDP protocol preset on criterion 1")
        << kOffice
        << Requests{QStringList{"CRITERION_1=Custom"} +
                    customLines(1, {"OFFSET=16", "PATTERN=0800", "BITMASK=FFFF", "CLASS_OFFSET=27",
                                    "CLASS_BITMASK=FF", "CLASS_PATTERN_0=11", "CLASS_PRIO_0=6"}) +
                    QStringList{"CRITERION_1_OK=Ok"}}
        << QStringList{"CUSTOM_1_PATTERN=0800000000000000",
                       "CUSTOM_1_CLASS_PATTERN=" +
                           hex16List({"11", "00", "00", "00", "00", "00", "00", "00"}),
                       "CUSTOM_1_CLASS_PRIO='6','0','0','0','0','0','0','0'"};
    QTest::newRow("QoS: 802.1p clears the custom fields")
        << kOffice
        << Requests{QStringList{"CRITERION_0=Custom"} + portLines(0, "11", 40, "1F90", 1) +
                        QStringList{"CRITERION_0_OK=Ok"},
                    {"CRITERION_0=8021p", "CRITERION_0_OK=Ok"}}
        << QStringList{"CRITERION_0=8021p",
                       "CUSTOM_0_OFFSET=0",
                       "CUSTOM_0_PATTERN=0000000000000000",
                       "CUSTOM_0_CLASS_OFFSET=0",
                       "CUSTOM_0_CLASS_PATTERN=" + hex16List(QStringList(8, "0")),
                       "CUSTOM_0_CLASS_PRIO='0','0','0','0','0','0','0','0'"};
    QTest::newRow("request with no settings")
        << kOffice << Requests{{}} << QStringList{"NODE_TYPE=EP"};
}

void TestSim::roundTrip() {
    QFETCH(QString, mac);
    QFETCH(Requests, posts);
    QFETCH(QStringList, expected);
    SimWorld world;
    for (const QStringList& lines : posts)
        QCOMPARE(world.client(postLines(mac, lines)), QByteArray("0\r\n"));
    QStringList keys;
    for (const QString& line : expected)
        keys << line.left(line.indexOf('='));
    QCOMPARE(world.client(getLines(mac, keys)), crlf(QStringList{"INFO"} + expected));
}

void TestSim::passwordChange() {
    SimWorld world;
    QCOMPARE(world.client(postLines(kOffice, {"NEWPASSWORD=n3w-Pass"})), QByteArray("0\r\n"));
    QVERIFY(world.client(getLines(kOffice, {"VER"})).startsWith("2 "));
    QCOMPARE(world.client(getLines(kOffice, {"VER"}, "n3w-Pass")), crlf({"INFO", "VER=2.4.11"}));
    QCOMPARE(world.network().nodes[1].password, QString("n3w-Pass"));
    // Other nodes keep their own passwords.
    QCOMPARE(world.client(getLines(kGarage, {"VER"})), crlf({"INFO", "VER=3.1.7"}));
}

void TestSim::networkChange() {
    SimWorld world;
    const QStringList table{"PLC_CONNECTION_MAC_ADDR", "PLC_CONNECTION_NET_ID_STR"};
    // Same key, new identifier: still reachable, listed under the new name.
    QCOMPARE(world.client(postLines(kOffice, {"NET_ID_STR=Upstairs"})), QByteArray("3\r\n"));
    QCOMPARE(valueOf(world.client(getLines(kLocal, table)), "PLC_CONNECTION_NET_ID_STR"),
             QString("'Upstairs','KaldorHome','KaldorLab','Network #1','KaldorHome'"));
    QCOMPARE(world.client(getLines(kOffice, {"NET_ID_STR"})),
             crlf({"INFO", "NET_ID_STR=Upstairs"}));
    // Sending the same values again changes no membership.
    QCOMPARE(
        world.client(postLines(kOffice, {"NET_ID_STR=Upstairs", "ENCRYPT_KEY_STR=HomeKey-2024"})),
        QByteArray("0\r\n"));
    // A new key: the garage leaves, and with it the only way to the attic.
    QCOMPARE(world.client(postLines(
                 kGarage, {"NET_ID_STR=Garage", "ENCRYPT_KEY_STR=Garage-Key", "NOTCHES=Disabled"})),
             QByteArray("3\r\n"));
    QCOMPARE(valueOf(world.client(getLines(kLocal, table)), "PLC_CONNECTION_NET_ID_STR"),
             QString("'Upstairs','Network #1','KaldorLab','Network #1','KaldorHome'"));
    QVERIFY(world.client(getLines(kGarage, {"VER"})).startsWith("ERROR"));
    QVERIFY(world.client(getLines(kAttic, {"VER"})).startsWith("ERROR"));
    // The local node follows into the garage's network: the garage is back,
    // the rest of the old network is now foreign.
    QCOMPARE(world.client(postLines(kLocal, {"ENCRYPT_KEY_STR=Garage-Key"})), QByteArray("3\r\n"));
    QCOMPARE(valueOf(world.client(getLines(kLocal, table)), "PLC_CONNECTION_NET_ID_STR"),
             QString("'Network #1','Garage','Network #1','Network #1','Network #1'"));
    QCOMPARE(world.client(getLines(kGarage, {"NOTCHES"})), crlf({"INFO", "NOTCHES=Disabled"}));
    // The answer to a network change can be set to "0".
    QCOMPARE(world.sim({"network-change-answer", "0"}), 0);
    QCOMPARE(world.client(postLines(kLocal, {"NET_ID_STR=Else"})), QByteArray("0\r\n"));
}

void TestSim::hardwareReset() {
    SimWorld world;
    QCOMPARE(world.sim({"time-scale", "100"}), 0);  // the garage stays down for 800 s
    QCOMPARE(
        world.client(postLines(kGarage, {"IP_CONFIG_NVRAM=Fixed", "IP_ADDR_NVRAM=10.1.2.3",
                                         "NETMASK_NVRAM=255.255.0.0", "GATEWAY_NVRAM=10.1.0.1"})),
        QByteArray("0\r\n"));
    const qint64 resetAt = QDateTime::currentMSecsSinceEpoch();
    QCOMPARE(world.client(postLines(kGarage, {"HW_RESET_OK=Ok"})), QByteArray("0\r\n"));
    QVERIFY(world.client(getLines(kGarage, {"NUM_BOOTS"})).startsWith("ERROR"));
    // Restarting, it is missing from the tables and relays for nobody.
    QVERIFY(!valueOf(world.client(getLines(kLocal, {"PLC_CONNECTION_MAC_ADDR"})),
                     "PLC_CONNECTION_MAC_ADDR")
                 .contains(kGarage));
    QVERIFY(world.client(getLines(kAttic, {"VER"})).startsWith("ERROR"));
    const qint64 back = findNode(world.network(), kGarage)->restartUntilMs;
    QVERIFY(back >= resetAt + 800000 && back < resetAt + 860000);
    // Once back it runs with one more boot and the stored addresses.
    QString error;
    QVERIFY(updateNetworkFile(
        world.statePath(),
        [](Network& net, QString*) {
            findNode(net, kGarage)->restartUntilMs = 0;
            return true;
        },
        &error));
    QCOMPARE(world.client(
                 getLines(kGarage, {"NUM_BOOTS", "IP_CONFIG", "IP_ADDR", "NETMASK", "GATEWAY"})),
             crlf({"INFO", "NUM_BOOTS=2", "IP_CONFIG=Fixed", "IP_ADDR=10.1.2.3",
                   "NETMASK=255.255.0.0", "GATEWAY=10.1.0.1"}));
    // The local node restarting leaves the host without a node.
    QCOMPARE(world.client(postLines(kLocal, {"HW_RESET_OK=Ok"})), QByteArray("0\r\n"));
    QCOMPARE(firstLine(world.discover().result), QString("E"));
    QVERIFY(world.client(getLines(kLocal, {"VER"})).startsWith("ERROR"));
}

void TestSim::restartInRealTime() {
    SimWorld world;
    QCOMPARE(world.sim({"time-scale", "0.05"}), 0);  // the garage restarts in 400 ms
    QElapsedTimer restart;
    restart.start();
    QCOMPARE(world.client(postLines(kGarage, {"HW_RESET_OK=Ok"})), QByteArray("0\r\n"));
    QTRY_VERIFY_WITH_TIMEOUT(world.client(getLines(kGarage, {"VER"})).startsWith("INFO"), 20000);
    QVERIFY(restart.elapsed() >= 400);
}

void TestSim::factoryReset() {
    SimWorld world;
    QCOMPARE(world.sim({"time-scale", "0"}), 0);
    QCOMPARE(world.client(postLines(kStudy, {"HW_RESET_OK=Ok"}, "study-2024")),
             QByteArray("0\r\n"));
    QCOMPARE(world.client(postLines(kStudy, {"MCAST_IGMP=Proxy"}, "study-2024")),
             QByteArray("0\r\n"));
    QVERIFY(world.client({"POST " + kStudy, ".FACTORY_PASSWORD=study-2024"}).startsWith("2 "));
    QCOMPARE(world.client({"POST " + kStudy, ".FACTORY_PASSWORD=FP000007"}), QByteArray("0\r\n"));
    QVERIFY(world.client(getLines(kStudy, {"VER"}, "study-2024"))
                .startsWith("ERROR"));  // other key now
    // Back in the factory network: seen as foreign from here, so ask it
    // through a cable of its own.
    QCOMPARE(world.sim({"attach", "study", "eth0"}), 0);
    QCOMPARE(world.clientRun(crlf(getLines(kStudy, {"VER"}, "study-2024")), "eth0").result.left(2),
             QByteArray("2 "));
    const QByteArray after =
        world
            .clientRun(crlf(getLines(kStudy, {"NUM_BOOTS", "NET_ID_STR", "ENCRYPT_KEY_STR",
                                              "ENCRYPT_TYPE", "MCAST_IGMP", "VER"})),
                       "eth0")
            .result;
    QCOMPARE(after,
             crlf({"INFO", "NUM_BOOTS=1", "NET_ID_STR=Kaldor", "ENCRYPT_KEY_STR=KaldorDefaultKey",
                   "ENCRYPT_TYPE=3DES", "MCAST_IGMP=Snooping", "VER=3.1.7"}));
    QCOMPARE(valueOf(world.client(getLines(kLocal, {"PLC_CONNECTION_NET_ID_STR"})),
                     "PLC_CONNECTION_NET_ID_STR")
                 .count("Network #1"),
             2);
}

void TestSim::faults_data() {
    QTest::addColumn<QString>("knob");
    QTest::addColumn<QString>("value");
    QTest::newRow("no answer") << "noAnswer"
                               << "on";
    QTest::newRow("late answer") << "delayMs"
                                 << "700";
    QTest::newRow("every password refused") << "refusePassword"
                                            << "on";
    QTest::newRow("no response file") << "noResponse"
                                      << "on";
    QTest::newRow("empty response") << "truncateAt"
                                    << "0";
    QTest::newRow("truncated response") << "truncateAt"
                                        << "9";
    QTest::newRow("garbage") << "garbage"
                             << "on";
    QTest::newRow("several megabytes") << "hugeMb"
                                       << "3";
    QTest::newRow("NUL byte") << "nulByte"
                              << "on";
    QTest::newRow("invalid UTF-8") << "invalidUtf8"
                                   << "on";
}

void TestSim::faults() {
    QFETCH(QString, knob);
    QFETCH(QString, value);
    SimWorld world;
    const QByteArray request = crlf(getLines(kOffice, {"NET_ID_STR", "VER"}));
    const QByteArray proper = world.clientRun(request).result;
    QCOMPARE(world.sim({"fault", "office", knob, value}), 0);
    const ToolRun r = world.clientRun(request);
    QCOMPARE(r.written, knob != "noResponse");
    const QByteArray& bytes = r.result;
    QCOMPARE(QString::fromUtf8(bytes).contains(QChar::ReplacementCharacter),
             knob == "garbage" || knob == "invalidUtf8");
    if (knob == "noAnswer")
        QVERIFY(bytes.startsWith("ERROR: "));
    if (knob == "delayMs")
        QVERIFY(r.elapsedMs >= 700 && bytes == proper);
    if (knob == "refusePassword")
        QVERIFY(bytes.startsWith("2 "));
    if (knob == "truncateAt")
        QCOMPARE(bytes, proper.left(value.toInt()));
    if (knob == "garbage")
        QVERIFY(bytes.size() > 1000 && !bytes.startsWith("INFO") && !bytes.startsWith("0") &&
                !bytes.startsWith("2") && !bytes.startsWith("3"));
    if (knob == "hugeMb")
        QVERIFY(bytes.size() >= 3 * 1024 * 1024 && bytes.startsWith(proper));
    if (knob == "nulByte" || knob == "invalidUtf8")
        QVERIFY(bytes.startsWith("INFO") && bytes.size() > proper.size() &&
                bytes.mid(bytes.indexOf("\r\n")) == proper.mid(4));
    if (knob == "nulByte")
        QVERIFY(firstLine(bytes).contains(QChar(0)));
    // Other nodes are not affected.
    QCOMPARE(world.client(getLines(kGarage, {"VER"})), crlf({"INFO", "VER=3.1.7"}));
}

void TestSim::corruptState_data() {
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<QString>("reason");
    const QByteArray demo = networkToJson(demoNetwork());
    QTest::newRow("empty file") << QByteArray() << "not valid JSON";
    QTest::newRow("cut in half") << demo.left(demo.size() / 2) << "not valid JSON";
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe{\x01", 5) << "not valid JSON";
    QTest::newRow("a list") << QByteArray("[1,2]") << "top level";
    QTest::newRow("no nodes") << QByteArray(R"({"format":1,"interfaces":[]})") << "'nodes'";
    QTest::newRow("newer format") << QByteArray(demo).replace("\"format\": 1", "\"format\": 7")
                                  << "'format'";
    QTest::newRow("bad MAC") << QByteArray(demo).replace("\"mac\": \"020A1B000002\"",
                                                         "\"mac\": \"020A1B00000Z\"")
                             << "'mac'";
    QTest::newRow("MAC twice") << QByteArray(demo).replace("\"mac\": \"020A1B000002\"",
                                                           "\"mac\": \"020A1B000001\"")
                               << "twice";
    QTest::newRow("parameter not a text")
        << QByteArray(demo).replace("\"NUM_BOOTS\": \"1\"", "\"NUM_BOOTS\": 1") << "NUM_BOOTS";
    QTest::newRow("interface that does not exist")
        << QByteArray(demo).replace("\"hostInterface\": 1", "\"hostInterface\": 5")
        << "'hostInterface'";
    QTest::newRow("unknown fault knob")
        << QByteArray(demo).replace("\"garbage\": false", "\"rubbish\": false") << "rubbish";
}

void TestSim::corruptState() {
    QFETCH(QByteArray, state);
    QFETCH(QString, reason);
    SimWorld world;
    QFile f(world.statePath());
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(state);
    f.close();
    const ToolRun r = world.clientRun(crlf(getLines(kOffice, {"VER"})));
    QVERIFY2(r.result.startsWith("ERROR: the network state file"), r.result.constData());
    QVERIFY2(firstLine(r.result).contains(reason), r.result.constData());
    QCOMPARE(world.stateBytes(), state);
    const ToolRun d = world.discover();
    QCOMPARE(d.exitCode, 1);
    QCOMPARE(d.result, QByteArray("E\r\n"));
    QVERIFY(d.stderrText.contains("damaged"));
    QByteArray output;
    QCOMPARE(world.sim({"show"}, &output), 1);
    QVERIFY(output.contains(reason.toUtf8()));
}

void TestSim::concurrentRuns() {
    const int count = 50;
    SimWorld world(kaldorsim::generatedNetwork(count));
    QTemporaryDir folders;
    QList<QProcess*> runs;
    const auto start = [&](const QString& program, const QStringList& args, const QString& dir) {
        auto* p = new QProcess;
        p->setWorkingDirectory(dir);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KALDOR_SIMNET", world.statePath());
        p->setProcessEnvironment(env);
        p->start(tool(program), args);
        runs << p;
    };
    const Network initial = world.network();
    for (int i = 0; i < count; ++i) {
        // Each client in a folder of its own: the response file has a fixed name.
        const QString dir = folders.filePath(QString::number(i));
        QDir().mkpath(dir);
        QFile request(dir + "/post.cfg");
        QVERIFY(request.open(QIODevice::WriteOnly));
        request.write(crlf(postLines(initial.nodes[i].mac,
                                     {"NOTCHES=Disabled", "NODE_TYPE=AP", "MCAST_IGMP=Disabled"})));
        request.close();
        start("ihcp_client.exe", {dir + "/post.cfg", "-i", "eth1"}, dir);
        if (i % 5 == 0)
            start("kaldor-sim", {"set", initial.nodes[i].mac, "FLUP_FILENAME", "set-by-cli"},
                  folders.path());
    }
    for (QProcess* p : runs)
        QVERIFY(p->waitForFinished(kRunTimeoutMs));
    qDeleteAll(runs);
    for (int i = 0; i < count; ++i) {
        QFile response(folders.filePath(QString::number(i)) + "/ihcp_client.tmp");
        QVERIFY(response.open(QIODevice::ReadOnly));
        QCOMPARE(response.readAll(), QByteArray("0\r\n"));
    }
    const Network after = world.network();
    QCOMPARE(after.nodes.size(), count);
    for (int i = 0; i < count; ++i) {
        const Parameters& p = after.nodes[i].params;
        QCOMPARE(p.value("NOTCHES"), QString("Disabled"));
        QCOMPARE(p.value("NODE_TYPE"), QString("AP"));
        QCOMPARE(p.value("MCAST_IGMP"), QString("Disabled"));
        QCOMPARE(p.value("FLUP_FILENAME"), QString(i % 5 == 0 ? "set-by-cli" : ""));
    }
}

void TestSim::commandLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<NetworkCheck>("check");
    const auto node = [](const Network& n, const QString& name) { return *findNode(n, name); };
    QTest::newRow("set by label") << QStringList{"set", "office", "VER", "9.9"} << 0
                                  << NetworkCheck([=](const Network& n) {
                                         return node(n, kOffice).params["VER"] == "9.9";
                                     });
    QTest::newRow("set an option list by MAC")
        << QStringList{"set", kLab.toLower(), "NOTCHES_OPTIONS", "'x',''"} << 0
        << NetworkCheck([=](const Network& n) {
               return node(n, kLab).params["NOTCHES_OPTIONS"] == "'x',''";
           });
    QTest::newRow("set an unknown key") << QStringList{"set", "office", "COLOUR", "red"} << 1
                                        << NetworkCheck([=](const Network& n) {
                                               return !node(n, kOffice).params.contains("COLOUR");
                                           });
    QTest::newRow("fault knob") << QStringList{"fault", "garage", "delayMs", "250"} << 0
                                << NetworkCheck([=](const Network& n) {
                                       return node(n, kGarage).faults.delayMs == 250;
                                   });
    QTest::newRow("discovery fault knob")
        << QStringList{"fault", "discover", "garbage", "on"} << 0
        << NetworkCheck([](const Network& n) { return n.discoverFaults.garbage; });
    QTest::newRow("unknown fault knob") << QStringList{"fault", "garage", "explode", "on"} << 1
                                        << NetworkCheck([](const Network&) { return true; });
    QTest::newRow("fault knob with a bad value")
        << QStringList{"fault", "garage", "garbage", "maybe"} << 1
        << NetworkCheck([=](const Network& n) { return !node(n, kGarage).faults.garbage; });
    QTest::newRow("power off") << QStringList{"power", "study", "off"} << 0
                               << NetworkCheck(
                                      [=](const Network& n) { return !node(n, kStudy).powered; });
    QTest::newRow("power with a bad word")
        << QStringList{"power", "study", "maybe"} << 1
        << NetworkCheck([=](const Network& n) { return node(n, kStudy).powered; });
    QTest::newRow("loader mode") << QStringList{"loader", "attic", "on"} << 0
                                 << NetworkCheck([=](const Network& n) {
                                        return node(n, kAttic).loaderMode;
                                    });
    QTest::newRow("hear two nodes")
        << QStringList{"hear", "lab", "office", kStudy} << 0 << NetworkCheck([=](const Network& n) {
               return node(n, kLab).hears == QStringList{kOffice, kStudy};
           });
    QTest::newRow("hear everyone")
        << QStringList{"hear", "attic", "all"} << 0
        << NetworkCheck([=](const Network& n) { return !node(n, kAttic).hears.has_value(); });
    QTest::newRow("hear a node that does not exist")
        << QStringList{"hear", "lab", "nobody"} << 1
        << NetworkCheck([=](const Network& n) { return node(n, kLab).hears->size() == 5; });
    QTest::newRow("password") << QStringList{"password", "office", "pw-2"} << 0
                              << NetworkCheck([=](const Network& n) {
                                     return node(n, kOffice).password == "pw-2";
                                 });
    QTest::newRow("attach") << QStringList{"attach", "lab", "eth0"} << 0
                            << NetworkCheck([=](const Network& n) {
                                   return node(n, kLab).hostInterface == 0;
                               });
    QTest::newRow("attach to a missing interface")
        << QStringList{"attach", "lab", "eth9"} << 1
        << NetworkCheck([=](const Network& n) { return node(n, kLab).hostInterface == -1; });
    QTest::newRow("time scale") << QStringList{"time-scale", "0.25"} << 0
                                << NetworkCheck(
                                       [](const Network& n) { return n.timeScale == 0.25; });
    QTest::newRow("negative time scale")
        << QStringList{"time-scale", "-1"} << 1
        << NetworkCheck([](const Network& n) { return n.timeScale == 1.0; });
    QTest::newRow("network change answer")
        << QStringList{"network-change-answer", "0"} << 0
        << NetworkCheck([](const Network& n) { return n.networkChangeAnswer == "0"; });
    QTest::newRow("unknown node") << QStringList{"power", "020A1B0000FF", "off"} << 1
                                  << NetworkCheck([](const Network&) { return true; });
    QTest::newRow("unknown command")
        << QStringList{"explode"} << 2 << NetworkCheck([](const Network&) { return true; });
    QTest::newRow("missing argument") << QStringList{"set", "office", "VER"} << 2
                                      << NetworkCheck([](const Network&) { return true; });
    QTest::newRow("generated network")
        << QStringList{"create-generated", "12"} << 0 << NetworkCheck([](const Network& n) {
               return n.nodes.size() == 12 && n.nodes[0].hostInterface == 1;
           });
    QTest::newRow("demo network again")
        << QStringList{"create-demo"} << 0
        << NetworkCheck([](const Network& n) { return n.nodes.size() == 7; });
}

void TestSim::commandLine() {
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(NetworkCheck, check);
    SimWorld world;
    const QByteArray before = world.stateBytes();
    QByteArray output;
    QCOMPARE(world.sim(args, &output), exitCode);
    if (exitCode != 0) {
        QVERIFY(output.startsWith("kaldor-sim: "));
        QCOMPARE(world.stateBytes(), before);
    }
    QVERIFY(check(world.network()));
}

void TestSim::commandLineHelp() {
    SimWorld world;
    QByteArray help;
    QCOMPARE(world.sim({"--help"}, &help), 0);
    for (const char* command :
         {"create-demo", "create-generated N", "show [NODE]", "set NODE KEY VALUE",
          "fault NODE KNOB VALUE", "power NODE on|off", "loader NODE on|off", "hear NODE",
          "password NODE", "attach NODE", "time-scale", "network-change-answer"})
        QVERIFY2(help.contains(command), command);
    for (const QString& knob : faultKnobNames())
        QVERIFY2(help.contains(knob.toUtf8()), qPrintable(knob));
    QByteArray shown;
    QCOMPARE(world.sim({"show", "study"}, &shown), 0);
    QVERIFY(shown.contains("password study-2024, factory password FP000007"));
    QVERIFY(shown.contains("\nNET_ID_STR=KaldorHome\n"));
}

void TestSim::generatedNetwork() {
    SimWorld world(kaldorsim::generatedNetwork(300));
    const QString last = world.network().nodes.last().mac;
    QCOMPARE(firstLine(world.discover().result), world.network().nodes.first().mac);
    const QByteArray all = world.client(getLines(last, {}));
    QVERIFY(all.startsWith("INFO\r\n"));
    QCOMPARE(pieces(valueOf(all, "PLC_CONNECTION_MAC_ADDR")).size(), 299);
    QCOMPARE(valueOf(all, "MODEL"), QString("KPL-200"));
}

void TestSim::stagedDemo() {
    // Read without the lock: other tests copy the staged folder meanwhile.
    QFile staged(tool("simnet.json"));
    QVERIFY(staged.open(QIODevice::ReadOnly));
    QString error;
    const std::optional<Network> net = networkFromJson(staged.readAll(), &error);
    QVERIFY2(net, qPrintable(error));
    QCOMPARE(networkToJson(*net), networkToJson(demoNetwork()));
}

void TestSim::firmwareImages_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("cut");  // bytes cut off the end of the written image
    QTest::addColumn<int>("check");
    QTest::addColumn<QString>("model");
    QTest::newRow("valid") << "valid" << 0 << int(ImageCheck::Ok) << "KPL-200";
    QTest::newRow("bad magic") << "bad-magic" << 0 << int(ImageCheck::BadMagic) << "";
    QTest::newRow("bad CRC") << "bad-crc" << 0 << int(ImageCheck::BadCrc) << "KPL-200";
    QTest::newRow("truncated") << "truncated" << 0 << int(ImageCheck::Truncated) << "KPL-200";
    QTest::newRow("wrong model") << "wrong-model" << 0 << int(ImageCheck::Ok) << "KPL-510A";
    QTest::newRow("one byte short") << "valid" << 1 << int(ImageCheck::Truncated) << "KPL-200";
    QTest::newRow("header cut") << "valid" << 1100 << int(ImageCheck::Truncated) << "";
    QTest::newRow("magic cut") << "valid" << 1117 << int(ImageCheck::Truncated) << "";
    QTest::newRow("empty") << "valid" << 1120 << int(ImageCheck::BadMagic) << "";
}

void TestSim::firmwareImages() {
    QFETCH(QString, kind);
    QFETCH(int, cut);
    QFETCH(int, check);
    QFETCH(QString, model);
    SimWorld world;
    QCOMPARE(world.sim({"image", world.path("fw.img"), "KPL-200", "2.5.0", kind, "1072"}), 0);
    QFile file(world.path("fw.img"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    // The command line writes what the library makes.
    QCOMPARE(bytes, makeImage("KPL-200", "2.5.0", *imageKindByName(kind), 1072));
    bytes.chop(cut);
    const Image image = readImage(bytes);
    QCOMPARE(int(image.check), check);
    if (!model.isEmpty()) {
        QCOMPARE(image.model, model);
        QCOMPARE(image.version, QString("2.5.0"));
        QCOMPARE(image.payloadSize, 1072u);
    }
    // The checksum is the common CRC-32.
    QCOMPARE(crc32("123456789"), 0xCBF43926u);
}

void TestSim::firmwareServer_data() {
    QTest::addColumn<Requests>("setup");
    QTest::addColumn<QStringList>("args");  // "<image>" stands for a valid image's path
    QTest::addColumn<QString>("asker");     // node that sends FLUP_L2_OK while the server runs
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("status");  // FLUP_STATUS of the asker, or of the local node
    QTest::newRow("no arguments") << Requests{} << QStringList{} << "" << 1 << "idle";
    QTest::newRow("interface not a number")
        << Requests{} << QStringList{"<image>", "eth1"} << "" << 9 << "idle";
    QTest::newRow("interface beyond the host's")
        << Requests{} << QStringList{"<image>", "2"} << "" << 9 << "idle";
    QTest::newRow("node on the cable asks")
        << Requests{} << QStringList{"<image>", "1"} << kLocal << 0 << "downloading";
    QTest::newRow("remote node asks through the local one")
        << Requests{} << QStringList{"<image>", "1"} << kGarage << 0 << "downloading";
    QTest::newRow("node asks on another interface")
        << Requests{} << QStringList{"<image>", "0"} << kLocal << 7 << "initial";
    QTest::newRow("other model refuses") << Requests{} << QStringList{"<image>", "1"} << kOffice
                                         << 6 << "failed: the image is for KPL-510A";
    QTest::newRow("loader on the cable")
        << Requests{{"loader", "local", "on"}} << QStringList{"<image>", "1"} << "" << 0 << "idle";
    QTest::newRow("switched-off loader")
        << Requests{{"loader", "local", "on"}, {"power", "local", "off"}}
        << QStringList{"<image>", "1"} << "" << 7 << "idle";
    QTest::newRow("transfer cut") << Requests{{"fault", "local", "cutTransfer", "on"}}
                                  << QStringList{"<image>", "1"} << kLocal << 8
                                  << "failed: transfer interrupted";
}

void TestSim::firmwareServer() {
    QFETCH(Requests, setup);
    QFETCH(QStringList, args);
    QFETCH(QString, asker);
    QFETCH(int, code);
    QFETCH(QString, status);
    SimWorld world;
    world.sims(setup);
    world.sims({{"time-scale", "0"}, {"image", world.path("new fw.img"), "KPL-510A", "3.2.0"}});
    args.replaceInStrings("<image>", world.path("new fw.img"));
    const QString watched = asker.isEmpty() ? kLocal : asker;
    const QString versionBefore = findNode(world.network(), watched)->params.value("VER");
    // The server runs while the client asks, as the assistant runs them.
    QProcess server;
    server.setWorkingDirectory(world.path(""));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("KALDOR_SIMNET");
    server.setProcessEnvironment(env);
    server.start(tool("winl2fwserver.exe"), args);
    QVERIFY(server.waitForStarted());
    if (!asker.isEmpty())
        QCOMPARE(world.client(postLines(asker, {"FLUP_L2_OK=Ok"})), QByteArray("0\r\n"));
    QVERIFY(server.waitForFinished(kRunTimeoutMs));
    QFile result(world.path("winl2fwserver.tmp"));
    QVERIFY(result.open(QIODevice::ReadOnly));
    QCOMPARE(firstLine(result.readAll()).section(' ', 0, 0), QString::number(code));
    QCOMPARE(server.exitCode(), code);
    const Network after = world.network();
    const Node* node = findNode(after, watched);
    QCOMPARE(node->params.value("FLUP_STATUS"), status);
    // A loader runs the new firmware at once; a running node after its next restart.
    const bool loaderRevived = asker.isEmpty() && code == 0;
    QCOMPARE(node->params.value("VER"), loaderRevived ? QString("3.2.0") : versionBefore);
    QCOMPARE(node->loaderMode, !loaderRevived && setup.contains({"loader", "local", "on"}));
}

void TestSim::firmwareUpdate_data() {
    QTest::addColumn<Requests>("setup");
    QTest::addColumn<QStringList>("order");
    // Status, file size and downloaded size after each status query.
    QTest::addColumn<QStringList>("course");
    QTest::addColumn<QString>("version");  // VER after the hardware reset
    const QStringList ftp{"FLUP_PROTOCOL=FTP",
                          "FLUP_IP_ADDR=192.168.1.5",
                          "FLUP_LOGIN=kaldor",
                          "FLUP_PASSWORD=firmware",
                          "FLUP_FILENAME=kpl200-2.5.0.img",
                          "FLUP_SECTION=Firmware",
                          "FLUP_OK=Ok"};
    const QStringList quarters{"initial 0 0",          "downloading 1072 268",
                               "downloading 1072 536", "downloading 1072 804",
                               "finished 1072 1072",   "finished 1072 1072"};
    QTest::newRow("FTP") << Requests{} << ftp << quarters << "2.5.0";
    QTest::newRow("TFTP, size known at the end")
        << Requests{{"server-option", "192.168.1.6", "announcesSize", "off"}}
        << QStringList{"FLUP_PROTOCOL=TFTP", "FLUP_IP_ADDR=192.168.1.6",
                       "FLUP_FILENAME=kpl200-2.5.0.img", "FLUP_SECTION=Firmware", "FLUP_OK=Ok"}
        << QStringList{"initial 0 0", "downloading 0 268", "downloading 0 536", "downloading 0 804",
                       "finished 1072 1072"}
        << "2.5.0";
    QTest::newRow("slow server")
        << Requests{{"server-option", "192.168.1.5", "connectQueries", "3"}} << ftp
        << QStringList{"initial 0 0", "initial 0 0", "initial 0 0", "downloading 1072 268"}
        << "2.4.11";
    QTest::newRow("boot loader") << Requests{}
                                 << QStringList(ftp).replaceInStrings("=Firmware", "=Bootloader")
                                 << quarters << "2.4.11";
    QTest::newRow("wrong login")
        << Requests{} << QStringList(ftp).replaceInStrings("=kaldor", "=x")
        << QStringList{"initial 0 0", "failed: the FTP server refused the login of 'x' 0 0"}
        << "2.4.11";
    QTest::newRow("no such file")
        << Requests{} << QStringList(ftp).replaceInStrings("2.5.0.img", "9.img")
        << QStringList{"initial 0 0", "failed: the server has no file named 'kpl200-9.img' 0 0"}
        << "2.4.11";
    QTest::newRow("no server") << Requests{}
                               << QStringList(ftp).replaceInStrings("192.168.1.5", "192.168.1.6")
                               << QStringList{"initial 0 0", "initial 0 0", "initial 0 0",
                                              "failed: no FTP server answers at 192.168.1.6 0 0"}
                               << "2.4.11";
    QTest::newRow("image for the other model")
        << Requests{} << QStringList(ftp).replaceInStrings("kpl200-2.5.0", "kpl510a-3.2.0")
        << QStringList{"initial 0 0", "downloading 1072 268", "downloading 1072 536",
                       "downloading 1072 804",
                       "failed: 'kpl510a-3.2.0.img' is not a valid firmware image for KPL-200 1072 "
                       "1072"}
        << "2.4.11";
    QTest::newRow("flash fails") << Requests{{"fault", "office", "flashFails", "on"}} << ftp
                                 << QStringList{"initial 0 0", "downloading 1072 268",
                                                "downloading 1072 536", "downloading 1072 804",
                                                "failed: flash write error 1072 1072"}
                                 << "2.4.11";
}

void TestSim::firmwareUpdate() {
    QFETCH(Requests, setup);
    QFETCH(QStringList, order);
    QFETCH(QStringList, course);
    QFETCH(QString, version);
    SimWorld world;
    world.sims(setup);
    QCOMPARE(world.sim({"time-scale", "0"}), 0);
    QCOMPARE(world.client(postLines(kOffice, order)), QByteArray("0\r\n"));
    const QStringList query{"FLUP_STATUS", "FLUP_FILE_SIZE", "FLUP_DOWNLOADED_SIZE"};
    QStringList seen;
    for (int i = 0; i < course.size(); ++i) {
        const QByteArray answer = world.client(getLines(kOffice, query));
        seen << valueOf(answer, "FLUP_STATUS") + " " + valueOf(answer, "FLUP_FILE_SIZE") + " " +
                    valueOf(answer, "FLUP_DOWNLOADED_SIZE");
    }
    QCOMPARE(seen, course);
    // Reading every parameter moves nothing on.
    QCOMPARE(valueOf(world.client(getLines(kOffice, {})), "FLUP_STATUS"),
             course.last().section(' ', 0, -3));
    QCOMPARE(world.client(postLines(kOffice, {"HW_RESET_OK=Ok"})), QByteArray("0\r\n"));
    QCOMPARE(world.client(getLines(kOffice, {"VER", "FLUP_STATUS"})),
             crlf({"INFO", "VER=" + version, "FLUP_STATUS=idle"}));
}

void TestSim::firmwareCommandLine_data() {
    QTest::addColumn<Requests>("commands");
    QTest::addColumn<int>("exitCode");  // of the last command
    QTest::addColumn<NetworkCheck>("check");
    const auto server = [](const Network& n, const QString& address) -> const FileServer* {
        for (const FileServer& s : n.fileServers) {
            if (s.address == address)
                return &s;
        }
        return nullptr;
    };
    QTest::newRow("FTP server with login")
        << Requests{{"file-server", "10.1.1.1", "FTP", "u", "p"}} << 0
        << NetworkCheck([=](const Network& n) {
               const FileServer* s = server(n, "10.1.1.1");
               return s && s->protocol == "FTP" && s->user == "u" && s->password == "p" &&
                      s->files.isEmpty() && n.fileServers.size() == 3;
           });
    QTest::newRow("set up again keeps the files")
        << Requests{{"image", "a.img", "KPL-200", "1.0", "valid", "10"},
                    {"server-file", "192.168.1.6", "a.img", "a.img"},
                    {"file-server", "192.168.1.6", "FTP", "u", "p"}}
        << 0 << NetworkCheck([=](const Network& n) {
               const FileServer* s = server(n, "192.168.1.6");
               return s && s->protocol == "FTP" && s->files.size() == 3 &&
                      s->files.value("a.img") == makeImage("KPL-200", "1.0", ImageKind::Valid, 10);
           });
    QTest::newRow("options") << Requests{{"server-option", "192.168.1.5", "connectQueries", "7"},
                                         {"server-option", "192.168.1.5", "announcesSize", "off"}}
                             << 0 << NetworkCheck([=](const Network& n) {
                                    const FileServer* s = server(n, "192.168.1.5");
                                    return s && s->connectQueries == 7 && !s->announcesSize;
                                });
    const NetworkCheck unchanged([=](const Network& n) {
        return n.fileServers.size() == 2 && server(n, "192.168.1.5")->connectQueries == 1;
    });
    QTest::newRow("TFTP takes no login")
        << Requests{{"file-server", "10.1.1.1", "TFTP", "u", "p"}} << 1 << unchanged;
    QTest::newRow("FTP login needs both")
        << Requests{{"file-server", "10.1.1.1", "FTP", "u"}} << 1 << unchanged;
    QTest::newRow("unknown protocol")
        << Requests{{"file-server", "10.1.1.1", "HTTP"}} << 1 << unchanged;
    QTest::newRow("file on no server")
        << Requests{{"server-file", "10.9.9.9", "a.img", "simnet.json"}} << 1 << unchanged;
    QTest::newRow("file name with a folder")
        << Requests{{"server-file", "192.168.1.5", "x/a.img", "simnet.json"}} << 1 << unchanged;
    QTest::newRow("unknown option")
        << Requests{{"server-option", "192.168.1.5", "speed", "3"}} << 1 << unchanged;
    QTest::newRow("bad query count")
        << Requests{{"server-option", "192.168.1.5", "connectQueries", "-1"}} << 1 << unchanged;
    QTest::newRow("unknown image kind")
        << Requests{{"image", "a.img", "KPL-200", "1.0", "odd"}} << 1 << unchanged;
    QTest::newRow("firmware faults")
        << Requests{{"fault", "office", "cutTransfer", "on"},
                    {"fault", "office", "flashFails", "on"}}
        << 0 << NetworkCheck([](const Network& n) {
               const Node* office = findNode(n, kOffice);
               return office->faults.cutTransfer && office->faults.flashFails;
           });
}

void TestSim::firmwareCommandLine() {
    QFETCH(Requests, commands);
    QFETCH(int, exitCode);
    QFETCH(NetworkCheck, check);
    SimWorld world;
    for (int i = 0; i + 1 < commands.size(); ++i)
        QCOMPARE(world.sim(commands[i]), 0);
    QByteArray output;
    QCOMPARE(world.sim(commands.last(), &output), exitCode);
    if (exitCode != 0)
        QVERIFY(output.startsWith("kaldor-sim: "));
    QVERIFY(check(world.network()));
}

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
