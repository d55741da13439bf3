#include "Response.h"

#include <QFile>
#include <QStringList>
#include <utility>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "lang/Catalogue.h"

namespace {

// What the reports alive gather: the keys not found, in the order first
// asked for.
struct Gathered {
    int reports = 0;
    QStringList keys;
};

Gathered& Gathering() {
    static Gathered gathered;
    return gathered;
}

}  // namespace

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
    Gathered& gathered = Gathering();
    if (gathered.reports > 0) {
        if (!gathered.keys.contains(key)) {
            gathered.keys.append(key);
        }
        return QString();
    }
    MsgBox(ReadResponseFirstLine(), MsgIcon::Exclamation, s.errLoadConf);
    return QString();
}

MissingKeysReport::MissingKeysReport() : outermost_(Gathering().reports == 0) {
    ++Gathering().reports;
}

MissingKeysReport::~MissingKeysReport() {
    Gathered& gathered = Gathering();
    --gathered.reports;
    if (!outermost_) {
        return;
    }
    const Gathered told = std::exchange(gathered, Gathered{});
    if (!told.keys.isEmpty()) {
        MsgBox(GetText(QStringLiteral("errMissingParams")) + QLatin1Char(' ') +
                   told.keys.join(QStringLiteral(", ")),
               MsgIcon::Exclamation, Session().errLoadConf);
    }
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
