// The simulated powerline network, driven through its real executables the
// way the assistant drives them: request files in a work folder, the tools
// started there, their result files read back.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <cctype>

#include "SimDemo.h"
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

// A request's lines; a demo node's label stands for its MAC, and the default
// password line follows the first line unless a line starts with ".".
QByteArray requestBytes(QStringList lines) {
    const Network demo = demoNetwork();
    if (const Node* node = findNode(demo, lines[0].section(' ', 1)))
        lines[0] = lines[0].section(' ', 0, 0) + " " + node->mac;
    if (lines.filter(QRegularExpression("^\\.")).isEmpty())
        lines.insert(1, ".PASSWORD=kaldor");
    return crlf(lines);
}

// A client run of the request, or a discovery for no request, from the work
// folder as the assistant runs them; the tool's result file.
QByteArray Ask(const Fixture& f, const QStringList& request) {
    const QString result = request.isEmpty() ? "macdiscover.tmp" : "ihcp_client.tmp";
    QFile::remove(f.workFile(result));
    if (!request.isEmpty())
        f.writeWorkFile("post.cfg", requestBytes(request));
    QProcess p;
    p.setWorkingDirectory(f.workDir());
    p.start(f.workFile(request.isEmpty() ? "MacDiscover.exe" : "ihcp_client.exe"),
            request.isEmpty() ? QStringList() : QStringList{f.workFile("post.cfg"), "-i", "eth1"});
    p.waitForFinished(kRunTimeoutMs);
    return f.readWorkFile(result);
}

// kaldor-sim command lines first, then a request and its answer's lines; an
// answer of "ERROR" is a refusal with a reason.
struct Exchange {
    QList<QStringList> sim;
    QStringList request;
    QStringList answer;
};
using Exchanges = QList<Exchange>;

const QStringList kOrder =
    QString(
        "POST office|FLUP_PROTOCOL=FTP|FLUP_IP_ADDR=192.168.1.5|FLUP_LOGIN=kaldor|"
        "FLUP_PASSWORD=firmware|FLUP_FILENAME=kpl200-2.5.0.img|FLUP_SECTION=Firmware|FLUP_OK=Ok")
        .split('|');
const QStringList kStatus{"GET office", "FLUP_STATUS", "FLUP_DOWNLOADED_SIZE"};

}  // namespace

