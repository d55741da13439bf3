#pragma once

#include <QtTest>
#include <algorithm>
#include <functional>

#include "Fixture.h"
#include "SimEdit.h"
#include "SimStateFile.h"

// The test's simulated network, changed in place as the simulator's own
// command line would, without starting a process for every change.
inline void ChangeNetwork(const Fixture& f,
                          const std::function<bool(kaldorsim::Network&, QString*)>& change) {
    QString error;
    QVERIFY2(
        kaldorsim::updateNetworkFile(f.workFile(QStringLiteral("simnet.json")), change, &error),
        qPrintable(error));
}

// Sets "KEY=VALUE" parameters of a node, unchecked.
inline void SetParameters(const Fixture& f, const QString& node, const QStringList& settings) {
    ChangeNetwork(f, [&](kaldorsim::Network& net, QString* error) {
        return std::all_of(settings.begin(), settings.end(), [&](const QString& setting) {
            const QString key = setting.section(QLatin1Char('='), 0, 0);
            return kaldorsim::setParameter(net, node, key, setting.mid(key.size() + 1), error);
        });
    });
}

// A node as the simulator holds it now.
inline kaldorsim::Node SimNode(const Fixture& f, const QString& node) {
    QString error;
    const std::optional<kaldorsim::Network> net =
        kaldorsim::readNetworkFile(f.workFile(QStringLiteral("simnet.json")), &error);
    const kaldorsim::Node* found = net ? kaldorsim::findNode(*net, node) : nullptr;
    return found ? *found : kaldorsim::Node{};
}

inline kaldorsim::Parameters Parameters(const Fixture& f, const QString& node) {
    return SimNode(f, node).params;
}
