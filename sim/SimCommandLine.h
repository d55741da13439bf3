#pragma once

// kaldor-sim: create, show and change a simulated network from the shell.

#include <QStringList>
#include <QTextStream>

namespace kaldorsim {

// `arguments` without the program name. Returns the process exit code.
int runSimCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace kaldorsim
