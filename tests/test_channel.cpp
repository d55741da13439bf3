// Request files, tool runs and response readers, against a recording tool.
#include <QTimer>

#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/FileModes.h"

class ChannelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    const QByteArray path = qgetenv("PATH");

    void writeScript(const QString& name, const QByteArray& script) {
        f->writeWorkFile(name, "#!/bin/sh\n" + script);
        QFile::setPermissions(f->workFile(name), QFile::ReadOwner | QFile::ExeOwner);
    }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() {
        f.reset();
        qputenv("PATH", path);
    }

    // The request written over a longer one of an earlier run that anyone
    // could read: only its owner can read it now. Keys: empty for every key;
    // for post.cfg the setting.
    void requestBytes_data() {
        Cols<QString, L, QString, QByteArray>({"file", "keys", "password", "expected"});
        const QByteArray get = "GET 0011223344AA\r\n.PASSWORD=";
        // clang-format off
        Row("keys up to the marker", "get.cfg", L{"VER", "NODE_TYPE", "NULL", "MODEL"}, "pw", get + "pw\r\nVER\r\nNODE_TYPE\r\n");
        Row("no marker", "get.cfg", L{"VER", "MODEL"}, "pw", get + "pw\r\nVER\r\nMODEL\r\n");
        Row("non-ASCII password", "get.cfg", L{"NULL"}, "contraseña", get + "contraseña\r\n");
        Row("every key", "get.cfg", L(), "", get + "\r\n");
        Row("post", "post.cfg", L{"MCAST_IGMP=Enabled"}, "secret", QByteArray("POST 0011223344AA\r\n.PASSWORD=secret\r\nMCAST_IGMP=Enabled\r\n"));
        // clang-format on
    }
    void requestBytes() {
        const QString file = Cell("file");
        const QStringList keys = Cell<QStringList>("keys");
        Session().SelectedMac = "0011223344AA";
        Session().NodePassword = Cell("password");
        f->writeWorkFile(file, QByteArray(300, 'x'));
        QVERIFY(QFile::setPermissions(f->workFile(file), QFile::ReadOwner | QFile::WriteOwner |
                                                             QFile::ReadGroup | QFile::ReadOther));
        QVERIFY(file == "post.cfg" ? WritePostRequest(keys.first())
                : keys.isEmpty()   ? WriteGetAllRequest()
                                   : WriteGetRequest(keys, "0011223344AA", Cell("password")));
        QCOMPARE(f->readWorkFile(file), Cell<QByteArray>("expected"));
        QVERIFY(OwnerOnly(f->workFile(file)));
    }

    // A password with a line break, or a folder where the request goes: the
    // user is told and no request is written.
    void refusedRequests_data() {
        Cols<QString, QString, bool>({"password", "told", "folderInTheWay"});
        Row("line feed", "a\nb", "[1|Kaldor Config Tool] {errLineBreak}", false);
        Row("carriage return", "a\rb", "[1|Kaldor Config Tool] {errLineBreak}", false);
        Row("cannot write", "pw", "[1|Kaldor Config Tool] {errWriteFile}", true);
    }
    void refusedRequests() {
        const QString post = f->workFile("post.cfg");
        QVERIFY(!Cell<bool>("folderInTheWay") || QDir().mkpath(post));
        Session().NodePassword = Cell("password");
        QVERIFY(!WritePostRequest("VER=1"));
        QCOMPARE(f->dialogs.describe(), Resolved(Cell("told")).replace("%1", post));
        QVERIFY(!QFileInfo(post).isFile());
    }

    void toolFoundInWorkFolderThenOnPath() {
        QTemporaryDir bin;
        for (const QString name : {"MacDiscover.exe", "kaldor-probe"})
            QVERIFY(QFile::copy(f->workFile("MacDiscover.exe"), bin.filePath(name)));
        qputenv("PATH", bin.path().toUtf8());
        QCOMPARE(FindTool("kaldor-probe"), bin.filePath("kaldor-probe"));
        QCOMPARE(FindTool("MacDiscover.exe"), f->workFile("MacDiscover.exe"));
    }

    // A client run, whose command line keeps the blank of the work folder in
    // one argument, then whether its response starts with the prefix, and the
    // value of the key: a key not found shows the response's first line. A
    // response left by an earlier run never counts as this run's.
    void readers_data() {
        Cols<QByteArray, QString, QString, QString, QString, bool>(
            {"response", "prefix", "key", "expected", "told", "starts"});  // response "": none
        // clang-format off
        Row("first wins", QByteArray("INFO\r\nVER=1.2\r\nVER=3\r\n"), "INF", "VER", "1.2", "", true);
        Row("Windows-1252, letter case", QByteArray("INFO\r\nA=Sal\xf3n\r\n"), "info", "A", "Salón", "", false);
        Row("NUL byte, line end counts", QByteArray("INFO\r\nVER=1\0x\r\n", 15), "INFO\r\n", "VER", QString::fromUtf8("1\0x", 3), "", true);
        Row("no = is no entry, shorter response", QByteArray("INFO\r\nVER\r\n"), "INFO\r\nVER\r\nX", "VER", "", "[1|{errLoadConf}] INFO", false);
        Row("error text", QByteArray("ERROR: node 2\r\nrest\r\n"), "2", "VER", "", "[1|{errLoadConf}] ERROR: node 2", false);
        Row("no response, stale one", QByteArray(), "INFO", "VER", "", "[1|Kaldor Config Tool] {errReceiving}\n[1|{errLoadConf}] {errReceiving}", false);
        // clang-format on
    }
    void readers() {
        Session().InterfaceNumber = 2;
        const QString request = f->workFile("get.cfg");
        QCOMPARE(ClientCommandLine(request), "ihcp_client.exe \"" + request + "\" -i eth2");
        const QByteArray response = Cell<QByteArray>("response");
        f->writeWorkFile("answer", response);
        const QByteArray copy = response.isEmpty() ? "" : "cp answer ihcp_client.tmp\n";
        writeScript("ihcp_client.exe", "printf '%s\\n' \"$PWD\" \"$@\" > args.txt\n" + copy);
        f->writeWorkFile("ihcp_client.tmp", "INFO\r\nVER=old\r\n");
        RunClient(request);
        QCOMPARE(QString::fromUtf8(f->readWorkFile("args.txt")).split('\n', Qt::SkipEmptyParts),
                 QStringList({f->workDir(), request, "-i", "eth2"}));
        QCOMPARE(ResponseStartsWith(Cell("prefix")), Cell<bool>("starts"));
        QCOMPARE(ReadResponseValue(Cell("key")), Cell("expected"));
        QCOMPARE(f->dialogs.describe(), Resolved(Cell("told")));
    }

    // A run returns only once its tool has ended, and the windows keep
    // repainting meanwhile (a tick is 50 ms, the tool takes 0.3 s): a quit of
    // the whole event loop lets it wait on, and a tool stopped at the
    // program's end never reads as a success. The quit comes last: after it
    // no event loop runs again.
    void runEndsWithItsTool_data() {
        Cols<int, int, bool, int>(
            {"end", "exitCode", "finished", "minTicks"});  // end: 0 none, 1 stop, 2 quit
        Row("tool runs to its end", 0, 7, true, 4);
        Row("tools stopped", 1, int(kToolCrashed), false, 0);
        Row("event loop asked to quit", 2, 7, true, 0);
    }
    void runEndsWithItsTool() {
        writeScript("slow.sh", "sleep 0.3\necho done > finished.txt\nexit 7\n");
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(50);
        QTimer::singleShot(0, [end = Cell<int>("end")] {
            end == 2 ? QCoreApplication::exit(0) : end == 1 ? StopRunningTools() : void();
        });
        QCOMPARE(RunAndWait("slow.sh"), Cell<int>("exitCode"));
        QCOMPARE(QFile::exists(f->workFile("finished.txt")), Cell<bool>("finished"));
        QVERIFY2(ticks >= Cell<int>("minTicks") && ticks < 40, qPrintable(QString::number(ticks)));
    }
};

QTEST_MAIN(ChannelTest)
#include "test_channel.moc"
