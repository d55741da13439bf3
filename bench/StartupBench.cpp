#include "StartupBench.h"

#include <QElapsedTimer>
#include <QProcess>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Measure.h"
#include "app/TextFiles.h"
#include "lang/ApplyLanguage.h"
#include "lang/Catalogue.h"
#include "main/Navigator.h"
#include "main/Startup.h"
#include "support/Fixture.h"

namespace {

const QString kShipped = QStringLiteral("english.lng");
const QString kGenerated = QStringLiteral("generated.lng");
constexpr int kGeneratedLines = 10000;

// The shipped entries after enough filler entries to make the given number
// of lines, so that every lookup reads past all the filler.
QByteArray GeneratedCatalogue(const QString& shippedPath, int lines) {
    const QStringList shipped = ReadLines(shippedPath).value_or(QStringList());
    QByteArray bytes;
    for (qsizetype i = 0; i < lines - shipped.size(); ++i) {
        bytes += QStringLiteral("fillerKey%1=Filler text number %1, never shown by any window\r\n")
                     .arg(i, 5, 10, QLatin1Char('0'))
                     .toUtf8();
    }
    for (const QString& line : shipped) {
        bytes += line.toUtf8() + "\r\n";
    }
    return bytes;
}

struct Startup {
    double wallMs = 0;  // from starting the process to the end of its first paint
    double cpuMs = 0;   // processor time the process used until then
};

// Runs the program in the start folder until its report of the first paint;
// nothing when it did not report one.
std::optional<Startup> TimeToFirstPaint(const QString& program, const QString& startDir,
                                        const QStringList& arguments = {}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("KALDOR_EXIT_AFTER_PAINT"), QStringLiteral("1"));
    QProcess process;
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(startDir);
    process.setStandardErrorFile(QProcess::nullDevice());
    const qint64 started = WallClockMicros();
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    const QList<QByteArray> words = process.readAllStandardOutput().trimmed().split(' ');
    if (words.size() != 3 || words[0] != "painted") {
        return std::nullopt;
    }
    return Startup{(words[1].toLongLong() - started) / 1000.0, words[2].toDouble() / 1000.0};
}

struct Series {
    QList<double> wall, cpu;
    void add(const std::optional<Startup>& s, const char* what) {
        if (!s) {
            std::fprintf(stderr, "kaldor-bench: %s did not report its first paint\n", what);
            return;
        }
        wall << s->wallMs;
        cpu << s->cpuMs;
    }
};

struct StartupSeries {
    Series bare, labelled, shipped, generated;
};

// Runs the three programs in turn, round after round, so that they share the
// machine's state; the first round only warms the caches.
StartupSeries RunStartups(const Fixture& f, int runs) {
    const QString bare = BenchDir() + QStringLiteral("/kaldor-bare-window");
    const QString program = QStringLiteral(KALDOR_STAGE_DIR "/kaldor-config");
    const QString choice = QStringLiteral("languages/default.lang");
    StartupSeries series;
    for (int round = 0; round <= runs; ++round) {
        StartupSeries warmUp;
        StartupSeries& target = round == 0 ? warmUp : series;
        target.bare.add(TimeToFirstPaint(bare, f.startDir()), "the bare window");
        target.labelled.add(TimeToFirstPaint(bare, f.startDir(), {QStringLiteral("--text")}),
                            "the bare window with text");
        f.writeWorkFile(choice, kShipped.toUtf8() + "\r\n");
        target.shipped.add(TimeToFirstPaint(program, f.startDir()), "kaldor-config");
        f.writeWorkFile(choice, kGenerated.toUtf8() + "\r\n");
        target.generated.add(TimeToFirstPaint(program, f.startDir()), "kaldor-config");
    }
    return series;
}

