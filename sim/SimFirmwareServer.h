#pragma once

// The layer-2 firmware server: checks a firmware image, then serves it on one
// host interface for a bounded time to a node that asks for it there (after
// FLUP_L2_OK=Ok) or to a node in loader mode on that cable.

#include <QString>
#include <QStringList>

namespace kaldorsim {

// The result codes of winl2fwserver.tmp.
enum class ServerCode {
    Success = 0,
    FileMissing = 1,
    FileUnreadable = 2,
    BadMagic = 3,
    BadCrc = 4,
    Truncated = 5,
    WrongModel = 6,
    NoTaker = 7,
    Interrupted = 8,
    NoInterface = 9,
};

struct ServerOutcome {
    ServerCode code = ServerCode::Success;
    QString text;  // what happened, for people
};

// `arguments`: the firmware file and the interface number. Works on the
// network state file (see networkFilePath) and sleeps while it serves.
ServerOutcome serveFirmware(const QStringList& arguments);

}  // namespace kaldorsim
