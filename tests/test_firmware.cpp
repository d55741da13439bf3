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
#include "test_advanced_helpers.h"

using Commands = QList<QStringList>;

namespace {

// The pauses the program asked for, each as "ms|status message|bar".
QStringList pauses;

void RecordPauses() {
    pauses.clear();
    InstallWait([](int ms) {
        Fixture::pass(ms);
        pauses << QStringLiteral("%1|%2|%3")
                      .arg(ms)
                      .arg(Ctl<QLabel>(W().frmMessage, "lblMessage")->text(),
                           QString::number(
                               Ctl<QProgressBar>(W().frmMessage, "barMessage")->value()));
    });
}

// The firmware server's error dialog for a failing code: its texts, then Help and Ok.
void ExpectErrorDialog(DialogRecorder& dialogs, int code) {
    if (code != 0) {
        dialogs.modalScripts.append([code](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), Resolved("{errUpgradeKo}"));
            QCOMPARE(Ctl<QLabel>(dialog, "lblShort")->text(),
                     Resolved(QStringLiteral("{errCodeUpgrade%1}").arg(code)));
            Ctl<QPushButton>(dialog, "cmdHelp")->click();
            Ctl<QPushButton>(dialog, "cmdOk")->click();
        });
    }
}

QString WriteImage(const Fixture& f, const QStringList& arguments) {
    f.sim(QStringList{"image", f.workFile("new firmware.img")} + arguments);
    return f.workFile("new firmware.img");
}

// `count` alike pauses, "%n" counting them.
QStringList Times(int count, const QString& pause) {
    QStringList all;
    for (int n = 1; n <= count; ++n) {
        all << QString(pause).replace("%n", QString::number(n));
    }
    return all;
}

}  // namespace

class FirmwareTest : public QObject {
    Q_OBJECT

private slots:
    // Image: a kaldor-sim image kind, "missing" or "folder".
    void loaderUpgrade_data() {
        QTest::addColumn<Commands>("setup");
        QTest::addColumn<QString>("image");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("code");
        Row("revived", Commands{}, "valid", 1, 0);
        Row("1 file missing", Commands{}, "missing", 1, 1);
        Row("2 file unreadable", Commands{}, "folder", 1, 2);
        Row("3 not an image", Commands{}, "bad-magic", 1, 3);
        Row("4 damaged", Commands{}, "bad-crc", 1, 4);
        Row("5 incomplete", Commands{}, "truncated", 1, 5);
        Row("6 other model", Commands{}, "wrong-model", 1, 6);
        Row("7 served on the wrong interface", Commands{}, "valid", 0, 7);
        Row("8 transfer interrupted", Commands{{"fault", "local", "cutTransfer", "on"}}, "valid", 1,
            8);
    }
    void loaderUpgrade() {
        const int code = Cell<int>("code");
        const QString image = Cell("image");
        QList<int> bars;
        Fixture f;
        f.sim({"time-scale", "0"});
        f.sim({"loader", "local", "on"});
        for (const QStringList& command : Cell<Commands>("setup")) {
            f.sim(command);
        }
        QVERIFY(f.start());
        f.click(W().frmBegin, "cmdNext");
        f.dialogs.boxes.clear();  // no node found: the loader page follows
        QObject::connect(Ctl<QProgressBar>(W().frmMessage, "barMessage"),
                         &QProgressBar::valueChanged, [&bars](int v) { bars << v; });
        Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->setCurrentIndex(Cell<int>("position"));
        // Cancelled first: nothing runs, and the work folder is current again.
        f.dialogs.chosenFiles << ""
                              << (image == "missing" ? f.workFile("no such firmware.img")
                                  : image == "folder"
                                      ? f.workFile("languages")
                                      : WriteImage(f, {"KPL-510A", "3.2.0", image}));
        QDir::setCurrent(f.startDir());
        f.click(W().frmAdvanced, "cmdUpgrade");
        QCOMPARE(f.dialogs.fileDialogFilters, QStringList{Resolved("{cdlFilter}")});
        QCOMPARE(f.dialogs.fileDialogTitles, QStringList{Resolved("{cdlTitle}")});
        QCOMPARE(QDir::current().canonicalPath(), QDir(f.workDir()).canonicalPath());
        QVERIFY(bars.isEmpty() && !QFile::exists(f.workFile("winl2fwserver.tmp")));
        ExpectErrorDialog(f.dialogs, code);
        f.click(W().frmAdvanced, "cmdUpgrade");

        QCOMPARE(bars, (QList<int>{0, 20, 40, 60, 80, 100}));
        QCOMPARE(f.readWorkFile("winl2fwserver.tmp").left(2), QByteArray::number(code) + " ");
        QVERIFY(W().frmAdvanced->isEnabled() && !W().frmMessage->isVisible());
        QCOMPARE(f.dialogs.describe(),
                 Resolved(code ? QStringLiteral("[0|Kaldor Config Tool] {errTextCode%1}").arg(code)
                               : "[0|Kaldor Config Tool] {errUpgradeOk}"));
        QCOMPARE(f.dialogs.modalCount, code ? 1 : 0);
        QCOMPARE(Ctl<QWidget>(W().frmAdvanced, "cmdUpgrade")->isEnabled(), code != 0);
        QCOMPARE(SimNode(f, kLocal).loaderMode, code != 0);
        QCOMPARE(Parameters(f, kLocal).value("VER"), code ? "3.1.7" : "3.2.0");
    }

