// ihcp_client.exe: carries one request file to a simulated node.

#include <QCoreApplication>

#include "SimTools.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return kaldorsim::runClientTool(app.arguments().mid(1));
}
