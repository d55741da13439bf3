#include "TextFiles.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString DecodeCp1252(QByteArrayView bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

QByteArrayView StripLineEnd(QByteArrayView line) {
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r')) {
        line.chop(1);
    }
    return line;
}

// Reads a file line by line into one reused buffer, so a search allocates
// nothing per line.
class LineReader {
public:
    explicit LineReader(const QString& path) : file_(path) {
        ok_ = file_.open(QIODevice::ReadOnly);
    }
    bool ok() const { return ok_; }
    // The next line without its line end; false at the end of the file.
    bool next(QByteArrayView& line) {
        qsizetype used = 0;
        for (;;) {
            if (buffer_.size() - used < 2) {
                buffer_.resize(std::max<qsizetype>(256, buffer_.size() * 2));
            }
            const qint64 got = file_.readLine(buffer_.data() + used, buffer_.size() - used);
            if (got <= 0) {
                if (used == 0) {
                    return false;
                }
                break;
            }
            used += got;
            if (buffer_[used - 1] == '\n') {
                break;
            }
        }
        line = StripLineEnd(QByteArrayView(buffer_.constData(), used));
        return true;
    }

private:
    QFile file_;
    QByteArray buffer_;
    bool ok_ = false;
};

}  // namespace

QString DecodeText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return DecodeCp1252(bytes);
}

std::optional<QString> ReadKeyValue(const QString& path, QStringView key) {
    LineReader reader(path);
    if (!reader.ok()) {
        return std::nullopt;
    }
    // Keys are the program's own ASCII names; compare them as bytes.
    const QByteArray keyBytes = key.toUtf8();
    QByteArrayView line;
    while (reader.next(line)) {
        const qsizetype eq = line.indexOf('=');
        if (eq == keyBytes.size() && line.first(eq) == keyBytes) {
            return DecodeText(line.sliced(eq + 1));
        }
    }
    return std::nullopt;
}

std::optional<QStringList> ReadLines(const QString& path) {
    LineReader reader(path);
    if (!reader.ok()) {
        return std::nullopt;
    }
    QStringList lines;
    QByteArrayView line;
    while (reader.next(line)) {
        lines.append(DecodeText(line));
    }
    return lines;
}

std::optional<QString> ReadFirstLine(const QString& path) {
    LineReader reader(path);
    if (!reader.ok()) {
        return std::nullopt;
    }
    QByteArrayView line;
    return reader.next(line) ? DecodeText(line) : QString();
}

static QByteArray JoinCrLf(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

bool WriteLines(const QString& path, const QStringList& lines, FileAccess access) {
    QFile file(path);
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    bool opened = false;
    if (access == FileAccess::OwnerOnly) {
        // A file left by an older run may be readable by others: tighten it first.
        if (file.exists() && !file.setPermissions(ownerOnly)) {
            return false;
        }
        opened = file.open(QIODevice::WriteOnly | QIODevice::Truncate, ownerOnly);
    } else {
        opened = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    if (!opened) {
        return false;
    }
    const QByteArray bytes = JoinCrLf(lines);
    return file.write(bytes) == bytes.size() && file.flush();
}

bool ReplaceFileBytes(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(bytes);
    return file.commit();
}

bool ReplaceFileLines(const QString& path, const QStringList& lines) {
    return ReplaceFileBytes(path, JoinCrLf(lines));
}

QStringList SplitLines(QByteArrayView text) {
    QStringList lines;
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf('\n');
        const QByteArrayView line = end < 0 ? text : text.first(end);
        lines.append(DecodeText(StripLineEnd(line)));
        text = end < 0 ? QByteArrayView() : text.sliced(end + 1);
    }
    return lines;
}

bool HasLineBreak(QStringView value) {
    return value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'));
}
