// Every operation against every way a tool can fail: what the user is told,
// and the window that comes back afterwards, enabled and idle.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "support/CatalogueText.h"
#include "support/DemoNetwork.h"
#include "support/Fixture.h"

namespace {

enum Fault {
    CannotStart,  // the tool's file is not a program
    NoResponse,   // the tool ends without an answer file
    Huge,         // an answer of 3 MB
    Silent,       // the node does not answer the tool
    Unwritable,   // folders stand where the request files go
};
const char* const kFaultNames[] = {"tool cannot start", "no response", "huge response",
                                   "silent node", "request not writable"};

// A message box: icon, title and text ({key} for the catalogue's text); a
// "%1" in the text stands for arg, in which {work} is the work folder.
struct Told {
    MsgIcon icon;
    QString title;
    QString text;
    QString arg = {};
};

const QString kApp = "Kaldor Config Tool",
              kTimeOut = "ERROR: node 020A1B000002 did not answer (time-out)";
const MsgIcon kWarn = MsgIcon::Exclamation;
const Told kClientStart{kWarn, kApp, "{errToolStart}", "ihcp_client.exe"};
const Told kReceiving{kWarn, kApp, "{errReceiving}"};
const Told kNoKey{kWarn, kApp, "{errNoKey}"};
const Told kNotSamePw{kWarn, kApp, "{errNotSamePwd}"};
const Told kGetUnwritable{kWarn, kApp, "{errWriteFile}", "{work}/get.cfg"};
const Told kPostUnwritable{kWarn, kApp, "{errWriteFile}", "{work}/post.cfg"};
const Told kResetOk{kWarn, kApp, "{errResetOk}"};
const Told kUpgradeOk{MsgIcon::Information, kApp, "{errUpgradeOk}"};
const Told kFactoryKo{kWarn, kApp, "{errFactResetKoOrPw}"};
const Told kNotConfigured{MsgIcon::Stop, "{errSaving}", "{errConfiguring}02:0A:1B:00:00:03"};
// Modal dialogs: the factory password prompt, the prompt of the node page's
// walk for the study node's own password, the firmware error dialog.
const QString kFactoryPrompt = "[{frmAskPw}] {lblAskFactPw}";
const QString kStudyPrompt = "[{frmAskPw}] {lblAskPw} 020A1B000007";
const QString kNoNodeTookIt = "[{errUpgradeKo}] {errCodeUpgrade7}";

// What one fault does to one operation: the boxes shown (each once, in the
// order they first came), the modal dialogs, and the window usable after it.
struct Outcome {
    Fault fault;
    QList<Told> told;
    QStringList modals;
    QString window;
};

struct Operation {
    const char* name;
    const char* steps;  // see step()
    QList<Outcome> outcomes;
};

Told Titled(const QString& title, const QString& text) {
    return {kWarn, title, text};
}

// clang-format off
const Operation kOperations[] = {
    {"discovery", "!local pw: frmBegin.cmdNext", {
        {CannotStart, {kClientStart, kReceiving}, {}, "frmConnect"},
        {NoResponse, {kReceiving}, {}, "frmConnect"},
        {Huge, {}, {kStudyPrompt}, "frmConnect"},
        {Silent, {{MsgIcon::Stop, kApp, "{errNoModems}"}}, {}, "frmAdvanced"},
        {Unwritable, {kGetUnwritable}, {}, "frmConnect"}}},
    {"next", "discover node:office !office frmConnect.cmdConfigMac", {
        {CannotStart, {kClientStart, kReceiving, kNoKey}, {}, "frmConnect"},
        {NoResponse, {kReceiving, kNoKey}, {}, "frmConnect"},
        {Huge, {}, {}, "frmConfig"},
        {Silent, {kNoKey}, {}, "frmConnect"},
        {Unwritable, {kGetUnwritable}, {}, "frmConnect"}}},
    {"save", "discover node:office frmConnect.cmdConfigMac frmConfig.txtId=Moved !office "
             "frmConfig.cmdSave", {
        {CannotStart, {kClientStart, kReceiving, Titled("{errSaving}", "{errReceiving}")}, {}, "frmConfig"},
        {NoResponse, {kReceiving, Titled("{errSaving}", "{errReceiving}")}, {}, "frmConfig"},
        {Huge, {}, {}, "frmEnd"},
        {Silent, {Titled("{errSaving}", kTimeOut)}, {}, "frmConfig"},
        {Unwritable, {kPostUnwritable}, {}, "frmConfig"}}},
    {"end page", "discover node:office frmConnect.cmdConfigMac frmConfig.cmdSave !office "
                 "frmEnd.cmdAdvanced", {
        {CannotStart, {kClientStart, kReceiving}, {}, "frmEnd"},
        {NoResponse, {kReceiving}, {}, "frmEnd"},
        {Silent, {Titled(kApp, kTimeOut)}, {}, "frmEnd"},
        {Unwritable, {kGetUnwritable}, {}, "frmEnd"}}},
    {"several nodes", "discover !garage node:+ node:+garage frmConnect.cmdConfigMac", {
        {CannotStart, {kClientStart, kReceiving, kNotSamePw}, {}, "frmConnect"},
        {NoResponse, {kReceiving, kNotSamePw}, {}, "frmConnect"},
        {Silent, {kNotSamePw}, {}, "frmConnect"},
        {Unwritable, {kGetUnwritable, kNotSamePw}, {}, "frmConnect"}}},
    {"set-all", "discover node:+ node:+garage frmConnect.cmdConfigMac !garage "
                "frmSetAll.txtId=Moved pw: frmSetAll.cmdAutoConf", {
        {CannotStart, {kClientStart, kReceiving, kNotConfigured}, {}, "frmConnect"},
        {NoResponse, {kReceiving, kNotConfigured}, {}, "frmConnect"},
        {Huge, {{MsgIcon::NoIcon, kApp, "{errSetAllOK}"}}, {}, "frmConnect"},
        {Silent, {kNotConfigured}, {}, "frmConnect"},
        {Unwritable, {kPostUnwritable}, {}, "frmSetAll"}}},
    {"refresh", "adv !office frmConfigAdv.cmdRefresh", {
        {CannotStart, {kClientStart, kReceiving, Titled("{errReceiving}", "{errReceiving}")}, {}, "frmConfigAdv"},
        {NoResponse, {kReceiving, Titled("{errReceiving}", "{errReceiving}")}, {}, "frmConfigAdv"},
        {Silent, {Titled("{errReceiving}", kTimeOut)}, {}, "frmConfigAdv"},
        {Unwritable, {kGetUnwritable}, {}, "frmConfigAdv"}}},
    {"update", "adv !office frmConfigAdv.cmdUpdateMacConf", {
        {CannotStart, {kClientStart, kReceiving, Titled("{errSaving}", "{errReceiving}")}, {}, "frmConfigAdv"},
        {NoResponse, {kReceiving, Titled("{errSaving}", "{errReceiving}")}, {}, "frmConfigAdv"},
        {Silent, {Titled("{errSaving}", kTimeOut)}, {}, "frmConfigAdv"},
        {Unwritable, {kPostUnwritable}, {}, "frmConfigAdv"}}},
    {"reset", "adv !office frmConfigAdv.cmdReset", {
        {CannotStart, {kClientStart, kReceiving, Titled("{errReseting}", "{errReceiving}")}, {}, "frmConfigAdv"},
        {NoResponse, {kReceiving, Titled("{errReseting}", "{errReceiving}")}, {}, "frmConfigAdv"},
        {Huge, {kResetOk}, {}, "frmConfigAdv"},
        {Silent, {Titled("{errReseting}", kTimeOut)}, {}, "frmConfigAdv"},
        {Unwritable, {kPostUnwritable}, {}, "frmConfigAdv"}}},
    {"factory reset", "adv pw:factory !office frmConfigAdv.cmdFactoryReset", {
        {CannotStart, {kClientStart, kReceiving, kFactoryKo}, {kFactoryPrompt}, "frmConnect"},
        {NoResponse, {kReceiving, kFactoryKo}, {kFactoryPrompt}, "frmConnect"},
        {Huge, {Titled(kApp, "{errPwError}")}, {kFactoryPrompt, kStudyPrompt}, "frmConnect"},
        {Silent, {kFactoryKo}, {kFactoryPrompt}, "frmConnect"},
        {Unwritable, {kPostUnwritable, kGetUnwritable}, {kFactoryPrompt}, "frmConnect"}}},
    {"FTP/TFTP update", "adv frmConfigAdv.cboUpgProt=TFTP frmConfigAdv.txtServerIP=192.168.1.6 "
                        "frmConfigAdv.txtFileName=kpl200-2.5.0.img !office frmConfigAdv.cmdFwUpdate", {
        {CannotStart, {kClientStart, kReceiving, Titled("{errSaving}", "{errReceiving}"),
                       Titled("", "{errReceiving}")}, {}, "frmConfigAdv"},
        {NoResponse, {kReceiving, Titled("{errSaving}", "{errReceiving}"), Titled("", "{errReceiving}")},
         {}, "frmConfigAdv"},
        {Huge, {kResetOk, kUpgradeOk}, {}, "frmConfigAdv"},
        {Silent, {Titled("{errSaving}", kTimeOut), Titled("", kTimeOut)}, {}, "frmConfigAdv"},
        {Unwritable, {kPostUnwritable}, {}, "frmConfigAdv"}}},
    {"layer-2 upgrade", "adv image:KPL-200 frmConfigAdv.cmdChooseFile !office "
                        "frmConfigAdv.cmdFwUpgrade", {
        {CannotStart, {kClientStart, kReceiving}, {kNoNodeTookIt}, "frmConfigAdv"},
        {NoResponse, {kReceiving, Titled("{errUpgradeKo}", "{errReceiving}")}, {}, "frmConfigAdv"},
        {Huge, {kResetOk, kUpgradeOk}, {}, "frmConfigAdv"},
        {Silent, {}, {kNoNodeTookIt}, "frmConfigAdv"},
        {Unwritable, {kPostUnwritable}, {}, "frmConfigAdv"}}},
    {"loader upgrade", "sim:loader,local,on frmBegin.cmdNext frmAdvanced.cboInterface=eth1 "
                       "image:KPL-510A !!local frmAdvanced.cmdUpgrade", {
        {CannotStart, {{kWarn, kApp, "{errToolStart}", "winl2fwserver.exe"}}, {}, "frmAdvanced"},
        {NoResponse, {kUpgradeOk}, {}, "frmAdvanced"},  // no result file: success
        {Huge, {kUpgradeOk}, {}, "frmAdvanced"},
        {Silent, {}, {kNoNodeTookIt}, "frmAdvanced"}}},
};
// clang-format on

QWidget* WindowNamed(const QString& name) {
    const QList<QWidget*> all = AllWindows(W());
    return *std::find_if(all.begin(), all.end(),
                         [&](QWidget* w) { return w->objectName() == name; });
}

QString Shown(MsgIcon icon, const QString& title, const QString& text) {
    return QString("[%1|%2] %3").arg(int(icon)).arg(title, text);
}

}  // namespace

