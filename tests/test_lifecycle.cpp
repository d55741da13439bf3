// The program ended from outside: signals during an operation, a handler
// that fails, and a kill in the middle of alias writes. Each runs the
// assistant as its own process.
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>
#include <csignal>

#include "support/Fixture.h"

namespace {

const QStringList kPasswordFiles{"get.cfg", "post.cfg", "ihcp_client.tmp"};

bool WaitFor(const std::function<bool()>& condition, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms) {
            return false;
        }
        QThread::msleep(10);
    }
    return true;
}

}  // namespace

class LifecycleTest : public QObject {
    Q_OBJECT

    static void startDriver(QProcess& driver, const Fixture& f, const QStringList& arguments) {
        driver.setWorkingDirectory(f.startDir());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        driver.setProcessEnvironment(env);
        driver.start(KALDOR_DRIVER, arguments);
        QVERIFY(driver.waitForStarted());
    }

private slots:
    // A signal while the client runs (here a node that takes a minute to
    // answer) ends the program through its exit steps: no file that holds a
    // password is left, and no tool goes on writing.
    void signalDuringOperation_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void signalDuringOperation() {
        QFETCH(int, signal);
        Fixture f;
        f.sim({"fault", "local", "delayMs", "60000"});
        QProcess driver;
        startDriver(driver, f, {"discover"});
        QVERIFY(WaitFor([&] { return QFile::exists(f.workFile("get.cfg")); }, 20000));
        QVERIFY(driver.state() == QProcess::Running);
        ::kill(static_cast<pid_t>(driver.processId()), signal);
        QVERIFY(driver.waitForFinished(10000));
        QCOMPARE(driver.exitStatus(), QProcess::NormalExit);
        QCOMPARE(driver.exitCode(), 1);
        QThread::msleep(300);
        for (const QString& name : kPasswordFiles) {
            QVERIFY2(!QFile::exists(f.workFile(name)), qPrintable(name));
        }
        QVERIFY(QFile::exists(f.workFile("macdiscover.tmp")));
    }

    void failingHandler() {
        Fixture f;
        f.writeWorkFile("post.cfg", "POST X\r\n.PASSWORD=secret\r\n");
        QProcess driver;
        startDriver(driver, f, {"throw"});
        QVERIFY(driver.waitForFinished(20000));
        QCOMPARE(driver.exitStatus(), QProcess::NormalExit);
        QCOMPARE(driver.exitCode(), 3);
        const QString output = QString::fromUtf8(driver.readAllStandardOutput());
        QCOMPARE(output.count("BOX "), 1);
        QVERIFY2(output.contains("unexpected error"), qPrintable(output));
        QVERIFY(!QFile::exists(f.workFile("post.cfg")));
    }

    // Killed at random moments while it rewrites the alias file, the program
    // always leaves a complete file: every line a whole entry.
    void aliasFileSurvivesKill() {
        Fixture f;
        const QRegularExpression entry("^0A0B0C0D\\d{4}=value-\\d+$");
        for (int round = 0; round < 16; ++round) {
            // Every other round starts afresh, so new entries are appended.
            if (round % 2 == 0) {
                QFile::remove(f.workFile("alias.tmp"));
            }
            QProcess driver;
            startDriver(driver, f, {"alias", "60"});
            QVERIFY(driver.waitForReadyRead(20000));
            QThread::msleep(QRandomGenerator::global()->bounded(1, 60));
            driver.kill();
            QVERIFY(driver.waitForFinished(10000));
            if (!QFile::exists(f.workFile("alias.tmp"))) {
                continue;  // killed before its first write
            }
            const QList<QByteArray> lines = f.readWorkFile("alias.tmp").split('\n');
            QCOMPARE(lines.last(), QByteArray());
            for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
                QVERIFY2(lines[i].endsWith('\r'), lines[i].constData());
                QVERIFY2(entry.match(QString::fromUtf8(lines[i].chopped(1))).hasMatch(),
                         lines[i].constData());
            }
            QVERIFY(lines.size() <= 61);
        }
    }
};

QTEST_MAIN(LifecycleTest)
#include "test_lifecycle.moc"
