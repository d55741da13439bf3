#include "Startup.h"

#include <QDir>

#include "Application.h"
#include "Seams.h"
#include "advanced/Loading.h"
#include "advanced/QosPanels.h"
#include "advanced/Reset.h"
#include "advanced/frmConfigAdv.h"
#include "app/frmBegin.h"
#include "channel/ToolRun.h"
#include "discovery/ConnectLoad.h"
#include "discovery/Discovery.h"
#include "discovery/frmConnect.h"
#include "firmware/Firmware.h"
#include "firmware/frmAdvanced.h"
#include "lang/ApplyLanguage.h"
#include "ui/Keyboard.h"
#include "ui/frmAskPw.h"
#include "ui/frmErrorShort.h"
#include "ui/frmMessage.h"
#include "wizard/frmConfig.h"
#include "wizard/frmEnd.h"
#include "wizard/frmSetAll.h"

namespace {

// The catalogue lives inside the work folder, so this message cannot come
// from it.
void ReportMissingWorkFolder(const QString& startDir) {
    MsgBox(QStringLiteral("The folder \"resources\" was not found in %1. Start Kaldor Config "
                          "from the folder that holds its resources folder.")
               .arg(QDir::toNativeSeparators(startDir)),
           MsgIcon::Stop);
}

void CreateWindows(Windows& w) {
    w.frmConnect = new frmConnect;
    LoadConnectPage();
    w.frmAdvanced = new frmAdvanced;
    w.frmConfig = new frmConfig;
    w.frmMessage = new frmMessage;
    w.frmEnd = new frmEnd;
    w.frmConfigAdv = new frmConfigAdv;
    w.frmAskPw = new frmAskPw;
    w.frmErrorShort = new frmErrorShort;
    w.frmSetAll = new frmSetAll;
}

}  // namespace

bool StartApplication() {
    Application& app = App();
    app.windows.frmBegin = new frmBegin;
    const QString startDir = QDir::currentPath();
    if (!QDir::setCurrent(QDir(startDir).filePath(QStringLiteral("resources")))) {
        ReportMissingWorkFolder(startDir);
        return false;
    }
    CreateWindows(app.windows);
    if (!app.exiting) {
        ApplyLanguage();
        for (QWidget* window : AllWindows(app.windows)) {
            PrepareKeyboard(window);
        }
    }
    app.session.StartDir = QDir::toNativeSeparators(startDir);
    if (app.exiting) {
        return false;
    }
    ConnectFlows();
    app.windows.frmBegin->show();
    return true;
}

void ConnectFlows() {
    Flow& flow = App().flow;
    flow.DiscoverNodes = DiscoverNodes;
    App().stopTools = StopRunningTools;
    flow.AdvancedFromEnd = [] { static_cast<frmEnd*>(App().windows.frmEnd)->cmdAdvanced_Click(); };
    flow.FactoryResetConnect = FactoryResetConnect;
    flow.LoadAdvancedWindow = [] {
        ListResponseLines();
        LoadDeviceParameters();
    };
    ConnectQosVlanTcp(AdvancedWindow());
    ConnectFirmware();
}
