// kaldor-sim: the command line that creates, shows and changes a simulated network.

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "SimCommandLine.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return kaldorsim::runSimCommand(app.arguments().mid(1), out, err);
}
