#include <fstream>
#include <string>

#include "PeakMemory.h"

// The kernel's high-water mark of this process's resident memory. Unlike
// getrusage's maximum it starts afresh at exec, so a child does not inherit
// the figure of the process that started it.
long PeakMemoryKiB() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmHWM:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return 0;
}
