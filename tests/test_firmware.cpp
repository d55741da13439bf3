// New firmware for a node, end to end against the simulated network: the
// loader page's upgrade, the advanced window's layer-2 upgrade and the update
// a node fetches over FTP or TFTP. The node's work follows the simulated
// clock, which only the assistant's pauses move on here.
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "app/Seams.h"
#include "firmware/Layer2Upgrade.h"
#include "test_advanced_helpers.h"

using Commands = QList<QStringList>;

namespace {

// The pauses the program asked for, each as "ms|status message|bar".
QStringList pauses;

// The firmware server's error dialog, when it comes: Help, then Ok.
void AnswerErrorDialog(DialogRecorder& dialogs) {
    dialogs.modalScripts.append([](QDialog* dialog) {
        Ctl<QPushButton>(dialog, "cmdHelp")->click();
        Ctl<QPushButton>(dialog, "cmdOk")->click();
    });
}

}  // namespace

class FirmwareTest : public QObject {
    Q_OBJECT

private slots:
    // The file chosen, the kind of image kaldor-sim writes there (none: the
    // file is left as it is), the interface the node was last found on, the
    // server's code. The revived node restarts in simulated time.
    void loaderUpgrade_data() {
        Cols<Commands, QString, QString, int, int>({"setup", "file", "kind", "position", "code"});
        // clang-format off
        Row("revived, found by Next once restarted", Commands{{"time-scale", "1"}}, "new.img", "valid", 1, 0);
        Row("1 file missing", Commands{}, "no such firmware.img", "", 1, 1);
        Row("7 served on the wrong interface", Commands{}, "new.img", "valid", 0, 7);
        // clang-format on
    }
    void loaderUpgrade() {
        const int code = Cell<int>("code");
        QList<int> bars;
        Fixture f;
        for (const QStringList& command :
             Commands{{"time-scale", "0"}, {"loader", "local", "on"}} + Cell<Commands>("setup"))
            f.sim(command);
        if (!Cell("kind").isEmpty())
            f.sim({"image", f.workFile(Cell("file")), "KPL-510A", "3.2.0", Cell("kind")});
        QVERIFY(f.start());
        Session().InterfaceNumber = static_cast<qint16>(Cell<int>("position"));
        f.click(W().frmBegin, "cmdNext");
        f.dialogs.boxes.clear();  // no node found: the loader page follows
        QObject::connect(Ctl<QProgressBar>(W().frmMessage, "barMessage"),
                         &QProgressBar::valueChanged, [&bars](int v) { bars << v; });
        f.dialogs.onShow = [&bars] { bars << -1; };  // a box or dialog comes
        QCOMPARE(Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->currentIndex(),
                 Cell<int>("position"));
        f.dialogs.chosenFiles << "" << f.workFile(Cell("file"));
        QDir::setCurrent(f.startDir());
        f.click(W().frmAdvanced, "cmdUpgrade");  // cancelled: nothing runs
        QCOMPARE(QDir::current().canonicalPath(), QDir(f.workDir()).canonicalPath());
        QVERIFY(bars.isEmpty() && !QFile::exists(f.workFile("winl2fwserver.tmp")));
        AnswerErrorDialog(f.dialogs);
        f.click(W().frmAdvanced, "cmdUpgrade");

        // A success waits the node's restart; every box comes with the bar full.
        const QList<int> restart{16, 25, 33, 41, 50, 58, 66, 75, 83, 91};
        QCOMPARE(bars, QList<int>({0, 20, 40, 60, 80}) + (code ? QList<int>() : restart) +
                           QList<int>({100, -1}) + QList<int>(code ? 1 : 0, -1));
        QCOMPARE(Fixture::waited, code ? 0 : 15000);
        QCOMPARE(f.readWorkFile("winl2fwserver.tmp").left(2), QByteArray::number(code) + " ");
        QCOMPARE(f.dialogs.describe(),
                 Resolved("[0|Kaldor Config Tool] {" +
                          (code ? "errTextCode" + QString::number(code) : "errUpgradeOk") + "}"));
        // No node on the interface: the message names it.
        const QString on = code == 7 ? "\n{lblInterface}: eth0 Simulated Ethernet adapter 0" : "";
        QCOMPARE(f.dialogs.modals,
                 L(code ? 1 : 0,
                   Resolved(QString("[{errUpgradeKo}] {errCodeUpgrade%1}").arg(code) + on)));
        QCOMPARE(Ctl<QWidget>(W().frmAdvanced, "cmdUpgrade")->isEnabled(), code != 0);
        QCOMPARE(SimNode(f, kLocal).loaderMode, code != 0);
        QCOMPARE(Parameters(f, kLocal).value("VER"), code ? "3.1.7" : "3.2.0");
        f.dialogs.onShow = nullptr;
        f.dialogs.modalScripts.clear();
        f.click(W().frmAdvanced, "cmdConfigMac");
        QCOMPARE(ShownPage(), code ? W().frmAdvanced : W().frmConnect);
    }

