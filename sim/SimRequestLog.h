#pragma once

// The request log: every request the tools receive, in the order they take
// the state file's lock, so that a test can check what the assistant sent and
// in which order. One JSON object per line, the request's bytes in base64, so
// that a record never spans lines whatever the request holds.

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

#include "SimNetwork.h"

namespace kaldorsim {

struct LoggedRequest {
    qint64 timeMs = 0;  // the simulator's clock when the tool received the request
    QString tool;       // "ihcp_client.exe", "MacDiscover.exe" or "winl2fwserver.exe"
    QString file;       // the request file's base name; empty for a tool without one
    QByteArray bytes;   // the request file's bytes, or the arguments joined by a blank
};

// The log as the tools wrote it, oldest first; nothing when unreadable.
std::optional<QList<LoggedRequest>> readRequestLog(const QString& path, QString* error);

// The log file of the network in `statePath`, or empty when it logs nothing.
QString requestLogPath(const Network& net, const QString& statePath);

// Points the network's log at `log` ("off": none) and starts it empty.
bool setRequestLog(Network& net, const QString& statePath, const QString& log, QString* error);

// Appends one record when the network keeps a log; the caller holds the
// state file's lock, so records never interleave.
bool appendRequestLog(const Network& net, const QString& statePath, const LoggedRequest& request,
                      QString* error);

}  // namespace kaldorsim
