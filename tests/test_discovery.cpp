// Node discovery on the simulated network, the node-line columns, the
// discovery file and the alias file.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

#include "app/TextFiles.h"
#include "discovery/Alias.h"
#include "discovery/Discovery.h"
#include "support/Boxes.h"
#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/DemoNetwork.h"
#include "support/Fixture.h"
#include "support/PromptScripts.h"

class DiscoveryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() { f.reset(); }

    // MAC (12), blank, network identifier (21), blank, alias (10).
    void nodeLineColumns_data() {
        Columns({"networkId", "readBack", "padded5"});
        Row("short", "Home", "Home", "Home ");
        Row("20 characters", "ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST", "ABCDE");
        Row("25 characters", "ABCDEFGHIJKLMNOPQRSTUVWXY", "ABCDEFGHIJKLMNOPQRST", "ABCDE");
        Row("empty", "", "", "     ");
    }
    void nodeLineColumns() {
        const QString line = NodeLine("0011223344AA", Cell("networkId"), "Kitchen stove");
        QCOMPARE(line,
                 "0011223344AA " + Cell("networkId").leftJustified(21, ' ', true) + " Kitchen st");
        QCOMPARE(LineMac(line), "0011223344AA");
        QCOMPARE(LineNetworkId(line), Cell("readBack"));
        QCOMPARE(PadField(Cell("networkId"), 5), Cell("padded5"));
    }

    // A rewrite goes through a temporary file renamed over the old one: no
    // other file is left behind.
    void saveAlias_data() {
        Columns({"before", "alias", "after"});  // before "-": no file
        QString many;
        for (int i = 10; i < 70; ++i) {
            many += "0000000000" + QString::number(i) + "=n\r\n";
        }
        Row("no file", "-", "new", "AA=new\r\n");
        Row("append", "BB=b\r\n", "new", "BB=b\r\nAA=new\r\n");
        Row("append after unended line", "BB=b", "new", "BB=b\r\nAA=new\r\n");
        Row("replace in place", "BB=b\r\n\r\nAA=old\r\nCC=c\r\n", "new",
            "BB=b\r\nAA=new\r\nCC=c\r\n");
        Row("keeps lines without =", "junk\r\nAA=old=x\r\n", "new", "junk\r\nAA=new\r\n");
        Row("letter case is another key", "aa=low\r\n", "new", "aa=low\r\nAA=new\r\n");
        Row("60 entries", many + "AA=old\r\n", "new", many + "AA=new\r\n");
        Row("line break refused", "BB=b\r\n", "a\nb", "BB=b\r\n");
    }
    void saveAlias() {
        if (Cell("before") != "-") {
            f->writeWorkFile("alias.tmp", Cell("before").toUtf8());
        }
        const bool saved = SaveAlias("AA", Cell("alias"));
        QCOMPARE(BoxTexts(f->dialogs),
                 saved ? QStringList() : Resolved(QStringList{"{errLineBreak}"}));
        QCOMPARE(QString::fromUtf8(f->readWorkFile("alias.tmp")), Cell("after"));
        QCOMPARE(QDir(f->workDir()).entryList({"alias*"}, QDir::Files | QDir::Hidden),
                 QStringList{"alias.tmp"});
    }

    // The local node with its interface number, or "E" and the host's
    // interfaces for the loader page, whose list starts as "untouched".
    void discoveryFile_data() {
        Columns({"content", "mac", "number", "interfaces"});  // content "-": no file
        Row("node found", "X\r\n1\r\nKPL-510A 3.1.7\r\neth0 a\r\n", "X", "1", "");
        Row("number with text after it", "X\r\n 2 (eth2)\r\n", "X", "2", "");
        Row("number out of range", "X\r\n99999\r\n", "X", "32767", "");
        Row("no number", "X", "X", "0", "");
        Row("lower-case e names a node", "e\r\n1\r\n", "e", "1", "");
        Row("E alone", "E\r\n", "", "0", "");
        Row("E with interfaces", "E\neth0 first\r\neth1 second\r\n", "", "0",
            "eth0 first|eth1 second");
        Row("empty file", "", "", "0", "");
        Row("no file", "-", "", "0", "untouched");
    }
    void discoveryFile() {
        if (Cell("content") != "-") {
            f->writeWorkFile("macdiscover.tmp", Cell("content").toUtf8());
        }
        const DiscoveryResult result = ReadDiscoveryResult();
        QCOMPARE(result.end != DiscoveryResult::End::LoaderPage, !Cell("mac").isEmpty());
        // Without a file the loader page's list stays as it was.
        QCOMPARE(result.fileRead ? result.loaderInterfaces : QStringList{"untouched"},
                 Parts(Cell("interfaces")));
        const DiscoveryFile file =
            ParseDiscoveryFile(ReadLines(f->workFile("macdiscover.tmp")).value_or(QStringList()));
        QCOMPARE(file.localMac, Cell("mac"));
        QCOMPARE(QString::number(file.interfaceNumber), Cell("number"));
    }

    // A node of the connection list is new unless its element equals the
    // MAC column of a listed line: a longer element that only begins with a
    // listed MAC is listed too.
    void connectionElementComparedWhole() {
        // A client that answers for two nodes; the office node reports an
        // element that begins with the connected node's MAC.
        f->writeWorkFile("ihcp_client.exe",
                         "#!/bin/sh\n"
                         "if grep -q '^GET 020A1B000001' \"$1\"; then\n"
                         "  printf 'INFO\\r\\nNET_ID_STR=Home\\r\\n"
                         "PLC_CONNECTION_MAC_ADDR=\"020A1B000002\"\\r\\n"
                         "PLC_CONNECTION_NET_ID_STR=\"Home\"\\r\\n' > ihcp_client.tmp\n"
                         "else\n"
                         "  printf 'INFO\\r\\nNET_ID_STR=Home\\r\\n"
                         "PLC_CONNECTION_MAC_ADDR=\"020A1B000001X\",\"020A1B000002\"\\r\\n"
                         "PLC_CONNECTION_NET_ID_STR=\"Home\",\"Home\"\\r\\n' > ihcp_client.tmp\n"
                         "fi\n");
        QFile::setPermissions(f->workFile("ihcp_client.exe"), QFile::ReadOwner | QFile::ExeOwner);
        f->click(W().frmBegin, "cmdNext");
        QVERIFY2(f->dialogs.boxes.isEmpty(), qPrintable(f->dialogs.describe()));
        QCOMPARE(f->nodeLines(),
                 (QStringList{NodeLine(kOffice, "Home", ""), NodeLine(kLocal + "X", "Home", "")}));
    }

    // The whole network: the local node's own list, the far node that only a
    // remote node hears, the foreign network listed but never asked, and the
    // node with its own password skipped by an empty prompt.
    void walksTheWholeNetwork() {
        f->writeWorkFile("alias.tmp", (kLocal + "=Desk\r\n" + kAttic + "=Attic\r\n").toUtf8());
        f->sim({"fault", kNeighbour, "refusePassword", "on"});
        f->dialogs.typePassword("");
        f->click(W().frmBegin, "cmdNext");
        QVERIFY2(W().frmConnect->isVisible(), qPrintable(f->dialogs.describe()));
        auto* box = Ctl<QLineEdit>(W().frmConnect, "txtMacDirect");
        QCOMPARE(box->text(), NodeLine(kLocal, "KaldorHome", "Desk"));
        QCOMPARE(f->nodeLines(),
                 (QStringList{
                     NodeLine(kOffice, "KaldorHome", ""), NodeLine(kGarage, "KaldorHome", ""),
                     NodeLine(kLab, "KaldorLab", ""), NodeLine(kNeighbour, "Network #1", ""),
                     NodeLine(kStudy, "KaldorHome", ""), NodeLine(kAttic, "KaldorHome", "Attic")}));
        QCOMPARE(f->dialogs.modalCount, 1);  // the study's prompt only
        QVERIFY(f->dialogs.boxes.isEmpty());
        const SessionState& s = Session();
        QCOMPARE((QStringList{s.LocalMac, s.LocalNetworkId, s.LocalPassword,
                              QString::number(s.InterfaceNumber)}),
                 (QStringList{kLocal, "KaldorHome", "kaldor", "1"}));
        QVERIFY(!Ctl(W().frmConnect, "cmdConfigMac")->isEnabled());
        QCOMPARE(Ctl<QComboBox>(W().frmConfigAdv, "cboInterface")->count(), 2);
        // Each heading starts within a few pixels of its column's first character.
        auto* list = Ctl<QListWidget>(W().frmConnect, "lstMac");
        const QFontMetrics metrics(list->font());
        const int text = list->viewport()->mapTo(W().frmConnect, QPoint(0, 0)).x();
        const std::pair<const char*, int> headings[] = {
            {"lblTitMac", 0}, {"lblTitId", 13}, {"lblAlias", 35}};
        for (const auto& [name, column] : headings) {
            const int x = Ctl(W().frmConnect, name)->mapTo(W().frmConnect, QPoint(0, 0)).x();
            const int expected = text + metrics.horizontalAdvance(QString(column, ' '));
            QVERIFY2(qAbs(x - expected) <= 4,
                     qPrintable(QString("%1 at %2, column at %3").arg(name).arg(x).arg(expected)));
        }
    }

    // Prompts and ways out of the walk. Only the study has a password of its
    // own unless "sim" gives the local node one. A password typed for the
    // local node is kept, so a refresh asks only the study again.
    void outcomes_data() {
        Columns({"sim", "defaultPassword", "typed", "asked", "boxes", "page", "localPassword"});
        QTest::addColumn<int>("prompts");
        QTest::addColumn<int>("lines");
        Row("study right at once", "", "kaldor", "study-2024", kStudy, "", "frmConnect", "kaldor",
            1, 6);
        Row("study wrong, then right", "", "kaldor", "nope|study-2024", kStudy, "{errPwError}",
            "frmConnect", "kaldor", 2, 6);
        Row("local typed once", "password|local|typed-once", "kaldor", "typed-once|", kStudy, "",
            "frmConnect", "typed-once", 2, 6);
        Row("local left empty: locked", "password|local|changed", "kaldor", "", kLocal, "",
            "locked", "kaldor", 1, 0);
        Row("local refused, then silent", "password|local|changed", "kaldor", "wrong|silent:more",
            kLocal, "{errPwError}|{errNoLocal}", "frmBegin", "more", 2, 0);
        Row("no local node", "attach|local|none", "kaldor", "", "", "{errNoModems}", "frmAdvanced",
            "", 0, 0);
        Row("walk stops at a silent node", "fault|office|noAnswer|on", "kaldor", "", "", "",
            "frmConnect", "kaldor", 0, 5);
        Row("empty default password", "", "", "", "", "", "frmConnect", "", 0, 0);
    }
    void outcomes() {
        RunSim(*f, Cell("sim"));
        f->setCatalogue("defaultpassword", Cell("defaultPassword"));
        ScriptPrompts(*f, Parts(Cell("typed")));
        f->click(W().frmBegin, "cmdNext");
        const int lines = Cell<int>("lines");
        QCOMPARE(f->dialogs.modalCount, Cell<int>("prompts"));
        if (!Cell("asked").isEmpty()) {
            QCOMPARE(Ctl<QLabel>(W().frmAskPw, "lblAskPw")->text(),
                     Resolved("{lblAskPw} ") + Cell("asked"));
        }
        QCOMPARE(BoxTexts(f->dialogs), Resolved(Parts(Cell("boxes"))));
        for (const DialogRecorder::Box& box : f->dialogs.boxes) {
            const bool noLocal = box.text == Resolved("{errNoLocal}");
            QCOMPARE(box.icon, noLocal ? MsgIcon::Exclamation : MsgIcon::Stop);
        }
        QCOMPARE(f->nodeLines().size(), lines);
        // No request goes out without a password to send.
        QCOMPARE(QFile::exists(f->workFile("get.cfg")), lines > 0 || Cell<int>("prompts") > 0);
        QCOMPARE(Session().LocalPassword, Cell("localPassword"));
        const bool locked = Cell("page") == "locked";
        QCOMPARE(W().frmConnect->isVisible(), locked || Cell("page") == "frmConnect");
        QCOMPARE(W().frmAdvanced->isVisible(), Cell("page") == "frmAdvanced");
        QCOMPARE(W().frmBegin->isVisible(), Cell("page") == "frmBegin");
        QVERIFY(W().frmConnect->isEnabled() && !W().frmMessage->isVisible());
        QVERIFY(!Session().DiscoveryFailed);
        QCOMPARE(Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->count(),
                 Cell("page") == "frmAdvanced" ? 2 : 0);
        if (!W().frmConnect->isVisible()) {
            return;
        }
        QCOMPARE(Ctl(W().frmConnect, "cmdFactoryReset")->isVisible(), locked);
        for (const char* name : {"cmdRefresh", "lstMac", "txtMacDirect"}) {
            QVERIFY2(Ctl(W().frmConnect, name)->isEnabled() != locked, name);
        }
        QCOMPARE(Ctl<QLineEdit>(W().frmConnect, "txtMacDirect")->text() == kLocal + "   ", locked);
        if (lines == 6) {
            f->dialogs.modalCount = 0;
            f->click(W().frmConnect, "cmdRefresh");
            QCOMPARE(f->dialogs.modalCount, 1);
            QCOMPARE(Session().LocalPassword, Cell("localPassword"));
        }
    }
};

QTEST_MAIN(DiscoveryTest)
#include "test_discovery.moc"
