#include "Alias.h"

#include <QDir>
#include <QFile>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "lang/Catalogue.h"

bool SaveAlias(const QString& mac, const QString& alias) {
    const QString& path = Session().AliasFile;
    if (HasLineBreak(mac) || HasLineBreak(alias)) {
        MsgBox(LineBreakText(), MsgIcon::Exclamation);
        return false;
    }
    QFile file(path);
    const QByteArray old = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    const QString entry = mac + QLatin1Char('=') + alias;
    bool matched = false;
    QStringList kept;
    for (const QString& line : SplitLines(old)) {
        if (line.isEmpty()) {
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        // A line without "=" is no entry; it is kept as it stands.
        const bool same = eq >= 0 && QStringView(line).first(eq) == mac;
        kept.append(same ? entry : line);
        matched = matched || same;
    }
    // A new MAC is added after the old content, which stays as it was.
    QByteArray added = old;
    if (!added.isEmpty() && !added.endsWith('\n')) {
        added += "\r\n";
    }
    added += entry.toUtf8() + "\r\n";
    const bool written = matched ? ReplaceFileLines(path, kept) : ReplaceFileBytes(path, added);
    if (!written) {
        MsgBox(WriteFailedText(QDir::toNativeSeparators(path)), MsgIcon::Exclamation);
    }
    return written;
}
