#pragma once

#include <QString>

// The one record of the run, shared by every page: work-file paths, the node
// being configured and its password, and catalogue texts cached at start-up.
struct SessionState {
    // Work folder and work files, fixed during start-up.
    QString ResponseFile;
    QString LanguageDir;
    QString LanguageChoiceFile;
    QString GetRequestFile;
    QString PostRequestFile;
    QString FactoryResetRequestFile;
    QString MacDiscoverFile;
    QString FirmwareServerResultFile;
    QString VersionText;
    QString WorkDir;
    QString StartDir;
    QString AliasFile;
    QString TcpWindowFile;

    // Node and connection values.
    qint16 InterfaceNumber = 0;
    QString SelectedMac;
    QString LocalMac;
    QString NodePassword;
    QString LocalPassword;
    QString SelectedNetworkId;
    QString LocalNetworkId;
    bool DiscoveryFailed = false;
    bool CtrlKeyDown = false;

    // Status-window messages.
    QString lblConnect;
    QString lblUpLoader;
    QString lblSave;
    QString lblUpgrade;
    QString lblFctReset;
    QString lblDiscoverMac;
    QString lblCalcCRC;
    QString lblConfiguring;

    // Message-box texts and titles.
    QString errUpgradeOk;
    QString errUpgradeKo;
    QString errSaving;
    QString errLoadConf;
    QString errLoadLang;
    QString errReceiving;
    QString errReseting;
    QString errResetOk;
    QString errFactResetOk;
    QString errFactResetKo;
    QString errFactResetKoOrPw;
    QString errPwMistake;
    QString errNoModems;
    QString errPwError;
    QString errConfiguring;
    QString errSetAllOK;
    QString errCodeUpgrade[10];  // 1 to 9 are used
    QString errTextCode[10];     // 1 to 9 are used
};

// Revision number of this release (version 2.7.22); shown after the
// catalogue's version text.
inline constexpr int kRevision = 22;
