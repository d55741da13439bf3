#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include "Fixture.h"
#include "lang/Catalogue.h"

// The text of a key in the catalogue that the running fixture's choice file
// names, read here line by line: the first line whose text before its first
// "=" is the key gives everything after that "="; lines end with CR LF or LF.
// A key that is not there reads as "<key missing>", which no window shows.
inline QString FixtureText(const QString& key) {
    const auto lines = [](const QString& path) {
        QFile file(path);
        QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (bytes.startsWith("\xEF\xBB\xBF")) {
            bytes.remove(0, 3);
        }
        return QString::fromUtf8(bytes).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    };
    const QString folder = Fixture::latest->workFile(QStringLiteral("languages/"));
    for (const QString& line : lines(folder + lines(folder + "default.lang").first())) {
        if (line.section(QLatin1Char('='), 0, 0) == key && line.contains(QLatin1Char('='))) {
            return line.section(QLatin1Char('='), 1);
        }
    }
    return QStringLiteral("<%1 missing>").arg(key);
}

// Expected texts written with "{key}" for the catalogue text of key, so that
// table rows stay short and follow the catalogue.
inline QString Resolved(QString text) {
    static const QRegularExpression key(QStringLiteral("\\{(\\w+)\\}"));
    qsizetype from = 0;
    for (QRegularExpressionMatch m = key.match(text); m.hasMatch(); m = key.match(text, from)) {
        const QString value = FixtureText(m.captured(1));
        text.replace(m.capturedStart(), m.capturedLength(), value);
        from = m.capturedStart() + value.size();
    }
    return text;
}

inline QStringList Resolved(QStringList texts) {
    for (QString& text : texts) {
        text = Resolved(text);
    }
    return texts;
}
