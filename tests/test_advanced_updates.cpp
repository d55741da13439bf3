// The advanced window's update buttons, security settings, hardware reset and
// factory reset, end to end against the simulated network.
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

#include "advanced/Reset.h"
#include "app/TextFiles.h"
#include "discovery/Discovery.h"
#include "lang/Catalogue.h"
#include "test_advanced_helpers.h"

using namespace advtest;

namespace {

QByteArray PostRequest(const QString& mac, const QString& password, const QStringList& lines) {
    QByteArray bytes = "POST " + mac.toUtf8() + "\r\n.PASSWORD=" + password.toUtf8() + "\r\n";
    for (const QString& line : lines) {
        bytes += line.toUtf8() + "\r\n";
    }
    return bytes;
}

// Applies "control=value" changes as the user makes them: an entry picked in
// a list, a text typed into a box.
void Apply(const QStringList& changes) {
    for (const QString& change : changes) {
        const qsizetype eq = change.indexOf(QLatin1Char('='));
        const QByteArray name = change.left(eq).toUtf8();
        const QString value = change.mid(eq + 1);
        if (qobject_cast<QComboBox*>(Control(name.constData()))) {
            QVERIFY2(Pick(name.constData(), value), qPrintable(change));
        } else {
            Text(name.constData())->setText(value);
        }
    }
}

// What a control shows: the chosen entry or the text.
QString Shows(const QString& name) {
    QWidget* control = Control(name.toUtf8().constData());
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return combo->currentText();
    }
    return qobject_cast<QLineEdit*>(control)->text();
}

void SetAnswerToNetworkChange(const Fixture& f, const QString& answer) {
    ChangeNetwork(f, [&answer](kaldorsim::Network& net, QString* error) {
        return kaldorsim::setNetworkChangeAnswer(net, answer, error);
    });
}

void SetFault(const Fixture& f, const QString& node, const QString& knob, const QString& value) {
    ChangeNetwork(f, [&](kaldorsim::Network& net, QString* error) {
        return kaldorsim::setFault(net, node, knob, value, error);
    });
}

