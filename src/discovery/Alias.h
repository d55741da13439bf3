#pragma once

#include <QString>

// Stores or replaces the alias of a MAC address in the alias file. A new
// MAC is appended; a known one is replaced by rewriting the file, through a
// temporary file so that the file is never left half written. False, after
// telling the user, when the file could not be written.
bool SaveAlias(const QString& mac, const QString& alias);
