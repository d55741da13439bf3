// The advanced window: its tabs, how it opens and closes, and how every
// parameter of a node reaches its controls.
#include <QListWidget>
#include <QStackedWidget>
#include <QTabBar>

#include "advanced/Loading.h"
#include "app/Values.h"
#include "lang/Catalogue.h"
#include "test_advanced_helpers.h"

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

// Every plain control shows what the node holds; the encryption lists only
// when they are shown.
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

// The encryption lists' type|AES mode|length|which are enabled, or "hidden"
// when every encryption control is hidden.
QString EncryptionShown() {
    const char* const lists[] = {"cboEncryptType", "cboAESEncryptType", "cboEncryptLength"};
    const bool hidden = Control(lists[0])->isHidden();
    for (const char* name : {"cboAESEncryptType", "cboEncryptLength", "cmdUpEncryption",
                             "lblSecurity_6", "lblSecurity_7", "lblSecurity_8"}) {
        if (Control(name)->isHidden() != hidden) {
            return name;  // not hidden with the others
        }
    }
    return hidden ? QStringLiteral("hidden")
                  : QStringList{Combo(lists[0])->currentText(), Combo(lists[1])->currentText(),
                                Combo(lists[2])->currentText(),
                                Enabled({lists[0], lists[1], lists[2]})}
                        .join('|');
}

QString CurrentPanel() {
    return Control<QStackedWidget>("stkPanels")->currentWidget()->objectName();
}