// The value of the first line "key=..." of a file, read the plainest way: big
// blocks with the C library, lines found with memchr, a line cut by a block's
// end carried over to the next block.
std::optional<std::string> PlainKeyValue(const std::string& path, const std::string& key) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return std::nullopt;
    }
    static std::vector<char> buffer(1 << 16);
    size_t start = 0, end = 0;
    std::optional<std::string> value;
    for (bool more = true; !value && (more || start < end);) {
        const char* from = buffer.data() + start;
        const char* nl = static_cast<const char*>(std::memchr(from, '\n', end - start));
        if (!nl && more) {
            std::memmove(buffer.data(), from, end - start);
            end -= start;
            start = 0;
            if (end == buffer.size()) {
                buffer.resize(buffer.size() * 2);
            }
            const size_t got = std::fread(buffer.data() + end, 1, buffer.size() - end, file);
            more = got > 0;
            end += got;
            continue;
        }
        const char* stop = nl ? nl : buffer.data() + end;
        size_t length = stop - from;
        if (length > 0 && from[length - 1] == '\r') {
            --length;
        }
        const char* eq = static_cast<const char*>(std::memchr(from, '=', length));
        if (eq && size_t(eq - from) == key.size() &&
            std::memcmp(from, key.data(), key.size()) == 0) {
            value = std::string(eq + 1, from + length);
        }
        start = stop - buffer.data() + (nl ? 1 : 0);
    }
    std::fclose(file);
    return value;
}

// A catalogue lookup with the C library alone, step for step as the program
// does it: test the choice file, read its first line, then read the
// catalogue up to the key.
std::optional<std::string> PlainLookup(const std::string& languageDir, const std::string& key) {
    const std::string choice = languageDir + "/default.lang";
    if (!std::filesystem::exists(choice)) {
        return std::nullopt;
    }
    char name[4096];
    FILE* file = std::fopen(choice.c_str(), "rb");
    const bool read = file && std::fgets(name, sizeof name, file);
    if (file) {
        std::fclose(file);
    }
    if (!read) {
        return std::nullopt;
    }
    return PlainKeyValue(languageDir + "/" + std::string(name, std::strcspn(name, "\r\n")), key);
}

// The key of the catalogue's last entry: the dearest lookup.
QString LastKey(const QString& path) {
    const QStringList lines = ReadLines(path).value_or(QStringList());
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        const qsizetype eq = lines[i].indexOf(QLatin1Char('='));
        if (eq > 0) {
            return lines[i].left(eq);
        }
    }
    return QString();
}

// Median microseconds of one call, timed over batches of calls.
double MedianMicros(int batch, const std::function<void()>& call) {
    return MedianMs(9,
                    [&] {
                        for (int i = 0; i < batch; ++i) {
                            call();
                        }
                    }) *
           1000.0 / batch;
}

struct CatalogueFigures {
    double startApplicationMs = 0;  // the whole start-up sequence, in-process
    double applyLanguageMs = 0;
    double getTextUs = 0;      // one whole lookup: choice file, then the catalogue
    double plainLookupUs = 0;  // the same with the C library
    double scanUs = 0;         // the catalogue pass alone (ReadKeyValue)
    double plainScanUs = 0;    // the same with the C library
};

// The start-up sequence and then ApplyLanguage once more on the built windows,
// each time in a fresh start folder; then single lookups of the last key.
CatalogueFigures MeasureCatalogue(const QString& catalogue, const QByteArray& generated, int runs) {
    CatalogueFigures figures;
    QList<double> start, apply;
    for (int i = 0; i < runs; ++i) {
        Fixture f;
        f.writeWorkFile(QStringLiteral("languages/") + kGenerated, generated);
        f.writeWorkFile(QStringLiteral("languages/default.lang"), catalogue.toUtf8() + "\r\n");
        bool started = false;
        start << MedianMs(1, [&] { started = f.start(); });
        if (!started) {
            std::fprintf(stderr, "kaldor-bench: the program did not start\n");
            return figures;
        }
        apply << MedianMs(1, [] { ApplyLanguage(TheNavigator()->captionedWindows()); });
        if (i + 1 < runs) {
            continue;
        }
        const QString key = LastKey(f.workFile(QStringLiteral("languages/") + catalogue));
        const int batch = catalogue == kShipped ? 2000 : 100;
        const QString path = f.workFile(QStringLiteral("languages/") + catalogue);
        const std::string dir = f.workFile(QStringLiteral("languages")).toStdString();
        const std::string plainKey = key.toStdString();
        figures.getTextUs = MedianMicros(batch, [&] { GetText(key); });
        figures.plainLookupUs = MedianMicros(batch, [&] { PlainLookup(dir, plainKey); });
        figures.scanUs = MedianMicros(batch, [&] { ReadKeyValue(path, key); });
        figures.plainScanUs =
            MedianMicros(batch, [&] { PlainKeyValue(path.toStdString(), plainKey); });
    }
    figures.startApplicationMs = Median(start);
    figures.applyLanguageMs = Median(apply);
    return figures;
}

}  // namespace

