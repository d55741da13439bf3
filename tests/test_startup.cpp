// Start-up, captions from the catalogues, and the way the program ends.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QtTest>

#include "app/TextFiles.h"
#include "support/Boxes.h"
#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/Fixture.h"

namespace {

bool NoWindowVisible() {
    const QList<QWidget*> windows = AllWindows(W());
    return std::none_of(windows.begin(), windows.end(),
                        [](QWidget* w) { return w && w->isVisible(); });
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    // The assistant window keeps one size for every page: each page, with
    // either catalogue's texts, fits in it.
    void everyPageFits_data() {
        QTest::addColumn<QString>("catalogue");
        QTest::newRow("English") << "english.lng";
        QTest::newRow("Spanish") << "spanish.lng";
    }
    void everyPageFits() {
        QFETCH(QString, catalogue);
        Fixture f;
        f.writeWorkFile("languages/default.lang", catalogue.toUtf8() + "\r\n");
        QVERIFY(f.start());
        const QSize room = W().assistant->size();
        for (QWidget* page : {W().frmBegin, W().frmConnect, W().frmAdvanced, W().frmConfig,
                              W().frmEnd, W().frmSetAll}) {
            Fixture::show(page);
            const QSize needed = page->minimumSizeHint();
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                     qPrintable(page->objectName()));
            QCOMPARE(W().assistant->size(), room);
        }
    }

