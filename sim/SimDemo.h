#pragma once

// Ready-made networks: the demo the program ships with, and large generated
// ones for measurements.

#include "SimNetwork.h"

namespace kaldorsim {

// Host with eth0 and eth1; the local node on eth1; remote nodes in the local
// network, in another network with the same key, under another key, out of
// the local node's range, and one with its own password; an FTP and a TFTP
// server with newer firmware for both models.
Network demoNetwork();

// `count` nodes (at least 1) sharing one network and key, all hearing each
// other; the first is cabled to eth1.
Network generatedNetwork(int count);

}  // namespace kaldorsim
