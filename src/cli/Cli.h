#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>

// Exit codes of kaldor-cli, as the manual page lists them.
enum ExitCode {
    kExitOk = 0,
    kExitFailed = 1,         // the operation failed, or differences remain or were found
    kExitBadInput = 2,       // usage, malformed file, unknown key, value not offered, other model
    kExitRefused = 3,        // the node refused the password
    kExitNoAnswer = 4,       // the node did not answer
    kExitNoNode = 5,         // no local node, or a tool could not start
    kExitInterrupted = 130,  // ended by an interrupt or a termination signal
};

struct Options {
    QString command;
    QStringList args;
    QString startDir;  // the folder the command line was started in
    QString work;      // --work
    std::optional<int> interfaceNumber;
    std::optional<QString> password;
    std::optional<QString> factoryPassword;
    bool json = false;
    bool yes = false;
    bool dryRun = false;
    bool showSecrets = false;
    bool help = false;
};

// How a command ended: its exit code, the one-line reason of a failure (empty
// when already told, or on success), and the JSON document of --json.
struct Result {
    int code = kExitOk;
    QString error;
    QJsonObject json;
};

inline Result Failure(int code, const QString& error) {
    return {code, error, {}};
}

// The program's and each command's help; empty for an unknown command.
QString ProgramHelp();
QString CommandHelp(const QString& command);
bool IsCommand(const QString& command);

// Runs the command in the work folder, which is current.
Result RunCommand(const Options& options);
