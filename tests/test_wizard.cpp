// The wizard as a user walks it: the node page, the basic configuration page,
// the end page and the password prompt, against the simulated network.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "discovery/Discovery.h"
#include "lang/Catalogue.h"
#include "support/Fixture.h"
#include "wizard/frmConfig.h"

namespace {
const QString kLocal = "020A1B000001";
const QString kOffice = "020A1B000002";
const QString kGarage = "020A1B000003";
const QString kLab = "020A1B000004";
const QString kNeighbour = "020A1B000005";
const QString kStudy = "020A1B000007";

QLineEdit* Field(QWidget* window, const char* name) {
    return Ctl<QLineEdit>(window, name);
}
}  // namespace

class WizardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    // Discovery from the welcome page; the study's password prompt is left
    // empty unless a script for it is queued first.
    void discover() {
        f->dialogs.typePassword("");
        f->click(W().frmBegin, "cmdNext");
        QCOMPARE(f->nodeLines().size(), 6);
        f->dialogs.modalCount = 0;
    }

    void openNode(const QString& mac) {
        if (mac == kLocal) {
            f->clickNodeBox();
        } else {
            f->clickNodeEntry(f->rowOf(mac));
        }
        f->click(W().frmConnect, "cmdConfigMac");
    }

    QString simShow(const QString& node) { return f->sim({"show", node}); }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() { f.reset(); }

    // Welcome, Next, choose a remote node, change its identifier and alias,
    // Save: the end page shows and the node is in its new network.
    void configureOneNode() {
        f->writeWorkFile("alias.tmp", (kOffice + "=Office\r\n").toUtf8());
        discover();
        openNode(kOffice);
        QWidget* config = W().frmConfig;
        QVERIFY2(config->isVisible(), qPrintable(f->dialogs.describe()));
        QVERIFY(!W().frmConnect->isVisible());
        QVERIFY(!Ctl<QLabel>(config, "lblVersion2")->text().isEmpty());
        QCOMPARE(Field(config, "txtId")->text(), "KaldorHome");
        QCOMPARE(Field(config, "txtKey")->text(), "HomeKey-2024");
        QCOMPARE(Field(config, "txtAlias")->text(), "Office");
        QVERIFY(Ctl<QRadioButton>(config, "optAP")->isChecked() ||
                Ctl<QRadioButton>(config, "optEnd")->isChecked());
        Field(config, "txtId")->setText("UpstairsNet");
        Field(config, "txtAlias")->setText("Upstairs");
        f->click(config, "cmdSave");
        QVERIFY2(W().frmEnd->isVisible(), qPrintable(f->dialogs.describe()));
        QVERIFY(!config->isVisible());
        QCOMPARE(Fixture::waited, 6000);
        QVERIFY(simShow("office").contains("UpstairsNet"));
        QCOMPARE(f->readWorkFile("alias.tmp"), (kOffice + "=Upstairs\r\n").toUtf8());
        QCOMPARE(f->readWorkFile("post.cfg"),
                 ("POST " + kOffice +
                  "\r\n.PASSWORD=kaldor\r\nNET_ID_STR=UpstairsNet\r\n"
                  "ENCRYPT_KEY_STR=HomeKey-2024\r\nNODE_TYPE=" +
                  (Ctl<QRadioButton>(config, "optAP")->isChecked() ? "AP" : "EP") + "\r\n")
                     .toUtf8());
        // Back to the list: a fresh discovery shows the office in its network.
        f->click(W().frmEnd, "cmdSave");
        QVERIFY(W().frmConnect->isVisible());
        QCOMPARE(f->nodeLines()[f->rowOf(kOffice)], NodeLine(kOffice, "UpstairsNet", "Upstairs"));
    }

    void basicRequestLines_data() {
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QByteArray>("tail");
        QTest::newRow("no password, AP") << ""
                                         << "AP" << QByteArray("NODE_TYPE=AP\r\n");
        QTest::newRow("no type") << ""
                                 << "" << QByteArray("NODE_TYPE=\r\n");
        QTest::newRow("new password, EP")
            << "fresh-pw"
            << "EP" << QByteArray("NEWPASSWORD=fresh-pw\r\nNODE_TYPE=EP\r\n");
    }
    void basicRequestLines() {
        QFETCH(QString, newPassword);
        QFETCH(QString, type);
        QFETCH(QByteArray, tail);
        Session().SelectedMac = kOffice;
        Session().NodePassword = "pw";
        auto* config = static_cast<frmConfig*>(W().frmConfig);
        Field(config, "txtId")->setText("Id");
        Field(config, "txtKey")->setText("Key");
        Field(config, "txtPw2")->setText(newPassword);
        config->passwordChanged = !newPassword.isEmpty();
        Ctl<QRadioButton>(config, "optAP")->setChecked(type == "AP");
        Ctl<QRadioButton>(config, "optEnd")->setChecked(type == "EP");
        QVERIFY(config->WriteBasicConfigRequest());
        QCOMPARE(f->readWorkFile("post.cfg"), "POST " + kOffice.toUtf8() +
                                                  "\r\n.PASSWORD=pw\r\nNET_ID_STR=Id\r\n"
                                                  "ENCRYPT_KEY_STR=Key\r\n" +
                                                  tail);
    }

    void savingOutcomes_data() {
        QTest::addColumn<QString>("fault");  // simulator fault on the office
        QTest::addColumn<QString>("newId");
        QTest::addColumn<bool>("toEndPage");
        QTest::newRow("refused password") << "refusePassword"
                                          << "KaldorHome" << false;
        QTest::newRow("silent node") << "noAnswer"
                                     << "KaldorHome" << false;
        QTest::newRow("network moved answers 3") << ""
                                                 << "Elsewhere" << true;
    }
    void savingOutcomes() {
        QFETCH(QString, fault);
        QFETCH(QString, newId);
        QFETCH(bool, toEndPage);
        discover();
        openNode(kOffice);
        if (!fault.isEmpty()) {
            f->sim({"fault", "office", fault, "on"});
        }
        Field(W().frmConfig, "txtId")->setText(newId);
        Field(W().frmConfig, "txtAlias")->setText("Kept");
        f->click(W().frmConfig, "cmdSave");
        QCOMPARE(W().frmEnd->isVisible(), toEndPage);
        QCOMPARE(W().frmConfig->isVisible(), !toEndPage);
        QVERIFY(W().frmConfig->isEnabled());
        QVERIFY(!W().frmMessage->isVisible());
        QVERIFY(f->readWorkFile("alias.tmp").contains("=Kept"));
        if (!toEndPage) {
            QCOMPARE(f->dialogs.boxes.size(), 1);
            QCOMPARE(f->dialogs.boxes[0].title, Session().errSaving);
            QCOMPARE(f->dialogs.boxes[0].icon, MsgIcon::Exclamation);
            QCOMPARE(f->dialogs.boxes[0].text, f->readWorkFile("ihcp_client.tmp").split('\r')[0]);
        }
    }

    void passwordsMustMatch() {
        discover();
        openNode(kOffice);
        Field(W().frmConfig, "txtPw1")->setText("one");
        QVERIFY(Field(W().frmConfig, "txtPw2")->isEnabled());
        Field(W().frmConfig, "txtPw2")->setText("two");
        f->click(W().frmConfig, "cmdSave");
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].text, Session().errPwMistake);
        QCOMPARE(f->dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY(Field(W().frmConfig, "txtPw1")->text().isEmpty());
        QVERIFY(!Field(W().frmConfig, "txtPw2")->isEnabled());
        QVERIFY(!QFile::exists(f->workFile("post.cfg")));
    }

    void emptyIdDisablesKeyAndType() {
        discover();
        openNode(kOffice);
        Field(W().frmConfig, "txtId")->clear();
        QVERIFY(Field(W().frmConfig, "txtKey")->text().isEmpty());
        QVERIFY(!Field(W().frmConfig, "txtKey")->isEnabled());
        QVERIFY(!Ctl(W().frmConfig, "optAP")->isEnabled());
        Field(W().frmConfig, "txtId")->setText("x");
        QVERIFY(Field(W().frmConfig, "txtKey")->isEnabled());
        QVERIFY(Ctl(W().frmConfig, "optEnd")->isEnabled());
    }

    // A new password for the local node becomes the one the assistant uses,
    // and going back then discovers the network again with it.
    void localPasswordChangeThenReturn() {
        discover();
        openNode(kLocal);
        Field(W().frmConfig, "txtPw1")->setText("new-local");
        Field(W().frmConfig, "txtPw2")->setText("new-local");
        f->click(W().frmConfig, "cmdSave");
        QVERIFY2(W().frmEnd->isVisible(), qPrintable(f->dialogs.describe()));
        QCOMPARE(Session().LocalPassword, "new-local");
        QCOMPARE(Session().NodePassword, "new-local");
        f->click(W().frmEnd, "cmdReturn");
        QVERIFY(W().frmConfig->isVisible());
        f->dialogs.typePassword("");
        f->click(W().frmConfig, "cmdReturn");
        QVERIFY(W().frmConnect->isVisible());
        QCOMPARE(f->dialogs.modalCount, 1);  // only the study asks
        QCOMPARE(f->nodeLines().size(), 6);
    }

    void returnWithoutPasswordChange() {
        discover();
        openNode(kOffice);
        f->click(W().frmConfig, "cmdReturn");
        QVERIFY(W().frmConnect->isVisible());
        QVERIFY(!Ctl(W().frmConnect, "cmdConfigMac")->isEnabled());
        QCOMPARE(f->nodeLines().size(), 6);
    }

    // A node with its own password: the default and the local password are
    // refused, a wrong typed one brings the prompt back without a message.
    void nodeWithItsOwnPassword() {
        discover();
        f->dialogs.typePassword("wrong");
        f->dialogs.typePassword("study-2024");
        openNode(kStudy);
        QCOMPARE(f->dialogs.modalCount, 2);
        QVERIFY(f->dialogs.boxes.isEmpty());
        QVERIFY(W().frmConfig->isVisible());
        QCOMPARE(Session().NodePassword, "study-2024");
        QCOMPARE(Ctl<QLabel>(W().frmAskPw, "lblAskPw")->text(), GetText("lblAskPw") + " " + kStudy);
    }

    void emptyPromptReturnsToNodePage() {
        discover();
        f->dialogs.typePassword("");
        openNode(kStudy);
        QVERIFY(W().frmConnect->isVisible());
        QVERIFY(W().frmConnect->isEnabled());
        QVERIFY(!W().frmConfig->isVisible());
        QVERIFY(!W().frmMessage->isVisible());
    }

    void silentNodeOnNext() {
        discover();
        f->sim({"fault", "garage", "noAnswer", "on"});
        openNode(kGarage);
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].text, GetText("errNoKey"));
        QCOMPARE(f->dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QVERIFY(W().frmConnect->isVisible());
    }

    void localNodeSilentAfterRefusalGoesToLoaderPage() {
        discover();
        f->sim({"password", "local", "changed"});
        f->dialogs.modalScripts.append([this](QDialog* dialog) {
            f->sim({"fault", "local", "noAnswer", "on"});
            Ctl<QLineEdit>(dialog, "txtAskPw")->setText("whatever");
            Ctl<QPushButton>(dialog, "cmdOk")->click();
        });
        openNode(kLocal);
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].text, Session().errPwError);
        QVERIFY(W().frmAdvanced->isVisible());
        QVERIFY(!W().frmConnect->isVisible());
        QVERIFY(Session().DiscoveryFailed);
    }

    // The way out when the local node refuses its known password: the prompt,
    // and an empty answer returns to the node page.
    void localNodeRefusesKnownPassword() {
        discover();
        f->sim({"password", "local", "changed"});
        f->dialogs.typePassword("");
        openNode(kLocal);
        QCOMPARE(f->dialogs.modalCount, 1);
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].icon, MsgIcon::Stop);
        QVERIFY(W().frmConnect->isVisible());
        QVERIFY(W().frmConnect->isEnabled());
        f->dialogs.typePassword("changed");
        openNode(kLocal);
        QVERIFY(W().frmConfig->isVisible());
        QCOMPARE(Session().LocalPassword, "changed");
    }

    void selectionRules() {
        discover();
        QWidget* page = W().frmConnect;
        auto* next = Ctl<QPushButton>(page, "cmdConfigMac");
        f->clickNodeEntry(f->rowOf(kNeighbour));
        QVERIFY(!next->isEnabled());
        QVERIFY(!Ctl(page, "cmdQuickAdv")->isEnabled());
        QCOMPARE(Ctl<QListWidget>(page, "lstMac")->selectedItems().size(), 0);
        f->clickNodeBox();
        QVERIFY(next->isEnabled());
        QVERIFY(Ctl(page, "cmdFactoryReset")->isVisible());
        QCOMPARE(Session().SelectedMac, kLocal);
        f->clickNodeEntry(f->rowOf(kOffice), true);
        f->clickNodeEntry(f->rowOf(kGarage), true);
        QCOMPARE(next->text(), GetText("cmdSetAll"));
        QVERIFY(!Ctl(page, "cmdFactoryReset")->isVisible());
        f->clickNodeEntry(f->rowOf(kLab), true);  // another network: dropped
        QCOMPARE(static_cast<int>(Ctl<QListWidget>(page, "lstMac")->selectedItems().size()), 2);
        f->clickNodeBox(true);
        f->clickNodeEntry(f->rowOf(kGarage), true);
        QCOMPARE(next->text(), GetText("cmdNext"));
        f->clickNodeEntry(f->rowOf(kOffice));
        QCOMPARE(Session().SelectedMac, kOffice);
        QVERIFY(next->isEnabled());
    }

    void severalNodes_data() {
        QTest::addColumn<bool>("withBox");
        QTest::addColumn<QString>("refusing");
        QTest::addColumn<QString>("message");  // empty: the set-all page opens
        QTest::newRow("prepared") << true << ""
                                  << "";
        QTest::newRow("one refuses") << true << "garage"
                                     << "errNotSamePwd";
        QTest::newRow("without the local node") << false << ""
                                                << "errSetAllLocal";
    }
    void severalNodes() {
        QFETCH(bool, withBox);
        QFETCH(QString, refusing);
        QFETCH(QString, message);
        discover();
        if (!refusing.isEmpty()) {
            f->sim({"fault", refusing, "refusePassword", "on"});
        }
        if (withBox) {
            f->clickNodeBox();
        }
        f->clickNodeEntry(f->rowOf(kOffice), withBox);
        f->clickNodeEntry(f->rowOf(kGarage), true);
        f->click(W().frmConnect, "cmdConfigMac");
        if (message.isEmpty()) {
            QVERIFY2(W().frmSetAll->isVisible(), qPrintable(f->dialogs.describe()));
            QVERIFY(!W().frmConnect->isVisible());
            auto* notches = Ctl<QComboBox>(W().frmSetAll, "cboNotches");
            QVERIFY(notches->count() > 0);
            QCOMPARE(notches->currentIndex(), 0);
            QVERIFY(!Ctl(W().frmSetAll, "txtPw2")->isEnabled());
            QVERIFY(f->dialogs.boxes.isEmpty());
        } else {
            QCOMPARE(f->dialogs.boxes.size(), 1);
            QCOMPARE(f->dialogs.boxes[0].text, GetText(message));
            QCOMPARE(f->dialogs.boxes[0].icon, MsgIcon::Exclamation);
            QVERIFY(W().frmConnect->isVisible());
            QVERIFY(W().frmConnect->isEnabled());
        }
        QVERIFY(!W().frmMessage->isVisible());
    }

    void endPageActions() {
        discover();
        openNode(kOffice);
        f->click(W().frmConfig, "cmdSave");
        QVERIFY(W().frmEnd->isVisible());
        f->click(W().frmEnd, "cmdAdvanced");
        QVERIFY(W().frmConfigAdv->isVisible());
        QVERIFY(!W().frmEnd->isVisible());
        QVERIFY(!W().frmConnect->isVisible());
        auto* list = Ctl<QListWidget>(W().frmConfigAdv, "lstConfig");
        QCOMPARE(list->item(0)->text(), "INFO");
        QVERIFY(list->count() > 20);
        W().frmConfigAdv->hide();
        W().frmEnd->show();
        f->sim({"fault", "office", "noAnswer", "on"});
        f->click(W().frmEnd, "cmdAdvanced");
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].title, kAppTitle);
        QVERIFY(W().frmEnd->isVisible());
        QVERIFY(W().frmEnd->isEnabled());
        f->click(W().frmEnd, "cmdFinish");
        QCOMPARE(f->exitCode, 0);
    }

    void closingEndPageExits() {
        W().frmEnd->show();
        W().frmEnd->close();
        QCOMPARE(f->exitCode, 0);
    }

    void passwordPrompt() {
        auto* prompt = W().frmAskPw;
        auto* text = Field(prompt, "txtAskPw");
        auto* ok = Ctl<QPushButton>(prompt, "cmdOk");
        text->clear();
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(text, "x");
        QVERIFY(ok->isEnabled());
        QTest::keyClick(text, Qt::Key_Backspace);
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(text, QString(25, 'a'));
        QCOMPARE(text->text().size(), 20);
        QCOMPARE(text->echoMode(), QLineEdit::Password);
        Ctl<QPushButton>(prompt, "cmdReturn")->click();
        QVERIFY(text->text().isEmpty());
        prompt->show();
        QTest::keyClicks(text, "typed");
        prompt->close();
        QVERIFY(text->text().isEmpty());
    }
};

QTEST_MAIN(WizardTest)
#include "test_wizard.moc"
