// New firmware for a node: the loader page's upgrade when no node answers,
// the advanced window's layer-2 upgrade, and the update a node fetches from
// an FTP or TFTP server, end to end against the simulated network.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "app/TextFiles.h"
#include "app/Values.h"
#include "firmware/FirmwareUpdate.h"
#include "firmware/Layer2Upgrade.h"
#include "lang/Catalogue.h"
#include "test_advanced_helpers.h"
#include "ui/frmErrorShort.h"

using namespace advtest;

namespace {

using Commands = QList<QStringList>;

const QString kFtpServer = QStringLiteral("192.168.1.5");
const QString kTftpServer = QStringLiteral("192.168.1.6");
const QString kImage510 = QStringLiteral("kpl510a-3.2.0.img");
const QString kImage200 = QStringLiteral("kpl200-2.5.0.img");

// What the status window showed at one fixed wait.
struct Pause {
    int ms;
    QString message;
    int bar;
};

QList<Pause> gPauses;
std::function<void(int)> gOnPause;

void RecordingWait(int milliseconds) {
    Fixture::waited += milliseconds;
    QWidget* status = W().frmMessage;
    gPauses.append({milliseconds, Ctl<QLabel>(status, "lblMessage")->text(),
                    Ctl<QProgressBar>(status, "barMessage")->value()});
    if (gOnPause) {
        gOnPause(milliseconds);
    }
}

void RecordPauses() {
    gPauses.clear();
    gOnPause = nullptr;
    InstallWait(RecordingWait);
}

QList<int> PauseLengths() {
    QList<int> lengths;
    for (const Pause& p : std::as_const(gPauses)) {
        lengths << p.ms;
    }
    return lengths;
}

// "message|bar" of every pause of the given length.
QStringList Shown(int ms) {
    QStringList shown;
    for (const Pause& p : std::as_const(gPauses)) {
        if (p.ms == ms) {
            shown << p.message + QLatin1Char('|') + QString::number(p.bar);
        }
    }
    return shown;
}

// Texts of a table row: "@key" stands for the catalogue text of key.
QString Resolve(const QString& text) {
    return text.startsWith(QLatin1Char('@')) ? GetText(text.mid(1)) : text;
}

QStringList ResolveAll(QStringList texts) {
    for (QString& t : texts) {
        const qsizetype bar = t.lastIndexOf(QLatin1Char('|'));
        t = Resolve(t.left(bar)) + t.mid(bar);
    }
    return texts;
}

QByteArray Crlf(const QStringList& lines) {
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

// Every value the status bar takes while it is recorded.
class BarValues : public QObject {
public:
    BarValues() {
        connect(Ctl<QProgressBar>(W().frmMessage, "barMessage"), &QProgressBar::valueChanged, this,
                [this](int v) { values << v; });
    }
    QList<int> values;
};

QString Box(const DialogRecorder::Box& b) {
    return QStringLiteral("%1|%2|%3").arg(int(b.icon)).arg(b.title, b.text);
}

QStringList BoxesFrom(const Fixture& f, qsizetype first) {
    QStringList boxes;
    for (qsizetype i = first; i < f.dialogs.boxes.size(); ++i) {
        boxes << Box(f.dialogs.boxes[i]);
    }
    return boxes;
}

QString Expected(const QString& text, MsgIcon icon, const QString& title = kAppTitle) {
    return QStringLiteral("%1|%2|%3").arg(int(icon)).arg(title, text);
}

// What the short error dialog showed; its Help button is pressed, then Ok.
struct ErrorShown {
    int count = 0;
    QString title;
    QString shortText;
    qint16 code = -1;
};

void ScriptErrorDialog(Fixture& f, ErrorShown* shown) {
    f.dialogs.modalScripts.append([shown](QDialog* dialog) {
        auto* error = qobject_cast<frmErrorShort*>(dialog);
        QVERIFY(error);
        ++shown->count;
        shown->title = error->windowTitle();
        shown->shortText = error->ui.lblShort->text();
        shown->code = error->ErrorCode;
        error->ui.cmdHelp->click();
        error->ui.cmdOk->click();
    });
}

// Writes an image with kaldor-sim: model, version, kind and payload size.
QString WriteImage(const Fixture& f, const QStringList& arguments) {
    const QString path = f.workFile(QStringLiteral("new firmware.img"));
    f.sim(QStringList{QStringLiteral("image"), path} + arguments);
    return path;
}

void CheckUpgradeFrameCleared() {
    QVERIFY(Text("txtFwFile")->text().isEmpty());
    QCOMPARE(Combo("cboInterface")->count(), 0);
    QVERIFY(!Control("cmdFwUpgrade")->isEnabled());
    QVERIFY(Adv()->isEnabled());
    QVERIFY(!W().frmMessage->isVisible());
}

QStringList ResetPauses() {
    return QStringList(10, QString::number(1500));
}

QStringList Lengths(const QList<int>& lengths) {
    QStringList texts;
    for (int l : lengths) {
        texts << QString::number(l);
    }
    return texts;
}

// The firmware-update frame filled as the user would.
void FillUpdateFrame(const QStringList& fields) {
    QVERIFY(Pick("cboUpgProt", fields[0]));
    Text("txtServerIP")->setText(fields[1]);
    Text("txtFtpUser")->setText(fields[2]);
    Text("txtFtpPass")->setText(fields[3]);
    Text("txtFileName")->setText(fields[4]);
    QVERIFY(Pick("cboUpdSect", fields[5]));
}

QString StatusQuery(const QString& mac) {
    return QStringLiteral(
               "GET %1\r\n.PASSWORD=kaldor\r\nFLUP_FILE_SIZE\r\nFLUP_FLASH_OFFSET\r\n"
               "FLUP_STATUS\r\nFLUP_DOWNLOADED_SIZE\r\n")
        .arg(mac);
}

}  // namespace

class FirmwareTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { gOnPause = nullptr; }

