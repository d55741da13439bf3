#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class QIODevice;

// Text of a file written by this program or an older tool: UTF-8 when the
// bytes are valid UTF-8, else Windows-1252.
QString DecodeText(QByteArrayView bytes);

// The key=value rule shared by the catalogue, the response and the alias file:
// empty lines are skipped, each line is cut at its first "=", the key compares
// exactly, the first match wins. Lines may end with CR LF or LF; a byte order
// mark at the start of the file is skipped. Reading stops
// at the match. Nothing when the file cannot be read or no line matches.
std::optional<QString> ReadKeyValue(const QString& path, QStringView key);

// The same rule on an open device, from its current position.
std::optional<QString> ReadKeyValue(QIODevice& device, QStringView key);

// Every line of a file without its line end; nothing when it cannot be read.
std::optional<QStringList> ReadLines(const QString& path);

// Every line of an open device, from its current position.
QStringList ReadLines(QIODevice& device);

// First line of a file without its line end; nothing when it cannot be read.
std::optional<QString> ReadFirstLine(const QString& path);

enum class FileAccess { Shared, OwnerOnly };

// Writes the lines, each ended by CR LF, replacing the file. OwnerOnly creates
// the file readable and writable by the user alone (files that hold passwords).
bool WriteLines(const QString& path, const QStringList& lines,
                FileAccess access = FileAccess::Shared);

// Writes through a temporary file renamed over the old one, so the file is
// always either the old or the new content, never half written.
bool ReplaceFileLines(const QString& path, const QStringList& lines);
// OwnerOnly makes the temporary file private before the first byte reaches
// it; the rename carries its mode over to the file.
bool ReplaceFileBytes(const QString& path, const QByteArray& bytes,
                      FileAccess access = FileAccess::Shared);

// Every line of the text, CR LF or LF, without its line end.
QStringList SplitLines(QByteArrayView text);

// True when a value holds a character that would break a request line.
bool HasLineBreak(QStringView value);
