#pragma once

#include <QString>

// Readers of the client's response file. Each opens the file anew.

// True when the response begins with the prefix (case-sensitive). A missing
// response is reported to the user and gives false.
bool ResponseStartsWith(const QString& prefix);

// The value of the first "key=value" line; empty, after showing the
// response's first line, when the file or the key is missing. While a
// MissingKeysReport lives, a missing key is noted for it instead.
QString ReadResponseValue(const QString& key);

// Gathers, while it lives, the keys that the reads of one response lack, and
// then tells the user once: one box, titled as a failed read, lists them and
// says that the window shows what the node did send. A read of all of a
// node's settings would otherwise show one box per missing key. Only the
// outermost of nested reports tells.
class MissingKeysReport {
public:
    MissingKeysReport();
    ~MissingKeysReport();
    MissingKeysReport(const MissingKeysReport&) = delete;
    MissingKeysReport& operator=(const MissingKeysReport&) = delete;
    MissingKeysReport(MissingKeysReport&&) = delete;
    MissingKeysReport& operator=(MissingKeysReport&&) = delete;

private:
    const bool outermost_;
};

// The first line of the response, or the text errReceiving when none.
QString ReadResponseFirstLine();

// The alias stored for a MAC address; empty when none. Shows nothing.
QString LookupAlias(const QString& mac);

// How messages and prompts name a node: its alias followed by the MAC in
// parentheses when an alias is stored, the MAC alone otherwise.
QString NodeName(const QString& mac);
