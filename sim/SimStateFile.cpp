#include "SimStateFile.h"

#include <QDir>
#include <QFile>
#include <cstdio>

#include "SimLock.h"

namespace kaldorsim {

namespace {

// Under heavy load a queue of tools can take minutes; a tool that waits too
// long answers with an error instead of hanging.
const int kLockWaitMs = 300000;

// Renames over an existing file; where the platform's rename cannot replace,
// the old file goes first (the lock keeps every other tool away meanwhile).
bool replaceFile(const QString& from, const QString& to) {
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    QFile::remove(to);
    return QFile::rename(from, to);
}

std::optional<Network> readUnlocked(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the network state file %1 (%2)")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return std::nullopt;
    }
    QString problem;
    std::optional<Network> net = networkFromJson(file.readAll(), &problem);
    if (!net)
        *error = QStringLiteral("the network state file %1 is damaged: %2")
                     .arg(QDir::toNativeSeparators(path), problem);
    return net;
}

bool writeUnlocked(const QString& path, const Network& net, QString* error) {
    // A temporary file renamed over the old one: readers see the old or the
    // new network, never half of one. No flush to the disk: the network is a
    // simulation, and a sync on every client run would cost more than the run.
    const QString temporary = path + QStringLiteral(".tmp");
    QFile file(temporary);
    const QByteArray bytes = networkToJson(net);
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    file.close();
    if (written && replaceFile(temporary, path))
        return true;
    *error = QStringLiteral("cannot write the network state file %1 (%2)")
                 .arg(QDir::toNativeSeparators(path), file.errorString());
    QFile::remove(temporary);
    return false;
}

}  // namespace

QString networkFilePath() {
    const QString fromEnvironment = qEnvironmentVariable("KALDOR_SIMNET");
    return fromEnvironment.isEmpty() ? QDir::current().filePath(QStringLiteral("simnet.json"))
                                     : fromEnvironment;
}

std::optional<Network> readNetworkFile(const QString& path, QString* error) {
    StateLock lock;
    if (!lock.acquire(path, kLockWaitMs, error))
        return std::nullopt;
    return readUnlocked(path, error);
}

bool writeNetworkFile(const QString& path, const Network& net, QString* error) {
    StateLock lock;
    return lock.acquire(path, kLockWaitMs, error) && writeUnlocked(path, net, error);
}

bool updateNetworkFile(const QString& path, const NetworkChange& change, QString* error) {
    error->clear();
    StateLock lock;
    if (!lock.acquire(path, kLockWaitMs, error))
        return false;
    std::optional<Network> net = readUnlocked(path, error);
    if (!net)
        return false;
    const bool changed = change(*net, error);
    if (!error->isEmpty())
        return false;
    return !changed || writeUnlocked(path, *net, error);
}

}  // namespace kaldorsim
