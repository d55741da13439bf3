// The catalogue lookup, the shipped catalogues, and the captions every
// window takes from the catalogue.
#include <QAbstractButton>
#include <QDirIterator>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTabBar>

#include "app/TextFiles.h"
#include "lang/Catalogue.h"
#include "support/CatalogueText.h"
#include "support/DataRows.h"
#include "ui/DesktopDialogs.h"

namespace {

// Each window's controls and the catalogue key of their captions: the
// control's own name unless "=KEY" follows; "*" is the window's own title,
// whose key is the window's name.
// clang-format off
const char* const kCaptions[][2] = {
    {"frmBegin", "* lblBeginTit lblBeginBody lblBeginNote lblBeginNote2 cmdEnd=cmdExit cmdHelp cmdNext "
        "cmdPrev"},
    {"frmConnect", "* lblConnectTit lblConnectBody lblConnectBody2 lblTitMac lblTitId lblAlias=lblTitAlias "
        "cmdRefresh cmdConfigMac=cmdNext cmdExit cmdPrev cmdFactoryReset cmdQuickAdv=cmdAdvanced "
        "lblRemoteNodes lblConnectedNode cmdOverview"},
    {"frmOverview", "* cmdOvRefresh cmdOvExport cmdOvStop cmdOvClose"},
    {"frmConfig", "* lblConfigTit lblConfigBody fraConfig lblId lblKey lblAlias lblNode lblVersion "
        "lblChangePw lblPw2 optAP=optAp optEnd=optEp cmdExit cmdHelp cmdReturn=cmdPrev cmdSave=cmdNext"},
    {"frmEnd", "* lblEndTit lblEnd2 lblEnd3 lblEnd4 lblEnd5 cmdAdvanced cmdFinish=cmdExit cmdHelp "
        "cmdReturn=cmdPrev cmdSave=cmdNext"},
    {"frmAdvanced", "cmdUpgrade fraAdvanced * lblUpgrade=lblUpgradeLoader lblAdvancedTit lblAdvancedBody "
        "lblAdvancedBody2 lblAdvancedBody3 cmdConfigMac=cmdNext cmdExit cmdHelp cmdPrev lblInterface"},
    {"frmAskPw", "* lblAskPw cmdOk cmdReturn=cmdCancel"},
    {"frmMessage", "*"},
    {"frmErrorShort", "cmdHelp cmdOk"},
    {"frmSetAll", "* lblSetAllTit lblSetAllBody fraSetAll lblChangePw lblId lblKey lblNotches lblPw2 "
        "cmdAutoConf=cmdSetAll cmdPrev cmdExit"},
    {"frmConfigAdv", "* cmdExit cmdRefresh=cmdRefreshConf fraFactoryReset cmdFactoryReset fraReset cmdReset "
        "fraFwUpgrade lblFwFile lblInterface cmdFwUpgrade fraFwUpdate lblUpgProt lblServerIP lblFtpUser "
        "lblFtpPass lblFileName lblUpdateSect cmdFwUpdate lblNetworkText=lblNetworktext "
        "fraNetConfig=fraNetworkConfig fraFixedIpConfig=fraNetworkFixedIP lblIpConfig lblIpAddress "
        "lblSubnetMask lblDefGateway cmdUpdateFixedIp=cmdNetworkUpgrade fraMacConfig lblMacType "
        "lblNodeType=lblMacNode cmdUpdateMacConf=cmdMacUpdate fraPhyConfig lblNotches "
        "lblDistControl=lblDistortionControl cmdUpdatePhyConf=cmdPhyUpdate fraMulticastConf=fraMcastConfig "
        "LblIGMP=lblIGMP CmdUpdateIGMP fraSecurity lblSecurity_0=lblConfigPwd lblSecurity_1=lblConfirmPwd "
        "lblSecurity_2=lblEncrypKey lblSecurity_3=lblConfirmKey lblSecurity_4=lblNetId "
        "lblSecurity_5=lblAliasSec lblSecurity_6=lblEncryptType lblSecurity_7=lblAESEncryptType "
        "lblSecurity_8=lblEncryptLength cmdUpPw=cmdUpdatePwd cmdUpKey=cmdUpdateKey cmdUpId=cmdUpdateNetId "
        "cmdUpdAlias=cmdUpdateAlias cmdUpEncryption=cmdUpdateEncryption fraVlan=fraVlanConfig "
        "lblVlanConf=lblVlanConfig lblVlanTag lblVlanPriority=lblVlanPrio cmdUpVlan=cmdVlanUpdate fraQoS "
        "fraQoSAdv lblRule1 lblRule2 lblPort1 lblPort2 lblIp1 lblIp2 cmdQoSAdvUpdate fraBackup cmdSaveSettings"},
};
// clang-format on

// Keys that are settings, not texts: they keep their shipped values.
const QStringList kSettings{"version",  "defaultpassword", "aesSupport", "showQuickAdvanced",
                            "showFLUP", "showConfigPanel", "cboQoSnum",  "cboQoSAdvnum"};

}  // namespace

