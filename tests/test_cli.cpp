// kaldor-cli as a user runs it: the staged program in a start folder laid out
// as an install, against the demo network, its exit code and output checked.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "SimRequestLog.h"
#include "support/DataRows.h"
#include "support/DemoNetwork.h"
#include "support/FileModes.h"
#include "support/SimState.h"

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run Cli(const Fixture& f, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(f.startDir());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"KALDOR_PASSWORD", "KALDOR_FACTORY_PASSWORD", "XDG_DATA_HOME"})
        env.remove(name);
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(KALDOR_STAGE_DIR "/kaldor-cli", arguments);
    const bool ended = process.waitForFinished(180000);
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The POST requests the nodes received since the log was started; -1 without a log.
int Posts(const Fixture& f) {
    QString error;
    const auto log = kaldorsim::readRequestLog(f.workFile("requests.log"), &error);
    if (!log)
        return -1;
    return int(std::count_if(log->begin(), log->end(),
                             [](const auto& r) { return r.bytes.startsWith("POST "); }));
}

QJsonObject Json(const Run& run) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    [&] { QVERIFY2(document.isObject(), qPrintable(error.errorString() + run.out)); }();
    return document.object();
}

}  // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    // One command line after the network was changed ("setup": kaldor-sim command lines,
    // "rm FILE" removes a work file) and after an earlier command line that must succeed:
    // the exit code, a literal fragment of stdout ("out") or stderr ("err"), and how many
    // POST requests reached the nodes.
    // clang-format off
    void commands_data() {
        Cols<L, L, L, int, QString, QString, int>({"setup", "before", "args", "code", "stream", "fragment", "posts"});
        const QString tag = "KALDOR_VLAN_TAG", prio = "KALDOR_VLAN_PRIO";
        Row("discover lists the demo's nodes", L(), L(), L{"discover"}, 0, "out", "020A1B000004  KaldorLab             answered", 0);
        Row("discover: other network not asked", L(), L(), L{"discover"}, 0, "out", "020A1B000005  Network #1            -", 0);
        Row("get prints values as they are", L(), L(), L{"get", kOffice, "NET_ID_STR", "MODEL", "ENCRYPT_KEY_STR"}, 0, "out", "KaldorHome\nKPL-200\nHomeKey-2024\n", 0);
        Row("get of a key the node lacks", L(), L(), L{"get", kOffice, "NOPE"}, 2, "err", "kaldor-cli: node 020A1B000002 has no setting NOPE\n", 0);
        Row("set of a group, then get shows it", L(), L{"set", kLocal, "KALDOR_VLAN_CONFIG=Enabled", tag + "=42", prio + "=5"}, L{"get", kLocal, tag, prio}, 0, "out", "42\n5\n", 1);
        Row("set of a value in a group sends the group once", L(), L(), L{"set", kGarage, tag + "=7", "KALDOR_VLAN_CONFIG=Disabled"}, 0, "out", tag + "=7", 1);
        Row("set with an unknown key", L(), L(), L{"set", kLocal, "MCAST_IGMP=Proxy", "NO_SUCH=1"}, 2, "err", "NO_SUCH", 0);
        Row("set of a report-only key", L(), L(), L{"set", kLocal, "NUM_BOOTS=3"}, 2, "err", "NUM_BOOTS", 0);
        Row("set without =", L(), L(), L{"set", kLocal, "MCAST_IGMP"}, 2, "err", "KEY=VALUE", 0);
        Row("set of a value not offered", L(), L(), L{"set", kLocal, "MCAST_IGMP=Loud"}, 2, "err", "does not take MCAST_IGMP=Loud", 0);
        Row("set of a reserved VLAN tag", L(), L(), L{"set", kLocal, "KALDOR_VLAN_CONFIG=Enabled", tag + "=4095"}, 2, "err", "does not take KALDOR_VLAN_TAG=4095", 0);
        Row("set of a remote node's identifier: it leaves, not read again", L(), L(), L{"set", kOffice, "NET_ID_STR=Elsewhere"}, 0, "out", "left this computer's network", 1);
        Row("show masks secrets", L(), L(), L{"show", kLocal}, 0, "out", "ENCRYPT_KEY_STR=********\n", 0);
        Row("show --show-secrets", L(), L(), L{"show", kLocal, "--show-secrets"}, 0, "out", "ENCRYPT_KEY_STR=HomeKey-2024\n", 0);
        Row("MAC in lower case with colons", L(), L(), L{"get", "02:0a:1b:00:00:04", "NET_ID_STR"}, 0, "out", "KaldorLab\n", 0);
        Row("not a MAC", L(), L(), L{"show", "office"}, 2, "err", "'office' is no MAC address", 0);
        Row("wrong password", L(), L(), L{"--password", "wrong", "get", kLocal, "MODEL"}, 3, "err", "refused the password", 0);
        Row("reset with the wrong password", L(), L(), L{"reset", kStudy}, 3, "err", "node 020A1B000007 refused the password\n", 0);
        Row("password of another node", L(), L(), L{"--password=study-2024", "get", kStudy, "MODEL"}, 0, "out", "KPL-510A\n", 0);
        Row("--interface in place of the one found", L(), L(), L{"--interface", "0", "get", kLocal, "MODEL"}, 4, "err", "no powerline node answers on eth0", 0);
        Row("silent node", L{"fault office noAnswer on"}, L(), L{"show", kOffice}, 4, "err", "node 020A1B000002 did not answer", 0);
        Row("reset of a silent node", L{"fault office noAnswer on"}, L(), L{"reset", kOffice}, 4, "err", "did not answer", 0);
        Row("wrong factory password", L(), L(), L{"factory-reset", kOffice, "--factory-password", "x"}, 3, "err", "refused the factory password", 1);
        Row("factory reset without a password", L(), L(), L{"factory-reset", kOffice}, 2, "err", "--factory-password", 0);
        Row("missing tool", L{"rm ihcp_client.exe"}, L(), L{"show", kLocal}, 5, "err", "ihcp_client.exe is missing", 0);
        Row("no local node", L{"attach local none"}, L(), L{"discover"}, 5, "err", "no local node", 0);
        Row("no work folder", L(), L(), L{"--work", "nowhere", "show", kLocal}, 2, "err", "nowhere does not exist", 0);
        Row("help", L(), L(), L{"--help"}, 0, "out", "  restore MAC FILE [--dry-run]\n", 0);
        Row("help of a command", L(), L(), L{"set", "--help"}, 0, "out", "usage: kaldor-cli [OPTIONS] set MAC KEY=VALUE...\n", 0);
        Row("help command", L(), L(), L{"help", "diff"}, 0, "out", "usage: kaldor-cli [OPTIONS] diff A B\n", 0);
        Row("help of factory-reset", L(), L(), L{"factory-reset", "-h"}, 0, "out", "KALDOR_FACTORY_PASSWORD", 0);
        Row("unknown command", L(), L(), L{"frobnicate"}, 2, "err", "unknown command 'frobnicate'", 0);
        Row("unknown option", L(), L(), L{"show", kLocal, "--colour"}, 2, "err", "--colour", 0);
        Row("too few arguments", L(), L(), L{"backup", kLocal}, 2, "err", "usage: kaldor-cli backup MAC FILE", 0);
    }
    // clang-format on
    void commands() {
        Fixture f;
        for (const QString& step : Cell<L>("setup")) {
            if (step.startsWith("rm "))
                QVERIFY(QFile::remove(f.workFile(step.mid(3))));
            else
                QCOMPARE(f.sim(step.split(' ')), QString());
        }
        QCOMPARE(f.sim({"request-log", "requests.log"}), QString());
        if (!Cell<L>("before").isEmpty())
            QCOMPARE(Cli(f, Cell<L>("before")).code, 0);
        const Run run = Cli(f, Cell<L>("args"));
        QCOMPARE(run.code, Cell<int>("code"));
        QVERIFY2((Cell("stream") == "out" ? run.out : run.err).contains(Cell("fragment")),
                 qPrintable(run.out + run.err));
        // A failure says why in one line, and says nothing on stdout.
        QCOMPARE(run.err.count('\n'), run.code == 0 ? 0 : 1);
        QVERIFY(run.code == 0 || run.out.isEmpty());
        QCOMPARE(Posts(f), Cell<int>("posts"));
    }

    // --json: one document, read back field by field.
    void json() {
        Fixture f;
        SetParameters(f, kGarage, {"MCAST_IGMP=Proxy"});
        const QJsonObject discover = Json(Cli(f, {"discover", "--json"}));
        QCOMPARE(discover["exitCode"].toInt(-1), 0);
        QCOMPARE(discover["localMac"].toString(), kLocal);
        QCOMPARE(discover["interface"].toInt(-1), 1);
        const QJsonArray nodes = discover["nodes"].toArray();
        L macs;
        for (const auto& node : nodes) {
            const QJsonObject n = node.toObject();
            macs << n["mac"].toString() + " " + n["networkId"].toString() + " " +
                        (n["local"].toBool()      ? "local"
                         : n["answered"].toBool() ? "yes"
                                                  : "no");
        }
        macs.sort();
        QCOMPARE(macs, L({kLocal + " KaldorHome local", kOffice + " KaldorHome yes",
                          kGarage + " KaldorHome yes", kLab + " KaldorLab yes",
                          kNeighbour + " Network #1 no", kAttic + " KaldorHome yes",
                          kStudy + " KaldorHome no"}));

        const QJsonObject show = Json(Cli(f, {"show", kOffice, "--json"}));
        const kaldorsim::Parameters office = Parameters(f, kOffice);
        QCOMPARE(show["mac"].toString(), kOffice);
        const QJsonObject settings = show["settings"].toObject();
        // Every setting the simulator holds, the key and passwords masked.
        for (auto it = office.begin(); it != office.end(); ++it) {
            const bool secret = it.key() == "ENCRYPT_KEY_STR" || it.key() == "FLUP_PASSWORD";
            QCOMPARE(settings[it.key()].toString(), secret ? "********" : it.value());
        }

        const Run different = Cli(f, {"diff", kLocal, kGarage, "--json"});
        QCOMPARE(different.code, 1);
        const QJsonObject diff = Json(different);
        QCOMPARE(diff["equal"].toBool(true), false);
        QCOMPARE(diff["exitCode"].toInt(-1), 1);
        L found;
        for (const auto& difference : diff["differences"].toArray()) {
            const QJsonObject d = difference.toObject();
            found << d["group"].toString() + " " + d["key"].toString() + " " + d["a"].toString() +
                         " " + d["b"].toString();
        }
        const kaldorsim::Parameters local = Parameters(f, kLocal), garage = Parameters(f, kGarage);
        QVERIFY2(found.contains("multicast MCAST_IGMP " + local["MCAST_IGMP"] + " Proxy"),
                 qPrintable(found.join('\n')));
        // The garage takes its address from DHCP: its fixed address is no difference.
        QVERIFY(found.contains("address IP_CONFIG_NVRAM " + local["IP_CONFIG_NVRAM"] + " " +
                               garage["IP_CONFIG_NVRAM"]));
        QVERIFY(!found.join('\n').contains("IP_ADDR_NVRAM"));

        // A node against its own backup, in either order.
        QCOMPARE(Cli(f, {"backup", kGarage, "garage.kbk"}).code, 0);
        const QJsonObject same = Json(Cli(f, {"diff", "garage.kbk", kGarage, "--json"}));
        QCOMPARE(same["equal"].toBool(false), true);
        QCOMPARE(same["differences"].toArray().size(), 0);
        QCOMPARE(Cli(f, {"diff", kGarage, "garage.kbk"}).code, 0);
    }

    // Restores that are refused send nothing: a backup of another model, a
    // malformed file. A backup of another node of the same model is taken,
    // with a note, and --dry-run lists the groups without sending them.
    void restoreChecks() {
        Fixture f;
        QCOMPARE(Cli(f, {"backup", kOffice, "office.kbk"}).code, 0);
        QCOMPARE(Cli(f, {"backup", kGarage, "garage.kbk"}).code, 0);
        QFile bad(f.startDir() + "/bad.kbk");
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("Kaldor node backup, format 1\r\n"));
        bad.close();
        SetParameters(f, kGarage, {"MCAST_IGMP=Proxy"});
        QCOMPARE(f.sim({"request-log", "requests.log"}), QString());
        const Run model = Cli(f, {"restore", kLocal, "office.kbk"});
        QCOMPARE(model.code, 2);
        QVERIFY2(model.err.contains("KPL-200") && model.err.contains("KPL-510A"),
                 qPrintable(model.err));
        const Run malformed = Cli(f, {"restore", kLocal, "bad.kbk"});
        QCOMPARE(malformed.code, 2);
        QVERIFY2(malformed.err.startsWith("kaldor-cli: bad.kbk: "), qPrintable(malformed.err));
        const Run dry = Cli(f, {"restore", kLocal, "garage.kbk", "--dry-run"});
        QCOMPARE(dry.code, 0);
        QVERIFY2(dry.err.contains("saved from " + kGarage), qPrintable(dry.err));
        QVERIFY2(dry.out.startsWith("address: IP_CONFIG_NVRAM=" +
                                    Parameters(f, kGarage)["IP_CONFIG_NVRAM"]),
                 qPrintable(dry.out));
        QVERIFY(!dry.out.contains("multicast"));
        QCOMPARE(Posts(f), 0);
        // The garage takes its own backup back, the changed group alone.
        const Run same = Cli(f, {"restore", kGarage, "garage.kbk"});
        QCOMPARE(same.code, 0);
        QCOMPARE(Parameters(f, kGarage)["MCAST_IGMP"], "Snooping");
        QCOMPARE(Posts(f), 1);
    }

    // Backup, two groups changed, factory reset, restore: the node's settings
    // are the backup's again. What a factory reset loses and a restore cannot
    // bring back: the node password (no backup holds it); the firmware
    // version, boot count and download state only report and are never sent.
    void backupFactoryResetRestore() {
        Fixture f;
        ChangeNetwork(f, [](kaldorsim::Network& net, QString* e) {
            return kaldorsim::setSettleTime(net, 0, e);
        });
        QCOMPARE(f.sim({"password", "local", "own-secret"}), QString());
        SetParameters(f, kLocal, {"NUM_BOOTS=9"});
        const kaldorsim::Parameters before = Parameters(f, kLocal);
        const QStringList pw{"--password", "own-secret"};
        QCOMPARE(Cli(f, L{"backup", kLocal, "local.kbk"} + pw).code, 0);
        QVERIFY(OwnerOnly(f.startDir() + "/local.kbk"));
        QCOMPARE(f.sim({"request-log", "requests.log"}), QString());
        const Run set =
            Cli(f, L{"set", kLocal, "MCAST_IGMP=Proxy", "DISTORTION_CONTROL=High"} + pw);
        QCOMPARE(set.code, 0);
        QCOMPARE(Posts(f), 2);
        QCOMPARE(Parameters(f, kLocal)["MCAST_IGMP"], "Proxy");
        QCOMPARE(Parameters(f, kLocal)["DISTORTION_CONTROL"], "High");
        const Run reset = Cli(
            f, {"factory-reset", kLocal, "--factory-password", SimNode(f, kLocal).factoryPassword});
        QCOMPARE(reset.code, 0);
        QVERIFY(Parameters(f, kLocal)["NET_ID_STR"] != before["NET_ID_STR"]);
        // The node answers the default password now.
        const Run restore = Cli(f, {"restore", kLocal, "local.kbk"});
        QVERIFY2(restore.code == 0, qPrintable(restore.out + restore.err));
        QCOMPARE(Cli(f, {"diff", kLocal, "local.kbk"}).code, 0);
        const kaldorsim::Parameters after = Parameters(f, kLocal);
        for (const QString key :
             {"NET_ID_STR", "ENCRYPT_KEY_STR", "ENCRYPT_TYPE", "MCAST_IGMP", "DISTORTION_CONTROL",
              "NOTCHES", "IP_CONFIG_NVRAM", "IP_ADDR_NVRAM", "NODE_TYPE", "KALDOR_VLAN_TAG"})
            QCOMPARE(after[key], before[key]);
        QVERIFY(SimNode(f, kLocal).password != "own-secret");
        QVERIFY(after["NUM_BOOTS"] != "9");
    }

    // Interrupted while a node restarts: the program ends with 130 and leaves
    // none of its request or response files, which carry passwords.
    void interrupted() {
        Fixture f;
        QProcess process;
        process.setWorkingDirectory(f.startDir());
        process.start(KALDOR_STAGE_DIR "/kaldor-cli", {"reset", kOffice});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(f.workFile("post.cfg")), 20000);
        process.terminate();
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitCode(), 130);
        for (const char* file : {"post.cfg", "get.cfg", "ihcp_client.tmp"})
            QVERIFY2(!QFile::exists(f.workFile(file)), file);
    }
};

QTEST_MAIN(CliTest)
#include "test_cli.moc"
