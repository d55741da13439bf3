#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// A backup of one node's settings: a plain text file, CR LF after every line,
// UTF-8. Six header lines come first:
//
//   Kaldor node backup, format 1
//   MAC: 020A1B000001
//   Alias: Living room
//   Model: KPL-510
//   Firmware: 3.1.7
//   Date: 2026-12-07T05:40:00Z
//
// then an empty line and every KEY=value line the node answered to a read of
// all its parameters, in the node's order. The values are the node's own,
// its key and passwords in the clear, so the file is kept readable by its
// owner only.

inline constexpr int kBackupFormat = 1;
// Far above any node's answer (a few KiB); anything larger is not a backup.
inline constexpr qsizetype kBackupMaxBytes = 1024 * 1024;

// A node's settings as it answered a read of all its parameters: KEY and
// value, in the node's order, each key once.
using NodeSettings = QList<std::pair<QString, QString>>;

// The settings of a response to a read of all parameters: the lines after
// "INFO" that have the KEY=value form, the first of a key where the node
// repeats one.
NodeSettings SettingsFromResponse(const QStringList& responseLines);

// The value of a setting; nothing when the settings do not hold it.
std::optional<QString> SettingValue(const NodeSettings& settings, QStringView key);

struct NodeBackup {
    int format = kBackupFormat;
    QString mac;
    QString alias;
    QString model;
    QString firmware;
    QDateTime saved;  // UTC
    NodeSettings parameters;

    friend bool operator==(const NodeBackup&, const NodeBackup&) = default;
};

// What reading a backup gave: the backup, or the reason it was refused as a
// catalogue key with what its text names (a line number, a key, a format).
struct BackupRead {
    std::optional<NodeBackup> backup;
    QString errorKey;
    QStringList details;
};

// The reason of a refusal in the user's language, for a message box or a
// terminal; empty for a backup that was read.
QString BackupErrorText(const BackupRead& read);

// The backup of a node from the lines of the response to a read of all its
// parameters. Model and firmware come from the node's MODEL and VER.
NodeBackup BackupFromResponse(const QStringList& responseLines, const QString& mac,
                              const QString& alias, const QDateTime& saved);

// The file's text.
QByteArray BackupText(const NodeBackup& backup);

// Reads a backup from a file's bytes, refusing anything that is not one
// whole backup of a known format.
BackupRead ParseBackup(QByteArrayView bytes);

// Reads a backup file; an oversized file is refused without reading it whole.
BackupRead ReadBackupFile(const QString& path);

// Writes the file in one step (a temporary file renamed over it) readable
// and writable by its owner only. A failed write leaves an older file as it
// was.
bool WriteBackupFile(const QString& path, const NodeBackup& backup);
