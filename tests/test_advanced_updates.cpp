// The advanced window's buttons that change a node: update buttons, security
// settings, hardware and factory reset, end to end against the simulated network.
#include <QProgressBar>

#include "advanced/Reset.h"
#include "app/Seams.h"
#include "test_advanced_helpers.h"

class AdvancedUpdatesTest : public QObject {
    Q_OBJECT

private slots:
    // A button sends its panel: the request file holds exactly "request" after the header lines
    // (for an address update, the restart that follows it, the address reaching the node as
    // "kept"), and the user is told "told", every box over a full bar. Key, identifier and
    // encryption updates of a remote node close the window for a new discovery, whatever the
    // node answered; their answer 3 (the node took the change and left the network) counts as
    // taken. The reset button asks first, the restart after an address does not. "setup" is a
    // simulator command run first; "answer" a stand-in client's only answer; "no" the answer to
    // the reset's question, else yes. The alias stays in this computer's file of aliases; a
    // "password" kept is the node's and the session's afterwards.
    // clang-format off
    void updates_data() {
        // "changes": "control=value" as the user makes them
        Cols<QString, L, L, QString, L, QString, L, bool>(
            {"mac", "setup", "changes", "button", "request", "told", "kept", "closes"});
        const L none, reset{"HW_RESET_OK=Ok"}, refuse{"fault", kLocal, "refusePassword", "on"},
            zero{"network-change-answer", "0"}, key{"ENCRYPT_KEY_STR=HomeKey-2024", "CRYPTO_OK=Ok"};
        const L ip{"cboIpConfig=Fixed", "txtIpAddress=10.1.1.1", "txtSubnetMask=255.255.0.0",
            "txtDefGateway=10.1.1.254"}, one{"NUM_BOOTS=1"}, pwSent{"NEWPASSWORD=secret-1"};
        const L ipSent{"IP_CONFIG_NVRAM=Fixed", "IP_ADDR_NVRAM=10.1.1.1", "NETMASK_NVRAM=255.255.0.0",
            "GATEWAY_NVRAM=10.1.1.254"}, pw{"txtConfPassword=secret-1", "txtConfirmPw=secret-1"};
        const L newKey{"txtEncrypKey=NewKey-1", "txtConfirmKey=NewKey-1"}, keySent{"ENCRYPT_KEY_STR=NewKey-1"};
        const QString t = "Kaldor Config Tool] ", ok = "[0|" + t + "{errUpgradeOk}", restarted = "[0|" + t + "{errResetOk}",
            ask = "[3|" + t + "{msgAskReset}\n", mismatch = "[1|" + t + "{errPwMistake}",
            refused = "2 Password refused by node 020A1B000001", saving = "[1|{errSaving}] " + refused,
            reread = "FLUP_FILENAME=after.img";
        Row("fixed address, then restart", kOffice, none, ip, "cmdUpdateFixedIp", reset, restarted,
            ipSent + L{"IP_ADDR=10.1.1.1", "NUM_BOOTS=2", reread}, false);
        Row("automatic address sends the mode alone", kLocal, none, L{"cboIpConfig=DHCP", "txtIpAddress=10.0.0.9"},
            "cmdUpdateFixedIp", reset, restarted, L{"IP_CONFIG_NVRAM=DHCP", "IP_ADDR_NVRAM=192.168.1.10",
            "NUM_BOOTS=2"}, false);
        Row("address the node refuses", kOffice, none, L(ip).replaceInStrings("10.1.1.1", "300.1.1.1"),
            "cmdUpdateFixedIp", L(ipSent).replaceInStrings("10.1.1.1", "300.1.1.1"), "[1|{errSaving}] ERROR: "
            "'300.1.1.1' is not an IPv4 address (IP_ADDR_NVRAM)", L{"IP_ADDR_NVRAM=192.168.1.11"} + one, false);
        Row("MAC and node type", kGarage, none, L{"cboMacType=10 Full", "cboNodeType=AP"}, "cmdUpdateMacConf",
            L{"MAC_TYPE=10 Full", "NODE_TYPE=AP"}, "", none, false);
        Row("notches and distortion control", kOffice, none, L{"cboNotches=Amateur+Broadcast", "cboDistControl=Off"},
            "cmdUpdatePhyConf", L{"NOTCHES=Amateur+Broadcast", "DISTORTION_CONTROL=Off"}, "", none, false);
        Row("multicast", kLocal, none, L{"IGMP=Proxy"}, "CmdUpdateIGMP", L{"MCAST_IGMP=Proxy"}, "", L{reread}, false);
        Row("alias", kOffice, none, L{"txtAlias=Cocina"}, "cmdUpdAlias", none, "[0|{cmdUpdateAlias}] {errUpgradeOk}",
            L{"alias=Cocina"}, false);
        Row("hardware reset refused", kLocal, refuse, none, "cmdReset", reset, ask + "[1|{errReseting}] " + refused,
            one, false);
        Row("hardware reset answered with 3", kLocal, L{"answer", "3"}, none, "cmdReset", reset, ask + restarted,
            none, false);
        Row("hardware reset not wanted: nothing sent", kLocal, L{"no"}, none, "cmdReset", none, ask.trimmed(),
            one, false);
        Row("AES, CBC, 128", kLocal, none, L{"cboEncryptType=AES", "cboAESEncryptType=CBC", "cboEncryptLength=128"},
            "cmdUpEncryption", L{"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC", "ENCRYPT_KEY_LENGTH=128"} + key, ok,
            none, false);
        Row("3DES whatever the length shows", kLocal, none, L{"cboEncryptLength=256"}, "cmdUpEncryption",
            L{"ENCRYPT_TYPE=3DES", "ENCRYPT_KEY_LENGTH=168"} + key, ok, none, false);
        // Clearing the identifier clears the key: another network, answered 3.
        Row("none without network identifier", kLocal, none, L{"txtNetId=", "cboEncryptType=None"},
            "cmdUpEncryption", L{"ENCRYPT_TYPE=None", "ENCRYPT_KEY_STR=", "CRYPTO_OK=Ok"}, ok, L{reread}, false);
        Row("AES without network identifier: nothing sent, the window stays", kGarage, none,
            L{"txtNetId=", "cboEncryptType=AES"}, "cmdUpEncryption", none, "[1|" + t + "{errNoNetId}", none, false);
        Row("key", kLocal, zero, newKey, "cmdUpKey", keySent, ok, keySent + L{reread}, false);
        Row("key confirmation differs", kGarage, none, L{"txtEncrypKey=NewKey-1", "txtConfirmKey=NewKey-2"},
            "cmdUpKey", none, mismatch, none, true);
        Row("identifier of a remote node, answered 3", kGarage, none, L{"txtNetId=KaldorNew"}, "cmdUpId",
            L{"NET_ID_STR=KaldorNew"}, ok, none, true);
        Row("key of a remote node, answered 3", kOffice, none, newKey, "cmdUpKey", keySent, ok, keySent, true);
        // The priority goes out only with tagging on; the confirmation is in lower case.
        Row("tagging, highest tag", kGarage, none, L{"cboVlanConf=Enabled", "txtVlanTag=4094", "cboVlanPrio=5"},
            "cmdUpVlan", L{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=4094", "KALDOR_VLAN_PRIO=5",
            "KALDOR_VLAN_OK=ok"}, "", none, false);
        Row("tagging off: a tag but no priority", kGarage, none, L{"cboVlanConf=Enabled", "txtVlanTag=300",
            "cboVlanPrio=3", "cboVlanConf=Disabled"}, "cmdUpVlan", L{"KALDOR_VLAN_CONFIG=Disabled",
            "KALDOR_VLAN_TAG=300", "KALDOR_VLAN_OK=ok"}, "", none, false);
        Row("password of the node on the wire", kLocal, none, pw, "cmdUpPw", pwSent, ok, L{"password=secret-1"},
            false);
        Row("password of a remote node", kOffice, none, pw, "cmdUpPw", pwSent, ok, L{"password=secret-1", reread},
            false);
        Row("password confirmation differs", kLocal, none, L{"txtConfPassword=secret-1", "txtConfirmPw=secret-9"},
            "cmdUpPw", none, mismatch, none, false);
        Row("QoS criteria refused, each told on its own", kLocal, refuse,
            L{"cboRule1=All UDP traffic: high priority", "cboRule2=802.1p priority"}, "cmdQoSAdvUpdate",
            L{"CRITERION_1=8021p", "CRITERION_1_OK=Ok"}, saving + "\n" + saving, none, false);
        Row("password refused", kLocal, refuse, pw, "cmdUpPw", pwSent, saving, none, false);
    }
    // clang-format on
    void updates() {
        Fixture f;
        const QString mac = Cell("mac"), told = Cell("told");
        const L setup = Cell<L>("setup"), request = Cell<L>("request"), kept = Cell<L>("kept");
        f.writeWorkFile("alias.tmp", "020A1B000002=Office\r\n");
        SetParameters(f, mac, {"FLUP_PASSWORD=ftp-secret"});
        OPEN_ADVANCED(f, mac);
        SetParameters(f, mac, {"FLUP_FILENAME=after.img"});  // shows in the list only if read again
        const QString password = Session().NodePassword;
        QList<int> bars;              // where the status window's bar stood as each box came
        f.dialogs.onShow = [&bars] {  // boxes of the discovery after closing aside
            if (Adv()->isVisible())
                bars << Ctl<QProgressBar>(W().frmMessage, "barMessage")->value();
        };
        f.dialogs.answers << (setup == L{"no"} ? MsgAnswer::No : MsgAnswer::Yes);
        if (setup.value(0) == "answer") {  // a client found before the simulator's
            f.writeWorkFile("ihcp_client.exe", "#!/bin/sh\nprintf '" + setup[1].toUtf8() +
                                                   "\\r\\n' > ihcp_client.tmp\n");
            QFile::setPermissions(f.workFile("ihcp_client.exe"),
                                  QFile::ExeOwner | QFile::ReadOwner);
        } else if (setup.size() > 1) {
            f.sim(setup);
        }
        Set(Cell<L>("changes"));
        f.click(Adv(), qPrintable(Cell("button")));
        QCOMPARE(f.readWorkFile("post.cfg"),
                 request.isEmpty() ? QByteArray() : Request("POST " + mac, password, request));
        QCOMPARE(f.dialogs.describe(), Resolved(told).replace("%1", mac));
        QCOMPARE(Fixture::waited, told.contains("errResetOk") ? 15000 : 0);
        QCOMPARE(bars, QList<int>(bars.size(), 100));
        const L aliases = QString::fromUtf8(f.readWorkFile("alias.tmp")).split("\r\n");
        for (const QString& pair : kept) {  // the alias: its line of the file
            const QString key = pair.section('=', 0, 0);
            QCOMPARE(key + "=" +
                         (key == "alias"      ? aliases.filter(mac + "=").value(0).section('=', 1)
                          : key == "password" ? SimNode(f, mac).password
                                              : Parameters(f, mac).value(key)),
                     pair);
        }
        // The raw list read again after an update the node took, keys and passwords hidden; the
        // title names the node.
        const L listed = Listed();
        for (const QString& pair : kept.filter(QRegularExpression("^[A-Z_]+=")))
            QVERIFY2(listed.contains(QString(pair).replace(
                         QRegularExpression("^(ENCRYPT_KEY_STR=).+"), "\\1********")),
                     qPrintable(pair));
        QVERIFY(!listed.join('\n').contains(QRegularExpression("HomeKey|NewKey|ftp-secret")));
        const QString alias = kept.filter("alias=").value(0).section('=', 1);
        QCOMPARE(
            Adv()->windowTitle(),
            Resolved("{frmConfigAdv} - ") +
                (mac == kOffice ? (alias.isEmpty() ? "Office" : alias) + " (" + mac + ")" : mac));
        QCOMPARE(Control<QLineEdit>("txtFtpPass")->echoMode(), QLineEdit::Password);
        const QString after = kept.filter("password=").value(0).section('=', 1);
        const QString now = after.isEmpty() ? password : after;
        QCOMPARE(L({SimNode(f, mac).password, Session().NodePassword, Session().LocalPassword}),
                 L({now, now, mac == kLocal ? now : kLocalPw}));
        // Sent or not, the password boxes and the key's confirmation are emptied.
        QCOMPARE(Control<QLineEdit>("txtConfPassword")->text() +
                     Control<QLineEdit>("txtConfirmPw")->text() +
                     Control<QLineEdit>("txtConfirmKey")->text() + Shown({"cmdUpPw"})[0],
                 "cmdUpPw off");
        QVERIFY(!W().frmMessage->isVisible() && Adv()->isEnabled());
        QCOMPARE(Adv()->isVisible(), !Cell<bool>("closes"));
        QCOMPARE(W().frmConnect->isVisible() && !f.nodeLines().isEmpty(), Cell<bool>("closes"));
    }

