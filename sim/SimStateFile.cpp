#include "SimStateFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QThread>

namespace kaldorsim {

namespace {

// Under heavy load a queue of tools can take minutes; a tool that waits too
// long answers with an error instead of hanging.
const int kLockWaitMs = 300000;

bool lockFailed(const QLockFile& lock, const QString& path, QString* error) {
    const QString native = QDir::toNativeSeparators(path);
    *error = lock.error() == QLockFile::LockFailedError
                 ? QString("the network state file %1 stays locked by another program").arg(native)
                 : QString("cannot create the lock file %1.lock").arg(native);
    return false;
}

// Polls in short random steps: QLockFile's own wait doubles its pauses up to
// seconds, which makes a queue of tools crawl.
bool lockFor(QLockFile& lock, const QString& path, QString* error) {
    // Never take a lock from a live tool, however slow; the lock of a tool
    // that died is taken over at once.
    lock.setStaleLockTime(0);
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || waited.elapsed() > kLockWaitMs)
            return lockFailed(lock, path, error);
        QThread::msleep(ulong(QRandomGenerator::global()->bounded(2, 12)));
    }
    return true;
}

std::optional<Network> readUnlocked(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QString("cannot read the network state file %1 (%2)")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return std::nullopt;
    }
    QString problem;
    std::optional<Network> net = networkFromJson(file.readAll(), &problem);
    if (!net)
        *error = QString("the network state file %1 is damaged: %2")
                     .arg(QDir::toNativeSeparators(path), problem);
    return net;
}

bool writeUnlocked(const QString& path, const Network& net, QString* error) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(networkToJson(net)) >= 0 && file.commit())
        return true;
    *error = QString("cannot write the network state file %1 (%2)")
                 .arg(QDir::toNativeSeparators(path), file.errorString());
    return false;
}

}  // namespace

QString networkFilePath() {
    const QString fromEnvironment = qEnvironmentVariable("KALDOR_SIMNET");
    return fromEnvironment.isEmpty() ? QDir::current().filePath("simnet.json") : fromEnvironment;
}

std::optional<Network> readNetworkFile(const QString& path, QString* error) {
    QLockFile lock(path + ".lock");
    if (!lockFor(lock, path, error))
        return std::nullopt;
    return readUnlocked(path, error);
}

bool writeNetworkFile(const QString& path, const Network& net, QString* error) {
    QLockFile lock(path + ".lock");
    return lockFor(lock, path, error) && writeUnlocked(path, net, error);
}

bool updateNetworkFile(const QString& path, const NetworkChange& change, QString* error) {
    error->clear();
    QLockFile lock(path + ".lock");
    if (!lockFor(lock, path, error))
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
