#include "Startup.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <memory>

#include "Navigator.h"
#include "app/Application.h"
#include "app/Seams.h"
#include "channel/ToolRun.h"
#include "ui/Keyboard.h"

namespace {

std::unique_ptr<Navigator> gNavigator;

// The catalogue lives inside the work folder, so this message cannot come
// from it.
void ReportMissingWorkFolder(const QString& startDir) {
    MsgBox(QStringLiteral("The folder \"resources\" was not found in %1. Start Kaldor Config "
                          "from the folder that holds its resources folder.")
               .arg(QDir::toNativeSeparators(startDir)),
           MsgIcon::Stop);
}

}  // namespace

bool StartApplication() {
    Application& app = App();
    // Every window carries the program's icon, the one installed for the
    // menu entry, and the desktop finds that entry by its name.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/art/kaldor-config.svg")));
    QGuiApplication::setDesktopFileName(QStringLiteral("kaldor-config"));
    gNavigator = std::make_unique<Navigator>();
    const QString startDir = QDir::currentPath();
    if (!QDir::setCurrent(QDir(startDir).filePath(QStringLiteral("resources")))) {
        ReportMissingWorkFolder(startDir);
        return false;
    }
    gNavigator->CreateWindows();
    if (!app.exiting) {
        const CaptionedWindows windows = gNavigator->captionedWindows();
        ApplyLanguage(windows);
        for (QWidget* window :
             {windows.frmBegin, windows.frmConnect, windows.frmAdvanced, windows.frmConfig,
              windows.frmMessage, windows.frmEnd, windows.frmConfigAdv, windows.frmAskPw,
              windows.frmErrorShort, windows.frmSetAll}) {
            PrepareKeyboard(window);
        }
    }
    app.session.StartDir = QDir::toNativeSeparators(startDir);
    if (app.exiting) {
        return false;
    }
    app.stopTools = StopRunningTools;
    gNavigator->Start();
    return true;
}

Navigator* TheNavigator() {
    return gNavigator.get();
}

void DestroyWindows() {
    gNavigator.reset();
}
