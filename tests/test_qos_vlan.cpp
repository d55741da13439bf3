// The QoS and advanced QoS panels, the VLAN tag field and the TCP window file:
// the exact requests, the field rules, and every QoS setting sent to a
// simulated node and recognised again after a refresh. The VLAN panel's
// requests and enabling rules are in test_advanced_updates and test_advanced.
#include <QFocusEvent>
#include <QLabel>

#include "advanced/QosRequests.h"
#include "lang/Catalogue.h"
#include "support/CatalogueText.h"
#include "test_advanced_helpers.h"

using namespace advtest;

namespace {

// The custom fields of criterion n in the order a node takes them: the
// selector "offset|pattern|mask|class offset|class mask", then the eight class
// values and the eight priorities (those not given are "00" and "0").
QStringList Custom(int n, const QString& selector, const QString& classes, const QString& prios) {
    const QString p = QString("CUSTOM_%1_").arg(n);
    QStringList lines;
    for (const char* key : {"OFFSET=", "PATTERN=", "BITMASK=", "CLASS_OFFSET=", "CLASS_BITMASK="}) {
        lines << p + key + Parts(selector)[lines.size()];
    }
    for (int k = 0; k < 8; ++k) {
        lines << p + QString("CLASS_PATTERN_%1=").arg(k) + Parts(classes).value(k, "00");
    }
    for (int k = 0; k < 8; ++k) {
        lines << p + QString("CLASS_PRIO_%1=").arg(k) + Parts(prios).value(k, "0");
    }
    return lines;
}

QStringList Criterion(int n, const QString& value, const QStringList& custom = {}) {
    const QString c = QString("CRITERION_%1").arg(n);
    return QStringList{c + "=" + value} + custom + QStringList{c + "_OK=Ok"};
}

const QString kUdp = "27|11|FF|40|FFFF", kTcp = "27|06|FF|38|FFFF";
const QString kProtocol = "16|0800|FFFF|27|FF", kPrecedence = "16|0800|FFFF|19|E0";
const QString kPrecedences = "20|40|60|80|A0|C0|E0|E0", kNoMap = "-|-|-|-|-|-|-|-";

// The priority map as "A|B|...|H", each "-" while hidden.
QString MapShown() {
    QStringList texts;
    for (int k = 0; k < 8; ++k) {
        texts << Shown(QString("txtQoSMap%1").arg(k), QString("lblQoSPrec%1").arg(k));
    }
    return texts.join('|');
}

// Nothing was reported and the window takes input again.
void VerifyQuietlyBack(const Fixture& f) {
    QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
    QVERIFY(Adv()->isVisible() && Adv()->isEnabled() && !W().frmMessage->isVisible());
}

}  // namespace

class QosVlanTest : public QObject {
    Q_OBJECT

private slots:
    void portPattern_data() {
        Columns({"port", "pattern"});
        Row("digits then letters", "12ab", "000C");
        Row("longer, not cut", "100000", "186A0");
        Row("leading blanks", "  53", "0035");
    }
    void portPattern() { QCOMPARE(PortPattern(Cell("port")), Cell("pattern")); }

