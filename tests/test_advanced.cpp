// The advanced window: its tabs, how it opens and closes, how every parameter
// of a node reaches its controls, and the rules that tie the controls together.
#include <QListWidget>
#include <QStackedWidget>
#include <QTabBar>

#include "advanced/Loading.h"
#include "app/Values.h"
#include "lang/Catalogue.h"
#include "test_advanced_helpers.h"
#include "ui/BusyOperation.h"

using namespace advtest;

namespace {

// "box=KEY" for the text boxes that show a key unchanged, and "list=KEY"
// (KEY_OPTIONS and KEY) or "list=OPTIONS=VALUE" for the lists.
const char* const kShown =
    "txtServerIP=FLUP_IP_ADDR txtFtpUser=FLUP_LOGIN txtFtpPass=FLUP_PASSWORD "
    "txtFileName=FLUP_FILENAME txtIpAddress=IP_ADDR txtSubnetMask=NETMASK txtDefGateway=GATEWAY "
    "txtEncrypKey=ENCRYPT_KEY_STR txtNetId=NET_ID_STR txt1Offset=CUSTOM_1_OFFSET "
    "txt1Pattern=CUSTOM_1_PATTERN txt1ClassOffset=CUSTOM_1_CLASS_OFFSET "
    "txt1Bitmask=CUSTOM_1_BITMASK txt1ClassBitmask=CUSTOM_1_CLASS_BITMASK "
    "txtOffset=CUSTOM_0_OFFSET txtPattern=CUSTOM_0_PATTERN txtClassOffset=CUSTOM_0_CLASS_OFFSET "
    "txtBitmask=CUSTOM_0_BITMASK txtClassBitmask=CUSTOM_0_CLASS_BITMASK txtVlanTag=KALDOR_VLAN_TAG "
    "cboUpgProt=FLUP_PROTOCOL cboUpdSect=FLUP_SECTION cboIpConfig=IP_CONFIG cboMacType=MAC_TYPE "
    "cboNodeType=NODE_TYPE cboNotches=NOTCHES cboDistControl=DISTORTION_CONTROL IGMP=MCAST_IGMP "
    "cboDefPrio=PRIO=DEFAULT_PRIO cboVlanConf=KALDOR_VLAN_CONFIG cboVlanPrio=KALDOR_VLAN_PRIO "
    "cboCriterion=CRITERION=CRITERION_0 cbo1Criterion=CRITERION=CRITERION_1 "
    "cboEncryptType=ENCRYPT_TYPE cboAESEncryptType=ENCRYPT_AES_TYPE "
    "cboEncryptLength=ENCRYPT_AES_LENGTH=ENCRYPT_KEY_LENGTH";

QStringList Entries(const QComboBox* combo) {
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) {
        entries << combo->itemText(i);
    }
    return entries;
}

// Every control shows what the node holds; the encryption lists only when shown.
void VerifyLoaded(const kaldorsim::Parameters& params) {
    for (const QString& row : QString(kShown).split(' ')) {
        const QStringList names = row.split('=');
        QVERIFY2(params.contains(names.last()), qPrintable(row));
        if (auto* box = qobject_cast<QLineEdit*>(Control(qPrintable(names[0])))) {
            QCOMPARE(box->text(), params.value(names[1]));
        } else if (QComboBox* list = Combo(qPrintable(names[0])); !list->isHidden()) {
            QCOMPARE(Entries(list), SplitOptionList(params.value(names[1] + "_OPTIONS")));
            QCOMPARE(list->currentText(), params.value(names.last()));
        }
    }
}

// "hidden" when all seven encryption controls are, else the lists' type|mode|
// length|which are enabled.
QString Encryption() {
    const char* const names[] = {"cboEncryptType",  "cboAESEncryptType", "cboEncryptLength",
                                 "cmdUpEncryption", "lblSecurity_6",     "lblSecurity_7",
                                 "lblSecurity_8"};
    QString hidden, shown;
    for (const char* name : names) {
        hidden += Control(name)->isHidden() ? '1' : '0';
    }
    for (const char* list : {names[0], names[1], names[2]}) {
        shown += Combo(list)->currentText() + '|';
    }
    return hidden == "1111111"    ? "hidden"
           : hidden.contains('1') ? hidden
                                  : shown + Enabled({names[0], names[1], names[2]});
}

