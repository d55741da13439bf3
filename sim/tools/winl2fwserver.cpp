// winl2fwserver.exe: the layer-2 firmware server of the simulated network.

#include "SimTools.h"

int main(int argc, char* argv[]) {
    return kaldorsim::runFirmwareServerTool(kaldorsim::toolArguments(argc, argv));
}
