// The catalogue lookup, the shipped catalogues, and the captions every
// window takes from the catalogue.
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QtTest>

#include "app/TextFiles.h"
#include "lang/Catalogue.h"
#include "support/DataRows.h"
#include "support/Fixture.h"

namespace {

// Window, control ("" for the window's own caption) and the catalogue key of
// its caption.
const char* const kCaptions[][3] = {{"frmBegin", "", "frmBegin"},
                                    {"frmBegin", "lblBeginTit", "lblBeginTit"},
                                    {"frmBegin", "lblBeginBody", "lblBeginBody"},
                                    {"frmBegin", "lblBeginNote", "lblBeginNote"},
                                    {"frmBegin", "lblBeginNote2", "lblBeginNote2"},
                                    {"frmBegin", "cmdEnd", "cmdExit"},
                                    {"frmBegin", "cmdHelp", "cmdHelp"},
                                    {"frmBegin", "cmdNext", "cmdNext"},
                                    {"frmBegin", "cmdPrev", "cmdPrev"},
                                    {"frmConnect", "", "frmConnect"},
                                    {"frmConnect", "lblConnectTit", "lblConnectTit"},
                                    {"frmConnect", "lblConnectBody", "lblConnectBody"},
                                    {"frmConnect", "lblConnectBody2", "lblConnectBody2"},
                                    {"frmConnect", "lblTitMac", "lblTitMac"},
                                    {"frmConnect", "lblTitId", "lblTitId"},
                                    {"frmConnect", "lblAlias", "lblTitAlias"},
                                    {"frmConnect", "cmdRefresh", "cmdRefresh"},
                                    {"frmConnect", "cmdConfigMac", "cmdNext"},
                                    {"frmConnect", "cmdExit", "cmdExit"},
                                    {"frmConnect", "cmdPrev", "cmdPrev"},
                                    {"frmConnect", "cmdFactoryReset", "cmdFactoryReset"},
                                    {"frmConnect", "cmdQuickAdv", "cmdAdvanced"},
                                    {"frmConnect", "lblRemoteNodes", "lblRemoteNodes"},
                                    {"frmConnect", "lblConnectedNode", "lblConnectedNode"},
                                    {"frmConfig", "", "frmConfig"},
                                    {"frmConfig", "lblConfigTit", "lblConfigTit"},
                                    {"frmConfig", "lblConfigBody", "lblConfigBody"},
                                    {"frmConfig", "fraConfig", "fraConfig"},
                                    {"frmConfig", "lblId", "lblId"},
                                    {"frmConfig", "lblKey", "lblKey"},
                                    {"frmConfig", "lblAlias", "lblAlias"},
                                    {"frmConfig", "lblNode", "lblNode"},
                                    {"frmConfig", "lblVersion", "lblVersion"},
                                    {"frmConfig", "lblChangePw", "lblChangePw"},
                                    {"frmConfig", "lblPw2", "lblPw2"},
                                    {"frmConfig", "optAP", "optAp"},
                                    {"frmConfig", "optEnd", "optEp"},
                                    {"frmConfig", "cmdExit", "cmdExit"},
                                    {"frmConfig", "cmdHelp", "cmdHelp"},
                                    {"frmConfig", "cmdReturn", "cmdPrev"},
                                    {"frmConfig", "cmdSave", "cmdNext"},
                                    {"frmEnd", "", "frmEnd"},
                                    {"frmEnd", "lblEndTit", "lblEndTit"},
                                    {"frmEnd", "lblEnd2", "lblEnd2"},
                                    {"frmEnd", "lblEnd3", "lblEnd3"},
                                    {"frmEnd", "lblEnd4", "lblEnd4"},
                                    {"frmEnd", "lblEnd5", "lblEnd5"},
                                    {"frmEnd", "cmdAdvanced", "cmdAdvanced"},
                                    {"frmEnd", "cmdFinish", "cmdExit"},
                                    {"frmEnd", "cmdHelp", "cmdHelp"},
                                    {"frmEnd", "cmdReturn", "cmdPrev"},
                                    {"frmEnd", "cmdSave", "cmdNext"},
                                    {"frmAdvanced", "cmdUpgrade", "cmdUpgrade"},
                                    {"frmAdvanced", "fraAdvanced", "fraAdvanced"},
                                    {"frmAdvanced", "", "frmAdvanced"},
                                    {"frmAdvanced", "lblUpgrade", "lblUpgradeLoader"},
                                    {"frmAdvanced", "lblAdvancedTit", "lblAdvancedTit"},
                                    {"frmAdvanced", "lblAdvancedBody", "lblAdvancedBody"},
                                    {"frmAdvanced", "lblAdvancedBody2", "lblAdvancedBody2"},
                                    {"frmAdvanced", "lblAdvancedBody3", "lblAdvancedBody3"},
                                    {"frmAdvanced", "cmdConfigMac", "cmdNext"},
                                    {"frmAdvanced", "cmdExit", "cmdExit"},
                                    {"frmAdvanced", "cmdHelp", "cmdHelp"},
                                    {"frmAdvanced", "cmdPrev", "cmdPrev"},
                                    {"frmAdvanced", "lblInterface", "lblInterface"},
                                    {"frmAskPw", "", "frmAskPw"},
                                    {"frmAskPw", "lblAskPw", "lblAskPw"},
                                    {"frmAskPw", "cmdOk", "cmdOk"},
                                    {"frmAskPw", "cmdReturn", "cmdCancel"},
                                    {"frmMessage", "", "frmMessage"},
                                    {"frmErrorShort", "cmdHelp", "cmdHelp"},
                                    {"frmErrorShort", "cmdOk", "cmdOk"},
                                    {"frmSetAll", "", "frmSetAll"},
                                    {"frmSetAll", "lblSetAllTit", "lblSetAllTit"},
                                    {"frmSetAll", "lblSetAllBody", "lblSetAllBody"},
                                    {"frmSetAll", "fraSetAll", "fraSetAll"},
                                    {"frmSetAll", "lblChangePw", "lblChangePw"},
                                    {"frmSetAll", "lblId", "lblId"},
                                    {"frmSetAll", "lblKey", "lblKey"},
                                    {"frmSetAll", "lblNotches", "lblNotches"},
                                    {"frmSetAll", "lblPw2", "lblPw2"},
                                    {"frmSetAll", "cmdAutoConf", "cmdSetAll"},
                                    {"frmSetAll", "cmdPrev", "cmdPrev"},
                                    {"frmSetAll", "cmdExit", "cmdExit"},
                                    {"frmConfigAdv", "", "frmConfigAdv"},
                                    {"frmConfigAdv", "cmdExit", "cmdExit"},
                                    {"frmConfigAdv", "cmdRefresh", "cmdRefreshConf"},
                                    {"frmConfigAdv", "fraFactoryReset", "fraFactoryReset"},
                                    {"frmConfigAdv", "cmdFactoryReset", "cmdFactoryReset"},
                                    {"frmConfigAdv", "fraReset", "fraReset"},
                                    {"frmConfigAdv", "cmdReset", "cmdReset"},
                                    {"frmConfigAdv", "fraFwUpgrade", "fraFwUpgrade"},
                                    {"frmConfigAdv", "lblFwFile", "lblFwFile"},
                                    {"frmConfigAdv", "lblInterface", "lblInterface"},
                                    {"frmConfigAdv", "cmdFwUpgrade", "cmdFwUpgrade"},
                                    {"frmConfigAdv", "fraFwUpdate", "fraFwUpdate"},
                                    {"frmConfigAdv", "lblUpgProt", "lblUpgProt"},
                                    {"frmConfigAdv", "lblServerIP", "lblServerIP"},
                                    {"frmConfigAdv", "lblFtpUser", "lblFtpUser"},
                                    {"frmConfigAdv", "lblFtpPass", "lblFtpPass"},
                                    {"frmConfigAdv", "lblFileName", "lblFileName"},
                                    {"frmConfigAdv", "lblUpdateSect", "lblUpdateSect"},
                                    {"frmConfigAdv", "cmdFwUpdate", "cmdFwUpdate"},
                                    {"frmConfigAdv", "lblNetworkText", "lblNetworktext"},
                                    {"frmConfigAdv", "fraNetConfig", "fraNetworkConfig"},
                                    {"frmConfigAdv", "fraFixedIpConfig", "fraNetworkFixedIP"},
                                    {"frmConfigAdv", "lblIpConfig", "lblIpConfig"},
                                    {"frmConfigAdv", "lblIpAddress", "lblIpAddress"},
                                    {"frmConfigAdv", "lblSubnetMask", "lblSubnetMask"},
                                    {"frmConfigAdv", "lblDefGateway", "lblDefGateway"},
                                    {"frmConfigAdv", "cmdUpdateFixedIp", "cmdNetworkUpgrade"},
                                    {"frmConfigAdv", "fraMacConfig", "fraMacConfig"},
                                    {"frmConfigAdv", "lblMacType", "lblMacType"},
                                    {"frmConfigAdv", "lblNodeType", "lblMacNode"},
                                    {"frmConfigAdv", "cmdUpdateMacConf", "cmdMacUpdate"},
                                    {"frmConfigAdv", "fraPhyConfig", "fraPhyConfig"},
                                    {"frmConfigAdv", "lblNotches", "lblNotches"},
                                    {"frmConfigAdv", "lblDistControl", "lblDistortionControl"},
                                    {"frmConfigAdv", "cmdUpdatePhyConf", "cmdPhyUpdate"},
                                    {"frmConfigAdv", "fraMulticastConf", "fraMcastConfig"},
                                    {"frmConfigAdv", "LblIGMP", "lblIGMP"},
                                    {"frmConfigAdv", "CmdUpdateIGMP", "CmdUpdateIGMP"},
                                    {"frmConfigAdv", "fraSecurity", "fraSecurity"},
                                    {"frmConfigAdv", "lblSecurity_0", "lblConfigPwd"},
                                    {"frmConfigAdv", "lblSecurity_1", "lblConfirmPwd"},
                                    {"frmConfigAdv", "lblSecurity_2", "lblEncrypKey"},
                                    {"frmConfigAdv", "lblSecurity_3", "lblConfirmKey"},
                                    {"frmConfigAdv", "lblSecurity_4", "lblNetId"},
                                    {"frmConfigAdv", "lblSecurity_5", "lblAliasSec"},
                                    {"frmConfigAdv", "lblSecurity_6", "lblEncryptType"},
                                    {"frmConfigAdv", "lblSecurity_7", "lblAESEncryptType"},
                                    {"frmConfigAdv", "lblSecurity_8", "lblEncryptLength"},
                                    {"frmConfigAdv", "cmdUpPw", "cmdUpdatePwd"},
                                    {"frmConfigAdv", "cmdUpKey", "cmdUpdateKey"},
                                    {"frmConfigAdv", "cmdUpId", "cmdUpdateNetId"},
                                    {"frmConfigAdv", "cmdUpdAlias", "cmdUpdateAlias"},
                                    {"frmConfigAdv", "cmdUpEncryption", "cmdUpdateEncryption"},
                                    {"frmConfigAdv", "fraVlan", "fraVlanConfig"},
                                    {"frmConfigAdv", "lblVlanConf", "lblVlanConfig"},
                                    {"frmConfigAdv", "lblVlanTag", "lblVlanTag"},
                                    {"frmConfigAdv", "lblVlanPriority", "lblVlanPrio"},
                                    {"frmConfigAdv", "cmdUpVlan", "cmdVlanUpdate"},
                                    {"frmConfigAdv", "fraQoS", "fraQoS"},
                                    {"frmConfigAdv", "fraQoSAdv", "fraQoSAdv"},
                                    {"frmConfigAdv", "lblRule1", "lblRule1"},
                                    {"frmConfigAdv", "lblRule2", "lblRule2"},
                                    {"frmConfigAdv", "lblPort1", "lblPort1"},
                                    {"frmConfigAdv", "lblPort2", "lblPort2"},
                                    {"frmConfigAdv", "lblIp1", "lblIp1"},
                                    {"frmConfigAdv", "lblIp2", "lblIp2"},
                                    {"frmConfigAdv", "cmdQoSAdvUpdate", "cmdQoSAdvUpdate"}};

// Keys that are settings, not texts: they keep their shipped values.
const QStringList kSettings{"version",  "defaultpassword", "aesSupport", "showQuickAdvanced",
                            "showFLUP", "showConfigPanel", "cboQoSnum",  "cboQoSAdvnum"};

// The caption of a control: a frame's title, or the text of a label or button.
QString CaptionOf(QWidget* control) {
    auto* frame = qobject_cast<QGroupBox*>(control);
    return frame ? frame->title() : control->property("text").toString();
}

QWidget* WindowNamed(const QString& name) {
    const QList<QWidget*> all = AllWindows(W());
    return *std::find_if(all.begin(), all.end(),
                         [&](QWidget* w) { return w->objectName() == name; });
}

}  // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

    void useCatalogue(Fixture& f, const QByteArray& bytes, const QByteArray& choice) {
        f.writeWorkFile("languages/test.lng", bytes);
        f.writeWorkFile("languages/default.lang", choice);
    }