class CatalogueTest : public QObject {
    Q_OBJECT

    void useCatalogue(Fixture& f, const QByteArray& bytes, const QByteArray& choice) {
        f.writeWorkFile("languages/test.lng", bytes);
        choice == "-" ? void(QFile::remove(f.workFile("languages/default.lang")))
                      : f.writeWorkFile("languages/default.lang", choice);
    }

private slots:
    // The text of "key"; "-" when the lookup fails and ends the program.
    // After a lookup, an edit of the catalogue takes effect at once.
    void lookup_data() {
        // choice: its first line names the catalogue; "-": no file.
        Cols<QByteArray, QByteArray, QString>({"catalogue", "choice", "expected"});
        const QByteArray test = "test.lng\r\n";
        // clang-format off
        Row("value holds = and blanks", QByteArray("key= x=y \r\n"), test, " x=y ");
        Row("empty value", QByteArray("key=\r\n"), test, "");
        Row("first wins, other lines skipped", QByteArray("\r\nkey\r\njunk\r\nkey=one\r\nkey=two\r\n"), test, "one");
        Row("bare LF, no final line end", QByteArray("a=1\nkey=lf"), test, "lf");
        Row("UTF-8", QByteArray("key=Configuraci\xc3\xb3n\r\n"), test, "Configuración");
        Row("Windows-1252", QByteArray("key=Configuraci\xf3n \x80\r\n"), test, "Configuración €");
        Row("byte order mark", QByteArray("\xef\xbb\xbfkey=first\r\n"), test, "first");
        Row("absent: letter case, blank before =", QByteArray("other=1\r\nKey=1\r\nkey =1\r\n"), test, "-");
        Row("choice not trimmed", QByteArray("key=1\r\n"), QByteArray("test.lng \r\n"), "-");
        Row("no choice file", QByteArray("key=1\r\n"), QByteArray("-"), "-");
        // clang-format on
    }
    void lookup() {
        Fixture f;
        QVERIFY(f.start());
        Session().errLoadLang = "Catalogue";
        useCatalogue(f, Cell<QByteArray>("catalogue"), Cell<QByteArray>("choice"));
        const bool found = Cell("expected") != "-";
        QCOMPARE(GetText("key"), found ? Cell("expected") : QString());
        // The program's own messages fall back to English in an older catalogue.
        useCatalogue(f, "key=edited\r\nerrToolStart=Cannot start %1\r\n", "test.lng\r\n");
        QCOMPARE(GetText("key"), "edited");
        QCOMPARE(ToolStartFailedText("x.exe"), "Cannot start x.exe");
        QVERIFY(WriteFailedText("get.cfg").contains("get.cfg could not be written"));
        QVERIFY(LineBreakText().contains("line break"));
        QCOMPARE(f.exitCode.value_or(0), found ? 0 : 1);
        QCOMPARE(f.dialogs.describe(), found ? "" : "[1|Error] Catalogue: 'key' not found");
    }

