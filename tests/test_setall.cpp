// The set-all page: several nodes given the same network settings in one
// action, request by request on the password network.
#include <QFocusEvent>
#include <QLabel>
#include <QListWidget>

#include "support/PasswordNetwork.h"

static QLineEdit* Field(const char* name) {
    return Ctl<QLineEdit>(W().frmSetAll, name);
}

// Types the identifier, the key, the password and the retyped password.
static void TypeSettings(const L& texts) {
    for (int i = 0; i < 4; ++i)
        QTest::keyClicks(Field(std::array{"txtId", "txtKey", "txtPw1", "txtPw2"}[i]), texts[i]);
}

// Discovers the password network and opens the set-all page for the local
// node, the garage and, unless it has a password of its own, the attic. The
// attic is the last node the walk asks, so its own password is the last one
// typed at a prompt.
static void OpenSetAll(Fixture& f, const QString& atticPw = QString()) {
    f.writeWorkFile("alias.tmp", (kGarage + "=Garage\r\n").toUtf8());
    QVERIFY(f.start());
    UsePasswordNetwork(f);
    f.sim({"password", "attic", atticPw.isEmpty() ? kDeskPw : atticPw});
    ScriptPrompts(f, atticPw.isEmpty() ? kWalkTyped : kWalkTyped + L{atticPw});
    f.click(W().frmBegin, "cmdNext");
    QCOMPARE(f.nodeLines().size(), 6);
    SelectNodes(f, atticPw.isEmpty() ? L{kLocal, kGarage, kAttic} : L{kLocal, kGarage});
    f.click(W().frmConnect, "cmdConfigMac");
    QVERIFY2(W().frmSetAll->isVisible(), qPrintable(f.dialogs.describe()));
    f.dialogs.boxes.clear();
    f.dialogs.modals.clear();
    TakeRequests(f);
}

