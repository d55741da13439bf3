#pragma once

// Firmware of the simulated nodes: the image format, what a node does with a
// layer-2 upgrade or with an update order for an FTP or TFTP server, and the
// simulated file servers.
//
// A node's firmware work follows the network's clock, scaled by the time
// scale: it is brought up to date whenever the node answers a read, so its
// course depends on the time the assistant lets pass between its polls (in
// tests, the pauses that move the clock on), not on how often it polls.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "SimNetwork.h"

namespace kaldorsim {

// Image layout, all numbers big-endian:
//   magic       8 bytes  "KLDRFW01"
//   model      16 bytes  model name, UTF-8, padded with NUL bytes
//   version    16 bytes  version text, the same way
//   length      4 bytes  payload length
//   crc         4 bytes  CRC-32 (IEEE 802.3) of the payload
//   payload     length bytes
inline constexpr int kImageHeaderSize = 48;

// Deliberately broken images for tests and demonstrations.
enum class ImageKind { Valid, BadMagic, BadCrc, Truncated, WrongModel };
QStringList imageKindNames();  // "valid", "bad-magic", "bad-crc", "truncated", "wrong-model"
std::optional<ImageKind> imageKindByName(const QString& name);

// An image of `payloadSize` bytes for `model` and `version`. WrongModel names
// another catalogue model in the header.
QByteArray makeImage(const QString& model, const QString& version,
                     ImageKind kind = ImageKind::Valid, int payloadSize = 2048);

enum class ImageCheck { Ok, BadMagic, BadCrc, Truncated };

struct Image {
    ImageCheck check = ImageCheck::BadMagic;
    QString model;
    QString version;
    quint32 payloadSize = 0;
};

// Reads and checks an image. Bytes after the declared payload are ignored.
Image readImage(const QByteArray& bytes);

quint32 crc32(QByteArrayView bytes);

// The node's side of FLUP_L2_OK=Ok: it asks for a layer-2 server on its cable.
void requestLayer2Server(Node& node, qint64 nowMs);

// Real time a layer-2 server serves, and a node waits for one (network time).
qint64 layer2WindowMs(const Network& net);

// The node's side of an accepted update order (FLUP_OK=Ok): it starts to
// fetch FLUP_FILENAME from the server at FLUP_IP_ADDR.
void startFileUpdate(Node& node, qint64 nowMs);

// Brings the node's firmware work up to the network time `nowMs`. True when
// the node changed.
bool advanceFirmware(const Network& net, Node& node, qint64 nowMs);

// The node restarts: firmware written to flash runs from now on, and work
// under way is dropped.
void restartFirmware(Node& node);

// The status text of a node whose firmware work failed.
QString failedStatus(const QString& reason);

// Simulated FTP and TFTP servers, changed from the command line.
FileServer* findFileServer(Network& net, const QString& address);
bool addFileServer(Network& net, const QString& address, const QString& protocol,
                   const QString& user, const QString& password, QString* error);
bool putServerFile(Network& net, const QString& address, const QString& name,
                   const QByteArray& bytes, QString* error);
bool setFileServerOption(Network& net, const QString& address, const QString& option,
                         const QString& value, QString* error);

}  // namespace kaldorsim
