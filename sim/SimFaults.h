#pragma once

// Turns a tool's proper output into the bad output its fault knobs ask for.

#include <QByteArray>

#include "SimNetwork.h"

namespace kaldorsim {

struct ToolOutput {
    QByteArray bytes;       // content of the result file
    bool writeFile = true;  // false: the tool leaves no result file
    int delayMs = 0;        // real time the tool waits before writing it
};

ToolOutput shapeOutput(const QByteArray& proper, const Faults& faults);

// Lines joined with CR LF, the last one included, in UTF-8.
QByteArray crlfText(const QStringList& lines);

}  // namespace kaldorsim
