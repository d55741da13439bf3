#include "DiscoveryBench.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProcess>
#include <QTextStream>
#include <cstdio>

#include "Measure.h"
#include "PeakMemory.h"
#include "app/Application.h"
#include "discovery/Discovery.h"
#include "main/Navigator.h"
#include "main/Startup.h"
#include "support/Fixture.h"

namespace {

QListWidget* NodeList() {
    return Ctl<QListWidget>(W().frmConnect, "lstMac");
}

// The assistant's own discovery: the whole walk through the real windows.
double TimeDiscovery() {
    QElapsedTimer timer;
    timer.start();
    TheNavigator()->Discover();
    return timer.nsecsElapsed() / 1e6;
}

// One program run in the work folder as the assistant starts a tool, output
// discarded; its milliseconds.
double TimeRun(const Fixture& f, const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(f.workDir());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments, QIODevice::NotOpen);
    process.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e6;
}

double TimeToolRun(const Fixture& f, const QString& tool, const QStringList& arguments) {
    return TimeRun(f, f.workFile(tool), arguments);
}

// The nodes a discovery asked, in the order it asked them.
QStringList AskedMacs() {
    QStringList macs{Session().LocalMac};
    for (int i = 0; i < NodeList()->count(); ++i) {
        macs << LineMac(NodeList()->item(i)->text());
    }
    return macs;
}

// The discovery's last request, once for each node: the same request files
// the assistant wrote, kept side by side.
QStringList WriteSameRequests(const Fixture& f, const QStringList& macs) {
    const QByteArray last = f.readWorkFile(QStringLiteral("get.cfg"));
    const QByteArray rest = last.mid(last.indexOf("\r\n"));
    QStringList files;
    for (qsizetype i = 0; i < macs.size(); ++i) {
        const QString name = QStringLiteral("bench-get-%1.cfg").arg(i);
        f.writeWorkFile(name, "GET " + macs[i].toUtf8() + rest);
        files << f.workFile(name);
    }
    return files;
}

struct BareRuns {
    double totalMs = 0;
    QList<double> clientMs;
};

// The discovery tool once, then the client once per request, in sequence.
BareRuns RunBare(const Fixture& f, const QStringList& requests) {
    const QString interface = QStringLiteral("eth%1").arg(Session().InterfaceNumber);
    BareRuns runs;
    runs.totalMs = TimeToolRun(f, QStringLiteral("MacDiscover.exe"), {});
    for (const QString& request : requests) {
        const double ms = TimeToolRun(f, QStringLiteral("ihcp_client.exe"),
                                      {request, QStringLiteral("-i"), interface});
        runs.clientMs << ms;
        runs.totalMs += ms;
    }
    return runs;
}

bool Discovered(const Fixture& f, int nodes) {
    if (NodeList()->count() == nodes - 1 && f.dialogs.boxes.isEmpty()) {
        return true;
    }
    std::fprintf(stderr, "kaldor-bench: discovery listed %d of %d nodes; %s\n", NodeList()->count(),
                 nodes - 1, qPrintable(f.dialogs.describe()));
    return false;
}

struct DiscoveryFigures {
    double assistantMs = 0;
    double bareMs = 0;
    double clientMs = 0;
};

// Assistant and bare runs alternate, round after round, on one network.
std::optional<DiscoveryFigures> MeasureDiscovery(int nodes, int rounds) {
    Fixture f;
    f.sim({QStringLiteral("create-generated"), QString::number(nodes)});
    if (!f.start()) {
        return std::nullopt;
    }
    QList<double> assistant, bare, client;
    QStringList requests;
    for (int round = 0; round < rounds; ++round) {
        assistant << TimeDiscovery();
        if (!Discovered(f, nodes)) {
            return std::nullopt;
        }
        if (requests.isEmpty()) {
            requests = WriteSameRequests(f, AskedMacs());
        }
        const BareRuns runs = RunBare(f, requests);
        bare << runs.totalMs;
        client << runs.clientMs;
    }
    return DiscoveryFigures{Median(assistant), Median(bare), Median(client)};
}

struct ClientRunFigures {
    double plainMs = 0;
    double qtMs = 0;
    double clientMs = 0;
};

