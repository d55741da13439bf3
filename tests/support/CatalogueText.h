#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include "Fixture.h"

// The text of a key in the catalogue that the running fixture's choice file
// names, read here line by line: the first "key=" line gives the rest of the
// line (CR LF or LF ends a line). A key that is not there reads as
// "<key missing>", which no window shows.
inline QString FixtureText(const QString& key) {
    const auto lines = [](const QString& path) {
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return QString::fromUtf8(bytes).remove(QChar(0xFEFF)).remove('\r').split('\n');
    };
    const QString folder = Fixture::latest->workFile("languages/");
    for (const QString& line : lines(folder + lines(folder + "default.lang").first())) {
        if (line.startsWith(key + '=')) {
            return line.mid(key.size() + 1);
        }
    }
    return "<" + key + " missing>";
}

// An expected text with "{key}" for the catalogue text of key.
inline QString Resolved(const QString& text) {
    static const QRegularExpression key("\\{(\\w+)\\}");
    QString out;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& m : key.globalMatch(text)) {
        out += text.mid(from, m.capturedStart() - from) + FixtureText(m.captured(1));
        from = m.capturedEnd();
    }
    return out + text.mid(from);
}

inline QStringList Resolved(QStringList texts) {
    for (QString& text : texts) {
        text = Resolved(text);
    }
    return texts;
}

// A window or page found by its name.
inline QWidget* WindowNamed(const QString& name) {
    const QList<QWidget*> all = AllWindows(W());
    return *std::find_if(all.begin(), all.end(),
                         [&](QWidget* w) { return w->objectName() == name; });
}
