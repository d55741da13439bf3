// Node discovery on the simulated network, the node-line columns and the
// alias file.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "discovery/Alias.h"
#include "discovery/Discovery.h"
#include "lang/Catalogue.h"
#include "support/Fixture.h"

namespace {
const QString kLocal = "020A1B000001";
const QString kOffice = "020A1B000002";
const QString kGarage = "020A1B000003";
const QString kLab = "020A1B000004";
const QString kNeighbour = "020A1B000005";
const QString kAttic = "020A1B000006";
const QString kStudy = "020A1B000007";

QString Box() {
    return Ctl<QLineEdit>(W().frmConnect, "txtMacDirect")->text();
}
}  // namespace

class DiscoveryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> f;

    void discover() { f->click(W().frmBegin, "cmdNext"); }

private slots:
    void init() {
        f = std::make_unique<Fixture>();
        QVERIFY(f->start());
    }
    void cleanup() { f.reset(); }

    void nodeLineColumns_data() {
        QTest::addColumn<QString>("networkId");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("short") << "Home"
                               << "Home";
        QTest::newRow("20 characters") << "ABCDEFGHIJKLMNOPQRST"
                                       << "ABCDEFGHIJKLMNOPQRST";
        QTest::newRow("25 characters") << "ABCDEFGHIJKLMNOPQRSTUVWXY"
                                       << "ABCDEFGHIJKLMNOPQRST";
        QTest::newRow("empty") << ""
                               << "";
    }
    void nodeLineColumns() {
        QFETCH(QString, networkId);
        QFETCH(QString, readBack);
        const QString line = NodeLine("0011223344AA", networkId, "Kitchen stove");
        QCOMPARE(line.size(), 45);
        QCOMPARE(line.mid(13, 21), PadField(networkId, 21));
        QCOMPARE(line.mid(35), "Kitchen st");
        QCOMPARE(LineMac(line), "0011223344AA");
        QCOMPARE(LineNetworkId(line), readBack);
        QCOMPARE(PadField("ab", 5), "ab   ");
        QCOMPARE(PadField("abcde", 5), "abcde");
        QCOMPARE(PadField("abcdef", 5), "abcde");
    }

    void saveAlias_data() {
        QTest::addColumn<QByteArray>("before");  // "-" for no file
        QTest::addColumn<QString>("mac");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file") << QByteArray("-") << "AA" << QByteArray("AA=new\r\n");
        QTest::newRow("append") << QByteArray("BB=b\r\n") << "AA"
                                << QByteArray("BB=b\r\nAA=new\r\n");
        QTest::newRow("append after unended line")
            << QByteArray("BB=b") << "AA" << QByteArray("BB=b\r\nAA=new\r\n");
        QTest::newRow("replace in place") << QByteArray("BB=b\r\n\r\nAA=old\r\nCC=c\r\n") << "AA"
                                          << QByteArray("BB=b\r\nAA=new\r\nCC=c\r\n");
        QTest::newRow("keeps lines without =")
            << QByteArray("junk\r\nAA=old=x\r\n") << "AA" << QByteArray("junk\r\nAA=new\r\n");
        QTest::newRow("case is a different key")
            << QByteArray("aa=low\r\n") << "AA" << QByteArray("aa=low\r\nAA=new\r\n");
    }
    void saveAlias() {
        QFETCH(QByteArray, before);
        QFETCH(QString, mac);
        QFETCH(QByteArray, after);
        if (before != "-") {
            f->writeWorkFile("alias.tmp", before);
        }
        QVERIFY(SaveAlias(mac, "new"));
        QCOMPARE(f->readWorkFile("alias.tmp"), after);
    }

    void manyAliases() {
        QByteArray many;
        for (int i = 0; i < 60; ++i) {
            many += QByteArray::number(100000000000LL + i) + "=n" + QByteArray::number(i) + "\r\n";
        }
        f->writeWorkFile("alias.tmp", many);
        QVERIFY(SaveAlias("100000000059", "last"));
        QVERIFY(SaveAlias("200000000000", "extra"));
        const QByteArray text = f->readWorkFile("alias.tmp");
        QCOMPARE(text.count("\r\n"), 61);
        QVERIFY(text.contains("100000000000=n0\r\n"));
        QVERIFY(text.contains("100000000059=last\r\n200000000000=extra\r\n"));
        QVERIFY(!QFile::exists(f->workFile("alias.tmp~")));
    }

    void discoveryFileForms_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("mac");
        QTest::addColumn<int>("interfaceNumber");
        QTest::addColumn<QStringList>("interfaces");
        QTest::newRow("node found")
            << QStringList{kLocal, "1", "KPL-510A 3.1.7", "eth0 first", "eth1 second"} << true
            << kLocal << 1 << QStringList{"eth0 first", "eth1 second"};
        QTest::newRow("number with text after it")
            << QStringList{kLocal, " 2 (eth2)"} << true << kLocal << 2 << QStringList();
        QTest::newRow("number out of range")
            << QStringList{kLocal, "99999"} << true << kLocal << 32767 << QStringList();
        QTest::newRow("no number") << QStringList{kLocal} << true << kLocal << 0 << QStringList();
        QTest::newRow("no node") << QStringList{"E", "eth0 first"} << false << "" << 0
                                 << QStringList{"eth0 first"};
        QTest::newRow("empty file") << QStringList() << false << "" << 0 << QStringList();
        QTest::newRow("lower-case e names a node")
            << QStringList{"e", "1"} << true << "e" << 1 << QStringList();
    }
    void discoveryFileForms() {
        QFETCH(QStringList, lines);
        const DiscoveryFile discovery = ParseDiscoveryFile(lines);
        QTEST(discovery.found, "found");
        QTEST(discovery.localMac, "mac");
        QTEST(int(discovery.interfaceNumber), "interfaceNumber");
        QTEST(discovery.interfaces, "interfaces");
    }

    void discoveryFile_data() {
        QTest::addColumn<QByteArray>("content");  // "-" for no file
        QTest::addColumn<bool>("found");
        QTest::addColumn<QStringList>("interfaces");
        QTest::newRow("E alone") << QByteArray("E\r\n") << false << QStringList();
        QTest::newRow("E with interfaces") << QByteArray("E\r\neth0 first\r\neth1 second\r\n")
                                           << false << QStringList{"eth0 first", "eth1 second"};
        QTest::newRow("missing") << QByteArray("-") << false << QStringList{"untouched"};
        QTest::newRow("found") << QByteArray("020A1B000001\r\n1\r\nx\r\neth0\r\n") << true
                               << QStringList();
    }
    void discoveryFile() {
        QFETCH(QByteArray, content);
        QFETCH(bool, found);
        QFETCH(QStringList, interfaces);
        auto* combo = Ctl<QComboBox>(W().frmAdvanced, "cboInterface");
        combo->addItem("untouched");
        if (content != "-") {
            f->writeWorkFile("macdiscover.tmp", content);
        }
        QCOMPARE(CheckDiscoveryResult(), found);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) {
            items << combo->itemText(i);
        }
        QCOMPARE(items, interfaces);
    }

    // The whole network: the local node's own list, the far node that only a
    // remote node hears, the foreign network listed but never asked, and the
    // node with its own password skipped by an empty prompt.
    void walksTheWholeNetwork() {
        f->writeWorkFile("alias.tmp", (kLocal + "=Desk\r\n" + kAttic + "=Attic\r\n").toUtf8());
        f->sim({"fault", kNeighbour, "refusePassword", "on"});
        f->dialogs.typePassword("");
        discover();
        QVERIFY2(W().frmConnect->isVisible(), qPrintable(f->dialogs.describe()));
        QVERIFY(!W().frmBegin->isVisible());
        QCOMPARE(Box(), NodeLine(kLocal, "KaldorHome", "Desk"));
        QCOMPARE(f->nodeLines(),
                 (QStringList{
                     NodeLine(kOffice, "KaldorHome", ""), NodeLine(kGarage, "KaldorHome", ""),
                     NodeLine(kLab, "KaldorLab", ""), NodeLine(kNeighbour, "Network #1", ""),
                     NodeLine(kStudy, "KaldorHome", ""), NodeLine(kAttic, "KaldorHome", "Attic")}));
        // Only the study asked for a password: the neighbour was never asked.
        QCOMPARE(f->dialogs.modalCount, 1);
        QVERIFY(f->dialogs.boxes.isEmpty());
        const SessionState& s = Session();
        QCOMPARE(s.LocalMac, kLocal);
        QCOMPARE(s.InterfaceNumber, 1);
        QCOMPARE(s.LocalNetworkId, "KaldorHome");
        QCOMPARE(s.LocalPassword, "kaldor");
        QVERIFY(W().frmConnect->isEnabled());
        QVERIFY(!W().frmMessage->isVisible());
        QVERIFY(!Ctl(W().frmConnect, "cmdConfigMac")->isEnabled());
        auto* interfaces = Ctl<QComboBox>(W().frmConfigAdv, "cboInterface");
        QCOMPARE(interfaces->count(), 2);
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

    void promptedPassword_data() {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<int>("errors");
        QTest::newRow("right at once") << QStringList{"study-2024"} << 0;
        QTest::newRow("wrong, then right") << QStringList{"nope", "study-2024"} << 1;
    }
    void promptedPassword() {
        QFETCH(QStringList, typed);
        QFETCH(int, errors);
        for (const QString& password : typed) {
            f->dialogs.typePassword(password);
        }
        discover();
        QCOMPARE(f->dialogs.modalCount, typed.size());
        QCOMPARE(f->dialogs.boxes.size(), errors);
        for (const DialogRecorder::Box& box : f->dialogs.boxes) {
            QCOMPARE(box.text, Session().errPwError);
            QCOMPARE(box.icon, MsgIcon::Stop);
            QCOMPARE(box.title, kAppTitle);
        }
        QCOMPARE(f->nodeLines().size(), 6);
        auto* prompt = W().frmAskPw;
        QCOMPARE(Ctl<QLabel>(prompt, "lblAskPw")->text(), GetText("lblAskPw") + " " + kStudy);
    }

    void lockedLocalNode() {
        f->sim({"password", "local", "changed"});
        f->dialogs.typePassword("");
        discover();
        QCOMPARE(f->dialogs.modalCount, 1);
        QCOMPARE(Box(), kLocal + "   ");
        QVERIFY(f->nodeLines().isEmpty());
        QVERIFY(W().frmConnect->isVisible());
        QVERIFY(W().frmConnect->isEnabled());
        QVERIFY(!Ctl(W().frmConnect, "cmdRefresh")->isEnabled());
        QVERIFY(!Ctl(W().frmConnect, "lstMac")->isEnabled());
        QVERIFY(!Ctl(W().frmConnect, "txtMacDirect")->isEnabled());
        QVERIFY(Ctl(W().frmConnect, "cmdFactoryReset")->isVisible());
        QVERIFY(!W().frmMessage->isVisible());
        QCOMPARE(Session().LocalPassword, "kaldor");
    }

    void localPasswordCarriesOver() {
        f->sim({"password", "local", "typed-once"});
        f->dialogs.typePassword("typed-once");
        f->dialogs.typePassword("");  // the study
        discover();
        QCOMPARE(Session().LocalPassword, "typed-once");
        QCOMPARE(f->nodeLines().size(), 6);
        f->dialogs.modalCount = 0;
        f->dialogs.typePassword("");  // the study again
        f->click(W().frmConnect, "cmdRefresh");
        QCOMPARE(f->dialogs.modalCount, 1);
        QCOMPARE(Session().LocalPassword, "typed-once");
    }

    void noLocalNode() {
        f->sim({"attach", "local", "none"});
        discover();
        QCOMPARE(f->dialogs.boxes.size(), 1);
        QCOMPARE(f->dialogs.boxes[0].text, Session().errNoModems);
        QCOMPARE(f->dialogs.boxes[0].icon, MsgIcon::Stop);
        QVERIFY(W().frmAdvanced->isVisible());
        QVERIFY(!W().frmConnect->isVisible());
        QVERIFY(!Session().DiscoveryFailed);
        auto* interfaces = Ctl<QComboBox>(W().frmAdvanced, "cboInterface");
        QCOMPARE(interfaces->count(), 2);
        QVERIFY(interfaces->itemText(0).startsWith("eth0"));
        QVERIFY(f->nodeLines().isEmpty());
    }

    void walkStopsAtSilentNode() {
        f->sim({"fault", "office", "noAnswer", "on"});
        discover();
        // The local node's own list stays; the garage's far node is never found.
        QCOMPARE(f->nodeLines().size(), 5);
        QCOMPARE(f->rowOf(kAttic), -1);
        QCOMPARE(f->dialogs.modalCount, 0);
        QVERIFY(f->dialogs.boxes.isEmpty());
        QVERIFY(W().frmConnect->isEnabled());
    }

    void localNodeRefused() {
        f->sim({"password", "local", "changed"});
        f->dialogs.typePassword("wrong");
        f->dialogs.modalScripts.append([this](QDialog* dialog) {
            f->sim({"fault", "local", "noAnswer", "on"});
            Ctl<QLineEdit>(dialog, "txtAskPw")->setText("another");
            Ctl<QPushButton>(dialog, "cmdOk")->click();
        });
        discover();
        QCOMPARE(f->dialogs.boxes.size(), 2);
        QCOMPARE(f->dialogs.boxes[0].text, Session().errPwError);
        QCOMPARE(f->dialogs.boxes[1].icon, MsgIcon::Exclamation);
        QCOMPARE(f->dialogs.boxes[1].text, GetText("errNoLocal"));
        QVERIFY(W().frmBegin->isVisible());
        QVERIFY(!W().frmConnect->isVisible());
    }

    void emptyDefaultPasswordSkipsEveryNode() {
        f->setCatalogue("defaultpassword", "");
        discover();
        QCOMPARE(Box(), QString());
        QVERIFY(f->nodeLines().isEmpty());
        QCOMPARE(f->dialogs.modalCount, 0);
        QVERIFY(!QFile::exists(f->workFile("get.cfg")));
    }
};

QTEST_MAIN(DiscoveryTest)
#include "test_discovery.moc"
