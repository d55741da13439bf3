// The QoS, advanced QoS and VLAN panels of the advanced window and the TCP
// window file: the exact requests, the field rules, and every preset sent to a
// simulated node and recognised again after a refresh.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabBar>
#include <QtTest>

#include "advanced/QosRequests.h"
#include "app/Seams.h"
#include "lang/Catalogue.h"
#include "test_advanced_helpers.h"

using namespace advtest;

namespace {

const QString kPassword = QStringLiteral("kaldor");

// Each line of a request file ends with CR LF, the last one too.
QByteArray CrLfLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8() + "\r\n";
    }
    return bytes;
}

QByteArray PostTo(const QString& mac, const QStringList& settings) {
    return CrLfLines(QStringList{"POST " + mac, ".PASSWORD=" + kPassword} + settings);
}

// "<prefix>0=<values[0]>" up to "<prefix>7=<values[7]>".
QStringList Numbered(const QString& prefix, const QStringList& values) {
    QStringList lines;
    for (int k = 0; k < values.size(); ++k) {
        lines << prefix + QString::number(k) + "=" + values[k];
    }
    return lines;
}

// The custom fields of criterion n in the order a node takes them.
QStringList Custom(int n, const QStringList& selector, const QStringList& classValues,
                   const QStringList& priorities) {
    const QString p = QString("CUSTOM_%1_").arg(n);
    return QStringList{p + "OFFSET=" + selector[0], p + "PATTERN=" + selector[1],
                       p + "BITMASK=" + selector[2], p + "CLASS_OFFSET=" + selector[3],
                       p + "CLASS_BITMASK=" + selector[4]} +
           Numbered(p + "CLASS_PATTERN_", classValues) + Numbered(p + "CLASS_PRIO_", priorities);
}

QStringList FirstClass(const QString& value) {
    return QStringList{value} + QStringList(7, "00");
}

QStringList FirstPriority(const QString& value) {
    return QStringList{value} + QStringList(7, "0");
}

QStringList Criterion(int n, const QString& value, const QStringList& custom = {}) {
    const QString c = QString("CRITERION_%1").arg(n);
    return QStringList{c + "=" + value} + custom + QStringList{c + "_OK=Ok"};
}

const QStringList kUdpSelector{"27", "11", "FF", "40", "FFFF"};
const QStringList kTcpSelector{"27", "06", "FF", "38", "FFFF"};
const QStringList kProtocolSelector{"16", "0800", "FFFF", "27", "FF"};
const QStringList kPrecedenceSelector{"16", "0800", "FFFF", "19", "E0"};
const QStringList kPrecedences{"20", "40", "60", "80", "A0", "C0", "E0", "E0"};

QStringList MapTexts() {
    QStringList texts;
    for (int k = 0; k < 8; ++k) {
        texts << Adv()->txtQoSMap(k)->text();
    }
    return texts;
}

void SetMap(const QStringList& texts) {
    for (int k = 0; k < 8; ++k) {
        Adv()->txtQoSMap(k)->setText(texts.value(k));
    }
}

// The port field's text, or "-" while it is hidden with its label.
QString PortShown(const char* field, const char* label) {
    const bool hidden = Control(field)->isHidden();
    if (hidden != Control(label)->isHidden()) {
        return QStringLiteral("field and label disagree");
    }
    return hidden ? QStringLiteral("-") : Text(field)->text();
}

// The priority map joined by commas, or "-" while its fields and labels are hidden.
QString MapShown() {
    for (int k = 0; k < 8; ++k) {
        if (Adv()->txtQoSMap(k)->isHidden() != Adv()->lblQoSPrec(k)->isHidden()) {
            return QStringLiteral("field and label disagree");
        }
    }
    return Adv()->txtQoSMap(0)->isHidden() ? QStringLiteral("-") : MapTexts().join(',');
}

// Brings a panel to the front through its tab and makes the window the
// active one, so that the focus can move between its fields.
void ShowPanel(int tab) {
    Control<QTabBar>("tabConfig")->setCurrentIndex(tab - 1);
    Adv()->show();
    QApplication::setActiveWindow(Adv());
    QVERIFY(QTest::qWaitForWindowActive(Adv()));
}

// Types into a field as the user does and leaves it for another control.
void TypeAndLeave(QLineEdit* field, const QString& typed, QWidget* next) {
    field->setFocus(Qt::MouseFocusReason);
    field->clear();
    QTest::keyClicks(field, typed);
    next->setFocus(Qt::TabFocusReason);
}

