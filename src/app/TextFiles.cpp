#include "TextFiles.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <array>
#include <cstring>

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
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kCp1252High[b - 0x80]) : QChar(char16_t{b});
    }
    return text;
}

QByteArrayView StripLineEnd(QByteArrayView line) {
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r')) {
        line.chop(1);
    }
    return line;
}

// Editors on Windows may begin a UTF-8 file with a byte order mark; it is no
// part of the first line.
QByteArrayView StripByteOrderMark(QByteArrayView text) {
    return text.startsWith("\xEF\xBB\xBF") ? text.sliced(3) : text;
}

// Reads a device in large blocks straight into one reused buffer and hands out
// its lines as views into it, so a search makes one pass, copies each byte
// once and allocates nothing per line. It may read ahead of the line it
// returns, up to one block.
class LineReader {
public:
    explicit LineReader(QIODevice& device) : device_(device) {}
    // The next line without its line end; false at the end of the device.
    bool next(QByteArrayView& line) {
        if (first_) {
            skipByteOrderMark();
            first_ = false;
        }
        for (;;) {
            const char* from = buffer_.constData() + start_;
            const auto* newline = static_cast<const char*>(std::memchr(from, '\n', end_ - start_));
            if (!newline && !atEnd_) {
                fill();
                continue;
            }
            if (!newline && start_ == end_) {
                return false;
            }
            const qsizetype length = newline ? newline - from : end_ - start_;
            line = StripLineEnd(QByteArrayView(from, length));
            start_ += length + (newline ? 1 : 0);
            return true;
        }
    }

private:
    // The mark goes before any line is cut, as in SplitLines: a file of the
    // mark alone holds no text, so no line at all, like an empty file.
    void skipByteOrderMark() {
        while (end_ - start_ < 3 && !atEnd_) {  // the mark's three bytes
            fill();
        }
        const QByteArrayView text(buffer_.constData() + start_, end_ - start_);
        start_ += text.size() - StripByteOrderMark(text).size();
    }

    // One read of this size holds a whole catalogue of ordinary size.
    static constexpr qsizetype kBlock = 64 * 1024;

    // Moves the unfinished line to the front and reads the next block behind it.
    void fill() {
        std::memmove(buffer_.data(), buffer_.constData() + start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
        if (end_ == buffer_.size()) {
            buffer_.resize(std::max(kBlock, buffer_.size() * 2));
        }
        const qint64 got = device_.read(buffer_.data() + end_, buffer_.size() - end_);
        if (got > 0) {
            end_ += got;
        } else {
            atEnd_ = true;
        }
    }

    QIODevice& device_;
    QByteArray buffer_;
    qsizetype start_ = 0;  // first byte not handed out yet
    qsizetype end_ = 0;    // end of the bytes read so far
    bool atEnd_ = false;
    bool first_ = true;
};

}  // namespace

QString DecodeText(QByteArrayView bytes) {
    // A byte order mark inside a text is an ordinary character.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    return DecodeCp1252(bytes);
}

std::optional<QString> ReadKeyValue(QIODevice& device, QStringView key) {
    LineReader reader(device);
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

// The line reader reads whole blocks into its own buffer; a second buffer in
// the file would only copy them once more.
static bool OpenForLines(QFile& file) {
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

std::optional<QString> ReadKeyValue(const QString& path, QStringView key) {
    QFile file(path);
    if (!OpenForLines(file)) {
        return std::nullopt;
    }
    return ReadKeyValue(file, key);
}

QStringList ReadLines(QIODevice& device) {
    LineReader reader(device);
    QStringList lines;
    QByteArrayView line;
    while (reader.next(line)) {
        lines.append(DecodeText(line));
    }
    return lines;
}

std::optional<QStringList> ReadLines(const QString& path) {
    QFile file(path);
    if (!OpenForLines(file)) {
        return std::nullopt;
    }
    return ReadLines(file);
}

std::optional<QString> ReadFirstLine(const QString& path) {
    QFile file(path);
    if (!OpenForLines(file)) {
        return std::nullopt;
    }
    LineReader reader(file);
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

// The file is overwritten in place and then cut to its new length: request
// files are rewritten for every node with texts of nearly the same length,
// and emptying a file first costs the file system several times the write.
// (For a file, opening for writing alone would empty it.)
bool WriteLines(const QString& path, const QStringList& lines, FileAccess access) {
    QFile file(path);
    const QFileDevice::Permissions ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    bool opened = false;
    if (access == FileAccess::OwnerOnly) {
        // A file left by an older run may be readable by others: tighten it first.
        if (file.exists() && !file.setPermissions(ownerOnly)) {
            return false;
        }
        opened = file.open(QIODevice::ReadWrite, ownerOnly);
    } else {
        opened = file.open(QIODevice::ReadWrite);
    }
    if (!opened) {
        return false;
    }
    const QByteArray bytes = JoinCrLf(lines);
    return file.write(bytes) == bytes.size() && file.flush() && file.resize(bytes.size());
}

bool ReplaceFileBytes(const QString& path, const QByteArray& bytes, FileAccess access) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (access == FileAccess::OwnerOnly &&
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        return false;
    }
    return file.write(bytes) == bytes.size() && file.commit();
}

bool ReplaceFileLines(const QString& path, const QStringList& lines) {
    return ReplaceFileBytes(path, JoinCrLf(lines));
}

QStringList SplitLines(QByteArrayView text) {
    QStringList lines;
    text = StripByteOrderMark(text);
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
