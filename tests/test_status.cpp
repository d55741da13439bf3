// What the user sees while each operation runs: at every tool run and fixed
// wait the status window's message, bar and owner, the busy cursor, and no
// window that takes input or lets itself be closed; afterwards the cursor is
// back, the status window gone and every shown window enabled.
#include <QApplication>
#include <QtTest>

#include "support/WaitLog.h"
#include "test_advanced_helpers.h"

using WaitLog::Step;

namespace {

const QString kClient = "ihcp_client.exe", kAdv = "frmConfigAdv";

// Steps over one page or window with one message, one for each bar value,
// the runs taken in turn.
QList<Step> On(const QString& on, const QString& message, const QStringList& runs,
               const QList<int>& bars) {
    QList<Step> steps;
    const QString owner = on == kAdv ? kAdv : "AssistantWindow";
    for (qsizetype i = 0; i < bars.size(); ++i)
        steps << Step{runs[i % runs.size()], bars[i], message, owner, on, true, {}, false};
    return steps;
}

}  // namespace

class StatusTest : public QObject {
    Q_OBJECT

private slots:
    // Buttons pressed before, page after page; the nodes chosen on the node page, Ctrl held from
    // the second; the connected node in loader mode for the loader's upgrade.
    // clang-format off
    void operations_data() {
        Cols<L, L, QString, QList<Step>>({"path", "nodes", "button", "steps"});
        const QList<Step> discover = On("frmConnect", "{lblDiscoverMac}", {"MacDiscover.exe"}, {33}) +
            On("frmConnect", "{lblConnect} " + kLocal, {kClient}, {50}) +
            On("frmConnect", "{lblConnect} " + kOffice, {kClient}, {50});
        const QList<int> restart{16, 25, 33, 41, 50, 58, 66, 75, 83, 91};
        const QList<Step> reset =
            On(kAdv, "{lblFctReset}", {kClient}, {8}) + On(kAdv, "{lblFctReset}", {"1500 ms"}, restart);
        // An update the node took: its parameters read again for the list.
        const QList<Step> reread = On(kAdv, "{lblConnect}", {kClient}, {50});
        const QList<Step> save = On(kAdv, "{lblSave}", {kClient}, {33});
        const L pause{kClient, "1000 ms"}, onAdv{"cmdNext", "cmdQuickAdv"}, none, next{"cmdNext"};
        const L local{kLocal}, office{kOffice}, both{kLocal, kOffice}, config{"cmdNext", "cmdConfigMac"};
        const QString conf = "{lblConfiguring}02:0A:1B:00:00:0", check = "{lblChecking}02:0A:1B:00:00:0";
        Row("discovery", none, none, "cmdNext", discover);
        Row("update list", next, none, "cmdRefresh", discover);
        Row("next", next, office, "cmdConfigMac", On("frmConnect", "{lblConnect}", {kClient}, {50}));
        Row("advanced from the node page", next, office, "cmdQuickAdv",
            On("frmConnect", "{lblConnect}", {kClient}, {50, 50}));
        Row("set-all page", next, both, "cmdConfigMac", On("frmConnect", "{lblConnect}", {kClient}, {0, 33}));
        Row("save", config, office, "cmdSave", On("frmConfig", "{lblSave}", {kClient, "6000 ms"}, {33, 66}));
        Row("set-all", config, both, "cmdAutoConf", On("frmSetAll", conf + "2", pause, {0, 0}) +
            On("frmSetAll", conf + "1", pause, {0, 0}) + On("frmSetAll", conf + "1", {"12000 ms"}, {0}) +
            On("frmSetAll", check + "2", pause, {0, 50}) + On("frmSetAll", check + "1", pause, {50, 100}) +
            discover);
        Row("refresh", onAdv, office, "cmdRefresh", reread);
        Row("fixed IP", onAdv, office, "cmdUpdateFixedIp", save + reset + reread);
        Row("QoS rule", onAdv, office, "cmdQoSUpdate", save + reread);
        Row("reset", onAdv, office, "cmdReset", reset);
        Row("factory reset", onAdv, local, "cmdFactoryReset", On(kAdv, "{lblFctReset}", {kClient}, {14}) +
            On(kAdv, "{lblFctReset}", {"3000 ms"}, {21, 28, 35, 42, 50, 57, 64, 71, 78, 85, 92}) +
            On(kAdv, "{lblFctReset}", {kClient}, {100}));
        Row("layer-2 upgrade", onAdv, office, "cmdFwUpgrade", On(kAdv, "{lblUpgrade}",
            {"winl2fwserver.exe", "5000 ms", kClient}, {20, 20, 20}) +
            On(kAdv, "{lblCalcCRC}", {"2000 ms", kClient}, {60, 60, 60, 60}) + reset);
        Row("loader upgrade", next, none, "cmdUpgrade",
            On("frmAdvanced", "{lblUpLoader}", {"winl2fwserver.exe"}, {40}) +
            On("frmAdvanced", "{lblFctReset}", {"1500 ms"}, restart));
    }
    // clang-format on
    void operations() {
        const L path = Cell<L>("path"), nodes = Cell<L>("nodes");
        const bool loader = Cell("button") == "cmdUpgrade";
        Fixture f;
        for (const QString& command :
             L{"time-scale 1", "hear local office", "hear office local", "password local kaldor",
               "password office kaldor", "network-change-answer 0",
               "loader local " + L{"off", "on"}[loader],
               "image new.img " + L{"KPL-200", "KPL-510A"}[loader] + " 3.2.0"})
            f.sim(command.split(' '));
        f.dialogs.chosenFiles << f.workFile("new.img") << f.workFile("new.img");
        QVERIFY(f.start());
        for (qsizetype i = 0; i < path.size(); ++i) {
            f.click(ShownPage(), qPrintable(path[i]));
            for (qsizetype n = 0; n < nodes.size() && i == 0; ++n)
                nodes[n] == kLocal ? f.clickNodeBox(n > 0)
                                   : f.clickNodeEntry(f.rowOf(nodes[n]), n > 0);
        }
        Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->setCurrentIndex(1);
        if (auto* id = ShownPage() ? ShownPage()->findChild<QLineEdit*>("txtId") : nullptr)
            id->setText("NewNet");
        if (Adv()->isVisible()) {  // a firmware file and server at hand
            f.click(Adv(), "cmdChooseFile");
            f.dialogs.typePassword("FP" + nodes[0].right(6));  // the factory password
            f.dialogs.answers << MsgAnswer::Yes;               // the hardware reset wanted
        }
        WaitLog::Record();
        f.click(Adv()->isVisible() ? Adv() : ShownPage(), qPrintable(Cell("button")));
        QList<Step> steps = Cell<QList<Step>>("steps");
        for (Step& s : steps)
            s.message = Resolved(s.message);
        QCOMPARE(WaitLog::steps, steps);
        QCOMPARE(W().frmMessage->windowTitle(), Resolved("{frmMessage}"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!W().frmMessage->isVisible());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible() || w->isEnabled(), qPrintable(w->objectName()));
        QVERIFY(!ShownPage() || ShownPage()->isEnabled());
    }
};

QTEST_MAIN(StatusTest)
#include "test_status.moc"