    // Each rule of the QoS panel and each advanced preset on either criterion
    // goes out as the node expects it (an advanced criterion in a request of
    // its own, its port from the field of its own rule; a rule without a
    // selection leaves its criterion as the node has it) and is recognised
    // again, with its port or priority map, after a refresh.
    void sendAndRecognise_data() {
        Columns({"mac", "start", "rule", "index", "port", "map", "shown"});
        QTest::addColumn<QStringList>("request");
        const QStringList off = Criterion(1, "None");
        const QString tos = "6|5|4|3|2|1|0|0", dscp = "1|2|3|4|5|6|6|6";
        Row("QoS rule 0: nothing classified", kLocal, "CRITERION_0=8021p", "QoS", "0", "", "", "-",
            Criterion(0, "None") + off);
        // Written out whole once: every line in the order the node expects.
        Row("QoS rule 1: TCP port 443", kLocal, "", "QoS", "1", "443", "", "443",
            QString("CRITERION_0=Custom CUSTOM_0_OFFSET=27 CUSTOM_0_PATTERN=06 CUSTOM_0_BITMASK=FF "
                    "CUSTOM_0_CLASS_OFFSET=38 CUSTOM_0_CLASS_BITMASK=FFFF "
                    "CUSTOM_0_CLASS_PATTERN_0=01BB "
                    "CUSTOM_0_CLASS_PATTERN_1=00 CUSTOM_0_CLASS_PATTERN_2=00 "
                    "CUSTOM_0_CLASS_PATTERN_3=00 "
                    "CUSTOM_0_CLASS_PATTERN_4=00 CUSTOM_0_CLASS_PATTERN_5=00 "
                    "CUSTOM_0_CLASS_PATTERN_6=00 "
                    "CUSTOM_0_CLASS_PATTERN_7=00 CUSTOM_0_CLASS_PRIO_0=6 CUSTOM_0_CLASS_PRIO_1=0 "
                    "CUSTOM_0_CLASS_PRIO_2=0 CUSTOM_0_CLASS_PRIO_3=0 CUSTOM_0_CLASS_PRIO_4=0 "
                    "CUSTOM_0_CLASS_PRIO_5=0 CUSTOM_0_CLASS_PRIO_6=0 CUSTOM_0_CLASS_PRIO_7=0 "
                    "CRITERION_0_OK=Ok CRITERION_1=None CRITERION_1_OK=Ok")
                .split(' '));
        Row("QoS rule 2: UDP port, empty field reads back as 0", kLocal, "", "QoS", "2", "", "",
            "0", Criterion(0, "Custom", Custom(0, kUdp, "0000", "6")) + off);
        Row("QoS rule 3: 802.1p", kLocal, "", "QoS", "3", "80", "", "-",
            Criterion(0, "8021p") + off);
        Row("QoS rule 4: TOS precedence", kLocal, "", "QoS", "4", "", tos, "-",
            Criterion(0, "Custom", Custom(0, kPrecedence, kPrecedences, tos)) + off);
        Row("QoS rule 5: DSCP precedence", kLocal, "CRITERION_0=8021p", "QoS", "5", "", dscp, "-",
            Criterion(0, "None") +
                Criterion(1, "Custom", Custom(1, kPrecedence, kPrecedences, dscp)));
        const QString port[] = {"1F90", "0035"}, shown[] = {"8080", "53"};
        for (int n = 0; n < 2; ++n) {
            const auto custom = [n](const QString& selector, const QString& value, const char* p) {
                return Criterion(n, "Custom", Custom(n, selector, value, p));
            };
            const QStringList requests[] = {
                custom(kProtocol, "11", "6"), custom(kProtocol, "06", "6"),
                custom(kUdp, port[n], "6"),   custom(kUdp, port[n], "1"),
                custom(kTcp, port[n], "6"),   custom(kTcp, port[n], "1"),
                Criterion(n, "8021p"),        Criterion(n, "None")};
            for (int preset = 0; preset < 8; ++preset) {
                QTest::addRow("preset %d on criterion %d", preset, n)
                    << (preset % 2 == 0 ? kLocal : kGarage)
                    << QString("CRITERION_0=Custom|CRITERION_1=Custom") << QString::number(n + 1)
                    << QString::number(preset) << QString() << QString()
                    << (preset < 2 || preset > 5 ? "-" : shown[n]) << requests[preset];
            }
        }
    }
    void sendAndRecognise() {
        Fixture f;
        const QString mac = Cell("mac"), rule = Cell("rule");
        const bool qos = rule == "QoS";
        const int index = Cell("index").toInt();
        SetParameters(f, mac, Parts(Cell("start")));
        OPEN_ADVANCED(f, mac);
        QComboBox* combo = Combo(qos ? "cboQoSRule" : qPrintable("cboRule" + rule));
        combo->setCurrentIndex(index);
        if (!qos) {
            Combo(rule == "1" ? "cboRule2" : "cboRule1")->setCurrentIndex(-1);
        }
        Apply({"txtQoSPort=" + Cell("port"), "txtPort1=8080", "txtPort2=53"});
        for (int k = 0; k < 8; ++k) {
            Text(qPrintable(QString("txtQoSMap%1").arg(k)))->setText(Parts(Cell("map")).value(k));
        }
        f.click(Adv(), qos ? "cmdQoSUpdate" : "cmdQoSAdvUpdate");
        QCOMPARE(f.readWorkFile("post.cfg"),
                 PostRequest(mac, "kaldor", Cell<QStringList>("request")));
        VerifyQuietlyBack(f);
        // The other criterion stays as the node had it.
        QVERIFY(qos ||
                Parameters(f, mac).value(rule == "1" ? "CRITERION_1" : "CRITERION_0") == "Custom");
        combo->setCurrentIndex(-1);  // only the node can bring the rule back now
        f.click(Adv(), "cmdRefresh");
        VerifyQuietlyBack(f);
        QCOMPARE(combo->currentIndex(), index);
        QCOMPARE(
            qos ? Shown("txtQoSPort", "lblQoSPort") : Shown("txtPort" + rule, "lblPort" + rule),
            Cell("shown"));
        QCOMPARE(MapShown(), qos && !Cell("map").isEmpty() ? Cell("map") : kNoMap);
        if (qos && index >= 4) {
            QCOMPARE(Control<QLabel>(qPrintable(QString("lblQoSPrec%1").arg(7)))->text(),
                     GetText(index == 4 ? "lblPrecTOS" : "lblPrecDSCP") + " 8");
        }
    }

