// MacDiscover.exe: finds the simulated node cabled to the host.

#include <QCoreApplication>

#include "SimTools.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return kaldorsim::runDiscoverTool();
}
