#pragma once

#include <QList>

// DiscoverNodes on generated networks against the same tool runs done bare,
// and the time of one client run of the simulator.
void RunDiscoveryBench(const QList<int>& sizes, int rounds);

// Peak memory of a bare window, of the assistant at its welcome page and
// after discovering a generated network of `nodes` nodes, each measured in a
// child process of its own.
void RunMemoryBench(int nodes);

// The child side of RunMemoryBench: does what `state` names and prints
// "peak-kib <n>". Returns the process's exit code.
int ReportPeakMemory(const QString& state, int nodes);
