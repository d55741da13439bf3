#pragma once

#include <QString>
#include <QStringList>

// Request files for the client: every line ends with CR LF, the first names
// the verb and the node, the second its password. Each writer returns false,
// after telling the user, when the request could not be written: a value
// holding a line break, or a file that cannot be written. The caller then
// abandons the operation before any tool runs.

// Writes the lines as a request file readable by the user alone.
bool WriteRequest(const QString& path, const QStringList& lines);

// "GET <mac>", ".PASSWORD=<password>", then each key up to the "NULL" marker.
bool WriteGetRequest(const QStringList& keys, const QString& mac, const QString& password);

// A GET for every parameter of the selected node.
bool WriteGetAllRequest();

// A POST of one setting line (key=value) to the selected node.
bool WritePostRequest(const QString& setting);

// The two opening lines of a POST to the selected node, for requests that
// carry several settings.
QStringList PostHeader();
