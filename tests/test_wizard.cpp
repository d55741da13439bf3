// The wizard as a user walks it on the password network: opening nodes from
// the node page request by request, the basic configuration page, the end
// page and the password prompt.
#include <QRadioButton>

#include "support/PasswordNetwork.h"

static QString Open(const QString& node, const QString& password) {
    return Req("GET", node, password, "VER NET_ID_STR ENCRYPT_KEY_STR NODE_TYPE");
}

static QLineEdit* Field(const char* name) {
    return Ctl<QLineEdit>(W().frmConfig, name);
}

class WizardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    void open(const QString& mac) {
        SelectNodes(*f, {mac});
        f->click(W().frmConnect, "cmdConfigMac");
        TakeRequests(*f);
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
        f->writeWorkFile("alias.tmp", (kStudy + "=Study\r\n").toUtf8());
        DiscoverPasswordNetwork(*f);
    }
    void cleanup() { f.reset(); }

    // A remote node is tried with the default password, then the local
    // node's, then typed ones; the local node with its known password. Several
    // nodes (the lab of another network is dropped from the selection) are
    // checked with the local node's password and must report its network. A
    // Ctrl-click on the connected-node box adds it to the selection or takes
    // it out. The prompts name the node by its alias and MAC. Refresh starts
    // with the local node's known password; when the node has gone back to the
    // default, the default is kept in its place and tried first on the others.
    // Sim: simulator commands separated by ";".
    void openNodePage_data() {
        Cols<L, QString, L, L, L, L, QString>(
            {"macs", "button", "sim", "typed", "requests", "boxes", "page"});
        // clang-format off
        const QString next = "cmdConfigMac", adv = "cmdQuickAdv", tool = "|Kaldor Config Tool] ",
            missing = "[1|{errLoadConf}] {errMissingParams} ";
        const L none, typed{"wrong", kStudyPw}, moved{"password", "local", "new"}, silent{"silent:new"},
            pwError{"[2" + tool + "{errPwError}"}, notSame{"[1" + tool + "{errNotSamePwd}"},
            study{Open(kStudy, kDefaultPw), Open(kStudy, kDeskPw), Open(kStudy, "wrong"),
                  Open(kStudy, kStudyPw)}, office{Open(kOffice, kDefaultPw), Open(kOffice, kDeskPw)},
            local{Open(kLocal, kDeskPw), Open(kLocal, kDeskPw), Open(kLocal, "new")},
            garage{Open(kGarage, kDefaultPw), Open(kGarage, kDeskPw)},
            backToDefault{"password", "local", kDefaultPw, ";", "hear", "local", "study", ";", "hear", "study", "local"},
            refreshed{Walk(kLocal, kDeskPw), Walk(kLocal, kDefaultPw), Walk(kStudy, kDefaultPw), Walk(kStudy, kDefaultPw),
                      Walk(kStudy, kStudyPw)},
            several{kGarage, kLab, kAttic, kLocal}, checks{Check(kGarage), Check(kAttic)},
            notches{Req("GET", kLocal, kDeskPw, "NOTCHES NET_ID_STR ENCRYPT_KEY_STR NOTCHES_OPTIONS")},
            noLocal{"[1" + tool + "{errSetAllLocal}"}, elsewhere{"set", "attic", "NET_ID_STR", "Elsewhere"};
        // A response cut after its "INFO" line: the keys a page uses are told missing in one box,
        // titled as a failed read, and the page opens with what the node did send.
        const auto cut = [](const char* node) { return L{"fault", node, "truncateAt", "6"}; };
        Row("Next, typed after two", L{kStudy}, next, none, typed, study, none, "frmConfig");
        Row("Advanced, typed after two", L{kStudy}, adv, none, typed, study + L{Req("GET", kStudy, kStudyPw)},
            pwError, "frmConfigAdv");
        Row("Next, the local node's password, INFO alone", L{kGarage}, next, cut("garage"), none, garage,
            L{missing + "VER, NET_ID_STR, ENCRYPT_KEY_STR, NODE_TYPE"}, "frmConfig");
        Row("Next, prompt left empty", L{kOffice}, next, none, L{""}, office, none, "frmConnect");
        Row("Advanced, prompt left empty", L{kOffice}, adv, none, L{"x", ""}, office + L{Open(kOffice, "x")},
            pwError, "frmConnect");
        Row("Advanced, the local node", L{kLocal}, adv, none, none, L{local[0], Req("GET", kLocal, kDeskPw)},
            none, "frmConfigAdv");
        Row("Next, local password changed", L{kLocal}, next, moved, L{"new"}, local, pwError, "frmConfig");
        Row("Next, local falls silent", L{kLocal}, next, moved, silent, local, pwError, "frmAdvanced");
        Row("box Ctrl-clicked in, INFO alone", several, next, cut("local"), none, checks + notches,
            L{missing + "NOTCHES_OPTIONS, NOTCHES"}, "frmSetAll");
        Row("several, a check answered INFO alone", L{kLocal, kGarage}, next, cut("garage"), none,
            L{Check(kGarage)}, notSame, "frmConnect");
        Row("several, one of another network", several, next, elsewhere, none, checks, notSame, "frmConnect");
        Row("several, one with its own password", L{kLocal, kGarage, kStudy}, next, none, none,
            L{Check(kGarage), Check(kStudy)}, notSame, "frmConnect");
        Row("Refresh, the local node back on the default", L{kStudy}, "cmdRefresh", backToDefault, L{kStudyPw},
            refreshed, none, "frmConnect");
        Row("box Ctrl-clicked out", L{kLocal} + several, next, none, none, checks, noLocal, "frmConnect");
        // clang-format on
    }
    void openNodePage() {
        const QStringList macs = Cell<L>("macs");
        for (const QString& command : Cell<L>("sim").join(' ').split(" ; ", Qt::SkipEmptyParts))
            f->sim(command.split(' '));
        ScriptPrompts(*f, Cell<L>("typed"));
        SelectNodes(*f, macs);
        // Reset only for the local node alone; several nodes make Next set-all.
        QCOMPARE(Ctl(W().frmConnect, "cmdFactoryReset")->isVisible(), macs == L{kLocal});
        QCOMPARE(Ctl<QPushButton>(W().frmConnect, "cmdConfigMac")->text(),
                 Resolved(macs.size() > 1 ? "{cmdSetAll}" : "{cmdNext}"));
        f->dialogs.modals.clear();
        f->click(W().frmConnect, qPrintable(Cell("button")));
        QCOMPARE(TakeRequests(*f), Cell<L>("requests"));
        const QString name = macs[0] == kStudy ? "Study (" + kStudy + ")" : macs[0];
        QCOMPARE(f->dialogs.modals,
                 L(Cell<L>("typed").size(), Resolved("[{frmAskPw}] {lblAskPw} ") + name));
        QCOMPARE(f->dialogs.describe(), Resolved(Cell<L>("boxes")).join('\n'));
        QCOMPARE(W().frmConfigAdv->isVisible() ? "frmConfigAdv" : ShownPage()->objectName(),
                 Cell("page"));
        QVERIFY(W().frmConnect->isEnabled() && !W().frmMessage->isVisible());
        QCOMPARE(Session().DiscoveryFailed, Cell("page") == "frmAdvanced");
    }

    // Saving the garage's settings: the request (its settings after the
    // identifier and key; none sent when empty), what the node keeps, the page
    // that follows. Box: the node's refusal, or the assistant's own.
    void saveBasicSettings_data() {
        Cols<L, QString, QString, QString, QString, QString, QString>(
            {"sim", "id", "password", "confirm", "type", "request", "box"});
        // clang-format off
        Row("new identifier, access point", L(), "UpstairsNet", "", "", "optAP", "NODE_TYPE=AP", "");
        Row("password, end point", L(), "KaldorHome", "pw", "pw", "optEnd", "NEWPASSWORD=pw NODE_TYPE=EP", "");
        Row("no type, identifier refused", L{"set", "garage", "NODE_TYPE", "Other"}, "Else,where", "", "", "",
            "NODE_TYPE=", "[1|{errSaving}] ERROR: NET_ID_STR must not contain the character ,");
        Row("passwords differ", L(), "Elsewhere", "a", "b", "", "", "[1|Kaldor Config Tool] {errPwMistake}");
        // clang-format on
    }
    void saveBasicSettings() {
        f->sim(Cell<L>("sim"));
        open(kGarage);
        Field("txtId")->setText(Cell("id"));
        Field("txtAlias")->setText("Upstairs");
        Field("txtPw1")->setText(Cell("password"));
        Field("txtPw2")->setText(Cell("confirm"));
        if (auto* type = W().frmConfig->findChild<QRadioButton*>(Cell("type")))
            type->setChecked(true);
        f->click(W().frmConfig, "cmdSave");
        const bool sent = !Cell("request").isEmpty(), saved = Cell("box").isEmpty();
        const QString request =
            "NET_ID_STR=" + Cell("id") + " ENCRYPT_KEY_STR=HomeKey-2024 " + Cell("request");
        QCOMPARE(TakeRequests(*f), sent ? L{Req("POST", kGarage, kDeskPw, request)} : L());
        QCOMPARE(ShownPage(), saved ? W().frmEnd : W().frmConfig);
        QCOMPARE(Fixture::waited, qint64(sent ? 6000 : 0));
        QCOMPARE(f->dialogs.describe(), Resolved(Cell("box")));
        const kaldorsim::Node garage = SimNode(*f, kGarage);
        QCOMPARE(L({garage.params.value("NET_ID_STR"), garage.password}),
                 L({saved ? Cell("id") : "KaldorHome",
                    saved && sent && !Cell("password").isEmpty() ? Cell("password") : kDeskPw}));
    }

    // Back from the configuration page after a new password for the local
    // node: the network is discovered again with it.
    void returnAfterNewLocalPassword() {
        open(kLocal);
        Field("txtPw1")->setText("new-local");
        Field("txtPw2")->setText("new-local");
        f->click(W().frmConfig, "cmdSave");
        f->click(W().frmEnd, "cmdReturn");
        QCOMPARE(ShownPage(), W().frmConfig);
        f->click(W().frmConfig, "cmdReturn");
        QCOMPARE(TakeRequests(*f).filter("PLC_CONNECTION").value(0), Walk(kLocal, "new-local"));
        QCOMPARE(ShownPage(), W().frmConnect);
    }

    // Without an identifier, no key and no node type. The prompt's Ok only
    // with a password, of at most 20 hidden characters; Cancel empties it.
    void fieldRules() {
        open(kGarage);
        Field("txtId")->clear();
        QVERIFY(Field("txtKey")->text().isEmpty() && !Field("txtKey")->isEnabled() &&
                !Ctl(W().frmConfig, "optAP")->isEnabled() &&
                !Ctl(W().frmConfig, "optEnd")->isEnabled());
        Field("txtId")->setText("x");
        QVERIFY(Field("txtKey")->isEnabled() && Ctl(W().frmConfig, "optEnd")->isEnabled());
        auto* text = Ctl<QLineEdit>(W().frmAskPw, "txtAskPw");
        text->clear();
        QVERIFY(!Ctl(W().frmAskPw, "cmdOk")->isEnabled());
        QTest::keyClicks(text, QString(25, 'a'));
        QVERIFY(Ctl(W().frmAskPw, "cmdOk")->isEnabled() && text->echoMode() == QLineEdit::Password);
        QCOMPARE(text->text().size(), 20);
        Ctl<QPushButton>(W().frmAskPw, "cmdReturn")->click();
        QVERIFY(text->text().isEmpty());
    }
};

QTEST_MAIN(WizardTest)
#include "test_wizard.moc"
