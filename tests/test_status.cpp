// What the user sees while each operation runs: at every tool run and fixed
// wait the status window's message, bar and owner, the busy cursor, and no
// window that takes input or lets itself be closed; afterwards the cursor is
// back, the status window gone and every shown window enabled.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QtTest>

#include "support/WaitLog.h"
#include "test_advanced_helpers.h"
#include "ui/Status.h"

using WaitLog::Step;

namespace {

// Where an operation starts: the page or window on screen when its button is pressed.
enum class From { Welcome, NodePage, Config, SetAll, Advanced, Loader };

const QString kClient = "ihcp_client.exe", kAdv = "frmConfigAdv";

// Steps over one page or window with one message, one for each bar value,
// the runs taken in turn.
QList<Step> On(const QString& on, const QString& message, const QStringList& runs,
               const QList<int>& bars) {
    QList<Step> steps(bars.size());
    for (qsizetype i = 0; i < bars.size(); ++i) {
        steps[i].run = runs[i % runs.size()];
        steps[i].bar = bars[i];
        steps[i].message = message;
        steps[i].owner = on == kAdv ? kAdv : "AssistantWindow";
        steps[i].shown = on;
    }
    return steps;
}

}  // namespace

Q_DECLARE_METATYPE(From)

class StatusTest : public QObject {
    Q_OBJECT

private slots:
    void operations_data() {
        QTest::addColumn<From>("from");
        QTest::addColumn<QStringList>(
            "nodes");  // chosen on the node page, Ctrl held after the first
        QTest::addColumn<QString>("button");
        QTest::addColumn<QList<Step>>("steps");
        const auto row = [](const char* name, From from, const QStringList& nodes,
                            const QString& button, const QList<Step>& steps) {
            QTest::newRow(name) << from << nodes << button << steps;
        };
        const QList<Step> discover =
            On("frmConnect", "{lblDiscoverMac}", {"MacDiscover.exe"}, {33}) +
            On("frmConnect", "{lblConnect} " + kLocal, {kClient}, {50}) +
            On("frmConnect", "{lblConnect} " + kOffice, {kClient}, {50});
        const QList<Step> reset =
            On(kAdv, "{lblFctReset}", {kClient}, {8}) +
            On(kAdv, "{lblFctReset}", {"1500 ms"}, {16, 25, 33, 41, 50, 58, 66, 75, 83, 91});
        const QStringList runAndPause{kClient, "1000 ms"};
        row("discovery", From::Welcome, {}, "cmdNext", discover);
        row("update list", From::NodePage, {}, "cmdRefresh", discover);
        row("next", From::NodePage, {kOffice}, "cmdConfigMac",
            On("frmConnect", "{lblConnect}", {kClient}, {50}));
        row("advanced from the node page", From::NodePage, {kOffice}, "cmdQuickAdv",
            On("frmConnect", "{lblConnect}", {kClient}, {50, 50}));
        row("set-all page", From::NodePage, {kLocal, kOffice}, "cmdConfigMac",
            On("frmConnect", "{lblConnect}", {kClient}, {0, 33}));
        row("save", From::Config, {kOffice}, "cmdSave",
            On("frmConfig", "{lblSave}", {kClient, "6000 ms"}, {33, 66}));
        row("set-all", From::SetAll, {kLocal, kOffice}, "cmdAutoConf",
            On("frmSetAll", "{lblConfiguring}02:0A:1B:00:00:02", runAndPause, {0, 0}) +
                On("frmSetAll", "{lblConfiguring}02:0A:1B:00:00:01", runAndPause, {0, 0}) +
                On("frmSetAll", "{lblConfiguring}02:0A:1B:00:00:01", {"12000 ms"}, {0}) +
                On("frmSetAll", "{lblChecking}02:0A:1B:00:00:02", runAndPause, {0, 50}) +
                On("frmSetAll", "{lblChecking}02:0A:1B:00:00:01", runAndPause, {50, 100}) +
                discover);
        row("refresh", From::Advanced, {kOffice}, "cmdRefresh",
            On(kAdv, "{lblConnect}", {kClient}, {50}));
        row("fixed IP", From::Advanced, {kOffice}, "cmdUpdateFixedIp",
            On(kAdv, "{lblSave}", {kClient}, {33}) + reset);
        row("IGMP", From::Advanced, {kOffice}, "CmdUpdateIGMP",
            On(kAdv, "{lblSave}", {kClient}, {33}));
        row("QoS rule", From::Advanced, {kOffice}, "cmdQoSUpdate",
            On(kAdv, "{lblSave}", {kClient}, {33}));
        row("reset", From::Advanced, {kOffice}, "cmdReset", reset);
        row("factory reset", From::Advanced, {kLocal}, "cmdFactoryReset",
            On(kAdv, "{lblFctReset}", {kClient}, {14}) +
                On(kAdv, "{lblFctReset}", {"3000 ms"},
                   {21, 28, 35, 42, 50, 57, 64, 71, 78, 85, 92}) +
                On(kAdv, "{lblFctReset}", {kClient}, {100}));
        row("layer-2 upgrade", From::Advanced, {kOffice}, "cmdFwUpgrade",
            On(kAdv, "{lblUpgrade}", {"winl2fwserver.exe", "5000 ms", kClient}, {20, 20, 20}) +
                On(kAdv, "{lblCalcCRC}", {"2000 ms", kClient}, {60, 60, 60, 60}) + reset);
        row("FTP update", From::Advanced, {kLocal}, "cmdFwUpdate",
            On(kAdv, "{lblConnect}", {kClient}, {20, 60}) +
                On(kAdv, "{lblUpgrade}", {kClient}, {0}) +
                On(kAdv, "downloading", {"5000 ms", kClient}, {25, 25, 50, 50, 75, 75}) +
                On(kAdv, "finished", {"5000 ms"}, {100}) + reset);
        row("loader upgrade", From::Loader, {}, "cmdUpgrade",
            On("frmAdvanced", "{lblUpLoader}", {"winl2fwserver.exe"}, {40}));
    }
    void operations() {
        QFETCH(From, from);
        QFETCH(QStringList, nodes);
        QFETCH(QString, button);
        QFETCH(QList<Step>, steps);
        Fixture f;
        for (const QString& command : QStringList{
                 "time-scale 0", "hear local office", "hear office local", "password local kaldor",
                 "password office kaldor", "network-change-answer 0", "image new.img KPL-200 3.2.0",
                 from == From::Loader ? "loader local on" : "loader local off"}) {
            f.sim(command.split(' '));
        }
        f.dialogs.chosenFiles << f.workFile("new.img");
        if (from == From::Advanced) {
            OPEN_ADVANCED(f, nodes[0]);
            Control<QComboBox>("cboInterface")->addItems({"eth0 first", "eth1 second"});
            f.click(Adv(), "cmdChooseFile");
            Set({"cboUpgProt=FTP", "txtServerIP=192.168.1.5", "txtFtpUser=kaldor",
                 "txtFtpPass=firmware", "txtFileName=kpl510a-3.2.0.img", "cboUpdSect=Firmware"});
            f.dialogs.typePassword("FP" + nodes[0].right(6));  // the factory password
        } else {
            QVERIFY(f.start());
        }
        if (from != From::Welcome && from != From::Advanced) {
            f.click(W().frmBegin, "cmdNext");
            Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->setCurrentIndex(1);
        }
        for (int i = 0; i < nodes.size() && from != From::Advanced; ++i) {
            if (nodes[i] == kLocal) {
                f.clickNodeBox(i > 0);
            } else {
                f.clickNodeEntry(f.rowOf(nodes[i]), i > 0);
            }
        }
        if (from == From::Config || from == From::SetAll) {
            f.click(W().frmConnect, "cmdConfigMac");
            Ctl<QLineEdit>(ShownPage(), "txtId")->setText("NewNet");
        }
        WaitLog::Record();
        f.click(Adv()->isVisible() ? Adv() : ShownPage(), qPrintable(button));
        for (Step& s : steps) {
            s.message = Resolved(s.message);
        }
        QCOMPARE(WaitLog::steps, steps);
        QCOMPARE(W().frmMessage->windowTitle(), Resolved("{frmMessage}"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!W().frmMessage->isVisible());
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QVERIFY2(!w->isVisible() || w->isEnabled(), qPrintable(w->objectName()));
        }
        QVERIFY(!ShownPage() || ShownPage()->isEnabled());
    }

    // Each use of the error dialog is a new dialog; its Help explains the
    // number of this use, and numbers outside 1 to 9 have no explanation.
    void errorDialog() {
        Fixture f;
        QVERIFY(f.start());
        for (int code : {3, 7, 0, 10}) {
            f.dialogs.modalScripts.append([](QDialog* dialog) {
                QCOMPARE(Ctl<QPushButton>(dialog, "cmdHelp")->text(), Resolved("{cmdHelp}"));
                Ctl<QPushButton>(dialog, "cmdHelp")->click();
                Ctl<QPushButton>(dialog, "cmdOk")->click();
            });
            ShowUpgradeError(W().frmConfigAdv, "Failed", "short", static_cast<qint16>(code));
            QCOMPARE(W().frmErrorShort->windowTitle(), "Failed");
        }
        QCOMPARE(f.dialogs.describe(), Resolved("[0|Kaldor Config Tool] {errTextCode3}\n[0|Kaldor "
                                                "Config Tool] {errTextCode7}\n[0|Kaldor Config "
                                                "Tool] \n[0|Kaldor Config Tool] "));
    }
};

QTEST_MAIN(StatusTest)
#include "test_status.moc"