    void loaderUpgrade_data();
    void loaderUpgrade();
    void loaderCancelled();
    void loaderPageButtons_data();
    void loaderPageButtons();
    void advancedUpgrade_data();
    void advancedUpgrade();
    void advancedUpgradeFails_data();
    void advancedUpgradeFails();
    void fileUpdate_data();
    void fileUpdate();
    void startThreshold_data();
    void startThreshold();
    void fieldsComplete_data();
    void fieldsComplete();
    void addressCheck_data();
    void addressCheck();
    void addressCheckOnLeaving();
    void fileNameChoice_data();
    void fileNameChoice();
};

void FirmwareTest::loaderUpgrade_data() {
    QTest::addColumn<Commands>("setup");
    QTest::addColumn<QStringList>("image");  // kaldor-sim image arguments, or "missing", "folder"
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("dropInterface");
    QTest::addColumn<int>("code");
    const Commands loader{{"loader", "local", "on"}};
    const QStringList valid{"KPL-510A", "3.2.0", "valid"};
    QTest::newRow("node in loader mode revived") << loader << valid << 1 << false << 0;
    QTest::newRow("loader node on the first interface")
        << Commands{{"attach", "local", "eth0"}, {"loader", "local", "on"}} << valid << 0 << false
        << 0;
    QTest::newRow("1 file missing") << loader << QStringList{"missing"} << 1 << false << 1;
    QTest::newRow("2 file unreadable") << loader << QStringList{"folder"} << 1 << false << 2;
    QTest::newRow("3 not an image")
        << loader << QStringList{"KPL-510A", "3.2.0", "bad-magic"} << 1 << false << 3;
    QTest::newRow("4 damaged") << loader << QStringList{"KPL-510A", "3.2.0", "bad-crc"} << 1
                               << false << 4;
    QTest::newRow("5 incomplete") << loader << QStringList{"KPL-510A", "3.2.0", "truncated"} << 1
                                  << false << 5;
    QTest::newRow("6 other model")
        << loader << QStringList{"KPL-200", "2.5.0", "valid"} << 1 << false << 6;
    QTest::newRow("6 header names another model")
        << loader << QStringList{"KPL-510A", "3.2.0", "wrong-model"} << 1 << false << 6;
    QTest::newRow("7 no node") << Commands{{"attach", "local", "none"}} << valid << 1 << false << 7;
    QTest::newRow("7 served on the wrong interface") << loader << valid << 0 << false << 7;
    QTest::newRow("8 transfer interrupted")
        << Commands{{"loader", "local", "on"}, {"fault", "local", "cutTransfer", "on"}} << valid
        << 1 << false << 8;
    QTest::newRow("9 interface gone")
        << Commands{{"attach", "local", "none"}} << valid << 1 << true << 9;
}

