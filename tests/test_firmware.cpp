// New firmware for a node, end to end against the simulated network: the
// loader page's upgrade, the advanced window's layer-2 upgrade and the update
// a node fetches over FTP or TFTP.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "support/CatalogueText.h"
#include "support/PromptScripts.h"
#include "support/WaitLog.h"
#include "test_advanced_helpers.h"
#include "ui/frmErrorShort.h"

using namespace advtest;

namespace {

// The firmware server's error dialog for a failing code: its texts, then Help and Ok.
void ExpectErrorDialog(DialogRecorder& dialogs, int code) {
    if (code != 0) {
        dialogs.modalScripts.append([code](QDialog* dialog) {
            auto* error = qobject_cast<frmErrorShort*>(dialog);
            QVERIFY(error);
            QCOMPARE(error->windowTitle(), Session().errUpgradeKo);
            QCOMPARE(Ctl<QLabel>(error, "lblShort")->text(),
                     GetText("errCodeUpgrade" + QString::number(code)));
            QCOMPARE(int(error->errorCode()), code);
            Ctl<QPushButton>(error, "cmdHelp")->click();
            Ctl<QPushButton>(error, "cmdOk")->click();
        });
    }
}

// An image written by kaldor-sim: model, version, kind and payload size.
QString WriteImage(const Fixture& f, const QStringList& arguments) {
    f.sim(QStringList{"image", f.workFile("new firmware.img")} + arguments);
    return f.workFile("new firmware.img");
}

// "K*ms|status message|bar" for K alike pauses, "%n" counting them, ";"-separated.
QStringList Pauses(const QString& text) {
    QStringList pauses;
    for (const QString& item : text.split(';')) {
        for (int n = 1; n <= (item.contains('*') ? item.section('*', 0, 0).toInt() : 1); ++n) {
            pauses << Resolved(item.section('*', -1)).replace("%n", QString::number(n));
        }
    }
    return pauses;
}

}  // namespace

