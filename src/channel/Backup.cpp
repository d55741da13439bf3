#include "Backup.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>

#include "app/TextFiles.h"
#include "lang/Catalogue.h"

namespace {

const QString kSignature = QStringLiteral("Kaldor node backup, format ");
// The header lines after the signature, in their order.
const QString kMacLine = QStringLiteral("MAC");
const QString kAliasLine = QStringLiteral("Alias");
const QString kModelLine = QStringLiteral("Model");
const QString kFirmwareLine = QStringLiteral("Firmware");
const QString kDateLine = QStringLiteral("Date");
constexpr int kHeaderLines = 6;

// The reasons a file is refused, with the English text that older catalogues
// fall back to.
struct Reason {
    const char* key;
    const char* fallback;
};
constexpr Reason kReasons[] = {
    {"errBackupUnreadable", "The file %1 could not be read."},
    {"errBackupEmpty", "The backup file is empty."},
    {"errBackupTooLarge",
     "The file is larger than 1 MiB, far more than a node's settings: it is not a backup."},
    {"errBackupBinary", "The file is not a text file: it is not a backup of a node's settings."},
    {"errBackupNotBackup",
     "The file is not a backup of a node's settings: its first line is not that of a backup."},
    {"errBackupFormat",
     "The backup file was written in format %1, which this version of the program cannot read."},
    {"errBackupTruncated",
     "The backup file ends before its header and its settings are complete; it may have been "
     "cut short."},
    {"errBackupHeader", "Line %1 of the backup file is not a valid %2 header line."},
    {"errBackupLineBreak", "Line %1 of the backup file holds a line break inside a setting."},
    {"errBackupNoEquals", "Line %1 of the backup file is not of the form KEY=value."},
    {"errBackupDuplicate", "The setting %1 appears more than once in the backup file (line %2)."},
};

BackupRead Refused(const char* key, const QStringList& details = {}) {
    return {std::nullopt, QLatin1String(key), details};
}

// A header line's value when the line is "Name: value" ("Name:" for an empty
// value, as an editor that trims lines leaves it).
std::optional<QString> HeaderValue(QStringView line, const QString& name) {
    if (!line.startsWith(name) || !line.sliced(name.size()).startsWith(u':')) {
        return std::nullopt;
    }
    return line.sliced(name.size() + 1).trimmed().toString();
}

// A header value never breaks the file's lines.
QString OneLine(QString value) {
    return value.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), u' ');
}

// A KEY=value line: the key is the text before the first "=" and not empty.
std::optional<std::pair<QString, QString>> Setting(const QString& line) {
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals <= 0) {
        return std::nullopt;
    }
    return std::pair{line.first(equals), line.sliced(equals + 1)};
}

bool OnlyWhiteSpace(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

}  // namespace

std::optional<QString> SettingValue(const NodeSettings& settings, QStringView key) {
    for (const auto& [k, v] : settings) {
        if (k == key) {
            return v;
        }
    }
    return std::nullopt;
}

QString BackupErrorText(const BackupRead& read) {
    const QStringList& details = read.details;
    for (const Reason& reason : kReasons) {
        if (read.errorKey == QLatin1String(reason.key)) {
            const QString text = GetTextOr(read.errorKey, QLatin1String(reason.fallback));
            // Both at once, so that a "%2" inside a key stays as it is.
            if (details.size() >= 2) {
                return text.arg(details[0], details[1]);
            }
            return details.isEmpty() ? text : text.arg(details[0]);
        }
    }
    return QString();
}

NodeSettings SettingsFromResponse(const QStringList& responseLines) {
    NodeSettings settings;
    QSet<QString> keys;
    for (qsizetype i = responseLines.value(0) == QLatin1String("INFO") ? 1 : 0;
         i < responseLines.size(); ++i) {
        const QString& line = responseLines[i];
        const auto setting = Setting(line);
        if (setting && !HasLineBreak(line) && !keys.contains(setting->first)) {
            keys.insert(setting->first);
            settings.append(*setting);
        }
    }
    return settings;
}

NodeBackup BackupFromResponse(const QStringList& responseLines, const QString& mac,
                              const QString& alias, const QDateTime& saved) {
    NodeBackup backup;
    backup.mac = mac;
    backup.alias = alias;
    backup.saved = saved.toUTC();
    backup.parameters = SettingsFromResponse(responseLines);
    backup.model = SettingValue(backup.parameters, u"MODEL").value_or(QString());
    backup.firmware = SettingValue(backup.parameters, u"VER").value_or(QString());
    return backup;
}

