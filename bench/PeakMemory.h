#pragma once

// The largest resident memory this process has used so far, in KiB.
long PeakMemoryKiB();
