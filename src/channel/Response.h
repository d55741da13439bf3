#pragma once

#include <QString>

// Readers of the client's response file. Each opens the file anew.

// True when the response begins with the prefix (case-sensitive). A missing
// response is reported to the user and gives false.
bool ResponseStartsWith(const QString& prefix);

// The value of the first "key=value" line; empty, after showing the
// response's first line, when the file or the key is missing.
QString ReadResponseValue(const QString& key);

// The first line of the response, or the text errReceiving when none.
QString ReadResponseFirstLine();

// The alias stored for a MAC address; empty when none. Shows nothing.
QString LookupAlias(const QString& mac);

// How messages and prompts name a node: its alias followed by the MAC in
// parentheses when an alias is stored, the MAC alone otherwise.
QString NodeName(const QString& mac);
