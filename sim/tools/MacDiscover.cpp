// MacDiscover.exe: finds the simulated node cabled to the host.

#include "SimTools.h"

int main() {
    return kaldorsim::runDiscoverTool();
}