void FirmwareTest::loaderUpgrade() {
    QFETCH(Commands, setup);
    QFETCH(QStringList, image);
    QFETCH(int, position);
    QFETCH(bool, dropInterface);
    QFETCH(int, code);
    Fixture f;
    f.sim({"time-scale", "0"});
    for (const QStringList& command : setup) {
        f.sim(command);
    }
    QVERIFY(f.start());
    f.click(W().frmBegin, "cmdNext");
    QVERIFY(W().frmAdvanced->isVisible());
    if (dropInterface) {
        ChangeNetwork(f, [](kaldorsim::Network& net, QString*) {
            net.interfaces.removeLast();
            return true;
        });
    }
    const QString file = image[0] == "missing"  ? f.workFile("no such firmware.img")
                         : image[0] == "folder" ? f.workFile("languages")
                                                : WriteImage(f, image);
    Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->setCurrentIndex(position);
    f.dialogs.chosenFiles << file;
    ErrorShown shown;
    if (code != 0) {
        ScriptErrorDialog(f, &shown);
    }
    const qsizetype boxesBefore = f.dialogs.boxes.size();
    BarValues bars;
    f.click(W().frmAdvanced, "cmdUpgrade");

    QCOMPARE(bars.values, (QList<int>{0, 20, 40, 60, 80, 100}));
    QCOMPARE(ValInt(ReadFirstLine(f.workFile("winl2fwserver.tmp")).value_or("-")), code);
    QVERIFY(W().frmAdvanced->isEnabled());
    QVERIFY(!W().frmMessage->isVisible());
    auto* upgrade = Ctl<QPushButton>(W().frmAdvanced, "cmdUpgrade");
    const kaldorsim::Node node = SimNode(f, kLocal);
    if (code != 0) {
        QCOMPARE(shown.count, 1);
        QCOMPARE(shown.title, Session().errUpgradeKo);
        QCOMPARE(shown.shortText, GetText(QStringLiteral("errCodeUpgrade%1").arg(code)));
        QCOMPARE(shown.code, code);
        QCOMPARE(BoxesFrom(f, boxesBefore),
                 QStringList{Expected(GetText(QStringLiteral("errTextCode%1").arg(code)),
                                      MsgIcon::Information)});
        QVERIFY(upgrade->isEnabled());
        QCOMPARE(node.params.value("VER"), QString("3.1.7"));
        return;
    }
    QCOMPARE(shown.count, 0);
    QCOMPARE(BoxesFrom(f, boxesBefore),
             QStringList{Expected(Session().errUpgradeOk, MsgIcon::Information)});
    QVERIFY(!upgrade->isEnabled());
    QVERIFY(!node.loaderMode);
    QCOMPARE(node.params.value("VER"), QString("3.2.0"));
    // The node answers again: Next finds it (and the prompts for the
    // passwords of other nodes are cancelled).
    f.click(W().frmAdvanced, "cmdConfigMac");
    QVERIFY(W().frmConnect->isVisible());
    QCOMPARE(Session().LocalMac, kLocal);
}

void FirmwareTest::loaderCancelled() {
    // A recorder that also keeps the file filter the dialog was given.
    class FilterRecorder : public DialogRecorder {
    public:
        QStringList filters;
        QString openFileName(QWidget* owner, const QString& title, const QString& filter) override {
            filters << filter;
            return DialogRecorder::openFileName(owner, title, filter);
        }
    };
    FilterRecorder dialogs;
    Fixture f;
    f.sim({"loader", "local", "on"});
    QVERIFY(f.start());
    f.click(W().frmBegin, "cmdNext");
    InstallDialogs(&dialogs);
    f.writeWorkFile("winl2fwserver.tmp", "3\r\n");
    QDir::setCurrent(f.startDir());
    BarValues bars;
    f.click(W().frmAdvanced, "cmdUpgrade");
    QCOMPARE(dialogs.fileDialogTitles, QStringList{GetText("cdlTitle")});
    QCOMPARE(dialogs.filters, QStringList{GetText("cdlFilter")});
    QCOMPARE(QDir::current().canonicalPath(), QDir(f.workDir()).canonicalPath());
    // Nothing ran: the old result is still there and nothing was shown.
    QCOMPARE(f.readWorkFile("winl2fwserver.tmp"), QByteArray("3\r\n"));
    QVERIFY(bars.values.isEmpty());
    QCOMPARE(dialogs.boxes.size(), 0);
    QCOMPARE(dialogs.modalCount, 0);
    QVERIFY(W().frmAdvanced->isEnabled());
    QVERIFY(SimNode(f, kLocal).loaderMode);
}

void FirmwareTest::loaderPageButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shown");  // the window shown afterwards
    QTest::addColumn<bool>("exits");
    QTest::newRow("Next discovers again") << "cmdConfigMac"
                                          << "frmConnect" << false;
    QTest::newRow("Previous") << "cmdPrev"
                              << "frmBegin" << false;
    QTest::newRow("Exit") << "cmdExit"
                          << "" << true;
}