// Classification settings in shorthand: "C0=Custom" is CRITERION_0; for
// criterion n, Pn is its pattern, Mn its class mask and Vn its first class
// value (hex, padded to 16 digits as a node reports them), On its class offset
// and Rn its class priorities ("6,0,0").
QStringList Classification(const QString& shorthand) {
    QStringList settings;
    for (const QString& item : shorthand.split(' ', Qt::SkipEmptyParts)) {
        const QString kind = item.left(1), custom = "CUSTOM_" + item.mid(1, 1) + "_";
        const QString value = item.mid(3), hex = value.leftJustified(16, '0');
        settings << (kind == "C"   ? "CRITERION_" + item.mid(1, 1) + "=" + value
                     : kind == "P" ? custom + "PATTERN=" + hex
                     : kind == "M" ? custom + "CLASS_BITMASK=" + hex
                     : kind == "O" ? custom + "CLASS_OFFSET=" + value
                     : kind == "R" ? custom + "CLASS_PRIO='" + value.split(',').join("','") + "'"
                                   : custom + "CLASS_PATTERN='" + hex + "'" +
                                         QString(",'0000000000000000'").repeated(7));
    }
    return settings;
}

}  // namespace

class AdvancedWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The catalogue decides which tabs exist; a click shows its panel through
    // the position fields, absent tabs matching none. The criteria have tabs
    // of their own.
    void tabPositions_data() {
        Columns({"emptied", "positions", "clicked", "panels"});
        Row("every tab", "", "123456789", "2|3|4|5|6|7|8|9|1", "2|3|4|5|6|8|10|9|1");
        Row("no MAC and PHY, multicast", "tabMac|tabPhy", "120034567", "3", "5");
        Row("security only", "tabNetwork|tabMac|tabPhy|tabMulticat|tabVlan|tabQoS|tabQoSAdv",
            "100002000", "2|1", "6|1");
    }
    void tabPositions() {
        Fixture f;
        for (const QString& key : Parts(Cell("emptied"))) {
            f.setCatalogue(key, QString());
        }
        QVERIFY(f.start());
        const AdvancedTabs& t = App().tabs;
        QString positions;
        for (int position : {t.GeneralTab, t.NetworkTab, t.MacTab, t.PhyTab, t.MulticastTab,
                             t.SecurityTab, t.VlanTab, t.QoSTab, t.QoSAdvTab}) {
            positions += QString::number(position);
        }
        QCOMPARE(positions, Cell("positions"));
        auto* bar = Control<QTabBar>("tabConfig");
        QCOMPARE(bar->count(), std::max_element(positions.begin(), positions.end())->digitValue());
        Adv()->show();
        QVERIFY(QTest::qWaitForWindowExposed(Adv()));
        auto* panels = Control<QStackedWidget>("stkPanels");
        QCOMPARE(panels->currentWidget(), Control(qPrintable(QString("picFrame_%1").arg(1))));
        const QStringList clicked = Parts(Cell("clicked")), shown = Parts(Cell("panels"));
        for (qsizetype i = 0; i < clicked.size(); ++i) {
            QTest::mouseClick(bar, Qt::LeftButton, {},
                              bar->tabRect(clicked[i].toInt() - 1).center());
            QCOMPARE(panels->currentWidget(),
                     Control(qPrintable(QString("picFrame_%1").arg(shown[i].toInt()))));
        }
        auto* criteria = Control<QStackedWidget>("stkCriterion");
        QCOMPARE(criteria->currentWidget(), Control(qPrintable(QString("picCriterion_%1").arg(1))));
        Control<QTabBar>("tabCriterion")->setCurrentIndex(1);
        QCOMPARE(criteria->currentWidget(), Control(qPrintable(QString("picCriterion_%1").arg(2))));
    }

    // Opened from the end page or the node page's Advanced button, the window
    // lists the whole response and shows every parameter of the node.
    void opening_data() {
        Columns({"mac", "route", "encryption", "fixedIp"});
        Row("end page, local node, AES model, fixed address", kLocal, "end", "3DES|None|168|100",
            "111");
        Row("end page, office, basic model, DHCP", kOffice, "end", "hidden", "000");
        Row("node page, garage", kGarage, "node", "3DES|None|168|100", "000");
    }
    void opening() {
        Fixture f;
        const QString mac = Cell("mac");
        if (Cell("route") == "node") {
            QVERIFY(f.start());
            f.dialogs.typePassword("");  // the study's password is not known
            f.click(W().frmBegin, "cmdNext");
            f.clickNodeEntry(f.rowOf(mac));
            f.click(W().frmConnect, "cmdQuickAdv");
            QVERIFY2(Adv()->isVisible(), qPrintable(f.dialogs.describe()));
            QCOMPARE(Session().SelectedMac, mac);
        } else {
            OPEN_ADVANCED(f, mac);
        }
        QVERIFY(!W().frmEnd->isVisible() && !W().frmConnect->isVisible());
        QStringList listed;
        for (const QListWidgetItem* item :
             Control<QListWidget>("lstConfig")->findItems("", Qt::MatchStartsWith)) {
            listed << item->text();
        }
        QCOMPARE(listed, ReadLines(f.workFile("ihcp_client.tmp")).value());
        VerifyLoaded(Parameters(f, mac));
        QCOMPARE(Encryption(), Cell("encryption"));
        QCOMPARE(Enabled({"txtIpAddress", "txtSubnetMask", "txtDefGateway"}), Cell("fixedIp"));
        QCOMPARE(Combo("cboRule2")->itemText(7), GetText("cboQoSAdv8"));
        QCOMPARE(Combo("cboQoSRule")->count(), 6);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // One entry per piece of an option list (a piece too short for its quotes
    // gives an empty one); the value selects the first entry of exactly its
    // text; only positions 0 and 1 decide over the fixed-address boxes (the
    // opening rows cover "Fixed" and "DHCP").
    void optionLists_data() {
        Columns({"options", "value", "entries", "selected", "boxes"});
        Row("second entry of any name", "'Auto','Static'", "Static", "Auto|Static", "1", "11");
        Row("short pieces", "'DHCP','',x", "DHCP", "DHCP||", "0", "00");
        Row("other case: no selection", "'DHCP','Fixed'", "fixed", "DHCP|Fixed", "-1", "11");
        Row("first of two equal", "'DHCP','DHCP'", "DHCP", "DHCP|DHCP", "0", "00");
        Row("third entry", "'DHCP','Fixed','Auto'", "Auto", "DHCP|Fixed|Auto", "2", "11");
    }
    void optionLists() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);  // the local node starts with a fixed address
        SetParameters(f, kLocal,
                      {"IP_CONFIG_OPTIONS=" + Cell("options"), "IP_CONFIG=" + Cell("value")});
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(Entries(Combo("cboIpConfig")), Parts(Cell("entries")));
        QCOMPARE(Combo("cboIpConfig")->currentIndex(), Cell("selected").toInt());
        QCOMPARE(Enabled({"txtIpAddress", "txtDefGateway"}), Cell("boxes"));
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
    }

    // The change rules, run as the load sets each control (the key follows
    // the identifier only when its text changes) or as the user types; the
    // encryption lists show the node's values for the models the catalogue
    // names. Expected: key|its confirmation|enabled flags of txtConfirmPw,
    // cmdUpPw, txtEncrypKey, txtConfirmKey, cmdUpKey, cboNodeType, txtVlanTag,
    // cboVlanPrio, cmdUpVlan|encryption.
    void controlRules_data() {
        Columns({"opening", "refresh", "typing", "expected"});
        const QString key = "HomeKey-2024|", des = "|3DES|None|168|100",
                      vlan = "cboVlanConf=Enabled";
        Row("first load without identifier keeps the key", "NET_ID_STR=", "", "",
            key + "|000110000" + des);
        Row("refresh that clears the identifier empties the key", "", "NET_ID_STR=", "",
            "||000010000" + des);
        Row("refresh that names the identifier again, VLAN tagging switched off",
            "NET_ID_STR=|KALDOR_VLAN_CONFIG=Enabled",
            "NET_ID_STR=KaldorHome|KALDOR_VLAN_CONFIG=Disabled", "", key + "|001111000" + des);
        Row("VLAN tagging on, AES with the node's mode and length",
            "KALDOR_VLAN_CONFIG=Enabled|ENCRYPT_TYPE=AES|ENCRYPT_AES_TYPE=CBC|ENCRYPT_KEY_LENGTH="
            "128",
            "", "", key + "|001111111|AES|CBC|128|111");
        Row("model not named", "MODEL=KPL-200", "", "", key + "|001111000|hidden");
        Row("empty model, type outside the options", "MODEL=|ENCRYPT_TYPE=Blowfish", "", "",
            key + "|001111000||None|168|100");
        Row("part of a named model without AES support", "MODEL=KPL-510|AES_SUPPORT=N", "", "",
            key + "|001111000|3DES|None|168|000");
        Row("AES chosen: its defaults", "", "", "cboEncryptType=AES",
            key + "|001111000|AES|ECB|256|111");
        Row("password enables its confirmation; clearing the key empties its own", "", "",
            "txtConfPassword=a|txtConfirmKey=x|txtEncrypKey=", "||101011000" + des);
        Row("deleting the confirmation keeps the button; a new identifier enables the key", "", "",
            "txtConfPassword=a|txtConfirmPw=a|txtConfirmPw=|txtNetId=|txtNetId=Other",
            "||111011000" + des);
        Row("emptying both disables the button; clearing the identifier empties the key", "", "",
            "txtConfPassword=a|txtConfirmPw=a|txtConfirmKey=x|txtConfirmPw=|txtConfPassword=|"
            "txtNetId=",
            "||100011000" + des);
        Row("VLAN tag out of range", "", "", vlan + "|txtVlanTag=4095|cboVlanPrio=6",
            key + "|001111110" + des);
        Row("VLAN mode the panel does not know",
            "KALDOR_VLAN_CONFIG_OPTIONS='Disabled','Enabled','Tagged'", "",
            vlan + "|txtVlanTag=100|cboVlanConf=Tagged", key + "|001111000" + des);
    }
    void controlRules() {
        Fixture f;
        SetParameters(f, kLocal, Parts(Cell("opening")));
        OPEN_ADVANCED(f, kLocal);
        if (!Cell("refresh").isEmpty()) {
            SetParameters(f, kLocal, Parts(Cell("refresh")));
            f.click(Adv(), "cmdRefresh");
        }
        Apply(Parts(Cell("typing")));
        QCOMPARE(QStringList({Text("txtEncrypKey")->text(), Text("txtConfirmKey")->text(),
                              Enabled({"txtConfirmPw", "cmdUpPw", "txtEncrypKey", "txtConfirmKey",
                                       "cmdUpKey", "cboNodeType", "txtVlanTag", "cboVlanPrio",
                                       "cmdUpVlan"}),
                              Encryption()})
                     .join('|'),
                 Cell("expected"));
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
    }

    // The second QoS rule's recognition starts from the first one's; rules
    // the presets do not cover, and a malformed class mask, class value or
    // priority list, leave only that field empty. Expected: rule 1|its port|
    // rule 2|its port|QoS rule|its port|priority map, "-" when hidden.
    void qosRecognition_data() {
        Columns({"settings", "expected"});
        const QString udp8080 = "C0=Custom P0=11 O0=40 V0=1F90 R0=6,0,0 M0=FFFF";
        Row("nothing classified", "", "7|-|7|-|0|-|-");
        Row("TCP port 443, low; unmatched criterion 1 keeps rule 1's",
            "C0=Custom P0=06 V0=01BB R0=1,0 M0=FFFF C1=Custom", "5|443|5|-|-1|-|-");
        Row("no criteria but class offset 38", "O0=38 V0=0050 M0=FFFF", "7|-|7|-|1|80|-");
        Row("class mask without a zero", udp8080 + " M0=FFFFFFFFFFFFFFFF", "2||7|-|2||-");
        Row("class value not hexadecimal", udp8080 + " V0=1G90", "2||7|-|2||-");
        Row("fewer than eight priorities", "C0=Custom P0=0800 O0=19 V0=20 R0=6,5,4",
            "0|-|7|-|4|-|6,5,4,,,,,");
    }
    void qosRecognition() {
        Fixture f;
        SetParameters(f, kLocal, Classification(Cell("settings")));
        OPEN_ADVANCED(f, kLocal);
        QStringList map;
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(Control(qPrintable(QString("lblQoSPrec%1").arg(k)))->isHidden(),
                     Text(qPrintable(QString("txtQoSMap%1").arg(k)))->isHidden());
            map << Text(qPrintable(QString("txtQoSMap%1").arg(k)))->text();
        }
        const QStringList shown{
            QString::number(Combo("cboRule1")->currentIndex()),
            Shown("txtPort1", "lblPort1"),
            QString::number(Combo("cboRule2")->currentIndex()),
            Shown("txtPort2", "lblPort2"),
            QString::number(Combo("cboQoSRule")->currentIndex()),
            Shown("txtQoSPort", "lblQoSPort"),
            Text(qPrintable(QString("txtQoSMap%1").arg(0)))->isHidden() ? "-" : map.join(',')};
        QCOMPARE(shown.join('|'), Cell("expected"));
        // The rest of the window is loaded all the same.
        QCOMPARE(Text("txtNetId")->text(), "KaldorHome");
        QCOMPARE(Combo("cboVlanPrio")->currentText(), "0");
    }

    // A refresh the node does not answer, or a list without a response,
    // changes nothing and says why.
    void loadFailures() {
        Fixture f;
        OPEN_ADVANCED(f, kOffice);
        SetParameters(f, kOffice, {"NET_ID_STR=Elsewhere"});
        f.sim({"fault", kOffice, "noAnswer", "on"});
        const int lines = Control<QListWidget>("lstConfig")->count();
        f.click(Adv(), "cmdRefresh");
        QVERIFY(Adv()->isVisible() && Adv()->isEnabled() && !W().frmMessage->isVisible());
        const QString answer = ResponseFirstLine(f);
        QVERIFY(answer.contains("did not answer"));
        QFile::remove(f.workFile("ihcp_client.tmp"));
        Adv()->ListResponseLines();
        QCOMPARE(f.dialogs.describe(),
                 QString("[1|%1] %2\n[1|%3] %4")
                     .arg(Session().errReceiving, answer, kAppTitle, Session().errLoadConf));
        QCOMPARE(Text("txtNetId")->text(), "KaldorHome");
        QCOMPARE(Control<QListWidget>("lstConfig")->count(), lines);
    }

    // Exit returns to the end page; so does the title bar, enabling it.
    void leaving() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        f.click(Adv(), "cmdExit");
        QVERIFY(!Adv()->isVisible() && W().frmEnd->isVisible() && W().frmEnd->isEnabled());
        Adv()->show();
        W().assistant->hide();
        Adv()->close();
        QVERIFY(!Adv()->isVisible() && W().frmEnd->isVisible() && W().frmEnd->isEnabled());
        QVERIFY(!f.exitCode);
    }

    // Advanced on the node page: the page stays until the advanced window
    // opens, so a node that does not answer the full read leaves the user
    // on the page, told why.
    void advancedFromNodePage_data() {
        QTest::addColumn<bool>("answers");
        QTest::newRow("node answers") << true;
        QTest::newRow("node silent at the full read") << false;
    }
    void advancedFromNodePage() {
        QFETCH(bool, answers);
        Fixture f;
        QVERIFY(f.start());
        f.dialogs.typePassword("");
        f.click(W().frmBegin, "cmdNext");
        f.clickNodeEntry(f.rowOf(kOffice));
        f.dialogs.boxes.clear();
        int started = 0;
        BusyOperation::setObserver([&](QWidget*, const QString&) {
            if (++started == 2 && !answers) {
                f.sim({"fault", kOffice, "noAnswer", "on"});
            }
        });
        f.click(W().frmConnect, "cmdQuickAdv");
        BusyOperation::setObserver(nullptr);
        QCOMPARE(started, 2);
        QCOMPARE(Adv()->isVisible(), answers);
        QCOMPARE(ShownPage(), answers ? nullptr : W().frmConnect);
        QCOMPARE(f.dialogs.boxes.size(), answers ? 0 : 1);
    }
};

QTEST_MAIN(AdvancedWindowTest)
#include "test_advanced.moc"
