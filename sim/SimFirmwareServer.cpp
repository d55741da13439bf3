#include "SimFirmwareServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <optional>

#include "SimFirmware.h"
#include "SimSettings.h"
#include "SimStateFile.h"
#include "SimTopology.h"

namespace kaldorsim {

namespace {

// How often the server looks for a node that asks for the image.
const int kPollMs = 20;
// The image goes over the wire in this many pieces, in this simulated time.
const int kTransferSteps = 8;
const int kTransferMs = 1000;

ServerOutcome outcome(ServerCode code, const QString& text) {
    return ServerOutcome{code, text};
}

struct Firmware {
    QByteArray bytes;
    Image image;
};

std::optional<ServerOutcome> loadFirmware(const QString& path, Firmware& firmware) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return outcome(ServerCode::FileMissing, QStringLiteral("no file %1").arg(path));
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return outcome(ServerCode::FileUnreadable, QStringLiteral("cannot read %1").arg(path));
    firmware.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return outcome(ServerCode::FileUnreadable, QStringLiteral("cannot read %1").arg(path));
    firmware.image = readImage(firmware.bytes);
    switch (firmware.image.check) {
        case ImageCheck::Ok:
            return std::nullopt;
        case ImageCheck::BadMagic:
            return outcome(ServerCode::BadMagic,
                           QStringLiteral("the file is not a firmware image"));
        case ImageCheck::BadCrc:
            return outcome(ServerCode::BadCrc,
                           QStringLiteral("the image does not match its CRC-32"));
        case ImageCheck::Truncated:
            break;
    }
    return outcome(ServerCode::Truncated,
                   QStringLiteral("the image is shorter than its header says"));
}

// Where the server serves: the host interface and the served image.
struct Serving {
    QString statePath;
    int interfaceIndex = 0;
    Firmware firmware;
    qint64 windowMs = 0;
    qint64 stepMs = 0;
};

bool reachable(const Network& net, int interfaceIndex, const Node& node, qint64 nowMs) {
    const Node* local = hostNode(net, interfaceIndex, nowMs);
    return local && canReach(net, *local, node, nowMs);
}

bool inLoader(const Node& node, int interfaceIndex) {
    return node.loaderMode && node.powered && node.hostInterface == interfaceIndex;
}

bool asksForImage(const Network& net, const Node& node, int interfaceIndex, qint64 nowMs) {
    return node.firmware.stage == kJobWaitLayer2 &&
           nowMs - node.firmware.startedMs <= layer2WindowMs(net) &&
           reachable(net, interfaceIndex, node, nowMs);
}

struct Taker {
    QString mac;
    bool loader = false;
    bool wrongModel = false;
};

// The first node that wants the image now; it stops waiting for a server.
std::optional<Taker> takeImage(Network& net, const Serving& serving, qint64 nowMs) {
    for (Node& node : net.nodes) {
        const bool loader = inLoader(node, serving.interfaceIndex);
        if (!loader && !asksForImage(net, node, serving.interfaceIndex, nowMs))
            continue;
        const Image& image = serving.firmware.image;
        Taker taker{node.mac, loader, image.model != node.params.value(QStringLiteral("MODEL"))};
        node.firmware.stage.clear();
        node.params[QStringLiteral("FLUP_STATUS")] =
            taker.wrongModel ? failedStatus(QStringLiteral("the image is for %1").arg(image.model))
                             : QStringLiteral("downloading");
        node.params[QStringLiteral("FLUP_FILE_SIZE")] =
            QString::number(serving.firmware.bytes.size());
        node.params[QStringLiteral("FLUP_DOWNLOADED_SIZE")] = QStringLiteral("0");
        return taker;
    }
    return std::nullopt;
}

std::optional<Taker> waitForTaker(const Serving& serving, QString* error) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        std::optional<Taker> taker;
        const auto look = [&](Network& net, QString*) {
            taker = takeImage(net, serving, networkNow(net));
            return taker.has_value();
        };
        if (!updateNetworkFile(serving.statePath, look, error) || taker ||
            waited.elapsed() >= serving.windowMs)
            return taker;
        QThread::msleep(kPollMs);
    }
}

