#pragma once

#include <QComboBox>
#include <QFile>
#include <QtTest>

#include "CatalogueText.h"
#include "DataRows.h"
#include "DemoNetwork.h"
#include "Fixture.h"
#include "PromptScripts.h"
#include "SimRequestLog.h"
#include "SimState.h"

// The demo network with passwords that differ: the local node, the garage and
// the attic share one that is not the default, the study keeps its own, the
// office refuses every password, the lab is of another network and the
// neighbour's key hides it as "Network #1". The client's requests are logged.
inline const QString kDeskPw = QStringLiteral("desk-pw");
inline const QString kDefaultPw = QStringLiteral("kaldor");
inline const QString kStudyPw = QStringLiteral("study-2024");

inline void UsePasswordNetwork(const Fixture& f) {
    for (const char* node : {"local", "garage", "attic"}) {
        f.sim({"password", node, kDeskPw});
    }
    f.sim({"fault", "office", "refusePassword", "on"});
    f.sim({"request-log", "requests.log"});
}

// The password prompts of a walk over the whole password network: the local
// node, the office twice (a wrong guess, then given up) and the study. A
// prompt answered "silent:PW" types PW while the local node falls silent.
inline const QStringList kWalkTyped{kDeskPw, "guess", "", kStudyPw};

// A request as "VERB node pw=password" and its key or setting lines.
inline QString Req(const QString& verb, const QString& node, const QString& password,
                   const QString& lines = QString()) {
    return L{verb, node, "pw=" + password, lines}.join(' ').trimmed();
}
// The walk's request for a node's connections, and the check of a node.
inline QString Walk(const QString& node, const QString& password) {
    return Req("GET", node, password,
               "NET_ID_STR PLC_CONNECTION_MAC_ADDR PLC_CONNECTION_NET_ID_STR");
}
inline QString Check(const QString& node, const QString& password = kDeskPw) {
    return Req("GET", node, password, "NET_ID_STR");
}

// The client's requests since the last call, one line each, in order, in the
// form above read from the request file's bytes.
inline QStringList TakeRequests(const Fixture& f) {
    QFile log(f.workFile(QStringLiteral("requests.log")));
    QString error;
    const auto records = kaldorsim::readRequestLog(log.fileName(), &error);
    QStringList lines{error};
    for (const kaldorsim::LoggedRequest& r : records.value_or(QList<kaldorsim::LoggedRequest>())) {
        QString text =
            r.tool == QLatin1String("ihcp_client.exe") ? QString::fromLatin1(r.bytes) : "";
        lines << text.replace("\r\n.PASSWORD=", " pw=").replace("\r\n", " ").trimmed();
    }
    log.resize(0);
    lines.removeAll(QString());
    return lines;
}

// Selects nodes on the node page as a user would: the local one through its
// box, the others in the list, holding Ctrl from the second on.
inline void SelectNodes(const Fixture& f, const QStringList& macs) {
    for (int i = 0; i < macs.size(); ++i) {
        macs[i] == kLocal ? f.clickNodeBox(i > 0) : f.clickNodeEntry(f.rowOf(macs[i]), i > 0);
    }
}

// Discovers the password network from the welcome page, answering its prompts.
inline void DiscoverPasswordNetwork(Fixture& f) {
    UsePasswordNetwork(f);
    ScriptPrompts(f, kWalkTyped);
    f.click(W().frmBegin, "cmdNext");
    QCOMPARE(f.nodeLines().size(), 6);
    f.dialogs.boxes.clear();
    TakeRequests(f);
}
