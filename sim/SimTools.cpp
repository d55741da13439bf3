#include "SimTools.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <cstdio>

#include "SimClient.h"
#include "SimFirmwareServer.h"
#include "SimRequestLog.h"
#include "SimStateFile.h"
#include "SimTopology.h"

namespace kaldorsim {

namespace {

const qint64 kMaxRequestBytes = 1024 * 1024;

void complain(const QString& text) {
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// A log that cannot be written costs the test its record, never the tool its answer.
void logRequest(const Network& net, const QString& tool, const QString& file,
                const QByteArray& bytes) {
    QString error;
    if (!appendRequestLog(net, networkFilePath(), LoggedRequest{networkNow(net), tool, file, bytes},
                          &error))
        complain(error);
}

// Result files may carry passwords, so only the user may read them.
bool writeResultFile(const QString& name, const ToolOutput& output) {
    if (output.delayMs > 0)
        QThread::msleep(ulong(output.delayMs));
    if (!output.writeFile)
        return true;
    QFile file(name);
    QFile::remove(name);
    const bool written =
        file.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
        file.write(output.bytes) == output.bytes.size();
    if (!written)
        complain(QStringLiteral("cannot write %1: %2").arg(name, file.errorString()));
    return written;
}

QStringList interfaceLines(const Network& net) {
    QStringList lines;
    for (const HostInterface& i : net.interfaces)
        lines << i.name + QLatin1Char(' ') + i.description;
    return lines;
}

bool readRequest(const QString& path, QByteArray* bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error =
            QStringLiteral("cannot read the request file %1 (%2)").arg(path, file.errorString());
        return false;
    }
    *bytes = file.read(kMaxRequestBytes + 1);
    if (bytes->size() > kMaxRequestBytes) {
        *error = QStringLiteral("the request file %1 is larger than 1 MB").arg(path);
        return false;
    }
    return true;
}

// Arguments: the request path, then "-i" and the interface name.
bool parseClientArguments(const QStringList& arguments, QString* requestPath,
                          QString* interfaceName) {
    if (arguments.size() != 3 || arguments.at(1) != QStringLiteral("-i"))
        return false;
    *requestPath = arguments.at(0);
    *interfaceName = arguments.at(2);
    return true;
}

ToolOutput answerClient(const QString& requestPath, const QString& interfaceName) {
    QByteArray request;
    QString error;
    if (!readRequest(requestPath, &request, &error))
        return ToolOutput{errorResponse(error)};
    ClientAnswer answer;
    const auto answerOnNetwork = [&](Network& net, QString*) {
        logRequest(net, QStringLiteral("ihcp_client.exe"), QFileInfo(requestPath).fileName(),
                   request);
        answer = answerRequest(net, request, interfaceName, networkNow(net));
        return answer.stateChanged;
    };
    if (!updateNetworkFile(networkFilePath(), answerOnNetwork, &error))
        return ToolOutput{errorResponse(error)};
    return answer.output;
}

}  // namespace

QStringList toolArguments(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QByteArray discoveryText(const Network& net, qint64 nowMs) {
    for (int i = 0; i < net.interfaces.size(); ++i) {
        const Node* local = hostNode(net, i, nowMs);
        if (local && !local->faults.noAnswer)
            return crlfText(QStringList{local->mac, QString::number(i),
                                        local->params.value(QStringLiteral("MODEL")) +
                                            QLatin1Char(' ') +
                                            local->params.value(QStringLiteral("VER"))} +
                            interfaceLines(net));
    }
    return crlfText(QStringList{QStringLiteral("E")} + interfaceLines(net));
}

int runClientTool(const QStringList& arguments) {
    QString requestPath;
    QString interfaceName;
    if (!parseClientArguments(arguments, &requestPath, &interfaceName)) {
        const QString usage = QStringLiteral("usage: ihcp_client.exe \"<request file>\" -i eth<N>");
        complain(usage);
        writeResultFile(QStringLiteral("ihcp_client.tmp"), ToolOutput{errorResponse(usage)});
        return 2;
    }
    const bool written = writeResultFile(QStringLiteral("ihcp_client.tmp"),
                                         answerClient(requestPath, interfaceName));
    return written ? 0 : 1;
}

int runDiscoverTool() {
    QString error;
    std::optional<Network> net;
    const auto discover = [&net](Network& state, QString*) {
        logRequest(state, QStringLiteral("MacDiscover.exe"), {}, {});
        net = state;
        return false;
    };
    if (!updateNetworkFile(networkFilePath(), discover, &error)) {
        complain(error);
        writeResultFile(QStringLiteral("macdiscover.tmp"),
                        ToolOutput{crlfText({QStringLiteral("E")})});
        return 1;
    }
    const ToolOutput output =
        shapeOutput(discoveryText(*net, networkNow(*net)), net->discoverFaults);
    return writeResultFile(QStringLiteral("macdiscover.tmp"), output) ? 0 : 1;
}

int runFirmwareServerTool(const QStringList& arguments) {
    QString error;
    const auto log = [&arguments](Network& net, QString*) {
        logRequest(net, QStringLiteral("winl2fwserver.exe"), {},
                   arguments.join(QLatin1Char(' ')).toUtf8());
        return false;
    };
    updateNetworkFile(networkFilePath(), log, &error);  // an unreadable network: answered below
    const ServerOutcome outcome = serveFirmware(arguments);
    const int code = int(outcome.code);
    if (outcome.code != ServerCode::Success)
        complain(QLatin1String("winl2fwserver.exe: ") + outcome.text);
    const QString line = QString::number(code) + QLatin1Char(' ') + outcome.text;
    const bool written =
        writeResultFile(QStringLiteral("winl2fwserver.tmp"), ToolOutput{crlfText({line})});
    return written ? code : 10;
}

}  // namespace kaldorsim
