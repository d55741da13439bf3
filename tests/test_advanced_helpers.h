// Shared by the advanced window's tests: opening the window on a node of the
// demo network and reading the simulator's view of a node.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

#include <functional>

#include "SimEdit.h"
#include "SimStateFile.h"
#include "advanced/frmConfigAdv.h"
#include "support/Fixture.h"

namespace advtest {

inline const QString kLocal = QStringLiteral("020A1B000001");
inline const QString kOffice = QStringLiteral("020A1B000002");
inline const QString kGarage = QStringLiteral("020A1B000003");

inline frmConfigAdv* Adv() {
    return static_cast<frmConfigAdv*>(W().frmConfigAdv);
}

template <typename T = QWidget>
T* Control(const char* name) {
    return Ctl<T>(W().frmConfigAdv, name);
}

inline QComboBox* Combo(const char* name) {
    return Control<QComboBox>(name);
}

inline QLineEdit* Text(const char* name) {
    return Control<QLineEdit>(name);
}

inline QStringList Entries(const QComboBox* combo) {
    QStringList entries;
    for (int i = 0; i < combo->count(); ++i) {
        entries << combo->itemText(i);
    }
    return entries;
}

// Picks an entry as the user does; false when the list has no such entry.
inline bool Pick(const char* combo, const QString& entry) {
    QComboBox* box = Combo(combo);
    const int index = box->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive);
    box->setCurrentIndex(index);
    return index >= 0;
}

// Changes the simulated network in place, as the simulator's own command
// line would, without starting a process for every change.
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
        for (const QString& setting : settings) {
            const qsizetype eq = setting.indexOf(QLatin1Char('='));
            if (!kaldorsim::setParameter(net, node, setting.left(eq), setting.mid(eq + 1), error)) {
                return false;
            }
        }
        return true;
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

// Starts the program with restarts that take no time and opens the advanced
// window on a node through the end page, with the session a discovery leaves.
inline void OpenThroughEndPage(Fixture& f, const QString& mac) {
    ChangeNetwork(f, [](kaldorsim::Network& net, QString* error) {
        return kaldorsim::setTimeScale(net, 0, error);
    });
    QVERIFY(f.start());
    SessionState& s = Session();
    s.InterfaceNumber = 1;
    s.LocalMac = kLocal;
    s.LocalPassword = QStringLiteral("kaldor");
    s.SelectedMac = mac;
    s.NodePassword = QStringLiteral("kaldor");
    W().frmBegin->hide();
    W().frmEnd->show();
    f.click(W().frmEnd, "cmdAdvanced");
    QVERIFY2(W().frmConfigAdv->isVisible(), qPrintable(f.dialogs.describe()));
    QVERIFY2(f.dialogs.boxes.isEmpty(), qPrintable(f.dialogs.describe()));
}

}  // namespace advtest

// Opens the window for the test function, or ends it when that failed.
#define OPEN_ADVANCED(fixture, mac)                \
    do {                                           \
        advtest::OpenThroughEndPage(fixture, mac); \
        if (QTest::currentTestFailed()) {          \
            return;                                \
        }                                          \
    } while (false)
