// The set-all page: several nodes given the same network settings in one
// action, request by request on the password network.
#include <QFocusEvent>

#include "support/PasswordNetwork.h"

static QLineEdit* Field(const char* name) {
    return Ctl<QLineEdit>(W().frmSetAll, name);
}

static void TypeSettings(const QString& id, const QString& key, const QString& password) {
    QTest::keyClicks(Field("txtId"), id);
    QTest::keyClicks(Field("txtKey"), key);
    QTest::keyClicks(Field("txtPw1"), password);
    QTest::keyClicks(Field("txtPw2"), password);
}

class SetAllTest : public QObject {
    Q_OBJECT

private slots:
    // The key needs an identifier, the retyped password a password; the two
    // passwords are compared when the focus leaves the second.
    void fieldRules() {
        Fixture f;
        QVERIFY(f.start());
        Fixture::show(W().frmSetAll);
        TypeSettings("Net", "Key", "pw");
        Field("txtId")->clear();
        Field("txtPw1")->clear();
        QVERIFY(Field("txtKey")->text().isEmpty() && !Field("txtKey")->isEnabled() &&
                !Field("txtPw2")->isEnabled());
        TypeSettings("Net", "Key", "pw");
        Field("txtPw2")->setText("pW");
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Field("txtPw2"), &out);
        QCOMPARE(f.dialogs.describe(), Resolved("[1|Kaldor Config Tool] {errPwMistake}"));
        QVERIFY(Field("txtPw1")->text().isEmpty() && Field("txtPw2")->text().isEmpty() &&
                !Field("txtPw2")->isEnabled() && W().frmSetAll->focusWidget() == Field("txtPw1"));
    }

    // The garage, the attic, then the connected node that the others are
    // reached through: each is sent the settings with the node password, then
    // checked with the new password (or the node password) for the new
    // network. A node that kept its old network fails, and so does the last
    // node, unchecked, after it; the last is sent its settings once more. A
    // new discovery follows.
    void setAll_data() {
        Cols<QString, bool, QString, L, qint64, QString>(
            {"answer", "stubborn", "password", "requests", "waited", "boxes"});
        // clang-format off
        const QString pw = " NEWPASSWORD=newpass", ok = "[4|Kaldor Config Tool] {errSetAllOK}",
                      set = "NET_ID_STR=NewNet ENCRYPT_KEY_STR=HomeKey-2024 NOTCHES=Amateur";
        const auto post = [&](const QString& n, QString more) { return Req("POST", n, kDeskPw, set + more); };
        const L posts{post(kGarage, ""), post(kAttic, ""), post(kLocal, "")},
            checks{Check(kGarage), Check(kAttic), Check(kLocal)},
            again{posts[0], posts[2], checks[0], posts[2]},
            thrice = L(3, post(kGarage, pw)) + L(3, post(kAttic, pw)) + L(3, post(kLocal, pw)),
            newChecks{Check(kGarage, "newpass"), Check(kAttic, "newpass"), Check(kLocal, "newpass")};
        Row("accepted at once", "0", false, "", posts + checks, qint64(3000 + 12000 + 3000), ok);
        Row("new password, answered 3 and retried", "3", false, "newpass", thrice + newChecks,
            qint64(9000 + 12000 + 3000), ok);
        Row("garage keeps its old network", "0", true, "",
            posts + checks.mid(0, 2) + L{posts[2]} + again + again + L{posts[2]},
            qint64(17000 + 15000 + 15000), "[2|{errSaving}] {errConfiguring}'Garage'");
        // clang-format on
    }
    void setAll() {
        Fixture f;
        f.writeWorkFile("alias.tmp", (kGarage + "=Garage\r\n").toUtf8());
        QVERIFY(f.start());
        DiscoverPasswordNetwork(f);
        SelectNodes(f, {kLocal, kGarage, kAttic});
        f.click(W().frmConnect, "cmdConfigMac");
        QVERIFY2(W().frmSetAll->isVisible(), qPrintable(f.dialogs.describe()));
        TakeRequests(f);
        f.sim({"network-change-answer", Cell("answer")});
        f.sim({"settle-time", "900"});  // shorter than the pause after each request
        if (Cell<bool>("stubborn")) {   // the garage goes back to its old network while it settles
            InstallWait([](int milliseconds) {
                Fixture::pass(milliseconds);
                if (milliseconds == 12000) {
                    SetParameters(*Fixture::latest, "garage", {"NET_ID_STR=KaldorHome"});
                }
            });
        }
        TypeSettings("NewNet", "HomeKey-2024", Cell("password"));
        Ctl<QComboBox>(W().frmSetAll, "cboNotches")->setCurrentText("Amateur");
        f.click(W().frmSetAll, "cmdAutoConf");
        const L requests = Cell<L>("requests") + L{Walk(kLocal, kDeskPw)};
        QCOMPARE(TakeRequests(f).mid(0, requests.size()), requests);
        QCOMPARE(f.dialogs.describe(), Resolved(Cell("boxes")));
        QCOMPARE(Fixture::waited, Cell<qint64>("waited"));
        for (const QString& mac : {kLocal, kGarage, kAttic}) {
            QCOMPARE(SimNode(f, mac).params.value("NET_ID_STR"),
                     mac == kGarage && Cell<bool>("stubborn") ? "KaldorHome" : "NewNet");
            QCOMPARE(SimNode(f, mac).password,
                     Cell("password").isEmpty() ? kDeskPw : Cell("password"));
        }
        QVERIFY(ShownPage() == W().frmConnect && W().frmSetAll->isEnabled());
    }
};

QTEST_MAIN(SetAllTest)
#include "test_setall.moc"
