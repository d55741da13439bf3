// Backups of a node's settings: "Save settings..." on the advanced window end
// to end, and the reader of backup files with every kind of bad file.
#include <QListWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/TextFiles.h"
#include "channel/Backup.h"
#include "node/Groups.h"
#include "support/FileModes.h"
#include "support/PasswordNetwork.h"
#include "test_advanced_helpers.h"

namespace {

const QByteArray kHeader =
    "Kaldor node backup, format 1\r\nMAC: 020A1B000002\r\nAlias: Office\r\nModel: KPL-500\r\n"
    "Firmware: 2.4.11\r\nDate: 2026-12-07T05:40:00Z\r\n\r\n";

// The comparison window's rows as "KEY|node|file|group".
L Rows(QWidget* window) {
    auto* grid = window->findChild<QTableWidget*>("grdCompare");
    L rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        L cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << grid->item(r, c)->text();
        rows << cells.join('|');
    }
    return rows;
}

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

    // Restore settings: a backup saved from the node, then "changes" made on the node (what
    // only reports, or no button sends, is never compared nor sent), the
    // "skip" groups unticked in the comparison window (each "KEY|node|file|group" row, keys
    // masked) before Restore. Each chosen group goes in one POST as its update button sends
    // it, membership last; the node read again shows what still differs ("after").
    // clang-format off
    void restore_data() {
        Cols<QString, L, L, L, L, L, QString>({"mac", "changes", "skip", "table", "posts", "after", "box"});
        Row("node on the wire: every group back, identifier last", kLocal,
            L{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_PRIO=5", "NOTCHES=Disabled",
              "NET_ID_STR=Other", "ENCRYPT_KEY_STR=Other-key", "IP_CONFIG_NVRAM=DHCP",
              "FLUP_IP_ADDR=10.0.0.9", "DEFAULT_PRIO=3", "NUM_BOOTS=5", "IP_ADDR=10.0.0.7"}, L(),
            L{"IP_CONFIG_NVRAM|DHCP|Fixed|Fixed IP configuration",
              "NOTCHES|Disabled|Amateur|PHY configuration",
              "KALDOR_VLAN_CONFIG|Enabled|Disabled|VLAN configuration",
              "ENCRYPT_KEY_STR|********|********|Encryption",
              "NET_ID_STR|Other|KaldorHome|Network identifier"},
            L{"POST 020A1B000001 pw=local-pw IP_CONFIG_NVRAM=Fixed IP_ADDR_NVRAM=192.168.1.10 "
              "NETMASK_NVRAM=255.255.255.0 GATEWAY_NVRAM=192.168.1.1",
              "POST 020A1B000001 pw=local-pw HW_RESET_OK=Ok",
              "POST 020A1B000001 pw=local-pw NOTCHES=Amateur DISTORTION_CONTROL=Medium",
              "POST 020A1B000001 pw=local-pw KALDOR_VLAN_CONFIG=Disabled KALDOR_VLAN_TAG=100 "
              "KALDOR_VLAN_OK=ok",
              "POST 020A1B000001 pw=local-pw ENCRYPT_TYPE=3DES ENCRYPT_KEY_LENGTH=168 "
              "ENCRYPT_KEY_STR=HomeKey-2024 CRYPTO_OK=Ok",
              "POST 020A1B000001 pw=local-pw NET_ID_STR=KaldorHome"},
            L(), "0 {msgRestored}");
        Row("a group left out still differs", kOffice, L{"NOTCHES=Disabled", "MCAST_IGMP=Proxy"},
            L{"PHY configuration"},
            L{"NOTCHES|Disabled|Amateur|PHY configuration",
              "MCAST_IGMP|Proxy|Snooping|Multicast configuration"},
            L{"POST 020A1B000002 pw=kaldor MCAST_IGMP=Snooping"},
            L{"NOTCHES|Disabled|Amateur|PHY configuration"}, "1 {errRestoreIncomplete}");
        Row("a value the node no longer offers: its group cannot be chosen", kOffice,
            L{"NOTCHES=Disabled", "NOTCHES_OPTIONS='Disabled','Amateur+Broadcast'",
              "MCAST_IGMP=Proxy"}, L(),
            L{"NOTCHES|Disabled|Amateur (not accepted by the node)|PHY configuration",
              "MCAST_IGMP|Proxy|Snooping|Multicast configuration"},
            L{"POST 020A1B000002 pw=kaldor MCAST_IGMP=Snooping"},
            L{"NOTCHES|Disabled|Amateur (not accepted by the node)|PHY configuration"},
            "1 {errRestoreIncomplete}");
        Row("a remote node that leaves its network is told so, the network found anew", kOffice,
            L{"NET_ID_STR=Other", "MCAST_IGMP=Proxy"}, L(),
            L{"MCAST_IGMP|Proxy|Snooping|Multicast configuration",
              "NET_ID_STR|Other|KaldorHome|Network identifier"},
            L{"POST 020A1B000002 pw=kaldor MCAST_IGMP=Snooping",
              "POST 020A1B000002 pw=kaldor NET_ID_STR=KaldorHome"},
            L{"MCAST_IGMP|Proxy|Snooping|Multicast configuration",
              "NET_ID_STR|Other|KaldorHome|Network identifier"}, "1 {msgRestoreLeft}");
    }
    // clang-format on
    void restore() {
        Fixture f;
        const QString mac = Cell("mac");
        OPEN_ADVANCED(f, mac);
        QTemporaryDir dir;
        const QString path = dir.filePath("node.kbk");
        f.dialogs.savedFiles = L{path};
        f.click(Adv(), "cmdSaveSettings");
        SetParameters(f, mac, Cell<L>("changes"));
        f.sim({"request-log", "requests.log"});
        f.dialogs.boxes.clear();
        L before, after;
        f.dialogs.modalScripts << [&](QDialog* window) {
            before = Rows(window);
            auto* groups = window->findChild<QListWidget*>("lstCmpGroups");
            for (int i = 0; i < groups->count(); ++i)
                if (Cell<L>("skip").contains(groups->item(i)->text()))
                    groups->item(i)->setCheckState(Qt::Unchecked);
            TakeRequests(f);
            Ctl<QPushButton>(window, "cmdCmpRestore")->click();
            after = Rows(window);
        };
        f.dialogs.chosenFiles = L{path};
        f.click(Adv(), "cmdRestoreSettings");
        QCOMPARE(before, Cell<L>("table"));
        L posts = TakeRequests(f).filter(QRegularExpression("^POST"));
        QCOMPARE(posts, Cell<L>("posts"));
        QCOMPARE(after, Cell<L>("after"));
        L told;
        for (const DialogRecorder::Box& box : f.dialogs.boxes)
            told << QString::number(int(box.icon)) + " " + box.text.section('\n', 0, 0);
        QCOMPARE(told, L{Resolved(Cell("box")).arg(mac)});
    }

    // What a restore plans from a node's settings and a backup's ("KEY=value" lines): the
    // lines of each group sent, in order; the values the node does not take; the
    // membership groups held back from a node reached over the powerline.
    // clang-format off
    void plan_data() {
        Cols<L, L, bool, L, L, L>({"node", "file", "onWire", "sends", "notTaken", "heldBack"});
        const L node{"MODEL=KPL-200", "NET_ID_STR=Home", "ENCRYPT_KEY_STR=k1", "ENCRYPT_TYPE=None",
                     "MCAST_IGMP_OPTIONS='Disabled','Snooping'", "MCAST_IGMP=Disabled",
                     "KALDOR_VLAN_CONFIG=Disabled", "KALDOR_VLAN_TAG=100", "KALDOR_VLAN_PRIO=0",
                     "NUM_BOOTS=1", "VER=2.4.11"};
        const L moved{"NET_ID_STR=Away", "ENCRYPT_KEY_STR=k2", "MCAST_IGMP=Snooping"};
        Row("on the wire: key, then identifier, last", node, moved, true,
            L{"MCAST_IGMP=Snooping", "ENCRYPT_KEY_STR=k2", "NET_ID_STR=Away"}, L(), L());
        Row("remote: both membership groups held back", node, moved, false,
            L{"MCAST_IGMP=Snooping"}, L(), L{"Encryption key", "Network identifier"});
        Row("remote: one membership group goes", node, L{"NET_ID_STR=Away"}, false,
            L{"NET_ID_STR=Away"}, L(), L());
        Row("value outside the options", node, L{"MCAST_IGMP=Proxy"}, true,
            L(), L{"MCAST_IGMP=Proxy"}, L());
        Row("reserved VLAN tag with tagging on", node,
            L{"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_TAG=4095", "KALDOR_VLAN_PRIO=3"}, true,
            L(), L{"KALDOR_VLAN_TAG=4095"}, L());
        Row("VLAN off: the tag goes as it is, no priority", node,
            L{"KALDOR_VLAN_TAG=7", "KALDOR_VLAN_PRIO=3"}, true,
            L{"KALDOR_VLAN_CONFIG=Disabled KALDOR_VLAN_TAG=7 KALDOR_VLAN_OK=ok"}, L(), L());
        Row("report-only and unknown keys never compared", node,
            L{"NUM_BOOTS=9", "VER=3.0.0", "NO_SUCH=1", "MODEL=KPL-999"}, true, L(), L(), L());
    }
    // clang-format on
    void plan() {
        Fixture f;
        QVERIFY(f.start());
        const auto settings = [](const L& lines) {
            NodeSettings s;
            for (const QString& line : lines)
                s.append({line.section('=', 0, 0), line.section('=', 1)});
            return s;
        };
        const RestorePlan p = PlanRestore(settings(Cell<L>("node")), settings(Cell<L>("file")),
                                          {SettingsGroup::Multicast, SettingsGroup::Vlan,
                                           SettingsGroup::Key, SettingsGroup::NetworkId},
                                          Cell<bool>("onWire"));
        L sends, notTaken, heldBack;
        for (const GroupSend& send : p.sends)
            sends << send.lines.join(' ');
        for (const SettingDifference& d : p.notOffered)
            notTaken << d.key + "=" + d.otherValue;
        for (const SettingsGroup group : p.onWireOnly)
            heldBack << GroupCaption(group);
        QCOMPARE(sends, Cell<L>("sends"));
        QCOMPARE(notTaken, Cell<L>("notTaken"));
        QCOMPARE(heldBack, Cell<L>("heldBack"));
    }

    // A restore that cannot start sends nothing and opens no window: the
    // saved file's "from" bytes replaced by "to", or the choice cancelled.
    // An unknown key in a good file is left out of the comparison.
    // clang-format off
    void restoreRefused_data() {
        Cols<QByteArray, QByteArray, QString, int>({"from", "to", "box", "windows"});
        Row("file of another model", QByteArray("KPL-510A"), QByteArray("KPL-200"),
            "1 The backup holds the settings of a KPL-200 node; 020A1B000001 is a KPL-510A. "
            "Nothing has been sent.", 0);
        Row("file cut short", QByteArray("\r\nModel:"), QByteArray(), "1 {errBackupTruncated}", 0);
        Row("key with a line break", QByteArray("NOTCHES="), QByteArray("NOT\rCHES="),
            "1 Line 39 of the backup file holds a line break inside a setting.", 0);
        Row("unknown key ignored", QByteArray("NOTCHES="), QByteArray("NO_SUCH_KEY=1\r\nNOTCHES="),
            "", 1);
        Row("cancelled", QByteArray(), QByteArray(), "", 0);
    }
    // clang-format on
    void restoreRefused() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        QTemporaryDir dir;
        const QString path = dir.filePath("node.kbk");
        f.dialogs.savedFiles = L{path};
        f.click(Adv(), "cmdSaveSettings");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray bytes = file.readAll();
        file.close();
        const QByteArray from = Cell<QByteArray>("from");
        const bool cut = !from.isEmpty() && Cell<QByteArray>("to").isEmpty();
        bytes = cut ? bytes.left(bytes.indexOf(from)) : bytes.replace(from, Cell<QByteArray>("to"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) >= 0);
        file.close();
        f.sim({"request-log", "requests.log"});
        f.dialogs.boxes.clear();
        f.dialogs.chosenFiles = L{from.isEmpty() ? "" : path};
        f.click(Adv(), "cmdRestoreSettings");
        QCOMPARE(TakeRequests(f).filter(QRegularExpression("^POST")), L());
        L told;
        for (const DialogRecorder::Box& box : f.dialogs.boxes)
            told << QString::number(int(box.icon)) + " " + box.text;
        QCOMPARE(told, Cell("box").isEmpty() ? L() : L{Resolved(Cell("box"))});
        QCOMPARE(f.dialogs.modals.size(), Cell<int>("windows"));
    }

    // Compare with another node of the network, read with the password it
    // answered to: the rows of its groups that differ, no restore offered.
    void compareWithNode() {
        Fixture f;
        OPEN_ADVANCED(f, kLocal);
        Adv()->setNodes(
            {{kLocal, "KaldorHome", kLocalPw, true}, {kGarage, "KaldorHome", "kaldor", false}});
        QVERIFY(Adv()->readNode(Adv()));
        SetParameters(f, kGarage, {"MCAST_IGMP=Proxy", "KALDOR_VLAN_TAG=7"});
        f.sim({"request-log", "requests.log"});
        Set({"cboCompareWith=020A1B000003"});
        L rows;
        bool restoreShown = true;
        f.dialogs.modalScripts << [&](QDialog* window) {
            rows = Rows(window);
            restoreShown = Ctl(window, "cmdCmpRestore")->isVisible();
        };
        f.click(Adv(), "cmdCompare");
        QCOMPARE(rows, L({"IP_CONFIG_NVRAM|Fixed|DHCP|Fixed IP configuration",
                          "NODE_TYPE|AP|EP|MAC configuration",
                          "MCAST_IGMP|Snooping|Proxy|Multicast configuration",
                          "KALDOR_VLAN_TAG|100|7|VLAN configuration"}));
        QVERIFY(!restoreShown);
        QCOMPARE(TakeRequests(f),
                 L({"GET 020A1B000003 pw=kaldor", "GET 020A1B000001 pw=local-pw"}));
        // The selection came back to the node of the window.
        QCOMPARE(Session().SelectedMac, kLocal);
    }

    // Backup, factory reset, restore: the node holds the backup's settings
    // again, but for what a factory reset loses and a backup cannot hold.
    void factoryResetThenRestore() {
        Fixture f;
        const QString mac = kLocal;
        OPEN_ADVANCED(f, mac);
        SetParameters(f, mac,
                      {"KALDOR_VLAN_CONFIG=Enabled", "KALDOR_VLAN_PRIO=3", "MCAST_IGMP=Proxy",
                       "NODE_TYPE=EP"});
        QVERIFY(Adv()->readNode(Adv()));
        const kaldorsim::Parameters saved = Parameters(f, mac);
        QTemporaryDir dir;
        f.dialogs.savedFiles = L{dir.filePath("local.kbk")};
        f.click(Adv(), "cmdSaveSettings");
        f.dialogs.typePassword("FP000001");
        f.click(Adv(), "cmdFactoryReset");
        QVERIFY(Parameters(f, mac) != saved);
        f.dialogs.chosenFiles = f.dialogs.savedFiles = L{dir.filePath("local.kbk")};
        L restored;
        f.dialogs.modalScripts << [&restored](QDialog* window) {
            restored = Rows(window);
            Ctl<QPushButton>(window, "cmdCmpRestore")->click();
        };
        f.dialogs.boxes.clear();
        f.click(Adv(), "cmdRestoreSettings");
        QCOMPARE(f.dialogs.boxes.value(0).text, Resolved("{msgRestored}").arg(mac));
        // Lost to the reset and not in a backup: the password; the boot count reports only.
        QCOMPARE(SimNode(f, mac).password, QString("kaldor"));
        kaldorsim::Parameters now = Parameters(f, mac);
        L differing;
        for (auto it = saved.begin(); it != saved.end(); ++it)
            if (now.value(it.key()) != it.value())
                differing << it.key() + "=" + now.value(it.key());
        QCOMPARE(restored.size(), 7);
        // One restart for the reset, one for the address group.
        QCOMPARE(differing, L{"NUM_BOOTS=2"});
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
