#pragma once

// The simulated powerline network: the host's Ethernet interfaces and the
// nodes, each with its parameters, passwords, power state and fault knobs.
// Plain records; the state file is their JSON form.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace kaldorsim {

// Misbehaviours a node (or the discovery tool) can be told to show, so that
// the assistant can be tested against every kind of bad answer.
struct Faults {
    bool noAnswer = false;        // the node stays silent: the client reports a time-out
    int delayMs = 0;              // the answer comes this many real milliseconds late
    bool refusePassword = false;  // every password is refused
    bool noResponse = false;      // the tool writes no response file at all
    int truncateAt = -1;          // the response is cut after this many bytes (-1: off)
    bool garbage = false;         // the response is replaced by binary noise
    int hugeMb = 0;               // the response is padded to this many megabytes
    bool nulByte = false;         // the first line carries a NUL byte
    bool invalidUtf8 = false;     // the first line carries bytes that are not UTF-8
    bool cutTransfer = false;     // a firmware transfer to the node breaks off halfway
    bool flashFails = false;      // firmware written to the node fails its check
};

// A firmware update under way on a node, the time its stage began, and the
// firmware it runs after its next restart.
// Asked for a layer-2 server.
inline const QString kJobWaitLayer2 = QStringLiteral("wait-layer2");
// Writes a layer-2 image to flash.
inline const QString kJobFlashLayer2 = QStringLiteral("flash-layer2");
// Fetches a file from a file server.
inline const QString kJobFetch = QStringLiteral("fetch");

struct FirmwareJob {
    QString stage;           // one of the kJob stages; empty when none is under way
    qint64 startedMs = 0;    // network time the stage began
    QString imageVersion;    // version of the image being written (layer 2)
    QString flashedVersion;  // written to flash; runs after the next restart
};

// An FTP or TFTP server that nodes can fetch firmware from.
struct FileServer {
    QString address;
    QString protocol;  // "FTP" or "TFTP"
    QString user;      // FTP login
    QString password;
    int connectMs = 2500;       // simulated time a node spends reaching the server
    bool announcesSize = true;  // tells the file size before the transfer
    QMap<QString, QByteArray> files;
};

struct HostInterface {
    QString name;
    QString description;
};

using Parameters = QMap<QString, QString>;

struct Node {
    QString mac;    // 12 hexadecimal digits, upper case
    QString label;  // a short name for people; the command line accepts it in place of the MAC
    int hostInterface = -1;  // index of the host interface the node is cabled to, -1 for none
    bool powered = true;
    bool loaderMode = false;  // broken firmware: only a loader upgrade revives the node
    QString password;
    QString factoryPassword;
    int restartMs = 0;                 // simulated time a hardware reset takes
    int factoryResetRestartMs = 0;     // simulated time a factory reset takes
    qint64 restartUntilMs = 0;         // network time (ms since the epoch) the node is back
    qint64 settleUntilMs = 0;          // network time the node answers again after new settings
    std::optional<QStringList> hears;  // MACs this node hears; no value: every node
    Faults faults;
    Parameters params;
    FirmwareJob firmware;
};

struct Network {
    double timeScale = 1.0;  // real duration = simulated duration * timeScale
    // Added to the real time wherever the network reads the time, so that a
    // test can let time pass without waiting for it.
    qint64 clockOffsetMs = 0;
    // First line of a POST that moved a node to another network.
    QString networkChangeAnswer = QStringLiteral("3");
    // Where the tools log the requests they receive; relative to the state
    // file's folder; empty: no log.
    QString requestLog;
    // Simulated time a node stays silent after it took new network settings.
    int settleMs = 0;
    QList<HostInterface> interfaces;
    Faults discoverFaults;
    QList<Node> nodes;
    QList<FileServer> fileServers;
};

// The node whose MAC (any letter case) or label is `name`, or nullptr.
Node* findNode(Network& net, const QString& name);
const Node* findNode(const Network& net, const QString& name);

// The network's time: real milliseconds since the epoch plus its clock offset.
qint64 networkNow(const Network& net);

// Powered, working firmware, not in the middle of a restart and not
// settling after new network settings.
bool isOnline(const Node& node, qint64 nowMs);

bool isMacAddress(const QString& text);

// About three centuries: far beyond any test, and the time stays a JSON number.
inline constexpr qint64 kMaxClockOffsetMs = qint64(1e13);

// Time scales beyond this would push restart times past any calendar.
inline constexpr double kMaxTimeScale = 1e6;
bool isTimeScale(double factor);

// Real milliseconds a simulated duration takes in this network.
qint64 scaledMs(const Network& net, int simulatedMs);

QByteArray networkToJson(const Network& net);
std::optional<Network> networkFromJson(const QByteArray& json, QString* error);

// The names of the fault knobs, as the state file and the command line spell them.
QStringList faultKnobNames();
bool setFaultKnob(Faults& faults, const QString& knob, const QString& value, QString* error);

}  // namespace kaldorsim
