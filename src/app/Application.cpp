#include "Application.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>

Application& App() {
    static Application app;
    return app;
}

SessionState& Session() {
    return App().session;
}

bool FileExists(const QString& path) {
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString JoinPath(const QString& folder, const QString& name) {
    return QDir::toNativeSeparators(folder + QLatin1Char('/') + name);
}

static void DefaultEndProcess(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void ExitApplication(int exitCode) {
    Application& app = App();
    // Closing the end page calls back in here; the outer call finishes the job.
    if (app.exiting) {
        return;
    }
    app.exiting = true;
    if (app.stopTools) {
        app.stopTools();
    }
    const SessionState& s = app.session;
    for (const QString& file : {s.ResponseFile, s.GetRequestFile, s.PostRequestFile,
                                s.FactoryResetRequestFile, s.FirmwareServerResultFile}) {
        if (FileExists(file)) {
            QFile::remove(file);
        }
    }
    if (app.closeWindows) {
        app.closeWindows();
    }
    if (!s.StartDir.isEmpty()) {
        QDir::setCurrent(s.StartDir);
    }
    if (app.endProcess) {
        app.endProcess(exitCode);
    } else {
        DefaultEndProcess(exitCode);
    }
}