// One piece of the transfer; false when the node is gone or the link broke.
bool sendPiece(Network& net, const Serving& serving, const Taker& taker, int piece) {
    Node* node = findNode(net, taker.mac);
    const bool there =
        node && (taker.loader ? inLoader(*node, serving.interfaceIndex)
                              : reachable(net, serving.interfaceIndex, *node, networkNow(net)));
    if (!there)
        return false;
    if (node->faults.cutTransfer && piece > kTransferSteps / 2) {
        node->params[QStringLiteral("FLUP_STATUS")] =
            failedStatus(QStringLiteral("transfer interrupted"));
        return false;
    }
    const qint64 size = serving.firmware.bytes.size();
    node->params[QStringLiteral("FLUP_DOWNLOADED_SIZE")] =
        QString::number(size * piece / kTransferSteps);
    return true;
}

// The whole image is there: a loader starts the new firmware at once, a
// running node writes it to flash first.
void completeTransfer(Network& net, const Serving& serving, const Taker& taker) {
    Node* node = findNode(net, taker.mac);
    const QString version = serving.firmware.image.version;
    if (taker.loader) {
        node->loaderMode = false;
        node->firmware.flashedVersion = version;
        hardwareReset(net, *node, networkNow(net));
        return;
    }
    node->firmware.stage = kJobFlashLayer2;
    node->firmware.startedMs = networkNow(net);
    node->firmware.imageVersion = version;
}

ServerOutcome transfer(const Serving& serving, const Taker& taker) {
    for (int piece = 1; piece <= kTransferSteps; ++piece) {
        QThread::msleep(ulong(serving.stepMs));
        bool sent = false;
        QString error;
        const auto send = [&](Network& net, QString*) {
            sent = sendPiece(net, serving, taker, piece);
            if (sent && piece == kTransferSteps)
                completeTransfer(net, serving, taker);
            return true;
        };
        if (!updateNetworkFile(serving.statePath, send, &error) || !sent)
            return outcome(ServerCode::Interrupted,
                           QStringLiteral("the transfer to %1 broke off").arg(taker.mac));
    }
    return outcome(ServerCode::Success, QStringLiteral("firmware %1 for %2 taken by %3")
                                            .arg(serving.firmware.image.version,
                                                 serving.firmware.image.model, taker.mac));
}

std::optional<ServerOutcome> findInterface(const QString& argument, Serving& serving) {
    bool isNumber = false;
    serving.interfaceIndex = argument.toInt(&isNumber);
    QString error;
    const std::optional<Network> net = readNetworkFile(serving.statePath, &error);
    if (!net)
        return outcome(ServerCode::NoInterface, error);
    if (!isNumber || serving.interfaceIndex < 0 || serving.interfaceIndex >= net->interfaces.size())
        return outcome(ServerCode::NoInterface,
                       QStringLiteral("no interface number '%1'").arg(argument));
    serving.windowMs = layer2WindowMs(*net);
    serving.stepMs = scaledMs(*net, kTransferMs) / kTransferSteps;
    return std::nullopt;
}

}  // namespace

ServerOutcome serveFirmware(const QStringList& arguments) {
    Serving serving;
    serving.statePath = networkFilePath();
    if (std::optional<ServerOutcome> failed = loadFirmware(arguments.value(0), serving.firmware))
        return *failed;
    if (std::optional<ServerOutcome> failed = findInterface(arguments.value(1), serving))
        return *failed;
    QString error;
    const std::optional<Taker> taker = waitForTaker(serving, &error);
    if (!error.isEmpty())
        return outcome(ServerCode::Interrupted, error);
    if (!taker)
        return outcome(ServerCode::NoTaker,
                       QStringLiteral("no node took the image within %1 ms").arg(serving.windowMs));
    if (taker->wrongModel)
        return outcome(ServerCode::WrongModel, QStringLiteral("%1 refused an image for %2")
                                                   .arg(taker->mac, serving.firmware.image.model));
    return transfer(serving, *taker);
}

}  // namespace kaldorsim
