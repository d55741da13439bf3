// The advanced window: its tabs, how it opens and closes, and how every
// parameter of a node reaches its controls.
#include <QApplication>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabBar>
#include <QtTest>

#include "advanced/Loading.h"
#include "app/TextFiles.h"
#include "app/Values.h"
#include "lang/Catalogue.h"
#include "test_advanced_helpers.h"

using namespace advtest;

namespace {

const QString kZeros = QStringLiteral("0000000000000000");

// A class-pattern list whose first value is given, as the node reports it.
QString ClassList(const QString& first) {
    QStringList pieces{QLatin1Char('\'') + first + QLatin1Char('\'')};
    for (int k = 1; k < 8; ++k) {
        pieces << QLatin1Char('\'') + kZeros + QLatin1Char('\'');
    }
    return pieces.join(QLatin1Char(','));
}

QString QuotedList(const QStringList& values) {
    QStringList pieces;
    for (const QString& v : values) {
        pieces << QLatin1Char('\'') + v + QLatin1Char('\'');
    }
    return pieces.join(QLatin1Char(','));
}

QString CurrentPanel() {
    return Control<QStackedWidget>("stkPanels")->currentWidget()->objectName();
}

void ClickTab(QTabBar* bar, int position) {
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(position - 1).center());
}

// The text a port field shows, or "-" when it is hidden.
QString PortShown(const char* name) {
    QLineEdit* box = Text(name);
    return box->isHidden() ? QStringLiteral("-") : box->text();
}

// The eight priority fields joined by commas, or "-" when they are hidden.
QString MapShown() {
    QStringList texts;
    for (int k = 0; k < 8; ++k) {
        if (Adv()->txtQoSMap(k)->isHidden() || Adv()->lblQoSPrec(k)->isHidden()) {
            return QStringLiteral("-");
        }
        texts << Adv()->txtQoSMap(k)->text();
    }
    return texts.join(QLatin1Char(','));
}

struct Shown {
    const char* control;
    const char* key;
};

// Text boxes and the key each one shows unchanged.
const Shown kTextRows[] = {{"txtServerIP", "FLUP_IP_ADDR"},
                           {"txtFtpUser", "FLUP_LOGIN"},
                           {"txtFtpPass", "FLUP_PASSWORD"},
                           {"txtFileName", "FLUP_FILENAME"},
                           {"txtIpAddress", "IP_ADDR"},
                           {"txtSubnetMask", "NETMASK"},
                           {"txtDefGateway", "GATEWAY"},
                           {"txtEncrypKey", "ENCRYPT_KEY_STR"},
                           {"txtNetId", "NET_ID_STR"},
                           {"txt1Offset", "CUSTOM_1_OFFSET"},
                           {"txt1Pattern", "CUSTOM_1_PATTERN"},
                           {"txt1ClassOffset", "CUSTOM_1_CLASS_OFFSET"},
                           {"txt1Bitmask", "CUSTOM_1_BITMASK"},
                           {"txt1ClassBitmask", "CUSTOM_1_CLASS_BITMASK"},
                           {"txtOffset", "CUSTOM_0_OFFSET"},
                           {"txtPattern", "CUSTOM_0_PATTERN"},
                           {"txtClassOffset", "CUSTOM_0_CLASS_OFFSET"},
                           {"txtBitmask", "CUSTOM_0_BITMASK"},
                           {"txtClassBitmask", "CUSTOM_0_CLASS_BITMASK"},
                           {"txtVlanTag", "KALDOR_VLAN_TAG"}};

struct Listed {
    const char* control;
    const char* options;
    const char* value;
};

