// The advanced window's buttons that change a node: update buttons, security
// settings, hardware and factory reset, end to end against the simulated network.
#include <QLabel>

#include "advanced/Reset.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "main/Navigator.h"
#include "test_advanced_helpers.h"

class AdvancedUpdatesTest : public QObject {
    Q_OBJECT

private slots:
    // A button sends its panel: the request file holds exactly "request"
    // after the header lines (for an address update, the restart that follows
    // it), the user is told "told", the node holds "kept" and nothing else
    // changed. Key, identifier and encryption updates of a remote node close
    // the window for a new discovery, whatever the node answered. "setup" is a
    // simulator command run first; "answer" a stand-in client's only answer.
    void updates_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<L>("setup");
        QTest::addColumn<L>("changes");  // "control=value" as the user makes them
        QTest::addColumn<QString>("button");
        QTest::addColumn<L>("request");
        QTest::addColumn<QString>("told");
        QTest::addColumn<L>("kept");
        QTest::addColumn<QString>("password");  // of the node and the session afterwards
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("waited");
        const L none, reset{"HW_RESET_OK=Ok"}, refuse{"fault", kLocal, "refusePassword", "on"},
            answer0{"network-change-answer", "0"},
            ip{"cboIpConfig=Fixed", "txtIpAddress=%1", "txtSubnetMask=255.255.0.0",
               "txtDefGateway=192.168.1.254"};
        const L ipSent{"IP_CONFIG_NVRAM=Fixed", "IP_ADDR_NVRAM=%1", "NETMASK_NVRAM=255.255.0.0",
                       "GATEWAY_NVRAM=192.168.1.254"};
        const QString ok = "[1|Kaldor Config Tool] {errUpgradeOk}",
                      restarted = "[1|Kaldor Config Tool] {errResetOk}",
                      mismatch = "[1|Kaldor Config Tool] {errPwMistake}",
                      refused = "[1|{errSaving}] 2 Password refused by node 020A1B000001";
        const L key{"ENCRYPT_KEY_STR=HomeKey-2024", "CRYPTO_OK=Ok"};
        const L tagged{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=4094", "KALDOR_VLAN_PRIO=5"};
        const L untagged{"KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_TAG=300"};
        Row("fixed address, then restart", kOffice, none,
            L(ip).replaceInStrings("%1", "192.168.1.50"), "cmdUpdateFixedIp", reset, restarted,
            L(ipSent).replaceInStrings("%1", "192.168.1.50") +
                L{"IP_CONFIG=Fixed", "IP_ADDR=192.168.1.50", "NETMASK=255.255.0.0",
                  "GATEWAY=192.168.1.254", "NUM_BOOTS=2"},
            "kaldor", false, 15000);
        Row("automatic address sends the mode alone", kLocal, none,
            L{"cboIpConfig=DHCP", "txtIpAddress=10.0.0.9"}, "cmdUpdateFixedIp", reset, restarted,
            L{"IP_CONFIG_NVRAM=DHCP", "IP_CONFIG=DHCP", "NUM_BOOTS=2"}, kLocalPw, false, 15000);
        Row("address the node refuses", kOffice, none, L(ip).replaceInStrings("%1", "300.1.1.1"),
            "cmdUpdateFixedIp", L(ipSent).replaceInStrings("%1", "300.1.1.1"),
            "[1|{errSaving}] ERROR: '300.1.1.1' is not an IPv4 address (IP_ADDR_NVRAM)", none,
            "kaldor", false, 0);
        Row("MAC and node type", kGarage, none, L{"cboMacType=10 Full", "cboNodeType=AP"},
            "cmdUpdateMacConf", L{"MAC_TYPE=10 Full", "NODE_TYPE=AP"}, "",
            L{"MAC_TYPE=10 Full", "NODE_TYPE=AP"}, "kaldor", false, 0);
        Row("notches and distortion control", kOffice, none,
            L{"cboNotches=Amateur+Broadcast", "cboDistControl=Off"}, "cmdUpdatePhyConf",
            L{"NOTCHES=Amateur+Broadcast", "DISTORTION_CONTROL=Off"}, "",
            L{"NOTCHES=Amateur+Broadcast", "DISTORTION_CONTROL=Off"}, "kaldor", false, 0);
        Row("multicast", kLocal, none, L{"IGMP=Proxy"}, "CmdUpdateIGMP", L{"MCAST_IGMP=Proxy"}, "",
            L{"MCAST_IGMP=Proxy"}, kLocalPw, false, 0);
        Row("hardware reset", kLocal, none, none, "cmdReset", reset, restarted, L{"NUM_BOOTS=2"},
            kLocalPw, false, 15000);
        Row("hardware reset refused", kLocal, refuse, none, "cmdReset", reset,
            "[1|{errReseting}] 2 Password refused by node 020A1B000001", none, kLocalPw, false, 0);
        Row("hardware reset answered with 3", kLocal, L{"answer", "3"}, none, "cmdReset", reset,
            restarted, none, kLocalPw, false, 15000);
        Row("AES, CBC, 128", kLocal, none,
            L{"cboEncryptType=AES", "cboAESEncryptType=CBC", "cboEncryptLength=128"},
            "cmdUpEncryption",
            L{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC", "ENCRYPT_KEY_LENGTH=128"} + key, ok,
            L{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC", "ENCRYPT_KEY_LENGTH=128"}, kLocalPw,
            false, 0);
        Row("3DES whatever the length shows", kLocal, none, L{"cboEncryptLength=256"},
            "cmdUpEncryption", L{"ENCRYPT_TYPE=3DES", "ENCRYPT_KEY_LENGTH=168"} + key, ok, none,
            kLocalPw, false, 0);
        // Clearing the identifier clears the key: another network, answered 3.
        Row("none without network identifier", kLocal, none, L{"txtNetId=", "cboEncryptType=None"},
            "cmdUpEncryption", L{"ENCRYPT_TYPE=None", "ENCRYPT_KEY_STR=", "CRYPTO_OK=Ok"},
            "[1|{errSaving}] 3", L{"ENCRYPT_TYPE=None", "ENCRYPT_KEY_STR="}, kLocalPw, false, 0);
        Row("AES without network identifier: nothing sent, the window stays", kGarage, none,
            L{"txtNetId=", "cboEncryptType=AES"}, "cmdUpEncryption", none,
            "[1|Kaldor Config Tool] {errNoNetId}", none, "kaldor", false, 0);
        Row("key", kLocal, answer0, L{"txtEncrypKey=NewKey-1", "txtConfirmKey=NewKey-1"},
            "cmdUpKey", L{"ENCRYPT_KEY_STR=NewKey-1"}, ok, L{"ENCRYPT_KEY_STR=NewKey-1"}, kLocalPw,
            false, 0);
        Row("key confirmation differs", kGarage, none,
            L{"txtEncrypKey=NewKey-1", "txtConfirmKey=NewKey-2"}, "cmdUpKey", none, mismatch, none,
            "kaldor", true, 0);
        Row("empty network identifier", kLocal, answer0, L{"txtNetId="}, "cmdUpId",
            L{"NET_ID_STR="}, ok, L{"NET_ID_STR="}, kLocalPw, false, 0);
        Row("identifier of a remote node, answered 3", kGarage, none, L{"txtNetId=KaldorNew"},
            "cmdUpId", L{"NET_ID_STR=KaldorNew"}, "[1|{errSaving}] 3", L{"NET_ID_STR=KaldorNew"},
            "kaldor", true, 0);
        // The priority goes out only with tagging on; the confirmation is in lower case.
        Row("tagging, highest tag", kGarage, none,
            L{"cboVlanConf=Enabled", "txtVlanTag=4094", "cboVlanPrio=5"}, "cmdUpVlan",
            tagged + L{"KALDOR_VLAN_OK=ok"}, "", tagged, "kaldor", false, 0);
        Row("tagging off: a tag but no priority", kGarage, none,
            L{"cboVlanConf=Enabled", "txtVlanTag=300", "cboVlanPrio=3", "cboVlanConf=Disabled"},
            "cmdUpVlan", untagged + L{"KALDOR_VLAN_OK=ok"}, "", untagged, "kaldor", false, 0);
        Row("password of the node on the wire", kLocal, none,
            L{"txtConfPassword=secret-1", "txtConfirmPw=secret-1"}, "cmdUpPw",
            L{"NEWPASSWORD=secret-1"}, ok, none, "secret-1", false, 0);
        Row("password of a remote node", kOffice, none,
            L{"txtConfPassword=secret-1", "txtConfirmPw=secret-1"}, "cmdUpPw",
            L{"NEWPASSWORD=secret-1"}, ok, none, "secret-1", false, 0);
        Row("password confirmation differs", kLocal, none,
            L{"txtConfPassword=secret-1", "txtConfirmPw=secret-9"}, "cmdUpPw", none, mismatch, none,
            kLocalPw, false, 0);
        Row("password refused", kLocal, refuse,
            L{"txtConfPassword=secret-1", "txtConfirmPw=secret-1"}, "cmdUpPw",
            L{"NEWPASSWORD=secret-1"}, refused, none, kLocalPw, false, 0);
    }
    void updates() {
        Fixture f;
        const QString mac = Cell("mac");
        const L setup = Cell<L>("setup");
        OPEN_ADVANCED(f, mac);
        const QString password = Session().NodePassword;
        if (setup.value(0) == "answer") {  // a client found before the simulator's
            f.writeWorkFile("ihcp_client.exe", "#!/bin/sh\nprintf '" + setup[1].toUtf8() +
                                                   "\\r\\n' > ihcp_client.tmp\n");
            QFile::setPermissions(f.workFile("ihcp_client.exe"),
                                  QFile::ExeOwner | QFile::ReadOwner);
        } else if (!setup.isEmpty()) {
            f.sim(setup);
        }
        Set(Cell<L>("changes"));
        kaldorsim::Parameters expected = Parameters(f, mac);
        for (const QString& pair : Cell<L>("kept")) {
            expected.insert(pair.section('=', 0, 0), pair.section('=', 1));
        }
        f.click(Adv(), qPrintable(Cell("button")));
        const L request = Cell<L>("request");
        QCOMPARE(f.readWorkFile("post.cfg"),
                 request.isEmpty() ? QByteArray() : Request("POST " + mac, password, request));
        QCOMPARE(f.dialogs.describe(), Resolved(Cell("told")));
        QCOMPARE(Fixture::waited, Cell<int>("waited"));
        QCOMPARE(Parameters(f, mac), expected);
        QCOMPARE(SimNode(f, mac).password, Cell("password"));
        QCOMPARE(Session().NodePassword, Cell("password"));
        QCOMPARE(Session().LocalPassword, mac == kLocal ? Cell("password") : kLocalPw);
        // Sent or not, the password boxes and the key's confirmation are emptied.
        QCOMPARE(Shown({"txtConfPassword=", "txtConfirmPw=", "txtConfirmKey=", "cmdUpPw off"}),
                 Shown({"txtConfPassword", "txtConfirmPw", "txtConfirmKey", "cmdUpPw"}));
        QVERIFY(!W().frmMessage->isVisible() && Adv()->isEnabled());
        QCOMPARE(Adv()->isVisible(), !Cell<bool>("closes"));
        QCOMPARE(W().frmConnect->isVisible() && !f.nodeLines().isEmpty(), Cell<bool>("closes"));
    }

    // The factory reset: 33 s of waiting, then the boot count decides. The
    // advanced window asks only the node on the wire (a remote node counts as
    // reset) and closes as its security buttons do; the node page's reset
    // asks even a remote node, which cannot answer.
    void factoryReset_data() {
        QTest::addColumn<bool>("page");  // the node page's reset, else the window's
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("startsTwice");  // during the first wait
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("password");  // of the node afterwards
        QTest::addColumn<QString>("session");   // NodePassword afterwards
        const QString ok = "[1|Kaldor Config Tool] {errFactResetOk}";
        const QString wrong = "[1|Kaldor Config Tool] {errPwError}";
        Row("node on the wire", false, kLocal, "FP000001", false, ok, "kaldor", "kaldor");
        Row("node on the wire started twice", false, kLocal, "FP000001", true,
            "[1|Kaldor Config Tool] {errFactResetKo}", "kaldor", kLocalPw);
        Row("wrong factory password", false, kLocal, "FP-wrong", false, wrong, kLocalPw, kLocalPw);
        Row("cancelled", false, kLocal, "", false, "", kLocalPw, kLocalPw);
        Row("remote node, no query", false, kOffice, "FP000002", false, ok, "kaldor", "kaldor");
        Row("node page", true, kLocal, "FP000001", false, ok, "kaldor", kLocalPw);
        Row("node page, remote node", true, kOffice, "FP000002", false,
            "[1|{errLoadConf}] ERROR: node 020A1B000002 did not answer (time-out)\n"
            "[1|Kaldor Config Tool] {errFactResetKoOrPw}",
            "kaldor", "mine-1");
    }
    void factoryReset() {
        Fixture f;
        const QString mac = Cell("mac"), typed = Cell("typed");
        OPEN_ADVANCED(f, mac);
        // A password of the user's on the remote node, so that the reset shows.
        f.sim({"password", kOffice, "mine-1"});
        Session().NodePassword = mac == kLocal ? kLocalPw : "mine-1";
        // At the first wait: the prompt's label, the query written before the
        // reset ran, and a node that starts once more, as one that did not
        // come up cleanly.
        static const Fixture* fixture = nullptr;
        static bool twice = false;
        static QByteArray query;
        static QString label;
        fixture = &f, twice = Cell<bool>("startsTwice"), query.clear(), label.clear();
        InstallWait([](int ms) {
            if (Fixture::waited == 0) {
                query = fixture->readWorkFile("get.cfg");
                label = Ctl<QLabel>(W().frmAskPw, "lblAskPw")->text();
                SetParameters(*fixture, kLocal, {twice ? "NUM_BOOTS=2" : "NUM_BOOTS=1"});
            }
            Fixture::waited += ms;
        });
        f.dialogs.typePassword(typed);
        if (Cell<bool>("page")) {
            FactoryResetConnect(W().frmConnect);
        } else {
            f.click(Adv(), "cmdFactoryReset");
        }
        const bool accepted = Cell("password") == "kaldor";
        QCOMPARE(Fixture::waited, accepted ? 33000 : 0);
        QCOMPARE(f.readWorkFile("post.cfg"),
                 typed.isEmpty()
                     ? QByteArray()
                     : "POST " + mac.toUtf8() + "\r\n.FACTORY_PASSWORD=" + typed.toUtf8() + "\r\n");
        QCOMPARE(query, accepted ? Request("GET " + mac, "kaldor", {"NUM_BOOTS"}) : "");
        QCOMPARE(label, accepted ? Resolved("{lblAskFactPw}") : "");
        QCOMPARE(f.dialogs.describe(), Resolved(Cell("told")));
        QCOMPARE(SimNode(f, mac).password, Cell("password"));
        QCOMPARE(Session().NodePassword, Cell("session"));
        QVERIFY(!W().frmMessage->isVisible());
        // The node page's reset leaves the window alone.
        QCOMPARE(Adv()->isVisible(), Cell<bool>("page") || mac == kLocal);
    }

    // The alias stays on this computer; the box is titled with the button's
    // caption in the language in use.
    void alias() {
        Fixture f;
        f.writeWorkFile("languages/default.lang", "spanish.lng\r\n");
        OPEN_ADVANCED(f, kOffice);
        Set({"txtAlias=Cocina"});
        f.click(Adv(), "cmdUpdAlias");
        QCOMPARE(f.dialogs.describe(), Resolved("[4|{cmdUpdateAlias}] {errUpgradeOk}"));
        QVERIFY(!QFile::exists(f.workFile("post.cfg")));
        QVERIFY(ReadLines(f.workFile("alias.tmp")).value().contains(kOffice + "=Cocina"));
        Set({"txtAlias="});
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(Describe("txtAlias"), "txtAlias=Cocina");
    }
};

QTEST_MAIN(AdvancedUpdatesTest)
#include "test_advanced_updates.moc"
