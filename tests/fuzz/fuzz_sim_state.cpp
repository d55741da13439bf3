// The simulator's state file: any text is either refused with a reason or
// gives a network that survives being written and read back, and that the
// discovery tool and the client can work on.
#include "FuzzCheck.h"
#include "SimClient.h"
#include "SimTools.h"

using namespace kaldorsim;

namespace {

constexpr qint64 kNow = 4'000'000'000'000;

// Asks every node for its connections through each host interface: the path
// every tool run takes through a network read from the file.
void AskEveryNode(const Network& read) {
    Network net = read;
    // Huge answers only cost time here; the fault tests cover them.
    for (Node& node : net.nodes) {
        node.faults.hugeMb = 0;
    }
    for (const Node& node : read.nodes) {
        const QByteArray request = "GET " + node.mac.toLatin1() +
                                   "\r\n.PASSWORD=" + node.password.toUtf8() +
                                   "\r\nNET_ID_STR\r\nPLC_CONNECTION_MAC_ADDR\r\n"
                                   "PLC_CONNECTION_NET_ID_STR\r\n";
        for (const HostInterface& host : read.interfaces) {
            answerRequest(net, request, host.name, kNow);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QString error;
    const std::optional<Network> net = networkFromJson(InputBytes(data, size), &error);
    Require(net.has_value() == error.isEmpty(), "a refused state file says why");
    if (!net) {
        return 0;
    }
    const QByteArray written = networkToJson(*net);
    const std::optional<Network> again = networkFromJson(written, &error);
    Require(again.has_value(), "a network read from the file can be read back");
    Require(networkToJson(*again) == written, "writing and reading back changes nothing");
    discoveryText(*net, kNow);
    AskEveryNode(*net);
    return 0;
}
