#pragma once

// The lock that every tool run holds on the network state file. It belongs to
// the process: when a tool dies, the system releases its lock at once, so a
// crashed tool never blocks the next one.

#include <QString>
#include <memory>

namespace kaldorsim {

class StateLock {
public:
    StateLock();
    // Locks `path`.lock, waiting while another tool holds it; false (and the
    // reason in `error`) when the lock cannot be had within `waitMs`.
    bool acquire(const QString& path, int waitMs, QString* error);
    ~StateLock();

private:
    struct Handle;
    std::unique_ptr<Handle> handle;
};

}  // namespace kaldorsim
