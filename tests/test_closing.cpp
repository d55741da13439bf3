// Every way to close a window from its title bar: a page ends the program
// through its exit, the advanced window returns to the end page, and while
// an operation runs nothing closes and the program shows it is busy.
#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <QtTest>

#include "support/DemoNetwork.h"
#include "test_advanced_helpers.h"
#include "ui/BusyOperation.h"

using advtest::Adv;

namespace {

const QByteArray kAliases = "020A1B000002=Office\r\n";

// What a close attempt found while the operation ran.
struct Attempt {
    bool tried = false;
    bool closed = false;
    bool busyCursor = false;
    bool windowEnabled = true;
    bool statusShown = false;
};

// Tries to close the window at the first moment the event loop runs, which
// is while the operation's tool runs.
void CloseDuringOperation(QWidget* window, Attempt& attempt) {
    QTimer::singleShot(0, window, [window, &attempt] {
        attempt.tried = BusyOperation::running();
        attempt.closed = window->close();
        const QCursor* cursor = QApplication::overrideCursor();
        attempt.busyCursor = cursor && cursor->shape() == Qt::WaitCursor;
        attempt.statusShown = W().frmMessage->isVisible();
        attempt.windowEnabled = ShownPage() ? ShownPage()->isEnabled() : Adv()->isEnabled();
    });
}

}  // namespace

class ClosingTest : public QObject {
    Q_OBJECT

private slots:
    // Closing the assistant window on a page runs the page's exit: the work
    // files that hold passwords go, the alias file stays. The advanced
    // window's close returns to the end page instead.
    void closeWhenIdle_data() {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("exits");
        QTest::addColumn<QString>("shownAfter");  // the page on screen afterwards
        QTest::newRow("welcome page") << "frmBegin" << true << "";
        QTest::newRow("node page") << "frmConnect" << true << "";
        QTest::newRow("loader page") << "frmAdvanced" << true << "";
        QTest::newRow("basic configuration") << "frmConfig" << true << "";
        QTest::newRow("end page") << "frmEnd" << true << "";
        QTest::newRow("set-all page") << "frmSetAll" << true << "";
        QTest::newRow("advanced window") << "frmConfigAdv" << false << "frmEnd";
    }
    void closeWhenIdle() {
        QFETCH(QString, page);
        QFETCH(bool, exits);
        QFETCH(QString, shownAfter);
        Fixture f;
        f.writeWorkFile("alias.tmp", kAliases);
        OPEN_ADVANCED(f, advtest::kLocal);
        f.writeWorkFile("post.cfg", "POST 020A1B000001\r\n.PASSWORD=secret\r\n");
        if (page == "frmConfigAdv") {
            QVERIFY(Adv()->close());
        } else {
            Adv()->hide();
            QWidget* shown = nullptr;
            for (QWidget* w : AllWindows(W())) {
                shown = w->objectName() == page ? w : shown;
            }
            Fixture::show(shown);
            W().assistant->close();
        }
        QCOMPARE(f.exitCode, exits ? std::optional<int>(0) : std::nullopt);
        QCOMPARE(QFile::exists(f.workFile("post.cfg")), !exits);
        QCOMPARE(QFile::exists(f.workFile("get.cfg")), !exits);
        QCOMPARE(f.readWorkFile("alias.tmp"), kAliases);
        QCOMPARE(ShownPage() ? ShownPage()->objectName() : QString(), shownAfter);
        QCOMPARE(Adv()->isVisible(), false);
    }

    // While an operation's tool runs, closing its window, the assistant
    // window or the status window is refused; the operation ends as it would
    // have, with its window enabled again.
    void closeRefusedWhileBusy_data() {
        QTest::addColumn<QString>("closed");  // the window closed meanwhile
        QTest::addColumn<QString>("button");  // the advanced window's button that runs
        QTest::newRow("advanced window during Refresh") << "frmConfigAdv"
                                                        << "cmdRefresh";
        QTest::newRow("advanced window during an update") << "frmConfigAdv"
                                                          << "CmdUpdateIGMP";
        QTest::newRow("status window during Refresh") << "frmMessage"
                                                      << "cmdRefresh";
        QTest::newRow("assistant window behind it") << "assistant"
                                                    << "cmdRefresh";
    }
    void closeRefusedWhileBusy() {
        QFETCH(QString, closed);
        QFETCH(QString, button);
        Fixture f;
        OPEN_ADVANCED(f, advtest::kLocal);
        QWidget* window = closed == "frmConfigAdv" ? W().frmConfigAdv
                          : closed == "frmMessage" ? W().frmMessage
                                                   : W().assistant;
        Attempt attempt;
        CloseDuringOperation(window, attempt);
        f.click(Adv(), qPrintable(button));
        QVERIFY(attempt.tried);
        QCOMPARE(attempt.closed, false);
        QCOMPARE(attempt.busyCursor, true);
        QCOMPARE(attempt.statusShown, true);
        QCOMPARE(attempt.windowEnabled, false);
        QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
        QVERIFY(Adv()->isVisible() && Adv()->isEnabled());
        QCOMPARE(ShownPage(), nullptr);  // the end page waits behind the window
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(!W().frmMessage->isVisible());
        QVERIFY(!f.exitCode);
    }

    // The loader page's title bar during a layer-2 upgrade: the server is
    // neither stopped nor taken for done; the upgrade ends with the node's
    // own answer and the program goes on.
    void loaderUpgradeNotCut() {
        Fixture f;
        f.sim({"time-scale", "0"});
        f.sim({"loader", "local", "on"});
        QVERIFY(f.start());
        f.click(W().frmBegin, "cmdNext");
        QCOMPARE(ShownPage(), W().frmAdvanced);
        Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->setCurrentIndex(1);
        f.dialogs.chosenFiles << f.workFile("new firmware.img");
        f.sim({"image", f.workFile("new firmware.img"), "KPL-510A", "3.2.0", "valid"});
        f.dialogs.boxes.clear();
        Attempt attempt;
        CloseDuringOperation(W().assistant, attempt);
        f.click(W().frmAdvanced, "cmdUpgrade");
        QVERIFY(attempt.tried);
        QCOMPARE(attempt.closed, false);
        QVERIFY(!f.exitCode);
        QCOMPARE(f.readWorkFile("winl2fwserver.tmp").left(2), QByteArray("0 "));
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Information);
        QCOMPARE(ShownPage(), W().frmAdvanced);
        QVERIFY(W().frmAdvanced->isEnabled());
    }
};

QTEST_MAIN(ClosingTest)
#include "test_closing.moc"
