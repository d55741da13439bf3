// winl2fwserver.exe: the layer-2 firmware server of the simulated network.

#include <QCoreApplication>

#include "SimTools.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return kaldorsim::runFirmwareServerTool(app.arguments().mid(1));
}
