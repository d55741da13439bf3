// The set-all page: several nodes given the same network settings in one
// action, end to end through the real windows and the simulated network.
#include <QFocusEvent>
#include <QListWidget>
#include <QtTest>

#include "support/CatalogueText.h"
#include "support/WaitLog.h"
#include "test_advanced_helpers.h"
#include "wizard/SetAll.h"

using namespace advtest;

namespace {

// The pauses of a node's steps: configuring it (1000 ms each, or the pass's
// 12 000 ms to settle), or checking it.
QStringList Conf(int count, const QString& label, int bar, int ms = 1000) {
    return QStringList(count, QString("%1|{lblConfiguring}%2|%3").arg(ms).arg(label).arg(bar));
}

QStringList Check(const QString& label, int bar) {
    return {QString("1000|{lblChecking}%1|%2").arg(label).arg(bar)};
}

QLineEdit* Field(const char* name) {
    return Ctl<QLineEdit>(W().frmSetAll, name);
}

// Discovers the network (the study asks for its password), selects the
// connected node and the given nodes (none: all) and opens the set-all page.
void OpenSetAllPage(Fixture& f, QStringList macs) {
    f.dialogs.typePassword("study-2024");
    f.click(W().frmBegin, "cmdNext");
    if (macs.isEmpty()) {
        macs = f.nodeLines().replaceInStrings(QRegularExpression("^(.{12}).*"), "\\1");
    }
    auto* list = Ctl<QListWidget>(W().frmConnect, "lstMac");
    f.clickNodeBox();
    for (const QString& mac : macs) {
        list->scrollToItem(list->item(f.rowOf(mac)));
        f.clickNodeEntry(f.rowOf(mac), true);
    }
    f.click(W().frmConnect, "cmdConfigMac");
    QVERIFY2(W().frmSetAll->isVisible(), qPrintable(f.dialogs.describe()));
    f.dialogs.boxes.clear();
    WaitLog::Record();
}

// "identifier|key|notch position|new password", typed as a user does.
void TypeSettings(const QString& settings) {
    const QStringList typed = settings.split('|');
    QTest::keyClicks(Field("txtId"), typed[0]);
    QTest::keyClicks(Field("txtKey"), typed[1]);
    Ctl<QComboBox>(W().frmSetAll, "cboNotches")->setCurrentIndex(typed[2].toInt());
    QTest::keyClicks(Field("txtPw1"), typed[3]);
    QTest::keyClicks(Field("txtPw2"), typed[3]);
}

}  // namespace

class SetAllTest : public QObject {
    Q_OBJECT

private slots:
    // The key needs an identifier, the retyped password a password; the two
    // passwords are compared when the focus leaves the second for another field.
    // After: key enabled|key|retyped enabled|password|retyped|focus on the password.
    void fieldRules_data() {
        Columns({"texts", "reason", "after", "boxes"});  // texts: identifier|password|retyped
        Row("identifier emptied", "|pw|pw", "tab", "0||1|pw|pw|0", "");
        Row("password emptied", "Net||", "tab", "1|Key|0|||0", "");
        Row("different", "Net|pw|pW", "mouse", "1|Key|0|||1",
            "[1|Kaldor Config Tool] {errPwMistake}");
    }
    void fieldRules() {
        const QStringList texts = Cell("texts").split('|');
        Fixture f;
        QVERIFY(f.start());
        Fixture::show(W().frmSetAll);
        QVERIFY(!Field("txtKey")->isEnabled() && !Field("txtPw2")->isEnabled());
        TypeSettings("Net|Key|0|pw");
        Field("txtId")->setText(texts[0]);
        Field("txtPw1")->setText(texts[1]);
        Field("txtPw2")->setText(texts[2]);
        QFocusEvent out(QEvent::FocusOut,
                        Cell("reason") == "tab" ? Qt::TabFocusReason : Qt::MouseFocusReason);
        QCoreApplication::sendEvent(Field("txtPw2"), &out);
        const QStringList after{QString::number(Field("txtKey")->isEnabled()),
                                Field("txtKey")->text(),
                                QString::number(Field("txtPw2")->isEnabled()),
                                Field("txtPw1")->text(),
                                Field("txtPw2")->text(),
                                QString::number(W().frmSetAll->focusWidget() == Field("txtPw1"))};
        QCOMPARE(after.join('|'), Cell("after"));
        QCOMPARE(f.dialogs.describe(), Resolved(Cell("boxes")));
    }

