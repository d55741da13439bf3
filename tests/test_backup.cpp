// Backups of a node's settings: "Save settings..." on the advanced window end
// to end, and the reader of backup files with every kind of bad file.
#include <QTemporaryDir>

#include "app/TextFiles.h"
#include "channel/Backup.h"
#include "support/FileModes.h"
#include "test_advanced_helpers.h"

namespace {

const QByteArray kHeader =
    "Kaldor node backup, format 1\r\nMAC: 020A1B000002\r\nAlias: Office\r\nModel: KPL-500\r\n"
    "Firmware: 2.4.11\r\nDate: 2026-12-07T05:40:00Z\r\n\r\n";

}  // namespace

class BackupTest : public QObject {
    Q_OBJECT

private slots:
    // Save settings: "chosen" is the file picked in a fresh folder ("" cancels), "older" puts
    // a file readable by all there first, "later" settings reach the node after the window
    // read it. A written file is private and holds the header and the read's lines in the
    // clear; a failed write tells so and leaves nothing.
    // clang-format off
    void save_data() {
        Cols<QString, QString, QString, bool, L, bool>({"mac", "alias", "chosen", "older", "later", "written"});
        Row("local node with its alias", kLocal, "Salón", "local.kbk", false, L(), true);
        Row("remote node without alias, over an older file", kOffice, "", "office.kbk", true, L(), true);
        Row("settings changed after the read", kOffice, "Office", "x.kbk", false, L{"NET_ID_STR=New"}, true);
        Row("cancelled", kLocal, "", "", false, L(), false);
        Row("folder missing", kLocal, "", "missing/x.kbk", false, L(), false);
    }
    // clang-format on
    void save() {
        Fixture f;
        const QString mac = Cell("mac"), alias = Cell("alias");
        const bool written = Cell<bool>("written");
        f.writeWorkFile("alias.tmp", (mac + "=" + alias + "\r\n").toUtf8());
        SetParameters(f, mac, {"FLUP_PASSWORD=ftp-secret"});
        OPEN_ADVANCED(f, mac);
        const kaldorsim::Parameters read = Parameters(f, mac);
        SetParameters(f, mac, Cell<L>("later"));
        QTemporaryDir dir;
        const QString path = Cell("chosen").isEmpty() ? "" : dir.filePath(Cell("chosen"));
        QFile older(path);
        if (Cell<bool>("older"))
            QVERIFY(older.open(QIODevice::WriteOnly) && older.write("old\r\n") &&
                    older.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        older.close();
        f.dialogs.savedFiles = L{path};
        const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
        f.click(Adv(), "cmdSaveSettings");
        QCOMPARE(f.dialogs.fileDialogTitles, L{Resolved("{cdlSaveSettings}")});
        QCOMPARE(f.dialogs.fileDialogFilters, L{Resolved("{cdlBackupFilter}")});
        const QString name = alias.isEmpty() ? mac : alias + " (" + mac + ")";
        L shown, told;
        for (const DialogRecorder::Box& box : f.dialogs.boxes)
            shown << QString::number(int(box.icon)) + " " + box.text;
        if (!path.isEmpty())
            told << (written ? "0 " + Resolved("{msgSettingsSaved}").arg(name, path)
                             : "1 " + Resolved("{errWriteFile}").arg(path));
        QCOMPARE(shown, told);
        // Nothing half written stays behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 written ? L{Cell("chosen")} : L());
        if (!written)
            return;
        QVERIFY(OwnerOnly(path) && older.open(QIODevice::ReadOnly));
        const L lines = QString::fromUtf8(older.readAll()).split("\r\n");
        const QDateTime date = QDateTime::fromString(lines[5].mid(6), Qt::ISODate);
        QVERIFY2(lines[5].startsWith("Date: ") && date.timeSpec() == Qt::UTC && date >= before &&
                     date <= QDateTime::currentDateTimeUtc(),
                 qPrintable(lines[5]));
        QCOMPARE(lines.mid(0, 5) << lines[6],
                 L({"Kaldor node backup, format 1", "MAC: " + mac, "Alias: " + alias,
                    "Model: " + read["MODEL"], "Firmware: " + read["VER"], ""}));
        // The node's answer line for line, ended by CR LF, and so every setting it holds.
        QCOMPARE(lines.mid(7), ReadLines(f.workFile("ihcp_client.tmp")).value().mid(1) << "");
        for (auto it = read.begin(); it != read.end(); ++it)
            QVERIFY2(lines.contains(it.key() + "=" + it.value()), qPrintable(it.key()));
    }

    // A file's bytes read as a backup: the reason of a refusal and what its
    // text names, or for a good file its header and first and last settings.
    // clang-format off
    void read_data() {
        Cols<QByteArray, QString, L>({"bytes", "error", "read"});
        const QByteArray header = kHeader, settings = "MODEL=KPL-500\r\nNET_ID_STR=a=b\r\n";
        const L good{"020A1B000002", "Office", "KPL-500", "2.4.11", "2026-12-07T05:40:00Z",
                     "MODEL=KPL-500", "NET_ID_STR=a=b"};
        Row("good file", header + settings, "", good);
        Row("LF line ends, byte order mark, trailing spaces, extra empty lines, no last line end",
            "\xEF\xBB\xBF" + header.chopped(2).replace("\r\n", "\n").replace("Office", "Office  ")
                + "\n\nMODEL=KPL-500\n\nNET_ID_STR=a=b", "", good);
        Row("empty alias written by an editor that trims lines, date with an offset",
            QByteArray(header).replace("Alias: Office", "Alias:")
                .replace("05:40:00Z", "07:40:00.250+02:00") + settings, "",
            L{"020A1B000002", "", "KPL-500", "2.4.11", "2026-12-07T05:40:00Z", "MODEL=KPL-500",
              "NET_ID_STR=a=b"});
        Row("empty", QByteArray(), "errBackupEmpty", L());
        Row("blank lines only", QByteArray("\r\n \r\n\t"), "errBackupEmpty", L());
        Row("truncated in the header", header.first(60), "errBackupTruncated", L());
        Row("header without settings", header + "\r\n", "errBackupTruncated", L());
        Row("NUL byte", header + QByteArray("MODEL=KPL\0-500\r\n", 16), "errBackupBinary", L());
        Row("not UTF-8", header + "MODEL=Sal\xF3n\r\n", "errBackupBinary", L());
        Row("oversized", header + QByteArray(1024 * 1024, 'A') , "errBackupTooLarge", L());
        Row("not a backup", QByteArray("MODEL=KPL-500\r\n"), "errBackupNotBackup", L());
        Row("unknown format", QByteArray(header).replace("format 1", "format 2") + settings,
            "errBackupFormat", L{"2"});
        Row("header line missing", QByteArray(header).replace("Model: KPL-500\r\n", "") + settings,
            "errBackupHeader", L{"4", "Model"});
        Row("date unreadable", QByteArray(header).replace("2026-12-07T", "yesterday ") + settings,
            "errBackupHeader", L{"6", "Date"});
        Row("key with a line break", header + "NET\rID_STR=x\r\n", "errBackupLineBreak", L{"8"});
        Row("line without =", header + settings + "NET_ID_STR\r\n", "errBackupNoEquals", L{"10"});
        Row("empty key", header + "=x\r\n", "errBackupNoEquals", L{"8"});
        Row("duplicate key", header + settings + "MODEL=KPL-510\r\n", "errBackupDuplicate",
            L{"MODEL", "10"});
    }
    // clang-format on
    void read() {
        const BackupRead r = ParseBackup(Cell<QByteArray>("bytes"));
        QCOMPARE(r.errorKey, Cell("error"));
        QCOMPARE(r.backup.has_value(), Cell("error").isEmpty());
        if (!r.backup) {
            QCOMPARE(r.details, Cell<L>("read"));
            return;
        }
        const NodeBackup& b = *r.backup;
        QCOMPARE(L({b.mac, b.alias, b.model, b.firmware, b.saved.toString(Qt::ISODate),
                    b.parameters.first().first + "=" + b.parameters.first().second,
                    b.parameters.last().first + "=" + b.parameters.last().second}),
                 Cell<L>("read"));
        QCOMPARE(b.parameters.size(), 2);
    }

    // A refusal reads as the catalogue's text, a "%2" inside a key left as
    // it is.
    void reasonText() {
        Fixture f;
        QVERIFY(f.start());
        const BackupRead r = ParseBackup(kHeader + "A%2=1\r\nA%2=2\r\n");
        QCOMPARE(BackupErrorText(r),
                 Resolved("{errBackupDuplicate}").replace("%2", "9").replace("%1", "A%2"));
    }

    // The backup of a read keeps the node's KEY=value lines after INFO, the
    // first of a repeated key, and drops what would break the file.
    void fromResponse() {
        const NodeBackup b =
            BackupFromResponse({"INFO", "MODEL=KPL-500", "", "garbage", "VER=2.4.11", "=x",
                                "NET_ID_STR=a\rb", "ENCRYPT_KEY_STR=k=1", "MODEL=other"},
                               "020A1B000002", "Office\r\nTwo",
                               QDateTime::fromString("2026-12-07T07:40:00+02:00", Qt::ISODate));
        QCOMPARE(BackupText(b), QByteArray(kHeader).replace("Office", "Office  Two") +
                                    "MODEL=KPL-500\r\nVER=2.4.11\r\nENCRYPT_KEY_STR=k=1\r\n");
    }
};

QTEST_MAIN(BackupTest)
#include "test_backup.moc"
