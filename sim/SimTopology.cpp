#include "SimTopology.h"

#include <QSet>

#include "SimModels.h"

namespace kaldorsim {

namespace {

// Two nodes decode each other's frames only with the same key and the same
// encryption mode.
bool sameCipher(const Node& a, const Node& b) {
    for (const QString& key :
         {QStringLiteral("ENCRYPT_KEY_STR"), QStringLiteral("ENCRYPT_TYPE"),
          QStringLiteral("ENCRYPT_AES_TYPE"), QStringLiteral("ENCRYPT_KEY_LENGTH")}) {
        if (a.params.value(key) != b.params.value(key))
            return false;
    }
    return true;
}

// A frame gets through only where both ends hear each other and decode it.
bool linked(const Node& a, const Node& b) {
    return hears(a, b) && hears(b, a) && sameCipher(a, b);
}

}  // namespace

bool hears(const Node& listener, const Node& other) {
    if (&listener == &other || listener.mac == other.mac)
        return false;
    return !listener.hears || listener.hears->contains(other.mac);
}

QList<const Node*> connectionTable(const Network& net, const Node& node, qint64 nowMs) {
    QList<const Node*> table;
    for (const Node& other : net.nodes) {
        if (isOnline(other, nowMs) && hears(node, other))
            table << &other;
    }
    return table;
}

QString connectionMacList(const QList<const Node*>& table) {
    QStringList macs;
    for (const Node* other : table)
        macs << other->mac;
    return quotedList(macs);
}

QString connectionNetIdList(const Node& node, const QList<const Node*>& table) {
    QStringList ids;
    for (const Node* other : table)
        ids << (sameCipher(*other, node) ? other->params.value(QStringLiteral("NET_ID_STR"))
                                         : kForeignNetwork);
    return quotedList(ids);
}

const Node* hostNode(const Network& net, int interfaceIndex, qint64 nowMs) {
    for (const Node& n : net.nodes) {
        if (n.hostInterface == interfaceIndex && isOnline(n, nowMs))
            return &n;
    }
    return nullptr;
}

bool canReach(const Network& net, const Node& local, const Node& target, qint64 nowMs) {
    if (!isOnline(local, nowMs) || !isOnline(target, nowMs))
        return false;
    if (local.mac == target.mac)
        return true;
    QSet<QString> visited{local.mac};
    QList<const Node*> frontier{&local};
    while (!frontier.isEmpty()) {
        const Node* from = frontier.takeFirst();
        for (const Node& next : net.nodes) {
            if (visited.contains(next.mac) || !isOnline(next, nowMs) || !linked(*from, next))
                continue;
            if (next.mac == target.mac)
                return true;
            visited.insert(next.mac);
            frontier << &next;
        }
    }
    return false;
}

}  // namespace kaldorsim
