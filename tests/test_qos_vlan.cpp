// The QoS and advanced QoS panels, the fields that keep their numbers in range
// and the TCP window file: the exact requests, the field rules, and every QoS
// setting sent to a simulated node and recognised again after a refresh.
#include <QFocusEvent>

#include "advanced/TcpWindow.h"
#include "test_advanced_helpers.h"

namespace {

// Criterion n's custom lines in the order a node takes them: the selector
// "offset, pattern, mask, class offset, class mask", the eight class values
// and the eight priorities (those not given are "00" and "0").
L Custom(int n, const L& selector, const L& classes, const L& prios) {
    const QString c = QString("CRITERION_%1").arg(n), p = QString("CUSTOM_%1_").arg(n);
    L lines{c + "=Custom"};
    for (const char* key : {"OFFSET=", "PATTERN=", "BITMASK=", "CLASS_OFFSET=", "CLASS_BITMASK="})
        lines << p + key + selector[lines.size() - 1];
    for (int k = 0; k < 16; ++k)
        lines << p + (k < 8 ? QString("CLASS_PATTERN_%1=").arg(k) + classes.value(k, "00")
                            : QString("CLASS_PRIO_%1=").arg(k - 8) + prios.value(k - 8, "0"));
    return lines << c + "_OK=Ok";
}

L Plain(int n, const QString& value) {
    return {QString("CRITERION_%1=%2").arg(n).arg(value), QString("CRITERION_%1_OK=Ok").arg(n)};
}

const L kUdp{"27", "11", "FF", "40", "FFFF"}, kTcp{"27", "06", "FF", "38", "FFFF"},
    kProtocol{"16", "0800", "FFFF", "27", "FF"}, kPrecedence{"16", "0800", "FFFF", "19", "E0"},
    kPrecedences{"20", "40", "60", "80", "A0", "C0", "E0", "E0"};

}  // namespace

