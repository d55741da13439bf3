#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "Groups.h"
#include "channel/Backup.h"

// What the assistant and the command line ask of the selected node (the
// session's SelectedMac, with its NodePassword). No step shows a window:
// progress goes through the progress seam, messages through the dialog seam.

// How a node took a request.
enum class NodeAnswer {
    Answered,    // it answered, or took the settings
    Refused,     // it refused the password
    NoAnswer,    // it gave no answer, or the client's error line in its place
    NotWritten,  // the request could not be written; the user has been told
};

// Makes another node the selected one, with its password, while it lives;
// the node and password selected before come back after.
class SelectedNodeSwitch {
public:
    SelectedNodeSwitch(const QString& mac, const QString& password);
    ~SelectedNodeSwitch();
    SelectedNodeSwitch(const SelectedNodeSwitch&) = delete;
    SelectedNodeSwitch& operator=(const SelectedNodeSwitch&) = delete;

private:
    const QString mac_;
    const QString password_;
};

// A read of every parameter of the selected node.
struct SettingsRead {
    NodeAnswer answer = NodeAnswer::NoAnswer;
    QStringList lines;  // the whole response, as answered
    NodeSettings settings;
};
SettingsRead ReadSelectedSettings();

// The answer to a POST of settings to the selected node.
struct PostResult {
    NodeAnswer answer = NodeAnswer::NoAnswer;
    // The node took the settings and left its network (answer 3).
    bool leftNetwork = false;
    // The response's first line: what to show when the node refused.
    QString firstLine;
};

// Sends settings to the selected node in one POST request, the settings after
// the request's two header lines. A node that takes a new network identifier,
// key or encryption may answer 3 instead of 0: it took the change and left
// the network; leavesNetwork counts that as accepted.
PostResult PostToSelected(const QStringList& settings, bool leavesNetwork = false);

// The hardware reset request; false, after telling the user, when it could
// not be written.
bool WriteHardwareResetRequest();
// Runs the written hardware reset and, when the node took it, waits for the
// restart. True when the node took it.
bool RunHardwareReset();
// Steps of the progress of a restart and the pause between two of them.
inline constexpr int kRestartSteps = 12;
inline constexpr int kRestartPauseMs = 1500;
// The fixed wait for a node's restart, the bar moving from step 3 on.
void WaitForRestart();

// How a factory reset ended.
enum class FactoryOutcome { WrongPassword, Refused, Unanswered, Fresh, NotFresh };
// The factory-reset request and the later boot-count query of the selected
// node; false, after telling the user, when either could not be written.
bool WriteFactoryResetRequests(const QString& factoryPassword);
// Runs the written reset and, when the node took it, waits for the restart;
// then asks the node for its boot count when askNode, else counts it as
// started afresh: a remote node that did so no longer shares the network that
// would carry the question.
FactoryOutcome RunFactoryReset(bool askNode);

// A restore's sends to the selected node, each group in one request as its
// update button sends it (a hardware reset after the groups the node takes
// when it starts). A remote node that took a group changing its membership
// has left this computer's network, and the rest cannot reach it; the node
// on the wire stays reachable. After a refused password or a request that
// could not be written nothing more is sent.
struct GroupResult {
    SettingsGroup group;
    NodeAnswer answer = NodeAnswer::NoAnswer;
    QString firstLine;
};
struct RestoreRun {
    QList<GroupResult> results;
    QList<SettingsGroup> notSent;
    // A group took the node out of its network.
    bool leftNetwork = false;
};
RestoreRun RunRestore(const RestorePlan& plan, bool nodeOnWire);
