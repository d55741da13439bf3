// Every operation against every way a tool can fail: the user is told, the
// window comes back and nothing crashes.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "support/DemoNetwork.h"
#include "support/Fixture.h"

namespace {

// A failure: the tool broken, or the simulator's fault knob on the node and
// what a stand-in firmware server writes as its result file instead ("-" no
// file; none: no stand-in, the node is switched off).
const char* const kFaults[][3] = {
    {"tool missing", "", ""},
    {"tool cannot start", "", ""},
    {"no response", "noResponse on", "-"},
    {"empty response", "truncateAt 0", "printf ''"},
    {"truncated response", "truncateAt 3", "printf 4"},
    {"garbage response", "garbage on", "printf '\\211\\376\\001garbage'"},
    {"huge response", "hugeMb 3", "head -c 3145728 /dev/zero | tr '\\000' 7"},
    {"NUL byte", "nulByte on", "printf '\\0000\\r\\n'"},
    {"invalid UTF-8", "invalidUtf8 on", "printf '\\377\\3760\\r\\n'"},
    {"silent node", "noAnswer on", ""},
    {"request not writable", "", ""},
};

// Each operation as the user's steps, in three groups: the wizard's, the
// advanced window's ("adv": the window opened on the office node) and the
// upgrades. "!NODE" puts the fault in place on the node's client ("!!NODE":
// on the firmware server); see step() for the rest.
const char* const kOperations[][2] = {
    {"discovery", "!local pw: frmBegin.cmdNext"},
    {"next", "discover node:office !office frmConnect.cmdConfigMac"},
    {"advanced", "discover node:office !office frmConnect.cmdQuickAdv"},
    {"save",
     "discover node:office frmConnect.cmdConfigMac frmConfig.txtId=Moved !office "
     "frmConfig.cmdSave"},
    {"end page",
     "discover node:office frmConnect.cmdConfigMac frmConfig.cmdSave !office frmEnd.cmdAdvanced"},
    {"several nodes", "discover !garage node:+ node:+garage frmConnect.cmdConfigMac"},
    {"set-all",
     "discover node:+ node:+garage frmConnect.cmdConfigMac !garage frmSetAll.txtId=Moved pw: "
     "frmSetAll.cmdAutoConf"},
    {"refresh", "adv !office frmConfigAdv.cmdRefresh"},
    {"update", "adv !office frmConfigAdv.cmdUpdateMacConf"},
    {"reset", "adv !office frmConfigAdv.cmdReset"},
    {"factory reset", "adv pw:factory !office frmConfigAdv.cmdFactoryReset"},
    {"FTP/TFTP update",
     "adv frmConfigAdv.cboUpgProt=TFTP frmConfigAdv.txtServerIP=192.168.1.6 "
     "frmConfigAdv.txtFileName=kpl200-2.5.0.img !office "
     "frmConfigAdv.cmdFwUpdate"},
    {"layer-2 upgrade",
     "adv image:KPL-200 frmConfigAdv.cmdChooseFile !office frmConfigAdv.cmdFwUpgrade"},
    {"loader upgrade",
     "sim:loader,local,on frmBegin.cmdNext frmAdvanced.cboInterface=eth1 image:KPL-510A !!local "
     "frmAdvanced.cmdUpgrade"},
};

}  // namespace

class FaultsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    const QByteArray path_ = qgetenv("PATH");

    // Replaces a tool by these bytes, or removes it when there are none.
    void replaceTool(const QString& tool, const QByteArray& content) {
        QFile::remove(f->workFile(tool));
        if (!content.isEmpty()) {
            f->writeWorkFile(tool, content);
            QFile::setPermissions(f->workFile(tool), QFile::ReadOwner | QFile::ExeOwner);
        }
    }

    void breakTool(const QString& name, const QString& node, bool server) {
        const auto* fault = std::find_if(std::begin(kFaults), std::end(kFaults),
                                         [&](const auto& x) { return name == x[0]; });
        const QString tool = server ? "winl2fwserver.exe" : "ihcp_client.exe";
        const QByteArray out = (*fault)[2];
        if (name == "request not writable") {
            for (const char* file : {"get.cfg", "post.cfg", "ihcp_client.tmp"}) {
                QFile::remove(f->workFile(file));
            }
            QVERIFY(QDir(f->workDir()).mkdir("get.cfg") && QDir(f->workDir()).mkdir("post.cfg"));
        } else if (name.startsWith("tool")) {
            qputenv("PATH", "");
            replaceTool(tool, name == "tool missing" ? QByteArray() : QByteArray(64, '\x7f'));
        } else if (server && !out.isEmpty()) {
            replaceTool(tool,
                        "#!/bin/sh\n" + (out == "-" ? "exit 0" : out + " > winl2fwserver.tmp"));
        } else {
            f->sim(server ? QStringList{"power", node, "off"}
                          : QStringList{"fault", node} + QString((*fault)[1]).split(' '));
        }
        // Only what the user is told from here on counts.
        f->dialogs.boxes.clear();
        f->dialogs.modalCount = 0;
    }

    // One step: "WINDOW.BUTTON" clicked, "WINDOW.CONTROL=TEXT" typed (or the
    // list entry starting so picked), "pw:TEXT" the next password prompt's
    // answer, "sim:A,B" a simulator command, "image:MODEL" the file dialog's
    // answer, "node:NAME" a node entry clicked ("node:+NAME" with Ctrl,
    // "node:+" the connected node's box), "discover" the demo network found.
    void step(const QString& text, const QString& fault) {
        if (text.startsWith('!')) {
            breakTool(fault, text.section('!', -1), text.startsWith("!!"));
        } else if (text == "adv") {
            run("discover node:office frmConnect.cmdQuickAdv", fault);
        } else if (text == "discover") {
            f->dialogs.typePassword("");
            f->click(W().frmBegin, "cmdNext");
            QCOMPARE(f->nodeLines().size(), 6);
        } else if (text.startsWith("pw:")) {
            f->dialogs.typePassword(text.mid(3));
        } else if (text.startsWith("sim:")) {
            f->sim(text.mid(4).split(','));
        } else if (text.startsWith("image:")) {
            f->sim({"image", f->workFile("new firmware.img"), text.mid(6), "3.3.0"});
            f->dialogs.chosenFiles << f->workFile("new firmware.img");
        } else if (text == "node:+") {
            f->clickNodeBox();
        } else if (text.startsWith("node:")) {
            f->clickNodeEntry(f->rowOf(text.endsWith("garage") ? kGarage : kOffice),
                              text.startsWith("node:+"));
        } else {
            const QList<QWidget*> all = AllWindows(W());
            QWidget* window = *std::find_if(all.begin(), all.end(), [&](QWidget* w) {
                return w->objectName() == text.section('.', 0, 0);
            });
            QVERIFY2(window->isVisible(), qPrintable(text + "\n" + f->dialogs.describe()));
            const QString name = text.section('.', 1).section('=', 0, 0),
                          value = text.section('=', 1);
            QWidget* control = Ctl(window, qPrintable(name));
            if (auto* combo = qobject_cast<QComboBox*>(control)) {
                combo->setCurrentIndex(combo->findText(value, Qt::MatchStartsWith));
            } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
                box->setText(value);
            } else {
                f->click(window, qPrintable(name));
            }
        }
    }

    void run(const QString& steps, const QString& fault) {
        for (const QString& text : steps.split(' ')) {
            step(text, fault);
        }
    }

    static void addRows(int first, int last) {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("fault");
        for (int op = first; op <= last; ++op) {
            for (const auto& fault : kFaults) {
                QTest::addRow("%s, %s", kOperations[op][0], fault[0])
                    << QString(kOperations[op][1]) << QString(fault[0]);
            }
        }
    }

    void runRow() {
        QFETCH(QString, steps);
        QFETCH(QString, fault);
        run("sim:time-scale,0 " + steps, fault);
        const QString told = f->dialogs.describe();
        const Windows& w = W();
        bool usable = false;
        for (QWidget* page : {w.frmBegin, w.frmConnect, w.frmAdvanced, w.frmConfig, w.frmEnd,
                              w.frmConfigAdv, w.frmSetAll}) {
            usable = usable || (page->isVisible() && page->isEnabled());
        }
        QVERIFY2(usable, qPrintable(told));
        QVERIFY(!W().frmMessage->isVisible() && !f->exitCode);
        // Nothing usable came back: the user must hear of it (the loader's error
        // dialog is a window of its own). The discovery's walk ends quietly.
        const bool noAnswer = fault == "no response" || fault == "empty response" ||
                              fault == "garbage response" || fault == "silent node";
        const bool unwritable = fault == "request not writable" && !steps.contains("!!");
        if (unwritable) {  // abandoned before the client ran
            QVERIFY2(told.contains(".cfg") && !QFile::exists(f->workFile("ihcp_client.tmp")),
                     qPrintable(told));
        }
        if (fault.startsWith("tool") || unwritable || (noAnswer && !steps.startsWith("!local"))) {
            QVERIFY2(!f->dialogs.boxes.isEmpty() || f->dialogs.modalCount > 0, "not reported");
        }
        // A tool that never ran is named, and cannot have done the work.
        if (fault.startsWith("tool")) {
            QVERIFY2(told.contains(steps.contains("!!") ? "winl2fwserver.exe" : "ihcp_client.exe"),
                     qPrintable(told));
            QVERIFY2(!told.contains(Session().errUpgradeOk), qPrintable(told));
        }
        for (const DialogRecorder::Box& box : f->dialogs.boxes) {
            QVERIFY(box.text.size() < 2000);
        }
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() {
        f.reset();
        qputenv("PATH", path_);
    }

    // Three groups, each run as a test of its own and in parallel.
    void wizardOperations_data() { addRows(0, 6); }
    void wizardOperations() { runRow(); }
    void advancedOperations_data() { addRows(7, 10); }
    void advancedOperations() { runRow(); }
    void firmwareOperations_data() { addRows(11, 13); }
    void firmwareOperations() { runRow(); }

    // A line break a node answered goes back to no node: refused before the
    // request is written, the window kept usable.
    void lineBreakFromNode() {
        run("sim:set,office,FLUP_FILENAME,new\rfirmware.img adv frmConfigAdv.cboUpgProt=TFTP "
            "frmConfigAdv.txtServerIP=192.168.1.6 frmConfigAdv.cmdFwUpdate",
            {});
        QVERIFY2(f->dialogs.describe().contains("line break"), qPrintable(f->dialogs.describe()));
        QWidget* adv = W().frmConfigAdv;
        QVERIFY(!QFile::exists(f->workFile("post.cfg")) && adv->isVisible() && adv->isEnabled());
    }
};

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