void FirmwareTest::loaderPageButtons() {
    QFETCH(QString, button);
    QFETCH(QString, shown);
    QFETCH(bool, exits);
    Fixture f;
    f.sim({"attach", "local", "none"});
    QVERIFY(f.start());
    f.click(W().frmBegin, "cmdNext");
    auto* interfaces = Ctl<QComboBox>(W().frmAdvanced, "cboInterface");
    auto* upgrade = Ctl<QPushButton>(W().frmAdvanced, "cmdUpgrade");
    // Choosing an interface enables the upgrade; no choice leaves it as it is.
    upgrade->setEnabled(false);
    interfaces->setCurrentIndex(-1);
    QVERIFY(!upgrade->isEnabled());
    interfaces->setCurrentIndex(1);
    QVERIFY(upgrade->isEnabled());
    interfaces->setCurrentIndex(-1);
    QVERIFY(upgrade->isEnabled());
    f.sim({"attach", "local", "eth1"});
    f.click(W().frmAdvanced, qPrintable(button));
    QVERIFY(!W().frmAdvanced->isVisible());
    QCOMPARE(f.exitCode.has_value(), exits);
    for (QWidget* window : AllWindows(W())) {
        if (window && window->objectName() == shown) {
            QVERIFY2(window->isVisible(), qPrintable(shown));
        }
    }
}

void FirmwareTest::advancedUpgrade_data() {
    QTest::addColumn<QString>("mac");
    QTest::addColumn<QStringList>("image");
    QTest::newRow("node on the cable") << kLocal << QStringList{"KPL-510A", "3.2.0"};
    QTest::newRow("remote node") << kOffice << QStringList{"KPL-200", "2.5.0"};
}

void FirmwareTest::advancedUpgrade() {
    QFETCH(QString, mac);
    QFETCH(QStringList, image);
    Fixture f;
    OPEN_ADVANCED(f, mac);
    RecordPauses();
    const QString file = WriteImage(f, image);
    Combo("cboInterface")->addItems({"eth0 first", "eth1 second"});
    f.dialogs.chosenFiles << file;
    QDir::setCurrent(f.startDir());
    f.click(Adv(), "cmdChooseFile");
    QCOMPARE(QDir::current().canonicalPath(), QDir(f.workDir()).canonicalPath());
    QCOMPARE(Text("txtFwFile")->text(), file);
    QVERIFY(Control("cmdFwUpgrade")->isEnabled());
    BarValues bars;
    f.click(Adv(), "cmdFwUpgrade");

    // Server, then the client 5 s later; two polls: the node writes the
    // image to flash, then reports the end; then the hardware reset.
    QCOMPARE(Lengths(PauseLengths()), QStringList({"5000", "2000", "2000"}) + ResetPauses());
    QCOMPARE(Shown(2000), QStringList(2, Session().lblCalcCRC + "|60"));
    QCOMPARE(bars.values.mid(0, 5), (QList<int>{0, 20, 40, 60, 80}));
    QCOMPARE(BoxesFrom(f, 0),
             QStringList({Expected(Session().errResetOk, MsgIcon::Exclamation),
                          Expected(Session().errUpgradeOk, MsgIcon::Information)}));
    QCOMPARE(Parameters(f, mac).value("VER"), image[1]);
    QCOMPARE(Parameters(f, mac).value("NUM_BOOTS"), QString("2"));
    QCOMPARE(f.readWorkFile("get.cfg"), Crlf({"GET " + mac, ".PASSWORD=kaldor", "FLUP_STATUS"}));
    CheckUpgradeFrameCleared();
    QVERIFY(Adv()->isVisible());
}

void FirmwareTest::advancedUpgradeFails_data() {
    QTest::addColumn<Commands>("setup");
    QTest::addColumn<QStringList>("image");
    QTest::addColumn<QStringList>("onFirstPoll");  // a kaldor-sim command
    QTest::addColumn<int>("code");                 // the server's error code, 0 for none
    QTest::addColumn<int>("polls");
    QTest::addColumn<QString>("ending");  // "<response>": the response's first line
    const QStringList valid{"KPL-510A", "3.2.0"};
    QTest::newRow("server refuses the file")
        << Commands{} << QStringList{"KPL-510A", "3.2.0", "bad-magic"} << QStringList{} << 3 << 0
        << "";
    // The client's refusal is not shown: the server's verdict comes first.
    QTest::newRow("node refuses the password, nobody takes the image")
        << Commands{{"password", "local", "other"}} << valid << QStringList{} << 7 << 0 << "";
    QTest::newRow("node reports a failure") << Commands{{"fault", "local", "flashFails", "on"}}
                                            << valid << QStringList{} << 0 << 2 << "<response>";
    QTest::newRow("node stops answering")
        << Commands{} << valid << QStringList{"fault", "local", "noAnswer", "on"} << 0 << 1
        << "<response>";
    // 10 MB take 161 queries to write: more than five minutes of polls.
    QTest::newRow("status without end")
        << Commands{} << QStringList{"KPL-510A", "3.2.0", "valid", "10485760"} << QStringList{} << 0
        << kL2PollLimitMs / kL2PollPauseMs << "downloading";
}

