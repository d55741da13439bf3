// The wizard as a user walks it: the node page, the basic configuration page,
// the end page and the password prompt, against the simulated network.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "discovery/Discovery.h"
#include "support/Boxes.h"
#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/DemoNetwork.h"
#include "support/Fixture.h"
#include "support/PromptScripts.h"

class WizardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    static QLineEdit* Field(QWidget* w, const char* name) { return Ctl<QLineEdit>(w, name); }

    // Discovery from the welcome page; the study's prompt is left empty.
    void discover() {
        f->dialogs.typePassword("");
        f->click(W().frmBegin, "cmdNext");
        QCOMPARE(f->nodeLines().size(), 6);
        f->dialogs.modalCount = 0;
    }

    // Selects the nodes as a user would, the local one through its box and
    // holding Ctrl from the second on, then presses Next.
    void openNode(const QStringList& macs) {
        for (int i = 0; i < macs.size(); ++i) {
            if (macs[i] == kLocal) {
                f->clickNodeBox(i > 0);
            } else {
                f->clickNodeEntry(f->rowOf(macs[i]), i > 0);
            }
        }
        f->click(W().frmConnect, "cmdConfigMac");
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() { f.reset(); }

    // Saving the office's settings: the request (its lines after the key), what
    // the node keeps, the page that follows. The simulator changes the node
    // "before" discovery or "after" its page opens; box "@" is the response.
    void saveBasicSettings_data() {
        Columns({"before", "after", "id", "password", "confirm", "type", "request", "box"});
        Row("new identifier, access point: network moved", "", "", "UpstairsNet", "", "", "AP",
            "NODE_TYPE=AP", "");
        Row("new password, end point: accepted", "", "", "KaldorHome", "fresh-pw", "fresh-pw", "EP",
            "NEWPASSWORD=fresh-pw|NODE_TYPE=EP", "");
        Row("node without a type", "set|office|NODE_TYPE|Other", "", "Elsewhere", "", "", "",
            "NODE_TYPE=", "@");
        Row("refused password", "", "fault|office|refusePassword|on", "Elsewhere", "", "", "",
            "NODE_TYPE=EP", "@");
        Row("passwords differ", "", "", "Elsewhere", "one", "two", "", "", "{errPwMistake}");
        Row("line break typed", "", "", "Else\nwhere", "", "", "", "", "{errLineBreak}");
    }
    void saveBasicSettings() {
        RunSim(*f, Cell("before"));
        discover();
        openNode({kOffice});
        QWidget* config = W().frmConfig;
        QVERIFY2(config->isVisible(), qPrintable(f->dialogs.describe()));
        RunSim(*f, Cell("after"));
        Field(config, "txtId")->setText(Cell("id"));
        Field(config, "txtAlias")->setText("Upstairs");
        Field(config, "txtPw1")->setText(Cell("password"));
        Field(config, "txtPw2")->setText(Cell("confirm"));
        if (!Cell("type").isEmpty()) {
            Ctl<QRadioButton>(config, Cell("type") == "AP" ? "optAP" : "optEnd")->setChecked(true);
        }
        f->click(config, "cmdSave");
        const QStringList request = Parts(Cell("request"));
        const bool saved = Cell("box").isEmpty();
        QCOMPARE(W().frmEnd->isVisible(), saved);
        QCOMPARE(config->isVisible(), !saved);
        QVERIFY(config->isEnabled() && !W().frmMessage->isVisible());
        QCOMPARE(Fixture::waited, request.isEmpty() ? 0 : 6000);
        const QString header = "POST " + kOffice +
                               "\r\n.PASSWORD=kaldor\r\nNET_ID_STR=" + Cell("id") +
                               "\r\nENCRYPT_KEY_STR=HomeKey-2024\r\n";
        QCOMPARE(QString::fromUtf8(f->readWorkFile("post.cfg")),
                 request.isEmpty() ? QString() : header + request.join("\r\n") + "\r\n");
        const QString node = f->sim({"show", "office"});
        QCOMPARE(node.contains("NET_ID_STR=" + Cell("id") + "\n"), saved);
        const QString password = saved && !Cell("password").isEmpty() ? Cell("password") : "kaldor";
        QVERIFY(node.contains("password " + password + ","));
        if (!saved) {
            const bool fromNode = Cell("box") == "@";
            const QString response = QString::fromUtf8(f->readWorkFile("ihcp_client.tmp"));
            QCOMPARE(BoxTexts(f->dialogs),
                     QStringList{fromNode ? response.section('\r', 0, 0) : Resolved(Cell("box"))});
            QCOMPARE(f->dialogs.boxes[0].title, fromNode ? Session().errSaving : kAppTitle);
            return;
        }
        QVERIFY(f->dialogs.boxes.isEmpty());
        QCOMPARE(f->readWorkFile("alias.tmp"), (kOffice + "=Upstairs\r\n").toUtf8());
        // A fresh discovery shows the office as it is now.
        f->click(W().frmEnd, "cmdSave");
        QCOMPARE(f->nodeLines()[f->rowOf(kOffice)], NodeLine(kOffice, Cell("id"), "Upstairs"));
    }

    void fieldRules() {
        discover();
        openNode({kOffice});
        QWidget* config = W().frmConfig;
        Field(config, "txtPw1")->setText("one");
        QVERIFY(Field(config, "txtPw2")->isEnabled());
        f->click(config, "cmdSave");  // the confirmation differs: both emptied, one locked
        QVERIFY(Field(config, "txtPw1")->text().isEmpty() && !Field(config, "txtPw2")->isEnabled());
        Field(config, "txtId")->clear();  // without an identifier, no key and no type
        QVERIFY(Field(config, "txtKey")->text().isEmpty() && !Field(config, "txtKey")->isEnabled());
        QVERIFY(!Ctl(config, "optAP")->isEnabled() && !Ctl(config, "optEnd")->isEnabled());
        Field(config, "txtId")->setText("x");
        QVERIFY(Field(config, "txtKey")->isEnabled() && Ctl(config, "optEnd")->isEnabled());
    }

    // Opening nodes ("|" between several): passwords tried and prompted, and
    // where the user lands. A typed "silent:" password unplugs the local node
    // while the prompt is open.
    void openNodePage_data() {
        Columns({"macs", "sim", "typed", "box", "page", "password"});
        QTest::addColumn<int>("prompts");
        Row("own password, typed wrong first", kStudy, "", "wrong|study-2024", "", "frmConfig",
            "study-2024", 2);
        Row("prompt left empty", kStudy, "", "", "", "frmConnect", "", 1);
        Row("silent node", kGarage, "fault|garage|noAnswer|on", "", "{errNoKey}", "frmConnect", "",
            0);
        Row("local node refuses, prompt left empty", kLocal, "password|local|changed", "",
            "{errPwError}", "frmConnect", "", 1);
        Row("local node refuses, password typed", kLocal, "password|local|changed", "changed",
            "{errPwError}", "frmConfig", "changed", 1);
        Row("local node refuses, then falls silent", kLocal, "password|local|changed",
            "silent:whatever", "{errPwError}", "frmAdvanced", "", 1);
        Row("several with the local node", kLocal + "|" + kOffice + "|" + kGarage, "", "", "",
            "frmSetAll", "", 0);
        Row("several, one refuses", kLocal + "|" + kOffice + "|" + kGarage,
            "fault|garage|refusePassword|on", "", "{errNotSamePwd}", "frmConnect", "", 0);
        Row("several without the local node", kOffice + "|" + kGarage, "", "", "{errSetAllLocal}",
            "frmConnect", "", 0);
    }
    void openNodePage() {
        discover();
        RunSim(*f, Cell("sim"));
        ScriptPrompts(*f, Parts(Cell("typed")));
        openNode(Parts(Cell("macs")));
        QCOMPARE(f->dialogs.modalCount, Cell<int>("prompts"));
        QCOMPARE(BoxTexts(f->dialogs), Resolved(Parts(Cell("box"))));
        const Windows& w = W();
        for (QWidget* page : {w.frmConfig, w.frmConnect, w.frmAdvanced, w.frmSetAll}) {
            QCOMPARE(page->isVisible(), page->objectName() == Cell("page"));
        }
        QVERIFY(w.frmConnect->isEnabled() && !w.frmMessage->isVisible());
        QCOMPARE(Session().DiscoveryFailed, Cell("page") == "frmAdvanced");
        const bool opened = Cell("page") == "frmConfig";
        if (opened) {
            QCOMPARE(Session().NodePassword, Cell("password"));
        }
        QCOMPARE(Session().LocalPassword,
                 Cell("macs") == kLocal && opened ? Cell("password") : "kaldor");
        if (w.frmSetAll->isVisible()) {  // the page opens with its fields reset
            QCOMPARE(Ctl<QComboBox>(w.frmSetAll, "cboNotches")->currentIndex(), 0);
            QVERIFY(!Ctl(w.frmSetAll, "txtPw2")->isEnabled());
        }
    }

    // Back from the configuration page: a new local password is used from then
    // on to discover the network again; otherwise the list stays as it was.
    void returnToNodePage_data() {
        Columns({"mac", "password"});
        QTest::addColumn<int>("prompts");
        Row("local node, new password", kLocal, "new-local", 1);
        Row("office, no new password", kOffice, "", 0);
    }
    void returnToNodePage() {
        const QString password = Cell("password");
        discover();
        openNode({Cell("mac")});
        Field(W().frmConfig, "txtPw1")->setText(password);
        Field(W().frmConfig, "txtPw2")->setText(password);
        f->click(W().frmConfig, "cmdSave");
        f->click(W().frmEnd, "cmdReturn");
        QVERIFY(W().frmConfig->isVisible());
        const QString used = password.isEmpty() ? "kaldor" : password;
        QCOMPARE(Session().LocalPassword + Session().NodePassword, used + used);
        f->click(W().frmConfig, "cmdReturn");
        QVERIFY(W().frmConnect->isVisible() && !Ctl(W().frmConnect, "cmdConfigMac")->isEnabled());
        QCOMPARE(f->dialogs.modalCount, Cell<int>("prompts"));  // the study's, when discovering
        QCOMPARE(f->nodeLines().size(), 6);
    }

    void selectionRules() {
        discover();
        QWidget* page = W().frmConnect;
        auto* next = Ctl<QPushButton>(page, "cmdConfigMac");
        auto* list = Ctl<QListWidget>(page, "lstMac");
        f->clickNodeEntry(f->rowOf(kNeighbour));  // a foreign network: not selectable
        QVERIFY(!next->isEnabled() && !Ctl(page, "cmdQuickAdv")->isEnabled());
        QCOMPARE(list->selectedItems().size(), 0);
        f->clickNodeBox();
        QVERIFY(next->isEnabled() && Ctl(page, "cmdFactoryReset")->isVisible());
        QCOMPARE(Session().SelectedMac, kLocal);
        f->clickNodeEntry(f->rowOf(kOffice), true);
        f->clickNodeEntry(f->rowOf(kGarage), true);
        QCOMPARE(next->text(), Resolved("{cmdSetAll}"));
        QVERIFY(!Ctl(page, "cmdFactoryReset")->isVisible());
        f->clickNodeEntry(f->rowOf(kLab), true);  // another network: dropped
        QCOMPARE(list->selectedItems().size(), 2);
        f->clickNodeBox(true);
        f->clickNodeEntry(f->rowOf(kGarage), true);
        QCOMPARE(next->text(), Resolved("{cmdNext}"));
        f->clickNodeEntry(f->rowOf(kOffice));
        QCOMPARE(Session().SelectedMac, kOffice);
        QVERIFY(next->isEnabled());
    }

    // The end page's Finish button and its window frame both end the program.
    void endPageExits_data() {
        Columns({"button"});
        Row("Finish", "cmdFinish");
        Row("window closed", "");
    }
    void endPageExits() {
        Fixture::show(W().frmEnd);
        if (Cell("button").isEmpty()) {
            W().assistant->close();
        } else {
            f->click(W().frmEnd, qPrintable(Cell("button")));
        }
        QCOMPARE(f->exitCode, 0);
    }

    // Ok only with a password, of at most 20 hidden characters; Cancel
    // empties the field.
    void passwordPrompt() {
        auto* prompt = W().frmAskPw;
        auto* text = Field(prompt, "txtAskPw");
        QVERIFY(!Ctl(prompt, "cmdOk")->isEnabled());
        QTest::keyClicks(text, QString(25, 'a'));
        QVERIFY(Ctl(prompt, "cmdOk")->isEnabled());
        QCOMPARE(text->text().size(), 20);
        QCOMPARE(text->echoMode(), QLineEdit::Password);
        Ctl<QPushButton>(prompt, "cmdReturn")->click();
        QVERIFY(text->text().isEmpty());
    }
};

QTEST_MAIN(WizardTest)
#include "test_wizard.moc"
