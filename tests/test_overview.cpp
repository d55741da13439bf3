// The network overview: its rows on the demo networks, the passwords it reads
// with, sorting, refreshing, the CSV export and stopping between two nodes.
#include <QHeaderView>
#include <QTableWidget>

#include "channel/ToolRun.h"
#include "support/PasswordNetwork.h"

namespace {

QTableWidget* Grid() {
    return Ctl<QTableWidget>(W().frmOverview, "grdOverview");
}

// The table as shown: one "|"-joined line per row.
L Shown() {
    L rows;
    for (int r = 0; r < Grid()->rowCount(); ++r) {
        L cells;
        for (int c = 0; c < Grid()->columnCount(); ++c)
            cells << Grid()->item(r, c)->text();
        rows << cells.join('|');
    }
    return rows;
}

const QByteArray kAliases = "020A1B000001=Desk\r\n020A1B000002=Office\r\n020A1B000003=Garage\r\n";

// The overview's request for a node.
QString Read(const QString& node, const QString& password) {
    return Req("GET", node, password, "NET_ID_STR MODEL VER NODE_TYPE");
}

// Presses Stop as the overview's second node is being read.
int gClientRuns = 0;
void StopAtSecondNode(const QString& program) {
    if (program == "ihcp_client.exe" && ++gClientRuns == 2)
        Ctl<QPushButton>(W().frmOverview, "cmdOvStop")->click();
}

}  // namespace

class OverviewTest : public QObject {
    Q_OBJECT

private slots:
    // The connected node comes first, then the node page's order. Each node is
    // read with the password it took in the walk; one that took none (the
    // office refuses every password, the study's was not typed) with the
    // connected node's. Nodes of another network are not asked.
    void rows_data() {
        Cols<bool, L, L>({"passwords", "rows", "requests"});
        const QString ok = "{txtOvAnswered}", other = "{txtOvOtherNetwork}";
        // clang-format off
        const L demo{"Desk|" + kLocal + "|KaldorHome|KPL-510A|3.1.7|AP|" + ok,
                     "Office|" + kOffice + "|KaldorHome|KPL-200|2.4.11|EP|" + ok,
                     "Garage|" + kGarage + "|KaldorHome|KPL-510A|3.1.7|EP|" + ok};
        Row("demo network", false, demo + L{
            "|" + kLab + "|KaldorLab||||" + other,
            "|" + kNeighbour + "|Network #1||||" + other,
            "|" + kStudy + "|KaldorHome||||{txtOvRefused}",
            "|" + kAttic + "|KaldorHome|KPL-200|2.4.11|EP|" + ok},
            L{Read(kLocal, kDefaultPw), Read(kOffice, kDefaultPw), Read(kGarage, kDefaultPw),
              Read(kStudy, kDefaultPw), Read(kAttic, kDefaultPw)});
        Row("own passwords", true, L{demo[0],
            "Office|" + kOffice + "|KaldorHome||||{txtOvRefused}", demo[2],
            "|" + kLab + "|KaldorLab||||" + other,
            "|" + kNeighbour + "|Network #1||||" + other,
            "|" + kStudy + "|KaldorHome|KPL-510A|3.1.7|EP|" + ok,
            "|" + kAttic + "|KaldorHome|KPL-200|2.4.11|EP|" + ok},
            L{Read(kLocal, kDeskPw), Read(kOffice, kDeskPw), Read(kGarage, kDeskPw),
              Read(kStudy, kStudyPw), Read(kAttic, kDeskPw)});
        // clang-format on
    }
    void rows() {
        Fixture f;
        QVERIFY(f.start());
        f.writeWorkFile("alias.tmp", kAliases);
        if (Cell<bool>("passwords")) {
            DiscoverPasswordNetwork(f);
        } else {
            f.sim({"request-log", "requests.log"});
            f.click(W().frmBegin, "cmdNext");
            TakeRequests(f);
        }
        f.dialogs.boxes.clear();
        f.click(W().frmConnect, "cmdOverview");
        QVERIFY(W().frmOverview->isVisible());
        L expected;
        for (const QString& row : Cell<L>("rows"))
            expected << Resolved(row);
        QCOMPARE(Shown(), expected);
        QCOMPARE(TakeRequests(f), Cell<L>("requests"));
        QCOMPARE(f.dialogs.describe(), "");
        QVERIFY(W().frmConnect->isEnabled() && Ctl(W().frmOverview, "fraOverview")->isEnabled());
    }

