// The key=value reader shared by the catalogue, the response and the alias
// file, fed through the same line reader the files use, and checked against
// the plain split of the whole text.
#include <QBuffer>

#include "FuzzCheck.h"
#include "app/TextFiles.h"

namespace {

std::optional<QString> ValueInBuffer(const QByteArray& bytes, const QString& key) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadKeyValue(buffer, key);
}

// The first line whose text before its first "=" is the key. Only ASCII keys
// are asked, so comparing decoded text matches comparing bytes.
std::optional<QString> ValueInLines(const QStringList& lines, const QString& key) {
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq >= 0 && QStringView(line).first(eq) == key) {
            return line.sliced(eq + 1);
        }
    }
    return std::nullopt;
}

bool IsAscii(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = InputBytes(data, size);
    const QStringList lines = SplitLines(bytes);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Require(ReadLines(buffer) == lines, "the line reader and the split agree");
    // The first line's own key takes the matching path; the others are keys
    // the program asks for.
    QStringList keys{QStringLiteral("cboQoSnum"), QStringLiteral("NET_ID_STR"), QString()};
    const QString firstKey = lines.value(0).section(QLatin1Char('='), 0, 0);
    if (IsAscii(firstKey)) {
        keys.append(firstKey);
    }
    for (const QString& key : keys) {
        Require(ValueInBuffer(bytes, key) == ValueInLines(lines, key),
                "the key lookup finds the first line with the key");
    }
    return 0;
}
