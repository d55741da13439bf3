// Option lists and the two connection lists of a node's answer: the MACs and
// the network identifiers, paired into the node page's lines.
#include "FuzzCheck.h"
#include "app/TextFiles.h"
#include "app/Values.h"
#include "discovery/Discovery.h"

namespace {

void CheckPieces(const QString& value, const QStringList& pieces) {
    if (value.isEmpty()) {
        Require(pieces.isEmpty(), "an empty value has no entry");
        return;
    }
    const QStringList raw = value.split(QLatin1Char(','));
    Require(pieces.size() == raw.size(), "one entry per piece");
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QString& piece = raw[i];
        const QString expected = piece.size() < 2 ? QString() : piece.mid(1, piece.size() - 2);
        Require(pieces[i] == expected, "each entry loses exactly its two delimiters");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Line 1: the MAC list; line 2: the network identifiers.
    const QStringList lines = SplitLines(InputBytes(data, size));
    const QString macValue = lines.value(0);
    const QString networkValue = lines.value(1);
    const QStringList macs = SplitOptionList(macValue);
    const QStringList networks = SplitOptionList(networkValue);
    CheckPieces(macValue, macs);
    CheckPieces(networkValue, networks);
    for (qsizetype i = 0; i < macs.size(); ++i) {
        const QString line = NodeLine(macs[i], networks.value(i), QString());
        Require(line.size() == 45, "a node line is 45 characters wide");
        Require(LineMac(line) == PadField(macs[i], 12), "the line gives the MAC back");
        Require(LineNetworkId(line) == PadField(networks.value(i), 21).left(20).trimmed(),
                "the line gives the network identifier's first 20 characters back");
    }
    return 0;
}
