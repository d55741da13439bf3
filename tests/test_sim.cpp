// The simulated powerline network, driven through its real executables the
// way the assistant drives them: request files in a work folder, the tools
// started there, their result files read back.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cctype>

#include "SimDemo.h"
#include "SimFirmware.h"
#include "SimModels.h"
#include "SimNetwork.h"
#include "SimStateFile.h"
#include "support/DataRows.h"

using namespace kaldorsim;

namespace {

const int kRunTimeoutMs = 240000;  // sanitizer builds on a loaded machine are slow

QString tool(const QString& name) {
    return QStringLiteral(KALDOR_STAGE_DIR "/resources/") + name;
}

QByteArray crlf(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

QString firstLine(const QByteArray& bytes) {
    return QString::fromUtf8(bytes.left(bytes.indexOf("\r\n")));
}

QString valueOf(const QByteArray& response, const QString& key) {
    const QRegularExpression line("(^|\r\n)" + QRegularExpression::escape(key) + "=([^\r]*)");
    return line.match(QString::fromUtf8(response)).captured(2);
}

// A request as '|'-joined lines: a demo node's label stands for its MAC, the default password
// line is added unless a line starts with "."; text with a line feed goes out as it is.
QByteArray requestBytes(const QString& text) {
    if (text.contains('\n'))
        return text.toUtf8();
    QStringList lines = Parts(text);
    const Network demo = demoNetwork();
    if (const Node* node = findNode(demo, lines[0].section(' ', 1)))
        lines[0] = lines[0].section(' ', 0, 0) + " " + node->mac;
    if (lines.filter(QRegularExpression("^\\.")).isEmpty())
        lines.insert(1, ".PASSWORD=" + kDefaultPassword);
    return crlf(lines);
}

// A work folder with a blank in its name, as users' folders have, and its own network.
class SimWorld {
public:
    explicit SimWorld(const Network& net = demoNetwork())
        : dir_(QDir::tempPath() + "/kaldor sim-XXXXXX") {
        QString error;
        QVERIFY2(writeNetworkFile(path("simnet.json"), net, &error), qPrintable(error));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QByteArray run(const QString& program, const QStringList& args, const QString& result) const {
        QFile::remove(path(result));
        QProcess p;
        p.setWorkingDirectory(path("."));
        p.start(tool(program), args);
        p.waitForFinished(kRunTimeoutMs);
        return read(result);
    }
    QByteArray ask(const QString& request, const QString& interfaceName = "eth1") const {
        QFile f(path("post.cfg"));
        if (f.open(QIODevice::WriteOnly))
            f.write(requestBytes(request));
        f.close();
        return run("ihcp_client.exe", {path("post.cfg"), "-i", interfaceName}, "ihcp_client.tmp");
    }
    QByteArray discover() const { return run("MacDiscover.exe", {}, "macdiscover.tmp"); }
    int sim(const QStringList& args) const {
        QProcess p;
        p.setWorkingDirectory(path("."));
        p.start(tool("kaldor-sim"), QStringList{"--net", path("simnet.json")} + args);
        p.waitForFinished(kRunTimeoutMs);
        return p.exitCode();
    }
    // Command lines, '|'-separated, each with blank-separated arguments.
    void sims(const QString& commands) const {
        for (const QString& command : Parts(commands))
            QCOMPARE(sim(command.split(' ')), 0);
    }

private:
    QTemporaryDir dir_;
};

// The keys the advanced window loads; "KEY/OPTIONS" names a choice's option list.
const QStringList kLoadTable =
    QString(
        "FLUP_PROTOCOL/FLUP_PROTOCOL_OPTIONS FLUP_IP_ADDR FLUP_LOGIN FLUP_PASSWORD FLUP_FILENAME "
        "FLUP_SECTION/FLUP_SECTION_OPTIONS IP_ADDR IP_CONFIG/IP_CONFIG_OPTIONS NETMASK GATEWAY "
        "MAC_TYPE/MAC_TYPE_OPTIONS NODE_TYPE/NODE_TYPE_OPTIONS NOTCHES/NOTCHES_OPTIONS "
        "DISTORTION_CONTROL/DISTORTION_CONTROL_OPTIONS MCAST_IGMP/MCAST_IGMP_OPTIONS "
        "ENCRYPT_KEY_STR NET_ID_STR MODEL DEFAULT_PRIO/PRIO_OPTIONS CRITERION_0/CRITERION_OPTIONS "
        "CRITERION_1/CRITERION_OPTIONS KALDOR_VLAN_CONFIG/KALDOR_VLAN_CONFIG_OPTIONS "
        "KALDOR_VLAN_TAG KALDOR_VLAN_PRIO/KALDOR_VLAN_PRIO_OPTIONS "
        "ENCRYPT_TYPE/ENCRYPT_TYPE_OPTIONS ENCRYPT_AES_TYPE/ENCRYPT_AES_TYPE_OPTIONS "
        "ENCRYPT_KEY_LENGTH/ENCRYPT_AES_LENGTH_OPTIONS AES_SUPPORT NUM_BOOTS VER "
        "PLC_CONNECTION_MAC_ADDR PLC_CONNECTION_NET_ID_STR CUSTOM_0_OFFSET CUSTOM_0_PATTERN "
        "CUSTOM_0_BITMASK CUSTOM_0_CLASS_OFFSET CUSTOM_0_CLASS_BITMASK CUSTOM_1_OFFSET "
        "CUSTOM_1_PATTERN CUSTOM_1_BITMASK CUSTOM_1_CLASS_OFFSET CUSTOM_1_CLASS_BITMASK "
        "CUSTOM_0_CLASS_PATTERN CUSTOM_0_CLASS_PRIO CUSTOM_1_CLASS_PATTERN CUSTOM_1_CLASS_PRIO")
        .split(' ');

// A list of non-empty pieces in single quotes.
const QRegularExpression kQuotedList("^'[^',]+'(,'[^',]+')*$");

}  // namespace

class TestSim : public QObject {
    Q_OBJECT

    // The server runs while the node asks for it, as the assistant runs them.
    static void serve(const SimWorld& world, QStringList args, const QString& code) {
        if (imageKindByName(args[1])) {
            const QString image = world.path("new fw.img");  // a blank, as users' paths have
            QCOMPARE(world.sim({"image", image, "KPL-510A", "3.2.0", args[1]}), 0);
            args[1] = image;
        }
        QProcess server;
        server.setWorkingDirectory(world.path("."));
        server.start(tool("winl2fwserver.exe"), args.mid(1, 2));
        QVERIFY(server.waitForStarted());
        if (args.size() > 3)
            QCOMPARE(world.ask("POST " + args[3] + "|FLUP_L2_OK=Ok"), "0\r\n");
        QVERIFY(server.waitForFinished(kRunTimeoutMs));
        QCOMPARE(firstLine(world.read("winl2fwserver.tmp")).section(' ', 0, 0), code);
        QCOMPARE(server.exitCode(), code.toInt());
    }

private slots:
    void initTestCase() { qunsetenv("KALDOR_SIMNET"); }  // tools use their folder's network

    // A script of steps on the demo network, "; "-separated, each one of:
    //   "sim COMMANDS"             kaldor-sim command lines;
    //   "[ethN:]REQUEST => ANSWER" a client run ("discover": a discovery); an ANSWER
    //                              ending in "..." is a refusal: a reason, no change;
    //   "[ethN:]NODE has K=V|K=V"  a GET of these keys, answered with these values;
    //   "serve FILE N [NODE] => C" the layer-2 server on interface N (FILE: a path or
    //                              an image kind), while NODE asks for it, gives C.
    void conversation_data() {
        QTest::addColumn<QString>("script");
        const QString ftp(
            "FLUP_PROTOCOL=FTP|FLUP_IP_ADDR=192.168.1.5|FLUP_LOGIN=kaldor|"
            "FLUP_PASSWORD=firmware|FLUP_FILENAME=kpl200-2.5.0.img|"
            "FLUP_SECTION=Firmware|FLUP_OK=Ok");
        const QString quarters(
            "initial 0 0|downloading 1072 268|downloading 1072 536|"
            "downloading 1072 804|");
        // An update order to the office, then its status queries, each seen as
        // "STATUS FILE_SIZE DOWNLOADED_SIZE".
        const auto update = [](const QString& order, const QString& course) {
            QString script = "sim time-scale 0; POST office|" + order + " => 0";
            for (const QString& seen : Parts(course))
                script += "; office has FLUP_STATUS=" + seen.section(' ', 0, -3) +
                          "|FLUP_FILE_SIZE=" + seen.section(' ', -2, -2) +
                          "|FLUP_DOWNLOADED_SIZE=" + seen.section(' ', -1);
            return script;
        };
        QTest::newRow("discovery")
            << "discover => 020A1B000001|1|KPL-510A 3.1.7|eth0 Simulated Ethernet adapter 0|"
               "eth1 Simulated Ethernet adapter 1; sim attach garage eth0; "
               "discover => 020A1B000003|0|KPL-510A 3.1.7|eth0 Simulated Ethernet adapter 0|"
               "eth1 Simulated Ethernet adapter 1; sim attach garage none|loader local on; "
               "discover => E|eth0 Simulated Ethernet adapter 0|eth1 Simulated Ethernet adapter 1";
        QTest::newRow("reading")
            << "office has NET_ID_STR=KaldorHome|NODE_TYPE=EP|MODEL=KPL-200; "
               "local has PLC_CONNECTION_MAC_ADDR='020A1B000002','020A1B000003','020A1B000004',"
               "'020A1B000005','020A1B000007'|PLC_CONNECTION_NET_ID_STR='KaldorHome','KaldorHome',"
               "'KaldorLab','Network #1','KaldorHome'; "
               "attic has PLC_CONNECTION_MAC_ADDR='020A1B000003'|"
               "PLC_CONNECTION_NET_ID_STR='KaldorHome'; GET office|VER|COLOUR => ERROR...; "
               "GET 020a1b000003\n.PASSWORD=kaldor\nNUM_BOOTS\n => INFO|NUM_BOOTS=1";
        QTest::newRow("passwords")
            << "GET study|.PASSWORD=study-2024|VER|ENCRYPT_TYPE => INFO|VER=3.1.7|"
               "ENCRYPT_TYPE=AES; GET study|VER => 2 ...; POST office|NEWPASSWORD=n3w => 0; "
               "GET office|VER => 2 ...; GET office|.PASSWORD=n3w|VER => INFO|VER=2.4.11";
        QTest::newRow("unreachable")
            << "GET 020A1B0000FF|VER => ERROR...; GET neighbour|VER => ERROR...; "
               "eth0:GET local|VER => ERROR...; sim power garage off; GET attic|VER => ERROR...; "
               "POST garage|NODE_TYPE=AP => ERROR...; sim power office off|loader lab on; "
               "local has PLC_CONNECTION_MAC_ADDR='020A1B000005','020A1B000007'";
        QTest::newRow("refused settings")
            << "POST office|NODE_TYPE=XP => ERROR...; POST office|MODEL=KPL-510A => ERROR...; "
               "POST office|MCAST_IGMP=Disabled|NOTCHES=Loud => ERROR...; "
               "POST office|ENCRYPT_TYPE=AES|CRYPTO_OK=Ok => ERROR...; "
               "POST local|ENCRYPT_TYPE=None|ENCRYPT_KEY_STR=HomeKey-2024 => ERROR...; "
               "POST office|KALDOR_VLAN_CONFIG=Disabled|KALDOR_VLAN_OK=Ok => ERROR...; POST office|"
               "KALDOR_VLAN_CONFIG=Enabled|KALDOR_VLAN_TAG=4095|KALDOR_VLAN_PRIO=5|"
               "KALDOR_VLAN_OK=ok => ERROR...; POST office|CRITERION_0=8021p => ERROR...; "
               "POST office|CRITERION_1=Custom|CUSTOM_1_PATTERN=08G0|"
               "CRITERION_1_OK=Ok => ERROR...; POST office|IP_CONFIG_NVRAM=Fixed|"
               "IP_ADDR_NVRAM=10.0.0.300|NETMASK_NVRAM=255.0.0.0 => ERROR...; POST office|"
               "FLUP_PROTOCOL=TFTP|FLUP_IP_ADDR=10.0.0.2|FLUP_FILENAME=a|"
               "FLUP_SECTION=Firmware => ERROR...";
        // Restarting, a node answers nobody, relays for nobody and leaves the tables.
        QTest::newRow("hardware reset")
            << "POST office|IP_CONFIG_NVRAM=Fixed|IP_ADDR_NVRAM=10.1.2.3|"
               "NETMASK_NVRAM=255.0.0.0 => 0; "
               "office has NUM_BOOTS=1|IP_CONFIG=DHCP|IP_ADDR=192.168.1.11; sim time-scale 0; "
               "POST office|HW_RESET_OK=Ok => 0; "
               "office has NUM_BOOTS=2|IP_CONFIG=Fixed|IP_ADDR=10.1.2.3|NETMASK=255.0.0.0; "
               "sim time-scale 100; POST garage|HW_RESET_OK=Ok => 0; GET garage|VER => ERROR...; "
               "GET attic|VER => ERROR...; local has PLC_CONNECTION_MAC_ADDR='020A1B000002',"
               "'020A1B000004','020A1B000005','020A1B000007'; POST local|HW_RESET_OK=Ok => 0; "
               "discover => E|eth0 Simulated Ethernet adapter 0|eth1 Simulated Ethernet adapter 1";
        QTest::newRow("MAC, PHY, multicast, priority")
            << "POST garage|MAC_TYPE=10 Full|NODE_TYPE=AP|NOTCHES=Disabled|DISTORTION_CONTROL=High|"
               "MCAST_IGMP=Proxy|DEFAULT_PRIO=4 => 0; garage has MAC_TYPE=10 Full|NODE_TYPE=AP|"
               "NOTCHES=Disabled|DISTORTION_CONTROL=High|MCAST_IGMP=Proxy|DEFAULT_PRIO=4";
        QTest::newRow("encryption")
            << "POST local|ENCRYPT_TYPE=AES|ENCRYPT_AES_TYPE=CBC|ENCRYPT_KEY_LENGTH=128|"
               "ENCRYPT_KEY_STR=HomeKey-2024|CRYPTO_OK=Ok => 0; "
               "local has ENCRYPT_TYPE=AES|ENCRYPT_AES_TYPE=CBC|ENCRYPT_KEY_LENGTH=128; "
               "POST local|ENCRYPT_TYPE=3DES|ENCRYPT_KEY_STR=HomeKey-2024|CRYPTO_OK=Ok => 0; "
               "local has ENCRYPT_TYPE=3DES|ENCRYPT_AES_TYPE=None";
        QTest::newRow("VLAN")
            << "POST office|KALDOR_VLAN_CONFIG=Enabled|KALDOR_VLAN_TAG=4094|KALDOR_VLAN_PRIO=5|"
               "KALDOR_VLAN_OK=ok => 0; "
               "office has KALDOR_VLAN_CONFIG=Enabled|KALDOR_VLAN_TAG=4094|KALDOR_VLAN_PRIO=5; "
               "POST office|KALDOR_VLAN_CONFIG=Disabled|KALDOR_VLAN_TAG=|KALDOR_VLAN_OK=ok => 0; "
               "office has KALDOR_VLAN_CONFIG=Disabled|KALDOR_VLAN_TAG=4094";
        // Patterns and masks read back padded to 16 digits, classes as lists.
        QTest::newRow("classification")
            << "POST office|CRITERION_0=Custom|CUSTOM_0_OFFSET=27|CUSTOM_0_PATTERN=06|"
               "CUSTOM_0_BITMASK=FF|CUSTOM_0_CLASS_OFFSET=38|CUSTOM_0_CLASS_BITMASK=E0|"
               "CUSTOM_0_CLASS_PATTERN_0=01BB|CUSTOM_0_CLASS_PRIO_0=6|CUSTOM_0_CLASS_PATTERN_7=A0|"
               "CUSTOM_0_CLASS_PRIO_7=2|CRITERION_0_OK=Ok|CRITERION_1=None|CRITERION_1_OK=Ok => 0; "
               "office has CRITERION_0=Custom|CRITERION_1=None|CUSTOM_0_OFFSET=27|"
               "CUSTOM_0_CLASS_OFFSET=38|CUSTOM_0_PATTERN=0600000000000000|"
               "CUSTOM_0_BITMASK=FF00000000000000|CUSTOM_0_CLASS_BITMASK=E000000000000000|"
               "CUSTOM_0_CLASS_PATTERN='01BB000000000000','0000000000000000','0000000000000000',"
               "'0000000000000000','0000000000000000','0000000000000000','0000000000000000',"
               "'A000000000000000'|CUSTOM_0_CLASS_PRIO='6','0','0','0','0','0','0','2'; "
               "POST office|CRITERION_0=8021p|CRITERION_0_OK=Ok => 0; office has CRITERION_0=8021p|"
               "CUSTOM_0_OFFSET=0|CUSTOM_0_PATTERN=0000000000000000|CUSTOM_0_CLASS_PRIO='0','0',"
               "'0','0','0','0','0','0'";
        // A new key moves the garage out, and with it the only way to the attic.
        QTest::newRow("network membership")
            << "POST office|NET_ID_STR=Up => 3; local has PLC_CONNECTION_NET_ID_STR='Up',"
               "'KaldorHome','KaldorLab','Network #1','KaldorHome'; "
               "POST office|NET_ID_STR=Up|ENCRYPT_KEY_STR=HomeKey-2024 => 0; "
               "POST garage|ENCRYPT_KEY_STR=G-Key|NOTCHES=Disabled => 3; "
               "GET attic|VER => ERROR...; local has PLC_CONNECTION_NET_ID_STR='Up','Network #1',"
               "'KaldorLab','Network #1','KaldorHome'; POST local|ENCRYPT_KEY_STR=G-Key => 3; "
               "garage has NOTCHES=Disabled; sim network-change-answer 0; "
               "POST local|NET_ID_STR=Else => 0";
        // Back in the factory network, foreign from here: asked on a cable of its own.
        QTest::newRow("factory reset")
            << "sim time-scale 0; POST study|.PASSWORD=study-2024|HW_RESET_OK=Ok => 0; "
               "POST study|.PASSWORD=study-2024|MCAST_IGMP=Proxy => 0; "
               "POST study|.FACTORY_PASSWORD=study-2024 => 2 ...; "
               "POST study|.FACTORY_PASSWORD=FP000007 => 0; "
               "GET study|.PASSWORD=study-2024|VER => ERROR...; sim attach study eth0; "
               "eth0:GET study|.PASSWORD=study-2024|VER => 2 ...; eth0:study has NUM_BOOTS=1|"
               "NET_ID_STR=Kaldor|ENCRYPT_KEY_STR=KaldorDefaultKey|ENCRYPT_TYPE=3DES|"
               "MCAST_IGMP=Snooping|VER=3.1.7";
        QTest::newRow("layer-2 server refusals")
            << "sim time-scale 0; serve none.img 1 => 1; serve . 1 => 2; serve bad-magic 1 => 3; "
               "serve bad-crc 1 => 4; serve truncated 1 => 5; serve valid eth1 => 9; "
               "serve valid 2 => 9; local has VER=3.1.7|FLUP_STATUS=idle";
        // At a quarter of real time the server waits 15 s for its node; flashing then
        // follows the node's status queries, and the new firmware runs after a restart.
        QTest::newRow("layer-2 upgrade")
            << "sim time-scale 0.25; serve valid 1 local => 0; serve valid 1 garage => 0; "
               "garage has FLUP_STATUS=downloading; local has FLUP_STATUS=downloading; "
               "local has FLUP_STATUS=finished|VER=3.1.7; sim time-scale 0; "
               "POST local|HW_RESET_OK=Ok => 0; local has VER=3.2.0";
        QTest::newRow("layer-2, other model")
            << "sim time-scale 0.25; serve valid 1 office => 6; "
               "office has FLUP_STATUS=failed: the image is for KPL-510A";
        QTest::newRow("layer-2, transfer cut")
            << "sim time-scale 0.25|fault garage cutTransfer on; serve valid 1 garage => 8; "
               "garage has FLUP_STATUS=failed: transfer interrupted|VER=3.1.7";
        QTest::newRow("layer-2, nobody asks there")
            << "sim time-scale 0; serve valid 0 local => 7; "
               "local has FLUP_STATUS=failed: no layer-2 firmware server answered";
        QTest::newRow("loader revived")
            << "sim time-scale 0|loader local on; GET local|VER => ERROR...; serve valid 1 => 0; "
               "local has VER=3.2.0|FLUP_STATUS=idle";
        QTest::newRow("FTP update")
            << update(ftp, quarters + "finished 1072 1072|finished 1072 1072") +
                   "; POST office|HW_RESET_OK=Ok => 0; office has VER=2.5.0|FLUP_STATUS=idle";
        QTest::newRow("TFTP update, size known at the end")
            << "sim server-option 192.168.1.6 announcesSize off; " +
                   update(
                       "FLUP_PROTOCOL=TFTP|FLUP_IP_ADDR=192.168.1.6|"
                       "FLUP_SECTION=Firmware|FLUP_FILENAME=kpl200-2.5.0.img|FLUP_OK=Ok",
                       QString(quarters).replace(" 1072 ", " 0 ") + "finished 1072 1072");
        QTest::newRow("boot loader section")
            << update(QString(ftp).replace("=Firmware", "=Bootloader"),
                      quarters + "finished 1072 1072") +
                   "; POST office|HW_RESET_OK=Ok => 0; office has VER=2.4.11";
        QTest::newRow("update: wrong login")
            << update(QString(ftp).replace("=kaldor", "=x"),
                      "initial 0 0|failed: the FTP server refused the login of 'x' 0 0");
        QTest::newRow("update: no such file")
            << update(QString(ftp).replace("2.5.0.img", "9.img"),
                      "initial 0 0|failed: the server has no file named 'kpl200-9.img' 0 0");
        QTest::newRow("update: no server")
            << update(QString(ftp).replace("1.5", "1.6"),
                      "initial 0 0|initial 0 0|initial 0 0|"
                      "failed: no FTP server answers at 192.168.1.6 0 0");
        QTest::newRow("update: image for the other model")
            << update(QString(ftp).replace("kpl200-2.5.0", "kpl510a-3.2.0"),
                      quarters +
                          "failed: 'kpl510a-3.2.0.img' is not a valid firmware image for "
                          "KPL-200 1072 1072");
    }
    void conversation() {
        QFETCH(QString, script);
        SimWorld world;
        for (QString step : script.split("; ")) {
            if (step.startsWith("sim ")) {
                world.sims(step.mid(4));
                continue;
            }
            if (step.startsWith("serve ")) {
                serve(world, step.section(" => ", 0, 0).split(' '), step.section(" => ", 1));
                continue;
            }
            const QString eth = step.startsWith("eth") ? step.section(':', 0, 0) : "eth1";
            step.remove(QRegularExpression("^eth\\d:"));
            if (step.contains(" has ")) {
                const QStringList values = Parts(step.section(" has ", 1));
                step = "GET " + step.section(" has ", 0, 0);
                for (const QString& value : values)
                    step += "|" + value.section('=', 0, 0);
                step += " => INFO|" + values.join('|');
            }
            const QString request = step.section(" => ", 0, 0), answer = step.section(" => ", 1);
            const QString refusal = answer.endsWith("...") ? answer.chopped(3) : QString();
            const QByteArray before = world.read("simnet.json");
            const QByteArray response =
                request == "discover" ? world.discover() : world.ask(request, eth);
            const bool ok = refusal.isEmpty()
                                ? response == crlf(Parts(answer))
                                : response.startsWith(refusal.toUtf8()) &&
                                      response.endsWith("\r\n") &&
                                      firstLine(response).size() > refusal.size() + 5 &&
                                      world.read("simnet.json") == before;
            QVERIFY2(ok, qPrintable(step + "\n" + response));
        }
    }

    // Every parameter of the advanced window's load, for both models.
    void getAll_data() {
        QTest::addColumn<QString>("node");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("aes");
        QTest::newRow("KPL-510A") << QString("local") << QString("KPL-510A") << true;
        QTest::newRow("KPL-200") << QString("office") << QString("KPL-200") << false;
    }
    void getAll() {
        QFETCH(QString, node);
        QFETCH(QString, model);
        QFETCH(bool, aes);
        const QByteArray response = SimWorld().ask("GET " + node);
        QVERIFY(response.startsWith("INFO\r\n") && response.endsWith("\r\n") &&
                !response.contains("\r\r") && !response.contains("\n\n"));
        for (const QString& entry : kLoadTable) {
            const QString key = entry.section('/', 0, 0), options = entry.section('/', 1);
            QVERIFY2(response.count(("\r\n" + key + "=").toUtf8()) == 1, qPrintable(key));
            QVERIFY2(options.isEmpty() ||
                         (kQuotedList.match(valueOf(response, options)).hasMatch() &&
                          valueOf(response, options).contains("'" + valueOf(response, key) + "'")),
                     qPrintable(key));
            if (key.contains(QRegularExpression("CLASS_(PATTERN|PRIO)$")))
                QVERIFY(kQuotedList.match(valueOf(response, key)).hasMatch() &&
                        valueOf(response, key).count(',') == 7);  // eight classes
        }
        QCOMPARE(valueOf(response, "MODEL"), model);
        QCOMPARE(valueOf(response, "AES_SUPPORT"), QString(aes ? "Y" : "N"));
        QCOMPARE(valueOf(response, "ENCRYPT_TYPE_OPTIONS").contains("'AES'"), aes);
        QVERIFY(valueOf(response, "IP_CONFIG_OPTIONS").startsWith("'DHCP','Fixed'"));
    }

    void faults_data() {
        QTest::addColumn<QStringList>("fault");  // a node or "discover", the knob, its value
        for (const char* row :
             {"office noAnswer on", "office delayMs 700", "office refusePassword on",
              "office noResponse on", "office truncateAt 0", "office truncateAt 9",
              "office garbage on", "office hugeMb 3", "office nulByte on", "office invalidUtf8 on",
              "discover noResponse on", "discover truncateAt 7", "discover garbage on"})
            QTest::addRow("%s", row) << QString(row).split(' ');
    }
    void faults() {
        QFETCH(QStringList, fault);
        const QString knob = fault[1], value = fault[2];
        SimWorld world;
        const bool node = fault[0] != "discover";
        const auto runTool = [&] { return node ? world.ask("GET office|VER") : world.discover(); };
        const QByteArray proper = runTool();
        QCOMPARE(world.sim(QStringList{"fault"} + fault), 0);
        QElapsedTimer timer;
        timer.start();
        const QByteArray bytes = runTool();
        QCOMPARE(QFile::exists(world.path(node ? "ihcp_client.tmp" : "macdiscover.tmp")),
                 knob != "noResponse");
        QCOMPARE(QString::fromUtf8(bytes).contains(QChar::ReplacementCharacter),
                 knob == "garbage" || knob == "invalidUtf8");
        const bool restKept = bytes.startsWith("INFO") && bytes.size() > proper.size() &&
                              bytes.mid(bytes.indexOf("\r\n")) == proper.mid(4);
        const QHash<QString, bool> holds{
            {"noAnswer", bytes.startsWith("ERROR: ")},
            {"delayMs", timer.elapsed() >= 700 && bytes == proper},
            {"refusePassword", bytes.startsWith("2 ")},
            {"noResponse", bytes.isEmpty()},
            {"truncateAt", bytes == proper.left(value.toInt())},
            // Noise starts with no letter or digit: never a status, INFO or a MAC.
            {"garbage", bytes.size() > 1000 && !std::isalnum(uchar(bytes.front()))},
            {"hugeMb", bytes.size() >= 3 * 1024 * 1024 && bytes.startsWith(proper)},
            {"nulByte", restKept && firstLine(bytes).contains(QChar(0))},
            {"invalidUtf8", restKept}};
        QVERIFY2(holds.value(knob), bytes.left(60).constData());
        QCOMPARE(world.ask("GET garage|VER"), "INFO\r\nVER=3.1.7\r\n");  // the others unaffected
    }

    void corruptState_data() {
        QTest::addColumn<QByteArray>("state");
        QTest::addColumn<QString>("reason");
        const QByteArray demo = networkToJson(demoNetwork());
        QTest::newRow("cut in half") << demo.left(demo.size() / 2) << "not valid JSON";
        QTest::newRow("MAC twice")
            << QByteArray(demo).replace("020A1B000002", "020A1B000001") << "twice";
        QTest::newRow("unknown knob")
            << QByteArray(demo).replace("\"garbage\"", "\"rubbish\"") << "rubbish";
    }
    void corruptState() {
        QFETCH(QByteArray, state);
        QFETCH(QString, reason);
        SimWorld world;
        QFile f(world.path("simnet.json"));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(state) == state.size());
        f.close();
        const QByteArray response = world.ask("GET office|VER");
        QVERIFY2(response.startsWith("ERROR: the network state file"), response.constData());
        QVERIFY2(firstLine(response).contains(reason), response.constData());
        QCOMPARE(world.read("simnet.json"), state);
        QCOMPARE(world.discover(), "E\r\n");
    }

    // Fifty clients and as many command lines at once on one network: no change is lost.
    void concurrentRuns() {
        const Network initial = generatedNetwork(50);
        SimWorld world(initial);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KALDOR_SIMNET", world.path("simnet.json"));
        QList<QProcess*> runs;
        const auto start = [&](const QString& dir, const QString& program,
                               const QStringList& args) {
            runs << new QProcess;
            runs.last()->setWorkingDirectory(dir);
            runs.last()->setProcessEnvironment(env);
            runs.last()->start(tool(program), args);
        };
        for (const Node& node : initial.nodes) {
            QVERIFY(QDir().mkpath(world.path(node.mac)));  // a response file each
            QFile request(world.path(node.mac + "/post.cfg"));
            QVERIFY(request.open(QIODevice::WriteOnly));
            request.write(requestBytes("POST " + node.mac + "|NOTCHES=Disabled"));
            request.close();
            start(world.path(node.mac), "ihcp_client.exe", {request.fileName(), "-i", "eth1"});
            start(world.path(node.mac), "kaldor-sim", {"set", node.mac, "VER", "cli"});
        }
        for (QProcess* p : runs)
            QVERIFY(p->waitForFinished(kRunTimeoutMs));
        qDeleteAll(runs);
        QString error;
        const Network after =
            readNetworkFile(world.path("simnet.json"), &error).value_or(Network{});
        QCOMPARE(after.nodes.size(), initial.nodes.size());
        for (const Node& node : after.nodes) {
            QCOMPARE(world.read(node.mac + "/ihcp_client.tmp"), "0\r\n");
            QCOMPARE(node.params.value("NOTCHES") + node.params.value("VER"), "Disabledcli");
        }
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