void FirmwareTest::advancedUpgradeFails() {
    QFETCH(Commands, setup);
    QFETCH(QStringList, image);
    QFETCH(QStringList, onFirstPoll);
    QFETCH(int, code);
    QFETCH(int, polls);
    QFETCH(QString, ending);
    Fixture f;
    OPEN_ADVANCED(f, kLocal);
    for (const QStringList& command : setup) {
        f.sim(command);
    }
    RecordPauses();
    gOnPause = [&f, onFirstPoll](int ms) {
        if (ms == kL2PollPauseMs && !onFirstPoll.isEmpty() && gPauses.size() == 2) {
            f.sim(onFirstPoll);
        }
    };
    Text("txtFwFile")->setText(WriteImage(f, image));
    ErrorShown shown;
    ScriptErrorDialog(f, &shown);
    f.click(Adv(), "cmdFwUpgrade");

    QStringList pauses{"5000"};
    pauses += QStringList(polls, QString::number(kL2PollPauseMs));
    QCOMPARE(Lengths(PauseLengths()), pauses);
    if (code != 0) {
        QCOMPARE(shown.count, 1);
        QCOMPARE(shown.shortText, Session().errCodeUpgrade[code]);
        QCOMPARE(BoxesFrom(f, 0),
                 QStringList{Expected(Session().errTextCode[code], MsgIcon::Information)});
    } else {
        QCOMPARE(shown.count, 0);
        const QString text = ending == "<response>"
                                 ? ReadFirstLine(f.workFile("ihcp_client.tmp")).value_or("-")
                                 : ending;
        QCOMPARE(BoxesFrom(f, 0),
                 QStringList{Expected(text, MsgIcon::Exclamation, Session().errUpgradeKo)});
    }
    QCOMPARE(Parameters(f, kLocal).value("VER"), QString("3.1.7"));
    QCOMPARE(Parameters(f, kLocal).value("NUM_BOOTS"), QString("1"));
    CheckUpgradeFrameCleared();
}