class FirmwareTest : public QObject {
    Q_OBJECT

private slots:
    // Image: a kaldor-sim image kind, "missing" or "folder". Then: a button
    // of the page pressed afterwards and the window shown ("cmdExit>": none,
    // the program ends).
    void loaderUpgrade_data() {
        Columns({"setup", "image", "position", "code", "then"});
        Row("revived, Next finds it", "", "valid", "1", "0", "cmdConfigMac>frmConnect");
        Row("1 file missing, Previous", "", "missing", "1", "1", "cmdPrev>frmBegin");
        Row("2 file unreadable, Exit", "", "folder", "1", "2", "cmdExit>");
        Row("3 not an image", "", "bad-magic", "1", "3", "");
        Row("4 damaged", "", "bad-crc", "1", "4", "");
        Row("5 incomplete", "", "truncated", "1", "5", "");
        Row("6 other model", "", "wrong-model", "1", "6", "");
        Row("7 served on the wrong interface", "", "valid", "0", "7", "");
        Row("8 transfer interrupted", "fault|local|cutTransfer|on", "valid", "1", "8", "");
        Row("9 interface gone after the discovery", "attach|local|none", "valid", "1", "9", "");
    }
    void loaderUpgrade() {
        const int code = Cell("code").toInt(), position = Cell("position").toInt();
        const QString image = Cell("image"), then = Cell("then");
        struct FilterRecorder : DialogRecorder {  // keeps the filter before the title
            QString openFileName(QWidget* owner, const QString& title,
                                 const QString& filter) override {
                fileDialogTitles << filter;
                return DialogRecorder::openFileName(owner, title, filter);
            }
        } dialogs;
        QList<int> bars;
        Fixture f;
        f.sim({"time-scale", "0"});
        f.sim({"loader", "local", "on"});
        RunSim(f, Cell("setup"));
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
        // A chosen interface enables the upgrade; taking the choice back never disables it.
        auto* upgrade = Ctl<QPushButton>(W().frmAdvanced, "cmdUpgrade");
        auto* interfaces = Ctl<QComboBox>(W().frmAdvanced, "cboInterface");
        upgrade->setEnabled(false);
        QString enabled;
        for (int index : {-1, position, -1, position}) {
            interfaces->setCurrentIndex(index);
            enabled += upgrade->isEnabled() ? "1" : "0";
        }
        QCOMPARE(enabled, "0111");
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
        QCOMPARE(dialogs.describe(),
                 Resolved("[0|Kaldor Config Tool] {" +
                          (code ? "errTextCode" + Cell("code") : "errUpgradeOk") + "}"));
        QCOMPARE(dialogs.modalCount, code ? 1 : 0);
        QCOMPARE(upgrade->isEnabled(), code != 0);  // possible again until one succeeds
        QCOMPARE(SimNode(f, kLocal).loaderMode, code != 0);
        QCOMPARE(Parameters(f, kLocal).value("VER"), code ? "3.1.7" : "3.2.0");
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
    // user|password|file name|section"): the last POST after the password, the
    // pauses before any reset ("K*ms|status message|bar" for K alike, "%n"
    // counting them) and the boxes, ";"-separated, "{key}" a catalogue text.
    void advancedFirmware_data() {
        Columns({"mac", "setup", "action", "code", "request", "pauses", "boxes"});
        const QString l2 = "FLUP_L2_OK=Ok\r\n", reset = "HW_RESET_OK=Ok\r\n";
        const QString ko = "[1|{errUpgradeKo}] ", upgrade = "upgrade|KPL-510A|3.2.0";
        const QString serving = "5000|{lblUpgrade}|20", flashing = ";2*2000|{lblCalcCRC}|60";
        const QString took =
            "[1|Kaldor Config Tool] {errResetOk};[0|Kaldor Config Tool] "
            "{errUpgradeOk}";
        Row("upgrade, new firmware after the reset", kOffice, "", "upgrade|KPL-200|2.5.0", "0",
            reset, serving + flashing, took);
        Row("upgrade, the server's verdict before the node's refusal", kLocal,
            "password|local|other", upgrade, "7", l2, serving,
            "[0|Kaldor Config Tool] {errTextCode7}");
        Row("upgrade, a missing answer told before the server's verdict", kLocal,
            "password|local|other;fault|local|noResponse|on", upgrade, "7", l2, serving,
            "[1|Kaldor Config Tool] {errReceiving};[0|Kaldor Config Tool] {errTextCode7}");
        Row("upgrade, node reports a failure", kLocal, "fault|local|flashFails|on", upgrade, "0",
            l2, serving + flashing, ko + "failed: flash write error");
        // 10 MB take 161 queries to write: more than five minutes of polls.
        Row("upgrade, status without end", kLocal, "", upgrade + "|valid|10485760", "0", l2,
            serving + ";150*2000|{lblCalcCRC}|60", ko + "downloading");
        const QString ftp = "update|FTP|192.168.1.5|kaldor|firmware|kpl510a-3.2.0.img|Firmware";
        const QString tftp = "update|TFTP|192.168.1.6|unused|unused|%1|Firmware";
        const QString order =
            "FLUP_PROTOCOL=FTP\r\nFLUP_IP_ADDR=192.168.1.5\r\nFLUP_LOGIN=kaldor\r\n"
            "FLUP_PASSWORD=firmware\r\nFLUP_FILENAME=kpl510a-3.2.0.img\r\nFLUP_SECTION=Firmware\r\n"
            "FLUP_OK=Ok\r\n";
        Row("FTP update", kLocal, "", ftp, "0", reset,
            "5000|downloading|25;5000|downloading|50;5000|downloading|75;5000|finished|100", took);
        // The size known only at the end, the bar shows the share of the poll's time.
        Row("TFTP update without the file size", kOffice,
            "server-option|192.168.1.6|announcesSize|off", tftp.arg("kpl200-2.5.0.img"), "0", reset,
            "3*5000|downloading|%n;5000|finished|100", took);
        const QString login = "failed: the FTP server refused the login of 'kaldor'";
        Row("FTP update, wrong login", kLocal, "", QString(ftp).replace("firmware|", "wrong|"), "0",
            QString(order).replace("=firmware", "=wrong"), "5000|" + login + "|1", ko + login);
        // The login fields hold text but are not sent.
        const QString missing = "failed: the server has no file named 'none.img'";
        Row("TFTP update, missing file", kLocal, "", tftp.arg("none.img"), "0",
            "FLUP_PROTOCOL=TFTP\r\nFLUP_IP_ADDR=192.168.1.6\r\nFLUP_FILENAME=none.img\r\n"
            "FLUP_SECTION=Firmware\r\nFLUP_OK=Ok\r\n",
            "5000|" + missing + "|1", ko + missing);
        Row("FTP update, still connecting after one minute", kLocal,
            "server-option|192.168.1.5|connectQueries|14", ftp, "0", order, "12*5000|{errFLUP2}|0",
            ko + "initial");
        // The node keeps its old status: the poll runs its 100 rounds on the time share.
        const QString longLogin(33, QLatin1Char('u'));
        Row("refused update order, status without end", kLocal, "",
            QString(ftp).replace("kaldor", longLogin), "0",
            QString(order).replace("=kaldor", "=" + longLogin), "100*5000|idle|%n",
            "[1|{errSaving}] ERROR: FLUP_LOGIN takes at most 32 characters;" + ko + "idle");
    }
    void advancedFirmware() {
        const QString mac = Cell("mac");
        const int code = Cell("code").toInt();
        const QStringList act = Cell("action").split('|');
        Fixture f;
        OPEN_ADVANCED(f, mac);
        const QStringList pauses = Pauses(Cell("pauses")),
                          boxes = Resolved(Cell("boxes").split(';'));
        RunSim(f, Cell("setup"));
        WaitLog::Record();
        const kaldorsim::Parameters before = Parameters(f, mac);
        const bool upgrade = act[0] == "upgrade";
        if (upgrade) {
            Combo("cboInterface")->addItems({"eth0 first", "eth1 second"});
            f.dialogs.chosenFiles << WriteImage(f, act.mid(1));
            f.click(Adv(), "cmdChooseFile");
            ExpectErrorDialog(f.dialogs, code);
        } else {
            QVERIFY(Pick("cboUpgProt", act[1]) && Pick("cboUpdSect", act[6]));
            Apply({"txtServerIP=" + act[2], "txtFtpUser=" + act[3], "txtFtpPass=" + act[4],
                   "txtFileName=" + act[5]});
        }
        f.click(Adv(), upgrade ? "cmdFwUpgrade" : "cmdFwUpdate");

        const bool took = boxes.last().endsWith(GetText("errUpgradeOk"));
        QCOMPARE(f.readWorkFile("post.cfg"),
                 ("POST " + mac + "\r\n.PASSWORD=kaldor\r\n" + Cell("request")).toUtf8());
        QCOMPARE(WaitLog::waits.mid(0, pauses.size()), pauses);
        QCOMPARE(WaitLog::waits.size(), pauses.size() + (took ? 10 : 0));  // the reset's own waits
        QCOMPARE(f.dialogs.modalCount, code ? 1 : 0);
        QCOMPARE(f.dialogs.describe(), boxes.join('\n'));
        const kaldorsim::Parameters after = Parameters(f, mac);  // new firmware, one restart
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

    // The update frame: the server address checked when the focus leaves its
    // box, the bare file name from the file dialog, the login fields only for
    // FTP and the button only with every field filled.
    void updateFrame_data() {
        Columns({"fields", "accepted", "chosen", "complete", "login"});  // protocol|server|user|pw
        const char* path = "/srv/firm ware/kpl/fw 3.2.img";
        Row("FTP complete, address bounds", "FTP|0.10.255.255|u|p", "1", path, "1", "1");
        Row("TFTP needs no login, letters count as 0", "TFTP|a.b.c.d||", "1",
            "C:\\firmware\\fw 3.2.img", "1", "0");
        Row("small letters are no protocol, no address", "ftp||u|p", "1", path, "0", "0");
        Row("a piece above 255", "TFTP|192.168.1.256||", "0", path, "0", "0");
        Row("three parts", "TFTP|192.168.1||", "0", path, "0", "0");
        Row("negative part", "TFTP|10.-1.0.1||", "0", path, "0", "0");
        Row("leading number too big", "TFTP|300x.1.1.1||", "0", path, "0", "0");
    }
    void updateFrame() {
        const QStringList fields = Cell("fields").split('|');
        const bool accepted = Cell("accepted") == "1", complete = Cell("complete") == "1";
        Fixture f;
        QVERIFY(f.start());
        W().assistant->hide();
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
                 accepted ? QString() : Resolved("[1|Kaldor Config Tool] {errFormat}"));
        Apply({"txtFtpUser=" + fields[2], "txtFtpPass=" + fields[3]});
        f.dialogs.chosenFiles << Cell("chosen");
        QDir::setCurrent(f.startDir());
        f.click(Adv(), "cmdFileName");
        QCOMPARE(QDir::current().canonicalPath(), QDir(f.workDir()).canonicalPath());
        QCOMPARE(Text("txtFileName")->text(), "fw 3.2.img");
        QCOMPARE(Enabled({"cmdFwUpdate", "txtFtpUser", "txtFtpPass"}),
                 Cell("complete") + Cell("login") + Cell("login"));
        // Every field's change checks the frame again.
        for (const char* box : {"txtServerIP", "txtFtpUser", "txtFtpPass", "txtFileName"}) {
            const QString text = Text(box)->text();
            Text(box)->clear();
            QCOMPARE(Control("cmdFwUpdate")->isEnabled(), complete && text.isEmpty());
            Text(box)->setText(text);
        }
        Pick("cboUpdSect", "");
        QVERIFY(!Control("cmdFwUpdate")->isEnabled());
        // A cancelled choice gives no name.
        f.dialogs.chosenFiles << "";
        f.click(Adv(), "cmdFileName");
        QCOMPARE(Text("txtFileName")->text(), QString());
    }
};

QTEST_MAIN(FirmwareTest)
#include "test_firmware.moc"