    // Sorting by a column; a refresh reads again and keeps the sort; the CSV
    // file holds the rows as shown, a field with a comma or quote quoted. A
    // cancelled save writes nothing; a target that cannot be written is told.
    void sortRefreshExport() {
        Fixture f;
        QVERIFY(f.start());
        f.writeWorkFile("alias.tmp", kAliases + "020A1B000007=Study \"B\", east\r\n");
        f.sim({"fault", "study", "noAnswer", "on"});
        f.sim({"power", "attic", "off"});
        f.click(W().frmBegin, "cmdNext");
        f.dialogs.boxes.clear();
        f.click(W().frmConnect, "cmdOverview");
        Grid()->sortByColumn(1, Qt::DescendingOrder);
        QCOMPARE(Shown().first().section('|', 1, 1), kStudy);
        f.sim({"set", "garage", "VER", "3.2.0"});
        f.dialogs.savedFiles = L{"", f.workFile("overview.csv"), f.workFile("none/x.csv")};
        f.click(W().frmOverview, "cmdOvRefresh");
        QCOMPARE(Shown().value(3),
                 Resolved("Garage|" + kGarage + "|KaldorHome|KPL-510A|3.2.0|EP|{txtOvAnswered}"));
        f.click(W().frmOverview, "cmdOvExport");
        QVERIFY(QDir(f.workDir()).entryList({"*.csv"}, QDir::Files).isEmpty());
        f.click(W().frmOverview, "cmdOvExport");
        // clang-format off
        QCOMPARE(QString::fromUtf8(f.readWorkFile("overview.csv")), Resolved(
            "{colOvAlias},{colOvMac},{colOvNetId},{colOvModel},{colOvFirmware},{colOvNodeType},{colOvState}\r\n"
            "\"Study \"\"B\"\", east\",020A1B000007,KaldorHome,,,,{txtOvNoAnswer}\r\n"
            ",020A1B000005,Network #1,,,,{txtOvOtherNetwork}\r\n"
            ",020A1B000004,KaldorLab,,,,{txtOvOtherNetwork}\r\n"
            "Garage,020A1B000003,KaldorHome,KPL-510A,3.2.0,EP,{txtOvAnswered}\r\n"
            "Office,020A1B000002,KaldorHome,KPL-200,2.4.11,EP,{txtOvAnswered}\r\n"
            "Desk,020A1B000001,KaldorHome,KPL-510A,3.1.7,AP,{txtOvAnswered}\r\n"));
        // clang-format on
        QCOMPARE(f.dialogs.describe(), "");
        f.click(W().frmOverview, "cmdOvExport");
        QCOMPARE(f.dialogs.describe(),
                 Resolved("[1|Kaldor Config Tool] {errWriteFile}")
                     .replace("%1", QDir::toNativeSeparators(f.workFile("none/x.csv"))));
        QCOMPARE(f.dialogs.fileDialogTitles, L(3, Resolved("{cdlOvTitle}")));
    }

    // Stop pressed while the second node is read: that read ends, the nodes
    // after it are not asked and are listed as not read.
    void stopBetweenNodes() {
        Fixture f;
        QVERIFY(f.start());
        f.click(W().frmBegin, "cmdNext");
        f.sim({"request-log", "requests.log"});
        gClientRuns = 0;
        ObserveToolRuns(StopAtSecondNode);
        f.click(W().frmConnect, "cmdOverview");
        ObserveToolRuns(nullptr);
        QCOMPARE(TakeRequests(f), L({Read(kLocal, kDefaultPw), Read(kOffice, kDefaultPw)}));
        L states;
        for (const QString& row : Shown())
            states << row.section('|', -1);
        QCOMPARE(states, L({Resolved("{txtOvAnswered}"), Resolved("{txtOvAnswered}")}) +
                             L(5, Resolved("{txtOvNotRead}")));
        QVERIFY(!Ctl<QPushButton>(W().frmOverview, "cmdOvStop")->isEnabled());
    }
};

QTEST_MAIN(OverviewTest)
#include "test_overview.moc"