void FirmwareTest::fileUpdate_data() {
    QTest::addColumn<QString>("mac");
    QTest::addColumn<Commands>("setup");
    QTest::addColumn<QStringList>("fields");  // protocol, server, user, password, file, section
    QTest::addColumn<QStringList>("order");   // the lines after the two header lines
    QTest::addColumn<QString>("refusal");     // the node's answer to a refused order
    QTest::addColumn<QStringList>("shown");   // "message|bar" at each 5 s pause
    QTest::addColumn<QString>("failure");     // the last status, empty when it finished
    QTest::addColumn<QString>("version");     // VER afterwards
    const QStringList quarters{"downloading|25", "downloading|50", "downloading|75",
                               "finished|100"};
    const QStringList ftp{"FTP", kFtpServer, "kaldor", "firmware", kImage510, "Firmware"};
    const QStringList ftpOrder{"FLUP_PROTOCOL=FTP",
                               "FLUP_IP_ADDR=192.168.1.5",
                               "FLUP_LOGIN=kaldor",
                               "FLUP_PASSWORD=firmware",
                               "FLUP_FILENAME=" + kImage510,
                               "FLUP_SECTION=Firmware",
                               "FLUP_OK=Ok"};
    const auto tftpOrder = [](const QString& file) {
        return QStringList{"FLUP_PROTOCOL=TFTP", "FLUP_IP_ADDR=192.168.1.6",
                           "FLUP_FILENAME=" + file, "FLUP_SECTION=Firmware", "FLUP_OK=Ok"};
    };
    QTest::newRow("FTP") << kLocal << Commands{} << ftp << ftpOrder << "" << quarters << ""
                         << "3.2.0";
    // The login fields hold text but are not sent; the size is known only
    // at the end, so the bar shows the share of the poll's time.
    QTest::newRow("TFTP without the file size")
        << kOffice << Commands{{"server-option", kTftpServer, "announcesSize", "off"}}
        << QStringList{"TFTP", kTftpServer, "unused", "unused", kImage200, "Firmware"}
        << tftpOrder(kImage200) << ""
        << QStringList{"downloading|1", "downloading|2", "downloading|3", "finished|100"} << ""
        << "2.5.0";
    QTest::newRow("boot loader section keeps the version")
        << kLocal << Commands{} << QStringList(ftp).replaceInStrings("Firmware", "Bootloader")
        << QStringList(ftpOrder).replaceInStrings("=Firmware", "=Bootloader") << "" << quarters
        << ""
        << "3.1.7";
    const QString login = "failed: the FTP server refused the login of 'kaldor'";
    QTest::newRow("wrong FTP login")
        << kLocal << Commands{} << QStringList(ftp).replaceInStrings("firmware", "wrong")
        << QStringList(ftpOrder).replaceInStrings("=firmware", "=wrong") << ""
        << QStringList{login + "|1"} << login << "3.1.7";
    const QString missing = "failed: the server has no file named 'none.img'";
    QTest::newRow("missing file") << kLocal << Commands{}
                                  << QStringList{"TFTP", kTftpServer, "",
                                                 "",     "none.img",  "Firmware"}
                                  << tftpOrder("none.img") << "" << QStringList{missing + "|1"}
                                  << missing << "3.1.7";
    const QString noServer = "failed: no FTP server answers at 10.0.0.9";
    QTest::newRow("no server at the address")
        << kLocal << Commands{} << QStringList(ftp).replaceInStrings(kFtpServer, "10.0.0.9")
        << QStringList(ftpOrder).replaceInStrings("192.168.1.5", "10.0.0.9") << ""
        << QStringList{"@errFLUP2|0", "@errFLUP2|0", noServer + "|3"} << noServer << "3.1.7";
    const QString otherModel =
        "failed: 'kpl200-2.5.0.img' is not a valid firmware image for KPL-510A";
    QTest::newRow("image for another model")
        << kLocal << Commands{} << QStringList(ftp).replaceInStrings(kImage510, kImage200)
        << QStringList(ftpOrder).replaceInStrings(kImage510, kImage200) << ""
        << QStringList{"downloading|25", "downloading|50", "downloading|75", otherModel + "|100"}
        << otherModel << "3.1.7";
    const QString cut = "failed: transfer interrupted";
    QTest::newRow("transfer interrupted")
        << kLocal << Commands{{"fault", "local", "cutTransfer", "on"}} << ftp << ftpOrder << ""
        << QStringList{"downloading|25", "downloading|50", cut + "|50"} << cut << "3.1.7";
    // The node keeps its old status: the poll runs its 100 rounds, the bar
    // showing the share of the time.
    const QString longLogin(33, QLatin1Char('u'));
    const int rounds = kUpdatePollEnd / kUpdatePollStep;
    QStringList idle;
    for (int round = 1; round <= rounds; ++round) {
        idle << "idle|" + QString::number(round * 100 / rounds);
    }
    QTest::newRow("refused order, status without end")
        << kLocal << Commands{} << QStringList(ftp).replaceInStrings("kaldor", longLogin)
        << QStringList(ftpOrder).replaceInStrings("=kaldor", "=" + longLogin)
        << "ERROR: FLUP_LOGIN takes at most 32 characters" << idle << "idle"
        << "3.1.7";
}

void FirmwareTest::fileUpdate() {
    QFETCH(QString, mac);
    QFETCH(Commands, setup);
    QFETCH(QStringList, fields);
    QFETCH(QStringList, order);
    QFETCH(QString, refusal);
    QFETCH(QStringList, shown);
    QFETCH(QString, failure);
    QFETCH(QString, version);
    Fixture f;
    for (const QStringList& command : setup) {
        f.sim(command);
    }
    OPEN_ADVANCED(f, mac);
    FillUpdateFrame(fields);
    RecordPauses();
    QByteArray sent;
    gOnPause = [&f, &sent](int) {
        if (sent.isEmpty()) {
            sent = f.readWorkFile("post.cfg");
        }
    };
    f.click(Adv(), "cmdFwUpdate");

    QCOMPARE(sent, Crlf(QStringList{"POST " + mac, ".PASSWORD=kaldor"} + order));
    QCOMPARE(f.readWorkFile("get.cfg"), StatusQuery(mac).toUtf8());
    QCOMPARE(Shown(kUpdatePollPauseMs), ResolveAll(shown));
    const QStringList resets = failure.isEmpty() ? ResetPauses() : QStringList();
    QCOMPARE(Lengths(PauseLengths()),
             QStringList(shown.size(), QString::number(kUpdatePollPauseMs)) + resets);
    // A refused order is reported, and the status is followed all the same.
    QStringList boxes;
    if (!refusal.isEmpty()) {
        boxes << Expected(refusal, MsgIcon::Exclamation, Session().errSaving);
    }
    if (failure.isEmpty()) {
        boxes << Expected(Session().errResetOk, MsgIcon::Exclamation)
              << Expected(Session().errUpgradeOk, MsgIcon::Information);
    } else {
        boxes << Expected(failure, MsgIcon::Exclamation, Session().errUpgradeKo);
    }
    QCOMPARE(BoxesFrom(f, 0), boxes);
    QCOMPARE(Parameters(f, mac).value("VER"), version);
    // The update leaves the frame as it was.
    QCOMPARE(Text("txtFtpPass")->text(), fields[3]);
    QCOMPARE(Combo("cboUpgProt")->currentText(), fields[0]);
    QVERIFY(Adv()->isEnabled());
    QVERIFY(Adv()->isVisible());
    QVERIFY(!W().frmMessage->isVisible());
}

