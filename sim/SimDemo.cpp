#include "SimDemo.h"

#include "SimFirmware.h"
#include "SimModels.h"

namespace kaldorsim {

namespace {

const QString kHomeNet = "KaldorHome";
const QString kHomeKey = "HomeKey-2024";

QList<HostInterface> twoEthernetPorts() {
    return {{"eth0", "Simulated Ethernet adapter 0"}, {"eth1", "Simulated Ethernet adapter 1"}};
}

Node demoNode(const QString& model, const QString& mac, const QString& label, const QString& netId,
              const QString& key) {
    Node n = factoryNode(model, mac, label);
    n.params["NET_ID_STR"] = netId;
    n.params["ENCRYPT_KEY_STR"] = key;
    return n;
}

void setIp(Node& n, const QString& address) {
    n.params["IP_ADDR"] = n.params["IP_ADDR_NVRAM"] = address;
}

// Firmware servers on the home network, each with a newer release for both
// models: FTP with a login, TFTP without.
QList<FileServer> demoFileServers() {
    const int payloadBytes = 1024;
    FileServer ftp{"192.168.1.5", "FTP", "kaldor", "firmware", 1, true, {}};
    ftp.files.insert("kpl200-2.5.0.img",
                     makeImage(kModelBasic, "2.5.0", ImageKind::Valid, payloadBytes));
    ftp.files.insert("kpl510a-3.2.0.img",
                     makeImage(kModelAes, "3.2.0", ImageKind::Valid, payloadBytes));
    FileServer tftp = ftp;
    tftp.address = "192.168.1.6";
    tftp.protocol = "TFTP";
    tftp.user.clear();
    tftp.password.clear();
    return {ftp, tftp};
}

}  // namespace

Network demoNetwork() {
    Network net;
    net.interfaces = twoEthernetPorts();
    Node local = demoNode(kModelAes, "020A1B000001", "local", kHomeNet, kHomeKey);
    local.hostInterface = 1;
    local.params["NODE_TYPE"] = "AP";
    local.params["IP_CONFIG"] = local.params["IP_CONFIG_NVRAM"] = "Fixed";
    setIp(local, "192.168.1.10");
    Node office = demoNode(kModelBasic, "020A1B000002", "office", kHomeNet, kHomeKey);
    setIp(office, "192.168.1.11");
    Node garage = demoNode(kModelAes, "020A1B000003", "garage", kHomeNet, kHomeKey);
    setIp(garage, "192.168.1.12");
    Node lab = demoNode(kModelBasic, "020A1B000004", "lab", "KaldorLab", kHomeKey);
    setIp(lab, "192.168.1.13");
    Node neighbour =
        demoNode(kModelAes, "020A1B000005", "neighbour", "NeighbourNet", "Other-Secret-77");
    neighbour.params["NODE_TYPE"] = "AP";
    setIp(neighbour, "192.168.7.20");
    Node attic = demoNode(kModelBasic, "020A1B000006", "attic", kHomeNet, kHomeKey);
    setIp(attic, "192.168.1.14");
    Node study = demoNode(kModelAes, "020A1B000007", "study", kHomeNet, kHomeKey);
    study.password = "study-2024";
    study.params["ENCRYPT_TYPE"] = "AES";
    study.params["ENCRYPT_AES_TYPE"] = "ECB";
    study.params["ENCRYPT_KEY_LENGTH"] = "256";
    setIp(study, "192.168.1.15");

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
        const QString mac = QString("020A1C%1").arg(i, 6, 16, QChar('0')).toUpper();
        net.nodes << demoNode(model, mac, QString("node%1").arg(i), "Generated", "Generated-Key");
    }
    net.nodes[0].hostInterface = 1;
    net.nodes[0].params["NODE_TYPE"] = "AP";
    return net;
}

}  // namespace kaldorsim
