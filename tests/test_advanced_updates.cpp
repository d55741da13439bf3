// The advanced window's update buttons, security settings, hardware reset and
// factory reset, end to end against the simulated network.
#include <QLabel>
#include <QProgressBar>

#include "advanced/Reset.h"
#include "lang/Catalogue.h"
#include "test_advanced_helpers.h"

using namespace advtest;

namespace {

// Every "KEY=value" is what the simulated node holds.
void VerifyKept(const Fixture& f, const QString& mac, const QStringList& kept) {
    for (const QString& pair : kept) {
        QCOMPARE(Parameters(f, mac).value(pair.section('=', 0, 0)), pair.section('=', 1));
    }
}

void VerifyWindowBack() {
    QVERIFY(!W().frmMessage->isVisible() && Adv()->isEnabled() && Adv()->isVisible());
}

// The first box: errUpgradeOk for "accepted", the node's answer under
// errSaving for "refused", else the catalogue text of that name.
void VerifyOutcome(const Fixture& f, const QString& outcome) {
    QVERIFY2(!f.dialogs.boxes.isEmpty(), "no outcome shown");
    const DialogRecorder::Box& box = f.dialogs.boxes[0];
    const bool refused = outcome == "refused";
    QCOMPARE(box.icon, MsgIcon::Exclamation);
    QCOMPARE(box.title, refused ? Session().errSaving : kAppTitle);
    QCOMPARE(box.text, refused                 ? ResponseFirstLine(f)
                       : outcome == "accepted" ? Session().errUpgradeOk
                                               : GetText(outcome));
}

// The window stays for the node on the wire; for any other it gives way to
// the node page and a new discovery.
void VerifyClosing(const Fixture& f, const QString& mac) {
    if (mac == kLocal) {
        VerifyWindowBack();
    } else {
        QVERIFY(!Adv()->isVisible() && W().frmConnect->isVisible());
        QVERIFY(QFile::exists(f.workFile("macdiscover.tmp")) && !f.nodeLines().isEmpty());
    }
}

// When a test sets it, the local node starts once more during the first wait
// of a factory reset, as a node that did not come up cleanly.
const Fixture* gRestartsTwice = nullptr;

void RestartingWait(int milliseconds) {
    if (gRestartsTwice && Fixture::waited == 0) {
        SetParameters(*gRestartsTwice, kLocal, {"NUM_BOOTS=2"});
    }
    Fixture::waited += milliseconds;
}

}  // namespace

class AdvancedUpdatesTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() {
        gRestartsTwice = nullptr;
        QDir::setCurrent(QDir::tempPath());
    }

    // Each update button sends its panel; the node keeps the values and a
    // refresh shows them again. After an accepted IP update (only a fixed
    // address sends the address lines) the last request is the restart. A
    // refusal shows the client's first line and changes nothing.
    void updateButtons_data() {
        Columns({"mac", "fault", "changes", "button", "request", "kept", "refusal", "waited"});
        const QString fixed =
            "cboIpConfig=Fixed|txtIpAddress=%1|txtSubnetMask=255.255.0.0|"
            "txtDefGateway=192.168.1.254";
        Row("fixed address, then restart", kOffice, "", fixed.arg("192.168.1.50"),
            "cmdUpdateFixedIp", "HW_RESET_OK=Ok",
            "IP_CONFIG_NVRAM=Fixed|IP_ADDR_NVRAM=192.168.1.50|IP_ADDR=192.168.1.50|"
            "NETMASK=255.255.0.0|GATEWAY=192.168.1.254|NUM_BOOTS=2",
            "", "15000");
        Row("automatic address sends the mode alone", kLocal, "",
            "cboIpConfig=DHCP|txtIpAddress=10.0.0.9", "cmdUpdateFixedIp", "HW_RESET_OK=Ok",
            "IP_CONFIG_NVRAM=DHCP|IP_ADDR_NVRAM=192.168.1.10|IP_CONFIG=DHCP|NUM_BOOTS=2", "",
            "15000");
        Row("MAC and node type", kGarage, "", "cboMacType=10 Full|cboNodeType=AP",
            "cmdUpdateMacConf", "MAC_TYPE=10 Full|NODE_TYPE=AP", "NUM_BOOTS=1", "", "0");
        Row("notches and distortion control", kOffice, "",
            "cboNotches=Amateur+Broadcast|cboDistControl=Off", "cmdUpdatePhyConf",
            "NOTCHES=Amateur+Broadcast|DISTORTION_CONTROL=Off", "", "", "0");
        Row("multicast", kLocal, "", "IGMP=Proxy", "CmdUpdateIGMP", "MCAST_IGMP=Proxy", "", "",
            "0");
        Row("address the node refuses", kOffice, "", fixed.arg("300.1.1.1"), "cmdUpdateFixedIp",
            "IP_CONFIG_NVRAM=Fixed|IP_ADDR_NVRAM=300.1.1.1|NETMASK_NVRAM=255.255.0.0|"
            "GATEWAY_NVRAM=192.168.1.254",
            "", "ERROR: '300.1.1.1'", "0");
        Row("password refused", kOffice, "refusePassword", "cboNotches=Disabled|cboDistControl=Off",
            "cmdUpdatePhyConf", "NOTCHES=Disabled|DISTORTION_CONTROL=Off", "", "2 ", "0");
    }
    void updateButtons() {
        Fixture f;
        const QString mac = Cell("mac"), request = Cell("request");
        OPEN_ADVANCED(f, mac);
        if (!Cell("fault").isEmpty()) {
            f.sim({"fault", mac, Cell("fault"), "on"});
        }
        const QStringList changes = Parts(Cell("changes"));
        Apply(changes);
        const kaldorsim::Parameters before = Parameters(f, mac);
        f.click(Adv(), qPrintable(Cell("button")));
        QCOMPARE(f.readWorkFile("post.cfg"), PostRequest(mac, "kaldor", Parts(request)));
        QCOMPARE(Fixture::waited, Cell("waited").toLongLong());
        VerifyWindowBack();
        if (!Cell("refusal").isEmpty()) {
            QCOMPARE(f.dialogs.boxes.size(), 1);
            VerifyOutcome(f, "refused");
            QVERIFY(f.dialogs.boxes[0].text.startsWith(Cell("refusal")));
            QCOMPARE(Parameters(f, mac), before);
            VerifyShown(changes);
            return;
        }
        QCOMPARE(f.dialogs.boxes.size(), Fixture::waited > 0 ? 1 : 0);
        QCOMPARE(f.dialogs.boxes.value(0).text, Fixture::waited > 0 ? Session().errResetOk : "");
        // What the node keeps: the request's settings, or those given.
        VerifyKept(f, mac,
                   (Fixture::waited > 0 ? QStringList() : Parts(request)) + Parts(Cell("kept")));
        // Only the node can bring the values back now.
        Apply(QStringList(changes).replaceInStrings(QRegularExpression("=.*"), "="));
        f.click(Adv(), "cmdRefresh");
        VerifyShown(QStringList(changes).replaceInStrings("10.0.0.9", "192.168.1.10"));
    }

    // The hardware reset waits ten times 1500 ms for the restart once the node
    // has accepted it with "0" or "3"; a refusal is shown under errReseting.
    void hardwareReset_data() {
        Columns({"password", "answer", "waited", "boots"});
        Row("accepted", "kaldor", "", "15000", "2");
        Row("wrong password", "wrong", "", "0", "1");
        Row("answered with 3", "kaldor", "3", "15000", "1");
    }
    void hardwareReset() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        Session().NodePassword = Cell("password");
        if (!Cell("answer").isEmpty()) {
            // A stand-in client, found before any other, that answers so and
            // leaves the network alone.
            f.writeWorkFile("ihcp_client.exe", "#!/bin/sh\nprintf '" + Cell("answer").toUtf8() +
                                                   "\\r\\n' > ihcp_client.tmp\n");
            QFile::setPermissions(f.workFile("ihcp_client.exe"),
                                  QFile::ExeOwner | QFile::ReadOwner);
        }
        f.click(Adv(), "cmdReset");
        QCOMPARE(f.readWorkFile("post.cfg"),
                 PostRequest(kLocal, Cell("password"), {"HW_RESET_OK=Ok"}));
        QCOMPARE(Fixture::waited, Cell("waited").toLongLong());
        QCOMPARE(Parameters(f, kLocal).value("NUM_BOOTS"), Cell("boots"));
        QCOMPARE(f.dialogs.boxes.size(), 1);
        const bool restarted = Fixture::waited > 0;
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.dialogs.boxes[0].title, restarted ? kAppTitle : Session().errReseting);
        QCOMPARE(f.dialogs.boxes[0].text, restarted ? Session().errResetOk : ResponseFirstLine(f));
        auto* bar = Ctl<QProgressBar>(W().frmMessage, "barMessage");
        QCOMPARE(bar->value(), bar->maximum());
        VerifyWindowBack();
    }

    // The factory reset: 33 s of waiting, then the boot count decides. The
    // advanced window asks only the node on the wire (a remote node counts as
    // reset) and closes as its buttons do; the node page's Reset asks even a
    // remote node, which cannot answer, and runs the page's own discovery.
    void factoryReset_data() {
        Columns({"route", "mac", "typed", "waited", "outcome", "password"});
        Row("node on the wire", "window", kLocal, "FP000001", "33000", "errFactResetOk", "kaldor");
        Row("node on the wire started twice", "window", kLocal, "FP000001", "33000",
            "errFactResetKo", "kaldor");
        Row("wrong factory password", "window", kLocal, "FP-wrong", "0", "errPwError", "mine-1");
        Row("cancelled", "window", kLocal, "", "0", "", "mine-1");
        Row("remote node, no query", "window", kOffice, "FP000002", "33000", "errFactResetOk",
            "kaldor");
        Row("node page", "page", kLocal, "FP000001", "33000", "errFactResetOk", "kaldor");
        Row("node page, wrong factory password", "page", kLocal, "nope", "0", "errPwError",
            "mine-1");
        Row("node page's reset of a remote node", "call", kOffice, "FP000002", "33000",
            "errFactResetKoOrPw", "kaldor");
    }
    void factoryReset() {
        Fixture f;
        const QString route = Cell("route"), mac = Cell("mac"), typed = Cell("typed");
        const QString outcome = Cell("outcome");
        OPEN_ADVANCED(f, mac);
        if (route == "page") {  // the node page, the connected node chosen
            Adv()->hide();
            f.dialogs.typePassword("");  // the study's password is not known
            App().flow.DiscoverNodes();
            f.clickNodeBox();
        }
        // A password of the user's, so that going back to the default shows.
        f.sim({"password", mac, "mine-1"});
        Session().NodePassword = "mine-1";
        gRestartsTwice = outcome == "errFactResetKo" ? &f : nullptr;
        InstallWait(RestartingWait);
        QFile::remove(f.workFile("ihcp_client.tmp"));
        qsizetype box = f.dialogs.boxes.size();
        f.dialogs.typePassword(typed);
        if (route == "window") {
            f.click(Adv(), "cmdFactoryReset");
        } else if (route == "page") {
            f.click(W().frmConnect, "cmdFactoryReset");
        } else {
            FactoryResetConnect();
        }
        QCOMPARE(Fixture::waited, Cell("waited").toLongLong());
        const QByteArray post = "POST " + mac.toUtf8() + "\r\n.FACTORY_PASSWORD=" + typed.toUtf8();
        QCOMPARE(f.readWorkFile("post.cfg"), typed.isEmpty() ? QByteArray() : post + "\r\n");
        QCOMPARE(SimNode(f, mac).password, Cell("password"));
        // Without a discovery afterwards the files show the boot-count query.
        if (route == "call" || (route == "window" && mac == kLocal)) {
            QCOMPARE(Ctl<QLabel>(W().frmAskPw, "lblAskPw")->text(), GetText("lblAskFactPw"));
            if (!typed.isEmpty()) {
                QCOMPARE(f.readWorkFile("get.cfg"),
                         "GET " + mac.toUtf8() + "\r\n.PASSWORD=kaldor\r\nNUM_BOOTS\r\n");
            }
            QCOMPARE(ResponseFirstLine(f) == "INFO", Fixture::waited > 0 && mac == kLocal);
            QCOMPARE(f.dialogs.boxes.size(), box + (outcome.isEmpty() ? 0 : 1) + (route == "call"));
        }
        if (route == "call") {  // the remote node cannot answer
            QCOMPARE(f.dialogs.boxes.value(box).text, ResponseFirstLine(f));
            QCOMPARE(f.dialogs.boxes.value(box++).title, Session().errLoadConf);
        }
        QCOMPARE(f.dialogs.boxes.value(box).text, outcome.isEmpty() ? "" : GetText(outcome));
        QVERIFY(!W().frmMessage->isVisible());
        if (route == "window") {
            VerifyClosing(f, mac);
            QCOMPARE(Session().NodePassword == "kaldor", outcome == "errFactResetOk");
        } else {
            QVERIFY(W().frmConnect->isEnabled() &&
                    (route == "call" || W().frmConnect->isVisible()));
        }
    }

    // The encryption, key and network identifier buttons send their setting
    // (encryption but None only with a network identifier, the key only when
    // typed twice alike). For the node on the wire a refresh then shows what
    // the node kept ("control=KEY=value").
    void securityButtons_data() {
        Columns({"mac", "changes", "button", "networkChange", "request", "outcome", "kept"});
        const QString key = "|ENCRYPT_KEY_STR=HomeKey-2024|CRYPTO_OK=Ok";
        const QString aes = "ENCRYPT_TYPE=AES|ENCRYPT_AES_TYPE=ECB|ENCRYPT_KEY_LENGTH=256" + key;
        const char* keyTwice = "txtEncrypKey=NewKey-1|txtConfirmKey=NewKey-1";
        Row("AES with the defaults of the choice", kLocal, "cboEncryptType=AES", "cmdUpEncryption",
            "3", aes, "accepted",
            "cboEncryptType=ENCRYPT_TYPE=AES|cboEncryptLength=ENCRYPT_KEY_LENGTH=256");
        Row("AES, CBC, 128", kLocal,
            "cboEncryptType=AES|cboAESEncryptType=CBC|cboEncryptLength=128", "cmdUpEncryption", "3",
            "ENCRYPT_TYPE=AES|ENCRYPT_AES_TYPE=CBC|ENCRYPT_KEY_LENGTH=128" + key, "accepted",
            "cboAESEncryptType=ENCRYPT_AES_TYPE=CBC");
        Row("3DES whatever the length shows", kLocal, "cboEncryptLength=256", "cmdUpEncryption",
            "3", "ENCRYPT_TYPE=3DES|ENCRYPT_KEY_LENGTH=168" + key, "accepted",
            "cboEncryptLength=ENCRYPT_KEY_LENGTH=168");
        // Clearing the identifier clears the key, which moves the node to
        // another network: the node says so with 3, which is no "0".
        Row("none without network identifier", kLocal, "txtNetId=|cboEncryptType=None",
            "cmdUpEncryption", "3", "ENCRYPT_TYPE=None|ENCRYPT_KEY_STR=|CRYPTO_OK=Ok", "refused",
            "cboEncryptType=ENCRYPT_TYPE=None|txtEncrypKey=ENCRYPT_KEY_STR=");
        Row("AES without network identifier", kLocal, "txtNetId=|cboEncryptType=AES",
            "cmdUpEncryption", "3", "", "errNoNetId", "cboEncryptType=ENCRYPT_TYPE=3DES");
        Row("AES on a remote node", kGarage, "cboEncryptType=AES", "cmdUpEncryption", "3", aes,
            "accepted", "cboEncryptType=ENCRYPT_TYPE=AES");
        Row("key", kLocal, keyTwice, "cmdUpKey", "0", "ENCRYPT_KEY_STR=NewKey-1", "accepted",
            "txtEncrypKey=ENCRYPT_KEY_STR=NewKey-1");
        Row("key answered with 3", kLocal, keyTwice, "cmdUpKey", "3", "ENCRYPT_KEY_STR=NewKey-1",
            "refused", "txtEncrypKey=ENCRYPT_KEY_STR=NewKey-1");
        Row("key confirmation differs", kGarage, "txtEncrypKey=NewKey-1|txtConfirmKey=NewKey-2",
            "cmdUpKey", "0", "", "errPwMistake", "txtEncrypKey=ENCRYPT_KEY_STR=HomeKey-2024");
        Row("empty network identifier", kLocal, "txtNetId=", "cmdUpId", "0",
            "NET_ID_STR=", "accepted", "txtNetId=NET_ID_STR=");
        Row("identifier of a remote node", kGarage, "txtNetId=KaldorNew", "cmdUpId", "0",
            "NET_ID_STR=KaldorNew", "accepted", "txtNetId=NET_ID_STR=KaldorNew");
    }
    void securityButtons() {
        Fixture f;
        const QString mac = Cell("mac"), request = Cell("request");
        OPEN_ADVANCED(f, mac);
        f.sim({"network-change-answer", Cell("networkChange")});
        Apply(Parts(Cell("changes")));
        f.click(Adv(), qPrintable(Cell("button")));
        VerifyOutcome(f, Cell("outcome"));
        QCOMPARE(f.readWorkFile("post.cfg"),
                 request.isEmpty() ? QByteArray() : PostRequest(mac, "kaldor", Parts(request)));
        QStringList keys, shown;
        for (const QString& triple : Parts(Cell("kept"))) {
            keys << triple.section('=', 1);
            shown << triple.section('=', 0, 0) + "=" + triple.section('=', 2);
        }
        VerifyKept(f, mac, keys);
        QVERIFY(Text("txtConfirmKey")->text().isEmpty());
        VerifyClosing(f, mac);
        if (mac == kLocal) {
            QCOMPARE(f.dialogs.boxes.size(), 1);
            f.click(Adv(), "cmdRefresh");
            VerifyShown(shown);
        }
    }

    // A new configuration password is taken for later requests once the node
    // accepts it; the local node's known password follows.
    void password_data() {
        Columns({"mac", "confirmed", "current", "outcome"});
        Row("node on the wire", kLocal, "secret-1", "kaldor", "accepted");
        Row("remote node", kOffice, "secret-1", "kaldor", "accepted");
        Row("confirmation differs", kLocal, "secret-9", "kaldor", "errPwMistake");
        Row("current password refused", kLocal, "secret-1", "wrong", "refused");
    }
    void password() {
        Fixture f;
        const QString mac = Cell("mac"), confirmed = Cell("confirmed"), current = Cell("current");
        OPEN_ADVANCED(f, mac);
        Session().NodePassword = current;
        Apply({"txtConfPassword=secret-1", "txtConfirmPw=" + confirmed});
        f.click(Adv(), "cmdUpPw");
        QCOMPARE(f.dialogs.boxes.size(), 1);
        VerifyOutcome(f, Cell("outcome"));
        const bool accepted = Cell("outcome") == "accepted", sent = confirmed == "secret-1";
        QCOMPARE(f.readWorkFile("post.cfg"),
                 sent ? PostRequest(mac, current, {"NEWPASSWORD=" + confirmed}) : QByteArray());
        QCOMPARE(SimNode(f, mac).password, accepted ? confirmed : QString("kaldor"));
        QCOMPARE(Session().NodePassword, accepted ? confirmed : current);
        QCOMPARE(Session().LocalPassword, accepted && mac == kLocal ? confirmed : "kaldor");
        VerifyShown({"txtConfPassword=", "txtConfirmPw="});
        QVERIFY(!Control("cmdUpPw")->isEnabled());
        VerifyWindowBack();
        // Later requests carry the password in use.
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(f.dialogs.boxes.size(), current == "wrong" ? 2 : 1);
    }

    // The alias stays on this computer; the box is titled with the button's
    // caption in the language in use.
    void alias() {
        Fixture f;
        f.writeWorkFile("languages/default.lang", "spanish.lng\r\n");
        OPEN_ADVANCED(f, kOffice);
        Text("txtAlias")->setText("Cocina");
        f.click(Adv(), "cmdUpdAlias");
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, Session().errUpgradeOk);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::NoIcon);
        QCOMPARE(f.dialogs.boxes[0].title, GetText("cmdUpdateAlias"));
        QVERIFY(!QFile::exists(f.workFile("post.cfg")));
        QVERIFY(ReadLines(f.workFile("alias.tmp")).value().contains(kOffice + "=Cocina"));
        Text("txtAlias")->clear();
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(Text("txtAlias")->text(), "Cocina");
    }

    // The text boxes of the security panel unlock each other step by step.
    // Enabled: txtConfirmPw, cmdUpPw, txtEncrypKey, txtConfirmKey, cmdUpKey.
    void securityChangeRules_data() {
        Columns({"typing", "enabled", "key", "confirmKey"});
        const char* key = "HomeKey-2024";
        Row("as loaded", "", "00111", key, "");
        Row("password enables its confirmation", "txtConfPassword=a", "10111", key, "");
        Row("confirmation enables the button", "txtConfPassword=a|txtConfirmPw=a", "11111", key,
            "");
        Row("deleting the confirmation keeps the button",
            "txtConfPassword=a|txtConfirmPw=a|txtConfirmPw=", "11111", key, "");
        Row("emptying both disables the button",
            "txtConfPassword=a|txtConfirmPw=a|txtConfirmPw=|txtConfPassword=", "10111", key, "");
        Row("clearing the key empties its confirmation", "txtConfirmKey=x|txtEncrypKey=", "00101",
            "", "");
        Row("clearing the identifier empties the key", "txtConfirmKey=x|txtNetId=", "00001", "",
            "");
        Row("a new identifier enables the empty key", "txtNetId=|txtNetId=Other", "00101", "", "");
    }
    void securityChangeRules() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        Apply(Parts(Cell("typing")));
        QCOMPARE(Enabled({"txtConfirmPw", "cmdUpPw", "txtEncrypKey", "txtConfirmKey", "cmdUpKey"}),
                 Cell("enabled"));
        VerifyShown({"txtEncrypKey=" + Cell("key"), "txtConfirmKey=" + Cell("confirmKey")});
    }
};

QTEST_MAIN(AdvancedUpdatesTest)
#include "test_advanced_updates.moc"
