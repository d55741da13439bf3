// Every page with the keyboard alone: Tab walks the controls in reading
// order, each control has a name a screen reader can say, Return presses the
// default button and Escape cancels the password prompt.
#include <QAccessible>
#include <QLineEdit>
#include <QStackedWidget>
#include <QtTest>

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
        W().frmConnect->hide();
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
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