// One client run on the demo network (the local node's discovery request),
// in turn with the two bare programs given the same arguments.
ClientRunFigures DemoClientRunMs(int runs) {
    Fixture f;
    f.dialogs.typePassword(QStringLiteral("study-2024"));
    if (!f.start()) {
        return {};
    }
    TimeDiscovery();
    const QStringList request = WriteSameRequests(f, {Session().LocalMac});
    const QStringList arguments{request.first(), QStringLiteral("-i"),
                                QStringLiteral("eth%1").arg(Session().InterfaceNumber)};
    QList<double> plain, qt, client;
    for (int i = 0; i < runs; ++i) {
        plain << TimeRun(f, BenchDir() + QStringLiteral("/kaldor-bare-tool"), arguments);
        qt << TimeRun(f, BenchDir() + QStringLiteral("/kaldor-bare-tool-qt"), arguments);
        client << TimeToolRun(f, QStringLiteral("ihcp_client.exe"), arguments);
    }
    return {Median(plain), Median(qt), Median(client)};
}

std::optional<long> ChildPeakKiB(const QString& state, int nodes) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--peak-memory"), state, QStringLiteral("--nodes"),
                 QString::number(nodes)});
    child.waitForFinished(-1);
    const QList<QByteArray> words = child.readAllStandardOutput().trimmed().split(' ');
    if (child.exitCode() != 0 || words.size() != 2 || words[0] != "peak-kib") {
        return std::nullopt;
    }
    return words[1].toLong();
}

}  // namespace

void RunDiscoveryBench(const QList<int>& sizes, int rounds) {
    Table discovery(
        QStringLiteral("Discovery on generated networks (median of %1 rounds)").arg(rounds),
        {QStringLiteral("Nodes"), QStringLiteral("Tool runs"), QStringLiteral("DiscoverNodes ms"),
         QStringLiteral("Bare tool runs ms"), QStringLiteral("Overhead"),
         QStringLiteral("DiscoverNodes ms/node"), QStringLiteral("Bare ms/node")});
    Table client(QStringLiteral("One client run of the simulator (median)"),
                 {QStringLiteral("Program and network"), QStringLiteral("Nodes"),
                  QStringLiteral("Median ms")});
    const ClientRunFigures demo = DemoClientRunMs(31);
    client.add({QStringLiteral("bare program, C++ library only"), QStringLiteral("-"),
                Fixed(demo.plainMs, 2)});
    client.add({QStringLiteral("bare program linked with Qt Core"), QStringLiteral("-"),
                Fixed(demo.qtMs, 2)});
    client.add({QStringLiteral("ihcp_client.exe, demo network"), QStringLiteral("7"),
                Fixed(demo.clientMs, 2)});
    for (int nodes : sizes) {
        const std::optional<DiscoveryFigures> d = MeasureDiscovery(nodes, rounds);
        if (!d) {
            std::fprintf(stderr, "kaldor-bench: discovery of %d nodes failed\n", nodes);
            continue;
        }
        discovery.add({QString::number(nodes), QString::number(nodes + 1), Fixed(d->assistantMs),
                       Fixed(d->bareMs),
                       QStringLiteral("%1 %").arg(Fixed(100.0 * (d->assistantMs / d->bareMs - 1))),
                       Fixed(d->assistantMs / nodes, 2), Fixed(d->bareMs / nodes, 2)});
        client.add({QStringLiteral("ihcp_client.exe, generated network"), QString::number(nodes),
                    Fixed(d->clientMs, 2)});
    }
    discovery.print();
    client.print();
}

void RunMemoryBench(int nodes) {
    Table memory(QStringLiteral("Peak resident memory (each in a process of its own)"),
                 {QStringLiteral("Process state"), QStringLiteral("Peak MiB")});
    const QList<std::pair<QString, QString>> states = {
        {QStringLiteral("bare"), QStringLiteral("bare Qt window shown")},
        {QStringLiteral("welcome"), QStringLiteral("assistant at its welcome page")},
        {QStringLiteral("discover"),
         QStringLiteral("assistant after discovering %1 nodes").arg(nodes)}};
    for (const auto& [state, label] : states) {
        const std::optional<long> kib = ChildPeakKiB(state, nodes);
        memory.add({label, kib ? Fixed(*kib / 1024.0) : QStringLiteral("failed")});
    }
    memory.print();
}

int ReportPeakMemory(const QString& state, int nodes) {
    if (state == QLatin1String("bare")) {
        QWidget window;
        window.show();
        QApplication::processEvents();
    } else {
        Fixture f;
        if (state == QLatin1String("discover")) {
            f.sim({QStringLiteral("create-generated"), QString::number(nodes)});
        }
        if (!f.start()) {
            return 1;
        }
        QApplication::processEvents();
        if (state == QLatin1String("discover")) {
            TimeDiscovery();
            if (!Discovered(f, nodes)) {
                return 1;
            }
        }
    }
    QTextStream(stdout) << "peak-kib " << PeakMemoryKiB() << '\n';
    return 0;
}
