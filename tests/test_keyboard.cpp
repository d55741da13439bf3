// Every page with the keyboard alone: Tab walks the controls in reading
// order, each control has a name a screen reader can say, Return presses the
// default button and Escape cancels the password prompt.
#include <QAccessible>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QtTest>

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

    void tabOrderAndNames_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("panel");  // advanced window's panel, or 0
        for (const char* name : {"frmBegin", "frmConnect", "frmAdvanced", "frmConfig", "frmEnd",
                                 "frmAskPw", "frmSetAll"}) {
            QTest::newRow(name) << QString(name) << 0;
        }
        for (int panel : {1, 2, 3, 4, 5, 6, 8, 9, 10}) {
            QTest::addRow("frmConfigAdv panel %d", panel) << QString("frmConfigAdv") << panel;
        }
    }
    void tabOrderAndNames() {
        QFETCH(QString, window);
        QFETCH(int, panel);
        QWidget* w = nullptr;
        for (QWidget* candidate : AllWindows(W())) {
            if (candidate->objectName() == window) {
                w = candidate;
            }
        }
        QVERIFY(w);
        if (panel) {
            auto* panels = Ctl<QStackedWidget>(w, "stkPanels");
            panels->setCurrentWidget(Ctl(w, qPrintable(QString("picFrame_%1").arg(panel))));
        }
        Fixture::show(w);
        const QList<QWidget*> chain = TabChain(w);
        QVERIFY(chain.size() >= 2);
        QStringList unnamed;
        for (QWidget* control : chain) {
            if (AccessibleName(control).trimmed().isEmpty()) {
                unnamed << control->objectName();
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(' ')));
        for (qsizetype i = 1; i < chain.size(); ++i) {
            const QRect a(chain[i - 1]->mapTo(w, QPoint()), chain[i - 1]->size());
            const QRect b(chain[i]->mapTo(w, QPoint()), chain[i]->size());
            const bool below = b.center().y() > a.center().y() + 8;
            const bool rightInRow =
                qAbs(b.center().y() - a.center().y()) <= 8 && b.center().x() > a.center().x();
            QVERIFY2(below || rightInRow,
                     qPrintable(chain[i - 1]->objectName() + " before " + chain[i]->objectName()));
        }
    }

    void returnPressesDefaultButton() {
        Fixture::waited = 0;
        Fixture::show(W().frmBegin);
        f->dialogs.typePassword("");
        W().assistant->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(W().assistant));
        QTRY_VERIFY(W().assistant->isActiveWindow());
        QTest::keyClick(W().frmBegin, Qt::Key_Return);
        QCOMPARE(ShownPage(), W().frmConnect);
    }

    void escapeCancelsPrompt() {
        QWidget* prompt = W().frmAskPw;
        prompt->show();
        auto* text = Ctl<QLineEdit>(prompt, "txtAskPw");
        QTest::keyClicks(text, "secret");
        QTest::keyClick(text, Qt::Key_Escape);
        QVERIFY(!prompt->isVisible());
        QVERIFY(text->text().isEmpty());
    }

    // The node page's rules follow the selection however the keyboard moves
    // it: on the list or on the connected node's box, Ctrl held as a row says.
    void nodeSelectionByKeyboard_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<int>>("keys");  // key combinations, in order
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<bool>("next");
        QTest::addColumn<bool>("advanced");
        QTest::addColumn<QString>("selectedMac");
        const int down = Qt::Key_Down, up = Qt::Key_Up;
        const int ctrlDown = (Qt::ControlModifier | Qt::Key_Down).toCombined();
        const int ctrlSpace = (Qt::ControlModifier | Qt::Key_Space).toCombined();
        const int shiftDown = (Qt::ShiftModifier | Qt::Key_Down).toCombined();
        QTest::newRow("Down: the first entry")
            << "lstMac" << QList<int>{down} << QStringList{kOffice} << true << true << kOffice;
        QTest::newRow("End: the last entry") << "lstMac" << QList<int>{down, Qt::Key_End}
                                             << QStringList{kAttic} << true << true << kAttic;
        QTest::newRow("onto another network")
            << "lstMac" << QList<int>{down, down, down} << QStringList() << false << false << kLab;
        QTest::newRow("back to the network") << "lstMac" << QList<int>{down, down, down, up}
                                             << QStringList{kGarage} << true << true << kGarage;
        QTest::newRow("Home after End") << "lstMac" << QList<int>{down, Qt::Key_End, Qt::Key_Home}
                                        << QStringList{kOffice} << true << true << kOffice;
        QTest::newRow("Shift+Down: two entries")
            << "lstMac" << QList<int>{down, shiftDown} << QStringList{kOffice, kGarage} << true
            << true << kGarage;
        QTest::newRow("Ctrl+Space adds an entry")
            << "lstMac" << QList<int>{down, ctrlDown, ctrlSpace} << QStringList{kOffice, kGarage}
            << true << false << kOffice;
        QTest::newRow("Ctrl+Space takes the entry back")
            << "lstMac" << QList<int>{down, ctrlSpace} << QStringList() << false << false
            << kOffice;
        QTest::newRow("Space on the connected node") << "txtMacDirect" << QList<int>{Qt::Key_Space}
                                                     << QStringList() << true << true << kLocal;
    }
    void nodeSelectionByKeyboard() {
        QFETCH(QString, control);
        QFETCH(QList<int>, keys);
        QFETCH(QStringList, selected);
        QFETCH(bool, next);
        QFETCH(bool, advanced);
        QFETCH(QString, selectedMac);
        Fixture::show(W().frmConnect);
        QWidget* target = Ctl(W().frmConnect, qPrintable(control));
        target->setFocus();
        for (int key : keys) {
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
        QCOMPARE(macs, selected);
        QCOMPARE(Ctl(W().frmConnect, "cmdConfigMac")->isEnabled(), next);
        QCOMPARE(Ctl(W().frmConnect, "cmdQuickAdv")->isEnabled(), advanced);
        QCOMPARE(Session().SelectedMac, selectedMac);
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
