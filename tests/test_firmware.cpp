// New firmware for a node: the loader page's upgrade, the advanced window's
// layer-2 upgrade and the update a node fetches over FTP or TFTP, end to end
// against the simulated network.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "support/CatalogueText.h"
#include "support/WaitLog.h"
#include "test_advanced_helpers.h"
#include "ui/frmErrorShort.h"

using namespace advtest;

namespace {

// The firmware server's error dialog for a failing code: its texts and code,
// then Help and Ok.
void ExpectErrorDialog(DialogRecorder& dialogs, int code) {
    if (code != 0) {
        dialogs.modalScripts.append([code](QDialog* dialog) {
            auto* error = qobject_cast<frmErrorShort*>(dialog);
            QVERIFY(error);
            QCOMPARE(error->windowTitle(), Session().errUpgradeKo);
            QCOMPARE(error->ui.lblShort->text(), GetText("errCodeUpgrade" + QString::number(code)));
            QCOMPARE(int(error->ErrorCode), code);
            error->ui.cmdHelp->click();
            error->ui.cmdOk->click();
        });
    }
}

// Writes an image with kaldor-sim: model, version, kind and payload size.
QString WriteImage(const Fixture& f, const QStringList& arguments) {
    f.sim(QStringList{QStringLiteral("image"), f.workFile("new firmware.img")} + arguments);
    return f.workFile(QStringLiteral("new firmware.img"));
}

}  // namespace

