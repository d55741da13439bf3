// Start-up: the work folder, what a missing text or folder does, the
// catalogue's settings, and the window size that fits every page.
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QtTest>

#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "support/Fixture.h"

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    // The assistant window keeps one size for every page: each page, with
    // either catalogue's texts, fits in it. Start-up works in the resources
    // folder, whose path holds a blank; the end returns to the start folder,
    // and a second end changes nothing.
    void everyPageFits_data() {
        Cols<QString>({"catalogue"});
        Row("English", "english.lng");
        Row("Spanish", "spanish.lng");
    }
    void everyPageFits() {
        Fixture f;
        f.writeWorkFile("languages/default.lang", Cell("catalogue").toUtf8() + "\r\n");
        QVERIFY(f.start());
        const QSize room = W().assistant->size();
        for (QWidget* page : {W().frmBegin, W().frmConnect, W().frmAdvanced, W().frmConfig,
                              W().frmEnd, W().frmSetAll}) {
            Fixture::show(page);
            QVERIFY2(room.expandedTo(page->minimumSizeHint()) == room,
                     qPrintable(page->objectName()));
            QCOMPARE(W().assistant->size(), room);
        }
        QCOMPARE(QDir::currentPath(), f.workDir());
        QVERIFY(!Ctl(W().frmBegin, "cmdPrev")->isEnabled() &&
                Ctl(W().frmBegin, "cmdHelp")->isHidden());
        QVERIFY(!Ctl(W().frmConfigAdv, "cmdFactoryReset")->isHidden());
        f.click(W().frmBegin, "cmdEnd");
        QCOMPARE(f.exitCode, 0);
        QCOMPARE(QDir::currentPath(), f.startDir());
        f.exitCode.reset();
        f.writeWorkFile("get.cfg", "again");
        ExitApplication();
        QVERIFY(!f.exitCode && QFile::exists(f.workFile("get.cfg")));
    }

    // A missing text stops the start-up before any window shows. The
    // message's prefix comes from the catalogue only once the cached texts
    // are loaded, after the welcome and node pages are labelled. Without its
    // work folder the program cannot read the catalogue at all.
    void startUpRefused_data() {
        // missing: a catalogue key, or "" for the work folder; exit code -1:
        // start-up returns without ending.
        Cols<QString, QString, int>({"missing", "told", "exitCode"});
        // clang-format off
        Row("version, looked up first", "version", "[1|Error] : 'version' not found", 1);
        Row("welcome page caption", "lblBeginNote2", "[1|Error] : 'lblBeginNote2' not found", 1);
        Row("configuration page caption", "lblConfigTit", "[1|Error] {errLoadLang}: 'lblConfigTit' not found", 1);
        Row("advanced window caption", "tabGeneral", "[1|Error] {errLoadLang}: 'tabGeneral' not found", 1);
        Row("no work folder", "", "[2|Kaldor Config Tool] The folder \"resources\" was not found in {start}. Start "
            "Kaldor Config from the folder that holds its resources folder.", -1);
        // clang-format on
    }
    void startUpRefused() {
        Fixture f;
        const QString told =
            Resolved(Cell("told").replace("{start}", QDir::toNativeSeparators(f.startDir())));
        Cell("missing").isEmpty() ? void(QDir(f.workDir()).removeRecursively())
                                  : f.removeCatalogue(Cell("missing"));
        QVERIFY(!f.start());
        QCOMPARE(f.dialogs.describe(), told);
        QCOMPARE(f.exitCode.value_or(-1), Cell<int>("exitCode"));
        for (QWidget* w : AllWindows(W())) {
            QVERIFY(!w || !w->isVisible());
        }
    }

    // Catalogue texts that shape the windows: the version, the switches (only
    // "yes" in any letter case) and the optional tabs, which exist only with
    // a caption. Without the parameter list the tabs move into its place.
    void catalogueSettings_data() {
        Cols<QString, QString, L, QString, bool, int>(
            {"version", "switch", "emptyTabs", "versionText", "switchedOn", "tabs"});
        const L optional{"tabNetwork",  "tabMac",  "tabPhy", "tabMulticat",
                         "tabSecurity", "tabVlan", "tabQoS", "tabQoSAdv"};
        // clang-format off
        Row("every tab", "2.7", "yes", L(), "2.7.22", true, 9);
        Row("no MAC", "", "YeS", L{"tabMac"}, ".22", true, 8);
        Row("no MAC, no PHY", "a=b", "yes ", L{"tabMac", "tabPhy"}, "a=b.22", false, 7);
        Row("no optional tab", "2", "1", optional, "2.22", false, 1);
        // clang-format on
    }
    void catalogueSettings() {
        Fixture f;
        f.setCatalogue("version", Cell("version"));
        for (const QString& key :
             L{"showQuickAdvanced", "showFLUP", "showConfigPanel"} + Cell<L>("emptyTabs")) {
            f.setCatalogue(key, key.startsWith("tab") ? "" : Cell("switch"));
        }
        QVERIFY(f.start());
        const bool on = Cell<bool>("switchedOn");
        QCOMPARE(Ctl<QLabel>(W().frmBegin, "lblVersionSw")->text(), Cell("versionText"));
        QCOMPARE(Ctl<QLabel>(W().frmEnd, "lblEnd1")->text().section(' ', -1), Cell("versionText"));
        QCOMPARE(!Ctl(W().frmConnect, "cmdQuickAdv")->isHidden(), on);
        QCOMPARE(!Ctl(W().frmConfigAdv, "fraFwUpdate")->isHidden(), on);
        QWidget* list = Ctl(W().frmConfigAdv, "lstConfig");
        auto* tabs = Ctl<QTabBar>(W().frmConfigAdv, "tabConfig");
        QCOMPARE(!list->isHidden(), on);
        W().frmConfigAdv->show();
        const int listEnd = list->mapTo(W().frmConfigAdv, QPoint(list->width(), 0)).x();
        QCOMPARE(tabs->mapTo(W().frmConfigAdv, QPoint()).x() >= listEnd, on);
        QCOMPARE(tabs->count(), Cell<int>("tabs"));
        // Without its tab the MAC panel keeps its design-time captions.
        QCOMPARE(Ctl<QGroupBox>(W().frmConfigAdv, "fraMacConfig")->title(),
                 Cell<QStringList>("emptyTabs").contains("tabMac") ? "MAC Configuration"
                                                                   : Resolved("{fraMacConfig}"));
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
