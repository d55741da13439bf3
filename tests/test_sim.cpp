// The simulated powerline network, driven through its real executables the
// way the assistant drives them: request files in a work folder, the tools
// started there, their result files read back.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "SimDemo.h"
#include "SimRequestLog.h"
#include "SimStateFile.h"
#include "support/DataRows.h"
#include "support/Fixture.h"

using namespace kaldorsim;
using namespace Qt::StringLiterals;

namespace {

const int kRunTimeoutMs = 240000;  // sanitizer builds on a loaded machine are slow

// A request's lines with CR LF; a demo node's label stands for its MAC, and
// the default password line follows the first line unless a line starts with ".".
QByteArray requestBytes(QStringList lines) {
    const Network demo = demoNetwork();
    if (const Node* node = findNode(demo, lines[0].section(' ', 1)))
        lines[0] = lines[0].section(' ', 0, 0) + " " + node->mac;
    if (lines.filter(QRegularExpression("^\\.")).isEmpty())
        lines.insert(1, ".PASSWORD=kaldor");
    return (lines.join("\r\n") + "\r\n").toUtf8();
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

// kaldor-sim command lines first, then a request (none: a discovery) and the
// result file's bytes; kRefused stands for a one-line refusal with a reason
// that leaves the network as it was.
struct Exchange {
    QList<QStringList> sim;
    QStringList request;
    QByteArray answer;
};
using Exchanges = QList<Exchange>;
const QByteArray kRefused = "ERROR: ";

}  // namespace

Q_DECLARE_METATYPE(Exchanges)

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void init() { qunsetenv("KALDOR_SIMNET"); }  // tools use their folder's network

    void exchanges_data() {
        QTest::addColumn<Exchanges>("steps");
        // clang-format off
        const L order{"POST office", "FLUP_PROTOCOL=FTP", "FLUP_IP_ADDR=192.168.1.5", "FLUP_LOGIN=kaldor",
        "FLUP_PASSWORD=firmware", "FLUP_FILENAME=kpl200-2.5.0.img", "FLUP_SECTION=Firmware", "FLUP_OK=Ok"};
        const QStringList vlan{"POST office", "KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_OK=ok"};
        for (const QStringList& r : QList<QStringList>{
                 {"POST office", "MODEL=KPL-510A"},
                 {"POST office", "MCAST_IGMP=Disabled", "NOTCHES=Loud"},
                 {"POST office", "ENCRYPT_TYPE=AES", "CRYPTO_OK=Ok"},
                 {"POST local", "ENCRYPT_TYPE=None", "ENCRYPT_KEY_STR=HomeKey-2024"},
                 {"POST office", "KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_OK=Ok"},
                 {"POST office", "KALDOR_VLAN_TAG=4095", "KALDOR_VLAN_OK=ok"},
                 vlan + L{"KALDOR_VLAN_TAG=1"},
                 vlan + L{"KALDOR_VLAN_TAG="},
                 {"POST office", "CRITERION_1=Custom", "CUSTOM_1_PATTERN=08G0", "CRITERION_1_OK=Ok"},
                 order.mid(0, 7),
                 {"GET 020A1B0000FF", "VER"}})
            Row(qPrintable(r.join(' ')), Exchanges{{{}, r, kRefused}});
        const QStringList version{"GET garage", "VER"}, notches{"GET office", "NOTCHES"};
        const QStringList status{"GET office", "FLUP_STATUS", "FLUP_DOWNLOADED_SIZE"};
        const auto flup = [](const char* status, const char* size) {
            return "INFO\r\nFLUP_STATUS="_ba + status + "\r\nFLUP_DOWNLOADED_SIZE=" + size + "\r\n";
        };
        Row("VLAN tag bounds in any mode", Exchanges{{{}, vlan + L{"KALDOR_VLAN_TAG=2"}, "0\r\n"},
            {{}, {"POST office", "KALDOR_VLAN_TAG=4094", "KALDOR_VLAN_OK=ok"}, "0\r\n"}});
        // Restarting, a node answers nobody and relays for nobody until the clock passes.
        Row("restart follows the clock", Exchanges{{{}, {"POST garage", "HW_RESET_OK=Ok"}, "0\r\n"},
            {{{"advance", "7000"}}, version, kRefused},
            {{}, {"GET attic", "VER"}, kRefused},
            {{{"advance", "1000"}}, version, "INFO\r\nVER=3.1.7\r\n"}});
        // After new network settings a node answers, then stays silent for the
        // settle time, scaled by the time scale; other settings take no time.
        Row("settle time", Exchanges{{{{"settle-time", "4000"}}, {"POST office", "NODE_TYPE=AP"}, "0\r\n"},
            {{{"advance", "3000"}}, {"GET office", "NODE_TYPE"}, kRefused},
            {{{"advance", "1000"}}, {"GET office", "NODE_TYPE"}, "INFO\r\nNODE_TYPE=AP\r\n"},
            {{}, {"POST office", "NOTCHES=Disabled", "NEWPASSWORD=x"}, "0\r\n"},
            {{{"time-scale", "0"}}, {"POST office", ".PASSWORD=x", "NET_ID_STR=Other"}, "3\r\n"},
            {{}, {"GET office", ".PASSWORD=x", "NET_ID_STR"}, "INFO\r\nNET_ID_STR=Other\r\n"}});
        // Another encryption mode under the same key: another network from here.
        Row("encryption mode", Exchanges{{{{"settle-time", "0"}}, {"POST office", "ENCRYPT_TYPE=None", "CRYPTO_OK=Ok"}, "0\r\n"},
            {{}, {"GET office", "VER"}, kRefused},
            {{}, {"GET local", "PLC_CONNECTION_NET_ID_STR"}, "INFO\r\nPLC_CONNECTION_NET_ID_STR="
             "'Network #1','KaldorHome','KaldorLab','Network #1','KaldorHome'\r\n"}});
        Row("parameter taken away and given back", Exchanges{
            {{{"remove-param", "office", "NOTCHES"}}, notches, kRefused},
            {{}, {"POST office", "NOTCHES=Disabled"}, kRefused},
            {{{"add-param", "office", "NOTCHES", "Odd"}}, notches, "INFO\r\nNOTCHES=Odd\r\n"}});
        // Firmware fetched in simulated time: 2.5 s to reach the server, then 5 s a quarter.
        Row("update follows the clock", Exchanges{{{}, order, "0\r\n"},
            {{{"advance", "2000"}}, status, flup("initial", "0")},
            {{{"advance", "3000"}}, status, flup("downloading", "0")},
            {{{"advance", "5000"}}, status, flup("downloading", "268")},
            {{{"advance", "15000"}}, status, flup("finished", "1072")}});
        Row("update from no server", Exchanges{{{}, L(order).replaceInStrings("1.5", "1.9"), "0\r\n"},
            {{{"advance", "12000"}}, status, flup("initial", "0")},
            {{{"advance", "1000"}}, status, flup("failed: no FTP server answers at 192.168.1.9", "0")}});
        // A fault knob spoils what its node or the discovery tool writes, and
        // nothing of what the others answer.
        Row("spoiled answers", Exchanges{
            {{{"fault", "attic", "truncateAt", "9"}}, {"GET attic", "VER"}, "INFO\r\nVER"},
            {{{"fault", "discover", "truncateAt", "7"}}, {}, "020A1B0"},
            {{{"fault", "local", "nulByte", "on"}}, {"GET local", "VER"}, "INFO\0\r\nVER=3.1.7\r\n"_ba},
            {{{"fault", "office", "garbage", "on"}, {"fault", "office", "truncateAt", "1"}}, status, "\xFE"},
            {{{"fault", "garage", "invalidUtf8", "on"}}, version, "INFO\xC3\x28\xFF\xFE\r\nVER=3.1.7\r\n"}});
        // clang-format on
    }
    void exchanges() {
        Fixture f;
        for (const Exchange& step : Cell<Exchanges>("steps")) {
            for (const QStringList& command : step.sim)
                QCOMPARE(f.sim(command), QString());
            const QByteArray before = f.readWorkFile("simnet.json");
            const QByteArray response = Ask(f, step.request);
            const bool refused = response.startsWith(kRefused) && response.size() > 20 &&
                                 response.indexOf("\r\n") == response.size() - 2 &&
                                 f.readWorkFile("simnet.json") == before;
            QVERIFY2(step.answer == kRefused ? refused : response == step.answer,
                     qPrintable(step.request.join('|') + " => " +
                                response.toPercentEncoding(" =|,'#:")));
        }
    }