class QosVlanTest : public QObject {
    Q_OBJECT

private slots:
    // Choosing a rule of the QoS panel (rule 0) empties its fields; an
    // advanced preset keeps the port typed when it takes one. Each rule and
    // each preset of advanced rule 1 or 2 goes out as the node expects it,
    // the port as four hexadecimal digits at least, an advanced criterion in
    // a request of its own, and is recognised again after a refresh with its
    // port, priorities and their captions.
    // clang-format off
    void sendAndRecognise_data() {
        // "shown": the port afterwards, "" while hidden
        // "caption": of the priorities, "" while hidden
        Cols<QString, int, int, QString, L, L, QString, QString>(
            {"mac", "rule", "index", "port", "map", "request", "shown", "caption"});
        const L tos{"6", "5", "4", "3", "2", "1", "0", "0"}, dscp{"1", "2", "3", "4", "5", "6", "6", "6"};
        const L off = Plain(1, "None");
        Row("rule 0: nothing classified", kLocal, 0, 0, "", L(), Plain(0, "None") + off, "", "");
        Row("rule 1: TCP port 443", kLocal, 0, 1, "443", L(), Custom(0, kTcp, {"01BB"}, {"6"}) + off, "443", "");
        Row("rule 1: digits then letters", kGarage, 0, 1, "12ab", L(), Custom(0, kTcp, {"000C"}, {"6"}) + off, "12",
            "");
        Row("rule 2: empty port", kLocal, 0, 2, "", L(), Custom(0, kUdp, {"0000"}, {"6"}) + off, "0", "");
        Row("rule 3: 802.1p", kLocal, 0, 3, "", L(), Plain(0, "8021p") + off, "", "");
        Row("rule 4: TOS precedence", kLocal, 0, 4, "", tos, Custom(0, kPrecedence, kPrecedences, tos) + off, "",
            "TOS precedence");
        Row("rule 5: DSCP precedence", kLocal, 0, 5, "", dscp, Plain(0, "None") + Custom(1, kPrecedence, kPrecedences,
            dscp), "", "DSCP precedence");
        const QString ports[] = {"8080", "53"}, patterns[] = {"1F90", "0035"};
        for (int n = 0; n < 2; ++n) {
            const L requests[] = {Custom(n, kProtocol, {"11"}, {"6"}), Custom(n, kProtocol, {"06"}, {"6"}),
                Custom(n, kUdp, {patterns[n]}, {"6"}), Custom(n, kUdp, {patterns[n]}, {"1"}), Custom(n, kTcp,
                {patterns[n]}, {"6"}), Custom(n, kTcp, {patterns[n]}, {"1"}), Plain(n, "8021p"), Plain(n, "None")};
            for (int preset = 0; preset < 8; ++preset)
                QTest::addRow("preset %d on rule %d", preset, n + 1) << (preset % 2 ? kGarage : kLocal)
                    << n + 1 << preset << ports[n] << L() << requests[preset]
                    << (preset < 2 || preset > 5 ? "" : ports[n]) << "";
        }
    }
    // clang-format on
    void sendAndRecognise() {
        Fixture f;
        const QString mac = Cell("mac"), shown = Cell("shown"), caption = Cell("caption");
        const int rule = Cell<int>("rule"), index = Cell<int>("index");
        const L map = Cell<L>("map");
        const QString port = rule == 0 ? "txtQoSPort" : QString("txtPort%1").arg(rule);
        OPEN_ADVANCED(f, mac);
        auto* combo = Control<QComboBox>(rule == 0 ? "cboQoSRule" : QString("cboRule%1").arg(rule));
        Control<QComboBox>(rule == 1 ? "cboRule2" : "cboRule1")->setCurrentIndex(-1);
        combo->setCurrentIndex(-1);
        Set({port + "=9", "txtQoSMap7=9"});
        combo->setCurrentIndex(index);
        QCOMPARE(Control<QLineEdit>(port)->text() + "|" + Control<QLineEdit>("txtQoSMap7")->text(),
                 QString(rule > 0 && !shown.isEmpty() ? "9|" : "|") + (rule > 0 ? "9" : ""));
        Set({port + "=" + Cell("port")});
        for (int k = 0; k < map.size(); ++k)
            Set({QString("txtQoSMap%1=%2").arg(k).arg(map[k])});
        f.click(Adv(), rule == 0 ? "cmdQoSUpdate" : "cmdQoSAdvUpdate");
        QCOMPARE(f.readWorkFile("post.cfg"),
                 Request("POST " + mac, Session().NodePassword, Cell<L>("request")));
        combo->setCurrentIndex(-1);  // only the node can bring the rule back now
        f.click(Adv(), "cmdRefresh");
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
        QVERIFY(Adv()->isVisible() && Adv()->isEnabled() && !W().frmMessage->isVisible());
        QCOMPARE(combo->currentIndex(), index);
        const auto as = [](const QString& name, const QString& text) {
            return name + (text.isEmpty() ? " hidden" : "=" + text);
        };
        QCOMPARE(Shown({port, "lblQoSPrec7", "txtQoSMap0", "txtQoSMap7"}),
                 L({as(port, shown), as("lblQoSPrec7", caption.isEmpty() ? "" : caption + " 8"),
                    as("txtQoSMap0", map.value(0)), as("txtQoSMap7", map.value(7))}));
    }

