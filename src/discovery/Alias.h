#pragma once

#include <QString>

// Stores or replaces the alias of a MAC address in the alias file. A new
// MAC is appended; a known one is replaced and the file rewritten without its
// empty lines. Every write goes through a temporary file renamed over the old
// one, so the file is never left half written. False, after telling the user,
// when the file could not be written.
bool SaveAlias(const QString& mac, const QString& alias);