void RunStartupBench(int runs) {
    Fixture layout;
    const QByteArray generated = GeneratedCatalogue(
        layout.workFile(QStringLiteral("languages/") + kShipped), kGeneratedLines);
    layout.writeWorkFile(QStringLiteral("languages/") + kGenerated, generated);
    const StartupSeries series = RunStartups(layout, runs);
    const double bareWall = Median(series.bare.wall);
    const double bareCpu = Median(series.bare.cpu);

    Table startup(
        QStringLiteral("Start-up to the first paint (median of %1 runs)").arg(runs),
        {QStringLiteral("Program"), QStringLiteral("Wall ms"), QStringLiteral("Wall ratio to bare"),
         QStringLiteral("CPU ms"), QStringLiteral("CPU ratio to bare")});
    auto row = [&](const QString& name, const Series& times) {
        const double wall = Median(times.wall);
        const double cpu = Median(times.cpu);
        startup.add(
            {name, Fixed(wall), Fixed(wall / bareWall, 2), Fixed(cpu), Fixed(cpu / bareCpu, 2)});
    };
    row(QStringLiteral("bare Qt window"), series.bare);
    row(QStringLiteral("bare Qt window with one line of text"), series.labelled);
    row(QStringLiteral("kaldor-config, shipped catalogue"), series.shipped);
    row(QStringLiteral("kaldor-config, 10 000-line catalogue"), series.generated);
    startup.print();

    Table share(
        QStringLiteral("Catalogue lookups of the last key (ApplyLanguage median of %1 runs)")
            .arg(runs),
        {QStringLiteral("Catalogue"), QStringLiteral("StartApplication ms"),
         QStringLiteral("ApplyLanguage ms"), QStringLiteral("Share of start-up"),
         QStringLiteral("GetText µs"), QStringLiteral("Plain C lookup µs"),
         QStringLiteral("ReadKeyValue µs"), QStringLiteral("Plain C scan µs"),
         QStringLiteral("ReadKeyValue / plain")});
    auto shareRow = [&](const QString& name, const QString& catalogue, const Series& startups) {
        const CatalogueFigures c = MeasureCatalogue(catalogue, generated, runs);
        const double total = Median(startups.wall);
        share.add({name, Fixed(c.startApplicationMs), Fixed(c.applyLanguageMs),
                   Fixed(total > 0 ? 100.0 * c.applyLanguageMs / total : 0) + QStringLiteral(" %"),
                   Fixed(c.getTextUs), Fixed(c.plainLookupUs), Fixed(c.scanUs),
                   Fixed(c.plainScanUs),
                   Fixed(c.plainScanUs > 0 ? c.scanUs / c.plainScanUs : 0, 2)});
    };
    const qsizetype shippedLines =
        ReadLines(layout.workFile(QStringLiteral("languages/") + kShipped))
            .value_or(QStringList())
            .size();
    shareRow(QStringLiteral("shipped (%1 lines)").arg(shippedLines), kShipped, series.shipped);
    shareRow(QStringLiteral("generated (10 000 lines)"), kGenerated, series.generated);
    share.print();
}
