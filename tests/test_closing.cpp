// Every way to close a window or end the program, in this process or in the
// driver process: afterwards the work files are gone, the alias file and the
// discovery result are kept, and no tool is left running. Then the alias file
// of a program killed while it rewrites it.
#include <QProcess>
#include <QRegularExpression>
#include <csignal>

#include "support/CatalogueText.h"
#include "support/DataRows.h"

namespace {

const QByteArray kAliases = "020A1B000002=Office\r\n";
const L kWorkFiles{"ihcp_client.tmp", "get.cfg", "post.cfg", "fctrst.cfg", "winl2fwserver.tmp"};

// The tools started from the fixture's work folder that still run.
int ToolsRunning(const Fixture& f) {
    int running = 0;
    for (const QString& pid : QDir("/proc").entryList(QDir::Dirs))
        running += QFileInfo("/proc/" + pid + "/exe").symLinkTarget().startsWith(f.workDir());
    return running;
}

}  // namespace

class ClosingTest : public QObject {
    Q_OBJECT

private slots:
    // The page or window shown; the button pressed (none: closed from the title
    // bar); what the driver process runs instead and the signal sent to it while
    // its client runs; the exit code (-1: the program goes on); the page then.
    void close_data() {
        Cols<QString, QString, QString, int, int, QString>(
            {"window", "button", "driver", "signal", "exitCode", "after"});
        for (const L& exit : QList<L>{{"frmBegin", "cmdEnd"},
                                      {"frmConnect", "cmdExit"},
                                      {"frmAdvanced", "cmdExit"},
                                      {"frmConfig", "cmdExit"},
                                      {"frmEnd", "cmdFinish"},
                                      {"frmSetAll", "cmdExit"}}) {
            Row(qPrintable(exit[0] + " title bar"), exit[0], "", "", 0, 0, "");
            Row(qPrintable(exit.join(' ')), exit[0], exit[1], "", 0, 0, "");
        }
        // The advanced window goes back to the end page.
        Row("frmConfigAdv title bar", "frmConfigAdv", "", "", 0, -1, "frmEnd");
        Row("frmConfigAdv cmdExit", "frmConfigAdv", "cmdExit", "", 0, -1, "frmEnd");
        for (int signal : {SIGTERM, SIGINT, SIGHUP})
            Row(strsignal(signal), "", "", "discover", signal, 1, "");
        Row("failing handler", "", "", "throw", 0, 3, "");
    }
    void close() {
        const QString window = Cell("window"), button = Cell("button"), driver = Cell("driver");
        const int exitCode = Cell<int>("exitCode");
        Fixture f;
        f.sim({"fault", "local", "delayMs", driver.isEmpty() ? "0" : "60000"});
        f.writeWorkFile("alias.tmp", kAliases);
        for (const QString& name : kWorkFiles.mid(2) + QStringList{"macdiscover.tmp"})
            f.writeWorkFile(name, "POST 020A1B000001\r\n.PASSWORD=secret\r\n");
        QProcess process;
        if (driver.isEmpty()) {
            QVERIFY(f.start());
            f.click(W().frmBegin, "cmdNext");
            QWidget* shown = WindowNamed(window);
            Fixture::show(shown);
            button.isEmpty() ? void((shown == W().frmConfigAdv ? shown : W().assistant)->close())
                             : f.click(shown, qPrintable(button));
            QCOMPARE(f.exitCode.value_or(-1), exitCode);
        } else {
            process.setWorkingDirectory(f.startDir());
            process.start(KALDOR_DRIVER, {driver});
            // Seen once is enough: the count drops to 0 between the discovery
            // tool and the client, and the wait checks its condition more than once.
            bool toolSeen = driver == "throw";
            QTRY_VERIFY_WITH_TIMEOUT(toolSeen = toolSeen || ToolsRunning(f) == 1, 20000);
            ::kill(static_cast<pid_t>(process.processId()), Cell<int>("signal"));
            QVERIFY(process.waitForFinished(20000));
            QCOMPARE(process.exitCode(), exitCode);
        }
        QCOMPARE(ToolsRunning(f), 0);
        for (const QString& name : kWorkFiles)
            QVERIFY2(QFile::exists(f.workFile(name)) == (exitCode < 0), qPrintable(name));
        QCOMPARE(f.readWorkFile("alias.tmp"), kAliases);
        QVERIFY(QFile::exists(f.workFile("macdiscover.tmp")));
        QCOMPARE(ShownPage() ? ShownPage()->objectName() : "", Cell("after"));
        const QString output = driver.isEmpty() ? "" : process.readAllStandardOutput();
        QCOMPARE(output.count("unexpected error"), driver == "throw" ? 1 : 0);
    }

    // Killed after more saves each round, the program always leaves a
    // complete alias file: every line a whole entry.
    void aliasFileSurvivesKill() {
        Fixture f;
        const QRegularExpression entry("^0A0B0C0D\\d{4}=value-\\d+\r$");
        for (int round = 0; round < 16; ++round) {
            // Every other round starts afresh, so new entries are appended.
            QFile::remove(f.workFile(round % 2 ? "none" : "alias.tmp"));
            QProcess driver;
            driver.setWorkingDirectory(f.startDir());
            driver.start(KALDOR_DRIVER, {"alias", "60"});
            QByteArray saves;  // one line each
            QTRY_VERIFY_WITH_TIMEOUT(
                (saves += driver.readAllStandardOutput()).count('\n') > round * 7, 20000);
            driver.kill();
            QVERIFY(driver.waitForFinished(10000));
            const QList<QByteArray> lines = f.readWorkFile("alias.tmp").split('\n');
            QVERIFY(lines.size() >= 2 && lines.size() <= 61 && lines.last().isEmpty());
            for (const QByteArray& line : lines.mid(0, lines.size() - 1))
                QVERIFY2(entry.match(QString::fromUtf8(line)).hasMatch(), line.constData());
        }
    }
};

QTEST_MAIN(ClosingTest)
#include "test_closing.moc"
