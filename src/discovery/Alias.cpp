#include "Alias.h"

#include <QDir>
#include <QFile>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "lang/Catalogue.h"

static bool AppendLine(const QString& path, const QString& line) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite)) {
        return false;
    }
    QByteArray bytes = line.toUtf8() + "\r\n";
    // A last line without its line end must not run into the new one.
    if (file.size() > 0 && file.seek(file.size() - 1) && file.read(1) != "\n") {
        bytes.prepend("\r\n");
    }
    return file.seek(file.size()) && file.write(bytes) == bytes.size() && file.flush();
}

bool SaveAlias(const QString& mac, const QString& alias) {
    const QString& path = Session().AliasFile;
    if (HasLineBreak(mac) || HasLineBreak(alias)) {
        MsgBox(LineBreakText(), MsgIcon::Exclamation);
        return false;
    }
    QStringList lines = ReadLines(path).value_or(QStringList());
    bool matched = false;
    QStringList kept;
    for (const QString& line : std::as_const(lines)) {
        if (line.isEmpty()) {
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        // A line without "=" is no entry; it is kept as it stands.
        if (eq >= 0 && QStringView(line).first(eq) == mac) {
            kept.append(mac + QLatin1Char('=') + alias);
            matched = true;
        } else {
            kept.append(line);
        }
    }
    const bool written =
        matched ? ReplaceFileLines(path, kept) : AppendLine(path, mac + QLatin1Char('=') + alias);
    if (!written) {
        MsgBox(WriteFailedText(QDir::toNativeSeparators(path)), MsgIcon::Exclamation);
    }
    return written;
}