Q_DECLARE_METATYPE(Exchanges)

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qunsetenv("KALDOR_SIMNET"); }  // tools use their folder's network

    // A node refuses the whole request, with a reason, and stays as it was.
    void refusals_data() {
        QTest::addColumn<QStringList>("request");
        const QStringList vlan{"POST office", "KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_OK=ok"};
        for (const QStringList& r : QList<QStringList>{
                 {"POST office", "NODE_TYPE=XP"},
                 {"POST office", "MODEL=KPL-510A"},
                 {"POST office", "MCAST_IGMP=Disabled", "NOTCHES=Loud"},
                 {"POST office", "ENCRYPT_TYPE=AES", "CRYPTO_OK=Ok"},
                 {"POST local", "ENCRYPT_TYPE=None", "ENCRYPT_KEY_STR=HomeKey-2024"},
                 {"POST office", "KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_OK=Ok"},
                 {"POST office", "KALDOR_VLAN_TAG=4095", "KALDOR_VLAN_OK=ok"},
                 vlan + QStringList{"KALDOR_VLAN_TAG=1"},
                 vlan + QStringList{"KALDOR_VLAN_TAG="},
                 {"POST office", "CRITERION_0=8021p"},
                 {"POST office", "CRITERION_1=Custom", "CUSTOM_1_PATTERN=08G0",
                  "CRITERION_1_OK=Ok"},
                 {"POST office", "IP_CONFIG_NVRAM=Fixed", "IP_ADDR_NVRAM=10.0.0.300"},
                 QStringList(kOrder.mid(0, 7)),
                 {"GET office", "VER", "NO_SUCH_KEY"},
                 {"GET 020A1B0000FF", "VER"},
                 {"GET neighbour", "VER"}})
            QTest::newRow(qPrintable(r.join(' '))) << r;
    }
    void refusals() {
        Fixture f;
        const QByteArray before = f.readWorkFile("simnet.json");
        const QByteArray response = Ask(f, Cell<QStringList>("request"));
        QVERIFY2(response.startsWith("ERROR: ") && response.endsWith("\r\n") &&
                     response.size() > 20 && response.count("\r\n") == 1,
                 response.constData());
        QCOMPARE(f.readWorkFile("simnet.json"), before);
    }

    void exchanges_data() {
        QTest::addColumn<Exchanges>("steps");
        const QStringList versions{"GET garage", "VER"}, error{"ERROR"};
        const QStringList table{"GET local", "PLC_CONNECTION_NET_ID_STR"};
        // Restarting, a node answers nobody and relays for nobody until the clock passes.
        Row("restart follows the clock",
            Exchanges{{{}, {"POST garage", "HW_RESET_OK=Ok"}, {"0"}},
                      {{{"advance", "7000"}}, versions, error},
                      {{}, {"GET attic", "VER"}, error},
                      {{{"advance", "1000"}}, versions, {"INFO", "VER=3.1.7"}}});
        // After new network settings a node answers, then rejoins: silent for
        // the settle time, scaled by the time scale.
        Row("settle time",
            Exchanges{
                {{{"settle-time", "4000"}}, {"POST office", "NODE_TYPE=AP"}, {"0"}},
                {{{"advance", "3000"}}, {"GET office", "NODE_TYPE"}, error},
                {{{"advance", "1000"}}, {"GET office", "NODE_TYPE"}, {"INFO", "NODE_TYPE=AP"}},
                {{}, {"POST office", "NOTCHES=Disabled", "NEWPASSWORD=x"}, {"0"}},
                {{}, {"GET office", ".PASSWORD=x", "NOTCHES"}, {"INFO", "NOTCHES=Disabled"}},
                {{{"time-scale", "0"}}, {"POST office", ".PASSWORD=x", "NET_ID_STR=Other"}, {"3"}},
                {{}, {"GET office", ".PASSWORD=x", "NET_ID_STR"}, {"INFO", "NET_ID_STR=Other"}}});
        // Another encryption mode under the same key: another network from here.
        Row("encryption mode",
            Exchanges{{{}, {"POST office", "ENCRYPT_TYPE=None", "CRYPTO_OK=Ok"}, {"0"}},
                      {{}, {"GET office", "VER"}, error},
                      {{},
                       table,
                       {"INFO",
                        "PLC_CONNECTION_NET_ID_STR='Network #1','KaldorHome','KaldorLab',"
                        "'Network #1','KaldorHome'"}}});
        Row("parameter taken away and given back",
            Exchanges{{{{"remove-param", "office", "NOTCHES"}}, {"GET office", "NOTCHES"}, error},
                      {{}, {"POST office", "NOTCHES=Disabled"}, error},
                      {{{"add-param", "office", "NOTCHES", "Odd"}},
                       {"GET office", "NOTCHES"},
                       {"INFO", "NOTCHES=Odd"}}});
        // Firmware fetched in simulated time: 2.5 s to reach the server, then 5 s a quarter.
        Row("update follows the clock",
            Exchanges{{{}, kOrder, {"0"}},
                      {{{"advance", "2000"}},
                       kStatus,
                       {"INFO", "FLUP_STATUS=initial", "FLUP_DOWNLOADED_SIZE=0"}},
                      {{{"advance", "3000"}},
                       kStatus,
                       {"INFO", "FLUP_STATUS=downloading", "FLUP_DOWNLOADED_SIZE=0"}},
                      {{{"advance", "5000"}},
                       kStatus,
                       {"INFO", "FLUP_STATUS=downloading", "FLUP_DOWNLOADED_SIZE=268"}},
                      {{{"advance", "15000"}},
                       kStatus,
                       {"INFO", "FLUP_STATUS=finished", "FLUP_DOWNLOADED_SIZE=1072"}}});
        Row("update from no server",
            Exchanges{{{}, QStringList(kOrder).replaceInStrings("1.5", "1.9"), {"0"}},
                      {{{"advance", "12000"}},
                       kStatus,
                       {"INFO", "FLUP_STATUS=initial", "FLUP_DOWNLOADED_SIZE=0"}},
                      {{{"advance", "1000"}},
                       kStatus,
                       {"INFO", "FLUP_STATUS=failed: no FTP server answers at 192.168.1.9",
                        "FLUP_DOWNLOADED_SIZE=0"}}});
    }
    void exchanges() {
        Fixture f;
        for (const Exchange& step : Cell<Exchanges>("steps")) {
            for (const QStringList& command : step.sim)
                QCOMPARE(f.sim(command), QString());
            const QByteArray response = Ask(f, step.request);
            const bool refused = step.answer == QStringList{"ERROR"};
            QVERIFY2(refused ? response.startsWith("ERROR: ") : response == crlf(step.answer),
                     qPrintable(step.request.join('|') + " => " + response));
        }
    }

    // A fault knob spoils what the node or the discovery tool writes, and
    // nothing of what the others answer. The other knobs are tried through
    // the assistant.
    void faults_data() {
        QTest::addColumn<QStringList>("fault");  // a node or "discover", the knob, its value
        for (const QStringList& fault : QList<QStringList>{{"office", "truncateAt", "9"},
                                                           {"discover", "truncateAt", "7"},
                                                           {"office", "garbage", "on"},
                                                           {"office", "nulByte", "on"},
                                                           {"office", "invalidUtf8", "on"}})
            QTest::newRow(qPrintable(fault.join(' '))) << fault;
    }
    void faults() {
        const QStringList fault = Cell<QStringList>("fault");
        const QStringList request = fault[0] == "discover" ? QStringList() : kStatus.mid(0, 2);
        Fixture f;
        const QByteArray proper = Ask(f, request);
        QCOMPARE(f.sim(QStringList{"fault"} + fault), QString());
        const QByteArray bytes = Ask(f, request);
        const QByteArray rest = bytes.mid(bytes.indexOf("\r\n"));
        const QHash<QString, bool> holds{
            {"truncateAt", bytes == proper.left(fault[2].toInt())},
            {"garbage", bytes.size() > 1000 && !std::isalnum(uchar(bytes.front()))},
            {"nulByte", bytes.left(5) == QByteArray("INFO\0", 5) && rest == proper.mid(4)},
            {"invalidUtf8", bytes.left(5) == "INFO\xC3" && rest == proper.mid(4)}};
        QVERIFY2(holds.value(fault[1]), bytes.left(60).constData());
        QCOMPARE(Ask(f, {"GET garage", "VER"}), "INFO\r\nVER=3.1.7\r\n");
    }

    // Twenty clients, a discovery and a firmware server at once on one
    // network, each run from a folder of its own: every change lands, and the
    // log holds each request once with its tool, file name and bytes, on the
    // simulator's clock.
    void concurrentRuns() {
        Fixture f;
        QString error;
        QVERIFY(writeNetworkFile(f.workFile("simnet.json"), generatedNetwork(20), &error));
        QCOMPARE(f.sim({"request-log", "requests.log"}) + f.sim({"advance", "60000"}), QString());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KALDOR_SIMNET", f.workFile("simnet.json"));
        std::vector<std::unique_ptr<QProcess>> runs;
        const auto start = [&](const QString& folder, const QString& tool, const QStringList& args,
                               const QByteArray& request = {}) {
            QVERIFY(QDir(f.workDir()).mkdir(folder));  // a result file each
            f.writeWorkFile(folder + "/post.cfg", request);
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->setWorkingDirectory(f.workFile(folder));
            runs.back()->setProcessEnvironment(env);
            runs.back()->start(f.workFile(tool), args);
        };
        const qint64 from = QDateTime::currentMSecsSinceEpoch() + 60000;
        QStringList sent{"MacDiscover.exe||", "winl2fwserver.exe||no such.img 1"};
        start("discovery", "MacDiscover.exe", {});
        start("server", "winl2fwserver.exe", {"no such.img", "1"});
        const Network initial = readNetworkFile(f.workFile("simnet.json"), &error).value();
        for (const Node& node : initial.nodes) {
            const QByteArray request = requestBytes({"POST " + node.mac, "NOTCHES=Disabled"});
            sent << "ihcp_client.exe|post.cfg|" + request;
            start(node.mac, "ihcp_client.exe", {"post.cfg", "-i", "eth1"}, request);
        }
        for (const auto& p : runs)
            QVERIFY(p->waitForFinished(kRunTimeoutMs));
        const Network after = readNetworkFile(f.workFile("simnet.json"), &error).value();
        for (const Node& node : after.nodes) {
            QCOMPARE(f.readWorkFile(node.mac + "/ihcp_client.tmp"), "0\r\n");
            QCOMPARE(node.params.value("NOTCHES"), "Disabled");
        }
        QStringList logged;
        for (const LoggedRequest& r :
             readRequestLog(f.workFile("requests.log"), &error).value_or(QList<LoggedRequest>())) {
            QVERIFY(r.timeMs >= from && r.timeMs <= QDateTime::currentMSecsSinceEpoch() + 60000);
            logged << r.tool + "|" + r.file + "|" + r.bytes;
        }
        logged.sort();
        sent.sort();
        QCOMPARE(logged, sent);
        f.writeWorkFile("requests.log", "{\"time\":1,\"tool\":\"x\"}\n");
        QVERIFY(!readRequestLog(f.workFile("requests.log"), &error) && error.contains("line 1"));
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
