// The set-all page: several nodes given the same network settings in one
// action, driven end to end through the real windows and the simulated
// network, and the pieces it is built from.
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QRegularExpression>
#include <QtTest>

#include "SimStateFile.h"
#include "app/Seams.h"
#include "lang/Catalogue.h"
#include "support/Fixture.h"
#include "wizard/SetAll.h"

namespace {

const QString kLocal = "020A1B000001";
const QString kOffice = "020A1B000002";
const QString kGarage = "020A1B000003";
const QString kAttic = "020A1B000006";

// What the user saw while the set-all page was up, in order: every fixed
// wait and every message box, each with the status window's message (or "-"
// while it is hidden) and its progress bar.
QStringList gEvents;

void RecordEvent(const QString& what) {
    if (!W().frmSetAll || !W().frmSetAll->isVisible()) {
        return;
    }
    QWidget* status = W().frmMessage;
    const QString message =
        status->isVisible() ? Ctl<QLabel>(status, "lblMessage")->text() : QStringLiteral("-");
    gEvents << QStringLiteral("%1 | %2 | %3")
                   .arg(what, message)
                   .arg(Ctl<QProgressBar>(status, "barMessage")->value());
}

void RecordingWait(int milliseconds) {
    Fixture::waited += milliseconds;
    RecordEvent(QStringLiteral("wait %1").arg(milliseconds));
}

class RecordingDialogs : public DialogRecorder {
public:
    MsgAnswer messageBox(const QString& text, MsgIcon icon, MsgButtons buttons,
                         const QString& title) override {
        RecordEvent(QStringLiteral("box ") + text);
        return DialogRecorder::messageBox(text, icon, buttons, title);
    }
};

// A fixture whose waits and boxes also go into the event list. Its recorder
// stands in for the fixture's own.
struct SetAllFixture : Fixture {
    SetAllFixture() {
        gEvents.clear();
        InstallWait(RecordingWait);
        InstallDialogs(&dialogs);
    }
    RecordingDialogs dialogs;
};

QString Colons(const QString& mac) {
    return QString(mac).replace(QRegularExpression("(..)(?!$)"), "\\1:");
}

// The events of one node's step: a wait with the status line and the bar.
QStringList Steps(int count, const QString& message, int bar, int milliseconds = 1000) {
    return QStringList(count,
                       QStringLiteral("wait %1 | %2 | %3").arg(milliseconds).arg(message).arg(bar));
}

QString Configuring(const QString& label) {
    return Session().lblConfiguring + label;
}

QString Checking(const QString& label) {
    return "Checking node " + label;
}

QString BoxEvent(const QString& text, const QString& status = "-", int bar = 100) {
    return QStringLiteral("box %1 | %2 | %3").arg(text, status).arg(bar);
}

QWidget* Page() {
    return W().frmSetAll;
}

QLineEdit* Field(const char* name) {
    return Ctl<QLineEdit>(Page(), name);
}

// A node's parameter, or its password, as the simulated network holds it now.
QString SimValue(const Fixture& f, const QString& node, const QString& key) {
    QString error;
    const std::optional<kaldorsim::Network> net =
        kaldorsim::readNetworkFile(f.workFile("simnet.json"), &error);
    if (!net) {
        qFatal("simulated network unreadable: %s", qPrintable(error));
    }
    const kaldorsim::Node* n = kaldorsim::findNode(*net, node);
    return n ? (key == "password" ? n->password : n->params.value(key)) : QString();
}

// Discovers the network from the welcome page.
void Discover(SetAllFixture& f) {
    f.click(W().frmBegin, "cmdNext");
    QVERIFY(W().frmConnect->isVisible());
}

// Discovers the demo network; the study node asks for its own password.
void DiscoverDemo(SetAllFixture& f) {
    f.dialogs.typePassword("study-2024");
    Discover(f);
}

// Selects the connected node and the listed nodes on the node page and opens
// the set-all page with Next.
void OpenSetAllPage(SetAllFixture& f, const QStringList& macs) {
    auto* list = Ctl<QListWidget>(W().frmConnect, "lstMac");
    f.clickNodeBox();
    for (const QString& mac : macs) {
        const int row = f.rowOf(mac);
        QVERIFY2(row >= 0, qPrintable(mac));
        list->scrollToItem(list->item(row));
        f.clickNodeEntry(row, true);
        QVERIFY2(list->item(row)->isSelected(), qPrintable(mac));
    }
    f.click(W().frmConnect, "cmdConfigMac");
    QVERIFY2(Page()->isVisible(), qPrintable(f.dialogs.describe()));
    QVERIFY(Page()->isEnabled());
    QVERIFY(!W().frmConnect->isVisible());
    QVERIFY(!Field("txtKey")->isEnabled());
    QVERIFY(!Field("txtPw2")->isEnabled());
    f.dialogs.boxes.clear();
    gEvents.clear();
}

// Types the settings into the page as a user would.
void TypeSettings(const QString& id, const QString& key, int notches, const QString& password) {
    QTest::keyClicks(Field("txtId"), id);
    QTest::keyClicks(Field("txtKey"), key);
    Ctl<QComboBox>(Page(), "cboNotches")->setCurrentIndex(notches);
    QTest::keyClicks(Field("txtPw1"), password);
    QTest::keyClicks(Field("txtPw2"), password);
}

QByteArray Crlf(const QStringList& lines) {
    return (lines.join("\r\n") + "\r\n").toUtf8();
}

}  // namespace

class SetAllTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    void formatMacWithColons_data() {
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digits and capitals") << "0012AB34CD56"
                                             << "00:12:AB:34:CD:56";
        QTest::newRow("small letters kept") << "020a1b0000ff"
                                            << "02:0a:1b:00:00:ff";
    }
    void formatMacWithColons() {
        QFETCH(QString, mac);
        QFETCH(QString, expected);
        QCOMPARE(FormatMacWithColons(mac), expected);
    }

    void nodeLabel_data() {
        QTest::addColumn<QByteArray>("aliasFile");  // empty: no alias file
        QTest::addColumn<QString>("expected");
        QTest::newRow("alias") << QByteArray("020A1B000002=Office\r\n") << "'Office'";
        QTest::newRow("alias with blanks")
            << QByteArray("020A1B000001=Hall\r\n020A1B000002=My office\r\n") << "'My office'";
        QTest::newRow("other node's alias")
            << QByteArray("020A1B000003=Garage\r\n") << "02:0A:1B:00:00:02";
        QTest::newRow("empty alias") << QByteArray("020A1B000002=\r\n") << "02:0A:1B:00:00:02";
        QTest::newRow("no alias file") << QByteArray() << "02:0A:1B:00:00:02";
    }
    void nodeLabel() {
        QFETCH(QByteArray, aliasFile);
        QFETCH(QString, expected);
        Fixture f;
        if (!aliasFile.isEmpty()) {
            f.writeWorkFile("alias.tmp", aliasFile);
        }
        QVERIFY(f.start());
        QCOMPARE(NodeLabel(kOffice), expected);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // The request's bytes, what the node's answer means, and what the node
    // took.
    void postSetAllSettings_data() {
        QTest::addColumn<QString>("nodePassword");
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("changeAnswer");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("netIdAfter");
        QTest::addColumn<QString>("passwordAfter");
        const QStringList head{"POST 020A1B000002", ".PASSWORD=kaldor", "NET_ID_STR=NewNet",
                               "ENCRYPT_KEY_STR=NewKey-1", "NOTCHES=Amateur"};
        QTest::newRow("no new password") << "kaldor"
                                         << ""
                                         << "0" << Crlf(head) << true << "NewNet"
                                         << "kaldor";
        QTest::newRow("new password")
            << "kaldor"
            << "pw 2"
            << "0" << Crlf(QStringList(head) << "NEWPASSWORD=pw 2") << true << "NewNet"
            << "pw 2";
        QTest::newRow("network moved, answer 3") << "kaldor"
                                                 << ""
                                                 << "3" << Crlf(head) << false << "NewNet"
                                                 << "kaldor";
        QStringList refused = head;
        refused[1] = ".PASSWORD=wrong";
        QTest::newRow("password refused")
            << "wrong"
            << "pw2"
            << "0" << Crlf(QStringList(refused) << "NEWPASSWORD=pw2") << false << "KaldorHome"
            << "kaldor";
    }
    void postSetAllSettings() {
        QFETCH(QString, nodePassword);
        QFETCH(QString, newPassword);
        QFETCH(QString, changeAnswer);
        QFETCH(QByteArray, request);
        QFETCH(bool, accepted);
        QFETCH(QString, netIdAfter);
        QFETCH(QString, passwordAfter);
        Fixture f;
        f.sim({"network-change-answer", changeAnswer});
        QVERIFY(f.start());
        Session().InterfaceNumber = 1;
        Session().NodePassword = nodePassword;
        const PostOutcome outcome =
            PostSetAllSettings(kOffice, {"NewNet", "NewKey-1", "Amateur", newPassword});
        QCOMPARE(f.readWorkFile("post.cfg"), request);
        QCOMPARE(outcome, accepted ? PostOutcome::Accepted : PostOutcome::Failed);
        QCOMPARE(SimValue(f, "office", "NET_ID_STR"), netIdAfter);
        QCOMPARE(SimValue(f, "office", "password"), passwordAfter);
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
    }

    void fieldRules_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("keyEnabled");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("retypeEnabled");
        QTest::newRow("both typed") << "Net"
                                    << "pw" << true << "Key" << true;
        QTest::newRow("identifier emptied") << ""
                                            << "pw" << false << "" << true;
        QTest::newRow("identifier changed") << "Other"
                                            << "pw" << true << "Key" << true;
        QTest::newRow("password emptied") << "Net"
                                          << "" << true << "Key" << false;
    }
    void fieldRules() {
        QFETCH(QString, id);
        QFETCH(QString, password);
        QFETCH(bool, keyEnabled);
        QFETCH(QString, key);
        QFETCH(bool, retypeEnabled);
        Fixture f;
        QVERIFY(f.start());
        Page()->show();
        QVERIFY(!Field("txtKey")->isEnabled());
        QVERIFY(!Field("txtPw2")->isEnabled());
        QTest::keyClicks(Field("txtId"), "Net");
        QTest::keyClicks(Field("txtKey"), "Key");
        QTest::keyClicks(Field("txtPw1"), "pw");
        Field("txtId")->setText(id);
        Field("txtPw1")->setText(password);
        QCOMPARE(Field("txtKey")->isEnabled(), keyEnabled);
        QCOMPARE(Field("txtKey")->text(), key);
        QCOMPARE(Field("txtPw2")->isEnabled(), retypeEnabled);
        QVERIFY(f.dialogs.boxes.isEmpty());
    }

    // The retyped password is compared when it loses the focus to another
    // field; the focus leaving with the whole window is no such moment.
    void retypedPassword_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("retyped");
        QTest::addColumn<Qt::FocusReason>("reason");
        QTest::addColumn<bool>("mismatch");
        QTest::newRow("same, Tab") << "secret"
                                   << "secret" << Qt::TabFocusReason << false;
        QTest::newRow("different, Tab") << "secret"
                                        << "secreT" << Qt::TabFocusReason << true;
        QTest::newRow("different, mouse") << "secret"
                                          << "secret2" << Qt::MouseFocusReason << true;
        QTest::newRow("left empty, Backtab") << "secret"
                                             << "" << Qt::BacktabFocusReason << true;
        QTest::newRow("different, other window")
            << "secret"
            << "secreT" << Qt::ActiveWindowFocusReason << false;
    }
    void retypedPassword() {
        QFETCH(QString, password);
        QFETCH(QString, retyped);
        QFETCH(Qt::FocusReason, reason);
        QFETCH(bool, mismatch);
        Fixture f;
        QVERIFY(f.start());
        Page()->show();
        QTest::keyClicks(Field("txtPw1"), password);
        QTest::keyClicks(Field("txtPw2"), retyped);
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(Field("txtPw2"), &out);
        if (!mismatch) {
            QVERIFY(f.dialogs.boxes.isEmpty());
            QCOMPARE(Field("txtPw1")->text(), password);
            QCOMPARE(Field("txtPw2")->text(), retyped);
            QVERIFY(Field("txtPw2")->isEnabled());
            return;
        }
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, Session().errPwMistake);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.dialogs.boxes[0].title, kAppTitle);
        QCOMPARE(Field("txtPw1")->text(), QString());
        QCOMPARE(Field("txtPw2")->text(), QString());
        QVERIFY(!Field("txtPw2")->isEnabled());
        QCOMPARE(Page()->focusWidget(), Field("txtPw1"));
    }

    // Every node takes the settings: one pass, then the new network is
    // discovered. The nodes are configured before the connected node, through
    // which they are reached.
    void allNodesConfigured_data() {
        QTest::addColumn<QString>("changeAnswer");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QList<int>>("attempts");  // office, garage, connected node
        QTest::addColumn<qint64>("waited");
        QTest::newRow("accepted at once")
            << "0"
            << "HomeKey-2024"
            << "" << QList<int>{1, 1, 1} << qint64(3 * 1000 + 12000 + 3 * 1000);
        QTest::newRow("new key and password, moves answered 3")
            << "3"
            << "NewKey-99"
            << "newpass" << QList<int>{3, 3, 3} << qint64(9 * 1000 + 12000 + 3 * 1000);
        QTest::newRow("same key, moves answered 3")
            << "3"
            << "HomeKey-2024"
            << "" << QList<int>{2, 2, 2} << qint64(6 * 1000 + 12000 + 3 * 1000);
    }
    void allNodesConfigured() {
        QFETCH(QString, changeAnswer);
        QFETCH(QString, key);
        QFETCH(QString, password);
        QFETCH(QList<int>, attempts);
        QFETCH(qint64, waited);
        SetAllFixture f;
        f.writeWorkFile("alias.tmp", "020A1B000002=Office\r\n");
        f.sim({"network-change-answer", changeAnswer});
        QVERIFY(f.start());
        DiscoverDemo(f);
        OpenSetAllPage(f, {kOffice, kGarage});
        if (QTest::currentTestFailed()) {
            return;
        }
        TypeSettings("NewNet", key, 2, password);
        // With a new password the connected node asks for it in the next discovery.
        f.dialogs.typePassword(password);
        Fixture::waited = 0;
        f.click(Page(), "cmdAutoConf");

        const QString office = "'Office'";
        const QString garage = Colons(kGarage);
        const QString local = Colons(kLocal);
        const QStringList expected =
            Steps(attempts[0], Configuring(office), 0) +
                Steps(attempts[1], Configuring(garage), 0) +
                Steps(attempts[2], Configuring(local), 0) + Steps(1, Configuring(local), 0, 12000) +
                Steps(1, Checking(office), 33) + Steps(1, Checking(garage), 66) +
                Steps(1, Checking(local), 100)
            << BoxEvent(Session().errSetAllOK);
        QCOMPARE(gEvents, expected);
        QCOMPARE(Fixture::waited, waited);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::NoIcon);
        QCOMPARE(f.dialogs.boxes[0].title, kAppTitle);
        for (const char* node : {"local", "office", "garage"}) {
            QCOMPARE(SimValue(f, node, "NET_ID_STR"), "NewNet");
            QCOMPARE(SimValue(f, node, "ENCRYPT_KEY_STR"), key);
            QCOMPARE(SimValue(f, node, "NOTCHES"), "Amateur+Broadcast");
            QCOMPARE(SimValue(f, node, "password"), password.isEmpty() ? "kaldor" : password);
        }
        QCOMPARE(SimValue(f, "attic", "NET_ID_STR"), "KaldorHome");
        // The node page shows the network as it is now.
        QVERIFY(!Page()->isVisible());
        QVERIFY(Page()->isEnabled());
        QVERIFY(!W().frmMessage->isVisible());
        QVERIFY(W().frmConnect->isVisible());
        QCOMPARE(Session().LocalNetworkId, "NewNet");
        auto* list = Ctl<QListWidget>(W().frmConnect, "lstMac");
        for (const QString& mac : {kOffice, kGarage}) {
            const QList<QListWidgetItem*> found = list->findItems(mac, Qt::MatchStartsWith);
            QCOMPARE(found.size(), 1);
            QCOMPARE(found[0]->text().mid(12, 21).trimmed(), "NewNet");
        }
    }

    // A node that refuses keeps failing: three passes, then one box for it.
    // The connected node, last in every pass, is not checked once an earlier
    // node failed; it is given its settings again after each failing pass and
    // after the report, always with the typed identifier.
    void refusingNode_data() {
        QTest::addColumn<QString>("refusing");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("good");
        QTest::addColumn<QString>("goodLabel");
        QTest::addColumn<bool>("goodFirst");
        QTest::newRow("office refuses") << "office"
                                        << "'Office'"
                                        << "garage" << Colons(kGarage) << false;
        QTest::newRow("garage refuses") << "garage" << Colons(kGarage) << "office"
                                        << "'Office'" << true;
    }
    void refusingNode() {
        QFETCH(QString, refusing);
        QFETCH(QString, label);
        QFETCH(QString, good);
        QFETCH(QString, goodLabel);
        QFETCH(bool, goodFirst);
        SetAllFixture f;
        f.writeWorkFile("alias.tmp", "020A1B000002=Office\r\n");
        f.sim({"network-change-answer", "0"});
        QVERIFY(f.start());
        DiscoverDemo(f);
        OpenSetAllPage(f, {kOffice, kGarage});
        if (QTest::currentTestFailed()) {
            return;
        }
        f.sim({"fault", refusing, "refusePassword", "on"});
        TypeSettings("NewNet", "HomeKey-2024", 1, "");
        f.click(Page(), "cmdAutoConf");

        const SessionState& s = Session();
        const QString local = Colons(kLocal);
        const QStringList refusingConf = Steps(3, Configuring(label), 0);
        const QStringList goodConf = Steps(1, Configuring(goodLabel), 0);
        QStringList firstPass = goodFirst ? goodConf + refusingConf : refusingConf + goodConf;
        firstPass += Steps(1, Configuring(local), 0) + Steps(1, Configuring(local), 0, 12000);
        firstPass += goodFirst ? Steps(1, Checking(goodLabel), 33) + Steps(1, Checking(label), 33)
                               : Steps(1, Checking(label), 0) + Steps(1, Checking(goodLabel), 33);
        const QStringList laterPass =
            Steps(3, Configuring(label), 33) + Steps(1, Configuring(local), 33) +
            Steps(1, Configuring(local), 33, 12000) + Steps(1, Checking(label), 33);
        const QStringList expected = firstPass + laterPass + laterPass
                                     << BoxEvent(s.errConfiguring + label);
        QCOMPARE(gEvents, expected);
        QCOMPARE(Fixture::waited, qint64(19000 + 17000 + 17000));
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Stop);
        QCOMPARE(f.dialogs.boxes[0].title, s.errSaving);
        // The last request of the action went to the connected node.
        QCOMPARE(f.readWorkFile("post.cfg"),
                 Crlf({"POST " + kLocal, ".PASSWORD=kaldor", "NET_ID_STR=NewNet",
                       "ENCRYPT_KEY_STR=HomeKey-2024", "NOTCHES=Amateur"}));
        QCOMPARE(SimValue(f, refusing, "NET_ID_STR"), "KaldorHome");
        QCOMPARE(SimValue(f, good, "NET_ID_STR"), "NewNet");
        QCOMPARE(SimValue(f, "local", "NET_ID_STR"), "NewNet");
        QVERIFY(!Page()->isVisible());
        QVERIFY(Page()->isEnabled());
        QVERIFY(W().frmConnect->isVisible());
        QCOMPARE(s.LocalNetworkId, "NewNet");
    }

    // The connected node writes no answer: it is checked while every node
    // before it passed, and it is given its settings again after every pass
    // and after the report. Each of its requests shows the missing answer.
    void connectedNodeSilent() {
        SetAllFixture f;
        f.sim({"network-change-answer", "0"});
        QVERIFY(f.start());
        DiscoverDemo(f);
        OpenSetAllPage(f, {kGarage, kAttic});
        if (QTest::currentTestFailed()) {
            return;
        }
        f.sim({"fault", "local", "noResponse", "on"});
        TypeSettings("NewNet", "HomeKey-2024", 0, "");
        f.click(Page(), "cmdAutoConf");

        const QString missing = Session().errReceiving;
        const QString local = Colons(kLocal);
        // Three tries, each showing the missing answer before its pause.
        const auto localConf = [&](int bar) {
            QStringList events;
            for (int i = 0; i < 3; ++i) {
                events << BoxEvent(missing, Configuring(local), bar)
                       << Steps(1, Configuring(local), bar);
            }
            return events + Steps(1, Configuring(local), bar, 12000);
        };
        // The check, then the extra request after the failing pass.
        const QStringList localCheck = QStringList{BoxEvent(missing, Checking(local), 66)} +
                                       Steps(1, Checking(local), 66) +
                                       QStringList{BoxEvent(missing, Checking(local), 66)};
        const QStringList expected =
            Steps(1, Configuring(Colons(kGarage)), 0) + Steps(1, Configuring(Colons(kAttic)), 0) +
            localConf(0) + Steps(1, Checking(Colons(kGarage)), 33) +
            Steps(1, Checking(Colons(kAttic)), 66) + localCheck + localConf(66) + localCheck +
            localConf(66) + localCheck + QStringList{BoxEvent(missing)};
        QCOMPARE(gEvents, expected);
        QCOMPARE(SimValue(f, "attic", "NET_ID_STR"), "NewNet");
        QVERIFY(!Page()->isVisible());
    }

    // More nodes than one action takes: the first ones in list order and the
    // connected node are configured, the user is told which were left out.
    void moreThanTwentySixNodes() {
        SetAllFixture f;
        f.sim({"create-generated", "28"});
        f.sim({"network-change-answer", "0"});
        QVERIFY(f.start());
        Discover(f);
        const QStringList lines = f.nodeLines();
        QCOMPARE(lines.size(), 27);
        QStringList macs;
        for (const QString& line : lines) {
            macs << line.left(12);
        }
        OpenSetAllPage(f, macs);
        if (QTest::currentTestFailed()) {
            return;
        }
        TypeSettings("Bigger", "Generated-Key", 0, "");
        f.click(Page(), "cmdAutoConf");

        const QStringList kept = macs.mid(0, 25);
        const QStringList leftOut = macs.mid(25);
        QCOMPARE(leftOut.size(), 2);
        QStringList labels;
        for (const QString& mac : leftOut) {
            labels << Colons(mac);
        }
        QCOMPARE(f.dialogs.boxes.size(), 2);
        QCOMPARE(f.dialogs.boxes[0].text, GetTextOr("errSetAllLeftOut", "?") + labels.join(", "));
        QVERIFY(f.dialogs.boxes[0].text.startsWith("Only 26 nodes"));
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.dialogs.boxes[1].text, Session().errSetAllOK);
        QCOMPARE(Fixture::waited, qint64(26 * 1000 + 12000 + 26 * 1000));
        QCOMPARE(gEvents.filter("wait 1000 | " + Session().lblConfiguring).size(), 26);
        for (const QString& mac : kept + QStringList{Session().LocalMac}) {
            QCOMPARE(SimValue(f, mac, "NET_ID_STR"), "Bigger");
        }
        for (const QString& mac : leftOut) {
            QCOMPARE(SimValue(f, mac, "NET_ID_STR"), "Generated");
        }
    }

    // A request that cannot be written abandons the action on the page.
    void requestNotWritten() {
        SetAllFixture f;
        QVERIFY(f.start());
        DiscoverDemo(f);
        OpenSetAllPage(f, {kOffice, kGarage});
        if (QTest::currentTestFailed()) {
            return;
        }
        QVERIFY(QDir(f.workDir()).mkdir("post.cfg"));
        TypeSettings("NewNet", "HomeKey-2024", 0, "");
        f.click(Page(), "cmdAutoConf");
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QVERIFY(f.dialogs.boxes[0].text.contains("post.cfg"));
        QCOMPARE(Fixture::waited, qint64(0));
        QVERIFY(Page()->isVisible());
        QVERIFY(Page()->isEnabled());
        QVERIFY(!W().frmMessage->isVisible());
        QVERIFY(!W().frmConnect->isVisible());
        QCOMPARE(SimValue(f, "office", "NET_ID_STR"), "KaldorHome");
    }

    void leavingThePage_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("exits");
        QTest::addColumn<bool>("pageShown");
        QTest::newRow("Previous") << "cmdPrev" << false << false;
        QTest::newRow("Exit") << "cmdExit" << true << false;
        QTest::newRow("title bar") << "close" << true << false;
        QTest::newRow("Help") << "cmdHelp" << false << true;
    }
    void leavingThePage() {
        QFETCH(QString, action);
        QFETCH(bool, exits);
        QFETCH(bool, pageShown);
        Fixture f;
        QVERIFY(f.start());
        Page()->show();
        if (action == "close") {
            Page()->close();
        } else {
            f.click(Page(), qPrintable(action));
        }
        QCOMPARE(f.exitCode.has_value(), exits);
        QCOMPARE(Page()->isVisible(), pageShown);
        if (action == "cmdPrev") {
            // A fresh discovery fills the node page.
            QVERIFY(W().frmConnect->isVisible());
            QVERIFY(Ctl<QLineEdit>(W().frmConnect, "txtMacDirect")->text().startsWith(kLocal));
        }
        if (exits) {
            QCOMPARE(*f.exitCode, 0);
        }
        if (action == "cmdHelp") {
            QVERIFY(f.dialogs.boxes.isEmpty());
            QVERIFY(!W().frmConnect->isVisible());
        }
    }
};

QTEST_MAIN(SetAllTest)
#include "test_setall.moc"