Q_DECLARE_METATYPE(Outcome)

class FaultsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    const QByteArray path_ = qgetenv("PATH");

    // Puts the fault in place on the node's client, or on the firmware
    // server, whose stand-in script writes the result file itself.
    void breakTool(Fault fault, const QString& node, bool server) {
        const QString tool = server ? "winl2fwserver.exe" : "ihcp_client.exe";
        const auto standIn = [&](const QByteArray& script) {
            QFile::remove(f->workFile(tool));
            f->writeWorkFile(tool, script);
            QFile::setPermissions(f->workFile(tool), QFile::ReadOwner | QFile::ExeOwner);
        };
        const QStringList knob[] = {{}, {"noResponse", "on"}, {"hugeMb", "3"}, {"noAnswer", "on"}};
        if (fault == CannotStart) {
            qputenv("PATH", "");
            standIn(QByteArray(64, '\x7f'));
        } else if (fault == Unwritable) {
            QFile::remove(f->workFile("get.cfg"));
            QFile::remove(f->workFile("post.cfg"));
            QDir(f->workDir()).mkdir("get.cfg");
            QDir(f->workDir()).mkdir("post.cfg");
        } else if (!server) {
            f->sim(QStringList{"fault", node} + knob[fault]);
        } else if (fault == Silent) {
            f->sim({"power", node, "off"});
        } else {
            standIn(fault == NoResponse ? "#!/bin/sh\n"
                                        : "#!/bin/sh\nhead -c 3145728 /dev/zero | tr '\\000' x "
                                          "> winl2fwserver.tmp\n");
        }
        // Only what the user is told from here on counts.
        f->dialogs.boxes.clear();
        f->dialogs.modals.clear();
    }

    // One step: "WINDOW.BUTTON" clicked, "WINDOW.CONTROL=TEXT" typed (or the
    // list entry starting so picked), "pw:TEXT" the next password prompt's
    // answer, "sim:A,B" a simulator command, "image:MODEL" the file dialog's
    // answer, "node:NAME" a node entry clicked ("node:+NAME" with Ctrl,
    // "node:+" the connected node's box), "discover" the demo network found,
    // "adv" the advanced window opened on the office node, "!NODE" the fault
    // put in place on the node's client ("!!NODE": on the firmware server).
    void run(const QString& steps, Fault fault) {
        for (const QString& text : steps.split(' ')) {
            if (text.startsWith('!')) {
                breakTool(fault, text.section('!', -1), text.startsWith("!!"));
            } else if (text == "adv") {
                run("discover node:office frmConnect.cmdQuickAdv", fault);
            } else if (text == "discover") {
                f->dialogs.typePassword("");
                f->click(W().frmBegin, "cmdNext");
            } else if (text.startsWith("pw:")) {
                f->dialogs.typePassword(text.mid(3));
            } else if (text.startsWith("sim:")) {
                f->sim(text.mid(4).split(','));
            } else if (text.startsWith("image:")) {
                f->sim({"image", f->workFile("new firmware.img"), text.mid(6), "3.3.0"});
                f->dialogs.chosenFiles << f->workFile("new firmware.img");
            } else if (text.startsWith("node:")) {
                const bool box = text == "node:+";
                box ? f->clickNodeBox()
                    : f->clickNodeEntry(f->rowOf(text.endsWith("garage") ? kGarage : kOffice),
                                        text.startsWith("node:+"));
            } else {
                QWidget* window = WindowNamed(text.section('.', 0, 0));
                const QString name = text.section('.', 1).section('=', 0, 0);
                QWidget* control = Ctl(window, qPrintable(name));
                if (auto* combo = qobject_cast<QComboBox*>(control)) {
                    combo->setCurrentIndex(
                        combo->findText(text.section('=', 1), Qt::MatchStartsWith));
                } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
                    line->setText(text.section('=', 1));
                } else {
                    f->click(window, qPrintable(name));
                }
            }
        }
    }

    static void addRows(int first, int last) {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<Outcome>("outcome");
        for (int op = first; op <= last; ++op) {
            for (const Outcome& outcome : kOperations[op].outcomes) {
                QTest::addRow("%s, %s", kOperations[op].name, kFaultNames[outcome.fault])
                    << QString(kOperations[op].steps) << outcome;
            }
        }
    }

    void runRow() {
        QFETCH(QString, steps);
        QFETCH(Outcome, outcome);
        run("sim:time-scale,0 " + steps, outcome.fault);
        QStringList told, expected;
        for (const DialogRecorder::Box& box : f->dialogs.boxes) {
            told << Shown(box.icon, box.title, box.text);
        }
        told.removeDuplicates();
        for (const Told& box : outcome.told) {
            const QString text = Resolved(box.text);
            expected << Shown(box.icon, Resolved(box.title),
                              box.arg.isEmpty()
                                  ? text
                                  : text.arg(QString(box.arg).replace("{work}", f->workDir())));
        }
        QCOMPARE(told, expected);
        QCOMPARE(f->dialogs.modals, Resolved(outcome.modals));
        QWidget* window = WindowNamed(outcome.window);
        QVERIFY(window->isVisible() && window->isEnabled());
        QVERIFY(!W().frmMessage->isVisible() && !QApplication::overrideCursor() && !f->exitCode);
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
    void wizardOperations_data() { addRows(0, 5); }
    void wizardOperations() { runRow(); }
    void advancedOperations_data() { addRows(6, 9); }
    void advancedOperations() { runRow(); }
    void firmwareOperations_data() { addRows(10, 12); }
    void firmwareOperations() { runRow(); }
};

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
