// The backup file reader: any bytes give a backup or a reason, never both, and
// a backup it accepts is written back to a file it reads as the same backup.
#include "FuzzCheck.h"
#include "channel/Backup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const BackupRead read = ParseBackup(InputBytes(data, size));
    Require(read.backup.has_value() == read.errorKey.isEmpty(),
            "a file is either read or refused with a reason");
    if (!read.backup) {
        return 0;
    }
    Require(!read.backup->parameters.isEmpty(), "a backup holds settings");
    const BackupRead again = ParseBackup(BackupText(*read.backup));
    Require(again.backup == read.backup, "a backup written out reads back the same");
    return 0;
}
