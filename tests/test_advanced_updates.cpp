// The advanced window's buttons that change a node: update buttons, security
// settings, hardware and factory reset, end to end against the simulated network.
#include <QLabel>
#include <QProgressBar>

#include "advanced/Reset.h"
#include "lang/Catalogue.h"
#include "main/Navigator.h"
#include "main/Startup.h"
#include "support/PromptScripts.h"
#include "test_advanced_helpers.h"

using namespace advtest;

namespace {

// The boxes as DialogRecorder::describe() lists them: "@title" is the node's
// answer under that catalogue title, any other key its text; "" none.
QString Boxes(const Fixture& f, const QString& box) {
    const bool answer = box.startsWith('@');
    return box.isEmpty() ? QString()
                         : QString("[1|%1] %2")
                               .arg(answer ? GetText(box.mid(1)) : kAppTitle,
                                    answer ? ResponseFirstLine(f) : GetText(box));
}

// Each "KEY=value" is what the node holds; "password" is its password and
// NodePassword and LocalPassword the session's.
void VerifyKept(const Fixture& f, const QString& mac, const QStringList& kept) {
    for (const QString& pair : kept) {
        const QString key = pair.section('=', 0, 0);
        QCOMPARE(key == "password"        ? SimNode(f, mac).password
                 : key == "NodePassword"  ? Session().NodePassword
                 : key == "LocalPassword" ? Session().LocalPassword
                                          : Parameters(f, mac).value(key),
                 pair.section('=', 1));
    }
}

// The window stays for the node on the wire; for a remote node it gives way
// to the node page and a new discovery.
void VerifyClosing(const Fixture& f, bool remote) {
    QVERIFY(!W().frmMessage->isVisible() && Adv()->isEnabled());
    QCOMPARE(Adv()->isVisible(), !remote);
    QCOMPARE(W().frmConnect->isVisible() && !f.nodeLines().isEmpty(), remote);
}

}  // namespace

