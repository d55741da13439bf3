#include "WorkFiles.h"

#include <QDir>

#include "app/Application.h"

void SetWorkFiles(const QString& workDir) {
    SessionState& s = Session();
    s.WorkDir = QDir::toNativeSeparators(workDir);
    s.ResponseFile = JoinPath(s.WorkDir, QStringLiteral("ihcp_client.tmp"));
    s.LanguageDir = JoinPath(s.WorkDir, QStringLiteral("languages"));
    s.LanguageChoiceFile = JoinPath(s.LanguageDir, QStringLiteral("default.lang"));
    s.GetRequestFile = JoinPath(s.WorkDir, QStringLiteral("get.cfg"));
    s.PostRequestFile = JoinPath(s.WorkDir, QStringLiteral("post.cfg"));
    s.FactoryResetRequestFile = JoinPath(s.WorkDir, QStringLiteral("fctrst.cfg"));
    s.MacDiscoverFile = JoinPath(s.WorkDir, QStringLiteral("macdiscover.tmp"));
    s.FirmwareServerResultFile = JoinPath(s.WorkDir, QStringLiteral("winl2fwserver.tmp"));
    s.AliasFile = JoinPath(s.WorkDir, QStringLiteral("alias.tmp"));
    s.TcpWindowFile = JoinPath(s.WorkDir, QStringLiteral("tcpwindow.reg"));
}
