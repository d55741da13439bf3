#include "SimEdit.h"

namespace kaldorsim {

namespace {

Node* nodeOrError(Network& net, const QString& name, QString* error) {
    Node* node = findNode(net, name);
    if (!node)
        *error = QStringLiteral("no node with the MAC or label '%1'").arg(name);
    return node;
}

}  // namespace

bool setParameter(Network& net, const QString& node, const QString& key, const QString& value,
                  QString* error) {
    Node* n = nodeOrError(net, node, error);
    if (!n)
        return false;
    if (!n->params.contains(key)) {
        *error = QStringLiteral("node %1 has no parameter %2").arg(n->mac, key);
        return false;
    }
    n->params[key] = value;
    return true;
}

bool removeParameter(Network& net, const QString& node, const QString& key, QString* error) {
    Node* n = nodeOrError(net, node, error);
    if (!n)
        return false;
    if (n->params.remove(key) == 0) {
        *error = QStringLiteral("node %1 has no parameter %2").arg(n->mac, key);
        return false;
    }
    return true;
}

bool addParameter(Network& net, const QString& node, const QString& key, const QString& value,
                  QString* error) {
    Node* n = nodeOrError(net, node, error);
    if (!n)
        return false;
    // A connection list comes from the network, and an empty or odd key could
    // never be asked for in a request file.
    if (n->params.contains(key) || key.isEmpty() || key.startsWith(QLatin1Char('.')) ||
        key.contains(QLatin1Char('=')) || key.startsWith(QStringLiteral("PLC_CONNECTION_"))) {
        *error = QStringLiteral("node %1 cannot take a parameter '%2'").arg(n->mac, key);
        return false;
    }
    n->params.insert(key, value);
    return true;
}

bool setFault(Network& net, const QString& target, const QString& knob, const QString& value,
              QString* error) {
    if (target == kDiscoverTarget)
        return setFaultKnob(net.discoverFaults, knob, value, error);
    Node* n = nodeOrError(net, target, error);
    return n && setFaultKnob(n->faults, knob, value, error);
}

bool setPower(Network& net, const QString& node, bool on, QString* error) {
    Node* n = nodeOrError(net, node, error);
    if (n) {
        n->powered = on;
        n->restartUntilMs = 0;  // switching on boots at once in simulated time
    }
    return n;
}

bool setLoaderMode(Network& net, const QString& node, bool on, QString* error) {
    Node* n = nodeOrError(net, node, error);
    if (n)
        n->loaderMode = on;
    return n;
}

bool setHears(Network& net, const QString& node, const QStringList& heard, QString* error) {
    Node* n = nodeOrError(net, node, error);
    if (!n)
        return false;
    if (heard == QStringList{QStringLiteral("all")}) {
        n->hears.reset();
        return true;
    }
    QStringList macs;
    if (heard == QStringList{QStringLiteral("none")}) {
        n->hears = macs;
        return true;
    }
    for (const QString& name : heard) {
        const Node* other = nodeOrError(net, name, error);
        if (!other)
            return false;
        macs << other->mac;
    }
    n->hears = macs;
    return true;
}

bool setPassword(Network& net, const QString& node, const QString& password, QString* error) {
    Node* n = nodeOrError(net, node, error);
    if (n)
        n->password = password;
    return n;
}

bool attachNode(Network& net, const QString& node, const QString& interfaceName, QString* error) {
    Node* n = nodeOrError(net, node, error);
    if (!n)
        return false;
    if (interfaceName == QStringLiteral("none")) {
        n->hostInterface = -1;
        return true;
    }
    for (int i = 0; i < net.interfaces.size(); ++i) {
        if (net.interfaces.at(i).name == interfaceName) {
            n->hostInterface = i;
            return true;
        }
    }
    *error = QStringLiteral("the host has no interface named '%1'").arg(interfaceName);
    return false;
}

bool setTimeScale(Network& net, double factor, QString* error) {
    if (!isTimeScale(factor)) {
        *error = QStringLiteral("the time scale must be a number from 0 to %1")
                     .arg(kMaxTimeScale, 0, 'f', 0);
        return false;
    }
    net.timeScale = factor;
    return true;
}

bool advanceClock(Network& net, qint64 ms, QString* error) {
    if (ms < 0 || ms > kMaxClockOffsetMs - net.clockOffsetMs) {
        *error = QStringLiteral("the clock moves on by 0 to %1 ms")
                     .arg(kMaxClockOffsetMs - net.clockOffsetMs);
        return false;
    }
    net.clockOffsetMs += ms;
    return true;
}

bool setSettleTime(Network& net, int ms, QString* error) {
    if (ms < 0 || ms > 3600000) {
        *error = QStringLiteral("the settle time takes 0 to 3600000 milliseconds");
        return false;
    }
    net.settleMs = ms;
    return true;
}

bool setNetworkChangeAnswer(Network& net, const QString& answer, QString* error) {
    if (answer != QStringLiteral("0") && answer != QStringLiteral("3")) {
        *error = QStringLiteral("the answer to a network change must be 0 or 3");
        return false;
    }
    net.networkChangeAnswer = answer;
    return true;
}

}  // namespace kaldorsim
