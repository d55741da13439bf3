// The discovery file in either form, read as the node page reads it.
#include <QBuffer>

#include "FuzzCheck.h"
#include "app/TextFiles.h"
#include "discovery/Discovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QBuffer buffer;
    buffer.setData(InputBytes(data, size));
    buffer.open(QIODevice::ReadOnly);
    const QStringList lines = ReadLines(buffer);
    const DiscoveryFile discovery = ParseDiscoveryFile(lines);
    Require(discovery.found == (!lines.isEmpty() && lines.first() != QLatin1String("E")),
            "a node is found exactly when the first line is there and is not E");
    const qsizetype tail = discovery.interfaces.size();
    Require(tail <= lines.size() && lines.mid(lines.size() - tail) == discovery.interfaces,
            "the interfaces are the file's last lines");
    if (discovery.found) {
        Require(discovery.localMac == lines.first(), "the first line names the local node");
        Require(LineMac(NodeLine(discovery.localMac, QString(), QString())) ==
                    PadField(discovery.localMac, 12),
                "the local node's line gives its MAC back");
    }
    return 0;
}