void ClickTab(QTabBar* bar, int position) {
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(position - 1).center());
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
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    // The catalogue decides which tabs exist; a click shows its panel through
    // the position fields. The criteria have tabs of their own.
    void tabPositions_data() {
        Columns({"emptied", "positions", "clicked", "panel"});
        Row("every tab, advanced QoS", "", "123456789", "9", "picFrame_9");
        Row("every tab, QoS", "", "123456789", "8", "picFrame_10");
        Row("every tab, VLAN", "", "123456789", "7", "picFrame_8");
        Row("no MAC and PHY, multicast", "tabMac|tabPhy", "120034567", "3", "picFrame_5");
        Row("no MAC, PHY", "tabMac", "120345678", "3", "picFrame_4");
        Row("security only", "tabNetwork|tabMac|tabPhy|tabMulticat|tabVlan|tabQoS|tabQoSAdv",
            "100002000", "2", "picFrame_6");
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
        QCOMPARE(CurrentPanel(), "picFrame_1");
        ClickTab(bar, Cell("clicked").toInt());
        QCOMPARE(CurrentPanel(), Cell("panel"));
        ClickTab(bar, 1);
        QCOMPARE(CurrentPanel(), "picFrame_1");
        auto* criteria = Control<QStackedWidget>("stkCriterion");
        QCOMPARE(criteria->currentWidget(), Adv()->picCriterion(1));
        Control<QTabBar>("tabCriterion")->setCurrentIndex(1);
        QCOMPARE(criteria->currentWidget(), Adv()->picCriterion(2));
    }

    // Opened from the end page or the node page's Advanced button, the window
    // lists the whole response and shows every parameter of the node.
    void opening_data() {
        Columns({"mac", "route", "encryption", "fixedIp"});
        Row("end page, local node, AES model, fixed address", kLocal, "end", "3DES|None|168|100",
            "1");
        Row("end page, office, basic model, DHCP", kOffice, "end", "hidden", "0");
        Row("node page, garage", kGarage, "node", "3DES|None|168|100", "0");
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
        QCOMPARE(EncryptionShown(), Cell("encryption"));
        QCOMPARE(Enabled({"txtIpAddress", "txtSubnetMask", "txtDefGateway"}),
                 Cell("fixedIp").repeated(3));
        QCOMPARE(Enabled({"cboNodeType", "txtEncrypKey", "cmdUpVlan"}), "110");
        QCOMPARE(Combo("cboRule2")->itemText(7), GetText("cboQoSAdv8"));
        QCOMPARE(Combo("cboQoSRule")->count(), 6);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // One entry per piece of an option list (a piece too short for its quotes
    // gives an empty one); the value selects the first entry of exactly its
    // text; only positions 0 and 1 decide over the fixed-address boxes.
    void optionLists_data() {
        Columns({"options", "value", "entries", "selected", "boxes"});
        Row("fixed", "'DHCP','Fixed'", "Fixed", "DHCP|Fixed", "1", "1");
        Row("automatic", "'DHCP','Fixed'", "DHCP", "DHCP|Fixed", "0", "0");
        Row("second entry of any name", "'Auto','Static'", "Static", "Auto|Static", "1", "1");
        Row("short pieces", "'DHCP','',x", "DHCP", "DHCP||", "0", "0");
        Row("other case: no selection", "'DHCP','Fixed'", "fixed", "DHCP|Fixed", "-1", "1");
        Row("first of two equal", "'DHCP','DHCP'", "DHCP", "DHCP|DHCP", "0", "0");
        Row("third entry", "'DHCP','Fixed','Auto'", "Auto", "DHCP|Fixed|Auto", "2", "1");
    }
    void optionLists() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);  // the local node starts with a fixed address
        SetParameters(f, kLocal,
                      {"IP_CONFIG_OPTIONS=" + Cell("options"), "IP_CONFIG=" + Cell("value")});
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(Entries(Combo("cboIpConfig")), Parts(Cell("entries")));
        QCOMPARE(Combo("cboIpConfig")->currentIndex(), Cell("selected").toInt());
        QCOMPARE(Enabled({"txtIpAddress", "txtDefGateway"}), Cell("boxes").repeated(2));
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
    }

    // The change rules run as the load sets each control (the key follows the
    // identifier only when its text changes); the encryption lists show the
    // node's values for the models the catalogue names. Enabled: txtEncrypKey,
    // cboNodeType, txtConfirmKey, cboVlanPrio, txtVlanTag, cmdUpVlan.
    void loadRules_data() {
        Columns({"opening", "refresh", "key", "enabled", "encryption"});
        const char *key = "HomeKey-2024", *des = "3DES|None|168|100";
        Row("network identifier present", "", "", key, "111000", des);
        Row("first load without identifier keeps the key", "NET_ID_STR=", "", key, "001000", des);
        Row("refresh that clears the identifier empties the key", "", "NET_ID_STR=", "", "000000",
            des);
        Row("refresh that names the identifier again", "NET_ID_STR=", "NET_ID_STR=KaldorHome", key,
            "111000", des);
        Row("VLAN tagging on", "KALDOR_VLAN_CONFIG=Enabled", "", key, "111111", des);
        Row("VLAN tagging switched off by refresh", "KALDOR_VLAN_CONFIG=Enabled",
            "KALDOR_VLAN_CONFIG=Disabled", key, "111000", des);
        Row("model not named", "MODEL=KPL-200", "", key, "111000", "hidden");
        Row("empty model", "MODEL=", "", key, "111000", des);
        Row("part of a named model", "MODEL=KPL-510", "", key, "111000", des);
        Row("AES with the node's mode and length",
            "ENCRYPT_TYPE=AES|ENCRYPT_AES_TYPE=CBC|ENCRYPT_KEY_LENGTH=128", "", key, "111000",
            "AES|CBC|128|111");
        Row("node without AES support", "AES_SUPPORT=N", "", key, "111000", "3DES|None|168|000");
        Row("type outside the options", "ENCRYPT_TYPE=Blowfish", "", key, "111000",
            "|None|168|100");
    }
    void loadRules() {
        Fixture f;
        SetParameters(f, kLocal, Parts(Cell("opening")));
        OPEN_ADVANCED(f, kLocal);
        if (!Cell("refresh").isEmpty()) {
            SetParameters(f, kLocal, {Cell("refresh")});
            f.click(Adv(), "cmdRefresh");
        }
        QCOMPARE(Text("txtEncrypKey")->text(), Cell("key"));
        QCOMPARE(Enabled({"txtEncrypKey", "cboNodeType", "txtConfirmKey", "cboVlanPrio",
                          "txtVlanTag", "cmdUpVlan"}),
                 Cell("enabled"));
        QCOMPARE(EncryptionShown(), Cell("encryption"));
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
    }

    // The presets of both QoS panels are recognised from the criteria, the
    // second rule starting from the first one's; a malformed class mask, class
    // value or priority list leaves only that field empty. Expected: rule 1|its
    // port|rule 2|its port|QoS rule|its port|priority map, "-" when hidden.
    void qosRecognition_data() {
        Columns({"settings", "expected"});
        const QString udp8080 = "C0=Custom P0=11 O0=40 V0=1F90 R0=6,0,0 M0=FFFF";
        const QString tos = "C0=Custom P0=0800 O0=19 V0=20";
        Row("nothing classified", "", "7|-|7|-|0|-|-");
        Row("802.1p", "C0=8021p", "6|-|7|-|3|-|-");
        Row("UDP port 8080, high", udp8080, "2|8080|7|-|2|8080|-");
        Row("TCP port 443, low; unmatched criterion 1 keeps rule 1's",
            "C0=Custom P0=06 V0=01BB R0=1,0 M0=FFFF C1=Custom", "5|443|5|-|-1|-|-");
        Row("all UDP traffic", "C0=Custom P0=0800 V0=11", "0|-|7|-|-1|-|-");
        Row("all TCP traffic on criterion 1", "C1=Custom P1=0800 V1=06", "7|-|1|-|-1|-|-");
        Row("UDP port 53, low, on criterion 1", "C1=Custom P1=11 V1=0035 R1=1 M1=FFFF",
            "7|-|3|53|-1|-|-");
        Row("TOS precedence", tos + " R0=6,5,4,3,2,1,0,0", "0|-|7|-|4|-|6,5,4,3,2,1,0,0");
        Row("DSCP precedence on criterion 1", "C1=Custom O1=19 R1=1,2,3,4,5,6,6,6",
            "7|-|7|-|5|-|1,2,3,4,5,6,6,6");
        Row("no criteria but class offset 38", "O0=38 V0=0050 M0=FFFF", "7|-|7|-|1|80|-");
        Row("class mask without a zero", udp8080 + " M0=FFFFFFFFFFFFFFFF", "2||7|-|2||-");
        Row("class value not hexadecimal", udp8080 + " V0=1G90", "2||7|-|2||-");
        Row("fewer than eight priorities", tos + " R0=6,5,4", "0|-|7|-|4|-|6,5,4,,,,,");
    }
    void qosRecognition() {
        Fixture f;
        SetParameters(f, kLocal, Classification(Cell("settings")));
        OPEN_ADVANCED(f, kLocal);
        QStringList map;
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(Adv()->lblQoSPrec(k)->isHidden(), Adv()->txtQoSMap(k)->isHidden());
            map << Adv()->txtQoSMap(k)->text();
        }
        const QStringList shown{
            QString::number(Combo("cboRule1")->currentIndex()),   Shown("txtPort1", "lblPort1"),
            QString::number(Combo("cboRule2")->currentIndex()),   Shown("txtPort2", "lblPort2"),
            QString::number(Combo("cboQoSRule")->currentIndex()), Shown("txtQoSPort", "lblQoSPort"),
            Adv()->txtQoSMap(0)->isHidden() ? "-" : map.join(',')};
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
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, ResponseFirstLine(f));
        QVERIFY(f.dialogs.boxes[0].text.contains("did not answer"));
        QCOMPARE(f.dialogs.boxes[0].title, Session().errReceiving);
        QCOMPARE(Text("txtNetId")->text(), "KaldorHome");
        QVERIFY(Adv()->isVisible() && Adv()->isEnabled() && !W().frmMessage->isVisible());
        QFile::remove(f.workFile("ihcp_client.tmp"));
        ListResponseLines();
        QCOMPARE(f.dialogs.boxes.size(), 2);
        QCOMPARE(f.dialogs.boxes[1].text, Session().errLoadConf);
        QCOMPARE(f.dialogs.boxes[1].title, kAppTitle);
        QCOMPARE(Control<QListWidget>("lstConfig")->count(), lines);
    }

    // Exit returns to the end page; so does the title bar, enabling it.
    void leaving() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        f.click(Adv(), "cmdExit");
        QVERIFY(!Adv()->isVisible() && W().frmEnd->isVisible() && W().frmEnd->isEnabled());
        Adv()->show();
        W().frmEnd->hide();
        W().frmEnd->setEnabled(false);
        Adv()->close();
        QVERIFY(!Adv()->isVisible() && W().frmEnd->isVisible() && W().frmEnd->isEnabled());
        QVERIFY(!f.exitCode);
    }
};

QTEST_MAIN(AdvancedWindowTest)
#include "test_advanced.moc"