    // The advanced window's layer-2 upgrade (kaldor-sim image arguments) and
    // the update the node fetches (protocol, server, user, password, file
    // name), with the node's work in real time: the last POST lines, the
    // pauses before any reset and the boxes, "{key}" a catalogue text.
    void advancedFirmware_data() {
        Cols<QString, Commands, L, QString, L, L>(
            {"mac", "setup", "action", "request", "pauses", "boxes"});
        // clang-format off
        const auto times = [](int count, const QString& pause, L all = {}) {  // "%n" counts the pauses
            for (int n = 1; n <= count; ++n) all << QString(pause).replace("%n", QString::number(n));
            return all;
        };
        const QString l2 = "FLUP_L2_OK=Ok", reset = "HW_RESET_OK=Ok", ko = "[1|{errUpgradeKo}] ";
        const QString serving = "5000|{lblUpgrade}|20", flashing = "2000|{lblCalcCRC}|60", connecting = "5000|{errFLUP2}|0";
        const QString login = "{lblFlupFailed}: the FTP server refused the login of 'kaldor'", longLogin(33, QLatin1Char('u'));
        const L upgrade{"KPL-510A", "3.2.0"}, ftp{"FTP", "192.168.1.5", "kaldor", "firmware", "kpl510a-3.2.0.img"};
        const L took{"[0|Kaldor Config Tool] {errResetOk}", "[0|Kaldor Config Tool] {errUpgradeOk}"};
        const QString order = "FLUP_PROTOCOL=FTP\r\nFLUP_IP_ADDR=192.168.1.5\r\nFLUP_LOGIN=kaldor\r\n"
            "FLUP_PASSWORD=firmware\r\nFLUP_FILENAME=kpl510a-3.2.0.img\r\nFLUP_SECTION=Firmware\r\nFLUP_OK=Ok";
        Row("upgrade, written to flash in simulated time, new firmware after the reset", kOffice, Commands{},
            L{"KPL-200", "2.5.0"}, reset, L{serving} + times(2, flashing), took);
        // The server waits for the refusing node in real time: no time passes here.
        Row("upgrade, the server's verdict before the node's refusal", kLocal, Commands{{"password", "local", "x"},
            {"time-scale", "0"}}, upgrade, l2, L{serving}, L{"[0|Kaldor Config Tool] {errTextCode7}"});
        Row("upgrade, node reports a failure", kLocal, Commands{{"fault", "local", "flashFails", "on"}}, upgrade, l2,
            L{serving} + times(2, flashing), L{ko + "{lblFlupFailed}: flash write error"});
        // 10 MB take 323 s to write: more than five minutes of polls.
        Row("upgrade, status without end", kLocal, Commands{}, upgrade + L{"valid", "10485760"}, l2,
            L{serving} + times(150, flashing), L{ko + "{lblFlupDownloading}"});
        // The size known only at the end, the bar shows the share of the poll's time.
        Row("TFTP update without the file size", kOffice, Commands{{"server-option", "192.168.1.6", "announcesSize",
            "off"}}, L{"TFTP", "192.168.1.6", "unused", "unused", "kpl200-2.5.0.img"}, reset, L{connecting} +
            times(5, "5000|{lblFlupDownloading}|%n").mid(1) + L{"5000|{lblFlupFinished}|100"}, took);
        Row("FTP update, wrong login, statuses in Spanish", kLocal, Commands{{"catalogue", "spanish.lng"}},
            L(ftp).replaceInStrings("firmware", "wrong"), QString(order).replace("=firmware", "=wrong"),
            L{connecting, "5000|" + login + "|2"}, L{ko + login});
        Row("FTP update, still connecting after one minute", kLocal, Commands{{"server-option", "192.168.1.5",
            "connectMs", "90000"}}, ftp, order, times(12, connecting), L{ko + "{lblFlupInitial}"});
        // The node keeps its old status: the poll runs its 100 rounds on the time share.
        Row("refused update order, status without end", kLocal, Commands{}, L(ftp).replaceInStrings("kaldor",
            longLogin), QString(order).replace("=kaldor", "=" + longLogin), times(100, "5000|{lblFlupIdle}|%n"),
            L{"[1|{errSaving}] ERROR: FLUP_LOGIN takes at most 32 characters", ko + "{lblFlupIdle}"});
        // clang-format on
    }
    void advancedFirmware() {
        const QString mac = Cell("mac"), password = mac == kLocal ? kLocalPw : "kaldor";
        const QStringList act = Cell<QStringList>("action");
        const bool upgrade = act.size() < 5;
        Commands setup = Cell<Commands>("setup");
        Fixture f;
        if (!setup.isEmpty() && setup[0][0] == "catalogue")  // the language chosen
            f.writeWorkFile("languages/default.lang", setup.takeFirst()[1].toUtf8() + "\r\n");
        OPEN_ADVANCED(f, mac);
        for (const QStringList& command : Commands{{"time-scale", "1"}} + setup)
            f.sim(command);
        pauses.clear();
        InstallWait([](int ms) {
            Fixture::pass(ms);
            const QString message = Ctl<QLabel>(W().frmMessage, "lblMessage")->text();
            pauses << QString::number(ms) + "|" + message + "|" +
                          QString::number(Ctl<QProgressBar>(W().frmMessage, "barMessage")->value());
        });
        const kaldorsim::Parameters before = Parameters(f, mac);
        QList<int> partBars;  // bars left part way behind a box or dialog
        f.dialogs.onShow = [&partBars] {
            const int bar = Ctl<QProgressBar>(W().frmMessage, "barMessage")->value();
            if (W().frmMessage->isVisible() && bar < 100)
                partBars << bar;
        };
        if (upgrade) {
            Control<QComboBox>("cboInterface")->addItems({"eth0 first", "eth1 second"});
            f.sim(L{"image", f.workFile("new.img")} + act);
            f.dialogs.chosenFiles << f.workFile("new.img");
            f.click(Adv(), "cmdChooseFile");
            AnswerErrorDialog(f.dialogs);
        } else {
            Set({"cboUpgProt=" + act[0], "txtServerIP=" + act[1], "txtFtpUser=" + act[2],
                 "txtFtpPass=" + act[3], "txtFileName=" + act[4], "cboUpdSect=Firmware"});
        }
        f.click(Adv(), upgrade ? "cmdFwUpgrade" : "cmdFwUpdate");

        const QStringList expected = Resolved(Cell<QStringList>("pauses"));
        const QStringList boxes = Resolved(Cell<QStringList>("boxes"));
        const bool took = boxes.last().endsWith(Resolved("{errUpgradeOk}"));
        QCOMPARE(f.readWorkFile("post.cfg"), Request("POST " + mac, password, {Cell("request")}));
        QCOMPARE(pauses.mid(0, expected.size()), expected);
        QCOMPARE(pauses.size(), expected.size() + (took ? 10 : 0));  // the reset's own waits
        QCOMPARE(f.dialogs.describe(), boxes.join('\n'));
        QCOMPARE(partBars, QList<int>());
        const kaldorsim::Parameters after = Parameters(f, mac);  // new firmware, one restart
        QCOMPARE(after.value("VER") != before.value("VER"), took);
        QCOMPARE(after.value("NUM_BOOTS").toInt(), before.value("NUM_BOOTS").toInt() + int(took));
        // An upgrade empties its frame; an update leaves its frame as it was.
        QCOMPARE(Control<QLineEdit>("txtFwFile")->text() + Control<QLineEdit>("txtFtpPass")->text(),
                 upgrade ? QString() : act[3]);
        QVERIFY(!Control("cmdFwUpgrade")->isEnabled() && Adv()->isEnabled() && Adv()->isVisible() &&
                !W().frmMessage->isVisible());
    }

