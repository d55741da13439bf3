#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "Discovery.h"

// One line of the network overview: what a node reported about itself, or
// why it reported nothing.
struct OverviewRow {
    enum class State { Answered, OtherNetwork, NoAnswer, Refused, NotRead };
    QString alias;
    QString mac;
    QString networkId;
    QString model;
    QString firmware;
    QString nodeType;
    State state = State::NotRead;
};

// Reads one node with the password it answered to during discovery (the
// connected node's password when it answered to none). A node of another
// network than the connected one is not asked; its row keeps what the node
// list showed.
OverviewRow ReadOverviewRow(const FoundNode& node);

// Reads the nodes in order, moving the status window's bar and message. Before
// each node after the first, stopRequested is asked; once it says yes, the
// remaining nodes are listed as not read.
QList<OverviewRow> ReadOverview(const QList<FoundNode>& nodes,
                                const std::function<bool()>& stopRequested);

// The rows as a CSV document: the heading line, then one line per row, fields
// quoted where they hold a comma, a quote or a line break, lines ending in
// CR LF, UTF-8.
QByteArray OverviewCsv(const QStringList& headings, const QList<QStringList>& rows);

// Writes the bytes to the file in one step: the old file stays whole until
// the new one is complete. False, after telling the user, when it fails.
bool SaveWholeFile(const QString& path, const QByteArray& bytes);
