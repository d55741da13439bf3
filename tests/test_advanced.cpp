// The advanced window: its tabs, how a node's parameters reach its controls,
// the rules that tie the controls together, and how it opens and closes.
#include <QStackedWidget>
#include <QTabBar>

#include "app/TextFiles.h"
#include "test_advanced_helpers.h"

namespace {

// Each control the load fills with the value of a key; a list's entries come
// from the key's option list (PRIO_OPTIONS, CRITERION_OPTIONS for some).
// clang-format off
const L kLoaded = QString(
    "txtServerIP=FLUP_IP_ADDR txtFtpUser=FLUP_LOGIN txtFtpPass=FLUP_PASSWORD txtFileName=FLUP_FILENAME "
    "txtIpAddress=IP_ADDR txtSubnetMask=NETMASK txtDefGateway=GATEWAY txtNetId=NET_ID_STR "
    "txtVlanTag=KALDOR_VLAN_TAG txtOffset=CUSTOM_0_OFFSET txtPattern=CUSTOM_0_PATTERN "
    "txtClassOffset=CUSTOM_0_CLASS_OFFSET txtBitmask=CUSTOM_0_BITMASK txtClassBitmask=CUSTOM_0_CLASS_BITMASK "
    "txt1Offset=CUSTOM_1_OFFSET txt1Pattern=CUSTOM_1_PATTERN txt1ClassOffset=CUSTOM_1_CLASS_OFFSET "
    "txt1Bitmask=CUSTOM_1_BITMASK txt1ClassBitmask=CUSTOM_1_CLASS_BITMASK cboUpgProt=FLUP_PROTOCOL "
    "cboUpdSect=FLUP_SECTION cboIpConfig=IP_CONFIG cboMacType=MAC_TYPE cboNodeType=NODE_TYPE cboNotches=NOTCHES "
    "cboDistControl=DISTORTION_CONTROL IGMP=MCAST_IGMP cboDefPrio=DEFAULT_PRIO cboVlanConf=KALDOR_VLAN_CONFIG "
    "cboVlanPrio=KALDOR_VLAN_PRIO cboCriterion=CRITERION_0 cbo1Criterion=CRITERION_1").split(' ');
// clang-format on

// Every control of kLoaded shows what the node holds: a list has the option
// list's pieces without their quotes and shows its value when listed.
void VerifyLoaded(const kaldorsim::Parameters& p) {
    for (const QString& pair : kLoaded) {
        const QString name = pair.section('=', 0, 0), key = pair.section('=', 1);
        auto* list = qobject_cast<QComboBox*>(Control(name));
        const QString options =
            p.value(QString(key).remove(QRegularExpression("^DEFAULT_|_[01]$")) + "_OPTIONS");
        L entries, shown;
        for (const QString& piece : list && !options.isEmpty() ? options.split(',') : L())
            entries << piece.mid(1, piece.size() - 2);
        for (int i = 0; list && i < list->count(); ++i)
            shown << list->itemText(i);
        QCOMPARE(shown, entries);
        QCOMPARE(list ? list->currentText() : Control<QLineEdit>(name)->text(),
                 !list || entries.contains(p.value(key)) ? p.value(key) : QString());
    }
}

}  // namespace

