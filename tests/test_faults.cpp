// Every operation against every way a tool can fail: what the user is told,
// and the window that comes back afterwards, enabled and idle.
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include "support/CatalogueText.h"
#include "support/DemoNetwork.h"
#include "support/Fixture.h"

namespace {

enum class Fault {
    ToolCannotStart,     // the tool's file is not a program
    NoResponse,          // the tool ends without an answer file
    HugeResponse,        // an answer of 3 MB
    SilentNode,          // the node does not answer the tool
    RequestNotWritable,  // folders stand where the request files go
};

// A message box: icon, title and text ({key} for the catalogue's text); a
// "%1" in the text stands for arg, in which {work} is the work folder.
struct Told {
    MsgIcon icon;
    QString title;
    QString text;
    QString arg = {};
};

const QString kApp = "Kaldor Config Tool";
const MsgIcon kWarn = MsgIcon::Exclamation;
const Told kClientStart{kWarn, kApp, "{errToolStart}", "ihcp_client.exe"};
const Told kReceiving{kWarn, kApp, "{errReceiving}"};
const Told kNoKey{kWarn, kApp, "{errNoKey}"};
const Told kNotSamePw{kWarn, kApp, "{errNotSamePwd}"};
const Told kGetUnwritable{kWarn, kApp, "{errWriteFile}", "{work}/get.cfg"};
const Told kPostUnwritable{kWarn, kApp, "{errWriteFile}", "{work}/post.cfg"};
const Told kResetOk{kWarn, kApp, "{errResetOk}"};
const Told kUpgradeOk{MsgIcon::Information, kApp, "{errUpgradeOk}"};
const QString kTimeOut = "ERROR: node 020A1B000002 did not answer (time-out)";
const Told kNotConfigured{MsgIcon::Stop, "{errSaving}", "{errConfiguring}02:0A:1B:00:00:03"};

// What one fault does to one operation: the boxes shown (each once, in the
// order they first came), the modal dialogs and the window usable after it.
struct Outcome {
    Fault fault;
    QList<Told> told;
    QStringList modals;
    QString window;
};

// An operation as the user's steps (see step()) and its outcome per fault.
struct Operation {
    const char* name;
    const char* steps;
    QList<Outcome> outcomes;
};

// The walk of the node page asks for the study node's own password.
const QString kStudyPrompt = "[{frmAskPw}] {lblAskPw} 020A1B000007";
const QString kFactoryPrompt = "[{frmAskPw}] {lblAskFactPw}";
const QString kNoNodeTookIt = "[{errUpgradeKo}] {errCodeUpgrade7}";

const Operation kOperations[] = {
    {"discovery",
     "!local pw: frmBegin.cmdNext",
     {{Fault::ToolCannotStart, {kClientStart, kReceiving}, {}, "frmConnect"},
      {Fault::NoResponse, {kReceiving}, {}, "frmConnect"},
      {Fault::HugeResponse, {}, {kStudyPrompt}, "frmConnect"},
      {Fault::SilentNode, {{MsgIcon::Stop, kApp, "{errNoModems}"}}, {}, "frmAdvanced"},
      {Fault::RequestNotWritable, {kGetUnwritable}, {}, "frmConnect"}}},
    {"next",
     "discover node:office !office frmConnect.cmdConfigMac",
     {{Fault::ToolCannotStart, {kClientStart, kReceiving, kNoKey}, {}, "frmConnect"},
      {Fault::NoResponse, {kReceiving, kNoKey}, {}, "frmConnect"},
      {Fault::HugeResponse, {}, {}, "frmConfig"},
      {Fault::SilentNode, {kNoKey}, {}, "frmConnect"},
      {Fault::RequestNotWritable, {kGetUnwritable}, {}, "frmConnect"}}},
    {"advanced",
     "discover node:office !office frmConnect.cmdQuickAdv",
     {{Fault::ToolCannotStart, {kClientStart, kReceiving, kNoKey}, {}, "frmConnect"},
      {Fault::NoResponse, {kReceiving, kNoKey}, {}, "frmConnect"},
      {Fault::HugeResponse, {}, {}, "frmConfigAdv"},
      {Fault::SilentNode, {kNoKey}, {}, "frmConnect"},
      {Fault::RequestNotWritable, {kGetUnwritable}, {}, "frmConnect"}}},
    {"save",
     "discover node:office frmConnect.cmdConfigMac frmConfig.txtId=Moved !office frmConfig.cmdSave",
     {{Fault::ToolCannotStart,
       {kClientStart, kReceiving, {kWarn, "{errSaving}", "{errReceiving}"}},
       {},
       "frmConfig"},
      {Fault::NoResponse, {kReceiving, {kWarn, "{errSaving}", "{errReceiving}"}}, {}, "frmConfig"},
      {Fault::HugeResponse, {}, {}, "frmEnd"},
      {Fault::SilentNode, {{kWarn, "{errSaving}", kTimeOut}}, {}, "frmConfig"},
      {Fault::RequestNotWritable, {kPostUnwritable}, {}, "frmConfig"}}},
    {"end page",
     "discover node:office frmConnect.cmdConfigMac frmConfig.cmdSave !office frmEnd.cmdAdvanced",
     {{Fault::ToolCannotStart, {kClientStart, kReceiving}, {}, "frmEnd"},
      {Fault::NoResponse, {kReceiving}, {}, "frmEnd"},
      {Fault::HugeResponse, {}, {}, "frmConfigAdv"},
      {Fault::SilentNode, {{kWarn, kApp, kTimeOut}}, {}, "frmEnd"},
      {Fault::RequestNotWritable, {kGetUnwritable}, {}, "frmEnd"}}},
    {"several nodes",
     "discover !garage node:+ node:+garage frmConnect.cmdConfigMac",
     {{Fault::ToolCannotStart, {kClientStart, kReceiving, kNotSamePw}, {}, "frmConnect"},
      {Fault::NoResponse, {kReceiving, kNotSamePw}, {}, "frmConnect"},
      {Fault::HugeResponse, {}, {}, "frmSetAll"},
      {Fault::SilentNode, {kNotSamePw}, {}, "frmConnect"},
      {Fault::RequestNotWritable, {kGetUnwritable, kNotSamePw}, {}, "frmConnect"}}},
    {"set-all",
     "discover node:+ node:+garage frmConnect.cmdConfigMac !garage frmSetAll.txtId=Moved pw: "
     "frmSetAll.cmdAutoConf",
     {{Fault::ToolCannotStart, {kClientStart, kReceiving, kNotConfigured}, {}, "frmConnect"},
      {Fault::NoResponse, {kReceiving, kNotConfigured}, {}, "frmConnect"},
      {Fault::HugeResponse, {{MsgIcon::NoIcon, kApp, "{errSetAllOK}"}}, {}, "frmConnect"},
      {Fault::SilentNode, {kNotConfigured}, {}, "frmConnect"},
      {Fault::RequestNotWritable, {kPostUnwritable}, {}, "frmSetAll"}}},
    {"refresh",
     "adv !office frmConfigAdv.cmdRefresh",
     {{Fault::ToolCannotStart,
       {kClientStart, kReceiving, {kWarn, "{errReceiving}", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::NoResponse,
       {kReceiving, {kWarn, "{errReceiving}", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::HugeResponse, {}, {}, "frmConfigAdv"},
      {Fault::SilentNode, {{kWarn, "{errReceiving}", kTimeOut}}, {}, "frmConfigAdv"},
      {Fault::RequestNotWritable, {kGetUnwritable}, {}, "frmConfigAdv"}}},
    {"update",
     "adv !office frmConfigAdv.cmdUpdateMacConf",
     {{Fault::ToolCannotStart,
       {kClientStart, kReceiving, {kWarn, "{errSaving}", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::NoResponse,
       {kReceiving, {kWarn, "{errSaving}", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::HugeResponse, {}, {}, "frmConfigAdv"},
      {Fault::SilentNode, {{kWarn, "{errSaving}", kTimeOut}}, {}, "frmConfigAdv"},
      {Fault::RequestNotWritable, {kPostUnwritable}, {}, "frmConfigAdv"}}},
    {"reset",
     "adv !office frmConfigAdv.cmdReset",
     {{Fault::ToolCannotStart,
       {kClientStart, kReceiving, {kWarn, "{errReseting}", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::NoResponse,
       {kReceiving, {kWarn, "{errReseting}", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::HugeResponse, {kResetOk}, {}, "frmConfigAdv"},
      {Fault::SilentNode, {{kWarn, "{errReseting}", kTimeOut}}, {}, "frmConfigAdv"},
      {Fault::RequestNotWritable, {kPostUnwritable}, {}, "frmConfigAdv"}}},
    {"factory reset",
     "adv pw:factory !office frmConfigAdv.cmdFactoryReset",
     {{Fault::ToolCannotStart,
       {kClientStart, kReceiving, {kWarn, kApp, "{errFactResetKoOrPw}"}},
       {kFactoryPrompt},
       "frmConnect"},
      {Fault::NoResponse,
       {kReceiving, {kWarn, kApp, "{errFactResetKoOrPw}"}},
       {kFactoryPrompt},
       "frmConnect"},
      {Fault::HugeResponse,
       {{kWarn, kApp, "{errPwError}"}},
       {kFactoryPrompt, kStudyPrompt},
       "frmConnect"},
      {Fault::SilentNode, {{kWarn, kApp, "{errFactResetKoOrPw}"}}, {kFactoryPrompt}, "frmConnect"},
      {Fault::RequestNotWritable,
       {kPostUnwritable, kGetUnwritable},
       {kFactoryPrompt},
       "frmConnect"}}},
    {"FTP/TFTP update",
     "adv frmConfigAdv.cboUpgProt=TFTP frmConfigAdv.txtServerIP=192.168.1.6 "
     "frmConfigAdv.txtFileName=kpl200-2.5.0.img !office frmConfigAdv.cmdFwUpdate",
     {{Fault::ToolCannotStart,
       {kClientStart,
        kReceiving,
        {kWarn, "{errSaving}", "{errReceiving}"},
        {kWarn, "", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::NoResponse,
       {kReceiving, {kWarn, "{errSaving}", "{errReceiving}"}, {kWarn, "", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::HugeResponse, {kResetOk, kUpgradeOk}, {}, "frmConfigAdv"},
      {Fault::SilentNode,
       {{kWarn, "{errSaving}", kTimeOut}, {kWarn, "", kTimeOut}},
       {},
       "frmConfigAdv"},
      {Fault::RequestNotWritable, {kPostUnwritable}, {}, "frmConfigAdv"}}},
    {"layer-2 upgrade",
     "adv image:KPL-200 frmConfigAdv.cmdChooseFile !office frmConfigAdv.cmdFwUpgrade",
     {{Fault::ToolCannotStart, {kClientStart, kReceiving}, {kNoNodeTookIt}, "frmConfigAdv"},
      {Fault::NoResponse,
       {kReceiving, {kWarn, "{errUpgradeKo}", "{errReceiving}"}},
       {},
       "frmConfigAdv"},
      {Fault::HugeResponse, {kResetOk, kUpgradeOk}, {}, "frmConfigAdv"},
      {Fault::SilentNode, {}, {kNoNodeTookIt}, "frmConfigAdv"},
      {Fault::RequestNotWritable, {kPostUnwritable}, {}, "frmConfigAdv"}}},
    {"loader upgrade",
     "sim:loader,local,on frmBegin.cmdNext frmAdvanced.cboInterface=eth1 image:KPL-510A !!local "
     "frmAdvanced.cmdUpgrade",
     {{Fault::ToolCannotStart,
       {{kWarn, kApp, "{errToolStart}", "winl2fwserver.exe"}},
       {},
       "frmAdvanced"},
      {Fault::NoResponse, {kUpgradeOk}, {}, "frmAdvanced"},
      {Fault::HugeResponse, {kUpgradeOk}, {}, "frmAdvanced"},
      {Fault::SilentNode, {}, {kNoNodeTookIt}, "frmAdvanced"},
      {Fault::RequestNotWritable, {kUpgradeOk}, {}, "frmAdvanced"}}},
};

}  // namespace

Q_DECLARE_METATYPE(Outcome)

class FaultsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    const QByteArray path_ = qgetenv("PATH");

    // Puts the fault in place on the node's client, or on the firmware
    // server (whose stand-in script writes the answer file itself).
    void breakTool(Fault fault, const QString& node, bool server) {
        const QString tool = f->workFile(server ? "winl2fwserver.exe" : "ihcp_client.exe");
        const auto standIn = [&](const QByteArray& script) {
            QFile::remove(tool);
            f->writeWorkFile(QFileInfo(tool).fileName(), script);
            QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner);
        };
        switch (fault) {
            case Fault::ToolCannotStart:
                qputenv("PATH", "");
                standIn(QByteArray(64, '\x7f'));
                break;
            case Fault::RequestNotWritable:
                for (const char* file : {"get.cfg", "post.cfg", "ihcp_client.tmp"}) {
                    QFile::remove(f->workFile(file));
                }
                QVERIFY(QDir(f->workDir()).mkdir("get.cfg") &&
                        QDir(f->workDir()).mkdir("post.cfg"));
                break;
            case Fault::SilentNode:
                f->sim(server ? QStringList{"power", node, "off"}
                              : QStringList{"fault", node, "noAnswer", "on"});
                break;
            case Fault::NoResponse:
                server ? standIn("#!/bin/sh\nexit 0\n")
                       : void(f->sim({"fault", node, "noResponse", "on"}));
                break;
            case Fault::HugeResponse:
                server ? standIn(
                             "#!/bin/sh\nhead -c 3145728 /dev/zero | tr '\\000' x > "
                             "winl2fwserver.tmp\n")
                       : void(f->sim({"fault", node, "hugeMb", "3"}));
                break;
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
    void step(const QString& text, Fault fault) {
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
            QWidget* window = WindowNamed(text.section('.', 0, 0));
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

    void run(const QString& steps, Fault fault) {
        for (const QString& text : steps.split(' ')) {
            step(text, fault);
        }
    }

    static QWidget* WindowNamed(const QString& name) {
        const QList<QWidget*> all = AllWindows(W());
        return *std::find_if(all.begin(), all.end(),
                             [&](QWidget* w) { return w->objectName() == name; });
    }

    static void addRows(int first, int last) {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<Outcome>("outcome");
        const char* const faults[] = {"tool cannot start", "no response", "huge response",
                                      "silent node", "request not writable"};
        for (int op = first; op <= last; ++op) {
            for (const Outcome& outcome : kOperations[op].outcomes) {
                QTest::addRow("%s, %s", kOperations[op].name, faults[int(outcome.fault)])
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
            const QString text = QString("[%1|%2] %3").arg(int(box.icon)).arg(box.title, box.text);
            told << (told.contains(text) ? QStringList() : QStringList{text});
        }
        for (const Told& box : outcome.told) {
            QString text = Resolved(box.text);
            text = box.arg.isEmpty() ? text
                                     : text.arg(QString(box.arg).replace("{work}", f->workDir()));
            expected << QString("[%1|%2] %3").arg(int(box.icon)).arg(Resolved(box.title), text);
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
        QCOMPARE(f->dialogs.describe(), Resolved("[1|Kaldor Config Tool] {errLineBreak}"));
        QWidget* adv = W().frmConfigAdv;
        QVERIFY(!QFile::exists(f->workFile("post.cfg")) && adv->isVisible() && adv->isEnabled());
    }
};

QTEST_MAIN(FaultsTest)
#include "test_faults.moc"
