#include "SimRequestLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace kaldorsim {

namespace {

QString cannot(const char* what, const QString& path, const QFile& file) {
    return QStringLiteral("cannot %1 the request log %2 (%3)")
        .arg(QLatin1String(what), QDir::toNativeSeparators(path), file.errorString());
}

std::optional<LoggedRequest> recordFromLine(const QByteArray& line) {
    const QJsonObject o = QJsonDocument::fromJson(line).object();
    const QJsonValue time = o.value(QStringLiteral("time"));
    const auto bytes =
        QByteArray::fromBase64Encoding(o.value(QStringLiteral("bytes")).toString().toLatin1(),
                                       QByteArray::AbortOnBase64DecodingErrors);
    if (!time.isDouble() || !o.value(QStringLiteral("tool")).isString() ||
        !o.value(QStringLiteral("file")).isString() || !bytes)
        return std::nullopt;
    return LoggedRequest{qint64(time.toDouble()), o.value(QStringLiteral("tool")).toString(),
                         o.value(QStringLiteral("file")).toString(), *bytes};
}

}  // namespace

std::optional<QList<LoggedRequest>> readRequestLog(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = cannot("read", path, file);
        return std::nullopt;
    }
    QList<LoggedRequest> records;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (lines.at(i).isEmpty())
            continue;
        const std::optional<LoggedRequest> record = recordFromLine(lines.at(i));
        if (!record) {
            *error = QStringLiteral("line %1 of the request log %2 is not a record")
                         .arg(i + 1)
                         .arg(QDir::toNativeSeparators(path));
            return std::nullopt;
        }
        records << *record;
    }
    return records;
}

QString requestLogPath(const Network& net, const QString& statePath) {
    if (net.requestLog.isEmpty())
        return {};
    return QFileInfo(statePath).absoluteDir().filePath(net.requestLog);
}

bool setRequestLog(Network& net, const QString& statePath, const QString& log, QString* error) {
    net.requestLog = log == QStringLiteral("off") ? QString() : log;
    const QString path = requestLogPath(net, statePath);
    QFile file(path);
    if (path.isEmpty() || file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    *error = cannot("start", path, file);
    return false;
}

bool appendRequestLog(const Network& net, const QString& statePath, const LoggedRequest& request,
                      QString* error) {
    const QString path = requestLogPath(net, statePath);
    if (path.isEmpty())
        return true;
    const QJsonObject record{
        {QStringLiteral("time"), double(request.timeMs)},
        {QStringLiteral("tool"), request.tool},
        {QStringLiteral("file"), request.file},
        {QStringLiteral("bytes"), QString::fromLatin1(request.bytes.toBase64())}};
    const QByteArray line = QJsonDocument(record).toJson(QJsonDocument::Compact) + '\n';
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append) && file.write(line) == line.size())
        return true;
    *error = cannot("write", path, file);
    return false;
}

}  // namespace kaldorsim
