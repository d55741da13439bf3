// The simulated powerline network, driven through its real executables the
// way the assistant drives them: request files in a work folder, the tools
// started there, their result files read back.

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <cctype>

#include "SimDemo.h"
#include "SimModels.h"
#include "SimNetwork.h"
#include "SimRequestLog.h"
#include "SimStateFile.h"
#include "support/DataRows.h"
#include "support/Fixture.h"

using namespace kaldorsim;

namespace {

const int kRunTimeoutMs = 240000;  // sanitizer builds on a loaded machine are slow

QByteArray crlf(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

QString firstLine(const QByteArray& bytes) {
    return QString::fromUtf8(bytes.left(bytes.indexOf("\r\n")));
}

// A request as '|'-joined lines: a demo node's label stands for its MAC, the default password
// line is added unless a line starts with ".".
QByteArray requestBytes(const QString& text) {
    QStringList lines = Parts(text);
    const Network demo = demoNetwork();
    if (const Node* node = findNode(demo, lines[0].section(' ', 1)))
        lines[0] = lines[0].section(' ', 0, 0) + " " + node->mac;
    if (lines.filter(QRegularExpression("^\\.")).isEmpty())
        lines.insert(1, ".PASSWORD=" + kDefaultPassword);
    return crlf(lines);
}

// A client run of the request, or a discovery for "discover", from the work
// folder as the assistant runs them; the tool's result file.
QByteArray Ask(const Fixture& f, const QString& request, const QString& interfaceName = "eth1") {
    const bool discover = request == "discover";
    const QString result = discover ? "macdiscover.tmp" : "ihcp_client.tmp";
    QFile::remove(f.workFile(result));
    if (!discover) {
        f.writeWorkFile("post.cfg", requestBytes(request));
    }
    QProcess p;
    p.setWorkingDirectory(f.workDir());
    p.start(f.workFile(discover ? "MacDiscover.exe" : "ihcp_client.exe"),
            discover ? QStringList() : QStringList{f.workFile("post.cfg"), "-i", interfaceName});
    p.waitForFinished(kRunTimeoutMs);
    return f.readWorkFile(result);
}

// kaldor-sim command lines, '|'-separated, each with blank-separated arguments.
void Sims(const Fixture& f, const QString& commands) {
    for (const QString& command : Parts(commands))
        QCOMPARE(f.sim(command.split(' ')), QString());
}

}  // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("KALDOR_SIMNET"); }  // tools use their folder's network