class FirmwareTest : public QObject {
    Q_OBJECT

private slots:
    // After the upgrade, some rows press one of the page's buttons:
    // "button>window shown afterwards", no window when the program ends.
    void loaderUpgrade_data() {
        QTest::addColumn<QStringList>("setup");  // a kaldor-sim command
        QTest::addColumn<QString>("image");      // kaldor-sim image kind, or "missing", "folder"
        QTest::addColumn<int>("position");       // chosen interface
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("then");
        const QStringList none{"time-scale", "0"};  // restarts take no time in every row
        QTest::newRow("revived, Next finds it")
            << none << "valid" << 1 << 0 << "cmdConfigMac>frmConnect";
        QTest::newRow("1 file missing, Previous")
            << none << "missing" << 1 << 1 << "cmdPrev>frmBegin";
        QTest::newRow("2 file unreadable, Exit") << none << "folder" << 1 << 2 << "cmdExit>";
        QTest::newRow("3 not an image") << none << "bad-magic" << 1 << 3 << "";
        QTest::newRow("4 damaged") << none << "bad-crc" << 1 << 4 << "";
        QTest::newRow("5 incomplete") << none << "truncated" << 1 << 5 << "";
        QTest::newRow("6 other model") << none << "wrong-model" << 1 << 6 << "";
        QTest::newRow("7 served on the wrong interface") << none << "valid" << 0 << 7 << "";
        QTest::newRow("8 transfer interrupted")
            << QStringList{"fault", "local", "cutTransfer", "on"} << "valid" << 1 << 8 << "";
        // The interface goes away between the discovery and the upgrade.
        QTest::newRow("9 interface gone")
            << QStringList{"attach", "local", "none"} << "valid" << 1 << 9 << "";
    }
    void loaderUpgrade() {
        QFETCH(QStringList, setup);
        QFETCH(QString, image);
        QFETCH(int, position);
        QFETCH(int, code);
        QFETCH(QString, then);
        // Keeps the file dialog's filter before its title.
        struct FilterRecorder : DialogRecorder {
            QString openFileName(QWidget* owner, const QString& title,
                                 const QString& filter) override {
                fileDialogTitles << filter;
                return DialogRecorder::openFileName(owner, title, filter);
            }
        } dialogs;
        QList<int> bars;
        Fixture f;
        f.sim({"loader", "local", "on"});
        f.sim(setup);
        QVERIFY(f.start());
        f.click(W().frmBegin, "cmdNext");
        InstallDialogs(&dialogs);
        if (code == 9) {
            ChangeNetwork(f, [](kaldorsim::Network& net, QString*) {
                net.interfaces.removeLast();
                return true;
            });
        }
        QObject::connect(Ctl<QProgressBar>(W().frmMessage, "barMessage"),
                         &QProgressBar::valueChanged, [&bars](int v) { bars << v; });
        // Choosing an interface enables the upgrade; no choice does not.
        auto* upgrade = Ctl<QPushButton>(W().frmAdvanced, "cmdUpgrade");
        auto* interfaces = Ctl<QComboBox>(W().frmAdvanced, "cboInterface");
        upgrade->setEnabled(false);
        interfaces->setCurrentIndex(-1);
        QVERIFY(!upgrade->isEnabled());
        interfaces->setCurrentIndex(position);
        QVERIFY(upgrade->isEnabled());
        interfaces->setCurrentIndex(-1);  // a choice taken back never disables it
        QVERIFY(upgrade->isEnabled());
        interfaces->setCurrentIndex(position);
        // Cancelled first: nothing runs, and the work folder is current again.
        dialogs.chosenFiles << ""
                            << (image == "missing"  ? f.workFile("no such firmware.img")
                                : image == "folder" ? f.workFile("languages")
                                                    : WriteImage(f, {"KPL-510A", "3.2.0", image}));
        QDir::setCurrent(f.startDir());
        f.click(W().frmAdvanced, "cmdUpgrade");
        QCOMPARE(dialogs.fileDialogTitles,
                 QStringList({GetText("cdlFilter"), GetText("cdlTitle")}));
        QCOMPARE(QDir::current().canonicalPath(), QDir(f.workDir()).canonicalPath());
        QVERIFY(bars.isEmpty() && !QFile::exists(f.workFile("winl2fwserver.tmp")));
        ExpectErrorDialog(dialogs, code);
        f.click(W().frmAdvanced, "cmdUpgrade");

        QCOMPARE(bars, (QList<int>{0, 20, 40, 60, 80, 100}));
        QCOMPARE(f.readWorkFile("winl2fwserver.tmp").left(2), QByteArray::number(code) + " ");
        QVERIFY(W().frmAdvanced->isEnabled() && !W().frmMessage->isVisible());
        QCOMPARE(dialogs.modalCount, code ? 1 : 0);
        QCOMPARE(dialogs.describe(),
                 "[0|Kaldor Config Tool] " +
                     GetText(code ? "errTextCode" + QString::number(code) : "errUpgradeOk"));
        // The upgrade stays possible until one succeeds.
        QCOMPARE(upgrade->isEnabled(), code != 0);
        QCOMPARE(SimNode(f, kLocal).loaderMode, code != 0);
        QCOMPARE(Parameters(f, kLocal).value("VER"), QString(code ? "3.1.7" : "3.2.0"));
        if (!then.isEmpty()) {
            f.click(W().frmAdvanced, qPrintable(then.section('>', 0, 0)));
            QCOMPARE(f.exitCode.has_value(), then.endsWith('>'));
            for (QWidget* window : AllWindows(W())) {
                QCOMPARE(window->isVisible(), window->objectName() == then.section('>', 1));
            }
        }
    }