void FirmwareTest::startThreshold_data() {
    QTest::addColumn<int>("connectQueries");  // status queries the node spends reaching the server
    QTest::addColumn<bool>("finishes");
    const int polls = kUpdateStartLimit / kUpdatePollStep;
    // The first query, before the poll, is one of them.
    QTest::newRow("download starts on the last poll within the limit") << polls + 1 << true;
    QTest::newRow("still connecting after the limit") << polls + 2 << false;
}

void FirmwareTest::startThreshold() {
    QFETCH(int, connectQueries);
    QFETCH(bool, finishes);
    Fixture f;
    f.sim({"server-option", kFtpServer, "connectQueries", QString::number(connectQueries)});
    OPEN_ADVANCED(f, kLocal);
    FillUpdateFrame({"FTP", kFtpServer, "kaldor", "firmware", kImage510, "Firmware"});
    RecordPauses();
    f.click(Adv(), "cmdFwUpdate");

    const QString waiting = GetText("errFLUP2") + "|0";
    QStringList expected(kUpdateStartLimit / kUpdatePollStep, waiting);
    if (finishes) {
        expected +=
            QStringList{"downloading|25", "downloading|50", "downloading|75", "finished|100"};
    }
    QCOMPARE(Shown(kUpdatePollPauseMs), expected);
    if (finishes) {
        QCOMPARE(Parameters(f, kLocal).value("VER"), QString("3.2.0"));
        return;
    }
    QCOMPARE(Ctl<QLabel>(W().frmMessage, "lblMessage")->text(), GetText("errFLUP1"));
    QCOMPARE(BoxesFrom(f, 0),
             QStringList{Expected("initial", MsgIcon::Exclamation, Session().errUpgradeKo)});
    QCOMPARE(Parameters(f, kLocal).value("VER"), QString("3.1.7"));
}

void FirmwareTest::fieldsComplete_data() {
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<QStringList>("texts");  // server, user, password, file name
    QTest::addColumn<QString>("section");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<bool>("login");  // the login fields are enabled
    const QStringList all{"10.0.0.1", "u", "p", "fw.img"};
    QTest::newRow("FTP complete") << "FTP" << all << "Firmware" << true << true;
    QTest::newRow("FTP without password")
        << "FTP" << QStringList{"10.0.0.1", "u", "", "fw.img"} << "Firmware" << false << true;
    QTest::newRow("FTP without user")
        << "FTP" << QStringList{"10.0.0.1", "", "p", "fw.img"} << "Firmware" << false << true;
    QTest::newRow("TFTP needs no login")
        << "TFTP" << QStringList{"10.0.0.1", "", "", "fw.img"} << "Firmware" << true << false;
    QTest::newRow("TFTP without server")
        << "TFTP" << QStringList{"", "u", "p", "fw.img"} << "Firmware" << false << false;
    QTest::newRow("TFTP without file name")
        << "TFTP" << QStringList{"10.0.0.1", "u", "p", ""} << "Firmware" << false << false;
    QTest::newRow("no section") << "FTP" << all << "" << false << true;
    QTest::newRow("small letters are no protocol") << "ftp" << all << "Firmware" << false << false;
    QTest::newRow("no protocol") << "" << all << "Firmware" << false << false;
}

