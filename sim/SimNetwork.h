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
    qint64 restartUntilMs = 0;         // real time (ms since the epoch) the node is back
    std::optional<QStringList> hears;  // MACs this node hears; no value: every node
    Faults faults;
    Parameters params;
};

struct Network {
    double timeScale = 1.0;             // real duration = simulated duration * timeScale
    QString networkChangeAnswer = "3";  // first line of a POST that moved a node to another network
    QList<HostInterface> interfaces;
    Faults discoverFaults;
    QList<Node> nodes;
};

// The node whose MAC (any letter case) or label is `name`, or nullptr.
Node* findNode(Network& net, const QString& name);
const Node* findNode(const Network& net, const QString& name);

// Powered, working firmware and not in the middle of a restart.
bool isOnline(const Node& node, qint64 nowMs);

bool isMacAddress(const QString& text);

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
