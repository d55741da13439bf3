#include "SimLock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#else
#include <QLockFile>
#endif

namespace kaldorsim {

namespace {

// Short random pauses keep a queue of tools moving without a stampede.
void pause() {
    QThread::msleep(ulong(QRandomGenerator::global()->bounded(1, 6)));
}

QString lockedText(const QString& path) {
    return QString("the network state file %1 stays locked by another program")
        .arg(QDir::toNativeSeparators(path));
}

QString cannotCreateText(const QString& path) {
    return QString("cannot create the lock file %1.lock").arg(QDir::toNativeSeparators(path));
}

}  // namespace

#ifdef Q_OS_UNIX

// An advisory lock on a lock file that is never removed: removing it could
// let two tools lock two different files of the same name.
struct StateLock::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0)
            ::close(fd);
    }
};

bool StateLock::acquire(const QString& path, int waitMs, QString* error) {
    handle = std::make_unique<Handle>();
    handle->fd =
        ::open(QFile::encodeName(path + ".lock").constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (handle->fd < 0) {
        *error = cannotCreateText(path);
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (::flock(handle->fd, LOCK_EX | LOCK_NB) != 0) {
        if (waited.elapsed() > waitMs) {
            *error = lockedText(path);
            return false;
        }
        pause();
    }
    return true;
}

#else

struct StateLock::Handle {
    explicit Handle(const QString& name) : file(name) {}
    QLockFile file;
};

bool StateLock::acquire(const QString& path, int waitMs, QString* error) {
    handle = std::make_unique<Handle>(path + ".lock");
    // The lock of a tool that died is taken over at once, never a live one.
    handle->file.setStaleLockTime(0);
    QElapsedTimer waited;
    waited.start();
    while (!handle->file.tryLock(0)) {
        if (handle->file.error() != QLockFile::LockFailedError) {
            *error = cannotCreateText(path);
            return false;
        }
        if (waited.elapsed() > waitMs) {
            *error = lockedText(path);
            return false;
        }
        pause();
    }
    return true;
}

#endif

StateLock::StateLock() = default;
StateLock::~StateLock() = default;

}  // namespace kaldorsim
