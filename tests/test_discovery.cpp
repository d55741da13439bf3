// Node discovery: the passwords of the walk request by request and its ways
// out, the node lines and the alias file.
#include "discovery/Alias.h"
#include "discovery/Discovery.h"
#include "support/PasswordNetwork.h"

// A node line: MAC, network identifier cut or padded to 21, alias to 10.
static QString Line(const QString& mac, const QString& net, const QString& alias = "") {
    return mac + ' ' + net.leftJustified(21, ' ', true) + ' ' + alias.leftJustified(10, ' ', true);
}

class DiscoveryTest : public QObject {
    Q_OBJECT

private slots:
    // A rewrite goes through a temporary file renamed over the old one: no
    // other file is left behind. An empty "before" is no file.
    void saveAlias_data() {
        Cols<QString, QString, QString>({"before", "alias", "after"});
        // clang-format off
        Row("no file", "", "new", "AA=new\r\n");
        Row("append after unended line", "BB=b", "new", "BB=b\r\nAA=new\r\n");
        Row("replace in place", "BB=b\r\n\r\nAA=old=x\r\nCC=c\r\n", "new", "BB=b\r\nAA=new\r\nCC=c\r\n");
        Row("line break refused", "BB=b\r\n", "a\nb", "BB=b\r\n");
        // clang-format on
    }
    void saveAlias() {
        Fixture f;
        QVERIFY(f.start());
        if (!Cell("before").isEmpty())
            f.writeWorkFile("alias.tmp", Cell("before").toUtf8());
        const bool refused = Cell("alias").contains('\n');
        QCOMPARE(SaveAlias("AA", Cell("alias")), !refused);
        QCOMPARE(f.dialogs.describe(),
                 refused ? Resolved("[1|Kaldor Config Tool] {errLineBreak}") : "");
        QCOMPARE(QString::fromUtf8(f.readWorkFile("alias.tmp")), Cell("after"));
        QCOMPARE(QDir(f.workDir()).entryList({"alias*"}, QDir::Files | QDir::Hidden),
                 QStringList{"alias.tmp"});
    }