class AdvancedUpdatesTest : public QObject {
    Q_OBJECT

private slots:
    // A button sends its panel ("request": the lines after the password), the
    // node keeps "kept" ("": nothing changed, "*": the request) and a refresh
    // shows "shown" ("*": the changes). An accepted IP update ends with the
    // restart. The security buttons but the password's close the window for a
    // remote node. "answer:X": a stand-in client answers X.
    void buttons_data() {
        Columns({"mac", "sim", "changes", "button", "request", "box", "kept", "shown"});
        const QString ip =
            "cboIpConfig=Fixed|txtIpAddress=%1|txtSubnetMask=255.255.0.0|"
            "txtDefGateway=192.168.1.254";
        const QString key = "|ENCRYPT_KEY_STR=HomeKey-2024|CRYPTO_OK=Ok", reset = "HW_RESET_OK=Ok";
        const QString pw = "txtConfPassword=secret-1|txtConfirmPw=";
        const char *ok = "errUpgradeOk", *encrypt = "cmdUpEncryption";
        const char *mine = "network-change-answer|0", *refuse = "fault|local|refusePassword|on";
        const auto vlan = [](QString s) {
            return s.replace(QRegularExpression("(^|\\|)"), "\\1KALDOR_VLAN_");
        };
        Row("fixed address, then restart", kOffice, "", ip.arg("192.168.1.50"), "cmdUpdateFixedIp",
            reset, "errResetOk",
            "IP_CONFIG_NVRAM=Fixed|IP_ADDR_NVRAM=192.168.1.50|IP_ADDR=192.168.1.50|"
            "NETMASK=255.255.0.0|GATEWAY=192.168.1.254|NUM_BOOTS=2",
            "*");
        Row("automatic address sends the mode alone", kLocal, "",
            "cboIpConfig=DHCP|txtIpAddress=10.0.0.9", "cmdUpdateFixedIp", reset, "errResetOk",
            "IP_CONFIG_NVRAM=DHCP|IP_ADDR_NVRAM=192.168.1.10|IP_CONFIG=DHCP|NUM_BOOTS=2",
            "cboIpConfig=DHCP|txtIpAddress=192.168.1.10");
        Row("address the node refuses", kOffice, "", ip.arg("300.1.1.1"), "cmdUpdateFixedIp",
            "IP_CONFIG_NVRAM=Fixed|IP_ADDR_NVRAM=300.1.1.1|NETMASK_NVRAM=255.255.0.0|"
            "GATEWAY_NVRAM=192.168.1.254",
            "@errSaving", "", "");
        Row("MAC and node type", kGarage, "", "cboMacType=10 Full|cboNodeType=AP",
            "cmdUpdateMacConf", "MAC_TYPE=10 Full|NODE_TYPE=AP", "", "*", "*");
        Row("notches and distortion control", kOffice, "",
            "cboNotches=Amateur+Broadcast|cboDistControl=Off", "cmdUpdatePhyConf",
            "NOTCHES=Amateur+Broadcast|DISTORTION_CONTROL=Off", "", "*", "*");
        Row("multicast", kLocal, "", "IGMP=Proxy", "CmdUpdateIGMP", "MCAST_IGMP=Proxy", "", "*",
            "*");
        Row("hardware reset", kLocal, "", "", "cmdReset", reset, "errResetOk", "NUM_BOOTS=2", "");
        Row("hardware reset refused", kLocal, refuse, "", "cmdReset", reset, "@errReseting", "",
            "");
        Row("hardware reset answered with 3", kLocal, "answer:3", "", "cmdReset", reset,
            "errResetOk", "", "");
        Row("AES, CBC, 128", kLocal, "",
            "cboEncryptType=AES|cboAESEncryptType=CBC|cboEncryptLength=128", encrypt,
            "ENCRYPT_TYPE=AES|ENCRYPT_AES_TYPE=CBC|ENCRYPT_KEY_LENGTH=128" + key, ok,
            "ENCRYPT_TYPE=AES|ENCRYPT_AES_TYPE=CBC", "*");
        Row("3DES whatever the length shows", kLocal, "", "cboEncryptLength=256", encrypt,
            "ENCRYPT_TYPE=3DES|ENCRYPT_KEY_LENGTH=168" + key, ok, "ENCRYPT_KEY_LENGTH=168",
            "cboEncryptLength=168");
        // Clearing the identifier clears the key, which moves the node to
        // another network: the node says so with 3, which is no "0".
        Row("none without network identifier", kLocal, "", "txtNetId=|cboEncryptType=None", encrypt,
            "ENCRYPT_TYPE=None|ENCRYPT_KEY_STR=|CRYPTO_OK=Ok", "@errSaving",
            "ENCRYPT_TYPE=None|ENCRYPT_KEY_STR=", "cboEncryptType=None|txtEncrypKey=");
        Row("AES without network identifier", kLocal, "", "txtNetId=|cboEncryptType=AES", encrypt,
            "", "errNoNetId", "", "");
        Row("key", kLocal, mine, "txtEncrypKey=NewKey-1|txtConfirmKey=NewKey-1", "cmdUpKey",
            "ENCRYPT_KEY_STR=NewKey-1", ok, "*", "txtEncrypKey=NewKey-1");
        Row("key confirmation differs", kGarage, "", "txtEncrypKey=NewKey-1|txtConfirmKey=NewKey-2",
            "cmdUpKey", "", "errPwMistake", "", "");
        Row("empty network identifier", kLocal, mine, "txtNetId=", "cmdUpId", "NET_ID_STR=", ok,
            "*", "*");
        Row("identifier of a remote node", kGarage, mine, "txtNetId=KaldorNew", "cmdUpId",
            "NET_ID_STR=KaldorNew", ok, "*", "");
        // The priority goes out only with tagging on; the confirmation is in lower case.
        Row("VLAN tagging, highest tag", kGarage, "",
            "cboVlanConf=Enabled|txtVlanTag=4094|cboVlanPrio=5", "cmdUpVlan",
            vlan("CONFIG=Enabled|TAG=4094|PRIO=5|OK=ok"), "",
            vlan("CONFIG=Enabled|TAG=4094|PRIO=5"), "*");
        Row("VLAN off: a tag but no priority", kGarage, "",
            "cboVlanConf=Enabled|txtVlanTag=300|cboVlanPrio=3|cboVlanConf=Disabled", "cmdUpVlan",
            vlan("CONFIG=Disabled|TAG=300|OK=ok"), "", vlan("CONFIG=Disabled|TAG=300|PRIO=0"),
            "cboVlanConf=Disabled|txtVlanTag=300|cboVlanPrio=0");
        // Later requests carry a password the node took: the refresh succeeds.
        Row("password of the node on the wire", kLocal, "", pw + "secret-1", "cmdUpPw",
            "NEWPASSWORD=secret-1", ok,
            "password=secret-1|NodePassword=secret-1|LocalPassword=secret-1",
            "txtNetId=KaldorHome");
        Row("password of a remote node", kOffice, "", pw + "secret-1", "cmdUpPw",
            "NEWPASSWORD=secret-1", ok,
            "password=secret-1|NodePassword=secret-1|LocalPassword=kaldor", "txtNetId=KaldorHome");
        Row("password confirmation differs", kLocal, "", pw + "secret-9", "cmdUpPw", "",
            "errPwMistake", "", "");
        Row("password refused", kLocal, refuse, pw + "secret-1", "cmdUpPw", "NEWPASSWORD=secret-1",
            "@errSaving", "NodePassword=kaldor", "");
    }
    void buttons() {
        Fixture f;
        const QString mac = Cell("mac"), button = Cell("button"), request = Cell("request");
        OPEN_ADVANCED(f, mac);
        if (Cell("sim").startsWith("answer:")) {  // found before the simulator's client
            f.writeWorkFile("ihcp_client.exe", "#!/bin/sh\nprintf '" + Cell("sim").mid(7).toUtf8() +
                                                   "\\r\\n' > ihcp_client.tmp\n");
            QFile::setPermissions(f.workFile("ihcp_client.exe"),
                                  QFile::ExeOwner | QFile::ReadOwner);
        } else {
            RunSim(f, Cell("sim"));
        }
        Apply(Parts(Cell("changes")));
        const kaldorsim::Parameters before = Parameters(f, mac);
        f.click(Adv(), qPrintable(button));
        QCOMPARE(f.readWorkFile("post.cfg"),
                 request.isEmpty() ? QByteArray() : PostRequest(mac, "kaldor", Parts(request)));
        const QString boxes = f.dialogs.describe();
        QCOMPARE(boxes, Boxes(f, Cell("box")));
        QCOMPARE(Fixture::waited, Cell("box") == "errResetOk" ? 15000 : 0);
        if (Cell("kept").isEmpty()) {
            QCOMPARE(Parameters(f, mac), before);
        }
        VerifyKept(f, mac, Parts(Cell("kept") == "*" ? request : Cell("kept")));
        // Sent or not, the password and key boxes are emptied.
        QCOMPARE(Enabled({"cmdUpPw"}) + Text("txtConfPassword")->text() +
                     Text("txtConfirmPw")->text() + Text("txtConfirmKey")->text(),
                 "0");
        auto* bar = Ctl<QProgressBar>(W().frmMessage, "barMessage");
        QVERIFY(button != "cmdReset" || bar->value() == bar->maximum());
        VerifyClosing(
            f, mac != kLocal && QString("cmdUpEncryption cmdUpKey cmdUpId").contains(button));
        const QStringList shown = Parts(Cell(Cell("shown") == "*" ? "changes" : "shown"));
        if (shown.isEmpty()) {
            return;
        }
        // Only the node can bring the values back now.
        Apply(QStringList(shown).replaceInStrings(QRegularExpression("=.*"), "="));
        f.click(Adv(), "cmdRefresh");
        VerifyShown(shown);
        QCOMPARE(f.dialogs.describe(), boxes);
    }