// A stand-in client in the work folder, found before any other, that answers
// every request with the same first line and leaves the network alone.
void AnswerEveryRequestWith(const Fixture& f, const QByteArray& answer) {
    f.writeWorkFile("ihcp_client.exe",
                    "#!/bin/sh\nprintf '" + answer + "\\r\\n' > ihcp_client.tmp\n");
    QFile::setPermissions(f.workFile("ihcp_client.exe"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString ResponseFirstLine(const Fixture& f) {
    return ReadFirstLine(f.workFile("ihcp_client.tmp")).value_or(QString());
}

// The status window is gone and the window takes input again.
void VerifyWindowBack(bool shown) {
    QVERIFY(!W().frmMessage->isVisible());
    QVERIFY(Adv()->isEnabled());
    QCOMPARE(Adv()->isVisible(), shown);
}

// A node other than the one on the wire: the window went away and the node
// page came back from a new discovery.
void VerifyRediscovered(const Fixture& f) {
    QVERIFY(!Adv()->isVisible());
    QVERIFY(W().frmConnect->isVisible());
    QVERIFY(QFile::exists(f.workFile("macdiscover.tmp")));
    QVERIFY(!f.nodeLines().isEmpty());
}

// Scripts the next password prompt; the returned text holds the prompt's
// label as it was shown, once the prompt has been answered.
const QString& PromptAndType(Fixture& f, const QString& typed) {
    static QString shown;
    shown.clear();
    f.dialogs.typePassword(typed);
    DialogRecorder::ModalScript answer = f.dialogs.modalScripts.takeLast();
    f.dialogs.modalScripts.append([answer](QDialog* prompt) {
        shown = prompt->findChild<QLabel*>(QStringLiteral("lblAskPw"))->text();
        answer(prompt);
    });
    return shown;
}

// Waits of a factory reset that keep the request files as they were when the
// wait began (a later discovery rewrites them) and, when asked, let the node
// restart once more meanwhile, as a node that failed to start cleanly would.
struct ResetWatch {
    const Fixture* fixture = nullptr;
    bool extraRestart = false;
    QByteArray post;
    QByteArray get;
};
ResetWatch* gWatch = nullptr;

void WatchingWait(int milliseconds) {
    const bool first = Fixture::waited == 0;
    Fixture::waited += milliseconds;
    if (!first || !gWatch) {
        return;
    }
    gWatch->post = gWatch->fixture->readWorkFile("post.cfg");
    gWatch->get = gWatch->fixture->readWorkFile("get.cfg");
    if (gWatch->extraRestart) {
        SetParameters(*gWatch->fixture, kLocal, {"NUM_BOOTS=2"});
    }
}

}  // namespace

class AdvancedUpdatesTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        gWatch = nullptr;
        QDir::setCurrent(QDir::tempPath());
    }

    // Each update button sends its panel; the node keeps the values and a
    // refresh shows them again. An accepted IP update restarts the node.
    void updateButtons_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("lastRequest");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("shownAfterRefresh");
        QTest::addColumn<int>("waited");
        QTest::newRow("fixed address, then restart")
            << kOffice
            << QStringList{"cboIpConfig=Fixed", "txtIpAddress=192.168.1.50",
                           "txtSubnetMask=255.255.0.0", "txtDefGateway=192.168.1.254"}
            << "cmdUpdateFixedIp" << QStringList{"HW_RESET_OK=Ok"}
            << QStringList{"IP_CONFIG_NVRAM=Fixed",
                           "IP_ADDR_NVRAM=192.168.1.50",
                           "IP_CONFIG=Fixed",
                           "IP_ADDR=192.168.1.50",
                           "NETMASK=255.255.0.0",
                           "GATEWAY=192.168.1.254",
                           "NUM_BOOTS=2"}
            << QStringList{"cboIpConfig=Fixed", "txtIpAddress=192.168.1.50",
                           "txtSubnetMask=255.255.0.0", "txtDefGateway=192.168.1.254"}
            << 15000;
        QTest::newRow("automatic address sends the mode alone")
            << kLocal << QStringList{"cboIpConfig=DHCP", "txtIpAddress=10.0.0.9"}
            << "cmdUpdateFixedIp" << QStringList{"HW_RESET_OK=Ok"}
            << QStringList{"IP_CONFIG_NVRAM=DHCP", "IP_ADDR_NVRAM=192.168.1.10", "IP_CONFIG=DHCP",
                           "NUM_BOOTS=2"}
            << QStringList{"cboIpConfig=DHCP", "txtIpAddress=192.168.1.10"} << 15000;
        QTest::newRow("MAC and node type")
            << kGarage << QStringList{"cboMacType=10 Full", "cboNodeType=AP"} << "cmdUpdateMacConf"
            << QStringList{"MAC_TYPE=10 Full", "NODE_TYPE=AP"}
            << QStringList{"MAC_TYPE=10 Full", "NODE_TYPE=AP", "NUM_BOOTS=1"}
            << QStringList{"cboMacType=10 Full", "cboNodeType=AP"} << 0;
        QTest::newRow("notches and distortion control")
            << kLocal << QStringList{"cboNotches=Disabled", "cboDistControl=High"}
            << "cmdUpdatePhyConf" << QStringList{"NOTCHES=Disabled", "DISTORTION_CONTROL=High"}
            << QStringList{"NOTCHES=Disabled", "DISTORTION_CONTROL=High"}
            << QStringList{"cboNotches=Disabled", "cboDistControl=High"} << 0;
        QTest::newRow("PHY of the basic model")
            << kOffice << QStringList{"cboNotches=Amateur+Broadcast", "cboDistControl=Off"}
            << "cmdUpdatePhyConf"
            << QStringList{"NOTCHES=Amateur+Broadcast", "DISTORTION_CONTROL=Off"}
            << QStringList{"NOTCHES=Amateur+Broadcast", "DISTORTION_CONTROL=Off"}
            << QStringList{"cboNotches=Amateur+Broadcast", "cboDistControl=Off"} << 0;
        QTest::newRow("multicast")
            << kLocal << QStringList{"IGMP=Proxy"} << "CmdUpdateIGMP"
            << QStringList{"MCAST_IGMP=Proxy"} << QStringList{"MCAST_IGMP=Proxy"}
            << QStringList{"IGMP=Proxy"} << 0;
    }
    void updateButtons() {
        QFETCH(QString, mac);
        QFETCH(QStringList, changes);
        QFETCH(QString, button);
        QFETCH(QStringList, lastRequest);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, shownAfterRefresh);
        QFETCH(int, waited);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        Apply(changes);
        f.click(Adv(), button.toUtf8().constData());
        QCOMPARE(f.readWorkFile("post.cfg"), PostRequest(mac, "kaldor", lastRequest));
        QCOMPARE(Fixture::waited, qint64(waited));
        if (waited > 0) {
            QCOMPARE(f.dialogs.boxes.size(), 1);
            QCOMPARE(f.dialogs.boxes[0].text, Session().errResetOk);
        } else {
            QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
        }
        VerifyWindowBack(true);
        const kaldorsim::Parameters params = Parameters(f, mac);
        for (const QString& setting : stored) {
            const qsizetype eq = setting.indexOf(QLatin1Char('='));
            QCOMPARE(params.value(setting.left(eq)), setting.mid(eq + 1));
        }
        f.click(Adv(), "cmdRefresh");
        for (const QString& shown : shownAfterRefresh) {
            const qsizetype eq = shown.indexOf(QLatin1Char('='));
            QCOMPARE(Shows(shown.left(eq)), shown.mid(eq + 1));
        }
        VerifyWindowBack(true);
    }

    // A request the node does not accept is reported with the client's first
    // line; the controls keep the refused values and nothing restarts.
    void updateRefused_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("answerStart");
        QTest::newRow("address the node refuses")
            << QStringList{"cboIpConfig=Fixed", "txtIpAddress=300.1.1.1"} << "cmdUpdateFixedIp"
            << "kaldor"
            << ""
            << "ERROR: '300.1.1.1'";
        QTest::newRow("empty address boxes")
            << QStringList{"cboIpConfig=Fixed", "txtIpAddress=", "txtSubnetMask=", "txtDefGateway="}
            << "cmdUpdateFixedIp"
            << "kaldor"
            << ""
            << "ERROR: '' is not an IPv4";
        QTest::newRow("wrong password") << QStringList{"cboNotches=Disabled"} << "cmdUpdatePhyConf"
                                        << "wrong"
                                        << ""
                                        << "2 ";
        QTest::newRow("node silent") << QStringList{"IGMP=Disabled"} << "CmdUpdateIGMP"
                                     << "kaldor"
                                     << "noAnswer"
                                     << "ERROR: node 020A1B000002 did not answer";
    }
    void updateRefused() {
        QFETCH(QStringList, changes);
        QFETCH(QString, button);
        QFETCH(QString, password);
        QFETCH(QString, fault);
        QFETCH(QString, answerStart);
        Fixture f;
        OPEN_ADVANCED(f, kOffice);
        Session().NodePassword = password;
        if (!fault.isEmpty()) {
            SetFault(f, kOffice, fault, "on");
        }
        Apply(changes);
        const kaldorsim::Parameters before = Parameters(f, kOffice);
        f.click(Adv(), button.toUtf8().constData());
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, ResponseFirstLine(f));
        QVERIFY2(f.dialogs.boxes[0].text.startsWith(answerStart), qPrintable(f.dialogs.describe()));
        QCOMPARE(f.dialogs.boxes[0].title, Session().errSaving);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(Fixture::waited, qint64(0));
        QCOMPARE(Parameters(f, kOffice), before);
        for (const QString& change : changes) {
            const qsizetype eq = change.indexOf(QLatin1Char('='));
            QCOMPARE(Shows(change.left(eq)), change.mid(eq + 1));
        }
        VerifyWindowBack(true);
    }

    // The hardware reset waits ten times 1500 ms for the restart once the
    // node has accepted it; a refusal is shown under errReseting at once.
    void hardwareReset_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("waited");
        QTest::addColumn<int>("boots");
        QTest::addColumn<int>("boxes");
        QTest::newRow("accepted") << "kaldor"
                                  << "" << 15000 << 2 << 1;
        QTest::newRow("wrong password") << "wrong"
                                        << "" << 0 << 1 << 1;
        QTest::newRow("node silent") << "kaldor"
                                     << "noAnswer" << 0 << 1 << 1;
        // Each of the two answer tests reports the missing response first.
        QTest::newRow("no response") << "kaldor"
                                     << "noResponse" << 0 << 2 << 3;
        // A node whose answer to the restart is 3 restarts all the same.
        QTest::newRow("answered with 3") << "kaldor"
                                         << "answer 3" << 15000 << 1 << 1;
    }
    void hardwareReset() {
        QFETCH(QString, password);
        QFETCH(QString, fault);
        QFETCH(int, waited);
        QFETCH(int, boots);
        QFETCH(int, boxes);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        Session().NodePassword = password;
        if (fault.startsWith("answer ")) {
            AnswerEveryRequestWith(f, fault.mid(7).toUtf8());
        } else if (!fault.isEmpty()) {
            SetFault(f, kLocal, fault, "on");
        }
        f.click(Adv(), "cmdReset");
        QCOMPARE(f.readWorkFile("post.cfg"), PostRequest(kLocal, password, {"HW_RESET_OK=Ok"}));
        QCOMPARE(Fixture::waited, qint64(waited));
        QCOMPARE(Parameters(f, kLocal).value("NUM_BOOTS"), QString::number(boots));
        QCOMPARE(f.dialogs.boxes.size(), boxes);
        const DialogRecorder::Box& outcome = f.dialogs.boxes.last();
        QCOMPARE(outcome.icon, MsgIcon::Exclamation);
        if (waited > 0) {
            QCOMPARE(outcome.text, Session().errResetOk);
            QCOMPARE(outcome.title, kAppTitle);
        } else {
            QCOMPARE(outcome.text, QFile::exists(f.workFile("ihcp_client.tmp"))
                                       ? ResponseFirstLine(f)
                                       : Session().errReceiving);
            QCOMPARE(outcome.title, Session().errReseting);
        }
        auto* bar = Ctl<QProgressBar>(W().frmMessage, "barMessage");
        QCOMPARE(bar->value(), bar->maximum());
        QVERIFY(W().frmMessage->cursor().shape() != Qt::WaitCursor);
        VerifyWindowBack(true);
    }

    // The factory reset from the advanced window: 33 s of waiting, then the
    // boot count of the node on the wire decides; a remote node counts as
    // reset and ends with a new discovery.
    void factoryResetAdvanced_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("extraRestart");
        QTest::addColumn<int>("waited");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<bool>("queried");
        QTest::addColumn<bool>("passwordReset");
        QTest::newRow("node on the wire")
            << kLocal << "FP000001" << false << 33000 << "errFactResetOk" << true << true;
        QTest::newRow("node on the wire started twice")
            << kLocal << "FP000001" << true << 33000 << "errFactResetKo" << true << false;
        QTest::newRow("wrong factory password")
            << kLocal << "FP-wrong" << false << 0 << "errPwError" << false << false;
        QTest::newRow("remote node, no query")
            << kOffice << "FP000002" << false << 33000 << "errFactResetOk" << false << true;
        QTest::newRow("cancelled on the node on the wire")
            << kLocal << "" << false << 0 << "" << false << false;
        QTest::newRow("cancelled on a remote node")
            << kOffice << "" << false << 0 << "" << false << false;
    }
    void factoryResetAdvanced() {
        QFETCH(QString, mac);
        QFETCH(QString, typed);
        QFETCH(bool, extraRestart);
        QFETCH(int, waited);
        QFETCH(QString, outcome);
        QFETCH(bool, queried);
        QFETCH(bool, passwordReset);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        // A password of the user's, so that going back to the default shows.
        ChangeNetwork(f, [&mac](kaldorsim::Network& net, QString* error) {
            return kaldorsim::setPassword(net, mac, "mine-1", error);
        });
        Session().NodePassword = "mine-1";
        ResetWatch watch{&f, extraRestart, {}, {}};
        gWatch = &watch;
        InstallWait(WatchingWait);
        // The password as the reset leaves it, before a discovery tries others.
        QString password = Session().NodePassword;
        const std::function<void()> discover = App().flow.DiscoverNodes;
        App().flow.DiscoverNodes = [&password, discover] {
            password = Session().NodePassword;
            discover();
        };
        const QString& prompt = PromptAndType(f, typed);
        QFile::remove(f.workFile("ihcp_client.tmp"));
        f.click(Adv(), "cmdFactoryReset");
        QCOMPARE(Fixture::waited, qint64(waited));
        QCOMPARE(prompt, GetText("lblAskFactPw"));
        const QByteArray post =
            "POST " + mac.toUtf8() + "\r\n.FACTORY_PASSWORD=" + typed.toUtf8() + "\r\n";
        const QByteArray get = "GET " + mac.toUtf8() + "\r\n.PASSWORD=kaldor\r\nNUM_BOOTS\r\n";
        if (typed.isEmpty()) {
            QVERIFY(!QFile::exists(f.workFile("post.cfg")));
        } else if (waited > 0) {
            QCOMPARE(watch.post, post);
            QCOMPARE(watch.get, get);
        } else {
            QCOMPARE(f.readWorkFile("post.cfg"), post);
            QCOMPARE(f.readWorkFile("get.cfg"), get);
        }
        // Only the boot-count query leaves a response after the wait. A
        // remote node that answered it would not count as reset: it has left
        // the network with its factory key.
        if (mac == kLocal) {
            QCOMPARE(ResponseFirstLine(f) == "INFO", queried);
        }
        QVERIFY(!f.dialogs.boxes.isEmpty() || outcome.isEmpty());
        if (!outcome.isEmpty()) {
            QCOMPARE(f.dialogs.boxes[0].text, GetText(outcome));
            QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
            QCOMPARE(f.dialogs.boxes[0].title, kAppTitle);
        }
        QCOMPARE(mac == kLocal ? Session().NodePassword : password,
                 passwordReset ? "kaldor" : "mine-1");
        QVERIFY(!W().frmMessage->isVisible());
        QVERIFY(Adv()->isEnabled());
        if (mac == kLocal) {
            QCOMPARE(f.dialogs.boxes.size(), outcome.isEmpty() ? 0 : 1);
            QVERIFY(Adv()->isVisible());
            QVERIFY(!W().frmConnect->isVisible());
        } else {
            VerifyRediscovered(f);
        }
    }

    // The node page's Reset button: the same reset, always followed by the
    // boot-count query, then the page's own discovery.
    void factoryResetFromNodePage_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("waited");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("accepted") << "FP000001" << 33000 << "errFactResetOk";
        QTest::newRow("wrong factory password") << "nope" << 0 << "errPwError";
        QTest::newRow("cancelled") << "" << 0 << "";
    }
    void factoryResetFromNodePage() {
        QFETCH(QString, typed);
        QFETCH(int, waited);
        QFETCH(QString, outcome);
        Fixture f;
        ChangeNetwork(f, [](kaldorsim::Network& net, QString* error) {
            return kaldorsim::setTimeScale(net, 0, error);
        });
        QVERIFY(f.start());
        f.dialogs.typePassword("");  // the study's password is not known
        f.click(W().frmBegin, "cmdNext");
        f.clickNodeBox();
        const QString password = Session().NodePassword;
        const int boxesBefore = f.dialogs.boxes.size();
        const QString& prompt = PromptAndType(f, typed);
        f.click(W().frmConnect, "cmdFactoryReset");
        QCOMPARE(Fixture::waited, qint64(waited));
        QCOMPARE(prompt, GetText("lblAskFactPw"));
        const QList<DialogRecorder::Box> boxes = f.dialogs.boxes.mid(boxesBefore);
        if (outcome.isEmpty()) {
            QVERIFY(!QFile::exists(f.workFile("post.cfg")));
        } else {
            QVERIFY2(!boxes.isEmpty(), "no outcome shown");
            QCOMPARE(boxes[0].text, GetText(outcome));
            QCOMPARE(boxes[0].title, kAppTitle);
        }
        QCOMPARE(Session().NodePassword, password);
        QVERIFY(W().frmConnect->isVisible());
        QVERIFY(W().frmConnect->isEnabled());
        QVERIFY(!W().frmMessage->isVisible());
        QVERIFY(!f.nodeLines().isEmpty());
    }

    // From the node page the boot count is asked even of a remote node; one
    // that no longer shares the network cannot answer.
    void factoryResetConnectAsksRemoteNode() {
        Fixture f;
        OPEN_ADVANCED(f, kOffice);
        f.dialogs.typePassword("FP000002");
        FactoryResetConnect();
        QCOMPARE(Fixture::waited, qint64(33000));
        QCOMPARE(f.readWorkFile("get.cfg"),
                 "GET " + kOffice.toUtf8() + "\r\n.PASSWORD=kaldor\r\nNUM_BOOTS\r\n");
        QCOMPARE(f.dialogs.boxes.size(), 2);
        QCOMPARE(f.dialogs.boxes[0].text, ResponseFirstLine(f));
        QCOMPARE(f.dialogs.boxes[0].title, Session().errLoadConf);
        QCOMPARE(f.dialogs.boxes[1].text, Session().errFactResetKoOrPw);
        QCOMPARE(Session().NodePassword, "kaldor");
        QVERIFY(W().frmConnect->isEnabled());
        QVERIFY(!W().frmMessage->isVisible());
    }

    // The encryption request follows the chosen type; encryption other than
    // None needs a network identifier.
    void encryption_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("outcome");
        const QString key = "ENCRYPT_KEY_STR=HomeKey-2024";
        QTest::newRow("AES with the defaults of the choice")
            << kLocal << QStringList{"cboEncryptType=AES"}
            << QStringList{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=ECB", "ENCRYPT_KEY_LENGTH=256",
                           key, "CRYPTO_OK=Ok"}
            << "accepted";
        QTest::newRow("AES, CBC, 128")
            << kLocal
            << QStringList{"cboEncryptType=AES", "cboAESEncryptType=CBC", "cboEncryptLength=128"}
            << QStringList{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC", "ENCRYPT_KEY_LENGTH=128",
                           key, "CRYPTO_OK=Ok"}
            << "accepted";
        QTest::newRow("3DES whatever the length shows")
            << kLocal << QStringList{"cboEncryptLength=256"}
            << QStringList{"ENCRYPT_TYPE=3DES", "ENCRYPT_KEY_LENGTH=168", key, "CRYPTO_OK=Ok"}
            << "accepted";
        QTest::newRow("none") << kLocal << QStringList{"cboEncryptType=None"}
                              << QStringList{"ENCRYPT_TYPE=None", key, "CRYPTO_OK=Ok"}
                              << "accepted";
        // Clearing the identifier clears the key, which moves the node to
        // another network: the node says so with 3, which is no "0".
        QTest::newRow("none without network identifier")
            << kLocal << QStringList{"txtNetId=", "cboEncryptType=None"}
            << QStringList{"ENCRYPT_TYPE=None", "ENCRYPT_KEY_STR=", "CRYPTO_OK=Ok"} << "refused";
        QTest::newRow("AES without network identifier")
            << kLocal << QStringList{"txtNetId=", "cboEncryptType=AES"} << QStringList()
            << "errNoNetId";
        QTest::newRow("AES on a remote node")
            << kGarage << QStringList{"cboEncryptType=AES"}
            << QStringList{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=ECB", "ENCRYPT_KEY_LENGTH=256",
                           key, "CRYPTO_OK=Ok"}
            << "accepted";
    }
    void encryption() {
        QFETCH(QString, mac);
        QFETCH(QStringList, changes);
        QFETCH(QStringList, lines);
        QFETCH(QString, outcome);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        Apply(changes);
        f.click(Adv(), "cmdUpEncryption");
        QCOMPARE(f.dialogs.boxes.size(), 1);
        const DialogRecorder::Box& box = f.dialogs.boxes[0];
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        if (lines.isEmpty()) {
            QVERIFY(!QFile::exists(f.workFile("post.cfg")));
            QCOMPARE(box.text, GetText(outcome));
            QCOMPARE(box.title, kAppTitle);
            VerifyWindowBack(true);
            return;
        }
        QCOMPARE(f.readWorkFile("post.cfg"), PostRequest(mac, "kaldor", lines));
        if (outcome == "accepted") {
            QCOMPARE(box.text, Session().errUpgradeOk);
            QCOMPARE(box.title, kAppTitle);
            const QString type = lines[0].mid(lines[0].indexOf('=') + 1);
            QCOMPARE(Parameters(f, mac).value("ENCRYPT_TYPE"), type);
        } else {
            QCOMPARE(box.text, ResponseFirstLine(f));
            QCOMPARE(box.title, Session().errSaving);
        }
        if (mac != kLocal) {
            VerifyRediscovered(f);
            return;
        }
        VerifyWindowBack(true);
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(Combo("cboEncryptType")->currentText(), Parameters(f, mac).value("ENCRYPT_TYPE"));
        QCOMPARE(Combo("cboEncryptLength")->currentText(),
                 Parameters(f, mac).value("ENCRYPT_KEY_LENGTH"));
    }

    // Choosing the type sets the AES mode and length the type goes with.
    void encryptTypeChoice_data() {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("aesType");
        QTest::addColumn<QString>("length");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("AES") << QStringList() << "AES"
                             << "ECB"
                             << "256" << true;
        QTest::newRow("none after AES")
            << QStringList{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC", "ENCRYPT_KEY_LENGTH=128"}
            << "None"
            << "None"
            << "168" << false;
        QTest::newRow("AES without an ECB entry")
            << QStringList{"ENCRYPT_AES_TYPE_OPTIONS='None','CBC'"} << "AES"
            << ""
            << "256" << true;
    }
    void encryptTypeChoice() {
        QFETCH(QStringList, settings);
        QFETCH(QString, type);
        QFETCH(QString, aesType);
        QFETCH(QString, length);
        QFETCH(bool, enabled);
        Fixture f;
        SetParameters(f, kLocal, settings);
        OPEN_ADVANCED(f, kLocal);
        QVERIFY(Pick("cboEncryptType", type));
        QCOMPARE(Combo("cboAESEncryptType")->currentText(), aesType);
        QCOMPARE(Combo("cboEncryptLength")->currentText(), length);
        QCOMPARE(Control("cboAESEncryptType")->isEnabled(), enabled);
        QCOMPARE(Control("cboEncryptLength")->isEnabled(), enabled);
    }

    // A new configuration password is taken for later requests once the
    // node accepts it; the local node's known password follows.
    void password_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("confirmed");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("outcome");
        auto row = [](const char* name, const QString& mac, const char* confirmed,
                      const char* current, const char* outcome) {
            QTest::newRow(name) << mac << QString(confirmed) << QString(current)
                                << QString(outcome);
        };
        row("node on the wire", kLocal, "secret-1", "kaldor", "accepted");
        row("remote node", kOffice, "secret-1", "kaldor", "accepted");
        row("confirmation differs", kLocal, "secret-9", "kaldor", "errPwMistake");
        row("current password refused", kLocal, "secret-1", "wrong", "refused");
    }
    void password() {
        QFETCH(QString, mac);
        QFETCH(QString, confirmed);
        QFETCH(QString, current);
        QFETCH(QString, outcome);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        Session().NodePassword = current;
        Text("txtConfPassword")->setText("secret-1");
        Text("txtConfirmPw")->setText(confirmed);
        f.click(Adv(), "cmdUpPw");
        QCOMPARE(f.dialogs.boxes.size(), 1);
        const DialogRecorder::Box& box = f.dialogs.boxes[0];
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        const bool accepted = outcome == "accepted";
        if (outcome == "errPwMistake") {
            QCOMPARE(box.text, Session().errPwMistake);
            QVERIFY(!QFile::exists(f.workFile("post.cfg")));
        } else {
            QCOMPARE(f.readWorkFile("post.cfg"),
                     PostRequest(mac, current, {"NEWPASSWORD=" + confirmed}));
            QCOMPARE(box.text, accepted ? Session().errUpgradeOk : ResponseFirstLine(f));
            QCOMPARE(box.title, accepted ? kAppTitle : Session().errSaving);
        }
        QCOMPARE(SimNode(f, mac).password, accepted ? confirmed : QString("kaldor"));
        QCOMPARE(Session().NodePassword, accepted ? confirmed : current);
        QCOMPARE(Session().LocalPassword, accepted && mac == kLocal ? confirmed : "kaldor");
        QVERIFY(Text("txtConfPassword")->text().isEmpty());
        QVERIFY(Text("txtConfirmPw")->text().isEmpty());
        QVERIFY(!Control("cmdUpPw")->isEnabled());
        VerifyWindowBack(true);
        if (accepted) {
            // Later requests carry the new password.
            f.click(Adv(), "cmdRefresh");
            QCOMPARE(f.dialogs.boxes.size(), 1);
        }
    }

    // The key goes out only when typed twice alike; the window stays for the
    // node on the wire and gives way to a discovery for any other.
    void key_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("outcome");
        auto row = [](const char* name, const QString& mac, const char* confirmation,
                      const char* answer, const char* outcome) {
            QTest::newRow(name) << mac << QString(confirmation) << QString(answer)
                                << QString(outcome);
        };
        row("node on the wire", kLocal, "NewKey-1", "0", "accepted");
        row("node on the wire, answered with 3", kLocal, "NewKey-1", "3", "refused");
        row("confirmation differs", kLocal, "NewKey-2", "0", "errPwMistake");
        row("remote node", kGarage, "NewKey-1", "0", "accepted");
        row("remote node, confirmation differs", kGarage, "other", "0", "errPwMistake");
    }
    void key() {
        QFETCH(QString, mac);
        QFETCH(QString, confirmation);
        QFETCH(QString, answer);
        QFETCH(QString, outcome);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        SetAnswerToNetworkChange(f, answer);
        Text("txtEncrypKey")->setText("NewKey-1");
        Text("txtConfirmKey")->setText(confirmation);
        f.click(Adv(), "cmdUpKey");
        const DialogRecorder::Box& box = f.dialogs.boxes.value(0);
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        if (outcome == "errPwMistake") {
            QCOMPARE(box.text, Session().errPwMistake);
            QVERIFY(!QFile::exists(f.workFile("post.cfg")));
            QCOMPARE(Parameters(f, mac).value("ENCRYPT_KEY_STR"), "HomeKey-2024");
        } else {
            QCOMPARE(f.readWorkFile("post.cfg"),
                     PostRequest(mac, "kaldor", {"ENCRYPT_KEY_STR=NewKey-1"}));
            QCOMPARE(box.text, outcome == "accepted" ? Session().errUpgradeOk : answer);
            QCOMPARE(box.title, outcome == "accepted" ? kAppTitle : Session().errSaving);
            QCOMPARE(Parameters(f, mac).value("ENCRYPT_KEY_STR"), "NewKey-1");
        }
        QVERIFY(Text("txtConfirmKey")->text().isEmpty());
        if (mac == kLocal) {
            QCOMPARE(f.dialogs.boxes.size(), 1);
            VerifyWindowBack(true);
        } else {
            VerifyRediscovered(f);
        }
    }

    // The network identifier goes out unchecked; an accepted one decides
    // whether the node type can be chosen.
    void networkId_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<bool>("nodeTypeEnabled");
        QTest::newRow("new identifier") << kLocal << "KaldorNew" << true << true;
        QTest::newRow("empty identifier") << kLocal << "" << true << false;
        QTest::newRow("identifier the node refuses") << kLocal << "a,b" << false << true;
        QTest::newRow("remote node") << kGarage << "KaldorNew" << true << true;
    }
    void networkId() {
        QFETCH(QString, mac);
        QFETCH(QString, id);
        QFETCH(bool, accepted);
        QFETCH(bool, nodeTypeEnabled);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        SetAnswerToNetworkChange(f, "0");
        Text("txtNetId")->setText(id);
        f.click(Adv(), "cmdUpId");
        QCOMPARE(f.readWorkFile("post.cfg"), PostRequest(mac, "kaldor", {"NET_ID_STR=" + id}));
        const DialogRecorder::Box& box = f.dialogs.boxes.value(0);
        QCOMPARE(box.text, accepted ? Session().errUpgradeOk : ResponseFirstLine(f));
        QCOMPARE(box.title, accepted ? kAppTitle : Session().errSaving);
        QCOMPARE(Parameters(f, mac).value("NET_ID_STR"), accepted ? id : QString("KaldorHome"));
        QCOMPARE(Control("cboNodeType")->isEnabled(), nodeTypeEnabled);
        if (mac == kLocal) {
            QCOMPARE(f.dialogs.boxes.size(), 1);
            VerifyWindowBack(true);
        } else {
            VerifyRediscovered(f);
        }
    }

    // The alias stays on this computer; the box is titled with the button's
    // caption in the language in use.
    void alias_data() {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("alias");
        QTest::newRow("English") << "english.lng"
                                 << "Kitchen";
        QTest::newRow("Spanish") << "spanish.lng"
                                 << "Cocina";
        QTest::newRow("empty alias") << "english.lng"
                                     << "";
    }
    void alias() {
        QFETCH(QString, catalogue);
        QFETCH(QString, alias);
        Fixture f;
        f.writeWorkFile("languages/default.lang", catalogue.toUtf8() + "\r\n");
        OPEN_ADVANCED(f, kOffice);
        Text("txtAlias")->setText(alias);
        f.click(Adv(), "cmdUpdAlias");
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, Session().errUpgradeOk);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::NoIcon);
        QCOMPARE(f.dialogs.boxes[0].title, GetText("cmdUpdateAlias"));
        QVERIFY(!QFile::exists(f.workFile("post.cfg")));
        QVERIFY(ReadLines(f.workFile("alias.tmp")).value().contains(kOffice + "=" + alias));
        Text("txtAlias")->setText("changed");
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(Text("txtAlias")->text(), alias);
    }

    // The text boxes of the security panel unlock each other step by step.
    void securityChangeRules_data() {
        QTest::addColumn<QStringList>("typing");
        // Enabled: txtConfirmPw, cmdUpPw, txtEncrypKey, txtConfirmKey, cmdUpKey.
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("confirmKey");
        auto row = [](const char* name, const QStringList& typing, const char* enabled,
                      const char* key, const char* confirmKey) {
            QTest::newRow(name) << typing << QString(enabled) << QString(key)
                                << QString(confirmKey);
        };
        const char* key = "HomeKey-2024";
        row("as loaded", {}, "00111", key, "");
        row("password enables its confirmation", {"txtConfPassword=a"}, "10111", key, "");
        row("confirmation enables the button", {"txtConfPassword=a", "txtConfirmPw=a"}, "11111",
            key, "");
        row("deleting the confirmation keeps the button",
            {"txtConfPassword=a", "txtConfirmPw=a", "txtConfirmPw="}, "11111", key, "");
        row("emptying both disables the button",
            {"txtConfPassword=a", "txtConfirmPw=a", "txtConfirmPw=", "txtConfPassword="}, "10111",
            key, "");
        row("typed key confirmation stays", {"txtConfirmKey=x"}, "00111", key, "x");
        row("clearing the key empties its confirmation", {"txtConfirmKey=x", "txtEncrypKey="},
            "00101", "", "");
        row("clearing the identifier empties the key", {"txtConfirmKey=x", "txtNetId="}, "00001",
            "", "");
        row("a new identifier enables the empty key", {"txtNetId=", "txtNetId=Other"}, "00101", "",
            "");
    }
    void securityChangeRules() {
        QFETCH(QStringList, typing);
        QFETCH(QString, enabled);
        QFETCH(QString, key);
        QFETCH(QString, confirmKey);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        Apply(typing);
        const char* const names[] = {"txtConfirmPw", "cmdUpPw", "txtEncrypKey", "txtConfirmKey",
                                     "cmdUpKey"};
        QString shown;
        for (const char* name : names) {
            shown += Control(name)->isEnabled() ? "1" : "0";
        }
        QCOMPARE(shown, enabled);
        QCOMPARE(Text("txtEncrypKey")->text(), key);
        QCOMPARE(Text("txtConfirmKey")->text(), confirmKey);
    }
};

QTEST_MAIN(AdvancedUpdatesTest)
#include "test_advanced_updates.moc"
