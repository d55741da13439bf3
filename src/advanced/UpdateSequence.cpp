#include "UpdateSequence.h"


#include "app/Application.h"
#include "app/Seams.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "frmConfigAdv.h"
#include "ui/BusyOperation.h"
#include "ui/Status.h"

bool SendSettings(const QStringList& settings) {
    const SessionState& s = Session();
    bool accepted = false;
    {
        const BusyOperation operation(AdvancedWindow(), s.lblSave);
        DeleteResponse();
        if (!WriteRequest(s.PostRequestFile, PostHeader() + settings)) {
            return false;
        }
        SetProgress(1, 3);
        RunAndWait(ClientCommandLine(s.PostRequestFile));
        SetProgress(2, 3);
        accepted = ResponseStartsWith(QStringLiteral("0"));
        SetProgress(3, 3);
    }
    if (!accepted) {
        MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errSaving);
    }
    return accepted;
}

void ShowAgainOrRediscover() {
    AdvancedWindow()->ShowAgainOrRediscover();
}
