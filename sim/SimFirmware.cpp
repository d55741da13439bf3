#include "SimFirmware.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <array>

#include "SimModels.h"

namespace kaldorsim {

namespace {

const QByteArray kMagic = "KLDRFW01";
const int kTextField = 16;

// A node erases its flash for this simulated time, then writes a layer-2
// image at this rate.
const int kEraseMs = 3000;
const qint64 kFlashBytesPerSecond = 32 * 1024;
// A node fetches a file from a file server in this many steps of this
// simulated time each, once it has reached the server.
const int kFetchSteps = 4;
const int kFetchStepMs = 5000;
// Simulated time a node looks for a server that is not there.
const int kNoServerMs = 12500;
// Simulated time a layer-2 server serves, and a node waits for one.
const int kLayer2WindowMs = 60000;
// Below this real time the server could miss the client started right after it
// on a loaded machine (or under a sanitizer, where every start is slower).
const qint64 kMinLayer2WindowMs = 5000;

const QString kStatusInitial = QStringLiteral("initial");
const QString kStatusDownloading = QStringLiteral("downloading");
const QString kStatusFinished = QStringLiteral("finished");

QByteArray textField(const QString& text) {
    QByteArray bytes = text.toUtf8().left(kTextField);
    return bytes + QByteArray(kTextField - bytes.size(), '\0');
}

QString fieldText(QByteArrayView field) {
    const qsizetype end = field.indexOf('\0');
    return QString::fromUtf8(end < 0 ? field : field.first(end));
}

QByteArray bigEndian(quint32 value) {
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// The same bytes for the same model and version on every run.
QByteArray payloadFor(const QString& model, const QString& version, int size) {
    QRandomGenerator generator(qHash(QString(model + QLatin1Char('/') + version)));
    QByteArray payload(qMax(size, 0), '\0');
    for (char& c : payload)
        c = char(generator.bounded(256));
    return payload;
}

QString otherModel(const QString& model) {
    return model == kModelBasic ? kModelAes : kModelBasic;
}

void setSizes(Node& node, qint64 fileSize, qint64 downloaded) {
    node.params[QStringLiteral("FLUP_FILE_SIZE")] = QString::number(fileSize);
    node.params[QStringLiteral("FLUP_DOWNLOADED_SIZE")] = QString::number(downloaded);
}

void endJob(Node& node, const QString& status) {
    node.params[QStringLiteral("FLUP_STATUS")] = status;
    const QString flashed = node.firmware.flashedVersion;
    node.firmware = FirmwareJob{};
    node.firmware.flashedVersion = flashed;
}

// The image is in flash; it runs after the next restart when it is firmware.
void finishFlash(Node& node, const QString& version, bool firmwareSection) {
    if (node.faults.flashFails) {
        endJob(node, failedStatus(QStringLiteral("flash write error")));
        return;
    }
    if (firmwareSection)
        node.firmware.flashedVersion = version;
    endJob(node, kStatusFinished);
}

QString flashOffset(const QString& section) {
    if (section == QStringLiteral("Bootloader"))
        return QStringLiteral("0");
    return section == QStringLiteral("Configuration") ? QStringLiteral("4128768")
                                                      : QStringLiteral("262144");
}

// Whole steps of `stepMs` simulated milliseconds within `elapsedMs` of the
// network's time, at most `steps`; all of them when steps take no time.
int stepsWithin(const Network& net, qint64 elapsedMs, int stepMs, int steps) {
    const qint64 step = scaledMs(net, stepMs);
    return step <= 0 ? steps : int(qMin<qint64>(steps, elapsedMs / step));
}

bool flashStep(const Network& net, Node& node, qint64 nowMs) {
    const qint64 size = node.params.value(QStringLiteral("FLUP_FILE_SIZE")).toLongLong();
    const int flashMs = int(kEraseMs + size * 1000 / kFlashBytesPerSecond);
    if (nowMs - node.firmware.startedMs < scaledMs(net, flashMs))
        return false;
    finishFlash(node, node.firmware.imageVersion, true);
    return true;
}

const FileServer* serverFor(const Network& net, const Node& node) {
    const QString address = node.params.value(QStringLiteral("FLUP_IP_ADDR"));
    const QString protocol = node.params.value(QStringLiteral("FLUP_PROTOCOL"));
    for (const FileServer& s : net.fileServers) {
        if (s.address == address && s.protocol == protocol)
            return &s;
    }
    return nullptr;
}

// Why the node cannot fetch the file from the server, or nothing.
std::optional<QString> fetchRefusal(const FileServer& server, const Node& node, int step) {
    const Parameters& p = node.params;
    const QString name = p.value(QStringLiteral("FLUP_FILENAME"));
    if (server.protocol == QStringLiteral("FTP") &&
        (p.value(QStringLiteral("FLUP_LOGIN")) != server.user ||
         p.value(QStringLiteral("FLUP_PASSWORD")) != server.password))
        return QStringLiteral("the FTP server refused the login of '%1'")
            .arg(p.value(QStringLiteral("FLUP_LOGIN")));
    if (!server.files.contains(name))
        return QStringLiteral("the server has no file named '%1'").arg(name);
    if (node.faults.cutTransfer && step > kFetchSteps / 2)
        return QStringLiteral("transfer interrupted");
    return std::nullopt;
}

bool fetchStep(const Network& net, Node& node, qint64 nowMs) {
    const FileServer* server = serverFor(net, node);
    const qint64 connecting = scaledMs(net, server ? server->connectMs : kNoServerMs);
    const qint64 elapsed = nowMs - node.firmware.startedMs;
    if (elapsed < connecting)
        return false;
    const Parameters& p = node.params;
    if (!server) {
        endJob(node, failedStatus(QStringLiteral("no %1 server answers at %2")
                                      .arg(p.value(QStringLiteral("FLUP_PROTOCOL")),
                                           p.value(QStringLiteral("FLUP_IP_ADDR")))));
        return true;
    }
    const int step = stepsWithin(net, elapsed - connecting, kFetchStepMs, kFetchSteps);
    if (const std::optional<QString> refusal = fetchRefusal(*server, node, step)) {
        endJob(node, failedStatus(*refusal));
        return true;
    }
    const QByteArray& file = server->files.value(p.value(QStringLiteral("FLUP_FILENAME")));
    const bool done = step == kFetchSteps;
    setSizes(node, server->announcesSize || done ? file.size() : 0,
             file.size() * step / kFetchSteps);
    if (!done) {
        node.params[QStringLiteral("FLUP_STATUS")] = kStatusDownloading;
        return true;
    }
    const Image image = readImage(file);
    const QString model = p.value(QStringLiteral("MODEL"));
    if (image.check != ImageCheck::Ok || image.model != model) {
        endJob(node, failedStatus(QStringLiteral("'%1' is not a valid firmware image for %2")
                                      .arg(p.value(QStringLiteral("FLUP_FILENAME")), model)));
        return true;
    }
    finishFlash(node, image.version,
                p.value(QStringLiteral("FLUP_SECTION")) == QStringLiteral("Firmware"));
    return true;
}

bool waitStep(const Network& net, Node& node, qint64 nowMs) {
    if (nowMs - node.firmware.startedMs <= layer2WindowMs(net))
        return false;
    endJob(node, failedStatus(QStringLiteral("no layer-2 firmware server answered")));
    return true;
}

}  // namespace

QStringList imageKindNames() {
    return {QStringLiteral("valid"), QStringLiteral("bad-magic"), QStringLiteral("bad-crc"),
            QStringLiteral("truncated"), QStringLiteral("wrong-model")};
}

std::optional<ImageKind> imageKindByName(const QString& name) {
    const qsizetype index = imageKindNames().indexOf(name);
    if (index < 0)
        return std::nullopt;
    return static_cast<ImageKind>(index);
}

quint32 crc32(QByteArrayView bytes) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : bytes)
        crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray makeImage(const QString& model, const QString& version, ImageKind kind,
                     int payloadSize) {
    const QByteArray payload = payloadFor(model, version, payloadSize);
    quint32 crc = crc32(payload);
    if (kind == ImageKind::BadCrc)
        crc = ~crc;
    QByteArray image = kind == ImageKind::BadMagic ? QByteArray("NOTANIMG") : kMagic;
    image += textField(kind == ImageKind::WrongModel ? otherModel(model) : model);
    image += textField(version);
    image += bigEndian(quint32(payload.size()));
    image += bigEndian(crc);
    image += payload;
    if (kind == ImageKind::Truncated)
        image.chop(payload.size() / 2 + 1);
    return image;
}

Image readImage(const QByteArray& bytes) {
    Image image;
    if (bytes.isEmpty() || !(bytes.startsWith(kMagic) || kMagic.startsWith(bytes)))
        return image;
    image.check = ImageCheck::Truncated;
    if (bytes.size() < kImageHeaderSize)
        return image;
    const QByteArrayView header(bytes.constData(), kImageHeaderSize);
    image.model = fieldText(header.sliced(8, kTextField));
    image.version = fieldText(header.sliced(24, kTextField));
    image.payloadSize = qFromBigEndian<quint32>(header.data() + 40);
    const quint32 crc = qFromBigEndian<quint32>(header.data() + 44);
    if (quint64(bytes.size() - kImageHeaderSize) < image.payloadSize)
        return image;
    const bool crcMatches =
        crc32(QByteArrayView(bytes).sliced(kImageHeaderSize, image.payloadSize)) == crc;
    image.check = crcMatches ? ImageCheck::Ok : ImageCheck::BadCrc;
    return image;
}

void requestLayer2Server(Node& node, qint64 nowMs) {
    node.firmware.stage = kJobWaitLayer2;
    node.firmware.startedMs = nowMs;
    node.params[QStringLiteral("FLUP_STATUS")] = kStatusInitial;
    setSizes(node, 0, 0);
}

qint64 layer2WindowMs(const Network& net) {
    return qMax(scaledMs(net, kLayer2WindowMs), kMinLayer2WindowMs);
}

void startFileUpdate(Node& node, qint64 nowMs) {
    node.firmware.stage = kJobFetch;
    node.firmware.startedMs = nowMs;
    node.params[QStringLiteral("FLUP_STATUS")] = kStatusInitial;
    node.params[QStringLiteral("FLUP_FLASH_OFFSET")] =
        flashOffset(node.params.value(QStringLiteral("FLUP_SECTION")));
    setSizes(node, 0, 0);
}

bool advanceFirmware(const Network& net, Node& node, qint64 nowMs) {
    const QString& stage = node.firmware.stage;
    if (stage == kJobWaitLayer2)
        return waitStep(net, node, nowMs);
    if (stage == kJobFlashLayer2)
        return flashStep(net, node, nowMs);
    if (stage == kJobFetch)
        return fetchStep(net, node, nowMs);
    return false;
}

void restartFirmware(Node& node) {
    if (!node.firmware.flashedVersion.isEmpty())
        node.params[QStringLiteral("VER")] = node.firmware.flashedVersion;
    node.firmware = FirmwareJob{};
    node.params[QStringLiteral("FLUP_STATUS")] = QStringLiteral("idle");
    setSizes(node, 0, 0);
}

QString failedStatus(const QString& reason) {
    return QLatin1String("failed: ") + reason;
}

FileServer* findFileServer(Network& net, const QString& address) {
    for (FileServer& s : net.fileServers) {
        if (s.address == address)
            return &s;
    }
    return nullptr;
}

bool addFileServer(Network& net, const QString& address, const QString& protocol,
                   const QString& user, const QString& password, QString* error) {
    if (address.isEmpty() || address.contains(QLatin1Char(' '))) {
        *error = QStringLiteral("'%1' is not a server address").arg(address);
        return false;
    }
    if (protocol != QStringLiteral("FTP") && protocol != QStringLiteral("TFTP")) {
        *error = QStringLiteral("the protocol must be FTP or TFTP");
        return false;
    }
    if (protocol == QStringLiteral("TFTP") && !(user.isEmpty() && password.isEmpty())) {
        *error = QStringLiteral("a TFTP server has no login");
        return false;
    }
    FileServer* server = findFileServer(net, address);
    if (!server) {
        net.fileServers.append(FileServer{});
        server = &net.fileServers.last();
    }
    // A server set up again keeps its files.
    server->address = address;
    server->protocol = protocol;
    server->user = user;
    server->password = password;
    return true;
}

bool putServerFile(Network& net, const QString& address, const QString& name,
                   const QByteArray& bytes, QString* error) {
    FileServer* server = findFileServer(net, address);
    if (!server) {
        *error = QStringLiteral("no file server at '%1'").arg(address);
        return false;
    }
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        *error = QStringLiteral("'%1' is not a file name without folders").arg(name);
        return false;
    }
    server->files.insert(name, bytes);
    return true;
}

bool setFileServerOption(Network& net, const QString& address, const QString& option,
                         const QString& value, QString* error) {
    FileServer* server = findFileServer(net, address);
    if (!server) {
        *error = QStringLiteral("no file server at '%1'").arg(address);
        return false;
    }
    bool ok = false;
    if (option == QStringLiteral("connectMs")) {
        const int ms = value.toInt(&ok);
        ok = ok && ms >= 0 && ms <= 3600000;
        if (ok)
            server->connectMs = ms;
    } else if (option == QStringLiteral("announcesSize")) {
        ok = value == QStringLiteral("on") || value == QStringLiteral("off");
        if (ok)
            server->announcesSize = value == QStringLiteral("on");
    } else {
        *error = QStringLiteral("unknown file server option '%1' (connectMs, announcesSize)")
                     .arg(option);
        return false;
    }
    if (!ok)
        *error = option == QStringLiteral("connectMs")
                     ? QStringLiteral("connectMs takes 0 to 3600000 milliseconds")
                     : QStringLiteral("announcesSize takes on or off");
    return ok;
}

}  // namespace kaldorsim