    // The factory reset: 33 s of waiting, then the boot count decides. The
    // advanced window asks only the node on the wire (a remote node counts as
    // reset) and closes as its security buttons do; the node page's Reset asks
    // even a remote node, which cannot answer, and runs the page's discovery.
    void factoryReset_data() {
        Columns({"route", "mac", "typed", "outcome"});
        Row("node on the wire", "window", kLocal, "FP000001", "errFactResetOk");
        Row("node on the wire started twice", "window", kLocal, "FP000001", "errFactResetKo");
        Row("wrong factory password", "window", kLocal, "FP-wrong", "errPwError");
        Row("cancelled", "window", kLocal, "", "");
        Row("remote node, no query", "window", kOffice, "FP000002", "errFactResetOk");
        Row("node page", "page", kLocal, "FP000001", "errFactResetOk");
        Row("node page, wrong factory password", "page", kLocal, "nope", "errPwError");
        Row("node page's reset of a remote node", "call", kOffice, "FP000002",
            "errFactResetKoOrPw");
    }
    void factoryReset() {
        Fixture f;
        const QString route = Cell("route"), mac = Cell("mac"), typed = Cell("typed");
        const QString outcome = Cell("outcome");
        OPEN_ADVANCED(f, mac);
        if (route == "page") {  // the node page, the connected node chosen
            Adv()->hide();
            f.dialogs.typePassword("");  // the study's password is not known
            TheNavigator()->Discover();
            f.clickNodeBox();
        }
        // A password of the user's, so that going back to the default shows.
        f.sim({"password", mac, "mine-1"});
        Session().NodePassword = "mine-1";
        // The node may start once more during the first wait, as a node that
        // did not come up cleanly.
        static const Fixture* twice = nullptr;
        twice = outcome == "errFactResetKo" ? &f : nullptr;
        InstallWait([](int ms) {
            if (twice && Fixture::waited == 0) {
                SetParameters(*twice, kLocal, {"NUM_BOOTS=2"});
            }
            Fixture::waited += ms;
        });
        QFile::remove(f.workFile("ihcp_client.tmp"));
        f.dialogs.boxes.clear();
        f.dialogs.typePassword(typed);
        if (route == "call") {
            FactoryResetConnect(W().frmConnect);
        } else {
            f.click(route == "page" ? W().frmConnect : Adv(), "cmdFactoryReset");
        }
        const bool reset = outcome.startsWith("errFactReset");
        QCOMPARE(Fixture::waited, reset ? 33000 : 0);
        QCOMPARE(f.readWorkFile("post.cfg"),
                 typed.isEmpty()
                     ? QByteArray()
                     : "POST " + mac.toUtf8() + "\r\n.FACTORY_PASSWORD=" + typed.toUtf8() + "\r\n");
        QCOMPARE(SimNode(f, mac).password, reset ? "kaldor" : "mine-1");
        // Without a discovery afterwards the files show the boot-count query,
        // which a remote node cannot answer.
        if (route == "call" || (route == "window" && mac == kLocal)) {
            QCOMPARE(Ctl<QLabel>(W().frmAskPw, "lblAskPw")->text(), GetText("lblAskFactPw"));
            if (!typed.isEmpty()) {
                QCOMPARE(f.readWorkFile("get.cfg"),
                         "GET " + mac.toUtf8() + "\r\n.PASSWORD=kaldor\r\nNUM_BOOTS\r\n");
            }
            QCOMPARE(ResponseFirstLine(f) == "INFO", reset && mac == kLocal);
        }
        const QString unanswered =
            QString("[1|%1] %2\n").arg(Session().errLoadConf, ResponseFirstLine(f));
        QCOMPARE(f.dialogs.describe(), (route == "call" ? unanswered : "") + Boxes(f, outcome));
        QVERIFY(!W().frmMessage->isVisible());
        if (route == "window") {
            VerifyClosing(f, mac != kLocal);
            QCOMPARE(Session().NodePassword == "kaldor", outcome == "errFactResetOk");
        } else {
            QVERIFY(W().frmConnect->isEnabled() &&
                    (route == "call" || W().frmConnect->isVisible()));
        }
    }

    // The alias stays on this computer; the box is titled with the button's
    // caption in the language in use.
    void alias() {
        Fixture f;
        f.writeWorkFile("languages/default.lang", "spanish.lng\r\n");
        OPEN_ADVANCED(f, kOffice);
        Text("txtAlias")->setText("Cocina");
        f.click(Adv(), "cmdUpdAlias");
        QCOMPARE(f.dialogs.describe(),
                 QString("[4|%1] %2").arg(GetText("cmdUpdateAlias"), Session().errUpgradeOk));
        QVERIFY(!QFile::exists(f.workFile("post.cfg")));
        QVERIFY(ReadLines(f.workFile("alias.tmp")).value().contains(kOffice + "=Cocina"));
        Text("txtAlias")->clear();
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(Text("txtAlias")->text(), "Cocina");
    }
};

QTEST_MAIN(AdvancedUpdatesTest)
#include "test_advanced_updates.moc"