// Drop-down lists filled from an option list with the current value selected.
const Listed kListRows[] = {
    {"cboUpgProt", "FLUP_PROTOCOL_OPTIONS", "FLUP_PROTOCOL"},
    {"cboUpdSect", "FLUP_SECTION_OPTIONS", "FLUP_SECTION"},
    {"cboIpConfig", "IP_CONFIG_OPTIONS", "IP_CONFIG"},
    {"cboMacType", "MAC_TYPE_OPTIONS", "MAC_TYPE"},
    {"cboNodeType", "NODE_TYPE_OPTIONS", "NODE_TYPE"},
    {"cboNotches", "NOTCHES_OPTIONS", "NOTCHES"},
    {"cboDistControl", "DISTORTION_CONTROL_OPTIONS", "DISTORTION_CONTROL"},
    {"IGMP", "MCAST_IGMP_OPTIONS", "MCAST_IGMP"},
    {"cboDefPrio", "PRIO_OPTIONS", "DEFAULT_PRIO"},
    {"cboVlanConf", "KALDOR_VLAN_CONFIG_OPTIONS", "KALDOR_VLAN_CONFIG"},
    {"cboVlanPrio", "KALDOR_VLAN_PRIO_OPTIONS", "KALDOR_VLAN_PRIO"},
    {"cboEncryptType", "ENCRYPT_TYPE_OPTIONS", "ENCRYPT_TYPE"},
    {"cboAESEncryptType", "ENCRYPT_AES_TYPE_OPTIONS", "ENCRYPT_AES_TYPE"},
    {"cboEncryptLength", "ENCRYPT_AES_LENGTH_OPTIONS", "ENCRYPT_KEY_LENGTH"}};

// Every plain control shows what the node holds.
void VerifyLoaded(const kaldorsim::Parameters& params, bool encryptionShown) {
    for (const Shown& row : kTextRows) {
        QVERIFY2(params.contains(row.key), row.key);
        QCOMPARE(Text(row.control)->text(), params.value(row.key));
    }
    for (const Listed& row : kListRows) {
        const bool encryption = QByteArray(row.control).contains("Encrypt");
        if (encryption && !encryptionShown) {
            QVERIFY(Combo(row.control)->isHidden());
            continue;
        }
        QCOMPARE(Entries(Combo(row.control)), SplitOptionList(params.value(row.options)));
        QCOMPARE(Combo(row.control)->currentText(), params.value(row.value));
    }
    const QStringList criteria = SplitOptionList(params.value("CRITERION_OPTIONS"));
    QCOMPARE(Entries(Combo("cboCriterion")), criteria);
    QCOMPARE(Entries(Combo("cbo1Criterion")), criteria);
    QCOMPARE(Combo("cboCriterion")->currentText(), params.value("CRITERION_0"));
    QCOMPARE(Combo("cbo1Criterion")->currentText(), params.value("CRITERION_1"));
}

}  // namespace

class AdvancedWindowTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    // The catalogue decides which tabs exist; a click shows the panel of the
    // clicked tab through the position fields, and General brings back the
    // general panel.
    void tabPositions_data() {
        QTest::addColumn<QStringList>("emptied");
        QTest::addColumn<QList<int>>("positions");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<QString>("panel");
        const QStringList optional{"tabNetwork",  "tabMac",  "tabPhy", "tabMulticat",
                                   "tabSecurity", "tabVlan", "tabQoS", "tabQoSAdv"};
        QTest::newRow("every tab, advanced QoS")
            << QStringList() << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 9 << "picFrame_9";
        QTest::newRow("every tab, QoS")
            << QStringList() << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 8 << "picFrame_10";
        QTest::newRow("every tab, VLAN")
            << QStringList() << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9} << 7 << "picFrame_8";
        QTest::newRow("no MAC and PHY, multicast")
            << QStringList{"tabMac", "tabPhy"} << QList<int>{1, 2, 0, 0, 3, 4, 5, 6, 7} << 3
            << "picFrame_5";
        QTest::newRow("no MAC and PHY, advanced QoS")
            << QStringList{"tabMac", "tabPhy"} << QList<int>{1, 2, 0, 0, 3, 4, 5, 6, 7} << 7
            << "picFrame_9";
        QTest::newRow("no MAC, PHY")
            << QStringList{"tabMac"} << QList<int>{1, 2, 0, 3, 4, 5, 6, 7, 8} << 3 << "picFrame_4";
        QStringList allButSecurity = optional;
        allButSecurity.removeOne("tabSecurity");
        QTest::newRow("security only")
            << allButSecurity << QList<int>{1, 0, 0, 0, 0, 2, 0, 0, 0} << 2 << "picFrame_6";
    }
    void tabPositions() {
        QFETCH(QStringList, emptied);
        QFETCH(QList<int>, positions);
        QFETCH(int, clicked);
        QFETCH(QString, panel);
        Fixture f;
        for (const QString& key : emptied) {
            f.setCatalogue(key, QString());
        }
        QVERIFY(f.start());
        const AdvancedTabs& t = App().tabs;
        QCOMPARE((QList<int>{t.GeneralTab, t.NetworkTab, t.MacTab, t.PhyTab, t.MulticastTab,
                             t.SecurityTab, t.VlanTab, t.QoSTab, t.QoSAdvTab}),
                 positions);
        auto* bar = Control<QTabBar>("tabConfig");
        QCOMPARE(bar->count(), *std::max_element(positions.begin(), positions.end()));
        Adv()->show();
        QVERIFY(QTest::qWaitForWindowExposed(Adv()));
        QCOMPARE(CurrentPanel(), "picFrame_1");
        ClickTab(bar, clicked);
        QCOMPARE(bar->currentIndex(), clicked - 1);
        QCOMPARE(CurrentPanel(), panel);
        ClickTab(bar, 1);
        QCOMPARE(CurrentPanel(), "picFrame_1");
    }

    void criterionTabs() {
        Fixture f;
        QVERIFY(f.start());
        auto* stack = Control<QStackedWidget>("stkCriterion");
        QCOMPARE(stack->currentWidget(), Adv()->picCriterion(1));
        // The criteria panel is never in front, so its tabs are chosen directly.
        auto* bar = Control<QTabBar>("tabCriterion");
        bar->setCurrentIndex(1);
        QCOMPARE(stack->currentWidget(), Adv()->picCriterion(2));
        bar->setCurrentIndex(0);
        QCOMPARE(stack->currentWidget(), Adv()->picCriterion(1));
    }

    // Opened from the end page, the window lists the whole response and shows
    // every parameter of the node; the encryption controls only for models
    // the catalogue names.
    void openThroughEndPage_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<bool>("encryptionShown");
        QTest::addColumn<bool>("fixedIpEnabled");
        QTest::newRow("local, AES model, fixed IP") << kLocal << true << true;
        QTest::newRow("office, basic model, DHCP") << kOffice << false << false;
        QTest::newRow("garage, AES model") << kGarage << true << false;
    }
    void openThroughEndPage() {
        QFETCH(QString, mac);
        QFETCH(bool, encryptionShown);
        QFETCH(bool, fixedIpEnabled);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        QVERIFY(!W().frmEnd->isVisible());
        QVERIFY(!W().frmConnect->isVisible());
        QVERIFY(!W().frmMessage->isVisible());
        auto* list = Control<QListWidget>("lstConfig");
        const QStringList lines = ReadLines(f.workFile("ihcp_client.tmp")).value();
        QCOMPARE(list->count(), lines.size());
        for (int i = 0; i < lines.size(); ++i) {
            QCOMPARE(list->item(i)->text(), lines[i]);
        }
        VerifyLoaded(Parameters(f, mac), encryptionShown);
        for (const char* name :
             {"cboEncryptType", "cboAESEncryptType", "cboEncryptLength", "cmdUpEncryption",
              "lblSecurity_6", "lblSecurity_7", "lblSecurity_8"}) {
            QCOMPARE(Control(name)->isHidden(), !encryptionShown);
        }
        for (const char* name : {"txtIpAddress", "txtSubnetMask", "txtDefGateway"}) {
            QCOMPARE(Control(name)->isEnabled(), fixedIpEnabled);
        }
        QVERIFY(Control("cboNodeType")->isEnabled());
        QVERIFY(Control("txtEncrypKey")->isEnabled());
        QVERIFY(!Control("cmdUpVlan")->isEnabled());
        QCOMPARE(Entries(Combo("cboRule1")).size(), 8);
        QCOMPARE(Combo("cboRule1")->itemText(7), GetText("cboQoSAdv8"));
        QCOMPARE(Entries(Combo("cboQoSRule")).size(), 6);
        QCOMPARE(Combo("cboQoSRule")->currentIndex(), 0);
        QCOMPARE(Combo("cboRule2")->currentIndex(), 7);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // The node page's Advanced button reads the chosen node with its
    // password and opens the window on it.
    void openThroughNodePage_data() {
        QTest::addColumn<QString>("mac");
        QTest::newRow("connected node") << kLocal;
        QTest::newRow("garage") << kGarage;
    }
    void openThroughNodePage() {
        QFETCH(QString, mac);
        Fixture f;
        QVERIFY(f.start());
        f.dialogs.typePassword("");  // the study's password is not known
        f.click(W().frmBegin, "cmdNext");
        if (mac == kLocal) {
            f.clickNodeBox();
        } else {
            f.clickNodeEntry(f.rowOf(mac));
        }
        f.click(W().frmConnect, "cmdQuickAdv");
        QVERIFY2(Adv()->isVisible(), qPrintable(f.dialogs.describe()));
        QVERIFY(!W().frmConnect->isVisible());
        QCOMPARE(Session().SelectedMac, mac);
        VerifyLoaded(Parameters(f, mac), true);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // An option list gives one entry per piece (a piece too short for its
    // quotes gives an empty entry); the current value selects by exact text
    // and that selection decides over the fixed-IP boxes.
    void optionLists_data() {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("boxesEnabled");
        QTest::newRow("fixed") << "'DHCP','Fixed'"
                               << "Fixed" << QStringList{"DHCP", "Fixed"} << 1 << true;
        QTest::newRow("automatic") << "'DHCP','Fixed'"
                                   << "DHCP" << QStringList{"DHCP", "Fixed"} << 0 << false;
        QTest::newRow("second entry of any name")
            << "'Auto','Static'"
            << "Static" << QStringList{"Auto", "Static"} << 1 << true;
        QTest::newRow("short pieces") << "'DHCP','',x"
                                      << "DHCP" << QStringList{"DHCP", "", ""} << 0 << false;
        QTest::newRow("value in other case: no selection, boxes as they were")
            << "'DHCP','Fixed'"
            << "fixed" << QStringList{"DHCP", "Fixed"} << -1 << true;
        QTest::newRow("third entry: boxes as they were")
            << "'DHCP','Fixed','Auto'"
            << "Auto" << QStringList{"DHCP", "Fixed", "Auto"} << 2 << true;
        QTest::newRow("empty list") << ""
                                    << "DHCP" << QStringList() << -1 << true;
    }
    void optionLists() {
        QFETCH(QString, options);
        QFETCH(QString, value);
        QFETCH(QStringList, entries);
        QFETCH(int, selected);
        QFETCH(bool, boxesEnabled);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);  // the local node starts with a fixed address
        SetParameters(f, kLocal, {"IP_CONFIG_OPTIONS=" + options, "IP_CONFIG=" + value});
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(Entries(Combo("cboIpConfig")), entries);
        QCOMPARE(Combo("cboIpConfig")->currentIndex(), selected);
        QCOMPARE(Control("txtIpAddress")->isEnabled(), boxesEnabled);
        QCOMPARE(Control("txtDefGateway")->isEnabled(), boxesEnabled);
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
        QVERIFY(Adv()->isVisible());
    }

    // The change rules run while the load sets each control; the key follows
    // the network identifier only when the identifier's text changes.
    void loadChangeRules_data() {
        QTest::addColumn<QStringList>("atOpening");
        QTest::addColumn<QStringList>("atRefresh");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("keyEnabled");
        QTest::addColumn<bool>("vlanEnabled");
        QTest::newRow("network identifier present")
            << QStringList() << QStringList() << "HomeKey-2024" << true << false;
        QTest::newRow("first load without identifier keeps the key")
            << QStringList{"NET_ID_STR="} << QStringList() << "HomeKey-2024" << false << false;
        QTest::newRow("refresh that clears the identifier empties the key")
            << QStringList() << QStringList{"NET_ID_STR="} << "" << false << false;
        QTest::newRow("refresh that names the identifier again")
            << QStringList{"NET_ID_STR="} << QStringList{"NET_ID_STR=KaldorHome"} << "HomeKey-2024"
            << true << false;
        QTest::newRow("VLAN tagging on") << QStringList{"KALDOR_VLAN_CONFIG=Enabled"}
                                         << QStringList() << "HomeKey-2024" << true << true;
        QTest::newRow("VLAN tagging switched off by refresh")
            << QStringList{"KALDOR_VLAN_CONFIG=Enabled"}
            << QStringList{"KALDOR_VLAN_CONFIG=Disabled"} << "HomeKey-2024" << true << false;
    }
    void loadChangeRules() {
        QFETCH(QStringList, atOpening);
        QFETCH(QStringList, atRefresh);
        QFETCH(QString, key);
        QFETCH(bool, keyEnabled);
        QFETCH(bool, vlanEnabled);
        Fixture f;
        SetParameters(f, kLocal, atOpening);
        OPEN_ADVANCED(f, kLocal);
        if (!atRefresh.isEmpty()) {
            SetParameters(f, kLocal, atRefresh);
            f.click(Adv(), "cmdRefresh");
        }
        QCOMPARE(Text("txtEncrypKey")->text(), key);
        QCOMPARE(Control("txtEncrypKey")->isEnabled(), keyEnabled);
        QCOMPARE(Control("cboNodeType")->isEnabled(), keyEnabled);
        QCOMPARE(Control("txtConfirmKey")->isEnabled(), !key.isEmpty());
        for (const char* name : {"cboVlanPrio", "txtVlanTag", "cmdUpVlan"}) {
            QCOMPARE(Control(name)->isEnabled(), vlanEnabled);
        }
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
    }

    // The encryption controls appear for the models the catalogue names and
    // show the node's own values, not the defaults of a user's choice.
    // Expected: type | AES mode | key length | which of the three are enabled,
    // or "hidden".
    void encryptionControls_data() {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const QStringList& settings, const char* expected) {
            QTest::newRow(name) << settings << QString(expected);
        };
        row("AES model, 3DES", {}, "3DES|None|168|100");
        row("model not named", {"MODEL=KPL-200"}, "hidden");
        row("model named in other case", {"MODEL=kpl-510a"}, "hidden");
        row("empty model", {"MODEL="}, "3DES|None|168|100");
        row("part of a named model", {"MODEL=KPL-510"}, "3DES|None|168|100");
        row("AES with the node's mode and length",
            {"ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC", "ENCRYPT_KEY_LENGTH=128"},
            "AES|CBC|128|111");
        row("node without AES support", {"AES_SUPPORT=N"}, "3DES|None|168|000");
        row("type outside the options", {"ENCRYPT_TYPE=Blowfish"}, "|None|168|100");
    }
    void encryptionControls() {
        QFETCH(QStringList, settings);
        QFETCH(QString, expected);
        Fixture f;
        SetParameters(f, kLocal, settings);
        OPEN_ADVANCED(f, kLocal);
        const QList<QWidget*> shownOrHidden{
            Control("cboEncryptType"),  Control("cboAESEncryptType"), Control("cboEncryptLength"),
            Control("cmdUpEncryption"), Control("lblSecurity_6"),     Control("lblSecurity_7"),
            Control("lblSecurity_8")};
        for (QWidget* control : shownOrHidden) {
            QCOMPARE(control->isHidden(), expected == "hidden");
        }
        if (expected == "hidden") {
            return;
        }
        QString shown;
        for (const char* name : {"cboEncryptType", "cboAESEncryptType", "cboEncryptLength"}) {
            shown += Combo(name)->currentText() + "|";
        }
        for (const char* name : {"cboEncryptType", "cboAESEncryptType", "cboEncryptLength"}) {
            shown += Control(name)->isEnabled() ? "1" : "0";
        }
        QCOMPARE(shown, expected);
    }

    // The presets of both QoS panels are recognised from the criteria; a
    // malformed class mask, class value or priority list leaves only that
    // field empty. Expected: rule 1 | its port | rule 2 | its port | QoS rule
    // | its port | priority map; "-" for a hidden field.
    void qosRecognition_data() {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<QString>("expected");
        const QString udp = "1100000000000000";
        const QString tcp = "0600000000000000";
        const QString ip = "0800000000000000";
        const QString portMask = "CUSTOM_0_CLASS_BITMASK=FFFF000000000000";
        const QStringList udp8080{"CRITERION_0=Custom",
                                  "CUSTOM_0_PATTERN=" + udp,
                                  "CUSTOM_0_CLASS_OFFSET=40",
                                  "CUSTOM_0_CLASS_PATTERN=" + ClassList("1F90000000000000"),
                                  "CUSTOM_0_CLASS_PRIO=" + QuotedList({"6", "0", "0"}),
                                  portMask};
        const QStringList tos{"CRITERION_0=Custom", "CUSTOM_0_PATTERN=" + ip,
                              "CUSTOM_0_CLASS_OFFSET=19",
                              "CUSTOM_0_CLASS_PATTERN=" + ClassList("2000000000000000")};
        const QString prio0 = "CUSTOM_0_CLASS_PRIO=";
        auto row = [](const char* name, const QStringList& settings, const char* expected) {
            QTest::newRow(name) << settings << QString(expected);
        };
        row("nothing classified", {}, "7|-|7|-|0|-|-");
        row("802.1p", {"CRITERION_0=8021p"}, "6|-|7|-|3|-|-");
        row("UDP port 8080, high", udp8080, "2|8080|7|-|2|8080|-");
        row("TCP port 443, low; unmatched criterion 1 keeps rule 1's",
            {"CRITERION_0=Custom", "CUSTOM_0_PATTERN=" + tcp,
             "CUSTOM_0_CLASS_PATTERN=" + ClassList("01BB000000000000"),
             prio0 + QuotedList({"1", "0"}), portMask, "CRITERION_1=Custom"},
            "5|443|5|-|-1|-|-");
        row("all UDP traffic",
            {"CRITERION_0=Custom", "CUSTOM_0_PATTERN=" + ip,
             "CUSTOM_0_CLASS_PATTERN=" + ClassList(udp)},
            "0|-|7|-|-1|-|-");
        row("all TCP traffic on criterion 1",
            {"CRITERION_1=Custom", "CUSTOM_1_PATTERN=" + ip,
             "CUSTOM_1_CLASS_PATTERN=" + ClassList(tcp)},
            "7|-|1|-|-1|-|-");
        row("UDP port 53, low, on criterion 1",
            {"CRITERION_1=Custom", "CUSTOM_1_PATTERN=" + udp,
             "CUSTOM_1_CLASS_PATTERN=" + ClassList("0035000000000000"),
             "CUSTOM_1_CLASS_PRIO=" + QuotedList({"1"}), "CUSTOM_1_CLASS_BITMASK=FFFF000000000000"},
            "7|-|3|53|-1|-|-");
        row("TOS precedence",
            QStringList(tos) << prio0 + QuotedList({"6", "5", "4", "3", "2", "1", "0", "0"}),
            "0|-|7|-|4|-|6,5,4,3,2,1,0,0");
        row("DSCP precedence on criterion 1",
            {"CRITERION_1=Custom", "CUSTOM_1_CLASS_OFFSET=19",
             "CUSTOM_1_CLASS_PRIO=" + QuotedList({"1", "2", "3", "4", "5", "6", "6", "6"})},
            "7|-|7|-|5|-|1,2,3,4,5,6,6,6");
        row("no criteria but class offset 38",
            {"CUSTOM_0_CLASS_OFFSET=38", "CUSTOM_0_CLASS_PATTERN=" + ClassList("0050000000000000"),
             portMask},
            "7|-|7|-|1|80|-");
        row("class mask without a zero",
            QStringList(udp8080) << "CUSTOM_0_CLASS_BITMASK=FFFFFFFFFFFFFFFF", "2||7|-|2||-");
        row("class mask beginning with a zero",
            QStringList(udp8080) << "CUSTOM_0_CLASS_BITMASK=0FFF000000000000", "2||7|-|2||-");
        row("class value not hexadecimal",
            QStringList(udp8080) << "CUSTOM_0_CLASS_PATTERN=" + ClassList("1G90000000000000"),
            "2||7|-|2||-");
        row("class value shorter than its mask",
            QStringList(udp8080) << "CUSTOM_0_CLASS_PATTERN='1F'", "2||7|-|2||-");
        row("fewer than eight priorities", QStringList(tos) << prio0 + QuotedList({"6", "5", "4"}),
            "0|-|7|-|4|-|6,5,4,,,,,");
    }
    void qosRecognition() {
        QFETCH(QStringList, settings);
        QFETCH(QString, expected);
        Fixture f;
        SetParameters(f, kLocal, settings);
        OPEN_ADVANCED(f, kLocal);
        const QStringList shown{QString::number(Combo("cboRule1")->currentIndex()),
                                PortShown("txtPort1"),
                                QString::number(Combo("cboRule2")->currentIndex()),
                                PortShown("txtPort2"),
                                QString::number(Combo("cboQoSRule")->currentIndex()),
                                PortShown("txtQoSPort"),
                                MapShown()};
        QCOMPARE(shown.join(QLatin1Char('|')), expected);
        QCOMPARE(Control("lblPort1")->isHidden(), shown[1] == "-");
        QCOMPARE(Control("lblPort2")->isHidden(), shown[3] == "-");
        QCOMPARE(Control("lblQoSPort")->isHidden(), shown[5] == "-");
        // The rest of the window is loaded all the same.
        QCOMPARE(Text("txtNetId")->text(), "KaldorHome");
        QCOMPARE(Combo("cboVlanPrio")->currentText(), "0");
    }

    void findComboIndex_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("second") << QStringList{"DHCP", "Fixed"} << "Fixed" << 1;
        QTest::newRow("other case") << QStringList{"DHCP", "Fixed"} << "fixed" << -1;
        QTest::newRow("trailing blank") << QStringList{"DHCP", "Fixed"} << "Fixed " << -1;
        QTest::newRow("first of two equal") << QStringList{"a", "b", "a"} << "a" << 0;
        QTest::newRow("empty entry") << QStringList{"x", ""} << "" << 1;
        QTest::newRow("no entries") << QStringList() << "x" << -1;
    }
    void findComboIndex() {
        QFETCH(QStringList, entries);
        QFETCH(QString, text);
        QFETCH(int, expected);
        QComboBox combo;
        combo.addItems(entries);
        QCOMPARE(FindComboIndex(text, &combo), expected);
    }

    void hexToLong_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint32>("expected");
        QTest::newRow("port") << "1F90" << true << 8080;
        QTest::newRow("small letters") << "ffff" << true << 65535;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("largest positive") << "7FFFFFFF" << true << 2147483647;
        QTest::newRow("all bits") << "FFFFFFFF" << true << -1;
        QTest::newRow("sign bit") << "80000000" << true << qint32(-2147483647 - 1);
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("not a digit") << "1G" << false << 0;
        QTest::newRow("quote") << "'1F" << false << 0;
        QTest::newRow("blank") << " 1F" << false << 0;
        QTest::newRow("nine digits") << "123456789" << false << 0;
    }
    void hexToLong() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(qint32, expected);
        const std::optional<qint32> value = HexToLong(text);
        QCOMPARE(value.has_value(), valid);
        if (valid) {
            QCOMPARE(*value, expected);
        }
    }

    // A refresh the node does not answer changes nothing and says why.
    void refreshUnanswered() {
        Fixture f;
        OPEN_ADVANCED(f, kOffice);
        SetParameters(f, kOffice, {"NET_ID_STR=Elsewhere"});
        ChangeNetwork(f, [](kaldorsim::Network& net, QString* error) {
            return kaldorsim::setFault(net, "office", "noAnswer", "on", error);
        });
        const int lines = Control<QListWidget>("lstConfig")->count();
        f.click(Adv(), "cmdRefresh");
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, ReadFirstLine(f.workFile("ihcp_client.tmp")).value());
        QVERIFY(f.dialogs.boxes[0].text.contains("did not answer"));
        QCOMPARE(f.dialogs.boxes[0].title, Session().errReceiving);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(Text("txtNetId")->text(), "KaldorHome");
        QCOMPARE(Control<QListWidget>("lstConfig")->count(), lines);
        QVERIFY(Adv()->isVisible());
        QVERIFY(Adv()->isEnabled());
        QVERIFY(!W().frmMessage->isVisible());
    }

    void listWithoutResponse() {
        Fixture f;
        OPEN_ADVANCED(f, kOffice);
        const int lines = Control<QListWidget>("lstConfig")->count();
        QFile::remove(f.workFile("ihcp_client.tmp"));
        ListResponseLines();
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, Session().errLoadConf);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.dialogs.boxes[0].title, kAppTitle);
        QCOMPARE(Control<QListWidget>("lstConfig")->count(), lines);
    }

    // Exit and the title bar both return to the end page, enabled.
    void leaving_data() {
        QTest::addColumn<bool>("titleBar");
        QTest::newRow("Exit button") << false;
        QTest::newRow("title bar") << true;
    }
    void leaving() {
        QFETCH(bool, titleBar);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        if (titleBar) {
            W().frmEnd->setEnabled(false);
            Adv()->close();
        } else {
            f.click(Adv(), "cmdExit");
        }
        QVERIFY(!Adv()->isVisible());
        QVERIFY(W().frmEnd->isVisible());
        QVERIFY(W().frmEnd->isEnabled());
        QVERIFY(!f.exitCode);
        // The controls keep their contents for the next showing.
        QCOMPARE(Text("txtNetId")->text(), "KaldorHome");
    }

    // Choosing an interface enables the upgrade once a file is chosen; it
    // never disables it.
    void interfaceChoice_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("enabledBefore");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<bool>("enabledAfter");
        QTest::newRow("file and interface") << "fw.bin" << false << 1 << true;
        QTest::newRow("no file") << "" << false << 1 << false;
        QTest::newRow("no interface") << "fw.bin" << false << -1 << false;
        QTest::newRow("never disables") << "" << true << -1 << true;
    }
    void interfaceChoice() {
        QFETCH(QString, file);
        QFETCH(bool, enabledBefore);
        QFETCH(int, chosen);
        QFETCH(bool, enabledAfter);
        Fixture f;
        QVERIFY(f.start());
        QComboBox* interfaces = Combo("cboInterface");
        interfaces->addItems({"eth0", "eth1"});
        interfaces->setCurrentIndex(0);
        Text("txtFwFile")->setText(file);
        Control("cmdFwUpgrade")->setEnabled(enabledBefore);
        interfaces->setCurrentIndex(chosen);
        QCOMPARE(Control("cmdFwUpgrade")->isEnabled(), enabledAfter);
    }

    // A handler given for a control's loss of focus runs when the focus moves
    // on to another control, once per move.
    void lostFocus() {
        Fixture f;
        QVERIFY(f.start());
        int left = 0;
        Adv()->OnLostFocus(Text("txtIp11"), [&left] { ++left; });
        Adv()->show();
        QApplication::setActiveWindow(Adv());
        QVERIFY(QTest::qWaitForWindowActive(Adv()));
        Text("txtIp11")->setFocus(Qt::OtherFocusReason);
        Text("txtIp12")->setFocus(Qt::TabFocusReason);
        QCOMPARE(left, 1);
        Text("txtIp13")->setFocus(Qt::TabFocusReason);
        QCOMPARE(left, 1);
    }
};

QTEST_MAIN(AdvancedWindowTest)
#include "test_advanced.moc"
