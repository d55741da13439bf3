#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "node/Walk.h"

class frmConnect;

// How a discovery ended, and what it found for the interface lists.
struct DiscoveryResult {
    enum class End {
        NodePage,     // the node page lists the network
        LoaderPage,   // no local node: the loader page takes over
        WelcomePage,  // the local node refused every password it was given
        Locked,       // the user gave up on the local node's password
    };
    End end = End::NodePage;
    // The discovery file was read: the loader page's list becomes
    // loaderInterfaces, and with a local node the advanced window's list
    // becomes hostInterfaces.
    bool fileRead = false;
    QStringList loaderInterfaces;
    QStringList hostInterfaces;
    // The connected node first, then the list's entries in their order.
    QList<FoundNode> nodes;
};

// Finds the local node and walks the powerline network from it, filling the
// node page, which is shown meanwhile.
DiscoveryResult DiscoverNodes(frmConnect* page);

// The connected node's notch setting and its options, read for the set-all
// page; nothing, after telling the user, when it could not be read.
struct NotchSetting {
    QStringList options;
    QString current;
};
std::optional<NotchSetting> ReadLocalNotches();