    // A node's status as the user reads it: known words in the catalogue's
    // language, the node's details kept; anything else as received, and so
    // is a status whose text the catalogue lacks.
    void statusTexts_data() {
        Cols<QString, QString, QString, QString>({"catalogue", "missing", "status", "shown"});
        // clang-format off
        Row("word in capitals", "english.lng", "", "DOWNLOADING", "{lblFlupDownloading}");
        Row("details kept", "spanish.lng", "", " Failed : no server", "{lblFlupFailed}: no server");
        Row("word within a text", "english.lng", "", "finished early", "finished early");
        Row("text missing", "english.lng", "lblFlupIdle", "idle: since boot", "idle: since boot");
        // clang-format on
    }
    void statusTexts() {
        Fixture f;
        f.writeWorkFile("languages/default.lang", Cell("catalogue").toUtf8() + "\r\n");
        QVERIFY(f.start());
        if (!Cell("missing").isEmpty())
            f.removeCatalogue(Cell("missing"));
        QCOMPARE(NodeStatusText(Cell("status")), Resolved(Cell("shown")));
    }

    // The update frame: the server address checked when the focus leaves its
    // box, the bare file name from the file dialog (none when cancelled), the
    // login fields only for FTP and the button only with every field filled.
    void updateFrame_data() {
        Cols<QString, QString, QString, bool, QString, bool>(
            {"protocol", "server", "login", "accepted", "chosen", "complete"});
        const char* path = "/srv/firm ware/kpl/fw 3.2.img";
        // clang-format off
        Row("FTP complete, address bounds", "FTP", "0.10.255.255", "u", true, path, true);
        Row("TFTP needs no login, letters count as 0", "TFTP", "a.b.c.d", "", true, "C:\\fw\\fw 3.2.img", true);
        Row("a piece above 255", "TFTP", "192.168.1.256", "", false, path, false);
        Row("leading number too big", "TFTP", "300x.1.1.1", "", false, path, false);
        // clang-format on
    }
    void updateFrame() {
        const QString server = Cell("server"), login = Cell("login");
        const bool accepted = Cell<bool>("accepted"), complete = Cell<bool>("complete");
        Fixture f;
        OPEN_ADVANCED(f, kOffice);
        Set({"cboUpgProt=" + Cell("protocol"), "txtServerIP=", "txtFtpUser=" + login,
             "txtFtpPass=" + login, "cboUpdSect=Firmware"});
        Adv()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Adv()));
        Control("txtServerIP")->setFocus();
        Control<QLineEdit>("txtServerIP")->setText(server);
        Control("txtFileName")->setFocus();
        QCOMPARE(Control("txtServerIP")->hasFocus(), !accepted);
        QCOMPARE(f.dialogs.describe(),
                 accepted ? QString() : Resolved("[1|Kaldor Config Tool] {errFormat}"));
        f.dialogs.chosenFiles << Cell("chosen") << "";
        f.click(Adv(), "cmdFileName");
        const QString off = Cell("protocol") == "FTP" ? "" : " off";
        QCOMPARE(Shown({"txtServerIP", "txtFileName", "txtFtpUser", "txtFtpPass", "cmdFwUpdate"}),
                 L({"txtServerIP=" + (accepted ? server : ""), "txtFileName=fw 3.2.img",
                    "txtFtpUser=" + login + off, "txtFtpPass=" + login + off,
                    complete ? "cmdFwUpdate" : "cmdFwUpdate off"}));
        // Every field's change checks the frame again.
        for (const char* name : {"txtServerIP", "txtFtpUser", "txtFtpPass", "txtFileName"}) {
            const QString text = Control<QLineEdit>(name)->text();
            Control<QLineEdit>(name)->clear();
            QCOMPARE(Control("cmdFwUpdate")->isEnabled(), complete && text.isEmpty());
            Control<QLineEdit>(name)->setText(text);
        }
        f.click(Adv(), "cmdFileName");
        QCOMPARE(Control<QLineEdit>("txtFileName")->text(), QString());
    }
};

QTEST_MAIN(FirmwareTest)
#include "test_firmware.moc"
