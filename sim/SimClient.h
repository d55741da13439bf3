#pragma once

// The client's side of one request: read the request file's text, address the
// node through the host interface, let the node answer, and produce the text
// of the response file. Pure: no files, no clock, no sleeping.

#include <QByteArray>
#include <QString>
#include <optional>

#include "SimFaults.h"
#include "SimNetwork.h"
#include "SimSettings.h"

namespace kaldorsim {

struct Request {
    bool post = false;
    QString mac;
    bool factoryReset = false;  // line 2 was ".FACTORY_PASSWORD="
    QString password;
    QStringList keys;       // GET: the asked keys, none for every parameter
    SettingLines settings;  // POST: key and value of each line
};

// Reads a request file's bytes (CR LF or LF lines, UTF-8 or else Latin-1).
std::optional<Request> parseRequest(const QByteArray& bytes, QString* error);

// "eth1" gives 1 when the host has that interface.
std::optional<int> interfaceIndex(const Network& net, const QString& name);

struct ClientAnswer {
    ToolOutput output;
    bool stateChanged = false;  // the node changed: the state must be saved
};

// Answers the request `requestBytes`, sent through host interface
// `interfaceName` at real time `nowMs`; changes `net` as the node would.
ClientAnswer answerRequest(Network& net, const QByteArray& requestBytes,
                           const QString& interfaceName, qint64 nowMs);

// The response the client writes when it cannot do its job at all.
QByteArray errorResponse(const QString& text);

}  // namespace kaldorsim