    // Leaving a port or priority field keeps its number within range; leaving
    // the VLAN tag keeps tags 2 to 4094 in plain decimal and refuses anything
    // else: emptied, the focus kept, the button off, the user told each time.
    // clang-format off
    void leavingFields_data() {
        // "shown": after leaving with each typed value, "" for a refused tag
        Cols<L, L, L>({"fields", "typed", "shown"});
        const L ports{"txtQoSPort", "txtPort1", "txtPort2"}, tag{"txtVlanTag"}, map = QString("txtQoSMap0 txtQoSMap1 "
            "txtQoSMap2 txtQoSMap3 txtQoSMap4 txtQoSMap5 txtQoSMap6 txtQoSMap7").split(' ');
        Row("ports: above the range, letters, empty", ports, L{"70000", "8080abc", ""}, L{"65535", "8080", "0"});
        Row("priorities above 6, negative", map, L{"7", "-1"}, L{"6", "0"});
        Row("tags: lowest, highest with a leading zero, letters", tag, L{"2", "04094", "12ab"}, L{"2", "4094", "12"});
        Row("tags 4095 and 1", tag, L{"4095", "1"}, L{"", ""});
    }
    // clang-format on
    void leavingFields() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        Set({"cboVlanConf=Enabled"});
        const L typed = Cell<L>("typed"), shown = Cell<L>("shown");
        for (const QString& name : Cell<L>("fields")) {
            for (int i = 0; i < typed.size(); ++i) {
                Set({name + "=" + typed[i]});
                QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
                QCoreApplication::sendEvent(Control(name), &out);
                QCOMPARE(Control<QLineEdit>(name)->text(), shown[i]);
            }
        }
        const bool refused = shown.contains("");
        QCOMPARE(f.dialogs.describe(),
                 Resolved(L(shown.count(""), "[1|Kaldor Config Tool] {errRange}").join('\n')));
        QCOMPARE(Shown({"cmdUpVlan"})[0], refused ? "cmdUpVlan off" : "cmdUpVlan");
        QCOMPARE(Adv()->focusWidget() == Control("txtVlanTag"), refused);
    }

    // Where the host keeps its settings in a registry, the import file is
    // handed over whole (a file left from before is replaced), the note shown
    // and the file gone, even when the desktop has no program for it. Here,
    // on Linux, the button writes a sysctl drop-in that stays in the work
    // folder and tells the user where it is and how to apply it.
    void tcpWindow_data() {
        Cols<bool, QString, QString, QString>({"registry", "file", "content", "told"});
        // clang-format off
        Row("registry import", true, "tcpwindow.reg", "Windows Registry Editor Version 5.00\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters]\r\n\"TcpWindowSize\"="
            "dword:00020000\r\n\"GlobalMaxTcpWindowSize\"=dword:00020000\r\n\"Tcp1323Opts\"=dword:00000003\r\n",
            "[4|Kaldor Config Tool] {msgTCP}");
        Row("this computer: sysctl drop-in", false, "60-kaldor-tcp-window.conf", "net.core.rmem_max = 131072\n"
            "net.core.wmem_max = 131072\nnet.ipv4.tcp_rmem = 4096 131072 131072\nnet.ipv4.tcp_wmem = 4096 131072 "
            "131072\nnet.ipv4.tcp_window_scaling = 1\nnet.ipv4.tcp_timestamps = 1\n",
            "[0|Kaldor Config Tool] {msgTCPSysctl}");
        // clang-format on
    }
    void tcpWindow() {
        Fixture f;
        QVERIFY(f.start());
        const bool registry = Cell<bool>("registry");
        const QString file = f.workFile(Cell("file"));
        f.writeWorkFile(Cell("file"), QByteArray(600, 'x'));
        f.dialogs.documentOpens = false;
        registry ? GiveTcpWindowSettings(TcpWindowHost::Registry) : f.click(Adv(), "cmdTcpWindow");
        QCOMPARE(f.dialogs.openedDocuments, registry ? L{Cell("content")} : L{});
        QCOMPARE(f.dialogs.describe(), Resolved(Cell("told")).replace("%1", file));
        QCOMPARE(QString(f.readWorkFile(Cell("file"))), registry ? "" : Cell("content"));
        QVERIFY(!registry || !QFile::exists(file));
    }
};

QTEST_MAIN(QosVlanTest)
#include "test_qos_vlan.moc"
