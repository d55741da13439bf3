#pragma once

#include <QString>
#include <functional>

#include "SessionState.h"

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

// The application object: owns the run's shared state.
struct Application {
    SessionState session;
    AdvancedTabs tabs;
    bool exiting = false;
    // Closes every window, in the order the program's end closes them.
    std::function<void()> closeWindows;
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