class AdvancedWindowTest : public QObject {
    Q_OBJECT

private slots:
    // The node's parameters ("KEY=value" set on the node, a bare "KEY" taken
    // away) at opening, then at a refresh, fill every control, the load and
    // then the user ("control=value") running the change rules. Missing keys
    // (taken away in load order) are left empty and told at each load in one
    // box. Exit returns to the end page.
    // The catalogue here names no MAC or PHY tab: their panels load all the
    // same, and a click on a tab shows its own panel (absent tabs match none).
    // clang-format off
    void load_data() {
        // "shown": as Shown() tells them
        Cols<QString, L, L, L, L>({"mac", "opening", "refresh", "typed", "shown"});
        const L none, noAes{"cboEncryptType hidden", "cmdUpEncryption hidden", "lblSecurity_8 hidden"};
        const L pw{"txtConfPassword=a", "txtConfirmPw=a"};
        Row("office: basic model, automatic address", kOffice, none, none, none,
            noAes + L{"txtIpAddress=192.168.1.11 off"});
        Row("options of any name, short pieces, another case, two keys missing", kLocal,
            L{"IP_CONFIG_OPTIONS='Auto','Static'", "IP_CONFIG=Static", "NOTCHES_OPTIONS='Disabled','',x",
            "FLUP_LOGIN", "KALDOR_VLAN_TAG"}, L{"IP_CONFIG=static"}, none, L{"txtIpAddress=192.168.1.10",
            "txtNetId=KaldorHome"});
        Row("local node, AES model: the first address entry disables the boxes, a third one leaves them", kLocal,
            L{"IP_CONFIG=DHCP"}, L{"IP_CONFIG_OPTIONS='DHCP','Fixed','Auto'", "IP_CONFIG=Auto"}, none,
            L{"txtIpAddress=192.168.1.10 off", "cboEncryptType=3DES", "cboEncryptLength=168 off",
            "txtVlanTag=100 off", "cmdUpVlan off", "txtConfirmPw= off", "cmdUpPw off"});
        Row("named model without AES support; a refresh that clears the identifier empties the key", kLocal,
            L{"MODEL=KPL-510", "AES_SUPPORT=N"}, L{"NET_ID_STR="}, none, L{"cboEncryptType=3DES off",
            "txtEncrypKey= off", "txtConfirmKey= off", "cmdUpKey"});
        Row("refresh that names the identifier again, tagging switched off", kLocal, L{"NET_ID_STR=",
            "KALDOR_VLAN_CONFIG=Enabled"}, L{"NET_ID_STR=KaldorHome", "KALDOR_VLAN_CONFIG=Disabled"}, none,
            L{"txtEncrypKey=HomeKey-2024", "cboNodeType=AP", "cboVlanPrio=0 off", "cmdUpVlan off"});
        Row("first load without identifier keeps the key; tagging on, AES with the node's mode and length", kLocal,
            L{"NET_ID_STR=", "KALDOR_VLAN_CONFIG=Enabled", "ENCRYPT_TYPE=AES", "ENCRYPT_AES_TYPE=CBC",
            "ENCRYPT_KEY_LENGTH=128"}, none, none, L{"txtEncrypKey=HomeKey-2024 off", "txtConfirmKey=",
            "cboNodeType=AP off", "txtVlanTag=100", "cboVlanPrio=0", "cmdUpVlan", "cboAESEncryptType=CBC",
            "cboEncryptLength=128"});
        Row("model not named in the catalogue", kLocal, L{"MODEL=KPL-200"}, none, none, noAes);
        Row("empty model, type outside the options", kLocal, L{"MODEL=", "ENCRYPT_TYPE=Blowfish"}, none, none,
            L{"cboEncryptType=", "cboAESEncryptType=None off"});
        Row("password, cleared key, AES chosen, tag out of range", kLocal, none, none, L{"txtConfPassword=a",
            "txtConfirmKey=x", "txtEncrypKey=", "cboEncryptType=AES", "cboVlanConf=Enabled",
            "txtVlanTag=4095", "cboVlanPrio=6"}, L{"txtConfirmPw=", "cmdUpPw off", "txtConfirmKey= off",
            "cboAESEncryptType=ECB", "cboEncryptLength=256", "cboVlanPrio=6", "cmdUpVlan off"});
        Row("confirmation deleted, new identifier, tagging mode the panel does not know", kLocal,
            L{"KALDOR_VLAN_CONFIG_OPTIONS='Disabled','Enabled','Tagged'"}, none, pw + L{"txtConfirmPw=",
            "txtNetId=", "txtNetId=Other", "cboVlanConf=Enabled", "txtVlanTag=100", "cboVlanConf=Tagged"},
            L{"cmdUpPw", "txtEncrypKey=", "txtConfirmKey= off", "txtVlanTag=100 off", "cmdUpVlan off"});
        Row("both passwords emptied, identifier cleared", kLocal, none, none, pw + L{"txtConfirmKey=x",
            "txtConfirmPw=", "txtConfPassword=", "txtNetId="}, L{"cmdUpPw off", "txtEncrypKey= off",
            "txtConfirmKey= off", "cboNodeType=AP"});
    }
    // clang-format on
    void load() {
        Fixture f;
        f.setCatalogue("tabMac", QString());
        f.setCatalogue("tabPhy", QString());
        const QString mac = Cell("mac");
        const L missing = Cell<L>("opening").filter(QRegularExpression("^[^=]*$"));
        SetParameters(f, mac, Cell<L>("opening").filter("="));
        for (const QString& key : missing)
            f.sim({"remove-param", mac, key});
        OPEN_ADVANCED(f, mac);
        SetParameters(f, mac, Cell<L>("refresh"));
        f.click(Adv(), "cmdRefresh");
        // Every line the node sent, the key and the FTP password hidden.
        QCOMPARE(Listed(),
                 ReadLines(f.workFile("ihcp_client.tmp"))
                     .value()
                     .replaceInStrings(QRegularExpression("^(ENCRYPT_KEY_STR|FLUP_PASSWORD)=.+"),
                                       "\\1=********"));
        VerifyLoaded(Parameters(f, mac));
        Set(Cell<L>("typed"));
        QCOMPARE(Shown(Cell<L>("shown")), Cell<L>("shown"));
        QCOMPARE(f.dialogs.describe(),
                 Resolved(L(missing.isEmpty() ? 0 : 2,
                            "[1|{errLoadConf}] {errMissingParams} " + missing.join(", "))
                              .join('\n')));
        auto* bar = Control<QTabBar>("tabConfig");
        QList<int> panels;
        for (int tab = bar->count() - 1; tab >= 0; --tab) {
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
            panels.prepend(
                Control<QStackedWidget>("stkPanels")->currentWidget()->objectName().mid(9).toInt());
        }
        QCOMPARE(panels, QList<int>({1, 2, 5, 6, 8, 10, 9}));
        Control<QTabBar>("tabCriterion")->setCurrentIndex(1);
        QCOMPARE(Control<QStackedWidget>("stkCriterion")->currentWidget(),
                 Control("picCriterion_2"));
        f.click(Adv(), "cmdExit");
        QVERIFY(!Adv()->isVisible() && W().frmEnd->isVisible() && W().frmEnd->isEnabled());
    }
};

QTEST_MAIN(AdvancedWindowTest)
#include "test_advanced.moc"
