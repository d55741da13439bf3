// Request files, tool runs and response readers, against a recording tool.
#include <QFile>
#include <QTimer>
#include <QtTest>

#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "support/Boxes.h"
#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/FileModes.h"
#include "support/Fixture.h"

class ChannelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    const QByteArray path = qgetenv("PATH");

    // A client that records its current folder and arguments, then gives the
    // answer as its response, or no response when the answer is empty.
    void installRecordingClient(const QByteArray& answer) {
        f->writeWorkFile("answer", answer);
        f->writeWorkFile("ihcp_client.exe",
                         "#!/bin/sh\nprintf '%s\\n' \"$PWD\" \"$@\" > args.txt\n" +
                             QByteArray(answer.isEmpty() ? "" : "cp answer ihcp_client.tmp\n"));
        QFile::setPermissions(f->workFile("ihcp_client.exe"), QFile::ReadOwner | QFile::ExeOwner);
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

    void requestBytes_data() {
        Columns({"file", "keys", "password"});  // keys: "|" list, ALL, or a POST setting
        QTest::addColumn<QByteArray>("expected");
        const QByteArray get = "GET 0011223344AA\r\n.PASSWORD=";
        Row("two keys", "get.cfg", "NET_ID_STR|NODE_TYPE|NULL", "pw",
            get + "pw\r\nNET_ID_STR\r\nNODE_TYPE\r\n");
        Row("keys after the marker", "get.cfg", "VER|NULL|MODEL", "pw", get + "pw\r\nVER\r\n");
        Row("no marker", "get.cfg", "VER|MODEL", "pw", get + "pw\r\nVER\r\nMODEL\r\n");
        Row("non-ASCII password", "get.cfg", "NULL", "contraseña", get + "contraseña\r\n");
        Row("every key", "get.cfg", "ALL", "", get + "\r\n");
        Row("post", "post.cfg", "MCAST_IGMP=Enabled", "secret",
            QByteArray("POST 0011223344AA\r\n.PASSWORD=secret\r\nMCAST_IGMP=Enabled\r\n"));
    }
    void requestBytes() {
        const QString file = Cell("file");
        const QString keys = Cell("keys");
        Session().SelectedMac = "0011223344AA";
        Session().NodePassword = Cell("password");
        // A longer request of an earlier run, readable by anyone.
        f->writeWorkFile(file, QByteArray(300, 'x'));
        QVERIFY(QFile::setPermissions(f->workFile(file), QFile::ReadOwner | QFile::WriteOwner |
                                                             QFile::ReadGroup | QFile::ReadOther));
        if (file == "post.cfg") {
            QVERIFY(WritePostRequest(keys));
        } else if (keys == "ALL") {
            QVERIFY(WriteGetAllRequest());
        } else {
            QVERIFY(WriteGetRequest(Parts(keys), "0011223344AA", Cell("password")));
        }
        QCOMPARE(f->readWorkFile(file), Cell<QByteArray>("expected"));
        QVERIFY(OwnerOnly(f->workFile(file)));
    }

    void refusedRequests_data() {
        Columns({"password", "message"});
        QTest::addColumn<bool>("folderInTheWay");
        Row("line feed", "a\nb", "{errLineBreak}", false);
        Row("carriage return", "a\rb", "{errLineBreak}", false);
        Row("cannot write", "pw", "{errWriteFile}", true);
    }
    void refusedRequests() {
        const QString post = f->workFile("post.cfg");
        QString message = Resolved(Cell("message"));
        if (Cell<bool>("folderInTheWay")) {
            QVERIFY(QDir().mkpath(post));
            message = message.arg(QDir::toNativeSeparators(post));
        }
        Session().NodePassword = Cell("password");
        QVERIFY(!WritePostRequest("VER=1"));
        QCOMPARE(BoxTexts(f->dialogs), QStringList{message});
        QCOMPARE(f->dialogs.boxes[0].title, kAppTitle);
        QVERIFY(!QFileInfo(post).isFile());
    }

    // The command line keeps the blank of the work folder in one argument, and
    // a response left by an earlier run never counts as this run's answer.
    void clientRun_data() {
        QTest::addColumn<QByteArray>("answer");
        Columns({"value", "box"});
        Row("answered", QByteArray("INFO\r\nVER=1.0\r\n"), "1.0", "");
        Row("no answer, stale response", QByteArray(), "", "{errReceiving}");
    }
    void clientRun() {
        Session().InterfaceNumber = 2;
        const QString request = f->workFile("get.cfg");
        QCOMPARE(ClientCommandLine(request), "ihcp_client.exe \"" + request + "\" -i eth2");
        installRecordingClient(Cell<QByteArray>("answer"));
        f->writeWorkFile("ihcp_client.tmp", "INFO\r\nVER=old\r\n");
        RunClient(request);
        QCOMPARE(QString::fromUtf8(f->readWorkFile("args.txt")).split('\n', Qt::SkipEmptyParts),
                 QStringList({f->workDir(), request, "-i", "eth2"}));
        QCOMPARE(ReadResponseValue("VER"), Cell("value"));
        QCOMPARE(BoxTexts(f->dialogs), Resolved(Parts(Cell("box"))));
    }

    void missingTool() {
        QFile::remove(f->workFile("ihcp_client.exe"));
        qputenv("PATH", "");
        QCOMPARE(RunAndWait(ClientCommandLine(f->workFile("get.cfg"))), kToolNotStarted);
        QCOMPARE(BoxTexts(f->dialogs),
                 QStringList{Resolved("{errToolStart}").arg("ihcp_client.exe")});
    }

    void toolFoundInWorkFolderThenOnPath() {
        QTemporaryDir bin;
        QFile::copy(f->workFile("MacDiscover.exe"), bin.filePath("MacDiscover.exe"));
        QFile::copy(f->workFile("MacDiscover.exe"), bin.filePath("kaldor-probe"));
        qputenv("PATH", bin.path().toUtf8());
        QCOMPARE(FindTool("kaldor-probe"), bin.filePath("kaldor-probe"));
        QCOMPARE(FindTool("MacDiscover.exe"), f->workFile("MacDiscover.exe"));
    }

    // The windows keep repainting while a tool runs, and the run returns as
    // soon as the tool ends (a tick is 50 ms).
    void windowsRepaintDuringRun() {
        f->writeWorkFile("slow.sh", "#!/bin/sh\nsleep 0.5\n");
        QFile::setPermissions(f->workFile("slow.sh"), QFile::ReadOwner | QFile::ExeOwner);
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(50);
        QCOMPARE(RunAndWait("slow.sh"), 0);
        QVERIFY2(ticks >= 5 && ticks < 60, qPrintable(QString::number(ticks)));
    }

    // Whether the response starts with the prefix, and the value of the key:
    // a key that is not found shows the response's first line ("-": no box).
    // The key=value rules shared with the catalogue are tested there.
    void readers_data() {
        QTest::addColumn<QByteArray>("response");
        Columns({"prefix", "key", "expected", "box"});
        QTest::addColumn<bool>("starts");
        Row("first wins", QByteArray("INFO\r\nVER=1.2\r\nVER=3\r\n"), "INF", "VER", "1.2", "-",
            true);
        Row("Windows-1252, letter case", QByteArray("INFO\r\nA=Sal\xf3n\r\n"), "info", "A", "Salón",
            "-", false);
        Row("NUL byte, line end counts", QByteArray("INFO\r\nVER=1\0x\r\n", 15), "INFO\r\n", "VER",
            QString::fromUtf8("1\0x", 3), "-", true);
        Row("no = is no entry, shorter response", QByteArray("INFO\r\nVER\r\n"), "INFO\r\nVER\r\nX",
            "VER", "", "INFO", false);
        Row("error text", QByteArray("ERROR: node 2\r\nrest\r\n"), "2", "VER", "", "ERROR: node 2",
            false);
        Row("empty file", QByteArray(), "0", "VER", "", "", false);
    }
    void readers() {
        f->writeWorkFile("ihcp_client.tmp", Cell<QByteArray>("response"));
        QCOMPARE(ResponseStartsWith(Cell("prefix")), Cell<bool>("starts"));
        QVERIFY(f->dialogs.boxes.isEmpty());
        QCOMPARE(ReadResponseValue(Cell("key")), Cell("expected"));
        QCOMPARE(f->dialogs.boxes.size(), Cell("box") == "-" ? 0 : 1);
        for (const DialogRecorder::Box& box : f->dialogs.boxes) {
            QCOMPARE(box.text, Cell("box"));
            QCOMPARE(box.title, Session().errLoadConf);
        }
    }

    void lookupAlias_data() {
        QTest::addColumn<QByteArray>("aliases");  // empty: no file
        Columns({"mac", "expected"});
        const QByteArray file =
            "\r\n0011223344AA=Kitchen\r\nnoequals\r\nBB=\r\n0011223344AA=Later\r\n";
        Row("found", file, "0011223344AA", "Kitchen");
        Row("empty MAC", QByteArray("=x\r\n"), "", "");
        Row("no file", QByteArray(), "0011223344AA", "");
    }
    void lookupAlias() {
        if (!Cell<QByteArray>("aliases").isEmpty()) {
            f->writeWorkFile("alias.tmp", Cell<QByteArray>("aliases"));
        }
        QCOMPARE(LookupAlias(Cell("mac")), Cell("expected"));
        QVERIFY(f->dialogs.boxes.isEmpty());
    }

    // A run returns only once its tool has ended: a quit of the whole event
    // loop lets it wait on, and a tool stopped at the program's end never
    // reads as a success. Runs last: after a quit no event loop runs again.
    void runEndsWithItsTool_data() {
        QTest::addColumn<bool>("quit");  // else: the tools are stopped
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<bool>("finished");
        QTest::newRow("tools stopped") << false << int(kToolCrashed) << false;
        QTest::newRow("event loop asked to quit") << true << 7 << true;
    }
    void runEndsWithItsTool() {
        QFETCH(bool, quit);
        QFETCH(int, exitCode);
        QFETCH(bool, finished);
        f->writeWorkFile("slow.sh", "#!/bin/sh\nsleep 0.3\necho done > finished.txt\nexit 7\n");
        QFile::setPermissions(f->workFile("slow.sh"), QFile::ReadOwner | QFile::ExeOwner);
        QTimer::singleShot(0, [quit] {
            if (quit) {
                QCoreApplication::exit(0);
            } else {
                StopRunningTools();
            }
        });
        QCOMPARE(RunAndWait("slow.sh"), exitCode);
        QCOMPARE(QFile::exists(f->workFile("finished.txt")), finished);
    }
};

QTEST_MAIN(ChannelTest)
#include "test_channel.moc"
