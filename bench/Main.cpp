// kaldor-bench: measures the start-up, the catalogue lookups, discovery, one
// client run of the simulator and the peak memory, and prints each as a table.
#include <QApplication>
#include <QCommandLineParser>
#include <QSysInfo>
#include <QTextStream>
#include <QThread>

#include "DiscoveryBench.h"
#include "StartupBench.h"

namespace {

QList<int> NodeCounts(const QString& text) {
    QList<int> counts;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (const int n = part.toInt(); n > 1) {
            counts << n;
        }
    }
    return counts;
}

void PrintMachine() {
    QTextStream(stdout) << "Machine: " << QSysInfo::prettyProductName() << ", kernel "
                        << QSysInfo::kernelVersion() << ", " << QThread::idealThreadCount()
                        << " cores, Qt " << qVersion() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Measures kaldor-config against its baselines; every figure is a table."));
    parser.addHelpOption();
    const QCommandLineOption only(
        QStringLiteral("only"),
        QStringLiteral("Comma-separated parts to run: startup, discovery, memory."),
        QStringLiteral("parts"), QStringLiteral("startup,discovery,memory"));
    const QCommandLineOption runs(QStringLiteral("runs"),
                                  QStringLiteral("Start-up runs of each program (at least 10)."),
                                  QStringLiteral("n"), QStringLiteral("15"));
    const QCommandLineOption rounds(QStringLiteral("rounds"),
                                    QStringLiteral("Discovery rounds on each network."),
                                    QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption sizes(QStringLiteral("sizes"),
                                   QStringLiteral("Node counts of the generated networks."),
                                   QStringLiteral("list"), QStringLiteral("8,64,250"));
    const QCommandLineOption peak(QStringLiteral("peak-memory"),
                                  QStringLiteral("Internal: report the peak memory of a state."),
                                  QStringLiteral("state"));
    const QCommandLineOption nodes(
        QStringLiteral("nodes"), QStringLiteral("Nodes of the network the memory is measured on."),
        QStringLiteral("n"), QStringLiteral("250"));
    parser.addOptions({only, runs, rounds, sizes, peak, nodes});
    parser.process(application);

    if (parser.isSet(peak)) {
        return ReportPeakMemory(parser.value(peak), parser.value(nodes).toInt());
    }
    const QStringList parts = parser.value(only).split(QLatin1Char(','));
    PrintMachine();
    if (parts.contains(QLatin1String("startup"))) {
        RunStartupBench(std::max(10, parser.value(runs).toInt()));
    }
    if (parts.contains(QLatin1String("discovery"))) {
        RunDiscoveryBench(NodeCounts(parser.value(sizes)),
                          std::max(1, parser.value(rounds).toInt()));
    }
    if (parts.contains(QLatin1String("memory"))) {
        RunMemoryBench(parser.value(nodes).toInt());
    }
    return 0;
}