QByteArray BackupText(const NodeBackup& backup) {
    QStringList lines{
        kSignature + QString::number(backup.format),
        kMacLine + QStringLiteral(": ") + OneLine(backup.mac),
        kAliasLine + QStringLiteral(": ") + OneLine(backup.alias),
        kModelLine + QStringLiteral(": ") + OneLine(backup.model),
        kFirmwareLine + QStringLiteral(": ") + OneLine(backup.firmware),
        kDateLine + QStringLiteral(": ") + backup.saved.toUTC().toString(Qt::ISODate),
        QString(),
    };
    for (const auto& [key, value] : backup.parameters) {
        lines.append(key + QLatin1Char('=') + value);
    }
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

namespace {

// The lines of a decoded file without their ends: LF or CR LF as this
// program writes them, a byte order mark an editor may add skipped. A CR
// anywhere else stays in its line, for the reader to refuse.
QStringList FileLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    if (!lines.isEmpty() && lines.first().startsWith(QChar(0xFEFF))) {
        lines.first().remove(0, 1);
    }
    return lines;
}

// The header's fields into the backup; the refusal when the header is not
// whole and valid.
std::optional<BackupRead> ReadHeader(const QStringList& lines, NodeBackup& backup) {
    const QString& first = lines.value(0);
    if (!first.startsWith(kSignature)) {
        return Refused("errBackupNotBackup");
    }
    const QString format = first.sliced(kSignature.size());
    if (format != QString::number(kBackupFormat)) {
        // A long or broken text there is shown cut short, on one line.
        return Refused("errBackupFormat",
                       {OneLine(format.first(std::min<qsizetype>(format.size(), 16)))});
    }
    if (lines.size() < kHeaderLines) {
        return Refused("errBackupTruncated");
    }
    const std::pair<QString*, const QString*> header[] = {{&backup.mac, &kMacLine},
                                                          {&backup.alias, &kAliasLine},
                                                          {&backup.model, &kModelLine},
                                                          {&backup.firmware, &kFirmwareLine}};
    int number = 1;
    for (const auto& [field, name] : header) {
        ++number;
        const auto value = HeaderValue(lines[number - 1], *name);
        if (!value || HasLineBreak(*value)) {
            return Refused("errBackupHeader", {QString::number(number), *name});
        }
        *field = *value;
    }
    const auto date = HeaderValue(lines[kHeaderLines - 1], kDateLine);
    // The file holds whole seconds in UTC, in the years an ISO date can write.
    QDateTime saved = date ? QDateTime::fromString(*date, Qt::ISODate).toUTC() : QDateTime();
    saved = saved.addMSecs(-saved.time().msec());
    if (!saved.isValid() || saved.date().year() < 1 || saved.date().year() > 9999) {
        return Refused("errBackupHeader", {QString::number(kHeaderLines), kDateLine});
    }
    backup.saved = saved;
    return std::nullopt;
}

// The KEY=value lines after the header into the backup; the refusal of the
// first bad line, or of a file without settings.
std::optional<BackupRead> ReadSettings(const QStringList& lines, NodeBackup& backup) {
    QSet<QString> keys;
    for (qsizetype i = kHeaderLines; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const QString where = QString::number(i + 1);
        if (line.isEmpty()) {
            continue;
        }
        if (HasLineBreak(line)) {
            return Refused("errBackupLineBreak", {where});
        }
        const auto setting = Setting(line);
        if (!setting) {
            return Refused("errBackupNoEquals", {where});
        }
        if (keys.contains(setting->first)) {
            return Refused("errBackupDuplicate", {setting->first, where});
        }
        keys.insert(setting->first);
        backup.parameters.append(*setting);
    }
    if (backup.parameters.isEmpty()) {
        return Refused("errBackupTruncated");
    }
    return std::nullopt;
}

}  // namespace

BackupRead ParseBackup(QByteArrayView bytes) {
    if (bytes.size() > kBackupMaxBytes) {
        return Refused("errBackupTooLarge");
    }
    if (OnlyWhiteSpace(bytes)) {
        return Refused("errBackupEmpty");
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || bytes.contains('\0')) {
        return Refused("errBackupBinary");
    }
    const QStringList lines = FileLines(text);
    NodeBackup backup;
    if (auto refused = ReadHeader(lines, backup)) {
        return *refused;
    }
    if (auto refused = ReadSettings(lines, backup)) {
        return *refused;
    }
    return {backup, QString(), {}};
}

BackupRead ReadBackupFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Refused("errBackupUnreadable", {path});
    }
    // One byte past the limit tells an oversized file without reading it all.
    return ParseBackup(file.read(kBackupMaxBytes + 1));
}

bool WriteBackupFile(const QString& path, const NodeBackup& backup) {
    return ReplaceFileBytes(path, BackupText(backup), FileAccess::OwnerOnly);
}