    // Steps on the demo network, "; "-separated: "sim COMMANDS" kaldor-sim
    // command lines; "[ethN:]REQUEST => ANSWER" a client run ("discover": a
    // discovery), an ANSWER ending in "..." a refusal with a reason and no
    // change; "[ethN:]NODE has K=V|K=V" a GET of these keys answered so.
    void conversation_data() {
        QTest::addColumn<QString>("script");
        const QString ftp(
            "FLUP_PROTOCOL=FTP|FLUP_IP_ADDR=192.168.1.5|FLUP_LOGIN=kaldor|FLUP_PASSWORD=firmware|"
            "FLUP_FILENAME=kpl200-2.5.0.img|FLUP_SECTION=Firmware|FLUP_OK=Ok");
        // An update order to the office, then the status of each query.
        const auto update = [](const QString& order, const QString& statuses) {
            QString script = "sim time-scale 0; POST office|" + order + " => 0";
            for (const QString& status : Parts(statuses))
                script += "; office has FLUP_STATUS=" + status;
            return script;
        };
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
        QTest::newRow("unreachable, restarting")
            << "GET 020A1B0000FF|VER => ERROR...; GET neighbour|VER => ERROR...; "
               "eth0:GET local|VER => ERROR...; sim time-scale 100; "
               "POST garage|HW_RESET_OK=Ok => 0; GET garage|VER => ERROR...; "
               "POST garage|NODE_TYPE=AP => ERROR...; GET attic|VER => ERROR...; "
               "local has PLC_CONNECTION_MAC_ADDR='020A1B000002','020A1B000004','020A1B000005',"
               "'020A1B000007'; POST local|HW_RESET_OK=Ok => 0; "
               "discover => E|eth0 Simulated Ethernet adapter 0|eth1 Simulated Ethernet adapter 1";
        // Patterns read back padded to 16 digits, classes as lists; 802.1p
        // returns the custom fields to their defaults.
        QTest::newRow("classification")
            << "POST office|CRITERION_0=Custom|CUSTOM_0_PATTERN=06|CUSTOM_0_CLASS_PRIO_7=2|"
               "CRITERION_0_OK=Ok => 0; office has CUSTOM_0_PATTERN=0600000000000000|"
               "CUSTOM_0_CLASS_PRIO='0','0','0','0','0','0','0','2'; "
               "POST office|CRITERION_0=8021p|CRITERION_0_OK=Ok => 0; office has CRITERION_0=8021p|"
               "CUSTOM_0_PATTERN=0000000000000000|CUSTOM_0_CLASS_PRIO='0','0','0','0','0','0','0',"
               "'0'";
        // Back in the factory network, foreign from here: asked on a cable of its own.
        QTest::newRow("factory reset")
            << "sim time-scale 0; POST study|.PASSWORD=study-2024|MCAST_IGMP=Proxy => 0; "
               "POST study|.FACTORY_PASSWORD=study-2024 => 2 ...; "
               "POST study|.FACTORY_PASSWORD=FP000007 => 0; sim attach study eth0; "
               "eth0:study has NUM_BOOTS=1|NET_ID_STR=Kaldor|ENCRYPT_KEY_STR=KaldorDefaultKey|"
               "MCAST_IGMP=Snooping";
        QTest::newRow("update: no server")
            << update(QString(ftp).replace("1.5", "1.6"),
                      "initial|initial|initial|failed: no FTP server answers at 192.168.1.6");
        QTest::newRow("update: image for the other model")
            << update(QString(ftp).replace("kpl200-2.5.0", "kpl510a-3.2.0"),
                      "initial|downloading|downloading|downloading|"
                      "failed: 'kpl510a-3.2.0.img' is not a valid firmware image for "
                      "KPL-200");
    }
    void conversation() {
        QFETCH(QString, script);
        Fixture f;
        for (QString step : script.split("; ")) {
            if (step.startsWith("sim ")) {
                Sims(f, step.mid(4));
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
            const QByteArray before = f.readWorkFile("simnet.json");
            const QByteArray response = Ask(f, request, eth);
            const bool ok = refusal.isEmpty()
                                ? response == crlf(Parts(answer))
                                : response.startsWith(refusal.toUtf8()) &&
                                      response.endsWith("\r\n") &&
                                      firstLine(response).size() > refusal.size() + 5 &&
                                      f.readWorkFile("simnet.json") == before;
            QVERIFY2(ok, qPrintable(step + "\n" + response));
        }
    }

    void faults_data() {
        Columns({"fault"});  // a node or "discover", the knob, its value
        for (const char* row :
             {"office noAnswer on", "office delayMs 700", "office refusePassword on",
              "office noResponse on", "office truncateAt 0", "office truncateAt 9",
              "office garbage on", "office hugeMb 3", "office nulByte on", "office invalidUtf8 on",
              "discover noResponse on", "discover truncateAt 7", "discover garbage on"})
            Row(row, QString(row));
    }
    void faults() {
        const QStringList fault = Cell("fault").split(' ');
        const QString knob = fault[1], value = fault[2];
        Fixture f;
        const bool node = fault[0] != "discover";
        const QString request = node ? "GET office|VER" : "discover";
        const QByteArray proper = Ask(f, request);
        Sims(f, "fault " + Cell("fault"));
        QElapsedTimer timer;
        timer.start();
        const QByteArray bytes = Ask(f, request);
        QCOMPARE(QFile::exists(f.workFile(node ? "ihcp_client.tmp" : "macdiscover.tmp")),
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
        QCOMPARE(Ask(f, "GET garage|VER"), "INFO\r\nVER=3.1.7\r\n");  // the others unaffected
    }

    void corruptState_data() {
        Columns({"state", "reason"});
        const QString demo = networkToJson(demoNetwork());
        Row("cut in half", demo.left(demo.size() / 2), "not valid JSON");
        Row("MAC twice", QString(demo).replace("020A1B000002", "020A1B000001"), "twice");
        Row("unknown knob", QString(demo).replace("\"garbage\"", "\"rubbish\""), "rubbish");
    }
    void corruptState() {
        const QByteArray state = Cell("state").toUtf8();
        Fixture f;
        f.writeWorkFile("simnet.json", state);
        const QByteArray response = Ask(f, "GET office|VER");
        QVERIFY2(response.startsWith("ERROR: the network state file"), response.constData());
        QVERIFY2(firstLine(response).contains(Cell("reason")), response.constData());
        QCOMPARE(f.readWorkFile("simnet.json"), state);
        QCOMPARE(Ask(f, "discover"), "E\r\n");
    }

    // Each tool logs what it received, in order, on the simulator's clock.
    void requestLog() {
        Fixture f;
        Sims(f, "request-log requests.log");
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        Ask(f, "discover");
        Ask(f, "GET office|VER");
        QProcess server;
        server.setWorkingDirectory(f.workDir());
        server.start(f.workFile("winl2fwserver.exe"), {"no such.img", "1"});
        QVERIFY(server.waitForFinished(kRunTimeoutMs));
        Sims(f, "request-log off");
        Ask(f, "discover");
        QString error;
        const auto log = readRequestLog(f.workFile("requests.log"), &error);
        QVERIFY2(log, qPrintable(error));
        QStringList records;
        for (const LoggedRequest& r : *log) {
            QVERIFY(r.timeMs >= before && r.timeMs <= QDateTime::currentMSecsSinceEpoch());
            records << r.tool + "|" + r.file + "|" + r.bytes;
        }
        QCOMPARE(records, QStringList({"MacDiscover.exe||",
                                       "ihcp_client.exe|post.cfg|" + requestBytes("GET office|VER"),
                                       "winl2fwserver.exe||no such.img 1"}));
        f.writeWorkFile("requests.log", "{\"time\":1,\"tool\":\"x\"}\n");
        QVERIFY(!readRequestLog(f.workFile("requests.log"), &error) && error.contains("line 1"));
    }

    // Fifty clients and as many command lines at once on one network: no
    // change and no log record is lost.
    void concurrentRuns() {
        Fixture f;
        Network initial = generatedNetwork(50);
        initial.requestLog = "requests.log";
        QString error;
        QVERIFY(writeNetworkFile(f.workFile("simnet.json"), initial, &error));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KALDOR_SIMNET", f.workFile("simnet.json"));
        std::vector<std::unique_ptr<QProcess>> runs;
        for (const Node& node : initial.nodes) {
            QVERIFY(QDir(f.workDir()).mkdir(node.mac));  // a response file each
            f.writeWorkFile(node.mac + "/post.cfg",
                            requestBytes("POST " + node.mac + "|NOTCHES=Disabled"));
            for (const QStringList& run :
                 {QStringList{"ihcp_client.exe", "post.cfg", "-i", "eth1"},
                  QStringList{"kaldor-sim", "set", node.mac, "VER", "cli"}}) {
                runs.push_back(std::make_unique<QProcess>());
                runs.back()->setWorkingDirectory(f.workFile(node.mac));
                runs.back()->setProcessEnvironment(env);
                runs.back()->start(f.workFile(run[0]), run.mid(1));
            }
        }
        for (const auto& p : runs)
            QVERIFY(p->waitForFinished(kRunTimeoutMs));
        const Network after =
            readNetworkFile(f.workFile("simnet.json"), &error).value_or(Network{});
        QCOMPARE(after.nodes.size(), initial.nodes.size());
        QSet<QByteArray> logged;
        for (const LoggedRequest& r :
             readRequestLog(f.workFile("requests.log"), &error).value_or(QList<LoggedRequest>()))
            logged << r.bytes;
        for (const Node& node : after.nodes) {
            QCOMPARE(f.readWorkFile(node.mac + "/ihcp_client.tmp"), "0\r\n");
            QCOMPARE(node.params.value("NOTCHES") + node.params.value("VER"), "Disabledcli");
            QVERIFY(logged.remove(f.readWorkFile(node.mac + "/post.cfg")));
        }
        QVERIFY(logged.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