    // A missing text stops the start-up before any page shows. The message's
    // prefix comes from the catalogue only once the cached texts are loaded,
    // after the welcome and node pages are labelled.
    void missingKeyStopsStartUp_data() {
        Columns({"key", "prefix"});
        Row("version, looked up first", "version", "");
        Row("welcome page caption", "lblBeginNote2", "");
        Row("configuration page caption", "lblConfigTit", "{errLoadLang}");
        Row("advanced window caption", "tabGeneral", "{errLoadLang}");
    }
    void missingKeyStopsStartUp() {
        Fixture f;
        f.removeCatalogue(Cell("key"));
        QVERIFY(!f.start());
        QCOMPARE(BoxTexts(f.dialogs),
                 QStringList{Resolved(Cell("prefix")) + ": '" + Cell("key") + "' not found"});
        QCOMPARE(f.dialogs.boxes[0].title, "Error");
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.exitCode, 1);
        QVERIFY(NoWindowVisible());
    }

    void missingWorkFolder() {
        Fixture f;
        QVERIFY(QDir(f.workDir()).removeRecursively());
        QVERIFY(!f.start());
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QVERIFY(f.dialogs.boxes[0].text.contains("resources"));
    }

    // Catalogue texts that shape the windows: the version, the switches (only
    // "yes" in any letter case) and the optional tabs, which exist only with a
    // caption (their positions are tested with the advanced window).
    void catalogueSettings_data() {
        Columns({"version", "switch", "emptyTabs", "versionText"});
        QTest::addColumn<bool>("switchedOn");
        QTest::addColumn<int>("tabs");
        Row("every tab", "2.7", "yes", "", "2.7.22", true, 9);
        Row("no MAC", "", "YeS", "tabMac", ".22", true, 8);
        Row("no MAC, no PHY", "a=b", "yes ", "tabMac|tabPhy", "a=b.22", false, 7);
        Row("no optional tab", "2", "1",
            "tabNetwork|tabMac|tabPhy|tabMulticat|tabSecurity|tabVlan|tabQoS|tabQoSAdv", "2.22",
            false, 1);
    }
    void catalogueSettings() {
        Fixture f;
        f.setCatalogue("version", Cell("version"));
        f.setCatalogue("showQuickAdvanced", Cell("switch"));
        f.setCatalogue("showFLUP", Cell("switch"));
        for (const QString& key : Parts(Cell("emptyTabs"))) {
            f.setCatalogue(key, "");
        }
        QVERIFY(f.start());
        QCOMPARE(Session().VersionText, Cell("versionText"));
        QCOMPARE(Ctl<QLabel>(W().frmBegin, "lblVersionSw")->text(), Cell("versionText"));
        QCOMPARE(!Ctl(W().frmConnect, "cmdQuickAdv")->isHidden(), Cell<bool>("switchedOn"));
        QCOMPARE(!Ctl(W().frmConfigAdv, "fraFwUpdate")->isHidden(), Cell<bool>("switchedOn"));
        QCOMPARE(Ctl<QTabBar>(W().frmConfigAdv, "tabConfig")->count(), Cell<int>("tabs"));
        // Without its tab the MAC panel keeps its design-time captions.
        QCOMPARE(Ctl<QGroupBox>(W().frmConfigAdv, "fraMacConfig")->title(),
                 App().tabs.MacTab ? Resolved("{fraMacConfig}") : "MAC Configuration");
    }

    // The hidden parameter list gives its width back: nothing sits where it was.
    void hiddenParameterListGivesWidthBack() {
        int widthWith = 0, listWidth = 0;
        {
            Fixture f;
            QVERIFY(f.start());
            W().frmConfigAdv->show();
            widthWith = W().frmConfigAdv->width();
            listWidth = Ctl(W().frmConfigAdv, "lstConfig")->width();
        }
        Fixture f;
        f.setCatalogue("showConfigPanel", "no");
        QVERIFY(f.start());
        W().frmConfigAdv->show();
        QVERIFY(Ctl(W().frmConfigAdv, "lstConfig")->isHidden() && listWidth > 0);
        QCOMPARE(W().frmConfigAdv->width(), widthWith - listWidth);
        QVERIFY(Ctl(W().frmConfigAdv, "tabConfig")->geometry().left() < listWidth);
    }

    // Start-up works in the resources folder, whose path holds a blank, and
    // keeps the start folder. Exit removes the request and answer files,
    // keeps the user's and the discovery's, returns to the start folder and
    // closes every window; a second entry while ending changes nothing.
    void startAndExit() {
        Fixture f;
        QVERIFY(f.start());
        const SessionState& s = Session();
        const QString work = QDir::toNativeSeparators(f.workDir());
        QCOMPARE(QDir::currentPath(), f.workDir());
        QCOMPARE((QStringList{s.StartDir, s.WorkDir, s.ResponseFile, s.TcpWindowFile}),
                 (QStringList{QDir::toNativeSeparators(f.startDir()), work,
                              work + "/ihcp_client.tmp", work + "/tcpwindow.reg"}));
        QVERIFY(!Ctl(W().frmBegin, "cmdPrev")->isEnabled() &&
                Ctl(W().frmBegin, "cmdHelp")->isHidden());
        QVERIFY(!Ctl(W().frmConfigAdv, "cmdFactoryReset")->isHidden());
        QVERIFY(FileExists(f.workFile("languages")));  // a folder counts as a file
        const QStringList removed{"ihcp_client.tmp", "get.cfg", "post.cfg", "fctrst.cfg",
                                  "winl2fwserver.tmp"};
        const QStringList kept{"macdiscover.tmp", "alias.tmp", "tcpwindow.reg"};
        for (const QString& name : removed + kept) {
            f.writeWorkFile(name, "x\r\n");
        }
        f.click(W().frmBegin, "cmdEnd");
        QCOMPARE(f.exitCode, 0);
        QCOMPARE(QDir::currentPath(), f.startDir());
        for (const QString& name : removed + kept) {
            QVERIFY2(FileExists(f.workFile(name)) == kept.contains(name), qPrintable(name));
        }
        QVERIFY(NoWindowVisible());
        f.exitCode.reset();
        f.writeWorkFile("get.cfg", "again");
        ExitApplication();
        QVERIFY(!f.exitCode);
        QVERIFY(FileExists(f.workFile("get.cfg")));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
