#pragma once

#include <QList>
#include <QString>
#include <functional>

#include "SessionState.h"

class QWidget;

// Every window of the program, created once at start-up and kept until exit.
struct Windows {
    QWidget* frmBegin = nullptr;
    QWidget* frmConnect = nullptr;
    QWidget* frmAdvanced = nullptr;
    QWidget* frmConfig = nullptr;
    QWidget* frmMessage = nullptr;
    QWidget* frmEnd = nullptr;
    QWidget* frmConfigAdv = nullptr;
    QWidget* frmAskPw = nullptr;
    QWidget* frmErrorShort = nullptr;
    QWidget* frmSetAll = nullptr;
};

// Every window, in the order they are created.
inline QList<QWidget*> AllWindows(const Windows& w) {
    return {w.frmBegin, w.frmConnect,   w.frmAdvanced, w.frmConfig,     w.frmMessage,
            w.frmEnd,   w.frmConfigAdv, w.frmAskPw,    w.frmErrorShort, w.frmSetAll};
}

// Positions of the advanced window's tabs; 0 for a tab the catalogue left out.
struct AdvancedTabs {
    int GeneralTab = 0;
    int NetworkTab = 0;
    int MacTab = 0;
    int PhyTab = 0;
    int MulticastTab = 0;
    int SecurityTab = 0;
    int VlanTab = 0;
    int QoSTab = 0;
    int QoSAdvTab = 0;
};

// Actions that a page starts on a page of a later layer. Start-up fills them,
// so a layer never needs to know the layers below it.
struct Flow {
    std::function<void()> DiscoverNodes;        // node discovery
    std::function<void()> FactoryResetConnect;  // node page's factory reset
    std::function<void()> AdvancedFromEnd;      // end page's Advanced action
    std::function<void()> LoadAdvancedWindow;   // fill the advanced window from the response
};

// The application object: owns the run's shared state.
struct Application {
    SessionState session;
    Windows windows;
    AdvancedTabs tabs;
    Flow flow;
    bool exiting = false;
    // Stops the tools still running, so none writes after the files are gone.
    std::function<void()> stopTools;
    // Ends the process; tests replace it to observe the exit instead.
    std::function<void(int)> endProcess;
};

Application& App();
SessionState& Session();

// True when a file or folder of that name exists. Never fails, shows nothing.
bool FileExists(const QString& path);

// The one way the program ends: deletes the work files that carry requests and
// answers, closes every window, returns to the start folder, ends the process.
void ExitApplication(int exitCode = 0);

// Joins a folder and a file name with the platform's separator.
QString JoinPath(const QString& folder, const QString& name);