    // Twenty clients, a discovery and a firmware server at once on one
    // network, each run from a folder of its own: every change lands, and the
    // log holds each request once with its tool, file name and bytes, on the
    // simulator's clock.
    void concurrentRuns() {
        Fixture f;
        QString error;
        const Network initial = generatedNetwork(20);
        QVERIFY(writeNetworkFile(f.workFile("simnet.json"), initial, &error));
        QCOMPARE(f.sim({"request-log", "requests.log"}) + f.sim({"advance", "60000"}), QString());
        qputenv("KALDOR_SIMNET", f.workFile("simnet.json").toUtf8());
        const qint64 from = QDateTime::currentMSecsSinceEpoch() + 60000;
        std::vector<std::unique_ptr<QProcess>> runs;
        QStringList sent;
        const auto start = [&](const QString& tool, const QStringList& args,
                               const QByteArray& bytes) {
            const QString folder = QString::number(runs.size());
            QVERIFY(QDir(f.workDir()).mkdir(folder));  // a result file each
            f.writeWorkFile(folder + "/post.cfg", bytes);
            runs.push_back(std::make_unique<QProcess>());
            runs.back()->setWorkingDirectory(f.workFile(folder));
            runs.back()->start(f.workFile(tool), args);
            sent << tool + (args.size() > 2 ? "|post.cfg|" : "||") + bytes;
        };
        start("MacDiscover.exe", {}, {});
        start("winl2fwserver.exe", {"no such.img", "1"}, "no such.img 1");
        for (const Node& node : initial.nodes)
            start("ihcp_client.exe", {"post.cfg", "-i", "eth1"},
                  requestBytes({"POST " + node.mac, "NOTCHES=Disabled"}));
        for (const auto& p : runs)
            QVERIFY(p->waitForFinished(kRunTimeoutMs));
        const Network after = readNetworkFile(f.workFile("simnet.json"), &error).value();
        for (const Node& node : after.nodes)
            QCOMPARE(node.params.value("NOTCHES"), "Disabled");
        QStringList logged;
        for (const LoggedRequest& r :
             readRequestLog(f.workFile("requests.log"), &error).value_or(QList<LoggedRequest>())) {
            QVERIFY(r.timeMs >= from && r.timeMs <= QDateTime::currentMSecsSinceEpoch() + 60000);
            logged << r.tool + "|" + r.file + "|" + r.bytes;
        }
        logged.sort();
        sent.sort();
        QCOMPARE(logged, sent);
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