    // Office (alias 'Office') and one more node, then the connected node,
    // which the others are reached through; kaldor-sim commands ";"-separated.
    // The last request of every run goes to the connected node with the typed
    // identifier, the new password only when there is one.
    void setAll_data() {
        Columns({"selected", "setup", "settings", "refusing", "last"});
        QTest::addColumn<QStringList>("waits");
        QTest::addColumn<QStringList>("boxes");
        const QString office = "'Office'", garage = "02:0A:1B:00:00:03";
        const QString local = "02:0A:1B:00:00:01";
        const QString post = "POST 020A1B000001\r\n.PASSWORD=kaldor\r\nNET_ID_STR=NewNet\r\n";
        const QString homeKey = post + "ENCRYPT_KEY_STR=HomeKey-2024\r\nNOTCHES=";
        const QStringList ok{"[4|Kaldor Config Tool] {errSetAllOK}"};
        const QString both = kOffice + "|" + kGarage;
        // Every node takes the settings after the given number of requests.
        const auto allGood = [&](int attempts) {
            return Conf(attempts, office, 0) + Conf(attempts, garage, 0) +
                   Conf(attempts, local, 0) + Conf(1, local, 0, 12000) + Check(office, 33) +
                   Check(garage, 66) + Check(local, 100);
        };
        Row("accepted at once", both, "network-change-answer 0", "NewNet|HomeKey-2024|2|", "",
            homeKey + "Amateur+Broadcast\r\n", allGood(1), ok);
        Row("new key and password, moves answered 3", both, "", "NewNet|NewKey-99|0|newpass", "",
            post + "ENCRYPT_KEY_STR=NewKey-99\r\nNOTCHES=Disabled\r\nNEWPASSWORD=newpass\r\n",
            allGood(3), ok);
        // The connected node is not checked once an earlier node failed; the
        // refusing node keeps failing: three passes, then one box for it.
        const QStringList laterPass = Conf(3, office, 33) + Conf(1, local, 33) +
                                      Conf(1, local, 33, 12000) + Check(office, 33);
        Row("office refuses", both, "network-change-answer 0;fault office refusePassword on",
            "NewNet|HomeKey-2024|1|", kOffice, homeKey + "Amateur\r\n",
            Conf(3, office, 0) + Conf(1, garage, 0) + Conf(1, local, 0) + Conf(1, local, 0, 12000) +
                Check(office, 0) + Check(garage, 33) + laterPass + laterPass,
            QStringList{"[2|{errSaving}] {errConfiguring}'Office'"});
    }
    void setAll() {
        const QStringList selected = Cell("selected").split('|'),
                          typed = Cell("settings").split('|');
        Fixture f;
        f.writeWorkFile("alias.tmp", "020A1B000002=Office\r\n");
        QVERIFY(f.start());
        OpenSetAllPage(f, selected);
        for (const QString& command : Cell("setup").split(';', Qt::SkipEmptyParts)) {
            f.sim(command.split(' '));
        }
        TypeSettings(Cell("settings"));
        f.dialogs.typePassword(typed[3]);  // a new password is asked for in the next discovery
        const QString notches = Ctl<QComboBox>(W().frmSetAll, "cboNotches")->currentText();
        f.click(W().frmSetAll, "cmdAutoConf");

        QCOMPARE(WaitLog::waits, Resolved(Cell<QStringList>("waits")));
        QCOMPARE(f.dialogs.describe(), Resolved(Cell<QStringList>("boxes")).join('\n'));
        const QString wanted =
            QStringList{"NewNet", typed[1], notches, typed[3].isEmpty() ? "kaldor" : typed[3]}.join(
                '|');
        for (const QString& mac : selected + QStringList{kLocal}) {
            const kaldorsim::Node node = SimNode(f, mac);
            const QStringList now{node.params.value("NET_ID_STR"),
                                  node.params.value("ENCRYPT_KEY_STR"),
                                  node.params.value("NOTCHES"), node.password};
            QCOMPARE(mac == Cell("refusing") ? now[0] : now.join('|'),
                     mac == Cell("refusing") ? "KaldorHome" : wanted);
        }
        QCOMPARE(f.readWorkFile("post.cfg"), Cell("last").toUtf8());
        // The node page shows the network as it is now.
        QVERIFY(!W().frmSetAll->isVisible() && W().frmSetAll->isEnabled() &&
                W().frmConnect->isVisible());
    }

    // More nodes than one action takes: the first ones in list order and the
    // connected node are configured, the user is told which were left out.
    void moreThanTwentySixNodes() {
        Fixture f;
        f.sim({"create-generated", "28"});
        f.sim({"network-change-answer", "0"});
        QVERIFY(f.start());
        OpenSetAllPage(f, {});
        const QStringList macs =
            f.nodeLines().replaceInStrings(QRegularExpression("^(.{12}).*"), "\\1");
        QCOMPARE(macs.size(), 27);
        TypeSettings("Bigger|Generated-Key|0|");
        f.click(W().frmSetAll, "cmdAutoConf");
        QCOMPARE(f.dialogs.describe(),
                 Resolved("[1|Kaldor Config Tool] {errSetAllLeftOut}" + NodeLabel(macs[25]) + ", " +
                          NodeLabel(macs[26]) + "\n[4|Kaldor Config Tool] {errSetAllOK}"));
        QCOMPARE(Fixture::waited, qint64(26 * 1000 + 12000 + 26 * 1000));
        for (int i = 0; i < macs.size(); ++i) {
            QCOMPARE(Parameters(f, macs[i]).value("NET_ID_STR"), i < 25 ? "Bigger" : "Generated");
        }
    }
};

QTEST_MAIN(SetAllTest)
#include "test_setall.moc"
