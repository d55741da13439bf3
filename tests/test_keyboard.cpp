// Every page with the keyboard alone: Tab walks the controls in reading
// order, each control has a name a screen reader can say, and Return presses
// the default button.
#include <QAccessible>
#include <QListWidget>
#include <QStackedWidget>
#include <QtTest>

#include "support/DataRows.h"
#include "support/DemoNetwork.h"
#include "support/Fixture.h"

namespace {

// The controls Tab reaches, starting from the first one.
QList<QWidget*> TabChain(QWidget* window) {
    QList<QWidget*> chain;
    QWidget* w = window;
    for (int guard = 0; guard < 500; ++guard) {
        w = w->nextInFocusChain();
        if (w == window) {
            break;
        }
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
            window->isAncestorOf(w) && w->window() == window->window() && !w->focusProxy()) {
            chain.append(w);
        }
    }
    return chain;
}

QString AccessibleName(QWidget* w) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    return iface ? iface->text(QAccessible::Name) : QString();
}

}  // namespace

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
        Columns({"window"});
        QTest::addColumn<int>("panel");  // the advanced window's panel shown
        for (const char* name : {"frmBegin", "frmConnect", "frmAdvanced", "frmConfig", "frmEnd",
                                 "frmAskPw", "frmSetAll"}) {
            Row(name, name, 1);
        }
        for (int panel : {1, 2, 3, 4, 5, 6, 8, 9, 10}) {
            QTest::addRow("frmConfigAdv panel %d", panel) << QString("frmConfigAdv") << panel;
        }
    }
    void tabOrderAndNames() {
        const QList<QWidget*> all = AllWindows(W());
        QWidget* w = *std::find_if(all.begin(), all.end(),
                                   [](QWidget* c) { return c->objectName() == Cell("window"); });
        Ctl<QStackedWidget>(W().frmConfigAdv, "stkPanels")
            ->setCurrentWidget(
                Ctl(W().frmConfigAdv, qPrintable(QString("picFrame_%1").arg(Cell<int>("panel")))));
        Fixture::show(w);
        const QList<QWidget*> chain = TabChain(w);
        QVERIFY(chain.size() >= 2);
        for (QWidget* control : chain) {
            QVERIFY2(!AccessibleName(control).trimmed().isEmpty(),
                     qPrintable(control->objectName()));
        }
        for (qsizetype i = 1; i < chain.size(); ++i) {
            const QPoint a = chain[i - 1]->mapTo(w, chain[i - 1]->rect().center());
            const QPoint b = chain[i]->mapTo(w, chain[i]->rect().center());
            QVERIFY2(b.y() > a.y() + 8 || (qAbs(b.y() - a.y()) <= 8 && b.x() > a.x()),
                     qPrintable(chain[i - 1]->objectName() + " before " + chain[i]->objectName()));
        }
    }

    // The node page's rules follow the selection however the keyboard moves
    // it: on the list or on the connected node's box, Ctrl held as a row says.
    void nodeSelectionByKeyboard_data() {
        Columns({"control"});
        QTest::addColumn<QList<int>>("keys");  // key combinations, in order
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<bool>("next");
        QTest::addColumn<bool>("advanced");
        Columns({"selectedMac"});
        const int down = Qt::Key_Down,
                  ctrlSpace = (Qt::ControlModifier | Qt::Key_Space).toCombined();
        Row("Down: the first entry", "lstMac", QList<int>{down}, QStringList{kOffice}, true, true,
            kOffice);
        Row("Home after End", "lstMac", QList<int>{down, Qt::Key_End, Qt::Key_Home},
            QStringList{kOffice}, true, true, kOffice);
        Row("onto another network", "lstMac", QList<int>{down, down, down}, QStringList(), false,
            false, kLab);
        Row("back to the network", "lstMac", QList<int>{down, down, down, Qt::Key_Up},
            QStringList{kGarage}, true, true, kGarage);
        Row("Shift+Down: two entries", "lstMac",
            QList<int>{down, (Qt::ShiftModifier | Qt::Key_Down).toCombined()},
            QStringList{kOffice, kGarage}, true, true, kGarage);
        Row("Ctrl+Space adds an entry", "lstMac",
            QList<int>{down, (Qt::ControlModifier | Qt::Key_Down).toCombined(), ctrlSpace},
            QStringList{kOffice, kGarage}, true, false, kOffice);
        Row("Ctrl+Space takes the entry back", "lstMac", QList<int>{down, ctrlSpace}, QStringList(),
            false, false, kOffice);
        Row("Space on the connected node", "txtMacDirect", QList<int>{Qt::Key_Space}, QStringList(),
            true, true, kLocal);
    }
    void nodeSelectionByKeyboard() {
        Fixture::show(W().frmConnect);
        QWidget* target = Ctl(W().frmConnect, qPrintable(Cell("control")));
        target->setFocus();
        for (int key : Cell<QList<int>>("keys")) {
            const QKeyCombination combination = QKeyCombination::fromCombined(key);
            const bool ctrl = combination.keyboardModifiers() & Qt::ControlModifier;
            if (ctrl) {
                QTest::keyPress(target, Qt::Key_Control);
            }
            QTest::keyClick(target, combination.key(), combination.keyboardModifiers());
            if (ctrl) {
                QTest::keyRelease(target, Qt::Key_Control, Qt::ControlModifier);
            }
        }
        QStringList macs;
        for (QListWidgetItem* item : Ctl<QListWidget>(W().frmConnect, "lstMac")->selectedItems()) {
            macs << item->text().left(12);
        }
        QCOMPARE(macs, Cell<QStringList>("selected"));
        QCOMPARE(Ctl(W().frmConnect, "cmdConfigMac")->isEnabled(), Cell<bool>("next"));
        QCOMPARE(Ctl(W().frmConnect, "cmdQuickAdv")->isEnabled(), Cell<bool>("advanced"));
        QCOMPARE(Session().SelectedMac, Cell("selectedMac"));
    }

    // A screen reader selects an entry through the list's accessible cells,
    // without making it current: Next and Advanced follow all the same.
    void nodeSelectionByScreenReader() {
        Fixture::show(W().frmConnect);
        auto* list = Ctl<QListWidget>(W().frmConnect, "lstMac");
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list);
        QVERIFY(table && table->tableInterface());
        QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 0);
        QVERIFY(cell && cell->actionInterface());
        cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(list->selectedItems().first()->text().left(12), kGarage);
        QVERIFY(Ctl(W().frmConnect, "cmdConfigMac")->isEnabled());
        QVERIFY(Ctl(W().frmConnect, "cmdQuickAdv")->isEnabled());
        QCOMPARE(Session().SelectedMac, kGarage);
    }

    // From the welcome page to the end page with keys alone, each typed on
    // whatever control has the focus.
    void wizardByKeyboardAlone() {
        Fixture::show(W().frmBegin);
        W().assistant->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(W().assistant));
        QTRY_VERIFY(W().assistant->isActiveWindow());
        // The desktop's activation arrives through the event loop, as a
        // person's next key would.
        const auto type = [](Qt::Key key) {
            QTRY_VERIFY2(QApplication::focusWidget(), "no control has the focus");
            QTest::keyClick(QApplication::focusWidget(), key);
        };
        f->dialogs.typePassword("");
        type(Qt::Key_Return);
        QCOMPARE(ShownPage(), W().frmConnect);
        const auto focused = [] {
            const bool anyFocus =
                QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; });
            return anyFocus ? QApplication::focusWidget()->objectName() : QString();
        };
        for (int i = 0; i < 20 && focused() != "lstMac"; ++i) {
            type(Qt::Key_Tab);
        }
        QCOMPARE(focused(), "lstMac");
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