    // The advanced window's layer-2 upgrade (kaldor-sim image arguments) and
    // the update the node fetches (protocol, server, user, password, file
    // name): the last POST lines, the pauses before any reset and the boxes,
    // "{key}" a catalogue text. Rows in real time let the node's work take
    // its simulated time; the others take none.
    void advancedFirmware_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<Commands>("setup");
        QTest::addColumn<QStringList>("action");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("pauses");
        QTest::addColumn<QStringList>("boxes");
        const QString l2 = "FLUP_L2_OK=Ok", reset = "HW_RESET_OK=Ok", ko = "[1|{errUpgradeKo}] ";
        const QStringList upgrade{"KPL-510A", "3.2.0"};
        const QString serving = "5000|{lblUpgrade}|20", flashing = "2000|{lblCalcCRC}|60";
        const QStringList took{"[1|Kaldor Config Tool] {errResetOk}",
                               "[0|Kaldor Config Tool] {errUpgradeOk}"};
        const QStringList realTime{"time-scale", "1"};
        Row("upgrade, written to flash in simulated time, new firmware after the reset", kOffice,
            Commands{realTime}, QStringList{"KPL-200", "2.5.0"}, 0, reset,
            QStringList{serving} + Times(2, flashing), took);
        Row("upgrade, the server's verdict before the node's refusal", kLocal,
            Commands{{"password", "local", "other"}}, upgrade, 7, l2, QStringList{serving},
            QStringList{"[0|Kaldor Config Tool] {errTextCode7}"});
        Row("upgrade, a missing answer told before the server's verdict", kLocal,
            Commands{{"password", "local", "other"}, {"fault", "local", "noResponse", "on"}},
            upgrade, 7, l2, QStringList{serving},
            QStringList{"[1|Kaldor Config Tool] {errReceiving}",
                        "[0|Kaldor Config Tool] {errTextCode7}"});
        Row("upgrade, node reports a failure", kLocal,
            Commands{realTime, {"fault", "local", "flashFails", "on"}}, upgrade, 0, l2,
            QStringList{serving} + Times(2, flashing),
            QStringList{ko + "failed: flash write error"});
        // 10 MB take 323 s to write: more than five minutes of polls.
        Row("upgrade, status without end", kLocal, Commands{realTime},
            upgrade + QStringList{"valid", "10485760"}, 0, l2,
            QStringList{serving} + Times(150, flashing), QStringList{ko + "downloading"});
        const QStringList ftp{"FTP", "192.168.1.5", "kaldor", "firmware", "kpl510a-3.2.0.img"};
        const QString order =
            "FLUP_PROTOCOL=FTP\r\nFLUP_IP_ADDR=192.168.1.5\r\nFLUP_LOGIN=kaldor\r\n"
            "FLUP_PASSWORD=firmware\r\nFLUP_FILENAME=kpl510a-3.2.0.img\r\nFLUP_SECTION=Firmware\r\n"
            "FLUP_OK=Ok";
        const QString connecting = "5000|{errFLUP2}|0";
        Row("FTP update: reaching the server, then a quarter each 5 s", kLocal, Commands{realTime},
            ftp, 0, reset,
            QStringList{connecting, "5000|downloading|0", "5000|downloading|25",
                        "5000|downloading|50", "5000|downloading|75", "5000|finished|100"},
            took);
        // The size known only at the end, the bar shows the share of the poll's time.
        Row("TFTP update without the file size", kOffice,
            Commands{realTime, {"server-option", "192.168.1.6", "announcesSize", "off"}},
            QStringList{"TFTP", "192.168.1.6", "unused", "unused", "kpl200-2.5.0.img"}, 0, reset,
            QStringList{connecting, "5000|downloading|2", "5000|downloading|3",
                        "5000|downloading|4", "5000|downloading|5", "5000|finished|100"},
            took);
        const QString login = "failed: the FTP server refused the login of 'kaldor'";
        Row("FTP update, wrong login", kLocal, Commands{realTime},
            QStringList{"FTP", "192.168.1.5", "kaldor", "wrong", "kpl510a-3.2.0.img"}, 0,
            QString(order).replace("=firmware", "=wrong"),
            QStringList{connecting, "5000|" + login + "|2"}, QStringList{ko + login});
        Row("FTP update, still connecting after one minute", kLocal,
            Commands{realTime, {"server-option", "192.168.1.5", "connectMs", "90000"}}, ftp, 0,
            order, Times(12, connecting), QStringList{ko + "initial"});
        // The node keeps its old status: the poll runs its 100 rounds on the time share.
        const QString longLogin(33, QLatin1Char('u'));
        Row("refused update order, status without end", kLocal, Commands{},
            QStringList{"FTP", "192.168.1.5", longLogin, "firmware", "kpl510a-3.2.0.img"}, 0,
            QString(order).replace("=kaldor", "=" + longLogin), Times(100, "5000|idle|%n"),
            QStringList{"[1|{errSaving}] ERROR: FLUP_LOGIN takes at most 32 characters",
                        ko + "idle"});
    }
    void advancedFirmware() {
        const QString mac = Cell("mac");
        const QStringList act = Cell<QStringList>("action");
        const bool upgrade = act.size() < 5;
        Fixture f;
        OPEN_ADVANCED(f, mac);
        for (const QStringList& command : Cell<Commands>("setup")) {
            f.sim(command);
        }
        RecordPauses();
        const kaldorsim::Parameters before = Parameters(f, mac);
        if (upgrade) {
            Control<QComboBox>("cboInterface")->addItems({"eth0 first", "eth1 second"});
            f.dialogs.chosenFiles << WriteImage(f, act);
            f.click(Adv(), "cmdChooseFile");
            ExpectErrorDialog(f.dialogs, Cell<int>("code"));
        } else {
            Set({"cboUpgProt=" + act[0], "txtServerIP=" + act[1], "txtFtpUser=" + act[2],
                 "txtFtpPass=" + act[3], "txtFileName=" + act[4], "cboUpdSect=Firmware"});
        }
        f.click(Adv(), upgrade ? "cmdFwUpgrade" : "cmdFwUpdate");

        const QStringList expected = Resolved(Cell<QStringList>("pauses"));
        const QStringList boxes = Resolved(Cell<QStringList>("boxes"));
        const bool took = boxes.last().endsWith(Resolved("{errUpgradeOk}"));
        const QString password = mac == kLocal ? kLocalPw : "kaldor";
        QCOMPARE(f.readWorkFile("post.cfg"), Request("POST " + mac, password, {Cell("request")}));
        QCOMPARE(pauses.mid(0, expected.size()), expected);
        QCOMPARE(pauses.size(), expected.size() + (took ? 10 : 0));  // the reset's own waits
        QCOMPARE(f.dialogs.describe(), boxes.join('\n'));
        const kaldorsim::Parameters after = Parameters(f, mac);  // new firmware, one restart
        QCOMPARE(after.value("VER") != before.value("VER"), took);
        QCOMPARE(after.value("NUM_BOOTS").toInt(), before.value("NUM_BOOTS").toInt() + int(took));
        QVERIFY(upgrade ||
                f.readWorkFile("get.cfg") == Request("GET " + mac, password,
                                                     {"FLUP_FILE_SIZE", "FLUP_FLASH_OFFSET",
                                                      "FLUP_STATUS", "FLUP_DOWNLOADED_SIZE"}));
        // An upgrade empties its frame; an update leaves its frame as it was.
        QCOMPARE(Control<QLineEdit>("txtFwFile")->text() + Control<QLineEdit>("txtFtpPass")->text(),
                 upgrade ? QString() : act[3]);
        QVERIFY(!Control("cmdFwUpgrade")->isEnabled() && Adv()->isEnabled() && Adv()->isVisible() &&
                !W().frmMessage->isVisible());
    }
};

QTEST_MAIN(FirmwareTest)
#include "test_firmware.moc"
