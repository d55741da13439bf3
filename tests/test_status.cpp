// The status window and the short error dialog shared by every operation.
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "lang/Catalogue.h"
#include "support/Fixture.h"
#include "ui/Status.h"

class StatusTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() { f.reset(); }

    void progress_data() {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("value");
        QTest::newRow("1/2") << 1 << 2 << 50;
        QTest::newRow("4/5") << 4 << 5 << 80;
        QTest::newRow("1/3") << 1 << 3 << 33;
        QTest::newRow("2/3") << 2 << 3 << 66;
        QTest::newRow("12/12") << 12 << 12 << 100;
    }
    void progress() {
        QFETCH(int, k);
        QFETCH(int, n);
        QFETCH(int, value);
        auto* bar = Ctl<QProgressBar>(W().frmMessage, "barMessage");
        ShowStatus("Working", W().frmConnect);
        QCOMPARE(bar->value(), 0);
        SetProgress(k, n);
        QCOMPARE(bar->value(), value);
        SetProgressFull();
        QCOMPARE(bar->value(), 100);
    }

    // The status window stands over the middle of the window that owns it,
    // with neither a maximise button nor one to close it.
    void centredOnOwner() {
        Fixture::show(W().frmConnect);
        ShowStatus("Working", W().frmConnect);
        QWidget* status = W().frmMessage;
        const QPoint offset =
            status->frameGeometry().center() - W().assistant->frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QString("%1,%2").arg(offset.x()).arg(offset.y())));
        QVERIFY(!(status->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(status->windowFlags() & Qt::WindowCloseButtonHint));
        QVERIFY(!status->close());
        HideStatus();
    }

    void showSetHide() {
        Fixture::show(W().frmConnect);
        ShowStatus(Session().lblConnect + " 020A1B000001", W().frmConnect);
        QWidget* status = W().frmMessage;
        QVERIFY(status->isVisible());
        QVERIFY(!status->isModal());
        QCOMPARE(status->windowTitle(), GetTextOr("frmMessage", "?"));
        QCOMPARE(Ctl<QLabel>(status, "lblMessage")->text(), Session().lblConnect + " 020A1B000001");
        SetStatusMessage("second step");
        QCOMPARE(Ctl<QLabel>(status, "lblMessage")->text(), "second step");
        HideStatus();
        QVERIFY(!status->isVisible());
        QCOMPARE(Ctl<QLabel>(status, "lblMessage")->text(), "second step");
        ShowStatus("no owner", nullptr);
        QVERIFY(status->isVisible());
    }

    // Each use of the error dialog is a new dialog; its Help explains the
    // number of this use, and numbers outside 1 to 9 have no explanation.
    void errorDialog_data() {
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("one after another") << QList<int>{3, 7};
        QTest::newRow("outside the range") << QList<int>{0, 10};
    }
    void errorDialog() {
        QFETCH(QList<int>, codes);
        for (int code : codes) {
            f->dialogs.modalScripts.append([](QDialog* dialog) {
                QCOMPARE(Ctl<QPushButton>(dialog, "cmdHelp")->text(), GetTextOr("cmdHelp", "?"));
                Ctl<QPushButton>(dialog, "cmdHelp")->click();
                QVERIFY(dialog->result() != QDialog::Accepted);
                Ctl<QPushButton>(dialog, "cmdOk")->click();
            });
            ShowUpgradeError(W().frmConfigAdv, Session().errUpgradeKo,
                             code >= 1 && code <= 9 ? Session().errCodeUpgrade[code] : "short",
                             static_cast<qint16>(code));
            QCOMPARE(W().frmErrorShort->windowTitle(), Session().errUpgradeKo);
        }
        QCOMPARE(f->dialogs.boxes.size(), codes.size());
        for (int i = 0; i < codes.size(); ++i) {
            const DialogRecorder::Box& box = f->dialogs.boxes[i];
            const int code = codes[i];
            QCOMPARE(box.text, code >= 1 && code <= 9 ? Session().errTextCode[code] : QString());
            QCOMPARE(box.icon, MsgIcon::Information);
            QCOMPARE(box.title, kAppTitle);
        }
    }
};

QTEST_MAIN(StatusTest)
#include "test_status.moc"
