#include "UpdateSequence.h"

#include <QWidget>

#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "ui/Status.h"

bool SendSettings(const QStringList& settings) {
    const SessionState& s = Session();
    QWidget* window = App().windows.frmConfigAdv;
    window->setEnabled(false);
    ShowStatus(s.lblSave, window);
    DeleteResponse();
    if (!WriteRequest(s.PostRequestFile, PostHeader() + settings)) {
        HideStatus();
        window->setEnabled(true);
        return false;
    }
    SetProgress(1, 3);
    RunAndWait(ClientCommandLine(s.PostRequestFile));
    SetProgress(2, 3);
    const bool accepted = ResponseStartsWith(QStringLiteral("0"));
    SetProgress(3, 3);
    HideStatus();
    window->setEnabled(true);
    if (!accepted) {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errSaving);
    }
    return accepted;
}

void ShowAgainOrRediscover() {
    const SessionState& s = Session();
    QWidget* window = App().windows.frmConfigAdv;
    if (s.SelectedMac == s.LocalMac) {
        window->show();
        return;
    }
    window->hide();
    App().flow.DiscoverNodes();
}
