// Every operation against every way a tool can fail: what the user is told,
// and the window that comes back afterwards, enabled and idle.
#include <QComboBox>
#include <QLineEdit>

#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/DemoNetwork.h"

namespace {

// The tool's file is not a program; the tool ends without an answer file;
// an answer of 3 MB; the node does not answer the tool; folders stand where
// the request files go.
enum Fault { CannotStart, NoResponse, Huge, Silent, Unwritable };
const char* const kFaultNames[] = {"tool cannot start", "no response", "huge response",
                                   "silent node", "request not writable"};

// A message box as "[icon|title] text" (icon 0 information, 1 warning, 2 stop, 3 question; {key}
// for the catalogue's text); "@arg" stands for the "%1" in the text, {work} in it for the work
// folder.
// clang-format off
const QString kApp = "Kaldor Config Tool] ", kBox = "[1|" + kApp, kTimeOut = "ERROR: node 020A1B000002 did not answer (time-out)";
const QString kClientStart = kBox + "{errToolStart}@ihcp_client.exe", kReceiving = kBox + "{errReceiving}",
    kNoKey = kBox + "{errNoKey}", kNotSamePw = kBox + "{errNotSamePwd}", kFactoryKo = kBox + "{errFactResetKoOrPw}",
    kGetUnwritable = kBox + "{errWriteFile}@{work}/get.cfg", kPostUnwritable = kBox + "{errWriteFile}@{work}/post.cfg",
    kResetOk = "[0|" + kApp + "{errResetOk}", kUpgradeOk = "[0|" + kApp + "{errUpgradeOk}",
    kAskReset = "[3|" + kApp + "{msgAskReset}@020A1B000002", kNotConfigured = "[2|{errSaving}] {errConfiguring}02:0A:1B:00:00:03",
    kSaveNoAnswer = "[1|{errSaving}] {errReceiving}", kSaveTimeOut = "[1|{errSaving}] " + kTimeOut,
    // After the walk: the node that did not answer, passed over.
    kOfficeSilent = kBox + "{errNoAnswerNodes} 020A1B000002", kGarageSilent = kBox + "{errNoAnswerNodes} 020A1B000003";
// Modal dialogs: the factory password prompt, the prompt of the node page's walk for the study node's
// own password, the firmware error dialog.
const QString kFactoryPrompt = "[{frmAskPw}] {lblAskFactPw} 020A1B000002", kStudyPrompt = "[{frmAskPw}] {lblAskPw} 020A1B000007",
    kNoNodeTookIt = "[{errUpgradeKo}] {errCodeUpgrade7}", kNoNodeOnEth1 = kNoNodeTookIt + "\n{lblInterface}: eth1 Simulated Ethernet adapter 1";
// clang-format on

// What faults do to one operation: the boxes shown (each once, in the order
// they first came), the modal dialogs, and the window usable after it ("":
// the operation's own). A row for kNoClient runs once per fault; with
// CannotStart the user is first told that the client cannot start.
struct Outcome {
    QList<Fault> faults;
    QStringList told;
    QStringList modals = {};
    QString window = {};
};
struct Operation {
    const char* name;
    const char* steps;  // see run()
    QString window;
    QList<Outcome> outcomes;
};
const QList<Fault> kNoClient{CannotStart, NoResponse};

// clang-format off
const Operation kOperations[] = {
    {"discovery", "!local pw: frmBegin.cmdNext", "frmConnect", {
        {kNoClient, {kReceiving}},
        {{Huge}, {}, {kStudyPrompt}},
        {{Silent}, {"[2|" + kApp + "{errNoModems}"}, {}, "frmAdvanced"},
        {{Unwritable}, {kGetUnwritable}}}},
    {"next", "discover node:office !office frmConnect.cmdConfigMac", "frmConnect", {
        {kNoClient, {kReceiving, kNoKey}},
        {{Huge}, {}, {}, "frmConfig"},
        {{Silent}, {kNoKey}},
        {{Unwritable}, {kGetUnwritable}}}},
    {"save", "discover node:office frmConnect.cmdConfigMac frmConfig.txtId=Moved !office "
             "frmConfig.cmdSave", "frmConfig", {
        {kNoClient, {kReceiving, kSaveNoAnswer}},
        {{Huge}, {}, {}, "frmEnd"},
        {{Silent}, {kSaveTimeOut}},
        {{Unwritable}, {kPostUnwritable}}}},
    {"end page", "discover node:office frmConnect.cmdConfigMac frmConfig.cmdSave !office "
                 "frmEnd.cmdAdvanced", "frmEnd", {
        {kNoClient, {kReceiving}},
        {{Silent}, {kBox + kTimeOut}},
        {{Unwritable}, {kGetUnwritable}}}},
    {"several nodes", "discover !garage node:+ node:+garage frmConnect.cmdConfigMac", "frmConnect", {
        {kNoClient, {kReceiving, kNotSamePw}},
        {{Silent}, {kNotSamePw}},
        {{Unwritable}, {kGetUnwritable, kNotSamePw}}}},
    {"set-all", "discover node:+ node:+garage frmConnect.cmdConfigMac !garage "
                "frmSetAll.txtId=Moved pw: frmSetAll.cmdAutoConf", "frmConnect", {
        {{CannotStart}, {kClientStart, kReceiving, kNotConfigured}},
        {{NoResponse}, {kReceiving, kNotConfigured, kGarageSilent}},
        {{Huge}, {"[0|" + kApp + "{errSetAllOK}"}},
        {{Silent}, {kNotConfigured}},
        {{Unwritable}, {kPostUnwritable}, {}, "frmSetAll"}}},
    {"refresh", "adv !office frmConfigAdv.cmdRefresh", "frmConfigAdv", {
        {kNoClient, {kReceiving, "[1|{errReceiving}] {errReceiving}"}},
        {{Silent}, {"[1|{errReceiving}] " + kTimeOut}},
        {{Unwritable}, {kGetUnwritable}}}},
    {"update", "adv !office frmConfigAdv.cmdUpdateMacConf", "frmConfigAdv", {
        {kNoClient, {kReceiving, kSaveNoAnswer}},
        {{Silent}, {kSaveTimeOut}},
        {{Unwritable}, {kPostUnwritable}}}},
    {"reset", "adv !office yes frmConfigAdv.cmdReset", "frmConfigAdv", {
        {{CannotStart}, {kAskReset, kClientStart, kReceiving, "[1|{errReseting}] {errReceiving}"}},
        {{NoResponse}, {kAskReset, kReceiving, "[1|{errReseting}] {errReceiving}"}},
        {{Huge}, {kAskReset, kResetOk}},
        {{Silent}, {kAskReset, "[1|{errReseting}] " + kTimeOut}},
        {{Unwritable}, {kAskReset, kPostUnwritable}}}},
    {"factory reset", "adv pw:factory !office frmConfigAdv.cmdFactoryReset", "frmConnect", {
        {{CannotStart}, {kClientStart, kReceiving, kFactoryKo}, {kFactoryPrompt}},
        {{NoResponse}, {kReceiving, kFactoryKo, kOfficeSilent}, {kFactoryPrompt, kStudyPrompt}},
        {{Huge}, {kBox + "{errPwError}"}, {kFactoryPrompt, kStudyPrompt}},
        {{Silent}, {kFactoryKo, kOfficeSilent}, {kFactoryPrompt, kStudyPrompt}},
        {{Unwritable}, {kPostUnwritable, kGetUnwritable}, {kFactoryPrompt}}}},
    {"FTP/TFTP update", "adv frmConfigAdv.cboUpgProt=TFTP frmConfigAdv.txtServerIP=192.168.1.6 "
        "frmConfigAdv.txtFileName=kpl200-2.5.0.img !office frmConfigAdv.cmdFwUpdate", "frmConfigAdv", {
        {kNoClient, {kReceiving, kSaveNoAnswer, "[1|] {errReceiving}"}},
        {{Huge}, {kResetOk, kUpgradeOk}},
        {{Silent}, {kSaveTimeOut, "[1|] " + kTimeOut}},
        {{Unwritable}, {kPostUnwritable}}}},
    {"layer-2 upgrade", "adv image:KPL-200 frmConfigAdv.cmdChooseFile !office "
                        "frmConfigAdv.cmdFwUpgrade", "frmConfigAdv", {
        {{CannotStart}, {kClientStart, kReceiving}, {kNoNodeTookIt}},
        {{NoResponse}, {kReceiving, "[1|{errUpgradeKo}] {errReceiving}"}},
        {{Huge}, {kResetOk, kUpgradeOk}},
        {{Silent}, {}, {kNoNodeTookIt}},
        {{Unwritable}, {kPostUnwritable}}}},
    {"loader upgrade", "sim:loader,local,on frmBegin.cmdNext frmAdvanced.cboInterface=eth1 "
                       "image:KPL-510A !!local frmAdvanced.cmdUpgrade", "frmAdvanced", {
        {{CannotStart}, {kBox + "{errToolStart}@winl2fwserver.exe"}},
        {{NoResponse, Huge}, {kUpgradeOk}},  // no result file: success
        {{Silent}, {}, {kNoNodeOnEth1}}}},
};
// clang-format on

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
            for (const QString file : {"get.cfg", "post.cfg"}) {
                QFile::remove(f->workFile(file));
                QDir(f->workDir()).mkdir(file);
            }
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
    // list entry starting so picked), "yes" the next question's answer,
    // "pw:TEXT" the next password prompt's answer, "sim:A,B" a simulator
    // command, "image:MODEL" the file dialog's answer, "node:NAME" a node
    // entry clicked ("node:+NAME" with Ctrl, "node:+" the connected node's
    // box), "discover" the demo network found, "adv" the advanced window
    // opened on the office node, "!NODE" the fault put in place on the node's
    // client ("!!NODE": on the firmware server).
    void run(const QString& steps, Fault fault) {
        for (const QString& text : steps.split(' ')) {
            if (text.startsWith('!')) {
                breakTool(fault, text.section('!', -1), text.startsWith("!!"));
            } else if (text == "adv" || text == "discover") {
                run(QString("pw: frmBegin.cmdNext") +
                        (text == "adv" ? " node:office frmConnect.cmdQuickAdv" : ""),
                    fault);
            } else if (text == "yes") {
                f->dialogs.answers << MsgAnswer::Yes;
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
                const QByteArray name = text.section('.', 1).section('=', 0, 0).toUtf8();
                auto* combo = qobject_cast<QComboBox*>(Ctl(window, name.constData()));
                auto* line = qobject_cast<QLineEdit*>(Ctl(window, name.constData()));
                combo ? combo->setCurrentIndex(
                            combo->findText(text.section('=', 1), Qt::MatchStartsWith))
                : line ? line->setText(text.section('=', 1))
                       : f->click(window, name.constData());
            }
        }
    }

    static void addRows(int first, int last) {
        Cols<QString, int, Outcome>({"steps", "fault", "outcome"});
        for (const Operation& op : QList(kOperations + first, kOperations + last + 1)) {
            for (const Outcome& row : op.outcomes) {
                for (Fault fault : row.faults) {
                    Outcome out = row;
                    out.window = row.window.isEmpty() ? op.window : row.window;
                    const bool tellStart = fault == CannotStart && row.faults.size() > 1;
                    out.told = QStringList(tellStart, kClientStart) + row.told;
                    QTest::addRow("%s, %s", op.name, kFaultNames[fault])
                        << QString(op.steps) << int(fault) << out;
                }
            }
        }
    }

    void runRow() {
        QFETCH(Outcome, outcome);
        run("sim:time-scale,0 " + Cell("steps"), Fault(Cell<int>("fault")));
        QStringList told, expected;
        for (const DialogRecorder::Box& box : f->dialogs.boxes)
            told << QString("[%1|%2] %3").arg(int(box.icon)).arg(box.title, box.text);
        told.removeDuplicates();
        for (const QString& box : outcome.told)
            expected << Resolved(box.section('@', 0, 0))
                            .replace("%1", box.section('@', 1).replace("{work}", f->workDir()));
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
