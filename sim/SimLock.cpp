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

#ifdef Q_OS_UNIX

// An advisory lock on a lock file that is never removed: removing it could
// let two tools lock two different files of the same name.
struct StateLock::Handle {
    explicit Handle(const QString& name)
        : fd(::open(QFile::encodeName(name).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {}
    ~Handle() {
        if (fd >= 0)
            ::close(fd);
    }
    bool usable() const { return fd >= 0; }
    bool tryLock() { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }
    int fd;
};

#else

struct StateLock::Handle {
    // The lock of a tool that died is taken over at once, never a live one.
    explicit Handle(const QString& name) : file(name) { file.setStaleLockTime(0); }
    bool usable() const { return file.error() != QLockFile::PermissionError; }
    bool tryLock() { return file.tryLock(0); }
    QLockFile file;
};

#endif

StateLock::StateLock() = default;
StateLock::~StateLock() = default;

bool StateLock::acquire(const QString& path, int waitMs, QString* error) {
    const QString native = QDir::toNativeSeparators(path);
    handle = std::make_unique<Handle>(path + QLatin1String(".lock"));
    QElapsedTimer waited;
    waited.start();
    while (handle->usable() && !handle->tryLock()) {
        if (waited.elapsed() > waitMs) {
            *error = QStringLiteral("the network state file %1 stays locked by another program")
                         .arg(native);
            return false;
        }
        // Short random pauses keep a queue of tools moving without a stampede.
        QThread::msleep(ulong(QRandomGenerator::global()->bounded(1, 6)));
    }
    if (handle->usable())
        return true;
    *error = QStringLiteral("cannot create the lock file %1.lock").arg(native);
    return false;
}

}  // namespace kaldorsim