    // Every key the program looks up is in both shipped catalogues, which
    // hold the same keys. Every button an instruction names between double
    // quotes (nine in each) is named by the caption the catalogue gives a button.
    void shippedCatalogues() {
        const QRegularExpression patterns[] = {
            QRegularExpression("(?:GetText|GetTextOr|SwitchOn)\\(QStringLiteral\\(\"([^\"]+)\"\\)"),
            QRegularExpression("\\{\"[A-Za-z_0-9]*\",\\s*\"([A-Za-z][A-Za-z0-9]*)\"\\}"),
            QRegularExpression("\\{\"(tab[A-Za-z]+)\","),
            QRegularExpression("\\{\"(\\w+)\", \"\\1\", \""),
        };
        QSet<QString> keys, english;
        QDirIterator it(KALDOR_SOURCE_DIR "/src", {"*.cpp"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString code = ReadLines(it.next()).value().join('\n');
            for (const QRegularExpression& re : patterns) {
                for (const QRegularExpressionMatch& m : re.globalMatch(code))
                    keys.insert(m.captured(1).replace("%1", "1"));
            }
        }
        QVERIFY(keys.size() > 150);
        static const QRegularExpression quoted("\"([^\"]*)\"");
        for (const char* catalogue : {"english.lng", "spanish.lng"}) {
            const L lines =
                ReadLines(KALDOR_SOURCE_DIR "/resources/languages/" + QString(catalogue))
                    .value_or(L());
            QSet<QString> present, captions;
            for (const QString& line : lines) {
                present.insert(line.section('=', 0, 0));
                if (line.startsWith("cmd", Qt::CaseInsensitive))
                    captions.insert(line.section('=', 1));
            }
            int names = 0;
            for (const QString& line : lines) {
                for (const QRegularExpressionMatch& m : quoted.globalMatch(line.section('=', 1))) {
                    QVERIFY2(captions.contains(m.captured(1)), qPrintable(line));
                    ++names;
                }
            }
            QCOMPARE(names, 9);
            english = english.isEmpty() ? present : english;
            QVERIFY2((keys - present).isEmpty(), qPrintable((keys - present).values().join(' ')));
            QCOMPARE(present, english);
        }
    }

    // With a catalogue whose every text names its key, each window shows the
    // key of each of its controls, and the tabs and the file dialog theirs.
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
        for (const auto& [window, captions] : kCaptions) {
            QWidget* w = WindowNamed(window);
            for (const QString& entry : QString(captions).split(' ')) {
                const QString control = entry.section('=', 0, 0);
                QWidget* c = control == "*" ? w : Ctl(w, qPrintable(control));
                const char* property = qobject_cast<QGroupBox*>(c) ? "title" : "text";
                const QString caption =
                    c == w ? w->windowTitle() : c->property(property).toString();
                const QString key = c == w ? window : entry.section('=', -1);
                QVERIFY2(caption == "<" + key + ">", qPrintable(caption + " on " + window));
            }
        }
        // Each page's caption is the assistant window's title while it shows.
        for (const char* page :
             {"frmBegin", "frmConnect", "frmAdvanced", "frmConfig", "frmEnd", "frmSetAll"}) {
            Fixture::show(WindowNamed(page));
            QCOMPARE(W().assistant->windowTitle(), QString("<%1>").arg(page));
        }
        auto* bar = Ctl<QTabBar>(W().frmConfigAdv, "tabConfig");
        L tabs;
        for (int i = 0; i < bar->count(); ++i)
            tabs << bar->tabText(i);
        QCOMPARE(tabs, L({"<tabGeneral>", "<tabNetwork>", "<tabMac>", "<tabPhy>", "<tabMulticat>",
                          "<tabSecurity>", "<tabVlan>", "<tabQoS>", "<tabQoSAdv>"}));
        QCOMPARE(Ctl<QLabel>(W().frmEnd, "lblEnd1")->text(), "<lblEnd1> 2.7.22");
        f.click(W().frmConfigAdv, "cmdChooseFile");
        QCOMPARE(f.dialogs.fileDialogTitles, QStringList{"<cdlTitle>"});
        QCOMPARE(f.dialogs.fileDialogFilters, QStringList{"<cdlFilter>"});
        // The desktop's own message boxes carry the catalogue's button captions.
        for (const auto& [buttons, expected] : {std::pair{MsgButtons::Ok, L{"<cmdOk>"}},
                                                {MsgButtons::YesNo, L{"<cmdYes>", "<cmdNo>"}}}) {
            QStringList shown;
            QTimer::singleShot(0, [&shown] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                for (QAbstractButton* button : box->buttons())
                    shown << button->text();
                box->done(0);
            });
            DesktopDialogs().messageBox("text", MsgIcon::Question, buttons, "title");
            QCOMPARE(shown, expected);
        }
    }
};

QTEST_MAIN(CatalogueTest)
#include "test_catalogue.moc"