private slots:
    // The text of "key"; "-" when the lookup fails and ends the program.
    // After a lookup, an edit of the catalogue takes effect at once.
    void lookup_data() {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QByteArray>("choice");  // first line names the catalogue; "-": no file
        Columns({"expected"});
        const QByteArray test = "test.lng\r\n";
        QByteArray big;
        for (int i = 0; i < 10000; ++i) {
            big += "filler" + QByteArray::number(i) + "=some text of a line\r\n";
        }
        Row("value holds =", QByteArray("key=x=y\r\n"), test, "x=y");
        Row("empty value", QByteArray("key=\r\n"), test, "");
        Row("first wins", QByteArray("key=one\r\nkey=two\r\n"), test, "one");
        Row("skips other lines", QByteArray("\r\nkey\r\njunk\r\nkey=v\r\n"), test, "v");
        Row("bare LF, no final line end", QByteArray("a=1\nkey=lf"), test, "lf");
        Row("blanks kept", QByteArray("key= spaced \r\n"), test, " spaced ");
        Row("UTF-8", QByteArray("key=Configuraci\xc3\xb3n\r\n"), test, "Configuración");
        Row("Windows-1252", QByteArray("key=Configuraci\xf3n \x80\r\n"), test, "Configuración €");
        Row("byte order mark", QByteArray("\xef\xbb\xbfkey=first\r\n"), test, "first");
        Row("10 000 lines", big + "key=at the end\r\n", test, "at the end");
        Row("key absent", QByteArray("other=1\r\n"), test, "-");
        Row("letter case", QByteArray("Key=1\r\n"), test, "-");
        Row("blank before =", QByteArray("key =1\r\n"), test, "-");
        Row("choice empty", QByteArray("key=1\r\n"), QByteArray(), "-");
        Row("choice names nothing", QByteArray("key=1\r\n"), QByteArray("none.lng\r\n"), "-");
        Row("choice not trimmed", QByteArray("key=1\r\n"), QByteArray("test.lng \r\n"), "-");
        Row("no choice file", QByteArray("key=1\r\n"), QByteArray("-"), "-");
    }
    void lookup() {
        Fixture f;
        QVERIFY(f.start());
        Session().errLoadLang = "Catalogue";
        useCatalogue(f, Cell<QByteArray>("catalogue"), Cell<QByteArray>("choice"));
        if (Cell<QByteArray>("choice") == "-") {
            QVERIFY(QFile::remove(f.workFile("languages/default.lang")));
        }
        const bool found = Cell("expected") != "-";
        QCOMPARE(GetText("key"), found ? Cell("expected") : QString());
        QCOMPARE(f.exitCode.value_or(0), found ? 0 : 1);
        QCOMPARE(f.dialogs.describe(), found ? "" : "[1|Error] Catalogue: 'key' not found");
        useCatalogue(f, "key=edited\r\n", "test.lng\r\n");
        QCOMPARE(GetText("key"), "edited");
    }

    // The program's own messages fall back to English in an older catalogue.
    void fallbackForOwnTexts() {
        Fixture f;
        QVERIFY(f.start());
        useCatalogue(f, "errToolStart=Cannot start %1\r\n", "test.lng\r\n");
        QCOMPARE(ToolStartFailedText("x.exe"), "Cannot start x.exe");
        QVERIFY(WriteFailedText("get.cfg").contains("get.cfg could not be written"));
        QVERIFY(LineBreakText().contains("line break"));
        QVERIFY(f.dialogs.boxes.isEmpty() && !f.exitCode);
    }

    // Every key the program looks up is in both shipped catalogues, and the
    // two catalogues hold the same keys.
    void shippedCataloguesHoldEveryKey() {
        const QRegularExpression patterns[] = {
            QRegularExpression("(?:GetText|GetTextOr|SwitchOn)\\(QStringLiteral\\(\"([^\"]+)\"\\)"),
            QRegularExpression("\\{\"[A-Za-z_0-9]*\",\\s*\"([A-Za-z][A-Za-z0-9]*)\"\\}"),
            QRegularExpression("\\{\"(tab[A-Za-z]+)\","),
            QRegularExpression("\\{\"(\\w+)\", \"\\1\", \""),
        };
        QSet<QString> keys;
        QDirIterator it(KALDOR_SOURCE_DIR "/src", {"*.cpp"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString code = QString::fromUtf8(file.readAll());
            for (const QRegularExpression& re : patterns) {
                for (const QRegularExpressionMatch& m : re.globalMatch(code)) {
                    keys.insert(m.captured(1).replace("%1", "1"));
                }
            }
        }
        QVERIFY(keys.size() > 150);
        const auto keysOf = [](const QString& catalogue) {
            QSet<QString> present;
            const QString path = KALDOR_SOURCE_DIR "/resources/languages/" + catalogue;
            for (const QString& line : ReadLines(path).value_or(QStringList())) {
                present.insert(line.section('=', 0, 0));
            }
            return present;
        };
        const QSet<QString> english = keysOf("english.lng");
        QVERIFY2((keys - english).isEmpty(), qPrintable((keys - english).values().join(' ')));
        QCOMPARE(keysOf("spanish.lng"), english);
    }

    // With a catalogue whose every text names its key, each window shows the
    // key of each of its controls, the tabs and the file dialog theirs, and
    // no control keeps a design-time text.
    void everyCaptionNamesItsKey() {
        Fixture f;
        QStringList lines;
        const QStringList shipped = ReadLines(f.workFile("languages/english.lng")).value();
        for (const QString& line : shipped) {
            const QString key = line.section('=', 0, 0);
            lines << (kSettings.contains(key) || !line.contains('=') ? line
                                                                     : key + "=<" + key + ">");
        }
        QVERIFY(WriteLines(f.workFile("languages/english.lng"), lines));
        QVERIFY(f.start());
        for (const auto& [window, control, key] : kCaptions) {
            QWidget* w = WindowNamed(window);
            const QString caption = *control ? CaptionOf(Ctl(w, control)) : w->windowTitle();
            QVERIFY2(caption == QString("<%1>").arg(key), qPrintable(caption + " on " + window));
        }
        // Each page's caption is the assistant window's title while it shows.
        for (const char* page :
             {"frmBegin", "frmConnect", "frmAdvanced", "frmConfig", "frmEnd", "frmSetAll"}) {
            Fixture::show(WindowNamed(page));
            QCOMPARE(W().assistant->windowTitle(), QString("<%1>").arg(page));
        }
        QStringList tabs;
        auto* bar = Ctl<QTabBar>(W().frmConfigAdv, "tabConfig");
        for (int i = 0; i < bar->count(); ++i) {
            tabs << bar->tabText(i);
        }
        QCOMPARE(tabs, QStringList({"<tabGeneral>", "<tabNetwork>", "<tabMac>", "<tabPhy>",
                                    "<tabMulticat>", "<tabSecurity>", "<tabVlan>", "<tabQoS>",
                                    "<tabQoSAdv>"}));
        QCOMPARE(Ctl<QLabel>(W().frmEnd, "lblEnd1")->text(), "<lblEnd1> 2.7.22");
        f.click(W().frmConfigAdv, "cmdChooseFile");
        QCOMPARE(f.dialogs.fileDialogTitles, QStringList{"<cdlTitle>"});
        QCOMPARE(f.dialogs.fileDialogFilters, QStringList{"<cdlFilter>"});
        // Any other caption with a letter is a catalogue text too.
        QStringList wrong;
        const QStringList ownTexts{"lblVersionSw", "lblEnd1", "lblMessage", "lblShort"};
        static const QRegularExpression keyName("^<\\w+>$");
        for (QWidget* window : AllWindows(W())) {
            QWidget* criteria = window->findChild<QWidget*>("picFrame_7");  // never brought up
            for (QWidget* control : window->findChildren<QWidget*>()) {
                const QString text = qobject_cast<QLineEdit*>(control) ? "" : CaptionOf(control);
                if (text.contains(QRegularExpression("[A-Za-z]")) && !control->isHidden() &&
                    !keyName.match(text).hasMatch() && !ownTexts.contains(control->objectName()) &&
                    !control->objectName().startsWith("qt_") &&
                    !(criteria && criteria->isAncestorOf(control))) {
                    wrong << window->objectName() + "." + control->objectName() + ": " + text;
                }
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join('\n')));
    }
};

QTEST_MAIN(CatalogueTest)
#include "test_catalogue.moc"
