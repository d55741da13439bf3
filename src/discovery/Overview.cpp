#include "Overview.h"

#include <QDir>

#include "app/Application.h"
#include "app/Seams.h"
#include "app/TextFiles.h"
#include "channel/Requests.h"
#include "channel/Response.h"
#include "channel/ToolRun.h"
#include "lang/Catalogue.h"
#include "ui/Status.h"

namespace {

// A row with what the node list knows of the node.
OverviewRow ListedRow(const FoundNode& node, OverviewRow::State state) {
    OverviewRow row;
    row.alias = LookupAlias(node.mac);
    row.mac = node.mac;
    row.networkId = node.networkId;
    row.state = state;
    return row;
}

QString ResponseValue(const char* key) {
    return ReadKeyValue(Session().ResponseFile, QString::fromLatin1(key)).value_or(QString());
}

}  // namespace

OverviewRow ReadOverviewRow(const FoundNode& node) {
    const SessionState& s = Session();
    if (!node.local && !node.networkId.isEmpty() && node.networkId != s.LocalNetworkId) {
        return ListedRow(node, OverviewRow::State::OtherNetwork);
    }
    const QString password = node.password.isEmpty() ? s.LocalPassword : node.password;
    if (!WriteGetRequest(
            {QStringLiteral("NET_ID_STR"), QStringLiteral("MODEL"), QStringLiteral("VER"),
             QStringLiteral("NODE_TYPE"), QStringLiteral("NULL")},
            node.mac, password)) {
        return ListedRow(node, OverviewRow::State::NotRead);
    }
    RunClient(s.GetRequestFile);
    if (!ResponseStartsWith(QStringLiteral("INFO"))) {
        return ListedRow(node, ResponseStartsWith(QStringLiteral("2"))
                                   ? OverviewRow::State::Refused
                                   : OverviewRow::State::NoAnswer);
    }
    OverviewRow row = ListedRow(node, OverviewRow::State::Answered);
    // The node's own answer replaces what the list showed at discovery.
    row.networkId = ResponseValue("NET_ID_STR");
    row.model = ResponseValue("MODEL");
    row.firmware = ResponseValue("VER");
    row.nodeType = ResponseValue("NODE_TYPE");
    return row;
}

QList<OverviewRow> ReadOverview(const QList<FoundNode>& nodes,
                                const std::function<bool()>& stopRequested) {
    const QString reading = GetTextOr(QStringLiteral("lblOvReading"), QStringLiteral("Reading"));
    QList<OverviewRow> rows;
    bool stopped = false;
    for (qsizetype i = 0; i < nodes.size(); ++i) {
        stopped = stopped || (i > 0 && stopRequested());
        if (stopped) {
            rows.append(ListedRow(nodes[i], OverviewRow::State::NotRead));
            continue;
        }
        SetStatusMessage(reading + QLatin1Char(' ') + NodeName(nodes[i].mac));
        SetProgress(static_cast<int>(i), static_cast<int>(nodes.size()));
        rows.append(ReadOverviewRow(nodes[i]));
    }
    return rows;
}

namespace {

QString CsvField(const QString& field) {
    static const QString special = QStringLiteral(",\"\r\n");
    const bool quoted =
        std::any_of(field.begin(), field.end(), [](QChar c) { return special.contains(c); });
    if (!quoted) {
        return field;
    }
    QString escaped = field;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

QString CsvLine(const QStringList& fields) {
    QStringList quoted;
    for (const QString& field : fields) {
        quoted.append(CsvField(field));
    }
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

}  // namespace

QByteArray OverviewCsv(const QStringList& headings, const QList<QStringList>& rows) {
    QString text = CsvLine(headings);
    for (const QStringList& row : rows) {
        text += CsvLine(row);
    }
    return text.toUtf8();
}

bool SaveWholeFile(const QString& path, const QByteArray& bytes) {
    if (!ReplaceFileBytes(path, bytes)) {
        MsgBox(WriteFailedText(QDir::toNativeSeparators(path)), MsgIcon::Exclamation);
        return false;
    }
    return true;
}