    // The firmware frame's interface list starts on the interface that discovery found the node
    // on, the second of the demo's two.
    void interfaceList() {
        Fixture f;
        QVERIFY(f.start());
        f.click(W().frmBegin, "cmdNext");
        QCOMPARE(Control<QComboBox>("cboInterface")->currentText(),
                 "eth1 Simulated Ethernet adapter 1");
    }

    // The factory reset: 33 s of waiting, then the boot count decides. The advanced window asks
    // only the node on the wire (a remote node counts as reset) and closes as its security
    // buttons do; the node page's reset, offered for the node on the wire alone, keeps the
    // session's password. "page": the node page's reset; "startsTwice": during the first wait;
    // "password" and "session": the node's and NodePassword afterwards.
    // clang-format off
    void factoryReset_data() {
        Cols<bool, QString, QString, bool, QString, QString, QString>(
            {"page", "mac", "typed", "startsTwice", "told", "password", "session"});
        const QString ok = "[0|Kaldor Config Tool] {errFactResetOk}";
        Row("node on the wire", false, kLocal, "FP000001", false, ok, "kaldor", "kaldor");
        Row("node on the wire started twice", false, kLocal, "FP000001", true,
            "[1|Kaldor Config Tool] {errFactResetKo}", "kaldor", kLocalPw);
        Row("cancelled", false, kLocal, "", false, "", kLocalPw, kLocalPw);
        Row("remote node, no query", false, kOffice, "FP000002", false, ok, "kaldor", "kaldor");
        Row("node page", true, kLocal, "FP000001", false, ok, "kaldor", kLocalPw);
    }
    // clang-format on
    void factoryReset() {
        Fixture f;
        const QString mac = Cell("mac"), typed = Cell("typed");
        OPEN_ADVANCED(f, mac);
        // A password of the user's on the remote node, so that the reset shows.
        f.sim({"password", kOffice, "mine-1"});
        Session().NodePassword = mac == kLocal ? kLocalPw : "mine-1";
        // At the first wait: the query written before the reset ran, and a node that starts once
        // more, as one that did not come up cleanly.
        static const Fixture* fixture = nullptr;
        static bool twice = false;
        static QByteArray query;
        fixture = &f, twice = Cell<bool>("startsTwice"), query.clear();
        InstallWait([](int ms) {
            if (Fixture::waited == 0) {
                query = fixture->readWorkFile("get.cfg");
                SetParameters(*fixture, kLocal, {twice ? "NUM_BOOTS=2" : "NUM_BOOTS=1"});
            }
            Fixture::waited += ms;
        });
        f.dialogs.typePassword(typed);
        Cell<bool>("page") ? FactoryResetConnect(W().frmConnect)
                           : f.click(Adv(), "cmdFactoryReset");
        const bool accepted = Cell("password") == "kaldor";
        QCOMPARE(Fixture::waited, accepted ? 33000 : 0);
        QCOMPARE(QString(f.readWorkFile("post.cfg")),
                 typed.isEmpty() ? "" : "POST " + mac + "\r\n.FACTORY_PASSWORD=" + typed + "\r\n");
        QCOMPARE(query, accepted ? Request("GET " + mac, "kaldor", {"NUM_BOOTS"}) : "");
        QCOMPARE(f.dialogs.describe(), Resolved(Cell("told")));
        QCOMPARE(L({SimNode(f, mac).password, Session().NodePassword}),
                 L({Cell("password"), Cell("session")}));
        QVERIFY(!W().frmMessage->isVisible());
        // The node page's reset leaves the window alone.
        QCOMPARE(Adv()->isVisible(), Cell<bool>("page") || mac == kLocal);
    }
};

QTEST_MAIN(AdvancedUpdatesTest)
#include "test_advanced_updates.moc"
