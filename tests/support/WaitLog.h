#pragma once

#include <QStringList>

// What the user sees in the status window while the program pauses: every
// fixed wait from Record() on, as "ms|status message|bar".
namespace WaitLog {
extern QStringList waits;
void Record();
}  // namespace WaitLog
