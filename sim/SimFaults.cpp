#include "SimFaults.h"

#include <QRandomGenerator>
#include <QStringList>

namespace kaldorsim {

namespace {

// Binary noise that is the same on every run, so a failing test repeats.
QByteArray noise() {
    QRandomGenerator generator(0x4B414C44);
    QByteArray bytes(4096, '\0');
    for (char& c : bytes)
        c = char(generator.bounded(256));
    bytes[0] = char(0xFE);  // never a status the assistant would accept
    return bytes;
}

// Inserts `extra` at the end of the first line, before its line end.
QByteArray intoFirstLine(QByteArray bytes, const QByteArray& extra) {
    qsizetype end = bytes.indexOf("\r\n");
    if (end < 0)
        end = bytes.size();
    return bytes.insert(end, extra);
}

// Filler lines after the proper answer until the file reaches `megabytes`.
QByteArray padded(QByteArray bytes, int megabytes) {
    const qsizetype target = qsizetype(megabytes) * 1024 * 1024;
    bytes.reserve(target + 128);
    for (int i = 0; bytes.size() < target; ++i)
        bytes +=
            QByteArray("FILLER_") + QByteArray::number(i) + '=' + QByteArray(100, 'x') + "\r\n";
    return bytes;
}

}  // namespace

ToolOutput shapeOutput(const QByteArray& proper, const Faults& faults) {
    ToolOutput out;
    out.bytes = faults.garbage ? noise() : proper;
    if (faults.nulByte)
        out.bytes = intoFirstLine(out.bytes, QByteArray(1, '\0'));
    if (faults.invalidUtf8)
        out.bytes = intoFirstLine(out.bytes, "\xC3\x28\xFF\xFE");
    if (faults.hugeMb > 0)
        out.bytes = padded(out.bytes, faults.hugeMb);
    if (faults.truncateAt >= 0 && faults.truncateAt < out.bytes.size())
        out.bytes.truncate(faults.truncateAt);
    out.writeFile = !faults.noResponse;
    out.delayMs = faults.delayMs;
    return out;
}

QByteArray crlfText(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

}  // namespace kaldorsim
