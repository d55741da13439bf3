#include "Response.h"

#include <QFile>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"

bool ResponseStartsWith(const QString& prefix) {
    const SessionState& s = Session();
    if (!FileExists(s.ResponseFile)) {
        MsgBox(s.errReceiving, MsgIcon::Exclamation);
        return false;
    }
    QFile file(s.ResponseFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray expected = prefix.toUtf8();
    return file.read(expected.size()) == expected;
}

QString ReadResponseValue(const QString& key) {
    const SessionState& s = Session();
    if (FileExists(s.ResponseFile)) {
        if (std::optional<QString> value = ReadKeyValue(s.ResponseFile, key)) {
            return *std::move(value);
        }
    }
    MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errLoadConf);
    return QString();
}

QString ReadResponseFirstLine() {
    const SessionState& s = Session();
    if (!FileExists(s.ResponseFile)) {
        return s.errReceiving;
    }
    return ReadFirstLine(s.ResponseFile).value_or(QString());
}

QString LookupAlias(const QString& mac) {
    const QString& file = Session().AliasFile;
    if (mac.isEmpty() || !FileExists(file)) {
        return QString();
    }
    return ReadKeyValue(file, mac).value_or(QString());
}

QString NodeName(const QString& mac) {
    const QString alias = LookupAlias(mac).trimmed();
    return alias.isEmpty() ? mac : alias + QStringLiteral(" (") + mac + QLatin1Char(')');
}
