// The simulated client's request parser, and the whole answer of the demo
// network to any request file.
#include "FuzzCheck.h"
#include "SimClient.h"
#include "SimDemo.h"

using namespace kaldorsim;

namespace {

// A moment after every restart of the demo network.
constexpr qint64 kNow = 4'000'000'000'000;

void CheckRequest(const Request& r) {
    Require(isMacAddress(r.mac) && r.mac == r.mac.toUpper(), "the MAC is 12 upper-case digits");
    Require(r.post || r.settings.isEmpty(), "only a POST carries settings");
    Require(!r.post || r.keys.isEmpty(), "only a GET asks for keys");
    Require(!r.factoryReset || (r.post && r.settings.isEmpty()),
            "a factory reset is a POST without settings");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Network demo = demoNetwork();
    const QByteArray bytes = InputBytes(data, size);
    QString error;
    const std::optional<Request> request = parseRequest(bytes, &error);
    Require(request.has_value() == error.isEmpty(), "a refused request says why");
    if (request) {
        CheckRequest(*request);
    }
    Network net = demo;
    const ClientAnswer answer = answerRequest(net, bytes, QStringLiteral("eth1"), kNow);
    Require(!answer.output.bytes.isEmpty(), "the client always answers something");
    Require(request || answer.output.bytes.startsWith("ERROR: bad request file"),
            "a request that does not parse is refused as such");
    Require(!answer.stateChanged || (request && request->post), "only a POST changes a node");
    return 0;
}