    // The advanced window's layer-2 upgrade ("upgrade|" and kaldor-sim image
    // arguments) and the update the node fetches ("update|protocol|server|
    // user|password|file name|section"). Boxes as DialogRecorder::describe()
    // writes them; "{key}" stands for a catalogue text.
    void advancedFirmware_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QStringList>("setup");  // a kaldor-sim command
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("code");            // the firmware server's error code
        QTest::addColumn<QString>("request");     // the last POST's lines after the password
        QTest::addColumn<QStringList>("pauses");  // "ms|status message|bar" before any reset
        QTest::addColumn<QStringList>("boxes");
        const QStringList none{"time-scale", "0"};  // restarts take no time in every row
        const QString l2 = "FLUP_L2_OK=Ok\r\n";
        const QString ko = "[1|{errUpgradeKo}] ";
        const QStringList serving{"5000|{lblUpgrade}|20"};
        const QStringList took{"[1|Kaldor Config Tool] {errResetOk}",
                               "[0|Kaldor Config Tool] {errUpgradeOk}"};
        const QString reset = "HW_RESET_OK=Ok\r\n";
        // Two polls: the node writes the image to flash, then reports the end.
        QTest::newRow("upgrade, new firmware after the reset")
            << kOffice << none << "upgrade|KPL-200|2.5.0" << 0 << reset
            << serving + QStringList(2, "2000|{lblCalcCRC}|60") << took;
        QTest::newRow("upgrade, the server's verdict before the node's refusal")
            << kLocal << QStringList{"password", "local", "other"} << "upgrade|KPL-510A|3.2.0" << 7
            << l2 << serving << QStringList{"[0|Kaldor Config Tool] {errTextCode7}"};
        // A failed status ends the poll, and the user reads why.
        QTest::newRow("upgrade, node reports a failure")
            << kLocal << QStringList{"fault", "local", "flashFails", "on"}
            << "upgrade|KPL-510A|3.2.0" << 0 << l2
            << serving + QStringList(2, "2000|{lblCalcCRC}|60")
            << QStringList{ko + "failed: flash write error"};
        // 10 MB take 161 queries to write: more than five minutes of polls.
        QTest::newRow("upgrade, status without end")
            << kLocal << none << "upgrade|KPL-510A|3.2.0|valid|10485760" << 0 << l2
            << serving + QStringList(150, "2000|{lblCalcCRC}|60")
            << QStringList{ko + "downloading"};
        const QString ftp = "update|FTP|192.168.1.5|kaldor|firmware|kpl510a-3.2.0.img|Firmware";
        const QString order =
            "FLUP_PROTOCOL=FTP\r\nFLUP_IP_ADDR=192.168.1.5\r\nFLUP_LOGIN=kaldor\r\n"
            "FLUP_PASSWORD=firmware\r\nFLUP_FILENAME=kpl510a-3.2.0.img\r\nFLUP_SECTION=Firmware\r\n"
            "FLUP_OK=Ok\r\n";
        const QStringList quarters{"5000|downloading|25", "5000|downloading|50",
                                   "5000|downloading|75", "5000|finished|100"};
        QTest::newRow("FTP update") << kLocal << none << ftp << 0 << reset << quarters << took;
        // The size is known only at the end, so the bar shows the share of the
        // poll's time.
        QTest::newRow("TFTP update without the file size")
            << kOffice << QStringList{"server-option", "192.168.1.6", "announcesSize", "off"}
            << "update|TFTP|192.168.1.6|unused|unused|kpl200-2.5.0.img|Firmware" << 0 << reset
            << QStringList{"5000|downloading|1", "5000|downloading|2", "5000|downloading|3",
                           "5000|finished|100"}
            << took;
        const QString login = "failed: the FTP server refused the login of 'kaldor'";
        QTest::newRow("FTP update, wrong login")
            << kLocal << none << QString(ftp).replace("firmware|", "wrong|") << 0
            << QString(order).replace("=firmware", "=wrong") << QStringList{"5000|" + login + "|1"}
            << QStringList{ko + login};
        const QString missing = "failed: the server has no file named 'none.img'";
        // The login fields hold text but are not sent.
        QTest::newRow("TFTP update, missing file")
            << kLocal << none << "update|TFTP|192.168.1.6|unused|unused|none.img|Firmware" << 0
            << "FLUP_PROTOCOL=TFTP\r\nFLUP_IP_ADDR=192.168.1.6\r\nFLUP_FILENAME=none.img\r\n"
               "FLUP_SECTION=Firmware\r\nFLUP_OK=Ok\r\n"
            << QStringList{"5000|" + missing + "|1"} << QStringList{ko + missing};
        // Still reaching the server ("initial") after one minute.
        QTest::newRow("FTP update, still connecting after the limit")
            << kLocal << QStringList{"server-option", "192.168.1.5", "connectQueries", "14"} << ftp
            << 0 << order << QStringList(12, "5000|{errFLUP2}|0") << QStringList{ko + "initial"};
        // The node keeps its old status: the poll runs its 100 rounds, the bar
        // showing the share of the time.
        QStringList idle;
        for (int round = 1; round <= 100; ++round) {
            idle << "5000|idle|" + QString::number(round);
        }
        const QString longLogin(33, QLatin1Char('u'));
        QTest::newRow("refused update order, status without end")
            << kLocal << none << QString(ftp).replace("kaldor", longLogin) << 0
            << QString(order).replace("=kaldor", "=" + longLogin) << idle
            << QStringList{"[1|{errSaving}] ERROR: FLUP_LOGIN takes at most 32 characters",
                           ko + "idle"};
    }
    void advancedFirmware() {
        QFETCH(QString, mac);
        QFETCH(QStringList, setup);
        QFETCH(QString, action);
        QFETCH(int, code);
        QFETCH(QString, request);
        QFETCH(QStringList, pauses);
        QFETCH(QStringList, boxes);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        f.sim(setup);
        WaitLog::Record();
        const kaldorsim::Parameters before = Parameters(f, mac);
        const QStringList act = action.split('|');
        const bool upgrade = act[0] == "upgrade";
        if (upgrade) {
            Combo("cboInterface")->addItems({"eth0 first", "eth1 second"});
            f.dialogs.chosenFiles << WriteImage(f, act.mid(1));
            f.click(Adv(), "cmdChooseFile");
            ExpectErrorDialog(f.dialogs, code);
        } else {
            QVERIFY(Pick("cboUpgProt", act[1]) && Pick("cboUpdSect", act[6]));
            Text("txtServerIP")->setText(act[2]);
            Text("txtFtpUser")->setText(act[3]);
            Text("txtFtpPass")->setText(act[4]);
            Text("txtFileName")->setText(act[5]);
        }
        f.click(Adv(), upgrade ? "cmdFwUpgrade" : "cmdFwUpdate");

        const bool took = boxes.last().endsWith("{errUpgradeOk}");
        QCOMPARE(f.readWorkFile("post.cfg"),
                 ("POST " + mac + "\r\n.PASSWORD=kaldor\r\n" + request).toUtf8());
        QCOMPARE(WaitLog::waits.mid(0, pauses.size()), Resolved(pauses));
        QCOMPARE(WaitLog::waits.size(), pauses.size() + (took ? 10 : 0));  // the reset's own waits
        QCOMPARE(f.dialogs.modalCount, code ? 1 : 0);
        QCOMPARE(f.dialogs.describe(), Resolved(boxes).join('\n'));
        const kaldorsim::Parameters after = Parameters(f, mac);
        QCOMPARE(after.value("VER") != before.value("VER"), took);
        QCOMPARE(after.value("NUM_BOOTS").toInt(), before.value("NUM_BOOTS").toInt() + int(took));
        if (!upgrade) {
            QCOMPARE(f.readWorkFile("get.cfg"),
                     "GET " + mac.toUtf8() +
                         "\r\n.PASSWORD=kaldor\r\nFLUP_FILE_SIZE\r\nFLUP_FLASH_OFFSET\r\n"
                         "FLUP_STATUS\r\nFLUP_DOWNLOADED_SIZE\r\n");
        }
        if (boxes.last().endsWith("] initial")) {
            QCOMPARE(Ctl<QLabel>(W().frmMessage, "lblMessage")->text(), GetText("errFLUP1"));
        }
        // An upgrade empties its frame; an update leaves its frame as it was.
        QVERIFY(!upgrade ||
                (Text("txtFwFile")->text().isEmpty() && Combo("cboInterface")->count() == 0 &&
                 !Control("cmdFwUpgrade")->isEnabled()));
        QCOMPARE(Text("txtFtpPass")->text(), upgrade ? QString() : act[4]);
        QVERIFY(Adv()->isEnabled() && Adv()->isVisible() && !W().frmMessage->isVisible());
    }

    // The update frame's rules: the server address checked when the focus
    // leaves its box, the file name from the file dialog, the update button.
    void updateFrame_data() {
        QTest::addColumn<QStringList>("fields");  // protocol, server, user, password
        QTest::addColumn<bool>("accepted");       // the address
        QTest::addColumn<QString>("chosen");      // the file dialog's path
        QTest::addColumn<bool>("complete");
        QTest::addColumn<bool>("login");  // the login fields are enabled
        const QString path = "/srv/firm ware/kpl/fw 3.2.img";
        QTest::newRow("FTP complete, address bounds")
            << QStringList{"FTP", "0.10.255.255", "u", "p"} << true << path << true << true;
        QTest::newRow("TFTP needs no login, letters count as 0")
            << QStringList{"TFTP", "a.b.c.d", "", ""} << true << "C:\\firmware\\fw 3.2.img" << true
            << false;
        QTest::newRow("small letters are no protocol, no address")
            << QStringList{"ftp", "", "u", "p"} << true << path << false << false;
        QTest::newRow("part 256") << QStringList{"TFTP", "192.168.1.256", "", ""} << false << path
                                  << false << false;
        QTest::newRow("three parts")
            << QStringList{"TFTP", "192.168.1", "", ""} << false << path << false << false;
        QTest::newRow("negative part")
            << QStringList{"TFTP", "10.-1.0.1", "", ""} << false << path << false << false;
        QTest::newRow("leading number too big")
            << QStringList{"TFTP", "300x.1.1.1", "", ""} << false << path << false << false;
    }
    void updateFrame() {
        QFETCH(QStringList, fields);
        QFETCH(bool, accepted);
        QFETCH(QString, chosen);
        QFETCH(bool, complete);
        QFETCH(bool, login);
        Fixture f;
        QVERIFY(f.start());
        W().frmBegin->hide();
        Adv()->show();
        Adv()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Adv()));
        Combo("cboUpgProt")->addItems({"FTP", "TFTP", "ftp"});
        Combo("cboUpdSect")->addItems({"Firmware", "Bootloader"});
        Pick("cboUpgProt", fields[0]);
        QLineEdit* server = Text("txtServerIP");
        server->setFocus(Qt::TabFocusReason);
        server->setText(fields[1]);
        Text("txtFileName")->setFocus(Qt::TabFocusReason);
        QCOMPARE(server->text(), accepted ? fields[1] : QString());
        QCOMPARE(server->hasFocus(), !accepted);
        QCOMPARE(f.dialogs.describe(),
                 accepted ? QString() : "[1|Kaldor Config Tool] " + GetText("errFormat"));
        Text("txtFtpUser")->setText(fields[2]);
        Text("txtFtpPass")->setText(fields[3]);
        f.dialogs.chosenFiles << chosen;
        QDir::setCurrent(f.startDir());
        f.click(Adv(), "cmdFileName");
        QCOMPARE(QDir::current().canonicalPath(), QDir(f.workDir()).canonicalPath());
        QCOMPARE(Text("txtFileName")->text(), QString("fw 3.2.img"));
        QCOMPARE(Control("cmdFwUpdate")->isEnabled(), complete);
        QCOMPARE(Control("txtFtpUser")->isEnabled() && Control("txtFtpPass")->isEnabled(), login);
        // Every field's change checks the frame again.
        for (const char* box : {"txtServerIP", "txtFtpUser", "txtFtpPass", "txtFileName"}) {
            const QString text = Text(box)->text();
            Text(box)->clear();
            QCOMPARE(Control("cmdFwUpdate")->isEnabled(), complete && text.isEmpty());
            Text(box)->setText(text);
        }
        Pick("cboUpdSect", "");
        QVERIFY(!Control("cmdFwUpdate")->isEnabled());
    }
};

QTEST_MAIN(FirmwareTest)
#include "test_firmware.moc"