class SetAllTest : public QObject {
    Q_OBJECT

private slots:
    // The key needs an identifier, the retyped password a password. Two
    // passwords that differ are told and emptied when the focus leaves the
    // second box for another field, and Start refuses them, also when the
    // click on it takes the focus from that box: nothing is sent.
    void fieldRules_data() {
        Cols<QString>({"leave"});
        Row("tab to the next field", "tab");
        Row("Start clicked", "click");
        Row("Start pressed from the retyped box", "mouse");
    }
    void fieldRules() {
        Fixture f;
        OpenSetAll(f);
        TypeSettings({"Net", "Key", "pw", "pw"});
        Field("txtId")->clear();
        Field("txtPw1")->clear();
        QVERIFY(Field("txtKey")->text().isEmpty() && !Field("txtKey")->isEnabled() &&
                !Field("txtPw2")->isEnabled());
        TypeSettings({"Net", "Key", "pw", "pW"});
        if (Cell("leave") == "tab") {
            QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
            QCoreApplication::sendEvent(Field("txtPw2"), &out);
        } else if (Cell("leave") == "click") {
            f.click(W().frmSetAll, "cmdAutoConf");
        } else {
            W().assistant->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), W().assistant);
            Field("txtPw2")->setFocus();
            QVERIFY(Field("txtPw2")->hasFocus());
            QTest::mouseClick(Ctl<QPushButton>(W().frmSetAll, "cmdAutoConf"), Qt::LeftButton);
        }
        QCOMPARE(f.dialogs.describe(), Resolved("[1|Kaldor Config Tool] {errPwMistake}"));
        QVERIFY(Field("txtPw1")->text().isEmpty() && Field("txtPw2")->text().isEmpty() &&
                !Field("txtPw2")->isEnabled() && W().frmSetAll->focusWidget() == Field("txtPw1"));
        QCOMPARE(TakeRequests(f), L());
        QVERIFY(ShownPage() == W().frmSetAll && W().frmSetAll->isEnabled());
    }

    // The garage, the attic, then the connected node that the others are
    // reached through: the page lists them, each is sent the settings with
    // the password they all accepted, then checked with the new password (or
    // that one) for the new network. The notch list starts on the connected
    // node's setting. A node that kept its old network fails, and so does the
    // last node, unchecked, after it; the last is sent its settings once more.
    // A new discovery follows, with the new password once every node took it.
    void setAll_data() {
        Cols<QString, bool, QString, QString, QString, L, qint64, QString>(
            {"answer", "stubborn", "password", "notch", "atticPw", "requests", "waited", "boxes"});
        // clang-format off
        const QString pw = " NEWPASSWORD=newpass", ok = "[0|Kaldor Config Tool] {errSetAllOK}";
        const auto post = [](const QString& n, const QString& notch, const QString& more = "") {
            return Req("POST", n, kDeskPw, "NET_ID_STR=NewNet ENCRYPT_KEY_STR=HomeKey-2024 NOTCHES=" + notch +
                                               more);
        };
        const auto each = [&](const QString& notch, const QString& more = "", int times = 1) {
            return L(times, post(kGarage, notch, more)) + L(times, post(kAttic, notch, more)) +
                   L(times, post(kLocal, notch, more));
        };
        const L posts = each("Disabled"), checks{Check(kGarage), Check(kAttic), Check(kLocal)},
            again{posts[0], posts[2], checks[0], posts[2]},
            newChecks{Check(kGarage, "newpass"), Check(kAttic, "newpass"), Check(kLocal, "newpass")};
        Row("accepted at once", "0", false, "", "Amateur+Broadcast", "",
            each("Amateur+Broadcast") + checks, qint64(3000 + 12000 + 3000), ok);
        Row("new password, answered 3 and retried, notches untouched", "3", false, "newpass", "", "",
            each("Amateur", pw, 3) + newChecks, qint64(9000 + 12000 + 3000), ok);
        Row("garage keeps its old network", "0", true, "", "Disabled", "",
            posts + checks.mid(0, 2) + L{posts[2]} + again + again + L{posts[2]},
            qint64(17000 + 15000 + 15000), "[2|{errSaving}] {errConfiguring}'Garage'");
        Row("the attic, asked last, has its own password", "0", false, "", "", "attic-2024",
            L{post(kGarage, "Amateur"), post(kLocal, "Amateur"), Check(kGarage), Check(kLocal)},
            qint64(2000 + 12000 + 2000), ok);
        // clang-format on
    }
    void setAll() {
        Fixture f;
        const QString atticPw = Cell("atticPw"), password = Cell("password");
        OpenSetAll(f, atticPw);
        L listed;
        for (auto* item :
             Ctl<QListWidget>(W().frmSetAll, "lstSetAllNodes")->findItems("", Qt::MatchContains))
            listed << item->text();
        const QString garage = "Garage (" + kGarage + ")";
        QCOMPARE(listed, atticPw.isEmpty() ? L({garage, kAttic, kLocal}) : L({garage, kLocal}));
        QCOMPARE(Ctl<QLabel>(W().frmSetAll, "lblSetAllNodes")->text(),
                 Resolved("{lblSetAllNodes}"));
        auto* notches = Ctl<QComboBox>(W().frmSetAll, "cboNotches");
        QCOMPARE(notches->currentText(), "Amateur");
        f.sim({"network-change-answer", Cell("answer")});
        f.sim({"settle-time", "900"});  // shorter than the pause after each request
        if (Cell<bool>("stubborn")) {   // the garage goes back to its old network while it settles
            InstallWait([](int milliseconds) {
                Fixture::pass(milliseconds);
                if (milliseconds == 12000)
                    SetParameters(*Fixture::latest, "garage", {"NET_ID_STR=KaldorHome"});
            });
        }
        TypeSettings({"NewNet", "HomeKey-2024", password, password});
        if (!Cell("notch").isEmpty())
            notches->setCurrentText(Cell("notch"));
        f.click(W().frmSetAll, "cmdAutoConf");
        const L requests =
            Cell<L>("requests") + L{Walk(kLocal, password.isEmpty() ? kDeskPw : password)};
        QCOMPARE(TakeRequests(f).mid(0, requests.size()), requests);
        QCOMPARE(f.dialogs.describe(), Resolved(Cell("boxes")));
        QCOMPARE(Fixture::waited, Cell<qint64>("waited"));
        // The discovery that follows knows the connected node's password.
        QVERIFY2(!f.dialogs.modals.join(' ').contains(kLocal),
                 qPrintable(f.dialogs.modals.join(' ')));
        for (const QString& mac : {kLocal, kGarage, kAttic}) {
            const bool left = mac == kAttic && !atticPw.isEmpty();
            const kaldorsim::Node node = SimNode(f, mac);
            QCOMPARE(node.params.value("NET_ID_STR"),
                     left || (mac == kGarage && Cell<bool>("stubborn")) ? "KaldorHome" : "NewNet");
            QCOMPARE(node.params.value("NOTCHES"),
                     left || Cell("notch").isEmpty() ? "Amateur" : Cell("notch"));
            QCOMPARE(node.password, left ? atticPw : password.isEmpty() ? kDeskPw : password);
        }
        QVERIFY(ShownPage() == W().frmConnect && W().frmSetAll->isEnabled());
    }
};

QTEST_MAIN(SetAllTest)
#include "test_setall.moc"
