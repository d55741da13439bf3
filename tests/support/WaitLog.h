#pragma once

#include <QStringList>

// What the user sees while the program pauses or a tool runs.
namespace WaitLog {

// One tool run ("MacDiscover.exe") or fixed wait ("6000 ms") as the user saw it.
struct Step {
    QString run;
    int bar = 0;
    QString message;
    QString owner;        // the window the status window belongs to and stands over
    QString shown;        // the page the assistant window shows, or the advanced window
    bool busy = true;     // the busy cursor is on
    QStringList usable;   // windows and pages that are shown and enabled
    bool closed = false;  // a close of the status, assistant or advanced window got through
    bool operator==(const Step&) const = default;
};

extern QList<Step> steps;

// Starts recording afresh.
void Record();

char* toString(const Step& step);

}  // namespace WaitLog
