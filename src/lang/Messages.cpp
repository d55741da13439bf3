#include "Messages.h"

#include "Catalogue.h"
#include "app/SessionState.h"

void CacheMessages(SessionState& s) {
    s.errConfiguring = GetText(QStringLiteral("errConfiguring"));
    s.errSetAllOK = GetText(QStringLiteral("errSetAllOK"));
    s.errUpgradeOk = GetText(QStringLiteral("errUpgradeOk"));
    s.errUpgradeKo = GetText(QStringLiteral("errUpgradeKo"));
    s.errSaving = GetText(QStringLiteral("errSaving"));
    s.errLoadConf = GetText(QStringLiteral("errLoadConf"));
    s.errLoadLang = GetText(QStringLiteral("errLoadLang"));
    s.errReceiving = GetText(QStringLiteral("errReceiving"));
    s.errReseting = GetText(QStringLiteral("errReseting"));
    s.errResetOk = GetText(QStringLiteral("errResetOk"));
    s.errFactResetOk = GetText(QStringLiteral("errFactResetOk"));
    s.errFactResetKo = GetText(QStringLiteral("errFactResetKo"));
    s.errFactResetKoOrPw = GetText(QStringLiteral("errFactResetKoOrPw"));
    s.errPwMistake = GetText(QStringLiteral("errPwMistake"));
    s.errNoModems = GetText(QStringLiteral("errNoModems"));
    s.errPwError = GetText(QStringLiteral("errPwError"));
    for (int n = 1; n <= 9; ++n) {
        s.errCodeUpgrade[n] = GetText(QStringLiteral("errCodeUpgrade%1").arg(n));
    }
    for (int n = 1; n <= 9; ++n) {
        s.errTextCode[n] = GetText(QStringLiteral("errTextCode%1").arg(n));
    }
}

void CacheStatusMessages(SessionState& s) {
    s.lblConnect = GetText(QStringLiteral("lblConnect"));
    s.lblUpLoader = GetText(QStringLiteral("lblUpLoader"));
    s.lblSave = GetText(QStringLiteral("lblSave"));
    s.lblUpgrade = GetText(QStringLiteral("lblUpgrade"));
    s.lblFctReset = GetText(QStringLiteral("lblFctReset"));
    s.lblDiscoverMac = GetText(QStringLiteral("lblDiscoverMac"));
    s.lblCalcCRC = GetText(QStringLiteral("lblCalcCRC"));
    s.lblConfiguring = GetText(QStringLiteral("lblConfiguring"));
}