void FirmwareTest::fieldsComplete() {
    QFETCH(QString, protocol);
    QFETCH(QStringList, texts);
    QFETCH(QString, section);
    QFETCH(bool, complete);
    QFETCH(bool, login);
    Fixture f;
    QVERIFY(f.start());
    QComboBox* protocols = Combo("cboUpgProt");
    protocols->addItems({"FTP", "TFTP", "ftp"});
    Combo("cboUpdSect")->addItems({"Firmware", "Bootloader"});
    Text("txtServerIP")->setText(texts[0]);
    Text("txtFtpUser")->setText(texts[1]);
    Text("txtFtpPass")->setText(texts[2]);
    Text("txtFileName")->setText(texts[3]);
    Combo("cboUpdSect")->setCurrentIndex(Combo("cboUpdSect")->findText(section));
    protocols->setCurrentIndex(
        protocols->findText(protocol, Qt::MatchExactly | Qt::MatchCaseSensitive));
    QCOMPARE(FwUpdateFieldsComplete(), complete);
    QCOMPARE(Control("cmdFwUpdate")->isEnabled(), complete);
    QCOMPARE(Control("txtFtpUser")->isEnabled(), login);
    QCOMPARE(Control("txtFtpPass")->isEnabled(), login);
    // Emptying a field afterwards disables the button again.
    Text("txtFileName")->clear();
    QVERIFY(!Control("cmdFwUpdate")->isEnabled());
    Text("txtFileName")->setText(texts[3]);
    QCOMPARE(Control("cmdFwUpdate")->isEnabled(), complete);
}

void FirmwareTest::addressCheck_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("empty") << "" << true;
    QTest::newRow("ordinary") << "192.168.1.10" << true;
    QTest::newRow("bounds") << "0.0.255.255" << true;
    QTest::newRow("last part 300") << "192.168.1.300" << false;
    QTest::newRow("first part 256") << "256.1.1.1" << false;
    QTest::newRow("three parts") << "192.168.1" << false;
    QTest::newRow("five parts") << "1.2.3.4.5" << false;
    QTest::newRow("negative part") << "10.-1.0.1" << false;
    QTest::newRow("letters count as 0") << "a.b.c.d" << true;
    QTest::newRow("empty parts count as 0") << "..." << true;
    QTest::newRow("leading number counts") << "12x.1.1.1" << true;
    QTest::newRow("leading number too big") << "300x.1.1.1" << false;
    QTest::newRow("blanks before a number") << " 7.1.1.1" << true;
    QTest::newRow("no dots") << "10001" << false;
}

void FirmwareTest::addressCheck() {
    QFETCH(QString, address);
    QFETCH(bool, accepted);
    Fixture f;
    QVERIFY(f.start());
    QLineEdit* box = Text("txtServerIP");
    box->setText(address);
    CheckIpAddressField(box);
    QCOMPARE(box->text(), accepted ? address : QString());
    const QStringList boxes =
        accepted ? QStringList()
                 : QStringList{Expected(GetText("errFormat"), MsgIcon::Exclamation)};
    QCOMPARE(BoxesFrom(f, 0), boxes);
}

void FirmwareTest::addressCheckOnLeaving() {
    Fixture f;
    QVERIFY(f.start());
    W().frmBegin->hide();
    Adv()->show();
    Adv()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Adv()));
    QLineEdit* box = Text("txtServerIP");
    box->setFocus(Qt::TabFocusReason);
    box->setText("10.0.0.999");
    Text("txtFtpUser")->setFocus(Qt::TabFocusReason);
    QCOMPARE(BoxesFrom(f, 0), QStringList{Expected(GetText("errFormat"), MsgIcon::Exclamation)});
    QVERIFY(box->text().isEmpty());
    QVERIFY(box->hasFocus());
}

void FirmwareTest::fileNameChoice_data() {
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("name");
    QTest::newRow("three folders") << "/srv/firmware/kpl/fw 3.2.img"
                                   << "fw 3.2.img";
    QTest::newRow("backslashes") << "C:\\firmware\\kpl\\fw.bin"
                                 << "fw.bin";
    QTest::newRow("bare name") << "fw.bin"
                               << "fw.bin";
    QTest::newRow("cancelled keeps the name") << ""
                                              << "before.img";
}

void FirmwareTest::fileNameChoice() {
    QFETCH(QString, chosen);
    QFETCH(QString, name);
    Fixture f;
    QVERIFY(f.start());
    Text("txtFileName")->setText("before.img");
    f.dialogs.chosenFiles << chosen;
    QDir::setCurrent(f.startDir());
    f.click(Adv(), "cmdFileName");
    QCOMPARE(Text("txtFileName")->text(), name);
    QCOMPARE(f.dialogs.fileDialogTitles, QStringList{GetText("cdlTitle")});
    QCOMPARE(QDir::current().canonicalPath(), QDir(f.workDir()).canonicalPath());
}

QTEST_MAIN(FirmwareTest)
#include "test_firmware.moc"
