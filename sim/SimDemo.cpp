#include "SimDemo.h"

#include "SimFirmware.h"
#include "SimModels.h"

namespace kaldorsim {

namespace {

const QString kHomeNet = QStringLiteral("KaldorHome");
const QString kHomeKey = QStringLiteral("HomeKey-2024");

QList<HostInterface> twoEthernetPorts() {
    return {{QStringLiteral("eth0"), QStringLiteral("Simulated Ethernet adapter 0")},
            {QStringLiteral("eth1"), QStringLiteral("Simulated Ethernet adapter 1")}};
}

Node demoNode(const QString& model, const QString& mac, const QString& label, const QString& netId,
              const QString& key) {
    Node n = factoryNode(model, mac, label);
    n.params[QStringLiteral("NET_ID_STR")] = netId;
    n.params[QStringLiteral("ENCRYPT_KEY_STR")] = key;
    return n;
}

void setIp(Node& n, const QString& address) {
    n.params[QStringLiteral("IP_ADDR")] = n.params[QStringLiteral("IP_ADDR_NVRAM")] = address;
}

// Firmware servers on the home network, each with a newer release for both
// models: FTP with a login, TFTP without.
QList<FileServer> demoFileServers() {
    const int payloadBytes = 1024;
    FileServer ftp{QStringLiteral("192.168.1.5"),
                   QStringLiteral("FTP"),
                   QStringLiteral("kaldor"),
                   QStringLiteral("firmware"),
                   2500,
                   true,
                   {}};
    ftp.files.insert(
        QStringLiteral("kpl200-2.5.0.img"),
        makeImage(kModelBasic, QStringLiteral("2.5.0"), ImageKind::Valid, payloadBytes));
    ftp.files.insert(QStringLiteral("kpl510a-3.2.0.img"),
                     makeImage(kModelAes, QStringLiteral("3.2.0"), ImageKind::Valid, payloadBytes));
    FileServer tftp = ftp;
    tftp.address = QStringLiteral("192.168.1.6");
    tftp.protocol = QStringLiteral("TFTP");
    tftp.user.clear();
    tftp.password.clear();
    return {ftp, tftp};
}

}  // namespace

Network demoNetwork() {
    Network net;
    net.interfaces = twoEthernetPorts();
    Node local = demoNode(kModelAes, QStringLiteral("020A1B000001"), QStringLiteral("local"),
                          kHomeNet, kHomeKey);
    local.hostInterface = 1;
    local.params[QStringLiteral("NODE_TYPE")] = QStringLiteral("AP");
    local.params[QStringLiteral("IP_CONFIG")] = local.params[QStringLiteral("IP_CONFIG_NVRAM")] =
        QStringLiteral("Fixed");
    setIp(local, QStringLiteral("192.168.1.10"));
    Node office = demoNode(kModelBasic, QStringLiteral("020A1B000002"), QStringLiteral("office"),
                           kHomeNet, kHomeKey);
    setIp(office, QStringLiteral("192.168.1.11"));
    Node garage = demoNode(kModelAes, QStringLiteral("020A1B000003"), QStringLiteral("garage"),
                           kHomeNet, kHomeKey);
    setIp(garage, QStringLiteral("192.168.1.12"));
    Node lab = demoNode(kModelBasic, QStringLiteral("020A1B000004"), QStringLiteral("lab"),
                        QStringLiteral("KaldorLab"), kHomeKey);
    setIp(lab, QStringLiteral("192.168.1.13"));
    Node neighbour =
        demoNode(kModelAes, QStringLiteral("020A1B000005"), QStringLiteral("neighbour"),
                 QStringLiteral("NeighbourNet"), QStringLiteral("Other-Secret-77"));
    neighbour.params[QStringLiteral("NODE_TYPE")] = QStringLiteral("AP");
    setIp(neighbour, QStringLiteral("192.168.7.20"));
    Node attic = demoNode(kModelBasic, QStringLiteral("020A1B000006"), QStringLiteral("attic"),
                          kHomeNet, kHomeKey);
    setIp(attic, QStringLiteral("192.168.1.14"));
    Node study = demoNode(kModelAes, QStringLiteral("020A1B000007"), QStringLiteral("study"),
                          kHomeNet, kHomeKey);
    study.password = QStringLiteral("study-2024");
    setIp(study, QStringLiteral("192.168.1.15"));

    // The attic is out of everyone's range but the garage's.
    attic.hears = QStringList{garage.mac};
    const QList<Node*> inRange{&local, &office, &garage, &lab, &neighbour, &study};
    for (Node* n : inRange) {
        QStringList heard;
        for (const Node* other : inRange) {
            if (other != n)
                heard << other->mac;
        }
        if (n == &garage)
            heard << attic.mac;
        n->hears = heard;
    }
    net.nodes = {local, office, garage, lab, neighbour, attic, study};
    net.fileServers = demoFileServers();
    return net;
}

Network generatedNetwork(int count) {
    Network net;
    net.interfaces = twoEthernetPorts();
    for (int i = 0; i < qMax(count, 1); ++i) {
        const QString model = i % 2 ? kModelBasic : kModelAes;
        const QString mac = QStringLiteral("020A1C%1").arg(i, 6, 16, QLatin1Char('0')).toUpper();
        net.nodes << demoNode(model, mac, QStringLiteral("node%1").arg(i),
                              QStringLiteral("Generated"), QStringLiteral("Generated-Key"));
    }
    net.nodes[0].hostInterface = 1;
    net.nodes[0].params[QStringLiteral("NODE_TYPE")] = QStringLiteral("AP");
    return net;
}

}  // namespace kaldorsim