    // Each node is asked with the local node's password, then the default,
    // then typed ones; the local node's typed password is kept. The office
    // refuses every password, the lab is of another network and the neighbour
    // is never asked. A remote node that does not answer is passed over and
    // named after the walk; the attic, seen only by the garage, is then not
    // found. The lab's long identifier is read back from its line as its
    // first 20 characters. A missing or empty discovery file means no local
    // node. Prompted: the nodes the password prompts name, by alias and MAC
    // where an alias is stored. Interfaces: the entries offered on the
    // advanced page.
    void walk_data() {
        Cols<L, QString, L, L, L, L, QString, L, int>({"sim", "defaultPassword", "typed",
                                                       "requests", "boxes", "prompted", "page",
                                                       "lines", "interfaces"});
        // clang-format off
        const QString home = "KaldorHome", stop = "[2|Kaldor Config Tool] ", dp = kDefaultPw,
            adv = "frmAdvanced", told = "[1|Kaldor Config Tool] ";
        const L none, empty{""}, local{Walk(kLocal, kDefaultPw), Walk(kLocal, kDefaultPw)},
            lines{Line(kLocal, home, "Desk"), Line(kOffice, home, "Office"), Line(kGarage, home, "Garage"),
                  Line(kLab, "KaldorLaboratoryNetwork"), Line(kNeighbour, "Network #1"),
                  Line(kStudy, home), Line(kAttic, home, "Attic over")},
            walked = local + L{Walk(kLocal, kDeskPw), Walk(kOffice, kDeskPw), Walk(kOffice, kDefaultPw),
                Walk(kOffice, "guess"), Walk(kGarage, kDeskPw), Walk(kLab, kDeskPw), Walk(kLab, kDefaultPw),
                Walk(kStudy, kDeskPw), Walk(kStudy, kDefaultPw), Walk(kStudy, kStudyPw)},
            desk{"Desk (" + kLocal + ")"}, office{"Office (" + kOffice + ")"},
            prompts = desk + office + office + L{kStudy}, pwError{stop + "{errPwError}"},
            noModems{stop + "{errNoModems}"}, noLocal = pwError + L{told + "{errNoLocal}"},
            silent = pwError + L{told + "{errNoAnswerNodes} Garage (" + kGarage + ")"},
            refused = local + L{Walk(kLocal, "wrong"), Walk(kLocal, "more")},
            noFile{"fault", "discover", "noResponse", "on"}, cutFile{"fault", "discover", "truncateAt", "0"};
        Row("every kind of password", none, dp, kWalkTyped, walked + L{Walk(kAttic, kDeskPw)}, pwError,
            prompts, "frmConnect", lines, 0);
        Row("silent node passed over, named after the walk", L{"fault", "garage", "noAnswer", "on"}, dp,
            kWalkTyped, walked, silent, prompts, "frmConnect", lines.mid(0, 6), 0);
        Row("local prompt empty, locked", none, dp, empty, local, none, desk, "locked", L{kLocal + "   "}, 0);
        Row("local refused, then silent", none, dp, L{"wrong", "silent:more"}, refused, noLocal, desk + desk,
            "frmBegin", empty, 0);
        Row("no local node", L{"attach", "local", "none"}, dp, none, none, noModems, none, adv, empty, 2);
        Row("no discovery file", noFile, dp, none, none, noModems, none, adv, empty, 0);
        Row("empty discovery file", cutFile, dp, none, none, noModems, none, adv, empty, 0);
        Row("empty default password, none asked", none, "", none, none, none, none, "frmConnect", empty, 0);
        // clang-format on
    }
    void walk() {
        Fixture f;
        QVERIFY(f.start());
        f.writeWorkFile("alias.tmp", (kLocal + "=Desk\r\n" + kOffice + "=Office\r\n" + kGarage +
                                      "=Garage\r\n" + kAttic + "=Attic over the garage\r\n")
                                         .toUtf8());
        UsePasswordNetwork(f);
        f.sim({"set", "lab", "NET_ID_STR", "KaldorLaboratoryNetwork"});  // cut in the list
        f.sim(Cell<L>("sim"));
        f.setCatalogue("defaultpassword", Cell("defaultPassword"));
        ScriptPrompts(f, Cell<L>("typed"));
        f.click(W().frmBegin, "cmdNext");
        QCOMPARE(TakeRequests(f), Cell<L>("requests"));
        QCOMPARE(f.dialogs.describe(), Resolved(Cell<L>("boxes")).join('\n'));
        L prompts;
        for (const QString& node : Cell<L>("prompted"))
            prompts << Resolved("[{frmAskPw}] {lblAskPw} ") + node;
        QCOMPARE(f.dialogs.modals, prompts);
        QCOMPARE(L{Ctl<QLineEdit>(W().frmConnect, "txtMacDirect")->text()} + f.nodeLines(),
                 Cell<L>("lines"));
        QCOMPARE(LineNetworkId(Line(kLab, "KaldorLaboratoryNetwork")), "KaldorLaboratoryNetw");
        const bool locked = Cell("page") == "locked";
        QCOMPARE(ShownPage()->objectName(), locked ? "frmConnect" : Cell("page"));
        QVERIFY(W().frmConnect->isEnabled() && !W().frmMessage->isVisible());
        QVERIFY(!Session().DiscoveryFailed && !Ctl(W().frmConnect, "cmdConfigMac")->isEnabled());
        QCOMPARE(Ctl<QComboBox>(W().frmAdvanced, "cboInterface")->count(), Cell<int>("interfaces"));
        QCOMPARE(Ctl(W().frmConnect, "cmdFactoryReset")->isVisible(), locked);
        for (const char* name : {"cmdRefresh", "lstMac", "txtMacDirect"})
            QVERIFY2(Ctl(W().frmConnect, name)->isEnabled() != locked, name);
    }
};

QTEST_MAIN(DiscoveryTest)
#include "test_discovery.moc"
