// Request files, tool runs and response readers, against a recording tool.
#include <QFile>
#include <QTimer>
#include <QtTest>

#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "support/Fixture.h"

class ChannelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;
    const QByteArray path = qgetenv("PATH");

    // A client that records its arguments and current folder, then answers
    // with the given text, or writes nothing when it is empty.
    void installRecordingClient(const QByteArray& answer) {
        QByteArray script = "#!/bin/sh\nprintf '%s\\n' \"$PWD\" \"$@\" > args.txt\n";
        if (!answer.isEmpty()) {
            script += "printf '%b' '" + escapeForPrintf(answer) + "' > ihcp_client.tmp\n";
        }
        f->writeWorkFile("ihcp_client.exe", script);
        QFile::setPermissions(f->workFile("ihcp_client.exe"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    static QByteArray escapeForPrintf(const QByteArray& bytes) {
        QByteArray out;
        for (char c : bytes) {
            out += "\\0" + QByteArray::number(static_cast<unsigned char>(c), 8);
        }
        return out;
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

    void getRequestBytes_data() {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("two keys") << QStringList{"NET_ID_STR", "NODE_TYPE", "NULL"} << "pw"
                                  << QByteArray(
                                         "GET 0011223344AA\r\n.PASSWORD=pw\r\n"
                                         "NET_ID_STR\r\nNODE_TYPE\r\n");
        QTest::newRow("marker alone")
            << QStringList{"NULL"} << "pw" << QByteArray("GET 0011223344AA\r\n.PASSWORD=pw\r\n");
        QTest::newRow("after marker") << QStringList{"VER", "NULL", "MODEL"} << "pw"
                                      << QByteArray("GET 0011223344AA\r\n.PASSWORD=pw\r\nVER\r\n");
        QTest::newRow("no marker") << QStringList{"VER", "MODEL"} << "pw"
                                   << QByteArray(
                                          "GET 0011223344AA\r\n.PASSWORD=pw\r\n"
                                          "VER\r\nMODEL\r\n");
        QTest::newRow("empty password")
            << QStringList{"NULL"} << "" << QByteArray("GET 0011223344AA\r\n.PASSWORD=\r\n");
        QTest::newRow("non-ASCII password")
            << QStringList{"NULL"} << QString::fromUtf8("contraseña")
            << QByteArray(
                   "GET 0011223344AA\r\n.PASSWORD=contrase\xc3\xb1"
                   "a\r\n");
    }
    void getRequestBytes() {
        QFETCH(QStringList, keys);
        QFETCH(QString, password);
        QFETCH(QByteArray, expected);
        // A longer earlier request must leave nothing behind.
        QVERIFY(WriteGetRequest({"A", "B", "C", "D", "E", "F"}, "FFFFFFFFFFFF", "long password"));
        QVERIFY(WriteGetRequest(keys, "0011223344AA", password));
        QCOMPARE(f->readWorkFile("get.cfg"), expected);
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        const QFile::Permissions permissions = QFile::permissions(f->workFile("get.cfg"));
        QCOMPARE(permissions & others, QFile::Permissions());
        QVERIFY(permissions.testFlags(QFile::ReadOwner | QFile::WriteOwner));
    }

    void getAllAndPostBytes() {
        SessionState& s = Session();
        s.SelectedMac = "00A0C6000001";
        s.NodePassword = "secret";
        QVERIFY(WriteGetAllRequest());
        QCOMPARE(f->readWorkFile("get.cfg"),
                 QByteArray("GET 00A0C6000001\r\n.PASSWORD=secret\r\n"));
        QVERIFY(WritePostRequest("MCAST_IGMP=Enabled"));
        QCOMPARE(f->readWorkFile("post.cfg"),
                 QByteArray("POST 00A0C6000001\r\n.PASSWORD=secret\r\nMCAST_IGMP=Enabled\r\n"));
    }

    void refusedRequests_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("folderInTheWay");
        QTest::addColumn<QString>("message");
        QTest::newRow("line feed") << "a\nb" << false << "line break";
        QTest::newRow("carriage return") << "a\rb" << false << "line break";
        QTest::newRow("cannot write") << "pw" << true << "could not be written";
    }
    void refusedRequests() {
        QFETCH(QString, password);
        QFETCH(bool, folderInTheWay);
        QFETCH(QString, message);
        if (folderInTheWay) {
            QVERIFY(QDir().mkpath(f->workFile("post.cfg")));
        }
        Session().NodePassword = password;
        QVERIFY(!WritePostRequest("VER=1"));
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QVERIFY2(f->dialogs.boxes[0].text.contains(message), qPrintable(f->dialogs.describe()));
        QCOMPARE(f->dialogs.boxes[0].title, kAppTitle);
        QVERIFY(!QFileInfo(f->workFile("post.cfg")).isFile());
    }

    void clientCommandLine() {
        Session().InterfaceNumber = 2;
        const QString request = f->workFile("get.cfg");
        QVERIFY(request.contains(' '));
        QCOMPARE(ClientCommandLine(request), "ihcp_client.exe \"" + request + "\" -i eth2");
        installRecordingClient("INFO\r\nVER=1.0\r\n");
        QVERIFY(WriteGetRequest({"VER", "NULL"}, "0011223344AA", "pw"));
        RunClient(request);
        const QStringList args =
            QString::fromUtf8(f->readWorkFile("args.txt")).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(args, QStringList({f->workDir(), request, "-i", "eth2"}));
        QVERIFY(ResponseStartsWith("INFO"));
        QCOMPARE(ReadResponseValue("VER"), "1.0");
    }

    void staleResponseDeleted() {
        installRecordingClient(QByteArray());
        f->writeWorkFile("ihcp_client.tmp", "INFO\r\nVER=old\r\n");
        RunClient(f->workFile("get.cfg"));
        QVERIFY(!QFile::exists(f->workFile("ihcp_client.tmp")));
        QCOMPARE(ReadResponseFirstLine(), Session().errReceiving);
        QVERIFY(!ResponseStartsWith("INFO"));
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].text, Session().errReceiving);
        QCOMPARE(f->dialogs.boxes[0].title, kAppTitle);
    }

    void missingTool() {
        QFile::remove(f->workFile("ihcp_client.exe"));
        qputenv("PATH", "");
        QCOMPARE(RunAndWait(ClientCommandLine(f->workFile("get.cfg"))), kToolNotStarted);
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QVERIFY(f->dialogs.boxes[0].text.contains("ihcp_client.exe"));
    }

    void toolFoundOnPath() {
        QTemporaryDir bin;
        QFile::copy(f->workFile("MacDiscover.exe"), bin.filePath("kaldor-probe"));
        qputenv("PATH", bin.path().toUtf8());
        QCOMPARE(FindTool("kaldor-probe"), bin.filePath("kaldor-probe"));
        QCOMPARE(FindTool("MacDiscover.exe"), f->workFile("MacDiscover.exe"));
    }

    void windowsRepaintDuringRun() {
        f->writeWorkFile("slow.sh", "#!/bin/sh\nsleep 0.5\n");
        QFile::setPermissions(f->workFile("slow.sh"), QFile::ReadOwner | QFile::ExeOwner);
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(50);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(RunAndWait("slow.sh"), 0);
        QVERIFY(ticks >= 5);
        QVERIFY(clock.elapsed() < 3000);
    }

    void responseStartsWith_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("expected");
        QTest::newRow("INFO/INF") << QByteArray("INFO\r\n") << "INF" << true;
        QTest::newRow("INFO/info") << QByteArray("INFO\r\n") << "info" << false;
        QTest::newRow("0/INFO") << QByteArray("0") << "INFO" << false;
        QTest::newRow("0 crlf/0") << QByteArray("0\r\n") << "0" << true;
        QTest::newRow("empty/0") << QByteArray() << "0" << false;
        QTest::newRow("line end counts") << QByteArray("2\r\nx") << "2\r\n" << true;
        QTest::newRow("error text/2") << QByteArray("ERROR: node 2 silent\r\n") << "2" << false;
    }
    void responseStartsWith() {
        QFETCH(QByteArray, response);
        QFETCH(QString, prefix);
        QFETCH(bool, expected);
        f->writeWorkFile("ihcp_client.tmp", response);
        QCOMPARE(ResponseStartsWith(prefix), expected);
        QVERIFY(f->dialogs.boxes.isEmpty());
    }

    void readResponseValue_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("message");
        QTest::newRow("first wins") << QByteArray("INFO\r\nVER=1.2\r\nVER=3\r\n") << "VER"
                                    << "1.2" << false;
        QTest::newRow("value holds =")
            << QByteArray("INFO\r\nFLUP_FILENAME=a=b.bin\r\n") << "FLUP_FILENAME"
            << "a=b.bin" << false;
        QTest::newRow("empty value") << QByteArray("INFO\r\nNET_ID_STR=\r\n") << "NET_ID_STR"
                                     << "" << false;
        QTest::newRow("bare LF") << QByteArray("INFO\nVER=2\nMODEL=K\n") << "MODEL"
                                 << "K" << false;
        QTest::newRow("no = is no entry") << QByteArray("INFO\r\nVER\r\n") << "VER"
                                          << "" << true;
        QTest::newRow("case differs") << QByteArray("INFO\r\nver=1\r\n") << "VER"
                                      << "" << true;
        QTest::newRow("blank before =") << QByteArray("INFO\r\nVER =1\r\n") << "VER"
                                        << "" << true;
        QTest::newRow("Windows-1252") << QByteArray("INFO\r\nALIAS=Sal\xf3n\r\n") << "ALIAS"
                                      << QString::fromUtf8("Salón") << false;
        QTest::newRow("NUL byte") << QByteArray("INFO\r\nVER=1\0x\r\n", 13) << "VER"
                                  << QString::fromUtf8("1\0x", 3) << false;
    }
    void readResponseValue() {
        QFETCH(QByteArray, response);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QFETCH(bool, message);
        f->writeWorkFile("ihcp_client.tmp", response);
        QCOMPARE(ReadResponseValue(key), expected);
        QCOMPARE(f->dialogs.boxes.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(f->dialogs.boxes[0].text, "INFO");
            QCOMPARE(f->dialogs.boxes[0].title, Session().errLoadConf);
        }
    }

    void readersWithoutResponse() {
        QCOMPARE(ReadResponseValue("VER"), QString());
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].text, Session().errReceiving);
        QCOMPARE(f->dialogs.boxes[0].title, Session().errLoadConf);
        f->writeWorkFile("ihcp_client.tmp", "");
        QCOMPARE(ReadResponseFirstLine(), QString());
        f->writeWorkFile("ihcp_client.tmp", "ERROR: no answer\r\nrest\r\n");
        QCOMPARE(ReadResponseFirstLine(), "ERROR: no answer");
    }

    void lookupAlias_data() {
        QTest::addColumn<QByteArray>("aliases");
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QString>("expected");
        const QByteArray file =
            "\r\n0011223344AA=Kitchen\r\nnoequals\r\n00112233BBCC=\r\n"
            "0011223344AA=Later\r\n";
        QTest::newRow("found") << file << "0011223344AA"
                               << "Kitchen";
        QTest::newRow("empty alias") << file << "00112233BBCC"
                                     << "";
        QTest::newRow("absent") << file << "FFFFFFFFFFFF"
                                << "";
        QTest::newRow("case differs") << file << "0011223344aa"
                                      << "";
        QTest::newRow("empty MAC") << QByteArray("=x\r\n") << ""
                                   << "";
        QTest::newRow("no file") << QByteArray() << "0011223344AA"
                                 << "";
    }
    void lookupAlias() {
        QFETCH(QByteArray, aliases);
        QFETCH(QString, mac);
        QFETCH(QString, expected);
        if (!aliases.isEmpty()) {
            f->writeWorkFile("alias.tmp", aliases);
        }
        QCOMPARE(LookupAlias(mac), expected);
        QVERIFY(f->dialogs.boxes.isEmpty());
    }
};

QTEST_MAIN(ChannelTest)
#include "test_channel.moc"
