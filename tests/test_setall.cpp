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

using Commands = QList<QStringList>;

// Waits of a node's steps: configuring it, or checking it.
QStringList Conf(int count, const QString& label, int bar, int ms = 1000) {
    return QStringList(count,
                       QStringLiteral("%1|{lblConfiguring}%2|%3").arg(ms).arg(label).arg(bar));
}

QStringList Check(const QString& label, int bar) {
    return {QStringLiteral("1000|{lblChecking}%1|%2").arg(label).arg(bar)};
}

QLineEdit* Field(const char* name) {
    return Ctl<QLineEdit>(W().frmSetAll, name);
}

// Discovers the network (the demo network's study node asks for its
// password), selects the connected node and the given nodes on the node page
// and opens the set-all page with Next.
void OpenSetAllPage(Fixture& f, QStringList macs) {
    f.dialogs.typePassword("study-2024");
    f.click(W().frmBegin, "cmdNext");
    if (macs.isEmpty()) {  // all of them
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

// Identifier, key, notch choice and new password, typed as a user does.
void TypeSettings(const QStringList& settings) {
    QTest::keyClicks(Field("txtId"), settings[0]);
    QTest::keyClicks(Field("txtKey"), settings[1]);
    Ctl<QComboBox>(W().frmSetAll, "cboNotches")->setCurrentIndex(settings[2].toInt());
    QTest::keyClicks(Field("txtPw1"), settings[3]);
    QTest::keyClicks(Field("txtPw2"), settings[3]);
}

}  // namespace

class SetAllTest : public QObject {
    Q_OBJECT

private slots:
    // The node's own password and, only when there is one, the new password.
    void postSetAllSettings() {
        Fixture f;
        QVERIFY(f.start());
        Session().InterfaceNumber = 1;
        Session().NodePassword = "wrong";
        const PostOutcome outcome =
            PostSetAllSettings(kOffice, {"NewNet", "NewKey-1", "Amateur", "pw 2"});
        QCOMPARE(f.readWorkFile("post.cfg"),
                 "POST 020A1B000002\r\n.PASSWORD=wrong\r\nNET_ID_STR=NewNet\r\n"
                 "ENCRYPT_KEY_STR=NewKey-1\r\nNOTCHES=Amateur\r\nNEWPASSWORD=pw 2\r\n");
        QCOMPARE(outcome, PostOutcome::Failed);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // The key needs an identifier, the retyped password a password; the two
    // passwords are compared when the focus leaves the second for another field.
    void fieldRules_data() {
        QTest::addColumn<QStringList>("texts");  // identifier, password, retyped
        QTest::addColumn<Qt::FocusReason>("reason");
        QTest::addColumn<bool>("mismatch");
        QTest::newRow("identifier emptied")
            << QStringList{"", "pw", "pw"} << Qt::TabFocusReason << false;
        QTest::newRow("password emptied")
            << QStringList{"Net", "", ""} << Qt::TabFocusReason << false;
        QTest::newRow("different")
            << QStringList{"Net", "pw", "pW"} << Qt::MouseFocusReason << true;
    }
    void fieldRules() {
        QFETCH(QStringList, texts);
        QFETCH(Qt::FocusReason, reason);
        QFETCH(bool, mismatch);
        Fixture f;
        QVERIFY(f.start());
        W().frmSetAll->show();
        QVERIFY(!Field("txtKey")->isEnabled() && !Field("txtPw2")->isEnabled());
        TypeSettings({"Net", "Key", "0", "pw"});
        Field("txtId")->setText(texts[0]);
        Field("txtPw1")->setText(texts[1]);
        Field("txtPw2")->setText(texts[2]);
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(Field("txtPw2"), &out);
        QCOMPARE(Field("txtKey")->isEnabled(), !texts[0].isEmpty());
        QCOMPARE(Field("txtKey")->text(), texts[0].isEmpty() ? "" : "Key");
        QCOMPARE(Field("txtPw2")->isEnabled(), !texts[1].isEmpty() && !mismatch);
        QCOMPARE(Field("txtPw1")->text() + Field("txtPw2")->text(),
                 mismatch ? QString() : texts[1] + texts[2]);
        QCOMPARE(f.dialogs.describe(),
                 mismatch ? Resolved("[1|Kaldor Config Tool] {errPwMistake}") : QString());
        QCOMPARE(W().frmSetAll->focusWidget() == Field("txtPw1"), mismatch);
    }

    // Office (alias 'Office') and one more node from the list, then the
    // connected node, which the others are reached through. The last request
    // of every run goes to the connected node, with the typed identifier.
    void setAll_data() {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<Commands>("setup");        // kaldor-sim commands
        QTest::addColumn<QStringList>("settings");  // as TypeSettings takes them
        QTest::addColumn<QStringList>("waits");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("refusing");  // the node that keeps its settings
        const QString office = "'Office'";
        const QString garage = "02:0A:1B:00:00:03";
        const QString local = "02:0A:1B:00:00:01";
        const QStringList ok{"[4|Kaldor Config Tool] {errSetAllOK}"};
        // Every node takes the settings after the given number of requests.
        const auto allGood = [&](int attempts) {
            return Conf(attempts, office, 0) + Conf(attempts, garage, 0) +
                   Conf(attempts, local, 0) + Conf(1, local, 0, 12000) + Check(office, 33) +
                   Check(garage, 66) + Check(local, 100);
        };
        QTest::newRow("accepted at once")
            << QStringList{kOffice, kGarage} << Commands{{"network-change-answer", "0"}}
            << QStringList{"NewNet", "HomeKey-2024", "2", ""} << allGood(1) << ok << "";
        QTest::newRow("new key and password, moves answered 3")
            << QStringList{kOffice, kGarage} << Commands{}
            << QStringList{"NewNet", "NewKey-99", "0", "newpass"} << allGood(3) << ok << "";
        // The connected node is not checked once an earlier node failed; the
        // refusing node keeps failing: three passes, then one box for it.
        const QStringList laterPass = Conf(3, office, 33) + Conf(1, local, 33) +
                                      Conf(1, local, 33, 12000) + Check(office, 33);
        QTest::newRow("office refuses")
            << QStringList{kOffice, kGarage}
            << Commands{{"network-change-answer", "0"}, {"fault", "office", "refusePassword", "on"}}
            << QStringList{"NewNet", "HomeKey-2024", "1", ""}
            << Conf(3, office, 0) + Conf(1, garage, 0) + Conf(1, local, 0) +
                   Conf(1, local, 0, 12000) + Check(office, 0) + Check(garage, 33) + laterPass +
                   laterPass
            << QStringList{"[2|{errSaving}] {errConfiguring}'Office'"} << kOffice;
        // The connected node gives no answer to any request: three in each
        // pass, its check while every node before it passed, one after each
        // failing pass, one after the report, and two in the new discovery.
        const QStringList localPass = Conf(3, local, 66) + Conf(1, local, 66, 12000);
        QTest::newRow("connected node silent")
            << QStringList{kGarage, "020A1B000006"}
            << Commands{{"network-change-answer", "0"}, {"fault", "local", "noResponse", "on"}}
            << QStringList{"NewNet", "HomeKey-2024", "0", ""}
            << Conf(1, garage, 0) + Conf(1, "02:0A:1B:00:00:06", 0) + Conf(3, local, 0) +
                   Conf(1, local, 0, 12000) + Check(garage, 33) + Check("02:0A:1B:00:00:06", 66) +
                   Check(local, 66) + localPass + Check(local, 66) + localPass + Check(local, 66)
            << QStringList(3 * 3 + 3 + 3 + 1 + 2, "[1|Kaldor Config Tool] {errReceiving}") << "";
    }
    void setAll() {
        QFETCH(QStringList, selected);
        QFETCH(Commands, setup);
        QFETCH(QStringList, settings);
        QFETCH(QStringList, waits);
        QFETCH(QStringList, boxes);
        QFETCH(QString, refusing);
        Fixture f;
        f.writeWorkFile("alias.tmp", "020A1B000002=Office\r\n");
        QVERIFY(f.start());
        OpenSetAllPage(f, selected);
        for (const QStringList& command : setup) {
            f.sim(command);
        }
        TypeSettings(settings);
        // With a new password the connected node asks for it in the next discovery.
        f.dialogs.typePassword(settings[3]);
        const QString notches = Ctl<QComboBox>(W().frmSetAll, "cboNotches")->currentText();
        f.click(W().frmSetAll, "cmdAutoConf");

        QCOMPARE(WaitLog::waits, Resolved(waits));
        QCOMPARE(f.dialogs.describe(), Resolved(boxes).join('\n'));
        const QStringList wanted{"NewNet", settings[1], notches,
                                 settings[3].isEmpty() ? "kaldor" : settings[3]};
        for (const QString& mac : selected + QStringList{kLocal}) {
            const kaldorsim::Node node = SimNode(f, mac);
            const QStringList now{node.params.value("NET_ID_STR"),
                                  node.params.value("ENCRYPT_KEY_STR"),
                                  node.params.value("NOTCHES"), node.password};
            QCOMPARE(mac == refusing ? now[0] : now.join('|'),
                     mac == refusing ? "KaldorHome" : wanted.join('|'));
        }
        const QByteArray last = f.readWorkFile("post.cfg");
        QVERIFY(last.startsWith("POST 020A1B000001\r\n") && last.contains("\nNET_ID_STR=NewNet\r"));
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
        TypeSettings({"Bigger", "Generated-Key", "0", ""});
        f.click(W().frmSetAll, "cmdAutoConf");

        QCOMPARE(f.dialogs.describe(),
                 Resolved("[1|Kaldor Config Tool] {errSetAllLeftOut}" + NodeLabel(macs[25]) + ", " +
                          NodeLabel(macs[26]) + "\n[4|Kaldor Config Tool] {errSetAllOK}"));
        QCOMPARE(Fixture::waited, qint64(26 * 1000 + 12000 + 26 * 1000));
        for (int i = 0; i < macs.size(); ++i) {
            QCOMPARE(Parameters(f, macs[i]).value("NET_ID_STR"), i < 25 ? "Bigger" : "Generated");
        }
    }

    // A request that cannot be written abandons the action on the page, which
    // stays usable: Back discovers again.
    void requestNotWritten() {
        Fixture f;
        QVERIFY(f.start());
        OpenSetAllPage(f, {kOffice, kGarage});
        QVERIFY(QDir(f.workDir()).mkdir("post.cfg"));
        TypeSettings({"NewNet", "HomeKey-2024", "0", ""});
        f.click(W().frmSetAll, "cmdAutoConf");
        QVERIFY(f.dialogs.describe().contains("post.cfg") && f.dialogs.boxes.size() == 1);
        QCOMPARE(Fixture::waited, qint64(0));
        QVERIFY(W().frmSetAll->isVisible() && W().frmSetAll->isEnabled() &&
                !W().frmMessage->isVisible());
        f.click(W().frmSetAll, "cmdPrev");
        QVERIFY(!W().frmSetAll->isVisible() && W().frmConnect->isVisible());
    }
};

QTEST_MAIN(SetAllTest)
#include "test_setall.moc"