    // Choosing a rule shows the fields it takes: the QoS rule empties them and
    // names the priority fields after the precedence it reads; a port preset
    // of the advanced panel keeps the port typed so far.
    void selectionDisplay_data() {
        Columns({"rule", "before", "after", "port", "map", "caption"});
        Row("port rule to TOS", "QoS", "1", "4", "-", "|||||||", "lblPrecTOS");
        Row("TOS to TCP port", "QoS", "4", "1", "", kNoMap, "");
        Row("rule 1, UDP high to UDP low", "1", "2", "3", "8080", kNoMap, "");
        Row("rule 2, 802.1p to TCP low", "2", "6", "5", "8080", kNoMap, "");
        Row("rule 1, TCP high to none", "1", "4", "7", "-", kNoMap, "");
    }
    void selectionDisplay() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        const QString rule = Cell("rule");
        const bool qos = rule == "QoS";
        QComboBox* combo = Combo(qos ? "cboQoSRule" : qPrintable("cboRule" + rule));
        const QString field = qos ? "txtQoSPort" : "txtPort" + rule;
        combo->setCurrentIndex(Cell("before").toInt());
        Text(qPrintable(field))->setText("8080");
        for (int k = 0; k < 8; ++k) {
            Text(qPrintable(QString("txtQoSMap%1").arg(k)))->setText("3");
        }
        combo->setCurrentIndex(Cell("after").toInt());
        QCOMPARE(Shown(field, qos ? "lblQoSPort" : "lblPort" + rule), Cell("port"));
        QCOMPARE(Text(qPrintable(field))->text(), Cell("port") == "-" ? "" : Cell("port"));
        QCOMPARE(MapShown(), Cell("map"));
        for (int k = 0; k < 8 && !Cell("caption").isEmpty(); ++k) {
            QCOMPARE(Control<QLabel>(qPrintable(QString("lblQoSPrec%1").arg(k)))->text(),
                     GetText(Cell("caption")) + " " + QString::number(k + 1));
        }
    }

    // Leaving a port or priority field keeps its number within range; leaving
    // the VLAN tag keeps tags 2 to 4094 in plain decimal and refuses anything
    // else: emptied, the focus kept, the button off.
    void leavingFields_data() {
        Columns({"fields", "typed", "shown"});
        const char* map =
            "txtQoSMap0|txtQoSMap1|txtQoSMap2|txtQoSMap3|txtQoSMap4|txtQoSMap5|"
            "txtQoSMap6|txtQoSMap7";
        Row("port above the range", "txtQoSPort", "70000", "65535");
        Row("port with letters", "txtQoSPort", "8080abc", "8080");
        Row("empty port", "txtQoSPort", "", "0");
        Row("rule ports above the range", "txtPort1|txtPort2", "65536", "65535");
        Row("priorities above 6", map, "7", "6");
        Row("negative priorities", map, "-1", "0");
        Row("lowest tag", "txtVlanTag", "2", "2");
        Row("highest tag with a leading zero", "txtVlanTag", "04094", "4094");
        Row("tag 1", "txtVlanTag", "1", "");
        Row("tag 4095", "txtVlanTag", "4095", "");
        Row("tag just below the lowest", "txtVlanTag", "1.9", "");
    }
    void leavingFields() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        QVERIFY(Pick("cboVlanConf", "Enabled"));
        for (const QString& name : Parts(Cell("fields"))) {
            QLineEdit* field = Text(qPrintable(name));
            field->setText(Cell("typed"));
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QCoreApplication::sendEvent(field, &out);
            QCOMPARE(field->text(), Cell("shown"));
        }
        const bool refused = Cell("shown").isEmpty();
        QCOMPARE(f.dialogs.describe(),
                 refused ? Resolved("[1|Kaldor Config Tool] {errRange}") : "");
        QCOMPARE(Enabled({"cmdUpVlan"}), refused ? "0" : "1");
        QCOMPARE(Adv()->focusWidget() == Text("txtVlanTag"), refused);
    }

    // A refused request is reported with the node's answer, each criterion of
    // the advanced send on its own; the window keeps what was chosen.
    void refusals() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        Combo("cboQoSRule")->setCurrentIndex(1);
        Combo("cboRule1")->setCurrentIndex(2);
        Combo("cboRule2")->setCurrentIndex(4);
        f.sim({"fault", kLocal, "refusePassword", "on"});
        f.click(Adv(), "cmdQoSAdvUpdate");
        QCOMPARE(f.dialogs.boxes.size(), 2);
        f.click(Adv(), "cmdQoSUpdate");
        const QString refused = QString("[1|%1] %2").arg(Session().errSaving, ResponseFirstLine(f));
        QCOMPARE(f.dialogs.describe(), QStringList(3, refused).join('\n'));
        QVERIFY(Adv()->isVisible() && Adv()->isEnabled() && !W().frmMessage->isVisible());
        QCOMPARE(Parameters(f, kLocal).value("CRITERION_0"), "None");
        QCOMPARE(Combo("cboRule2")->currentIndex(), 4);
    }

    // The import file is handed over whole (a file left from before is
    // replaced), the note shown and the file gone, whether or not the desktop
    // has a program for it.
    void tcpWindow_data() {
        QTest::addColumn<bool>("opens");
        QTest::newRow("registry editor") << true;
        QTest::newRow("no program for the file") << false;
    }
    void tcpWindow() {
        Fixture f;
        QVERIFY(f.start());
        f.writeWorkFile("tcpwindow.reg", QByteArray(600, 'x'));
        f.dialogs.documentOpens = Cell<bool>("opens");
        f.click(Adv(), "cmdTcpWindow");
        QCOMPARE(f.dialogs.openedDocuments,
                 QStringList{"Windows Registry Editor Version 5.00\r\n"
                             "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\"
                             "Parameters]\r\n\"TcpWindowSize\"=dword:00020000\r\n"
                             "\"GlobalMaxTcpWindowSize\"=dword:00020000\r\n"
                             "\"Tcp1323Opts\"=dword:00000003\r\n"});
        QCOMPARE(f.dialogs.describe(), Resolved("[4|Kaldor Config Tool] {msgTCP}"));
        QVERIFY(!QFile::exists(f.workFile("tcpwindow.reg")));
    }
};

QTEST_MAIN(QosVlanTest)
#include "test_qos_vlan.moc"
