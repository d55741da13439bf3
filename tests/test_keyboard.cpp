// Every page with the keyboard alone: Tab walks the controls in reading
// order, each control has a name a screen reader can say, and Return presses
// the default button.
#include <QAccessible>
#include <QKeySequence>
#include <QListWidget>
#include <QStackedWidget>

#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/DemoNetwork.h"

class KeyboardTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
        f->dialogs.typePassword("");
        f->click(W().frmBegin, "cmdNext");  // fills the node page
        // The advanced window is always loaded before it shows.
        Session().SelectedMac = "020A1B000002";
        Session().NodePassword = "kaldor";
        f->click(W().frmEnd, "cmdAdvanced");
        W().frmConfigAdv->hide();
    }
    void cleanup() { f.reset(); }

    // Every page, the prompt and each panel of the advanced window.
    void tabOrderAndNames_data() {
        Cols<QString, int>({"window", "panel"});  // panel: the advanced window's panel shown
        for (const char* name : {"frmBegin", "frmConnect", "frmAdvanced", "frmConfig", "frmEnd",
                                 "frmAskPw", "frmSetAll"})
            Row(name, name, 1);
        for (int panel : {1, 2, 3, 4, 5, 6, 8, 9, 10})
            QTest::addRow("frmConfigAdv panel %d", panel) << QString("frmConfigAdv") << panel;
    }
    void tabOrderAndNames() {
        QWidget* w = WindowNamed(Cell("window"));
        Ctl<QStackedWidget>(W().frmConfigAdv, "stkPanels")
            ->setCurrentWidget(
                Ctl(W().frmConfigAdv, qPrintable(QString("picFrame_%1").arg(Cell<int>("panel")))));
        Fixture::show(w);
        // The controls Tab reaches, each with a name a screen reader says.
        QList<QWidget*> chain;
        for (QWidget* c = w->nextInFocusChain(); c != w; c = c->nextInFocusChain()) {
            if (c->isVisible() && c->isEnabled() && (c->focusPolicy() & Qt::TabFocus) &&
                w->isAncestorOf(c) && !c->focusProxy()) {
                QAccessibleInterface* named = QAccessible::queryAccessibleInterface(c);
                QVERIFY2(named && !named->text(QAccessible::Name).trimmed().isEmpty(),
                         qPrintable(c->objectName()));
                chain << c;
            }
        }
        QVERIFY(chain.size() >= 2);
        for (qsizetype i = 1; i < chain.size(); ++i) {
            const QPoint a = chain[i - 1]->mapTo(w, chain[i - 1]->rect().center());
            const QPoint b = chain[i]->mapTo(w, chain[i]->rect().center());
            QVERIFY2(b.y() > a.y() + 8 || (qAbs(b.y() - a.y()) <= 8 && b.x() > a.x()),
                     qPrintable(chain[i - 1]->objectName() + " before " + chain[i]->objectName()));
        }
    }

    // The node page's rules follow the selection however the keyboard moves
    // it: on the list or on the connected node's box, Ctrl held as a row says.
    // No keys: a screen reader toggling the second entry through the list's
    // accessible cells, which does not make it current.
    void nodeSelection_data() {
        Cols<QString, QString, L, bool, bool, QString>(
            {"control", "keys", "selected", "next", "advanced", "selectedMac"});
        // clang-format off
        Row("Down: the first entry", "lstMac", "Down", L{kOffice}, true, true, kOffice);
        Row("onto another network", "lstMac", "Down, Down, Down", L(), false, false, kLab);
        Row("back to the network", "lstMac", "Down, Down, Down, Up", L{kGarage}, true, true, kGarage);
        Row("Shift+Down: two entries", "lstMac", "Down, Shift+Down", L{kOffice, kGarage}, true, true, kGarage);
        Row("Ctrl+Space adds an entry", "lstMac", "Down, Ctrl+Down, Ctrl+Space", L{kOffice, kGarage}, true, false, kOffice);
        Row("Ctrl+Space takes the entry back", "lstMac", "Down, Ctrl+Space", L(), false, false, kOffice);
        Row("Space on the connected node", "txtMacDirect", "Space", L(), true, true, kLocal);
        Row("screen reader", "lstMac", "", L{kGarage}, true, true, kGarage);
        // clang-format on
    }
    void nodeSelection() {
        Fixture::show(W().frmConnect);
        auto* list = Ctl<QListWidget>(W().frmConnect, "lstMac");
        QWidget* target = Ctl(W().frmConnect, qPrintable(Cell("control")));
        target->setFocus();
        const QKeySequence keys(Cell("keys"));
        for (int i = 0; i < keys.count(); ++i) {
            const bool ctrl = keys[i].keyboardModifiers() & Qt::ControlModifier;
            ctrl ? QTest::keyPress(target, Qt::Key_Control) : void();
            QTest::keyClick(target, keys[i].key(), keys[i].keyboardModifiers());
            ctrl ? QTest::keyRelease(target, Qt::Key_Control, Qt::ControlModifier) : void();
        }
        if (keys.isEmpty()) {
            QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
            QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 0);
            cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        }
        QStringList macs;
        for (QListWidgetItem* item : list->selectedItems())
            macs << item->text().left(12);
        QCOMPARE(macs, Cell<QStringList>("selected"));
        QCOMPARE(Ctl(W().frmConnect, "cmdConfigMac")->isEnabled(), Cell<bool>("next"));
        QCOMPARE(Ctl(W().frmConnect, "cmdQuickAdv")->isEnabled(), Cell<bool>("advanced"));
        QCOMPARE(Session().SelectedMac, Cell("selectedMac"));
    }

    // Help opens the guide of the catalogue's language at the page's section:
    // Spanish for the Spanish catalogue, English for any other and when the
    // Spanish guide is gone; a message when no guide is there or no browser
    // shows it. The section's anchor is read from the guide file opened.
    void helpOpensGuide_data() {
        Cols<QString, QString, L, bool, L, QString, QString>(
            {"page", "catalogue", "removed", "opens", "url", "box", "arg"});
        // clang-format off
        const QString en = "guide/en/index.html#", es = "guide/es/index.html#", box = "[1|Kaldor Config Tool] ";
        Row("basic, English", "frmConfig", "english.lng", L(), true, L{en + "basic-configuration"}, "", "");
        Row("set-all, Spanish", "frmSetAll", "spanish.lng", L(), true, L{es + "set-all"}, "", "");
        Row("end, another catalogue", "frmEnd", "own.lng", L(), true, L{en + "end-page"}, "", "");
        Row("loader, Spanish", "frmAdvanced", "spanish.lng", L(), true, L{es + "loader-page"}, "", "");
        Row("Spanish guide gone", "frmSetAll", "spanish.lng", L{"guide/es"}, true, L{en + "set-all"}, "", "");
        Row("no guide", "frmConfig", "spanish.lng", L{"guide"}, true, L(), box + "{errGuideMissing}", "guide");
        Row("no browser", "frmEnd", "spanish.lng", L(), false, L{es + "end-page"}, box + "{errGuideOpen}",
            "guide/es/index.html");
        // clang-format on
    }
    void helpOpensGuide() {
        f->writeWorkFile("languages/own.lng", f->readWorkFile("languages/english.lng"));
        f->writeWorkFile("languages/default.lang", Cell("catalogue").toUtf8() + "\r\n");
        for (const QString& removed : Cell<L>("removed"))
            QVERIFY(QDir(f->workFile(removed)).removeRecursively());
        f->dialogs.documentOpens = Cell<bool>("opens");
        Fixture::show(WindowNamed(Cell("page")));
        f->click(WindowNamed(Cell("page")), "cmdHelp");
        const QString box =
            Cell("box").isEmpty() ? "" : Resolved(Cell("box")).arg(f->workFile(Cell("arg")));
        QCOMPARE(f->dialogs.describe(), box);
        QStringList opened;  // each as its last three path parts and anchor
        for (const QUrl& url : f->dialogs.openedUrls) {
            QFile guide(url.toLocalFile());
            const QByteArray anchor = "id=\"" + url.fragment().toUtf8() + '"';
            const bool found = guide.open(QIODevice::ReadOnly) && guide.readAll().contains(anchor);
            opened << url.toLocalFile().section('/', -3) + '#' + url.fragment() +
                          (found ? "" : " no anchor");
        }
        QCOMPARE(opened, Cell<L>("url"));
    }

    // From the welcome page to the end page with keys alone, each typed on
    // whatever control has the focus.
    void wizardByKeyboardAlone() {
        Fixture::show(W().frmBegin);
        W().assistant->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(W().assistant));
        // The desktop's activation arrives through the event loop, as a
        // person's next key would.
        const auto type = [](Qt::Key key) {
            QTRY_VERIFY2(QApplication::focusWidget(), "no control has the focus");
            QTest::keyClick(QApplication::focusWidget(), key);
        };
        f->dialogs.typePassword("");
        type(Qt::Key_Return);
        QCOMPARE(ShownPage(), W().frmConnect);
        QWidget* list = Ctl(W().frmConnect, "lstMac");
        for (int i = 0; i < 20 && !list->hasFocus(); ++i)
            type(Qt::Key_Tab);
        QTRY_VERIFY(list->hasFocus());
        type(Qt::Key_Space);  // the entry the focus came to
        type(Qt::Key_Return);
        QCOMPARE(ShownPage(), W().frmConfig);
        QCOMPARE(Session().SelectedMac, kOffice);
        type(Qt::Key_Return);
        QCOMPARE(ShownPage(), W().frmEnd);
        QVERIFY2(f->dialogs.boxes.isEmpty(), qPrintable(f->dialogs.describe()));
    }
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
