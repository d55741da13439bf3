#pragma once

#include <QString>

// Exit code reported for a tool that could not be started.
inline constexpr int kToolNotStarted = -1;
// Exit code reported for a tool that crashed or was killed.
inline constexpr int kToolCrashed = -2;

// Runs a command line (program and arguments, quotes keep blanks in one
// argument; no shell) in the work folder and returns its exit code once the
// process ends. The windows keep repainting meanwhile. A program that cannot
// be started is reported to the user and gives kToolNotStarted; one that
// crashed gives kToolCrashed.
int RunAndWait(const QString& commandLine);

// Starts the server, waits 5000 ms, starts the client, returns the server's
// exit code once both have ended.
int RunServerAndClientAndWait(const QString& serverCommandLine, const QString& clientCommandLine);

// "ihcp_client.exe "<request file>" -i eth<InterfaceNumber>".
QString ClientCommandLine(const QString& requestFile);

// One client run: the old response is deleted first, so that a missing
// response always means this run produced none.
void RunClient(const QString& requestFile);

// Deletes the response file when present.
void DeleteResponse();

// Where a bare tool name is found: the work folder first, then the PATH.
QString FindTool(const QString& program);

// Kills the tools that are still running; the program is ending.
void StopRunningTools();

// Told of every tool about to start, with its program name as the command
// line gives it; tests record what the user sees while each tool runs.
void ObserveToolRuns(void (*observer)(const QString& program));
