#pragma once

#include <QRegularExpression>
#include <QStringList>

#include "lang/Catalogue.h"

// Expected texts written with "{key}" for the catalogue text of key, so that
// table rows stay short and follow the catalogue.
inline QString Resolved(QString text) {
    static const QRegularExpression key(QStringLiteral("\\{(\\w+)\\}"));
    qsizetype from = 0;
    for (QRegularExpressionMatch m = key.match(text); m.hasMatch(); m = key.match(text, from)) {
        const QString value = GetText(m.captured(1));
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