void VerifyBackInWindow() {
    QVERIFY(Adv()->isVisible());
    QVERIFY(Adv()->isEnabled());
    QVERIFY(!W().frmMessage->isVisible());
}

void RequireNoBoxes(const Fixture& f) {
    QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
}

void VerifyRefusals(const Fixture& f, int count) {
    QCOMPARE(f.dialogs.boxes.size(), count);
    for (const DialogRecorder::Box& box : f.dialogs.boxes) {
        // The simulated node answers a wrong password with code 2.
        QVERIFY2(box.text.startsWith('2'), qPrintable(box.text));
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QCOMPARE(box.title, Session().errSaving);
    }
}

const QByteArray kTcpWindowFile =
    "Windows Registry Editor Version 5.00\r\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n"
    "\"TcpWindowSize\"=dword:00020000\r\n"
    "\"GlobalMaxTcpWindowSize\"=dword:00020000\r\n"
    "\"Tcp1323Opts\"=dword:00000003\r\n";

}  // namespace

class QosVlanTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void portPattern_data() {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("80") << "80"
                            << "0050";
        QTest::newRow("443") << "443"
                             << "01BB";
        QTest::newRow("8080") << "8080"
                              << "1F90";
        QTest::newRow("highest") << "65535"
                                 << "FFFF";
        QTest::newRow("empty") << ""
                               << "0000";
        QTest::newRow("letters only") << "http"
                                      << "0000";
        QTest::newRow("digits then letters") << "12ab"
                                             << "000C";
        QTest::newRow("longer, not cut") << "100000"
                                         << "186A0";
        QTest::newRow("leading blanks") << "  53"
                                        << "0035";
    }
    void portPattern() {
        QFETCH(QString, port);
        QFETCH(QString, pattern);
        QCOMPARE(PortPattern(port), pattern);
    }

    // The QoS panel's request for each rule, from the port and the priority
    // map as they stand.
    void ruleRequest_data() {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("map");
        QTest::addColumn<QStringList>("lines");
        const QStringList map{"6", "5", "4", "3", "2", "1", "0", "0"};
        const QStringList off = Criterion(1, "None");
        QTest::newRow("0: nothing classified")
            << 0 << "80" << map << Criterion(0, "None") + Criterion(1, "None");
        // Written out whole once: every line in the order the node expects.
        const QStringList tcp443 =
            QString(
                "CRITERION_0=Custom CUSTOM_0_OFFSET=27 CUSTOM_0_PATTERN=06 "
                "CUSTOM_0_BITMASK=FF CUSTOM_0_CLASS_OFFSET=38 CUSTOM_0_CLASS_BITMASK=FFFF "
                "CUSTOM_0_CLASS_PATTERN_0=01BB CUSTOM_0_CLASS_PATTERN_1=00 "
                "CUSTOM_0_CLASS_PATTERN_2=00 CUSTOM_0_CLASS_PATTERN_3=00 "
                "CUSTOM_0_CLASS_PATTERN_4=00 CUSTOM_0_CLASS_PATTERN_5=00 "
                "CUSTOM_0_CLASS_PATTERN_6=00 CUSTOM_0_CLASS_PATTERN_7=00 "
                "CUSTOM_0_CLASS_PRIO_0=6 CUSTOM_0_CLASS_PRIO_1=0 CUSTOM_0_CLASS_PRIO_2=0 "
                "CUSTOM_0_CLASS_PRIO_3=0 CUSTOM_0_CLASS_PRIO_4=0 CUSTOM_0_CLASS_PRIO_5=0 "
                "CUSTOM_0_CLASS_PRIO_6=0 CUSTOM_0_CLASS_PRIO_7=0 CRITERION_0_OK=Ok "
                "CRITERION_1=None CRITERION_1_OK=Ok")
                .split(' ');
        QTest::newRow("1: TCP port 443") << 1 << "443" << map << tcp443;
        QTest::newRow("2: UDP port, empty field")
            << 2 << "" << map
            << Criterion(0, "Custom",
                         Custom(0, kUdpSelector, FirstClass("0000"), FirstPriority("6"))) +
                   off;
        QTest::newRow("2: UDP port above the range, as typed")
            << 2 << "70000" << map
            << Criterion(0, "Custom",
                         Custom(0, kUdpSelector, FirstClass("11170"), FirstPriority("6"))) +
                   off;
        QTest::newRow("3: 802.1p") << 3 << "80" << map << Criterion(0, "8021p") + off;
        QTest::newRow("4: TOS precedence")
            << 4 << "80" << map
            << Criterion(0, "Custom", Custom(0, kPrecedenceSelector, kPrecedences, map)) + off;
        QTest::newRow("4: priorities as typed, empty ones too")
            << 4 << "" << QStringList{"1", "", "9", "x", "0", "0", "2.5", "6"}
            << Criterion(0, "Custom",
                         Custom(0, kPrecedenceSelector, kPrecedences,
                                {"1", "", "9", "x", "0", "0", "2.5", "6"})) +
                   off;
        QTest::newRow("5: DSCP precedence on criterion 1")
            << 5 << "80" << map
            << Criterion(0, "None") +
                   Criterion(1, "Custom", Custom(1, kPrecedenceSelector, kPrecedences, map));
        QTest::newRow("no selection") << -1 << "80" << map << QStringList();
    }
    void ruleRequest() {
        QFETCH(int, rule);
        QFETCH(QString, port);
        QFETCH(QStringList, map);
        QFETCH(QStringList, lines);
        Fixture f;
        QVERIFY(f.start());
        Session().SelectedMac = kGarage;
        Session().NodePassword = kPassword;
        Text("txtQoSPort")->setText(port);
        SetMap(map);
        QVERIFY(WriteQoSRuleRequest(rule));
        QCOMPARE(f.readWorkFile("post.cfg"), PostTo(kGarage, lines));
        RequireNoBoxes(f);
    }

    // One criterion of the advanced panel per request, its port from the
    // field of its own rule.
    void criterionRequest_data() {
        QTest::addColumn<int>("preset");
        QTest::addColumn<int>("criterion");
        QTest::addColumn<QStringList>("lines");
        const QString port[] = {"1F90", "0035"};  // 8080 in txtPort1, 53 in txtPort2
        for (int n = 0; n < 2; ++n) {
            QTest::addRow("0: all UDP on criterion %d", n)
                << 0 << n
                << Criterion(n, "Custom",
                             Custom(n, kProtocolSelector, FirstClass("11"), FirstPriority("6")));
            QTest::addRow("1: all TCP on criterion %d", n)
                << 1 << n
                << Criterion(n, "Custom",
                             Custom(n, kProtocolSelector, FirstClass("06"), FirstPriority("6")));
            QTest::addRow("2: UDP port high on criterion %d", n)
                << 2 << n
                << Criterion(n, "Custom",
                             Custom(n, kUdpSelector, FirstClass(port[n]), FirstPriority("6")));
            QTest::addRow("3: UDP port low on criterion %d", n)
                << 3 << n
                << Criterion(n, "Custom",
                             Custom(n, kUdpSelector, FirstClass(port[n]), FirstPriority("1")));
            QTest::addRow("4: TCP port high on criterion %d", n)
                << 4 << n
                << Criterion(n, "Custom",
                             Custom(n, kTcpSelector, FirstClass(port[n]), FirstPriority("6")));
            QTest::addRow("5: TCP port low on criterion %d", n)
                << 5 << n
                << Criterion(n, "Custom",
                             Custom(n, kTcpSelector, FirstClass(port[n]), FirstPriority("1")));
            QTest::addRow("6: 802.1p on criterion %d", n) << 6 << n << Criterion(n, "8021p");
            QTest::addRow("7: none on criterion %d", n) << 7 << n << Criterion(n, "None");
            QTest::addRow("8: no such preset on criterion %d", n) << 8 << n << QStringList();
        }
    }
    void criterionRequest() {
        QFETCH(int, preset);
        QFETCH(int, criterion);
        QFETCH(QStringList, lines);
        Fixture f;
        QVERIFY(f.start());
        Session().SelectedMac = kOffice;
        Session().NodePassword = kPassword;
        Text("txtPort1")->setText("8080");
        Text("txtPort2")->setText("53");
        QVERIFY(WriteQoSCriterionRequest(preset, criterion));
        QCOMPARE(f.readWorkFile("post.cfg"), PostTo(kOffice, lines));
    }

    // Choosing a rule shows the fields it takes, empty, and names the
    // priority fields after the precedence the rule reads.
    void ruleDisplay_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("map");
        QTest::addColumn<QString>("caption");
        const QString empty = ",,,,,,,";
        QTest::newRow("port rule to TOS") << 1 << 4 << "-" << empty << "lblPrecTOS";
        QTest::newRow("TOS to DSCP") << 4 << 5 << "-" << empty << "lblPrecDSCP";
        QTest::newRow("DSCP to TOS") << 5 << 4 << "-" << empty << "lblPrecTOS";
        QTest::newRow("TOS to TCP port") << 4 << 1 << ""
                                         << "-"
                                         << "";
        QTest::newRow("TCP to UDP port") << 1 << 2 << ""
                                         << "-"
                                         << "";
        QTest::newRow("UDP port to 802.1p") << 2 << 3 << "-"
                                            << "-"
                                            << "";
        QTest::newRow("DSCP to none") << 5 << 0 << "-"
                                      << "-"
                                      << "";
        QTest::newRow("TOS to no selection") << 4 << -1 << "-"
                                             << "-"
                                             << "";
    }
    void ruleDisplay() {
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(QString, port);
        QFETCH(QString, map);
        QFETCH(QString, caption);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        QComboBox* rule = Combo("cboQoSRule");
        rule->setCurrentIndex(before);
        Text("txtQoSPort")->setText("8080");
        SetMap(QStringList(8, "3"));
        rule->setCurrentIndex(after);
        QCOMPARE(PortShown("txtQoSPort", "lblQoSPort"), port);
        QCOMPARE(MapShown(), map);
        QCOMPARE(Text("txtQoSPort")->text(), "");
        QCOMPARE(MapTexts(), QStringList(8, ""));
        if (!caption.isEmpty()) {
            for (int k = 0; k < 8; ++k) {
                QCOMPARE(Adv()->lblQoSPrec(k)->text(),
                         GetText(caption) + " " + QString::number(k + 1));
            }
        }
    }

    // A port preset of the advanced panel keeps the port typed so far; the
    // others hide and empty it.
    void presetDisplay_data() {
        QTest::addColumn<QByteArray>("rule");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("port");
        for (const char* rule : {"1", "2"}) {
            const QByteArray r(rule);
            QTest::addRow("UDP high to UDP low, rule %s", rule) << r << 2 << 3 << "8080";
            QTest::addRow("802.1p to TCP low, rule %s", rule) << r << 6 << 5 << "8080";
            QTest::addRow("all UDP to TCP high, rule %s", rule) << r << 0 << 4 << "8080";
            QTest::addRow("TCP high to none, rule %s", rule) << r << 4 << 7 << "-";
            QTest::addRow("UDP low to all TCP, rule %s", rule) << r << 3 << 1 << "-";
            QTest::addRow("TCP low to no selection, rule %s", rule) << r << 5 << -1 << "-";
        }
    }
    void presetDisplay() {
        QFETCH(QByteArray, rule);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(QString, port);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        const QByteArray field = "txtPort" + rule;
        Combo(("cboRule" + rule).constData())->setCurrentIndex(before);
        Text(field.constData())->setText("8080");
        Combo(("cboRule" + rule).constData())->setCurrentIndex(after);
        QCOMPARE(PortShown(field.constData(), ("lblPort" + rule).constData()), port);
        QCOMPARE(Text(field.constData())->text(), port == "-" ? "" : port);
    }

    // Leaving a port or priority field keeps its number within range.
    void clamping_data() {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        const QStringList port{"txtQoSPort"};
        const QStringList rulePorts{"txtPort1", "txtPort2"};
        QStringList map;
        for (int k = 0; k < 8; ++k) {
            map << QString("txtQoSMap%1").arg(k);
        }
        QTest::newRow("port above the range") << port << "70000"
                                              << "65535";
        QTest::newRow("negative port") << port << "-5"
                                       << "0";
        QTest::newRow("port with letters") << port << "8080abc"
                                           << "8080";
        QTest::newRow("letters only") << port << "abc"
                                      << "0";
        QTest::newRow("fraction kept") << port << "2.5"
                                       << "2.5";
        QTest::newRow("empty port") << port << ""
                                    << "0";
        QTest::newRow("rule ports above the range") << rulePorts << "65536"
                                                    << "65535";
        QTest::newRow("rule ports with a leading zero") << rulePorts << "0443"
                                                        << "443";
        QTest::newRow("priorities above 6") << map << "7"
                                            << "6";
        QTest::newRow("negative priorities") << map << "-1"
                                             << "0";
        QTest::newRow("priority with letters") << map.mid(7) << "5x"
                                               << "5";
        QTest::newRow("empty priority") << map.mid(5, 1) << ""
                                        << "0";
        QTest::newRow("highest priority") << map.mid(0, 1) << "6"
                                          << "6";
    }
    void clamping() {
        QFETCH(QStringList, fields);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        const bool advanced = fields[0].startsWith("txtPort");
        Combo("cboQoSRule")->setCurrentIndex(fields[0].startsWith("txtQoSMap") ? 4 : 1);
        Combo("cboRule1")->setCurrentIndex(2);
        Combo("cboRule2")->setCurrentIndex(2);
        ShowPanel(advanced ? App().tabs.QoSAdvTab : App().tabs.QoSTab);
        QWidget* next = Control(advanced ? "cmdQoSAdvUpdate" : "cmdQoSUpdate");
        for (const QString& field : fields) {
            TypeAndLeave(Text(field.toLatin1().constData()), typed, next);
        }
        for (const QString& field : fields) {
            QCOMPARE(Text(field.toLatin1().constData())->text(), shown);
        }
    }

    // Each rule of the QoS panel reaches the node and is recognised again,
    // with its port or priority map, when the window is refreshed.
    void ruleRoundTrip_data() {
        QTest::addColumn<QStringList>("start");
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("map");
        QTest::addColumn<QString>("portShown");
        QTest::addColumn<QString>("mapShown");
        QTest::addColumn<QString>("caption");
        const QStringList none;
        const QStringList tagged{"CRITERION_0=8021p"};
        QTest::newRow("0: nothing classified") << tagged << 0 << "" << none << "-"
                                               << "-"
                                               << "";
        QTest::newRow("1: TCP port 443") << none << 1 << "443" << none << "443"
                                         << "-"
                                         << "";
        QTest::newRow("1: TCP port 65535") << none << 1 << "65535" << none << "65535"
                                           << "-"
                                           << "";
        QTest::newRow("2: UDP port 53") << none << 2 << "53" << none << "53"
                                        << "-"
                                        << "";
        QTest::newRow("2: UDP, empty port reads back as 0") << none << 2 << "" << none << "0"
                                                            << "-"
                                                            << "";
        QTest::newRow("3: 802.1p") << none << 3 << "" << none << "-"
                                   << "-"
                                   << "";
        QTest::newRow("4: TOS precedence")
            << none << 4 << "" << QStringList{"6", "5", "4", "3", "2", "1", "0", "0"} << "-"
            << "6,5,4,3,2,1,0,0"
            << "lblPrecTOS";
        QTest::newRow("5: DSCP precedence")
            << tagged << 5 << "" << QStringList{"1", "2", "3", "4", "5", "6", "6", "6"} << "-"
            << "1,2,3,4,5,6,6,6"
            << "lblPrecDSCP";
    }
    void ruleRoundTrip() {
        QFETCH(QStringList, start);
        QFETCH(int, rule);
        QFETCH(QString, port);
        QFETCH(QStringList, map);
        QFETCH(QString, portShown);
        QFETCH(QString, mapShown);
        QFETCH(QString, caption);
        Fixture f;
        SetParameters(f, kLocal, start);
        OPEN_ADVANCED(f, kLocal);
        Combo("cboQoSRule")->setCurrentIndex(rule);
        Text("txtQoSPort")->setText(port);
        SetMap(map);
        f.click(Adv(), "cmdQoSUpdate");
        RequireNoBoxes(f);
        VerifyBackInWindow();
        // Only the node can bring the rule back now.
        Combo("cboQoSRule")->setCurrentIndex(rule == 3 ? 0 : 3);
        f.click(Adv(), "cmdRefresh");
        RequireNoBoxes(f);
        QCOMPARE(Combo("cboQoSRule")->currentIndex(), rule);
        QCOMPARE(PortShown("txtQoSPort", "lblQoSPort"), portShown);
        QCOMPARE(MapShown(), mapShown);
        if (!caption.isEmpty()) {
            QCOMPARE(Adv()->lblQoSPrec(7)->text(), GetText(caption) + " 8");
        }
    }

    // Every preset on both criteria reaches the node in its own request and
    // is recognised again, with its port, when the window is refreshed.
    void presetRoundTrip_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<int>("rule1");
        QTest::addColumn<int>("rule2");
        QTest::addColumn<QString>("port1");
        QTest::addColumn<QString>("port2");
        const struct {
            int rule1;
            int rule2;
        } pairs[] = {{0, 7}, {1, 6}, {2, 5}, {3, 4}, {4, 3}, {5, 2}, {6, 1}, {7, 0}};
        for (const auto& p : pairs) {
            const auto shown = [](int preset, const char* port) {
                return preset >= 2 && preset <= 5 ? QString(port) : QString("-");
            };
            const QString mac = p.rule1 % 2 == 0 ? kLocal : kGarage;
            QTest::addRow("rule 1 preset %d, rule 2 preset %d", p.rule1, p.rule2)
                << mac << p.rule1 << p.rule2 << shown(p.rule1, "8080") << shown(p.rule2, "53");
        }
    }
    void presetRoundTrip() {
        QFETCH(QString, mac);
        QFETCH(int, rule1);
        QFETCH(int, rule2);
        QFETCH(QString, port1);
        QFETCH(QString, port2);
        Fixture f;
        OPEN_ADVANCED(f, mac);
        Combo("cboRule1")->setCurrentIndex(rule1);
        Combo("cboRule2")->setCurrentIndex(rule2);
        Text("txtPort1")->setText(port1 == "-" ? "" : port1);
        Text("txtPort2")->setText(port2 == "-" ? "" : port2);
        f.click(Adv(), "cmdQoSAdvUpdate");
        RequireNoBoxes(f);
        VerifyBackInWindow();
        // Each criterion went in a request of its own: the last one holds
        // criterion 1 alone.
        const QByteArray last = f.readWorkFile("post.cfg");
        QVERIFY2(last.contains("CRITERION_1_OK=Ok\r\n") && !last.contains("CRITERION_0"),
                 last.constData());
        Combo("cboRule1")->setCurrentIndex(rule1 == 6 ? 7 : 6);
        Combo("cboRule2")->setCurrentIndex(rule2 == 6 ? 7 : 6);
        f.click(Adv(), "cmdRefresh");
        RequireNoBoxes(f);
        QCOMPARE(Combo("cboRule1")->currentIndex(), rule1);
        QCOMPARE(Combo("cboRule2")->currentIndex(), rule2);
        QCOMPARE(PortShown("txtPort1", "lblPort1"), port1);
        QCOMPARE(PortShown("txtPort2", "lblPort2"), port2);
    }

    // A rule without a selection leaves its criterion as the node has it.
    void presetWithoutSelection_data() {
        QTest::addColumn<int>("rule1");
        QTest::addColumn<int>("rule2");
        QTest::addColumn<QString>("criterion0");
        QTest::addColumn<QString>("criterion1");
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("rule 1 without selection")
            << -1 << 6 << "Custom"
            << "8021p" << PostTo(kLocal, Criterion(1, "8021p"));
        QTest::newRow("rule 2 without selection")
            << 7 << -1 << "None"
            << "Custom" << PostTo(kLocal, Criterion(0, "None"));
        QTest::newRow("neither selected") << -1 << -1 << "Custom"
                                          << "Custom" << QByteArray();
    }
    void presetWithoutSelection() {
        QFETCH(int, rule1);
        QFETCH(int, rule2);
        QFETCH(QString, criterion0);
        QFETCH(QString, criterion1);
        QFETCH(QByteArray, request);
        Fixture f;
        SetParameters(f, kLocal, {"CRITERION_0=Custom", "CRITERION_1=Custom"});
        OPEN_ADVANCED(f, kLocal);
        Combo("cboRule1")->setCurrentIndex(rule1);
        Combo("cboRule2")->setCurrentIndex(rule2);
        f.click(Adv(), "cmdQoSAdvUpdate");
        RequireNoBoxes(f);
        VerifyBackInWindow();
        QCOMPARE(f.readWorkFile("post.cfg"), request);
        QCOMPARE(Parameters(f, kLocal).value("CRITERION_0"), criterion0);
        QCOMPARE(Parameters(f, kLocal).value("CRITERION_1"), criterion1);
    }

    // A refused request is reported with the node's answer; the advanced
    // send reports each criterion on its own.
    void refusals_data() {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("boxes");
        QTest::newRow("QoS rule") << QByteArray("cmdQoSUpdate") << 1;
        QTest::newRow("advanced rules") << QByteArray("cmdQoSAdvUpdate") << 2;
        QTest::newRow("VLAN") << QByteArray("cmdUpVlan") << 1;
    }
    void refusals() {
        QFETCH(QByteArray, button);
        QFETCH(int, boxes);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        Combo("cboQoSRule")->setCurrentIndex(1);
        Text("txtQoSPort")->setText("80");
        Combo("cboRule1")->setCurrentIndex(2);
        Combo("cboRule2")->setCurrentIndex(4);
        QVERIFY(Pick("cboVlanConf", "Enabled"));
        Session().NodePassword = "wrong";
        f.click(Adv(), button.constData());
        VerifyRefusals(f, boxes);
        VerifyBackInWindow();
        const kaldorsim::Parameters params = Parameters(f, kLocal);
        QCOMPARE(params.value("CRITERION_0"), "None");
        QCOMPARE(params.value("KALDOR_VLAN_CONFIG"), "Disabled");
        QCOMPARE(Combo("cboVlanConf")->currentText(), "Enabled");
        QCOMPARE(Combo("cboRule2")->currentIndex(), 4);
    }

    // Tags 2 to 4094 are kept in plain decimal when the box is left; anything
    // else is refused, emptied and the box keeps the focus.
    void vlanTagRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("refused");
        QTest::newRow("lowest") << "2"
                                << "2" << false;
        QTest::newRow("highest") << "4094"
                                 << "4094" << false;
        QTest::newRow("leading zero") << "0100"
                                      << "100" << false;
        QTest::newRow("trailing letters") << "12ab"
                                          << "12" << false;
        QTest::newRow("leading blanks") << "  7"
                                        << "7" << false;
        QTest::newRow("one") << "1"
                             << "" << true;
        QTest::newRow("zero") << "0"
                              << "" << true;
        QTest::newRow("4095") << "4095"
                              << "" << true;
        QTest::newRow("negative") << "-5"
                                  << "" << true;
        QTest::newRow("empty") << ""
                               << "" << true;
        QTest::newRow("letters") << "vlan"
                                 << "" << true;
        QTest::newRow("just below lowest") << "1.9"
                                           << "" << true;
        QTest::newRow("fraction kept") << "2.5"
                                       << "2.5" << false;
    }
    void vlanTagRange() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, refused);
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        QVERIFY(Pick("cboVlanConf", "Enabled"));
        ShowPanel(App().tabs.VlanTab);
        QLineEdit* tag = Text("txtVlanTag");
        TypeAndLeave(tag, typed, Combo("cboVlanPrio"));
        QCOMPARE(tag->text(), shown);
        QCOMPARE(Control("cmdUpVlan")->isEnabled(), !refused);
        if (!refused) {
            RequireNoBoxes(f);
            return;
        }
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, GetText("errRange"));
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.dialogs.boxes[0].title, kAppTitle);
        QVERIFY(tag->hasFocus());
    }

    // The mode decides whether tag and priority can be edited; the button
    // follows the mode and the tag's validity.
    void vlanControls_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("changePriority");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<bool>("button");
        QTest::newRow("enabled, valid tag") << "100"
                                            << "Enabled" << false << true << true;
        QTest::newRow("enabled, tag 1") << "1"
                                        << "Enabled" << false << true << false;
        QTest::newRow("enabled, tag 1, priority changed") << "1"
                                                          << "Enabled" << true << true << false;
        QTest::newRow("enabled, tag 4094, priority changed") << "4094"
                                                             << "Enabled" << true << true << true;
        QTest::newRow("enabled, tag 4095") << "4095"
                                           << "Enabled" << false << true << false;
        QTest::newRow("enabled, empty tag") << ""
                                            << "Enabled" << false << true << false;
        QTest::newRow("disabled, tag 1") << "1"
                                         << "Disabled" << false << false << true;
        QTest::newRow("disabled, valid tag") << "100"
                                             << "Disabled" << false << false << true;
        QTest::newRow("unknown mode") << "100"
                                      << "Tagged" << false << false << false;
    }
    void vlanControls() {
        QFETCH(QString, tag);
        QFETCH(QString, mode);
        QFETCH(bool, changePriority);
        QFETCH(bool, editable);
        QFETCH(bool, button);
        Fixture f;
        SetParameters(f, kLocal, {"KALDOR_VLAN_CONFIG_OPTIONS='Disabled','Enabled','Tagged'"});
        OPEN_ADVANCED(f, kLocal);
        QVERIFY(Pick("cboVlanConf", "Enabled"));
        Text("txtVlanTag")->setText(tag);
        QVERIFY(Pick("cboVlanConf", mode));
        if (changePriority) {
            QVERIFY(Pick("cboVlanPrio", "6"));
        }
        QCOMPARE(Control("txtVlanTag")->isEnabled(), editable);
        QCOMPARE(Control("cboVlanPrio")->isEnabled(), editable);
        QCOMPARE(Control("cmdUpVlan")->isEnabled(), button);
    }

    // The panel's request, what the node keeps of it, and what a refresh
    // shows again.
    void vlanRoundTrip_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("tag");
        QTest::addColumn<QString>("priority");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("keptTag");
        QTest::addColumn<QString>("keptPriority");
        QTest::newRow("enabled, highest tag")
            << "Enabled"
            << "4094"
            << "5"
            << QStringList{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=4094",
                           "KALDOR_VLAN_PRIO=5", "KALDOR_VLAN_OK=ok"}
            << "4094"
            << "5";
        QTest::newRow("enabled, lowest tag")
            << "Enabled"
            << "2"
            << "7"
            << QStringList{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=2", "KALDOR_VLAN_PRIO=7",
                           "KALDOR_VLAN_OK=ok"}
            << "2"
            << "7";
        QTest::newRow("disabled: tag but no priority")
            << "Disabled"
            << "300"
            << "3"
            << QStringList{"KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_TAG=300",
                           "KALDOR_VLAN_OK=ok"}
            << "300"
            << "0";
        QTest::newRow("disabled, empty tag: the node keeps its own")
            << "Disabled"
            << ""
            << "3"
            << QStringList{"KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_TAG=", "KALDOR_VLAN_OK=ok"}
            << "100"
            << "0";
    }
    void vlanRoundTrip() {
        QFETCH(QString, mode);
        QFETCH(QString, tag);
        QFETCH(QString, priority);
        QFETCH(QStringList, lines);
        QFETCH(QString, keptTag);
        QFETCH(QString, keptPriority);
        Fixture f;
        OPEN_ADVANCED(f, kGarage);
        QVERIFY(Pick("cboVlanConf", "Enabled"));
        Text("txtVlanTag")->setText(tag);
        QVERIFY(Pick("cboVlanPrio", priority));
        QVERIFY(Pick("cboVlanConf", mode));
        f.click(Adv(), "cmdUpVlan");
        RequireNoBoxes(f);
        VerifyBackInWindow();
        QCOMPARE(f.readWorkFile("post.cfg"), PostTo(kGarage, lines));
        const kaldorsim::Parameters params = Parameters(f, kGarage);
        QCOMPARE(params.value("KALDOR_VLAN_CONFIG"), mode);
        QCOMPARE(params.value("KALDOR_VLAN_TAG"), keptTag);
        QCOMPARE(params.value("KALDOR_VLAN_PRIO"), keptPriority);
        Text("txtVlanTag")->setText("999");
        QVERIFY(Pick("cboVlanPrio", "1"));
        f.click(Adv(), "cmdRefresh");
        RequireNoBoxes(f);
        QCOMPARE(Combo("cboVlanConf")->currentText(), mode);
        QCOMPARE(Text("txtVlanTag")->text(), keptTag);
        QCOMPARE(Combo("cboVlanPrio")->currentText(), keptPriority);
        const bool tagging = mode == "Enabled";
        QCOMPARE(Control("txtVlanTag")->isEnabled(), tagging);
        QCOMPARE(Control("cmdUpVlan")->isEnabled(), tagging);
    }

    // The import file is handed over whole, the note shown, the file gone,
    // whether or not the desktop has a program for it.
    void tcpWindow_data() {
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QByteArray>("old");
        QTest::newRow("registry editor") << true << QByteArray();
        QTest::newRow("no program for the file") << false << QByteArray();
        QTest::newRow("older, longer file replaced") << true << QByteArray(600, 'x') + "\r\n\r\n";
    }
    void tcpWindow() {
        QFETCH(bool, opens);
        QFETCH(QByteArray, old);
        Fixture f;
        QVERIFY(f.start());
        if (!old.isEmpty()) {
            f.writeWorkFile("tcpwindow.reg", old);
        }
        f.dialogs.documentOpens = opens;
        f.click(Adv(), "cmdTcpWindow");
        QCOMPARE(f.dialogs.openedDocuments.size(), 1);
        QCOMPARE(f.dialogs.openedDocuments[0].toUtf8(), kTcpWindowFile);
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, GetText("msgTCP"));
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::NoIcon);
        QCOMPARE(f.dialogs.boxes[0].title, kAppTitle);
        QCOMPARE(f.dialogs.boxes[0].buttons, MsgButtons::Ok);
        QVERIFY(!QFile::exists(f.workFile("tcpwindow.reg")));
    }

    // A file that cannot be written is reported; nothing is opened.
    void tcpWindowUnwritable() {
        Fixture f;
        QVERIFY(f.start());
        QVERIFY(QDir(f.workDir()).mkdir("tcpwindow.reg"));
        f.click(Adv(), "cmdTcpWindow");
        QVERIFY(f.dialogs.openedDocuments.isEmpty());
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY2(f.dialogs.boxes[0].text.contains("tcpwindow.reg"),
                 qPrintable(f.dialogs.boxes[0].text));
    }
};

QTEST_MAIN(QosVlanTest)
#include "test_qos_vlan.moc"
