// Start-up, captions from the catalogues, and the way the program ends.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QTabBar>
#include <QtTest>

#include "app/TextFiles.h"
#include "support/Fixture.h"

namespace {

// Every value of a catalogue file.
QSet<QString> CatalogueValues(const QString& path) {
    QSet<QString> values;
    for (const QString& line : ReadLines(path).value_or(QStringList())) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) {
            values.insert(line.mid(eq + 1));
        }
    }
    return values;
}

QString CaptionOf(QWidget* w) {
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return l->text();
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        return b->text();
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        return g->title();
    }
    return QString();
}

QList<QWidget*> AllWindows() {
    return ::AllWindows(W());
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QDir::setCurrent(QDir::tempPath()); }

    // With either catalogue, every caption and window title on every window
    // comes from it: no design-time text is left behind.
    void everyCaptionFromCatalogue_data() {
        QTest::addColumn<QString>("catalogue");
        QTest::newRow("English") << "english.lng";
        QTest::newRow("Spanish") << "spanish.lng";
    }
    void everyCaptionFromCatalogue() {
        QFETCH(QString, catalogue);
        Fixture f;
        f.writeWorkFile("languages/default.lang", catalogue.toUtf8() + "\r\n");
        QVERIFY(f.start());
        QVERIFY(W().frmBegin->isVisible());
        QVERIFY(f.dialogs.boxes.isEmpty());
        const QSet<QString> values = CatalogueValues(f.workFile("languages/" + catalogue));
        const SessionState& s = Session();
        QStringList stale;
        for (QWidget* window : AllWindows()) {
            // The status window's title is set by each operation.
            if (window != W().frmErrorShort && window != W().frmMessage &&
                !values.contains(window->windowTitle())) {
                stale << window->objectName() + ": " + window->windowTitle();
            }
            // The criteria panel is never brought to the front.
            QWidget* criteria = window->findChild<QWidget*>("picFrame_7");
            for (QWidget* control : window->findChildren<QWidget*>()) {
                if (control->isHidden() || (criteria && criteria->isAncestorOf(control))) {
                    continue;
                }
                const QString text = CaptionOf(control);
                const QString name = control->objectName();
                // Symbols such as "..." need no translation.
                const bool hasLetter =
                    std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
                if (!hasLetter || values.contains(text) || text == s.VersionText ||
                    name == "lblEnd1" || name == "lblMessage" || name == "lblShort" ||
                    name.startsWith("qt_")) {
                    continue;
                }
                stale << window->objectName() + "." + name + ": " + text;
            }
        }
        QVERIFY2(stale.isEmpty(), qPrintable(stale.join('\n')));
        const auto* end1 = Ctl<QLabel>(W().frmEnd, "lblEnd1");
        QVERIFY(end1->text().endsWith(" " + s.VersionText));
        QVERIFY(values.contains(s.errSaving) && !s.errSaving.isEmpty());
        QVERIFY(values.contains(s.lblConnect) && !s.lblConnect.isEmpty());
        QVERIFY(values.contains(s.errTextCode[9]) && !s.errTextCode[9].isEmpty());
    }

    void versionText_data() {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("expected");
        QTest::newRow("text") << "2.7"
                              << "2.7.22";
        QTest::newRow("empty") << ""
                               << ".22";
        QTest::newRow("with =") << "a=b"
                                << "a=b.22";
    }
    void versionText() {
        QFETCH(QString, version);
        QFETCH(QString, expected);
        Fixture f;
        f.setCatalogue("version", version);
        QVERIFY(f.start());
        QCOMPARE(Session().VersionText, expected);
        QCOMPARE(Ctl<QLabel>(W().frmBegin, "lblVersionSw")->text(), expected);
    }

    void workFilePaths() {
        Fixture f;
        QVERIFY(f.start());
        const SessionState& s = Session();
        const QString work = QDir::toNativeSeparators(f.workDir());
        QCOMPARE(s.WorkDir, work);
        QCOMPARE(s.StartDir, QDir::toNativeSeparators(f.startDir()));
        QCOMPARE(QDir::currentPath(), f.workDir());
        QCOMPARE(s.ResponseFile, work + "/ihcp_client.tmp");
        QCOMPARE(s.LanguageChoiceFile, work + "/languages/default.lang");
        QCOMPARE(s.FirmwareServerResultFile, work + "/winl2fwserver.tmp");
        QCOMPARE(s.TcpWindowFile, work + "/tcpwindow.reg");
        QCOMPARE(s.LocalPassword, QString());
        QCOMPARE(s.InterfaceNumber, 0);
    }

    void missingVersionStopsStartUp() {
        Fixture f;
        f.removeCatalogue("version");
        QVERIFY(!f.start());
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, ": 'version' not found");
        QCOMPARE(f.dialogs.boxes[0].title, "Error");
        QCOMPARE(f.dialogs.boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(f.exitCode, 1);
        for (QWidget* window : AllWindows()) {
            QVERIFY(!window || !window->isVisible());
        }
    }

    void missingCaptionNamesKey() {
        Fixture f;
        f.removeCatalogue("lblBeginNote2");
        QVERIFY(!f.start());
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QCOMPARE(f.dialogs.boxes[0].text, ": 'lblBeginNote2' not found");
        f.exitCode.reset();
    }

    void missingWorkFolder() {
        Fixture f;
        QVERIFY(QDir(f.workDir()).removeRecursively());
        QVERIFY(!f.start());
        QCOMPARE(f.dialogs.boxes.size(), 1);
        QVERIFY(f.dialogs.boxes[0].text.contains("resources"));
    }

    void quickAdvancedSwitch_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("visible");
        QTest::newRow("yes") << "yes" << true;
        QTest::newRow("YeS") << "YeS" << true;
        QTest::newRow("trailing blank") << "yes " << false;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("empty") << "" << false;
    }
    void quickAdvancedSwitch() {
        QFETCH(QString, value);
        QFETCH(bool, visible);
        Fixture f;
        f.setCatalogue("showQuickAdvanced", value);
        f.setCatalogue("showFLUP", value);
        QVERIFY(f.start());
        QCOMPARE(!Ctl(W().frmConnect, "cmdQuickAdv")->isHidden(), visible);
        QCOMPARE(!Ctl(W().frmConfigAdv, "fraFwUpdate")->isHidden(), visible);
    }

    void advancedTabs_data() {
        QTest::addColumn<QStringList>("emptyTabs");
        QTest::addColumn<QList<int>>("positions");  // General .. advanced QoS
        QTest::newRow("all") << QStringList() << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9};
        QTest::newRow("no MAC") << QStringList{"tabMac"} << QList<int>{1, 2, 0, 3, 4, 5, 6, 7, 8};
        QTest::newRow("no MAC, no PHY")
            << QStringList{"tabMac", "tabPhy"} << QList<int>{1, 2, 0, 0, 3, 4, 5, 6, 7};
        QTest::newRow("none") << QStringList{"tabNetwork",  "tabMac",  "tabPhy", "tabMulticat",
                                             "tabSecurity", "tabVlan", "tabQoS", "tabQoSAdv"}
                              << QList<int>{1, 0, 0, 0, 0, 0, 0, 0, 0};
    }
    void advancedTabs() {
        QFETCH(QStringList, emptyTabs);
        QFETCH(QList<int>, positions);
        Fixture f;
        for (const QString& key : emptyTabs) {
            f.setCatalogue(key, "");
        }
        f.setCatalogue("tabMac", emptyTabs.contains("tabMac") ? "" : "MAC!");
        QVERIFY(f.start());
        const AdvancedTabs& t = App().tabs;
        QCOMPARE((QList<int>{t.GeneralTab, t.NetworkTab, t.MacTab, t.PhyTab, t.MulticastTab,
                             t.SecurityTab, t.VlanTab, t.QoSTab, t.QoSAdvTab}),
                 positions);
        auto* bar = Ctl<QTabBar>(W().frmConfigAdv, "tabConfig");
        QCOMPARE(bar->count(), *std::max_element(positions.begin(), positions.end()));
        auto* macFrame = Ctl<QGroupBox>(W().frmConfigAdv, "fraMacConfig");
        if (t.MacTab) {
            QCOMPARE(bar->tabText(t.MacTab - 1), "MAC!");
        } else {
            QCOMPARE(macFrame->title(), "MAC Configuration");
        }
    }

    void hiddenParameterListGivesWidthBack() {
        int widthWith = 0;
        int listWidth = 0;
        {
            Fixture f;
            QVERIFY(f.start());
            QWidget* w = W().frmConfigAdv;
            w->show();
            widthWith = w->width();
            listWidth = Ctl(w, "lstConfig")->width();
            QVERIFY(listWidth > 0);
        }
        Fixture f;
        f.setCatalogue("showConfigPanel", "no");
        QVERIFY(f.start());
        QWidget* w = W().frmConfigAdv;
        w->show();
        QVERIFY(Ctl(w, "lstConfig")->isHidden());
        QCOMPARE(w->width(), widthWith - listWidth);
        // Nothing sits where the list was: the panels start at the left margin.
        QVERIFY(Ctl(w, "tabConfig")->geometry().left() < listWidth);
    }

    void factoryResetVisibleAtStart() {
        Fixture f;
        QVERIFY(f.start());
        QVERIFY(!Ctl(W().frmConfigAdv, "cmdFactoryReset")->isHidden());
    }

    void fileExists() {
        Fixture f;
        QVERIFY(f.start());
        QVERIFY(!FileExists(f.workFile("nothing.tmp")));
        QVERIFY(FileExists(f.workFile("languages")));
        QVERIFY(FileExists(f.workFile("languages/default.lang")));
        QVERIFY(!FileExists(QString()));
    }

    // Exit removes the request and answer files, keeps the user's and the
    // discovery's files, and returns to the start folder, however often it
    // is entered.
    void exitRemovesWorkFiles() {
        Fixture f;
        QVERIFY(f.start());
        const QStringList removed{"ihcp_client.tmp", "get.cfg", "post.cfg", "fctrst.cfg",
                                  "winl2fwserver.tmp"};
        const QStringList kept{"macdiscover.tmp", "alias.tmp", "tcpwindow.reg"};
        for (const QString& name : removed + kept) {
            f.writeWorkFile(name, "x\r\n");
        }
        QVERIFY(QDir().mkpath(f.workFile("fctrst.cfg.d")));
        ExitApplication();
        QCOMPARE(f.exitCode, 0);
        QCOMPARE(QDir::currentPath(), f.startDir());
        for (const QString& name : removed) {
            QVERIFY2(!QFile::exists(f.workFile(name)), qPrintable(name));
        }
        for (const QString& name : kept) {
            QVERIFY2(QFile::exists(f.workFile(name)), qPrintable(name));
        }
        for (QWidget* window : AllWindows()) {
            QVERIFY(!window->isVisible());
        }
        f.exitCode.reset();
        f.writeWorkFile("get.cfg", "again");
        ExitApplication();
        QVERIFY(!f.exitCode);
        QVERIFY(QFile::exists(f.workFile("get.cfg")));
    }

    void exitButtonOfWelcomePage() {
        Fixture f;
        QVERIFY(f.start());
        f.click(W().frmBegin, "cmdEnd");
        QCOMPARE(f.exitCode, 0);
        QVERIFY(!Ctl(W().frmBegin, "cmdPrev")->isEnabled());
        QVERIFY(Ctl(W().frmBegin, "cmdHelp")->isHidden());
    }
};

QTEST_MAIN(StartupTest)
#include "test_startup.moc"
