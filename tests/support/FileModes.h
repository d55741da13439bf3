#pragma once

#include <QFile>

// True when neither the group nor others may read, write or enter the path:
// work files and folders that carry node passwords.
inline bool OwnerOnly(const QString& path) {
    constexpr QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                                QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                                QFileDevice::WriteOther | QFileDevice::ExeOther;
    return QFile::exists(path) && !(QFile::permissions(path) & others);
}
