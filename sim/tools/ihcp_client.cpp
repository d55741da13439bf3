// ihcp_client.exe: carries one request file to a simulated node.

#include "SimTools.h"

int main(int argc, char* argv[]) {
    return kaldorsim::runClientTool(kaldorsim::toolArguments(argc, argv));
}
