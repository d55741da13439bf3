#include "ApplyLanguage.h"

#include <QLayout>
#include <QListWidget>
#include <QStackedWidget>
#include <QTabBar>
#include <QTableWidget>

#include "Catalogue.h"
#include "app/Application.h"
#include "lang/Controls.h"
#include "lang/Messages.h"

namespace {

// One caption: control name ("" for the window itself) and catalogue key.
struct Caption {
    const char* control;
    const char* key;
};

void Apply(QWidget* window, std::initializer_list<Caption> captions) {
    for (const Caption& c : captions) {
        QWidget* target = *c.control ? Ctl(window, c.control) : window;
        SetCaption(target, GetText(QLatin1String(c.key)));
    }
}

void ApplyBegin(QWidget* w) {
    Apply(w, {{"", "frmBegin"},
              {"lblBeginTit", "lblBeginTit"},
              {"lblBeginBody", "lblBeginBody"},
              {"lblBeginNote", "lblBeginNote"},
              {"lblBeginNote2", "lblBeginNote2"},
              {"cmdEnd", "cmdExit"},
              {"cmdHelp", "cmdHelp"},
              {"cmdNext", "cmdNext"},
              {"cmdPrev", "cmdPrev"}});
}

void ApplyConnect(QWidget* w) {
    Apply(w, {{"", "frmConnect"},
              {"lblConnectTit", "lblConnectTit"},
              {"lblConnectBody", "lblConnectBody"},
              {"lblConnectBody2", "lblConnectBody2"},
              {"lblTitMac", "lblTitMac"},
              {"lblTitId", "lblTitId"},
              {"lblAlias", "lblTitAlias"},
              {"cmdRefresh", "cmdRefresh"},
              {"cmdConfigMac", "cmdNext"},
              {"cmdExit", "cmdExit"},
              {"cmdPrev", "cmdPrev"},
              {"cmdFactoryReset", "cmdFactoryReset"},
              {"cmdQuickAdv", "cmdAdvanced"},
              {"lblRemoteNodes", "lblRemoteNodes"},
              {"lblConnectedNode", "lblConnectedNode"}});
    SetCaption(Ctl(w, "cmdOverview"),
               GetTextOr(QStringLiteral("cmdOverview"), QStringLiteral("Overview...")));
    Ctl(w, "cmdQuickAdv")->setVisible(SwitchOn(QStringLiteral("showQuickAdvanced")));
}

void ApplyConfig(QWidget* w) {
    Apply(w, {{"", "frmConfig"},
              {"lblConfigTit", "lblConfigTit"},
              {"lblConfigBody", "lblConfigBody"},
              {"fraConfig", "fraConfig"},
              {"lblId", "lblId"},
              {"lblKey", "lblKey"},
              {"lblAlias", "lblAlias"},
              {"lblNode", "lblNode"},
              {"lblVersion", "lblVersion"},
              {"lblChangePw", "lblChangePw"},
              {"lblPw2", "lblPw2"},
              {"optAP", "optAp"},
              {"optEnd", "optEp"},
              {"cmdExit", "cmdExit"},
              {"cmdHelp", "cmdHelp"},
              {"cmdReturn", "cmdPrev"},
              {"cmdSave", "cmdNext"}});
}

void ApplyEnd(QWidget* w, const SessionState& s) {
    Apply(w, {{"", "frmEnd"}, {"lblEndTit", "lblEndTit"}});
    SetCaption(Ctl(w, "lblEnd1"),
               GetText(QStringLiteral("lblEnd1")) + QLatin1Char(' ') + s.VersionText);
    Apply(w, {{"lblEnd2", "lblEnd2"},
              {"lblEnd3", "lblEnd3"},
              {"lblEnd4", "lblEnd4"},
              {"lblEnd5", "lblEnd5"},
              {"cmdAdvanced", "cmdAdvanced"},
              {"cmdFinish", "cmdExit"},
              {"cmdHelp", "cmdHelp"},
              {"cmdReturn", "cmdPrev"},
              {"cmdSave", "cmdNext"}});
}

void ApplyAdvancedPage(QWidget* w) {
    // The page's file dialog is created when used; it takes these from the page.
    w->setProperty("cdlOpenTitle", GetText(QStringLiteral("cdlTitle")));
    w->setProperty("cdlOpenFilter", GetText(QStringLiteral("cdlFilter")));
    Apply(w, {{"cmdUpgrade", "cmdUpgrade"},
              {"fraAdvanced", "fraAdvanced"},
              {"", "frmAdvanced"},
              {"lblUpgrade", "lblUpgradeLoader"},
              {"lblAdvancedTit", "lblAdvancedTit"},
              {"lblAdvancedBody", "lblAdvancedBody"},
              {"lblAdvancedBody2", "lblAdvancedBody2"},
              {"lblAdvancedBody3", "lblAdvancedBody3"},
              {"cmdConfigMac", "cmdNext"},
              {"cmdExit", "cmdExit"},
              {"cmdHelp", "cmdHelp"},
              {"cmdPrev", "cmdPrev"},
              {"lblInterface", "lblInterface"}});
}

void ApplyAskPw(QWidget* w) {
    Apply(w, {{"", "frmAskPw"},
              {"lblAskPw", "lblAskPw"},
              {"cmdOk", "cmdOk"},
              {"cmdReturn", "cmdCancel"}});
}

void ApplyMessage(QWidget* w, SessionState& s) {
    Apply(w, {{"", "frmMessage"}});
    CacheStatusMessages(s);
}

void ApplySetAll(QWidget* w) {
    Apply(w, {{"", "frmSetAll"},
              {"lblSetAllTit", "lblSetAllTit"},
              {"lblSetAllBody", "lblSetAllBody"},
              {"fraSetAll", "fraSetAll"},
              {"lblChangePw", "lblChangePw"},
              {"lblId", "lblId"},
              {"lblKey", "lblKey"},
              {"lblNotches", "lblNotches"},
              {"lblPw2", "lblPw2"},
              {"cmdAutoConf", "cmdSetAll"},
              {"cmdPrev", "cmdPrev"},
              {"cmdExit", "cmdExit"},
              {"cmdHelp", "cmdHelp"}});
}

// An optional tab of the advanced window: present only with a caption.
struct OptionalTab {
    const char* key;
    int AdvancedTabs::*position;
    std::initializer_list<Caption> captions;
};

// Hides the raw parameter list and gives its width back to the window.
void HideParameterList(QWidget* w) {
    auto* list = Ctl<QListWidget>(w, "lstConfig");
    if (w->layout()) {
        w->layout()->activate();
    }
    const int width = list->width();
    list->hide();
    if (w->layout()) {
        w->layout()->activate();
    }
    w->resize(w->width() - width, w->height());
}

void ApplyConfigAdv(QWidget* w, AdvancedTabs& tabs, const SessionState& s) {
    Apply(w, {{"", "frmConfigAdv"}, {"cmdExit", "cmdExit"}, {"cmdRefresh", "cmdRefreshConf"}});
    auto* tabBar = Ctl<QTabBar>(w, "tabConfig");
    int counter = 2;
    tabBar->setTabText(0, GetText(QStringLiteral("tabGeneral")));
    tabs.GeneralTab = 1;
    Apply(w, {{"fraFactoryReset", "fraFactoryReset"},
              {"cmdFactoryReset", "cmdFactoryReset"},
              {"fraReset", "fraReset"},
              {"cmdReset", "cmdReset"},
              {"fraFwUpgrade", "fraFwUpgrade"},
              {"lblFwFile", "lblFwFile"},
              {"lblInterface", "lblInterface"},
              {"cmdFwUpgrade", "cmdFwUpgrade"}});
    Ctl(w, "fraFwUpdate")->setVisible(SwitchOn(QStringLiteral("showFLUP")));
    if (!SwitchOn(QStringLiteral("showConfigPanel"))) {
        HideParameterList(w);
    }
    Apply(w, {{"fraFwUpdate", "fraFwUpdate"},
              {"lblUpgProt", "lblUpgProt"},
              {"lblServerIP", "lblServerIP"},
              {"lblFtpUser", "lblFtpUser"},
              {"lblFtpPass", "lblFtpPass"},
              {"lblFileName", "lblFileName"},
              {"lblUpdateSect", "lblUpdateSect"},
              {"cmdFwUpdate", "cmdFwUpdate"}});

    const OptionalTab optional[] = {
        {"tabNetwork",
         &AdvancedTabs::NetworkTab,
         {{"lblNetworkText", "lblNetworktext"},
          {"fraNetConfig", "fraNetworkConfig"},
          {"fraFixedIpConfig", "fraNetworkFixedIP"},
          {"lblIpConfig", "lblIpConfig"},
          {"lblIpAddress", "lblIpAddress"},
          {"lblSubnetMask", "lblSubnetMask"},
          {"lblDefGateway", "lblDefGateway"},
          {"cmdUpdateFixedIp", "cmdNetworkUpgrade"}}},
        {"tabMac",
         &AdvancedTabs::MacTab,
         {{"fraMacConfig", "fraMacConfig"},
          {"lblMacType", "lblMacType"},
          {"lblNodeType", "lblMacNode"},
          {"cmdUpdateMacConf", "cmdMacUpdate"}}},
        {"tabPhy",
         &AdvancedTabs::PhyTab,
         {{"fraPhyConfig", "fraPhyConfig"},
          {"lblNotches", "lblNotches"},
          {"lblDistControl", "lblDistortionControl"},
          {"cmdUpdatePhyConf", "cmdPhyUpdate"}}},
        {"tabMulticat",
         &AdvancedTabs::MulticastTab,
         {{"fraMulticastConf", "fraMcastConfig"},
          {"LblIGMP", "lblIGMP"},
          {"CmdUpdateIGMP", "CmdUpdateIGMP"}}},
        {"tabSecurity",
         &AdvancedTabs::SecurityTab,
         {{"fraSecurity", "fraSecurity"},
          {"lblSecurity_0", "lblConfigPwd"},
          {"lblSecurity_1", "lblConfirmPwd"},
          {"cmdUpPw", "cmdUpdatePwd"},
          {"lblSecurity_2", "lblEncrypKey"},
          {"lblSecurity_3", "lblConfirmKey"},
          {"cmdUpKey", "cmdUpdateKey"},
          {"lblSecurity_4", "lblNetId"},
          {"cmdUpId", "cmdUpdateNetId"},
          {"lblSecurity_5", "lblAliasSec"},
          {"cmdUpdAlias", "cmdUpdateAlias"},
          {"lblSecurity_6", "lblEncryptType"},
          {"lblSecurity_7", "lblAESEncryptType"},
          {"lblSecurity_8", "lblEncryptLength"},
          {"cmdUpEncryption", "cmdUpdateEncryption"}}},
        {"tabVlan",
         &AdvancedTabs::VlanTab,
         {{"fraVlan", "fraVlanConfig"},
          {"lblVlanConf", "lblVlanConfig"},
          {"lblVlanTag", "lblVlanTag"},
          {"lblVlanPriority", "lblVlanPrio"},
          {"cmdUpVlan", "cmdVlanUpdate"}}},
        {"tabQoS", &AdvancedTabs::QoSTab, {{"fraQoS", "fraQoS"}}},
        {"tabQoSAdv",
         &AdvancedTabs::QoSAdvTab,
         {{"fraQoSAdv", "fraQoSAdv"},
          {"lblRule1", "lblRule1"},
          {"lblRule2", "lblRule2"},
          {"lblPort1", "lblPort1"},
          {"lblPort2", "lblPort2"},
          {"lblIp1", "lblIp1"},
          {"lblIp2", "lblIp2"},
          {"cmdQoSAdvUpdate", "cmdQoSAdvUpdate"}}},
    };
    for (const OptionalTab& tab : optional) {
        const QString caption = GetText(QLatin1String(tab.key));
        if (caption.isEmpty()) {
            continue;
        }
        tabBar->addTab(caption);
        tabs.*tab.position = counter++;
        Apply(w, tab.captions);
    }
    Ctl(w, "cmdFactoryReset")->setVisible(s.SelectedMac == s.LocalMac);
    // Captions that older catalogues do not carry keep their English text.
    const struct {
        const char* control;
        const char* key;
        const char* fallback;
    } ownCaptions[] = {{"lblQoSPort", "lblQoSPort", "Port"},
                       {"cmdQoSUpdate", "cmdQoSUpdate", "Update"},
                       {"fraTcpWindow", "fraTcpWindow", "TCP Window"},
                       {"cmdTcpWindow", "cmdTcpWindow", "Tcp Window Size"},
                       {"fraBackup", "fraBackup", "Settings Backup"},
                       {"cmdSaveSettings", "cmdSaveSettings", "Save settings..."},
                       {"cmdRestoreSettings", "cmdRestoreSettings", "Restore settings..."},
                       {"cmdCompare", "cmdCompare", "Compare with..."}};
    for (const auto& c : ownCaptions) {
        SetCaption(Ctl(w, c.control), GetTextOr(QLatin1String(c.key), QLatin1String(c.fallback)));
    }
}

// The overview window. Older catalogues do not carry its texts: they keep
// their English ones.
void ApplyOverview(QWidget* w) {
    SetCaption(w, GetTextOr(QStringLiteral("frmOverview"), QStringLiteral("Network overview")));
    const struct {
        const char* control;
        const char* key;
        const char* fallback;
    } captions[] = {{"cmdOvRefresh", "cmdOvRefresh", "Refresh"},
                    {"cmdOvExport", "cmdOvExport", "Export CSV..."},
                    {"cmdOvStop", "cmdOvStop", "Stop"},
                    {"cmdOvClose", "cmdOvClose", "Close"}};
    for (const auto& c : captions) {
        SetCaption(Ctl(w, c.control), GetTextOr(QLatin1String(c.key), QLatin1String(c.fallback)));
    }
    // The column headings, which the CSV file takes over as its first line.
    const QStringList headings{
        GetTextOr(QStringLiteral("colOvAlias"), QStringLiteral("Alias")),
        GetTextOr(QStringLiteral("colOvMac"), QStringLiteral("MAC")),
        GetTextOr(QStringLiteral("colOvNetId"), QStringLiteral("Network ID")),
        GetTextOr(QStringLiteral("colOvModel"), QStringLiteral("Model")),
        GetTextOr(QStringLiteral("colOvFirmware"), QStringLiteral("Firmware")),
        GetTextOr(QStringLiteral("colOvNodeType"), QStringLiteral("Node type")),
        GetTextOr(QStringLiteral("colOvState"), QStringLiteral("State"))};
    Ctl<QTableWidget>(w, "grdOverview")->setHorizontalHeaderLabels(headings);
}

}  // namespace

void ApplyLanguage(const CaptionedWindows& w) {
    Application& app = App();
    SessionState& s = app.session;
    ApplyBegin(w.frmBegin);
    ApplyConnect(w.frmConnect);
    CacheMessages(s);
    ApplyConfig(w.frmConfig);
    ApplyEnd(w.frmEnd, s);
    ApplyAdvancedPage(w.frmAdvanced);
    ApplyAskPw(w.frmAskPw);
    ApplyMessage(w.frmMessage, s);
    Apply(w.frmErrorShort, {{"cmdHelp", "cmdHelp"}, {"cmdOk", "cmdOk"}});
    ApplySetAll(w.frmSetAll);
    ApplyConfigAdv(w.frmConfigAdv, app.tabs, s);
    if (w.frmOverview) {
        ApplyOverview(w.frmOverview);
    }
}
