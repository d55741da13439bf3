#include "Loading.h"

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "frmConfigAdv.h"

void ListResponseLines() {
    const SessionState& s = Session();
    if (!FileExists(s.ResponseFile)) {
        MsgBox(s.errLoadConf, MsgIcon::Exclamation);
        return;
    }
    auto* window = static_cast<frmConfigAdv*>(App().windows.frmConfigAdv);
    window->ui.lstConfig->clear();
    window->ui.lstConfig->addItems(ReadLines(s.ResponseFile).value_or(QStringList()));
}
